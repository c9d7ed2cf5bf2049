#include "plot/gPlotChannel.h"

#include "plot/gClasses.h"
#include "plot/gDraw.h"
#include "plot/gPlotAxis.h"
#include "plot/gPlotDataCursor.h"
#include "plot/gPlotDataView.h"
#include "plot/gPlotManagers.h"
#include "plot/gPropText.h"
#include "plot/opc/gOPCLibrary.h"

#include "platform/core/CodePage.h"
#include "platform/core/FileIO.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace kv {

std::vector<std::string> EnumIdents(TgPlotChannelDataPointMoveStyle) {
    return {"ipcdpmsXandY", "ipcdpmsXOnly", "ipcdpmsYOnly"};
}

std::vector<std::string> EnumIdents(TgPlotDataPointStatus) {
    return {"ipdpsValid", "ipdpsNull", "ipdpsEmpty"};
}

KV_REGISTER_CLASS(TgPlotChannelCustom, TgPlotManagerObject, b) {
    using C = TgPlotChannelCustom;
    // Every declared default is the value a new channel is built with, so that a setting equal to
    // it is the only one a differential save leaves out.
    b.Prop("TitleText", &C::TitleText, &C::SetTitleText);
    b.Prop("VisibleInLegend", &C::VisibleInLegend, &C::SetVisibleInLegend).Default(true);
    b.Prop("ClipToAxes", &C::ClipToAxes, &C::SetClipToAxes).Default(false);
    b.Prop("ShowDataPointHints", &C::ShowDataPointHints, &C::SetShowDataPointHints).Default(false);
    b.Prop("UserCanMoveDataPoints", &C::UserCanMoveDataPoints, &C::SetUserCanMoveDataPoints).Default(false);
    b.Prop("UserCanMoveDataPointsStyle", &C::UserCanMoveDataPointsStyle, &C::SetUserCanMoveDataPointsStyle)
        .Default(TgPlotChannelDataPointMoveStyle::ipcdpmsXandY);
    b.Prop("RingBufferSize", &C::RingBufferSize, &C::SetRingBufferSize).Default(0);
    b.Prop("TraceVisible", &C::TraceVisible, &C::SetTraceVisible).Default(true);
    b.Prop("Color", &C::Color, &C::SetColor).Default(0x0000FF).Idents(ColorIdents(), "TColor");
    b.Prop("TraceLineStyle", &C::TraceLineStyle, &C::SetTraceLineStyle).Default(TgPlotLineStyle::iplsSolid);
    b.Prop("TraceLineWidth", &C::TraceLineWidth, &C::SetTraceLineWidth).Default(1);
    b.Prop("MarkersAllowIndividual", &C::MarkersAllowIndividual, &C::SetMarkersAllowIndividual)
        .Default(false);
    b.Prop("MarkersPenUseChannelColor", &C::MarkersPenUseChannelColor, &C::SetMarkersPenUseChannelColor)
        .Default(true);
    b.Prop("MarkersBrushUseChannelColor", &C::MarkersBrushUseChannelColor, &C::SetMarkersBrushUseChannelColor)
        .Default(true);
    b.Prop("MarkersTurnOffLimit", &C::MarkersTurnOffLimit, &C::SetMarkersTurnOffLimit); // always stored
    b.Prop("MarkersVisible", &C::MarkersVisible, &C::SetMarkersVisible).Default(false);
    b.Prop("MarkersSize", &C::MarkersSize, &C::SetMarkersSize).Default(3);
    b.Prop("MarkersStyle", &C::MarkersStyle, &C::SetMarkersStyle).Default(TgPlotMarkerStyle::ipmsCircle);
    b.Prop("MarkersPenColor", &C::MarkersPenColor, &C::SetMarkersPenColor)
        .Default(0x0000FF)
        .Idents(ColorIdents(), "TColor");
    b.Prop("MarkersPenStyle", &C::MarkersPenStyle, &C::SetMarkersPenStyle).Default(TPenStyle::psSolid);
    b.Prop("MarkersPenWidth", &C::MarkersPenWidth, &C::SetMarkersPenWidth).Default(0);
    b.Prop("MarkersBrushColor", &C::MarkersBrushColor, &C::SetMarkersBrushColor)
        .Default(0x0000FF)
        .Idents(ColorIdents(), "TColor");
    b.Prop("MarkersBrushStyle", &C::MarkersBrushStyle, &C::SetMarkersBrushStyle)
        .Default(TBrushStyle::bsSolid);
    b.Prop("MarkersFont", &C::MarkersFont, &C::SetMarkersFont);
    b.Prop("XAxisName", &C::XAxisName, &C::SetXAxisName);
    b.Prop("YAxisName", &C::YAxisName, &C::SetYAxisName);
    b.Prop("XAxisTrackingEnabled", &C::XAxisTrackingEnabled, &C::SetXAxisTrackingEnabled).Default(true);
    b.Prop("YAxisTrackingEnabled", &C::YAxisTrackingEnabled, &C::SetYAxisTrackingEnabled).Default(true);
    b.Prop("LogFileName", &C::LogFileName, &C::SetLogFileName);
    b.Prop("LogBufferSize", &C::LogBufferSize, &C::SetLogBufferSize).Default(0);
    b.Prop("LoggingActive", &C::LoggingActive, nullptr);
    b.Prop("DataStyle", &C::DataStyle, &C::SetDataStyle); // always stored
}

// ---------------------------------------------------------------------------------------------------

double TgVariantArray::At(int i) const {
    if (Bounds.size() != 1 || i < Bounds[0].first || i > Bounds[0].second)
        throw EKvError("Variant array index out of bounds");
    const auto k = static_cast<std::size_t>(i - Bounds[0].first);
    if (k >= Data.size())
        throw EKvError("Variant array index out of bounds");
    return Data[k];
}

double TgVariantArray::At(int i, int j) const {
    if (Bounds.size() != 2 || i < Bounds[0].first || i > Bounds[0].second || j < Bounds[1].first ||
        j > Bounds[1].second)
        throw EKvError("Variant array index out of bounds");
    const auto columns = static_cast<std::size_t>(Bounds[1].second - Bounds[1].first + 1);
    const auto k = static_cast<std::size_t>(i - Bounds[0].first) * columns +
                   static_cast<std::size_t>(j - Bounds[1].first);
    if (k >= Data.size())
        throw EKvError("Variant array index out of bounds");
    return Data[k];
}

std::string gChannelValueText(double value) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

double gChannelTextValue(const std::string& text) {
    std::string t = gTrimText(text);
    // Files written where the decimal separator is a comma read as well as ours.
    if (t.find('.') == std::string::npos)
        if (auto comma = t.find(','); comma != std::string::npos)
            t[comma] = '.';
    std::string_view v = t;
    if (!v.empty() && v.front() == '+')
        v.remove_prefix(1);
    double result = 0;
    auto res = std::from_chars(v.data(), v.data() + v.size(), result);
    if (v.empty() || res.ec != std::errc() || res.ptr != v.data() + v.size())
        throw EConvertError("'" + text + "' is not a valid floating point value");
    return result;
}

namespace {

bool PtIn(const TRect& r, int x, int y) {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

// Width 1 is drawn as the thinnest pen.
int PenWidthOf(int width) {
    return width == 1 ? 0 : width;
}

bool Within(double v, double lo, double hi) {
    return v >= lo && v <= hi;
}

void CopyStoredDefaults(const TgPlotDataCustomList& from, TgPlotDataCustomList& to) {
    to.StoredTraceLineColor = from.StoredTraceLineColor;
    to.StoredTraceLineWidth = from.StoredTraceLineWidth;
    to.StoredTraceLineStyle = from.StoredTraceLineStyle;
    to.StoredMarkerVisible = from.StoredMarkerVisible;
    to.StoredMarkerSize = from.StoredMarkerSize;
    to.StoredMarkerStyle = from.StoredMarkerStyle;
    to.StoredMarkerPenColor = from.StoredMarkerPenColor;
    to.StoredMarkerPenWidth = from.StoredMarkerPenWidth;
    to.StoredMarkerPenStyle = from.StoredMarkerPenStyle;
    to.StoredMarkerBrushColor = from.StoredMarkerBrushColor;
    to.StoredMarkerBrushStyle = from.StoredMarkerBrushStyle;
    to.StoredMarkerCharacter = from.StoredMarkerCharacter;
    to.StoredBarVisible = from.StoredBarVisible;
    to.StoredBarReference = from.StoredBarReference;
    to.StoredBarWidth = from.StoredBarWidth;
    to.StoredBarPenColor = from.StoredBarPenColor;
    to.StoredBarPenWidth = from.StoredBarPenWidth;
    to.StoredBarPenStyle = from.StoredBarPenStyle;
    to.StoredBarBrushColor = from.StoredBarBrushColor;
    to.StoredBarBrushStyle = from.StoredBarBrushStyle;
}

std::unique_ptr<TgPlotDataCustomList> MakeList(TgPlotDataStyle style) {
    switch (style) {
    case TgPlotDataStyle::ipdsCompact:
        return std::make_unique<TgPlotDataCompactList>();
    case TgPlotDataStyle::ipdsCompactInterval:
        return std::make_unique<TgPlotDataCompactIntervalList>();
    case TgPlotDataStyle::ipdsFullFeature:
        return std::make_unique<TgPlotDataFullList>();
    default:
        return std::make_unique<TgPlotDataNullList>();
    }
}

// A straight line through (x1, y1) and (x2, y2): Y at x, and X at y.
double InterpolateY(double x1, double y1, double x2, double y2, double x) {
    return x2 == x1 ? y1 : y1 + (y2 - y1) * (x - x1) / (x2 - x1);
}
double InterpolateX(double x1, double y1, double x2, double y2, double y) {
    return y2 == y1 ? x1 : x1 + (x2 - x1) * (y - y1) / (y2 - y1);
}

// Pixels drawn are kept within this distance of the origin: values far off their axis map to
// saturated pixels, and the canvas walks every pixel of a line, so a segment is cut to this box first
// and a marker centred outside it is not drawn. Any image is far smaller.
constexpr double kDrawLimit = 16384;

// Cuts the segment A-B to the drawing box (Liang-Barsky); false when nothing of it is inside.
bool ClipToDrawLimit(TPoint& a, TPoint& b) {
    const double x0 = a.X, y0 = a.Y, dx = double(b.X) - a.X, dy = double(b.Y) - a.Y;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 + kDrawLimit, kDrawLimit - x0, y0 + kDrawLimit, kDrawLimit - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    if (t1 < 1)
        b = {int(std::lround(x0 + t1 * dx)), int(std::lround(y0 + t1 * dy))};
    if (t0 > 0)
        a = {int(std::lround(x0 + t0 * dx)), int(std::lround(y0 + t0 * dy))};
    return true;
}

bool InsideDrawLimit(TPoint p) {
    return std::abs(double(p.X)) <= kDrawLimit && std::abs(double(p.Y)) <= kDrawLimit;
}

// One UTF-16 unit as UTF-8 (a lone surrogate becomes "?").
std::string Utf8Of(char16_t c) {
    const unsigned u = c;
    std::string s;
    if (u < 0x80) {
        s += static_cast<char>(u);
    } else if (u < 0x800) {
        s += static_cast<char>(0xC0 | (u >> 6));
        s += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u >= 0xD800 && u < 0xE000) {
        s += '?';
    } else {
        s += static_cast<char>(0xE0 | (u >> 12));
        s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (u & 0x3F));
    }
    return s;
}

} // namespace

// ---------------------------------------------------------------------------------------------------

TgPlotChannelCustom::TgPlotChannelCustom(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                                         TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotManagerObject(owner, std::move(onChange), std::move(onInsert), std::move(onRemove),
                          std::move(onRename)),
      FDataList(std::make_unique<TgPlotDataNullList>()), FMarkersFont(std::make_unique<TFont>()) {
    ResetRunningStatistics();
    FDataList->StoredTraceLineColor = 0x0000FF;
    FDataList->StoredTraceLineWidth = 1;
    FDataList->StoredTraceLineStyle = TgPlotLineStyle::iplsSolid;
    FDataList->StoredMarkerSize = 3;
    FDataList->StoredMarkerPenColor = 0x0000FF;
    FDataList->StoredMarkerBrushColor = 0x0000FF;
    FMarkersFont->SetColor(clWhite);
    FMarkersFont->SetStyle(TFontStyles{TFontStyle::fsBold});
    FMarkersFont->OnChange = [this](TObject*) { DoChange(); };
}

TgPlotChannelCustom::~TgPlotChannelCustom() {
    NotifyRemove();
    FMarkersFont->OnChange = nullptr;
}

IgPlotChannelHost* TgPlotChannelCustom::ChannelHost() const {
    return dynamic_cast<IgPlotChannelHost*>(FOwner);
}

TgPlotDataView* TgPlotChannelCustom::FirstDataView() const {
    auto* h = ChannelHost();
    return h ? h->GetFirstDataView() : nullptr;
}

int TgPlotChannelCustom::ChannelIndex() const {
    auto* h = ChannelHost();
    return h ? h->GetChannelIndex(this) : -1;
}

// --- axes

TgPlotAxis* TgPlotChannelCustom::XAxis() {
    if (!FXAxis)
        if (auto* h = dynamic_cast<IgPlotAxisHost*>(FOwner))
            FXAxis = h->GetXAxisByName(FXAxisName);
    return FXAxis;
}

TgPlotAxis* TgPlotChannelCustom::YAxis() {
    if (!FYAxis)
        if (auto* h = dynamic_cast<IgPlotAxisHost*>(FOwner))
            FYAxis = h->GetYAxisByName(FYAxisName);
    return FYAxis;
}

bool TgPlotChannelCustom::HasAxes() {
    return XAxis() && YAxis();
}

void TgPlotChannelCustom::SetXAxisName(const std::string& value) {
    if (value == FXAxisName)
        return;
    FXAxisName = value;
    FXAxis = nullptr;
    DoChange();
}

void TgPlotChannelCustom::SetYAxisName(const std::string& value) {
    if (value == FYAxisName)
        return;
    FYAxisName = value;
    FYAxis = nullptr;
    DoChange();
}

void TgPlotChannelCustom::NotificationAxisRemove(TObject* sender) {
    gAxisPairRemoved(sender, FXAxis, FYAxis);
}

void TgPlotChannelCustom::NotificationAxisRename(TObject* sender) {
    gAxisPairRenamed(sender, FXAxis, FYAxis, FXAxisName, FYAxisName);
}

// --- properties

void TgPlotChannelCustom::SetTitleText(const std::string& value) {
    SetStringProperty(value, FTitleText, &TgPlotObject::DoChange);
}
void TgPlotChannelCustom::SetVisibleInLegend(bool value) {
    SetBooleanProperty(value, FVisibleInLegend, &TgPlotObject::DoChange);
}
void TgPlotChannelCustom::SetClipToAxes(bool value) {
    SetBooleanProperty(value, FClipToAxes, &TgPlotObject::DoChange);
}
void TgPlotChannelCustom::SetTraceVisible(bool value) {
    SetBooleanProperty(value, FTraceVisible, &TgPlotObject::DoChange);
}
void TgPlotChannelCustom::SetMarkersAllowIndividual(bool value) {
    SetBooleanProperty(value, FMarkersAllowIndividual, &TgPlotObject::DoChange);
}
void TgPlotChannelCustom::SetMarkersPenUseChannelColor(bool value) {
    SetBooleanProperty(value, FMarkersPenUseChannelColor, &TgPlotObject::DoChange);
}
void TgPlotChannelCustom::SetMarkersBrushUseChannelColor(bool value) {
    SetBooleanProperty(value, FMarkersBrushUseChannelColor, &TgPlotObject::DoChange);
}
void TgPlotChannelCustom::SetMarkersTurnOffLimit(int value) {
    SetIntegerProperty(value, FMarkersTurnOffLimit, &TgPlotObject::DoChange);
}
void TgPlotChannelCustom::SetXAxisTrackingEnabled(bool value) {
    SetBooleanProperty(value, FXAxisTrackingEnabled, &TgPlotObject::DoChange);
}
void TgPlotChannelCustom::SetYAxisTrackingEnabled(bool value) {
    SetBooleanProperty(value, FYAxisTrackingEnabled, &TgPlotObject::DoChange);
}

void TgPlotChannelCustom::SetRingBufferSize(int value) {
    FDataList->SetRingBufferSize(value);
    DoChange();
}
void TgPlotChannelCustom::SetColor(TColor value) {
    FDataList->StoredTraceLineColor = value;
    DoChange();
}
void TgPlotChannelCustom::SetTraceLineStyle(TgPlotLineStyle value) {
    FDataList->StoredTraceLineStyle = value;
    DoChange();
}
void TgPlotChannelCustom::SetTraceLineWidth(int value) {
    FDataList->StoredTraceLineWidth = value;
    DoChange();
}
void TgPlotChannelCustom::SetMarkersVisible(bool value) {
    FDataList->StoredMarkerVisible = value;
    DoChange();
}
void TgPlotChannelCustom::SetMarkersSize(int value) {
    FDataList->StoredMarkerSize = value;
    DoChange();
}
void TgPlotChannelCustom::SetMarkersStyle(TgPlotMarkerStyle value) {
    FDataList->StoredMarkerStyle = value;
    DoChange();
}
void TgPlotChannelCustom::SetMarkersPenColor(TColor value) {
    FDataList->StoredMarkerPenColor = value;
    DoChange();
}
void TgPlotChannelCustom::SetMarkersPenStyle(TPenStyle value) {
    FDataList->StoredMarkerPenStyle = value;
    DoChange();
}
void TgPlotChannelCustom::SetMarkersPenWidth(int value) {
    FDataList->StoredMarkerPenWidth = value;
    DoChange();
}
void TgPlotChannelCustom::SetMarkersBrushColor(TColor value) {
    FDataList->StoredMarkerBrushColor = value;
    DoChange();
}
void TgPlotChannelCustom::SetMarkersBrushStyle(TBrushStyle value) {
    FDataList->StoredMarkerBrushStyle = value;
    DoChange();
}

void TgPlotChannelCustom::SetMarkersFont(const TFont* value) {
    FMarkersFont->Assign(value);
}

void TgPlotChannelCustom::SetLogFileName(const std::string& value) {
    if (value == FLogFileName)
        return;
    if (FLoggingActive)
        throw EKvError(TranslateString("Log File Name can not be changed while logging is active."));
    FLogFileName = value;
}

void TgPlotChannelCustom::SetDataStyle(TgPlotDataStyle value) {
    if (value == FDataStyle)
        return;
    auto list = MakeList(value);
    CopyStoredDefaults(*FDataList, *list);
    const int ring = FDataList->RingBufferSize();
    FDataList = std::move(list);
    FDataStyle = value;
    FDataList->SetRingBufferSize(ring);
    FStartIndex = FStopIndex = -1;
    DoChange();
}

void TgPlotChannelCustom::SetCount(int value) {
    FDataList->SetCapacity(value);
    DoChange();
}

// --- points

int TgPlotChannelCustom::AddXY(double x, double y) {
    return AddPoint(x, y, false, false);
}

int TgPlotChannelCustom::AddPoint(double x, double y, bool null, bool empty) {
    const int index = FDataList->Add(x, y, null, empty);

    if (x > FRunningXMax)
        FRunningXMax = x;
    if (x < FRunningXMin)
        FRunningXMin = x;
    if (y > FRunningYMax)
        FRunningYMax = y;
    if (y < FRunningYMin)
        FRunningYMin = y;
    ++FRunningCount;
    FRunningXTotal += x;
    FRunningXMean = static_cast<double>(FRunningXTotal / FRunningCount);
    FRunningYTotal += y;
    FRunningYMean = static_cast<double>(FRunningYTotal / FRunningCount);

    if (FXAxisTrackingEnabled || FYAxisTrackingEnabled) {
        const int last = Count() - 1;
        // Empty points are left out of Y tracking with markers as without them: an empty point has no
        // value to show, and a null one no marker extent.
        const bool valid = !null && !empty;
        if (MarkersVisible()) {
            if (FXAxisTrackingEnabled && !null)
                if (TgPlotAxis* a = XAxis()) {
                    a->NewTrackingData(GetMarkerXMax(last));
                    a->NewTrackingData(GetMarkerXMin(last));
                }
            if (FYAxisTrackingEnabled && valid)
                if (TgPlotAxis* a = YAxis()) {
                    a->NewTrackingData(GetMarkerYMax(last));
                    a->NewTrackingData(GetMarkerYMin(last));
                }
        } else {
            if (FXAxisTrackingEnabled)
                if (TgPlotAxis* a = XAxis())
                    a->NewTrackingData(x);
            if (FYAxisTrackingEnabled && valid)
                if (TgPlotAxis* a = YAxis())
                    a->NewTrackingData(y);
        }
    }

    if (FLoggingActive) {
        ++FLogBufferCount;
        if (FLogBufferCount >= FLogBufferSize || FLogBufferSize < 2)
            WriteLogBuffer();
    }
    DoChange();
    return index;
}

void TgPlotChannelCustom::AddXYArrays(const TgVariantArray& xData, const TgVariantArray& yData) {
    if (xData.Dimensions() != 1)
        throw EKvError("X-Data array must be 1 dimensional");
    if (yData.Dimensions() != 1)
        throw EKvError("Y-Data array must be 1 dimensional");
    if (xData.Bounds[0].first != yData.Bounds[0].first)
        throw EKvError("X-Data and Y-Data low bound dimension must match");
    if (xData.Bounds[0].second != yData.Bounds[0].second)
        throw EKvError("X-Data and Y-Data hogh bound dimension must match");
    for (int i = xData.Bounds[0].first; i <= xData.Bounds[0].second; ++i)
        AddPoint(xData.At(i), yData.At(i), false, false);
}

void TgPlotChannelCustom::AddXYArray(const TgVariantArray& data) {
    if (data.Dimensions() != 2)
        throw EKvError("Array Must Be 2 Dimensional");
    if (data.Bounds[0].second - data.Bounds[0].first + 1 != 2)
        throw EKvError("Array First Dimension Must Be 2 Elements");
    const int row = data.Bounds[0].first;
    for (int j = data.Bounds[1].first; j <= data.Bounds[1].second; ++j)
        AddPoint(data.At(row, j), data.At(row + 1, j), false, false);
}

void TgPlotChannelCustom::ResetRunningStatistics() {
    FRunningXMax = -1e300;
    FRunningXMin = 1e300;
    FRunningXMean = 0;
    FRunningYMax = -1e300;
    FRunningYMin = 1e300;
    FRunningYMean = 0;
    FRunningCount = 0;
    FRunningXTotal = 0;
    FRunningYTotal = 0;
}

void TgPlotChannelCustom::Clear() {
    ResetRunningStatistics();
    FStartIndex = FStopIndex = -1;
    if (FLoggingActive)
        LogDeactivate();
    FDataList->Clear();
    DoChange();
}

void TgPlotChannelCustom::DeletePoints(int size) {
    if (size == Count()) {
        Clear();
        return;
    }
    FDataList->DeletePoints(size);
    DoChange();
}

void TgPlotChannelCustom::SetDataX(int index, double value) {
    FDataList->SetX(index, value);
    DoChange();
}
void TgPlotChannelCustom::SetDataY(int index, double value) {
    FDataList->SetY(index, value);
    DoChange();
}
void TgPlotChannelCustom::SetDataNull(int index, bool value) {
    FDataList->SetNull(index, value);
    DoChange();
}
void TgPlotChannelCustom::SetDataEmpty(int index, bool value) {
    FDataList->SetEmpty(index, value);
    DoChange();
}

// --- marker extents

namespace {
// The marker's size in units of the axis.
double MarkerSpan(TgPlotAxis* axis, int markerSize) {
    return std::fabs(axis->PixelsToPosition(markerSize + axis->MinPixels()) - axis->Min());
}

// The point's X (or Y) moved out by the marker's size in the direction of sign (+1 or -1).
double MarkerEdge(TgPlotChannelCustom& c, int index, bool y, double sign) {
    if (c.GetDataNull(index))
        throw EKvError("Data Point Null");
    const double v = y ? c.GetDataY(index) : c.GetDataX(index);
    if (!c.MarkersVisible())
        return v;
    TgPlotAxis* a = y ? c.YAxis() : c.XAxis();
    if (!a)
        throw EKvError(y ? "Y-Axis not assigned" : "X-Axis not assigned");
    return v + sign * MarkerSpan(a, c.MarkersSize());
}
} // namespace

double TgPlotChannelCustom::GetMarkerXMax(int index) {
    return MarkerEdge(*this, index, false, 1);
}

double TgPlotChannelCustom::GetMarkerXMin(int index) {
    return MarkerEdge(*this, index, false, -1);
}

double TgPlotChannelCustom::GetMarkerYMax(int index) {
    return MarkerEdge(*this, index, true, 1);
}

double TgPlotChannelCustom::GetMarkerYMin(int index) {
    return MarkerEdge(*this, index, true, -1);
}

// --- statistics on demand

namespace {

// One pass over one coordinate of the valid points (neither null nor empty).
struct TValidStats {
    double min = 1e300, max = -1e300;
    long double total = 0;
    int count = 0;
    double Mean() const { return count ? static_cast<double>(total / count) : 0; }
};

TValidStats ValidStats(const TgPlotChannelCustom& c, double (TgPlotChannelCustom::*coordinate)(int) const) {
    TValidStats s;
    for (int i = 0; i < c.Count(); ++i)
        if (c.GetDataValid(i)) {
            const double v = (c.*coordinate)(i);
            s.max = std::max(s.max, v);
            s.min = std::min(s.min, v);
            s.total += v;
            ++s.count;
        }
    return s;
}

constexpr auto kX = &TgPlotChannelCustom::GetDataX;
constexpr auto kY = &TgPlotChannelCustom::GetDataY;

} // namespace

double TgPlotChannelCustom::GetXMax() {
    return FRunningXMax = ValidStats(*this, kX).max;
}

double TgPlotChannelCustom::GetXMin() {
    return FRunningXMin = ValidStats(*this, kX).min;
}

double TgPlotChannelCustom::GetXMean() {
    const TValidStats s = ValidStats(*this, kX);
    FRunningXTotal = s.total;
    FRunningCount = s.count;
    return FRunningXMean = s.Mean();
}

double TgPlotChannelCustom::GetYMax() {
    return FRunningYMax = ValidStats(*this, kY).max;
}

double TgPlotChannelCustom::GetYMin() {
    return FRunningYMin = ValidStats(*this, kY).min;
}

double TgPlotChannelCustom::GetYMean() {
    const TValidStats s = ValidStats(*this, kY);
    FRunningYTotal = s.total;
    FRunningCount = s.count;
    return FRunningYMean = s.Mean();
}

void TgPlotChannelCustom::ReCalcRunningMinMaxMean() {
    const TValidStats x = ValidStats(*this, kX), y = ValidStats(*this, kY);
    FRunningXMin = x.min;
    FRunningXMax = x.max;
    FRunningXTotal = x.total;
    FRunningXMean = x.Mean();
    FRunningYMin = y.min;
    FRunningYMax = y.max;
    FRunningYTotal = y.total;
    FRunningYMean = y.Mean();
    FRunningCount = x.count;
}

std::string TgPlotChannelCustom::FormatCursorText(TgPlotDataCursorStyle style, TgPlotDataPointStatus status,
                                                  double x, double y, const TgCursorTextRules& rules) {
    FDataCursorXText.clear();
    FDataCursorYText.clear();
    FDataCursorXValue = x;
    FDataCursorYValue = y;
    FDataCursorStatus = status;
    if (!XAxis()) {
        FDataCursorXText = TranslateString("No X-Axis");
        return FDataCursorXText;
    }
    auto yText = [&] {
        if (!YAxis())
            return std::string("No Y-Axis");
        switch (status) {
        case TgPlotDataPointStatus::ipdpsNull:
            return TranslateString("Null");
        case TgPlotDataPointStatus::ipdpsEmpty:
            return TranslateString("Empty");
        case TgPlotDataPointStatus::ipdpsValid:
            break;
        }
        if (rules.digital)
            return TranslateString(y != 0 ? "High" : "Low");
        return GetYValueText(y);
    };
    switch (style) {
    case TgPlotDataCursorStyle::ipcsValueXY:
        FDataCursorXText = GetXValueText(x);
        FDataCursorYText = yText();
        return FDataCursorXText + ", " + FDataCursorYText;
    case TgPlotDataCursorStyle::ipcsValueX:
    case TgPlotDataCursorStyle::ipcsDeltaX:
        FDataCursorXText = GetXValueText(x);
        return FDataCursorXText;
    case TgPlotDataCursorStyle::ipcsValueY:
        FDataCursorYText = yText();
        return FDataCursorYText;
    case TgPlotDataCursorStyle::ipcsDeltaY:
        if (rules.deltaYShowsStatus)
            FDataCursorYText = yText();
        else
            FDataCursorYText = YAxis() ? GetYValueText(y) : std::string("No Y-Axis");
        return FDataCursorYText;
    case TgPlotDataCursorStyle::ipcsInverseDeltaX:
        if (x >= 1e301)
            FDataCursorXText = TranslateString("Infinite");
        else
            FDataCursorXText = rules.inverseAsCursorValue ? XAxis()->GetCursorValueText(x) : GetXValueText(x);
        return FDataCursorXText;
    }
    return {};
}

std::string TgPlotChannelCustom::GetXValueText(double value) {
    if (TgPlotAxis* a = XAxis())
        return a->GetCursorText(value);
    return TranslateString("No X-Axis");
}

std::string TgPlotChannelCustom::GetYValueText(double value) {
    if (TgPlotAxis* a = YAxis())
        return a->GetCursorText(value);
    return TranslateString("No Y-Axis");
}

// --- files

void TgPlotChannelCustom::SavePropertiesToFile(const std::string& fileName) {
    try {
        TStringList exclude;
        exclude.Add("Channel.Name");
        TStringList lines;
        lines.Add("File Type = Plot Channel Config");
        auto* h = ChannelHost();
        gSavePropertiesToList(*this, "Channel", lines, h && h->GetDifferentialPropertySave(), &exclude);
        gSavePropertyLinesToFile(lines, fileName);
    } catch (const std::exception& e) {
        throw EKvError("Error Saving Properties - " + std::string(e.what()));
    }
}

void TgPlotChannelCustom::LoadPropertiesFromFile(const std::string& fileName) {
    try {
        TStringList lines;
        gLoadPropertyLinesFromFile(fileName, lines);
        std::string type;
        if (!gExtractPropertyValue("File Type", type, lines) || !SameText(type, "Plot Channel Config"))
            throw EKvError("Incompatible Plot Channel Configuration File Type");
        gLoadPropertiesFromList(*this, "Channel", lines);
    } catch (const std::exception& e) {
        throw EKvError("Error Loading Properties - " + std::string(e.what()));
    }
}

void TgPlotChannelCustom::SaveDataToFile(const std::string& fileName) {
    auto* h = ChannelHost();
    const char separator = h ? h->GetDataFileSeparatorChar() : '\t';
    std::string data;
    for (int i = 0; i < Count(); ++i) {
        if (GetDataEmpty(i))
            continue;
        data += gChannelValueText(GetDataX(i));
        data += separator;
        data += GetDataNull(i) ? std::string("Null") : gChannelValueText(GetDataY(i));
        data += "\r\n";
    }
    std::string error;
    if (!WriteFileAtomic(fileName, data, &error))
        throw EKvError(error);
}

void TgPlotChannelCustom::LoadDataFromFile(const std::string& fileName, bool clearPreviousData) {
    if (FLoggingActive)
        LogDeactivate();
    std::vector<std::string> lines = gSplitLines(gReadWholeFileOrRaise(fileName));
    // A trailing line break leaves no line of its own.
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();
    if (clearPreviousData)
        Clear();
    FLoadingSeparator = !lines.empty() && lines[0].find('\t') != std::string::npos ? '\t' : ',';
    const std::string separator(1, FLoadingSeparator);
    for (const std::string& line : lines) {
        std::string xText, yText;
        gSplitNameValue(line, separator, xText, yText);
        if (xText.empty())
            continue;
        const double x = gChannelTextValue(xText);
        if (SameText(yText, "Null"))
            AddPoint(x, 0, true, false);
        else
            AddPoint(x, gChannelTextValue(yText), false, false);
    }
}

void TgPlotChannelCustom::LogActivate(bool append) {
    if (gTrimText(FLogFileName).empty())
        throw EKvError("Log File Name not Defined");
    if (FLoggingActive)
        throw EKvError("Logging Already Active");
    std::FILE* f = std::fopen(FLogFileName.c_str(), append ? "r+b" : "wb");
    if (!f)
        throw EKvError("Cannot open file \"" + FLogFileName + "\"");
    std::fclose(f);
    FLoggingActive = true;
    FLogBufferCount = 0;
}

void TgPlotChannelCustom::LogDeactivate() {
    if (!FLoggingActive)
        throw EKvError("Logging not Active");
    FLoggingActive = false;
    if (FLogBufferCount > 0)
        WriteLogBuffer();
}

void TgPlotChannelCustom::WriteLogBuffer() {
    std::FILE* f = std::fopen(FLogFileName.c_str(), "r+b");
    if (!f)
        throw EKvError("Cannot open file \"" + FLogFileName + "\"");
    std::fseek(f, 0, SEEK_END);
    auto* h = ChannelHost();
    const char separator = h ? h->GetDataFileSeparatorChar() : '\t';
    // Points deleted or overwritten since they were counted are no longer there to write.
    const int first = std::max(0, Count() - FLogBufferCount);
    bool ok = true;
    for (int i = first; i < Count() && ok; ++i) {
        std::string line = gChannelValueText(GetDataX(i)) + separator + gChannelValueText(GetDataY(i));
        if (line.size() > 255)
            line.resize(255);
        line += "\r\n";
        ok = std::fwrite(line.data(), 1, line.size(), f) == line.size();
    }
    ok = std::fclose(f) == 0 && ok;
    FLogBufferCount = 0;
    if (!ok)
        throw EKvError("Error writing log file \"" + FLogFileName + "\"");
}

// --- drawing

void TgPlotChannelCustom::DrawClippedToAxes(TCanvas& canvas,
                                            const std::function<void(bool reversed)>& drawLayers) {
    TgPlotAxis* xAxis = XAxis();
    TgPlotAxis* yAxis = YAxis();
    if (!xAxis || !yAxis)
        return;
    // The plot clips each layered object to its data view widened by one pixel; the axes' rectangle
    // narrows that and the plot's clip is put back afterwards.
    TgPlotDataView* dataView = FirstDataView();
    TRect plotClip{};
    if (dataView) {
        plotClip = dataView->DrawRect();
        ++plotClip.Right;
        ++plotClip.Bottom;
    }
    bool clipped = false;
    const bool reversed = FXYAxesReversed;
    try {
        if (FClipToAxes) {
            TRect r = gSwapRect(reversed, xAxis->MinPixels(), yAxis->MinPixels(), xAxis->MaxPixels(),
                                yAxis->MaxPixels());
            // The end pixels of the axes belong to the area.
            ++r.Right;
            ++r.Bottom;
            if (dataView)
                r = {std::max(r.Left, plotClip.Left), std::max(r.Top, plotClip.Top),
                     std::min(r.Right, plotClip.Right), std::min(r.Bottom, plotClip.Bottom)};
            canvas.SetClipRect(&r);
            clipped = true;
        }
        drawLayers(reversed);
    } catch (const std::exception&) { // one faulty channel must not stop the plot's paint
    }
    if (clipped)
        canvas.SetClipRect(dataView ? &plotClip : nullptr);
}

void TgPlotChannelCustom::DrawTraceLine(TCanvas& canvas, bool reversed, TColor) {
    if (!FTraceVisible)
        return;
    canvas.Pen()->SetColor(Color());
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    canvas.Pen()->SetStyle(gPenStyleOf(TraceLineStyle()));
    canvas.Pen()->SetWidth(PenWidthOf(TraceLineWidth()));
    if (FStopIndex <= FStartIndex || !HasAxes())
        return;
    const int start = std::max(0, FStartIndex), stop = std::min(FStopIndex, Count() - 1);
    bool haveLast = false;
    double lastX = 0, lastY = 0;
    for (int i = start; i <= stop; ++i) {
        if (GetDataEmpty(i))
            continue;
        if (GetDataNull(i)) {
            haveLast = false;
            continue;
        }
        const double x = GetDataX(i), y = GetDataY(i);
        if (haveLast) {
            canvas.Pen()->SetColor(GetDataTraceLineColor(i));
            canvas.Pen()->SetStyle(gPenStyleOf(GetDataTraceLineStyle(i)));
            canvas.Pen()->SetWidth(PenWidthOf(GetDataTraceLineWidth(i)));
            DrawClippedLine(canvas, reversed, false, lastX, lastY, x, y);
        }
        haveLast = true;
        lastX = x;
        lastY = y;
    }
}

void TgPlotChannelCustom::DrawClippedLine(TCanvas& canvas, bool reversed, bool percentY, double ax, double ay,
                                          double bx, double by) {
    TgPlotAxis* xa = XAxis();
    TgPlotAxis* ya = YAxis();
    if (!xa || (!ya && !percentY))
        return;
    double x1 = bx, y1 = by, x2 = ax, y2 = ay;
    if (ax < bx) {
        x1 = ax;
        y1 = ay;
        x2 = bx;
        y2 = by;
    }
    const double xMin = xa->Min(), xMax = xa->Max();
    const bool clipY = FClipToAxes && !percentY;
    const bool xVisible = Within(x1, xMin, xMax) || Within(x2, xMin, xMax) || (x1 < xMin && x2 > xMax);
    bool yVisible = true;
    double yMin = 0, yMax = 0;
    if (clipY) {
        yMin = ya->Min();
        yMax = ya->Max();
        yVisible = Within(y1, yMin, yMax) || Within(y2, yMin, yMax) || (y1 < yMin && y2 > yMax) ||
                   (y1 > yMax && y2 < yMin);
    }
    if (!xVisible || !yVisible)
        return;

    const double ox1 = x1, oy1 = y1, ox2 = x2, oy2 = y2;
    if (x1 < xMin) {
        y1 = InterpolateY(ox1, oy1, ox2, oy2, xMin);
        x1 = xMin;
    }
    if (x2 > xMax) {
        y2 = InterpolateY(ox1, oy1, ox2, oy2, xMax);
        x2 = xMax;
    }

    bool onScale = true;
    if (clipY) {
        const double cx1 = x1, cy1 = y1, cx2 = x2, cy2 = y2;
        auto clipEnd = [&](double& x, double& y) {
            if (y > yMax) {
                x = InterpolateX(cx1, cy1, cx2, cy2, yMax);
                y = yMax;
            } else if (y < yMin) {
                x = InterpolateX(cx1, cy1, cx2, cy2, yMin);
                y = yMin;
            }
        };
        clipEnd(x1, y1);
        clipEnd(x2, y2);
        onScale =
            xa->ValueOnScale(x1) && ya->ValueOnScale(y1) && xa->ValueOnScale(x2) && ya->ValueOnScale(y2);
    } else if (FClipToAxes) {
        onScale = xa->ValueOnScale(x1) && xa->ValueOnScale(x2);
    }
    if (!onScale)
        return;

    auto yPixels = [&](double y) -> int {
        if (!percentY)
            return ya->PositionToPixels(y);
        TgPlotDataView* view = FirstDataView();
        if (!view)
            return 0;
        return reversed ? view->PositionPercentToPixelsX(y) : view->PositionPercentToPixelsY(y);
    };
    TPoint p1{xa->PositionToPixels(x1), yPixels(y1)};
    TPoint p2{xa->PositionToPixels(x2), yPixels(y2)};
    if (reversed) {
        std::swap(p1.X, p1.Y);
        std::swap(p2.X, p2.Y);
    }
    if (ClipToDrawLimit(p1, p2))
        canvas.Polyline({p1, p2});
}

void TgPlotChannelCustom::DrawValuePolygon(TCanvas& canvas, bool reversed,
                                           const std::pair<double, double> (&points)[4]) {
    TgPlotAxis* xa = XAxis();
    TgPlotAxis* ya = YAxis();
    if (!xa || !ya)
        return;
    std::vector<TPoint> pixels;
    for (const auto& [x, y] : points) {
        TPoint p{xa->PositionToPixels(x), ya->PositionToPixels(y)};
        if (reversed)
            std::swap(p.X, p.Y);
        pixels.push_back(p);
    }
    canvas.Polygon(pixels);
}

TRect TgPlotChannelCustom::ValueRectToPixels(double x1, double y1, double x2, double y2) {
    TgPlotAxis* xa = XAxis();
    TgPlotAxis* ya = YAxis();
    if (!xa || !ya)
        return {};
    return gSwapRect(FXYAxesReversed, xa->PositionToPixels(x1), ya->PositionToPixels(y1),
                     xa->PositionToPixels(x2), ya->PositionToPixels(y2));
}

void TgPlotChannelCustom::DrawMarkers(TCanvas& canvas, bool, TColor backgroundColor) {
    if (!MarkersVisible())
        return;
    canvas.SetFont(FMarkersFont.get());
    if (FMarkersTurnOffLimit > 0 && std::abs(FStopIndex - FStartIndex) > FMarkersTurnOffLimit)
        return;
    const int start = std::max(0, FStartIndex), stop = std::min(FStopIndex, Count() - 1);
    for (int i = start; i <= stop; ++i)
        if (CanDrawMarker(i))
            DrawMarker(canvas, i, backgroundColor, GetPointPixels(i));
}

bool TgPlotChannelCustom::CanDrawMarker(int index) {
    if (!MarkersVisible() || !GetDataValid(index) || !HasAxes())
        return false;
    if (FMarkersAllowIndividual && !GetDataMarkerVisible(index))
        return false;
    if (FClipToAxes && !(FXAxis->ValueOnScale(GetDataX(index)) && FYAxis->ValueOnScale(GetDataY(index))))
        return false;
    return true;
}

TPoint TgPlotChannelCustom::GetPointPixels(int index) {
    TgPlotAxis* xa = XAxis();
    TgPlotAxis* ya = YAxis();
    if (!xa || !ya)
        return {};
    TPoint p{xa->PositionToPixels(GetDataX(index)), ya->PositionToPixels(GetDataY(index))};
    if (FXYAxesReversed)
        std::swap(p.X, p.Y);
    return p;
}

TRect TgPlotChannelCustom::GetMarkerRect(int index) {
    const TPoint p = GetPointPixels(index);
    const int s = FMarkersAllowIndividual ? GetDataMarkerSize(index) : MarkersSize();
    return {p.X - s, p.Y - s, p.X + s, p.Y + s};
}

void TgPlotChannelCustom::DrawMarker(TCanvas& canvas, int index, TColor, TPoint point) {
    TgPlotMarkerStyle style = MarkersStyle();
    int r = MarkersSize();
    int penWidth = MarkersPenWidth();
    TPenStyle penStyle = MarkersPenStyle();
    TBrushStyle brushStyle = MarkersBrushStyle();
    TColor penColor = FMarkersPenUseChannelColor ? Color() : MarkersPenColor();
    TColor brushColor = FMarkersBrushUseChannelColor ? Color() : MarkersBrushColor();
    char16_t character = FDataList->StoredMarkerCharacter;
    if (index < 0) {
        r = std::min(r, 6);
    } else {
        character = GetDataMarkerCharacter(index);
        if (FMarkersAllowIndividual) {
            style = GetDataMarkerStyle(index);
            r = GetDataMarkerSize(index);
            penWidth = GetDataMarkerPenWidth(index);
            penStyle = GetDataMarkerPenStyle(index);
            brushStyle = GetDataMarkerBrushStyle(index);
            penColor = FMarkersPenUseChannelColor ? Color() : GetDataMarkerPenColor(index);
            brushColor = FMarkersBrushUseChannelColor ? Color() : GetDataMarkerBrushColor(index);
        }
    }
    if (!InsideDrawLimit(point))
        return;
    r = std::clamp(r, -int(kDrawLimit), int(kDrawLimit));
    canvas.Pen()->SetWidth(penWidth);
    canvas.Pen()->SetStyle(penStyle);
    canvas.Pen()->SetColor(penColor);
    canvas.Brush()->SetColor(brushColor);
    canvas.Brush()->SetStyle(brushStyle);

    const int x = point.X, y = point.Y;
    auto line = [&](int x1, int y1, int x2, int y2) {
        canvas.MoveTo(x1, y1);
        canvas.LineTo(x2, y2);
    };
    switch (style) {
    case TgPlotMarkerStyle::ipmsCircle:
        canvas.Ellipse(x - r, y - r, x + r, y + r);
        break;
    case TgPlotMarkerStyle::ipmsSquare:
        canvas.Rectangle(x - r, y - r, x + r, y + r);
        break;
    case TgPlotMarkerStyle::ipmsDiamond:
        canvas.Polygon({{x + r, y}, {x, y + r}, {x - r, y}, {x, y - r}});
        break;
    case TgPlotMarkerStyle::ipmsCross:
        line(x + r, y + r, x - r, y - r);
        line(x + r, y - r, x - r, y + r);
        break;
    case TgPlotMarkerStyle::ipmsPlus:
        line(x, y + r, x, y - r);
        line(x + r, y, x - r, y);
        break;
    case TgPlotMarkerStyle::ipmsTriangleUp:
        canvas.Polygon({{x - r, y + r}, {x, y}, {x + r, y + r}});
        break;
    case TgPlotMarkerStyle::ipmsTriangleDown:
        canvas.Polygon({{x - r, y - r}, {x, y}, {x + r, y - r}});
        break;
    case TgPlotMarkerStyle::ipmsTriangleLeft:
        canvas.Polygon({{x + r, y - r}, {x, y}, {x + r, y + r}});
        break;
    case TgPlotMarkerStyle::ipmsTriangleRight:
        canvas.Polygon({{x - r, y - r}, {x, y}, {x - r, y + r}});
        break;
    case TgPlotMarkerStyle::ipmsVerticalLine:
        line(x, y - r, x, y + r);
        break;
    case TgPlotMarkerStyle::ipmsHorizontalLine:
        line(x - r, y, x + r, y);
        break;
    case TgPlotMarkerStyle::ipmsCharacter:
        if (character != 0) {
            const std::string text = Utf8Of(character);
            TRect rect{x, y, x, y};
            canvas.Brush()->SetStyle(TBrushStyle::bsClear);
            gDrawText(canvas, text, rect, gtoCenter | gtoVCenter | gtoSingleLine | gtoNoClip, true,
                      canvas.Font()->Color());
        }
        break;
    }
}

// --- mouse

bool TgPlotChannelCustom::gMouseHitTest(const TgPlotMouseData& mouseData) {
    if (FVisibleInLegend && PtIn(FLegendRect, mouseData.X, mouseData.Y))
        return true;
    auto* h = ChannelHost();
    if (!h || !h->GetSelectModeActive())
        return false;
    FSelectDataIndex = -1;
    const bool bars = HitTestBars();
    if (!(bars || MarkersVisible()) || Count() == 0)
        return false;
    CalcStartIndex();
    CalcStopIndex();
    const int start = std::max(0, FStartIndex), stop = std::min(FStopIndex, Count() - 1);
    for (int i = start; i <= stop; ++i) {
        if (!GetDataValid(i))
            continue;
        if (bars) {
            FSelectHitTestRect = GetBarRect(i);
        } else {
            if (!CanDrawMarker(i))
                continue;
            FSelectHitTestRect = GetMarkerRect(i);
        }
        if (PtIn(FSelectHitTestRect, mouseData.X, mouseData.Y)) {
            FSelectDataIndex = i;
            return true;
        }
    }
    return false;
}

void TgPlotChannelCustom::DoMouseLeft(const TgPlotMouseData& mouseData) {
    if (auto* h = ChannelHost())
        h->DoMouseDownDataPoint(ChannelIndex(), FSelectDataIndex, mouseData.Button, mouseData.Shift,
                                mouseData.X, mouseData.Y);
    FMouseDownDataIndex = FSelectDataIndex;
    // The point must still be there: points may have gone since the hit test.
    if (FSelectDataIndex >= 0 && FSelectDataIndex < Count() &&
        PtIn(FSelectHitTestRect, mouseData.X, mouseData.Y)) {
        FSelectMouseDown = true;
        FSelectMouseDownIndex = FSelectDataIndex;
        FSelectDownRect = FSelectHitTestRect;
        FMouseDownValueX = GetDataX(FSelectDataIndex);
        FMouseDownValueY = GetDataY(FSelectDataIndex);
        FMouseDownPixelX = mouseData.XAxisPixels;
        FMouseDownPixelY = mouseData.YAxisPixels;
    }
}

void TgPlotChannelCustom::DoMouseMove(const TgPlotMouseData& mouseData) {
    if (!FSelectMouseDown)
        return;
    if (auto* h = ChannelHost())
        h->DoMouseMoveDataPoint(ChannelIndex(), FMouseDownDataIndex, mouseData.Shift, mouseData.X,
                                mouseData.Y);
    const int index = FSelectMouseDownIndex;
    if (!FUserCanMoveDataPoints || !HasAxes() || index < 0 || index >= Count())
        return;
    const auto style = FUserCanMoveDataPointsStyle;
    double dx = 0, dy = 0;
    if (style != TgPlotChannelDataPointMoveStyle::ipcdpmsYOnly)
        dx = FXAxis->PixelsToPosition(FMouseDownPixelX) - FXAxis->PixelsToPosition(mouseData.XAxisPixels);
    if (style != TgPlotChannelDataPointMoveStyle::ipcdpmsXOnly)
        dy = FYAxis->PixelsToPosition(FMouseDownPixelY) - FYAxis->PixelsToPosition(mouseData.YAxisPixels);
    SetDataX(index, FMouseDownValueX - dx);
    SetDataY(index, FMouseDownValueY - dy);
}

void TgPlotChannelCustom::DoMouseUp(const TgPlotMouseData& mouseData) {
    auto* h = ChannelHost();
    if (h)
        h->DoMouseUpDataPoint(ChannelIndex(), FMouseDownDataIndex, mouseData.Button, mouseData.Shift,
                              mouseData.X, mouseData.Y);
    if (FSelectMouseDown) {
        FSelectMouseDown = false;
        const int index = FSelectMouseDownIndex;
        if (h && PtIn(FSelectDownRect, mouseData.X, mouseData.Y))
            h->DoClickDataPoint(ChannelIndex(), index, mouseData.DblClickActive);
        if (h && index >= 0 && index < Count()) {
            const double x = GetDataX(index), y = GetDataY(index);
            if (x != FMouseDownValueX || y != FMouseDownValueY)
                h->DoDataPointMoved(ChannelIndex(), index, FMouseDownValueX, FMouseDownValueY, x, y);
        }
    } else if (h && FMouseDown && PtIn(FLegendRect, mouseData.X, mouseData.Y)) {
        h->DoClickChannel(ChannelIndex(), mouseData.DblClickActive);
    }
}

void TgPlotChannelCustom::DoMouseHint(const TgPlotMouseData& mouseData, TgHintData& hintData) {
    auto* h = ChannelHost();
    if (h)
        h->DoMouseMoveDataPoint(ChannelIndex(), FSelectDataIndex, mouseData.Shift, mouseData.X, mouseData.Y);
    if (!FShowDataPointHints || FSelectDataIndex < 0 || FSelectDataIndex >= Count() ||
        !PtIn(FSelectHitTestRect, mouseData.X, mouseData.Y) || !HasAxes())
        return;
    const int index = FSelectDataIndex;
    std::string text = FXAxis->GetLabelText(GetDataX(index)) + ", " + FYAxis->GetLabelText(GetDataY(index));
    if (h)
        h->DoDataPointCustomizeHint(ChannelIndex(), index, text);

    // Measured on the plot's hint canvas, or on a scratch one when the plot offers none.
    TBitmap scratch;
    auto* axisHost = dynamic_cast<IgPlotAxisHost*>(FOwner);
    TCanvas* hintCanvas = axisHost ? axisHost->HintCanvas() : nullptr;
    if (!hintCanvas) {
        scratch.SetSize(1, 1);
        hintCanvas = scratch.Canvas();
    }
    TCanvas& canvas = *hintCanvas;
    if (h && h->GetHintsFont())
        canvas.SetFont(h->GetHintsFont());
    const int textHeight = gTextHeightMultiLine(canvas, text);
    const int w = gTextWidthMultiLine(canvas, text) + 4;
    const int ht = textHeight + 4;
    const int m = textHeight + MarkersSize() / 2 + 8;
    int left = mouseData.X - w / 2;
    int top = mouseData.Y - m;
    if (TgPlotDataView* view = FirstDataView()) {
        const TRect r = view->DrawRect();
        if (top <= r.Top)
            top = mouseData.Y + m;
        if (left <= r.Left) {
            left = mouseData.X + MarkersSize() / 2 + 8;
            top = mouseData.Y - ht / 2;
        } else if (left + w >= r.Right) {
            left = mouseData.X - MarkersSize() / 2 - w - 4;
            top = mouseData.Y - ht / 2;
        }
        if (top + ht >= r.Bottom)
            top = r.Bottom - ht;
        if (top <= r.Top)
            top = r.Top;
    }
    hintData.Text = text;
    hintData.Width = w;
    hintData.Height = ht;
    hintData.Left = left;
    hintData.Top = top;
}

TCursor TgPlotChannelCustom::GetMouseCursor(TPoint) {
    TCursor cursor = crHandPoint;
    if (auto* h = ChannelHost())
        h->DoGetMouseCursorChannel(ChannelIndex(), cursor);
    return cursor;
}

void TgPlotChannelCustom::NotificationFocusChange(TObject* sender) {
    if (sender == this)
        return;
    auto* other = dynamic_cast<TgPlotObject*>(sender);
    if (!other || !other->UserSelected())
        return;
    // Selecting the legend or a data cursor that shows this channel keeps the channel selected.
    if (gObjectIsOfClass(other, "TgPlotLegend"))
        return;
    if (gObjectIsOfClass(other, "TgPlotDataCursor")) {
        auto name = GetPropText(*other, "ChannelName");
        if (name && SameText(*name, FName))
            return;
    }
    SetUserSelected(false);
}

void TgPlotChannelCustom::BuildPopupMenu(TPopupMenu* popupMenu) {
    TgPlotManagerObject::BuildPopupMenu(popupMenu);
    AddEditMenuItem(popupMenu);
}

TPenStyle gPenStyleOf(TgPlotLineStyle style) {
    switch (style) {
    case TgPlotLineStyle::iplsDash:
        return TPenStyle::psDash;
    case TgPlotLineStyle::iplsDot:
        return TPenStyle::psDot;
    case TgPlotLineStyle::iplsDashDot:
        return TPenStyle::psDashDot;
    case TgPlotLineStyle::iplsDashDotDot:
        return TPenStyle::psDashDotDot;
    default:
        return TPenStyle::psSolid;
    }
}

bool gChannelVariantNumber(const TgOPCVariant& v, double& out) {
    switch (v.VType) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varInt64:
    case varBoolean:
        out = static_cast<double>(v.I);
        return true;
    case varByte:
    case varWord:
    case varLongWord:
    case varUInt64:
        out = static_cast<double>(v.U);
        return true;
    case varSingle:
    case varDouble:
    case varDate:
        out = v.D;
        return true;
    case varOleStr:
        try {
            out = gChannelTextValue(v.S);
            return true;
        } catch (const EConvertError&) {
            return false;
        }
    default:
        return false;
    }
}

} // namespace kv
