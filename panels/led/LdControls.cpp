#include "panels/led/LdControls.h"

#include "panels/PkControlHelpers.h"
#include "panels/PkGraphics.h"
#include "panels/PkMouseWatch.h"
#include "platform/gui/StdPanels.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <map>

namespace kv {

std::vector<std::string> EnumIdents(TLdImageTextLayout) {
    return {"ImageLeft", "ImageRight", "ImageTop", "ImageBottom"};
}
std::vector<std::string> EnumIdents(TLdTextAlignment) {
    return {"vtaLeft",     "vtaCenter",     "vtaRight",  "vtaTopLeft",    "vtaTop",
            "vtaTopRight", "vtaBottomLeft", "vtaBottom", "vtaBottomRight"};
}
std::vector<std::string> EnumIdents(TLdFont3DStyle) {
    return {"f3dNone", "f3dRaised", "f3dSunken", "f3dShadow"};
}

// ---------------------------------------------------------------------------------------------------
// Control bases

KV_REGISTER_CLASS(TLdCustomControl, TCustomControl, b) {
    b.Prop("Version", &TLdCustomControl::Version, &TLdCustomControl::SetVersion)
        .Stored([](const TLdCustomControl&) { return false; });
}

TLdCustomControl::TLdCustomControl(TComponent* owner) : TCustomControl(owner), FVersion("1.4.5") {
    FWatch = std::make_unique<TPkMouseWatch>(
        FWidget, [this] { MouseEnter(); }, [this] { MouseLeave(); });
}

TLdCustomControl::~TLdCustomControl() = default;

void TLdCustomControl::RequestRepaint() {
    if (IsLoading() || FUpdateCount != 0)
        return;
    Repaint();
}

void TLdCustomControl::EndUpdate() {
    if (FUpdateCount > 0)
        --FUpdateCount;
    RequestRepaint();
}

void TLdCustomControl::MouseEnter() {
    DoMouseEnter();
}
void TLdCustomControl::MouseLeave() {
    DoMouseLeave();
}
void TLdCustomControl::DoMouseEnter() {
    if (OnMouseEnter)
        OnMouseEnter(this);
}
void TLdCustomControl::DoMouseLeave() {
    if (OnMouseLeave)
        OnMouseLeave(this);
}
void TLdCustomControl::DoFontChanged() {
    if (OnFontChanged)
        OnFontChanged(this);
}
void TLdCustomControl::DoTextChanged() {
    if (OnTextChanged)
        OnTextChanged(this);
}
void TLdCustomControl::FontChanged() {
    TCustomControl::FontChanged();
    DoFontChanged();
}
void TLdCustomControl::TextChanged() {
    TCustomControl::TextChanged();
    DoTextChanged();
}

KV_REGISTER_CLASS(TLdCustomImageControl, TLdCustomControl, b) {}

TLdCustomImageControl::TLdCustomImageControl(TComponent* owner)
    : TLdCustomControl(owner), FBitmapImage(std::make_unique<TBitmap>()) {}

TLdCustomImageControl::~TLdCustomImageControl() = default;

void TLdCustomImageControl::PrepareImage() {
    FBitmapImage->SetSize(std::max(0, Width()), std::max(0, Height()));
    TCanvas* c = FBitmapImage->Canvas();
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect({0, 0, Width(), Height()});
}

void TLdCustomImageControl::Paint(TCanvas& canvas) {
    DestCanvas = &canvas;
    int w = std::min(Width(), FBitmapImage->Width()), h = std::min(Height(), FBitmapImage->Height());
    if (w > 0 && h > 0)
        canvas.CopyRect({0, 0, w, h}, *FBitmapImage->Canvas(), {0, 0, w, h});
    DestCanvas = nullptr;
}

KV_REGISTER_CLASS(TLdButtonControl, TLdCustomImageControl, b) {}

TLdButtonControl::TLdButtonControl(TComponent* owner) : TLdCustomImageControl(owner) {
    FClickOnMouseUp = false;
    FColor = clBtnFace;
    FParentColor = false;
}

void TLdButtonControl::SetFocusColor(TColor v) {
    if (Differs(FFocusColor, v))
        RequestRepaint();
}
void TLdButtonControl::SetOutlineColor(TColor v) {
    if (Differs(FOutlineColor, v))
        RequestRepaint();
}
void TLdButtonControl::SetShadowColor(TColor v) {
    if (Differs(FShadowColor, v))
        RequestRepaint();
}
void TLdButtonControl::SetHighlightColor(TColor v) {
    if (Differs(FHighlightColor, v))
        RequestRepaint();
}

void TLdButtonControl::DoEnter() {
    if (!FFocused) {
        FFocused = true;
        RequestRepaint();
    }
    TLdCustomImageControl::DoEnter();
}

void TLdButtonControl::DoExit() {
    if (FFocused) {
        FFocused = false;
        RequestRepaint();
    }
    TLdCustomImageControl::DoExit();
}

void TLdButtonControl::SetEnabled(bool v) {
    TLdCustomImageControl::SetEnabled(v);
    RequestRepaint();
}

bool TLdButtonControl::DialogChar(char key) {
    if (!Enabled() || !MatchesAccelerator(Caption(), key))
        return false;
    ClickEvent();
    return true;
}

void TLdButtonControl::ClickEvent() {
    if (OnClick)
        OnClick(this);
}

// ---------------------------------------------------------------------------------------------------
// Persistent settings

KV_REGISTER_CLASS(TLdPersistent, TPersistent, b) {}

void TLdPersistent::EndUpdate() {
    if (FUpdateCount > 0)
        --FUpdateCount;
    Changed();
}

void TLdPersistent::Changed() {
    if (FUpdateCount == 0 && OnChange)
        OnChange(this);
}

KV_REGISTER_CLASS(TLdPalette, TLdPersistent, b) {
    b.Prop("Low", &TLdPalette::Low, &TLdPalette::SetLow).Idents(ColorIdents(), "TColor");
    b.Prop("High", &TLdPalette::High, &TLdPalette::SetHigh).Idents(ColorIdents(), "TColor");
}

void TLdPalette::SetLow(TColor v) {
    if (v == FLow)
        return;
    FLow = v;
    Changed();
}

void TLdPalette::SetHigh(TColor v) {
    if (v == FHigh)
        return;
    FHigh = v;
    Changed();
}

void TLdPalette::Assign(const TPersistent* source) {
    if (auto* p = dynamic_cast<const TLdPalette*>(source)) {
        BeginUpdate();
        SetLow(p->FLow);
        SetHigh(p->FHigh);
        EndUpdate();
        return;
    }
    TLdPersistent::Assign(source);
}

void TLdPalette::ToBMP(TBitmap* bitmap, TColor darkColor, TColor lightColor) const {
    if (!bitmap || bitmap->Empty())
        return;
    // A mask per tone, painted through in the palette colour: the same result as the masked
    // raster operation, pixel for pixel.
    const QRgb dark = ToQRgb(darkColor) & 0xFFFFFFu, light = ToQRgb(lightColor) & 0xFFFFFFu;
    const QRgb low = 0xFF000000u | ToQRgb(FLow), high = 0xFF000000u | ToQRgb(FHigh);
    QImage& img = bitmap->Image();
    const QImage source = img.copy();
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) {
            QRgb px = source.pixel(x, y) & 0xFFFFFFu;
            if (px == dark)
                img.setPixel(x, y, low);
            else if (px == light)
                img.setPixel(x, y, high);
        }
}

KV_REGISTER_CLASS(TLdFont3D, TLdPersistent, b) {
    b.Prop("Style", &TLdFont3D::Style, &TLdFont3D::SetStyle).Default(TLdFont3DStyle::f3dNone);
    b.Prop("HighlightColor", &TLdFont3D::HighlightColor, &TLdFont3D::SetHighlightColor)
        .Default(clBtnHighlight)
        .Idents(ColorIdents(), "TColor");
    b.Prop("ShadowColor", &TLdFont3D::ShadowColor, &TLdFont3D::SetShadowColor)
        .Default(clBtnShadow)
        .Idents(ColorIdents(), "TColor");
    b.Prop("HighlightDepth", &TLdFont3D::HighlightDepth, &TLdFont3D::SetHighlightDepth).Default(1);
    b.Prop("ShadowDepth", &TLdFont3D::ShadowDepth, &TLdFont3D::SetShadowDepth).Default(1);
}

namespace {
template <class T> void Store(TLdPersistent& owner, T& field, T value) {
    if (field == value)
        return;
    field = value;
    owner.Changed();
}
} // namespace

void TLdFont3D::SetStyle(TLdFont3DStyle v) {
    Store(*this, FStyle, v);
}
void TLdFont3D::SetHighlightColor(TColor v) {
    Store(*this, FHighlightColor, v);
}
void TLdFont3D::SetShadowColor(TColor v) {
    Store(*this, FShadowColor, v);
}
void TLdFont3D::SetHighlightDepth(int v) {
    Store(*this, FHighlightDepth, v);
}
void TLdFont3D::SetShadowDepth(int v) {
    Store(*this, FShadowDepth, v);
}

void TLdFont3D::Assign(const TPersistent* source) {
    if (auto* f = dynamic_cast<const TLdFont3D*>(source)) {
        BeginUpdate();
        SetStyle(f->FStyle);
        SetHighlightColor(f->FHighlightColor);
        SetShadowColor(f->FShadowColor);
        SetHighlightDepth(f->FHighlightDepth);
        SetShadowDepth(f->FShadowDepth);
        EndUpdate();
        return;
    }
    TLdPersistent::Assign(source);
}

void TLdFont3D::Paint(TCanvas& canvas, const TRect& rect, unsigned format, const std::string& text) const {
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    const TColor fontColor = canvas.Font()->Color();
    auto pass = [&](TColor colour, int dx, int dy) {
        TRect r{rect.Left + dx, rect.Top + dy, rect.Right + dx, rect.Bottom + dy};
        canvas.Font()->SetColor(colour);
        canvas.DrawText(text, r, format);
    };
    switch (FStyle) {
    case TLdFont3DStyle::f3dRaised:
        pass(FShadowColor, FShadowDepth, FShadowDepth);
        pass(FHighlightColor, -FHighlightDepth, -FHighlightDepth);
        break;
    case TLdFont3DStyle::f3dSunken:
        pass(FHighlightColor, FHighlightDepth, FHighlightDepth);
        pass(FShadowColor, -FShadowDepth, -FShadowDepth);
        break;
    case TLdFont3DStyle::f3dShadow:
        pass(FShadowColor, FShadowDepth, FShadowDepth);
        break;
    case TLdFont3DStyle::f3dNone:
        break;
    }
    pass(fontColor, 0, 0);
    canvas.Font()->SetColor(fontColor);
}

// ---------------------------------------------------------------------------------------------------
// Drawing routines

void DrawFrame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
    Frame3D(canvas, rect, topColor, bottomColor, width);
}

void DrawEmbossedText(TCanvas& canvas, const std::string& text, const TRect& rect, bool enabled) {
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    if (enabled) {
        TRect r = rect;
        canvas.DrawText(text, r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
        return;
    }
    TRect shifted{rect.Left + 1, rect.Top + 1, rect.Right + 1, rect.Bottom + 1};
    canvas.Font()->SetColor(clBtnHighlight);
    canvas.DrawText(text, shifted, 0);
    TRect r = rect;
    canvas.Font()->SetColor(clBtnShadow);
    canvas.DrawText(text, r, 0);
}

void CalcImageTextLayout(TCanvas& canvas, const TRect& content, TSize imageSize, int spacing, int margin,
                         TLdImageTextLayout layout, const std::string& text, TPoint& imagePos,
                         TRect& textRect) {
    const int W = content.Width(), H = content.Height();
    const int w = imageSize.cx, h = imageSize.cy;
    TRect t{0, 0, 0, 0};
    if (!text.empty()) {
        t = {0, 0, W, 0};
        canvas.DrawText(text, t, DT_CALCRECT);
    }
    const int tw = t.Width(), th = t.Height();
    const bool across = layout == TLdImageTextLayout::ImageLeft || layout == TLdImageTextLayout::ImageRight;
    TPoint img, txt;
    if (across) {
        img.Y = (H - h + 1) / 2;
        txt.Y = (H - th + 1) / 2;
    } else {
        img.X = (W - w + 1) / 2;
        txt.X = (W - tw + 1) / 2;
    }
    if (tw == 0 || w == 0)
        spacing = 0;
    if (margin == -1) {
        if (spacing == -1) {
            int totalW = w + tw, totalH = h + th;
            margin = across ? (W - totalW) / 3 : (H - totalH) / 3;
            spacing = margin;
        } else {
            int totalW = w + spacing + tw, totalH = h + spacing + th;
            margin = across ? (W - totalW + 1) / 2 : (H - totalH + 1) / 2;
        }
    } else if (spacing == -1) {
        int restW = W - (margin + w), restH = H - (margin + h);
        spacing = across ? (restW - tw) / 2 : (restH - th) / 2;
    }
    switch (layout) {
    case TLdImageTextLayout::ImageLeft:
        img.X = margin;
        txt.X = img.X + w + spacing;
        break;
    case TLdImageTextLayout::ImageRight:
        img.X = W - margin - w;
        txt.X = img.X - spacing - tw;
        break;
    case TLdImageTextLayout::ImageTop:
        img.Y = margin;
        txt.Y = img.Y + h + spacing;
        break;
    case TLdImageTextLayout::ImageBottom:
        img.Y = H - margin - h;
        txt.Y = img.Y - spacing - th;
        break;
    }
    imagePos = {img.X + content.Left, img.Y + content.Top};
    textRect = {t.Left + content.Left + txt.X, t.Top + content.Top + txt.Y, t.Right + content.Left + txt.X,
                t.Bottom + content.Top + txt.Y};
}

void TileBitmap(TCanvas& canvas, const TRect& rect, const TBitmap* bitmap) {
    if (!bitmap || bitmap->Empty())
        return;
    for (int x = rect.Left; x < rect.Right; x += bitmap->Width())
        for (int y = rect.Top; y < rect.Bottom; y += bitmap->Height())
            canvas.Draw(x, y, bitmap);
}

// ---------------------------------------------------------------------------------------------------
// The hand cursor, registered once at start-up as cursor 99.

namespace {
std::map<int, QCursor>& ScreenCursors() {
    static std::map<int, QCursor> cursors;
    return cursors;
}

QCursor MakeHandCursor() {
    // Our own picture: a pointing hand outlined in black on white, hot spot at the fingertip.
    static const char* const rows[] = {
        "     XX         ", "    X..X        ", "    X..X        ", "    X..X        ",
        "    X..XXX      ", "    X..X..XXX   ", " XX X..X..X..XX ", "X..XX........X.X",
        "X...X..........X", " X.............X", "  X............X", "  X...........X ",
        "   X..........X ", "    X........X  ", "    X........X  ", "    XXXXXXXXXX  ",
    };
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            char c = rows[y][x];
            if (c == 'X')
                img.setPixel(x, y, 0xFF000000u);
            else if (c == '.')
                img.setPixel(x, y, 0xFFFFFFFFu);
        }
    return QCursor(QPixmap::fromImage(img), 5, 0);
}
} // namespace

const QCursor* LdScreenCursor(int number) {
    auto& cursors = ScreenCursors();
    if (cursors.empty())
        cursors.emplace(crLdHandPoint, MakeHandCursor());
    auto it = cursors.find(number);
    return it == cursors.end() ? nullptr : &it->second;
}

} // namespace kv
