// The canvas's pixel rules, probed pixel by pixel.

#include "platform/gui/Graphics.h"
#include "tests/platform/gui/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cmath>
#include <functional>

using namespace kv;

namespace {

struct Probe {
    int x, y;
    TColor expected;
};

struct CanvasCase {
    const char* what;
    std::function<void(TCanvas&)> draw;
    std::vector<Probe> probes;
};

TEST(CanvasTest, PixelRules) {
    const CanvasCase cases[] = {
        {"a line leaves out its end pixel",
         [](TCanvas& c) {
             c.MoveTo(2, 5);
             c.LineTo(10, 5);
         },
         {{2, 5, clBlack}, {9, 5, clBlack}, {10, 5, clWhite}, {1, 5, clWhite}}},
        {"a diagonal line leaves out its end pixel",
         [](TCanvas& c) {
             c.MoveTo(0, 0);
             c.LineTo(4, 4);
         },
         {{0, 0, clBlack}, {3, 3, clBlack}, {4, 4, clWhite}}},
        {"a rectangle leaves out its right and bottom edge; the brush fills the inside",
         [](TCanvas& c) {
             c.Brush()->SetColor(clRed);
             c.Rectangle(2, 3, 8, 9);
         },
         {{2, 3, clBlack},
          {7, 3, clBlack},
          {7, 8, clBlack},
          {2, 8, clBlack},
          {8, 3, clWhite},
          {2, 9, clWhite},
          {3, 4, clRed},
          {6, 7, clRed}}},
        {"pen width 0 draws one pixel like width 1",
         [](TCanvas& c) {
             c.Pen()->SetWidth(0);
             c.MoveTo(5, 2);
             c.LineTo(5, 12);
         },
         {{5, 2, clBlack}, {5, 11, clBlack}, {4, 6, clWhite}, {6, 6, clWhite}, {5, 12, clWhite}}},
        {"a dashed pen fills its gaps with the brush colour when the brush is solid",
         [](TCanvas& c) {
             c.Brush()->SetColor(clYellow);
             c.Pen()->SetStyle(TPenStyle::psDash);
             c.MoveTo(0, 4);
             c.LineTo(30, 4);
         },
         {{0, 4, clBlack}, {17, 4, clBlack}, {18, 4, clYellow}, {23, 4, clYellow}, {24, 4, clBlack}}},
        {"a dashed pen leaves its gaps alone when the brush is clear",
         [](TCanvas& c) {
             c.Brush()->SetStyle(TBrushStyle::bsClear);
             c.Pen()->SetStyle(TPenStyle::psDash);
             c.MoveTo(0, 4);
             c.LineTo(30, 4);
         },
         {{17, 4, clBlack}, {18, 4, clWhite}, {24, 4, clBlack}}},
        {"FillRect covers left..right-1; FrameRect is one pixel in the brush colour",
         [](TCanvas& c) {
             c.Brush()->SetColor(clBlue);
             c.FillRect(Rect(1, 1, 4, 4));
             c.Brush()->SetColor(clGreen);
             c.FrameRect(Rect(10, 10, 15, 15));
         },
         {{1, 1, clBlue},
          {3, 3, clBlue},
          {4, 3, clWhite},
          {10, 10, clGreen},
          {14, 14, clGreen},
          {12, 12, clWhite},
          {15, 14, clWhite}}},
        {"a clear pen: the rectangle is filled one pixel smaller",
         [](TCanvas& c) {
             c.Pen()->SetStyle(TPenStyle::psClear);
             c.Brush()->SetColor(clRed);
             c.Rectangle(0, 0, 5, 5);
         },
         {{0, 0, clRed}, {3, 3, clRed}, {4, 4, clWhite}}},
        {"a hatch brush leaves its gaps alone by default",
         [](TCanvas& c) {
             c.Brush()->SetColor(clRed);
             c.Brush()->SetStyle(TBrushStyle::bsHorizontal);
             c.FillRect(Rect(0, 0, 8, 8));
         },
         {{3, 3, clRed}, {3, 1, clWhite}}},
        {"an opaque background fills the gaps of a hatch brush and a dashed pen",
         [](TCanvas& c) {
             c.Brush()->SetColor(clRed);
             c.Brush()->SetStyle(TBrushStyle::bsCross);
             c.SetBkMode(true, clAqua);
             c.FillRect(Rect(0, 0, 8, 8));
             c.Pen()->SetStyle(TPenStyle::psDot);
             c.MoveTo(0, 12);
             c.LineTo(12, 12);
         },
         {{1, 1, clAqua}, {0, 3, clRed}, {4, 0, clRed}, {0, 12, clBlack}, {3, 12, clAqua}, {6, 12, clBlack}}},
        {"shapes take the hatch too, their gaps left alone or in the opaque background",
         [](TCanvas& c) {
             c.Pen()->SetStyle(TPenStyle::psClear);
             c.Brush()->SetColor(clRed);
             c.Brush()->SetStyle(TBrushStyle::bsHorizontal);
             c.Ellipse(0, 0, 18, 18);
             c.SetBkMode(true, clAqua);
             c.Polygon({{20, 0}, {38, 0}, {38, 18}, {20, 18}});
         },
         {{9, 3, clRed}, {9, 11, clRed}, {9, 1, clWhite}, {29, 3, clRed}, {29, 1, clAqua}}},
        {"an XOR pen over black gives the pen colour",
         [](TCanvas& c) {
             c.Brush()->SetColor(clBlack);
             c.FillRect(Rect(0, 0, 40, 20));
             c.Pen()->SetMode(TPenMode::pmXor);
             c.Pen()->SetColor(clRed);
             c.MoveTo(0, 1);
             c.LineTo(5, 1);
         },
         {{0, 1, clRed}, {5, 1, clBlack}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TBitmap bmp(40, 20);
        c.draw(*bmp.Canvas());
        for (const Probe& p : c.probes)
            EXPECT_EQ(bmp.Canvas()->Pixel(p.x, p.y), p.expected) << "at " << p.x << "," << p.y;
    }
}

TEST(CanvasTest, FocusRectangleTwiceRestoresThePicture) {
    TBitmap bmp(30, 20);
    TCanvas& c = *bmp.Canvas();
    c.Brush()->SetColor(clTeal);
    c.FillRect(Rect(0, 0, 30, 10));
    c.Pen()->SetColor(clRed);
    c.MoveTo(0, 12);
    c.LineTo(30, 3);
    QImage before = bmp.Image().copy();
    c.DrawFocusRect(Rect(2, 2, 25, 15));
    QImage once = bmp.Image().copy();
    EXPECT_NE(once, before);
    // Dotted: every other pixel of the top edge changes.
    EXPECT_NE(once.pixel(2, 2), before.pixel(2, 2));
    EXPECT_EQ(once.pixel(3, 2), before.pixel(3, 2));
    c.DrawFocusRect(Rect(2, 2, 25, 15));
    EXPECT_EQ(bmp.Image(), before);
}

TEST(CanvasTest, RotatedTextIsAnchoredAtItsStartPoint) {
    // Text drawn at 90 degrees from (20, 60) runs upwards from there: ink lies above the start point
    // and to its right within one line height, never below it or left of it.
    TBitmap bmp(80, 80);
    TCanvas& c = *bmp.Canvas();
    c.Brush()->SetStyle(TBrushStyle::bsClear);
    c.Font()->SetName("Arial");
    c.Font()->SetHeight(-14);
    c.Font()->SetOrientation(900);
    c.TextOut(20, 60, "HHHH");
    QRect ink = InkBounds(bmp.Image(), qRgb(255, 255, 255));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), 20);
    EXPECT_LE(ink.right(), 20 + c.TextHeight("H"));
    EXPECT_LE(ink.bottom(), 60);
    EXPECT_GE(ink.bottom(), 55);
    EXPECT_GT(ink.height(), ink.width());

    // Unrotated, the same text lies right of and below the start point.
    TBitmap flat(80, 80);
    flat.Canvas()->Brush()->SetStyle(TBrushStyle::bsClear);
    flat.Canvas()->Font()->SetName("Arial");
    flat.Canvas()->Font()->SetHeight(-14);
    flat.Canvas()->TextOut(20, 30, "HHHH");
    QRect flatInk = InkBounds(flat.Image(), qRgb(255, 255, 255));
    EXPECT_GE(flatInk.left(), 20);
    EXPECT_GE(flatInk.top(), 30);
    EXPECT_GT(flatInk.width(), flatInk.height());
    EXPECT_EQ(flat.Canvas()->PenPos(), (TPoint{20 + flat.Canvas()->TextWidth("HHHH"), 30}));
}

TEST(CanvasTest, AntialiasedDrawingAddressesPixelCentres) {
    // With the half-pixel offset a one-pixel line on an integer row covers exactly that row.
    TBitmap bmp(20, 10);
    QPainter& p = bmp.Canvas()->BeginAntialiased();
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(2, 4), QPointF(15, 4));
    bmp.Canvas()->EndAntialiased();
    EXPECT_EQ(bmp.Canvas()->Pixel(8, 4), clBlack);
    EXPECT_EQ(bmp.Canvas()->Pixel(8, 3), clWhite);
    EXPECT_EQ(bmp.Canvas()->Pixel(8, 5), clWhite);
}

TEST(CanvasTest, OpaqueTextFillsItsCellWithTheBrush) {
    TBitmap bmp(60, 30);
    TCanvas& c = *bmp.Canvas();
    c.Brush()->SetColor(clYellow);
    c.TextOut(5, 5, "ab");
    EXPECT_EQ(c.Pixel(5, 5), clYellow);
    EXPECT_EQ(c.Pixel(5 + c.TextWidth("ab") - 1, 5 + c.TextHeight("ab") - 1), clYellow);
    EXPECT_EQ(c.Pixel(5 + c.TextWidth("ab"), 5), clWhite);
}

TEST(CanvasTest, SystemColoursAndFontSubstitutesAreFixed) {
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(clRed), clRed);
    EXPECT_EQ(SubstituteFontFamily("tahoma"), "DejaVu Sans");
    EXPECT_EQ(SubstituteFontFamily("Arial"), "Liberation Sans");
    EXPECT_EQ(SubstituteFontFamily("Times New Roman"), "Liberation Serif");
    TFont f;
    f.SetSize(8);
    EXPECT_EQ(f.Height(), -11);
    EXPECT_EQ(f.Size(), 8);
}

TEST(CanvasTest, OnePainterServesARunOfCallsAndCopiesStayAsTaken) {
    TBitmap bmp(40, 20);
    TCanvas& c = *bmp.Canvas();
    c.Pen()->SetWidth(3);
    c.Pen()->SetColor(clRed);
    c.MoveTo(2, 5);
    c.LineTo(30, 5);
    const QImage taken = bmp.ToImage(); // between two calls of a run
    c.MoveTo(2, 12);
    c.LineTo(30, 12);
    c.Brush()->SetColor(clBlue);
    c.FillRect({0, 15, 10, 20});
    EXPECT_EQ(FromQRgb(taken.pixel(10, 5)), clRed);
    EXPECT_EQ(FromQRgb(taken.pixel(10, 12)), clWhite);
    EXPECT_EQ(FromQRgb(taken.pixel(5, 17)), clWhite);
    EXPECT_EQ(c.Pixel(10, 12), clRed);
    EXPECT_EQ(c.Pixel(5, 17), clBlue);
    // A canvas drawing onto another bitmap's pixels sees what that bitmap's canvas drew so far.
    TBitmap other(40, 20);
    other.Canvas()->CopyRect({0, 0, 40, 20}, c, {0, 0, 40, 20});
    EXPECT_EQ(other.Canvas()->Pixel(10, 12), clRed);
    EXPECT_EQ(other.Canvas()->Pixel(5, 17), clBlue);

    // A wide polyline sets the pixels of its segments drawn one by one.
    TBitmap lines(60, 40), poly(60, 40);
    const std::vector<TPoint> points{{3, 30}, {12, 4}, {20, 25}, {21, 25}, {40, 10}, {55, 36}};
    for (TBitmap* b : {&lines, &poly}) {
        b->Canvas()->Pen()->SetWidth(2);
        b->Canvas()->Pen()->SetColor(clGreen);
    }
    poly.Canvas()->Polyline(points);
    lines.Canvas()->MoveTo(points[0].X, points[0].Y);
    for (std::size_t i = 1; i < points.size(); ++i)
        lines.Canvas()->LineTo(points[i].X, points[i].Y);
    EXPECT_TRUE(poly.ToImage() == lines.ToImage());
}

} // namespace
