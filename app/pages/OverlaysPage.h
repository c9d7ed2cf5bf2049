#pragma once
// The overlays page object: the other channels' total curves on a channel graph and all six on the gain
// page's two graphs, brought up to date lazily by dirty masks when a page is shown, and the
// magnitude/phase switch of the six channel graphs. Graphs 0..5 are the channel graphs, 6 and 7 the gain
// page's input and output graphs. Its handlers are published on the main window's class under the
// names the layout binds.

#include <array>
#include <cstdint>

#include "app/FMain.h"

namespace kv {
class LMyFFTDrawHpLp6dB;
class TLdPowerButton;
class TMyPEQType8;
class TPkGroupBox;
class TRadioButton;
} // namespace kv

class TOverlaysPage {
public:
    explicit TOverlaysPage(TfmMain& window);
    TOverlaysPage(const TOverlaysPage&) = delete;
    TOverlaysPage& operator=(const TOverlaysPage&) = delete;

    static void Publish(kv::TClassBuilder<TfmMain>& b);
    // Finds the graphs, the overlay buttons and the mode switches by name; the window calls it once the
    // layout has loaded.
    void Bind();

    // A channel's curve changed: every graph that overlays it copies it again when next shown.
    void SetOverlaysDirty(int ch);
    // Every channel's curve of a gain-page graph (6 or 7) copied again when next shown.
    void MarkAllDirty(int graph);
    // Takes a channel's curve (section `section`) off a graph for good: its bit is cleared, so the next
    // showing does not put it back.
    void TakeOff(int graph, int channel, int section);
    void RedrawGainPageOverlays();
    void RedrawChannelOverlays(int page);
    uint32_t OverlayDirtyMask(int graph) const;
    void RepaintChannelGraphs();

    void ldbShowBInAClick(kv::TObject* sender);
    void ldbShowAInBClick(kv::TObject* sender);
    void ldbShowAInCClick(kv::TObject* sender);
    void ldbShow2Out1Click(kv::TObject* sender);
    void ldbShow1Out2Click(kv::TObject* sender);
    void ldbShow1Out3Click(kv::TObject* sender);
    void ldbShow1Out4Click(kv::TObject* sender);
    void ldbShow1Out5Click(kv::TObject* sender);
    void ldbShow1Out6Click(kv::TObject* sender);
    void ldbShowAGainClick(kv::TObject* sender);
    void ldbShow1GainClick(kv::TObject* sender);
    void rbShowGainInAClick(kv::TObject* sender);
    void rbShowPhaseInAClick(kv::TObject* sender);

private:
    // A channel page's mode switch and the controls it redraws.
    struct ModeControls {
        kv::TMyPEQType8* table = nullptr;      // peqPeq
        kv::TPkGroupBox* group = nullptr;      // pkgFft
        kv::TRadioButton* magnitude = nullptr; // rbShowGain
        kv::TRadioButton* phase = nullptr;     // rbShowPhase
    };
    void OverlayClick(kv::TObject* sender, int graphIndex);
    void ShowGraphMode(kv::TObject* sender, uint8_t mode);

    TfmMain& w;
    // The eight graphs, by graph number.
    std::array<kv::LMyFFTDrawHpLp6dB*, 8> graphs{};
    // The button that shows channel c's curve on channel page p's graph ([p][c], none on its own page),
    // and on the gain page's graph ([c]).
    std::array<std::array<kv::TLdPowerButton*, 6>, 6> channelButtons{};
    std::array<kv::TLdPowerButton*, 6> gainButtons{};
    std::array<ModeControls, 6> modes;
    std::array<int, 8> overlayDirty{};
};
