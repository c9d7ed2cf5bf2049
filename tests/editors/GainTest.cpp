// Gain, mute and polarity: the twins on the channel page and the gain page follow each other, the texts
// and the model follow the fader, a link group shows the edit on every member, nothing moves the model
// while the view is being filled, and an edit reaches the simulated unit.

#include "tests/editors/EditorFixture.h"

#include <vector>

namespace {

using namespace editortest;
using kv::TPkBmpButton;
namespace off = kv::sim::off;

class GainTest : public EditorFixture {
protected:
    TPkBmpButton& Button(const std::string& name) { return Get<TPkBmpButton>(name); }
};

TEST_F(GainTest, EitherFaderMovesItsTwinTheTextsAndTheModel) {
    struct Case {
        const char* moved;
        const char* twin;
        const char* suffix;
        int channel;
        int position;
        const char* text;
        int index;
    };
    const Case cases[] = {
        {"isGainInA", "isGainBackupInA", "InA", 0, 0, "+0.0dB", 280},
        {"isGainInA", "isGainBackupInA", "InA", 0, -200, "-20.0dB", 80},
        {"isGainInA", "isGainBackupInA", "InA", 0, -201, "-20.5dB", 79},
        {"isGainBackupOut3", "isGainOut3", "Out3", 4, -280, "-60.0dB", 0},
        {"isGainBackupOut3", "isGainOut3", "Out3", 4, 120, "+12.0dB", 400},
        {"isGainOut1", "isGainBackupOut1", "Out1", 2, -1, "-0.1dB", 279},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.moved) + " to " + std::to_string(c.position));
        Fader(c.moved).SetPosition(c.position == 0 ? 1 : 0); // start from somewhere else
        Fader(c.moved).SetPosition(c.position);
        EXPECT_EQ(Fader(c.twin).Position(), c.position);
        EXPECT_EQ(BoxText(std::string("cvdGain") + c.suffix), c.text);
        EXPECT_EQ(BoxText(std::string("cvdGainBackup") + c.suffix), c.text);
        EXPECT_EQ(Model().GetGain(c.channel), c.index);
    }
    // No other channel moved.
    EXPECT_EQ(Model().GetGain(1), 280);
    EXPECT_EQ(Model().GetGain(5), 280);
}

// The pages find their controls once; one freed later is skipped from then on by the edit and the
// refresh alike, never reached.
TEST_F(GainTest, AControlFreedLaterIsSkipped) {
    delete &Get<kv::TRoundEdit>("cvdGainBackupInB");
    Fader("isGainInB").SetPosition(-100);
    EXPECT_EQ(Fader("isGainBackupInB").Position(), 0);
    EXPECT_EQ(Model().GetGain(1), 280);
    main->RefreshAllPanels();
    EXPECT_EQ(Fader("isGainInB").Position(), 0);
}

TEST_F(GainTest, MuteAndPolarityClicksPressTheTwinAndStore) {
    ShowPage("Out1");
    Click(Button("pkbPhaseOut1"));
    EXPECT_TRUE(Button("pkbPhaseOut1").Down());
    EXPECT_TRUE(Button("pkbPhaseBackupOut1").Down());
    EXPECT_EQ(Button("pkbPhaseOut1").Caption(), "Inverse");
    EXPECT_EQ(Button("pkbPhaseBackupOut1").Caption(), "Inverse");
    EXPECT_TRUE(Model().GetPolarity(2));
    Click(Button("pkbPhaseOut1"));
    EXPECT_FALSE(Button("pkbPhaseBackupOut1").Down());
    EXPECT_EQ(Button("pkbPhaseOut1").Caption(), "Normal");
    EXPECT_EQ(Button("pkbPhaseBackupOut1").Caption(), "Normal");
    EXPECT_FALSE(Model().GetPolarity(2));

    ShowPage("Gain");
    Click(Button("pkbMuteBackupInB"));
    EXPECT_TRUE(Button("pkbMuteInB").Down());
    EXPECT_TRUE(Model().IsMuted(1));
    EXPECT_FALSE(Model().IsMuted(0));
    ShowPage("InB");
    Click(Button("pkbMuteInB"));
    EXPECT_FALSE(Button("pkbMuteBackupInB").Down());
    EXPECT_FALSE(Model().IsMuted(1));
}

TEST_F(GainTest, AnEditOnAMemberShowsOnItsWholeGroupAndIsStoredThere) {
    Model().SetLinkMask(0, 0x3);
    Model().SetLinkMask(1, 0);
    Model().SetLinkMask(2, 0x1);
    Model().SetLinkMask(3, 0x6);
    Model().SetLinkMask(4, 0);
    Model().SetLinkMask(5, 0x8);

    Fader("isGainBackupInB").SetPosition(-50);
    for (const char* s : {"InA", "InB"}) {
        EXPECT_EQ(Fader(std::string("isGain") + s).Position(), -50) << s;
        EXPECT_EQ(Fader(std::string("isGainBackup") + s).Position(), -50) << s;
        EXPECT_EQ(BoxText(std::string("cvdGainBackup") + s), "-5.0dB") << s;
    }
    EXPECT_EQ(Model().GetGain(0), 230);
    EXPECT_EQ(Model().GetGain(1), 230);

    // A member's own page shows its leader's; on the gain page every channel has its controls.
    ShowPage("Gain");
    Click(Button("pkbMuteBackupOut3"));
    Click(Button("pkbPhaseBackupOut3"));
    const bool inGroup[] = {false, true, true, false}; // Out1..Out4: Out2 and Out3 are one group
    for (int k = 0; k < 4; ++k) {
        const std::string s = "Out" + std::to_string(k + 1);
        SCOPED_TRACE(s);
        EXPECT_EQ(Button("pkbMute" + s).Down(), inGroup[k]);
        EXPECT_EQ(Button("pkbMuteBackup" + s).Down(), inGroup[k]);
        EXPECT_EQ(Button("pkbPhase" + s).Down(), inGroup[k]);
        EXPECT_EQ(Button("pkbPhase" + s).Caption(), inGroup[k] ? "Inverse" : "Normal");
        EXPECT_EQ(Model().IsMuted(k + 2), inGroup[k]);
        EXPECT_EQ(Model().GetPolarity(k + 2), inGroup[k]);
    }
}

TEST_F(GainTest, AFaderMovedWhileTheViewIsFilledChangesNothingElse) {
    {
        TfmMain::UpdatingViewGuard updating(*main);
        Fader("isGainOut2").SetPosition(-100);
    }
    EXPECT_EQ(Fader("isGainBackupOut2").Position(), 0);
    EXPECT_EQ(BoxText("cvdGainOut2"), "+0.0dB");
    EXPECT_EQ(Model().GetGain(3), 280);
}

TEST_F(GainTest, EditsReachTheUnit) {
    Connect();
    Fader("isGainOut2").SetPosition(-30);
    ShowPage("Gain");
    Click(Button("pkbMuteBackupOut4"));
    ShowPage("InA");
    Click(Button("pkbPhaseInA"));
    Step(50);
    const auto gain = ReceivedOf(sim::code::Gain);
    ASSERT_FALSE(gain.empty());
    EXPECT_EQ(gain.back().payload, (std::vector<uint8_t>{3, 250, 0}));
    const auto mute = ReceivedOf(sim::code::Mute);
    ASSERT_EQ(mute.size(), 1u);
    EXPECT_EQ(mute[0].payload, (std::vector<uint8_t>{5, 1}));
    const auto phase = ReceivedOf(sim::code::Polarity);
    ASSERT_EQ(phase.size(), 1u);
    EXPECT_EQ(phase[0].payload, (std::vector<uint8_t>{0, 1}));
    EXPECT_EQ(unit.Word(off::ChannelRecord(3) + off::OutGain), 250);
    EXPECT_TRUE(ImagesAgree());
}

} // namespace
