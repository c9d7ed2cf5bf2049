// Stand-ins for the curve composition's members until its own files arrive.

#include "app/FMain.h"

#include "controls/LMyFFTDrawHpLp6dB.h"
#include "controls/MyPEQType8.h"

using namespace kv;

void TfmMain::ComputePeqCurve(LMyFFTDrawHpLp6dB* graph) {
    Plot* plot = graph ? CurvePlot(static_cast<int>(graph->Tag())) : nullptr;
    auto* table = graph ? Find<TMyPEQType8>("peqPeq" + ChannelSuffix(static_cast<int>(graph->Tag()))) : nullptr;
    if (!plot || !table)
        return;
    static constexpr int kTypes[9] = {1, 2, 3, 8, 5, 9, 4, 7, 17};
    for (int r = 0; r < table->GetChannelNumber(); ++r) {
        const int t = table->GetTypeValue(r);
        if (table->GetBypassValue(r) || t < 0 || t > 8)
            SetSection(plot->Section(r), 0, table->GetFreqValue(r), table->GetQValue(r), ST_FLAT);
        else
            SetSection(plot->Section(r), table->GetGainValue(r), table->GetFreqValue(r), table->GetQValue(r),
                       kTypes[t]);
        plot->DrawSectionBlock(r, static_cast<float>(table->GetGainValue(r)), BLOCK_CIRCLE);
    }
    plot->DrawTotalCurve(static_cast<int>(graph->Tag()));
}

void TfmMain::ComputeHighPassCurve(LMyFFTDrawHpLp6dB* graph) {
    const int ch = graph ? static_cast<int>(graph->Tag()) : -1;
    Plot* plot = ch >= 0 && ch <= 5 ? CurvePlot(ch) : nullptr;
    if (!plot || !unitControl)
        return;
    const FilterRecord f = unitControl->GetFilters(ch);
    plot->ComputeFilterCurve(true, f.hpSlope, IndexToFreq(f.hpFreq));
    plot->DrawTotalCurve(ch);
}

void TfmMain::ComputeLowPassCurve(LMyFFTDrawHpLp6dB* graph) {
    const int ch = graph ? static_cast<int>(graph->Tag()) : -1;
    Plot* plot = ch >= 0 && ch <= 5 ? CurvePlot(ch) : nullptr;
    if (!plot || !unitControl)
        return;
    const FilterRecord f = unitControl->GetFilters(ch);
    plot->ComputeFilterCurve(false, f.lpSlope, IndexToFreq(f.lpFreq));
    plot->DrawTotalCurve(ch);
}

void TfmMain::ComputeGeqCurve(LMyFFTDrawHpLp6dB* graph) {
    const int tag = graph ? static_cast<int>(graph->Tag()) : -1;
    Plot* plot = tag == 8 || tag == 9 ? CurvePlot(tag) : nullptr;
    if (!plot || !unitControl)
        return;
    for (int i = 0; i < 31; ++i)
        SetSection(plot->Section(i), IndexToGain(unitControl->GetGeqBand(tag - 8, i)), GEQ_CENTRE_HZ[static_cast<size_t>(i)],
                   GEQ_BAND_Q, ST_PEAK);
    plot->DrawTotalCurve(tag);
    graph->UpdateCurvePage();
}

void TfmMain::ShowAllPeqBands() {}

void TfmMain::SendAllPeqBands(int) {}
