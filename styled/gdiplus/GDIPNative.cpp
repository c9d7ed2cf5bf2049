// The native side of the smoothed drawing layer: decoding, image attributes, brushes turned into what
// QPainter draws, and the path gradient, which QPainter lacks and is computed per pixel here.

#include "styled/gdiplus/GDIPNative.h"

#include "platform/gui/Graphics.h"

#include <QFontDatabase>

#include <algorithm>
#include <cmath>
#include <cstring>

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
