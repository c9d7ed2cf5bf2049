#pragma once
// The main window. One class, implemented in one file per subsystem: the life cycle and the block pages
// here in app/, the texts in app/FMainText.cpp and the channel editors in app/pages/FMain*.cpp. Each
// subsystem declares its members in its own section. The link side is an object of its own (TMainLink,
// app/link/), which the window owns and which reaches the window through its view (app/FMainLinkView.cpp).
//
// Controls are reached by name (FindComponent) or through the few typed members bound after the layout
// has loaded. Handlers are published by name so that the layout binds them; each member file publishes
// its own through its Publish... function, which the class registration calls.

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/TimerComponent.h"
#include "editors/response/Plot.h"
#include "link/LMainHost.h"
#include "link/LUnitControl.h"
#include "platform/core/Properties.h"
#include "platform/gui/Forms.h"

class TMainLink;
class TMainLinkView;
class TSingleInstance;
namespace kv {
class LMyFFTDrawHpLp6dB;
class TMyPEQType8;
class TPeqBandTable;
class TPkBmpButton;
class TPkComboBox;
class TRoundEdit;
enum class TUpDownDirection;
} // namespace kv

// Pages of the main window, by the Tag of their page button.
enum MainPage : int {
    pgInA = 0,
    pgInB = 1,
    pgOut1 = 2,
    pgOut4 = 5,
    pgComp = 6,
    pgDelay = 7,
    pgGain = 8,
    pgMatrix = 9,
    pgGate = 10,
    pgLimit = 11,
    pgGeq = 12,
};

// The gain page's input and output graphs among the ten.
inline constexpr int kGainInGraph = 6;
inline constexpr int kGainOutGraph = 7;

// The ten response engines, in the order of their graphs.
inline constexpr int kCurvePlots = 10;
inline constexpr std::array<const char*, kCurvePlots> kCurveGraphNames = {
    "fftDrawInA",  "fftDrawInB",    "fftDrawOut1",    "fftDrawOut2",   "fftDrawOut3",
    "fftDrawOut4", "fftDrawGainIn", "fftDrawGainOut", "fftDrawGeqInA", "fftDrawGeqInB",
};

class TfmMain : public kv::TForm {
    KV_CLASS(TfmMain)
public:
    explicit TfmMain(kv::TComponent* owner);
    ~TfmMain() override;

    // ---- shell: life cycle, pages, menus, overview (app/FMain.cpp, app/FMainPages.cpp) ----
public:
    void FormCreate(kv::TObject* sender);
    void FormClose(kv::TObject* sender, kv::TCloseAction& action);

    // Block pages and overview navigation.
    void pkbMenuInAClick(kv::TObject* sender);
    void lbMatrixHpLpInAClick(kv::TObject* sender);
    void lbMatrixGainInAClick(kv::TObject* sender);
    void lbMatrixDelayInAClick(kv::TObject* sender);
    void lbMatrixCompOut1Click(kv::TObject* sender);
    void lbMatrixPhaseOut1Click(kv::TObject* sender);
    void lbMatrixGeqInAClick(kv::TObject* sender);
    void lbMatrixGateInAClick(kv::TObject* sender);
    void lbMatrixChNameInAMouseMove(kv::TObject* sender, kv::TShiftState shift, int x, int y);
    void lbMatrixChNameInAMouseLeave(kv::TObject* sender);
    int GetChannelLinkMask(int channel) const;

    // Menu items that open the dialogs of this window's shell; the empty ones do nothing.
    void ExitClick(kv::TObject* sender);
    void SettingIDClick(kv::TObject* sender);
    void BlockDiagramClick(kv::TObject* sender);
    void ConnectHelpClick(kv::TObject* sender);

    // The channel suffix of a channel number: "InA", "InB", "Out1".."Out4"; empty outside 0..5.
    static std::string ChannelSuffix(int channel);
    // The suffix's letter or digit alone: "A", "B", "1".."4"; empty outside 0..5.
    static std::string ChannelMark(int channel);
    // A control of this window by name and class; none when the name is missing or of another class.
    template <class T> T* Find(const std::string& name) const {
        return dynamic_cast<T*>(FindComponent(name));
    }

    // Model and engines (the main window owns them until the process ends).
    LUnitControl* UnitControl() const { return unitControl.get(); }
    Plot* CurvePlot(int index) const {
        return index >= 0 && index < kCurvePlots ? curvePlots[static_cast<size_t>(index)].get() : nullptr;
    }
    int CurrentPage() const { return currentPage; }
    bool ExitConfirmed() const { return exitConfirmed != 0; }
    void SetExitConfirmed(bool on) { exitConfirmed = on ? 1 : 0; }

    // What the model's host (the link) asks of the window: the updating-view flag, the main window's
    // enabled state, the file dialogs.
    bool IsUpdatingView() const { return updatingView != 0; }
    void SetUpdatingView(bool on) { updatingView = on ? 1 : 0; }
    void SetMainEnabled(bool on);
    void RestoreProgramFolder();
    std::optional<std::string> RunFileDialog(FileDialog which);
    // The channel editors and preset lists.
    void SetOverlaysDirty(int ch);
    void ResetPeqViews();
    void RefreshAllPanels();
    void RepaintChannelGraphs();
    void ResetLevelMeters();
    void SetRecallPresetName(int row, const std::string& name);
    void SetStorePresetName(int row, const std::string& name);

    // Handler publishing of this window's member files, called by the class registration.
    static void PublishShell(kv::TClassBuilder<TfmMain>& b);
    static void PublishPages(kv::TClassBuilder<TfmMain>& b);

    // Brings the window forward (restored when minimised), as a second start asks.
    void ComeForward();

private:
    void SharePictures();
    void DrawFixedOverlays();
    // Runs the page button's click, sets it down and the matrix button up.
    void GoToPage(const std::string& buttonName);

    std::unique_ptr<LUnitControl> unitControl;
    std::string languageName;
    uint8_t startupRefresh = 0;
    uint8_t exitConfirmed = 0;
    std::array<std::unique_ptr<Plot>, kCurvePlots> curvePlots;
    int dragBlock = -1;
    int lastDragBlock = -1;
    int currentPage = pgGain;
    uint8_t updatingView = 0;
    int compPageChannel = 2;
    int gatePageChannel = 0;
    int limitPageChannel = 2;
    int extraHeight = 0;
    std::array<int, 8> overlayDirty{};
    std::unique_ptr<TSingleInstance> singleInstance;

    // ---- link (app/link/: TMainLink; its view on this window in app/FMainLinkView.cpp) ----
public:
    // The link side: transports, send path, replies, read-back, presets, files and transfers.
    TMainLink& MainLink() const { return *mainLink; }
    // Publishes the link's handlers (timers, link button, Connect menu, preset bar, File menu).
    static void PublishLink(kv::TClassBuilder<TfmMain>& b);
    // What the channel editors ask of the link, forwarded.
    void SendCommand(const LCmd& cmd, bool force);
    int GetDeviceId() const;
    bool IsConnected() const;
    bool IsOnline() const;
    int CurrentPreset() const;
    void StopLevelPoll();
    void SetTransferState(TransferState state);
    // Window handlers of the link: the Connect item and the start-up press of the link button; the
    // preset bar's lists and the factory-default confirmation.
    void ConnectedClick(kv::TObject* sender);
    void tmStartConnectTimer(kv::TObject* sender);
    void bStoreClick(kv::TObject* sender);
    void bRecallClick(kv::TObject* sender);
    void FactoryDefaultClick(kv::TObject* sender);
    // Closes the progress window, also one whose deferred showing is still due.
    void CloseProgressWindow();

private:
    // The link and its view on this window; the constructor makes them, before the layout binds.
    void CreateLink();
    // Declared before the link, which uses it up to its end.
    std::unique_ptr<TMainLinkView> linkView;
    std::unique_ptr<TMainLink> mainLink;

    // ---- texts: GetLangText, ApplyLanguage (app/FMainText.cpp) ----
    // Declared and defined by the texts' member file, with the information and progress windows that
    // the link's view hands on: GetLangText, ShowInformation, ShowProgressModal, ShowProgress.
public:
    // Publishes the language menu's handlers; app/FMainText.cpp.
    static void PublishTexts(kv::TClassBuilder<TfmMain>& b);
    // The text of a SID_ key in the current language; a language without a table reads English.
    std::string GetLangText(const std::string& key) const;
    // Sets every text of the main window in the current language.
    void ApplyLanguage();
    // The caption of the control or menu item `name`; false when the name finds neither.
    bool SetCaptionOf(const std::string& name, const std::string& text);
    const std::string& LanguageName() const { return languageName; }
    // The language menu items ChineseSimplified and English (one handler each, alike).
    void ChineseSimplifiedClick(kv::TObject* sender);
    void EnglishClick(kv::TObject* sender);
    // The ID/IP menu item: prepares and shows the setup dialog.
    void NetworkSetupClick(kv::TObject* sender);
    // The deferred modal showing of the progress window.
    void tmProcessShowTimer(kv::TObject* sender);
    // LMainHost: the information and progress windows.
    void ShowInformation(const std::string& text);
    void ShowProgressModal();
    void ShowProgress(const std::string& status, int position, int max);

    // ---- panel lock, test signal and small windows (app/FMainDialogs.cpp) ----
public:
    // Publishes the menu handlers of the lock, test-signal and small windows; app/FMainDialogs.cpp.
    static void PublishDialogs(kv::TClassBuilder<TfmMain>& b);
    void LockClick(kv::TObject* sender);
    void LockSetupClick(kv::TObject* sender);
    void TestToneClick(kv::TObject* sender);
    void AboutClick(kv::TObject* sender);
    void Rs232CodeClick(kv::TObject* sender);
    void MemoShowClick(kv::TObject* sender);
    void HidDataClick(kv::TObject* sender);

    // ---- layout on resize and channel names (app/FMainResize.cpp, app/FMainNames.cpp) ----
public:
    static void PublishResize(kv::TClassBuilder<TfmMain>& b);
    static void PublishNames(kv::TClassBuilder<TfmMain>& b);

    // Keeps the layout drawn for 1118 x 720 at larger sizes; scrolls below it.
    void FormResize(kv::TObject* sender);
    // The window height above 720 at the last resize that was at least that high.
    int ExtraHeight() const { return extraHeight; }
    // One rule of the layout on resize: the named control's side takes the value.
    enum class ResizeSide { Left, Top, Width, Height };
    struct ResizeRule {
        std::string name;
        ResizeSide side;
        int value;
    };
    struct ResizeRules {
        std::vector<ResizeRule> rules;
        void Add(const std::string& name, ResizeSide side, int value);
    };
    // The rules for dH pixels above the design height and dW beyond the design width.
    static ResizeRules HeightRules(int dH);
    static ResizeRules WidthRules(int dW);
    // The controls the last resize looked for and did not find; empty with a complete layout.
    const std::vector<std::string>& ResizeMissing() const { return resizeMissing; }

    // Channel names: 8 bytes in the user's code page, zero-padded.
    std::array<uint8_t, 8> ChannelNameOf(int channel) const;
    // Shows the name (a 9-byte buffer: 8 name bytes and a zero) on the overview and as the channel
    // page button's hint, and stores and sends it.
    void ApplyChannelName(int channel, const uint8_t* name);
    // Shows the name (8 bytes, zero-padded) on the overview and as the page button's hint only; false
    // when either control is missing. ShowChannelNames shows the model's six, as a refresh of the
    // panels does.
    bool ShowChannelName(int channel, const uint8_t* name);
    void ShowChannelNames();
    // The overview's name labels open the one-name dialog; the menu item the dialog of all six.
    void lbMatrixChNameInAClick(kv::TObject* sender);
    void ChNameListClick(kv::TObject* sender);

private:
    void ApplyResizeRules(const ResizeRules& rules);
    std::vector<std::string> resizeMissing;

    // ---- channel editors: curves, PEQ, high- and low-pass, band dragging (app/pages/FMain*.cpp) ----
public:
    // Publishes the handlers of the curve composition, PEQ, filter and drag editors
    // (app/pages/FMainCurves.cpp).
    static void PublishCurves(kv::TClassBuilder<TfmMain>& b);

    // Sets the updating-view flag for its lifetime and then puts back the value it found, also on an
    // early return or an exception, so a nested fill never clears the flag of the fill around it.
    class UpdatingViewGuard {
    public:
        explicit UpdatingViewGuard(TfmMain& window, bool on = true)
            : window_(window), saved_(window.updatingView) {
            window.updatingView = on ? 1 : 0;
        }
        ~UpdatingViewGuard() { window_.updatingView = saved_; }
        UpdatingViewGuard(const UpdatingViewGuard&) = delete;
        UpdatingViewGuard& operator=(const UpdatingViewGuard&) = delete;

    private:
        TfmMain& window_;
        uint8_t saved_;
    };

    // Curve composition (app/pages/FMainCurves.cpp): a channel's filters, PEQ bands and graphic EQ as
    // sections of its Plot, and the PEQ views of the six channels (ResetPeqViews above).
    void ComputeFilterCurve(bool highPass, int slopeCode, double frequency, int base, int channel);
    void ComputeHighPassCurve(kv::LMyFFTDrawHpLp6dB* graph);
    void ComputeLowPassCurve(kv::LMyFFTDrawHpLp6dB* graph);
    void ComputeGeqCurve(kv::LMyFFTDrawHpLp6dB* graph);
    void ComputePeqCurve(kv::LMyFFTDrawHpLp6dB* graph);
    void ShowAllPeqBands();

    // PEQ band editor (app/pages/FMainPeq.cpp).
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

    // High- and low-pass editors (app/pages/FMainHpLp.cpp).
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

    // Band dragging on the curve graphs (app/pages/FMainDrag.cpp).
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
    // A channel's curve graph and band table by name; none outside 0..5 or when missing.
    kv::LMyFFTDrawHpLp6dB* ChannelGraph(int channel) const;
    kv::TPeqBandTable* BandTable(int channel) const;
    // A companion control: stem + the channel's suffix ("cvdEqFreq" + "Out2").
    template <class T> T* Companion(const std::string& stem, int channel) const {
        const std::string suffix = ChannelSuffix(channel);
        return suffix.empty() ? nullptr : Find<T>(stem + suffix);
    }
    // Enables a 1 ms deferral timer by name; an enabled one keeps counting, so a burst of edits faster
    // than its period still ends in a tick.
    void EnableTimer(const char* name) const;
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
    std::optional<EqFaderEdit> BeginEqFaderEdit(kv::TObject* sender, const char* boxStem) const;
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
    // The high- or low-pass curve of a channel graph from the model.
    void ComputeFilterOf(kv::LMyFFTDrawHpLp6dB* graph, bool highPass);
    // The slope code of a filter from its bypass button and slope list (0 when bypassed).
    static int SlopeCodeOf(const kv::TPkBmpButton* bypass, const kv::TPkComboBox* slope);
    // The channel of a channel graph when `sender` is one (not a gain-page graph), else -1.
    int DragChannel(kv::TObject* sender) const;
    // Whether handle n of a channel's graph lies under the pointer (x, y in the graph's pixels). Only
    // handles the graph places count: the channel's bands, the high-pass (31) and the low-pass (32).
    bool HandleHit(int channel, int n, int x, int y) const;

    // One pending record per timer, so that one timer never applies another's edit.
    struct {
        PendingEdit eq, filter, drag;
    } pendingEdit;
    int lastMoveX = 0;
    int lastMoveY = 0;

    // ---- channel editors: refresh, level meters, overlays, graphic EQ (app/pages/FMain*.cpp) ----
public:
    // Handler publishing of the meters, the overlays and the graphic EQ.
    static void PublishMeters(kv::TClassBuilder<TfmMain>& b);
    static void PublishOverlays(kv::TClassBuilder<TfmMain>& b);
    static void PublishGeq(kv::TClassBuilder<TfmMain>& b);

    // Level meters (app/pages/FMainMeters.cpp): the 300 ms poll and the levels reply (32 bytes: ten
    // three-byte levels, then the compressor and limiter activity word).
    void tmInLevelDetTimer(kv::TObject* sender);
    void OnLevelsReply(const BSTM& payload);
    // One level value from its three bytes, linear (1.0 = 0 dB).
    static float DecodeLevel(uint8_t b0, uint8_t b1, uint8_t b2);
    // Segments lit by a linear level on an input (9) or output (8) bar.
    static int LevelSegments(float level, bool input);

    // Overlays and graph mode (app/pages/FMainOverlays.cpp). Graphs 0..5 are the channel graphs, 6 and 7
    // the gain page's input and output graphs.
    void RedrawGainPageOverlays();
    void RedrawChannelOverlays(int page);
    uint32_t OverlayDirtyMask(int graph) const;
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

    // Graphic EQ, EQ bypass and EQ reset (app/pages/FMainGeq.cpp).
    void isGeqCh01InAChange(kv::TObject* sender);
    void isGeqCh01InBChange(kv::TObject* sender);
    void tmGeqCurveTimer(kv::TObject* sender);
    void pkbGeqSelInAClick(kv::TObject* sender);
    void ldbEqBypassGeqInAClick(kv::TObject* sender);
    void ldbEqBypassInAClick(kv::TObject* sender);
    void ldbEqResetGeqInAClick(kv::TObject* sender);
    void ldbEqResetInAClick(kv::TObject* sender);
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
    void FillPanelsFromModel();
    void FillPeqTable(kv::TMyPEQType8* table, int ch);
    void OverlayClick(kv::TObject* sender, int graphIndex);
    void ShowGraphMode(kv::TObject* sender, uint8_t mode);
    void GeqBandChange(kv::TObject* sender, int input);
    void OpenEqReset(kv::TObject* sender, int targetBase);
    PendingGeqBand pendingGeqBand;

    // ---- channel editors: link groups and mirrors (app/pages/FMainMirrors.cpp) ----
public:
    // The link mask of the group that holds the channel (its own bit when no group does).
    int LinkGroupMask(int ch) const;
    // A value shown on the controls of every channel of the channel's link group, the channel's own
    // included, under the updating-view flag: nothing they run sends. The values are control positions:
    // gain fader position (-280..120), delay samples with the indicator's left, dynamics fader or up-down
    // positions by field (compressor 0 threshold, 1 attack, 2 release, 3 ratio, 4 knee; limiter 0..2
    // likewise, 3 knee; gate 0 threshold, 1 attack, 2 release, 3 hold). The ratio and knee fields write
    // the group's other channels only: the edited one's own handler wrote its box.
    void MirrorGainToLinked(int channel, int position);
    void MirrorDelayToLinked(int channel, int samples, int indicatorLeft);
    void MirrorCompToLinked(int channel, int field, int value);
    void MirrorGateToLinked(int channel, int field, int value);
    void MirrorLimitToLinked(int channel, int field, int value);
    void MirrorPhaseToLinked(int channel, bool on);
    void MirrorMuteToLinked(int channel, bool on);
    // The dashed delay line of an indicator at `indicatorLeft`: one "-" per 6 pixels beyond 40, at most 132.
    static std::string DelayLineText(int indicatorLeft);
    // A press of the End key in a value box (its key-down and key-up events), as the typed-entry
    // handlers give a box whose text they put back.
    static void PressEndKey(kv::TRoundEdit& box);

    // ---- channel editors: linking, channel copy, link and copy dialogs (app/pages/FMainLinking.cpp) ----
public:
    static void PublishLinking(kv::TClassBuilder<TfmMain>& b);
    // Called at the end of every panel refresh: the link dialog's grid, the curve buttons and the page
    // buttons' captions from the model's link masks. Nothing while the dialog does not exist yet.
    void ShowLinksFromModel();
    // Stores a channel's link mask; the model sends it, forced, unless the view is updating.
    void SetChannelLinkMask(int channel, int mask);
    // Copies one channel's settings onto another of its side. Online the unit copies and, with `full`,
    // a read-back follows the next acknowledgement; offline the model copies and, with `full`, the
    // panels are refreshed. Offline a full copy goes onto the destination's whole link group; a copy
    // without `full` (a channel joining a group) onto the destination alone, as the unit does.
    void CopyChannelSettings(int source, int destination, bool full);
    // After link changes: online a read-back through the next acknowledgement, offline a refresh.
    void ResyncAfterLink();
    // The caption of the channel's page button (and, for an input, its graphic-EQ button): its own
    // name when it is the master, else "3=1" (channel, "=", master).
    void ShowLinkCaption(int master, int channel);
    // Shows or hides the buttons that put the channel's curve on the gain page's graph and on the other
    // channels' graphs; hiding switches them off and takes the curve off those graphs.
    void SetOverlayButtonsVisible(int channel, bool visible);
    // The Link and Copy menu items: the dialogs, modally.
    void LinkClick(kv::TObject* sender);
    void CopyClick(kv::TObject* sender);

    // ---- channel editors: gain, mute and polarity (app/pages/FMainGain.cpp) ----
public:
    static void PublishGain(kv::TClassBuilder<TfmMain>& b);
    // The channel page's controls and their gain-page twins ("Backup"); the channel is the sender's Tag.
    void isGainInAChange(kv::TObject* sender);
    void isGainBackupInAChange(kv::TObject* sender);
    void pkbMuteInAClick(kv::TObject* sender);
    void pkbMuteBackupInAClick(kv::TObject* sender);
    void pkbPhaseInAClick(kv::TObject* sender);
    void pkbPhaseBackupInAClick(kv::TObject* sender);
    // Typed gains in either value box of a channel: Enter or leaving the box.
    void cvdGainInAKeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdGainInAExit(kv::TObject* sender);

private:
    // The shared bodies: `twinStem` names the other copy of the sender.
    void GainEdit(kv::TObject* sender, const char* twinStem);
    void TypedGain(kv::TObject* sender);
    void ToggleClick(kv::TObject* sender, const char* twinStem, bool polarity);

    // ---- channel editors: dynamics and their typed values (app/pages/FMainDynamics.cpp,
    // app/pages/FMainDynamicsEntry.cpp) ----
public:
    static void PublishDynamics(kv::TClassBuilder<TfmMain>& b);
    static void PublishDynamicsEntry(kv::TClassBuilder<TfmMain>& b);

    // One field of a channel's dynamics record set from a control position, stored in the channel's
    // link group and sent. Compressor (outputs 2..5): 0 threshold, 1 attack, 2 release, 3 ratio, 4 knee;
    // limiter (outputs): 0 threshold, 1 attack, 2 release, 3 knee; gate (inputs 0..1): 0 threshold,
    // 1 attack, 2 release, 3 hold. A threshold position is stored as its code, position + 180.
    void ApplyCompParam(int channel, int field, int value);
    void ApplyLimitParam(int channel, int field, int value);
    void ApplyGateParam(int channel, int field, int value);

    // The strips' faders and up-downs, one handler per row shared by every strip.
    void isCompThresholdOut1Change(kv::TObject* sender);
    void isCompAttackOut1Change(kv::TObject* sender);
    void isCompReleaseOut1Change(kv::TObject* sender);
    void udCompRatioOut1ChangingEx(kv::TObject* sender, bool& allowChange, std::int16_t newValue,
                                   kv::TUpDownDirection direction);
    void udCompKneeOut1ChangingEx(kv::TObject* sender, bool& allowChange, std::int16_t newValue,
                                  kv::TUpDownDirection direction);
    void isLimitThresholdOut1Change(kv::TObject* sender);
    void isLimitAttackOut1Change(kv::TObject* sender);
    void isLimitReleaseOut1Change(kv::TObject* sender);
    void udLimitKneeOut1ChangingEx(kv::TObject* sender, bool& allowChange, std::int16_t newValue,
                                   kv::TUpDownDirection direction);
    void isGateThresholdInAChange(kv::TObject* sender);
    void isGateAttackInAChange(kv::TObject* sender);
    void isGateReleaseInAChange(kv::TObject* sender);
    void isGateHoldInAChange(kv::TObject* sender);

    // A mouse-down in a strip shows that strip's channel on its page.
    void isCompThresholdOut1MouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift,
                                      int x, int y);
    void cvdCompThresholdOut1MouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift,
                                       int x, int y);
    void lbCompOut1MouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift, int x,
                             int y);
    void isLimitThresholdOut1MouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift,
                                       int x, int y);
    void cvdLimitThresholdOut1MouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift,
                                        int x, int y);
    void lbLimitOut1MouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift, int x,
                              int y);
    void lbGateInAMouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift, int x,
                            int y);
    void isGateThresholdInAMouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift,
                                     int x, int y);
    void cvdGateThresholdInAMouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift,
                                      int x, int y);
    void cvdGateAttackInAMouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift, int x,
                                   int y);
    void cvdGateReleaseInAMouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift,
                                    int x, int y);

    // The transfer curves of a channel from its strip's controls, with the page's header labels; each
    // makes the channel its page's channel. A strip without its threshold, knee or ratio control
    // changes nothing.
    void DrawCompCurve(int channel);
    void DrawLimitCurve(int channel);
    void DrawGateCurve(int channel);
    // The gate curve and name of an input, leaving the page channel and header as they are; false when
    // the input has no threshold fader.
    bool DrawGatePoints(int channel);
    // The points the three plots show before anything is drawn from a strip.
    void SeedTransferCurves();
    // The deferred compressor and limiter redraws: one draw per tick, for the channel edited last.
    void tmCompDispTimer(kv::TObject* sender);
    void tmLimitDispTimer(kv::TObject* sender);

    int CompPageChannel() const { return compPageChannel; }
    int LimitPageChannel() const { return limitPageChannel; }
    int GatePageChannel() const { return gatePageChannel; }
    int CompCurveChannel() const { return compCurveChannel; }
    int LimitCurveChannel() const { return limitCurveChannel; }

    // Typed values of the dynamics boxes: Enter in a box, or leaving it, sets the strip's fader or
    // up-down as if the user had moved it; a text that is no value, or the value already set, puts the
    // current value back (app/pages/FMainDynamicsEntry.cpp).
    void cvdCompThresholdOut1KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdCompThresholdOut1Exit(kv::TObject* sender);
    void cvdLimitThresholdOut1KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdLimitThresholdOut1Exit(kv::TObject* sender);
    void cvdGateThresholdInAKeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdGateThresholdInAExit(kv::TObject* sender);
    void cvdCompAttackOut1KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdCompAttackOut1Exit(kv::TObject* sender);
    void cvdCompReleaseOut1KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdCompReleaseOut1Exit(kv::TObject* sender);
    void cvdLimitAttackOut1KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdLimitAttackOut1Exit(kv::TObject* sender);
    void cvdLimitReleaseOut1KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdLimitReleaseOut1Exit(kv::TObject* sender);
    void cvdGateAttackInAKeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdGateAttackInAExit(kv::TObject* sender);
    void cvdGateReleaseInAKeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdGateReleaseInAExit(kv::TObject* sender);
    void cvdGateHoldInAKeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdGateHoldInAExit(kv::TObject* sender);
    void cvdCompKneeOut1KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdCompKneeOut1Exit(kv::TObject* sender);
    void cvdLimitKneeOut1KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdLimitKneeOut1Exit(kv::TObject* sender);
    void cvdCompRatioOut1KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdCompRatioOut1Exit(kv::TObject* sender);

private:
    // The shared bodies of the change handlers of the three pages.
    void CompFaderChange(kv::TObject* sender, int field);
    void CompUpDownChange(kv::TObject* sender, int field, int newValue);
    void LimitFaderChange(kv::TObject* sender, int field);
    void GateFaderChange(kv::TObject* sender, int field);
    // The gate page's name label for an input, as the gate faders redraw it.
    void ShowGateName(int channel);
    struct TransferPoint {
        double x, y;
    };
    void SetTransferPoints(const char* plotName, std::initializer_list<TransferPoint> curve,
                           TransferPoint threshold);
    // What a dynamics box holds, and the one road of its typed values.
    enum class DynamicsValue { level, time, knee, ratio };
    void ConfirmDynamicsValue(kv::TObject* sender, const char* targetStem, DynamicsValue kind);

    // The channel the next tick of tmCompDisp or tmLimitDisp draws; -1 before the first edit.
    int compCurveChannel = -1;
    int limitCurveChannel = -1;

    // ---- channel editors: matrix mixer (app/pages/FMainMatrix.cpp) ----
public:
    static void PublishMatrix(kv::TClassBuilder<TfmMain>& b);
    // Draws a line over pbMatrix for every route of the model. The lines live on the diagram group's
    // canvas and are drawn only while the group paints (pkgFftMatrixPaint): a change calls this and
    // then repaints pbMatrix, whose repaint paints the group beneath it.
    void DrawMatrixRouting();
    void pkgFftMatrixPaint(kv::TObject* sender);
    // One handler of each kind per output, shared by the output's A and B controls, which carry their
    // input (0 InA, 1 InB) in their Tag. Out5 and Out6 exist for outputs the unit does not have.
    void pkbAMatrixOut1Click(kv::TObject* sender);
    void pkbAMatrixOut2Click(kv::TObject* sender);
    void pkbAMatrixOut3Click(kv::TObject* sender);
    void pkbAMatrixOut4Click(kv::TObject* sender);
    void pkbAMatrixOut5Click(kv::TObject* sender);
    void pkbAMatrixOut6Click(kv::TObject* sender);
    // The up-downs' change event without its direction, which they do not need (the publishing adapts).
    void udMixGainAOut1ChangingEx(kv::TObject* sender, bool& allowChange, std::int16_t newValue,
                                  kv::TUpDownDirection direction);
    void udMixGainAOut2ChangingEx(kv::TObject* sender, bool& allowChange, std::int16_t newValue,
                                  kv::TUpDownDirection direction);
    void udMixGainAOut3ChangingEx(kv::TObject* sender, bool& allowChange, std::int16_t newValue,
                                  kv::TUpDownDirection direction);
    void udMixGainAOut4ChangingEx(kv::TObject* sender, bool& allowChange, std::int16_t newValue,
                                  kv::TUpDownDirection direction);
    void udMixGainAOut5ChangingEx(kv::TObject* sender, bool& allowChange, std::int16_t newValue,
                                  kv::TUpDownDirection direction);
    void udMixGainAOut6ChangingEx(kv::TObject* sender, bool& allowChange, std::int16_t newValue,
                                  kv::TUpDownDirection direction);
    void cvdAMatrixOut1KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdAMatrixOut2KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdAMatrixOut3KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdAMatrixOut4KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdAMatrixOut5KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdAMatrixOut6KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdAMatrixOut1Exit(kv::TObject* sender);
    void cvdAMatrixOut2Exit(kv::TObject* sender);
    void cvdAMatrixOut3Exit(kv::TObject* sender);
    void cvdAMatrixOut4Exit(kv::TObject* sender);
    void cvdAMatrixOut5Exit(kv::TObject* sender);
    void cvdAMatrixOut6Exit(kv::TObject* sender);
    // The up-down position (-280..0) of a typed mix level in dB ("-25.7", "-3dB", "+6"), clamped to
    // -60..0 dB; below -20 dB taken toward zero onto the 0.5 dB grid. None when the text is no level.
    static std::optional<int> MixLevelPosition(std::string text);
    // The same for a level up to `maxDb` (the gain boxes: +12 dB, positions -280..120).
    static std::optional<int> LevelPosition(std::string text, double maxDb);

private:
    void RouteClick(kv::TObject* sender, int output);
    void MixLevelChanging(kv::TObject* sender, int value, int output);
    void TypedMixLevel(kv::TObject* sender, int output);
    // A level typed into a box (up to `maxDb`) moves its control, whose change applies it; text that is
    // no level, or the level already set, puts the control's level back into the box.
    void ConfirmTypedLevel(kv::TRoundEdit& box, double maxDb, const std::function<int()>& position,
                           const std::function<void(int)>& move);

    // ---- channel editors: delay (app/pages/FMainDelay.cpp) ----
public:
    static void PublishDelay(kv::TClassBuilder<TfmMain>& b);
    void isDelayInAChange(kv::TObject* sender);
    void cvdDelayInBKeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdDelayInAExit(kv::TObject* sender);
    void pkbUnit0Click(kv::TObject* sender);
    // Dragging the indicator along a delay line: the three mouse events of the line labels.
    void lbDelayLineInAMouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift, int x,
                                 int y);
    void lbDelayLineInAMouseMove(kv::TObject* sender, kv::TShiftState shift, int x, int y);
    void lbDelayLineInAMouseUp(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift, int x,
                               int y);
    // Puts the channel's delay time label beside its indicator and writes its dashed line for the
    // indicator's current left; the refresh and the resize call it.
    void PlaceDelayIndicator(int channel);
    // The left of a delay indicator for `samples` on a line `lineWidth` pixels wide, the fader's
    // maximum at 50 pixels before the line's end. The refresh, the resize and the delay editor use it.
    static int DelayIndicatorLeft(int samples, int lineWidth, int faderMax);
    // Samples (0..65280) of a typed delay in unit 0 ms, 1 m, 2 ft; the unit word may follow the number.
    // None when the text is refused: empty, a sign, a blank, any other character, or no number.
    static std::optional<int> TypedDelaySamples(std::string text, int unit);
    // The unit delays are shown and typed in: the model's, any unknown unit word read as ms.
    int DelayUnit() const;
    bool DelayDragging() const { return delayDragging != 0; }

private:
    void TypedDelay(kv::TObject* sender);
    int delayDragging = 0;

    // ---- end of sections ----
};

// The main window; set when it is created, for the dialogs to call back.
extern TfmMain* fmMain;
