#pragma once
// The splash screen shown while the main window loads: a frameless, topmost window that never takes
// the focus, with a background fill and picture, the program's name, version and notice, formatted
// list lines, top-layer items, picture items and a progress bar. It shows itself when its layout has
// been read and closes at the main window's first show, before the main window's own OnShow runs.
// It lives on the GUI thread only; fades run on timers.

#include "platform/gui/Controls.h"
#include "styled/FormattedText.h"
#include "styled/PictureContainer.h"
#include "styled/StTrackBar.h"
#include "styled/gdiplus/GDIPFill.h"

#include <memory>
#include <string>
#include <vector>

class TScheduler;
class TTimer;

namespace kv {

class TCustomForm;
class TLayeredWindow;
class TStSmoothSplashScreen;
class TSplashScreenWindow;

enum class TDisplayStyle { dsNormal, dsFadeInOut };
std::vector<std::string> EnumIdents(TDisplayStyle);
enum class TDisplayLocation { dlFixedPos, dlCenter };
std::vector<std::string> EnumIdents(TDisplayLocation);
enum class TThreadType { ttMainThread, ttSeparateThread };
std::vector<std::string> EnumIdents(TThreadType);
enum class TItemLocation {
    ilTopLeft,
    ilTopCenter,
    ilTopRight,
    ilBottomLeft,
    ilBottomCenter,
    ilBottomRight,
    ilCustom
};
std::vector<std::string> EnumIdents(TItemLocation);
enum class TStSmoothSplashScreenLocation {
    cpTopLeft,
    cpTopCenter,
    cpTopRight,
    cpCenterLeft,
    cpCenterCenter,
    cpCenterRight,
    cpBottomLeft,
    cpBottomCenter,
    cpBottomRight,
    cpCustom
};
std::vector<std::string> EnumIdents(TStSmoothSplashScreenLocation);
enum class TStSmoothSplashScreenTextRenderingHint { tAntiAlias, tAntiAliasGridFit, tClearType };
std::vector<std::string> EnumIdents(TStSmoothSplashScreenTextRenderingHint);
enum class TGDIPProgressValueType { vtPercentage, vtAbsolute };
std::vector<std::string> EnumIdents(TGDIPProgressValueType);
enum class TGDIPProgressValuePosition {
    vpProgressCenter,
    vpProgressRight,
    vpCenter,
    vpLeft,
    vpRight,
    vpCustom
};
std::vector<std::string> EnumIdents(TGDIPProgressValuePosition);

// One heading: the program's name or version.
class TSplashHeadingText : public TPersistent {
    KV_CLASS(TSplashHeadingText)
public:
    TSplashHeadingText();
    ~TSplashHeadingText() override;
    void Assign(const TPersistent* source) override;

    int OpacityStart() const { return FStartOpacity; }
    void SetOpacityStart(int v) { Set(FStartOpacity, v); }
    int OpacityEnd() const { return FEndOpacity; }
    void SetOpacityEnd(int v) { Set(FEndOpacity, v); }
    int PosY() const { return FPosY; }
    void SetPosY(int v) { Set(FPosY, v); }
    int PosX() const { return FPosX; }
    void SetPosX(int v) { Set(FPosX, v); }
    const std::string& Text() const { return FText; }
    void SetText(const std::string& v) { Set(FText, v); }
    TStGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(const TStGDIPPicture* v) { FPicture->Assign(v); }
    TStGradientType GradientType() const { return FGradientType; }
    void SetGradientType(TStGradientType v) { Set(FGradientType, v); }
    TColor ColorEnd() const { return FEndColor; }
    void SetColorEnd(TColor v) { Set(FEndColor, v); }
    TColor ColorStart() const { return FStartColor; }
    void SetColorStart(TColor v) { Set(FStartColor, v); }
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* v) { FFont->Assign(v); }
    HatchStyle GetHatchStyle() const { return FHatchStyle; }
    void SetHatchStyle(HatchStyle v) { Set(FHatchStyle, v); }
    TItemLocation Location() const { return FLocation; }
    void SetLocation(TItemLocation v) { Set(FLocation, v); }
    int Angle() const { return FAngle; }
    void SetAngle(int v) { Set(FAngle, v); }
    TNotifyEvent OnChange;

private:
    template <class T> void Set(T& f, const T& v) {
        if (f == v)
            return;
        f = v;
        Changed();
    }
    void Changed() {
        if (OnChange)
            OnChange(this);
    }
    int FStartOpacity = 255, FEndOpacity = 255, FPosY = 100, FPosX = 10;
    std::string FText;
    std::unique_ptr<TStGDIPPicture> FPicture;
    TStGradientType FGradientType = gtVertical;
    TColor FEndColor = clNone, FStartColor = clBlack;
    std::unique_ptr<TFont> FFont;
    HatchStyle FHatchStyle = HatchStyleHorizontal;
    TItemLocation FLocation = TItemLocation::ilTopLeft;
    int FAngle = 0;
};

class TBasicProgramInfo : public TPersistent {
    KV_CLASS(TBasicProgramInfo)
public:
    TBasicProgramInfo();
    ~TBasicProgramInfo() override;
    void Assign(const TPersistent* source) override;

    bool AutoLoad() const { return FAutoLoad; }
    void SetAutoLoad(bool v) { FAutoLoad = v; }
    TFont* CopyRightFont() const { return FCopyRightFont.get(); }
    void SetCopyRightFont(const TFont* v) { FCopyRightFont->Assign(v); }
    int CopyRightPosX() const { return FCopyRightPosX; }
    void SetCopyRightPosX(int v) { FCopyRightPosX = v; }
    int CopyRightPosY() const { return FCopyRightPosY; }
    void SetCopyRightPosY(int v) { FCopyRightPosY = v; }
    const std::string& CopyRight() const { return FCopyRight; }
    void SetCopyRight(const std::string& v) { FCopyRight = v; }
    TSplashHeadingText* ProgramName() const { return FProgramName.get(); }
    void SetProgramName(const TSplashHeadingText* v) { FProgramName->Assign(v); }
    TSplashHeadingText* ProgramVersion() const { return FProgramVersion.get(); }
    void SetProgramVersion(const TSplashHeadingText* v) { FProgramVersion->Assign(v); }
    TItemLocation CopyRightLocation() const { return FCopyRightLocation; }
    void SetCopyRightLocation(TItemLocation v) { FCopyRightLocation = v; }
    TNotifyEvent OnChange;

private:
    bool FAutoLoad = true;
    std::unique_ptr<TFont> FCopyRightFont;
    int FCopyRightPosX = 10, FCopyRightPosY = 130;
    std::string FCopyRight;
    std::unique_ptr<TSplashHeadingText> FProgramName, FProgramVersion;
    TItemLocation FCopyRightLocation = TItemLocation::ilTopLeft;
};

// A picture with a text beside it.
class TSplashItem : public TPersistent {
    KV_CLASS(TSplashItem)
public:
    TSplashItem();
    ~TSplashItem() override;
    void Assign(const TPersistent* source) override;
    const std::string& Text() const { return FText; }
    void SetText(const std::string& v) { FText = v; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; }
    int Tag() const { return FTag; }
    void SetTag(int v) { FTag = v; }
    TStGDIPPicture* Picture() const { return FIPicture.get(); }
    void SetPicture(const TStGDIPPicture* v) { FIPicture->Assign(v); }
    int PosY() const { return FPosY; }
    void SetPosY(int v) { FPosY = v; }
    int PosX() const { return FPosX; }
    void SetPosX(int v) { FPosX = v; }
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* v) { FFont->Assign(v); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool v) { FVisible = v; }

private:
    std::string FText;
    int FImageIndex = -1, FTag = 0;
    std::unique_ptr<TStGDIPPicture> FIPicture;
    int FPosY = 130, FPosX = 80;
    std::unique_ptr<TFont> FFont;
    bool FVisible = true;
};

// One formatted line of the list.
class TSplashListItem : public TPersistent {
    KV_CLASS(TSplashListItem)
public:
    void Assign(const TPersistent* source) override;
    const std::string& HTMLText() const { return FHTMLText; }
    void SetHTMLText(const std::string& v) { FHTMLText = v; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; }
    int Tag() const { return FTag; }
    void SetTag(int v) { FTag = v; }
    // Where the item was laid out; (-1, -1, -1, -1) when it is not shown.
    const TRect& DisplayRect() const { return FDisplayRect; }
    void SetDisplayRect(const TRect& r) { FDisplayRect = r; }

private:
    std::string FHTMLText;
    int FImageIndex = -1, FTag = 0;
    TRect FDisplayRect{-1, -1, -1, -1};
};

// The component's collections: items in order, change after an update of the whole collection that
// leaves it empty (items and list items) or after every update (top-layer items).
template <class Item> class TSplashCollection {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    Item* Items(int i) const { return FItems.at(static_cast<std::size_t>(i)).get(); }
    Item* Add() {
        FItems.push_back(std::make_unique<Item>());
        return FItems.back().get();
    }
    void Delete(int i) {
        if (OnDeleteItem)
            OnDeleteItem(i);
        FItems.erase(FItems.begin() + i);
    }
    void Clear() {
        while (!FItems.empty())
            Delete(Count() - 1);
    }
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate() {
        if (FUpdateCount > 0 && --FUpdateCount == 0 && FItems.empty() && OnChange)
            OnChange(nullptr);
    }
    // Replaces the items by copies of the source's, as one update of the whole collection.
    template <class Self> void CopyItems(Self& self, const TSplashCollection& source) {
        if (&source == this)
            return;
        self.BeginUpdate();
        Clear();
        for (const auto& item : source.FItems)
            Add()->Assign(item.get());
        self.EndUpdate();
    }
    TNotifyEvent OnChange;
    std::function<void(int index)> OnDeleteItem;

protected:
    std::vector<std::unique_ptr<Item>> FItems;
    int FUpdateCount = 0;
};

class TSplashItems : public TPersistent, public TSplashCollection<TSplashItem> {
    KV_CLASS(TSplashItems)
public:
    void Assign(const TPersistent* source) override;
};
class TSplashListItems : public TPersistent, public TSplashCollection<TSplashListItem> {
    KV_CLASS(TSplashListItems)
public:
    void Assign(const TPersistent* source) override;
};

class TListItemsRect : public TPersistent {
    KV_CLASS(TListItemsRect)
public:
    void Assign(const TPersistent* source) override;
    int Height() const { return FHeight; }
    void SetHeight(int v) { Set(FHeight, v); }
    int Left() const { return FLeft; }
    void SetLeft(int v) { Set(FLeft, v); }
    int Width() const { return FWidth; }
    void SetWidth(int v) { Set(FWidth, v); }
    int Top() const { return FTop; }
    void SetTop(int v) { Set(FTop, v); }
    TRect Rect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    TNotifyEvent OnChange;

private:
    void Set(int& f, int v) {
        if (f == v)
            return;
        f = v;
        if (OnChange)
            OnChange(this);
    }
    int FHeight = 200, FLeft = 30, FWidth = 300, FTop = 150;
};

class TSplashListItemsSettings : public TPersistent {
    KV_CLASS(TSplashListItemsSettings)
public:
    TSplashListItemsSettings();
    ~TSplashListItemsSettings() override;
    void Assign(const TPersistent* source) override;
    int Space() const { return FSpace; }
    void SetSpace(int v) { FSpace = v; }
    int HTMLShadowOffset() const { return FHTMLShadowOffset; }
    void SetHTMLShadowOffset(int v) { FHTMLShadowOffset = v; }
    TColor HTMLURLColor() const { return FHTMLURLColor; }
    void SetHTMLURLColor(TColor v) { FHTMLURLColor = v; }
    TColor HTMLShadowColor() const { return FHTMLShadowColor; }
    void SetHTMLShadowColor(TColor v) { FHTMLShadowColor = v; }
    TFont* HTMLFont() const { return FHTMLFont.get(); }
    void SetHTMLFont(const TFont* v) { FHTMLFont->Assign(v); }
    TListItemsRect* Rect() const { return FRect.get(); }
    void SetRect(const TListItemsRect* v) { FRect->Assign(v); }
    TNotifyEvent OnChange;

private:
    int FSpace = 8, FHTMLShadowOffset = 5;
    TColor FHTMLURLColor = 0xFF0000, FHTMLShadowColor = 0x808080;
    std::unique_ptr<TFont> FHTMLFont;
    std::unique_ptr<TListItemsRect> FRect;
};

// The progress bar's look and values.
class TGDIPSplashProgress : public TPersistent {
    KV_CLASS(TGDIPSplashProgress)
public:
    TGDIPSplashProgress();
    ~TGDIPSplashProgress() override;
    void Assign(const TPersistent* source) override;

    TGDIPFill* BackGroundFill() const { return FBackGroundFill.get(); }
    void SetBackGroundFill(const TGDIPFill* v) { FBackGroundFill->Assign(v); }
    TGDIPFill* ProgressFill() const { return FProgressFill.get(); }
    void SetProgressFill(const TGDIPFill* v) { FProgressFill->Assign(v); }
    const std::string& ValueFormat() const { return FValueFormat; }
    void SetValueFormat(const std::string& v) { Set(FValueFormat, v); }
    TGDIPProgressValueType ValueType() const { return FValueType; }
    void SetValueType(TGDIPProgressValueType v) { Set(FValueType, v); }
    int ValuePositionTop() const { return FValuePositionTop; }
    void SetValuePositionTop(int v) { Set(FValuePositionTop, v); }
    int ValuePositionLeft() const { return FValuePositionLeft; }
    void SetValuePositionLeft(int v) { Set(FValuePositionLeft, v); }
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* v) { FFont->Assign(v); }
    TGDIPProgressValuePosition ValuePosition() const { return FValuePosition; }
    void SetValuePosition(TGDIPProgressValuePosition v) { Set(FValuePosition, v); }
    bool ValueVisible() const { return FValueVisible; }
    void SetValueVisible(bool v) { Set(FValueVisible, v); }
    TFont* ProgressFont() const { return FProgressFont.get(); }
    void SetProgressFont(const TFont* v) { FProgressFont->Assign(v); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool v) { Set(FVisible, v); }
    int Height() const { return FHeight; }
    void SetHeight(int v) { Set(FHeight, v); }
    int Left() const { return FLeft; }
    void SetLeft(int v) { Set(FLeft, v); }
    int Width() const { return FWidth; }
    void SetWidth(int v) { Set(FWidth, v); }
    int Top() const { return FTop; }
    void SetTop(int v) { Set(FTop, v); }
    bool ProgressAnimation() const { return FProgressAnimation; }
    void SetProgressAnimation(bool v) { Set(FProgressAnimation, v); }
    bool GlowAnimation() const { return FGlowAnimation; }
    void SetGlowAnimation(bool v) { Set(FGlowAnimation, v); }
    double Position() const { return FPosition; }
    void SetPosition(double v) { Set(FPosition, v); }
    double Step() const { return FStep; }
    void SetStep(double v) { Set(FStep, v); }
    double Maximum() const { return FMaximum; }
    void SetMaximum(double v) { Set(FMaximum, v); }
    double Minimum() const { return FMinimum; }
    void SetMinimum(double v) { Set(FMinimum, v); }
    TNotifyEvent OnChange;

    // The part of the inside rectangle the position covers.
    TGPRectF CalculateProgressRectangle(const TGPRectF& inside, double position) const;
    // Draws the bar into r with the shown position (which moves towards Position when animated) and
    // the glow's place.
    void Draw(TGPGraphics* g, const TGPRectF& r, double shownPosition, double glowPos, bool glow) const;

private:
    template <class T> void Set(T& f, const T& v) {
        if (f == v)
            return;
        f = v;
        Changed();
    }
    void Changed() {
        if (OnChange)
            OnChange(this);
    }
    std::unique_ptr<TGDIPFill> FBackGroundFill;
    std::string FValueFormat = "%.0f%%";
    TGDIPProgressValueType FValueType = TGDIPProgressValueType::vtAbsolute;
    std::unique_ptr<TGDIPFill> FProgressFill;
    int FValuePositionTop = 0, FValuePositionLeft = 0;
    std::unique_ptr<TFont> FFont;
    TGDIPProgressValuePosition FValuePosition = TGDIPProgressValuePosition::vpCenter;
    bool FValueVisible = false;
    std::unique_ptr<TFont> FProgressFont;
    bool FVisible = false;
    int FHeight = 17, FLeft = 50, FWidth = 300, FTop = 100;
    bool FProgressAnimation = false, FGlowAnimation = false;
    double FPosition = 0, FStep = 10, FMaximum = 100, FMinimum = 0;
};

// The progress bar control of the splash window.
class TStSplashProgressBar : public TGraphicControl {
    KV_CLASS(TStSplashProgressBar)
public:
    explicit TStSplashProgressBar(TComponent* owner, TScheduler* scheduler = nullptr);
    ~TStSplashProgressBar() override;
    void Assign(const TPersistent* source) override;

    double Position() const { return FPosition; }
    void SetPosition(double v);
    double Maximum() const { return FMaximum; }
    void SetMaximum(double v);
    double Minimum() const { return FMinimum; }
    void SetMinimum(double v);
    double Step() const { return FStep; }
    void SetStep(double v) { FStep = v; }
    bool ProgressAnimation() const { return FProgressAnimation; }
    void SetProgressAnimation(bool v);
    bool GlowAnimation() const { return FGlowAnimation; }
    void SetGlowAnimation(bool v);
    TGDIPSplashProgress* Appearance() const { return FAppearance.get(); }
    void SetAppearance(const TGDIPSplashProgress* v);
    // The value being shown (moves towards Position with ProgressAnimation).
    double ShownPosition() const { return FPositionTemp; }
    double GlowPos() const { return FGlowPos; }

    void GoToStart() { SetPosition(FMinimum); }
    void GoToEnd() { SetPosition(FMaximum); }
    void GoToValue(double v) { SetPosition(v); }
    void Next() { Next(FStep); }
    void Next(double step) { SetPosition(FPosition + step); }
    void Previous() { Previous(FStep); }
    void Previous(double step) { SetPosition(FPosition - step); }
    bool AnimationInProgress() const;
    // One tick of the 10 ms animation timer.
    void AnimationTick();

    void Paint(TCanvas& canvas) override;
    void DrawTo(TGPGraphics* g, const TGPRectF& r) const;

    TNotifyEvent OnChange;
    TNotifyEvent OnPositionChanged;

private:
    void UpdateTimer();
    double FPositionTo = 0, FPositionTemp = 0;
    int FGlowCount = 3000;
    double FGlowPos = -40;
    std::unique_ptr<TTimer> FAnimationTimer;
    double FMaximum = 100;
    std::unique_ptr<TGDIPSplashProgress> FAppearance;
    bool FGlowAnimation = false;
    double FMinimum = 0;
    bool FProgressAnimation = false;
    double FStep = 10, FPosition = 0;
};

// The formatted text of a top-layer item.
class TStSplashHTMLText : public TPersistent {
    KV_CLASS(TStSplashHTMLText)
public:
    TStSplashHTMLText();
    ~TStSplashHTMLText() override;
    void Assign(const TPersistent* source) override;
    TColor URLColor() const { return FURLColor; }
    void SetURLColor(TColor v) { Set(FURLColor, v); }
    int ShadowOffset() const { return FShadowOffset; }
    void SetShadowOffset(int v) { Set(FShadowOffset, v); }
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* v) { FFont->Assign(v); }
    const std::string& Text() const { return FText; }
    void SetText(const std::string& v) { Set(FText, v); }
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor v) { Set(FShadowColor, v); }
    TStSmoothSplashScreenLocation Location() const { return FLocation; }
    void SetLocation(TStSmoothSplashScreenLocation v) { Set(FLocation, v); }
    int Top() const { return FTop; }
    void SetTop(int v) { Set(FTop, v); }
    int Left() const { return FLeft; }
    void SetLeft(int v) { Set(FLeft, v); }
    TNotifyEvent OnChange;

private:
    template <class T> void Set(T& f, const T& v) {
        if (f == v)
            return;
        f = v;
        if (OnChange)
            OnChange(this);
    }
    TColor FURLColor = 0xFF0000;
    int FShadowOffset = 5;
    std::unique_ptr<TFont> FFont;
    std::string FText;
    TColor FShadowColor = 0x808080;
    // Construction leaves cpTopLeft while the declared default is cpCenterLeft.
    TStSmoothSplashScreenLocation FLocation = TStSmoothSplashScreenLocation::cpTopLeft;
    int FTop = 0, FLeft = 0;
};

class TStSplashTopLayerItem : public TPersistent {
    KV_CLASS(TStSplashTopLayerItem)
public:
    TStSplashTopLayerItem();
    ~TStSplashTopLayerItem() override;
    void Assign(const TPersistent* source) override;
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign v) { FAlign = v; }
    TStSplashHTMLText* HTMLText() const { return FHTMLText.get(); }
    void SetHTMLText(const TStSplashHTMLText* v) { FHTMLText->Assign(v); }
    int Width() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool v) { FVisible = v; }
    int Top() const { return FTop; }
    void SetTop(int v) { FTop = v; }
    int Height() const { return FHeight; }
    void SetHeight(int v) { FHeight = v; }
    int Left() const { return FLeft; }
    void SetLeft(int v) { FLeft = v; }
    TGDIPFill* Fill() const { return FFill.get(); }
    void SetFill(const TGDIPFill* v) { FFill->Assign(v); }

private:
    TAlign FAlign = TAlign::alCustom;
    std::unique_ptr<TStSplashHTMLText> FHTMLText;
    int FWidth = 100;
    bool FVisible = true;
    int FTop = 0, FHeight = 100, FLeft = 0;
    std::unique_ptr<TGDIPFill> FFill;
};

class TStSplashTopLayerItems : public TPersistent, public TSplashCollection<TStSplashTopLayerItem> {
    KV_CLASS(TStSplashTopLayerItems)
public:
    void Assign(const TPersistent* source) override;
    void EndUpdate() {
        if (FUpdateCount > 0 && --FUpdateCount == 0 && OnChange)
            OnChange(nullptr);
    }
};

// The splash window: a layered window with an off-screen ARGB buffer, or an ordinary one that paints
// the same layers itself.
class TSplashScreenWindow {
public:
    explicit TSplashScreenWindow(TStSmoothSplashScreen* splash);
    ~TSplashScreenWindow();

    TLayeredWindow* Window() const { return FWindow.get(); }
    TStSplashProgressBar* ProgressBar() const { return FSplashProgressBar.get(); }
    bool ForcedTransparent() const { return FForcedTransparent; }
    int Opacity() const { return FOpacity; }
    void SetOpacity(int v) { FOpacity = v; }
    const QImage* MainBuffer() const { return FMainBuffer.get(); }
    int Width() const;
    int Height() const;

    // Switches to the per-pixel-alpha window with a buffer of the window's size.
    void MakeLayered();
    // Draws every layer into the buffer and hands it to the window (layered), or repaints.
    void Refresh();
    void DrawToBuffer();
    // Draws every layer onto `g` (the buffer's or the window's painter).
    void DrawLayers(TGPGraphics* g, bool withProgress);

private:
    void DrawBackground(TGPGraphics* g);
    void DrawProgramInfo(TGPGraphics* g);
    void DrawListItems(TGPGraphics* g);
    void DrawTopLayerItems(TGPGraphics* g);
    void DrawItems(TGPGraphics* g);
    TStSmoothSplashScreen* FSplashScreen;
    std::unique_ptr<TLayeredWindow> FWindow;
    std::unique_ptr<TStSplashProgressBar> FSplashProgressBar;
    bool FForcedTransparent = false;
    std::unique_ptr<QImage> FMainBuffer;
    int FOpacity = 5;
};

// Measures (and unless measureOnly draws) a heading text at (x, y) with its brush; the size in
// whole pixels. Nothing for an empty text.
TSize DrawGradientText(TGPGraphics* g, const TFont* font, const std::string& text, int x, int y,
                       TStGradientType gradient, TColor startColor, TColor endColor, int startOpacity,
                       int endOpacity, HatchStyle hatch, TStGDIPPicture* picture, int angle,
                       TStSmoothSplashScreenTextRenderingHint hint, bool measureOnly);

// The progress value as the format says: number items (%f, %e, %g, %d with flags, width and
// precision) and %%; any other item is copied as text.
std::string FormatProgressValue(const std::string& format, double value);

// Lays the list's items out top to bottom in `area`, `space` apart; when the last one ends below the
// area, items are dropped from the top (top and bottom -1) and the rest move up, keeping the last.
std::vector<TRect> LayoutSplashListItems(const std::vector<int>& heights, const TRect& area, int space);

class TStSmoothSplashScreen : public TComponent {
    KV_CLASS(TStSmoothSplashScreen)
public:
    explicit TStSmoothSplashScreen(TComponent* owner);
    ~TStSmoothSplashScreen() override;

    void Loaded() override;
    void Show();
    void Show(int x, int y);
    void Hide();
    void Refresh();
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    // Fades on the scheduler's timer; only with a visible window.
    void FadeIn(int step, int wait, int max);
    void FadeOut(int step, int wait, int min);
    void SetFocusToForm(TCustomForm* form);
    std::string GetThemeID() const { return "TStSmoothSplashScreen"; }
    void LoadFromTheme(const std::string&) {}
    void SaveToTheme(const std::string&) {}
    void SetComponentStyle(int style);
    // Timers run on this scheduler (tests pass a virtual clock); null is the real clock.
    void SetScheduler(TScheduler* scheduler);
    TScheduler* Scheduler() const { return FScheduler; }

    bool Showing() const { return FShowing; }
    // True while a fade out is still running after Hide.
    bool Fading() const;
    TSplashScreenWindow* SplashWindow() const { return FSplashWindow.get(); }
    TCustomForm* MainForm() const { return FMainForm; }
    // The window's size: the fill picture's size (with the border) or Width x Height.
    TSize WindowSize() const;

    bool AutoShow() const { return FAutoShow; }
    void SetAutoShow(bool v) { FAutoShow = v; }
    bool CloseOnTimeout() const { return FCloseOnTimeout; }
    void SetCloseOnTimeout(bool v) { FCloseOnTimeout = v; }
    bool CloseOnMainFormShow() const { return FCloseOnMainFormShow; }
    void SetCloseOnMainFormShow(bool v) { FCloseOnMainFormShow = v; }
    int TimeOut() const { return FTimeOut; }
    void SetTimeOut(int v);
    TDisplayLocation DisplayLocation() const { return FDisplayLocation; }
    void SetDisplayLocation(TDisplayLocation v) { FDisplayLocation = v; }
    TDisplayStyle DisplayStyle() const { return FDisplayStyle; }
    void SetDisplayStyle(TDisplayStyle v) { FDisplayStyle = v; }
    TGDIPSplashProgress* ProgressBar() const { return FProgressBar.get(); }
    void SetProgressBar(const TGDIPSplashProgress* v) { FProgressBar->Assign(v); }
    TTickImageList* Images() const { return FImages; }
    void SetImages(TTickImageList* v);
    TSplashItems* Items() const { return FItems.get(); }
    void SetItems(const TSplashItems* v) { FItems->Assign(v); }
    int DisplayPosY() const { return FDisplayPosY; }
    void SetDisplayPosY(int v) { FDisplayPosY = v; }
    int DisplayPosX() const { return FDisplayPosX; }
    void SetDisplayPosX(int v) { FDisplayPosX = v; }
    int Height() const { return FHeight; }
    void SetHeight(int v) { FHeight = v; }
    int Width() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }
    TThreadType ThreadType() const { return FThreadType; }
    int PictureGap() const { return FPictureGap; }
    void SetPictureGap(int v) { FPictureGap = v; }
    TSplashListItems* ListItems() const { return FListItems.get(); }
    void SetListItems(const TSplashListItems* v) { FListItems->Assign(v); }
    TBasicProgramInfo* BasicProgramInfo() const { return FBasicProgramInfo.get(); }
    void SetBasicProgramInfo(const TBasicProgramInfo* v) { FBasicProgramInfo->Assign(v); }
    TGDIPFill* Fill() const { return FFill.get(); }
    void SetFill(const TGDIPFill* v) { FFill->Assign(v); }
    TSplashListItemsSettings* ListItemsSettings() const { return FListItemsSettings.get(); }
    void SetListItemsSettings(const TSplashListItemsSettings* v) { FListItemsSettings->Assign(v); }
    TGDIPPictureContainer* PictureContainer() const { return FContainer; }
    void SetPictureContainer(TGDIPPictureContainer* v);
    TStSplashTopLayerItems* TopLayerItems() const { return FTopLayerItems.get(); }
    void SetTopLayerItems(const TStSplashTopLayerItems* v) { FTopLayerItems->Assign(v); }
    int MaxOpacity() const { return FMaxOpacity; }
    void SetMaxOpacity(int v) { FMaxOpacity = std::clamp(v, 0, 255); }
    bool AutoAdaptPictureSize() const { return FAutoAdaptPictureSize; }
    void SetAutoAdaptPictureSize(bool v) { FAutoAdaptPictureSize = v; }
    TStSmoothSplashScreenTextRenderingHint TextRendering() const { return FTextRendering; }
    void SetTextRendering(TStSmoothSplashScreenTextRenderingHint v);
    bool StayOnTop() const { return FStayOnTop; }
    void SetStayOnTop(bool v);
    // The component's version; writes are ignored.
    std::string Version() const { return "1.2.0.0"; }
    void SetVersion(const std::string&) {}

    TNotifyEvent OnProgressPositionChanged;
    TNotifyEvent OnProgressChange;
    TNotifyEvent OnClick;
    TNotifyEvent OnBeforeShow;
    TNotifyEvent OnClose;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TSplashScreenWindow;
    void LoadVersionInfo();
    void ShowSplashWindow();
    void FreeSplashWindow();
    void MainFormShow(TObject* sender);
    void CloseTimerTick();
    void ProgressSettingsChanged();
    void StartFade(int from, int to, int step, int intervalMs, bool layered);
    void FadeTick();

    bool FAutoShow = true, FCloseOnTimeout = false, FCloseOnMainFormShow = true;
    int FTimeOut = 1000;
    TDisplayLocation FDisplayLocation = TDisplayLocation::dlCenter;
    TDisplayStyle FDisplayStyle = TDisplayStyle::dsFadeInOut;
    std::unique_ptr<TGDIPSplashProgress> FProgressBar;
    TTickImageList* FImages = nullptr;
    std::unique_ptr<TSplashItems> FItems;
    int FDisplayPosY = 0, FDisplayPosX = 0;
    bool FShowing = false;
    std::unique_ptr<TSplashScreenWindow> FSplashWindow;
    TNotifyEvent FOldMainFormShow;
    bool FHooked = false;
    int FHeight = 400, FWidth = 600;
    std::unique_ptr<TTimer> FCloseTimer;
    TThreadType FThreadType = TThreadType::ttMainThread;
    TCustomForm* FMainForm = nullptr;
    int FPictureGap = 5;
    std::unique_ptr<TSplashListItems> FListItems;
    std::unique_ptr<TBasicProgramInfo> FBasicProgramInfo;
    int FUpdateCount = 0;
    std::unique_ptr<TGDIPFill> FFill;
    std::unique_ptr<TSplashListItemsSettings> FListItemsSettings;
    TGDIPPictureContainer* FContainer = nullptr;
    std::unique_ptr<TStSplashTopLayerItems> FTopLayerItems;
    int FMaxOpacity = 255;
    bool FAutoAdaptPictureSize = true;
    std::unique_ptr<TTimer> FFocusTimer;
    bool FFocusParentForm = false;
    std::unique_ptr<TTimer> FFocusFormTimer;
    TCustomForm* FNewFocusForm = nullptr;
    TStSmoothSplashScreenTextRenderingHint FTextRendering =
        TStSmoothSplashScreenTextRenderingHint::tClearType;
    bool FStayOnTop = true;
    TScheduler* FScheduler = nullptr;
    // The running fade: its window (kept until a fade out ends), target and step.
    std::unique_ptr<TTimer> FFadeTimer;
    std::unique_ptr<TSplashScreenWindow> FFadingWindow;
    int FFadeTo = 0, FFadeStep = 0;
    bool FFadeLayered = false;
};

} // namespace kv
