// The matrix page through its controls: typed mix levels and the texts they refuse, what reaches the
// unit from the route buttons and the up-downs (and what never does), and the routing lines as the
// diagram paints them, at the design height and in a taller window.

#include "tests/editors/EditorFixture.h"

#include "panels/PkPanel.h"
#include "platform/gui/StdBars.h"
#include "platform/gui/StdPanels.h"

#include <QColor>
#include <QCoreApplication>
#include <QImage>

#include <array>
#include <memory>

namespace {

using namespace editortest;
namespace off = kv::sim::off;

class MatrixTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        ShowPage("Matrix");
    }

    kv::TUpDown& UpDown(const std::string& name) { return Get<kv::TUpDown>(name); }
    kv::TRoundEdit& Box(const std::string& name) { return Get<kv::TRoundEdit>(name); }

    // Counts the End key presses that reach a box, still running the window's handler.
    std::shared_ptr<int> CountEndKeys(kv::TRoundEdit& box) {
        auto count = std::make_shared<int>(0);
        auto handler = box.OnKeyDown;
        box.OnKeyDown = [count, handler](kv::TObject* s, std::uint16_t& key, kv::TShiftState shift) {
            if (key == kv::VK_END)
                ++*count;
            if (handler)
                handler(s, key, shift);
        };
        return count;
    }
    // Types a text into a box and presses Enter.
    void Type(kv::TRoundEdit& box, const std::string& text) {
        box.SetText(text);
        Key(box, kv::VK_RETURN);
    }
    static std::vector<uint8_t> Payload(const sim::Command& c) { return c.payload; }
};

TEST_F(MatrixTest, TypedLevelsTakeTheirGridAndClampWhileOtherTextsBringTheShownLevelBack) {
    auto& box = Box("cvdBMatrixOut3");
    auto& upDown = UpDown("udMixGainBOut3");
    auto endKeys = CountEndKeys(box);
    struct Case {
        const char* text;
        int position; // of the up-down afterwards
        const char* shown;
    } cases[] = {
        {"-25.7", -211, "-25.5dB"}, {"-25.7dB", -211, "-25.5dB"}, {"-25.3", -210, "-25.0dB"},
        {"-20.7", -201, "-20.5dB"}, {"-20", -200, "-20.0dB"},     {"-3.75", -37, "-3.7dB"},
        {"-70", -280, "-60.0dB"},   {"6", 0, "+0.0dB"},           {"+6", 0, "+0.0dB"},
        {"-.5DB", -5, "-0.5dB"},    {"-60", -280, "-60.0dB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        upDown.SetPosition(-100);
        Type(box, c.text);
        EXPECT_EQ(upDown.Position(), c.position);
        EXPECT_EQ(Model().GetMixLevel(4, 1), c.position + 280);
        EXPECT_EQ(box.GetText(), c.shown);
    }
    EXPECT_EQ(*endKeys, 0);
    // InA's level of the same output and every other output stay at 0 dB.
    EXPECT_EQ(Model().GetMixLevel(4, 0), 280);
    for (int out : {2, 3, 5})
        EXPECT_EQ(Model().GetMixLevel(out, 1), 280) << out;

    upDown.SetPosition(-100);
    for (const char* text :
         {"", "-", ".", "3.", "1.2.3", "--3", "abc", "3 dB", "1-2", "+", "-+1", "3.-", "-10" /* shown */}) {
        SCOPED_TRACE(text);
        const int before = *endKeys;
        Type(box, text);
        EXPECT_EQ(upDown.Position(), -100);
        EXPECT_EQ(Model().GetMixLevel(4, 1), 180);
        EXPECT_EQ(box.GetText(), "-10.0dB");
        EXPECT_EQ(*endKeys, before + 1);
    }
    // Leaving the box applies its text the same way.
    box.SetText("-1");
    box.OnExit(&box);
    EXPECT_EQ(upDown.Position(), -10);
    EXPECT_EQ(box.GetText(), "-1.0dB");
    // Other keys leave the text alone.
    box.SetText("-2");
    Key(box, 'A');
    EXPECT_EQ(upDown.Position(), -10);
    EXPECT_EQ(box.GetText(), "-2");
}

TEST_F(MatrixTest, RoutesAndLevelsReachTheUnitForTheirOutputOnly) {
    // Out3 and Out4 linked: routes and levels still stay with their own output.
    unit.SetWord(off::ChannelRecord(4) + off::OutLink, 0b1100);
    unit.SetWord(off::ChannelRecord(5) + off::OutLink, 0);
    Connect();
    auto sent = [&](uint8_t code) {
        Step(50);
        auto frames = ReceivedOf(code);
        unit.ClearReceived();
        return frames;
    };

    Click(Get<kv::TPkBmpButton>("pkbBMatrixOut3"));
    auto routes = sent(sim::code::Matrix);
    ASSERT_EQ(routes.size(), 1u);
    EXPECT_EQ(Payload(routes[0]), (std::vector<uint8_t>{4, 0x03}));
    Click(Get<kv::TPkBmpButton>("pkbAMatrixOut3"));
    routes = sent(sim::code::Matrix);
    ASSERT_EQ(routes.size(), 1u);
    EXPECT_EQ(Payload(routes[0]), (std::vector<uint8_t>{4, 0x02}));

    Type(Box("cvdBMatrixOut3"), "-25.7");
    auto mixes = sent(sim::code::Mix);
    ASSERT_EQ(mixes.size(), 1u);
    EXPECT_EQ(Payload(mixes[0]), (std::vector<uint8_t>{4, 1, 69, 0}));
    // The level already set, and a refused text, send nothing.
    Type(Box("cvdBMatrixOut3"), "-25.5");
    Type(Box("cvdBMatrixOut3"), "1-2");
    EXPECT_TRUE(sent(sim::code::Mix).empty());

    // An arrow press moves one step and sends it; at either end of the range it does nothing.
    auto& upDown = UpDown("udMixGainAOut2");
    upDown.ArrowClick(kv::TUDBtnType::btPrev);
    mixes = sent(sim::code::Mix);
    ASSERT_EQ(mixes.size(), 1u);
    EXPECT_EQ(Payload(mixes[0]), (std::vector<uint8_t>{3, 0, 23, 1})); // 279
    upDown.ArrowClick(kv::TUDBtnType::btNext);
    upDown.ArrowClick(kv::TUDBtnType::btNext);
    EXPECT_EQ(sent(sim::code::Mix).size(), 1u);
    EXPECT_EQ(upDown.Position(), 0);
    upDown.SetPosition(-280);
    sent(sim::code::Mix);
    upDown.ArrowClick(kv::TUDBtnType::btPrev);
    EXPECT_TRUE(sent(sim::code::Mix).empty());
    EXPECT_EQ(upDown.Position(), -280);
    EXPECT_EQ(Box("cvdAMatrixOut2").GetText(), "-60.0dB");

    EXPECT_TRUE(ImagesAgree());
    EXPECT_EQ(Model().GetSourceMask(5), 2);
    EXPECT_EQ(Model().GetMixLevel(5, 1), 280);
    EXPECT_EQ(Model().GetSourceMask(2), 1);
}

// The routing lines on the diagram: one per route, from the input's end on the left to the output's on
// the right, each in its input's colour; nothing where no route is.
class MatrixLinesTest : public MatrixTest {
protected:
    // Whether the line of input `input` to output `output` (0..3) shows at both of its ends.
    bool LineShows(int input, int output) {
        auto& group = Get<kv::TPkGroupBox>("pkgFftMatrix");
        auto& box = Get<kv::TPaintBox>("pbMatrix");
        const QImage image = group.RenderToImage();
        const int h = main->ExtraHeight();
        const int y0 = (input == 0 ? 38 : 142) + input * (h / 2);
        constexpr int kOutputY[4] = {2, 59, 116, 173};
        const int y1 = h / 5 * (output + 1) + kOutputY[output];
        const QRgb colour = input == 0 ? qRgb(128, 0, 128) : qRgb(128, 128, 0);
        // Near the ends, inside the box: the output strips cover its last columns.
        auto near = [&](int x) {
            const int y = y0 + (y1 - y0) * x / box.Width();
            for (int dy = -2; dy <= 2; ++dy)
                if (image.pixel(box.Left() + x, box.Top() + y + dy) == colour)
                    return true;
            return false;
        };
        return near(1) && near(box.Width() - 4);
    }
    // Any pixel of a line colour inside the paint box.
    bool AnyLine() {
        auto& box = Get<kv::TPaintBox>("pbMatrix");
        const QImage image = Get<kv::TPkGroupBox>("pkgFftMatrix").RenderToImage();
        for (int y = box.Top(); y < box.Top() + box.Height(); ++y)
            for (int x = box.Left(); x < box.Left() + box.Width(); ++x)
                if (image.pixel(x, y) == qRgb(128, 0, 128) || image.pixel(x, y) == qRgb(128, 128, 0))
                    return true;
        return false;
    }
    void ExpectLines(const std::array<int, 4>& masks) {
        for (int input = 0; input < 2; ++input)
            for (int output = 0; output < 4; ++output)
                EXPECT_EQ(LineShows(input, output), (masks[static_cast<size_t>(output)] >> input & 1) != 0)
                    << "input " << input << " output " << output << " extra height " << main->ExtraHeight();
    }
};

TEST_F(MatrixLinesTest, LinesFollowTheRoutesAtTheDesignHeightAndInATallerWindow) {
    ASSERT_EQ(main->ExtraHeight(), 0);
    ExpectLines({1, 2, 1, 2}); // the default routes

    // The click's own repaint paints the diagram again, so the screen shows the new line at once.
    auto& group = Get<kv::TPkGroupBox>("pkgFftMatrix");
    QCoreApplication::processEvents(); // the paints due since the page was shown
    auto paints = std::make_shared<int>(0);
    auto paint = group.OnPaint;
    group.OnPaint = [paints, paint](kv::TObject* s) {
        ++*paints;
        paint(s);
    };
    // As a click does it: the button toggles, then its handler runs.
    auto& route = Get<kv::TPkBmpButton>("pkbBMatrixOut3");
    route.SetDown(true);
    route.Click();
    QCoreApplication::processEvents();
    EXPECT_GT(*paints, 0);
    ExpectLines({1, 2, 3, 2});

    main->SetBounds(0, 0, 1118, 820);
    ASSERT_EQ(main->ExtraHeight(), 100);
    ExpectLines({1, 2, 3, 2});
    Click(Get<kv::TPkBmpButton>("pkbAMatrixOut1"));
    ExpectLines({0, 2, 3, 2});

    // A refresh shows the model's routes; with none the box is empty.
    {
        TfmMain::UpdatingViewGuard quiet(*main);
        for (int out = 2; out <= 5; ++out)
            for (int input = 0; input < 2; ++input)
                Model().SetMatrixRoute(out, input, out == 5 && input == 0);
    }
    main->RefreshAllPanels();
    ExpectLines({0, 0, 0, 1});
    EXPECT_FALSE(Get<kv::TPkBmpButton>("pkbBMatrixOut3").Down());
    Click(Get<kv::TPkBmpButton>("pkbAMatrixOut4"));
    EXPECT_FALSE(AnyLine());
}

} // namespace
