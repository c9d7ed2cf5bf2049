#include "plot/gDraw.h"

#include "platform/gui/PageControl.h"
#include "plot/gPlotAxisFormat.h"
#include "plot/gPlotTable.h"

#include <gtest/gtest.h>

#include <QImage>

#include <climits>
#include <cmath>
#include <limits>
#include <set>

using namespace kv;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(gDrawNumbers, SaturatingConversionsTakeTheNearestIntAndNeverOverflow) {
    struct Case {
        double v;
        int round, trunc;
    } cases[] = {
        {2.5, 2, 2},
        {3.5, 4, 3},
        {-2.5, -2, -2},
        {-2.7, -3, -2},
        {1e12, INT_MAX, INT_MAX},
        {-1e12, INT_MIN, INT_MIN},
        {kInf, INT_MAX, INT_MAX},
        {-kInf, INT_MIN, INT_MIN},
        {std::nan(""), 0, 0},
        {2147483647.4, INT_MAX, INT_MAX},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gRoundSaturated(c.v), c.round) << c.v;
        EXPECT_EQ(gTruncSaturated(c.v), c.trunc) << c.v;
    }
}

TEST(gDrawNumbers, LightenDarkenClampsEachPartAndResolvesSystemColours) {
    EXPECT_EQ(gLightenDarkenColor(RGB(250, 10, 128), 64, true), RGB(255, 74, 192));
    EXPECT_EQ(gLightenDarkenColor(RGB(20, 40, 60), 32, false), RGB(0, 8, 28));
    const TColor face = ColorToRGB(clBtnFace);
    EXPECT_EQ(gLightenDarkenColor(clBtnFace, 0, true), face);
}

TEST(gDrawNumbers, PrecisionToDecimals) {
    using S = TgPrecisionStyle;
    struct Case {
        int p;
        S style;
        double a, b;
        int decimals;
    } cases[] = {
        {3, S::ipsSignificantDigits, -100, 20, 0}, {3, S::ipsSignificantDigits, 0, 0.5, 3},
        {3, S::ipsSignificantDigits, 0, 0.05, 4},  {3, S::ipsSignificantDigits, 7, 7, 1},
        {0, S::ipsSignificantDigits, 0, 1, 0},     {5, S::ipsFixedDecimalPoints, 0, 1000, 5},
        {3, S::ipsSignificantDigits, 0, kInf, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(gPrecisionToDecimals(c.p, c.style, c.a, c.b), c.decimals) << c.a << ".." << c.b;
}

TEST(gDrawNumbers, DateTimeSpansInWholeUnits) {
    EXPECT_EQ(gDateTimeToSeconds(1.5), 129600);
    EXPECT_EQ(gDateTimeToMilliseconds(1.5), 129600000);
    EXPECT_EQ(gDateTimeToMinutes(1.5), 2160);
    EXPECT_EQ(gDateTimeToHours(1.5), 36);
    // 1 h 2 min 3.004 s.
    const double t = (3600 + 120 + 3.004) / 86400.0;
    EXPECT_EQ(gDateTimeToMilliseconds(t), 3723004);
    EXPECT_EQ(gDateTimeToSeconds(t), 3723);
    // A whole day reached through rounding error counts once, not as a day plus 24 hours.
    EXPECT_EQ(gDateTimeToHours(1.0 - 1e-16), 24);
    // Negative spans (a half day included, whose time of day alone is positive) and spans too long
    // for an int give the fixed answers.
    EXPECT_EQ(gDateTimeToSeconds(-0.5), INT_MAX);
    EXPECT_EQ(gDateTimeToMilliseconds(-2), INT_MAX);
    EXPECT_EQ(gDateTimeToMinutes(-0.5), 10000);
    EXPECT_EQ(gDateTimeToMilliseconds(100), INT_MAX);
    EXPECT_EQ(gDateTimeToHours(std::nan("")), INT_MAX);
}

TEST(gDrawNumbers, PaperSizes) {
    struct Case {
        int code;
        double w, h;
    } cases[] = {
        {1, 8.5, 11},
        {2, 8.5, 11},
        {3, 11, 17},
        {4, 17, 11},
        {5, 8.5, 14},
        {8, 297 / 25.4, 420 / 25.4},
        {9, 210 / 25.4, 297 / 25.4},
        {10, 210 / 25.4, 297 / 25.4},
        {11, 148 / 25.4, 210 / 25.4},
        {13, 182 / 25.4, 257 / 25.4},
        {20, 4.125, 9.5},
        {66, 420 / 25.4, 594 / 25.4},
        {48, 8.5, 11},
        {49, 8.5, 11},
        {0, 8.5, 11},
        {69, 8.5, 11},
        {-3, 8.5, 11},
    };
    for (const Case& c : cases) {
        double w = 0, h = 0;
        gGetPaperSize(c.code, w, h);
        EXPECT_NEAR(w, c.w, 1e-9) << c.code;
        EXPECT_NEAR(h, c.h, 1e-9) << c.code;
    }
    double w = 0, h = 0;
    gGetPrinterPaperSize(w, h);
    EXPECT_GT(w, 1);
    EXPECT_GT(h, 1);
}

TEST(gDrawNumbers, PointsAndRectanglesForSwappedRoles) {
    EXPECT_EQ(gSwapPoint(false, 1, 2), (TPoint{1, 2}));
    EXPECT_EQ(gSwapPoint(true, 1, 2), (TPoint{2, 1}));
    EXPECT_EQ(gRectFromCorners(10, 5, 2, 8), Rect(2, 5, 10, 8));
    EXPECT_EQ(gSwapRect(false, 10, 5, 2, 8), Rect(2, 5, 10, 8));
    EXPECT_EQ(gSwapRect(true, 10, 5, 2, 8), Rect(5, 2, 8, 10));
    int a = 1, b = 2;
    gSwapIntegers(a, b);
    EXPECT_EQ(a * 10 + b, 21);
    EXPECT_EQ(gDoublePoint(1.5, -2), (TgDoublePoint{1.5, -2}));
}

// A white bitmap with a canvas in a fixed font.
struct Surface {
    QImage image;
    TCanvas canvas;
    Surface(int w, int h, QRgb background = 0xFFFFFF) : image(w, h, QImage::Format_RGB32), canvas(&image) {
        image.fill(background);
        canvas.Font()->SetName("Arial");
        canvas.Font()->SetHeight(-14);
        canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    }
    QImage Done() {
        canvas.EndPaint();
        return image;
    }
};

std::set<QRgb> InkColours(const QImage& img, QRgb background = 0xFFFFFF) {
    std::set<QRgb> s;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) != background)
                s.insert(img.pixel(x, y) & 0xFFFFFF);
    return s;
}

// Bounding box of the non-white pixels (empty rectangle when there are none).
TRect Ink(const QImage& img) {
    TRect r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
                r.Left = std::min(r.Left, x);
                r.Top = std::min(r.Top, y);
                r.Right = std::max(r.Right, x + 1);
                r.Bottom = std::max(r.Bottom, y + 1);
            }
    return r;
}

TEST(gDrawText, DisabledTextIsEmbossedUnlessBlackAndLeavesTheFontColour) {
    const QRgb light = ToQRgb(gLightenDarkenColor(clBtnFace, 64, true)) & 0xFFFFFF;
    const QRgb dark = ToQRgb(gLightenDarkenColor(clBtnFace, 32, false)) & 0xFFFFFF;
    {
        // On a dark ground: the highlight copy may be white.
        Surface s(80, 30, 0x000080);
        s.canvas.Font()->SetColor(clRed);
        TRect r{0, 0, 80, 30};
        EXPECT_GT(gDrawText(s.canvas, "WWW", r, gtoLeft | gtoSingleLine, false, clBlue), 0);
        EXPECT_EQ(s.canvas.Font()->Color(), clRed);
        const auto colours = InkColours(s.Done(), 0x000080);
        EXPECT_TRUE(colours.count(light)) << "highlight copy";
        EXPECT_TRUE(colours.count(dark)) << "shadow copy";
    }
    {
        Surface s(80, 30);
        TRect r{0, 0, 80, 30};
        gDrawText(s.canvas, "WWW", r, gtoLeft | gtoSingleLine, false, clBlack);
        const auto colours = InkColours(s.Done());
        EXPECT_FALSE(colours.count(light)) << "black disabled text is drawn once, plainly";
        EXPECT_TRUE(colours.count(0));
    }
    {
        Surface s(80, 30);
        TRect r{0, 0, 0, 0};
        const int h = gDrawText(s.canvas, "WW", r, gtoNoClip | gtoCalcRect, false, clBlue);
        EXPECT_TRUE(InkColours(s.Done()).empty()) << "measuring draws nothing";
        EXPECT_EQ(r.Bottom, h);
        EXPECT_GT(r.Right, 10);
    }
}

TEST(gDrawText, MeasuresLinesEndedByCrLfOrCrLf) {
    Surface s(10, 10);
    const int one = gTextHeightMultiLine(s.canvas, "A");
    EXPECT_GT(one, 0);
    for (const char* text : {"A\rBB\nA", "A\r\nBB\r\nA", "A\nBB\rA"}) {
        EXPECT_NEAR(gTextHeightMultiLine(s.canvas, text), 3 * one, 3) << text;
        EXPECT_EQ(gTextWidthMultiLine(s.canvas, text), s.canvas.TextWidth("BB"));
    }
    EXPECT_EQ(gTextWidthMultiLine(s.canvas, ""), 0);
    const int wide = gTextHeightWrapped(s.canvas, "alpha beta gamma delta", 1000);
    EXPECT_EQ(wide, one);
    EXPECT_GE(gTextHeightWrapped(s.canvas, "alpha beta gamma delta", s.canvas.TextWidth("alpha ") + 2),
              3 * one);
    EXPECT_TRUE(InkColours(s.Done()).empty());
}

TEST(gDrawText, UprightTextBreaksAtEveryLineEnd) {
    for (const char* text : {"Gain\rGain", "Gain\nGain", "Gain\r\nGain"}) {
        Surface s(200, 200);
        s.canvas.Font()->SetColor(clBlack);
        TRect used;
        gDrawRotatedText(s.canvas, text, Rect(50, 50, 150, 150), TgRotationAngle::ira000,
                         TgAlignmentHorizontal::iahCenter, true, clBlack, used);
        const TRect ink = Ink(s.Done());
        EXPECT_LT(ink.Width(), s.canvas.TextWidth("Gain Gain")) << "two short lines, not one long one";
        EXPECT_GT(ink.Height(), s.canvas.TextHeight("Gain")) << "two lines high";
    }
}

TEST(gDrawText, RotatedTextIsCentredOnTheRectangle) {
    const std::string text = "Frequency";
    for (auto rot : {TgRotationAngle::ira000, TgRotationAngle::ira090, TgRotationAngle::ira180,
                     TgRotationAngle::ira270}) {
        Surface s(200, 200);
        s.canvas.Font()->SetColor(clBlack);
        TRect used;
        gDrawRotatedText(s.canvas, text, Rect(50, 50, 150, 150), rot, TgAlignmentHorizontal::iahCenter, true,
                         clBlack, used);
        EXPECT_EQ(s.canvas.Font()->Orientation(), 0) << "the font is given back unturned";
        const int w = s.canvas.TextWidth(text), h = s.canvas.TextHeight(text);
        const bool upright = rot == TgRotationAngle::ira000 || rot == TgRotationAngle::ira180;
        EXPECT_EQ(used.Width(), upright ? w / 2 * 2 : h / 2 * 2);
        EXPECT_EQ(used.Height(), upright ? h / 2 * 2 : w / 2 * 2);
        const QImage img = s.Done();
        const TRect ink = Ink(img);
        // The glyphs lie inside the text rectangle (give or take the rounding of halves) and their
        // middle is near the centre.
        EXPECT_GE(ink.Left, used.Left - 2) << int(rot);
        EXPECT_LE(ink.Right, used.Right + 2) << int(rot);
        EXPECT_GE(ink.Top, used.Top - 2) << int(rot);
        EXPECT_LE(ink.Bottom, used.Bottom + 2) << int(rot);
        EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 100, upright ? 4 : 6) << int(rot);
        EXPECT_NEAR((ink.Top + ink.Bottom) / 2.0, 100, upright ? 6 : 4) << int(rot);
        EXPECT_EQ(upright, ink.Width() > ink.Height()) << int(rot);
        img.save(QString::fromStdString(::testing::TempDir() + "gDrawRotated%1.png").arg(int(rot)));
    }
}

TEST(gDrawGradient, StraightFillsRunFromStartToStop) {
    const TColor a = RGB(0, 0, 0), b = RGB(200, 100, 50);
    {
        Surface s(10, 11);
        gDrawGradient(s.canvas, Rect(0, 0, 10, 11), TgFillDirection::ifdTopBottom, a, b);
        const QImage img = s.Done();
        EXPECT_EQ(FromQRgb(img.pixel(5, 0)), a);
        EXPECT_EQ(FromQRgb(img.pixel(5, 5)), RGB(100, 50, 25));
        EXPECT_EQ(FromQRgb(img.pixel(5, 10)), b);
        EXPECT_EQ(FromQRgb(img.pixel(9, 10)), b) << "strokes reach the right edge";
        EXPECT_EQ(s.canvas.Brush()->Style(), TBrushStyle::bsClear);
    }
    {
        Surface s(11, 4);
        gDrawGradient(s.canvas, Rect(0, 0, 11, 4), TgFillDirection::ifdRightLeft, a, b);
        const QImage img = s.Done();
        EXPECT_EQ(FromQRgb(img.pixel(0, 2)), b);
        EXPECT_EQ(FromQRgb(img.pixel(10, 2)), a);
    }
}

TEST(gDrawGradient, OneStrokeTakesTheStartColourAndEmptyRectanglesDrawNothing) {
    const TColor a = RGB(10, 20, 30), b = RGB(200, 100, 50);
    for (auto dir : {TgFillDirection::ifdTopBottom, TgFillDirection::ifdBottomTop}) {
        Surface s(10, 5);
        gDrawGradient(s.canvas, Rect(0, 2, 10, 3), dir, a, b);
        const QImage img = s.Done();
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(FromQRgb(img.pixel(x, 2)), a) << x;
        EXPECT_EQ(FromQRgb(img.pixel(0, 1)), clWhite);
        EXPECT_EQ(FromQRgb(img.pixel(0, 3)), clWhite);
    }
    Surface s(10, 10);
    gDrawGradient(s.canvas, Rect(3, 3, 3, 3), TgFillDirection::ifdLeftRight, a, b);
    gDrawGradient(s.canvas, Rect(3, 3, 1, 1), TgFillDirection::ifdTopBottom, a, b);
    EXPECT_TRUE(InkColours(s.Done()).empty());
}

TEST(gDrawGradient, AreaFillsCoverFromTheOriginAndMarkTheCentre) {
    const TColor a = RGB(255, 0, 0), b = RGB(0, 0, 255);
    for (auto dir :
         {TgFillDirection::ifdTopLeftBottomRight, TgFillDirection::ifdBottomLeftTopRight,
          TgFillDirection::ifdRectangleOut, TgFillDirection::ifdRectangleIn, TgFillDirection::ifdCircleOut}) {
        Surface s(40, 30);
        gDrawGradient(s.canvas, Rect(0, 0, 40, 30), dir, a, b);
        const QImage img = s.Done();
        img.save(QString::fromStdString(::testing::TempDir() + "gDrawGradient%1.png").arg(int(dir)));
        int white = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                white += (img.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
        EXPECT_LT(white, 40 * 30 / 10) << int(dir);
        if (dir == TgFillDirection::ifdRectangleOut) {
            EXPECT_EQ(FromQRgb(img.pixel(19, 14)), a);
        }
        if (dir == TgFillDirection::ifdRectangleIn) {
            EXPECT_EQ(FromQRgb(img.pixel(19, 14)), b);
        }
    }
}

} // namespace

TEST(gDrawPages, ActivePageIndexRestoresWhatItStoredAndIgnoresIndexesPastTheEnd) {
    TPageControl pc(nullptr);
    int changes = 0;
    pc.OnChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(gGetActivePageIndex(&pc), -1); // no pages
    gSetActivePageIndex(&pc, 0);
    EXPECT_EQ(gGetActivePageIndex(&pc), -1);
    for (int i = 0; i < 3; ++i)
        (new TTabSheet(&pc))->SetPageControl(&pc);
    pc.Pages(1)->SetTabVisible(false); // a page without a tab is still shown by index

    struct Step {
        int set, expected;
    };
    for (const Step& s : {Step{2, 2}, Step{1, 1}, Step{3, 1}, Step{99, 1}, Step{-1, -1}, Step{0, 0}}) {
        gSetActivePageIndex(&pc, s.set);
        EXPECT_EQ(gGetActivePageIndex(&pc), s.expected) << s.set;
        EXPECT_EQ(pc.ActivePageIndex(), s.expected) << s.set;
    }
    EXPECT_EQ(changes, 0); // turned from code

    // What one editor window stored, the next one restores.
    gSetActivePageIndex(&pc, 2);
    const int stored = gGetActivePageIndex(&pc);
    TPageControl next(nullptr);
    for (int i = 0; i < 3; ++i)
        (new TTabSheet(&next))->SetPageControl(&next);
    gSetActivePageIndex(&next, stored);
    EXPECT_EQ(next.ActivePage(), next.Pages(2));
    EXPECT_TRUE(next.Pages(2)->Visible());

    // No control: nothing happens.
    gSetActivePageIndex(nullptr, 0);
    EXPECT_EQ(gGetActivePageIndex(nullptr), -1);
}
