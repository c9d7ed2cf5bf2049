#include "plot/gPlot.h"

#include "plot/gPlotLayoutManager.h"

#include "platform/gui/Layout.h"

#include "ErrorOf.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace kvtest {
using namespace kv;

TEST(TimeSeriesPlot, StartsWithOneObjectOfEachKindAndAScrollingXAxis) {
    TgPlot plot(nullptr);
    EXPECT_EQ(plot.Master()->ChannelClass(), "TgPlotChannel");
    const std::vector<std::pair<const char*, int>> counts = {
        {"toolbars", plot.ToolBarCount()},   {"legends", plot.LegendCount()},
        {"x axes", plot.XAxisCount()},       {"y axes", plot.YAxisCount()},
        {"channels", plot.ChannelCount()},   {"data views", plot.DataViewCount()},
        {"cursors", plot.DataCursorCount()}, {"labels", plot.LabelCount()},
    };
    for (const auto& [what, n] : counts)
        EXPECT_EQ(n, 1) << what;
    EXPECT_EQ(plot.GetLabel(0)->Caption(), "Untitled");
    EXPECT_EQ(plot.GetLabel(0)->Name(), "Title");
    EXPECT_EQ(plot.GetToolBar(0)->ZOrder(), 3);
    EXPECT_EQ(plot.GetLegend(0)->ZOrder(), 2);
    EXPECT_EQ(plot.GetXAxis(0)->TrackingStyle(), TgPlotTrackingStyle::iptsScrollSmooth);
    EXPECT_EQ(plot.GetYAxis(0)->TrackingStyle(), TgPlotTrackingStyle::iptsScaleMinMax);
    EXPECT_TRUE(plot.LayoutManager()->Enabled());
    EXPECT_EQ(plot.GetChannel(0)->XAxisName(), "X-Axis 1");
    EXPECT_EQ(ErrorOf([&] { plot.GetChannel(1); }), "List index out of bounds (1)");
    plot.Master()->SetChannelClass("TgXYPlotChannel");
    plot.AddChannel();
    EXPECT_EQ(ErrorOf([&] { plot.GetChannel(1); }), "Invalid class typecast");
}

TEST(TimeSeriesPlot, ALayoutBringsBackItsTimeSeriesChannels) {
    gRegisterPlotClass();
    TgPlot source(nullptr);
    source.SetName("plot1");
    source.AddChannel();
    source.GetChannel(1)->SetInterpolationStyle(TgPlotInterpolationStyle::ipistDifferential);
    source.GetChannel(1)->SetFillEnabled(true);
    source.GetChannel(1)->SetBarWidth(2.5);
    const std::string layout = WriteLayout(source);

    TgPlot copy(nullptr);
    const auto problems = ReadLayout(layout, copy);
    EXPECT_TRUE(problems.empty()) << (problems.empty() ? "" : problems[0]);
    ASSERT_EQ(copy.ChannelCount(), 2);
    TgPlotChannel* channel = copy.GetChannel(1);
    EXPECT_EQ(channel->InterpolationStyle(), TgPlotInterpolationStyle::ipistDifferential);
    EXPECT_TRUE(channel->FillEnabled());
    EXPECT_EQ(channel->BarWidth(), 2.5);
    EXPECT_EQ(copy.GetChannel(0)->BarWidth(), 5);
}

TEST(TimeSeriesPlot, PaintsSeveralChannelKindsInItsDataView) {
    TgPlot plot(nullptr);
    plot.SetBounds(0, 0, 480, 320);
    TgPlotAxis* x = plot.GetXAxis(0);
    TgPlotAxis* y = plot.GetYAxis(0);
    for (TgPlotAxis* a : {x, y}) {
        a->SetTrackingEnabled(false);
        a->SetMin(0);
        a->SetSpan(100);
    }
    plot.AddChannel();
    plot.AddChannel();
    TgPlotChannel* wave = plot.GetChannel(0);
    TgPlotChannel* steps = plot.GetChannel(1);
    TgPlotChannel* logic = plot.GetChannel(2);
    wave->SetColor(clYellow);
    wave->SetFillEnabled(true);
    wave->SetFillUseChannelColor(false);
    wave->SetFillColor(clNavy);
    wave->SetFillReference(50);
    steps->SetColor(clLime);
    steps->SetInterpolationStyle(TgPlotInterpolationStyle::ipistDifferential);
    logic->SetColor(clFuchsia);
    logic->SetDigitalEnabled(true);
    logic->SetDigitalReferenceLow(5);
    logic->SetDigitalReferenceHigh(15);
    for (int i = 0; i <= 100; ++i) {
        wave->AddXY(i, 50 + 30 * std::sin(i / 8.0));
        if (i % 10 == 0)
            steps->AddXY(i, 20 + (i * 7) % 50);
        logic->AddXY(i, (i / 12) % 2);
    }
    TBitmap picture(480, 320);
    picture.Canvas()->Brush()->SetColor(clBlack);
    picture.Canvas()->FillRect({0, 0, 480, 320});
    plot.gPaint(*picture.Canvas());
    picture.Canvas()->EndPaint();
    if (const char* png = std::getenv("KV_TIMEPLOT_PNG")) // to look at the picture
        picture.Image().save(png);

    const TRect view = plot.GetDataView(0)->DrawRect();
    int yellow = 0, navy = 0, lime = 0, fuchsia = 0;
    for (int py = 0; py < 320; ++py)
        for (int px = 0; px < 480; ++px) {
            const TColor c = picture.Canvas()->Pixel(px, py);
            const bool inside = px >= view.Left && px <= view.Right && py >= view.Top && py <= view.Bottom;
            for (auto [colour, count] : {std::pair{clYellow, &yellow}, std::pair{clNavy, &navy},
                                         std::pair{clLime, &lime}, std::pair{clFuchsia, &fuchsia}})
                if (c == colour && inside)
                    ++*count;
        }
    EXPECT_GT(yellow, 100);
    EXPECT_GT(navy, 1000) << "the fill towards 50";
    EXPECT_GT(lime, 100);
    EXPECT_GT(fuchsia, 100);
    // The fill lies between the wave and its reference.
    const int px = x->PositionToPixels(12); // wave at 50 + 30 sin(1.5), about 80
    EXPECT_EQ(picture.Canvas()->Pixel(px, y->PositionToPixels(65)), clNavy);
    EXPECT_NE(picture.Canvas()->Pixel(px, y->PositionToPixels(45)), clNavy);
}

} // namespace kvtest
