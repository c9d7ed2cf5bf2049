// PNG and JPEG pictures through libpng and libjpeg.

#include "platform/gui/Graphics.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdlib>
#include <functional>

using namespace kv;

namespace {

// A picture with flat areas, a gradient and sharp edges.
QImage Pattern(int w, int h) {
    TBitmap bmp(w, h);
    TCanvas& c = *bmp.Canvas();
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h / 2; ++y)
            c.SetPixel(x, y, RGB(x * 255 / w, y * 255 / h, 128));
    c.Brush()->SetColor(clNavy);
    c.FillRect(Rect(0, h / 2, w / 2, h));
    c.Brush()->SetColor(clYellow);
    c.FillRect(Rect(w / 2, h / 2, w, h));
    return bmp.Image();
}

int MaxChannelDifference(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

double MeanChannelDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum +=
                std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

TEST(PictureTest, PngRoundTripIsExactAndKeepsAlpha) {
    QImage src = Pattern(37, 23);
    auto bytes = EncodePng(src, 9);
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(bytes[1], 'P');
    QImage back = DecodePng(bytes.data(), bytes.size());
    ASSERT_EQ(back.size(), src.size());
    EXPECT_EQ(MaxChannelDifference(src, back), 0);

    QImage alpha(4, 3, QImage::Format_ARGB32);
    alpha.fill(qRgba(10, 20, 30, 0));
    alpha.setPixel(1, 1, qRgba(200, 100, 50, 255));
    auto abytes = EncodePng(alpha, 0);
    QImage aback = DecodePng(abytes.data(), abytes.size());
    EXPECT_EQ(qAlpha(aback.pixel(0, 0)), 0);
    EXPECT_EQ(aback.pixel(1, 1), qRgba(200, 100, 50, 255));
}

// Copies of one picture share a single decoding; changing one copy leaves the others and later
// decodings as they were.
TEST(PictureTest, SamePngDecodedAgainIsSharedButChangesStayPrivate) {
    QImage src = Pattern(9, 7);
    auto bytes = EncodePng(src, 6);
    QImage first = DecodePng(bytes.data(), bytes.size());
    QImage second = DecodePng(bytes.data(), bytes.size());
    EXPECT_EQ(first.constBits(), second.constBits());
    first.setPixel(2, 3, qRgba(1, 2, 3, 255));
    EXPECT_EQ(MaxChannelDifference(src, second), 0);
    QImage third = DecodePng(bytes.data(), bytes.size());
    EXPECT_EQ(MaxChannelDifference(src, third), 0);
    EXPECT_NE(first.pixel(2, 3), third.pixel(2, 3));
}

// A decoding stays in the store while some picture still uses it and goes once none does.
TEST(PictureTest, UnsharedDecodingsAreReleased) {
    auto bytes = EncodePng(Pattern(31, 17), 6);
    ReleaseUnsharedDecodings();
    QImage held = DecodePng(bytes.data(), bytes.size());
    EXPECT_EQ(ReleaseUnsharedDecodings(), 0u);
    EXPECT_EQ(DecodePng(bytes.data(), bytes.size()).constBits(), held.constBits());
    const auto size = static_cast<std::size_t>(held.sizeInBytes());
    held = QImage();
    EXPECT_EQ(ReleaseUnsharedDecodings(), size + bytes.size());
    EXPECT_EQ(ReleaseUnsharedDecodings(), 0u);
}

TEST(PictureTest, JpegRoundTripStaysWithinTolerance) {
    QImage src = Pattern(64, 48);
    for (bool progressive : {false, true}) {
        auto bytes = EncodeJpeg(src, 90, progressive);
        ASSERT_GT(bytes.size(), 3u);
        EXPECT_EQ(bytes[0], 0xFF);
        EXPECT_EQ(bytes[1], 0xD8);
        QImage back = DecodeJpeg(bytes.data(), bytes.size());
        ASSERT_EQ(back.size(), src.size());
        EXPECT_LT(MeanChannelDifference(src, back), 3.0);
        // Inside flat areas (away from the colour edges that chroma subsampling blurs) pixels stay close.
        QRect inner(4, 30, 24, 14);
        EXPECT_LT(MaxChannelDifference(src.copy(inner), back.copy(inner)), 8);
    }
    // Lower quality: smaller and further off, but still the same picture.
    auto small = EncodeJpeg(src, 10);
    EXPECT_LT(small.size(), EncodeJpeg(src, 95).size());
}

TEST(PictureTest, DamagedDataAndBadSettingsAreErrors) {
    std::vector<std::uint8_t> junk{0x89, 'P', 'N', 'G', 1, 2, 3, 4, 5};
    EXPECT_THROW(DecodePng(junk.data(), junk.size()), EKvError);
    auto jpeg = EncodeJpeg(Pattern(16, 16), 80);
    jpeg.resize(jpeg.size() / 3);
    // A cut JPEG still decodes (libjpeg fills the rest) or fails cleanly; it never crashes.
    try {
        DecodeJpeg(jpeg.data(), jpeg.size());
    } catch (const EKvError&) {
    }
    std::vector<std::uint8_t> notJpeg{0xFF, 0xD8, 0xFF, 0x00, 0x00};
    EXPECT_THROW(DecodeJpeg(notJpeg.data(), notJpeg.size()), EKvError);
    EXPECT_THROW(EncodeJpeg(Pattern(4, 4), 0), EKvError);
    EXPECT_THROW(EncodeJpeg(Pattern(4, 4), 101), EKvError);
    EXPECT_THROW(EncodePng(Pattern(4, 4), 10), EKvError);
    TPicture p;
    EXPECT_THROW(p.LoadFromBytes({'G', 'I', 'F', '8'}), EKvError);
    EXPECT_TRUE(p.Empty());
}

TEST(PictureTest, PictureKnowsItsFormatAndConvertsToBitmap) {
    // A directory of its own: other builds may run this test at the same time.
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString dir = tmp.path();
    std::string png = (dir + "/p.png").toStdString(), jpg = (dir + "/p.jpg").toStdString();
    TPngImage pi;
    pi.FromImage(Pattern(20, 10));
    pi.SaveToFile(png);
    TJPEGImage ji;
    ji.FromImage(Pattern(20, 10));
    ji.SaveToFile(jpg);

    TPicture a, b;
    a.LoadFromFile(png);
    b.LoadFromFile(jpg);
    EXPECT_NE(dynamic_cast<TPngImage*>(a.Graphic()), nullptr);
    EXPECT_NE(dynamic_cast<TJPEGImage*>(b.Graphic()), nullptr);
    EXPECT_EQ(a.Width(), 20);
    // A loaded picture writes back the bytes it was loaded from.
    EXPECT_EQ(a.Graphic()->SaveToBytes(), ReadFileBytes(png));

    TPicture copy;
    copy.Assign(&b);
    EXPECT_NE(dynamic_cast<TJPEGImage*>(copy.Graphic()), nullptr);
    TBitmap* bmp = copy.Bitmap();
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(bmp->Width(), 20);
    EXPECT_EQ(bmp->Height(), 10);
    EXPECT_THROW(a.LoadFromFile((dir + "/missing.png").toStdString()), EKvError);
}

// Copying a picture (as a TPicture or an image list does) gives an equal picture of the same kind: the
// bytes it was loaded from, its codec settings and its transparency. Another kind comes over by its
// pixels and is written in the copy's own format.
TEST(PictureTest, CopiesOfEitherKindKeepBytesSettingsAndTransparency) {
    const QImage pattern = Pattern(24, 16);
    TPngImage png;
    png.LoadFromBytes(EncodePng(pattern, 6));
    png.SetCompressionLevel(3);
    TJPEGImage jpeg;
    jpeg.LoadFromBytes(EncodeJpeg(pattern, 60));
    jpeg.SetCompressionQuality(40);
    jpeg.SetProgressiveEncoding(true);
    struct Case {
        const char* kind;
        TGraphic* source;
        std::function<bool(const TGraphic&)> sameSettings;
    };
    const Case cases[] = {
        {"png", &png,
         [](const TGraphic& g) {
             auto* p = dynamic_cast<const TPngImage*>(&g);
             return p && p->CompressionLevel() == 3;
         }},
        {"jpeg", &jpeg,
         [](const TGraphic& g) {
             auto* j = dynamic_cast<const TJPEGImage*>(&g);
             return j && j->CompressionQuality() == 40 && j->ProgressiveEncoding();
         }},
    };
    for (const Case& c : cases) {
        c.source->SetTransparent(true);
        TPicture picture;
        picture.SetGraphic(c.source);
        const TGraphic* copy = picture.Graphic();
        ASSERT_NE(copy, nullptr) << c.kind;
        EXPECT_TRUE(c.sameSettings(*copy)) << c.kind;
        EXPECT_TRUE(copy->Transparent()) << c.kind;
        EXPECT_EQ(copy->SaveToBytes(), c.source->SaveToBytes()) << c.kind;
        EXPECT_EQ(copy->ToImage(), c.source->ToImage()) << c.kind;
    }
    // Across kinds: the pixels, written anew in the receiving kind's format.
    TPngImage fromJpeg;
    fromJpeg.Assign(&jpeg);
    EXPECT_EQ(fromJpeg.ToImage().convertToFormat(QImage::Format_RGB32), jpeg.ToImage());
    EXPECT_EQ(fromJpeg.SaveToBytes().at(1), 'P');
    TJPEGImage fromPng;
    fromPng.Assign(&png);
    EXPECT_EQ(fromPng.ToImage().format(), QImage::Format_RGB32);
    EXPECT_EQ(fromPng.SaveToBytes().at(1), 0xD8);
    EXPECT_LT(MeanChannelDifference(fromPng.ToImage(), pattern), 3.0);
}

} // namespace
