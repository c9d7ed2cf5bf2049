// The refresh of every block page from the unit model: after a read-back, a preset file, a channel copy
// and once at start. The controls are filled with the updating-view flag set, so that nothing they run
// sends; then the curves are computed again and the overlays of the page shown are redrawn.

#include "app/pages/RefreshPage.h"

#include "app/FTest.h"
#include "app/pages/DelayPage.h"
#include "app/pages/DynamicsPage.h"
#include "app/pages/GainPage.h"
#include "app/pages/GeqPage.h"
#include "app/pages/LinkingPage.h"
#include "app/pages/MatrixPage.h"
#include "app/pages/OverlaysPage.h"
#include "app/pages/PeqPage.h"
#include "link/Scales.h"

#include "controls/LMyFFTDrawHpLp6dB.h"
#include "controls/MyPEQType8.h"
#include "panels/PkBmpButton.h"
#include "panels/PkComboBox.h"
#include "platform/core/CodePage.h"
#include "platform/gui/StdBars.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/StdPanels.h"
#include "styled/RoundControls.h"
#include "styled/StTrackBar.h"

#include <array>
#include <cstdio>
#include <cstring>

using namespace kv;

namespace {

// printf-style texts; each format is a literal so that the compiler checks its arguments.
#define KV_TEXT(...)                                                                                         \
    [&] {                                                                                                    \
        char text_[32];                                                                                      \
        std::snprintf(text_, sizeof text_, __VA_ARGS__);                                                     \
        return std::string(text_);                                                                           \
    }()

// Texts of the model's fixed-length names: up to the first zero byte, in the system code page.
template <size_t N> std::string NameText(const std::array<uint8_t, N>& bytes) {
    const auto* p = reinterpret_cast<const char*>(bytes.data());
    return kv::FromAnsi(std::string_view(p, strnlen(p, N)));
}

// The fill of the controls of the pages that are no objects of their own, found by name.
class Filler : public TFill {
public:
    explicit Filler(TfmMain& w) : w_(w) {}
    using TFill::Box;
    using TFill::Down;
    using TFill::Fader;

    template <class T> T* Get(const std::string& name) { return Take(w_.Find<T>(name)); }
    int Fader(const std::string& name, int value) { return Fader(w_.Find<TStTrackBar>(name), value); }
    void Box(const std::string& name, const std::string& text) { Box(w_.Find<TRoundEdit>(name), text); }
    void Down(const std::string& name, bool down) { Down(w_.Find<TPkBmpButton>(name), down); }

private:
    TfmMain& w_;
};

std::string FrequencyText(int index) {
    const double f = IndexToFreq(index);
    return f >= 1000.0 ? KV_TEXT("%4.2fKHz", f / 1000.0) : KV_TEXT("%4.1fHz", f);
}

// "F00" the factory preset, "U01".."U20" the user presets.
std::string PresetNumberText(int preset) {
    return preset >= 1 ? KV_TEXT("U%02d", preset) : KV_TEXT("F%02d", preset);
}

#undef KV_TEXT

// The curve graphs are changed many times over by a refresh (views reset, bands, filters, totals,
// labels); each draws once, when the refresh ends.
class GraphDrawingHold {
public:
    explicit GraphDrawingHold(TfmMain& w) {
        for (size_t i = 0; i < graphs_.size(); ++i)
            if ((graphs_[i] = w.Find<LMyFFTDrawHpLp6dB>(kCurveGraphNames[i])))
                graphs_[i]->HoldDrawing();
    }
    ~GraphDrawingHold() {
        for (auto* graph : graphs_)
            if (graph)
                graph->ReleaseDrawing();
    }
    GraphDrawingHold(const GraphDrawingHold&) = delete;
    GraphDrawingHold& operator=(const GraphDrawingHold&) = delete;

private:
    std::array<LMyFFTDrawHpLp6dB*, kCurvePlots> graphs_{};
};

} // namespace

void TRefreshPage::RefreshAllPanels(bool startup) {
    GraphDrawingHold hold(w);
    w.ResetPeqViews();
    {
        TfmMain::UpdatingViewGuard updating(w, true);
        FillPanelsFromModel(startup);
    }
    // The curves are built with the flag down, as after any edit: none of this sends.
    TfmMain::UpdatingViewGuard curves(w, false);
    for (int c = 0; c <= 5; ++c) {
        auto* graph = w.Find<LMyFFTDrawHpLp6dB>(kCurveGraphNames[static_cast<size_t>(c)]);
        if (!graph)
            break;
        w.Peq().ComputePeqCurve(graph);
        w.Peq().ComputeHighPassCurve(graph);
        w.Peq().ComputeLowPassCurve(graph);
    }
    for (const char* name : {"fftDrawGeqInA", "fftDrawGeqInB"})
        if (auto* graph = w.Find<LMyFFTDrawHpLp6dB>(name))
            w.Geq().ComputeGeqCurve(graph);
    w.Peq().ShowAllPeqBands();
    if (w.CurrentPage() == pgGain)
        w.Overlays().RedrawGainPageOverlays();
    else
        w.Overlays().RedrawChannelOverlays(w.CurrentPage());
}

void TRefreshPage::FillPanelsFromModel(bool startup) {
    if (!Model())
        return;
    const LUnitControl& m = *Model();
    Filler f(w);

    if (auto* number = f.Get<TLabel>("lbPstNum"))
        number->SetCaption(PresetNumberText(w.CurrentPreset()));
    if (auto* name = f.Get<TLabel>("lbPstName"))
        name->SetCaption(NameText(m.PresetName()));
    if (!f.ok())
        return;

    w.Overlays().MarkAllDirty(kGainInGraph);
    w.Overlays().MarkAllDirty(kGainOutGraph);
    w.Overlays().RedrawGainPageOverlays();

    for (int c = 0; c <= 5; ++c) {
        const std::string s = TfmMain::ChannelSuffix(c);
        const bool input = c <= 1;

        const std::string name = NameText(m.GetChannelName(c));
        if (auto* l = f.Get<TLabel>("lbMatrixChName" + s))
            l->SetCaption(name);
        if (auto* b = f.Get<TPkBmpButton>("pkbMenu" + s))
            b->SetHint(name);

        if (!input)
            w.Matrix().FillOutput(f, c, m);

        if (input) {
            // The fader's change handler writes the band's label too, but only when the position moves.
            for (int band = 0; band < 31; ++band) {
                const int p = f.Fader(TGeqPage::GeqFaderName(c, band), m.GetGeqBand(c, band));
                char label[32];
                std::snprintf(label, sizeof label, "lbGeqGainCh%02d%s", band + 1, s.c_str());
                if (auto* l = f.Get<TLabel>(label))
                    l->SetCaption(TGeqPage::GeqGainText(p));
            }
            if (!f.ok())
                return;
            FillPeqTable(f.Get<TMyPEQType8>("peqPeq" + s), c);

            w.Dynamics().FillGate(f, c, m.GetGate(c), startup);
            if (!f.ok())
                return;
        }

        const FilterRecord filters = m.GetFilters(c);
        for (int pass = 0; pass < 2; ++pass) {
            const char* word = pass == 0 ? "LowCut" : "HighCut";
            const int index = pass == 0 ? filters.hpFreq : filters.lpFreq;
            const int slope = pass == 0 ? filters.hpSlope : filters.lpSlope;
            const int p = f.Fader(std::string("is") + word + "Freq" + s, index);
            f.Box(std::string("cvd") + word + "Freq" + s, FrequencyText(p));
            if (slope > 0) {
                if (auto* combo = f.Get<TPkComboBox>(std::string("pkc") + word + "Slop" + s))
                    combo->SetItemIndex(slope - 1);
                f.Down(std::string("pkb") + word + "Bypass" + s, false);
            } else {
                // A bypassed filter keeps the slope the user chose last.
                f.Down(std::string("pkb") + word + "Bypass" + s, true);
            }
        }
        if (!f.ok())
            return;

        if (!input) {
            FillPeqTable(f.Get<TMyPEQType8>("peqPeq" + s), c);
            w.Dynamics().FillCompLimit(f, c, m.GetComp(c), m.GetLimit(c), startup);
            if (!f.ok())
                return;
        }

        w.Gain().FillLevels(f, c, m);
        w.Delay().FillDelay(f, c, m.GetDelay(c));
        if (!f.ok())
            return;
        w.Gain().FillMute(f, c, m.IsMuted(c));
        if (!f.ok())
            return;

        w.SetOverlaysDirty(c);

        const int bit = input ? c : c - 2;
        if (auto* graph = f.Get<LMyFFTDrawHpLp6dB>("fftDraw" + s))
            TGeqPage::SetBypassLabel(*graph, m.GetEqBypassMask(c) >> bit & 1);
        if (input) {
            if (auto* graph = f.Get<LMyFFTDrawHpLp6dB>("fftDrawGeq" + s)) {
                TGeqPage::SetBypassLabel(*graph, m.GetGeqBypassMask() >> c & 1);
                graph->Repaint();
            }
        }
        if (!f.ok())
            return;
    }

    // The delay unit's button, as if clicked: its handler writes every delay text in that unit.
    w.Delay().FillUnit(f, m.GetDelayUnit());
    // The test-signal dialog does not exist yet during the window's own creation.
    if (fmTest)
        fmTest->ShowWorkMode(m.GetWorkMode(), m.GetSineIndex());
    w.Matrix().FillDiagram(f);
    w.Linking().ShowLinksFromModel();
    for (int c = 0; c <= 5; ++c)
        w.Delay().PlaceDelayIndicator(c);
}

void TRefreshPage::FillPeqTable(TMyPEQType8* table, int ch) {
    if (!table || !Model())
        return;
    table->SetNowIndex(0);
    const int bands = ch <= 1 ? 8 : 9;
    for (int band = 0; band < bands; ++band) {
        const PeqBand b = Model()->GetPeqBand(ch, band);
        table->SetEqParamValue(band, IndexToFreq(b.freq), b.q, IndexToGain(b.gain), b.type,
                               Model()->IsPeqBandBypassed(ch, band));
    }
}
