// An edit through a linked member's control is an edit of its group: every control a member still
// shows, moved by real key and mouse events, changes the whole group in the model, reaches the unit as
// one record addressed to the group's master (so that a unit applying a record through the addressed
// channel's own mask changes the group too), and shows on the master's controls.

#include "tests/editors/EditorFixture.h"

#include "platform/gui/StdBars.h"

#include <QTest>

#include <functional>
#include <vector>

namespace {

using namespace editortest;
namespace code = kv::sim::code;

class LinkedMemberTest : public EditorFixture {
protected:
    static constexpr int kInA = 0, kInB = 1, kOut1 = 2, kOut2 = 3, kOut3 = 4, kOut4 = 5;

    // InB a member of InA; Out3 and Out4 members of Out2; Out1 alone. The unit applies records through
    // the addressed channel's own mask only.
    void SetUp() override {
        EditorFixture::SetUp();
        Connect();
        for (auto [channel, mask] :
             {std::pair{kInA, 0x3}, {kInB, 0}, {kOut1, 0x1}, {kOut2, 0xE}, {kOut3, 0}, {kOut4, 0}})
            Model().SetLinkMask(channel, static_cast<uint16_t>(mask));
        Step(50);
        ASSERT_TRUE(ImagesAgree());
        unit.SetAddressedMaskOnly(true);
        unit.ClearReceived();
    }
};

enum class MemberInput { PageUp, PageDown, ClickUpperHalf, Click };

struct MemberCase {
    const char* page;    // the page button that shows the control
    const char* control; // the member's control (or the one its page shows)
    const char* mirror;  // the same control of the group's master, which must show the same
    const char* box;     // the value box of each, by the same stem ("" for none)
    MemberInput input;
    std::uint8_t code; // the record sent
    int master, member;
    std::function<std::vector<int>(LUnitControl&, int)> value; // the field in the model
};

std::vector<int> OneValue(int v) {
    return {v};
}

TEST_F(LinkedMemberTest, EveryControlAMemberShowsEditsItsWholeGroup) {
    using M = LUnitControl;
    const MemberCase cases[] = {
        {"Gain", "isGainBackupInB", "isGainBackupInA", "cvdGainBackup", MemberInput::PageUp, code::Gain, kInA,
         kInB, [](M& m, int c) { return OneValue(m.GetGain(c)); }},
        {"Gain", "isGainBackupOut4", "isGainBackupOut2", "cvdGainBackup", MemberInput::PageDown, code::Gain,
         kOut2, kOut4, [](M& m, int c) { return OneValue(m.GetGain(c)); }},
        {"Gain", "pkbMuteBackupInB", "pkbMuteBackupInA", "", MemberInput::Click, code::Mute, kInA, kInB,
         [](M& m, int c) { return OneValue(m.IsMuted(c)); }},
        {"Gain", "pkbPhaseBackupOut3", "pkbPhaseBackupOut2", "", MemberInput::Click, code::Polarity, kOut2,
         kOut3, [](M& m, int c) { return OneValue(m.GetPolarity(c)); }},
        {"Gain", "pkbMuteBackupOut4", "pkbMuteBackupOut2", "", MemberInput::Click, code::Mute, kOut2, kOut4,
         [](M& m, int c) { return OneValue(m.IsMuted(c)); }},
        {"Delay", "isDelayInB", "isDelayInA", "cvdDelay", MemberInput::PageUp, code::Delay, kInA, kInB,
         [](M& m, int c) { return OneValue(m.GetDelay(c)); }},
        {"Delay", "isDelayOut3", "isDelayOut2", "cvdDelay", MemberInput::PageUp, code::Delay, kOut2, kOut3,
         [](M& m, int c) { return OneValue(m.GetDelay(c)); }},
        {"Comp", "isCompThresholdOut3", "isCompThresholdOut2", "cvdCompThreshold", MemberInput::PageDown,
         code::Comp, kOut2, kOut3, [](M& m, int c) { return OneValue(m.GetComp(c).threshold); }},
        {"Comp", "isCompAttackOut4", "isCompAttackOut2", "cvdCompAttack", MemberInput::PageUp, code::Comp,
         kOut2, kOut4, [](M& m, int c) { return OneValue(m.GetComp(c).attack); }},
        {"Comp", "isCompReleaseOut3", "isCompReleaseOut2", "cvdCompRelease", MemberInput::PageDown,
         code::Comp, kOut2, kOut3, [](M& m, int c) { return OneValue(m.GetComp(c).release); }},
        {"Comp", "udCompRatioOut4", "udCompRatioOut2", "cvdCompRatio", MemberInput::ClickUpperHalf,
         code::Comp, kOut2, kOut4, [](M& m, int c) { return OneValue(m.GetComp(c).ratio); }},
        {"Comp", "udCompKneeOut3", "udCompKneeOut2", "cvdCompKnee", MemberInput::ClickUpperHalf, code::Comp,
         kOut2, kOut3, [](M& m, int c) { return OneValue(m.GetComp(c).knee); }},
        {"Limit", "isLimitThresholdOut4", "isLimitThresholdOut2", "cvdLimitThreshold", MemberInput::PageDown,
         code::Limit, kOut2, kOut4, [](M& m, int c) { return OneValue(m.GetLimit(c).threshold); }},
        {"Limit", "isLimitAttackOut3", "isLimitAttackOut2", "cvdLimitAttack", MemberInput::PageUp,
         code::Limit, kOut2, kOut3, [](M& m, int c) { return OneValue(m.GetLimit(c).attack); }},
        {"Limit", "isLimitReleaseOut4", "isLimitReleaseOut2", "cvdLimitRelease", MemberInput::PageDown,
         code::Limit, kOut2, kOut4, [](M& m, int c) { return OneValue(m.GetLimit(c).release); }},
        {"Limit", "udLimitKneeOut3", "udLimitKneeOut2", "cvdLimitKnee", MemberInput::ClickUpperHalf,
         code::Limit, kOut2, kOut3, [](M& m, int c) { return OneValue(m.GetLimit(c).knee); }},
        {"Gate", "isGateThresholdInB", "isGateThresholdInA", "cvdGateThreshold", MemberInput::PageUp,
         code::Gate, kInA, kInB, [](M& m, int c) { return OneValue(m.GetGate(c).threshold); }},
        {"Gate", "isGateAttackInB", "isGateAttackInA", "cvdGateAttack", MemberInput::PageUp, code::Gate, kInA,
         kInB, [](M& m, int c) { return OneValue(m.GetGate(c).attack); }},
        {"Gate", "isGateReleaseInB", "isGateReleaseInA", "cvdGateRelease", MemberInput::PageDown, code::Gate,
         kInA, kInB, [](M& m, int c) { return OneValue(m.GetGate(c).release); }},
        {"Gate", "isGateHoldInB", "isGateHoldInA", "cvdGateHold", MemberInput::PageDown, code::Gate, kInA,
         kInB, [](M& m, int c) { return OneValue(m.GetGate(c).hold); }},
        // A member's own page and its graphic EQ show its master's controls.
        {"Out4", "isHighCutFreqOut2", "isHighCutFreqOut2", "", MemberInput::PageDown, code::LowPass, kOut2,
         kOut4,
         [](M& m, int c) {
             return std::vector<int>{m.GetFilters(c).lpFreq, m.GetFilters(c).lpSlope};
         }},
        {"InB", "isLowCutFreqInA", "isLowCutFreqInA", "", MemberInput::PageUp, code::HighPass, kInA, kInB,
         [](M& m, int c) {
             return std::vector<int>{m.GetFilters(c).hpFreq, m.GetFilters(c).hpSlope};
         }},
        {"Geq", "isGeqCh05InA", "isGeqCh05InA", "", MemberInput::PageUp, code::Geq, kInA, kInB,
         [](M& m, int c) { return OneValue(m.GetGeqBand(c, 4)); }},
    };
    for (const MemberCase& c : cases) {
        SCOPED_TRACE(c.control);
        ShowPage(c.page);
        if (std::string(c.page) == "Geq")
            QTest::mouseClick(Get<kv::TPkBmpButton>("pkbGeqSelInB").Widget(), Qt::LeftButton);
        const std::vector<int> before = c.value(Model(), c.member);
        const std::vector<int> alone = c.value(Model(), kOut1);
        auto& control = Get<kv::TControl>(c.control);
        QWidget* w = control.Widget();
        switch (c.input) {
        case MemberInput::PageUp:
            QTest::keyClick(w, Qt::Key_PageUp);
            break;
        case MemberInput::PageDown:
            QTest::keyClick(w, Qt::Key_PageDown);
            break;
        case MemberInput::ClickUpperHalf:
            QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(control.Width() / 2, 2));
            break;
        case MemberInput::Click:
            QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(control.Width() / 2, control.Height() / 2));
            break;
        }
        Step(50);

        // The model: the whole group changed.
        const std::vector<int> after = c.value(Model(), c.member);
        EXPECT_NE(after, before) << "the edit took";
        for (int ch = c.master; ch <= c.member; ++ch) {
            if (Model().GroupMask(ch) == Model().GroupMask(c.member)) {
                EXPECT_EQ(c.value(Model(), ch), after) << "channel " << ch;
            }
        }
        EXPECT_EQ(c.value(Model(), kOut1), alone) << "a channel alone keeps its own";
        // The frames: one kind of record, addressed to the master.
        const auto received = unit.Received();
        ASSERT_FALSE(received.empty());
        for (const auto& r : received) {
            EXPECT_EQ(r.code, c.code);
            EXPECT_EQ(r.payload.at(0), c.master);
        }
        unit.ClearReceived();
        // The unit: equal to the model.
        EXPECT_TRUE(ImagesAgree());
        // The screen: the master's controls show the same.
        if (auto* fader = dynamic_cast<kv::TStTrackBar*>(&control)) {
            EXPECT_EQ(Fader(c.mirror).Position(), fader->Position());
        } else if (auto* upDown = dynamic_cast<kv::TUpDown*>(&control)) {
            EXPECT_EQ(Get<kv::TUpDown>(c.mirror).Position(), upDown->Position());
        } else if (auto* button = dynamic_cast<kv::TPkBmpButton*>(&control)) {
            EXPECT_EQ(Get<kv::TPkBmpButton>(c.mirror).Down(), button->Down());
        }
        if (*c.box) {
            const std::string suffix = TfmMain::ChannelSuffix(c.member);
            EXPECT_EQ(BoxText(c.box + suffix), BoxText(c.box + TfmMain::ChannelSuffix(c.master)));
        }
    }
}

} // namespace
