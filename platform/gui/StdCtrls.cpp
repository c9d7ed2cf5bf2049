#include "platform/gui/StdCtrls.h"

#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"
#include "platform/gui/WidgetBridge.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableWidget>

#include <algorithm>
#include <cmath>

namespace kv {

std::vector<std::string> EnumIdents(TTextLayout) {
    return {"tlTop", "tlCenter", "tlBottom"};
}
std::vector<std::string> EnumIdents(TShapeType) {
    return {"stRectangle", "stSquare", "stRoundRect", "stRoundSquare", "stEllipse", "stCircle"};
}
std::vector<std::string> EnumIdents(TScrollStyle) {
    return {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};
}
std::vector<std::string> EnumIdents(TCheckBoxState) {
    return {"cbUnchecked", "cbChecked", "cbGrayed"};
}
std::vector<std::string> EnumIdents(TLeftRight) {
    return {"taLeftJustify", "taRightJustify"};
}
std::vector<std::string> EnumIdents(TComboBoxStyle) {
    return {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"};
}
std::vector<std::string> EnumIdents(TUDBtnType) {
    return {"btNext", "btPrev"};
}
std::vector<std::string> EnumIdents(TUDOrientation) {
    return {"udHorizontal", "udVertical"};
}
std::vector<std::string> EnumIdents(TProgressBarOrientation) {
    return {"pbHorizontal", "pbVertical"};
}

namespace {

template <class C> void ColorProps(TClassBuilder<C>& b, TColor def, bool parentColorDefault) {
    b.Prop("Color", &TControl::Color, &TControl::SetColor)
        .Default(def)
        .Idents(ColorIdents(), "TColor")
        .Stored([](const TControl& c) { return !c.ParentColor(); });
    b.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(parentColorDefault);
}

template <class C> void FontProps(TClassBuilder<C>& b) {
    b.Prop("Font", &TControl::Font, &TControl::SetFont).Stored([](const TControl& c) {
        return !c.ParentFont();
    });
    b.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
}

template <class C> void PopupProp(TClassBuilder<C>& b) {
    b.Ref("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
}

template <class C> void TabProps(TClassBuilder<C>& b, bool tabStopDefault) {
    b.Prop("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1);
    b.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(tabStopDefault);
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
std::string S(const QString& s) {
    return s.toStdString();
}

} // namespace

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

// ---------------------------------------------------------------------------------------------------
// Edit and memo

KV_REGISTER_CLASS(TEdit, TWinControl, b) {
    b.Prop("BorderStyle", &TEdit::BorderStyle, &TEdit::SetBorderStyle).Default(TBorderStyle::bsSingle);
    ColorProps(b, clWindow, false);
    FontProps(b);
    b.Prop("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength).Default(0);
    b.Prop("PasswordChar", &TEdit::PasswordChar, &TEdit::SetPasswordChar).Default(0);
    PopupProp(b);
    b.Prop("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly).Default(false);
    TabProps(b, true);
    b.Prop("Text", &TControl::Text, &TControl::SetText);
    b.Event("OnChange", &TEdit::OnChange);
}

TEdit::TEdit(TComponent* owner) : TWinControl(owner, &NewBridge<QLineEdit>) {
    auto* e = static_cast<QLineEdit*>(FWidget);
    FColor = clWindow;
    SetTabStop(true);
    QObject::connect(e, &QLineEdit::textChanged, e, [this](const QString& t) {
        FText = S(t);
        // Text set by code raises OnChange too, as in the old framework; not while loading.
        if (!FSyncing && !IsLoading() && OnChange)
            Guarded([this] { OnChange(this); });
    });
    SetBounds(0, 0, 121, 21);
    ColorChanged();
}

void TEdit::SetText(const std::string& v) {
    auto* e = static_cast<QLineEdit*>(FWidget);
    if (v == FText && e->text() == Q(v))
        return;
    e->setText(Q(v));
    FText = v;
}

void TEdit::SetReadOnly(bool v) {
    FReadOnly = v;
    static_cast<QLineEdit*>(FWidget)->setReadOnly(v);
}

void TEdit::SetMaxLength(int v) {
    FMaxLength = v;
    static_cast<QLineEdit*>(FWidget)->setMaxLength(v > 0 ? v : 32767);
}

void TEdit::SetPasswordChar(int v) {
    FPasswordChar = v;
    static_cast<QLineEdit*>(FWidget)->setEchoMode(v ? QLineEdit::Password : QLineEdit::Normal);
}

void TEdit::SetBorderStyle(TBorderStyle v) {
    FBorderStyle = v;
    static_cast<QLineEdit*>(FWidget)->setFrame(v == TBorderStyle::bsSingle);
}

void TEdit::SelectAll() {
    static_cast<QLineEdit*>(FWidget)->selectAll();
}

void TEdit::ColorChanged() {
    TWinControl::ColorChanged();
    QPalette pal = FWidget->palette();
    pal.setColor(QPalette::Base, QColor::fromRgb(ToQRgb(FColor)));
    FWidget->setPalette(pal);
}

KV_REGISTER_CLASS(TMemo, TWinControl, b) {
    ColorProps(b, clWindow, false);
    FontProps(b);
    b.Prop("Lines", &TMemo::Lines, &TMemo::SetLines);
    PopupProp(b);
    b.Prop("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly).Default(false);
    b.Prop("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars).Default(TScrollStyle::ssNone);
    TabProps(b, true);
    b.Prop("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap).Default(true);
    b.Event("OnChange", &TMemo::OnChange);
}

TMemo::TMemo(TComponent* owner)
    : TWinControl(owner, &NewBridge<QPlainTextEdit>), FLines(std::make_unique<TStrings>()) {
    auto* e = static_cast<QPlainTextEdit*>(FWidget);
    FColor = clWindow;
    SetTabStop(true);
    FLines->OnChange = [this](TObject*) { LinesChanged(); };
    QObject::connect(e, &QPlainTextEdit::textChanged, e, [this, e] {
        if (FSyncing)
            return;
        FSyncing = true;
        FLines->SetText(S(e->toPlainText()));
        FSyncing = false;
        if (!IsLoading() && OnChange)
            Guarded([this] { OnChange(this); });
    });
    SetScrollBars(TScrollStyle::ssNone);
    SetWordWrap(true);
    SetBounds(0, 0, 185, 89);
    ColorChanged();
}

TMemo::~TMemo() {
    FLines->OnChange = nullptr;
}

void TMemo::LinesChanged() {
    if (FSyncing)
        return;
    FSyncing = true;
    std::string text;
    for (int i = 0; i < FLines->Count(); ++i) {
        if (i)
            text += '\n';
        text += (*FLines)[i];
    }
    static_cast<QPlainTextEdit*>(FWidget)->setPlainText(Q(text));
    FSyncing = false;
    if (!IsLoading() && OnChange)
        OnChange(this);
}

const std::string& TMemo::Text() const {
    FJoined = FLines->Text();
    return FJoined;
}

void TMemo::SetText(const std::string& v) {
    FLines->SetText(v);
}

void TMemo::SetReadOnly(bool v) {
    FReadOnly = v;
    static_cast<QPlainTextEdit*>(FWidget)->setReadOnly(v);
}

void TMemo::SetWordWrap(bool v) {
    FWordWrap = v;
    static_cast<QPlainTextEdit*>(FWidget)->setLineWrapMode(v ? QPlainTextEdit::WidgetWidth
                                                             : QPlainTextEdit::NoWrap);
}

void TMemo::SetScrollBars(TScrollStyle v) {
    FScrollBars = v;
    auto* e = static_cast<QPlainTextEdit*>(FWidget);
    bool h = v == TScrollStyle::ssHorizontal || v == TScrollStyle::ssBoth;
    bool vert = v == TScrollStyle::ssVertical || v == TScrollStyle::ssBoth;
    e->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    e->setVerticalScrollBarPolicy(vert ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TMemo::ColorChanged() {
    TWinControl::ColorChanged();
    QPalette pal = FWidget->palette();
    pal.setColor(QPalette::Base, QColor::fromRgb(ToQRgb(FColor)));
    FWidget->setPalette(pal);
}

// ---------------------------------------------------------------------------------------------------
// Buttons

KV_REGISTER_CLASS(TButtonControl, TWinControl, b) {}

void TButtonControl::TextChanged() {
    static_cast<QAbstractButton*>(FWidget)->setText(Q(FText));
}

KV_REGISTER_CLASS(TButton, TButtonControl, b) {
    b.Prop("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
    b.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
    b.Prop("Default", &TButton::Default, &TButton::SetDefault).Default(false);
    FontProps(b);
    b.Prop("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
    PopupProp(b);
    TabProps(b, true);
}

TButton::TButton(TComponent* owner) : TButtonControl(owner, &NewBridge<QPushButton>) {
    auto* btn = static_cast<QPushButton*>(FWidget);
    btn->setAutoDefault(false);
    SetTabStop(true);
    QObject::connect(btn, &QPushButton::clicked, btn, [this] { Guarded([this] { Click(); }); });
    SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool v) {
    FDefault = v;
    static_cast<QPushButton*>(FWidget)->setDefault(v);
}

void TButton::Click() {
    if (TCustomForm* form = ParentForm())
        form->SetModalResult(FModalResult);
    TButtonControl::Click();
}

KV_REGISTER_CLASS(TCheckBox, TButtonControl, b) {
    b.Prop("Alignment", &TCheckBox::Alignment, &TCheckBox::SetAlignment).Default(TLeftRight::taRightJustify);
    b.Prop("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).Default(false);
    b.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
    b.Prop("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked).Default(false);
    ColorProps(b, clBtnFace, false);
    FontProps(b);
    PopupProp(b);
    b.Prop("State", &TCheckBox::State, &TCheckBox::SetState).Default(TCheckBoxState::cbUnchecked);
    TabProps(b, true);
}

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner, &NewBridge<QCheckBox>) {
    auto* box = static_cast<QCheckBox*>(FWidget);
    SetTabStop(true);
    // Qt's own toggling is undone; the control's state and its events follow the old rules.
    QObject::connect(box, &QCheckBox::clicked, box, [this, box] {
        {
            QSignalBlocker block(box);
            box->setCheckState(FState == TCheckBoxState::cbChecked  ? Qt::Checked
                               : FState == TCheckBoxState::cbGrayed ? Qt::PartiallyChecked
                                                                    : Qt::Unchecked);
        }
        Guarded([this] { Toggle(); });
    });
    SetBounds(0, 0, 97, 17);
}

void TCheckBox::Toggle() {
    switch (FState) {
    case TCheckBoxState::cbUnchecked:
        SetState(FAllowGrayed ? TCheckBoxState::cbGrayed : TCheckBoxState::cbChecked);
        break;
    case TCheckBoxState::cbChecked:
        SetState(TCheckBoxState::cbUnchecked);
        break;
    case TCheckBoxState::cbGrayed:
        SetState(TCheckBoxState::cbChecked);
        break;
    }
}

void TCheckBox::SetState(TCheckBoxState v) {
    if (v == FState)
        return;
    FState = v;
    auto* box = static_cast<QCheckBox*>(FWidget);
    {
        QSignalBlocker block(box);
        box->setTristate(FAllowGrayed || v == TCheckBoxState::cbGrayed);
        box->setCheckState(v == TCheckBoxState::cbChecked  ? Qt::Checked
                           : v == TCheckBoxState::cbGrayed ? Qt::PartiallyChecked
                                                           : Qt::Unchecked);
    }
    if (!IsLoading())
        Click();
}

void TCheckBox::SetAlignment(TLeftRight v) {
    FAlignment = v;
    FWidget->setLayoutDirection(v == TLeftRight::taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

KV_REGISTER_CLASS(TRadioButton, TButtonControl, b) {
    b.Prop("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment)
        .Default(TLeftRight::taRightJustify);
    b.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
    b.Prop("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(false);
    ColorProps(b, clBtnFace, false);
    FontProps(b);
    PopupProp(b);
    TabProps(b, false);
}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner, &NewBridge<QRadioButton>) {
    auto* rb = static_cast<QRadioButton*>(FWidget);
    rb->setAutoExclusive(false);
    QObject::connect(rb, &QRadioButton::clicked, rb, [this, rb] {
        {
            QSignalBlocker block(rb);
            rb->setChecked(FChecked);
        }
        Guarded([this] { SetChecked(true); });
    });
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::SetChecked(bool v) {
    if (v == FChecked)
        return;
    FChecked = v;
    {
        QSignalBlocker block(FWidget);
        static_cast<QRadioButton*>(FWidget)->setChecked(v);
    }
    if (!v)
        return;
    if (FParent)
        for (int i = 0; i < FParent->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TRadioButton*>(FParent->Controls(i)); other && other != this)
                other->SetChecked(false);
    if (!IsLoading())
        Click();
}

void TRadioButton::SetAlignment(TLeftRight v) {
    FAlignment = v;
    FWidget->setLayoutDirection(v == TLeftRight::taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

// ---------------------------------------------------------------------------------------------------
// Combo box and list box

KV_REGISTER_CLASS(TComboBox, TWinControl, b) {
    ColorProps(b, clWindow, false);
    b.Prop("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount).Default(8);
    FontProps(b);
    b.Prop("Items", &TComboBox::Items, &TComboBox::SetItems);
    b.Prop("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex).Default(-1);
    PopupProp(b);
    b.Prop("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted).Default(false);
    b.Prop("Style", &TComboBox::Style, &TComboBox::SetStyle).Default(TComboBoxStyle::csDropDown);
    TabProps(b, true);
    b.Prop("Text", &TComboBox::Text, &TComboBox::SetText).Stored([](const TComboBox& c) {
        return c.Style() == TComboBoxStyle::csDropDown || c.Style() == TComboBoxStyle::csSimple;
    });
    b.Event("OnChange", &TComboBox::OnChange);
    b.Event("OnCloseUp", &TComboBox::OnCloseUp);
    b.Event("OnDropDown", &TComboBox::OnDropDown);
    b.Event("OnSelect", &TComboBox::OnSelect);
}

TComboBox::TComboBox(TComponent* owner)
    : TWinControl(owner, &NewBridge<QComboBox>), FItems(std::make_unique<TStrings>()) {
    auto* cb = static_cast<QComboBox*>(FWidget);
    FColor = clWindow;
    SetTabStop(true);
    cb->setInsertPolicy(QComboBox::NoInsert);
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
    // Only a user's pick arrives here; selections made by code are silent.
    QObject::connect(cb, QOverload<int>::of(&QComboBox::activated), cb, [this](int index) {
        // The list pops up in a window of Qt's own, outside the bridge.
        Guarded([&] {
            if (!FSyncing)
                UserSelect(index);
        });
    });
    SetStyle(TComboBoxStyle::csDropDown);
    SetBounds(0, 0, 145, 21);
    ColorChanged();
}

TComboBox::~TComboBox() {
    FItems->OnChange = nullptr;
}

void TComboBox::ItemsChanged() {
    auto* cb = static_cast<QComboBox*>(FWidget);
    int keep = cb->currentIndex();
    QString text = cb->isEditable() ? cb->currentText() : QString();
    FSyncing = true;
    {
        QSignalBlocker block(cb);
        cb->clear();
        for (const std::string& s : FItems->Strings())
            cb->addItem(Q(s));
        cb->setCurrentIndex(keep < cb->count() ? keep : -1);
        if (cb->isEditable() && keep < 0)
            cb->setEditText(text);
    }
    FSyncing = false;
}

int TComboBox::ItemIndex() const {
    return static_cast<QComboBox*>(FWidget)->currentIndex();
}

void TComboBox::SetItemIndex(int v) {
    auto* cb = static_cast<QComboBox*>(FWidget);
    if (IsLoading()) {
        // The items may come later in the layout.
        FPendingIndex = v;
        return;
    }
    if (v < -1 || v >= cb->count())
        v = -1;
    QSignalBlocker block(cb);
    cb->setCurrentIndex(v);
    if (v < 0 && cb->isEditable())
        cb->setEditText(QString());
}

void TComboBox::Loaded() {
    TWinControl::Loaded();
    if (FPendingIndex != -2)
        SetItemIndex(FPendingIndex);
    FPendingIndex = -2;
}

void TComboBox::UserSelect(int index) {
    auto* cb = static_cast<QComboBox*>(FWidget);
    if (index < 0 || index >= cb->count())
        return;
    {
        QSignalBlocker block(cb);
        cb->setCurrentIndex(index);
    }
    Click();
    if (OnSelect)
        OnSelect(this);
    else if (OnChange)
        OnChange(this);
}

void TComboBox::SetStyle(TComboBoxStyle v) {
    FStyle = v;
    auto* cb = static_cast<QComboBox*>(FWidget);
    bool editable = v == TComboBoxStyle::csDropDown || v == TComboBoxStyle::csSimple;
    QSignalBlocker block(cb);
    cb->setEditable(editable);
    // Setting an editable style again keeps the same line edit: connect it once only.
    if (editable && cb->lineEdit()) {
        QObject::disconnect(cb->lineEdit(), &QLineEdit::textEdited, cb, nullptr);
        QObject::connect(cb->lineEdit(), &QLineEdit::textEdited, cb, [this] {
            Guarded([this] {
                if (OnChange)
                    OnChange(this);
            });
        });
    }
}

void TComboBox::SetDropDownCount(int v) {
    FDropDownCount = v;
    static_cast<QComboBox*>(FWidget)->setMaxVisibleItems(std::max(1, v));
}

void TComboBox::SetSorted(bool v) {
    FSorted = v;
    if (v)
        FItems->Sort();
}

const std::string& TComboBox::Text() const {
    FTextCache = S(static_cast<QComboBox*>(FWidget)->currentText());
    return FTextCache;
}

void TComboBox::SetText(const std::string& v) {
    auto* cb = static_cast<QComboBox*>(FWidget);
    QSignalBlocker block(cb);
    if (cb->isEditable()) {
        int i = cb->findText(Q(v), Qt::MatchFixedString);
        cb->setCurrentIndex(i);
        cb->setEditText(Q(v));
    } else {
        cb->setCurrentIndex(cb->findText(Q(v), Qt::MatchFixedString));
    }
}

void TComboBox::ColorChanged() {
    TWinControl::ColorChanged();
    QPalette pal = FWidget->palette();
    pal.setColor(QPalette::Base, QColor::fromRgb(ToQRgb(FColor)));
    pal.setColor(QPalette::Button, QColor::fromRgb(ToQRgb(FColor)));
    FWidget->setPalette(pal);
}

KV_REGISTER_CLASS(TListBox, TWinControl, b) {
    ColorProps(b, clWindow, false);
    FontProps(b);
    b.Prop("ItemHeight", &TListBox::ItemHeight, &TListBox::SetItemHeight).Default(13);
    b.Prop("Items", &TListBox::Items, &TListBox::SetItems);
    b.Prop("MultiSelect", &TListBox::MultiSelect, &TListBox::SetMultiSelect).Default(false);
    PopupProp(b);
    b.Prop("Sorted", &TListBox::Sorted, &TListBox::SetSorted).Default(false);
    TabProps(b, true);
}

TListBox::TListBox(TComponent* owner)
    : TWinControl(owner, &NewBridge<QListWidget>), FItems(std::make_unique<TStrings>()) {
    auto* lb = static_cast<QListWidget*>(FWidget);
    FColor = clWindow;
    SetTabStop(true);
    lb->setSelectionMode(QAbstractItemView::SingleSelection);
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
    QObject::connect(lb, &QListWidget::itemSelectionChanged, lb, [this] {
        if (!FSyncing)
            Guarded([this] { Click(); });
    });
    SetBounds(0, 0, 121, 97);
    ColorChanged();
}

TListBox::~TListBox() {
    FItems->OnChange = nullptr;
}

void TListBox::ItemsChanged() {
    auto* lb = static_cast<QListWidget*>(FWidget);
    FSyncing = true;
    int keep = lb->currentRow();
    lb->clear();
    for (const std::string& s : FItems->Strings())
        lb->addItem(Q(s));
    if (keep >= 0 && keep < lb->count())
        lb->setCurrentRow(keep);
    FSyncing = false;
}

int TListBox::ItemIndex() const {
    return static_cast<QListWidget*>(FWidget)->currentRow();
}

void TListBox::SetItemIndex(int v) {
    auto* lb = static_cast<QListWidget*>(FWidget);
    FSyncing = true;
    lb->setCurrentRow(v >= 0 && v < lb->count() ? v : -1);
    if (v < 0)
        lb->clearSelection();
    FSyncing = false;
}

void TListBox::SetMultiSelect(bool v) {
    FMultiSelect = v;
    static_cast<QListWidget*>(FWidget)->setSelectionMode(v ? QAbstractItemView::ExtendedSelection
                                                           : QAbstractItemView::SingleSelection);
}

bool TListBox::Selected(int index) const {
    auto* item = static_cast<QListWidget*>(FWidget)->item(index);
    return item && item->isSelected();
}

void TListBox::SetSelected(int index, bool v) {
    if (auto* item = static_cast<QListWidget*>(FWidget)->item(index)) {
        FSyncing = true;
        item->setSelected(v);
        FSyncing = false;
    }
}

void TListBox::SetSorted(bool v) {
    FSorted = v;
    if (v)
        FItems->Sort();
}

int TListBox::TopIndex() const {
    auto* lb = static_cast<QListWidget*>(FWidget);
    QListWidgetItem* item = lb->itemAt(2, 2);
    return item ? lb->row(item) : 0;
}

void TListBox::SetTopIndex(int v) {
    auto* lb = static_cast<QListWidget*>(FWidget);
    if (auto* item = lb->item(v))
        lb->scrollToItem(item, QAbstractItemView::PositionAtTop);
}

void TListBox::ColorChanged() {
    TWinControl::ColorChanged();
    QPalette pal = FWidget->palette();
    pal.setColor(QPalette::Base, QColor::fromRgb(ToQRgb(FColor)));
    FWidget->setPalette(pal);
}

// ---------------------------------------------------------------------------------------------------
// Key/value list editor

KV_REGISTER_CLASS(TValueListEditor, TWinControl, b) {
    FontProps(b);
    PopupProp(b);
    b.Prop("Strings", &TValueListEditor::Strings, &TValueListEditor::SetStrings);
    TabProps(b, true);
    b.Prop("TitleCaptions", &TValueListEditor::TitleCaptions, &TValueListEditor::SetTitleCaptions)
        .Stored([](const TValueListEditor& e) {
            return e.TitleCaptions()->Strings() != std::vector<std::string>{"Key", "Value"};
        });
    b.Event("OnStringsChange", &TValueListEditor::OnStringsChange);
}

TValueListEditor::TValueListEditor(TComponent* owner)
    : TWinControl(owner, &NewBridge<QTableWidget>), FStrings(std::make_unique<TStrings>()),
      FTitles(std::make_unique<TStrings>()) {
    auto* t = static_cast<QTableWidget*>(FWidget);
    SetTabStop(true);
    FTitles->SetText("Key\nValue");
    t->setColumnCount(2);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    t->verticalHeader()->setDefaultSectionSize(18);
    FStrings->OnChange = [this](TObject*) {
        Rebuild();
        if (!IsLoading() && OnStringsChange)
            OnStringsChange(this);
    };
    FTitles->OnChange = [this](TObject*) { Rebuild(); };
    QObject::connect(t, &QTableWidget::itemChanged, t, [this](QTableWidgetItem* item) {
        if (FSyncing || item->column() != 1)
            return;
        // The cell editor is Qt's own widget, outside the bridge.
        FSyncing = true;
        Guarded([&] {
            int row = item->row();
            if (row < FStrings->Count())
                FStrings->Put(row, FStrings->Names(row) + "=" + S(item->text()));
        });
        FSyncing = false;
    });
    SetBounds(0, 0, 306, 300);
    Rebuild();
}

TValueListEditor::~TValueListEditor() {
    FStrings->OnChange = nullptr;
    FTitles->OnChange = nullptr;
}

std::string TValueListEditor::Keys(int row) const {
    if (row <= 0 || row > FStrings->Count())
        return {};
    return FStrings->Names(row - 1);
}

void TValueListEditor::Rebuild() {
    if (FSyncing)
        return;
    auto* t = static_cast<QTableWidget*>(FWidget);
    FSyncing = true;
    QStringList titles;
    titles << Q(FTitles->Count() > 0 ? (*FTitles)[0] : std::string("Key"))
           << Q(FTitles->Count() > 1 ? (*FTitles)[1] : std::string("Value"));
    t->setHorizontalHeaderLabels(titles);
    t->setRowCount(FStrings->Count());
    for (int i = 0; i < FStrings->Count(); ++i) {
        auto* key = new QTableWidgetItem(Q(FStrings->Names(i)));
        key->setFlags(key->flags() & ~Qt::ItemIsEditable);
        key->setBackground(QColor::fromRgb(ToQRgb(clBtnFace)));
        t->setItem(i, 0, key);
        t->setItem(i, 1, new QTableWidgetItem(Q(FStrings->ValueFromIndex(i))));
    }
    FSyncing = false;
}

// ---------------------------------------------------------------------------------------------------
// Up-down

KV_REGISTER_CLASS(TUpDown, TCustomControl, b) {
    b.Ref("Associate", &TUpDown::Associate, &TUpDown::SetAssociate);
    b.Prop("Increment", &TUpDown::Increment, &TUpDown::SetIncrement).Default(1);
    b.Prop("Max", &TUpDown::Max, &TUpDown::SetMax).Default(100);
    b.Prop("Min", &TUpDown::Min, &TUpDown::SetMin).Default(0);
    b.Prop("Orientation", &TUpDown::Orientation, &TUpDown::SetOrientation)
        .Default(TUDOrientation::udVertical);
    b.Prop("Position", &TUpDown::Position, &TUpDown::SetPosition).Default(0);
    TabProps(b, false);
    b.Prop("Wrap", &TUpDown::Wrap, &TUpDown::SetWrap).Default(false);
    b.Event("OnChanging", &TUpDown::OnChanging);
    b.Event("OnClick", &TUpDown::OnClick);
}

TUpDown::TUpDown(TComponent* owner) : TCustomControl(owner) {
    FClickOnMouseUp = false;
    SetBounds(0, 0, 16, 24);
}

void TUpDown::SetPosition(int v) {
    if (!IsLoading())
        v = std::clamp(v, std::min(FMin, FMax), std::max(FMin, FMax));
    FPosition = v;
    UpdateAssociate();
}

void TUpDown::SetOrientation(TUDOrientation v) {
    FOrientation = v;
    Invalidate();
}

void TUpDown::SetAssociate(TWinControl* c) {
    FAssociate = c;
    if (c)
        c->FreeNotification(this);
    UpdateAssociate();
}

void TUpDown::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FAssociate)
        FAssociate = nullptr;
}

void TUpDown::UpdateAssociate() {
    if (FAssociate && !IsLoading())
        FAssociate->SetText(std::to_string(FPosition));
}

void TUpDown::ArrowClick(TUDBtnType button) {
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    if (!allow)
        return;
    int lo = std::min(FMin, FMax), hi = std::max(FMin, FMax);
    int step = (button == TUDBtnType::btNext ? 1 : -1) * (FMin <= FMax ? 1 : -1) * FIncrement;
    int next = FPosition + step;
    if (next > hi)
        next = FWrap ? lo : hi;
    else if (next < lo)
        next = FWrap ? hi : lo;
    if (next != FPosition) {
        FPosition = next;
        UpdateAssociate();
    }
    Invalidate();
    if (OnClick)
        OnClick(this, button);
}

void TUpDown::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft || !FEnabled)
        return;
    bool next = FOrientation == TUDOrientation::udVertical ? y < FHeight / 2 : x >= FWidth / 2;
    ArrowClick(next ? TUDBtnType::btNext : TUDBtnType::btPrev);
}

void TUpDown::Paint(TCanvas& canvas) {
    bool vertical = FOrientation == TUDOrientation::udVertical;
    TRect halves[2] = {vertical ? TRect{0, 0, FWidth, FHeight / 2} : TRect{0, 0, FWidth / 2, FHeight},
                       vertical ? TRect{0, FHeight / 2, FWidth, FHeight}
                                : TRect{FWidth / 2, 0, FWidth, FHeight}};
    for (int i = 0; i < 2; ++i) {
        TRect r = halves[i];
        Frame3D(canvas, r, cl3DLight, cl3DDkShadow, 1);
        Frame3D(canvas, r, clBtnHighlight, clBtnShadow, 1);
        canvas.Brush()->SetColor(clBtnFace);
        canvas.FillRect(r);
        int cx = (halves[i].Left + halves[i].Right) / 2, cy = (halves[i].Top + halves[i].Bottom) / 2;
        canvas.Brush()->SetColor(FEnabled ? clBtnText : clGrayText);
        canvas.Pen()->SetColor(FEnabled ? clBtnText : clGrayText);
        // Up (or left) arrow on the first half, down (or right) on the second.
        bool first = i == 0;
        if (vertical)
            canvas.Polygon(first ? std::vector<TPoint>{{cx - 2, cy + 1}, {cx + 2, cy + 1}, {cx, cy - 1}}
                                 : std::vector<TPoint>{{cx - 2, cy - 1}, {cx + 2, cy - 1}, {cx, cy + 1}});
        else
            canvas.Polygon(first ? std::vector<TPoint>{{cx + 1, cy - 2}, {cx + 1, cy + 2}, {cx - 1, cy}}
                                 : std::vector<TPoint>{{cx - 1, cy - 2}, {cx - 1, cy + 2}, {cx + 1, cy}});
    }
}

// ---------------------------------------------------------------------------------------------------
// Status bar and progress bar

KV_REGISTER_CLASS(TStatusBar, TCustomControl, b) {
    b.Prop("Align", &TControl::Align, &TControl::SetAlign).Default(TAlign::alBottom);
    ColorProps(b, clBtnFace, false);
    FontProps(b);
    b.Prop("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel).Default(false);
    b.Prop("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
}

TStatusBar::TStatusBar(TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 200, 19);
    SetAlign(TAlign::alBottom);
}

void TStatusBar::SetSimplePanel(bool v) {
    FSimplePanel = v;
    Invalidate();
}

void TStatusBar::SetSimpleText(const std::string& v) {
    FSimpleText = v;
    Invalidate();
}

void TStatusBar::AddPanel(int width) {
    FPanels.push_back({width, {}});
    Invalidate();
}

void TStatusBar::SetPanelText(int index, const std::string& text) {
    FPanels.at(static_cast<std::size_t>(index)).text = text;
    Invalidate();
}

const std::string& TStatusBar::PanelText(int index) const {
    return FPanels.at(static_cast<std::size_t>(index)).text;
}

void TStatusBar::Paint(TCanvas& canvas) {
    auto panel = [&](int left, int right, const std::string& text) {
        TRect r{left, 2, right, FHeight};
        Frame3D(canvas, r, clBtnShadow, clBtnHighlight, 1);
        canvas.Brush()->SetStyle(TBrushStyle::bsClear);
        TRect t{r.Left + 2, r.Top, r.Right - 1, r.Bottom};
        canvas.DrawText(text, t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    };
    if (FSimplePanel || FPanels.empty()) {
        panel(0, FWidth, FSimpleText);
        return;
    }
    int x = 0;
    for (std::size_t i = 0; i < FPanels.size(); ++i) {
        int right = i + 1 == FPanels.size() ? FWidth : x + FPanels[i].width;
        panel(x, right - 2, FPanels[i].text);
        x = right;
    }
}

KV_REGISTER_CLASS(TProgressBar, TWinControl, b) {
    b.Prop("Max", &TProgressBar::Max, &TProgressBar::SetMax).Default(100);
    b.Prop("Min", &TProgressBar::Min, &TProgressBar::SetMin).Default(0);
    b.Prop("Orientation", &TProgressBar::Orientation, &TProgressBar::SetOrientation)
        .Default(TProgressBarOrientation::pbHorizontal);
    b.Prop("Position", &TProgressBar::Position, &TProgressBar::SetPosition).Default(0);
    b.Prop("Smooth", &TProgressBar::Smooth, &TProgressBar::SetSmooth).Default(false);
    b.Prop("Step", &TProgressBar::Step, &TProgressBar::SetStep).Default(10);
}

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner, &NewBridge<QProgressBar>) {
    auto* p = static_cast<QProgressBar*>(FWidget);
    p->setTextVisible(false);
    SetBounds(0, 0, 150, 16);
    Apply();
}

void TProgressBar::Apply() {
    auto* p = static_cast<QProgressBar*>(FWidget);
    p->setRange(FMin, std::max(FMin, FMax));
    p->setValue(std::clamp(FPosition, FMin, std::max(FMin, FMax)));
    p->setOrientation(FOrientation == TProgressBarOrientation::pbVertical ? Qt::Vertical : Qt::Horizontal);
}

void TProgressBar::SetMin(int v) {
    FMin = v;
    Apply();
}
void TProgressBar::SetMax(int v) {
    FMax = v;
    Apply();
}
void TProgressBar::SetPosition(int v) {
    FPosition = IsLoading() ? v : std::clamp(v, FMin, std::max(FMin, FMax));
    Apply();
}
void TProgressBar::SetOrientation(TProgressBarOrientation v) {
    FOrientation = v;
    Apply();
}

// ---------------------------------------------------------------------------------------------------

void RegisterStandardClasses() {
    for (const TClassInfo* c : {&TForm::StaticClassInfo(),
                                &TLabel::StaticClassInfo(),
                                &TImage::StaticClassInfo(),
                                &TShape::StaticClassInfo(),
                                &TPaintBox::StaticClassInfo(),
                                &TPanel::StaticClassInfo(),
                                &TGroupBox::StaticClassInfo(),
                                &TEdit::StaticClassInfo(),
                                &TMemo::StaticClassInfo(),
                                &TButton::StaticClassInfo(),
                                &TCheckBox::StaticClassInfo(),
                                &TRadioButton::StaticClassInfo(),
                                &TComboBox::StaticClassInfo(),
                                &TListBox::StaticClassInfo(),
                                &TValueListEditor::StaticClassInfo(),
                                &TUpDown::StaticClassInfo(),
                                &TStatusBar::StaticClassInfo(),
                                &TProgressBar::StaticClassInfo(),
                                &TScrollBox::StaticClassInfo(),
                                &TMainMenu::StaticClassInfo(),
                                &TPopupMenu::StaticClassInfo(),
                                &TMenuItem::StaticClassInfo()})
        RegisterClass(*c);
}

} // namespace kv
