// The raster-operation helpers of the platform layer: ternary operations, masks, stretching, linear
// gradients, pattern fills, and the parent's picture beneath a control.

#include "platform/gui/GdiOps.h"

#include "panels/PkBmpButton.h"
#include "panels/PkPanel.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {
QImage Filled(int w, int h, QRgb c) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}
} // namespace

TEST(GdiOps, RasterOperations) {
    const QRgb d = qRgb(0xF0, 0x0F, 0x33), s = qRgb(0xCC, 0x55, 0x0F), pat = qRgb(0xAA, 0xAA, 0xAA);
    struct Case {
        const char* name;
        std::uint32_t rop;
        QRgb want;
    };
    const Case cases[] = {
        {"copy", SRCCOPY, s},
        {"or", SRCPAINT, qRgb(0xFC, 0x5F, 0x3F)},
        {"and", SRCAND, qRgb(0xC0, 0x05, 0x03)},
        {"xor", SRCINVERT, qRgb(0x3C, 0x5A, 0x3C)},
        {"merge paint (d or not s)", MERGEPAINT, qRgb(0xF3, 0xAF, 0xF3)},
        {"not source", NOTSRCCOPY, qRgb(0x33, 0xAA, 0xF0)},
        {"pattern", PATCOPY, pat},
        {"source and pattern", MERGECOPY, qRgb(0x88, 0x00, 0x0A)},
        {"invert", DSTINVERT, qRgb(0x0F, 0xF0, 0xCC)},
        {"black", BLACKNESS, qRgb(0, 0, 0)},
        {"white", WHITENESS, qRgb(0xFF, 0xFF, 0xFF)},
        {"pattern where source is black", 0x00B8074A, qRgb(0xE2, 0xAF, 0xA3)},
    };
    QImage src = Filled(2, 2, s);
    for (const Case& c : cases) {
        QImage dest = Filled(4, 4, d);
        TRopBrush brush;
        brush.color = pat;
        BitBlt(dest, 1, 1, 2, 2, &src, 0, 0, c.rop, brush);
        EXPECT_EQ(dest.pixel(1, 1) & 0xFFFFFFu, c.want & 0xFFFFFFu) << c.name;
        EXPECT_EQ(dest.pixel(0, 0) & 0xFFFFFFu, d & 0xFFFFFFu) << c.name; // outside the block
        EXPECT_EQ(dest.pixel(3, 3) & 0xFFFFFFu, d & 0xFFFFFFu) << c.name;
    }
    // Blocks reaching over an edge are cut, not wrapped.
    QImage dest = Filled(4, 4, d);
    BitBlt(dest, 3, 3, 5, 5, &src, 0, 0, SRCCOPY);
    EXPECT_EQ(dest.pixel(3, 3) & 0xFFFFFFu, s & 0xFFFFFFu);
    BitBlt(dest, -1, -1, 2, 2, &src, 0, 0, SRCCOPY);
    EXPECT_EQ(dest.pixel(0, 0) & 0xFFFFFFu, s & 0xFFFFFFu);
}

TEST(GdiOps, MasksStretchGradientsAndPatterns) {
    QImage img = Filled(3, 1, qRgb(128, 128, 0)); // olive
    img.setPixel(1, 0, qRgb(255, 0, 0));
    QImage mask = MonoMask(img, clOlive);
    EXPECT_EQ(mask.pixel(0, 0) & 0xFFFFFFu, 0xFFFFFFu);
    EXPECT_EQ(mask.pixel(1, 0) & 0xFFFFFFu, 0u);

    QImage big = StretchImage(img, {0, 0, 3, 1}, 6, 2);
    EXPECT_EQ(big.pixel(2, 1), big.pixel(3, 0));
    EXPECT_EQ(big.pixel(2, 1) & 0xFFFFFFu, 0xFF0000u);
    QImage mirrored = StretchImage(img, {0, 0, 3, 1}, -3, 1);
    EXPECT_EQ(mirrored.pixel(0, 0), img.pixel(2, 0));
    EXPECT_TRUE(StretchImage(img, {0, 0, 3, 1}, 0, 0).isNull()); // an empty size draws nothing

    QImage g = Filled(4, 8, 0);
    GradientFillRect(g, {0, 0, 4, 8}, clBlack, clWhite, true);
    EXPECT_EQ(g.pixel(3, 0) & 0xFFFFFFu, 0u);
    EXPECT_LT(qRed(g.pixel(0, 3)), qRed(g.pixel(0, 4)));
    EXPECT_EQ(g.pixel(0, 4), g.pixel(3, 4));                // one colour per row
    GradientFillRect(g, {2, 2, 2, 6}, clRed, clRed, false); // no width: untouched
    EXPECT_EQ(g.pixel(2, 2), g.pixel(3, 2));

    QImage pattern = Filled(8, 8, qRgb(1, 1, 1));
    pattern.setPixel(0, 0, qRgb(9, 9, 9));
    QImage p = Filled(20, 20, 0);
    FillPattern(p, {2, 2, 18, 18}, pattern);
    EXPECT_EQ(p.pixel(8, 8) & 0xFFFFFFu, 0x090909u); // aligned to the image's origin
    EXPECT_EQ(p.pixel(16, 16) & 0xFFFFFFu, 0x090909u);
    EXPECT_EQ(p.pixel(9, 8) & 0xFFFFFFu, 0x010101u);
    EXPECT_EQ(p.pixel(0, 0) & 0xFFFFFFu, 0u);
}

TEST(GdiOps, ParentBackgroundHoldsTheParentsPictureAndWindowlessSiblings) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 200);
    form.SetColor(RGB(1, 2, 3));
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(10, 10, 150, 150);
    panel->SetColor(RGB(40, 50, 60));
    auto* shape = new TShape(&form); // windowless, painted as part of the panel
    shape->SetParent(panel);
    shape->SetBounds(0, 0, 30, 30);
    shape->Brush()->SetColor(clRed);
    shape->Pen()->SetColor(clRed);
    auto* btn = new TPkBmpButton(&form);
    btn->SetParent(panel);
    btn->SetBounds(20, 20, 40, 40);
    EXPECT_TRUE(ParentBackground(&form).isNull()); // no parent
    QImage under = ParentBackground(btn);
    ASSERT_EQ(under.width(), 40);
    EXPECT_EQ(FromQRgb(under.pixel(2, 2)), clRed);             // the shape's corner under the button
    EXPECT_EQ(FromQRgb(under.pixel(20, 20)), RGB(40, 50, 60)); // the panel's face
    // The button's key colour shows the same.
    auto up = std::make_unique<TBitmap>(40, 40);
    up->Canvas()->Brush()->SetColor(clOlive);
    up->Canvas()->FillRect({0, 0, 40, 40});
    btn->Bitmaps()->SetUp(up.get());
    QImage img = btn->RenderToImage();
    EXPECT_EQ(FromQRgb(img.pixel(2, 2)), clRed);
    EXPECT_EQ(FromQRgb(img.pixel(30, 30)), RGB(40, 50, 60));
}

TEST(GdiOps, TransparentParentShowsItsOwnParent) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 200);
    form.SetColor(RGB(1, 2, 3));
    auto* box = new TPkGroupBox(&form); // the band tables' transparent custom group box
    box->SetParent(&form);
    box->SetBounds(10, 10, 150, 150);
    box->SetGroupStyle(TPkGroupBoxStyle::gsCustom);
    box->SetTransparent(true);
    auto* btn = new TPkBmpButton(&form);
    btn->SetParent(box);
    btn->SetBounds(40, 40, 20, 20);
    QImage under = ParentBackground(btn);
    EXPECT_EQ(FromQRgb(under.pixel(10, 10)), RGB(1, 2, 3));
}
