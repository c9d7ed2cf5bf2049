// The PEQ page's band editor: the band table's change handler with its Q rules, band selection, the
// three faders of the selected band with their 1 ms deferral, the keyboard nudges, "SHOW ALL EQ" and
// the EQ reset of a channel's PEQ.

#include "app/pages/PeqPage.h"

#include "app/TimerComponent.h"
#include "controls/LMyFFTDrawHpLp6dB.h"
#include "controls/MyPEQType8.h"
#include "link/Scales.h"
#include "link/UnitImage.h"
#include "panels/PkBmpButton.h"
#include "panels/PkPanel.h"
#include "panels/led/LdPowerButton.h"
#include "platform/gui/StdCtrls.h"
#include "styled/RoundControls.h"
#include "styled/StTrackBar.h"

#include <cstdio>

using namespace kv;

namespace {

// Filter types whose Q the user sets freely: Peak, Allpass 1, Allpass 2. The shelves and passes keep
// Q at or below 3.0 and start at 0.71.
bool IsQType(int type) {
    return type == 0 || type == 7 || type == 8;
}

constexpr int kShelfQIndex = 10;    // 0.71
constexpr int kMaxShelfQIndex = 35; // 3.0

std::string QBoxText(int qIndex) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%3.2f",
                  static_cast<double>(Q_GRID[static_cast<size_t>(std::clamp(qIndex, 0, 100))]));
    return buf;
}

} // namespace

std::string TPeqPage::FaderFreqText(double hz) {
    char buf[32];
    if (hz >= 1000.0)
        std::snprintf(buf, sizeof buf, "%4.2fKHz", hz / 1000.0);
    else
        std::snprintf(buf, sizeof buf, " %4.1fHz", hz);
    return buf;
}

std::string TPeqPage::FaderGainText(int gainIndex) {
    const double dB = (gainIndex - 120) * 0.1;
    char buf[32];
    if (gainIndex < 120)
        std::snprintf(buf, sizeof buf, "%4.1fdB", dB);
    else
        std::snprintf(buf, sizeof buf, "+%3.1fdB", dB);
    return buf;
}

void TPeqPage::ShowPeqBandControls(int channel, bool enabled, double q, double gain, double frequency) {
    if (w.IsUpdatingView())
        return;
    TfmMain::UpdatingViewGuard quiet(w);
    const Controls& k = At(channel);
    // Each fader and its box in turn: position, enabled state, then the box's text; a missing pair ends
    // the fill there.
    const auto show = [&](TStTrackBar* fader, TRoundEdit* box, int position, auto text) {
        if (!fader || !box)
            return false;
        fader->SetPosition(position);
        fader->SetEnabled(enabled);
        box->SetText(text(fader->Position()));
        return true;
    };
    show(k.eqFreq, k.eqFreqBox, FreqToIndex(frequency), [&](int) { return FaderFreqText(frequency); }) &&
        show(k.eqGain, k.eqGainBox, GainToIndex(gain), [](int p) { return FaderGainText(p); }) &&
        show(k.eqBw, k.eqBwBox, QToIndex(q), [](int p) { return QBoxText(p); });
}

void TPeqPage::FocusEqFreqEdit(int channel) {
    // A box on a page not shown cannot take the focus; the keys then reach it once the user clicks it.
    auto* box = At(channel).eqFreqBox;
    if (box && box->CanFocus())
        box->SetFocus();
}

void TPeqPage::peqPeqInAChange(TObject* sender) {
    auto* table = dynamic_cast<TPeqBandTable*>(sender);
    // A drag sends its own values. While the window fills its controls from the model the rows show
    // what the model holds, so the Q rules wait for the user's next edit as well.
    LUnitControl* model = w.UnitControl();
    if (!table || dragBlock != -1 || w.IsUpdatingView() || !model)
        return;
    const int c = table->Tag();
    const int r = SelectedBand(table);
    if (r < 0 || r >= img::PeqBands(c))
        return;
    auto* button = BandButton(c, r);
    if (!At(c).graph || !button || !At(c).hint)
        return;

    const double f = table->GetFreqValue(r);
    const double g = table->GetGainValue(r);
    double q = table->GetQValue(r);
    const int t = table->GetTypeValue(r);
    const bool bypass = table->GetBypassValue(r);
    if (t < 0 || t >= static_cast<int>(PEQ_TYPE_SECTION.size()))
        return;

    // Q rules, against the type the model holds until this change is stored.
    const int modelType = model->GetPeqBand(c, r).type;
    int qIndex = QToIndex(q);
    int newIndex = qIndex;
    if (IsQType(t)) {
        if (t != modelType)
            newIndex = LUnitControl::GetDefaultPeqBand(c, r).q;
    } else if (t != modelType) {
        newIndex = kShelfQIndex;
    } else if (qIndex > kMaxShelfQIndex) {
        newIndex = kMaxShelfQIndex;
    }
    if (newIndex != qIndex) {
        // Written back by index; the table's change event runs this handler once more, nested, which
        // computes and sends the corrected band before this run does the same.
        table->SetQValue(r, newIndex);
        qIndex = newIndex;
        q = table->GetQValue(r);
    }

    const uint16_t freqIndex = static_cast<uint16_t>(std::clamp(FreqToIndex(f), 0, 300));
    const uint16_t gainIndex = static_cast<uint16_t>(std::clamp(GainToIndex(g), 0, 240));

    button->SetDown(true);
    table->SetNowIndex(r);
    if (Plot* plot = CurvePlot(c)) {
        if (bypass)
            SetSection(plot->Section(r), 0.0, f, q, ST_FLAT);
        else
            SetSection(plot->Section(r), g, f, q, PEQ_TYPE_SECTION[static_cast<size_t>(t)]);
    }
    DrawSelectedBand(c, r, g, q, t);
    model->SetPeqBand(c, r, gainIndex, freqIndex, static_cast<uint8_t>(qIndex), static_cast<uint8_t>(t),
                      bypass);
    ShowPeqBandControls(c, true, q, g, f);
}

void TPeqPage::peqPeqInAEditMouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    auto* table = dynamic_cast<TPeqBandTable*>(sender);
    if (!table)
        return;
    const int c = table->Tag();
    const int r = SelectedBand(table);
    if (r < 0)
        return;
    auto* button = BandButton(c, r);
    auto* hint = At(c).hint;
    if (!button || !hint)
        return;
    button->SetDown(true);
    const double f = table->GetFreqValue(r), g = table->GetGainValue(r), q = table->GetQValue(r);
    const int t = table->GetTypeValue(r);
    table->SetNowIndex(r);
    ShowPeqBandControls(c, true, q, g, f);
    DrawSelectedBand(c, r, g, q, t);
    hint->SetVisible(true);
}

void TPeqPage::peqPeqInAPeqTypeMouseWheel(TObject*, TShiftState, int, TPoint, bool& handled) {
    handled = true;
}

void TPeqPage::pkbEq1InAClick(TObject* sender) {
    auto* button = dynamic_cast<TPkBmpButton*>(sender);
    if (!button)
        return;
    const int c = button->GroupIndex() - 1;
    const int r = button->Tag();
    TPeqBandTable* table = At(c).table;
    auto* hint = At(c).hint;
    if (!table || !hint || r < 0 || r >= std::min(table->GetChannelNumber(), SECTION_HIGH_PASS))
        return;
    const double f = table->GetFreqValue(r), g = table->GetGainValue(r), q = table->GetQValue(r);
    const int t = table->GetTypeValue(r);
    table->SetNowIndex(r);
    ShowPeqBandControls(c, true, q, g, f);
    DrawSelectedBand(c, r, g, q, t);
    hint->SetVisible(true);
    // The arrow keys act at once.
    FocusEqFreqEdit(c);
}

// The shared start of the three fader handlers: the fader, its channel and value box, and the channel's
// selected band; nothing while the window fills its controls or when no band is selected (the faders
// then belong to no row).
struct TPeqPage::EqFaderEdit {
    TStTrackBar* fader = nullptr;
    TRoundEdit* box = nullptr;
    TPeqBandTable* table = nullptr;
    int channel = -1;
    int band = -1;
};

std::optional<TPeqPage::EqFaderEdit> TPeqPage::BeginEqFaderEdit(TObject* sender,
                                                                TRoundEdit* Controls::*box) const {
    EqFaderEdit e;
    e.fader = dynamic_cast<TStTrackBar*>(sender);
    if (w.IsUpdatingView() || !e.fader)
        return std::nullopt;
    e.channel = e.fader->Tag();
    e.box = At(e.channel).*box;
    e.table = At(e.channel).table;
    e.band = SelectedBand(e.table);
    if (!e.box || e.band < 0)
        return std::nullopt;
    return e;
}

void TPeqPage::QueueEqEdit(const PendingEdit& edit) {
    pendingEdit.eq = edit;
    if (tmEqCurve)
        tmEqCurve->SetEnabled(true);
}

void TPeqPage::isEqFreqInAChange(TObject* sender) {
    const auto e = BeginEqFaderEdit(sender, &Controls::eqFreqBox);
    if (!e)
        return;
    PendingEdit edit;
    edit.kind = 0;
    edit.channel = e->channel;
    edit.frequency = static_cast<float>(IndexToFreq(e->fader->Position()));
    e->box->SetText(FaderFreqText(edit.frequency));
    QueueEqEdit(edit);
}

void TPeqPage::isEqBwInAChange(TObject* sender) {
    const auto e = BeginEqFaderEdit(sender, &Controls::eqBwBox);
    if (!e)
        return;
    if (!IsQType(e->table->GetTypeValue(e->band)) && e->fader->Position() > kMaxShelfQIndex) {
        // Runs this handler again, nested, with the allowed position.
        e->fader->SetPosition(kMaxShelfQIndex);
    }
    PendingEdit edit;
    edit.kind = 1;
    edit.channel = e->channel;
    const int position = std::clamp(e->fader->Position(), 0, 100);
    edit.q = static_cast<float>(position);
    e->box->SetText(QBoxText(position));
    QueueEqEdit(edit);
}

void TPeqPage::isEqGainInAChange(TObject* sender) {
    const auto e = BeginEqFaderEdit(sender, &Controls::eqGainBox);
    if (!e)
        return;
    PendingEdit edit;
    edit.kind = 2;
    edit.channel = e->channel;
    edit.gain = IndexToGain(e->fader->Position());
    e->box->SetText(FaderGainText(e->fader->Position()));
    QueueEqEdit(edit);
}

void TPeqPage::tmEqCurveTimer(TObject*) {
    if (tmEqCurve)
        tmEqCurve->SetEnabled(false);
    const PendingEdit e = pendingEdit.eq;
    TPeqBandTable* table = At(e.channel).table;
    const int r = SelectedBand(table);
    if (r < 0)
        return;
    // The table's change event stores, sends and redraws the band.
    switch (e.kind) {
    case 0:
        table->SetFreqValue(r, e.frequency);
        break;
    case 1:
        table->SetQValue(r, e.q);
        break;
    case 2:
        table->SetGainValue(r, e.gain);
        break;
    default:
        break;
    }
}

void TPeqPage::cvdEqFreqInAKeyDown(TObject* sender, std::uint16_t& key, TShiftState) {
    auto* box = dynamic_cast<TRoundEdit*>(sender);
    if (!box)
        return;
    const int c = box->Tag();
    const Controls& k = At(c);
    auto* freq = k.eqFreq;
    auto* q = k.eqBw;
    auto* gain = k.eqGain;
    if (!freq || !q || !gain || !k.table || !k.hint)
        return;
    // With no band selected the faders are disabled and belong to no row: the keys do nothing.
    if (SelectedBand(k.table) < 0 || !freq->Enabled())
        return;
    switch (key) {
    case 37:
        freq->SetPosition(freq->Position() - 1);
        break;
    case 39:
        freq->SetPosition(freq->Position() + 1);
        break;
    case 107:
    case 187:
        q->SetPosition(q->Position() + 1);
        break;
    case 109:
    case 189:
        q->SetPosition(q->Position() - 1);
        break;
    case 38:
        gain->SetPosition(gain->Position() + 1);
        break;
    case 40:
        gain->SetPosition(gain->Position() - 1);
        break;
    default:
        break;
    }
}

// Leaving the frequency box changes nothing: the box is read-only and only takes the keys.
void TPeqPage::cvdEqFreqInAExit(TObject*) {}

void TPeqPage::ldbEqShowAllInAClick(TObject* sender) {
    auto* button = dynamic_cast<TLdPowerButton*>(sender);
    if (!button)
        return;
    const int c = button->Tag();
    auto* graph = At(c).graph;
    if (!graph)
        return;
    graph->SetParameterDisplay(button->Active());
    graph->UpdateCurvePage();
    if (auto* box = At(c).group)
        box->Repaint();
}

void TPeqPage::SendAllPeqBands(int channel) {
    TPeqBandTable* table = At(channel).table;
    if (!table || !w.UnitControl())
        return;
    const int bands = std::min(table->GetChannelNumber(), img::PeqBands(channel));
    table->SetNowIndex(0);
    for (int b = bands - 1; b >= 0; --b) {
        const PeqBand d = LUnitControl::GetDefaultPeqBand(channel, b);
        w.SendCommand(CM_MCS_PEQ(static_cast<uint8_t>(w.GetDeviceId()), static_cast<uint8_t>(channel),
                                 static_cast<uint8_t>(b), d, 0),
                      true);
        table->SetNowIndex(b);
        // The change event stores the band in the model and its linked channels and sends it again.
        table->SetEqParamValue(b, IndexToFreq(d.freq), d.q, IndexToGain(d.gain), d.type, false);
        if (Plot* plot = CurvePlot(channel)) {
            const double q = Q_GRID[static_cast<size_t>(std::min<int>(d.q, 100))];
            SetSection(plot->Section(b), IndexToGain(d.gain), IndexToFreq(d.freq), q,
                       PEQ_TYPE_SECTION[static_cast<size_t>(std::min<int>(d.type, 8))]);
            plot->DrawSectionBlock(b, static_cast<float>(IndexToGain(d.gain)), BLOCK_CIRCLE);
        }
    }
}
