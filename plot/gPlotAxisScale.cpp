#include "plot/gPlotAxisScale.h"

#include "plot/gMath.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace kv {

std::vector<std::string> EnumIdents(TgPlotScaleType) {
    return {"ipstLinear", "ipstLog10"};
}

std::vector<std::string> EnumIdents(TgPlotTickType) {
    return {"ipttMajor", "ipttMinor"};
}

std::vector<std::string> EnumIdents(TgPlotTextFormat) {
    return {"iptfValue", "iptfExponent", "iptfPrefix", "iptfDateTime", "iptfPrice32nds", "iptfThousands"};
}

int gRoundPixels(double value) {
    return TScaleMap::RoundPixel(value);
}

int gSaturatedInt(double whole) {
    return TScaleMap::RoundPixel(whole);
}

void TgPlotAxisScale::SetMin(double value) {
    if (std::isnan(value))
        return;
    FMin = std::clamp(value, -1e300, 1e300);
}

void TgPlotAxisScale::SetSpan(double value) {
    if (std::isnan(value))
        return;
    FSpan = std::clamp(value, 1e-300, 1e300);
}

void TgPlotAxisScale::SetScaleType(TgPlotScaleType value) {
    FScaleType = value;
    if (value == TgPlotScaleType::ipstLog10 && FMin <= 0)
        FMin = 1;
}

void TgPlotAxisScale::SetDesiredIncrement(double value) {
    if (std::isnan(value))
        return;
    FDesiredIncrement = std::clamp(value, 0.0, 1e300);
}

int TgPlotAxisScale::ActualStart() const {
    const int start = Horizontal ? FScaleRect.Left : FScaleRect.Bottom;
    const int stop = Horizontal ? FScaleRect.Right : FScaleRect.Top;
    return ReverseScale ? stop : start;
}

int TgPlotAxisScale::ActualStop() const {
    const int start = Horizontal ? FScaleRect.Left : FScaleRect.Bottom;
    const int stop = Horizontal ? FScaleRect.Right : FScaleRect.Top;
    return ReverseScale ? start : stop;
}

TScaleMap TgPlotAxisScale::LinearMap() const {
    const int start = ActualStart();
    return TScaleMap(TScaleKind::Linear, FMin, FSpan, start, double(ActualStop()) - start);
}

TScaleMap TgPlotAxisScale::Map() const {
    if (!LogMode())
        return LinearMap();
    const double m = LogMin();
    return TScaleMap::Log10(m, m + LogSpan(), ActualStart(), ActualStop()).NonPositiveAs(1);
}

double TgPlotAxisScale::PixelsPerSpanUnit() const {
    // Signed from the stop back to the start; "0 -" keeps a zero +0.
    return 0 - LinearMap().PixelsPerUnit();
}

int TgPlotAxisScale::ScaleLength() const {
    return Horizontal ? FScaleRect.Width() : FScaleRect.Height();
}

int TgPlotAxisScale::PositionToPixels(double value) const {
    const int start = ActualStart(), stop = ActualStop();
    if (start == stop || FSpan <= 1e-300)
        return int((std::int64_t(start) + stop) / 2);
    const TScaleMap map = Map();
    if (!LogMode())
        return int(std::clamp<std::int64_t>(map.NearestPixel(value), -32000, 32000));
    // A range too narrow for a logarithm to tell its ends apart.
    if (map.Span() == 0)
        return 0;
    return int(std::clamp<std::int64_t>(map.NearestPixel(value), INT_MIN, INT_MAX));
}

double TgPlotAxisScale::PixelsToPosition(int pixels) const {
    if (ActualStart() == ActualStop())
        return FMin;
    const TScaleMap map = Map();
    return map.AtFraction(map.Fraction(pixels));
}

int TgPlotAxisScale::WidthToPixels(double width) const {
    return std::abs(PositionToPixels(FMin + width) - PositionToPixels(FMin));
}

bool TgPlotAxisScale::PointOnScale(double value) const {
    const int p = PositionToPixels(value);
    if (Horizontal)
        return p >= FScaleRect.Left && p <= FScaleRect.Right;
    return p >= FScaleRect.Top && p <= FScaleRect.Bottom;
}

double TgPlotAxisScale::PositionToPercent(double value) const {
    return ReverseScale ? (Max() - value) / FSpan : (value - FMin) / FSpan;
}

double TgPlotAxisScale::PercentToPosition(double value, double startPercent, double stopPercent) const {
    if (stopPercent - startPercent <= 0)
        return 0;
    if (!LogMode()) {
        if (ReverseScale)
            return Max() - value * FSpan;
        return (value * 100 - startPercent) / (stopPercent - startPercent) * FSpan + FMin;
    }
    return Map().AtFraction(ReverseScale ? 1 - value : value);
}

namespace detail {

TgCivilDate DateOf(double dateTime) {
    const long long dayNumber = static_cast<long long>(std::trunc(dateTime));
    long long z = dayNumber - 25569 + 719468; // days since 1 March 0000
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    TgCivilDate c;
    c.day = int(doy - (153 * mp + 2) / 5 + 1);
    c.month = int(mp < 10 ? mp + 3 : mp - 9);
    c.year = yoe + era * 400 + (c.month <= 2 ? 1 : 0);
    c.weekday = int(((dayNumber % 7) + 7 + 6) % 7) + 1; // 30 December 1899 was a Saturday
    return c;
}

static long long DaysFromCivil(long long y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + 25569;
}

static int DaysInMonth(long long y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : kDays[m - 1];
}

double WithDate(double dateTime, long long year, int month, int day) {
    const double time = std::fabs(dateTime - std::trunc(dateTime));
    day = std::min(day, DaysInMonth(year, month));
    const double days = double(DaysFromCivil(year, month, day));
    return days >= 0 ? days + time : days - time;
}

double AddMonths(double dateTime, long long months) {
    const TgCivilDate c = DateOf(dateTime);
    long long total = c.year * 12 + (c.month - 1) + months;
    const long long year = total >= 0 ? total / 12 : (total - 11) / 12;
    const int month = int(total - year * 12) + 1;
    return WithDate(dateTime, year, month, c.day);
}

} // namespace detail

namespace {

// Whole units of a date-time span (days with the time as fraction).
long long SpanUnits(double span, long long unitMs) {
    const double days = std::trunc(span + 1e-15);
    const long long ms = std::llround((span - days) * 86400000.0);
    const double total = days * 86400000.0 + double(ms - ms % unitMs);
    if (total < 0)
        return -1;
    return static_cast<long long>(std::min(total / double(unitMs), 2147483647.0));
}

} // namespace

void TgPlotAxisScale::CalcDateTimeIncrement(int n, int& k) {
    struct Group {
        long long unitMs;
        std::vector<int> steps;
    };
    static const Group kGroups[] = {
        {1, {1, 2, 5, 10, 20, 50, 100, 200, 500}},
        {1000, {1, 2, 5, 10, 15, 20, 30}},
        {60000, {1, 2, 5, 10, 15, 20, 30}},
        {3600000, {1, 2, 4, 6, 12}},
    };
    for (const Group& g : kGroups) {
        long long l = SpanUnits(FSpan, g.unitMs);
        if (l < 0)
            l = g.unitMs == 60000 ? 10000 : 2147483647;
        for (int s : g.steps) {
            if (n - 1 >= l / s) {
                k = int(std::max(l / s, 1LL));
                FMajorIncrement = double(s) * double(g.unitMs) / 86400000.0;
                return;
            }
        }
    }
    const long long l = static_cast<long long>(std::trunc(FSpan));
    for (int s : {1, 7, 14}) {
        if (n - 1 >= l / s) {
            k = int(std::max(l / s, 1LL));
            FMajorIncrement = s;
            return;
        }
    }
    static const int kMonthDays[] = {31, 61, 92, 183};
    static const int kMonths[] = {1, 2, 3, 6};
    for (int i = 0; i < 4; ++i) {
        if (n - 1 >= l / kMonthDays[i]) {
            k = int(std::max(l / kMonthDays[i], 1LL));
            FMajorIncrement = kMonths[i];
            FMonthMode = true;
            return;
        }
    }
    FYearMode = true;
    for (int i = 0;; ++i) {
        const long long b = static_cast<long long>(std::trunc(gPower(10, i)));
        for (long long years : {b, 2 * b, 5 * b}) {
            const long long days = years * 365;
            if (n - 1 >= l / days) {
                k = int(std::max(l / days, 1LL));
                FMajorIncrement = double(years);
                return;
            }
        }
    }
}

void TgPlotAxisScale::AddTick(double position, TgPlotTickType type) {
    ++FAttempts;
    if (!PointOnScale(position) || (LogMode() && !(position > 0)))
        return;
    TgPlotTick tick;
    tick.TickType = type;
    tick.Position = position;
    if (type == TgPlotTickType::ipttMajor && FLabelText)
        tick.Text = FLabelText(position);
    FTicks.push_back(std::move(tick));
}

void TgPlotAxisScale::CalcLinearIncrement(int n, int& k) {
    static const double kFactors[] = {1, 2, 5};
    for (int e = int(std::trunc(gLog10(FSpan) - 1 - gLog10(n)));; ++e) {
        for (double factor : kFactors) {
            const double s = gPower(10, e) * factor;
            if (n >= FSpan / s) {
                k = gRoundPixels(FSpan / s);
                FMajorIncrement = s;
                return;
            }
        }
    }
}

void TgPlotAxisScale::CalcPrice32ndsIncrement(int n, int& k) {
    static const double kFractions[] = {1.0 / 256, 1.0 / 128, 1.0 / 64, 1.0 / 32,
                                        1.0 / 16,  1.0 / 8,   1.0 / 4,  1.0 / 2};
    for (double s : kFractions) {
        if (n >= FSpan / s) {
            k = gRoundPixels(std::trunc(FSpan / s));
            FMajorIncrement = s;
            return;
        }
    }
    for (int i = 0;; ++i) {
        const double b = std::trunc(gPower(10, i));
        for (double s : {b, 2 * b, 5 * b}) {
            if (n >= FSpan / s) {
                k = gRoundPixels(std::trunc(FSpan / s));
                FMajorIncrement = s;
                return;
            }
        }
    }
}

void TgPlotAxisScale::CalcLogTicks(int n) {
    const double m = LogMin();
    const double top = m + LogSpan();
    const double decades = Map().Span();
    int step = 200;
    int e;
    if (n >= decades) {
        step = 1;
        e = int(std::trunc(gLog10(m))) - 1;
    } else {
        for (int s : {1, 2, 5, 10, 20, 50, 100, 200}) {
            if (n >= decades / s) {
                step = s;
                break;
            }
        }
        e = int(std::trunc(gLog10(m)));
    }
    for (; gPower(10, e) <= top; e += step) {
        const double major = gPower(10, e);
        AddTick(major, TgPlotTickType::ipttMajor);
        if (step == 1)
            for (int j = 2; j <= 9; ++j)
                AddTick(j * major, TgPlotTickType::ipttMinor);
        // The same guard as for linear ticks: a scale hundreds of decades wide with room for as many
        // labels gives one tick in the middle rather than thousands.
        if (int(FTicks.size()) > MaxTicks) {
            FTicks.clear();
            AddTick(FMin + FSpan / 2, TgPlotTickType::ipttMajor);
            return;
        }
    }
}

int TgPlotAxisScale::TickListAdd(double position, const std::string& label, TgPlotTickType type) {
    if (LogMode() && !(position > 0))
        throw EKvError("Log Scale Requires Position to be Greater Than Zero");
    TgPlotTick tick;
    tick.TickType = type;
    tick.Position = position;
    tick.Text = label;
    FTicks.push_back(std::move(tick));
    return int(FTicks.size()) - 1;
}

void TgPlotAxisScale::UpdateTickPixels() {
    for (auto& tick : FTicks) {
        tick.Show = PointOnScale(tick.Position);
        if (tick.Show)
            tick.PositionPixels = PositionToPixels(tick.Position);
    }
}

void TgPlotAxisScale::CalcTicks(int labelBudget, const std::function<std::string(double)>& labelText) {
    FMonthMode = false;
    FYearMode = false;
    if (TickListCustom) {
        UpdateTickPixels();
        return;
    }
    FTicks.clear();
    FLabelText = labelText;
    FAttempts = 0;
    const int length = ScaleLength();
    int n = std::max(labelBudget, 1);

    if (LogMode() && Map().Span() > 1) {
        CalcLogTicks(n);
        UpdateTickPixels();
        return;
    }

    int k = 0;
    FMajorIncrement = 0;
    if (FSpan <= 1e-299) {
        k = 1;
        FMajorIncrement = FSpan;
    }
    if (k == 0 && FDesiredIncrement != 0 && !LabelsVisible) {
        if (FSpan / FDesiredIncrement < double(length) / (double(std::max(MinorCount, 0)) + 1)) {
            k = gRoundPixels(FSpan / FDesiredIncrement);
            FMajorIncrement = FDesiredIncrement;
            n = k;
        }
    }
    if (k == 0 && FDesiredIncrement != 0) {
        if (n > FSpan / FDesiredIncrement) {
            k = gRoundPixels(FSpan / FDesiredIncrement);
            FMajorIncrement = FDesiredIncrement;
            n = k;
        }
    }
    n = std::max(n, 1);
    if (k == 0) {
        if (LabelsFormatStyle == TgPlotTextFormat::iptfDateTime)
            CalcDateTimeIncrement(n, k);
        else if (LabelsFormatStyle == TgPlotTextFormat::iptfPrice32nds)
            CalcPrice32ndsIncrement(n, k);
        else
            CalcLinearIncrement(n, k);
    }
    if (k < 2 && n > 1) {
        FMajorIncrement /= 2;
        k = 2;
    }
    if (n < k) {
        k = n;
        FMajorIncrement = FSpan / n;
    }

    if (FMonthMode || FYearMode) {
        // Calendar steps: the range is held to dates the calendar arithmetic handles.
        FMin = std::clamp(FMin, FMonthMode ? 0.0 : -182625.0, 2593224.0);
        FSpan = std::min(FSpan, 36525.0);
        FMajorIncrement = std::max(FMajorIncrement, 1.0);
    }
    const double inc = FMajorIncrement;
    const double base = std::trunc(FMin / inc) * inc;
    // A negative minor count means no minors, not a division by zero.
    FMinorIncrement = inc / (double(std::max(MinorCount, 0)) + 1);
    const bool minors = MinorCount >= 1 && !FMonthMode && !FYearMode && FMinorIncrement != 0;
    // A zero or non-finite increment would never move the position.
    const bool usable = std::isfinite(inc) && inc > 0 && std::isfinite(FMinorIncrement);

    double p;
    if (usable && DesiredStart != 0 && FMin <= DesiredStart && DesiredStart <= Max()) {
        p = DesiredStart;
        while (p > FMin && p - inc != p)
            p -= inc;
    } else if (FMonthMode) {
        const int r = gRoundPixels(inc);
        const auto c = detail::DateOf(FMin);
        const int m = std::max(c.month / r * r, 1);
        p = detail::AddMonths(detail::WithDate(FMin, c.year, m, 1), -r);
    } else if (FYearMode) {
        const int r = gRoundPixels(inc);
        long long y = detail::DateOf(FMin).year;
        if (r != 0)
            y = y / r * r;
        const double moved =
            detail::AddMonths(detail::WithDate(FMin, y, detail::DateOf(FMin).month, 1), -12LL * r);
        p = detail::WithDate(moved, detail::DateOf(moved).year, 1, 1);
    } else {
        p = base - inc;
    }

    // Generated positions are counted too, so a huge minor count cannot spin off the scale.
    const long maxAttempts = 3L * MaxTicks;
    bool overflow = !usable;
    while (!overflow && p <= Max() + inc) {
        AddTick(p, TgPlotTickType::ipttMajor);
        if (minors) {
            for (int i = 0; i < MinorCount && !overflow; ++i) {
                p += FMinorIncrement;
                AddTick(p, TgPlotTickType::ipttMinor);
                overflow = int(FTicks.size()) > MaxTicks || FAttempts > maxAttempts;
            }
            p += FMinorIncrement;
        } else if (FMonthMode) {
            p = detail::AddMonths(p, gRoundPixels(inc));
        } else if (FYearMode) {
            p = detail::AddMonths(p, 12LL * gRoundPixels(inc));
        } else {
            if (p + inc == p)
                break;
            p += inc;
        }
        if (int(FTicks.size()) > MaxTicks || FAttempts > maxAttempts || (minors && p + FMinorIncrement == p))
            overflow = true;
    }
    if (overflow) {
        FTicks.clear();
        AddTick(FMin + FSpan / 2, TgPlotTickType::ipttMajor);
    }
    UpdateTickPixels();
}

} // namespace kv
