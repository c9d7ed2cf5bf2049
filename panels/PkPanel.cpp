#include "panels/PkPanel.h"

#include "panels/PkControlHelpers.h"
#include "panels/PkMouseWatch.h"
#include "panels/PkPropHelpers.h"
#include "panels/led/LdPowerButton.h"

#include <QCursor>
#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace kv {

std::vector<std::string> EnumIdents(TPkGridStyle) {
    return {"gsDots", "gsDottedLines", "gsSolidLines"};
}
std::vector<std::string> EnumIdents(TPkGroupBoxStyle) {
    return {"gsStandard", "gsCustom", "gsTopLine", "gsFlat", "gsBanner", "gsUnderline"};
}

namespace {

TRect Inflate(TRect r, int dx, int dy) {
    return {r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy};
}

int TextHeightOf(const TFont* font, const std::string& text) {
    TCanvas c;
    c.Font()->Assign(font);
    return c.TextHeight(text);
}

// Registration of what the panel and the group box both publish.
template <class C> void PanelCommonProps(TClassBuilder<C>& b) {
    b.Prop("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment)
        .Default(std::is_base_of_v<TPkCustomGroupBox, C> ? TAlignment::taLeftJustify : TAlignment::taCenter);
    b.Prop("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth).Default(1);
    PK_COLOR_PROP(b, "BorderColor", &TPkCustomPanel::BorderColor, &TPkCustomPanel::SetBorderColor, clBtnFace);
    b.Prop("BorderInner", &TPkCustomPanel::BorderInner, &TPkCustomPanel::SetBorderInner)
        .Default(TFrameStyleEx::fsNone);
    b.Prop("BorderOuter", &TPkCustomPanel::BorderOuter, &TPkCustomPanel::SetBorderOuter)
        .Default(std::is_base_of_v<TPkCustomGroupBox, C> ? TFrameStyleEx::fsNone : TFrameStyleEx::fsRaised);
    b.Prop("BorderSides", &TPkCustomPanel::BorderSides, &TPkCustomPanel::SetBorderSides).Default(AllSides);
    b.Prop("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth).Default(0);
    CaptionProp(b);
    ColorProps(b, clBtnFace, false);
    PK_COLOR_PROP(b, "FlatColor", &TPkCustomPanel::FlatColor, &TPkCustomPanel::SetFlatColor, clBtnShadow);
    b.Prop("FlatColorAdjustment", &TPkCustomPanel::FlatColorAdjustment,
           &TPkCustomPanel::SetFlatColorAdjustment)
        .Default(30);
    FontProps(b);
    b.Ref("FrameController", &TPkCustomPanel::FrameController, &TPkCustomPanel::SetFrameController);
    b.Prop("FrameControllerNotifications", &TPkCustomPanel::FrameControllerNotifications,
           &TPkCustomPanel::SetFrameControllerNotifications)
        .Default(AllFrameNotifications);
    b.Prop("GradientColorStyle", &TPkCustomPanel::GradientColorStyle, &TPkCustomPanel::SetGradientColorStyle)
        .Default(TPkGradientColorStyle::gcsSystem);
    PK_COLOR_PROP(b, "GradientColorStart", &TPkCustomPanel::GradientColorStart,
                  &TPkCustomPanel::SetGradientColorStart, clWhite);
    PK_COLOR_PROP(b, "GradientColorStop", &TPkCustomPanel::GradientColorStop,
                  &TPkCustomPanel::SetGradientColorStop, clBtnFace);
    b.Prop("GradientDirection", &TPkCustomPanel::GradientDirection, &TPkCustomPanel::SetGradientDirection)
        .Default(TGradientDirection::gdHorizontalEnd);
    PopupProp(b);
    b.Prop("ShowDockClientCaptions", &TPkCustomPanel::ShowDockClientCaptions,
           &TPkCustomPanel::SetShowDockClientCaptions)
        .Default(true);
    TabProps(b, false);
    b.Prop("Transparent", &TControl::Transparent, &TControl::SetTransparent).Default(false);
    b.Prop("VisualStyle", &TPkCustomPanel::VisualStyle, &TPkCustomPanel::SetVisualStyle)
        .Default(TPkVisualStyle::vsWinXP);
    b.Prop("DockSite", &TPkCustomPanel::DockSite, &TPkCustomPanel::SetDockSite).Default(false);
    b.Prop("UseDockManager", &TPkCustomPanel::UseDockManager, &TPkCustomPanel::SetUseDockManager)
        .Default(false);
    b.Event("OnPaint", &TPkCustomPanel::OnPaint);
    b.Event("OnMouseEnter", &TPkCustomPanel::OnMouseEnter);
    b.Event("OnMouseLeave", &TPkCustomPanel::OnMouseLeave);
    b.Event("OnResize", &TControl::OnResize);
    // Obsolete entries of old layouts: read, never written.
    auto never = [](const TPkCustomPanel&) { return false; };
    b.Prop("FrameSides", &TPkCustomPanel::LegacyFrameSides, &TPkCustomPanel::SetLegacyFrameSides)
        .Stored(never);
    b.Prop("ThemeAware", &TPkCustomPanel::LegacyThemeAware, &TPkCustomPanel::SetLegacyThemeAware)
        .Stored(never);
    b.Prop("UseGradients", &TPkCustomPanel::LegacyUseGradients, &TPkCustomPanel::SetLegacyUseGradients)
        .Stored(never);
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// Dock manager

TPkPanelDockManager::TPkPanelDockManager(TPkCustomPanel* panel)
    : FPanel(panel), FFont(std::make_unique<TFont>()), FCloseFont(std::make_unique<TFont>()) {
    FFont->SetName("Verdana");
    FFont->SetSize(8);
    FCloseFont->SetName("Marlett");
    FCloseFont->SetSize(8);
}

TPkPanelDockManager::~TPkPanelDockManager() = default;

void TPkPanelDockManager::AdjustDockRect(TControl*, TRect& rect) const {
    if (FPanel->Align() == TAlign::alTop || FPanel->Align() == TAlign::alBottom)
        rect.Left += FGrabberSize;
    else
        rect.Top += FGrabberSize;
}

void TPkPanelDockManager::PaintDockFrame(TCanvas& canvas, TControl* client, const TRect& rect) const {
    const bool left = FPanel->Align() == TAlign::alTop || FPanel->Align() == TAlign::alBottom;
    if (!FPanel->ShowDockClientCaptions()) {
        // The plain dock frame: two grip lines along the grabber.
        TRect g = left ? TRect{rect.Left, rect.Top, rect.Left + FGrabberSize, rect.Bottom}
                       : TRect{rect.Left, rect.Top, rect.Right, rect.Top + FGrabberSize};
        PaintSystem3DEdge(canvas, Inflate(g, -3, -3), false, AllSides);
        return;
    }
    auto* win = dynamic_cast<TWinControl*>(client);
    const bool active = !win || win->Focused();
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Brush()->SetColor(active ? clActiveCaption : clInactiveCaption);
    canvas.Font()->Assign(FFont.get());
    canvas.Font()->SetColor(active ? clCaptionText : clInactiveCaptionText);
    const std::string caption = client ? client->Caption() : std::string();
    if (left) {
        TRect g{rect.Left, rect.Top, rect.Left + FGrabberSize, rect.Bottom};
        canvas.FillRect(g);
        canvas.Font()->SetColor(clCaptionText);
        canvas.Font()->SetOrientation(900);
        canvas.Brush()->SetStyle(TBrushStyle::bsClear);
        canvas.TextOut(g.Right - 2 - canvas.TextHeight(caption), g.Bottom - 3, caption);
        canvas.Font()->SetOrientation(0);
        TRect glyph{g.Left + 1, g.Top + 1, g.Left + 12, g.Top + 12};
        canvas.Font()->Assign(FCloseFont.get());
        DrawTextCentred(canvas, "r", glyph);
    } else {
        TRect g{rect.Left, rect.Top, rect.Right, rect.Top + FGrabberSize};
        canvas.FillRect(g);
        canvas.Brush()->SetStyle(TBrushStyle::bsClear);
        canvas.TextOut(g.Left + 2, g.Top, caption);
        TRect glyph{g.Right - 15, g.Top + 1, g.Right - 2, g.Top + 12};
        canvas.Font()->Assign(FCloseFont.get());
        DrawTextCentred(canvas, "r", glyph);
    }
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
}

// ---------------------------------------------------------------------------------------------------
// Panel

KV_REGISTER_CLASS(TPkCustomPanel, TCustomPanel, b) {}

KV_REGISTER_CLASS(TPkPanel, TPkCustomPanel, b) {
    PanelCommonProps(b);
    b.Prop("AlignmentVertical", &TPkCustomPanel::AlignmentVertical, &TPkCustomPanel::SetAlignmentVertical)
        .Default(TAlignmentVertical::avCenter);
    PK_COLOR_PROP(b, "BorderHighlight", &TPkCustomPanel::BorderHighlight, &TPkCustomPanel::SetBorderHighlight,
                  clBtnHighlight);
    PK_COLOR_PROP(b, "BorderShadow", &TPkCustomPanel::BorderShadow, &TPkCustomPanel::SetBorderShadow,
                  clBtnShadow);
    b.Prop("FullRepaint", &TPkCustomPanel::FullRepaint, &TPkCustomPanel::SetFullRepaint).Default(true);
    PK_COLOR_PROP(b, "GridColor", &TPkCustomPanel::GridColor, &TPkCustomPanel::SetGridColor, clBtnShadow);
    b.Prop("GridStyle", &TPkCustomPanel::GridStyle, &TPkCustomPanel::SetGridStyle)
        .Default(TPkGridStyle::gsDots);
    b.Prop("GridXSize", &TPkCustomPanel::GridXSize, &TPkCustomPanel::SetGridXSize).Default(8);
    b.Prop("GridYSize", &TPkCustomPanel::GridYSize, &TPkCustomPanel::SetGridYSize).Default(8);
    b.Prop("Locked", &TPkCustomPanel::Locked, &TPkCustomPanel::SetLocked).Default(false);
    b.Prop("PaintClientArea", &TPkCustomPanel::PaintClientArea, &TPkCustomPanel::SetPaintClientArea)
        .Default(true);
    b.Prop("ShowGrid", &TPkCustomPanel::ShowGrid, &TPkCustomPanel::SetShowGrid).Default(false);
    b.Prop("TextMargin", &TPkCustomPanel::TextMargin, &TPkCustomPanel::SetTextMargin).Default(0);
    b.Prop("TextMarginVertical", &TPkCustomPanel::TextMarginVertical, &TPkCustomPanel::SetTextMarginVertical)
        .Default(0);
    b.Prop("WordWrap", &TPkCustomPanel::WordWrap, &TPkCustomPanel::SetWordWrap).Default(true);
}

TPkCustomPanel::TPkCustomPanel(TComponent* owner)
    : TCustomPanel(owner), FEnabledList(std::make_unique<TStrings>()) {
    // The platform panel's own bevel is replaced by the pack's frame.
    SetBevelOuter(TBevelCut::bvNone);
    FWatch = std::make_unique<TPkMouseWatch>(
        FWidget, [this] { MouseEnter(); }, [this] { MouseLeave(); });
}

TPkCustomPanel::~TPkCustomPanel() {
    Destroying();
    if (FFrameController)
        FFrameController->RemoveControl(this);
}

void TPkCustomPanel::Notification(TComponent* component, TOperation operation) {
    TCustomPanel::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FFrameController)
        FFrameController = nullptr;
}

TPoint TPkCustomPanel::GetClientCursorPos() const {
    QPoint p = FWidget->mapFromGlobal(QCursor::pos());
    return {p.x(), p.y()};
}

TRect TPkCustomPanel::AdjustBorderRect(TRect r, bool includeBorderWidth) const {
    if (includeBorderWidth)
        r = Inflate(r, -BorderWidth(), -BorderWidth());
    r = AdjustRectForFrame(r, FBorderOuter, BevelWidth(), FBorderSides);
    return AdjustRectForFrame(r, FBorderInner, BevelWidth(), FBorderSides);
}

void TPkCustomPanel::GetGradientColors(TColor& start, TColor& stop) const {
    if (FGradientColorStyle == TPkGradientColorStyle::gcsCustom) {
        start = FGradientColorStart;
        stop = FGradientColorStop;
    } else {
        SchemeGradientColors(FGradientColorStyle, start, stop);
    }
}

void TPkCustomPanel::GetFlatColors(TColor& color, int& adjustment) const {
    if (FVisualStyle == TPkVisualStyle::vsGradient &&
        FGradientColorStyle != TPkGradientColorStyle::gcsCustom) {
        color = SchemeFrameColor(FGradientColorStyle);
        adjustment = 0;
    } else {
        color = FFlatColor;
        adjustment = FFlatColorAdjustment;
    }
}

TRect TPkCustomPanel::GetClientRect() const {
    TRect r{0, 0, Width(), Height()};
    return FDockSite ? r : AdjustBorderRect(r, false);
}

TRect TPkCustomPanel::ComputeChildArea() const {
    TRect r = Inflate(TRect{0, 0, Width(), Height()}, -BorderWidth(), -BorderWidth());
    if (FDockSite)
        r = AdjustBorderRect(r, false);
    return r;
}

TColor TPkCustomPanel::ParentColorValue() const {
    return Parent() ? Parent()->Color() : Color();
}

bool TPkCustomPanel::RoundedFrameShowing() const {
    return (FBorderOuter == TFrameStyleEx::fsFlatRounded && FBorderInner == TFrameStyleEx::fsNone &&
            BorderWidth() == 0) ||
           FBorderInner == TFrameStyleEx::fsFlatRounded;
}

void TPkCustomPanel::Paint(TCanvas& canvas) {
    if (Transparent() && !FPaintClientArea) {
        // Without a client area to paint the background is erased as usual.
        canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas.Brush()->SetColor(Color());
        canvas.FillRect({0, 0, Width(), Height()});
    }
    TRect r = GetControlRect();
    TColor flat = clNone;
    int adjustment = 0;
    GetFlatColors(flat, adjustment);
    r = PaintFramePair(canvas, r, FBorderOuter, Transparent(), ParentColorValue(), Color(), adjustment, flat,
                       FBorderShadow, FBorderHighlight, FBorderColor, BevelWidth(), FBorderSides,
                       BorderWidth(), FBorderInner);
    if (!Transparent() && FPaintClientArea) {
        const bool rounded = RoundedFrameShowing();
        TRect fill = r;
        if (rounded) {
            if (FBorderSides.Contains(TSide::sdLeft))
                --fill.Left;
            if (FBorderSides.Contains(TSide::sdTop))
                --fill.Top;
            if (FBorderSides.Contains(TSide::sdRight))
                ++fill.Right;
            if (FBorderSides.Contains(TSide::sdBottom))
                ++fill.Bottom;
        }
        if (FVisualStyle == TPkVisualStyle::vsGradient) {
            TColor start = clWhite, stop = clBtnFace;
            GetGradientColors(start, stop);
            FillGradient(canvas, fill, FGradientDirection, 1, start, stop);
        } else {
            canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
            canvas.Brush()->SetColor(Color());
            canvas.FillRect(fill);
        }
        if (rounded) {
            const TColor corner = ShiftColorLuminance(flat, adjustment);
            const bool l = FBorderSides.Contains(TSide::sdLeft), t = FBorderSides.Contains(TSide::sdTop),
                       rr = FBorderSides.Contains(TSide::sdRight),
                       bb = FBorderSides.Contains(TSide::sdBottom);
            if (l && t)
                canvas.SetPixel(fill.Left, fill.Top, corner);
            if (rr && t)
                canvas.SetPixel(fill.Right - 1, fill.Top, corner);
            if (rr && bb)
                canvas.SetPixel(fill.Right - 1, fill.Bottom - 1, corner);
            if (l && bb)
                canvas.SetPixel(fill.Left, fill.Bottom - 1, corner);
        }
    }
    if (FShowGrid)
        DrawGrid(canvas, r);
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    DrawCaption(canvas, r);
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    if (OnPaint)
        OnPaint(this);
}

void TPkCustomPanel::DrawCaption(TCanvas& canvas, TRect r) {
    if (Caption().empty())
        return;
    canvas.Font()->Assign(Font());
    r = Inflate(r, -FTextMargin, -FTextMarginVertical);
    unsigned flags = (FWordWrap ? DT_WORDBREAK : 0u) | DT_EXPANDTABS | DT_VCENTER;
    if (Alignment() == TAlignment::taRightJustify)
        flags |= DT_RIGHT;
    else if (Alignment() == TAlignment::taCenter)
        flags |= DT_CENTER;
    TRect calc = r;
    const int th = DrawTextIn(canvas, Caption(), calc, flags | DT_CALCRECT);
    switch (FAlignmentVertical) {
    case TAlignmentVertical::avTop:
        r.Bottom = std::min(r.Bottom, r.Top + th);
        break;
    case TAlignmentVertical::avCenter:
        r.Top = (r.Top + r.Bottom - th) / 2;
        r.Bottom = std::min(r.Bottom, r.Top + th);
        break;
    case TAlignmentVertical::avBottom:
        r.Top = std::max(r.Top, r.Bottom - th - 1);
        break;
    }
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    if (!Enabled())
        canvas.Font()->SetColor(clGrayText);
    DrawTextIn(canvas, Caption(), r, flags);
}

void TPkCustomPanel::DrawGrid(TCanvas& canvas, TRect r) {
    // A grid size of 0 draws nothing in that direction.
    const int nx = FGridXSize > 0 ? r.Width() / FGridXSize : 0;
    const int ny = FGridYSize > 0 ? r.Height() / FGridYSize : 0;
    canvas.Pen()->SetColor(FGridColor);
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    canvas.Pen()->SetWidth(1);
    for (int k = 1; k <= nx; ++k) {
        const int x = r.Left + k * FGridXSize - 1;
        if (FGridStyle == TPkGridStyle::gsSolidLines) {
            canvas.MoveTo(x, r.Top);
            canvas.LineTo(x, r.Bottom);
        } else if (FGridStyle == TPkGridStyle::gsDottedLines) {
            for (int y = r.Top + 1; y < r.Bottom; y += 2)
                canvas.SetPixel(x, y, FGridColor);
        } else {
            for (int j = 1; j <= ny; ++j)
                canvas.SetPixel(x, r.Top + j * FGridYSize - 1, FGridColor);
        }
    }
    if (FGridStyle == TPkGridStyle::gsDots)
        return;
    for (int k = 1; k <= ny; ++k) {
        const int y = r.Top + k * FGridYSize - 1;
        if (FGridStyle == TPkGridStyle::gsSolidLines) {
            canvas.MoveTo(r.Left, y);
            canvas.LineTo(r.Right, y);
        } else {
            for (int x = r.Left + 1; x < r.Right; x += 2)
                canvas.SetPixel(x, y, FGridColor);
        }
    }
}

void TPkCustomPanel::ApplyFrameController() {
    PkApplyFrameController(*this);
}

void TPkCustomPanel::Realign() {
    AlignControls();
    Invalidate();
}

void TPkCustomPanel::SetAlignmentVertical(TAlignmentVertical v) {
    if (Differs(FAlignmentVertical, v))
        Invalidate();
}
void TPkCustomPanel::SetBorderColor(TColor v) {
    if (Differs(FBorderColor, v))
        Invalidate();
}
void TPkCustomPanel::SetBorderInner(TFrameStyleEx v) {
    if (Differs(FBorderInner, v))
        Realign();
}
void TPkCustomPanel::SetBorderOuter(TFrameStyleEx v) {
    if (Differs(FBorderOuter, v))
        Realign();
}
void TPkCustomPanel::SetBorderSides(TSides v) {
    if (!(FBorderSides == v)) {
        FBorderSides = v;
        Realign();
    }
}
void TPkCustomPanel::SetBorderHighlight(TColor v) {
    if (Differs(FBorderHighlight, v))
        Invalidate();
}
void TPkCustomPanel::SetBorderShadow(TColor v) {
    if (Differs(FBorderShadow, v))
        Invalidate();
}
void TPkCustomPanel::SetFlatColor(TColor v) {
    if (Differs(FFlatColor, v))
        Invalidate();
}
void TPkCustomPanel::SetFlatColorAdjustment(int v) {
    if (Differs(FFlatColorAdjustment, v))
        Invalidate();
}
void TPkCustomPanel::SetFrameController(TPkFrameController* v) {
    PkSetFrameController(this, FFrameController, v);
}
void TPkCustomPanel::SetGradientColorStyle(TPkGradientColorStyle v) {
    if (Differs(FGradientColorStyle, v))
        Invalidate();
}
void TPkCustomPanel::SetGradientColorStart(TColor v) {
    if (Differs(FGradientColorStart, v)) {
        Invalidate();
        InvalidateTransparentChildren(this);
    }
}
void TPkCustomPanel::SetGradientColorStop(TColor v) {
    if (Differs(FGradientColorStop, v)) {
        Invalidate();
        InvalidateTransparentChildren(this);
    }
}
void TPkCustomPanel::SetGradientDirection(TGradientDirection v) {
    if (Differs(FGradientDirection, v)) {
        Invalidate();
        InvalidateTransparentChildren(this);
    }
}
void TPkCustomPanel::SetGridColor(TColor v) {
    if (Differs(FGridColor, v))
        Invalidate();
}
void TPkCustomPanel::SetGridStyle(TPkGridStyle v) {
    if (Differs(FGridStyle, v))
        Invalidate();
}
void TPkCustomPanel::SetGridXSize(int v) {
    if (Differs(FGridXSize, std::clamp(v, 0, 65535)))
        Invalidate();
}
void TPkCustomPanel::SetGridYSize(int v) {
    if (Differs(FGridYSize, std::clamp(v, 0, 65535)))
        Invalidate();
}
void TPkCustomPanel::SetGridSize(int x, int y) {
    SetGridXSize(x);
    SetGridYSize(y);
}
void TPkCustomPanel::SetPaintClientArea(bool v) {
    if (Differs(FPaintClientArea, v))
        Invalidate();
}
void TPkCustomPanel::SetShowGrid(bool v) {
    if (Differs(FShowGrid, v))
        Invalidate();
}
void TPkCustomPanel::SetTransparent(bool v) {
    if (v == Transparent())
        return;
    TCustomPanel::SetTransparent(v);
    for (int i = 0; i < ControlCount(); ++i)
        Controls(i)->Invalidate();
}
void TPkCustomPanel::SetTextMargin(int v) {
    if (Differs(FTextMargin, v))
        Invalidate();
}
void TPkCustomPanel::SetTextMarginVertical(int v) {
    if (Differs(FTextMarginVertical, v))
        Invalidate();
}
void TPkCustomPanel::SetWordWrap(bool v) {
    if (Differs(FWordWrap, v))
        Invalidate();
}
void TPkCustomPanel::SetVisualStyle(TPkVisualStyle v) {
    if (Differs(FVisualStyle, v))
        Invalidate();
}
void TPkCustomPanel::SetShowDockClientCaptions(bool v) {
    if (Differs(FShowDockClientCaptions, v))
        Invalidate();
}
void TPkCustomPanel::SetDockSite(bool v) {
    if (Differs(FDockSite, v)) {
        SetUseDockManager(FUseDockManager);
        Realign();
    }
}
void TPkCustomPanel::SetUseDockManager(bool v) {
    FUseDockManager = v;
    if (FDockSite && FUseDockManager && !FDockManager)
        FDockManager = std::make_unique<TPkPanelDockManager>(this);
    else if (!(FDockSite && FUseDockManager))
        FDockManager.reset();
}

void TPkCustomPanel::SetBounds(int left, int top, int width, int height) {
    if (Align() == TAlign::alBottom && height != Height())
        top -= height - Height();
    if (Align() == TAlign::alRight && width != Width())
        left -= width - Width();
    TCustomPanel::SetBounds(left, top, width, height);
}

void TPkCustomPanel::SetEnabled(bool v) {
    if (v == Enabled())
        return;
    TCustomPanel::SetEnabled(v);
    if (!v) {
        FEnabledList->Clear();
        for (int i = 0; i < ControlCount(); ++i) {
            TControl* c = Controls(i);
            FEnabledList->AddObject(c->Enabled() ? "1" : "0", c);
        }
        for (int i = 0; i < ControlCount(); ++i)
            Controls(i)->SetEnabled(false);
    } else {
        for (int i = 0; i < ControlCount(); ++i) {
            TControl* c = Controls(i);
            const int at = FEnabledList->IndexOfObject(c);
            if (at < 0 || (*FEnabledList)[at] != "0")
                c->SetEnabled(true);
        }
    }
    Repaint();
}

void TPkCustomPanel::MouseEnter() {
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TPkCustomPanel::MouseLeave() {
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TPkCustomPanel::ThemeChanged() {
    CurrentColorScheme = DetectColorScheme();
}

// ---------------------------------------------------------------------------------------------------
// Group box

KV_REGISTER_CLASS(TPkCustomGroupBox, TPkCustomPanel, b) {}

KV_REGISTER_CLASS(TPkGroupBox, TPkCustomGroupBox, b) {
    PanelCommonProps(b);
    b.Prop("BannerHeight", &TPkCustomGroupBox::BannerHeight, &TPkCustomGroupBox::SetBannerHeight).Default(0);
    b.Prop("CaptionFont", &TPkCustomGroupBox::CaptionFont, &TPkCustomGroupBox::SetCaptionFont)
        .Stored([](const TPkCustomGroupBox& g) { return g.CaptionFontChanged(); });
    b.Prop("GroupStyle", &TPkCustomGroupBox::GroupStyle, &TPkCustomGroupBox::SetGroupStyle)
        .Default(TPkGroupBoxStyle::gsFlat);
    b.Prop("Height", &TControl::Height, &TControl::SetHeight).Default(105);
}

TPkCustomGroupBox::TPkCustomGroupBox(TComponent* owner)
    : TPkCustomPanel(owner), FCaptionFont(std::make_unique<TFont>()) {
    FBorderOuter = TFrameStyleEx::fsNone;
    FBorderInner = TFrameStyleEx::fsNone;
    SetAlignment(TAlignment::taLeftJustify);
    FAlignmentVertical = TAlignmentVertical::avTop;
    SetHeight(105);
    FCaptionFont->Assign(Font());
    FCaptionFont->OnChange = [this](TObject*) {
        if (!FCopyingFont)
            FCaptionFontChanged = true;
        Invalidate();
    };
}

TPkCustomGroupBox::~TPkCustomGroupBox() {
    FCaptionFont->OnChange = nullptr;
}

void TPkCustomGroupBox::FontChanged() {
    TPkCustomPanel::FontChanged();
    if (!FCaptionFontChanged) {
        FCopyingFont = true;
        FCaptionFont->Assign(Font());
        FCopyingFont = false;
    }
    Invalidate();
}

void TPkCustomGroupBox::SetCaptionFont(const TFont* v) {
    FCaptionFont->Assign(v);
}

void TPkCustomGroupBox::SetBannerHeight(int v) {
    if (Differs(FBannerHeight, v))
        Realign();
}

void TPkCustomGroupBox::SetGroupStyle(TPkGroupBoxStyle v) {
    if (Differs(FGroupStyle, v))
        Realign();
}

void TPkCustomGroupBox::ChangeScale(int m, int d) {
    if (d == 0 || m == d)
        return;
    if (FCaptionFontChanged) {
        FCopyingFont = true;
        FCaptionFont->SetSize(FCaptionFont->Size() * m / d);
        FCopyingFont = false;
    }
}

bool TPkCustomGroupBox::DialogChar(char key) {
    if (IsAccel(key, Caption()) && CanFocus()) {
        for (int i = 0; i < ControlCount(); ++i)
            if (auto* w = dynamic_cast<TWinControl*>(Controls(i)); w && w->CanFocus()) {
                w->SetFocus();
                break;
            }
        return true;
    }
    return false;
}

void TPkCustomGroupBox::ApplyFrameController() {
    if (FGroupStyle == TPkGroupBoxStyle::gsCustom)
        TPkCustomPanel::ApplyFrameController();
}

TRect TPkCustomGroupBox::ComputeChildArea() const {
    TRect r = TPkCustomPanel::ComputeChildArea();
    const int h = TextHeightOf(Font(), "Yy");
    switch (FGroupStyle) {
    case TPkGroupBoxStyle::gsCustom:
        if (!Caption().empty())
            r.Top += h;
        return Inflate(r, -2, -2);
    case TPkGroupBoxStyle::gsTopLine:
        r.Top += h;
        return r;
    case TPkGroupBoxStyle::gsBanner:
        r.Top += FBannerHeight != 0 ? FBannerHeight : h + 8;
        return r;
    case TPkGroupBoxStyle::gsUnderline:
        r.Top += h + 4;
        return r;
    case TPkGroupBoxStyle::gsStandard:
    case TPkGroupBoxStyle::gsFlat: {
        const int a = h / 2 - 1;
        r.Top += a < BorderWidth() ? a : h - BorderWidth();
        const int in = FGroupStyle == TPkGroupBoxStyle::gsStandard ? 2 : 1;
        return Inflate(r, -in, -in);
    }
    }
    return r;
}

TRect TPkCustomGroupBox::CaptionRect(TCanvas& canvas) const {
    if (Caption().empty() || FGroupStyle == TPkGroupBoxStyle::gsCustom)
        return {0, 0, 0, 0};
    TSize size = canvas.TextExtent(StripAccelerators(Caption()));
    const int cx = size.cx, cy = size.cy, w = Width();
    // Right-to-left reading is not part of the fixed profile; captions run left to right.
    switch (FGroupStyle) {
    case TPkGroupBoxStyle::gsStandard:
    case TPkGroupBoxStyle::gsFlat:
        return {8, 0, 8 + cx, cy};
    case TPkGroupBoxStyle::gsTopLine:
        return {0, 0, cx + 4, cy};
    case TPkGroupBoxStyle::gsBanner:
        return {0, 0, w, FBannerHeight != 0 ? FBannerHeight : cy + 6};
    case TPkGroupBoxStyle::gsUnderline:
        return {0, 0, w, cy + 2};
    default:
        return {0, 0, 0, 0};
    }
}

void TPkCustomGroupBox::Paint(TCanvas& canvas) {
    canvas.Font()->Assign(FCaptionFont.get());
    const int h = canvas.TextHeight("Pp");
    const int hh = h / 2 - 1;
    TRect c = CaptionRect(canvas);
    if (FGroupStyle == TPkGroupBoxStyle::gsCustom) {
        TPkCustomPanel::Paint(canvas);
        canvas.Font()->Assign(Font());
        return;
    }
    // The classic drawing of the other styles (the fixed profile has no visual styles).
    if (!Transparent()) {
        canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas.Brush()->SetColor(Color());
        canvas.FillRect({0, 0, Width(), Height()});
    }
    // Over a transparent box the frame must not cross the caption: keep what lies under it.
    const bool keepCaption = Transparent() && FGroupStyle != TPkGroupBoxStyle::gsBanner && c.Width() > 0 &&
                             c.Height() > 0 && canvas.Target();
    QImage under;
    if (keepCaption)
        under = canvas.Target()->copy(c.Left, c.Top, c.Width(), c.Height());
    const TColor F = ShiftColorLuminance(FFlatColor, FFlatColorAdjustment);
    const TRect f{0, hh, Width(), Height()};
    auto line = [&](int x0, int y0, int x1, int y1, TColor colour) {
        canvas.Pen()->SetColor(colour);
        canvas.Pen()->SetWidth(1);
        canvas.Pen()->SetStyle(TPenStyle::psSolid);
        canvas.MoveTo(x0, y0);
        canvas.LineTo(x1, y1);
    };
    switch (FGroupStyle) {
    case TPkGroupBoxStyle::gsStandard:
        if (FBorderOuter == TFrameStyleEx::fsNone)
            PaintFrameStyle(canvas, f, TFrameStyleEx::fsGroove, AllSides);
        else if (FBorderOuter == TFrameStyleEx::fsFlat)
            PaintBoxOutline(canvas, f, F);
        else if (FBorderOuter == TFrameStyleEx::fsFlatBold)
            PaintEdgeRings(canvas, f, F, AllSides, 2, F);
        else if (FBorderOuter == TFrameStyleEx::fsFlatRounded)
            PaintRoundedOutline(canvas, f, F, AllSides);
        else
            PaintFrameStyle(canvas, f, FBorderOuter, AllSides);
        break;
    case TPkGroupBoxStyle::gsTopLine: {
        const TSides top{TSide::sdTop};
        if (FBorderOuter == TFrameStyleEx::fsNone)
            PaintFrameStyle(canvas, f, TFrameStyleEx::fsGroove, top);
        else if (FBorderOuter == TFrameStyleEx::fsFlat || FBorderOuter == TFrameStyleEx::fsFlatRounded)
            line(f.Left + 2, f.Top, f.Right - 2, f.Top, F);
        else if (FBorderOuter == TFrameStyleEx::fsFlatBold) {
            line(f.Left + 2, f.Top, f.Right - 2, f.Top, F);
            line(f.Left + 2, f.Top + 1, f.Right - 2, f.Top + 1, F);
        } else
            PaintFrameStyle(canvas, f, FBorderOuter, top);
        break;
    }
    case TPkGroupBoxStyle::gsFlat:
        line(f.Left, f.Top + 2, f.Left, f.Bottom - 2, F);
        line(f.Left + 2, f.Top, f.Right - 2, f.Top, F);
        line(f.Right - 1, f.Top + 2, f.Right - 1, f.Bottom - 2, F);
        line(f.Left + 2, f.Bottom - 1, f.Right - 2, f.Bottom - 1, F);
        canvas.SetPixel(f.Left + 1, f.Top + 1, F);
        canvas.SetPixel(f.Right - 2, f.Top + 1, F);
        canvas.SetPixel(f.Right - 2, f.Bottom - 2, F);
        canvas.SetPixel(f.Left + 1, f.Bottom - 2, F);
        break;
    case TPkGroupBoxStyle::gsBanner: {
        if (c.Width() <= 0 || c.Height() <= 0)
            break;
        TColor start = clWhite, stop = clBtnFace, lineColour = F;
        if (FGradientColorStyle == TPkGradientColorStyle::gcsCustom) {
            start = FGradientColorStart;
            stop = FGradientColorStop;
        } else {
            SchemeBannerColors(FGradientColorStyle, stop, start, lineColour);
        }
        line(c.Left, c.Top + 1, c.Left, c.Bottom - 1, lineColour);
        line(c.Left + 1, c.Top, c.Right - 1, c.Top, lineColour);
        line(c.Right - 1, c.Top + 1, c.Right - 1, c.Bottom - 1, lineColour);
        line(c.Left + 1, c.Bottom - 1, c.Right - 1, c.Bottom - 1, lineColour);
        FillGradient(canvas, Inflate(c, -1, -1), TGradientDirection::gdHorizontalEnd, 1, start, stop);
        break;
    }
    case TPkGroupBoxStyle::gsUnderline:
        if (c.Width() > 0)
            line(c.Left, c.Bottom, c.Right, c.Bottom, F);
        break;
    case TPkGroupBoxStyle::gsCustom:
        break;
    }
    if (keepCaption) {
        QPainter p(canvas.Target());
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(c.Left, c.Top, under);
    }
    if (!Caption().empty()) {
        if (!Transparent() && FGroupStyle != TPkGroupBoxStyle::gsBanner) {
            canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
            canvas.Brush()->SetColor(Color());
            canvas.FillRect(c);
        }
        if (FGroupStyle == TPkGroupBoxStyle::gsBanner)
            c = Inflate(c, -4, -1);
        canvas.Brush()->SetStyle(TBrushStyle::bsClear);
        if (!Enabled())
            canvas.Font()->SetColor(clGrayText);
        unsigned flags = DT_SINGLELINE | DT_VCENTER;
        if (Alignment() == TAlignment::taRightJustify)
            flags |= DT_RIGHT;
        else if (Alignment() == TAlignment::taCenter)
            flags |= DT_CENTER;
        DrawTextIn(canvas, Caption(), c, flags);
    }
    canvas.Font()->Assign(Font());
}

} // namespace kv
