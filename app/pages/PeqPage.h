#pragma once
// The PEQ page object of the six channel pages: the band table with its Q rules, band selection, the
// three faders of the selected band with their 1 ms deferral and keyboard nudges, "SHOW ALL EQ", the
// high- and low-pass editors, band dragging on the channel graphs, and the composition of the curves
// on the ten graphs, whose response engines it owns. Its handlers are published on the main window's
// class under the names the layout binds.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/FMain.h"

namespace kv {
class LMyFFTDrawHpLp6dB;
class TControl;
class TPeqBandTable;
class TPkBmpButton;
class TPkComboBox;
class TRoundEdit;
class TStTrackBar;
class TTimer;
} // namespace kv

class TPeqPage {
public:
    explicit TPeqPage(TfmMain& window);
    ~TPeqPage();
    TPeqPage(const TPeqPage&) = delete;
    TPeqPage& operator=(const TPeqPage&) = delete;

    static void Publish(kv::TClassBuilder<TfmMain>& b);
    // Finds the page's controls and timers by name and puts a response engine on each of the ten
    // graphs; the window calls it once the layout has loaded. A control missing from the layout stays
    // null and what needs it does nothing.
    void Bind();

    // The response engine of graph `index` (kCurveGraphNames); none outside 0..9 or before Bind.
    Plot* CurvePlot(int index) const {
        return index >= 0 && index < kCurvePlots ? plots[static_cast<size_t>(index)].get() : nullptr;
    }

    // Curve composition: a channel's filters and PEQ bands as sections of its Plot.
    void ComputeFilterCurve(bool highPass, int slopeCode, double frequency, int base, int channel);
    void ComputeHighPassCurve(kv::LMyFFTDrawHpLp6dB* graph);
    void ComputeLowPassCurve(kv::LMyFFTDrawHpLp6dB* graph);
    void ComputePeqCurve(kv::LMyFFTDrawHpLp6dB* graph);
    // The PEQ views of the six channels: none selected, or band 1 of each.
    void ResetPeqViews();
    void ShowAllPeqBands();

    // PEQ band editor.
    void ShowPeqBandControls(int channel, bool enabled, double q, double gain, double frequency);
    void FocusEqFreqEdit(int channel);
    void peqPeqInAChange(kv::TObject* sender);
    void peqPeqInAEditMouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift, int x,
                                int y);
    void peqPeqInAPeqTypeMouseWheel(kv::TObject* sender, kv::TShiftState shift, int delta, kv::TPoint pos,
                                    bool& handled);
    void pkbEq1InAClick(kv::TObject* sender);
    void isEqFreqInAChange(kv::TObject* sender);
    void isEqBwInAChange(kv::TObject* sender);
    void isEqGainInAChange(kv::TObject* sender);
    void tmEqCurveTimer(kv::TObject* sender);
    void cvdEqFreqInAKeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdEqFreqInAExit(kv::TObject* sender);
    void ldbEqShowAllInAClick(kv::TObject* sender);
    // EQ reset of a channel's PEQ: every band back to its default, sent forced, band 1 selected.
    void SendAllPeqBands(int channel);

    // High- and low-pass editors.
    void isLowCutFreqInAChange(kv::TObject* sender);
    void isHighCutFreqInAChange(kv::TObject* sender);
    void tmHpLpCurveTimer(kv::TObject* sender);
    void pkcLowCutSlopInAChange(kv::TObject* sender);
    void pkcHighCutSlopInAChange(kv::TObject* sender);
    void pkbLowCutBypassInAClick(kv::TObject* sender);
    void pkbHighCutBypassInAClick(kv::TObject* sender);
    void pkcLowCutSlopInAMouseWheel(kv::TObject* sender, kv::TShiftState shift, int delta, kv::TPoint pos,
                                    bool& handled);
    void pkcHighCutSlopInAMouseWheel(kv::TObject* sender, kv::TShiftState shift, int delta, kv::TPoint pos,
                                     bool& handled);

    // Band dragging on the channel graphs.
    void fftDrawInAMouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift, int x,
                             int y);
    void fftDrawInAMouseMove(kv::TObject* sender, kv::TShiftState shift, int x, int y);
    void fftDrawInAMouseUp(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift, int x, int y);
    void tmMouseEqCurveTimer(kv::TObject* sender);
    // The handle being dragged, -1 when none.
    int DraggedBlock() const { return dragBlock; }

    // The fader edit that the next tick of a 1 ms timer applies: PEQ faders (kind 0 frequency, 1 Q
    // index, 2 gain), filter faders (kind 1 high-pass, 0 low-pass) and band drags (band, type, bypass;
    // q is then the Q value).
    struct PendingEdit {
        int kind = 0;
        int channel = 0;
        double gain = 0.0;
        float q = 0.0f;
        float frequency = 0.0f;
        int slope = 0;
        int band = 0;
        int type = 0;
        bool bypass = false;
    };

private:
    // One filter's controls: the high-pass is named low cut, the low-pass high cut.
    struct FilterControls {
        kv::TStTrackBar* fader = nullptr;
        kv::TRoundEdit* box = nullptr;
        kv::TPkComboBox* slope = nullptr;
        kv::TPkBmpButton* bypass = nullptr;
    };
    // A channel page's controls.
    struct Controls {
        kv::LMyFFTDrawHpLp6dB* graph = nullptr;
        kv::TPeqBandTable* table = nullptr;
        std::array<kv::TPkBmpButton*, SECTION_HIGH_PASS> bandButtons{};
        kv::TControl* hint = nullptr;  // lbFftParam
        kv::TControl* group = nullptr; // pkgFft
        kv::TStTrackBar* eqFreq = nullptr;
        kv::TStTrackBar* eqBw = nullptr;
        kv::TStTrackBar* eqGain = nullptr;
        kv::TRoundEdit* eqFreqBox = nullptr;
        kv::TRoundEdit* eqBwBox = nullptr;
        kv::TRoundEdit* eqGainBox = nullptr;
        FilterControls highPass, lowPass;
        const FilterControls& Filter(bool high) const { return high ? highPass : lowPass; }
    };
    // The controls of channel 0..5; all null for any other channel.
    const Controls& At(int channel) const;
    // Band n's button of a channel (pkbEq1..), null outside the buttons the channel has.
    kv::TPkBmpButton* BandButton(int channel, int n) const;

    // Value-box texts of the editors' faders: " 19.7Hz", "1.00KHz"; "+0.0dB", "-3.5dB" of a gain index.
    static std::string FaderFreqText(double hz);
    static std::string FaderGainText(int gainIndex);
    // The selected PEQ band of a channel's table: its row when it is one of the channel's bands, else -1
    // (none selected, 15, or a row the table does not show).
    static int SelectedBand(const kv::TPeqBandTable* table);
    // Draws a channel's selected band: handle, band display, total, page.
    void DrawSelectedBand(int channel, int band, double gain, double q, int type);
    // The PEQ faders' shared start, and the edit they leave to tmEqCurve.
    struct EqFaderEdit;
    std::optional<EqFaderEdit> BeginEqFaderEdit(kv::TObject* sender, kv::TRoundEdit* Controls::*box) const;
    void QueueEqEdit(const PendingEdit& edit);
    // Releases a band button although its group keeps one button down: no band is then selected.
    static void ReleaseBandButton(kv::TPkBmpButton* button);
    // The shared bodies of the high- and low-pass handlers, and the filter's curve with its display.
    void FilterFrequencyEdit(kv::TObject* sender, bool highPass);
    void FilterSlopeEdit(kv::TObject* sender, bool highPass);
    void DrawFilter(int channel, bool highPass, int slopeCode, double frequency);
    // The channel's filter record from the model with one filter's frequency index and slope code set.
    FilterRecord FilterRecordWith(int channel, bool highPass, int frequencyIndex, int slopeCode) const;
    // Stores and sends one filter of a channel's record.
    void StoreFilter(int channel, bool highPass, const FilterRecord& record);
    // The filter's curve waits for tmHpLpCurve's next tick.
    void QueueFilterCurve(int channel, bool highPass, double frequency, int slopeCode);
    // The high- or low-pass curve of a channel graph from the model.
    void ComputeFilterOf(kv::LMyFFTDrawHpLp6dB* graph, bool highPass);
    // The slope code of a filter from its bypass button and slope list (0 when bypassed).
    static int SlopeCodeOf(const kv::TPkBmpButton* bypass, const kv::TPkComboBox* slope);
    // The channel of a channel graph when `sender` is one (not a gain-page graph), else -1.
    int DragChannel(kv::TObject* sender) const;
    // Whether handle n of a channel's graph lies under the pointer (x, y in the graph's pixels). Only
    // handles the graph places count: the channel's bands, the high-pass (31) and the low-pass (32).
    bool HandleHit(int channel, int n, int x, int y) const;

    TfmMain& w;
    std::array<std::unique_ptr<Plot>, kCurvePlots> plots;
    std::array<Controls, 6> channels;
    kv::TTimer* tmEqCurve = nullptr;
    kv::TTimer* tmHpLpCurve = nullptr;
    kv::TTimer* tmMouseEqCurve = nullptr;
    // One pending record per timer, so that one timer never applies another's edit.
    struct {
        PendingEdit eq, filter, drag;
    } pendingEdit;
    int dragBlock = -1;
    int lastMoveX = 0;
    int lastMoveY = 0;
};
