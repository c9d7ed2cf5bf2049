#include "app/FLockSetup.h"

#include "app/FInformation.h"
#include "app/FMain.h"
#include "app/LangTables.h"
#include "app/TimerComponent.h"
#include "app/link/MainLink.h"
#include "link/LCmd.h"
#include "panels/PkBmpButton.h"
#include "platform/core/CodePage.h"
#include "platform/gui/StdPanels.h"
#include "styled/RoundControls.h"

#include <algorithm>

namespace kv {

TfmLockSetup* fmLockSetup = nullptr;

KV_REGISTER_CLASS(TPanelLockForm, TForm, b) {
    using F = TPanelLockForm;
    b.Method<TNotifyEvent>("FormCreate", &F::FormCreate);
    b.Method<TKeyEvent>("edNameKeyDown", &F::edNameKeyDown);
}

KV_REGISTER_CLASS(TfmLockSetup, TPanelLockForm, b) {
    using F = TfmLockSetup;
    b.Method<TNotifyEvent>("FormShow", &F::FormShow);
    b.Method<TNotifyEvent>("PkBmpButton1Click", &F::PkBmpButton1Click);
    b.Method<TNotifyEvent>("btnExitClick", &F::btnExitClick);
    b.Method<TNotifyEvent>("tmCloseTimer", &F::tmCloseTimer);
}

std::array<std::uint8_t, 4> PanelPasswordBytes(const std::string& typed) {
    std::array<std::uint8_t, 4> bytes{};
    const std::string ansi = ToAnsiCut(typed, bytes.size());
    std::copy_n(ansi.begin(), std::min(ansi.size(), bytes.size()), bytes.begin());
    return bytes;
}

void TPanelLockForm::FormCreate(TObject*) {
    lblLockPassword = FindAs<TLabel>(*this, "lblLockPassword");
    edName = FindAs<TEmptyEdit>(*this, "edName");
    btnOK = FindAs<TPkBmpButton>(*this, "btnOK");
    imBase = FindAs<TImage>(*this, "imBase");
    if (edName) {
        edName->SetMaxLength(4);
        edName->SetCharCase(TCharCase::ecUpperCase);
        edName->SetAlignment(TAlignment::taCenter);
        edName->SetImeMode(TImeMode::imDisable);
    }
    BindControls();
}

void TPanelLockForm::edNameKeyDown(TObject*, std::uint16_t& key, TShiftState) {
    if (key == VK_RETURN)
        PkBmpButton1Click(btnOK);
}

void TPanelLockForm::ShowTexts(const char* captionKey, const char* labelKey, TPkBmpButton* cancel,
                               const std::string& text) {
    SetCaption(UiText(captionKey));
    if (lblLockPassword)
        lblLockPassword->SetCaption(UiText(labelKey));
    if (btnOK)
        btnOK->SetCaption(UiText("SID_EXIT_OK"));
    if (cancel)
        cancel->SetCaption(UiText("SID_EXIT_CANCEL"));
    if (edName) {
        edName->SetText(text);
        edName->SetFocus();
        edName->SelectAll();
    }
}

TfmLockSetup::TfmLockSetup(TComponent* owner) : TPanelLockForm(owner) {
    if (!fmLockSetup)
        fmLockSetup = this;
}

TfmLockSetup::~TfmLockSetup() {
    if (fmLockSetup == this)
        fmLockSetup = nullptr;
}

void TfmLockSetup::BindControls() {
    btnExit = FindAs<TPkBmpButton>(*this, "btnExit");
    tmClose = FindAs<TTimer>(*this, "tmClose");
}

void TfmLockSetup::FormShow(TObject*) {
    waiting = false;
    acked = false;
    StopTimer(tmClose);
    SetButtonsEnabled(true);
    ShowTexts("SID_LOCK_TITLE", "SID_LOCK_PASSWORD", btnExit, "8052");
}

void TfmLockSetup::PkBmpButton1Click(TObject*) {
    // One lock command per showing: a second click while it is on its way changes nothing.
    if (waiting)
        return;
    const auto password = PanelPasswordBytes(edName ? edName->Text() : std::string());
    if (::fmMain && ::fmMain->MainLink().Link()) {
        ::fmMain->SendCommand(
            CM_MCS_SET_LOCK(static_cast<std::uint8_t>(::fmMain->GetDeviceId()), password.data()), true);
        waiting = true;
        acked = false;
        checks = 0;
        // The lock is under way: nothing to cancel any more.
        SetButtonsEnabled(false);
    }
    StartTimer(tmClose);
}

void TfmLockSetup::OnAck() {
    // Frames go out one at a time: the first acknowledgement after the lock command has left the
    // queue is its own.
    if (waiting && ::fmMain && !::fmMain->MainLink().IsFrameQueued(MCS_SET_LOCK))
        acked = true;
}

void TfmLockSetup::tmCloseTimer(TObject*) {
    StopTimer(tmClose);
    if (!waiting) {
        // Nothing was sent (no transport): nothing to wait for.
        Finish();
        return;
    }
    const bool linkOpen = ::fmMain && ::fmMain->MainLink().Link();
    if (linkOpen && (acked || (!::fmMain->MainLink().IsFrameQueued(MCS_SET_LOCK) &&
                               ::fmMain->MainLink().IsLinkDrained()))) {
        Finish();
        return;
    }
    if (linkOpen && ++checks <= kMaxChecks) {
        StartTimer(tmClose);
        return;
    }
    // The link broke or the unit never answered: the panel may still be unlocked.
    waiting = false;
    if (fmInformation)
        fmInformation->ShowMessage(UiText("SID_LOCK_TITLE") + ": " + UiText("SID_LINK_BROKEN"));
    Finish();
}

void TfmLockSetup::Finish() {
    waiting = false;
    SetButtonsEnabled(true);
    if (::fmMain)
        ::fmMain->MainLink().CloseLink();
    Close();
}

void TfmLockSetup::SetButtonsEnabled(bool on) {
    if (btnOK)
        btnOK->SetEnabled(on);
    if (btnExit)
        btnExit->SetEnabled(on);
}

void TfmLockSetup::btnExitClick(TObject*) {
    // Once sent, the lock is the unit's: the dialog closes the link when the unit has taken it.
    if (waiting)
        return;
    StopTimer(tmClose);
    Close();
}

} // namespace kv
