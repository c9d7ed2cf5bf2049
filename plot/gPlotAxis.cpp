#include "plot/gPlotAxis.h"

#include "plot/gMath.h"
#include "plot/gPlotManagers.h"
#include "plot/gPlotTable.h"
#include "plot/gPropText.h"

#include <algorithm>
#include <cmath>

namespace kv {

std::vector<std::string> EnumIdents(TgRotationAngle) {
    return {"ira000", "ira090", "ira180", "ira270"};
}

std::vector<std::string> EnumIdents(TgPlotCartesianStyle) {
    return {"ipcsNone", "ipcsMaster", "ipcsChild"};
}

std::vector<std::string> EnumIdents(TgQuadSide) {
    return {"iqsLeft", "iqsTop", "iqsRight", "iqsBottom"};
}

std::vector<std::string> EnumIdents(TgPlotGridLineStyle) {
    return {"ipglsSolid", "ipglsDash", "ipglsDot"};
}

std::vector<std::string> EnumIdents(TgPlotTrackingStyle) {
    return {"iptsScaleMinMax", "iptsScaleMax",       "iptsScaleMin",           "iptsScrollSmooth",
            "iptsScrollPage",  "iptsExpandCollapse", "iptsExpandCollapseFast", "iptsExpandMinMax"};
}

std::vector<std::string> EnumIdents(TgPlotAlignFirstStyle) {
    return {"ipafsMin", "ipafsMax", "ipafsAuto", "ipafsNone"};
}

std::vector<std::string> EnumIdents(TgPlotAxisMode) {
    return {"ipamScroll", "ipamZoom"};
}
std::vector<std::string> EnumIdents(TgPlotTrackingIncrementStyle) {
    return {"iptisMinimum", "iptisMajor", "iptisMinor"};
}

KV_REGISTER_CLASS(TgPlotAxis, TgPlotLayoutObject, b) {
    using A = TgPlotAxis;
    b.Prop("Min", &A::Min, &A::SetMin);
    b.Prop("Span", &A::Span, &A::SetSpan);
    // An older name of Span, read from layouts and never written.
    b.Prop("Span_2", &A::Span, &A::SetSpan).Stored([](const A&) { return false; });
    b.Prop("ReverseScale", &A::ReverseScale, &A::SetReverseScale).Default(false);
    b.Prop("ScaleType", &A::ScaleType, &A::SetScaleType).Default(TgPlotScaleType::ipstLinear);
    b.Prop("DesiredStart", &A::DesiredStart, &A::SetDesiredStart);
    b.Prop("DesiredIncrement", &A::DesiredIncrement, &A::SetDesiredIncrement);
    b.Prop("MinorCount", &A::MinorCount, &A::SetMinorCount).Default(1);
    b.Prop("MajorLength", &A::MajorLength, &A::SetMajorLength).Default(7);
    b.Prop("MinorLength", &A::MinorLength, &A::SetMinorLength).Default(3);
    b.Prop("InnerMargin", &A::InnerMargin, &A::SetInnerMargin).Default(5);
    b.Prop("OuterMargin", &A::OuterMargin, &A::SetOuterMargin).Default(5);
    b.Prop("StackingEndsMargin", &A::StackingEndsMargin, &A::SetStackingEndsMargin);
    b.Prop("ForceStacking", &A::ForceStacking, &A::SetForceStacking).Default(false);
    b.Prop("CartesianStyle", &A::CartesianStyle, &A::SetCartesianStyle)
        .Default(TgPlotCartesianStyle::ipcsNone);
    b.Prop("CartesianChildRefAxisName", &A::CartesianChildRefAxisName, &A::SetCartesianChildRefAxisName);
    b.Prop("CartesianChildRefValue", &A::CartesianChildRefValue, &A::SetCartesianChildRefValue);
    b.Prop("AlignRefAxisName", &A::AlignRefAxisName, &A::SetAlignRefAxisName);
    b.Prop("ScaleLineShow", &A::ScaleLineShow, &A::SetScaleLineShow).Default(true);
    b.Prop("ScaleLinesShow", &A::ScaleLinesShow, &A::SetScaleLinesShow).Default(true);
    b.Prop("ScaleLinesColor", &A::ScaleLinesColor, &A::SetScaleLinesColor)
        .Default(clWhite)
        .Idents(ColorIdents(), "TColor");
    b.Prop("GridLinesVisible", &A::GridLinesVisible, &A::SetGridLinesVisible).Default(true);

    b.Prop("LabelsVisible", &A::LabelsVisible, &A::SetLabelsVisible).Default(true);
    b.Prop("LabelsMargin", &A::LabelsMargin, &A::SetLabelsMargin);
    b.Prop("LabelsFont", &A::LabelsFont, &A::SetLabelsFont);
    b.Prop("LabelSeparation", &A::LabelSeparation, &A::SetLabelSeparation);
    b.Prop("LabelsRotation", &A::LabelsRotation, &A::SetLabelsRotation).Default(TgRotationAngle::ira000);
    b.Prop("LabelsPrecision", &A::LabelsPrecision, &A::SetLabelsPrecision).Default(3);
    b.Prop("LabelsPrecisionStyle", &A::LabelsPrecisionStyle, &A::SetLabelsPrecisionStyle)
        .Default(TgPrecisionStyle::ipsSignificantDigits);
    b.Prop("LabelsFormatStyle", &A::LabelsFormatStyle, &A::SetLabelsFormatStyle)
        .Default(TgPlotTextFormat::iptfValue);
    b.Prop("DateTimeFormat", &A::DateTimeFormat, &A::SetDateTimeFormat);
    b.Prop("LabelsMinLength", &A::LabelsMinLength, &A::SetLabelsMinLength);
    b.Prop("LabelsMinLengthAutoAdjust", &A::LabelsMinLengthAutoAdjust, &A::SetLabelsMinLengthAutoAdjust)
        .Default(false);
    b.Prop("Title", &A::Title, &A::SetTitle);
    b.Prop("TitleShow", &A::TitleShow, &A::SetTitleShow).Default(false);
    b.Prop("TitleRotated", &A::TitleRotated, &A::SetTitleRotated).Default(false);
    b.Prop("TitleMargin", &A::TitleMargin, &A::SetTitleMargin);
    b.Prop("TitleFont", &A::TitleFont, &A::SetTitleFont);
    b.Prop("CursorUseDefaultFormat", &A::CursorUseDefaultFormat, &A::SetCursorUseDefaultFormat).Default(true);
    b.Prop("CursorFormatStyle", &A::CursorFormatStyle, &A::SetCursorFormatStyle)
        .Default(TgPlotTextFormat::iptfValue);
    b.Prop("CursorDateTimeFormat", &A::CursorDateTimeFormat, &A::SetCursorDateTimeFormat);
    b.Prop("CursorPrecisionStyle", &A::CursorPrecisionStyle, &A::SetCursorPrecisionStyle)
        .Default(TgPrecisionStyle::ipsSignificantDigits);
    b.Prop("CursorPrecision", &A::CursorPrecision, &A::SetCursorPrecision).Default(3);
    b.Prop("CursorMinLength", &A::CursorMinLength, &A::SetCursorMinLength);
    b.Prop("CursorMinLengthAutoAdjust", &A::CursorMinLengthAutoAdjust, &A::SetCursorMinLengthAutoAdjust)
        .Default(false);
    b.Prop("LegendUseDefaultFormat", &A::LegendUseDefaultFormat, &A::SetLegendUseDefaultFormat).Default(true);
    b.Prop("LegendFormatStyle", &A::LegendFormatStyle, &A::SetLegendFormatStyle)
        .Default(TgPlotTextFormat::iptfValue);
    b.Prop("LegendDateTimeFormat", &A::LegendDateTimeFormat, &A::SetLegendDateTimeFormat);
    b.Prop("LegendPrecisionStyle", &A::LegendPrecisionStyle, &A::SetLegendPrecisionStyle)
        .Default(TgPrecisionStyle::ipsSignificantDigits);
    b.Prop("LegendPrecision", &A::LegendPrecision, &A::SetLegendPrecision).Default(3);
    b.Prop("LegendMinLength", &A::LegendMinLength, &A::SetLegendMinLength);
    b.Prop("LegendMinLengthAutoAdjust", &A::LegendMinLengthAutoAdjust, &A::SetLegendMinLengthAutoAdjust)
        .Default(false);
    b.Prop("CursorScaler", &A::CursorScaler, &A::SetCursorScaler);

    b.Prop("TrackingEnabled", &A::TrackingEnabled, &A::SetTrackingEnabled).Default(true);
    // X and Y axes are built with different tracking styles, so no declared default: every value is
    // written and none is lost to a default that one of them is not built with.
    b.Prop("TrackingStyle", &A::TrackingStyle, &A::SetTrackingStyle);
    b.Prop("TrackingAlignFirstStyle", &A::TrackingAlignFirstStyle, &A::SetTrackingAlignFirstStyle);
    b.Prop("TrackingIncrementStyle", &A::TrackingIncrementStyle, &A::SetTrackingIncrementStyle)
        .Default(TgPlotTrackingIncrementStyle::iptisMinimum);
    b.Prop("TrackingScrollCompressMax", &A::TrackingScrollCompressMax, &A::SetTrackingScrollCompressMax);
    b.Prop("TrackingSpanMinimum", &A::TrackingSpanMinimum, &A::SetTrackingSpanMinimum);
    b.Prop("TrackingMaxMargin", &A::TrackingMaxMargin, &A::SetTrackingMaxMargin);
    b.Prop("TrackingMinMargin", &A::TrackingMinMargin, &A::SetTrackingMinMargin);
    b.Prop("RestoreValuesOnResume", &A::RestoreValuesOnResume, &A::SetRestoreValuesOnResume).Default(true);
    b.Prop("ScrollMinMaxEnabled", &A::ScrollMinMaxEnabled, &A::SetScrollMinMaxEnabled).Default(false);
    b.Prop("ScrollMin", &A::ScrollMin, &A::SetScrollMin);
    b.Prop("ScrollMax", &A::ScrollMax, &A::SetScrollMax);
    b.Prop("MasterUIInput", &A::MasterUIInput, &A::SetMasterUIInput).Default(false);
}

KV_REGISTER_CLASS(TgPlotXAxis, TgPlotAxis, b) {}
KV_REGISTER_CLASS(TgPlotYAxis, TgPlotAxis, b) {}

namespace {

bool Turned(TgRotationAngle r) {
    return r == TgRotationAngle::ira090 || r == TgRotationAngle::ira270;
}

// "\r\n", then any remaining "\r", become blanks (and a lone "\n" too, which would break a line the same).
std::string OneLine(std::string s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
            out += ' ';
            ++i;
        } else if (s[i] == '\r' || s[i] == '\n') {
            out += ' ';
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string Trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return "";
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

TPenStyle PenStyleOf(TgPlotGridLineStyle style) {
    switch (style) {
    case TgPlotGridLineStyle::ipglsDash:
        return TPenStyle::psDash;
    case TgPlotGridLineStyle::ipglsDot:
        return TPenStyle::psDot;
    case TgPlotGridLineStyle::ipglsSolid:
        break;
    }
    return TPenStyle::psSolid;
}

// Allows the label minimum length to grow for as long as it lives, also when formatting throws.
class AllowMinAdjust {
public:
    explicit AllowMinAdjust(bool& flag) : FFlag(flag) { FFlag = true; }
    ~AllowMinAdjust() { FFlag = false; }
    AllowMinAdjust(const AllowMinAdjust&) = delete;
    AllowMinAdjust& operator=(const AllowMinAdjust&) = delete;

private:
    bool& FFlag;
};

// Pixel sums of user-set margins and measured texts, saturated rather than overflowing.
int Px(double value) {
    return gRoundPixels(value);
}

template <class T> bool Store(T& field, const T& value) {
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// Life cycle

TgPlotAxis::TgPlotAxis(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                       TNotifyEvent onRename)
    : TgPlotLayoutObject(owner, std::move(onChange), std::move(onInsert), std::move(onRemove),
                         std::move(onRename)) {
    FLabelsFont = std::make_unique<TFont>();
    FLabelsFont->SetColor(clWhite);
    FLabelsFont->OnChange = [this](TObject*) { DoChange(); };
    FTitleFont = std::make_unique<TFont>();
    FTitleFont->SetColor(clWhite);
    FTitleFont->SetName("Arial");
    FTitleFont->SetSize(10);
    FTitleFont->SetStyle({TFontStyle::fsBold});
    FTitleFont->OnChange = [this](TObject*) { DoChange(); };
    // Through the setter, before restoring on resume is switched on, so nothing is restored yet.
    SetTrackingEnabled(true);
    FRestoreValuesOnResume = true;
}

TgPlotAxis::~TgPlotAxis() {
    NotifyRemove();
    FLabelsFont->OnChange = nullptr;
    FTitleFont->OnChange = nullptr;
}

TgPlotXAxis::TgPlotXAxis(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                         TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotAxis(owner, std::move(onChange), std::move(onInsert), std::move(onRemove), std::move(onRename)) {
    FHorizontal = true;
    SetTrackingStyle(gObjectIsOfClass(owner, "TgPlot") ? TgPlotTrackingStyle::iptsScrollSmooth
                                                       : TgPlotTrackingStyle::iptsScaleMinMax);
    SetTrackingAlignFirstStyle(TgPlotAlignFirstStyle::ipafsAuto);
}

// The managers hear of the removal while the object is still an X axis.
TgPlotXAxis::~TgPlotXAxis() {
    NotifyRemove();
}

TgPlotYAxis::TgPlotYAxis(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                         TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotAxis(owner, std::move(onChange), std::move(onInsert), std::move(onRemove), std::move(onRename)) {
    FHorizontal = false;
    SetTrackingStyle(TgPlotTrackingStyle::iptsScaleMinMax);
    SetTrackingAlignFirstStyle(TgPlotAlignFirstStyle::ipafsNone);
}

TgPlotYAxis::~TgPlotYAxis() {
    NotifyRemove();
}

void gRegisterPlotAxisClasses() {
    gRegisterPlotObjectClassOf<TgPlotXAxis>("TgPlotXAxis");
    gRegisterPlotObjectClassOf<TgPlotYAxis>("TgPlotYAxis");
}

namespace {
const bool kAxisClassesRegistered = (gRegisterPlotAxisClasses(), true);
}

IgPlotAxisHost* TgPlotAxis::AxisHost() const {
    return dynamic_cast<IgPlotAxisHost*>(FOwner);
}

// ---------------------------------------------------------------------------------------------------
// Range

void TgPlotAxis::SetMin(double value) {
    const double old = Min();
    FScale.SetMin(value);
    if (Min() == old)
        return;
    DoChange();
    if (FBlockMinSpanEvents)
        return;
    if (auto* host = AxisHost(); host && !host->PlotIsLoading()) {
        host->DoAxisMinChange(this, old, Min());
        host->DoAxisMinSpanChange(this, old, Span(), Min(), Span());
    }
}

void TgPlotAxis::SetSpan(double value) {
    const double old = Span();
    FScale.SetSpan(value);
    if (Span() == old)
        return;
    DoChange();
    if (FBlockMinSpanEvents)
        return;
    if (auto* host = AxisHost(); host && !host->PlotIsLoading()) {
        host->DoAxisSpanChange(this, old, Span());
        host->DoAxisMinSpanChange(this, Min(), old, Min(), Span());
    }
}

void TgPlotAxis::SetMinSpan(double newMin, double newSpan) {
    if (ScaleType() == TgPlotScaleType::ipstLog10) {
        if (newMin <= 0)
            newMin = 1;
        if (newSpan <= 0)
            newSpan = 1;
    }
    // Compared as they would be stored, so a request that changes nothing fires nothing.
    newMin = std::isnan(newMin) ? Min() : std::clamp(newMin, -1e300, 1e300);
    newSpan = std::isnan(newSpan) ? Span() : std::clamp(newSpan, 1e-300, 1e300);
    if (newMin == Min() && newSpan == Span())
        return;
    const double oldMin = Min(), oldSpan = Span();
    const bool blocked = FBlockMinSpanEvents;
    FBlockMinSpanEvents = true;
    SetMin(newMin);
    SetSpan(newSpan);
    FBlockMinSpanEvents = blocked;
    auto* host = AxisHost();
    if (!host || host->PlotIsLoading())
        return;
    if (Min() != oldMin)
        host->DoAxisMinChange(this, oldMin, Min());
    if (Span() != oldSpan)
        host->DoAxisSpanChange(this, oldSpan, Span());
    host->DoAxisMinSpanChange(this, oldMin, oldSpan, Min(), Span());
}

// ---------------------------------------------------------------------------------------------------
// Scale settings

void TgPlotAxis::SetReverseScale(bool value) {
    if (Store(FScale.ReverseScale, value))
        DoChange();
}

void TgPlotAxis::SetScaleType(TgPlotScaleType value) {
    if (value == ScaleType())
        return;
    FScale.SetScaleType(value);
    DoChange();
}

void TgPlotAxis::SetDesiredStart(double value) {
    if (Store(FScale.DesiredStart, value))
        DoChange();
}

void TgPlotAxis::SetDesiredIncrement(double value) {
    const double old = DesiredIncrement();
    FScale.SetDesiredIncrement(value);
    if (DesiredIncrement() != old)
        DoChange();
}

void TgPlotAxis::SetMinorCount(int value) {
    if (Store(FScale.MinorCount, value))
        DoChange();
}

void TgPlotAxis::SetCartesianStyle(TgPlotCartesianStyle value) {
    if (Store(FCartesianStyle, value))
        DoChange();
}

void TgPlotAxis::SetCartesianChildRefAxisName(const std::string& value) {
    FCartesianRefAxis = nullptr;
    FCartesianRefResolved = false;
    SetStringProperty(value, FCartesianChildRefAxisName, &TgPlotObject::DoChange);
}

void TgPlotAxis::SetAlignRefAxisName(const std::string& value) {
    FAlignRefAxis = nullptr;
    FAlignRefResolved = false;
    SetStringProperty(value, FAlignRefAxisName, &TgPlotObject::DoChange);
}

// ---------------------------------------------------------------------------------------------------
// Mapping

const TgPlotAxisScale& TgPlotAxis::Scale() const {
    FScale.Horizontal = IsHorz();
    return FScale;
}

int TgPlotAxis::PositionToPixels(double value) const {
    return Scale().PositionToPixels(value);
}

double TgPlotAxis::PixelsToPosition(int pixels) const {
    return Scale().PixelsToPosition(pixels);
}

int TgPlotAxis::WidthToPixels(double width) const {
    return Scale().WidthToPixels(width);
}

bool TgPlotAxis::PointOnScale(double value) const {
    return Scale().PointOnScale(value);
}

double TgPlotAxis::PositionToPercent(double value) const {
    return Scale().PositionToPercent(value);
}

double TgPlotAxis::PercentToPosition(double value) const {
    return Scale().PercentToPosition(value, StartPercent(), StopPercent());
}

// ---------------------------------------------------------------------------------------------------
// Ticks

const TgPlotTick& TgPlotAxis::Tick(int index) const {
    if (index < 0 || index >= TickListCount())
        throw EKvError("List index out of bounds (" + std::to_string(index) + ")");
    return FScale.Ticks()[std::size_t(index)];
}

void TgPlotAxis::TickListClear() {
    FScale.TickListClear();
    DoChange();
}

int TgPlotAxis::TickListAdd(double position, const std::string& label, TgPlotTickType style) {
    const int index = FScale.TickListAdd(position, label, style);
    DoChange();
    return index;
}

void TgPlotAxis::CalcScaleRect(TCanvas& canvas) {
    const bool horizontal = IsHorz();
    const bool cartesian = FCartesianStyle != TgPlotCartesianStyle::ipcsNone;
    if (cartesian)
        FQuadSide = horizontal ? TgQuadSide::iqsBottom : TgQuadSide::iqsRight;
    else if (horizontal)
        FQuadSide = FReverseSide ? TgQuadSide::iqsTop : TgQuadSide::iqsBottom;
    else
        FQuadSide = FReverseSide ? TgQuadSide::iqsRight : TgQuadSide::iqsLeft;

    canvas.SetFont(FLabelsFont.get());
    const TRect r = DrawRect();
    TRect s = r;
    if (horizontal) {
        FFocusRect.Top = r.Top + 2;
        FFocusRect.Bottom = r.Bottom - 2;
        const int w = gTextWidthMultiLine(canvas, "0");
        int c = 0;
        if (LabelsVisible())
            c = Turned(FLabelsRotation) ? gTextHeightMultiLine(canvas, GetLabelText(Min()))
                                        : GetMaxLabelWidth(canvas, FLabelsFont.get());
        const int d =
            cartesian ? 0 : Px(double(gRoundPixels(c / 2.0)) + gRoundPixels(w * FStackingEndsMargin));
        if (FStartStacked)
            s.Left = Px(double(r.Left) + d);
        if (FStopStacked)
            s.Right = Px(double(r.Right) - d);
        FFocusRect.Left = Px(double(s.Left) - d);
        FFocusRect.Right = Px(double(s.Right) + d);
    } else {
        FFocusRect.Left = r.Left + 2;
        FFocusRect.Right = r.Right - 2;
        const int h = gTextHeightMultiLine(canvas, "0");
        // Counted even with the labels hidden, so that stacked vertical axes keep their ends.
        const int c = Turned(FLabelsRotation) ? GetMaxLabelWidth(canvas, FLabelsFont.get())
                                              : gTextHeightMultiLine(canvas, GetLabelText(Min()));
        const int d = cartesian ? 0 : Px(std::trunc((double(c) + gRoundPixels(h * FStackingEndsMargin)) / 2));
        if (FStartStacked)
            s.Bottom = Px(double(r.Bottom) - d);
        if (FStopStacked)
            s.Top = Px(double(r.Top) + d);
        FFocusRect.Bottom = Px(double(s.Bottom) + d);
        FFocusRect.Top = Px(double(s.Top) - d);
    }
    FScale.Horizontal = horizontal;
    FScale.SetScaleRect(s);
}

void TgPlotAxis::CalcTicks(TCanvas& canvas) {
    CalcScaleRect(canvas);
    if (TickListCustom()) {
        FScale.CalcTicks(1); // keeps the caller's ticks and places them
        return;
    }
    canvas.SetFont(FLabelsFont.get());
    const double w0 = gTextWidthMultiLine(canvas, "0");
    const double h0 = gTextHeightMultiLine(canvas, "0");
    const double lw = GetMaxLabelWidth(canvas, FLabelsFont.get());
    const double sep = FLabelSeparation + 1;
    const bool alongText = IsHorz() != Turned(FLabelsRotation); // labels lie end to end along the axis
    const int pitch = std::max(gRoundPixels(alongText ? w0 * sep + lw : h0 * sep), 1);
    const int budget = std::max(FScale.ScaleLength() / pitch, 1);
    FScale.CalcTicks(budget, [this](double v) { return GetLabelText(v); });
}

// ---------------------------------------------------------------------------------------------------
// References

TgPlotAxis* TgPlotAxis::GetCartesianRefAxis() {
    if (!FCartesianRefResolved) {
        FCartesianRefAxis = nullptr;
        if (auto* host = AxisHost())
            FCartesianRefAxis = gObjectIsOfClass(this, "TgPlotXAxis")
                                    ? host->GetYAxisByName(FCartesianChildRefAxisName)
                                    : host->GetXAxisByName(FCartesianChildRefAxisName);
        FCartesianRefResolved = FCartesianRefAxis != nullptr;
    }
    return FCartesianRefAxis;
}

TgPlotAxis* TgPlotAxis::GetAlignRefAxis() {
    if (!FAlignRefResolved) {
        FAlignRefAxis = nullptr;
        if (auto* host = AxisHost())
            FAlignRefAxis = gObjectIsOfClass(this, "TgPlotXAxis") ? host->GetXAxisByName(FAlignRefAxisName)
                                                                  : host->GetYAxisByName(FAlignRefAxisName);
        if (FAlignRefAxis == this)
            FAlignRefAxis = nullptr; // an axis does not align to itself
        FAlignRefResolved = FAlignRefAxis != nullptr;
    }
    return FAlignRefAxis;
}

void TgPlotAxis::NotificationAxisRemove(TObject* sender) {
    if (sender == FCartesianRefAxis) {
        FCartesianRefAxis = nullptr;
        FCartesianRefResolved = false;
    }
    if (sender == FAlignRefAxis) {
        FAlignRefAxis = nullptr;
        FAlignRefResolved = false;
    }
}

void TgPlotAxis::NotificationAxisRename(TObject* sender) {
    if (sender && sender == FCartesianRefAxis)
        FCartesianChildRefAxisName = FCartesianRefAxis->Name();
}

// ---------------------------------------------------------------------------------------------------
// Texts

void TgPlotAxis::SetLabelsVisible(bool value) {
    if (Store(FScale.LabelsVisible, value))
        DoChange();
}

void TgPlotAxis::SetLabelsRotation(TgRotationAngle value) {
    if (Store(FLabelsRotation, value))
        DoChange();
}

void TgPlotAxis::SetLabelsPrecision(int value) {
    if (Store(FLabels.Precision, value))
        DoChange();
}

void TgPlotAxis::SetLabelsPrecisionStyle(TgPrecisionStyle value) {
    if (Store(FLabels.PrecisionStyle, value))
        DoChange();
}

void TgPlotAxis::SetLabelsFormatStyle(TgPlotTextFormat value) {
    FScale.LabelsFormatStyle = value;
    if (Store(FLabels.Style, value))
        DoChange();
}

void TgPlotAxis::SetDateTimeFormat(const std::string& value) {
    if (Store(FLabels.DateTimeFormat, value))
        DoChange();
}

void TgPlotAxis::SetLabelsMinLength(double value) {
    if (Store(FLabels.MinLength, value))
        DoChange();
}

void TgPlotAxis::SetLabelsMinLengthAutoAdjust(bool value) {
    if (Store(FLabels.MinLengthAutoAdjust, value))
        DoChange();
}

#define KV_AXIS_TEXT_SETTER(Kind, Prop, Field, Type)                                                         \
    void TgPlotAxis::Set##Kind##Prop(Type value) {                                                           \
        if (Store(F##Kind.Field, value))                                                                     \
            DoChange();                                                                                      \
    }
KV_AXIS_TEXT_SETTER(Cursor, FormatStyle, Style, TgPlotTextFormat)
KV_AXIS_TEXT_SETTER(Cursor, DateTimeFormat, DateTimeFormat, const std::string&)
KV_AXIS_TEXT_SETTER(Cursor, PrecisionStyle, PrecisionStyle, TgPrecisionStyle)
KV_AXIS_TEXT_SETTER(Cursor, Precision, Precision, int)
KV_AXIS_TEXT_SETTER(Cursor, MinLength, MinLength, double)
KV_AXIS_TEXT_SETTER(Cursor, MinLengthAutoAdjust, MinLengthAutoAdjust, bool)
KV_AXIS_TEXT_SETTER(Legend, FormatStyle, Style, TgPlotTextFormat)
KV_AXIS_TEXT_SETTER(Legend, DateTimeFormat, DateTimeFormat, const std::string&)
KV_AXIS_TEXT_SETTER(Legend, PrecisionStyle, PrecisionStyle, TgPrecisionStyle)
KV_AXIS_TEXT_SETTER(Legend, Precision, Precision, int)
KV_AXIS_TEXT_SETTER(Legend, MinLength, MinLength, double)
KV_AXIS_TEXT_SETTER(Legend, MinLengthAutoAdjust, MinLengthAutoAdjust, bool)
#undef KV_AXIS_TEXT_SETTER

void TgPlotAxis::SetCustomizeLabelEventText(const std::string& value) {
    FCustomizeLabelEventText = value;
    FCustomizeLabelEventModified = true;
}

TgPlotAxis::TextSettings& TgPlotAxis::CursorSettings() {
    return FCursorUseDefaultFormat ? FLabels : FCursor;
}

TgPlotAxis::TextSettings& TgPlotAxis::LegendSettings() {
    return FLegendUseDefaultFormat ? FLabels : FLegend;
}

TgPlotAxisFormat TgPlotAxis::LabelFormat() const {
    TgPlotAxisFormat f;
    f.Span = Span();
    f.ScaleType = ScaleType();
    f.LabelsPrecision = FLabels.Precision;
    f.LabelsPrecisionStyle = FLabels.PrecisionStyle;
    const char decimal = gLocaleDecimalSeparator();
    f.Separators = {decimal, decimal == ',' ? '.' : ','};
    return f;
}

std::string TgPlotAxis::FormatValueText(TgPlotTextFormat style, const std::string& dateTimeFormat,
                                        double& minLength, bool autoAdjust, int precision,
                                        TgPrecisionStyle precisionStyle, double value) {
    TgPlotAxisFormat f = LabelFormat();
    f.Style = style;
    f.DateTimeFormat = dateTimeFormat;
    f.Precision = precision;
    f.PrecisionStyle = precisionStyle;
    std::string text = f.Format(value);
    // A log scale has no text for values at or below 0; nothing customises that.
    if (style == TgPlotTextFormat::iptfValue && ScaleType() == TgPlotScaleType::ipstLog10 && !(value > 0))
        return text;

    FCustomizeLabelEventModified = false;
    FCustomizeLabelEventText = text;
    if (auto* host = AxisHost(); host && !host->PlotIsLoading()) {
        host->DoAxisCustomizeLabel(this, value, text);
        if (FCustomizeLabelEventModified)
            text = FCustomizeLabelEventText;
    }
    if (FAllowLabelMinAdjust)
        TgPlotAxisFormat::AdjustMinLength(text, minLength, autoAdjust);
    return text;
}

std::string TgPlotAxis::GetLabelText(double value) {
    return FormatValueText(FLabels.Style, FLabels.DateTimeFormat, FLabels.MinLength,
                           FLabels.MinLengthAutoAdjust, FLabels.Precision, FLabels.PrecisionStyle, value);
}

std::string TgPlotAxis::GetCursorText(double value) {
    TextSettings& s = CursorSettings();
    return OneLine(FormatValueText(s.Style, s.DateTimeFormat, s.MinLength, s.MinLengthAutoAdjust, s.Precision,
                                   s.PrecisionStyle, value));
}

std::string TgPlotAxis::GetCursorValueText(double value) {
    TextSettings& s = CursorSettings();
    return OneLine(FormatValueText(TgPlotTextFormat::iptfValue, "", s.MinLength, s.MinLengthAutoAdjust,
                                   s.Precision, s.PrecisionStyle, value));
}

std::string TgPlotAxis::GetLegendText(double value) {
    TextSettings& s = LegendSettings();
    return OneLine(FormatValueText(s.Style, s.DateTimeFormat, s.MinLength, s.MinLengthAutoAdjust, s.Precision,
                                   s.PrecisionStyle, value));
}

// ---------------------------------------------------------------------------------------------------
// Measuring

int TgPlotAxis::GetMaxLabelWidth(TCanvas& canvas, const TFont* font) {
    canvas.SetFont(font);
    const int w0 = gTextWidth(canvas, "0");
    int result = gRoundPixels(w0 * FLabels.MinLength);
    std::string estimate;
    {
        AllowMinAdjust allow(FAllowLabelMinAdjust);
        estimate = GetLabelText(std::trunc(Min() / Span()) * Span() + Span());
    }
    result = std::max(result, gTextWidthMultiLine(canvas, estimate));
    for (const TgPlotTick& tick : FScale.Ticks())
        result = std::max(result, gTextWidthMultiLine(canvas, tick.Text));
    return result;
}

int TgPlotAxis::GetLegendMinWidth(TCanvas& canvas, const TFont* font) {
    canvas.SetFont(font);
    const double length = FLegendUseDefaultFormat ? FLabels.MinLength : FLegend.MinLength;
    return gRoundPixels(gTextWidth(canvas, "0") * length);
}

int TgPlotAxis::GetCursorMinWidth(TCanvas& canvas, const TFont* font) {
    canvas.SetFont(font);
    const double length = FCursorUseDefaultFormat ? FLabels.MinLength : FCursor.MinLength;
    return gRoundPixels(gTextWidth(canvas, "0") * length);
}

int TgPlotAxis::GetRequiredWidth(TCanvas& canvas) {
    int title = 0;
    if (FTitleShow && FCartesianStyle == TgPlotCartesianStyle::ipcsNone) {
        canvas.SetFont(FTitleFont.get());
        const int tw = gTextWidthMultiLine(canvas, FTitle);
        const int th = gTextHeightMultiLine(canvas, FTitle);
        title = gRoundPixels(th * FTitleMargin + (FTitleRotated ? tw : th));
    }
    int ticks = 0;
    if (FScaleLinesShow)
        ticks = std::max(std::max(FMajorLength, 0), FMinorLength);
    int margin = 0, labels = 0;
    if (LabelsVisible()) {
        canvas.SetFont(FLabelsFont.get());
        margin = gRoundPixels(gTextHeight(canvas, "A") * FLabelsMargin);
        // The depth across the axis: label widths when they stand across it, else one label's height.
        if (IsHorz() == Turned(FLabelsRotation))
            labels = GetMaxLabelWidth(canvas, FLabelsFont.get());
        else
            labels = gTextHeightMultiLine(canvas, GetLabelText(Min()));
    }
    FRequiredWidth = Px(double(FInnerMargin) + FOuterMargin + ticks + margin + labels + title);
    return FRequiredWidth;
}

int TgPlotAxis::GetRequiredEndsMargin(TCanvas& canvas) {
    if (!LabelsVisible())
        return 0;
    canvas.SetFont(FLabelsFont.get());
    // Half the label extent along the axis.
    const bool alongText = IsHorz() != Turned(FLabelsRotation);
    const int extent =
        alongText ? GetMaxLabelWidth(canvas, FLabelsFont.get()) : gTextHeightMultiLine(canvas, "XYZ");
    return extent / 2;
}

// ---------------------------------------------------------------------------------------------------
// Drawing

void TgPlotAxis::DrawSetup() {
    TgPlotLayoutObject::DrawSetup();
    if (FCartesianStyle == TgPlotCartesianStyle::ipcsNone)
        return;
    auto* host = AxisHost();
    if (!host)
        return;
    const TRect& s = ScaleRect();
    switch (FQuadSide) {
    case TgQuadSide::iqsBottom:
        host->RegisterLabelRect({s.Left, s.Top, s.Right + 1, s.Top + 1});
        break;
    case TgQuadSide::iqsRight:
        host->RegisterLabelRect({s.Left, s.Top, s.Left + 1, s.Bottom + 1});
        break;
    case TgQuadSide::iqsLeft:
        host->RegisterLabelRect({s.Right, s.Top, s.Right + 1, s.Bottom + 1});
        break;
    case TgQuadSide::iqsTop:
        host->RegisterLabelRect({s.Left, s.Bottom, s.Right, s.Bottom + 1});
        break;
    }
}

void TgPlotAxis::Draw(TCanvas& canvas, TColor) {
    if (!FVisible)
        return;
    FScale.Horizontal = IsHorz();
    FScale.UpdateTickPixels();
    if (LabelsVisible())
        for (const TgPlotTick& tick : FScale.Ticks())
            if (tick.Show && tick.TickType == TgPlotTickType::ipttMajor)
                DrawLabel(canvas, tick);
    if (FScaleLinesShow) {
        canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas.Pen()->SetStyle(TPenStyle::psSolid);
        canvas.Pen()->SetWidth(1);
        DrawScaleLine(canvas);
        for (const TgPlotTick& tick : FScale.Ticks())
            if (tick.Show)
                DrawTickStroke(canvas, tick);
    }
    if (FCartesianStyle != TgPlotCartesianStyle::ipcsNone) {
        // Across the line the axis is drawn on.
        const TRect r = DrawRect();
        const double reach = std::trunc((double(FMajorLength) + 1) / 2) + 5;
        if (IsHorz()) {
            FFocusRect.Top = Px(r.Top - reach);
            FFocusRect.Bottom = Px(double(FFocusRect.Top) + FRequiredWidth);
        } else {
            FFocusRect.Left = Px(r.Left - reach);
            FFocusRect.Right = Px(double(FFocusRect.Left) + FRequiredWidth);
        }
    } else {
        DrawTitle(canvas);
    }
    if (FUserSelected) {
        canvas.Font()->SetColor(clWhite);
        gDrawFocusRect(canvas,
                       {FFocusRect.Left, FFocusRect.Top, FFocusRect.Right + 1, FFocusRect.Bottom + 1});
    }
}

void TgPlotAxis::DrawScaleLine(TCanvas& canvas) {
    if (!FScaleLineShow)
        return;
    canvas.Pen()->SetColor(FScaleLinesColor);
    canvas.Pen()->SetWidth(1);
    const int i = FCartesianStyle != TgPlotCartesianStyle::ipcsNone ? 0 : FInnerMargin;
    const TRect& s = ScaleRect();
    switch (FQuadSide) {
    case TgQuadSide::iqsLeft:
        canvas.MoveTo(s.Right - i, s.Top);
        canvas.LineTo(s.Right - i, s.Bottom + 1);
        break;
    case TgQuadSide::iqsTop:
        canvas.MoveTo(s.Left, s.Bottom - i);
        canvas.LineTo(s.Right, s.Bottom - i);
        break;
    case TgQuadSide::iqsRight:
        canvas.MoveTo(s.Left + i, s.Top);
        canvas.LineTo(s.Left + i, s.Bottom + 1);
        break;
    case TgQuadSide::iqsBottom:
        canvas.MoveTo(s.Left, s.Top + i);
        canvas.LineTo(s.Right + 1, s.Top + i);
        break;
    }
}

void TgPlotAxis::DrawTickStroke(TCanvas& canvas, const TgPlotTick& tick) {
    canvas.Pen()->SetColor(FScaleLinesColor);
    const TRect r = DrawRect();
    const int p = tick.PositionPixels;
    const bool major = tick.TickType == TgPlotTickType::ipttMajor;
    if (FCartesianStyle != TgPlotCartesianStyle::ipcsNone) {
        // Across the scale line, half on each side.
        const int c = ((major ? FMajorLength : FMinorLength) + 1) / 2;
        auto* host = AxisHost();
        if (FQuadSide == TgQuadSide::iqsBottom) {
            canvas.MoveTo(p, r.Top + c);
            canvas.LineTo(p, r.Top - c - 1);
            if (host)
                host->RegisterLabelRect({p, r.Top - c - 1, p + 1, r.Top + c});
        } else {
            canvas.MoveTo(r.Left + c, p);
            canvas.LineTo(r.Left - c - 1, p);
            if (host)
                host->RegisterLabelRect({r.Left - c - 1, p, r.Left + c, p + 1});
        }
        return;
    }
    const int a = major ? FInnerMargin + FMajorLength : FInnerMargin;
    const int b = major ? FInnerMargin : FInnerMargin + FMinorLength;
    switch (FQuadSide) {
    case TgQuadSide::iqsLeft:
        canvas.MoveTo(r.Right - b, p);
        canvas.LineTo(r.Right - a, p);
        break;
    case TgQuadSide::iqsTop:
        canvas.MoveTo(p, r.Bottom - b);
        canvas.LineTo(p, r.Bottom - a);
        break;
    case TgQuadSide::iqsRight:
        canvas.MoveTo(r.Left + b, p);
        canvas.LineTo(r.Left + a, p);
        break;
    case TgQuadSide::iqsBottom:
        canvas.MoveTo(p, r.Top + b);
        canvas.LineTo(p, r.Top + a);
        break;
    }
}

int TgPlotAxis::LabelDistance(TCanvas& canvas) const {
    const int margin = gRoundPixels(gTextHeightMultiLine(canvas, "A") * FLabelsMargin);
    if (FCartesianStyle != TgPlotCartesianStyle::ipcsNone)
        return Px(margin + std::trunc((double(FMajorLength) + 1) / 2));
    return Px(double(FInnerMargin) + margin + (FScaleLinesShow ? FMajorLength : 0));
}

void TgPlotAxis::DrawLabel(TCanvas& canvas, const TgPlotTick& tick) {
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    canvas.SetFont(FLabelsFont.get());
    // In doubles, so that huge margins saturate instead of overflowing.
    const double d = LabelDistance(canvas);
    const double h = gTextHeightMultiLine(canvas, tick.Text);
    const double w = gTextWidthMultiLine(canvas, tick.Text);
    const double h2 = std::trunc(h / 2), w2 = std::trunc(w / 2);
    const double p = tick.PositionPixels;
    const bool turned = Turned(FLabelsRotation);
    const TRect r = DrawRect();
    const double left = r.Left, top = r.Top, right = r.Right, bottom = r.Bottom;
    auto rect = [](double l, double t, double rr, double bb) { return TRect{Px(l), Px(t), Px(rr), Px(bb)}; };
    TRect box{};
    switch (FQuadSide) {
    case TgQuadSide::iqsLeft:
        box = turned ? rect(right - d - h, p - w2, right - d, p + w2)
                     : rect(right - d - w, p - h2, right - d, p + h2);
        break;
    case TgQuadSide::iqsTop:
        box = turned ? rect(p - h2, bottom - d - w, p + h2, bottom - d)
                     : rect(p - w2, bottom - d - h, p + w2, bottom - d);
        break;
    case TgQuadSide::iqsRight:
        box = turned ? rect(left + d, p - w2, left + d + h, p + w2)
                     : rect(left + d, p - h2, left + d + w, p + h2);
        break;
    case TgQuadSide::iqsBottom:
        box =
            turned ? rect(p - h2, top + d, p + h2, top + d + w) : rect(p - w2, top + d, p + w2, top + d + h);
        break;
    }
    if (FCartesianStyle != TgPlotCartesianStyle::ipcsNone)
        if (auto* host = AxisHost(); host && !host->TestLabelRect(box))
            return;
    TRect used;
    gDrawRotatedText(canvas, tick.Text, box, FLabelsRotation, TgAlignmentHorizontal::iahCenter, true,
                     FLabelsFont->Color(), used);
}

void TgPlotAxis::DrawTitle(TCanvas& canvas) {
    if (!FTitleShow || Trimmed(FTitle).empty())
        return;
    canvas.SetFont(FTitleFont.get());
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    const int tw = gTextWidthMultiLine(canvas, FTitle);
    const int th = gTextHeightMultiLine(canvas, FTitle);
    const int depth = FTitleRotated ? tw : th;
    const int extent = FTitleRotated ? th : tw;
    const TRect& s = ScaleRect();
    TRect box{};
    TgRotationAngle rotation;
    if (IsHorz()) {
        if (FQuadSide == TgQuadSide::iqsTop)
            box = {s.Left, s.Top + FOuterMargin, s.Right, s.Top + FOuterMargin + depth};
        else
            box = {s.Left, s.Bottom - FOuterMargin - depth, s.Right, s.Bottom - FOuterMargin};
        rotation = FTitleRotated ? TgRotationAngle::ira090 : TgRotationAngle::ira000;
    } else {
        const int c = (s.Top + s.Bottom) / 2, half = extent / 2;
        if (FQuadSide == TgQuadSide::iqsRight)
            box = {s.Right - FOuterMargin - depth, c - half, s.Right - FOuterMargin, c + half};
        else
            box = {s.Left + FOuterMargin, c - half, s.Left + FOuterMargin + depth, c + half};
        rotation = FTitleRotated ? TgRotationAngle::ira000 : TgRotationAngle::ira090;
    }
    TRect used;
    gDrawRotatedText(canvas, FTitle, box, rotation, TgAlignmentHorizontal::iahCenter, true,
                     FTitleFont->Color(), used);
}

void TgPlotAxis::DrawGridLines(TCanvas& canvas, const TRect& rect, int minorWidth, int majorWidth,
                               TColor minorColor, TColor majorColor, TgPlotGridLineStyle minorStyle,
                               TgPlotGridLineStyle majorStyle, bool showMinors, bool showMajors) {
    if (!FGridLinesVisible)
        return;
    const bool horizontal = IsHorz();
    for (const TgPlotTick& tick : FScale.Ticks()) {
        if (!tick.Show)
            continue;
        const bool major = tick.TickType == TgPlotTickType::ipttMajor;
        if (major ? !showMajors : !showMinors)
            continue;
        canvas.Pen()->SetStyle(PenStyleOf(major ? majorStyle : minorStyle));
        canvas.Pen()->SetWidth(major ? majorWidth : minorWidth);
        canvas.Pen()->SetColor(major ? majorColor : minorColor);
        const int p = tick.PositionPixels;
        if (horizontal) {
            canvas.MoveTo(p, rect.Top);
            canvas.LineTo(p, rect.Bottom);
        } else {
            canvas.MoveTo(rect.Left, p);
            canvas.LineTo(rect.Right, p);
        }
    }
}

void TgPlotAxis::DoMouseHint(const TgPlotMouseData& mouseData, TgHintData& hintData) {
    auto* host = AxisHost();
    if (!FTitleShow) {
        hintData.Text = FTitle;
        hintData.Left = mouseData.X;
        hintData.Top = mouseData.Y - 20;
        if (TCanvas* canvas = host ? host->HintCanvas() : nullptr) {
            hintData.Width = gTextWidthMultiLine(*canvas, FTitle) + 4;
            hintData.Height = gTextHeightMultiLine(*canvas, FTitle) + 4;
        }
    }
    if (host)
        host->DoAxisCustomizeHint(this, hintData.Text);
}

// ---------------------------------------------------------------------------------------------------
// Tracking state

void TgPlotAxis::SetTrackingEnabled(bool value) {
    if (value == FTrackingEnabled)
        return;
    FTrackingEnabled = value;
    if (FRestoreValuesOnResume) {
        if (value) {
            SetMinSpan(FPreviousMin, FPreviousSpan);
            SetLabelsMinLength(FPreviousLabelsMinLength);
        } else {
            UpdateResumeValues();
        }
    }
    DoChange();
}

void TgPlotAxis::SetTrackingStyle(TgPlotTrackingStyle value) {
    if (Store(FTrackingStyle, value))
        DoChange();
}

void TgPlotAxis::SetTrackingAlignFirstStyle(TgPlotAlignFirstStyle value) {
    if (Store(FTrackingAlignFirstStyle, value))
        DoChange();
}

void TgPlotAxis::UpdateResumeValues() {
    FPreviousMin = Min();
    FPreviousSpan = Span();
    FPreviousLabelsMinLength = FLabels.MinLength;
}

void TgPlotAxis::SetTrackingIncrementStyle(TgPlotTrackingIncrementStyle value) {
    if (Store(FTrackingIncrementStyle, value))
        DoChange();
}

void TgPlotAxis::NewTrackingData(double value) {
    // A value that is no number has no place on the scale; it would only poison the range.
    if (!FTrackingEnabled || std::isnan(value))
        return;
    const double min = Min(), span = Span(), max = Max();
    if (!FFirstAlignDone) {
        FFirstAlignDone = true;
        double newMin = min;
        switch (FTrackingAlignFirstStyle) {
        case TgPlotAlignFirstStyle::ipafsMin:
            newMin = value;
            break;
        case TgPlotAlignFirstStyle::ipafsMax:
            newMin = value - span;
            break;
        case TgPlotAlignFirstStyle::ipafsAuto:
            newMin = value < min || value > max ? value : min;
            break;
        case TgPlotAlignFirstStyle::ipafsNone:
            return;
        }
        SetMinSpan(newMin, span);
        return;
    }

    double newMin = min, newSpan = span;
    switch (FTrackingStyle) {
    case TgPlotTrackingStyle::iptsScaleMinMax:
        if (min + span < value)
            newSpan = value - min;
        if (value < min)
            newMin = value; // the span stays, so the maximum moves down too
        SetMinSpan(newMin, newSpan);
        AlignToIncrement();
        break;
    case TgPlotTrackingStyle::iptsScaleMax:
        if (max < value) {
            SetMinSpan(min, value - max + span);
            AlignToIncrement();
        }
        break;
    case TgPlotTrackingStyle::iptsScaleMin:
        if (value < min) {
            SetMinSpan(value, max - value);
            AlignToIncrement();
        }
        break;
    case TgPlotTrackingStyle::iptsScrollSmooth:
    case TgPlotTrackingStyle::iptsScrollPage: {
        const bool smooth = FTrackingStyle == TgPlotTrackingStyle::iptsScrollSmooth;
        if (value > min + span) {
            if (FTrackingScrollCompressMax != 0) {
                newSpan = value - min;
                if (span > FTrackingScrollCompressMax)
                    newSpan = FTrackingScrollCompressMax;
            }
            newMin = smooth ? value - newSpan : min + newSpan;
        } else if (value < min) {
            newMin = smooth ? value : min - newSpan;
        }
        SetMinSpan(newMin, newSpan);
        break;
    }
    case TgPlotTrackingStyle::iptsExpandCollapse:
        ZoomToFit();
        AlignToIncrement();
        break;
    case TgPlotTrackingStyle::iptsExpandCollapseFast:
        ZoomToFitFast();
        AlignToIncrement();
        break;
    case TgPlotTrackingStyle::iptsExpandMinMax:
        if (max < value)
            newSpan = value - max + span;
        if (value < min) {
            newSpan = min - value + span;
            newMin = value;
        }
        SetMinSpan(newMin, newSpan);
        AlignToIncrement();
        break;
    }

    // Each rule reads the range the one before it left.
    if (FTrackingSpanMinimum != 0 && Span() < FTrackingSpanMinimum)
        SetMinSpan(Mid() - FTrackingSpanMinimum / 2, FTrackingSpanMinimum);
    if (FTrackingMinMargin != 0 && value < Min() + FTrackingMinMargin)
        SetMinSpan(Min() - (Min() + FTrackingMinMargin - value), Span());
    if (FTrackingMaxMargin != 0 && value > Max() - FTrackingMaxMargin)
        SetMinSpan(Min(), value - (Max() - FTrackingMaxMargin) + Span());
}

void TgPlotAxis::AlignToIncrement() {
    if (FTrackingIncrementStyle == TgPlotTrackingIncrementStyle::iptisMinimum)
        return;
    const double d = FTrackingIncrementStyle == TgPlotTrackingIncrementStyle::iptisMajor ? MajorIncrement()
                                                                                         : MinorIncrement();
    // Before the first tick calculation the increments are 0; dividing by them gave a NaN range.
    if (!std::isfinite(d) || d <= 0)
        return;
    const double min = Min(), max = Max();
    const double top = max / d, bottom = min / d;
    if (!std::isfinite(top) || !std::isfinite(bottom))
        return;
    double hi = max, lo = min;
    if (top != std::trunc(top))
        hi = std::trunc(top) * d;
    if (bottom != std::trunc(bottom))
        lo = std::trunc(bottom) * d;
    if (hi < max)
        hi += d;
    if (lo > min)
        lo -= d;
    // A log scale shows no value at or below 0: widening down to it would throw the range away.
    if (ScaleType() == TgPlotScaleType::ipstLog10 && !(lo > 0))
        lo = min;
    if (!std::isfinite(lo) || !std::isfinite(hi))
        return;
    if (lo != min || hi != max)
        SetMinSpan(lo, hi - lo);
}

void TgPlotAxis::Zoom(double value) {
    if (ScaleType() == TgPlotScaleType::ipstLog10) {
        // A factor beyond the numbers would leave no range to show: the range stays.
        const double factor = gPower(10, value);
        const double newMin = Min() / factor, newSpan = Span() * factor;
        if (std::isfinite(newMin) && newMin > 0 && std::isfinite(newSpan) && newSpan > 0)
            SetMinSpan(newMin, newSpan);
        return;
    }
    if (value <= 0)
        throw EKvError("Linear Scale Zoom Factor must be Greater than Zero");
    const double newSpan = Span() * value;
    if (std::isfinite(newSpan))
        SetMinSpan((Max() + Min()) / 2 - newSpan / 2, newSpan);
}

void TgPlotAxis::FitTo(bool running) {
    auto* host = AxisHost();
    double lo = 1e300, hi = -1e300;
    if (!host || !host->GetChannelsRange(this, running, lo, hi))
        return;
    if (!(hi > -1e299 && lo < 1e299 && hi != lo))
        return;
    double span = hi - lo;
    if (!running && FTrackingSpanMinimum != 0 && span < FTrackingSpanMinimum)
        span = FTrackingSpanMinimum;
    SetMinSpan(lo - FTrackingMinMargin, span + FTrackingMaxMargin + FTrackingMinMargin);
}

void TgPlotAxis::ZoomToFit() {
    FitTo(false);
}

void TgPlotAxis::ZoomToFitFast() {
    FitTo(true);
}

void gAxisPairRemoved(TObject* sender, TgPlotAxis*& x, TgPlotAxis*& y) {
    if (x && sender == static_cast<TObject*>(x))
        x = nullptr;
    if (y && sender == static_cast<TObject*>(y))
        y = nullptr;
}

void gAxisPairRenamed(TObject* sender, const TgPlotAxis* x, const TgPlotAxis* y, std::string& xName,
                      std::string& yName) {
    auto* axis = dynamic_cast<TgPlotAxis*>(sender);
    if (!axis)
        return;
    const bool isX = dynamic_cast<TgPlotXAxis*>(axis) != nullptr;
    if (axis == x || (!x && isX && SameText(axis->NameOld(), xName)))
        xName = axis->Name();
    if (axis == y || (!y && !isX && SameText(axis->NameOld(), yName)))
        yName = axis->Name();
}

} // namespace kv
