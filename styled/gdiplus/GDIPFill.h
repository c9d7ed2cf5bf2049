#pragma once
// A fill description: colours and gradient kinds for the whole area or an upper half and a lower
// "mirror" half, opacities, rounded corners, border, drop shadow, glow, and a background and a
// foreground picture. Fill paints it into a rectangle of a TGPGraphics and returns the rectangle
// left for the content. Persists in layouts, INI sections and on the clipboard ("GDI+ Fill").

#include "styled/gdiplus/GDIPPicture.h"
#include "styled/gdiplus/GDIPlus.h"

#include <memory>
#include <string>
#include <vector>

namespace kv {

class TIniFile;

enum class TFillRoundingType { rtNone, rtTop, rtBottom, rtBoth, rtLeft, rtRight };
std::vector<std::string> EnumIdents(TFillRoundingType);
enum class TFillPicturePosition {
    ppTopLeft,
    ppTopCenter,
    ppTopRight,
    ppBottomLeft,
    ppBottomCenter,
    ppBottomRight,
    ppTiled,
    ppStretched,
    ppCenterLeft,
    ppCenterCenter,
    ppCenterRight,
    ppCustom
};
std::vector<std::string> EnumIdents(TFillPicturePosition);
enum class TFillPictureSize { psOriginal, psCustom };
std::vector<std::string> EnumIdents(TFillPictureSize);
enum class TFillPictureMode { pmInsideFill, pmOutsideFill };
std::vector<std::string> EnumIdents(TFillPictureMode);
enum class TPictureMode { pmStretch, pmNormal };
std::vector<std::string> EnumIdents(TPictureMode);
enum class TShadowType { stRightBottom, stBottom, stSurround };
std::vector<std::string> EnumIdents(TShadowType);
enum class TGlowMode { gmNone, gmGradient, gmRadial, gmRadialGradient };
std::vector<std::string> EnumIdents(TGlowMode);

// A closed outline, clockwise from the top-left, with quarter arcs of `radius` at the rounded corners.
TGPGraphicsPath* CreateRoundRectPath(const TGPRectF& r, int radius, TFillRoundingType rt);
// A picture of w x h fitted into W x H: its own size with pmNormal when it is smaller both ways,
// else scaled to touch the rectangle with its aspect kept; 0 x 0 when any size is 0 or less.
void FitPictureSize(double w, double h, double W, double H, TPictureMode mode, double& outW, double& outH);

class TGDIPFill : public TPersistent {
    KV_CLASS(TGDIPFill)
public:
    TGDIPFill();
    ~TGDIPFill() override;
    void Assign(const TPersistent* source) override;

    // Opacity arguments of 255 take the fill's own opacities.
    TGPRectF Fill(TGPGraphics* graphics, const TGPRectF& r, int aBorderOpacity = 255, int aOpacity = 255,
                  int aOpacityTo = 255, int aOpacityMirror = 255, int aOpacityMirrorTo = 255);
    void DrawGradientBackGround(TGPGraphics* graphics, const TGPRectF& r, bool mirror, int oc, int octo,
                                int ocmr, int ocmrto);
    void DrawGlow(TGPGraphics* graphics, const TGPRectF& r);

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate() {
        if (FUpdateCount > 0)
            --FUpdateCount;
    }

    void SaveToFile(TIniFile& ini, const std::string& section) const;
    // Raises EConvertError "No Hex-Number" for picture text that is not pairs of hex digits.
    void LoadFromFile(TIniFile& ini, const std::string& section);
    void SaveToFile(const std::string& fileName, const std::string& section) const;
    void LoadFromFile(const std::string& fileName, const std::string& section);
    void SaveToClipBoard() const;
    void LoadFromClipBoard();
    static const char* ClipboardFormat() { return "GDI+ Fill"; }

    // Published properties.
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { Set(FColor, v); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v) { Set(FColorTo, v); }
    TColor ColorMirror() const { return FColorMirror; }
    void SetColorMirror(TColor v) { Set(FColorMirror, v); }
    TColor ColorMirrorTo() const { return FColorMirrorTo; }
    void SetColorMirrorTo(TColor v) { Set(FColorMirrorTo, v); }
    TStGradientType GradientType() const { return FGradientType; }
    void SetGradientType(TStGradientType v) { Set(FGradientType, v); }
    TStGradientType GradientMirrorType() const { return FGradientMirrorType; }
    void SetGradientMirrorType(TStGradientType v) { Set(FGradientMirrorType, v); }
    HatchStyle GetHatchStyle() const { return FHatchStyle; }
    void SetHatchStyle(HatchStyle v) { Set(FHatchStyle, v); }
    HatchStyle HatchStyleMirror() const { return FHatchStyleMirror; }
    void SetHatchStyleMirror(HatchStyle v) { Set(FHatchStyleMirror, v); }
    bool BackGroundPictureAspectRatio() const { return FBackGroundPictureAspectRatio; }
    void SetBackGroundPictureAspectRatio(bool v) { Set(FBackGroundPictureAspectRatio, v); }
    TFillPictureMode BackGroundPictureMode() const { return FBackGroundPictureMode; }
    void SetBackGroundPictureMode(TFillPictureMode v) { Set(FBackGroundPictureMode, v); }
    TStGDIPPicture* BackGroundPicture() const { return FBackGroundPicture.get(); }
    void SetBackGroundPicture(const TStGDIPPicture* v);
    TFillPicturePosition BackGroundPicturePosition() const { return FBackGroundPicturePosition; }
    void SetBackGroundPicturePosition(TFillPicturePosition v) { Set(FBackGroundPicturePosition, v); }
    int BackGroundPictureLeft() const { return FBackGroundPictureLeft; }
    void SetBackGroundPictureLeft(int v) { Set(FBackGroundPictureLeft, v); }
    int BackGroundPictureTop() const { return FBackGroundPictureTop; }
    void SetBackGroundPictureTop(int v) { Set(FBackGroundPictureTop, v); }
    TPictureMode BackGroundPictureAspectMode() const { return FBackGroundPictureAspectMode; }
    void SetBackGroundPictureAspectMode(TPictureMode v) { Set(FBackGroundPictureAspectMode, v); }
    TStGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(const TStGDIPPicture* v);
    TFillPicturePosition PicturePosition() const { return FPicturePosition; }
    void SetPicturePosition(TFillPicturePosition v) { Set(FPicturePosition, v); }
    int PictureLeft() const { return FPictureLeft; }
    void SetPictureLeft(int v) { Set(FPictureLeft, v); }
    int PictureTop() const { return FPictureTop; }
    void SetPictureTop(int v) { Set(FPictureTop, v); }
    TFillPictureSize PictureSize() const { return FPictureSize; }
    void SetPictureSize(TFillPictureSize v) { Set(FPictureSize, v); }
    int PictureWidth() const { return FPictureWidth; }
    void SetPictureWidth(int v) { Set(FPictureWidth, v); }
    int PictureHeight() const { return FPictureHeight; }
    void SetPictureHeight(int v) { Set(FPictureHeight, v); }
    bool PictureAspectRatio() const { return FPictureAspectRatio; }
    void SetPictureAspectRatio(bool v) { Set(FPictureAspectRatio, v); }
    TPictureMode PictureAspectMode() const { return FPictureAspectMode; }
    void SetPictureAspectMode(TPictureMode v) { Set(FPictureAspectMode, v); }
    std::uint8_t Opacity() const { return FOpacity; }
    void SetOpacity(std::uint8_t v) { Set(FOpacity, v); }
    std::uint8_t OpacityTo() const { return FOpacityTo; }
    void SetOpacityTo(std::uint8_t v) { Set(FOpacityTo, v); }
    std::uint8_t OpacityMirror() const { return FOpacityMirror; }
    void SetOpacityMirror(std::uint8_t v) { Set(FOpacityMirror, v); }
    std::uint8_t OpacityMirrorTo() const { return FOpacityMirrorTo; }
    void SetOpacityMirrorTo(std::uint8_t v) { Set(FOpacityMirrorTo, v); }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { Set(FBorderColor, v); }
    std::uint8_t BorderOpacity() const { return FBorderOpacity; }
    void SetBorderOpacity(std::uint8_t v) { Set(FBorderOpacity, v); }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v) { Set(FBorderWidth, v); }
    int Rounding() const { return FRounding; }
    void SetRounding(int v) { Set(FRounding, v); }
    TFillRoundingType RoundingType() const { return FRoundingType; }
    void SetRoundingType(TFillRoundingType v) { Set(FRoundingType, v); }
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor v) { Set(FShadowColor, v); }
    int ShadowOffset() const { return FShadowOffset; }
    void SetShadowOffset(int v) { Set(FShadowOffset, v); }
    TShadowType ShadowType() const { return FShadowType; }
    void SetShadowType(TShadowType v) { Set(FShadowType, v); }
    int Angle() const { return FAngle; }
    void SetAngle(int v) { Set(FAngle, v); }
    TGlowMode Glow() const { return FGlow; }
    void SetGlow(TGlowMode v) { Set(FGlow, v); }
    TColor GlowGradientColor() const { return FGlowGradientColor; }
    void SetGlowGradientColor(TColor v) { Set(FGlowGradientColor, v); }
    TColor GlowRadialColor() const { return FGlowRadialColor; }
    void SetGlowRadialColor(TColor v) { Set(FGlowRadialColor, v); }
    TNotifyEvent OnChange;

    // Public, not stored.
    bool Focus() const { return FFocus; }
    void SetFocus(bool v) { FFocus = v; }
    TColor FocusColor() const { return FFocusColor; }
    void SetFocusColor(TColor v) { FFocusColor = v; }
    const TGPRectF& FocusRect() const { return FFocusRect; }

protected:
    void Changed();

private:
    template <class T> void Set(T& field, T v) {
        if (field == v)
            return;
        field = v;
        Changed();
    }
    void PictureChanged(TObject*) { Changed(); }
    void FillRadialGradient(TGPGraphics* g, const TGPRectF& q, TFillRoundingType rt, bool bottomForm,
                            TColor a, int oa, TColor b, int ob);
    void DrawFillPicture(TGPGraphics* g, TStGDIPPicture* pic, const TRect& b, int w, int h,
                         TFillPicturePosition pos, int left, int top, bool aspect, TPictureMode mode);

    TColor FColor = 0xC0C0C0, FColorTo = 0x808080, FColorMirror = clNone, FColorMirrorTo = clNone;
    TStGradientType FGradientType = gtVertical, FGradientMirrorType = gtSolid;
    HatchStyle FHatchStyle = HatchStyleHorizontal, FHatchStyleMirror = HatchStyleHorizontal;
    bool FBackGroundPictureAspectRatio = false;
    TFillPictureMode FBackGroundPictureMode = TFillPictureMode::pmOutsideFill;
    std::unique_ptr<TStGDIPPicture> FBackGroundPicture;
    TFillPicturePosition FBackGroundPicturePosition = TFillPicturePosition::ppTopLeft;
    int FBackGroundPictureLeft = 0, FBackGroundPictureTop = 0;
    TPictureMode FBackGroundPictureAspectMode = TPictureMode::pmStretch;
    std::unique_ptr<TStGDIPPicture> FPicture;
    TFillPicturePosition FPicturePosition = TFillPicturePosition::ppTopLeft;
    int FPictureLeft = 0, FPictureTop = 0;
    TFillPictureSize FPictureSize = TFillPictureSize::psOriginal;
    int FPictureWidth = 50, FPictureHeight = 50;
    bool FPictureAspectRatio = false;
    TPictureMode FPictureAspectMode = TPictureMode::pmStretch;
    std::uint8_t FOpacity = 255, FOpacityTo = 255, FOpacityMirror = 255, FOpacityMirrorTo = 255;
    TColor FBorderColor = clNone;
    std::uint8_t FBorderOpacity = 255;
    int FBorderWidth = 1;
    int FRounding = 0;
    TFillRoundingType FRoundingType = TFillRoundingType::rtBoth;
    TColor FShadowColor = 0x808080;
    int FShadowOffset = 0;
    TShadowType FShadowType = TShadowType::stRightBottom;
    int FAngle = 0;
    TGlowMode FGlow = TGlowMode::gmNone;
    TColor FGlowGradientColor = 0xFFFFFF, FGlowRadialColor = 0xFFFFFF;
    bool FFocus = false;
    TColor FFocusColor = 0;
    TGPRectF FFocusRect;
    int FUpdateCount = 0;
};

} // namespace kv
