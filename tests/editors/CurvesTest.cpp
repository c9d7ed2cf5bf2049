// Curve composition: the filter cascades of every slope code at their corner, the Linkwitz-Riley
// filters as doubled Butterworth ones, the two filters sharing their stage sections without touching
// each other's totals, bypassed bands and filters, and the PEQ views reset and shown.

#include "tests/editors/EditorFixture.h"

#include "app/pages/PeqPage.h"
#include "link/Scales.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

using namespace editortest;

class CurvesTest : public EditorFixture {
protected:
    // The grid point nearest 1 kHz, so that a filter set to exactly its frequency is read at its corner.
    static int CornerPoint() {
        int best = 0;
        for (int i = 0; i < GRID_POINTS; ++i)
            if (std::abs(GridFrequency(i) - 1000.0) < std::abs(GridFrequency(best) - 1000.0))
                best = i;
        return best;
    }
    std::vector<double> Curve(int ch, int section) {
        const double* c = main->CurvePlot(ch)->Section(section).Curve();
        return {c, c + GRID_POINTS};
    }
};

TEST_F(CurvesTest, EverySlopeReachesItsCornerLevel) {
    const int i = CornerPoint();
    const double corner = GridFrequency(i);
    static const char* const kTexts[20] = {
        "BW -6",  "BL -6",  "BW -12", "BL -12", "LK -12", "BW -18", "BL -18", "BW -24", "BL -24", "LK -24",
        "BW -30", "BL -30", "BW -36", "BL -36", "LK -36", "BW -42", "BL -42", "BW -48", "BL -48", "LK -48"};
    for (int code = 1; code <= 20; ++code) {
        const bool linkwitz = kTexts[code - 1][0] == 'L';
        const double expected = linkwitz ? -6.02 : -3.01;
        for (bool highPass : {true, false}) {
            main->Peq().ComputeFilterCurve(highPass, code, corner, SECTION_HIGH_PASS, 2);
            const double level =
                main->CurvePlot(2)->Section(highPass ? SECTION_HIGH_PASS : SECTION_LOW_PASS)[i];
            EXPECT_NEAR(level, expected, 0.02) << kTexts[code - 1] << (highPass ? " high-pass" : " low-pass");
        }
    }
    // The slope list shows the same texts in the same order.
    auto& list = Get<kv::TPkComboBox>("pkcLowCutSlopOut1");
    ASSERT_EQ(list.Items()->Count(), 20);
    for (int k = 0; k < 20; ++k)
        EXPECT_EQ(list.Items()->Get(k), kTexts[k]);
}

TEST_F(CurvesTest, LinkwitzRiley24IsTwiceButterworth12AndBothFiltersKeepTheirOwnTotals) {
    main->Peq().ComputeFilterCurve(true, 3, 250.0, SECTION_HIGH_PASS, 0); // BW -12
    const std::vector<double> bw12 = Curve(0, SECTION_HIGH_PASS);
    main->Peq().ComputeFilterCurve(true, 10, 250.0, SECTION_HIGH_PASS, 0); // LK -24
    const std::vector<double> lk24 = Curve(0, SECTION_HIGH_PASS);
    for (int i = 0; i < GRID_POINTS; ++i)
        ASSERT_EQ(lk24[static_cast<size_t>(i)], 2.0 * bw12[static_cast<size_t>(i)]) << "point " << i;

    // A low-pass on InA, then the high-pass changed through its controls: the low-pass total stays as it
    // was to the bit, although the stage sections it was built in are rebuilt for the high-pass.
    ShowPage("InA");
    Fader("isHighCutFreqInA").SetPosition(230);
    Tick();
    const std::vector<double> low = Curve(0, SECTION_LOW_PASS);
    if (Get<kv::TPkBmpButton>("pkbLowCutBypassInA").Down())
        Click(Get<kv::TPkBmpButton>("pkbLowCutBypassInA"));
    Get<kv::TPkComboBox>("pkcLowCutSlopInA").UserPick(12); // BL -36
    Fader("isLowCutFreqInA").SetPosition(60);
    Tick();
    EXPECT_EQ(Model().GetFilters(0).hpSlope, 13);
    const std::vector<double> after = Curve(0, SECTION_LOW_PASS);
    EXPECT_EQ(std::memcmp(low.data(), after.data(), low.size() * sizeof(double)), 0);
    EXPECT_NE(Curve(0, SECTION_HIGH_PASS), bw12);
}

TEST_F(CurvesTest, BypassedBandAndFilterAreFlatWithTheirHandlesInPlace) {
    ShowPage("Out3");
    auto& table = Table("Out3");
    auto& graph = Graph("Out3");
    const int ch = 4;
    // Band 3 at +6 dB, then bypassed through its row's button.
    Get<kv::TPkBmpButton>("pkbEq3Out3").Click();
    table.SetGainValue(2, 6.0);
    ASSERT_FALSE(main->CurvePlot(ch)->Section(2).IsFlat());
    Click(*table.BypassButton(2));
    EXPECT_TRUE(Model().IsPeqBandBypassed(ch, 2));
    EXPECT_TRUE(main->CurvePlot(ch)->Section(2).IsFlat());
    EXPECT_DOUBLE_EQ(graph.Block(2).Y, 6.0);
    EXPECT_EQ(Model().GetPeqBand(ch, 2).gain, 180);

    // The low-pass bypassed: flat, its handle on the 0 dB line at its frequency.
    auto& bypass = Get<kv::TPkBmpButton>("pkbHighCutBypassOut3");
    if (bypass.Down())
        Click(bypass);
    Fader("isHighCutFreqOut3").SetPosition(170);
    Tick();
    ASSERT_EQ(Model().GetFilters(ch).lpSlope, 20);
    ASSERT_FALSE(main->CurvePlot(ch)->Section(SECTION_LOW_PASS).IsFlat());
    Click(bypass);
    EXPECT_EQ(Model().GetFilters(ch).lpSlope, 0);
    EXPECT_EQ(Model().GetFilters(ch).lpFreq, 170);
    EXPECT_TRUE(main->CurvePlot(ch)->Section(SECTION_LOW_PASS).IsFlat());
    EXPECT_DOUBLE_EQ(graph.Block(SECTION_LOW_PASS).Y, 0.0);
    EXPECT_NEAR(graph.Block(SECTION_LOW_PASS).X, FrequencyToGridX(IndexToFreq(170)), 1e-9);
    // A frequency change while bypassed still sends slope 0.
    Fader("isHighCutFreqOut3").SetPosition(180);
    EXPECT_EQ(Model().GetFilters(ch).lpSlope, 0);
    // Released, the slope the list kept is sent again.
    Click(bypass);
    EXPECT_EQ(Model().GetFilters(ch).lpSlope, 20);
}

TEST_F(CurvesTest, ResetViewsSelectNothingAndShowAllSelectsBandOne) {
    main->ResetPeqViews();
    for (const char* s : {"InA", "InB", "Out1", "Out2", "Out3", "Out4"}) {
        SCOPED_TRACE(s);
        EXPECT_EQ(Table(s).GetNowIndex(), 15);
        const int bands = std::string(s).rfind("In", 0) == 0 ? 8 : 9;
        for (int b = 1; b <= bands; ++b)
            EXPECT_FALSE(Get<kv::TPkBmpButton>("pkbEq" + std::to_string(b) + s).Down());
        for (const char* f : {"isEqFreq", "isEqBw", "isEqGain"})
            EXPECT_FALSE(Fader(f + std::string(s)).Enabled());
        EXPECT_EQ(Fader(std::string("isEqFreq") + s).Position(), 0);
        EXPECT_EQ(Fader(std::string("isEqBw") + s).Position(), 0);
        EXPECT_EQ(Fader(std::string("isEqGain") + s).Position(), 120);
        EXPECT_EQ(BoxText(std::string("cvdEqFreq") + s), " 19.7Hz");
        EXPECT_EQ(BoxText(std::string("cvdEqBw") + s), "0.40");
        EXPECT_EQ(BoxText(std::string("cvdEqGain") + s), "+0.0dB");
        EXPECT_FALSE(Graph(s).CurveDisplay());
    }
    main->Peq().ShowAllPeqBands();
    EXPECT_EQ(Table("Out2").GetNowIndex(), 0);
    EXPECT_TRUE(Get<kv::TPkBmpButton>("pkbEq1Out2").Down());
    EXPECT_TRUE(Fader("isEqGainOut2").Enabled());
    EXPECT_EQ(Fader("isEqFreqOut2").Position(), 31); // band 1's default frequency index
    EXPECT_TRUE(Graph("Out2").CurveDisplay());
}

} // namespace
