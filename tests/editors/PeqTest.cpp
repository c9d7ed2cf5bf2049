// The PEQ band editor through the main window's controls: the Q rules of a type change, the faders'
// texts and limits, a burst of fader moves applied once at the timer's tick, keys and faders without a
// selected band, pending edits of different timers kept apart, linked outputs, the EQ reset.

#include "tests/editors/EditorFixture.h"

#include "app/pages/PeqPage.h"
#include "link/Scales.h"
#include "panels/led/LdPowerButton.h"
#include "platform/gui/StdCtrls.h"

namespace {

using namespace editortest;

constexpr int kOut2 = 3;

class PeqTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        ShowPage("Out2");
        table = &Table("Out2");
        freqBox = &Get<kv::TRoundEdit>("cvdEqFreqOut2");
    }
    void SelectBand(int band) { Click(Get<kv::TPkBmpButton>("pkbEq" + std::to_string(band + 1) + "Out2")); }
    PeqBand Band(int band) { return Model().GetPeqBand(kOut2, band); }
    // Counts the table's change events from now on, still running the window's handler.
    int* CountTableChanges() {
        auto counter = std::make_shared<int>(0);
        auto handler = table->OnChange;
        table->OnChange = [counter, handler](kv::TObject* s) {
            ++*counter;
            handler(s);
        };
        counters.push_back(counter);
        return counter.get();
    }

    kv::TMyPEQType8* table = nullptr;
    kv::TRoundEdit* freqBox = nullptr;
    std::vector<std::shared_ptr<int>> counters;
};

TEST_F(PeqTest, TypeChangesSetTheirQAndShelvesStayAtOrBelowThree) {
    SelectBand(1);
    Fader("isEqBwOut2").SetPosition(56); // 10.1
    Tick();
    ASSERT_EQ(Band(1).q, 56);

    struct Case {
        int type;        // picked in the row's list
        int qPosition;   // then the Q fader, -1 to leave it
        int expectQ;     // Q index stored
        const char* box; // the Q box afterwards
    } cases[] = {
        {1, -1, 10, "0.71"},     // Peak -> Low Shelf: 0.71
        {0, -1, 35, "3.00"},     // Low Shelf -> Peak: the band's default, 3.0
        {0, 100, 100, "128.00"}, // a Peak reaches 128
        {2, -1, 10, "0.71"},     // -> High Shelf
        {2, 60, 35, "3.00"},     // a shelf's Q fader stops at 3.0
        {7, -1, 35, "3.00"},     // -> Allpass 1: the default Q
        {6, -1, 10, "0.71"},     // -> HP -12 dB
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        if (table->TypeList(1)->ItemIndex() != c.type)
            table->TypeList(1)->UserPick(c.type);
        if (c.qPosition >= 0) {
            Fader("isEqBwOut2").SetPosition(c.qPosition);
            Tick();
        }
        EXPECT_EQ(Band(1).type, c.type);
        EXPECT_EQ(Band(1).q, c.expectQ);
        EXPECT_EQ(table->GetQValue(1), kv::peq::Q_TABLE[static_cast<size_t>(c.expectQ)]);
        EXPECT_EQ(BoxText("cvdEqBwOut2"), c.box);
    }
}

TEST_F(PeqTest, ShelfLoadedAboveThreeKeepsItsQUntilItsNextEdit) {
    {
        TfmMain::UpdatingViewGuard quiet(*main);
        Model().SetPeqBand(kOut2, 4, 150, 200, 50, 2, false); // High Shelf, Q index 50 (6.7)
    }
    main->RefreshAllPanels();
    EXPECT_EQ(table->GetQValue(4), kv::peq::Q_TABLE[50]);
    EXPECT_EQ(Band(4).q, 50);

    // A gain step lowers it to 3.0 with the edit.
    SelectBand(4);
    Key(*freqBox, 38);
    Tick();
    EXPECT_EQ(Band(4).gain, 151);
    EXPECT_EQ(Band(4).q, 35);
}

TEST_F(PeqTest, FaderBoxesShowTheirValues) {
    SelectBand(0);
    struct Case {
        const char* fader;
        int position;
        const char* box;
        const char* text;
    } cases[] = {
        {"isEqGainOut2", 120, "cvdEqGainOut2", "+0.0dB"},
        {"isEqGainOut2", 119, "cvdEqGainOut2", "-0.1dB"},
        {"isEqGainOut2", 240, "cvdEqGainOut2", "+12.0dB"},
        {"isEqGainOut2", 0, "cvdEqGainOut2", "-12.0dB"},
        {"isEqFreqOut2", 0, "cvdEqFreqOut2", " 19.7Hz"},
        {"isEqFreqOut2", 300, "cvdEqFreqOut2", "20.16KHz"},
        {"isEqFreqOut2", 170, "cvdEqFreqOut2", "1.00KHz"},
        {"isEqBwOut2", 0, "cvdEqBwOut2", "0.40"},
        {"isEqBwOut2", 10, "cvdEqBwOut2", "0.71"},
        {"isLowCutFreqOut2", 170, "cvdLowCutFreqOut2", "1.00KHz"},
        {"isHighCutFreqOut2", 300, "cvdHighCutFreqOut2", "20.16KHz"},
        {"isHighCutFreqOut2", 0, "cvdHighCutFreqOut2", " 19.7Hz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.fader) + " " + std::to_string(c.position));
        auto& f = Fader(c.fader);
        f.SetPosition(c.position == 0 ? 1 : 0); // a real move to the position
        f.SetPosition(c.position);
        EXPECT_EQ(BoxText(c.box), c.text);
    }
}

TEST_F(PeqTest, BurstOfFaderMovesIsWrittenOnceAtTheTick) {
    SelectBand(2);
    const PeqBand before = Band(2);
    int* changes = CountTableChanges();
    for (int i = 0; i < 5; ++i)
        Key(*freqBox, 38); // gain up
    for (int i = 0; i < 3; ++i)
        Key(*freqBox, 39); // frequency up
    EXPECT_EQ(Fader("isEqGainOut2").Position(), before.gain + 5);
    EXPECT_EQ(*changes, 0);
    EXPECT_EQ(Band(2), before);
    Tick();
    // Only the last fader's value was pending: the frequency.
    EXPECT_EQ(*changes, 1);
    EXPECT_EQ(Band(2).freq, before.freq + 3);
    EXPECT_EQ(Band(2).gain, before.gain);
    EXPECT_EQ(table->GetFreqValue(2), IndexToFreq(before.freq + 3));
}

TEST_F(PeqTest, WithoutASelectedBandKeysAndFadersChangeNothing) {
    main->ResetPeqViews();
    const auto image = Model().Image();
    const double row15 = table->GetGainValue(15);
    for (std::uint16_t key : {37, 39, 38, 40, 107, 109, 187, 189})
        Key(*freqBox, key);
    EXPECT_EQ(Fader("isEqFreqOut2").Position(), 0);
    EXPECT_EQ(Fader("isEqGainOut2").Position(), 120);
    // Moved from code, a disabled fader writes into no row either.
    Fader("isEqGainOut2").SetPosition(200);
    Tick();
    EXPECT_EQ(table->GetGainValue(15), row15);
    EXPECT_EQ(Model().Image(), image);
    EXPECT_EQ(table->GetNowIndex(), 15);
}

TEST_F(PeqTest, PendingBandAndFilterEditsApplyBothAtTheTick) {
    SelectBand(3);
    const PeqBand before = Band(3);
    Key(*freqBox, 38);                          // band gain, applied at the tick
    Fader("isLowCutFreqOut2").SetPosition(100); // high-pass, stored at once, drawn at the tick
    Tick();
    EXPECT_EQ(Band(3).gain, before.gain + 1);
    EXPECT_EQ(Band(3).q, before.q);
    EXPECT_EQ(Model().GetFilters(kOut2).hpFreq, 100);
    EXPECT_NEAR(main->CurvePlot(kOut2)->Section(SECTION_HIGH_PASS).frequency, IndexToFreq(100), 1e-3);
}

TEST_F(PeqTest, LinkedOutputsStoreTheEditButOnlyTheEditedGraphIsRedrawn) {
    ShowPage("Out1");
    Model().SetLinkMask(2, 0x07); // Out1 holds Out2 and Out3
    Model().SetLinkMask(3, 0);
    Model().SetLinkMask(4, 0);
    if (Get<kv::TPkBmpButton>("pkbHighCutBypassOut1").Down())
        Click(Get<kv::TPkBmpButton>("pkbHighCutBypassOut1"));
    const uint64_t out2Computations = main->CurvePlot(3)->Section(SECTION_LOW_PASS).Computations();
    Get<kv::TPkComboBox>("pkcHighCutSlopOut1").UserPick(8); // "BL -24"
    for (int ch = 2; ch <= 4; ++ch)
        EXPECT_EQ(Model().GetFilters(ch).lpSlope, 9) << ch;
    EXPECT_NE(Model().GetFilters(5).lpSlope, 9);
    EXPECT_EQ(main->CurvePlot(2)->Section(SECTION_LOW_PASS).type, ST_LOW_PASS_STAGE_AB);
    EXPECT_EQ(main->CurvePlot(3)->Section(SECTION_LOW_PASS).Computations(), out2Computations);
}

TEST_F(PeqTest, EqResetPutsEveryBandBackAndSelectsBandOne) {
    SelectBand(4);
    for (int i = 0; i < 30; ++i)
        Key(*freqBox, 40);
    Tick();
    table->TypeList(6)->UserPick(3);
    ASSERT_NE(Band(4), LUnitControl::GetDefaultPeqBand(kOut2, 4));
    main->Peq().SendAllPeqBands(kOut2);
    for (int b = 0; b < 9; ++b) {
        SCOPED_TRACE(b);
        EXPECT_EQ(Band(b), LUnitControl::GetDefaultPeqBand(kOut2, b));
        EXPECT_EQ(table->GetGainValue(b), 0.0);
        EXPECT_EQ(table->GetTypeValue(b), 0);
        EXPECT_TRUE(main->CurvePlot(kOut2)->Section(b).IsFlat());
    }
    EXPECT_EQ(table->GetNowIndex(), 0);
    EXPECT_TRUE(Get<kv::TPkBmpButton>("pkbEq1Out2").Down());
}

} // namespace

namespace {

using namespace editortest;

class PeqSelectionTest : public EditorFixture {};

TEST_F(PeqSelectionTest, ClickIntoARowSelectsItsBandAndSendsNothing) {
    ShowPage("InB");
    auto& table = Table("InB");
    const auto image = Model().Image();
    Press(*table.GainEdit(5), 2, 2);
    EXPECT_EQ(table.GetNowIndex(), 5);
    EXPECT_TRUE(Get<kv::TPkBmpButton>("pkbEq6InB").Down());
    EXPECT_FALSE(Get<kv::TPkBmpButton>("pkbEq1InB").Down());
    EXPECT_TRUE(Get<kv::TLabel>("lbFftParamInB").Visible());
    EXPECT_EQ(Fader("isEqFreqInB").Position(), LUnitControl::GetDefaultPeqBand(1, 5).freq);
    EXPECT_TRUE(Graph("InB").CurveDisplay());
    EXPECT_EQ(Model().Image(), image);

    // The wheel over a row's type list changes nothing; "SHOW ALL EQ" writes every handle's values.
    bool handled = false;
    table.OnPeqTypeMouseWheel(&table, {}, -120, {}, handled);
    EXPECT_TRUE(handled);
    auto& all = Get<kv::TLdPowerButton>("ldbEqShowAllInB");
    Click(all);
    EXPECT_TRUE(all.Active());
    EXPECT_TRUE(Graph("InB").ParameterDisplay());
    Click(all);
    EXPECT_FALSE(Graph("InB").ParameterDisplay());
}

} // namespace

namespace {

using namespace editortest;

class PeqHiddenPageTest : public EditorFixture {};

// A band chosen from code while its page is not shown: selected, the frequency box left without the
// focus it cannot take.
TEST_F(PeqHiddenPageTest, BandButtonOfAPageNotShownSelectsWithoutFocus) {
    ShowPage("Gain");
    auto& button = Get<kv::TPkBmpButton>("pkbEq3Out4");
    button.SetDown(true);
    EXPECT_NO_THROW(button.Click());
    EXPECT_EQ(Table("Out4").GetNowIndex(), 2);
    EXPECT_EQ(Fader("isEqFreqOut4").Position(), LUnitControl::GetDefaultPeqBand(5, 2).freq);
}

} // namespace
