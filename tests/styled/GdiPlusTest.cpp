// The smoothed drawing layer: colour packing, header readers, status rules and what lands on pixels.

#include "styled/gdiplus/GDIPlus.h"
#include "tests/styled/StyledTestImages.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using namespace kv;
using kvtest::PutLE;

namespace {

struct ColourCase {
    const char* name;
    ARGB got, want;
};

TEST(GdiPlusColours, PackingTable) {
    const ColourCase cases[] = {
        {"opaque red", ColorToOpaqueARGB(clRed), 0xFFFF0000u},
        {"opaque blue", ColorToOpaqueARGB(clBlue), 0xFF0000FFu},
        {"alpha 128 of 0x00332211", ColorToARGB(128, 0x00332211), 0x80112233u},
        {"system colour resolved", ColorToARGB(255, clBtnFace), ColorToOpaqueARGB(ColorToRGB(clBtnFace))},
        {"MakeARGB takes bytes", MakeARGB(0x1FF, 0x102, 0x03, 0x04), 0xFF020304u},
        {"RGBToARGB", RGBToARGB(1, 2, 3), 0xFF010203u},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.want) << c.name;
    EXPECT_EQ(ARGBRed(0x80112233u), 0x11);
    EXPECT_EQ(ARGBGreen(0x80112233u), 0x22);
    EXPECT_EQ(ARGBBlue(0x80112233u), 0x33);
}

// ---------------------------------------------------------------------------------------------------
// Header readers

std::vector<std::uint8_t> JpegWithFrame(std::uint8_t sof, int w, int h, bool leadingSegments) {
    std::vector<std::uint8_t> v = {0xFF, 0xD8};
    if (leadingSegments) {
        // APP0, a DHT (C4, which is not a frame) and fill bytes before the frame header.
        const std::uint8_t app0[] = {0xFF, 0xE0, 0x00, 0x06, 'J', 'F', 'I', 'F'};
        v.insert(v.end(), std::begin(app0), std::end(app0));
        const std::uint8_t dht[] = {0xFF, 0xC4, 0x00, 0x07, 0x00, 0x10, 0x20, 0x30, 0x40};
        v.insert(v.end(), std::begin(dht), std::end(dht));
        v.push_back(0xFF);
    }
    const std::uint8_t frame[] = {0xFF,
                                  sof,
                                  0x00,
                                  0x11,
                                  0x08,
                                  static_cast<std::uint8_t>(h >> 8),
                                  static_cast<std::uint8_t>(h),
                                  static_cast<std::uint8_t>(w >> 8),
                                  static_cast<std::uint8_t>(w)};
    v.insert(v.end(), std::begin(frame), std::end(frame));
    v.resize(v.size() + 16, 0);
    return v;
}

std::vector<std::uint8_t> Gif(bool globalTable, bool extensionWithSeparatorByte, int w, int h) {
    std::vector<std::uint8_t> v = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0};
    if (globalTable) {
        v[10] = 0x81; // 4 colours
        v.resize(v.size() + 12, 0x2C);
    }
    if (extensionWithSeparatorByte) {
        // A comment extension whose data holds 0x2C bytes, then the graphic control extension.
        const std::uint8_t ext[] = {0x21, 0xFE, 3, 0x2C, 0x2C, 0x2C, 0, 0x21, 0xF9, 4, 0, 0, 0, 0, 0};
        v.insert(v.end(), std::begin(ext), std::end(ext));
    }
    const std::uint8_t desc[] = {0x2C,
                                 0,
                                 0,
                                 0,
                                 0,
                                 static_cast<std::uint8_t>(w),
                                 static_cast<std::uint8_t>(w >> 8),
                                 static_cast<std::uint8_t>(h),
                                 static_cast<std::uint8_t>(h >> 8),
                                 0,
                                 2};
    v.insert(v.end(), std::begin(desc), std::end(desc));
    v.push_back(0x3B);
    return v;
}

// A TIFF with one directory of the given (tag, type, value) entries.
std::vector<std::uint8_t> Tiff(bool bigEndian, std::vector<std::array<std::uint32_t, 3>> entries) {
    std::vector<std::uint8_t> v(8 + 2 + 12 * entries.size() + 4, 0);
    auto put = [&](std::size_t at, std::uint32_t x, int n) {
        for (int i = 0; i < n; ++i)
            v[at + static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>(x >> (8 * (bigEndian ? n - 1 - i : i)));
    };
    v[0] = v[1] = bigEndian ? 'M' : 'I';
    put(2, 42, 2);
    put(4, 8, 4);
    put(8, static_cast<std::uint32_t>(entries.size()), 2);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::size_t e = 10 + 12 * i;
        put(e, entries[i][0], 2);
        put(e + 2, entries[i][1], 2);
        put(e + 4, 1, 4);
        if (entries[i][1] == 3)
            put(e + 8, entries[i][2], 2);
        else
            put(e + 8, entries[i][2], 4);
    }
    return v;
}

struct HeaderCase {
    const char* name;
    void (*reader)(const std::uint8_t*, std::size_t, std::uint16_t&, std::uint16_t&);
    std::vector<std::uint8_t> bytes;
    int w, h; // expected; -1 = outputs left untouched (start 7 x 7)
};

TEST(GdiPlusHeaders, SizesFromHeaders) {
    std::vector<std::uint8_t> notPng = kvtest::MakePng(300, 20, 0xFF000000);
    notPng[1] = 'X';
    const HeaderCase cases[] = {
        {"PNG", GetPNGSize, kvtest::MakePng(300, 20, 0xFF00FF00), 300, 20},
        {"not a PNG", GetPNGSize, notPng, -1, -1},
        {"JPEG baseline", GetJPEGSize, kvtest::MakeJpeg(37, 11, 0xFF808080), 37, 11},
        {"JPEG progressive", GetJPEGSize, kvtest::MakeJpeg(41, 13, 0xFF808080, true), 41, 13},
        {"JPEG SOF3 after DHT", GetJPEGSize, JpegWithFrame(0xC3, 640, 480, true), 640, 480},
        {"JPEG SOF9", GetJPEGSize, JpegWithFrame(0xC9, 12, 34, false), 12, 34},
        {"not a JPEG", GetJPEGSize, {0x00, 0xD8, 0xFF, 0xC0}, -1, -1},
        {"BMP", GetBMPSize, kvtest::MakeBmp(16, 29, [](int, int) { return 0u; }), 16, 29},
        {"BMP top-down", GetBMPSize,
         kvtest::MakeBmp(
             5, 7, [](int, int) { return 0u; }, true),
         5, 7},
        {"GIF without colour table", GetGIFSize, Gif(false, false, 300, 2), 300, 2},
        {"GIF 0x2C inside an extension", GetGIFSize, Gif(true, true, 17, 19), 17, 19},
        {"TIFF II SHORT", GetTIFFSize, Tiff(false, {{256, 3, 120}, {257, 3, 80}}), 120, 80},
        {"TIFF MM SHORT", GetTIFFSize, Tiff(true, {{256, 3, 120}, {257, 3, 80}}), 120, 80},
        {"TIFF MM LONG", GetTIFFSize, Tiff(true, {{256, 4, 70000 & 0xFFFF}, {257, 4, 900}}), 70000 & 0xFFFF,
         900},
        {"TIFF without 257", GetTIFFSize, Tiff(false, {{256, 3, 120}}), 0, 0},
    };
    for (const auto& c : cases) {
        std::uint16_t w = 7, h = 7;
        c.reader(c.bytes.data(), c.bytes.size(), w, h);
        if (c.w < 0) {
            EXPECT_EQ(w, 7) << c.name;
            EXPECT_EQ(h, 7) << c.name;
        } else {
            EXPECT_EQ(w, c.w) << c.name;
            EXPECT_EQ(h, c.h) << c.name;
        }
    }
}

TEST(GdiPlusHeaders, TruncatedInputNeverReadsPastTheEnd) {
    const std::vector<std::uint8_t> files[] = {kvtest::MakeJpeg(8, 8, 0xFF000000), Gif(true, true, 3, 3),
                                               Tiff(true, {{256, 3, 1}, {257, 3, 1}}),
                                               kvtest::MakeBmp(2, 2, [](int, int) { return 0u; })};
    for (const auto& f : files)
        for (std::size_t n = 0; n < f.size(); ++n) {
            std::vector<std::uint8_t> cut(f.begin(), f.begin() + static_cast<std::ptrdiff_t>(n));
            std::uint16_t w = 0, h = 0;
            GetJPEGSize(cut.data(), cut.size(), w, h);
            GetGIFSize(cut.data(), cut.size(), w, h);
            GetTIFFSize(cut.data(), cut.size(), w, h);
            GetBMPSize(cut.data(), cut.size(), w, h);
            GetPNGSize(cut.data(), cut.size(), w, h);
        }
}

// ---------------------------------------------------------------------------------------------------
// Status rules

TEST(GdiPlusStatus, RefusedArgumentsStickUntilRead) {
    TGPLinearGradientBrush brush(TGPRectF{0, 0, 10, 10}, 0xFF000000, 0xFFFFFFFF, LinearGradientModeVertical);
    EXPECT_EQ(brush.SetInterpolationColors(nullptr, nullptr, 0), InvalidParameter);
    EXPECT_EQ(brush.SetGammaCorrection(true), Ok); // an Ok does not clear the error
    EXPECT_EQ(brush.lastResult, InvalidParameter);
    EXPECT_EQ(brush.GetLastStatus(), InvalidParameter);
    EXPECT_EQ(brush.GetLastStatus(), Ok);

    TGPGraphicsPath path;
    path.AddRectangle(TGPRectF{0, 0, 10, 10});
    TGPPathGradientBrush pg(&path);
    const ARGB colours[2] = {0xFF000000, 0xFFFFFFFF};
    const REAL pos[2] = {0, 1};
    EXPECT_EQ(pg.SetInterpolationColors(colours, pos, 0), InvalidParameter);
    EXPECT_EQ(pg.SetInterpolationColors(nullptr, pos, 2), InvalidParameter);
    int count = 5; // more than the rectangle's four points
    const ARGB five[5] = {};
    EXPECT_EQ(pg.SetSurroundColors(five, count), InvalidParameter);
    EXPECT_EQ(pg.GetSurroundColors(nullptr, count), InvalidParameter);
    ARGB out[4];
    count = 0;
    EXPECT_EQ(pg.GetSurroundColors(out, count), InsufficientBuffer);
    count = 4;
    EXPECT_EQ(pg.GetSurroundColors(out, count), Ok);
    EXPECT_EQ(count, 1);

    TGPBrush none;
    EXPECT_EQ(none.nativeBrush, nullptr);
    EXPECT_EQ(none.lastResult, NotImplemented);

    // A wrapper without a handle records the error of every call made on it.
    TGPGraphics noSurface(static_cast<QImage*>(nullptr));
    EXPECT_EQ(noSurface.GetSmoothingMode(), SmoothingModeInvalid);
    EXPECT_EQ(noSurface.GetLastStatus(), InvalidParameter);
    TGPSolidBrush solid(0xFF000000);
    EXPECT_EQ(noSurface.FillRectangle(&solid, 0, 0, 1, 1), InvalidParameter);

    TGPImage junk(reinterpret_cast<const std::uint8_t*>("junk"), 4);
    EXPECT_EQ(junk.nativeImage, nullptr);
    EXPECT_EQ(junk.GetWidth(), 0u);
    EXPECT_NE(junk.lastResult, Ok);
    EXPECT_EQ(junk.SaveAdd(nullptr), InvalidParameter);
}

TEST(GdiPlusMatrix, RotateAtAndElements) {
    TGPMatrix m;
    m.Translate(10, 20);
    EXPECT_FLOAT_EQ(m.OffsetX(), 10);
    EXPECT_FLOAT_EQ(m.OffsetY(), 20);
    m.Reset();
    EXPECT_TRUE(m.IsIdentity());
    // A quarter turn about (10, 10) takes (20, 10) to (10, 20), in both orders.
    for (MatrixOrder order : {MatrixOrderAppend, MatrixOrderPrepend}) {
        TGPMatrix r;
        r.RotateAt(90, TGPPointF{10, 10}, order);
        TGPPointF p{20, 10};
        r.TransformPoints(&p);
        EXPECT_NEAR(p.X, 10, 1e-4);
        EXPECT_NEAR(p.Y, 20, 1e-4);
    }
    TGPMatrix singular(0, 0, 0, 0, 0, 0);
    EXPECT_EQ(singular.Invert(), InvalidParameter);
    EXPECT_EQ(singular.GetLastStatus(), InvalidParameter);
}

// ---------------------------------------------------------------------------------------------------
// Pixels

QImage Surface(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(0xFFFFFFFF);
    return img;
}

TEST(GdiPlusPixels, AntialiasedOnePixelLineLightsOneRow) {
    QImage img = Surface(20, 5);
    TGPGraphics g(&img);
    g.SetSmoothingMode(SmoothingModeAntiAlias);
    TGPPen pen(0xFF000000, 1);
    g.DrawLine(&pen, 2, 1, 17, 1);
    for (int x = 4; x < 16; ++x) {
        EXPECT_EQ(img.pixel(x, 1), 0xFF000000u) << x;
        EXPECT_EQ(img.pixel(x, 0), 0xFFFFFFFFu) << x;
        EXPECT_EQ(img.pixel(x, 2), 0xFFFFFFFFu) << x;
    }
}

TEST(GdiPlusPixels, AliasedByDefault) {
    QImage img = Surface(20, 20);
    TGPGraphics g(&img);
    EXPECT_EQ(g.GetSmoothingMode(), SmoothingModeDefault);
    TGPSolidBrush b(0xFF0000FF);
    g.FillEllipse(&b, 2.0f, 2.0f, 15.0f, 15.0f);
    // Every pixel is either the brush or the background: no blended edge pixels.
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const QRgb c = img.pixel(x, y);
            EXPECT_TRUE(c == 0xFF0000FFu || c == 0xFFFFFFFFu) << x << "," << y;
        }
}

TEST(GdiPlusPixels, DiagonalGradientCorners) {
    QImage img = Surface(40, 20);
    TGPGraphics g(&img);
    TGPLinearGradientBrush b(TGPRectF{0, 0, 40, 20}, 0xFF000000, 0xFFFFFFFF,
                             LinearGradientModeForwardDiagonal);
    g.FillRectangle(&b, 0, 0, 40, 20);
    auto grey = [&](int x, int y) { return qRed(img.pixel(x, y)); };
    EXPECT_LT(grey(0, 0), 20);
    EXPECT_GT(grey(39, 19), 235);
    // The other two corners lie on the middle colour line.
    EXPECT_NEAR(grey(39, 0), 128, 16);
    EXPECT_NEAR(grey(0, 19), 128, 16);
    EXPECT_NEAR(grey(39, 0), grey(0, 19), 8);
}

TEST(GdiPlusPixels, PathGradientCentreAndEdge) {
    QImage img = Surface(41, 41);
    TGPGraphics g(&img);
    TGPGraphicsPath path;
    path.AddEllipse(0.0f, 0.0f, 40.0f, 40.0f);
    TGPPathGradientBrush b(&path);
    b.SetCenterColor(0xFFFF0000);
    ARGB edge = 0xFF0000FF;
    int n = 1;
    ASSERT_EQ(b.SetSurroundColors(&edge, n), Ok);
    g.FillPath(&b, &path);
    const QRgb centre = img.pixel(20, 20);
    EXPECT_GT(qRed(centre), 240);
    EXPECT_LT(qBlue(centre), 15);
    const QRgb nearEdge = img.pixel(20, 1);
    EXPECT_GT(qBlue(nearEdge), 200);
    EXPECT_LT(qRed(nearEdge), 60);
    EXPECT_EQ(img.pixel(1, 1), 0xFFFFFFFFu); // outside the ellipse nothing is painted
}

TEST(GdiPlusPixels, CardinalSplinePassesThroughEveryPoint) {
    QImage img = Surface(100, 60);
    TGPGraphics g(&img);
    TGPGraphicsPath path;
    const TGPPoint pts[] = {{5, 50}, {25, 10}, {50, 40}, {75, 5}, {95, 30}};
    path.AddCurve(pts, 5);
    TGPPen pen(0xFF000000, 1);
    g.SetSmoothingMode(SmoothingModeAntiAlias);
    g.DrawPath(&pen, &path);
    // Inked at every point (the ends by the half of the pixel the flat cap covers).
    for (const auto& p : pts)
        EXPECT_LT(qRed(img.pixel(p.X, p.Y)), 160) << p.X << "," << p.Y;
    EXPECT_EQ(path.GetPointCount(), 13);
}

TEST(GdiPlusPixels, AliasedPathsSetWholePixelsByTheirCentres) {
    // A pixel is filled when its centre, an integer point, lies inside; a centre on a left or top
    // edge counts, one on a right or bottom edge does not.
    struct Case {
        TGPRectF rect;
        int x0, y0, x1, y1; // the filled pixels, inclusive
    };
    for (const Case& c : {Case{{1.5f, 1.5f, 3.0f, 3.0f}, 2, 2, 4, 4}, Case{{1, 2, 4, 3}, 1, 2, 4, 4},
                          Case{{0, 0, 10, 10}, 0, 0, 9, 9}}) {
        QImage img = Surface(10, 10);
        TGPGraphics g(&img);
        TGPGraphicsPath path;
        path.AddRectangle(c.rect);
        TGPSolidBrush black(0xFF000000);
        ASSERT_EQ(g.FillPath(&black, &path), Ok);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                EXPECT_EQ(img.pixel(x, y),
                          x >= c.x0 && x <= c.x1 && y >= c.y0 && y <= c.y1 ? 0xFF000000u : 0xFFFFFFFFu)
                    << c.rect.X << " " << x << "," << y;
    }

    // A translucent outline over itself, and a figure folded over itself filled alternately: each
    // pixel takes the colour once per call, never a partial amount.
    QImage img = Surface(20, 12);
    TGPGraphics g(&img);
    TGPGraphicsPath there;
    const TGPPointF back[] = {{1, 2}, {15, 2}, {1, 2}, {15, 2}};
    there.AddLines(back, 4);
    TGPPen pen(MakeARGB(128, 0, 0, 0), 1.0f);
    ASSERT_EQ(g.DrawPath(&pen, &there), Ok);
    const QRgb once = img.pixel(5, 2);
    EXPECT_NE(once, 0xFFFFFFFFu);
    EXPECT_NE(once, 0xFF000000u);
    for (int x = 1; x < 15; ++x)
        EXPECT_EQ(img.pixel(x, 2), once) << x;
    EXPECT_EQ(img.pixel(5, 1), 0xFFFFFFFFu);
    EXPECT_EQ(img.pixel(5, 3), 0xFFFFFFFFu);
    TGPGraphicsPath bow;
    const TGPPoint corners[] = {{2, 5}, {18, 11}, {18, 5}, {2, 11}};
    bow.AddPolygon(corners, 4);
    TGPSolidBrush half(MakeARGB(128, 0, 0, 0));
    ASSERT_EQ(g.FillPath(&half, &bow), Ok);
    EXPECT_EQ(img.pixel(4, 8), once);         // inside one wing
    EXPECT_EQ(img.pixel(10, 6), 0xFFFFFFFFu); // between the wings
    for (int y = 4; y < 12; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_TRUE(img.pixel(x, y) == once || img.pixel(x, y) == 0xFFFFFFFFu) << x << "," << y;
}

TEST(GdiPlusPixels, CurvesOffTheSurfaceLaidAsChordsSetTheSamePixels) {
    // A wavy spline running far beyond every edge, closed along a line below, outlined and filled
    // translucently: on a small surface, whose off-surface segments become chords, and moved into
    // a surface large enough to hold it whole.
    std::vector<TGPPoint> points;
    for (int i = -300; i < 700; i += 3)
        points.push_back({i, static_cast<int>(40 + 90 * std::sin(i * 0.03) * std::cos(i * 0.011))});
    auto render = [&](QImage& img, REAL dx, REAL dy) {
        TGPGraphics g(&img);
        g.TranslateTransform(dx, dy);
        TGPGraphicsPath path;
        path.AddCurve(points.data(), static_cast<int>(points.size()));
        path.AddLine(900.0f, 60.0f, -500.0f, 60.0f);
        TGPPen pen(MakeARGB(90, 200, 0, 0), 1.0f);
        TGPSolidBrush brush(MakeARGB(60, 0, 0, 200));
        EXPECT_EQ(g.DrawPath(&pen, &path), Ok);
        EXPECT_EQ(g.FillPath(&brush, &path), Ok);
    };
    QImage cut = Surface(400, 80), whole = Surface(1600, 400);
    render(cut, 0, 0);
    render(whole, 600, 160);
    EXPECT_TRUE(whole.copy(600, 160, 400, 80) == cut);
    int touched = 0;
    for (int y = 0; y < cut.height(); ++y)
        for (int x = 0; x < cut.width(); ++x)
            touched += cut.pixel(x, y) != 0xFFFFFFFFu;
    EXPECT_GT(touched, 4000);
}

TEST(GdiPlusPixels, ColourKeyedImageLeavesTheSentinel) {
    QImage src(4, 4, QImage::Format_RGB32);
    src.fill(0xFFFF00FF);
    src.setPixel(1, 1, 0xFF00FF00);
    TGPBitmap bmp(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            bmp.SetPixel(x, y, src.pixel(x, y));
    QImage img(6, 6, QImage::Format_ARGB32);
    img.fill(0xFF123456);
    TGPGraphics g(&img);
    TGPImageAttributes attrs;
    attrs.SetColorKey(0xFFFF00FF, 0xFFFF00FF);
    g.DrawImage(&bmp, TGPRectF{1, 1, 4, 4}, 0, 0, 4, 4, UnitPixel, &attrs);
    EXPECT_EQ(img.pixel(1, 1), 0xFF123456u);
    EXPECT_EQ(img.pixel(2, 2), 0xFF00FF00u);
    EXPECT_EQ(img.pixel(4, 4), 0xFF123456u);
}

TEST(GdiPlusText, DrawTextMeasuresWithoutDrawing) {
    QImage img = Surface(200, 40);
    TGPGraphics g(&img);
    TFont font;
    font.SetName("Tahoma");
    font.SetSize(10);
    TRect r{5, 5, 100, 30};
    const int h = g.DrawText("ab ", -1, r, &font, DT_CALCRECT, clNone);
    EXPECT_GT(h, 8);
    EXPECT_EQ(h, r.Bottom - r.Top);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            ASSERT_EQ(img.pixel(x, y), 0xFFFFFFFFu);
    // The trailing blank is measured as a letter: "ab " is as wide as "abi".
    TRect ri{5, 5, 100, 30};
    g.DrawText("abi", -1, ri, &font, DT_CALCRECT, clNone);
    EXPECT_EQ(r.Right, ri.Right);
    TRect rd{5, 5, 100, 30};
    g.DrawText("Hello", -1, rd, &font, 0, clNone);
    bool inked = false;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            inked |= img.pixel(x, y) != 0xFFFFFFFFu;
    EXPECT_TRUE(inked);
}

} // namespace
