#pragma once
// Pixel operations the old drawing interface offered beyond the canvas: block transfers with ternary
// raster operations (bitwise over the RGB channels, as on a 24-bit surface), monochrome masks,
// transparent blits, two-colour linear gradient fills, 8 x 8 pattern brushes and the parent's image
// under a control. They work on the 32-bit images under canvases and bitmaps; the alpha channel of
// every pixel they write becomes opaque.

#include "platform/gui/Controls.h"
#include "platform/gui/Graphics.h"

#include <QImage>

#include <cstdint>

namespace kv {

// Ternary raster operations (the high word's low byte is the truth table over pattern, source and
// destination bits: index = P << 2 | S << 1 | D).
enum : std::uint32_t {
    SRCCOPY = 0x00CC0020,
    SRCPAINT = 0x00EE0086,
    SRCAND = 0x008800C6,
    SRCINVERT = 0x00660046,
    SRCERASE = 0x00440328,
    NOTSRCCOPY = 0x00330008,
    NOTSRCERASE = 0x001100A6,
    MERGECOPY = 0x00C000CA,
    MERGEPAINT = 0x00BB0226,
    PATCOPY = 0x00F00021,
    PATPAINT = 0x00FB0A09,
    PATINVERT = 0x005A0049,
    DSTINVERT = 0x00550009,
    BLACKNESS = 0x00000042,
    WHITENESS = 0x00FF0062,
};

// The brush of a raster operation: a solid colour, or an 8 x 8 pattern repeated from the
// destination's origin.
struct TRopBrush {
    QRgb color = 0xFFFFFFFFu;
    const QImage* pattern = nullptr;
    QRgb At(int x, int y) const;
};

// Combines the source block (sx, sy, w, h) into dest at (x, y) by `rop`. Parts outside either image
// are left out. `source` may be null for operations that do not read it. `clip`, when given, limits
// the pixels written (destination coordinates).
void BitBlt(QImage& dest, int x, int y, int w, int h, const QImage* source, int sx, int sy, std::uint32_t rop,
            const TRopBrush& brush = {}, const TRect* clip = nullptr);
// The source rectangle scaled to the destination rectangle (nearest pixel, as the default stretch
// mode deletes or repeats whole rows and columns), then combined by `rop`. Negative extents mirror.
void StretchBlt(QImage& dest, const TRect& destRect, const QImage& source, const TRect& srcRect,
                std::uint32_t rop, const TRopBrush& brush = {}, const TRect* clip = nullptr);
// The scaled copy StretchBlt would draw, as an image of the destination size.
QImage StretchImage(const QImage& source, const TRect& srcRect, int width, int height);

// A monochrome mask of `source` in black and white: pixels of `background` white, all others black.
QImage MonoMask(const QImage& source, TColor background);
// Copies the source rectangle stretched into the destination rectangle, leaving out the source's
// pixels of `transparent`.
void TransparentBlt(QImage& dest, const TRect& destRect, const QImage& source, const TRect& srcRect,
                    TColor transparent, const TRect* clip = nullptr);

// Two-colour linear gradient over `r`: vertical = from `start` at the top row to `stop` at the bottom
// row (horizontal bands), else from `start` at the left column to `stop` at the right column.
void GradientFillRect(QImage& dest, const TRect& r, TColor start, TColor stop, bool vertical,
                      const TRect* clip = nullptr);

// Fills `r` with an 8 x 8 pattern (PATCOPY of a pattern brush).
void FillPattern(QImage& dest, const TRect& r, const QImage& pattern, const TRect* clip = nullptr);

// The image the parent of `control` shows beneath it, in the control's coordinates and size: the
// parent's colour, its own painting (for a parent that paints itself; a transparent parent first
// shows its own parent) and the windowless siblings below the control, as the old framework's
// erase-background and print-client messages drew them. Without a parent, the result is null.
QImage ParentBackground(TControl* control);

} // namespace kv
