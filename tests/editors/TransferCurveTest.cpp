// The dynamics pages' transfer curves: the points each plot channel holds after a redraw (curve and
// threshold point from the strip's threshold, knee and ratio), the points the window starts with, the page
// switch, the refresh, and a compressor edit against the simulated unit.

#include "tests/editors/EditorFixture.h"

#include "app/pages/DynamicsPage.h"
#include "platform/gui/StdBars.h"
#include "platform/gui/StdPanels.h"
#include "plot/gXYPlot.h"

#include <utility>
#include <vector>

namespace {

using namespace editortest;
using Points = std::vector<std::pair<double, double>>;

class TransferCurveTest : public EditorFixture {
protected:
    kv::TgXYPlot& Plot(const std::string& name) { return Get<kv::TgXYPlot>(name); }
    Points PointsOf(const std::string& plot, int channel) {
        kv::TgXYPlotChannel* c = Plot(plot).GetXYChannel(channel);
        Points out;
        for (int i = 0; i < c->Count(); ++i)
            out.emplace_back(c->GetDataX(i), c->GetDataY(i));
        return out;
    }
    static void ExpectPoints(const Points& got, const Points& want, const std::string& what) {
        ASSERT_EQ(got.size(), want.size()) << what;
        for (std::size_t i = 0; i < want.size(); ++i) {
            EXPECT_NEAR(got[i].first, want[i].first, 1e-5) << what << " point " << i;
            EXPECT_NEAR(got[i].second, want[i].second, 1e-5) << what << " point " << i;
        }
    }
    std::string Caption(const std::string& name) { return Get<kv::TLabel>(name).Caption(); }
};

TEST_F(TransferCurveTest, WindowStartsWithTheReferencePoints) {
    for (const char* plot : {"ipComp", "ipLimit"}) {
        ExpectPoints(PointsOf(plot, 0), {{20, 20}, {-10, -10}, {-10, -10}, {-100, -100}}, plot);
        ExpectPoints(PointsOf(plot, 1), {{19.8, 20.4}}, plot);
    }
    ExpectPoints(PointsOf("ipGate", 0), {{20, 20}, {-90, -90}, {-90, -100}}, "ipGate");
    ExpectPoints(PointsOf("ipGate", 1), {{-89.8, -90.4}}, "ipGate");
}

TEST_F(TransferCurveTest, PointsFollowThresholdKneeAndRatio) {
    const struct {
        const char* what;
        const char* plot;
        int threshold, knee, ratio; // fader position, knee, ratio index (-1: no ratio)
        Points curve, point;
    } cases[] = {
        {"compressor 4:1",
         "ipComp",
         -40,
         6,
         9,
         {{20, -10}, {-14, -18.5}, {-26, -26}, {-100, -100}},
         {{-19.8, -20.4}}},
        {"compressor Limit",
         "ipComp",
         -40,
         6,
         15,
         {{20, -20}, {-14, -20}, {-26, -26}, {-100, -100}},
         {{-19.8, -20.4}}},
        {"compressor 1:1 without knee",
         "ipComp",
         -40,
         0,
         0,
         {{20, 20}, {-20, -20}, {-20, -20}, {-100, -100}},
         {{-19.8, -20.4}}},
        {"limiter", "ipLimit", 40, 12, -1, {{20, 20}, {32, 20}, {8, 8}, {-100, -100}}, {{20.2, 19.6}}},
        {"gate", "ipGate", -180, 0, -1, {{20, 20}, {-90, -90}, {-90, -100}}, {{-89.8, -90.4}}},
    };
    for (const auto& c : cases) {
        const std::string plot = c.plot;
        if (plot == "ipComp") {
            Fader("isCompThresholdOut2").SetPosition(c.threshold);
            Get<kv::TUpDown>("udCompKneeOut2").SetPosition(c.knee);
            Get<kv::TUpDown>("udCompRatioOut2").SetPosition(c.ratio);
            main->Dynamics().DrawCompCurve(3);
        } else if (plot == "ipLimit") {
            Fader("isLimitThresholdOut3").SetPosition(c.threshold);
            Get<kv::TUpDown>("udLimitKneeOut3").SetPosition(c.knee);
            main->Dynamics().DrawLimitCurve(4);
        } else {
            Fader("isGateThresholdInB").SetPosition(c.threshold);
            main->Dynamics().DrawGateCurve(1);
        }
        ExpectPoints(PointsOf(plot, 0), c.curve, c.what);
        ExpectPoints(PointsOf(plot, 1), c.point, c.what);
    }
    EXPECT_EQ(Caption("lbCompName"), "Out 2  RMS Compressor");
    EXPECT_EQ(Caption("lbLimitName"), "Out 3  Peak Limit");
    EXPECT_EQ(Caption("lbGateName"), "In B  Gate");
    EXPECT_EQ(Caption("lbHeadGateIn"), "In B");
}

TEST_F(TransferCurveTest, PageSwitchRenamesAndRedrawsForTheOtherChannel) {
    Fader("isCompThresholdOut1").SetPosition(-40);
    Fader("isCompThresholdOut3").SetPosition(0);
    Get<kv::TUpDown>("udCompRatioOut3").SetPosition(15);
    Get<kv::TUpDown>("udCompKneeOut3").SetPosition(0);
    main->Dynamics().DrawCompCurve(2);
    EXPECT_EQ(Caption("lbHeadCompOut"), "Out 1");
    main->Dynamics().lbCompOut1MouseDown(&Get<kv::TLabel>("lbCompOut3"), kv::TMouseButton::mbLeft, {}, 0, 0);
    EXPECT_EQ(main->Dynamics().CompPageChannel(), 4);
    EXPECT_EQ(Caption("lbHeadCompOut"), "Out 3");
    ExpectPoints(PointsOf("ipComp", 0), {{20, 0}, {0, 0}, {0, 0}, {-100, -100}}, "Out3 flat from 0 dB");
    ExpectPoints(PointsOf("ipComp", 1), {{0.2, -0.4}}, "Out3");
}

TEST_F(TransferCurveTest, GateFaderRedrawsAtOnceAndCompressorAtTheTick) {
    ShowPage("Gate");
    Fader("isGateThresholdInA").SetPosition(-100);
    ExpectPoints(PointsOf("ipGate", 0), {{20, 20}, {-50, -50}, {-50, -100}}, "gate at once");
    EXPECT_EQ(main->Dynamics().GatePageChannel(), 0);

    const Points before = PointsOf("ipComp", 0);
    Fader("isCompThresholdOut4").SetPosition(-60);
    Fader("isCompThresholdOut4").SetPosition(-20);
    EXPECT_EQ(PointsOf("ipComp", 0), before) << "the compressor waits for its timer";
    Tick();
    EXPECT_NEAR(PointsOf("ipComp", 1).at(0).first, -9.8, 1e-5) << "one redraw, of the last position";
    EXPECT_EQ(PointsOf("ipComp", 0).size(), 4u);
}

TEST_F(TransferCurveTest, RefreshDrawsOut1AndTheGatePageInput) {
    main->Dynamics().DrawGateCurve(1);
    CompRecord comp = Model().GetComp(2);
    comp.threshold = 140; // position -40
    Model().SetComp(2, comp);
    GateRecord gate = Model().GetGate(1);
    gate.threshold = 60; // position -120
    Model().SetGate(1, gate);
    main->RefreshAllPanels();
    EXPECT_EQ(main->Dynamics().CompPageChannel(), 2);
    EXPECT_NEAR(PointsOf("ipComp", 1).at(0).first, -19.8, 1e-5);
    EXPECT_EQ(main->Dynamics().GatePageChannel(), 1) << "the refresh keeps the gate page's input";
    ExpectPoints(PointsOf("ipGate", 0), {{20, 20}, {-60, -60}, {-60, -100}}, "InB's gate");
}

TEST_F(TransferCurveTest, CompressorEditOnOut2RedrawsItsCurveAgainstTheUnit) {
    Connect();
    ShowPage("Comp");
    auto& threshold = Fader("isCompThresholdOut2");
    const int position = threshold.Position() == -30 ? -32 : -30;
    threshold.SetPosition(position);
    Step(50);
    EXPECT_EQ(main->Dynamics().CompPageChannel(), 3);
    const double t = position * 0.5;
    EXPECT_NEAR(PointsOf("ipComp", 1).at(0).first, t + 0.2, 1e-5);
    EXPECT_NEAR(PointsOf("ipComp", 0).at(2).first, t - Get<kv::TUpDown>("udCompKneeOut2").Position(), 1e-5);
    EXPECT_EQ(ReceivedOf(sim::code::Comp).size(), 1u);
    EXPECT_TRUE(ImagesAgree());
}

} // namespace
