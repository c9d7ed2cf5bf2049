#include "plot/gPlotTimeChannel.h"

#include "plot/gComponent.h"
#include "plot/gPlotAxis.h"
#include "plot/gPlotDataCursor.h"
#include "plot/gPlotDataView.h"
#include "plot/gPlotManagers.h"
#include "plot/opc/gOPCItems.h"
#include "plot/opc/gOPCManager.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace kv {

std::vector<std::string> EnumIdents(TgPlotInterpolationStyle) {
    return {"ipistStraightLine", "ipistCubicSpline",  "ipistPolynomial",
            "ipistRational",     "ipistDifferential", "ipistDifferentialTerminated"};
}
std::vector<std::string> EnumIdents(TgPlotHighLowStyle) {
    return {"iphlsOpenClose", "iphlsCandleStick"};
}
std::vector<std::string> EnumIdents(TgPlotDigitalReferenceStyle) {
    return {"ipdrScale", "ipdrPercent"};
}
std::vector<std::string> EnumIdents(TgOPCXValueSourceStyle) {
    return {"iopcxvsOPCServerTimeStamp", "iopcxvsSystemTimeStamp", "iopcxvsElapsedTime",
            "iopcxvsElapsedSeconds", "iopcxvsOPCItem"};
}

KV_REGISTER_CLASS(TgPlotChannel, TgPlotChannelCustom, b) {
    using C = TgPlotChannel;
    // Declared defaults are the values a new channel is built with; doubles are always stored.
    b.Prop("FastDrawEnabled", &C::FastDrawEnabled, &C::SetFastDrawEnabled).Default(true);
    b.Prop("AllowOutOfOrderXValues", &C::AllowOutOfOrderXValues, &C::SetAllowOutOfOrderXValues).Default(true);
    b.Prop("DrawOutOfOrderXValues", &C::DrawOutOfOrderXValues, &C::SetDrawOutOfOrderXValues).Default(false);
    b.Prop("ResetStartTimeOnFirstDataPoint", &C::ResetStartTimeOnFirstDataPoint,
           &C::SetResetStartTimeOnFirstDataPoint)
        .Default(false);
    b.Prop("InterpolationStyle", &C::InterpolationStyle, &C::SetInterpolationStyle)
        .Default(TgPlotInterpolationStyle::ipistStraightLine);
    b.Prop("FillEnabled", &C::FillEnabled, &C::SetFillEnabled).Default(false);
    b.Prop("FillReference", &C::FillReference, &C::SetFillReference);
    b.Prop("FillStyle", &C::FillStyle, &C::SetFillStyle).Default(TBrushStyle::bsSolid);
    b.Prop("FillColor", &C::FillColor, &C::SetFillColor).Default(0).Idents(ColorIdents(), "TColor");
    b.Prop("FillUseChannelColor", &C::FillUseChannelColor, &C::SetFillUseChannelColor).Default(true);
    b.Prop("DigitalEnabled", &C::DigitalEnabled, &C::SetDigitalEnabled).Default(false);
    b.Prop("DigitalReferenceStyle", &C::DigitalReferenceStyle, &C::SetDigitalReferenceStyle)
        .Default(TgPlotDigitalReferenceStyle::ipdrScale);
    b.Prop("DigitalReferenceLow", &C::DigitalReferenceLow, &C::SetDigitalReferenceLow);
    b.Prop("DigitalReferenceHigh", &C::DigitalReferenceHigh, &C::SetDigitalReferenceHigh);
    b.Prop("HighLowStyle", &C::HighLowStyle, &C::SetHighLowStyle).Default(TgPlotHighLowStyle::iphlsOpenClose);
    b.Prop("HighLowEnabled", &C::HighLowEnabled, &C::SetHighLowEnabled).Default(false);
    b.Prop("HighLowBarColor", &C::HighLowBarColor, &C::SetHighLowBarColor)
        .Default(0xFFFF00)
        .Idents(ColorIdents(), "TColor");
    b.Prop("HighLowBarWidth", &C::HighLowBarWidth, &C::SetHighLowBarWidth);
    b.Prop("HighLowOpenShow", &C::HighLowOpenShow, &C::SetHighLowOpenShow).Default(true);
    b.Prop("HighLowOpenColor", &C::HighLowOpenColor, &C::SetHighLowOpenColor)
        .Default(0x00FF00)
        .Idents(ColorIdents(), "TColor");
    b.Prop("HighLowOpenWidth", &C::HighLowOpenWidth, &C::SetHighLowOpenWidth);
    b.Prop("HighLowOpenHeight", &C::HighLowOpenHeight, &C::SetHighLowOpenHeight);
    b.Prop("HighLowCloseShow", &C::HighLowCloseShow, &C::SetHighLowCloseShow).Default(true);
    b.Prop("HighLowCloseColor", &C::HighLowCloseColor, &C::SetHighLowCloseColor)
        .Default(0x0000FF)
        .Idents(ColorIdents(), "TColor");
    b.Prop("HighLowCloseWidth", &C::HighLowCloseWidth, &C::SetHighLowCloseWidth);
    b.Prop("HighLowCloseHeight", &C::HighLowCloseHeight, &C::SetHighLowCloseHeight);
    b.Prop("HighLowShadowColor", &C::HighLowShadowColor, &C::SetHighLowShadowColor)
        .Default(0x808080)
        .Idents(ColorIdents(), "TColor");
    b.Prop("HighLowBullishColor", &C::HighLowBullishColor, &C::SetHighLowBullishColor)
        .Default(0xFFFFFF)
        .Idents(ColorIdents(), "TColor");
    b.Prop("HighLowBearishColor", &C::HighLowBearishColor, &C::SetHighLowBearishColor)
        .Default(0x808080)
        .Idents(ColorIdents(), "TColor");
    b.Prop("BarEnabled", &C::BarEnabled, &C::SetBarEnabled).Default(false);
    b.Prop("BarPenUseChannelColor", &C::BarPenUseChannelColor, &C::SetBarPenUseChannelColor).Default(true);
    b.Prop("BarBrushUseChannelColor", &C::BarBrushUseChannelColor, &C::SetBarBrushUseChannelColor)
        .Default(true);
    b.Prop("BarReference", &C::BarReference, &C::SetBarReference);
    b.Prop("BarWidth", &C::BarWidth, &C::SetBarWidth);
    b.Prop("BarPenColor", &C::BarPenColor, &C::SetBarPenColor)
        .Default(0x0000FF)
        .Idents(ColorIdents(), "TColor");
    b.Prop("BarPenWidth", &C::BarPenWidth, &C::SetBarPenWidth).Default(0);
    b.Prop("BarPenStyle", &C::BarPenStyle, &C::SetBarPenStyle).Default(TPenStyle::psSolid);
    b.Prop("BarBrushColor", &C::BarBrushColor, &C::SetBarBrushColor)
        .Default(0x0000FF)
        .Idents(ColorIdents(), "TColor");
    b.Prop("BarBrushStyle", &C::BarBrushStyle, &C::SetBarBrushStyle).Default(TBrushStyle::bsSolid);
    b.Prop("OPCGroupName", &C::OPCGroupName, &C::SetOPCGroupName);
    gPublishChannelOPC(b);
    b.Prop("OPCXValueSource", &C::OPCXValueSource, &C::SetOPCXValueSource)
        .Default(TgOPCXValueSourceStyle::iopcxvsOPCServerTimeStamp);
}

namespace {

const bool kTimeChannelClassRegistered = (gRegisterPlotObjectClassOf<TgPlotChannel>("TgPlotChannel"), true);

} // namespace

double gPlotLocalNow() {
    const QDateTime now = QDateTime::currentDateTime();
    const double localMs = double(now.toMSecsSinceEpoch()) + double(now.offsetFromUtc()) * 1000.0;
    return localMs / 86400000.0 + 25569.0; // days since 1899-12-30
}

TgPlotChannel::TgPlotChannel(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                             TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotChannelCustom(owner, std::move(onChange), std::move(onInsert), std::move(onRemove),
                          std::move(onRename)),
      TgPlotChannelOPC(owner, *this) {
    FElapsedStartTime = Now();
    FDataList->StoredBarWidth = 5;
    FDataList->StoredBarPenColor = 0x0000FF;
    FDataList->StoredBarBrushColor = 0x0000FF;
    FOPCItemManager->OnNewData = [this](TObject* sender) { OPCNewData(dynamic_cast<TgOPCItem*>(sender)); };
}

TgPlotChannel::~TgPlotChannel() {
    NotifyRemove();
}

void TgPlotChannel::SetClock(std::function<double()> clock) {
    FClock = std::move(clock);
}

// --- properties

namespace {
template <class T> bool TimeChannelStore(T& field, const T& value) {
    if (field == value)
        return false;
    field = value;
    return true;
}
} // namespace

#define KV_TIME_CHANNEL_SETTER(Name, Type)                                                                   \
    void TgPlotChannel::Set##Name(Type value) {                                                              \
        if (TimeChannelStore(F##Name, value))                                                                \
            DoChange();                                                                                      \
    }
KV_TIME_CHANNEL_SETTER(FastDrawEnabled, bool)
KV_TIME_CHANNEL_SETTER(DrawOutOfOrderXValues, bool)
KV_TIME_CHANNEL_SETTER(InterpolationStyle, TgPlotInterpolationStyle)
KV_TIME_CHANNEL_SETTER(FillEnabled, bool)
KV_TIME_CHANNEL_SETTER(FillReference, double)
KV_TIME_CHANNEL_SETTER(FillStyle, TBrushStyle)
KV_TIME_CHANNEL_SETTER(FillColor, TColor)
KV_TIME_CHANNEL_SETTER(FillUseChannelColor, bool)
KV_TIME_CHANNEL_SETTER(DigitalEnabled, bool)
KV_TIME_CHANNEL_SETTER(DigitalReferenceStyle, TgPlotDigitalReferenceStyle)
KV_TIME_CHANNEL_SETTER(DigitalReferenceLow, double)
KV_TIME_CHANNEL_SETTER(DigitalReferenceHigh, double)
KV_TIME_CHANNEL_SETTER(HighLowStyle, TgPlotHighLowStyle)
KV_TIME_CHANNEL_SETTER(HighLowEnabled, bool)
KV_TIME_CHANNEL_SETTER(HighLowBarColor, TColor)
KV_TIME_CHANNEL_SETTER(HighLowBarWidth, double)
KV_TIME_CHANNEL_SETTER(HighLowOpenShow, bool)
KV_TIME_CHANNEL_SETTER(HighLowOpenColor, TColor)
KV_TIME_CHANNEL_SETTER(HighLowOpenWidth, double)
KV_TIME_CHANNEL_SETTER(HighLowOpenHeight, double)
KV_TIME_CHANNEL_SETTER(HighLowCloseShow, bool)
KV_TIME_CHANNEL_SETTER(HighLowCloseColor, TColor)
KV_TIME_CHANNEL_SETTER(HighLowCloseWidth, double)
KV_TIME_CHANNEL_SETTER(HighLowCloseHeight, double)
KV_TIME_CHANNEL_SETTER(HighLowShadowColor, TColor)
KV_TIME_CHANNEL_SETTER(HighLowBullishColor, TColor)
KV_TIME_CHANNEL_SETTER(HighLowBearishColor, TColor)
KV_TIME_CHANNEL_SETTER(BarEnabled, bool)
KV_TIME_CHANNEL_SETTER(BarPenUseChannelColor, bool)
KV_TIME_CHANNEL_SETTER(BarBrushUseChannelColor, bool)
#undef KV_TIME_CHANNEL_SETTER

#define KV_TIME_CHANNEL_BAR(Name, Type)                                                                      \
    Type TgPlotChannel::Name() const {                                                                       \
        return FDataList->Stored##Name;                                                                      \
    }                                                                                                        \
    void TgPlotChannel::Set##Name(Type value) {                                                              \
        FDataList->Stored##Name = value;                                                                     \
        DoChange();                                                                                          \
    }
KV_TIME_CHANNEL_BAR(BarReference, double)
KV_TIME_CHANNEL_BAR(BarWidth, double)
KV_TIME_CHANNEL_BAR(BarPenColor, TColor)
KV_TIME_CHANNEL_BAR(BarPenWidth, int)
KV_TIME_CHANNEL_BAR(BarPenStyle, TPenStyle)
KV_TIME_CHANNEL_BAR(BarBrushColor, TColor)
KV_TIME_CHANNEL_BAR(BarBrushStyle, TBrushStyle)
#undef KV_TIME_CHANNEL_BAR

// --- OPC settings

const std::string& TgPlotChannel::OPCGroupName() const {
    return OPCItem(0)->GroupName();
}
void TgPlotChannel::SetOPCGroupName(const std::string& value) {
    OPCItem(0)->SetGroupName(value);
}

// --- OPC connection

void TgPlotChannel::OPCActivate() {
    if (OwnerDesigning())
        return;
    TgOPCItem* first = OPCItem(0);
    TgOPCItem* second = OPCItem(1);
    first->Deactivate();
    second->Deactivate();
    if (FOPCXValueSource != TgOPCXValueSourceStyle::iopcxvsOPCItem) {
        first->Activate();
        return;
    }
    FOPCManager->GroupClear();
    std::string server = first->ServerName();
    server.erase(0, server.find_first_not_of(" \t"));
    if (FOPCManager->GetGroupIndex(first->GroupName()) < 0 && !server.empty()) {
        // A group name of the channel's own: its address.
        char name[32];
        std::snprintf(name, sizeof name, "%p", static_cast<void*>(FOPCManager.get()));
        FOPCManager->GroupAdd(name, first->ComputerName(), first->UpdateRate(), first->ServerName());
        first->SetGroupName(name);
    }
    second->SetGroupName(first->GroupName());
    first->Activate();
    second->Activate();
}

void TgPlotChannel::OPCActivateSuspend() {
    OPCItem(0)->ActivateSuspend();
}
void TgPlotChannel::OPCDeactivate() {
    OPCItem(0)->Deactivate();
}
void TgPlotChannel::OPCUpdateSuspend() {
    OPCItem(0)->UpdateSuspend();
}
void TgPlotChannel::OPCUpdateResume() {
    OPCItem(0)->UpdateResume();
}

void TgPlotChannel::OPCNewData(TgOPCItem* item) {
    double y = 0;
    if (!item || !gChannelVariantNumber(item->Data(), y))
        return; // a value that is no number adds no point
    switch (FOPCXValueSource) {
    case TgOPCXValueSourceStyle::iopcxvsOPCServerTimeStamp:
        AddPoint(item->TimeStamp(), y, false, false);
        break;
    case TgOPCXValueSourceStyle::iopcxvsSystemTimeStamp:
        AddPoint(Now(), y, false, false);
        break;
    case TgOPCXValueSourceStyle::iopcxvsElapsedTime:
        AddYElapsedTime(y);
        break;
    case TgOPCXValueSourceStyle::iopcxvsElapsedSeconds:
        AddYElapsedSeconds(y);
        break;
    case TgOPCXValueSourceStyle::iopcxvsOPCItem:
        break;
    }
}

void TgPlotChannel::DoInsert() {
    TgPlotChannelCustom::DoInsert();
    OPCAutoActivate();
}

// --- points

void TgPlotChannel::StartTimeOnFirstPoint() {
    if (FResetStartTimeOnFirstDataPoint && Count() == 0)
        FElapsedStartTime = Now();
}

void TgPlotChannel::CheckXOrder(double x) {
    const int n = Count();
    if (FAllowOutOfOrderXValues || n < 2)
        return;
    const double last = GetDataX(n - 1);
    if (GetDataX(1) >= GetDataX(0)) {
        if (x < last)
            throw EKvError("New Data-Point X-Value is out of order");
    } else if (x > last) {
        throw EKvError("New Data-Point X-Value is out of order.");
    }
}

int TgPlotChannel::AddXY(double x, double y) {
    StartTimeOnFirstPoint();
    CheckXOrder(x);
    return AddPoint(x, y, false, false);
}

int TgPlotChannel::AddXNull(double x) {
    StartTimeOnFirstPoint();
    CheckXOrder(x);
    return AddPoint(x, 0, true, false);
}

int TgPlotChannel::AddXEmpty(double x) {
    StartTimeOnFirstPoint();
    CheckXOrder(x);
    return AddPoint(x, 0, false, true);
}

int TgPlotChannel::AddHighLow(double x, double high, double low, double open, double close) {
    StartTimeOnFirstPoint();
    CheckXOrder(x);
    const int index = FDataList->Add(x, 0, false, false);
    FDataList->SetHigh(index, high);
    FDataList->SetLow(index, low);
    FDataList->SetOpen(index, open);
    FDataList->SetClose(index, close);
    if (FXAxisTrackingEnabled)
        if (TgPlotAxis* a = XAxis())
            a->NewTrackingData(x);
    if (FYAxisTrackingEnabled)
        if (TgPlotAxis* a = YAxis())
            for (double v : {high, low, open, close})
                a->NewTrackingData(v);
    DoChange();
    return index;
}

int TgPlotChannel::AddYNow(double y) {
    StartTimeOnFirstPoint();
    return AddPoint(Now(), y, false, false);
}

int TgPlotChannel::AddYElapsedTime(double y) {
    StartTimeOnFirstPoint();
    return AddPoint(Now() - FElapsedStartTime, y, false, false);
}

int TgPlotChannel::AddYElapsedSeconds(double y) {
    StartTimeOnFirstPoint();
    return AddPoint((Now() - FElapsedStartTime) * 60 * 60 * 24, y, false, false);
}

void TgPlotChannel::AddYArray(double xInterval, const TgVariantArray& yData) {
    if (yData.Dimensions() != 1)
        throw EKvError("Y-Data array must be 1 dimensional");
    StartTimeOnFirstPoint();
    const double base = Count() ? XLast() : 0;
    const auto [low, high] = yData.Bounds[0];
    for (int i = low; i <= high; ++i)
        AddPoint(base + (i - low) * xInterval, yData.At(i), false, false);
}

void TgPlotChannel::ResetElapsedStartTime() {
    FElapsedStartTime = Now();
}

// --- searches and values

// Two points decide, as they do for the order check of new points.
void TgPlotChannel::UpdateXIncreasing() {
    FXIncreasing = Count() < 2 || GetDataX(1) >= GetDataX(0);
}

int TgPlotChannel::FindIndexIncreasing(double x) const {
    int lo = 0, hi = Count() - 1, r = -1;
    while (lo <= hi) {
        r = (lo + hi) / 2;
        const double v = GetDataX(r);
        if (v == x || std::isnan(v) || std::isnan(x))
            break;
        if (x < v)
            hi = r - 1;
        else
            lo = r + 1;
    }
    return r;
}

int TgPlotChannel::FindIndexDecreasing(double x) const {
    int lo = 0, hi = Count() - 1, r = -1;
    while (lo <= hi) {
        r = (lo + hi) / 2;
        const double v = GetDataX(r);
        if (v == x || std::isnan(v) || std::isnan(x))
            break;
        if (x < v)
            lo = r + 1;
        else
            hi = r - 1;
    }
    return r;
}

int TgPlotChannel::CalcIndex(double target) {
    const int n = Count();
    if (!XAxis() || n == 0)
        return -1;
    // The direction as the points stand now, not as the last paint found it.
    UpdateXIncreasing();
    int i;
    if (FXIncreasing) {
        if (target < GetDataX(0) || target > GetDataX(n - 1))
            return -1;
        i = FindIndexIncreasing(target);
        if (target > GetDataX(i))
            ++i;
    } else {
        if (target > GetDataX(0) || target < GetDataX(n - 1))
            return -1;
        i = FindIndexDecreasing(target);
        if (target > GetDataX(i))
            --i;
    }
    return std::clamp(i, 0, n - 1);
}

bool TgPlotChannel::GetYInterpolated(double xValue, double& yValue) {
    const int count = Count();
    if (count > 0) {
        if (GetDataValid(0) && GetDataX(0) == xValue) {
            yValue = GetDataY(0);
            return true;
        }
        if (GetDataValid(count - 1) && GetDataX(count - 1) == xValue) {
            yValue = GetDataY(count - 1);
            return true;
        }
    }
    yValue = 0;
    const int i = CalcIndex(xValue);
    if (i == -1)
        return false;
    // The neighbour on the side the query came from; with decreasing X it follows the found point, and
    // past the last point there is none.
    const int n = FXIncreasing ? i - 1 : i + 1;
    if (n < 0 || n >= count)
        return false;
    if (FDigitalEnabled) {
        yValue = GetDataY(n);
        return true;
    }
    if (GetDataX(i) == xValue) {
        yValue = GetDataY(i);
        return true;
    }
    if (GetDataNull(i) || GetDataNull(n))
        return false;
    TgPlotAxis* xa = XAxis();
    const int pn = xa->PositionToPixels(GetDataX(n));
    const int pi = xa->PositionToPixels(GetDataX(i));
    const int pq = xa->PositionToPixels(xValue);
    if (pn != pi && pq != pi)
        yValue = GetDataY(i) + double(pq - pi) * (GetDataY(n) - GetDataY(i)) / double(pn - pi);
    else
        yValue = GetDataY(i);
    return true;
}

int TgPlotChannel::FindNearestIndex(double x, double& distance) {
    distance = 1e300;
    const int n = Count();
    if (n == 0)
        return -1;
    // Beyond either end of the points the nearer end answers, with its distance.
    const double first = GetDataX(0), last = GetDataX(n - 1);
    const double lo = std::min(first, last), hi = std::max(first, last);
    if (x <= lo || x >= hi) {
        const double dFirst = std::abs(x - first), dLast = std::abs(x - last);
        distance = std::min(dFirst, dLast);
        return dLast < dFirst ? n - 1 : 0;
    }
    int best = CalcIndex(x);
    if (best == -1)
        return -1;
    distance = std::abs(x - GetDataX(best));
    for (int k : {best - 1, best + 1}) {
        if (k < 0 || k >= n)
            continue;
        const double d = std::abs(x - GetDataX(k));
        if (d < distance) {
            distance = d;
            best = k;
        }
    }
    return best;
}

TgPlotDataPointStatus TgPlotChannel::GetYAtX(double x, double& y) {
    y = 0;
    const int n = Count();
    if (n == 0)
        return TgPlotDataPointStatus::ipdpsEmpty;
    if (x == XFirst() && GetDataValid(0)) {
        y = GetDataY(0);
        return TgPlotDataPointStatus::ipdpsValid;
    }
    if (x == XLast() && GetDataValid(n - 1)) {
        y = GetDataY(n - 1);
        return TgPlotDataPointStatus::ipdpsValid;
    }
    const TgPlotInterpolationStyle style =
        FDigitalEnabled ? TgPlotInterpolationStyle::ipistStraightLine : FInterpolationStyle;
    switch (style) {
    case TgPlotInterpolationStyle::ipistStraightLine:
        return GetYInterpolated(x, y) ? TgPlotDataPointStatus::ipdpsValid : TgPlotDataPointStatus::ipdpsEmpty;
    case TgPlotInterpolationStyle::ipistCubicSpline:
    case TgPlotInterpolationStyle::ipistPolynomial:
    case TgPlotInterpolationStyle::ipistRational: {
        TgPlotAxis* xa = XAxis();
        if (!xa)
            return TgPlotDataPointStatus::ipdpsEmpty;
        const int c = xa->PositionToPixels(x);
        const int k = c - FPixelListStart;
        if (c < FPixelListStart || c > FPixelListStop || (FPixelListStart == 0 && FPixelListStop == 0) ||
            x < XFirst() || x > XLast() || k >= int(FPixelList.size()))
            return TgPlotDataPointStatus::ipdpsEmpty;
        y = FPixelList[k].YValue;
        return FPixelList[k].Null ? TgPlotDataPointStatus::ipdpsNull : TgPlotDataPointStatus::ipdpsValid;
    }
    case TgPlotInterpolationStyle::ipistDifferential:
    case TgPlotInterpolationStyle::ipistDifferentialTerminated: {
        const int b = CalcIndex(x) - 1;
        if (b >= 0) {
            y = GetDataY(b);
            return TgPlotDataPointStatus::ipdpsValid;
        }
        if (style == TgPlotInterpolationStyle::ipistDifferential && GetDataValid(n - 1) && x > XLast()) {
            y = YLast();
            return TgPlotDataPointStatus::ipdpsValid;
        }
        return TgPlotDataPointStatus::ipdpsEmpty;
    }
    }
    return TgPlotDataPointStatus::ipdpsEmpty;
}

// --- data cursor

void TgPlotChannel::UpdateDataCursorText(TgPlotObject* cursorObject) {
    auto* cursor = dynamic_cast<TgPlotDataCursor*>(cursorObject);
    if (!cursor)
        return;
    TgPlotAxis* xAxis = XAxis();
    TgPlotAxis* yAxis = YAxis();
    auto* dataView = dynamic_cast<TgPlotDataView*>(cursor->DataView());
    if (!xAxis || !yAxis || !dataView)
        return;
    // With the roles swapped the X axis runs along the data view's height.
    auto along = [&](TgPlotAxis* axis, double percent, bool xAxisSide) {
        const bool horizontal = xAxisSide != FXYAxesReversed;
        return axis->PixelsToPosition(horizontal ? dataView->PositionPercentToPixelsX(percent)
                                                 : dataView->PositionPercentToPixelsY(percent));
    };
    const double p1 = cursor->Pointer1Position(), p2 = cursor->Pointer2Position();
    const double s = xAxis->CursorScaler();
    double x = 0, y = 0;
    TgPlotDataPointStatus status = TgPlotDataPointStatus::ipdpsValid;
    switch (cursor->Style()) {
    case TgPlotDataCursorStyle::ipcsValueXY:
    case TgPlotDataCursorStyle::ipcsValueX:
    case TgPlotDataCursorStyle::ipcsValueY:
        x = along(xAxis, p1, true);
        status = GetYAtX(x, y);
        break;
    case TgPlotDataCursorStyle::ipcsDeltaX:
        x = s * std::abs(along(xAxis, p1, true) - along(xAxis, p2, true));
        break;
    case TgPlotDataCursorStyle::ipcsDeltaY:
        y = std::abs(along(yAxis, p1, false) - along(yAxis, p2, false)) * s;
        break;
    case TgPlotDataCursorStyle::ipcsInverseDeltaX: {
        const double d = std::abs(along(xAxis, p1, true) - along(xAxis, p2, true));
        x = d != 0 && s != 0 ? 1 / (d * s) : std::numeric_limits<double>::infinity();
        break;
    }
    }
    cursor->SetValues(status, x, y);
    cursor->SetCursorDisplayText(FormatDataCursorText(cursor->Style(), status, x, y));
}

std::string TgPlotChannel::FormatDataCursorText(TgPlotDataCursorStyle style, TgPlotDataPointStatus status,
                                                double x, double y) {
    return FormatCursorText(style, status, x, y, {FDigitalEnabled, false, true});
}

// --- visible extents

double TgPlotChannel::GetVisibleXMax() {
    if (!HasAxes() || !Visible())
        return -1e300;
    UpdateXIncreasing();
    const int n = Count();
    if (n == 0)
        return -1e300;
    // The valid point at the far end in X.
    for (int k = 0; k < n; ++k) {
        const int i = FXIncreasing ? n - 1 - k : k;
        if (GetDataValid(i))
            return GetMarkerXMax(i);
    }
    return -1e300;
}

double TgPlotChannel::GetVisibleXMin() {
    if (!HasAxes() || !Visible())
        return 1e300;
    UpdateXIncreasing();
    const int n = Count();
    if (n == 0)
        return 1e300;
    for (int k = 0; k < n; ++k) {
        const int i = FXIncreasing ? k : n - 1 - k;
        if (GetDataValid(i))
            return GetMarkerXMin(i);
    }
    return 1e300;
}

double TgPlotChannel::VisibleYExtreme(bool largest) {
    const double none = largest ? -1e300 : 1e300;
    CalcStartIndex();
    CalcStopIndex();
    if (!HasAxes() || !Visible() || FStartIndex == -1 || FStopIndex == -1 || FStopIndex < FStartIndex)
        return none;
    double result = none;
    for (int i = FStartIndex; i <= FStopIndex; ++i) {
        if (!GetDataValid(i))
            continue;
        const double v = largest ? GetMarkerYMax(i) : GetMarkerYMin(i);
        if (largest ? v > result : v < result)
            result = v;
    }
    return result;
}

double TgPlotChannel::GetVisibleYMax() {
    return VisibleYExtreme(true);
}

double TgPlotChannel::GetVisibleYMin() {
    return VisibleYExtreme(false);
}

// --- mouse

bool TgPlotChannel::gMouseHitTest(const TgPlotMouseData& mouseData) {
    if (TgPlotChannelCustom::gMouseHitTest(mouseData))
        return true;
    if (!HasAxes() || mouseData.Button != TMouseButton::mbRight)
        return false;
    // A right click near the trace opens the channel's menu.
    const int x = mouseData.XAxisPixels;
    double yValue = 0;
    if (!GetYInterpolated(XAxis()->PixelsToPosition(x), yValue))
        return false;
    const int y = YAxis()->PositionToPixels(yValue);
    return std::abs(y - mouseData.YAxisPixels) <= 10;
}

} // namespace kv
