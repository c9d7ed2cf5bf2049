#include "plot/gPlotDataCursor.h"

#include "plot/gPropStream.h"
#include "plot/gXYPlotChannel.h"

#include "tests/plot/XYTestPlot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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
    for (const char* left : {"MenuUserCanChangeOptions", "SnapToDataPoint", "UseCachedInterpolatedData"})
        EXPECT_FALSE(has(left)) << left;
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
