#include "plot/gDraw.h"

#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/PageControl.h"
#include "plot/gPlotAxisFormat.h"
#include "plot/gPlotAxisScale.h"
#include "plot/gPlotTable.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPrinter>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace kv {

int gRoundSaturated(double value) {
    return gRoundPixels(value);
}

int gTruncSaturated(double value) {
    return gSaturatedInt(std::trunc(value));
}

// ---------------------------------------------------------------------------------------------------
// Colours and text

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
    // The canvas shortens only at the end; a path or word ellipsis is better shortened there than cut.
    if (o & (gtoEndEllipsis | gtoPathEllipsis | gtoWordEllipsis))
        f |= DT_END_ELLIPSIS;
    return f;
}

std::uint16_t gAlignmentTextOption(TgAlignmentHorizontal alignment) {
    switch (alignment) {
    case TgAlignmentHorizontal::iahCenter:
        return gtoCenter;
    case TgAlignmentHorizontal::iahRight:
        return gtoRight;
    case TgAlignmentHorizontal::iahLeft:
        break;
    }
    return gtoLeft;
}

TColor gLightenDarkenColor(TColor color, int amount, bool lighten) {
    TColor c = ColorToRGB(color);
    int d = lighten ? amount : -amount;
    auto part = [&](int shift) { return std::clamp(((c >> shift) & 0xFF) + d, 0, 255); };
    return RGB(part(0), part(8), part(16));
}

namespace {

// The library's texts end lines with CR, LF or CR LF; the canvas breaks at LF.
std::string NormalizeLineEnds(const std::string& text) {
    if (text.find('\r') == std::string::npos)
        return text;
    std::string s;
    s.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            s += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            s += text[i];
        }
    }
    return s;
}

bool Embossed(bool enabled, bool measuring, TColor color) {
    return !enabled && !measuring && ColorToRGB(color) != 0;
}

TColor EmbossLight() {
    return gLightenDarkenColor(clBtnFace, 64, true);
}
TColor EmbossDark() {
    return gLightenDarkenColor(clBtnFace, 32, false);
}

} // namespace

std::vector<std::string> gSplitLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (char ch : NormalizeLineEnds(text)) {
        if (ch == '\n')
            lines.emplace_back();
        else
            lines.back() += ch;
    }
    return lines;
}

int gDrawText(TCanvas& canvas, const std::string& rawText, TRect& rect, std::uint16_t options, bool enabled,
              TColor color) {
    const unsigned flags = gTextOptionsToFlags(options);
    const std::string text = NormalizeLineEnds(rawText);
    const TColor saved = canvas.Font()->Color();
    int h = 0;
    if (!Embossed(enabled, options & gtoCalcRect, color)) {
        canvas.Font()->SetColor(color);
        h = canvas.DrawText(text, rect, flags);
    } else {
        canvas.Font()->SetColor(EmbossLight());
        TRect moved{rect.Left + 1, rect.Top + 1, rect.Right + 1, rect.Bottom + 1};
        canvas.DrawText(text, moved, flags);
        canvas.Font()->SetColor(EmbossDark());
        h = canvas.DrawText(text, rect, flags);
    }
    canvas.Font()->SetColor(saved);
    return h;
}

void gDrawRotatedText(TCanvas& canvas, const std::string& text, const TRect& rect, TgRotationAngle rotation,
                      TgAlignmentHorizontal alignment, bool enabled, TColor color, TRect& textRect) {
    const int cx = (rect.Left + rect.Right) / 2;
    const int cy = (rect.Top + rect.Bottom) / 2;
    const int w = gTextWidth(canvas, text);
    const int h = gTextHeight(canvas, text);
    if (rotation == TgRotationAngle::ira000) {
        std::uint16_t options = gtoVCenter | gtoNoClip | gAlignmentTextOption(alignment);
        // Lines end with CR, LF or CR LF, as the measuring routines count them.
        if (text.find_first_of("\r\n") == std::string::npos)
            options |= gtoSingleLine;
        TRect r = rect;
        gDrawText(canvas, text, r, options, enabled, color);
        textRect = {cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2};
        return;
    }
    // The canvas turns text about its start point (the top-left of the unturned text), so the start
    // point is the corner that puts the turned text's middle on the centre.
    TPoint start;
    int escapement = 0;
    switch (rotation) {
    case TgRotationAngle::ira090:
        escapement = 900;
        start = {cx - h / 2, cy + w / 2};
        textRect = {cx - h / 2, cy - w / 2, cx + h / 2, cy + w / 2};
        break;
    case TgRotationAngle::ira180:
        escapement = 1800;
        start = {cx + w / 2, cy + h / 2};
        textRect = {cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2};
        break;
    default:
        escapement = 2700;
        start = {cx + h - h / 2, cy - w / 2};
        textRect = {cx - h / 2, cy - w / 2, cx + h / 2, cy + w / 2};
        break;
    }
    TFont* font = canvas.Font();
    const int savedOrientation = font->Orientation();
    const TColor savedColor = font->Color();
    struct Restore {
        TFont* f;
        int orientation;
        TColor color;
        ~Restore() {
            f->SetOrientation(orientation);
            f->SetColor(color);
        }
    } restore{font, savedOrientation, savedColor};
    font->SetOrientation(escapement);
    if (Embossed(enabled, false, color)) {
        font->SetColor(EmbossLight());
        canvas.TextOut(start.X + 1, start.Y + 1, text);
        font->SetColor(EmbossDark());
    } else {
        font->SetColor(color);
    }
    canvas.TextOut(start.X, start.Y, text);
}

namespace {

enum class MeasureKind : char { Width = 'w', Height = 'h', LinesHeight = 'm' };

// What the measures depend on: the font as the canvas turns it into a face (family, size, style, pitch;
// not colour or rotation), what is measured, and the text. Used on the GUI thread only.
struct TextMeasures {
    std::unordered_map<std::string, int> kept;
    std::string key;
    int taken = 0;

    template <class Measure>
    int Get(TCanvas& canvas, MeasureKind kind, const std::string& text, Measure measure) {
        const TFont& f = *canvas.Font();
        key.assign(f.Name());
        key += '\x1f';
        key += std::to_string(f.Height());
        for (TFontStyle s :
             {TFontStyle::fsBold, TFontStyle::fsItalic, TFontStyle::fsUnderline, TFontStyle::fsStrikeOut})
            key += f.Style().Contains(s) ? '1' : '0';
        key += static_cast<char>('0' + static_cast<int>(f.Pitch()));
        key += static_cast<char>(kind);
        key += text;
        if (const auto it = kept.find(key); it != kept.end())
            return it->second;
        ++taken;
        const int value = measure();
        // Labels come and go with the scales; what is no longer shown is let go now and then.
        if (kept.size() >= 4096)
            kept.clear();
        kept.emplace(key, value);
        return value;
    }
};

TextMeasures& Measures() {
    static TextMeasures measures;
    return measures;
}

} // namespace

int gTextWidth(TCanvas& canvas, const std::string& text) {
    return Measures().Get(canvas, MeasureKind::Width, text, [&] { return canvas.TextWidth(text); });
}

int gTextHeight(TCanvas& canvas, const std::string& text) {
    return Measures().Get(canvas, MeasureKind::Height, text, [&] { return canvas.TextHeight(text); });
}

int gTextMeasuresTaken() {
    return Measures().taken;
}

int gTextWidthMultiLine(TCanvas& canvas, const std::string& text) {
    if (text.empty())
        return 0;
    int w = 0;
    for (const std::string& line : gSplitLines(text))
        w = std::max(w, gTextWidth(canvas, line));
    return w;
}

int gTextHeightMultiLine(TCanvas& canvas, const std::string& text) {
    return Measures().Get(canvas, MeasureKind::LinesHeight, text, [&] {
        TRect r{0, 0, 0, 0};
        return gDrawText(canvas, text, r, gtoNoClip | gtoCalcRect, true, canvas.Font()->Color());
    });
}

int gTextHeightWrapped(TCanvas& canvas, const std::string& text, int width) {
    // Measured, not drawn: the height is what a drawing into that width would take.
    TRect r{0, -800, width, -100};
    return gDrawText(canvas, text, r, gtoLeft | gtoTop | gtoWordBreak | gtoCalcRect, true,
                     canvas.Font()->Color());
}

// ---------------------------------------------------------------------------------------------------
// Frames and fills

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

void gDrawGradient(TCanvas& canvas, const TRect& rect, TgFillDirection dir, TColor startColor,
                   TColor stopColor) {
    using D = TgFillDirection;
    const TColor c0 = ColorToRGB(startColor), c1 = ColorToRGB(stopColor);
    const int L = rect.Left, T = rect.Top, R = rect.Right, B = rect.Bottom;
    const int W = R - L, H = B - T, M = std::max(R, B);
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    canvas.Pen()->SetStyle(TPenStyle::psSolid);

    long long n = 0;
    int penWidth = 1;
    switch (dir) {
    case D::ifdTopBottom:
    case D::ifdBottomTop:
        n = H - 1LL;
        break;
    case D::ifdLeftRight:
    case D::ifdRightLeft:
        n = W - 1LL;
        break;
    case D::ifdTopLeftBottomRight:
    case D::ifdBottomRightTopLeft:
    case D::ifdBottomLeftTopRight:
    case D::ifdTopRightBottomLeft:
        n = 2LL * M - 2;
        break;
    case D::ifdRectangleOut:
    case D::ifdRectangleIn:
        n = (M - 1LL) / 3;
        penWidth = 2;
        break;
    case D::ifdCircleOut:
    case D::ifdCircleIn:
        n = (M - 1LL) / 8;
        penWidth = 16;
        break;
    }
    const bool reversed = dir == D::ifdBottomTop || dir == D::ifdRightLeft ||
                          dir == D::ifdBottomRightTopLeft || dir == D::ifdTopRightBottomLeft ||
                          dir == D::ifdRectangleIn || dir == D::ifdCircleIn;
    canvas.Pen()->SetWidth(penWidth);
    auto mix = [&](double f, int shift) {
        const double a = (c0 >> shift) & 0xFF, b = (c1 >> shift) & 0xFF;
        return gRoundSaturated(reversed ? f * a + (1 - f) * b : f * b + (1 - f) * a);
    };
    const double r1 = R - 1, b1 = B - 1;
    for (long long i = 0; i <= n; ++i) {
        // One stroke only (a band one pixel deep): there is no run of colours, so it takes the start.
        const double f = n == 0 ? 0 : double(i) / double(n);
        canvas.Pen()->SetColor(n == 0 ? c0 : RGB(mix(f, 0), mix(f, 8), mix(f, 16)));
        const int ii = int(i);
        const double u = 2 * f;
        switch (dir) {
        case D::ifdTopBottom:
        case D::ifdBottomTop:
            canvas.MoveTo(L, T + ii);
            canvas.LineTo(R, T + ii);
            break;
        case D::ifdLeftRight:
        case D::ifdRightLeft:
            canvas.MoveTo(L + ii, T);
            canvas.LineTo(L + ii, B);
            break;
        case D::ifdTopLeftBottomRight:
        case D::ifdBottomRightTopLeft:
            canvas.MoveTo(gRoundSaturated(u * r1) - 1, 0);
            canvas.LineTo(-1, gRoundSaturated(u * b1));
            break;
        case D::ifdBottomLeftTopRight:
        case D::ifdTopRightBottomLeft:
            canvas.MoveTo(0, int(b1) - gRoundSaturated(u * b1));
            canvas.LineTo(gRoundSaturated(u * r1), int(b1));
            break;
        case D::ifdRectangleOut:
        case D::ifdRectangleIn: {
            const double hx = f * r1 / 2, hy = f * b1 / 2;
            canvas.Rectangle(gRoundSaturated(r1 / 2 - hx), gRoundSaturated(b1 / 2 - hy),
                             gRoundSaturated(r1 / 2 + hx), gRoundSaturated(b1 / 2 + hy));
            break;
        }
        case D::ifdCircleOut:
        case D::ifdCircleIn: {
            const double hx = 1.414 * f * r1 / 2, hy = 1.414 * f * b1 / 2;
            canvas.Ellipse(gRoundSaturated(r1 / 2 - hx), gRoundSaturated(b1 / 2 - hy),
                           gRoundSaturated(r1 / 2 + hx), gRoundSaturated(b1 / 2 + hy));
            break;
        }
        }
    }
    if (dir == D::ifdRectangleOut)
        canvas.SetPixel(L + W / 2 - 1, T + H / 2 - 1, c0);
    else if (dir == D::ifdRectangleIn)
        canvas.SetPixel(L + W / 2 - 1, T + H / 2 - 1, c1);
}

// ---------------------------------------------------------------------------------------------------
// Points and rectangles

TPoint gSwapPoint(bool reversed, int x, int y) {
    return reversed ? TPoint{y, x} : TPoint{x, y};
}

TRect gRectFromCorners(int x1, int y1, int x2, int y2) {
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

TRect gSwapRect(bool reversed, int x1, int y1, int x2, int y2) {
    return reversed ? gRectFromCorners(y1, x1, y2, x2) : gRectFromCorners(x1, y1, x2, y2);
}

void gSwapIntegers(int& a, int& b) {
    std::swap(a, b);
}

TgDoublePoint gDoublePoint(double x, double y) {
    return {x, y};
}

// ---------------------------------------------------------------------------------------------------
// Numbers and time

int gPrecisionToDecimals(int precision, TgPrecisionStyle style, double a, double b) {
    return TgPlotAxisFormat::Decimals(precision, style, b - a);
}

namespace {
// Days and the time of day in whole milliseconds; false for a negative or unusable span.
bool SplitSpan(double span, long long& days, long long& hours, long long& minutes, long long& seconds,
               long long& millis) {
    if (!std::isfinite(span) || span + 1e-15 < 0 || span > 1e9)
        return false;
    const double d = std::trunc(span + 1e-15);
    days = static_cast<long long>(d);
    // Span just below a whole day counts as that day (d is then above span): no time of day left.
    long long ms = std::llround(std::max(0.0, span - d) * 86400000.0);
    hours = ms / 3600000;
    ms %= 3600000;
    minutes = ms / 60000;
    ms %= 60000;
    seconds = ms / 1000;
    millis = ms % 1000;
    return true;
}

int Whole(long long value) {
    return value > INT_MAX ? INT_MAX : int(value);
}
} // namespace

int gDateTimeToMilliseconds(double span) {
    long long d, h, m, s, ms;
    if (!SplitSpan(span, d, h, m, s, ms))
        return INT_MAX;
    return Whole(d * 86400000 + h * 3600000 + m * 60000 + s * 1000 + ms);
}

int gDateTimeToSeconds(double span) {
    long long d, h, m, s, ms;
    if (!SplitSpan(span, d, h, m, s, ms))
        return INT_MAX;
    return Whole(d * 86400 + h * 3600 + m * 60 + s);
}

int gDateTimeToMinutes(double span) {
    long long d, h, m, s, ms;
    if (!SplitSpan(span, d, h, m, s, ms))
        return std::isfinite(span) && span >= 0 ? INT_MAX : 10000;
    return Whole(d * 1440 + h * 60 + m);
}

int gDateTimeToHours(double span) {
    long long d, h, m, s, ms;
    if (!SplitSpan(span, d, h, m, s, ms))
        return INT_MAX;
    return Whole(d * 24 + h);
}

// ---------------------------------------------------------------------------------------------------
// Keyboard, owners and focus

namespace {
int gShiftOverride = -1, gCtrlOverride = -1;
}

void gSetKeyStateForTests(int shiftDown, int ctrlDown) {
    gShiftOverride = shiftDown;
    gCtrlOverride = ctrlDown;
}

bool gShiftKeyDown() {
    if (gShiftOverride >= 0)
        return gShiftOverride != 0;
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

bool gCtrlKeyDown() {
    if (gCtrlOverride >= 0)
        return gCtrlOverride != 0;
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
}

TWinControl* gGetOwnerForm(TComponent* component) {
    TWinControl* lastWindowed = nullptr;
    for (TComponent* c = component ? component->Owner() : nullptr; c; c = c->Owner()) {
        if (auto* form = dynamic_cast<TCustomForm*>(c))
            return form;
        if (auto* w = dynamic_cast<TWinControl*>(c))
            lastWindowed = w;
    }
    return lastWindowed;
}

void gSetFocusControl(TWinControl* control) {
    if (control && control->CanFocus())
        control->SetFocus();
}

void gSetActivePageIndex(TPageControl* pageControl, int index) {
    if (pageControl && index < pageControl->PageCount())
        pageControl->SetActivePageIndex(index);
}

int gGetActivePageIndex(const TPageControl* pageControl) {
    return pageControl ? pageControl->ActivePageIndex() : -1;
}

// ---------------------------------------------------------------------------------------------------
// Paper

double gMillimetersToInches(double value) {
    return value / 10 / 2.54;
}

namespace {
struct PaperRow {
    double w, h;
    bool mm;
};
// Printer paper-size codes 1..68 (index = code - 1); the two reserved codes are Letter.
constexpr std::array<PaperRow, 68> kPapers{{
    {8.5, 11, false},     {8.5, 11, false},    {11, 17, false},       {17, 11, false},
    {8.5, 14, false},     {5.5, 8.5, false},   {7.25, 10.5, false},   {297, 420, true},
    {210, 297, true},     {210, 297, true},    {148, 210, true},      {250, 354, true},
    {182, 257, true},     {8.5, 13, false},    {215, 275, true},      {10, 14, false},
    {11, 17, false},      {8.5, 11, false},    {3.875, 8.875, false}, {4.125, 9.5, false},
    {4.5, 10.375, false}, {4.75, 11, false},   {5, 11.5, false},      {17, 22, false},
    {22, 34, false},      {34, 44, false},     {110, 220, true},      {162, 229, true},
    {324, 458, true},     {229, 324, true},    {114, 162, true},      {114, 229, true},
    {250, 353, true},     {176, 250, true},    {176, 125, true},      {110, 230, true},
    {3.875, 7.5, false},  {3.625, 6.5, false}, {14.875, 11, false},   {8.5, 12, false},
    {8.5, 13, false},     {250, 353, true},    {100, 148, true},      {9, 11, false},
    {10, 11, false},      {15, 11, false},     {220, 220, true},      {8.5, 11, false},
    {8.5, 11, false},     {9.5, 12, false},    {9.5, 15, false},      {11.69, 18, false},
    {9.27, 12.69, false}, {8.5, 11, false},    {210, 297, true},      {9.5, 12, false},
    {227, 356, true},     {305, 487, true},    {8.5, 12.69, false},   {210, 330, true},
    {148, 210, true},     {182, 257, true},    {322, 445, true},      {174, 235, true},
    {201, 276, true},     {420, 594, true},    {297, 420, true},      {322, 445, true},
}};
} // namespace

void gGetPaperSize(int paperCode, double& width, double& height) {
    if (paperCode < 1 || paperCode > int(kPapers.size())) {
        width = 8.5;
        height = 11;
        return;
    }
    const PaperRow& p = kPapers[std::size_t(paperCode - 1)];
    width = p.mm ? gMillimetersToInches(p.w) : p.w;
    height = p.mm ? gMillimetersToInches(p.h) : p.h;
}

void gGetPrinterPaperSize(double& width, double& height) {
    // Qt answers with the default printer's page, or the file printer's when none is installed.
    QPrinter printer;
    const QPageLayout layout = printer.pageLayout();
    const QSizeF size = layout.pageSize().size(QPageSize::Inch);
    width = size.width();
    height = size.height();
    if (layout.orientation() == QPageLayout::Landscape)
        std::swap(width, height);
}

void gDrawScrollButton(TCanvas& canvas, const TRect& r, bool pressed, bool enabled, bool up) {
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Brush()->SetColor(clBtnFace);
    canvas.FillRect(r);
    gDrawEdge(canvas, r, pressed ? 0 : 1);
    const TColor arrow = enabled ? clBlack : 0x808080;
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    canvas.Pen()->SetWidth(1);
    canvas.Pen()->SetColor(arrow);
    canvas.Brush()->SetColor(arrow);
    const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
    if (up)
        canvas.Polygon({{cx - 4, cy + 2}, {cx + 4, cy + 2}, {cx, cy - 2}});
    else
        canvas.Polygon({{cx - 4, cy - 2}, {cx + 4, cy - 2}, {cx, cy + 2}});
}

} // namespace kv
