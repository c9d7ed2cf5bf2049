#include "plot/gDraw.h"

#include <algorithm>

namespace kv {

unsigned gTextOptionsToFlags(std::uint16_t o) {
    unsigned f = 0;
    if (o & gtoCenter)
        f |= DT_CENTER;
    if (o & gtoRight)
        f |= DT_RIGHT;
    if (o & gtoVCenter)
        f |= DT_VCENTER;
    if (o & gtoBottom)
        f |= DT_BOTTOM;
    if (o & gtoWordBreak)
        f |= DT_WORDBREAK;
    if (o & gtoSingleLine)
        f |= DT_SINGLELINE;
    if (o & gtoExpandTabs)
        f |= DT_EXPANDTABS;
    if (o & gtoNoClip)
        f |= DT_NOCLIP;
    if (!(o & gtoPrefix))
        f |= DT_NOPREFIX;
    if (o & gtoCalcRect)
        f |= DT_CALCRECT;
    if (o & gtoEndEllipsis)
        f |= DT_END_ELLIPSIS;
    return f;
}

TColor gLightenDarkenColor(TColor color, int amount, bool lighten) {
    TColor c = ColorToRGB(color);
    int d = lighten ? amount : -amount;
    auto part = [&](int shift) { return std::clamp(((c >> shift) & 0xFF) + d, 0, 255); };
    return RGB(part(0), part(8), part(16));
}

int gDrawText(TCanvas& canvas, const std::string& text, TRect& rect, std::uint16_t options, bool enabled,
              TColor color) {
    unsigned flags = gTextOptionsToFlags(options);
    if (enabled || (options & gtoCalcRect) || ColorToRGB(color) == 0) {
        TColor saved = canvas.Font()->Color();
        canvas.Font()->SetColor(color);
        int h = canvas.DrawText(text, rect, flags);
        canvas.Font()->SetColor(saved);
        return h;
    }
    TColor saved = canvas.Font()->Color();
    canvas.Font()->SetColor(gLightenDarkenColor(clBtnFace, 64, true));
    TRect moved{rect.Left + 1, rect.Top + 1, rect.Right + 1, rect.Bottom + 1};
    canvas.DrawText(text, moved, flags);
    canvas.Font()->SetColor(gLightenDarkenColor(clBtnFace, 32, false));
    int h = canvas.DrawText(text, rect, flags);
    canvas.Font()->SetColor(saved);
    return h;
}

namespace {
void Frame3D(TCanvas& c, TRect r, TColor topLeft, TColor bottomRight) {
    c.Pen()->SetStyle(TPenStyle::psSolid);
    c.Pen()->SetWidth(1);
    c.Pen()->SetColor(topLeft);
    c.MoveTo(r.Left, r.Bottom - 1);
    c.LineTo(r.Left, r.Top);
    c.LineTo(r.Right - 1, r.Top);
    c.Pen()->SetColor(bottomRight);
    c.LineTo(r.Right - 1, r.Bottom - 1);
    c.LineTo(r.Left - 1, r.Bottom - 1);
}
} // namespace

void gDrawEdge(TCanvas& canvas, const TRect& r, int style) {
    TRect inner{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    switch (style) {
    case 0:
        Frame3D(canvas, r, clBtnShadow, clBtnHighlight);
        Frame3D(canvas, inner, cl3DDkShadow, cl3DLight);
        break;
    case 1:
        Frame3D(canvas, r, cl3DLight, cl3DDkShadow);
        Frame3D(canvas, inner, clBtnHighlight, clBtnShadow);
        break;
    case 2:
        canvas.Pen()->SetStyle(TPenStyle::psSolid);
        canvas.Pen()->SetWidth(1);
        canvas.Pen()->SetColor(clBtnShadow);
        canvas.Polygon(
            {{r.Left, r.Top}, {r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1}, {r.Left, r.Bottom - 1}});
        break;
    default:
        break;
    }
}

void gDrawFocusRect(TCanvas& canvas, const TRect& rect) {
    canvas.DrawFocusRect(rect);
}

} // namespace kv
