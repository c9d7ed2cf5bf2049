#pragma once
// The splash screen's small tag language modelled on HTML: fonts, colours, breaks, paragraphs, lists,
// links, images, rules and a few text effects, laid out in a rectangle and measured or drawn through
// the smoothed drawing layer. Malformed text never fails: unknown tags are skipped, an unterminated
// tag ends the text.

#include "platform/gui/Graphics.h"
#include "styled/StTrackBar.h"
#include "styled/gdiplus/GDIPlus.h"

#include <string>

namespace kv {

class TGDIPPictureContainer;

struct TFormattedTextParams {
    TGPGraphics* Graphics = nullptr; // needed for measuring too
    const TFont* Font = nullptr;     // the base font; the renderer works on copies
    std::string Text;
    int LineSpacing = 2;
    const TGDIPPictureContainer* Container = nullptr;
    int HitX = 0, HitY = 0;
    const TTickImageList* Images = nullptr;
    TRect Rect;
    TColor ShadowColor = 0x808080;
    int ShadowOffset = 5;
    TColor URLColor = clBlue;
    TColor HoverLinkColor = clNone, HoverLinkBkColor = clNone;
    int HoverLink = -1, FocusLink = -1;
    double ImageScale = 1.0;
    bool WordWrap = true;
    bool HoverOnlyLinks = false;
    bool IgnoreBlink = false, IgnoreColors = false, ScaledIcons = false;
    bool MeasureOnly = false;
};

struct TFormattedTextResult {
    int Width = 0;  // widest line + 2
    int Height = 0; // sum of line heights + 2, at least the height of "gh" + 2
    int LinkCount = 0;
    std::string PlainText; // runs without tags, CR for each line break
    std::string HitLink;   // address of the link under the hit point
    int HitLinkIndex = -1;
    TRect HitLinkRect;
    std::string FocusLink;
    bool OnLink = false;
};

// Measures and, unless MeasureOnly, draws. Returns true when the hit point lies on a link.
bool DrawFormattedText(const TFormattedTextParams& params, TFormattedTextResult& result);

// Framework colour of a name ("clRed", any case; system colour names too); black for unknown names.
TColor ColorFromName(const std::string& name);
// "#RRGGBB" as a framework colour (red in the lowest byte); a pair of fewer than two digits counts 0.
TColor HexToColor(const std::string& text);
// The text after the first preparation step: entities replaced until none is left.
std::string ReplaceTextEntities(const std::string& text);
// Draws the shell icon of a file, folder or icon number at (x, y); false when there is none.
bool DrawShellIcon(TGPGraphics* graphics, const std::string& path, bool large, int x, int y, double scale,
                   bool scaled, TSize* size);

} // namespace kv
