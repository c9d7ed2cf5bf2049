#include "plot/gPlotAnnotation.h"

#include "plot/gPlotComponent.h"
#include "plot/gXYPlot.h"
#include "tests/plot/ErrorOf.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace kvtest {
using namespace kv;

namespace {

// A 400 x 300 plot, X axis 0..200, Y axis 0..100, with one annotation that takes the mouse without the
// select mode. Probes stay off the grid lines (multiples of 50 percent).
struct AnnotationFixture {
    AnnotationFixture() {
        plot.SetBounds(0, 0, 400, 300);
        for (TgPlotAxis* axis : {plot.GetXAxis(0), plot.GetYAxis(0)}) {
            axis->SetTrackingEnabled(false);
            axis->SetMin(0);
        }
        plot.GetXAxis(0)->SetSpan(200);
        plot.GetYAxis(0)->SetSpan(100);
        plot.GetDataCursor(0)->SetVisible(false);
        a = plot.GetAnnotation(plot.AddAnnotation());
        a->SetSelectModeOnlyInteraction(false);
        a->SetPenColor(clYellow);
        a->SetBrushColor(clBlue);
        Render();
    }
    std::unique_ptr<TBitmap> Render() {
        auto bitmap = std::make_unique<TBitmap>(plot.Width(), plot.Height());
        plot.gPaint(*bitmap->Canvas());
        return bitmap;
    }
    TRect DataView() { return plot.GetDataView(0)->DrawRect(); }
    TgPlotDataView* View() { return plot.GetDataView(0); }
    static QColor At(const TBitmap& b, int x, int y) { return QColor(b.Image().pixel(x, y)); }
    // A drag through the plot's own input, with a repaint after each step as the plot asks for one.
    void Drag(int x0, int y0, int x1, int y1) {
        const TShiftState held{TShiftItem::ssLeft};
        plot.gMouseDown(TMouseButton::mbLeft, held, x0, y0);
        plot.gMouseMove(held, x1, y1);
        Render();
        plot.gMouseUp(TMouseButton::mbLeft, {}, x1, y1);
    }

    TgXYPlot plot{nullptr};
    TgPlotAnnotation* a = nullptr;
};

} // namespace

TEST(PlotAnnotation, ACrossLineIsHitWithinFivePixels) {
    for (const TgPlotAnnotationStyle style :
         {TgPlotAnnotationStyle::ipasLineX, TgPlotAnnotationStyle::ipasLineY}) {
        AnnotationFixture f;
        f.a->SetStyle(style);
        f.a->SetX(50);
        f.a->SetY(50);
        auto picture = f.Render();
        const TRect dv = f.DataView();
        const bool vertical = style == TgPlotAnnotationStyle::ipasLineX;
        const int at =
            vertical ? f.View()->PositionPercentToPixelsX(50) : f.View()->PositionPercentToPixelsY(50);
        ASSERT_TRUE(f.a->Showing());
        for (const int along : {vertical ? dv.Top : dv.Left, vertical ? dv.Bottom : dv.Right}) {
            const int px = vertical ? at : along, py = vertical ? along : at;
            EXPECT_EQ(f.At(*picture, px, py), QColor(Qt::yellow)) << vertical << " end " << along;
        }
        for (const int off : {-6, -5, 0, 5, 6}) {
            const int px = vertical ? at + off : dv.Left + 30, py = vertical ? dv.Top + 30 : at + off;
            EXPECT_EQ(f.a->HitTest(px, py), std::abs(off) <= 5) << vertical << " offset " << off;
        }
    }
}

TEST(PlotAnnotation, ASegmentIsDrawnButNeverTakesTheMouse) {
    AnnotationFixture f;
    f.a->SetStyle(TgPlotAnnotationStyle::ipasLine);
    f.a->SetX(-50); // starts outside: drawn from the data view's edge
    f.a->SetY(10);
    f.a->SetX2(90);
    f.a->SetY2(10);
    auto picture = f.Render();
    const int row = f.View()->PositionPercentToPixelsY(10);
    EXPECT_EQ(f.At(*picture, f.View()->PositionPercentToPixelsX(40), row), QColor(Qt::yellow));
    EXPECT_FALSE(f.a->Showing());
    EXPECT_FALSE(f.a->HitTest(f.View()->PositionPercentToPixelsX(40), row));
}

TEST(PlotAnnotation, TextSitsItsMarginsAwayFromThePoint) {
    struct Case {
        TgAlignmentHorizontal horz;
        TgAlignmentVertical vert;
    };
    for (const Case c : {Case{TgAlignmentHorizontal::iahLeft, TgAlignmentVertical::iavCenter},
                         Case{TgAlignmentHorizontal::iahRight, TgAlignmentVertical::iavCenter},
                         Case{TgAlignmentHorizontal::iahCenter, TgAlignmentVertical::iavTop},
                         Case{TgAlignmentHorizontal::iahCenter, TgAlignmentVertical::iavBottom}}) {
        AnnotationFixture f;
        f.a->SetText("Peak\r\nhold");
        f.a->SetX(40);
        f.a->SetY(40);
        f.a->SetTextHorzAlignment(c.horz);
        f.a->SetTextVertAlignment(c.vert);
        auto picture = f.Render();
        TCanvas& canvas = *picture->Canvas();
        canvas.SetFont(f.a->Font());
        const int wA = canvas.TextWidth("A"), hA = canvas.TextHeight("A");
        const int x = f.View()->PositionPercentToPixelsX(40), y = f.View()->PositionPercentToPixelsY(40);
        const TRect r = f.a->ClickRect();
        const std::string label = std::to_string(int(c.horz)) + "/" + std::to_string(int(c.vert));
        ASSERT_TRUE(f.a->Showing()) << label;
        EXPECT_EQ(r.Width(), gTextWidthMultiLine(canvas, "Peak\r\nhold")) << label;
        if (c.horz == TgAlignmentHorizontal::iahLeft) {
            EXPECT_EQ(r.Left, x + wA) << label;
        }
        if (c.horz == TgAlignmentHorizontal::iahRight) {
            EXPECT_NEAR(r.Right, x - wA, 1) << label;
        }
        if (c.vert == TgAlignmentVertical::iavTop) {
            EXPECT_EQ(r.Top, y + hA) << label;
        }
        if (c.vert == TgAlignmentVertical::iavBottom) {
            EXPECT_NEAR(r.Bottom, y - hA, 1) << label;
        }
        bool white = false; // the text in the font's colour
        for (int px = r.Left; px < r.Right && !white; ++px)
            for (int py = r.Top; py < r.Bottom && !white; ++py)
                white = f.At(*picture, px, py) == QColor(Qt::white);
        EXPECT_TRUE(white) << label;
    }
}

// A text wider than its rectangle runs out over both sides instead of being cut at the frame.
TEST(PlotAnnotation, TextWiderThanItsRectangleIsDrawnWhole) {
    AnnotationFixture f;
    f.a->SetStyle(TgPlotAnnotationStyle::ipasTextRectangle);
    f.a->SetText("Overload warning on every channel");
    f.a->SetX(50);
    f.a->SetY(30);
    f.a->SetWidth(8);
    f.a->SetHeight(20);
    auto picture = f.Render();
    ASSERT_TRUE(f.a->Showing());
    const TRect box = f.a->DrawRect();
    TCanvas& measure = *picture->Canvas();
    measure.SetFont(f.a->Font());
    const int tw = measure.TextWidth("Overload warning on every channel");
    ASSERT_GT(tw, box.Width() + 40) << "the fixture needs a text much wider than the box";
    picture->Image().save(QString::fromStdString(::testing::TempDir() + "kv-annotation-wide-text.png"));
    // Inside the data view, clear of the axis lines on its edges; its middle grid line lies in the box.
    const TRect dv = f.DataView();
    int left = INT_MAX, right = INT_MIN;
    for (int py = box.Top + 1; py < box.Bottom - 1; ++py)
        for (int px = dv.Left + 2; px < dv.Right - 2; ++px)
            if (const QColor c = f.At(*picture, px, py); c.red() > 100 && c.green() > 100 && c.blue() > 100) {
                left = std::min(left, px); // white text, smoothed edges included
                right = std::max(right, px);
            }
    ASSERT_LE(left, right) << "no text drawn";
    EXPECT_LT(left, box.Left - 15) << "text cut at the left edge";
    EXPECT_GT(right, box.Right + 15) << "text cut at the right edge";
    EXPECT_GE(right - left, tw - 6) << "the whole line, first to last glyph";
}

TEST(PlotAnnotation, EachCoordinateTakesItsOwnFrame) {
    AnnotationFixture f;
    f.a->SetChannelName(f.plot.GetChannel(0)->Name());
    f.a->SetStyle(TgPlotAnnotationStyle::ipasRectangle);
    f.a->SetReference(TgPlotReferenceType::iprtXChannelYDataView);
    // X and Width in X-axis units (0..200), Y and Height in percent of the data view.
    f.a->SetX(100);
    f.a->SetWidth(40);
    f.a->SetY(30);
    f.a->SetHeight(20);
    f.Render();
    TgPlotAxis& x = *f.plot.GetXAxis(0);
    TgPlotDataView& dv = *f.View();
    const TRect r = f.a->DrawRect();
    EXPECT_NEAR((r.Left + r.Right) / 2.0, x.PositionToPixels(100), 1);
    EXPECT_NEAR(r.Width(), x.PositionToPixels(40) - x.PositionToPixels(0), 1);
    EXPECT_NEAR((r.Top + r.Bottom) / 2.0, dv.PositionPercentToPixelsY(30), 1);
    EXPECT_NEAR(r.Height(), dv.PositionPercentToPixelsY(0) - dv.PositionPercentToPixelsY(20), 1);

    // An individual setting overrides the reference.
    f.a->SetReferencePositionY(TgPlotReferenceIndividual::ipriChannel);
    f.a->SetY(80);
    f.Render();
    EXPECT_NEAR((f.a->DrawRect().Top + f.a->DrawRect().Bottom) / 2.0,
                f.plot.GetYAxis(0)->PositionToPixels(80), 1);

    // A channel frame whose channel is not found draws nothing and cannot be hit.
    f.a->SetChannelName("Nothing by this name");
    auto picture = f.Render();
    EXPECT_FALSE(f.a->Showing());
    EXPECT_FALSE(f.a->HitTest(x.PositionToPixels(100), dv.PositionPercentToPixelsY(30)));
    EXPECT_NE(f.At(*picture, x.PositionToPixels(100), dv.PositionPercentToPixelsY(30)), QColor(Qt::blue));
}

TEST(PlotAnnotation, FollowsItsChannelThroughRenamesOfChannelAndAxis) {
    AnnotationFixture f;
    TgPlotChannelCustom* channel = f.plot.GetChannel(0);
    f.a->SetChannelName(channel->Name());
    f.a->SetReference(TgPlotReferenceType::iprtChannel);
    f.a->SetStyle(TgPlotAnnotationStyle::ipasRectangle);
    f.a->SetX(60);
    f.a->SetY(40);
    f.a->SetWidth(20);
    f.a->SetHeight(20);
    f.Render();
    ASSERT_TRUE(f.a->Showing());
    channel->SetName("Input A");
    EXPECT_EQ(f.a->ChannelName(), "Input A");
    f.plot.GetXAxis(0)->SetName("Frequency");
    EXPECT_EQ(channel->XAxisName(), "Frequency");
    auto picture = f.Render();
    EXPECT_TRUE(f.a->Showing());
    EXPECT_EQ(
        f.At(*picture, f.plot.GetXAxis(0)->PositionToPixels(62), f.plot.GetYAxis(0)->PositionToPixels(42)),
        QColor(Qt::blue));
    f.plot.DeleteChannel(0);
    f.Render();
    EXPECT_FALSE(f.a->Showing()) << "its channel is gone";
}

TEST(PlotAnnotation, DraggingTheBottomRightHandleWidensTheRectangleAboutAMovedCentre) {
    AnnotationFixture f;
    f.a->SetStyle(TgPlotAnnotationStyle::ipasRectangle);
    f.a->SetUserCanSize(true);
    f.a->SetX(40);
    f.a->SetY(40);
    f.a->SetWidth(20);
    f.a->SetHeight(20);
    std::vector<std::string> events;
    f.plot.OnAnnotationResizeUser = [&](TObject*, int) { events.push_back("resize"); };
    f.plot.OnAnnotationCoordinatesChangeFinished = [&](TObject*, int) { events.push_back("finished"); };
    f.plot.OnClickAnnotation = [&](TObject*, int) { events.push_back("click"); };
    f.Render();
    const TRect before = f.a->DrawRect();
    f.a->SetUserSelected(true);
    EXPECT_EQ(f.a->GetMouseCursor({before.Right, before.Bottom}), crSizeNWSE);
    EXPECT_EQ(f.a->GetMouseCursor({before.Right, before.Top}), crSizeNESW);
    EXPECT_EQ(f.a->GetMouseCursor({before.Left + 5, before.Top + 5}), crHandPoint);
    f.Drag(before.Right, before.Bottom, before.Right + 10, before.Bottom);
    const TRect after = f.a->DrawRect();
    EXPECT_NEAR((after.Left + after.Right) / 2.0, (before.Left + before.Right) / 2.0 + 5, 1);
    EXPECT_NEAR(after.Width(), before.Width() + 10, 1);
    EXPECT_NEAR(after.Height(), before.Height(), 1);
    EXPECT_NEAR(f.a->Width(), 20 * (before.Width() + 10.0) / before.Width(), 0.5);
    EXPECT_EQ(events, (std::vector<std::string>{"resize", "click", "finished"}));
}

TEST(PlotAnnotation, MovingACornerShapeKeepsItsSize) {
    AnnotationFixture f;
    f.a->SetStyle(TgPlotAnnotationStyle::ipasRectangle2);
    f.a->SetUserCanMove(true);
    f.a->SetX(20);
    f.a->SetY(60);
    f.a->SetX2(40);
    f.a->SetY2(30);
    int moves = 0;
    f.plot.OnAnnotationMoveUser = [&](TObject*, int) { ++moves; };
    f.Render();
    const TRect before = f.a->DrawRect();
    f.Drag(before.Left + 10, before.Top + 10, before.Left + 40, before.Top + 20);
    const TRect after = f.a->DrawRect();
    EXPECT_EQ(after.Left, before.Left + 30);
    EXPECT_EQ(after.Top, before.Top + 10);
    EXPECT_EQ(after.Width(), before.Width());
    EXPECT_EQ(after.Height(), before.Height());
    EXPECT_NEAR(f.a->X2() - f.a->X(), 20, 1e-9);
    EXPECT_NEAR(f.a->Y2() - f.a->Y(), -30, 1e-9);
    EXPECT_EQ(moves, 1);
}

TEST(PlotAnnotation, WithoutTheSelectModeClicksPassThrough) {
    AnnotationFixture f;
    f.a->SetSelectModeOnlyInteraction(true);
    f.a->SetStyle(TgPlotAnnotationStyle::ipasRectangle);
    f.a->SetX(40);
    f.a->SetY(40);
    f.a->SetWidth(20);
    f.a->SetHeight(20);
    f.Render();
    const int x = f.View()->PositionPercentToPixelsX(40), y = f.View()->PositionPercentToPixelsY(40);
    EXPECT_FALSE(f.a->HitTest(x, y));
    f.plot.SyncSelectMode(true);
    EXPECT_TRUE(f.a->HitTest(x, y));
}

TEST(PlotAnnotation, InvertedHandlesInvertedAgainGiveThePictureBack) {
    AnnotationFixture f;
    f.a->SetStyle(TgPlotAnnotationStyle::ipasEllipse2);
    f.a->SetX(40);
    f.a->SetY(40);
    f.a->SetWidth(30);
    f.a->SetHeight(30);
    auto plain = f.Render();
    f.a->SetUserSelected(true);
    auto selected = f.Render();
    const TRect handle = f.a->SizeTopLeftRect();
    ASSERT_EQ(handle.Width(), 6);
    ASSERT_EQ(handle.Height(), 6);
    for (int x = handle.Left; x < handle.Right; ++x)
        for (int y = handle.Top; y < handle.Bottom; ++y)
            ASSERT_EQ(selected->Image().pixel(x, y) & 0xFFFFFFu, ~plain->Image().pixel(x, y) & 0xFFFFFFu)
                << x << "," << y;
    EXPECT_EQ(f.a->HitTest(handle.Left, handle.Top), true) << "handles are part of the annotation";
    f.a->InvertHandles(*selected->Canvas());
    EXPECT_EQ(selected->Image(), plain->Image());

    f.a->SetShowFocusRect(false);
    EXPECT_EQ(f.Render()->Image(), plain->Image());
}

TEST(PlotAnnotation, APolygonShowsHandlesThatResizeNothing) {
    AnnotationFixture f;
    f.a->SetStyle(TgPlotAnnotationStyle::ipasPolygon);
    f.a->SetUserCanSize(true);
    EXPECT_EQ(f.a->PolyPointAdd(20, 20), 0);
    f.Render();
    EXPECT_FALSE(f.a->Showing()) << "one corner draws nothing";
    EXPECT_EQ(f.a->PolyPointAdd(40, 60), 1);
    EXPECT_EQ(f.a->PolyPointAdd(60, 20), 2);
    auto picture = f.Render();
    TgPlotDataView& dv = *f.View();
    const TRect box = f.a->DrawRect();
    EXPECT_EQ(box, Rect(dv.PositionPercentToPixelsX(20), dv.PositionPercentToPixelsY(60),
                        dv.PositionPercentToPixelsX(60), dv.PositionPercentToPixelsY(20)));
    EXPECT_EQ(f.At(*picture, dv.PositionPercentToPixelsX(40), dv.PositionPercentToPixelsY(30)),
              QColor(Qt::blue));
    EXPECT_TRUE(f.a->HitTest(box.Right + 2, box.Bottom + 2)) << "the handle outside the box";
    f.Drag(box.Right, box.Bottom, box.Right + 20, box.Bottom + 20);
    EXPECT_EQ(f.a->DrawRect(), box);
    EXPECT_EQ(f.a->PolyPoint(2).X, 60);
}

TEST(PlotAnnotation, AnOwnImageIsDrawnCentredWithItsCornerColourSeeThrough) {
    AnnotationFixture f;
    f.a->SetStyle(TgPlotAnnotationStyle::ipasImage);
    f.a->SetX(40);
    f.a->SetY(40);
    TBitmap image(10, 8);
    image.Canvas()->Brush()->SetColor(clLime);
    image.Canvas()->FillRect(Rect(0, 0, 10, 8));
    image.Canvas()->Brush()->SetColor(clRed);
    image.Canvas()->FillRect(Rect(2, 2, 8, 6));
    f.a->SetImage(&image);
    auto picture = f.Render();
    const int x = f.View()->PositionPercentToPixelsX(40), y = f.View()->PositionPercentToPixelsY(40);
    EXPECT_EQ(f.a->ClickRect(), Rect(x - 5, y - 4, x + 5, y + 4));
    EXPECT_EQ(f.At(*picture, x, y), QColor(Qt::red));
    EXPECT_EQ(f.At(*picture, x - 4, y - 3), QColor(Qt::black))
        << "the lime border lets the background through";

    const std::string missing = "/tmp/no-such-annotation-picture.bmp";
    EXPECT_NE(ErrorOf([&] { f.a->ImageLoadFromFile(missing); }), "");
    ASSERT_NE(f.a->Image(), nullptr) << "the previous picture stays";
    EXPECT_EQ(f.a->Image()->Width(), 10);
    f.a->ImageClear();
    EXPECT_EQ(f.a->Image(), nullptr);
}

TEST(PlotAnnotation, ANewAnnotationsPenWidthIsTheOneItsStreamLeavesOut) {
    // Otherwise a width of 1 would not be written and would read back as the constructed width.
    TgXYPlot plot(nullptr);
    TgPlotAnnotation bare(
        &plot, [](TObject*) {}, [](TObject*) {}, [](TObject*) {}, [](TObject*) {});
    const auto ref = FindPropRef(bare, "PenWidth");
    ASSERT_TRUE(ref.has_value());
    EXPECT_EQ(bare.PenWidth(), 1);
    EXPECT_TRUE(ref->prop->IsDefaultValue(bare));
}

TEST(PlotAnnotation, WithoutAnOwnImageThePlotsImageListIsUsedGreyedWhenDisabled) {
    struct Case {
        int listIndex; // 0, 1, and anything else for list 2
        int usedList;
    };
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{7, 2}}) {
        AnnotationFixture f;
        TBitmap picture(12, 12);
        picture.Canvas()->Brush()->SetColor(clLime); // the corner colour: see-through
        picture.Canvas()->FillRect(Rect(0, 0, 12, 12));
        picture.Canvas()->Brush()->SetColor(clRed);
        picture.Canvas()->FillRect(Rect(3, 3, 9, 9));
        f.plot.ImageListAdd(c.usedList, picture);
        f.a->SetStyle(TgPlotAnnotationStyle::ipasImage);
        f.a->SetImageListIndex(c.listIndex);
        f.a->SetX(30);
        f.a->SetY(30);
        auto drawn = f.Render();
        const int x = f.View()->PositionPercentToPixelsX(30), y = f.View()->PositionPercentToPixelsY(30);
        EXPECT_EQ(f.a->ClickRect(), Rect(x - 6, y - 6, x + 6, y + 6)) << c.listIndex;
        EXPECT_EQ(f.At(*drawn, x, y), QColor(Qt::red)) << c.listIndex;
        EXPECT_EQ(f.At(*drawn, x - 5, y - 5), QColor(Qt::black)) << c.listIndex;
        f.a->SetEnabled(false);
        drawn = f.Render();
        const QColor grey = f.At(*drawn, x, y);
        EXPECT_TRUE(grey != QColor(Qt::red) && grey.red() == grey.green()) << c.listIndex << ": greyed";

        f.a->SetImageIndex(3); // no such picture
        f.Render();
        EXPECT_FALSE(f.a->Showing()) << c.listIndex;
    }
}

TEST(PlotAnnotation, WithSwappedAxesXRunsDownTheDataViewAndDragsFollowIt) {
    AnnotationFixture f;
    f.plot.SetXYAxesReverse(true);
    f.a->SetStyle(TgPlotAnnotationStyle::ipasLineX);
    f.a->SetX(30);
    auto picture = f.Render();
    TgPlotDataView& dv = *f.View();
    const int row = dv.PositionPercentToPixelsY(30);
    EXPECT_EQ(f.At(*picture, dv.DrawRect().Left + 7, row), QColor(Qt::yellow)) << "a line across";
    EXPECT_TRUE(f.a->HitTest(dv.DrawRect().Left + 7, row + 5));

    f.a->SetStyle(TgPlotAnnotationStyle::ipasRectangle2);
    f.a->SetUserCanMove(true);
    f.a->SetX(20);
    f.a->SetY(10);
    f.a->SetX2(40);
    f.a->SetY2(30);
    f.Render();
    const TRect r = f.a->DrawRect();
    // X from the rows, Y from the columns.
    EXPECT_EQ(r, gRectFromCorners(dv.PositionPercentToPixelsX(10), dv.PositionPercentToPixelsY(20),
                                  dv.PositionPercentToPixelsX(30), dv.PositionPercentToPixelsY(40)));
    const double x = f.a->X(), y = f.a->Y();
    f.Drag(r.Left + 5, r.Top + 5, r.Left + 5, r.Top + 5 - dv.Height() / 10);
    EXPECT_NEAR(f.a->X(), x + 10, 0.5) << "dragged up: X grows";
    EXPECT_NEAR(f.a->Y(), y, 0.5) << "to the pixel";
}

} // namespace kvtest
