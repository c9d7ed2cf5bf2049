#include "platform/gui/LayeredWindow.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QWidget>

using namespace kv;

namespace {

// Per-pixel alpha times the constant opacity; the ordinary window fades as a whole; corners cut.
TEST(LayeredWindowTest, AlphaOpacityAndRoundRegion) {
    TLayeredWindow w;
    w.SetBounds(10, 20, 40, 30);
    EXPECT_EQ(w.BoundsRect(), (TRect{10, 20, 50, 50}));
    EXPECT_TRUE(w.Widget()->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(w.Widget()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    w.SetStayOnTop(false);
    EXPECT_FALSE(w.Widget()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    QImage img(40, 30, QImage::Format_ARGB32_Premultiplied);
    img.fill(qPremultiply(qRgba(255, 0, 0, 128)));
    w.SetLayered(true);
    w.UpdateLayered(img, 255);
    EXPECT_NEAR(qRed(w.Grab(0xFF000000).pixel(20, 15)), 128, 2);
    w.UpdateLayered(img, 128);
    EXPECT_NEAR(qRed(w.Grab(0xFF000000).pixel(20, 15)), 64, 2);

    TLayeredWindow o;
    o.SetBounds(0, 0, 40, 30);
    o.OnPaint = [](QPainter& p) { p.fillRect(0, 0, 40, 30, Qt::white); };
    o.SetAlphaBlendValue(51);
    EXPECT_EQ(o.AlphaBlendValue(), 51);
    EXPECT_NEAR(qGreen(o.Grab(0xFF000000).pixel(20, 15)), 51, 2);
    o.SetAlphaBlendValue(255);
    o.SetRoundRegion(8, true, false, false, false);
    const QImage g = o.Grab(0xFF000000);
    EXPECT_EQ(g.pixel(0, 0) & 0xFFFFFF, 0u);         // the rounded corner is cut
    EXPECT_EQ(g.pixel(39, 0) & 0xFFFFFF, 0xFFFFFFu); // square corners stay
    EXPECT_EQ(g.pixel(20, 15) & 0xFFFFFF, 0xFFFFFFu);
    w.Show();
    EXPECT_TRUE(w.Visible());
    w.Hide();
    EXPECT_FALSE(w.Visible());
}

} // namespace
