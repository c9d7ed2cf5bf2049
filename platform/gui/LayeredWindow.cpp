#include "platform/gui/LayeredWindow.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QScreen>
#include <QWidget>

namespace kv {

class TLayeredWindow::Widget_ : public QWidget {
public:
    explicit Widget_(TLayeredWindow* owner)
        : QWidget(nullptr, Qt::FramelessWindowHint | Qt::Tool | Qt::WindowDoesNotAcceptFocus |
                               Qt::WindowStaysOnTopHint),
          FOwner(owner) {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(rect(), Qt::transparent);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        FOwner->PaintTo(p);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && FOwner->OnClick)
            FOwner->OnClick();
    }

private:
    TLayeredWindow* FOwner;
};

TLayeredWindow::TLayeredWindow() : FWidget(std::make_unique<Widget_>(this)) {}

TLayeredWindow::~TLayeredWindow() {
    OnPaint = nullptr;
    OnClick = nullptr;
    FWidget->hide();
}

QWidget* TLayeredWindow::Widget() const {
    return FWidget.get();
}

void TLayeredWindow::SetStayOnTop(bool on) {
    if (on == FStayOnTop)
        return;
    FStayOnTop = on;
    const bool shown = FWidget->isVisible();
    FWidget->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (shown)
        FWidget->show();
}

void TLayeredWindow::SetBounds(int left, int top, int width, int height) {
    FWidget->setGeometry(left, top, std::max(1, width), std::max(1, height));
}

TRect TLayeredWindow::BoundsRect() const {
    const QRect g = FWidget->geometry();
    return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

int TLayeredWindow::Width() const {
    return FWidget->width();
}

int TLayeredWindow::Height() const {
    return FWidget->height();
}

void TLayeredWindow::CenterOnScreen() {
    QScreen* s = QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect sg = s->geometry();
    FWidget->move(sg.left() + (sg.width() - FWidget->width()) / 2,
                  sg.top() + (sg.height() - FWidget->height()) / 2);
}

void TLayeredWindow::SetRoundRegion(int radius, bool tl, bool tr, bool br, bool bl) {
    if (radius <= 0) {
        FWidget->clearMask();
        return;
    }
    const int w = FWidget->width(), h = FWidget->height(), d = 2 * radius;
    QRegion region(0, 0, w, h);
    // Cut each rounded corner's outside away: its square minus the ellipse inside it.
    auto cut = [&](int x, int y) {
        QRegion square(x, y, d / 2, d / 2);
        const int ex = x == 0 ? 0 : w - d, ey = y == 0 ? 0 : h - d;
        region -= square - QRegion(ex, ey, d, d, QRegion::Ellipse);
    };
    if (tl)
        cut(0, 0);
    if (tr)
        cut(w - d / 2, 0);
    if (br)
        cut(w - d / 2, h - d / 2);
    if (bl)
        cut(0, h - d / 2);
    FWidget->setMask(region);
}

void TLayeredWindow::SetLayered(bool on) {
    FLayered = on;
    FWidget->update();
}

void TLayeredWindow::UpdateLayered(const QImage& image, int opacity) {
    FImage = image;
    FOpacity = std::clamp(opacity, 0, 255);
    FWidget->update();
}

void TLayeredWindow::SetAlphaBlendValue(int value) {
    FAlpha = std::clamp(value, 0, 255);
    // The offscreen platform of the tests has no window opacity; Grab shows the value there.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        FWidget->setWindowOpacity(FAlpha / 255.0);
}

void TLayeredWindow::Show() {
    FWidget->show();
}

void TLayeredWindow::Hide() {
    FWidget->hide();
}

bool TLayeredWindow::Visible() const {
    return FWidget->isVisible();
}

void TLayeredWindow::RaiseTopmost() {
    if (FWidget->isVisible() && QGuiApplication::platformName() != QLatin1String("offscreen"))
        FWidget->raise();
}

void TLayeredWindow::Repaint() {
    if (FWidget->isVisible())
        FWidget->repaint();
}

void TLayeredWindow::PaintTo(QPainter& p) const {
    if (FLayered) {
        p.setOpacity(FOpacity / 255.0);
        p.drawImage(0, 0, FImage);
        p.setOpacity(1.0);
    } else if (OnPaint) {
        OnPaint(p);
    }
}

QImage TLayeredWindow::Grab(QRgb background) const {
    QImage img(FWidget->width(), FWidget->height(), QImage::Format_ARGB32_Premultiplied);
    img.fill(background);
    QPainter p(&img);
    if (!FLayered)
        p.setOpacity(FAlpha / 255.0);
    if (!FWidget->mask().isEmpty())
        p.setClipRegion(FWidget->mask());
    PaintTo(p);
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

} // namespace kv
