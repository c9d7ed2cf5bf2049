// How the fader paints itself: background, slider with its completed part, tick marks, track label,
// thumb (a picture per state or a drawn shape), min and max buttons, focus rectangle and rating
// pictures, and the drawing routines these use.

#include "styled/StTrackBar.h"

#include "styled/gdiplus/GDIPlus.h"

#include "platform/core/Numbers.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace kv {

namespace {

bool Valid(const TRect& r) {
    return r.Left >= 0 && r.Right > r.Left && r.Bottom > r.Top;
}

void SolidRect(TCanvas& canvas, const TRect& r, TColor colour) {
    canvas.Pen()->SetColor(colour);
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    canvas.Pen()->SetWidth(1);
    canvas.Brush()->SetColor(colour);
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Rectangle(r);
}

// Draws a picture at its own size with its top-left at (x, y); BMP pictures keyed by their
// bottom-left pixel.
void DrawPictureAt(TCanvas& canvas, TGDIPPicture* pic, int x, int y) {
    if (!HasImage(pic) || !pic->GetImageSizes())
        return;
    pic->SetTransparent(true);
    pic->Draw(canvas, {x, y, x + pic->Width(), y + pic->Height()});
}

// The picture stretched over the rectangle.
void StretchPicture(TCanvas& canvas, TGDIPPicture* pic, const TRect& r) {
    if (!HasImage(pic) || !pic->GetImageSizes())
        return;
    pic->SetTransparent(true);
    pic->Draw(canvas, r);
}

ARGB Argb(TColor c) {
    return ColorToOpaqueARGB(c);
}

// ------------------------------------------------------------------------------------------------
// Shapes of the smoothed drawing layer

std::unique_ptr<TGPGraphicsPath> CreateThumbRoundPath(REAL x, REAL y, REAL width, REAL height, REAL radius) {
    auto path = std::make_unique<TGPGraphicsPath>();
    REAL d = 2 * radius;
    d = std::min({d, width, height});
    if (d <= 0) {
        path->AddRectangle(TGPRectF{x, y, width, height});
        return path;
    }
    path->AddArc(x, y, d, d, 180, 90);
    path->AddArc(x + width - d, y, d, d, 270, 90);
    path->AddArc(x + width - d, y + height - d, d, d, 0, 90);
    path->AddArc(x, y + height - d, d, d, 90, 90);
    path->CloseFigure();
    return path;
}

// The tsPointer outline: a body with a triangular tip on each side that carries ticks.
std::unique_ptr<TGPGraphicsPath> CreatePointerPath(const TRect& r, bool vertical, bool tipNear, bool tipFar) {
    auto path = std::make_unique<TGPGraphicsPath>();
    const REAL l = static_cast<REAL>(r.Left), t = static_cast<REAL>(r.Top);
    const REAL w = static_cast<REAL>(r.Width() - 1), h = static_cast<REAL>(r.Height() - 1);
    std::vector<TGPPointF> pts;
    if (vertical) {
        // Along the track is y; the tips point left (near) and right (far), half the length deep.
        REAL tip = h / 2;
        REAL x0 = l + (tipNear ? tip : 0), x1 = l + w - (tipFar ? tip : 0);
        pts.push_back({x0, t});
        pts.push_back({x1, t});
        if (tipFar)
            pts.push_back({l + w, t + h / 2});
        pts.push_back({x1, t + h});
        pts.push_back({x0, t + h});
        if (tipNear)
            pts.push_back({l, t + h / 2});
    } else {
        REAL tip = w / 2;
        REAL y0 = t + (tipNear ? tip : 0), y1 = t + h - (tipFar ? tip : 0);
        pts.push_back({l, y0});
        if (tipNear)
            pts.push_back({l + w / 2, t});
        pts.push_back({l + w, y0});
        pts.push_back({l + w, y1});
        if (tipFar)
            pts.push_back({l + w / 2, t + h});
        pts.push_back({l, y1});
    }
    path->AddPolygon(pts.data(), static_cast<int>(pts.size()));
    return path;
}

std::unique_ptr<TGPGraphicsPath> CreateTrianglePath(const TRect& r, int direction) {
    // direction: 0 down/right of the track, 1 toward the left/top, 2 toward the right/bottom.
    auto path = std::make_unique<TGPGraphicsPath>();
    const REAL l = static_cast<REAL>(r.Left), t = static_cast<REAL>(r.Top);
    const REAL w = static_cast<REAL>(r.Width() - 1), h = static_cast<REAL>(r.Height() - 1);
    TGPPointF pts[3];
    if (direction == 1) {
        pts[0] = {l, t + h / 2};
        pts[1] = {l + w, t};
        pts[2] = {l + w, t + h};
    } else if (direction == 2) {
        pts[0] = {l, t};
        pts[1] = {l + w, t + h / 2};
        pts[2] = {l, t + h};
    } else {
        pts[0] = {l, t};
        pts[1] = {l + w, t};
        pts[2] = {l + w / 2, t + h};
    }
    path->AddPolygon(pts, 3);
    return path;
}

void FillShapeHalf(TGPGraphics& g, const TGPRectF& half, TColor from, TColor to, TGDIPGradient gradient,
                   bool upper) {
    if (half.Width <= 0 || half.Height <= 0)
        return;
    if (gradient == TGDIPGradient::ggRadial) {
        TGPSolidBrush solid(Argb(to));
        g.FillRectangle(&solid, half);
        // An elliptical highlight centred at the half's outer edge.
        TGPGraphicsPath ellipse;
        REAL cy = upper ? half.Y : half.Y + half.Height;
        ellipse.AddEllipse(half.X - half.Width / 4, cy - half.Height, half.Width * 1.5f, half.Height * 2);
        TGPPathGradientBrush highlight(&ellipse);
        highlight.SetCenterColor(Argb(from));
        ARGB surround = Argb(to);
        int count = 1;
        highlight.SetSurroundColors(&surround, count);
        highlight.SetCenterPoint(TGPPointF{half.X + half.Width / 2, cy});
        g.FillRectangle(&highlight, half);
        return;
    }
    LinearGradientMode mode = gradient == TGDIPGradient::ggVertical ? LinearGradientModeVertical
                              : gradient == TGDIPGradient::ggDiagonalForward
                                  ? LinearGradientModeForwardDiagonal
                                  : LinearGradientModeBackwardDiagonal;
    TGPRectF area{half.X, half.Y, half.Width, half.Height + 1};
    TGPLinearGradientBrush brush(area, Argb(from), Argb(to), mode);
    g.FillRectangle(&brush, half);
}

struct ShapeColours {
    TColor border, color, colorTo, mirror, mirrorTo;
};

// Upper half from the face colours, lower half from the mirror colours, clipped to the shape.
void DrawGlossyShape(TGPGraphics& g, const TGPGraphicsPath& path, const TRect& r, const ShapeColours& c,
                     TGDIPGradient gradient, TGDIPGradient gradientMirror, bool vertical) {
    g.SetSmoothingMode(SmoothingModeAntiAlias);
    g.SetClip(&path);
    const REAL l = static_cast<REAL>(r.Left), t = static_cast<REAL>(r.Top);
    const REAL w = static_cast<REAL>(r.Width()), h = static_cast<REAL>(r.Height());
    if (vertical) {
        FillShapeHalf(g, {l, t, w / 2, h}, c.color, c.colorTo, gradient, true);
        FillShapeHalf(g, {l + w / 2, t, w / 2, h}, c.mirror, c.mirrorTo, gradientMirror, false);
    } else {
        FillShapeHalf(g, {l, t, w, h / 2}, c.color, c.colorTo, gradient, true);
        FillShapeHalf(g, {l, t + h / 2, w, h / 2}, c.mirror, c.mirrorTo, gradientMirror, false);
    }
    g.ResetClip();
}

void DrawShapeBorder(TGPGraphics& g, const TGPGraphicsPath& path, TColor outer) {
    if (outer == clNone)
        return;
    TGPPen pen(Argb(outer), 1);
    g.DrawPath(&pen, &path);
}

void FillShape(TGPGraphics& g, const TGPGraphicsPath& path, const TRect& r, const ShapeColours& c,
               TGDIPGradient gradient, TGDIPGradient gradientMirror, bool vertical) {
    if (c.color != clNone && c.colorTo != clNone && c.mirror != clNone && c.mirrorTo != clNone) {
        DrawGlossyShape(g, path, r, c, gradient, gradientMirror, vertical);
    } else if (c.color != clNone && c.colorTo != clNone) {
        g.SetClip(&path);
        TGPRectF area{static_cast<REAL>(r.Left), static_cast<REAL>(r.Top), static_cast<REAL>(r.Width()),
                      static_cast<REAL>(r.Height())};
        TGPLinearGradientBrush brush(area, Argb(c.color), Argb(c.colorTo),
                                     vertical ? LinearGradientModeHorizontal : LinearGradientModeVertical);
        g.FillRectangle(&brush, area);
        g.ResetClip();
    } else if (c.color != clNone) {
        TGPSolidBrush brush(Argb(c.color));
        g.FillPath(&brush, &path);
    }
    DrawShapeBorder(g, path, c.border);
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// Drawing routines

void DrawBandGradient(TCanvas& canvas, TColor from, TColor to, bool horizontal, TRect r, int steps) {
    if (steps == 0)
        steps = 1;
    TColor f = ColorToRGB(from), t = ColorToRGB(to);
    int fr = f & 0xFF, fg = (f >> 8) & 0xFF, fb = (f >> 16) & 0xFF;
    int dr = (t & 0xFF) - fr, dg = ((t >> 8) & 0xFF) - fg, db = ((t >> 16) & 0xFF) - fb;
    if (horizontal)
        r.Right -= 1;
    else
        r.Bottom -= 1;
    const int start = horizontal ? r.Left : r.Top;
    const long double b = static_cast<long double>(horizontal ? r.Width() : r.Height()) / steps;
    for (int i = 0; i < steps; ++i) {
        TColor c = RGB(fr + RoundEven(static_cast<long double>(i) * dr / steps),
                       fg + RoundEven(static_cast<long double>(i) * dg / steps),
                       fb + RoundEven(static_cast<long double>(i) * db / steps));
        int a = start + RoundEven(i * b);
        int e = a + RoundEven(b) + 1;
        SolidRect(canvas, horizontal ? TRect{a, r.Top, e, r.Bottom} : TRect{r.Left, a, r.Right, e}, c);
    }
}

void DrawGradient(TCanvas& canvas, TColor from, TColor to, TTrackGradientDirection direction, const TRect& r,
                  int steps) {
    switch (direction) {
    case TTrackGradientDirection::gdHorizontal:
        DrawBandGradient(canvas, from, to, true, r, steps);
        break;
    case TTrackGradientDirection::gdVertical:
        DrawBandGradient(canvas, from, to, false, r, steps);
        break;
    case TTrackGradientDirection::gdHorizontalInOut: {
        int mid = r.Left + (r.Right - r.Left) / 2;
        DrawBandGradient(canvas, from, to, true, {r.Left, r.Top, mid, r.Bottom}, steps);
        DrawBandGradient(canvas, to, from, true, {mid - 1, r.Top, r.Right, r.Bottom}, steps);
        break;
    }
    case TTrackGradientDirection::gdVerticalInOut: {
        int mid = r.Top + (r.Bottom - r.Top) / 2;
        DrawBandGradient(canvas, from, to, false, {r.Left, r.Top, r.Right, mid}, steps);
        DrawBandGradient(canvas, to, from, false, {r.Left, mid - 1, r.Right, r.Bottom}, steps);
        break;
    }
    }
}

TColor BlendColor(TColor a, TColor b, int percent) {
    if (percent >= 100)
        return a;
    if (percent <= 0)
        return b;
    TColor ca = ColorToRGB(a), cb = ColorToRGB(b);
    long double p = percent / 100.0L;
    auto ch = [&](int shift) {
        int va = (ca >> shift) & 0xFF, vb = (cb >> shift) & 0xFF;
        return RoundEven(p * va + (1 - p) * vb);
    };
    return RGB(ch(0), ch(8), ch(16));
}

void DrawSliderBevel(TCanvas& canvas, const TRect& r, TColor outer, TColor inner) {
    const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    canvas.Pen()->SetWidth(1);
    canvas.Pen()->SetColor(outer);
    if (B - T > 2) {
        canvas.MoveTo(L, T);
        canvas.LineTo(L, B);
    }
    canvas.MoveTo(L, T);
    canvas.LineTo(R, T);
    canvas.MoveTo(R - 2, T);
    canvas.LineTo(R - 2, B - 2);
    canvas.MoveTo(R - 2, B - 2);
    canvas.LineTo(L, B - 2);
    canvas.Pen()->SetColor(inner);
    canvas.MoveTo(L + 1, B - 1);
    canvas.LineTo(R - 1, B - 1);
    canvas.MoveTo(R - 1, B - 1);
    canvas.LineTo(R - 1, T - 1);
    canvas.MoveTo(L + 1, B - 1);
    canvas.LineTo(L + 1, T + 1);
    canvas.MoveTo(L + 1, T + 1);
    canvas.LineTo(R - 2, T + 1);
}

TSize GetTextExtent(TCanvas& canvas, const TFont* font, const std::string& text) {
    TFont saved;
    saved.Assign(canvas.Font());
    if (font)
        canvas.Font()->Assign(font);
    TSize ext = canvas.TextExtent(text);
    canvas.Font()->Assign(&saved);
    return ext;
}

void DrawDottedFocusRect(TCanvas& canvas, const TRect& r, TColor colour) {
    // Every other pixel along the four sides (top, right, bottom, left), as an alternating pen draws.
    int n = 0;
    auto plot = [&](int x, int y) {
        if (n++ % 2 == 0)
            canvas.SetPixel(x, y, colour);
    };
    for (int x = r.Left; x < r.Right; ++x)
        plot(x, r.Top);
    for (int y = r.Top; y < r.Bottom; ++y)
        plot(r.Right, y);
    for (int x = r.Right; x > r.Left; --x)
        plot(x, r.Bottom);
    for (int y = r.Bottom; y > r.Top; --y)
        plot(r.Left, y);
}

// ---------------------------------------------------------------------------------------------------
// Painting

void TCustomTrackBar::Paint(TCanvas& canvas) {
    // Transparent: the canvas starts see-through, so the parent's painting shows behind the fader.
    DrawBackground(canvas);
    if (RatingMode()) {
        DrawRateItems(canvas);
        return;
    }
    DrawTrackLabel(canvas);
    DrawSlider(canvas);
    DrawTickMarks(canvas);
    DrawThumb(canvas);
    DrawButtons(canvas);
    if (FShowFocus && Focused()) {
        TRect r = ClientRect();
        r.Right -= 1;
        r.Bottom -= 1;
        DrawDottedFocusRect(canvas, r, clBlack);
    }
}

void TCustomTrackBar::DrawBackground(TCanvas& canvas) {
    const bool enabled = Enabled();
    TGDIPPicture* pic = FIBackGround.get();
    TColor frame = FBorderColor, from = Color(), to = FColorTo;
    if (!enabled) {
        if (HasImage(FIBackGroundDisabled.get()))
            pic = FIBackGroundDisabled.get();
        frame = FBorderColorDisabled;
        from = FColorDisabled;
        to = FColorDisabledTo;
    }
    const TRect area = ClientRect();
    if (HasImage(pic)) {
        if (FBackGroundStretched)
            StretchPicture(canvas, pic, area);
        else
            DrawPictureAt(canvas, pic, area.Left, area.Top);
    } else if (!FTransparent && (from != clNone || to != clNone)) {
        if (from != clNone && to != clNone)
            DrawGradient(canvas, from, to, FDirection, area, 80);
        else
            SolidRect(canvas, area, from);
    }
    if (frame != clNone && FBorderWidth >= 1) {
        canvas.Pen()->SetColor(frame);
        canvas.Pen()->SetWidth(FBorderWidth);
        canvas.Pen()->SetStyle(TPenStyle::psSolid);
        canvas.Brush()->SetStyle(TBrushStyle::bsClear);
        canvas.Rectangle(area);
        canvas.Pen()->SetWidth(1);
    }
}

void TCustomTrackBar::DrawSlider(TCanvas& canvas) {
    if (RatingMode() || FSlider->Size() <= 0 || !FSlider->Visible())
        return;
    const bool enabled = Enabled();
    TTrackBarSlider& sl = *FSlider;
    TGDIPPicture* pic = sl.Picture();
    TGDIPPicture* completedPic = sl.PictureCompleted();
    TColor frame = sl.BorderColor(), face = sl.Color(), faceTo = sl.ColorTo(), done = sl.ColorCompleted(),
           doneTo = sl.ColorCompletedTo();
    if (!enabled) {
        if (HasImage(sl.PictureDisabled()))
            pic = sl.PictureDisabled();
        completedPic = sl.PictureCompletedDisabled();
        frame = sl.BorderColorDisabled();
        face = sl.ColorDisabled();
        faceTo = sl.ColorDisabledTo();
        done = sl.ColorCompletedDisabled();
        doneTo = sl.ColorCompletedDisabledTo();
    }
    const TRect s = GetSliderRect();
    if (!Valid(s))
        return;
    const bool horizontal = FOrientation == TTrackBarOrientation::trHorizontal;
    const bool completed = done != clNone || HasImage(completedPic);
    TRect a{0, 0, 0, 0}, b = s;
    if (completed) {
        TRect th = GetThumbRect();
        int m = (horizontal ? th.Left : th.Top) + FThumb->Width() / 2;
        if (horizontal) {
            a = {s.Left, s.Top, m, s.Bottom};
            b = {a.Right - 1, s.Top, s.Right, s.Bottom};
        } else {
            a = {s.Left, m, s.Right, s.Bottom};
            b = {s.Left, s.Top, s.Right, m + 1};
        }
        // At the ends one part covers the whole slider.
        if (FPosition <= FMin) {
            a = {0, 0, 0, 0};
            b = s;
        } else if (FPosition >= FMax) {
            a = s;
            b = {0, 0, 0, 0};
        }
    }
    const bool rounded = sl.Rounded() && !HasImage(pic);
    if (rounded)
        canvas.SetClipRect(&s);
    auto fill = [&](const TRect& part, TColor c1, TColor c2) {
        if (part.Right <= part.Left || part.Bottom <= part.Top || c1 == clNone)
            return;
        if (c2 != clNone)
            DrawGradient(canvas, c1, c2, sl.Direction(), part, sl.Steps());
        else
            SolidRect(canvas, part, c1);
    };
    auto picture = [&](TGDIPPicture* p, const TRect& part) {
        if (!HasImage(p) || part.Right <= part.Left || part.Bottom <= part.Top)
            return;
        if (sl.PictureStretched()) {
            StretchPicture(canvas, p, part);
        } else if (part.Left > 0 && part.Right > 0) {
            canvas.SetClipRect(&part);
            DrawPictureAt(canvas, p, s.Left, s.Top);
            canvas.SetClipRect(rounded ? &s : nullptr);
        }
    };
    if (!HasImage(pic)) {
        if (completed)
            fill(a, done, doneTo);
        fill(b, face, faceTo);
    } else {
        if (completed)
            picture(completedPic, a);
        picture(pic, b);
    }
    if (rounded)
        canvas.SetClipRect(nullptr);
    if (frame == clNone)
        return;
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    canvas.Pen()->SetWidth(1);
    canvas.Pen()->SetColor(frame);
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    if (sl.Rounded() && sl.Border3D()) {
        canvas.RoundRect(s.Left, s.Top, s.Right, s.Bottom, 7, 7);
        canvas.Pen()->SetColor(clWhite);
        canvas.RoundRect(s.Left + 1, s.Top + 1, s.Right - 1, s.Bottom - 1, 7, 7);
    } else if (sl.Rounded()) {
        canvas.RoundRect(s.Left, s.Top, s.Right, s.Bottom, 7, 7);
    } else if (sl.Border3D()) {
        DrawSliderBevel(canvas, s, frame, BlendColor(frame, clWhite, 10));
    } else {
        canvas.Rectangle(s);
    }
}

void TCustomTrackBar::DrawThumb(TCanvas& canvas) {
    PaintThumb(canvas, GetThumbRect(), FPosition, FThumbDown, FThumbHot);
}

void TCustomTrackBar::PaintThumb(TCanvas& canvas, const TRect& r, int value, bool down, bool hot) {
    TTrackBarThumb& th = *FThumb;
    if (RatingMode() || th.Size() < 1)
        return;
    if (!th.ShowAtMinMax() && (value == FMin || value == FMax))
        return;
    TGDIPPicture* pic = th.Picture();
    ShapeColours c{th.BorderColor(), th.Color(), th.ColorTo(), th.ColorMirror(), th.ColorMirrorTo()};
    if (down) {
        if (HasImage(th.PictureDown()))
            pic = th.PictureDown();
        c = {th.BorderColorDown(), th.ColorDown(), th.ColorDownTo(), th.ColorMirrorDown(),
             th.ColorMirrorDownTo()};
    } else if (hot) {
        if (HasImage(th.PictureHot()))
            pic = th.PictureHot();
        c = {th.BorderColorHot(), th.ColorHot(), th.ColorHotTo(), th.ColorMirrorHot(), th.ColorMirrorHotTo()};
    }
    if (!Enabled()) {
        if (HasImage(th.PictureDisabled()))
            pic = th.PictureDisabled();
        c = {th.BorderColorDisabled(), th.ColorDisabled(), th.ColorDisabledTo(), th.ColorMirrorDisabled(),
             th.ColorMirrorDisabledTo()};
    }
    if (HasImage(pic)) {
        DrawPictureAt(canvas, pic, r.Left, r.Top);
        return;
    }
    const bool vertical = FOrientation == TTrackBarOrientation::trVertical;
    if (th.Shape() == TThumbShape::tsLine) {
        if (th.Style() != TThumbStyle::tstOffice2007)
            return;
        int half = (vertical ? r.Height() : r.Width()) / 2;
        const TColor colours[4] = {c.colorTo, c.color, BlendColor(c.color, clWhite, 60),
                                   BlendColor(c.color, clWhite, 10)};
        canvas.Pen()->SetWidth(1);
        canvas.Pen()->SetStyle(TPenStyle::psSolid);
        for (int i = 0; i < 4; ++i) {
            canvas.Pen()->SetColor(colours[i]);
            int at = half - 1 + i;
            if (vertical) {
                canvas.MoveTo(r.Left, r.Top + at);
                canvas.LineTo(r.Right, r.Top + at);
            } else {
                canvas.MoveTo(r.Left + at, r.Top);
                canvas.LineTo(r.Left + at, r.Bottom);
            }
        }
        return;
    }
    TGPGraphics g(&canvas);
    g.SetSmoothingMode(SmoothingModeAntiAlias);
    std::unique_ptr<TGPGraphicsPath> path;
    const REAL x = static_cast<REAL>(r.Left), y = static_cast<REAL>(r.Top);
    const REAL w = static_cast<REAL>(r.Width() - 1), h = static_cast<REAL>(r.Height() - 1);
    const TTickMark tp = FTickMark->Position();
    switch (th.Shape()) {
    case TThumbShape::tsPointer:
        path = CreatePointerPath(r, vertical, tp == TTickMark::tmTopLeft || tp == TTickMark::tmBoth,
                                 tp == TTickMark::tmBottomRight || tp == TTickMark::tmBoth);
        break;
    case TThumbShape::tsRectangle:
        path = CreateThumbRoundPath(x, y, w, h, 1);
        break;
    case TThumbShape::tsRoundRect:
        path = CreateThumbRoundPath(x, y, w, h, 8);
        break;
    case TThumbShape::tsRound:
        path = CreateThumbRoundPath(x, y, w, h, static_cast<REAL>(th.Size() / 2));
        break;
    case TThumbShape::tsPointerLeftUp:
        path = CreatePointerPath(r, vertical, true, false);
        break;
    case TThumbShape::tsPointerRightUp:
        path = CreatePointerPath(r, vertical, false, true);
        break;
    case TThumbShape::tsTriangle:
        path = CreateTrianglePath(r, 0);
        break;
    case TThumbShape::tsTriangleLeft:
        path = CreateTrianglePath(r, 1);
        break;
    case TThumbShape::tsTriangleRight:
        path = CreateTrianglePath(r, 2);
        break;
    case TThumbShape::tsLine:
        return;
    }
    FillShape(g, *path, r, c, th.Gradient(), th.GradientMirror(), vertical);
    if (th.Style() == TThumbStyle::tstCustom) {
        TGPPen white(Argb(clWhite), 1);
        if (vertical)
            g.DrawLine(&white, x + 2, y + 1, x + w - 2, y + 1);
        else
            g.DrawLine(&white, x + 1, y + 2, x + 1, y + h - 2);
    }
}

void TCustomTrackBar::DrawTickMarks(TCanvas& canvas) {
    if (RatingMode() || FTickMark->Size() <= 0 || FTickMark->Style() != TTickStyle::tsAuto)
        return;
    const TTrackBarTick& tk = *FTickMark;
    const bool horizontal = FOrientation == TTrackBarOrientation::trHorizontal;
    const TRect t = GetTrackRect();
    const TRect tl = GetTopLeftTickRect(), br = GetBottomRightTickRect();
    const bool hasTl = tl.Left >= 0, hasBr = br.Left >= 0;
    const TRect& lengthArea = (hasTl && !hasBr) ? tl : br;
    int last = FMax;
    if (!OnDrawTick && !tk.ShowText()) {
        int startAlong = horizontal ? lengthArea.Left : lengthArea.Top;
        int budget = (std::max(Width(), Height()) - 2 * startAlong) / 2;
        if (FMax >= budget)
            last = budget;
    }
    const int trackLen = horizontal ? t.Width() : t.Height();
    const long double spacing =
        last == FMin ? 0 : static_cast<long double>(trackLen - FThumb->Width()) / (last - FMin);
    const int po = GetThumbPointerOffset();
    int lastHandled = -1000000;
    for (int v = FMin; v <= last; ++v) {
        int offset = static_cast<int>((v - FMin) * spacing);
        if (!OnDrawTick && offset - lastHandled < 2)
            continue;
        lastHandled = offset;
        for (int side = 0; side < 2; ++side) {
            const bool topLeft = side == 0;
            if ((topLeft && !hasTl) || (!topLeft && !hasBr))
                continue;
            const TRect& area = topLeft ? tl : br;
            int length = tk.Size();
            TColor colour = Enabled() ? tk.Color() : tk.ColorDisabled();
            TColor textColour = tk.Font()->Color();
            std::string text;
            if (tk.ShowText()) {
                text = std::to_string(v);
                if (OnGetTickMarkText)
                    OnGetTickMarkText(this, v, text);
            }
            bool defaultDraw = true;
            // Along the track from its start (from the bottom on a vertical fader).
            int along = horizontal ? t.Left + po + offset : t.Bottom - po - offset;
            // Ticks grow away from the slider: up or left from the top/left area's inner edge, down or
            // right from the bottom/right area's.
            const int nearEdge =
                topLeft ? (horizontal ? area.Bottom : area.Right) : (horizontal ? area.Top : area.Left);
            const int out = topLeft ? -1 : 1;
            const int across = topLeft ? nearEdge - length : nearEdge;
            TPoint location = horizontal ? TPoint{along, across} : TPoint{across, along};
            if (OnDrawTick)
                OnDrawTick(this, &canvas, location, v,
                           topLeft ? TTickMark::tmTopLeft : TTickMark::tmBottomRight, length, colour,
                           textColour, text, defaultDraw);
            if (!defaultDraw)
                continue;
            if (tk.ShowImageAtThumbOnly() && v != FPosition)
                continue;
            if (tk.ShowImageAtSteps() > 1 && v % tk.ShowImageAtSteps() != 0)
                continue;
            const int lineFrom = topLeft ? nearEdge - 1 : nearEdge;
            const int lineTo = lineFrom + out * length;
            auto line = [&](int a, int from, int to) {
                if (horizontal) {
                    canvas.MoveTo(a, from);
                    canvas.LineTo(a, to);
                } else {
                    canvas.MoveTo(from, a);
                    canvas.LineTo(to, a);
                }
            };
            if (FImages && FImages->Count() > 0) {
                int index = v < FImages->Count() ? v : 0;
                int depth = horizontal ? FImages->Height() : FImages->Width();
                int start = topLeft ? nearEdge - depth : nearEdge;
                int ix = horizontal ? along - FImages->Width() / 2 : start;
                int iy = horizontal ? start : along - FImages->Height() / 2;
                FImages->Draw(canvas, ix, iy, index, Enabled());
            } else {
                canvas.Pen()->SetColor(colour);
                canvas.Pen()->SetWidth(1);
                canvas.Pen()->SetStyle(TPenStyle::psSolid);
                line(along, lineFrom, lineTo);
                if (tk.Line3D()) {
                    canvas.Pen()->SetColor(BlendColor(colour, clWhite, 10));
                    line(along + 1, lineFrom, lineTo);
                }
            }
            if (tk.ShowText() && !text.empty()) {
                canvas.Brush()->SetStyle(TBrushStyle::bsClear);
                canvas.Font()->Assign(tk.Font());
                canvas.Font()->SetColor(textColour);
                TSize ext = canvas.TextExtent(text);
                const int gap = length + FTickTextOffset;
                if (horizontal) {
                    int ty = topLeft ? nearEdge - gap - ext.cy : nearEdge + gap;
                    canvas.TextOut(along - ext.cx / 2, ty, text);
                } else if (tk.RotateFontVert()) {
                    // Turned to run downward: the text's cell lies left of its start point.
                    canvas.Font()->SetOrientation(-900);
                    int tx = topLeft ? nearEdge - gap : nearEdge + gap + ext.cy;
                    canvas.TextOut(tx, along - ext.cx / 2, text);
                    canvas.Font()->SetOrientation(0);
                } else {
                    int tx = topLeft ? nearEdge - gap - ext.cx : nearEdge + gap;
                    canvas.TextOut(tx, along - ext.cy / 2, text);
                }
            }
        }
    }
}

void TCustomTrackBar::DrawTrackLabel(TCanvas& canvas) {
    if (!FTrackLabel->Visible())
        return;
    std::string text = GetTrackLabelText();
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    canvas.Font()->Assign(FTrackLabel->Font());
    TLabelPosition lp = FTrackLabel->Position();
    if (FOrientation == TTrackBarOrientation::trHorizontal) {
        TRect r = GetTrackLabelRect(false);
        bool top = lp == TLabelPosition::lpTopCenter || lp == TLabelPosition::lpTopLeft ||
                   lp == TLabelPosition::lpTopRight;
        unsigned flags = DT_SINGLELINE | DT_NOPREFIX | (top ? DT_VCENTER : DT_BOTTOM);
        if (lp == TLabelPosition::lpTopLeft || lp == TLabelPosition::lpBottomLeft)
            flags |= DT_LEFT;
        else if (lp == TLabelPosition::lpTopRight || lp == TLabelPosition::lpBottomRight)
            flags |= DT_RIGHT;
        else
            flags |= DT_CENTER;
        canvas.DrawText(text, r, flags);
    } else {
        TRect f = GetTrackLabelRect(true);
        // Turned to run downward from the label's top.
        canvas.Font()->SetOrientation(-900);
        TSize ext = canvas.TextExtent(text);
        canvas.TextOut(f.Left + 3 + ext.cy, f.Top, text);
        canvas.Font()->SetOrientation(0);
    }
}

void TCustomTrackBar::DrawButtons(TCanvas& canvas) {
    if (RatingMode() || !FButtons->Visible())
        return;
    DrawMinButton(canvas);
    DrawMaxButton(canvas);
}

void TCustomTrackBar::DrawMinButton(TCanvas& canvas) {
    DrawButton(canvas, false);
}

void TCustomTrackBar::DrawMaxButton(TCanvas& canvas) {
    DrawButton(canvas, true);
}

void TCustomTrackBar::DrawButton(TCanvas& canvas, bool isMax) {
    const TTrackBarButtons& bt = *FButtons;
    const TRect r = isMax ? GetMaxButtonRect() : GetMinButtonRect();
    const bool down = isMax ? FMaxButtonDown : FMinButtonDown, hot = isMax ? FMaxButtonHot : FMinButtonHot;
    TGDIPPicture* pic = isMax ? (down  ? bt.MaxPictureDown()
                                 : hot ? bt.MaxPictureHot()
                                       : bt.MaxPicture())
                              : (down  ? bt.MinPictureDown()
                                 : hot ? bt.MinPictureHot()
                                       : bt.MinPicture());
    ShapeColours c{bt.BorderColor(), bt.Color(), bt.ColorTo(), bt.ColorMirror(), bt.ColorMirrorTo()};
    if (down)
        c = {bt.BorderColorDown(), bt.ColorDown(), bt.ColorDownTo(), bt.ColorMirrorDown(),
             bt.ColorMirrorDownTo()};
    else if (hot)
        c = {bt.BorderColorHot(), bt.ColorHot(), bt.ColorHotTo(), bt.ColorMirrorHot(), bt.ColorMirrorHotTo()};
    const bool vertical = FOrientation == TTrackBarOrientation::trVertical;
    if (HasImage(pic)) {
        if (!vertical)
            canvas.SetClipRect(&r);
        DrawPictureAt(canvas, pic, r.Left, r.Top);
        canvas.SetClipRect(nullptr);
        return;
    }
    TGPGraphics g(&canvas);
    g.SetSmoothingMode(SmoothingModeAntiAlias);
    const REAL x = static_cast<REAL>(r.Left), y = static_cast<REAL>(r.Top);
    const REAL w = static_cast<REAL>(r.Width() - 1), h = static_cast<REAL>(r.Height() - 1);
    REAL radius = bt.Shape() == TTrackButtonShape::bsRound ? std::min(w, h) / 2 : 1;
    auto path = CreateThumbRoundPath(x, y, w, h, radius);
    ShapeColours face = c;
    face.border = clNone;
    FillShape(g, *path, r, face, bt.Gradient(), bt.GradientMirror(), false);
    DrawShapeBorder(g, *path, c.border);
    auto inner = CreateThumbRoundPath(x + 1, y + 1, w - 2, h - 2, std::max<REAL>(radius - 1, 0));
    DrawShapeBorder(g, *inner, BlendColor(c.border, clWhite, 30));
    // The glyph: a plus on the max button, a bar on the min button, in 3-pixel strokes.
    const REAL cx = x + w / 2, cy = y + h / 2, arm = std::max<REAL>(2, std::min(w, h) / 2 - 3);
    TGPSolidBrush fillBrush(Argb(c.color));
    TGPPen outline(Argb(c.border), 1);
    auto stroke = [&](bool upright) {
        TGPRectF bar =
            upright ? TGPRectF{cx - 1.5f, cy - arm, 3, 2 * arm} : TGPRectF{cx - arm, cy - 1.5f, 2 * arm, 3};
        g.FillRectangle(&fillBrush, bar);
        g.DrawRectangle(&outline, bar);
    };
    if (isMax) {
        stroke(false);
        stroke(true);
    } else {
        stroke(vertical && bt.RotateText());
    }
}

void TCustomTrackBar::DrawRateItems(TCanvas& canvas) {
    for (int v = FMin + 1; v <= FMax; ++v)
        DrawRateItem(canvas, v);
}

void TCustomTrackBar::DrawRateItem(TCanvas& canvas, int value) {
    TRect r = GetRateItemRect(value);
    if (r.Left <= 0 || r.Bottom <= 0)
        return;
    DrawPictureAt(canvas, FPosition < value ? FIRateInActive.get() : FIRateActive.get(), r.Left, r.Top);
}

} // namespace kv
