// Panels and group boxes: frames, transparency, child areas and the enabled list.

#include "panels/PkPanel.h"
#include "platform/gui/Forms.h"

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
int TextHeight(const TFont* f, const char* text) {
    TCanvas c;
    c.Font()->Assign(f);
    return c.TextHeight(text);
}
} // namespace

TEST(PkGroupBoxTest, TransparentCustomBoxLeavesTheParentAndRaisesOnPaintOncePerPaint) {
    const TColor sentinel = RGB(12, 200, 34);
    TPkPanel host(nullptr);
    host.SetBounds(0, 0, 120, 80);
    host.SetColor(sentinel);
    host.SetBorderOuter(TFrameStyleEx::fsNone);
    auto* g = new TPkGroupBox(&host);
    g->SetParent(&host);
    g->SetBounds(10, 10, 100, 60);
    g->SetGroupStyle(TPkGroupBoxStyle::gsCustom);
    g->SetTransparent(true);
    int paints = 0;
    g->OnPaint = [&](TObject* sender) {
        EXPECT_EQ(sender, g);
        ++paints;
    };
    QImage img = host.RenderToImage();
    EXPECT_EQ(paints, 1);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            ASSERT_EQ(Px(img, x, y), Rgb(sentinel)) << x << "," << y;
    host.RenderToImage();
    EXPECT_EQ(paints, 2);
}

TEST(PkGroupBoxTest, ChildAreaPerGroupStyle) {
    TPkGroupBox g(nullptr);
    g.SetBounds(0, 0, 200, 105);
    const int h = TextHeight(g.Font(), "Yy");
    struct Case {
        TPkGroupBoxStyle style;
        const char* caption;
        int borderWidth, bannerHeight;
        TRect expected;
    } cases[] = {
        {TPkGroupBoxStyle::gsCustom, "", 0, 0, {2, 2, 198, 103}},
        {TPkGroupBoxStyle::gsCustom, "EQ", 0, 0, {2, h + 2, 198, 103}},
        {TPkGroupBoxStyle::gsStandard, "", 0, 0, {2, h + 2, 198, 103}},
        {TPkGroupBoxStyle::gsFlat, "", 0, 0, {1, h + 1, 199, 104}},
        {TPkGroupBoxStyle::gsFlat, "", 10, 0, {11, 10 + h / 2 - 1 + 1, 189, 94}},
        {TPkGroupBoxStyle::gsTopLine, "", 0, 0, {0, h, 200, 105}},
        {TPkGroupBoxStyle::gsBanner, "", 0, 0, {0, h + 8, 200, 105}},
        {TPkGroupBoxStyle::gsBanner, "", 0, 30, {0, 30, 200, 105}},
        {TPkGroupBoxStyle::gsUnderline, "", 0, 0, {0, h + 4, 200, 105}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.style));
        g.SetGroupStyle(c.style);
        g.SetCaption(c.caption);
        g.SetBorderWidth(c.borderWidth);
        g.SetBannerHeight(c.bannerHeight);
        EXPECT_EQ(g.ClientRect(), c.expected);
    }
}

TEST(PkPanelTest, DisablingAndEnablingKeepsAChildThatWasDisabledBefore) {
    TPkPanel p(nullptr);
    auto* a = new TPkPanel(&p);
    auto* b = new TPkPanel(&p);
    a->SetParent(&p);
    b->SetParent(&p);
    b->SetEnabled(false);
    p.SetEnabled(false);
    EXPECT_FALSE(a->Enabled());
    p.SetEnabled(true);
    EXPECT_TRUE(a->Enabled());
    EXPECT_FALSE(b->Enabled());
}

TEST(PkPanelTest, FramesFillAndBottomAlignedGrowth) {
    TPkPanel p(nullptr);
    p.SetBounds(0, 0, 40, 30);
    p.SetColor(clYellow);
    QImage img = p.RenderToImage();
    // The default raised frame: 3D light at the outer top-left, dark shadow at the outer bottom-right.
    EXPECT_EQ(Px(img, 0, 5), Rgb(cl3DLight));
    EXPECT_EQ(Px(img, 39, 5), Rgb(cl3DDkShadow));
    EXPECT_EQ(Px(img, 1, 5), Rgb(clBtnHighlight));
    EXPECT_EQ(Px(img, 20, 15), Rgb(clYellow));
    p.SetBorderOuter(TFrameStyleEx::fsNone);
    p.SetShowGrid(true);
    p.SetGridXSize(10);
    p.SetGridYSize(10);
    img = p.RenderToImage();
    EXPECT_EQ(Px(img, 9, 9), Rgb(clBtnShadow)) << "grid dot at a crossing";
    EXPECT_EQ(Px(img, 9, 5), Rgb(clYellow));
    // A grid size of 0 draws nothing in that direction (and divides by nothing).
    p.SetGridStyle(TPkGridStyle::gsSolidLines);
    p.SetGridXSize(0);
    img = p.RenderToImage();
    EXPECT_EQ(Px(img, 9, 5), Rgb(clYellow)) << "no vertical lines";
    EXPECT_EQ(Px(img, 5, 9), Rgb(clBtnShadow)) << "horizontal lines stay";

    TPkPanel host(nullptr);
    host.SetBounds(0, 0, 200, 200);
    auto* bottom = new TPkPanel(&host);
    bottom->SetParent(&host);
    bottom->SetBounds(0, 160, 200, 40);
    bottom->SetAlign(TAlign::alBottom);
    bottom->SetHeight(60);
    EXPECT_EQ(bottom->Top(), 140);
    EXPECT_EQ(bottom->Top() + bottom->Height(), 200);
}

TEST(PkGroupBoxTest, ClassicStylesFrameAroundTheCaption) {
    TPkGroupBox g(nullptr);
    g.SetBounds(0, 0, 120, 80);
    g.SetColor(clWhite);
    g.SetCaption("EQ");
    g.SetGroupStyle(TPkGroupBoxStyle::gsStandard);
    TCanvas measure;
    measure.Font()->Assign(g.CaptionFont());
    const int hh = measure.TextHeight("Pp") / 2 - 1;
    QImage img = g.RenderToImage();
    // The groove runs at the caption's middle row, left of the caption and right of it, not through it.
    EXPECT_EQ(Px(img, 2, hh), Rgb(clBtnShadow));
    EXPECT_EQ(Px(img, 100, hh), Rgb(clBtnShadow));
    EXPECT_EQ(Px(img, 0, 40), Rgb(clBtnShadow));
    EXPECT_EQ(Px(img, 1, 40), Rgb(clBtnHighlight));
    const int captionWidth = measure.TextWidth("EQ");
    bool crossed = false;
    for (int x = 9; x < 8 + captionWidth - 1; ++x)
        crossed = crossed || Px(img, x, hh) == Rgb(clBtnShadow);
    EXPECT_FALSE(crossed) << "the caption's rectangle is kept clear of the frame";

    // A banner without a caption has nothing to draw.
    g.SetCaption("");
    g.SetGroupStyle(TPkGroupBoxStyle::gsBanner);
    img = g.RenderToImage();
    for (int x = 0; x < 120; ++x)
        ASSERT_EQ(Px(img, x, 3), Rgb(clWhite)) << x;
}

TEST(PkPanelTest, DockGrabbersSitAlongTheEdgeThePanelFaces) {
    TPkPanel p(nullptr);
    p.SetBounds(0, 0, 200, 100);
    p.SetDockSite(true);
    p.SetUseDockManager(true);
    ASSERT_NE(p.DockManager(), nullptr);
    TRect r{0, 0, 200, 100};
    p.DockManager()->AdjustDockRect(nullptr, r);
    EXPECT_EQ(r, (TRect{0, 14, 200, 100}));
    p.SetAlign(TAlign::alTop);
    r = {0, 0, 200, 100};
    p.DockManager()->AdjustDockRect(nullptr, r);
    EXPECT_EQ(r, (TRect{14, 0, 200, 100}));
    TBitmap bmp(200, 100);
    TPkPanel client(nullptr);
    client.SetCaption("Client");
    p.DockManager()->PaintDockFrame(*bmp.Canvas(), &client, {0, 0, 200, 100});
    EXPECT_EQ(Px(bmp.Image(), 1, 50), Rgb(clInactiveCaption)) << "an unfocused windowed client's grabber";
    p.SetUseDockManager(false);
    EXPECT_EQ(p.DockManager(), nullptr);
}
