#include "plot/editors/gPlotLayoutViewer.h"

#include "platform/gui/Graphics.h"

#include <gtest/gtest.h>

#include <QImage>

#include <memory>
#include <string>
#include <vector>

namespace kvtest_lview {
using namespace kv;

// Stand-ins under the class names the layout manager and the viewer tell kinds by.
#define LV_KIND(Cls)                                                                                         \
    class Cls : public TgPlotLayoutObject {                                                                  \
        KV_CLASS(Cls)                                                                                        \
    public:                                                                                                  \
        using TgPlotLayoutObject::TgPlotLayoutObject;                                                        \
        ~Cls() override { NotifyRemove(); }                                                                  \
    };                                                                                                       \
    KV_REGISTER_CLASS(Cls, TgPlotLayoutObject, b) {}

LV_KIND(TgPlotXAxis)
LV_KIND(TgPlotYAxis)
LV_KIND(TgPlotLabel)
LV_KIND(TgPlotLegend)
LV_KIND(TgPlotToolBar)
#undef LV_KIND

const TShiftState kHeld{TShiftItem::ssLeft};

TPoint Centre(const TRect& r) {
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

// A layout manager wired as the master manager wires it, and a viewer on it: a left Y axis, a bottom
// X axis, a label on the top row next to the data view and the toolbar above it.
class LayoutViewer : public ::testing::Test {
protected:
    void SetUp() override {
        changes = 0;
        owner = std::make_unique<TComponent>(nullptr);
        manager = std::make_unique<TgPlotLayoutManager>(owner.get(), noop, insert, remove, noop);
        yAxis = Add<TgPlotYAxis>("Y Axis");
        xAxis = Add<TgPlotXAxis>("X Axis");
        label = Add<TgPlotLabel>("Title", true);
        MoveTo(label, manager->DataViewHorz(), TgInsertDirection::iidAbove);
        toolBar = Add<TgPlotToolBar>("ToolBar", true);
        MoveTo(toolBar, label, TgInsertDirection::iidAbove);
        viewer = std::make_unique<TgPlotLayoutViewer>(nullptr);
        viewer->SetBounds(0, 0, 320, 240);
        viewer->SetLayoutManager(manager.get());
        viewer->OnChange = [this](TObject*) { ++changes; };
        viewer->CalcBlocks();
    }
    void TearDown() override {
        viewer.reset();
        objects.clear();
        manager.reset();
    }
    template <class C> C* Add(const std::string& name, bool horizontal = false) {
        auto object = std::make_unique<C>(owner.get(), noop, insert, remove, noop);
        object->SetName(name);
        object->SetHorizontal(horizontal);
        C* raw = object.get();
        objects.push_back(std::move(object));
        raw->DoInsert();
        return raw;
    }
    // Out of the level a new object joined, onto the level of `next` in `direction`.
    void MoveTo(TgPlotLayoutObject* object, TgPlotLayoutObject* next, TgInsertDirection direction) {
        manager->RemoveZOrder(object);
        manager->InsertZOrder(object, next->ZOrder(), direction);
    }
    void Drag(TPoint from, TPoint to) {
        viewer->gMouseMove({}, from.X, from.Y);
        viewer->gMouseDown(TMouseButton::mbLeft, kHeld, from.X, from.Y);
        viewer->gMouseMove(kHeld, to.X, to.Y);
        viewer->CalcBlocks();
    }
    void Drop(TPoint at) {
        viewer->gMouseUp(TMouseButton::mbLeft, {}, at.X, at.Y);
        viewer->CalcBlocks();
    }
    const TBlockObject* Cell(bool horizontal, int z) const {
        for (const auto& b : viewer->Blocks())
            if (b->Horizontal == horizontal && b->ZOrder == z)
                return b.get();
        return nullptr;
    }
    QImage Render(const char* file) {
        TBitmap bitmap(viewer->Width(), viewer->Height());
        viewer->gPaint(*bitmap.Canvas());
        QImage image = bitmap.Image();
        image.save(QString::fromStdString(::testing::TempDir()) + file);
        return image;
    }

    TNotifyEvent noop = [](TObject*) {};
    TNotifyEvent insert = [this](TObject* o) {
        if (manager && dynamic_cast<TgPlotLayoutObject*>(o))
            manager->NotificationInsert(o);
    };
    TNotifyEvent remove = [this](TObject* o) {
        if (manager)
            manager->NotificationRemove(o);
    };
    std::unique_ptr<TComponent> owner;
    std::unique_ptr<TgPlotLayoutManager> manager;
    std::vector<std::unique_ptr<TgPlotObject>> objects;
    std::unique_ptr<TgPlotLayoutViewer> viewer;
    TgPlotLayoutObject *xAxis = nullptr, *yAxis = nullptr, *label = nullptr, *toolBar = nullptr;
    int changes = 0;
};

TEST_F(LayoutViewer, DrawsOneBandPerLevelAroundTheDataView) {
    const int c = viewer->CellWidth();
    ASSERT_GT(c, 5);
    const TRect view = viewer->ViewRect();
    EXPECT_EQ(view, Rect(5, 5, 315, 235));
    const TRect dv = viewer->DataViewRect();
    EXPECT_EQ(dv, Rect(5 + c, 5 + 2 * c, 315, 235 - c));

    // Vertical: the left column (0) and the data view (1); horizontal: the toolbar row (3), the label's
    // row (2), the data view (1) and the bottom row (0).
    std::vector<std::string> cells;
    for (const auto& b : viewer->Blocks())
        cells.push_back(std::string(b->Horizontal ? "H" : "V") + std::to_string(b->ZOrder) +
                        (b->DataView ? "d" : "") + (b->ToolBar ? "t" : ""));
    EXPECT_EQ(cells, (std::vector<std::string>{"V0", "V1d", "H3t", "H2", "H1d", "H0"}));
    EXPECT_EQ(Cell(true, 3)->ARect, Rect(5, 5, 315, 5 + c));
    EXPECT_EQ(Cell(true, 0)->ARect, Rect(5, dv.Bottom, 315, dv.Bottom + c));
    EXPECT_EQ(Cell(false, 0)->ARect, Rect(5, dv.Top, 5 + c, dv.Bottom));

    EXPECT_EQ(toolBar->LayoutRect(), Cell(true, 3)->ARect);
    EXPECT_EQ(label->LayoutRect(), Cell(true, 2)->ARect);
    EXPECT_EQ(xAxis->LayoutRect(), Rect(dv.Left, dv.Bottom, dv.Right, dv.Bottom + c))
        << "axes span the data view";
    EXPECT_EQ(yAxis->LayoutRect(), Cell(false, 0)->ARect);

    // A hidden block is hatched, the selected one yellow.
    label->SetVisible(false);
    viewer->gMouseDown(TMouseButton::mbLeft, {}, Centre(xAxis->LayoutRect()).X,
                       Centre(xAxis->LayoutRect()).Y);
    QImage img = Render("plot_layout_viewer.png");
    EXPECT_EQ(img.pixel(1, 1) & 0xFFFFFF, 0x0000FFu) << "blue around the view";
    EXPECT_EQ(img.pixel(dv.Left + 3, dv.Top + 3) & 0xFFFFFF, 0xC0C0C0u) << "the data view's level block";
    EXPECT_EQ(img.pixel(xAxis->LayoutRect().Left + 2, xAxis->LayoutRect().Top + 2) & 0xFFFFFF, 0xFFFF00u);
    int white = 0, silver = 0;
    for (int x = 10; x < 60; ++x) {
        const QRgb p = img.pixel(x, label->LayoutRect().Top + c / 2) & 0xFFFFFF;
        white += p == 0xFFFFFF;
        silver += p == 0xC0C0C0;
    }
    EXPECT_GT(white, 0);
    EXPECT_GT(silver, 0);
}

TEST_F(LayoutViewer, DraggingAnEndResizesInStepsOfOneAndAQuarterPercent) {
    // A data view 240 pixels wide.
    viewer->SetBounds(0, 0, 240 + 10 + viewer->CellWidth(), 240);
    viewer->CalcBlocks();
    ASSERT_EQ(viewer->DataViewRect().Width(), 240);
    struct Case {
        int travel;
        double start;
    } const cases[] = {{30, 12.5}, {31, 12.5}, {33, 13.75}, {-30, 0}};
    for (const Case& k : cases) {
        xAxis->SetStartStopPercent(0, 100);
        viewer->CalcBlocks();
        const TRect r = xAxis->LayoutRect();
        const int y = (r.Top + r.Bottom) / 2;
        viewer->gMouseMove({}, r.Left + 3, y);
        ASSERT_EQ(viewer->ResizeBlock(), xAxis);
        EXPECT_EQ(viewer->SizingSide(), TgLayoutSizingSide::ilssStart);
        EXPECT_EQ(viewer->Cursor(), crSizeWE);
        const int before = changes;
        viewer->gMouseDown(TMouseButton::mbLeft, kHeld, r.Left + 3, y);
        EXPECT_EQ(viewer->EditMode(), TgLayoutEditMode::ilemSize);
        viewer->gMouseMove(kHeld, r.Left + 3 + k.travel, y);
        Drop({r.Left + 3 + k.travel, y});
        EXPECT_DOUBLE_EQ(xAxis->StartPercent(), k.start) << k.travel;
        EXPECT_EQ(changes, before + 1);
        EXPECT_EQ(viewer->EditMode(), TgLayoutEditMode::ilemNone);
    }
    // The upper end of a vertical axis follows the mouse upwards.
    const TRect r = yAxis->LayoutRect();
    viewer->gMouseMove({}, Centre(r).X, r.Top + 2);
    ASSERT_EQ(viewer->ResizeBlock(), yAxis);
    EXPECT_EQ(viewer->SizingSide(), TgLayoutSizingSide::ilssStop);
    EXPECT_EQ(viewer->Cursor(), crSizeNS);
    Drag({Centre(r).X, r.Top + 2}, {Centre(r).X, r.Top + 2 + viewer->DataViewRect().Height() / 2});
    Drop({0, 0});
    EXPECT_DOUBLE_EQ(yAxis->StopPercent(), 50);
    // Away from the ends: no resize end, default cursor.
    viewer->gMouseMove({}, Centre(xAxis->LayoutRect()).X, Centre(xAxis->LayoutRect()).Y);
    EXPECT_EQ(viewer->ResizeBlock(), nullptr);
    EXPECT_EQ(viewer->Cursor(), crDefault);
}

TEST_F(LayoutViewer, PressesThatStartNoGesture) {
    for (TPoint p : {TPoint{1, 1}, Centre(toolBar->LayoutRect()), Centre(viewer->DataViewRect())}) {
        viewer->gMouseDown(TMouseButton::mbLeft, kHeld, p.X, p.Y);
        EXPECT_EQ(viewer->EditMode(), TgLayoutEditMode::ilemNone) << p.X << "," << p.Y;
        EXPECT_EQ(viewer->SelectedObject(), nullptr);
    }
    // A drop on the block's own band, which holds no other block, changes nothing.
    Drag(Centre(xAxis->LayoutRect()), Centre(xAxis->LayoutRect()));
    Drop(Centre(xAxis->LayoutRect()));
    EXPECT_EQ(changes, 0);
}

TEST_F(LayoutViewer, AnAxisOverAVerticalBandGetsNoInsertionTarget) {
    Drag(Centre(xAxis->LayoutRect()), Centre(yAxis->LayoutRect()));
    EXPECT_EQ(viewer->InsertTarget(), nullptr);
    EXPECT_EQ(viewer->OverLayoutObject(), nullptr);
    Drop(Centre(yAxis->LayoutRect()));
    EXPECT_TRUE(xAxis->Horizontal());
    EXPECT_EQ(changes, 0);
}

TEST_F(LayoutViewer, ALabelDroppedInTheMiddleOfALabelsRowSharesIt) {
    auto* second = Add<TgPlotLabel>("Subtitle", true);
    MoveTo(second, xAxis, TgInsertDirection::iidBelow);
    viewer->CalcBlocks();
    const TRect row = label->LayoutRect();
    const TPoint middle{Centre(row).X, row.Top + row.Height() / 2};
    Drag(Centre(second->LayoutRect()), middle);
    ASSERT_NE(viewer->InsertTarget(), nullptr);
    EXPECT_EQ(viewer->InsertDirection(), TgInsertDirection::iidMerge);
    Drop(middle);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(second->ZOrder(), label->ZOrder());
    EXPECT_DOUBLE_EQ(label->StartPercent(), 0);
    EXPECT_DOUBLE_EQ(label->StopPercent(), 50);
    EXPECT_DOUBLE_EQ(second->StartPercent(), 50);
    EXPECT_DOUBLE_EQ(second->StopPercent(), 100);
    EXPECT_EQ(viewer->SelectedObject(), nullptr);
}

TEST_F(LayoutViewer, BelowAndAboveInsertionsMoveTheLevelAndAnnounceIt) {
    // The label's row by thirds: the lower third inserts below it, the upper third above it; the
    // toolbar's row takes only "below" in its lower third.
    struct Case {
        const char* where;
        TgInsertDirection direction;
        int labelZ, secondZ, toolBarZ;
    } const cases[] = {{"lower", TgInsertDirection::iidBelow, 3, 2, 4},
                       {"upper", TgInsertDirection::iidAbove, 2, 3, 4},
                       {"toolbar", TgInsertDirection::iidBelow, 2, 3, 4}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.where);
        TearDown();
        SetUp();
        auto* second = Add<TgPlotLabel>("Subtitle", true);
        MoveTo(second, xAxis, TgInsertDirection::iidBelow);
        second->SetStartStopPercent(20, 40);
        viewer->CalcBlocks();
        ASSERT_EQ(label->ZOrder(), 3);
        const TRect row = std::string(k.where) == "toolbar" ? toolBar->LayoutRect() : label->LayoutRect();
        const int y = std::string(k.where) == "upper" ? row.Top + 1 : row.Bottom - 2;
        Drag(Centre(second->LayoutRect()), {Centre(row).X, y});
        ASSERT_NE(viewer->InsertTarget(), nullptr);
        EXPECT_EQ(viewer->InsertDirection(), k.direction);
        Render("plot_layout_viewer_insert.png");
        Drop({Centre(row).X, y});
        EXPECT_EQ(changes, 1) << "a completed insertion is announced";
        EXPECT_EQ(label->ZOrder(), k.labelZ);
        EXPECT_EQ(second->ZOrder(), k.secondZ);
        EXPECT_EQ(toolBar->ZOrder(), k.toolBarZ);
        EXPECT_EQ(xAxis->ZOrder(), 0) << "the level the label left is closed";
        EXPECT_DOUBLE_EQ(second->StartPercent(), 0);
        EXPECT_DOUBLE_EQ(second->StopPercent(), 100);
    }
    // The toolbar row's upper half offers nothing.
    Drag(Centre(label->LayoutRect()), {Centre(toolBar->LayoutRect()).X, toolBar->LayoutRect().Top + 1});
    EXPECT_EQ(viewer->InsertTarget(), nullptr);
}

TEST_F(LayoutViewer, BlocksOfOneBandSwapTheirSpans) {
    auto* second = Add<TgPlotXAxis>("X Axis 2");
    xAxis->SetStartStopPercent(0, 40);
    second->SetStartStopPercent(50, 100);
    MoveTo(second, xAxis, TgInsertDirection::iidMerge);
    viewer->CalcBlocks();
    ASSERT_EQ(second->ZOrder(), xAxis->ZOrder());
    Drag(Centre(xAxis->LayoutRect()), Centre(second->LayoutRect()));
    EXPECT_EQ(viewer->OverLayoutObject(), second);
    Render("plot_layout_viewer_swap.png");
    Drop(Centre(second->LayoutRect()));
    EXPECT_EQ(changes, 1);
    EXPECT_DOUBLE_EQ(xAxis->StartPercent(), 50);
    EXPECT_DOUBLE_EQ(second->StopPercent(), 40);
}

TEST_F(LayoutViewer, ALabelMovesToTheOtherOrientation) {
    const TRect column = yAxis->LayoutRect();
    const TPoint left{column.Left + 1, Centre(column).Y};
    Drag(Centre(label->LayoutRect()), left);
    ASSERT_NE(viewer->InsertTarget(), nullptr);
    EXPECT_FALSE(viewer->InsertTarget()->Horizontal);
    EXPECT_EQ(viewer->InsertDirection(), TgInsertDirection::iidBelow);
    Drop(left);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(label->Horizontal());
    EXPECT_EQ(label->ZOrder(), 0);
    EXPECT_EQ(yAxis->ZOrder(), 1) << "the label went below (outside) the axis";
}

} // namespace kvtest_lview
