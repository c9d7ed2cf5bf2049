// The refresh, the meters and the graphic EQ against the simulated unit on a pseudo-terminal: the
// read-back shows the unit's settings and sends nothing while it fills the pages; a graphic-EQ band
// edited through its fader reaches the unit, whose image then equals the model's; the bypass toggles
// send one frame each; the level poll asks every 300 ms while online and the bars follow the levels.

#include "tests/editors/EditorFixture.h"
#include "app/link/MainLink.h"

#include "controls/LProgressBar.h"
#include "panels/led/LdDemoButton.h"
#include "styled/RoundControls.h"
#include "styled/StTrackBar.h"

#include <algorithm>

namespace {

using namespace editortest;
namespace off = kv::sim::off;

class OnlineTest : public EditorFixture {
protected:
    static std::vector<uint8_t> Payload(const sim::Command& c) { return c.payload; }
};

TEST_F(OnlineTest, ReadBackShowsTheUnitAndAFaderEditReachesIt) {
    unit.SetWord(off::ChannelRecord(0) + off::InGeq + 2 * 17, 150);
    unit.SetWord(off::ChannelRecord(1) + off::InGeq + 2 * 3, 60);
    unit.SetWord(off::ChannelRecord(2) + off::OutGain, 200);
    Connect();
    EXPECT_TRUE(ImagesAgree());
    EXPECT_EQ(Fader("isGeqCh18InA").Position(), 150);
    EXPECT_EQ(Get<kv::TLabel>("lbGeqGainCh04InB").Caption(), "-6.0");
    EXPECT_EQ(BoxText("cvdGainOut1"), "-8.0dB");

    // A refresh moves every control and sends nothing.
    main->RefreshAllPanels();
    Step(50);
    EXPECT_TRUE(unit.Received().empty()) << int(unit.ReceivedCodes().front());

    // The fader's move is sent and stored by the unit.
    Fader("isGeqCh05InB").SetPosition(200);
    Step(50);
    const auto geq = ReceivedOf(sim::code::Geq);
    ASSERT_EQ(geq.size(), 1u);
    EXPECT_EQ(Payload(geq[0]), (std::vector<uint8_t>{1, 4, 200, 0}));
    EXPECT_TRUE(ImagesAgree());
}

TEST_F(OnlineTest, BypassTogglesOfALinkedPairSendOneFrameEach) {
    unit.SetWord(off::ChannelRecord(0) + off::InLink, 0b11);
    unit.SetWord(off::ChannelRecord(1) + off::InLink, 0);
    unit.SetWord(off::ChannelRecord(2) + off::OutLink, 0b0011);
    unit.SetWord(off::ChannelRecord(3) + off::OutLink, 0);
    Connect();
    auto press = [&](const char* name) {
        Click(Get<kv::TLdDemoButton>(name));
        Step(50);
    };
    press("ldbEqBypassGeqInA");
    press("ldbEqBypassOut2");
    const auto geq = ReceivedOf(sim::code::GeqBypass);
    ASSERT_EQ(geq.size(), 1u);
    EXPECT_EQ(Payload(geq[0]), (std::vector<uint8_t>{0, 1}));
    const auto eq = ReceivedOf(sim::code::EqBypass);
    ASSERT_EQ(eq.size(), 1u);
    EXPECT_EQ(Payload(eq[0]), (std::vector<uint8_t>{3, 1}));
    EXPECT_EQ(main->UnitControl()->GetGeqBypassMask(), 0b11);
    EXPECT_EQ(main->UnitControl()->GetEqBypassMask(3), 0b0011);
    // The unit keeps its bypass words from its own frames.
    EXPECT_EQ(unit.Word(off::GeqBypass) & 1, 1);
    EXPECT_EQ(unit.Word(off::OutputEqBypass) & 2, 2);
}

TEST_F(OnlineTest, LevelPollRunsEvery300MillisecondsWhileOnlineAndTheBarsFollow) {
    // Read back with the poll left running; the store below goes to the current preset, 3.
    unit.SetCurrentPreset(3);
    Attach(Wire::Serial);
    ASSERT_TRUE(RunUntil([&] { return ReadBackDone(); }, 30000));
    sim::Bytes levels;
    for (int k = 0; k < 10; ++k) {
        const auto b = sim::SimUnit::EncodeLevel(k == 0 ? 1.0f : k == 5 ? 2.0f : 0.0f);
        levels.insert(levels.end(), b.begin(), b.end());
    }
    levels.push_back(0);
    levels.push_back(0);
    unit.SetLevels(levels);
    unit.ClearReceived();
    for (int i = 0; i < 300; ++i)
        Step(10);
    const auto polls = ReceivedOf(sim::code::Levels);
    EXPECT_GE(polls.size(), 9u);
    EXPECT_LE(polls.size(), 10u);
    auto bar = [&](const char* name) { return Get<kv::LProgressBar>(name).GetPosition(); };
    EXPECT_EQ(bar("pbLevelInA"), 8);
    EXPECT_EQ(bar("pbLevelOut2"), 8);
    EXPECT_EQ(bar("pbLevelOut1"), 0);

    // A preset store stops the poll; its end starts it again.
    main->StopLevelPoll();
    main->SetTransferState(tsStoreName);
    main->MainLink().OnLinkFrame(sim::BuildFrame(1, 0, MCS_ACK, {}));
    ASSERT_TRUE(RunUntil([&] { return main->MainLink().GetTransferState() == tsIdle; }, 2000));
    unit.ClearReceived();
    for (int i = 0; i < 100; ++i)
        Step(10);
    EXPECT_GE(ReceivedOf(sim::code::Levels).size(), 3u);

    // Offline: no more polls, the bars at 0.
    main->MainLink().CloseLink();
    Step(50);
    unit.ClearReceived();
    for (int i = 0; i < 100; ++i)
        Step(10);
    EXPECT_TRUE(ReceivedOf(sim::code::Levels).empty());
    EXPECT_EQ(bar("pbLevelInA"), 0);
}

} // namespace
