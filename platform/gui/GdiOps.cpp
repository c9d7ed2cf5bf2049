#include "platform/gui/GdiOps.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

namespace kv {

namespace {

QRgb Rgb(TColor c) {
    return 0xFF000000u | ToQRgb(c);
}

// The writable area: the destination image, cut to the clip when one is given.
QRect WriteArea(const QImage& dest, const TRect* clip) {
    QRect area = dest.rect();
    if (clip)
        area &= QRect(clip->Left, clip->Top, clip->Width(), clip->Height());
    return area;
}

// One ternary raster operation over the 24 colour bits.
std::uint32_t Rop3(std::uint8_t code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
    switch (code) {
    case 0xCC:
        return s;
    case 0xEE:
        return s | d;
    case 0x88:
        return s & d;
    case 0x66:
        return s ^ d;
    case 0xF0:
        return p;
    case 0x00:
        return 0;
    case 0xFF:
        return 0xFFFFFF;
    default:
        break;
    }
    std::uint32_t out = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!((code >> i) & 1u))
            continue;
        std::uint32_t term = ((i & 4u) ? p : ~p) & ((i & 2u) ? s : ~s) & ((i & 1u) ? d : ~d);
        out |= term;
    }
    return out & 0xFFFFFFu;
}

bool UsesSource(std::uint8_t code) {
    return ((code >> 2) & 0x33u) != (code & 0x33u);
}

} // namespace

QRgb TRopBrush::At(int x, int y) const {
    if (pattern && !pattern->isNull())
        return pattern->pixel(((x % pattern->width()) + pattern->width()) % pattern->width(),
                              ((y % pattern->height()) + pattern->height()) % pattern->height());
    return color;
}

void BitBlt(QImage& dest, int x, int y, int w, int h, const QImage* source, int sx, int sy, std::uint32_t rop,
            const TRopBrush& brush, const TRect* clip) {
    if (dest.isNull() || w <= 0 || h <= 0)
        return;
    auto code = static_cast<std::uint8_t>((rop >> 16) & 0xFFu);
    bool needSource = UsesSource(code);
    if (needSource && (!source || source->isNull()))
        return;
    QRect area = WriteArea(dest, clip) & QRect(x, y, w, h);
    if (needSource)
        area &= QRect(x - sx, y - sy, source->width(), source->height());
    if (area.isEmpty())
        return;
    if (dest.format() != QImage::Format_RGB32 && dest.format() != QImage::Format_ARGB32 &&
        dest.format() != QImage::Format_ARGB32_Premultiplied)
        dest = dest.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int py = area.top(); py <= area.bottom(); ++py) {
        auto* line = reinterpret_cast<QRgb*>(dest.scanLine(py));
        for (int px = area.left(); px <= area.right(); ++px) {
            std::uint32_t s = needSource ? source->pixel(px - x + sx, py - y + sy) & 0xFFFFFFu : 0;
            std::uint32_t p = brush.At(px, py) & 0xFFFFFFu;
            std::uint32_t d = line[px] & 0xFFFFFFu;
            line[px] = 0xFF000000u | Rop3(code, p, s, d);
        }
    }
}

QImage StretchImage(const QImage& source, const TRect& srcRect, int width, int height) {
    QImage out(std::abs(width), std::abs(height), QImage::Format_RGB32);
    if (out.isNull() || source.isNull())
        return out;
    int sw = srcRect.Width(), sh = srcRect.Height();
    for (int y = 0; y < out.height(); ++y) {
        int ty = height < 0 ? out.height() - 1 - y : y;
        int sy = srcRect.Top + static_cast<int>(static_cast<long long>(ty) * sh / out.height());
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            int tx = width < 0 ? out.width() - 1 - x : x;
            int sx = srcRect.Left + static_cast<int>(static_cast<long long>(tx) * sw / out.width());
            line[x] = source.valid(sx, sy) ? (0xFF000000u | source.pixel(sx, sy)) : 0xFF000000u;
        }
    }
    return out;
}

void StretchBlt(QImage& dest, const TRect& destRect, const QImage& source, const TRect& srcRect,
                std::uint32_t rop, const TRopBrush& brush, const TRect* clip) {
    int w = destRect.Width(), h = destRect.Height();
    if (w == 0 || h == 0 || srcRect.Width() == 0 || srcRect.Height() == 0)
        return;
    bool flipX = (w < 0) != (srcRect.Width() < 0);
    bool flipY = (h < 0) != (srcRect.Height() < 0);
    TRect src{std::min(srcRect.Left, srcRect.Right), std::min(srcRect.Top, srcRect.Bottom),
              std::max(srcRect.Left, srcRect.Right), std::max(srcRect.Top, srcRect.Bottom)};
    QImage scaled =
        StretchImage(source, src, flipX ? -std::abs(w) : std::abs(w), flipY ? -std::abs(h) : std::abs(h));
    BitBlt(dest, std::min(destRect.Left, destRect.Right), std::min(destRect.Top, destRect.Bottom),
           std::abs(w), std::abs(h), &scaled, 0, 0, rop, brush, clip);
}

QImage MonoMask(const QImage& source, TColor background) {
    QImage mask(source.width(), source.height(), QImage::Format_RGB32);
    QRgb key = ToQRgb(ColorToRGB(background)) & 0xFFFFFFu;
    for (int y = 0; y < source.height(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < source.width(); ++x)
            out[x] = (source.pixel(x, y) & 0xFFFFFFu) == key ? 0xFFFFFFFFu : 0xFF000000u;
    }
    return mask;
}

void TransparentBlt(QImage& dest, const TRect& destRect, const QImage& source, const TRect& srcRect,
                    TColor transparent, const TRect* clip) {
    int w = destRect.Width(), h = destRect.Height();
    if (w <= 0 || h <= 0 || dest.isNull())
        return;
    QImage scaled = StretchImage(source, srcRect, w, h);
    QRgb key = ToQRgb(ColorToRGB(transparent)) & 0xFFFFFFu;
    QRect area = WriteArea(dest, clip) & QRect(destRect.Left, destRect.Top, w, h);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(dest.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            QRgb s = scaled.pixel(x - destRect.Left, y - destRect.Top);
            if ((s & 0xFFFFFFu) != key)
                line[x] = 0xFF000000u | s;
        }
    }
}

void GradientFillRect(QImage& dest, const TRect& r, TColor start, TColor stop, bool vertical,
                      const TRect* clip) {
    int w = r.Width(), h = r.Height();
    if (w <= 0 || h <= 0 || dest.isNull())
        return;
    QRgb a = ToQRgb(ColorToRGB(start)), b = ToQRgb(ColorToRGB(stop));
    int n = vertical ? h : w;
    QRect area = WriteArea(dest, clip) & QRect(r.Left, r.Top, w, h);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(dest.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            int i = vertical ? y - r.Top : x - r.Left;
            // Colour at the start of the pixel's span, as the linear fill steps towards the far edge.
            auto mix = [&](int ca, int cb) { return ca + (cb - ca) * i / n; };
            line[x] = qRgb(mix(qRed(a), qRed(b)), mix(qGreen(a), qGreen(b)), mix(qBlue(a), qBlue(b)));
        }
    }
}

void FillPattern(QImage& dest, const TRect& r, const QImage& pattern, const TRect* clip) {
    TRopBrush brush;
    brush.pattern = &pattern;
    BitBlt(dest, r.Left, r.Top, r.Width(), r.Height(), nullptr, 0, 0, PATCOPY, brush, clip);
}

QImage ParentBackground(TControl* control) {
    TWinControl* parent = control ? control->Parent() : nullptr;
    if (!parent)
        return {};
    const int w = std::max(1, control->Width()), h = std::max(1, control->Height());
    const QRect area(control->Left(), control->Top(), w, h); // in the parent's coordinates
    QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
    out.fill(Rgb(parent->Color()));
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    if (parent->Transparent() && parent->Parent()) {
        QImage under = ParentBackground(parent);
        if (!under.isNull())
            p.drawImage(0, 0, under, area.left(), area.top(), w, h);
    }
    if (parent->IsSelfPainted()) {
        // The parent paints in its own coordinates over its whole client area; only our part is kept.
        QImage full(std::max(1, parent->ClientWidth()), std::max(1, parent->ClientHeight()),
                    QImage::Format_ARGB32_Premultiplied);
        full.fill(0u);
        {
            QPainter q(&full);
            q.setCompositionMode(QPainter::CompositionMode_Source);
            q.drawImage(area.topLeft(), out);
        }
        TCanvas canvas(&full);
        // Only our part is kept, so the parent's canvas drawing may stop at it.
        const TRect clip{area.left(), area.top(), area.right() + 1, area.bottom() + 1};
        canvas.SetClipRect(&clip);
        canvas.Font()->Assign(parent->Font());
        canvas.Brush()->SetColor(parent->Color());
        parent->Paint(canvas);
        canvas.SetTarget(nullptr);
        p.drawImage(0, 0, full, area.left(), area.top(), w, h);
    }
    // Windowless siblings are part of the parent's picture: all of them lie below a windowed control,
    // only those before it below a windowless one.
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const bool windowed = dynamic_cast<TWinControl*>(control) != nullptr;
    p.end();
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c == control) {
            if (!windowed)
                break;
            continue;
        }
        if (dynamic_cast<TWinControl*>(c) || !c->Visible() || !c->Widget())
            continue;
        QRect sibling(c->Left(), c->Top(), c->Width(), c->Height());
        QRect common = sibling & area;
        if (common.isEmpty())
            continue;
        c->Widget()->render(&out, common.topLeft() - area.topLeft(),
                            QRegion(common.translated(-sibling.topLeft())), QWidget::RenderFlags());
    }
    return out;
}

} // namespace kv
