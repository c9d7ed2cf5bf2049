// The fill descriptor and the gradient painter it draws with.

#include "styled/gdiplus/GDIPFill.h"

#include "styled/gdiplus/IniFile.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cmath>
#include <memory>
#include <optional>

namespace kv {

std::vector<std::string> EnumIdents(TFillRoundingType) {
    return {"rtNone", "rtTop", "rtBottom", "rtBoth", "rtLeft", "rtRight"};
}
std::vector<std::string> EnumIdents(TFillPicturePosition) {
    return {"ppTopLeft", "ppTopCenter", "ppTopRight",   "ppBottomLeft",   "ppBottomCenter", "ppBottomRight",
            "ppTiled",   "ppStretched", "ppCenterLeft", "ppCenterCenter", "ppCenterRight",  "ppCustom"};
}
std::vector<std::string> EnumIdents(TFillPictureSize) {
    return {"psOriginal", "psCustom"};
}
std::vector<std::string> EnumIdents(TFillPictureMode) {
    return {"pmInsideFill", "pmOutsideFill"};
}
std::vector<std::string> EnumIdents(TPictureMode) {
    return {"pmStretch", "pmNormal"};
}
std::vector<std::string> EnumIdents(TShadowType) {
    return {"stRightBottom", "stBottom", "stSurround"};
}
std::vector<std::string> EnumIdents(TGlowMode) {
    return {"gmNone", "gmGradient", "gmRadial", "gmRadialGradient"};
}

// ---------------------------------------------------------------------------------------------------
// DrawGradientFill

void DrawGradientFill(const TGradientFillParams& p) {
    TGPGraphics* g = p.Graphics;
    if (!g)
        return;
    const bool usePath = p.UsePath && p.Path;
    const TGPRectF& r = p.Rect;
    const ARGB c1 = ColorToARGB(p.Opacity1, p.Color1);
    const ARGB c2 = ColorToARGB(p.Opacity2, p.Color2);
    auto fill = [&](TGPBrush& brush) {
        if (usePath)
            g->FillPath(&brush, p.Path);
        else
            g->FillRectangle(&brush, r);
    };
    const TGPRectF grown{r.X - 1, r.Y - 1, r.Width + 2, r.Height + 2};
    switch (p.GradientType) {
    case gtSolid: {
        TGPSolidBrush b(c1);
        fill(b);
        break;
    }
    case gtVertical:
    case gtHorizontal:
    case gtForwardDiagonal:
    case gtBackwardDiagonal: {
        const LinearGradientMode mode = p.GradientType == gtVertical     ? LinearGradientModeVertical
                                        : p.GradientType == gtHorizontal ? LinearGradientModeHorizontal
                                        : p.GradientType == gtForwardDiagonal
                                            ? LinearGradientModeForwardDiagonal
                                            : LinearGradientModeBackwardDiagonal;
        TGPLinearGradientBrush b(grown, c1, c2, mode);
        b.SetGammaCorrection(true);
        fill(b);
        if (p.Mirror) {
            TGPSolidBrush top(c1);
            g->FillRectangle(&top, TGPRectF{r.X, r.Y, r.Width, 1});
        }
        break;
    }
    case gtAngle: {
        TGPLinearGradientBrush b(grown, c1, c2, static_cast<REAL>(p.Angle), true);
        b.SetGammaCorrection(true);
        fill(b);
        break;
    }
    case gtHatch: {
        TGPHatchBrush b(p.Hatch, c1, c2);
        fill(b);
        break;
    }
    case gtTexture:
        if (p.Texture) {
            if (usePath)
                p.Texture->FillPath(g, p.Path);
            else
                p.Texture->FillRect(g, r);
        }
        break;
    default:
        break;
    }
    if (p.BorderColor != clNone) {
        TGPPen pen(ColorToARGB(p.Opacity1, p.BorderColor), static_cast<REAL>(p.BorderWidth));
        pen.SetDashStyle(p.BorderDashStyle);
        if (usePath)
            g->DrawPath(&pen, p.Path);
        else
            g->DrawRectangle(&pen, r);
    }
}

// ---------------------------------------------------------------------------------------------------
// Outlines and picture placement

TGPGraphicsPath* CreateRoundRectPath(const TGPRectF& r, int radius, TFillRoundingType rt) {
    auto* path = new TGPGraphicsPath(FillModeAlternate);
    const bool tl =
        rt == TFillRoundingType::rtTop || rt == TFillRoundingType::rtBoth || rt == TFillRoundingType::rtLeft;
    const bool tr =
        rt == TFillRoundingType::rtTop || rt == TFillRoundingType::rtBoth || rt == TFillRoundingType::rtRight;
    const bool br = rt == TFillRoundingType::rtBottom || rt == TFillRoundingType::rtBoth ||
                    rt == TFillRoundingType::rtRight;
    const bool bl = rt == TFillRoundingType::rtBottom || rt == TFillRoundingType::rtBoth ||
                    rt == TFillRoundingType::rtLeft;
    const REAL d = static_cast<REAL>(2 * radius);
    const REAL x = r.X, y = r.Y, w = r.Width, h = r.Height;
    if (radius <= 0) {
        const TGPPointF pts[4] = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
        path->AddLines(pts, 4);
        path->CloseFigure();
        return path;
    }
    if (tl)
        path->AddArc(x, y, d, d, 180, 90);
    else
        path->AddLine(x, y, x, y);
    if (tr)
        path->AddArc(x + w - d, y, d, d, 270, 90);
    else
        path->AddLine(x + w, y, x + w, y);
    if (br)
        path->AddArc(x + w - d, y + h - d, d, d, 0, 90);
    else
        path->AddLine(x + w, y + h, x + w, y + h);
    if (bl)
        path->AddArc(x, y + h - d, d, d, 90, 90);
    else
        path->AddLine(x, y + h, x, y + h);
    path->CloseFigure();
    return path;
}

void FitPictureSize(double w, double h, double W, double H, TPictureMode mode, double& outW, double& outH) {
    outW = 0;
    outH = 0;
    if (w <= 0 || h <= 0 || W <= 0 || H <= 0)
        return;
    if (mode == TPictureMode::pmNormal && w < W && h < H) {
        outW = w;
        outH = h;
        return;
    }
    if (W / H > w / h) {
        outH = H;
        outW = w * H / h;
    } else {
        outW = W;
        outH = h * W / w;
    }
}

// ---------------------------------------------------------------------------------------------------
// TGDIPFill

KV_REGISTER_CLASS(TGDIPFill, TPersistent, b) {
    b.Prop("Color", &TGDIPFill::Color, &TGDIPFill::SetColor)
        .Default(0xC0C0C0)
        .Idents(ColorIdents(), "TColor");
    b.Prop("ColorTo", &TGDIPFill::ColorTo, &TGDIPFill::SetColorTo)
        .Default(0x808080)
        .Idents(ColorIdents(), "TColor");
    b.Prop("ColorMirror", &TGDIPFill::ColorMirror, &TGDIPFill::SetColorMirror)
        .Idents(ColorIdents(), "TColor");
    b.Prop("ColorMirrorTo", &TGDIPFill::ColorMirrorTo, &TGDIPFill::SetColorMirrorTo)
        .Idents(ColorIdents(), "TColor");
    b.Prop("GradientType", &TGDIPFill::GradientType, &TGDIPFill::SetGradientType).Default(gtVertical);
    b.Prop("GradientMirrorType", &TGDIPFill::GradientMirrorType, &TGDIPFill::SetGradientMirrorType)
        .Default(gtSolid);
    b.Prop("HatchStyle", &TGDIPFill::GetHatchStyle, &TGDIPFill::SetHatchStyle).Default(HatchStyleHorizontal);
    b.Prop("HatchStyleMirror", &TGDIPFill::HatchStyleMirror, &TGDIPFill::SetHatchStyleMirror)
        .Default(HatchStyleHorizontal);
    b.Prop("BackGroundPictureAspectRatio", &TGDIPFill::BackGroundPictureAspectRatio,
           &TGDIPFill::SetBackGroundPictureAspectRatio)
        .Default(false);
    b.Prop("BackGroundPictureMode", &TGDIPFill::BackGroundPictureMode, &TGDIPFill::SetBackGroundPictureMode)
        .Default(TFillPictureMode::pmOutsideFill);
    b.Prop("BackGroundPicture", &TGDIPFill::BackGroundPicture, &TGDIPFill::SetBackGroundPicture);
    b.Prop("BackGroundPicturePosition", &TGDIPFill::BackGroundPicturePosition,
           &TGDIPFill::SetBackGroundPicturePosition)
        .Default(TFillPicturePosition::ppTopLeft);
    b.Prop("BackGroundPictureLeft", &TGDIPFill::BackGroundPictureLeft, &TGDIPFill::SetBackGroundPictureLeft)
        .Default(0);
    b.Prop("BackGroundPictureTop", &TGDIPFill::BackGroundPictureTop, &TGDIPFill::SetBackGroundPictureTop)
        .Default(0);
    b.Prop("BackGroundPictureAspectMode", &TGDIPFill::BackGroundPictureAspectMode,
           &TGDIPFill::SetBackGroundPictureAspectMode)
        .Default(TPictureMode::pmStretch);
    b.Prop("Picture", &TGDIPFill::Picture, &TGDIPFill::SetPicture);
    b.Prop("PicturePosition", &TGDIPFill::PicturePosition, &TGDIPFill::SetPicturePosition)
        .Default(TFillPicturePosition::ppTopLeft);
    b.Prop("PictureLeft", &TGDIPFill::PictureLeft, &TGDIPFill::SetPictureLeft).Default(0);
    b.Prop("PictureTop", &TGDIPFill::PictureTop, &TGDIPFill::SetPictureTop).Default(0);
    b.Prop("PictureSize", &TGDIPFill::PictureSize, &TGDIPFill::SetPictureSize)
        .Default(TFillPictureSize::psOriginal);
    b.Prop("PictureWidth", &TGDIPFill::PictureWidth, &TGDIPFill::SetPictureWidth).Default(50);
    b.Prop("PictureHeight", &TGDIPFill::PictureHeight, &TGDIPFill::SetPictureHeight).Default(50);
    b.Prop("PictureAspectRatio", &TGDIPFill::PictureAspectRatio, &TGDIPFill::SetPictureAspectRatio)
        .Default(false);
    b.Prop("PictureAspectMode", &TGDIPFill::PictureAspectMode, &TGDIPFill::SetPictureAspectMode)
        .Default(TPictureMode::pmStretch);
    b.Prop("Opacity", &TGDIPFill::Opacity, &TGDIPFill::SetOpacity).Default(255);
    b.Prop("OpacityTo", &TGDIPFill::OpacityTo, &TGDIPFill::SetOpacityTo).Default(255);
    b.Prop("OpacityMirror", &TGDIPFill::OpacityMirror, &TGDIPFill::SetOpacityMirror).Default(255);
    b.Prop("OpacityMirrorTo", &TGDIPFill::OpacityMirrorTo, &TGDIPFill::SetOpacityMirrorTo).Default(255);
    b.Prop("BorderColor", &TGDIPFill::BorderColor, &TGDIPFill::SetBorderColor)
        .Idents(ColorIdents(), "TColor");
    b.Prop("BorderOpacity", &TGDIPFill::BorderOpacity, &TGDIPFill::SetBorderOpacity).Default(255);
    b.Prop("BorderWidth", &TGDIPFill::BorderWidth, &TGDIPFill::SetBorderWidth).Default(1);
    b.Prop("Rounding", &TGDIPFill::Rounding, &TGDIPFill::SetRounding);
    b.Prop("RoundingType", &TGDIPFill::RoundingType, &TGDIPFill::SetRoundingType)
        .Default(TFillRoundingType::rtBoth);
    b.Prop("ShadowColor", &TGDIPFill::ShadowColor, &TGDIPFill::SetShadowColor)
        .Default(0x808080)
        .Idents(ColorIdents(), "TColor");
    b.Prop("ShadowOffset", &TGDIPFill::ShadowOffset, &TGDIPFill::SetShadowOffset);
    b.Prop("ShadowType", &TGDIPFill::ShadowType, &TGDIPFill::SetShadowType)
        .Default(TShadowType::stRightBottom);
    b.Prop("Angle", &TGDIPFill::Angle, &TGDIPFill::SetAngle).Default(0);
    b.Event("OnChange", &TGDIPFill::OnChange);
    b.Prop("Glow", &TGDIPFill::Glow, &TGDIPFill::SetGlow);
    b.Prop("GlowGradientColor", &TGDIPFill::GlowGradientColor, &TGDIPFill::SetGlowGradientColor)
        .Default(0xFFFFFF)
        .Idents(ColorIdents(), "TColor");
    b.Prop("GlowRadialColor", &TGDIPFill::GlowRadialColor, &TGDIPFill::SetGlowRadialColor)
        .Default(0xFFFFFF)
        .Idents(ColorIdents(), "TColor");
}

TGDIPFill::TGDIPFill()
    : FBackGroundPicture(std::make_unique<TStGDIPPicture>()), FPicture(std::make_unique<TStGDIPPicture>()) {
    FBackGroundPicture->OnChange = [this](TObject* s) { PictureChanged(s); };
    FPicture->OnChange = [this](TObject* s) { PictureChanged(s); };
}

TGDIPFill::~TGDIPFill() = default;

void TGDIPFill::Changed() {
    if (OnChange && FUpdateCount == 0)
        OnChange(this);
}

void TGDIPFill::SetBackGroundPicture(const TStGDIPPicture* v) {
    if (v != FBackGroundPicture.get())
        FBackGroundPicture->Assign(v);
    Changed();
}

void TGDIPFill::SetPicture(const TStGDIPPicture* v) {
    if (v != FPicture.get())
        FPicture->Assign(v);
    Changed();
}

void TGDIPFill::Assign(const TPersistent* source) {
    auto* s = dynamic_cast<const TGDIPFill*>(source);
    if (!s)
        return;
    FColor = s->FColor;
    FColorTo = s->FColorTo;
    FColorMirror = s->FColorMirror;
    FColorMirrorTo = s->FColorMirrorTo;
    FGradientType = s->FGradientType;
    FGradientMirrorType = s->FGradientMirrorType;
    FHatchStyle = s->FHatchStyle;
    FHatchStyleMirror = s->FHatchStyleMirror;
    FBackGroundPictureAspectRatio = s->FBackGroundPictureAspectRatio;
    FBackGroundPictureMode = s->FBackGroundPictureMode;
    FBackGroundPicturePosition = s->FBackGroundPicturePosition;
    FBackGroundPictureLeft = s->FBackGroundPictureLeft;
    FBackGroundPictureTop = s->FBackGroundPictureTop;
    FBackGroundPictureAspectMode = s->FBackGroundPictureAspectMode;
    FPicturePosition = s->FPicturePosition;
    FPictureLeft = s->FPictureLeft;
    FPictureTop = s->FPictureTop;
    FPictureSize = s->FPictureSize;
    FPictureWidth = s->FPictureWidth;
    FPictureHeight = s->FPictureHeight;
    FPictureAspectRatio = s->FPictureAspectRatio;
    FPictureAspectMode = s->FPictureAspectMode;
    FOpacity = s->FOpacity;
    FOpacityTo = s->FOpacityTo;
    FOpacityMirror = s->FOpacityMirror;
    FOpacityMirrorTo = s->FOpacityMirrorTo;
    FBorderColor = s->FBorderColor;
    FBorderOpacity = s->FBorderOpacity;
    FBorderWidth = s->FBorderWidth;
    FRounding = s->FRounding;
    FRoundingType = s->FRoundingType;
    FShadowColor = s->FShadowColor;
    FShadowOffset = s->FShadowOffset;
    FShadowType = s->FShadowType;
    FAngle = s->FAngle;
    FGlow = s->FGlow;
    FGlowGradientColor = s->FGlowGradientColor;
    FGlowRadialColor = s->FGlowRadialColor;
    ++FUpdateCount; // the pictures' own change events are folded into the one below
    FBackGroundPicture->Assign(s->FBackGroundPicture.get());
    FPicture->Assign(s->FPicture.get());
    --FUpdateCount;
    Changed();
}

void TGDIPFill::FillRadialGradient(TGPGraphics* g, const TGPRectF& q, TFillRoundingType rt, bool bottomForm,
                                   TColor a, int oa, TColor b, int ob) {
    std::unique_ptr<TGPGraphicsPath> outline(CreateRoundRectPath(q, FRounding, rt));
    TGPSolidBrush base(bottomForm ? ColorToARGB(ob, b) : ColorToARGB(oa, a));
    g->FillPath(&base, outline.get());
    g->SetClip(outline.get());
    TGPGraphicsPath ellipse;
    if (bottomForm)
        ellipse.AddEllipse(q.X, q.Y, q.Width, q.Height * 1.5f);
    else
        ellipse.AddEllipse(q.X, q.Y - q.Height / 2, q.Width, q.Height * 1.5f);
    TGPPathGradientBrush brush(&ellipse);
    brush.SetCenterPoint(TGPPointF{q.X + q.Width / 2, bottomForm ? q.Y + q.Height : q.Y});
    brush.SetCenterColor(bottomForm ? ColorToARGB(oa, a) : ColorToARGB(ob, b));
    ARGB surround = bottomForm ? ColorToARGB(ob, b) : ColorToARGB(oa, a);
    int count = 1;
    brush.SetSurroundColors(&surround, count);
    g->FillRectangle(&brush, q);
    g->ResetClip();
}

void TGDIPFill::DrawGradientBackGround(TGPGraphics* graphics, const TGPRectF& r, bool mirror, int oc,
                                       int octo, int ocmr, int ocmrto) {
    TStGradientType kind = mirror ? FGradientMirrorType : FGradientType;
    const TColor c1 = mirror ? FColorMirror : FColor;
    const TColor c2 = mirror ? FColorMirrorTo : FColorTo;
    if (c1 == clNone)
        kind = gtNone;
    else if (c2 == clNone)
        kind = gtSolid;
    std::unique_ptr<TGPGraphicsPath> path;
    if (FRounding != 0) {
        TFillRoundingType rt = FRoundingType;
        if (FColorMirror != clNone) {
            using R = TFillRoundingType;
            if (!mirror)
                rt = (rt == R::rtNone || rt == R::rtBottom)  ? R::rtNone
                     : (rt == R::rtLeft || rt == R::rtRight) ? rt
                                                             : R::rtTop;
            else
                rt = (rt == R::rtNone || rt == R::rtTop)     ? R::rtNone
                     : (rt == R::rtLeft || rt == R::rtRight) ? rt
                                                             : R::rtBottom;
        }
        path.reset(CreateRoundRectPath(r, FRounding, rt));
    }
    TGradientFillParams p;
    p.Graphics = graphics;
    p.Path = path.get();
    p.UsePath = path != nullptr;
    p.Rect = r;
    p.GradientType = kind;
    p.Color1 = c1;
    p.Color2 = c2;
    p.Opacity1 = mirror ? ocmr : oc;
    p.Opacity2 = mirror ? ocmrto : octo;
    p.Hatch = mirror ? FHatchStyleMirror : FHatchStyle;
    p.Angle = FAngle;
    p.Texture =
        FBackGroundPicturePosition == TFillPicturePosition::ppTiled ? FBackGroundPicture.get() : nullptr;
    p.BorderColor = clNone;
    p.Mirror = mirror;
    const SmoothingMode old = graphics->GetSmoothingMode();
    if (path)
        graphics->SetSmoothingMode(SmoothingModeAntiAlias);
    DrawGradientFill(p);
    if (path)
        graphics->SetSmoothingMode(old);
}

void TGDIPFill::DrawGlow(TGPGraphics* g, const TGPRectF& r) {
    if (FGlow == TGlowMode::gmNone)
        return;
    g->SetClip(r);
    const TGPRectF G{r.X + 1, r.Y + 1, r.Width - 2, r.Height - 2};
    if (FGlow == TGlowMode::gmGradient || FGlow == TGlowMode::gmRadialGradient) {
        std::unique_ptr<TGPGraphicsPath> outline(CreateRoundRectPath(G, FRounding, FRoundingType));
        TGPPen pen(ColorToARGB(200, FGlowGradientColor), 1);
        g->DrawPath(&pen, outline.get());
        auto band = [&](const TGPRectF& bandRect, int a1, int a2, const TGPPointF(&left)[3],
                        const TGPPointF(&right)[3]) {
            const TGPRectF grown{bandRect.X - 1, bandRect.Y - 1, bandRect.Width + 2, bandRect.Height + 2};
            TGPLinearGradientBrush brush(grown, ColorToARGB(a1, FGlowGradientColor),
                                         ColorToARGB(a2, FGlowGradientColor), LinearGradientModeVertical);
            g->FillRectangle(&brush, bandRect);
            g->FillPolygon(&brush, left, 3);
            g->FillPolygon(&brush, right, 3);
        };
        const REAL x = G.X, y = G.Y, w = G.Width, h = G.Height;
        band(TGPRectF{x + 5, y, w - 10, 4}, 175, 0, {{x, y}, {x + 5, y}, {x + 5, y + 4}},
             {{x + w, y}, {x + w - 5, y}, {x + w - 5, y + 4}});
        band(TGPRectF{x + 5, y + h - 7, w - 10, 7}, 0, 220, {{x, y + h}, {x + 5, y + h}, {x + 5, y + h - 7}},
             {{x + w, y + h}, {x + w - 5, y + h}, {x + w - 5, y + h - 7}});
    }
    if (FGlow == TGlowMode::gmRadial || FGlow == TGlowMode::gmRadialGradient) {
        TGPGraphicsPath ellipse;
        const TGPRectF e{G.X + 10, G.Y - G.Height / 2, G.Width - 20, 3 * G.Height};
        ellipse.AddEllipse(e);
        TGPPathGradientBrush brush(&ellipse);
        brush.SetCenterPoint(TGPPointF{e.X + e.Width / 2, e.Y + e.Height / 2});
        brush.SetCenterColor(ColorToARGB(150, FGlowRadialColor));
        ARGB surround = ColorToARGB(0, FColor);
        int count = 1;
        brush.SetSurroundColors(&surround, count);
        g->FillPath(&brush, &ellipse);
    }
    g->ResetClip();
}

void TGDIPFill::DrawFillPicture(TGPGraphics* g, TStGDIPPicture* pic, const TRect& b, int w, int h,
                                TFillPicturePosition pos, int left, int top, bool aspect, TPictureMode mode) {
    if (!pic || pic->GetEmpty())
        return;
    const int W = b.Right - b.Left, H = b.Bottom - b.Top;
    int x = b.Left, y = b.Top;
    using P = TFillPicturePosition;
    switch (pos) {
    case P::ppTopLeft:
        break;
    case P::ppTopCenter:
        x = b.Left + (W - w) / 2;
        break;
    case P::ppTopRight:
        x = b.Right - w;
        break;
    case P::ppBottomLeft:
        y = b.Bottom - h;
        break;
    case P::ppBottomCenter:
        x = b.Left + (W - w) / 2;
        y = b.Bottom - h;
        break;
    case P::ppBottomRight:
        x = b.Right - w;
        y = b.Bottom - h;
        break;
    case P::ppCenterLeft:
        y = b.Top + (H - h) / 2;
        break;
    case P::ppCenterCenter:
        x = b.Left + (W - w) / 2;
        y = b.Top + (H - h) / 2;
        break;
    case P::ppCenterRight:
        x = b.Right - w;
        y = b.Top + (H - h) / 2;
        break;
    case P::ppCustom:
        x = left;
        y = top;
        break;
    case P::ppTiled:
        return;
    case P::ppStretched: {
        double sw = W, sh = H;
        if (aspect)
            FitPictureSize(pic->Width(), pic->Height(), W, H, mode, sw, sh);
        w = static_cast<int>(std::nearbyint(sw));
        h = static_cast<int>(std::nearbyint(sh));
        x = static_cast<int>(std::nearbyint((W - w) / 2.0 + b.Left));
        y = static_cast<int>(std::nearbyint((H - h) / 2.0 + b.Top));
        break;
    }
    }
    pic->GDIPDraw(g, TRect{x, y, x + w, y + h});
}

TGPRectF TGDIPFill::Fill(TGPGraphics* graphics, const TGPRectF& r, int aBorderOpacity, int aOpacity,
                         int aOpacityTo, int aOpacityMirror, int aOpacityMirrorTo) {
    const int bo = aBorderOpacity == 255 ? FBorderOpacity : aBorderOpacity;
    const int oc = aOpacity == 255 ? FOpacity : aOpacity;
    const int octo = aOpacityTo == 255 ? FOpacityTo : aOpacityTo;
    const int ocmr = aOpacityMirror == 255 ? FOpacityMirror : aOpacityMirror;
    const int ocmrto = aOpacityMirrorTo == 255 ? FOpacityMirrorTo : aOpacityMirrorTo;
    TGPRectF F = r;
    const REAL W = r.Width, H = r.Height;
    auto placeB = [&] {
        return TRect{static_cast<int>(std::nearbyint(F.X)), static_cast<int>(std::nearbyint(F.Y)),
                     static_cast<int>(std::nearbyint(F.X + F.Width)),
                     static_cast<int>(std::nearbyint(F.Y + F.Height))};
    };
    if (!graphics)
        return F;
    if (W == 1 || H == 1) {
        if (FBorderWidth > 0 && FBorderColor != clNone) {
            TGPPen pen(ColorToARGB(bo, FBorderColor), static_cast<REAL>(FBorderWidth));
            graphics->DrawLine(&pen, r.X, r.Y, r.X + W, r.Y + H);
        }
    } else {
        // Shadow.
        const int S = FShadowOffset;
        if (S > 0 && FShadowColor != clNone) {
            if (FShadowType == TShadowType::stRightBottom || FShadowType == TShadowType::stSurround) {
                std::unique_ptr<TGPGraphicsPath> outline(
                    FShadowType == TShadowType::stRightBottom
                        ? CreateRoundRectPath(F, FRounding, FRoundingType)
                        : CreateRoundRectPath(F, S, TFillRoundingType::rtBoth));
                TGPPathGradientBrush brush(outline.get());
                brush.SetWrapMode(WrapModeClamp);
                const ARGB colours[3] = {0, ColorToARGB(180, FShadowColor), ColorToARGB(180, FShadowColor)};
                const REAL positions[3] = {0, 0.1f, 1.0f};
                brush.SetInterpolationColors(colours, positions, 3);
                graphics->FillPath(&brush, outline.get());
                if (FShadowType == TShadowType::stSurround)
                    F = {F.X + S, F.Y + S, F.Width - 2 * S, F.Height - 2 * S};
                else
                    F = {F.X, F.Y, F.Width - S, F.Height - S};
            } else {
                FillRadialGradient(graphics,
                                   TGPRectF{F.X, F.Y + F.Height - 2 * S, F.Width, static_cast<REAL>(2 * S)},
                                   TFillRoundingType::rtBottom, false, FShadowColor, 0, FShadowColor, 255);
                F.Height -= S;
            }
        }
        // Body.
        if (FGradientType == gtHatch || FGradientType == gtTexture || FColorMirror == clNone) {
            if (FGradientType == gtRadial) {
                if (FColor != clNone)
                    FillRadialGradient(graphics, F, FRoundingType, false, FColor, oc,
                                       FColorTo == clNone ? FColor : FColorTo, octo);
            } else {
                DrawGradientBackGround(graphics, F, false, oc, octo, ocmr, ocmrto);
            }
        } else {
            const REAL h = F.Height / 2;
            const TGPRectF U{F.X, F.Y, F.Width, F.Height - h + 1};
            const TGPRectF L{F.X, F.Y + h - 1, F.Width, F.Height - h + 1};
            if (FGradientType == gtRadial) {
                if (FColor != clNone)
                    FillRadialGradient(graphics, U, TFillRoundingType::rtTop, false, FColor, oc,
                                       FColorTo == clNone ? FColor : FColorTo, octo);
            } else {
                DrawGradientBackGround(graphics, U, false, oc, octo, ocmr, ocmrto);
            }
            if (FGradientMirrorType == gtRadial) {
                if (FColorMirror != clNone)
                    FillRadialGradient(graphics, L, TFillRoundingType::rtBottom, true, FColorMirror, ocmr,
                                       FColorMirrorTo == clNone ? FColorMirror : FColorMirrorTo, ocmrto);
            } else {
                DrawGradientBackGround(graphics, L, true, oc, octo, ocmr, ocmrto);
            }
        }
        // Background picture inside the outline.
        if (FBackGroundPictureMode == TFillPictureMode::pmInsideFill && FGradientType == gtTexture) {
            std::unique_ptr<TGPGraphicsPath> outline(CreateRoundRectPath(F, FRounding, FRoundingType));
            graphics->SetClip(outline.get());
            DrawFillPicture(graphics, FBackGroundPicture.get(), placeB(), FBackGroundPicture->Width(),
                            FBackGroundPicture->Height(), FBackGroundPicturePosition, FBackGroundPictureLeft,
                            FBackGroundPictureTop, FBackGroundPictureAspectRatio,
                            FBackGroundPictureAspectMode);
            graphics->ResetClip();
        }
        // Border, centred on the outline.
        if (FBorderWidth > 0 && FBorderColor != clNone) {
            std::unique_ptr<TGPGraphicsPath> outline(CreateRoundRectPath(F, FRounding, FRoundingType));
            TGPPen pen(ColorToARGB(bo, FBorderColor), static_cast<REAL>(FBorderWidth));
            graphics->DrawPath(&pen, outline.get());
        }
    }
    DrawGlow(graphics, F);
    FFocusRect = {F.X + FBorderWidth, F.Y + FBorderWidth, F.Width - 2 * FBorderWidth,
                  F.Height - 2 * FBorderWidth};
    if (FFocus) {
        // The focus outline sits inside the border; its radius cannot go below 0.
        std::unique_ptr<TGPGraphicsPath> outline(
            CreateRoundRectPath(FFocusRect, std::max(0, FRounding - FBorderWidth), FRoundingType));
        TGPPen pen(ColorToARGB(oc, FFocusColor), 1);
        pen.SetDashStyle(DashStyleDot);
        const SmoothingMode old = graphics->GetSmoothingMode();
        graphics->SetSmoothingMode(SmoothingModeDefault);
        graphics->DrawPath(&pen, outline.get());
        graphics->SetSmoothingMode(old);
    }
    const TRect B = placeB();
    if (FBackGroundPictureMode == TFillPictureMode::pmOutsideFill && FGradientType == gtTexture)
        DrawFillPicture(graphics, FBackGroundPicture.get(), B, FBackGroundPicture->Width(),
                        FBackGroundPicture->Height(), FBackGroundPicturePosition, FBackGroundPictureLeft,
                        FBackGroundPictureTop, FBackGroundPictureAspectRatio, FBackGroundPictureAspectMode);
    if (!FPicture->GetEmpty()) {
        FPicture->GetImageSizes();
        const int pw = FPictureSize == TFillPictureSize::psOriginal ? FPicture->Width() : FPictureWidth;
        const int ph = FPictureSize == TFillPictureSize::psOriginal ? FPicture->Height() : FPictureHeight;
        DrawFillPicture(graphics, FPicture.get(), B, pw, ph, FPicturePosition, FPictureLeft, FPictureTop,
                        FPictureAspectRatio, FPictureAspectMode);
    }
    return F;
}

// ---------------------------------------------------------------------------------------------------
// Persistence

namespace {
const char* const kIntKeys[] = {"Color",
                                "ColorTo",
                                "ColorMirror",
                                "ColorMirrorTo",
                                "GradientType",
                                "GradientMirrorType",
                                "HatchStyle",
                                "HatchStyleMirror",
                                "BackGroundPictureMode",
                                "BackGroundPicturePosition",
                                "BackGroundPictureLeft",
                                "BackGroundPictureTop",
                                "PicturePosition",
                                "PictureLeft",
                                "PictureTop",
                                "PictureSize",
                                "PictureWidth",
                                "PictureHeight",
                                "Opacity",
                                "OpacityTo",
                                "OpacityMirror",
                                "OpacityMirrorTo",
                                "BorderColor",
                                "BorderOpacity",
                                "BorderWidth",
                                "Rounding",
                                "RoundingType",
                                "ShadowOffset",
                                "ShadowColor",
                                "Angle",
                                "Glow",
                                "GlowGradientColor",
                                "GlowRadialColor"};

std::string ToHex(const std::vector<std::uint8_t>& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    s.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    throw EConvertError("No Hex-Number");
}

std::vector<std::uint8_t> FromHex(const std::string& s) {
    if (s.size() % 2 != 0)
        throw EConvertError("No Hex-Number");
    std::vector<std::uint8_t> out(s.size() / 2);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<std::uint8_t>(HexDigit(s[2 * i]) << 4 | HexDigit(s[2 * i + 1]));
    return out;
}

// The hex text's length travels under a key of its own, so that the PictureSize setting keeps its
// value ("PictureSize" used to be overwritten with the length).
constexpr const char* kPictureLength = "PictureDataSize";
constexpr const char* kBackgroundLength = "BackgroundPictureSize";
} // namespace

void TGDIPFill::SaveToFile(TIniFile& ini, const std::string& section) const {
    const long long values[] = {FColor,
                                FColorTo,
                                FColorMirror,
                                FColorMirrorTo,
                                FGradientType,
                                FGradientMirrorType,
                                FHatchStyle,
                                FHatchStyleMirror,
                                static_cast<long long>(FBackGroundPictureMode),
                                static_cast<long long>(FBackGroundPicturePosition),
                                FBackGroundPictureLeft,
                                FBackGroundPictureTop,
                                static_cast<long long>(FPicturePosition),
                                FPictureLeft,
                                FPictureTop,
                                static_cast<long long>(FPictureSize),
                                FPictureWidth,
                                FPictureHeight,
                                FOpacity,
                                FOpacityTo,
                                FOpacityMirror,
                                FOpacityMirrorTo,
                                FBorderColor,
                                FBorderOpacity,
                                FBorderWidth,
                                FRounding,
                                static_cast<long long>(FRoundingType),
                                FShadowOffset,
                                FShadowColor,
                                FAngle,
                                static_cast<long long>(FGlow),
                                FGlowGradientColor,
                                FGlowRadialColor};
    static_assert(std::size(values) == std::size(kIntKeys));
    for (std::size_t i = 0; i < std::size(kIntKeys); ++i)
        ini.WriteInteger(section, kIntKeys[i], values[i]);
    const std::string pic = FPicture->GetEmpty() ? std::string() : ToHex(FPicture->Bytes());
    ini.WriteString(section, "Picture", pic);
    ini.WriteInteger(section, kPictureLength, static_cast<long long>(pic.size()));
    const std::string bg =
        FBackGroundPicture->GetEmpty() ? std::string() : ToHex(FBackGroundPicture->Bytes());
    ini.WriteString(section, "BackgroundPicture", bg);
    ini.WriteInteger(section, kBackgroundLength, static_cast<long long>(bg.size()));
}

void TGDIPFill::LoadFromFile(TIniFile& ini, const std::string& section) {
    auto rd = [&](const char* key, long long def) { return ini.ReadInteger(section, key, def); };
    auto colour = [&](const char* key, TColor def) { return static_cast<TColor>(rd(key, def)); };
    auto byte = [&](const char* key, std::uint8_t def) {
        return static_cast<std::uint8_t>(rd(key, def) & 0xFF);
    };
    auto en = [&]<class E>(const char* key, E def) {
        return static_cast<E>(rd(key, static_cast<long long>(def)));
    };
    // Both pictures are checked before anything changes, so a bad text leaves the fill as it was.
    auto pictureBytes = [&](const char* textKey,
                            const char* lengthKey) -> std::optional<std::vector<std::uint8_t>> {
        const long long length = rd(lengthKey, 0);
        if (length <= 0)
            return std::nullopt;
        return FromHex(ini.ReadString(section, textKey, ""));
    };
    const auto pic = pictureBytes("Picture", kPictureLength);
    const auto bg = pictureBytes("BackgroundPicture", kBackgroundLength);
    ++FUpdateCount;
    FColor = colour("Color", FColor);
    FColorTo = colour("ColorTo", FColorTo);
    FColorMirror = colour("ColorMirror", FColorMirror);
    FColorMirrorTo = colour("ColorMirrorTo", FColorMirrorTo);
    FGradientType = en("GradientType", FGradientType);
    FGradientMirrorType = en("GradientMirrorType", FGradientMirrorType);
    FHatchStyle = en("HatchStyle", FHatchStyle);
    FHatchStyleMirror = en("HatchStyleMirror", FHatchStyleMirror);
    FBackGroundPictureMode = en("BackGroundPictureMode", FBackGroundPictureMode);
    FBackGroundPicturePosition = en("BackGroundPicturePosition", FBackGroundPicturePosition);
    FBackGroundPictureLeft = static_cast<int>(rd("BackGroundPictureLeft", FBackGroundPictureLeft));
    FBackGroundPictureTop = static_cast<int>(rd("BackGroundPictureTop", FBackGroundPictureTop));
    FPicturePosition = en("PicturePosition", FPicturePosition);
    FPictureLeft = static_cast<int>(rd("PictureLeft", FPictureLeft));
    FPictureTop = static_cast<int>(rd("PictureTop", FPictureTop));
    FPictureSize = en("PictureSize", FPictureSize);
    FPictureWidth = static_cast<int>(rd("PictureWidth", FPictureWidth));
    FPictureHeight = static_cast<int>(rd("PictureHeight", FPictureHeight));
    FOpacity = byte("Opacity", FOpacity);
    FOpacityTo = byte("OpacityTo", FOpacityTo);
    FOpacityMirror = byte("OpacityMirror", FOpacityMirror);
    FOpacityMirrorTo = byte("OpacityMirrorTo", FOpacityMirrorTo);
    FBorderColor = colour("BorderColor", FBorderColor);
    FBorderOpacity = byte("BorderOpacity", FBorderOpacity);
    FBorderWidth = static_cast<int>(rd("BorderWidth", FBorderWidth));
    FRounding = static_cast<int>(rd("Rounding", FRounding));
    FRoundingType = en("RoundingType", FRoundingType);
    FShadowOffset = static_cast<int>(rd("ShadowOffset", FShadowOffset));
    FShadowColor = colour("ShadowColor", FShadowColor);
    FAngle = static_cast<int>(rd("Angle", FAngle));
    FGlow = en("Glow", FGlow);
    FGlowGradientColor = colour("GlowGradientColor", FGlowGradientColor);
    FGlowRadialColor = colour("GlowRadialColor", FGlowRadialColor);
    if (pic) {
        TMemoryStream s(*pic);
        FPicture->LoadFromStream(&s);
    }
    if (bg) {
        TMemoryStream s(*bg);
        FBackGroundPicture->LoadFromStream(&s);
    }
    --FUpdateCount;
    Changed();
}

void TGDIPFill::SaveToFile(const std::string& fileName, const std::string& section) const {
    TIniFile ini(fileName);
    SaveToFile(ini, section);
}

void TGDIPFill::LoadFromFile(const std::string& fileName, const std::string& section) {
    TIniFile ini(fileName);
    LoadFromFile(ini, section);
}

// The clipboard carries the fill's published settings as property text, one "Name=Value" per line,
// pictures as hex.
void TGDIPFill::SaveToClipBoard() const {
    std::string text = "TPF0 TSaver\n";
    ForEachStoredProp(const_cast<TGDIPFill&>(*this), "SaveObject", false,
                      [&](const std::string& name, TObject& holder, const TPropInfo& prop) {
                          if (prop.Kind == TTypeKind::tkMethod)
                              return;
                          std::string value = prop.ValueText(holder);
                          if (prop.Name == "Data")
                              value = ToHex(std::vector<std::uint8_t>(value.begin(), value.end()));
                          text += name + "=" + value + "\n";
                      });
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(ClipboardFormat()), QByteArray::fromStdString(text));
    QGuiApplication::clipboard()->setMimeData(mime);
}

void TGDIPFill::LoadFromClipBoard() {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    const QString format = QString::fromLatin1(ClipboardFormat());
    if (!mime || !mime->hasFormat(format))
        return;
    const std::string text = mime->data(format).toStdString();
    ++FUpdateCount;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto nl = text.find('\n', pos);
        const std::string line = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        pos = nl == std::string::npos ? text.size() : nl + 1;
        const auto eq = line.find('=');
        if (eq == std::string::npos || line.rfind("SaveObject.", 0) != 0)
            continue;
        const std::string name = line.substr(11, eq - 11);
        std::string value = line.substr(eq + 1);
        try {
            if (name.size() >= 5 && name.substr(name.size() - 5) == ".Data") {
                const auto bytes = FromHex(value);
                value.assign(bytes.begin(), bytes.end());
            }
        } catch (const EConvertError&) {
            continue;
        }
        SetPropText(*this, name, value);
    }
    --FUpdateCount;
    Changed();
}

} // namespace kv
