// Labels, images, shapes, paint boxes, panels and group boxes.

#include "platform/gui/StdPanels.h"

#include "platform/gui/StdCtrlsSupport.h"

#include <algorithm>
#include <cmath>

namespace kv {

std::vector<std::string> EnumIdents(TTextLayout) {
    return {"tlTop", "tlCenter", "tlBottom"};
}
std::vector<std::string> EnumIdents(TShapeType) {
    return {"stRectangle", "stSquare", "stRoundRect", "stRoundSquare", "stEllipse", "stCircle"};
}

void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
    canvas.Pen()->SetWidth(1);
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    --rect.Bottom;
    --rect.Right;
    while (width-- > 0) {
        canvas.Pen()->SetColor(topColor);
        canvas.Polyline({{rect.Left, rect.Bottom}, {rect.Left, rect.Top}, {rect.Right, rect.Top}});
        canvas.Pen()->SetColor(bottomColor);
        canvas.Polyline({{rect.Right, rect.Top}, {rect.Right, rect.Bottom}, {rect.Left - 1, rect.Bottom}});
        ++rect.Left;
        ++rect.Top;
        --rect.Right;
        --rect.Bottom;
    }
    ++rect.Bottom;
    ++rect.Right;
}

// ---------------------------------------------------------------------------------------------------
// Label

KV_REGISTER_CLASS(TLabel, TGraphicControl, b) {
    b.Prop("Alignment", &TLabel::Alignment, &TLabel::SetAlignment).Default(TAlignment::taLeftJustify);
    b.Prop("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize).Default(true);
    b.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
    ColorProps(b, clBtnFace, true);
    FontProps(b);
    b.Prop("Layout", &TLabel::Layout, &TLabel::SetLayout).Default(TTextLayout::tlTop);
    PopupProp(b);
    b.Prop("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar).Default(true);
    b.Prop("Transparent", &TControl::Transparent, &TControl::SetTransparent).Default(false);
    b.Prop("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap).Default(false);
}

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 65, 17);
}

void TLabel::SetAlignment(TAlignment v) {
    FAlignment = v;
    Invalidate();
}
void TLabel::SetAutoSize(bool v) {
    FAutoSize = v;
    AdjustBounds();
}
void TLabel::SetLayout(TTextLayout v) {
    FLayout = v;
    Invalidate();
}
void TLabel::SetWordWrap(bool v) {
    FWordWrap = v;
    AdjustBounds();
    Invalidate();
}
void TLabel::SetShowAccelChar(bool v) {
    FShowAccelChar = v;
    AdjustBounds();
    Invalidate();
}
void TLabel::TextChanged() {
    AdjustBounds();
    Invalidate();
}
void TLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustBounds();
}
void TLabel::ColorChanged() {
    Invalidate();
}

unsigned TLabel::TextFlags() const {
    unsigned f = DT_EXPANDTABS;
    if (FWordWrap)
        f |= DT_WORDBREAK;
    if (!FShowAccelChar)
        f |= DT_NOPREFIX;
    if (FAlignment == TAlignment::taCenter)
        f |= DT_CENTER;
    else if (FAlignment == TAlignment::taRightJustify)
        f |= DT_RIGHT;
    return f;
}

void TLabel::AdjustBounds() {
    if (!FAutoSize || IsLoading())
        return;
    TCanvas c;
    c.Font()->Assign(FFont.get());
    TRect r{0, 0, FWordWrap ? FWidth : 0, 0};
    std::string text = FText.empty() ? std::string(" ") : FText;
    c.DrawText(text, r, TextFlags() | DT_CALCRECT);
    int left = FLeft;
    if (FAlignment == TAlignment::taRightJustify && !FWordWrap)
        left = FLeft + FWidth - r.Right;
    SetBounds(left, FTop, FWordWrap ? FWidth : r.Right, r.Bottom);
}

void TLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TLabel::Paint(TCanvas& canvas) {
    TRect r = ClientRect();
    if (!FTransparent) {
        canvas.Brush()->SetColor(FColor);
        canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas.FillRect(r);
    }
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    unsigned flags = TextFlags();
    if (FLayout != TTextLayout::tlTop) {
        TRect calc = r;
        canvas.DrawText(FText, calc, flags | DT_CALCRECT);
        int offset =
            FLayout == TTextLayout::tlBottom ? r.Height() - calc.Height() : (r.Height() - calc.Height()) / 2;
        r.Top += offset;
    }
    if (!FEnabled) {
        TRect shifted{r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
        canvas.Font()->SetColor(clBtnHighlight);
        canvas.DrawText(FText, shifted, flags);
        canvas.Font()->SetColor(clBtnShadow);
    }
    canvas.DrawText(FText, r, flags);
}

// ---------------------------------------------------------------------------------------------------
// Image

KV_REGISTER_CLASS(TImage, TGraphicControl, b) {
    b.Prop("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize).Default(false);
    b.Prop("Center", &TImage::Center, &TImage::SetCenter).Default(false);
    b.Prop("Picture", &TImage::Picture, &TImage::SetPicture);
    PopupProp(b);
    b.Prop("Proportional", &TImage::Proportional, &TImage::SetProportional).Default(false);
    b.Prop("Stretch", &TImage::Stretch, &TImage::SetStretch).Default(false);
    b.Prop("Transparent", &TControl::Transparent, &TImage::SetTransparent).Default(false);
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner), FPicture(std::make_unique<TPicture>()) {
    FPicture->OnChange = [this](TObject*) { PictureChanged(); };
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() {
    FPicture->OnChange = nullptr;
}

void TImage::SetPicture(TPicture* p) {
    FPicture->Assign(p);
}
void TImage::SetStretch(bool v) {
    FStretch = v;
    Invalidate();
}
void TImage::SetCenter(bool v) {
    FCenter = v;
    Invalidate();
}
void TImage::SetProportional(bool v) {
    FProportional = v;
    Invalidate();
}
void TImage::SetAutoSize(bool v) {
    FAutoSize = v;
    PictureChanged();
}
void TImage::SetTransparent(bool v) {
    TGraphicControl::SetTransparent(v);
    if (FPicture->Graphic())
        FPicture->Graphic()->SetTransparent(v);
}

void TImage::PictureChanged() {
    if (FPicture->Graphic())
        FPicture->Graphic()->SetTransparent(FTransparent);
    if (FAutoSize && !FPicture->Empty())
        SetBounds(FLeft, FTop, FPicture->Width(), FPicture->Height());
    Invalidate();
}

void TImage::Paint(TCanvas& canvas) {
    const TGraphic* g = FPicture->Graphic();
    if (!g || g->Empty())
        return;
    int w = g->Width(), h = g->Height();
    if (FStretch || (FProportional && (w > FWidth || h > FHeight))) {
        if (FProportional) {
            double scale = std::min(double(FWidth) / w, double(FHeight) / h);
            w = static_cast<int>(w * scale);
            h = static_cast<int>(h * scale);
        } else {
            w = FWidth;
            h = FHeight;
        }
    }
    int x = FCenter ? (FWidth - w) / 2 : 0, y = FCenter ? (FHeight - h) / 2 : 0;
    if (w == g->Width() && h == g->Height())
        canvas.Draw(x, y, g);
    else
        canvas.StretchDraw({x, y, x + w, y + h}, g);
}

// ---------------------------------------------------------------------------------------------------
// Shape

KV_REGISTER_CLASS(TShape, TGraphicControl, b) {
    b.Prop("Brush", &TShape::Brush, &TShape::SetBrush);
    b.Prop("Pen", &TShape::Pen, &TShape::SetPen);
    b.Prop("Shape", &TShape::Shape, &TShape::SetShape).Default(TShapeType::stRectangle);
}

TShape::TShape(TComponent* owner)
    : TGraphicControl(owner), FBrush(std::make_unique<TBrush>()), FPen(std::make_unique<TPen>()) {
    FBrush->OnChange = [this](TObject*) { Invalidate(); };
    FPen->OnChange = [this](TObject*) { Invalidate(); };
    SetBounds(0, 0, 65, 65);
}

void TShape::SetShape(TShapeType v) {
    FShape = v;
    Invalidate();
}

void TShape::Paint(TCanvas& canvas) {
    canvas.Pen()->Assign(FPen.get());
    canvas.Brush()->Assign(FBrush.get());
    int pw = FPen->Width();
    int x = pw / 2, y = x;
    int w = FWidth - pw + 1, h = FHeight - pw + 1;
    if (pw == 0) {
        --w;
        --h;
    }
    if (w < h && (FShape == TShapeType::stSquare || FShape == TShapeType::stRoundSquare ||
                  FShape == TShapeType::stCircle)) {
        y += (h - w) / 2;
        h = w;
    } else if (h < w && (FShape == TShapeType::stSquare || FShape == TShapeType::stRoundSquare ||
                         FShape == TShapeType::stCircle)) {
        x += (w - h) / 2;
        w = h;
    }
    switch (FShape) {
    case TShapeType::stRectangle:
    case TShapeType::stSquare:
        canvas.Rectangle(x, y, x + w, y + h);
        break;
    case TShapeType::stRoundRect:
    case TShapeType::stRoundSquare:
        canvas.RoundRect(x, y, x + w, y + h, std::min(w, h) / 4, std::min(w, h) / 4);
        break;
    case TShapeType::stEllipse:
    case TShapeType::stCircle:
        canvas.Ellipse(x, y, x + w, y + h);
        break;
    }
}

// ---------------------------------------------------------------------------------------------------
// Paint box

KV_REGISTER_CLASS(TPaintBox, TGraphicControl, b) {
    ColorProps(b, clBtnFace, true);
    FontProps(b);
    PopupProp(b);
    b.Event("OnPaint", &TPaintBox::OnPaint);
}

TPaintBox::TPaintBox(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 105, 105);
}

void TPaintBox::Paint(TCanvas& canvas) {
    FPaintCanvas = &canvas;
    try {
        if (OnPaint)
            OnPaint(this);
    } catch (...) {
        FPaintCanvas = nullptr;
        throw;
    }
    FPaintCanvas = nullptr;
}

// ---------------------------------------------------------------------------------------------------
// Panel and group box

KV_REGISTER_CLASS(TCustomPanel, TCustomControl, b) {}

KV_REGISTER_CLASS(TPanel, TCustomPanel, b) {
    b.Prop("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment).Default(TAlignment::taCenter);
    b.Prop("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner).Default(TBevelCut::bvNone);
    b.Prop("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter)
        .Default(TBevelCut::bvRaised);
    b.Prop("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth).Default(1);
    b.Prop("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle)
        .Default(TBorderStyle::bsNone);
    b.Prop("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth).Default(0);
    b.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
    ColorProps(b, clBtnFace, false);
    FontProps(b);
    PopupProp(b);
    TabProps(b, false);
    b.Event("OnResize", &TControl::OnResize);
}

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 185, 41);
}

void TCustomPanel::SetAlignment(TAlignment v) {
    FAlignment = v;
    Invalidate();
}
void TCustomPanel::SetBevelInner(TBevelCut v) {
    FBevelInner = v;
    AlignControls();
    Invalidate();
}
void TCustomPanel::SetBevelOuter(TBevelCut v) {
    FBevelOuter = v;
    AlignControls();
    Invalidate();
}
void TCustomPanel::SetBevelWidth(int v) {
    FBevelWidth = v;
    AlignControls();
    Invalidate();
}
void TCustomPanel::SetBorderWidth(int v) {
    FBorderWidth = v;
    AlignControls();
    Invalidate();
}
void TCustomPanel::SetBorderStyle(TBorderStyle v) {
    FBorderStyle = v;
    Invalidate();
}

TRect TCustomPanel::ClientRect() const {
    int inset = FBorderWidth;
    if (FBevelOuter != TBevelCut::bvNone)
        inset += FBevelWidth;
    if (FBevelInner != TBevelCut::bvNone)
        inset += FBevelWidth;
    return {inset, inset, FWidth - inset, FHeight - inset};
}

void TCustomPanel::Paint(TCanvas& canvas) {
    TRect r{0, 0, FWidth, FHeight};
    auto colors = [](TBevelCut cut, TColor& top, TColor& bottom) {
        top = cut == TBevelCut::bvLowered ? clBtnShadow : clBtnHighlight;
        bottom = cut == TBevelCut::bvLowered ? clBtnHighlight : clBtnShadow;
    };
    TColor top = 0, bottom = 0;
    if (FBorderStyle == TBorderStyle::bsSingle)
        Frame3D(canvas, r, clWindowFrame, clWindowFrame, 1);
    if (FBevelOuter != TBevelCut::bvNone) {
        colors(FBevelOuter, top, bottom);
        Frame3D(canvas, r, top, bottom, FBevelWidth);
    }
    if (!FTransparent)
        Frame3D(canvas, r, FColor, FColor, FBorderWidth);
    else {
        r.Left += FBorderWidth;
        r.Top += FBorderWidth;
        r.Right -= FBorderWidth;
        r.Bottom -= FBorderWidth;
    }
    if (FBevelInner != TBevelCut::bvNone) {
        colors(FBevelInner, top, bottom);
        Frame3D(canvas, r, top, bottom, FBevelWidth);
    }
    if (!FTransparent) {
        canvas.Brush()->SetColor(FColor);
        canvas.FillRect(r);
    }
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    unsigned flags = DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE;
    if (FAlignment == TAlignment::taCenter)
        flags |= DT_CENTER;
    else if (FAlignment == TAlignment::taRightJustify)
        flags |= DT_RIGHT;
    if (!FText.empty())
        canvas.DrawText(FText, r, flags);
}

KV_REGISTER_CLASS(TGroupBox, TCustomControl, b) {
    b.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
    ColorProps(b, clBtnFace, false);
    FontProps(b);
    PopupProp(b);
    TabProps(b, false);
}

TGroupBox::TGroupBox(TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 185, 105);
}

TRect TGroupBox::ClientRect() const {
    TCanvas c;
    c.Font()->Assign(FFont.get());
    int h = c.TextHeight("0");
    return {1, h, FWidth - 1, FHeight - 1};
}

void TGroupBox::Paint(TCanvas& canvas) {
    int h = canvas.TextHeight("0");
    TRect r{1, h / 2 - 1 + 1, FWidth, FHeight};
    canvas.Brush()->SetColor(clBtnHighlight);
    canvas.FrameRect(r);
    r = {0, h / 2 - 1, FWidth - 1, FHeight - 1};
    canvas.Brush()->SetColor(clBtnShadow);
    canvas.FrameRect(r);
    if (FText.empty())
        return;
    TRect t{8, 0, 0, h};
    unsigned flags = DT_SINGLELINE;
    canvas.DrawText(FText, t, flags | DT_CALCRECT);
    canvas.Brush()->SetColor(FColor);
    if (!FEnabled)
        canvas.Font()->SetColor(clGrayText);
    canvas.DrawText(FText, t, flags);
}

} // namespace kv
