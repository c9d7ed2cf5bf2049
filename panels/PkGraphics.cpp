#include "panels/PkGraphics.h"

#include "panels/PkCommon.h"
#include "platform/core/Numbers.h"
#include "platform/gui/GdiOps.h"

#include <QDir>
#include <QEvent>
#include <QFontDatabase>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace kv {

std::vector<std::string> EnumIdents(TSide) {
    return {"sdLeft", "sdTop", "sdRight", "sdBottom"};
}
std::vector<std::string> EnumIdents(TFrameStyleEx) {
    return {"fsNone",   "fsFlat",     "fsGroove", "fsBump",  "fsLowered",  "fsButtonDown",
            "fsRaised", "fsButtonUp", "fsStatus", "fsPopup", "fsFlatBold", "fsFlatRounded"};
}
std::vector<std::string> EnumIdents(TGradientDirection) {
    return {"gdDiagonalUp",  "gdDiagonalDown",   "gdHorizontalEnd", "gdHorizontalCenter", "gdHorizontalBox",
            "gdVerticalEnd", "gdVerticalCenter", "gdVerticalBox",   "gdSquareBox",        "gdBigSquareBox"};
}
std::vector<std::string> EnumIdents(TTextStyle) {
    return {"tsNormal", "tsRaised", "tsRecessed", "tsShadow"};
}
std::vector<std::string> EnumIdents(TAlignmentVertical) {
    return {"avTop", "avCenter", "avBottom"};
}
std::vector<std::string> EnumIdents(TFramingPreference) {
    return {"fpCustomFraming", "fpXPThemes"};
}
std::vector<std::string> EnumIdents(TPkVisualStyle) {
    return {"vsClassic", "vsWinXP", "vsGradient"};
}
std::vector<std::string> EnumIdents(TPkGradientColorStyle) {
    return {"gcsSystem", "gcsMSOffice", "gcsCustom"};
}
std::vector<std::string> EnumIdents(TButtonState) {
    return {"bsUp", "bsDisabled", "bsDown", "bsExclusive"};
}

KV_REGISTER_CLASS(TPkAboutInfo, TPersistent, b) {}

// Read for real by the pack's start-up; nothing may be read from storage during static initialisation.
std::uint8_t CurrentColorScheme = 0;
bool FullColorDisplay = true;

void PkGraphicsStartUp() {
    CurrentColorScheme = DetectColorScheme();
    FullColorDisplay = ScreenHasFullColor();
}

bool ThemesEnabled() {
    return false;
}

// ---------------------------------------------------------------------------------------------------
// Colours

namespace {

int R(TColor c) {
    return c & 0xFF;
}
int G(TColor c) {
    return (c >> 8) & 0xFF;
}
int B(TColor c) {
    return (c >> 16) & 0xFF;
}
std::uint8_t ClampByte(int v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

} // namespace

THslBytes ColorToHslBytes(TColor color) {
    TColor c = ColorToRGB(color);
    double r = R(c) / 255.0, g = G(c) / 255.0, b = B(c) / 255.0;
    double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    double l = (mx + mn) / 2, h = 0, s = 0;
    if (mx != mn) {
        double d = mx - mn;
        s = l < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
        if (r == mx)
            h = (g - b) / d;
        else if (g != mx)
            h = (r - g) / d + 4;
        else
            h = (b - r) / d + 2;
        h /= 6;
        if (h < 0)
            h += 1;
    }
    return {ClampByte(RoundEven(h * 240)), ClampByte(RoundEven(s * 240)), ClampByte(RoundEven(l * 240))};
}

std::uint8_t HueOfColor(TColor color) {
    return ColorToHslBytes(color).H;
}

TColor HslBytesToColor(int hue, int saturation, int luminance) {
    double l = luminance / 240.0, s = saturation / 240.0;
    double m2 = l < 0.5 ? l * (1 + s) : l + s - l * s;
    if (m2 <= 0)
        return clBlack;
    double h6 = hue / 239.0 * 6;
    int sextant = static_cast<int>(h6);
    double f = h6 - sextant;
    double m1 = 2 * l - m2;
    double rising = m1 + (m2 - m1) * f, falling = m2 - (m2 - m1) * f;
    double r, g, b;
    switch (sextant) {
    case 1:
        r = falling, g = m2, b = m1;
        break;
    case 2:
        r = m1, g = m2, b = rising;
        break;
    case 3:
        r = m1, g = falling, b = m2;
        break;
    case 4:
        r = rising, g = m1, b = m2;
        break;
    case 5:
        r = m2, g = m1, b = falling;
        break;
    default:
        r = m2, g = rising, b = m1;
        break;
    }
    auto channel = [](double v) { return static_cast<int>(ClampByte(RoundEven(std::min(v, 1.0) * 255))); };
    return RGB(channel(r), channel(g), channel(b));
}

TColor DimColor(TColor color, std::uint8_t amount) {
    THslBytes h = ColorToHslBytes(color);
    return HslBytesToColor(h.H, h.S, std::max(h.L - amount, 0));
}

TColor BrightenColor(TColor color, std::uint8_t amount) {
    THslBytes h = ColorToHslBytes(color);
    return HslBytesToColor(h.H, h.S, std::min(h.L + amount, 255));
}

TColor ShiftColorLuminance(TColor color, int amount) {
    if (amount < 0)
        return DimColor(color, ClampByte(-amount));
    if (amount > 0)
        return BrightenColor(color, ClampByte(amount));
    return color;
}

TColor MixColors(TColor a, TColor b, std::uint8_t weight) {
    TColor ca = ColorToRGB(a), cb = ColorToRGB(b);
    float x = static_cast<float>(weight) / 255.0f;
    auto mix = [x](int va, int vb) {
        return RoundEven(static_cast<float>(va) * x + (1.0f - x) * static_cast<float>(vb));
    };
    return RGB(mix(R(ca), R(cb)), mix(G(ca), G(cb)), mix(B(ca), B(cb)));
}

bool ColorsLookAlike(TColor a, TColor b) {
    THslBytes ha = ColorToHslBytes(a), hb = ColorToHslBytes(b);
    return std::abs(ha.H - hb.H) < 20 && std::abs(ha.L - hb.L) < 60;
}

TColor OppositeHueColor(TColor color, std::uint8_t luminance) {
    int hue = HueOfColor(color);
    hue = hue < 120 ? hue + 120 : hue - 120;
    return HslBytesToColor(hue, 240, luminance);
}

TColor ThemePartColor(int kind) {
    if (!ThemesEnabled())
        return clBtnFace;
    // Without a theme service every element answers as the classic face would.
    return kind >= 0 && kind <= 7 ? clBtnFace : clWhite;
}

std::uint8_t DetectColorScheme() {
    // The current user's key, through the registry of the fixed profile (an INI file per root key).
    std::string name;
    try {
        TPkRegIniFile reg(nullptr);
        reg.SetPathType(TPkPathType::ptRegistry);
        reg.SetRegKey(TPkRegKey::hkeyCurrentUser);
        reg.SetPath("\\Software\\Microsoft\\Windows\\CurrentVersion");
        name = reg.ReadString("ThemeManager", "ColorName", "");
    } catch (const std::exception&) {
        return 0;
    }
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (name == "HOMESTEAD")
        return 1;
    if (name == "METALLIC")
        return 2;
    return 0;
}

namespace {
struct TSchemeColors {
    TColor start, stop, frame;
};
constexpr TSchemeColors kSchemes[3] = {
    {0xFFEFE3, 0xEABB99, 0xBF7F57}, {0xEDFFFF, 0x92C7B8, 0x77A17F}, {0xFFF9F9, 0xD0BCBD, 0xB19F9F}};
const TSchemeColors& Scheme() {
    return kSchemes[CurrentColorScheme < 3 ? CurrentColorScheme : 0];
}
} // namespace

void SchemeGradientColors(TPkGradientColorStyle style, TColor& start, TColor& stop) {
    if (style == TPkGradientColorStyle::gcsMSOffice && ThemesEnabled()) {
        start = Scheme().start;
        stop = Scheme().stop;
    } else {
        start = clWindow;
        stop = DimColor(clBtnFace, 10);
    }
}

TColor SchemeFrameColor(TPkGradientColorStyle style) {
    if (style == TPkGradientColorStyle::gcsMSOffice && ThemesEnabled())
        return Scheme().frame;
    return BrightenColor(clBtnShadow, 30);
}

void SchemeBannerColors(TPkGradientColorStyle style, TColor& stop, TColor& start, TColor& line) {
    if (style == TPkGradientColorStyle::gcsMSOffice && ThemesEnabled()) {
        stop = line = Scheme().stop;
        start = Scheme().start;
    } else {
        stop = DimColor(clBtnFace, 20);
        start = clWindow;
        line = DimColor(clBtnFace, 40);
    }
}

bool ScreenHasFullColor() {
    return true;
}

// ---------------------------------------------------------------------------------------------------
// Frames

namespace {

bool Has(TSides sides, TSide s) {
    return sides.Contains(s);
}

TRect Shrink(TRect r, TSides sides, int by) {
    if (Has(sides, TSide::sdLeft))
        r.Left += by;
    if (Has(sides, TSide::sdTop))
        r.Top += by;
    if (Has(sides, TSide::sdRight))
        r.Right -= by;
    if (Has(sides, TSide::sdBottom))
        r.Bottom -= by;
    return r;
}

void Line(TCanvas& c, int x0, int y0, int x1, int y1) {
    c.MoveTo(x0, y0);
    c.LineTo(x1, y1);
}

} // namespace

TRect PaintEdgeLines(TCanvas& canvas, TRect r, TColor ul, TSides sides, TColor lr) {
    if (ul != clNone) {
        canvas.Pen()->SetColor(ul);
        if (Has(sides, TSide::sdLeft))
            Line(canvas, r.Left, r.Top, r.Left, r.Bottom);
        if (Has(sides, TSide::sdTop))
            Line(canvas, r.Left, r.Top, r.Right, r.Top);
    }
    if (lr != clNone) {
        canvas.Pen()->SetColor(lr);
        if (Has(sides, TSide::sdRight))
            Line(canvas, r.Right - 1, r.Top, r.Right - 1, r.Bottom);
        if (Has(sides, TSide::sdBottom))
            Line(canvas, r.Left, r.Bottom - 1, r.Right, r.Bottom - 1);
    }
    return Shrink(r, sides, 1);
}

TRect PaintEdgeRings(TCanvas& canvas, TRect r, TColor ul, TSides sides, int count, TColor lr) {
    canvas.Pen()->SetWidth(1);
    for (int i = 0; i < count; ++i)
        r = PaintEdgeLines(canvas, r, ul, sides, lr);
    return r;
}

TRect PaintSystem3DEdge(TCanvas& canvas, TRect r, bool lowered, TSides sides) {
    if (lowered) {
        r = PaintEdgeLines(canvas, r, clBtnShadow, sides, clBtnHighlight);
        return PaintEdgeLines(canvas, r, cl3DDkShadow, sides, cl3DLight);
    }
    r = PaintEdgeLines(canvas, r, cl3DLight, sides, cl3DDkShadow);
    return PaintEdgeLines(canvas, r, clBtnHighlight, sides, clBtnShadow);
}

TRect PaintSystemButtonEdge(TCanvas& canvas, TRect r, bool lowered, TSides sides) {
    if (lowered) {
        r = PaintEdgeLines(canvas, r, clBtnText, sides, clBtnText);
        return PaintEdgeLines(canvas, r, clBtnShadow, sides, clBtnShadow);
    }
    r = PaintEdgeLines(canvas, r, clBtnHighlight, sides, cl3DDkShadow);
    return PaintEdgeLines(canvas, r, cl3DLight, sides, clBtnShadow);
}

TRect PaintSystemButtonEdgeAll(TCanvas& canvas, TRect r, bool lowered) {
    return PaintSystemButtonEdge(canvas, r, lowered, AllSides);
}

TRect PaintTintedButtonEdge(TCanvas& canvas, TRect r, TColor face, TSides sides, bool lowered) {
    TColor d100 = DimColor(face, 100), d50 = DimColor(face, 50);
    if (lowered) {
        r = PaintEdgeLines(canvas, r, d100, sides, d100);
        return PaintEdgeLines(canvas, r, d50, sides, d50);
    }
    r = PaintEdgeLines(canvas, r, BrightenColor(face, 100), sides, d100);
    return PaintEdgeLines(canvas, r, BrightenColor(face, 40), sides, d50);
}

TRect PaintTintedButtonEdgeAll(TCanvas& canvas, TRect r, TColor face, bool lowered) {
    return PaintTintedButtonEdge(canvas, r, face, AllSides, lowered);
}

TRect PaintEtchedPair(TCanvas& canvas, TRect r, TColor ul, TColor lr, TSides sides) {
    bool left = Has(sides, TSide::sdLeft), top = Has(sides, TSide::sdTop), right = Has(sides, TSide::sdRight),
         bottom = Has(sides, TSide::sdBottom);
    int l = r.Left, t = r.Top, rr = r.Right, b = r.Bottom;
    if (right)
        canvas.SetPixel(rr - 1, t, lr);
    else if (top)
        canvas.SetPixel(rr - 1, t, ul);
    if (bottom)
        canvas.SetPixel(l, b - 1, lr);
    else if (left)
        canvas.SetPixel(l, b - 1, ul);
    if (top && !left)
        canvas.SetPixel(l, t + 1, lr);
    if (left && !top)
        canvas.SetPixel(l + 1, t, lr);
    if (bottom && !right)
        canvas.SetPixel(rr - 1, b - 2, ul);
    if (right && !bottom)
        canvas.SetPixel(rr - 2, b - 1, ul);
    PaintEdgeLines(canvas, {l + 1, t + 1, rr, b}, lr, sides, lr);
    PaintEdgeLines(canvas, {l, t, rr - 1, b - 1}, ul, sides, ul);
    return Shrink(r, sides, 2);
}

TRect PaintFrameStyle(TCanvas& canvas, TRect r, TFrameStyle style, TSides sides) {
    using F = TFrameStyleEx;
    switch (style) {
    case F::fsFlat:
        return PaintEdgeLines(canvas, r, cl3DDkShadow, sides, cl3DDkShadow);
    case F::fsStatus:
        return PaintEdgeLines(canvas, r, clBtnShadow, sides, clBtnHighlight);
    case F::fsPopup:
        return PaintEdgeLines(canvas, r, clBtnHighlight, sides, clBtnShadow);
    case F::fsLowered:
        return PaintSystem3DEdge(canvas, r, true, sides);
    case F::fsRaised:
        return PaintSystem3DEdge(canvas, r, false, sides);
    case F::fsButtonDown:
        return PaintSystemButtonEdge(canvas, r, true, sides);
    case F::fsButtonUp:
        return PaintSystemButtonEdge(canvas, r, false, sides);
    case F::fsFlatBold:
        return PaintEdgeRings(canvas, r, clBtnShadow, sides, 2, clBtnShadow);
    case F::fsGroove:
        return PaintEtchedPair(canvas, r, clBtnShadow, clBtnHighlight, sides);
    case F::fsBump:
        return PaintEtchedPair(canvas, r, clBtnHighlight, clBtnShadow, sides);
    default:
        return r;
    }
}

TRect PaintFrameStyleAll(TCanvas& canvas, TRect r, TFrameStyle style) {
    return PaintFrameStyle(canvas, r, style, AllSides);
}

TRect PaintTintedFrameStyle(TCanvas& canvas, TRect r, TColor face, TSides sides, TFrameStyleEx style) {
    using F = TFrameStyleEx;
    if (style == F::fsNone)
        return r;
    TColor d50 = DimColor(face, 50), d100 = DimColor(face, 100), b50 = BrightenColor(face, 50),
           b100 = BrightenColor(face, 100);
    switch (style) {
    case F::fsFlat:
        return PaintEdgeLines(canvas, r, d50, sides, d50);
    case F::fsGroove:
        return PaintEtchedPair(canvas, r, d50, b100, sides);
    case F::fsLowered:
        r = PaintEdgeLines(canvas, r, d50, sides, b100);
        return PaintEdgeLines(canvas, r, d100, sides, b50);
    case F::fsRaised:
        r = PaintEdgeLines(canvas, r, b50, sides, d100);
        return PaintEdgeLines(canvas, r, b100, sides, d50);
    case F::fsButtonDown:
        return PaintTintedButtonEdge(canvas, r, face, sides, true);
    case F::fsButtonUp:
        return PaintTintedButtonEdge(canvas, r, face, sides, false);
    case F::fsStatus:
        return PaintEdgeLines(canvas, r, d50, sides, b100);
    case F::fsPopup:
        return PaintEdgeLines(canvas, r, b100, sides, d50);
    case F::fsFlatBold:
        return PaintEdgeRings(canvas, r, d50, sides, 2, d50);
    default: // fsBump and anything else
        return PaintEtchedPair(canvas, r, b100, d50, sides);
    }
}

TRect PaintTintedFrameStyleAll(TCanvas& canvas, TRect r, TColor face, TFrameStyleEx style) {
    return PaintTintedFrameStyle(canvas, r, face, AllSides, style);
}

TRect PaintBoxOutline(TCanvas& canvas, TRect r, TColor color) {
    PaintEdgeLines(canvas, r, color, AllSides, color);
    return {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
}

TRect PaintDottedOutline(TCanvas& canvas, TRect r) {
    for (int x = r.Left + 1; x < r.Right; x += 2) {
        canvas.SetPixel(x, r.Top, clBlack);
        canvas.SetPixel(x, r.Bottom - 1, clBlack);
    }
    for (int y = r.Top + 1; y < r.Bottom; y += 2) {
        canvas.SetPixel(r.Left, y, clBlack);
        canvas.SetPixel(r.Right - 1, y, clBlack);
    }
    return {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
}

TRect PaintRoundedOutline(TCanvas& canvas, TRect r, TColor color, TSides sides) {
    bool left = Has(sides, TSide::sdLeft), top = Has(sides, TSide::sdTop), right = Has(sides, TSide::sdRight),
         bottom = Has(sides, TSide::sdBottom);
    canvas.Pen()->SetColor(color);
    int y0 = top ? r.Top + 2 : r.Top, y1 = bottom ? r.Bottom - 2 : r.Bottom;
    int x0 = left ? r.Left + 2 : r.Left, x1 = right ? r.Right - 2 : r.Right;
    if (left)
        Line(canvas, r.Left, y0, r.Left, y1);
    if (top)
        Line(canvas, x0, r.Top, x1, r.Top);
    if (right)
        Line(canvas, r.Right - 1, y0, r.Right - 1, y1);
    if (bottom)
        Line(canvas, x0, r.Bottom - 1, x1, r.Bottom - 1);
    if (left && top)
        canvas.SetPixel(r.Left + 1, r.Top + 1, color);
    if (right && top)
        canvas.SetPixel(r.Right - 2, r.Top + 1, color);
    if (right && bottom)
        canvas.SetPixel(r.Right - 2, r.Bottom - 2, color);
    if (left && bottom)
        canvas.SetPixel(r.Left + 1, r.Bottom - 2, color);
    return Shrink(r, sides, 2);
}

namespace {

// The flat, bold, status and popup branches shared by the outer and inner styles of a frame pair.
bool PaintFlatStyles(TCanvas& canvas, TRect& r, TFrameStyleEx style, TColor f, TColor shadow,
                     TColor highlight, int bevelWidth, TSides sides) {
    using F = TFrameStyleEx;
    switch (style) {
    case F::fsFlat:
        r = PaintEdgeRings(canvas, r, f, sides, 1, f);
        return true;
    case F::fsFlatBold:
        r = PaintEdgeRings(canvas, r, f, sides, 2, f);
        return true;
    case F::fsStatus:
        r = PaintEdgeRings(canvas, r, shadow, sides, bevelWidth, highlight);
        return true;
    case F::fsPopup:
        r = PaintEdgeRings(canvas, r, highlight, sides, bevelWidth, shadow);
        return true;
    default:
        return false;
    }
}

} // namespace

TRect PaintFramePair(TCanvas& canvas, TRect r, TFrameStyleEx outerStyle, bool transparent, TColor parentColor,
                     TColor color, int flatAdjustment, TColor flatColor, TColor shadowColor,
                     TColor highlightColor, TColor borderColor, int bevelWidth, TSides sides, int borderWidth,
                     TFrameStyleEx innerStyle) {
    using F = TFrameStyleEx;
    TColor f = ShiftColorLuminance(flatColor, flatAdjustment);
    bool bordered = borderWidth > 0 || innerStyle != F::fsNone;
    if (outerStyle == F::fsFlatRounded) {
        if (!transparent) {
            TRect in = PaintEdgeRings(canvas, r, parentColor, sides, 1, parentColor);
            TColor ring = bordered ? borderColor : color;
            PaintEdgeRings(canvas, in, ring, sides, 1, ring);
        } else if (bordered) {
            TRect in = Shrink(r, sides, 1);
            PaintEdgeRings(canvas, in, borderColor, sides, 1, borderColor);
        }
        r = PaintRoundedOutline(canvas, r, f, sides);
    } else if (!PaintFlatStyles(canvas, r, outerStyle, f, shadowColor, highlightColor, bevelWidth, sides)) {
        r = PaintFrameStyle(canvas, r, outerStyle, sides);
    }
    if (borderWidth > 0)
        r = PaintEdgeRings(canvas, r, borderColor, sides, borderWidth, borderColor);
    if (innerStyle == F::fsFlatRounded) {
        if (!transparent) {
            TRect in = PaintEdgeRings(canvas, r, borderColor, sides, 1, borderColor);
            PaintEdgeRings(canvas, in, color, sides, 1, color);
        } else {
            PaintEdgeRings(canvas, r, borderColor, sides, 1, borderColor);
        }
        r = PaintRoundedOutline(canvas, r, f, sides);
    } else if (!PaintFlatStyles(canvas, r, innerStyle, f, shadowColor, highlightColor, bevelWidth, sides)) {
        r = PaintFrameStyle(canvas, r, innerStyle, sides);
    }
    return r;
}

int FrameStyleThickness(TFrameStyleEx style, int bevelWidth) {
    using F = TFrameStyleEx;
    switch (style) {
    case F::fsNone:
        return 0;
    case F::fsFlat:
        return 1;
    case F::fsStatus:
    case F::fsPopup:
        return bevelWidth;
    default:
        return 2;
    }
}

TRect AdjustRectForFrame(TRect r, TFrameStyleEx style, int bevelWidth, TSides sides) {
    return Shrink(r, sides, FrameStyleThickness(style, bevelWidth));
}

void PaintDropArrow(TCanvas& canvas, TRect r, int style, bool enabled) {
    if (IsWindowsAtLeast(7))
        style = 2;
    TColor saved = canvas.Brush()->Color();
    TColor arrow;
    if (!enabled)
        arrow = clBtnShadow;
    else
        // The themed drop button of style 1 does not exist in the classic profile; it draws as style 0.
        arrow = ColorsLookAlike(saved, clBlack) ? cl3DDkShadow : clBlack;
    int x = r.Left + (r.Right - r.Left) / 2;
    int y = r.Top + (r.Bottom - r.Top) / 2;
    if ((r.Bottom - r.Top) % 2 == 0)
        y -= 1;
    canvas.Brush()->SetColor(arrow);
    if (style == 1) {
        canvas.Pen()->SetStyle(TPenStyle::psClear);
        canvas.Polygon(
            {{x, y + 4}, {x - 4, y - 1}, {x - 3, y - 3}, {x, y + 1}, {x + 3, y - 3}, {x + 5, y - 1}});
    } else {
        // The filled triangle (x, y+2), (x-3, y-2), (x+4, y-2) without its outline: rows of 7, 5, 3 and 1
        // pixels.
        for (int k = 0; k < 4; ++k)
            canvas.FillRect({x - 3 + k, y - 2 + k, x + 4 - k, y - 1 + k});
    }
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    canvas.Brush()->SetColor(saved);
}

void PaintGradientRim(TCanvas& canvas, TRect r, TGradientDirection direction, TColor start, TColor stop) {
    if (!FullColorDisplay || !canvas.Target())
        return;
    // The inner area is kept as it was: only the 2-pixel rim takes the gradient.
    QRect inner(r.Left + 2, r.Top + 2, r.Width() - 4, r.Height() - 4);
    QImage saved = inner.isValid() ? canvas.Target()->copy(inner) : QImage();
    FillGradient(canvas, r, direction, 1, start, stop);
    if (!saved.isNull()) {
        QPainter p(canvas.Target());
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(inner.topLeft(), saved);
    }
}

void InvalidateTransparentChildren(TWinControl* panel) {
    if (!panel)
        return;
    for (int i = 0; i < panel->ControlCount(); ++i) {
        TControl* c = panel->Controls(i);
        const TPropInfo* p = c->ClassInfo().FindProp("Transparent");
        if (p && p->GetOrd && p->GetOrd(*c) != 0)
            c->Invalidate();
    }
}

// ---------------------------------------------------------------------------------------------------
// Gradients

namespace {

struct TBand {
    int pos, len;
    QRgb color;
};

// Bands of equal colour over n pixels from `from` to `to` (16.16 fixed point per channel); a band is at
// least k pixels long.
std::vector<TBand> Bands(TColor from, TColor to, int n, int bandSteps) {
    std::vector<TBand> out;
    if (n <= 0)
        return out;
    int k = bandSteps <= 8 ? bandSteps : 255 / std::max(bandSteps, 1) + 1;
    k = std::max(k, 1);
    int ch0[3] = {R(from), G(from), B(from)}, ch1[3] = {R(to), G(to), B(to)};
    long long acc[3], step[3];
    for (int c = 0; c < 3; ++c) {
        acc[c] = static_cast<long long>(ch0[c]) << 16;
        step[c] = ((static_cast<long long>(ch1[c]) << 16) - (static_cast<long long>(ch0[c]) << 16)) / n;
    }
    auto colourAt = [&](int i) {
        return qRgb(static_cast<int>((acc[0] + step[0] * i) >> 16),
                    static_cast<int>((acc[1] + step[1] * i) >> 16),
                    static_cast<int>((acc[2] + step[2] * i) >> 16));
    };
    int i = 0;
    while (i < n) {
        QRgb c = colourAt(i);
        int len = 1;
        while (i + len < n && (len < k || colourAt(i + len) == c))
            ++len;
        out.push_back({i, len, c});
        i += len;
    }
    return out;
}

void Fill(QImage& img, int x, int y, int w, int h, QRgb c) {
    QRect area = img.rect() & QRect(x, y, w, h);
    for (int py = area.top(); py <= area.bottom(); ++py) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(py));
        for (int px = area.left(); px <= area.right(); ++px)
            line[px] = 0xFF000000u | c;
    }
}

void CenterGradient(QImage& img, bool horizontalBands, int bandSteps, TColor start, TColor stop) {
    int w = img.width(), h = img.height();
    int across = horizontalBands ? h : w; // the axis the colour changes along
    int strip = std::min(8, horizontalBands ? w : h);
    int mid = across / 2;
    auto put = [&](int pos, int len, QRgb c) {
        if (horizontalBands)
            Fill(img, 0, pos, strip, len, c);
        else
            Fill(img, pos, 0, len, strip, c);
    };
    // From the stop colour at the middle outwards to the start colour at both edges.
    for (const TBand& b : Bands(stop, start, mid + 1, bandSteps))
        put(mid - b.pos - b.len + 1, b.len, b.color);
    for (const TBand& b : Bands(stop, start, across - mid, bandSteps))
        put(mid + b.pos, b.len, b.color);
    // Doubling copies sideways until the image is full.
    int filled = strip, total = horizontalBands ? w : h;
    while (filled < total) {
        int n = std::min(filled, total - filled);
        QImage part = horizontalBands ? img.copy(0, 0, n, h) : img.copy(0, 0, w, n);
        QPainter p(&img);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        if (horizontalBands)
            p.drawImage(filled, 0, part);
        else
            p.drawImage(0, filled, part);
        filled += n;
    }
}

void BoxGradient(QImage& img, TGradientDirection d, TColor start, TColor stop) {
    int w = img.width(), h = img.height();
    img.fill(0xFF000000u | ToQRgb(start));
    if (start == stop || w < 5 || h <= 4)
        return;
    int hx = (w - 1) / 2, hy = (h - 1) / 2;
    int ix =
        (d == TGradientDirection::gdHorizontalBox || d == TGradientDirection::gdBigSquareBox) ? w / 4 : 0;
    int iy = (d == TGradientDirection::gdVerticalBox || d == TGradientDirection::gdBigSquareBox) ? h / 4 : 0;
    int cx = std::max(hx - ix, 0), cy = std::max(hy - iy, 0);
    int steps = std::max(cx, cy) + 1;
    long long sx = (static_cast<long long>(cx) << 16) / steps,
              sy = (static_cast<long long>(cy) << 16) / steps;
    std::vector<QRgb> colours(static_cast<std::size_t>(steps));
    for (const TBand& b : Bands(stop, start, steps, 1))
        for (int i = b.pos; i < b.pos + b.len; ++i)
            colours[static_cast<std::size_t>(i)] = b.color;
    // Nested rectangles from the outer band to the centre (stop colour) leave L-shaped bands.
    for (int i = steps - 1; i >= 0; --i) {
        int x = static_cast<int>(((static_cast<long long>(cx) << 16) - sx * i) >> 16);
        int y = static_cast<int>(((static_cast<long long>(cy) << 16) - sy * i) >> 16);
        Fill(img, x, y, hx + 1 - x, hy + 1 - y, colours[static_cast<std::size_t>(i)]);
    }
    // Mirror the top half down and the left half across.
    for (int y = hy + 1; y < h; ++y)
        for (int x = 0; x <= hx; ++x)
            img.setPixel(x, y, img.pixel(x, h - 1 - y));
    for (int y = 0; y < h; ++y)
        for (int x = hx + 1; x < w; ++x)
            img.setPixel(x, y, img.pixel(w - 1 - x, y));
}

void DiagonalGradient(QImage& img, bool down, TColor start, TColor stop) {
    int w = img.width(), h = img.height();
    int steps = static_cast<int>(std::sqrt(static_cast<double>(w) * w + static_cast<double>(h) * h)) + 1;
    std::vector<QRgb> colours(static_cast<std::size_t>(steps));
    for (const TBand& b : Bands(start, stop, steps, 1))
        for (int i = b.pos; i < b.pos + b.len; ++i)
            colours[static_cast<std::size_t>(i)] = b.color;
    // Bands perpendicular to the diagonal: the start colour in the bottom-left corner (bottom-right when
    // mirrored), the stop colour in the opposite one.
    double len2 = static_cast<double>(w) * w + static_cast<double>(h) * h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int px = down ? w - 1 - x : x;
            double t = (static_cast<double>(px) * w + static_cast<double>(h - 1 - y) * h) / len2;
            int i = std::clamp(static_cast<int>(t * (steps - 1)), 0, steps - 1);
            img.setPixel(x, y, 0xFF000000u | colours[static_cast<std::size_t>(i)]);
        }
}

} // namespace

void FillGradient(TCanvas& canvas, TRect r, TGradientDirection direction, int bandSteps, TColor start,
                  TColor stop) {
    QImage* target = canvas.Target();
    if (!target)
        return;
    TColor a = ColorToRGB(start), b = ColorToRGB(stop);
    using D = TGradientDirection;
    if (direction == D::gdHorizontalEnd || direction == D::gdVerticalEnd) {
        GradientFillRect(*target, r, a, b, direction == D::gdHorizontalEnd);
        return;
    }
    int w = std::abs(r.Width()), h = std::abs(r.Height());
    if (w == 0 || h == 0)
        return;
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(0xFF000000u | ToQRgb(a));
    switch (direction) {
    case D::gdHorizontalCenter:
        CenterGradient(img, true, bandSteps, a, b);
        break;
    case D::gdVerticalCenter:
        CenterGradient(img, false, bandSteps, a, b);
        break;
    case D::gdDiagonalUp:
    case D::gdDiagonalDown:
        DiagonalGradient(img, direction == D::gdDiagonalDown, a, b);
        break;
    default:
        BoxGradient(img, direction, a, b);
        break;
    }
    BitBlt(*target, r.Left, r.Top, w, h, &img, 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------------
// Bitmaps

void StretchTransparentMasked(TCanvas& canvas, TRect dest, const TBitmap& bitmap, TRect src,
                              TColor transparent) {
    QImage* target = canvas.Target();
    int w = dest.Width(), h = dest.Height();
    if (!target || w <= 0 || h <= 0 || bitmap.Empty())
        return;
    TColor key = ColorToRGB(transparent);
    QImage image = StretchImage(bitmap.Image(), src, w, h);
    QImage mask = MonoMask(image, key);
    if (key != clBlack)
        BitBlt(image, 0, 0, w, h, &mask, 0, 0, 0x00220326); // transparent pixels to black (D and not S)
    BitBlt(*target, dest.Left, dest.Top, w, h, &mask, 0, 0, SRCAND);
    BitBlt(*target, dest.Left, dest.Top, w, h, &image, 0, 0, SRCPAINT);
}

void StretchTransparentDirect(TCanvas& canvas, TRect dest, const TBitmap& bitmap, TRect src,
                              TColor transparent) {
    QImage* target = canvas.Target();
    int w = dest.Width(), h = dest.Height();
    if (!target || w <= 0 || h <= 0 || bitmap.Empty())
        return;
    QImage image = StretchImage(bitmap.Image(), src, w, h);
    TransparentBlt(*target, dest, image, {0, 0, w, h}, transparent);
}

void StretchTransparentWhole(TCanvas& canvas, TRect dest, const TBitmap& bitmap, TColor transparent) {
    StretchTransparentMasked(canvas, dest, bitmap, {0, 0, bitmap.Width(), bitmap.Height()}, transparent);
}

void TileTransparent(TCanvas& canvas, TRect dest, const TBitmap& bitmap, TColor transparent) {
    int bw = bitmap.Width(), bh = bitmap.Height();
    if (bw <= 0 || bh <= 0)
        return;
    for (int y = dest.Top; y < dest.Bottom; y += bh)
        for (int x = dest.Left; x < dest.Right; x += bw) {
            int w = std::min(bw, dest.Right - x), h = std::min(bh, dest.Bottom - y);
            StretchTransparentMasked(canvas, {x, y, x + w, y + h}, bitmap, {0, 0, w, h}, transparent);
        }
}

void PaintParentImage(TControl* control, TCanvas& canvas, bool /*invalidateParent*/) {
    // The parent's picture is computed here rather than asked of the parent's window, so the parent
    // never has to repaint for it: invalidating it from inside a paint would only start a repaint loop.
    QImage* target = canvas.Target();
    if (!control || !control->Parent() || !target)
        return;
    QImage under = ParentBackground(control);
    if (under.isNull())
        return;
    QPainter p(target);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, under);
}

void PaintParentImageOnCanvas(TControl* control, TCanvas& canvas, bool invalidateParent) {
    PaintParentImage(control, canvas, invalidateParent);
}

// ---------------------------------------------------------------------------------------------------
// Text and platform

std::unique_ptr<TFont> CreateAngledFont(const TFont& font, int angle) {
    auto f = std::make_unique<TFont>();
    f->Assign(&font);
    f->SetOrientation(angle * 10);
    return f;
}

bool IsTrueTypeFont(const TFont& font) {
    return QFontDatabase::isSmoothlyScalable(QString::fromStdString(SubstituteFontFamily(font.Name())));
}

std::string StripAccelerators(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            if (text[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += text[i];
    }
    return out;
}

char LastCharOf(const std::string& text) {
    return text.empty() ? '\0' : text.back();
}

namespace {
char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
} // namespace

char AcceleratorOf(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return UpperAscii(caption[i + 1]);
    }
    return '\0';
}

bool MatchesAccelerator(const std::string& caption, char key) {
    const char accel = AcceleratorOf(caption);
    return accel && accel == UpperAscii(key);
}

int DrawTextIn(TCanvas& canvas, const std::string& text, TRect& r, unsigned flags) {
    return canvas.DrawText(text, r, flags);
}

void DrawTextCentred(TCanvas& canvas, const std::string& text, TRect r) {
    canvas.DrawText(text, r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

namespace {
class THoverWatcher : public QObject {
public:
    THoverWatcher(QObject* parent, std::function<void()> enter, std::function<void()> leave)
        : QObject(parent), FEnter(std::move(enter)), FLeave(std::move(leave)) {}
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Enter && FEnter)
            FEnter();
        else if (e->type() == QEvent::Leave && FLeave)
            FLeave();
        return QObject::eventFilter(watched, e);
    }

private:
    std::function<void()> FEnter, FLeave;
};
} // namespace

QObject* WatchMouseHover(TControl* control, std::function<void()> enter, std::function<void()> leave) {
    if (!control || !control->Widget())
        return nullptr;
    auto* w = new THoverWatcher(control->Widget(), std::move(enter), std::move(leave));
    control->Widget()->installEventFilter(w);
    return w;
}

namespace {
// The fixed profile answers as the NT line 6.1.
constexpr int kPlatform = 2, kMajor = 6, kMinor = 1;
} // namespace

bool IsWindowsVersion(int kind) {
    bool nt = kPlatform == 2, w9x = kPlatform == 1;
    switch (kind) {
    case 0:
        return w9x && kMajor <= 4 && kMinor == 0;
    case 1:
        return nt && kMajor <= 4;
    case 2:
        return w9x && kMajor <= 4 && kMinor == 10;
    case 3:
        return w9x && kMajor <= 4 && kMinor == 90;
    case 4:
        return nt && kMajor == 5 && kMinor == 0;
    case 5:
        return nt && kMajor == 5 && kMinor == 1;
    case 6:
        return nt && kMajor == 5 && kMinor == 2;
    case 7:
        return nt && kMajor == 6 && kMinor == 0;
    case 8:
        return nt && kMajor == 6 && kMinor == 1;
    default:
        return false;
    }
}

bool IsWindowsAtLeast(int kind) {
    bool nt = kPlatform == 2;
    switch (kind) {
    case 0:
        return kMajor > 3;
    case 1:
        return nt && kMajor > 3;
    case 2:
        return kMajor > 3 && kMinor > 9;
    case 3:
        return (kMajor >= 4 && kMinor >= 90) || kMajor > 4;
    case 4:
        return nt && kMajor > 4;
    case 5:
        return nt && ((kMajor == 5 && kMinor > 0) || kMajor > 5);
    case 6:
        return nt && ((kMajor > 4 && kMinor > 1) || kMajor > 5);
    case 7:
        return nt && kMajor > 5;
    case 8:
        return nt && ((kMajor > 5 && kMinor > 0) || kMajor > 6);
    default:
        return false;
    }
}

} // namespace kv
