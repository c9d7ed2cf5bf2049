#include "plot/gPlotComponent.h"

#include "plot/gClasses.h"
#include "plot/gXYPlot.h"
#include "tests/plot/PlotMainWindowSetup.h"
#include "tests/support/VirtualClock.h"

#include "platform/gui/StdButtons.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QKeyEvent>
#include <QWidget>

#include <memory>

namespace kvtest {
using namespace kv;

namespace {

// A plot object with a rectangle of its own that writes down the input it receives and offers a hint.
class InputProbe : public TgPlotManagerObject {
    KV_CLASS(InputProbe)
public:
    InputProbe(TgPlotComponent& plot, TRect r, std::string hintText)
        : TgPlotManagerObject(
              &plot, [&plot](TObject* s) { plot.Master()->NotificationChange(s); },
              [&plot](TObject* s) { plot.Master()->NotificationInsert(s); },
              [&plot](TObject* s) { plot.Master()->NotificationRemove(s); },
              [&plot](TObject* s) { plot.Master()->NotificationRename(s); }),
          rect(r), hint(std::move(hintText)) {
        DoInsert();
    }
    ~InputProbe() override { NotifyRemove(); }

    bool gMouseHitTest(const TgPlotMouseData& d) override {
        return d.X >= rect.Left && d.X < rect.Right && d.Y >= rect.Top && d.Y < rect.Bottom;
    }
    TgPlotObject* GetMouseOverObject(int x, int y) override {
        return button && x < rect.Left + 5 ? button.get() : TgPlotManagerObject::GetMouseOverObject(x, y);
    }
    void DoMouseHint(const TgPlotMouseData&, TgHintData& h) override {
        h.Text = hint;
        h.Left = rect.Left;
        h.Top = rect.Top;
        h.Width = 60;
        h.Height = 16;
    }
    void DoMouseLeft(const TgPlotMouseData& d) override { Note("left", d); }
    void DoMouseRight(const TgPlotMouseData& d) override { Note("right", d); }
    void DoMouseMove(const TgPlotMouseData& d) override { Note("drag", d); }
    void DoMouseUp(const TgPlotMouseData& d) override { Note("up", d); }
    bool DoMouseWheel(int delta, TShiftState, int, int) override {
        log.push_back("wheel " + std::to_string(delta));
        return true;
    }
    void DoMouseNotOver() override { log.push_back("not over"); }
    void gKeyDown(std::uint16_t& key, TShiftState, TPopupMenu*) override {
        log.push_back("key " + std::to_string(key));
    }
    void Note(const char* what, const TgPlotMouseData& d) {
        log.push_back(std::string(what) + " " + std::to_string(d.X) + "," + std::to_string(d.Y));
    }

    TRect rect;
    std::string hint;
    std::vector<std::string> log;
    std::unique_ptr<TgPlotButton> button;
};

// An X axis that drives its siblings, as an axis with master input does.
class InputMasterAxis : public TgPlotXAxis {
    KV_CLASS(InputMasterAxis)
public:
    using TgPlotXAxis::TgPlotXAxis;
    TgPlotComponent& Plot() const { return *dynamic_cast<TgPlotComponent*>(Owner()); }
    void DoMouseLeft(const TgPlotMouseData& d) override {
        log.push_back("left");
        if (failLeft)
            throw EKvError("axis failed");
        Plot().DoMasterAxisMouseLeft(this, d);
    }
    void DoMouseMove(const TgPlotMouseData& d) override {
        log.push_back("move");
        Plot().DoMasterAxisMouseMove(this, d);
    }
    void DoMouseUp(const TgPlotMouseData& d) override {
        log.push_back("up");
        Plot().DoMasterAxisMouseUp(this, d);
    }
    bool DoMouseWheel(int delta, TShiftState shift, int x, int y) override {
        log.push_back("wheel");
        Plot().DoMasterAxisMouseWheel(this, delta, shift, x, y);
        return true;
    }
    void gKeyDown(std::uint16_t& key, TShiftState shift, TPopupMenu*) override {
        log.push_back("key");
        Plot().DoMasterAxisKeyDown(this, key, shift);
    }
    std::vector<std::string> log;
    bool failLeft = false;
};

class PlotInput : public ::testing::Test {
protected:
    void SetUp() override { TScheduler::SetDefault(&clock); }
    void TearDown() override { TScheduler::SetDefault(nullptr); }

    static TShiftState Held(TShiftItem item) { return TShiftState{item}; }

    TVirtualClock clock;
};

const TShiftState kNoKeys{};

} // namespace

KV_REGISTER_CLASS(InputProbe, TgPlotManagerObject, b) {}
KV_REGISTER_CLASS(InputMasterAxis, TgPlotXAxis, b) {}

TEST_F(PlotInput, APlotOfDisabledOrUnfocusableObjectsIgnoresTheMouse) {
    TgXYPlot plot(nullptr);
    SetUpMainWindowPlot(plot);
    for (int i = 0; i < plot.ChannelCount(); ++i)
        plot.GetChannel(i)->SetCanFocus(false);
    plot.GetXYChannel(0)->AddXY(-50, -50);
    plot.ReCalcLayout();
    std::vector<std::string> events;
    const auto note = [&](const char* what) {
        return [&events, what](auto&&...) { events.push_back(what); };
    };
    plot.OnXAxisMinSpanChange = note("x range");
    plot.OnYAxisMinSpanChange = note("y range");
    plot.OnClickXAxis = note("click x");
    plot.OnGotFocusDataView = note("focus view");
    plot.OnGotFocusChannel = note("focus channel");
    plot.OnPopupMenuDataView = note("popup view");
    plot.OnBeforeZoomBox = note("zoom");
    const TRect dv = plot.GetDataView(0)->DrawRect();
    const TRect x = plot.GetXAxis(0)->DrawRect(), y = plot.GetYAxis(0)->DrawRect();
    const std::pair<int, int> points[] = {
        {(dv.Left + dv.Right) / 2, (dv.Top + dv.Bottom) / 2},
        {(x.Left + x.Right) / 2, x.Top + 5},
        {y.Left + 5, (y.Top + y.Bottom) / 2},
        {plot.GetXAxis(0)->PositionToPixels(-50), plot.GetYAxis(0)->PositionToPixels(-50)}};
    for (auto [px, py] : points)
        for (TMouseButton button : {TMouseButton::mbLeft, TMouseButton::mbRight}) {
            const TShiftState held =
                Held(button == TMouseButton::mbLeft ? TShiftItem::ssLeft : TShiftItem::ssRight);
            plot.gMouseDown(button, held, px, py);
            plot.gMouseMove(held, px + 30, py + 20);
            plot.gMouseUp(button, kNoKeys, px + 30, py + 20);
            plot.gMouseMove(kNoKeys, px, py);
            EXPECT_TRUE(plot.gMouseWheel(120, kNoKeys, {px, py}));
            plot.gDblClick();
            plot.gMouseDown(button, held, px, py);
            plot.gMouseUp(button, kNoKeys, px, py);
        }
    EXPECT_EQ(events, std::vector<std::string>{});
    EXPECT_EQ(plot.GetXAxis(0)->Min(), -100);
    EXPECT_EQ(plot.GetYAxis(0)->Span(), 120);
    for (int i = 0; i < plot.PlotObjectManager()->Count(); ++i)
        EXPECT_FALSE(plot.PlotObjectManager()->GetItem(i)->UserSelected()) << i;
    EXPECT_EQ(plot.MouseDownObject(), nullptr);
    EXPECT_FALSE(plot.HintData().Visible);
}

TEST_F(PlotInput, ARightPressSelectsTheObjectAloneAndCaptures) {
    TgXYPlot plot(nullptr);
    auto a = std::make_unique<InputProbe>(plot, TRect{10, 10, 50, 50}, "");
    auto b = std::make_unique<InputProbe>(plot, TRect{60, 10, 100, 50}, "");
    b->SetUserSelected(true);
    plot.gMouseDown(TMouseButton::mbRight, Held(TShiftItem::ssRight), 20, 20);
    EXPECT_TRUE(a->UserSelected());
    EXPECT_FALSE(b->UserSelected());
    EXPECT_TRUE(plot.MouseCaptured());
    EXPECT_EQ(a->log, std::vector<std::string>{"right 20,20"});
    EXPECT_TRUE(b->log.empty());
    EXPECT_EQ(plot.MouseDownObject(), a.get());
    plot.gMouseUp(TMouseButton::mbRight, kNoKeys, 20, 20);
    EXPECT_EQ(plot.LastMouseClickObject(), a.get());

    // A left press goes to every selected object; a press on empty space clears the selection.
    b->SetUserSelected(true);
    a->log.clear();
    plot.gMouseDown(TMouseButton::mbLeft, Held(TShiftItem::ssLeft).Include(TShiftItem::ssShift), 20, 20);
    EXPECT_EQ(a->log, std::vector<std::string>{"left 20,20"});
    EXPECT_EQ(b->log, std::vector<std::string>{"left 20,20"});
    plot.gMouseUp(TMouseButton::mbLeft, kNoKeys, 20, 20);
    plot.gMouseDown(TMouseButton::mbLeft, Held(TShiftItem::ssLeft), 300, 150);
    EXPECT_EQ(plot.MouseDownObject(), nullptr);
    EXPECT_FALSE(a->UserSelected() || b->UserSelected());
}

TEST_F(PlotInput, ACtrlClickOnASelectedAxisDeselectsItAndHoldsMovesTillTheRelease) {
    TgXYPlot plot(nullptr);
    plot.ReCalcLayout();
    TgPlotAxis* axis = plot.GetXAxis(0);
    auto probe = std::make_unique<InputProbe>(plot, TRect{200, 100, 260, 120}, "probe");
    const TRect r = axis->DrawRect();
    const int ax = (r.Left + r.Right) / 2, ay = r.Top + 3;
    plot.gMouseDown(TMouseButton::mbLeft, Held(TShiftItem::ssLeft), ax, ay);
    plot.gMouseUp(TMouseButton::mbLeft, kNoKeys, ax, ay);
    ASSERT_TRUE(axis->UserSelected());
    plot.gMouseDown(TMouseButton::mbLeft, Held(TShiftItem::ssLeft).Include(TShiftItem::ssCtrl), ax, ay);
    EXPECT_FALSE(axis->UserSelected());
    EXPECT_TRUE(plot.SelectingActive());
    plot.gMouseMove(kNoKeys, 210, 110);
    EXPECT_EQ(plot.LastMouseOverObject(), nullptr) << "moves wait for the release";
    EXPECT_TRUE(probe->log.empty());
    plot.gMouseUp(TMouseButton::mbLeft, kNoKeys, 210, 110);
    EXPECT_FALSE(plot.SelectingActive());
    plot.gMouseMove(kNoKeys, 210, 110);
    EXPECT_EQ(plot.LastMouseOverObject(), probe.get());
}

TEST_F(PlotInput, AHintShowsAfterThePauseAndHidesAfterTheHidePause) {
    TgXYPlot plot(nullptr);
    plot.SetHintsPause(500);
    plot.SetHintsHidePause(2500);
    plot.ReCalcLayout();
    const TRect dv = plot.GetDataView(0)->DrawRect();
    auto one = std::make_unique<InputProbe>(plot, TRect{dv.Left + 10, dv.Top + 10, dv.Left + 80, dv.Top + 40},
                                            "one");
    auto two = std::make_unique<InputProbe>(
        plot, TRect{dv.Left + 90, dv.Top + 10, dv.Left + 160, dv.Top + 40}, "two");
    const int x = dv.Left + 20, y = dv.Top + 20;

    plot.gMouseMove(kNoKeys, x, y);
    EXPECT_TRUE(plot.GetTimerRunning());
    clock.Advance(499);
    EXPECT_FALSE(plot.HintData().Visible);
    clock.Advance(1);
    ASSERT_TRUE(plot.HintData().Visible);
    EXPECT_EQ(plot.HintData().Text, "one");
    EXPECT_TRUE(plot.MouseCaptured());

    // Drawn over everything in the tooltip colours.
    TBitmap picture(plot.Width(), plot.Height());
    plot.gPaint(*picture.Canvas());
    TBitmap tip(1, 1);
    tip.Canvas()->Brush()->SetColor(clInfoBk);
    tip.Canvas()->FillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(QColor(picture.Image().pixel(dv.Left + 11, dv.Top + 11)), QColor(tip.Image().pixel(0, 0)));
    EXPECT_TRUE(plot.HintShowing());

    clock.Advance(2499);
    EXPECT_TRUE(plot.HintData().Visible);
    clock.Advance(1);
    EXPECT_FALSE(plot.HintData().Visible);
    EXPECT_FALSE(plot.MouseCaptured());

    // Resting near the same point on the same object does not bring it back.
    plot.gMouseMove(kNoKeys, x + 2, y + 1);
    EXPECT_FALSE(plot.GetTimerRunning());
    clock.Advance(3000);
    EXPECT_FALSE(plot.HintData().Visible);

    // Off every hint, back on, shown; a move onto another object with a hint hides it at once.
    plot.gMouseMove(kNoKeys, dv.Left + 85, dv.Top + 60);
    plot.gMouseMove(kNoKeys, x, y);
    clock.Advance(500);
    ASSERT_TRUE(plot.HintData().Visible);
    plot.gMouseMove(kNoKeys, dv.Left + 100, dv.Top + 20);
    EXPECT_FALSE(plot.HintData().Visible);
    EXPECT_FALSE(plot.GetTimerRunning());
    plot.gMouseMove(kNoKeys, dv.Left + 101, dv.Top + 20);
    clock.Advance(500);
    EXPECT_EQ(plot.HintData().Text, "two");
    EXPECT_TRUE(plot.HintData().Visible);

    // A press hides it.
    plot.gMouseDown(TMouseButton::mbLeft, Held(TShiftItem::ssLeft), dv.Left + 101, dv.Top + 20);
    EXPECT_FALSE(plot.HintData().Visible);
}

TEST_F(PlotInput, LosingTheCaptureHidesTheHintAndTellsTheObjectUnderTheMouse) {
    TgXYPlot plot(nullptr);
    auto probe = std::make_unique<InputProbe>(plot, TRect{10, 10, 80, 40}, "probe");
    plot.gMouseMove(kNoKeys, 20, 20);
    clock.Advance(plot.HintsPause());
    ASSERT_TRUE(plot.HintData().Visible);
    plot.HandleCaptureChanged(&plot);
    EXPECT_TRUE(plot.HintData().Visible) << "its own capture changes nothing";
    TButton other(nullptr);
    plot.HandleCaptureChanged(&other);
    EXPECT_FALSE(plot.HintData().Visible);
    EXPECT_TRUE(plot.JustReleasedCapture());
    EXPECT_EQ(probe->log.back(), "not over");
    EXPECT_EQ(plot.LastMouseOverObject(), nullptr);
}

TEST_F(PlotInput, ArrowKeysAndTheWheelReachTheSelectedObjects) {
    TgXYPlot plot(nullptr);
    auto probe = std::make_unique<InputProbe>(plot, TRect{10, 10, 80, 40}, "");
    auto other = std::make_unique<InputProbe>(plot, TRect{90, 10, 120, 40}, "");
    probe->SetUserSelected(true);
    for (std::uint16_t key : {37, 38, 39, 40, 9, 36}) {
        std::uint16_t code = key;
        std::int32_t want = 0;
        plot.gWantSpecialKey(code, want);
        EXPECT_EQ(want, key >= 37 && key <= 40 ? 1 : 0) << key;
    }
    std::uint16_t left = 37;
    plot.gKeyDown(left, kNoKeys);
    EXPECT_TRUE(plot.gMouseWheel(-120, kNoKeys, {5, 5}));
    EXPECT_EQ(probe->log, (std::vector<std::string>{"key 37", "wheel -120"}));
    EXPECT_TRUE(other->log.empty());
}

// The keyboard's menu key, as the plot's window receives it, opens the focused object's context menu
// like Shift+F10; a plain F10 does not.
TEST_F(PlotInput, TheMenuKeyOpensTheFocusedObjectsContextMenu) {
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int popups;
    };
    for (const Case& c : {Case{Qt::Key_Menu, Qt::NoModifier, 1}, Case{Qt::Key_F10, Qt::ShiftModifier, 1},
                          Case{Qt::Key_F10, Qt::NoModifier, 0}}) {
        TgXYPlot plot(nullptr);
        plot.GetDataView(0)->SetUserSelected(true);
        int popups = 0;
        plot.OnPopupMenuDataView = [&](TObject*, int, bool& cancel, int, int) {
            ++popups;
            cancel = true; // the test shows no menu
        };
        QKeyEvent press(QEvent::KeyPress, c.key, c.mods);
        QApplication::sendEvent(plot.Widget(), &press);
        EXPECT_EQ(popups, c.popups) << c.key;
    }
}

TEST_F(PlotInput, AReleaseThatNeverCameIsFinishedByTheNextMoveOnce) {
    TgXYPlot plot(nullptr);
    auto probe = std::make_unique<InputProbe>(plot, TRect{10, 10, 80, 40}, "probe");
    probe->SetCanFocus(false); // the press goes to it alone
    plot.gMouseDown(TMouseButton::mbLeft, Held(TShiftItem::ssLeft), 20, 20);
    plot.gMouseMove(kNoKeys, 30, 30);
    plot.gMouseMove(kNoKeys, 31, 30);
    EXPECT_EQ(std::count(probe->log.begin(), probe->log.end(), "up 30,30"), 1);
    EXPECT_EQ(std::count(probe->log.begin(), probe->log.end(), "up 31,30"), 0);
    EXPECT_FALSE(plot.MouseDownActive());
    EXPECT_TRUE(plot.GetTimerRunning()) << "hints work again";
}

TEST_F(PlotInput, ARemovedObjectIsForgottenBeforeItsRemoveEventFires) {
    TgXYPlot plot(nullptr);
    plot.ReCalcLayout();
    TgPlotAxis* axis = plot.GetXAxis(0);
    const TRect r = axis->DrawRect();
    const int ax = (r.Left + r.Right) / 2, ay = r.Top + 3;
    plot.gMouseDown(TMouseButton::mbLeft, Held(TShiftItem::ssLeft), ax, ay);
    plot.gMouseUp(TMouseButton::mbLeft, kNoKeys, ax, ay);
    plot.gMouseMove(kNoKeys, ax, ay);
    plot.gMouseDown(TMouseButton::mbLeft, Held(TShiftItem::ssLeft), ax, ay);
    ASSERT_EQ(plot.MouseDownObject(), axis);
    ASSERT_EQ(plot.LastMouseOverObject(), axis);
    int removed = 0;
    plot.OnRemoveXAxis = [&](TObject*, int index) {
        EXPECT_EQ(index, 0);
        EXPECT_EQ(plot.MouseDownObject(), nullptr);
        EXPECT_EQ(plot.LastMouseOverObject(), nullptr);
        EXPECT_EQ(plot.LastMouseClickObject(), nullptr);
        ++removed;
    };
    plot.DeleteXAxis(0);
    EXPECT_EQ(removed, 1);
    plot.gMouseUp(TMouseButton::mbLeft, kNoKeys, ax, ay);
    plot.gMouseMove(kNoKeys, ax, ay + 1);

    // A button found in an object goes with it.
    auto probe = std::make_unique<InputProbe>(plot, TRect{300, 60, 380, 90}, "");
    probe->button = std::make_unique<TgPlotButton>(&plot);
    plot.gMouseDown(TMouseButton::mbLeft, Held(TShiftItem::ssLeft), 302, 70);
    ASSERT_EQ(plot.MouseDownObject(), probe->button.get());
    probe.reset();
    EXPECT_EQ(plot.MouseDownObject(), nullptr);
    plot.gMouseUp(TMouseButton::mbLeft, kNoKeys, 302, 70);
    EXPECT_EQ(plot.LastMouseClickObject(), nullptr);
}

TEST_F(PlotInput, AMasterAxisDrivesItsSiblingsOnceWithoutEcho) {
    TgXYPlot plot(nullptr);
    gRegisterPlotObjectClassOf<InputMasterAxis>("TgPlotXAxis");
    plot.RemoveAllXAxes();
    plot.AddXAxis();
    plot.AddXAxis();
    plot.AddXAxis();
    gRegisterPlotAxisClasses();
    std::vector<InputMasterAxis*> axes;
    for (int i = 0; i < 3; ++i)
        axes.push_back(dynamic_cast<InputMasterAxis*>(plot.GetXAxis(i)));
    ASSERT_TRUE(axes[0] && axes[1] && axes[2]);
    TgPlotMouseData d;
    std::uint16_t key = 38;
    const std::vector<std::pair<std::string, std::function<void()>>> inputs = {
        {"left", [&] { axes[0]->DoMouseLeft(d); }},
        {"move", [&] { axes[0]->DoMouseMove(d); }},
        {"up", [&] { axes[0]->DoMouseUp(d); }},
        {"wheel", [&] { axes[0]->DoMouseWheel(120, kNoKeys, 1, 1); }},
        {"key", [&] { axes[0]->gKeyDown(key, kNoKeys, nullptr); }},
    };
    for (const auto& [what, input] : inputs) {
        for (InputMasterAxis* a : axes)
            a->log.clear();
        input();
        for (InputMasterAxis* a : axes)
            EXPECT_EQ(a->log, std::vector<std::string>{what}) << what << " reaches every X axis once";
    }

    // A failing sibling does not leave the forwarding blocked.
    axes[2]->failLeft = true;
    EXPECT_THROW(axes[0]->DoMouseLeft(d), EKvError);
    axes[2]->failLeft = false;
    for (InputMasterAxis* a : axes)
        a->log.clear();
    axes[1]->DoMouseLeft(d);
    EXPECT_EQ(axes[0]->log, std::vector<std::string>{"left"});
}

} // namespace kvtest
