#pragma once
// The panel and button pack's shared drawing routines: colour arithmetic in a 0..240 HSL space,
// frames and bevels for the pack's frame styles (system colours or shades of one face colour),
// rounded and dotted outlines, drop arrows, two-colour gradients, transparent bitmap blits, the
// parent-background painter, angled fonts and a few text helpers.
//
// Every frame routine takes a set of sides and returns the rectangle left inside the frame (the input
// shrunk on those sides only). The routines keep no state apart from the two process-wide values below.

#include "platform/gui/Controls.h"
#include "platform/gui/Graphics.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QObject;

namespace kv {

class TWinControl;

// ---------------------------------------------------------------------------------------------------
// Shared enumerations of the pack

enum class TSide { sdLeft, sdTop, sdRight, sdBottom };
std::vector<std::string> EnumIdents(TSide);
using TSides = TSet<TSide>;
inline constexpr TSides AllSides{TSide::sdLeft, TSide::sdTop, TSide::sdRight, TSide::sdBottom};

enum class TFrameStyleEx : std::uint8_t {
    fsNone,
    fsFlat,
    fsGroove,
    fsBump,
    fsLowered,
    fsButtonDown,
    fsRaised,
    fsButtonUp,
    fsStatus,
    fsPopup,
    fsFlatBold,
    fsFlatRounded
};
std::vector<std::string> EnumIdents(TFrameStyleEx);
// The sub-range fsNone..fsFlatBold; the system-colour frame routine takes only these.
using TFrameStyle = TFrameStyleEx;

enum class TGradientDirection : std::uint8_t {
    gdDiagonalUp,
    gdDiagonalDown,
    gdHorizontalEnd,
    gdHorizontalCenter,
    gdHorizontalBox,
    gdVerticalEnd,
    gdVerticalCenter,
    gdVerticalBox,
    gdSquareBox,
    gdBigSquareBox
};
std::vector<std::string> EnumIdents(TGradientDirection);

enum class TTextStyle { tsNormal, tsRaised, tsRecessed, tsShadow };
std::vector<std::string> EnumIdents(TTextStyle);
enum class TAlignmentVertical { avTop, avCenter, avBottom };
std::vector<std::string> EnumIdents(TAlignmentVertical);
enum class TFramingPreference { fpCustomFraming, fpXPThemes };
std::vector<std::string> EnumIdents(TFramingPreference);
enum class TPkVisualStyle { vsClassic, vsWinXP, vsGradient };
std::vector<std::string> EnumIdents(TPkVisualStyle);
enum class TPkGradientColorStyle { gcsSystem, gcsMSOffice, gcsCustom };
std::vector<std::string> EnumIdents(TPkGradientColorStyle);

// Button states shared by the pack's buttons.
enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
std::vector<std::string> EnumIdents(TButtonState);

// The design-time information property every control of the pack publishes as "About"; it carries
// nothing at run time.
class TPkAboutInfo : public TPersistent {
    KV_CLASS(TPkAboutInfo)
};

// ---------------------------------------------------------------------------------------------------
// Process-wide state: 0 default blue, 1 olive, 2 silver. Set at start-up (and by panels on a theme
// change); it only matters where visual styles are on, which the fixed profile never has.
extern std::uint8_t CurrentColorScheme;
extern bool FullColorDisplay;
// The pack's start-up: reads the colour scheme and the colour depth.
void PkGraphicsStartUp();
// Whether the platform draws with visual styles; always false in the fixed classic profile.
bool ThemesEnabled();

// ---------------------------------------------------------------------------------------------------
// Colours (all accept system colours; results are RGB)

struct THslBytes {
    std::uint8_t H = 0, S = 0, L = 0;
    friend bool operator==(THslBytes, THslBytes) = default;
};
THslBytes ColorToHslBytes(TColor color);
std::uint8_t HueOfColor(TColor color);
TColor HslBytesToColor(int hue, int saturation, int luminance);
TColor DimColor(TColor color, std::uint8_t amount);
TColor BrightenColor(TColor color, std::uint8_t amount);
// Negative dims by the magnitude, positive brightens, 0 returns the colour unchanged (not resolved).
TColor ShiftColorLuminance(TColor color, int amount);
// weight 0..255 is the share of A.
TColor MixColors(TColor a, TColor b, std::uint8_t weight);
bool ColorsLookAlike(TColor a, TColor b);
TColor OppositeHueColor(TColor color, std::uint8_t luminance);

TColor ThemePartColor(int kind);
std::uint8_t DetectColorScheme();
void SchemeGradientColors(TPkGradientColorStyle style, TColor& start, TColor& stop);
TColor SchemeFrameColor(TPkGradientColorStyle style);
void SchemeBannerColors(TPkGradientColorStyle style, TColor& stop, TColor& start, TColor& line);
bool ScreenHasFullColor();

// ---------------------------------------------------------------------------------------------------
// Frames

TRect PaintEdgeLines(TCanvas& canvas, TRect r, TColor ul, TSides sides, TColor lr);
TRect PaintEdgeRings(TCanvas& canvas, TRect r, TColor ul, TSides sides, int count, TColor lr);
TRect PaintSystem3DEdge(TCanvas& canvas, TRect r, bool lowered, TSides sides);
TRect PaintSystemButtonEdge(TCanvas& canvas, TRect r, bool lowered, TSides sides);
TRect PaintSystemButtonEdgeAll(TCanvas& canvas, TRect r, bool lowered);
TRect PaintTintedButtonEdge(TCanvas& canvas, TRect r, TColor face, TSides sides, bool lowered);
TRect PaintTintedButtonEdgeAll(TCanvas& canvas, TRect r, TColor face, bool lowered);
TRect PaintFrameStyle(TCanvas& canvas, TRect r, TFrameStyle style, TSides sides);
TRect PaintFrameStyleAll(TCanvas& canvas, TRect r, TFrameStyle style);
TRect PaintTintedFrameStyle(TCanvas& canvas, TRect r, TColor face, TSides sides, TFrameStyleEx style);
TRect PaintTintedFrameStyleAll(TCanvas& canvas, TRect r, TColor face, TFrameStyleEx style);
// The etched two-colour pair of the groove and bump styles.
TRect PaintEtchedPair(TCanvas& canvas, TRect r, TColor ul, TColor lr, TSides sides);
TRect PaintBoxOutline(TCanvas& canvas, TRect r, TColor color);
TRect PaintDottedOutline(TCanvas& canvas, TRect r);
TRect PaintRoundedOutline(TCanvas& canvas, TRect r, TColor color, TSides sides);
// The composite frame of panels, group boxes and labels: outer style, border rings, inner style.
TRect PaintFramePair(TCanvas& canvas, TRect r, TFrameStyleEx outerStyle, bool transparent, TColor parentColor,
                     TColor color, int flatAdjustment, TColor flatColor, TColor shadowColor,
                     TColor highlightColor, TColor borderColor, int bevelWidth, TSides sides, int borderWidth,
                     TFrameStyleEx innerStyle);
// Frame thickness of a style on one side, as the controls' border adjustment takes it off.
int FrameStyleThickness(TFrameStyleEx style, int bevelWidth);
// `r` shrunk by the style's thickness on the sides in the set.
TRect AdjustRectForFrame(TRect r, TFrameStyleEx style, int bevelWidth, TSides sides);

void PaintDropArrow(TCanvas& canvas, TRect r, int style, bool enabled);
void PaintGradientRim(TCanvas& canvas, TRect r, TGradientDirection direction, TColor start, TColor stop);
// Invalidates every child with a published "Transparent" property that is true.
void InvalidateTransparentChildren(TWinControl* panel);

// ---------------------------------------------------------------------------------------------------
// Gradients and bitmaps

void FillGradient(TCanvas& canvas, TRect r, TGradientDirection direction, int bandSteps, TColor start,
                  TColor stop);
void StretchTransparentDirect(TCanvas& canvas, TRect dest, const TBitmap& bitmap, TRect src,
                              TColor transparent);
void StretchTransparentMasked(TCanvas& canvas, TRect dest, const TBitmap& bitmap, TRect src,
                              TColor transparent);
void StretchTransparentWhole(TCanvas& canvas, TRect dest, const TBitmap& bitmap, TColor transparent);
void TileTransparent(TCanvas& canvas, TRect dest, const TBitmap& bitmap, TColor transparent);

// Paints what the control's parent shows beneath the control into `canvas` (control coordinates).
// Nothing happens without a parent. The device-context form of the old framework is the canvas here.
void PaintParentImage(TControl* control, TCanvas& canvas, bool invalidateParent);
void PaintParentImageOnCanvas(TControl* control, TCanvas& canvas, bool invalidateParent);

// ---------------------------------------------------------------------------------------------------
// Text, fonts and platform

// A copy of `font` turned by `angle` degrees counter-clockwise (the font handle of the old framework).
std::unique_ptr<TFont> CreateAngledFont(const TFont& font, int angle);
bool IsTrueTypeFont(const TFont& font);
std::string StripAccelerators(const std::string& text);
char LastCharOf(const std::string& text);
// The accelerator character after a single "&", upper-cased; 0 when there is none.
char AcceleratorOf(const std::string& caption);
// Whether `key`, in either case, is the caption's accelerator.
bool MatchesAccelerator(const std::string& caption, char key);
int DrawTextIn(TCanvas& canvas, const std::string& text, TRect& r, unsigned flags);
void DrawTextCentred(TCanvas& canvas, const std::string& text, TRect r);

// Makes the widget of `control` report the mouse entering and leaving it (the old framework's
// mouse-enter and mouse-leave notifications). The returned watcher lives with the widget; delete it
// to stop watching.
QObject* WatchMouseHover(TControl* control, std::function<void()> enter, std::function<void()> leave);

// Platform-version tests; the fixed profile answers as the newest platform line does.
bool IsWindowsVersion(int kind);
bool IsWindowsAtLeast(int kind);

} // namespace kv
