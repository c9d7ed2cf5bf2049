#pragma once
// The few drawing routines of the plot library that its control bases need: text with the library's
// option set, edges and focus rectangles.

#include "platform/gui/Graphics.h"

#include <cstdint>
#include <string>

namespace kv {

// Option bits of the library's text drawing (bit n set means option n).
enum : std::uint16_t {
    gtoLeft = 1 << 0,
    gtoCenter = 1 << 1,
    gtoRight = 1 << 2,
    gtoTop = 1 << 3,
    gtoVCenter = 1 << 4,
    gtoBottom = 1 << 5,
    gtoWordBreak = 1 << 6,
    gtoSingleLine = 1 << 7,
    gtoExpandTabs = 1 << 8,
    gtoNoClip = 1 << 9,
    gtoPrefix = 1 << 10,
    gtoCalcRect = 1 << 11,
    gtoEndEllipsis = 1 << 12,
};

// The system text flags of an option set (without the prefix option, prefixes are not processed).
unsigned gTextOptionsToFlags(std::uint16_t options);

// Adds (or takes) Amount from each of red, green and blue of the resolved colour, clamped to 0..255.
TColor gLightenDarkenColor(TColor color, int amount, bool lighten);

// Draws Text in Rect in the canvas font; disabled text that is not black is drawn embossed. Returns
// the text height.
int gDrawText(TCanvas& canvas, const std::string& text, TRect& rect, std::uint16_t options, bool enabled,
              TColor color);

// 0 sunken double edge, 1 raised double edge, 2 a one-pixel outline in the button-shadow colour;
// other styles draw nothing.
void gDrawEdge(TCanvas& canvas, const TRect& rect, int style);

void gDrawFocusRect(TCanvas& canvas, const TRect& rect);

} // namespace kv
