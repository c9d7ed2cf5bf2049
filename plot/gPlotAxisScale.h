#pragma once
// The arithmetic of a plot axis, kept apart from drawing: the value range, the mapping between values
// and pixels (a scale map, linear or logarithmic, forward or reversed) and the generation of major and
// minor ticks.
// The axis object feeds it the scale rectangle its layout gives and the label budget its fonts allow.

#include "platform/core/Classes.h"
#include "platform/core/ScaleMap.h"
#include "platform/gui/Graphics.h"

#include <functional>
#include <string>
#include <vector>

namespace kv {

enum class TgPlotScaleType { ipstLinear, ipstLog10 };
std::vector<std::string> EnumIdents(TgPlotScaleType);
enum class TgPlotTickType { ipttMajor, ipttMinor };
std::vector<std::string> EnumIdents(TgPlotTickType);
enum class TgPlotTextFormat {
    iptfValue,
    iptfExponent,
    iptfPrefix,
    iptfDateTime,
    iptfPrice32nds,
    iptfThousands
};
std::vector<std::string> EnumIdents(TgPlotTextFormat);

struct TgPlotTick {
    TgPlotTickType TickType = TgPlotTickType::ipttMajor;
    double Position = 0;
    int PositionPixels = 0;
    std::string Text;
    bool Show = false;
};
// The name the axis's tick list is known by.
using TgPlotTickObject = TgPlotTick;

namespace detail {
// Calendar arithmetic on date-time numbers (days since 30 December 1899, time as fraction).
struct TgCivilDate {
    long long year = 1899;
    int month = 12, day = 30, weekday = 7; // weekday 1 = Sunday
};
TgCivilDate DateOf(double dateTime);
// The same time of day on another date; a day past the month's end becomes its last day.
double WithDate(double dateTime, long long year, int month, int day);
double AddMonths(double dateTime, long long months);
} // namespace detail

// Nearest integer, ties to even, saturated to the int range; NaN gives 0.
int gRoundPixels(double value);
// A whole number as an int, saturated to the int range; NaN gives 0.
int gSaturatedInt(double whole);

class TgPlotAxisScale {
public:
    double Min() const { return FMin; }
    // Clamped to [-1e300, 1e300].
    void SetMin(double value);
    double Span() const { return FSpan; }
    // Clamped to [1e-300, 1e300], so a span of 0 keeps the axis usable.
    void SetSpan(double value);
    double Max() const { return FMin + FSpan; }
    double Mid() const { return FMin + FSpan / 2; }
    TgPlotScaleType ScaleType() const { return FScaleType; }
    // Switching to a logarithmic scale while Min <= 0 sets Min to 1.
    void SetScaleType(TgPlotScaleType value);

    bool ReverseScale = false;
    bool Horizontal = true;
    double DesiredStart = 0;
    double DesiredIncrement() const { return FDesiredIncrement; }
    // Clamped to [0, 1e300]; 0 chooses the increment automatically.
    void SetDesiredIncrement(double value);
    int MinorCount = 1;
    bool LabelsVisible = true;
    TgPlotTextFormat LabelsFormatStyle = TgPlotTextFormat::iptfValue;

    // The pixel extent of the scale; start and stop pixels follow from the direction and ReverseScale.
    void SetScaleRect(const TRect& rect) { FScaleRect = rect; }
    const TRect& ScaleRect() const { return FScaleRect; }
    // Pixels of Min and of Max.
    int ActualStart() const;
    int ActualStop() const;
    // 0 when its magnitude exceeds 1e300.
    double PixelsPerSpanUnit() const;
    // Pixels along the scale (width or height of the scale rectangle).
    int ScaleLength() const;

    int PositionToPixels(double value) const;
    double PixelsToPosition(int pixels) const;
    int WidthToPixels(double width) const;
    bool PointOnScale(double value) const;
    // The fraction of the range (not a percentage).
    double PositionToPercent(double value) const;
    // A fraction back to a value; StartPercent and StopPercent place the axis along its side.
    double PercentToPosition(double value, double startPercent, double stopPercent) const;

    // Regenerates the ticks for a label budget (labels that fit along the scale, at least 1). Major
    // ticks take their text from LabelText when given.
    void CalcTicks(int labelBudget, const std::function<std::string(double)>& labelText = {});
    const std::vector<TgPlotTick>& Ticks() const { return FTicks; }
    // While set, CalcTicks keeps the caller's ticks and only places them.
    bool TickListCustom = false;
    void TickListClear() { FTicks.clear(); }
    // Appends a tick and returns its index; on a log scale a position <= 0 raises "Log Scale Requires
    // Position to be Greater Than Zero".
    int TickListAdd(double position, const std::string& label, TgPlotTickType type);
    double MajorIncrement() const { return FMajorIncrement; }
    double MinorIncrement() const { return FMinorIncrement; }
    // Sets every tick's Show (the tick lies on the scale) and, for shown ticks, PositionPixels.
    void UpdateTickPixels();
    // Date-time ticks that step by calendar months or years (increment counted in months or years).
    bool MonthModeEnabled() const { return FMonthMode; }
    bool YearModeEnabled() const { return FYearMode; }

    // Ticks past this many leave one major tick in the middle of the range.
    static constexpr int MaxTicks = 5000;

private:
    // Values onto the scale's pixels, start to stop; LinearMap whatever the scale type.
    TScaleMap Map() const;
    TScaleMap LinearMap() const;
    // The range as the logarithmic mapping uses it: a minimum or span <= 0 counts as 1.
    double LogMin() const { return FMin > 0 ? FMin : 1; }
    double LogSpan() const { return FSpan > 0 ? FSpan : 1; }
    bool LogMode() const { return FScaleType == TgPlotScaleType::ipstLog10; }
    void AddTick(double position, TgPlotTickType type);
    void CalcLinearIncrement(int n, int& k);
    void CalcPrice32ndsIncrement(int n, int& k);
    void CalcDateTimeIncrement(int n, int& k);
    void CalcLogTicks(int n);

    double FMin = 0;
    double FSpan = 100;
    TgPlotScaleType FScaleType = TgPlotScaleType::ipstLinear;
    double FDesiredIncrement = 0;
    TRect FScaleRect{};
    double FMajorIncrement = 0;
    double FMinorIncrement = 0;
    std::vector<TgPlotTick> FTicks;
    std::function<std::string(double)> FLabelText;
    long FAttempts = 0;
    bool FMonthMode = false;
    bool FYearMode = false;
};

} // namespace kv
