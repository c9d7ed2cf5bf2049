#include "plot/gPlotDataView.h"

#include "plot/gDraw.h"
#include "plot/gPlotManagers.h"

#include "platform/core/Classes.h"
#include "platform/gui/Menus.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kv {

std::vector<std::string> EnumIdents(TgPlotAxesControlStyle) {
    return {"ipacsXAxis", "ipacsYAxis", "ipacsBoth", "ipacsNone"};
}

KV_REGISTER_CLASS(TgPlotDataView, TgPlotLayoutObject, b) {
    using V = TgPlotDataView;
    const auto& colors = ColorIdents();
    b.Prop("Title", &V::Title, &V::SetTitle);
    b.Prop("BackgroundTransparent", &V::BackgroundTransparent, &V::SetBackgroundTransparent).Default(true);
    b.Prop("BackgroundColor", &V::BackgroundColor, &V::SetBackgroundColor)
        .Default(clTeal)
        .Idents(colors, "TColor");
    b.Prop("GridShow", &V::GridShow, &V::SetGridShow).Default(true);
    b.Prop("GridLineColor", &V::GridLineColor, &V::SetGridLineColor)
        .Default(clGreen)
        .Idents(colors, "TColor");
    b.Prop("GridLineShowLeft", &V::GridLineShowLeft, &V::SetGridLineShowLeft).Default(true);
    b.Prop("GridLineShowTop", &V::GridLineShowTop, &V::SetGridLineShowTop).Default(true);
    b.Prop("GridLineShowRight", &V::GridLineShowRight, &V::SetGridLineShowRight).Default(true);
    b.Prop("GridLineShowBottom", &V::GridLineShowBottom, &V::SetGridLineShowBottom).Default(true);
    b.Prop("GridLineShowXMajors", &V::GridLineShowXMajors, &V::SetGridLineShowXMajors).Default(true);
    b.Prop("GridLineShowYMajors", &V::GridLineShowYMajors, &V::SetGridLineShowYMajors).Default(true);
    b.Prop("GridLineShowXMinors", &V::GridLineShowXMinors, &V::SetGridLineShowXMinors).Default(false);
    b.Prop("GridLineShowYMinors", &V::GridLineShowYMinors, &V::SetGridLineShowYMinors).Default(false);
    b.Prop("GridLineMajorStyle", &V::GridLineMajorStyle, &V::SetGridLineMajorStyle)
        .Default(TgPlotGridLineStyle::ipglsSolid);
    b.Prop("GridLineMinorStyle", &V::GridLineMinorStyle, &V::SetGridLineMinorStyle)
        .Default(TgPlotGridLineStyle::ipglsSolid);
#define KV_DV_LINESET_PROPS(Name)                                                                            \
    b.Prop("GridLine" #Name "Custom", &V::GridLine##Name##Custom, &V::SetGridLine##Name##Custom)             \
        .Default(false);                                                                                     \
    b.Prop("GridLine" #Name "Color", &V::GridLine##Name##Color, &V::SetGridLine##Name##Color)                \
        .Default(clGreen)                                                                                    \
        .Idents(colors, "TColor");                                                                           \
    b.Prop("GridLine" #Name "Width", &V::GridLine##Name##Width, &V::SetGridLine##Name##Width).Default(0);    \
    b.Prop("GridLine" #Name "Style", &V::GridLine##Name##Style, &V::SetGridLine##Name##Style)                \
        .Default(TgPlotGridLineStyle::ipglsSolid);
    KV_DV_LINESET_PROPS(XMajor)
    KV_DV_LINESET_PROPS(XMinor)
    KV_DV_LINESET_PROPS(YMajor)
    KV_DV_LINESET_PROPS(YMinor)
#undef KV_DV_LINESET_PROPS
    b.Prop("GridXAxisName", &V::GridXAxisName, &V::SetGridXAxisName);
    b.Prop("GridYAxisName", &V::GridYAxisName, &V::SetGridYAxisName);
    b.Prop("AxesControlEnabled", &V::AxesControlEnabled, &V::SetAxesControlEnabled).Default(false);
    b.Prop("AxesControlMouseStyle", &V::AxesControlMouseStyle, &V::SetAxesControlMouseStyle)
        .Default(TgPlotAxesControlStyle::ipacsBoth);
    b.Prop("AxesControlWheelStyle", &V::AxesControlWheelStyle, &V::SetAxesControlWheelStyle)
        .Default(TgPlotAxesControlStyle::ipacsXAxis);
    b.Prop("AxesControlAllowInSelectMode", &V::AxesControlAllowInSelectMode,
           &V::SetAxesControlAllowInSelectMode)
        .Default(false);
}

void gRegisterPlotDataViewClass() {
    gRegisterPlotObjectClassOf<TgPlotDataView>("TgPlotDataView");
}

namespace {
const bool kDataViewClassRegistered = (gRegisterPlotDataViewClass(), true);

bool IsAllAxes(const std::string& name) {
    return UpperCase(name) == "<ALL>";
}
} // namespace

TgPlotDataView::TgPlotDataView(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                               TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotLayoutObject(owner, std::move(onChange), std::move(onInsert), std::move(onRemove),
                         std::move(onRename)) {}

TgPlotDataView::~TgPlotDataView() {
    NotifyRemove();
}

IgPlotDataViewHost* TgPlotDataView::ViewHost() const {
    return dynamic_cast<IgPlotDataViewHost*>(FOwner);
}

TgPlotDataView::TControlMode TgPlotDataView::GetControlMode() const {
    IgPlotDataViewHost* host = ViewHost();
    if (host && host->ToolBarSelectActive() && !FAxesControlAllowInSelectMode)
        return TControlMode::Select;
    if (host && host->ToolBarZoomBoxActive())
        return TControlMode::ZoomBox;
    if (FAxesControlEnabled)
        return TControlMode::AxesControl;
    return TControlMode::None;
}

void TgPlotDataView::SetStyle(TgPlotGridLineStyle v, TgPlotGridLineStyle& field) {
    if (v == field)
        return;
    field = v;
    DoChange();
}

void TgPlotDataView::SetGridXAxisName(const std::string& v) {
    FXAxis = nullptr;
    SetStringProperty(v, FGridXAxisName, &TgPlotObject::DoChange);
}

void TgPlotDataView::SetGridYAxisName(const std::string& v) {
    FYAxis = nullptr;
    SetStringProperty(v, FGridYAxisName, &TgPlotObject::DoChange);
}

TgPlotAxis* TgPlotDataView::GetGridXAxis() {
    if (!FXAxis)
        if (IgPlotDataViewHost* host = ViewHost())
            FXAxis = host->GetXAxisByName(FGridXAxisName);
    return FXAxis;
}

TgPlotAxis* TgPlotDataView::GetGridYAxis() {
    if (!FYAxis)
        if (IgPlotDataViewHost* host = ViewHost())
            FYAxis = host->GetYAxisByName(FGridYAxisName);
    return FYAxis;
}

std::vector<TgPlotAxis*> TgPlotDataView::XAxes() const {
    std::vector<TgPlotAxis*> axes;
    if (IgPlotDataViewHost* host = ViewHost())
        for (int i = 0, n = host->XAxisCount(); i < n; ++i)
            if (TgPlotAxis* a = host->GetXAxis(i))
                axes.push_back(a);
    return axes;
}

std::vector<TgPlotAxis*> TgPlotDataView::YAxes() const {
    std::vector<TgPlotAxis*> axes;
    if (IgPlotDataViewHost* host = ViewHost())
        for (int i = 0, n = host->YAxisCount(); i < n; ++i)
            if (TgPlotAxis* a = host->GetYAxis(i))
                axes.push_back(a);
    return axes;
}

// ---------------------------------------------------------------------------------------------------
// Conversions

double TgPlotDataView::PixelsXToPositionPercent(int x) const {
    const int w = Width();
    if (w == 0)
        return 0;
    return (double(x) - FLeft) / w * 100;
}

double TgPlotDataView::PixelsYToPositionPercent(int y) const {
    const int h = Height();
    if (h == 0)
        return 0;
    return (1 - (double(y) - FTop) / h) * 100;
}

int TgPlotDataView::PositionPercentToPixelsX(double percent) const {
    const int w = Width();
    if (w == 0 || std::isnan(percent))
        return FLeft;
    return gRoundSaturated(double(w) * percent / 100 + FLeft);
}

int TgPlotDataView::PositionPercentToPixelsY(double percent) const {
    const int h = Height();
    if (h == 0 || std::isnan(percent))
        return FBottom;
    return gRoundSaturated(double(h) * (100 - percent) / 100 + FTop);
}

// ---------------------------------------------------------------------------------------------------
// Drawing

void TgPlotDataView::DrawBackground(TCanvas& canvas) {
    if (FBackgroundTransparent)
        return;
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Brush()->SetColor(FBackgroundColor);
    canvas.FillRect(DrawRect());
}

void TgPlotDataView::Draw(TCanvas& canvas, TColor backGroundColor) {
    if (!FGridShow)
        return;
    DrawGrid(canvas, backGroundColor);
    canvas.Pen()->SetColor(FGridLineColor);
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    canvas.Pen()->SetWidth(0);
    DrawFrameLines(canvas);
    if (FUserSelected) {
        canvas.Brush()->SetStyle(TBrushStyle::bsClear);
        canvas.Pen()->SetColor(backGroundColor);
        DrawFrameLines(canvas);
        canvas.Font()->SetColor(clWhite);
        gDrawFocusRect(canvas, {FLeft, FTop, FRight + 1, FBottom + 1});
    }
}

void TgPlotDataView::DrawFrameLines(TCanvas& canvas) {
    const int L = FLeft, T = FTop, R = FRight, B = FBottom;
    if (FGridLineShowLeft) {
        canvas.MoveTo(L, T);
        canvas.LineTo(L, B);
    }
    if (FGridLineShowRight) {
        canvas.MoveTo(R, T);
        canvas.LineTo(R, B);
    }
    if (FGridLineShowTop) {
        canvas.MoveTo(L, T);
        canvas.LineTo(R, T);
    }
    if (FGridLineShowBottom) {
        canvas.MoveTo(L, B);
        canvas.LineTo(R + 1, B);
    }
}

void TgPlotDataView::DrawGrid(TCanvas& canvas, TColor backGroundColor) {
    // The gaps of dashed and dotted grid lines show the background.
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Brush()->SetColor(backGroundColor);
    const TRect rect = DrawRect();
    const auto pick = [&](const TLineSet& set, TgPlotGridLineStyle plainStyle) {
        return set.Custom ? set : TLineSet{false, FGridLineColor, 0, plainStyle};
    };
    const auto drawAll = [&](const std::vector<TgPlotAxis*>& axes, const TLineSet& major,
                             const TLineSet& minor, bool showMinors, bool showMajors) {
        for (TgPlotAxis* axis : axes)
            axis->DrawGridLines(canvas, rect, minor.Width, major.Width, minor.Color, major.Color, minor.Style,
                                major.Style, showMinors, showMajors);
    };
    const TLineSet xMajor = pick(FXMajor, FGridLineMajorStyle), xMinor = pick(FXMinor, FGridLineMinorStyle);
    if (IsAllAxes(FGridXAxisName))
        drawAll(XAxes(), xMajor, xMinor, FGridLineShowXMinors, FGridLineShowXMajors);
    else if (TgPlotAxis* axis = GetGridXAxis())
        drawAll({axis}, xMajor, xMinor, FGridLineShowXMinors, FGridLineShowXMajors);
    const TLineSet yMajor = pick(FYMajor, FGridLineMajorStyle), yMinor = pick(FYMinor, FGridLineMinorStyle);
    if (IsAllAxes(FGridYAxisName))
        drawAll(YAxes(), yMajor, yMinor, FGridLineShowYMinors, FGridLineShowYMajors);
    else if (TgPlotAxis* axis = GetGridYAxis())
        drawAll({axis}, yMajor, yMinor, FGridLineShowYMinors, FGridLineShowYMajors);
}

void TgPlotDataView::DrawZoomBox(TCanvas& canvas) {
    if (!FZoomBoxActive)
        return;
    canvas.Font()->SetColor(clWhite);
    gDrawFocusRect(canvas, gRectFromCorners(FMouseDownX, FMouseDownY, FMouseMoveX, FMouseMoveY));
}

namespace {
// The range between the values at the two pixels of the rectangle along the axis.
void ZoomAxisToPixels(TgPlotAxis* axis, const TRect& r) {
    const int a = axis->Horizontal() ? r.Left : r.Top;
    const int b = axis->Horizontal() ? r.Right : r.Bottom;
    const double v1 = axis->PixelsToPosition(a), v2 = axis->PixelsToPosition(b);
    if (!std::isfinite(v1) || !std::isfinite(v2) || v1 == v2)
        return;
    axis->SetMinSpan(std::min(v1, v2), std::fabs(v2 - v1));
}
} // namespace

void TgPlotDataView::ZoomToRect(const TRect& rect) {
    TRect r = rect;
    bool cancel = false;
    IgPlotDataViewHost* host = ViewHost();
    if (host)
        host->DoBeforeZoomBox(r, cancel);
    if (cancel)
        return;
    for (TgPlotAxis* axis : XAxes())
        ZoomAxisToPixels(axis, r);
    for (TgPlotAxis* axis : YAxes())
        ZoomAxisToPixels(axis, r);
}

// ---------------------------------------------------------------------------------------------------
// Notifications

void TgPlotDataView::NotificationAxisRemove(TObject* sender) {
    if (sender == FXAxis)
        FXAxis = nullptr;
    if (sender == FYAxis)
        FYAxis = nullptr;
}

void TgPlotDataView::NotificationAxisRename(TObject* sender) {
    if (sender && sender == FXAxis)
        FGridXAxisName = FXAxis->Name();
    if (sender && sender == FYAxis)
        FGridYAxisName = FYAxis->Name();
}

void TgPlotDataView::NotificationFocusChange(TObject* sender) {
    if (sender != this)
        SetUserSelected(false);
}

// ---------------------------------------------------------------------------------------------------
// Mouse and keys

void TgPlotDataView::DoMouseLeft(const TgPlotMouseData& d) {
    FDirectionLock = false;
    FMouseDownLeft = true;
    switch (GetControlMode()) {
    case TControlMode::ZoomBox:
        if (IgPlotDataViewHost* host = ViewHost())
            host->DisableAllTracking();
        FMouseDownX = FMouseMoveX = d.X;
        FMouseDownY = FMouseMoveY = d.Y;
        FZoomBoxActive = true;
        InvalidateNow();
        break;
    case TControlMode::AxesControl:
        FMouseDownX = d.X;
        FMouseDownY = d.Y;
        for (TgPlotAxis* axis : XAxes())
            axis->DoMouseLeft(d);
        for (TgPlotAxis* axis : YAxes())
            axis->DoMouseLeft(d);
        break;
    default:
        break;
    }
}

void TgPlotDataView::DoMouseRight(const TgPlotMouseData& d) {
    if (GetControlMode() != TControlMode::AxesControl)
        return;
    FMouseDownRight = true;
    FMouseDownX = FMouseMoveX = d.X;
    FMouseDownY = FMouseMoveY = d.Y;
}

void TgPlotDataView::DoMouseMove(const TgPlotMouseData& d) {
    if (!FMouseDownLeft && !FMouseDownRight)
        return;
    if (FZoomBoxActive) {
        if (d.DblClickActive)
            return;
        FMouseMoveX = d.X;
        FMouseMoveY = d.Y;
        InvalidateNow();
        return;
    }
    if (GetControlMode() != TControlMode::AxesControl)
        return;
    if (FMouseDownLeft) {
        const bool shift = gShiftKeyDown();
        switch (FAxesControlMouseStyle) {
        case TgPlotAxesControlStyle::ipacsXAxis:
            FDirectionLock = true;
            FDirectionLockXAxis = !shift;
            break;
        case TgPlotAxesControlStyle::ipacsYAxis:
            FDirectionLock = true;
            FDirectionLockXAxis = shift;
            break;
        case TgPlotAxesControlStyle::ipacsBoth:
            if (shift && !FDirectionLock) {
                if (std::abs(d.X - FMouseDownX) > 3) {
                    FDirectionLock = true;
                    FDirectionLockXAxis = true;
                }
                if (std::abs(d.Y - FMouseDownY) > 3) {
                    FDirectionLock = true;
                    FDirectionLockXAxis = false;
                }
            }
            break;
        case TgPlotAxesControlStyle::ipacsNone:
            return;
        }
        if (!(FDirectionLock && !FDirectionLockXAxis))
            for (TgPlotAxis* axis : XAxes())
                axis->DoMouseMove(d);
        if (!(FDirectionLock && FDirectionLockXAxis))
            for (TgPlotAxis* axis : YAxes())
                axis->DoMouseMove(d);
    } else if (FMouseDownRight) {
        if (std::abs(d.X - FMouseDownX) <= 5 && std::abs(d.Y - FMouseDownY) <= 5)
            return;
        FMouseMoveX = d.X;
        FMouseMoveY = d.Y;
        FZoomBoxActive = true;
        CancelMouseDownPopup();
        if (IgPlotDataViewHost* host = ViewHost())
            host->DisableAllTracking();
        InvalidateNow();
    }
}

void TgPlotDataView::DoMouseUp(const TgPlotMouseData& d) {
    if (!FMouseDownLeft && !FMouseDownRight)
        return;
    if (FZoomBoxActive) {
        // Only a box dragged to the right and downwards zooms; any other is dropped.
        if (!d.DblClickActive && FMouseDownX < FMouseMoveX && FMouseDownY < FMouseMoveY) {
            ZoomToRect(gRectFromCorners(FMouseDownX, FMouseDownY, FMouseMoveX, FMouseMoveY));
            DoChange();
        }
    } else if (GetControlMode() == TControlMode::AxesControl) {
        for (TgPlotAxis* axis : XAxes())
            axis->DoMouseUp(d);
        for (TgPlotAxis* axis : YAxes())
            axis->DoMouseUp(d);
    }
    if (d.X >= FLeft && d.X < FRight && d.Y >= FTop && d.Y < FBottom)
        if (IgPlotDataViewHost* host = ViewHost())
            host->DoClickDataView(this, d.DblClickActive);
    FMouseDownLeft = false;
    FMouseDownRight = false;
    FZoomBoxActive = false;
    InvalidateNow();
}

bool TgPlotDataView::DoMouseWheel(int wheelDelta, TShiftState shift, int x, int y) {
    if (GetControlMode() != TControlMode::AxesControl)
        return false;
    const bool shiftDown = shift.Contains(TShiftItem::ssShift);
    bool xAxes = false, yAxes = false;
    switch (FAxesControlWheelStyle) {
    case TgPlotAxesControlStyle::ipacsXAxis:
        xAxes = !shiftDown;
        yAxes = shiftDown;
        break;
    case TgPlotAxesControlStyle::ipacsYAxis:
        xAxes = shiftDown;
        yAxes = !shiftDown;
        break;
    case TgPlotAxesControlStyle::ipacsBoth:
        xAxes = yAxes = true;
        break;
    case TgPlotAxesControlStyle::ipacsNone:
        return false;
    }
    if (xAxes)
        for (TgPlotAxis* axis : XAxes())
            axis->DoMouseWheel(wheelDelta, shift, x, y);
    if (yAxes)
        for (TgPlotAxis* axis : YAxes())
            axis->DoMouseWheel(wheelDelta, shift, x, y);
    return true;
}

TgPlotObject* TgPlotDataView::GetMouseOverObject(int, int) {
    return this;
}

TCursor TgPlotDataView::GetMouseCursor(TPoint point) {
    TCursor cursor = TgPlotLayoutObject::GetMouseCursor(point);
    if (FMouseOverObject == this) {
        switch (GetControlMode()) {
        case TControlMode::ZoomBox:
            cursor = crDrag;
            break;
        case TControlMode::AxesControl:
            cursor = crHandPoint;
            break;
        default:
            cursor = crDefault;
            break;
        }
    }
    if (IgPlotDataViewHost* host = ViewHost())
        host->DoGetMouseCursorDataView(this, cursor);
    return cursor;
}

void TgPlotDataView::gKeyDown(std::uint16_t& key, TShiftState shift, TPopupMenu* popupMenu) {
    TgPlotLayoutObject::gKeyDown(key, shift, popupMenu);
    if (key == 27) {
        FZoomBoxActive = false;
        InvalidateNow();
    }
}

void TgPlotDataView::BuildPopupMenu(TPopupMenu* popupMenu) {
    TgPlotLayoutObject::BuildPopupMenu(popupMenu);
    AddEditMenuItem(popupMenu);
}

} // namespace kv
