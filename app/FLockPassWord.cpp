#include "app/FLockPassWord.h"

#include "app/FLockSetup.h"
#include "app/FMain.h"
#include "app/LangTables.h"
#include "app/TimerComponent.h"
#include "app/link/MainLink.h"
#include "link/LCmd.h"
#include "panels/PkBmpButton.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StdPanels.h"
#include "styled/RoundControls.h"

namespace kv {

TfmLockPassWord* fmLockPassWord = nullptr;

namespace {
constexpr const char* kHiddenPassword = "****";
} // namespace

KV_REGISTER_CLASS(TfmLockPassWord, TPanelLockForm, b) {
    using F = TfmLockPassWord;
    b.Method<TNotifyEvent>("FormShow", &F::FormShow);
    b.Method<TNotifyEvent>("PkBmpButton1Click", &F::PkBmpButton1Click);
    b.Method<TNotifyEvent>("bnCancelClick", &F::bnCancelClick);
    b.Method<TCloseEvent>("FormClose", &F::FormClose);
    b.Method<TNotifyEvent>("tmCheckTimer", &F::tmCheckTimer);
    b.Method<TNotifyEvent>("tmCmdTimer", &F::tmCmdTimer);
}

TfmLockPassWord::TfmLockPassWord(TComponent* owner) : TPanelLockForm(owner) {
    if (!fmLockPassWord)
        fmLockPassWord = this;
}

TfmLockPassWord::~TfmLockPassWord() {
    if (fmLockPassWord == this)
        fmLockPassWord = nullptr;
}

void TfmLockPassWord::BindControls() {
    bnCancel = FindAs<TPkBmpButton>(*this, "bnCancel");
    tmCheck = FindAs<TTimer>(*this, "tmCheck");
    tmCmd = FindAs<TTimer>(*this, "tmCmd");
}

namespace {
void ShowHiddenPassword(TEmptyEdit* box) {
    if (!box)
        return;
    box->SetText(kHiddenPassword);
    box->SetFocus();
    box->SelectAll();
}
} // namespace

void TfmLockPassWord::FormShow(TObject*) {
    ended = false;
    ShowTexts("SID_UNLOCK_TITLE", "SID_UNLOCK_PASSWORD", bnCancel, kHiddenPassword);
}

void TfmLockPassWord::PkBmpButton1Click(TObject*) {
    const auto password = PanelPasswordBytes(edName ? edName->Text() : std::string());
    if (::fmMain)
        ::fmMain->SendCommand(
            CM_MCS_PASS_SUBMIT(static_cast<std::uint8_t>(::fmMain->GetDeviceId()), 0, password.data()), true);
    checkCount = 0;
    replyState = kWaiting;
    StartTimer(tmCheck);
}

void TfmLockPassWord::tmCheckTimer(TObject*) {
    ++checkCount;
    StopTimer(tmCheck);
    switch (replyState) {
    case 0:
        MessageDlg("Password Error!!", TMsgDlgType::mtInformation, {TMsgDlgBtn::mbOK});
        ShowHiddenPassword(edName);
        break;
    case 1:
        StartTimer(tmCmd);
        break;
    case kWaiting:
        if (checkCount > kMaxChecks) {
            MessageDlg("Check Time Out!", TMsgDlgType::mtInformation, {TMsgDlgBtn::mbOK});
            bnCancelClick(bnCancel);
        } else {
            StartTimer(tmCheck);
        }
        break;
    default:
        break;
    }
}

void TfmLockPassWord::tmCmdTimer(TObject*) {
    StopTimer(tmCmd);
    if (::fmMain)
        ::fmMain->SendCommand(CM_MCS_CMD(static_cast<std::uint8_t>(::fmMain->GetDeviceId()), MCS_READ_PARAMS),
                              false);
    ended = true;
    Close();
}

void TfmLockPassWord::bnCancelClick(TObject*) {
    StopTimer(tmCheck);
    StopTimer(tmCmd);
    ended = true;
    if (::fmMain)
        ::fmMain->MainLink().CloseLink();
    Close();
}

void TfmLockPassWord::FormClose(TObject*, TCloseAction&) {
    if (!ended)
        bnCancelClick(bnCancel);
}

} // namespace kv
