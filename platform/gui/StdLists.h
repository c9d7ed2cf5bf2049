#pragma once
// Combo boxes, list boxes and the key/value list editor.

#include "platform/gui/Controls.h"

#include <memory>

class QAbstractItemView;
class QLineEdit;

namespace kv {

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
std::vector<std::string> EnumIdents(TComboBoxStyle);

class TComboBox : public TWinControl {
    KV_CLASS(TComboBox)
public:
    explicit TComboBox(TComponent* owner);
    // Made in the given style from the start: a drop-down list never builds the edit part it would drop.
    TComboBox(TComponent* owner, TComboBoxStyle style);
    ~TComboBox() override;
    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* s) { FItems->Assign(s); }
    int ItemIndex() const;
    // A selection made by code raises no change event.
    void SetItemIndex(int v);
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle v);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int v);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool v);
    const std::string& Text() const override;
    void SetText(const std::string& v) override;
    void ClearItems() { FItems->Clear(); }
    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    // A user's pick, as the list would report it (tests and keyboard code use it).
    void UserSelect(int index);
    void Loaded() override;
    // The drop-down list's view. The list (a popup window with its view and scroll bars) is made when it
    // first drops down or is first asked for here, not with the combo box.
    QAbstractItemView* ListView();
    bool HasListView() const { return FListMade; }
    // The edit part of an editable style, made when the box is first shown or focused, its text is set
    // or it is asked for here; nullptr in the list styles.
    QLineEdit* EditPart();

protected:
    void ColorChanged() override;
    // Called once, when the list has just been made, before it first shows.
    virtual void ListMade(QAbstractItemView* view);
    // Called once the edit part has just been made.
    virtual void EditMade(QLineEdit* edit);

private:
    void ItemsChanged();
    bool FListMade = false;
    bool FEditPending = false; // an editable style whose edit part is not made yet
    std::unique_ptr<TStrings> FItems;
    TComboBoxStyle FStyle = TComboBoxStyle::csDropDown;
    int FDropDownCount = 8;
    bool FSorted = false, FSyncing = false;
    int FPendingIndex = -2;
    mutable std::string FTextCache;
};

class TListBox : public TWinControl {
    KV_CLASS(TListBox)
public:
    explicit TListBox(TComponent* owner);
    ~TListBox() override;
    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* s) { FItems->Assign(s); }
    int ItemIndex() const;
    void SetItemIndex(int v);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool v);
    bool Selected(int index) const;
    void SetSelected(int index, bool v);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool v);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int v) { FItemHeight = v; }
    int TopIndex() const;
    void SetTopIndex(int v);

protected:
    void ColorChanged() override;

private:
    void ItemsChanged();
    std::unique_ptr<TStrings> FItems;
    bool FMultiSelect = false, FSorted = false, FSyncing = false;
    int FItemHeight = 13;
};

class TValueListEditor : public TWinControl {
    KV_CLASS(TValueListEditor)
public:
    explicit TValueListEditor(TComponent* owner);
    ~TValueListEditor() override;
    TStrings* Strings() const { return FStrings.get(); }
    void SetStrings(TStrings* s) { FStrings->Assign(s); }
    TStrings* TitleCaptions() const { return FTitles.get(); }
    void SetTitleCaptions(TStrings* s) { FTitles->Assign(s); }
    std::string Values(const std::string& key) const { return FStrings->Values(key); }
    void SetValue(const std::string& key, const std::string& value) { FStrings->SetValue(key, value); }
    // Row 0 is the title row; data rows start at 1.
    std::string Keys(int row) const;
    int RowCount() const { return FStrings->Count() + 1; }
    TNotifyEvent OnStringsChange;

private:
    void Rebuild();
    std::unique_ptr<TStrings> FStrings;
    std::unique_ptr<TStrings> FTitles;
    bool FSyncing = false;
};

} // namespace kv
