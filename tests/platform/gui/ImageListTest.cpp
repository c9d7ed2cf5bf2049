#include "platform/gui/ImageList.h"

#include "platform/core/Classes.h"

#include <gtest/gtest.h>

#include <QImage>

#include <memory>

using namespace kv;

namespace {

constexpr TColor kImageListTeal = RGB(0, 128, 128);

// A 4 x 4 picture: teal background, a black pixel at (1, 1), a red one at (2, 1), a white one at (1, 2).
std::unique_ptr<TBitmap> ImageListPicture(int width = 4, int height = 4) {
    auto b = std::make_unique<TBitmap>(width, height);
    b->Canvas()->Brush()->SetColor(kImageListTeal);
    b->Canvas()->FillRect({0, 0, width, height});
    b->Canvas()->SetPixel(1, 1, clBlack);
    b->Canvas()->SetPixel(2, 1, clRed);
    b->Canvas()->SetPixel(1, 2, clWhite);
    return b;
}

// What a list draws on a canvas filled with `background`.
std::unique_ptr<TBitmap> ImageListDrawn(const TImageList& list, int index, bool enabled) {
    auto out = std::make_unique<TBitmap>(8, 8);
    out->Canvas()->Brush()->SetColor(clBtnFace);
    out->Canvas()->FillRect({0, 0, 8, 8});
    list.Draw(*out->Canvas(), 2, 2, index, enabled);
    return out;
}

TColor ImageListAt(const std::unique_ptr<TBitmap>& b, int x, int y) {
    return ColorToRGB(b->Canvas()->Pixel(x, y));
}

} // namespace

TEST(ImageList, MaskColourIsSeeThroughAndPicturesTakeTheListSize) {
    TImageList list(4, 4);
    EXPECT_EQ(list.Add(*ImageListPicture(), kImageListTeal), 0);
    const QImage& image = list.Image(0);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(image.pixel(1, 1), qRgba(0, 0, 0, 255));
    EXPECT_EQ(image.pixel(2, 1), qRgba(255, 0, 0, 255));

    // clNone masks nothing; black stays black instead of becoming the mask.
    EXPECT_EQ(list.Add(*ImageListPicture(), clNone), 1);
    EXPECT_EQ(list.Image(1).pixel(0, 0), qRgba(0, 128, 128, 255));
    EXPECT_EQ(list.Image(1).pixel(1, 1), qRgba(0, 0, 0, 255));

    // Larger pictures are cut, smaller ones padded with see-through pixels.
    list.Add(*ImageListPicture(6, 6), clNone);
    list.Add(*ImageListPicture(2, 2), clNone);
    EXPECT_EQ(list.Image(2).size(), QSize(4, 4));
    EXPECT_EQ(list.Image(3).size(), QSize(4, 4));
    EXPECT_EQ(qAlpha(list.Image(3).pixel(3, 3)), 0);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_THROW(list.Image(4), EKvError);

    list.SetSize(16, 16);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Width(), 16);
}

TEST(ImageList, EnabledDrawsThePictureAndDisabledAnEngraving) {
    TImageList list(4, 4);
    list.Add(*ImageListPicture(), kImageListTeal);

    auto on = ImageListDrawn(list, 0, true);
    EXPECT_EQ(ImageListAt(on, 2, 2), ColorToRGB(clBtnFace)); // see-through
    EXPECT_EQ(ImageListAt(on, 3, 3), clBlack);
    EXPECT_EQ(ImageListAt(on, 4, 3), clRed);
    EXPECT_EQ(ImageListAt(on, 3, 4), clWhite);

    // Dark and coloured pixels in the shadow colour over a highlight copy one pixel right and down;
    // light pixels are left out.
    auto off = ImageListDrawn(list, 0, false);
    EXPECT_EQ(ImageListAt(off, 3, 3), ColorToRGB(clBtnShadow));
    EXPECT_EQ(ImageListAt(off, 4, 3), ColorToRGB(clBtnShadow));
    EXPECT_EQ(ImageListAt(off, 4, 4), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(ImageListAt(off, 5, 4), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(ImageListAt(off, 3, 4), ColorToRGB(clBtnFace)); // the white pixel
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_NE(ImageListAt(off, x, y), clRed) << x << "," << y;

    // An index outside the list draws nothing.
    for (int index : {-1, 1}) {
        auto none = ImageListDrawn(list, index, true);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_EQ(ImageListAt(none, x, y), ColorToRGB(clBtnFace)) << index;
    }
}

TEST(ImageList, BytesRoundTripAndDamagedBytesLeaveTheListAsItWas) {
    TImageList list(4, 4);
    list.Add(*ImageListPicture(), kImageListTeal);
    list.Add(*ImageListPicture(), clNone);
    const std::vector<std::uint8_t> bytes = list.SaveToBytes();

    TImageList copy(24, 24);
    copy.LoadFromBytes(bytes);
    EXPECT_EQ(copy.Width(), 4);
    EXPECT_EQ(copy.Height(), 4);
    ASSERT_EQ(copy.Count(), 2);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(copy.Image(i), list.Image(i)) << i;

    TImageList empty(16, 16);
    copy.LoadFromBytes(empty.SaveToBytes());
    EXPECT_EQ(copy.Count(), 0);
    EXPECT_EQ(copy.Width(), 16);

    std::vector<std::vector<std::uint8_t>> damaged = {{}, {1, 2, 3}, bytes};
    damaged[2].resize(bytes.size() / 2); // cut inside the pictures
    damaged.push_back(bytes);
    damaged[3][0] ^= 0xFF; // not an image list
    for (const auto& bad : damaged) {
        EXPECT_THROW(list.LoadFromBytes(bad), EKvError) << bad.size();
        EXPECT_EQ(list.Count(), 2);
        EXPECT_EQ(list.Width(), 4);
    }
}
