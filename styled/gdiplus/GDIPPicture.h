#pragma once
// Pictures kept as their encoded file bytes (BMP, JPEG, PNG, GIF, TIFF, icon), decoded by the smoothed
// drawing layer each time they are drawn or measured. TGDIPPicture is the fader thumbs' and picture
// control's picture; TStGDIPPicture adds drawing onto a TGPGraphics, colour keying and texture fills.
// Both store their bytes unchanged in the layouts' binary "Data" property.

#include "styled/gdiplus/GDIPlus.h"
#include "styled/gdiplus/Streams.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kv {

enum class TTransparentMode { tmAuto, tmFixed };
std::vector<std::string> EnumIdents(TTransparentMode);

class TGDIPPictureBase;
// A picture that is there and holds file bytes: what decides whether a control draws it.
bool HasImage(const TGDIPPictureBase* p);

// The behaviour both picture classes share.
class TGDIPPictureBase : public TGraphic {
    KV_CLASS(TGDIPPictureBase)
public:
    TGDIPPictureBase();
    ~TGDIPPictureBase() override;

    bool GetEmpty() const { return FIsEmpty; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetWidth(int) {}
    void SetHeight(int) {}
    const std::vector<std::uint8_t>& Bytes() const { return FDatastream.Bytes(); }

    // The layout's "Data": the file bytes exactly.
    virtual void ReadData(TStream* stream) = 0;
    void WriteData(TStream* stream) const;
    std::string Data() const;
    void SetData(const std::string& bytes);

    void SaveToStream(TStream* stream) const { WriteData(stream); }
    virtual void LoadFromStream(TStream* stream);
    void LoadFromFile(const std::string& fileName);
    void LoadFromResourceName(const std::string& resName);
    // The program resource named by the number; raises EKvError when there is none.
    void LoadFromResourceID(int resID);
    // "FILE://path" loads that file; "RES://name" the program resource "name"; anything else nothing.
    void LoadFromURL(const std::string& url);
    void LoadFromClipboardFormat() {}
    void SaveToClipboardFormat() const {}

    // Decodes the bytes and stores the width and height; false when there is nothing to decode.
    // Undecodable bytes give 0 x 0 and true.
    bool GetImageSizes();

    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool v) { FDoubleBuffered = v; }

    // TGraphic: the decoded pixels; SaveToBytes and LoadFromBytes move the file bytes unchanged.
    QImage ToImage() const override;
    void FromImage(const QImage& image) override; // stored as PNG
    std::vector<std::uint8_t> SaveToBytes() const override { return FDatastream.Bytes(); }
    void LoadFromBytes(const std::vector<std::uint8_t>& bytes) override;

    TNotifyEvent OnClear;

protected:
    void DoClear() {
        if (OnClear)
            OnClear(this);
    }
    void Change() { Changed(); }
    // Takes the bytes of a framework graphic or picture; false for any other class.
    bool AssignFramework(const TPersistent* source);
    // The start of Assign: false (and the picture cleared) when there is no source.
    bool BeginAssign(const TPersistent* source);
    // Takes a copy of another picture's file bytes.
    void AssignBytes(const void* data, std::size_t size);
    // Draws the file on the canvas; a BMP is keyed by its bottom-left pixel, stretched or not.
    void DrawOnCanvas(TCanvas& canvas, const TRect& rect, bool stretchBitmap);
    virtual void SizesFromFile(const std::string& fileName) = 0;

    TMemoryStream FDatastream;
    bool FIsEmpty = true;
    int FWidth = 0, FHeight = 0;
    bool FDoubleBuffered = false;
};

class TGDIPPicture : public TGDIPPictureBase {
    KV_CLASS(TGDIPPicture)
public:
    TGDIPPicture() = default;
    void Assign(const TPersistent* source) override;
    void ReadData(TStream* stream) override;
    // BMP pictures are keyed by their bottom-left pixel and stretched into the rectangle; other
    // formats are drawn scaled into it.
    void Draw(TCanvas& canvas, const TRect& rect);
    void DrawImage(TGPGraphics* graphics, int x, int y);
    void DrawImageRect(TGPGraphics* graphics, int x, int y, int w, int h);

    TColor BackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(TColor v) { FBackgroundColor = v; }

protected:
    void SizesFromFile(const std::string&) override { GetImageSizes(); }

private:
    TColor FBackgroundColor = clWhite;
};

class TStGDIPPicture : public TGDIPPictureBase {
    KV_CLASS(TStGDIPPicture)
public:
    TStGDIPPicture();
    void Assign(const TPersistent* source) override;
    void ReadData(TStream* stream) override;
    void LoadFromStream(TStream* stream) override;
    // BMP pictures are drawn unscaled at the rectangle's top-left (keyed when Transparent).
    void Draw(TCanvas& canvas, const TRect& rect);
    void GDIPDraw(TGPGraphics* graphics, const TRect& rect);
    void GDIPDraw(TGPGraphics* graphics, const TGPRectF& rect);
    // Tiles the picture from the graphics origin over the rectangle or path.
    void FillRect(TGPGraphics* graphics, const TGPRectF& rect);
    void FillPath(TGPGraphics* graphics, TGPGraphicsPath* path);
    // Sizes from the file's header, chosen by its extension.
    void GetImageSizesFromFileName(const std::string& fileName);

    TTransparentMode TransparentMode() const { return FBitmapTransparentMode; }
    void SetTransparentMode(TTransparentMode v) { FBitmapTransparentMode = v; }
    TColor TransparentColor() const { return FBitmapTransparentColor; }
    void SetTransparentColor(TColor v) { FBitmapTransparentColor = v; }
    const std::string& ID() const { return FID; }
    void SetID(const std::string& v) { FID = v; }
    int PixelDepth() const { return FPixelDepth; }
    bool HasAlpha() const { return FHasAlpha; }
    bool HasPalette() const { return FHasPalette; }
    int PixelFormat() const { return FPixelFormat; }

protected:
    void SizesFromFile(const std::string& fileName) override { GetImageSizesFromFileName(fileName); }

private:
    void DrawDecoded(TGPGraphics* graphics, TGPImage& image, const TGPRectF& rect, bool scaled);
    bool FDrawing = false;
    TTransparentMode FBitmapTransparentMode = TTransparentMode::tmAuto;
    TColor FBitmapTransparentColor = 0xFFFFFF;
    std::string FID;
    int FPixelDepth = 0;
    bool FHasAlpha = false, FHasPalette = false;
    int FPixelFormat = 0;
};

} // namespace kv
