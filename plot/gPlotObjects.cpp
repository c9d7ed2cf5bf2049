#include "plot/gPlotObjects.h"

#include "plot/gClasses.h"

#include "platform/sys/Scheduler.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kv {

KV_REGISTER_CLASS(TgPlotObject, TPersistent, b) {
    b.Prop("Name", &TgPlotObject::Name, &TgPlotObject::SetName);
    b.Prop("Visible", &TgPlotObject::Visible, &TgPlotObject::SetVisible).Default(true);
    b.Prop("Enabled", &TgPlotObject::Enabled, &TgPlotObject::SetEnabled).Default(true);
    b.Prop("Layer", &TgPlotObject::Layer, &TgPlotObject::SetLayer).Default(100);
    b.Prop("PopupEnabled", &TgPlotObject::PopupEnabled, &TgPlotObject::SetPopupEnabled).Default(true);
    b.Prop("CanFocus", &TgPlotObject::CanFocus, &TgPlotObject::SetCanFocus).Default(true);
}

KV_REGISTER_CLASS(TgPlotManagerObject, TgPlotObject, b) {}

KV_REGISTER_CLASS(TgPlotLayoutObject, TgPlotManagerObject, b) {
    b.Prop("Horizontal", &TgPlotLayoutObject::Horizontal, &TgPlotLayoutObject::SetHorizontal);
    b.Prop("ZOrder", &TgPlotLayoutObject::ZOrder, &TgPlotLayoutObject::SetZOrder);
    b.Prop("StartPercent", &TgPlotLayoutObject::StartPercent, &TgPlotLayoutObject::SetStartPercent);
    b.Prop("StopPercent", &TgPlotLayoutObject::StopPercent, &TgPlotLayoutObject::SetStopPercent);
}

KV_REGISTER_CLASS(TgPlotButton, TgPlotObject, b) {}

// ---------------------------------------------------------------------------------------------------
// TgPlotObject

TgPlotObject::TgPlotObject(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                           TNotifyEvent onRemove, TNotifyEvent onRename)
    : OnChange(std::move(onChange)), OnRemove(std::move(onRemove)), OnInsert(std::move(onInsert)),
      OnRename(std::move(onRename)), FOwner(owner) {}

TgPlotObject::~TgPlotObject() {
    NotifyRemove();
}

void TgPlotObject::NotifyRemove() {
    if (FRemoveNotified)
        return;
    FRemoveNotified = true;
    // The managers drop the object before it goes; a plot shutting down has cleared these first.
    if (OnRemove)
        OnRemove(this);
    DoLayoutChange();
}

TgPlotObjectHost* TgPlotObject::Host() const {
    return dynamic_cast<TgPlotObjectHost*>(FOwner);
}

void TgPlotObject::SetName(const std::string& value) {
    if (value == FName)
        return;
    FNameOld = FName;
    FName = value;
    DoRename();
}

void TgPlotObject::DoRename() {
    if (OnRename)
        OnRename(this);
    DoChange();
}

void TgPlotObject::SetVisible(bool value) {
    if (value == FVisible)
        return;
    FVisible = value;
    DoChange();
}

void TgPlotObject::SetEnabled(bool value) {
    if (value == FEnabled)
        return;
    FEnabled = value;
    if (!value) {
        FMouseDown = false;
        SetUserSelected(false);
    }
    DoChange();
}

void TgPlotObject::SetLayer(int value) {
    SetIntegerProperty(value, FLayer, &TgPlotObject::DoChange);
}

void TgPlotObject::SetPopupEnabled(bool value) {
    SetBooleanProperty(value, FPopupEnabled, &TgPlotObject::DoChange);
}

void TgPlotObject::SetCanFocus(bool value) {
    SetBooleanProperty(value, FCanFocus, &TgPlotObject::DoChange);
}

void TgPlotObject::SetUserSelected(bool value) {
    if (value == FUserSelected)
        return;
    FUserSelected = value;
    DoInvalidateNow();
    if (value) {
        DoSetFocus();
        DoGotFocus();
    } else {
        DoLostFocus();
    }
}

void TgPlotObject::YieldSelectionTo(TObject* sender) {
    auto* other = dynamic_cast<TgPlotObject*>(sender);
    if (other && other != this && other->UserSelected())
        SetUserSelected(false);
}

void TgPlotObject::DoSetFocus() {
    if (OnSetFocus)
        OnSetFocus(this);
}

void TgPlotObject::DoInvalidateNow() {
    if (OnInvalidateNow)
        OnInvalidateNow(this);
}

void TgPlotObject::DoChange() {
    if (OnChange)
        OnChange(this);
}

void TgPlotObject::DoLayoutChange() {
    if (OnLayoutChange)
        OnLayoutChange(this);
    DoChange();
}

void TgPlotObject::NotificationAxisRemove(TObject*) {}
void TgPlotObject::NotificationAxisRename(TObject*) {}
void TgPlotObject::NotificationFocusChange(TObject*) {}
void TgPlotObject::Draw(TCanvas&, TColor) {}
void TgPlotObject::DoMouseHint(const TgPlotMouseData&, TgHintData&) {}
void TgPlotObject::DoMouseLeft(const TgPlotMouseData&) {}
void TgPlotObject::DoMouseRight(const TgPlotMouseData&) {}
void TgPlotObject::DoMouseMove(const TgPlotMouseData&) {}
void TgPlotObject::DoMouseUp(const TgPlotMouseData&) {}

bool TgPlotObject::DoMouseWheel(int, TShiftState, int, int) {
    return false;
}

bool TgPlotObject::gMouseHitTest(const TgPlotMouseData&) {
    return false;
}

void TgPlotObject::DoGotFocus() {
    if (auto* h = Host())
        h->DoObjectGotFocus(this);
}

void TgPlotObject::DoLostFocus() {
    if (auto* h = Host())
        h->DoObjectLostFocus(this);
}

TgPlotMouseData TgPlotObject::MakeMouseData(int x, int y, int screenX, int screenY) const {
    TgPlotMouseData d;
    d.X = x;
    d.Y = y;
    d.ScreenX = screenX;
    d.ScreenY = screenY;
    d.XAxisPixels = FXYAxesReversed ? y : x;
    d.YAxisPixels = FXYAxesReversed ? x : y;
    return d;
}

void TgPlotObject::gMouseDown(TMouseButton button, TShiftState shift, int x, int y, int screenX, int screenY,
                              TPopupMenu*) {
    if (!FEnabled)
        return;
    TgPlotMouseData d = MakeMouseData(x, y, screenX, screenY);
    d.Shift = shift;
    d.Button = button;
    FMouseDownPopup = false;
    if (button == TMouseButton::mbRight) {
        if (FPopupEnabled)
            FMouseDownPopup = true;
        FMouseDown = true;
        DoMouseRight(d);
    } else if (button == TMouseButton::mbLeft) {
        FMouseDown = true;
        DoMouseLeft(d);
    }
    if (gMouseHitTest(d))
        if (auto* h = Host())
            h->DoObjectMouseDown(this, button, shift, x, y);
}

void TgPlotObject::gMouseMove(TgHintData& hintData, TShiftState shift, int x, int y, int screenX, int screenY,
                              bool dblClickActive) {
    TgPlotMouseData d = MakeMouseData(x, y, screenX, screenY);
    d.Shift = shift;
    d.DblClickActive = dblClickActive;
    if (FMouseDown)
        DoMouseMove(d);
    else
        DoMouseHint(d, hintData);
    if (gMouseHitTest(d))
        if (auto* h = Host())
            h->DoObjectMouseMove(this, shift, x, y);
}

void TgPlotObject::gMouseUp(TMouseButton button, TShiftState shift, int x, int y, int screenX, int screenY,
                            bool dblClickActive, TPopupMenu* popupMenu) {
    TgPlotMouseData d = MakeMouseData(x, y, screenX, screenY);
    d.Shift = shift;
    d.Button = button;
    d.DblClickActive = dblClickActive;
    if (FMouseDownPopup && gMouseHitTest(d)) {
        bool handled = false;
        if (auto* h = Host())
            h->DoObjectPopupMenu(this, handled, screenX, screenY);
        if (!handled && popupMenu) {
            BuildPopupMenu(popupMenu);
            ShowPopup(popupMenu, screenX, screenY);
        }
    }
    FMouseDownPopup = false;
    DoMouseUp(d);
    // The release goes to the object that took the press, wherever it happens.
    if (FMouseDown) {
        FMouseDown = false;
        if (auto* h = Host())
            h->DoObjectMouseUp(this, button, shift, x, y);
    }
}

bool TgPlotObject::gMouseWheel(int wheelDelta, TShiftState shift, TPoint mousePos) {
    bool result = DoMouseWheel(wheelDelta, shift, mousePos.X, mousePos.Y);
    if (auto* h = Host())
        h->DoObjectMouseWheel(this, wheelDelta, shift, mousePos);
    return result;
}

TgPlotObject* TgPlotObject::GetMouseOverObject(int, int) {
    FMouseOverObject = this;
    return this;
}

TCursor TgPlotObject::GetMouseCursor(TPoint point) {
    if (!FMouseOverObject) {
        FMouseOverObject = this;
        return crDefault;
    }
    if (FMouseOverObject != this)
        return FMouseOverObject->GetMouseCursor(point);
    return crDefault;
}

void TgPlotObject::gKeyDown(std::uint16_t& key, TShiftState shift, TPopupMenu* popupMenu) {
    bool shiftF10 = key == VK_F1 + 9 && shift.Contains(TShiftItem::ssShift);
    if (!(shiftF10 || key == VK_APPS) || !FPopupEnabled)
        return;
    bool handled = false;
    if (auto* h = Host())
        h->DoObjectPopupMenu(this, handled, 0, 0);
    if (handled || !popupMenu)
        return;
    BuildPopupMenu(popupMenu);
    TPoint center;
    if (!GetPopupCenter(center))
        return;
    if (auto* control = dynamic_cast<TControl*>(FOwner))
        center = control->ClientToScreen(center);
    ShowPopup(popupMenu, center.X, center.Y);
}

bool TgPlotObject::GetPopupCenter(TPoint&) {
    return false;
}

void TgPlotObject::ShowPopup(TPopupMenu* popupMenu, int screenX, int screenY) {
    popupMenu->Popup(screenX, screenY);
}

void TgPlotObject::DoInsert() {
    if (OnInsert)
        OnInsert(this);
}

void TgPlotObject::BuildPopupMenu(TPopupMenu* popupMenu) {
    TMenuItem* items = popupMenu->Items();
    while (items->Count() > 0) {
        TMenuItem* item = items->Items(items->Count() - 1);
        items->Remove(item);
        delete item;
    }
}

bool TgPlotObject::HitTest(int x, int y) {
    return gMouseHitTest(MakeMouseData(x, y, 0, 0));
}

std::string TgPlotObject::TranslateString(const std::string& text) {
    auto* h = Host();
    return h ? h->FindReplacement(text) : text;
}

void TgPlotObject::AddEditMenuItem(TPopupMenu* popupMenu) {
    if (!FUserCanEdit)
        return;
    auto* item = new TgMenuItem(popupMenu);
    item->SetCaption(TranslateString("Edit..."));
    item->SetVisible(true);
    item->OnClick = [this](TObject*) { DoEditMenuItemClick(); };
    popupMenu->Items()->Add(item);
}

void TgPlotObject::DoEditMenuItemClick() {
    if (OnEdit)
        OnEdit(this);
}

std::string TgPlotObject::GetLayerText() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%06d", FLayer);
    return buf;
}

void TgPlotObject::SetBooleanProperty(bool value, bool& field, TNotify notify) {
    if (value == field)
        return;
    field = value;
    if (notify)
        (this->*notify)();
}

void TgPlotObject::SetColorProperty(TColor value, TColor& field, TNotify notify) {
    if (value == field)
        return;
    field = value;
    if (notify)
        (this->*notify)();
}

void TgPlotObject::SetDoubleProperty(double value, double& field, TNotify notify) {
    if (value == field)
        return;
    field = value;
    if (notify)
        (this->*notify)();
}

void TgPlotObject::SetIntegerProperty(int value, int& field, TNotify notify) {
    if (value == field)
        return;
    field = value;
    if (notify)
        (this->*notify)();
}

void TgPlotObject::SetStringProperty(const std::string& value, std::string& field, TNotify notify) {
    if (value == field)
        return;
    field = value;
    if (notify)
        (this->*notify)();
}

// ---------------------------------------------------------------------------------------------------
// TgPlotManagerObject

TgPlotManagerObject::TgPlotManagerObject(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                                         TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotObject(owner, std::move(onChange), std::move(onInsert), std::move(onRemove),
                   std::move(onRename)) {
    const char* error = !owner      ? "Owner must be assigned"
                        : !OnChange ? "OnChange event handler can not be null"
                        : !OnInsert ? "OnInsert event handler can not be null"
                        : !OnRemove ? "OnRemove event handler can not be null"
                        : !OnRename ? "AOnRename event handler can not be null"
                                    : nullptr;
    if (error) {
        // Not yet announced: no manager must hear of the object on its way out.
        OnChange = OnRemove = OnInsert = OnRename = nullptr;
        throw EKvError(error);
    }
}

// ---------------------------------------------------------------------------------------------------
// TgPlotLayoutObject

void TgPlotLayoutObject::SetStartPercent(double v) {
    v = std::clamp(v, 0.0, 100.0);
    if (FStopPercent - v < 1) {
        FStopPercent = v + 1;
        if (FStopPercent > 100) {
            FStopPercent = 100;
            v = 99;
        }
    }
    SetDoubleProperty(v, FStartPercent, &TgPlotObject::DoChange);
}

void TgPlotLayoutObject::SetStopPercent(double v) {
    v = std::clamp(v, 0.0, 100.0);
    if (v - FStartPercent < 1) {
        FStartPercent = v - 1;
        if (FStartPercent < 0) {
            FStartPercent = 0;
            v = 1;
        }
    }
    SetDoubleProperty(v, FStopPercent, &TgPlotObject::DoChange);
}

void TgPlotLayoutObject::SetStartStopPercent(double start, double stop) {
    FStartPercent = start;
    FStopPercent = stop;
    DoChange();
}

void TgPlotLayoutObject::SetDrawRect(const TRect& r) {
    FLeft = r.Left;
    FTop = r.Top;
    FRight = r.Right;
    FBottom = r.Bottom;
}

void TgPlotLayoutObject::SetLayoutRect(const TRect& r) {
    FLayoutLeft = r.Left;
    FLayoutTop = r.Top;
    FLayoutRight = r.Right;
    FLayoutBottom = r.Bottom;
}

std::string TgPlotLayoutObject::GetZOrderText() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%03d", FZOrder);
    return buf;
}

std::string TgPlotLayoutObject::GetStartPercentText() const {
    char buf[32];
    // Halves go to the even neighbour, as the sort keys always had it.
    std::snprintf(buf, sizeof buf, "%03d", static_cast<int>(std::nearbyint(FStartPercent)));
    return buf;
}

int TgPlotLayoutObject::GetRequiredWidth(TCanvas&) {
    return 0;
}

int TgPlotLayoutObject::GetRequiredEndsMargin(TCanvas&) {
    return 0;
}

bool TgPlotLayoutObject::gMouseHitTest(const TgPlotMouseData& d) {
    return d.X >= FLeft && d.X < FRight && d.Y >= FTop && d.Y < FBottom;
}

void TgPlotLayoutObject::DoInsert() {
    TgPlotObject::DoInsert();
    if (OnLayoutChange)
        OnLayoutChange(this);
}

bool TgPlotLayoutObject::GetPopupCenter(TPoint& center) {
    center = {(FLeft + FRight) / 2, (FTop + FBottom) / 2};
    return true;
}

// ---------------------------------------------------------------------------------------------------
// TgPlotButton

TgPlotButton::TgPlotButton(TComponent* owner) : TgPlotObject(owner, nullptr, nullptr, nullptr, nullptr) {}

TgPlotButton::~TgPlotButton() = default;

void TgPlotButton::SetDrawRect(const TRect& r) {
    FLeft = r.Left;
    FTop = r.Top;
    FRight = r.Right;
    FBottom = r.Bottom;
}

void TgPlotButton::Invalidate() {
    if (OnInvalidate)
        OnInvalidate(this);
}

void TgPlotButton::SetDown(bool value) {
    if (value == FDown)
        return;
    FDown = value;
    Invalidate();
    if (OnDownChange)
        OnDownChange(this);
}

void TgPlotButton::SetEnabled(bool value) {
    TgPlotObject::SetEnabled(value);
    if (!Enabled())
        FTimer.reset();
}

void TgPlotButton::DoMouseLeft(const TgPlotMouseData&) {
    if (FTimerEnabled) {
        if (!FTimer) {
            FTimer = std::make_unique<TTimer>(nullptr);
            FTimer->SetEnabled(false);
            FTimer->SetInterval(500);
            FTimer->OnTimer = [this] { TimerTick(); };
            FTimer->SetEnabled(true);
        }
        FFirstTimerMessage = true;
    }
    Invalidate();
}

void TgPlotButton::TimerTick() {
    if (FFirstTimerMessage) {
        FFirstTimerMessage = false;
        FTimer->SetInterval(50);
    }
    if (OnClick)
        OnClick(this);
    Invalidate();
}

void TgPlotButton::DoMouseMove(const TgPlotMouseData&) {}

void TgPlotButton::DoMouseUp(const TgPlotMouseData& d) {
    if (!FMouseDown)
        return;
    FMouseDown = false;
    FTimer.reset();
    Invalidate();
    if (d.X >= FLeft && d.X < FRight && d.Y >= FTop && d.Y < FBottom) {
        if (FGroupIndex != 0 && OnGroupClick)
            OnGroupClick(this);
        if (OnClick)
            OnClick(this);
    }
}

} // namespace kv
