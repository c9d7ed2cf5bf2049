#pragma once
// Image helpers shared by the GUI tests.

#include <QImage>
#include <QRect>

// The bounding box of pixels that differ from `background`.
inline QRect InkBounds(const QImage& img, QRgb background) {
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFFu) != (background & 0xFFFFFFu))
                r = r.united(QRect(x, y, 1, 1));
    return r;
}
