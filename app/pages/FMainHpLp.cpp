// The PEQ page's high-pass (low cut) and low-pass (high cut) editors: frequency faders stored and sent at
// once with the curve drawn on the next 1 ms tick, slope lists and bypass buttons stored, sent and drawn at
// once.

#include "app/pages/PeqPage.h"

#include "app/TimerComponent.h"
#include "controls/LMyFFTDrawHpLp6dB.h"
#include "link/Scales.h"
#include "panels/PkBmpButton.h"
#include "panels/PkComboBox.h"
#include "styled/RoundControls.h"
#include "styled/StTrackBar.h"

using namespace kv;

int TPeqPage::SlopeCodeOf(const TPkBmpButton* bypass, const TPkComboBox* slope) {
    if (!bypass || !slope || bypass->Down())
        return 0;
    return std::clamp(slope->ItemIndex(), 0, 19) + 1;
}

void TPeqPage::DrawFilter(int channel, bool highPass, int slopeCode, double frequency) {
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
    if (auto* graph = At(channel).graph)
        graph->UpdateCurvePage();
}

FilterRecord TPeqPage::FilterRecordWith(int channel, bool highPass, int frequencyIndex, int slopeCode) const {
    FilterRecord record = w.UnitControl()->GetFilters(channel);
    if (highPass) {
        record.hpFreq = static_cast<uint16_t>(frequencyIndex);
        record.hpSlope = static_cast<uint8_t>(slopeCode);
    } else {
        record.lpFreq = static_cast<uint16_t>(frequencyIndex);
        record.lpSlope = static_cast<uint8_t>(slopeCode);
    }
    return record;
}

void TPeqPage::StoreFilter(int channel, bool highPass, const FilterRecord& record) {
    if (highPass)
        w.UnitControl()->SetHighPass(channel, record);
    else
        w.UnitControl()->SetLowPass(channel, record);
}

void TPeqPage::QueueFilterCurve(int channel, bool highPass, double frequency, int slopeCode) {
    pendingEdit.filter = PendingEdit{};
    pendingEdit.filter.kind = highPass ? 1 : 0;
    pendingEdit.filter.channel = channel;
    pendingEdit.filter.frequency = static_cast<float>(frequency);
    pendingEdit.filter.slope = slopeCode;
    if (tmHpLpCurve)
        tmHpLpCurve->SetEnabled(true);
}

void TPeqPage::FilterFrequencyEdit(TObject* sender, bool highPass) {
    auto* fader = dynamic_cast<TStTrackBar*>(sender);
    if (w.IsUpdatingView() || !fader || !w.UnitControl())
        return;
    const int c = fader->Tag();
    const FilterControls& k = At(c).Filter(highPass);
    auto* box = k.box;
    auto* slope = k.slope;
    auto* bypass = k.bypass;
    if (!box || !slope || !bypass)
        return;
    const int position = std::clamp(fader->Position(), 0, 300);
    const auto f = static_cast<float>(IndexToFreq(position));
    box->SetText(FaderFreqText(f));
    const int code = SlopeCodeOf(bypass, slope);
    const FilterRecord record = FilterRecordWith(c, highPass, position, code);
    QueueFilterCurve(c, highPass, f, code);
    // The model and the unit follow at once; only the curve waits for the tick.
    StoreFilter(c, highPass, record);
}

void TPeqPage::FilterSlopeEdit(TObject* sender, bool highPass) {
    auto* control = dynamic_cast<TControl*>(sender);
    if (!control || !w.UnitControl())
        return;
    const int c = control->Tag();
    const FilterControls& k = At(c).Filter(highPass);
    auto* fader = k.fader;
    auto* slope = k.slope;
    auto* bypass = k.bypass;
    if (!fader || !slope || !bypass)
        return;
    const int position = std::clamp(fader->Position(), 0, 300);
    const int code = SlopeCodeOf(bypass, slope);
    const FilterRecord record = FilterRecordWith(c, highPass, position, code);
    DrawFilter(c, highPass, code, IndexToFreq(position));
    if (!w.IsUpdatingView())
        StoreFilter(c, highPass, record);
}

void TPeqPage::isLowCutFreqInAChange(TObject* sender) {
    FilterFrequencyEdit(sender, true);
}

void TPeqPage::isHighCutFreqInAChange(TObject* sender) {
    FilterFrequencyEdit(sender, false);
}

void TPeqPage::tmHpLpCurveTimer(TObject*) {
    if (tmHpLpCurve)
        tmHpLpCurve->SetEnabled(false);
    const PendingEdit e = pendingEdit.filter;
    DrawFilter(e.channel, e.kind == 1, e.slope, e.frequency);
}

void TPeqPage::pkcLowCutSlopInAChange(TObject* sender) {
    FilterSlopeEdit(sender, true);
}

void TPeqPage::pkcHighCutSlopInAChange(TObject* sender) {
    FilterSlopeEdit(sender, false);
}

void TPeqPage::pkbLowCutBypassInAClick(TObject* sender) {
    FilterSlopeEdit(sender, true);
}

void TPeqPage::pkbHighCutBypassInAClick(TObject* sender) {
    FilterSlopeEdit(sender, false);
}

// The wheel never changes a slope: a turn over the list while scrolling the page would send one.
void TPeqPage::pkcLowCutSlopInAMouseWheel(TObject*, TShiftState, int, TPoint, bool& handled) {
    handled = true;
}

void TPeqPage::pkcHighCutSlopInAMouseWheel(TObject*, TShiftState, int, TPoint, bool& handled) {
    handled = true;
}
