// Connecting to one candidate of the connection search and the handshake that follows: the probe, the
// identity check, going online and the lock-status request; the link button and the start-up press.

#include "app/FMain.h"

#include "app/FInformation.h"
#include "app/FNetwork.h"
#include "panels/PkBmpButton.h"
#include "platform/gui/Menus.h"
#include "platform/sys/Serial.h"

#include <cstring>

using namespace kv;

namespace {

// A transport whose link events carry its generation, so that the main window can tell an event of a
// transport freed since from one of the transport open now.
template <class P> class LGenLink : public P {
public:
    LGenLink(LinkOwner* owner, uint32_t generation)
        : P(owner, kv::TTimer::Scheduler()), generation_(generation) {}
    ~LGenLink() override { this->Close(); }

    void Notify(int code, intptr_t parameter) override {
        TMessage msg;
        msg.Msg = WM_LINK_EVENT;
        msg.WParam = static_cast<uintptr_t>(code);
        msg.LParam = parameter;
        msg.Data.resize(sizeof generation_);
        std::memcpy(msg.Data.data(), &generation_, sizeof generation_);
        TMessageBridge::Post(this->owner_, std::move(msg), this);
    }

private:
    const uint32_t generation_;
};

constexpr char kUnitModel[] = "Tirnel";
constexpr char kUnitModelVersion[] = "Tirnel V010";

} // namespace

template <class P> std::unique_ptr<P> TfmMain::NewTransport() {
    ++linkGeneration;
    return std::make_unique<LGenLink<P>>(this, linkGeneration);
}

// Every attempt starts without a transfer of an earlier connection: a half-done transfer or an offline
// recall never resumes on the unit now answering.
void TfmMain::ResetTransfers() {
    StopTransferWatchdog();
    transferState = tsIdle;
    postOpenState = 0;
    uploadPreset = 0;
    downloadRecord = 0;
    lockPromptShown = 0;
    storePreset = 0;
}

void TfmMain::ConnectCom() {
    connected = 0;
    ResetTransfers();
    if (comLink) {
        comLink->Close();
        comLink.reset();
    }
    comLink = NewTransport<LCommProc>();
    // The port is the path the search listed; nothing is read from its name.
    if (comLink->Open(comPortName, 115200, 8, NOPARITY, ONESTOPBIT)) {
        comLink->SetTimeout(100);
        comLink->SetRetryLimit(0);
        connecting = 1;
        SendCommand(CM_MCS_CMD(static_cast<uint8_t>(deviceId), MCS_PROBE), true);
        return;
    }
    comLink->Close();
    comLink.reset();
    if (fmNetwork)
        fmNetwork->OnLinkBroken();
}

void TfmMain::ConnectUsb() {
    connected = 0;
    ResetTransfers();
    if (usbLink) {
        mainHid.SetLink(nullptr);
        usbLink->Close();
        usbLink.reset();
    }
    usbLink = NewTransport<LUsbProc>();
    mainHid.SetLink(usbLink.get());
    if (usbLink->Open()) {
        usbLink->SetTimeout(100);
        usbLink->SetRetryLimit(3);
        connecting = 1;
        SendCommand(CM_MCS_CMD(static_cast<uint8_t>(deviceId), MCS_PROBE), true);
        return;
    }
    mainHid.SetLink(nullptr);
    usbLink->Close();
    usbLink.reset();
    if (fmNetwork)
        fmNetwork->OnScanResult(0);
}

void TfmMain::ConnectNet() {
    connected = 0;
    ResetTransfers();
    if (netLink) {
        netSocket.SetLink(nullptr);
        netLink->Close();
        netLink.reset();
    }
    netLink = NewTransport<LNetProc>();
    netSocket.SetLink(netLink.get());
    // An address the socket refuses outright (outside loopback under KORVANE_LOOPBACK_ONLY) is no
    // candidate: the search moves on at once instead of waiting for the watchdog.
    const bool allowed = TClientSocket::AddressAllowed(netSocket.Socket.Address);
    if (allowed && netLink->Open()) {
        netLink->SetTimeout(4000);
        netLink->SetRetryLimit(0);
        connecting = 1;
        SendCommand(CM_MCS_CMD(static_cast<uint8_t>(deviceId), MCS_PROBE), true);
        return;
    }
    netSocket.SetLink(nullptr);
    netLink->Close();
    netLink.reset();
    if (fmNetwork)
        fmNetwork->OnScanResult(0);
}

void TfmMain::OnProbeReply() {
    connecting = 0;
    connected = 1;
    SendCommand(CM_MCS_CMD(static_cast<uint8_t>(deviceId), MCS_IDENTITY), true);
    SetKeepAliveSuspended(false);
    SetLinkRetryLimit(1);
    SetLinkTimeout(5000);
}

void TfmMain::OnIdentityReply(const BSTM& payload) {
    std::string text;
    for (uint8_t b : payload)
        if (b != 0)
            text += static_cast<char>(b);
    std::string refusal;
    if (!text.starts_with(kUnitModel))
        refusal = GetLangText("SID_INFO_ERROR_UNIT");
    else if (!text.starts_with(kUnitModelVersion))
        refusal = GetLangText("SID_INFO_ERROR_VERSION");

    if (!refusal.empty()) {
        SendCommand(CM_MCS_CMD(255, MCS_RELEASE), true);
        SetKeepAliveSuspended(true);
        if (fmNetwork)
            fmNetwork->CloseDialog();
        connected = 0;
        // Inside the frame handler: the transport's worker waits until the message is closed.
        ShowInformation(refusal);
        StartTimer(Find<kv::TTimer>("tmDisconnect"));
        return;
    }

    auto* link = Find<TPkBmpButton>("pkbMenuLink");
    if (link)
        link->SetCaption(GetLangText("SID_ONLINE"));
    if (auto* item = Find<TMenuItem>("Connect"))
        item->SetCaption(GetLangText("SID_DISCONNECT"));
    std::string interfaceName = comLink ? SerialPortShortName(comPortName) : usbLink ? "USB" : "NET";
    if (auto* label = dynamic_cast<TControl*>(FindComponent("lbConInterface")))
        label->SetCaption(interfaceName);
    if (link)
        link->SetDown(true);
    online = 1;
    SetLinkTimeout(usbLink ? 5000 : 1000);
    // The read-back starts here; the watchdog sees that it keeps moving.
    KickTransferWatchdog();
    SendCommand(CM_MCS_CMD(static_cast<uint8_t>(deviceId), MCS_LOCK_STATUS), true);
}

void TfmMain::pkbMenuLinkClick(TObject*) {
    auto* link = Find<TPkBmpButton>("pkbMenuLink");
    auto* item = Find<TMenuItem>("Connect");
    if (link) {
        link->SetEnabled(false);
        link->SetDown(false);
    }
    if (item)
        item->SetEnabled(false);
    if (online) {
        if (item)
            item->SetCaption(GetLangText("SID_CONNECT"));
        StartTimer(Find<kv::TTimer>("tmDisconnect"));
        return;
    }
    if (!fmNetwork)
        return;
    fmNetwork->btnOKClick(nullptr);
    if (item)
        item->SetCaption(GetLangText("SID_DISCONNECT"));
    fmNetwork->ShowDialog();
}

void TfmMain::ConnectedClick(TObject*) {
    if (auto* link = Find<TPkBmpButton>("pkbMenuLink"))
        link->Click();
    else
        pkbMenuLinkClick(nullptr);
}

void TfmMain::tmStartConnectTimer(TObject*) {
    if (auto* t = Find<kv::TTimer>("tmStartConnect"))
        t->SetEnabled(false);
    ConnectedClick(nullptr);
}
