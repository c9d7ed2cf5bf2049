// The mirrors: one value shown on every channel of a link group and on no other channel, without
// sending; the ratio and knee mirrors skip the edited channel, whose own handler wrote its box.

#include "tests/editors/EditorFixture.h"

#include "app/pages/DelayPage.h"
#include "app/pages/LinkingPage.h"
#include "platform/gui/StdBars.h"
#include "platform/gui/StdPanels.h"

#include <functional>
#include <vector>

namespace {

using namespace editortest;
using kv::TPkBmpButton;

class MirrorsTest : public EditorFixture {
protected:
    // Masks InA, InB, Out1..Out4: the inputs linked, Out3 following Out2.
    void LinkSomeChannels() {
        const uint16_t masks[] = {0x3, 0, 0x1, 0x6, 0, 0x8};
        for (int ch = 0; ch < 6; ++ch)
            Model().SetLinkMask(ch, masks[ch]);
    }
    // Everything a mirror may write on one channel, as text.
    std::string State(int ch) {
        const std::string s = TfmMain::ChannelSuffix(ch);
        std::string out;
        auto add = [&](const std::string& v) { out += v + "|"; };
        auto fader = [&](const std::string& n) { add(std::to_string(Fader(n + s).Position())); };
        auto box = [&](const std::string& n) { add(BoxText("cvd" + n + s)); };
        auto updown = [&](const std::string& n) {
            add(std::to_string(Get<kv::TUpDown>("ud" + n + s).Position()));
        };
        auto button = [&](const std::string& n) {
            auto& b = Get<TPkBmpButton>(n + s);
            add(std::to_string(b.Down()) + b.Caption());
        };
        for (const char* n : {"Gain", "GainBackup"}) {
            fader(std::string("is") + n);
            box(n);
        }
        fader("isDelay");
        box("Delay");
        add(std::to_string(Get<kv::TImage>("imDelay" + s).Left()));
        add(Get<kv::TLabel>("lbFftDelayTime" + s).Caption());
        add(Get<kv::TLabel>("lbDelayLine" + s).Caption());
        for (const char* n : {"pkbMute", "pkbMuteBackup", "pkbPhase", "pkbPhaseBackup"})
            button(n);
        const bool input = ch < 2;
        for (const char* n :
             input ? std::vector<const char*>{"GateThreshold", "GateAttack", "GateRelease", "GateHold"}
                   : std::vector<const char*>{"CompThreshold", "CompAttack", "CompRelease", "LimitThreshold",
                                              "LimitAttack", "LimitRelease"}) {
            fader(std::string("is") + n);
            box(n);
        }
        if (!input)
            for (const char* n : {"CompRatio", "CompKnee", "LimitKnee"}) {
                updown(n);
                box(n);
            }
        return out;
    }
};

TEST_F(MirrorsTest, EachMirrorWritesExactlyItsGroup) {
    struct Case {
        const char* name;
        int channel;
        std::function<void(TfmMain&)> mirror;
        std::vector<int> changed;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"gain InB", 1, [](TfmMain& w) { w.Linking().MirrorGainToLinked(1, -70); }, {0, 1}},
        {"gain Out3", 4, [](TfmMain& w) { w.Linking().MirrorGainToLinked(4, 33); }, {3, 4}},
        {"gain Out1 alone", 2, [](TfmMain& w) { w.Linking().MirrorGainToLinked(2, 33); }, {2}},
        {"delay Out3", 4, [](TfmMain& w) { w.Linking().MirrorDelayToLinked(4, 960, 100); }, {3, 4}},
        {"mute Out2", 3, [](TfmMain& w) { w.Linking().MirrorMuteToLinked(3, true); }, {3, 4}},
        {"polarity InA", 0, [](TfmMain& w) { w.Linking().MirrorPhaseToLinked(0, true); }, {0, 1}},
        {"compressor threshold Out3", 4, [](TfmMain& w) { w.Linking().MirrorCompToLinked(4, 0, -40); }, {3, 4}},
        {"compressor attack Out2", 3, [](TfmMain& w) { w.Linking().MirrorCompToLinked(3, 1, 77); }, {3, 4}},
        {"compressor release Out4", 5, [](TfmMain& w) { w.Linking().MirrorCompToLinked(5, 2, 99); }, {5}},
        {"compressor ratio Out3: others only", 4, [](TfmMain& w) { w.Linking().MirrorCompToLinked(4, 3, 15); }, {3}},
        {"compressor knee Out2: others only", 3, [](TfmMain& w) { w.Linking().MirrorCompToLinked(3, 4, 6); }, {4}},
        {"compressor ratio Out1 alone: none", 2, [](TfmMain& w) { w.Linking().MirrorCompToLinked(2, 3, 9); }, {}},
        {"limiter threshold Out2", 3, [](TfmMain& w) { w.Linking().MirrorLimitToLinked(3, 0, 20); }, {3, 4}},
        {"limiter knee Out3: others only", 4, [](TfmMain& w) { w.Linking().MirrorLimitToLinked(4, 3, 12); }, {3}},
        {"gate hold InB", 1, [](TfmMain& w) { w.Linking().MirrorGateToLinked(1, 3, 500); }, {0, 1}},
        {"gate threshold InA", 0, [](TfmMain& w) { w.Linking().MirrorGateToLinked(0, 0, -60); }, {0, 1}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        main->RefreshAllPanels(); // the default image everywhere
        LinkSomeChannels();
        std::vector<std::string> before;
        for (int ch = 0; ch < 6; ++ch)
            before.push_back(State(ch));
        const auto gains = Model().Image();
        c.mirror(*main);
        for (int ch = 0; ch < 6; ++ch) {
            const bool expected = std::find(c.changed.begin(), c.changed.end(), ch) != c.changed.end();
            EXPECT_EQ(State(ch) != before[static_cast<size_t>(ch)], expected) << "channel " << ch;
        }
        // Mirrors show; they never store.
        EXPECT_TRUE(Model().Image() == gains);
        EXPECT_FALSE(main->IsUpdatingView());
    }
}

TEST_F(MirrorsTest, TextsOfTheMirroredValues) {
    LinkSomeChannels();
    main->Linking().MirrorGainToLinked(3, -201);
    EXPECT_EQ(BoxText("cvdGainBackupOut3"), "-20.5dB");
    EXPECT_EQ(Fader("isGainOut3").Position(), -201);
    main->Linking().MirrorDelayToLinked(3, 960, 112);
    EXPECT_EQ(BoxText("cvdDelayOut3"), "10.000 ms");
    EXPECT_EQ(Get<kv::TLabel>("lbFftDelayTimeOut3").Caption(), "10.000 ms");
    EXPECT_EQ(Get<kv::TLabel>("lbDelayLineOut3").Caption(), std::string(12, '-'));
    EXPECT_EQ(Get<kv::TImage>("imDelayOut3").Left(), 112);
    EXPECT_EQ(Get<kv::TLabel>("lbFftDelayTimeOut3").Left(), 112 + Get<kv::TImage>("imDelayOut3").Width());
    main->Linking().MirrorCompToLinked(3, 0, -25);
    EXPECT_EQ(BoxText("cvdCompThresholdOut3"), "-12.5dB");
    main->Linking().MirrorCompToLinked(3, 1, 49);
    EXPECT_EQ(BoxText("cvdCompAttackOut3"), " 50ms");
    main->Linking().MirrorCompToLinked(3, 3, 15);
    EXPECT_EQ(BoxText("cvdCompRatioOut3"), "Limit");
    main->Linking().MirrorCompToLinked(3, 3, 1);
    EXPECT_EQ(BoxText("cvdCompRatioOut3"), "1:1.1");
    main->Linking().MirrorLimitToLinked(4, 3, 6);
    EXPECT_EQ(BoxText("cvdLimitKneeOut2"), "6dB");
    main->Linking().MirrorGateToLinked(0, 1, 49);
    EXPECT_EQ(BoxText("cvdGateAttackInB"), "50ms");
}

TEST(DelayLine, OneDashPerSixPixelsUpTo132) {
    EXPECT_EQ(TDelayPage::DelayLineText(40), "");
    EXPECT_EQ(TDelayPage::DelayLineText(45), "");
    EXPECT_EQ(TDelayPage::DelayLineText(46), "-");
    EXPECT_EQ(TDelayPage::DelayLineText(425).size(), 64u);
    EXPECT_EQ(TDelayPage::DelayLineText(232).size(), 32u);
    EXPECT_EQ(TDelayPage::DelayLineText(40 + 6 * 200).size(), 132u);
    EXPECT_EQ(TDelayPage::DelayLineText(0), "");
}

} // namespace
