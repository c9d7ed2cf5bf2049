#include "plot/gPlotComponent.h"

#include "plot/gDraw.h"
#include "plot/gPlotLayoutManager.h"
#include "plot/gXYPlot.h"
#include "platform/gui/Forms.h"
#include "tests/plot/PlotMainWindowSetup.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <functional>
#include <utility>
#include <vector>

#include <cstdlib>
#include <memory>

namespace kvtest {
using namespace kv;

namespace {

std::unique_ptr<TBitmap> PaintRender(TgPlotComponent& plot, TColor fill = clFuchsia) {
    auto bitmap = std::make_unique<TBitmap>(plot.Width(), plot.Height());
    bitmap->Canvas()->Brush()->SetColor(fill);
    bitmap->Canvas()->FillRect(Rect(0, 0, plot.Width(), plot.Height()));
    plot.gPaint(*bitmap->Canvas());
    return bitmap;
}

// A toolbar that needs room, as the full toolbar does.
class PaintTallToolBar : public TgPlotToolBar {
    KV_CLASS(PaintTallToolBar)
public:
    using TgPlotToolBar::TgPlotToolBar;
    int GetRequiredWidth(TCanvas&) override { return 30; }
};

} // namespace

KV_REGISTER_CLASS(PaintTallToolBar, TgPlotToolBar, b) {}

// The labels are measured when they or their fonts change, not on every paint; what is remembered is
// what the canvas measures, so the pixels are the same either way.
TEST(PlotPaint, LabelsAreMeasuredWhenTheyChangeNotOnEveryPaint) {
    TgXYPlot plot(nullptr);
    SetUpMainWindowPlot(plot);
    const QImage first = PaintRender(plot)->Image().copy();

    // A new point changes no label: a repaint measures nothing and gives the same picture but the point.
    int taken = gTextMeasuresTaken();
    const QImage again = PaintRender(plot)->Image().copy();
    EXPECT_EQ(gTextMeasuresTaken(), taken);
    EXPECT_EQ(again, first);
    plot.GetXYChannel(0)->AddXY(-40, -40);
    PaintRender(plot);
    EXPECT_EQ(gTextMeasuresTaken(), taken);

    // New label texts (another range) and a new label font are measured, once.
    plot.GetXAxis(0)->SetMin(-97);
    PaintRender(plot);
    EXPECT_GT(gTextMeasuresTaken(), taken);
    plot.GetYAxis(0)->LabelsFont()->SetSize(plot.GetYAxis(0)->LabelsFont()->Size() + 3);
    taken = gTextMeasuresTaken();
    PaintRender(plot);
    EXPECT_GT(gTextMeasuresTaken(), taken);
    taken = gTextMeasuresTaken();
    PaintRender(plot);
    EXPECT_EQ(gTextMeasuresTaken(), taken);

    // What is remembered is what the canvas gives, font by font.
    TBitmap bitmap(10, 10);
    TCanvas& c = *bitmap.Canvas();
    for (int size : {7, 8, 12}) {
        for (bool bold : {false, true}) {
            c.Font()->SetSize(size);
            c.Font()->SetStyle(bold ? TFontStyles{TFontStyle::fsBold} : TFontStyles{});
            for (const char* text : {"0", "-100", "20.5", "Output dB", "\xe8\xbe\x93\xe5\x87\xba"}) {
                EXPECT_EQ(gTextWidth(c, text), c.TextWidth(text)) << size << bold << text;
                EXPECT_EQ(gTextHeight(c, text), c.TextHeight(text)) << size << bold << text;
                EXPECT_EQ(gTextWidth(c, text), c.TextWidth(text)) << "remembered " << size << bold << text;
            }
        }
    }
}

// A screen paint keeps what lies below the channels between paints. After any change, what the widget
// shows is what a full paint draws, bit for bit.
TEST(PlotPaint, TheScreenShowsAFullPaintAfterEveryKindOfChange) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 800, 300);
    auto& plot = *new TgXYPlot(&form);
    plot.SetParent(&form);
    SetUpMainWindowPlot(plot);
    plot.GetXYChannel(0)->AddXY(20, 20);
    plot.GetXYChannel(0)->AddXY(-100, -100);
    plot.GetXYChannel(1)->AddXY(-10, -10);
    const auto screen = [&] { return plot.Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32); };
    const auto full = [&] { return PaintRender(plot)->Image().convertToFormat(QImage::Format_RGB32); };
    QImage before = screen();
    ASSERT_EQ(before, full());
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"a channel's points", [&] { plot.GetXYChannel(0)->AddXY(-40, -60); }},
        {"the threshold point", [&] {
             plot.GetXYChannel(1)->DeletePoints(1);
             plot.GetXYChannel(1)->AddXY(-70, -75);
         }},
        {"the grid colour", [&] { plot.GetDataView(0)->SetGridLineColor(clRed); }},
        {"the data view's colour", [&] {
             plot.GetDataView(0)->SetBackgroundTransparent(false);
             plot.GetDataView(0)->SetBackgroundColor(clNavy);
         }},
        {"the plot's background", [&] { plot.SetBackGroundColor(clTeal); }},
        {"an axis range", [&] { plot.GetXAxis(0)->SetMin(-90); }},
        {"the size", [&] { plot.SetBounds(0, 0, 600, 200); }},
        {"a channel's colour", [&] { plot.GetXYChannel(0)->SetColor(clYellow); }},
    };
    for (const auto& [what, change] : changes) {
        change();
        const QImage now = screen();
        EXPECT_EQ(now, full()) << what;
        EXPECT_NE(now, before) << what << " shows";
        before = now;
    }
}

TEST(PlotPaint, TheMainWindowsPlotFitsTheDataViewToTheAxesScales) {
    TgXYPlot plot(nullptr);
    SetUpMainWindowPlot(plot);
    auto picture = PaintRender(plot);

    TgPlotAxis& x = *plot.GetXAxis(0);
    TgPlotAxis& y = *plot.GetYAxis(0);
    const TRect dv = plot.GetDataView(0)->DrawRect();
    EXPECT_EQ(dv.Left, x.ScaleRect().Left);
    EXPECT_EQ(dv.Right, x.ScaleRect().Right);
    EXPECT_EQ(dv.Top, y.ScaleRect().Top);
    EXPECT_EQ(dv.Bottom, y.ScaleRect().Bottom);

    // Left band: the Y axis; bottom band: the X axis; top and right: the margin and half an end label.
    TCanvas& c = *picture->Canvas();
    const int yWidth = y.GetRequiredWidth(c), xWidth = x.GetRequiredWidth(c);
    const int xEnds = x.GetRequiredEndsMargin(c), yEnds = y.GetRequiredEndsMargin(c);
    EXPECT_GT(yWidth, 0);
    EXPECT_GT(xEnds, 0);
    EXPECT_EQ(dv.Left, std::max(yWidth, xEnds) + 5);
    EXPECT_EQ(dv.Top, yEnds + 5);
    EXPECT_EQ(dv.Right, 720 - (xEnds + 5) - 1);
    EXPECT_EQ(dv.Bottom, 230 - (std::max(xWidth, yEnds) + 5) - 1);
    EXPECT_EQ(y.DrawRect().Right, dv.Left);
    EXPECT_EQ(y.DrawRect().Left, dv.Left - yWidth);
    EXPECT_EQ(x.DrawRect().Top, dv.Bottom);
    EXPECT_EQ(x.MinPixels(), dv.Left);
    EXPECT_EQ(y.MinPixels(), dv.Bottom);
    EXPECT_EQ(x.Tick(0).Position, -100);

    const QImage& image = picture->Image();
    EXPECT_EQ(QColor(image.pixel(2, 2)), QColor(Qt::black)) << "the background everywhere, no border";
    EXPECT_EQ(QColor(image.pixel(dv.Left + 3, dv.Bottom - 3)), QColor(Qt::black))
        << "a transparent data view";
    bool yellow = false;
    for (int px = 0; px < dv.Left && !yellow; ++px)
        for (int py = dv.Top; py < dv.Bottom && !yellow; ++py)
            yellow = QColor(image.pixel(px, py)) == QColor(Qt::yellow);
    EXPECT_TRUE(yellow) << "the Y axis labels";
}

TEST(PlotPaint, WithoutAToolbarLegendOrDataViewNothingIsPainted) {
    const std::vector<std::function<void(TgXYPlot&)>> removals = {
        [](TgXYPlot& p) { p.RemoveAllToolBars(); },
        [](TgXYPlot& p) { p.RemoveAllLegends(); },
        [](TgXYPlot& p) { p.RemoveAllDataViews(); },
    };
    for (std::size_t i = 0; i < removals.size(); ++i) {
        TgXYPlot plot(nullptr);
        int painted = 0;
        plot.OnAfterPaint = [&](TObject*) { ++painted; };
        removals[i](plot);
        auto picture = PaintRender(plot);
        EXPECT_EQ(QColor(picture->Image().pixel(10, 10)), QColor(Qt::magenta)) << i;
        EXPECT_EQ(painted, 0) << i;
        EXPECT_FALSE(plot.PaintingActive());
    }
    TgXYPlot plot(nullptr);
    int painted = 0;
    plot.OnAfterPaint = [&](TObject* sender) {
        EXPECT_TRUE(plot.PaintingActive() == false && sender == &plot);
        ++painted;
    };
    PaintRender(plot);
    EXPECT_EQ(painted, 1);
}

TEST(PlotPaint, TwoLeftAxesStackOutwardEachBandAsThickAsItsWidestMember) {
    TgXYPlot plot(nullptr);
    SetUpMainWindowPlot(plot);
    plot.AddYAxis();
    plot.AddYAxis();
    TgPlotAxis* inner = plot.GetYAxis(0);
    TgPlotAxis* outer = plot.GetYAxis(1);
    TgPlotAxis* narrow = plot.GetYAxis(2);
    inner->SetZOrder(1);
    outer->SetZOrder(0);
    outer->SetTitleShow(true);
    narrow->SetZOrder(0);
    narrow->SetStartPercent(60);
    outer->SetStopPercent(40);
    auto picture = PaintRender(plot);
    TCanvas& c = *picture->Canvas();
    const TRect dv = plot.GetDataView(0)->DrawRect();
    EXPECT_EQ(inner->DrawRect().Right, dv.Left) << "level 1 is nearest the data view";
    EXPECT_EQ(inner->DrawRect().Left, dv.Left - inner->GetRequiredWidth(c));
    const int band0 = std::max(outer->GetRequiredWidth(c), narrow->GetRequiredWidth(c));
    EXPECT_GT(outer->GetRequiredWidth(c), narrow->GetRequiredWidth(c));
    EXPECT_EQ(outer->DrawRect().Right, inner->DrawRect().Left);
    EXPECT_EQ(outer->DrawRect().Left, inner->DrawRect().Left - band0);
    EXPECT_EQ(narrow->DrawRect().Left, outer->DrawRect().Left) << "the narrow one takes its band's depth";
    EXPECT_EQ(narrow->DrawRect().Bottom, dv.Bottom - int(std::nearbyint((dv.Bottom - dv.Top) * 0.6)));
    EXPECT_TRUE(outer->StopStacked());
    EXPECT_TRUE(narrow->StartStacked());
    EXPECT_FALSE(inner->StartStacked() || inner->StopStacked());
}

TEST(PlotPaint, TwoAxesSharingABandStackAtTheSharedEnd) {
    TgXYPlot plot(nullptr);
    SetUpMainWindowPlot(plot);
    plot.AddXAxis();
    TgPlotAxis* first = plot.GetXAxis(0);
    TgPlotAxis* second = plot.GetXAxis(1);
    first->SetZOrder(0);
    second->SetZOrder(0);
    second->SetStartPercent(50);
    first->SetStopPercent(50);
    auto picture = PaintRender(plot);
    const TRect dv = plot.GetDataView(0)->DrawRect();
    EXPECT_FALSE(first->StartStacked());
    EXPECT_TRUE(first->StopStacked());
    EXPECT_TRUE(second->StartStacked());
    EXPECT_FALSE(second->StopStacked());
    EXPECT_EQ(first->DrawRect().Right, second->DrawRect().Left);
    EXPECT_EQ(first->DrawRect().Right, dv.Left + int(std::nearbyint((dv.Right - dv.Left) * 0.5)));
    EXPECT_EQ(first->DrawRect().Top, second->DrawRect().Top);
    // The shared end reserves no room for half a label: the scales draw in from the ends that meet.
    EXPECT_EQ(first->ScaleRect().Left, first->DrawRect().Left);
    EXPECT_LT(first->ScaleRect().Right, first->DrawRect().Right);
    EXPECT_GT(second->ScaleRect().Left, second->DrawRect().Left);
}

TEST(PlotPaint, AToolbarAloneOnTopIsDrawnFromTheBorder) {
    TgXYPlot plot(nullptr);
    SetUpMainWindowPlot(plot);
    plot.SetBorderStyle(TgBevelStyle::ibsLowered);
    gRegisterPlotObjectClassOf<PaintTallToolBar>("TgPlotToolBar");
    plot.RemoveAllToolBars();
    plot.AddToolBar();
    gRegisterPlotObjectClassOf<TgPlotToolBar>("TgPlotToolBar");
    TgPlotToolBar* toolBar = plot.GetToolBar(0);
    toolBar->SetZOrder(3);
    auto picture = PaintRender(plot);
    const int yEnds = plot.GetYAxis(0)->GetRequiredEndsMargin(*picture->Canvas());
    EXPECT_EQ(toolBar->DrawRect().Top, 2);
    EXPECT_EQ(toolBar->DrawRect().Bottom, 2 + 30);
    EXPECT_EQ(toolBar->DrawRect().Left, 2);
    EXPECT_EQ(toolBar->DrawRect().Right, 720 - 2 - 1);
    EXPECT_EQ(plot.GetDataView(0)->DrawRect().Top, std::max(30, yEnds) + 2 + 5 + yEnds);
}

TEST(PlotPaint, CentredAxesLieOnTheMiddleOrOnTheirReferencesValue) {
    TgXYPlot plot(nullptr);
    SetUpMainWindowPlot(plot);
    plot.AddXAxis();
    plot.AddYAxis();
    TgPlotAxis* master = plot.GetYAxis(1);
    TgPlotAxis* child = plot.GetXAxis(1);
    master->SetCartesianStyle(TgPlotCartesianStyle::ipcsMaster);
    child->SetCartesianStyle(TgPlotCartesianStyle::ipcsChild);
    child->SetCartesianChildRefAxisName("Y-Axis 1");
    child->SetCartesianChildRefValue(0);
    PaintRender(plot);
    const TRect dv = plot.GetDataView(0)->DrawRect();
    EXPECT_EQ(master->DrawRect(),
              (TRect{(dv.Left + dv.Right) / 2, dv.Top, (dv.Left + dv.Right) / 2, dv.Bottom}));
    const int zero = plot.GetYAxis(0)->PositionToPixels(0);
    EXPECT_EQ(child->DrawRect(), (TRect{dv.Left, zero, dv.Right, zero}));

    child->SetCartesianChildRefAxisName("No such axis");
    PaintRender(plot);
    EXPECT_EQ(child->DrawRect(), (TRect{0, 0, 0, 0}));
}

TEST(PlotPaint, SwappedAxesFitTheDataViewTheOtherWayRound) {
    TgXYPlot plot(nullptr);
    SetUpMainWindowPlot(plot);
    plot.SetXYAxesReverse(true);
    PaintRender(plot);
    TgPlotAxis& x = *plot.GetXAxis(0);
    TgPlotAxis& y = *plot.GetYAxis(0);
    EXPECT_TRUE(x.IsVert());
    const TRect dv = plot.GetDataView(0)->DrawRect();
    EXPECT_EQ(dv.Top, x.ScaleRect().Top);
    EXPECT_EQ(dv.Bottom, x.ScaleRect().Bottom);
    EXPECT_EQ(dv.Left, y.ScaleRect().Left);
    EXPECT_EQ(dv.Right, y.ScaleRect().Right);
    EXPECT_EQ(x.DrawRect().Right, dv.Left);
}

TEST(PlotPaint, TheLayerListPutsBandLimitsUnderTheGrid) {
    TgXYPlot plot(nullptr);
    plot.GetDataView(0)->SetLayer(100);
    plot.AddLimit();
    plot.AddLimit();
    plot.AddLimit();
    plot.GetLimit(0)->SetStyle(TgPlotLimitStyle::iplsLineY);
    plot.GetLimit(1)->SetStyle(TgPlotLimitStyle::iplsBandX);
    plot.GetLimit(2)->SetStyle(TgPlotLimitStyle::iplsBandY);
    plot.GetLimit(2)->SetFillStyle(TBrushStyle::bsClear);
    plot.AddAnnotation();
    plot.GetAnnotation(0)->SetLayer(50);
    plot.GetXYChannel(0)->AddXY(0, 0); // a channel without points draws nothing
    PaintRender(plot);
    std::vector<std::string> order;
    for (const auto& [key, object] : plot.LayerList())
        order.push_back(key + " " + object->Name());
    EXPECT_EQ(order, (std::vector<std::string>{"000050G ", "000100A Limit 2", "000100B Data View 1",
                                               "000100C Limit 1", "000100C Limit 3", "000100F Channel 1"}));
}

TEST(PlotPaint, TheCollisionListAcceptsFreeRectanglesInsideTheDataView) {
    TgXYPlot plot(nullptr);
    PaintRender(plot);
    EXPECT_TRUE(plot.AxesCollisionList().empty()) << "emptied by every paint";
    const TRect dv = plot.GetDataView(0)->DrawRect();
    const TRect a{dv.Left + 10, dv.Top + 10, dv.Left + 30, dv.Top + 20};
    EXPECT_TRUE(plot.CheckAxesCollision(a)) << "the first is taken";
    EXPECT_FALSE(plot.CheckAxesCollision({a.Left + 5, a.Top + 5, a.Right + 5, a.Bottom + 5})) << "overlaps";
    EXPECT_TRUE(plot.CheckAxesCollision({a.Right, a.Top, a.Right + 10, a.Bottom})) << "touching is free";
    EXPECT_FALSE(plot.CheckAxesCollision({dv.Right - 5, a.Top, dv.Right + 5, a.Bottom})) << "leaves the view";
    EXPECT_EQ(plot.AxesCollisionList().size(), 2u);
    plot.AddAxesCollisionRect({0, 0, 1, 1});
    EXPECT_EQ(plot.AxesCollisionList().size(), 3u);
    PaintRender(plot);
    EXPECT_TRUE(plot.AxesCollisionList().empty());
}

} // namespace kvtest
