#include "plot/gPlotLimit.h"

#include "plot/gPlotComponent.h"
#include "plot/gXYPlot.h"
#include "tests/plot/ErrorOf.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <memory>
#include <vector>

namespace kvtest {
using namespace kv;

namespace {

// A 400 x 300 plot with both axes from 0 to 100 and one limit.
struct LimitFixture {
    LimitFixture() {
        plot.SetBounds(0, 0, 400, 300);
        for (TgPlotAxis* a : {plot.GetXAxis(0), plot.GetYAxis(0)}) {
            a->SetTrackingEnabled(false);
            a->SetMin(0);
            a->SetSpan(100);
        }
        plot.GetDataCursor(0)->SetVisible(false);
        limit = plot.GetLimit(plot.AddLimit());
        limit->SetSelectModeOnlyInteraction(false);
    }
    std::unique_ptr<TBitmap> Render() {
        auto bitmap = std::make_unique<TBitmap>(plot.Width(), plot.Height());
        plot.gPaint(*bitmap->Canvas());
        return bitmap;
    }
    int XPx(double v) { return plot.GetXAxis(0)->PositionToPixels(v); }
    int YPx(double v) { return plot.GetYAxis(0)->PositionToPixels(v); }
    static bool Red(const TBitmap& b, int x, int y) {
        return QColor(b.Image().pixel(x, y)) == QColor(Qt::red);
    }
    bool Hit(int x, int y) { return limit->HitTest(x, y); }

    TgXYPlot plot{nullptr};
    TgPlotLimit* limit = nullptr;
};

} // namespace

TEST(PlotLimit, ALineOutsideItsAxisIsNeitherDrawnNorGrabbable) {
    struct Case {
        TgPlotLimitStyle style;
        double position;
        bool shown;
    };
    for (const Case c :
         {Case{TgPlotLimitStyle::iplsLineX, 30, true}, Case{TgPlotLimitStyle::iplsLineX, 130, false},
          Case{TgPlotLimitStyle::iplsLineY, 70, true}, Case{TgPlotLimitStyle::iplsLineY, -5, false}}) {
        LimitFixture f;
        f.limit->SetStyle(c.style);
        f.limit->SetUserCanMove(true);
        f.Render(); // first drawn at 50, where it could be grabbed
        f.limit->SetLine1Position(c.position);
        auto picture = f.Render();
        const bool x = c.style == TgPlotLimitStyle::iplsLineX;
        // A point on the line (or where it would be), off the grid lines of the other axis.
        const int px = x ? f.XPx(c.position) : f.XPx(45), py = x ? f.YPx(45) : f.YPx(c.position);
        const std::string label =
            std::to_string(static_cast<int>(c.style)) + " at " + std::to_string(c.position);
        EXPECT_EQ(f.limit->Line1Show(), c.shown) << label;
        EXPECT_FALSE(f.limit->Line2Show()) << label;
        if (c.shown) {
            EXPECT_TRUE(f.Red(*picture, px, py)) << label;
            EXPECT_TRUE(f.Red(*picture, x ? px : f.XPx(1), x ? f.YPx(1) : py))
                << label << ": across the data view";
            EXPECT_TRUE(f.Hit(px + (x ? 4 : 0), py + (x ? 0 : 4))) << label;
            EXPECT_FALSE(f.Hit(px + (x ? 6 : 0), py + (x ? 0 : 6))) << label;
        } else {
            // Neither where it would be nor where it was last drawn.
            const int oldX = x ? f.XPx(50) : f.XPx(45), oldY = x ? f.YPx(45) : f.YPx(50);
            EXPECT_FALSE(f.Hit(px, py)) << label;
            EXPECT_FALSE(f.Hit(oldX, oldY)) << label;
            f.limit->gMouseDown(TMouseButton::mbLeft, {}, oldX, oldY, 0, 0, nullptr);
            TgHintData hint;
            f.limit->gMouseMove(hint, {}, f.XPx(40), f.YPx(40), 0, 0, false);
            f.limit->gMouseUp(TMouseButton::mbLeft, {}, f.XPx(40), f.YPx(40), 0, 0, false, nullptr);
            EXPECT_EQ(f.limit->Line1Position(), c.position) << label << ": not grabbed";
        }
    }
}

TEST(PlotLimit, ABandIsDrawnWhereverItsLinesFallAndDraggingMayCrossThem) {
    LimitFixture f;
    f.limit->SetStyle(TgPlotLimitStyle::iplsBandX);
    f.limit->SetLine1Position(20);
    f.limit->SetLine2Position(140); // beyond the axis: the band runs to the edge of the data view
    f.limit->SetUserCanMove(true);
    std::vector<std::string> events;
    f.plot.OnLimitLine1PositionChange = [&](TObject*, int index, double oldValue, double newValue) {
        events.push_back(std::to_string(index) + ":" + std::to_string(int(oldValue)) + ">" +
                         std::to_string(int(newValue)));
    };
    int clicks = 0;
    f.plot.OnClickLimit = [&](TObject*, int) { ++clicks; };
    auto picture = f.Render();
    EXPECT_TRUE(f.limit->Line1Show() && f.limit->Line2Show());
    EXPECT_TRUE(f.Red(*picture, f.XPx(60), f.YPx(45))) << "filled between the lines";
    EXPECT_FALSE(f.Red(*picture, f.XPx(10), f.YPx(50)));
    EXPECT_EQ(f.limit->GetMouseCursor({f.XPx(20), f.YPx(50)}), crSizeWE);

    // Line 1 dragged past 60: the positions cross and the band lies between them the other way round.
    f.limit->SetLine2Position(40);
    f.Render();
    const TShiftState held{TShiftItem::ssLeft};
    f.plot.gMouseDown(TMouseButton::mbLeft, held, f.XPx(20) + 3, f.YPx(50));
    f.plot.gMouseMove(held, f.XPx(60), f.YPx(50));
    f.Render(); // the repaint the move asks for
    f.plot.gMouseUp(TMouseButton::mbLeft, {}, f.XPx(60), f.YPx(50));
    EXPECT_NEAR(f.limit->Line1Position(), 60, 0.5);
    EXPECT_EQ(f.limit->Line2Position(), 40);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].substr(0, 5), "0:20>");
    EXPECT_EQ(clicks, 1) << "released over the limit";
    picture = f.Render();
    EXPECT_TRUE(f.Red(*picture, f.XPx(45), f.YPx(45)));
    EXPECT_FALSE(f.Red(*picture, f.XPx(30), f.YPx(45)));
    EXPECT_FALSE(f.Red(*picture, f.XPx(70), f.YPx(45)));
}

TEST(PlotLimit, CursorsFollowTheLinesDirection) {
    struct Case {
        TgPlotLimitStyle style;
        bool canMove, reversed;
        TCursor cursor;
    };
    for (const Case c : {Case{TgPlotLimitStyle::iplsLineY, false, false, crDefault},
                         Case{TgPlotLimitStyle::iplsLineY, true, false, crHandPoint},
                         Case{TgPlotLimitStyle::iplsBandY, true, false, crSizeNS},
                         Case{TgPlotLimitStyle::iplsBandY, true, true, crSizeWE},
                         Case{TgPlotLimitStyle::iplsBandX, true, true, crSizeNS}}) {
        LimitFixture f;
        f.plot.SetXYAxesReverse(c.reversed);
        f.limit->SetStyle(c.style);
        f.limit->SetUserCanMove(c.canMove);
        f.limit->SetLine2Position(80);
        f.Render();
        EXPECT_EQ(f.limit->GetMouseCursor({0, 0}), c.cursor) << static_cast<int>(c.style) << c.reversed;
    }
}

TEST(PlotLimit, WithSwappedAxesAnXLineLiesAcrossAndDragsUpAndDown) {
    LimitFixture f;
    f.plot.SetXYAxesReverse(true);
    f.limit->SetStyle(TgPlotLimitStyle::iplsLineX);
    f.limit->SetLine1Position(25);
    f.limit->SetUserCanMove(true);
    auto picture = f.Render();
    // The X axis now runs up the left side: X pixels are screen rows.
    const int row = f.XPx(25), column = f.YPx(50);
    EXPECT_TRUE(f.Red(*picture, column, row));
    EXPECT_TRUE(f.Hit(column, row + 4));
    const TShiftState held{TShiftItem::ssLeft};
    f.plot.gMouseDown(TMouseButton::mbLeft, held, column, row);
    f.plot.gMouseMove(held, column, f.XPx(75));
    f.plot.gMouseUp(TMouseButton::mbLeft, {}, column, f.XPx(75));
    EXPECT_NEAR(f.limit->Line1Position(), 75, 0.5);
}

TEST(PlotLimit, BandElementsNeedTheUpperLimitAtOrAboveTheLower) {
    LimitFixture f;
    int changes = 0;
    f.limit->OnChange = [&](TObject*) { ++changes; };
    f.limit->AddBandElement(5, 10, 10);
    EXPECT_EQ(ErrorOf([&] { f.limit->AddBandElement(5, 9, 10); }),
              "the Upper Limit must be greater than or equal to the Lower Limit");
    ASSERT_EQ(f.limit->Elements().Count(), 1);
    EXPECT_EQ(f.limit->Elements().UpperLimit(0), 10);
    EXPECT_EQ(changes, 1);
    f.limit->ClearAllElements();
    EXPECT_EQ(f.limit->Elements().Count(), 0);
    EXPECT_EQ(changes, 2);
}

TEST(PlotLimit, APolyBandFillsBetweenItsLimitsButNeverTakesTheMouse) {
    for (const TgPlotLimitStyle style : {TgPlotLimitStyle::iplsPolyBandX, TgPlotLimitStyle::iplsPolyBandY}) {
        LimitFixture f;
        f.limit->SetStyle(style);
        f.limit->SetUserCanMove(true);
        // Positions 10..90 along one axis, limits 40..60 on the other.
        for (double p : {-20.0, 10.0, 50.0, 90.0, 200.0})
            f.limit->AddBandElement(p, 60, 40);
        auto picture = f.Render();
        const bool x = style == TgPlotLimitStyle::iplsPolyBandX;
        const auto at = [&](double position, double limit) {
            return x ? f.Red(*picture, f.XPx(limit), f.YPx(position))
                     : f.Red(*picture, f.XPx(position), f.YPx(limit));
        };
        EXPECT_TRUE(at(30, 45)) << x;
        EXPECT_TRUE(at(95, 45)) << x << ": the pair that starts inside and ends beyond the axis";
        EXPECT_FALSE(at(30, 20)) << x;
        EXPECT_FALSE(f.limit->Line1Show() || f.limit->Line2Show());
        EXPECT_FALSE(f.Hit(x ? f.XPx(50) : f.XPx(30), x ? f.YPx(30) : f.YPx(50)));
    }
}

TEST(PlotLimit, OnlyTheFirstToolbarsSelectModeLetsTheMouseIn) {
    LimitFixture f;
    f.limit->SetSelectModeOnlyInteraction(true);
    f.limit->SetStyle(TgPlotLimitStyle::iplsLineY);
    f.Render();
    const int px = f.XPx(50), py = f.YPx(50);
    EXPECT_FALSE(f.Hit(px, py)) << "select button up";
    f.plot.SyncSelectMode(true);
    EXPECT_TRUE(f.Hit(px, py));
    f.plot.RemoveAllToolBars();
    EXPECT_FALSE(f.Hit(px, py)) << "no toolbar, never select mode";
    f.limit->SetSelectModeOnlyInteraction(false);
    EXPECT_TRUE(f.Hit(px, py));
}

TEST(PlotLimit, FollowsItsAxisByNameAndThroughRenames) {
    LimitFixture f;
    f.limit->SetStyle(TgPlotLimitStyle::iplsLineY);
    f.limit->SetLine1Position(50);
    TgPlotAxis* second = f.plot.GetYAxis(f.plot.AddYAxis());
    second->SetTrackingEnabled(false);
    second->SetMin(0);
    second->SetSpan(200); // 50 lies a quarter up this axis
    f.Render();
    const int firstRow = f.YPx(50), secondRow = second->PositionToPixels(50);
    ASSERT_NE(firstRow, secondRow);
    f.limit->SetYAxisName(second->Name());
    auto picture = f.Render();
    EXPECT_TRUE(f.Red(*picture, f.XPx(50), secondRow));
    EXPECT_FALSE(f.Red(*picture, f.XPx(50), firstRow));

    second->SetName("Level");
    EXPECT_EQ(f.limit->YAxisName(), "Level");
    f.plot.DeleteYAxis(1);
    picture = f.Render();
    EXPECT_FALSE(f.limit->Line1Show()) << "its axis is gone";
}

TEST(PlotLimit, FillsAnAreaOnlyWithAFilledBandOrAPolyBand) {
    struct Case {
        TgPlotLimitStyle style;
        TBrushStyle fill;
        bool fills;
    };
    for (const Case c : {Case{TgPlotLimitStyle::iplsLineX, TBrushStyle::bsSolid, false},
                         Case{TgPlotLimitStyle::iplsBandY, TBrushStyle::bsSolid, true},
                         Case{TgPlotLimitStyle::iplsBandY, TBrushStyle::bsClear, false},
                         Case{TgPlotLimitStyle::iplsBandX, TBrushStyle::bsCross, true},
                         Case{TgPlotLimitStyle::iplsPolyBandX, TBrushStyle::bsClear, true}}) {
        LimitFixture f;
        f.limit->SetStyle(c.style);
        f.limit->SetFillStyle(c.fill);
        EXPECT_EQ(f.limit->GetFillsArea(), c.fills) << static_cast<int>(c.style) << static_cast<int>(c.fill);
    }
}

} // namespace kvtest
