// Dragging handles on the channel graphs with mouse events sent to the graph: the grab area and the
// cross cursor, the buttons and graphs that grab nothing, a band dragged within its limits on the
// device grid, a filter dragged with its fader, and the frames the simulated unit receives.

#include "tests/editors/EditorFixture.h"

#include "app/pages/PeqPage.h"
#include "link/Scales.h"

#include <cmath>

namespace {

using namespace editortest;

class DragTest : public EditorFixture {
protected:
    // The pixel row at which the pointer's whole-dB level below the top (L) first reaches `level`.
    static int RowOfLevel(kv::LMyFFTDrawHpLp6dB& g, int level) {
        const kv::TRect& page = g.Page(kv::LMyFFTDrawBase::prPlot).ScreenRect();
        for (int y = page.Top; y < page.Bottom; ++y)
            if (g.YMin() + std::trunc((y - page.Top) * (g.YMax() - g.YMin()) / page.Height()) >= level)
                return y;
        return page.Bottom;
    }
    // The PEQ frame's payload of a band as the model holds it.
    sim::Bytes PeqPayload(int ch, int band) {
        const PeqBand b = Model().GetPeqBand(ch, band);
        return {static_cast<uint8_t>(ch),
                static_cast<uint8_t>(band),
                static_cast<uint8_t>(b.gain),
                static_cast<uint8_t>(b.gain >> 8),
                static_cast<uint8_t>(b.freq),
                static_cast<uint8_t>(b.freq >> 8),
                b.q,
                b.type,
                static_cast<uint8_t>(Model().IsPeqBandBypassed(ch, band) ? 1 : 0)};
    }
    // Drags from one point to another with a move between, releasing at the end.
    void Drag(kv::TControl& c, QPoint from, QPoint to) {
        Press(c, from.x(), from.y());
        Move(c, (from.x() + to.x()) / 2, (from.y() + to.y()) / 2 + 1);
        Move(c, to.x(), to.y());
    }
};

TEST_F(DragTest, GrabAreaAndCrossCursorAreTheSame) {
    ShowPage("Out1");
    auto& g = Graph("Out1");
    const QPoint h = HandlePixel(g, 1); // band 2 at 0 dB
    const kv::TRect& page = g.Page(kv::LMyFFTDrawBase::prPlot).ScreenRect();
    const int x0 = page.Left + g.GetBlockPos(1).X;
    struct Case {
        int dx;
        int level; // L of the pointer; the handle is at 0
        kv::TMouseButton button;
        bool grabs;
    } cases[] = {
        {0, 0, kv::TMouseButton::mbLeft, true},   {4, 1, kv::TMouseButton::mbLeft, true},
        {-4, -1, kv::TMouseButton::mbLeft, true}, {5, 0, kv::TMouseButton::mbLeft, false},
        {-5, 0, kv::TMouseButton::mbLeft, false}, {0, 2, kv::TMouseButton::mbLeft, false},
        {0, 0, kv::TMouseButton::mbRight, false},
    };
    ASSERT_GT(h.x(), page.Left + 10);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.dx) + " " + std::to_string(c.level));
        const int x = x0 + c.dx, y = RowOfLevel(g, c.level);
        Move(g, x, y);
        EXPECT_EQ(g.Cursor(), c.button == kv::TMouseButton::mbLeft && !c.grabs ? kv::crDefault : kv::crCross);
        Press(g, x, y, c.button);
        EXPECT_EQ(main->Peq().DraggedBlock(), c.grabs ? 1 : -1);
        Release(g, x, y, c.button);
        EXPECT_EQ(main->Peq().DraggedBlock(), -1);
    }
    // A grabbed band is the selected band.
    Press(g, x0, RowOfLevel(g, 0));
    EXPECT_EQ(Table("Out1").GetNowIndex(), 1);
    EXPECT_TRUE(Get<kv::TPkBmpButton>("pkbEq2Out1").Down());
    Release(g, x0, RowOfLevel(g, 0));
}

TEST_F(DragTest, NothingIsGrabbedWhereNoHandleWasPlaced) {
    // The gain page's graphs hold no handles; their Tag is InA's channel.
    ShowPage("Gain");
    auto& gain = Graph("GainIn");
    const QPoint corner = GraphPixel(gain, 1, 0.0);
    Move(gain, corner.x(), corner.y());
    EXPECT_EQ(gain.Cursor(), kv::crDefault);
    Press(gain, corner.x(), corner.y());
    EXPECT_EQ(main->Peq().DraggedBlock(), -1);
    Release(gain, corner.x(), corner.y());

    // On an input graph the rows past its eight bands, and the handles above the filters, were never
    // placed: their positions read as the plot's corner.
    ShowPage("InA");
    auto& in = Graph("InA");
    const QPoint left = GraphPixel(in, 1, 0.0);
    ASSERT_GT(in.GetBlockPos(0).X, 10);
    ASSERT_GT(in.GetBlockPos(SECTION_HIGH_PASS).X, 10);
    Move(in, left.x(), left.y());
    EXPECT_EQ(in.Cursor(), kv::crDefault);
    Press(in, left.x(), left.y());
    EXPECT_EQ(main->Peq().DraggedBlock(), -1);
    Release(in, left.x(), left.y());
}

TEST_F(DragTest, BandMovesOnTheGridWithinItsLimits) {
    ShowPage("Out1");
    auto& g = Graph("Out1");
    const kv::TRect& page = g.Page(kv::LMyFFTDrawBase::prPlot).ScreenRect();
    const QPoint h = HandlePixel(g, 4);
    constexpr int kKeepLevel = -10000;
    struct Case {
        QPoint to;
        int gainIndex;      // -1: not checked
        int frequencyIndex; // -1: not checked
    } cases[] = {
        {{h.x(), page.Top - 40}, 240, -1},        // above the top: +12 dB
        {{h.x(), page.Bottom + 40}, 0, -1},       // below the bottom: -12 dB
        {{page.Left - 60, kKeepLevel}, -1, 0},    // left of the grid: 19.7 Hz, at the band's level
        {{page.Right + 60, kKeepLevel}, -1, 300}, // right of it: 20,160 Hz
    };
    QPoint at = h;
    for (Case c : cases) {
        SCOPED_TRACE(std::to_string(c.to.x()) + "," + std::to_string(c.to.y()));
        // Frequency moves keep the band's level, off the filters' handles on the 0 dB line.
        if (c.to.y() == kKeepLevel)
            c.to.setY(at.y());
        Drag(g, at, c.to);
        EXPECT_EQ(main->Peq().DraggedBlock(), 4);
        const PeqBand band = Model().GetPeqBand(2, 4);
        if (c.gainIndex >= 0) {
            EXPECT_EQ(band.gain, c.gainIndex);
        }
        if (c.frequencyIndex >= 0) {
            EXPECT_EQ(band.freq, c.frequencyIndex);
        }
        // The row holds the stored values on the unit's grids; the curve follows at the tick.
        EXPECT_DOUBLE_EQ(Table("Out1").GetGainValue(4), (band.gain - 120) * 0.1);
        EXPECT_NEAR(Table("Out1").GetFreqValue(4), IndexToFreq(band.freq), IndexToFreq(band.freq) * 1e-3);
        Tick();
        EXPECT_NEAR(main->CurvePlot(2)->Section(4).gain, (band.gain - 120) * 0.1, 1e-9);
        EXPECT_EQ(Fader("isEqGainOut1").Position(), band.gain);
        Release(g, c.to.x(), c.to.y());
        at = HandlePixel(g, 4);
    }

    // Between the limits the gain moves in 0.1 dB steps: each row down is the same number of tenths.
    Press(g, at.x(), at.y());
    Move(g, at.x(), RowOfLevel(g, 3));
    const int first = Model().GetPeqBand(2, 4).gain;
    Move(g, at.x(), RowOfLevel(g, 3) + 20);
    const int second = Model().GetPeqBand(2, 4).gain;
    EXPECT_LT(second, first);
    EXPECT_NEAR((first - second) * 0.1, 20 * (g.YMax() - g.YMin()) / page.Height(), 0.15);
    Release(g, at.x(), RowOfLevel(g, 3) + 20);
}

TEST_F(DragTest, CutBandStaysAtItsLevelWhenGrabbedAndMovedSideways) {
    ShowPage("Out1");
    auto& g = Graph("Out1");
    Click(Get<kv::TPkBmpButton>("pkbEq6Out1"));
    for (int i = 0; i < 60; ++i)
        Key(Get<kv::TRoundEdit>("cvdEqFreqOut1"), 40); // -6.0 dB
    Tick();
    ASSERT_EQ(Model().GetPeqBand(2, 5).gain, 60);
    const QPoint h = HandlePixel(g, 5);
    Press(g, h.x(), h.y());
    ASSERT_EQ(main->Peq().DraggedBlock(), 5);
    Move(g, h.x() + 2, h.y());
    EXPECT_NEAR(Model().GetPeqBand(2, 5).gain, 60, 2); // within the pixel's 0.15 dB
    Release(g, h.x() + 2, h.y());
}

TEST_F(DragTest, HighPassHandleDragsItsFaderAndDeselectsTheBand) {
    ShowPage("Out1");
    auto& g = Graph("Out1");
    if (Get<kv::TPkBmpButton>("pkbLowCutBypassOut1").Down())
        Click(Get<kv::TPkBmpButton>("pkbLowCutBypassOut1"));
    Fader("isLowCutFreqOut1").SetPosition(100);
    Tick();
    ASSERT_EQ(Table("Out1").GetNowIndex(), 0);
    const QPoint h = HandlePixel(g, SECTION_HIGH_PASS);
    Press(g, h.x(), h.y());
    ASSERT_EQ(main->Peq().DraggedBlock(), SECTION_HIGH_PASS);
    Move(g, h.x() + 80, h.y() - 30); // filters move in frequency only
    const int index = Fader("isLowCutFreqOut1").Position();
    EXPECT_GT(index, 100);
    EXPECT_EQ(Model().GetFilters(2).hpFreq, index);
    EXPECT_EQ(Model().GetFilters(2).hpSlope, 20);
    EXPECT_EQ(Get<kv::TRoundEdit>("cvdLowCutFreqOut1").Font()->Color(), kv::clGreen);
    EXPECT_FALSE(Get<kv::TPkBmpButton>("pkbEq1Out1").Down());
    Tick();
    EXPECT_NEAR(main->CurvePlot(2)->Section(SECTION_HIGH_PASS).frequency, IndexToFreq(index), 1e-2);
    EXPECT_DOUBLE_EQ(g.Block(SECTION_HIGH_PASS).Y, 0.0);
    Release(g, h.x() + 80, h.y() - 30);
    EXPECT_EQ(Get<kv::TRoundEdit>("cvdLowCutFreqOut1").Font()->Color(), kv::clBlack);
    EXPECT_EQ(main->Peq().DraggedBlock(), -1);
}

// Against the simulated unit: band edits, a filter fader and a drag reach it as the frames the editor
// promises, and afterwards its image equals the model's.
TEST_F(DragTest, EditsReachTheUnit) {
    Connect();
    ShowPage("Out2");
    auto& table = Table("Out2");
    Click(Get<kv::TPkBmpButton>("pkbEq2Out2"));
    auto& freqBox = Get<kv::TRoundEdit>("cvdEqFreqOut2");
    // To Peak, then to Low Shelf: the corrected Q is sent by the nested run, then by the outer one.
    table.TypeList(1)->UserPick(table.TypeList(1)->ItemIndex() == 0 ? 2 : 0);
    table.TypeList(1)->UserPick(0);
    Step(50);
    unit.ClearReceived();
    const int gain = Model().GetPeqBand(3, 1).gain;
    table.TypeList(1)->UserPick(1);
    Step(50);
    auto peq = ReceivedOf(sim::code::Peq);
    ASSERT_EQ(peq.size(), 2u);
    EXPECT_EQ(Model().GetPeqBand(3, 1).q, 10);
    EXPECT_EQ(Model().GetPeqBand(3, 1).type, 1);
    for (const auto& f : peq)
        EXPECT_EQ(f.payload, PeqPayload(3, 1));

    // Five gain steps within one timer period: one frame, with the last value.
    unit.ClearReceived();
    for (int i = 0; i < 5; ++i)
        Key(freqBox, 38);
    Step(50);
    peq = ReceivedOf(sim::code::Peq);
    ASSERT_EQ(peq.size(), 1u);
    EXPECT_EQ(Model().GetPeqBand(3, 1).gain, std::min(gain + 5, 240));
    EXPECT_EQ(peq[0].payload, PeqPayload(3, 1));

    // The high-pass fader: sent at once with the list's slope.
    unit.ClearReceived();
    if (Get<kv::TPkBmpButton>("pkbLowCutBypassOut2").Down())
        Click(Get<kv::TPkBmpButton>("pkbLowCutBypassOut2"));
    Get<kv::TPkComboBox>("pkcLowCutSlopOut2").UserPick(8); // "BL -24"
    Step(50);
    unit.ClearReceived();
    Fader("isLowCutFreqOut2").SetPosition(170);
    Step(50);
    auto hp = ReceivedOf(sim::code::HighPass);
    ASSERT_EQ(hp.size(), 1u);
    EXPECT_EQ(hp[0].payload, (sim::Bytes{3, 170, 0, 9}));
    EXPECT_EQ(BoxText("cvdLowCutFreqOut2"), "1.00KHz");

    // A drag step of band 4 sends the band once.
    unit.ClearReceived();
    auto& g = Graph("Out2");
    const QPoint h = HandlePixel(g, 3);
    const PeqBand before = Model().GetPeqBand(3, 3);
    Press(g, h.x(), h.y());
    ASSERT_EQ(main->Peq().DraggedBlock(), 3);
    Move(g, h.x() + 30, h.y() - 25);
    Step(50);
    peq = ReceivedOf(sim::code::Peq);
    ASSERT_EQ(peq.size(), 1u);
    EXPECT_NE(Model().GetPeqBand(3, 3), before);
    EXPECT_EQ(peq[0].payload, PeqPayload(3, 3));
    Release(g, h.x() + 30, h.y() - 25);
    Step(50);
    EXPECT_TRUE(ImagesAgree());
}

} // namespace
