// The three transfer-curve plots of the main window as its layout makes them: their objects and
// settings, what they render offscreen (the data view between the axes' scales, black background, grid
// lines at the ticks, the curve and threshold point where the axes map them), and the mouse, which
// changes nothing on them.

#include "tests/app/MainWindowFixture.h"

#include "plot/gPlotAxis.h"
#include "plot/gPlotDataCursor.h"
#include "plot/gPlotDataView.h"
#include "plot/gPlotLabel.h"
#include "plot/gPlotLegend.h"
#include "plot/gPlotToolBar.h"
#include "plot/gXYPlot.h"

#include <QImage>

#include <vector>

namespace {

using namespace kv;

class DynamicsPlots : public MainWindowFixture {
protected:
    TgXYPlot& Plot(const char* name) {
        auto* p = main->Find<TgXYPlot>(name);
        if (!p)
            throw std::runtime_error(std::string("no plot ") + name);
        return *p;
    }
    // The plot as it paints, into an image of its own size.
    static QImage Render(TgXYPlot& plot) {
        TBitmap bitmap(plot.Width(), plot.Height());
        plot.gPaint(*bitmap.Canvas());
        return bitmap.Image().copy();
    }
    static QRgb Rgb(TColor c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
};

TEST_F(DynamicsPlots, LayoutGivesEachPlotItsObjectsAndSettings) {
    const struct {
        const char* name;
        int width;
    } plots[] = {{"ipComp", 720}, {"ipLimit", 720}, {"ipGate", 904}};
    for (const auto& p : plots) {
        SCOPED_TRACE(p.name);
        TgXYPlot& plot = Plot(p.name);
        EXPECT_EQ(plot.Width(), p.width);
        EXPECT_EQ(plot.Height(), 230);
        EXPECT_EQ(plot.BorderStyle(), TgBevelStyle::ibsNone);
        EXPECT_EQ(plot.BackGroundColor(), clBlack);
        EXPECT_FALSE(plot.UserCanEditObjects());
        EXPECT_FALSE(plot.TitleVisible());

        ASSERT_EQ(plot.ToolBarCount(), 1);
        EXPECT_EQ(plot.GetToolBar(0)->Name(), "Toolbar 1");
        EXPECT_FALSE(plot.GetToolBar(0)->Visible());
        EXPECT_EQ(plot.GetToolBar(0)->ZOrder(), 3);
        ASSERT_EQ(plot.LegendCount(), 1);
        EXPECT_FALSE(plot.GetLegend(0)->Visible());
        EXPECT_FALSE(plot.GetLegend(0)->Enabled());
        ASSERT_EQ(plot.LabelCount(), 1);
        EXPECT_EQ(plot.GetLabel(0)->Name(), "Title");
        EXPECT_EQ(plot.GetLabel(0)->Caption(), "Untitled");
        EXPECT_FALSE(plot.GetLabel(0)->Visible());
        ASSERT_EQ(plot.DataCursorCount(), 1);
        EXPECT_FALSE(plot.GetDataCursor(0)->Visible());
        EXPECT_EQ(plot.GetDataCursor(0)->ChannelName(), "Channel 1");
        ASSERT_EQ(plot.DataViewCount(), 1);
        EXPECT_TRUE(plot.GetDataView(0)->BackgroundTransparent());
        EXPECT_FALSE(plot.GetDataView(0)->CanFocus());

        ASSERT_EQ(plot.XAxisCount(), 1);
        ASSERT_EQ(plot.YAxisCount(), 1);
        for (TgPlotAxis* axis : {plot.GetXAxis(0), plot.GetYAxis(0)}) {
            EXPECT_EQ(axis->Min(), -100);
            EXPECT_EQ(axis->Span(), 120);
            EXPECT_EQ(axis->DesiredStart(), 20);
            EXPECT_FALSE(axis->Enabled());
            EXPECT_FALSE(axis->CanFocus());
            EXPECT_FALSE(axis->TrackingEnabled());
            EXPECT_EQ(axis->LabelsFont()->Color(), clYellow);
        }
        EXPECT_EQ(plot.GetXAxis(0)->DesiredIncrement(), 20);
        EXPECT_EQ(plot.GetYAxis(0)->DesiredIncrement(), 10);

        ASSERT_EQ(plot.ChannelCount(), 2);
        TgXYPlotChannel* curve = plot.GetXYChannel(0);
        TgXYPlotChannel* point = plot.GetXYChannel(1);
        EXPECT_EQ(curve->Color(), clWhite);
        EXPECT_EQ(curve->TraceLineWidth(), 2);
        EXPECT_FALSE(curve->MarkersVisible());
        EXPECT_EQ(point->Color(), 8421631);
        EXPECT_EQ(point->TraceLineWidth(), 5);
        EXPECT_TRUE(point->MarkersVisible());
        EXPECT_EQ(point->MarkersSize(), 5);
        EXPECT_EQ(point->MarkersPenWidth(), 3);
        EXPECT_EQ(curve->XAxisName(), "X-Axis 1");
        EXPECT_EQ(point->YAxisName(), "Y-Axis 1");
    }
}

TEST_F(DynamicsPlots, RenderedPlotsShowGridCurveAndThresholdPoint) {
    for (const char* name : {"ipComp", "ipLimit", "ipGate"}) {
        SCOPED_TRACE(name);
        TgXYPlot& plot = Plot(name);
        const QImage image = Render(plot);
        TgPlotAxis& x = *plot.GetXAxis(0);
        TgPlotAxis& y = *plot.GetYAxis(0);
        const TRect view = plot.GetDataView(0)->DrawRect();
        EXPECT_EQ(view.Left, x.ScaleRect().Left);
        EXPECT_EQ(view.Right, x.ScaleRect().Right);
        EXPECT_EQ(view.Top, y.ScaleRect().Top);
        EXPECT_EQ(view.Bottom, y.ScaleRect().Bottom);
        // The bands: the Y axis on the left, the X axis below, five pixels of margin above and right.
        EXPECT_GT(view.Left, 5);
        EXPECT_LT(view.Right, plot.Width() - 5);
        EXPECT_LT(view.Bottom, plot.Height() - 5);

        EXPECT_EQ(image.pixel(1, 1), Rgb(clBlack)) << "background";
        // Y labels: every 20 dB from -100 to +20 at this height.
        std::vector<std::string> labels;
        for (int i = 0; i < y.TickListCount(); ++i)
            if (y.Tick(i).TickType == TgPlotTickType::ipttMajor && y.Tick(i).Show)
                labels.push_back(y.Tick(i).Text);
        EXPECT_EQ(labels, (std::vector<std::string>{"-100", "-80", "-60", "-40", "-20", "0", "20"}));
        // A vertical grid line at x = -40 dB, away from the curve.
        const int gx = x.PositionToPixels(-40);
        EXPECT_NE(image.pixel(gx, y.PositionToPixels(5)), Rgb(clBlack)) << "grid line";
        EXPECT_EQ(image.pixel(gx + 3, y.PositionToPixels(5)), Rgb(clBlack)) << "between grid lines";

        // The seeded curve: the identity line runs through (-50, -50) in white.
        const int cx = x.PositionToPixels(-50), cy = y.PositionToPixels(-50);
        bool white = false;
        for (int dy = -1; dy <= 1; ++dy)
            white = white || image.pixel(cx, cy + dy) == Rgb(clWhite);
        EXPECT_TRUE(white) << "curve at (" << cx << ", " << cy << ")";
        // The threshold point: a circle in the point channel's colour around its mapped position.
        TgXYPlotChannel* point = plot.GetXYChannel(1);
        const int px = x.PositionToPixels(point->GetDataX(0)), py = y.PositionToPixels(point->GetDataY(0));
        int marked = 0;
        for (int dy = -6; dy <= 6; ++dy)
            for (int dx = -6; dx <= 6; ++dx)
                if (image.valid(px + dx, py + dy) && image.pixel(px + dx, py + dy) == Rgb(8421631))
                    ++marked;
        EXPECT_GT(marked, 8) << "threshold marker at (" << px << ", " << py << ")";
    }
}

TEST_F(DynamicsPlots, PressesMovesAndWheelChangeNothingAndRaiseNothing) {
    TgXYPlot& plot = Plot("ipComp");
    Render(plot);
    TgPlotAxis& x = *plot.GetXAxis(0);
    TgPlotAxis& y = *plot.GetYAxis(0);
    int events = 0;
    plot.OnClickXAxis = [&](TObject*, int) { ++events; };
    plot.OnXAxisMinSpanChange = [&](TObject*, int, double, double, double, double) { ++events; };
    const TRect view = plot.GetDataView(0)->DrawRect();
    const TPoint points[] = {{(view.Left + view.Right) / 2, (view.Top + view.Bottom) / 2},
                             {(view.Left + view.Right) / 2, view.Bottom + 8},
                             {view.Left - 10, (view.Top + view.Bottom) / 2}};
    for (const TPoint& p : points)
        for (TMouseButton b : {TMouseButton::mbLeft, TMouseButton::mbRight}) {
            EXPECT_NO_THROW({
                plot.MouseDown(b, {}, p.X, p.Y);
                plot.MouseMove(TShiftState{TShiftItem::ssLeft}, p.X + 20, p.Y + 10);
                plot.MouseUp(b, {}, p.X + 20, p.Y + 10);
                plot.gMouseWheel(120, {}, p);
            });
        }
    EXPECT_EQ(x.Min(), -100);
    EXPECT_EQ(x.Span(), 120);
    EXPECT_EQ(y.Min(), -100);
    EXPECT_EQ(y.Span(), 120);
    EXPECT_EQ(events, 0);
    EXPECT_EQ(plot.GetXYChannel(1)->GetDataX(0), 19.8);
}

} // namespace
