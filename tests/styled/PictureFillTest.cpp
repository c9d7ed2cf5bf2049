// Pictures kept as bytes, the fill descriptor, the picture container and the picture control.

#include "platform/gui/Forms.h"
#include "platform/gui/Layout.h"
#include "styled/PictureContainer.h"
#include "styled/RTFLabel.h"
#include "styled/StOfficeImage.h"
#include "styled/StyledClasses.h"
#include "styled/gdiplus/GDIPFill.h"
#include "styled/gdiplus/IniFile.h"
#include "tests/styled/StyledTestImages.h"
#include "tests/support/TempFiles.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdio>
#include <fstream>

using namespace kv;

namespace {

constexpr std::uint32_t kMagenta = 0xFF00FF, kGreen = 0x00FF00;

// The fader thumb: 16 x 29, 24 bits, magenta background (bottom-left pixel) around a green bar.
std::vector<std::uint8_t> Thumb() {
    return kvtest::MakeBmp(16, 29, [](int x, int) { return x >= 4 && x < 12 ? kGreen : kMagenta; });
}

// One folder per test process: test processes run side by side.
std::string TempPath(const std::string& name) {
    static const kvtest::TempDir dir;
    return dir / name;
}

TEST(GdipPicture, LayoutBytesMeasuredOnlyWhenAsked) {
    const auto bmp = Thumb();
    ASSERT_EQ(bmp.size(), 1446u);
    TGDIPPicture p;
    p.SetData(kvtest::DataText(bmp));
    EXPECT_FALSE(p.GetEmpty());
    EXPECT_EQ(p.Width(), 0);
    EXPECT_EQ(p.Height(), 0);
    EXPECT_TRUE(p.GetImageSizes());
    EXPECT_EQ(p.Width(), 16);
    EXPECT_EQ(p.Height(), 29);

    TMemoryStream out;
    p.WriteData(&out);
    EXPECT_EQ(out.Bytes(), bmp);
    TGDIPPicture q;
    out.SetPosition(100); // read from the beginning whatever the position
    q.ReadData(&out);
    EXPECT_EQ(q.Bytes(), bmp);

    TGDIPPicture empty;
    EXPECT_FALSE(empty.GetImageSizes());
}

TEST(GdipPicture, KeyColourStaysTransparentAndStretching) {
    TGDIPPicture p;
    p.SetData(kvtest::DataText(Thumb()));
    QImage img(40, 70, QImage::Format_RGB32);
    img.fill(0xFF123456);
    TCanvas canvas(&img);
    p.Draw(canvas, TRect{0, 0, 32, 58}); // stretched to twice the size
    EXPECT_EQ(img.pixel(1, 1), 0xFF123456u);
    EXPECT_EQ(img.pixel(30, 57), 0xFF123456u);
    EXPECT_EQ(img.pixel(16, 50), 0xFF00FF00u);
    EXPECT_EQ(img.pixel(22, 50), 0xFF00FF00u); // x 22 is bar pixel 11 only when stretched

    TStGDIPPicture st;
    st.SetData(kvtest::DataText(Thumb()));
    img.fill(0xFF123456);
    st.Draw(canvas, TRect{0, 0, 32, 58}); // drawn at its own size
    EXPECT_EQ(img.pixel(8, 20), 0xFF00FF00u);
    EXPECT_EQ(img.pixel(22, 20), 0xFF123456u);

    // The smoothed draw keys the bottom-left colour when the picture is transparent.
    st.SetTransparent(true);
    img.fill(0xFF123456);
    TGPGraphics g(&canvas);
    st.GDIPDraw(&g, TRect{2, 2, 18, 31});
    EXPECT_EQ(img.pixel(3, 3), 0xFF123456u);
    EXPECT_EQ(img.pixel(8, 10), 0xFF00FF00u);
    EXPECT_EQ(st.PixelDepth(), 24);
    EXPECT_FALSE(st.HasAlpha());
}

TEST(GdipPicture, AssignOrderAndUnsupportedSources) {
    TGDIPPicture p;
    p.SetData(kvtest::DataText(Thumb()));
    std::string events;
    p.OnChange = [&](TObject*) { events += "change,"; };
    p.OnClear = [&](TObject*) { events += "clear,"; };
    p.Assign(nullptr);
    EXPECT_EQ(events, "change,clear,");
    EXPECT_TRUE(p.GetEmpty());
    EXPECT_TRUE(p.Bytes().empty());

    // A class the picture cannot take leaves it empty, and its old bytes do not come back on save.
    p.SetData(kvtest::DataText(Thumb()));
    TFont font;
    p.Assign(&font);
    EXPECT_TRUE(p.GetEmpty());
    TMemoryStream saved;
    p.WriteData(&saved);
    EXPECT_EQ(saved.Size(), 0u);

    TStGDIPPicture st;
    TGDIPPicture src;
    src.SetData(kvtest::DataText(Thumb()));
    st.Assign(&src);
    EXPECT_EQ(st.Bytes(), Thumb());
    EXPECT_EQ(st.Width(), 16);
}

TEST(GdipPicture, LoadFromUrlAndHeaderSizes) {
    const std::string png = TempPath("pic.png"), tif = TempPath("pic.TIF");
    {
        const auto bytes = kvtest::MakePng(12, 9, 0xFF0000FF);
        std::ofstream(png, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        // A little-endian TIFF header with width 300 and height 200 as SHORTs.
        std::vector<std::uint8_t> t(8 + 2 + 24 + 4, 0);
        t[0] = t[1] = 'I';
        t[2] = 42;
        t[4] = 8;
        t[8] = 2;
        const std::uint16_t entries[2][3] = {{256, 3, 300}, {257, 3, 200}};
        for (int i = 0; i < 2; ++i) {
            kvtest::PutLE(t, 10 + 12 * static_cast<std::size_t>(i), entries[i][0], 2);
            kvtest::PutLE(t, 12 + 12 * static_cast<std::size_t>(i), entries[i][1], 2);
            kvtest::PutLE(t, 18 + 12 * static_cast<std::size_t>(i), entries[i][2], 2);
        }
        std::ofstream(tif, std::ios::binary)
            .write(reinterpret_cast<const char*>(t.data()), static_cast<std::streamsize>(t.size()));
    }
    TStGDIPPicture p;
    int changes = 0;
    p.OnChange = [&](TObject*) { ++changes; };
    p.LoadFromURL("http://" + png);
    EXPECT_TRUE(p.GetEmpty());
    p.LoadFromURL("file://" + png);
    EXPECT_FALSE(p.GetEmpty());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(p.Width(), 12);
    EXPECT_EQ(p.Height(), 9);
    p.LoadFromFile(tif); // ".TIF" is read like ".TIFF"
    EXPECT_EQ(p.Width(), 300);
    EXPECT_EQ(p.Height(), 200);
    p.LoadFromFile(TempPath("missing.png"));
    EXPECT_TRUE(p.GetEmpty());
    std::remove(png.c_str());
    std::remove(tif.c_str());
}

// ---------------------------------------------------------------------------------------------------
// Fill

QImage White(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(0xFFFFFFFF);
    return img;
}

TEST(GdipFill, OneBodyOrTwoHalvesOverlappingByTwoPixels) {
    TGDIPFill fill;
    fill.SetColor(clRed);
    fill.SetColorTo(clNone); // solid
    QImage img = White(40, 20);
    TGPGraphics g(&img);
    fill.Fill(&g, TGPRectF{0, 0, 40, 20});
    for (int y = 0; y < 20; ++y)
        EXPECT_EQ(img.pixel(20, y), 0xFFFF0000u) << y;

    fill.SetColorMirror(clBlue);
    fill.SetOpacityMirror(128);
    img.fill(0xFFFFFFFF);
    fill.Fill(&g, TGPRectF{0, 0, 40, 20});
    // Upper half rows 0..10, lower half rows 9..19: rows 9 and 10 have both.
    EXPECT_EQ(img.pixel(20, 8), 0xFFFF0000u);
    for (int y : {9, 10}) {
        EXPECT_GT(qRed(img.pixel(20, y)), 100) << y;
        EXPECT_GT(qBlue(img.pixel(20, y)), 100) << y;
        EXPECT_LT(qGreen(img.pixel(20, y)), 10) << y;
    }
    EXPECT_LT(qRed(img.pixel(20, 11)), 140);
    EXPECT_GT(qGreen(img.pixel(20, 11)), 100); // blue at half over white
}

TEST(GdipFill, RoundedCornersAndAliasedBorder) {
    TGDIPFill fill;
    fill.SetColor(clGreen);
    fill.SetColorTo(clNone);
    fill.SetRounding(6);
    fill.SetBorderColor(clBlack);
    QImage img = White(100, 23);
    TGPGraphics g(&img);
    fill.Fill(&g, TGPRectF{0, 0, 99, 22});
    for (QPoint corner : {QPoint(0, 0), QPoint(98, 0), QPoint(0, 21), QPoint(98, 21)})
        EXPECT_EQ(img.pixel(corner), 0xFFFFFFFFu) << corner.x() << "," << corner.y();
    EXPECT_EQ(img.pixel(50, 11), ColorToOpaqueARGB(clGreen));
    EXPECT_EQ(img.pixel(50, 0), 0xFF000000u);
    EXPECT_EQ(img.pixel(0, 11), 0xFF000000u);
    // The caller set no smoothing: the border has no blended pixels.
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 12; ++x) {
            const QRgb c = img.pixel(x, y);
            const bool pure = c == 0xFF000000u || c == 0xFFFFFFFFu || qGreen(c) >= 0x60;
            EXPECT_TRUE(pure) << x << "," << y << " " << std::hex << c;
        }
}

TEST(GdipFill, ShadowFocusAndPicturePlacement) {
    TGDIPFill fill;
    fill.SetShadowOffset(4);
    QImage img = White(200, 120);
    TGPGraphics g(&img);
    const TGPRectF body = fill.Fill(&g, TGPRectF{10, 10, 100, 50});
    EXPECT_FLOAT_EQ(body.X, 10);
    EXPECT_FLOAT_EQ(body.Y, 10);
    EXPECT_FLOAT_EQ(body.Width, 96);
    EXPECT_FLOAT_EQ(body.Height, 46);

    // A focus outline whose radius would go below zero is drawn square.
    TGDIPFill focus;
    focus.SetRounding(1);
    focus.SetBorderWidth(3);
    focus.SetFocus(true);
    focus.SetFocusColor(clRed);
    img.fill(0xFFFFFFFF);
    focus.Fill(&g, TGPRectF{10, 10, 50, 30});
    EXPECT_FLOAT_EQ(focus.FocusRect().X, 13);
    int red = 0;
    for (int x = 13; x < 63; ++x)
        red += img.pixel(x, 13) == 0xFFFF0000u;
    EXPECT_GT(red, 10);

    // Pictures are placed in (X, Y, X + W, Y + H) of a fill away from the origin.
    TGDIPFill placed;
    placed.SetColor(clNone);
    TStGDIPPicture pic;
    pic.SetData(kvtest::DataText(kvtest::MakePng(10, 10, 0xFFFF0000)));
    placed.SetPicture(&pic);
    placed.SetPicturePosition(TFillPicturePosition::ppBottomRight);
    img.fill(0xFFFFFFFF);
    placed.Fill(&g, TGPRectF{50, 30, 100, 60});
    EXPECT_EQ(img.pixel(145, 85), 0xFFFF0000u);
    EXPECT_EQ(img.pixel(139, 85), 0xFFFFFFFFu);
}

TEST(GdipFill, OnePixelWideFillIsOnlyItsBorderLine) {
    TGDIPFill fill;
    fill.SetColor(clRed);
    fill.SetBorderColor(clBlue);
    QImage img = White(10, 30);
    TGPGraphics g(&img);
    fill.Fill(&g, TGPRectF{4, 2, 1, 20});
    EXPECT_EQ(img.pixel(4, 10), 0xFF0000FFu);
    for (int x : {3, 5})
        EXPECT_EQ(img.pixel(x, 10), 0xFFFFFFFFu) << x;
}

TEST(GdipFill, FitPictureSizeTable) {
    struct Case {
        double w, h, W, H;
        TPictureMode mode;
        double outW, outH;
    } cases[] = {
        {100, 50, 300, 300, TPictureMode::pmNormal, 100, 50},
        {100, 50, 300, 300, TPictureMode::pmStretch, 300, 150},
        {50, 100, 300, 100, TPictureMode::pmStretch, 50, 100},
        {400, 100, 200, 200, TPictureMode::pmNormal, 200, 50},
        {0, 10, 100, 100, TPictureMode::pmStretch, 0, 0},
        {10, 10, 100, -1, TPictureMode::pmNormal, 0, 0},
    };
    for (const auto& c : cases) {
        double w = -1, h = -1;
        FitPictureSize(c.w, c.h, c.W, c.H, c.mode, w, h);
        EXPECT_DOUBLE_EQ(w, c.outW) << c.w << "x" << c.h << " in " << c.W << "x" << c.H;
        EXPECT_DOUBLE_EQ(h, c.outH) << c.w << "x" << c.h << " in " << c.W << "x" << c.H;
    }
}

TEST(GdipFill, IniRoundTripKeepsPictureSizeAndRefusesBadHex) {
    const std::string file = TempPath("fill.ini");
    std::remove(file.c_str());
    TGDIPFill a;
    a.SetColor(0x123456);
    a.SetGradientType(gtHatch);
    a.SetRounding(6);
    a.SetPictureSize(TFillPictureSize::psCustom);
    a.SetPictureWidth(33);
    a.SetGlow(TGlowMode::gmRadial);
    TStGDIPPicture pic;
    pic.SetData(kvtest::DataText(Thumb()));
    a.SetPicture(&pic);
    a.SaveToFile(file, "Face");

    TGDIPFill b;
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.LoadFromFile(file, "Face");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(b.Color(), 0x123456);
    EXPECT_EQ(b.GradientType(), gtHatch);
    EXPECT_EQ(b.Rounding(), 6);
    EXPECT_EQ(b.PictureSize(), TFillPictureSize::psCustom);
    EXPECT_EQ(b.PictureWidth(), 33);
    EXPECT_EQ(b.Glow(), TGlowMode::gmRadial);
    EXPECT_EQ(b.Picture()->Bytes(), Thumb());

    for (const char* bad : {"ABC", "0G"}) {
        TIniFile ini(file);
        ini.WriteString("Face", "Picture", bad);
        ini.WriteInteger("Face", "PictureDataSize", 4);
        ini.WriteInteger("Face", "Color", 1);
        TGDIPFill c;
        EXPECT_THROW(c.LoadFromFile(file, "Face"), EConvertError) << bad;
        EXPECT_EQ(c.Color(), 0xC0C0C0) << bad; // nothing was taken from the refused section
    }
    std::remove(file.c_str());
}

TEST(GdipFill, ClipboardRoundTrip) {
    TGDIPFill a;
    a.SetColor(0x0A0B0C);
    a.SetBorderWidth(3);
    TStGDIPPicture pic;
    pic.SetData(kvtest::DataText(Thumb()));
    a.SetPicture(&pic);
    a.SaveToClipBoard();
    TGDIPFill b;
    b.LoadFromClipBoard();
    EXPECT_EQ(b.Color(), 0x0A0B0C);
    EXPECT_EQ(b.BorderWidth(), 3);
    EXPECT_EQ(b.Picture()->Bytes(), Thumb());
}

// ---------------------------------------------------------------------------------------------------
// Container, picture control and layouts

TEST(PictureContainer, FindPictureIgnoresCaseAndTakesTheFirst) {
    TGDIPPictureContainer c(nullptr);
    EXPECT_EQ(c.FindPicture("logo"), nullptr);
    TPictureItem* first = c.Items()->Add();
    first->SetName("Logo");
    TPictureItem* second = c.Items()->Add();
    second->SetName("LOGO");
    EXPECT_EQ(c.FindPicture("lOgO"), first->Picture());
    EXPECT_EQ(c.FindPicture("other"), nullptr);
    EXPECT_EQ(c.Version(), "1.0.0.0");
}

TEST(StOfficeImage, CentredUnscaledOrStretched) {
    TStOfficeImage image(nullptr);
    image.SetBounds(50, 0, 630, 113);
    image.Picture()->SetData(kvtest::DataText(kvtest::MakeJpeg(537, 67, 0xFF2040C0)));
    QImage img = White(630, 113);
    TCanvas canvas(&img);
    image.Paint(canvas);
    EXPECT_NE(img.pixel(46, 23), 0xFFFFFFFFu);
    EXPECT_EQ(img.pixel(45, 23), 0xFFFFFFFFu);
    EXPECT_EQ(img.pixel(46, 22), 0xFFFFFFFFu);
    EXPECT_NE(img.pixel(46 + 536, 23 + 66), 0xFFFFFFFFu);
    EXPECT_EQ(img.pixel(46 + 537, 23 + 66), 0xFFFFFFFFu);

    image.SetStretch(true);
    img.fill(0xFFFFFFFF);
    image.Paint(canvas);
    EXPECT_NE(img.pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_NE(img.pixel(629, 112), 0xFFFFFFFFu);

    TStOfficeImage empty(nullptr);
    img.fill(0xFFFFFFFF);
    empty.Paint(canvas);
    EXPECT_EQ(img.pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(image.Version(), "1.1.0.0");
}

TEST(StyledLayout, PictureBytesAndRichTextSurviveALayout) {
    RegisterStyledClasses();
    const auto jpeg = kvtest::MakeJpeg(40, 10, 0xFF808080);
    const std::string rtf = "{\\rtf1\\ansi \\'d6\\'d0 x}";
    std::string text;
    {
        TForm form(nullptr);
        form.SetName("fmSheet");
        auto* pic = new TStOfficeImage(&form);
        pic->SetName("StOfficeImage1");
        pic->SetParent(&form);
        pic->Picture()->SetData(kvtest::DataText(jpeg));
        auto* label = new TRTFLabel(&form);
        label->SetName("RTFLabel");
        label->SetParent(&form);
        label->SetRichText(rtf);
        label->SetTransparent(true);
        text = WriteLayout(form);
    }
    TForm again(nullptr);
    const auto problems = ReadLayout(text, again);
    EXPECT_TRUE(problems.empty()) << (problems.empty() ? "" : problems.front());
    auto* pic = dynamic_cast<TStOfficeImage*>(again.FindComponent("StOfficeImage1"));
    auto* label = dynamic_cast<TRTFLabel*>(again.FindComponent("RTFLabel"));
    ASSERT_NE(pic, nullptr);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(pic->Picture()->Bytes(), jpeg);
    EXPECT_EQ(label->RichText(), rtf);
    EXPECT_TRUE(label->Transparent());
}

} // namespace
