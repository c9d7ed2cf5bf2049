#pragma once
// Inside the smoothed drawing layer only: the native objects behind the wrappers, on QPainter.

#include "styled/gdiplus/GDIPlus.h"

#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QTransform>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace kv {

// Integer coordinates address pixel centres: QPainter's pixel (i) spans i..i+1, the layer's
// i-0.5..i+0.5. Aliased drawing takes a pixel whose centre lies on a left or top edge and leaves one
// on a right or bottom edge, so its shift stops a hair short of half a pixel.
inline const QTransform kPixelOffset = QTransform::fromTranslate(0.5, 0.5);
inline const QTransform kAliasedOffset = QTransform::fromTranslate(0.5 - 1.0 / 32, 0.5 - 1.0 / 32);

struct GpMatrix {
    QTransform m;
};

struct GpRegion {
    QPainterPath path;
    bool infinite = false;
};

struct GpPath {
    QPainterPath path;
    bool figureOpen = false;
    int pointCount = 0;
    std::vector<QPointF> points; // the path's defining points, for the path gradient's surround colours
};

struct GpFontFamily {
    std::string name; // installed family
};

struct GpFontCollection {};

struct GpFont {
    std::string family;
    REAL emSize = 0;
    std::int32_t style = 0;
    Unit_ unit = UnitPoint;
    QFont Font() const; // pixel-sized for the 96 DPI surfaces
    REAL EmPixels() const;
};

struct GpStringFormat {
    std::int32_t flags = 0;
    StringAlignment align = StringAlignmentNear, lineAlign = StringAlignmentNear;
    StringTrimming trimming = StringTrimmingCharacter;
    HotkeyPrefix hotkey = HotkeyPrefixNone;
};

struct GpImage {
    QImage image; // ARGB32 or RGB32
    TGPImageFormat format = ifUndefined;
    PixelFormat pixelFormat = PixelFormatUndefined;
};

struct GpBrush {
    BrushType type = BrushTypeSolidColor;
    ARGB colour = 0; // solid
    HatchStyle hatch = HatchStyleHorizontal;
    ARGB fore = 0, back = 0;
    QImage texture;
    WrapMode wrap = WrapModeTile;
    QTransform transform;
    // Linear gradient: the gradient runs from p1 to p2 in `gradientSpace`, mapped to the world by
    // `transform`.
    QPointF p1, p2;
    ARGB c1 = 0, c2 = 0;
    bool gamma = false;
    std::vector<std::pair<REAL, ARGB>> preset;
    // Path gradient.
    QPainterPath boundary;
    std::vector<QPointF> points;
    QPointF centre;
    ARGB centreColour = 0xFFFFFFFF;
    std::vector<ARGB> surround;
};

struct GpPen {
    ARGB colour = 0xFF000000;
    REAL width = 1;
    DashStyle dash = DashStyleSolid;
    LineCap startCap = LineCapFlat, endCap = LineCapFlat;
    std::unique_ptr<GpBrush> brush; // pens made from a brush
};

struct GpImageAttributes {
    struct Adjust {
        bool noOp = false;
        bool hasMatrix = false;
        TColorMatrix matrix;
        bool hasThreshold = false;
        REAL threshold = 0;
        bool hasGamma = false;
        REAL gamma = 1;
        bool hasKey = false;
        ARGB keyLow = 0, keyHigh = 0;
        bool hasChannel = false;
        ColorChannelFlags channel = ColorChannelFlagsLast;
        std::string profile;
        std::vector<TColorMap> remap;
        bool Any() const {
            return noOp || hasMatrix || hasThreshold || hasGamma || hasKey || hasChannel || !remap.empty();
        }
    };
    std::array<Adjust, ColorAdjustTypeCount> adjust;
    WrapMode wrap = WrapModeClamp;
    ARGB wrapColour = 0xFF000000;
    ARGB Apply(ARGB c, ColorAdjustType type) const;
    QImage Apply(const QImage& image, ColorAdjustType type) const;
};

struct GpGraphics {
    QImage* target = nullptr;
    // The canvas that owns the target, if any: its open painter is ended before ours draws, since
    // only one painter can work on an image at a time.
    const TCanvas* canvas = nullptr;
    SmoothingMode smoothing = SmoothingModeDefault;
    TextRenderingHint textHint = TextRenderingHintSystemDefault;
    CompositingQuality compositing = CompositingQualityDefault;
    QTransform world;
    bool hasClip = false;
    QPainterPath clip; // device coordinates of the layer (pixel centres at integers)
    std::unique_ptr<TCanvas> hdc;
    bool Antialiased() const {
        return smoothing == SmoothingModeAntiAlias || smoothing == SmoothingModeHighQuality;
    }
};

// GDI+'s cardinal spline through `points`, appended to `path` (whose current point is points[0]) as
// Bezier segments: the inner control points lie along the neighbours' chord at `tension` times 0.3
// of it; the end segments use their own chord.
void AppendCardinal(QPainterPath& path, const std::vector<QPointF>& points, double tension);

// Drawing without smoothing, GDI+'s default mode: pixel centres lie on integer coordinates and
// pixels are set whole. The path (world coordinates) is rasterised as one shape on a scratch layer
// and laid over the target in one blend, so a translucent colour blends each pixel it covers once
// per call, however often the path passes over it. Curves are flattened in pieces of about two
// pixels; those wholly off the target are laid as their chords, which set the same pixels on it.
// The pen's colour, width and end cap count; its dashes and brush are the caller's to refuse.
void FillAliased(GpGraphics& g, const QPainterPath& area, ARGB colour);
void StrokeAliased(GpGraphics& g, const QPainterPath& path, const GpPen& pen);

// Decodes picture bytes of any supported format; false when they are not a picture.
bool DecodeImageBytes(const std::uint8_t* data, std::size_t size, GpImage& out);

} // namespace kv
