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

// Decodes picture bytes of any supported format; false when they are not a picture.
bool DecodeImageBytes(const std::uint8_t* data, std::size_t size, GpImage& out);

} // namespace kv
