// The pack's label: angles, auto-size, text styles, blinking and curved text.

#include "panels/PkLabel.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <QImage>

using namespace kv;

namespace {
QRgb Px(const QImage& img, int x, int y) {
    return img.pixel(x, y) & 0xFFFFFFu;
}
QRgb Rgb(TColor c) {
    return ToQRgb(c) & 0xFFFFFFu;
}
QRect ColourBounds(const QImage& img, TColor c) {
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (Px(img, x, y) == Rgb(c))
                r = r.united(QRect(x, y, 1, 1));
    return r;
}
// A label on a sentinel-coloured panel-like background, as the band tables use it.
struct Fixture {
    TPkLabel label{nullptr};
    Fixture() {
        label.SetAutoSize(false);
        label.SetBounds(0, 0, 80, 30);
        label.SetColor(clWhite);
        label.Font()->SetHeight(-16);
        label.Font()->SetStyle({TFontStyle::fsBold});
        label.Font()->SetColor(clBlue);
        label.SetCaption("Gain");
    }
};
} // namespace

TEST(PkLabelTest, SetAngleNormalisesAndTurnsOnFlatRotation) {
    struct Case {
        int in, stored;
    } cases[] = {{0, 0}, {90, 90}, {-90, 270}, {370, 10}, {360, 0}, {-370, 350}, {-720, 0}, {719, 359}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        TPkLabel l(nullptr);
        l.SetAngle(c.in);
        EXPECT_EQ(l.Angle(), c.stored);
        EXPECT_EQ(l.Rotation(), c.stored ? TRotation::roFlat : TRotation::roNone);
    }
    TPkLabel l(nullptr);
    l.SetAngle(45);
    l.SetRotation(TRotation::roNone);
    EXPECT_EQ(l.Angle(), 0) << "no rotation resets the angle";
}

TEST(PkLabelTest, AutoSizeGrowsByTheFrameOnEverySide) {
    TPkLabel plain(nullptr), framed(nullptr);
    for (TPkLabel* l : {&plain, &framed})
        l->SetCaption("Frequency");
    framed.SetBorderOuter(TFrameStyleEx::fsFlatBold);
    EXPECT_EQ(framed.Width(), plain.Width() + 4);
    EXPECT_EQ(framed.Height(), plain.Height() + 4);
    framed.SetTextMargin(3);
    EXPECT_EQ(framed.Width(), plain.Width() + 10);
    framed.SetBorderSides({TSide::sdLeft});
    framed.SetTextMargin(0);
    EXPECT_EQ(framed.Width(), plain.Width() + 2);
    EXPECT_EQ(framed.Height(), plain.Height());
}

TEST(PkLabelTest, TransparentCentredLabelDrawsOnlyItsCaption) {
    Fixture f;
    f.label.SetTransparent(true);
    f.label.SetAlignment(TAlignment::taCenter);
    QImage img = f.label.RenderToImage();
    // RenderToImage starts from the label's colour; a transparent label paints nothing else but text.
    QRect ink = ColourBounds(img, clBlue);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.center().x(), 40, 2);
    // Every other pixel is the background or a blend of the caption's blue into it: no frame, no fill.
    int other = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            QRgb p = Px(img, x, y);
            if (qBlue(p) != 255 || qRed(p) != qGreen(p))
                ++other;
        }
    EXPECT_EQ(other, 0);
}

TEST(PkLabelTest, TextStyleCopiesAndTheDisabledCaption) {
    struct Case {
        TTextStyle style;
        bool light, enabled;
        bool highlight, shadow, caption, grey;
    } cases[] = {
        {TTextStyle::tsNormal, false, true, false, false, true, false},
        {TTextStyle::tsRaised, false, true, true, true, true, false},
        {TTextStyle::tsRaised, true, true, true, false, true, false},
        {TTextStyle::tsRecessed, true, true, true, false, true, false},
        {TTextStyle::tsShadow, false, true, false, true, true, false},
        {TTextStyle::tsRaised, false, false, false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.style) * 10 + c.light);
        Fixture f;
        f.label.SetTextStyle(c.style);
        f.label.SetLightTextStyle(c.light);
        f.label.SetHighlightColor(clRed);
        f.label.SetShadowColor(clLime);
        f.label.SetEnabled(c.enabled);
        QImage img = f.label.RenderToImage();
        EXPECT_EQ(!ColourBounds(img, clRed).isEmpty(), c.highlight);
        EXPECT_EQ(!ColourBounds(img, clLime).isEmpty(), c.shadow);
        EXPECT_EQ(!ColourBounds(img, clBlue).isEmpty(), c.caption);
        EXPECT_EQ(!ColourBounds(img, clGrayText).isEmpty(), c.grey);
    }
}

TEST(PkLabelTest, BlinkingFollowsTheSharedListAndStopsAtOnce) {
    TVirtualClock clock;
    TScheduler::SetDefault(&clock);
    {
        Fixture a, b;
        a.label.SetBlinkColor(clRed);
        a.label.SetBlinking(true);
        // The label shows its blink colour while the list is off: the first tick (to on) keeps the
        // font colour, the second shows the blink colour.
        clock.Advance(500);
        EXPECT_EQ(a.label.CurrentColor(), clBlue);
        clock.Advance(500);
        EXPECT_EQ(a.label.CurrentColor(), clRed);
        EXPECT_EQ(b.label.CurrentColor(), clBlue) << "a label that does not blink keeps its colour";
        EXPECT_FALSE(ColourBounds(a.label.RenderToImage(), clRed).isEmpty());
        a.label.SetBlinking(false);
        EXPECT_EQ(a.label.CurrentColor(), clBlue);
        // The intervals are the list's: setting them on one label sets them for all.
        b.label.SetBlinkIntervalOn(200);
        EXPECT_EQ(a.label.GetBlinkIntervalOn(), 200);
    }
    EXPECT_EQ(TPkBlinkingControlsList::Shared(), nullptr) << "the last label releases the list";
    TScheduler::SetDefault(nullptr);
}

TEST(PkLabelTest, CondensedCaptionsStayInsideAndTurnAutoSizeOff) {
    for (TPkCondenseCaption cc : {TPkCondenseCaption::ccAtEnd, TPkCondenseCaption::ccWithinPath}) {
        SCOPED_TRACE(static_cast<int>(cc));
        Fixture f;
        f.label.SetAutoSize(true);
        f.label.SetCaption("/home/user/presets/a-very-long-name.prs");
        f.label.SetCondenseCaption(cc);
        EXPECT_FALSE(f.label.AutoSize());
        f.label.SetBounds(0, 0, 120, 30);
        QRect ink = ColourBounds(f.label.RenderToImage(), clBlue);
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_LT(ink.right(), 120);
        EXPECT_GT(ink.width(), 60) << "condensed, not cut to nothing";
    }
}

TEST(PkLabelTest, FlyByColourUnderTheMouse) {
    Fixture f;
    f.label.SetFlyByEnabled(true);
    f.label.SetFlyByColor(clRed);
    f.label.MouseEnter();
    EXPECT_EQ(f.label.Font()->Color(), clRed);
    EXPECT_FALSE(ColourBounds(f.label.RenderToImage(), clRed).isEmpty());
    f.label.MouseLeave();
    EXPECT_EQ(f.label.Font()->Color(), clBlue);
    f.label.MouseEnter();
    f.label.SetFlyByEnabled(false);
    EXPECT_EQ(f.label.Font()->Color(), clBlue) << "switching fly-by off restores the colour";
}

TEST(PkLabelTest, AngledAndCurvedTextDrawAndAZeroRadiusDrawsNothing) {
    Fixture f;
    f.label.SetBounds(0, 0, 60, 60);
    f.label.SetAngle(90);
    QRect turned = ColourBounds(f.label.RenderToImage(), clBlue);
    ASSERT_FALSE(turned.isEmpty());
    EXPECT_GT(turned.height(), turned.width()) << "text at 90 degrees runs upwards";

    f.label.SetRotation(TRotation::roCurve);
    EXPECT_FALSE(ColourBounds(f.label.RenderToImage(), clBlue).isEmpty());
    // A border as wide as half the label leaves no radius: nothing is drawn, nothing divides by 0.
    f.label.SetBorderWidth(15);
    EXPECT_TRUE(ColourBounds(f.label.RenderToImage(), clBlue).isEmpty());
}
