// Tracking and the range steps of an axis in a real XY plot: where each tracked value leaves the range and
// which range events it fires, and the scroll and zoom steps the user's input is made of.

#include "plot/gPlotAxis.h"

#include "plot/gXYPlot.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace kvtest {
using namespace kv;

namespace {

std::string AxisTrkFormat(const char* axis, double om, double os, double nm, double ns) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "%s %g %g -> %g %g", axis, om, os, nm, ns);
    return buf;
}

// Ticks every 20 (minors every 10) on a long scale, as the alignment cases need them.
void AxisTrkTicksEvery20(TgPlotAxis& axis) {
    axis.SetDesiredIncrement(20);
    axis.SetDrawRect({0, 0, 40, 2000});
    TBitmap scratch(8, 8);
    axis.CalcTicks(*scratch.Canvas());
    ASSERT_EQ(axis.MajorIncrement(), 20);
    ASSERT_EQ(axis.MinorIncrement(), 10);
}

class AxisTracking : public ::testing::Test {
protected:
    void SetUp() override {
        TScheduler::SetDefault(&clock);
        plot.ReCalcLayout();
        plot.OnXAxisMinSpanChange = [this](TObject*, int, double om, double os, double nm, double ns) {
            events.push_back(AxisTrkFormat("x", om, os, nm, ns));
        };
        plot.OnYAxisMinSpanChange = [this](TObject*, int, double om, double os, double nm, double ns) {
            events.push_back(AxisTrkFormat("y", om, os, nm, ns));
        };
    }
    void TearDown() override { TScheduler::SetDefault(nullptr); }

    TVirtualClock clock;
    TgXYPlot plot{nullptr};
    std::vector<std::string> events;
};

} // namespace

TEST_F(AxisTracking, EachValueMovesTheRangeByTheStyleWithOneEventAStep) {
    using S = TgPlotTrackingStyle;
    using I = TgPlotTrackingIncrementStyle;
    struct Case {
        const char* name;
        S style;
        I increments;
        double min, span, compress;
        std::vector<double> values; // after a first value, which a Y axis aligns to nothing
        double newMin, newSpan;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"smooth, above", S::iptsScrollSmooth, I::iptisMinimum, 0, 10, 0, {12}, 2, 10, {"y 0 10 -> 2 10"}},
        {"smooth, below", S::iptsScrollSmooth, I::iptisMinimum, 0, 10, 0, {-1}, -1, 10, {"y 0 10 -> -1 10"}},
        {"page, above", S::iptsScrollPage, I::iptisMinimum, 0, 10, 0, {12}, 10, 10, {"y 0 10 -> 10 10"}},
        {"inside, nothing", S::iptsScrollSmooth, I::iptisMinimum, 0, 10, 0, {3, 10}, 0, 10, {}},
        {"compress widens",
         S::iptsScrollSmooth,
         I::iptisMinimum,
         0,
         10,
         100,
         {50},
         0,
         50,
         {"y 0 10 -> 0 50"}},
        {"compress caps the span once it exceeded the limit",
         S::iptsScrollSmooth,
         I::iptisMinimum,
         0,
         80,
         100,
         {200, 201},
         101,
         100,
         {"y 0 80 -> 0 200", "y 0 200 -> 101 100"}},
        {"scale min max",
         S::iptsScaleMinMax,
         I::iptisMinimum,
         0,
         10,
         0,
         {15, -5},
         -5,
         15,
         {"y 0 10 -> 0 15", "y 0 15 -> -5 15"}},
        {"major alignment", S::iptsScaleMinMax, I::iptisMajor, 3, 44, 0, {47}, 0, 60, {"y 3 44 -> 0 60"}},
        {"minor alignment", S::iptsScaleMinMax, I::iptisMinor, 3, 44, 0, {47}, 0, 50, {"y 3 44 -> 0 50"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TgPlotAxis* y = plot.GetYAxis(0);
        y->SetMinSpan(c.min, c.span);
        if (c.increments != I::iptisMinimum)
            AxisTrkTicksEvery20(*y);
        y->SetTrackingEnabled(true);
        y->ResetFirstAlign();
        y->SetTrackingStyle(c.style);
        y->SetTrackingIncrementStyle(c.increments);
        y->SetTrackingScrollCompressMax(c.compress);
        y->NewTrackingData(c.min + c.span / 2);
        events.clear();
        for (double v : c.values)
            y->NewTrackingData(v);
        EXPECT_EQ(y->Min(), c.newMin);
        EXPECT_EQ(y->Span(), c.newSpan);
        EXPECT_EQ(events, c.events);
    }
}

TEST_F(AxisTracking, ScrollAndZoomStepsKeepTheRangeFiniteAndInsideTheBounds) {
    struct Case {
        const char* name;
        bool log, bounded;
        double scrollMin, scrollMax, min, span;
        std::function<void(TgPlotAxis&)> step;
        double newMin, newSpan;
    };
    const auto scroll = [](double f) { return [f](TgPlotAxis& a) { a.ScrollByFraction(f); }; };
    const auto power = [](double p) { return [p](TgPlotAxis& a) { a.ZoomByPower(p); }; };
    const auto zoom = [](double v) { return [v](TgPlotAxis& a) { a.Zoom(v); }; };
    const double notch = std::pow(10.0, 0.025);
    const Case cases[] = {
        {"half a span on", false, false, 0, 100, 0, 10, scroll(0.5), 5, 10},
        {"stops at the lower bound", false, true, 0, 100, 0, 10, scroll(-0.5), 0, 10},
        {"stops at the upper bound", false, true, 0, 100, 85, 10, scroll(1), 90, 10},
        {"log: half the decades on", true, false, 0, 100, 1, 99, scroll(0.5), 10, 990},
        {"log: stops at the upper bound", true, true, 0, 100, 1, 9, scroll(1.5), 10, 90},
        {"log: stops at the lower bound", true, true, 2, 1000, 10, 90, scroll(-1), 2, 18},
        {"log: a bound off the scale bounds nothing", true, true, -5, 0, 1, 9, scroll(1), 10, 90},
        {"zoom in a decade", false, false, 0, 100, 0, 10, power(1), 4.5, 1},
        {"zoom a wheel notch", false, false, 0, 100, 0, 10, power(0.025), 5 - 5 / notch, 10 / notch},
        {"log: zoom in a decade", true, false, 0, 100, 1, 99, power(1), 10, 9.9},
        {"zoom by 2 keeps the middle", false, false, 0, 100, 0, 10, zoom(2), -5, 20},
        {"log: zoom out a decade", true, false, 0, 100, 10, 90, zoom(1), 1, 900},
        // Steps beyond the numbers leave the range as it was.
        {"log: scroll beyond the numbers", true, false, 0, 100, 1, 99, scroll(1e6), 1, 99},
        {"scroll by no number", false, false, 0, 100, 0, 10, scroll(NAN), 0, 10},
        {"zoom in beyond the numbers", false, false, 0, 100, 0, 10, power(400), 0, 10},
        {"zoom out beyond the numbers", false, false, 0, 100, 0, 10, power(-400), 0, 10},
        {"log: zoom in beyond the numbers", true, false, 0, 100, 1, 99, power(400), 1, 99},
        {"log: zoom by a factor beyond the numbers", true, false, 0, 100, 1, 99, zoom(400), 1, 99},
        {"zoom by a factor beyond the numbers", false, false, 0, 100, 0, 10, zoom(1e308), 0, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TgPlotAxis& x = *plot.GetXAxis(0);
        x.SetScaleType(c.log ? TgPlotScaleType::ipstLog10 : TgPlotScaleType::ipstLinear);
        x.SetScrollMinMaxEnabled(c.bounded);
        x.SetScrollMin(c.scrollMin);
        x.SetScrollMax(c.scrollMax);
        x.SetMinSpan(c.min, c.span);
        c.step(x);
        ASSERT_TRUE(std::isfinite(x.Min()) && std::isfinite(x.Span()));
        EXPECT_NEAR(x.Min(), c.newMin, 1e-9 * std::abs(c.newMin) + 1e-12);
        EXPECT_NEAR(x.Span(), c.newSpan, 1e-9 * c.newSpan);
    }
}

TEST_F(AxisTracking, ALogRangeWithoutAPositiveMinimumIsNotScrolled) {
    TgPlotAxis& x = *plot.GetXAxis(0);
    x.SetScaleType(TgPlotScaleType::ipstLog10);
    x.SetMin(0); // a layout may set it after the scale type
    x.SetSpan(10);
    events.clear();
    x.ScrollByFraction(0.5);
    x.ZoomByPower(0.5);
    EXPECT_EQ(x.Min(), 0);
    EXPECT_EQ(x.Span(), 10);
    EXPECT_EQ(events, std::vector<std::string>{});
}

TEST_F(AxisTracking, AlignmentOnALogScaleNeverWidensDownToZero) {
    TgPlotAxis& y = *plot.GetYAxis(0);
    y.SetMinSpan(3, 44);
    AxisTrkTicksEvery20(y);
    y.SetScaleType(TgPlotScaleType::ipstLog10);
    y.SetTrackingIncrementStyle(TgPlotTrackingIncrementStyle::iptisMajor);
    y.AlignToIncrement();
    EXPECT_EQ(y.Min(), 3); // 0 is off the scale: the bottom stays
    EXPECT_EQ(y.Span(), 57);
}

TEST_F(AxisTracking, ZoomToPixelsTakesTheBoxAlongTheAxis) {
    TgPlotAxis& x = *plot.GetXAxis(0);
    TgPlotAxis& y = *plot.GetYAxis(0);
    x.SetMinSpan(0, 100);
    y.SetMinSpan(0, 100);
    plot.ReCalcLayout();
    const TRect box{x.PositionToPixels(20), y.PositionToPixels(70), x.PositionToPixels(40),
                    y.PositionToPixels(10)};
    x.ZoomToPixels(box);
    y.ZoomToPixels(box);
    EXPECT_NEAR(x.Min(), 20, 1);
    EXPECT_NEAR(x.Max(), 40, 1);
    EXPECT_NEAR(y.Min(), 10, 1);
    EXPECT_NEAR(y.Max(), 70, 1);

    // A box without width leaves the range alone.
    x.SetMinSpan(0, 100);
    x.ZoomToPixels({box.Left, box.Top, box.Left, box.Bottom});
    EXPECT_EQ(x.Min(), 0);
    EXPECT_EQ(x.Span(), 100);
}

} // namespace kvtest
