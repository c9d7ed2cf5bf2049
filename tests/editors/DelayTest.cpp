// The delay page through its controls: delay texts in the three units, typed delays and the texts they
// refuse, the indicator on its line and its drag, a linked group showing one delay, and what reaches
// the unit.

#include "tests/editors/EditorFixture.h"

#include "app/pages/DelayPage.h"
#include "link/Scales.h"
#include "platform/gui/StdPanels.h"

#include <QWidget>

#include <memory>

namespace {

using namespace editortest;
namespace off = kv::sim::off;

class DelayTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        ShowPage("Delay");
    }

    kv::TLabel& Label(const std::string& name) { return Get<kv::TLabel>(name); }
    kv::TImage& Indicator(const std::string& suffix) { return Get<kv::TImage>("imDelay" + suffix); }
    void ChooseUnit(int u) { Click(Get<kv::TPkBmpButton>("pkbUnit" + std::to_string(u))); }
    static std::string Dashes(size_t n) { return std::string(n, '-'); }
    static std::vector<uint8_t> Payload(const sim::Command& c) { return c.payload; }
};

TEST_F(DelayTest, DelaysShowInTheChosenUnitOnBoxAndTimeLabel) {
    struct Case {
        int samples;
        const char* text[3]; // ms, m, ft
    } cases[] = {
        {960, {"10.000 ms", "3.435 m", "11.270 ft"}},
        {65280, {"680.000 ms", "233.580 m", "766.329 ft"}},
        {0, {"0.000 ms", "0.000 m", "0.000 ft"}},
    };
    for (int u : {0, 1, 2}) {
        ChooseUnit(u);
        EXPECT_EQ(Model().GetDelayUnit(), u);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(u) + " " + std::to_string(c.samples));
            Fader("isDelayOut2").SetPosition(c.samples);
            EXPECT_EQ(BoxText("cvdDelayOut2"), c.text[u]);
            EXPECT_EQ(Label("lbFftDelayTimeOut2").Caption(), c.text[u]);
            EXPECT_EQ(Model().GetDelay(3), c.samples);
        }
    }

    // Choosing a unit rewrites every channel's box and time label.
    Fader("isDelayInA").SetPosition(960);
    Fader("isDelayOut4").SetPosition(65280);
    ChooseUnit(2);
    const char* suffixes[] = {"InA", "InB", "Out1", "Out2", "Out3", "Out4"};
    const char* expected[] = {"11.270 ft", "0.000 ft", "0.000 ft", "0.000 ft", "0.000 ft", "766.329 ft"};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(BoxText(std::string("cvdDelay") + suffixes[c]), expected[c]) << suffixes[c];
        EXPECT_EQ(Label(std::string("lbFftDelayTime") + suffixes[c]).Caption(), expected[c]) << suffixes[c];
    }
}

TEST_F(DelayTest, TypedDelaysConvertFromTheUnitAndRefusedTextsBringTheDelayBack) {
    auto& box = Get<kv::TRoundEdit>("cvdDelayInB");
    auto& fader = Fader("isDelayInB");
    auto endKeys = std::make_shared<int>(0);
    auto handler = box.OnKeyDown;
    box.OnKeyDown = [endKeys, handler](kv::TObject* s, std::uint16_t& key, kv::TShiftState shift) {
        if (key == kv::VK_END)
            ++*endKeys;
        handler(s, key, shift);
    };
    constexpr int kStart = 4800;
    struct Case {
        int unit;
        const char* text;
        int samples; // -1: refused
        const char* shown;
    } cases[] = {
        {1, "1", 279, "0.998 m"},       {1, "1m", 279, "0.998 m"},   {1, "2ms", -1, nullptr},
        {2, "1", 85, "0.998 ft"},       {2, "1FT", 85, "0.998 ft"},  {0, "10ms", 960, "10.000 ms"},
        {0, "10MS", 960, "10.000 ms"},  {0, "10", 960, "10.000 ms"}, {0, "700", 65280, "680.000 ms"},
        {0, "0.01", 0, "0.000 ms"},     {0, "-5", -1, nullptr},      {0, "5 ms", -1, nullptr},
        {0, "", -1, nullptr},           {0, ".", -1, nullptr},       {0, "1.2.3", -1, nullptr},
        {0, "50", kStart, "50.000 ms"}, // the delay already set
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.unit) + " \"" + c.text + "\"");
        ChooseUnit(c.unit);
        fader.SetPosition(kStart);
        const int endBefore = *endKeys;
        box.SetText(c.text);
        Key(box, kv::VK_RETURN);
        const int want = c.samples < 0 ? kStart : c.samples;
        EXPECT_EQ(fader.Position(), want);
        EXPECT_EQ(Model().GetDelay(1), want);
        EXPECT_EQ(box.GetText(), c.samples < 0 ? DelayText(kStart, c.unit) : c.shown);
        EXPECT_EQ(*endKeys - endBefore, c.samples < 0 ? 1 : 0);
    }
    // Leaving the box applies it too.
    box.SetText("20");
    box.OnExit(&box);
    EXPECT_EQ(fader.Position(), 1920);

    // A unit word the editor does not know shows delays in ms, and typed values follow the texts.
    {
        TfmMain::UpdatingViewGuard quiet(*main);
        Model().SetDelayUnit(5);
    }
    box.SetText("10");
    Key(box, kv::VK_RETURN);
    EXPECT_EQ(fader.Position(), 960);
    EXPECT_EQ(box.GetText(), "10.000 ms");
}

TEST_F(DelayTest, IndicatorSitsAtItsShareOfTheLineAndFollowsADrag) {
    auto& line = Label("lbDelayLineOut1");
    auto& indicator = Indicator("Out1");
    auto& time = Label("lbFftDelayTimeOut1");
    auto& fader = Fader("isDelayOut1");
    ASSERT_EQ(line.Width(), 475);
    struct Case {
        int samples, left;
        size_t dashes;
    } cases[] = {{65280, 425, 64}, {32640, 232, 32}, {0, 40, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.samples);
        fader.SetPosition(c.samples);
        EXPECT_EQ(indicator.Left(), c.left);
        EXPECT_EQ(line.Caption(), Dashes(c.dashes));
        EXPECT_EQ(time.Left(), c.left + indicator.Width());
        EXPECT_EQ(time.Top(), indicator.Top() + indicator.Height() / 4);
    }

    const int w = line.Width(), mid = line.Height() / 2;
    // The hand shows over the grab zone, 25 pixels left of the indicator's left in the line's pixels.
    Move(line, 15, mid);
    EXPECT_EQ(line.Cursor(), kv::crHandPoint);
    Move(line, 200, mid);
    EXPECT_EQ(line.Cursor(), kv::crDefault);
    // A press beside the indicator starts no drag.
    Press(line, 200, mid);
    Move(line, 300, mid);
    EXPECT_EQ(fader.Position(), 0);
    Release(line, 300, mid);

    Press(line, 15, mid);
    EXPECT_TRUE(main->Delay().DelayDragging());
    Move(line, w - 50, mid);
    EXPECT_EQ(fader.Position(), 65280);
    EXPECT_EQ(indicator.Left(), 425);
    EXPECT_EQ(line.Caption(), Dashes(64));
    EXPECT_EQ(Model().GetDelay(2), 65280);
    Move(line, 100, mid);
    EXPECT_EQ(fader.Position(), 85 * 65280 / 385);
    EXPECT_EQ(line.Caption(), Dashes(14));
    Move(line, 5, mid);
    EXPECT_EQ(fader.Position(), 0);
    EXPECT_EQ(line.Caption(), "");
    Release(line, 5, mid);
    EXPECT_FALSE(main->Delay().DelayDragging());
    Move(line, 300, mid);
    EXPECT_EQ(fader.Position(), 0);

    // The grab zone lies on the indicator image; a real press there reaches the line beneath it.
    QWidget* panel = line.Widget()->parentWidget();
    const QPoint grab = line.Widget()->mapTo(panel, QPoint(indicator.Left() - line.Left() + 5, mid));
    ASSERT_TRUE(indicator.Widget()->geometry().contains(grab));
    EXPECT_EQ(panel->childAt(grab), line.Widget());
}

TEST_F(DelayTest, ALinkedChannelsDelayShowsOnItsWholeGroup) {
    {
        TfmMain::UpdatingViewGuard quiet(*main);
        Model().SetLinkMask(2, 0b0101); // Out1 with Out3
        Model().SetLinkMask(4, 0);
    }
    Fader("isDelayOut3").SetPosition(9600);
    const int left = 9600 * 385 / 65280 + 40;
    for (const char* s : {"Out1", "Out3"}) {
        SCOPED_TRACE(s);
        EXPECT_EQ(Fader(std::string("isDelay") + s).Position(), 9600);
        EXPECT_EQ(BoxText(std::string("cvdDelay") + s), "100.000 ms");
        EXPECT_EQ(Label(std::string("lbFftDelayTime") + s).Caption(), "100.000 ms");
        EXPECT_EQ(Indicator(s).Left(), left);
        EXPECT_EQ(Label(std::string("lbDelayLine") + s).Caption(), Dashes((left - 40) / 6));
    }
    EXPECT_EQ(Model().GetDelay(2), 9600);
    EXPECT_EQ(Model().GetDelay(4), 9600);
    EXPECT_EQ(Model().GetDelay(3), 0);
    EXPECT_EQ(Fader("isDelayOut2").Position(), 0);
    EXPECT_EQ(Indicator("Out2").Left(), 40);
}

TEST_F(DelayTest, DelaysAndTheUnitReachTheUnitOnlyWhenTheyChange) {
    Connect();
    auto sent = [&](uint8_t code) {
        Step(50);
        auto frames = ReceivedOf(code);
        unit.ClearReceived();
        return frames;
    };
    Fader("isDelayInA").SetPosition(960);
    auto delays = sent(sim::code::Delay);
    ASSERT_EQ(delays.size(), 1u);
    EXPECT_EQ(Payload(delays[0]), (std::vector<uint8_t>{0, 0xC0, 0x03}));

    auto& box = Get<kv::TRoundEdit>("cvdDelayInA");
    for (const char* text : {"10", "1.2.3", "-5"}) {
        box.SetText(text);
        Key(box, kv::VK_RETURN);
    }
    EXPECT_TRUE(sent(sim::code::Delay).empty());

    // The unit is sent once per choice, also for the button already down.
    ChooseUnit(2);
    auto units = sent(sim::code::DelayUnit);
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(Payload(units[0]), (std::vector<uint8_t>{2}));
    ChooseUnit(2);
    EXPECT_EQ(sent(sim::code::DelayUnit).size(), 1u);
    EXPECT_EQ(BoxText("cvdDelayInA"), "11.270 ft");

    // A drag sends as it goes; the unit ends with the last position.
    auto& line = Label("lbDelayLineInA");
    const int mid = line.Height() / 2;
    Press(line, Indicator("InA").Left() - 25, mid);
    for (int x : {100, 200, 150})
        Move(line, x, mid);
    Release(line, 150, mid);
    EXPECT_FALSE(sent(sim::code::Delay).empty());
    EXPECT_EQ(unit.Word(off::ChannelRecord(0) + off::InDelay), 135 * 65280 / 385);
    EXPECT_TRUE(ImagesAgree());
}

} // namespace
