// The wrappers of the smoothed drawing layer. Each operation does one native step and keeps its status
// by the layer's rules: a missing handle is InvalidParameter, a failing status sticks in lastResult.

#include "styled/gdiplus/GDIPlus.h"

#include "styled/gdiplus/GDIPNative.h"
#include "styled/gdiplus/Streams.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kv {

std::vector<std::string> EnumIdents(HatchStyle) {
    return {"HatchStyleHorizontal",
            "HatchStyleVertical",
            "HatchStyleForwardDiagonal",
            "HatchStyleBackwardDiagonal",
            "HatchStyleCross",
            "HatchStyleDiagonalCross",
            "HatchStyle05Percent",
            "HatchStyle10Percent",
            "HatchStyle20Percent",
            "HatchStyle25Percent",
            "HatchStyle30Percent",
            "HatchStyle40Percent",
            "HatchStyle50Percent",
            "HatchStyle60Percent",
            "HatchStyle70Percent",
            "HatchStyle75Percent",
            "HatchStyle80Percent",
            "HatchStyle90Percent",
            "HatchStyleLightDownwardDiagonal",
            "HatchStyleLightUpwardDiagonal",
            "HatchStyleDarkDownwardDiagonal",
            "HatchStyleDarkUpwardDiagonal",
            "HatchStyleWideDownwardDiagonal",
            "HatchStyleWideUpwardDiagonal",
            "HatchStyleLightVertical",
            "HatchStyleLightHorizontal",
            "HatchStyleNarrowVertical",
            "HatchStyleNarrowHorizontal",
            "HatchStyleDarkVertical",
            "HatchStyleDarkHorizontal",
            "HatchStyleDashedDownwardDiagonal",
            "HatchStyleDashedUpwardDiagonal",
            "HatchStyleDashedHorizontal",
            "HatchStyleDashedVertical",
            "HatchStyleSmallConfetti",
            "HatchStyleLargeConfetti",
            "HatchStyleZigZag",
            "HatchStyleWave",
            "HatchStyleDiagonalBrick",
            "HatchStyleHorizontalBrick",
            "HatchStyleWeave",
            "HatchStylePlaid",
            "HatchStyleDivot",
            "HatchStyleDottedGrid",
            "HatchStyleDottedDiamond",
            "HatchStyleShingle",
            "HatchStyleTrellis",
            "HatchStyleSphere",
            "HatchStyleSmallGrid",
            "HatchStyleSmallCheckerBoard",
            "HatchStyleLargeCheckerBoard",
            "HatchStyleOutlinedDiamond",
            "HatchStyleSolidDiamond",
            "HatchStyleTotal"};
}
std::vector<std::string> EnumIdents(DashStyle) {
    return {"DashStyleSolid",   "DashStyleDash",       "DashStyleDot",
            "DashStyleDashDot", "DashStyleDashDotDot", "DashStyleCustom"};
}
std::vector<std::string> EnumIdents(TStGradientType) {
    return {"gtSolid",
            "gtRadial",
            "gtVertical",
            "gtHorizontal",
            "gtForwardDiagonal",
            "gtBackwardDiagonal",
            "gtAngle",
            "gtHatch",
            "gtPath",
            "gtTexture",
            "gtNone"};
}

// ---------------------------------------------------------------------------------------------------
// Colours

ARGB MakeARGB(int a, int r, int g, int b) {
    return (static_cast<ARGB>(a & 0xFF) << 24) | (static_cast<ARGB>(r & 0xFF) << 16) |
           (static_cast<ARGB>(g & 0xFF) << 8) | static_cast<ARGB>(b & 0xFF);
}
ARGB ColorToOpaqueARGB(TColor color) {
    const auto c = static_cast<ARGB>(ColorToRGB(color));
    return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
ARGB ColorToARGB(int alpha, TColor color) {
    const auto c = static_cast<ARGB>(ColorToRGB(color));
    return MakeARGB(alpha, static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                    static_cast<int>((c >> 16) & 0xFF));
}
ARGB RGBToARGB(int r, int g, int b) {
    return MakeARGB(255, r, g, b);
}

namespace {

QColor Q(ARGB c) {
    return QColor::fromRgba(c);
}

ARGB Lerp(ARGB a, ARGB b, double t, bool gamma) {
    auto ch = [&](int x, int y) {
        if (!gamma)
            return static_cast<int>(std::lround(x + (y - x) * t));
        const double lx = std::pow(x / 255.0, 2.2), ly = std::pow(y / 255.0, 2.2);
        return static_cast<int>(std::lround(255.0 * std::pow(lx + (ly - lx) * t, 1 / 2.2)));
    };
    const int al = static_cast<int>(std::lround(ARGBAlpha(a) + (ARGBAlpha(b) - ARGBAlpha(a)) * t));
    return MakeARGB(al, ch(ARGBRed(a), ARGBRed(b)), ch(ARGBGreen(a), ARGBGreen(b)),
                    ch(ARGBBlue(a), ARGBBlue(b)));
}

// The colour stops of a two-colour or preset gradient; gamma-corrected blends get intermediate stops.
QGradientStops Stops(const GpBrush& b) {
    std::vector<std::pair<REAL, ARGB>> keys = b.preset;
    if (keys.empty())
        keys = {{0.0f, b.c1}, {1.0f, b.c2}};
    QGradientStops stops;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        stops.push_back({std::clamp<double>(keys[i].first, 0, 1), Q(keys[i].second)});
        if (b.gamma && i + 1 < keys.size())
            for (int k = 1; k < 16; ++k) {
                const double t = k / 16.0;
                stops.push_back(
                    {std::clamp<double>(keys[i].first + (keys[i + 1].first - keys[i].first) * t, 0, 1),
                     Q(Lerp(keys[i].second, keys[i + 1].second, t, true))});
            }
    }
    std::stable_sort(stops.begin(), stops.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    return stops;
}

// 8 x 8 hatch patterns, one byte per row (bit 7 leftmost); styles without a table get 50 %.
std::array<std::uint8_t, 8> HatchBits(HatchStyle s) {
    switch (s) {
    case HatchStyleHorizontal:
        return {0xFF, 0, 0, 0, 0, 0, 0, 0};
    case HatchStyleVertical:
        return {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80};
    case HatchStyleForwardDiagonal:
        return {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
    case HatchStyleBackwardDiagonal:
        return {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
    case HatchStyleCross:
        return {0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80};
    case HatchStyleDiagonalCross:
        return {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81};
    case HatchStyle05Percent:
        return {0x80, 0, 0, 0, 0x08, 0, 0, 0};
    case HatchStyle10Percent:
        return {0x80, 0, 0x08, 0, 0x80, 0, 0x08, 0};
    case HatchStyle20Percent:
        return {0x88, 0, 0x22, 0, 0x88, 0, 0x22, 0};
    case HatchStyle25Percent:
        return {0x88, 0x22, 0x88, 0x22, 0x88, 0x22, 0x88, 0x22};
    case HatchStyle30Percent:
        return {0xAA, 0x44, 0xAA, 0x11, 0xAA, 0x44, 0xAA, 0x11};
    case HatchStyle40Percent:
        return {0xAA, 0x55, 0xAA, 0x51, 0xAA, 0x55, 0xAA, 0x15};
    case HatchStyle60Percent:
        return {0xEE, 0x55, 0xBB, 0x55, 0xEE, 0x55, 0xBB, 0x55};
    case HatchStyle70Percent:
        return {0x77, 0xFF, 0xDD, 0xFF, 0x77, 0xFF, 0xDD, 0xFF};
    case HatchStyle75Percent:
        return {0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD};
    case HatchStyle80Percent:
        return {0xF7, 0xFF, 0x7F, 0xFF, 0xF7, 0xFF, 0x7F, 0xFF};
    case HatchStyle90Percent:
        return {0xFF, 0xF7, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF};
    case HatchStyleLightHorizontal:
    case HatchStyleNarrowHorizontal:
        return {0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0};
    case HatchStyleLightVertical:
    case HatchStyleNarrowVertical:
        return {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
    case HatchStyleDarkHorizontal:
        return {0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0};
    case HatchStyleDarkVertical:
        return {0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC};
    case HatchStyleSmallGrid:
        return {0xFF, 0x88, 0x88, 0x88, 0xFF, 0x88, 0x88, 0x88};
    case HatchStyleSmallCheckerBoard:
        return {0x99, 0x66, 0x66, 0x99, 0x99, 0x66, 0x66, 0x99};
    case HatchStyleLargeCheckerBoard:
        return {0xF0, 0xF0, 0xF0, 0xF0, 0x0F, 0x0F, 0x0F, 0x0F};
    default:
        return {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    }
}

// The fraction 0 (outline) .. 1 (centre) of a point inside a path gradient's boundary, or -1 outside.
double PathFraction(const std::vector<QPolygonF>& polys, QPointF c, QPointF p, int* edge) {
    const QPointF d = p - c;
    if (std::abs(d.x()) < 1e-9 && std::abs(d.y()) < 1e-9)
        return 1.0;
    double best = -1;
    int bestEdge = 0, index = 0;
    for (const QPolygonF& poly : polys)
        for (int i = 0; i + 1 < poly.size(); ++i, ++index) {
            const QPointF a = poly[i], e = poly[i + 1] - poly[i];
            const double den = d.x() * e.y() - d.y() * e.x();
            if (std::abs(den) < 1e-12)
                continue;
            const QPointF ac = a - c;
            const double u = (ac.x() * e.y() - ac.y() * e.x()) / den; // along the ray
            const double v = (ac.x() * d.y() - ac.y() * d.x()) / den; // along the edge
            if (u > 1e-9 && v >= -1e-9 && v <= 1 + 1e-9 && (best < 0 || u < best)) {
                best = u;
                bestEdge = index;
            }
        }
    if (best < 0 || best < 1.0 - 1e-9)
        return -1;
    if (edge)
        *edge = bestEdge;
    return 1.0 - 1.0 / best;
}

ARGB PresetAt(const std::vector<std::pair<REAL, ARGB>>& preset, double t) {
    if (t <= preset.front().first)
        return preset.front().second;
    for (std::size_t i = 1; i < preset.size(); ++i)
        if (t <= preset[i].first) {
            const double span = preset[i].first - preset[i - 1].first;
            return Lerp(preset[i - 1].second, preset[i].second,
                        span > 0 ? (t - preset[i - 1].first) / span : 1, false);
        }
    return preset.back().second;
}

// The path gradient computed for every device pixel of `area` (world coordinates) and filled there.
void FillPathGradient(QPainter& p, const GpGraphics& g, const GpBrush& b, const QPainterPath& area) {
    const QTransform toDevice = g.world;
    const QRectF devBounds = toDevice.map(area).boundingRect().intersected(
        QRectF(-1, -1, g.target->width() + 2, g.target->height() + 2));
    if (devBounds.isEmpty())
        return;
    const QRect box = devBounds.toAlignedRect().adjusted(-1, -1, 1, 1);
    QImage img(box.size(), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    const QTransform toWorld = toDevice.inverted();
    const auto polys = b.boundary.toSubpathPolygons();
    std::vector<QPolygonF> closed;
    for (QPolygonF poly : polys) {
        if (!poly.isEmpty() && poly.first() != poly.last())
            poly << poly.first();
        closed.push_back(poly);
    }
    const bool perPoint = b.surround.size() > 1 && !closed.empty() &&
                          static_cast<int>(b.surround.size()) == closed.front().size() - 1;
    for (int y = 0; y < box.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < box.width(); ++x) {
            const QPointF w = toWorld.map(QPointF(box.x() + x, box.y() + y));
            int edge = 0;
            const double f = PathFraction(closed, b.centre, w, &edge);
            if (f < 0)
                continue;
            ARGB outer = b.surround.empty() ? b.centreColour : b.surround.front();
            if (perPoint) {
                const QPolygonF& poly = closed.front();
                const int n = static_cast<int>(b.surround.size());
                const int i = edge % n;
                const QPointF a = poly[i], e = poly[i + 1] - poly[i];
                const QPointF d = w - b.centre;
                const double den = d.x() * e.y() - d.y() * e.x();
                double v = 0;
                if (std::abs(den) > 1e-12) {
                    const QPointF ac = a - b.centre;
                    v = std::clamp((ac.x() * d.y() - ac.y() * d.x()) / den, 0.0, 1.0);
                }
                outer = Lerp(b.surround[static_cast<std::size_t>(i)],
                             b.surround[static_cast<std::size_t>((i + 1) % n)], v, false);
            }
            const ARGB c = b.preset.empty() ? Lerp(outer, b.centreColour, f, b.gamma) : PresetAt(b.preset, f);
            line[x] = c;
        }
    }
    QBrush brush(img);
    // Pattern pixel (0,0) lands on device pixel box.topLeft().
    brush.setTransform(QTransform::fromTranslate(box.x(), box.y()) * p.transform().inverted());
    p.fillPath(area.intersected(b.boundary), brush);
}

QBrush ToQBrush(const GpBrush& b, const QTransform& painterTransform) {
    switch (b.type) {
    case BrushTypeSolidColor:
        return QBrush(Q(b.colour));
    case BrushTypeHatchFill: {
        QImage img(8, 8, QImage::Format_ARGB32);
        const auto bits = HatchBits(b.hatch);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                img.setPixel(x, y, (bits[static_cast<std::size_t>(y)] >> (7 - x)) & 1 ? b.fore : b.back);
        QBrush brush(img);
        // Hatches are aligned to the device's pixel grid.
        brush.setTransform(painterTransform.inverted());
        return brush;
    }
    case BrushTypeTextureFill: {
        QBrush brush(b.texture);
        brush.setTransform(b.transform * QTransform::fromTranslate(-0.5, -0.5));
        return brush;
    }
    case BrushTypeLinearGradient: {
        // A hair of slack at both ends, so that pixels exactly on the end lines take the end colours
        // instead of wrapping into the next repetition.
        const QPointF slack = (b.p2 - b.p1) * 1e-4;
        QLinearGradient lg(b.p1 - slack, b.p2 + slack);
        lg.setStops(Stops(b));
        lg.setSpread(b.wrap == WrapModeClamp  ? QGradient::PadSpread
                     : b.wrap == WrapModeTile ? QGradient::RepeatSpread
                                              : QGradient::ReflectSpread);
        QBrush brush(lg);
        brush.setTransform(b.transform);
        return brush;
    }
    default:
        return QBrush(Qt::NoBrush);
    }
}

QPen ToQPen(const GpPen& pen, const QTransform& painterTransform, bool antialiased) {
    QPen q;
    if (pen.brush)
        q.setBrush(ToQBrush(*pen.brush, painterTransform));
    else
        q.setColor(Q(pen.colour));
    q.setWidthF(std::max<REAL>(pen.width, 1.0f));
    // Thin aliased lines are one pixel wide and include both end points.
    if (!antialiased && pen.width <= 1.0f) {
        q.setWidthF(0);
        q.setCapStyle(Qt::SquareCap); // a cosmetic line's square cap is its last pixel
    }
    q.setJoinStyle(Qt::MiterJoin);
    q.setCapStyle(pen.endCap == LineCapRound    ? Qt::RoundCap
                  : pen.endCap == LineCapSquare ? Qt::SquareCap
                                                : Qt::FlatCap);
    switch (pen.dash) {
    case DashStyleDash:
        q.setDashPattern({3, 1});
        break;
    case DashStyleDot:
        q.setDashPattern({1, 1});
        break;
    case DashStyleDashDot:
        q.setDashPattern({3, 1, 1, 1});
        break;
    case DashStyleDashDotDot:
        q.setDashPattern({3, 1, 1, 1, 1, 1});
        break;
    default:
        break;
    }
    return q;
}

QImage* EndCanvasPaint(GpGraphics& g) {
    if (g.canvas)
        g.canvas->EndPaint();
    return g.target;
}

// A painter on the graphics' surface with its transform, clip and smoothing.
class Painter {
public:
    explicit Painter(GpGraphics& g) : FPainter(EndCanvasPaint(g)) {
        FPainter.setRenderHint(QPainter::Antialiasing, g.Antialiased());
        FPainter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        FPainter.setRenderHint(QPainter::TextAntialiasing,
                               g.textHint != TextRenderingHintSingleBitPerPixel &&
                                   g.textHint != TextRenderingHintSingleBitPerPixelGridFit);
        if (g.hasClip) {
            FPainter.setTransform(kAliasedOffset);
            FPainter.setClipPath(g.clip);
        }
        FPainter.setTransform(g.world * (g.Antialiased() ? kPixelOffset : kAliasedOffset));
    }
    QPainter* operator->() { return &FPainter; }
    QPainter& operator*() { return FPainter; }

private:
    QPainter FPainter;
};

std::u16string Utf16(const std::string& text, int length) {
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (length >= 0 && length < s.size())
        s.truncate(length);
    return s.toStdU16String();
}

QString QText(const std::string& text, int length) {
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (length >= 0 && length < s.size())
        s.truncate(length);
    return s;
}

// Where the layer lays text out: the layout rectangle minus the generic format's 1/6 em margins.
struct TextBox {
    QRectF rect;
    int flags = 0;
    QString text;
};

TextBox LayoutText(const QString& raw, const GpFont& font, const QRectF& layout, const GpStringFormat* fmt) {
    TextBox t;
    t.text = raw;
    const double pad = font.EmPixels() / 6.0;
    const bool sized = layout.width() > 0;
    const bool sizedV = layout.height() > 0;
    t.rect = QRectF(layout.x() + pad, layout.y(), sized ? std::max(0.0, layout.width() - 2 * pad) : 100000.0,
                    sizedV ? layout.height() : 100000.0);
    StringAlignment a = fmt ? fmt->align : StringAlignmentNear,
                    la = fmt ? fmt->lineAlign : StringAlignmentNear;
    if (!sized && a != StringAlignmentNear)
        t.rect.moveLeft(layout.x() + pad - (a == StringAlignmentCenter ? 50000.0 : 100000.0));
    if (!sizedV && la != StringAlignmentNear)
        t.rect.moveTop(layout.y() - (la == StringAlignmentCenter ? 50000.0 : 100000.0));
    t.flags |= a == StringAlignmentCenter ? Qt::AlignHCenter
               : a == StringAlignmentFar  ? Qt::AlignRight
                                          : Qt::AlignLeft;
    t.flags |= la == StringAlignmentCenter ? Qt::AlignVCenter
               : la == StringAlignmentFar  ? Qt::AlignBottom
                                           : Qt::AlignTop;
    const int flags = fmt ? fmt->flags : 0;
    if (sized && !(flags & StringFormatFlagsNoWrap))
        t.flags |= Qt::TextWordWrap;
    if (fmt && fmt->hotkey == HotkeyPrefixShow)
        t.flags |= Qt::TextShowMnemonic;
    else if (fmt && fmt->hotkey == HotkeyPrefixHide)
        t.text.remove(QLatin1Char('&'));
    if (fmt && sized &&
        (fmt->trimming == StringTrimmingEllipsisCharacter || fmt->trimming == StringTrimmingEllipsisWord ||
         fmt->trimming == StringTrimmingEllipsisPath)) {
        QFontMetricsF fm(font.Font());
        t.text = fm.elidedText(t.text,
                               fmt->trimming == StringTrimmingEllipsisPath ? Qt::ElideMiddle : Qt::ElideRight,
                               t.rect.width());
    }
    return t;
}

int PathPointsOfArc(REAL sweep) {
    const int quarters = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / 90.0f - 1e-4f)));
    return 1 + 3 * quarters;
}

QRectF QR(const TGPRectF& r) {
    return QRectF(r.X, r.Y, r.Width, r.Height);
}
QRectF QR(const TGPRect& r) {
    return QRectF(r.X, r.Y, r.Width, r.Height);
}

GpBrush* CloneBrush(const GpBrush* b) {
    return b ? new GpBrush(*b) : nullptr;
}

void AddCardinal(GpPath& p, const std::vector<QPointF>& pts, REAL tension) {
    if (pts.size() < 2)
        return;
    if (p.figureOpen)
        p.path.lineTo(pts[0]);
    else
        p.path.moveTo(pts[0]);
    AppendCardinal(p.path, pts, tension);
    p.pointCount += static_cast<int>(3 * (pts.size() - 1) + 1);
    p.points.insert(p.points.end(), pts.begin(), pts.end());
    p.figureOpen = true;
}

void LineTo(GpPath& p, QPointF a, QPointF b) {
    if (p.figureOpen) {
        if (p.path.currentPosition() != a) {
            p.path.lineTo(a);
            ++p.pointCount;
            p.points.push_back(a);
        }
    } else {
        p.path.moveTo(a);
        ++p.pointCount;
        p.points.push_back(a);
    }
    p.path.lineTo(b);
    ++p.pointCount;
    p.points.push_back(b);
    p.figureOpen = true;
}

template <class P> std::vector<QPointF> ToQ(const P* pts, int count) {
    std::vector<QPointF> out;
    for (int i = 0; i < count; ++i)
        out.emplace_back(pts[i].X, pts[i].Y);
    return out;
}

Status Combine(QPainterPath& target, bool& hasTarget, const QPainterPath& with, CombineMode mode,
               const QRectF& universe) {
    if (!hasTarget) {
        // No clip yet: the whole surface.
        target = QPainterPath();
        target.addRect(universe);
        hasTarget = true;
    }
    switch (mode) {
    case CombineModeReplace:
        target = with;
        break;
    case CombineModeIntersect:
        target = target.intersected(with);
        break;
    case CombineModeUnion:
        target = target.united(with);
        break;
    case CombineModeXor:
        target = target.united(with).subtracted(target.intersected(with));
        break;
    case CombineModeExclude:
        target = target.subtracted(with);
        break;
    case CombineModeComplement:
        target = with.subtracted(target);
        break;
    }
    return Ok;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// TGPMatrix

TGPMatrix::TGPMatrix() : nativeMatrix(new GpMatrix) {}
TGPMatrix::TGPMatrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy)
    : nativeMatrix(new GpMatrix{QTransform(m11, m12, m21, m22, dx, dy)}) {}
TGPMatrix::TGPMatrix(const TGPRectF& rect, const TGPPointF* p) {
    if (!p || rect.Width == 0 || rect.Height == 0) {
        lastResult = InvalidParameter;
        return;
    }
    // Unit square to the parallelogram, after the rectangle to the unit square.
    QTransform toUnit = QTransform::fromTranslate(-rect.X, -rect.Y) *
                        QTransform::fromScale(1.0 / rect.Width, 1.0 / rect.Height);
    QTransform fromUnit(p[1].X - p[0].X, p[1].Y - p[0].Y, p[2].X - p[0].X, p[2].Y - p[0].Y, p[0].X, p[0].Y);
    nativeMatrix = new GpMatrix{toUnit * fromUnit};
}
TGPMatrix::TGPMatrix(const TGPRect& rect, const TGPPoint* p) {
    if (!p || rect.Width == 0 || rect.Height == 0) {
        lastResult = InvalidParameter;
        return;
    }
    const TGPRectF r{static_cast<REAL>(rect.X), static_cast<REAL>(rect.Y), static_cast<REAL>(rect.Width),
                     static_cast<REAL>(rect.Height)};
    const TGPPointF pf[3] = {{static_cast<REAL>(p[0].X), static_cast<REAL>(p[0].Y)},
                             {static_cast<REAL>(p[1].X), static_cast<REAL>(p[1].Y)},
                             {static_cast<REAL>(p[2].X), static_cast<REAL>(p[2].Y)}};
    TGPMatrix m(r, pf);
    nativeMatrix = m.nativeMatrix;
    m.nativeMatrix = nullptr;
}
TGPMatrix::TGPMatrix(GpMatrix* native) : nativeMatrix(native) {}
TGPMatrix::~TGPMatrix() {
    delete nativeMatrix;
}
Status TGPMatrix::SetStatus(Status s) {
    if (s != Ok)
        lastResult = s;
    return s;
}
TGPMatrix* TGPMatrix::Clone() {
    if (!nativeMatrix) {
        SetStatus(InvalidParameter);
        return nullptr;
    }
    return new TGPMatrix(new GpMatrix(*nativeMatrix));
}
Status TGPMatrix::GetElements(REAL* m) const {
    if (!nativeMatrix || !m)
        return InvalidParameter;
    const QTransform& t = nativeMatrix->m;
    m[0] = static_cast<REAL>(t.m11());
    m[1] = static_cast<REAL>(t.m12());
    m[2] = static_cast<REAL>(t.m21());
    m[3] = static_cast<REAL>(t.m22());
    m[4] = static_cast<REAL>(t.dx());
    m[5] = static_cast<REAL>(t.dy());
    return Ok;
}
Status TGPMatrix::SetElements(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy) {
    if (!nativeMatrix)
        return SetStatus(InvalidParameter);
    nativeMatrix->m = QTransform(m11, m12, m21, m22, dx, dy);
    return Ok;
}
REAL TGPMatrix::OffsetX() {
    REAL e[6];
    return GetElements(e) == Ok ? e[4] : 0;
}
REAL TGPMatrix::OffsetY() {
    REAL e[6];
    return GetElements(e) == Ok ? e[5] : 0;
}
Status TGPMatrix::Reset() {
    return SetStatus(SetElements(1, 0, 0, 1, 0, 0));
}
namespace {
Status Apply(GpMatrix* m, const QTransform& op, MatrixOrder order) {
    if (!m)
        return InvalidParameter;
    m->m = order == MatrixOrderPrepend ? op * m->m : m->m * op;
    return Ok;
}
} // namespace
Status TGPMatrix::Multiply(const TGPMatrix* matrix, MatrixOrder order) {
    if (!matrix || !matrix->nativeMatrix)
        return SetStatus(InvalidParameter);
    return SetStatus(Apply(nativeMatrix, matrix->nativeMatrix->m, order));
}
Status TGPMatrix::Translate(REAL x, REAL y, MatrixOrder order) {
    return SetStatus(Apply(nativeMatrix, QTransform::fromTranslate(x, y), order));
}
Status TGPMatrix::Scale(REAL x, REAL y, MatrixOrder order) {
    return SetStatus(Apply(nativeMatrix, QTransform::fromScale(x, y), order));
}
Status TGPMatrix::Rotate(REAL angle, MatrixOrder order) {
    return SetStatus(Apply(nativeMatrix, QTransform().rotate(angle), order));
}
Status TGPMatrix::RotateAt(REAL angle, const TGPPointF& c, MatrixOrder order) {
    if (order == MatrixOrderAppend) {
        Translate(-c.X, -c.Y, order);
        Rotate(angle, order);
        return Translate(c.X, c.Y, order);
    }
    Translate(c.X, c.Y, order);
    Rotate(angle, order);
    return Translate(-c.X, -c.Y, order);
}
Status TGPMatrix::Shear(REAL x, REAL y, MatrixOrder order) {
    return SetStatus(Apply(nativeMatrix, QTransform(1, y, x, 1, 0, 0), order));
}
Status TGPMatrix::Invert() {
    if (!nativeMatrix)
        return SetStatus(InvalidParameter);
    bool ok = false;
    QTransform inv = nativeMatrix->m.inverted(&ok);
    if (!ok)
        return SetStatus(InvalidParameter);
    nativeMatrix->m = inv;
    return Ok;
}
Status TGPMatrix::TransformPoints(TGPPointF* pts, int count) {
    if (!nativeMatrix || !pts || count <= 0)
        return SetStatus(InvalidParameter);
    for (int i = 0; i < count; ++i) {
        const QPointF q = nativeMatrix->m.map(QPointF(pts[i].X, pts[i].Y));
        pts[i] = {static_cast<REAL>(q.x()), static_cast<REAL>(q.y())};
    }
    return Ok;
}
Status TGPMatrix::TransformPoints(TGPPoint* pts, int count) {
    if (!nativeMatrix || !pts || count <= 0)
        return SetStatus(InvalidParameter);
    for (int i = 0; i < count; ++i) {
        const QPointF q = nativeMatrix->m.map(QPointF(pts[i].X, pts[i].Y));
        pts[i] = {static_cast<std::int32_t>(std::lround(q.x())),
                  static_cast<std::int32_t>(std::lround(q.y()))};
    }
    return Ok;
}
Status TGPMatrix::TransformVectors(TGPPointF* pts, int count) {
    if (!nativeMatrix || !pts || count <= 0)
        return SetStatus(InvalidParameter);
    const QTransform& t = nativeMatrix->m;
    for (int i = 0; i < count; ++i) {
        const double x = pts[i].X, y = pts[i].Y;
        pts[i] = {static_cast<REAL>(t.m11() * x + t.m21() * y), static_cast<REAL>(t.m12() * x + t.m22() * y)};
    }
    return Ok;
}
Status TGPMatrix::TransformVectors(TGPPoint* pts, int count) {
    if (!nativeMatrix || !pts || count <= 0)
        return SetStatus(InvalidParameter);
    const QTransform& t = nativeMatrix->m;
    for (int i = 0; i < count; ++i) {
        const double x = pts[i].X, y = pts[i].Y;
        pts[i] = {static_cast<std::int32_t>(std::lround(t.m11() * x + t.m21() * y)),
                  static_cast<std::int32_t>(std::lround(t.m12() * x + t.m22() * y))};
    }
    return Ok;
}
bool TGPMatrix::IsInvertible() {
    if (!nativeMatrix) {
        SetStatus(InvalidParameter);
        return false;
    }
    return nativeMatrix->m.isInvertible();
}
bool TGPMatrix::IsIdentity() {
    if (!nativeMatrix) {
        SetStatus(InvalidParameter);
        return false;
    }
    return nativeMatrix->m.isIdentity();
}
Status TGPMatrix::GetLastStatus() {
    const Status s = lastResult;
    lastResult = Ok;
    return s;
}

// ---------------------------------------------------------------------------------------------------
// Font families, fonts and string formats

namespace {
GpFontFamily* FindFamily(const std::string& name, Status& status) {
    const std::string wanted = SubstituteFontFamily(name);
    const QStringList families = QFontDatabase::families();
    for (const QString& f : families)
        if (f.compare(QString::fromStdString(wanted), Qt::CaseInsensitive) == 0) {
            status = Ok;
            return new GpFontFamily{f.toStdString()};
        }
    status = FontFamilyNotFound;
    return nullptr;
}
} // namespace

TGPFontFamily::TGPFontFamily() = default;
TGPFontFamily::TGPFontFamily(const std::string& name, const TGPFontCollection*) {
    nativeFamily = FindFamily(name, lastResult);
}
TGPFontFamily::TGPFontFamily(GpFontFamily* native, Status status)
    : nativeFamily(native), lastResult(status) {}
TGPFontFamily::~TGPFontFamily() {
    delete nativeFamily;
}
const TGPFontFamily* TGPFontFamily::GenericSansSerif() {
    static const TGPFontFamily* f = new TGPFontFamily("Tahoma");
    return f;
}
const TGPFontFamily* TGPFontFamily::GenericSerif() {
    static const TGPFontFamily* f = new TGPFontFamily("Times New Roman");
    return f;
}
const TGPFontFamily* TGPFontFamily::GenericMonospace() {
    static const TGPFontFamily* f = [] {
        auto* m = new TGPFontFamily("DejaVu Sans Mono");
        if (!m->nativeFamily) {
            delete m;
            m = new TGPFontFamily("Liberation Mono");
        }
        return m;
    }();
    return f;
}
std::string TGPFontFamily::GetFamilyName() const {
    return nativeFamily ? nativeFamily->name : std::string();
}

TGPFont::TGPFont(const TGPFontFamily* family, REAL emSize, std::int32_t style, Unit_ unit) {
    if (!family || !family->nativeFamily || emSize <= 0) {
        lastResult = InvalidParameter;
        return;
    }
    nativeFont = new GpFont{family->nativeFamily->name, emSize, style, unit};
}
TGPFont::TGPFont(const std::string& familyName, REAL emSize, std::int32_t style, Unit_ unit,
                 const TGPFontCollection* collection) {
    TGPFontFamily family(familyName, collection);
    TGPFont f(&family, emSize, style, unit);
    if (f.lastResult != Ok) {
        TGPFont g(TGPFontFamily::GenericSansSerif(), emSize, style, unit);
        nativeFont = g.nativeFont;
        g.nativeFont = nullptr;
        lastResult = g.lastResult;
        return;
    }
    nativeFont = f.nativeFont;
    f.nativeFont = nullptr;
}
TGPFont::TGPFont(GpFont* native, Status status) : nativeFont(native), lastResult(status) {}
TGPFont::~TGPFont() {
    delete nativeFont;
}
Status TGPFont::SetStatus(Status s) {
    if (s != Ok)
        lastResult = s;
    return s;
}
REAL TGPFont::GetSize() const {
    return nativeFont ? nativeFont->emSize : 0;
}
std::int32_t TGPFont::GetStyle() const {
    return nativeFont ? nativeFont->style : 0;
}
Unit_ TGPFont::GetUnit() const {
    return nativeFont ? nativeFont->unit : UnitWorld;
}

TGPStringFormat::TGPStringFormat(std::int32_t formatFlags, std::uint16_t) : nativeFormat(new GpStringFormat) {
    nativeFormat->flags = formatFlags;
}
TGPStringFormat::TGPStringFormat(const TGPStringFormat* format) {
    if (!format || !format->nativeFormat) {
        lastError = InvalidParameter;
        return;
    }
    nativeFormat = new GpStringFormat(*format->nativeFormat);
}
TGPStringFormat::TGPStringFormat(GpStringFormat* native, Status status)
    : nativeFormat(native), lastError(status) {}
TGPStringFormat::~TGPStringFormat() {
    delete nativeFormat;
}
Status TGPStringFormat::SetStatus(Status s) {
    if (s != Ok)
        lastError = s;
    return s;
}
#define KV_FORMAT_FIELD(Setter, Getter, Type, field)                                                         \
    Status TGPStringFormat::Setter(Type v) {                                                                 \
        if (!nativeFormat)                                                                                   \
            return SetStatus(InvalidParameter);                                                              \
        nativeFormat->field = v;                                                                             \
        return Ok;                                                                                           \
    }                                                                                                        \
    Type TGPStringFormat::Getter() {                                                                         \
        if (!nativeFormat) {                                                                                 \
            SetStatus(InvalidParameter);                                                                     \
            return Type{};                                                                                   \
        }                                                                                                    \
        return nativeFormat->field;                                                                          \
    }
KV_FORMAT_FIELD(SetAlignment, GetAlignment, StringAlignment, align)
KV_FORMAT_FIELD(SetLineAlignment, GetLineAlignment, StringAlignment, lineAlign)
KV_FORMAT_FIELD(SetTrimming, GetTrimming, StringTrimming, trimming)
KV_FORMAT_FIELD(SetFormatFlags, GetFormatFlags, std::int32_t, flags)
KV_FORMAT_FIELD(SetHotkeyPrefix, GetHotkeyPrefix, HotkeyPrefix, hotkey)
#undef KV_FORMAT_FIELD
Status TGPStringFormat::GetLastStatus() {
    const Status s = lastError;
    lastError = Ok;
    return s;
}

// ---------------------------------------------------------------------------------------------------
// Images

TGPImage::TGPImage(const std::string& fileName, bool) {
    TMemoryStream s;
    try {
        s.LoadFromFile(fileName);
    } catch (const EKvError&) {
        lastResult = FileNotFound;
        return;
    }
    auto* img = new GpImage;
    if (!DecodeImageBytes(s.Memory(), s.Size(), *img)) {
        delete img;
        lastResult = OutOfMemory; // what the platform reports for bytes it cannot decode
        return;
    }
    nativeImage = img;
}
TGPImage::TGPImage(TStream* stream, bool) {
    if (!stream) {
        lastResult = InvalidParameter;
        return;
    }
    std::vector<std::uint8_t> bytes(stream->Size());
    stream->SetPosition(0);
    bytes.resize(stream->Read(bytes.data(), bytes.size()));
    auto* img = new GpImage;
    if (!DecodeImageBytes(bytes.data(), bytes.size(), *img)) {
        delete img;
        lastResult = OutOfMemory;
        return;
    }
    nativeImage = img;
}
TGPImage::TGPImage(const std::uint8_t* data, std::size_t size) {
    auto* img = new GpImage;
    if (!DecodeImageBytes(data, size, *img)) {
        delete img;
        lastResult = OutOfMemory;
        return;
    }
    nativeImage = img;
}
TGPImage::TGPImage(GpImage* native, Status status) : nativeImage(native), lastResult(status) {}
TGPImage::~TGPImage() {
    delete nativeImage;
}
Status TGPImage::SetStatus(Status s) {
    if (s != Ok)
        lastResult = s;
    return s;
}
TGPImageFormat TGPImage::GetFormat() {
    if (!nativeImage) {
        SetStatus(InvalidParameter);
        return ifUndefined;
    }
    return nativeImage->format;
}
std::uint32_t TGPImage::GetWidth() {
    if (!nativeImage) {
        SetStatus(InvalidParameter);
        return 0;
    }
    return static_cast<std::uint32_t>(nativeImage->image.width());
}
std::uint32_t TGPImage::GetHeight() {
    if (!nativeImage) {
        SetStatus(InvalidParameter);
        return 0;
    }
    return static_cast<std::uint32_t>(nativeImage->image.height());
}
PixelFormat TGPImage::GetPixelFormat() {
    if (!nativeImage) {
        SetStatus(InvalidParameter);
        return PixelFormatUndefined;
    }
    return nativeImage->pixelFormat;
}
int TGPImage::GetPixelDepth() {
    return (GetPixelFormat() >> 8) & 0xFF;
}
bool TGPImage::HasAlphaChannel() {
    return (GetPixelFormat() & 0x40000) != 0;
}
bool TGPImage::HasPalette() {
    return (GetPixelFormat() & 0x10000) != 0;
}
TGPImage* TGPImage::GetThumbnailImage(std::uint32_t w, std::uint32_t h) {
    if (!nativeImage || w == 0 || h == 0)
        return new TGPImage(nullptr, SetStatus(InvalidParameter));
    auto* img = new GpImage(*nativeImage);
    img->image = nativeImage->image.scaled(static_cast<int>(w), static_cast<int>(h), Qt::IgnoreAspectRatio,
                                           Qt::SmoothTransformation);
    img->format = ifMemoryBMP;
    return new TGPImage(img, Ok);
}
Status TGPImage::RotateFlip(RotateFlipType t) {
    if (!nativeImage)
        return SetStatus(InvalidParameter);
    QImage& img = nativeImage->image;
    const int rot = static_cast<int>(t) & 3;
    if (rot)
        img = img.transformed(QTransform().rotate(90.0 * rot));
    if (static_cast<int>(t) & 4)
        img = img.mirrored(true, false);
    return Ok;
}
Status TGPImage::Save(TStream* stream, TGPImageFormat format) {
    if (!nativeImage || !stream)
        return SetStatus(InvalidParameter);
    std::vector<std::uint8_t> bytes;
    try {
        if (format == ifPNG) {
            bytes = EncodePng(nativeImage->image);
        } else if (format == ifJPEG) {
            bytes = EncodeJpeg(nativeImage->image, 90);
        } else if (format == ifBMP || format == ifMemoryBMP) {
            TBitmap bmp;
            bmp.FromImage(nativeImage->image);
            bytes = bmp.SaveToBytes();
        } else {
            return SetStatus(UnknownImageFormat);
        }
    } catch (const EKvError&) {
        return SetStatus(Win32Error);
    }
    stream->Write(bytes.data(), bytes.size());
    return Ok;
}
Status TGPImage::Save(const std::string& fileName, TGPImageFormat format) {
    TMemoryStream s;
    const Status st = Save(&s, format);
    if (st != Ok)
        return st;
    try {
        s.SaveToFile(fileName);
    } catch (const EKvError&) {
        return SetStatus(Win32Error);
    }
    return Ok;
}
Status TGPImage::SaveAdd(TGPImage* newImage) {
    if (!newImage)
        return SetStatus(InvalidParameter);
    // Multi-frame files are not written by this layer.
    return SetStatus(NotImplemented);
}
Status TGPImage::GetLastStatus() {
    const Status s = lastResult;
    lastResult = Ok;
    return s;
}

TGPBitmap::TGPBitmap(TStream* stream, bool useEmbeddedColorManagement)
    : TGPImage(stream, useEmbeddedColorManagement) {}
TGPBitmap::TGPBitmap(const std::uint8_t* data, std::size_t size) : TGPImage(data, size) {}
TGPBitmap::TGPBitmap(std::int32_t width, std::int32_t height, PixelFormat format) {
    if (width <= 0 || height <= 0) {
        lastResult = InvalidParameter;
        return;
    }
    nativeImage = new GpImage;
    nativeImage->image = QImage(width, height, QImage::Format_ARGB32);
    nativeImage->image.fill(0);
    nativeImage->format = ifMemoryBMP;
    nativeImage->pixelFormat = format;
}
TGPBitmap::TGPBitmap(GpImage* native) : TGPImage(native, Ok) {}
TGPBitmap* TGPBitmap::FromStream(TStream* stream, bool useEmbeddedColorManagement) {
    return new TGPBitmap(stream, useEmbeddedColorManagement);
}
Status TGPBitmap::GetPixel(std::int32_t x, std::int32_t y, ARGB& color) {
    color = 0;
    if (!nativeImage || x < 0 || y < 0 || x >= nativeImage->image.width() || y >= nativeImage->image.height())
        return SetStatus(InvalidParameter);
    color = nativeImage->image.pixel(x, y);
    return Ok;
}
Status TGPBitmap::SetPixel(std::int32_t x, std::int32_t y, ARGB color) {
    if (!nativeImage || x < 0 || y < 0 || x >= nativeImage->image.width() || y >= nativeImage->image.height())
        return SetStatus(InvalidParameter);
    if (nativeImage->image.format() != QImage::Format_ARGB32)
        nativeImage->image = nativeImage->image.convertToFormat(QImage::Format_ARGB32);
    nativeImage->image.setPixel(x, y, color);
    return Ok;
}
Status TGPBitmap::GetHBITMAP(ARGB colorBackground, QImage& out) {
    if (!nativeImage)
        return SetStatus(InvalidParameter);
    out = QImage(nativeImage->image.size(), QImage::Format_RGB32);
    out.fill(Q(colorBackground | 0xFF000000u));
    QPainter p(&out);
    p.drawImage(0, 0, nativeImage->image);
    return Ok;
}

// ---------------------------------------------------------------------------------------------------
// Image attributes

TGPImageAttributes::TGPImageAttributes() : nativeImageAttr(new GpImageAttributes) {}
TGPImageAttributes::TGPImageAttributes(GpImageAttributes* native, Status status)
    : nativeImageAttr(native), lastResult(status) {}
TGPImageAttributes::~TGPImageAttributes() {
    delete nativeImageAttr;
}
Status TGPImageAttributes::SetStatus(Status s) {
    if (s != Ok)
        lastResult = s;
    return s;
}
TGPImageAttributes* TGPImageAttributes::Clone() {
    if (!nativeImageAttr)
        return new TGPImageAttributes(nullptr, SetStatus(InvalidParameter));
    return new TGPImageAttributes(new GpImageAttributes(*nativeImageAttr), Ok);
}
namespace {
template <class F> Status Adjust(GpImageAttributes* a, ColorAdjustType type, F f) {
    if (!a || type < ColorAdjustTypeDefault || type >= ColorAdjustTypeCount)
        return InvalidParameter;
    f(a->adjust[static_cast<std::size_t>(type)]);
    return Ok;
}
using A = GpImageAttributes::Adjust;
} // namespace
Status TGPImageAttributes::SetToIdentity(ColorAdjustType type) {
    return SetStatus(Adjust(nativeImageAttr, type, [](A& a) { a.hasMatrix = false; }));
}
Status TGPImageAttributes::Reset(ColorAdjustType type) {
    return SetStatus(Adjust(nativeImageAttr, type, [](A& a) { a = A(); }));
}
Status TGPImageAttributes::SetColorMatrix(const TColorMatrix& m, ColorMatrixFlags, ColorAdjustType type) {
    return SetStatus(Adjust(nativeImageAttr, type, [&](A& a) {
        a.hasMatrix = true;
        a.matrix = m;
    }));
}
Status TGPImageAttributes::ClearColorMatrix(ColorAdjustType type) {
    return SetStatus(Adjust(nativeImageAttr, type, [](A& a) { a.hasMatrix = false; }));
}
Status TGPImageAttributes::SetColorMatrices(const TColorMatrix& m, const TColorMatrix&, ColorMatrixFlags mode,
                                            ColorAdjustType type) {
    return SetColorMatrix(m, mode, type);
}
Status TGPImageAttributes::ClearColorMatrices(ColorAdjustType type) {
    return ClearColorMatrix(type);
}
Status TGPImageAttributes::SetThreshold(REAL threshold, ColorAdjustType type) {
    return SetStatus(Adjust(nativeImageAttr, type, [&](A& a) {
        a.hasThreshold = true;
        a.threshold = threshold;
    }));
}
Status TGPImageAttributes::ClearThreshold(ColorAdjustType type) {
    return SetStatus(Adjust(nativeImageAttr, type, [](A& a) { a.hasThreshold = false; }));
}
Status TGPImageAttributes::SetGamma(REAL gamma, ColorAdjustType type) {
    if (gamma <= 0)
        return SetStatus(InvalidParameter);
    return SetStatus(Adjust(nativeImageAttr, type, [&](A& a) {
        a.hasGamma = true;
        a.gamma = gamma;
    }));
}
Status TGPImageAttributes::ClearGamma(ColorAdjustType type) {
    return SetStatus(Adjust(nativeImageAttr, type, [](A& a) { a.hasGamma = false; }));
}
Status TGPImageAttributes::SetNoOp(ColorAdjustType type) {
    return SetStatus(Adjust(nativeImageAttr, type, [](A& a) { a.noOp = true; }));
}
Status TGPImageAttributes::ClearNoOp(ColorAdjustType type) {
    return SetStatus(Adjust(nativeImageAttr, type, [](A& a) { a.noOp = false; }));
}
Status TGPImageAttributes::SetColorKey(ARGB low, ARGB high, ColorAdjustType type) {
    return SetStatus(Adjust(nativeImageAttr, type, [&](A& a) {
        a.hasKey = true;
        a.keyLow = low;
        a.keyHigh = high;
    }));
}
Status TGPImageAttributes::ClearColorKey(ColorAdjustType type) {
    return SetStatus(Adjust(nativeImageAttr, type, [](A& a) { a.hasKey = false; }));
}
Status TGPImageAttributes::SetOutputChannel(ColorChannelFlags flags, ColorAdjustType type) {
    return SetStatus(Adjust(nativeImageAttr, type, [&](A& a) {
        a.hasChannel = true;
        a.channel = flags;
    }));
}
Status TGPImageAttributes::ClearOutputChannel(ColorAdjustType type) {
    return SetStatus(Adjust(nativeImageAttr, type, [](A& a) {
        a.hasChannel = false;
        a.channel = ColorChannelFlagsLast;
    }));
}
Status TGPImageAttributes::SetOutputChannelColorProfile(const std::string& file, ColorAdjustType type) {
    return SetStatus(Adjust(nativeImageAttr, type, [&](A& a) { a.profile = file; }));
}
Status TGPImageAttributes::ClearOutputChannelColorProfile(ColorAdjustType type) {
    return SetStatus(Adjust(nativeImageAttr, type, [](A& a) { a.profile.clear(); }));
}
Status TGPImageAttributes::SetRemapTable(std::uint32_t mapSize, const TColorMap* map, ColorAdjustType type) {
    if (!map && mapSize > 0)
        return SetStatus(InvalidParameter);
    return SetStatus(Adjust(nativeImageAttr, type, [&](A& a) { a.remap.assign(map, map + mapSize); }));
}
Status TGPImageAttributes::ClearRemapTable(ColorAdjustType type) {
    return SetStatus(Adjust(nativeImageAttr, type, [](A& a) { a.remap.clear(); }));
}
Status TGPImageAttributes::SetBrushRemapTable(std::uint32_t mapSize, const TColorMap* map) {
    return SetRemapTable(mapSize, map, ColorAdjustTypeBrush);
}
Status TGPImageAttributes::ClearBrushRemapTable() {
    return ClearRemapTable(ColorAdjustTypeBrush);
}
Status TGPImageAttributes::SetWrapMode(WrapMode wrap, ARGB color, bool) {
    if (!nativeImageAttr)
        return SetStatus(InvalidParameter);
    nativeImageAttr->wrap = wrap;
    nativeImageAttr->wrapColour = color;
    return Ok;
}
Status TGPImageAttributes::GetAdjustedPalette(ARGB* palette, int count, ColorAdjustType type) {
    if (!nativeImageAttr || !palette || count <= 0 || type < ColorAdjustTypeDefault ||
        type >= ColorAdjustTypeCount)
        return SetStatus(InvalidParameter);
    for (int i = 0; i < count; ++i)
        palette[i] = nativeImageAttr->Apply(palette[i], type);
    return Ok;
}
Status TGPImageAttributes::GetLastStatus() {
    const Status s = lastResult;
    lastResult = Ok;
    return s;
}

// ---------------------------------------------------------------------------------------------------
// Brushes

TGPBrush::TGPBrush() : lastResult(NotImplemented) {}
TGPBrush::TGPBrush(GpBrush* native, Status status) : nativeBrush(native), lastResult(status) {}
TGPBrush::~TGPBrush() {
    delete nativeBrush;
}
Status TGPBrush::SetStatus(Status s) {
    if (s != Ok)
        lastResult = s;
    return s;
}
BrushType TGPBrush::GetType() {
    if (!nativeBrush) {
        SetStatus(InvalidParameter);
        return static_cast<BrushType>(-1);
    }
    return nativeBrush->type;
}
Status TGPBrush::GetLastStatus() {
    const Status s = lastResult;
    lastResult = Ok;
    return s;
}

TGPSolidBrush::TGPSolidBrush(ARGB color) : TGPBrush(new GpBrush, Ok) {
    nativeBrush->type = BrushTypeSolidColor;
    nativeBrush->colour = color;
}
Status TGPSolidBrush::GetColor(ARGB& color) {
    color = 0;
    if (!nativeBrush)
        return SetStatus(InvalidParameter);
    color = nativeBrush->colour;
    return Ok;
}
Status TGPSolidBrush::SetColor(ARGB color) {
    if (!nativeBrush)
        return SetStatus(InvalidParameter);
    nativeBrush->colour = color;
    return Ok;
}

TGPHatchBrush::TGPHatchBrush(HatchStyle hatchStyle, ARGB foreColor, ARGB backColor) {
    if (hatchStyle < HatchStyleHorizontal || hatchStyle >= HatchStyleTotal) {
        lastResult = InvalidParameter;
        return;
    }
    nativeBrush = new GpBrush;
    nativeBrush->type = BrushTypeHatchFill;
    nativeBrush->hatch = hatchStyle;
    nativeBrush->fore = foreColor;
    nativeBrush->back = backColor;
}
HatchStyle TGPHatchBrush::GetHatchStyle() {
    if (!nativeBrush) {
        SetStatus(InvalidParameter);
        return HatchStyleHorizontal;
    }
    return nativeBrush->hatch;
}
Status TGPHatchBrush::GetForegroundColor(ARGB& color) {
    color = 0;
    if (!nativeBrush)
        return SetStatus(InvalidParameter);
    color = nativeBrush->fore;
    return Ok;
}
Status TGPHatchBrush::GetBackgroundColor(ARGB& color) {
    color = 0;
    if (!nativeBrush)
        return SetStatus(InvalidParameter);
    color = nativeBrush->back;
    return Ok;
}

namespace {
GpBrush* NewTexture(TGPImage* image, WrapMode wrap, const QRectF* dst, const TGPImageAttributes* attrs) {
    if (!image || !image->nativeImage)
        return nullptr;
    auto* b = new GpBrush;
    b->type = BrushTypeTextureFill;
    b->wrap = wrap;
    QImage img = image->nativeImage->image;
    if (dst && !dst->isEmpty())
        img = img.copy(dst->toRect());
    if (attrs && attrs->nativeImageAttr)
        img = attrs->nativeImageAttr->Apply(img, ColorAdjustTypeBitmap);
    if (wrap == WrapModeTileFlipX || wrap == WrapModeTileFlipY || wrap == WrapModeTileFlipXY) {
        const bool fx = wrap != WrapModeTileFlipY, fy = wrap != WrapModeTileFlipX;
        QImage big(img.width() * (fx ? 2 : 1), img.height() * (fy ? 2 : 1), QImage::Format_ARGB32);
        big.fill(0);
        QPainter p(&big);
        p.drawImage(0, 0, img);
        if (fx)
            p.drawImage(img.width(), 0, img.mirrored(true, false));
        if (fy)
            p.drawImage(0, img.height(), img.mirrored(false, true));
        if (fx && fy)
            p.drawImage(img.width(), img.height(), img.mirrored(true, true));
        img = big;
    }
    b->texture = img;
    return b;
}
} // namespace

TGPTextureBrush::TGPTextureBrush(TGPImage* image, WrapMode wrapMode) {
    nativeBrush = NewTexture(image, wrapMode, nullptr, nullptr);
    lastResult = nativeBrush ? Ok : InvalidParameter;
}
TGPTextureBrush::TGPTextureBrush(TGPImage* image, WrapMode wrapMode, const TGPRectF& dstRect) {
    const QRectF r = QR(dstRect);
    nativeBrush = NewTexture(image, wrapMode, &r, nullptr);
    lastResult = nativeBrush ? Ok : InvalidParameter;
}
TGPTextureBrush::TGPTextureBrush(TGPImage* image, const TGPRectF& dstRect, TGPImageAttributes* attrs) {
    const QRectF r = QR(dstRect);
    nativeBrush = NewTexture(image, WrapModeTile, &r, attrs);
    lastResult = nativeBrush ? Ok : InvalidParameter;
}
Status TGPTextureBrush::ResetTransform() {
    if (!nativeBrush)
        return SetStatus(InvalidParameter);
    nativeBrush->transform = QTransform();
    return Ok;
}
Status TGPTextureBrush::TranslateTransform(REAL dx, REAL dy, MatrixOrder order) {
    if (!nativeBrush)
        return SetStatus(InvalidParameter);
    GpMatrix m{nativeBrush->transform};
    Apply(&m, QTransform::fromTranslate(dx, dy), order);
    nativeBrush->transform = m.m;
    return Ok;
}
Status TGPTextureBrush::ScaleTransform(REAL sx, REAL sy, MatrixOrder order) {
    if (!nativeBrush)
        return SetStatus(InvalidParameter);
    GpMatrix m{nativeBrush->transform};
    Apply(&m, QTransform::fromScale(sx, sy), order);
    nativeBrush->transform = m.m;
    return Ok;
}
Status TGPTextureBrush::RotateTransform(REAL angle, MatrixOrder order) {
    if (!nativeBrush)
        return SetStatus(InvalidParameter);
    GpMatrix m{nativeBrush->transform};
    Apply(&m, QTransform().rotate(angle), order);
    nativeBrush->transform = m.m;
    return Ok;
}
Status TGPTextureBrush::SetWrapMode(WrapMode wrapMode) {
    if (!nativeBrush)
        return SetStatus(InvalidParameter);
    nativeBrush->wrap = wrapMode;
    return Ok;
}
WrapMode TGPTextureBrush::GetWrapMode() {
    if (!nativeBrush) {
        SetStatus(InvalidParameter);
        return WrapModeTile;
    }
    return nativeBrush->wrap;
}
TGPImage* TGPTextureBrush::GetImage() {
    if (!nativeBrush)
        return new TGPImage(nullptr, SetStatus(InvalidParameter));
    auto* img = new GpImage;
    img->image = nativeBrush->texture;
    img->format = ifMemoryBMP;
    img->pixelFormat = PixelFormat32bppARGB;
    return new TGPImage(img, Ok);
}

namespace {
GpBrush* NewLinear(QPointF p1, QPointF p2, ARGB c1, ARGB c2, QTransform t = QTransform()) {
    auto* b = new GpBrush;
    b->type = BrushTypeLinearGradient;
    b->p1 = p1;
    b->p2 = p2;
    b->c1 = c1;
    b->c2 = c2;
    b->wrap = WrapModeTile;
    b->transform = t;
    return b;
}

// The gradient line over a rectangle for a direction: from the corner least along it to the one most.
GpBrush* NewLinearAngle(const QRectF& r, ARGB c1, ARGB c2, double angleDeg, bool scalable) {
    const double a = angleDeg * std::numbers::pi / 180.0;
    const QPointF d(std::cos(a), std::sin(a));
    const QRectF space = scalable ? QRectF(0, 0, 1, 1) : r;
    const QPointF c = space.center();
    double lo = 0, hi = 0;
    for (QPointF corner : {space.topLeft(), space.topRight(), space.bottomLeft(), space.bottomRight()}) {
        const double t = QPointF::dotProduct(corner - c, d);
        lo = std::min(lo, t);
        hi = std::max(hi, t);
    }
    const QTransform t = scalable ? QTransform(r.width(), 0, 0, r.height(), r.x(), r.y()) : QTransform();
    return NewLinear(c + lo * d, c + hi * d, c1, c2, t);
}

GpBrush* NewLinearMode(const QRectF& r, ARGB c1, ARGB c2, LinearGradientMode mode) {
    const double w = r.width(), h = r.height();
    switch (mode) {
    case LinearGradientModeHorizontal:
        return NewLinear(r.topLeft(), r.topRight(), c1, c2);
    case LinearGradientModeVertical:
        return NewLinear(r.topLeft(), r.bottomLeft(), c1, c2);
    case LinearGradientModeForwardDiagonal:
    case LinearGradientModeBackwardDiagonal: {
        // Colour lines run along the other diagonal, so the two remaining corners get the middle colour.
        const double k = (w * w + h * h) > 0 ? 2 * w * h / (w * w + h * h) : 0;
        if (mode == LinearGradientModeForwardDiagonal)
            return NewLinear(r.topLeft(), r.topLeft() + k * QPointF(h, w), c1, c2);
        return NewLinear(r.topRight(), r.topRight() + k * QPointF(-h, w), c1, c2);
    }
    }
    return nullptr;
}
} // namespace

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPPointF& a, const TGPPointF& b, ARGB c1, ARGB c2)
    : TGPBrush(NewLinear({a.X, a.Y}, {b.X, b.Y}, c1, c2), Ok) {}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPPoint& a, const TGPPoint& b, ARGB c1, ARGB c2)
    : TGPBrush(NewLinear(QPointF(a.X, a.Y), QPointF(b.X, b.Y), c1, c2), Ok) {}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRectF& r, ARGB c1, ARGB c2, LinearGradientMode mode)
    : TGPBrush(NewLinearMode(QR(r), c1, c2, mode), Ok) {}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRect& r, ARGB c1, ARGB c2, LinearGradientMode mode)
    : TGPBrush(NewLinearMode(QR(r), c1, c2, mode), Ok) {}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRectF& r, ARGB c1, ARGB c2, REAL angle, bool scalable)
    : TGPBrush(NewLinearAngle(QR(r), c1, c2, angle, scalable), Ok) {}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRect& r, ARGB c1, ARGB c2, REAL angle, bool scalable)
    : TGPBrush(NewLinearAngle(QR(r), c1, c2, angle, scalable), Ok) {}
Status TGPLinearGradientBrush::SetGammaCorrection(bool useGammaCorrection) {
    if (!nativeBrush)
        return SetStatus(InvalidParameter);
    nativeBrush->gamma = useGammaCorrection;
    return Ok;
}
Status TGPLinearGradientBrush::SetInterpolationColors(const ARGB* colors, const REAL* positions, int count) {
    if (count < 1)
        return SetStatus(InvalidParameter);
    if (!nativeBrush || !colors || !positions || count < 2 || positions[0] != 0.0f ||
        positions[count - 1] != 1.0f)
        return SetStatus(InvalidParameter);
    nativeBrush->preset.clear();
    for (int i = 0; i < count; ++i)
        nativeBrush->preset.emplace_back(positions[i], colors[i]);
    return Ok;
}
Status TGPLinearGradientBrush::SetWrapMode(WrapMode wrapMode) {
    if (!nativeBrush || wrapMode == WrapModeClamp)
        return SetStatus(InvalidParameter);
    nativeBrush->wrap = wrapMode;
    return Ok;
}

namespace {
GpBrush* NewPathGradient(const QPainterPath& boundary, std::vector<QPointF> points) {
    if (boundary.isEmpty())
        return nullptr;
    auto* b = new GpBrush;
    b->type = BrushTypePathGradient;
    b->boundary = boundary;
    b->points = std::move(points);
    b->centre = boundary.boundingRect().center();
    b->centreColour = 0xFFFFFFFF;
    b->surround = {0xFFFFFFFF};
    b->wrap = WrapModeClamp;
    return b;
}
} // namespace

TGPPathGradientBrush::TGPPathGradientBrush(const TGPGraphicsPath* path) {
    if (!path || !path->nativePath) {
        lastResult = InvalidParameter;
        return;
    }
    QPainterPath closed = path->nativePath->path;
    closed.closeSubpath();
    nativeBrush = NewPathGradient(closed, path->nativePath->points);
    lastResult = nativeBrush ? Ok : OutOfMemory;
}
TGPPathGradientBrush::TGPPathGradientBrush(const TGPPointF* points, int count, WrapMode wrapMode) {
    if (!points || count < 2) {
        lastResult = count < 2 ? OutOfMemory : InvalidParameter;
        return;
    }
    const auto pts = ToQ(points, count);
    QPainterPath p;
    p.addPolygon(QPolygonF(QList<QPointF>(pts.begin(), pts.end())));
    p.closeSubpath();
    nativeBrush = NewPathGradient(p, pts);
    if (nativeBrush)
        nativeBrush->wrap = wrapMode;
}
Status TGPPathGradientBrush::SetCenterColor(ARGB color) {
    if (!nativeBrush)
        return SetStatus(InvalidParameter);
    nativeBrush->centreColour = color;
    return Ok;
}
Status TGPPathGradientBrush::GetCenterColor(ARGB& color) {
    color = 0;
    if (!nativeBrush)
        return SetStatus(InvalidParameter);
    color = nativeBrush->centreColour;
    return Ok;
}
Status TGPPathGradientBrush::SetCenterPoint(const TGPPointF& point) {
    if (!nativeBrush)
        return SetStatus(InvalidParameter);
    nativeBrush->centre = QPointF(point.X, point.Y);
    return Ok;
}
Status TGPPathGradientBrush::SetCenterPoint(const TGPPoint& point) {
    return SetCenterPoint(TGPPointF{static_cast<REAL>(point.X), static_cast<REAL>(point.Y)});
}
Status TGPPathGradientBrush::GetCenterPoint(TGPPointF& point) {
    point = {};
    if (!nativeBrush)
        return SetStatus(InvalidParameter);
    point = {static_cast<REAL>(nativeBrush->centre.x()), static_cast<REAL>(nativeBrush->centre.y())};
    return Ok;
}
Status TGPPathGradientBrush::GetCenterPoint(TGPPoint& point) {
    TGPPointF f;
    const Status s = GetCenterPoint(f);
    point = {static_cast<std::int32_t>(std::lround(f.X)), static_cast<std::int32_t>(std::lround(f.Y))};
    return s;
}
int TGPPathGradientBrush::GetPointCount() {
    if (!nativeBrush) {
        SetStatus(InvalidParameter);
        return 0;
    }
    return static_cast<int>(nativeBrush->points.size());
}
int TGPPathGradientBrush::GetSurroundColorCount() {
    if (!nativeBrush) {
        SetStatus(InvalidParameter);
        return 0;
    }
    return static_cast<int>(nativeBrush->surround.size());
}
Status TGPPathGradientBrush::SetSurroundColors(const ARGB* colors, int& count) {
    if (!colors)
        return SetStatus(InvalidParameter);
    const int points = GetPointCount();
    if (count > points || points <= 0 || count < 1)
        return SetStatus(InvalidParameter);
    nativeBrush->surround.assign(colors, colors + count);
    // Trailing equal colours count as one, as the platform reports them.
    while (nativeBrush->surround.size() > 1 &&
           nativeBrush->surround.back() == nativeBrush->surround[nativeBrush->surround.size() - 2])
        nativeBrush->surround.pop_back();
    return Ok;
}
Status TGPPathGradientBrush::GetSurroundColors(ARGB* colors, int& count) {
    if (!colors)
        return SetStatus(InvalidParameter);
    const int have = GetSurroundColorCount();
    if (have <= 0 || have > count)
        return SetStatus(InsufficientBuffer);
    std::copy(nativeBrush->surround.begin(), nativeBrush->surround.end(), colors);
    count = have;
    return Ok;
}
Status TGPPathGradientBrush::SetWrapMode(WrapMode wrapMode) {
    if (!nativeBrush)
        return SetStatus(InvalidParameter);
    nativeBrush->wrap = wrapMode;
    return Ok;
}
Status TGPPathGradientBrush::SetGammaCorrection(bool useGammaCorrection) {
    if (!nativeBrush)
        return SetStatus(InvalidParameter);
    nativeBrush->gamma = useGammaCorrection;
    return Ok;
}
Status TGPPathGradientBrush::SetInterpolationColors(const ARGB* colors, const REAL* positions, int count) {
    if (count < 1 || !colors)
        return SetStatus(InvalidParameter);
    if (!nativeBrush || !positions || count < 2 || positions[0] != 0.0f || positions[count - 1] != 1.0f)
        return SetStatus(InvalidParameter);
    nativeBrush->preset.clear();
    for (int i = 0; i < count; ++i)
        nativeBrush->preset.emplace_back(positions[i], colors[i]);
    return Ok;
}

// ---------------------------------------------------------------------------------------------------
// Pens

TGPPen::TGPPen(ARGB color, REAL width) : nativePen(new GpPen) {
    nativePen->colour = color;
    nativePen->width = width;
}
TGPPen::TGPPen(const TGPBrush* brush, REAL width) {
    if (!brush || !brush->nativeBrush) {
        lastResult = InvalidParameter;
        return;
    }
    nativePen = new GpPen;
    nativePen->width = width;
    nativePen->brush.reset(CloneBrush(brush->nativeBrush));
    if (brush->nativeBrush->type == BrushTypeSolidColor) {
        nativePen->colour = brush->nativeBrush->colour;
        nativePen->brush.reset();
    }
}
TGPPen::TGPPen(GpPen* native, Status status) : nativePen(native), lastResult(status) {}
TGPPen::~TGPPen() {
    delete nativePen;
}
Status TGPPen::SetStatus(Status s) {
    if (s != Ok)
        lastResult = s;
    return s;
}
Status TGPPen::SetWidth(REAL width) {
    if (!nativePen)
        return SetStatus(InvalidParameter);
    nativePen->width = width;
    return Ok;
}
REAL TGPPen::GetWidth() {
    if (!nativePen) {
        SetStatus(InvalidParameter);
        return 0;
    }
    return nativePen->width;
}
Status TGPPen::SetColor(ARGB color) {
    if (!nativePen)
        return SetStatus(InvalidParameter);
    nativePen->brush.reset();
    nativePen->colour = color;
    return Ok;
}
Status TGPPen::GetColor(ARGB& color) {
    color = 0;
    if (!nativePen || nativePen->brush)
        return SetStatus(nativePen ? WrongState : InvalidParameter);
    color = nativePen->colour;
    return Ok;
}
Status TGPPen::SetBrush(const TGPBrush* brush) {
    if (!nativePen || !brush || !brush->nativeBrush)
        return SetStatus(InvalidParameter);
    if (brush->nativeBrush->type == BrushTypeSolidColor) {
        nativePen->brush.reset();
        nativePen->colour = brush->nativeBrush->colour;
    } else {
        nativePen->brush.reset(CloneBrush(brush->nativeBrush));
    }
    return Ok;
}
PenType TGPPen::GetPenType() {
    if (!nativePen) {
        SetStatus(InvalidParameter);
        return PenTypeUnknown;
    }
    return nativePen->brush ? static_cast<PenType>(nativePen->brush->type) : PenTypeSolidColor;
}
TGPBrush* TGPPen::GetBrush() {
    const PenType type = GetPenType();
    if (type == PenTypeUnknown)
        return nullptr;
    GpBrush* copy = nativePen->brush ? CloneBrush(nativePen->brush.get()) : new GpBrush;
    if (!nativePen->brush) {
        copy->type = BrushTypeSolidColor;
        copy->colour = nativePen->colour;
    }
    TGPBrush* b = nullptr;
    switch (type) {
    case PenTypeSolidColor:
        b = new TGPSolidBrush(0);
        break;
    case PenTypeHatchFill:
        b = new TGPHatchBrush(HatchStyleHorizontal, 0);
        break;
    case PenTypeTextureFill:
        b = new TGPBrush(nullptr, Ok);
        break;
    case PenTypePathGradient:
        b = new TGPBrush(nullptr, Ok);
        break;
    case PenTypeLinearGradient:
        b = new TGPLinearGradientBrush(TGPPointF{0, 0}, TGPPointF{1, 0}, 0, 0);
        break;
    default:
        delete copy;
        return nullptr;
    }
    delete b->nativeBrush;
    b->nativeBrush = copy;
    b->lastResult = Ok;
    return b;
}
Status TGPPen::SetDashStyle(DashStyle dashStyle) {
    if (!nativePen || dashStyle < DashStyleSolid || dashStyle > DashStyleCustom)
        return SetStatus(InvalidParameter);
    nativePen->dash = dashStyle;
    return Ok;
}
DashStyle TGPPen::GetDashStyle() {
    if (!nativePen) {
        SetStatus(InvalidParameter);
        return DashStyleSolid;
    }
    return nativePen->dash;
}
Status TGPPen::SetEndCap(LineCap endCap) {
    if (!nativePen)
        return SetStatus(InvalidParameter);
    nativePen->endCap = endCap;
    return Ok;
}
Status TGPPen::SetStartCap(LineCap startCap) {
    if (!nativePen)
        return SetStatus(InvalidParameter);
    nativePen->startCap = startCap;
    return Ok;
}
Status TGPPen::GetLastStatus() {
    const Status s = lastResult;
    lastResult = Ok;
    return s;
}

// ---------------------------------------------------------------------------------------------------
// Paths and regions

TGPGraphicsPath::TGPGraphicsPath(FillMode fillMode) : nativePath(new GpPath) {
    nativePath->path.setFillRule(fillMode == FillModeWinding ? Qt::WindingFill : Qt::OddEvenFill);
}
TGPGraphicsPath::TGPGraphicsPath(GpPath* native) : nativePath(native) {}
TGPGraphicsPath::~TGPGraphicsPath() {
    delete nativePath;
}
Status TGPGraphicsPath::SetStatus(Status s) {
    if (s != Ok)
        lastResult = s;
    return s;
}
Status TGPGraphicsPath::Reset() {
    if (!nativePath)
        return SetStatus(InvalidParameter);
    const Qt::FillRule rule = nativePath->path.fillRule();
    *nativePath = GpPath();
    nativePath->path.setFillRule(rule);
    return Ok;
}
Status TGPGraphicsPath::StartFigure() {
    if (!nativePath)
        return SetStatus(InvalidParameter);
    nativePath->figureOpen = false;
    return Ok;
}
Status TGPGraphicsPath::CloseFigure() {
    if (!nativePath)
        return SetStatus(InvalidParameter);
    nativePath->path.closeSubpath();
    nativePath->figureOpen = false;
    return Ok;
}
Status TGPGraphicsPath::AddLine(REAL x1, REAL y1, REAL x2, REAL y2) {
    if (!nativePath)
        return SetStatus(InvalidParameter);
    LineTo(*nativePath, QPointF(x1, y1), QPointF(x2, y2));
    return Ok;
}
Status TGPGraphicsPath::AddLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    return AddLine(static_cast<REAL>(x1), static_cast<REAL>(y1), static_cast<REAL>(x2),
                   static_cast<REAL>(y2));
}
Status TGPGraphicsPath::AddLine(const TGPPointF& a, const TGPPointF& b) {
    return AddLine(a.X, a.Y, b.X, b.Y);
}
Status TGPGraphicsPath::AddLines(const TGPPointF* points, int count) {
    if (!nativePath || !points || count < 2)
        return SetStatus(InvalidParameter);
    for (int i = 0; i + 1 < count; ++i)
        LineTo(*nativePath, QPointF(points[i].X, points[i].Y), QPointF(points[i + 1].X, points[i + 1].Y));
    return Ok;
}
Status TGPGraphicsPath::AddLines(const TGPPoint* points, int count) {
    if (!nativePath || !points || count < 2)
        return SetStatus(InvalidParameter);
    for (int i = 0; i + 1 < count; ++i)
        LineTo(*nativePath, QPointF(points[i].X, points[i].Y), QPointF(points[i + 1].X, points[i + 1].Y));
    return Ok;
}
Status TGPGraphicsPath::AddRectangle(const TGPRectF& rect) {
    if (!nativePath)
        return SetStatus(InvalidParameter);
    if (rect.Width <= 0 || rect.Height <= 0)
        return Ok;
    const QRectF r = QR(rect);
    nativePath->path.addRect(r);
    nativePath->pointCount += 4;
    nativePath->points.insert(nativePath->points.end(),
                              {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()});
    nativePath->figureOpen = false;
    return Ok;
}
Status TGPGraphicsPath::AddRectangle(const TGPRect& rect) {
    return AddRectangle(TGPRectF{static_cast<REAL>(rect.X), static_cast<REAL>(rect.Y),
                                 static_cast<REAL>(rect.Width), static_cast<REAL>(rect.Height)});
}
Status TGPGraphicsPath::AddArc(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle) {
    if (!nativePath || width <= 0 || height <= 0)
        return SetStatus(InvalidParameter);
    // The layer's angles run clockwise on screen; QPainterPath's counter-clockwise.
    const QRectF r(x, y, width, height);
    QPainterPath arc;
    arc.arcMoveTo(r, -startAngle);
    const QPointF start = arc.currentPosition();
    if (nativePath->figureOpen)
        nativePath->path.lineTo(start);
    else
        nativePath->path.moveTo(start);
    nativePath->path.arcTo(r, -startAngle, -sweepAngle);
    nativePath->pointCount += PathPointsOfArc(sweepAngle);
    nativePath->points.push_back(start);
    nativePath->points.push_back(nativePath->path.currentPosition());
    nativePath->figureOpen = true;
    return Ok;
}
Status TGPGraphicsPath::AddArc(const TGPRectF& rect, REAL startAngle, REAL sweepAngle) {
    return AddArc(rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}
Status TGPGraphicsPath::AddEllipse(REAL x, REAL y, REAL width, REAL height) {
    if (!nativePath)
        return SetStatus(InvalidParameter);
    nativePath->path.addEllipse(QRectF(x, y, width, height));
    nativePath->pointCount += 13;
    for (int i = 0; i < 12; ++i) {
        const double a = i * std::numbers::pi / 6;
        nativePath->points.emplace_back(x + width / 2 * (1 + std::cos(a)),
                                        y + height / 2 * (1 + std::sin(a)));
    }
    nativePath->figureOpen = false;
    return Ok;
}
Status TGPGraphicsPath::AddEllipse(const TGPRectF& rect) {
    return AddEllipse(rect.X, rect.Y, rect.Width, rect.Height);
}
Status TGPGraphicsPath::AddPie(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle) {
    if (!nativePath || width <= 0 || height <= 0)
        return SetStatus(InvalidParameter);
    const QRectF r(x, y, width, height);
    nativePath->path.moveTo(r.center());
    nativePath->path.arcTo(r, -startAngle, -sweepAngle);
    nativePath->path.closeSubpath();
    nativePath->pointCount += 1 + PathPointsOfArc(sweepAngle);
    nativePath->points.push_back(r.center());
    nativePath->figureOpen = false;
    return Ok;
}
Status TGPGraphicsPath::AddPolygon(const TGPPointF* points, int count) {
    if (!nativePath || !points || count < 3)
        return SetStatus(InvalidParameter);
    const auto pts = ToQ(points, count);
    nativePath->path.addPolygon(QPolygonF(QList<QPointF>(pts.begin(), pts.end())));
    nativePath->path.closeSubpath();
    nativePath->pointCount += count;
    nativePath->points.insert(nativePath->points.end(), pts.begin(), pts.end());
    nativePath->figureOpen = false;
    return Ok;
}
Status TGPGraphicsPath::AddPolygon(const TGPPoint* points, int count) {
    if (!nativePath || !points || count < 3)
        return SetStatus(InvalidParameter);
    const auto pts = ToQ(points, count);
    nativePath->path.addPolygon(QPolygonF(QList<QPointF>(pts.begin(), pts.end())));
    nativePath->path.closeSubpath();
    nativePath->pointCount += count;
    nativePath->points.insert(nativePath->points.end(), pts.begin(), pts.end());
    nativePath->figureOpen = false;
    return Ok;
}
Status TGPGraphicsPath::AddCurve(const TGPPointF* points, int count) {
    return AddCurve(points, count, 0.5f);
}
Status TGPGraphicsPath::AddCurve(const TGPPoint* points, int count) {
    return AddCurve(points, count, 0.5f);
}
Status TGPGraphicsPath::AddCurve(const TGPPointF* points, int count, REAL tension) {
    if (!nativePath || !points || count < 2)
        return SetStatus(InvalidParameter);
    AddCardinal(*nativePath, ToQ(points, count), tension);
    return Ok;
}
Status TGPGraphicsPath::AddCurve(const TGPPoint* points, int count, REAL tension) {
    if (!nativePath || !points || count < 2)
        return SetStatus(InvalidParameter);
    AddCardinal(*nativePath, ToQ(points, count), tension);
    return Ok;
}
Status TGPGraphicsPath::AddBezier(REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4) {
    if (!nativePath)
        return SetStatus(InvalidParameter);
    if (nativePath->figureOpen)
        nativePath->path.lineTo(x1, y1);
    else
        nativePath->path.moveTo(x1, y1);
    nativePath->path.cubicTo(x2, y2, x3, y3, x4, y4);
    nativePath->pointCount += 4;
    nativePath->points.insert(nativePath->points.end(), {QPointF(x1, y1), QPointF(x4, y4)});
    nativePath->figureOpen = true;
    return Ok;
}
Status TGPGraphicsPath::AddString(const std::string& text, int length, const TGPFontFamily* family,
                                  std::int32_t style, REAL emSize, const TGPRectF& layoutRect,
                                  const TGPStringFormat* format) {
    if (!nativePath || !family || !family->nativeFamily)
        return SetStatus(InvalidParameter);
    const GpFont font{family->nativeFamily->name, emSize, style, UnitWorld};
    const TextBox box =
        LayoutText(QText(text, length), font, QR(layoutRect), format ? format->nativeFormat : nullptr);
    QFontMetricsF fm(font.Font());
    QTextLayout layout(box.text, font.Font());
    layout.beginLayout();
    double y = 0;
    while (true) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        if (box.flags & Qt::TextWordWrap)
            line.setLineWidth(box.rect.width());
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        double x = box.rect.x();
        if (box.flags & Qt::AlignHCenter)
            x += (box.rect.width() - line.naturalTextWidth()) / 2;
        else if (box.flags & Qt::AlignRight)
            x += box.rect.width() - line.naturalTextWidth();
        nativePath->path.addText(QPointF(x, box.rect.y() + line.y() + line.ascent()), font.Font(),
                                 box.text.mid(line.textStart(), line.textLength()));
    }
    nativePath->figureOpen = false;
    nativePath->pointCount = nativePath->path.elementCount();
    return Ok;
}
Status TGPGraphicsPath::AddString(const std::string& text, int length, const TGPFontFamily* family,
                                  std::int32_t style, REAL emSize, const TGPPointF& origin,
                                  const TGPStringFormat* format) {
    return AddString(text, length, family, style, emSize, TGPRectF{origin.X, origin.Y, 0, 0}, format);
}
int TGPGraphicsPath::GetPointCount() {
    if (!nativePath) {
        SetStatus(InvalidParameter);
        return 0;
    }
    return nativePath->pointCount;
}
Status TGPGraphicsPath::GetBounds(TGPRectF& bounds) {
    bounds = {};
    if (!nativePath)
        return SetStatus(InvalidParameter);
    const QRectF r = nativePath->path.boundingRect();
    bounds = {static_cast<REAL>(r.x()), static_cast<REAL>(r.y()), static_cast<REAL>(r.width()),
              static_cast<REAL>(r.height())};
    return Ok;
}
Status TGPGraphicsPath::GetLastStatus() {
    const Status s = lastResult;
    lastResult = Ok;
    return s;
}

TGPRegion::TGPRegion() : nativeRegion(new GpRegion{QPainterPath(), true}) {}
TGPRegion::TGPRegion(const TGPRectF& rect) : nativeRegion(new GpRegion) {
    nativeRegion->path.addRect(QR(rect));
}
TGPRegion::TGPRegion(const TGPRect& rect) : nativeRegion(new GpRegion) {
    nativeRegion->path.addRect(QR(rect));
}
TGPRegion::TGPRegion(const TGPGraphicsPath* path) {
    if (!path || !path->nativePath) {
        lastResult = InvalidParameter;
        return;
    }
    nativeRegion = new GpRegion;
    nativeRegion->path = path->nativePath->path;
    nativeRegion->path.closeSubpath();
}
TGPRegion::~TGPRegion() {
    delete nativeRegion;
}
Status TGPRegion::SetStatus(Status s) {
    if (s != Ok)
        lastResult = s;
    return s;
}
namespace {
const QRectF kInfinite(-4194304, -4194304, 8388608, 8388608);
QPainterPath RegionPath(const GpRegion& r) {
    if (!r.infinite)
        return r.path;
    QPainterPath p;
    p.addRect(kInfinite);
    return p;
}
} // namespace
Status TGPRegion::Exclude(const TGPGraphicsPath* path) {
    if (!nativeRegion || !path || !path->nativePath)
        return SetStatus(InvalidParameter);
    QPainterPath with = path->nativePath->path;
    with.closeSubpath();
    nativeRegion->path = RegionPath(*nativeRegion).subtracted(with);
    nativeRegion->infinite = false;
    return Ok;
}
Status TGPRegion::Exclude(const TGPRectF& rect) {
    if (!nativeRegion)
        return SetStatus(InvalidParameter);
    QPainterPath with;
    with.addRect(QR(rect));
    nativeRegion->path = RegionPath(*nativeRegion).subtracted(with);
    nativeRegion->infinite = false;
    return Ok;
}
Status TGPRegion::Union(const TGPRegion* region) {
    if (!nativeRegion || !region || !region->nativeRegion)
        return SetStatus(InvalidParameter);
    if (region->nativeRegion->infinite)
        nativeRegion->infinite = true;
    else if (!nativeRegion->infinite)
        nativeRegion->path = nativeRegion->path.united(region->nativeRegion->path);
    return Ok;
}
Status TGPRegion::Intersect(const TGPRectF& rect) {
    if (!nativeRegion)
        return SetStatus(InvalidParameter);
    QPainterPath with;
    with.addRect(QR(rect));
    nativeRegion->path = RegionPath(*nativeRegion).intersected(with);
    nativeRegion->infinite = false;
    return Ok;
}
bool TGPRegion::IsVisible(REAL x, REAL y) {
    if (!nativeRegion) {
        SetStatus(InvalidParameter);
        return false;
    }
    return nativeRegion->infinite || nativeRegion->path.contains(QPointF(x, y));
}
Status TGPRegion::GetLastStatus() {
    const Status s = lastResult;
    lastResult = Ok;
    return s;
}

// ---------------------------------------------------------------------------------------------------
// Graphics

TGPGraphics::TGPGraphics(TCanvas* canvas) {
    if (!canvas || !canvas->Target() || canvas->Target()->isNull()) {
        lastResult = InvalidParameter;
        return;
    }
    canvas->EndAntialiased();
    nativeGraphics = new GpGraphics;
    nativeGraphics->target = canvas->Target();
    nativeGraphics->canvas = canvas;
}
TGPGraphics::TGPGraphics(QImage* target) {
    if (!target || target->isNull()) {
        lastResult = InvalidParameter;
        return;
    }
    nativeGraphics = new GpGraphics;
    nativeGraphics->target = target;
}
TGPGraphics::TGPGraphics(TGPImage* image) {
    if (!image)
        return;
    if (!image->nativeImage) {
        lastResult = InvalidParameter;
        return;
    }
    if (image->nativeImage->image.format() != QImage::Format_ARGB32)
        image->nativeImage->image = image->nativeImage->image.convertToFormat(QImage::Format_ARGB32);
    nativeGraphics = new GpGraphics;
    nativeGraphics->target = &image->nativeImage->image;
}
TGPGraphics::~TGPGraphics() {
    delete nativeGraphics;
}
TGPGraphics* TGPGraphics::FromImage(TGPImage* image) {
    return new TGPGraphics(image);
}
Status TGPGraphics::SetStatus(Status s) {
    if (s != Ok)
        lastResult = s;
    return s;
}
void TGPGraphics::Flush(FlushIntention) {}
Status TGPGraphics::Clear(ARGB color) {
    if (!nativeGraphics)
        return SetStatus(InvalidParameter);
    Painter p(*nativeGraphics);
    p->setCompositionMode(QPainter::CompositionMode_Source);
    p->setTransform(QTransform());
    p->fillRect(nativeGraphics->target->rect(), Q(color));
    return Ok;
}
Status TGPGraphics::SetTransform(const TGPMatrix* matrix) {
    if (!nativeGraphics || !matrix || !matrix->nativeMatrix)
        return SetStatus(InvalidParameter);
    nativeGraphics->world = matrix->nativeMatrix->m;
    return Ok;
}
Status TGPGraphics::ResetTransform() {
    if (!nativeGraphics)
        return SetStatus(InvalidParameter);
    nativeGraphics->world = QTransform();
    return Ok;
}
Status TGPGraphics::GetTransform(TGPMatrix* matrix) {
    if (!nativeGraphics || !matrix || !matrix->nativeMatrix)
        return SetStatus(InvalidParameter);
    matrix->nativeMatrix->m = nativeGraphics->world;
    return Ok;
}
Status TGPGraphics::TranslateTransform(REAL dx, REAL dy, MatrixOrder order) {
    if (!nativeGraphics)
        return SetStatus(InvalidParameter);
    GpMatrix m{nativeGraphics->world};
    Apply(&m, QTransform::fromTranslate(dx, dy), order);
    nativeGraphics->world = m.m;
    return Ok;
}
TCanvas* TGPGraphics::GetHDC() {
    if (!nativeGraphics) {
        SetStatus(InvalidParameter);
        return nullptr;
    }
    nativeGraphics->hdc = std::make_unique<TCanvas>(nativeGraphics->target);
    return nativeGraphics->hdc.get();
}
void TGPGraphics::ReleaseHDC(TCanvas* hdc) {
    if (nativeGraphics && hdc == nativeGraphics->hdc.get()) {
        nativeGraphics->hdc->EndAntialiased();
        nativeGraphics->hdc.reset();
    }
}
Status TGPGraphics::SetCompositingQuality(CompositingQuality q) {
    if (!nativeGraphics || q == CompositingQualityInvalid)
        return SetStatus(InvalidParameter);
    nativeGraphics->compositing = q;
    return Ok;
}
CompositingQuality TGPGraphics::GetCompositingQuality() {
    if (!nativeGraphics) {
        SetStatus(InvalidParameter);
        return CompositingQualityInvalid;
    }
    return nativeGraphics->compositing;
}
Status TGPGraphics::SetTextRenderingHint(TextRenderingHint mode) {
    if (!nativeGraphics)
        return SetStatus(InvalidParameter);
    nativeGraphics->textHint = mode;
    return Ok;
}
TextRenderingHint TGPGraphics::GetTextRenderingHint() {
    if (!nativeGraphics) {
        SetStatus(InvalidParameter);
        return TextRenderingHintSystemDefault;
    }
    return nativeGraphics->textHint;
}
Status TGPGraphics::SetSmoothingMode(SmoothingMode mode) {
    if (!nativeGraphics || mode == SmoothingModeInvalid)
        return SetStatus(InvalidParameter);
    nativeGraphics->smoothing = mode;
    return Ok;
}
SmoothingMode TGPGraphics::GetSmoothingMode() {
    if (!nativeGraphics) {
        SetStatus(InvalidParameter);
        return SmoothingModeInvalid;
    }
    return nativeGraphics->smoothing;
}

namespace {
Status Stroke(GpGraphics* g, const TGPPen* pen, const QPainterPath& path) {
    if (!g || !pen || !pen->nativePen)
        return InvalidParameter;
    const GpPen& n = *pen->nativePen;
    if (!g->Antialiased() && !n.brush && n.dash == DashStyleSolid) {
        StrokeAliased(*g, path, n);
        return Ok;
    }
    Painter p(*g);
    p->setBrush(Qt::NoBrush);
    p->setPen(ToQPen(*pen->nativePen, p->transform(), g->Antialiased()));
    p->drawPath(path);
    return Ok;
}
Status FillArea(GpGraphics* g, const TGPBrush* brush, const QPainterPath& area) {
    if (!g || !brush || !brush->nativeBrush)
        return InvalidParameter;
    const GpBrush& b = *brush->nativeBrush;
    if (!g->Antialiased() && b.type == BrushTypeSolidColor) {
        FillAliased(*g, area, b.colour);
        return Ok;
    }
    Painter p(*g);
    if (b.type == BrushTypePathGradient) {
        FillPathGradient(*p, *g, b, area);
        return Ok;
    }
    QPainterPath clipped = area;
    if (b.type == BrushTypeTextureFill && b.wrap == WrapModeClamp) {
        QPainterPath tile;
        tile.addRect(b.transform.mapRect(QRectF(QPointF(0, 0), QSizeF(b.texture.size()))));
        clipped = clipped.intersected(tile);
    }
    p->fillPath(clipped, ToQBrush(b, p->transform()));
    return Ok;
}
QPainterPath RectPath(const QRectF& r) {
    QPainterPath p;
    if (r.width() > 0 && r.height() > 0)
        p.addRect(r);
    return p;
}
QPainterPath LinePath(QPointF a, QPointF b) {
    QPainterPath p(a);
    p.lineTo(b);
    return p;
}
QPainterPath ArcPath(const QRectF& r, REAL start, REAL sweep) {
    QPainterPath p;
    p.arcMoveTo(r, -start);
    p.arcTo(r, -start, -sweep);
    return p;
}
} // namespace

Status TGPGraphics::DrawPath(const TGPPen* pen, const TGPGraphicsPath* path) {
    if (!path || !path->nativePath)
        return SetStatus(InvalidParameter);
    return SetStatus(Stroke(nativeGraphics, pen, path->nativePath->path));
}
Status TGPGraphics::DrawRectangle(const TGPPen* pen, const TGPRectF& rect) {
    QPainterPath p;
    p.addRect(QR(rect));
    return SetStatus(Stroke(nativeGraphics, pen, p));
}
Status TGPGraphics::DrawRectangle(const TGPPen* pen, REAL x, REAL y, REAL width, REAL height) {
    return DrawRectangle(pen, TGPRectF{x, y, width, height});
}
Status TGPGraphics::DrawRectangle(const TGPPen* pen, std::int32_t x, std::int32_t y, std::int32_t width,
                                  std::int32_t height) {
    return DrawRectangle(pen, TGPRectF{static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(width),
                                       static_cast<REAL>(height)});
}
Status TGPGraphics::DrawLine(const TGPPen* pen, REAL x1, REAL y1, REAL x2, REAL y2) {
    return SetStatus(Stroke(nativeGraphics, pen, LinePath(QPointF(x1, y1), QPointF(x2, y2))));
}
Status TGPGraphics::DrawLine(const TGPPen* pen, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                             std::int32_t y2) {
    return DrawLine(pen, static_cast<REAL>(x1), static_cast<REAL>(y1), static_cast<REAL>(x2),
                    static_cast<REAL>(y2));
}
Status TGPGraphics::DrawLine(const TGPPen* pen, const TGPPointF& a, const TGPPointF& b) {
    return DrawLine(pen, a.X, a.Y, b.X, b.Y);
}
Status TGPGraphics::DrawLines(const TGPPen* pen, const TGPPointF* points, int count) {
    if (!points || count < 2)
        return SetStatus(InvalidParameter);
    QPainterPath p(QPointF(points[0].X, points[0].Y));
    for (int i = 1; i < count; ++i)
        p.lineTo(points[i].X, points[i].Y);
    return SetStatus(Stroke(nativeGraphics, pen, p));
}
Status TGPGraphics::DrawArc(const TGPPen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                            REAL sweepAngle) {
    return SetStatus(
        Stroke(nativeGraphics, pen, ArcPath(QRectF(x, y, width, height), startAngle, sweepAngle)));
}
Status TGPGraphics::DrawArc(const TGPPen* pen, const TGPRectF& rect, REAL startAngle, REAL sweepAngle) {
    return DrawArc(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}
Status TGPGraphics::DrawEllipse(const TGPPen* pen, REAL x, REAL y, REAL width, REAL height) {
    QPainterPath p;
    p.addEllipse(QRectF(x, y, width, height));
    return SetStatus(Stroke(nativeGraphics, pen, p));
}
Status TGPGraphics::DrawEllipse(const TGPPen* pen, const TGPRectF& rect) {
    return DrawEllipse(pen, rect.X, rect.Y, rect.Width, rect.Height);
}
Status TGPGraphics::DrawCurve(const TGPPen* pen, const TGPPointF* points, int count, REAL tension) {
    if (!points || count < 2)
        return SetStatus(InvalidParameter);
    GpPath path;
    AddCardinal(path, ToQ(points, count), tension);
    return SetStatus(Stroke(nativeGraphics, pen, path.path));
}

namespace {
Status DrawImageImpl(GpGraphics* g, TGPImage* image, const QRectF& dst, const QRectF& src,
                     const TGPImageAttributes* attrs) {
    if (!g || !image || !image->nativeImage)
        return InvalidParameter;
    QImage img = image->nativeImage->image;
    if (attrs && attrs->nativeImageAttr)
        img = attrs->nativeImageAttr->Apply(img, ColorAdjustTypeBitmap);
    Painter p(*g);
    // Image pixels sit on device pixels: image pixel (0,0) covers the destination's first pixel.
    p->setTransform(g->world);
    p->drawImage(dst, img, src);
    return Ok;
}
QRectF WholeImage(TGPImage* image) {
    if (!image || !image->nativeImage)
        return {};
    return QRectF(QPointF(0, 0), QSizeF(image->nativeImage->image.size()));
}
} // namespace

Status TGPGraphics::DrawImage(TGPImage* image, REAL x, REAL y) {
    const QRectF src = WholeImage(image);
    return SetStatus(DrawImageImpl(nativeGraphics, image, src.translated(x, y), src, nullptr));
}
Status TGPGraphics::DrawImage(TGPImage* image, std::int32_t x, std::int32_t y) {
    return DrawImage(image, static_cast<REAL>(x), static_cast<REAL>(y));
}
Status TGPGraphics::DrawImage(TGPImage* image, REAL x, REAL y, REAL width, REAL height) {
    return SetStatus(
        DrawImageImpl(nativeGraphics, image, QRectF(x, y, width, height), WholeImage(image), nullptr));
}
Status TGPGraphics::DrawImage(TGPImage* image, const TGPRectF& rect) {
    return DrawImage(image, rect.X, rect.Y, rect.Width, rect.Height);
}
Status TGPGraphics::DrawImage(TGPImage* image, const TGPRectF& destRect, REAL srcx, REAL srcy, REAL srcwidth,
                              REAL srcheight, Unit_ srcUnit, const TGPImageAttributes* attrs) {
    if (srcUnit != UnitPixel && srcUnit != UnitWorld)
        return SetStatus(NotImplemented);
    return SetStatus(
        DrawImageImpl(nativeGraphics, image, QR(destRect), QRectF(srcx, srcy, srcwidth, srcheight), attrs));
}
Status TGPGraphics::DrawImage(TGPImage* image, const TGPRect& destRect, std::int32_t srcx, std::int32_t srcy,
                              std::int32_t srcwidth, std::int32_t srcheight, Unit_ srcUnit,
                              const TGPImageAttributes* attrs) {
    return DrawImage(image,
                     TGPRectF{static_cast<REAL>(destRect.X), static_cast<REAL>(destRect.Y),
                              static_cast<REAL>(destRect.Width), static_cast<REAL>(destRect.Height)},
                     static_cast<REAL>(srcx), static_cast<REAL>(srcy), static_cast<REAL>(srcwidth),
                     static_cast<REAL>(srcheight), srcUnit, attrs);
}
Status TGPGraphics::DrawImageRect(TGPImage* image, std::int32_t x, std::int32_t y, std::int32_t w,
                                  std::int32_t h) {
    return DrawImage(image, static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(w),
                     static_cast<REAL>(h));
}
Status TGPGraphics::DrawImageRect(TGPImage* image, const TGPRectF& rect) {
    return DrawImageRect(image, static_cast<std::int32_t>(std::lround(rect.X)),
                         static_cast<std::int32_t>(std::lround(rect.Y)),
                         static_cast<std::int32_t>(std::lround(rect.Width)),
                         static_cast<std::int32_t>(std::lround(rect.Height)));
}
Status TGPGraphics::FillRectangle(const TGPBrush* brush, const TGPRectF& rect) {
    return SetStatus(FillArea(nativeGraphics, brush, RectPath(QR(rect))));
}
Status TGPGraphics::FillRectangle(const TGPBrush* brush, REAL x, REAL y, REAL width, REAL height) {
    return FillRectangle(brush, TGPRectF{x, y, width, height});
}
Status TGPGraphics::FillRectangle(const TGPBrush* brush, std::int32_t x, std::int32_t y, std::int32_t width,
                                  std::int32_t height) {
    return FillRectangle(brush, TGPRectF{static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(width),
                                         static_cast<REAL>(height)});
}
Status TGPGraphics::FillPolygon(const TGPBrush* brush, const TGPPointF* points, int count,
                                FillMode fillMode) {
    if (!points || count < 3)
        return SetStatus(InvalidParameter);
    const auto pts = ToQ(points, count);
    QPainterPath p;
    p.setFillRule(fillMode == FillModeWinding ? Qt::WindingFill : Qt::OddEvenFill);
    p.addPolygon(QPolygonF(QList<QPointF>(pts.begin(), pts.end())));
    p.closeSubpath();
    return SetStatus(FillArea(nativeGraphics, brush, p));
}
Status TGPGraphics::FillPolygon(const TGPBrush* brush, const TGPPoint* points, int count, FillMode fillMode) {
    if (!points || count < 3)
        return SetStatus(InvalidParameter);
    std::vector<TGPPointF> f;
    for (int i = 0; i < count; ++i)
        f.push_back({static_cast<REAL>(points[i].X), static_cast<REAL>(points[i].Y)});
    return FillPolygon(brush, f.data(), count, fillMode);
}
Status TGPGraphics::FillEllipse(const TGPBrush* brush, const TGPRectF& rect) {
    QPainterPath p;
    p.addEllipse(QR(rect));
    return SetStatus(FillArea(nativeGraphics, brush, p));
}
Status TGPGraphics::FillEllipse(const TGPBrush* brush, REAL x, REAL y, REAL width, REAL height) {
    return FillEllipse(brush, TGPRectF{x, y, width, height});
}
Status TGPGraphics::FillPath(const TGPBrush* brush, const TGPGraphicsPath* path) {
    if (!path || !path->nativePath)
        return SetStatus(InvalidParameter);
    // Filling closes every figure by itself.
    return SetStatus(FillArea(nativeGraphics, brush, path->nativePath->path));
}
Status TGPGraphics::SetClip(const TGPRegion* region, CombineMode mode) {
    if (!nativeGraphics || !region || !region->nativeRegion)
        return SetStatus(InvalidParameter);
    if (region->nativeRegion->infinite && mode == CombineModeReplace) {
        nativeGraphics->hasClip = false;
        return Ok;
    }
    const QRectF universe(nativeGraphics->target->rect());
    return SetStatus(Combine(nativeGraphics->clip, nativeGraphics->hasClip,
                             nativeGraphics->world.map(RegionPath(*region->nativeRegion)), mode,
                             universe.adjusted(-1, -1, 1, 1)));
}
Status TGPGraphics::SetClip(const TGPGraphicsPath* path, CombineMode mode) {
    if (!nativeGraphics || !path || !path->nativePath)
        return SetStatus(InvalidParameter);
    QPainterPath p = path->nativePath->path;
    p.closeSubpath();
    const QRectF universe(nativeGraphics->target->rect());
    return SetStatus(Combine(nativeGraphics->clip, nativeGraphics->hasClip, nativeGraphics->world.map(p),
                             mode, universe.adjusted(-1, -1, 1, 1)));
}
Status TGPGraphics::SetClip(const TGPRectF& rect, CombineMode mode) {
    if (!nativeGraphics)
        return SetStatus(InvalidParameter);
    const QRectF universe(nativeGraphics->target->rect());
    return SetStatus(Combine(nativeGraphics->clip, nativeGraphics->hasClip,
                             nativeGraphics->world.map(RectPath(QR(rect))), mode,
                             universe.adjusted(-1, -1, 1, 1)));
}
Status TGPGraphics::ExcludeClip(const TGPRectF& rect) {
    return SetClip(rect, CombineModeExclude);
}
Status TGPGraphics::ExcludeClip(const TGPRegion* region) {
    return SetClip(region, CombineModeExclude);
}
Status TGPGraphics::ResetClip() {
    if (!nativeGraphics)
        return SetStatus(InvalidParameter);
    nativeGraphics->hasClip = false;
    nativeGraphics->clip = QPainterPath();
    return Ok;
}

Status TGPGraphics::MeasureString(const std::string& text, int length, const TGPFont* font,
                                  const TGPRectF& layoutRect, const TGPStringFormat* stringFormat,
                                  TGPRectF& box, std::int32_t* codepointsFitted, std::int32_t* linesFilled) {
    box = {};
    if (!nativeGraphics || !font || !font->nativeFont)
        return SetStatus(InvalidParameter);
    const GpFont& f = *font->nativeFont;
    const QString s = QText(text, length);
    const TextBox t = LayoutText(s, f, QR(layoutRect), stringFormat ? stringFormat->nativeFormat : nullptr);
    QFontMetricsF fm(f.Font());
    const QRectF bound = fm.boundingRect(t.rect, t.flags, t.text);
    const double pad = f.EmPixels() / 6.0;
    double w = (s.isEmpty() ? 0 : bound.width() + 2 * pad);
    double h = s.isEmpty() ? 0 : std::max(bound.height(), fm.height());
    if (layoutRect.Width > 0)
        w = std::min<double>(w, layoutRect.Width);
    if (layoutRect.Height > 0)
        h = std::min<double>(h, layoutRect.Height);
    double x = bound.x() - pad, y = bound.y();
    if (layoutRect.Width <= 0 && !(t.flags & Qt::AlignLeft))
        x = layoutRect.X - ((t.flags & Qt::AlignHCenter) ? w / 2 : w);
    if (layoutRect.Height <= 0 && !(t.flags & Qt::AlignTop))
        y = layoutRect.Y - ((t.flags & Qt::AlignVCenter) ? h / 2 : h);
    box = {static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(w), static_cast<REAL>(h)};
    if (codepointsFitted)
        *codepointsFitted = static_cast<std::int32_t>(s.size());
    if (linesFilled)
        *linesFilled =
            s.isEmpty() ? 0 : std::max(1, static_cast<int>(std::lround(bound.height() / fm.lineSpacing())));
    return Ok;
}
Status TGPGraphics::MeasureString(const std::string& text, int length, const TGPFont* font,
                                  const TGPPointF& origin, const TGPStringFormat* stringFormat,
                                  TGPRectF& box) {
    return MeasureString(text, length, font, TGPRectF{origin.X, origin.Y, 0, 0}, stringFormat, box);
}
Status TGPGraphics::MeasureString(const std::string& text, int length, const TGPFont* font,
                                  const TGPRectF& layoutRect, TGPRectF& box) {
    return MeasureString(text, length, font, layoutRect, nullptr, box);
}
Status TGPGraphics::DrawString(const std::string& text, int length, const TGPFont* font,
                               const TGPRectF& layoutRect, const TGPStringFormat* stringFormat,
                               const TGPBrush* brush) {
    if (!nativeGraphics || !font || !font->nativeFont || !brush || !brush->nativeBrush)
        return SetStatus(InvalidParameter);
    // The text goes through a zero-terminated wide copy, as the platform takes it.
    const std::u16string wide = Utf16(text, length);
    const QString s = QString::fromUtf16(wide.c_str(), static_cast<qsizetype>(wide.size()));
    const TextBox t =
        LayoutText(s, *font->nativeFont, QR(layoutRect), stringFormat ? stringFormat->nativeFormat : nullptr);
    Painter p(*nativeGraphics);
    // Text is placed on the pixel grid (no half-pixel shift), as glyph rendering expects.
    p->setTransform(nativeGraphics->world);
    QFont qf = font->nativeFont->Font();
    if (!p->testRenderHint(QPainter::TextAntialiasing))
        qf.setStyleStrategy(QFont::NoAntialias);
    p->setFont(qf);
    const GpBrush& b = *brush->nativeBrush;
    if (b.type == BrushTypeSolidColor)
        p->setPen(Q(b.colour));
    else
        p->setPen(QPen(ToQBrush(b, p->transform()), 1));
    QRectF r = t.rect;
    const int flags =
        t.flags | ((stringFormat && (stringFormat->nativeFormat->flags & StringFormatFlagsNoClip)) ||
                           layoutRect.Width <= 0
                       ? Qt::TextDontClip
                       : 0);
    if (!(flags & Qt::TextDontClip) && layoutRect.Width > 0 && layoutRect.Height > 0)
        p->setClipRect(QR(layoutRect), Qt::IntersectClip);
    p->drawText(r, flags, t.text);
    return Ok;
}
Status TGPGraphics::DrawString(const std::string& text, int length, const TGPFont* font,
                               const TGPPointF& origin, const TGPBrush* brush) {
    return DrawString(text, length, font, TGPRectF{origin.X, origin.Y, 0, 0}, nullptr, brush);
}
Status TGPGraphics::DrawString(const std::string& text, int length, const TGPFont* font,
                               const TGPPointF& origin, const TGPStringFormat* stringFormat,
                               const TGPBrush* brush) {
    return DrawString(text, length, font, TGPRectF{origin.X, origin.Y, 0, 0}, stringFormat, brush);
}
Status TGPGraphics::DrawString(const std::string& text, int length, const TGPFont* font,
                               const TGPRectF& layoutRect, const TGPBrush* brush) {
    return DrawString(text, length, font, layoutRect, nullptr, brush);
}

TGPFont* TGPGraphics::MakeFont(const TFont* aFont) {
    if (!aFont)
        return nullptr;
    auto* family = new TGPFontFamily(aFont->Name());
    if (family->lastResult == FontFamilyNotFound || family->lastResult == FontStyleNotFound) {
        delete family;
        family = new TGPFontFamily("Arial");
    }
    std::int32_t style = 0;
    if (aFont->Style().Contains(TFontStyle::fsBold))
        style |= FontStyleBold;
    if (aFont->Style().Contains(TFontStyle::fsItalic))
        style |= FontStyleItalic;
    if (aFont->Style().Contains(TFontStyle::fsUnderline))
        style |= FontStyleUnderline;
    auto* font = new TGPFont(family, static_cast<REAL>(aFont->Size()), style, UnitPoint);
    delete family;
    return font;
}
int TGPGraphics::TextWidth(const std::string& text, const TFont* font) {
    std::unique_ptr<TGPFont> f(MakeFont(font));
    TGPRectF box;
    MeasureString(text, -1, f.get(), TGPRectF{0, 0, 10000, 10000}, nullptr, box);
    return static_cast<int>(std::lround(box.Width));
}
int TGPGraphics::TextHeight(const std::string& text, const TFont* font) {
    std::unique_ptr<TGPFont> f(MakeFont(font));
    TGPRectF box;
    MeasureString(text, -1, f.get(), TGPRectF{0, 0, 10000, 10000}, nullptr, box);
    return static_cast<int>(std::lround(box.Height));
}
int TGPGraphics::DrawText(const std::string& text, int len, TRect& rect, const TFont* font, unsigned style,
                          TColor bkColor) {
    std::unique_ptr<TGPFont> f(MakeFont(font));
    if ((style & DT_CALCRECT) || bkColor != clNone) {
        std::string copy = text;
        double pad = 2;
        if (font->Size() > 8)
            pad += std::nearbyint((font->Size() - 8) / 1.5);
        // A trailing blank is measured as a letter so that it counts.
        const QString q = QString::fromUtf8(copy.data(), static_cast<qsizetype>(copy.size()));
        if (q.size() > 1 && q.endsWith(QLatin1Char(' ')))
            copy = (q.left(q.size() - 1) + QLatin1Char('i')).toStdString();
        TGPRectF box;
        MeasureString(copy, len, f.get(),
                      TGPRectF{static_cast<REAL>(rect.Left), static_cast<REAL>(rect.Top),
                               static_cast<REAL>(rect.Right - rect.Left + 1000),
                               static_cast<REAL>(rect.Bottom - rect.Top)},
                      nullptr, box);
        rect.Right = rect.Left + static_cast<int>(std::nearbyint(box.Width - pad));
        rect.Bottom = rect.Top + static_cast<int>(std::nearbyint(box.Height));
        if (bkColor != clNone) {
            TGPSolidBrush bk(ColorToOpaqueARGB(bkColor));
            FillRectangle(&bk, TGPRectF{static_cast<REAL>(rect.Left + 1), static_cast<REAL>(rect.Top),
                                        static_cast<REAL>(box.Width - pad + 1), box.Height});
        }
    }
    if (!(style & DT_CALCRECT)) {
        TGPSolidBrush brush(ColorToOpaqueARGB(font->Color()));
        DrawString(text, len, f.get(), TGPPointF{static_cast<REAL>(rect.Left), static_cast<REAL>(rect.Top)},
                   &brush);
    }
    return rect.Bottom - rect.Top;
}
Status TGPGraphics::GetLastStatus() {
    const Status s = lastResult;
    lastResult = Ok;
    return s;
}

} // namespace kv
