#pragma once
// The block gauge of the transfer progress window: rounded blocks coloured by level bands and the
// percentage as text. It paints at once when its position changes, so progress shows even while the
// caller keeps the message loop waiting, and skips the steps that change nothing visible.

#include "platform/gui/Controls.h"

#include <memory>
#include <string>

class TScheduler;
class TTimer;

namespace kv {

enum class TGaugeOrientation { goHorizontal, goVertical };
std::vector<std::string> EnumIdents(TGaugeOrientation);

// What one paint of the gauge works from.
struct TGaugeSettings {
    TColor Level0Color = clNone, Level0ColorTo = clNone, Level1Color = clNone, Level1ColorTo = clNone;
    TColor Level2Color = clNone, Level2ColorTo = clNone, Level3Color = clNone, Level3ColorTo = clNone;
    int Level1Perc = 70, Level2Perc = 90;
    TColor BorderColor = clNone, Level0BkColor = clNone, Level1BkColor = clNone, Level2BkColor = clNone;
    bool ShowBorder = true, Stacked = false, ShowPercentage = true, ShowPosition = true;
    const TFont* Font = nullptr;
    bool CompletionSmooth = false, ShowGradient = true;
    int Steps = 8;
    int Position = 0; // the percentage
    int Value = 0;    // the raw position
    int Max = 100;
    TColor BackgroundColor = clWhite;
    TGaugeOrientation Orientation = TGaugeOrientation::goHorizontal;
    bool Rounded = true;
    std::string Format;
    bool Infinite = false;
    int InfinitePos = 0;
};

// Draws the gauge into `r` of the canvas.
void DrawGauge(TCanvas& canvas, const TRect& r, const TGaugeSettings& s);
// Bands of colour from `from` to `to` across `r` (left to right when horizontal, else top to bottom);
// the last band stops one step short of `to`.
void DrawGaugeGradient(TCanvas& canvas, TColor from, TColor to, bool horizontal, const TRect& r, int steps);
// The format text with %d (and %s, %u, %x) items filled from the integers in order.
std::string FormatIntegers(const std::string& format, std::initializer_list<int> values);

class TStProgressBar : public TGraphicControl {
    KV_CLASS(TStProgressBar)
public:
    explicit TStProgressBar(TComponent* owner);
    ~TStProgressBar() override;

    int Position() const { return FPosition; }
    void SetPosition(int value);
    int Min() const { return FMin; }
    void SetMin(int value);
    int Max() const { return FMax; }
    void SetMax(int value);
    // The repaint granularity: (Max - Min) div 100.
    int MaxIncrement() const { return FMaxIncrement; }
    // The percentage drawn for the current position, within 0..100.
    int Percentage() const;

    TColor Level0Color() const { return FLevel0Color; }
    void SetLevel0Color(TColor v) { Store(FLevel0Color, v); }
    TColor Level0ColorTo() const { return FLevel0ColorTo; }
    void SetLevel0ColorTo(TColor v) { Store(FLevel0ColorTo, v); }
    TColor Level1Color() const { return FLevel1Color; }
    void SetLevel1Color(TColor v) { Store(FLevel1Color, v); }
    TColor Level1ColorTo() const { return FLevel1ColorTo; }
    void SetLevel1ColorTo(TColor v) { Store(FLevel1ColorTo, v); }
    TColor Level2Color() const { return FLevel2Color; }
    void SetLevel2Color(TColor v) { Store(FLevel2Color, v); }
    TColor Level2ColorTo() const { return FLevel2ColorTo; }
    void SetLevel2ColorTo(TColor v) { Store(FLevel2ColorTo, v); }
    TColor Level3Color() const { return FLevel3Color; }
    void SetLevel3Color(TColor v) { Store(FLevel3Color, v); }
    TColor Level3ColorTo() const { return FLevel3ColorTo; }
    void SetLevel3ColorTo(TColor v) { Store(FLevel3ColorTo, v); }
    int Level1Perc() const { return FLevel1Perc; }
    void SetLevel1Perc(int v) { Store(FLevel1Perc, v); }
    int Level2Perc() const { return FLevel2Perc; }
    void SetLevel2Perc(int v) { Store(FLevel2Perc, v); }
    TColor Level0BkColor() const { return FLevel0BkColor; }
    void SetLevel0BkColor(TColor v) { StoreNew(FLevel0BkColor, v); }
    TColor Level1BkColor() const { return FLevel1BkColor; }
    void SetLevel1BkColor(TColor v) { StoreNew(FLevel1BkColor, v); }
    TColor Level2BkColor() const { return FLevel2BkColor; }
    void SetLevel2BkColor(TColor v) { StoreNew(FLevel2BkColor, v); }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { Store(FBorderColor, v); }
    TColor BackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(TColor v) { Store(FBackgroundColor, v); }
    bool ShowBorder() const { return FShowBorder; }
    void SetShowBorder(bool v) { Store(FShowBorder, v); }
    bool Stacked() const { return FStacked; }
    void SetStacked(bool v) { Store(FStacked, v); }
    bool ShowPercentage() const { return FShowPercentage; }
    void SetShowPercentage(bool v) { Store(FShowPercentage, v); }
    bool ShowPosition() const { return FShowPosition; }
    void SetShowPosition(bool v) { Store(FShowPosition, v); }
    bool CompletionSmooth() const { return FCompletionSmooth; }
    void SetCompletionSmooth(bool v) { Store(FCompletionSmooth, v); }
    bool ShowGradient() const { return FShowGradient; }
    void SetShowGradient(bool v) { Store(FShowGradient, v); }
    int Steps() const { return FSteps; }
    void SetSteps(int v) { Store(FSteps, v); }
    TGaugeOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TGaugeOrientation v) { Store(FOrientation, v); }
    bool Rounded() const { return FRounded; }
    void SetRounded(bool v) { Store(FRounded, v); }
    const std::string& Format() const { return FFormat; }
    void SetFormat(const std::string& v) { Store(FFormat, v); }
    // The percentage font, published as Font.
    TFont* PercentageFont() const { return FFontPercentage.get(); }
    void SetPercentageFont(const TFont* f);
    bool Animated() const { return FAnimated; }
    void SetAnimated(bool v);
    bool Infinite() const { return FInfinite; }
    void SetInfinite(bool v);
    int InfiniteInterval() const { return FInfiniteInterval; }
    void SetInfiniteInterval(int v);
    int InfinitePos() const { return FInfinitePos; }
    bool MarqueeRunning() const;
    std::string Version() const { return "1.2.0.1"; }
    void SetVersion(const std::string&) {}

    // The marquee's step: moves 4 toward the current direction and paints.
    void AnimateInfinite();
    // The marquee timer runs on this scheduler (tests pass a virtual clock); null is the real clock.
    void SetScheduler(TScheduler* scheduler);

    void Paint(TCanvas& canvas) override;
    // The settings the next paint draws from.
    TGaugeSettings Settings() const;

private:
    template <class T> void Store(T& field, const T& v) {
        field = v;
        Invalidate();
    }
    template <class T> void StoreNew(T& field, const T& v) {
        if (field == v)
            return;
        field = v;
        Invalidate();
    }
    void PaintNow();
    void UpdateTimer();
    int PercentOf(int value) const;

    TColor FLevel0Color = 0x00FF00, FLevel0ColorTo = 0xE1FFE1;
    TColor FLevel1Color = 0x00FFFF, FLevel1ColorTo = 0xCAFFFF;
    TColor FLevel2Color = 0x53A9FF, FLevel2ColorTo = 0xA8D3FF;
    TColor FLevel3Color = 0x0000FF, FLevel3ColorTo = 0xCACAFF;
    int FLevel1Perc = 70, FLevel2Perc = 90;
    TColor FBorderColor = 0x808080;
    bool FShowBorder = true, FStacked = false, FShowPercentage = true;
    std::unique_ptr<TFont> FFontPercentage;
    bool FCompletionSmooth = false, FShowGradient = true;
    int FSteps = 8;
    int FPosition = 50;
    TColor FBackgroundColor = 0xFFFFFF;
    TGaugeOrientation FOrientation = TGaugeOrientation::goHorizontal;
    bool FShowPosition = true;
    int FMin = 0, FMax = 100;
    int FMaxIncrement = 1;
    bool FRounded = true;
    std::string FFormat;
    bool FAnimated = false, FInfinite = false;
    int FInfinitePos = 0;
    bool FInfiniteInc = true;
    int FInfiniteInterval = 50;
    int FOldBlockPos = 0, FOldPos = 0;
    std::unique_ptr<TTimer> FTimer;
    TScheduler* FScheduler = nullptr;
    TColor FLevel0BkColor = clNone, FLevel1BkColor = clNone, FLevel2BkColor = clNone;
};

} // namespace kv
