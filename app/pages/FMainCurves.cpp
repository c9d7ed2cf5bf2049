// Curve composition of the channel graphs: the high- and low-pass filters as cascades in their
// sections, the PEQ bands and the graphic EQ from the model or the band table, and the PEQ views of the
// six channels (none selected, or band 1 of each).

#include "app/FMain.h"

#include "app/TimerComponent.h"
#include "controls/LMyFFTDrawHpLp6dB.h"
#include "controls/MyPEQType8.h"
#include "link/Scales.h"
#include "link/UnitImage.h"
#include "panels/PkBmpButton.h"

using namespace kv;

void TfmMain::PublishCurves(TClassBuilder<TfmMain>& b) {
    b.Method<TNotifyEvent>("peqPeqInAChange", &TfmMain::peqPeqInAChange);
    b.Method<TMouseEvent>("peqPeqInAEditMouseDown", &TfmMain::peqPeqInAEditMouseDown);
    b.Method<TMouseWheelEvent>("peqPeqInAPeqTypeMouseWheel", &TfmMain::peqPeqInAPeqTypeMouseWheel);
    b.Method<TNotifyEvent>("pkbEq1InAClick", &TfmMain::pkbEq1InAClick);
    b.Method<TNotifyEvent>("isEqFreqInAChange", &TfmMain::isEqFreqInAChange);
    b.Method<TNotifyEvent>("isEqBwInAChange", &TfmMain::isEqBwInAChange);
    b.Method<TNotifyEvent>("isEqGainInAChange", &TfmMain::isEqGainInAChange);
    b.Method<TNotifyEvent>("tmEqCurveTimer", &TfmMain::tmEqCurveTimer);
    b.Method<TKeyEvent>("cvdEqFreqInAKeyDown", &TfmMain::cvdEqFreqInAKeyDown);
    b.Method<TNotifyEvent>("cvdEqFreqInAExit", &TfmMain::cvdEqFreqInAExit);
    b.Method<TNotifyEvent>("ldbEqShowAllInAClick", &TfmMain::ldbEqShowAllInAClick);
    b.Method<TNotifyEvent>("isLowCutFreqInAChange", &TfmMain::isLowCutFreqInAChange);
    b.Method<TNotifyEvent>("isHighCutFreqInAChange", &TfmMain::isHighCutFreqInAChange);
    b.Method<TNotifyEvent>("tmHpLpCurveTimer", &TfmMain::tmHpLpCurveTimer);
    b.Method<TNotifyEvent>("pkcLowCutSlopInAChange", &TfmMain::pkcLowCutSlopInAChange);
    b.Method<TNotifyEvent>("pkcHighCutSlopInAChange", &TfmMain::pkcHighCutSlopInAChange);
    b.Method<TNotifyEvent>("pkbLowCutBypassInAClick", &TfmMain::pkbLowCutBypassInAClick);
    b.Method<TNotifyEvent>("pkbHighCutBypassInAClick", &TfmMain::pkbHighCutBypassInAClick);
    b.Method<TMouseWheelEvent>("pkcLowCutSlopInAMouseWheel", &TfmMain::pkcLowCutSlopInAMouseWheel);
    b.Method<TMouseWheelEvent>("pkcHighCutSlopInAMouseWheel", &TfmMain::pkcHighCutSlopInAMouseWheel);
    b.Method<TMouseEvent>("fftDrawInAMouseDown", &TfmMain::fftDrawInAMouseDown);
    b.Method<TMouseMoveEvent>("fftDrawInAMouseMove", &TfmMain::fftDrawInAMouseMove);
    b.Method<TMouseEvent>("fftDrawInAMouseUp", &TfmMain::fftDrawInAMouseUp);
    b.Method<TNotifyEvent>("tmMouseEqCurveTimer", &TfmMain::tmMouseEqCurveTimer);
}

LMyFFTDrawHpLp6dB* TfmMain::ChannelGraph(int channel) const {
    return Companion<LMyFFTDrawHpLp6dB>("fftDraw", channel);
}

TPeqBandTable* TfmMain::BandTable(int channel) const {
    return Companion<TMyPEQType8>("peqPeq", channel);
}

int TfmMain::SelectedBand(const TPeqBandTable* table) {
    if (!table)
        return -1;
    const int row = table->GetNowIndex();
    const int rows = std::min(table->GetChannelNumber(), SECTION_HIGH_PASS);
    return row >= 0 && row < rows ? row : -1;
}

void TfmMain::EnableTimer(const char* name) const {
    if (auto* t = Find<kv::TTimer>(name))
        t->SetEnabled(true);
}

void TfmMain::ComputeFilterCurve(bool highPass, int slopeCode, double frequency, int base, int channel) {
    if (channel < 0 || channel > 5)
        return;
    if (Plot* plot = CurvePlot(channel))
        plot->ComputeFilterCurve(highPass, slopeCode, frequency, base);
}

namespace {

// The channel of a channel graph (its Tag), -1 for anything else.
int GraphChannel(const LMyFFTDrawHpLp6dB* graph) {
    return graph && graph->Tag() >= 0 && graph->Tag() <= 5 ? static_cast<int>(graph->Tag()) : -1;
}

} // namespace

void TfmMain::ComputeFilterOf(LMyFFTDrawHpLp6dB* graph, bool highPass) {
    const int ch = GraphChannel(graph);
    if (ch < 0 || !unitControl)
        return;
    const FilterRecord f = unitControl->GetFilters(ch);
    ComputeFilterCurve(highPass, highPass ? f.hpSlope : f.lpSlope,
                       IndexToFreq(highPass ? f.hpFreq : f.lpFreq), SECTION_HIGH_PASS, ch);
    CurvePlot(ch)->DrawTotalCurve(ch);
}

void TfmMain::ComputeHighPassCurve(LMyFFTDrawHpLp6dB* graph) {
    ComputeFilterOf(graph, true);
}

void TfmMain::ComputeLowPassCurve(LMyFFTDrawHpLp6dB* graph) {
    ComputeFilterOf(graph, false);
}

void TfmMain::ComputeGeqCurve(LMyFFTDrawHpLp6dB* graph) {
    LMyFFTDrawHpLp6dB* g = graph;
    if (!g || (g->Tag() != 8 && g->Tag() != 9) || !unitControl)
        return;
    Plot* plot = CurvePlot(g->Tag());
    if (!plot)
        return;
    const int input = g->Tag() - 8;
    for (int i = 0; i < static_cast<int>(GEQ_CENTRE_HZ.size()); ++i)
        SetSection(plot->Section(i), IndexToGain(unitControl->GetGeqBand(input, i)),
                   GEQ_CENTRE_HZ[static_cast<size_t>(i)], GEQ_BAND_Q, ST_PEAK);
    plot->DrawTotalCurve(g->Tag());
    g->UpdateCurvePage();
}

void TfmMain::ComputePeqCurve(LMyFFTDrawHpLp6dB* graph) {
    const int ch = GraphChannel(graph);
    TPeqBandTable* table = BandTable(ch);
    Plot* plot = CurvePlot(ch);
    if (ch < 0 || !table || !plot)
        return;
    const int rows = std::min(table->GetChannelNumber(), SECTION_HIGH_PASS);
    for (int r = 0; r < rows; ++r) {
        const double f = table->GetFreqValue(r);
        const double g = table->GetGainValue(r);
        const double q = table->GetQValue(r);
        const int t = table->GetTypeValue(r);
        if (table->GetBypassValue(r) || t < 0 || t >= static_cast<int>(PEQ_TYPE_SECTION.size()))
            SetSection(plot->Section(r), 0.0, f, q, ST_FLAT);
        else
            SetSection(plot->Section(r), g, f, q, PEQ_TYPE_SECTION[static_cast<size_t>(t)]);
        // A bypassed band's handle stays at its gain while its section is flat.
        plot->DrawSectionBlock(r, static_cast<float>(g), BLOCK_CIRCLE);
    }
    plot->DrawTotalCurve(ch);
}

void TfmMain::ResetPeqViews() {
    for (int ch = 0; ch <= 5; ++ch) {
        TPeqBandTable* table = BandTable(ch);
        if (!table)
            return;
        const int selected = SelectedBand(table);
        auto* button =
            Companion<TPkBmpButton>("pkbEq" + std::to_string((selected < 0 ? 0 : selected) + 1), ch);
        if (!button)
            return;
        ReleaseBandButton(button);
        ShowPeqBandControls(ch, false, 0.4, 0.0, 19.7);
        table->SetNowIndex(15);
        table->SetNowIndex(-1);
        if (Plot* plot = CurvePlot(ch)) {
            plot->DrawSectionParam(1, 0, 0.0, 0.4, false);
            plot->DrawTotalCurve(ch);
        }
        if (auto* graph = ChannelGraph(ch))
            graph->UpdateCurvePage();
    }
}

void TfmMain::ReleaseBandButton(TPkBmpButton* button) {
    if (!button)
        return;
    // The band buttons of a channel form a group that never lets all of them up on a click; released
    // from here, that rule is lifted for the moment.
    const bool allUp = button->AllowAllUp();
    button->SetAllowAllUp(true);
    button->SetDown(false);
    button->SetAllowAllUp(allUp);
}

void TfmMain::ShowAllPeqBands() {
    for (int ch = 0; ch <= 5; ++ch) {
        TPeqBandTable* table = BandTable(ch);
        auto* button = Companion<TPkBmpButton>("pkbEq1", ch);
        if (!table || !button)
            return;
        button->SetDown(true);
        const double f = table->GetFreqValue(0);
        const double g = table->GetGainValue(0);
        const double q = table->GetQValue(0);
        const int t = table->GetTypeValue(0);
        table->SetNowIndex(0);
        ShowPeqBandControls(ch, true, q, g, f);
        DrawSelectedBand(ch, 0, g, q, t);
    }
}

void TfmMain::DrawSelectedBand(int channel, int band, double gain, double q, int type) {
    if (Plot* plot = CurvePlot(channel)) {
        plot->DrawSectionBlock(band, static_cast<float>(gain), BLOCK_CIRCLE);
        plot->DrawSectionParam(type, band, gain, q, true);
        plot->DrawTotalCurve(channel);
    }
    if (auto* graph = ChannelGraph(channel))
        graph->UpdateCurvePage();
}
