// The delay page: each channel's delay by fader, by dragging its indicator along the delay line or as a
// typed value, and the unit delays are shown and typed in. Delays travel in samples (96 per ms); the unit
// changes only the texts. A delay goes to the edited channel's link group, whose controls all show it.

#include "app/FMain.h"

#include "panels/PkBmpButton.h"
#include "platform/core/Numbers.h"
#include "platform/gui/StdPanels.h"
#include "styled/RoundControls.h"
#include "styled/StTrackBar.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace kv;

namespace {

constexpr int kMaxDelaySamples = 65280;

// The grab zone of an indicator, in its line label's pixels: 25 pixels left of the indicator's left
// (which counts in the panel, where the line starts 40 pixels in), at the line's middle height.
bool InGrabZone(int x, int y, int indicatorLeft, int lineHeight) {
    return std::abs(x - indicatorLeft + 25) < 15 && std::abs(y - lineHeight / 2) < 15;
}

} // namespace

void TfmMain::PublishDelay(TClassBuilder<TfmMain>& b) {
    b.Method<TNotifyEvent>("isDelayInAChange", &TfmMain::isDelayInAChange);
    b.Method<TKeyEvent>("cvdDelayInBKeyDown", &TfmMain::cvdDelayInBKeyDown);
    b.Method<TNotifyEvent>("cvdDelayInAExit", &TfmMain::cvdDelayInAExit);
    b.Method<TNotifyEvent>("pkbUnit0Click", &TfmMain::pkbUnit0Click);
    b.Method<TMouseEvent>("lbDelayLineInAMouseDown", &TfmMain::lbDelayLineInAMouseDown);
    b.Method<TMouseMoveEvent>("lbDelayLineInAMouseMove", &TfmMain::lbDelayLineInAMouseMove);
    b.Method<TMouseEvent>("lbDelayLineInAMouseUp", &TfmMain::lbDelayLineInAMouseUp);
}

int TfmMain::DelayIndicatorLeft(int samples, int lineWidth, int faderMax) {
    if (faderMax <= 0)
        return 40;
    // Widened: the product outgrows an int on a very wide line.
    return static_cast<int>(static_cast<long long>(samples) * (lineWidth - 90) / faderMax + 40);
}

int TfmMain::DelayUnit() const {
    const int unit = unitControl ? unitControl->GetDelayUnit() : 0;
    // The delay texts show any other unit word in ms; typed values follow them.
    return unit <= 2 ? unit : 0;
}

void TfmMain::PlaceDelayIndicator(int channel) {
    auto* indicator = Companion<TImage>("imDelay", channel);
    auto* line = Companion<TLabel>("lbDelayLine", channel);
    auto* time = Companion<TLabel>("lbFftDelayTime", channel);
    if (!indicator || !line || !time)
        return;
    time->SetLeft(indicator->Left() + indicator->Width());
    time->SetTop(indicator->Top() + indicator->Height() / 4);
    line->SetCaption(DelayLineText(indicator->Left()));
}

void TfmMain::isDelayInAChange(TObject* sender) {
    auto* fader = dynamic_cast<TStTrackBar*>(sender);
    if (updatingView || !fader || !unitControl)
        return;
    const int c = fader->Tag();
    auto* box = Companion<TRoundEdit>("cvdDelay", c);
    auto* indicator = Companion<TImage>("imDelay", c);
    auto* line = Companion<TLabel>("lbDelayLine", c);
    auto* time = Companion<TLabel>("lbFftDelayTime", c);
    if (!box || !indicator || !line || !time)
        return;
    const int samples = std::clamp(fader->Position(), 0, kMaxDelaySamples);
    const int left = DelayIndicatorLeft(samples, line->Width(), fader->Max());
    indicator->SetLeft(left);
    time->SetLeft(left + indicator->Width());
    time->SetTop(indicator->Top() + indicator->Height() / 4);
    const std::string text = DelayText(samples, DelayUnit());
    box->SetText(text);
    time->SetCaption(text);
    unitControl->SetDelay(c, static_cast<uint16_t>(samples));
    // The whole group shows it, this channel's line included.
    MirrorDelayToLinked(c, samples, left);
}

// ---- Unit ---------------------------------------------------------------------------------------------

void TfmMain::pkbUnit0Click(TObject* sender) {
    auto* button = dynamic_cast<TControl*>(sender);
    if (!button)
        return;
    const int unit = button->Tag();
    if (unit < 0 || unit > 2)
        return;
    // Runs while the panels are filled too: the refresh clicks the stored unit's button for these texts.
    for (int c = 0; c <= 5; ++c) {
        auto* box = Companion<TRoundEdit>("cvdDelay", c);
        auto* fader = Companion<TStTrackBar>("isDelay", c);
        auto* time = Companion<TLabel>("lbFftDelayTime", c);
        if (!box || !fader || !time)
            return;
        const std::string text = DelayText(fader->Position(), unit);
        box->SetText(text);
        time->SetCaption(text);
    }
    if (!updatingView && unitControl)
        unitControl->SetDelayUnit(static_cast<uint16_t>(unit));
}

// ---- Typed delays -------------------------------------------------------------------------------------

std::optional<int> TfmMain::TypedDelaySamples(std::string text, int unit) {
    // The unit word's forms, each stripped from the end when the text contains it anywhere.
    static constexpr std::array<std::array<const char*, 4>, 3> kUnitWords = {{
        {"ms", "Ms", "mS", "MS"},
        {"m", "M", nullptr, nullptr},
        {"ft", "Ft", "fT", "FT"},
    }};
    if (unit < 0 || unit > 2)
        return std::nullopt;
    for (const char* word : kUnitWords[static_cast<size_t>(unit)])
        if (word && text.find(word) != std::string::npos)
            text.resize(text.size() - std::strlen(word));
    // Digits and points only: no sign, no blank.
    if (text.empty() || !IsNumericText(text))
        return std::nullopt;
    // "." and "1.2.3" pass that check and still are no number.
    const std::optional<double> value = ParseDouble(text);
    if (!value)
        return std::nullopt;
    return std::clamp(DelayToSamples(*value, unit), 0, kMaxDelaySamples);
}

void TfmMain::TypedDelay(TObject* sender) {
    auto* box = dynamic_cast<TRoundEdit*>(sender);
    if (!box)
        return;
    auto* fader = Companion<TStTrackBar>("isDelay", box->Tag());
    if (!fader)
        return;
    const int unit = DelayUnit();
    const std::optional<int> samples = TypedDelaySamples(box->GetText(), unit);
    box->SetText("");
    // As if the fader had moved there: its change stores, sends and shows the delay (an unchanged
    // position sends nothing).
    if (samples)
        fader->SetPosition(*samples);
    box->SetText(DelayText(fader->Position(), unit));
    if (!samples)
        PressEndKey(*box);
}

void TfmMain::cvdDelayInBKeyDown(TObject* sender, std::uint16_t& key, TShiftState) {
    if (key == VK_RETURN)
        TypedDelay(sender);
}

void TfmMain::cvdDelayInAExit(TObject* sender) {
    TypedDelay(sender);
}

// ---- Dragging the indicator ---------------------------------------------------------------------------

void TfmMain::lbDelayLineInAMouseDown(TObject* sender, TMouseButton, TShiftState, int x, int y) {
    auto* line = dynamic_cast<TLabel*>(sender);
    auto* indicator = line ? Companion<TImage>("imDelay", line->Tag()) : nullptr;
    if (indicator && InGrabZone(x, y, indicator->Left(), line->Height()))
        delayDragging = 1;
}

void TfmMain::lbDelayLineInAMouseMove(TObject* sender, TShiftState, int x, int y) {
    auto* line = dynamic_cast<TLabel*>(sender);
    if (!line)
        return;
    const int c = line->Tag();
    if (!delayDragging) {
        auto* indicator = Companion<TImage>("imDelay", c);
        if (indicator)
            line->SetCursor(InGrabZone(x, y, indicator->Left(), line->Height()) ? crHandPoint : crDefault);
        return;
    }
    auto* fader = Companion<TStTrackBar>("isDelay", c);
    const int span = line->Width() - 90;
    if (!fader || span <= 0)
        return;
    // The indicator's left follows the pointer 15 pixels to its right, up to the line's end.
    const int a = std::min(x, line->Width() - 75) - 15;
    // A move left of the line's start goes below 0, which the fader clamps.
    fader->SetPosition(static_cast<int>(static_cast<long long>(a) * fader->Max() / span));
    line->SetCaption(DelayLineText(a + 40));
}

// A drag ends with the button's release on any delay line.
void TfmMain::lbDelayLineInAMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
    delayDragging = 0;
}
