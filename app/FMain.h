#pragma once
// The main window. One class, implemented in one file per subsystem: the life cycle and the block pages
// here in app/, the link, connection and replies in app/link/FMain*.cpp, the texts in app/FMainText.cpp and
// the channel editors in app/pages/FMain*.cpp. Each subsystem declares its members in its own section.
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
#include "link/LComm.h"
#include "link/LMainHost.h"
#include "link/LNet.h"
#include "link/LUnitControl.h"
#include "link/LUsb.h"
#include "link/LinkOwner.h"
#include "link/MainHid.h"
#include "link/PresetFiles.h"
#include "platform/core/Properties.h"
#include "platform/gui/Forms.h"

class TGeqPage;
class TOverlaysPage;
class TPeqPage;
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

class TfmMain : public kv::TForm, public LinkOwner, public LMainHost, public LHidHost {
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

    // LMainHost: the updating-view flag, the main window's enabled state, the file dialogs.
    bool IsUpdatingView() const override { return updatingView != 0; }
    void SetUpdatingView(bool on) override { updatingView = on ? 1 : 0; }
    void SetMainEnabled(bool on) override;
    void RestoreProgramFolder() override;
    std::optional<std::string> RunFileDialog(FileDialog which) override;
    // LMainHost operations of the channel editors and preset lists, which later work fills.
    void SetOverlaysDirty(int ch) override;
    void ResetPeqViews() override;
    void RefreshAllPanels() override;
    void RepaintChannelGraphs() override;
    void ResetLevelMeters() override;
    void SetRecallPresetName(int row, const std::string& name) override;
    void SetStorePresetName(int row, const std::string& name) override;

    // Handler publishing of this window's member files, called by the class registration.
    static void PublishShell(kv::TClassBuilder<TfmMain>& b);
    static void PublishPages(kv::TClassBuilder<TfmMain>& b);

    // Brings the window forward (restored when minimised), as a second start asks.
    void ComeForward();

private:
    void SharePictures();
    void DrawFixedOverlays();
    // The client socket's port and the default unit address, also as deviceIp.
    void SetDefaultNetworkAddress();
    // Closes and releases the serial, USB and network transports, in that order.
    void CloseTransportsForExit();
    // Runs the page button's click, sets it down and the matrix button up.
    void GoToPage(const std::string& buttonName);

    std::unique_ptr<LUnitControl> unitControl;
    std::string languageName;
    uint8_t startupRefresh = 0;
    uint8_t exitConfirmed = 0;
    int currentPage = pgGain;
    int currentPreset = 0;
    uint8_t updatingView = 0;
    int extraHeight = 0;
    std::unique_ptr<TSingleInstance> singleInstance;

    // ---- link: send path, connection, replies, read-back (app/link/FMain*.cpp) ----
    // Declared and defined by the link's member files: the link's fields of the private state and the
    // overrides LinkOwner (GetDeviceId, HidWrite, NetWrite, Dispatch), LMainHost (SendCommand,
    // IsConnected, StopLevelPoll, SetLinkTimeout, SetTransferState, SetPostOpenState, DownloadBuffers)
    // and LHidHost (StatusText, SetStatusText, MainWindowVisible, StartLinkBrokenTimer).
public:
    // Publishes the link's handlers (timers, socket, HID controller, Connect menu); app/link/FMainLink.cpp.
    static void PublishLink(kv::TClassBuilder<TfmMain>& b);
    // Binds the HID controller and the client socket; FormCreate calls it first.
    void LinkCreate();

    // LinkOwner and LMainHost: the send path, the port writes, the link messages.
    int GetDeviceId() const override { return deviceId; }
    void HidWrite(const uint8_t* bytes, uint32_t length) override;
    void NetWrite(const uint8_t* bytes, uint32_t length) override;
    void Dispatch(TMessage& msg) override;
    void SendCommand(const LCmd& cmd, bool force) override;
    bool IsConnected() const override { return connected != 0; }
    void StopLevelPoll() override;
    void SetLinkTimeout(int ms) override;
    void SetTransferState(TransferState state) override;
    void SetPostOpenState(int state) override;
    UnitDownload& DownloadBuffers() override;
    // LHidHost: lbStatus, visibility, the unplug's deferred close.
    std::string StatusText() const override;
    void SetStatusText(const std::string& text) override;
    bool MainWindowVisible() const override;
    void StartLinkBrokenTimer() override;

    // Link events and closing (app/link/FMainLink.cpp).
    void OnLinkEvent(TMessage& msg);
    void CloseLink();
    void SetLinkRetryLimit(int n);
    void SetKeepAliveSuspended(bool on);
    void SetDeviceId(int id);
    void tmDisconnectTimer(kv::TObject* sender);
    void tmLinkBrokenTimer(kv::TObject* sender);
    void tmComScanTimer(kv::TObject* sender);
    // The network side: the socket's handlers, the probe of the address before a search, and what the
    // setup dialog changes.
    void ProbeNetworkAddress();
    void ClientSocketConnecting();
    void ClientSocketConnect();
    void RetargetSocket(const std::string& address);
    TClientSocket& ClientSocket() { return netSocket.Socket; }
    uint32_t DeviceIp() const { return deviceIp; }
    void SetDeviceIp(uint32_t ip) { deviceIp = ip; }
    bool AutoIp() const { return autoIp != 0; }
    void SetAutoIp(bool on) { autoIp = on ? 1 : 0; }
    THidDevice* HidDevice() { return mainHid.HidDevice(); }
    LMainHid& MainHid() { return mainHid; }

    // Connect and handshake (app/link/FMainConnect.cpp).
    void ConnectCom();
    void ConnectUsb();
    void ConnectNet();
    void OnProbeReply();
    void OnIdentityReply(const BSTM& payload);
    void pkbMenuLinkClick(kv::TObject* sender);
    void ConnectedClick(kv::TObject* sender);
    void tmStartConnectTimer(kv::TObject* sender);
    // The serial port of the next attempt, by its path.
    void SetComPortName(const std::string& path) { comPortName = path; }
    const std::string& ComPortName() const { return comPortName; }

    // Replies and transfer states (app/link/FMainReply.cpp).
    void OnLinkFrame(const BSTM& frame);
    TransferState GetTransferState() const { return transferState; }
    int PostOpenState() const { return postOpenState; }
    // The transfer watchdog: a transfer that makes no progress for this long closes the progress
    // window and the link.
    uint32_t TransferWatchdogMs() const;

    // Lock status and read-back (app/link/FMainReadBack.cpp).
    void OnLockStatusReply(const BSTM& payload);
    void tmLockPromptTimer(kv::TObject* sender);
    void OnReadParamsReply(const BSTM& payload);
    void OnCurrentPresetReply(uint8_t preset);
    void OnPresetNameReply(const BSTM& payload);
    void OnParamBlockReply(uint8_t id, const BSTM& payload);
    int CurrentPreset() const { return currentPreset; }

    // State for the dialogs and tests.
    bool IsOnline() const { return online != 0; }
    bool IsConnecting() const { return connecting != 0; }
    // The open transport: serial, else USB, else network; none when offline.
    LLink* Link() const;
    LCommProc* ComLink() const { return comLink.get(); }
    LUsbProc* UsbLink() const { return usbLink.get(); }
    LNetProc* NetLink() const { return netLink.get(); }
    // Closes the progress window, also one whose deferred showing is still due.
    void CloseProgressWindow();
    // Generation of the transport that exists now; every new transport gets the next one.
    uint32_t LinkGeneration() const { return linkGeneration; }

private:
    template <class P> std::unique_ptr<P> NewTransport();
    // Frees the transport; the socket is deactivated when it was the network transport.
    void FreeTransports();
    // Back to no transfer: state, cursors, the post-open step and the lock prompt.
    void ResetTransfers();
    // The window's side of a closed link: captions, buttons, the level meters.
    void ShowLinkClosed();

    // The transfer watchdog: (re)started by every transfer step, stopped when it ends.
    void KickTransferWatchdog();
    // Whether an acknowledgement now answers a step of a running transfer (a keep-alive's does not).
    bool AckIsTransferStep() const;
    // The text key of what an interrupted transfer leaves on the unit, null when nothing is running
    // that leaves it incomplete.
    const char* IncompleteCopyKey() const;
    // The store's acknowledgement: the new number and name take effect.
    void ApplyStoredPreset();
    void StopTransferWatchdog();
    void TransferWatchdogExpired();
    // The lock status is asked again only after the prompt has been answered.
    void ShowLockPrompt();
    kv::TTimer* LinkTimer(const char* name) const;

    std::unique_ptr<LCommProc> comLink;
    std::unique_ptr<LUsbProc> usbLink;
    std::unique_ptr<LNetProc> netLink;
    LNetSocket netSocket{this};
    LMainHid mainHid{this, this};
    std::string comPortName;
    int deviceId = 1;
    uint8_t connecting = 0;
    uint8_t connected = 0;
    uint8_t online = 0;
    uint32_t deviceIp = 0;
    int autoIp = 0;
    uint32_t linkGeneration = 0;
    TransferState transferState = tsIdle;
    int postOpenState = 0;
    int uploadPreset = 0;
    int downloadRecord = 0;
    std::unique_ptr<UnitDownload> downloadUnitInfo;
    uint8_t lockPromptShown = 0;
    std::unique_ptr<::TTimer> transferWatchdog;
    // A store under way: the preset number (1..20, 0 = none) and the 14 name bytes it stores, and
    // whether the unit acknowledged it.
    int storePreset = 0;
    BSTM storeName;
    bool storeAcked = false;

    // ---- texts: GetLangText, ApplyLanguage (app/FMainText.cpp) ----
    // Declared and defined by the texts' member file, with the dialog overrides of LMainHost and
    // LHidHost: GetLangText, ShowInformation, ShowProgressModal, ShowProgress.
public:
    // Publishes the language menu's handlers; app/FMainText.cpp.
    static void PublishTexts(kv::TClassBuilder<TfmMain>& b);
    // The text of a SID_ key in the current language; a language without a table reads English.
    std::string GetLangText(const std::string& key) const override;
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
    void ShowInformation(const std::string& text) override;
    void ShowProgressModal() override;
    void ShowProgress(const std::string& status, int position, int max) override;

    // ---- presets, files and whole-unit transfers (app/link/FMainPresets.cpp, app/link/FMainFiles.cpp) ----
private:
    // The level poll on again at the end of a transfer.
    void StartLevelPoll();
    // The progress window's status, range and position, before it is shown.
    void PrepareProgress(const std::string& status, int max);
    void FinishDownload();
    LPresetFiles& PresetFiles();
    std::unique_ptr<LPresetFiles> presetFiles;

public:
    // Publishes the preset bar's, the File menu's and the upload timer's handlers; app/link/FMainPresets.cpp.
    static void PublishPresets(kv::TClassBuilder<TfmMain>& b);

    // Preset bar and factory default (app/link/FMainPresets.cpp). Names travel as the 14 bytes of the
    // user's code page, padded with blanks.
    void bStoreClick(kv::TObject* sender);
    void bRecallClick(kv::TObject* sender);
    // True once the unit acknowledged the store; the preset bar and the model change only then.
    bool StorePresetToDevice(int n, const std::string& name14);
    void RecallPresetFromDevice(int n);
    void FactoryDefaultClick(kv::TObject* sender);
    void SendFactoryReset();

    // File menu and whole-unit transfers (app/link/FMainFiles.cpp).
    void OpenClick(kv::TObject* sender);
    void SaveClick(kv::TObject* sender);
    void UploadClick(kv::TObject* sender);
    void DownloadClick(kv::TObject* sender);
    void UploadUnit();
    void OnUnitInfoReply(const BSTM& payload);
    void RequestPreset(int n);
    void OnPresetBlockReply(uint8_t id, const BSTM& payload);
    void tmUploadTimer(kv::TObject* sender);
    void DownloadNextPreset(int record);
    void OnDownloadAck(const BSTM& payload);
    int UploadPreset() const { return uploadPreset; }
    int DownloadRecord() const { return downloadRecord; }

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
    // Whether a frame with this command code still waits in the open transport's queue.
    bool IsFrameQueued(uint8_t code) const;
    // Whether there is a transport and it awaits no reply and holds nothing queued.
    bool IsLinkDrained() const;
    // An acknowledgement arrived: the lock dialog learns whether it was its command's.
    void OnLockAck();
    // Reply 45, the unit's verdict on a submitted password.
    void OnPasswordReply(const BSTM& payload);
    // One line for the frame log, on the GUI thread.
    void OnFrameLogLine(const std::string& line);

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
