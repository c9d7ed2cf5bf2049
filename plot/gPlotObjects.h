#pragma once
// Everything drawn inside a plot is a plot object: owned by the plot control, kept by the plot's object
// managers, reporting to them through callbacks (change, layout change, insert, remove, rename, set
// focus, edit, invalidate now) and taking mouse and key input through the virtual operations below.
// Layout objects are stacked around the data view; plot buttons are the small clickable squares of
// legends, tables and toolbars, repeating while held.

#include "platform/core/Properties.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Menus.h"

#include <cstdint>
#include <memory>
#include <string>

class TTimer;

namespace kv {

class TgPlotObject;

// The mouse position and state handed to every mouse operation of a plot object.
struct TgPlotMouseData {
    int X = 0, Y = 0; // client pixels
    int ScreenX = 0, ScreenY = 0;
    int XAxisPixels = 0, YAxisPixels = 0; // (X, Y), or (Y, X) when the plot swaps its axes
    TShiftState Shift;
    TMouseButton Button = TMouseButton::mbLeft;
    bool DblClickActive = false;
};

// What a hint hook fills in; the plot shows its hint window from it.
struct TgHintData {
    std::string Text;
    int Top = 0, Left = 0, Width = 0, Height = 0;
    bool Visible = false;
};

// What a plot object needs of the plot control that owns it. The plot control implements it; an owner
// without it receives nothing.
class TgPlotObjectHost {
public:
    virtual void DoObjectMouseDown(TgPlotObject* object, TMouseButton button, TShiftState shift, int x,
                                   int y) = 0;
    virtual void DoObjectMouseMove(TgPlotObject* object, TShiftState shift, int x, int y) = 0;
    virtual void DoObjectMouseUp(TgPlotObject* object, TMouseButton button, TShiftState shift, int x,
                                 int y) = 0;
    virtual void DoObjectMouseWheel(TgPlotObject* object, int wheelDelta, TShiftState shift,
                                    TPoint mousePos) = 0;
    virtual void DoObjectPopupMenu(TgPlotObject* object, bool& handled, int screenX, int screenY) = 0;
    virtual void DoObjectGotFocus(TgPlotObject* object) = 0;
    virtual void DoObjectLostFocus(TgPlotObject* object) = 0;
    // The text after the plot's translation list (the text itself when nothing replaces it).
    virtual std::string FindReplacement(const std::string& text) = 0;

protected:
    ~TgPlotObjectHost() = default;
};

class TgPlotObject : public TPersistent {
    KV_CLASS(TgPlotObject)
public:
    TgPlotObject(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                 TNotifyEvent onRename);
    // Tells the managers first (remove), then asks for a new layout.
    ~TgPlotObject() override;
    // The remove notification and layout change of the destructor, sent once. A concrete kind's
    // destructor calls it first, so that what hears of the removal still sees the object's own kind.
    void NotifyRemove();

    TComponent* Owner() const { return FOwner; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& value);
    const std::string& NameOld() const { return FNameOld; }
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool value);
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool value);
    int Layer() const { return FLayer; }
    void SetLayer(int value);
    bool PopupEnabled() const { return FPopupEnabled; }
    void SetPopupEnabled(bool value);
    bool CanFocus() const { return FCanFocus; }
    void SetCanFocus(bool value);
    bool UserSelected() const { return FUserSelected; }
    void SetUserSelected(bool value);
    bool UserCanEdit() const { return FUserCanEdit; }
    void SetUserCanEdit(bool value) { FUserCanEdit = value; }
    TShiftState ShiftState() const { return FShiftState; }
    void SetShiftState(TShiftState value) { FShiftState = value; }
    bool XYAxesReversed() const { return FXYAxesReversed; }
    virtual void SetXYAxesReversed(bool value) { FXYAxesReversed = value; }
    bool CanDraw() const { return FCanDraw; }
    bool MouseDown() const { return FMouseDown; }
    bool MouseDownPopup() const { return FMouseDownPopup; }
    TgPlotObject* MouseOverObject() const { return FMouseOverObject; }

    // Callbacks the managers set.
    TNotifyEvent OnChange, OnLayoutChange, OnRemove, OnInsert, OnRename, OnSetFocus, OnEdit, OnInvalidateNow;

    virtual void DoChange();
    virtual void DoLayoutChange();
    virtual void NotificationAxisRemove(TObject* sender);
    virtual void NotificationAxisRename(TObject* sender);
    virtual void NotificationFocusChange(TObject* sender);
    virtual void DrawSetup() { FCanDraw = true; }
    virtual void Draw(TCanvas& canvas, TColor backGroundColor);
    virtual void gMouseDown(TMouseButton button, TShiftState shift, int x, int y, int screenX, int screenY,
                            TPopupMenu* popupMenu);
    virtual void gMouseMove(TgHintData& hintData, TShiftState shift, int x, int y, int screenX, int screenY,
                            bool dblClickActive);
    virtual void gMouseUp(TMouseButton button, TShiftState shift, int x, int y, int screenX, int screenY,
                          bool dblClickActive, TPopupMenu* popupMenu);
    virtual bool gMouseHitTest(const TgPlotMouseData& mouseData);
    virtual bool gMouseWheel(int wheelDelta, TShiftState shift, TPoint mousePos);
    virtual void DoMouseHint(const TgPlotMouseData& mouseData, TgHintData& hintData);
    virtual void DoMouseLeft(const TgPlotMouseData& mouseData);
    virtual void DoMouseRight(const TgPlotMouseData& mouseData);
    virtual void DoMouseMove(const TgPlotMouseData& mouseData);
    virtual void DoMouseUp(const TgPlotMouseData& mouseData);
    virtual bool DoMouseWheel(int wheelDelta, TShiftState shift, int x, int y);
    virtual void DoGotFocus();
    virtual void DoLostFocus();
    virtual void DoMouseNotOver() {}
    virtual TgPlotObject* GetMouseOverObject(int x, int y);
    virtual TCursor GetMouseCursor(TPoint point);
    virtual void gKeyDown(std::uint16_t& key, TShiftState shift, TPopupMenu* popupMenu);
    virtual void DoInsert();
    virtual void BuildPopupMenu(TPopupMenu* popupMenu);
    // Where a popup opened from the keyboard appears, in client pixels; false: build it but show none.
    virtual bool GetPopupCenter(TPoint& center);
    // Shows the popup menu at screen coordinates.
    virtual void ShowPopup(TPopupMenu* popupMenu, int screenX, int screenY);

    bool HitTest(int x, int y);
    void CancelMouseDownPopup() { FMouseDownPopup = false; }
    std::string TranslateString(const std::string& text);
    void AddEditMenuItem(TPopupMenu* popupMenu);
    std::string GetLayerText() const;
    TgPlotMouseData MakeMouseData(int x, int y, int screenX, int screenY) const;

protected:
    // Store a changed value, then the notification (DoChange, DoLayoutChange, or none when null).
    using TNotify = void (TgPlotObject::*)();
    void SetBooleanProperty(bool value, bool& field, TNotify notify);
    void SetColorProperty(TColor value, TColor& field, TNotify notify);
    void SetDoubleProperty(double value, double& field, TNotify notify);
    void SetIntegerProperty(int value, int& field, TNotify notify);
    void SetStringProperty(const std::string& value, std::string& field, TNotify notify);
    void DoRename();
    void DoSetFocus();
    // Lets go of the user's selection when another selected object takes the focus.
    void YieldSelectionTo(TObject* sender);
    void DoInvalidateNow();
    void DoEditMenuItemClick();
    TgPlotObjectHost* Host() const;

    std::string FName, FNameOld;
    TComponent* FOwner;
    TShiftState FShiftState;
    bool FVisible = true;
    bool FEnabled = true;
    int FLayer = 100;
    bool FPopupEnabled = true;
    bool FCanFocus = true;
    bool FUserSelected = false;
    bool FUserCanEdit = true;
    bool FXYAxesReversed = false;
    bool FCanDraw = false;
    TgPlotObject* FMouseOverObject = nullptr;
    bool FMouseDown = false;
    bool FMouseDownPopup = false;

private:
    bool FRemoveNotified = false;
};

// The kinds a manager keeps; its constructor refuses missing callbacks.
class TgPlotManagerObject : public TgPlotObject {
    KV_CLASS(TgPlotManagerObject)
public:
    // Raises "Owner must be assigned", "OnChange event handler can not be null", ... in that order.
    TgPlotManagerObject(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                        TNotifyEvent onRemove, TNotifyEvent onRename);
};

// Objects stacked on a side of the data view.
class TgPlotLayoutObject : public TgPlotManagerObject {
    KV_CLASS(TgPlotLayoutObject)
public:
    using TgPlotManagerObject::TgPlotManagerObject;

    bool Horizontal() const { return FHorizontal; }
    void SetHorizontal(bool value) { SetBooleanProperty(value, FHorizontal, &TgPlotObject::DoLayoutChange); }
    int ZOrder() const { return FZOrder; }
    void SetZOrder(int value) { SetIntegerProperty(value, FZOrder, &TgPlotObject::DoLayoutChange); }
    double StartPercent() const { return FStartPercent; }
    void SetStartPercent(double value);
    double StopPercent() const { return FStopPercent; }
    void SetStopPercent(double value);
    void SetStartStopPercent(double start, double stop);
    bool ReverseSide() const { return FReverseSide; }
    void SetReverseSide(bool value) { SetBooleanProperty(value, FReverseSide, &TgPlotObject::DoChange); }
    bool ForceStacking() const { return FForceStacking; }
    void SetForceStacking(bool value) {
        SetBooleanProperty(value, FForceStacking, &TgPlotObject::DoLayoutChange);
    }
    bool StartStacked() const { return FStartStacked; }
    void SetStartStacked(bool value) { FStartStacked = value; }
    bool StopStacked() const { return FStopStacked; }
    void SetStopStacked(bool value) { FStopStacked = value; }

    TRect DrawRect() const { return {FLeft, FTop, FRight, FBottom}; }
    void SetDrawRect(const TRect& r);
    TRect LayoutRect() const { return {FLayoutLeft, FLayoutTop, FLayoutRight, FLayoutBottom}; }
    void SetLayoutRect(const TRect& r);
    int LayoutWidth() const { return FLayoutRight - FLayoutLeft; }
    int LayoutHeight() const { return FLayoutBottom - FLayoutTop; }
    int Width() const { return FRight - FLeft; }
    int Height() const { return FBottom - FTop; }
    std::string GetZOrderText() const;
    std::string GetStartPercentText() const;

    virtual bool GetIsHorz() const { return FHorizontal; }
    virtual bool GetIsVert() const { return !FHorizontal; }
    bool IsHorz() const { return GetIsHorz(); }
    bool IsVert() const { return GetIsVert(); }
    // Pixels the object needs across its side, and beyond the ends of its side.
    virtual int GetRequiredWidth(TCanvas& canvas);
    virtual int GetRequiredEndsMargin(TCanvas& canvas);

    bool gMouseHitTest(const TgPlotMouseData& mouseData) override;
    void DoInsert() override;
    bool GetPopupCenter(TPoint& center) override;

protected:
    double FStopPercent = 100;
    double FStartPercent = 0;
    int FZOrder = 0;
    bool FHorizontal = false;
    bool FReverseSide = false;
    int FBottom = 0, FLeft = 0, FTop = 0, FRight = 0;
    bool FStartStacked = false, FStopStacked = false;
    int FLayoutBottom = 0, FLayoutLeft = 0, FLayoutTop = 0, FLayoutRight = 0;
    bool FForceStacking = false;
};

// A small clickable square; with TimerEnabled it clicks after 500 ms held, then every 50 ms, and once
// more when released over it.
class TgPlotButton : public TgPlotObject {
    KV_CLASS(TgPlotButton)
public:
    explicit TgPlotButton(TComponent* owner);
    ~TgPlotButton() override;

    TRect DrawRect() const { return {FLeft, FTop, FRight, FBottom}; }
    void SetDrawRect(const TRect& r);
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Right() const { return FRight; }
    int Bottom() const { return FBottom; }
    int Width() const { return FRight - FLeft; }
    int Height() const { return FBottom - FTop; }
    bool Down() const { return FDown; }
    void SetDown(bool value);
    bool TimerEnabled() const { return FTimerEnabled; }
    void SetTimerEnabled(bool value) { FTimerEnabled = value; }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value) { FGroupIndex = value; }
    bool TimerRunning() const { return FTimer != nullptr; }

    TNotifyEvent OnClick, OnGroupClick, OnInvalidate, OnDownChange;

    void SetEnabled(bool value) override;
    void DoMouseLeft(const TgPlotMouseData& mouseData) override;
    void DoMouseMove(const TgPlotMouseData& mouseData) override;
    void DoMouseUp(const TgPlotMouseData& mouseData) override;

private:
    void Invalidate();
    void TimerTick();

    int FTop = 0, FBottom = 0, FRight = 0, FLeft = 0;
    bool FDown = false;
    std::unique_ptr<TTimer> FTimer;
    bool FFirstTimerMessage = false;
    bool FTimerEnabled = false;
    int FGroupIndex = 0;
};

// A rectangle kept in an object list.
class TgPlotRectObject : public TObject {
public:
    TRect ARect;
};

// A popup item tagged by the builder that made it.
class TgMenuItem : public TMenuItem {
public:
    using TMenuItem::TMenuItem;
    std::string AString;
};

} // namespace kv
