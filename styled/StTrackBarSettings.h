#pragma once
// The fader's appearance settings: thumb, slider, tick marks, min/max buttons and track label. Each is
// written into the layouts as nested properties (Thumb.Picture.Data, Slider.Size, ...) and tells its
// fader through OnChange, which repaints. Thumb, slider and buttons take their sizes from their
// pictures.

#include "styled/gdiplus/GDIPPicture.h"

#include <memory>
#include <string>
#include <vector>

namespace kv {

class TCustomTrackBar;

enum class TThumbShape {
    tsPointer,
    tsRectangle,
    tsRoundRect,
    tsRound,
    tsLine,
    tsPointerLeftUp,
    tsPointerRightUp,
    tsTriangle,
    tsTriangleLeft,
    tsTriangleRight
};
std::vector<std::string> EnumIdents(TThumbShape);
enum class TThumbStyle { tstOffice2007, tstCustom };
std::vector<std::string> EnumIdents(TThumbStyle);
enum class TThumbPointer { tpLeft, tpCenter, tpRight };
std::vector<std::string> EnumIdents(TThumbPointer);
enum class TGDIPGradient { ggRadial, ggVertical, ggDiagonalForward, ggDiagonalBackward };
std::vector<std::string> EnumIdents(TGDIPGradient);
// The panel pack has its own gradient directions under the same name; the fader's live in their unit.
namespace sttrackbar {
enum class TGradientDirection { gdHorizontal, gdVertical, gdHorizontalInOut, gdVerticalInOut };
std::vector<std::string> EnumIdents(TGradientDirection);
} // namespace sttrackbar
using TTrackGradientDirection = sttrackbar::TGradientDirection;
enum class TTickMark { tmBottomRight, tmTopLeft, tmBoth };
std::vector<std::string> EnumIdents(TTickMark);
enum class TTickStyle { tsNone, tsAuto, tsManual };
std::vector<std::string> EnumIdents(TTickStyle);
enum class TTrackButtonShape { bsRound, bsRectangle };
std::vector<std::string> EnumIdents(TTrackButtonShape);
enum class TLabelPosition { lpTopCenter, lpTopLeft, lpTopRight, lpBottomCenter, lpBottomLeft, lpBottomRight };
std::vector<std::string> EnumIdents(TLabelPosition);

// Common to the five settings classes: a change event and the owner fader.
class TTrackBarSettings : public TPersistent {
    KV_CLASS(TTrackBarSettings)
public:
    TNotifyEvent OnChange;
    TCustomTrackBar* StTrackBar() const { return FStTrackBar; }
    void SetStTrackBar(TCustomTrackBar* owner) { FStTrackBar = owner; }

protected:
    void Changed() {
        if (OnChange)
            OnChange(this);
    }
    template <class T> void Update(T& field, const T& value) {
        if (field == value)
            return;
        field = value;
        Changed();
    }
    bool OwnerVertical() const;
    TCustomTrackBar* FStTrackBar = nullptr;
};

#define KV_TRACK_COLOR(Name)                                                                                 \
    TColor Name() const {                                                                                    \
        return F##Name;                                                                                      \
    }                                                                                                        \
    void Set##Name(TColor v) {                                                                               \
        Update(F##Name, v);                                                                                  \
    }

class TTrackBarThumb : public TTrackBarSettings {
    KV_CLASS(TTrackBarThumb)
public:
    TTrackBarThumb();
    ~TTrackBarThumb() override;
    void Assign(const TPersistent* source) override;

    KV_TRACK_COLOR(Color)
    KV_TRACK_COLOR(ColorTo)
    KV_TRACK_COLOR(BorderColor)
    KV_TRACK_COLOR(ColorHot)
    KV_TRACK_COLOR(ColorHotTo)
    KV_TRACK_COLOR(BorderColorHot)
    KV_TRACK_COLOR(ColorDisabled)
    KV_TRACK_COLOR(ColorDisabledTo)
    KV_TRACK_COLOR(BorderColorDisabled)
    KV_TRACK_COLOR(ColorDown)
    KV_TRACK_COLOR(ColorDownTo)
    KV_TRACK_COLOR(BorderColorDown)
    KV_TRACK_COLOR(ColorMirror)
    KV_TRACK_COLOR(ColorMirrorTo)
    KV_TRACK_COLOR(ColorMirrorDisabled)
    KV_TRACK_COLOR(ColorMirrorDisabledTo)
    // These four are stored without a change event.
    TColor ColorMirrorHot() const { return FColorMirrorHot; }
    void SetColorMirrorHot(TColor v) { FColorMirrorHot = v; }
    TColor ColorMirrorHotTo() const { return FColorMirrorHotTo; }
    void SetColorMirrorHotTo(TColor v) { FColorMirrorHotTo = v; }
    TColor ColorMirrorDown() const { return FColorMirrorDown; }
    void SetColorMirrorDown(TColor v) { FColorMirrorDown = v; }
    TColor ColorMirrorDownTo() const { return FColorMirrorDownTo; }
    void SetColorMirrorDownTo(TColor v) { FColorMirrorDownTo = v; }

    TGDIPGradient Gradient() const { return FGradient; }
    void SetGradient(TGDIPGradient v) { Update(FGradient, v); }
    TGDIPGradient GradientMirror() const { return FGradientMirror; }
    void SetGradientMirror(TGDIPGradient v) { Update(FGradientMirror, v); }
    TGDIPPicture* Picture() const { return FIPicture.get(); }
    void SetPicture(const TGDIPPicture* v) { FIPicture->Assign(v); }
    TGDIPPicture* PictureHot() const { return FIPictureHot.get(); }
    void SetPictureHot(const TGDIPPicture* v) { FIPictureHot->Assign(v); }
    TGDIPPicture* PictureDown() const { return FIPictureDown.get(); }
    void SetPictureDown(const TGDIPPicture* v) { FIPictureDown->Assign(v); }
    TGDIPPicture* PictureDisabled() const { return FIPictureDisabled.get(); }
    void SetPictureDisabled(const TGDIPPicture* v) { FIPictureDisabled->Assign(v); }
    bool ShowAtMinMax() const { return FShowAtMinMax; }
    void SetShowAtMinMax(bool v) { Update(FShowAtMinMax, v); }
    // Extent across the track; ignored while Picture holds an image (the picture decides).
    int Size() const { return FSize; }
    void SetSize(int v);
    // Extent along the track; likewise.
    int Width() const { return FWidth; }
    void SetWidth(int v);
    TThumbShape Shape() const { return FShape; }
    void SetShape(TThumbShape v) { Update(FShape, v); }
    TThumbStyle Style() const { return FStyle; }
    void SetStyle(TThumbStyle v) { Update(FStyle, v); }
    TThumbPointer ThumbPointer() const { return FThumbPointer; }
    void SetThumbPointer(TThumbPointer v);
    int Steps() const { return FSteps; }
    bool PictureStretched() const { return FPictureStretched; }

    // Sizes from Picture: along the track its height on a vertical fader, its width otherwise.
    void UpdateFromPicture();

private:
    int FSteps = 64;
    TColor FColor = 15653832, FColorTo = 16178633, FBorderColor = 10317632;
    TColor FColorHotTo = 11332863, FColorHot = 15465983, FBorderColorHot = 10079963;
    int FWidth = 10;
    TColor FColorDisabledTo = 0, FBorderColorDown = 4548219, FBorderColorDisabled = 0, FColorDown = 7778289,
           FColorDownTo = 4296947, FColorDisabled = 0;
    std::unique_ptr<TGDIPPicture> FIPicture;
    TThumbShape FShape = TThumbShape::tsPointer;
    TThumbStyle FStyle = TThumbStyle::tstOffice2007;
    std::unique_ptr<TGDIPPicture> FIPictureDisabled, FIPictureDown, FIPictureHot;
    TColor FColorMirrorHot = 5888767, FColorMirror = 15586496, FColorMirrorTo = 16245200,
           FColorMirrorDisabledTo = 0, FColorMirrorDisabled = 0, FColorMirrorHotTo = 10807807,
           FColorMirrorDown = 946929, FColorMirrorDownTo = 5021693;
    TGDIPGradient FGradient = TGDIPGradient::ggVertical, FGradientMirror = TGDIPGradient::ggRadial;
    bool FPictureStretched = false;
    int FSize = 15;
    bool FShowAtMinMax = true;
    TThumbPointer FThumbPointer = TThumbPointer::tpCenter;
};

class TTrackBarSlider : public TTrackBarSettings {
    KV_CLASS(TTrackBarSlider)
public:
    TTrackBarSlider();
    ~TTrackBarSlider() override;
    void Assign(const TPersistent* source) override;

    KV_TRACK_COLOR(Color)
    KV_TRACK_COLOR(ColorTo)
    KV_TRACK_COLOR(BorderColor)
    KV_TRACK_COLOR(ColorDisabled)
    KV_TRACK_COLOR(ColorDisabledTo)
    KV_TRACK_COLOR(BorderColorDisabled)
    KV_TRACK_COLOR(ColorCompleted)
    KV_TRACK_COLOR(ColorCompletedTo)
    KV_TRACK_COLOR(ColorCompletedDisabled)
    KV_TRACK_COLOR(ColorCompletedDisabledTo)
    TTrackGradientDirection Direction() const { return FDirection; }
    void SetDirection(TTrackGradientDirection v) { Update(FDirection, v); }
    bool Rounded() const { return FRounded; }
    void SetRounded(bool v) { Update(FRounded, v); }
    bool Border3D() const { return FBorder3D; }
    void SetBorder3D(bool v) { Update(FBorder3D, v); }
    TGDIPPicture* Picture() const { return FIPicture.get(); }
    void SetPicture(const TGDIPPicture* v) { FIPicture->Assign(v); }
    TGDIPPicture* PictureDisabled() const { return FIPictureDisabled.get(); }
    void SetPictureDisabled(const TGDIPPicture* v) { FIPictureDisabled->Assign(v); }
    TGDIPPicture* PictureCompleted() const { return FPictureCompleted.get(); }
    void SetPictureCompleted(const TGDIPPicture* v) { FPictureCompleted->Assign(v); }
    TGDIPPicture* PictureCompletedDisabled() const { return FPictureCompletedDisabled.get(); }
    void SetPictureCompletedDisabled(const TGDIPPicture* v) { FPictureCompletedDisabled->Assign(v); }
    bool PictureStretched() const { return FPictureStretched; }
    void SetPictureStretched(bool v) { Update(FPictureStretched, v); }
    int Size() const { return FSize; }
    void SetSize(int v) { Update(FSize, v); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool v) { Update(FVisible, v); }
    int Offset() const { return FOffset; }
    void SetOffset(int v) { Update(FOffset, v); }
    int Steps() const { return FSteps; }

    void UpdateFromPicture();

private:
    int FSteps = 20;
    TColor FColor = 0xFFFFFF, FColorTo = 0;
    TTrackGradientDirection FDirection = TTrackGradientDirection::gdHorizontal;
    TColor FBorderColor = 12752500;
    bool FRounded = false, FBorder3D = true;
    std::unique_ptr<TGDIPPicture> FIPicture;
    TColor FColorDisabledTo = 0, FBorderColorDisabled = 0, FColorDisabled = 0;
    std::unique_ptr<TGDIPPicture> FIPictureDisabled;
    int FSize = 2;
    bool FVisible = true, FPictureStretched = false;
    TColor FColorCompletedDisabledTo = clNone, FColorCompletedTo = clNone, FColorCompleted = clNone,
           FColorCompletedDisabled = clNone;
    std::unique_ptr<TGDIPPicture> FPictureCompletedDisabled, FPictureCompleted;
    int FOffset = 10;
};

class TTrackBarTick : public TTrackBarSettings {
    KV_CLASS(TTrackBarTick)
public:
    TTrackBarTick();
    ~TTrackBarTick() override;
    void Assign(const TPersistent* source) override;

    KV_TRACK_COLOR(Color)
    KV_TRACK_COLOR(ColorDisabled)
    TGDIPPicture* Picture() const { return FIPicture.get(); }
    void SetPicture(const TGDIPPicture* v) { FIPicture->Assign(v); }
    TGDIPPicture* PictureDisabled() const { return FIPictureDisabled.get(); }
    void SetPictureDisabled(const TGDIPPicture* v) { FIPictureDisabled->Assign(v); }
    TTickMark Position() const { return FPosition; }
    void SetPosition(TTickMark v) { Update(FPosition, v); }
    TTickStyle Style() const { return FStyle; }
    void SetStyle(TTickStyle v) { Update(FStyle, v); }
    bool ShowText() const { return FShowText; }
    void SetShowText(bool v) { Update(FShowText, v); }
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* f) { FFont->Assign(f); }
    bool Line3D() const { return FLine3D; }
    void SetLine3D(bool v) { Update(FLine3D, v); }
    bool ShowImageAtThumbOnly() const { return FShowImageAtThumbOnly; }
    void SetShowImageAtThumbOnly(bool v) { Update(FShowImageAtThumbOnly, v); }
    int ShowImageAtSteps() const { return FShowImageAtSteps; }
    void SetShowImageAtSteps(int v) { Update(FShowImageAtSteps, v); }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int v) { Update(FSpacing, v); }
    int Size() const { return FSize; }
    void SetSize(int v) { Update(FSize, v); }
    bool RotateFontVert() const { return FRotateFontVert; }
    void SetRotateFontVert(bool v) { Update(FRotateFontVert, v); }

private:
    TColor FColor = 0;
    std::unique_ptr<TGDIPPicture> FIPicture;
    TColor FColorDisabled = 0;
    std::unique_ptr<TGDIPPicture> FIPictureDisabled;
    TTickMark FPosition = TTickMark::tmBottomRight;
    TTickStyle FStyle = TTickStyle::tsAuto;
    bool FShowText = false;
    std::unique_ptr<TFont> FFont;
    bool FLine3D = false, FShowImageAtThumbOnly = false;
    int FShowImageAtSteps = 1, FSpacing = 8, FSize = 4;
    bool FRotateFontVert = true;
};

class TTrackBarButtons : public TTrackBarSettings {
    KV_CLASS(TTrackBarButtons)
public:
    TTrackBarButtons();
    ~TTrackBarButtons() override;
    void Assign(const TPersistent* source) override;

    bool Visible() const { return FVisible; }
    void SetVisible(bool v) { Update(FVisible, v); }
    KV_TRACK_COLOR(ColorHot)
    KV_TRACK_COLOR(Color)
    KV_TRACK_COLOR(ColorTo)
    KV_TRACK_COLOR(ColorHotTo)
    KV_TRACK_COLOR(ColorDownTo)
    KV_TRACK_COLOR(ColorDown)
    KV_TRACK_COLOR(BorderColorDown)
    KV_TRACK_COLOR(BorderColorHot)
    KV_TRACK_COLOR(BorderColor)
    // The mirror colours are stored without a change event.
    TColor ColorMirror() const { return FColorMirror; }
    void SetColorMirror(TColor v) { FColorMirror = v; }
    TColor ColorMirrorTo() const { return FColorMirrorTo; }
    void SetColorMirrorTo(TColor v) { FColorMirrorTo = v; }
    TColor ColorMirrorHot() const { return FColorMirrorHot; }
    void SetColorMirrorHot(TColor v) { FColorMirrorHot = v; }
    TColor ColorMirrorHotTo() const { return FColorMirrorHotTo; }
    void SetColorMirrorHotTo(TColor v) { FColorMirrorHotTo = v; }
    TColor ColorMirrorDown() const { return FColorMirrorDown; }
    void SetColorMirrorDown(TColor v) { FColorMirrorDown = v; }
    TColor ColorMirrorDownTo() const { return FColorMirrorDownTo; }
    void SetColorMirrorDownTo(TColor v) { FColorMirrorDownTo = v; }
    TGDIPPicture* MinPicture() const { return FIMinPicture.get(); }
    void SetMinPicture(const TGDIPPicture* v) { FIMinPicture->Assign(v); }
    TGDIPPicture* MinPictureHot() const { return FIMinPictureHot.get(); }
    void SetMinPictureHot(const TGDIPPicture* v) { FIMinPictureHot->Assign(v); }
    TGDIPPicture* MinPictureDown() const { return FIMinPictureDown.get(); }
    void SetMinPictureDown(const TGDIPPicture* v) { FIMinPictureDown->Assign(v); }
    TGDIPPicture* MaxPicture() const { return FIMaxPicture.get(); }
    void SetMaxPicture(const TGDIPPicture* v) { FIMaxPicture->Assign(v); }
    TGDIPPicture* MaxPictureHot() const { return FIMaxPictureHot.get(); }
    void SetMaxPictureHot(const TGDIPPicture* v) { FIMaxPictureHot->Assign(v); }
    TGDIPPicture* MaxPictureDown() const { return FIMaxPictureDown.get(); }
    void SetMaxPictureDown(const TGDIPPicture* v) { FIMaxPictureDown->Assign(v); }
    TTrackButtonShape Shape() const { return FShape; }
    void SetShape(TTrackButtonShape v) { Update(FShape, v); }
    TGDIPGradient Gradient() const { return FGradient; }
    void SetGradient(TGDIPGradient v) { Update(FGradient, v); }
    TGDIPGradient GradientMirror() const { return FGradientMirror; }
    void SetGradientMirror(TGDIPGradient v) { Update(FGradientMirror, v); }
    int CornerRadius() const { return FCornerRadius; }
    void SetCornerRadius(int v) { Update(FCornerRadius, v); }
    // Stored without a change event: they change no drawing.
    bool RepeatClick() const { return FRepeatClick; }
    void SetRepeatClick(bool v) { FRepeatClick = v; }
    int InitRepeatPause() const { return FInitRepeatPause; }
    void SetInitRepeatPause(int v) { FInitRepeatPause = v; }
    int RepeatPause() const { return FRepeatPause; }
    void SetRepeatPause(int v) { FRepeatPause = v; }
    int Step() const { return FStep; }
    void SetStep(int v) { FStep = v; }
    // Taken only while both button pictures are empty (the pictures decide otherwise).
    int Size() const { return FSize; }
    void SetSize(int v);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int v) { Update(FSpacing, v); }
    bool RotateText() const { return FRotateText; }
    void SetRotateText(bool v) { Update(FRotateText, v); }

    void UpdateFromPicture();

private:
    bool FVisible = false;
    TColor FColorHot = 15465983, FColor = 15653832, FColorTo = 16178633, FColorHotTo = 11332863,
           FColorDownTo = 4296947, FColorDown = 7778289, FBorderColorDown = 4548219,
           FBorderColorHot = 10079963, FBorderColor = 9262895;
    std::unique_ptr<TGDIPPicture> FIMaxPictureHot, FIMaxPictureDown, FIMinPicture, FIMaxPicture,
        FIMinPictureHot, FIMinPictureDown;
    TTrackButtonShape FShape = TTrackButtonShape::bsRound;
    TColor FColorMirror = 15586496, FColorMirrorTo = 16245200, FColorMirrorHot = 5888767,
           FColorMirrorDownTo = 5021693, FColorMirrorHotTo = 10807807, FColorMirrorDown = 946929;
    TGDIPGradient FGradientMirror = TGDIPGradient::ggVertical, FGradient = TGDIPGradient::ggVertical;
    int FCornerRadius = 0;
    bool FRepeatClick = true;
    int FInitRepeatPause = 400, FRepeatPause = 100, FSize = 20;
    int FSpacing = 2, FStep = 1;
    bool FRotateText = true;
};

class TTrackBarLabel : public TTrackBarSettings {
    KV_CLASS(TTrackBarLabel)
public:
    TTrackBarLabel();
    ~TTrackBarLabel() override;
    void Assign(const TPersistent* source) override;

    bool Visible() const { return FVisible; }
    void SetVisible(bool v) { Update(FVisible, v); }
    const std::string& Format() const { return FFormat; }
    void SetFormat(const std::string& v) { Update(FFormat, v); }
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* f) { FFont->Assign(f); }
    TLabelPosition Position() const { return FPosition; }
    void SetPosition(TLabelPosition v) { Update(FPosition, v); }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int v) { Update(FSpacing, v); }

private:
    bool FVisible = false;
    std::string FFormat = "Pos: %d";
    std::unique_ptr<TFont> FFont;
    TLabelPosition FPosition = TLabelPosition::lpTopCenter;
    int FSpacing = 4;
};

#undef KV_TRACK_COLOR

} // namespace kv
