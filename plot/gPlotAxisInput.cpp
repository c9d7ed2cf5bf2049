// Scrolling and zooming an axis: by the user (drag, wheel, keys, popup menu) and by the data view's
// zoom box and the toolbar, through ScrollByFraction, ZoomByPower and ZoomToPixels.

#include "plot/gPlotAxis.h"

#include "plot/gDraw.h"
#include "plot/gPlotComponent.h"
#include "plot/gPlotTable.h"

#include <cmath>
#include <functional>

namespace kv {

namespace {

// Set while an axis hands its key to the other axes of its kind: they scroll with it, but the popup
// menu key opens the menu of the focused axis alone.
bool gAxisInputRepeating = false;

struct AxisInputRepeat {
    AxisInputRepeat() : FWas(gAxisInputRepeating) { gAxisInputRepeating = true; }
    ~AxisInputRepeat() { gAxisInputRepeating = FWas; }
    AxisInputRepeat(const AxisInputRepeat&) = delete;
    AxisInputRepeat& operator=(const AxisInputRepeat&) = delete;
    bool FWas;
};

TgPlotComponent* AxisInputPlot(TComponent* owner) {
    return dynamic_cast<TgPlotComponent*>(owner);
}

// The scroll or zoom amount of a key: a page key moves a whole span, an arrow one hundredth.
double AxisInputKeyAmount(std::uint16_t key) {
    switch (key) {
    case 33: // Page Up
    case 35: // End
        return 1;
    case 34: // Page Down
    case 36: // Home
        return -1;
    case 37: // Left
    case 40: // Down
        return -0.01;
    case 38: // Up
    case 39: // Right
        return 0.01;
    default:
        return 0;
    }
}

bool AxisInputIsLog(const TgPlotAxis& axis) {
    return axis.ScaleType() == TgPlotScaleType::ipstLog10;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// Range steps

void TgPlotAxis::ZoomToPixels(const TRect& rect) {
    int a = IsHorz() ? rect.Left : rect.Bottom;
    int b = IsHorz() ? rect.Right : rect.Top;
    if (ReverseScale())
        std::swap(a, b);
    // A box without extent along the axis would leave no range to show.
    if (a == b)
        return;
    const double newMin = PixelsToPosition(a);
    SetMinSpan(newMin, PixelsToPosition(b) - newMin);
}

void TgPlotAxis::ScrollByFraction(double fraction) {
    if (!std::isfinite(fraction))
        return;
    if (!AxisInputIsLog(*this)) {
        double newMin = Min() + fraction * Span();
        if (FScrollMinMaxEnabled) {
            if (newMin <= FScrollMin)
                newMin = FScrollMin;
            else if (newMin + Span() >= FScrollMax)
                newMin = FScrollMax - Span();
        }
        if (std::isfinite(newMin))
            SetMinSpan(newMin, Span());
        return;
    }
    // Log: the decades shown stay, and move by the fraction of their count. A range that is not
    // positive, or a step beyond the numbers, leaves the range as it is.
    if (!(Min() > 0))
        return;
    const double decades = std::log10(Max()) - std::log10(Min());
    const double factor = std::pow(10.0, fraction * decades);
    double newMin = Min() * factor, newMax = Max() * factor;
    if (FScrollMinMaxEnabled) {
        // A bound that is not positive lies off a log scale and bounds nothing.
        if (FScrollMin > 0 && newMin <= FScrollMin) {
            newMin = FScrollMin;
            newMax = std::pow(10.0, decades) * FScrollMin;
        } else if (FScrollMax > 0 && newMax >= FScrollMax) {
            newMax = FScrollMax;
            newMin = FScrollMax / std::pow(10.0, decades);
        }
    }
    if (!std::isfinite(newMin) || !std::isfinite(newMax) || !(newMin > 0) || !(newMax > newMin))
        return;
    SetMinSpan(newMin, newMax - newMin);
}

void TgPlotAxis::ZoomByPower(double power) {
    const double factor = std::pow(10.0, power);
    if (!std::isfinite(factor) || !(factor > 0))
        return;
    if (AxisInputIsLog(*this)) {
        const double newMin = Min() * factor, newSpan = Span() / factor;
        if (std::isfinite(newMin) && newMin > 0 && std::isfinite(newSpan) && newSpan > 0)
            SetMinSpan(newMin, newSpan);
        return;
    }
    const double newSpan = Span() / factor;
    if (!std::isfinite(newSpan) || !(newSpan > 0))
        return;
    SetMinSpan((Max() + Min()) / 2 - newSpan / 2, newSpan);
}

TgPlotAxisMode TgPlotAxis::GetEffectiveMode() const {
    if (!gCtrlKeyDown())
        return FMode;
    return FMode == TgPlotAxisMode::ipamScroll ? TgPlotAxisMode::ipamZoom : TgPlotAxisMode::ipamScroll;
}

// ---------------------------------------------------------------------------------------------------
// Mouse, wheel and keys

void TgPlotAxis::DoMouseLeft(const TgPlotMouseData& mouseData) {
    if (auto* plot = AxisInputPlot(FOwner); plot && FMasterUIInput)
        plot->DoMasterAxisMouseLeft(this, mouseData);
    FDragging = true;
    FMouseDownX = mouseData.X;
    FMouseDownY = mouseData.Y;
    FMouseDownMin = Min();
    FMouseDownSpan = Span();
}

void TgPlotAxis::DoMouseMove(const TgPlotMouseData& mouseData) {
    if (!FDragging)
        return;
    if (auto* plot = AxisInputPlot(FOwner); plot && FMasterUIInput)
        plot->DoMasterAxisMouseMove(this, mouseData);
    if (mouseData.DblClickActive)
        return;
    SetTrackingEnabled(false);
    const TRect& r = ScaleRect();
    const int length = IsHorz() ? r.Right - r.Left : r.Bottom - r.Top;
    // Before the first layout the scale has no length and a move no meaning.
    if (length > 0) {
        double f = IsHorz() ? double(mouseData.X - FMouseDownX) / length
                            : double(FMouseDownY - mouseData.Y) / length;
        if (ReverseScale())
            f = -f;
        if (GetEffectiveMode() == TgPlotAxisMode::ipamScroll)
            ScrollByFraction(-f); // the scale follows the mouse
        else
            ZoomByPower(AxisInputIsLog(*this) ? 2 * f : f / 4); // right or up zooms in
    }
    FMouseDownX = mouseData.X;
    FMouseDownY = mouseData.Y;
    DoInvalidateNow();
}

void TgPlotAxis::DoMouseUp(const TgPlotMouseData& mouseData) {
    if (!FDragging)
        return;
    auto* plot = AxisInputPlot(FOwner);
    if (plot && FMasterUIInput)
        plot->DoMasterAxisMouseUp(this, mouseData);
    FDragging = false;
    const TPoint p{mouseData.X, mouseData.Y};
    if (p.X >= FFocusRect.Left && p.X < FFocusRect.Right && p.Y >= FFocusRect.Top && p.Y < FFocusRect.Bottom)
        if (auto* click = dynamic_cast<IgPlotObjectClick*>(FOwner))
            click->DoObjectClick(this);
    if (plot && (Min() != FMouseDownMin || Span() != FMouseDownSpan))
        plot->DoAxisMinSpanChangeFinished(this, FMouseDownMin, FMouseDownSpan);
}

bool TgPlotAxis::DoMouseWheel(int wheelDelta, TShiftState shift, int x, int y) {
    if (wheelDelta == 0)
        return true;
    SetTrackingEnabled(false);
    if (auto* plot = AxisInputPlot(FOwner); plot && FMasterUIInput)
        plot->DoMasterAxisMouseWheel(this, wheelDelta, shift, x, y);
    const double s = wheelDelta > 0 ? 1 : -1; // one step a notch, however far the wheel turned
    if (GetEffectiveMode() == TgPlotAxisMode::ipamScroll)
        ScrollByFraction(0.05 * s);
    else
        ZoomByPower((AxisInputIsLog(*this) ? 0.05 : 0.025) * s);
    return true;
}

void TgPlotAxis::gKeyDown(std::uint16_t& key, TShiftState shift, TPopupMenu* popupMenu) {
    if (!gAxisInputRepeating)
        TgPlotLayoutObject::gKeyDown(key, shift, popupMenu);
    auto* plot = AxisInputPlot(FOwner);
    if (plot && FMasterUIInput) {
        AxisInputRepeat repeating;
        plot->DoMasterAxisKeyDown(this, key, shift);
    }
    SetTrackingEnabled(false);
    FMouseDownMin = Min();
    FMouseDownSpan = Span();
    if (const double amount = AxisInputKeyAmount(key); amount != 0) {
        if (FMode == TgPlotAxisMode::ipamScroll)
            ScrollByFraction(amount);
        else
            ZoomByPower(amount);
        DoInvalidateNow();
    }
    if (plot && (Min() != FMouseDownMin || Span() != FMouseDownSpan))
        plot->DoAxisMinSpanChangeFinished(this, FMouseDownMin, FMouseDownSpan);
}

bool TgPlotAxis::gMouseHitTest(const TgPlotMouseData& mouseData) {
    return mouseData.X >= FFocusRect.Left && mouseData.X < FFocusRect.Right &&
           mouseData.Y >= FFocusRect.Top && mouseData.Y < FFocusRect.Bottom;
}

TCursor TgPlotAxis::GetMouseCursor(TPoint) {
    TCursor cursor = crHandPoint;
    if (FMode == TgPlotAxisMode::ipamZoom)
        cursor = IsHorz() ? crSizeWE : crSizeNS;
    if (auto* plot = AxisInputPlot(FOwner))
        plot->DoGetMouseCursor(this, cursor);
    return cursor;
}

void TgPlotAxis::BuildPopupMenu(TPopupMenu* popupMenu) {
    TgPlotLayoutObject::BuildPopupMenu(popupMenu);
    AddEditMenuItem(popupMenu);
    TMenuItem* items = popupMenu->Items();
    const auto insert = [&](int index, const char* caption, std::function<void()> click) {
        auto* item = new TgMenuItem(popupMenu);
        item->SetCaption(TranslateString(caption));
        item->OnClick = [click = std::move(click)](TObject*) { click(); };
        items->Insert(index, item);
        return item;
    };
    insert(0, "Tracking Enabled", [this] {
        SetTrackingEnabled(!FTrackingEnabled);
    })->SetChecked(FTrackingEnabled);
    insert(1, "Update Resume Values", [this] {
        UpdateResumeValues();
    })->SetEnabled(!FTrackingEnabled && (Min() != FPreviousMin || Span() != FPreviousSpan));
    insert(2, "Zoom to Fit", [this] { ZoomToFit(); });
}

void TgPlotAxis::NotificationFocusChange(TObject* sender) {
    // Shift or Ctrl at the last press selects several axes together.
    if (dynamic_cast<TgPlotAxis*>(sender) &&
        (FShiftState.Contains(TShiftItem::ssShift) || FShiftState.Contains(TShiftItem::ssCtrl)))
        return;
    YieldSelectionTo(sender);
}

} // namespace kv
