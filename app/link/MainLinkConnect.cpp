// Connecting to one candidate of the connection search and the handshake that follows: the probe, the
// identity check, going online and the lock-status request; the link button.

#include "app/link/MainLink.h"

#include "platform/sys/Serial.h"

#include <cstring>

namespace {

// A transport whose link events carry its generation, so that the link side can tell an event of a
// transport freed since from one of the transport open now.
template <class P> class LGenLink : public P {
public:
    LGenLink(LinkOwner* owner, TScheduler* scheduler, uint32_t generation)
        : P(owner, scheduler), generation_(generation) {}
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

template <class P> std::unique_ptr<P> TMainLink::NewTransport() {
    ++linkGeneration_;
    return std::make_unique<LGenLink<P>>(this, scheduler_, linkGeneration_);
}

// Every attempt starts without a transfer of an earlier connection: a half-done transfer or an offline
// recall never resumes on the unit now answering.
void TMainLink::ResetTransfers() {
    // A read-back that ended just before the link went away still shows what it read.
    ShowReadBackDone();
    StopTransferWatchdog();
    transferState_ = tsIdle;
    postOpenState_ = 0;
    uploadPreset_ = 0;
    downloadRecord_ = 0;
    lockPromptShown_ = 0;
    storePreset_ = 0;
}

void TMainLink::ConnectCom() {
    connected_ = 0;
    ResetTransfers();
    if (comLink_) {
        comLink_->Close();
        comLink_.reset();
    }
    comLink_ = NewTransport<LCommProc>();
    // The port is the path the search listed; nothing is read from its name.
    if (comLink_->Open(comPortName_, 115200, 8, NOPARITY, ONESTOPBIT)) {
        comLink_->SetTimeout(100);
        comLink_->SetRetryLimit(0);
        connecting_ = 1;
        SendCommand(CM_MCS_CMD(Id(), MCS_PROBE), true);
        return;
    }
    comLink_->Close();
    comLink_.reset();
    view_.LinkBroken(false);
}

void TMainLink::ConnectUsb() {
    connected_ = 0;
    ResetTransfers();
    if (usbLink_) {
        mainHid_.SetLink(nullptr);
        usbLink_->Close();
        usbLink_.reset();
    }
    usbLink_ = NewTransport<LUsbProc>();
    mainHid_.SetLink(usbLink_.get());
    if (usbLink_->Open()) {
        usbLink_->SetTimeout(100);
        usbLink_->SetRetryLimit(3);
        connecting_ = 1;
        SendCommand(CM_MCS_CMD(Id(), MCS_PROBE), true);
        return;
    }
    mainHid_.SetLink(nullptr);
    usbLink_->Close();
    usbLink_.reset();
    view_.SearchResult(false);
}

void TMainLink::ConnectNet() {
    connected_ = 0;
    ResetTransfers();
    if (netLink_) {
        netSocket_.SetLink(nullptr);
        netLink_->Close();
        netLink_.reset();
    }
    netLink_ = NewTransport<LNetProc>();
    netSocket_.SetLink(netLink_.get());
    // An address the socket refuses outright (outside loopback under KORVANE_LOOPBACK_ONLY) is no
    // candidate: the search moves on at once instead of waiting for the watchdog.
    const bool allowed = TClientSocket::AddressAllowed(netSocket_.Socket.Address);
    if (allowed && netLink_->Open()) {
        netLink_->SetTimeout(4000);
        netLink_->SetRetryLimit(0);
        connecting_ = 1;
        SendCommand(CM_MCS_CMD(Id(), MCS_PROBE), true);
        return;
    }
    netSocket_.SetLink(nullptr);
    netLink_->Close();
    netLink_.reset();
    view_.SearchResult(false);
}

void TMainLink::OnProbeReply(const LCmd&) {
    // Only the attempt that sent the probe waits for its answer.
    if (!connecting_)
        return;
    connecting_ = 0;
    connected_ = 1;
    SendCommand(CM_MCS_CMD(Id(), MCS_IDENTITY), true);
    SetKeepAliveSuspended(false);
    SetLinkRetryLimit(1);
    SetLinkTimeout(5000);
}

void TMainLink::OnIdentityReply(const LCmd& reply) {
    if (!connected_ || online_)
        return;
    view_.SearchResult(true);
    std::string text;
    for (uint8_t b : reply.Payload())
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
        view_.CloseSearch();
        connected_ = 0;
        // Inside the frame handler: the transport's worker waits until the message is closed.
        ShowInformation(refusal);
        view_.StartLinkTimer(LinkTimer::Disconnect);
        return;
    }

    view_.ShowOnline(comLink_ ? SerialPortShortName(comPortName_) : usbLink_ ? "USB" : "NET");
    online_ = 1;
    SetLinkTimeout(usbLink_ ? 5000 : 1000);
    // The read-back starts here; the watchdog sees that it keeps moving.
    KickTransferWatchdog();
    SendCommand(CM_MCS_CMD(Id(), MCS_LOCK_STATUS), true);
}

void TMainLink::pkbMenuLinkClick(kv::TObject*) {
    view_.ShowLinkBusy();
    if (online_) {
        view_.ShowConnectCaption(false);
        view_.StartLinkTimer(LinkTimer::Disconnect);
        return;
    }
    if (!view_.BeginSearch())
        return;
    view_.ShowConnectCaption(true);
    view_.ShowSearch();
}
