// The graphic EQ offline: a fader move's label, section, model and deferred drawing; the input choice
// with linked inputs; the bypass toggles' words and labels; the EQ reset buttons through the real dialog.

#include "tests/editors/PanelsFixture.h"

#include "app/pages/GeqPage.h"
#include "panels/PkPanel.h"
#include "panels/led/LdDemoButton.h"
#include "platform/gui/StdCtrls.h"
#include "styled/StTrackBar.h"

#include <cmath>

namespace {

using namespace panelstest;
using namespace kv;

class GeqTest : public PanelsFixture {
protected:
    TStTrackBar& Fader(int input, int band) { return Get<TStTrackBar>(TGeqPage::GeqFaderName(input, band)); }
    // A click on an LED push button as the user makes it.
    void ClickLed(const std::string& name) { Click(Get<TLdDemoButton>(name)); }
    // Index of the grid point nearest to f.
    static int GridIndex(double f) { return static_cast<int>(std::lround(FrequencyToGridX(f))); }
};

TEST(GeqGainText, PositionsToTexts) {
    const struct {
        int position;
        const char* text;
    } cases[] = {{120, "+0.0"}, {150, "+3.0"}, {119, "-0.1"}, {0, "-12.0"}, {240, "+12.0"}, {1, "-11.9"}};
    for (const auto& c : cases)
        EXPECT_EQ(TGeqPage::GeqGainText(c.position), c.text) << c.position;
}

TEST_F(GeqTest, FaderMoveShowsStoresAndDrawsItsBandOneMillisecondLater) {
    auto& graph = Graph("GeqInA");
    Plot& plot = *main->CurvePlot(8);
    Fader(0, 17).SetPosition(150);
    EXPECT_EQ(Get<TLabel>("lbGeqGainCh18InA").Caption(), "+3.0");
    const PlotSection& s = plot.Section(17);
    EXPECT_EQ(s.type, ST_PEAK);
    EXPECT_EQ(s.frequency, 1000.0);
    EXPECT_NEAR(s.Q, 8.65, 1e-12);
    EXPECT_NEAR(s.gain, 3.0, 1e-12);
    EXPECT_NEAR(s[GridIndex(1000.0)], 3.0, 0.05);
    EXPECT_EQ(Model().GetGeqBand(0, 17), 150);
    EXPECT_EQ(Model().GetGeqBand(1, 17), 120);
    EXPECT_EQ(main->Geq().PendingGeq().plot, 8);
    EXPECT_EQ(main->Geq().PendingGeq().band, 17);
    // Drawn at the timer's tick, not before.
    EXPECT_FALSE(graph.CurveDisplay());
    clock.Advance(1);
    EXPECT_TRUE(graph.CurveDisplay());
    EXPECT_NEAR(plot.Section(SECTION_TOTAL)[GridIndex(1000.0)], 3.0, 0.1);

    // Back at 0 dB the band display goes.
    Fader(0, 17).SetPosition(120);
    EXPECT_EQ(Get<TLabel>("lbGeqGainCh18InA").Caption(), "+0.0");
    clock.Advance(1);
    EXPECT_FALSE(graph.CurveDisplay());

    // InB's faders are InB's.
    Fader(1, 0).SetPosition(0);
    EXPECT_EQ(Get<TLabel>("lbGeqGainCh01InB").Caption(), "-12.0");
    EXPECT_EQ(Model().GetGeqBand(1, 0), 0);
    EXPECT_EQ(Model().GetGeqBand(0, 0), 120);
    EXPECT_NEAR(main->CurvePlot(9)->Section(0).gain, -12.0, 1e-12);
}

TEST_F(GeqTest, InputChoiceShowsALinkedInputThroughItsHolder) {
    // A band selected on InA's channel graph: choosing an input before any graphic-EQ band moved must
    // leave that display alone.
    auto inFront = [&](const std::string& name) {
        auto& g = Get<TPkGroupBox>(name);
        const TWinControl* parent = g.Parent();
        return g.Visible() && parent && parent->Controls(parent->ControlCount() - 1) == &g;
    };
    EXPECT_TRUE(inFront("pkgGeqInA"));
    EXPECT_TRUE(inFront("pkgFftGeqInA"));
    main->CurvePlot(0)->DrawSectionParam(0, 0, 3.0, 1.0, true);
    ASSERT_TRUE(Graph("InA").CurveDisplay());
    Get<TPkBmpButton>("pkbGeqSelInB").Click();
    EXPECT_TRUE(Graph("InA").CurveDisplay());
    EXPECT_EQ(Get<TLabel>("lbFftChGeqInB").Caption(), "InB");
    EXPECT_TRUE(inFront("pkgGeqInB"));
    EXPECT_TRUE(inFront("pkgFftGeqInB"));

    // InB linked into InA's group: shown on InA's groups, titled and coloured as InB.
    Model().SetLinkMask(0, 0b11);
    Model().SetLinkMask(1, 0);
    Get<TPkBmpButton>("pkbGeqSelInB").Click();
    EXPECT_EQ(Get<TLabel>("lbFftChGeqInA").Caption(), "InB");
    EXPECT_EQ(Get<TLabel>("lbGeqinA").Caption(), "InB");
    EXPECT_TRUE(inFront("pkgGeqInA"));
    TPlotListMember* m = nullptr;
    ASSERT_TRUE(Graph("GeqInA").Plots().Find(SECTION_TOTAL, m));
    EXPECT_EQ(m->Colour, 0x008080);
    // A moved band's display is hidden by the choice.
    Fader(0, 3).SetPosition(180);
    clock.Advance(1);
    ASSERT_TRUE(Graph("GeqInA").CurveDisplay());
    Get<TPkBmpButton>("pkbGeqSelInA").Click();
    EXPECT_FALSE(Graph("GeqInA").CurveDisplay());
    ASSERT_TRUE(Graph("GeqInA").Plots().Find(SECTION_TOTAL, m));
    EXPECT_EQ(m->Colour, 0x800080);
}

TEST_F(GeqTest, BypassTogglesWriteTheWordsOfTheGroupAndTheLabels) {
    // Graphic EQ, InA and InB linked: both bits, both graphs.
    Model().SetLinkMask(0, 0b11);
    Model().SetLinkMask(1, 0);
    ClickLed("ldbEqBypassGeqInA");
    EXPECT_EQ(Model().GetGeqBypassMask(), 0b11);
    EXPECT_EQ(FreeText(Graph("GeqInA")), "BYPASS");
    EXPECT_EQ(FreeText(Graph("GeqInB")), "BYPASS");
    ClickLed("ldbEqBypassGeqInB");
    EXPECT_EQ(Model().GetGeqBypassMask(), 0);
    EXPECT_EQ(FreeText(Graph("GeqInA")), "");
    EXPECT_EQ(FreeText(Graph("GeqInB")), "");

    // Whole PEQ, Out1 and Out2 linked: both bits, only the clicked graph relabelled.
    Model().SetLinkMask(2, 0b0011);
    Model().SetLinkMask(3, 0);
    ClickLed("ldbEqBypassOut2");
    EXPECT_EQ(Model().GetEqBypassMask(2), 0b0011);
    EXPECT_EQ(FreeText(Graph("Out2")), "BYPASS");
    EXPECT_EQ(FreeText(Graph("Out1")), "");
    // InB still in InA's group: both inputs; alone again: its own bit.
    ClickLed("ldbEqBypassInB");
    EXPECT_EQ(Model().GetEqBypassMask(1), 0b11);
    ClickLed("ldbEqBypassInB");
    EXPECT_EQ(Model().GetEqBypassMask(1), 0);
    Model().SetLinkMask(0, 0b01);
    Model().SetLinkMask(1, 0b10);
    ClickLed("ldbEqBypassInB");
    EXPECT_EQ(Model().GetEqBypassMask(1), 0b10);
    EXPECT_EQ(FreeText(Graph("InB")), "BYPASS");
    ClickLed("ldbEqBypassOut1");
    EXPECT_EQ(Model().GetEqBypassMask(2), 0);
    EXPECT_EQ(FreeText(Graph("Out1")), "");
}

TEST_F(GeqTest, ResetButtonsOpenTheDialogForTheirTarget) {
    const struct {
        const char* button;
        int target;
    } cases[] = {{"ldbEqResetInA", 0},  {"ldbEqResetInB", 1},    {"ldbEqResetOut1", 2},
                 {"ldbEqResetOut4", 5}, {"ldbEqResetGeqInA", 6}, {"ldbEqResetGeqInB", 7}};
    ASSERT_TRUE(reset->LayoutErrors().empty()) << reset->LayoutErrors().front();
    EXPECT_EQ(reset->ClientWidth(), 320);
    EXPECT_EQ(reset->ClientHeight(), 174);
    Fader(1, 4).SetPosition(200);
    for (const auto& c : cases) {
        bool shown = false;
        answerModal = [&] {
            shown = true;
            EXPECT_EQ(reset->Caption(), "Information");
            EXPECT_EQ(reset->lbReset->Caption(), "Are you sure to RESET EQ ?");
            reset->btnCancel->Click();
        };
        ClickLed(c.button);
        EXPECT_TRUE(shown) << c.button;
        EXPECT_EQ(reset->ResetTarget(), c.target) << c.button;
        EXPECT_EQ(Model().GetGeqBand(1, 4), 200) << "Cancel resets nothing";
    }

    // OK on InB's graphic EQ resets InB's bands only.
    Fader(0, 4).SetPosition(30);
    answerModal = [&] { reset->btnOK->Click(); };
    ClickLed("ldbEqResetGeqInB");
    EXPECT_FALSE(reset->Visible());
    for (int band = 0; band < 31; ++band) {
        EXPECT_EQ(Model().GetGeqBand(1, band), LUnitControl::GetDefaultGeqBand(1, band)) << band;
        EXPECT_EQ(Fader(1, band).Position(), LUnitControl::GetDefaultGeqBand(1, band)) << band;
    }
    EXPECT_EQ(Get<TLabel>("lbGeqGainCh05InB").Caption(), "+0.0");
    EXPECT_EQ(Model().GetGeqBand(0, 4), 30);
}

} // namespace
