#include "panels/PkButton.h"

#include "panels/PkControlHelpers.h"
#include "platform/gui/GdiOps.h"
#include "platform/gui/PropGroups.h"
#include "platform/gui/StdCtrls.h"

#include <QObject>
#include <QWidget>

namespace kv {

std::vector<std::string> EnumIdents(TPkHotTrackColorType) {
    return {"htctComplement", "htctActual"};
}

// ---------------------------------------------------------------------------------------------------
// TPkCustomButton

KV_REGISTER_CLASS(TPkCustomButton, TCustomControl, b) {}

TPkCustomButton::TPkCustomButton(TComponent* owner)
    : TCustomControl(owner), FAboutInfo(std::make_unique<TPkAboutInfo>()) {
    // The button raises its own clicks.
    FClickOnMouseUp = false;
    SetBounds(0, 0, 115, 17);
    SetTabStop(true);
    FHoverWatcher = WatchMouseHover(
        this, [this] { MouseEnter(); }, [this] { MouseLeave(); });
}

TPkCustomButton::~TPkCustomButton() {
    delete FHoverWatcher;
}

void TPkCustomButton::PaintParentBackground(TCanvas&) {}
void TPkCustomButton::StateChanged() {}
void TPkCustomButton::RepaintButton() {
    Repaint();
}
TRect TPkCustomButton::GetButtonRect() const {
    return ClientRect();
}
bool TPkCustomButton::UsingThemes() const {
    return FThemeAware && ThemesEnabled();
}

void TPkCustomButton::SetHotTrackColor(TColor v) {
    if (v == FHotTrackColor)
        return;
    FHotTrackColor = v;
    Invalidate();
}

void TPkCustomButton::SetHotTrackColorType(TPkHotTrackColorType v) {
    if (v == FHotTrackColorType)
        return;
    FHotTrackColorType = v;
    Invalidate();
}

namespace {
template <class T> void Store(TControl& c, T& field, T v) {
    if (field == v)
        return;
    field = v;
    c.Invalidate();
}
} // namespace

void TPkCustomButton::SetAlignmentVertical(TAlignmentVertical v) {
    Store(*this, FAlignmentVertical, v);
}
void TPkCustomButton::SetHotTrack(bool v) {
    Store(*this, FHotTrack, v);
}
void TPkCustomButton::SetHighlightColor(TColor v) {
    Store(*this, FHighlightColor, v);
}
void TPkCustomButton::SetLightTextStyle(bool v) {
    Store(*this, FLightTextStyle, v);
}
void TPkCustomButton::SetTextStyle(TTextStyle v) {
    Store(*this, FTextStyle, v);
}
void TPkCustomButton::SetTextHighlightColor(TColor v) {
    Store(*this, FTextHighlightColor, v);
}
void TPkCustomButton::SetTextShadowColor(TColor v) {
    Store(*this, FTextShadowColor, v);
}
void TPkCustomButton::SetTextShadowDepth(int v) {
    Store(*this, FTextShadowDepth, v);
}
void TPkCustomButton::SetThemeAware(bool v) {
    if (v == FThemeAware)
        return;
    FThemeAware = v;
    Repaint();
}
void TPkCustomButton::SetTransparent(bool v) {
    TCustomControl::SetTransparent(v);
}

void TPkCustomButton::MouseEnter() {
    FMouseOverButton = true;
    if (OnMouseEnter)
        OnMouseEnter(this);
    if (FHotTrack || UsingThemes())
        Invalidate();
}

void TPkCustomButton::MouseLeave() {
    FMouseOverButton = false;
    if (OnMouseLeave)
        OnMouseLeave(this);
    if (FHotTrack || UsingThemes())
        Invalidate();
}

void TPkCustomButton::SetEnabled(bool v) {
    // A button being disabled gives up the focus.
    if (!v && Enabled() && Widget() && Widget()->hasFocus())
        Widget()->clearFocus();
    TCustomControl::SetEnabled(v);
    Invalidate();
}

void TPkCustomButton::TextChanged() {
    TCustomControl::TextChanged();
    Repaint();
}

void TPkCustomButton::DoEnter() {
    TCustomControl::DoEnter();
    FHasFocus = true;
    RepaintButton();
}

void TPkCustomButton::DoExit() {
    TCustomControl::DoExit();
    FHasFocus = false;
    RepaintButton();
}

void TPkCustomButton::DrawCaption(TCanvas& canvas, TRect r, unsigned flags) {
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    canvas.Font()->Assign(Font());
    TRect calc = r;
    int height = DrawTextIn(canvas, Caption(), calc, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_CENTER);
    switch (FAlignmentVertical) {
    case TAlignmentVertical::avTop:
        r.Bottom = r.Top + height;
        break;
    case TAlignmentVertical::avCenter:
        r.Top = (r.Top + r.Bottom - height) / 2;
        r.Bottom = r.Top + height;
        break;
    case TAlignmentVertical::avBottom:
        r.Top = r.Bottom - height - 1;
        r.Bottom = r.Top + height;
        break;
    }
    auto text = [&](int dx, int dy, TColor colour) {
        TRect t{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
        canvas.Font()->SetColor(colour);
        DrawTextIn(canvas, Caption(), t, flags);
    };
    TColor fontColour = Font()->Color();
    if (Enabled()) {
        int dx = 0;
        switch (FTextStyle) {
        case TTextStyle::tsRaised:
            if (!FLightTextStyle)
                text(1, 1, FTextShadowColor);
            text(-1, -1, FTextHighlightColor);
            break;
        case TTextStyle::tsRecessed:
            text(1, 1, FTextHighlightColor);
            if (!FLightTextStyle)
                text(-1, -1, FTextShadowColor);
            break;
        case TTextStyle::tsShadow:
            if (flags & DT_RIGHT) {
                text(0, FTextShadowDepth, FTextShadowColor);
                dx = -FTextShadowDepth;
            } else {
                text(FTextShadowDepth, FTextShadowDepth, FTextShadowColor);
            }
            break;
        case TTextStyle::tsNormal:
            break;
        }
        text(dx, 0, fontColour);
    } else {
        text(0, 0, ColorsLookAlike(Color(), clGrayText) ? cl3DDkShadow : clGrayText);
    }
    canvas.Font()->SetColor(fontColour);
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
}

// ---------------------------------------------------------------------------------------------------
// TPkButton

KV_REGISTER_CLASS(TPkButton, TPkCustomButton, b) {
    using C = TPkButton;
    b.Prop("About", &C::About, [](C&, TPkAboutInfo*) {});
    b.Prop("Alignment", &C::Alignment, &C::SetAlignment).Default(TAlignment::taCenter);
    b.Prop("AllowAllUp", &C::AllowAllUp, &C::SetAllowAllUp).Default(false);
    b.Prop("Cancel", &C::Cancel, &C::SetCancel).Default(false);
    b.Prop("Default", &C::Default, &C::SetDefault).Default(false);
    b.Prop("GroupIndex", &C::GroupIndex, &C::SetGroupIndex).Default(0);
    b.Prop("Down", &C::Down, &C::SetDown).Default(false);
    b.Prop("FrameColor", &C::FrameColor, &C::SetFrameColor)
        .Default(cl3DDkShadow)
        .Idents(ColorIdents(), "TColor");
    b.Prop("ModalResult", &C::ModalResult, &C::SetModalResult).Default(0);
    b.Prop("ShowDownPattern", &C::ShowDownPattern, &C::SetShowDownPattern).Default(true);
    b.Prop("ShowFocusRect", &C::ShowFocusRect, &C::SetShowFocusRect).Default(true);
    b.Prop("AlignmentVertical", &C::AlignmentVertical, &C::SetAlignmentVertical)
        .Default(TAlignmentVertical::avCenter);
    b.Prop("HighlightColor", &C::HighlightColor, &C::SetHighlightColor)
        .Default(clHighlight)
        .Idents(ColorIdents(), "TColor");
    b.Prop("HotTrack", &C::HotTrack, &C::SetHotTrack).Default(false);
    b.Prop("HotTrackColor", &C::HotTrackColor, &C::SetHotTrackColor)
        .Default(0x149BF0)
        .Idents(ColorIdents(), "TColor");
    b.Prop("HotTrackColorType", &C::HotTrackColorType, &C::SetHotTrackColorType)
        .Default(TPkHotTrackColorType::htctActual);
    b.Prop("LightTextStyle", &C::LightTextStyle, &C::SetLightTextStyle).Default(false);
    b.Prop("TextHighlightColor", &C::TextHighlightColor, &C::SetTextHighlightColor)
        .Default(clBtnHighlight)
        .Idents(ColorIdents(), "TColor");
    b.Prop("TextShadowColor", &C::TextShadowColor, &C::SetTextShadowColor)
        .Default(clBtnShadow)
        .Idents(ColorIdents(), "TColor");
    b.Prop("TextShadowDepth", &C::TextShadowDepth, &C::SetTextShadowDepth).Default(2);
    b.Prop("TextStyle", &C::TextStyle, &C::SetTextStyle).Default(TTextStyle::tsNormal);
    b.Prop("ThemeAware", &C::ThemeAware, &C::SetThemeAware).Default(true);
    ColorProp(b, clBtnFace);
    b.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(false);
    b.Prop("Height", &TControl::Height, &TControl::SetHeight).Default(25);
    b.Prop("Width", &TControl::Width, &TControl::SetWidth).Default(75);
    TabProps(b, true);
    FontProps(b);
    b.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
    PopupProp(b);
    b.Prop("FrameFlat", &C::FrameFlat, &C::SetFrameFlat).Stored([](const C&) { return false; });
    b.Event("OnMouseEnter", &C::OnMouseEnter);
    b.Event("OnMouseLeave", &C::OnMouseLeave);
}

TPkButton::TPkButton(TComponent* owner) : TPkCustomButton(owner) {
    SetBounds(Left(), Top(), 75, 25);
    SetColor(clBtnFace);
}

void TPkButton::Loaded() {
    TPkCustomButton::Loaded();
    FActive = FDefault;
}

void TPkButton::StateChanged() {
    Invalidate();
}

void TPkButton::SetAlignment(TAlignment v) {
    if (v == FAlignment)
        return;
    FAlignment = v;
    Invalidate();
}

void TPkButton::SetDefault(bool v) {
    FDefault = v;
    // Every button of the form works out again whether it acts as the default now.
    TCustomForm* form = ParentForm();
    if (!form) {
        FActive = v;
        return;
    }
    TWinControl* focused = nullptr;
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (auto* b = dynamic_cast<TPkButton*>(form->Components(i)); b && b->HasFocus())
            focused = b;
    NotifyFormFocus(focused);
}

void TPkButton::NotifyFormFocus(TWinControl* focused) {
    TCustomForm* form = ParentForm();
    if (!form) {
        FocusChanged(focused);
        return;
    }
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (auto* b = dynamic_cast<TPkButton*>(form->Components(i)))
            b->FocusChanged(focused);
}

void TPkButton::FocusChanged(TWinControl* focused) {
    if (IsDestroying())
        return;
    bool active =
        (dynamic_cast<TPkButton*>(focused) || dynamic_cast<TButton*>(focused)) ? focused == this : FDefault;
    if (active != FActive) {
        FActive = active;
        Invalidate();
    }
}

void TPkButton::SetAllowAllUp(bool v) {
    if (v == FAllowAllUp)
        return;
    FAllowAllUp = v;
    NotifyGroup();
}

void TPkButton::SetGroupIndex(int v) {
    if (v == FGroupIndex)
        return;
    FGroupIndex = v;
    NotifyGroup();
}

void TPkButton::SetDown(bool v) {
    if (FGroupIndex == 0)
        v = false;
    if (v == FDown)
        return;
    if (FDown && !FAllowAllUp && FGroupIndex != 0)
        return;
    FDown = v;
    FState = v ? TButtonState::bsExclusive : TButtonState::bsUp;
    Invalidate();
    if (v)
        NotifyGroup();
}

void TPkButton::SetFrameColor(TColor v) {
    if (v == FFrameColor)
        return;
    FFrameColor = v;
    Invalidate();
}

void TPkButton::SetShowDownPattern(bool v) {
    if (v == FShowDownPattern)
        return;
    FShowDownPattern = v;
    Invalidate();
}

void TPkButton::SetShowFocusRect(bool v) {
    if (v == FShowFocusRect)
        return;
    FShowFocusRect = v;
    Invalidate();
}

void TPkButton::NotifyGroup() {
    TWinControl* parent = Parent();
    if (FGroupIndex == 0 || !parent)
        return;
    PkNotifySiblings<TPkButton>(parent,
                                [this](TPkButton& b) { return b.PushButtonPressed(FGroupIndex, this); });
}

int TPkButton::PushButtonPressed(int groupIndex, TPkButton* sender) {
    return PkSiblingPressed(*this, groupIndex, sender);
}

void TPkButton::SetHotTrack(bool v) {
    TPkCustomButton::SetHotTrack(v);
    SetTransparent(HotTrack());
    Invalidate();
}

void TPkButton::Click() {
    if (TCustomForm* form = ParentForm())
        form->SetModalResult(FModalResult);
    TPkCustomButton::Click();
}

void TPkButton::PerformClick() {
    if (FGroupIndex != 0)
        SetDown(!FDown);
    else
        StateChanged();
    FClicking = true;
    try {
        Click();
    } catch (...) {
        FClicking = false;
        throw;
    }
    FClicking = false;
}

bool TPkButton::DialogKey(std::uint16_t key, TShiftState shift) {
    bool shifted = shift.Contains(TShiftItem::ssShift) || shift.Contains(TShiftItem::ssAlt) ||
                   shift.Contains(TShiftItem::ssCtrl);
    if (shifted || !CanFocus())
        return false;
    if ((key == VK_RETURN && FActive) || (key == VK_ESCAPE && FCancel)) {
        Click();
        return true;
    }
    return false;
}

bool TPkButton::DialogChar(char key) {
    if (MatchesAccelerator(Caption(), key) && CanFocus()) {
        Click();
        return true;
    }
    return false;
}

void TPkButton::DoEnter() {
    TPkCustomButton::DoEnter();
    NotifyFormFocus(this);
}

void TPkButton::DoExit() {
    TPkCustomButton::DoExit();
    FKeyToggle = false;
    FShowDownVersion = false;
    if (!IsDestroying()) {
        StateChanged();
        NotifyFormFocus(nullptr);
    }
}

void TPkButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TPkCustomButton::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft || !Enabled())
        return;
    if (!Focused() && Showing() && CanFocus())
        SetFocus();
    if (CanFocus()) {
        FShowDownVersion = true;
        StateChanged();
        FDragging = true;
    }
}

void TPkButton::MouseMove(TShiftState shift, int x, int y) {
    TPkCustomButton::MouseMove(shift, x, y);
    if (!FDragging)
        return;
    bool inside = x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight();
    if (inside != FShowDownVersion) {
        FShowDownVersion = inside;
        StateChanged();
    }
}

void TPkButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TPkCustomButton::MouseUp(button, shift, x, y);
    if (!FDragging)
        return;
    FDragging = false;
    FShowDownVersion = false;
    if (x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight())
        PerformClick();
    StateChanged();
}

bool TPkButton::KeyDown(std::uint16_t& key, TShiftState shift) {
    if (key == VK_SPACE && !shift.Contains(TShiftItem::ssAlt)) {
        FKeyToggle = true;
        FShowDownVersion = true;
        StateChanged();
        TPkCustomButton::KeyDown(key, shift);
        return true;
    }
    if (TPkCustomButton::KeyDown(key, shift))
        return true;
    if ((key == VK_RETURN || key == VK_ESCAPE) && DialogKey(key, shift))
        return true;
    return false;
}

bool TPkButton::KeyUp(std::uint16_t& key, TShiftState shift) {
    if (key == VK_SPACE) {
        FShowDownVersion = false;
        if (FKeyToggle)
            PerformClick();
        StateChanged();
        TPkCustomButton::KeyUp(key, shift);
        return true;
    }
    return TPkCustomButton::KeyUp(key, shift);
}

bool TPkButton::FaceDown() const {
    return FState == TButtonState::bsDown || FState == TButtonState::bsExclusive || FShowDownVersion;
}

TRect TPkButton::GetCaptionRect() const {
    TRect r = ClientRect();
    r = {r.Left + 5, r.Top + 5, r.Right - 5, r.Bottom - 5};
    bool down = FGroupIndex != 0 ? FaceDown() : FShowDownVersion;
    if (!FHotTrack && !UsingThemes() && down)
        r = {r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
    return r;
}

void TPkButton::DrawButtonCaption(TCanvas& canvas) {
    unsigned flags = DT_WORDBREAK | DT_EXPANDTABS;
    switch (FAlignment) {
    case TAlignment::taLeftJustify:
        flags |= DT_LEFT;
        break;
    case TAlignment::taRightJustify:
        flags |= DT_RIGHT;
        break;
    case TAlignment::taCenter:
        flags |= DT_CENTER;
        break;
    }
    DrawCaption(canvas, GetCaptionRect(), flags);
}

std::unique_ptr<TBitmap> TPkButton::BuildDownPattern() const {
    auto p = std::make_unique<TBitmap>(8, 8);
    TColor dot = Color() == clSilver ? clGray : clSilver;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            p->Canvas()->SetPixel(x, y, (x % 2) == (y % 2) ? dot : Color());
    return p;
}

void TPkButton::PaintParentBackground(TCanvas& canvas) {
    if (!Transparent() || !canvas.Target())
        return;
    QImage under = ParentBackground(this);
    if (under.isNull())
        return;
    // Only the four rounded corners and the one-pixel rim show the parent.
    TRect c = ClientRect();
    int k = Enabled() ? 1 : 2;
    TRect r1{c.Left + k, c.Top + k, c.Right - k, c.Bottom - k};
    TRect r2{r1.Left - 1, r1.Top + 1, r1.Right + 1, r1.Bottom - 1};
    TRect r3{r2.Left + 2, r2.Top - 2, r2.Right - 2, r2.Bottom + 2};
    auto in = [](const TRect& r, int x, int y) {
        return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
    };
    QImage& target = *canvas.Target();
    for (int y = std::max(0, c.Top); y < std::min(c.Bottom, target.height()); ++y)
        for (int x = std::max(0, c.Left); x < std::min(c.Right, target.width()); ++x)
            if (!in(r1, x, y) && !in(r2, x, y) && !in(r3, x, y))
                target.setPixel(x, y, under.pixel(x, y) | 0xFF000000u);
}

void TPkButton::Paint(TCanvas& canvas) {
    TRect client = ClientRect();
    bool down = FaceDown();
    bool hot = FHotTrack && !UsingThemes();
    int inset = (FHotTrack || UsingThemes()) ? 3 : 4;
    TRect focusRect{client.Left + inset, client.Top + inset, client.Right - inset, client.Bottom - inset};
    if (FGroupIndex != 0 && down)
        focusRect = {focusRect.Left + 1, focusRect.Top + 1, focusRect.Right + 1, focusRect.Bottom + 1};
    TRect b = client;
    if (Transparent())
        PaintParentBackground(canvas);
    bool plainFace = FGroupIndex != 0 || !(FActive || HasFocus()) || FShowDownVersion;

    if (hot) {
        TColor parentColour = Parent() ? Parent()->Color() : clBtnFace;
        TColor dark = parentColour, light = parentColour;
        if (Enabled()) {
            dark = DimColor(parentColour, 20);
            light = BrightenColor(parentColour, 20);
        }
        auto line = [&](TColor c, int x0, int y0, int x1, int y1) {
            canvas.Pen()->SetColor(c);
            canvas.MoveTo(x0, y0);
            canvas.LineTo(x1, y1);
        };
        line(dark, b.Left, b.Top + 2, b.Left, b.Bottom - 2);
        line(dark, b.Left + 2, b.Top, b.Right - 2, b.Top);
        line(light, b.Right - 1, b.Top + 2, b.Right - 1, b.Bottom - 2);
        line(light, b.Left + 2, b.Bottom - 1, b.Right - 2, b.Bottom - 1);
        canvas.SetPixel(b.Left + 1, b.Top + 1, dark);
        canvas.SetPixel(b.Right - 2, b.Top + 1, dark);
        canvas.SetPixel(b.Left + 1, b.Bottom - 2, dark);
        canvas.SetPixel(b.Right - 2, b.Bottom - 2, light);
        b = {b.Left + 1, b.Top + 1, b.Right - 1, b.Bottom - 1};
        TColor frame = FFrameColor;
        if (!Enabled())
            frame = Color() == clBtnFace ? BrightenColor(clBtnShadow, 30) : DimColor(Color(), 80);
        line(frame, b.Left, b.Top + 1, b.Left, b.Bottom - 1);
        line(frame, b.Left + 1, b.Top, b.Right - 1, b.Top);
        line(frame, b.Right - 1, b.Top + 1, b.Right - 1, b.Bottom - 1);
        line(frame, b.Left + 1, b.Bottom - 1, b.Right - 1, b.Bottom - 1);
        b = {b.Left + 1, b.Top + 1, b.Right - 1, b.Bottom - 1};
        auto face = [&] {
            TRect f = b;
            line(DimColor(Color(), 20), f.Left, f.Bottom - 2, f.Right, f.Bottom - 2);
            line(DimColor(Color(), 30), f.Left, f.Bottom - 1, f.Right, f.Bottom - 1);
            f.Bottom -= 2;
            if (FullColorDisplay) {
                FillGradient(canvas, f, TGradientDirection::gdHorizontalEnd, 1, BrightenColor(Color(), 30),
                             DimColor(Color(), 10));
            } else {
                canvas.Brush()->SetColor(Color());
                canvas.FillRect(f);
            }
        };
        if (!Enabled()) {
            canvas.Brush()->SetColor(Color());
            canvas.FillRect(b);
        } else if (down) {
            canvas.Brush()->SetColor(DimColor(Color(), 10));
            canvas.FillRect(b);
        } else if (FMouseOverButton) {
            face();
            if (FHotTrackColorType == TPkHotTrackColorType::htctActual) {
                PaintGradientRim(canvas, b, TGradientDirection::gdHorizontalEnd,
                                 MixColors(clWhite, FHotTrackColor, 190), FHotTrackColor);
            } else {
                TColor c = OppositeHueColor(FHotTrackColor, 180);
                PaintGradientRim(canvas, b, TGradientDirection::gdHorizontalEnd, c, DimColor(c, 30));
            }
        } else if (plainFace) {
            face();
        } else {
            face();
            TColor l = BrightenColor(Color(), 30);
            TColor h =
                ColorsLookAlike(FHighlightColor, clBtnFace) ? DimColor(FHighlightColor, 30) : FHighlightColor;
            PaintGradientRim(canvas, b, TGradientDirection::gdHorizontalEnd, MixColors(h, l, 60),
                             MixColors(h, l, 160));
        }
    } else {
        // Classic: the window-frame ring on the button that acts as default or has the focus.
        if ((FGroupIndex == 0 && (FActive || HasFocus()) && !down) || FClicking)
            b = PaintEdgeLines(canvas, b, clWindowFrame, AllSides, clWindowFrame);
        if (Color() == clBtnFace) {
            if (FGroupIndex != 0)
                b = PaintFrameStyleAll(canvas, b,
                                       down ? TFrameStyleEx::fsLowered : TFrameStyleEx::fsButtonUp);
            else
                b = PaintSystemButtonEdgeAll(canvas, b, FShowDownVersion);
        } else if (FGroupIndex == 0) {
            b = PaintTintedButtonEdgeAll(canvas, b, Color(), FShowDownVersion);
        } else if (down) {
            b = PaintTintedFrameStyleAll(canvas, b, Color(), TFrameStyleEx::fsLowered);
        } else {
            b = PaintTintedButtonEdgeAll(canvas, b, Color(), false);
        }
        canvas.Brush()->SetColor(Color());
        canvas.FillRect(b);
    }
    if (FGroupIndex != 0 && FState == TButtonState::bsExclusive && FShowDownPattern && canvas.Target()) {
        auto pattern = BuildDownPattern();
        FillPattern(*canvas.Target(), b, pattern->Image());
    }
    canvas.Font()->Assign(Font());
    canvas.Brush()->SetColor(Color());
    DrawButtonCaption(canvas);
    if (HasFocus() && FShowFocusRect)
        PaintDottedOutline(canvas, focusRect);
}

} // namespace kv
