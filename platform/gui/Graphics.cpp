#include "platform/gui/Graphics.h"

#include <QBuffer>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace kv {

// ---------------------------------------------------------------------------------------------------
// Colours

namespace {
// The classic desktop scheme; one fixed table so that rendering never depends on the machine.
constexpr std::array<TColor, 31> kSystemColors = {
    RGB(212, 208, 200), RGB(58, 110, 165),  RGB(10, 36, 106),   RGB(128, 128, 128), RGB(212, 208, 200),
    RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(255, 255, 255),
    RGB(212, 208, 200), RGB(212, 208, 200), RGB(128, 128, 128), RGB(10, 36, 106),   RGB(255, 255, 255),
    RGB(212, 208, 200), RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(212, 208, 200),
    RGB(255, 255, 255), RGB(64, 64, 64),    RGB(212, 208, 200), RGB(0, 0, 0),       RGB(255, 255, 225),
    RGB(181, 181, 181), RGB(0, 0, 128),     RGB(166, 202, 240), RGB(192, 192, 192), RGB(10, 36, 106),
    RGB(212, 208, 200)};
} // namespace

TColor ColorToRGB(TColor color) {
    auto u = static_cast<std::uint32_t>(color);
    if ((u & 0xFF000000u) == 0xFF000000u) {
        std::size_t index = u & 0xFFu;
        return index < kSystemColors.size() ? kSystemColors[index] : clBlack;
    }
    if (color == clNone || color == clDefault)
        return clBlack;
    return static_cast<TColor>(u & 0x00FFFFFFu);
}

QRgb ToQRgb(TColor color) {
    TColor c = ColorToRGB(color);
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

TColor FromQRgb(QRgb rgb) {
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

const TIdentMap& ColorIdents() {
    static const TIdentMap m{{
        {clBlack, "clBlack"},
        {clMaroon, "clMaroon"},
        {clGreen, "clGreen"},
        {clOlive, "clOlive"},
        {clNavy, "clNavy"},
        {clPurple, "clPurple"},
        {clTeal, "clTeal"},
        {clGray, "clGray"},
        {clSilver, "clSilver"},
        {clRed, "clRed"},
        {clLime, "clLime"},
        {clYellow, "clYellow"},
        {clBlue, "clBlue"},
        {clFuchsia, "clFuchsia"},
        {clAqua, "clAqua"},
        {clWhite, "clWhite"},
        {clNone, "clNone"},
        {clDefault, "clDefault"},
        {clScrollBar, "clScrollBar"},
        {clBackground, "clBackground"},
        {clActiveCaption, "clActiveCaption"},
        {clInactiveCaption, "clInactiveCaption"},
        {clMenu, "clMenu"},
        {clWindow, "clWindow"},
        {clWindowFrame, "clWindowFrame"},
        {clMenuText, "clMenuText"},
        {clWindowText, "clWindowText"},
        {clCaptionText, "clCaptionText"},
        {clActiveBorder, "clActiveBorder"},
        {clInactiveBorder, "clInactiveBorder"},
        {clAppWorkSpace, "clAppWorkSpace"},
        {clHighlight, "clHighlight"},
        {clHighlightText, "clHighlightText"},
        {clBtnFace, "clBtnFace"},
        {clBtnShadow, "clBtnShadow"},
        {clGrayText, "clGrayText"},
        {clBtnText, "clBtnText"},
        {clInactiveCaptionText, "clInactiveCaptionText"},
        {clBtnHighlight, "clBtnHighlight"},
        {cl3DDkShadow, "cl3DDkShadow"},
        {cl3DLight, "cl3DLight"},
        {clInfoText, "clInfoText"},
        {clInfoBk, "clInfoBk"},
    }};
    return m;
}

std::vector<std::string> EnumIdents(TFontStyle) {
    return {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
}
std::vector<std::string> EnumIdents(TFontPitch) {
    return {"fpDefault", "fpVariable", "fpFixed"};
}
std::vector<std::string> EnumIdents(TPenStyle) {
    return {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"};
}
std::vector<std::string> EnumIdents(TPenMode) {
    return {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmXor", "pmNotXor"};
}
std::vector<std::string> EnumIdents(TBrushStyle) {
    return {"bsSolid",     "bsClear",     "bsHorizontal", "bsVertical",
            "bsFDiagonal", "bsBDiagonal", "bsCross",      "bsDiagCross"};
}

std::string SubstituteFontFamily(const std::string& name) {
    static const std::pair<const char*, const char*> table[] = {
        {"Tahoma", "DejaVu Sans"},
        {"Verdana", "DejaVu Sans"},
        {"MS Sans Serif", "DejaVu Sans"},
        {"Microsoft Sans Serif", "DejaVu Sans"},
        {"MS Shell Dlg", "DejaVu Sans"},
        {"MS Shell Dlg 2", "DejaVu Sans"},
        {"Arial", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
        {"SimSun", "WenQuanYi Micro Hei"},
        {"NSimSun", "WenQuanYi Micro Hei"},
        {"\xe5\xae\x8b\xe4\xbd\x93", "WenQuanYi Micro Hei"}, // the simplified Chinese "Song" face
        {"Microsoft YaHei", "WenQuanYi Micro Hei"},
        {"MingLiU", "WenQuanYi Micro Hei"},
        {"PMingLiU", "WenQuanYi Micro Hei"},
    };
    for (const auto& [from, to] : table)
        if (SameText(name, from))
            return to;
    return name.empty() ? std::string("DejaVu Sans") : name;
}

// ---------------------------------------------------------------------------------------------------
// Fonts, pens, brushes

KV_REGISTER_CLASS(TGraphicsObject, TPersistent, b) {}

KV_REGISTER_CLASS(TFont, TGraphicsObject, b) {
    b.Prop("Charset", &TFont::Charset, &TFont::SetCharset).Default(1);
    b.Prop("Color", &TFont::Color, &TFont::SetColor).Default(clWindowText).Idents(ColorIdents(), "TColor");
    b.Prop("Height", &TFont::Height, &TFont::SetHeight);
    b.Prop("Name", &TFont::Name, &TFont::SetName);
    b.Prop("Orientation", &TFont::Orientation, &TFont::SetOrientation).Default(0);
    b.Prop("Pitch", &TFont::Pitch, &TFont::SetPitch).Default(TFontPitch::fpDefault);
    b.Prop("Style", &TFont::Style, &TFont::SetStyle).Default(TFontStyles{});
}

TFont::TFont() = default;

void TFont::SetName(const std::string& v) {
    if (v != FName && !v.empty()) {
        FName = v;
        Changed();
    }
}
int TFont::Size() const {
    return static_cast<int>(std::lround(-FHeight * 72.0 / 96.0));
}
void TFont::SetSize(int points) {
    SetHeight(-static_cast<int>(std::lround(points * 96.0 / 72.0)));
}
void TFont::SetHeight(int v) {
    Update(FHeight, v);
}
void TFont::SetColor(TColor v) {
    Update(FColor, v);
}
void TFont::SetStyle(TFontStyles v) {
    Update(FStyle, v);
}
void TFont::SetOrientation(int v) {
    Update(FOrientation, v);
}
void TFont::SetPitch(TFontPitch v) {
    Update(FPitch, v);
}
void TFont::SetCharset(int v) {
    Update(FCharset, v);
}

bool TFont::SameAs(const TFont& o) const {
    return FName == o.FName && FHeight == o.FHeight && FColor == o.FColor && FStyle == o.FStyle &&
           FOrientation == o.FOrientation && FPitch == o.FPitch && FCharset == o.FCharset;
}

void TFont::Assign(const TPersistent* source) {
    if (auto* f = dynamic_cast<const TFont*>(source)) {
        if (SameAs(*f))
            return;
        FName = f->FName;
        FHeight = f->FHeight;
        FColor = f->FColor;
        FStyle = f->FStyle;
        FOrientation = f->FOrientation;
        FPitch = f->FPitch;
        FCharset = f->FCharset;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

QFont TFont::ToQFont() const {
    QFont f;
    // Chinese text falls back to the one installed CJK face, whatever the main face is.
    f.setFamilies(
        {QString::fromStdString(SubstituteFontFamily(FName)), QStringLiteral("WenQuanYi Micro Hei")});
    // A positive height includes the internal leading; the em size is a little smaller.
    int px = FHeight < 0 ? -FHeight : std::max(1, FHeight * 7 / 8);
    f.setPixelSize(std::max(1, px));
    f.setBold(FStyle.Contains(TFontStyle::fsBold));
    f.setItalic(FStyle.Contains(TFontStyle::fsItalic));
    f.setUnderline(FStyle.Contains(TFontStyle::fsUnderline));
    f.setStrikeOut(FStyle.Contains(TFontStyle::fsStrikeOut));
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setKerning(false);
    if (FPitch == TFontPitch::fpFixed)
        f.setFixedPitch(true);
    return f;
}

KV_REGISTER_CLASS(TPen, TGraphicsObject, b) {
    b.Prop("Color", &TPen::Color, &TPen::SetColor).Default(clBlack).Idents(ColorIdents(), "TColor");
    b.Prop("Mode", &TPen::Mode, &TPen::SetMode).Default(TPenMode::pmCopy);
    b.Prop("Style", &TPen::Style, &TPen::SetStyle).Default(TPenStyle::psSolid);
    b.Prop("Width", &TPen::Width, &TPen::SetWidth).Default(1);
}

void TPen::SetColor(TColor v) {
    Update(FColor, v);
}
void TPen::SetWidth(int v) {
    Update(FWidth, v);
}
void TPen::SetStyle(TPenStyle v) {
    Update(FStyle, v);
}
void TPen::SetMode(TPenMode v) {
    Update(FMode, v);
}
void TPen::Assign(const TPersistent* source) {
    if (auto* p = dynamic_cast<const TPen*>(source)) {
        FColor = p->FColor;
        FWidth = p->FWidth;
        FStyle = p->FStyle;
        FMode = p->FMode;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

KV_REGISTER_CLASS(TBrush, TGraphicsObject, b) {
    b.Prop("Color", &TBrush::Color, &TBrush::SetColor).Default(clWhite).Idents(ColorIdents(), "TColor");
    b.Prop("Style", &TBrush::Style, &TBrush::SetStyle).Default(TBrushStyle::bsSolid);
}

void TBrush::SetColor(TColor v) {
    if (v != FColor) {
        FColor = v;
        if (FStyle == TBrushStyle::bsClear)
            FStyle = TBrushStyle::bsSolid; // as the old framework: a colour makes a clear brush solid
        Changed();
    }
}
void TBrush::SetStyle(TBrushStyle v) {
    Update(FStyle, v);
}
void TBrush::Assign(const TPersistent* source) {
    if (auto* p = dynamic_cast<const TBrush*>(source)) {
        FColor = p->FColor;
        FStyle = p->FStyle;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

// ---------------------------------------------------------------------------------------------------
// Canvas

KV_REGISTER_CLASS(TCanvas, TPersistent, b) {}

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
    FPen->OnChange = [this](TObject*) { FDashPhase = 0; };
    FBrush->OnChange = [this](TObject*) { FBkOverride = false; };
}

void TCanvas::SetBkMode(bool opaque, TColor background) {
    FBkOverride = true;
    FBkOpaque = opaque;
    FBkColor = background;
}

TColor TCanvas::BkColor() const {
    return FBkOverride ? FBkColor : FBrush->Color();
}

TCanvas::~TCanvas() {
    EndPaint();
}

void TCanvas::SetTarget(QImage* target) {
    EndPaint();
    FTarget = target;
}

void TCanvas::EndPaint() const {
    FPainter.reset();
}

QPainter& TCanvas::Painter() {
    if (!FPainter)
        FPainter = std::make_unique<QPainter>(FTarget);
    QPainter& p = *FPainter;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.resetTransform();
    p.setClipRect(Clip());
    return p;
}

void TCanvas::SetClipRect(const TRect* r) {
    FHasClip = r != nullptr;
    if (r)
        FClip = *r;
}

QRect TCanvas::Clip() const {
    QRect all(0, 0, FTarget ? FTarget->width() : 0, FTarget ? FTarget->height() : 0);
    if (!FHasClip)
        return all;
    return all.intersected(QRect(FClip.Left, FClip.Top, FClip.Width(), FClip.Height()));
}

bool TCanvas::Opaque() const {
    return FBkOverride ? FBkOpaque : FBrush->Style() == TBrushStyle::bsSolid;
}

bool TCanvas::PenVisible() const {
    return FPen->Style() != TPenStyle::psClear && FPen->Mode() != TPenMode::pmNop;
}

void TCanvas::PlotPixel(int x, int y, QRgb colour, TPenMode mode) {
    if (!FTarget || !Clip().contains(x, y))
        return;
    auto* px = reinterpret_cast<QRgb*>(FTarget->scanLine(y)) + x;
    QRgb d = *px & 0xFFFFFFu, c = colour & 0xFFFFFFu, r = c;
    switch (mode) {
    case TPenMode::pmBlack:
        r = 0;
        break;
    case TPenMode::pmWhite:
        r = 0xFFFFFF;
        break;
    case TPenMode::pmNop:
        return;
    case TPenMode::pmNot:
        r = ~d;
        break;
    case TPenMode::pmCopy:
        r = c;
        break;
    case TPenMode::pmNotCopy:
        r = ~c;
        break;
    case TPenMode::pmXor:
        r = d ^ c;
        break;
    case TPenMode::pmNotXor:
        r = ~(d ^ c);
        break;
    }
    *px = 0xFF000000u | (r & 0xFFFFFFu);
}

namespace {
// On/off runs of the one-pixel pen styles, in pixels.
const std::vector<int>& DashPattern(TPenStyle s) {
    static const std::vector<int> solid, dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6},
        dashDotDot{9, 3, 3, 3, 3, 3};
    switch (s) {
    case TPenStyle::psDash:
        return dash;
    case TPenStyle::psDot:
        return dot;
    case TPenStyle::psDashDot:
        return dashDot;
    case TPenStyle::psDashDotDot:
        return dashDotDot;
    default:
        return solid;
    }
}
} // namespace

void TCanvas::PenLine(int x0, int y0, int x1, int y1, bool lastPixel) {
    const auto& pattern = DashPattern(FPen->Style());
    int period = 0;
    for (int n : pattern)
        period += n;
    QRgb fg = ToQRgb(FPen->Color()), bg = ToQRgb(BkColor());
    bool opaque = Opaque();
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    int x = x0, y = y0;
    for (;;) {
        bool atEnd = x == x1 && y == y1;
        if (atEnd && !lastPixel)
            break;
        bool on = true;
        if (period) {
            int pos = FDashPhase % period, acc = 0;
            for (std::size_t i = 0; i < pattern.size(); ++i) {
                acc += pattern[i];
                if (pos < acc) {
                    on = i % 2 == 0;
                    break;
                }
            }
            ++FDashPhase;
        }
        if (on)
            PlotPixel(x, y, fg, FPen->Mode());
        else if (opaque)
            PlotPixel(x, y, bg, TPenMode::pmCopy);
        if (atEnd)
            break;
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void TCanvas::WidePenLine(int x0, int y0, int x1, int y1) {
    QPainter& p = Painter();
    QPen pen(QColor::fromRgb(ToQRgb(FPen->Color())), FPen->Width());
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.drawLine(x0, y0, x1, y1);
}

void TCanvas::LineTo(int x, int y) {
    if (FTarget && PenVisible()) {
        if (FPen->Width() <= 1)
            PenLine(FPenPos.X, FPenPos.Y, x, y, false);
        else
            WidePenLine(FPenPos.X, FPenPos.Y, x, y);
    }
    FPenPos = {x, y};
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
    if (points.empty())
        return;
    if (FTarget && PenVisible() && FPen->Width() > 1 && points.size() > 1) {
        // Round caps and joins: the same pixels as the segments drawn one by one, in one stroke.
        QPolygon poly(static_cast<int>(points.size()));
        for (std::size_t i = 0; i < points.size(); ++i)
            poly.setPoint(static_cast<int>(i), points[i].X, points[i].Y);
        QPainter& p = Painter();
        QPen pen(QColor::fromRgb(ToQRgb(FPen->Color())), FPen->Width());
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        p.setPen(pen);
        p.drawPolyline(poly);
        return;
    }
    TPoint keep = FPenPos;
    MoveTo(points[0].X, points[0].Y);
    for (std::size_t i = 1; i < points.size(); ++i)
        LineTo(points[i].X, points[i].Y);
    FPenPos = keep;
}

namespace {
// The hatch of a brush style other than solid and clear.
Qt::BrushStyle QtHatch(TBrushStyle style) {
    static const Qt::BrushStyle hatch[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                           Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    return hatch[static_cast<int>(style) - 2];
}

} // namespace

void TCanvas::FillWithBrush(const QRect& r) {
    if (!FTarget || FBrush->Style() == TBrushStyle::bsClear)
        return;
    QRect area = r.intersected(Clip());
    if (area.isEmpty())
        return;
    QRgb c = 0xFF000000u | ToQRgb(FBrush->Color());
    if (FBrush->Style() == TBrushStyle::bsSolid) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(FTarget->scanLine(y));
            std::fill(line + area.left(), line + area.right() + 1, c);
        }
        return;
    }
    QPainter& p = Painter();
    if (Opaque())
        p.fillRect(area, QColor::fromRgb(ToQRgb(BkColor())));
    p.fillRect(area, QBrush(QColor::fromRgb(c), QtHatch(FBrush->Style())));
}

void TCanvas::FillRect(const TRect& r) {
    FillWithBrush(QRect(r.Left, r.Top, r.Width(), r.Height()));
}

void TCanvas::FrameRect(const TRect& r) {
    if (r.Width() <= 0 || r.Height() <= 0)
        return;
    FillWithBrush(QRect(r.Left, r.Top, r.Width(), 1));
    FillWithBrush(QRect(r.Left, r.Bottom - 1, r.Width(), 1));
    FillWithBrush(QRect(r.Left, r.Top, 1, r.Height()));
    FillWithBrush(QRect(r.Right - 1, r.Top, 1, r.Height()));
}

void TCanvas::Rectangle(int l, int t, int r, int b) {
    if (!FTarget || r <= l || b <= t)
        return;
    if (!PenVisible()) {
        FillWithBrush(QRect(l, t, r - l - 1, b - t - 1));
        return;
    }
    int w = std::max(1, FPen->Width());
    if (w == 1) {
        FillWithBrush(QRect(l + 1, t + 1, r - l - 2, b - t - 2));
        TPoint keep = FPenPos;
        FDashPhase = 0;
        PenLine(l, t, r - 1, t, false);
        PenLine(r - 1, t, r - 1, b - 1, false);
        PenLine(r - 1, b - 1, l, b - 1, false);
        PenLine(l, b - 1, l, t, false);
        if (r - l == 1 || b - t == 1) // a degenerate rectangle still shows its one line
            PenLine(l, t, r - 1, b - 1, true);
        FPenPos = keep;
        return;
    }
    FillWithBrush(QRect(l + w / 2, t + w / 2, r - l - w, b - t - w));
    QPainter& p = Painter();
    QPen pen(QColor::fromRgb(ToQRgb(FPen->Color())), w);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(l + w / 2.0, t + w / 2.0, r - l - w, b - t - w));
}

namespace {
QPen QtPen(const TPen& pen) {
    if (pen.Style() == TPenStyle::psClear)
        return QPen(Qt::NoPen);
    QPen p(QColor::fromRgb(ToQRgb(pen.Color())), std::max(1, pen.Width()));
    if (pen.Width() <= 1)
        p.setCosmetic(true);
    return p;
}

QBrush QtBrush(const TBrush& brush) {
    if (brush.Style() == TBrushStyle::bsClear)
        return QBrush(Qt::NoBrush);
    const QColor colour = QColor::fromRgb(ToQRgb(brush.Color()));
    if (brush.Style() == TBrushStyle::bsSolid)
        return QBrush(colour);
    return QBrush(colour, QtHatch(brush.Style()));
}
} // namespace

// The gaps of a hatch brush take the background colour while the background is opaque, as in FillRect;
// the painter goes back to its plain (transparent) state afterwards.
void TCanvas::ShapeBackground(QPainter& p, bool on) {
    const bool hatched = FBrush->Style() != TBrushStyle::bsSolid && FBrush->Style() != TBrushStyle::bsClear;
    if (on && hatched && Opaque()) {
        p.setBackgroundMode(Qt::OpaqueMode);
        p.setBackground(QColor::fromRgb(ToQRgb(BkColor())));
    } else {
        p.setBackgroundMode(Qt::TransparentMode);
    }
}

void TCanvas::RoundRect(int l, int t, int r, int b, int cx, int cy) {
    if (!FTarget)
        return;
    QPainter& p = Painter();
    p.setPen(QtPen(*FPen));
    p.setBrush(QtBrush(*FBrush));
    ShapeBackground(p, true);
    p.drawRoundedRect(QRect(l, t, r - l - 1, b - t - 1), cx / 2.0, cy / 2.0);
    ShapeBackground(p, false);
}

void TCanvas::Ellipse(int l, int t, int r, int b) {
    if (!FTarget)
        return;
    QPainter& p = Painter();
    p.setPen(QtPen(*FPen));
    p.setBrush(QtBrush(*FBrush));
    ShapeBackground(p, true);
    p.drawEllipse(QRect(l, t, r - l - 1, b - t - 1));
    ShapeBackground(p, false);
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
    if (!FTarget || points.empty())
        return;
    QPolygon poly;
    for (const TPoint& pt : points)
        poly << QPoint(pt.X, pt.Y);
    QPainter& p = Painter();
    p.setPen(QtPen(*FPen));
    p.setBrush(QtBrush(*FBrush));
    ShapeBackground(p, true);
    p.drawPolygon(poly);
    ShapeBackground(p, false);
}

void TCanvas::DrawFocusRect(const TRect& r) {
    // Every other pixel of the outline, XOR white: drawing it twice restores the picture.
    if (!FTarget || r.Width() <= 0 || r.Height() <= 0)
        return;
    auto dot = [&](int x, int y) {
        if ((x + y) % 2 == 0)
            PlotPixel(x, y, 0xFFFFFF, TPenMode::pmXor);
    };
    for (int x = r.Left; x < r.Right; ++x) {
        dot(x, r.Top);
        if (r.Bottom - 1 != r.Top)
            dot(x, r.Bottom - 1);
    }
    for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
        dot(r.Left, y);
        if (r.Right - 1 != r.Left)
            dot(r.Right - 1, y);
    }
}

TColor TCanvas::Pixel(int x, int y) const {
    if (!FTarget || !QRect(0, 0, FTarget->width(), FTarget->height()).contains(x, y))
        return -1;
    return FromQRgb(FTarget->pixel(x, y));
}

void TCanvas::SetPixel(int x, int y, TColor c) {
    PlotPixel(x, y, ToQRgb(c), TPenMode::pmCopy);
}

TSize TCanvas::TextExtent(const std::string& text) const {
    QFontMetrics fm(FFont->ToQFont());
    return {fm.horizontalAdvance(QString::fromStdString(text)), fm.height()};
}
int TCanvas::TextWidth(const std::string& text) const {
    return TextExtent(text).cx;
}
int TCanvas::TextHeight(const std::string& text) const {
    return TextExtent(text).cy;
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    if (!FTarget)
        return;
    QFont font = FFont->ToQFont();
    QFontMetrics fm(font);
    QString s = QString::fromStdString(text);
    QPainter& p = Painter();
    p.translate(x, y);
    if (FFont->Orientation() != 0)
        p.rotate(-FFont->Orientation() / 10.0);
    int w = fm.horizontalAdvance(s);
    if (Opaque())
        p.fillRect(QRect(0, 0, w, fm.height()), QColor::fromRgb(ToQRgb(BkColor())));
    p.setFont(font);
    p.setPen(QColor::fromRgb(ToQRgb(FFont->Color())));
    p.drawText(0, fm.ascent(), s);
    if (FFont->Orientation() == 0)
        FPenPos = {x + w, y};
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
    TRect keep = FClip;
    bool had = FHasClip;
    TRect clip = r;
    if (had)
        clip = {std::max(r.Left, keep.Left), std::max(r.Top, keep.Top), std::min(r.Right, keep.Right),
                std::min(r.Bottom, keep.Bottom)};
    if (Opaque())
        FillRect(clip);
    SetClipRect(&clip);
    TBrushStyle bs = FBrush->Style();
    FBrush->SetStyle(TBrushStyle::bsClear);
    TextOut(x, y, text);
    FBrush->SetStyle(bs);
    FHasClip = had;
    FClip = keep;
}

int TCanvas::DrawText(const std::string& text, TRect& r, unsigned flags) {
    QFont font = FFont->ToQFont();
    QFontMetrics fm(font);
    QString s = QString::fromStdString(text);
    int qf = 0;
    if (flags & DT_CENTER)
        qf |= Qt::AlignHCenter;
    else if (flags & DT_RIGHT)
        qf |= Qt::AlignRight;
    else
        qf |= Qt::AlignLeft;
    if (flags & DT_SINGLELINE) {
        qf |= Qt::TextSingleLine;
        if (flags & DT_VCENTER)
            qf |= Qt::AlignVCenter;
        else if (flags & DT_BOTTOM)
            qf |= Qt::AlignBottom;
        else
            qf |= Qt::AlignTop;
    } else {
        qf |= Qt::AlignTop;
    }
    if (flags & DT_WORDBREAK)
        qf |= Qt::TextWordWrap;
    if (flags & DT_EXPANDTABS)
        qf |= Qt::TextExpandTabs;
    // Qt clips to the layout box on its own unless told not to; markers pass an empty box.
    if (flags & DT_NOCLIP)
        qf |= Qt::TextDontClip;
    if (!(flags & DT_NOPREFIX))
        qf |= Qt::TextShowMnemonic;
    QRect box(r.Left, r.Top, r.Width(), r.Height());
    if (flags & DT_END_ELLIPSIS)
        s = fm.elidedText(s, Qt::ElideRight, box.width(), qf & Qt::TextShowMnemonic);
    QRect bound = fm.boundingRect(
        flags & DT_WORDBREAK ? QRect(box.left(), box.top(), box.width(), 100000) : box, qf, s);
    int height = bound.height();
    if (flags & DT_CALCRECT) {
        r.Right = r.Left + bound.width();
        r.Bottom = r.Top + height;
        return height;
    }
    if (!FTarget)
        return height;
    QPainter& p = Painter();
    QRect clip = Clip();
    if (!(flags & DT_NOCLIP))
        clip = clip.intersected(box);
    p.setClipRect(clip);
    p.setFont(font);
    if (Opaque())
        p.fillRect(flags & DT_NOCLIP ? bound : bound.intersected(box), QColor::fromRgb(ToQRgb(BkColor())));
    p.setPen(QColor::fromRgb(ToQRgb(FFont->Color())));
    p.drawText(box, qf, s);
    return height;
}

namespace {
// The picture with its transparent colour (given, or the bottom-left pixel) made see-through.
QImage DrawableImage(const TGraphic* g) {
    QImage img = g->ToImage();
    if (!g->Transparent())
        return img;
    QRgb key = 0;
    if (auto* bmp = dynamic_cast<const TBitmap*>(g))
        key = ToQRgb(bmp->TransparentColor());
    else
        key = img.pixel(0, img.height() - 1);
    img = img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((line[x] & 0xFFFFFFu) == (key & 0xFFFFFFu))
                line[x] = 0;
    }
    return img;
}
} // namespace

void TCanvas::Draw(int x, int y, const TGraphic* graphic) {
    if (!FTarget || !graphic || graphic->Empty())
        return;
    // The picture first: reading a bitmap ends its canvas's painter, which may be this one.
    const QImage image = DrawableImage(graphic);
    Painter().drawImage(x, y, image);
}

void TCanvas::StretchDraw(const TRect& r, const TGraphic* graphic) {
    if (!FTarget || !graphic || graphic->Empty())
        return;
    const QImage image = DrawableImage(graphic);
    Painter().drawImage(QRect(r.Left, r.Top, r.Width(), r.Height()), image);
}

void TCanvas::CopyRect(const TRect& dest, const TCanvas& source, const TRect& src) {
    if (!FTarget || !source.FTarget)
        return;
    const QRect from(src.Left, src.Top, src.Width(), src.Height());
    const QRect to(dest.Left, dest.Top, dest.Width(), dest.Height());
    QPainter& p = Painter();
    p.setCompositionMode(QPainter::CompositionMode_Source);
    if (source.FTarget == FTarget)
        p.drawImage(to, FTarget->copy(from)); // overlapping areas of one image
    else
        p.drawImage(to, *source.FTarget, from);
}

QPainter& TCanvas::BeginAntialiased() {
    QPainter& p = Painter();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.translate(0.5, 0.5);
    return p;
}

void TCanvas::EndAntialiased() {
    if (FPainter)
        Painter();
}

// ---------------------------------------------------------------------------------------------------
// Graphics and pictures

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly))
        throw EKvError("Cannot open file \"" + path + "\"");
    QByteArray data = f.readAll();
    return {data.begin(), data.end()};
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    // Written beside the target and renamed, so a failed save never leaves half a file.
    std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out)
            throw EKvError("Cannot create file \"" + path + "\"");
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            out.close();
            std::remove(tmp.c_str());
            throw EKvError("Cannot write file \"" + path + "\"");
        }
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        throw EKvError("Cannot write file \"" + path + "\"");
    }
}

KV_REGISTER_CLASS(TGraphic, TPersistent, b) {}

void TGraphic::LoadFromFile(const std::string& path) {
    LoadFromBytes(ReadFileBytes(path));
}
void TGraphic::SaveToFile(const std::string& path) const {
    WriteFileBytes(path, SaveToBytes());
}

KV_REGISTER_CLASS(TBitmap, TGraphic, b) {}

TBitmap::TBitmap() {
    FCanvas.SetTarget(&FImage);
}
TBitmap::TBitmap(int width, int height) : TBitmap() {
    SetSize(width, height);
}
TBitmap::~TBitmap() {
    FCanvas.SetTarget(nullptr);
}

void TBitmap::SetSize(int w, int h) {
    w = std::max(0, w);
    h = std::max(0, h);
    if (w == Width() && h == Height())
        return;
    FCanvas.EndPaint();
    QImage next(w, h, QImage::Format_RGB32);
    next.fill(Qt::white);
    if (!FImage.isNull() && w > 0 && h > 0) {
        QPainter p(&next);
        p.drawImage(0, 0, FImage);
    }
    FImage = next;
    Changed();
}

TColor TBitmap::TransparentColor() const {
    if (FTransparentColor != clDefault || FImage.isNull())
        return FTransparentColor;
    return FromQRgb(FImage.pixel(0, FImage.height() - 1));
}

void TBitmap::FromImage(const QImage& image) {
    FCanvas.EndPaint();
    FImage = image.convertToFormat(QImage::Format_RGB32);
    Changed();
}

std::vector<std::uint8_t> TBitmap::SaveToBytes() const {
    QByteArray data;
    QBuffer buf(&data);
    buf.open(QIODevice::WriteOnly);
    if (!FImage.save(&buf, "BMP"))
        throw EKvError("Cannot encode the bitmap");
    return {data.begin(), data.end()};
}

void TBitmap::LoadFromBytes(const std::vector<std::uint8_t>& bytes) {
    QImage img;
    if (!img.loadFromData(bytes.data(), static_cast<int>(bytes.size()), "BMP"))
        throw EKvError("Bitmap image is not valid");
    FromImage(img);
}

void TBitmap::Assign(const TPersistent* source) {
    if (auto* g = dynamic_cast<const TGraphic*>(source)) {
        FromImage(g->ToImage());
        FTransparent = g->Transparent();
        if (auto* b = dynamic_cast<const TBitmap*>(g))
            FTransparentColor = b->FTransparentColor;
        return;
    }
    if (!source) {
        FCanvas.EndPaint();
        FImage = QImage();
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

KV_REGISTER_CLASS(TEncodedImage, TGraphic, b) {}

void TEncodedImage::FromImage(const QImage& image) {
    FImage = Converted(image);
    FBytes.clear();
    Changed();
}
std::vector<std::uint8_t> TEncodedImage::SaveToBytes() const {
    return FBytes.empty() ? Encode(FImage) : FBytes;
}
void TEncodedImage::LoadFromBytes(const std::vector<std::uint8_t>& bytes) {
    FImage = Decode(bytes);
    FBytes = bytes;
    Changed();
}
void TEncodedImage::Assign(const TPersistent* source) {
    auto* same = dynamic_cast<const TEncodedImage*>(source);
    if (same && &same->ClassInfo() == &ClassInfo()) {
        FImage = same->FImage;
        FBytes = same->FBytes;
        AssignSettings(*same);
        FTransparent = same->FTransparent;
        Changed();
        return;
    }
    if (auto* g = dynamic_cast<const TGraphic*>(source)) {
        FromImage(g->ToImage());
        return;
    }
    TPersistent::Assign(source);
}

KV_REGISTER_CLASS(TPngImage, TEncodedImage, b) {}

QImage TPngImage::Decode(const std::vector<std::uint8_t>& bytes) const {
    return DecodePng(bytes.data(), bytes.size());
}
std::vector<std::uint8_t> TPngImage::Encode(const QImage& image) const {
    return EncodePng(image, FLevel);
}
void TPngImage::AssignSettings(const TEncodedImage& source) {
    FLevel = static_cast<const TPngImage&>(source).FLevel;
}

KV_REGISTER_CLASS(TJPEGImage, TEncodedImage, b) {}

QImage TJPEGImage::Decode(const std::vector<std::uint8_t>& bytes) const {
    return DecodeJpeg(bytes.data(), bytes.size());
}
std::vector<std::uint8_t> TJPEGImage::Encode(const QImage& image) const {
    return EncodeJpeg(image, FQuality, FProgressive);
}
void TJPEGImage::AssignSettings(const TEncodedImage& source) {
    const auto& jpeg = static_cast<const TJPEGImage&>(source);
    FQuality = jpeg.FQuality;
    FProgressive = jpeg.FProgressive;
}

KV_REGISTER_CLASS(TPicture, TPersistent, b) {}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed() {
    if (OnChange)
        OnChange(this);
}

namespace {
std::unique_ptr<TGraphic> NewGraphicLike(const TGraphic* g) {
    if (dynamic_cast<const TPngImage*>(g))
        return std::make_unique<TPngImage>();
    if (dynamic_cast<const TJPEGImage*>(g))
        return std::make_unique<TJPEGImage>();
    return std::make_unique<TBitmap>();
}
} // namespace

void TPicture::SetGraphic(const TGraphic* g) {
    if (!g) {
        Clear();
        return;
    }
    auto copy = NewGraphicLike(g);
    copy->Assign(g);
    copy->OnChange = [this](TObject*) { Changed(); };
    FGraphic = std::move(copy);
    Changed();
}

TBitmap* TPicture::Bitmap() {
    if (auto* b = dynamic_cast<TBitmap*>(FGraphic.get()))
        return b;
    auto bmp = std::make_unique<TBitmap>();
    if (FGraphic)
        bmp->Assign(FGraphic.get());
    bmp->OnChange = [this](TObject*) { Changed(); };
    FGraphic = std::move(bmp);
    FResource.clear();
    return static_cast<TBitmap*>(FGraphic.get());
}

void TPicture::LoadFromBytes(const std::vector<std::uint8_t>& bytes) {
    std::unique_ptr<TGraphic> g;
    if (bytes.size() >= 8 && bytes[0] == 0x89 && bytes[1] == 'P' && bytes[2] == 'N' && bytes[3] == 'G')
        g = std::make_unique<TPngImage>();
    else if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
        g = std::make_unique<TJPEGImage>();
    else if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        g = std::make_unique<TBitmap>();
    else
        throw EKvError("Unknown picture file format");
    g->LoadFromBytes(bytes);
    g->OnChange = [this](TObject*) { Changed(); };
    FGraphic = std::move(g);
    Changed();
}

void TPicture::LoadFromFile(const std::string& path) {
    LoadFromBytes(ReadFileBytes(path));
}

void TPicture::SaveToFile(const std::string& path) const {
    if (!FGraphic)
        throw EKvError("The picture is empty");
    FGraphic->SaveToFile(path);
}

void TPicture::Clear() {
    if (!FGraphic)
        return;
    FGraphic.reset();
    FResource.clear();
    Changed();
}

void TPicture::Assign(const TPersistent* source) {
    if (!source) {
        Clear();
        return;
    }
    if (auto* p = dynamic_cast<const TPicture*>(source)) {
        if (p == this)
            return;
        FResource = p->FResource;
        SetGraphic(p->FGraphic.get());
        return;
    }
    if (auto* g = dynamic_cast<const TGraphic*>(source)) {
        FResource.clear();
        SetGraphic(g);
        return;
    }
    TPersistent::Assign(source);
}

} // namespace kv
