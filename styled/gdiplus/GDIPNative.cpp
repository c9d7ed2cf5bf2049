// The native side of the smoothed drawing layer: decoding, image attributes, brushes turned into what
// QPainter draws, and the path gradient, which QPainter lacks and is computed per pixel here.

#include "styled/gdiplus/GDIPNative.h"

#include "platform/gui/Graphics.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

namespace kv {

QFont GpFont::Font() const {
    QFont f;
    f.setFamilies({QString::fromStdString(family), QStringLiteral("WenQuanYi Micro Hei")});
    // The 96 DPI surfaces: a point size of px * 72 / 96 gives an em of px pixels.
    f.setPointSizeF(std::max<REAL>(0.5f, EmPixels()) * 72.0 / 96.0);
    f.setBold(style & FontStyleBold);
    f.setItalic(style & FontStyleItalic);
    f.setUnderline(style & FontStyleUnderline);
    f.setStrikeOut(style & FontStyleStrikeout);
    f.setKerning(false);
    return f;
}

REAL GpFont::EmPixels() const {
    switch (unit) {
    case UnitPoint:
        return emSize * 96.0f / 72.0f;
    case UnitInch:
        return emSize * 96.0f;
    case UnitDocument:
        return emSize * 96.0f / 300.0f;
    case UnitMillimeter:
        return emSize * 96.0f / 25.4f;
    default:
        return emSize;
    }
}

namespace {

PixelFormat BmpPixelFormat(const std::uint8_t* d, std::size_t n) {
    if (n < 30)
        return PixelFormat24bppRGB;
    switch (d[28] | (d[29] << 8)) {
    case 1:
        return PixelFormat1bppIndexed;
    case 4:
        return PixelFormat4bppIndexed;
    case 8:
        return PixelFormat8bppIndexed;
    case 16:
        return PixelFormat16bppRGB565;
    case 32:
        return PixelFormat32bppRGB;
    default:
        return PixelFormat24bppRGB;
    }
}

PixelFormat PngPixelFormat(const std::uint8_t* d, std::size_t n) {
    if (n < 26)
        return PixelFormat32bppARGB;
    switch (d[25]) {
    case 2:
        return PixelFormat24bppRGB;
    case 3:
        return d[24] == 1   ? PixelFormat1bppIndexed
               : d[24] == 4 ? PixelFormat4bppIndexed
                            : PixelFormat8bppIndexed;
    case 0:
        return PixelFormat24bppRGB;
    default:
        return PixelFormat32bppARGB;
    }
}

} // namespace

bool DecodeImageBytes(const std::uint8_t* data, std::size_t size, GpImage& out) {
    if (!data || size < 4)
        return false;
    try {
        QImage img;
        if (size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0) {
            img = DecodePng(data, size);
            out.format = ifPNG;
            out.pixelFormat = PngPixelFormat(data, size);
        } else if (data[0] == 0xFF && data[1] == 0xD8) {
            img = DecodeJpeg(data, size);
            out.format = ifJPEG;
            out.pixelFormat = PixelFormat24bppRGB;
        } else if (data[0] == 'B' && data[1] == 'M') {
            img.loadFromData(data, static_cast<int>(size), "BMP");
            out.format = ifBMP;
            out.pixelFormat = BmpPixelFormat(data, size);
        } else if (std::memcmp(data, "GIF", 3) == 0) {
            img.loadFromData(data, static_cast<int>(size), "GIF");
            out.format = ifGIF;
            out.pixelFormat = PixelFormat8bppIndexed;
        } else if ((data[0] == 'I' && data[1] == 'I' && data[2] == 42) ||
                   (data[0] == 'M' && data[1] == 'M' && data[3] == 42)) {
            img.loadFromData(data, static_cast<int>(size), "TIFF");
            out.format = ifTIFF;
            out.pixelFormat = PixelFormat24bppRGB;
        } else if (data[0] == 0 && data[1] == 0 && data[2] == 1 && data[3] == 0) {
            img.loadFromData(data, static_cast<int>(size), "ICO");
            out.format = ifIcon;
            out.pixelFormat = PixelFormat32bppARGB;
        }
        if (img.isNull())
            return false;
        out.image = img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        return true;
    } catch (const EKvError&) {
        return false;
    }
}

void AppendCardinal(QPainterPath& path, const std::vector<QPointF>& points, double tension) {
    const double t = tension * 0.3;
    const std::size_t n = points.size();
    if (n > 1)
        path.reserve(path.elementCount() + static_cast<int>(3 * (n - 1)));
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const QPointF before = points[i == 0 ? 0 : i - 1], after = points[std::min(n - 1, i + 2)];
        path.cubicTo(points[i] + t * (points[i + 1] - before), points[i + 1] - t * (after - points[i]),
                     points[i + 1]);
    }
}

namespace {

// The path's figures as polygons in device coordinates. A Bezier segment becomes pieces of about two
// pixels along its control polygon, or its chord when it lies wholly outside `keep`: the region
// between a segment and its chord lies within the segment's control points, so inside `keep` the
// chord sets the same pixels, filled alternately or outlined.
void FlattenPath(const QPainterPath& path, int from, const QTransform& world, const QRectF& keep,
                 std::vector<QPolygonF>& figures) {
    const bool identity = world.isIdentity();
    auto at = [&](int i) {
        const QPainterPath::Element e = path.elementAt(i);
        return identity ? QPointF(e.x, e.y) : world.map(QPointF(e.x, e.y));
    };
    const int count = path.elementCount();
    for (int i = from; i < count; ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.type == QPainterPath::MoveToElement || figures.empty())
            figures.emplace_back();
        QPolygonF& out = figures.back();
        if (e.type != QPainterPath::CurveToElement || out.isEmpty() || i + 2 >= count) {
            out << at(i);
            continue;
        }
        const QPointF p0 = out.last(), c1 = at(i), c2 = at(i + 1), p3 = at(i + 2);
        i += 2;
        const double xs[] = {p0.x(), c1.x(), c2.x(), p3.x()}, ys[] = {p0.y(), c1.y(), c2.y(), p3.y()};
        const auto [xMin, xMax] = std::minmax_element(std::begin(xs), std::end(xs));
        const auto [yMin, yMax] = std::minmax_element(std::begin(ys), std::end(ys));
        if (*xMax < keep.left() || *xMin > keep.right() || *yMax < keep.top() || *yMin > keep.bottom()) {
            out << p3;
            continue;
        }
        const double length = QLineF(p0, c1).length() + QLineF(c1, c2).length() + QLineF(c2, p3).length();
        const int steps = std::clamp(static_cast<int>(std::ceil(length / 2.0)), 1, 32);
        for (int k = 1; k <= steps; ++k) {
            const double u = static_cast<double>(k) / steps, v = 1.0 - u;
            out << v * v * v * p0 + 3 * v * v * u * c1 + 3 * v * u * u * c2 + u * u * u * p3;
        }
    }
}

// Whether `path` begins with the elements of `prefix`.
bool StartsWith(const QPainterPath& path, const QPainterPath& prefix) {
    if (path.elementCount() < prefix.elementCount())
        return false;
    for (int i = 0; i < prefix.elementCount(); ++i) {
        const QPainterPath::Element &x = path.elementAt(i), &y = prefix.elementAt(i);
        if (x.type != y.type || x.x != y.x || x.y != y.y)
            return false;
    }
    return true;
}

// The last path flattened (GUI thread only): a path outlined and then filled, or outlined and
// filled once more after lines are added to it, is flattened once.
const std::vector<QPolygonF>& Flatten(const QPainterPath& path, const QTransform& world, const QRectF& keep) {
    static QPainterPath lastPath;
    static QTransform lastWorld;
    static QRectF lastKeep;
    static std::vector<QPolygonF> last;
    int from = 0;
    if (lastWorld == world && lastKeep == keep && StartsWith(path, lastPath))
        from = lastPath.elementCount();
    else
        last.clear();
    FlattenPath(path, from, world, keep, last);
    lastPath = path;
    lastWorld = world;
    lastKeep = keep;
    return last;
}

// One scratch layer for every aliased call (GUI thread only). The painter's working buffers, which
// grow with the longest path drawn, then stay with this one image instead of with every target.
QImage& ScratchLayer(const QSize& size) {
    static QImage layer;
    if (layer.width() < size.width() || layer.height() < size.height())
        layer = QImage(size.expandedTo(layer.size()), QImage::Format_ARGB32_Premultiplied);
    return layer;
}

// What `draw` paints of `figures`, which reaches at most `margin` pixels beyond their points. A fill
// sets each pixel it covers once and is painted straight onto the target; an outline, which may
// pass over a pixel more than once, is rasterised on the scratch layer, where overlaps replace each
// other (source mode), and laid over the target in one blend.
template <class Draw>
void Lay(GpGraphics& g, const std::vector<QPolygonF>& figures, int margin, bool layered, const Draw& draw) {
    if (!g.target || figures.empty())
        return;
    QRectF bounds;
    for (const QPolygonF& f : figures)
        bounds |= f.boundingRect();
    const QRect area = bounds.toAlignedRect()
                           .adjusted(-margin, -margin, margin, margin)
                           .intersected(QRect(QPoint(0, 0), g.target->size()));
    if (area.isEmpty())
        return;
    if (g.canvas)
        g.canvas->EndPaint(); // one painter per image at a time
    auto prepare = [&](QPainter& p, const QPoint& origin) {
        p.translate(-origin.x(), -origin.y());
        p.setTransform(kAliasedOffset, true);
        if (g.hasClip)
            p.setClipPath(g.clip, Qt::IntersectClip);
    };
    if (!layered) {
        QPainter p(g.target);
        p.setClipRect(area);
        prepare(p, QPoint(0, 0));
        draw(p);
        return;
    }
    QImage& layer = ScratchLayer(area.size());
    {
        QPainter lp(&layer);
        lp.setCompositionMode(QPainter::CompositionMode_Source);
        lp.fillRect(QRect(QPoint(0, 0), area.size()), Qt::transparent);
        lp.setClipRect(QRect(QPoint(0, 0), area.size()));
        prepare(lp, area.topLeft());
        draw(lp);
    }
    QPainter p(g.target);
    p.drawImage(area.topLeft(), layer, QRect(QPoint(0, 0), area.size()));
}

QRectF Keep(const GpGraphics& g) {
    return QRectF(-4, -4, g.target->width() + 8, g.target->height() + 8);
}

} // namespace

void FillAliased(GpGraphics& g, const QPainterPath& area, ARGB colour) {
    if (!g.target)
        return;
    const std::vector<QPolygonF>& figures = Flatten(area, g.world, Keep(g));
    const Qt::FillRule rule = area.fillRule();
    Lay(g, figures, 1, false, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgba(colour));
        if (figures.size() == 1) {
            p.drawPolygon(figures.front(), rule);
            return;
        }
        QPainterPath all;
        all.setFillRule(rule);
        for (const QPolygonF& f : figures)
            all.addPolygon(f);
        p.drawPath(all);
    });
}

void StrokeAliased(GpGraphics& g, const QPainterPath& path, const GpPen& gpPen) {
    if (!g.target)
        return;
    const std::vector<QPolygonF>& figures = Flatten(path, g.world, Keep(g));
    const double scale = std::sqrt(std::abs(g.world.determinant()));
    const double w = gpPen.width * scale;
    QPen pen(QColor::fromRgba(gpPen.colour), w);
    if (w <= 1.0)
        pen.setCosmetic(true); // one pixel through the pixel centres it passes
    pen.setCapStyle(gpPen.endCap == LineCapRound    ? Qt::RoundCap
                    : gpPen.endCap == LineCapSquare ? Qt::SquareCap
                                                    : Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin); // reaches at most the width beyond a corner
    Lay(g, figures, std::max(3, static_cast<int>(std::ceil(w)) + 2), true, [&](QPainter& p) {
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        for (const QPolygonF& f : figures)
            p.drawPolyline(f);
    });
}

ARGB GpImageAttributes::Apply(ARGB c, ColorAdjustType type) const {
    const Adjust& a = adjust[static_cast<std::size_t>(type)];
    if (a.noOp)
        return c;
    for (const TColorMap& m : a.remap)
        if (m.oldColor == c) {
            c = m.newColor;
            break;
        }
    if (a.hasMatrix) {
        const REAL v[5] = {ARGBRed(c) / 255.0f, ARGBGreen(c) / 255.0f, ARGBBlue(c) / 255.0f,
                           ARGBAlpha(c) / 255.0f, 1.0f};
        int o[4];
        for (int j = 0; j < 4; ++j) {
            REAL s = 0;
            for (int i = 0; i < 5; ++i)
                s += v[i] * a.matrix.m[i][j];
            o[j] = std::clamp(static_cast<int>(std::lround(s * 255.0f)), 0, 255);
        }
        c = MakeARGB(o[3], o[0], o[1], o[2]);
    }
    if (a.hasGamma && a.gamma > 0) {
        auto g = [&](int x) { return static_cast<int>(std::lround(255.0 * std::pow(x / 255.0, a.gamma))); };
        c = MakeARGB(ARGBAlpha(c), g(ARGBRed(c)), g(ARGBGreen(c)), g(ARGBBlue(c)));
    }
    if (a.hasThreshold) {
        auto t = [&](int x) { return x / 255.0f > a.threshold ? 255 : 0; };
        c = MakeARGB(ARGBAlpha(c), t(ARGBRed(c)), t(ARGBGreen(c)), t(ARGBBlue(c)));
    }
    if (a.hasChannel && a.channel != ColorChannelFlagsLast) {
        // The ink amount of one process colour, shown as grey: dark where that ink would be.
        int r = ARGBRed(c), g = ARGBGreen(c), b = ARGBBlue(c);
        int k = 255 - std::max({r, g, b});
        int ink = a.channel == ColorChannelFlagsC   ? 255 - r
                  : a.channel == ColorChannelFlagsM ? 255 - g
                  : a.channel == ColorChannelFlagsY ? 255 - b
                                                    : k;
        int v = 255 - ink;
        c = MakeARGB(ARGBAlpha(c), v, v, v);
    }
    if (a.hasKey) {
        auto in = [](int x, int lo, int hi) { return x >= lo && x <= hi; };
        if (in(ARGBRed(c), ARGBRed(a.keyLow), ARGBRed(a.keyHigh)) &&
            in(ARGBGreen(c), ARGBGreen(a.keyLow), ARGBGreen(a.keyHigh)) &&
            in(ARGBBlue(c), ARGBBlue(a.keyLow), ARGBBlue(a.keyHigh)))
            c = 0;
    }
    return c;
}

QImage GpImageAttributes::Apply(const QImage& image, ColorAdjustType type) const {
    // Bitmap settings apply to images when any exist, else the default ones.
    ColorAdjustType t = adjust[ColorAdjustTypeBitmap].Any() ? ColorAdjustTypeBitmap : ColorAdjustTypeDefault;
    if (type != ColorAdjustTypeBitmap && type != ColorAdjustTypeDefault)
        t = type;
    if (!adjust[static_cast<std::size_t>(t)].Any())
        return image;
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            line[x] = Apply(line[x], t);
    }
    return out;
}

} // namespace kv
