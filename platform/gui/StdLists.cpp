// Combo boxes, list boxes and the key/value list editor.

#include "platform/gui/StdLists.h"

#include "platform/gui/StdCtrlsSupport.h"
#include "platform/gui/WidgetBridge.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTableWidget>

#include <algorithm>
#include <cmath>

namespace kv {

std::vector<std::string> EnumIdents(TComboBoxStyle) {
    return {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"};
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

namespace {

// The combo box's widget; its list is made when it first drops down, by a click, a key or code.
class TComboWidget : public TBridge<QComboBox> {
public:
    using TBridge::TBridge;
    void showPopup() override {
        Guarded([this] {
            if (this->property("kvControl").isValid())
                static_cast<TComboBox*>(Control())->ListView();
            QComboBox::showPopup();
        });
    }
    // Whether Qt has made the list (QComboBox::view() makes it when asked).
    bool HasList() const {
        for (const QObject* o : children())
            if (o->inherits("QComboBoxPrivateContainer"))
                return true;
        return false;
    }

protected:
    void showEvent(QShowEvent* e) override {
        Guarded([this] {
            if (this->property("kvControl").isValid())
                static_cast<TComboBox*>(Control())->EditPart();
        });
        QComboBox::showEvent(e);
    }
    void changeEvent(QEvent* e) override {
        // Qt makes the list on a font change only to hand it the font; without a list, the font waits
        // for it (ListView).
        if (e->type() == QEvent::FontChange && !HasList()) {
            QWidget::changeEvent(e);
            return;
        }
        QComboBox::changeEvent(e);
    }
};

QWidget* NewComboWidget(TControl* control) {
    return new TComboWidget(control);
}

} // namespace

TComboBox::TComboBox(TComponent* owner) : TComboBox(owner, TComboBoxStyle::csDropDown) {}

TComboBox::TComboBox(TComponent* owner, TComboBoxStyle style)
    : TWinControl(owner, &NewComboWidget), FItems(std::make_unique<TStrings>()) {
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
    SetStyle(style);
    // Sized to its hint, as a combo whose edit part came (or came and went).
    if (!cb->testAttribute(Qt::WA_Resized))
        cb->adjustSize();
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
    const bool editable = v == TComboBoxStyle::csDropDown || v == TComboBoxStyle::csSimple;
    QSignalBlocker block(cb);
    if (!editable) {
        FEditPending = false;
        cb->setEditable(false);
        cb->setAttribute(Qt::WA_InputMethodEnabled, false);
    } else if (!cb->isEditable()) {
        // QComboBox::setEditable would make the list too; the edit part alone is made when needed.
        FEditPending = true;
        cb->setAttribute(Qt::WA_InputMethodEnabled, true);
        if (cb->isVisible())
            EditPart();
    }
}

QLineEdit* TComboBox::EditPart() {
    auto* cb = static_cast<QComboBox*>(FWidget);
    if (FEditPending) {
        FEditPending = false;
        QSignalBlocker block(cb);
        // Unlike setEditable's, its palette is left to follow the box's.
        auto* edit = new QLineEdit(cb);
        cb->setLineEdit(edit);
        QObject::connect(edit, &QLineEdit::textEdited, cb, [this] {
            Guarded([this] {
                if (OnChange)
                    OnChange(this);
            });
        });
        EditMade(edit);
    }
    return cb->lineEdit();
}

void TComboBox::EditMade(QLineEdit*) {}

QAbstractItemView* TComboBox::ListView() {
    auto* cb = static_cast<TComboWidget*>(FWidget);
    const bool made = cb->HasList();
    QAbstractItemView* view = cb->view();
    if (!made) {
        // The list is a window of its own: it takes the box's font as a font change would give it.
        view->window()->setFont(cb->font());
        view->doItemsLayout();
    }
    if (!FListMade) {
        FListMade = true;
        ListMade(view);
    }
    return view;
}

void TComboBox::ListMade(QAbstractItemView*) {}

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
    EditPart();
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

} // namespace kv
