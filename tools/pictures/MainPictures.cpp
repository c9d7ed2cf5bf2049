// Pictures of the main window: the bitmap-button sets, fader thumbs (the faders draw their own slot), the
// delay indicators, the strip and frame backgrounds and the splash picture. Sizes are those the layout uses
// (tools/gen_main_layout.py names them).

#include "Common.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <string>

namespace {

using namespace pictures;

void ButtonSet(const char* name, ButtonLook look, int w, int h) {
    for (ButtonState s : AllStates)
        Add(std::string("main/btn_") + name + "_" + std::to_string(w) + "x" + std::to_string(h) + "_" +
                StateSuffix(s) + ".png",
            {w, h}, [look, s](QPainter& p, QSize size) { DrawButtonFace(p, size, look, s); });
}

// The delay page's indicator: a small loudspeaker cone in amber, its sound leaving to the right.
void DelayIndicator(QPainter& p, QSize size) {
    p.setRenderHint(QPainter::Antialiasing, true);
    const double s = size.width() / 32.0;
    p.scale(s, s);
    QPainterPath cone;
    cone.moveTo(4, 12);
    cone.lineTo(10, 12);
    cone.lineTo(17, 5);
    cone.lineTo(17, 27);
    cone.lineTo(10, 20);
    cone.lineTo(4, 20);
    cone.closeSubpath();
    QLinearGradient g(0, 5, 0, 27);
    g.setColorAt(0, pal::Accent.lighter(120));
    g.setColorAt(1, pal::AccentDark);
    p.setPen(QPen(QColor(0x20, 0x18, 0x08), 1));
    p.setBrush(g);
    p.drawPath(cone);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(pal::Accent, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(14, 10, 8, 12), -50 * 16, 100 * 16);
    p.drawArc(QRectF(15, 6, 13, 20), -50 * 16, 100 * 16);
}

// The dark strips (page buttons, preset bar): a soft vertical gradient with a light top edge.
void StripBackground(QPainter& p, QSize size) {
    const QRect r(QPoint(0, 0), size);
    VGradient(p, r, pal::StripLight, pal::Strip);
    p.setPen(QColor(0x5E, 0x6A, 0x78));
    p.drawLine(0, 0, size.width() - 1, 0);
    p.setPen(pal::Shadow);
    p.drawLine(0, size.height() - 1, size.width() - 1, size.height() - 1);
}

// The frame behind the page area: the window colour with a faint diagonal sheen.
void FrameBase(QPainter& p, QSize size) {
    const QRect r(QPoint(0, 0), size);
    VGradient(p, r, QColor(0xCF, 0xD5, 0xDC), QColor(0xBE, 0xC6, 0xCF));
}

// The recessed end of the page-button strip, behind the interface label.
void MenuEnd(QPainter& p, QSize size) {
    const QRect r(QPoint(0, 0), size);
    p.fillRect(r, pal::Strip);
    const QRect well = r.adjusted(4, 8, -4, -8);
    p.fillRect(well, QColor(0x1C, 0x22, 0x29));
    Bevel(p, well, false, 1, QColor(0x5E, 0x6A, 0x78), pal::Shadow);
}

// Six response curves in the channel colours across the width, swinging by `swing` about `middle`;
// curve c drifts by `drift` x c over the width and sits `spread` x c lower.
void ResponseCurves(QPainter& p, int width, double middle, double swing, double drift, double spread) {
    const QColor colours[] = {QColor(128, 0, 128), QColor(128, 128, 0), QColor(255, 0, 0),
                              QColor(0, 255, 0),   QColor(255, 255, 0), QColor(0, 0, 255)};
    for (int c = 0; c < 6; ++c) {
        QPainterPath path;
        for (int x = 0; x <= width; x += 2) {
            const double t = x / static_cast<double>(width);
            const double y =
                middle + swing * std::sin(6.2 * t + c * 0.9) * std::exp(-2.0 * std::abs(t - 0.15 * c - 0.1)) -
                drift * c * t + spread * c;
            if (x == 0)
                path.moveTo(x, y);
            else
                path.lineTo(x, y);
        }
        QColor col = colours[c];
        col.setAlpha(170);
        p.setPen(QPen(col, 2));
        p.drawPath(path);
    }
}

// The program's splash picture: a dark panel with rounded corners (see-through outside them, which the
// splash window shows as it is), a rule under the program name, and response curves along the bottom,
// below the loading line that the splash screen writes at (180, 210).
void SplashPanel(QPainter& p, QSize size) {
    const QRectF r(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath panel;
    panel.addRoundedRect(r, 14, 14);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(0x30, 0x3A, 0x46));
    g.setColorAt(1, QColor(0x10, 0x14, 0x1A));
    p.fillPath(panel, g);
    p.save();
    p.setClipPath(panel);
    QRadialGradient light(470, 70, 300);
    light.setColorAt(0, QColor(0x60, 0x90, 0xC8, 90));
    light.setColorAt(1, QColor(0x60, 0x90, 0xC8, 0));
    p.fillRect(r, light);
    // the grid of a curve graph along the bottom
    p.setPen(QPen(QColor(0xFF, 0xFF, 0xFF, 20), 1));
    for (int x = 20; x < size.width(); x += 40)
        p.drawLine(x, 262, x, size.height());
    for (int y = 262; y < size.height(); y += 22)
        p.drawLine(0, y, size.width(), y);
    ResponseCurves(p, size.width(), 305, 26, 8, 4);
    p.fillRect(QRect(60, 184, 500, 3), pal::Accent);
    p.restore();
    p.setPen(QPen(QColor(0x5E, 0x6A, 0x78), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(panel);
}

void RegisterMainPictures() {
    ButtonSet("page", ButtonLook::Page, 74, 40);
    ButtonSet("link", ButtonLook::Strip, 70, 40);
    ButtonSet("bar", ButtonLook::Strip, 96, 28);
    ButtonSet("band", ButtonLook::Band, 22, 24);
    ButtonSet("toggle", ButtonLook::Toggle, 84, 24);
    ButtonSet("toggle", ButtonLook::Toggle, 72, 24);
    ButtonSet("toggle", ButtonLook::Toggle, 56, 28);

    Add("main/delay_30.png", {30, 30}, DelayIndicator, false);
    Add("main/delay_32.png", {32, 32}, DelayIndicator, false);
    Add("main/function_strip.png", {1115, 42}, StripBackground);
    Add("main/preset_bar.png", {1090, 48}, StripBackground);
    Add("main/menu_end.png", {78, 40}, MenuEnd);
    Add("main/LeftUpBase.png", {1082, 256}, FrameBase);
    Add("main/RightUpBase.png", {35, 256}, FrameBase);
    Add("main/LeftDownBase.png", {1082, 373}, FrameBase);
    Add("main/RightDownBase.png", {35, 373}, FrameBase);
    Add("main/splash.png", {620, 350}, SplashPanel, false);
}

const Registrar reg(RegisterMainPictures);

} // namespace
