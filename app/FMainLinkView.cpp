// The main window as the link's view: the link's handlers published under the layout's names, what the
// channel editors ask of the link, and the window side of every link step (progress and information
// windows, the connection search, the captions of the link's state, the layout's timers).

#include "app/FMain.h"

#include "app/FFactory.h"
#include "app/FHidData.h"
#include "app/FLockPassWord.h"
#include "app/FLockSetup.h"
#include "app/FNetwork.h"
#include "app/FProcess.h"
#include "app/FRecallPreset.h"
#include "app/FStorePreset.h"
#include "app/TimerComponent.h"
#include "app/link/MainLink.h"
#include "link/Product.h"
#include "panels/PkBmpButton.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "styled/StProgressBar.h"

using namespace kv;

namespace {

const char* TimerName(LinkTimer timer) {
    switch (timer) {
    case LinkTimer::Disconnect:
        return "tmDisconnect";
    case LinkTimer::LinkBroken:
        return "tmLinkBroken";
    case LinkTimer::ComScan:
        return "tmComScan";
    case LinkTimer::LockPrompt:
        return "tmLockPrompt";
    case LinkTimer::ProcessShow:
        return "tmProcessShow";
    case LinkTimer::LevelPoll:
        return "tmInLevelDet";
    case LinkTimer::Upload:
        return "tmUpload";
    }
    return "";
}

class TfmMainLinkView final : public TMainLinkView {
public:
    explicit TfmMainLinkView(TfmMain& w) : w_(w) {}

    bool IsUpdatingView() const override { return w_.IsUpdatingView(); }
    void SetUpdatingView(bool on) override { w_.SetUpdatingView(on); }
    void SetOverlaysDirty(int ch) override { w_.SetOverlaysDirty(ch); }
    void ResetPeqViews() override { w_.ResetPeqViews(); }
    void RefreshAllPanels() override { w_.RefreshAllPanels(); }
    void RepaintChannelGraphs() override { w_.RepaintChannelGraphs(); }
    void ResetLevelMeters() override { w_.ResetLevelMeters(); }
    void SetRecallPresetName(int row, const std::string& name) override { w_.SetRecallPresetName(row, name); }
    void SetStorePresetName(int row, const std::string& name) override { w_.SetStorePresetName(row, name); }
    std::optional<std::string> RunFileDialog(FileDialog which) override { return w_.RunFileDialog(which); }
    std::string GetLangText(const std::string& key) const override { return w_.GetLangText(key); }
    void ShowInformation(const std::string& text) override { w_.ShowInformation(text); }
    void ShowProgressModal() override { w_.ShowProgressModal(); }
    void ShowProgress(const std::string& status, int position, int max) override {
        w_.ShowProgress(status, position, max);
    }
    void SetMainEnabled(bool on) override { w_.SetMainEnabled(on); }
    void RestoreProgramFolder() override { w_.RestoreProgramFolder(); }

    std::string StatusText() const override {
        auto* c = w_.Find<TControl>("lbStatus");
        return c ? c->Caption() : std::string();
    }
    void SetStatusText(const std::string& text) override { w_.SetCaptionOf("lbStatus", text); }
    bool MainWindowVisible() const override { return w_.Visible(); }
    THidDeviceController* HidController() override { return w_.Find<THidDeviceController>("HidCtl"); }

    void StartLinkTimer(LinkTimer timer) override { StartTimer(Timer(timer)); }
    void StopLinkTimer(LinkTimer timer) override { StopTimer(Timer(timer)); }
    bool LinkTimerRunning(LinkTimer timer) const override {
        auto* t = Timer(timer);
        return t && t->Enabled();
    }

    void SetProgressStatus(const std::string& text) override {
        if (fmProcess)
            fmProcess->SetStatus(text);
    }
    void SetProgressRange(int max) override {
        if (auto* bar = Bar()) {
            bar->SetMax(max);
            bar->SetPosition(0);
        }
    }
    void SetProgressPosition(int position) override {
        if (auto* bar = Bar())
            bar->SetPosition(position);
    }
    int ProgressPosition() const override { return Bar() ? Bar()->Position() : 0; }
    int ProgressMax() const override { return Bar() ? Bar()->Max() : 0; }
    void CloseProgressWindow() override { w_.CloseProgressWindow(); }

    void SearchResult(bool found) override {
        if (fmNetwork)
            fmNetwork->OnScanResult(found ? 1 : 0);
    }
    bool SearchFoundUnit() const override { return fmNetwork && fmNetwork->SearchResult() == 1; }
    bool SearchShown() const override { return fmNetwork && fmNetwork->Visible(); }
    void SetSearchStatus(const std::string& text) override {
        if (fmNetwork)
            fmNetwork->SetStatus(text);
    }
    void CloseSearch() override {
        if (fmNetwork)
            fmNetwork->CloseDialog();
    }
    void LinkBroken(bool reopen) override {
        if (!fmNetwork)
            return;
        if (reopen)
            fmNetwork->SetScanPosition(0);
        fmNetwork->OnLinkBroken();
        if (reopen)
            fmNetwork->ShowDialog();
    }
    bool BeginSearch() override {
        if (!fmNetwork)
            return false;
        fmNetwork->btnOKClick(nullptr);
        return true;
    }
    void ShowSearch() override {
        if (fmNetwork)
            fmNetwork->ShowDialog();
    }

    void ShowOnline(const std::string& interfaceName) override {
        auto* link = LinkButton();
        if (link)
            link->SetCaption(w_.GetLangText("SID_ONLINE"));
        if (auto* item = ConnectItem())
            item->SetCaption(w_.GetLangText("SID_DISCONNECT"));
        w_.SetCaptionOf("lbConInterface", interfaceName);
        if (link)
            link->SetDown(true);
    }
    void ShowOffline() override {
        w_.SetCaptionOf("Connect", w_.GetLangText("SID_CONNECT"));
        auto* link = LinkButton();
        if (link)
            link->SetCaption(w_.GetLangText("SID_OFFLINE"));
        w_.SetCaption(std::string(PROGRAM_TITLE) + " " + PROGRAM_VERSION);
        w_.SetCaptionOf("lbConInterface", "");
        if (link) {
            link->SetEnabled(true);
            link->SetDown(false);
        }
        if (auto* item = ConnectItem())
            item->SetEnabled(true);
    }
    void ShowLinkBusy() override {
        if (auto* link = LinkButton()) {
            link->SetEnabled(false);
            link->SetDown(false);
        }
        if (auto* item = ConnectItem())
            item->SetEnabled(false);
    }
    void ShowConnectCaption(bool disconnect) override {
        if (auto* item = ConnectItem())
            item->SetCaption(w_.GetLangText(disconnect ? "SID_DISCONNECT" : "SID_CONNECT"));
    }
    void ShowReadBackDone() override {
        w_.HidePendingGeqBand();
        w_.RefreshAllPanels();
        auto* link = LinkButton();
        if (link)
            link->SetEnabled(true);
        if (auto* item = ConnectItem())
            item->SetEnabled(true);
        if (link) {
            link->SetDown(false);
            link->SetDown(true);
        }
    }
    void ShowDeviceId(int id) override { w_.SetCaptionOf("lbShowIdNumber", "ID : " + std::to_string(id)); }
    void ShowPreset(const std::string& number, const std::string& name) override {
        w_.SetCaptionOf("lbPstNum", number);
        w_.SetCaptionOf("lbPstName", name);
    }
    void FocusMain() override {
        if (w_.CanFocus())
            w_.SetFocus();
    }

    void ShowLevels(const BSTM& payload) override { w_.OnLevelsReply(payload); }
    void LockAcknowledged() override {
        if (fmLockSetup && fmLockSetup->Waiting())
            fmLockSetup->OnAck();
    }
    void PasswordVerdict(uint8_t verdict) override {
        if (fmLockPassWord)
            fmLockPassWord->SetReplyState(verdict);
    }
    void ShowLockPrompt() override {
        // A dialog still open from a link that broke under it serves the new one: a form is never made
        // modal twice.
        if (fmLockPassWord && !fmLockPassWord->Modal())
            fmLockPassWord->ShowModal();
    }
    void FrameLogLine(const std::string& line) override {
        if (fmHidData)
            fmHidData->AddLine(line);
    }

private:
    kv::TTimer* Timer(LinkTimer timer) const { return w_.Find<kv::TTimer>(TimerName(timer)); }
    TStProgressBar* Bar() const { return fmProcess ? fmProcess->ProgressBar : nullptr; }
    TPkBmpButton* LinkButton() const { return w_.Find<TPkBmpButton>("pkbMenuLink"); }
    TMenuItem* ConnectItem() const { return w_.Find<TMenuItem>("Connect"); }

    TfmMain& w_;
};

TMainLink* LinkOf(TfmMain& w) {
    return &w.MainLink();
}

} // namespace

void TfmMain::CreateLink() {
    linkView = std::make_unique<TfmMainLinkView>(*this);
    mainLink = std::make_unique<TMainLink>(*linkView, TScheduler::Default());
}

void TfmMain::PublishLink(TClassBuilder<TfmMain>& b) {
    b.Forward<TNotifyEvent>("tmDisconnectTimer", LinkOf, &TMainLink::tmDisconnectTimer);
    b.Forward<TNotifyEvent>("tmLinkBrokenTimer", LinkOf, &TMainLink::tmLinkBrokenTimer);
    b.Forward<TNotifyEvent>("tmComScanTimer", LinkOf, &TMainLink::tmComScanTimer);
    b.Method<TNotifyEvent>("tmStartConnectTimer", &TfmMain::tmStartConnectTimer);
    b.Forward<TNotifyEvent>("tmLockPromptTimer", LinkOf, &TMainLink::tmLockPromptTimer);
    b.Forward<TNotifyEvent>("pkbMenuLinkClick", LinkOf, &TMainLink::pkbMenuLinkClick);
    b.Method<TNotifyEvent>("ConnectedClick", &TfmMain::ConnectedClick);
    b.Method<TNotifyEvent>("bStoreClick", &TfmMain::bStoreClick);
    b.Method<TNotifyEvent>("bRecallClick", &TfmMain::bRecallClick);
    b.Method<TNotifyEvent>("FactoryDefaultClick", &TfmMain::FactoryDefaultClick);
    b.Forward<TNotifyEvent>("OpenClick", LinkOf, &TMainLink::OpenClick);
    b.Forward<TNotifyEvent>("SaveClick", LinkOf, &TMainLink::SaveClick);
    b.Forward<TNotifyEvent>("UploadClick", LinkOf, &TMainLink::UploadClick);
    b.Forward<TNotifyEvent>("DownloadClick", LinkOf, &TMainLink::DownloadClick);
    b.Forward<TNotifyEvent>("tmUploadTimer", LinkOf, &TMainLink::tmUploadTimer);
}

void TfmMain::SendCommand(const LCmd& cmd, bool force) {
    mainLink->SendCommand(cmd, force);
}
int TfmMain::GetDeviceId() const {
    return mainLink->GetDeviceId();
}
bool TfmMain::IsConnected() const {
    return mainLink->IsConnected();
}
bool TfmMain::IsOnline() const {
    return mainLink->IsOnline();
}
int TfmMain::CurrentPreset() const {
    return mainLink->CurrentPreset();
}
void TfmMain::StopLevelPoll() {
    mainLink->StopLevelPoll();
}
void TfmMain::SetTransferState(TransferState state) {
    mainLink->SetTransferState(state);
}

void TfmMain::ConnectedClick(TObject*) {
    if (auto* link = Find<TPkBmpButton>("pkbMenuLink"))
        link->Click();
    else
        mainLink->pkbMenuLinkClick(nullptr);
}

void TfmMain::tmStartConnectTimer(TObject*) {
    if (auto* t = Find<kv::TTimer>("tmStartConnect"))
        t->SetEnabled(false);
    ConnectedClick(nullptr);
}

// Both lists work offline too: the names the editor knows can be looked at and edited any time.
void TfmMain::bStoreClick(TObject*) {
    if (fmStorePreset && !fmStorePreset->Visible())
        fmStorePreset->ShowModal();
}

void TfmMain::bRecallClick(TObject*) {
    if (fmRecallPreset && !fmRecallPreset->Visible())
        fmRecallPreset->ShowModal();
}

void TfmMain::CloseProgressWindow() {
    // A showing still due would otherwise open a window that nothing closes any more.
    StopTimer(Find<kv::TTimer>("tmProcessShow"));
    if (!fmProcess)
        return;
    fmProcess->EndTransfer();
    if (fmProcess->Modal())
        fmProcess->Close();
    fmProcess->Hide();
}

void TfmMain::SetRecallPresetName(int row, const std::string& name) {
    if (fmRecallPreset)
        fmRecallPreset->SetPresetName(row, name);
}

void TfmMain::SetStorePresetName(int row, const std::string& name) {
    if (fmStorePreset)
        fmStorePreset->SetPresetName(row, name);
}

void TfmMain::FactoryDefaultClick(TObject*) {
    if (!mainLink->IsConnected()) {
        ShowInformation(GetLangText("SID_INFO_CON_FIRST"));
        return;
    }
    if (fmFactory && !fmFactory->Visible())
        fmFactory->ShowModal();
}
