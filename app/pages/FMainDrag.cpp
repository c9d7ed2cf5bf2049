// The PEQ page's band dragging on the channel graphs: a handle is grabbed with the left button and dragged, a
// PEQ band in frequency and gain, the high- or low-pass in frequency. Every step is stored and sent at once;
// the band's curve follows on the next 1 ms tick, a filter's through the filter timer.

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

#include <cmath>

using namespace kv;

namespace {

constexpr TColor kDraggedBoxColour = 0x008000;

// The pointer on a graph's plot page: x in grid-point units, the pixel column, and the level in dB
// negated (the plot's minimum at the top), as the handles are placed.
struct PlotPointer {
    double x = 0.0;
    int column = 0;
    double level = 0.0;
};

// The plot page's own origin on the control is used, not a fixed one: its left edge follows the width
// of the y labels in the fonts this system has.
PlotPointer PointerOnPlot(const LMyFFTDrawHpLp6dB& graph, int x, int y) {
    const TRect& page = graph.Page(LMyFFTDrawBase::prPlot).ScreenRect();
    const double w = std::max(1, page.Width());
    const double h = std::max(1, page.Height());
    const double span = graph.XMax() - graph.XMin();
    PlotPointer p;
    p.x = graph.XMin() + (x - page.Left) / w * span;
    // The column the x maps back to, taken exactly rather than through the rounding of the round trip.
    p.column = x - page.Left;
    p.level = graph.YMin() + (y - page.Top) * (graph.YMax() - graph.YMin()) / h;
    return p;
}

} // namespace

int TPeqPage::DragChannel(TObject* sender) const {
    auto* graph = dynamic_cast<LMyFFTDrawHpLp6dB*>(sender);
    if (!graph || graph->Tag() < 0 || graph->Tag() > 5)
        return -1;
    // The gain page's graphs carry Tag 0 but hold no handles.
    return graph == At(graph->Tag()).graph ? graph->Tag() : -1;
}

bool TPeqPage::HandleHit(int channel, int n, int x, int y) const {
    LMyFFTDrawHpLp6dB* graph = At(channel).graph;
    TPeqBandTable* table = At(channel).table;
    if (!graph || !table)
        return false;
    const int bands = std::min(table->GetChannelNumber(), img::PeqBands(channel));
    const bool band = n >= 0 && n < bands;
    if (!band && n != SECTION_HIGH_PASS && n != SECTION_LOW_PASS)
        return false;
    const double gain = band ? table->GetGainValue(n) : 0.0;
    const PlotPointer p = PointerOnPlot(*graph, x, y);
    const TRect& page = graph->Page(LMyFFTDrawBase::prPlot).ScreenRect();
    const double h = std::max(1, page.Height());
    double level = graph->YMin() + std::trunc((y - page.Top) * (graph->YMax() - graph->YMin()) / h);
    if (gain < 0.0)
        level += 1.0;
    const double handleLevel = band ? -gain : 0.0;
    const TPoint pos = graph->GetBlockPos(n);
    return std::abs(p.column - pos.X) < 5 && std::trunc(std::abs(level - handleLevel)) < 2.0;
}

void TPeqPage::fftDrawInAMouseDown(TObject* sender, TMouseButton button, TShiftState, int x, int y) {
    dragBlock = -1;
    const int c = DragChannel(sender);
    if (c < 0 || !At(c).table || button != TMouseButton::mbLeft)
        return;
    for (int n = 35; n >= 0; --n) {
        if (!HandleHit(c, n, x, y))
            continue;
        dragBlock = n;
        // The filters have no band button: a filter handle wins over any band under it.
        auto* bandButton = BandButton(c, n);
        if (!bandButton)
            return;
        // Selects the band as a click on its button does; among overlapping bands the lowest number
        // ends up dragged.
        bandButton->SetDown(true);
        bandButton->Click();
    }
}

void TPeqPage::fftDrawInAMouseMove(TObject* sender, TShiftState, int x, int y) {
    if (x == lastMoveX && y == lastMoveY)
        return;
    lastMoveX = x;
    lastMoveY = y;
    const int c = DragChannel(sender);
    TPeqBandTable* table = At(c).table;
    if (c < 0 || !table || !w.UnitControl())
        return;
    auto* graph = At(c).graph;

    if (dragBlock == -1) {
        graph->SetCursor(crDefault);
        for (int n = 35; n >= 0; --n) {
            if (HandleHit(c, n, x, y)) {
                graph->SetCursor(crCross);
                break;
            }
        }
        return;
    }

    const int n = dragBlock;
    const PlotPointer p = PointerOnPlot(*graph, x, y);
    double f = IndexToFreq(FreqToIndex(std::pow(10.0, std::log10(48000.0) * p.x / GRID_POINTS)));
    if (f < 19.6)
        f = 19.7;
    if (f > 20160.0)
        f = 20160.0;
    const int freqIndex = std::clamp(FreqToIndex(f), 0, 300);

    if (n >= SECTION_HIGH_PASS) {
        const bool highPass = n == SECTION_HIGH_PASS;
        const FilterControls& k = At(c).Filter(highPass);
        auto* box = k.box;
        auto* bypass = k.bypass;
        auto* slope = k.slope;
        auto* fader = k.fader;
        if (!box || !bypass || !slope || !fader)
            return;
        box->SetText(FaderFreqText(f));
        // The fader's own handler stores and sends the filter and schedules its curve.
        fader->SetPosition(freqIndex);
        const int code = SlopeCodeOf(bypass, slope);
        QueueFilterCurve(c, highPass, f, code);
        StoreFilter(c, highPass, FilterRecordWith(c, highPass, fader->Position(), code));
        const int selected = SelectedBand(table);
        if (selected >= 0) {
            auto* bandButton = BandButton(c, selected);
            if (!bandButton)
                return;
            table->SetNowIndex(-1);
            ReleaseBandButton(bandButton);
        }
        box->Font()->SetColor(kDraggedBoxColour);
        return;
    }

    auto* bandButton = BandButton(c, n);
    if (!bandButton || !At(c).hint)
        return;
    // The level in 0.1 dB steps toward zero, within +-12 dB. It is the pointer's own level: adding
    // 1 dB to it below 0 dB, as the grab area does, made a cut band jump 1 dB down at the first move.
    const double level = std::clamp(p.level, -12.0, 12.0);
    const int steps = static_cast<int>(std::trunc(-level * 10.0));
    const double g = steps * 0.1;
    const double q = table->GetQValue(n);
    const int type = table->GetTypeValue(n);
    // The row's change events reach the band handler, which ignores them while the drag runs.
    table->SetFreqValue(n, f);
    table->SetGainValue(n, g);
    bandButton->SetDown(true);
    const bool bypass = table->GetBypassValue(n);
    pendingEdit.drag = PendingEdit{};
    pendingEdit.drag.channel = c;
    pendingEdit.drag.band = n;
    pendingEdit.drag.gain = g;
    pendingEdit.drag.q = static_cast<float>(q);
    pendingEdit.drag.frequency = static_cast<float>(f);
    pendingEdit.drag.type = type;
    pendingEdit.drag.bypass = bypass;
    if (tmMouseEqCurve)
        tmMouseEqCurve->SetEnabled(true);
    table->SetNowIndex(n);
    w.UnitControl()->SetPeqBand(c, n, static_cast<uint16_t>(120 + steps), static_cast<uint16_t>(freqIndex),
                                static_cast<uint8_t>(QToIndex(q)), static_cast<uint8_t>(std::max(type, 0)),
                                bypass);
}

void TPeqPage::fftDrawInAMouseUp(TObject* sender, TMouseButton, TShiftState, int, int) {
    // The drag ends whatever else is missing, so band-table edits are never left ignored.
    dragBlock = -1;
    const int c = DragChannel(sender);
    if (c < 0)
        return;
    for (const bool highPass : {true, false})
        if (auto* box = At(c).Filter(highPass).box)
            box->Font()->SetColor(clBlack);
}

void TPeqPage::tmMouseEqCurveTimer(TObject*) {
    if (tmMouseEqCurve)
        tmMouseEqCurve->SetEnabled(false);
    const PendingEdit e = pendingEdit.drag;
    const int c = e.channel;
    ShowPeqBandControls(c, true, e.q, e.gain, e.frequency);
    FocusEqFreqEdit(c);
    Plot* plot = CurvePlot(c);
    if (!plot || c < 0 || c > 5 || e.band < 0 || e.band >= SECTION_HIGH_PASS)
        return;
    if (e.bypass || e.type < 0 || e.type >= static_cast<int>(PEQ_TYPE_SECTION.size()))
        SetSection(plot->Section(e.band), 0.0, e.frequency, e.q, ST_FLAT);
    else
        SetSection(plot->Section(e.band), e.gain, e.frequency, e.q,
                   PEQ_TYPE_SECTION[static_cast<size_t>(e.type)]);
    DrawSelectedBand(c, e.band, e.gain, e.q, e.type);
    if (auto* hint = At(c).hint)
        hint->SetVisible(true);
}
