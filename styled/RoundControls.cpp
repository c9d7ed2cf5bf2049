#include "styled/RoundControls.h"

#include "platform/gui/Menus.h"
#include "styled/gdiplus/GDIPFill.h"

#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QValidator>
#include <QWidget>

#include <algorithm>

namespace kv {

std::vector<std::string> EnumIdents(TControlPosition) {
    return {"cpLeftInControl", "cpRightInControl", "cpLeft", "cpRight"};
}
std::vector<std::string> EnumIdents(TRoundControlState) {
    return {"csNormal", "csHover", "csDown"};
}
std::vector<std::string> EnumIdents(TCharCase) {
    return {"ecNormal", "ecUpperCase", "ecLowerCase"};
}
std::vector<std::string> EnumIdents(TImeMode) {
    return {"imDisable", "imClose", "imOpen", "imDontCare", "imSAlpha",   "imAlpha",
            "imHira",    "imSKata", "imKata", "imChinese",  "imSHanguel", "imHanguel"};
}
std::vector<std::string> EnumIdents(TDragKind) {
    return {"dkDrag", "dkDock"};
}
std::vector<std::string> EnumIdents(TDragMode) {
    return {"dmManual", "dmAutomatic"};
}

namespace {

// Tells a control when the mouse enters or leaves its widget (the platform has no such events).
class TEnterLeaveHook : public QObject {
public:
    explicit TEnterLeaveHook(std::function<void(bool)> onChange) : FOnChange(std::move(onChange)) {}
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Enter)
            FOnChange(true);
        else if (e->type() == QEvent::Leave)
            FOnChange(false);
        return QObject::eventFilter(watched, e);
    }

private:
    std::function<void(bool)> FOnChange;
};

} // namespace

// Typed text: letters in the edit's case, only digits when it takes numbers only.
class TEditValidator : public QValidator {
public:
    TEditValidator(const TEmptyEdit* edit, QObject* parent) : QValidator(parent), FEdit(edit) {}
    State validate(QString& input, int&) const override {
        if (FEdit->CharCase() == TCharCase::ecUpperCase)
            input = input.toUpper();
        else if (FEdit->CharCase() == TCharCase::ecLowerCase)
            input = input.toLower();
        if (FEdit->NumbersOnly())
            for (QChar c : input)
                if (!c.isDigit())
                    return Invalid;
        return Acceptable;
    }

private:
    const TEmptyEdit* FEdit;
};

namespace {

QLineEdit* LineEdit(const TControl* c) {
    return static_cast<QLineEdit*>(c->Widget());
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// TRoundPanel

KV_REGISTER_CLASS(TRoundPanel, TCustomControl, b) {
    b.Prop("BorderColor", &TRoundPanel::BorderColor, &TRoundPanel::SetBorderColor)
        .Default(0x808080)
        .Idents(ColorIdents(), "TColor");
    b.Prop("Color", &TRoundPanel::Color, &TRoundPanel::SetColor)
        .Default(clWindow)
        .Idents(ColorIdents(), "TColor");
    b.Prop("Rounding", &TRoundPanel::Rounding, &TRoundPanel::SetRounding).Default(8);
    b.Prop("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1);
    b.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(false);
    b.Prop("Font", &TControl::Font, &TControl::SetFont).Stored([](const TControl& c) {
        return !c.ParentFont();
    });
    b.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
    b.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(false);
}

TRoundPanel::TRoundPanel(TComponent* owner) : TCustomControl(owner) {
    SetBounds(Left(), Top(), 200, 100);
}

void TRoundPanel::SetRounding(int v) {
    if (v == FRounding)
        return;
    FRounding = v;
    Invalidate();
}

void TRoundPanel::SetColor(TColor v) {
    if (v == FPanelColor)
        return;
    FPanelColor = v;
    PanelColorChanged();
}

void TRoundPanel::SetBorderColor(TColor v) {
    if (v == FBorderColor)
        return;
    FBorderColor = v;
    Invalidate();
}

void TRoundPanel::PanelColorChanged() {
    Repaint();
}

void TRoundPanel::Paint(TCanvas& canvas) {
    // A fresh descriptor per paint: the box colour in all four colours, the border around it.
    // clNone stays "no colour"; system colours are looked up.
    auto resolve = [](TColor c) { return c == clNone ? clNone : ColorToRGB(c); };
    TGDIPFill fill;
    fill.SetBorderColor(resolve(FBorderColor));
    fill.SetRounding(FRounding);
    fill.SetRoundingType(TFillRoundingType::rtBoth);
    const TColor c = resolve(FPanelColor);
    fill.SetColor(c);
    fill.SetColorTo(c);
    fill.SetColorMirror(c);
    fill.SetColorMirrorTo(c);
    TGPGraphics g(&canvas);
    g.SetSmoothingMode(SmoothingModeAntiAlias);
    fill.Fill(&g, MakeGPRectF(static_cast<REAL>(FIndentLeft), 0,
                              static_cast<REAL>(Width() - FIndentRight - FIndentLeft - 1),
                              static_cast<REAL>(Height() - 1)));
    if (FShadowColor != clNone) {
        TGPPen pen(ColorToOpaqueARGB(FShadowColor), 1.0f);
        g.DrawLine(&pen, static_cast<REAL>(FRounding + FIndentLeft), 1.0f,
                   static_cast<REAL>(Width() - FRounding - FIndentRight), 1.0f);
        g.DrawArc(&pen, static_cast<REAL>(Width() - FRounding - FIndentRight - 3), 1.0f,
                  static_cast<REAL>(FRounding), static_cast<REAL>(FRounding), -90.0f, 90.0f);
    }
}

// ---------------------------------------------------------------------------------------------------
// Embedded buttons

KV_REGISTER_CLASS(TRoundControl, TPersistent, b) {
    b.Prop("ImageIndex", &TRoundControl::ImageIndex, &TRoundControl::SetImageIndex).Default(-1);
    b.Prop("ImageIndexHover", &TRoundControl::ImageIndexHover, &TRoundControl::SetImageIndexHover)
        .Default(-1);
    b.Prop("ImageIndexDown", &TRoundControl::ImageIndexDown, &TRoundControl::SetImageIndexDown).Default(-1);
    b.Prop("Picture", &TRoundControl::Picture, &TRoundControl::SetPicture);
    b.Prop("PictureHover", &TRoundControl::PictureHover, &TRoundControl::SetPictureHover);
    b.Prop("PictureDown", &TRoundControl::PictureDown, &TRoundControl::SetPictureDown);
    b.Prop("Hint", &TRoundControl::Hint, &TRoundControl::SetHint);
    b.Prop("DropDown", &TRoundControl::DropDown, &TRoundControl::SetDropDown).Default(false);
    b.Prop("Position", &TRoundControl::Position, &TRoundControl::SetPosition)
        .Default(TControlPosition::cpRightInControl);
}

TRoundControl::TRoundControl(TRoundControls* collection)
    : FPicture(std::make_unique<TStGDIPPicture>()), FPictureHover(std::make_unique<TStGDIPPicture>()),
      FPictureDown(std::make_unique<TStGDIPPicture>()), FCollection(collection) {
    auto changed = [this](TObject*) { Changed(); };
    FPicture->OnChange = changed;
    FPictureHover->OnChange = changed;
    FPictureDown->OnChange = changed;
}

TRoundControl::~TRoundControl() = default;

void TRoundControl::Assign(const TPersistent* source) {
    auto* s = dynamic_cast<const TRoundControl*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    FHint = s->FHint;
    FImageIndex = s->FImageIndex;
    FImageIndexHover = s->FImageIndexHover;
    FImageIndexDown = s->FImageIndexDown;
    FPosition = s->FPosition;
    FDropDown = s->FDropDown;
    Changed();
}

void TRoundControl::Changed() {
    if (FCollection) {
        FCollection->BeginUpdate();
        FCollection->EndUpdate();
    }
}

void TRoundControl::SetImageIndex(int v) {
    if (v == FImageIndex)
        return;
    FImageIndex = v;
    Changed();
}

void TRoundControl::SetDropDown(bool v) {
    if (v == FDropDown)
        return;
    FDropDown = v;
    Changed();
}

void TRoundControl::SetPosition(TControlPosition v) {
    if (v == FPosition)
        return;
    FPosition = v;
    Changed();
}

int TRoundControl::Index() const {
    if (!FCollection)
        return -1;
    for (int i = 0; i < FCollection->Count(); ++i)
        if (FCollection->Items(i) == this)
            return i;
    return -1;
}

KV_REGISTER_CLASS(TRoundControls, TPersistent, b) {
    b.Collection(&TRoundControls::Count, &TRoundControls::Items, &TRoundControls::Add,
                 &TRoundControls::Clear);
}

TRoundControls::TRoundControls(TRoundControlPanel* owner) : FOwner(owner) {}
TRoundControls::~TRoundControls() {
    OnChange = nullptr;
}

TRoundControl* TRoundControls::Add() {
    return Insert(Count());
}

TRoundControl* TRoundControls::Insert(int index) {
    index = std::clamp(index, 0, Count());
    auto item = std::make_unique<TRoundControl>(this);
    TRoundControl* raw = item.get();
    FItems.insert(FItems.begin() + index, std::move(item));
    Update(nullptr);
    return raw;
}

void TRoundControls::Delete(int index) {
    FItems.erase(FItems.begin() + index);
    Update(nullptr);
}

void TRoundControls::Clear() {
    FItems.clear();
    Update(nullptr);
}

void TRoundControls::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Update(nullptr);
}

void TRoundControls::Update(TRoundControl*) {
    if (FUpdateCount == 0 && OnChange)
        OnChange(this);
}

TSize TRoundControls::GetControlSize(const TRoundControl* item) const {
    TSize s;
    if (!item->Picture()->GetEmpty()) {
        item->Picture()->GetImageSizes();
        s.cx = item->Picture()->Width() + 2;
        s.cy = item->Picture()->Height();
    } else {
        s.cx = FImageListImageWidth + 2;
        s.cy = FImageListImageHeight;
    }
    if (item->DropDown())
        s.cx += 5;
    return s;
}

void TRoundControls::UpdateSizes() {
    FLeftSize = 0;
    FRightSize = 0;
    FLeftControlSize = 0;
    FRightControlSize = 2;
    for (const auto& item : FItems) {
        const int w = GetControlSize(item.get()).cx;
        switch (item->Position()) {
        case TControlPosition::cpLeftInControl:
            FLeftControlSize += w;
            break;
        case TControlPosition::cpRightInControl:
            FRightControlSize += w;
            break;
        case TControlPosition::cpLeft:
            FLeftSize += w;
            break;
        case TControlPosition::cpRight:
            FRightSize += w;
            break;
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// TRoundControlPanel

KV_REGISTER_CLASS(TRoundControlPanel, TRoundPanel, b) {
    b.Prop("Version", &TRoundControlPanel::Version, &TRoundControlPanel::SetVersion);
    b.Prop("Controls", &TRoundControlPanel::RoundControls, &TRoundControlPanel::SetRoundControls);
    b.Ref("Images", &TRoundControlPanel::Images, &TRoundControlPanel::SetImages);
    b.Event("OnControlClick", &TRoundControlPanel::OnControlClick);
}

TRoundControlPanel::TRoundControlPanel(TComponent* owner)
    : TRoundPanel(owner), FRoundControls(std::make_unique<TRoundControls>(this)) {
    FRoundControls->OnChange = [this](TObject*) { ControlsChanged(); };
    FLeaveFilter = new TEnterLeaveHook([this](bool entered) {
        if (!entered)
            MouseLeave();
    });
    FLeaveFilter->setParent(FWidget);
    FWidget->installEventFilter(FLeaveFilter);
}

TRoundControlPanel::~TRoundControlPanel() {
    Destroying();
    FWidget->removeEventFilter(FLeaveFilter);
    FRoundControls->OnChange = nullptr;
}

std::string TRoundControlPanel::Version() const {
    return "1.0.3.1";
}

void TRoundControlPanel::SetImages(TTickImageList* v) {
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = v;
    if (v) {
        v->FreeNotification(this);
        FRoundControls->SetImageSize(v->Width(), v->Height());
    } else {
        FRoundControls->SetImageSize(0, 0);
    }
    ControlsChanged();
}

void TRoundControlPanel::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove) {
        if (component == FImages)
            SetImages(nullptr);
        if (!IsDestroying())
            for (int i = 0; i < FRoundControls->Count(); ++i)
                if (FRoundControls->Items(i)->PopupMenu() == component)
                    FRoundControls->Items(i)->SetPopupMenu(nullptr);
    }
    TRoundPanel::Notification(component, operation);
}

void TRoundControlPanel::ControlsChanged() {
    FRoundControls->UpdateSizes();
    FIndentLeft = FRoundControls->LeftSize();
    FIndentRight = FRoundControls->RightSize();
    UpdateControlBounds();
    Invalidate();
}

void TRoundControlPanel::Loaded() {
    TRoundPanel::Loaded();
    // Every layout stores the buttons' collection, even when empty; reading it recalculates.
    ControlsChanged();
}

void TRoundControlPanel::DoControlClick(int index) {
    if (OnControlClick)
        OnControlClick(this, index);
}

int TRoundControlPanel::LayoutControls(TCanvas* canvas, int hitX, int* hitLeft) const {
    const TRoundControls& rc = *FRoundControls;
    int leftIn = rc.LeftSize() + FRounding / 2;
    int rightIn = Width() - rc.RightSize() - rc.RightControlSize() - FRounding / 2;
    int left = 0;
    int right = Width() - rc.RightSize() + 2;
    int hit = -1;
    for (int i = 0; i < rc.Count(); ++i) {
        const TRoundControl* item = rc.Items(i);
        const TSize ext = rc.GetControlSize(item);
        int* pos = &rightIn;
        switch (item->Position()) {
        case TControlPosition::cpLeftInControl:
            pos = &leftIn;
            break;
        case TControlPosition::cpRightInControl:
            break;
        case TControlPosition::cpLeft:
            pos = &left;
            break;
        case TControlPosition::cpRight:
            pos = &right;
            break;
        }
        const int x = *pos;
        const int y = (Height() - ext.cy) / 2;
        if (hitX > x && hitX < x + ext.cx) {
            hit = i;
            if (hitLeft)
                *hitLeft = x;
        }
        if (canvas)
            DrawControl(*canvas, item, x, y);
        *pos += ext.cx;
    }
    return hit;
}

void TRoundControlPanel::DrawControl(TCanvas& canvas, const TRoundControl* item, int x, int y) const {
    int w = 0;
    if (!item->Picture()->GetEmpty()) {
        TStGDIPPicture* pic = item->Picture();
        if (item->State() == TRoundControlState::csHover && !item->PictureHover()->GetEmpty())
            pic = item->PictureHover();
        else if (item->State() == TRoundControlState::csDown && !item->PictureDown()->GetEmpty())
            pic = item->PictureDown();
        pic->GetImageSizes();
        TGPGraphics g(&canvas);
        pic->GDIPDraw(&g, TRect{x, y, x + pic->Width(), y + pic->Height()});
        w = pic->Width();
    } else if (FImages) {
        int index = item->ImageIndex();
        if (item->State() == TRoundControlState::csHover && item->ImageIndexHover() >= 0)
            index = item->ImageIndexHover();
        else if (item->State() == TRoundControlState::csDown && item->ImageIndexDown() >= 0)
            index = item->ImageIndexDown();
        if (index >= 0)
            FImages->Draw(canvas, x, y, index, true);
        w = FImages->Width();
    }
    if (item->DropDown()) {
        TGPGraphics g(&canvas);
        g.SetSmoothingMode(SmoothingModeHighQuality);
        TGPSolidBrush brush(0xFF000000);
        const TGPPointF pts[3] = {MakeGPPointF(static_cast<REAL>(x + w), static_cast<REAL>(y + 5)),
                                  MakeGPPointF(static_cast<REAL>(x + w + 6), static_cast<REAL>(y + 5)),
                                  MakeGPPointF(static_cast<REAL>(x + w + 3), static_cast<REAL>(y + 9))};
        g.FillPolygon(&brush, pts, 3, FillModeAlternate);
    }
}

int TRoundControlPanel::ControlAtPos(int x) const {
    return LayoutControls(nullptr, x);
}

void TRoundControlPanel::Paint(TCanvas& canvas) {
    TRoundPanel::Paint(canvas);
    LayoutControls(&canvas, -1);
}

void TRoundControlPanel::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TRoundPanel::MouseDown(button, shift, x, y);
    int itemX = 0;
    const int i = LayoutControls(nullptr, x, &itemX);
    if (i < 0)
        return;
    TRoundControl* item = FRoundControls->Items(i);
    item->SetState(TRoundControlState::csDown);
    Invalidate();
    if (item->DropDown() && item->PopupMenu()) {
        // The menu opens under the button, 3 pixels above the panel's bottom.
        const TPoint p = ClientToScreen({itemX, Height() - 3});
        item->PopupMenu()->Popup(p.X, p.Y);
    }
}

void TRoundControlPanel::MouseMove(TShiftState shift, int x, int y) {
    TRoundPanel::MouseMove(shift, x, y);
    const int i = ControlAtPos(x);
    if (i < 0)
        return;
    bool changed = false;
    for (int k = 0; k < FRoundControls->Count(); ++k) {
        TRoundControl* item = FRoundControls->Items(k);
        const TRoundControlState want = k == i ? TRoundControlState::csHover : TRoundControlState::csNormal;
        if (k != i && item->State() != TRoundControlState::csHover)
            continue;
        if (k == i && item->State() == TRoundControlState::csDown)
            continue;
        if (item->State() != want) {
            item->SetState(want);
            changed = true;
        }
    }
    // The hovered button's hint is the panel's hint while the mouse is over it.
    const std::string& hint = FRoundControls->Items(i)->Hint();
    FWidget->setToolTip(QString::fromStdString(hint.empty() ? Hint() : hint));
    if (changed)
        Invalidate();
}

void TRoundControlPanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TRoundPanel::MouseUp(button, shift, x, y);
    const int i = ControlAtPos(x);
    if (i < 0)
        return;
    DoControlClick(i);
    if (i < FRoundControls->Count())
        FRoundControls->Items(i)->SetState(TRoundControlState::csNormal);
    Invalidate();
}

void TRoundControlPanel::MouseLeave() {
    bool changed = false;
    for (int k = 0; k < FRoundControls->Count(); ++k) {
        TRoundControl* item = FRoundControls->Items(k);
        if (item->State() == TRoundControlState::csHover) {
            item->SetState(TRoundControlState::csNormal);
            changed = true;
        }
    }
    FWidget->setToolTip(QString::fromStdString(Hint()));
    if (changed)
        Invalidate();
}

// ---------------------------------------------------------------------------------------------------
// TEmptyEdit

KV_REGISTER_CLASS(TEmptyEdit, TEdit, b) {
    b.Prop("EmptyText", &TEmptyEdit::EmptyText, &TEmptyEdit::SetEmptyText);
}

TEmptyEdit::TEmptyEdit(TComponent* owner) : TEdit(owner) {
    // The old edit raised OnClick for a click in it.
    FClickOnMouseUp = true;
    // Typed text follows CharCase and NumbersOnly.
    QLineEdit* e = LineEdit(this);
    e->setValidator(new TEditValidator(this, e));
    FHook = new TEnterLeaveHook([this](bool entered) { MouseEntered(entered); });
    FHook->setParent(FWidget);
    FWidget->installEventFilter(FHook);
}

TEmptyEdit::~TEmptyEdit() {
    // Qt still validates the text when the focus leaves the edit during its destruction; by then this
    // object is half gone, so the validator must not reach it.
    LineEdit(this)->setValidator(nullptr);
    FWidget->removeEventFilter(FHook);
    OnMouseEnter = nullptr;
    OnMouseLeave = nullptr;
}

void TEmptyEdit::SetEmptyText(const std::string& v) {
    if (v == FEmptyText)
        return;
    FEmptyText = v;
    Invalidate();
}

void TEmptyEdit::SetAlignment(TAlignment v) {
    FAlignment = v;
    Qt::Alignment a = Qt::AlignLeft;
    if (v == TAlignment::taCenter)
        a = Qt::AlignHCenter;
    else if (v == TAlignment::taRightJustify)
        a = Qt::AlignRight;
    LineEdit(this)->setAlignment(a | Qt::AlignVCenter);
}

void TEmptyEdit::SetCharCase(TCharCase v) {
    FCharCase = v;
    if (v != TCharCase::ecNormal)
        SetText(Text());
}

void TEmptyEdit::SetNumbersOnly(bool v) {
    FNumbersOnly = v;
}

void TEmptyEdit::SetTextHint(const std::string& v) {
    FTextHint = v;
    LineEdit(this)->setPlaceholderText(QString::fromStdString(v));
}

void TEmptyEdit::SetText(const std::string& v) {
    if (FCharCase == TCharCase::ecNormal) {
        TEdit::SetText(v);
        return;
    }
    QString q = QString::fromStdString(v);
    q = FCharCase == TCharCase::ecUpperCase ? q.toUpper() : q.toLower();
    TEdit::SetText(q.toStdString());
}

void TEmptyEdit::DoEnter() {
    if (FAutoSelect)
        SelectAll();
    TEdit::DoEnter();
    if (!FEmptyText.empty() && Text().empty())
        Invalidate();
}

void TEmptyEdit::DoExit() {
    TEdit::DoExit();
    if (!FEmptyText.empty() && Text().empty())
        Invalidate();
}

void TEmptyEdit::WndProcPaint() {
    if (!Text().empty() || FEmptyText.empty())
        return;
    // The canvas's default font, not the edit's.
    QPainter p(FWidget);
    TFont def;
    p.setFont(def.ToQFont());
    p.setPen(QColor::fromRgb(ToQRgb(clGray)));
    p.drawText(QRect(3, 0, FWidget->width() - 3, FWidget->height()), Qt::AlignLeft | Qt::AlignTop,
               QString::fromStdString(FEmptyText));
}

void TEmptyEdit::MouseEntered(bool entered) {
    if (!Enabled())
        return;
    if (entered && OnMouseEnter)
        OnMouseEnter(this);
    else if (!entered && OnMouseLeave)
        OnMouseLeave(this);
}

// ---------------------------------------------------------------------------------------------------
// TRoundEdit

KV_REGISTER_CLASS(TRoundEdit, TRoundControlPanel, b) {
    b.Prop("Alignment", &TRoundEdit::Alignment, &TRoundEdit::SetAlignment).Default(TAlignment::taLeftJustify);
    b.Prop("AutoSelect", &TRoundEdit::AutoSelect, &TRoundEdit::SetAutoSelect).Default(true);
    b.Prop("CharCase", &TRoundEdit::CharCase, &TRoundEdit::SetCharCase).Default(TCharCase::ecNormal);
    b.Prop("DragCursor", &TRoundEdit::DragCursor, &TRoundEdit::SetDragCursor)
        .Default(crDrag)
        .Idents(CursorIdents(), "TCursor");
    b.Prop("DragKind", &TRoundEdit::DragKind, &TRoundEdit::SetDragKind).Default(TDragKind::dkDrag);
    b.Prop("DragMode", &TRoundEdit::DragMode, &TRoundEdit::SetDragMode).Default(TDragMode::dmManual);
    b.Prop("EmptyText", &TRoundEdit::EmptyText, &TRoundEdit::SetEmptyText);
    b.Prop("Enabled", &TRoundEdit::EditEnabled, &TRoundEdit::SetEnabled).Default(true);
    b.Prop("HideSelection", &TRoundEdit::HideSelection, &TRoundEdit::SetHideSelection).Default(true);
    b.Prop("ImeMode", &TRoundEdit::ImeMode, &TRoundEdit::SetImeMode).Default(TImeMode::imDontCare);
    b.Prop("ImeName", &TRoundEdit::ImeName, &TRoundEdit::SetImeName);
    b.Prop("MaxLength", &TRoundEdit::MaxLength, &TRoundEdit::SetMaxLength).Default(0);
    b.Prop("NumbersOnly", &TRoundEdit::NumbersOnly, &TRoundEdit::SetNumbersOnly).Default(false);
    b.Prop("OEMConvert", &TRoundEdit::OEMConvert, &TRoundEdit::SetOEMConvert).Default(false);
    b.Prop("PasswordChar", &TRoundEdit::PasswordChar, &TRoundEdit::SetPasswordChar).Default(0);
    b.Ref("PopupMenu", &TRoundEdit::EditPopupMenu, &TRoundEdit::SetEditPopupMenu);
    b.Prop("ReadOnly", &TRoundEdit::ReadOnly, &TRoundEdit::SetReadOnly).Default(false);
    // Tab stop and order belong to the inner edit and are always stored.
    b.Prop("TabOrder", &TRoundEdit::EditTabOrder, &TRoundEdit::SetEditTabOrder);
    b.Prop("TabStop", &TRoundEdit::EditTabStop, &TRoundEdit::SetEditTabStop);
    b.Prop("Text", &TRoundEdit::GetText, &TRoundEdit::SetText);
    b.Prop("TextHint", &TRoundEdit::TextHint, &TRoundEdit::SetTextHint);
    b.Event("OnClick", &TRoundEdit::OnClick);
    b.Event("OnChange", &TRoundEdit::OnChange);
    b.Event("OnDblClick", &TRoundEdit::OnDblClick);
    b.Event("OnEnter", &TRoundEdit::OnEnter);
    b.Event("OnExit", &TRoundEdit::OnExit);
    b.Event("OnKeyDown", &TRoundEdit::OnKeyDown);
    b.Event("OnKeyPress", &TRoundEdit::OnKeyPress);
    b.Event("OnKeyUp", &TRoundEdit::OnKeyUp);
    b.Event("OnMouseDown", &TRoundEdit::OnMouseDown);
    b.Event("OnMouseMove", &TRoundEdit::OnMouseMove);
    b.Event("OnMouseUp", &TRoundEdit::OnMouseUp);
    b.Event("OnMouseEnter", &TRoundEdit::OnMouseEnter);
    b.Event("OnMouseLeave", &TRoundEdit::OnMouseLeave);
}

TRoundEdit::TRoundEdit(TComponent* owner) : TRoundControlPanel(owner), FEdit(new TEmptyEdit(this)) {
    FEdit->SetBorderStyle(TBorderStyle::bsNone);
    FEdit->SetHeight(18);
    FEdit->SetTabStop(false);
    SetBounds(Left(), Top(), 100, 24);
    // Every event of the inner edit reaches the box's own event with the box as sender.
    FEdit->TEdit::OnChange = [this](TObject*) {
        if (OnChange)
            OnChange(this);
    };
    FEdit->TControl::OnClick = [this](TObject*) {
        if (OnClick)
            OnClick(this);
    };
    FEdit->TControl::OnDblClick = [this](TObject*) {
        if (OnDblClick)
            OnDblClick(this);
    };
    FEdit->TWinControl::OnKeyDown = [this](TObject*, std::uint16_t& key, TShiftState shift) {
        if (OnKeyDown)
            OnKeyDown(this, key, shift);
    };
    FEdit->TWinControl::OnKeyUp = [this](TObject*, std::uint16_t& key, TShiftState shift) {
        if (OnKeyUp)
            OnKeyUp(this, key, shift);
    };
    FEdit->TWinControl::OnKeyPress = [this](TObject*, char& key) {
        if (OnKeyPress)
            OnKeyPress(this, key);
    };
    FEdit->TWinControl::OnEnter = [this](TObject*) {
        if (OnEnter)
            OnEnter(this);
    };
    FEdit->TWinControl::OnExit = [this](TObject*) {
        if (OnExit)
            OnExit(this);
    };
    FEdit->OnMouseEnter = [this](TObject*) {
        if (OnMouseEnter)
            OnMouseEnter(this);
    };
    FEdit->OnMouseLeave = [this](TObject*) {
        if (OnMouseLeave)
            OnMouseLeave(this);
    };
    FEdit->TControl::OnMouseDown = [this](TObject*, TMouseButton button, TShiftState shift, int x, int y) {
        if (OnMouseDown)
            OnMouseDown(this, button, shift, x, y);
    };
    FEdit->TControl::OnMouseUp = [this](TObject*, TMouseButton button, TShiftState shift, int x, int y) {
        if (OnMouseUp)
            OnMouseUp(this, button, shift, x, y);
    };
    FEdit->TControl::OnMouseMove = [this](TObject*, TShiftState shift, int x, int y) {
        if (OnMouseMove)
            OnMouseMove(this, shift, x, y);
    };
    // Qt has no window to create later: the box is built at once.
    BuildWindow();
}

TRoundEdit::~TRoundEdit() {
    Destroying();
    // The inner edit goes first, before the panel's parts it reports to.
    TEmptyEdit* e = FEdit;
    FEdit = nullptr;
    RemoveComponent(e);
    delete e;
}

void TRoundEdit::BuildWindow() {
    FEdit->SetParent(this);
    FEdit->SetTop(5);
    FBuilt = true;
    UpdateControlBounds();
    SetHeight(24);
}

void TRoundEdit::Loaded() {
    TRoundControlPanel::Loaded();
    // The window is made after the layout has been read.
    BuildWindow();
}

void TRoundEdit::UpdateControlBounds() {
    if (!FEdit)
        return;
    const TRoundControls& rc = *RoundControls();
    FEdit->SetLeft(rc.LeftSize() + FRounding + rc.LeftControlSize());
    FEdit->SetWidth(Width() - 2 * FRounding -
                    (rc.RightSize() + rc.RightControlSize() + rc.LeftSize() + rc.LeftControlSize()));
}

void TRoundEdit::SetBounds(int left, int top, int width, int) {
    TRoundControlPanel::SetBounds(left, top, width, 24);
}

void TRoundEdit::Resize() {
    TRoundControlPanel::Resize();
    if (FEdit && FBuilt)
        UpdateControlBounds();
}

std::string TRoundEdit::GetText() const {
    return FEdit->Text();
}

const std::string& TRoundEdit::Text() const {
    return FEdit->Text();
}

void TRoundEdit::SetText(const std::string& v) {
    FEdit->SetText(v);
}

void TRoundEdit::SetFocus() {
    FEdit->SetFocus();
}

void TRoundEdit::SetEnabled(bool v) {
    FEdit->SetEnabled(v);
}

bool TRoundEdit::EditEnabled() const {
    return FEdit->Enabled();
}

void TRoundEdit::PanelColorChanged() {
    TRoundControlPanel::PanelColorChanged();
    FEdit->SetColor(Color());
}

void TRoundEdit::FontChanged() {
    TRoundControlPanel::FontChanged();
    if (FEdit)
        FEdit->Font()->Assign(Font());
}

void TRoundEdit::ParentFontChanged() {
    // The box keeps its own font; the inner edit gets it again.
    if (FEdit)
        FEdit->Font()->Assign(Font());
}

} // namespace kv
