#include "Common.h"

#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>

namespace pictures {

std::vector<Picture>& Registry() {
    static std::vector<Picture> all;
    return all;
}

void Add(std::string path, QSize size, DrawFn draw, bool opaque) {
    Registry().push_back(Picture{std::move(path), size, std::move(draw), opaque});
}

QColor Mix(const QColor& a, const QColor& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    auto m = [t](int x, int y) { return static_cast<int>(x + (y - x) * t + 0.5); };
    return QColor(m(a.red(), b.red()), m(a.green(), b.green()), m(a.blue(), b.blue()),
                  m(a.alpha(), b.alpha()));
}

void VGradient(QPainter& p, const QRect& r, const QColor& top, const QColor& bottom) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(r, g);
}

void Bevel(QPainter& p, const QRect& r, bool raised, int depth, const QColor& light, const QColor& dark) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    QRect q = r;
    for (int i = 0; i < depth; ++i) {
        const QColor tl = raised ? light : dark;
        const QColor br = raised ? dark : light;
        p.setPen(tl);
        p.drawLine(q.left(), q.top(), q.right() - 1, q.top());
        p.drawLine(q.left(), q.top(), q.left(), q.bottom() - 1);
        p.setPen(br);
        p.drawLine(q.left(), q.bottom(), q.right(), q.bottom());
        p.drawLine(q.right(), q.top(), q.right(), q.bottom());
        q.adjust(1, 1, -1, -1);
    }
    p.restore();
}

void ButtonFace(QPainter& p, const QRect& r, const QColor& face, bool pressed, int radius) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF rf = QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(rf.topLeft(), rf.bottomLeft());
    if (pressed) {
        g.setColorAt(0, face.darker(125));
        g.setColorAt(1, face.lighter(105));
    } else {
        g.setColorAt(0, face.lighter(125));
        g.setColorAt(1, face.darker(115));
    }
    p.setPen(QPen(pal::Shadow, 1));
    p.setBrush(g);
    p.drawRoundedRect(rf, radius, radius);
    // an inner highlight line gives the raised face its edge
    p.setPen(QPen(pressed ? face.darker(140) : face.lighter(150), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(rf.adjusted(1, 1, -1, -1), std::max(0, radius - 1), std::max(0, radius - 1));
    p.restore();
}

QFont PictureFont(int px, bool bold) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(px);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

void CentredText(QPainter& p, const QRect& r, const QString& text, const QColor& colour, int px, bool bold) {
    p.save();
    p.setFont(PictureFont(px, bold));
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter, text);
    p.restore();
}

const char* StateSuffix(ButtonState s) {
    switch (s) {
    case ButtonState::Up:
        return "Up";
    case ButtonState::Down:
        return "Down";
    case ButtonState::Hot:
        return "Hot";
    case ButtonState::StayDown:
        return "StayDown";
    case ButtonState::Disabled:
        return "Disabled";
    }
    return "Up";
}

void DrawButtonFace(QPainter& p, QSize size, ButtonLook look, ButtonState s) {
    const QRect r(QPoint(0, 0), size);
    p.fillRect(r, Transparent);
    const bool onAmber = look == ButtonLook::Toggle || look == ButtonLook::Band;
    QColor face = pal::Face;
    bool pressed = false;
    switch (s) {
    case ButtonState::Up:
        break;
    case ButtonState::Hot:
        face = pal::FaceHot;
        break;
    case ButtonState::Down:
        face = pal::FaceDown;
        pressed = true;
        break;
    case ButtonState::StayDown:
        face = onAmber ? pal::AccentDark : pal::FaceDown;
        pressed = true;
        break;
    case ButtonState::Disabled:
        face = Mix(pal::Face, pal::Strip, 0.6);
        break;
    }
    // Aliased edges: an antialiased rim would blend into the transparent colour and leave a fringe.
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, pressed ? face.darker(118) : face.lighter(128));
    g.setColorAt(0.5, face);
    g.setColorAt(1, pressed ? face.lighter(108) : face.darker(118));
    const int radius = size.height() >= 36 ? 4 : 3;
    QPainterPath path;
    path.addRoundedRect(QRectF(r.adjusted(0, 0, -1, -1)), radius, radius);
    p.setPen(QPen(pal::Shadow, 1));
    p.setBrush(g);
    p.drawPath(path);
    p.setPen(pressed ? face.darker(135) : face.lighter(150));
    p.drawLine(radius, 1, size.width() - 1 - radius, 1);
    if (s == ButtonState::StayDown && look == ButtonLook::Page) {
        p.fillRect(QRect(6, size.height() - 6, size.width() - 12, 3), pal::Accent);
    }
    p.restore();
}

} // namespace pictures
