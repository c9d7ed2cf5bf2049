#include "plot/gPlotComponent.h"

#include "plot/gPlotLayoutManager.h"

#include <QWidget>

namespace kv {

namespace {

bool PlotInputIsToolBarButton(const TObject* o) {
    return gObjectIsOfClass(o, "TgPlotToolBarButton");
}

bool PlotInputIsLegendButton(const TObject* o) {
    return gObjectIsOfClass(o, "TgPlotLegendButton");
}

bool PlotInputIsToolBar(const TObject* o) {
    return dynamic_cast<const TgPlotToolBar*>(o) || PlotInputIsToolBarButton(o);
}

bool PlotInputIsAxis(const TObject* o) {
    return dynamic_cast<const TgPlotAxis*>(o) != nullptr;
}

// Data views, their level objects and legends are found only where nothing else is.
bool PlotInputIsBackdrop(const TObject* o) {
    return dynamic_cast<const TgPlotDataView*>(o) || dynamic_cast<const TgPlotDataViewLayout*>(o) ||
           dynamic_cast<const TgPlotLegend*>(o);
}

bool PlotInputInside(const TRect& r, int x, int y) {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

// Sets a flag for a scope, and clears it however the scope ends.
struct PlotInputBlock {
    explicit PlotInputBlock(bool& f) : flag(f) { flag = true; }
    ~PlotInputBlock() { flag = false; }
    PlotInputBlock(const PlotInputBlock&) = delete;
    PlotInputBlock& operator=(const PlotInputBlock&) = delete;
    bool& flag;
};

} // namespace

TgPlotMouseData TgPlotComponent::MakeMouseData(int x, int y, TMouseButton button, TShiftState shift) const {
    TgPlotMouseData d;
    d.X = x;
    d.Y = y;
    const TPoint screen = ClientToScreen({x, y});
    d.ScreenX = screen.X;
    d.ScreenY = screen.Y;
    const bool reversed = FMaster && FMaster->XYAxesReverse();
    d.XAxisPixels = reversed ? y : x;
    d.YAxisPixels = reversed ? x : y;
    d.Shift = shift;
    d.Button = button;
    d.DblClickActive = FDBLClickActive;
    return d;
}

TgPlotObject* TgPlotComponent::HitObject(const TgPlotMouseData& d, TgPlotObject*& source) {
    source = nullptr;
    TgPlotObjectManager* all = PlotObjectManager();
    if (!all)
        return nullptr;
    // Selected objects first, then any other, then the data views and legends underneath.
    for (int pass = 0; pass < 3 && !source; ++pass)
        for (int i = 0; i < all->Count(); ++i) {
            TgPlotObject* o = all->GetItem(i);
            if (!o->Enabled() || !o->Visible() || PlotInputIsBackdrop(o) != (pass == 2))
                continue;
            if (pass == 0 && !o->UserSelected())
                continue;
            if (o->gMouseHitTest(d)) {
                source = o;
                break;
            }
        }
    return source ? source->GetMouseOverObject(d.X, d.Y) : nullptr;
}

TgPlotObject* TgPlotComponent::GetObjectAtPoint(const TgPlotMouseData& mouseData) {
    TgPlotObject* source = nullptr;
    return HitObject(mouseData, source);
}

void TgPlotComponent::gMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    FShiftState = shift;
    if (TgPlotObjectManager* all = PlotObjectManager())
        all->SetShiftState(shift);
    FMouseDown = true;
    const TgPlotMouseData d = MakeMouseData(x, y, button, shift);
    TakeKeyboardFocus();
    HideHint();
    if (button == TMouseButton::mbRight)
        ClearAllUserSelections();

    TgPlotObject* source = nullptr;
    TgPlotObject* hit = HitObject(d, source);
    FMouseDownObject = hit;
    FMouseDownSource = source;
    FLastMouseClickObject = FLastMouseClickSource = nullptr;
    if (!hit) {
        ClearAllUserSelections();
        return;
    }
    if (shift.Contains(TShiftItem::ssShift)) {
        FSelectingActive = PlotInputIsAxis(hit);
        hit->SetUserSelected(true);
    } else if (shift.Contains(TShiftItem::ssCtrl)) {
        if (PlotInputIsAxis(hit)) {
            FSelectingActive = true;
            hit->SetUserSelected(!hit->UserSelected());
        } else {
            FSelectingActive = false;
            hit->SetUserSelected(true);
        }
    } else if (!PlotInputIsToolBar(hit) && hit->CanFocus()) {
        hit->SetUserSelected(true);
    }
    // Selecting may have removed the object (a handler of the focus events): then it is forgotten.
    if (FMouseDownObject != hit)
        return;
    if (button == TMouseButton::mbRight)
        CaptureMouse();
    const bool alone = button == TMouseButton::mbRight || dynamic_cast<TgPlotAnnotation*>(hit) ||
                       PlotInputIsLegendButton(hit) || dynamic_cast<TgPlotTableButton*>(hit) ||
                       PlotInputIsToolBarButton(hit) || dynamic_cast<TgPlotLimit*>(hit) || !hit->CanFocus();
    if (alone)
        hit->gMouseDown(button, shift, x, y, d.ScreenX, d.ScreenY, FPopupMenu.get());
    else
        PlotObjectManager()->MouseDownFocusObjects(button, shift, x, y, d.ScreenX, d.ScreenY,
                                                   FPopupMenu.get());
}

void TgPlotComponent::gMouseMove(TShiftState shift, int x, int y) {
    if (GetDesigning() || FSelectingActive)
        return;
    try {
        if ((x < 0 || y < 0 || x >= Width() || y >= Height()) && !FMouseDown && HasMouseCapture())
            ReleaseMouseCapture();
        FShiftState = shift;
        const TgPlotMouseData d = MakeMouseData(x, y, TMouseButton::mbLeft, shift);
        const bool buttonHeld = shift.Contains(TShiftItem::ssLeft) || shift.Contains(TShiftItem::ssRight);

        // Dragging: the move goes where the press went.
        if (buttonHeld && FMouseDownObject) {
            TgHintData ignored;
            if (dynamic_cast<TgPlotAnnotation*>(FMouseDownObject) || PlotInputIsToolBar(FMouseDownObject) ||
                !FMouseDownObject->CanFocus())
                FMouseDownObject->gMouseMove(ignored, shift, x, y, d.ScreenX, d.ScreenY, FDBLClickActive);
            else
                PlotObjectManager()->MouseMoveFocusObjects(ignored, shift, x, y, d.ScreenX, d.ScreenY,
                                                           FDBLClickActive);
            ApplyMouseCursor(crDefault);
            return;
        }

        // A press whose release never came (released outside once the capture had gone) ends here,
        // once: the control no longer counts a button as down.
        if (TgPlotObject* missed = FMouseDownObject) {
            FMouseDownObject = FMouseDownSource = nullptr;
            FMouseDown = false;
            missed->gMouseUp(TMouseButton::mbLeft, shift, x, y, d.ScreenX, d.ScreenY, FDBLClickActive,
                             FPopupMenu.get());
        }
        PlotObjectManager()->MouseUpFocusObjects(TMouseButton::mbLeft, shift, x, y, d.ScreenX, d.ScreenY,
                                                 FDBLClickActive, FPopupMenu.get());

        TgPlotObject* source = nullptr;
        TgPlotObject* hit = HitObject(d, source);
        if (FLastMouseOverObject) {
            if (FLastMouseOverObject != hit)
                FLastMouseOverObject->DoMouseNotOver();
            FLastMouseOverObject = FLastMouseOverSource = nullptr;
        }
        if (!hit) {
            ApplyMouseCursor(crDefault);
            return;
        }
        ApplyMouseCursor(hit->GetMouseCursor({x, y}));

        // Noted now, so that an object the move removes is forgotten at once.
        FLastMouseOverObject = hit;
        FLastMouseOverSource = source;
        TgHintData hint;
        hit->gMouseMove(hint, shift, x, y, d.ScreenX, d.ScreenY, FDBLClickActive);
        if (FLastMouseOverObject != hit)
            return;
        if (FHintsShow) {
            FHintData.Text = hint.Text;
            FHintData.Left = hint.Left;
            FHintData.Top = hint.Top;
            FHintData.Width = hint.Width;
            FHintData.Height = hint.Height;
            if (FMouseDown) {
                HideHint();
            } else if (!hint.Text.empty()) {
                if (FLastHintObject && FLastHintObject != hit && !PlotInputIsToolBarButton(FLastHintObject)) {
                    HideHint();
                    FLastHintObject = FLastHintSource = nullptr;
                } else if (GetTimerRunning() && !FHintData.Visible) {
                    HintTimerStart(FHintsPause);
                } else if (GetTimerRunning() && FHintData.Visible) {
                    if (PlotInputIsToolBarButton(FLastHintObject) ||
                        dynamic_cast<TgPlotChannelCustom*>(FLastHintObject))
                        HintTimerStart(FHintsHidePause);
                    else
                        HideHint();
                } else if (!PlotInputInside(FLastHintShowRect, x, y) && hit != FLastHintObject) {
                    FLastHintX = x;
                    FLastHintY = y;
                    FLastHintObject = hit;
                    FLastHintSource = source;
                    HintTimerStart(FHintsPause);
                }
            } else {
                HideHint();
                FLastHintObject = FLastHintSource = nullptr;
                FLastHintShowRect = {};
            }
            if (FHintData.Visible)
                InvalidateNow();
        }
    } catch (const std::exception&) {
        FLastMouseOverObject = FLastMouseOverSource = nullptr;
    }
}

void TgPlotComponent::gMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (GetDesigning())
        return;
    FMouseDown = false;
    FShiftState = shift;
    HideHint();
    FSelectingActive = false;
    const TgPlotMouseData d = MakeMouseData(x, y, button, shift);
    if (TgPlotObject* down = FMouseDownObject)
        down->gMouseUp(button, shift, x, y, d.ScreenX, d.ScreenY, FDBLClickActive, FPopupMenu.get());
    if (TgPlotObjectManager* all = PlotObjectManager())
        all->MouseUpFocusObjects(button, shift, x, y, d.ScreenX, d.ScreenY, FDBLClickActive,
                                 FPopupMenu.get());
    // Read again: an object removed by its release has been forgotten.
    FLastMouseClickObject = FMouseDownObject;
    FLastMouseClickSource = FMouseDownSource;
    FLastMouseClickButton = button;
    FLastMouseClickShift = shift;
    FLastMouseClickX = x;
    FLastMouseClickY = y;
    FLastMouseClickScreenX = d.ScreenX;
    FLastMouseClickScreenY = d.ScreenY;
    FMouseDownObject = FMouseDownSource = nullptr;
    FDBLClickActive = false;
}

void TgPlotComponent::gDblClick() {
    FDBLClickActive = true;
}

bool TgPlotComponent::gMouseWheel(int wheelDelta, TShiftState shift, TPoint mousePos) {
    if (TgPlotObjectManager* all = PlotObjectManager())
        all->MouseWheelFocusObjects(wheelDelta, shift, mousePos);
    return true;
}

void TgPlotComponent::gKeyDown(std::uint16_t& key, TShiftState shift) {
    if (TgPlotObjectManager* all = PlotObjectManager())
        all->KeyDownFocusObjects(key, shift, FPopupMenu.get());
}

void TgPlotComponent::gWantSpecialKey(std::uint16_t& charCode, std::int32_t& result) {
    // The arrow keys move the selected objects; everything else stays the window's.
    if (charCode >= 37 && charCode <= 40)
        result = 1;
}

// ---------------------------------------------------------------------------------------------------
// Hints

void TgPlotComponent::HintTimerStart(int delay) {
    TimerStop();
    TimerStart(delay, delay);
}

void TgPlotComponent::HintTimerTick() {
    TimerStop();
    if (FHintData.Visible) {
        HideHint();
        if (HasMouseCapture())
            ReleaseMouseCapture();
    } else {
        FHintData.Visible = true;
        FLastHintShowRect = {FLastHintX - 3, FLastHintY - 3, FLastHintX + 3, FLastHintY + 3};
        HintTimerStart(FHintsHidePause);
        if (!HasMouseCapture())
            CaptureMouse();
    }
    InvalidateNow();
}

void TgPlotComponent::HideHint() {
    TimerStop();
    FHintData.Visible = false;
    if (FHintShowing)
        InvalidateNow();
}

void TgPlotComponent::HandleCaptureChanged(TControl* window) {
    FCaptureWindowHandle = window;
    if (window == this) {
        FMouseCaptured = true;
        return;
    }
    FMouseCaptured = false;
    HideHint();
    FJustReleasedCapture = true;
    if (TgPlotObject* over = FLastMouseOverObject) {
        FLastMouseOverObject = FLastMouseOverSource = nullptr;
        over->DoMouseNotOver();
    }
}

// ---------------------------------------------------------------------------------------------------
// Capture, focus and cursor

void TgPlotComponent::CaptureMouse() {
    FMouseCaptured = true;
    FCaptureWindowHandle = this;
    if (QWidget* w = Widget(); w && w->isVisible())
        w->grabMouse();
}

void TgPlotComponent::ReleaseMouseCapture() {
    FMouseCaptured = false;
    if (QWidget* w = Widget(); w && QWidget::mouseGrabber() == w)
        w->releaseMouse();
}

void TgPlotComponent::TakeKeyboardFocus() {
    if (CanFocus())
        SetFocus();
}

void TgPlotComponent::ApplyMouseCursor(TCursor cursor) {
    SetCursor(cursor);
}

// ---------------------------------------------------------------------------------------------------
// Master axes: one axis's input drives every axis of its direction

void TgPlotComponent::ForEachSiblingAxis(TgPlotAxis* axis, const std::function<void(TgPlotAxis*)>& action) {
    if (FMasterAxisBlock)
        return;
    PlotInputBlock block(FMasterAxisBlock);
    const bool x = KindOf(axis) == TEventKind::XAxis;
    const int count = x ? XAxisCount() : YAxisCount();
    std::vector<TgPlotAxis*> siblings;
    for (int i = 0; i < count; ++i)
        if (TgPlotAxis* other = x ? GetXAxis(i) : GetYAxis(i); other && other != axis)
            siblings.push_back(other);
    for (TgPlotAxis* other : siblings)
        action(other);
}

void TgPlotComponent::DoMasterAxisMouseLeft(TgPlotAxis* axis, const TgPlotMouseData& mouseData) {
    ForEachSiblingAxis(axis, [&](TgPlotAxis* other) { other->DoMouseLeft(mouseData); });
}

void TgPlotComponent::DoMasterAxisMouseMove(TgPlotAxis* axis, const TgPlotMouseData& mouseData) {
    ForEachSiblingAxis(axis, [&](TgPlotAxis* other) { other->DoMouseMove(mouseData); });
}

void TgPlotComponent::DoMasterAxisMouseUp(TgPlotAxis* axis, const TgPlotMouseData& mouseData) {
    ForEachSiblingAxis(axis, [&](TgPlotAxis* other) { other->DoMouseUp(mouseData); });
}

void TgPlotComponent::DoMasterAxisMouseWheel(TgPlotAxis* axis, int wheelDelta, TShiftState shift, int x,
                                             int y) {
    ForEachSiblingAxis(axis, [&](TgPlotAxis* other) { other->DoMouseWheel(wheelDelta, shift, x, y); });
}

void TgPlotComponent::DoMasterAxisKeyDown(TgPlotAxis* axis, std::uint16_t& key, TShiftState shift) {
    ForEachSiblingAxis(axis, [&](TgPlotAxis* other) { other->gKeyDown(key, shift, FPopupMenu.get()); });
}

} // namespace kv
