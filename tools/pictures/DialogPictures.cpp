// Pictures of the small dialogs: their backgrounds, the information and warning marks and the blank
// button faces whose captions the buttons draw themselves (so that they follow the language).

#include "Common.h"

#include <QPainterPath>
#include <QRadialGradient>

namespace {

using namespace pictures;

// The bitmap buttons draw pixels of their transparent colour (olive) as see-through: the rounded
// corners of a face stay the dialog's own background.
const QColor kSeeThrough{0x80, 0x80, 0x00};

// A dialog background: the window colour with a soft light top and a darker band that carries the
// buttons, separated by an etched line.
void DialogBase(QPainter& p, QSize s, int bandTop) {
    const QRect all(QPoint(0, 0), s);
    VGradient(p, all, pal::Window.lighter(106), pal::Window);
    const QRect band(0, bandTop, s.width(), s.height() - bandTop);
    VGradient(p, band, Mix(pal::Window, pal::Page, 0.6), pal::Page);
    p.setPen(pal::Page.darker(118));
    p.drawLine(0, bandTop, s.width() - 1, bandTop);
    p.setPen(pal::Highlight);
    p.drawLine(0, bandTop + 1, s.width() - 1, bandTop + 1);
}

void BlankButton(QPainter& p, QSize s, ButtonState state) {
    const QRect r(QPoint(0, 0), s);
    p.fillRect(r, kSeeThrough);
    QColor face = pal::Face;
    bool pressed = false;
    switch (state) {
    case ButtonState::Hot:
        face = pal::FaceHot;
        break;
    case ButtonState::Down:
    case ButtonState::StayDown:
        face = pal::FaceDown;
        pressed = true;
        break;
    case ButtonState::Disabled:
        face = Mix(pal::Face, pal::Window, 0.55);
        break;
    case ButtonState::Up:
        break;
    }
    // Aliased corners, so that no blended olive pixel shows around the face.
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    QPainterPath path;
    path.addRoundedRect(QRectF(r).adjusted(0, 0, -1, -1), 4, 4);
    p.setClipPath(path);
    p.fillRect(r, face);
    p.restore();
    QLinearGradient g(0, 0, 0, s.height());
    g.setColorAt(0, pressed ? face.darker(120) : face.lighter(130));
    g.setColorAt(1, pressed ? face.lighter(108) : face.darker(112));
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setClipPath(path);
    p.fillRect(r, g);
    p.setPen(pal::Shadow);
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(pressed ? face.darker(140) : face.lighter(155));
    p.drawLine(3, 1, s.width() - 5, 1);
    p.restore();
}

void InformationMark(QPainter& p, QSize s) {
    p.setRenderHint(QPainter::Antialiasing, true);
    const double d = std::min(s.width(), s.height()) - 8.0;
    const QRectF disc((s.width() - d) / 2, (s.height() - d) / 2, d, d);
    QRadialGradient g(disc.center() - QPointF(d / 6, d / 6), d * 0.7);
    g.setColorAt(0, QColor(0x6F, 0xA8, 0xE0));
    g.setColorAt(1, QColor(0x1F, 0x5A, 0x9C));
    p.setPen(QPen(QColor(0x17, 0x40, 0x70), 1.5));
    p.setBrush(g);
    p.drawEllipse(disc);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::Text);
    const QPointF c = disc.center();
    p.drawEllipse(QPointF(c.x(), c.y() - d * 0.24), d * 0.07, d * 0.07);
    p.drawRoundedRect(QRectF(c.x() - d * 0.065, c.y() - d * 0.1, d * 0.13, d * 0.4), 2, 2);
}

void WarningMark(QPainter& p, QSize s) {
    p.setRenderHint(QPainter::Antialiasing, true);
    const double w = s.width() - 10.0, h = s.height() - 8.0;
    const QPointF top(s.width() / 2.0, 4), left(5, 4 + h), right(5 + w, 4 + h);
    QPainterPath tri;
    tri.moveTo(top);
    tri.lineTo(right);
    tri.lineTo(left);
    tri.closeSubpath();
    QLinearGradient g(top, QPointF(top.x(), left.y()));
    g.setColorAt(0, pal::Accent.lighter(120));
    g.setColorAt(1, pal::AccentDark);
    p.setPen(QPen(pal::AccentDark.darker(140), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPath(tri);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::TextDark);
    const double cx = s.width() / 2.0;
    p.drawRoundedRect(QRectF(cx - 3.5, 4 + h * 0.3, 7, h * 0.4), 2.5, 2.5);
    p.drawEllipse(QPointF(cx, 4 + h * 0.83), 4, 4);
}

// The about box: the dialog background with the program's mark, a stylised loudspeaker with its
// sound waves, on the left.
void AboutBase(QPainter& p, QSize s) {
    DialogBase(p, s, s.height());
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF tile(16, 18, 64, 64);
    QLinearGradient g(tile.topLeft(), tile.bottomLeft());
    g.setColorAt(0, pal::FaceHot);
    g.setColorAt(1, pal::FaceDown);
    p.setPen(QPen(pal::Shadow, 1));
    p.setBrush(g);
    p.drawRoundedRect(tile, 10, 10);
    // The driver: a box and a cone.
    QPainterPath cone;
    cone.moveTo(28, 42);
    cone.lineTo(36, 42);
    cone.lineTo(48, 32);
    cone.lineTo(48, 68);
    cone.lineTo(36, 58);
    cone.lineTo(28, 58);
    cone.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(pal::Text);
    p.drawPath(cone);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(i == 0 ? pal::Accent : pal::Text, 3, Qt::SolidLine, Qt::RoundCap));
        const double r = 8 + 7 * i;
        p.drawArc(QRectF(50 - r, 50 - r, 2 * r, 2 * r), -40 * 16, 80 * 16);
    }
}

void RegisterAll() {
    // Backgrounds, each at its window's client size; the band holds the buttons.
    Add("dlg/information_base.png", {265, 174}, [](QPainter& p, QSize s) { DialogBase(p, s, 128); });
    Add("dlg/factory_base.png", {361, 174}, [](QPainter& p, QSize s) { DialogBase(p, s, 128); });
    Add("dlg/exit_base.png", {300, 118}, [](QPainter& p, QSize s) { DialogBase(p, s, 64); });
    Add("dlg/peqrst_base.png", {320, 174}, [](QPainter& p, QSize s) { DialogBase(p, s, 128); });
    Add("dlg/network_base.png", {372, 148}, [](QPainter& p, QSize s) { DialogBase(p, s, 94); });
    Add("dlg/networksetup_base.png", {300, 210}, [](QPainter& p, QSize s) { DialogBase(p, s, 158); });
    Add("dlg/channelname_base.png", {240, 148}, [](QPainter& p, QSize s) { DialogBase(p, s, 96); });
    Add("dlg/chnamelist_base.png", {360, 224}, [](QPainter& p, QSize s) { DialogBase(p, s, 166); });
    Add("dlg/presetlist_base.png", {240, 372}, [](QPainter& p, QSize s) { DialogBase(p, s, 320); });
    Add("dlg/storename_base.png", {280, 124}, [](QPainter& p, QSize s) { DialogBase(p, s, 76); });
    Add("dlg/lock_base.png", {240, 148}, [](QPainter& p, QSize s) { DialogBase(p, s, 100); });
    Add("dlg/test_base.png", {282, 208}, [](QPainter& p, QSize s) { DialogBase(p, s, 162); });
    Add("dlg/linksel_base.png", {290, 350}, [](QPainter& p, QSize s) { DialogBase(p, s, 300); });
    Add("dlg/copy_base.png", {360, 188}, [](QPainter& p, QSize s) { DialogBase(p, s, 138); });
    Add("dlg/about_base.png", {536, 119}, AboutBase);
    Add("dlg/icon_information.png", {73, 65}, InformationMark, false);
    Add("dlg/icon_warning.png", {73, 65}, WarningMark, false);
    // Blank faces: the button draws its caption over them. Two widths, so that no face is stretched.
    for (int width : {80, 104})
        for (ButtonState state :
             {ButtonState::Up, ButtonState::Down, ButtonState::Hot, ButtonState::Disabled})
            Add("dlg/button" + std::to_string(width) + "_" + StateSuffix(state) + ".png", {width, 26},
                [state](QPainter& p, QSize s) { BlankButton(p, s, state); });
}

const Registrar reg(RegisterAll);

} // namespace
