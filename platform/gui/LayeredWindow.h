#pragma once
// A frameless top-level window that never takes the focus. Layered, it shows an ARGB image with
// per-pixel alpha times a constant opacity (what the old layered windows' image update did); ordinary,
// it paints through a callback and fades as a whole with its window opacity.

#include "platform/gui/Graphics.h"

#include <QImage>

#include <functional>
#include <memory>

class QPainter;
class QWidget;

namespace kv {

class TLayeredWindow {
public:
    TLayeredWindow();
    ~TLayeredWindow();
    TLayeredWindow(const TLayeredWindow&) = delete;
    TLayeredWindow& operator=(const TLayeredWindow&) = delete;

    void SetStayOnTop(bool on);
    bool StayOnTop() const { return FStayOnTop; }
    void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const;
    int Width() const;
    int Height() const;
    // Centres the window on the primary screen.
    void CenterOnScreen();
    // Clips the window to a rounded rectangle with corner size 2 x radius at the chosen corners
    // (top-left, top-right, bottom-right, bottom-left); none when radius is 0.
    void SetRoundRegion(int radius, bool tl, bool tr, bool br, bool bl);

    // Layered mode: the image (ARGB) is presented with its alpha times `opacity` / 255.
    void SetLayered(bool on);
    bool Layered() const { return FLayered; }
    void UpdateLayered(const QImage& image, int opacity);
    // Ordinary mode: the whole window's alpha (0..255).
    void SetAlphaBlendValue(int value);
    int AlphaBlendValue() const { return FAlpha; }
    int Opacity() const { return FOpacity; }

    void Show();
    void Hide();
    bool Visible() const;
    // Puts the window at the top of the topmost band again.
    void RaiseTopmost();
    void Repaint();

    // What the screen shows of the window, composed over `background` (for tests and screenshots).
    QImage Grab(QRgb background = 0xFF000000) const;

    QWidget* Widget() const;
    // Ordinary windows paint here; the painter covers the window.
    std::function<void(QPainter& painter)> OnPaint;
    std::function<void()> OnClick;

private:
    class Widget_;
    friend class Widget_;
    void PaintTo(QPainter& p) const;
    std::unique_ptr<Widget_> FWidget;
    QImage FImage;
    bool FLayered = false;
    bool FStayOnTop = true;
    int FOpacity = 255;
    int FAlpha = 255;
};

} // namespace kv
