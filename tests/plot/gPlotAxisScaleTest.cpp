#include "plot/gPlotAxisScale.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kv;

namespace {

TgPlotAxisScale Axis(double min, double span, TRect rect = {0, 0, 1200, 20}, bool horizontal = true) {
    TgPlotAxisScale a;
    a.Horizontal = horizontal;
    a.SetMin(min);
    a.SetSpan(span);
    a.SetScaleRect(rect);
    return a;
}

std::vector<double> Positions(const TgPlotAxisScale& a, TgPlotTickType type) {
    std::vector<double> out;
    for (const auto& t : a.Ticks())
        if (t.TickType == type)
            out.push_back(t.Position);
    return out;
}

std::vector<double> Majors(const TgPlotAxisScale& a) {
    return Positions(a, TgPlotTickType::ipttMajor);
}
std::vector<double> Minors(const TgPlotAxisScale& a) {
    return Positions(a, TgPlotTickType::ipttMinor);
}

} // namespace

TEST(gPlotAxisScale, DesiredIncrementIsUsedOnlyWhenItsLabelsFit) {
    struct Case {
        int budget;
        double desiredStart, desiredIncrement;
        double major;
        std::vector<double> majors;
    };
    const std::vector<double> every20 = {-100, -80, -60, -40, -20, 0, 20};
    const Case cases[] = {
        {7, 20, 20, 20, every20},         // the desired increment fits
        {6, 20, 20, 20, every20},         // reached through the decimal steps
        {5, 20, 20, 50, {-80, -30, 20}},  // step 50, aligned to the desired start
        {5, 200, 20, 50, {-100, -50, 0}}, // a start outside the range is ignored
        {5, 0, 20, 50, {-100, -50, 0}},   // and so is 0
        {7, 20, 10, 20, every20},         // twelve labels do not fit into seven
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "budget " << c.budget << " start " << c.desiredStart << " inc "
                                        << c.desiredIncrement);
        auto a = Axis(-100, 120);
        a.DesiredStart = c.desiredStart;
        a.SetDesiredIncrement(c.desiredIncrement);
        a.MinorCount = 4;
        a.CalcTicks(c.budget, [](double v) { return std::to_string(int(std::lround(v))); });
        EXPECT_EQ(a.MajorIncrement(), c.major);
        EXPECT_EQ(a.MinorIncrement(), c.major / 5);
        EXPECT_EQ(Majors(a), c.majors);
        const auto minors = Minors(a);
        if (c.major == 20) {
            ASSERT_EQ(minors.size(), 24u);
            EXPECT_EQ(minors.front(), -96);
            EXPECT_EQ(minors.back(), 16);
        }
        for (const auto& t : a.Ticks()) {
            EXPECT_TRUE(t.Show);
            EXPECT_EQ(t.PositionPixels, std::lround((t.Position + 100) * 10));
            if (t.TickType == TgPlotTickType::ipttMajor)
                EXPECT_EQ(t.Text, std::to_string(int(std::lround(t.Position))));
            else
                EXPECT_EQ(t.Text, "");
        }
    }
}

TEST(gPlotAxisScale, LogarithmicTicks) {
    // Three decades with room for three labels: a major per decade, minors 2..9 within.
    auto a = Axis(1, 999);
    a.SetScaleType(TgPlotScaleType::ipstLog10);
    a.CalcTicks(3);
    EXPECT_EQ(Majors(a), (std::vector<double>{1, 10, 100, 1000}));
    std::vector<double> minors;
    for (double d : {1, 10, 100})
        for (int j = 2; j <= 9; ++j)
            minors.push_back(j * d);
    EXPECT_EQ(Minors(a), minors);
    EXPECT_EQ(a.Ticks()[0].PositionPixels, 0);

    // Fewer labels than decades: majors skip decades, no minors.
    a.CalcTicks(2);
    EXPECT_EQ(Majors(a), (std::vector<double>{1, 100}));
    EXPECT_TRUE(Minors(a).empty());
    a.CalcTicks(1);
    EXPECT_EQ(Majors(a), (std::vector<double>{1}));

    // One decade uses linear steps; nothing at or below 0.
    auto d = Axis(1, 9);
    d.SetScaleType(TgPlotScaleType::ipstLog10);
    d.CalcTicks(10);
    EXPECT_EQ(d.MajorIncrement(), 1);
    EXPECT_EQ(Majors(d), (std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(Minors(d).size(), 9u);
    EXPECT_EQ(d.Ticks().back().PositionPixels, 1200);
}

TEST(gPlotAxisScale, LogAxisSubstitutesANonPositiveMinimum) {
    auto a = Axis(-5, 999);
    a.SetScaleType(TgPlotScaleType::ipstLog10);
    EXPECT_EQ(a.Min(), 1);

    // A minimum set below 0 afterwards maps as if it were 1, never to NaN.
    a.SetMin(-5);
    EXPECT_EQ(a.Min(), -5);
    EXPECT_EQ(a.PixelsToPosition(0), 1);
    EXPECT_DOUBLE_EQ(a.PixelsToPosition(1200), 1000);
    EXPECT_DOUBLE_EQ(a.PercentToPosition(0.5, 0, 100), std::sqrt(1000.0));
    EXPECT_EQ(a.PositionToPixels(10), 400);
    EXPECT_EQ(a.PositionToPixels(-3), 0);
    a.CalcTicks(5);
    EXPECT_EQ(Majors(a), (std::vector<double>{1, 10, 100, 1000}));
}

TEST(gPlotAxisScale, SpanZeroMapsEverythingToTheMiddle) {
    auto a = Axis(5, 0, {100, 0, 300, 20});
    EXPECT_EQ(a.Span(), 1e-300);
    for (double v : {-1e6, 5.0, 1e6})
        EXPECT_EQ(a.PositionToPixels(v), 200);
    a.MinorCount = 1;
    a.CalcTicks(4);
    ASSERT_EQ(a.Ticks().size(), 1u);
    EXPECT_EQ(a.Ticks()[0].Position, a.Mid());
    EXPECT_EQ(a.Ticks()[0].PositionPixels, 200);

    auto b = Axis(0, 100);
    b.SetSpan(-3);
    EXPECT_EQ(b.Span(), 1e-300);
    b.SetSpan(1e308);
    EXPECT_EQ(b.Span(), 1e300);
    b.SetMin(-1e308);
    EXPECT_EQ(b.Min(), -1e300);
}

TEST(gPlotAxisScale, TickGuardBoundsTheMinorLoop) {
    // A huge minor count once spun through millions of off-scale minors; it now ends with one major.
    for (int minors : {2000, 100000000}) {
        auto a = Axis(-100, 120);
        a.MinorCount = minors;
        a.CalcTicks(7);
        ASSERT_EQ(a.Ticks().size(), 1u) << minors;
        EXPECT_EQ(a.Ticks()[0].Position, -40);
        EXPECT_EQ(a.Ticks()[0].TickType, TgPlotTickType::ipttMajor);
    }
    // A range far from 0 with a tiny span: the step is lost in rounding.
    auto b = Axis(1e17, 1);
    b.CalcTicks(7);
    EXPECT_LE(b.Ticks().size(), 1u);
    // Six hundred decades with room for a label each: majors and minors 2..9 would pass the guard.
    auto c = Axis(1e-300, 1e300, {0, 0, 600000, 20});
    c.SetScaleType(TgPlotScaleType::ipstLog10);
    c.CalcTicks(1000);
    ASSERT_EQ(c.Ticks().size(), 1u);
    EXPECT_EQ(c.Ticks()[0].Position, c.Mid());
}

TEST(gPlotAxisScale, PixelMappingForwardAndReversed) {
    struct Case {
        bool horizontal, reverse;
        int pixel25;
    };
    for (const Case& c :
         {Case{true, false, 50}, Case{true, true, 150}, Case{false, false, 150}, Case{false, true, 50}}) {
        SCOPED_TRACE(testing::Message() << c.horizontal << c.reverse);
        auto a = Axis(0, 100, {0, 0, 200, 200}, c.horizontal);
        a.ReverseScale = c.reverse;
        EXPECT_EQ(a.PositionToPixels(25), c.pixel25);
        EXPECT_EQ(a.PixelsToPosition(c.pixel25), 25);
        EXPECT_DOUBLE_EQ(a.PositionToPercent(25), c.reverse ? 0.75 : 0.25);
        EXPECT_EQ(a.WidthToPixels(10), 20);
        EXPECT_EQ(a.PositionToPixels(1e9), c.pixel25 == 50 ? 32000 : -32000);
        EXPECT_TRUE(a.PointOnScale(100));
        EXPECT_FALSE(a.PointOnScale(101));
    }
}

TEST(gPlotAxisScale, PixelRoundTrips) {
    struct Case {
        TgPlotScaleType type;
        bool horizontal, reverse;
        double min, span;
    };
    const Case cases[] = {
        {TgPlotScaleType::ipstLinear, true, false, -100, 200},
        {TgPlotScaleType::ipstLinear, true, true, -100, 200},
        {TgPlotScaleType::ipstLinear, false, false, 3.5, 0.01},
        {TgPlotScaleType::ipstLinear, false, true, 3.5, 0.01},
        {TgPlotScaleType::ipstLog10, true, false, 1, 9999},
        {TgPlotScaleType::ipstLog10, true, true, 1, 9999},
        {TgPlotScaleType::ipstLog10, false, false, 0.01, 99.99},
        {TgPlotScaleType::ipstLog10, false, true, 0.01, 99.99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.type) << c.horizontal << c.reverse << " " << c.min);
        auto a = Axis(c.min, c.span, {10, 20, 410, 420}, c.horizontal);
        a.SetScaleType(c.type);
        a.ReverseScale = c.reverse;
        const int first = c.horizontal ? 10 : 20, last = c.horizontal ? 410 : 420;
        for (int p = first; p <= last; ++p)
            ASSERT_EQ(a.PositionToPixels(a.PixelsToPosition(p)), p);
        EXPECT_DOUBLE_EQ(a.PixelsToPosition(a.ActualStart()), a.Min());
        EXPECT_DOUBLE_EQ(a.PixelsToPosition(a.ActualStop()), a.Max());
        EXPECT_DOUBLE_EQ(a.PercentToPosition(c.reverse ? 1 : 0, 0, 100), a.Min());
    }
}

TEST(gPlotAxisScale, PercentToPositionAppliesThePercentRangeOnlyWhenForward) {
    auto a = Axis(0, 100);
    EXPECT_DOUBLE_EQ(a.PercentToPosition(0.5, 0, 100), 50);
    EXPECT_DOUBLE_EQ(a.PercentToPosition(0.5, 25, 75), 50);
    EXPECT_DOUBLE_EQ(a.PercentToPosition(0.25, 25, 75), 0);
    EXPECT_EQ(a.PercentToPosition(0.5, 50, 50), 0);
    a.ReverseScale = true;
    EXPECT_DOUBLE_EQ(a.PercentToPosition(0.25, 25, 75), 75);
}

TEST(gPlotAxisScale, PriceStepsUseBinaryFractions) {
    auto a = Axis(100, 1, {0, 0, 800, 20});
    a.LabelsFormatStyle = TgPlotTextFormat::iptfPrice32nds;
    a.MinorCount = 0;
    a.CalcTicks(5);
    EXPECT_EQ(a.MajorIncrement(), 0.25);
    EXPECT_EQ(Majors(a), (std::vector<double>{100, 100.25, 100.5, 100.75, 101}));
}

TEST(gPlotAxisScale, DateTimeStepsByClockUnitsAndCalendar) {
    struct Case {
        double min, span;
        int budget;
        double increment; // in days, or months / years in the calendar modes
        bool monthMode, yearMode;
        std::vector<double> majors;
    };
    const double hour = 1.0 / 24;
    const Case cases[] = {
        // Four hours with room for five labels: one-hour steps, majors on the hour.
        {45000,
         4 * hour,
         5,
         hour,
         false,
         false,
         {45000, 45000 + hour, 45000 + 2 * hour, 45000 + 3 * hour, 45000 + 4 * hour}},
        // A year and a half with room for seven labels: three-month steps on the first of the month.
        {45000, 540, 7, 3, true, false, {}},
        // Thirty years with room for four labels: ten-year steps starting on 1 January.
        {45000, 30 * 365.25, 4, 10, false, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.span);
        auto a = Axis(c.min, c.span);
        a.LabelsFormatStyle = TgPlotTextFormat::iptfDateTime;
        a.MinorCount = 1;
        a.CalcTicks(c.budget);
        EXPECT_DOUBLE_EQ(a.MajorIncrement(), c.increment);
        EXPECT_EQ(a.MonthModeEnabled(), c.monthMode);
        EXPECT_EQ(a.YearModeEnabled(), c.yearMode);
        const auto majors = Majors(a);
        if (!c.majors.empty()) {
            ASSERT_EQ(majors.size(), c.majors.size());
            for (std::size_t i = 0; i < majors.size(); ++i)
                EXPECT_NEAR(majors[i], c.majors[i], 1e-9);
        } else {
            ASSERT_GE(majors.size(), 2u);
            EXPECT_TRUE(Minors(a).empty());
            for (double m : majors) {
                const auto d = detail::DateOf(m);
                EXPECT_EQ(d.day, 1);
                if (c.monthMode) {
                    EXPECT_EQ(d.month % 3, 0) << d.month; // months that are multiples of the step
                }
                if (c.yearMode) {
                    EXPECT_EQ(d.month, 1);
                    EXPECT_EQ(d.year % 10, 0);
                }
            }
        }
    }
}

TEST(gPlotAxisScale, CalendarArithmetic) {
    const auto d = detail::DateOf(45000.25); // 15 March 2023
    EXPECT_EQ(d.year, 2023);
    EXPECT_EQ(d.month, 3);
    EXPECT_EQ(d.day, 15);
    EXPECT_EQ(detail::DateOf(2).weekday, 2); // 1 January 1900, a Monday
    // 31 January plus one month is the last day of February; the time of day stays.
    const double jan31 = detail::WithDate(45000.25, 2024, 1, 31);
    const double feb = detail::AddMonths(jan31, 1);
    EXPECT_EQ(detail::DateOf(feb).day, 29);
    EXPECT_DOUBLE_EQ(feb - std::trunc(feb), 0.25);
    EXPECT_EQ(detail::DateOf(detail::AddMonths(jan31, -13)).year, 2022);
    EXPECT_EQ(detail::DateOf(-1.5).day, 29); // before the epoch the time counts away from it
    EXPECT_DOUBLE_EQ(detail::WithDate(-1.5, 1899, 12, 28), -2.5);
}

TEST(gPlotAxisScale, CustomTickListIsKeptAndPlaced) {
    auto a = Axis(1, 999);
    a.SetScaleType(TgPlotScaleType::ipstLog10);
    a.TickListCustom = true;
    EXPECT_EQ(a.TickListAdd(10, "ten", TgPlotTickType::ipttMajor), 0);
    EXPECT_EQ(a.TickListAdd(5000, "", TgPlotTickType::ipttMinor), 1);
    try {
        a.TickListAdd(0, "zero", TgPlotTickType::ipttMajor);
        ADD_FAILURE();
    } catch (const EKvError& e) {
        EXPECT_STREQ(e.what(), "Log Scale Requires Position to be Greater Than Zero");
    }
    a.CalcTicks(5);
    ASSERT_EQ(a.Ticks().size(), 2u);
    EXPECT_EQ(a.Ticks()[0].Text, "ten");
    EXPECT_TRUE(a.Ticks()[0].Show);
    EXPECT_EQ(a.Ticks()[0].PositionPixels, 400);
    EXPECT_FALSE(a.Ticks()[1].Show);
}
