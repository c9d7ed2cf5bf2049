#include "styled/StSmoothSplashScreen.h"

#include "platform/gui/Forms.h"
#include "platform/gui/LayeredWindow.h"
#include "platform/sys/Scheduler.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <iomanip>
#include <locale>
#include <sstream>
#include <string_view>

namespace kv {

std::vector<std::string> EnumIdents(TDisplayStyle) {
    return {"dsNormal", "dsFadeInOut"};
}
std::vector<std::string> EnumIdents(TDisplayLocation) {
    return {"dlFixedPos", "dlCenter"};
}
std::vector<std::string> EnumIdents(TThreadType) {
    return {"ttMainThread", "ttSeparateThread"};
}
std::vector<std::string> EnumIdents(TItemLocation) {
    return {"ilTopLeft",      "ilTopCenter",   "ilTopRight", "ilBottomLeft",
            "ilBottomCenter", "ilBottomRight", "ilCustom"};
}
std::vector<std::string> EnumIdents(TStSmoothSplashScreenLocation) {
    return {"cpTopLeft",     "cpTopCenter",  "cpTopRight",     "cpCenterLeft",  "cpCenterCenter",
            "cpCenterRight", "cpBottomLeft", "cpBottomCenter", "cpBottomRight", "cpCustom"};
}
std::vector<std::string> EnumIdents(TStSmoothSplashScreenTextRenderingHint) {
    return {"tAntiAlias", "tAntiAliasGridFit", "tClearType"};
}
std::vector<std::string> EnumIdents(TGDIPProgressValueType) {
    return {"vtPercentage", "vtAbsolute"};
}
std::vector<std::string> EnumIdents(TGDIPProgressValuePosition) {
    return {"vpProgressCenter", "vpProgressRight", "vpCenter", "vpLeft", "vpRight", "vpCustom"};
}

namespace {

TextRenderingHint HintOf(TStSmoothSplashScreenTextRenderingHint h) {
    switch (h) {
    case TStSmoothSplashScreenTextRenderingHint::tAntiAlias:
        return TextRenderingHintAntiAlias;
    case TStSmoothSplashScreenTextRenderingHint::tAntiAliasGridFit:
        return TextRenderingHintAntiAliasGridFit;
    default:
        return TextRenderingHintClearTypeGridFit;
    }
}

REAL F(int v) {
    return static_cast<REAL>(v);
}

// Half the border, as the window's size rule and the text area take it.
int HalfBorder(const TGDIPFill& fill) {
    return fill.BorderWidth() == 1 ? 1 : (fill.BorderWidth() + 1) / 2;
}

std::unique_ptr<TTimer> NewTimer(TScheduler* s, std::uint32_t interval, std::function<void()> onTimer) {
    auto t = std::make_unique<TTimer>(s);
    t->SetEnabled(false);
    t->SetInterval(interval);
    t->OnTimer = std::move(onTimer);
    return t;
}

} // namespace

std::string FormatProgressValue(const std::string& format, double value) {
    // Only number items are taken from the format ("%.0f", "%5.1f", "%d", "%%"); anything else is
    // copied as text, so a format from a layout can never read what is not there.
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            out += format[i];
            continue;
        }
        std::size_t j = i + 1;
        if (j < format.size() && format[j] == '%') {
            out += '%';
            i = j;
            continue;
        }
        std::string flags;
        while (j < format.size() && std::string_view("-+ 0").find(format[j]) != std::string_view::npos)
            flags += format[j++];
        int width = 0, precision = -1;
        while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j])) && width < 100)
            width = width * 10 + (format[j++] - '0');
        if (j < format.size() && format[j] == '.') {
            precision = 0;
            ++j;
            while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j])) && precision < 20)
                precision = precision * 10 + (format[j++] - '0');
        }
        if (j >= format.size() || std::string_view("fdeg").find(format[j]) == std::string_view::npos) {
            out += format.substr(i, j - i);
            i = j - 1;
            continue;
        }
        const char conv = format[j];
        std::ostringstream os;
        os.imbue(std::locale::classic());
        if (flags.find('+') != std::string::npos)
            os << std::showpos;
        if (conv == 'd') {
            os << std::llround(value);
        } else {
            if (conv == 'f')
                os << std::fixed;
            else if (conv == 'e')
                os << std::scientific;
            os << std::setprecision(precision < 0 ? 6 : precision) << value;
        }
        std::string num = os.str();
        if (static_cast<int>(num.size()) < width) {
            const std::size_t pad = static_cast<std::size_t>(width) - num.size();
            if (flags.find('-') != std::string::npos)
                num += std::string(pad, ' ');
            else
                num = std::string(pad, flags.find('0') != std::string::npos ? '0' : ' ') + num;
        }
        out += num;
        i = j;
    }
    return out;
}

namespace {

bool IsBottom(TItemLocation l) {
    return l == TItemLocation::ilBottomLeft || l == TItemLocation::ilBottomCenter ||
           l == TItemLocation::ilBottomRight;
}
bool IsTop(TItemLocation l) {
    return l == TItemLocation::ilTopLeft || l == TItemLocation::ilTopCenter || l == TItemLocation::ilTopRight;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// Settings objects

KV_REGISTER_CLASS(TSplashHeadingText, TPersistent, b) {
    b.Prop("OpacityStart", &TSplashHeadingText::OpacityStart, &TSplashHeadingText::SetOpacityStart)
        .Default(255);
    b.Prop("OpacityEnd", &TSplashHeadingText::OpacityEnd, &TSplashHeadingText::SetOpacityEnd).Default(255);
    b.Prop("PosY", &TSplashHeadingText::PosY, &TSplashHeadingText::SetPosY).Default(100);
    b.Prop("PosX", &TSplashHeadingText::PosX, &TSplashHeadingText::SetPosX).Default(10);
    b.Prop("Text", &TSplashHeadingText::Text, &TSplashHeadingText::SetText);
    b.Prop("Picture", &TSplashHeadingText::Picture, &TSplashHeadingText::SetPicture);
    b.Prop("GradientType", &TSplashHeadingText::GradientType, &TSplashHeadingText::SetGradientType)
        .Default(gtVertical);
    b.Prop("ColorEnd", &TSplashHeadingText::ColorEnd, &TSplashHeadingText::SetColorEnd)
        .Default(clNone)
        .Idents(ColorIdents(), "TColor");
    b.Prop("ColorStart", &TSplashHeadingText::ColorStart, &TSplashHeadingText::SetColorStart)
        .Default(clBlack)
        .Idents(ColorIdents(), "TColor");
    b.Prop("Font", &TSplashHeadingText::Font, &TSplashHeadingText::SetFont);
    b.Prop("HatchStyle", &TSplashHeadingText::GetHatchStyle, &TSplashHeadingText::SetHatchStyle)
        .Default(HatchStyleHorizontal);
    b.Prop("Location", &TSplashHeadingText::Location, &TSplashHeadingText::SetLocation)
        .Default(TItemLocation::ilTopLeft);
    b.Prop("Angle", &TSplashHeadingText::Angle, &TSplashHeadingText::SetAngle).Default(0);
}

TSplashHeadingText::TSplashHeadingText()
    : FPicture(std::make_unique<TStGDIPPicture>()), FFont(std::make_unique<TFont>()) {
    FFont->SetName("Tahoma");
    FFont->OnChange = [this](TObject*) { Changed(); };
    FPicture->OnChange = [this](TObject*) { Changed(); };
}
TSplashHeadingText::~TSplashHeadingText() {
    OnChange = nullptr;
}

void TSplashHeadingText::Assign(const TPersistent* source) {
    auto* s = dynamic_cast<const TSplashHeadingText*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    FStartOpacity = s->FStartOpacity;
    FEndOpacity = s->FEndOpacity;
    FPosY = s->FPosY;
    FPosX = s->FPosX;
    FText = s->FText;
    FPicture->Assign(s->FPicture.get());
    FGradientType = s->FGradientType;
    FEndColor = s->FEndColor;
    FStartColor = s->FStartColor;
    FFont->Assign(s->FFont.get());
    FHatchStyle = s->FHatchStyle;
    FLocation = s->FLocation;
    FAngle = s->FAngle;
    Changed();
}

KV_REGISTER_CLASS(TBasicProgramInfo, TPersistent, b) {
    b.Prop("AutoLoad", &TBasicProgramInfo::AutoLoad, &TBasicProgramInfo::SetAutoLoad).Default(true);
    b.Prop("CopyRightFont", &TBasicProgramInfo::CopyRightFont, &TBasicProgramInfo::SetCopyRightFont);
    b.Prop("CopyRightPosX", &TBasicProgramInfo::CopyRightPosX, &TBasicProgramInfo::SetCopyRightPosX)
        .Default(10);
    b.Prop("CopyRightPosY", &TBasicProgramInfo::CopyRightPosY, &TBasicProgramInfo::SetCopyRightPosY)
        .Default(130);
    b.Prop("CopyRight", &TBasicProgramInfo::CopyRight, &TBasicProgramInfo::SetCopyRight);
    b.Prop("ProgramName", &TBasicProgramInfo::ProgramName, &TBasicProgramInfo::SetProgramName);
    b.Prop("ProgramVersion", &TBasicProgramInfo::ProgramVersion, &TBasicProgramInfo::SetProgramVersion);
    b.Prop("CopyRightLocation", &TBasicProgramInfo::CopyRightLocation,
           &TBasicProgramInfo::SetCopyRightLocation)
        .Default(TItemLocation::ilTopLeft);
}

TBasicProgramInfo::TBasicProgramInfo()
    : FCopyRightFont(std::make_unique<TFont>()), FProgramName(std::make_unique<TSplashHeadingText>()),
      FProgramVersion(std::make_unique<TSplashHeadingText>()) {
    FProgramName->Font()->SetSize(14);
    FProgramName->Font()->SetStyle(TFontStyles{TFontStyle::fsBold});
    FProgramVersion->Font()->SetSize(14);
    FProgramVersion->SetPosX(80);
    FProgramVersion->SetPosY(100);
    auto changed = [this](TObject*) {
        if (OnChange)
            OnChange(this);
    };
    FProgramName->OnChange = changed;
    FProgramVersion->OnChange = changed;
}
TBasicProgramInfo::~TBasicProgramInfo() {
    OnChange = nullptr;
    FProgramName->OnChange = nullptr;
    FProgramVersion->OnChange = nullptr;
}

void TBasicProgramInfo::Assign(const TPersistent* source) {
    auto* s = dynamic_cast<const TBasicProgramInfo*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    FAutoLoad = s->FAutoLoad;
    FCopyRightFont->Assign(s->FCopyRightFont.get());
    FCopyRightPosX = s->FCopyRightPosX;
    FCopyRightPosY = s->FCopyRightPosY;
    FCopyRight = s->FCopyRight;
    FProgramName->Assign(s->FProgramName.get());
    FProgramVersion->Assign(s->FProgramVersion.get());
    FCopyRightLocation = s->FCopyRightLocation;
}

KV_REGISTER_CLASS(TSplashItem, TPersistent, b) {
    b.Prop("Text", &TSplashItem::Text, &TSplashItem::SetText);
    b.Prop("ImageIndex", &TSplashItem::ImageIndex, &TSplashItem::SetImageIndex).Default(-1);
    b.Prop("Tag", &TSplashItem::Tag, &TSplashItem::SetTag).Default(0);
    b.Prop("Picture", &TSplashItem::Picture, &TSplashItem::SetPicture);
    b.Prop("PosY", &TSplashItem::PosY, &TSplashItem::SetPosY).Default(130);
    b.Prop("PosX", &TSplashItem::PosX, &TSplashItem::SetPosX).Default(80);
    b.Prop("Font", &TSplashItem::Font, &TSplashItem::SetFont);
    b.Prop("Visible", &TSplashItem::Visible, &TSplashItem::SetVisible).Default(true);
}
TSplashItem::TSplashItem()
    : FIPicture(std::make_unique<TStGDIPPicture>()), FFont(std::make_unique<TFont>()) {}
TSplashItem::~TSplashItem() = default;

void TSplashItem::Assign(const TPersistent* source) {
    auto* s = dynamic_cast<const TSplashItem*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    FText = s->FText;
    FImageIndex = s->FImageIndex;
    FTag = s->FTag;
    FIPicture->Assign(s->FIPicture.get());
    FPosY = s->FPosY;
    FPosX = s->FPosX;
    FFont->Assign(s->FFont.get());
    FVisible = s->FVisible;
}

void TSplashListItem::Assign(const TPersistent* source) {
    auto* s = dynamic_cast<const TSplashListItem*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    FHTMLText = s->FHTMLText;
    FImageIndex = s->FImageIndex;
    FTag = s->FTag;
}

void TSplashItems::Assign(const TPersistent* source) {
    if (auto* s = dynamic_cast<const TSplashItems*>(source))
        CopyItems(*this, *s);
    else
        TPersistent::Assign(source);
}

void TSplashListItems::Assign(const TPersistent* source) {
    if (auto* s = dynamic_cast<const TSplashListItems*>(source))
        CopyItems(*this, *s);
    else
        TPersistent::Assign(source);
}

void TStSplashTopLayerItems::Assign(const TPersistent* source) {
    if (auto* s = dynamic_cast<const TStSplashTopLayerItems*>(source))
        CopyItems(*this, *s);
    else
        TPersistent::Assign(source);
}

void TListItemsRect::Assign(const TPersistent* source) {
    auto* s = dynamic_cast<const TListItemsRect*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    const bool changed = FHeight != s->FHeight || FLeft != s->FLeft || FWidth != s->FWidth || FTop != s->FTop;
    FHeight = s->FHeight;
    FLeft = s->FLeft;
    FWidth = s->FWidth;
    FTop = s->FTop;
    if (changed && OnChange)
        OnChange(this);
}

KV_REGISTER_CLASS(TSplashListItem, TPersistent, b) {
    b.Prop("HTMLText", &TSplashListItem::HTMLText, &TSplashListItem::SetHTMLText);
    b.Prop("ImageIndex", &TSplashListItem::ImageIndex, &TSplashListItem::SetImageIndex).Default(-1);
    b.Prop("Tag", &TSplashListItem::Tag, &TSplashListItem::SetTag).Default(0);
}
KV_REGISTER_CLASS(TSplashItems, TPersistent, b) {
    b.Collection(&TSplashItems::Count, &TSplashItems::Items, &TSplashItems::Add, &TSplashItems::Clear);
}
KV_REGISTER_CLASS(TSplashListItems, TPersistent, b) {
    b.Collection(&TSplashListItems::Count, &TSplashListItems::Items, &TSplashListItems::Add,
                 &TSplashListItems::Clear);
}
KV_REGISTER_CLASS(TStSplashTopLayerItems, TPersistent, b) {
    b.Collection(&TStSplashTopLayerItems::Count, &TStSplashTopLayerItems::Items, &TStSplashTopLayerItems::Add,
                 &TStSplashTopLayerItems::Clear);
}

KV_REGISTER_CLASS(TListItemsRect, TPersistent, b) {
    b.Prop("Height", &TListItemsRect::Height, &TListItemsRect::SetHeight).Default(200);
    b.Prop("Left", &TListItemsRect::Left, &TListItemsRect::SetLeft).Default(30);
    b.Prop("Width", &TListItemsRect::Width, &TListItemsRect::SetWidth).Default(300);
    b.Prop("Top", &TListItemsRect::Top, &TListItemsRect::SetTop).Default(150);
}

KV_REGISTER_CLASS(TSplashListItemsSettings, TPersistent, b) {
    b.Prop("Space", &TSplashListItemsSettings::Space, &TSplashListItemsSettings::SetSpace).Default(8);
    b.Prop("HTMLShadowOffset", &TSplashListItemsSettings::HTMLShadowOffset,
           &TSplashListItemsSettings::SetHTMLShadowOffset)
        .Default(5);
    b.Prop("HTMLURLColor", &TSplashListItemsSettings::HTMLURLColor,
           &TSplashListItemsSettings::SetHTMLURLColor)
        .Default(0xFF0000)
        .Idents(ColorIdents(), "TColor");
    b.Prop("HTMLShadowColor", &TSplashListItemsSettings::HTMLShadowColor,
           &TSplashListItemsSettings::SetHTMLShadowColor)
        .Default(0x808080)
        .Idents(ColorIdents(), "TColor");
    b.Prop("HTMLFont", &TSplashListItemsSettings::HTMLFont, &TSplashListItemsSettings::SetHTMLFont);
    b.Prop("Rect", &TSplashListItemsSettings::Rect, &TSplashListItemsSettings::SetRect);
}
TSplashListItemsSettings::TSplashListItemsSettings()
    : FHTMLFont(std::make_unique<TFont>()), FRect(std::make_unique<TListItemsRect>()) {
    FHTMLFont->SetName("Tahoma");
}
TSplashListItemsSettings::~TSplashListItemsSettings() = default;

void TSplashListItemsSettings::Assign(const TPersistent* source) {
    auto* s = dynamic_cast<const TSplashListItemsSettings*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    FSpace = s->FSpace;
    FHTMLShadowOffset = s->FHTMLShadowOffset;
    FHTMLURLColor = s->FHTMLURLColor;
    FHTMLShadowColor = s->FHTMLShadowColor;
    FHTMLFont->Assign(s->FHTMLFont.get());
    FRect->Assign(s->FRect.get());
}

KV_REGISTER_CLASS(TGDIPSplashProgress, TPersistent, b) {
    b.Prop("BackGroundFill", &TGDIPSplashProgress::BackGroundFill, &TGDIPSplashProgress::SetBackGroundFill);
    b.Prop("ValueFormat", &TGDIPSplashProgress::ValueFormat, &TGDIPSplashProgress::SetValueFormat);
    b.Prop("ValueType", &TGDIPSplashProgress::ValueType, &TGDIPSplashProgress::SetValueType)
        .Default(TGDIPProgressValueType::vtAbsolute);
    b.Prop("ProgressFill", &TGDIPSplashProgress::ProgressFill, &TGDIPSplashProgress::SetProgressFill);
    b.Prop("ValuePositionTop", &TGDIPSplashProgress::ValuePositionTop,
           &TGDIPSplashProgress::SetValuePositionTop)
        .Default(0);
    b.Prop("ValuePositionLeft", &TGDIPSplashProgress::ValuePositionLeft,
           &TGDIPSplashProgress::SetValuePositionLeft)
        .Default(0);
    b.Prop("Font", &TGDIPSplashProgress::Font, &TGDIPSplashProgress::SetFont);
    b.Prop("ValuePosition", &TGDIPSplashProgress::ValuePosition, &TGDIPSplashProgress::SetValuePosition)
        .Default(TGDIPProgressValuePosition::vpCenter);
    b.Prop("ValueVisible", &TGDIPSplashProgress::ValueVisible, &TGDIPSplashProgress::SetValueVisible)
        .Default(false);
    b.Prop("ProgressFont", &TGDIPSplashProgress::ProgressFont, &TGDIPSplashProgress::SetProgressFont);
    b.Prop("Visible", &TGDIPSplashProgress::Visible, &TGDIPSplashProgress::SetVisible).Default(false);
    b.Prop("Height", &TGDIPSplashProgress::Height, &TGDIPSplashProgress::SetHeight).Default(17);
    b.Prop("Left", &TGDIPSplashProgress::Left, &TGDIPSplashProgress::SetLeft).Default(50);
    b.Prop("Width", &TGDIPSplashProgress::Width, &TGDIPSplashProgress::SetWidth).Default(300);
    b.Prop("Top", &TGDIPSplashProgress::Top, &TGDIPSplashProgress::SetTop).Default(100);
    b.Prop("ProgressAnimation", &TGDIPSplashProgress::ProgressAnimation,
           &TGDIPSplashProgress::SetProgressAnimation)
        .Default(false);
    b.Prop("GlowAnimation", &TGDIPSplashProgress::GlowAnimation, &TGDIPSplashProgress::SetGlowAnimation)
        .Default(false);
    b.Prop("Position", &TGDIPSplashProgress::Position, &TGDIPSplashProgress::SetPosition);
    b.Prop("Step", &TGDIPSplashProgress::Step, &TGDIPSplashProgress::SetStep);
    b.Prop("Maximum", &TGDIPSplashProgress::Maximum, &TGDIPSplashProgress::SetMaximum);
    b.Prop("Minimum", &TGDIPSplashProgress::Minimum, &TGDIPSplashProgress::SetMinimum);
}

TGDIPSplashProgress::TGDIPSplashProgress()
    : FBackGroundFill(std::make_unique<TGDIPFill>()), FProgressFill(std::make_unique<TGDIPFill>()),
      FFont(std::make_unique<TFont>()), FProgressFont(std::make_unique<TFont>()) {
    auto changed = [this](TObject*) { Changed(); };
    FBackGroundFill->OnChange = changed;
    FProgressFill->OnChange = changed;
    FFont->OnChange = changed;
    FProgressFont->OnChange = changed;
}
TGDIPSplashProgress::~TGDIPSplashProgress() {
    OnChange = nullptr;
    FBackGroundFill->OnChange = nullptr;
    FProgressFill->OnChange = nullptr;
    FFont->OnChange = nullptr;
    FProgressFont->OnChange = nullptr;
}

void TGDIPSplashProgress::Assign(const TPersistent* source) {
    auto* s = dynamic_cast<const TGDIPSplashProgress*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    TNotifyEvent keep = OnChange;
    OnChange = nullptr;
    FBackGroundFill->Assign(s->FBackGroundFill.get());
    FProgressFill->Assign(s->FProgressFill.get());
    FFont->Assign(s->FFont.get());
    FProgressFont->Assign(s->FProgressFont.get());
    FValueFormat = s->FValueFormat;
    FValueType = s->FValueType;
    FValuePositionTop = s->FValuePositionTop;
    FValuePositionLeft = s->FValuePositionLeft;
    FValuePosition = s->FValuePosition;
    FValueVisible = s->FValueVisible;
    FVisible = s->FVisible;
    FHeight = s->FHeight;
    FLeft = s->FLeft;
    FWidth = s->FWidth;
    FTop = s->FTop;
    FProgressAnimation = s->FProgressAnimation;
    FGlowAnimation = s->FGlowAnimation;
    FPosition = s->FPosition;
    FStep = s->FStep;
    FMaximum = s->FMaximum;
    FMinimum = s->FMinimum;
    OnChange = keep;
    Changed();
}

TGPRectF TGDIPSplashProgress::CalculateProgressRectangle(const TGPRectF& inside, double position) const {
    TGPRectF r = inside;
    double w = 0;
    if (FMaximum > FMinimum)
        w = std::min(static_cast<double>(inside.Width),
                     (position - FMinimum) / (FMaximum - FMinimum) * inside.Width);
    r.Width = static_cast<REAL>(std::max(0.0, w));
    if (FProgressFill->BorderColor() != clNone && FProgressFill->BorderWidth() > 0) {
        const REAL h = static_cast<REAL>(FProgressFill->BorderWidth()) / 2;
        r.X += h;
        r.Y += h;
        r.Width = std::max<REAL>(0, r.Width - 2 * h);
        r.Height = std::max<REAL>(0, r.Height - 2 * h);
    }
    return r;
}

void TGDIPSplashProgress::Draw(TGPGraphics* g, const TGPRectF& r, double shown, double glowPos,
                               bool glow) const {
    const TGPRectF inside = FBackGroundFill->Fill(g, r);
    const TGPRectF pr = CalculateProgressRectangle(inside, shown);
    if (pr.Width > 0)
        FProgressFill->Fill(g, pr);
    // A soft shade at both ends of the progress and of the bar.
    auto shade = [&](REAL x, REAL y, REAL h, bool leftEnd) {
        const TGPRectF band{leftEnd ? x : x - 10, y, 10, h};
        TGPLinearGradientBrush br(TGPRectF{band.X - 1, band.Y, band.Width + 2, band.Height},
                                  leftEnd ? MakeARGB(30, 0, 0, 0) : MakeARGB(0, 0, 0, 0),
                                  leftEnd ? MakeARGB(0, 0, 0, 0) : MakeARGB(30, 0, 0, 0),
                                  LinearGradientModeHorizontal);
        g->FillRectangle(&br, band);
    };
    if (pr.Width > 0) {
        shade(pr.X, pr.Y, pr.Height, true);
        shade(pr.X + pr.Width, pr.Y, pr.Height, false);
    }
    shade(inside.X, inside.Y, inside.Height, true);
    shade(inside.X + inside.Width, inside.Y, inside.Height, false);
    if (FValueVisible) {
        double v = std::clamp(shown, FMinimum, FMaximum);
        if (FValueType == TGDIPProgressValueType::vtPercentage)
            v = FMaximum > FMinimum ? (v - FMinimum) / (FMaximum - FMinimum) * 100 : FMaximum;
        const std::string text = FormatProgressValue(FValueFormat, v);
        const int tw = g->TextWidth(text, FFont.get()), th = g->TextHeight(text, FFont.get());
        REAL x = inside.X;
        switch (FValuePosition) {
        case TGDIPProgressValuePosition::vpProgressCenter:
            x = pr.X + (pr.Width - static_cast<REAL>(tw)) / 2;
            break;
        case TGDIPProgressValuePosition::vpProgressRight:
            x = pr.X + pr.Width - static_cast<REAL>(tw);
            break;
        case TGDIPProgressValuePosition::vpCenter:
            x = inside.X + (inside.Width - static_cast<REAL>(tw)) / 2;
            break;
        case TGDIPProgressValuePosition::vpLeft:
            x = inside.X;
            break;
        case TGDIPProgressValuePosition::vpRight:
            x = inside.X + inside.Width - static_cast<REAL>(tw);
            break;
        case TGDIPProgressValuePosition::vpCustom:
            x = static_cast<REAL>(FValuePositionLeft);
            break;
        }
        REAL y = inside.Y + (inside.Height - static_cast<REAL>(th)) / 2;
        if (FValuePosition == TGDIPProgressValuePosition::vpCustom)
            y = static_cast<REAL>(FValuePositionTop);
        const bool over = pr.X + pr.Width > x + static_cast<REAL>(tw) / 2;
        TRect tr{static_cast<int>(x), static_cast<int>(y), static_cast<int>(x), static_cast<int>(y)};
        g->DrawText(text, -1, tr, over ? FProgressFont.get() : FFont.get(), 0, clNone);
    }
    // Gloss over the top two fifths, shade over the bottom fifth.
    const TGPRectF top{inside.X, inside.Y, inside.Width, inside.Height * 2 / 5};
    if (top.Height > 0 && top.Width > 0) {
        TGPLinearGradientBrush gloss(TGPRectF{top.X, top.Y - 1, top.Width, top.Height + 2},
                                     MakeARGB(180, 255, 255, 255), MakeARGB(0, 255, 255, 255),
                                     LinearGradientModeVertical);
        g->FillRectangle(&gloss, top);
    }
    const TGPRectF bottom{inside.X, inside.Y + inside.Height * 4 / 5, inside.Width, inside.Height / 5};
    if (bottom.Height > 0 && bottom.Width > 0) {
        TGPLinearGradientBrush sh(TGPRectF{bottom.X, bottom.Y - 1, bottom.Width, bottom.Height + 2},
                                  MakeARGB(0, 255, 255, 255), MakeARGB(255, 255, 255, 255),
                                  LinearGradientModeVertical);
        g->FillRectangle(&sh, bottom);
    }
    if (glow && pr.Width > 0) {
        g->SetClip(pr);
        const TGPRectF gr{pr.X + static_cast<REAL>(glowPos), pr.Y, 60, pr.Height};
        const ARGB colours[3] = {MakeARGB(0, 255, 255, 255), MakeARGB(120, 255, 255, 255),
                                 MakeARGB(0, 255, 255, 255)};
        const REAL positions[3] = {0, 0.5f, 1};
        TGPLinearGradientBrush gb(gr, colours[0], colours[2], LinearGradientModeHorizontal);
        gb.SetInterpolationColors(colours, positions, 3);
        g->FillRectangle(&gb, gr);
        g->ResetClip();
    }
}

KV_REGISTER_CLASS(TStSplashProgressBar, TGraphicControl, b) {}

TStSplashProgressBar::TStSplashProgressBar(TComponent* owner, TScheduler* scheduler)
    : TGraphicControl(owner), FAppearance(std::make_unique<TGDIPSplashProgress>()) {
    FAnimationTimer = NewTimer(scheduler, 10, [this] { AnimationTick(); });
    SetBounds(0, 0, 150, 17);
}

TStSplashProgressBar::~TStSplashProgressBar() {
    Destroying();
    OnChange = nullptr;
    OnPositionChanged = nullptr;
    FAnimationTimer->SetEnabled(false);
}

void TStSplashProgressBar::Assign(const TPersistent* source) {
    if (auto* s = dynamic_cast<const TGDIPSplashProgress*>(source)) {
        FAppearance->Assign(s);
        Invalidate();
        return;
    }
    TGraphicControl::Assign(source);
}

void TStSplashProgressBar::SetAppearance(const TGDIPSplashProgress* v) {
    FAppearance->Assign(v);
    Invalidate();
}

void TStSplashProgressBar::UpdateTimer() {
    // The 10 ms tick runs only while something moves.
    FAnimationTimer->SetEnabled(FGlowAnimation || (FProgressAnimation && AnimationInProgress()));
}

void TStSplashProgressBar::SetPosition(double v) {
    if (v == FPosition)
        return;
    FPosition = v;
    FPositionTo = v;
    if (!FProgressAnimation)
        FPositionTemp = v;
    UpdateTimer();
    Invalidate();
    if (OnPositionChanged)
        OnPositionChanged(this);
    if (OnChange)
        OnChange(this);
}

void TStSplashProgressBar::SetMaximum(double v) {
    if (v == FMaximum)
        return;
    FMaximum = v;
    Invalidate();
}

void TStSplashProgressBar::SetMinimum(double v) {
    if (v == FMinimum)
        return;
    FMinimum = v;
    Invalidate();
}

void TStSplashProgressBar::SetProgressAnimation(bool v) {
    FProgressAnimation = v;
    if (!v)
        FPositionTemp = FPosition;
    UpdateTimer();
}

void TStSplashProgressBar::SetGlowAnimation(bool v) {
    FGlowAnimation = v;
    UpdateTimer();
}

bool TStSplashProgressBar::AnimationInProgress() const {
    return FProgressAnimation && !IsLoading() && std::fabs(FPositionTemp - FPositionTo) > 0.001;
}

void TStSplashProgressBar::AnimationTick() {
    bool changed = false;
    if (FProgressAnimation && std::fabs(FPositionTo - FPositionTemp) > 0.000001) {
        FPositionTemp += (FPositionTo - FPositionTemp) / 15;
        if (std::fabs(FPositionTo - FPositionTemp) <= 0.000001)
            FPositionTemp = FPositionTo;
        changed = true;
    }
    if (FGlowAnimation) {
        if (FGlowCount > 0) {
            --FGlowCount;
        } else {
            FGlowPos += 3;
            if (FGlowPos > Width()) {
                FGlowPos = -40;
                FGlowCount = 150;
            }
        }
        changed = true;
    }
    if (changed) {
        Invalidate();
        if (OnChange)
            OnChange(this);
    }
    UpdateTimer();
}

void TStSplashProgressBar::DrawTo(TGPGraphics* g, const TGPRectF& r) const {
    TGDIPSplashProgress look;
    look.Assign(FAppearance.get());
    look.SetMinimum(FMinimum);
    look.SetMaximum(FMaximum);
    look.Draw(g, r, FPositionTemp, FGlowPos, FGlowAnimation);
}

void TStSplashProgressBar::Paint(TCanvas& canvas) {
    TGPGraphics g(&canvas);
    DrawTo(&g, TGPRectF{0, 0, F(Width() - 1), F(Height() - 1)});
}

KV_REGISTER_CLASS(TStSplashHTMLText, TPersistent, b) {
    b.Prop("URLColor", &TStSplashHTMLText::URLColor, &TStSplashHTMLText::SetURLColor)
        .Default(0xFF0000)
        .Idents(ColorIdents(), "TColor");
    b.Prop("ShadowOffset", &TStSplashHTMLText::ShadowOffset, &TStSplashHTMLText::SetShadowOffset).Default(5);
    b.Prop("Font", &TStSplashHTMLText::Font, &TStSplashHTMLText::SetFont);
    b.Prop("Text", &TStSplashHTMLText::Text, &TStSplashHTMLText::SetText);
    b.Prop("ShadowColor", &TStSplashHTMLText::ShadowColor, &TStSplashHTMLText::SetShadowColor)
        .Default(0x808080)
        .Idents(ColorIdents(), "TColor");
    b.Prop("Location", &TStSplashHTMLText::Location, &TStSplashHTMLText::SetLocation)
        .Default(TStSmoothSplashScreenLocation::cpCenterLeft);
    b.Prop("Top", &TStSplashHTMLText::Top, &TStSplashHTMLText::SetTop).Default(0);
    b.Prop("Left", &TStSplashHTMLText::Left, &TStSplashHTMLText::SetLeft).Default(0);
}
TStSplashHTMLText::TStSplashHTMLText() : FFont(std::make_unique<TFont>()) {
    FFont->OnChange = [this](TObject*) {
        if (OnChange)
            OnChange(this);
    };
}
TStSplashHTMLText::~TStSplashHTMLText() {
    OnChange = nullptr;
}

void TStSplashHTMLText::Assign(const TPersistent* source) {
    auto* s = dynamic_cast<const TStSplashHTMLText*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    // One change for the whole copy, not one per value.
    TNotifyEvent changed = std::move(OnChange);
    OnChange = nullptr;
    FFont->Assign(s->FFont.get());
    FURLColor = s->FURLColor;
    FShadowOffset = s->FShadowOffset;
    FText = s->FText;
    FShadowColor = s->FShadowColor;
    FLocation = s->FLocation;
    FTop = s->FTop;
    FLeft = s->FLeft;
    OnChange = std::move(changed);
    if (OnChange)
        OnChange(this);
}

KV_REGISTER_CLASS(TStSplashTopLayerItem, TPersistent, b) {
    b.Prop("Align", &TStSplashTopLayerItem::Align, &TStSplashTopLayerItem::SetAlign)
        .Default(TAlign::alCustom);
    b.Prop("HTMLText", &TStSplashTopLayerItem::HTMLText, &TStSplashTopLayerItem::SetHTMLText);
    b.Prop("Width", &TStSplashTopLayerItem::Width, &TStSplashTopLayerItem::SetWidth).Default(100);
    b.Prop("Visible", &TStSplashTopLayerItem::Visible, &TStSplashTopLayerItem::SetVisible).Default(true);
    b.Prop("Top", &TStSplashTopLayerItem::Top, &TStSplashTopLayerItem::SetTop).Default(0);
    b.Prop("Height", &TStSplashTopLayerItem::Height, &TStSplashTopLayerItem::SetHeight).Default(100);
    b.Prop("Left", &TStSplashTopLayerItem::Left, &TStSplashTopLayerItem::SetLeft).Default(0);
    b.Prop("Fill", &TStSplashTopLayerItem::Fill, &TStSplashTopLayerItem::SetFill);
}
TStSplashTopLayerItem::TStSplashTopLayerItem()
    : FHTMLText(std::make_unique<TStSplashHTMLText>()), FFill(std::make_unique<TGDIPFill>()) {}
TStSplashTopLayerItem::~TStSplashTopLayerItem() = default;

void TStSplashTopLayerItem::Assign(const TPersistent* source) {
    auto* s = dynamic_cast<const TStSplashTopLayerItem*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    FAlign = s->FAlign;
    FHTMLText->Assign(s->FHTMLText.get());
    FWidth = s->FWidth;
    FVisible = s->FVisible;
    FTop = s->FTop;
    FHeight = s->FHeight;
    FLeft = s->FLeft;
    FFill->Assign(s->FFill.get());
}

// ---------------------------------------------------------------------------------------------------
// Text routine

TSize DrawGradientText(TGPGraphics* g, const TFont* font, const std::string& text, int x, int y,
                       TStGradientType gradient, TColor startColor, TColor endColor, int startOpacity,
                       int endOpacity, HatchStyle hatch, TStGDIPPicture* picture, int angle,
                       TStSmoothSplashScreenTextRenderingHint hint, bool measureOnly) {
    if (text.empty() || !g || !font)
        return {};
    std::unique_ptr<TGPFontFamily> family = std::make_unique<TGPFontFamily>(font->Name());
    if (!family->IsAvailable())
        family = std::make_unique<TGPFontFamily>("Arial");
    g->SetTextRenderingHint(HintOf(hint));
    std::int32_t style = FontStyleRegular;
    if (font->Style().Contains(TFontStyle::fsBold))
        style |= FontStyleBold;
    if (font->Style().Contains(TFontStyle::fsItalic))
        style |= FontStyleItalic;
    if (font->Style().Contains(TFontStyle::fsUnderline))
        style |= FontStyleUnderline;
    TGPFont f(family.get(), static_cast<REAL>(font->Size()), style, UnitPoint);
    TGPStringFormat format;
    format.SetAlignment(StringAlignmentNear);
    TGPRectF box;
    g->MeasureString(text, -1, &f, TGPRectF{F(x), F(y), 1500, 500}, &format, box);
    const TSize size{static_cast<int>(std::lround(box.Width)), static_cast<int>(std::lround(box.Height))};
    if (measureOnly)
        return size;
    if (endColor == clNone && gradient != gtTexture && gradient != gtNone)
        gradient = gtSolid;
    std::unique_ptr<TGPBrush> brush;
    const TGPRectF mbox{F(x), F(y), box.Width, box.Height};
    switch (gradient) {
    case gtSolid:
        brush = std::make_unique<TGPSolidBrush>(ColorToARGB(startOpacity, startColor));
        break;
    case gtVertical:
    case gtHorizontal:
    case gtForwardDiagonal:
    case gtBackwardDiagonal: {
        const LinearGradientMode mode = gradient == gtVertical          ? LinearGradientModeVertical
                                        : gradient == gtHorizontal      ? LinearGradientModeHorizontal
                                        : gradient == gtForwardDiagonal ? LinearGradientModeForwardDiagonal
                                                                        : LinearGradientModeBackwardDiagonal;
        brush = std::make_unique<TGPLinearGradientBrush>(mbox, ColorToARGB(startOpacity, startColor),
                                                         ColorToARGB(endOpacity, endColor), mode);
        break;
    }
    case gtAngle: {
        auto lb = std::make_unique<TGPLinearGradientBrush>(
            TGPRectF{mbox.X, mbox.Y, mbox.Width + 10, mbox.Height + 10},
            ColorToARGB(startOpacity, startColor), ColorToARGB(endOpacity, endColor),
            static_cast<REAL>(angle), false);
        lb->SetGammaCorrection(true);
        brush = std::move(lb);
        break;
    }
    case gtHatch:
        brush = std::make_unique<TGPHatchBrush>(hatch, ColorToARGB(startOpacity, startColor),
                                                ColorToARGB(endOpacity, endColor));
        break;
    case gtTexture:
        if (picture && !picture->GetEmpty()) {
            TGPImage img(picture->Bytes().data(), picture->Bytes().size());
            brush = std::make_unique<TGPTextureBrush>(&img, WrapModeTile);
        }
        break;
    default:
        break;
    }
    if (!brush)
        return size;
    g->DrawString(text, -1, &f, TGPRectF{F(x), F(y), std::round(box.Width + 10), box.Height + 10}, &format,
                  brush.get());
    return size;
}

// ---------------------------------------------------------------------------------------------------
// The splash window

TSplashScreenWindow::TSplashScreenWindow(TStSmoothSplashScreen* splash)
    : FSplashScreen(splash), FWindow(std::make_unique<TLayeredWindow>()),
      FSplashProgressBar(std::make_unique<TStSplashProgressBar>(nullptr, splash->Scheduler())) {
    FWindow->SetStayOnTop(splash->StayOnTop());
    FWindow->OnPaint = [this](QPainter& p) {
        // An ordinary window paints the layers itself, the progress bar with them.
        QImage img(Width(), Height(), QImage::Format_ARGB32_Premultiplied);
        img.fill(0xFFFFFFFF);
        {
            TGPGraphics g(&img);
            DrawLayers(&g, true);
        }
        p.drawImage(0, 0, img);
    };
    FWindow->OnClick = [this] {
        if (FSplashScreen->OnClick)
            FSplashScreen->OnClick(FSplashScreen);
    };
}

TSplashScreenWindow::~TSplashScreenWindow() {
    FWindow->OnPaint = nullptr;
    FWindow->OnClick = nullptr;
    FWindow->Hide();
}

int TSplashScreenWindow::Width() const {
    return FWindow->Width();
}
int TSplashScreenWindow::Height() const {
    return FWindow->Height();
}

void TSplashScreenWindow::MakeLayered() {
    FForcedTransparent = true;
    FMainBuffer = std::make_unique<QImage>(Width(), Height(), QImage::Format_ARGB32_Premultiplied);
    FWindow->SetLayered(true);
}

void TSplashScreenWindow::Refresh() {
    if (FForcedTransparent && FMainBuffer)
        DrawToBuffer();
    else
        FWindow->Repaint();
}

void TSplashScreenWindow::DrawToBuffer() {
    if (!FMainBuffer)
        return;
    FMainBuffer->fill(0);
    FWindow->RaiseTopmost();
    {
        TGPGraphics g(FMainBuffer.get());
        DrawLayers(&g, FSplashScreen->ProgressBar()->Visible());
    }
    FWindow->UpdateLayered(*FMainBuffer, FOpacity);
}

void TSplashScreenWindow::DrawLayers(TGPGraphics* g, bool withProgress) {
    g->SetTextRenderingHint(HintOf(FSplashScreen->TextRendering()));
    DrawBackground(g);
    DrawProgramInfo(g);
    DrawListItems(g);
    DrawTopLayerItems(g);
    DrawItems(g);
    if (withProgress && FSplashScreen->ProgressBar()->Visible()) {
        const TGDIPSplashProgress* p = FSplashScreen->ProgressBar();
        FSplashProgressBar->DrawTo(g, TGPRectF{F(p->Left()), F(p->Top()), F(p->Width()), F(p->Height())});
    }
}

void TSplashScreenWindow::DrawBackground(TGPGraphics* g) {
    g->SetSmoothingMode(SmoothingModeAntiAlias);
    FSplashScreen->Fill()->Fill(g, TGPRectF{0, 0, F(Width() - 1), F(Height() - 1)});
}

void TSplashScreenWindow::DrawProgramInfo(TGPGraphics* g) {
    const TGDIPFill& fill = *FSplashScreen->Fill();
    const TBasicProgramInfo& info = *FSplashScreen->BasicProgramInfo();
    const TSplashHeadingText& name = *info.ProgramName();
    const TSplashHeadingText& ver = *info.ProgramVersion();
    const auto hint = FSplashScreen->TextRendering();
    TRect r{0, 0, Width() - 1, Height() - 1};
    if (fill.BorderColor() != clNone) {
        const int h = HalfBorder(fill);
        r = {r.Left + h, r.Top + h, r.Right - h, r.Bottom - h};
    }
    if (fill.ShadowColor() != clNone) {
        r.Right -= fill.ShadowOffset();
        r.Bottom -= fill.ShadowOffset();
    }
    const int k = fill.Rounding() / 2;
    r = {r.Left + k, r.Top + k, r.Right - k - 5, r.Bottom - k};

    auto measure = [&](const TSplashHeadingText& t) {
        return DrawGradientText(g, t.Font(), t.Text(), 0, 0, t.GradientType(), t.ColorStart(), t.ColorEnd(),
                                t.OpacityStart(), t.OpacityEnd(), t.GetHatchStyle(), t.Picture(), t.Angle(),
                                hint, true);
    };
    const TSize ns = measure(name), vs = measure(ver);
    TSize cs;
    if (!info.CopyRight().empty()) {
        QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
        TCanvas c(&scratch);
        c.Font()->Assign(info.CopyRightFont());
        cs = c.TextExtent(info.CopyRight());
    }
    auto place = [&](TItemLocation loc, TSize s, int px, int py) -> TPoint {
        switch (loc) {
        case TItemLocation::ilTopLeft:
            return {r.Left, r.Top};
        case TItemLocation::ilTopCenter:
            return {r.Left + (r.Width() - s.cx) / 2, r.Top};
        case TItemLocation::ilTopRight:
            return {r.Right - s.cx, r.Top};
        case TItemLocation::ilBottomLeft:
            return {r.Left, r.Bottom - s.cy};
        case TItemLocation::ilBottomCenter:
            return {r.Left + (r.Width() - s.cx) / 2, r.Bottom - s.cy};
        case TItemLocation::ilBottomRight:
            return {r.Right - s.cx, r.Bottom - s.cy};
        default:
            return {px, py};
        }
    };
    const TItemLocation nl = name.Location(), vl = ver.Location(), cl = info.CopyRightLocation();
    TPoint np = place(nl, ns, name.PosX(), name.PosY());
    if ((nl == TItemLocation::ilTopRight || nl == TItemLocation::ilBottomRight) && vl == nl && vs.cx > 0)
        np.X -= vs.cx + 1;
    if ((nl == TItemLocation::ilBottomLeft || nl == TItemLocation::ilBottomRight) && cl == nl && cs.cy > 0)
        np.Y -= cs.cy + 3;
    if (nl == TItemLocation::ilBottomCenter && cl == TItemLocation::ilBottomCenter)
        np.Y -= cs.cy + 3 + vs.cy;

    TPoint vp = place(vl, vs, ver.PosX(), ver.PosY());
    if (vl == TItemLocation::ilTopLeft && nl == TItemLocation::ilTopLeft && ns.cx >= 1)
        vp = {np.X + ns.cx + 1, np.Y + (ns.cy - vs.cy) / 2};
    if (vl == TItemLocation::ilTopCenter && nl == TItemLocation::ilTopCenter)
        vp.Y += ns.cy + vs.cy;
    if (vl == TItemLocation::ilBottomLeft && nl == TItemLocation::ilBottomLeft && ns.cx > 0)
        vp = {np.X + ns.cx + 1, r.Bottom - ns.cy};
    if (vl == TItemLocation::ilBottomCenter || vl == TItemLocation::ilBottomRight)
        vp.Y = r.Bottom - (ns.cy < 1 ? vs.cy : ns.cy);
    if (IsBottom(vl) && cl == vl && cs.cy > 0)
        vp.Y -= cs.cy + 3;

    TPoint cp = place(cl, cs, info.CopyRightPosX(), info.CopyRightPosY());
    if (IsTop(cl)) {
        if (nl == cl && ns.cy > 0)
            cp.Y += ns.cy + 3;
        else if (vl == cl && vs.cy > 0)
            cp.Y += vs.cy + 3;
    }

    auto draw = [&](const TSplashHeadingText& t, TPoint p) {
        DrawGradientText(g, t.Font(), t.Text(), p.X, p.Y, t.GradientType(), t.ColorStart(), t.ColorEnd(),
                         t.OpacityStart(), t.OpacityEnd(), t.GetHatchStyle(), t.Picture(), t.Angle(), hint,
                         false);
    };
    draw(name, np);
    draw(ver, vp);
    const TFont* cf = info.CopyRightFont();
    DrawGradientText(g, cf, info.CopyRight(), cp.X, cp.Y, gtSolid, cf->Color(), clNone, 255, 255,
                     HatchStyleHorizontal, nullptr, 0, hint, false);
}

std::vector<TRect> LayoutSplashListItems(const std::vector<int>& heights, const TRect& area, int space) {
    std::vector<TRect> rects;
    int top = area.Top;
    for (int h : heights) {
        rects.push_back({area.Left, top, area.Right, top + h});
        top += h + space;
    }
    if (rects.empty() || rects.back().Bottom <= area.Bottom)
        return rects;
    // The newest lines stay in view: drop from the top until the overflow is covered.
    const int overflow = rects.back().Bottom - area.Bottom;
    int dropped = 0;
    std::size_t first = 0;
    while (dropped < overflow && first + 1 < rects.size()) {
        dropped += rects[first].Height() + space;
        rects[first] = {area.Left, -1, area.Right, -1};
        ++first;
    }
    const int shift = rects[first].Top - area.Top;
    for (std::size_t i = first; i < rects.size(); ++i) {
        rects[i].Top -= shift;
        rects[i].Bottom -= shift;
    }
    return rects;
}

void TSplashScreenWindow::DrawListItems(TGPGraphics* g) {
    const TSplashListItemsSettings& s = *FSplashScreen->ListItemsSettings();
    TSplashListItems& items = *FSplashScreen->ListItems();
    const TRect area = s.Rect()->Rect();
    const int w = s.Rect()->Width(), h = s.Rect()->Height();
    TFormattedTextParams p;
    p.Graphics = g;
    p.Font = s.HTMLFont();
    p.ShadowColor = s.HTMLShadowColor();
    p.ShadowOffset = s.HTMLShadowOffset();
    p.URLColor = s.HTMLURLColor();
    p.Container = FSplashScreen->PictureContainer();
    p.Images = FSplashScreen->Images();
    std::vector<int> heights;
    for (int i = 0; i < items.Count(); ++i) {
        p.Text = items.Items(i)->HTMLText();
        p.Rect = {0, 0, w, h};
        p.MeasureOnly = true;
        TFormattedTextResult m;
        DrawFormattedText(p, m);
        heights.push_back(m.Height);
    }
    const std::vector<TRect> rects = LayoutSplashListItems(heights, area, s.Space());
    for (int i = 0; i < items.Count(); ++i) {
        const TRect& r = rects[static_cast<std::size_t>(i)];
        if (r.Top >= 0)
            items.Items(i)->SetDisplayRect(r);
        else
            items.Items(i)->SetDisplayRect({-1, -1, -1, -1});
        if (r.Top < 0 || items.Items(i)->HTMLText().empty())
            continue;
        p.Text = items.Items(i)->HTMLText();
        p.Rect = {r.Left, r.Top, r.Left + w, r.Top + h};
        p.MeasureOnly = false;
        TFormattedTextResult d;
        DrawFormattedText(p, d);
    }
}

void TSplashScreenWindow::DrawTopLayerItems(TGPGraphics* g) {
    const TStSplashTopLayerItems& items = *FSplashScreen->TopLayerItems();
    const TRect in{0, 0, Width(), Height()};
    for (int i = 0; i < items.Count(); ++i) {
        const TStSplashTopLayerItem& it = *items.Items(i);
        if (!it.Visible())
            continue;
        TRect r;
        switch (it.Align()) {
        case TAlign::alTop:
            r = {in.Left, in.Top, in.Right, in.Top + it.Height()};
            break;
        case TAlign::alBottom:
            r = {in.Left, in.Bottom - it.Height(), in.Right, in.Bottom};
            break;
        case TAlign::alLeft:
            r = {in.Left, in.Top, in.Left + it.Width(), in.Bottom};
            break;
        case TAlign::alRight:
            r = {in.Right - it.Width(), in.Top, in.Right, in.Bottom};
            break;
        case TAlign::alClient:
            r = in;
            break;
        default:
            r = {in.Left + it.Left(), in.Top + it.Top(), in.Left + it.Left() + it.Width(),
                 in.Top + it.Top() + it.Height()};
            break;
        }
        if (it.Fill()->Rounding() > 0)
            g->SetSmoothingMode(SmoothingModeAntiAlias);
        it.Fill()->Fill(g, TGPRectF{F(r.Left), F(r.Top), F(r.Width()), F(r.Height())});
        const TStSplashHTMLText& t = *it.HTMLText();
        if (t.Text().empty())
            continue;
        TFormattedTextParams p;
        p.Graphics = g;
        p.Font = t.Font();
        p.Text = t.Text();
        p.ShadowColor = t.ShadowColor();
        p.ShadowOffset = t.ShadowOffset();
        p.URLColor = t.URLColor();
        p.Container = FSplashScreen->PictureContainer();
        p.Images = FSplashScreen->Images();
        p.Rect = {0, 0, r.Width(), r.Height()};
        p.MeasureOnly = true;
        TFormattedTextResult m;
        DrawFormattedText(p, m);
        const int cx = r.Left + (r.Width() - m.Width) / 2, rx = r.Right - m.Width;
        const int cy = r.Top + (r.Height() - m.Height) / 2, by = r.Bottom - m.Height;
        TPoint at{r.Left, r.Top};
        switch (t.Location()) {
        case TStSmoothSplashScreenLocation::cpTopLeft:
            break;
        case TStSmoothSplashScreenLocation::cpTopCenter:
            at = {cx, r.Top};
            break;
        case TStSmoothSplashScreenLocation::cpTopRight:
            at = {rx, r.Top};
            break;
        case TStSmoothSplashScreenLocation::cpCenterLeft:
            at = {r.Left, cy};
            break;
        case TStSmoothSplashScreenLocation::cpCenterCenter:
            at = {cx, cy};
            break;
        case TStSmoothSplashScreenLocation::cpCenterRight:
            at = {rx, cy};
            break;
        case TStSmoothSplashScreenLocation::cpBottomLeft:
            at = {r.Left, by};
            break;
        case TStSmoothSplashScreenLocation::cpBottomCenter:
            at = {cx, by};
            break;
        case TStSmoothSplashScreenLocation::cpBottomRight:
            at = {rx, by};
            break;
        case TStSmoothSplashScreenLocation::cpCustom:
            at = {t.Left(), t.Top()};
            break;
        }
        p.Rect = {at.X, at.Y, at.X + r.Width(), at.Y + r.Height()};
        p.MeasureOnly = false;
        TFormattedTextResult d;
        DrawFormattedText(p, d);
    }
}

void TSplashScreenWindow::DrawItems(TGPGraphics* g) {
    const TSplashItems& items = *FSplashScreen->Items();
    TTickImageList* images = FSplashScreen->Images();
    for (int i = 0; i < items.Count(); ++i) {
        const TSplashItem& it = *items.Items(i);
        if (!it.Visible())
            continue;
        int tx = it.PosX();
        if (!it.Picture()->GetEmpty()) {
            TStGDIPPicture* pic = it.Picture();
            pic->GetImageSizes();
            // A PNG keeps its own alpha; other formats are keyed by their bottom-left pixel.
            TStGDIPPicture keyed;
            keyed.Assign(pic);
            TGPImage probe(pic->Bytes().data(), pic->Bytes().size());
            if (probe.GetFormat() != ifPNG) {
                TGPBitmap bmp(pic->Bytes().data(), pic->Bytes().size());
                ARGB key = 0;
                bmp.GetPixel(0, static_cast<std::int32_t>(bmp.GetHeight()) - 1, key);
                TGPImageAttributes attr;
                attr.SetColorKey(key, key);
                g->DrawImage(&bmp, TGPRectF{F(it.PosX()), F(it.PosY()), F(pic->Width()), F(pic->Height())}, 0,
                             0, F(pic->Width()), F(pic->Height()), UnitPixel, &attr);
            } else {
                g->DrawImage(&probe, F(it.PosX()), F(it.PosY()));
            }
            tx = it.PosX() + pic->Width() + FSplashScreen->PictureGap();
        } else if (images && it.ImageIndex() >= 0) {
            if (TCanvas* c = g->GetHDC()) {
                images->Draw(*c, it.PosX(), it.PosY(), it.ImageIndex(), true);
                g->ReleaseHDC(c);
            }
            tx = it.PosX() + images->Width() + FSplashScreen->PictureGap();
        }
        DrawGradientText(g, it.Font(), it.Text(), tx, it.PosY(), gtSolid, it.Font()->Color(), clNone, 255,
                         255, HatchStyleHorizontal, nullptr, 0, FSplashScreen->TextRendering(), false);
    }
}

// ---------------------------------------------------------------------------------------------------
// The component

KV_REGISTER_CLASS(TStSmoothSplashScreen, TComponent, b) {
    b.Prop("AutoShow", &TStSmoothSplashScreen::AutoShow, &TStSmoothSplashScreen::SetAutoShow).Default(true);
    b.Prop("CloseOnTimeout", &TStSmoothSplashScreen::CloseOnTimeout,
           &TStSmoothSplashScreen::SetCloseOnTimeout)
        .Default(false);
    b.Prop("CloseOnMainFormShow", &TStSmoothSplashScreen::CloseOnMainFormShow,
           &TStSmoothSplashScreen::SetCloseOnMainFormShow)
        .Default(true);
    b.Prop("TimeOut", &TStSmoothSplashScreen::TimeOut, &TStSmoothSplashScreen::SetTimeOut).Default(1000);
    b.Prop("DisplayLocation", &TStSmoothSplashScreen::DisplayLocation,
           &TStSmoothSplashScreen::SetDisplayLocation)
        .Default(TDisplayLocation::dlCenter);
    b.Prop("DisplayStyle", &TStSmoothSplashScreen::DisplayStyle, &TStSmoothSplashScreen::SetDisplayStyle)
        .Default(TDisplayStyle::dsFadeInOut);
    b.Prop("ProgressBar", &TStSmoothSplashScreen::ProgressBar, &TStSmoothSplashScreen::SetProgressBar);
    b.Ref("Images", &TStSmoothSplashScreen::Images, &TStSmoothSplashScreen::SetImages);
    b.Prop("Items", &TStSmoothSplashScreen::Items, &TStSmoothSplashScreen::SetItems);
    b.Prop("DisplayPosY", &TStSmoothSplashScreen::DisplayPosY, &TStSmoothSplashScreen::SetDisplayPosY)
        .Default(0);
    b.Prop("DisplayPosX", &TStSmoothSplashScreen::DisplayPosX, &TStSmoothSplashScreen::SetDisplayPosX)
        .Default(0);
    b.Prop("Height", &TStSmoothSplashScreen::Height, &TStSmoothSplashScreen::SetHeight).Default(400);
    b.Prop("Width", &TStSmoothSplashScreen::Width, &TStSmoothSplashScreen::SetWidth).Default(600);
    b.Prop("PictureGap", &TStSmoothSplashScreen::PictureGap, &TStSmoothSplashScreen::SetPictureGap)
        .Default(5);
    b.Prop("ListItems", &TStSmoothSplashScreen::ListItems, &TStSmoothSplashScreen::SetListItems);
    b.Prop("BasicProgramInfo", &TStSmoothSplashScreen::BasicProgramInfo,
           &TStSmoothSplashScreen::SetBasicProgramInfo);
    b.Prop("Fill", &TStSmoothSplashScreen::Fill, &TStSmoothSplashScreen::SetFill);
    b.Prop("ListItemsSettings", &TStSmoothSplashScreen::ListItemsSettings,
           &TStSmoothSplashScreen::SetListItemsSettings);
    b.Ref("PictureContainer", &TStSmoothSplashScreen::PictureContainer,
          &TStSmoothSplashScreen::SetPictureContainer);
    b.Prop("TopLayerItems", &TStSmoothSplashScreen::TopLayerItems, &TStSmoothSplashScreen::SetTopLayerItems);
    b.Prop("MaxOpacity", &TStSmoothSplashScreen::MaxOpacity, &TStSmoothSplashScreen::SetMaxOpacity)
        .Default(255);
    b.Prop("AutoAdaptPictureSize", &TStSmoothSplashScreen::AutoAdaptPictureSize,
           &TStSmoothSplashScreen::SetAutoAdaptPictureSize)
        .Default(true);
    b.Prop("TextRendering", &TStSmoothSplashScreen::TextRendering, &TStSmoothSplashScreen::SetTextRendering)
        .Default(TStSmoothSplashScreenTextRenderingHint::tClearType);
    b.Prop("StayOnTop", &TStSmoothSplashScreen::StayOnTop, &TStSmoothSplashScreen::SetStayOnTop)
        .Default(true);
    b.Prop("Version", &TStSmoothSplashScreen::Version, &TStSmoothSplashScreen::SetVersion);
    b.Event("OnProgressPositionChanged", &TStSmoothSplashScreen::OnProgressPositionChanged);
    b.Event("OnProgressChange", &TStSmoothSplashScreen::OnProgressChange);
    b.Event("OnClick", &TStSmoothSplashScreen::OnClick);
    b.Event("OnBeforeShow", &TStSmoothSplashScreen::OnBeforeShow);
    b.Event("OnClose", &TStSmoothSplashScreen::OnClose);
}

TStSmoothSplashScreen::TStSmoothSplashScreen(TComponent* owner)
    : TComponent(owner), FProgressBar(std::make_unique<TGDIPSplashProgress>()),
      FItems(std::make_unique<TSplashItems>()), FListItems(std::make_unique<TSplashListItems>()),
      FBasicProgramInfo(std::make_unique<TBasicProgramInfo>()), FFill(std::make_unique<TGDIPFill>()),
      FListItemsSettings(std::make_unique<TSplashListItemsSettings>()),
      FTopLayerItems(std::make_unique<TStSplashTopLayerItems>()) {
    FItems->OnChange = [this](TObject*) { Refresh(); };
    FListItems->OnChange = [this](TObject*) { Refresh(); };
    FTopLayerItems->OnChange = [this](TObject*) {
        if (FSplashWindow)
            FSplashWindow->Refresh();
    };
    FBasicProgramInfo->OnChange = [this](TObject*) {
        if (!IsLoading())
            Refresh();
    };
    FProgressBar->OnChange = [this](TObject*) { ProgressSettingsChanged(); };
    FCloseTimer = NewTimer(FScheduler, static_cast<std::uint32_t>(FTimeOut), [this] { CloseTimerTick(); });
    FFocusTimer = NewTimer(FScheduler, 20, [this] {
        FFocusTimer->SetEnabled(false);
        if (FMainForm)
            FMainForm->BringToFront();
    });
}

TStSmoothSplashScreen::~TStSmoothSplashScreen() {
    Destroying();
    if (FHooked && FMainForm)
        FMainForm->OnShow = FOldMainFormShow;
    FHooked = false;
    FCloseTimer->SetEnabled(false);
    FFocusTimer->SetEnabled(false);
    if (FFadeTimer)
        FFadeTimer->SetEnabled(false);
    FFadingWindow.reset();
    FSplashWindow.reset();
    FItems->OnChange = nullptr;
    FListItems->OnChange = nullptr;
    FTopLayerItems->OnChange = nullptr;
    FBasicProgramInfo->OnChange = nullptr;
    FProgressBar->OnChange = nullptr;
}

void TStSmoothSplashScreen::SetScheduler(TScheduler* scheduler) {
    FScheduler = scheduler;
    FCloseTimer = NewTimer(FScheduler, static_cast<std::uint32_t>(FTimeOut), [this] { CloseTimerTick(); });
    FFocusTimer = NewTimer(FScheduler, 20, [this] {
        FFocusTimer->SetEnabled(false);
        if (FMainForm)
            FMainForm->BringToFront();
    });
}

void TStSmoothSplashScreen::SetTimeOut(int v) {
    FTimeOut = v;
    FCloseTimer->SetInterval(static_cast<std::uint32_t>(std::max(1, v)));
}

void TStSmoothSplashScreen::SetImages(TTickImageList* v) {
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = v;
    if (v)
        v->FreeNotification(this);
}

void TStSmoothSplashScreen::SetPictureContainer(TGDIPPictureContainer* v) {
    if (FContainer)
        FContainer->RemoveFreeNotification(this);
    FContainer = v;
    if (v)
        v->FreeNotification(this);
}

void TStSmoothSplashScreen::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove || IsDestroying())
        return;
    if (component == FContainer)
        FContainer = nullptr;
    if (component == FImages)
        FImages = nullptr;
    if (component == FMainForm) {
        FMainForm = nullptr;
        FHooked = false;
    }
}

void TStSmoothSplashScreen::SetTextRendering(TStSmoothSplashScreenTextRenderingHint v) {
    FTextRendering = v;
    if (FSplashWindow)
        FSplashWindow->Refresh();
}

void TStSmoothSplashScreen::SetStayOnTop(bool v) {
    FStayOnTop = v;
    if (FSplashWindow) {
        FSplashWindow->Window()->SetStayOnTop(v);
        FSplashWindow->Refresh();
    }
}

void TStSmoothSplashScreen::SetComponentStyle(int style) {
    // Colour presets of the pack's styles on the background fill.
    static const TColor kFrom[] = {0xFCE1CB, 0xF0D5C9, 0xFAFAFA, 0xF5F0E1, 0xFFFFFF};
    static const TColor kTo[] = {0xE0A57D, 0xD4B6A2, 0xE0E0E0, 0xC5B8A0, 0xD8D8D8};
    const std::size_t i = static_cast<std::size_t>(std::clamp(style, 0, 4));
    FFill->SetColor(kFrom[i]);
    FFill->SetColorTo(kTo[i]);
    FFill->SetBorderColor(0x808080);
}

TSize TStSmoothSplashScreen::WindowSize() const {
    if (!FAutoAdaptPictureSize || FFill->Picture()->GetEmpty())
        return {FWidth, FHeight};
    FFill->Picture()->GetImageSizes();
    const int h = HalfBorder(*FFill);
    return {FFill->Picture()->Width() + 2 * h, FFill->Picture()->Height() + 2 * h};
}

void TStSmoothSplashScreen::LoadVersionInfo() {
    // Linux executables carry no version resource: the stored texts stay.
}

void TStSmoothSplashScreen::Loaded() {
    TComponent::Loaded();
    if (FBasicProgramInfo->AutoLoad())
        LoadVersionInfo();
    if (FAutoShow)
        Show();
}

void TStSmoothSplashScreen::Show(int, int) {
    Show();
}

void TStSmoothSplashScreen::Show() {
    if (FShowing)
        return;
    if (OnBeforeShow)
        OnBeforeShow(this);
    FMainForm = dynamic_cast<TCustomForm*>(Owner());
    if (Application && Application->MainForm())
        FMainForm = Application->MainForm();
    if (FMainForm)
        FMainForm->FreeNotification(this);
    if (FCloseOnMainFormShow && FMainForm && !FHooked) {
        FOldMainFormShow = FMainForm->OnShow;
        FMainForm->OnShow = [this](TObject* sender) { MainFormShow(sender); };
        FHooked = true;
    }
    // One GUI thread only: the separate display thread has no meaning here.
    ShowSplashWindow();
}

namespace {
// Until the message loop runs, the window system neither maps nor paints a new window, and the splash
// is up exactly while the windows are made, before that loop: it is shown here, taking no input and
// running no timers. Half a second bounds the wait for a window system that never shows it. The
// offscreen platform of the tests has no screen to wait for.
void ShowAtOnce(QWidget* widget) {
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    QWindow* handle = widget->windowHandle();
    constexpr auto flags = QEventLoop::ExcludeUserInputEvents | QEventLoop::X11ExcludeTimers;
    QElapsedTimer waited;
    waited.start();
    while (handle && !handle->isExposed() && waited.elapsed() < 500)
        QCoreApplication::processEvents(flags, 20);
    if (handle && handle->isExposed()) {
        widget->repaint();
        QCoreApplication::processEvents(flags);
    }
}
} // namespace

void TStSmoothSplashScreen::ShowSplashWindow() {
    if (FSplashWindow)
        return;
    // A window still fading out goes at once.
    if (FFadeTimer)
        FFadeTimer->SetEnabled(false);
    FFadingWindow.reset();
    const bool layered = FFill->Opacity() < 255 || FFill->OpacityTo() < 255;
    FSplashWindow = std::make_unique<TSplashScreenWindow>(this);
    TLayeredWindow* w = FSplashWindow->Window();
    const TSize size = WindowSize();
    w->SetBounds(0, 0, size.cx, size.cy);
    if (FDisplayLocation == TDisplayLocation::dlCenter)
        w->CenterOnScreen();
    else
        w->SetBounds(FDisplayPosX, FDisplayPosY, size.cx, size.cy);

    TStSplashProgressBar* bar = FSplashWindow->ProgressBar();
    bar->SetAppearance(FProgressBar.get());
    ProgressSettingsChanged();
    bar->OnPositionChanged = [this](TObject*) {
        if (OnProgressPositionChanged)
            OnProgressPositionChanged(this);
    };
    bar->OnChange = [this](TObject*) {
        if (OnProgressChange)
            OnProgressChange(this);
        if (FSplashWindow)
            FSplashWindow->Refresh();
    };

    const bool fade = FDisplayStyle == TDisplayStyle::dsFadeInOut;
    if (!fade)
        FSplashWindow->SetOpacity(255);
    else if (layered)
        FSplashWindow->SetOpacity(5);
    else
        w->SetAlphaBlendValue(5);
    w->Show();
    FShowing = true;

    if (FFill->Rounding() > 0 && FFill->RoundingType() != TFillRoundingType::rtNone) {
        const TFillRoundingType rt = FFill->RoundingType();
        const bool both = rt == TFillRoundingType::rtBoth;
        w->SetRoundRegion(FFill->Rounding(),
                          both || rt == TFillRoundingType::rtTop || rt == TFillRoundingType::rtLeft,
                          both || rt == TFillRoundingType::rtTop || rt == TFillRoundingType::rtRight,
                          both || rt == TFillRoundingType::rtBottom || rt == TFillRoundingType::rtRight,
                          both || rt == TFillRoundingType::rtBottom || rt == TFillRoundingType::rtLeft);
    }
    if (layered) {
        FSplashWindow->MakeLayered();
        FSplashWindow->DrawToBuffer();
        FSplashWindow->DrawToBuffer();
        if (fade)
            StartFade(5, 255, 20, 5, true);
    } else {
        FSplashWindow->Refresh();
        if (fade)
            StartFade(5, FMaxOpacity, 5, 5, false);
        else
            w->SetAlphaBlendValue(FMaxOpacity);
    }
    ShowAtOnce(w->Widget());
    FCloseTimer->SetInterval(static_cast<std::uint32_t>(std::max(1, FTimeOut)));
    FCloseTimer->SetEnabled(FCloseOnTimeout);
}

void TStSmoothSplashScreen::StartFade(int from, int to, int step, int intervalMs, bool layered) {
    FFadeTo = to;
    FFadeStep = from < to ? std::abs(step) : -std::abs(step);
    FFadeLayered = layered;
    if (!FFadeTimer)
        FFadeTimer = NewTimer(FScheduler, static_cast<std::uint32_t>(intervalMs), [this] { FadeTick(); });
    FFadeTimer->SetInterval(static_cast<std::uint32_t>(std::max(1, intervalMs)));
    FFadeTimer->SetEnabled(from != to);
}

void TStSmoothSplashScreen::FadeTick() {
    TSplashScreenWindow* sw = FFadingWindow ? FFadingWindow.get() : FSplashWindow.get();
    if (!sw) {
        FFadeTimer->SetEnabled(false);
        return;
    }
    const int cur = FFadeLayered ? sw->Opacity() : sw->Window()->AlphaBlendValue();
    int next = cur + FFadeStep;
    // The last step lands exactly on the limit.
    const bool done = FFadeStep > 0 ? next >= FFadeTo : next <= FFadeTo;
    if (done)
        next = FFadeTo;
    if (FFadeLayered) {
        sw->SetOpacity(next);
        if (const QImage* buf = sw->MainBuffer())
            sw->Window()->UpdateLayered(*buf, next);
    } else {
        sw->Window()->SetAlphaBlendValue(next);
    }
    if (!done)
        return;
    FFadeTimer->SetEnabled(false);
    if (FFadingWindow) {
        // A fade out ended: the window goes, then the close event.
        FFadingWindow.reset();
        if (OnClose)
            OnClose(this);
    }
}

bool TStSmoothSplashScreen::Fading() const {
    return FFadingWindow != nullptr;
}

void TStSmoothSplashScreen::FadeIn(int step, int wait, int max) {
    if (!FSplashWindow || !FSplashWindow->Window()->Visible())
        return;
    const bool layered = FSplashWindow->ForcedTransparent();
    const int from = layered ? FSplashWindow->Opacity() : FSplashWindow->Window()->AlphaBlendValue();
    StartFade(from, max, step, wait * 3, layered);
}

void TStSmoothSplashScreen::FadeOut(int step, int wait, int min) {
    if (!FSplashWindow || !FSplashWindow->Window()->Visible())
        return;
    const bool layered = FSplashWindow->ForcedTransparent();
    const int from = layered ? FSplashWindow->Opacity() : FSplashWindow->Window()->AlphaBlendValue();
    StartFade(from, min, step, layered ? wait : wait * 3, layered);
}

void TStSmoothSplashScreen::Hide() {
    if (!FShowing)
        return;
    FCloseTimer->SetEnabled(false);
    const bool fade =
        FDisplayStyle == TDisplayStyle::dsFadeInOut && FSplashWindow && FSplashWindow->Window()->Visible();
    FShowing = false;
    if (FMainForm && FCloseOnMainFormShow && FHooked) {
        FMainForm->OnShow = FOldMainFormShow;
        FHooked = false;
    }
    if (fade) {
        // The window fades out on the timer and goes when the fade ends; the GUI thread never waits.
        const bool layered = FSplashWindow->ForcedTransparent();
        FFadingWindow = std::move(FSplashWindow);
        const int from = layered ? FFadingWindow->Opacity() : FFadingWindow->Window()->AlphaBlendValue();
        StartFade(from, 10, 20, layered ? 5 : 15, layered);
        if (!FFadeTimer->Enabled()) {
            FFadingWindow.reset();
            if (OnClose)
                OnClose(this);
        }
        return;
    }
    FreeSplashWindow();
    if (OnClose)
        OnClose(this);
}

void TStSmoothSplashScreen::FreeSplashWindow() {
    FSplashWindow.reset();
}

void TStSmoothSplashScreen::MainFormShow(TObject* sender) {
    const TNotifyEvent kept = FOldMainFormShow;
    Hide();
    if (kept)
        kept(sender);
    if (FFocusParentForm && FMainForm)
        FFocusTimer->SetEnabled(true);
}

void TStSmoothSplashScreen::CloseTimerTick() {
    const bool was = FShowing;
    Hide();
    if (FFocusParentForm && FMainForm && was)
        FFocusTimer->SetEnabled(true);
}

void TStSmoothSplashScreen::SetFocusToForm(TCustomForm* form) {
    if (!FFocusFormTimer)
        FFocusFormTimer = NewTimer(FScheduler, 20, [this] {
            FFocusFormTimer->SetEnabled(false);
            // Bringing the form forward stands in for clicking it.
            if (FNewFocusForm)
                FNewFocusForm->BringToFront();
        });
    FNewFocusForm = form;
    FFocusFormTimer->SetEnabled(true);
}

void TStSmoothSplashScreen::Refresh() {
    if (FShowing && FSplashWindow)
        FSplashWindow->Refresh();
}

void TStSmoothSplashScreen::EndUpdate() {
    if (FUpdateCount > 0)
        --FUpdateCount;
    if (FUpdateCount == 0)
        Refresh();
}

void TStSmoothSplashScreen::ProgressSettingsChanged() {
    if (!FSplashWindow || IsLoading())
        return;
    TStSplashProgressBar* bar = FSplashWindow->ProgressBar();
    bar->SetMaximum(FProgressBar->Maximum());
    bar->SetMinimum(FProgressBar->Minimum());
    bar->SetStep(FProgressBar->Step());
    bar->SetProgressAnimation(FProgressBar->ProgressAnimation());
    bar->SetGlowAnimation(FProgressBar->GlowAnimation());
    bar->SetPosition(FProgressBar->Position());
    bar->SetVisible(FProgressBar->Visible());
    bar->SetBounds(FProgressBar->Left(), FProgressBar->Top(), FProgressBar->Width(), FProgressBar->Height());
    bar->SetAppearance(FProgressBar.get());
    if (FShowing && FSplashWindow->ForcedTransparent())
        FSplashWindow->Refresh();
}

} // namespace kv
