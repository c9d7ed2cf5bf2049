#include "plot/gPlotTimeChannel.h"

#include "tests/plot/XYTestPlot.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace kvtest_timechanneldraw {

using namespace kv;

// Both axes from 0 to 100 over the data area (40, 40)-(280, 280) of a black 320 x 320 image, 2.4
// pixels a unit; a white channel.
struct TimeDrawFixture {
    TimeDrawFixture() {
        x = plot.AddAxis<kv::TgPlotXAxis>("X-Axis 1", 0, 100, {40, 280, 280, 310});
        y = plot.AddAxis<kv::TgPlotYAxis>("Y-Axis 1", 0, 100, {10, 40, 40, 280});
        channel = plot.Add<kv::TgPlotChannel>("Channel 1");
        channel->SetXAxisName("X-Axis 1");
        channel->SetYAxisName("Y-Axis 1");
        channel->SetXAxisTrackingEnabled(false);
        channel->SetYAxisTrackingEnabled(false);
        channel->SetColor(clWhite);
    }
    void Add(const std::vector<std::pair<double, double>>& points) {
        for (auto [px, py] : points)
            channel->AddXY(px, py);
    }
    void Render(const char* name = nullptr) {
        TCanvas& c = *bitmap.Canvas();
        c.SetClipRect(nullptr);
        c.Brush()->SetStyle(TBrushStyle::bsSolid);
        c.Brush()->SetColor(clBlack);
        c.FillRect({0, 0, 320, 320});
        channel->DrawSetup();
        if (channel->CanDraw())
            channel->Draw(c, clBlack);
        c.EndPaint();
        if (const char* dir = std::getenv("KV_TIMECHANNEL_PNG_DIR"); dir && name) // to look at the pictures
            bitmap.Image().save(QString::fromStdString(std::string(dir) + "/" + name + ".png"));
    }
    TColor At(int px, int py) { return bitmap.Canvas()->Pixel(px, py); }
    TColor AtValue(double vx, double vy) { return At(x->PositionToPixels(vx), y->PositionToPixels(vy)); }
    // Inked pixels (not black) and their bounding box.
    int Inked(TRect* box = nullptr) {
        int n = 0;
        TRect b{320, 320, -1, -1};
        for (int py = 0; py < 320; ++py)
            for (int px = 0; px < 320; ++px)
                if (At(px, py) != clBlack) {
                    ++n;
                    b = {std::min(b.Left, px), std::min(b.Top, py), std::max(b.Right, px),
                         std::max(b.Bottom, py)};
                }
        if (box)
            *box = b;
        return n;
    }

    kvtest::XYTestPlot plot;
    TBitmap bitmap{320, 320};
    TgPlotAxis* x = nullptr;
    TgPlotAxis* y = nullptr;
    kv::TgPlotChannel* channel = nullptr;
};

TEST(TimeChannelDraw, TenThousandPointsInOnePixelColumnDrawAsOneVerticalLine) {
    TimeDrawFixture f;
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> dx(0, 0.1), dy(21, 79);
    f.channel->AddXY(50, 20);
    for (int i = 0; i < 10000 - 2; ++i)
        f.channel->AddXY(50 + dx(rng), dy(rng));
    f.channel->AddXY(50.1, 80);
    const int column = f.x->PositionToPixels(50);
    ASSERT_EQ(f.x->PositionToPixels(50.1), column);
    f.Render("onecolumn");
    TRect box;
    f.Inked(&box);
    EXPECT_EQ(box.Left, column);
    EXPECT_EQ(box.Right, column);
    // A line leaves out its end pixel.
    EXPECT_NEAR(box.Top, f.y->PositionToPixels(80), 1);
    EXPECT_NEAR(box.Bottom, f.y->PositionToPixels(20), 1);
    EXPECT_GT(box.Bottom - box.Top, f.y->PositionToPixels(20) - f.y->PositionToPixels(80) - 2);
}

TEST(TimeChannelDraw, DecimatedTraceJoinsColumnsLastToFirstValue) {
    TimeDrawFixture f;
    // Two columns of several points each: the join runs from the last value of one to the first of the
    // next, and a column's extent is drawn whole.
    f.Add({{20, 10}, {20.1, 90}, {20.2, 30}, {60, 70}, {60.1, 50}});
    f.Render("columns");
    EXPECT_EQ(f.AtValue(20, 50), clWhite) << "the first column from 10 to 90";
    EXPECT_EQ(f.AtValue(40, 50), clWhite) << "the join from (20, 30) to (60, 70)";
    EXPECT_EQ(f.AtValue(40, 20), clBlack) << "no join from the column's first or lowest value";
    EXPECT_EQ(f.AtValue(60, 60), clWhite);
}

TEST(TimeChannelDraw, NullPointsBreakTheTraceAndEmptyPointsAreSkipped) {
    for (bool fast : {true, false}) {
        for (bool null : {true, false}) {
            TimeDrawFixture f;
            f.channel->SetFastDrawEnabled(fast);
            f.Add({{10, 50}, {20, 50}});
            if (null)
                f.channel->AddXNull(30);
            else
                f.channel->AddXEmpty(30);
            f.Add({{40, 50}, {50, 50}});
            f.Render();
            EXPECT_EQ(f.AtValue(15, 50), clWhite) << fast;
            EXPECT_EQ(f.AtValue(45, 50), clWhite) << fast;
            EXPECT_EQ(f.AtValue(35, 50), null ? clBlack : clWhite) << fast << null;
        }
    }
}

TEST(TimeChannelDraw, DataEntirelyLeftOfTheAxisIsNotDrawn) {
    TimeDrawFixture f;
    f.Add({{-50, 50}, {-10, 60}});
    f.channel->SetInterpolationStyle(TgPlotInterpolationStyle::ipistDifferential);
    f.Render();
    EXPECT_FALSE(f.channel->CanDraw());
    EXPECT_EQ(f.Inked(), 0);
}

TEST(TimeChannelDraw, FillAndBarsPaintUnderTheTrace) {
    TimeDrawFixture f;
    f.Add({{10, 20}, {90, 60}});
    f.channel->SetFillEnabled(true);
    f.channel->SetFillUseChannelColor(false);
    f.channel->SetFillColor(clLime);
    f.channel->SetFillReference(0);
    f.Render("fill");
    EXPECT_EQ(f.AtValue(50, 10), clLime);
    EXPECT_EQ(f.AtValue(50, 70), clBlack);
    EXPECT_EQ(f.AtValue(5, 10), clBlack);

    TimeDrawFixture g;
    g.Add({{30, 60}, {70, 40}});
    g.channel->SetTraceVisible(false);
    g.channel->SetBarEnabled(true);
    g.channel->SetBarWidth(10);
    g.channel->SetBarBrushUseChannelColor(false);
    g.channel->SetBarBrushColor(clBlue);
    g.Render("bars");
    EXPECT_EQ(g.AtValue(30, 30), clBlue);
    EXPECT_EQ(g.AtValue(70, 20), clBlue);
    EXPECT_EQ(g.AtValue(30, 70), clBlack) << "above the bar";
    EXPECT_EQ(g.AtValue(40, 30), clBlack) << "beside the bar";
    EXPECT_EQ(g.At(g.x->PositionToPixels(25), g.y->PositionToPixels(30)), clWhite) << "the pen";
}

TEST(TimeChannelDraw, InterpolatedTracesLeaveTheirValuePerPixelColumn) {
    using S = TgPlotInterpolationStyle;
    // A smooth curve: each interpolant passes close to it between the points.
    auto curve = [](double vx) { return 50 + 30 * std::sin(vx / 20); };
    for (S style : {S::ipistCubicSpline, S::ipistPolynomial, S::ipistRational}) {
        TimeDrawFixture f;
        for (double vx = 10; vx <= 90; vx += 10)
            f.channel->AddXY(vx, curve(vx));
        f.channel->SetInterpolationStyle(style);
        f.Render("interpolated");
        double y = 0;
        EXPECT_EQ(f.channel->GetYAtX(35, y), TgPlotDataPointStatus::ipdpsValid);
        EXPECT_NEAR(y, curve(35), 1.0) << int(style);
        EXPECT_NE(f.AtValue(35, y), clBlack) << int(style);
        EXPECT_EQ(f.channel->GetYAtX(95, y), TgPlotDataPointStatus::ipdpsEmpty) << "beyond the last point";
    }
}

TEST(TimeChannelDraw, ASplineBreaksAtNullPointsAndSkipsSinglePointRuns) {
    TimeDrawFixture f;
    f.channel->SetInterpolationStyle(TgPlotInterpolationStyle::ipistCubicSpline);
    f.Add({{10, 20}, {20, 40}, {30, 30}});
    f.channel->AddXNull(50);
    f.Add({{60, 50}, {70, 70}, {80, 60}});
    f.channel->AddXNull(85);
    f.Add({{90, 50}});
    f.Render("spline");
    double y = 0;
    EXPECT_EQ(f.channel->GetYAtX(20, y), TgPlotDataPointStatus::ipdpsValid);
    EXPECT_EQ(f.channel->GetYAtX(40, y), TgPlotDataPointStatus::ipdpsNull) << "the gap";
    EXPECT_EQ(f.channel->GetYAtX(70, y), TgPlotDataPointStatus::ipdpsValid);
    EXPECT_EQ(f.channel->GetYAtX(88, y), TgPlotDataPointStatus::ipdpsNull) << "a single point draws nothing";
    TRect box;
    f.Inked(&box);
    EXPECT_GE(box.Right, f.x->PositionToPixels(80) - 1);
    EXPECT_LE(box.Right, f.x->PositionToPixels(80));
}

TEST(TimeChannelDraw, ASplineRunLeftOfTheAxisLeavesTheVisibleRunsDrawn) {
    TimeDrawFixture f;
    f.channel->SetInterpolationStyle(TgPlotInterpolationStyle::ipistCubicSpline);
    f.Add({{-40, 20}, {-30, 40}, {-20, 30}});
    f.channel->AddXNull(-10);
    f.Add({{20, 50}, {50, 70}, {80, 60}});
    f.Render();
    double y = 0;
    EXPECT_EQ(f.channel->GetYAtX(50, y), TgPlotDataPointStatus::ipdpsValid);
    EXPECT_NEAR(y, 70, 1);
    EXPECT_NE(f.AtValue(50, y), clBlack);
    EXPECT_EQ(f.channel->GetYAtX(5, y), TgPlotDataPointStatus::ipdpsNull);
}

TEST(TimeChannelDraw, StepStylesRunOnToTheAxisEndOrStopAtTheLastPoint) {
    for (auto style : {TgPlotInterpolationStyle::ipistDifferential,
                       TgPlotInterpolationStyle::ipistDifferentialTerminated}) {
        TimeDrawFixture f;
        f.Add({{10, 20}, {30, 60}, {50, 40}});
        f.channel->SetInterpolationStyle(style);
        f.Render("steps");
        EXPECT_EQ(f.AtValue(20, 20), clWhite);
        EXPECT_EQ(f.AtValue(30, 40), clWhite) << "the rise";
        EXPECT_EQ(f.AtValue(40, 60), clWhite);
        EXPECT_EQ(f.AtValue(20, 40), clBlack) << "no slope";
        EXPECT_EQ(f.AtValue(80, 40),
                  style == TgPlotInterpolationStyle::ipistDifferential ? clWhite : clBlack);
    }
}

TEST(TimeChannelDraw, DigitalTraceDrawsLevelsEdgesAndMarkersOnTheLevels) {
    TimeDrawFixture f;
    f.channel->SetDigitalEnabled(true);
    f.channel->SetMarkersVisible(true);
    f.channel->SetMarkersPenUseChannelColor(false);
    f.channel->SetMarkersPenColor(clRed);
    f.channel->SetMarkersBrushUseChannelColor(false);
    f.channel->SetMarkersBrushColor(clRed);
    f.Add({{10, 0}, {20, 0}, {30, 5}, {40, 5}, {50, 0}});
    f.Render("digital");
    struct Probe {
        double x, y;
        bool inked;
    };
    for (const Probe& p : std::vector<Probe>{{15, 10, true},
                                             {25, 10, true},
                                             {30, 50, true},
                                             {35, 90, true},
                                             {45, 90, true},
                                             {50, 50, true},
                                             {25, 90, false},
                                             {35, 10, false},
                                             {60, 10, false},
                                             {60, 90, false}})
        EXPECT_EQ(f.AtValue(p.x, p.y) != clBlack, p.inked) << p.x << ", " << p.y;
    EXPECT_EQ(f.AtValue(40, 90), clRed) << "a high point's marker sits on the high level";
    EXPECT_EQ(f.AtValue(20, 10), clRed);
}

TEST(TimeChannelDraw, HighLowBarsCarryOpenAndCloseTicks) {
    TimeDrawFixture f;
    f.channel->SetDataStyle(TgPlotDataStyle::ipdsFullFeature);
    f.channel->SetXAxisTrackingEnabled(false);
    f.channel->SetYAxisTrackingEnabled(false);
    f.channel->SetTraceVisible(false);
    f.channel->SetHighLowEnabled(true);
    f.channel->SetHighLowBarWidth(2);
    f.channel->SetHighLowOpenWidth(4);
    f.channel->SetHighLowCloseWidth(4);
    f.channel->AddHighLow(50, 80, 20, 30, 70);
    f.channel->AddHighLow(50.5, 80, 20, 30, 70); // a second point: the range has two ends
    f.Render("openclose");
    const int x = f.x->PositionToPixels(50);
    // Ticks are as high as their height in pixels; look at the rows next to the price.
    auto near = [&](int px, double price, TColor color) {
        const int py = f.y->PositionToPixels(price);
        return f.At(px, py - 1) == color || f.At(px, py) == color || f.At(px, py + 1) == color;
    };
    EXPECT_EQ(f.At(x, f.y->PositionToPixels(50)), TColor(0xFFFF00)) << "the bar";
    EXPECT_TRUE(near(x - 6, 30, 0x00FF00)) << "open, left";
    EXPECT_TRUE(near(x + 6, 70, 0x0000FF)) << "close, right";
    EXPECT_FALSE(near(x + 6, 30, 0x00FF00));
    EXPECT_FALSE(near(x - 6, 70, 0x0000FF));
}

TEST(TimeChannelDraw, CandleSticksShowTheDirectionAndFollowReversedAxes) {
    struct Case {
        double open, close;
        TColor body;
    };
    for (bool reversed : {false, true}) {
        for (const Case& c : std::vector<Case>{{70, 30, clBlue}, {30, 70, clLime}, {50, 50, clRed}}) {
            TimeDrawFixture f;
            f.channel->SetDataStyle(TgPlotDataStyle::ipdsFullFeature);
            f.channel->SetXAxisTrackingEnabled(false);
            f.channel->SetYAxisTrackingEnabled(false);
            f.channel->SetXYAxesReversed(reversed);
            f.channel->SetTraceVisible(false);
            f.channel->SetHighLowEnabled(true);
            f.channel->SetHighLowStyle(TgPlotHighLowStyle::iphlsCandleStick);
            f.channel->SetHighLowBarWidth(4);
            f.channel->SetHighLowShadowColor(clRed);
            f.channel->SetHighLowBearishColor(clBlue);
            f.channel->SetHighLowBullishColor(clLime);
            f.channel->AddHighLow(50, 90, 10, c.open, c.close);
            f.channel->AddHighLow(51, 90, 10, c.open, c.close);
            f.Render(reversed ? "candle-reversed" : "candle");
            auto at = [&](double vx, double vy) {
                const int px = f.x->PositionToPixels(vx), py = f.y->PositionToPixels(vy);
                return reversed ? f.At(py, px) : f.At(px, py);
            };
            EXPECT_EQ(at(50, 85), clRed) << "the shadow " << reversed;
            EXPECT_EQ(at(50, 15), clRed) << reversed;
            // Inside the body, beside the shadow.
            const int side = f.x->PositionToPixels(50) + 2;
            const int mid = f.y->PositionToPixels((c.open + c.close) / 2);
            EXPECT_EQ(reversed ? f.At(mid, side) : f.At(side, mid), c.body) << c.open << reversed;
        }
    }
}

} // namespace kvtest_timechanneldraw
