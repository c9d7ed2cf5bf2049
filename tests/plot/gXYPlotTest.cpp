#include "plot/gXYPlot.h"

#include "plot/gPlotLayoutManager.h"

#include "ErrorOf.h"

#include <gtest/gtest.h>

namespace kvtest {
using namespace kv;

namespace {

// A channel of another kind than XY.
class XYPlotOtherChannel : public TgPlotChannelCustom {
    KV_CLASS(XYPlotOtherChannel)
public:
    using TgPlotChannelCustom::TgPlotChannelCustom;
    ~XYPlotOtherChannel() override { NotifyRemove(); }
    void CalcStartIndex() override {}
    void CalcStopIndex() override {}
    double GetVisibleXMax() override { return 0; }
    double GetVisibleXMin() override { return 0; }
    double GetVisibleYMax() override { return 0; }
    double GetVisibleYMin() override { return 0; }
    void UpdateDataCursorText(TgPlotObject*) override {}
};

} // namespace

KV_REGISTER_CLASS(XYPlotOtherChannel, TgPlotChannelCustom, b) {}

TEST(XYPlot, StartsWithOneObjectOfEachKindLaidOutAroundTheDataView) {
    TgXYPlot plot(nullptr);
    EXPECT_EQ(plot.Master()->ChannelClass(), "TgXYPlotChannel");
    const std::vector<std::pair<const char*, int>> counts = {{"toolbars", plot.ToolBarCount()},
                                                             {"legends", plot.LegendCount()},
                                                             {"x axes", plot.XAxisCount()},
                                                             {"y axes", plot.YAxisCount()},
                                                             {"channels", plot.ChannelCount()},
                                                             {"data views", plot.DataViewCount()},
                                                             {"cursors", plot.DataCursorCount()},
                                                             {"labels", plot.LabelCount()},
                                                             {"limits", plot.LimitCount() + 1},
                                                             {"tables", plot.TableCount() + 1},
                                                             {"annotations", plot.AnnotationCount() + 1}};
    for (const auto& [what, n] : counts)
        EXPECT_EQ(n, 1) << what;
    EXPECT_EQ(plot.GetToolBar(0)->ZOrder(), 3);
    EXPECT_EQ(plot.GetLegend(0)->ZOrder(), 2);
    EXPECT_EQ(plot.GetXAxis(0)->ZOrder(), 0) << "added while the layout manager was off";
    TgPlotLabel* title = plot.GetLabel(0);
    EXPECT_EQ(title->Name(), "Title");
    EXPECT_EQ(title->Caption(), "Untitled");
    EXPECT_EQ(title->ZOrder(), 2);
    EXPECT_EQ(title->MarginBottom(), 0);
    EXPECT_EQ(plot.TitleText(), "Untitled");

    TgPlotLayoutManager* layout = plot.LayoutManager();
    EXPECT_TRUE(layout->Enabled());
    ASSERT_EQ(layout->TopList().size(), 2u);
    EXPECT_EQ(layout->TopList()[0].Object, title) << "level 2 is nearer the data view than level 3";
    EXPECT_EQ(layout->TopList()[1].Object, plot.GetToolBar(0));
    EXPECT_EQ(layout->BottomList()[0].Object, plot.GetXAxis(0));
    EXPECT_EQ(layout->LeftList()[0].Object, plot.GetYAxis(0));
    EXPECT_EQ(layout->RightList()[0].Object, plot.GetLegend(0));

    TgXYPlotChannel* channel = plot.GetXYChannel(0);
    EXPECT_EQ(channel->XAxisName(), "X-Axis 1");
    EXPECT_EQ(channel->YAxisName(), "Y-Axis 1");
    EXPECT_EQ(plot.GetDataCursor(0)->ChannelName(), "Channel 1");
}

TEST(XYPlot, GetXYChannelRefusesIndexesOutsideAndOtherKinds) {
    gRegisterPlotObjectClassOf<XYPlotOtherChannel>("XYPlotOtherChannel");
    TgXYPlot plot(nullptr);
    EXPECT_EQ(ErrorOf([&] { plot.GetXYChannel(1); }), "List index out of bounds (1)");
    plot.Master()->SetChannelClass("XYPlotOtherChannel");
    plot.AddChannel();
    EXPECT_EQ(ErrorOf([&] { plot.GetXYChannel(1); }), "Invalid class typecast");
    EXPECT_NE(plot.GetChannel(1), nullptr);
}

TEST(XYPlot, ChannelPointsReachThePlotAsARepaintRequest) {
    struct CountingPlot : TgXYPlot {
        using TgXYPlot::TgXYPlot;
        void DoInvalidateNow() override {
            ++repaints;
            TgXYPlot::DoInvalidateNow();
        }
        int repaints = 0;
    } plot(nullptr);
    plot.SetAutoFrameRate(false);
    plot.repaints = 0;
    TgXYPlotChannel* channel = plot.GetXYChannel(0);
    channel->AddXY(20, 20);
    EXPECT_EQ(plot.repaints, 1);
    channel->DeletePoints(channel->Count());
    EXPECT_EQ(plot.repaints, 2);
}

} // namespace kvtest
