#include "styled/StProgressBar.h"

#include "platform/core/Numbers.h"
#include "platform/sys/Scheduler.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace kv {

std::vector<std::string> EnumIdents(TGaugeOrientation) {
    return {"goHorizontal", "goVertical"};
}

namespace {

void FillGaugeRect(TCanvas& canvas, const TRect& r, TColor colour) {
    canvas.Pen()->SetColor(colour);
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    canvas.Pen()->SetWidth(1);
    canvas.Brush()->SetColor(colour);
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Rectangle(r);
}

// One block or bar of the filled part: two gradient halves across the bar, or solid.
void FillBlock(TCanvas& canvas, const TRect& r, TColor colour, TColor colourTo, const TGaugeSettings& s) {
    if (r.Right <= r.Left || r.Bottom <= r.Top)
        return;
    if (!s.ShowGradient) {
        FillGaugeRect(canvas, r, colour);
        return;
    }
    if (s.Orientation == TGaugeOrientation::goHorizontal) {
        int mid = r.Top + (r.Bottom - r.Top) / 2;
        DrawGaugeGradient(canvas, colourTo, colour, false, {r.Left, r.Top, r.Right, mid}, s.Steps);
        DrawGaugeGradient(canvas, colour, colourTo, false, {r.Left, mid, r.Right, r.Bottom}, s.Steps);
    } else {
        int mid = r.Left + (r.Right - r.Left) / 2;
        DrawGaugeGradient(canvas, colourTo, colour, true, {r.Left, r.Top, mid, r.Bottom}, s.Steps);
        DrawGaugeGradient(canvas, colour, colourTo, true, {mid, r.Top, r.Right, r.Bottom}, s.Steps);
    }
}

struct LevelColours {
    TColor from, to;
};

LevelColours LevelOf(int p, const TGaugeSettings& s) {
    if (p < s.Level1Perc)
        return {s.Level0Color, s.Level0ColorTo};
    if (p < s.Level2Perc)
        return {s.Level1Color, s.Level1ColorTo};
    if (p < 100)
        return {s.Level2Color, s.Level2ColorTo};
    return {s.Level3Color, s.Level3ColorTo};
}

void DrawBlocks(TCanvas& canvas, const TRect& r, int len, int p, LevelColours c, const TGaugeSettings& s) {
    const int L = r.Left, T = r.Top, Rt = r.Right, B = r.Bottom;
    const bool vertical = s.Orientation == TGaugeOrientation::goVertical;
    canvas.Brush()->SetColor(s.BackgroundColor);
    int h = RoundEven(static_cast<long double>(p) * len / 100);
    if (h <= 1)
        return;
    // A block from `start` (pixels from the bar's start, 2 inside the frame) of `length` pixels.
    auto block = [&](int start, int length) {
        TRect b = vertical ? TRect{L + 2, std::max(T + 2, B - start - length), Rt - 2, B - start}
                           : TRect{L + start, T + 2, L + start + length, B - 2};
        FillBlock(canvas, b, c.from, c.to, s);
    };
    if (h <= 9) {
        block(2, h - 1);
        return;
    }
    block(2, 7);
    int start = 2;
    for (int i = 1; i < h / 9; ++i) {
        start += 9;
        block(start, 7);
    }
    int rest = h % 9;
    if (rest > 2)
        block(start + 9, rest - 1);
}

void DrawStacked(TCanvas& canvas, const TRect& r, int len, int p, const TGaugeSettings& s) {
    const int L = r.Left, T = r.Top, Rt = r.Right, B = r.Bottom;
    const bool vertical = s.Orientation == TGaugeOrientation::goVertical;
    auto reach = [&](int perc) { return RoundEven(static_cast<long double>(perc) / 100 * len); };
    auto segment = [&](int from, int to, LevelColours c) {
        TRect seg = vertical ? TRect{L + 1, B - to, Rt - 1, B - from} : TRect{L + from, T + 1, L + to, B - 1};
        FillBlock(canvas, seg, c.from, c.to, s);
    };
    int end0 = reach(std::min(p, s.Level1Perc));
    segment(2, end0, {s.Level0Color, s.Level0ColorTo});
    if (p < s.Level1Perc)
        return;
    int end1 = reach(std::min(p, s.Level2Perc));
    segment(end0, end1, {s.Level1Color, s.Level1ColorTo});
    if (p < s.Level2Perc)
        return;
    segment(end1, p >= 100 ? len : reach(p), {s.Level2Color, s.Level2ColorTo});
}

void DrawLevelBackground(TCanvas& canvas, const TRect& r, int len, const TGaugeSettings& s) {
    const bool vertical = s.Orientation == TGaugeOrientation::goVertical;
    int a = RoundEven(static_cast<long double>(s.Level1Perc) / 100 * len);
    int b = RoundEven(static_cast<long double>(s.Level2Perc) / 100 * len);
    int bounds[4] = {1, std::clamp(a, 1, len + 1), std::clamp(b, 1, len + 1), len + 1};
    TColor colours[3] = {s.Level0BkColor, s.Level1BkColor, s.Level2BkColor};
    for (int i = 0; i < 3; ++i) {
        if (colours[i] == clNone || bounds[i + 1] <= bounds[i])
            continue;
        TRect band = vertical ? TRect{r.Left + 1, r.Bottom - bounds[i + 1], r.Right - 1, r.Bottom - bounds[i]}
                              : TRect{r.Left + bounds[i], r.Top + 1, r.Left + bounds[i + 1], r.Bottom - 1};
        FillGaugeRect(canvas, band, colours[i]);
    }
}

} // namespace

std::string FormatIntegers(const std::string& format, std::initializer_list<int> values) {
    std::string out;
    auto next = values.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        char ch = format[i];
        if (ch != '%') {
            out += ch;
            continue;
        }
        std::size_t j = i + 1;
        if (j < format.size() && format[j] == '%') {
            out += '%';
            i = j;
            continue;
        }
        bool left = false;
        int width = 0;
        if (j < format.size() && format[j] == '-') {
            left = true;
            ++j;
        }
        while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j])))
            width = width * 10 + (format[j++] - '0');
        if (j >= format.size()) {
            out += format.substr(i);
            break;
        }
        char type = static_cast<char>(std::tolower(static_cast<unsigned char>(format[j])));
        if (type != 'd' && type != 'u' && type != 's' && type != 'x') {
            out += format.substr(i, j - i + 1);
            i = j;
            continue;
        }
        int v = next != values.end() ? *next++ : 0;
        std::string item;
        if (type == 'x') {
            static const char digits[] = "0123456789ABCDEF";
            auto u = static_cast<unsigned>(v);
            do {
                item.insert(item.begin(), digits[u & 0xFu]);
                u >>= 4;
            } while (u);
        } else {
            item = std::to_string(v);
        }
        if (static_cast<int>(item.size()) < width)
            item = left ? item + std::string(static_cast<std::size_t>(width) - item.size(), ' ')
                        : std::string(static_cast<std::size_t>(width) - item.size(), ' ') + item;
        out += item;
        i = j;
    }
    return out;
}

void DrawGaugeGradient(TCanvas& canvas, TColor from, TColor to, bool horizontal, const TRect& r, int steps) {
    if (steps == 0)
        steps = 1;
    TColor f = ColorToRGB(from), t = ColorToRGB(to);
    int fr = f & 0xFF, fg = (f >> 8) & 0xFF, fb = (f >> 16) & 0xFF;
    int dr = (t & 0xFF) - fr, dg = ((t >> 8) & 0xFF) - fg, db = ((t >> 16) & 0xFF) - fb;
    const int start = horizontal ? r.Left : r.Top, end = horizontal ? r.Right : r.Bottom;
    long double band = static_cast<long double>(end - start) / steps;
    for (int i = 0; i < steps; ++i) {
        TColor c = RGB(fr + RoundEven(static_cast<long double>(i) * dr / steps),
                       fg + RoundEven(static_cast<long double>(i) * dg / steps),
                       fb + RoundEven(static_cast<long double>(i) * db / steps));
        int a = start + RoundEven(i * band);
        int b = std::min(a + static_cast<int>(band) + 1, end);
        TRect part = horizontal ? TRect{a, r.Top, b, r.Bottom} : TRect{r.Left, a, r.Right, b};
        FillGaugeRect(canvas, part, c);
    }
}

void DrawGauge(TCanvas& canvas, const TRect& r, const TGaugeSettings& settings) {
    TGaugeSettings s = settings;
    const int L = r.Left, T = r.Top, Rt = r.Right, B = r.Bottom;
    const bool vertical = s.Orientation == TGaugeOrientation::goVertical;
    const int len = (vertical ? B - T : Rt - L) - 2;
    if (s.Rounded)
        FillGaugeRect(canvas, r, clFuchsia);
    int p = s.Position;
    if (s.Infinite) {
        p = 100;
        s.Level1Perc = 101;
        s.Level2Perc = 101;
    }
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Brush()->SetColor(s.BackgroundColor);
    canvas.Pen()->SetColor(s.ShowBorder ? s.BorderColor : s.BackgroundColor);
    if (s.Rounded)
        canvas.RoundRect(L, T, Rt, B, 6, 6);
    else
        canvas.Rectangle(r);
    if (s.Level0BkColor != clNone || s.Level1BkColor != clNone || s.Level2BkColor != clNone)
        DrawLevelBackground(canvas, r, len, s);

    if (p > 0) {
        if (s.Stacked) {
            DrawStacked(canvas, r, len, p, s);
        } else {
            LevelColours c = LevelOf(p, s);
            if (s.CompletionSmooth) {
                int reach = RoundEven(static_cast<long double>(p) / 100 * len);
                TRect bar =
                    vertical ? TRect{L + 2, B - reach, Rt - 2, B - 2} : TRect{L + 2, T + 2, L + reach, B - 2};
                FillBlock(canvas, bar, c.from, c.to, s);
            } else {
                DrawBlocks(canvas, r, len, p, c, s);
            }
        }
    }

    if (s.Infinite) {
        int length = vertical ? B - T : Rt - L;
        int o = length < 5 ? 0 : RoundEven(static_cast<long double>(s.InfinitePos) / 100 * (length - 4));
        if (vertical) {
            FillGaugeRect(canvas, {L + 1, T + 2, Rt - 1, std::max(T + 2, T + o - 10)}, s.BackgroundColor);
            FillGaugeRect(canvas, {L + 2, std::min(B - 2, T + o + 12), Rt - 2, B - 2}, s.BackgroundColor);
        } else {
            FillGaugeRect(canvas, {L + 2, T + 1, std::max(L + 2, L + o - 10), B - 1}, s.BackgroundColor);
            FillGaugeRect(canvas, {std::min(Rt - 2, L + o + 12), T + 2, Rt - 2, B - 2}, s.BackgroundColor);
        }
    }

    if (s.ShowPosition) {
        canvas.Brush()->SetStyle(TBrushStyle::bsClear);
        if (s.Font)
            canvas.Font()->Assign(s.Font);
        std::string text = s.ShowPercentage ? std::to_string(p) + "%" : std::to_string(s.Value);
        if (!s.Format.empty())
            text = FormatIntegers(s.Format, {s.Value, s.Max});
        if (vertical) {
            canvas.Font()->SetOrientation(900);
            TSize ext = canvas.TextExtent(text);
            canvas.TextOut(L + (Rt - L) / 2 - ext.cy / 2, T + (B - T) / 2 + ext.cx / 2, text);
            canvas.Font()->SetOrientation(0);
        } else {
            TSize ext = canvas.TextExtent(text);
            canvas.TextOut(L + (Rt - L) / 2 - ext.cx / 2, T + (B - T) / 2 - ext.cy / 2, text);
        }
    }
}

KV_REGISTER_CLASS(TStProgressBar, TGraphicControl, b) {
    using P = TStProgressBar;
    const TIdentMap& colours = ColorIdents();
    b.Prop("Animated", &P::Animated, &P::SetAnimated).Default(false);
    b.Prop("BackgroundColor", &P::BackgroundColor, &P::SetBackgroundColor)
        .Default(16777215)
        .Idents(colours, "TColor");
    b.Prop("BorderColor", &P::BorderColor, &P::SetBorderColor).Default(8421504).Idents(colours, "TColor");
    b.Prop("CompletionSmooth", &P::CompletionSmooth, &P::SetCompletionSmooth).Default(false);
    b.Prop("Font", &P::PercentageFont, &P::SetPercentageFont);
    b.Prop("Format", &P::Format, &P::SetFormat);
    b.Prop("Infinite", &P::Infinite, &P::SetInfinite).Default(false);
    b.Prop("InfiniteInterval", &P::InfiniteInterval, &P::SetInfiniteInterval).Default(50);
    b.Prop("Level0Color", &P::Level0Color, &P::SetLevel0Color).Default(65280).Idents(colours, "TColor");
    b.Prop("Level0ColorTo", &P::Level0ColorTo, &P::SetLevel0ColorTo).Idents(colours, "TColor");
    b.Prop("Level1Color", &P::Level1Color, &P::SetLevel1Color).Default(65535).Idents(colours, "TColor");
    b.Prop("Level1ColorTo", &P::Level1ColorTo, &P::SetLevel1ColorTo).Idents(colours, "TColor");
    b.Prop("Level2Color", &P::Level2Color, &P::SetLevel2Color).Idents(colours, "TColor");
    b.Prop("Level2ColorTo", &P::Level2ColorTo, &P::SetLevel2ColorTo).Idents(colours, "TColor");
    b.Prop("Level3Color", &P::Level3Color, &P::SetLevel3Color).Default(255).Idents(colours, "TColor");
    b.Prop("Level3ColorTo", &P::Level3ColorTo, &P::SetLevel3ColorTo).Idents(colours, "TColor");
    b.Prop("Level1Perc", &P::Level1Perc, &P::SetLevel1Perc);
    b.Prop("Level2Perc", &P::Level2Perc, &P::SetLevel2Perc);
    b.Prop("Level0BkColor", &P::Level0BkColor, &P::SetLevel0BkColor)
        .Default(clNone)
        .Idents(colours, "TColor");
    b.Prop("Level1BkColor", &P::Level1BkColor, &P::SetLevel1BkColor)
        .Default(clNone)
        .Idents(colours, "TColor");
    b.Prop("Level2BkColor", &P::Level2BkColor, &P::SetLevel2BkColor)
        .Default(clNone)
        .Idents(colours, "TColor");
    b.Prop("Min", &P::Min, &P::SetMin).Default(0);
    b.Prop("Max", &P::Max, &P::SetMax).Default(100);
    b.Prop("Orientation", &P::Orientation, &P::SetOrientation).Default(TGaugeOrientation::goHorizontal);
    b.Prop("Position", &P::Position, &P::SetPosition);
    b.Prop("Rounded", &P::Rounded, &P::SetRounded).Default(true);
    b.Prop("ShowBorder", &P::ShowBorder, &P::SetShowBorder);
    b.Prop("ShowGradient", &P::ShowGradient, &P::SetShowGradient).Default(true);
    b.Prop("ShowPercentage", &P::ShowPercentage, &P::SetShowPercentage).Default(true);
    b.Prop("ShowPosition", &P::ShowPosition, &P::SetShowPosition).Default(true);
    b.Prop("Stacked", &P::Stacked, &P::SetStacked).Default(false);
    b.Prop("Steps", &P::Steps, &P::SetSteps).Default(8);
    b.Prop("Version", &P::Version, &P::SetVersion);
}

TStProgressBar::TStProgressBar(TComponent* owner) : TGraphicControl(owner) {
    FFontPercentage = std::make_unique<TFont>();
    FFontPercentage->SetName("Verdana");
    FFontPercentage->SetSize(10);
    FFontPercentage->OnChange = [this](TObject*) { Invalidate(); };
    SetBounds(Left(), Top(), 150, 16);
}

TStProgressBar::~TStProgressBar() {
    Destroying();
    FTimer.reset();
}

int TStProgressBar::PercentOf(int value) const {
    if (FMax == FMin)
        return 0;
    return RoundEven(static_cast<long double>(value - FMin) / static_cast<long double>(FMax - FMin) * 100);
}

int TStProgressBar::Percentage() const {
    // A Max lowered below the position would otherwise draw blocks past the bar's end.
    return std::clamp(PercentOf(FPosition), 0, 100);
}

void TStProgressBar::SetPosition(int value) {
    // Out-of-range values are clamped and then drawn like any other, so the bar never shows a stale
    // position after a caller overshoots.
    if (value < FMin)
        value = FMin;
    else if (value > FMax)
        value = FMax;
    FPosition = value;
    int pct = PercentOf(value);
    bool skip = FMaxIncrement != 0 && value % FMaxIncrement != 0 && value / FMaxIncrement == FOldBlockPos &&
                pct == FOldPos;
    if (!skip)
        PaintNow();
    FOldPos = pct;
    if (FMaxIncrement != 0)
        FOldBlockPos = value / FMaxIncrement;
}

void TStProgressBar::SetMin(int value) {
    FMin = value;
    FMaxIncrement = (FMax - FMin) / 100;
    Invalidate();
}

void TStProgressBar::SetMax(int value) {
    FMax = value;
    FMaxIncrement = (FMax - FMin) / 100;
    Invalidate();
}

void TStProgressBar::SetPercentageFont(const TFont* f) {
    FFontPercentage->Assign(f);
    Invalidate();
}

void TStProgressBar::SetAnimated(bool v) {
    FAnimated = v;
    UpdateTimer();
    Invalidate();
}

void TStProgressBar::SetInfinite(bool v) {
    FInfinite = v;
    if (v) {
        FInfinitePos = 0;
        FInfiniteInc = true;
    }
    UpdateTimer();
    Invalidate();
}

void TStProgressBar::SetInfiniteInterval(int v) {
    FInfiniteInterval = v;
    if (FTimer)
        FTimer->SetInterval(static_cast<uint32_t>(std::max(1, v)));
}

void TStProgressBar::SetScheduler(TScheduler* scheduler) {
    FScheduler = scheduler;
    FTimer.reset();
    UpdateTimer();
}

bool TStProgressBar::MarqueeRunning() const {
    return FTimer && FTimer->Enabled();
}

void TStProgressBar::UpdateTimer() {
    bool run = FInfinite && FAnimated;
    if (!FTimer) {
        if (!run)
            return;
        FTimer = std::make_unique<::TTimer>(FScheduler);
        FTimer->SetEnabled(false);
        FTimer->SetInterval(static_cast<uint32_t>(std::max(1, FInfiniteInterval)));
        FTimer->OnTimer = [this] { AnimateInfinite(); };
    }
    FTimer->SetEnabled(run);
}

void TStProgressBar::AnimateInfinite() {
    if (FInfiniteInc) {
        FInfinitePos += 4;
        if (FInfinitePos > 99) {
            FInfinitePos = 100;
            FInfiniteInc = false;
        }
    } else {
        FInfinitePos -= 4;
        if (FInfinitePos < 1) {
            FInfinitePos = 0;
            FInfiniteInc = true;
        }
    }
    PaintNow();
}

void TStProgressBar::PaintNow() {
    // Painted at once, not queued: transfers set the position without returning to the loop.
    if (Parent() && Visible())
        Repaint();
}

TGaugeSettings TStProgressBar::Settings() const {
    TGaugeSettings s;
    s.Level0Color = FLevel0Color;
    s.Level0ColorTo = FLevel0ColorTo;
    s.Level1Color = FLevel1Color;
    s.Level1ColorTo = FLevel1ColorTo;
    s.Level2Color = FLevel2Color;
    s.Level2ColorTo = FLevel2ColorTo;
    s.Level3Color = FLevel3Color;
    s.Level3ColorTo = FLevel3ColorTo;
    s.Level1Perc = FLevel1Perc;
    s.Level2Perc = FLevel2Perc;
    s.BorderColor = FBorderColor;
    s.Level0BkColor = FLevel0BkColor;
    s.Level1BkColor = FLevel1BkColor;
    s.Level2BkColor = FLevel2BkColor;
    s.ShowBorder = FShowBorder;
    s.Stacked = FStacked;
    s.ShowPercentage = FShowPercentage;
    s.ShowPosition = FShowPosition;
    s.Font = FFontPercentage.get();
    s.CompletionSmooth = FCompletionSmooth;
    s.ShowGradient = FShowGradient;
    s.Steps = FSteps;
    s.Position = Percentage();
    s.Value = FPosition;
    s.Max = FMax;
    s.BackgroundColor = FBackgroundColor;
    s.Orientation = FOrientation;
    s.Rounded = FRounded;
    s.Format = FFormat;
    s.Infinite = FInfinite;
    s.InfinitePos = FInfinitePos;
    return s;
}

void TStProgressBar::Paint(TCanvas& canvas) {
    if (Width() <= 0 || Height() <= 0)
        return;
    TBitmap bmp(Width(), Height());
    DrawGauge(*bmp.Canvas(), ClientRect(), Settings());
    if (FRounded) {
        // The magenta corners outside the rounded outline let the parent show through.
        bmp.SetTransparentColor(clFuchsia);
        bmp.SetTransparent(true);
    }
    canvas.Draw(0, 0, &bmp);
}

} // namespace kv
