#include "plot/gPlotObjects.h"

#include "plot/gClasses.h"

#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace kvtest {

using namespace kv;

namespace {

// The plot side of the objects: records what they report.
class THost : public TComponent, public TgPlotObjectHost {
public:
    THost() : TComponent(nullptr) {}
    void DoObjectMouseDown(TgPlotObject*, TMouseButton, TShiftState, int, int) override {
        log.push_back("down");
    }
    void DoObjectMouseMove(TgPlotObject*, TShiftState, int, int) override { log.push_back("move"); }
    void DoObjectMouseUp(TgPlotObject*, TMouseButton, TShiftState, int, int) override { log.push_back("up"); }
    void DoObjectMouseWheel(TgPlotObject*, int, TShiftState, TPoint) override { log.push_back("wheel"); }
    void DoObjectPopupMenu(TgPlotObject*, bool& handled, int, int) override {
        log.push_back("popup?");
        handled = handlePopup;
    }
    void DoObjectGotFocus(TgPlotObject*) override { log.push_back("got focus"); }
    void DoObjectLostFocus(TgPlotObject*) override { log.push_back("lost focus"); }
    std::string FindReplacement(const std::string& text) override {
        return text == "Edit..." ? "Bearbeiten..." : text;
    }

    std::vector<std::string> log;
    bool handlePopup = false;
};

class TTestLayoutObject : public TgPlotLayoutObject {
public:
    TTestLayoutObject(THost* host, std::vector<std::string>& log)
        : TgPlotLayoutObject(
              host, [&log](TObject*) { log.push_back("change"); },
              [&log](TObject*) { log.push_back("insert"); }, [&log](TObject*) { log.push_back("remove"); },
              [&log](TObject*) { log.push_back("rename"); }) {}
    ~TTestLayoutObject() override { OnRemove = nullptr; }
    void ShowPopup(TPopupMenu* menu, int x, int y) override {
        shownAt.push_back({x, y});
        items = menu->Items()->Count();
    }
    void BuildPopupMenu(TPopupMenu* menu) override {
        TgPlotLayoutObject::BuildPopupMenu(menu);
        AddEditMenuItem(menu);
    }
    std::vector<TPoint> shownAt;
    int items = -1;
};

struct Fixture {
    THost host;
    std::vector<std::string> log;
    TTestLayoutObject object{&host, log};
    TPopupMenu popup{&host};
};

TEST(gPlotLayoutObject, PercentSettersKeepAGapOfOne) {
    struct Case {
        double start, stop;
        bool setStart;
        double value;
        double wantStart, wantStop;
    };
    for (const Case& c : std::vector<Case>{
             {0, 100, true, 150, 99, 100},
             {0, 100, false, -5, 0, 1},
             {0, 40.5, true, 40, 40, 41},
             {20, 30, true, 10, 10, 30},
             {60, 70, false, 60.5, 59.5, 60.5},
         }) {
        Fixture f;
        f.object.SetStartStopPercent(c.start, c.stop);
        if (c.setStart)
            f.object.SetStartPercent(c.value);
        else
            f.object.SetStopPercent(c.value);
        EXPECT_EQ(f.object.StartPercent(), c.wantStart) << c.value;
        EXPECT_EQ(f.object.StopPercent(), c.wantStop) << c.value;
    }
}

TEST(gPlotObject, RenameNotifiesBeforeTheChange) {
    Fixture f;
    f.object.SetName("Channel 1");
    f.log.clear();
    f.object.SetName("Channel 1");
    EXPECT_TRUE(f.log.empty());
    f.object.SetName("Channel 2");
    EXPECT_EQ(f.log, (std::vector<std::string>{"rename", "change"}));
    EXPECT_EQ(f.object.NameOld(), "Channel 1");
}

TEST(gPlotObject, DisablingDeselectsAndForgetsThePress) {
    Fixture f;
    f.object.SetDrawRect({0, 0, 50, 50});
    f.object.SetUserSelected(true);
    f.object.gMouseDown(TMouseButton::mbLeft, {}, 10, 10, 0, 0, &f.popup);
    ASSERT_TRUE(f.object.MouseDown());
    f.host.log.clear();
    f.log.clear();
    f.object.SetEnabled(false);
    EXPECT_FALSE(f.object.UserSelected());
    EXPECT_FALSE(f.object.MouseDown());
    EXPECT_EQ(f.host.log, (std::vector<std::string>{"lost focus"}));
    EXPECT_EQ(f.log, (std::vector<std::string>{"change"}));
    f.object.gMouseDown(TMouseButton::mbLeft, {}, 10, 10, 0, 0, &f.popup);
    EXPECT_FALSE(f.object.MouseDown()) << "a disabled object takes no press";
}

TEST(gPlotObject, RightPressShowsThePopupOnlyWhenEnabled) {
    for (bool popupEnabled : {true, false}) {
        Fixture f;
        f.object.SetDrawRect({10, 10, 60, 40});
        f.object.SetPopupEnabled(popupEnabled);
        f.object.gMouseDown(TMouseButton::mbRight, {}, 20, 20, 120, 220, &f.popup);
        f.object.gMouseUp(TMouseButton::mbRight, {}, 20, 20, 120, 220, false, &f.popup);
        EXPECT_EQ(f.host.log[0], "down");
        EXPECT_EQ(f.host.log.back(), "up");
        if (popupEnabled) {
            ASSERT_EQ(f.object.shownAt.size(), 1u);
            EXPECT_EQ(f.object.shownAt[0], (TPoint{120, 220}));
            EXPECT_EQ(f.object.items, 1);
            EXPECT_EQ(f.popup.Items()->Items(0)->Caption(), "Bearbeiten...");
        } else {
            EXPECT_TRUE(f.object.shownAt.empty());
        }
    }
}

TEST(gPlotObject, ReleaseGoesToThePressedObjectWithoutAHit) {
    Fixture f;
    f.object.SetDrawRect({0, 0, 10, 10});
    TgHintData hint;
    f.object.gMouseMove(hint, {}, 50, 50, 0, 0, false);
    EXPECT_TRUE(f.host.log.empty()) << "no hit, no move event";
    f.object.gMouseDown(TMouseButton::mbLeft, {}, 5, 5, 0, 0, &f.popup);
    f.object.gMouseUp(TMouseButton::mbLeft, {}, 50, 50, 0, 0, false, &f.popup);
    EXPECT_EQ(f.host.log, (std::vector<std::string>{"down", "up"}));
    EXPECT_TRUE(f.object.HitTest(9, 9));
    EXPECT_FALSE(f.object.HitTest(10, 9)) << "the right and bottom edges are outside";
    EXPECT_FALSE(f.object.HitTest(9, 10));
}

TEST(gPlotObject, ShiftF10OpensThePopupAtTheCentre) {
    struct Case {
        std::uint16_t key;
        TShiftState shift;
        bool shown;
    };
    for (const Case& c : std::vector<Case>{{0x79, TShiftState{TShiftItem::ssShift}, true},
                                           {0x79, TShiftState{}, false},
                                           {0x5D, TShiftState{}, true},
                                           {'A', TShiftState{TShiftItem::ssShift}, false}}) {
        Fixture f;
        f.object.SetDrawRect({10, 20, 50, 60});
        std::uint16_t key = c.key;
        f.object.gKeyDown(key, c.shift, &f.popup);
        ASSERT_EQ(f.object.shownAt.size(), c.shown ? 1u : 0u) << c.key;
        if (c.shown) {
            EXPECT_EQ(f.object.shownAt[0], (TPoint{30, 40}));
        }
    }
    Fixture f;
    f.host.handlePopup = true;
    std::uint16_t key = 0x5D;
    f.object.gKeyDown(key, {}, &f.popup);
    EXPECT_TRUE(f.object.shownAt.empty()) << "the plot handled it";
}

TEST(gPlotObject, ManagedObjectsRefuseMissingCallbacks) {
    THost host;
    TNotifyEvent n = [](TObject*) {};
    struct Case {
        TComponent* owner;
        TNotifyEvent change, insert, remove, rename;
        const char* error;
    };
    for (const Case& c : std::vector<Case>{
             {nullptr, nullptr, nullptr, nullptr, nullptr, "Owner must be assigned"},
             {&host, nullptr, nullptr, nullptr, nullptr, "OnChange event handler can not be null"},
             {&host, n, nullptr, nullptr, nullptr, "OnInsert event handler can not be null"},
             {&host, n, n, nullptr, nullptr, "OnRemove event handler can not be null"},
             {&host, n, n, n, nullptr, "AOnRename event handler can not be null"},
         }) {
        std::string error;
        try {
            TgPlotManagerObject o(c.owner, c.change, c.insert, c.remove, c.rename);
        } catch (const std::exception& e) {
            error = e.what();
        }
        EXPECT_EQ(error, c.error);
    }
    TgPlotObject plain(nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(plain.Visible());
    EXPECT_EQ(plain.Layer(), 100);
}

TEST(gPlotObject, SortKeysAndDestruction) {
    Fixture f;
    f.object.SetLayer(42);
    EXPECT_EQ(f.object.GetLayerText(), "000042");
    f.object.SetZOrder(7);
    EXPECT_EQ(f.object.GetZOrderText(), "007");
    for (auto [start, text] :
         std::vector<std::pair<double, const char*>>{{12.5, "012"}, {13.5, "014"}, {0, "000"}}) {
        f.object.SetStartStopPercent(start, 100);
        EXPECT_EQ(f.object.GetStartPercentText(), std::string(text));
    }

    THost host;
    std::vector<std::string> log;
    {
        TgPlotLayoutObject o(
            &host, [&](TObject*) { log.push_back("change"); }, [&](TObject*) { log.push_back("insert"); },
            [&](TObject*) { log.push_back("remove"); }, [&](TObject*) { log.push_back("rename"); });
        o.OnLayoutChange = [&](TObject*) { log.push_back("layout"); };
        o.DoInsert();
        EXPECT_EQ(log, (std::vector<std::string>{"insert", "layout"}));
        log.clear();
    }
    EXPECT_EQ(log, (std::vector<std::string>{"remove", "layout", "change"}));

    // A concrete kind announces its removal while it is still of its kind, and only once.
    struct TKind : TgPlotLayoutObject {
        using TgPlotLayoutObject::TgPlotLayoutObject;
        ~TKind() override { NotifyRemove(); }
    };
    log.clear();
    const TKind* seen = nullptr;
    {
        TKind k(
            &host, [](TObject*) {}, [](TObject*) {}, [&](TObject* s) { seen = dynamic_cast<TKind*>(s); },
            [](TObject*) {});
        k.OnLayoutChange = [&](TObject*) { log.push_back("layout"); };
    }
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"layout"}));
}

class gPlotButton : public ::testing::Test {
protected:
    void SetUp() override { TScheduler::SetDefault(&clock); }
    void TearDown() override { TScheduler::SetDefault(nullptr); }
    TVirtualClock clock;
};

TEST_F(gPlotButton, HeldRepeatButtonClicksAt500Then50AndOnRelease) {
    THost host;
    TgPlotButton button(&host);
    button.SetDrawRect({0, 0, 16, 16});
    button.SetTimerEnabled(true);
    std::vector<uint64_t> clicks;
    button.OnClick = [&](TObject*) { clicks.push_back(clock.Ms()); };
    button.gMouseDown(TMouseButton::mbLeft, {}, 5, 5, 0, 0, nullptr);
    clock.Advance(620);
    button.gMouseUp(TMouseButton::mbLeft, {}, 5, 5, 0, 0, false, nullptr);
    EXPECT_EQ(clicks, (std::vector<uint64_t>{500, 550, 600, 620}));
    EXPECT_FALSE(button.TimerRunning());
    EXPECT_TRUE(host.log.empty() || host.log.back() != "up") << "the button ends its own press";

    // Released outside: no click; a group button reports its group click first.
    clicks.clear();
    std::vector<std::string> order;
    button.SetGroupIndex(2);
    button.OnGroupClick = [&](TObject*) { order.push_back("group"); };
    button.OnClick = [&](TObject*) { order.push_back("click"); };
    button.gMouseDown(TMouseButton::mbLeft, {}, 5, 5, 0, 0, nullptr);
    button.gMouseUp(TMouseButton::mbLeft, {}, 16, 5, 0, 0, false, nullptr);
    EXPECT_TRUE(order.empty());
    button.gMouseDown(TMouseButton::mbLeft, {}, 5, 5, 0, 0, nullptr);
    button.gMouseUp(TMouseButton::mbLeft, {}, 15, 15, 0, 0, false, nullptr);
    EXPECT_EQ(order, (std::vector<std::string>{"group", "click"}));

    button.gMouseDown(TMouseButton::mbLeft, {}, 5, 5, 0, 0, nullptr);
    button.SetEnabled(false);
    EXPECT_FALSE(button.TimerRunning()) << "disabling stops the repeat";
}

TEST_F(gPlotButton, DownChangeInvalidatesThenReports) {
    THost host;
    TgPlotButton button(&host);
    std::vector<std::string> order;
    button.OnInvalidate = [&](TObject*) { order.push_back("invalidate"); };
    button.OnDownChange = [&](TObject*) { order.push_back("down"); };
    button.SetDown(true);
    button.SetDown(true);
    EXPECT_EQ(order, (std::vector<std::string>{"invalidate", "down"}));
}

} // namespace
} // namespace kvtest
