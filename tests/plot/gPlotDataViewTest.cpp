#include "plot/gPlotDataView.h"

#include "plot/gDraw.h"
#include "plot/gPropText.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {
using namespace kv;

// A plot stand-in: one data view and its axes, the first toolbar's mode and the events it fires.
class TestPlot : public TComponent, public IgPlotDataViewHost {
public:
    TestPlot() : TComponent(nullptr) {}

    int XAxisCount() override { return int(xAxes.size()); }
    int YAxisCount() override { return int(yAxes.size()); }
    TgPlotAxis* GetXAxis(int i) override { return xAxes.at(std::size_t(i)).get(); }
    TgPlotAxis* GetYAxis(int i) override { return yAxes.at(std::size_t(i)).get(); }
    TgPlotAxis* GetXAxisByName(const std::string& name) override { return ByName(xAxes, name); }
    TgPlotAxis* GetYAxisByName(const std::string& name) override { return ByName(yAxes, name); }
    bool ToolBarSelectActive() override { return selectActive; }
    bool ToolBarZoomBoxActive() override { return zoomBoxActive; }
    void DisableAllTracking() override { ++trackingDisabled; }
    void DoBeforeZoomBox(TRect& rect, bool& cancel) override {
        zoomBoxes.push_back(rect);
        cancel = cancelZoom;
    }
    void DoClickDataView(TgPlotDataView*, bool dblClick) override { clicks.push_back(dblClick); }
    void DoGetMouseCursorDataView(TgPlotDataView*, TCursor& cursor) override {
        if (cursorOverride)
            cursor = cursorOverride;
    }

    template <class A> A* AddAxis(std::vector<std::unique_ptr<TgPlotAxis>>& list, const std::string& name) {
        auto axis = std::make_unique<A>(this, noop, noop, noop, noop);
        axis->SetName(name);
        A* raw = axis.get();
        list.push_back(std::move(axis));
        return raw;
    }

    TNotifyEvent noop = [](TObject*) {};
    std::vector<std::unique_ptr<TgPlotAxis>> xAxes, yAxes;
    bool selectActive = false, zoomBoxActive = false, cancelZoom = false;
    int trackingDisabled = 0;
    TCursor cursorOverride = 0;
    std::vector<TRect> zoomBoxes;
    std::vector<bool> clicks;

private:
    static TgPlotAxis* ByName(std::vector<std::unique_ptr<TgPlotAxis>>& list, const std::string& name) {
        for (auto& a : list)
            if (SameText(a->Name(), name))
                return a.get();
        return nullptr;
    }
};

constexpr TRect kView{40, 20, 240, 160};

class DataView : public ::testing::Test {
protected:
    void SetUp() override {
        x = plot.AddAxis<TgPlotXAxis>(plot.xAxes, "X-Axis 1");
        y = plot.AddAxis<TgPlotYAxis>(plot.yAxes, "Y-Axis 1");
        x->SetHorizontal(true);
        y->SetHorizontal(false);
        x->SetDrawRect({kView.Left, kView.Bottom, kView.Right, kView.Bottom + 30});
        y->SetDrawRect({0, kView.Top, kView.Left, kView.Bottom});
        view = std::make_unique<TgPlotDataView>(&plot, plot.noop, plot.noop, plot.noop, plot.noop);
        view->SetDrawRect(kView);
        view->SetGridXAxisName("X-Axis 1");
        view->SetGridYAxisName("Y-Axis 1");
        image = QImage(280, 200, QImage::Format_RGB32);
        image.fill(0);
        canvas = std::make_unique<TCanvas>(&image);
        for (TgPlotAxis* a : {x, y}) {
            // Without labels the desired increment holds whatever the fonts measure.
            a->SetLabelsVisible(false);
            a->SetDesiredIncrement(20);
            a->SetMinorCount(4);
            a->CalcTicks(*canvas);
        }
    }
    void TearDown() override {
        view.reset();
        canvas.reset();
    }

    TColor At(int px, int py) {
        canvas->EndPaint();
        return FromQRgb(image.pixel(px, py));
    }
    TgPlotMouseData Mouse(int mx, int my, TMouseButton button = TMouseButton::mbLeft) {
        TgPlotMouseData d;
        d.X = mx;
        d.Y = my;
        d.Button = button;
        return d;
    }
    // Columns (X grid) or rows (Y grid) inside the view that are painted in `colour`.
    std::vector<int> Lines(bool columns, TColor colour) {
        std::vector<int> found;
        const int mid = columns ? (kView.Top + kView.Bottom) / 2 + 3 : (kView.Left + kView.Right) / 2 + 3;
        for (int p = (columns ? kView.Left : kView.Top) + 1; p < (columns ? kView.Right : kView.Bottom); ++p)
            if (At(columns ? p : mid, columns ? mid : p) == colour)
                found.push_back(p);
        return found;
    }

    TestPlot plot;
    TgPlotAxis* x = nullptr;
    TgPlotAxis* y = nullptr;
    std::unique_ptr<TgPlotDataView> view;
    QImage image;
    std::unique_ptr<TCanvas> canvas;
};

TEST_F(DataView, ConvertsBetweenPixelsAndPercentOfItsRectangle) {
    EXPECT_DOUBLE_EQ(view->PixelsXToPositionPercent(40), 0);
    EXPECT_DOUBLE_EQ(view->PixelsXToPositionPercent(140), 50);
    EXPECT_DOUBLE_EQ(view->PixelsXToPositionPercent(240), 100);
    EXPECT_DOUBLE_EQ(view->PixelsYToPositionPercent(160), 0);
    EXPECT_DOUBLE_EQ(view->PixelsYToPositionPercent(20), 100);
    EXPECT_DOUBLE_EQ(view->PixelsYToPositionPercent(55), 75);
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double percent;
        int x, y;
    } cases[] = {
        {0, 40, 160},
        {100, 240, 20},
        {50, 140, 90},
        {0.25, 40, 160} /* 40.5 and 159.65: ties to even */,
        {0.75, 42, 159},
        {-50, -60, 230},
        {1e12, INT_MAX, INT_MIN},
        {inf, INT_MAX, INT_MIN},
        {-inf, INT_MIN, INT_MAX},
        {std::nan(""), 40, 160},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(view->PositionPercentToPixelsX(c.percent), c.x) << c.percent;
        EXPECT_EQ(view->PositionPercentToPixelsY(c.percent), c.y) << c.percent;
    }
    // Round trips over the whole rectangle.
    for (int px = 40; px <= 240; px += 7)
        EXPECT_EQ(view->PositionPercentToPixelsX(view->PixelsXToPositionPercent(px)), px);
    for (int py = 20; py <= 160; py += 7)
        EXPECT_EQ(view->PositionPercentToPixelsY(view->PixelsYToPositionPercent(py)), py);
}

TEST_F(DataView, WithNoExtentPercentagesGoToTheNearEdge) {
    view->SetDrawRect({50, 80, 50, 80});
    for (double p : {0.0, 30.0, 100.0, 1e300}) {
        EXPECT_EQ(view->PositionPercentToPixelsX(p), 50);
        EXPECT_EQ(view->PositionPercentToPixelsY(p), 80);
    }
    for (int px : {0, 50, 90}) {
        EXPECT_EQ(view->PixelsXToPositionPercent(px), 0);
        EXPECT_EQ(view->PixelsYToPositionPercent(px), 0);
    }
}

TEST_F(DataView, DrawsBackgroundGridAndFrame) {
    view->SetBackgroundTransparent(false);
    view->DrawBackground(*canvas);
    view->Draw(*canvas, clBlack);
    image.save(QString::fromStdString(::testing::TempDir() + "gPlotDataView-grid.png"));
    // The frame includes the right and bottom edges of the rectangle.
    EXPECT_EQ(At(40, 90), clGreen);
    EXPECT_EQ(At(240, 90), clGreen);
    EXPECT_EQ(At(140, 20), clGreen);
    EXPECT_EQ(At(140, 160), clGreen);
    EXPECT_EQ(At(240, 160), clGreen);
    EXPECT_EQ(At(241, 90), clBlack) << "nothing outside";
    // Grid lines at the shown major ticks, on the teal background.
    std::vector<int> expectedColumns, expectedRows;
    for (int i = 0; i < x->TickListCount(); ++i)
        if (x->Tick(i).Show && x->Tick(i).TickType == TgPlotTickType::ipttMajor &&
            x->Tick(i).PositionPixels > kView.Left && x->Tick(i).PositionPixels < kView.Right)
            expectedColumns.push_back(x->Tick(i).PositionPixels);
    for (int i = 0; i < y->TickListCount(); ++i)
        if (y->Tick(i).Show && y->Tick(i).TickType == TgPlotTickType::ipttMajor &&
            y->Tick(i).PositionPixels > kView.Top && y->Tick(i).PositionPixels < kView.Bottom)
            expectedRows.push_back(y->Tick(i).PositionPixels);
    std::sort(expectedRows.begin(), expectedRows.end());
    ASSERT_GE(expectedColumns.size(), 2u);
    ASSERT_GE(expectedRows.size(), 2u);
    EXPECT_EQ(Lines(true, clGreen), expectedColumns);
    EXPECT_EQ(Lines(false, clGreen), expectedRows);
    EXPECT_EQ(At(expectedColumns[0] + 1, 90 + 3), clTeal);
}

TEST_F(DataView, GridAxisNamesChooseWhichAxesDraw) {
    auto* x2 = plot.AddAxis<TgPlotXAxis>(plot.xAxes, "X-Axis 2");
    x2->SetHorizontal(true);
    x2->SetMin(10); // its ticks fall between the first axis's
    x2->SetLabelsVisible(false);
    x2->SetDesiredIncrement(20);
    x2->SetDrawRect({kView.Left, kView.Bottom, kView.Right, kView.Bottom + 30});
    x2->CalcTicks(*canvas);
    view->SetGridLineShowYMajors(false);
    view->SetGridLineXMajorCustom(true);
    view->SetGridLineXMajorColor(clRed);

    view->SetGridXAxisName("<all>");
    view->Draw(*canvas, clBlack);
    const auto both = Lines(true, clRed);
    image.fill(0);
    view->SetGridXAxisName("X-Axis 1");
    view->Draw(*canvas, clBlack);
    const auto one = Lines(true, clRed);
    EXPECT_FALSE(one.empty());
    EXPECT_GT(both.size(), one.size()) << "<ALL> in any case draws every X axis";

    image.fill(0);
    view->SetGridXAxisName("No Such Axis");
    view->Draw(*canvas, clBlack);
    EXPECT_TRUE(Lines(true, clRed).empty());
    EXPECT_EQ(At(40, 90), clGreen) << "the frame still";

    image.fill(0);
    view->SetGridShow(false);
    view->Draw(*canvas, clBlack);
    EXPECT_EQ(At(40, 90), clBlack);
}

TEST_F(DataView, ASelectedViewShowsAFocusFrameAndLetsGoWhenAnotherObjectIsSelected) {
    view->SetGridLineShowXMajors(false);
    view->SetGridLineShowYMajors(false);
    view->SetUserSelected(true);
    view->Draw(*canvas, clBlack);
    image.save(QString::fromStdString(::testing::TempDir() + "gPlotDataView-selected.png"));
    // The green frame is covered in the background colour, and the dotted focus frame drawn by
    // inversion around it, right and bottom edges included.
    int green = 0, dotted = 0;
    for (int px = kView.Left; px <= kView.Right; ++px) {
        green += At(px, kView.Top) == clGreen;
        dotted += At(px, kView.Top) == clWhite;
    }
    EXPECT_EQ(green, 0);
    EXPECT_GT(dotted, (kView.Right - kView.Left) / 3);
    EXPECT_TRUE(At(kView.Right, 91) == clWhite || At(kView.Right, 90) == clWhite);

    view->NotificationFocusChange(view.get());
    EXPECT_TRUE(view->UserSelected()) << "its own selection";
    view->NotificationFocusChange(x);
    EXPECT_FALSE(view->UserSelected());
}

TEST_F(DataView, ForgetsARemovedGridAxisAndFollowsARename) {
    EXPECT_EQ(view->GetGridXAxis(), x);
    x->SetName("Time");
    view->NotificationAxisRename(x);
    EXPECT_EQ(view->GridXAxisName(), "Time");
    view->NotificationAxisRemove(x);
    plot.xAxes.clear();
    EXPECT_EQ(view->GetGridXAxis(), nullptr);
    view->Draw(*canvas, clBlack); // no dangling axis is asked for grid lines
}

TEST_F(DataView, WithoutAxesControlTheMouseMovesNoAxis) {
    const double min = x->Min(), span = x->Span();
    view->gMouseDown(TMouseButton::mbLeft, {}, 100, 100, 0, 0, nullptr);
    TgHintData hint;
    view->gMouseMove(hint, {}, 150, 60, 0, 0, false);
    view->gMouseUp(TMouseButton::mbLeft, {}, 150, 60, 0, 0, false, nullptr);
    EXPECT_FALSE(view->gMouseWheel(120, {}, {100, 100}));
    EXPECT_EQ(x->Min(), min);
    EXPECT_EQ(x->Span(), span);
    EXPECT_EQ(plot.trackingDisabled, 0);
    EXPECT_EQ(plot.clicks, std::vector<bool>{false}) << "a release inside is a click";
    EXPECT_EQ(view->GetMouseCursor({100, 100}), crDefault);
}

TEST_F(DataView, AZoomBoxDraggedRightAndDownZoomsEveryAxis) {
    plot.zoomBoxActive = true;
    EXPECT_EQ(view->GetControlMode(), TgPlotDataView::TControlMode::ZoomBox);
    view->GetMouseCursor({100, 100});
    EXPECT_EQ(view->GetMouseCursor({100, 100}), crDrag);

    // Bottom-right to top-left: dropped.
    view->DoMouseLeft(Mouse(190, 120));
    view->DoMouseMove(Mouse(90, 50));
    EXPECT_TRUE(view->ZoomBoxActive());
    view->DrawZoomBox(*canvas);
    view->DoMouseUp(Mouse(90, 50));
    EXPECT_FALSE(view->ZoomBoxActive());
    EXPECT_TRUE(plot.zoomBoxes.empty());
    EXPECT_EQ(x->Min(), 0);

    view->DoMouseLeft(Mouse(90, 50));
    view->DoMouseMove(Mouse(190, 120));
    view->DoMouseUp(Mouse(190, 120));
    ASSERT_EQ(plot.zoomBoxes.size(), 1u);
    EXPECT_EQ(plot.zoomBoxes[0], (TRect{90, 50, 190, 120}));
    EXPECT_GE(plot.trackingDisabled, 2);
    EXPECT_NEAR(x->Min(), 25, 1);
    EXPECT_NEAR(x->Span(), 50, 1);
    EXPECT_NEAR(y->Min(), 100 - 100.0 * 100 / 140, 1);
    EXPECT_NEAR(y->Span(), 50, 1);

    // The plot's handler may cancel.
    plot.cancelZoom = true;
    const double min = x->Min();
    view->ZoomToRect({50, 30, 100, 60});
    EXPECT_EQ(x->Min(), min);
}

TEST_F(DataView, ARightDragBeyondFivePixelsBecomesAZoomBoxInsteadOfThePopup) {
    view->SetAxesControlEnabled(true);
    EXPECT_EQ(view->GetMouseCursor({100, 100}), crHandPoint);
    TgHintData hint;
    view->gMouseDown(TMouseButton::mbRight, {}, 100, 100, 0, 0, nullptr);
    view->gMouseMove(hint, {}, 105, 95, 0, 0, false);
    EXPECT_TRUE(view->MouseDownPopup()) << "5 pixels: the popup still opens on release";
    EXPECT_FALSE(view->ZoomBoxActive());
    view->gMouseMove(hint, {}, 106, 100, 0, 0, false);
    EXPECT_FALSE(view->MouseDownPopup());
    EXPECT_TRUE(view->ZoomBoxActive());
    EXPECT_EQ(plot.trackingDisabled, 1);
    view->gMouseUp(TMouseButton::mbRight, {}, 106, 100, 0, 0, false, nullptr);
    EXPECT_FALSE(view->ZoomBoxActive());
}

TEST_F(DataView, EscapeDropsTheZoomBoxAndTheWheelFollowsItsStyle) {
    plot.zoomBoxActive = true;
    view->DoMouseLeft(Mouse(90, 50));
    view->DoMouseMove(Mouse(190, 120));
    std::uint16_t key = 27;
    view->gKeyDown(key, {}, nullptr);
    EXPECT_FALSE(view->ZoomBoxActive());
    view->DoMouseUp(Mouse(190, 120));
    EXPECT_TRUE(plot.zoomBoxes.empty());

    plot.zoomBoxActive = false;
    view->SetAxesControlEnabled(true);
    EXPECT_TRUE(view->gMouseWheel(120, {}, {100, 100}));
    view->SetAxesControlWheelStyle(TgPlotAxesControlStyle::ipacsNone);
    EXPECT_FALSE(view->gMouseWheel(120, {}, {100, 100}));
    plot.selectActive = true;
    view->SetAxesControlWheelStyle(TgPlotAxesControlStyle::ipacsBoth);
    EXPECT_FALSE(view->gMouseWheel(120, {}, {100, 100})) << "select mode";
    view->SetAxesControlAllowInSelectMode(true);
    EXPECT_TRUE(view->gMouseWheel(120, {}, {100, 100}));
    plot.cursorOverride = crCross;
    EXPECT_EQ(view->GetMouseCursor({100, 100}), crCross);
}

TEST_F(DataView, PropertyTextLeavesDefaultsOutAndReadsBack) {
    TStringList lines;
    gWritePropertyText(*view, "DataView", lines, true, nullptr);
    const std::string text = lines.Text();
    EXPECT_EQ(text.find("GridShow"), std::string::npos) << text;
    EXPECT_EQ(text.find("BackgroundColor"), std::string::npos) << text;
    EXPECT_NE(text.find("DataView.GridXAxisName = X-Axis 1"), std::string::npos) << text;

    view->SetBackgroundColor(clRed);
    view->SetGridLineYMinorStyle(TgPlotGridLineStyle::ipglsDot);
    view->SetAxesControlWheelStyle(TgPlotAxesControlStyle::ipacsNone);
    view->SetTitle("Transfer");
    lines.Clear();
    gWritePropertyText(*view, "DataView", lines, true, nullptr);
    TgPlotDataView copy(&plot, plot.noop, plot.noop, plot.noop, plot.noop);
    gReadPropertyText(copy, "DataView", lines);
    EXPECT_EQ(lines.Count(), 0);
    EXPECT_EQ(copy.BackgroundColor(), clRed);
    EXPECT_EQ(copy.GridLineYMinorStyle(), TgPlotGridLineStyle::ipglsDot);
    EXPECT_EQ(copy.AxesControlWheelStyle(), TgPlotAxesControlStyle::ipacsNone);
    EXPECT_EQ(copy.Title(), "Transfer");
    EXPECT_EQ(copy.GridYAxisName(), "Y-Axis 1");
}

// Axes that count the input the data view hands them.
template <class Base> class Recording : public Base {
public:
    using Base::Base;
    void DoMouseLeft(const TgPlotMouseData&) override { ++presses; }
    void DoMouseMove(const TgPlotMouseData&) override { ++moves; }
    void DoMouseUp(const TgPlotMouseData&) override { ++releases; }
    bool DoMouseWheel(int, TShiftState, int, int) override { return ++wheels, true; }
    int presses = 0, moves = 0, releases = 0, wheels = 0;
};

// One recording X axis and one recording Y axis on the plot.
struct RecordingAxes {
    explicit RecordingAxes(TestPlot& plot) {
        plot.xAxes.push_back(
            std::make_unique<Recording<TgPlotXAxis>>(&plot, plot.noop, plot.noop, plot.noop, plot.noop));
        plot.yAxes.push_back(
            std::make_unique<Recording<TgPlotYAxis>>(&plot, plot.noop, plot.noop, plot.noop, plot.noop));
        x = static_cast<Recording<TgPlotXAxis>*>(plot.xAxes.back().get());
        y = static_cast<Recording<TgPlotYAxis>*>(plot.yAxes.back().get());
    }
    Recording<TgPlotXAxis>* x;
    Recording<TgPlotYAxis>* y;
};

TEST(DataViewAxesControl, DragsMoveTheAxesTheStyleAndShiftChoose) {
    using S = TgPlotAxesControlStyle;
    struct Case {
        S style;
        bool shift;
        TPoint to;
        int xMoves, yMoves;
    } cases[] = {
        {S::ipacsXAxis, false, {150, 150}, 1, 0}, {S::ipacsXAxis, true, {150, 150}, 0, 1},
        {S::ipacsYAxis, false, {150, 150}, 0, 1}, {S::ipacsYAxis, true, {150, 150}, 1, 0},
        {S::ipacsBoth, false, {150, 150}, 1, 1},  {S::ipacsBoth, true, {103, 101}, 1, 1},
        {S::ipacsBoth, true, {110, 101}, 1, 0},   {S::ipacsBoth, true, {110, 110}, 0, 1},
        {S::ipacsNone, false, {150, 150}, 0, 0},
    };
    for (const Case& c : cases) {
        TestPlot plot;
        RecordingAxes axes(plot);
        auto& rx = *axes.x;
        auto& ry = *axes.y;
        TgPlotDataView view(&plot, plot.noop, plot.noop, plot.noop, plot.noop);
        view.SetDrawRect(kView);
        view.SetAxesControlEnabled(true);
        view.SetAxesControlMouseStyle(c.style);
        gSetKeyStateForTests(c.shift, 0);
        TgPlotMouseData d;
        d.X = d.Y = 100;
        view.DoMouseLeft(d);
        d.X = c.to.X;
        d.Y = c.to.Y;
        view.DoMouseMove(d);
        view.DoMouseUp(d);
        gSetKeyStateForTests(-1, -1);
        EXPECT_EQ(rx.moves, c.xMoves) << int(c.style) << c.shift << " to " << c.to.X << "," << c.to.Y;
        EXPECT_EQ(ry.moves, c.yMoves) << int(c.style) << c.shift << " to " << c.to.X << "," << c.to.Y;
        EXPECT_EQ(rx.presses + ry.presses, 2) << "every axis hears the press";
        EXPECT_EQ(rx.releases + ry.releases, 2);
    }
}

TEST(DataViewAxesControl, TheWheelGoesToTheAxesTheWheelStyleChoose) {
    using S = TgPlotAxesControlStyle;
    struct Case {
        S style;
        bool shift;
        int x, y;
    } cases[] = {
        {S::ipacsXAxis, false, 1, 0}, {S::ipacsXAxis, true, 0, 1}, {S::ipacsYAxis, false, 0, 1},
        {S::ipacsYAxis, true, 1, 0},  {S::ipacsBoth, false, 1, 1}, {S::ipacsNone, false, 0, 0},
    };
    for (const Case& c : cases) {
        TestPlot plot;
        RecordingAxes axes(plot);
        TgPlotDataView view(&plot, plot.noop, plot.noop, plot.noop, plot.noop);
        view.SetAxesControlEnabled(true);
        view.SetAxesControlWheelStyle(c.style);
        TShiftState shift;
        if (c.shift)
            shift.Include(TShiftItem::ssShift);
        EXPECT_EQ(view.DoMouseWheel(120, shift, 100, 100), c.style != S::ipacsNone);
        EXPECT_EQ(axes.x->wheels, c.x) << int(c.style) << c.shift;
        EXPECT_EQ(axes.y->wheels, c.y) << int(c.style) << c.shift;
    }
}

} // namespace
