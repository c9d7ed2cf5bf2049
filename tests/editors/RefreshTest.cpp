// The refresh of every page from the model: a crafted model gives the controls' states and texts, the
// updating-view flag is put back as it was, and linked inputs keep their own graphic-EQ bands.

#include "tests/editors/PanelsFixture.h"
#include "app/link/MainLink.h"

#include "app/FTest.h"
#include "controls/MyPEQType8.h"
#include "panels/PkComboBox.h"
#include "platform/gui/StdBars.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/StdPanels.h"
#include "styled/RoundControls.h"
#include "styled/StTrackBar.h"

#include <cstring>
#include <memory>

namespace {

using namespace panelstest;
using namespace kv;

class RefreshTest : public PanelsFixture {
protected:
    std::string Label(const std::string& name) { return Get<TLabel>(name).Caption(); }
    int Pos(const std::string& name) { return Get<TStTrackBar>(name).Position(); }
    bool Down(const std::string& name) { return Get<TPkBmpButton>(name).Down(); }

    // A model that differs from the defaults everywhere the table below looks.
    void CraftModel() {
        LUnitControl& m = Model();
        const uint16_t gains[6] = {400, 79, 0, 80, 280, 281};
        for (int c = 0; c <= 5; ++c)
            m.SetGain(c, gains[c]);
        m.SetGeqBand(0, 0, 119);
        m.SetGeqBand(0, 1, 240);
        m.SetGeqBand(0, 17, 150);
        m.SetGeqBand(1, 30, 0);
        m.SetGate(0, {9, 99, 49, 100});
        m.SetComp(2, {15, 4, 99, 6, 190});
        m.SetComp(3, {0, 49, 499, 0, 220});
        m.SetComp(4, {14, 49, 499, 12, 0});
        m.SetLimit(5, {19, 999, 3, 181});
        m.SetHighPass(0, {170, 0, 0, 0}); // bypassed, at 1 kHz
        m.SetHighPass(1, {0, 0, 4, 0});   // 19.7 Hz, "BL -12"
        m.SetLowPass(2, {0, 300, 0, 20});
        m.SetPolarity(1, 1);
        m.SetMute(5, true);
        m.SetDelay(2, 9600);
        m.SetMatrixRoute(2, 0, false);
        m.SetMatrixRoute(2, 1, true);
        m.SetMixLevel(3, 1, 200);
        m.SetPeqBand(3, 8, 60, 200, 10, 2, true);
        m.SetEqBypassMask(1, 0b10); // InB only
        m.SetGeqBypassMask(0b01);   // InA only
        uint8_t name[8] = {'S', 'u', 'b', 0, 'x', 'x', 'x', 'x'};
        m.SetChannelName(2, name);
    }
};

TEST_F(RefreshTest, EveryPageShowsTheModel) {
    // The slope list keeps the user's last choice while its filter is bypassed.
    Get<TPkComboBox>("pkcLowCutSlopInA").SetItemIndex(4);
    CraftModel();
    main->MainLink().OnCurrentPresetReply(7);
    main->RefreshAllPanels();
    EXPECT_FALSE(main->IsUpdatingView());

    EXPECT_EQ(Label("lbPstNum"), "U07");
    const struct {
        const char* s;
        const char* text;
    } gains[] = {{"InA", "+12.0dB"},  {"InB", "-20.5dB"}, {"Out1", "-60.0dB"},
                 {"Out2", "-20.0dB"}, {"Out3", "+0.0dB"}, {"Out4", "+0.1dB"}};
    for (const auto& g : gains) {
        EXPECT_EQ(BoxText(std::string("cvdGain") + g.s), g.text) << g.s;
        EXPECT_EQ(BoxText(std::string("cvdGainBackup") + g.s), g.text) << g.s;
        EXPECT_EQ(Pos(std::string("isGainBackup") + g.s), Pos(std::string("isGain") + g.s)) << g.s;
    }
    EXPECT_EQ(Pos("isGainInA"), 120);

    const struct {
        const char* label;
        const char* text;
    } geq[] = {{"lbGeqGainCh01InA", "-0.1"},
               {"lbGeqGainCh02InA", "+12.0"},
               {"lbGeqGainCh18InA", "+3.0"},
               {"lbGeqGainCh03InA", "+0.0"},
               {"lbGeqGainCh31InB", "-12.0"}};
    for (const auto& g : geq)
        EXPECT_EQ(Label(g.label), g.text) << g.label;
    EXPECT_EQ(Pos("isGeqCh18InA"), 150);

    EXPECT_EQ(Pos("isGateThresholdInA"), -80);
    EXPECT_EQ(BoxText("cvdGateThresholdInA"), "-40.0dB");
    EXPECT_EQ(BoxText("cvdGateAttackInA"), "10ms");
    EXPECT_EQ(BoxText("cvdGateReleaseInA"), "100ms");
    EXPECT_EQ(BoxText("cvdGateHoldInA"), "50ms");
    // The gate page shows InA at start: its title names InA.
    EXPECT_EQ(Label("lbGateName"), "In A  " + main->GetLangText("SID_GATE"));

    EXPECT_EQ(BoxText("cvdCompRatioOut1"), "Limit");
    EXPECT_EQ(BoxText("cvdCompRatioOut2"), "1:1.0");
    EXPECT_EQ(BoxText("cvdCompRatioOut3"), "1:20");
    EXPECT_EQ(BoxText("cvdCompThresholdOut1"), "+5.0dB");
    EXPECT_EQ(BoxText("cvdCompAttackOut1"), "  5ms");
    EXPECT_EQ(BoxText("cvdCompKneeOut1"), "6dB");
    EXPECT_EQ(BoxText("cvdCompKneeOut3"), "12dB");
    EXPECT_EQ(BoxText("cvdLimitThresholdOut4"), "+0.5dB");
    EXPECT_EQ(BoxText("cvdLimitAttackOut4"), " 20ms");
    EXPECT_EQ(BoxText("cvdLimitReleaseOut4"), "1000ms");
    EXPECT_EQ(BoxText("cvdLimitKneeOut4"), "3dB");

    EXPECT_EQ(BoxText("cvdLowCutFreqInA"), "1.00KHz");
    EXPECT_TRUE(Down("pkbLowCutBypassInA"));
    EXPECT_EQ(Get<TPkComboBox>("pkcLowCutSlopInA").ItemIndex(), 4);
    EXPECT_EQ(BoxText("cvdLowCutFreqInB"), "19.7Hz");
    EXPECT_FALSE(Down("pkbLowCutBypassInB"));
    EXPECT_EQ(Get<TPkComboBox>("pkcLowCutSlopInB").ItemIndex(), 3);
    EXPECT_EQ(BoxText("cvdHighCutFreqOut1"), "20.16KHz");
    EXPECT_EQ(Get<TPkComboBox>("pkcHighCutSlopOut1").ItemIndex(), 19);

    EXPECT_TRUE(Down("pkbPhaseInB"));
    EXPECT_TRUE(Down("pkbPhaseBackupInB"));
    EXPECT_EQ(Get<TPkBmpButton>("pkbPhaseInB").Caption(), main->GetLangText("SID_PHASE_ON"));
    EXPECT_EQ(Get<TPkBmpButton>("pkbPhaseBackupInA").Caption(), main->GetLangText("SID_PHASE_OFF"));
    EXPECT_TRUE(Down("pkbMuteOut4"));
    EXPECT_TRUE(Down("pkbMuteBackupOut4"));
    EXPECT_FALSE(Down("pkbMuteOut3"));

    EXPECT_EQ(Pos("isDelayOut1"), 9600);
    const int lineWidth = Get<TLabel>("lbDelayLineOut1").Width();
    EXPECT_EQ(Get<TImage>("imDelayOut1").Left(), 9600 * (lineWidth - 90) / 65280 + 40);

    EXPECT_FALSE(Down("pkbAMatrixOut1"));
    EXPECT_TRUE(Down("pkbBMatrixOut1"));
    EXPECT_EQ(Get<TUpDown>("udMixGainBOut2").Position(), -80);

    auto& table = Get<TMyPEQType8>("peqPeqOut2");
    EXPECT_NEAR(table.GetFreqValue(8), IndexToFreq(200), 0.5);
    EXPECT_NEAR(table.GetGainValue(8), -6.0, 1e-9);
    EXPECT_EQ(table.GetTypeValue(8), 2);
    EXPECT_TRUE(table.GetBypassValue(8));

    EXPECT_EQ(Label("lbMatrixChNameOut1"), "Sub");
    EXPECT_EQ(Get<TPkBmpButton>("pkbMenuOut1").Hint(), "Sub");

    EXPECT_EQ(FreeText(Graph("InA")), "");
    EXPECT_EQ(FreeText(Graph("InB")), "BYPASS");
    EXPECT_EQ(FreeText(Graph("GeqInA")), "BYPASS");
    EXPECT_EQ(FreeText(Graph("GeqInB")), "");

    // Each channel's curves follow the model: InA's graphic EQ has +3 dB at 1 kHz in band 17.
    const PlotSection& band17 = main->CurvePlot(8)->Section(17);
    EXPECT_NEAR(band17.gain, 3.0, 1e-9);
    EXPECT_EQ(band17.frequency, 1000.0);

    main->MainLink().OnCurrentPresetReply(0);
    main->RefreshAllPanels();
    EXPECT_EQ(Label("lbPstNum"), "F00");
}

TEST_F(RefreshTest, TheCallersUpdatingFlagIsPutBackAndTheModelIsLeftAsItIs) {
    // InB belongs to InA's group but holds other bands (as a unit may report); the refresh shows them
    // and changes nothing in the model.
    LUnitControl& m = Model();
    m.SetGeqBand(0, 4, 200);
    m.SetGeqBand(1, 4, 30);
    m.SetLinkMask(0, 0b11);
    m.SetLinkMask(1, 0);
    const img::Image before = m.Image();

    main->SetUpdatingView(true); // as a preset file's opening does
    main->RefreshAllPanels();
    EXPECT_TRUE(main->IsUpdatingView());
    main->SetUpdatingView(false);
    main->RefreshAllPanels();
    EXPECT_FALSE(main->IsUpdatingView());

    EXPECT_EQ(m.Image(), before);
    EXPECT_EQ(Pos("isGeqCh05InA"), 200);
    EXPECT_EQ(Pos("isGeqCh05InB"), 30);
    // The graphic-EQ timer started by the faders draws after the refresh, silently.
    clock.Advance(2);
    EXPECT_EQ(m.Image(), before);
}

TEST_F(RefreshTest, TheTestSignalDialogShowsTheUnitsWorkMode) {
    std::unique_ptr<TfmTest> dialog(Application->CreateForm<TfmTest>());
    // The words come in with a read-back: the last of the 15 pieces holds the work mode and sine index.
    auto readBack = [&](uint16_t mode, uint16_t sine) {
        std::array<uint8_t, img::kDumpSize> dump{};
        std::copy(Model().Image().begin(), Model().Image().end(), dump.begin());
        dump[img::kWorkMode] = static_cast<uint8_t>(mode);
        dump[img::kWorkMode + 1] = static_cast<uint8_t>(mode >> 8);
        dump[img::kSineIndex] = static_cast<uint8_t>(sine);
        dump[img::kSineIndex + 1] = static_cast<uint8_t>(sine >> 8);
        for (uint8_t piece = 0; piece < 15; ++piece) {
            // Sized first: growing a one-byte vector here draws a false array-bounds warning from GCC.
            BSTM payload(51);
            payload[0] = piece;
            std::copy(dump.begin() + piece * 50, dump.begin() + piece * 50 + 50, payload.begin() + 1);
            ASSERT_TRUE(Model().DecodeDump(payload));
        }
        main->RefreshAllPanels();
    };
    readBack(3, 17);
    EXPECT_TRUE(dialog->rbSineWave->Checked());
    EXPECT_EQ(dialog->cbSineFreq->ItemIndex(), 17);
    readBack(1, 4);
    EXPECT_TRUE(dialog->rbPinkNoise->Checked());
    EXPECT_EQ(dialog->cbSineFreq->ItemIndex(), 4);
    readBack(9, 2); // an unknown mode changes nothing
    EXPECT_TRUE(dialog->rbPinkNoise->Checked());
    EXPECT_EQ(dialog->cbSineFreq->ItemIndex(), 4);
}

} // namespace
