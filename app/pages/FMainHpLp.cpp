// The high-pass (low cut) and low-pass (high cut) editors: frequency faders stored and sent at once with
// the curve drawn on the next 1 ms tick, slope lists and bypass buttons stored, sent and drawn at once.

#include "app/FMain.h"

#include "app/TimerComponent.h"
#include "controls/LMyFFTDrawHpLp6dB.h"
#include "link/Scales.h"
#include "panels/PkBmpButton.h"
#include "panels/PkComboBox.h"
#include "styled/RoundControls.h"
#include "styled/StTrackBar.h"

using namespace kv;

namespace {

// Control stems of the two filters: the high-pass is named low cut, the low-pass high cut.
const char* FilterWord(bool highPass) {
    return highPass ? "LowCut" : "HighCut";
}

} // namespace

int TfmMain::SlopeCodeOf(const TPkBmpButton* bypass, const TPkComboBox* slope) {
    if (!bypass || !slope || bypass->Down())
        return 0;
    return std::clamp(slope->ItemIndex(), 0, 19) + 1;
}

void TfmMain::DrawFilter(int channel, bool highPass, int slopeCode, double frequency) {
    ComputeFilterCurve(highPass, slopeCode, frequency, SECTION_HIGH_PASS, channel);
    Plot* plot = CurvePlot(channel);
    if (!plot || channel < 0 || channel > 5)
        return;
    // The selected-band display shows the filter's whole curve: the frequency alone for the high-pass,
    // a Q line of 0 above the frequency for the low-pass.
    if (highPass)
        plot->DrawSectionParam(5, SECTION_HIGH_PASS, 0.0, 0.0, true);
    else
        plot->DrawSectionParam(6, SECTION_LOW_PASS, 0.0, 0.0, true);
    plot->DrawTotalCurve(channel);
    if (auto* graph = ChannelGraph(channel))
        graph->UpdateCurvePage();
}

FilterRecord TfmMain::FilterRecordWith(int channel, bool highPass, int frequencyIndex, int slopeCode) const {
    FilterRecord record = unitControl->GetFilters(channel);
    if (highPass) {
        record.hpFreq = static_cast<uint16_t>(frequencyIndex);
        record.hpSlope = static_cast<uint8_t>(slopeCode);
    } else {
        record.lpFreq = static_cast<uint16_t>(frequencyIndex);
        record.lpSlope = static_cast<uint8_t>(slopeCode);
    }
    return record;
}

void TfmMain::StoreFilter(int channel, bool highPass, const FilterRecord& record) {
    if (highPass)
        unitControl->SetHighPass(channel, record);
    else
        unitControl->SetLowPass(channel, record);
}

void TfmMain::FilterFrequencyEdit(TObject* sender, bool highPass) {
    auto* fader = dynamic_cast<TStTrackBar*>(sender);
    if (updatingView || !fader || !unitControl)
        return;
    const int c = fader->Tag();
    const std::string word = FilterWord(highPass);
    auto* box = Companion<TRoundEdit>("cvd" + word + "Freq", c);
    auto* slope = Companion<TPkComboBox>("pkc" + word + "Slop", c);
    auto* bypass = Companion<TPkBmpButton>("pkb" + word + "Bypass", c);
    if (!box || !slope || !bypass)
        return;
    const int position = std::clamp(fader->Position(), 0, 300);
    const auto f = static_cast<float>(IndexToFreq(position));
    box->SetText(FaderFreqText(f));
    const int code = SlopeCodeOf(bypass, slope);
    const FilterRecord record = FilterRecordWith(c, highPass, position, code);
    pendingEdit.filter = PendingEdit{};
    pendingEdit.filter.kind = highPass ? 1 : 0;
    pendingEdit.filter.channel = c;
    pendingEdit.filter.frequency = f;
    pendingEdit.filter.slope = code;
    EnableTimer("tmHpLpCurve");
    // The model and the unit follow at once; only the curve waits for the tick.
    StoreFilter(c, highPass, record);
}

void TfmMain::FilterSlopeEdit(TObject* sender, bool highPass) {
    auto* control = dynamic_cast<TControl*>(sender);
    if (!control || !unitControl)
        return;
    const int c = control->Tag();
    const std::string word = FilterWord(highPass);
    auto* fader = Companion<TStTrackBar>("is" + word + "Freq", c);
    auto* slope = Companion<TPkComboBox>("pkc" + word + "Slop", c);
    auto* bypass = Companion<TPkBmpButton>("pkb" + word + "Bypass", c);
    if (!fader || !slope || !bypass)
        return;
    const int position = std::clamp(fader->Position(), 0, 300);
    const int code = SlopeCodeOf(bypass, slope);
    const FilterRecord record = FilterRecordWith(c, highPass, position, code);
    DrawFilter(c, highPass, code, IndexToFreq(position));
    if (!updatingView)
        StoreFilter(c, highPass, record);
}

void TfmMain::isLowCutFreqInAChange(TObject* sender) {
    FilterFrequencyEdit(sender, true);
}

void TfmMain::isHighCutFreqInAChange(TObject* sender) {
    FilterFrequencyEdit(sender, false);
}

void TfmMain::tmHpLpCurveTimer(TObject*) {
    if (auto* t = Find<kv::TTimer>("tmHpLpCurve"))
        t->SetEnabled(false);
    const PendingEdit e = pendingEdit.filter;
    DrawFilter(e.channel, e.kind == 1, e.slope, e.frequency);
}

void TfmMain::pkcLowCutSlopInAChange(TObject* sender) {
    FilterSlopeEdit(sender, true);
}

void TfmMain::pkcHighCutSlopInAChange(TObject* sender) {
    FilterSlopeEdit(sender, false);
}

void TfmMain::pkbLowCutBypassInAClick(TObject* sender) {
    FilterSlopeEdit(sender, true);
}

void TfmMain::pkbHighCutBypassInAClick(TObject* sender) {
    FilterSlopeEdit(sender, false);
}

// The wheel never changes a slope: a turn over the list while scrolling the page would send one.
void TfmMain::pkcLowCutSlopInAMouseWheel(TObject*, TShiftState, int, TPoint, bool& handled) {
    handled = true;
}

void TfmMain::pkcHighCutSlopInAMouseWheel(TObject*, TShiftState, int, TPoint, bool& handled) {
    handled = true;
}
