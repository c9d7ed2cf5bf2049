// Curve overlays and graph mode: which dirty masks an edit sets, the lazy copy of the curves when a
// page is shown (also with its button off), the click that shows what was copied, the gain page's
// copies, the shared pages that leave the masks alone, and the magnitude/phase switch.

#include "tests/editors/PanelsFixture.h"

#include "app/pages/OverlaysPage.h"
#include "panels/led/LdPowerButton.h"
#include "platform/gui/StdButtons.h"

#include <array>

namespace {

using namespace panelstest;
using kv::LMyFFTDrawHpLp6dB;
using kv::TLdPowerButton;

class OverlaysTest : public PanelsFixture {
protected:
    std::array<uint32_t, 8> Masks() {
        std::array<uint32_t, 8> m{};
        for (int g = 0; g < 8; ++g)
            m[static_cast<size_t>(g)] = main->Overlays().OverlayDirtyMask(g);
        return m;
    }
    // Shows every channel page and the gain page, so each graph takes its copies and clears the bits of
    // the other channels it shows (a graph's own channel bit is never read, so it stays).
    void CleanAllMasks() {
        for (const char* w : {"InA", "InB", "Out1", "Out2", "Out3", "Out4", "Gain"})
            ShowPage(w);
    }
    // A new total curve on channel ch: +6 dB at 1 kHz in band 0's section.
    void ChangeCurve(int ch, double gain) {
        Plot& p = *main->CurvePlot(ch);
        SetSection(p.Section(0), gain, 1000.0, 1.0, ST_PEAK);
        p.DrawTotalCurve(ch);
    }
    bool SameCurve(const PlotSection& a, const PlotSection& b) {
        for (int i = 0; i < GRID_POINTS; ++i)
            if (a[i] != b[i])
                return false;
        return true;
    }
    bool Drawn(const char* graph, int curve) {
        kv::TPlotListMember* m = nullptr;
        return Graph(graph).Plots().Find(curve, m);
    }
};

TEST_F(OverlaysTest, AnEditMarksItsChannelInTheGraphsOfItsSide) {
    // The graphs that can show each side's curves: the side's channel graphs and its gain-page graph.
    const std::array<uint32_t, 2> sideGraphs = {0b01000011, 0b10111100};
    for (int ch = 0; ch <= 5; ++ch) {
        CleanAllMasks();
        const auto before = Masks();
        const uint32_t bit = 1u << ch;
        const uint32_t graphs = sideGraphs[ch <= 1 ? 0 : 1];
        for (int g = 0; g < 6; ++g) {
            if (graphs >> g & 1 && g != ch) {
                ASSERT_EQ(before[static_cast<size_t>(g)] & bit, 0u) << "graph " << g << " took its copy";
            }
        }
        // Through the model, as every PEQ, graphic-EQ and filter edit ends.
        const PeqBand b = Model().GetPeqBand(ch, 0);
        Model().SetPeqBand(ch, 0, 150, b.freq, b.q, b.type, false);
        const auto after = Masks();
        for (int g = 0; g < 8; ++g) {
            const uint32_t want = before[static_cast<size_t>(g)] | (graphs >> g & 1 ? bit : 0u);
            EXPECT_EQ(after[static_cast<size_t>(g)], want) << "channel " << ch << " graph " << g;
        }
    }
    CleanAllMasks();
    const auto before = Masks();
    Model().SetGeqBand(1, 3, 100);
    const auto marked = Masks();
    EXPECT_EQ(marked[0], before[0] | 2);
    EXPECT_EQ(marked[2], before[2]);
    // The shared pages touch no mask.
    for (const char* w : {"Comp", "Delay", "Matrix", "Gate", "Limit", "Geq"}) {
        ShowPage(w);
        EXPECT_EQ(Masks(), marked) << w;
    }
}

TEST_F(OverlaysTest, ShowingAPageCopiesDirtyCurvesAndTheButtonShowsTheCopy) {
    CleanAllMasks();
    auto& showB = Get<TLdPowerButton>("ldbShowBInA");
    ASSERT_FALSE(showB.Active());
    ShowPage("InB");
    ChangeCurve(1, 6.0);
    main->SetOverlaysDirty(1);

    // The button is off: the curve is copied all the same, and not drawn.
    ShowPage("InA");
    Plot& a = *main->CurvePlot(0);
    const Plot& b = *main->CurvePlot(1);
    EXPECT_TRUE(SameCurve(a.Section(40), b.Section(SECTION_TOTAL)));
    EXPECT_EQ(main->Overlays().OverlayDirtyMask(0) & 2, 0u);
    EXPECT_FALSE(Drawn("InA", 40));

    // InB changes again without its page being left: the button shows the copy made when InA's page
    // was shown, in InB's colour.
    ChangeCurve(1, -6.0);
    Click(showB);
    ASSERT_TRUE(showB.Active());
    kv::TPlotListMember* m = nullptr;
    ASSERT_TRUE(Graph("InA").Plots().Find(40, m));
    EXPECT_EQ(m->Colour, 0x008080);
    EXPECT_FALSE(SameCurve(a.Section(40), b.Section(SECTION_TOTAL)));
    Click(showB);
    EXPECT_FALSE(Drawn("InA", 40));

    // An output graph: Out3's curve on Out1's graph as overlay 39 + (4 - 2).
    auto& show3 = Get<TLdPowerButton>("ldbShow3Out1");
    Click(show3);
    ChangeCurve(4, 3.0);
    main->SetOverlaysDirty(4);
    ShowPage("Out1");
    EXPECT_TRUE(SameCurve(main->CurvePlot(2)->Section(41), main->CurvePlot(4)->Section(SECTION_TOTAL)));
    EXPECT_TRUE(Drawn("Out1", 41));
}

TEST_F(OverlaysTest, GainPageCopiesEveryCurveAndDrawsOnlyDirtyActiveOnes) {
    CleanAllMasks();
    ShowPage("Out2");
    ChangeCurve(3, 4.0); // Out2 changed, not marked dirty: copied, not redrawn
    ChangeCurve(0, 2.0); // InA changed and marked
    main->SetOverlaysDirty(0);
    ShowPage("Gain");
    for (int c = 0; c <= 5; ++c) {
        const Plot& gain = *main->CurvePlot(c <= 1 ? 6 : 7);
        EXPECT_TRUE(SameCurve(gain.Section(c), main->CurvePlot(c)->Section(SECTION_TOTAL))) << c;
    }
    // ldbShowAGain starts on: InA's overlay was redrawn and its bit cleared.
    EXPECT_EQ(main->Overlays().OverlayDirtyMask(6) & 1, 0u);
    EXPECT_NE(main->Overlays().OverlayDirtyMask(7) & 8, 0u); // Out2's button is off: its bit waits
    EXPECT_TRUE(Drawn("GainIn", 0));
    EXPECT_FALSE(Drawn("GainOut", 3));
    Click(Get<TLdPowerButton>("ldbShow2Gain"));
    EXPECT_TRUE(Drawn("GainOut", 3));
}

TEST_F(OverlaysTest, MagnitudeAndPhaseSwitchTheGraphAndItsAxes) {
    auto& phase = Get<kv::TRadioButton>("rbShowPhaseOut2");
    auto& mag = Get<kv::TRadioButton>("rbShowGainOut2");
    auto& graph = Graph("Out2");
    Plot& plot = *main->CurvePlot(3);
    CleanAllMasks();

    phase.SetChecked(true);
    EXPECT_EQ(plot.GetCurveMode(), 1);
    EXPECT_EQ(graph.NumHorzGrid(), 7);
    EXPECT_EQ(graph.YLabel(), "");
    EXPECT_EQ(graph.YLabelScale(), 10.0);
    EXPECT_EQ(graph.YMax(), 18.0);
    EXPECT_EQ(graph.YMin(), -18.0);
    EXPECT_EQ(phase.Font()->Color(), kv::clYellow);
    EXPECT_EQ(mag.Font()->Color(), kv::clSilver);
    // Its own curve changed: the other graphs of its side will copy it; its own graph drew its overlays.
    EXPECT_EQ(main->Overlays().OverlayDirtyMask(2) & 8, 8u);
    EXPECT_EQ(main->Overlays().OverlayDirtyMask(3) & ~8u, 0u);
    // The sections were computed again in phase (tens of degrees).
    EXPECT_EQ(plot.Section(SECTION_HIGH_PASS).mode, 1);

    // A second click on the shown mode does nothing.
    main->Overlays().rbShowPhaseInAClick(&phase);
    EXPECT_EQ(plot.GetCurveMode(), 1);
    EXPECT_EQ(graph.NumHorzGrid(), 7);

    mag.SetChecked(true);
    EXPECT_EQ(plot.GetCurveMode(), 0);
    EXPECT_EQ(graph.NumHorzGrid(), 11);
    EXPECT_EQ(graph.YLabel(), "dB");
    EXPECT_EQ(graph.YLabelScale(), 1.0);
    EXPECT_EQ(mag.Font()->Color(), kv::clYellow);
    EXPECT_EQ(phase.Font()->Color(), kv::clSilver);
}

} // namespace
