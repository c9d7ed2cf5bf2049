#pragma once
// The graphic-EQ page object: the 31 faders of each input with their gain labels, the input's curve
// drawn 1 ms after a burst of moves, the input selector, the whole-EQ and graphic-EQ bypass toggles
// with their "BYPASS" labels, and the EQ reset buttons. Its handlers are published on the main
// window's class under the names the layout binds.

#include <array>
#include <string>

#include "app/FMain.h"

namespace kv {
class LMyFFTDrawHpLp6dB;
class TLabel;
class TPkGroupBox;
class TStTrackBar;
class TTimer;
} // namespace kv

class TGeqPage {
public:
    static constexpr int kBands = 31;

    explicit TGeqPage(TfmMain& window);
    TGeqPage(const TGeqPage&) = delete;
    TGeqPage& operator=(const TGeqPage&) = delete;

    static void Publish(kv::TClassBuilder<TfmMain>& b);
    // Finds the page's controls and its timer by name; the window calls it once the layout has loaded.
    void Bind();

    void isGeqCh01InAChange(kv::TObject* sender);
    void isGeqCh01InBChange(kv::TObject* sender);
    void tmGeqCurveTimer(kv::TObject* sender);
    void pkbGeqSelInAClick(kv::TObject* sender);
    void ldbEqBypassGeqInAClick(kv::TObject* sender);
    void ldbEqBypassInAClick(kv::TObject* sender);
    void ldbEqResetGeqInAClick(kv::TObject* sender);
    void ldbEqResetInAClick(kv::TObject* sender);

    // An input's graphic EQ (graph fftDrawGeqInA or fftDrawGeqInB) as the sections of its Plot, from
    // the model.
    void ComputeGeqCurve(kv::LMyFFTDrawHpLp6dB* graph);
    // Every band of input code - 6's graphic EQ back to its default, shown and sent forced.
    void SendAllGeqBands(int code);
    // Hides the band display of the graphic-EQ band changed last.
    void HidePendingGeqBand();
    // The band whose display the graphic EQ's 1 ms timer draws; plot -1 until a fader first moves.
    struct PendingGeqBand {
        int plot = -1;
        int band = 0;
        double gain = 0.0;
        float q = 0.0f;
    };
    const PendingGeqBand& PendingGeq() const { return pendingGeqBand; }
    // "+3.0", "-0.1": a graphic-EQ position's gain text.
    static std::string GeqGainText(int position);
    static std::string GeqFaderName(int input, int band);
    // The graph's "BYPASS" text, or none.
    static void SetBypassLabel(kv::LMyFFTDrawHpLp6dB& graph, bool bypassed);

private:
    // An input's controls.
    struct Input {
        std::array<kv::TStTrackBar*, kBands> faders{};
        std::array<kv::TLabel*, kBands> gainLabels{};
        kv::LMyFFTDrawHpLp6dB* graph = nullptr; // fftDrawGeq
        kv::TPkGroupBox* graphGroup = nullptr;  // pkgFftGeq
        kv::TPkGroupBox* faderGroup = nullptr;  // pkgGeq
        kv::TLabel* graphTitle = nullptr;       // lbFftChGeq
        kv::TLabel* faderTitle = nullptr;       // lbGeq
    };
    // The controls of input 0 or 1; all null for any other.
    const Input& InputAt(int input) const;
    void GeqBandChange(kv::TObject* sender, int input);
    void OpenEqReset(kv::TObject* sender, int targetBase);

    TfmMain& w;
    std::array<Input, 2> inputs;
    // The six channel graphs, which show the whole EQ's "BYPASS".
    std::array<kv::LMyFFTDrawHpLp6dB*, 6> channelGraphs{};
    kv::TTimer* tmGeqCurve = nullptr;
    PendingGeqBand pendingGeqBand;
};
