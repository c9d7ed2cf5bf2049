#pragma once
// The delay page: each channel's delay by fader, by dragging its indicator along the delay line or as a
// typed value, and the unit delays are shown and typed in.

#include "app/pages/Page.h"

namespace kv {
class TImage;
class TPkBmpButton;
class TLabel;
class TRoundEdit;
class TStTrackBar;
} // namespace kv

class TDelayPage : public TPage {
public:
    using TPage::TPage;
    static void Publish(kv::TClassBuilder<TfmMain>& b);
    void Bind() override;

    void isDelayInAChange(kv::TObject* sender);
    void cvdDelayInBKeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdDelayInAExit(kv::TObject* sender);
    void pkbUnit0Click(kv::TObject* sender);
    // Dragging the indicator along a delay line: the three mouse events of the line labels.
    void lbDelayLineInAMouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift, int x,
                                 int y);
    void lbDelayLineInAMouseMove(kv::TObject* sender, kv::TShiftState shift, int x, int y);
    void lbDelayLineInAMouseUp(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift, int x,
                               int y);

    // Puts the channel's delay time label beside its indicator and writes its dashed line for the
    // indicator's current left; the refresh and the resize call it.
    void PlaceDelayIndicator(int channel);
    // A channel's delay shown on its fader, box, indicator, time label and line, sending nothing (the link
    // group's mirror); false when one of them is missing.
    bool ShowDelay(int channel, int samples, int indicatorLeft, const std::string& text,
                   const std::string& line);
    // The refresh: a channel's delay fader and indicator, and the unit's button, as if clicked (its
    // handler writes every delay text in that unit).
    void FillDelay(TFill& f, int channel, int samples);
    void FillUnit(TFill& f, unsigned unit);
    // The left of a delay indicator for `samples` on a line `lineWidth` pixels wide, the fader's
    // maximum at 50 pixels before the line's end. The refresh, the resize and the delay editor use it.
    static int DelayIndicatorLeft(int samples, int lineWidth, int faderMax);
    // The dashed delay line of an indicator at `indicatorLeft`: one "-" per 6 pixels beyond 40, at most 132.
    static std::string DelayLineText(int indicatorLeft);
    // Samples (0..65280) of a typed delay in unit 0 ms, 1 m, 2 ft; the unit word may follow the number.
    // None when the text is refused: empty, a sign, a blank, any other character, or no number.
    static std::optional<int> TypedDelaySamples(std::string text, int unit);
    // The unit delays are shown and typed in: the model's, any unknown unit word read as ms.
    int DelayUnit() const;
    bool DelayDragging() const { return dragging; }

private:
    void TypedDelay(kv::TObject* sender);

    TSix<kv::TStTrackBar> faders{};
    TSix<kv::TRoundEdit> boxes{};
    TSix<kv::TImage> indicators{};
    TSix<kv::TLabel> lines{}, times{};
    std::array<kv::TPkBmpButton*, 3> unitButtons{};
    bool dragging = false;
};
