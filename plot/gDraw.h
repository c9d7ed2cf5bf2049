#pragma once
// The drawing, text and geometry routines the whole plot library shares: colour shading, text with
// the library's option set (embossed when disabled), rotated text, text measuring, gradient fills,
// edges and focus rectangles, rectangles and points for swapped X/Y roles, the decimal-count rule of
// value texts, date-time spans in whole units, key-state queries, owner and focus helpers, paper
// sizes, and the saturating float-to-pixel conversions. None keeps state.

#include "platform/gui/Graphics.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kv {

class TComponent;
class TControl;
class TWinControl;
class TPageControl;
enum class TgAlignmentHorizontal;
enum class TgPrecisionStyle;

// ---------------------------------------------------------------------------------------------------
// Float to whole pixels or counts. Every conversion of a computed pixel position goes through these,
// so that a value far off screen (or infinite) gives the nearest int instead of undefined behaviour.

// Nearest integer, ties to even, saturated to the int range; NaN gives 0. The same routine as the
// axis scale's gRoundPixels (this one forwards to it), under a name for code that draws.
int gRoundSaturated(double value);
// Cut towards zero, saturated to the int range; NaN gives 0.
int gTruncSaturated(double value);

// ---------------------------------------------------------------------------------------------------
// Colours and text

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
    gtoPathEllipsis = 1 << 13,
    gtoWordEllipsis = 1 << 14,
    gtoModifyString = 1 << 15,
};

// The system text flags of an option set (without the prefix option, prefixes are not processed).
// Path and word ellipses are shortened at the end like the end ellipsis; modify string has no effect.
unsigned gTextOptionsToFlags(std::uint16_t options);
// The option of a horizontal alignment: gtoLeft, gtoCenter or gtoRight.
std::uint16_t gAlignmentTextOption(TgAlignmentHorizontal alignment);

// Adds (or takes) Amount from each of red, green and blue of the resolved colour, clamped to 0..255.
TColor gLightenDarkenColor(TColor color, int amount, bool lighten);

// Draws Text in Rect in the canvas font and in Color (the text colour: the font colour is set to it
// for the drawing and put back afterwards). Disabled text is drawn embossed (a light copy one pixel
// right and down, then a dark copy in place) unless Color is black or only measuring is asked for.
// Lines end at CR, LF or CR LF. Returns the text height; with gtoCalcRect Rect receives the extent.
int gDrawText(TCanvas& canvas, const std::string& text, TRect& rect, std::uint16_t options, bool enabled,
              TColor color);

enum class TgRotationAngle { ira000, ira090, ira180, ira270 };

// Draws Text centred on Rect's centre, turned by 0, 90, 180 or 270 degrees counter-clockwise (90
// reads upwards); unrotated text is aligned inside Rect by Alignment. TextRect receives the rectangle
// the text takes. Enabled and Color as for gDrawText. The canvas font is unchanged afterwards.
void gDrawRotatedText(TCanvas& canvas, const std::string& text, const TRect& rect, TgRotationAngle rotation,
                      TgAlignmentHorizontal alignment, bool enabled, TColor color, TRect& textRect);

// The lines of a text; CR LF, CR and LF each end a line.
std::vector<std::string> gSplitLines(const std::string& text);
// Text measures in the canvas's font. A plot measures the same labels several times in every paint
// (ticks, layout, drawing) and its labels change only with its scales and fonts, so the measures are
// kept per font and text: a label is measured when it (or its font) changes, not on every paint.
int gTextWidth(TCanvas& canvas, const std::string& text);
int gTextHeight(TCanvas& canvas, const std::string& text);
// Measures taken from the canvas so far (not answered from what was kept); for tests.
int gTextMeasuresTaken();
// Width of the widest line (lines end at CR, LF or CR LF); 0 for an empty text.
int gTextWidthMultiLine(TCanvas& canvas, const std::string& text);
// Height of all lines.
int gTextHeightMultiLine(TCanvas& canvas, const std::string& text);
// Height of the text wrapped at word boundaries to Width.
int gTextHeightWrapped(TCanvas& canvas, const std::string& text, int width);

// ---------------------------------------------------------------------------------------------------
// Frames and fills

void gDrawFocusRect(TCanvas& canvas, const TRect& rect);

// 0 sunken double edge, 1 raised double edge, 2 a one-pixel outline in the button-shadow colour (the
// canvas brush fills it); other styles draw nothing.
void gDrawEdge(TCanvas& canvas, const TRect& rect, int style);
// A small scroll button of a legend or table: the button face with its frame (sunken while pressed)
// and a triangle 8 pixels wide pointing up or down, black, or grey when disabled.
void gDrawScrollButton(TCanvas& canvas, const TRect& rect, bool pressed, bool enabled, bool up);

enum class TgFillDirection {
    ifdTopBottom,
    ifdBottomTop,
    ifdLeftRight,
    ifdRightLeft,
    ifdTopLeftBottomRight,
    ifdBottomRightTopLeft,
    ifdBottomLeftTopRight,
    ifdTopRightBottomLeft,
    ifdRectangleOut,
    ifdRectangleIn,
    ifdCircleOut,
    ifdCircleIn
};

// Fills Rect with strokes running from StartColor to StopColor in the direction given (the second
// direction of each pair runs the colours the other way). The diagonal, rectangle and circle fills
// work from the origin and assume a rectangle that starts there. A rectangle with room for only one
// stroke gets that stroke in StartColor. The brush is left clear.
void gDrawGradient(TCanvas& canvas, const TRect& rect, TgFillDirection direction, TColor startColor,
                   TColor stopColor);
// The same fill under the name the frame's callers use.
inline void gGradientFill(TCanvas& canvas, const TRect& rect, TgFillDirection direction, TColor startColor,
                          TColor stopColor) {
    gDrawGradient(canvas, rect, direction, startColor, stopColor);
}

// ---------------------------------------------------------------------------------------------------
// Points and rectangles

struct TgDoublePoint {
    double X = 0, Y = 0;
    friend bool operator==(const TgDoublePoint&, const TgDoublePoint&) = default;
};

// (X, Y), or (Y, X) when Reversed.
TPoint gSwapPoint(bool reversed, int x, int y);
// Left <= Right and Top <= Bottom from two corners.
TRect gRectFromCorners(int x1, int y1, int x2, int y2);
// gRectFromCorners with X and Y exchanged in both corners when Reversed.
TRect gSwapRect(bool reversed, int x1, int y1, int x2, int y2);
void gSwapIntegers(int& a, int& b);
TgDoublePoint gDoublePoint(double x, double y);

// ---------------------------------------------------------------------------------------------------
// Numbers and time

// Decimals for value texts: with fixed decimal points Precision itself; with significant digits the
// decimals that show Precision significant digits of the span |B - A| (0 for Precision <= 0).
int gPrecisionToDecimals(int precision, TgPrecisionStyle style, double a, double b);

// Whole units of a span in days (time as fraction). A negative span, and one too long for an int,
// gives 2147483647; for minutes a negative span gives 10000.
int gDateTimeToMilliseconds(double span);
int gDateTimeToSeconds(double span);
int gDateTimeToMinutes(double span);
int gDateTimeToHours(double span);

// ---------------------------------------------------------------------------------------------------
// Keyboard, owners and focus

// The key is held now. Tests may fix the answers (gSetKeyStateForTests(-1, -1) asks the system again).
bool gShiftKeyDown();
bool gCtrlKeyDown();
void gSetKeyStateForTests(int shiftDown, int ctrlDown);

// Walks the owner chain upwards from the component's owner: the first form, else the last windowed
// control met, else null.
TWinControl* gGetOwnerForm(TComponent* component);
// Gives the keyboard focus to the control when it can take it.
void gSetFocusControl(TWinControl* control);
// Shows the page at index when index is below the page count; otherwise nothing (a negative index
// shows no page, so a stored -1 restores "none").
void gSetActivePageIndex(TPageControl* pageControl, int index);
// The index of the shown page, -1 when none is shown (or there is no control).
int gGetActivePageIndex(const TPageControl* pageControl);

// ---------------------------------------------------------------------------------------------------
// Paper

double gMillimetersToInches(double value);
// The sheet size in inches of a printer paper-size code (1 to 68); other codes give Letter.
void gGetPaperSize(int paperCode, double& width, double& height);
// The sheet size in inches of the default printer's page (swapped in landscape); without a printer,
// of the page the print-to-file fallback uses.
void gGetPrinterPaperSize(double& width, double& height);

} // namespace kv
