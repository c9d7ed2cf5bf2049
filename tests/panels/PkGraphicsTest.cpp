// The pack's drawing routines: HSL arithmetic, frame rectangles and pixels, gradient layouts, tiled
// transparent blits, accelerators and the drop arrow.

#include "panels/PkGraphics.h"

#include "panels/PkCommon.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace kv;

namespace {

TColor At(const TBitmap& b, int x, int y) {
    return FromQRgb(b.Image().pixel(x, y));
}

std::unique_ptr<TBitmap> White(int w, int h) {
    auto b = std::make_unique<TBitmap>(w, h);
    b->Canvas()->Brush()->SetColor(clWhite);
    b->Canvas()->FillRect({0, 0, w, h});
    return b;
}

} // namespace

TEST(PkColours, HslConversionsAndShifts) {
    struct Case {
        const char* what;
        TColor got, want;
    };
    const Case cases[] = {
        {"grey 150 of the shadow colour", BrightenColor(clBtnShadow, 30), RGB(159, 159, 159)},
        {"face colour dimmed by 10", DimColor(clBtnFace, 10), RGB(203, 198, 188)},
        {"hue 0", HslBytesToColor(0, 240, 120), RGB(255, 0, 0)},
        {"hue 239 is sextant 0", HslBytesToColor(239, 240, 120), RGB(255, 0, 0)},
        {"hue 240 is sextant 0 with its fraction", HslBytesToColor(240, 240, 120), RGB(255, 6, 0)},
        {"hue 80 (divisor 239)", HslBytesToColor(80, 240, 120), RGB(0, 255, 2)},
        {"luminance 0 is black", HslBytesToColor(100, 200, 0), clBlack},
        {"brightening past 240 caps at white", BrightenColor(RGB(200, 200, 200), 100), clWhite},
        {"a saturated colour brightened to 255 is white", BrightenColor(clRed, 200), clWhite},
        {"dimming below 0 is black", DimColor(RGB(40, 40, 40), 200), clBlack},
        {"shift 0 returns the colour unresolved", ShiftColorLuminance(clBtnFace, 0), clBtnFace},
        {"negative shift dims", ShiftColorLuminance(clBtnFace, -10), RGB(203, 198, 188)},
        {"mix: weight 255 is all of A", MixColors(clRed, clBlue, 255), clRed},
        {"mix: weight 0 is all of B", MixColors(clRed, clBlue, 0), clBlue},
        {"opposite hue of red", OppositeHueColor(clRed, 120), RGB(0, 252, 255)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.want) << c.what;

    EXPECT_EQ(ColorToHslBytes(RGB(128, 128, 128)), (THslBytes{0, 0, 120})); // grey keeps H and S at 0
    EXPECT_EQ(ColorToHslBytes(RGB(255, 128, 128)), (THslBytes{0, 240, 180}));
    EXPECT_EQ(ColorToHslBytes(clBtnFace), (THslBytes{27, 29, 194}));
    EXPECT_TRUE(ColorsLookAlike(clBlack, RGB(20, 20, 20)));
    EXPECT_FALSE(ColorsLookAlike(clBlack, clWhite));
}

TEST(PkColours, ClassicSchemeColours) {
    TColor start = 0, stop = 0, line = 0;
    SchemeGradientColors(TPkGradientColorStyle::gcsMSOffice, start, stop);
    EXPECT_EQ(start, clWindow);
    EXPECT_EQ(stop, DimColor(clBtnFace, 10));
    EXPECT_EQ(SchemeFrameColor(TPkGradientColorStyle::gcsMSOffice), RGB(159, 159, 159));
    SchemeBannerColors(TPkGradientColorStyle::gcsSystem, stop, start, line);
    EXPECT_EQ(start, clWindow);
    EXPECT_EQ(line, DimColor(clBtnFace, 40));
    EXPECT_EQ(ThemePartColor(3), clBtnFace);
}

TEST(PkFrames, ReturnedRectangles) {
    auto b = White(10, 10);
    TCanvas& c = *b->Canvas();
    const TRect box{0, 0, 10, 10};
    using F = TFrameStyleEx;
    struct Case {
        F style;
        TSides sides;
        TRect want;
    };
    const Case cases[] = {
        {F::fsNone, AllSides, box},
        {F::fsFlat, AllSides, {1, 1, 9, 9}},
        {F::fsGroove, AllSides, {2, 2, 8, 8}},
        {F::fsBump, AllSides, {2, 2, 8, 8}},
        {F::fsLowered, AllSides, {2, 2, 8, 8}},
        {F::fsButtonUp, AllSides, {2, 2, 8, 8}},
        {F::fsStatus, AllSides, {1, 1, 9, 9}},
        {F::fsFlatBold, AllSides, {2, 2, 8, 8}},
        {F::fsGroove, TSides{TSide::sdLeft, TSide::sdTop}, {2, 2, 10, 10}},
        {F::fsRaised, TSides{TSide::sdRight}, {0, 0, 8, 10}},
    };
    for (const Case& k : cases)
        EXPECT_EQ(PaintFrameStyle(c, box, k.style, k.sides), k.want) << static_cast<int>(k.style);
    EXPECT_EQ(PaintRoundedOutline(c, box, clBlack, AllSides), (TRect{2, 2, 8, 8}));
    EXPECT_EQ(PaintBoxOutline(c, box, clBlack), (TRect{1, 1, 9, 9}));
    EXPECT_EQ(PaintDottedOutline(c, box), (TRect{1, 1, 9, 9}));
    EXPECT_EQ(AdjustRectForFrame(box, F::fsPopup, 3, AllSides), (TRect{3, 3, 7, 7}));
}

TEST(PkFrames, EdgeLinesWithNoneShrinkAllSides) {
    auto b = White(10, 10);
    EXPECT_EQ(PaintEdgeLines(*b->Canvas(), {0, 0, 10, 10}, clNone, AllSides, clRed), (TRect{1, 1, 9, 9}));
    EXPECT_EQ(At(*b, 0, 5), clWhite);
    EXPECT_EQ(At(*b, 5, 0), clWhite);
    EXPECT_EQ(At(*b, 9, 5), clRed);
    EXPECT_EQ(At(*b, 5, 9), clRed);
}

TEST(PkFrames, GrooveCornersAndTintedEdges) {
    auto b = White(10, 10);
    PaintFrameStyle(*b->Canvas(), {0, 0, 10, 10}, TFrameStyleEx::fsGroove, AllSides);
    EXPECT_EQ(At(*b, 0, 0), RGB(128, 128, 128)); // shadow outside at top-left
    EXPECT_EQ(At(*b, 1, 1), clWhite);            // highlight inside it
    EXPECT_EQ(At(*b, 9, 9), clWhite);            // highlight outside at bottom-right
    EXPECT_EQ(At(*b, 8, 5), RGB(128, 128, 128));
    EXPECT_EQ(At(*b, 9, 0), clWhite); // the top-right corner pixel takes the lower-right colour

    // Face (255, 128, 128): raised = white and (170, 0, 0) outside, (255, 212, 212) and (255, 21, 21)
    // inside; lowered = (170, 0, 0) all round outside, (255, 21, 21) inside.
    struct Case {
        bool lowered;
        TColor outerUL, outerLR, innerUL, innerLR;
    };
    const Case cases[] = {{false, clWhite, RGB(170, 0, 0), RGB(255, 212, 212), RGB(255, 21, 21)},
                          {true, RGB(170, 0, 0), RGB(170, 0, 0), RGB(255, 21, 21), RGB(255, 21, 21)}};
    for (const Case& k : cases) {
        auto t = White(10, 10);
        EXPECT_EQ(PaintTintedButtonEdgeAll(*t->Canvas(), {0, 0, 10, 10}, RGB(255, 128, 128), k.lowered),
                  (TRect{2, 2, 8, 8}));
        EXPECT_EQ(At(*t, 0, 4), k.outerUL) << k.lowered;
        EXPECT_EQ(At(*t, 9, 4), k.outerLR) << k.lowered;
        EXPECT_EQ(At(*t, 1, 4), k.innerUL) << k.lowered;
        EXPECT_EQ(At(*t, 8, 4), k.innerLR) << k.lowered;
    }
}

TEST(PkGradients, SmallBoxIsSolidAndBoxesMirror) {
    auto small = White(4, 4);
    FillGradient(*small->Canvas(), {0, 0, 4, 4}, TGradientDirection::gdSquareBox, 1, clRed, clBlue);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            ASSERT_EQ(At(*small, x, y), clRed) << x << "," << y;

    using D = TGradientDirection;
    for (D d : {D::gdHorizontalBox, D::gdVerticalBox, D::gdSquareBox, D::gdBigSquareBox})
        for (auto [w, h] : {std::pair{21, 13}, std::pair{20, 12}}) {
            auto b = White(w, h);
            FillGradient(*b->Canvas(), {0, 0, w, h}, d, 1, clRed, clBlue);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    ASSERT_EQ(At(*b, x, y), At(*b, w - 1 - x, y)) << static_cast<int>(d) << " " << w;
                    ASSERT_EQ(At(*b, x, y), At(*b, x, h - 1 - y)) << static_cast<int>(d) << " " << w;
                }
            // The outer band is one step short of the start colour, as the bands step towards it.
            EXPECT_GT(At(*b, 0, 0) & 0xFF, 200) << static_cast<int>(d);
            EXPECT_LT((At(*b, 0, 0) >> 16) & 0xFF, 55) << static_cast<int>(d);
            EXPECT_EQ(At(*b, (w - 1) / 2, (h - 1) / 2), clBlue) << static_cast<int>(d);
        }
}

TEST(PkGradients, EndAndCentreLayouts) {
    using D = TGradientDirection;
    auto b = White(16, 16);
    FillGradient(*b->Canvas(), {0, 0, 16, 16}, D::gdHorizontalEnd, 1, clBlack, clWhite);
    EXPECT_EQ(At(*b, 0, 0), clBlack);
    EXPECT_EQ(At(*b, 15, 0), clBlack); // horizontal bands: one colour per row
    EXPECT_GT(At(*b, 0, 15) & 0xFF, 200);

    FillGradient(*b->Canvas(), {0, 0, 16, 16}, D::gdVerticalCenter, 1, clBlack, clWhite);
    EXPECT_LT(At(*b, 0, 5) & 0xFF, 32); // near the start colour at the edges
    EXPECT_EQ(At(*b, 8, 5), clWhite);
    EXPECT_EQ(At(*b, 8, 15), clWhite); // copied down by doubling
    EXPECT_EQ(At(*b, 3, 2), At(*b, 3, 14));

    auto e = White(8, 8);
    FillGradient(*e->Canvas(), {2, 2, 2, 6}, D::gdSquareBox, 1, clBlack, clBlack); // empty: nothing
    EXPECT_EQ(At(*e, 2, 2), clWhite);
}

TEST(PkBitmaps, TileCutsTheLastRowAndColumn) {
    TBitmap tile(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            tile.Canvas()->SetPixel(x, y, RGB(x * 10, y * 10, 50));
    auto dest = White(48, 24);
    TileTransparent(*dest->Canvas(), {0, 0, 40, 20}, tile, clFuchsia);
    for (auto [x, y] : {std::pair{0, 0}, {16, 0}, {32, 0}, {0, 16}, {16, 16}, {32, 16}})
        EXPECT_EQ(At(*dest, x, y), RGB(0, 0, 50)) << x << "," << y; // six tile origins
    EXPECT_EQ(At(*dest, 39, 19), RGB(70, 30, 50)); // right column 8 wide, bottom row 4 high, not scaled
    EXPECT_EQ(At(*dest, 40, 10), clWhite);
    EXPECT_EQ(At(*dest, 10, 20), clWhite);
}

TEST(PkBitmaps, TransparentColourIsLeftOut) {
    TBitmap src(4, 4);
    src.Canvas()->Brush()->SetColor(clTeal);
    src.Canvas()->FillRect({0, 0, 4, 4});
    src.Canvas()->SetPixel(1, 1, clRed);
    for (bool direct : {false, true}) {
        auto dest = White(8, 8);
        if (direct)
            StretchTransparentDirect(*dest->Canvas(), {0, 0, 8, 8}, src, {0, 0, 4, 4}, clTeal);
        else
            StretchTransparentWhole(*dest->Canvas(), {0, 0, 8, 8}, src, clTeal);
        EXPECT_EQ(At(*dest, 0, 0), clWhite) << direct;
        EXPECT_EQ(At(*dest, 2, 2), clRed) << direct; // stretched by two
        EXPECT_EQ(At(*dest, 3, 3), clRed) << direct;
        EXPECT_EQ(At(*dest, 4, 4), clWhite) << direct;
    }
}

TEST(PkText, Accelerators) {
    struct Case {
        const char *in, *stripped;
        char accel;
    };
    const Case cases[] = {{"&File", "File", 'F'}, {"a&&b", "a&b", '\0'}, {"ab&", "ab&", '\0'},
                          {"&&", "&", '\0'},      {"", "", '\0'},        {"E&xit", "Exit", 'X'}};
    for (const Case& c : cases) {
        EXPECT_EQ(StripAccelerators(c.in), c.stripped) << c.in;
        EXPECT_EQ(AcceleratorOf(c.in), c.accel) << c.in;
    }
    EXPECT_EQ(LastCharOf("ab&"), '&');
    EXPECT_EQ(LastCharOf(""), '\0');
}

TEST(PkFrames, DropArrowPixels) {
    struct Case {
        bool enabled;
        TColor brush, arrow;
    };
    const Case cases[] = {
        {true, clWhite, clBlack}, {true, clBlack, RGB(64, 64, 64)}, {false, clWhite, RGB(128, 128, 128)}};
    for (const Case& k : cases) {
        auto b = White(17, 20);
        b->Canvas()->Brush()->SetColor(k.brush);
        PaintDropArrow(*b->Canvas(), {0, 0, 17, 20}, 0, k.enabled);
        EXPECT_EQ(b->Canvas()->Brush()->Color(), k.brush);
        // Centre (8, 9): rows of 7, 5, 3 and 1 pixels from y 7 down.
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 17; ++x) {
                int row = y - 7;
                bool in = row >= 0 && row < 4 && x >= 5 + row && x <= 11 - row;
                ASSERT_EQ(At(*b, x, y), in ? k.arrow : clWhite) << x << "," << y << " enabled " << k.enabled;
            }
    }
}

TEST(PkPlatform, FixedProfileVersion) {
    EXPECT_TRUE(IsWindowsAtLeast(7));
    EXPECT_TRUE(IsWindowsVersion(8));
    EXPECT_FALSE(IsWindowsVersion(5));
    EXPECT_FALSE(ThemesEnabled());
    auto f = CreateAngledFont(TFont(), 90);
    EXPECT_EQ(f->Orientation(), 900);
}

TEST(PkColours, ColourSchemeFromTheProfileRegistry) {
    QTemporaryDir dir;
    std::string saved = TPkRegIniFile::RegistryFolder();
    TPkRegIniFile::SetRegistryFolder(dir.path().toStdString());
    TPkRegIniFile reg(nullptr);
    reg.SetPathType(TPkPathType::ptRegistry);
    reg.SetPath("\\Software\\Microsoft\\Windows\\CurrentVersion");
    EXPECT_EQ(DetectColorScheme(), 0); // nothing stored
    for (auto [name, scheme] : {std::pair{"HomeStead", 1}, {"metallic", 2}, {"NormalColor", 0}}) {
        reg.WriteString("ThemeManager", "ColorName", name);
        EXPECT_EQ(DetectColorScheme(), scheme) << name;
    }
    TPkRegIniFile::SetRegistryFolder(saved);
}

TEST(PkFrames, FramePairRectanglesAndRoundedRing) {
    using F = TFrameStyleEx;
    struct Case {
        const char* what;
        F outer;
        bool transparent;
        int borderWidth;
        F inner;
        TRect want;
    };
    const Case cases[] = {
        {"flat outer", F::fsFlat, false, 0, F::fsNone, {1, 1, 19, 19}},
        {"bold outer, border 2, flat inner", F::fsFlatBold, false, 2, F::fsFlat, {5, 5, 15, 15}},
        {"status outer of bevel 3", F::fsStatus, false, 0, F::fsNone, {3, 3, 17, 17}},
        {"rounded outer", F::fsFlatRounded, false, 0, F::fsNone, {2, 2, 18, 18}},
        {"rounded inner after a lowered outer", F::fsLowered, true, 0, F::fsFlatRounded, {4, 4, 16, 16}},
    };
    for (const Case& c : cases) {
        auto b = White(20, 20);
        TRect r =
            PaintFramePair(*b->Canvas(), {0, 0, 20, 20}, c.outer, c.transparent, clBlue, clWhite, 0, clRed,
                           clBtnShadow, clBtnHighlight, clLime, 3, AllSides, c.borderWidth, c.inner);
        EXPECT_EQ(r, c.want) << c.what;
    }
    // Rounded outer on an opaque control: the cut corner shows the parent's colour, the outline the
    // flat colour, and the ring inside it the control's colour.
    auto b = White(20, 20);
    PaintFramePair(*b->Canvas(), {0, 0, 20, 20}, F::fsFlatRounded, false, clBlue, clYellow, 0, clRed,
                   clBtnShadow, clBtnHighlight, clLime, 1, AllSides, 0, F::fsNone);
    EXPECT_EQ(At(*b, 0, 0), clBlue);
    EXPECT_EQ(At(*b, 0, 5), clRed);
    EXPECT_EQ(At(*b, 1, 1), clRed);
    EXPECT_EQ(At(*b, 1, 5), clYellow);
}

TEST(PkGradients, DegenerateSizesAreHarmless) {
    auto b = White(60, 60);
    const TRect rects[] = {{5, 5, 5, 40}, {5, 5, 40, 5}, {5, 5, 6, 6},
                           {5, 5, 7, 55}, {5, 5, 55, 6}, {40, 40, 10, 10}};
    for (int d = 0; d < 10; ++d)
        for (const TRect& r : rects) {
            FillGradient(*b->Canvas(), r, static_cast<TGradientDirection>(d), 1, clRed, clBlue);
            FillGradient(*b->Canvas(), r, static_cast<TGradientDirection>(d), 300, clRed, clBlue);
            PaintGradientRim(*b->Canvas(), r, static_cast<TGradientDirection>(d), clRed, clBlue);
        }
    TBitmap empty;
    StretchTransparentWhole(*b->Canvas(), {0, 0, 10, 10}, empty, clTeal);
    TileTransparent(*b->Canvas(), {0, 0, 10, 10}, empty, clTeal);
    TBitmap one(1, 1);
    TileTransparent(*b->Canvas(), {0, 0, 0, 0}, one, clTeal);
    StretchTransparentMasked(*b->Canvas(), {0, 0, 10, 10}, one, {0, 0, 0, 0}, clTeal);
    PaintDropArrow(*b->Canvas(), {0, 0, 0, 0}, 0, true);
    // A 1-pixel-wide gradient from a 2 x 50 rectangle still runs from start to near stop.
    FillGradient(*b->Canvas(), {0, 0, 2, 50}, TGradientDirection::gdHorizontalEnd, 1, clBlack, clWhite);
    EXPECT_EQ(At(*b, 1, 0), clBlack);
}
