// The compressor, limiter and gate strips through their real controls: an edit stores one field, is sent
// once and shown on the strips of its link group; the stored threshold codes at the ends of the faders;
// up-down values beyond the range; the updating flag; the page channel chosen by edits, clicks and the
// deferred redraws, with the pages' header labels.

#include "tests/editors/EditorFixture.h"

#include "app/TimerComponent.h"
#include "app/pages/DynamicsPage.h"
#include "platform/gui/StdBars.h"
#include "platform/gui/StdPanels.h"

namespace {

using namespace editortest;
using kv::TUpDown;
namespace off = kv::sim::off;

class DynamicsTest : public EditorFixture {
protected:
    TUpDown& UpDown(const std::string& name) { return Get<TUpDown>(name); }
    std::string Caption(const std::string& name) { return Get<kv::TLabel>(name).Caption(); }
    bool TimerOn(const char* name) { return Get<kv::TTimer>(name).Enabled(); }
    // A move to `position` that the fader reports, also when it stands there already.
    void MoveTo(kv::TStTrackBar& fader, int position) {
        if (fader.Position() == position)
            fader.SetPosition(position == fader.Max() ? position - 1 : position + 1);
        fader.SetPosition(position);
    }
};

TEST_F(DynamicsTest, AttackEditIsStoredSentOnceAndDrawnAtTheTick) {
    Connect();
    ASSERT_EQ(Model().GroupMask(3), 0b0010);
    auto& fader = Fader("isCompAttackOut2");
    if (fader.Position() == 49) {
        fader.SetPosition(48);
        Step(50);
        unit.ClearReceived();
    }
    main->Dynamics().DrawCompCurve(2);
    fader.SetPosition(49);
    EXPECT_EQ(Model().GetComp(3).attack, 49);
    EXPECT_EQ(BoxText("cvdCompAttackOut2"), " 50ms");
    EXPECT_EQ(main->Dynamics().CompPageChannel(), 3);
    EXPECT_EQ(main->Dynamics().CompCurveChannel(), 3);
    // The curve and its labels wait for the timer.
    EXPECT_TRUE(TimerOn("tmCompDisp"));
    EXPECT_NE(Caption("lbHeadCompOut"), "Out 2");
    Step(50);
    EXPECT_FALSE(TimerOn("tmCompDisp"));
    EXPECT_EQ(Caption("lbCompName"), "Out 2  RMS Compressor");
    EXPECT_EQ(Caption("lbHeadCompOut"), "Out 2");

    const auto frames = ReceivedOf(sim::code::Comp);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].payload.at(0), 3);
    EXPECT_EQ(unit.Word(off::ChannelRecord(3) + off::OutComp + 2), 49);
    EXPECT_TRUE(ImagesAgree());
}

TEST_F(DynamicsTest, ThresholdFadersStoreTheirCodesAtBothEnds) {
    const struct {
        const char* fader;
        int position;
        int channel;
        int page; // 0 compressor, 1 limiter, 2 gate
        int code;
        const char* box;
    } cases[] = {
        {"isCompThresholdOut1", -180, 2, 0, 0, "-90.0dB"},
        {"isCompThresholdOut1", 40, 2, 0, 220, "+20.0dB"},
        {"isLimitThresholdOut3", -180, 4, 1, 0, "-90.0dB"},
        {"isLimitThresholdOut3", 40, 4, 1, 220, "+20.0dB"},
        {"isGateThresholdInB", 0, 1, 2, 180, "+0.0dB"},
        {"isGateThresholdInB", -180, 1, 2, 0, "-90.0dB"},
        {"isCompThresholdOut4", -1, 5, 0, 179, "-0.5dB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fader) + " " + std::to_string(c.position));
        MoveTo(Fader(c.fader), c.position);
        const int stored = c.page == 0   ? Model().GetComp(c.channel).threshold
                           : c.page == 1 ? Model().GetLimit(c.channel).threshold
                                         : Model().GetGate(c.channel).threshold;
        EXPECT_EQ(stored, c.code);
        std::string box = c.fader;
        box.replace(0, 2, "cvd");
        EXPECT_EQ(BoxText(box), c.box);
    }
    // The gate's curve and name follow at once; its header label only with a click into the strip.
    EXPECT_EQ(Caption("lbGateName"), "In B  Gate");
    EXPECT_EQ(main->Dynamics().GatePageChannel(), 1);
    EXPECT_NE(Caption("lbHeadGateIn"), "In B");
}

TEST_F(DynamicsTest, UpDownsShowStoreAndIgnoreValuesBeyondTheirRange) {
    auto& ratio = UpDown("udCompRatioOut3");
    ratio.SetPosition(14);
    EXPECT_EQ(Model().GetComp(4).ratio, 14);
    ratio.ArrowClick(kv::TUDBtnType::btNext);
    EXPECT_EQ(BoxText("cvdCompRatioOut3"), "Limit");
    EXPECT_EQ(Model().GetComp(4).ratio, 15);
    ratio.SetPosition(0);
    ratio.ArrowClick(kv::TUDBtnType::btNext);
    EXPECT_EQ(BoxText("cvdCompRatioOut3"), "1:1.1");
    EXPECT_EQ(Model().GetComp(4).ratio, 1);

    // Arrows pressed at the ends offer 16 and -1: neither the model nor the box changes.
    const struct {
        const char* upDown;
        const char* box;
        int end;
        kv::TUDBtnType arrow;
    } ends[] = {
        {"udCompRatioOut3", "cvdCompRatioOut3", 15, kv::TUDBtnType::btNext},
        {"udCompRatioOut3", "cvdCompRatioOut3", 0, kv::TUDBtnType::btPrev},
        {"udCompKneeOut1", "cvdCompKneeOut1", 12, kv::TUDBtnType::btNext},
        {"udLimitKneeOut4", "cvdLimitKneeOut4", 0, kv::TUDBtnType::btPrev},
    };
    for (const auto& e : ends) {
        SCOPED_TRACE(e.upDown);
        auto& ud = UpDown(e.upDown);
        ud.SetPosition(e.end);
        const auto image = Model().Image();
        const std::string text = BoxText(e.box);
        ud.ArrowClick(e.arrow);
        EXPECT_EQ(ud.Position(), e.end);
        EXPECT_EQ(BoxText(e.box), text);
        EXPECT_EQ(Model().Image(), image);
    }
    for (int out = 2; out <= 5; ++out) {
        // Out1's limiter knee (Tag 2) belongs to Out1 only.
        const uint16_t before = Model().GetLimit(out).knee;
        UpDown("udLimitKneeOut1").SetPosition(7);
        EXPECT_EQ(Model().GetLimit(out).knee, out == 2 ? 7 : before) << out;
    }
    EXPECT_EQ(BoxText("cvdLimitKneeOut1"), "7dB");
    EXPECT_EQ(main->Dynamics().LimitPageChannel(), 2);
}

TEST_F(DynamicsTest, UnderTheUpdatingFlagAMoveChangesOnlyTheControl) {
    main->Dynamics().DrawCompCurve(2);
    main->Dynamics().DrawLimitCurve(2);
    main->Dynamics().DrawGateCurve(0);
    const auto image = Model().Image();
    const std::string gateName = Caption("lbGateName");
    const struct {
        const char* control;
        const char* box;
    } controls[] = {
        {"isCompAttackOut3", "cvdCompAttackOut3"}, {"isLimitReleaseOut4", "cvdLimitReleaseOut4"},
        {"isGateHoldInB", "cvdGateHoldInB"},       {"isCompThresholdOut2", "cvdCompThresholdOut2"},
        {"udCompRatioOut2", "cvdCompRatioOut2"},   {"udLimitKneeOut3", "cvdLimitKneeOut3"},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.control);
        const std::string text = BoxText(c.box);
        TfmMain::UpdatingViewGuard updating(*main);
        if (auto* fader = main->Find<kv::TStTrackBar>(c.control)) {
            MoveTo(*fader, fader->Position() == 100 ? 101 : 100);
        } else {
            auto& ud = UpDown(c.control);
            ud.SetPosition(ud.Position() == 5 ? 6 : 5);
        }
        EXPECT_EQ(BoxText(c.box), text);
    }
    EXPECT_EQ(Model().Image(), image);
    EXPECT_EQ(main->Dynamics().CompPageChannel(), 2);
    EXPECT_EQ(main->Dynamics().LimitPageChannel(), 2);
    EXPECT_EQ(main->Dynamics().GatePageChannel(), 0);
    EXPECT_EQ(Caption("lbGateName"), gateName);
    EXPECT_FALSE(TimerOn("tmCompDisp"));
    EXPECT_FALSE(TimerOn("tmLimitDisp"));
}

TEST_F(DynamicsTest, LinkedGroupShowsTheEditOnEveryStripAndSendsOneRecord) {
    unit.SetWord(off::ChannelRecord(2) + off::OutLink, 0b0111); // Out1 holds Out2 and Out3
    unit.SetWord(off::ChannelRecord(3) + off::OutLink, 0);
    unit.SetWord(off::ChannelRecord(4) + off::OutLink, 0);
    unit.SetWord(off::ChannelRecord(0) + off::InLink, 0b11);
    unit.SetWord(off::ChannelRecord(1) + off::InLink, 0);
    Connect();
    const int out4Threshold = Fader("isCompThresholdOut4").Position();
    const CompRecord out4 = Model().GetComp(5);

    MoveTo(Fader("isCompThresholdOut2"), -40);
    UpDown("udCompRatioOut3").SetPosition(UpDown("udCompRatioOut3").Position() == 9 ? 10 : 9);
    const int ratio = UpDown("udCompRatioOut3").Position();
    MoveTo(Fader("isGateHoldInB"), 299);
    MoveTo(Fader("isLimitAttackOut1"), 19);
    Step(50);

    for (const char* s : {"Out1", "Out2", "Out3"}) {
        SCOPED_TRACE(s);
        EXPECT_EQ(Fader(std::string("isCompThreshold") + s).Position(), -40);
        EXPECT_EQ(BoxText(std::string("cvdCompThreshold") + s), "-20.0dB");
        EXPECT_EQ(UpDown(std::string("udCompRatio") + s).Position(), ratio);
        EXPECT_EQ(BoxText(std::string("cvdCompRatio") + s), RatioText(ratio));
        EXPECT_EQ(Fader(std::string("isLimitAttack") + s).Position(), 19);
        EXPECT_EQ(BoxText(std::string("cvdLimitAttack") + s), " 20ms");
    }
    EXPECT_EQ(Fader("isCompThresholdOut4").Position(), out4Threshold);
    for (const char* s : {"InA", "InB"}) {
        EXPECT_EQ(Fader(std::string("isGateHold") + s).Position(), 299) << s;
        EXPECT_EQ(BoxText(std::string("cvdGateHold") + s), "300ms") << s;
    }
    // One record per edit, addressed to the group's master (Out1, InA).
    const auto comp = ReceivedOf(sim::code::Comp);
    ASSERT_EQ(comp.size(), 2u);
    EXPECT_EQ(comp[0].payload.at(0), 2);
    EXPECT_EQ(comp[1].payload.at(0), 2);
    const auto gate = ReceivedOf(sim::code::Gate);
    ASSERT_EQ(gate.size(), 1u);
    EXPECT_EQ(gate[0].payload.at(0), 0);
    EXPECT_EQ(ReceivedOf(sim::code::Limit).size(), 1u);
    for (int ch : {2, 3, 4})
        EXPECT_EQ(Model().GetComp(ch).threshold, 140) << ch;
    EXPECT_EQ(Model().GetComp(5).threshold, out4.threshold);
}

TEST_F(DynamicsTest, ClicksIntoAStripChooseThePageChannelWithoutChangingTheModel) {
    const auto image = Model().Image();
    const struct {
        const char* control;
        int page; // 0 compressor, 1 limiter, 2 gate
        int channel;
        const char* name;
        const char* head;
    } clicks[] = {
        {"lbLimitOut3", 1, 4, "Out 3  Peak Limit", "Out 3"},
        {"isLimitThresholdOut4", 1, 5, "Out 4  Peak Limit", "Out 4"},
        {"cvdLimitKneeOut2", 1, 3, "Out 2  Peak Limit", "Out 2"},
        {"cvdCompRatioOut4", 0, 5, "Out 4  RMS Compressor", "Out 4"},
        {"isCompReleaseOut3", 0, 4, "Out 3  RMS Compressor", "Out 3"},
        {"lbCompOut2", 0, 3, "Out 2  RMS Compressor", "Out 2"},
        {"isGateHoldInB", 2, 1, "In B  Gate", "In B"},
        {"cvdGateThresholdInA", 2, 0, "In A  Gate", "In A"},
        {"lbGateInB", 2, 1, "In B  Gate", "In B"},
    };
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.control);
        auto& control = Get<kv::TControl>(c.control);
        // Any button chooses; the right one leaves a fader's thumb where it is. A box takes the click
        // in its inner edit.
        auto* box = dynamic_cast<kv::TRoundEdit*>(&control);
        Press(box ? *box->Edit() : control, 2, 2, kv::TMouseButton::mbRight);
        const char* labels[][2] = {{"lbCompName", "lbHeadCompOut"},
                                   {"lbLimitName", "lbHeadLimitOut"},
                                   {"lbGateName", "lbHeadGateIn"}};
        const int channels[] = {main->Dynamics().CompPageChannel(), main->Dynamics().LimitPageChannel(),
                                main->Dynamics().GatePageChannel()};
        EXPECT_EQ(channels[c.page], c.channel);
        EXPECT_EQ(Caption(labels[c.page][0]), c.name);
        EXPECT_EQ(Caption(labels[c.page][1]), c.head);
    }
    // The gate boxes that the layout leaves without a handler choose their input too.
    auto& attackB = Get<kv::TRoundEdit>("cvdGateAttackInB");
    main->Dynamics().cvdGateAttackInAMouseDown(&attackB, kv::TMouseButton::mbLeft, {}, 0, 0);
    main->Dynamics().cvdGateReleaseInAMouseDown(&Get<kv::TRoundEdit>("cvdGateReleaseInA"),
                                                kv::TMouseButton::mbLeft, {}, 0, 0);
    EXPECT_EQ(main->Dynamics().GatePageChannel(), 0);
    main->Dynamics().cvdGateAttackInAMouseDown(&attackB, kv::TMouseButton::mbLeft, {}, 0, 0);
    EXPECT_EQ(main->Dynamics().GatePageChannel(), 1);
    EXPECT_EQ(Model().Image(), image);
}

TEST_F(DynamicsTest, DeferredRedrawDrawsTheChannelEditedLastOrNothing) {
    // No edit yet: a tick draws nothing.
    const std::string head = Caption("lbHeadLimitOut");
    main->Dynamics().tmLimitDispTimer(nullptr);
    main->Dynamics().tmCompDispTimer(nullptr);
    EXPECT_EQ(Caption("lbHeadLimitOut"), head);
    EXPECT_EQ(main->Dynamics().LimitCurveChannel(), -1);

    // Not the page shown: the labels and the page channel follow the redraw all the same.
    ShowPage("Gain");
    UpDown("udLimitKneeOut3").SetPosition(UpDown("udLimitKneeOut3").Position() == 3 ? 4 : 3);
    MoveTo(Fader("isLimitThresholdOut4"), -20);
    EXPECT_EQ(main->Dynamics().LimitCurveChannel(), 5);
    main->Dynamics().DrawLimitCurve(3);
    EXPECT_EQ(Caption("lbHeadLimitOut"), "Out 2");
    Tick();
    EXPECT_FALSE(TimerOn("tmLimitDisp"));
    EXPECT_EQ(Caption("lbLimitName"), "Out 4  Peak Limit");
    EXPECT_EQ(Caption("lbHeadLimitOut"), "Out 4");
    EXPECT_EQ(main->Dynamics().LimitPageChannel(), 5);
}

TEST_F(DynamicsTest, StripWithoutItsControlsLeavesThePageAlone) {
    main->Dynamics().DrawCompCurve(2);
    delete &UpDown("udCompRatioOut2");
    main->Dynamics().DrawCompCurve(3);
    main->Dynamics().DrawCompCurve(0); // an input has no compressor strip
    EXPECT_EQ(main->Dynamics().CompPageChannel(), 2);
    EXPECT_EQ(Caption("lbCompName"), "Out 1  RMS Compressor");
    EXPECT_EQ(Caption("lbHeadCompOut"), "Out 1");
}

TEST_F(DynamicsTest, MatrixGateLabelOpensTheGatePageAndKeepsItsInput) {
    main->Dynamics().DrawGateCurve(1);
    ShowPage("Matrix");
    Get<kv::TLabel>("lbMatrixGateInA").Click();
    EXPECT_EQ(main->CurrentPage(), pgGate);
    EXPECT_TRUE(Get<kv::TPkBmpButton>("pkbMenuGate").Down());
    EXPECT_FALSE(Get<kv::TPkBmpButton>("pkbMenuMatrix").Down());
    EXPECT_EQ(main->Dynamics().GatePageChannel(), 1);
    EXPECT_EQ(Caption("lbHeadGateIn"), "In B");
}

} // namespace
