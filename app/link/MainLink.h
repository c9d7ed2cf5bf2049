#pragma once
// The main window's link side: the transports and their owner role, the USB device's handlers and the
// client socket; the connection, transfer and post-open state; the send path; the dispatch of every
// reply; the transfer watchdog; the read-back, the preset store and recall, the preset and unit files
// and the whole-unit upload and download. It is the unit model's host. It reaches the windows only
// through TMainLinkView, so it runs without any window (its tests drive it against the simulated unit).
//
// Implemented in one file per subject: MainLink.cpp (send path, link messages, closing, the network
// side), MainLinkConnect.cpp, MainLinkReply.cpp (dispatch table, transfer states, watchdog),
// MainLinkReadBack.cpp, MainLinkPresets.cpp, MainLinkFiles.cpp.

#include <cstdint>
#include <memory>
#include <string>

#include "app/link/MainLinkView.h"
#include "link/LComm.h"
#include "link/LMainHost.h"
#include "link/LNet.h"
#include "link/LUsb.h"
#include "link/LinkOwner.h"
#include "link/MainHid.h"

// Posted by the transport to the link side after the read-back's keep-alive went out: the pages show
// what was read.
inline constexpr uint32_t WM_READ_BACK_SHOWN = 0x560;

class LPresetFiles;
class LUnitControl;
class TScheduler;
struct UnitDownload;
namespace kv {
class TObject;
}

class TMainLink : public LinkOwner, public LMainHost, public LHidHost {
public:
    // User presets 1..20 (0 is the factory preset).
    static constexpr int kUserPresets = 20;

    // `scheduler` runs the transports' timers and the watchdog (a virtual clock in tests).
    TMainLink(TMainLinkView& view, TScheduler* scheduler);
    ~TMainLink() override;
    TMainLink(const TMainLink&) = delete;
    TMainLink& operator=(const TMainLink&) = delete;

    // The model whose host this is; the window creates it with this object as its host.
    void SetModel(LUnitControl* model) { model_ = model; }
    LUnitControl* Model() const { return model_; }
    // Binds the view's HID device controller and the client socket's events; the window's FormCreate
    // calls it first.
    void Bind();
    // The client socket's port and the default unit address, also as the device IP.
    void SetDefaultNetworkAddress();
    // Closes and releases the serial, USB and network transports, in that order (the program ends).
    void CloseForExit();

    // ---- LinkOwner, LMainHost, LHidHost ----
    int GetDeviceId() const override { return deviceId_; }
    void HidWrite(const uint8_t* bytes, uint32_t length) override;
    void NetWrite(const uint8_t* bytes, uint32_t length) override;
    void Dispatch(TMessage& msg) override;
    void SendCommand(const LCmd& cmd, bool force) override;
    bool IsConnected() const override { return connected_ != 0; }
    void StopLevelPoll() override;
    void SetLinkTimeout(int ms) override;
    void SetTransferState(TransferState state) override;
    void SetPostOpenState(int state) override;
    UnitDownload& DownloadBuffers() override;
    bool IsUpdatingView() const override;
    void SetUpdatingView(bool on) override;
    void SetOverlaysDirty(int ch) override;
    void ResetPeqViews() override;
    void RefreshAllPanels() override;
    void RepaintChannelGraphs() override;
    void ResetLevelMeters() override;
    void SetRecallPresetName(int row, const std::string& name) override;
    void SetStorePresetName(int row, const std::string& name) override;
    std::optional<std::string> RunFileDialog(FileDialog which) override;
    std::string GetLangText(const std::string& key) const override;
    void ShowInformation(const std::string& text) override;
    void ShowProgressModal() override;
    void ShowProgress(const std::string& status, int position, int max) override;
    void SetMainEnabled(bool on) override;
    void RestoreProgramFolder() override;
    std::string StatusText() const override;
    void SetStatusText(const std::string& text) override;
    bool MainWindowVisible() const override;
    void StartLinkBrokenTimer() override;

    // ---- link messages, closing, the transport setters (MainLink.cpp) ----
    void OnLinkEvent(TMessage& msg);
    void CloseLink();
    void SetLinkRetryLimit(int n);
    void SetKeepAliveSuspended(bool on);
    // The serial transport resends the awaited frame this many more times (a page being built).
    void SetForcedResend(int n);
    void SetDeviceId(int id);
    // The layout's link timers' handlers.
    void tmDisconnectTimer(kv::TObject* sender);
    void tmLinkBrokenTimer(kv::TObject* sender);
    void tmComScanTimer(kv::TObject* sender);
    // The network side: the socket's handlers, the probe of the address before a search, and what the
    // setup dialog changes.
    void ProbeNetworkAddress();
    void ClientSocketConnecting();
    void ClientSocketConnect();
    void RetargetSocket(const std::string& address);
    TClientSocket& ClientSocket() { return netSocket_.Socket; }
    uint32_t DeviceIp() const { return deviceIp_; }
    void SetDeviceIp(uint32_t ip) { deviceIp_ = ip; }
    bool AutoIp() const { return autoIp_ != 0; }
    void SetAutoIp(bool on) { autoIp_ = on ? 1 : 0; }
    THidDevice* HidDevice() { return mainHid_.HidDevice(); }
    LMainHid& MainHid() { return mainHid_; }
    // Whether a frame with this command code still waits in the open transport's queue.
    bool IsFrameQueued(uint8_t code) const;
    // Whether there is a transport and it awaits no reply and holds nothing queued.
    bool IsLinkDrained() const;

    // ---- connect and handshake (MainLinkConnect.cpp) ----
    void ConnectCom();
    void ConnectUsb();
    void ConnectNet();
    // The link button: closes an open link, else starts the search.
    void pkbMenuLinkClick(kv::TObject* sender);
    // The serial port of the next attempt, by its path.
    void SetComPortName(const std::string& path) { comPortName_ = path; }
    const std::string& ComPortName() const { return comPortName_; }

    // ---- replies and transfer states (MainLinkReply.cpp) ----
    void OnLinkFrame(const BSTM& frame);
    TransferState GetTransferState() const { return transferState_; }
    int PostOpenState() const { return postOpenState_; }
    // The transfer watchdog: a transfer that makes no progress for this long closes the progress
    // window and the link.
    uint32_t TransferWatchdogMs() const;
    bool TransferWatchdogRunning() const;

    // ---- lock status and read-back (MainLinkReadBack.cpp) ----
    void tmLockPromptTimer(kv::TObject* sender);
    // The unit's current preset (0 factory, 1..20 user); the read-back goes on with the preset names.
    void OnCurrentPresetReply(uint8_t preset);
    int CurrentPreset() const { return currentPreset_; }

    // ---- presets, files and whole-unit transfers (MainLinkPresets.cpp, MainLinkFiles.cpp) ----
    // True once the unit acknowledged the store; the preset bar and the model change only then.
    // Names travel as the 14 bytes of the user's code page, padded with blanks.
    bool StorePresetToDevice(int n, const std::string& name14);
    void RecallPresetFromDevice(int n);
    void SendFactoryReset();
    void OpenClick(kv::TObject* sender);
    void SaveClick(kv::TObject* sender);
    void UploadClick(kv::TObject* sender);
    void DownloadClick(kv::TObject* sender);
    void tmUploadTimer(kv::TObject* sender);
    void UploadUnit();
    int UploadPreset() const { return uploadPreset_; }
    int DownloadRecord() const { return downloadRecord_; }

    // ---- state for the dialogs and tests ----
    bool IsOnline() const { return online_ != 0; }
    bool IsConnecting() const { return connecting_ != 0; }
    // The open transport: serial, else USB, else network; none when offline.
    LLink* Link() const;
    LCommProc* ComLink() const { return comLink_.get(); }
    LUsbProc* UsbLink() const { return usbLink_.get(); }
    LNetProc* NetLink() const { return netLink_.get(); }
    // Generation of the transport that exists now; every new transport gets the next one.
    uint32_t LinkGeneration() const { return linkGeneration_; }

private:
    // One reply the dispatch acts on: its least payload, whether only an accepted unit's counts, and
    // the handler.
    struct ReplyRoute {
        uint8_t code;
        size_t leastPayload;
        bool onlineOnly;
        void (TMainLink::*handler)(const LCmd& reply);
    };
    static const ReplyRoute* RouteOf(uint8_t code);
    static const ReplyRoute kReplyRoutes[];

    template <class P> std::unique_ptr<P> NewTransport();
    // Frees the transport; the socket is deactivated when it was the network transport.
    void FreeTransports();
    // Back to no transfer: state, cursors, the post-open step and the lock prompt.
    void ResetTransfers();
    // The link's side of a closed link, and the window's captions and meters.
    void ShowLinkClosed();
    uint8_t Id() const { return static_cast<uint8_t>(deviceId_); }

    // Reply handlers of the dispatch table.
    void OnAck(const LCmd& reply);
    void OnProbeReply(const LCmd& reply);
    void OnIdentityReply(const LCmd& reply);
    void OnCurrentPresetFrame(const LCmd& reply);
    void OnReadParamsReply(const LCmd& reply);
    void OnParamBlockReply(const LCmd& reply);
    void OnPresetNameReply(const LCmd& reply);
    void OnLockStatusReply(const LCmd& reply);
    void OnUnitInfoReply(const LCmd& reply);
    void OnPresetBlockReply(const LCmd& reply);
    void OnDownloadAck(const LCmd& reply);
    void OnPasswordReply(const LCmd& reply);
    void OnLevelsReply(const LCmd& reply);

    // The transfer watchdog: (re)started by every transfer step, stopped when it ends.
    void KickTransferWatchdog();
    // Whether an acknowledgement now answers a step of a running transfer (a keep-alive's does not).
    bool AckIsTransferStep() const;
    // The text key of what an interrupted transfer leaves on the unit, null when nothing is running
    // that leaves it incomplete.
    const char* IncompleteCopyKey() const;
    void StopTransferWatchdog();
    void TransferWatchdogExpired();
    // The lock status is asked again only after the prompt has been answered.
    void ShowLockPrompt();
    // The store's acknowledgement: the new number and name take effect.
    void ApplyStoredPreset();
    // The level poll on again at the end of a transfer.
    void StartLevelPoll();
    // The end of the read-back on the windows (every page from the model), once; posted by the
    // transport after the keep-alive has left, or run before the link goes away.
    void ShowReadBackDone();
    // The progress window's status, range and position, before it is shown.
    void PrepareProgress(const std::string& status, int max);
    void AdvanceProgress(int step);
    void RequestPreset(int n);
    void DownloadNextPreset();
    void FinishDownload();
    LPresetFiles& PresetFiles();

    TMainLinkView& view_;
    TScheduler* scheduler_;
    LUnitControl* model_ = nullptr;
    THidDeviceController* hidController_ = nullptr;
    std::unique_ptr<LCommProc> comLink_;
    std::unique_ptr<LUsbProc> usbLink_;
    std::unique_ptr<LNetProc> netLink_;
    LNetSocket netSocket_{this};
    LMainHid mainHid_{this, this};
    std::string comPortName_;
    int deviceId_ = 1;
    uint8_t connecting_ = 0;
    uint8_t connected_ = 0;
    uint8_t online_ = 0;
    uint32_t deviceIp_ = 0;
    int autoIp_ = 0;
    uint32_t linkGeneration_ = 0;
    TransferState transferState_ = tsIdle;
    int postOpenState_ = 0;
    int currentPreset_ = 0;
    int uploadPreset_ = 0;
    int downloadRecord_ = 0;
    std::unique_ptr<UnitDownload> downloadUnitInfo_;
    std::unique_ptr<LPresetFiles> presetFiles_;
    uint8_t lockPromptShown_ = 0;
    bool readBackShowPending_ = false;
    std::unique_ptr<::TTimer> transferWatchdog_;
    // A store under way: the preset number (1..20, 0 = none) and the 14 name bytes it stores, and
    // whether the unit acknowledged it.
    int storePreset_ = 0;
    BSTM storeName_;
    bool storeAcked_ = false;
};
