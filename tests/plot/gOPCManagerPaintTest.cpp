#include "plot/opc/gOPCManager.h"

#include <gtest/gtest.h>

#include <QImage>

using namespace kv;

namespace {

// The manager as it paints itself on a form at design time.
QImage OmpRender(TgOPCManager& m) {
    TBitmap target(m.Width(), m.Height());
    target.Canvas()->Brush()->SetColor(clBtnFace);
    target.Canvas()->FillRect(TRect{0, 0, m.Width(), m.Height()});
    m.Paint(*target.Canvas());
    return target.Image().convertToFormat(QImage::Format_RGB32);
}

TEST(gOPCManagerPaint, ARaisedFrameAroundTheManagersPicture) {
    TgOPCManager m(nullptr);
    ASSERT_EQ(m.ImageList()->Count(), 1);
    EXPECT_EQ(m.ImageList()->Width(), 24);
    EXPECT_EQ(m.ImageList()->Height(), 24);

    const QImage img = OmpRender(m);
    img.scaled(28 * 8, 28 * 8)
        .save(QString::fromStdString(::testing::TempDir() + "wrappers-opc-manager.png"));
    const auto at = [&](int x, int y) { return FromQRgb(img.pixel(x, y)); };
    EXPECT_EQ(at(0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(at(0, 26), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(at(26, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(at(27, 27), ColorToRGB(clBtnShadow));
    EXPECT_EQ(at(27, 5), ColorToRGB(clBtnShadow));
    EXPECT_EQ(at(5, 27), ColorToRGB(clBtnShadow));
    // The picture sits at (2, 2): its blue plate, and the face showing through its white corners.
    const TColor plate = at(2 + 12, 2 + 11);
    EXPECT_GT((plate >> 16) & 0xFF, (plate & 0xFF) + 60) << std::hex << plate;
    EXPECT_EQ(at(2, 2), ColorToRGB(clBtnFace));

    // Disabled: greyed, no blue left.
    m.SetEnabled(false);
    const QImage grey = OmpRender(m);
    const TColor greyPlate = FromQRgb(grey.pixel(2 + 12, 2 + 11));
    EXPECT_EQ((greyPlate >> 16) & 0xFF, greyPlate & 0xFF) << std::hex << greyPlate;
}

TEST(gOPCManagerPaint, ExplorerShowRunsTheInstalledWindowOnly) {
    TgOPCManager m(nullptr);
    m.ExplorerShow(); // none installed: nothing
    int runs = 0;
    gSetOPCExplorerRunner([&] { ++runs; });
    m.ExplorerShow();
    gSetOPCExplorerRunner(nullptr);
    m.ExplorerShow();
    EXPECT_EQ(runs, 1);
}

} // namespace
