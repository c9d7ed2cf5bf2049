#include "styled/StTrackBarSettings.h"

#include "styled/StTrackBar.h"

namespace kv {

std::vector<std::string> EnumIdents(TThumbShape) {
    return {"tsPointer",       "tsRectangle",      "tsRoundRect", "tsRound",        "tsLine",
            "tsPointerLeftUp", "tsPointerRightUp", "tsTriangle",  "tsTriangleLeft", "tsTriangleRight"};
}
std::vector<std::string> EnumIdents(TThumbStyle) {
    return {"tstOffice2007", "tstCustom"};
}
std::vector<std::string> EnumIdents(TThumbPointer) {
    return {"tpLeft", "tpCenter", "tpRight"};
}
std::vector<std::string> EnumIdents(TGDIPGradient) {
    return {"ggRadial", "ggVertical", "ggDiagonalForward", "ggDiagonalBackward"};
}
namespace sttrackbar {
std::vector<std::string> EnumIdents(TGradientDirection) {
    return {"gdHorizontal", "gdVertical", "gdHorizontalInOut", "gdVerticalInOut"};
}
} // namespace sttrackbar
std::vector<std::string> EnumIdents(TTickMark) {
    return {"tmBottomRight", "tmTopLeft", "tmBoth"};
}
std::vector<std::string> EnumIdents(TTickStyle) {
    return {"tsNone", "tsAuto", "tsManual"};
}
std::vector<std::string> EnumIdents(TTrackButtonShape) {
    return {"bsRound", "bsRectangle"};
}
std::vector<std::string> EnumIdents(TLabelPosition) {
    return {"lpTopCenter", "lpTopLeft", "lpTopRight", "lpBottomCenter", "lpBottomLeft", "lpBottomRight"};
}

namespace {
std::unique_ptr<TGDIPPicture> NewPicture(const std::function<void()>& onChange) {
    auto p = std::make_unique<TGDIPPicture>();
    p->OnChange = [onChange](TObject*) { onChange(); };
    return p;
}
std::unique_ptr<TFont> NewFont(const std::function<void()>& onChange) {
    auto f = std::make_unique<TFont>();
    f->SetName("Tahoma");
    f->OnChange = [onChange](TObject*) { onChange(); };
    return f;
}
} // namespace

KV_REGISTER_CLASS(TTrackBarSettings, TPersistent, b) {}

bool TTrackBarSettings::OwnerVertical() const {
    return FStTrackBar && FStTrackBar->Orientation() == TTrackBarOrientation::trVertical;
}

// ---------------------------------------------------------------------------------------------------
// Thumb

#define KV_COLOR_PROP(Cls, Name) b.Prop(#Name, &Cls::Name, &Cls::Set##Name).Idents(ColorIdents(), "TColor")

KV_REGISTER_CLASS(TTrackBarThumb, TTrackBarSettings, b) {
    using T = TTrackBarThumb;
    KV_COLOR_PROP(T, BorderColor);
    KV_COLOR_PROP(T, BorderColorHot);
    KV_COLOR_PROP(T, BorderColorDown);
    KV_COLOR_PROP(T, BorderColorDisabled);
    KV_COLOR_PROP(T, Color);
    KV_COLOR_PROP(T, ColorTo);
    KV_COLOR_PROP(T, ColorDown);
    KV_COLOR_PROP(T, ColorDownTo);
    KV_COLOR_PROP(T, ColorHot);
    KV_COLOR_PROP(T, ColorHotTo);
    KV_COLOR_PROP(T, ColorDisabled);
    KV_COLOR_PROP(T, ColorDisabledTo);
    KV_COLOR_PROP(T, ColorMirror);
    KV_COLOR_PROP(T, ColorMirrorTo);
    KV_COLOR_PROP(T, ColorMirrorHot);
    KV_COLOR_PROP(T, ColorMirrorHotTo);
    KV_COLOR_PROP(T, ColorMirrorDown);
    KV_COLOR_PROP(T, ColorMirrorDownTo);
    KV_COLOR_PROP(T, ColorMirrorDisabled);
    KV_COLOR_PROP(T, ColorMirrorDisabledTo);
    b.Prop("Gradient", &T::Gradient, &T::SetGradient);
    b.Prop("GradientMirror", &T::GradientMirror, &T::SetGradientMirror);
    b.Prop("Picture", &T::Picture, &T::SetPicture);
    b.Prop("PictureHot", &T::PictureHot, &T::SetPictureHot);
    b.Prop("PictureDown", &T::PictureDown, &T::SetPictureDown);
    b.Prop("PictureDisabled", &T::PictureDisabled, &T::SetPictureDisabled);
    b.Prop("ShowAtMinMax", &T::ShowAtMinMax, &T::SetShowAtMinMax).Default(true);
    b.Prop("Size", &T::Size, &T::SetSize).Default(15);
    b.Prop("Width", &T::Width, &T::SetWidth).Default(10);
    b.Prop("Shape", &T::Shape, &T::SetShape);
    b.Prop("ThumbPointer", &T::ThumbPointer, &T::SetThumbPointer).Default(TThumbPointer::tpCenter);
    b.Event("OnChange", &TTrackBarSettings::OnChange);
}

TTrackBarThumb::TTrackBarThumb() {
    auto update = [this] { UpdateFromPicture(); };
    FIPicture = NewPicture(update);
    FIPictureDisabled = NewPicture(update);
    FIPictureDown = NewPicture(update);
    FIPictureHot = NewPicture(update);
}

TTrackBarThumb::~TTrackBarThumb() = default;

void TTrackBarThumb::SetSize(int v) {
    if (!HasImage(FIPicture.get()))
        Update(FSize, v);
}

void TTrackBarThumb::SetWidth(int v) {
    if (!HasImage(FIPicture.get()))
        Update(FWidth, v);
}

void TTrackBarThumb::SetThumbPointer(TThumbPointer v) {
    if (FStTrackBar && FStTrackBar->CanChangeThumbPointer())
        Update(FThumbPointer, v);
}

void TTrackBarThumb::UpdateFromPicture() {
    // The sizes always come from Picture, whichever of the four pictures changed.
    if (HasImage(FIPicture.get()) && FStTrackBar && FIPicture->GetImageSizes()) {
        if (OwnerVertical()) {
            FWidth = FIPicture->Height();
            FSize = FIPicture->Width();
        } else {
            FSize = FIPicture->Height();
            FWidth = FIPicture->Width();
        }
    }
    Changed();
}

void TTrackBarThumb::Assign(const TPersistent* source) {
    auto* src = dynamic_cast<const TTrackBarThumb*>(source);
    if (!src)
        return; // any other source is ignored
    FColor = src->FColor;
    FColorTo = src->FColorTo;
    FBorderColor = src->FBorderColor;
    FColorHot = src->FColorHot;
    FColorHotTo = src->FColorHotTo;
    FBorderColorHot = src->FBorderColorHot;
    FColorDown = src->FColorDown;
    FColorDownTo = src->FColorDownTo;
    FBorderColorDown = src->FBorderColorDown;
    FColorDisabled = src->FColorDisabled;
    FColorDisabledTo = src->FColorDisabledTo;
    FBorderColorDisabled = src->FBorderColorDisabled;
    FColorMirror = src->FColorMirror;
    FColorMirrorTo = src->FColorMirrorTo;
    FColorMirrorHot = src->FColorMirrorHot;
    FColorMirrorHotTo = src->FColorMirrorHotTo;
    FColorMirrorDown = src->FColorMirrorDown;
    FColorMirrorDownTo = src->FColorMirrorDownTo;
    FColorMirrorDisabled = src->FColorMirrorDisabled;
    FColorMirrorDisabledTo = src->FColorMirrorDisabledTo;
    FSteps = src->FSteps;
    FGradient = src->FGradient;
    FGradientMirror = src->FGradientMirror;
    FIPicture->Assign(src->FIPicture.get());
    FIPictureHot->Assign(src->FIPictureHot.get());
    FIPictureDown->Assign(src->FIPictureDown.get());
    FIPictureDisabled->Assign(src->FIPictureDisabled.get());
    SetWidth(src->FWidth);
    SetShape(src->FShape);
    SetStyle(src->FStyle);
    SetSize(src->FSize);
    SetThumbPointer(src->FThumbPointer);
}

// ---------------------------------------------------------------------------------------------------
// Slider

KV_REGISTER_CLASS(TTrackBarSlider, TTrackBarSettings, b) {
    using T = TTrackBarSlider;
    KV_COLOR_PROP(T, BorderColor);
    KV_COLOR_PROP(T, BorderColorDisabled);
    KV_COLOR_PROP(T, Color);
    KV_COLOR_PROP(T, ColorTo);
    KV_COLOR_PROP(T, ColorDisabled);
    KV_COLOR_PROP(T, ColorDisabledTo);
    KV_COLOR_PROP(T, ColorCompleted);
    KV_COLOR_PROP(T, ColorCompletedTo);
    KV_COLOR_PROP(T, ColorCompletedDisabled);
    KV_COLOR_PROP(T, ColorCompletedDisabledTo);
    b.Prop("Direction", &T::Direction, &T::SetDirection);
    b.Prop("Picture", &T::Picture, &T::SetPicture);
    b.Prop("PictureDisabled", &T::PictureDisabled, &T::SetPictureDisabled);
    b.Prop("PictureCompleted", &T::PictureCompleted, &T::SetPictureCompleted);
    b.Prop("PictureCompletedDisabled", &T::PictureCompletedDisabled, &T::SetPictureCompletedDisabled);
    b.Prop("PictureStretched", &T::PictureStretched, &T::SetPictureStretched).Default(false);
    b.Prop("Size", &T::Size, &T::SetSize).Default(2);
    b.Prop("Border3D", &T::Border3D, &T::SetBorder3D).Default(true);
    b.Prop("Rounded", &T::Rounded, &T::SetRounded).Default(false);
    b.Prop("Visible", &T::Visible, &T::SetVisible).Default(true);
    b.Prop("Offset", &T::Offset, &T::SetOffset).Default(10);
    b.Event("OnChange", &TTrackBarSettings::OnChange);
}

TTrackBarSlider::TTrackBarSlider() {
    auto update = [this] { UpdateFromPicture(); };
    FIPicture = NewPicture(update);
    FIPictureDisabled = NewPicture(update);
    FPictureCompleted = NewPicture(update);
    FPictureCompletedDisabled = NewPicture(update);
}

TTrackBarSlider::~TTrackBarSlider() = default;

void TTrackBarSlider::UpdateFromPicture() {
    if (HasImage(FIPicture.get()) && FIPicture->GetImageSizes()) {
        FSize = OwnerVertical() ? FIPicture->Width() : FIPicture->Height();
        SetBorderColor(clNone);
    }
    Changed();
}

void TTrackBarSlider::Assign(const TPersistent* source) {
    auto* src = dynamic_cast<const TTrackBarSlider*>(source);
    if (!src) {
        TPersistent::Assign(source);
        return;
    }
    FBorderColor = src->FBorderColor;
    FBorderColorDisabled = src->FBorderColorDisabled;
    FColor = src->FColor;
    FColorTo = src->FColorTo;
    FColorDisabled = src->FColorDisabled;
    FColorDisabledTo = src->FColorDisabledTo;
    FColorCompleted = src->FColorCompleted;
    FColorCompletedTo = src->FColorCompletedTo;
    FColorCompletedDisabled = src->FColorCompletedDisabled;
    FColorCompletedDisabledTo = src->FColorCompletedDisabledTo;
    FSize = src->FSize;
    FRounded = src->FRounded;
    SetBorder3D(src->FBorder3D);
    SetVisible(src->FVisible);
    FIPicture->Assign(src->FIPicture.get());
    FIPictureDisabled->Assign(src->FIPictureDisabled.get());
    FPictureStretched = src->FPictureStretched;
    FPictureCompleted->Assign(src->FPictureCompleted.get());
    FPictureCompletedDisabled->Assign(src->FPictureCompletedDisabled.get());
    SetOffset(src->FOffset);
}

// ---------------------------------------------------------------------------------------------------
// Tick marks

KV_REGISTER_CLASS(TTrackBarTick, TTrackBarSettings, b) {
    using T = TTrackBarTick;
    KV_COLOR_PROP(T, Color);
    KV_COLOR_PROP(T, ColorDisabled);
    b.Prop("Font", &T::Font, &T::SetFont);
    b.Prop("Line3D", &T::Line3D, &T::SetLine3D);
    b.Prop("Picture", &T::Picture, &T::SetPicture);
    b.Prop("PictureDisabled", &T::PictureDisabled, &T::SetPictureDisabled);
    b.Prop("Position", &T::Position, &T::SetPosition).Default(TTickMark::tmBottomRight);
    b.Prop("RotateFontVert", &T::RotateFontVert, &T::SetRotateFontVert).Default(true);
    b.Prop("Style", &T::Style, &T::SetStyle).Default(TTickStyle::tsAuto);
    b.Prop("ShowText", &T::ShowText, &T::SetShowText);
    b.Prop("ShowImageAtThumbOnly", &T::ShowImageAtThumbOnly, &T::SetShowImageAtThumbOnly);
    b.Prop("ShowImageAtSteps", &T::ShowImageAtSteps, &T::SetShowImageAtSteps).Default(1);
    b.Prop("Spacing", &T::Spacing, &T::SetSpacing).Default(8);
    b.Prop("Size", &T::Size, &T::SetSize).Default(4);
    b.Event("OnChange", &TTrackBarSettings::OnChange);
}

TTrackBarTick::TTrackBarTick() {
    auto changed = [this] { Changed(); };
    FIPicture = NewPicture(changed);
    FIPictureDisabled = NewPicture(changed);
    FFont = NewFont(changed);
}

TTrackBarTick::~TTrackBarTick() = default;

void TTrackBarTick::Assign(const TPersistent* source) {
    auto* src = dynamic_cast<const TTrackBarTick*>(source);
    if (!src) {
        TPersistent::Assign(source);
        return;
    }
    SetColor(src->FColor);
    SetColorDisabled(src->FColorDisabled);
    SetSize(src->FSize);
    SetPosition(src->FPosition);
    SetStyle(src->FStyle);
    FIPicture->Assign(src->FIPicture.get());
    FIPictureDisabled->Assign(src->FIPictureDisabled.get());
    FFont->Assign(src->FFont.get());
    SetShowText(src->FShowText);
    SetLine3D(src->FLine3D);
    FShowImageAtThumbOnly = src->FShowImageAtThumbOnly;
    FShowImageAtSteps = src->FShowImageAtSteps;
    SetSpacing(src->FSpacing);
}

// ---------------------------------------------------------------------------------------------------
// Min and max buttons

KV_REGISTER_CLASS(TTrackBarButtons, TTrackBarSettings, b) {
    using T = TTrackBarButtons;
    KV_COLOR_PROP(T, BorderColor);
    KV_COLOR_PROP(T, BorderColorHot);
    KV_COLOR_PROP(T, BorderColorDown);
    KV_COLOR_PROP(T, Color);
    KV_COLOR_PROP(T, ColorTo);
    KV_COLOR_PROP(T, ColorHot);
    KV_COLOR_PROP(T, ColorHotTo);
    KV_COLOR_PROP(T, ColorDown);
    KV_COLOR_PROP(T, ColorDownTo);
    KV_COLOR_PROP(T, ColorMirror).Default(12632256);
    KV_COLOR_PROP(T, ColorMirrorTo).Default(16777215);
    KV_COLOR_PROP(T, ColorMirrorHot);
    KV_COLOR_PROP(T, ColorMirrorHotTo);
    KV_COLOR_PROP(T, ColorMirrorDown);
    KV_COLOR_PROP(T, ColorMirrorDownTo);
    b.Prop("Gradient", &T::Gradient, &T::SetGradient).Default(TGDIPGradient::ggVertical);
    b.Prop("GradientMirror", &T::GradientMirror, &T::SetGradientMirror);
    b.Prop("MinPicture", &T::MinPicture, &T::SetMinPicture);
    b.Prop("MinPictureHot", &T::MinPictureHot, &T::SetMinPictureHot);
    b.Prop("MinPictureDown", &T::MinPictureDown, &T::SetMinPictureDown);
    b.Prop("MaxPicture", &T::MaxPicture, &T::SetMaxPicture);
    b.Prop("MaxPictureHot", &T::MaxPictureHot, &T::SetMaxPictureHot);
    b.Prop("MaxPictureDown", &T::MaxPictureDown, &T::SetMaxPictureDown);
    b.Prop("InitRepeatPause", &T::InitRepeatPause, &T::SetInitRepeatPause).Default(400);
    b.Prop("RepeatPause", &T::RepeatPause, &T::SetRepeatPause).Default(100);
    b.Prop("RepeatClick", &T::RepeatClick, &T::SetRepeatClick).Default(true);
    b.Prop("RotateText", &T::RotateText, &T::SetRotateText).Default(true);
    b.Prop("Visible", &T::Visible, &T::SetVisible).Default(false);
    b.Prop("Size", &T::Size, &T::SetSize).Default(20);
    b.Prop("Shape", &T::Shape, &T::SetShape).Default(TTrackButtonShape::bsRound);
    b.Prop("Spacing", &T::Spacing, &T::SetSpacing).Default(2);
    b.Prop("Step", &T::Step, &T::SetStep).Default(1);
    b.Event("OnChange", &TTrackBarSettings::OnChange);
}

TTrackBarButtons::TTrackBarButtons() {
    auto update = [this] { UpdateFromPicture(); };
    // Only the two normal pictures decide the size; the hot and down ones tell nobody.
    FIMinPicture = NewPicture(update);
    FIMaxPicture = NewPicture(update);
    FIMinPictureHot = std::make_unique<TGDIPPicture>();
    FIMinPictureDown = std::make_unique<TGDIPPicture>();
    FIMaxPictureHot = std::make_unique<TGDIPPicture>();
    FIMaxPictureDown = std::make_unique<TGDIPPicture>();
}

TTrackBarButtons::~TTrackBarButtons() = default;

void TTrackBarButtons::SetSize(int v) {
    if (!HasImage(FIMinPicture.get()) && !HasImage(FIMaxPicture.get()))
        Update(FSize, v);
}

void TTrackBarButtons::UpdateFromPicture() {
    if ((HasImage(FIMinPicture.get()) || HasImage(FIMaxPicture.get())) && FStTrackBar) {
        TGDIPPicture* p = HasImage(FIMinPicture.get()) ? FIMinPicture.get() : FIMaxPicture.get();
        if (p->GetImageSizes())
            FSize = OwnerVertical() ? p->Height() : p->Width();
    }
    Changed();
}

void TTrackBarButtons::Assign(const TPersistent* source) {
    auto* src = dynamic_cast<const TTrackBarButtons*>(source);
    if (!src) {
        TPersistent::Assign(source);
        return;
    }
    SetBorderColor(src->FBorderColor);
    SetBorderColorHot(src->FBorderColorHot);
    SetBorderColorDown(src->FBorderColorDown);
    SetColor(src->FColor);
    SetColorTo(src->FColorTo);
    SetColorHot(src->FColorHot);
    SetColorHotTo(src->FColorHotTo);
    SetColorDown(src->FColorDown);
    SetColorDownTo(src->FColorDownTo);
    FColorMirror = src->FColorMirror;
    FColorMirrorTo = src->FColorMirrorTo;
    FColorMirrorHot = src->FColorMirrorHot;
    FColorMirrorHotTo = src->FColorMirrorHotTo;
    FColorMirrorDown = src->FColorMirrorDown;
    FColorMirrorDownTo = src->FColorMirrorDownTo;
    FIMinPicture->Assign(src->FIMinPicture.get());
    FIMinPictureHot->Assign(src->FIMinPictureHot.get());
    FIMinPictureDown->Assign(src->FIMinPictureDown.get());
    FIMaxPicture->Assign(src->FIMaxPicture.get());
    FIMaxPictureHot->Assign(src->FIMaxPictureHot.get());
    FIMaxPictureDown->Assign(src->FIMaxPictureDown.get());
    SetVisible(src->FVisible);
    SetSize(src->FSize);
    SetShape(src->FShape);
    SetCornerRadius(src->FCornerRadius);
    FRepeatClick = src->FRepeatClick;
    FRepeatPause = src->FRepeatPause;
    SetRotateText(src->FRotateText);
    FInitRepeatPause = src->FInitRepeatPause;
    SetSpacing(src->FSpacing);
    FStep = src->FStep;
}

// ---------------------------------------------------------------------------------------------------
// Track label

KV_REGISTER_CLASS(TTrackBarLabel, TTrackBarSettings, b) {
    using T = TTrackBarLabel;
    b.Prop("Visible", &T::Visible, &T::SetVisible).Default(false);
    b.Prop("Position", &T::Position, &T::SetPosition).Default(TLabelPosition::lpTopCenter);
    b.Prop("Font", &T::Font, &T::SetFont);
    b.Prop("Format", &T::Format, &T::SetFormat);
    b.Prop("Spacing", &T::Spacing, &T::SetSpacing).Default(4);
    b.Event("OnChange", &TTrackBarSettings::OnChange);
}

TTrackBarLabel::TTrackBarLabel() {
    FFont = NewFont([this] { Changed(); });
}

TTrackBarLabel::~TTrackBarLabel() = default;

void TTrackBarLabel::Assign(const TPersistent* source) {
    auto* src = dynamic_cast<const TTrackBarLabel*>(source);
    if (!src) {
        TPersistent::Assign(source);
        return;
    }
    FVisible = src->FVisible;
    FFormat = src->FFormat;
    FFont->Assign(src->FFont.get());
    SetPosition(src->FPosition);
}

#undef KV_COLOR_PROP

} // namespace kv
