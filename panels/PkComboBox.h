#pragma once
// The pack's combo box: type-ahead search that resets 1500 ms after the last key, auto-completion in
// the editable style, state colours, a read-only mode, a flat drop button, a custom flat frame with
// hot tracking, and a parallel list of values.

#include "panels/PkCommon.h"
#include "platform/gui/StdCtrls.h"

#include <memory>

#include <QEvent>
#include <QObject>
#include <QPoint>
#include <QWidget>

#include <functional>

class TTimer;
class QComboBox;
class QLineEdit;

namespace kv {

class TPkMouseWatch;

// Hands the events of the combo box's list window and its item area to the combo box, which may take
// them (true) before the list sees them.
class TPkPopupWatch : public QObject {
public:
    explicit TPkPopupWatch(std::function<bool(QObject*, QEvent*)> handler) : FHandler(std::move(handler)) {}
    void Watch(QObject* object) { object->installEventFilter(this); }

protected:
    bool eventFilter(QObject* object, QEvent* e) override { return FHandler && FHandler(object, e); }

private:
    std::function<bool(QObject*, QEvent*)> FHandler;
};

enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
std::vector<std::string> EnumIdents(TEditCharCase);
enum class TOwnerDrawStateItem {
    odSelected,
    odGrayed,
    odDisabled,
    odChecked,
    odFocused,
    odDefault,
    odHotLight,
    odInactive,
    odNoAccel,
    odNoFocusRect,
    odReserved1,
    odReserved2,
    odComboBoxEdit
};
std::vector<std::string> EnumIdents(TOwnerDrawStateItem);
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
using TDrawItemEvent = std::function<void(TObject* sender, int index, TRect rect, TOwnerDrawState state)>;
using TMeasureItemEvent = std::function<void(TObject* sender, int index, int& height)>;
using TPkDeleteItemEvent = std::function<void(TObject* sender, TObject* itemData)>;

class TPkCustomComboBox : public TComboBox {
    KV_CLASS(TPkCustomComboBox)
public:
    explicit TPkCustomComboBox(TComponent* owner);
    TPkCustomComboBox(TComponent* owner, TComboBoxStyle style);
    ~TPkCustomComboBox() override;

    // List operations.
    int Add(const std::string& text) { return Items()->Add(text); }
    int AddObject(const std::string& text, TObject* object) { return Items()->AddObject(text, object); }
    void Delete(int index);
    void ClearItems();
    virtual int IndexOf(const std::string& text) const;
    void Insert(int index, const std::string& text) { Items()->Insert(index, text); }
    void InsertObject(int index, const std::string& text, TObject* object);
    int Count() const { return Items()->Count(); }
    bool FindItem(const std::string& text);
    bool FindClosestItem(const std::string& text);
    void ClearSearchString() { FSearchString.clear(); }
    virtual void ForceText(const std::string& text);
    const std::string& SearchString() const { return FSearchString; }
    virtual int FindStringIndex(const std::string& text) const;

    virtual void UpdateColors();
    virtual void UpdateHotState(bool mouse, bool value);
    virtual void InvalidKeyBeep();
    virtual void SearchListItem(const std::string& text);
    virtual bool AutoCompleteText(const std::string& text);
    virtual void DoDeleteItem(TObject* data);
    virtual bool UseThemes() const;

    bool AllowEdit() const { return FAllowEdit; }
    void SetAllowEdit(bool v) { FAllowEdit = v; }
    bool AutoComplete() const { return FAutoComplete; }
    void SetAutoComplete(bool v) { FAutoComplete = v; }
    bool BeepOnInvalidKey() const { return FBeepOnInvalidKey; }
    void SetBeepOnInvalidKey(bool v) { FBeepOnInvalidKey = v; }
    TColor DisabledColor() const { return FDisabledColor; }
    virtual void SetDisabledColor(TColor v);
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int v) { FDropDownWidth = v; }
    // The width the list gets when it drops down.
    int ActualDropDownWidth();
    TColor FlatButtonColor() const { return FFlatButtonColor; }
    virtual void SetFlatButtonColor(TColor v);
    bool FlatButtons() const { return FFlatButtons; }
    virtual void SetFlatButtons(bool v);
    TColor FocusColor() const { return FFocusColor; }
    virtual void SetFocusColor(TColor v);
    TColor FrameColor() const { return FFrameColor; }
    virtual void SetFrameColor(TColor v);
    TPkFrameController* FrameController() const { return FFrameController; }
    virtual void SetFrameController(TPkFrameController* v);
    TPkFrameControllerNotifications FrameControllerNotifications() const {
        return FFrameControllerNotifications;
    }
    void SetFrameControllerNotifications(TPkFrameControllerNotifications v) {
        FFrameControllerNotifications = v;
    }
    TColor FrameHotColor() const { return FFrameHotColor; }
    virtual void SetFrameHotColor(TColor v);
    bool FrameHotTrack() const { return FFrameHotTrack; }
    virtual void SetFrameHotTrack(bool v);
    TFrameStyle FrameHotStyle() const { return FFrameHotStyle; }
    virtual void SetFrameHotStyle(TFrameStyle v);
    TSides FrameSides() const { return FFrameSides; }
    virtual void SetFrameSides(TSides v);
    TFrameStyle FrameStyle() const { return FFrameStyle; }
    virtual void SetFrameStyle(TFrameStyle v);
    bool FrameVisible() const { return FFrameVisible; }
    virtual void SetFrameVisible(bool v);
    TFramingPreference FramingPreference() const { return FFramingPreference; }
    virtual void SetFramingPreference(TFramingPreference v);
    bool KeepSearchCase() const { return FKeepSearchCase; }
    void SetKeepSearchCase(bool v) { FKeepSearchCase = v; }
    bool ReadOnly() const { return FReadOnly; }
    virtual void SetReadOnly(bool v);
    TColor ReadOnlyColor() const { return FReadOnlyColor; }
    virtual void SetReadOnlyColor(TColor v);
    bool ReadOnlyColorOnFocus() const { return FReadOnlyColorOnFocus; }
    void SetReadOnlyColorOnFocus(bool v);
    bool TabOnEnter() const { return FTabOnEnter; }
    void SetTabOnEnter(bool v) { FTabOnEnter = v; }
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int v);
    bool AutoDropDown() const { return FAutoDropDown; }
    void SetAutoDropDown(bool v) { FAutoDropDown = v; }
    bool AutoCloseUp() const { return FAutoCloseUp; }
    void SetAutoCloseUp(bool v) { FAutoCloseUp = v; }
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase v) { FCharCase = v; }
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int v);
    const std::string& TextHint() const { return FTextHint; }
    void SetTextHint(const std::string& v);
    TColor NormalColor() const { return FNormalColor; }
    bool Focused() const { return FIsFocused; }
    bool DroppedDown() const;
    void SetDroppedDown(bool v);

    // Text set from code; in the editable style it selects the first item that starts with it, the
    // item's untyped tail selected in the edit part (not while typing or loading, nor with the list open).
    void SetText(const std::string& v) override;
    // The platform's style change, then the pack's set-up of a new edit part.
    void SetStyleValue(TComboBoxStyle v);
    void Paint(TCanvas& canvas) override;
    bool IsSelfPainted() const override { return true; }
    // The canvas an OnDrawItem handler draws on (the item's or the edit part's while it runs).
    TCanvas* Canvas() const { return FDrawCanvas; }
    void SetDrawCanvas(TCanvas* canvas) { FDrawCanvas = canvas; }
    bool KeyDown(std::uint16_t& key, TShiftState shift) override;
    bool KeyPress(char& key) override;
    bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void DoEnter() override;
    void DoExit() override;
    void SetEnabled(bool v) override;
    void SetBounds(int left, int top, int width, int height) override;
    void Loaded() override;
    virtual void MouseEnter();
    virtual void MouseLeave();
    // A user's pick from the list: the selection, then OnClick and OnChange.
    void UserPick(int index);
    // The reset timer's tick.
    void TypeAheadTimerFired();

    TNotifyEvent OnMatch;
    TNotifyEvent OnNotInList;
    TNotifyEvent OnSelEndCancel;
    TNotifyEvent OnSelEndOk;
    TPkDeleteItemEvent OnDeleteItem;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseWheelEvent OnMouseWheelUp;
    TMouseWheelEvent OnMouseWheelDown;

    // Obsolete layout entries.
    bool LegacyFrameFlat() const { return false; }
    void SetLegacyFrameFlat(bool v);
    TFrameStyle LegacyFrameFocusStyle() const { return FFrameHotStyle; }
    void SetLegacyFrameFocusStyle(TFrameStyle v) { SetFrameHotStyle(v); }
    TFrameStyle LegacyFrameFlatStyle() const { return TFrameStyleEx::fsNone; }
    void SetLegacyFrameFlatStyle(TFrameStyle) {}

    // True when a frame controller with that notification bit is assigned (such values are not stored).
    bool ControlledBy(TPkFrameControllerProperty property) const;

protected:
    virtual void Change();
    void Notification(TComponent* component, TOperation operation) override;
    void ColorChanged() override;
    void ParentColorChanged() override;
    void ListMade(QAbstractItemView* view) override;
    void EditMade(QLineEdit* edit) override;
    bool WheelDown();
    bool WheelUp();
    QComboBox* Combo() const;
    // The edit part, made now if the style has one and it is not made yet.
    QLineEdit* Edit();
    bool InSetValue() const { return FInSetValue; }
    bool FInSetValue = false;

private:
    void SetColorQuiet(TColor v);
    void ListBackspace();
    bool EditKeyPress(char& key);
    bool KeyPressInner(char& key);
    bool EditBackspace();
    void RestartTimer();
    void SetUpEditPart();
    void ListClosed();
    bool PopupEvent(QObject* object, QEvent* e);
    std::unique_ptr<TPkPopupWatch> FPopupWatch;
    bool FPicked = false;
    // The press that opened the list, until its release: that release leaves the list open.
    bool FOpeningPress = false;
    QPoint FOpeningPressAt;
    void PaintPlatformCombo(TCanvas& canvas, const TRect& br);
    TRect ButtonRect() const;

    bool FAutoComplete = true, FAllowEdit = true, FBeepOnInvalidKey = true;
    bool FFlatButtons = false;
    TColor FFlatButtonColor = clBtnFace;
    bool FUpdatingColor = false;
    TColor FDisabledColor = clBtnFace, FReadOnlyColor = clInfoBk;
    bool FReadOnlyColorOnFocus = false;
    TColor FFocusColor = clWindow, FNormalColor = clWindow;
    TColor FFrameColor = clBtnShadow;
    TPkFrameController* FFrameController = nullptr;
    TPkFrameControllerNotifications FFrameControllerNotifications = AllFrameNotifications;
    TColor FFrameHotColor = clBtnShadow;
    bool FFrameHotTrack = false;
    TFrameStyle FFrameHotStyle = TFrameStyleEx::fsFlatBold;
    TSides FFrameSides = AllSides;
    TFrameStyle FFrameStyle = TFrameStyleEx::fsFlat;
    bool FFrameVisible = false;
    TFramingPreference FFramingPreference = TFramingPreference::fpXPThemes;
    bool FKeepSearchCase = false;
    std::string FSearchString;
    int FDropDownWidth = 0;
    int FKeyCount = 0;
    std::unique_ptr<TTimer> FTimer;
    bool FTabOnEnter = false, FTyping = false, FEnterPressed = false, FReadOnly = false, FSysKeyDown = false;
    bool FInControl = false, FOverControl = false, FShowFocus = true, FIsFocused = false;
    int FActualDropDownWidth = 0;
    int FMaxLength = 0;
    bool FAutoDropDown = false, FAutoCloseUp = false;
    TEditCharCase FCharCase = TEditCharCase::ecNormal;
    int FItemHeight = 16;
    std::string FTextHint;
    std::unique_ptr<TPkMouseWatch> FWatch;
    TCanvas* FDrawCanvas = nullptr;
};

class TPkComboBox : public TPkCustomComboBox {
    KV_CLASS(TPkComboBox)
public:
    explicit TPkComboBox(TComponent* owner);
    TPkComboBox(TComponent* owner, TComboBoxStyle style);
    ~TPkComboBox() override;

    TStrings* Values() const { return FValues.get(); }
    virtual void SetValues(TStrings* v);
    virtual std::string GetItemValue(int index) const;
    virtual std::string GetValue() const;
    virtual void SetValue(const std::string& v);
    void ClearItemsValues();
    void AddItemValue(const std::string& item, const std::string& value);
    void InsertItemValue(int index, const std::string& item, const std::string& value);
    void DeleteItemValue(int index);
    void Click() override;

protected:
    void Change() override;

private:
    void FollowSelection();
    std::string FValue;
    std::unique_ptr<TStrings> FValues;
    bool FForceSetValue = false;
};

} // namespace kv
