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

class TGeqPage;
class TOverlaysPage;
class TPeqPage;
class TMainLink;
class TMainLinkView;
class TSingleInstance;
class TDelayPage;
class TDynamicsPage;
class TGainPage;
class TLinkingPage;
class TMatrixPage;
class TMetersPage;
class TRefreshPage;
namespace kv {
class LMyFFTDrawHpLp6dB;
class TPeqBandTable;
class TPkBmpButton;
class TPkComboBox;
class TMyPEQType8;
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

    // The model (the main window owns it until the process ends) and the response engine of graph
    // `index` (kCurveGraphNames), which the PEQ page owns.
    LUnitControl* UnitControl() const { return unitControl.get(); }
    Plot* CurvePlot(int index) const;
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
    int currentPage = pgGain;
    uint8_t updatingView = 0;
    int extraHeight = 0;
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

    // ---- channel editors: PEQ with high- and low-pass, graphs and band dragging; graphic EQ; overlays
    // and graph mode (app/pages/PeqPage.h, GeqPage.h, OverlaysPage.h) ----
public:
    TPeqPage& Peq() const { return *peqPage; }
    TGeqPage& Geq() const { return *geqPage; }
    TOverlaysPage& Overlays() const { return *overlaysPage; }
    // The read-back's end hides the graphic EQ's band display before the panels are refreshed.
    void HidePendingGeqBand();

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
    // A companion control: stem + the channel's suffix ("cvdEqFreq" + "Out2"); none outside 0..5.
    template <class T> T* Companion(const std::string& stem, int channel) const {
        const std::string suffix = ChannelSuffix(channel);
        return suffix.empty() ? nullptr : Find<T>(stem + suffix);
    }
    // Enables a 1 ms deferral timer by name; an enabled one keeps counting, so a burst of edits faster
    // than its period still ends in a tick.
    void EnableTimer(const char* name) const;

private:
    std::unique_ptr<TPeqPage> peqPage;
    std::unique_ptr<TGeqPage> geqPage;
    std::unique_ptr<TOverlaysPage> overlaysPage;

    // ---- channel editors: gain, delay, dynamics, matrix, meters, linking, refresh (app/pages/) ----
    // The page objects: each finds its controls once (Bind, from FormCreate) and carries out the
    // handlers its Publish forwards from this class.
public:
    TGainPage& Gain() { return *gainPage; }
    TDelayPage& Delay() { return *delayPage; }
    TDynamicsPage& Dynamics() { return *dynamicsPage; }
    TMatrixPage& Matrix() { return *matrixPage; }
    TMetersPage& Meters() { return *metersPage; }
    TLinkingPage& Linking() { return *linkingPage; }
    TRefreshPage& Refresh() { return *refreshPage; }
    // The levels reply, for the meters.
    void OnLevelsReply(const BSTM& payload);

protected:
    // A control freed while the window lives is forgotten by the pages that found it.
    void Notification(kv::TComponent* component, kv::TOperation operation) override;

private:
    friend class TLinkingPage;  // the overlay bits of the curve buttons it hides
    friend class TRefreshPage;  // the gain page's overlays, all due after a refresh
    void CreateStripPages();
    void BindStripPages();
    std::unique_ptr<TGainPage> gainPage;
    std::unique_ptr<TDelayPage> delayPage;
    std::unique_ptr<TDynamicsPage> dynamicsPage;
    std::unique_ptr<TMatrixPage> matrixPage;
    std::unique_ptr<TMetersPage> metersPage;
    std::unique_ptr<TLinkingPage> linkingPage;
    std::unique_ptr<TRefreshPage> refreshPage;

    // ---- end of sections ----
};

// The main window; set when it is created, for the dialogs to call back.
extern TfmMain* fmMain;
