#include "panels/PkComboBox.h"

#include "panels/PkControlHelpers.h"
#include "panels/PkMouseWatch.h"
#include "panels/PkPropHelpers.h"
#include "platform/sys/Scheduler.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cctype>

namespace kv {

std::vector<std::string> EnumIdents(TEditCharCase) {
    return {"ecNormal", "ecUpperCase", "ecLowerCase"};
}
std::vector<std::string> EnumIdents(TOwnerDrawStateItem) {
    return {"odSelected",  "odGrayed",    "odDisabled",    "odChecked", "odFocused",
            "odDefault",   "odHotLight",  "odInactive",    "odNoAccel", "odNoFocusRect",
            "odReserved1", "odReserved2", "odComboBoxEdit"};
}

namespace {

constexpr int kScrollBarWidth = 17; // the classic profile's vertical scroll bar at 96 DPI

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    if (prefix.size() > text.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

// Removes the last character of UTF-8 text, a multi-byte character whole.
void PopChar(std::string& s) {
    if (s.empty())
        return;
    std::size_t i = s.size() - 1;
    while (i > 0 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
        --i;
    s.erase(i);
}

bool IsListStyle(TComboBoxStyle s) {
    return s == TComboBoxStyle::csDropDownList || s == TComboBoxStyle::csOwnerDrawFixed ||
           s == TComboBoxStyle::csOwnerDrawVariable;
}

// Draws the items of an owner-drawn list through the combo box's OnDrawItem on the pack's canvas.
class TOwnerDrawDelegate : public QStyledItemDelegate {
public:
    // The Qt combo box does not own its delegate: the parent frees it.
    TOwnerDrawDelegate(TPkCustomComboBox* combo, QObject* parent)
        : QStyledItemDelegate(parent), FCombo(combo) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QRect r = option.rect;
        QImage img(std::max(1, r.width()), std::max(1, r.height()), QImage::Format_ARGB32_Premultiplied);
        TCanvas canvas(&img);
        canvas.Font()->Assign(FCombo->Font());
        const bool selected = option.state & QStyle::State_Selected;
        canvas.Brush()->SetColor(selected ? clHighlight : FCombo->Color());
        if (selected)
            canvas.Font()->SetColor(clHighlightText);
        TRect rect{0, 0, r.width(), r.height()};
        canvas.FillRect(rect);
        TOwnerDrawState state;
        if (selected)
            state.Include(TOwnerDrawStateItem::odSelected).Include(TOwnerDrawStateItem::odFocused);
        if (FCombo->OnDrawItem) {
            // The handler draws through the control's canvas; it is this item's while the handler runs.
            TCanvas* keep = FCombo->Canvas();
            FCombo->SetDrawCanvas(&canvas);
            FCombo->OnDrawItem(FCombo, index.row(), rect, state);
            FCombo->SetDrawCanvas(keep);
        } else {
            TRect t{2, 0, rect.Right, rect.Bottom};
            canvas.Brush()->SetStyle(TBrushStyle::bsClear);
            canvas.DrawText(index.data().toString().toStdString(), t,
                            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
        canvas.SetTarget(nullptr);
        painter->drawImage(r.topLeft(), img);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        int h = FCombo->ItemHeight();
        if (FCombo->Style() == TComboBoxStyle::csOwnerDrawVariable && FCombo->OnMeasureItem)
            FCombo->OnMeasureItem(FCombo, index.row(), h);
        return {option.rect.width(), h};
    }

private:
    TPkCustomComboBox* FCombo;
};

template <class C> bool NotControlled(const C& c, TPkFrameControllerProperty p) {
    return !c.ControlledBy(p);
}

} // namespace

// ---------------------------------------------------------------------------------------------------

KV_REGISTER_CLASS(TPkCustomComboBox, TComboBox, b) {}

KV_REGISTER_CLASS(TPkComboBox, TPkCustomComboBox, b) {
    using P = TPkFrameControllerProperty;
    using C = TPkComboBox;
    b.Prop("AllowEdit", &C::AllowEdit, &C::SetAllowEdit).Default(true);
    b.Prop("AutoComplete", &C::AutoComplete, &C::SetAutoComplete).Default(true);
    b.Prop("AutoCloseUp", &C::AutoCloseUp, &C::SetAutoCloseUp).Default(false);
    b.Prop("AutoDropDown", &C::AutoDropDown, &C::SetAutoDropDown).Default(false);
    b.Prop("BeepOnInvalidKey", &C::BeepOnInvalidKey, &C::SetBeepOnInvalidKey).Default(true);
    b.Prop("CharCase", &C::CharCase, &C::SetCharCase).Default(TEditCharCase::ecNormal);
    b.Prop("Color", &TControl::Color, &TControl::SetColor)
        .Default(clWindow)
        .Idents(ColorIdents(), "TColor")
        .Stored([](const C& c) { return c.Enabled() && NotControlled(c, P::fcpColor) && !c.ParentColor(); });
    PK_COLOR_PROP(b, "DisabledColor", &C::DisabledColor, &C::SetDisabledColor, clBtnFace)
        .Stored([](const C& c) { return NotControlled(c, P::fcpDisabledColor); });
    b.Prop("DropDownWidth", &C::DropDownWidth, &C::SetDropDownWidth).Default(0);
    PK_COLOR_PROP(b, "FlatButtonColor", &C::FlatButtonColor, &C::SetFlatButtonColor, clBtnFace)
        .Stored([](const C& c) { return NotControlled(c, P::fcpFlatButtonColor); });
    b.Prop("FlatButtons", &C::FlatButtons, &C::SetFlatButtons).Default(false).Stored([](const C& c) {
        return NotControlled(c, P::fcpFlatButtons);
    });
    b.Prop("FocusColor", &C::FocusColor, &C::SetFocusColor)
        .Idents(ColorIdents(), "TColor")
        .Stored([](const C& c) {
            return ColorToRGB(c.FocusColor()) != ColorToRGB(c.NormalColor()) &&
                   NotControlled(c, P::fcpFocusColor);
        });
    PK_COLOR_PROP(b, "FrameColor", &C::FrameColor, &C::SetFrameColor, clBtnShadow).Stored([](const C& c) {
        return NotControlled(c, P::fcpFrameColor);
    });
    b.Ref("FrameController", &C::FrameController, &C::SetFrameController);
    b.Prop("FrameControllerNotifications", &C::FrameControllerNotifications,
           &C::SetFrameControllerNotifications)
        .Default(AllFrameNotifications);
    PK_COLOR_PROP(b, "FrameHotColor", &C::FrameHotColor, &C::SetFrameHotColor, clBtnShadow)
        .Stored([](const C& c) { return NotControlled(c, P::fcpFrameHotColor); });
    b.Prop("FrameHotTrack", &C::FrameHotTrack, &C::SetFrameHotTrack).Default(false).Stored([](const C& c) {
        return NotControlled(c, P::fcpFrameHotTrack);
    });
    b.Prop("FrameHotStyle", &C::FrameHotStyle, &C::SetFrameHotStyle)
        .Default(TFrameStyleEx::fsFlatBold)
        .Stored([](const C& c) { return NotControlled(c, P::fcpFrameHotStyle); });
    b.Prop("FrameSides", &C::FrameSides, &C::SetFrameSides).Default(AllSides).Stored([](const C& c) {
        return NotControlled(c, P::fcpFrameSides);
    });
    b.Prop("FrameStyle", &C::FrameStyle, &C::SetFrameStyle)
        .Default(TFrameStyleEx::fsFlat)
        .Stored([](const C& c) { return NotControlled(c, P::fcpFrameStyle); });
    b.Prop("FrameVisible", &C::FrameVisible, &C::SetFrameVisible).Default(false).Stored([](const C& c) {
        return NotControlled(c, P::fcpFrameVisible);
    });
    b.Prop("FramingPreference", &C::FramingPreference, &C::SetFramingPreference)
        .Default(TFramingPreference::fpXPThemes)
        .Stored([](const C& c) { return NotControlled(c, P::fcpFramingPreference); });
    b.Prop("ItemHeight", &C::ItemHeight, &C::SetItemHeight).Default(16);
    b.Prop("KeepSearchCase", &C::KeepSearchCase, &C::SetKeepSearchCase).Default(false);
    b.Prop("MaxLength", &C::MaxLength, &C::SetMaxLength).Default(0);
    b.Prop("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
    PK_COLOR_PROP(b, "ReadOnlyColor", &C::ReadOnlyColor, &C::SetReadOnlyColor, clInfoBk)
        .Stored([](const C& c) { return NotControlled(c, P::fcpReadOnlyColor); });
    b.Prop("ReadOnlyColorOnFocus", &C::ReadOnlyColorOnFocus, &C::SetReadOnlyColorOnFocus)
        .Default(false)
        .Stored([](const C& c) { return NotControlled(c, P::fcpReadOnlyColorOnFocus); });
    b.Prop("Style", &TComboBox::Style, &C::SetStyleValue).Default(TComboBoxStyle::csDropDown);
    b.Prop("TabOnEnter", &C::TabOnEnter, &C::SetTabOnEnter).Default(false);
    b.Prop("TextHint", &C::TextHint, &C::SetTextHint);
    b.Prop("Values", &C::Values, &C::SetValues);
    b.Event("OnDeleteItem", &C::OnDeleteItem);
    b.Event("OnDrawItem", &C::OnDrawItem);
    b.Event("OnMatch", &C::OnMatch);
    b.Event("OnMeasureItem", &C::OnMeasureItem);
    b.Event("OnMouseEnter", &C::OnMouseEnter);
    b.Event("OnMouseLeave", &C::OnMouseLeave);
    b.Event("OnMouseWheelDown", &C::OnMouseWheelDown);
    b.Event("OnMouseWheelUp", &C::OnMouseWheelUp);
    b.Event("OnNotInList", &C::OnNotInList);
    b.Event("OnSelEndCancel", &C::OnSelEndCancel);
    b.Event("OnSelEndOk", &C::OnSelEndOk);
    auto never = [](const C&) { return false; };
    b.Prop("FrameFlat", &C::LegacyFrameFlat, &C::SetLegacyFrameFlat).Stored(never);
    b.Prop("FrameFocusStyle", &C::LegacyFrameFocusStyle, &C::SetLegacyFrameFocusStyle).Stored(never);
    b.Prop("FrameFlatStyle", &C::LegacyFrameFlatStyle, &C::SetLegacyFrameFlatStyle).Stored(never);
}

TPkCustomComboBox::TPkCustomComboBox(TComponent* owner)
    : TPkCustomComboBox(owner, TComboBoxStyle::csDropDown) {}

TPkCustomComboBox::TPkCustomComboBox(TComponent* owner, TComboBoxStyle style)
    : TComboBox(owner, style), FTimer(std::make_unique<TTimer>(nullptr)) {
    FTimer->SetEnabled(false);
    FTimer->SetInterval(PkTypeAheadResetMs);
    FTimer->OnTimer = [this] { TypeAheadTimerFired(); };
    QComboBox* cb = Combo();
    // A pick from the list arrives here, with the pack's event order.
    QObject::disconnect(cb, QOverload<int>::of(&QComboBox::activated), nullptr, nullptr);
    QObject::connect(cb, QOverload<int>::of(&QComboBox::activated), cb,
                     [this](int index) { UserPick(index); });
    FWatch = std::make_unique<TPkMouseWatch>(
        FWidget, [this] { MouseEnter(); }, [this] { MouseLeave(); });
    SetUpEditPart();
    FNormalColor = Color();
}

void TPkCustomComboBox::ListMade(QAbstractItemView* view) {
    TComboBox::ListMade(view);
    QComboBox* cb = Combo();
    cb->setItemDelegate(new TOwnerDrawDelegate(this, cb));
    // The list's window and its item area: the close-up, and a click's way through the open list.
    FPopupWatch = std::make_unique<TPkPopupWatch>([this](QObject* o, QEvent* e) { return PopupEvent(o, e); });
    FPopupWatch->Watch(view->window());
    FPopupWatch->Watch(view->viewport());
}

void TPkCustomComboBox::EditMade(QLineEdit* edit) {
    TComboBox::EditMade(edit);
    SetUpEditPart();
}

// The pack's settings on the edit part, once it is made; until then the setters only keep them.
void TPkCustomComboBox::SetUpEditPart() {
    QLineEdit* e = Combo()->lineEdit();
    if (!e || e->property("pkEditPart").isValid())
        return;
    e->setProperty("pkEditPart", true);
    // The pack completes the text itself; the platform's completer would fight it.
    e->setCompleter(nullptr);
    e->setReadOnly(FReadOnly);
    if (FMaxLength > 0)
        e->setMaxLength(FMaxLength);
    e->setPlaceholderText(QString::fromStdString(FTextHint));
    FWatch->Watch(e);
    QObject::connect(e, &QLineEdit::textEdited, Combo(), [this](const QString& t) {
        if (!FTyping)
            FSearchString = t.toStdString();
    });
}

void TPkCustomComboBox::SetStyleValue(TComboBoxStyle v) {
    TComboBox::SetStyle(v);
    SetUpEditPart();
    Invalidate();
}

TPkCustomComboBox::~TPkCustomComboBox() {
    Destroying();
    FTimer->OnTimer = nullptr;
    if (FFrameController)
        FFrameController->RemoveControl(this);
}

QComboBox* TPkCustomComboBox::Combo() const {
    return static_cast<QComboBox*>(FWidget);
}

QLineEdit* TPkCustomComboBox::Edit() {
    return EditPart();
}

void TPkCustomComboBox::Notification(TComponent* component, TOperation operation) {
    TComboBox::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FFrameController)
        FFrameController = nullptr;
}

bool TPkCustomComboBox::ControlledBy(TPkFrameControllerProperty property) const {
    return FFrameController && FFrameControllerNotifications.Contains(property);
}

// ---------------------------------------------------------------------------------------------------
// List operations

void TPkCustomComboBox::Delete(int index) {
    if (index < 0 || index >= Items()->Count())
        return;
    if (TObject* data = Items()->Objects(index)) {
        DoDeleteItem(data);
        Items()->PutObject(index, nullptr);
    }
    Items()->Delete(index);
}

void TPkCustomComboBox::ClearItems() {
    for (int i = 0; i < Items()->Count(); ++i)
        if (TObject* data = Items()->Objects(i)) {
            DoDeleteItem(data);
            Items()->PutObject(i, nullptr);
        }
    Items()->Clear();
}

void TPkCustomComboBox::DoDeleteItem(TObject* data) {
    if (OnDeleteItem)
        OnDeleteItem(this, data);
}

void TPkCustomComboBox::InsertObject(int index, const std::string& text, TObject* object) {
    Items()->Insert(index, text);
    Items()->PutObject(index, object);
}

int TPkCustomComboBox::IndexOf(const std::string& text) const {
    return Items()->IndexOf(text);
}

bool TPkCustomComboBox::FindItem(const std::string& text) {
    const int i = IndexOf(text);
    if (i >= 0)
        SetItemIndex(i);
    return i >= 0;
}

bool TPkCustomComboBox::FindClosestItem(const std::string& text) {
    const int i = FindStringIndex(text);
    if (i >= 0)
        SetItemIndex(i);
    return i >= 0;
}

void TPkCustomComboBox::ForceText(const std::string& text) {
    if (text == Text())
        return;
    FTyping = true;
    SetText(text);
    FTyping = false;
}

void TPkCustomComboBox::SetText(const std::string& v) {
    TComboBox::SetText(v);
    if (FTyping || IsLoading() || !FAutoComplete || Style() != TComboBoxStyle::csDropDown || DroppedDown())
        return;
    // The text of an Enter just pressed stays as it is.
    if (FEnterPressed) {
        FEnterPressed = false;
        return;
    }
    FSearchString = v;
    // An empty text names no item.
    const int i = v.empty() ? -1 : FindStringIndex(v);
    QLineEdit* e = Edit();
    if (i < 0 || !e)
        return;
    SetItemIndex(i);
    const int whole = static_cast<int>(e->text().size());
    const int typed = std::min(static_cast<int>(QString::fromStdString(v).size()), whole);
    e->setSelection(whole, typed - whole);
}

int TPkCustomComboBox::FindStringIndex(const std::string& text) const {
    for (int i = 0; i < Items()->Count(); ++i)
        if (StartsWithNoCase((*Items())[i], text))
            return i;
    return -1;
}

void TPkCustomComboBox::InvalidKeyBeep() {
    if (FBeepOnInvalidKey)
        QApplication::beep();
}

bool TPkCustomComboBox::UseThemes() const {
    return FFramingPreference == TFramingPreference::fpXPThemes && ThemesEnabled();
}

// ---------------------------------------------------------------------------------------------------
// Type-ahead in the list style

void TPkCustomComboBox::RestartTimer() {
    FTimer->SetEnabled(false);
    FTimer->SetInterval(PkTypeAheadResetMs);
    FTimer->SetEnabled(true);
}

void TPkCustomComboBox::TypeAheadTimerFired() {
    // A tick that arrives while a key is handled must not clear the text being built.
    if (FKeyCount != 0)
        return;
    FTimer->SetEnabled(false);
    FSearchString.clear();
}

void TPkCustomComboBox::SearchListItem(const std::string& text) {
    const int i = FindStringIndex(text);
    if (i < 0) {
        InvalidKeyBeep();
        return;
    }
    SetItemIndex(i);
    FSearchString = text;
    Click();
    Change();
    if (OnKeyPress) {
        char c = text.empty() ? '\b' : text.back();
        OnKeyPress(this, c);
    }
}

void TPkCustomComboBox::ListBackspace() {
    if (FSearchString.empty()) {
        InvalidKeyBeep();
        SearchListItem("");
        return;
    }
    PopChar(FSearchString);
    if (!FSearchString.empty()) {
        SearchListItem(FSearchString);
        return;
    }
    SetItemIndex(0);
    Click();
    Change();
    FSearchString.clear();
    if (OnKeyPress) {
        char c = '\b';
        OnKeyPress(this, c);
    }
}

// ---------------------------------------------------------------------------------------------------
// Auto-completion in the editable style

bool TPkCustomComboBox::AutoCompleteText(const std::string& text) {
    const int i = FindStringIndex(text);
    if (i < 0)
        return false;
    const int before = ItemIndex();
    const std::string item = (*Items())[i];
    if (FKeepSearchCase) {
        FTyping = true;
        SetItemIndex(i);
        if (QLineEdit* e = Edit())
            e->setText(QString::fromStdString(text + item.substr(text.size())));
        FTyping = false;
    } else {
        SetItemIndex(-1);
        SetItemIndex(i);
    }
    FSearchString = text;
    Click();
    Change();
    if (QLineEdit* e = Edit()) {
        const int whole = e->text().size();
        const int typed = QString::fromStdString(text).size();
        e->setSelection(whole, typed - whole);
    }
    if (ItemIndex() != before && OnMatch)
        OnMatch(this);
    return true;
}

bool TPkCustomComboBox::EditBackspace() {
    QLineEdit* e = Edit();
    if (!e)
        return false;
    if (FSearchString.empty()) {
        InvalidKeyBeep();
        return false;
    }
    const int caret = e->cursorPosition();
    const int searchLen = QString::fromStdString(FSearchString).size();
    QString search = QString::fromStdString(FSearchString);
    if (e->hasSelectedText() && caret < searchLen && FAllowEdit) {
        const int start = e->selectionStart();
        const int len = std::min(static_cast<int>(e->selectedText().size()), searchLen - start);
        search.remove(start, std::max(0, len));
        SetItemIndex(-1);
        e->setCursorPosition(start);
    } else if (caret >= searchLen) {
        search.chop(1);
    } else if (FAllowEdit && caret > 0) {
        search.remove(caret - 1, 1);
    }
    FSearchString = search.toStdString();
    Change();
    if (FSearchString.empty()) {
        SetItemIndex(-1);
        if (FKeepSearchCase)
            e->clear();
        FSearchString.clear();
        Click();
        Change();
        if (OnKeyPress) {
            char c = '\b';
            OnKeyPress(this, c);
        }
    }
    if (AutoCompleteText(FSearchString))
        return true;
    // No completion: the edit shows what was typed and the platform removes the character.
    e->setText(QString::fromStdString(FSearchString) + QStringLiteral(" "));
    e->setCursorPosition(e->text().size());
    return false;
}

bool TPkCustomComboBox::EditKeyPress(char& key) {
    QLineEdit* e = Edit();
    if (FReadOnly)
        return true;
    if (static_cast<unsigned char>(key) < 32 || !e)
        return TComboBox::KeyPress(key);
    // The key-press handler sees the character first and may change or cancel it.
    if (TComboBox::KeyPress(key))
        return true;
    if (FMaxLength > 0 && e->text().size() >= FMaxLength && !e->hasSelectedText()) {
        InvalidKeyBeep();
        return true;
    }
    if (!FAutoComplete)
        return false;
    const std::string before = FSearchString;
    // The search text keeps the case the user typed: the selection is cut out of it and the character
    // goes in at the caret.
    QString text = QString::fromStdString(FSearchString);
    int caret = e->cursorPosition();
    if (e->hasSelectedText()) {
        caret = e->selectionStart();
        if (caret < text.size())
            text.remove(caret, e->selectedText().size());
    }
    caret = std::min(caret, static_cast<int>(text.size()));
    text.insert(caret, QChar::fromLatin1(key));
    const std::string search = text.toStdString();
    if (AutoCompleteText(search))
        return true;
    if (FAllowEdit) {
        // Free text: back to what was typed, then the platform inserts the character.
        FTyping = true;
        e->setText(QString::fromStdString(before));
        e->setCursorPosition(std::min(caret, static_cast<int>(e->text().size())));
        FTyping = false;
        FSearchString = search;
        return false;
    }
    InvalidKeyBeep();
    FSearchString = before;
    return true;
}

// ---------------------------------------------------------------------------------------------------
// Keys, mouse and wheel

bool TPkCustomComboBox::KeyDown(std::uint16_t& key, TShiftState shift) {
    if (IsListStyle(Style())) {
        if (FReadOnly)
            return true;
        switch (key) {
        case VK_BACK:
            ListBackspace();
            return true;
        case VK_ESCAPE:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_END:
        case VK_HOME:
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
            FSearchString.clear();
            break;
        default:
            break;
        }
        return TComboBox::KeyDown(key, shift);
    }
    QLineEdit* e = Edit();
    // Only the last key counts as "Enter just pressed".
    FEnterPressed = false;
    if (FAutoComplete && e) {
        switch (key) {
        case VK_PRIOR:
        case VK_NEXT:
        case VK_UP:
        case VK_DOWN:
            FTyping = true;
            FSearchString.clear();
            if (FReadOnly) {
                FTyping = false;
                return true;
            }
            break;
        case VK_END:
        case VK_HOME:
        case VK_LEFT:
        case VK_RIGHT:
            FSearchString = e->text().toStdString();
            break;
        case VK_INSERT:
            if (!FAllowEdit)
                return true;
            break;
        case VK_DELETE: {
            QString t = e->text();
            if (e->hasSelectedText())
                t.remove(e->selectionStart(), e->selectedText().size());
            else
                t.remove(e->cursorPosition(), 1);
            FSearchString = t.toStdString();
            if (!FAllowEdit && !(e->hasSelectedText() && e->selectedText() == e->text()))
                return true;
            break;
        }
        case VK_BACK:
            if (FReadOnly)
                return true;
            if (TComboBox::KeyDown(key, shift))
                return true;
            return EditBackspace();
        case VK_RETURN:
            if (DroppedDown() && OnSelEndOk)
                OnSelEndOk(this);
            FEnterPressed = true;
            if (FTabOnEnter && !DroppedDown()) {
                if (QWidget* next = FWidget->nextInFocusChain())
                    next->setFocus(Qt::TabFocusReason);
                return true;
            }
            break;
        case VK_ESCAPE:
            FSearchString.clear();
            if (!DroppedDown())
                return true;
            break;
        default:
            if (key == VK_F1 + 3 && FReadOnly)
                return true;
            break;
        }
    }
    bool consumed = TComboBox::KeyDown(key, shift);
    FTyping = false;
    return consumed;
}

bool TPkCustomComboBox::KeyPress(char& key) {
    const char typed = key;
    const bool consumed = KeyPressInner(key);
    // With AutoDropDown a key opens the list (Tab closes it), after the key has been handled.
    if (FAutoDropDown && Showing()) {
        if (typed == '\t')
            SetDroppedDown(false);
        else if (typed != '\b' && typed != 27)
            SetDroppedDown(true);
    }
    return consumed;
}

bool TPkCustomComboBox::KeyPressInner(char& key) {
    if (!IsListStyle(Style()))
        return EditKeyPress(key);
    if (FReadOnly)
        return true;
    if (static_cast<unsigned char>(key) >= 32) {
        FKeyCount = 1;
        SearchListItem(FSearchString + key);
        RestartTimer();
        FKeyCount = 0;
        return true;
    }
    return TComboBox::KeyPress(key);
}

bool TPkCustomComboBox::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
    bool handled = TComboBox::DoMouseWheel(shift, wheelDelta, mousePos);
    if (!handled) {
        const TMouseWheelEvent& ev = wheelDelta < 0 ? OnMouseWheelDown : OnMouseWheelUp;
        if (ev)
            ev(this, shift, wheelDelta, mousePos, handled);
    }
    if (!handled) {
        if (wheelDelta < 0)
            WheelDown();
        else if (wheelDelta > 0)
            WheelUp();
    }
    // The wheel never reaches the platform's own handling.
    return true;
}

bool TPkCustomComboBox::WheelDown() {
    if (FReadOnly || DroppedDown())
        return true;
    const int i = ItemIndex(), n = Items()->Count();
    const int target = i < n - 1 ? i + 1 : i;
    if (target != i) {
        SetItemIndex(target);
        Click();
        Change();
    }
    return true;
}

bool TPkCustomComboBox::WheelUp() {
    if (FReadOnly || DroppedDown() || Items()->Count() == 0)
        return true;
    const int i = ItemIndex();
    const int target = i > 0 ? i - 1 : 0;
    // From no selection to the first item is a real change too: it raises the events.
    if (target != i) {
        SetItemIndex(target);
        Click();
        Change();
    }
    return true;
}

void TPkCustomComboBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (FReadOnly)
        return;
    if (button == TMouseButton::mbLeft) {
        if (QLineEdit* e = Edit())
            FSearchString = e->text().toStdString();
        // The widget paints itself, so the press that opens the list is passed on here.
        if (!DroppedDown() && Showing()) {
            ListView()->setMinimumWidth(ActualDropDownWidth());
            if (OnDropDown)
                OnDropDown(this);
            Combo()->showPopup();
            FOpeningPress = DroppedDown();
            FOpeningPressAt = FWidget->mapToGlobal(QPoint(x, y));
        }
    }
    TComboBox::MouseDown(button, shift, x, y);
}

void TPkCustomComboBox::UserPick(int index) {
    if (index < 0 || index >= Items()->Count())
        return;
    SetItemIndex(index);
    FPicked = true;
    FTyping = true;
    Click();
    Change();
    if (OnSelEndOk)
        OnSelEndOk(this);
    FTyping = false;
    Invalidate();
}

// While the list is open the window system hands every mouse event to the list's window. The release of
// the click that opened the list lands there too and would close it at once: it is taken here, so that a
// click opens the list and leaves it open. A release on an item, after a click into the list or a drag
// from the combo box, picks that item at once, whatever time has passed since the list opened.
bool TPkCustomComboBox::PopupEvent(QObject* object, QEvent* e) {
    QAbstractItemView* view = ListView();
    switch (e->type()) {
    case QEvent::Hide:
        if (object == view->window()) {
            FOpeningPress = false;
            ListClosed();
        }
        return false;
    case QEvent::MouseButtonPress:
        FOpeningPress = false;
        return false;
    case QEvent::MouseButtonRelease: {
        auto* m = static_cast<QMouseEvent*>(e);
        if (m->button() != Qt::LeftButton)
            return false;
        if (FOpeningPress) {
            FOpeningPress = false;
            const QPoint moved = m->globalPosition().toPoint() - FOpeningPressAt;
            if (moved.manhattanLength() <= QApplication::startDragDistance())
                return true;
        }
        if (object != view->viewport())
            return false;
        const QModelIndex index = view->indexAt(m->position().toPoint());
        if (!index.isValid() || !(index.flags() & Qt::ItemIsEnabled))
            return false;
        // The pick first, then the close-up, which then cancels nothing.
        UserPick(index.row());
        Combo()->hidePopup();
        return true;
    }
    default:
        return false;
    }
}

void TPkCustomComboBox::ListClosed() {
    if (!FPicked && OnSelEndCancel)
        OnSelEndCancel(this);
    FPicked = false;
    if (OnCloseUp)
        OnCloseUp(this);
    Invalidate();
}

void TPkCustomComboBox::Change() {
    if (OnChange)
        OnChange(this);
}

bool TPkCustomComboBox::DroppedDown() const {
    // No list made yet: none is open.
    return HasListView() && Combo()->view()->isVisible();
}

void TPkCustomComboBox::SetDroppedDown(bool v) {
    if (v && !DroppedDown())
        Combo()->showPopup();
    else if (!v && DroppedDown()) {
        Combo()->hidePopup();
        Invalidate();
    }
}

int TPkCustomComboBox::ActualDropDownWidth() {
    if (FDropDownWidth > 0) {
        FActualDropDownWidth = FDropDownWidth;
        return FActualDropDownWidth;
    }
    TCanvas c;
    c.Font()->Assign(Font());
    int widest = 0;
    for (int i = 0; i < Items()->Count(); ++i)
        widest = std::max(widest, c.TextWidth((*Items())[i]));
    if (Items()->Count() > DropDownCount())
        widest += kScrollBarWidth;
    FActualDropDownWidth = std::max(widest + 8, Width());
    return FActualDropDownWidth;
}

// ---------------------------------------------------------------------------------------------------
// Focus, hover and colours

void TPkCustomComboBox::DoEnter() {
    FIsFocused = true;
    UpdateHotState(false, true);
    TComboBox::DoEnter();
}

void TPkCustomComboBox::DoExit() {
    FIsFocused = false;
    FSearchString.clear();
    if (Style() == TComboBoxStyle::csDropDown && !Text().empty() && IndexOf(Text()) < 0 && OnNotInList)
        OnNotInList(this);
    UpdateHotState(false, false);
    TComboBox::DoExit();
}

void TPkCustomComboBox::MouseEnter() {
    UpdateHotState(true, true);
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TPkCustomComboBox::MouseLeave() {
    // Moving from the combo onto its own edit part is no leave.
    if (FWidget->underMouse())
        return;
    UpdateHotState(true, false);
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TPkCustomComboBox::UpdateHotState(bool mouse, bool value) {
    if (mouse)
        FOverControl = value;
    else
        FInControl = value;
    if ((FFlatButtons || FFrameHotTrack) && !DroppedDown())
        Invalidate();
    UpdateColors();
}

void TPkCustomComboBox::SetColorQuiet(TColor v) {
    const bool parent = FParentColor;
    FUpdatingColor = true;
    SetColor(v);
    FUpdatingColor = false;
    FParentColor = parent;
}

void TPkCustomComboBox::UpdateColors() {
    if (IsLoading())
        return;
    TColor c = FNormalColor;
    if (!Enabled())
        c = FDisabledColor;
    else if (FIsFocused)
        c = FReadOnly && FReadOnlyColorOnFocus ? FReadOnlyColor : FFocusColor;
    else if (FReadOnly)
        c = FReadOnlyColor;
    SetColorQuiet(c);
}

void TPkCustomComboBox::ColorChanged() {
    if (!FUpdatingColor) {
        if (FFocusColor == FNormalColor)
            FFocusColor = Color();
        FNormalColor = Color();
    }
    TComboBox::ColorChanged();
}

void TPkCustomComboBox::ParentColorChanged() {
    TComboBox::ParentColorChanged();
}

void TPkCustomComboBox::SetEnabled(bool v) {
    TComboBox::SetEnabled(v);
    UpdateColors();
}

void TPkCustomComboBox::SetBounds(int left, int top, int width, int height) {
    TComboBox::SetBounds(left, top, width, height);
    if (FFrameVisible)
        Invalidate();
}

void TPkCustomComboBox::Loaded() {
    TComboBox::Loaded();
    FNormalColor = Color();
    SetUpEditPart();
    UpdateColors();
}

// ---------------------------------------------------------------------------------------------------
// Setters

void TPkCustomComboBox::SetReadOnly(bool v) {
    if (!Differs(FReadOnly, v))
        return;
    if (QLineEdit* e = Combo()->lineEdit())
        e->setReadOnly(v);
    UpdateColors();
    Invalidate();
}

void TPkCustomComboBox::SetReadOnlyColor(TColor v) {
    if (Differs(FReadOnlyColor, v))
        UpdateColors();
}

void TPkCustomComboBox::SetReadOnlyColorOnFocus(bool v) {
    if (Differs(FReadOnlyColorOnFocus, v))
        UpdateColors();
}

void TPkCustomComboBox::SetDisabledColor(TColor v) {
    if (Differs(FDisabledColor, v))
        UpdateColors();
}

void TPkCustomComboBox::SetFocusColor(TColor v) {
    if (Differs(FFocusColor, v))
        UpdateColors();
}

void TPkCustomComboBox::SetFlatButtons(bool v) {
    if (Differs(FFlatButtons, v))
        Invalidate();
}
void TPkCustomComboBox::SetFlatButtonColor(TColor v) {
    if (Differs(FFlatButtonColor, v))
        Invalidate();
}
void TPkCustomComboBox::SetFrameColor(TColor v) {
    if (Differs(FFrameColor, v))
        Invalidate();
}
void TPkCustomComboBox::SetFrameController(TPkFrameController* v) {
    PkSetFrameController(this, FFrameController, v);
}
void TPkCustomComboBox::SetFrameHotColor(TColor v) {
    if (Differs(FFrameHotColor, v))
        Invalidate();
}
void TPkCustomComboBox::SetFrameHotTrack(bool v) {
    if (!Differs(FFrameHotTrack, v))
        return;
    if (v) {
        SetFrameVisible(true);
        if (!IsLoading())
            SetFrameSides(AllSides);
    }
    Invalidate();
}
void TPkCustomComboBox::SetFrameHotStyle(TFrameStyle v) {
    if (Differs(FFrameHotStyle, v))
        Invalidate();
}
void TPkCustomComboBox::SetFrameSides(TSides v) {
    if (!(FFrameSides == v)) {
        FFrameSides = v;
        Invalidate();
    }
}
void TPkCustomComboBox::SetFrameStyle(TFrameStyle v) {
    if (Differs(FFrameStyle, v))
        Invalidate();
}
void TPkCustomComboBox::SetFrameVisible(bool v) {
    // The platform's 3D border gives way to the custom frame (the old Ctl3D switch).
    if (Differs(FFrameVisible, v))
        Invalidate();
}
void TPkCustomComboBox::SetFramingPreference(TFramingPreference v) {
    if (Differs(FFramingPreference, v) && v == TFramingPreference::fpCustomFraming)
        Invalidate();
}
void TPkCustomComboBox::SetMaxLength(int v) {
    FMaxLength = std::max(0, v);
    if (QLineEdit* e = Combo()->lineEdit())
        e->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
}
void TPkCustomComboBox::SetItemHeight(int v) {
    // Only the owner-drawn styles take an item height.
    if (Style() == TComboBoxStyle::csOwnerDrawFixed || Style() == TComboBoxStyle::csOwnerDrawVariable)
        FItemHeight = v;
}
void TPkCustomComboBox::SetTextHint(const std::string& v) {
    FTextHint = v;
    if (QLineEdit* e = Combo()->lineEdit())
        e->setPlaceholderText(QString::fromStdString(v));
}

void TPkCustomComboBox::SetLegacyFrameFlat(bool v) {
    SetFrameHotTrack(v);
    if (v) {
        SetFrameStyle(TFrameStyleEx::fsStatus);
        SetFrameHotStyle(TFrameStyleEx::fsLowered);
    }
}

// ---------------------------------------------------------------------------------------------------
// Painting

TRect TPkCustomComboBox::ButtonRect() const {
    const int b = ThemesEnabled() ? 1 : 2;
    return {Width() - kScrollBarWidth - b, b, Width() - b, Height() - b};
}

void TPkCustomComboBox::PaintPlatformCombo(TCanvas& canvas, const TRect& br) {
    // The classic combo box: a sunken edge, the text area, the selected item and the drop button.
    const TRect all{0, 0, Width(), Height()};
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Brush()->SetColor(Color());
    canvas.FillRect(all);
    PaintSystem3DEdge(canvas, all, true, AllSides);
    if (IsListStyle(Style())) {
        TRect text{3, 3, br.Left - 1, Height() - 3};
        const int index = ItemIndex();
        const bool focused = FIsFocused && !DroppedDown();
        canvas.Font()->Assign(Font());
        if (Style() != TComboBoxStyle::csDropDownList) {
            TOwnerDrawState state{TOwnerDrawStateItem::odComboBoxEdit, TOwnerDrawStateItem::odDefault};
            if (focused)
                state.Include(TOwnerDrawStateItem::odSelected).Include(TOwnerDrawStateItem::odFocused);
            canvas.Brush()->SetColor(focused ? clHighlight : Color());
            if (focused)
                canvas.Font()->SetColor(clHighlightText);
            canvas.FillRect(text);
            if (index < 0) {
                if (focused && FShowFocus)
                    canvas.DrawFocusRect(text);
            } else if (OnDrawItem) {
                SetDrawCanvas(&canvas);
                OnDrawItem(this, index, text, state);
                SetDrawCanvas(nullptr);
            } else {
                TRect t{text.Left + 1, text.Top, text.Right, text.Bottom};
                canvas.Brush()->SetStyle(TBrushStyle::bsClear);
                canvas.DrawText((*Items())[index], t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
            }
            if (focused && index >= 0 && FShowFocus)
                canvas.DrawFocusRect(text);
        } else {
            if (focused) {
                canvas.Brush()->SetColor(clHighlight);
                canvas.FillRect(text);
                canvas.Font()->SetColor(clHighlightText);
            }
            if (index >= 0) {
                TRect t{text.Left + 1, text.Top, text.Right, text.Bottom};
                canvas.Brush()->SetStyle(TBrushStyle::bsClear);
                canvas.DrawText((*Items())[index], t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
            }
            if (focused)
                canvas.DrawFocusRect(text);
        }
    }
    TRect face = PaintSystemButtonEdgeAll(canvas, br, DroppedDown());
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Brush()->SetColor(clBtnFace);
    canvas.FillRect(face);
    PaintDropArrow(canvas, face, 0, Enabled());
}

void TPkCustomComboBox::Paint(TCanvas& canvas) {
    const TRect br = ButtonRect();
    const TRect client{0, 0, Width(), Height()};
    PaintPlatformCombo(canvas, br);
    // The native border is covered with the control's colour unless the custom frame takes its place.
    if (!FFrameVisible || UseThemes())
        PaintEdgeRings(canvas, client, Color(), AllSides, 2, Color());
    const bool hot = FIsFocused || FOverControl;
    if (!FFlatButtons || FReadOnly) {
        if (FReadOnly) {
            canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
            canvas.Brush()->SetColor(Color());
            canvas.FillRect(br);
        }
    } else if (!hot) {
        canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas.Brush()->SetColor(Color());
        canvas.FillRect(br);
        PaintDropArrow(canvas, br, 0, Enabled());
    } else {
        const bool open = DroppedDown();
        TRect inner;
        if (FFlatButtonColor == clBtnFace)
            inner = open ? PaintEdgeLines(canvas, br, clBtnShadow, AllSides, clBtnHighlight)
                         : PaintEdgeLines(canvas, br, clBtnHighlight, AllSides, clBtnShadow);
        else
            inner = PaintTintedFrameStyleAll(canvas, br, FFlatButtonColor,
                                             open ? TFrameStyleEx::fsStatus : TFrameStyleEx::fsPopup);
        canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas.Brush()->SetColor(FFlatButtonColor);
        canvas.FillRect(inner);
        PaintDropArrow(canvas, inner, 0, Enabled());
    }
    if (FFrameVisible && !UseThemes()) {
        const bool hotFrame = FFrameHotTrack && hot;
        const TFrameStyle style = hotFrame ? FFrameHotStyle : FFrameStyle;
        const TColor colour = hotFrame ? FFrameHotColor : FFrameColor;
        if (style == TFrameStyleEx::fsFlat)
            PaintEdgeLines(canvas, client, colour, FFrameSides, colour);
        else if (style == TFrameStyleEx::fsFlatBold)
            PaintEdgeRings(canvas, client, colour, FFrameSides, 2, colour);
        else if (Color() == clWindow)
            PaintFrameStyle(canvas, client, style, FFrameSides);
        else
            PaintTintedFrameStyle(canvas, client, Color(), FFrameSides, style);
    }
}

// ---------------------------------------------------------------------------------------------------
// Values

TPkComboBox::TPkComboBox(TComponent* owner) : TPkComboBox(owner, TComboBoxStyle::csDropDown) {}

TPkComboBox::TPkComboBox(TComponent* owner, TComboBoxStyle style)
    : TPkCustomComboBox(owner, style), FValues(std::make_unique<TStrings>()) {
    FValues->OnChange = [this](TObject*) {
        FForceSetValue = true;
        SetValue(FValue);
        FForceSetValue = false;
    };
}

TPkComboBox::~TPkComboBox() {
    FValues->OnChange = nullptr;
}

void TPkComboBox::SetValues(TStrings* v) {
    FValues->Assign(v);
}

std::string TPkComboBox::GetItemValue(int index) const {
    if (index >= 0 && index < FValues->Count() && !(*FValues)[index].empty())
        return (*FValues)[index];
    if (index >= 0 && index < Items()->Count())
        return (*Items())[index];
    return {};
}

std::string TPkComboBox::GetValue() const {
    int index = -1;
    if (IsListStyle(Style()))
        index = ItemIndex();
    else if (!Text().empty())
        index = IndexOf(Text());
    if (index >= 0 && index < FValues->Count() && !(*FValues)[index].empty())
        return (*FValues)[index];
    return Text();
}

void TPkComboBox::SetValue(const std::string& v) {
    if (v == GetValue() && !FForceSetValue)
        return;
    FInSetValue = true;
    int found = -1;
    for (int i = 0; i < Items()->Count(); ++i)
        if (GetItemValue(i) == v) {
            found = i;
            break;
        }
    SetItemIndex(found);
    FValue = v;
    FInSetValue = false;
}

void TPkComboBox::FollowSelection() {
    if (ItemIndex() >= 0)
        FValue = GetItemValue(ItemIndex());
}

void TPkComboBox::Change() {
    TPkCustomComboBox::Change();
    if (!FInSetValue && !FForceSetValue)
        FollowSelection();
}

void TPkComboBox::Click() {
    TPkCustomComboBox::Click();
    if (!FInSetValue)
        FollowSelection();
}

void TPkComboBox::ClearItemsValues() {
    ClearItems();
    FValues->Clear();
}

void TPkComboBox::AddItemValue(const std::string& item, const std::string& value) {
    Items()->Add(item);
    while (FValues->Count() < Items()->Count() - 1)
        FValues->Add("");
    FValues->Add(value);
}

void TPkComboBox::InsertItemValue(int index, const std::string& item, const std::string& value) {
    Items()->Insert(index, item);
    while (FValues->Count() < index)
        FValues->Add("");
    FValues->Insert(index, value);
}

void TPkComboBox::DeleteItemValue(int index) {
    Delete(index);
    if (index >= 0 && index < FValues->Count())
        FValues->Delete(index);
}

} // namespace kv
