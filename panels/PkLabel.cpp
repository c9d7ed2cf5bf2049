#include "panels/PkLabel.h"

#include "panels/PkControlHelpers.h"
#include "panels/PkGraphics.h"
#include "panels/PkMouseWatch.h"
#include "panels/PkPropHelpers.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kv {

std::vector<std::string> EnumIdents(TCenterPoint) {
    return {"cpUpperLeft",   "cpUpperCenter", "cpUpperRight",  "cpLeftCenter", "cpCenter",
            "cpRightCenter", "cpLowerLeft",   "cpLowerCenter", "cpLowerRight"};
}
std::vector<std::string> EnumIdents(TRotation) {
    return {"roNone", "roFlat", "roCurve"};
}
std::vector<std::string> EnumIdents(TPkCondenseCaption) {
    return {"ccNone", "ccAtEnd", "ccWithinPath"};
}

namespace {

TRect Offset(TRect r, int dx, int dy) {
    return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

int Ascent(const TFont& font) {
    return QFontMetrics(font.ToQFont()).ascent();
}

// Text alignment of the angled drawing: where the reference point lies on the unturned text.
enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Baseline };

} // namespace

KV_REGISTER_CLASS(TPkLabel, TLabel, b) {
    b.Prop("Angle", &TPkLabel::Angle, &TPkLabel::SetAngle).Default(0);
    b.Prop("AutoSize", &TLabel::AutoSize, &TPkLabel::SetAutoSizeValue).Default(true);
    b.Prop("Blinking", &TPkLabel::Blinking, &TPkLabel::SetBlinking).Default(false);
    PK_COLOR_PROP(b, "BlinkColor", &TPkLabel::BlinkColor, &TPkLabel::SetBlinkColor, clHighlight);
    b.Prop("BlinkIntervalOff", &TPkLabel::GetBlinkIntervalOff, &TPkLabel::SetBlinkIntervalOff).Default(500);
    b.Prop("BlinkIntervalOn", &TPkLabel::GetBlinkIntervalOn, &TPkLabel::SetBlinkIntervalOn).Default(500);
    b.Prop("BevelWidth", &TPkLabel::BevelWidth, &TPkLabel::SetBevelWidth).Default(1);
    b.Prop("BorderInner", &TPkLabel::BorderInner, &TPkLabel::SetBorderInner).Default(TFrameStyleEx::fsNone);
    b.Prop("BorderOuter", &TPkLabel::BorderOuter, &TPkLabel::SetBorderOuter).Default(TFrameStyleEx::fsNone);
    b.Prop("BorderSides", &TPkLabel::BorderSides, &TPkLabel::SetBorderSides).Default(AllSides);
    PK_COLOR_PROP(b, "BorderColor", &TPkLabel::BorderColor, &TPkLabel::SetBorderColor, clBtnFace);
    PK_COLOR_PROP(b, "BorderHighlight", &TPkLabel::BorderHighlight, &TPkLabel::SetBorderHighlight,
                  clBtnHighlight);
    PK_COLOR_PROP(b, "BorderShadow", &TPkLabel::BorderShadow, &TPkLabel::SetBorderShadow, clBtnShadow);
    b.Prop("BorderWidth", &TPkLabel::BorderWidth, &TPkLabel::SetBorderWidth).Default(0);
    b.Prop("CondenseCaption", &TPkLabel::CondenseCaption, &TPkLabel::SetCondenseCaption)
        .Default(TPkCondenseCaption::ccNone);
    PK_COLOR_PROP(b, "FlatColor", &TPkLabel::FlatColor, &TPkLabel::SetFlatColor, clBtnShadow);
    b.Prop("FlatColorAdjustment", &TPkLabel::FlatColorAdjustment, &TPkLabel::SetFlatColorAdjustment)
        .Default(30);
    b.Ref("FocusControl", &TPkLabel::FocusControl, &TPkLabel::SetFocusControl);
    b.Ref("FrameController", &TPkLabel::FrameController, &TPkLabel::SetFrameController);
    b.Prop("FrameControllerNotifications", &TPkLabel::FrameControllerNotifications,
           &TPkLabel::SetFrameControllerNotifications)
        .Default(AllFrameNotifications);
    b.Prop("CenterPoint", &TPkLabel::CenterPoint, &TPkLabel::SetCenterPoint).Default(TCenterPoint::cpCenter);
    PK_COLOR_PROP(b, "FlyByColor", &TPkLabel::FlyByColor, &TPkLabel::SetFlyByColor, clHighlight);
    b.Prop("FlyByEnabled", &TPkLabel::FlyByEnabled, &TPkLabel::SetFlyByEnabled).Default(false);
    b.Prop("Layout", &TPkLabel::GetLayout, &TPkLabel::SetLayout).Default(TTextLayout::tlTop);
    b.Prop("LightTextStyle", &TPkLabel::LightTextStyle, &TPkLabel::SetLightTextStyle).Default(false);
    b.Prop("Rotation", &TPkLabel::Rotation, &TPkLabel::SetRotation).Default(TRotation::roNone);
    PK_COLOR_PROP(b, "HighlightColor", &TPkLabel::HighlightColor, &TPkLabel::SetHighlightColor,
                  clBtnHighlight);
    PK_COLOR_PROP(b, "ShadowColor", &TPkLabel::ShadowColor, &TPkLabel::SetShadowColor, clBtnShadow);
    b.Prop("ShadowDepth", &TPkLabel::ShadowDepth, &TPkLabel::SetShadowDepth).Default(2);
    b.Prop("ShowAccelChar", &TLabel::ShowAccelChar, &TPkLabel::SetShowAccelCharValue).Default(true);
    b.Prop("TextMargin", &TPkLabel::TextMargin, &TPkLabel::SetTextMargin).Default(0);
    b.Prop("TextStyle", &TPkLabel::TextStyle, &TPkLabel::SetTextStyle).Default(TTextStyle::tsNormal);
    b.Prop("WordWrap", &TLabel::WordWrap, &TPkLabel::SetWordWrapValue).Default(false);
    b.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(true);
    b.Prop("FrameSides", &TPkLabel::LegacyFrameSides, &TPkLabel::SetLegacyFrameSides)
        .Stored([](const TPkLabel&) { return false; });
}

TPkLabel::TPkLabel(TComponent* owner) : TLabel(owner) {
    TPkBlinkingControlsList::Acquire()->Add(this);
    FWatch = std::make_unique<TPkMouseWatch>(
        FWidget, [this] { MouseEnter(); }, [this] { MouseLeave(); });
    FFontColor = FCurrentColor = Font()->Color();
    FInitColor = true;
    SetColor(clBtnFace);
    SetParentColor(true);
    FInitColor = false;
}

TPkLabel::~TPkLabel() {
    Destroying();
    if (FFrameController)
        FFrameController->RemoveControl(this);
    if (auto* list = TPkBlinkingControlsList::Shared()) {
        list->Remove(this);
        TPkBlinkingControlsList::ReleaseIfEmpty();
    }
}

void TPkLabel::Notification(TComponent* component, TOperation operation) {
    TLabel::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FFrameController)
        FFrameController = nullptr;
    if (operation == TOperation::opRemove && component == FFocusControl)
        FFocusControl = nullptr;
}

void TPkLabel::SetFocusControl(TWinControl* v) {
    FFocusControl = v;
    if (v)
        v->FreeNotification(this);
}

bool TPkLabel::DialogChar(char key) {
    if (!FFocusControl || !ShowAccelChar() || !MatchesAccelerator(Caption(), key) ||
        !FFocusControl->CanFocus())
        return false;
    FFocusControl->SetFocus();
    return true;
}

void TPkLabel::ParentColorChanged() {
    if (FInitColor)
        return;
    TLabel::ParentColorChanged();
}

void TPkLabel::Loaded() {
    TLabel::Loaded();
    if (FAngle != 0 && FRotation == TRotation::roNone)
        FRotation = TRotation::roFlat;
    if (FRotation != TRotation::roNone && !IsTrueTypeFont(*Font()))
        Font()->SetName("Verdana");
    FFontColor = FCurrentColor = Font()->Color();
    AutoSizeToText();
}

void TPkLabel::EnsureTrueTypeForRotation() {
    if (!IsLoading() && !IsTrueTypeFont(*Font()))
        Font()->SetName("Verdana");
}

TRect TPkLabel::AdjustBorderRect(TRect r, bool includeBorderWidth) const {
    if (includeBorderWidth)
        r = {r.Left + FBorderWidth, r.Top + FBorderWidth, r.Right - FBorderWidth, r.Bottom - FBorderWidth};
    r = AdjustRectForFrame(r, FBorderOuter, FBevelWidth, FBorderSides);
    return AdjustRectForFrame(r, FBorderInner, FBevelWidth, FBorderSides);
}

unsigned TPkLabel::TextFlags() const {
    unsigned flags = DT_EXPANDTABS;
    if (Alignment() == TAlignment::taRightJustify)
        flags |= DT_RIGHT;
    else if (Alignment() == TAlignment::taCenter)
        flags |= DT_CENTER;
    if (WordWrap())
        flags |= DT_WORDBREAK;
    if (!ShowAccelChar())
        flags |= DT_NOPREFIX;
    // The path ellipsis is applied to the text itself (CondensedText); the platform draws the end one.
    if (FCondenseCaption == TPkCondenseCaption::ccAtEnd)
        flags |= DT_END_ELLIPSIS;
    return flags;
}

TRect TPkLabel::CalcAutoSizeRect(TRect r) const {
    auto per = [&](int amount) {
        if (FBorderSides.Contains(TSide::sdLeft))
            r.Right += amount;
        if (FBorderSides.Contains(TSide::sdRight))
            r.Right += amount;
        if (FBorderSides.Contains(TSide::sdTop))
            r.Bottom += amount;
        if (FBorderSides.Contains(TSide::sdBottom))
            r.Bottom += amount;
    };
    per(FrameStyleThickness(FBorderOuter, FBevelWidth));
    per(FBorderWidth);
    r.Right += 2 * FTextMargin;
    r.Bottom += 2 * FTextMargin;
    per(FrameStyleThickness(FBorderInner, FBevelWidth));
    if (FRotation == TRotation::roNone && FTextStyle == TTextStyle::tsShadow) {
        r.Right += FShadowDepth;
        r.Bottom += FShadowDepth;
    }
    if (FRotation == TRotation::roFlat && FAngle != 0 && FAngle != 180) {
        if (FTextStyle == TTextStyle::tsShadow) {
            r.Right += FShadowDepth / 2;
            r.Bottom += FShadowDepth / 2;
        }
        const double d =
            (FAngle == 90 || FAngle == 270) ? std::numbers::pi / 2 : (FAngle % 90) * std::numbers::pi / 180.0;
        const double w = r.Width(), h = r.Height();
        r.Right = r.Left + static_cast<int>(std::lround(std::cos(d) * w + std::sin(d) * h));
        r.Bottom = r.Top + static_cast<int>(std::lround(std::sin(d) * w + std::cos(d) * h));
    }
    return r;
}

void TPkLabel::AutoSizeToText() {
    if (!AutoSize() || IsLoading())
        return;
    TRect r = AdjustBorderRect({0, 0, Width(), Height()}, true);
    r = {0, 0, r.Width(), r.Height()};
    TCanvas c;
    c.Font()->Assign(Font());
    const std::string text = Caption().empty() ? std::string(" ") : GetLabelText();
    unsigned flags = DT_CALCRECT | DT_EXPANDTABS | (WordWrap() ? DT_WORDBREAK : 0u);
    if (!ShowAccelChar())
        flags |= DT_NOPREFIX;
    if (!WordWrap())
        r.Right = 0;
    c.DrawText(text, r, flags);
    r = CalcAutoSizeRect(r);
    int left = Left();
    if (Alignment() == TAlignment::taRightJustify)
        left = Left() + Width() - r.Width();
    SetBounds(left, Top(), r.Width(), r.Height());
}

void TPkLabel::SetAutoSizeValue(bool v) {
    TLabel::SetAutoSize(v);
    AutoSizeToText();
}
void TPkLabel::SetWordWrapValue(bool v) {
    TLabel::SetWordWrap(v);
    AutoSizeToText();
}
void TPkLabel::SetShowAccelCharValue(bool v) {
    TLabel::SetShowAccelChar(v);
    AutoSizeToText();
}

void TPkLabel::FontChanged() {
    // The pack sizes the label itself (frames, margins, shadows), not the platform label.
    TGraphicControl::FontChanged();
    if (IsLoading())
        return;
    if (!FBlinking)
        FFontColor = FCurrentColor = Font()->Color();
    if (FAngle != 0 && !IsTrueTypeFont(*Font()))
        FAngle = 0;
    AutoSizeToText();
}

void TPkLabel::TextChanged() {
    AutoSizeToText();
    Repaint();
}

// ---------------------------------------------------------------------------------------------------
// Setters

void TPkLabel::SetAngle(int v) {
    // Every angle lands in 0..359, negative ones included.
    v = ((v % 360) + 360) % 360;
    if (v == FAngle)
        return;
    FAngle = v;
    if (v != 0)
        EnsureTrueTypeForRotation();
    if (v != 0 && FRotation == TRotation::roNone)
        FRotation = TRotation::roFlat;
    AutoSizeToText();
    Repaint();
}

void TPkLabel::SetRotation(TRotation v) {
    if (v == FRotation)
        return;
    FRotation = v;
    if (v != TRotation::roNone)
        EnsureTrueTypeForRotation();
    if (v == TRotation::roNone)
        FAngle = 0;
    if (v == TRotation::roFlat) {
        FAngle = 0;
        FCenterPoint = TCenterPoint::cpCenter;
    }
    AutoSizeToText();
    Invalidate();
}

void TPkLabel::SetBlinking(bool v) {
    if (v == FBlinking)
        return;
    FBlinking = v;
    if (!v) {
        FBlinkState = TBlinkState::bsOff;
        FCurrentColor = FFontColor;
        Repaint();
    }
}

void TPkLabel::SetBlinkColor(TColor v) {
    if (Differs(FBlinkColor, v))
        Invalidate();
}

int TPkLabel::GetBlinkIntervalOff() const {
    auto* l = TPkBlinkingControlsList::Shared();
    return l ? l->IntervalOff() : 500;
}
void TPkLabel::SetBlinkIntervalOff(int v) {
    TPkBlinkingControlsList::Acquire()->SetIntervalOff(static_cast<std::uint16_t>(std::clamp(v, 0, 65535)));
}
int TPkLabel::GetBlinkIntervalOn() const {
    auto* l = TPkBlinkingControlsList::Shared();
    return l ? l->IntervalOn() : 500;
}
void TPkLabel::SetBlinkIntervalOn(int v) {
    TPkBlinkingControlsList::Acquire()->SetIntervalOn(static_cast<std::uint16_t>(std::clamp(v, 0, 65535)));
}

void TPkLabel::SetBevelWidth(int v) {
    if (Differs(FBevelWidth, v))
        AutoSizeToText();
    Invalidate();
}
void TPkLabel::SetBorderColor(TColor v) {
    if (Differs(FBorderColor, v))
        Invalidate();
}
void TPkLabel::SetBorderInner(TFrameStyleEx v) {
    if (Differs(FBorderInner, v)) {
        AutoSizeToText();
        Invalidate();
    }
}
void TPkLabel::SetBorderOuter(TFrameStyleEx v) {
    if (Differs(FBorderOuter, v)) {
        AutoSizeToText();
        Invalidate();
    }
}
void TPkLabel::SetBorderSides(TSides v) {
    if (!(FBorderSides == v)) {
        FBorderSides = v;
        AutoSizeToText();
        Invalidate();
    }
}
void TPkLabel::SetBorderHighlight(TColor v) {
    if (Differs(FBorderHighlight, v))
        Invalidate();
}
void TPkLabel::SetBorderShadow(TColor v) {
    if (Differs(FBorderShadow, v))
        Invalidate();
}
void TPkLabel::SetBorderWidth(int v) {
    if (Differs(FBorderWidth, v)) {
        AutoSizeToText();
        Invalidate();
    }
}
void TPkLabel::SetCondenseCaption(TPkCondenseCaption v) {
    if (!Differs(FCondenseCaption, v))
        return;
    if (v != TPkCondenseCaption::ccNone)
        TLabel::SetAutoSize(false);
    Invalidate();
}
void TPkLabel::SetFlatColor(TColor v) {
    if (Differs(FFlatColor, v))
        Invalidate();
}
void TPkLabel::SetFlatColorAdjustment(int v) {
    if (Differs(FFlatColorAdjustment, v))
        Invalidate();
}
void TPkLabel::SetFrameController(TPkFrameController* v) {
    PkSetFrameController(this, FFrameController, v);
}
void TPkLabel::SetCenterPoint(TCenterPoint v) {
    if (Differs(FCenterPoint, v))
        Invalidate();
}
void TPkLabel::SetFlyByColor(TColor v) {
    if (Differs(FFlyByColor, v))
        Invalidate();
}
void TPkLabel::SetFlyByEnabled(bool v) {
    if (!Differs(FFlyByEnabled, v))
        return;
    if (!v && FHovered)
        Font()->SetColor(FOrigColor);
}
void TPkLabel::SetLightTextStyle(bool v) {
    if (Differs(FLightTextStyle, v))
        Invalidate();
}
void TPkLabel::SetTextMargin(int v) {
    if (Differs(FTextMargin, v)) {
        AutoSizeToText();
        Invalidate();
    }
}
void TPkLabel::SetTextStyle(TTextStyle v) {
    if (Differs(FTextStyle, v)) {
        AutoSizeToText();
        Invalidate();
    }
}
void TPkLabel::SetHighlightColor(TColor v) {
    if (Differs(FHighlightColor, v))
        Invalidate();
}
void TPkLabel::SetShadowColor(TColor v) {
    if (Differs(FShadowColor, v))
        Invalidate();
}
void TPkLabel::SetShadowDepth(int v) {
    if (Differs(FShadowDepth, v)) {
        AutoSizeToText();
        Invalidate();
    }
}

// ---------------------------------------------------------------------------------------------------
// Blinking, fly-by and the frame controller

int TPkLabel::BlinkMessage(unsigned msg, int wparam) {
    if (msg == CM_BLINKQUERY)
        return FBlinking ? 1 : 0;
    if (msg == CM_BLINKSTATE && FBlinking)
        UpdateBlinkState(static_cast<TBlinkState>(wparam));
    return 0;
}

void TPkLabel::UpdateBlinkState(TBlinkState listState) {
    if (listState == TBlinkState::bsOff) {
        FBlinkState = TBlinkState::bsOn;
        FCurrentColor = FBlinkColor;
    } else {
        FBlinkState = TBlinkState::bsOff;
        FCurrentColor = FFontColor;
    }
    Repaint();
}

void TPkLabel::MouseEnter() {
    FHovered = true;
    if (FFlyByEnabled) {
        FOrigColor = Font()->Color();
        Font()->SetColor(FFlyByColor);
    }
}

void TPkLabel::MouseLeave() {
    FHovered = false;
    if (FFlyByEnabled)
        Font()->SetColor(FOrigColor);
}

void TPkLabel::ApplyFrameController() {
    PkApplyFrameController(*this);
}

// ---------------------------------------------------------------------------------------------------
// Painting

void TPkLabel::Paint(TCanvas& canvas) {
    TRect r{0, 0, Width(), Height()};
    const TColor parentColor = Parent() ? Parent()->Color() : Color();
    r = PaintFramePair(canvas, r, FBorderOuter, Transparent(), parentColor, Color(), FFlatColorAdjustment,
                       FFlatColor, FBorderShadow, FBorderHighlight, FBorderColor, FBevelWidth, FBorderSides,
                       FBorderWidth, FBorderInner);
    if (!Transparent()) {
        canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas.Brush()->SetColor(Color());
        canvas.FillRect(r);
    }
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    canvas.Font()->Assign(Font());
    if (FRotation == TRotation::roCurve)
        DrawCurvedText(canvas);
    else
        DrawFlatText(canvas);
}

void TPkLabel::DrawFlatText(TCanvas& canvas) {
    TRect t = AdjustBorderRect({0, 0, Width(), Height()}, true);
    t = {t.Left + FTextMargin, t.Top + FTextMargin, t.Right - FTextMargin, t.Bottom - FTextMargin};
    const unsigned flags = TextFlags();
    canvas.Font()->Assign(Font());
    std::string text = GetLabelText();
    if (FCondenseCaption == TPkCondenseCaption::ccWithinPath) {
        // Within a path the middle gives way, keeping the start and the last part (the file name).
        const QFontMetrics fm(Font()->ToQFont());
        text = fm.elidedText(QString::fromStdString(text), Qt::ElideMiddle, std::max(0, t.Width()))
                   .toStdString();
    }
    if (FRotation == TRotation::roFlat) {
        DrawAngledText(canvas, t, flags);
        return;
    }
    if (GetLayout() != TTextLayout::tlTop) {
        TRect calc = t;
        DrawTextIn(canvas, text, calc, flags | DT_CALCRECT);
        const int free = t.Height() - calc.Height();
        t = Offset(t, 0, GetLayout() == TTextLayout::tlBottom ? free : free / 2);
    }
    if (FTextStyle == TTextStyle::tsShadow) {
        if (Alignment() == TAlignment::taRightJustify)
            t = Offset(t, -FShadowDepth, 0);
        if (GetLayout() == TTextLayout::tlBottom)
            t = Offset(t, 0, -FShadowDepth);
    }
    auto copy = [&](TColor colour, int dx, int dy) {
        TRect r = Offset(t, dx, dy);
        canvas.Font()->SetColor(colour);
        DrawTextIn(canvas, text, r, flags);
    };
    if (!Enabled()) {
        copy(clGrayText, 0, 0);
        return;
    }
    switch (FTextStyle) {
    case TTextStyle::tsRaised:
        if (!FLightTextStyle)
            copy(FShadowColor, 1, 1);
        copy(FHighlightColor, -1, -1);
        break;
    case TTextStyle::tsRecessed:
        copy(FHighlightColor, 1, 1);
        if (!FLightTextStyle)
            copy(FShadowColor, -1, -1);
        break;
    case TTextStyle::tsShadow:
        copy(FShadowColor, FShadowDepth, FShadowDepth);
        break;
    case TTextStyle::tsNormal:
        break;
    }
    copy(FCurrentColor, 0, 0);
}

void TPkLabel::DrawAngledText(TCanvas& canvas, const TRect& t, unsigned) {
    const std::string text = StripAccelerators(GetLabelText());
    const TPoint ref{Width() / 2, Height() / 2};
    const int th = canvas.TextHeight("Pp");
    const double q = th / 4.0;
    const int tw = canvas.TextWidth(text);
    const int e = FTextStyle == TTextStyle::tsShadow ? FShadowDepth / 2 : 0;
    const int f = tw + e;
    const double theta = FAngle * std::numbers::pi / 180.0 + std::numbers::pi / 2;
    const bool centred = Alignment() == TAlignment::taCenter,
               right = Alignment() == TAlignment::taRightJustify;
    int x = ref.X, y = ref.Y;
    HAlign ha = HAlign::Left;
    VAlign va = VAlign::Baseline;
    const int dx = -static_cast<int>(std::lround(std::cos(theta) * q));
    switch (FAngle) {
    case 0:
        va = VAlign::Top;
        if (centred)
            ha = HAlign::Center;
        else
            x = right ? t.Right - tw - 2 * e : t.Left + e;
        y -= (th + e) / 2;
        break;
    case 90:
        x += dx;
        y = centred ? t.Bottom - (t.Bottom - f) / 2 : right ? t.Top + f + e : t.Bottom - e;
        break;
    case 180:
        x = centred ? t.Right - (t.Right - f) / 2 : right ? t.Left + f : t.Right - e;
        y -= (th + e) / 4;
        break;
    case 270:
        x += dx;
        y = centred ? (t.Bottom - f) / 2 : right ? t.Bottom - f - e : t.Top + e;
        break;
    default:
        x += dx;
        y += static_cast<int>(std::lround(std::sin(theta) * q));
        ha = HAlign::Center;
        break;
    }
    auto font = CreateAngledFont(*Font(), FAngle);
    canvas.Font()->Assign(font.get());
    const double a = FAngle * std::numbers::pi / 180.0;
    // The reference point on the unturned text, turned with it, gives the start point of the text.
    const double ax = ha == HAlign::Center ? tw / 2.0 : ha == HAlign::Right ? tw : 0.0;
    const double ay = va == VAlign::Top ? 0.0 : Ascent(*Font());
    auto start = [&](int px, int py) {
        const double sx = px - (ax * std::cos(a) + ay * std::sin(a));
        const double sy = py - (-ax * std::sin(a) + ay * std::cos(a));
        return TPoint{static_cast<int>(std::lround(sx)), static_cast<int>(std::lround(sy))};
    };
    auto copy = [&](TColor colour, int ddx, int ddy) {
        canvas.Font()->SetColor(colour);
        TPoint s = start(x + ddx, y + ddy);
        canvas.TextRect(t, s.X, s.Y, text);
    };
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    if (!Enabled()) {
        copy(clGrayText, 0, 0);
        return;
    }
    switch (FTextStyle) {
    case TTextStyle::tsRaised:
        if (!FLightTextStyle)
            copy(FShadowColor, 1, 1);
        copy(FHighlightColor, -1, -1);
        break;
    case TTextStyle::tsRecessed:
        copy(FHighlightColor, 1, 1);
        if (!FLightTextStyle)
            copy(FShadowColor, -1, -1);
        break;
    case TTextStyle::tsShadow:
        copy(FShadowColor, FShadowDepth / 2, FShadowDepth / 2);
        break;
    case TTextStyle::tsNormal:
        break;
    }
    if (FTextStyle == TTextStyle::tsShadow)
        copy(FCurrentColor, -(FShadowDepth / 2), -(FShadowDepth / 2));
    else
        copy(FCurrentColor, 0, 0);
}

void TPkLabel::DrawCurvedText(TCanvas& canvas) {
    const int b = FBorderWidth, W = Width(), H = Height();
    TPoint c{};
    int rx = 0, ry = 0;
    switch (FCenterPoint) {
    case TCenterPoint::cpUpperLeft:
        c = {b, b};
        rx = W - 2 * b;
        ry = H - 2 * b;
        break;
    case TCenterPoint::cpUpperCenter:
        c = {W / 2, b};
        rx = W / 2 - 2 * b;
        ry = H - 2 * b;
        break;
    case TCenterPoint::cpUpperRight:
        c = {W - b, b};
        rx = W - 2 * b;
        ry = H - 2 * b;
        break;
    case TCenterPoint::cpLeftCenter:
        c = {b, H / 2};
        rx = W - 2 * b;
        ry = H / 2 - 2 * b;
        break;
    case TCenterPoint::cpCenter:
        c = {W / 2, H / 2};
        rx = W / 2 - 2 * b;
        ry = H / 2 - 2 * b;
        break;
    case TCenterPoint::cpRightCenter:
        c = {W - b, H / 2};
        rx = W - 2 * b;
        ry = H / 2 - 2 * b;
        break;
    case TCenterPoint::cpLowerLeft:
        c = {b, H - b};
        rx = W - 2 * b;
        ry = H - 2 * b;
        break;
    case TCenterPoint::cpLowerCenter:
        c = {W / 2, H - b};
        rx = W / 2 - 2 * b;
        ry = H - 2 * b;
        break;
    case TCenterPoint::cpLowerRight:
        c = {W - b, H - b};
        rx = W - 2 * b;
        ry = H - 2 * b;
        break;
    }
    // An ellipse without a radius has no path to follow: nothing is drawn.
    if (rx <= 0 || ry <= 0)
        return;
    const int th = canvas.TextHeight("Yy");
    const int step = canvas.TextWidth("w") + 2;
    const std::string text = StripAccelerators(GetLabelText());
    double theta = FAngle * std::numbers::pi / 180.0;
    TFont base;
    base.Assign(Font());
    for (char ch : text) {
        const std::string s(1, ch);
        const int x = c.X - static_cast<int>(std::lround((rx - th) * std::sin(theta)));
        const int y = c.Y - static_cast<int>(std::lround((ry - th) * std::cos(theta)));
        canvas.Font()->Assign(&base);
        canvas.Font()->SetOrientation(static_cast<int>(std::lround(theta * 1800.0 / std::numbers::pi)));
        const double a = theta;
        const int cw = canvas.TextWidth(s);
        const int asc = Ascent(base);
        // Centre-baseline alignment at (x, y).
        auto draw = [&](TColor colour, int ddx, int ddy) {
            const double sx = x + ddx - (cw / 2.0 * std::cos(a) + asc * std::sin(a));
            const double sy = y + ddy - (-cw / 2.0 * std::sin(a) + asc * std::cos(a));
            canvas.Font()->SetColor(colour);
            canvas.TextOut(static_cast<int>(std::lround(sx)), static_cast<int>(std::lround(sy)), s);
        };
        if (Enabled()) {
            switch (FTextStyle) {
            case TTextStyle::tsRaised:
                if (!FLightTextStyle)
                    draw(FShadowColor, 1, 1);
                draw(FHighlightColor, -1, -1);
                break;
            case TTextStyle::tsRecessed:
                draw(FHighlightColor, 1, 1);
                if (!FLightTextStyle)
                    draw(FShadowColor, -1, -1);
                break;
            case TTextStyle::tsShadow:
                draw(FShadowColor, FShadowDepth, FShadowDepth);
                break;
            case TTextStyle::tsNormal:
                break;
            }
            draw(FCurrentColor, 0, 0);
        } else {
            draw(clBtnHighlight, 1, 1);
            draw(clBtnShadow, 0, 0);
        }
        theta -= static_cast<double>(step) / rx;
    }
    canvas.Font()->Assign(&base);
}

} // namespace kv
