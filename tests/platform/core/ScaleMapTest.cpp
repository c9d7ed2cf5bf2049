#include "platform/core/ScaleMap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>

using kv::TScaleKind;
using kv::TScaleMap;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Equal to within a few units of the last place (infinities and zeros exactly).
void ExpectClose(double expected, double actual) {
    if (std::isinf(expected) || expected == 0) {
        EXPECT_EQ(expected, actual);
        return;
    }
    EXPECT_NEAR(expected, actual, std::fabs(expected) * 1e-12);
}

} // namespace

// A value goes to its pixel and the pixel back to the value, by ToValue and by the fraction of the
// range the plot axes use; NearestPixel is checked on the way.
TEST(ScaleMap, RoundTripsAtTheEdgesOfLinearAndLogAxes) {
    const double tiny = std::numeric_limits<double>::denorm_min();
    const double smallest = std::numeric_limits<double>::min();
    const TScaleMap lin = TScaleMap::Linear(0, 128, 0, 512);  // 4 pixels a unit
    const TScaleMap up = TScaleMap::Linear(0, 128, 512, 0);   // drawn upward
    const TScaleMap down = TScaleMap::Linear(128, 0, 0, 512); // values reversed
    const TScaleMap odd = TScaleMap::Linear(0, 128, 101, 613);
    const TScaleMap log = TScaleMap::Log10(1, 1000, 0, 600).NonPositiveAs(1);
    const TScaleMap logUp = TScaleMap::Log10(1, 1000, 600, 0).NonPositiveAs(1);
    const TScaleMap logDown = TScaleMap::Log10(1000, 1, 0, 600).NonPositiveAs(1);
    const TScaleMap decadeBelow = TScaleMap::Log10(1, 1000, 0, 600).NonPositiveAs(0.1);
    const TScaleMap noFloor = TScaleMap::Log10(1, 1000, 0, 600);
    struct Case {
        std::string name;
        TScaleMap map;
        double value, pixel;
        long long nearest;
        double back; // the value the pixel maps back to
    };
    const Case cases[] = {
        {"linear min", lin, 0, 0, 0, 0},
        {"linear max", lin, 128, 512, 512, 128},
        {"linear one pixel in", lin, 0.25, 1, 1, 0.25},
        {"linear one pixel before max", lin, 127.75, 511, 511, 127.75},
        {"linear half pixel, tie to even", lin, 0.625, 2.5, 2, 0.625},
        {"linear half pixel, tie up to even", lin, 0.875, 3.5, 4, 0.875},
        {"linear below", lin, -16, -64, -64, -16},
        {"linear above", lin, 160, 640, 640, 160},
        {"odd first pixel: the distance is rounded", odd, 0.625, 103.5, 103, 0.625},
        {"upward min", up, 0, 512, 512, 0},
        {"upward max", up, 128, 0, 0, 128},
        {"upward one pixel in", up, 0.25, 511, 511, 0.25},
        {"upward half pixel", up, 0.625, 509.5, 510, 0.625},
        {"upward far above saturates", up, 1e12, 512 - 4e12, 512LL - INT_MAX, 1e12},
        {"upward far below saturates", up, -1e12, 512 + 4e12, 512LL - INT_MIN, -1e12},
        {"reversed values min", down, 0, 512, 512, 0},
        {"reversed values max", down, 128, 0, 0, 128},
        {"reversed values one pixel in", down, 127.75, 1, 1, 127.75},
        {"reversed values beyond", down, -1, 516, 516, -1},
        {"log min", log, 1, 0, 0, 1},
        {"log max", log, 1000, 600, 600, 1000},
        {"log decade", log, 10, 200, 200, 10},
        {"log one pixel in", log, std::pow(10, 0.005), 1, 1, std::pow(10, 0.005)},
        {"log one pixel before max", log, std::pow(10, 2.995), 599, 599, std::pow(10, 2.995)},
        {"log below", log, 0.1, -200, -200, 0.1},
        {"log above", log, 1e4, 800, 800, 1e4},
        {"log smallest normal", log, smallest, 200 * std::log10(smallest), -61531, smallest},
        {"log smallest positive", log, tiny, 200 * std::log10(tiny), -64661, tiny},
        {"log zero as one", log, 0, 0, 0, 1},
        {"log negative as one", log, -5, 0, 0, 1},
        {"log NaN as one", log, kNaN, 0, 0, 1},
        {"log zero a decade below", decadeBelow, 0, -200, -200, 0.1},
        {"log zero without a floor", noFloor, 0, -kInf, 0LL - INT_MAX, 0},
        {"log upward min", logUp, 1, 600, 600, 1},
        {"log upward max", logUp, 1000, 0, 0, 1000},
        {"log upward one pixel in", logUp, std::pow(10, 0.005), 599, 599, std::pow(10, 0.005)},
        {"log upward zero as one", logUp, 0, 600, 600, 1},
        {"log reversed values min", logDown, 1, 600, 600, 1},
        {"log reversed values decade", logDown, 100, 200, 200, 100},
        {"log reversed values above", logDown, 1e4, -200, -200, 1e4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const double pixel = c.map.ToPixel(c.value);
        ExpectClose(c.pixel, pixel);
        EXPECT_EQ(c.map.NearestPixel(c.value), c.nearest);
        ExpectClose(c.back, c.map.ToValue(pixel));
        ExpectClose(c.back, c.map.AtFraction(c.map.Fraction(pixel)));
    }
}

TEST(ScaleMap, EmptyAndTooNarrowRanges) {
    // No pixels: every value is on the first one, and nothing maps back.
    const TScaleMap flat = TScaleMap::Linear(0, 10, 7, 7);
    for (double v : {-5.0, 0.0, 5.0, 50.0}) {
        EXPECT_EQ(flat.ToPixel(v), 7);
        EXPECT_EQ(flat.NearestPixel(v), 7);
    }
    EXPECT_TRUE(std::isnan(flat.ToValue(7)));

    // A value range too narrow to step through puts every value on the first pixel when rounded.
    const TScaleMap narrow(TScaleKind::Linear, 5, 1e-300, 100, 1e4);
    EXPECT_EQ(narrow.PixelsPerUnit(), 0);
    for (double v : {4.0, 5.0, 6.0})
        EXPECT_EQ(narrow.NearestPixel(v), 100);

    // The first pixel is fraction +0 whichever way the pixels run, so a range from -0 maps back to +0
    // there both ways.
    for (const TScaleMap& m : {TScaleMap::Linear(-0.0, 10, 0, 100), TScaleMap::Linear(-0.0, 10, 100, 0)}) {
        EXPECT_FALSE(std::signbit(m.Fraction(m.FirstPixel())));
        EXPECT_FALSE(std::signbit(m.ToValue(m.FirstPixel())));
        EXPECT_FALSE(std::signbit(m.AtFraction(m.Fraction(m.FirstPixel()))));
    }
}

TEST(ScaleMap, PixelRoundingRules) {
    struct Case {
        double pixel;
        int truncated, nearest;
    };
    const Case cases[] = {
        {2.5, 2, 2},
        {3.5, 3, 4},
        {-2.5, -2, -2},
        {-0.7, 0, -1},
        {1e10, 100000000, INT_MAX},
        {-1e10, -100000000, INT_MIN},
        {kInf, 100000000, INT_MAX},
        {-kInf, -100000000, INT_MIN},
        {kNaN, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pixel);
        EXPECT_EQ(TScaleMap::TruncatePixel(c.pixel), c.truncated);
        EXPECT_EQ(TScaleMap::RoundPixel(c.pixel), c.nearest);
    }
}
