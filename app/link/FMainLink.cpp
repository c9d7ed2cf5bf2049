// The main window's send path and link messages: sending through the open transport, the dispatch of
// frames and link events, closing the link, the transport setters, the timers that close a broken or
// unwanted link, and the network side (socket handlers, the address probe before a search).

#include "app/FMain.h"

#include "app/FNetwork.h"
#include "app/FProcess.h"
#include "link/Product.h"
#include "panels/PkBmpButton.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdBars.h"

#include <cstring>

using namespace kv;

void TfmMain::PublishLink(TClassBuilder<TfmMain>& b) {
    b.Method<TNotifyEvent>("tmDisconnectTimer", &TfmMain::tmDisconnectTimer);
    b.Method<TNotifyEvent>("tmLinkBrokenTimer", &TfmMain::tmLinkBrokenTimer);
    b.Method<TNotifyEvent>("tmComScanTimer", &TfmMain::tmComScanTimer);
    b.Method<TNotifyEvent>("tmStartConnectTimer", &TfmMain::tmStartConnectTimer);
    b.Method<TNotifyEvent>("tmLockPromptTimer", &TfmMain::tmLockPromptTimer);
    b.Method<TNotifyEvent>("pkbMenuLinkClick", &TfmMain::pkbMenuLinkClick);
    b.Method<TNotifyEvent>("ConnectedClick", &TfmMain::ConnectedClick);
}

void TfmMain::LinkCreate() {
    if (auto* ctl = Find<THidDeviceController>("HidCtl"))
        mainHid.Bind(ctl);
    netSocket.Socket.OnConnecting = [this](TClientSocket&) { ClientSocketConnecting(); };
    netSocket.Socket.OnConnect = [this](TClientSocket&) { ClientSocketConnect(); };
    // Errors stay silent, as before; a refused connection while the network candidate is being tried
    // ends that attempt at once instead of leaving it to the reply timeout.
    netSocket.Socket.OnError = [this](TClientSocket&, TErrorEvent event, int& code) {
        code = 0;
        if (event == eeConnect && netLink && connecting && !connected) {
            FreeTransports();
            connecting = 0;
            if (fmNetwork)
                fmNetwork->OnScanResult(0);
        }
    };
    transferWatchdog = std::make_unique<::TTimer>(kv::TTimer::Scheduler());
    transferWatchdog->SetEnabled(false);
    transferWatchdog->OnTimer = [this] { TransferWatchdogExpired(); };
}

kv::TTimer* TfmMain::LinkTimer(const char* name) const {
    return Find<kv::TTimer>(name);
}

LLink* TfmMain::Link() const {
    if (comLink)
        return comLink.get();
    if (usbLink)
        return usbLink.get();
    return netLink.get();
}

void TfmMain::SendCommand(const LCmd& cmd, bool force) {
    // Offline editing changes only the model.
    const BSTM frame = LCmd::ToFrame(cmd);
    if (comLink)
        comLink->QueueFrame(frame, force);
    else if (usbLink)
        usbLink->QueueFrame(frame, force);
    else if (netLink)
        netLink->QueueFrame(frame, force);
}

void TfmMain::HidWrite(const uint8_t* bytes, uint32_t length) {
    mainHid.HidWrite(bytes, length);
}

void TfmMain::NetWrite(const uint8_t* bytes, uint32_t length) {
    netSocket.NetWrite(bytes, length);
}

void TfmMain::Dispatch(TMessage& msg) {
    switch (msg.Msg) {
    case WM_LINK_FRAME:
        OnLinkFrame(msg.Data);
        break;
    case WM_LINK_EVENT:
        OnLinkEvent(msg);
        break;
    case WM_LINK_LOG:
        OnFrameLogLine(msg.Text);
        break;
    default:
        // WM_LINK_BYTE and WM_LINK_FRAME_OTHER have no handler on this window.
        break;
    }
}

void TfmMain::OnLinkEvent(TMessage& msg) {
    // An event of a transport freed since (an earlier attempt's no-reply) says nothing about the one
    // open now.
    uint32_t generation = 0;
    if (msg.Data.size() == sizeof generation)
        std::memcpy(&generation, msg.Data.data(), sizeof generation);
    if (!Link() || generation != linkGeneration)
        return;
    const int code = static_cast<int>(msg.WParam);
    if (code == LINK_NO_REPLY && connecting) {
        FreeTransports();
        connecting = 0;
        if (fmNetwork)
            fmNetwork->OnScanResult(0);
    }
    if (connected) {
        CloseLink();
        if (fmNetwork) {
            fmNetwork->SetScanPosition(0);
            fmNetwork->OnLinkBroken();
            fmNetwork->ShowDialog();
        }
    }
}

void TfmMain::FreeTransports() {
    // Without a transport nothing waits for a probe reply.
    connecting = 0;
    if (comLink) {
        comLink->Close();
        comLink.reset();
    } else if (usbLink) {
        mainHid.SetLink(nullptr);
        usbLink->Close();
        usbLink.reset();
    } else if (netLink) {
        netSocket.SetLink(nullptr);
        netLink->Close();
        netLink.reset();
        netSocket.Socket.SetActive(false);
    }
}

void TfmMain::CloseLink() {
    // A download or preset file cut off leaves the unit with part of it: the user is told so, once the
    // link is down, and the transfer's window never shows it finished.
    const char* incomplete = IncompleteCopyKey();
    FreeTransports();
    // A link that broke or was closed ends whatever transfer it carried; nothing resumes on the next
    // connection.
    ResetTransfers();
    if (fmNetwork && fmNetwork->SearchResult() == 1)
        ShowLinkClosed();
    if (incomplete) {
        CloseProgressWindow();
        if (fmProcess)
            fmProcess->SetStatus("");
        ShowInformation(GetLangText(incomplete));
    }
}

void TfmMain::ShowLinkClosed() {
    RestoreProgramFolder();
    connected = 0;
    if (auto* ctl = Find<THidDeviceController>("HidCtl"))
        ctl->DeviceChange();
    SetCaptionOf("Connect", GetLangText("SID_CONNECT"));
    auto* link = Find<TPkBmpButton>("pkbMenuLink");
    if (link)
        link->SetCaption(GetLangText("SID_OFFLINE"));
    SetCaption(std::string(PROGRAM_TITLE) + " " + PROGRAM_VERSION);
    SetCaptionOf("lbConInterface", "");
    if (link) {
        link->SetEnabled(true);
        link->SetDown(false);
    }
    if (auto* item = Find<TMenuItem>("Connect"))
        item->SetEnabled(true);
    online = 0;
    SetEnabled(true);
    StopLevelPoll();
    ResetLevelMeters();
}

void TfmMain::SetLinkTimeout(int ms) {
    if (LLink* link = Link())
        link->SetTimeout(static_cast<uint32_t>(ms));
}

void TfmMain::SetLinkRetryLimit(int n) {
    if (LLink* link = Link())
        link->SetRetryLimit(n);
}

void TfmMain::SetKeepAliveSuspended(bool on) {
    if (comLink)
        comLink->SetKeepAliveSuspended(on);
    else if (usbLink)
        usbLink->SetKeepAliveSuspended(on);
    else if (netLink)
        netLink->SetKeepAliveSuspended(on);
}

void TfmMain::SetDeviceId(int id) {
    if (id < 1 || id > 254)
        return;
    deviceId = id;
    SetCaptionOf("lbShowIdNumber", "ID : " + std::to_string(id));
    if (comLink)
        comLink->SetDeviceId(id);
    else if (usbLink)
        usbLink->SetDeviceId(id);
    else if (netLink)
        netLink->SetDeviceId(id);
}

void TfmMain::StopLevelPoll() {
    StopTimer(LinkTimer("tmInLevelDet"));
}

UnitDownload& TfmMain::DownloadBuffers() {
    if (!downloadUnitInfo)
        downloadUnitInfo = std::make_unique<UnitDownload>();
    return *downloadUnitInfo;
}

std::string TfmMain::StatusText() const {
    auto* c = dynamic_cast<TControl*>(FindComponent("lbStatus"));
    return c ? c->Caption() : std::string();
}

void TfmMain::SetStatusText(const std::string& text) {
    SetCaptionOf("lbStatus", text);
}

bool TfmMain::MainWindowVisible() const {
    return Visible();
}

void TfmMain::StartLinkBrokenTimer() {
    StartTimer(LinkTimer("tmLinkBroken"));
}

void TfmMain::tmDisconnectTimer(TObject*) {
    StopTimer(LinkTimer("tmDisconnect"));
    if (!Link())
        return;
    CloseLink();
    if (fmNetwork)
        fmNetwork->OnLinkBroken();
}

void TfmMain::tmLinkBrokenTimer(TObject*) {
    StopTimer(LinkTimer("tmLinkBroken"));
    if (!Link())
        return;
    CloseLink();
    if (fmNetwork) {
        fmNetwork->SetScanPosition(0);
        fmNetwork->OnLinkBroken();
        fmNetwork->ShowDialog();
    }
}

void TfmMain::tmComScanTimer(TObject*) {
    StopTimer(LinkTimer("tmComScan"));
    if (!fmNetwork || !fmNetwork->Visible())
        return;
    // A unit with another device ID answered the candidate: it is not the one searched for. Once the
    // candidate was found (the dialog is only closing) the link is the user's and stays.
    if (!Link() || online || fmNetwork->SearchResult() == 1)
        return;
    while (Link())
        FreeTransports();
    connecting = 0;
    fmNetwork->OnScanResult(0);
}

// ---- network side ----

void TfmMain::ProbeNetworkAddress() {
    if (autoIp == 0)
        netSocket.Socket.SetActive(true);
    else
        deviceIp = 0;
}

void TfmMain::ClientSocketConnecting() {
    if (fmNetwork)
        fmNetwork->SetStatus("Network Connecting");
}

void TfmMain::ClientSocketConnect() {
    if (fmNetwork)
        fmNetwork->SetStatus("Connecting IP:" + netSocket.Socket.RemoteAddress());
}

void TfmMain::RetargetSocket(const std::string& address) {
    netSocket.Socket.SetActive(false);
    netSocket.Socket.Address = address;
    netSocket.Socket.SetActive(true);
}
