// The delay page: each channel's delay by fader, by dragging its indicator along the delay line or as a
// typed value, and the unit delays are shown and typed in. Delays travel in samples (96 per ms); the unit
// changes only the texts. A delay goes to the edited channel's link group, whose controls all show it.

#include "app/pages/DelayPage.h"

#include "app/pages/LinkingPage.h"
#include "link/Scales.h"
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

static TDelayPage* DelayOf(TfmMain& w) {
    return &w.Delay();
}

void TDelayPage::Publish(TClassBuilder<TfmMain>& b) {
    b.Forward<TNotifyEvent>("isDelayInAChange", DelayOf, &TDelayPage::isDelayInAChange);
    b.Forward<TKeyEvent>("cvdDelayInBKeyDown", DelayOf, &TDelayPage::cvdDelayInBKeyDown);
    b.Forward<TNotifyEvent>("cvdDelayInAExit", DelayOf, &TDelayPage::cvdDelayInAExit);
    b.Forward<TNotifyEvent>("pkbUnit0Click", DelayOf, &TDelayPage::pkbUnit0Click);
    b.Forward<TMouseEvent>("lbDelayLineInAMouseDown", DelayOf, &TDelayPage::lbDelayLineInAMouseDown);
    b.Forward<TMouseMoveEvent>("lbDelayLineInAMouseMove", DelayOf, &TDelayPage::lbDelayLineInAMouseMove);
    b.Forward<TMouseEvent>("lbDelayLineInAMouseUp", DelayOf, &TDelayPage::lbDelayLineInAMouseUp);
}

void TDelayPage::Bind() {
    BindSix(faders, "isDelay");
    BindSix(boxes, "cvdDelay");
    BindSix(indicators, "imDelay");
    BindSix(lines, "lbDelayLine");
    BindSix(times, "lbFftDelayTime");
    for (size_t unit = 0; unit < unitButtons.size(); ++unit)
        BindOne(unitButtons[unit], "pkbUnit" + std::to_string(unit));
}

int TDelayPage::DelayIndicatorLeft(int samples, int lineWidth, int faderMax) {
    if (faderMax <= 0)
        return 40;
    // Widened: the product outgrows an int on a very wide line.
    return static_cast<int>(static_cast<long long>(samples) * (lineWidth - 90) / faderMax + 40);
}

int TDelayPage::DelayUnit() const {
    const int unit = Model() ? Model()->GetDelayUnit() : 0;
    // The delay texts show any other unit word in ms; typed values follow them.
    return unit <= 2 ? unit : 0;
}

void TDelayPage::PlaceDelayIndicator(int channel) {
    auto* indicator = At(indicators, channel);
    auto* line = At(lines, channel);
    auto* time = At(times, channel);
    if (!indicator || !line || !time)
        return;
    time->SetLeft(indicator->Left() + indicator->Width());
    time->SetTop(indicator->Top() + indicator->Height() / 4);
    line->SetCaption(DelayLineText(indicator->Left()));
}

void TDelayPage::isDelayInAChange(TObject* sender) {
    auto* fader = dynamic_cast<TStTrackBar*>(sender);
    if (Updating() || !fader || !Model())
        return;
    const int c = fader->Tag();
    auto* box = At(boxes, c);
    auto* indicator = At(indicators, c);
    auto* line = At(lines, c);
    auto* time = At(times, c);
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
    Model()->SetDelay(c, static_cast<uint16_t>(samples));
    // The whole group shows it, this channel's line included.
    w.Linking().MirrorDelayToLinked(c, samples, left);
}

// ---- Unit ---------------------------------------------------------------------------------------------

void TDelayPage::pkbUnit0Click(TObject* sender) {
    auto* button = dynamic_cast<TControl*>(sender);
    if (!button)
        return;
    const int unit = button->Tag();
    if (unit < 0 || unit > 2)
        return;
    // Runs while the panels are filled too: the refresh clicks the stored unit's button for these texts.
    for (int c = 0; c <= 5; ++c) {
        auto* box = At(boxes, c);
        auto* fader = At(faders, c);
        auto* time = At(times, c);
        if (!box || !fader || !time)
            return;
        const std::string text = DelayText(fader->Position(), unit);
        box->SetText(text);
        time->SetCaption(text);
    }
    if (!Updating() && Model())
        Model()->SetDelayUnit(static_cast<uint16_t>(unit));
}

// ---- Typed delays -------------------------------------------------------------------------------------

std::string TDelayPage::DelayLineText(int indicatorLeft) {
    return std::string(static_cast<size_t>(std::clamp((indicatorLeft - 40) / 6, 0, 132)), '-');
}

bool TDelayPage::ShowDelay(int channel, int samples, int indicatorLeft, const std::string& text,
                           const std::string& dashes) {
    auto* box = At(boxes, channel);
    auto* fader = At(faders, channel);
    auto* indicator = At(indicators, channel);
    auto* time = At(times, channel);
    auto* line = At(lines, channel);
    if (!box || !fader || !indicator || !time || !line)
        return false;
    indicator->SetLeft(indicatorLeft);
    time->SetLeft(indicatorLeft + indicator->Width());
    line->SetCaption(dashes);
    box->SetText(text);
    time->SetCaption(text);
    fader->SetPosition(samples);
    return true;
}

std::optional<int> TDelayPage::TypedDelaySamples(std::string text, int unit) {
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

void TDelayPage::TypedDelay(TObject* sender) {
    auto* box = dynamic_cast<TRoundEdit*>(sender);
    if (!box)
        return;
    auto* fader = At(faders, box->Tag());
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

void TDelayPage::cvdDelayInBKeyDown(TObject* sender, std::uint16_t& key, TShiftState) {
    if (key == VK_RETURN)
        TypedDelay(sender);
}

void TDelayPage::cvdDelayInAExit(TObject* sender) {
    TypedDelay(sender);
}

// ---- Dragging the indicator ---------------------------------------------------------------------------

void TDelayPage::lbDelayLineInAMouseDown(TObject* sender, TMouseButton, TShiftState, int x, int y) {
    auto* line = dynamic_cast<TLabel*>(sender);
    auto* indicator = line ? At(indicators, line->Tag()) : nullptr;
    if (indicator && InGrabZone(x, y, indicator->Left(), line->Height()))
        dragging = true;
}

void TDelayPage::lbDelayLineInAMouseMove(TObject* sender, TShiftState, int x, int y) {
    auto* line = dynamic_cast<TLabel*>(sender);
    if (!line)
        return;
    const int c = line->Tag();
    if (!dragging) {
        auto* indicator = At(indicators, c);
        if (indicator)
            line->SetCursor(InGrabZone(x, y, indicator->Left(), line->Height()) ? crHandPoint : crDefault);
        return;
    }
    auto* fader = At(faders, c);
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
void TDelayPage::lbDelayLineInAMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
    dragging = false;
}

void TDelayPage::FillDelay(TFill& f, int channel, int samples) {
    const int delay = f.Fader(At(faders, channel), samples);
    auto* fader = f.Take(At(faders, channel));
    auto* indicator = f.Take(At(indicators, channel));
    auto* line = f.Take(At(lines, channel));
    if (!f.ok())
        return;
    indicator->SetLeft(DelayIndicatorLeft(delay, line->Width(), fader->Max()));
}

void TDelayPage::FillUnit(TFill& f, unsigned unit) {
    if (unit >= unitButtons.size())
        return;
    if (auto* b = f.Take(unitButtons[unit])) {
        b->SetDown(true);
        b->Click();
    }
}
