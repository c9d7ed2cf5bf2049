// The user's input on the axes of a real XY plot: dragging, the wheel and the keys scroll or zoom, the
// release and the keys report the finished change, a master axis drives the others of its kind, and the
// cursor, popup menu and selection follow the axis's mode and state.

#include "plot/gPlotAxis.h"

#include "plot/gDraw.h"
#include "plot/gXYPlot.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace kvtest {
using namespace kv;

namespace {

const TShiftState kAxisInNoKeys{};
const TShiftState kAxisInLeft{TShiftItem::ssLeft};

// Holds Ctrl for as long as it lives, as the axes read it.
struct AxisInCtrlHeld {
    explicit AxisInCtrlHeld(bool held) { gSetKeyStateForTests(-1, held ? 1 : 0); }
    ~AxisInCtrlHeld() { gSetKeyStateForTests(-1, -1); }
    AxisInCtrlHeld(const AxisInCtrlHeld&) = delete;
    AxisInCtrlHeld& operator=(const AxisInCtrlHeld&) = delete;
};

class AxisInput : public ::testing::Test {
protected:
    void SetUp() override {
        TScheduler::SetDefault(&clock);
        plot.ReCalcLayout();
        for (const char* kind : {"x", "y"}) {
            const bool x = *kind == 'x';
            auto note = [this, kind](const char* what) {
                return [this, kind, what](TObject*, int i, auto&&...) {
                    events.push_back(std::string(kind) + std::to_string(i) + " " + what);
                };
            };
            (x ? plot.OnXAxisMinSpanChange : plot.OnYAxisMinSpanChange) = note("range");
            (x ? plot.OnClickXAxis : plot.OnClickYAxis) = note("click");
            (x ? plot.OnDblClickXAxis : plot.OnDblClickYAxis) = note("dblclick");
            // The finished change with the range at the press and now.
            (x ? plot.OnXAxisMinSpanChangeFinished : plot.OnYAxisMinSpanChangeFinished) =
                [this, kind](TObject*, int i, double oldMin, double oldSpan, double newMin, double newSpan) {
                    char buf[128];
                    std::snprintf(buf, sizeof buf, "%s%d finished %g %g -> %g %g", kind, i, oldMin, oldSpan,
                                  newMin, newSpan);
                    events.push_back(buf);
                };
        }
    }
    void TearDown() override { TScheduler::SetDefault(nullptr); }

    // A point on the axis, halfway along its scale.
    static TPoint On(const TgPlotAxis& a) {
        const TRect& s = a.ScaleRect();
        return a.IsHorz() ? TPoint{(s.Left + s.Right) / 2, a.FocusRect().Top + 3}
                          : TPoint{a.FocusRect().Left + 3, (s.Top + s.Bottom) / 2};
    }
    static int Length(const TgPlotAxis& a) {
        const TRect& s = a.ScaleRect();
        return a.IsHorz() ? s.Right - s.Left : s.Bottom - s.Top;
    }
    // Presses on the axis, moves by a fraction of its scale (right or up for a positive one) and releases.
    void Drag(const TgPlotAxis& a, double fraction, bool dblClick = false) {
        const TPoint p = On(a);
        const int d = int(std::lround(fraction * Length(a)));
        const TPoint q = a.IsHorz() ? TPoint{p.X + d, p.Y} : TPoint{p.X, p.Y - d};
        if (dblClick)
            plot.gDblClick();
        plot.gMouseDown(TMouseButton::mbLeft, kAxisInLeft, p.X, p.Y);
        if (d != 0)
            plot.gMouseMove(kAxisInLeft, q.X, q.Y);
        plot.gMouseUp(TMouseButton::mbLeft, kAxisInNoKeys, q.X, q.Y);
    }
    // The fraction a drag of `fraction` really moves, in whole pixels.
    static double Moved(const TgPlotAxis& a, double fraction) {
        return double(std::lround(fraction * Length(a))) / Length(a);
    }

    TVirtualClock clock;
    TgXYPlot plot{nullptr};
    std::vector<std::string> events;
};

} // namespace

TEST_F(AxisInput, DragWheelAndKeysScrollOrZoomAndReportTheFinishedChange) {
    using M = TgPlotAxisMode;
    enum class Do { Drag, DblClickDrag, Wheel, Key };
    struct Case {
        const char* name;
        bool x, log, reverse;
        M mode;
        bool ctrl;
        Do what;
        double amount; // drag: fraction of the scale; wheel: delta; key: key code
        // The range the step leaves, from the fraction the drag really moved.
        std::function<std::pair<double, double>(double f)> range;
        std::vector<std::string> events; // "finished" stands for the full finished-event text
    };
    const auto scrolled = [](double by) { return [by](double f) { return std::pair{by * f * 100, 100.0}; }; };
    const auto zoomed = [](double power) {
        return [power](double f) {
            const double span = 100 / std::pow(10.0, power * f);
            return std::pair{50 - span / 2, span};
        };
    };
    const auto logZoomed = [](double power) {
        return [power](double f) {
            const double k = std::pow(10.0, power * f);
            return std::pair{1 * k, 999 / k};
        };
    };
    const auto fixed = [](double min, double span) { return [=](double) { return std::pair{min, span}; }; };
    const std::vector<std::string> dragged = {"range", "click", "finished"};
    const std::vector<std::string> keyed = {"range", "finished"};
    const Case cases[] = {
        {"drag right: the scale follows", true, false, false, M::ipamScroll, false, Do::Drag, 0.1,
         scrolled(-1), dragged},
        {"drag up a Y axis", false, false, false, M::ipamScroll, false, Do::Drag, 0.1, scrolled(-1), dragged},
        {"drag a reversed scale", true, false, true, M::ipamScroll, false, Do::Drag, 0.1, scrolled(1),
         dragged},
        {"drag with Ctrl zooms", true, false, false, M::ipamScroll, true, Do::Drag, 0.1, zoomed(0.25),
         dragged},
        {"drag left in zoom mode zooms out", true, false, false, M::ipamZoom, false, Do::Drag, -0.2,
         zoomed(0.25), dragged},
        {"drag with Ctrl in zoom mode scrolls", false, false, false, M::ipamZoom, true, Do::Drag, 0.1,
         scrolled(-1), dragged},
        {"drag a log scale in zoom mode", true, true, false, M::ipamZoom, false, Do::Drag, 0.1, logZoomed(2),
         dragged},
        {"press and release",
         true,
         false,
         false,
         M::ipamScroll,
         false,
         Do::Drag,
         0,
         fixed(0, 100),
         {"click"}},
        {"a drag after a double click",
         true,
         false,
         false,
         M::ipamScroll,
         false,
         Do::DblClickDrag,
         0.1,
         fixed(0, 100),
         {"dblclick"}},
        {"wheel notch up scrolls 5 percent",
         true,
         false,
         false,
         M::ipamScroll,
         false,
         Do::Wheel,
         120,
         fixed(5, 100),
         {"range"}},
        {"three notches count as one",
         true,
         false,
         false,
         M::ipamScroll,
         false,
         Do::Wheel,
         -360,
         fixed(-5, 100),
         {"range"}},
        {"wheel with Ctrl zooms",
         true,
         false,
         false,
         M::ipamScroll,
         true,
         Do::Wheel,
         120,
         zoomed(0.025),
         {"range"}},
        {"log wheel zoom", true, true, false, M::ipamZoom, false, Do::Wheel, 120, logZoomed(0.05), {"range"}},
        {"Page Up scrolls a span", true, false, false, M::ipamScroll, false, Do::Key, 33, fixed(100, 100),
         keyed},
        {"Home scrolls back a span", false, false, false, M::ipamScroll, false, Do::Key, 36, fixed(-100, 100),
         keyed},
        {"Right zooms in zoom mode", true, false, false, M::ipamZoom, false, Do::Key, 39, zoomed(0.01),
         keyed},
        {"Ctrl does not switch the keys", true, false, false, M::ipamScroll, true, Do::Key, 38, fixed(1, 100),
         keyed},
        {"any other key", true, false, false, M::ipamScroll, false, Do::Key, 65, fixed(0, 100), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TgPlotAxis& a = c.x ? *plot.GetXAxis(0) : *plot.GetYAxis(0);
        plot.ClearAllUserSelections();
        a.SetTrackingEnabled(true);
        a.SetReverseScale(c.reverse);
        a.SetScaleType(c.log ? TgPlotScaleType::ipstLog10 : TgPlotScaleType::ipstLinear);
        a.SetMode(c.mode);
        const double min0 = c.log ? 1 : 0, span0 = c.log ? 999 : 100;
        a.SetMinSpan(min0, span0);
        a.UpdateResumeValues();
        plot.ReCalcLayout();
        events.clear();
        {
            AxisInCtrlHeld ctrl(c.ctrl);
            switch (c.what) {
            case Do::Drag:
            case Do::DblClickDrag:
                Drag(a, c.amount, c.what == Do::DblClickDrag);
                break;
            case Do::Wheel:
                a.SetUserSelected(true);
                EXPECT_TRUE(plot.gMouseWheel(int(c.amount), kAxisInNoKeys, On(a)));
                break;
            case Do::Key: {
                a.SetUserSelected(true);
                std::uint16_t key = std::uint16_t(c.amount);
                plot.gKeyDown(key, kAxisInNoKeys);
                break;
            }
            }
        }
        const auto [min, span] = c.range(c.what == Do::Drag ? Moved(a, c.amount) : 1);
        EXPECT_NEAR(a.Min(), min, 1e-9 * (1 + std::abs(min)));
        EXPECT_NEAR(a.Span(), span, 1e-9 * span);
        std::vector<std::string> expected;
        const std::string name = c.x ? "x0 " : "y0 ";
        for (const std::string& e : c.events) {
            if (e != "finished") {
                expected.push_back(name + e);
                continue;
            }
            char buf[128];
            std::snprintf(buf, sizeof buf, "%sfinished %g %g -> %g %g", name.c_str(), min0, span0, a.Min(),
                          a.Span());
            expected.push_back(buf);
        }
        EXPECT_EQ(events, expected);
        // Any drag or turn switches tracking off; switching it on again brings back the range of before.
        const bool untouched = (c.what == Do::Drag && c.amount == 0) || c.what == Do::DblClickDrag;
        EXPECT_EQ(a.TrackingEnabled(), untouched);
        a.SetTrackingEnabled(true);
        EXPECT_EQ(a.Min(), min0);
        EXPECT_EQ(a.Span(), span0);
    }
}

TEST_F(AxisInput, ATurnOfNoDeltaOrADragAlongNoScaleChangesNothing) {
    TgPlotAxis& x = *plot.GetXAxis(0);
    x.SetUserSelected(true);
    events.clear();
    EXPECT_TRUE(x.DoMouseWheel(0, kAxisInNoKeys, 0, 0));
    EXPECT_TRUE(x.TrackingEnabled());
    EXPECT_EQ(events, std::vector<std::string>{});

    // An axis not laid out yet has a scale of no length: a drag along it moves nothing.
    TgPlotAxis& fresh = *plot.GetXAxis(plot.AddXAxis());
    fresh.SetMinSpan(0, 100);
    ASSERT_EQ(Length(fresh), 0);
    events.clear();
    TgPlotMouseData d;
    fresh.DoMouseLeft(d);
    for (int dx : {0, 40}) {
        d.X = dx;
        fresh.DoMouseMove(d);
    }
    fresh.DoMouseUp(d);
    EXPECT_EQ(fresh.Min(), 0);
    EXPECT_EQ(fresh.Span(), 100);
    EXPECT_EQ(events, std::vector<std::string>{});
}

TEST_F(AxisInput, AMasterAxisDrivesTheOtherAxesOfItsKind) {
    plot.AddXAxis();
    TgPlotAxis& x0 = *plot.GetXAxis(0);
    TgPlotAxis& x1 = *plot.GetXAxis(1);
    TgPlotAxis& y0 = *plot.GetYAxis(0);
    for (TgPlotAxis* a : {&x0, &x1, &y0})
        a->SetMinSpan(0, 100);
    x0.SetMasterUIInput(true);
    plot.ReCalcLayout();
    ASSERT_FALSE(x1.HitTest(On(x0).X, On(x0).Y));
    events.clear();
    Drag(x0, 0.1);
    // The same pixels, each along its own scale.
    const double d = std::lround(0.1 * Length(x0));
    EXPECT_NEAR(x0.Min(), -100 * d / Length(x0), 1e-9);
    EXPECT_NEAR(x1.Min(), -100 * d / Length(x1), 1e-9);
    EXPECT_FALSE(x1.TrackingEnabled());
    EXPECT_TRUE(y0.TrackingEnabled());
    EXPECT_EQ(y0.Min(), 0);
    // The others first; only the axis under the mouse is clicked.
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0], "x1 range");
    EXPECT_EQ(events[1], "x0 range");
    EXPECT_EQ(events[2].rfind("x1 finished 0 100 -> ", 0), 0u) << events[2];
    EXPECT_EQ(events[3], "x0 click");
    EXPECT_EQ(events[4].rfind("x0 finished 0 100 -> ", 0), 0u) << events[4];

    // Keys too; the popup menu key opens the menu of the focused axis alone.
    x0.SetMinSpan(0, 100);
    x1.SetMinSpan(0, 100);
    events.clear();
    std::uint16_t pageUp = 33;
    plot.gKeyDown(pageUp, kAxisInNoKeys);
    EXPECT_EQ(x0.Min(), 100);
    EXPECT_EQ(x1.Min(), 100);
    EXPECT_EQ(events, (std::vector<std::string>{"x1 range", "x1 finished 0 100 -> 100 100", "x0 range",
                                                "x0 finished 0 100 -> 100 100"}));
    std::uint16_t menuKey = 0x5D;
    plot.gKeyDown(menuKey, kAxisInNoKeys);
    TMenuItem* items = plot.PlotPopupMenu()->Items();
    ASSERT_GT(items->Count(), 0);
    items->Items(0)->Click(); // "Tracking Enabled"
    EXPECT_TRUE(x0.TrackingEnabled());
    EXPECT_FALSE(x1.TrackingEnabled());
}

TEST_F(AxisInput, TheCursorShowsTheModeAndThePlotMayChangeIt) {
    using M = TgPlotAxisMode;
    const struct {
        bool x;
        M mode;
        TCursor cursor;
    } cases[] = {{true, M::ipamScroll, crHandPoint},
                 {false, M::ipamScroll, crHandPoint},
                 {true, M::ipamZoom, crSizeWE},
                 {false, M::ipamZoom, crSizeNS}};
    for (const auto& c : cases) {
        TgPlotAxis& a = c.x ? *plot.GetXAxis(0) : *plot.GetYAxis(0);
        a.SetMode(c.mode);
        EXPECT_EQ(a.GetMouseCursor(On(a)), c.cursor) << c.x << int(c.mode);
    }
    plot.OnGetMouseCursorYAxis = [](TObject*, int index, TCursor& cursor) {
        EXPECT_EQ(index, 0);
        cursor = crCross;
    };
    EXPECT_EQ(plot.GetYAxis(0)->GetMouseCursor({}), crCross);
    EXPECT_EQ(plot.GetXAxis(0)->GetMouseCursor({}), crSizeWE);
    // Hovering shows it.
    const TPoint p = On(*plot.GetYAxis(0));
    plot.gMouseMove(kAxisInNoKeys, p.X, p.Y);
    EXPECT_EQ(plot.Cursor(), crCross);
}

TEST_F(AxisInput, ThePopupMenuTogglesTrackingKeepsResumeValuesAndZoomsToFit) {
    plot.AddTranslation("Zoom to Fit", "Fit");
    TgPlotAxis& x = *plot.GetXAxis(0);
    x.SetMinSpan(0, 100);
    TPopupMenu menu(nullptr);
    const auto build = [&] {
        x.BuildPopupMenu(&menu);
        std::vector<std::string> captions;
        for (int i = 0; i < menu.Items()->Count(); ++i)
            captions.push_back(menu.Items()->Items(i)->Caption());
        return captions;
    };
    EXPECT_EQ(build(),
              (std::vector<std::string>{"Tracking Enabled", "Update Resume Values", "Fit", "Edit..."}));
    TMenuItem* items = menu.Items();
    EXPECT_TRUE(items->Items(0)->Checked());
    EXPECT_FALSE(items->Items(1)->Enabled()) << "nothing to save while tracking";

    items->Items(0)->Click(); // off: the range is saved
    build();
    EXPECT_FALSE(items->Items(0)->Checked());
    EXPECT_FALSE(items->Items(1)->Enabled()) << "the range is the saved one";
    x.SetMinSpan(20, 50);
    build();
    ASSERT_TRUE(items->Items(1)->Enabled());
    items->Items(1)->Click();
    build();
    EXPECT_FALSE(items->Items(1)->Enabled());
    items->Items(0)->Click(); // on: the saved range comes back
    EXPECT_TRUE(x.TrackingEnabled());
    EXPECT_EQ(x.Min(), 20);
    EXPECT_EQ(x.Span(), 50);

    plot.GetXYChannel(0)->AddXY(3, 1);
    plot.GetXYChannel(0)->AddXY(7, 2);
    x.SetTrackingEnabled(false);
    build();
    items->Items(2)->Click();
    EXPECT_EQ(x.Min(), 3);
    EXPECT_EQ(x.Span(), 4);
}

TEST_F(AxisInput, AxesSelectedWithShiftOrCtrlStaySelectedTogether) {
    TgPlotAxis& x = *plot.GetXAxis(0);
    TgPlotAxis& y = *plot.GetYAxis(0);
    const auto press = [&](TgPlotAxis& a, TShiftState keys) {
        const TPoint p = On(a);
        plot.gMouseDown(TMouseButton::mbLeft, keys.Include(TShiftItem::ssLeft), p.X, p.Y);
        plot.gMouseUp(TMouseButton::mbLeft, kAxisInNoKeys, p.X, p.Y);
    };
    press(x, kAxisInNoKeys);
    ASSERT_TRUE(x.UserSelected());
    press(y, kAxisInNoKeys);
    EXPECT_TRUE(y.UserSelected());
    EXPECT_FALSE(x.UserSelected());
    press(x, TShiftState{TShiftItem::ssShift});
    EXPECT_TRUE(x.UserSelected() && y.UserSelected());
    y.SetUserSelected(false);
    press(y, TShiftState{TShiftItem::ssCtrl});
    EXPECT_TRUE(x.UserSelected() && y.UserSelected());
}

} // namespace kvtest
