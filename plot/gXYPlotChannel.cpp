#include "plot/gXYPlotChannel.h"

#include "plot/gComponent.h"
#include "plot/gDraw.h"
#include "plot/gPlotAxis.h"
#include "plot/gPlotDataCursor.h"
#include "plot/gPlotDataView.h"
#include "plot/gPlotManagers.h"
#include "plot/opc/gOPCItems.h"
#include "plot/opc/gOPCManager.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace kv {

KV_REGISTER_CLASS(TgXYPlotChannel, TgPlotChannelCustom, b) {
    gPublishChannelOPC(b);
}

namespace {

const bool kXYChannelClassRegistered = (gRegisterPlotObjectClassOf<TgXYPlotChannel>("TgXYPlotChannel"), true);

// The axis value at a data-cursor pointer (percent of the data view). An axis that spans the whole
// data view maps the percentage itself; one that does not is read at the pointer's pixel, where the
// pointer is drawn.
double XYChannelPointerValue(TgPlotAxis* axis, TgPlotDataView* dataView, double percent, bool alongX) {
    const bool wholeView = axis->StartPercent() == 0 && axis->StopPercent() == 100;
    if (wholeView || !dataView)
        return axis->PercentToPosition(percent / 100);
    const int pixels =
        alongX ? dataView->PositionPercentToPixelsX(percent) : dataView->PositionPercentToPixelsY(percent);
    return axis->PixelsToPosition(pixels);
}

} // namespace

TgXYPlotChannel::TgXYPlotChannel(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                                 TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotChannelCustom(owner, std::move(onChange), std::move(onInsert), std::move(onRemove),
                          std::move(onRename)),
      TgPlotChannelOPC(owner, *this) {}

TgXYPlotChannel::~TgXYPlotChannel() {
    // The OPC link (items, then their group) goes after this, before the channel base.
    NotifyRemove();
}

// --- OPC connection

void TgXYPlotChannel::OPCActivate() {
    if (OwnerDesigning())
        return;
    TgOPCItem* x = OPCItem(0);
    TgOPCItem* y = OPCItem(1);
    x->Deactivate();
    y->Deactivate();
    FOPCManager->GroupClear();
    // A group name of the channel's own: its address.
    char name[32];
    std::snprintf(name, sizeof name, "%p", static_cast<void*>(this));
    FOPCManager->GroupAdd(name, x->ComputerName(), x->UpdateRate(), x->ServerName());
    x->SetGroupName(name);
    y->SetGroupName(name);
    x->Activate();
    y->Activate();
}

void TgXYPlotChannel::OPCActivateSuspend() {
    OPCActivate();
    OPCUpdateSuspend();
}

void TgXYPlotChannel::OPCDeactivate() {
    OPCItem(0)->Deactivate();
    OPCItem(1)->Deactivate();
}

void TgXYPlotChannel::OPCUpdateSuspend() {
    // Before the first activation there is no group to suspend.
    if (!OPCLibraryMissing() && FOPCManager->GroupCount() > 0)
        FOPCManager->GetGroup(0)->Suspend();
}

void TgXYPlotChannel::OPCUpdateResume() {
    if (!OPCLibraryMissing() && FOPCManager->GroupCount() > 0)
        FOPCManager->GetGroup(0)->Resume();
}

void TgXYPlotChannel::DoInsert() {
    TgPlotChannelCustom::DoInsert();
    OPCAutoActivate();
}

// --- points

int TgXYPlotChannel::AddNull() {
    const int index = FDataList->Add(0, 0, true, false);
    DoChange();
    return index;
}

int TgXYPlotChannel::AddEmpty() {
    const int index = FDataList->Add(0, 0, false, true);
    DoChange();
    return index;
}

void TgXYPlotChannel::CalcStartIndex() {
    FStartIndex = 0;
}

void TgXYPlotChannel::CalcStopIndex() {
    FStopIndex = Count() - 1;
}

double TgXYPlotChannel::VisibleExtreme(double (TgPlotChannelCustom::*marker)(int), bool largest) {
    CalcStartIndex();
    CalcStopIndex();
    double result = largest ? -1e300 : 1e300;
    if (!HasAxes() || !Visible() || Count() == 0)
        return result;
    for (int i = 0; i < Count(); ++i) {
        if (!GetDataValid(i))
            continue;
        const double v = (this->*marker)(i);
        if (largest ? v > result : v < result)
            result = v;
    }
    return result;
}

double TgXYPlotChannel::GetVisibleXMax() {
    return VisibleExtreme(&TgPlotChannelCustom::GetMarkerXMax, true);
}

double TgXYPlotChannel::GetVisibleXMin() {
    return VisibleExtreme(&TgPlotChannelCustom::GetMarkerXMin, false);
}

double TgXYPlotChannel::GetVisibleYMax() {
    return VisibleExtreme(&TgPlotChannelCustom::GetMarkerYMax, true);
}

double TgXYPlotChannel::GetVisibleYMin() {
    return VisibleExtreme(&TgPlotChannelCustom::GetMarkerYMin, false);
}

// --- drawing

void TgXYPlotChannel::DrawSetup() {
    FCanDraw = false;
    if (!HasAxes() || !Visible() || Count() == 0)
        return;
    CalcStartIndex();
    CalcStopIndex();
    FCanDraw = FStartIndex != -1 && FStopIndex != -1;
}

void TgXYPlotChannel::Draw(TCanvas& canvas, TColor backGroundColor) {
    DrawClippedToAxes(canvas, [&](bool reversed) {
        CalcStartIndex();
        CalcStopIndex();
        DrawTraceLine(canvas, reversed, backGroundColor);
        DrawMarkers(canvas, reversed, backGroundColor);
    });
}

// --- data cursor

void TgXYPlotChannel::UpdateDataCursorText(TgPlotObject* cursorObject) {
    auto* cursor = dynamic_cast<TgPlotDataCursor*>(cursorObject);
    if (!cursor)
        return;
    double x = 0, y = 0;
    TgPlotAxis* xAxis = XAxis();
    TgPlotAxis* yAxis = YAxis();
    if (xAxis && yAxis) {
        auto* dataView = dynamic_cast<TgPlotDataView*>(cursor->DataView());
        // With the roles swapped the X axis runs along the data view's height.
        const bool xAlongX = !FXYAxesReversed;
        const double p1 = cursor->Pointer1Position(), p2 = cursor->Pointer2Position();
        const double x1 = XYChannelPointerValue(xAxis, dataView, p1, xAlongX);
        const double x2 = XYChannelPointerValue(xAxis, dataView, p2, xAlongX);
        const double y1 = XYChannelPointerValue(yAxis, dataView, p1, !xAlongX);
        const double y2 = XYChannelPointerValue(yAxis, dataView, p2, !xAlongX);
        switch (cursor->Style()) {
        case TgPlotDataCursorStyle::ipcsValueXY:
            x = x1;
            y = y2;
            break;
        case TgPlotDataCursorStyle::ipcsValueX:
            x = x1;
            break;
        case TgPlotDataCursorStyle::ipcsValueY:
            y = y2;
            break;
        case TgPlotDataCursorStyle::ipcsDeltaX:
            x = std::abs(x1 - x2);
            break;
        case TgPlotDataCursorStyle::ipcsDeltaY:
            y = std::abs(y1 - y2);
            break;
        case TgPlotDataCursorStyle::ipcsInverseDeltaX: {
            const double d = xAxis->CursorScaler() * (x1 - x2);
            x = d == 0 ? std::numeric_limits<double>::infinity() : std::abs(1 / d);
            break;
        }
        }
    }
    cursor->SetValues(TgPlotDataPointStatus::ipdpsValid, x, y);
    cursor->SetCursorDisplayText(
        FormatDataCursorText(cursor->Style(), TgPlotDataPointStatus::ipdpsValid, x, y));
}

std::string TgXYPlotChannel::FormatDataCursorText(TgPlotDataCursorStyle style, TgPlotDataPointStatus status,
                                                  double x, double y) {
    return FormatCursorText(style, status, x, y, {false, true, false});
}

} // namespace kv
