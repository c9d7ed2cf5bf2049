#include "app/FNetwork.h"

#include "app/FMain.h"
#include "app/FProcess.h"
#include "app/LangTables.h"
#include "app/TimerComponent.h"
#include "app/link/MainLink.h"
#include "panels/PkBmpButton.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdBars.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/StdLists.h"
#include "platform/sys/Serial.h"

namespace kv {

TfmNetwork* fmNetwork = nullptr;

namespace {
// Watchdogs per candidate: USB answers within a few resends, the network's connect may take a while,
// a serial port is given the longest.
constexpr int kUsbWatchdogMs = 6000;
constexpr int kNetWatchdogMs = 2000;
constexpr int kComWatchdogMs = 10000;
} // namespace

KV_REGISTER_CLASS(TfmNetwork, TForm, b) {
    using F = TfmNetwork;
    b.Method<TNotifyEvent>("FormCreate", &F::FormCreate);
    b.Method<TNotifyEvent>("FormShow", &F::FormShow);
    b.Method<TNotifyEvent>("btnOKClick", &F::btnOKClick);
    b.Method<TNotifyEvent>("btnExitClick", &F::btnExitClick);
    b.Method<TNotifyEvent>("btnIdClick", &F::btnIdClick);
    b.Method<TNotifyEvent>("tmConnectTimer", &F::tmConnectTimer);
    b.Method<TNotifyEvent>("tmLinkBrokenTimer", &F::tmLinkBrokenTimer);
    b.Method<TNotifyEvent>("tmWatchDogTimer", &F::tmWatchDogTimer);
    b.Method<TNotifyEvent>("tmRunUsbConnectTimer", &F::tmRunUsbConnectTimer);
    b.Method<TNotifyEvent>("tmRunNetConnectTimer", &F::tmRunNetConnectTimer);
    b.Method<TNotifyEvent>("tmRunComConnectTimer", &F::tmRunComConnectTimer);
}

TfmNetwork::TfmNetwork(TComponent* owner) : TForm(owner) {
    if (!fmNetwork)
        fmNetwork = this;
    ListPorts = [] { return SerialPortList("/"); };
}

TfmNetwork::~TfmNetwork() {
    Destroying();
    if (fmNetwork == this)
        fmNetwork = nullptr;
}

void TfmNetwork::FormCreate(TObject*) {
    lblScan = FindAs<TLabel>(*this, "lblScan");
    lblDeviceID = FindAs<TLabel>(*this, "lblDeviceID");
    pbScan = FindAs<TProgressBar>(*this, "pbScan");
    cbCOM = FindAs<TComboBox>(*this, "cbCOM");
    btnOK = FindAs<TPkBmpButton>(*this, "btnOK");
    btnExit = FindAs<TPkBmpButton>(*this, "btnExit");
    btnId = FindAs<TPkBmpButton>(*this, "btnId");
    tmConnect = FindAs<TTimer>(*this, "tmConnect");
    tmLinkBroken = FindAs<TTimer>(*this, "tmLinkBroken");
    tmWatchDog = FindAs<TTimer>(*this, "tmWatchDog");
    tmRunUsbConnect = FindAs<TTimer>(*this, "tmRunUsbConnect");
    tmRunNetConnect = FindAs<TTimer>(*this, "tmRunNetConnect");
    tmRunComConnect = FindAs<TTimer>(*this, "tmRunComConnect");
}

void TfmNetwork::FormShow(TObject*) {
    SetCaption(UiText("SID_CONNECT"));
    if (btnOK)
        btnOK->SetCaption(UiText("SID_START_SCAN"));
    if (btnExit)
        btnExit->SetCaption(UiText("SID_DEMO"));
    if (btnId)
        btnId->SetCaption(UiText("SID_SET"));
}

void TfmNetwork::SetButtonsEnabled(bool on) {
    for (TPkBmpButton* b : {btnOK, btnId, btnExit})
        if (b)
            b->SetEnabled(on);
}

void TfmNetwork::SetStatus(const std::string& text) {
    if (lblScan)
        lblScan->SetCaption(text);
}

std::string TfmNetwork::Status() const {
    return lblScan ? lblScan->Caption() : std::string();
}

void TfmNetwork::SetScanPosition(int p) {
    if (pbScan)
        pbScan->SetPosition(p);
}

void TfmNetwork::ShowPosition() {
    if (lblDeviceID)
        lblDeviceID->SetCaption(std::to_string(position) + "/" + std::to_string(Candidates()));
}

void TfmNetwork::ArmWatchdog(int ms) {
    if (!tmWatchDog)
        return;
    // Stopped first, so that the interval counts from this candidate whatever ran before.
    tmWatchDog->SetEnabled(false);
    tmWatchDog->SetInterval(ms);
    tmWatchDog->SetEnabled(true);
}

void TfmNetwork::StopSearch() {
    for (TTimer* t : {tmWatchDog, tmConnect, tmRunUsbConnect, tmRunNetConnect, tmRunComConnect})
        StopTimer(t);
}

void TfmNetwork::StartScan() {
    extraCount = 0;
    SetButtonsEnabled(false);
    BeginScan();
}

void TfmNetwork::BeginScan() {
    // A new search owns the dialog: nothing of an earlier one may move it on.
    StopSearch();
    StopTimer(tmLinkBroken);
    searchResult = 0;

    portPaths = ListPorts ? ListPorts() : std::vector<std::string>{};
    if (cbCOM) {
        cbCOM->Items()->Clear();
        for (const std::string& path : portPaths)
            cbCOM->Items()->Add(SerialPortShortName(path));
        if (!portPaths.empty())
            cbCOM->SetItemIndex(0);
    }

    const bool usb = ::fmMain && ::fmMain->MainLink().HidDevice();
    const bool net = ::fmMain && ::fmMain->MainLink().DeviceIp() != 0;
    extraCount = usb || net ? 1 : 0;
    const int n = Candidates();
    if (usb || net) {
        position = 1;
        ShowPosition();
        SetStatus(UiText(usb ? "SID_SCAN_USB" : "SID_SCAN_NET"));
        if (pbScan) {
            pbScan->SetMax(n);
            pbScan->SetPosition(1);
        }
        ArmWatchdog(usb ? kUsbWatchdogMs : kNetWatchdogMs);
        StartTimer(usb ? tmRunUsbConnect : tmRunNetConnect);
        return;
    }
    if (!portPaths.empty()) {
        position = 1;
        ShowPosition();
        if (pbScan) {
            pbScan->SetMax(n);
            pbScan->SetPosition(1);
        }
        TryPort(0);
        return;
    }
    position = 0;
    NoDevice();
    StartTimer(tmConnect);
}

void TfmNetwork::TryPort(int index) {
    const std::string& path = portPaths[static_cast<size_t>(index)];
    SetStatus(UiText("SID_SCAN") + SerialPortShortName(path) + " ......");
    if (::fmMain)
        ::fmMain->MainLink().SetComPortName(path);
    ArmWatchdog(kComWatchdogMs);
    StartTimer(tmRunComConnect);
}

void TfmNetwork::NoDevice() {
    if (pbScan)
        pbScan->SetPosition(pbScan->Max());
    SetStatus(UiText("SID_NO_DEVICE"));
    if (lblDeviceID)
        lblDeviceID->SetCaption("");
}

void TfmNetwork::OnScanResult(int found) {
    searchResult = found;
    if (found == 1)
        StopTimer(tmWatchDog);
    StartTimer(tmConnect);
}

void TfmNetwork::OnLinkBroken() {
    searchResult = 0;
    StartTimer(tmLinkBroken);
    if (::fmMain)
        ::fmMain->CloseProgressWindow();
}

void TfmNetwork::tmConnectTimer(TObject*) {
    StopTimer(tmConnect);
    if (searchResult == 1) {
        StopTimer(tmWatchDog);
        CloseDialog();
        return;
    }
    if (::fmMain)
        ::fmMain->MainLink().CloseLink();
    if (position >= Candidates()) {
        // Exhausted: nothing is left to time.
        StopTimer(tmWatchDog);
        SetButtonsEnabled(true);
        NoDevice();
        return;
    }
    ++position;
    if (pbScan)
        pbScan->SetPosition(position);
    ShowPosition();
    TryPort(position - extraCount - 1);
}

void TfmNetwork::tmLinkBrokenTimer(TObject*) {
    StopTimer(tmLinkBroken);
    SetButtonsEnabled(true);
    SetStatus(UiText("SID_LINK_BROKEN"));
    if (lblDeviceID)
        lblDeviceID->SetCaption("");
}

void TfmNetwork::tmWatchDogTimer(TObject*) {
    // One expiry per candidate: the next candidate arms its own.
    StopTimer(tmWatchDog);
    StartTimer(tmConnect);
}

void TfmNetwork::tmRunUsbConnectTimer(TObject*) {
    StopTimer(tmRunUsbConnect);
    if (::fmMain)
        ::fmMain->MainLink().ConnectUsb();
}

void TfmNetwork::tmRunNetConnectTimer(TObject*) {
    StopTimer(tmRunNetConnect);
    if (::fmMain)
        ::fmMain->MainLink().ConnectNet();
}

void TfmNetwork::tmRunComConnectTimer(TObject*) {
    StopTimer(tmRunComConnect);
    if (::fmMain)
        ::fmMain->MainLink().ConnectCom();
}

void TfmNetwork::btnOKClick(TObject*) {
    if (::fmMain)
        ::fmMain->MainLink().ProbeNetworkAddress();
    StartScan();
}

void TfmNetwork::btnExitClick(TObject*) {
    EndSearch();
    if (::fmMain) {
        if (auto* link = ::fmMain->Find<TPkBmpButton>("pkbMenuLink"))
            link->SetEnabled(true);
        if (auto* item = ::fmMain->Find<TMenuItem>("Connect"))
            item->SetEnabled(true);
    }
    CloseDialog();
}

void TfmNetwork::btnIdClick(TObject*) {
    if (!::fmMain)
        return;
    if (auto* item = ::fmMain->Find<TMenuItem>("NetworkSetup"))
        item->Click();
}

void TfmNetwork::CloseDialog() {
    // Hidden at once: its modal loop may end only after a window opened above it has closed.
    if (Modal())
        SetModalResult(mrCancel);
    Hide();
}

void TfmNetwork::ShowDialog() {
    if (Modal()) {
        // Still in its loop, closing: it stays open instead.
        SetModalResult(mrNone);
        Show();
        return;
    }
    if (!Visible())
        ShowModal();
}

void TfmNetwork::DoHide() {
    TForm::DoHide();
    EndSearch();
}

void TfmNetwork::EndSearch() {
    if (searchResult == 1)
        return;
    // Left before a unit was found (demo, or the window closed): the search ends here, and an
    // attempt still waiting for its probe reply is given up, so nothing takes the editor online
    // behind the user's back.
    StopSearch();
    if (::fmMain && ::fmMain->MainLink().IsConnecting())
        ::fmMain->MainLink().CloseLink();
}

} // namespace kv
