// The shape button: bevel ring pixels per side on the up and down faces, the border ring, the hit
// test on the shape's pixels, hint and cursor over transparent pixels, and the disabled look.

#include "panels/PkShapeButton.h"

#include "panels/PanelClasses.h"
#include "platform/gui/Layout.h"

#include "platform/gui/Forms.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {

constexpr TColor kKey = clOlive;
constexpr TColor kShape = clRed;
constexpr TColor kHigh = clWhite, kShadow = RGB(128, 128, 128), kBorder = RGB(64, 64, 64);

// A 12 x 12 picture: a 4 x 4 red square at (4..7, 4..7) on the transparent colour (its bottom-left pixel).
std::unique_ptr<TBitmap> Square() {
    auto b = std::make_unique<TBitmap>(12, 12);
    b->Canvas()->Brush()->SetColor(kKey);
    b->Canvas()->FillRect({0, 0, 12, 12});
    b->Canvas()->Brush()->SetColor(kShape);
    b->Canvas()->FillRect({4, 4, 8, 8});
    return b;
}

TColor At(const TBitmap& b, int x, int y) {
    return FromQRgb(b.Image().pixel(x, y));
}

struct PkShapeButtonTest : ::testing::Test {
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 200, 200);
        form->SetColor(RGB(1, 2, 3));
        form->Show();
        btn = new TPkShapeButton(form.get());
        btn->SetParent(form.get());
        btn->OnClick = [this](TObject*) { ++clicks; };
    }
    std::unique_ptr<TForm> form;
    TPkShapeButton* btn = nullptr;
    int clicks = 0;
};

} // namespace

TEST_F(PkShapeButtonTest, RingPixelsPerSideUpAndDown) {
    btn->SetBorderStyle(TBorderStyle::bsNone);
    btn->SetBevelWidth(1);
    btn->SetBitmap(Square().get());
    EXPECT_EQ(btn->Width(), 16); // auto-sized to the bitmap plus 4
    struct Case {
        int x, y;
        TColor up, down;
    };
    const Case cases[] = {
        {8, 5, kShadow, kKey},  // right: side 0 (left out on the down face's outer ring)
        {5, 8, kShadow, kKey},  // below
        {8, 8, kShadow, kKey},  // bottom-right corner
        {3, 8, kShadow, kKey},  // bottom-left corner is offset (-1, 1): side 0
        {8, 3, kShadow, kKey},  // top-right corner is offset (1, -1): side 0
        {3, 5, kHigh, kShadow}, // left: side 1
        {5, 3, kHigh, kShadow}, // above
        {3, 3, kHigh, kShadow}, // top-left corner
        {5, 5, kShape, kShape}, // the shape itself
        {1, 1, kKey, kKey},     // beyond the ring
    };
    for (const Case& c : cases) {
        EXPECT_EQ(At(*btn->BitmapUp(), c.x, c.y), c.up) << c.x << "," << c.y;
        EXPECT_EQ(At(*btn->BitmapDown(), c.x, c.y), c.down) << c.x << "," << c.y;
    }
}

TEST_F(PkShapeButtonTest, BorderRingAndClampedBevelWidth) {
    btn->SetBevelWidth(5);
    EXPECT_EQ(btn->BevelWidth(), 2);
    btn->SetBitmap(Square().get()); // bevel 2 and a single border: three rings
    const TBitmap& up = *btn->BitmapUp();
    EXPECT_EQ(At(up, 8, 5), kShadow);
    EXPECT_EQ(At(up, 9, 5), kShadow);
    EXPECT_EQ(At(up, 10, 5), kBorder);
    EXPECT_EQ(At(up, 2, 5), kHigh);
    EXPECT_EQ(At(up, 1, 5), kBorder);
    EXPECT_EQ(At(up, 11, 5), kKey);
    // A highlight equal to the transparent colour is dimmed by one so that it still shows.
    btn->SetBevelHighlightColor(kKey);
    EXPECT_NE(At(*btn->BitmapUp(), 3, 5), kKey);
}

TEST_F(PkShapeButtonTest, PressOnlyOnTheShape) {
    btn->SetBitmap(Square().get());
    btn->MouseDown(TMouseButton::mbLeft, {}, 0, 0); // transparent: not the button's
    EXPECT_EQ(btn->State(), TButtonState::bsUp);
    btn->MouseUp(TMouseButton::mbLeft, {}, 0, 0);
    EXPECT_EQ(clicks, 0);

    btn->MouseDown(TMouseButton::mbLeft, {}, 5, 5);
    EXPECT_EQ(btn->State(), TButtonState::bsDown);
    btn->MouseMove({}, 0, 0);
    EXPECT_EQ(btn->State(), TButtonState::bsUp);
    btn->MouseMove({}, 6, 6);
    btn->MouseUp(TMouseButton::mbLeft, {}, 6, 6);
    EXPECT_EQ(btn->State(), TButtonState::bsUp);
    EXPECT_EQ(clicks, 1);

    // Without the precise hit test every pixel of the button counts.
    btn->SetPreciseClick(false);
    btn->MouseDown(TMouseButton::mbLeft, {}, 0, 0);
    EXPECT_EQ(btn->State(), TButtonState::bsDown);
    btn->MouseUp(TMouseButton::mbLeft, {}, 0, 0);
    EXPECT_EQ(clicks, 2);
}

TEST_F(PkShapeButtonTest, HintAndCursorOverTransparentPixels) {
    btn->SetBitmap(Square().get());
    btn->SetShowHint(true);
    btn->MouseMove({}, 0, 0);
    EXPECT_FALSE(btn->ShowHint());
    EXPECT_FALSE(btn->ParentShowHint());
    btn->MouseMove({}, 5, 5);
    EXPECT_TRUE(btn->ShowHint());
    EXPECT_TRUE(btn->ParentShowHint());

    btn->SetPreciseShowHint(false);
    btn->SetCursor(crHandPoint);
    btn->MouseMove({}, 0, 0);
    EXPECT_EQ(btn->Cursor(), crDefault);
    btn->MouseMove({}, 5, 5);
    EXPECT_EQ(btn->Cursor(), crHandPoint);
}

TEST_F(PkShapeButtonTest, PaintsOverTheParentAndDisabledLooksUp) {
    btn->SetBitmap(Square().get());
    btn->SetLeft(20);
    btn->SetTop(20);
    btn->SetEnabled(false);
    QImage img = form->RenderToImage();
    EXPECT_EQ(FromQRgb(img.pixel(20 + 5, 20 + 5)), kShape);
    EXPECT_EQ(FromQRgb(img.pixel(20 + 8, 20 + 5)), kShadow);
    EXPECT_EQ(FromQRgb(img.pixel(20 + 0, 20 + 0)), RGB(1, 2, 3)); // the parent through transparent pixels

    btn->SetCaptionXY(3, 1);
    EXPECT_EQ(btn->CaptionPosition(), TPkCaptionPosition::cpXY);
    btn->SetCaption("A");
    btn->Font()->SetColor(clBlue);
    QImage withCaption = form->RenderToImage();
    int blue = 0;
    for (int y = 20; y < 36; ++y)
        for (int x = 20; x < 36; ++x)
            blue += qBlue(withCaption.pixel(x, y)) > 150 && qRed(withCaption.pixel(x, y)) < 100;
    EXPECT_GT(blue, 0);
}

TEST(PkShapeButtonLayout, StoredFacesLoadWithoutRegeneration) {
    RegisterPanelClasses();
    TForm source(nullptr);
    source.SetName("fmSource");
    auto* shp = new TPkShapeButton(&source);
    shp->SetName("shpDeco");
    shp->SetParent(&source);
    shp->SetBevelWidth(1);
    shp->SetBitmap(Square().get());
    // A face edited after generation shows that loading keeps the stored faces as they are.
    TBitmap marked;
    marked.Assign(shp->BitmapUp());
    marked.Canvas()->SetPixel(5, 5, clLime);
    shp->SetBitmapUp(&marked);
    std::string text = WriteLayout(source);
    EXPECT_NE(text.find("BitmapUp = bmp"), std::string::npos);
    EXPECT_NE(text.find("BitmapDown = bmp"), std::string::npos);

    TForm target(nullptr);
    auto errors = ReadLayout(text, target);
    ASSERT_TRUE(errors.empty()) << errors.front();
    auto* copy = dynamic_cast<TPkShapeButton*>(target.FindComponent("shpDeco"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(At(*copy->BitmapUp(), 5, 5), clLime);
    EXPECT_EQ(At(*copy->BitmapUp(), 8, 5), kShadow);
    EXPECT_FALSE(copy->PtInMask(0, 0)); // the hit mask rebuilt from the loaded pictures
    EXPECT_TRUE(copy->PtInMask(5, 5));
    EXPECT_TRUE(copy->PtInMask(8, 5)); // the ring belongs to the button
}
