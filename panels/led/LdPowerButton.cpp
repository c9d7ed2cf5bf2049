#include "panels/led/LdPowerButton.h"

#include "panels/PkControlHelpers.h"
#include "panels/PkGraphics.h"
#include "panels/PkPropHelpers.h"

#include <algorithm>

namespace kv {

bool IsAccel(char key, const std::string& caption) {
    return MatchesAccelerator(caption, key);
}

KV_REGISTER_CLASS(TLdPowerButton, TLdButtonControl, b) {
    b.Prop("Active", &TLdPowerButton::Active, &TLdPowerButton::SetActive).Default(false);
    b.Prop("LedWidth", &TLdPowerButton::LedWidth, &TLdPowerButton::SetLedWidth).Default(12);
    b.Prop("LedHeight", &TLdPowerButton::LedHeight, &TLdPowerButton::SetLedHeight).Default(12);
    b.Prop("Layout", &TLdPowerButton::Layout, &TLdPowerButton::SetLayout)
        .Default(TLdImageTextLayout::ImageLeft);
    b.Prop("Margin", &TLdPowerButton::Margin, &TLdPowerButton::SetMargin).Default(-1);
    b.Prop("Spacing", &TLdPowerButton::Spacing, &TLdPowerButton::SetSpacing).Default(5);
    b.Prop("Palette", &TLdPowerButton::Palette, &TLdPowerButton::SetPalette);
    PK_COLOR_PROP(b, "FocusColor", &TLdPowerButton::FocusColor, &TLdPowerButton::SetFocusColor, clBlue);
    PK_COLOR_PROP(b, "OutlineColor", &TLdPowerButton::OutlineColor, &TLdPowerButton::SetOutlineColor,
                  clBlack);
    b.Prop("OutlineWidth", &TLdPowerButton::OutlineWidth, &TLdPowerButton::SetOutlineWidth).Default(1);
    PK_COLOR_PROP(b, "HighlightColor", &TLdPowerButton::HighlightColor, &TLdPowerButton::SetHighlightColor,
                  clBtnHighlight);
    PK_COLOR_PROP(b, "ShadowColor", &TLdPowerButton::ShadowColor, &TLdPowerButton::SetShadowColor,
                  clBtnShadow);
    b.Prop("BevelWidth", &TLdPowerButton::BevelWidth, &TLdPowerButton::SetBevelWidth).Default(2);
    CaptionProp(b);
    ColorProps(b, clBtnFace, false);
    FontProps(b);
    PopupProp(b);
    TabProps(b, false);
    FocusAndKeyEvents(b);
}

TLdPowerButton::TLdPowerButton(TComponent* owner)
    : TLdButtonControl(owner), FPalette(std::make_unique<TLdPalette>()) {
    SetBounds(0, 0, 125, 25);
    FPalette->OnChange = [this](TObject*) { RequestRepaint(); };
    UpdateLayout();
}

TLdPowerButton::~TLdPowerButton() {
    Destroying();
    FPalette->OnChange = nullptr;
}

void TLdPowerButton::SetActive(bool v) {
    if (v == FActive)
        return;
    FActive = v;
    RequestRepaint();
}

void TLdPowerButton::SetLedWidth(int v) {
    if (Differs(FLedWidth, std::max(1, v)))
        UpdateLayout();
}
void TLdPowerButton::SetLedHeight(int v) {
    if (Differs(FLedHeight, std::max(1, v)))
        UpdateLayout();
}
void TLdPowerButton::SetLayout(TLdImageTextLayout v) {
    if (Differs(FLayout, v))
        UpdateLayout();
}
void TLdPowerButton::SetMargin(int v) {
    if (Differs(FMargin, v))
        UpdateLayout();
}
void TLdPowerButton::SetSpacing(int v) {
    if (Differs(FSpacing, v))
        UpdateLayout();
}
// The frame widths feed the layout too; recomputing it keeps the LED inside the frame when they
// change at run time.
void TLdPowerButton::SetBevelWidth(int v) {
    if (Differs(FBevelWidth, std::clamp(v, 0, 255)))
        UpdateLayout();
}
void TLdPowerButton::SetOutlineWidth(int v) {
    if (Differs(FOutlineWidth, std::clamp(v, 0, 255)))
        UpdateLayout();
}

void TLdPowerButton::UpdateLayout() {
    TCanvas measure;
    QImage scratch(1, 1, QImage::Format_RGB32);
    measure.SetTarget(&scratch);
    measure.Font()->Assign(Font());
    int inset = FBevelWidth + FOutlineWidth;
    TRect content{inset, inset, Width() - inset, Height() - inset};
    TPoint image;
    CalcImageTextLayout(measure, content, {FLedWidth, FLedHeight}, FSpacing, FMargin, FLayout, Caption(),
                        image, FTextBounds);
    FImageRect = {image.X, image.Y, image.X + FLedWidth, image.Y + FLedHeight};
    RequestRepaint();
}

void TLdPowerButton::SetBounds(int left, int top, int width, int height) {
    bool resized = width != Width() || height != Height();
    TLdCustomImageControl::SetBounds(left, top, width, height);
    if (resized)
        UpdateLayout();
}

void TLdPowerButton::FontChanged() {
    TLdCustomImageControl::FontChanged();
    UpdateLayout();
}

void TLdPowerButton::TextChanged() {
    TLdCustomImageControl::TextChanged();
    UpdateLayout();
}

void TLdPowerButton::Loaded() {
    TLdCustomImageControl::Loaded();
    UpdateLayout();
}

void TLdPowerButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft) {
        FDown = true;
        FPressed = true;
        RequestRepaint();
        if (TabStop() && CanFocus())
            SetFocus();
    }
    TLdCustomImageControl::MouseDown(button, shift, x, y);
}

void TLdPowerButton::MouseMove(TShiftState shift, int x, int y) {
    // While the button is held the widget keeps the mouse; leaving and re-entering are seen here.
    if (FDown) {
        bool inside = x >= 0 && y >= 0 && x < Width() && y < Height();
        if (inside != FPressed) {
            FPressed = inside;
            RequestRepaint();
        }
    }
    TLdCustomImageControl::MouseMove(shift, x, y);
}

void TLdPowerButton::DoMouseLeave() {
    if (FDown)
        FPressed = false;
    RequestRepaint();
    TLdCustomImageControl::DoMouseLeave();
}

void TLdPowerButton::DoMouseEnter() {
    if (FDown)
        FPressed = true;
    RequestRepaint();
    TLdCustomImageControl::DoMouseEnter();
}

void TLdPowerButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    FDown = false;
    bool wasPressed = FPressed;
    if (FPressed) {
        FPressed = false;
        SetActive(!FActive);
    }
    TLdCustomImageControl::MouseUp(button, shift, x, y);
    if (wasPressed)
        ClickEvent();
}

bool TLdPowerButton::KeyDown(std::uint16_t& key, TShiftState shift) {
    bool consumed = TLdCustomImageControl::KeyDown(key, shift);
    if (key == VK_SPACE) {
        FSpaceDown = true;
        FPressed = true;
        RequestRepaint();
    }
    return consumed;
}

bool TLdPowerButton::KeyUp(std::uint16_t& key, TShiftState shift) {
    bool consumed = TLdCustomImageControl::KeyUp(key, shift);
    // Only a release that follows a Space press on this button toggles: a Space pressed elsewhere
    // (on a button that then moved the focus here) must not switch this LED.
    if (key == VK_SPACE && FSpaceDown) {
        FSpaceDown = false;
        FPressed = false;
        SetActive(!FActive);
        ClickEvent();
    }
    return consumed;
}

void TLdPowerButton::Paint(TCanvas& canvas) {
    PrepareImage();
    TCanvas& c = *BitmapCanvas();
    TRect r{0, 0, Width(), Height()};
    TColor outline = OutlineOrFocusColor();
    DrawFrame3D(c, r, outline, outline, FOutlineWidth);
    if (FPressed) {
        r = {0, 0, Width(), Height()};
        DrawFrame3D(c, r, FOutlineColor, FHighlightColor, FOutlineWidth);
        DrawFrame3D(c, r, FShadowColor, FOutlineColor, FBevelWidth);
    } else {
        DrawFrame3D(c, r, FHighlightColor, FShadowColor, FBevelWidth);
    }
    TColor led = Enabled() ? FPalette->ColorOf(FActive ? 1 : 0) : Color();
    TRect lr = FImageRect;
    DrawFrame3D(c, lr, FShadowColor, FHighlightColor, 1);
    DrawFrame3D(c, lr, clBlack, clBlack, 1);
    c.Brush()->SetStyle(TBrushStyle::bsSolid);
    c.Brush()->SetColor(led);
    c.FillRect(lr);
    c.Font()->Assign(Font());
    c.Brush()->SetStyle(TBrushStyle::bsClear);
    DrawEmbossedText(c, Caption(), FTextBounds, Enabled());
    TLdCustomImageControl::Paint(canvas);
}

} // namespace kv
