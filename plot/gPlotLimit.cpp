#include "plot/gPlotLimit.h"

#include "plot/gDraw.h"
#include "plot/gPlotAxis.h"
#include "plot/gPlotComponent.h"
#include "plot/gPlotDataView.h"
#include "plot/gPlotManagers.h"

#include <algorithm>

namespace kv {

std::vector<std::string> EnumIdents(TgPlotLimitStyle) {
    return {"iplsLineX", "iplsLineY", "iplsBandX", "iplsBandY", "iplsPolyBandX", "iplsPolyBandY"};
}

KV_REGISTER_CLASS(TgPlotLimit, TgPlotObject, b) {
    using L = TgPlotLimit;
    b.Prop("Color", &L::Color, &L::SetColor);
    b.Prop("LineStyle", &L::LineStyle, &L::SetLineStyle);
    b.Prop("LineWidth", &L::LineWidth, &L::SetLineWidth);
    b.Prop("FillStyle", &L::FillStyle, &L::SetFillStyle);
    b.Prop("XAxisName", &L::XAxisName, &L::SetXAxisName);
    b.Prop("YAxisName", &L::YAxisName, &L::SetYAxisName);
    b.Prop("Style", &L::Style, &L::SetStyle);
    b.Prop("Line1Position", &L::Line1Position, &L::SetLine1Position);
    b.Prop("Line2Position", &L::Line2Position, &L::SetLine2Position);
    b.Prop("UserCanMove", &L::UserCanMove, &L::SetUserCanMove);
    b.Prop("SelectModeOnlyInteraction", &L::SelectModeOnlyInteraction, &L::SetSelectModeOnlyInteraction);
    b.Prop("ClipToAxes", &L::ClipToAxes, &L::SetClipToAxes);
}

namespace {
const bool kLimitClassRegistered = (gRegisterPlotObjectClassOf<TgPlotLimit>("TgPlotLimit"), true);

bool LimitInRect(const TRect& r, int x, int y) {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

TgPlotComponent* LimitPlot(TComponent* owner) {
    return dynamic_cast<TgPlotComponent*>(owner);
}
} // namespace

TgPlotLimit::TgPlotLimit(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                         TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotObject(owner, std::move(onChange), std::move(onInsert), std::move(onRemove),
                   std::move(onRename)) {}

TgPlotLimit::~TgPlotLimit() {
    NotifyRemove();
}

void TgPlotLimit::SetStyle(TgPlotLimitStyle value) {
    if (value != FStyle) {
        FStyle = value;
        DoChange();
    }
}

void TgPlotLimit::SetFillStyle(TBrushStyle value) {
    if (value != FFillStyle) {
        FFillStyle = value;
        DoChange();
    }
}

void TgPlotLimit::SetColor(TColor value) {
    SetColorProperty(value, FColor, &TgPlotObject::DoChange);
}

void TgPlotLimit::SetLineWidth(int value) {
    SetIntegerProperty(value, FLineWidth, &TgPlotObject::DoChange);
}

void TgPlotLimit::SetLineStyle(TPenStyle value) {
    if (value != FLineStyle) {
        FLineStyle = value;
        DoChange();
    }
}

void TgPlotLimit::SetUserCanMove(bool value) {
    SetBooleanProperty(value, FUserCanMove, &TgPlotObject::DoChange);
}

void TgPlotLimit::SetClipToAxes(bool value) {
    SetBooleanProperty(value, FClipToAxes, &TgPlotObject::DoChange);
}

void TgPlotLimit::SetXAxisName(const std::string& value) {
    if (value == FXAxisName)
        return;
    FXAxisName = value;
    FXAxis = nullptr;
    DoChange();
}

void TgPlotLimit::SetYAxisName(const std::string& value) {
    if (value == FYAxisName)
        return;
    FYAxisName = value;
    FYAxis = nullptr;
    DoChange();
}

void TgPlotLimit::SetLine1Position(double value) {
    if (value == FLine1Position)
        return;
    const double old = FLine1Position;
    FLine1Position = value;
    DoChange();
    if (TgPlotComponent* plot = LimitPlot(FOwner))
        plot->DoLimitLine1PositionChange(this, old, value);
}

void TgPlotLimit::SetLine2Position(double value) {
    if (value == FLine2Position)
        return;
    const double old = FLine2Position;
    FLine2Position = value;
    DoChange();
    if (TgPlotComponent* plot = LimitPlot(FOwner))
        plot->DoLimitLine2PositionChange(this, old, value);
}

void TgPlotLimit::AddBandElement(double position, double upperLimit, double lowerLimit) {
    if (lowerLimit > upperLimit)
        throw EKvError("the Upper Limit must be greater than or equal to the Lower Limit");
    FPointList.Add(position, upperLimit, lowerLimit);
    DoChange();
}

void TgPlotLimit::ClearAllElements() {
    FPointList.Clear();
    DoChange();
}

bool TgPlotLimit::GetFillsArea() const {
    switch (FStyle) {
    case TgPlotLimitStyle::iplsBandX:
    case TgPlotLimitStyle::iplsBandY:
        return FFillStyle != TBrushStyle::bsClear;
    case TgPlotLimitStyle::iplsPolyBandX:
    case TgPlotLimitStyle::iplsPolyBandY:
        return true;
    default:
        return false;
    }
}

bool TgPlotLimit::IsYStyle() const {
    return FStyle == TgPlotLimitStyle::iplsLineY || FStyle == TgPlotLimitStyle::iplsBandY ||
           FStyle == TgPlotLimitStyle::iplsPolyBandY;
}

TgPlotAxis* TgPlotLimit::GetXAxis() {
    if (!FXAxis)
        if (auto* h = dynamic_cast<IgPlotAxisHost*>(FOwner))
            FXAxis = h->GetXAxisByName(FXAxisName);
    return FXAxis;
}

TgPlotAxis* TgPlotLimit::GetYAxis() {
    if (!FYAxis)
        if (auto* h = dynamic_cast<IgPlotAxisHost*>(FOwner))
            FYAxis = h->GetYAxisByName(FYAxisName);
    return FYAxis;
}

void TgPlotLimit::NotificationAxisRemove(TObject* sender) {
    gAxisPairRemoved(sender, FXAxis, FYAxis);
}

void TgPlotLimit::NotificationAxisRename(TObject* sender) {
    gAxisPairRenamed(sender, FXAxis, FYAxis, FXAxisName, FYAxisName);
}

void TgPlotLimit::NotificationFocusChange(TObject* sender) {
    TgPlotObject::NotificationFocusChange(sender);
    YieldSelectionTo(sender);
}

void TgPlotLimit::Draw(TCanvas& canvas, TColor backGroundColor) {
    FLine1Show = false;
    FLine2Show = false;
    if (!FVisible)
        return;
    TgPlotAxis* x = GetXAxis();
    TgPlotAxis* y = GetYAxis();
    if (!x || !y)
        return;
    if (FClipToAxes) {
        TRect r = gSwapRect(FXYAxesReversed, x->MinPixels(), y->MinPixels(), x->MaxPixels(), y->MaxPixels());
        // The end pixels of the axes belong to the area.
        ++r.Right;
        ++r.Bottom;
        // The plot clips every layered object to its data view and sets its own clip again afterwards.
        if (auto* h = dynamic_cast<IgPlotChannelHost*>(FOwner))
            if (TgPlotDataView* dv = h->GetFirstDataView()) {
                const TRect d = dv->DrawRect();
                r = {std::max(r.Left, d.Left), std::max(r.Top, d.Top), std::min(r.Right, d.Right + 1),
                     std::min(r.Bottom, d.Bottom + 1)};
            }
        canvas.SetClipRect(&r);
    }
    switch (FStyle) {
    case TgPlotLimitStyle::iplsLineX:
        DrawLineX(canvas, backGroundColor);
        break;
    case TgPlotLimitStyle::iplsLineY:
        DrawLineY(canvas, backGroundColor);
        break;
    case TgPlotLimitStyle::iplsBandX:
        DrawBandX(canvas);
        break;
    case TgPlotLimitStyle::iplsBandY:
        DrawBandY(canvas);
        break;
    case TgPlotLimitStyle::iplsPolyBandX:
        DrawPolyBandX(canvas);
        break;
    case TgPlotLimitStyle::iplsPolyBandY:
        DrawPolyBandY(canvas);
        break;
    }
}

// Lines and bands work in axis roles: "along" is the axis the positions belong to, "across" the other;
// points are exchanged into screen coordinates when the plot swaps its axes.

void TgPlotLimit::DrawLineX(TCanvas& canvas, TColor backGroundColor) {
    DrawLine(canvas, backGroundColor, false);
}

void TgPlotLimit::DrawLineY(TCanvas& canvas, TColor backGroundColor) {
    DrawLine(canvas, backGroundColor, true);
}

void TgPlotLimit::DrawLine(TCanvas& canvas, TColor backGroundColor, bool yStyle) {
    TgPlotAxis* along = yStyle ? GetYAxis() : GetXAxis();
    TgPlotAxis* across = yStyle ? GetXAxis() : GetYAxis();
    if (FLine1Position < along->Min() || FLine1Position > along->Max())
        return;
    const bool rev = FXYAxesReversed;
    // (along, across) pixels to screen.
    const auto pt = [&](int a, int c) { return yStyle ? gSwapPoint(rev, c, a) : gSwapPoint(rev, a, c); };
    canvas.Pen()->SetColor(FColor);
    canvas.Pen()->SetWidth(FLineWidth);
    canvas.Pen()->SetStyle(FLineStyle);
    canvas.Brush()->SetColor(backGroundColor);
    const int a = along->PositionToPixels(FLine1Position);
    const int c0 = across->MinPixels(), c1 = across->MaxPixels();
    const TPoint p0 = pt(a, c0), p1 = pt(a, c1);
    canvas.MoveTo(p0.X, p0.Y);
    canvas.LineTo(p1.X, p1.Y);
    FLine1Show = true;
    FLine1ClickRect = yStyle ? gSwapRect(rev, c0, a - 5, c1, a + 5) : gSwapRect(rev, a - 5, c0, a + 5, c1);
}

void TgPlotLimit::DrawBandX(TCanvas& canvas) {
    DrawBand(canvas, false);
}

void TgPlotLimit::DrawBandY(TCanvas& canvas) {
    DrawBand(canvas, true);
}

void TgPlotLimit::DrawBand(TCanvas& canvas, bool yStyle) {
    TgPlotAxis* along = yStyle ? GetYAxis() : GetXAxis();
    TgPlotAxis* across = yStyle ? GetXAxis() : GetYAxis();
    const bool rev = FXYAxesReversed;
    // (along, across) pixels to screen.
    const auto pt = [&](int a, int c) { return yStyle ? gSwapPoint(rev, c, a) : gSwapPoint(rev, a, c); };
    const auto rect = [&](int a0, int c0, int a1, int c1) {
        return yStyle ? gSwapRect(rev, c0, a0, c1, a1) : gSwapRect(rev, a0, c0, a1, c1);
    };
    const auto line = [&](int a, int c0, int c1) {
        const TPoint p0 = pt(a, c0), p1 = pt(a, c1);
        canvas.MoveTo(p0.X, p0.Y);
        canvas.LineTo(p1.X, p1.Y);
    };

    canvas.Pen()->SetColor(FColor);
    canvas.Brush()->SetColor(FColor);
    canvas.Brush()->SetStyle(FFillStyle);
    const int a = along->PositionToPixels(FLine1Position);
    const int b = along->PositionToPixels(FLine2Position);
    const int c0 = across->MinPixels(), c1 = across->MaxPixels();
    FLine1ClickRect = rect(a - 5, c0, a + 5, c1);
    FLine1Show = true;
    FLine2ClickRect = rect(b - 5, c0, b + 5, c1);
    FLine2Show = true;

    if (FFillStyle == TBrushStyle::bsSolid) {
        canvas.Pen()->SetStyle(FLineStyle);
        canvas.Pen()->SetWidth(1);
        canvas.Rectangle(rect(a, c0, b, c1));
    } else if (FFillStyle == TBrushStyle::bsClear) {
        canvas.Pen()->SetStyle(FLineStyle);
        canvas.Pen()->SetWidth(FLineWidth);
        line(a, c0, c1);
        line(b, c0, c1);
    } else {
        canvas.Pen()->SetStyle(TPenStyle::psClear);
        canvas.Rectangle(rect(a, c0, b, c1));
        canvas.Pen()->SetStyle(FLineStyle);
        canvas.Pen()->SetWidth(1);
        line(a, c0, c1);
        line(b, c0, c1);
    }
}

void TgPlotLimit::DrawPolyBandX(TCanvas& canvas) {
    DrawPolyBand(canvas, false);
}

void TgPlotLimit::DrawPolyBandY(TCanvas& canvas) {
    DrawPolyBand(canvas, true);
}

// An X poly-band runs along the Y axis: each element gives a Y position and the X limits there; a Y
// poly-band the other way round.
void TgPlotLimit::DrawPolyBand(TCanvas& canvas, bool yStyle) {
    if (FPointList.Count() < 2)
        return;
    TgPlotAxis* x = GetXAxis();
    TgPlotAxis* y = GetYAxis();
    TgPlotAxis* positions = yStyle ? x : y;
    TgPlotAxis* limits = yStyle ? y : x;
    canvas.Pen()->SetColor(FColor);
    canvas.Pen()->SetWidth(1);
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    canvas.Brush()->SetColor(FColor);
    canvas.Brush()->SetStyle(FFillStyle);
    const auto pt = [&](double position, double limit) {
        const int p = positions->PositionToPixels(position), l = limits->PositionToPixels(limit);
        return yStyle ? gSwapPoint(FXYAxesReversed, p, l) : gSwapPoint(FXYAxesReversed, l, p);
    };
    for (int k = 1; k < FPointList.Count(); ++k) {
        const int j = k - 1;
        const double pj = FPointList.Position(j), pk = FPointList.Position(k);
        if (!(pj >= positions->Min() || pk >= positions->Min()))
            continue;
        if (pj > positions->Max())
            break;
        const TPoint p1 = pt(pj, FPointList.UpperLimit(j)), p2 = pt(pj, FPointList.LowerLimit(j));
        const TPoint p3 = pt(pk, FPointList.UpperLimit(k)), p4 = pt(pk, FPointList.LowerLimit(k));
        if (FFillStyle == TBrushStyle::bsSolid) {
            canvas.Polygon({p1, p3, p4, p2});
        } else {
            canvas.Pen()->SetStyle(TPenStyle::psClear);
            canvas.Polygon({p1, p3, p4, p2});
            canvas.Pen()->SetStyle(TPenStyle::psSolid);
            canvas.MoveTo(p1.X, p1.Y);
            canvas.LineTo(p3.X, p3.Y);
            canvas.MoveTo(p2.X, p2.Y);
            canvas.LineTo(p4.X, p4.Y);
        }
    }
}

bool TgPlotLimit::gMouseHitTest(const TgPlotMouseData& mouseData) {
    if (FSelectModeOnlyInteraction) {
        TgPlotComponent* plot = LimitPlot(FOwner);
        if (!plot || !plot->GetSelectModeActive())
            return false;
    }
    return (FLine1Show && LimitInRect(FLine1ClickRect, mouseData.X, mouseData.Y)) ||
           (FLine2Show && LimitInRect(FLine2ClickRect, mouseData.X, mouseData.Y));
}

TCursor TgPlotLimit::GetMouseCursor(TPoint point) {
    (void)point;
    if (!FUserCanMove)
        return crDefault;
    TCursor cursor = crHandPoint;
    if (FLine1Show && FLine2Show)
        cursor = IsYStyle() != FXYAxesReversed ? crSizeNS : crSizeWE;
    if (TgPlotComponent* plot = LimitPlot(FOwner))
        plot->DoGetMouseCursor(this, cursor);
    return cursor;
}

void TgPlotLimit::DoMouseLeft(const TgPlotMouseData& mouseData) {
    TgPlotObject::DoMouseLeft(mouseData);
    if (!FUserCanMove)
        return;
    if (FLine1Show && LimitInRect(FLine1ClickRect, mouseData.X, mouseData.Y))
        FMouseDownLine1 = true;
    else if (FLine2Show && LimitInRect(FLine2ClickRect, mouseData.X, mouseData.Y))
        FMouseDownLine2 = true;
    else
        return;
    DoInvalidateNow();
}

void TgPlotLimit::DoMouseMove(const TgPlotMouseData& mouseData) {
    TgPlotObject::DoMouseMove(mouseData);
    if (!FMouseDownLine1 && !FMouseDownLine2)
        return;
    TgPlotAxis* axis = IsYStyle() ? GetYAxis() : GetXAxis();
    if (!axis)
        return;
    const double value = axis->PixelsToPosition(IsYStyle() ? mouseData.YAxisPixels : mouseData.XAxisPixels);
    if (FMouseDownLine1)
        SetLine1Position(value);
    else
        SetLine2Position(value);
}

void TgPlotLimit::DoMouseUp(const TgPlotMouseData& mouseData) {
    TgPlotObject::DoMouseUp(mouseData);
    if (!FMouseDownLine1 && !FMouseDownLine2)
        return;
    FMouseDownLine1 = false;
    FMouseDownLine2 = false;
    if (gMouseHitTest(mouseData))
        if (TgPlotComponent* plot = LimitPlot(FOwner))
            plot->DoClickObject(this, mouseData.DblClickActive);
}

void TgPlotLimit::BuildPopupMenu(TPopupMenu* popupMenu) {
    TgPlotObject::BuildPopupMenu(popupMenu);
    AddEditMenuItem(popupMenu);
}

} // namespace kv
