#include "plot/editors/gComponentEditor.h"

#include "plot/editors/gEditorDialogs.h"
#include "plot/editors/gValueConverterEditForm.h"
#include "plot/gClasses.h"
#include "plot/gDraw.h"
#include "plot/gPlotAxisFormat.h"
#include "plot/gPlotAxisScale.h"

#include "platform/core/Numbers.h"
#include "platform/gui/WidgetBridge.h"
#include "platform/sys/Scheduler.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QListWidget>
#include <QObject>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

namespace kv {

std::vector<std::string> EnumIdents(TgValueConverterPageType) {
    return {"ivcptInterval", "ivcptDateTime", "ivcptPrice32nd"};
}

KV_REGISTER_CLASS(TgCustomEditorForm, TCustomForm, b) {
    (void)b;
}
KV_REGISTER_CLASS(TgComponentEditorEdit, TEdit, b) {
    b.Event("OnUpdate", &TgComponentEditorEdit::OnUpdate);
}
KV_REGISTER_CLASS(TgUpDown, TGraphicControl, b) {
    b.Ref("Associate", &TgUpDown::Associate, &TgUpDown::SetAssociate);
    b.Prop("Min", &TgUpDown::Min, &TgUpDown::SetMin).Default(std::int16_t(0));
    b.Prop("Max", &TgUpDown::Max, &TgUpDown::SetMax).Default(std::int16_t(100));
    b.Prop("Increment", &TgUpDown::Increment, &TgUpDown::SetIncrement).Default(1);
}
KV_REGISTER_CLASS(TgComponentEditorPageControl, TPageControl, b) {
    b.Prop("TabIndex", &TgComponentEditorPageControl::TabIndex, &TgComponentEditorPageControl::SetTabIndex)
        .Default(0);
}
KV_REGISTER_CLASS(TgComponentEditorButton, TButton, b) {
    (void)b;
}
KV_REGISTER_CLASS(TgComponentEditorGroupBox, TGroupBox, b) {
    (void)b;
}
KV_REGISTER_CLASS(TgComponentEditorCheckBox, TgCheckBox, b) {
    (void)b;
}
KV_REGISTER_CLASS(TgComponentEditorRadioGroup, TgRadioGroup, b) {
    (void)b;
}
KV_REGISTER_CLASS(TgComponentEditorComboBox, TComboBox, b) {
    (void)b;
}
KV_REGISTER_CLASS(TgComponentEditorListBox, TListBox, b) {
    b.Event("OnItemMove", &TgComponentEditorListBox::OnItemMove);
}
KV_REGISTER_CLASS(TgComponentEditorColorPicker, TCustomControl, b) {
    b.Event("OnChange", &TgComponentEditorColorPicker::OnChange);
}
KV_REGISTER_CLASS(TgComponentEditorFontPicker, TgComponentEditorButton, b) {
    b.Event("OnChange", &TgComponentEditorFontPicker::OnChange);
}
KV_REGISTER_CLASS(TgComponentEditorOpenPicker, TgComponentEditorButton, b) {
    b.Prop("FileName", &TgComponentEditorOpenPicker::FileName, &TgComponentEditorOpenPicker::SetFileName);
    b.Prop("Filter", &TgComponentEditorOpenPicker::Filter, &TgComponentEditorOpenPicker::SetFilter);
    b.Prop("DefaultExt", &TgComponentEditorOpenPicker::DefaultExt,
           &TgComponentEditorOpenPicker::SetDefaultExt);
    b.Prop("DefaultDir", &TgComponentEditorOpenPicker::DefaultDir,
           &TgComponentEditorOpenPicker::SetDefaultDir);
    b.Prop("FileMustExist", &TgComponentEditorOpenPicker::FileMustExist,
           &TgComponentEditorOpenPicker::SetFileMustExist)
        .Default(false);
    b.Prop("AllowMultiSelect", &TgComponentEditorOpenPicker::AllowMultiSelect,
           &TgComponentEditorOpenPicker::SetAllowMultiSelect)
        .Default(false);
    b.Event("OnChange", &TgComponentEditorOpenPicker::OnChange);
}
KV_REGISTER_CLASS(TgComponentEditorSavePicker, TgComponentEditorButton, b) {
    b.Prop("FileName", &TgComponentEditorSavePicker::FileName, &TgComponentEditorSavePicker::SetFileName);
    b.Prop("Filter", &TgComponentEditorSavePicker::Filter, &TgComponentEditorSavePicker::SetFilter);
    b.Prop("FilterIndex", &TgComponentEditorSavePicker::FilterIndex,
           &TgComponentEditorSavePicker::SetFilterIndex)
        .Default(0);
    b.Prop("DefaultExt", &TgComponentEditorSavePicker::DefaultExt,
           &TgComponentEditorSavePicker::SetDefaultExt);
    b.Prop("DefaultDir", &TgComponentEditorSavePicker::DefaultDir,
           &TgComponentEditorSavePicker::SetDefaultDir);
    b.Event("OnChange", &TgComponentEditorSavePicker::OnChange);
}
KV_REGISTER_CLASS(TgComponentEditorValueConverterPicker, TgComponentEditorButton, b) {
    b.Ref("Associate", &TgComponentEditorValueConverterPicker::Associate,
          &TgComponentEditorValueConverterPicker::SetAssociate);
    b.Prop("DateTime", &TgComponentEditorValueConverterPicker::DateTime,
           &TgComponentEditorValueConverterPicker::SetDateTime);
    b.Prop("DefaultPage", &TgComponentEditorValueConverterPicker::DefaultPage,
           &TgComponentEditorValueConverterPicker::SetDefaultPage)
        .Default(TgValueConverterPageType::ivcptInterval);
    b.Event("OnChange", &TgComponentEditorValueConverterPicker::OnChange);
}
KV_REGISTER_CLASS(TgPaintBox, TCustomControl, b) {
    b.Event("OnPaint", &TgPaintBox::OnPaint);
}

namespace {

// Detaches the given events and raises the blocking flag for the life of the guard; everything is
// put back when the guard goes, also when the write in between throws.
class KitQuietSet {
public:
    KitQuietSet(bool& blocking, std::initializer_list<TNotifyEvent*> events) : FBlocking(blocking) {
        for (TNotifyEvent* e : events) {
            FSaved.push_back({e, std::move(*e)});
            *e = nullptr;
        }
        FBlocking = true;
    }
    ~KitQuietSet() {
        FBlocking = false;
        for (auto& [slot, saved] : FSaved)
            *slot = std::move(saved);
    }
    KitQuietSet(const KitQuietSet&) = delete;
    KitQuietSet& operator=(const KitQuietSet&) = delete;

private:
    bool& FBlocking;
    std::vector<std::pair<TNotifyEvent*, TNotifyEvent>> FSaved;
};

// 15 significant digits, or the shortest text that reads back exactly when 15 are not enough (a
// value above 1e14 with a fraction would otherwise lose the fraction on its way through an edit).
std::string KitFloatText(double value) {
    std::string text = FloatToStrF(value, TFloatFormat::ffGeneral, 15, 0);
    const auto back = ParseDouble(text);
    if (!std::isfinite(value) || (back && *back == value))
        return text;
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string KitIntText(int value) {
    return FormatInt(value);
}

// Tab and Shift+Tab never reach a widget's key handler in Qt: its focus chain takes them first. The
// filter hands them to the control as the character 9 instead.
class KitTabFilter : public QObject {
public:
    KitTabFilter(QObject* parent, TWinControl* control) : QObject(parent), FControl(control) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        auto* k = static_cast<QKeyEvent*>(event);
        if ((k->key() != Qt::Key_Tab && k->key() != Qt::Key_Backtab) ||
            (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return QObject::eventFilter(watched, event);
        Guarded([&] {
            char ch = 9;
            FControl->KeyPress(ch);
        });
        return true;
    }

private:
    TWinControl* FControl;
};

// Tab (character 9) moves the focus on through the owner form; true when the key was taken.
bool KitTabKey(TWinControl* control, char& key) {
    if (key != 9)
        return false;
    key = 0;
    gEditorFocusNext(control, gShiftKeyDown());
    return true;
}

void KitCollectTabList(TWinControl* parent, std::vector<TWinControl*>& out) {
    std::vector<TWinControl*> children;
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto* w = dynamic_cast<TWinControl*>(parent->Controls(i)))
            children.push_back(w);
    // Explicit tab orders first, in order; controls without one (-1) after them in creation order.
    std::stable_sort(children.begin(), children.end(), [](const TWinControl* a, const TWinControl* b) {
        const int ka = a->TabOrder() < 0 ? INT_MAX : a->TabOrder();
        const int kb = b->TabOrder() < 0 ? INT_MAX : b->TabOrder();
        return ka < kb;
    });
    for (TWinControl* c : children) {
        if (!c->Visible() || !c->Enabled())
            continue;
        if (auto* pc = dynamic_cast<TPageControl*>(c)) {
            // Only the shown page's controls can take the focus.
            if (pc->TabStop())
                out.push_back(pc);
            if (pc->ActivePage())
                KitCollectTabList(pc->ActivePage(), out);
            continue;
        }
        if (c->TabStop())
            out.push_back(c);
        KitCollectTabList(c, out);
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// Shared plumbing

TgCustomEditorForm::TgCustomEditorForm(TComponent* owner) : TCustomForm(owner) {
    SetAutoScroll(false);
}

void gEditorUserChange(TComponent* control) {
    if (!control)
        return;
    if (auto* form = dynamic_cast<TgCustomEditorForm*>(control->Owner()))
        form->UserChange();
}

std::vector<TWinControl*> gEditorTabList(TWinControl* form) {
    std::vector<TWinControl*> out;
    if (form)
        KitCollectTabList(form, out);
    return out;
}

void gEditorFocusNext(TWinControl* control, bool backward) {
    auto* form = control ? dynamic_cast<TCustomForm*>(control->Owner()) : nullptr;
    if (!form)
        return;
    const std::vector<TWinControl*> list = gEditorTabList(form);
    if (list.empty())
        return;
    const auto n = static_cast<long>(list.size());
    long at = std::find(list.begin(), list.end(), control) - list.begin();
    if (at == n) // not in the list itself (hidden, or no tab stop): start before the first
        at = backward ? 0 : -1;
    for (long step = 1; step <= n; ++step) {
        const long i = ((at + (backward ? -step : step)) % n + n) % n;
        TWinControl* next = list[static_cast<std::size_t>(i)];
        if (next == control)
            return;
        if (next->CanFocus()) {
            next->SetFocus();
            return;
        }
    }
}

void gEditorClaimTab(TWinControl* control, TWinControl* handler) {
    if (control && control->Widget())
        control->Widget()->installEventFilter(
            new KitTabFilter(control->Widget(), handler ? handler : control));
}

bool gEditorWantsArrow(std::uint16_t key) {
    return key == VK_LEFT || key == VK_RIGHT;
}

// ---------------------------------------------------------------------------------------------------
// Edit

TgComponentEditorEdit::TgComponentEditorEdit(TComponent* owner) : TEdit(owner) {
    SetHeight(21);
    gEditorClaimTab(this);
}

int TgComponentEditorEdit::AsInteger() const {
    const auto v = ParseInt(TrimOf(Text(), kBlankTabLineEnds));
    if (!v || *v < INT_MIN || *v > INT_MAX)
        return 0;
    return static_cast<int>(*v);
}

void TgComponentEditorEdit::QuietSetText(const std::string& text) {
    KitQuietSet quiet(FBlockingEvents, {&OnChange});
    SetText(text);
    FOriginalText = text;
}

void TgComponentEditorEdit::SetAsInteger(int value) {
    QuietSetText(KitIntText(value));
}

void TgComponentEditorEdit::SetAsString(const std::string& value) {
    QuietSetText(value);
}

double TgComponentEditorEdit::AsFloat() const {
    const auto v = ParseDouble(TrimOf(Text(), kBlankTabLineEnds));
    // Infinity and NaN are no values an editor can write back.
    if (!v || !std::isfinite(*v))
        return 0;
    return *v;
}

void TgComponentEditorEdit::SetAsFloat(double value) {
    QuietSetText(KitFloatText(value));
}

double TgComponentEditorEdit::AsDateTime() const {
    return gEditorStrToDateTime(std::string(TrimOf(Text(), kBlankTabLineEnds)));
}

void TgComponentEditorEdit::SetAsDateTime(double value) {
    QuietSetText(gEditorDateTimeToStr(value));
}

void TgComponentEditorEdit::SetStringWithEvent(const std::string& value) {
    SetText(value);
    gEditorUserChange(this);
    CommitText();
}

void TgComponentEditorEdit::SetIntegerWithEvent(int value) {
    SetStringWithEvent(KitIntText(value));
}

void TgComponentEditorEdit::SetDoubleWithEvent(double value) {
    SetStringWithEvent(KitFloatText(value));
}

void TgComponentEditorEdit::Enable() {
    SetEnabled(true);
}

void TgComponentEditorEdit::Disable() {
    KitQuietSet quiet(FBlockingEvents, {&OnChange});
    SetEnabled(false);
    SetText("");
    FOriginalText.clear();
}

void TgComponentEditorEdit::DisableNoClear() {
    SetEnabled(false);
}

void TgComponentEditorEdit::SetEnabled(bool v) {
    TEdit::SetEnabled(v);
    SetColor(v ? clWindow : clBtnFace);
}

void TgComponentEditorEdit::CommitText() {
    if (Text() == FOriginalText)
        return;
    FOriginalText = Text();
    if (OnUpdate)
        OnUpdate(this);
    if (!FBlockingEvents)
        gEditorUserChange(this);
}

bool TgComponentEditorEdit::KeyDown(std::uint16_t& key, TShiftState shift) {
    if (key == VK_RETURN) {
        CommitText();
        key = 0;
        SelectAll();
        return true;
    }
    return TEdit::KeyDown(key, shift);
}

bool TgComponentEditorEdit::KeyPress(char& key) {
    switch (key) {
    case 10:
        key = 0;
        return true;
    case 13:
        CommitText();
        key = 0;
        SelectAll();
        return true;
    case 9:
        return KitTabKey(this, key);
    case 27:
        key = 0;
        SetText(FOriginalText);
        SelectAll();
        return true;
    default:
        return TEdit::KeyPress(key);
    }
}

void TgComponentEditorEdit::DoExit() {
    CommitText();
    TEdit::DoExit();
}

// ---------------------------------------------------------------------------------------------------
// Up-down

TgUpDown::TgUpDown(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(Left(), Top(), 15, 21);
    FTimer = std::make_unique<TTimer>(nullptr);
    FTimer->SetEnabled(false);
    FTimer->OnTimer = [this] { TimerTick(); };
}

TgUpDown::~TgUpDown() {
    if (FTimer)
        FTimer->SetEnabled(false);
    FTimer.reset();
}

void TgUpDown::SetAssociate(TgComponentEditorEdit* edit) {
    if (FAssociate)
        FAssociate->RemoveFreeNotification(this);
    FAssociate = edit;
    if (!edit)
        return;
    edit->FreeNotification(this);
    SetBounds(edit->Left() + edit->Width(), edit->Top(), Width(), edit->Height());
}

void TgUpDown::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FAssociate)
        FAssociate = nullptr;
}

int TgUpDown::AsInteger() const {
    return FAssociate ? FAssociate->AsInteger() : 0;
}

void TgUpDown::SetAsInteger(int value) {
    if (!FAssociate)
        return;
    if (FMin != 0 || FMax != 0) {
        if (value > FMax)
            value = FMax;
        if (value < FMin)
            value = FMin;
    }
    if (FUserGenerated)
        FAssociate->SetIntegerWithEvent(value);
    else
        FAssociate->SetAsInteger(value);
}

void TgUpDown::Enable() {
    SetEnabled(true);
    if (FAssociate)
        FAssociate->Enable();
    Invalidate();
}

void TgUpDown::Disable() {
    SetEnabled(false);
    if (FAssociate)
        FAssociate->Disable();
    Invalidate();
}

bool TgUpDown::TimerRunning() const {
    return FTimer && FTimer->Enabled();
}

std::uint32_t TgUpDown::TimerInterval() const {
    return FTimer ? FTimer->Interval() : 0;
}

void TgUpDown::CalcRects() {
    const int h = ClientHeight(), w = ClientWidth();
    const int c = (h - 1) / 2;
    FUpButtonRect = {0, 0, w, c};
    FDownButtonRect = {0, h - c, w, h};
    auto inside = [&](const TRect& r) {
        return FMouseDownX >= r.Left && FMouseDownX < r.Right && FMouseDownY >= r.Top &&
               FMouseDownY < r.Bottom;
    };
    FUpButtonPressed = FMouseDown && inside(FUpButtonRect);
    FDownButtonPressed = FMouseDown && inside(FDownButtonRect);
}

void TgUpDown::Paint(TCanvas& canvas) {
    CalcRects();
    gDrawEdge(canvas, FUpButtonRect, FUpButtonPressed ? 0 : 1);
    gDrawEdge(canvas, FDownButtonRect, FDownButtonPressed ? 0 : 1);
    const int s = std::min(ClientHeight() / 2, ClientWidth()) / 7;
    const TColor color = Enabled() ? clBlack : TColor(0x808080);
    canvas.Brush()->SetColor(color);
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Pen()->SetColor(color);
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    canvas.Pen()->SetWidth(1);
    int cx = (FUpButtonRect.Left + FUpButtonRect.Right) / 2,
        cy = (FUpButtonRect.Top + FUpButtonRect.Bottom) / 2;
    canvas.Polygon({{cx - 2 * s, cy + s}, {cx, cy - s}, {cx + 2 * s, cy + s}});
    cx = (FDownButtonRect.Left + FDownButtonRect.Right) / 2;
    cy = (FDownButtonRect.Top + FDownButtonRect.Bottom) / 2;
    canvas.Polygon({{cx - 2 * s, cy - s}, {cx + 2 * s, cy - s}, {cx, cy + s}});
}

void TgUpDown::Step() {
    // In 64 bits: a value near the int limits must not overflow on its way to the clamp.
    const long long delta = FUpButtonPressed ? FIncrement : -static_cast<long long>(FIncrement);
    const long long next = std::clamp<long long>(AsInteger() + delta, INT_MIN, INT_MAX);
    FUserGenerated = true;
    try {
        SetAsInteger(static_cast<int>(next));
    } catch (...) {
        // A write the associate's handler refuses ends the repeat: every later tick would only
        // fail (and report) the same way.
        FUserGenerated = false;
        FMouseDown = false;
        FTimer->SetEnabled(false);
        CalcRects();
        Invalidate();
        throw;
    }
    FUserGenerated = false;
}

void TgUpDown::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft) {
        FMouseDown = true;
        FMouseDownX = x;
        FMouseDownY = y;
        CalcRects();
        FTimer->SetInterval(500);
        FTimer->SetEnabled(true);
        FFirstTimerMessage = true;
        Step();
        Invalidate();
    }
    TGraphicControl::MouseDown(button, shift, x, y);
}

void TgUpDown::MouseMove(TShiftState shift, int x, int y) {
    FMouseDownX = x;
    FMouseDownY = y;
    if (FMouseDown) {
        CalcRects();
        Invalidate();
    }
    TGraphicControl::MouseMove(shift, x, y);
}

void TgUpDown::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft && FMouseDown) {
        FMouseDown = false;
        FTimer->SetEnabled(false);
        CalcRects();
        Invalidate();
    }
    TGraphicControl::MouseUp(button, shift, x, y);
}

void TgUpDown::TimerTick() {
    if (FFirstTimerMessage) {
        FTimer->SetInterval(50);
        FFirstTimerMessage = false;
    }
    Step();
}

// ---------------------------------------------------------------------------------------------------
// Page control, button

TgComponentEditorPageControl::TgComponentEditorPageControl(TComponent* owner) : TPageControl(owner) {
    SetTabStop(true);
    gEditorClaimTab(this);
}

bool TgComponentEditorPageControl::KeyPress(char& key) {
    if (KitTabKey(this, key))
        return true;
    return TPageControl::KeyPress(key);
}

TgComponentEditorButton::TgComponentEditorButton(TComponent* owner) : TButton(owner) {
    gEditorClaimTab(this);
}

bool TgComponentEditorButton::KeyPress(char& key) {
    if (KitTabKey(this, key))
        return true;
    return TButton::KeyPress(key);
}

// ---------------------------------------------------------------------------------------------------
// Check box, radio group, combo box

TgComponentEditorCheckBox::TgComponentEditorCheckBox(TComponent* owner) : TgCheckBox(owner) {
    // OnClick is the check box's change event, fired by DoChange; a mouse-up click of its own would
    // fire it once more, before the box has even toggled.
    FClickOnMouseUp = false;
    gEditorClaimTab(this);
}

bool TgComponentEditorCheckBox::AsBoolean() const {
    return Checked();
}

void TgComponentEditorCheckBox::SetAsBoolean(bool value) {
    KitQuietSet quiet(FBlockingEvents, {&OnClick, &OnChange});
    SetChecked(value);
}

void TgComponentEditorCheckBox::Enable() {
    SetEnabled(true);
}

void TgComponentEditorCheckBox::Disable() {
    KitQuietSet quiet(FBlockingEvents, {&OnClick, &OnChange});
    SetEnabled(false);
    SetChecked(false);
}

void TgComponentEditorCheckBox::DoChange() {
    TgCheckBox::DoChange();
    if (!FBlockingEvents)
        gEditorUserChange(this);
    if (OnClick)
        OnClick(this);
}

bool TgComponentEditorCheckBox::KeyPress(char& key) {
    if (KitTabKey(this, key))
        return true;
    return TgCheckBox::KeyPress(key);
}

TgComponentEditorRadioGroup::TgComponentEditorRadioGroup(TComponent* owner) : TgRadioGroup(owner) {
    // A click on the group runs Click, as a mouse-up inside a control did in the old framework.
    FClickOnMouseUp = true;
    gEditorClaimTab(this);
}

int TgComponentEditorRadioGroup::AsInteger() const {
    return ItemIndex();
}

void TgComponentEditorRadioGroup::SetAsInteger(int value) {
    KitQuietSet quiet(FBlockingEvents, {&OnClick, &OnChange});
    SetItemIndex(value);
}

void TgComponentEditorRadioGroup::Enable() {
    SetEnabled(true);
}

void TgComponentEditorRadioGroup::Disable() {
    KitQuietSet quiet(FBlockingEvents, {&OnClick, &OnChange});
    SetEnabled(false);
    SetItemIndex(-1);
}

void TgComponentEditorRadioGroup::Click() {
    TgRadioGroup::Click();
    if (!FBlockingEvents)
        gEditorUserChange(this);
}

bool TgComponentEditorRadioGroup::KeyPress(char& key) {
    if (KitTabKey(this, key))
        return true;
    return TgRadioGroup::KeyPress(key);
}

TgComponentEditorComboBox::TgComponentEditorComboBox(TComponent* owner) : TComboBox(owner) {
    gEditorClaimTab(this);
}

TgComponentEditorComboBox::TgComponentEditorComboBox(TComponent* owner, TComboBoxStyle style)
    : TComboBox(owner, style) {
    gEditorClaimTab(this);
}

void TgComponentEditorComboBox::SetAsInteger(int value) {
    KitQuietSet quiet(FBlockingEvents, {&OnChange});
    SetItemIndex(value);
}

void TgComponentEditorComboBox::SetAsString(const std::string& value) {
    KitQuietSet quiet(FBlockingEvents, {&OnChange});
    SetText(value);
}

void TgComponentEditorComboBox::Enable() {
    SetEnabled(true);
    SetColor(clWindow);
}

void TgComponentEditorComboBox::Disable() {
    KitQuietSet quiet(FBlockingEvents, {&OnChange});
    SetEnabled(false);
    SetColor(clBtnFace);
    SetItemIndex(-1);
    SetText("");
}

void TgComponentEditorComboBox::Click() {
    if (!FBlockingEvents)
        gEditorUserChange(this);
}

bool TgComponentEditorComboBox::KeyPress(char& key) {
    if (KitTabKey(this, key))
        return true;
    return TComboBox::KeyPress(key);
}

// ---------------------------------------------------------------------------------------------------
// List box

namespace {

// Draws the list's entries through the kit list box (the owner-drawn look), at its fixed item height.
class KitListDelegate : public QStyledItemDelegate {
public:
    KitListDelegate(QObject* parent, TgComponentEditorListBox* list)
        : QStyledItemDelegate(parent), FList(list) {}

    // The list is being taken apart: the entries are drawn plainly until the widget goes.
    void Detach() { FList = nullptr; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QRect r = option.rect;
        if (!FList)
            return QStyledItemDelegate::paint(painter, option, index);
        if (r.width() <= 0 || r.height() <= 0)
            return;
        QImage image(r.size(), QImage::Format_RGB32);
        Guarded([&] {
            TCanvas canvas(&image);
            canvas.SetFont(FList->Font());
            FList->DrawItem(index.row(), canvas, {0, 0, r.width(), r.height()},
                            (option.state & QStyle::State_Selected) != 0);
            canvas.EndPaint();
        });
        painter->drawImage(r.topLeft(), image);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        if (FList)
            s.setHeight(FList->ItemHeight());
        return s;
    }

private:
    TgComponentEditorListBox* FList;
};

// Keeps Qt's own press-and-move selection from following the pointer while an entry is dragged.
class KitListDragFilter : public QObject {
public:
    KitListDragFilter(QObject* parent, TgComponentEditorListBox* list) : QObject(parent), FList(list) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseMove) {
            auto* m = static_cast<QMouseEvent*>(event);
            if (m->buttons() & Qt::LeftButton) {
                const QPoint p = m->position().toPoint();
                Guarded([&] { FList->MouseMove(ShiftStateOf(m->modifiers(), m->buttons()), p.x(), p.y()); });
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TgComponentEditorListBox* FList;
};

} // namespace

TgComponentEditorListBox::TgComponentEditorListBox(TComponent* owner) : TListBox(owner) {
    auto* lb = static_cast<QListWidget*>(Widget());
    lb->setItemDelegate(new KitListDelegate(lb, this));
    lb->setUniformItemSizes(true);
    FDragFilter = new KitListDragFilter(lb, this);
    lb->viewport()->installEventFilter(FDragFilter);
    gEditorClaimTab(this);
}

TgComponentEditorListBox::~TgComponentEditorListBox() {
    auto* lb = static_cast<QListWidget*>(Widget());
    if (auto* delegate = dynamic_cast<KitListDelegate*>(lb->itemDelegate()))
        delegate->Detach();
    delete FDragFilter;
}

void TgComponentEditorListBox::SelectLast() {
    SetItemIndex(Items()->Count() - 1);
}

void TgComponentEditorListBox::DeleteSelectedObject() {
    const int count = Items()->Count();
    const int index = ItemIndex();
    if (count == 0 || index < 0 || index >= count)
        return;
    TObject* object = Items()->Objects(index);
    Items()->Delete(index);
    delete object;
    const int left = Items()->Count();
    if (left > 0)
        SetItemIndex(index < left ? index : left - 1);
}

void TgComponentEditorListBox::DeleteObjectIndex(TObject* object) {
    const int at = Items()->IndexOfObject(object);
    if (at < 0)
        return;
    const int selected = ItemIndex();
    Items()->Delete(at);
    const int left = Items()->Count();
    if (left > 0)
        SetItemIndex(selected >= 0 && selected < left ? selected : left - 1);
}

void TgComponentEditorListBox::DrawItem(int index, TCanvas& canvas, TRect rect, bool selected) {
    if (OnDrawItem) {
        OnDrawItem(this, index, canvas, rect, selected);
        return;
    }
    bool drawColorBox = true;
    TColor color = 255;
    std::string text = index >= 0 && index < Items()->Count() ? (*Items())[index] : std::string();
    if (OnGetData)
        OnGetData(index, drawColorBox, color, text);
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Brush()->SetColor(selected ? TColor(0x808000) : clWindow);
    canvas.Font()->SetColor(selected ? clWhite : clBlack);
    canvas.FillRect(rect);
    if (drawColorBox) {
        canvas.TextOut(rect.Left + 22, rect.Top, text);
        canvas.Pen()->SetColor(clBlack);
        canvas.Pen()->SetStyle(TPenStyle::psSolid);
        canvas.Brush()->SetColor(color);
        canvas.Rectangle(rect.Left + 2, rect.Top + 1, rect.Left + 18, rect.Bottom - 1);
    } else {
        canvas.TextOut(rect.Left + 2, rect.Top, text);
    }
}

void TgComponentEditorListBox::DragDrop(TObject* source, int x, int y) {
    (void)x;
    if (!DragOver(source) || Items()->Count() == 0 || ItemHeight() <= 0)
        return;
    const int selected = ItemIndex();
    if (selected < 0)
        return;
    int target = (TopIndex() * ItemHeight() + std::max(y, 0)) / ItemHeight();
    target = std::min(target, Items()->Count() - 1);
    if (target == selected)
        return;
    const std::string text = (*Items())[selected];
    TObject* object = Items()->Objects(selected);
    Items()->BeginUpdate();
    Items()->Delete(selected);
    Items()->Insert(target, text);
    Items()->PutObject(target, object);
    Items()->EndUpdate();
    SetItemIndex(target);
    if (OnItemMove)
        OnItemMove(this);
}

void TgComponentEditorListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft && ItemIndex() >= 0) {
        FDragPending = true;
        FDragging = false;
        FDragX = x;
        FDragY = y;
    }
    TListBox::MouseDown(button, shift, x, y);
}

void TgComponentEditorListBox::MouseMove(TShiftState shift, int x, int y) {
    if (FDragPending && !FDragging && (std::abs(x - FDragX) > 4 || std::abs(y - FDragY) > 4))
        FDragging = true;
    TListBox::MouseMove(shift, x, y);
}

void TgComponentEditorListBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    const bool drop = button == TMouseButton::mbLeft && FDragging;
    FDragPending = FDragging = false;
    if (drop)
        DragDrop(this, x, y);
    TListBox::MouseUp(button, shift, x, y);
}

bool TgComponentEditorListBox::KeyPress(char& key) {
    if (KitTabKey(this, key))
        return true;
    return TListBox::KeyPress(key);
}

// ---------------------------------------------------------------------------------------------------
// Pickers

namespace {

// A folder name (ending in a backslash or slash) starts the dialog on a file in it.
std::string KitStartName(const std::string& fileName) {
    if (!fileName.empty() && (fileName.back() == '\\' || fileName.back() == '/'))
        return fileName + "Untitled";
    return fileName;
}

} // namespace

TgComponentEditorColorPicker::TgComponentEditorColorPicker(TComponent* owner) : TCustomControl(owner) {
    FButton = new TButton(this);
    FButton->SetParent(this);
    FButton->SetCaption("...");
    FButton->Font()->SetStyle(TFontStyles{TFontStyle::fsBold});
    FButton->OnClick = [this](TObject*) { Execute(); };
    // The picker is one stop in the tab order; Tab on its button moves on from the picker.
    FButton->SetTabStop(false);
    gEditorClaimTab(FButton, this);
    SetTabStop(true);
    SetBounds(Left(), Top(), 47, 21);
    gEditorClaimTab(this);
}

void TgComponentEditorColorPicker::SetBounds(int left, int top, int width, int height) {
    TCustomControl::SetBounds(left, top, width, height);
    if (FButton)
        FButton->SetBounds(std::max(0, width - 21), 0, 21, height);
}

void TgComponentEditorColorPicker::SetColor(TColor value) {
    if (value == FColor)
        return;
    FColor = value;
    Invalidate();
}

void TgComponentEditorColorPicker::Enable() {
    SetEnabled(true);
    FButton->SetEnabled(true);
    Invalidate();
}

void TgComponentEditorColorPicker::Disable() {
    SetEnabled(false);
    FButton->SetEnabled(false);
    Invalidate();
}

bool TgComponentEditorColorPicker::Execute() {
    TgColorDialog dialog(this);
    dialog.SetColor(FColor);
    if (!dialog.Execute())
        return false;
    FColor = dialog.Color();
    gEditorUserChange(this);
    Invalidate();
    if (OnChange)
        OnChange(this);
    return true;
}

void TgComponentEditorColorPicker::Paint(TCanvas& canvas) {
    canvas.Pen()->SetColor(clBlack);
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    canvas.Pen()->SetWidth(1);
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Brush()->SetColor(Enabled() ? FColor : clBtnFace);
    canvas.Rectangle(0, 0, Width() - FButton->Width() - 1, Height());
}

void TgComponentEditorColorPicker::DblClick() {
    TCustomControl::DblClick();
    Execute();
}

bool TgComponentEditorColorPicker::KeyPress(char& key) {
    if (KitTabKey(this, key))
        return true;
    return TCustomControl::KeyPress(key);
}

TgComponentEditorFontPicker::TgComponentEditorFontPicker(TComponent* owner)
    : TgComponentEditorButton(owner), FFont(std::make_unique<TFont>()) {
    SetBounds(Left(), Top(), 75, 25);
    SetCaption("Font");
}

TgComponentEditorFontPicker::~TgComponentEditorFontPicker() = default;

void TgComponentEditorFontPicker::SetFont(const TFont* value) {
    if (value)
        FFont->Assign(value);
}

bool TgComponentEditorFontPicker::Execute() {
    TgFontDialog dialog(this);
    dialog.SetFont(FFont.get());
    if (!dialog.Execute())
        return false;
    FFont->Assign(dialog.Font());
    gEditorUserChange(this);
    Invalidate();
    if (OnChange)
        OnChange(this);
    return true;
}

void TgComponentEditorFontPicker::Click() {
    TgComponentEditorButton::Click();
    Execute();
}

TgComponentEditorOpenPicker::TgComponentEditorOpenPicker(TComponent* owner)
    : TgComponentEditorButton(owner), FFiles(std::make_unique<TStrings>()) {
    SetCaption("Open");
    SetBounds(Left(), Top(), 75, 25);
    SetTabStop(true);
}

TgComponentEditorOpenPicker::~TgComponentEditorOpenPicker() = default;

bool TgComponentEditorOpenPicker::Execute() {
    TgOpenDialog dialog(this);
    dialog.SetFileMustExist(FFileMustExist);
    dialog.SetFileName(KitStartName(FFileName));
    dialog.SetFilter(FFilter);
    dialog.SetDefaultExt(FDefaultExt);
    dialog.SetAllowMultiSelect(FAllowMultiSelect);
    if (!FDefaultDirUsed) {
        dialog.SetDefaultDir(FDefaultDir);
        FDefaultDirUsed = true;
    }
    if (!dialog.Execute())
        return false;
    FFileName = dialog.FileName();
    FFiles->Assign(dialog.Files());
    gEditorUserChange(this);
    Invalidate();
    if (OnChange)
        OnChange(this);
    return true;
}

void TgComponentEditorOpenPicker::Click() {
    TgComponentEditorButton::Click();
    Execute();
}

TgComponentEditorSavePicker::TgComponentEditorSavePicker(TComponent* owner) : TgComponentEditorButton(owner) {
    SetCaption("Save");
    SetBounds(Left(), Top(), 75, 25);
    SetTabStop(true);
}

bool TgComponentEditorSavePicker::Execute() {
    TgSaveDialog dialog(this);
    dialog.SetFileName(KitStartName(FFileName));
    dialog.SetFilter(FFilter);
    dialog.SetFilterIndex(FFilterIndex);
    dialog.SetDefaultExt(FDefaultExt);
    if (!FDefaultDirUsed) {
        dialog.SetDefaultDir(FDefaultDir);
        FDefaultDirUsed = true;
    }
    if (!dialog.Execute())
        return false;
    FFileName = dialog.FileName();
    gEditorUserChange(this);
    Invalidate();
    if (OnChange)
        OnChange(this);
    return true;
}

void TgComponentEditorSavePicker::Click() {
    TgComponentEditorButton::Click();
    Execute();
}

std::function<int(TgValueConverterEditForm& form)> TgComponentEditorValueConverterPicker::ShowModalHook;

TgComponentEditorValueConverterPicker::TgComponentEditorValueConverterPicker(TComponent* owner)
    : TgComponentEditorButton(owner) {
    SetCaption("...");
    SetBounds(Left(), Top(), 21, 21);
    SetTabStop(true);
}

void TgComponentEditorValueConverterPicker::SetAssociate(TgComponentEditorEdit* edit) {
    if (FAssociate)
        FAssociate->RemoveFreeNotification(this);
    FAssociate = edit;
    if (edit)
        edit->FreeNotification(this);
}

void TgComponentEditorValueConverterPicker::Notification(TComponent* component, TOperation operation) {
    TgComponentEditorButton::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FAssociate)
        FAssociate = nullptr;
}

bool TgComponentEditorValueConverterPicker::Execute() {
    std::unique_ptr<TgValueConverterEditForm> form = std::make_unique<TgValueConverterEditForm>(this);
    form->InitializeForm();
    form->ShowPage(FDefaultPage);
    if (FTranslationMethod)
        FTranslationMethod(form.get());
    form->SetValue(FAssociate ? FAssociate->AsFloat() : FDateTime);
    const int result = ShowModalHook ? ShowModalHook(*form) : form->ShowModal();
    if (result != mrOk)
        return false;
    FDateTime = form->Value();
    if (FAssociate)
        FAssociate->SetDoubleWithEvent(FDateTime);
    if (OnChange)
        OnChange(this);
    return true;
}

void TgComponentEditorValueConverterPicker::Click() {
    TgComponentEditorButton::Click();
    Execute();
}

// ---------------------------------------------------------------------------------------------------
// Paint box

TgPaintBox::TgPaintBox(TComponent* owner) : TCustomControl(owner) {}

void TgPaintBox::Paint(TCanvas& canvas) {
    FPaintCanvas = &canvas;
    struct Reset {
        TCanvas*& canvas;
        ~Reset() { canvas = nullptr; }
    } reset{FPaintCanvas};
    if (OnPaint)
        OnPaint(this);
}

// ---------------------------------------------------------------------------------------------------
// Date-time text

std::string gEditorDateTimeToStr(double value) {
    if (!std::isfinite(value))
        return {};
    const double whole = std::trunc(value);
    const long long ms = std::llround(std::fabs(value - whole) * 86400000.0);
    if (ms == 0)
        return gFormatPlotDateTime("yyyy-mm-dd", whole);
    if (ms % 1000 != 0)
        return gFormatPlotDateTime("yyyy-mm-dd hh:nn:ss.zzz", value);
    return gFormatPlotDateTime("yyyy-mm-dd hh:nn:ss", value);
}

double gEditorStrToDateTime(const std::string& text) {
    const std::string s(TrimOf(text, kBlankTabLineEnds));
    auto fail = [&]() -> double { throw EConvertError("'" + text + "' is not a valid date and time"); };
    std::size_t pos = 0;
    auto number = [&](int maxDigits, long long& out) {
        const std::size_t start = pos;
        out = 0;
        while (pos < s.size() && std::isdigit(static_cast<unsigned char>(s[pos])) &&
               static_cast<int>(pos - start) < maxDigits)
            out = out * 10 + (s[pos++] - '0');
        return pos > start;
    };
    auto expect = [&](char c) {
        if (pos < s.size() && s[pos] == c) {
            ++pos;
            return true;
        }
        return false;
    };
    double days = 0;
    bool haveDate = false;
    long long y = 0, m = 0, d = 0;
    const std::size_t save = pos;
    if (number(6, y) && expect('-') && number(2, m) && expect('-') && number(2, d)) {
        if (m < 1 || m > 12 || d < 1 || d > 31)
            return fail();
        days = detail::WithDate(0, y, int(m), int(d));
        if (detail::DateOf(days).day != d)
            return fail();
        haveDate = true;
        while (pos < s.size() && s[pos] == ' ')
            ++pos;
    } else {
        pos = save;
    }
    double time = 0;
    if (pos < s.size()) {
        long long h = 0, n = 0, sec = 0, ms = 0;
        if (!number(2, h) || !expect(':') || !number(2, n))
            return fail();
        if (expect(':')) {
            if (!number(2, sec))
                return fail();
            if (expect('.')) {
                const std::size_t start = pos;
                if (!number(3, ms))
                    return fail();
                for (std::size_t k = pos - start; k < 3; ++k)
                    ms *= 10;
            }
        }
        if (pos != s.size() || h > 23 || n > 59 || sec > 59)
            return fail();
        time = double(((h * 60 + n) * 60 + sec) * 1000 + ms) / 86400000.0;
    } else if (!haveDate) {
        return fail();
    }
    return days < 0 ? days - time : days + time;
}

} // namespace kv
