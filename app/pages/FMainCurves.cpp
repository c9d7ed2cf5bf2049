// The PEQ page's controls and curve composition: the high- and low-pass filters as cascades in their
// sections, the PEQ bands from the model or the band table, and the PEQ views of the six channels (none
// selected, or band 1 of each).

#include "app/pages/PeqPage.h"

#include "app/TimerComponent.h"
#include "controls/LMyFFTDrawHpLp6dB.h"
#include "controls/MyPEQType8.h"
#include "link/Scales.h"
#include "link/UnitImage.h"
#include "panels/PkBmpButton.h"
#include "panels/PkComboBox.h"
#include "styled/RoundControls.h"
#include "styled/StTrackBar.h"

using namespace kv;

namespace {

TPeqPage* PeqOf(TfmMain& w) {
    return &w.Peq();
}

} // namespace

void TPeqPage::Publish(TClassBuilder<TfmMain>& b) {
    b.Forward<TNotifyEvent>("peqPeqInAChange", PeqOf, &TPeqPage::peqPeqInAChange);
    b.Forward<TMouseEvent>("peqPeqInAEditMouseDown", PeqOf, &TPeqPage::peqPeqInAEditMouseDown);
    b.Forward<TMouseWheelEvent>("peqPeqInAPeqTypeMouseWheel", PeqOf, &TPeqPage::peqPeqInAPeqTypeMouseWheel);
    b.Forward<TNotifyEvent>("pkbEq1InAClick", PeqOf, &TPeqPage::pkbEq1InAClick);
    b.Forward<TNotifyEvent>("isEqFreqInAChange", PeqOf, &TPeqPage::isEqFreqInAChange);
    b.Forward<TNotifyEvent>("isEqBwInAChange", PeqOf, &TPeqPage::isEqBwInAChange);
    b.Forward<TNotifyEvent>("isEqGainInAChange", PeqOf, &TPeqPage::isEqGainInAChange);
    b.Forward<TNotifyEvent>("tmEqCurveTimer", PeqOf, &TPeqPage::tmEqCurveTimer);
    b.Forward<TKeyEvent>("cvdEqFreqInAKeyDown", PeqOf, &TPeqPage::cvdEqFreqInAKeyDown);
    b.Forward<TNotifyEvent>("cvdEqFreqInAExit", PeqOf, &TPeqPage::cvdEqFreqInAExit);
    b.Forward<TNotifyEvent>("ldbEqShowAllInAClick", PeqOf, &TPeqPage::ldbEqShowAllInAClick);
    b.Forward<TNotifyEvent>("isLowCutFreqInAChange", PeqOf, &TPeqPage::isLowCutFreqInAChange);
    b.Forward<TNotifyEvent>("isHighCutFreqInAChange", PeqOf, &TPeqPage::isHighCutFreqInAChange);
    b.Forward<TNotifyEvent>("tmHpLpCurveTimer", PeqOf, &TPeqPage::tmHpLpCurveTimer);
    b.Forward<TNotifyEvent>("pkcLowCutSlopInAChange", PeqOf, &TPeqPage::pkcLowCutSlopInAChange);
    b.Forward<TNotifyEvent>("pkcHighCutSlopInAChange", PeqOf, &TPeqPage::pkcHighCutSlopInAChange);
    b.Forward<TNotifyEvent>("pkbLowCutBypassInAClick", PeqOf, &TPeqPage::pkbLowCutBypassInAClick);
    b.Forward<TNotifyEvent>("pkbHighCutBypassInAClick", PeqOf, &TPeqPage::pkbHighCutBypassInAClick);
    b.Forward<TMouseWheelEvent>("pkcLowCutSlopInAMouseWheel", PeqOf, &TPeqPage::pkcLowCutSlopInAMouseWheel);
    b.Forward<TMouseWheelEvent>("pkcHighCutSlopInAMouseWheel", PeqOf, &TPeqPage::pkcHighCutSlopInAMouseWheel);
    b.Forward<TMouseEvent>("fftDrawInAMouseDown", PeqOf, &TPeqPage::fftDrawInAMouseDown);
    b.Forward<TMouseMoveEvent>("fftDrawInAMouseMove", PeqOf, &TPeqPage::fftDrawInAMouseMove);
    b.Forward<TMouseEvent>("fftDrawInAMouseUp", PeqOf, &TPeqPage::fftDrawInAMouseUp);
    b.Forward<TNotifyEvent>("tmMouseEqCurveTimer", PeqOf, &TPeqPage::tmMouseEqCurveTimer);
}

TPeqPage::TPeqPage(TfmMain& window) : w(window) {}

TPeqPage::~TPeqPage() = default;

void TPeqPage::Bind() {
    // The ten response engines on their graphs, in magnitude mode.
    for (size_t i = 0; i < plots.size(); ++i) {
        if (auto* graph = w.Find<LMyFFTDrawHpLp6dB>(kCurveGraphNames[i])) {
            plots[i] = std::make_unique<Plot>(&graph->Graph());
            plots[i]->SetCurveMode(0);
        }
    }
    for (int c = 0; c <= 5; ++c) {
        Controls& k = channels[static_cast<size_t>(c)];
        k.graph = w.Companion<LMyFFTDrawHpLp6dB>("fftDraw", c);
        k.table = w.Companion<TMyPEQType8>("peqPeq", c);
        for (size_t n = 0; n < k.bandButtons.size(); ++n)
            k.bandButtons[n] = w.Companion<TPkBmpButton>("pkbEq" + std::to_string(n + 1), c);
        k.hint = w.Companion<TControl>("lbFftParam", c);
        k.group = w.Companion<TControl>("pkgFft", c);
        k.eqFreq = w.Companion<TStTrackBar>("isEqFreq", c);
        k.eqBw = w.Companion<TStTrackBar>("isEqBw", c);
        k.eqGain = w.Companion<TStTrackBar>("isEqGain", c);
        k.eqFreqBox = w.Companion<TRoundEdit>("cvdEqFreq", c);
        k.eqBwBox = w.Companion<TRoundEdit>("cvdEqBw", c);
        k.eqGainBox = w.Companion<TRoundEdit>("cvdEqGain", c);
        for (const bool high : {true, false}) {
            const std::string word = high ? "LowCut" : "HighCut";
            FilterControls& f = high ? k.highPass : k.lowPass;
            f.fader = w.Companion<TStTrackBar>("is" + word + "Freq", c);
            f.box = w.Companion<TRoundEdit>("cvd" + word + "Freq", c);
            f.slope = w.Companion<TPkComboBox>("pkc" + word + "Slop", c);
            f.bypass = w.Companion<TPkBmpButton>("pkb" + word + "Bypass", c);
        }
    }
    tmEqCurve = w.Find<kv::TTimer>("tmEqCurve");
    tmHpLpCurve = w.Find<kv::TTimer>("tmHpLpCurve");
    tmMouseEqCurve = w.Find<kv::TTimer>("tmMouseEqCurve");
    dragBlock = -1;
}

const TPeqPage::Controls& TPeqPage::At(int channel) const {
    static const Controls none;
    return channel >= 0 && channel <= 5 ? channels[static_cast<size_t>(channel)] : none;
}

TPkBmpButton* TPeqPage::BandButton(int channel, int n) const {
    const auto& buttons = At(channel).bandButtons;
    return n >= 0 && n < static_cast<int>(buttons.size()) ? buttons[static_cast<size_t>(n)] : nullptr;
}

int TPeqPage::SelectedBand(const TPeqBandTable* table) {
    if (!table)
        return -1;
    const int row = table->GetNowIndex();
    const int rows = std::min(table->GetChannelNumber(), SECTION_HIGH_PASS);
    return row >= 0 && row < rows ? row : -1;
}

void TPeqPage::ComputeFilterCurve(bool highPass, int slopeCode, double frequency, int base, int channel) {
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

void TPeqPage::ComputeFilterOf(LMyFFTDrawHpLp6dB* graph, bool highPass) {
    const int ch = GraphChannel(graph);
    LUnitControl* model = w.UnitControl();
    if (ch < 0 || !model)
        return;
    const FilterRecord f = model->GetFilters(ch);
    ComputeFilterCurve(highPass, highPass ? f.hpSlope : f.lpSlope,
                       IndexToFreq(highPass ? f.hpFreq : f.lpFreq), SECTION_HIGH_PASS, ch);
    CurvePlot(ch)->DrawTotalCurve(ch);
}

void TPeqPage::ComputeHighPassCurve(LMyFFTDrawHpLp6dB* graph) {
    ComputeFilterOf(graph, true);
}

void TPeqPage::ComputeLowPassCurve(LMyFFTDrawHpLp6dB* graph) {
    ComputeFilterOf(graph, false);
}

void TPeqPage::ComputePeqCurve(LMyFFTDrawHpLp6dB* graph) {
    const int ch = GraphChannel(graph);
    TPeqBandTable* table = At(ch).table;
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

void TPeqPage::ResetPeqViews() {
    for (int ch = 0; ch <= 5; ++ch) {
        TPeqBandTable* table = At(ch).table;
        if (!table)
            return;
        const int selected = SelectedBand(table);
        auto* button = BandButton(ch, selected < 0 ? 0 : selected);
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
        if (auto* graph = At(ch).graph)
            graph->UpdateCurvePage();
    }
}

void TPeqPage::ReleaseBandButton(TPkBmpButton* button) {
    if (!button)
        return;
    // The band buttons of a channel form a group that never lets all of them up on a click; released
    // from here, that rule is lifted for the moment.
    const bool allUp = button->AllowAllUp();
    button->SetAllowAllUp(true);
    button->SetDown(false);
    button->SetAllowAllUp(allUp);
}

void TPeqPage::ShowAllPeqBands() {
    for (int ch = 0; ch <= 5; ++ch) {
        TPeqBandTable* table = At(ch).table;
        auto* button = BandButton(ch, 0);
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

void TPeqPage::DrawSelectedBand(int channel, int band, double gain, double q, int type) {
    if (Plot* plot = CurvePlot(channel)) {
        plot->DrawSectionBlock(band, static_cast<float>(gain), BLOCK_CIRCLE);
        plot->DrawSectionParam(type, band, gain, q, true);
        plot->DrawTotalCurve(channel);
    }
    if (auto* graph = At(channel).graph)
        graph->UpdateCurvePage();
}

// The window's own names for what the model and the link ask of the PEQ views.
Plot* TfmMain::CurvePlot(int index) const {
    return peqPage ? peqPage->CurvePlot(index) : nullptr;
}

void TfmMain::ResetPeqViews() {
    Peq().ResetPeqViews();
}

void TfmMain::EnableTimer(const char* name) const {
    if (auto* t = Find<kv::TTimer>(name))
        t->SetEnabled(true);
}
