#pragma once
// The editors' self-drawn check box and radio group, painted off-screen through the plot library's
// control base and driven by its input hooks.

#include "plot/gVCLComponent.h"

#include "platform/gui/StdButtons.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kv {

class TgCheckBox : public TgCustomComponent {
    KV_CLASS(TgCheckBox)
public:
    explicit TgCheckBox(TComponent* owner);
    ~TgCheckBox() override;

    bool Checked() const { return FChecked; }
    // OnRequestEdit may refuse the change; an accepted one repaints, notifies and updates bound items.
    void SetChecked(bool value);
    // The caption is the control's text (Caption/SetCaption of the control).
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);

    TNotifyEvent OnChange;
    // Only for changes made by the user (a click, the space bar), after OnChange.
    TNotifyEvent OnChangeUser;

    void gPaint(TCanvas& canvas) override;
    void gGotFocus() override;
    void gLostFocus() override;
    void gKeyUp(std::uint16_t& key, TShiftState shift) override;
    void gKeyDown(std::uint16_t& key, TShiftState shift) override;
    void gMouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void gMouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

    // Pressed state as painted (mouse held on the control or space held).
    bool MousePressed() const { return FMouseDown; }
    bool KeyPressed() const { return FKeyDown; }

protected:
    // OnChangeProtected, OnChange, then OnChangeUser for a user's change; nothing while loading.
    virtual void DoChange();
    void TextChanged() override;
    void FontChanged() override;
    // Fits the control to its caption (only with AutoSize, not while loading).
    void DoAutoSize();
    // A toggle made by the user: OnChangeUser fires for it.
    void UserToggle();

    bool FMouseDown = false;
    bool FKeyDown = false;
    bool FUserGenerated = false;
    bool FDoingAutoSize = false;
    bool FChecked = false;
    bool FAutoSize = true;
    TLeftRight FAlignment = TLeftRight::taRightJustify;
};

class TgRadioGroup : public TgCustomComponent {
    KV_CLASS(TgRadioGroup)
public:
    explicit TgRadioGroup(TComponent* owner);
    ~TgRadioGroup() override;

    // The caption is the control's text (Caption/SetCaption of the control).
    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* value);
    int ItemIndex() const { return FItemIndex; }
    // Clamped to -1 .. Count - 1.
    void SetItemIndex(int value);
    int Columns() const { return FColumns; }
    // Values below 1 are ignored.
    void SetColumns(int value);

    TNotifyEvent OnChange;
    // Only for changes made by the user (a click, the arrow keys), after OnChange.
    TNotifyEvent OnChangeUser;

    // The item under a point of the control as laid out by the last paint; -1 when the rows or
    // columns have no room (a control smaller than its items).
    int GetItemIndexAtPoint(int x, int y) const;
    // The item under the pressed mouse (-1 when none).
    int MouseDownIndex() const { return FMouseDownIndex; }
    bool MousePressed() const { return FMouseDown; }

    // Lays the items out for the current size, font and columns as the paint does.
    void CalcItemLayout(TCanvas& canvas);
    int ItemsRowStart() const { return FItemsRowStart; }
    double ItemsRowSpacing() const { return FItemsRowSpacing; }
    int ItemsColStart() const { return FItemsColStart; }
    double ItemsColSpacing() const { return FItemsColSpacing; }
    int MaxRows() const { return FMaxRows; }

    void gPaint(TCanvas& canvas) override;
    void gGotFocus() override;
    void gLostFocus() override;
    void gWantSpecialKey(std::uint16_t& charCode, std::int32_t& result) override;
    void gKeyUp(std::uint16_t& key, TShiftState shift) override;
    void gKeyDown(std::uint16_t& key, TShiftState shift) override;
    void gMouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void gMouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void gMouseMove(TShiftState shift, int x, int y) override;

protected:
    // OnChangeProtected, OnChange, then OnChangeUser for a user's change; nothing while loading.
    virtual void DoChange();
    void TextChanged() override;
    void FontChanged() override;
    // Keeps ItemIndex inside the items after the list changed, then repaints.
    void RepairItemIndex();
    void UserSetItemIndex(int value);

    bool FMouseDown = false;
    int FMouseDownIndex = -1;
    bool FKeyDown = false;
    bool FUserGenerated = false;
    int FItemsRowStart = 0;
    double FItemsRowSpacing = 0;
    int FItemsColStart = 14;
    double FItemsColSpacing = 0;
    int FMaxRows = 0;
    std::unique_ptr<TStringList> FItems;
    int FItemIndex = -1;
    int FColumns = 1;
};

} // namespace kv
