#include "plot/gMath.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kv;

TEST(gMath, PowerAndLogAreExactAtPowersOfTen) {
    // The axes step their ticks by these values; e^(x ln 10) gave 0.009999999999999995 for 10^-2.
    for (int e = -12; e <= 12; ++e) {
        const double p = gPower(10, e);
        EXPECT_EQ(p, std::stod("1e" + std::to_string(e))) << e;
        EXPECT_EQ(gLog10(p), e) << e;
    }
    EXPECT_EQ(gPower(10, -2), 0.01);
    EXPECT_EQ(gLog10(1000), 3);
    EXPECT_DOUBLE_EQ(gPower(2, 0.5), std::sqrt(2.0));
}

TEST(gMath, PowerAndLogRefuseArgumentsOutsideTheirDomain) {
    EXPECT_THROW(gLog10(0), EMathError);
    EXPECT_THROW(gLog10(-1), EMathError);
    EXPECT_THROW(gPower(-10, 2), EMathError);
    try {
        gLog10(-1);
    } catch (const EMathError& e) {
        EXPECT_STREQ(e.what(), "Invalid floating point operation");
    }
}

TEST(gMath, SplineThroughAStraightLineHasNoCurvature) {
    const std::vector<double> x{0, 1, 2, 4, 7};
    const std::vector<double> y{0, 3, 5, 9, 15}; // y = 2x + 1
    std::vector<double> y2;
    gSpline(x, y, 4, 123, -456, y2);
    ASSERT_EQ(y2.size(), 5u);
    for (int i = 1; i <= 4; ++i)
        EXPECT_NEAR(y2[static_cast<std::size_t>(i)], 0, 1e-12);
    EXPECT_NEAR(gSplint(x, y, y2, 4, 3), 7, 1e-12);
    EXPECT_NEAR(gSplint(x, y, y2, 4, 1), 3, 1e-12);
}

TEST(gMath, SplineFollowsACurveAndRefusesEqualAbscissas) {
    std::vector<double> x{0}, y{0};
    for (int i = 1; i <= 9; ++i) {
        x.push_back(i * 0.4);
        y.push_back(std::sin(i * 0.4));
    }
    std::vector<double> y2;
    gSpline(x, y, 9, 0, 0, y2);
    EXPECT_NEAR(gSplint(x, y, y2, 9, 1.3), std::sin(1.3), 2e-3);
    EXPECT_DOUBLE_EQ(gSplint(x, y, y2, 9, 2.0), std::sin(2.0));

    const std::vector<double> xs{0, 2, 2}, ys{0, 1, 3}, y2s(3, 0.0);
    try {
        gSplint(xs, ys, y2s, 2, 2);
        FAIL() << "no error";
    } catch (const EMathError& e) {
        EXPECT_STREQ(e.what(), "Splint Error - xa's must be distinct");
    }
}

TEST(gMath, PolynomialAndRationalInterpolation) {
    const std::vector<double> x{0, 1, 2, 3}, y{0, 1, 4, 9};
    double v = 0, dy = 0;
    gPolynomialInterpolate(x, y, 3, 2.5, v, dy);
    EXPECT_DOUBLE_EQ(v, 6.25);
    gPolynomialInterpolate(x, y, 3, 0.5, v, dy);
    EXPECT_DOUBLE_EQ(v, 0.25);

    gRationalInterpolate(x, y, 3, 2, v, dy);
    EXPECT_EQ(v, 4);
    EXPECT_EQ(dy, 0);
    // 1/x is itself a diagonal rational function: reproduced between the points.
    const std::vector<double> rx{0, 1, 2, 4, 5}, ry{0, 1, 0.5, 0.25, 0.2};
    gRationalInterpolate(rx, ry, 4, 3, v, dy);
    EXPECT_NEAR(v, 1.0 / 3, 1e-9);

    const std::vector<double> dup{0, 1, 1, 2}, dv{0, 1, 2, 3};
    EXPECT_THROW(gPolynomialInterpolate(dup, dv, 3, 1.5, v, dy), EMathError);
}

TEST(gMath, LineCoefficients) {
    double slope = 0, intercept = 0;
    gLineCoefficients({1, 3}, {3, 7}, slope, intercept);
    EXPECT_EQ(slope, 2);
    EXPECT_EQ(intercept, 1);
    gLineCoefficients({4, 0}, {4, 9}, slope, intercept);
    EXPECT_EQ(slope, 1e30);
}

TEST(gMath, SegmentsIntersectTable) {
    struct Case {
        TPoint a1, a2, b1, b2;
        bool hit;
        const char* what;
    };
    const Case cases[] = {
        {{0, 0}, {10, 10}, {0, 10}, {10, 0}, true, "crossing diagonals"},
        {{0, 0}, {10, 0}, {5, -5}, {5, 5}, true, "horizontal across vertical"},
        {{0, 0},
         {10, 0},
         {5, 1},
         {5, 9},
         false,
         "vertical above the horizontal: its line crosses, it does not"},
        {{-5, 20}, {5, 20}, {0, 10}, {0, 0}, false, "crossing beyond the end of a vertical edge"},
        {{0, 0}, {10, 0}, {10, 0}, {10, 5}, true, "touching end points"},
        {{0, 0}, {10, 0}, {0, 1}, {10, 1}, false, "parallel"},
        {{0, 0}, {10, 0}, {5, 0}, {15, 0}, true, "collinear overlap"},
        {{0, 0}, {10, 0}, {11, 0}, {15, 0}, false, "collinear apart"},
        {{0, 0}, {10, 10}, {0, 1}, {10, 11}, false, "parallel diagonals"},
        {{0, 0}, {4, 1}, {2, 1}, {3, 5}, false, "lines cross near the rounded abscissa only"},
        {{3, 3}, {3, 3}, {0, 0}, {6, 6}, true, "a point on the other segment"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gSegmentsIntersect(c.a1, c.a2, c.b1, c.b2), c.hit) << c.what;
        EXPECT_EQ(gSegmentsIntersect(c.b2, c.b1, c.a1, c.a2), c.hit) << c.what << " (swapped)";
    }
}

TEST(gMath, LineIntersectsRectTable) {
    const TRect r{0, 0, 10, 10};
    struct Case {
        TPoint p1, p2;
        bool hit;
        const char* what;
    };
    const Case cases[] = {
        {{2, 2}, {8, 8}, true, "wholly inside"},
        {{-5, 5}, {5, 5}, true, "crosses the left edge"},
        {{-5, 5}, {15, 5}, true, "passes through"},
        {{-5, 20}, {5, 20}, false, "below: crosses only the line of the left edge"},
        {{-5, -3}, {5, -3}, false, "above"},
        {{20, 0}, {30, 10}, false, "beside"},
        {{-5, 0}, {15, 0}, true, "along the top edge"},
        {{10, 10}, {20, 20}, true, "touches the corner"},
        {{-1, 11}, {11, -1}, true, "diagonal across"},
        {{-6, 5}, {5, 16}, false, "diagonal past the corner"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(gLineIntersectsRect(c.p1, c.p2, r), c.hit) << c.what;
}
