#include "platform/gui/Controls.h"

#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/WidgetBridge.h"

#include <QApplication>
#include <QCursor>

#include <algorithm>

namespace kv {

std::vector<std::string> EnumIdents(TAlign) {
    return {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"};
}
std::vector<std::string> EnumIdents(TAnchorKind) {
    return {"akLeft", "akTop", "akRight", "akBottom"};
}
std::vector<std::string> EnumIdents(TMouseButton) {
    return {"mbLeft", "mbRight", "mbMiddle"};
}
std::vector<std::string> EnumIdents(TShiftItem) {
    return {"ssShift", "ssAlt", "ssCtrl", "ssLeft", "ssRight", "ssMiddle", "ssDouble"};
}
std::vector<std::string> EnumIdents(TAlignment) {
    return {"taLeftJustify", "taRightJustify", "taCenter"};
}
std::vector<std::string> EnumIdents(TBevelCut) {
    return {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
}
std::vector<std::string> EnumIdents(TBorderStyle) {
    return {"bsNone", "bsSingle"};
}

const TIdentMap& CursorIdents() {
    static const TIdentMap m{{
        {crDefault, "crDefault"},     {crNone, "crNone"},
        {crArrow, "crArrow"},         {crCross, "crCross"},
        {crIBeam, "crIBeam"},         {crSizeNESW, "crSizeNESW"},
        {crSizeNS, "crSizeNS"},       {crSizeNWSE, "crSizeNWSE"},
        {crSizeWE, "crSizeWE"},       {crUpArrow, "crUpArrow"},
        {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
        {crNoDrop, "crNoDrop"},       {crHSplit, "crHSplit"},
        {crVSplit, "crVSplit"},       {crNo, "crNo"},
        {crAppStart, "crAppStart"},   {crHelp, "crHelp"},
        {crHandPoint, "crHandPoint"}, {crSizeAll, "crSizeAll"},
    }};
    return m;
}

namespace {
Qt::CursorShape QtCursor(TCursor c) {
    switch (c) {
    case crNone:
        return Qt::BlankCursor;
    case crCross:
        return Qt::CrossCursor;
    case crIBeam:
        return Qt::IBeamCursor;
    case crSizeNESW:
        return Qt::SizeBDiagCursor;
    case crSizeNS:
        return Qt::SizeVerCursor;
    case crSizeNWSE:
        return Qt::SizeFDiagCursor;
    case crSizeWE:
        return Qt::SizeHorCursor;
    case crUpArrow:
        return Qt::UpArrowCursor;
    case crHourGlass:
        return Qt::WaitCursor;
    case crDrag:
        return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo:
        return Qt::ForbiddenCursor;
    case crHSplit:
        return Qt::SplitHCursor;
    case crVSplit:
        return Qt::SplitVCursor;
    case crAppStart:
        return Qt::BusyCursor;
    case crHelp:
        return Qt::WhatsThisCursor;
    case crHandPoint:
        return Qt::PointingHandCursor;
    case crSizeAll:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
}
} // namespace

TShiftState ShiftStateOf(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons) {
    TShiftState s;
    if (mods & Qt::ShiftModifier)
        s.Include(TShiftItem::ssShift);
    if (mods & Qt::AltModifier)
        s.Include(TShiftItem::ssAlt);
    if (mods & Qt::ControlModifier)
        s.Include(TShiftItem::ssCtrl);
    if (buttons & Qt::LeftButton)
        s.Include(TShiftItem::ssLeft);
    if (buttons & Qt::RightButton)
        s.Include(TShiftItem::ssRight);
    if (buttons & Qt::MiddleButton)
        s.Include(TShiftItem::ssMiddle);
    return s;
}

std::uint16_t VirtualKeyOf(int k, bool keypad) {
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return static_cast<std::uint16_t>('0' + (k - Qt::Key_0));
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return static_cast<std::uint16_t>('A' + (k - Qt::Key_A));
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return static_cast<std::uint16_t>(VK_F1 + (k - Qt::Key_F1));
    switch (k) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
        return VK_MENU;
    case Qt::Key_Menu:
        return VK_APPS;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Plus:
        return keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Equal:
        return VK_OEM_PLUS;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        return keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    default:
        return 0;
    }
}

// ---------------------------------------------------------------------------------------------------
// Bridge

void TControlBridge::Attach(QWidget* w, TControl* c) {
    w->setProperty("kvControl", QVariant::fromValue(static_cast<void*>(c)));
    w->setMouseTracking(true);
    w->setAttribute(Qt::WA_NoMousePropagation, false);
}

void TControlBridge::Paint(QWidget* w, TControl* c) {
    QImage img(w->width(), w->height(), QImage::Format_ARGB32_Premultiplied);
    if (img.isNull())
        return;
    const bool opaque = c->OpaqueBackground();
    if (c->MarkOpaque() && !opaque)
        w->update(); // nothing was painted behind this time: once more, with the parent
    img.fill(opaque ? (0xFF000000u | ToQRgb(c->Color())) : 0u);
    TCanvas local;
    auto* custom = dynamic_cast<TCustomControl*>(c);
    TCanvas& canvas = custom ? *custom->Canvas() : local;
    canvas.SetTarget(&img);
    canvas.SetClipRect(nullptr);
    canvas.Font()->Assign(c->Font());
    canvas.Brush()->SetColor(c->Color());
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Pen()->SetColor(clBlack);
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    canvas.Pen()->SetWidth(1);
    canvas.Pen()->SetMode(TPenMode::pmCopy);
    c->Paint(canvas);
    canvas.SetTarget(nullptr);
    QPainter p(w);
    p.drawImage(0, 0, img);
}

namespace {
TMouseButton ButtonOf(Qt::MouseButton b) {
    if (b == Qt::RightButton)
        return TMouseButton::mbRight;
    if (b == Qt::MiddleButton)
        return TMouseButton::mbMiddle;
    return TMouseButton::mbLeft;
}
int X(const QMouseEvent* e) {
    return static_cast<int>(e->position().x());
}
int Y(const QMouseEvent* e) {
    return static_cast<int>(e->position().y());
}
} // namespace

void TControlBridge::MousePress(TControl* c, QMouseEvent* e) {
    if (!c->Enabled())
        return;
    c->FMouseDownInside = e->button() == Qt::LeftButton;
    c->MouseDown(ButtonOf(e->button()), ShiftStateOf(e->modifiers(), e->buttons() | e->button()), X(e), Y(e));
}

void TControlBridge::MouseRelease(TControl* c, QMouseEvent* e) {
    if (!c->Enabled())
        return;
    bool click = c->FClickOnMouseUp && c->FMouseDownInside && e->button() == Qt::LeftButton && X(e) >= 0 &&
                 Y(e) >= 0 && X(e) < c->Width() && Y(e) < c->Height();
    c->FMouseDownInside = false;
    if (click)
        c->Click();
    c->MouseUp(ButtonOf(e->button()), ShiftStateOf(e->modifiers(), e->buttons()), X(e), Y(e));
    if (e->button() == Qt::RightButton && c->PopupMenu())
        c->PopupMenu()->Popup(c->ClientToScreen({X(e), Y(e)}).X, c->ClientToScreen({X(e), Y(e)}).Y);
}

void TControlBridge::MouseMove(TControl* c, QMouseEvent* e) {
    if (c->Enabled())
        c->MouseMove(ShiftStateOf(e->modifiers(), e->buttons()), X(e), Y(e));
}

void TControlBridge::DoubleClick(TControl* c) {
    if (c->Enabled())
        c->DblClick();
}

bool TControlBridge::Wheel(TControl* c, QWheelEvent* e) {
    QPoint global = e->globalPosition().toPoint();
    return c->DoMouseWheel(ShiftStateOf(e->modifiers(), e->buttons()), e->angleDelta().y(),
                           {global.x(), global.y()});
}

bool TControlBridge::KeyPress(TControl* c, QKeyEvent* e) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (!w)
        return false;
    std::uint16_t key = VirtualKeyOf(e->key(), e->modifiers().testFlag(Qt::KeypadModifier));
    TShiftState shift = ShiftStateOf(e->modifiers(), Qt::NoButton);
    TCustomForm* form = c->ParentForm();
    // A form with KeyPreview sees its controls' keys first.
    if (key && form && form != c && form->KeyPreview() && form->KeyDown(key, shift))
        return true;
    if (key && w->KeyDown(key, shift))
        return true;
    // Enter and Escape reach the dialog's default and cancel buttons.
    if (key && form && !(key == VK_RETURN && dynamic_cast<TMemo*>(c)) && form->DialogKey(key, shift))
        return true;
    // Alt+letter or digit is a system key: it clicks the control whose caption has that accelerator,
    // and is never typed.
    const bool alt = shift.Contains(TShiftItem::ssAlt) && !shift.Contains(TShiftItem::ssCtrl);
    if (alt && ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))) {
        if (form)
            form->DialogChar(static_cast<char>(key));
        return true;
    }
    QByteArray text = e->text().toUtf8();
    if (text.size() == 1) {
        char ch = text[0];
        if (w->KeyPress(ch))
            return true;
    }
    return false;
}

bool TControlBridge::KeyRelease(TControl* c, QKeyEvent* e) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (!w)
        return false;
    std::uint16_t key = VirtualKeyOf(e->key(), e->modifiers().testFlag(Qt::KeypadModifier));
    return key && w->KeyUp(key, ShiftStateOf(e->modifiers(), Qt::NoButton));
}

void TControlBridge::FocusIn(TControl* c) {
    if (auto* w = dynamic_cast<TWinControl*>(c))
        w->DoEnter();
}

void TControlBridge::FocusOut(TControl* c) {
    if (auto* w = dynamic_cast<TWinControl*>(c))
        w->DoExit();
}

void TControlBridge::Resized(TControl* c, QWidget* w) {
    // Only top-level windows are sized from outside; children follow their bounds.
    if (w->isWindow())
        if (auto* f = dynamic_cast<TCustomForm*>(c))
            f->WindowResized(w->width(), w->height());
}

// ---------------------------------------------------------------------------------------------------
// TControl

KV_REGISTER_CLASS(TSizeConstraints, TPersistent, b) {
    b.Prop("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight).Default(0);
    b.Prop("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth).Default(0);
    b.Prop("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight).Default(0);
    b.Prop("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth).Default(0);
}

// Only the properties every control has; each class publishes the rest it uses.
KV_REGISTER_CLASS(TControl, TComponent, b) {
    b.Prop("Left", &TControl::Left, &TControl::SetLeft);
    b.Prop("Top", &TControl::Top, &TControl::SetTop);
    b.Prop("Width", &TControl::Width, &TControl::SetWidth);
    b.Prop("Height", &TControl::Height, &TControl::SetHeight);
    b.Prop("Align", &TControl::Align, &TControl::SetAlign).Default(TAlign::alNone);
    b.Prop("Anchors", &TControl::Anchors, &TControl::SetAnchors)
        .Default(TAnchors{TAnchorKind::akLeft, TAnchorKind::akTop});
    b.Prop("Constraints", &TControl::Constraints, [](TControl&, TSizeConstraints*) {});
    b.Prop("Cursor", &TControl::Cursor, &TControl::SetCursor)
        .Default(crDefault)
        .Idents(CursorIdents(), "TCursor");
    b.Prop("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
    b.Prop("Hint", &TControl::Hint, &TControl::SetHint);
    b.Prop("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
    b.Prop("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Default(false);
    b.Prop("Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
    b.Event("OnClick", &TControl::OnClick);
    b.Event("OnDblClick", &TControl::OnDblClick);
    b.Event("OnMouseDown", &TControl::OnMouseDown);
    b.Event("OnMouseMove", &TControl::OnMouseMove);
    b.Event("OnMouseUp", &TControl::OnMouseUp);
    b.Event("OnMouseWheel", &TControl::OnMouseWheel);
}

TControl::TControl(TComponent* owner, TWidgetFactory make)
    : TComponent(owner), FWidget(make(this)), FConstraints(std::make_unique<TSizeConstraints>()),
      FFont(std::make_unique<TFont>()) {
    FWidget->hide();
    FFont->OnChange = [this](TObject*) {
        if (!FSettingFont)
            FParentFont = false;
        FontChanged();
    };
}

TControl::~TControl() {
    Destroying();
    // The widget dies where it is: re-parenting it to nothing first would walk the window's whole focus
    // chain, for each control of a window that frees its controls one by one.
    if (TWinControl* parent = FParent) {
        parent->TakeControl(this);
        FWidget->hide();
        if (!parent->IsDestroying())
            parent->AlignControls();
    }
    // The derived parts are gone: nothing the widget emits while it dies may reach them.
    FWidget->blockSignals(true);
    for (QObject* o : FWidget->findChildren<QObject*>())
        o->blockSignals(true);
    FWidget->setProperty("kvControl", QVariant());
    delete FWidget;
    FWidget = nullptr;
}

TControl* TControl::FromWidget(const QWidget* w) {
    for (; w; w = w->parentWidget()) {
        QVariant v = w->property("kvControl");
        if (v.isValid() && v.value<void*>())
            return static_cast<TControl*>(v.value<void*>());
    }
    return nullptr;
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == FParent)
        return;
    if (parent == this)
        throw EKvError("A control cannot be its own parent");
    if (FParent)
        FParent->RemoveControl(this);
    if (parent)
        parent->InsertControl(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FPopupMenu)
        FPopupMenu = nullptr;
}

void TControl::ApplyGeometry() {
    if (FWidget && !FWidget->isWindow())
        FWidget->setGeometry(FLeft, FTop, std::max(0, FWidth), std::max(0, FHeight));
}

void TControl::RecordAnchors() {
    if (FParent) {
        FAnchorRight = FParent->ClientWidth() - (FLeft + FWidth);
        FAnchorBottom = FParent->ClientHeight() - (FTop + FHeight);
    }
}

void TControl::SetBounds(int left, int top, int width, int height) {
    auto limit = [](int v, int lo, int hi) {
        if (hi > 0 && v > hi)
            v = hi;
        if (lo > 0 && v < lo)
            v = lo;
        return v;
    };
    width = limit(width, FConstraints->MinWidth(), FConstraints->MaxWidth());
    height = limit(height, FConstraints->MinHeight(), FConstraints->MaxHeight());
    bool resized = width != FWidth || height != FHeight;
    bool moved = left != FLeft || top != FTop;
    if (!resized && !moved)
        return;
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    ApplyGeometry();
    if (FParent && !FParent->FAligning) {
        RecordAnchors();
        if (FAlign != TAlign::alNone)
            FParent->AlignControls();
    }
    if (resized && !IsLoading())
        Resize();
}

void TControl::Resize() {
    if (OnResize)
        OnResize(this);
}

TPoint TControl::ClientToScreen(TPoint p) const {
    QPoint g = FWidget->mapToGlobal(QPoint(p.X, p.Y));
    return {g.x(), g.y()};
}

TPoint TControl::ScreenToClient(TPoint p) const {
    QPoint l = FWidget->mapFromGlobal(QPoint(p.X, p.Y));
    return {l.x(), l.y()};
}

void TControl::SetAlign(TAlign v) {
    if (v == FAlign)
        return;
    FAlign = v;
    if (FParent)
        FParent->AlignControls();
}

void TControl::SetAnchors(TAnchors v) {
    FAnchors = v;
    RecordAnchors();
}

void TControl::SetVisible(bool v) {
    if (v == FVisible)
        return;
    FVisible = v;
    if (FParent) {
        FWidget->setVisible(v);
        if (FAlign != TAlign::alNone)
            FParent->AlignControls();
    }
}

bool TControl::Showing() const {
    return FWidget->isVisible();
}

void TControl::SetEnabled(bool v) {
    if (v == FEnabled)
        return;
    FEnabled = v;
    FWidget->setEnabled(v);
    // A disabled graphic control is not there for the mouse: a press over it goes to the control below,
    // as the old framework looked past disabled graphic controls. A disabled window eats the press.
    if (dynamic_cast<TGraphicControl*>(this))
        FWidget->setAttribute(Qt::WA_TransparentForMouseEvents, !v);
    Invalidate();
}

void TControl::SetHint(const std::string& v) {
    FHint = v;
    FWidget->setToolTip(QString::fromStdString(v));
}

void TControl::SetCursor(TCursor v) {
    FCursor = v;
    if (v == crDefault)
        FWidget->unsetCursor();
    else
        FWidget->setCursor(QCursor(QtCursor(v)));
}

void TControl::SetParentFont(bool v) {
    FParentFont = v;
    if (v && FParent)
        ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!FParentFont || !FParent)
        return;
    FSettingFont = true;
    FFont->Assign(FParent->Font());
    FSettingFont = false;
}

void TControl::SetColor(TColor v) {
    FParentColor = false;
    if (v == FColor)
        return;
    FColor = v;
    ColorChanged();
}

void TControl::SetParentColor(bool v) {
    FParentColor = v;
    if (v && FParent)
        ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (!FParentColor || !FParent)
        return;
    if (FColor != FParent->Color()) {
        FColor = FParent->Color();
        ColorChanged();
    }
}

void TControl::FontChanged() {
    FWidget->setFont(FFont->ToQFont());
    QPalette pal = FWidget->palette();
    QColor c = QColor::fromRgb(ToQRgb(FFont->Color()));
    pal.setColor(QPalette::WindowText, c);
    pal.setColor(QPalette::Text, c);
    pal.setColor(QPalette::ButtonText, c);
    FWidget->setPalette(pal);
    Invalidate();
}

void TControl::ColorChanged() {
    Invalidate();
}

void TControl::SetText(const std::string& v) {
    if (v == FText)
        return;
    FText = v;
    TextChanged();
}

void TControl::SetPopupMenu(TPopupMenu* m) {
    FPopupMenu = m;
    if (m)
        m->FreeNotification(this);
}

void TControl::SetTransparent(bool v) {
    if (v == FTransparent)
        return;
    FTransparent = v;
    Invalidate();
}

bool TControl::MarkOpaque() {
    // A control that covers its whole rectangle is painted alone: Qt repaints nothing behind it.
    const bool opaque = IsSelfPainted() && OpaqueBackground();
    if (FWidget->testAttribute(Qt::WA_OpaquePaintEvent) == opaque)
        return false;
    FWidget->setAttribute(Qt::WA_OpaquePaintEvent, opaque);
    return true;
}

void TControl::Invalidate() {
    MarkOpaque();
    FWidget->update();
}
void TControl::Repaint() {
    MarkOpaque();
    FWidget->repaint();
}
void TControl::Update() {
    MarkOpaque();
    FWidget->repaint();
}

void TControl::BringToFront() {
    FWidget->raise();
    if (FParent) {
        auto& list = FParent->FControls;
        auto it = std::find(list.begin(), list.end(), this);
        if (it != list.end())
            std::rotate(it, it + 1, list.end());
    }
}

void TControl::SendToBack() {
    FWidget->lower();
    if (FParent) {
        auto& list = FParent->FControls;
        auto it = std::find(list.begin(), list.end(), this);
        if (it != list.end())
            std::rotate(list.begin(), it, it + 1);
    }
}

QImage TControl::RenderToImage() {
    QImage img(std::max(1, FWidget->width()), std::max(1, FWidget->height()),
               QImage::Format_ARGB32_Premultiplied);
    img.fill(0xFF000000u | ToQRgb(FColor));
    FWidget->ensurePolished();
    FWidget->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return img.convertToFormat(QImage::Format_RGB32);
}

void TControl::Click() {
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

bool TControl::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
    bool handled = false;
    if (OnMouseWheel)
        OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
    return handled;
}

void TControl::Paint(TCanvas&) {}

TCustomForm* TControl::ParentForm() const {
    const TControl* c = this;
    while (c->FParent)
        c = c->FParent;
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void TControl::Loaded() {
    TComponent::Loaded();
    RecordAnchors();
}

// ---------------------------------------------------------------------------------------------------
// TWinControl

KV_REGISTER_CLASS(TWinControl, TControl, b) {
    b.Event("OnEnter", &TWinControl::OnEnter);
    b.Event("OnExit", &TWinControl::OnExit);
    b.Event("OnKeyDown", &TWinControl::OnKeyDown);
    b.Event("OnKeyPress", &TWinControl::OnKeyPress);
    b.Event("OnKeyUp", &TWinControl::OnKeyUp);
}

TWinControl::TWinControl(TComponent* owner, TWidgetFactory make) : TControl(owner, make) {
    FWidget->setFocusPolicy(Qt::NoFocus);
}

TWinControl::~TWinControl() {
    Destroying();
    // Children go with their parent, as in the old framework, whoever owns them. Their widgets stay in
    // ours until each child deletes its own: hiding a widget and re-parenting it to nothing walks the
    // window's whole focus chain, which one child after another made quadratic in the window's widgets.
    while (!FControls.empty()) {
        TControl* c = FControls.back();
        FControls.pop_back();
        c->FParent = nullptr;
        if (c->Owner())
            c->Owner()->RemoveComponent(c);
        delete c;
    }
}

QWidget* TWinControl::ChildHost() const {
    return FWidget;
}

void TWinControl::InsertControl(TControl* control) {
    if (!control || control->FParent == this)
        return;
    for (TWinControl* p = this; p; p = p->FParent)
        if (p == control)
            throw EKvError("A control cannot be placed inside itself");
    FControls.push_back(control);
    control->FParent = this;
    control->FWidget->setParent(ChildHost());
    control->ApplyGeometry();
    control->FWidget->setVisible(control->FVisible);
    control->ParentFontChanged();
    control->ParentColorChanged();
    control->RecordAnchors();
    if (control->FAlign != TAlign::alNone)
        AlignControls();
}

bool TWinControl::TakeControl(TControl* control) {
    // Controls mostly go last first: look from the end.
    auto it = std::find(FControls.rbegin(), FControls.rend(), control);
    if (it == FControls.rend())
        return false;
    FControls.erase(std::next(it).base());
    control->FParent = nullptr;
    return true;
}

void TWinControl::RemoveControl(TControl* control) {
    if (!TakeControl(control))
        return;
    if (control->FWidget) {
        control->FWidget->hide();
        control->FWidget->setParent(nullptr);
    }
    if (!IsDestroying())
        AlignControls();
}

bool TWinControl::ContainsControl(const TControl* control) const {
    for (const TControl* c = control; c; c = c->FParent)
        if (c == this)
            return true;
    return false;
}

void TWinControl::SetTabStop(bool v) {
    FTabStop = v;
    FWidget->setFocusPolicy(v ? Qt::StrongFocus : Qt::ClickFocus);
}

bool TWinControl::Focused() const {
    return FWidget->hasFocus();
}

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled())
            return false;
    return true;
}

void TWinControl::SetFocus() {
    if (!CanFocus())
        throw EKvError("Cannot focus a disabled or invisible window");
    FWidget->setFocus(Qt::OtherFocusReason);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    int oldW = ClientWidth(), oldH = ClientHeight();
    TControl::SetBounds(left, top, width, height);
    if (ClientWidth() != oldW || ClientHeight() != oldH)
        AlignControls();
}

void TWinControl::EnableAlign() {
    if (FAlignLevel > 0 && --FAlignLevel == 0)
        AlignControls();
}

void TWinControl::AlignControls() {
    if (FAlignLevel > 0 || FAligning || IsLoading())
        return;
    FAligning = true;
    TRect r = ClientRect();
    auto place = [&](TAlign a) {
        std::vector<TControl*> list;
        for (TControl* c : FControls)
            if (c->FAlign == a && c->FVisible)
                list.push_back(c);
        // Nearest to the edge first, as the controls lie.
        std::stable_sort(list.begin(), list.end(), [a](TControl* x, TControl* y) {
            switch (a) {
            case TAlign::alTop:
                return x->FTop < y->FTop;
            case TAlign::alBottom:
                return x->FTop + x->FHeight > y->FTop + y->FHeight;
            case TAlign::alLeft:
                return x->FLeft < y->FLeft;
            case TAlign::alRight:
                return x->FLeft + x->FWidth > y->FLeft + y->FWidth;
            default:
                return false;
            }
        });
        for (TControl* c : list) {
            switch (a) {
            case TAlign::alTop:
                c->SetBounds(r.Left, r.Top, r.Width(), c->FHeight);
                r.Top += c->FHeight;
                break;
            case TAlign::alBottom:
                c->SetBounds(r.Left, r.Bottom - c->FHeight, r.Width(), c->FHeight);
                r.Bottom -= c->FHeight;
                break;
            case TAlign::alLeft:
                c->SetBounds(r.Left, r.Top, c->FWidth, r.Height());
                r.Left += c->FWidth;
                break;
            case TAlign::alRight:
                c->SetBounds(r.Right - c->FWidth, r.Top, c->FWidth, r.Height());
                r.Right -= c->FWidth;
                break;
            case TAlign::alClient:
                c->SetBounds(r.Left, r.Top, r.Width(), r.Height());
                break;
            default:
                break;
            }
        }
    };
    for (TAlign a : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient})
        place(a);
    // Anchored controls keep their distance to the right and bottom edges.
    for (TControl* c : FControls) {
        if (c->FAlign != TAlign::alNone)
            continue;
        bool l = c->FAnchors.Contains(TAnchorKind::akLeft), rr = c->FAnchors.Contains(TAnchorKind::akRight);
        bool t = c->FAnchors.Contains(TAnchorKind::akTop), bb = c->FAnchors.Contains(TAnchorKind::akBottom);
        int left = c->FLeft, top = c->FTop, w = c->FWidth, h = c->FHeight;
        if (rr) {
            int right = ClientWidth() - c->FAnchorRight;
            if (l)
                w = right - left;
            else
                left = right - w;
        }
        if (bb) {
            int bottom = ClientHeight() - c->FAnchorBottom;
            if (t)
                h = bottom - top;
            else
                top = bottom - h;
        }
        if (rr || bb)
            c->SetBounds(left, top, w, h);
    }
    FAligning = false;
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    for (TControl* c : FControls)
        c->ParentFontChanged();
}

void TWinControl::ColorChanged() {
    TControl::ColorChanged();
    for (TControl* c : FControls)
        c->ParentColorChanged();
}

bool TWinControl::KeyDown(std::uint16_t& key, TShiftState shift) {
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
    return key == 0;
}

bool TWinControl::KeyUp(std::uint16_t& key, TShiftState shift) {
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
    return key == 0;
}

bool TWinControl::KeyPress(char& key) {
    if (OnKeyPress)
        OnKeyPress(this, key);
    return key == 0;
}

void TWinControl::DoEnter() {
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit)
        OnExit(this);
}

KV_REGISTER_CLASS(TGraphicControl, TControl, b) {}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner, &NewBridge<QWidget>) {
    FClickOnMouseUp = true;
    FParentColor = true;
}

KV_REGISTER_CLASS(TCustomControl, TWinControl, b) {}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner, &NewBridge<QWidget>) {
    FClickOnMouseUp = true;
}

} // namespace kv
