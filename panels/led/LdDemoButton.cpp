#include "panels/led/LdDemoButton.h"

#include "panels/PkControlHelpers.h"
#include "panels/PkPropHelpers.h"

#include <algorithm>

namespace kv {

KV_REGISTER_CLASS(TLdDemoButton, TLdButtonControl, b) {
    b.Prop("FontEnter", &TLdDemoButton::FontEnter, &TLdDemoButton::SetFontEnter);
    b.Prop("FontLeave", &TLdDemoButton::FontLeave, &TLdDemoButton::SetFontLeave);
    b.Prop("Bitmap", &TLdDemoButton::Bitmap, &TLdDemoButton::SetBitmap);
    PK_COLOR_PROP(b, "OutlineColor", &TLdDemoButton::OutlineColor, &TLdDemoButton::SetOutlineColor, clBlack);
    PK_COLOR_PROP(b, "ShadowColor", &TLdDemoButton::ShadowColor, &TLdDemoButton::SetShadowColor, clBtnShadow);
    PK_COLOR_PROP(b, "HighlightColor", &TLdDemoButton::HighlightColor, &TLdDemoButton::SetHighlightColor,
                  clBtnHighlight);
    b.Prop("BevelWidth", &TLdDemoButton::BevelWidth, &TLdDemoButton::SetBevelWidth).Default(2);
    b.Prop("OutlineWidth", &TLdDemoButton::OutlineWidth, &TLdDemoButton::SetOutlineWidth).Default(1);
    b.Prop("TextAlignment", &TLdDemoButton::TextAlignment, &TLdDemoButton::SetTextAlignment)
        .Default(TLdTextAlignment::vtaCenter);
    PK_COLOR_PROP(b, "DisabledTextColor", &TLdDemoButton::DisabledTextColor,
                  &TLdDemoButton::SetDisabledTextColor, clInactiveCaption);
    PK_COLOR_PROP(b, "FocusColor", &TLdDemoButton::FocusColor, &TLdDemoButton::SetFocusColor, clBlue);
    b.Prop("Font3D", &TLdDemoButton::Font3D, &TLdDemoButton::SetFont3D);
    b.Prop("Flat", &TLdDemoButton::Flat, &TLdDemoButton::SetFlat).Default(false);
    CaptionProp(b);
    ColorProps(b, clBtnFace, false);
    PopupProp(b);
    TabProps(b, false);
    FocusAndKeyEvents(b);
}

TLdDemoButton::TLdDemoButton(TComponent* owner)
    : TLdButtonControl(owner), FBitmap(std::make_unique<TBitmap>()), FFontEnter(std::make_unique<TFont>()),
      FFontLeave(std::make_unique<TFont>()), FFont3D(std::make_unique<TLdFont3D>()) {
    SetBounds(0, 0, 150, 25);
    for (TFont* f : {FFontEnter.get(), FFontLeave.get()}) {
        f->SetName("Arial");
        f->SetSize(12);
        f->SetStyle({TFontStyle::fsBold});
    }
    FFontEnter->SetColor(clRed);
    FFontLeave->SetColor(clBlack);
    FBitmap->OnChange = [this](TObject*) { RequestRepaint(); };
    FFontEnter->OnChange = [this](TObject*) { RequestRepaint(); };
    FFontLeave->OnChange = [this](TObject*) { RequestRepaint(); };
    FFont3D->OnChange = [this](TObject*) { RequestRepaint(); };
}

TLdDemoButton::~TLdDemoButton() {
    Destroying();
    FBitmap->OnChange = nullptr;
    FFontEnter->OnChange = nullptr;
    FFontLeave->OnChange = nullptr;
    FFont3D->OnChange = nullptr;
}

void TLdDemoButton::SetBitmap(const TBitmap* v) {
    if (v)
        FBitmap->Assign(v);
    else
        FBitmap->SetSize(0, 0);
    RequestRepaint();
}

void TLdDemoButton::SetBevelWidth(int v) {
    if (Differs(FBevelWidth, std::clamp(v, 0, 255)))
        RequestRepaint();
}
void TLdDemoButton::SetOutlineWidth(int v) {
    if (Differs(FOutlineWidth, v))
        RequestRepaint();
}
void TLdDemoButton::SetTextAlignment(TLdTextAlignment v) {
    if (Differs(FTextAlignment, v))
        RequestRepaint();
}
void TLdDemoButton::SetDisabledTextColor(TColor v) {
    if (Differs(FDisabledTextColor, v))
        RequestRepaint();
}
void TLdDemoButton::SetFlat(bool v) {
    if (Differs(FFlat, v))
        RequestRepaint();
}

void TLdDemoButton::DoMouseEnter() {
    TLdCustomImageControl::DoMouseEnter();
    FHasMouse = true;
    RequestRepaint();
}

void TLdDemoButton::DoMouseLeave() {
    TLdCustomImageControl::DoMouseLeave();
    FHasMouse = false;
    RequestRepaint();
}

void TLdDemoButton::TextChanged() {
    TLdCustomImageControl::TextChanged();
    RequestRepaint();
}

void TLdDemoButton::PressAt(int x, int y) {
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return;
    FPressed = true;
    FDown = true;
    if (TabStop() && CanFocus())
        SetFocus();
    RequestRepaint();
}

void TLdDemoButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TLdCustomImageControl::MouseDown(button, shift, x, y);
    if (button == TMouseButton::mbLeft)
        PressAt(x, y);
}

void TLdDemoButton::DblClick() {
    TLdCustomImageControl::DblClick();
    PressAt(0, 0);
}

void TLdDemoButton::MouseMove(TShiftState shift, int x, int y) {
    TLdCustomImageControl::MouseMove(shift, x, y);
    if (FPressed) {
        bool inside = x >= 0 && y >= 0 && x < Width() && y < Height();
        if (Differs(FDown, inside))
            RequestRepaint();
    }
}

void TLdDemoButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft) {
        bool click = FPressed && FDown;
        FDown = false;
        FPressed = false;
        if (click) {
            RequestRepaint();
            ClickEvent();
        }
    }
    TLdCustomImageControl::MouseUp(button, shift, x, y);
}

bool TLdDemoButton::KeyDown(std::uint16_t& key, TShiftState shift) {
    bool consumed = TLdCustomImageControl::KeyDown(key, shift);
    if (key == VK_SPACE && !FDown)
        PressAt(0, 0);
    return consumed;
}

bool TLdDemoButton::KeyUp(std::uint16_t& key, TShiftState shift) {
    bool consumed = TLdCustomImageControl::KeyUp(key, shift);
    if (key == VK_SPACE) {
        if (FPressed && FDown) {
            FDown = false;
            RequestRepaint();
            ClickEvent();
        }
        FPressed = false;
    }
    return consumed;
}

void TLdDemoButton::Paint(TCanvas& canvas) {
    PrepareImage();
    TCanvas& c = *BitmapCanvas();
    const int shift = FDown ? 1 : 0;
    TRect r{shift, shift, Width() + shift, Height() + shift};
    if (!FBitmap->Empty())
        TileBitmap(c, r, FBitmap.get());
    r = {0, 0, Width(), Height()};
    TColor outline = OutlineOrFocusColor();
    DrawFrame3D(c, r, outline, outline, FOutlineWidth);
    if (FDown)
        DrawFrame3D(c, r, FShadowColor, FHighlightColor, FBevelWidth);
    else if (!FFlat || FHasMouse)
        DrawFrame3D(c, r, FHighlightColor, FShadowColor, FBevelWidth);
    else
        r = {r.Left + FBevelWidth, r.Top + FBevelWidth, r.Right - FBevelWidth, r.Bottom - FBevelWidth};
    c.Font()->Assign(FHasMouse && Enabled() ? FFontEnter.get() : FFontLeave.get());
    if (!Enabled())
        c.Font()->SetColor(FDisabledTextColor);
    c.Brush()->SetStyle(TBrushStyle::bsClear);
    r = {r.Left + shift, r.Top + shift, r.Right + shift, r.Bottom + shift};
    unsigned format = DT_SINGLELINE;
    switch (FTextAlignment) {
    case TLdTextAlignment::vtaLeft:
        format |= DT_LEFT | DT_VCENTER;
        break;
    case TLdTextAlignment::vtaCenter:
        format |= DT_CENTER | DT_VCENTER;
        break;
    case TLdTextAlignment::vtaRight:
        format |= DT_RIGHT | DT_VCENTER;
        break;
    case TLdTextAlignment::vtaTopLeft:
        format |= DT_LEFT | DT_TOP;
        break;
    case TLdTextAlignment::vtaTop:
        format |= DT_CENTER | DT_TOP;
        break;
    case TLdTextAlignment::vtaTopRight:
        format |= DT_RIGHT | DT_TOP;
        break;
    case TLdTextAlignment::vtaBottomLeft:
        format |= DT_LEFT | DT_BOTTOM;
        break;
    case TLdTextAlignment::vtaBottom:
        format |= DT_CENTER | DT_BOTTOM;
        break;
    case TLdTextAlignment::vtaBottomRight:
        format |= DT_RIGHT | DT_BOTTOM;
        break;
    }
    FFont3D->Paint(c, r, format, Caption());
    TLdCustomImageControl::Paint(canvas);
}

} // namespace kv
