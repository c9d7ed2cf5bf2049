// The link side's send path and link messages: sending through the open transport, the dispatch of
// frames and link events, closing the link, the transport setters, the timers that close a broken or
// unwanted link, the network side (socket handlers, the address probe before a search), and the model
// host's window parts, handed to the view.

#include "app/link/MainLink.h"

#include "hid/HidControllerClass.h"
#include "link/LUnitControl.h"
#include "link/PresetFiles.h"
#include "link/Product.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

TMainLink::TMainLink(TMainLinkView& view, TScheduler* scheduler) : view_(view), scheduler_(scheduler) {
    transferWatchdog_ = std::make_unique<::TTimer>(scheduler_);
    transferWatchdog_->SetEnabled(false);
    transferWatchdog_->OnTimer = [this] { TransferWatchdogExpired(); };
}

TMainLink::~TMainLink() {
    // The workers stop before the HID handlers and the socket they write through go.
    CloseForExit();
}

void TMainLink::Bind() {
    hidController_ = view_.HidController();
    if (hidController_)
        mainHid_.Bind(hidController_);
    netSocket_.Socket.OnConnecting = [this](TClientSocket&) { ClientSocketConnecting(); };
    netSocket_.Socket.OnConnect = [this](TClientSocket&) { ClientSocketConnect(); };
    // Errors stay silent, as before; a refused connection while the network candidate is being tried
    // ends that attempt at once instead of leaving it to the reply timeout.
    netSocket_.Socket.OnError = [this](TClientSocket&, TErrorEvent event, int& code) {
        code = 0;
        if (event == eeConnect && netLink_ && connecting_ && !connected_) {
            FreeTransports();
            connecting_ = 0;
            view_.SearchResult(false);
        }
    };
}

void TMainLink::SetDefaultNetworkAddress() {
    ClientSocket().Port = kUnitTcpPort;
    ClientSocket().Address = DEFAULT_DEVICE_IP;
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (std::sscanf(DEFAULT_DEVICE_IP, "%u.%u.%u.%u", &a, &b, &c, &d) == 4)
        deviceIp_ = (a << 24) | (b << 16) | (c << 8) | d;
}

void TMainLink::CloseForExit() {
    if (comLink_) {
        comLink_->Close();
        comLink_.reset();
    }
    if (usbLink_) {
        usbLink_->Close();
        mainHid_.SetLink(nullptr);
        usbLink_.reset();
    }
    if (netLink_) {
        netLink_->Close();
        netSocket_.SetLink(nullptr);
        netLink_.reset();
    }
}

LLink* TMainLink::Link() const {
    if (comLink_)
        return comLink_.get();
    if (usbLink_)
        return usbLink_.get();
    return netLink_.get();
}

void TMainLink::SendCommand(const LCmd& cmd, bool force) {
    // Offline editing changes only the model.
    const BSTM frame = LCmd::ToFrame(cmd);
    if (comLink_)
        comLink_->QueueFrame(frame, force);
    else if (usbLink_)
        usbLink_->QueueFrame(frame, force);
    else if (netLink_)
        netLink_->QueueFrame(frame, force);
}

void TMainLink::HidWrite(const uint8_t* bytes, uint32_t length) {
    mainHid_.HidWrite(bytes, length);
}

void TMainLink::NetWrite(const uint8_t* bytes, uint32_t length) {
    netSocket_.NetWrite(bytes, length);
}

void TMainLink::Dispatch(TMessage& msg) {
    switch (msg.Msg) {
    case WM_LINK_FRAME:
        OnLinkFrame(msg.Data);
        break;
    case WM_LINK_EVENT:
        OnLinkEvent(msg);
        break;
    case WM_LINK_LOG:
        view_.FrameLogLine(msg.Text);
        break;
    case WM_READ_BACK_SHOWN:
        ShowReadBackDone();
        break;
    default:
        // WM_LINK_BYTE and WM_LINK_FRAME_OTHER have no handler here.
        break;
    }
}

void TMainLink::OnLinkEvent(TMessage& msg) {
    // An event of a transport freed since (an earlier attempt's no-reply) says nothing about the one
    // open now.
    uint32_t generation = 0;
    if (msg.Data.size() == sizeof generation)
        std::memcpy(&generation, msg.Data.data(), sizeof generation);
    if (!Link() || generation != linkGeneration_)
        return;
    const int code = static_cast<int>(msg.WParam);
    if (code == LINK_NO_REPLY && connecting_) {
        FreeTransports();
        connecting_ = 0;
        view_.SearchResult(false);
    }
    if (connected_) {
        CloseLink();
        view_.LinkBroken(true);
    }
}

void TMainLink::FreeTransports() {
    // Without a transport nothing waits for a probe reply.
    connecting_ = 0;
    if (comLink_) {
        comLink_->Close();
        comLink_.reset();
    } else if (usbLink_) {
        mainHid_.SetLink(nullptr);
        usbLink_->Close();
        usbLink_.reset();
    } else if (netLink_) {
        netSocket_.SetLink(nullptr);
        netLink_->Close();
        netLink_.reset();
        netSocket_.Socket.SetActive(false);
    }
}

void TMainLink::CloseLink() {
    // A download or preset file cut off leaves the unit with part of it: the user is told so, once the
    // link is down, and the transfer's window never shows it finished.
    const char* incomplete = IncompleteCopyKey();
    FreeTransports();
    // A link that broke or was closed ends whatever transfer it carried; nothing resumes on the next
    // connection.
    ResetTransfers();
    if (view_.SearchFoundUnit())
        ShowLinkClosed();
    if (incomplete) {
        view_.CloseProgressWindow();
        view_.SetProgressStatus("");
        view_.ShowInformation(view_.GetLangText(incomplete));
    }
}

void TMainLink::ShowLinkClosed() {
    view_.RestoreProgramFolder();
    connected_ = 0;
    if (hidController_)
        hidController_->DeviceChange();
    view_.ShowOffline();
    online_ = 0;
    view_.SetMainEnabled(true);
    StopLevelPoll();
    view_.ResetLevelMeters();
}

void TMainLink::SetLinkTimeout(int ms) {
    if (LLink* link = Link())
        link->SetTimeout(static_cast<uint32_t>(ms));
}

void TMainLink::SetLinkRetryLimit(int n) {
    if (LLink* link = Link())
        link->SetRetryLimit(n);
}

void TMainLink::SetKeepAliveSuspended(bool on) {
    if (comLink_)
        comLink_->SetKeepAliveSuspended(on);
    else if (usbLink_)
        usbLink_->SetKeepAliveSuspended(on);
    else if (netLink_)
        netLink_->SetKeepAliveSuspended(on);
}

void TMainLink::SetForcedResend(int n) {
    if (comLink_)
        comLink_->SetForcedResend(n);
}

void TMainLink::SetDeviceId(int id) {
    if (id < 1 || id > 254)
        return;
    deviceId_ = id;
    view_.ShowDeviceId(id);
    if (comLink_)
        comLink_->SetDeviceId(id);
    else if (usbLink_)
        usbLink_->SetDeviceId(id);
    else if (netLink_)
        netLink_->SetDeviceId(id);
}

bool TMainLink::IsFrameQueued(uint8_t code) const {
    std::deque<BSTM> queued;
    if (comLink_)
        queued = comLink_->QueuedFrames();
    else if (usbLink_)
        queued = usbLink_->QueuedFrames();
    else if (netLink_)
        queued = netLink_->QueuedFrames();
    return std::any_of(queued.begin(), queued.end(),
                       [code](const BSTM& f) { return f.size() > 5 && f[5] == code; });
}

bool TMainLink::IsLinkDrained() const {
    if (comLink_)
        return !comLink_->IsAwaiting() && comLink_->QueuedFrames().empty();
    if (usbLink_)
        return !usbLink_->IsAwaiting() && usbLink_->QueuedFrames().empty();
    if (netLink_)
        return !netLink_->IsAwaiting() && netLink_->QueuedFrames().empty();
    return false;
}

void TMainLink::StopLevelPoll() {
    view_.StopLinkTimer(LinkTimer::LevelPoll);
}

void TMainLink::StartLevelPoll() {
    view_.StartLinkTimer(LinkTimer::LevelPoll);
}

UnitDownload& TMainLink::DownloadBuffers() {
    if (!downloadUnitInfo_)
        downloadUnitInfo_ = std::make_unique<UnitDownload>();
    return *downloadUnitInfo_;
}

void TMainLink::tmDisconnectTimer(kv::TObject*) {
    view_.StopLinkTimer(LinkTimer::Disconnect);
    if (!Link())
        return;
    CloseLink();
    view_.LinkBroken(false);
}

void TMainLink::tmLinkBrokenTimer(kv::TObject*) {
    view_.StopLinkTimer(LinkTimer::LinkBroken);
    if (!Link())
        return;
    CloseLink();
    view_.LinkBroken(true);
}

void TMainLink::tmComScanTimer(kv::TObject*) {
    view_.StopLinkTimer(LinkTimer::ComScan);
    if (!view_.SearchShown())
        return;
    // A unit with another device ID answered the candidate: it is not the one searched for. Once the
    // candidate was found (the dialog is only closing) the link is the user's and stays.
    if (!Link() || online_ || view_.SearchFoundUnit())
        return;
    while (Link())
        FreeTransports();
    connecting_ = 0;
    view_.SearchResult(false);
}

// ---- the model host's window parts ----

bool TMainLink::IsUpdatingView() const {
    return view_.IsUpdatingView();
}
void TMainLink::SetUpdatingView(bool on) {
    view_.SetUpdatingView(on);
}
void TMainLink::SetOverlaysDirty(int ch) {
    view_.SetOverlaysDirty(ch);
}
void TMainLink::ResetPeqViews() {
    view_.ResetPeqViews();
}
void TMainLink::RefreshAllPanels() {
    view_.RefreshAllPanels();
}
void TMainLink::RepaintChannelGraphs() {
    view_.RepaintChannelGraphs();
}
void TMainLink::ResetLevelMeters() {
    view_.ResetLevelMeters();
}
void TMainLink::SetRecallPresetName(int row, const std::string& name) {
    view_.SetRecallPresetName(row, name);
}
void TMainLink::SetStorePresetName(int row, const std::string& name) {
    view_.SetStorePresetName(row, name);
}
std::optional<std::string> TMainLink::RunFileDialog(FileDialog which) {
    return view_.RunFileDialog(which);
}
std::string TMainLink::GetLangText(const std::string& key) const {
    return view_.GetLangText(key);
}
void TMainLink::ShowInformation(const std::string& text) {
    view_.ShowInformation(text);
}
void TMainLink::ShowProgressModal() {
    view_.ShowProgressModal();
}
void TMainLink::ShowProgress(const std::string& status, int position, int max) {
    view_.ShowProgress(status, position, max);
}
void TMainLink::SetMainEnabled(bool on) {
    view_.SetMainEnabled(on);
}
void TMainLink::RestoreProgramFolder() {
    view_.RestoreProgramFolder();
}
std::string TMainLink::StatusText() const {
    return view_.StatusText();
}
void TMainLink::SetStatusText(const std::string& text) {
    view_.SetStatusText(text);
}
bool TMainLink::MainWindowVisible() const {
    return view_.MainWindowVisible();
}
void TMainLink::StartLinkBrokenTimer() {
    view_.StartLinkTimer(LinkTimer::LinkBroken);
}

// ---- network side ----

void TMainLink::ProbeNetworkAddress() {
    if (autoIp_ == 0)
        netSocket_.Socket.SetActive(true);
    else
        deviceIp_ = 0;
}

void TMainLink::ClientSocketConnecting() {
    view_.SetSearchStatus("Network Connecting");
}

void TMainLink::ClientSocketConnect() {
    view_.SetSearchStatus("Connecting IP:" + netSocket_.Socket.RemoteAddress());
}

void TMainLink::RetargetSocket(const std::string& address) {
    netSocket_.Socket.SetActive(false);
    netSocket_.Socket.Address = address;
    netSocket_.Socket.SetActive(true);
}
