#include "styled/StDragHint.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kv {

KV_REGISTER_CLASS(TTrackHintWindow, TCustomControl, b) {}

TTrackHintWindow::TTrackHintWindow(TComponent* owner) : TCustomControl(owner) {
    Widget()->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                             Qt::WindowDoesNotAcceptFocus);
    Widget()->setAttribute(Qt::WA_ShowWithoutActivating);
    Widget()->setFocusPolicy(Qt::NoFocus);
    SetColor(clInfoBk);
    FTransparent = false;
}

TRect TTrackHintWindow::CalcHintRect(int, const std::string&) const {
    TBitmap measure(1, 1);
    measure.Canvas()->Font()->Assign(Font());
    TSize ext = measure.Canvas()->TextExtent(Caption());
    return {0, 0, ext.cx, ext.cy};
}

void TTrackHintWindow::ActivateHint(const TRect& r, const std::string& hint) {
    QScreen* screen = QGuiApplication::screenAt(QPoint(r.Left, r.Top));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    TRect area{r.Left, r.Top, r.Left + 100000, r.Top + 100000};
    if (screen) {
        QRect g = screen->geometry();
        area = {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    }
    ActivateHintOnScreen(r, hint, area);
}

void TTrackHintWindow::ActivateHintOnScreen(const TRect& r, const std::string& hint, const TRect& screen) {
    SetCaption(hint);
    TRect ext = CalcHintRect(100, hint);
    FTextWidth = ext.Width();
    FTextHeight = ext.Height();
    int left = r.Left, top = r.Top;
    int width = FTextWidth + 16, height = FTextHeight + 4;
    if (left + width > screen.Right - 2)
        left = screen.Right - 2 - width;
    if (top + height > screen.Bottom - 2)
        top = screen.Bottom - 2 - height;
    SetBounds(left, top, width, height);
    // A top-level window is placed in screen coordinates.
    Widget()->setGeometry(left, top, width, height);
    SetVisible(true);
    Widget()->raise();
    Invalidate();
}

void TTrackHintWindow::ReleaseHandle() {
    SetVisible(false);
}

void TTrackHintWindow::Paint(TCanvas& canvas) {
    const TRect r = ClientRect();
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Brush()->SetColor(Color());
    canvas.FillRect(r);
    canvas.Pen()->SetColor(cl3DLight);
    canvas.Polyline({{r.Left, r.Bottom - 2}, {r.Left, r.Top}, {r.Right - 1, r.Top}});
    canvas.Pen()->SetColor(cl3DDkShadow);
    canvas.Polyline({{r.Left, r.Bottom - 1}, {r.Right - 1, r.Bottom - 1}, {r.Right - 1, r.Top - 1}});
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    canvas.Font()->Assign(Font());
    TRect text = r;
    canvas.DrawText(Caption(), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

} // namespace kv
