#include "plot/gPlotDataCursor.h"
#include "plot/gPlotTimeChannel.h"

#include "plot/gPlotAxisFormat.h"
#include "plot/gPropStream.h"
#include "plot/gXYPlot.h"
#include "plot/gXYPlotChannel.h"

#include "tests/plot/XYTestPlot.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace kvtest_datacursor {

using namespace kv;

// Two XY channels on axes from 0 to 100, and a cursor.
struct CursorFixture {
    CursorFixture() {
        plot.AddAxis<kv::TgPlotXAxis>("X-Axis 1", 0, 100, {40, 300, 300, 330});
        plot.AddAxis<kv::TgPlotYAxis>("Y-Axis 1", 0, 100, {10, 40, 40, 300});
        for (const char* name : {"Channel 1", "Channel 2"}) {
            auto* c = plot.Add<kv::TgXYPlotChannel>(name);
            c->SetXAxisName("X-Axis 1");
            c->SetYAxisName("Y-Axis 1");
            channels.push_back(c);
        }
        cursor = plot.Add<kv::TgPlotDataCursor>("Cursor 1");
    }
    std::vector<std::string> Written(kv::TgPlotDataCursor& c) {
        TgWriter writer;
        gWriteProperties(writer, c);
        std::vector<std::string> names;
        for (const TgStreamValue& v : writer.Values())
            if (v.Type == TValueType::vaPropName)
                names.push_back(v.Text);
        return names;
    }

    kvtest::XYTestPlot plot;
    std::vector<kv::TgXYPlotChannel*> channels;
    kv::TgPlotDataCursor* cursor = nullptr;
};

} // namespace kvtest_datacursor

using namespace kvtest_datacursor;

TEST(gPlotDataCursor, NewCursorIsHiddenWithTheDocumentedSettings) {
    CursorFixture f;
    kv::TgPlotDataCursor& c = *f.cursor;
    EXPECT_FALSE(c.Visible());
    EXPECT_TRUE(c.Enabled());
    EXPECT_TRUE(c.ChannelAllowAll());
    EXPECT_TRUE(c.ChannelShowAllInLegend());
    EXPECT_EQ(c.Style(), TgPlotDataCursorStyle::ipcsValueXY);
    EXPECT_EQ(c.Color(), 0x00FFFF);
    EXPECT_TRUE(c.UseChannelColor());
    EXPECT_TRUE(c.HintShow());
    EXPECT_FALSE(c.HintHideOnRelease());
    EXPECT_EQ(c.HintOrientationSide(), TgOrientationSide::iosBottomRight);
    EXPECT_EQ(c.HintPosition(), 50);
    EXPECT_EQ(c.Pointer1Position(), 50);
    EXPECT_EQ(c.Pointer2Position(), 60);
    EXPECT_EQ(c.PointerPenWidth(), 1);
    EXPECT_TRUE(c.MenuUserCanChangeOptions());
    EXPECT_FALSE(c.SnapToDataPoint());
    EXPECT_FALSE(c.UseCachedInterpolatedData());
    EXPECT_EQ(
        (std::vector<std::string>{c.MenuItemCaptionValueXY(), c.MenuItemCaptionValueX(),
                                  c.MenuItemCaptionValueY(), c.MenuItemCaptionDeltaX(),
                                  c.MenuItemCaptionDeltaY(), c.MenuItemCaptionInverseDeltaX()}),
        (std::vector<std::string>{"Value X-Y", "Value X", "Value Y", "Period", "Peak-Peak", "Frequency"}));
    EXPECT_TRUE(c.MenuItemVisibleValueXY() && c.MenuItemVisibleValueX() && c.MenuItemVisibleValueY() &&
                c.MenuItemVisibleDeltaX() && c.MenuItemVisibleDeltaY() && c.MenuItemVisibleInverseDeltaX());

    // Only three settings are left out of a layout at their defaults; the rest is always written.
    const std::vector<std::string> names = f.Written(c);
    auto has = [&](const char* n) { return std::find(names.begin(), names.end(), n) != names.end(); };
    for (const char* left : {"MenuUserCanChangeOptions", "SnapToDataPoint", "UseCachedInterpolatedData"}) {
        EXPECT_FALSE(has(left)) << left;
    }
    for (const char* kept : {"ChannelAllowAll", "Style", "Color", "HintShow", "Pointer1Position",
                             "PointerPenWidth", "MenuItemVisibleValueXY", "MenuItemCaptionDeltaY", "Visible"})
        EXPECT_TRUE(has(kept)) << kept;
}

TEST(gPlotDataCursor, LayoutCursorStreamsOutAndInUnchanged) {
    CursorFixture f;
    kv::TgPlotDataCursor& from = *f.cursor;
    // "Cursor 1" of the dynamics pages' plots, and some settings of other plots.
    from.SetVisible(false);
    from.SetChannelName("Channel 1");
    from.SetStyle(TgPlotDataCursorStyle::ipcsValueXY);
    from.SetPointer1Position(50);
    from.SetPointer2Position(60);
    from.SetHintOrientationSide(TgOrientationSide::iosTopLeft);
    from.SetSnapToDataPoint(true);
    from.SetMenuUserCanChangeOptions(false);
    from.SetMenuItemCaptionInverseDeltaX("Rate");
    from.SetMenuItemVisibleDeltaY(false);
    from.Font()->SetColor(clRed);

    TgWriter writer;
    gWriteProperties(writer, from);
    writer.WriteListEnd();
    TgReader reader(writer.Values());
    auto* to = f.plot.Add<kv::TgPlotDataCursor>();
    gReadProperties(reader, *to);
    for (const auto& p : from.ClassInfo().Props())
        if (p->Name != "Name" && p->Kind != TTypeKind::tkClass) {
            EXPECT_EQ(p->ValueText(*to), p->ValueText(from)) << p->Name;
        }
    EXPECT_EQ(to->Font()->Color(), clRed);
    EXPECT_EQ(to->ChannelName(), "Channel 1");
    EXPECT_FALSE(to->Visible());
}

TEST(gPlotDataCursor, PointerPositionsStayWithinTheDataView) {
    CursorFixture f;
    struct Case {
        double set, read;
    };
    for (const Case& c : {Case{-5, 0}, Case{std::nan(""), 0}, Case{130, 100}, Case{42.5, 42.5}}) {
        f.cursor->SetPointer1Position(c.set);
        f.cursor->SetPointer2Position(c.set);
        EXPECT_EQ(f.cursor->Pointer1Position(), c.read) << c.set;
        EXPECT_EQ(f.cursor->Pointer2Position(), c.read) << c.set;
    }
    const int changes = f.plot.changes;
    f.cursor->SetPointer1Position(42.5);
    EXPECT_EQ(f.plot.changes, changes);
}

TEST(gPlotDataCursor, UpdateValuesAsksItsChannelOrEveryChannel) {
    CursorFixture f;
    kv::TgPlotDataCursor& c = *f.cursor;
    c.SetChannelName("channel 2"); // names match in any case
    c.SetPointer1Position(30);
    c.SetPointer2Position(70);
    c.UpdateValues();
    EXPECT_EQ(f.plot.log, (std::vector<std::string>{"before Cursor 1", "change Cursor 1"}));
    EXPECT_EQ(c.GetCursorChannel(), f.channels[1]);
    EXPECT_EQ(c.ValueX(), 30);
    EXPECT_EQ(c.ValueY(), 70);
    EXPECT_EQ(c.CursorDisplayText(), "30, 70");
    EXPECT_EQ(f.channels[1]->DataCursorXText(), "30");
    EXPECT_EQ(f.channels[0]->DataCursorXText(), "");
    // The same values again: announced, but no change.
    f.plot.log.clear();
    c.UpdateValues();
    EXPECT_EQ(f.plot.log, std::vector<std::string>{"before Cursor 1"});

    // Every channel, in order; the values are the last channel's.
    f.plot.log.clear();
    f.channels[1]->SetXAxisName("Elsewhere");
    c.SetChannelName("<All>");
    EXPECT_EQ(c.GetCursorChannel(), nullptr);
    c.UpdateValues();
    EXPECT_EQ(f.channels[0]->DataCursorXText(), "30");
    EXPECT_EQ(f.channels[0]->DataCursorYText(), "70");
    EXPECT_EQ(f.channels[1]->DataCursorXText(), "No X-Axis");
    EXPECT_EQ(c.ValueX(), 0);
    // Channel 1 hands over the values the cursor already had; only channel 2's differ.
    EXPECT_EQ(f.plot.log, (std::vector<std::string>{"before Cursor 1", "change Cursor 1"}));

    // A name no channel has: only the announcement.
    f.plot.log.clear();
    c.SetChannelName("Nothing");
    c.UpdateValues();
    EXPECT_EQ(f.plot.log, std::vector<std::string>{"before Cursor 1"});

    // Showing the cursor reads the values at once.
    f.plot.log.clear();
    c.SetChannelName("Channel 1");
    c.SetVisible(true);
    EXPECT_EQ(f.plot.log, (std::vector<std::string>{"before Cursor 1", "change Cursor 1"}));
    EXPECT_EQ(c.CursorDisplayText(), "30, 70");
}

TEST(gPlotDataCursor, FollowsItsChannelThroughRenameAndRemoval) {
    CursorFixture f;
    kv::TgPlotDataCursor& c = *f.cursor;
    c.SetChannelName("Channel 1");
    // Not yet resolved: the channel is still found by the name it had.
    f.channels[0]->SetName("Input");
    c.NotificationAxisRename(f.channels[0]);
    EXPECT_EQ(c.ChannelName(), "Input");
    EXPECT_EQ(c.GetCursorChannel(), f.channels[0]);
    // Resolved: the cache follows too.
    f.channels[0]->SetName("Output");
    c.NotificationAxisRename(f.channels[0]);
    EXPECT_EQ(c.ChannelName(), "Output");
    // Another channel's rename changes nothing.
    f.channels[1]->SetName("Other");
    c.NotificationAxisRename(f.channels[1]);
    EXPECT_EQ(c.ChannelName(), "Output");

    c.NotificationAxisRemove(f.channels[0]);
    delete f.channels[0];
    EXPECT_EQ(c.GetCursorChannel(), nullptr);
    c.UpdateValues(); // nothing left to ask, and nothing dangling
    EXPECT_EQ(c.ChannelName(), "Output");
}

// ---------------------------------------------------------------------------------------------------
// Layout, drawing, mouse, keys, snapping, popup and focus

namespace kvtest_datacursor {

// A time-series channel whose cursor values are simply the pointer's X position and twice that as Y.
class CursorTestChannel : public kv::TgPlotChannel {
    KV_CLASS(CursorTestChannel)
public:
    using kv::TgPlotChannel::TgPlotChannel;
    ~CursorTestChannel() override { NotifyRemove(); }
    void UpdateDataCursorText(kv::TgPlotObject* object) override {
        auto* cursor = dynamic_cast<kv::TgPlotDataCursor*>(object);
        if (!cursor || !XAxis())
            return;
        const double x = XAxis()->PercentToPosition(cursor->Pointer1Position() / 100);
        cursor->SetValues(kv::TgPlotDataPointStatus::ipdpsValid, x, 2 * x);
        cursor->SetCursorDisplayText("at " + std::to_string(static_cast<int>(std::lround(x))));
    }
};

// A plot that is not an XY plot: a data view of 200 x 100 pixels at (100, 50), an X axis from 0 to 100
// along it, two channels, a cursor.
struct TimeFixture {
    TimeFixture() {
        plot.AddAxis<kv::TgPlotXAxis>("X-Axis 1", 0, 100, {100, 150, 300, 170});
        plot.AddAxis<kv::TgPlotYAxis>("Y-Axis 1", 0, 100, {80, 50, 100, 150});
        view = plot.Add<kv::TgPlotDataView>("Data View 1");
        view->SetDrawRect({100, 50, 300, 150});
        plot.dataView = view;
        for (const char* name : {"A", "B"}) {
            auto* c = plot.Add<CursorTestChannel>(name);
            c->SetXAxisName("X-Axis 1");
            c->SetYAxisName("Y-Axis 1");
            channels.push_back(c);
        }
        cursor = plot.Add<kv::TgPlotDataCursor>("Cursor 1");
        cursor->SetDataViewLink(view);
        cursor->SetChannelName("A");
        cursor->SetVisible(true);
        cursor->OnInvalidateNow = [this](kv::TObject*) { ++repaints; };
    }
    // Draws the cursor as a paint of the plot does, so that its rectangles are those of this layout.
    void Paint() {
        kv::TBitmap bitmap(400, 200);
        cursor->Draw(*bitmap.Canvas(), kv::clBlack);
    }
    void Press(int x, int y) { cursor->gMouseDown(kv::TMouseButton::mbLeft, {}, x, y, x, y, nullptr); }
    void Move(int x, int y) {
        kv::TgHintData hint;
        cursor->gMouseMove(hint, {}, x, y, x, y, false);
    }
    void Release(int x, int y) { cursor->gMouseUp(kv::TMouseButton::mbLeft, {}, x, y, x, y, false, nullptr); }

    kvtest::XYTestPlot plot;
    kv::TgPlotDataView* view = nullptr;
    std::vector<CursorTestChannel*> channels;
    kv::TgPlotDataCursor* cursor = nullptr;
    int repaints = 0;
};

// The captions of a menu level, with "*" for a ticked item, "-" before a hidden one and "~" before a
// disabled one.
std::vector<std::string> CursorMenuCaptions(const kv::TMenuItem* parent) {
    std::vector<std::string> captions;
    for (int i = 0; i < parent->Count(); ++i) {
        const kv::TMenuItem* item = parent->Items(i);
        captions.push_back(std::string(item->Visible() ? "" : "-") + (item->Enabled() ? "" : "~") +
                           item->Caption() + (item->Checked() ? "*" : ""));
    }
    return captions;
}

kv::TMenuItem* CursorMenuItem(const kv::TMenuItem* parent, const std::string& caption) {
    for (int i = 0; i < parent->Count(); ++i)
        if (parent->Items(i)->Caption() == caption)
            return parent->Items(i);
    return nullptr;
}

KV_REGISTER_CLASS(CursorTestChannel, kv::TgPlotChannel, b) {}

} // namespace kvtest_datacursor

TEST(gPlotDataCursor, PointerLayoutFollowsStylePlotKindAndAxesReversal) {
    using S = TgPlotDataCursorStyle;
    constexpr auto V = TgOrientation::ioVertical, H = TgOrientation::ioHorizontal;
    struct Case {
        S style;
        bool xyPlot, reversed;
        bool show1, show2;
        TgOrientation o1, o2, hint;
    };
    const Case cases[] = {
        {S::ipcsValueXY, true, false, true, true, V, H, V},
        {S::ipcsValueXY, false, false, true, false, V, H, V},
        {S::ipcsValueX, true, false, true, false, V, H, V},
        {S::ipcsValueX, false, false, true, false, V, H, V},
        {S::ipcsValueY, true, false, false, true, V, H, H},
        {S::ipcsValueY, false, false, true, false, V, H, V},
        {S::ipcsDeltaX, true, false, true, true, V, V, V},
        {S::ipcsDeltaX, false, false, true, true, V, V, V},
        {S::ipcsInverseDeltaX, true, false, true, true, V, V, V},
        {S::ipcsDeltaY, true, false, true, true, H, H, H},
        {S::ipcsDeltaY, false, false, true, true, H, H, H},
        // Reversed axes turn every orientation.
        {S::ipcsValueXY, true, true, true, true, H, V, H},
        {S::ipcsValueY, true, true, false, true, H, V, V},
        {S::ipcsDeltaX, false, true, true, true, H, H, H},
        {S::ipcsDeltaY, true, true, true, true, V, V, V},
    };
    TgXYPlot xyPlot(nullptr);
    TimeFixture time;
    for (const Case& c : cases) {
        kv::TgPlotDataCursor& cursor = c.xyPlot ? *xyPlot.GetDataCursor(0) : *time.cursor;
        cursor.SetXYAxesReversed(c.reversed);
        cursor.SetStyle(c.style);
        const std::string where = std::string(c.xyPlot ? "XY " : "time ") +
                                  EnumIdents(c.style)[int(c.style)] + (c.reversed ? " reversed" : "");
        EXPECT_EQ(cursor.Pointer1Show(), c.show1) << where;
        EXPECT_EQ(cursor.Pointer2Show(), c.show2) << where;
        if (c.show1) {
            EXPECT_EQ(cursor.Pointer1Orientation(), c.o1) << where;
        }
        if (c.show2) {
            EXPECT_EQ(cursor.Pointer2Orientation(), c.o2) << where;
        }
        EXPECT_EQ(cursor.HintOrientation(), c.hint) << where;
    }
}

TEST(gPlotDataCursor, PointersAndHintAreLaidOutInTheDataView) {
    TimeFixture f;
    kv::TgPlotDataCursor& c = *f.cursor;
    // Pointer 1 at 50 % of 200 pixels from 100: x = 200; the hint to its right, centred on 50 % height.
    f.Paint();
    EXPECT_EQ(c.Pointer1Rect(), (kv::TRect{195, 50, 206, 150}));
    ASSERT_TRUE(c.HintShowing());
    const kv::TRect hint = c.HintRect();
    EXPECT_EQ(hint.Left, 205);
    EXPECT_NEAR((hint.Top + hint.Bottom) / 2, 100, 1);
    EXPECT_GT(hint.Width(), 0);

    // Near the right edge the hint goes to the left of the pointer, and stays there.
    c.SetPointer1Position(95);
    f.Paint();
    EXPECT_EQ(c.HintOrientationSide(), TgOrientationSide::iosTopLeft);
    EXPECT_EQ(c.HintRect().Right, 290 - 5);
    c.SetPointer1Position(50);
    f.Paint();
    EXPECT_EQ(c.HintOrientationSide(), TgOrientationSide::iosTopLeft);
    EXPECT_EQ(c.HintRect().Right, 195);
    // Near the left edge it comes back to the right.
    c.SetPointer1Position(1);
    f.Paint();
    EXPECT_EQ(c.HintOrientationSide(), TgOrientationSide::iosBottomRight);

    // A hint placed beyond the top is moved into the view, keeping its size.
    c.SetHintPosition(100);
    f.Paint();
    EXPECT_EQ(c.HintRect().Top, 50);
    EXPECT_EQ(c.HintRect().Height(), hint.Height());

    // Two pointers: the hint is centred between them.
    c.SetStyle(TgPlotDataCursorStyle::ipcsDeltaX);
    c.SetPointer1Position(20);
    c.SetPointer2Position(80);
    c.SetHintPosition(50);
    f.Paint();
    EXPECT_EQ(c.Pointer2Rect(), (kv::TRect{255, 50, 266, 150}));
    EXPECT_NEAR((c.HintRect().Left + c.HintRect().Right) / 2, 200, 1);
    // Horizontal pointers: placed by Y, from the bottom.
    c.SetStyle(TgPlotDataCursorStyle::ipcsDeltaY);
    f.Paint();
    EXPECT_EQ(c.Pointer1Rect(), (kv::TRect{100, 125, 300, 136}));
    EXPECT_NEAR((c.HintRect().Top + c.HintRect().Bottom) / 2, 100, 1);

    // Hit test: the pointers' grab rectangles and the showing hint.
    EXPECT_TRUE(c.HitTest(150, 130));
    EXPECT_FALSE(c.HitTest(150, 115));
    EXPECT_TRUE(c.HitTest((c.HintRect().Left + c.HintRect().Right) / 2,
                          (c.HintRect().Top + c.HintRect().Bottom) / 2));
}

TEST(gPlotDataCursor, HintShowsOnlyWhereItMeansSomething) {
    TimeFixture f;
    kv::TgPlotDataCursor& c = *f.cursor;
    struct Case {
        const char* channel;
        bool hintShow, hideOnRelease, dragging, showing;
    };
    for (const Case& k : {Case{"A", true, false, false, true}, Case{"A", false, false, false, false},
                          Case{"<All>", true, false, false, false}, Case{"A", true, true, false, false},
                          Case{"A", true, true, true, true}}) {
        c.SetChannelName(k.channel);
        c.SetHintShow(k.hintShow);
        c.SetHintHideOnRelease(k.hideOnRelease);
        if (k.dragging)
            f.Press(200, 60);
        f.Paint();
        EXPECT_EQ(c.HintShowing(), k.showing) << k.channel << k.hintShow << k.hideOnRelease << k.dragging;
        if (k.dragging)
            f.Release(200, 60);
    }
    // "<All>" still hands the values to every channel.
    c.SetChannelName("<All>");
    c.SetPointer1Position(30);
    f.Paint();
    EXPECT_EQ(f.plot.log.back(), "change Cursor 1");
    EXPECT_NEAR(c.ValueX(), 30, 1e-9);
    // A channel that does not resolve: the hint says so.
    c.SetChannelName("Gone");
    c.SetHintHideOnRelease(false);
    f.plot.translations["No Channel"] = "Kein Kanal";
    kv::TBitmap bitmap(400, 200);
    c.Draw(*bitmap.Canvas(), kv::clBlack);
    EXPECT_TRUE(c.HintShowing());
    EXPECT_EQ(c.HintRect().Width(),
              kv::gTextWidthMultiLine(*bitmap.Canvas(), "Kein Kanal") + bitmap.Canvas()->TextWidth("A"));
}

TEST(gPlotDataCursor, DraggingMovesTheGrabbedPointerOrHint) {
    TimeFixture f;
    kv::TgPlotDataCursor& c = *f.cursor;
    c.SetStyle(TgPlotDataCursorStyle::ipcsDeltaX);
    c.SetPointer1Position(20); // x = 140
    c.SetPointer2Position(80); // x = 260
    f.Paint();
    const int changes = f.plot.changes;

    // Pointer 1, grabbed 3 pixels right of its line, follows the mouse by the same offset.
    f.Press(143, 60);
    EXPECT_TRUE(c.MouseDownPointer1());
    f.Move(163, 70);
    EXPECT_DOUBLE_EQ(c.Pointer1Position(), 30);
    f.Move(1000, 70); // held inside the view
    EXPECT_DOUBLE_EQ(c.Pointer1Position(), 100);
    f.Move(163, 70);
    f.Release(163, 70);
    EXPECT_FALSE(c.MouseDownPointer1());
    EXPECT_DOUBLE_EQ(c.Pointer1Position(), 30);
    EXPECT_DOUBLE_EQ(c.Pointer2Position(), 80);

    // Pointer 2.
    f.Paint();
    f.Press(258, 60);
    EXPECT_TRUE(c.MouseDownPointer2());
    f.Move(238, 60);
    f.Release(238, 60);
    EXPECT_DOUBLE_EQ(c.Pointer2Position(), 70);

    // The hint slides up and down along vertical pointers.
    f.Paint();
    const kv::TRect hint = c.HintRect();
    const int hx = (hint.Left + hint.Right) / 2, hy = (hint.Top + hint.Bottom) / 2;
    f.Press(hx, hy);
    EXPECT_TRUE(c.MouseDownHint());
    f.Move(hx + 40, hy - 20);
    f.Release(hx + 40, hy - 20);
    EXPECT_NEAR(c.HintPosition(), 70, 1);
    EXPECT_DOUBLE_EQ(c.Pointer1Position(), 30);

    // Horizontal pointers move by Y.
    c.SetStyle(TgPlotDataCursorStyle::ipcsDeltaY);
    c.SetPointer1Position(50); // y = 100
    f.Paint();
    f.Press(120, 100);
    f.Move(120, 80);
    f.Release(120, 80);
    EXPECT_DOUBLE_EQ(c.Pointer1Position(), 70);

    // Dragging writes the positions without change notices; every step repaints at once.
    EXPECT_EQ(f.plot.changes - changes, 2); // the two setter calls of this test
    EXPECT_GT(f.repaints, 8);

    // A hint that no longer shows is not grabbed where it was.
    c.SetStyle(TgPlotDataCursorStyle::ipcsValueX);
    f.Paint();
    const kv::TRect shown = c.HintRect();
    c.SetHintShow(false);
    f.Paint();
    f.Press((shown.Left + shown.Right) / 2, (shown.Top + shown.Bottom) / 2);
    EXPECT_FALSE(c.MouseDownHint());
    f.Release((shown.Left + shown.Right) / 2, (shown.Top + shown.Bottom) / 2);
    c.SetStyle(TgPlotDataCursorStyle::ipcsDeltaY);
    c.SetHintShow(true);

    // A press beside the cursor grabs nothing.
    f.Paint();
    f.Press(290, 60);
    f.Move(250, 60);
    f.Release(250, 60);
    EXPECT_DOUBLE_EQ(c.Pointer1Position(), 70);
}

TEST(gPlotDataCursor, KeysMovePointersAndHintByPixels) {
    TimeFixture f;
    kv::TgPlotDataCursor& c = *f.cursor;
    // One pixel is 0.5 % across (200 pixels) and 1 % up and down (100 pixels).
    const kv::TShiftState none{}, ctrl{kv::TShiftItem::ssCtrl};
    struct Case {
        kv::TgPlotDataCursorStyle style;
        std::uint16_t key;
        kv::TShiftState shift;
        double p1, p2, hint;
    };
    using S = TgPlotDataCursorStyle;
    const Case cases[] = {
        {S::ipcsValueX, kv::VK_RIGHT, none, 50.5, 60, 50},
        {S::ipcsValueX, kv::VK_LEFT, none, 49.5, 60, 50},
        {S::ipcsValueX, kv::VK_UP, none, 50, 60, 51},
        {S::ipcsValueX, kv::VK_DOWN, none, 50, 60, 49},
        {S::ipcsValueX, kv::VK_PRIOR, none, 52.5, 60, 50},
        {S::ipcsValueX, kv::VK_NEXT, none, 47.5, 60, 50},
        {S::ipcsValueX, kv::VK_END, none, 100, 60, 50},
        {S::ipcsValueX, kv::VK_HOME, none, 0, 60, 50},
        // Pointer 2 is hidden: Ctrl moves nothing.
        {S::ipcsValueX, kv::VK_RIGHT, ctrl, 50, 60, 50},
        {S::ipcsDeltaX, kv::VK_RIGHT, ctrl, 50, 60.5, 50},
        {S::ipcsDeltaX, kv::VK_UP, ctrl, 50, 60, 50},
        {S::ipcsDeltaX, kv::VK_PRIOR, ctrl, 50, 62.5, 50},
        {S::ipcsDeltaX, kv::VK_END, ctrl, 50, 100, 50},
        // Horizontal pointers and hint.
        {S::ipcsDeltaY, kv::VK_UP, none, 51, 60, 50},
        {S::ipcsDeltaY, kv::VK_RIGHT, none, 50, 60, 50.5},
        {S::ipcsDeltaY, kv::VK_PRIOR, none, 55, 60, 50},
        {S::ipcsDeltaY, kv::VK_DOWN, ctrl, 50, 59, 50},
    };
    for (const Case& k : cases) {
        c.SetStyle(k.style);
        c.SetPointer1Position(50);
        c.SetPointer2Position(60);
        c.SetHintPosition(50);
        std::uint16_t key = k.key;
        c.gKeyDown(key, k.shift, nullptr);
        const std::string where = EnumIdents(k.style)[int(k.style)] + " key " + std::to_string(k.key) +
                                  (k.shift.Contains(kv::TShiftItem::ssCtrl) ? " ctrl" : "");
        EXPECT_DOUBLE_EQ(c.Pointer1Position(), k.p1) << where;
        EXPECT_DOUBLE_EQ(c.Pointer2Position(), k.p2) << where;
        EXPECT_DOUBLE_EQ(c.HintPosition(), k.hint) << where;
    }
    // Clamped at the ends.
    c.SetStyle(S::ipcsValueX);
    c.SetPointer1Position(100);
    std::uint16_t key = kv::VK_PRIOR;
    c.gKeyDown(key, none, nullptr);
    EXPECT_EQ(c.Pointer1Position(), 100);
}

TEST(gPlotDataCursor, SnapsPointersToTheNearestDataPoint) {
    // Channel A has points every 10 from 0 to 190, channel B at 3, 33, 63, 93.
    struct Case {
        const char* channel;
        double at;
        double snapped;
        int channelIndex, dataIndex;
    };
    const Case cases[] = {
        {"A", 14, 10, 0, 1},     {"A", 16, 20, 0, 2},     {"A", 15, 20, 0, 2}, // a tie keeps the later point
        {"A", 0, 0, 0, 0},       {"A", 100, 100, 0, 10},  {"B", 50, 63, 1, 2}, {"B", 99, 93, 1, 3},
        {"B", 1, 3, 1, 0},       {"<All>", 31, 30, 0, 3}, // A's 30 is nearer than B's 33
        {"<All>", 35, 33, 1, 1},                          // B's 33 is nearer than A's 40 and 30
        {"<All>", 2, 3, 1, 0},                            // at the end of B: its distance counts too
    };
    for (const Case& k : cases) {
        TimeFixture f;
        for (int i = 0; i < 20; ++i)
            f.channels[0]->AddXY(10.0 * i, 0);
        for (double x : {3, 33, 63, 93})
            f.channels[1]->AddXY(x, 0);
        kv::TgPlotDataCursor& c = *f.cursor;
        c.SetChannelName(k.channel);
        c.SetPointer1Position(k.at);
        c.SetPointer2Position(k.at);
        c.SetSnapToDataPoint(true);
        c.DoSnapToDataPoint();
        const std::string where = std::string(k.channel) + " at " + std::to_string(k.at);
        EXPECT_NEAR(c.Pointer1Position(), k.snapped, 1e-9) << where;
        EXPECT_NEAR(c.Pointer2Position(), k.snapped, 1e-9) << where;
        EXPECT_EQ(c.SnapToIndexChannel(), k.channelIndex) << where;
        EXPECT_EQ(c.SnapToIndexData(), k.dataIndex) << where;
    }

    // No snapping: switched off, for horizontal pointers, in an XY plot, or without points.
    TimeFixture f;
    f.cursor->SetPointer1Position(14);
    f.cursor->DoSnapToDataPoint();
    f.cursor->SetSnapToDataPoint(true);
    f.cursor->DoSnapToDataPoint(); // channel A is empty
    EXPECT_EQ(f.cursor->Pointer1Position(), 14);
    f.channels[0]->AddXY(10, 0);
    f.cursor->SetStyle(TgPlotDataCursorStyle::ipcsDeltaY);
    f.cursor->DoSnapToDataPoint();
    EXPECT_EQ(f.cursor->Pointer1Position(), 14);
    f.cursor->SetStyle(TgPlotDataCursorStyle::ipcsValueX);
    f.cursor->DoSnapToDataPoint();
    EXPECT_EQ(f.cursor->Pointer1Position(), 10);

    // A channel whose X runs downwards snaps to its nearest point as well, not to its last one.
    TimeFixture down;
    for (int i = 9; i >= 0; --i)
        down.channels[0]->AddXY(10.0 * i, 0);
    for (const double at : {14.0, 0.0, 96.0}) {
        down.cursor->SetPointer1Position(at);
        down.cursor->SetPointer2Position(at);
        down.cursor->SetSnapToDataPoint(true);
        down.cursor->DoSnapToDataPoint();
        EXPECT_DOUBLE_EQ(down.cursor->Pointer1Position(), std::min(90.0, std::round(at / 10) * 10)) << at;
        EXPECT_EQ(down.cursor->SnapToIndexData(), 9 - int(std::min(90.0, std::round(at / 10) * 10) / 10))
            << at;
    }

    TgXYPlot xy(nullptr);
    kv::TgPlotDataCursor& c = *xy.GetDataCursor(0);
    xy.GetXYChannel(0)->AddXY(10, 0);
    c.SetChannelName(xy.GetXYChannel(0)->Name());
    c.SetPointer1Position(14);
    c.SetSnapToDataPoint(true);
    c.DoSnapToDataPoint();
    EXPECT_EQ(c.Pointer1Position(), 14);
}

TEST(gPlotDataCursor, SnappedKeysStepThroughPointsAndScrollTheAxis) {
    TimeFixture f;
    for (int i = 0; i < 20; ++i)
        f.channels[0]->AddXY(10.0 * i, 0);
    kv::TgPlotDataCursor& c = *f.cursor;
    kv::TgPlotAxis& axis = *f.channels[0]->XAxis();
    c.SetSnapToDataPoint(true);
    c.SetPointer1Position(79);
    auto press = [&](std::uint16_t key, kv::TShiftState shift = {}) { c.gKeyDown(key, shift, nullptr); };

    press(kv::VK_RIGHT);
    EXPECT_DOUBLE_EQ(c.Pointer1Position(), 90);
    press(kv::VK_LEFT);
    press(kv::VK_LEFT);
    EXPECT_DOUBLE_EQ(c.Pointer1Position(), 70);
    press(kv::VK_HOME);
    EXPECT_DOUBLE_EQ(c.Pointer1Position(), 0);
    EXPECT_EQ(axis.Min(), 0);
    // Up and Down move the hint along the pointer.
    press(kv::VK_UP);
    EXPECT_DOUBLE_EQ(c.HintPosition(), 51);
    press(kv::VK_DOWN);
    EXPECT_DOUBLE_EQ(c.HintPosition(), 50);

    // Page Up from 80: five points on, at 130, beyond the axis' end: the axis scrolls so that the point
    // lies 1/40 of the span inside its right end.
    c.SetPointer1Position(80);
    press(kv::VK_PRIOR);
    EXPECT_DOUBLE_EQ(axis.Min(), 32.5);
    EXPECT_DOUBLE_EQ(c.Pointer1Position(), 97.5);
    EXPECT_EQ(c.SnapToIndexData(), 8);
    // End: the last point; Home: the first, scrolling back 1/40 of the span beyond it.
    press(kv::VK_END);
    EXPECT_DOUBLE_EQ(axis.Min(), 190 - 100 + 2.5);
    EXPECT_DOUBLE_EQ(c.Pointer1Position(), 97.5);
    press(kv::VK_HOME);
    EXPECT_DOUBLE_EQ(axis.Min(), -2.5);
    EXPECT_DOUBLE_EQ(c.Pointer1Position(), 2.5);
    // Page Down past the first point stays on it.
    press(kv::VK_NEXT);
    EXPECT_DOUBLE_EQ(c.Pointer1Position(), 2.5);

    // Ctrl moves pointer 2, only when it shows.
    press(kv::VK_RIGHT, kv::TShiftState{kv::TShiftItem::ssCtrl});
    EXPECT_DOUBLE_EQ(c.Pointer2Position(), 60);
    c.SetStyle(TgPlotDataCursorStyle::ipcsDeltaX);
    press(kv::VK_RIGHT, kv::TShiftState{kv::TShiftItem::ssCtrl});
    EXPECT_DOUBLE_EQ(c.Pointer2Position(), 70 + 2.5);

    // A released pointer snaps too.
    c.SetStyle(TgPlotDataCursorStyle::ipcsValueX);
    c.SetPointer1Position(50); // x = 47.5 on the axis from -2.5
    f.Paint();
    f.Press(200, 60);
    f.Move(203, 60);
    f.Release(203, 60);
    EXPECT_DOUBLE_EQ(c.Pointer1Position(), 52.5); // the point at 50
}

TEST(gPlotDataCursor, InterpolatedValueIsMeasuredAndTheCursorPutBack) {
    TimeFixture f;
    kv::TgPlotDataCursor& c = *f.cursor;
    c.SetVisible(false);
    c.SetStyle(TgPlotDataCursorStyle::ipcsDeltaX);
    c.SetPointer1Position(12);
    c.SetUseCachedInterpolatedData(true);
    double y = -1;
    EXPECT_EQ(c.GetInterpolatedYValue("B", 40, y), TgPlotDataPointStatus::ipdpsValid);
    EXPECT_NEAR(y, 80, 1e-9);
    // Without the cache the axis is moved to the value and the pointer put at its start.
    c.SetUseCachedInterpolatedData(false);
    EXPECT_EQ(c.GetInterpolatedYValue("B", 70, y), TgPlotDataPointStatus::ipdpsValid);
    EXPECT_NEAR(y, 140, 1e-9);
    EXPECT_FALSE(c.Visible());
    EXPECT_EQ(c.Style(), TgPlotDataCursorStyle::ipcsDeltaX);
    EXPECT_EQ(c.ChannelName(), "A");
    EXPECT_EQ(c.Pointer1Position(), 12);
    EXPECT_EQ(f.channels[1]->XAxis()->Min(), 0);
    EXPECT_FALSE(f.channels[1]->XAxis()->BlockMinSpanEvents());

    EXPECT_EQ(c.GetInterpolatedYValue("Nothing", 40, y), TgPlotDataPointStatus::ipdpsNull);
    EXPECT_EQ(y, 0);
    TgXYPlot xy(nullptr);
    EXPECT_EQ(xy.GetDataCursor(0)->GetInterpolatedYValue(xy.GetChannel(0)->Name(), 40, y),
              TgPlotDataPointStatus::ipdpsNull);
}

TEST(gPlotDataCursor, PopupOffersChannelsStylesAndOptions) {
    TimeFixture f;
    kv::TgPlotDataCursor& c = *f.cursor;
    f.channels[0]->SetTitleText("Input\r\nLeft");
    f.channels[1]->SetTitleText("Output");
    c.SetStyle(TgPlotDataCursorStyle::ipcsDeltaY);
    c.SetMenuItemVisibleValueY(false);
    c.SetMenuItemCaptionInverseDeltaX("Rate");
    f.plot.translations["Style"] = "Stil";
    kv::TPopupMenu menu(nullptr);
    c.BuildPopupMenu(&menu);
    const kv::TMenuItem* root = menu.Items();
    EXPECT_EQ(CursorMenuCaptions(root),
              (std::vector<std::string>{"Channel", "Stil", "Options", "Snap to Data-Point", "Edit..."}));
    EXPECT_EQ(CursorMenuCaptions(root->Items(0)),
              (std::vector<std::string>{"<All>", "InputLeft*", "Output"}));
    EXPECT_EQ(CursorMenuCaptions(root->Items(1)),
              (std::vector<std::string>{"Value X-Y", "Value X", "-Value Y", "Period", "Peak-Peak*", "Rate"}));
    EXPECT_EQ(CursorMenuCaptions(root->Items(2)),
              (std::vector<std::string>{"Use Channel Color*", "Hide Hint On Release", "~Flip Alignment"}));

    // Picking: a channel (selected), a style, an option, snapping, "<All>".
    CursorMenuItem(root->Items(0), "Output")->Click();
    EXPECT_EQ(c.ChannelName(), "B");
    EXPECT_TRUE(f.channels[1]->UserSelected());
    CursorMenuItem(root->Items(1), "Period")->Click();
    EXPECT_EQ(c.Style(), TgPlotDataCursorStyle::ipcsDeltaX);
    CursorMenuItem(root->Items(2), "Hide Hint On Release")->Click();
    EXPECT_TRUE(c.HintHideOnRelease());
    CursorMenuItem(root->Items(2), "Flip Alignment")->Click();
    EXPECT_EQ(c.HintOrientationSide(), TgOrientationSide::iosTopLeft);
    f.channels[1]->AddXY(33, 0);
    CursorMenuItem(root, "Snap to Data-Point")->Click();
    EXPECT_TRUE(c.SnapToDataPoint());
    EXPECT_DOUBLE_EQ(c.Pointer1Position(), 33);
    CursorMenuItem(root->Items(0), "<All>")->Click();
    EXPECT_EQ(c.ChannelName(), "<All>");
    EXPECT_FALSE(f.channels[1]->UserSelected());

    // Without "<All>", option changes, editing or hidden channels; an XY plot cannot snap.
    c.SetChannelAllowAll(false);
    c.SetMenuUserCanChangeOptions(false);
    c.SetUserCanEdit(false);
    f.channels[0]->SetVisible(false);
    c.BuildPopupMenu(&menu);
    EXPECT_EQ(CursorMenuCaptions(root), (std::vector<std::string>{"Channel", "Stil", "Snap to Data-Point*"}));
    EXPECT_EQ(CursorMenuCaptions(root->Items(0)), std::vector<std::string>{"Output"});
    TgXYPlot xy(nullptr);
    xy.GetDataCursor(0)->BuildPopupMenu(&menu);
    EXPECT_EQ(CursorMenuItem(menu.Items(), "Snap to Data-Point"), nullptr);
    EXPECT_NE(CursorMenuItem(menu.Items(), "Options"), nullptr);
}

TEST(gPlotDataCursor, SelectionGoesWithItsChannel) {
    TimeFixture f;
    kv::TgPlotDataCursor& c = *f.cursor;
    c.SetUserSelected(true);
    EXPECT_TRUE(f.channels[0]->UserSelected());
    // Its own channel taking the focus leaves it selected; another channel moves it there.
    c.NotificationFocusChange(f.channels[0]);
    EXPECT_TRUE(c.UserSelected());
    f.channels[1]->SetUserSelected(true);
    c.NotificationFocusChange(f.channels[1]);
    EXPECT_TRUE(c.UserSelected());
    EXPECT_EQ(c.ChannelName(), "B");
    // Anything else selected takes the selection from it.
    auto* other = f.plot.Add<kv::TgPlotDataCursor>("Cursor 2");
    other->SetUserSelected(true);
    c.NotificationFocusChange(other);
    EXPECT_FALSE(c.UserSelected());
    // Not selected, a channel's focus does not move it.
    c.NotificationFocusChange(f.channels[0]);
    EXPECT_EQ(c.ChannelName(), "B");
}

namespace kvtest_datacursor {

// An XY plot of 400 x 300 with both axes from 0 to 100 and a visible cursor on a rising line.
struct XYCursorPlot {
    XYCursorPlot() {
        plot.SetBounds(0, 0, 400, 300);
        plot.GetToolBar(0)->SetVisible(false);
        plot.GetLegend(0)->SetVisible(false);
        for (kv::TgPlotAxis* a : {plot.GetXAxis(0), plot.GetYAxis(0)}) {
            a->SetTrackingEnabled(false);
            a->SetMin(0);
            a->SetSpan(100);
        }
        kv::TgXYPlotChannel* channel = plot.GetXYChannel(0);
        channel->SetColor(kv::clLime);
        for (int x = 0; x <= 100; x += 10)
            channel->AddXY(x, x * 0.8);
        cursor = plot.GetDataCursor(0);
        cursor->SetChannelName(channel->Name());
        cursor->SetVisible(true);
        plot.OnDataCursorCustomizeHint = [this](kv::TObject*, int, std::string& text) {
            hintTexts.push_back(text);
        };
    }
    std::unique_ptr<kv::TBitmap> Paint() {
        auto bitmap = std::make_unique<kv::TBitmap>(400, 300);
        plot.gPaint(*bitmap->Canvas());
        return bitmap;
    }

    kv::TgXYPlot plot{nullptr};
    kv::TgPlotDataCursor* cursor = nullptr;
    std::vector<std::string> hintTexts;
};

QColor CursorQColor(kv::TColor color) {
    const kv::TColor rgb = kv::ColorToRGB(color);
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

} // namespace kvtest_datacursor

TEST(gPlotDataCursor, EveryStyleShowsItsValuesInTheHint) {
    XYCursorPlot f;
    f.cursor->SetPointer1Position(25);
    f.cursor->SetPointer2Position(75);
    f.plot.GetXAxis(0)->SetCursorUseDefaultFormat(false);
    f.plot.GetXAxis(0)->SetCursorPrecision(2);
    f.plot.GetXAxis(0)->SetCursorPrecisionStyle(kv::TgPrecisionStyle::ipsFixedDecimalPoints);
    using S = TgPlotDataCursorStyle;
    struct Case {
        S style;
        const char* text;
    };
    for (const Case& c :
         {Case{S::ipcsValueXY, "25.00, 75"}, Case{S::ipcsValueX, "25.00"}, Case{S::ipcsValueY, "75"},
          Case{S::ipcsDeltaX, "50.00"}, Case{S::ipcsDeltaY, "50"}, Case{S::ipcsInverseDeltaX, "0.02"}}) {
        f.cursor->SetStyle(c.style);
        f.hintTexts.clear();
        f.Paint();
        EXPECT_EQ(f.hintTexts, std::vector<std::string>{c.text}) << EnumIdents(c.style)[int(c.style)];
    }
    // The plot's handler may put its own text in the hint.
    f.plot.OnDataCursorCustomizeHint = [](kv::TObject*, int, std::string& text) {
        text = "Level\r\nand gain";
    };
    f.cursor->SetStyle(S::ipcsValueX);
    auto picture = f.Paint();
    kv::TCanvas& canvas = *picture->Canvas();
    canvas.SetFont(f.cursor->Font());
    EXPECT_EQ(f.cursor->HintRect().Width(),
              kv::gTextWidthMultiLine(canvas, "Level\r\nand gain") + canvas.TextWidth("A"));
    EXPECT_GE(f.cursor->HintRect().Height(), 2 * canvas.TextHeight("A"));
}

TEST(gPlotDataCursor, VisibleCursorInAnXYPlot) {
    XYCursorPlot f;
    f.cursor->SetPointer1Position(40);
    f.cursor->SetPointer2Position(32);
    f.cursor->SetUserSelected(true);
    auto picture = f.Paint();
    if (const char* dir = std::getenv("KV_PLOT_PNG_DIR"))
        picture->Image().save(QString::fromStdString(std::string(dir) + "/datacursor-xy.png"));
    const QImage& image = picture->Image();
    const kv::TgPlotDataView& view = *f.plot.GetDataView(0);
    const int x = view.PositionPercentToPixelsX(40), y = view.PositionPercentToPixelsY(32);
    // The pointers in the channel's colour across the data view, the hint box in the info colours.
    EXPECT_EQ(QColor(image.pixel(x, view.DrawRect().Top + 3)), QColor(Qt::green));
    EXPECT_EQ(QColor(image.pixel(view.DrawRect().Right - 3, y)), QColor(Qt::green));
    const kv::TRect hint = f.cursor->HintRect();
    EXPECT_EQ(hint.Left, x + 5);
    EXPECT_EQ(QColor(image.pixel(hint.Right - 3, hint.Top + 2)), CursorQColor(kv::clInfoBk));
    EXPECT_EQ(QColor(image.pixel(hint.Left, (hint.Top + hint.Bottom) / 2)), QColor(Qt::green));

    // The plot's mouse routing: the pointer is grabbed with the hand, dragged, and the release on it is
    // a click of the cursor.
    std::vector<std::string> events;
    f.plot.OnClickDataCursor = [&](kv::TObject*, int index) {
        events.push_back("click " + std::to_string(index));
    };
    EXPECT_EQ(f.cursor->GetMouseCursor({x, 100}), kv::crHandPoint);
    f.plot.OnGetMouseCursorDataCursor = [](kv::TObject*, int, kv::TCursor& cursor) { cursor = kv::crCross; };
    EXPECT_EQ(f.cursor->GetMouseCursor({x, 100}), kv::crCross);
    const int grabY = view.PositionPercentToPixelsY(80);
    f.plot.gMouseDown(kv::TMouseButton::mbLeft, {}, x + 2, grabY);
    f.plot.gMouseMove(kv::TShiftState{kv::TShiftItem::ssLeft}, x + 42, grabY);
    f.Paint(); // the repaint the move asked for, off screen
    f.plot.gMouseUp(kv::TMouseButton::mbLeft, {}, x + 42, grabY);
    EXPECT_NEAR(f.cursor->Pointer1Position(), view.PixelsXToPositionPercent(x + 40), 1e-9);
    EXPECT_EQ(events, std::vector<std::string>{"click 0"});

    // Two pointers: a dotted line joins them through the middle of the hint between them.
    f.cursor->SetStyle(TgPlotDataCursorStyle::ipcsDeltaX);
    f.cursor->SetPointer1Position(20);
    f.cursor->SetPointer2Position(70);
    picture = f.Paint();
    if (const char* dir = std::getenv("KV_PLOT_PNG_DIR"))
        picture->Image().save(QString::fromStdString(std::string(dir) + "/datacursor-deltax.png"));
    const kv::TRect between = f.cursor->HintRect();
    const int midY = (between.Top + between.Bottom) / 2;
    int dots = 0;
    for (int px = view.PositionPercentToPixelsX(20) + 6; px < between.Left - 1; ++px)
        dots += QColor(picture->Image().pixel(px, midY)) == QColor(Qt::green);
    EXPECT_GT(dots, 3);
    EXPECT_LT(dots, between.Left - view.PositionPercentToPixelsX(20) - 8);
}

TEST(gPlotDataCursor, ToolBarCursorButtonShowsAndSelectsTheCursor) {
    XYCursorPlot f;
    f.cursor->SetVisible(false);
    f.plot.GetToolBar(0)->SetVisible(true);
    f.plot.GetToolBar(0)->DoButtonClickCursor();
    EXPECT_TRUE(f.cursor->Visible());
    EXPECT_TRUE(f.cursor->UserSelected());
    EXPECT_TRUE(f.plot.GetChannel(0)->UserSelected()) << "the cursor's channel goes with it";
    f.Paint();
    EXPECT_TRUE(f.cursor->HintShowing());
    f.plot.GetToolBar(0)->DoButtonClickCursor();
    EXPECT_FALSE(f.cursor->Visible());
    f.Paint();
    EXPECT_FALSE(f.cursor->HintShowing());
    EXPECT_FALSE(f.cursor->HitTest((f.cursor->HintRect().Left + f.cursor->HintRect().Right) / 2,
                                   (f.cursor->HintRect().Top + f.cursor->HintRect().Bottom) / 2));
}
