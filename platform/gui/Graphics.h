#pragma once
// Colours, fonts, pens, brushes, the canvas, off-screen bitmaps and pictures.
//
// The canvas keeps the old framework's pixel rules so that controls drawn pixel by pixel look the same:
// lines leave out their end pixel, rectangles their right and bottom edge, pen width 0 or 1 draws one
// pixel, dashed pens and hatch brushes fill their gaps with the background colour when the brush is
// not clear, focus rectangles are drawn by XOR, and fonts can be rotated.
//
// A canvas keeps one painter open on its target for a run of calls, so a control that draws
// thousands of strokes pays for one painter. The painter ends when the target changes, when the
// target's pixels are read or replaced through the bitmap, and at the end of a paint.

#include "platform/core/Properties.h"

#include <QColor>
#include <QImage>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QPainter;
class QFont;

namespace kv {

using TColor = std::int32_t;

// 0x00BBGGRR colours and 0xFF0000nn system colours.
constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                 clNone = 0x1FFFFFFF, clDefault = 0x20000000;
constexpr TColor SystemColor(int index) {
    return static_cast<TColor>(0xFF000000u | static_cast<unsigned>(index));
}
constexpr TColor clScrollBar = SystemColor(0), clBackground = SystemColor(1),
                 clActiveCaption = SystemColor(2), clInactiveCaption = SystemColor(3),
                 clMenu = SystemColor(4), clWindow = SystemColor(5), clWindowFrame = SystemColor(6),
                 clMenuText = SystemColor(7), clWindowText = SystemColor(8), clCaptionText = SystemColor(9),
                 clActiveBorder = SystemColor(10), clInactiveBorder = SystemColor(11),
                 clAppWorkSpace = SystemColor(12), clHighlight = SystemColor(13),
                 clHighlightText = SystemColor(14), clBtnFace = SystemColor(15),
                 clBtnShadow = SystemColor(16), clGrayText = SystemColor(17), clBtnText = SystemColor(18),
                 clInactiveCaptionText = SystemColor(19), clBtnHighlight = SystemColor(20),
                 cl3DDkShadow = SystemColor(21), cl3DLight = SystemColor(22), clInfoText = SystemColor(23),
                 clInfoBk = SystemColor(24);

constexpr TColor RGB(int r, int g, int b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
// System colours resolved through the fixed table; other colours unchanged (without the top byte).
TColor ColorToRGB(TColor color);
QRgb ToQRgb(TColor color);
TColor FromQRgb(QRgb rgb);
const TIdentMap& ColorIdents();

struct TPoint {
    int X = 0, Y = 0;
    friend bool operator==(TPoint, TPoint) = default;
};
struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};
inline TRect Rect(int l, int t, int r, int b) {
    return {l, t, r, b};
}
struct TSize {
    int cx = 0, cy = 0;
};

enum class TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
std::vector<std::string> EnumIdents(TFontStyle);
using TFontStyles = TSet<TFontStyle>;
enum class TFontPitch { fpDefault, fpVariable, fpFixed };
std::vector<std::string> EnumIdents(TFontPitch);

// Maps the names the layouts use (Tahoma, Arial, Times New Roman, ...) to installed families.
std::string SubstituteFontFamily(const std::string& name);

class TGraphicsObject : public TPersistent {
    KV_CLASS(TGraphicsObject)
public:
    TNotifyEvent OnChange;

protected:
    void Changed() {
        if (OnChange)
            OnChange(this);
    }
    // Stores a new value and tells the owner; an equal value changes nothing.
    template <class T> void Update(T& field, const T& value) {
        if (field == value)
            return;
        field = value;
        Changed();
    }
};

class TFont : public TGraphicsObject {
    KV_CLASS(TFont)
public:
    TFont();
    const std::string& Name() const { return FName; }
    void SetName(const std::string& v);
    // Points at the fixed 96 DPI; Height is the negative character height in pixels.
    int Size() const;
    void SetSize(int points);
    int Height() const { return FHeight; }
    void SetHeight(int v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles v);
    // Rotation in tenths of a degree, counter-clockwise.
    int Orientation() const { return FOrientation; }
    void SetOrientation(int v);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch v);
    int Charset() const { return FCharset; }
    void SetCharset(int v);

    void Assign(const TPersistent* source) override;
    bool SameAs(const TFont& other) const;
    QFont ToQFont() const;

private:
    std::string FName = "Tahoma";
    int FHeight = -11;
    TColor FColor = clWindowText;
    TFontStyles FStyle;
    int FOrientation = 0;
    TFontPitch FPitch = TFontPitch::fpDefault;
    int FCharset = 1;
};

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
std::vector<std::string> EnumIdents(TPenStyle);
enum class TPenMode { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmXor, pmNotXor };
std::vector<std::string> EnumIdents(TPenMode);

class TPen : public TGraphicsObject {
    KV_CLASS(TPen)
public:
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    int Width() const { return FWidth; }
    void SetWidth(int v);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle v);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode v);
    void Assign(const TPersistent* source) override;

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = TPenStyle::psSolid;
    TPenMode FMode = TPenMode::pmCopy;
};

enum class TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};
std::vector<std::string> EnumIdents(TBrushStyle);

class TBrush : public TGraphicsObject {
    KV_CLASS(TBrush)
public:
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle v);
    void Assign(const TPersistent* source) override;

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = TBrushStyle::bsSolid;
};

class TGraphic;

// Text drawing flags, as the old framework's DrawText took them.
enum : unsigned {
    DT_LEFT = 0x0,
    DT_TOP = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_NOCLIP = 0x100,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_END_ELLIPSIS = 0x8000,
};

// A drawing surface over an image. Controls get one for their paint; bitmaps own one.
class TCanvas : public TPersistent {
    KV_CLASS(TCanvas)
public:
    TCanvas();
    ~TCanvas() override;
    explicit TCanvas(QImage* target) : TCanvas() { SetTarget(target); }
    void SetTarget(QImage* target);
    QImage* Target() const { return FTarget; }

    TFont* Font() const { return FFont.get(); }
    TPen* Pen() const { return FPen.get(); }
    TBrush* Brush() const { return FBrush.get(); }
    void SetFont(const TFont* f) { FFont->Assign(f); }
    TPoint PenPos() const { return FPenPos; }
    void SetPenPos(TPoint p) { FPenPos = p; }
    // Drawing is clipped to this rectangle (none: the whole target).
    void SetClipRect(const TRect* r);
    // The background mode behind dashed pens, hatch brushes and text: opaque in the background colour
    // or transparent. By default it follows the brush (a solid brush is opaque in its own colour,
    // any other brush transparent); a mode set here holds until the brush changes, as with the old
    // framework, which re-selected its brush then.
    void SetBkMode(bool opaque, TColor background);

    void MoveTo(int x, int y) { FPenPos = {x, y}; }
    void LineTo(int x, int y);
    void Polyline(const std::vector<TPoint>& points);
    void Polygon(const std::vector<TPoint>& points);
    void Rectangle(int l, int t, int r, int b);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int l, int t, int r, int b, int cx, int cy);
    void Ellipse(int l, int t, int r, int b);
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void DrawFocusRect(const TRect& r);
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor c);

    // Text with the font's rotation about the start point (its top-left before rotation). With a
    // non-clear brush the text cell is filled with the brush colour first.
    void TextOut(int x, int y, const std::string& text);
    void TextRect(const TRect& r, int x, int y, const std::string& text);
    int TextWidth(const std::string& text) const;
    int TextHeight(const std::string& text) const;
    TSize TextExtent(const std::string& text) const;
    // Formatted text in a rectangle; returns the text height; DT_CALCRECT only measures into `r`.
    int DrawText(const std::string& text, TRect& r, unsigned flags);

    void Draw(int x, int y, const TGraphic* graphic);
    void StretchDraw(const TRect& r, const TGraphic* graphic);
    void CopyRect(const TRect& dest, const TCanvas& source, const TRect& src);

    // Ends the open painter, if any. Needed before the target image is copied, read as a whole or
    // replaced; the bitmap does it for its own canvas.
    void EndPaint() const;

    // A painter for antialiased drawing with the half-pixel offset of the smoothed GDI+ modes: integer
    // coordinates address pixel centres. EndAntialiased gives the canvas its own painter state back.
    QPainter& BeginAntialiased();
    void EndAntialiased();

private:
    // The open painter in the canvas's plain state: no antialiasing, no transform, drawing over
    // (source-over) and clipped to the clip rectangle. Opens it when none is open.
    QPainter& Painter();
    bool Opaque() const;
    TColor BkColor() const;
    void PlotPixel(int x, int y, QRgb colour, TPenMode mode);
    void PenLine(int x0, int y0, int x1, int y1, bool lastPixel);
    void WidePenLine(int x0, int y0, int x1, int y1);
    bool PenVisible() const;
    void FillWithBrush(const QRect& r);
    void ShapeBackground(QPainter& p, bool on);
    QRect Clip() const;

    QImage* FTarget = nullptr;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    TPoint FPenPos;
    bool FHasClip = false;
    TRect FClip;
    int FDashPhase = 0;
    bool FBkOverride = false, FBkOpaque = false;
    TColor FBkColor = clWhite;
    mutable std::unique_ptr<QPainter> FPainter;
    QRect FPainterClip;
};

// Pictures of any kind.
class TGraphic : public TPersistent {
    KV_CLASS(TGraphic)
public:
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    bool Empty() const { return Width() == 0 || Height() == 0; }
    virtual QImage ToImage() const = 0;
    virtual void FromImage(const QImage& image) = 0;
    // Encoded bytes in this graphic's own format; LoadFromBytes raises EKvError on bad data.
    virtual std::vector<std::uint8_t> SaveToBytes() const = 0;
    virtual void LoadFromBytes(const std::vector<std::uint8_t>& bytes) = 0;
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v) { FTransparent = v; }
    TNotifyEvent OnChange;

protected:
    void Changed() {
        if (OnChange)
            OnChange(this);
    }
    bool FTransparent = false;
};

// An off-screen 24-bit bitmap with its own canvas. Its file form is BMP.
class TBitmap : public TGraphic {
    KV_CLASS(TBitmap)
public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;
    int Width() const override { return FImage.width(); }
    int Height() const override { return FImage.height(); }
    void SetWidth(int w) { SetSize(w, Height()); }
    void SetHeight(int h) { SetSize(Width(), h); }
    // Keeps the pixels that still fit; new area is white.
    void SetSize(int w, int h);
    TCanvas* Canvas() { return &FCanvas; }
    const TCanvas* Canvas() const { return &FCanvas; }
    // The pixels; ends the canvas's open painter so that a copy taken now stays as it is.
    QImage& Image() {
        FCanvas.EndPaint();
        return FImage;
    }
    const QImage& Image() const {
        FCanvas.EndPaint();
        return FImage;
    }
    TColor TransparentColor() const;
    void SetTransparentColor(TColor c) { FTransparentColor = c; }
    QImage ToImage() const override { return Image(); }
    void FromImage(const QImage& image) override;
    std::vector<std::uint8_t> SaveToBytes() const override;
    void LoadFromBytes(const std::vector<std::uint8_t>& bytes) override;
    void Assign(const TPersistent* source) override;

private:
    QImage FImage;
    TCanvas FCanvas;
    TColor FTransparentColor = clDefault;
};

// A picture kept decoded and, once loaded, as the bytes it came from, so that a loaded picture is
// written back unchanged. The kinds add their codec and its settings.
class TEncodedImage : public TGraphic {
    KV_CLASS(TEncodedImage)
public:
    int Width() const override { return FImage.width(); }
    int Height() const override { return FImage.height(); }
    QImage ToImage() const override { return FImage; }
    void FromImage(const QImage& image) override;
    std::vector<std::uint8_t> SaveToBytes() const override;
    void LoadFromBytes(const std::vector<std::uint8_t>& bytes) override;
    // A picture of the same kind is copied whole (bytes, settings, transparency); any other graphic
    // through its pixels.
    void Assign(const TPersistent* source) override;

protected:
    // The pixels as this kind keeps them.
    virtual QImage Converted(const QImage& image) const { return image; }
    virtual QImage Decode(const std::vector<std::uint8_t>& bytes) const = 0;
    virtual std::vector<std::uint8_t> Encode(const QImage& image) const = 0;
    // Takes the codec settings of a picture of the same kind.
    virtual void AssignSettings(const TEncodedImage& source) = 0;

private:
    QImage FImage;
    std::vector<std::uint8_t> FBytes;
};

class TPngImage : public TEncodedImage {
    KV_CLASS(TPngImage)
public:
    int CompressionLevel() const { return FLevel; }
    void SetCompressionLevel(int v) { FLevel = v; }

protected:
    QImage Decode(const std::vector<std::uint8_t>& bytes) const override;
    std::vector<std::uint8_t> Encode(const QImage& image) const override;
    void AssignSettings(const TEncodedImage& source) override;

private:
    int FLevel = 9;
};

class TJPEGImage : public TEncodedImage {
    KV_CLASS(TJPEGImage)
public:
    int CompressionQuality() const { return FQuality; }
    void SetCompressionQuality(int v) { FQuality = v; }
    bool ProgressiveEncoding() const { return FProgressive; }
    void SetProgressiveEncoding(bool v) { FProgressive = v; }

protected:
    QImage Converted(const QImage& image) const override {
        return image.convertToFormat(QImage::Format_RGB32);
    }
    QImage Decode(const std::vector<std::uint8_t>& bytes) const override;
    std::vector<std::uint8_t> Encode(const QImage& image) const override;
    void AssignSettings(const TEncodedImage& source) override;

private:
    int FQuality = 90;
    bool FProgressive = false;
};

// Holds one graphic of any kind. Assigning copies it.
class TPicture : public TPersistent {
    KV_CLASS(TPicture)
public:
    TPicture();
    ~TPicture() override;
    TGraphic* Graphic() const { return FGraphic.get(); }
    void SetGraphic(const TGraphic* g); // copies
    // The picture as a bitmap; converts a PNG or JPEG picture into one.
    TBitmap* Bitmap();
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }
    bool Empty() const { return !FGraphic || FGraphic->Empty(); }
    // The format is taken from the content (PNG, JPEG or BMP); raises EKvError on unknown data.
    void LoadFromBytes(const std::vector<std::uint8_t>& bytes);
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;
    void Clear();
    void Assign(const TPersistent* source) override;
    TNotifyEvent OnChange;
    // Where the layout took the picture from ("pictures/x.png"), empty when embedded.
    const std::string& ResourceName() const { return FResource; }
    void SetResourceName(const std::string& r) { FResource = r; }

private:
    void Changed();
    std::unique_ptr<TGraphic> FGraphic;
    std::string FResource;
};

// PNG and JPEG codecs on libpng and libjpeg. Decoders give ARGB32 (PNG) or RGB32 (JPEG) images and
// raise EKvError on damaged data.
QImage DecodePng(const std::uint8_t* data, std::size_t size);
// Forgets the decoded PNG pictures that no picture shares any more (returns the bytes freed); the
// next decoding of one of them decodes it again.
std::size_t ReleaseUnsharedDecodings();
std::vector<std::uint8_t> EncodePng(const QImage& image, int level = 9);
QImage DecodeJpeg(const std::uint8_t* data, std::size_t size);
std::vector<std::uint8_t> EncodeJpeg(const QImage& image, int quality, bool progressive = false);

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);                     // raises EKvError
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes); // raises EKvError

} // namespace kv
