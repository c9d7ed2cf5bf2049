// Typed values in the dynamics boxes, confirmed with Enter or by leaving the box: the value reaches the
// strip's fader or up-down, and through its handler the model; a text that is no value, or the value
// already set, changes nothing, puts the current value back and presses End in the box.

#include "tests/editors/EditorFixture.h"

#include "app/pages/DynamicsPage.h"
#include "platform/gui/StdBars.h"

#include <ostream>
#include <vector>

namespace {

using namespace editortest;

constexpr int kRejected = 1000;

struct EntryCase {
    const char* box;
    int start; // the target's position before
    const char* typed;
    int expect;        // the target's position after, or kRejected
    const char* shown; // the box afterwards
};

void PrintTo(const EntryCase& c, std::ostream* os) {
    *os << c.box << " at " << c.start << ", typed \"" << c.typed << "\"";
}

class DynamicsEntryTest : public EditorFixture {
protected:
    kv::TRoundEdit& Box(const std::string& name) { return Get<kv::TRoundEdit>(name); }
    // The box's fader or up-down: "cvdCompKneeOut1" -> "udCompKneeOut1", "cvdGateHoldInB" -> "isGateHoldInB".
    static std::string TargetOf(const std::string& box) {
        const bool stepped = box.find("Knee") != std::string::npos || box.find("Ratio") != std::string::npos;
        return (stepped ? "ud" : "is") + box.substr(3);
    }
    int Position(const std::string& target) {
        if (auto* fader = main->Find<kv::TStTrackBar>(target))
            return fader->Position();
        return Get<kv::TUpDown>(target).Position();
    }
    // Moved as the user moves it, so that the model holds the same value.
    void SetPosition(const std::string& target, int p) {
        if (auto* fader = main->Find<kv::TStTrackBar>(target))
            fader->SetPosition(p);
        else
            Get<kv::TUpDown>(target).SetPosition(p);
        ASSERT_EQ(Position(target), p);
    }
    // The model's field behind a box, as a control position.
    int Stored(const std::string& box) {
        const std::string s = box.substr(box.find_first_of("IO", 4));
        const int ch = TfmMain::ChannelSuffix(0) == s   ? 0
                       : TfmMain::ChannelSuffix(1) == s ? 1
                                                        : s.back() - '0' + 1;
        const LUnitControl& m = Model();
        const std::string word = box.substr(3, box.size() - 3 - s.size());
        if (word == "CompThreshold")
            return m.GetComp(ch).threshold - 180;
        if (word == "CompAttack")
            return m.GetComp(ch).attack;
        if (word == "CompRelease")
            return m.GetComp(ch).release;
        if (word == "CompKnee")
            return m.GetComp(ch).knee;
        if (word == "CompRatio")
            return m.GetComp(ch).ratio;
        if (word == "LimitThreshold")
            return m.GetLimit(ch).threshold - 180;
        if (word == "LimitAttack")
            return m.GetLimit(ch).attack;
        if (word == "LimitRelease")
            return m.GetLimit(ch).release;
        if (word == "LimitKnee")
            return m.GetLimit(ch).knee;
        if (word == "GateThreshold")
            return m.GetGate(ch).threshold - 180;
        if (word == "GateAttack")
            return m.GetGate(ch).attack;
        if (word == "GateRelease")
            return m.GetGate(ch).release;
        if (word == "GateHold")
            return m.GetGate(ch).hold;
        ADD_FAILURE() << "no field for " << box;
        return 0;
    }
    // Records the key-ups the box receives from now on.
    std::vector<std::uint16_t>& WatchKeyUps(kv::TRoundEdit& box) {
        keyUps.clear();
        box.OnKeyUp = [this](kv::TObject*, std::uint16_t& key, kv::TShiftState) { keyUps.push_back(key); };
        return keyUps;
    }

    std::vector<std::uint16_t> keyUps;
};

// The cases: the box, its target's position before, the typed text, the target's position after (or
// kRejected) and the box's text afterwards.
const EntryCase kEntryCases[] = {
    // Levels: a first decimal above 5 keeps one decimal, below 5 the whole part, a 5 the text; the
    // position is twice the value, cut toward zero.
    {"cvdCompThresholdOut1", 0, "-12.34dB", -24, "-12.0dB"},
    {"cvdCompThresholdOut1", 0, "-12.5", -25, "-12.5dB"},
    {"cvdCompThresholdOut1", 0, "-12.7", -25, "-12.5dB"},
    {"cvdCompThresholdOut1", 0, "+07.2", 14, "+7.0dB"},
    {"cvdCompThresholdOut1", 0, "30", 40, "+20.0dB"},
    {"cvdCompThresholdOut1", 0, "-100", -180, "-90.0dB"},
    {"cvdCompThresholdOut1", 0, " -6 DB ", -12, "-6.0dB"},
    {"cvdCompThresholdOut1", 10, ".3", 0, "+0.0dB"},
    {"cvdLimitThresholdOut3", 0, "-3.5db", -7, "-3.5dB"},
    {"cvdGateThresholdInA", -20, "10", 0, "+0.0dB"},
    {"cvdGateThresholdInB", 0, "-45", -90, "-45.0dB"},
    {"cvdCompThresholdOut1", 40, "20", kRejected, "+20.0dB"}, // the value already set
    {"cvdCompThresholdOut1", 4, "12.", kRejected, "+2.0dB"},
    {"cvdCompThresholdOut1", 4, "1.2.3", kRejected, "+2.0dB"},
    {"cvdCompThresholdOut1", 4, "--5", kRejected, "+2.0dB"},
    {"cvdCompThresholdOut1", 4, "abc", kRejected, "+2.0dB"},
    {"cvdCompThresholdOut1", 4, "", kRejected, "+2.0dB"},
    {"cvdCompThresholdOut1", 4, "-", kRejected, "+2.0dB"},
    {"cvdCompThresholdOut1", 4, ".", kRejected, "+2.0dB"},
    {"cvdCompThresholdOut1", 4, "+", kRejected, "+2.0dB"},
    {"cvdCompThresholdOut1", 4, "1-2", kRejected, "+2.0dB"},
    {"cvdCompThresholdOut1", 4, "-+1", kRejected, "+2.0dB"},
    {"cvdCompThresholdOut1", 4, "1.-7", kRejected, "+2.0dB"},
    {"cvdCompThresholdOut1", 4, "1.7-", kRejected, "+2.0dB"},
    // Times: whole milliseconds within the fader's range plus one.
    {"cvdCompAttackOut1", 100, "0", 0, "1ms"},
    {"cvdCompAttackOut1", 100, "1000", 998, "999ms"},
    {"cvdCompAttackOut1", 100, " 50ms", 49, "50ms"}, // the box's own padded text, edited
    {"cvdCompAttackOut1", 100, "99999999999999999999999", 998, "999ms"},
    {"cvdCompReleaseOut1", 100, "5", 9, "10ms"},
    {"cvdCompReleaseOut1", 100, "5000", 2999, "3000ms"},
    {"cvdLimitAttackOut2", 0, "20MS", 19, "20ms"},
    {"cvdLimitReleaseOut4", 100, "250", 249, "250ms"},
    {"cvdGateAttackInA", 0, "7", 6, "7ms"},
    {"cvdGateReleaseInB", 100, "300", 299, "300ms"},
    {"cvdGateHoldInB", 100, "2000", 998, "999ms"},
    {"cvdCompAttackOut1", 100, "101", kRejected, "101ms"},
    {"cvdCompAttackOut1", 100, "10.5", kRejected, "101ms"},
    {"cvdCompAttackOut1", 100, ".", kRejected, "101ms"},
    {"cvdCompAttackOut1", 100, "-5", kRejected, "101ms"},
    // Knees: whole decibels 0..12.
    {"cvdCompKneeOut1", 12, "6", 6, "6dB"},
    {"cvdCompKneeOut1", 12, "-3", 0, "0dB"},
    {"cvdLimitKneeOut3", 0, "4dB", 4, "4dB"},
    {"cvdLimitKneeOut3", 0, "6.5", 6, "6dB"},
    {"cvdCompKneeOut1", 12, "12.6", kRejected, "12dB"},
    {"cvdCompKneeOut1", 12, "+", kRejected, "12dB"},
    // Ratios: the first ratio at or above the number; "1:" may lead it.
    {"cvdCompRatioOut1", 0, "1:4", 9, "1:4.0"},
    {"cvdCompRatioOut1", 0, "4", 9, "1:4.0"},
    {"cvdCompRatioOut1", 0, "7", 12, "1:8.0"},
    {"cvdCompRatioOut1", 0, "1:20", 14, "1:20"},
    {"cvdCompRatioOut1", 0, "20.05", 15, "Limit"},
    {"cvdCompRatioOut1", 0, "1:25", 15, "Limit"},
    {"cvdCompRatioOut2", 15, "1", 0, "1:1.0"},
    {"cvdCompRatioOut1", 9, "1:4.0", 9, "1:4.0"}, // no unchanged test: rewritten, no End
    {"cvdCompRatioOut1", 3, "2:1", kRejected, "1:1.5"},
    {"cvdCompRatioOut1", 3, "1:", kRejected, "1:1.5"},
    {"cvdCompRatioOut1", 3, "4.", kRejected, "1:1.5"},
    {"cvdCompRatioOut1", 3, "1:4dB", kRejected, "1:1.5"},
    {"cvdCompRatioOut1", 3, "11:4", kRejected, "1:1.5"},
};

// One window for the whole table: every case sets its target's start position first.
TEST_F(DynamicsEntryTest, TypedTextSetsTheTargetOrIsRejected) {
    for (const EntryCase& c : kEntryCases) {
        SCOPED_TRACE(::testing::PrintToString(c));
        const std::string target = TargetOf(c.box);
        SetPosition(target, c.start);
        const auto image = Model().Image();
        auto& box = Box(c.box);
        WatchKeyUps(box);
        box.SetText(c.typed);
        Key(box, kv::VK_RETURN);

        EXPECT_EQ(box.GetText(), c.shown);
        if (c.expect == kRejected) {
            EXPECT_EQ(Position(target), c.start);
            EXPECT_EQ(Model().Image(), image);
            EXPECT_EQ(keyUps, std::vector<std::uint16_t>{kv::VK_END});
        } else {
            EXPECT_EQ(Position(target), c.expect);
            EXPECT_EQ(Stored(c.box), c.expect);
            EXPECT_TRUE(keyUps.empty());
        }
    }
}

TEST_F(DynamicsEntryTest, LeavingTheBoxConfirmsAndOtherKeysDoNot) {
    auto& fader = Fader("isCompThresholdOut2");
    fader.SetPosition(40);
    auto& box = Box("cvdCompThresholdOut2");
    ASSERT_EQ(box.GetText(), "+20.0dB");
    int changes = 0;
    auto handler = fader.OnChange;
    fader.OnChange = [&changes, handler](kv::TObject* s) {
        ++changes;
        handler(s);
    };
    const auto& ups = WatchKeyUps(box);

    // Left with its own text: unchanged, rewritten, End pressed.
    box.OnExit(&box);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(box.GetText(), "+20.0dB");
    EXPECT_EQ(ups, std::vector<std::uint16_t>{kv::VK_END});

    // Typing: only Enter or leaving the box applies.
    box.SetText("-3");
    Key(box, 'A');
    Key(box, kv::VK_TAB);
    EXPECT_EQ(box.GetText(), "-3");
    EXPECT_EQ(fader.Position(), 40);
    box.OnExit(&box);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(fader.Position(), -6);
    EXPECT_EQ(Model().GetComp(3).threshold, 174);
    EXPECT_EQ(box.GetText(), "-3.0dB");
    EXPECT_EQ(main->Dynamics().CompPageChannel(), 3);
}

} // namespace
