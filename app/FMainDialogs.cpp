// The main window's side of the panel lock, the test signal and the small windows: their menu items,
// the lock command's acknowledgement, the unlock verdict and the frame log's lines.

#include "app/FMain.h"

#include "app/FAbout.h"
#include "app/FHidData.h"
#include "app/FLockPassWord.h"
#include "app/FLockSetup.h"
#include "app/FMemo.h"
#include "app/FRs232CodeDoc.h"
#include "app/FRs232CodeDocEnglish.h"
#include "app/FTest.h"
#include "app/LangTables.h"

#include <algorithm>

using namespace kv;

void TfmMain::PublishDialogs(TClassBuilder<TfmMain>& b) {
    b.Method<TNotifyEvent>("LockClick", &TfmMain::LockClick);
    b.Method<TNotifyEvent>("LockSetupClick", &TfmMain::LockSetupClick);
    b.Method<TNotifyEvent>("TestToneClick", &TfmMain::TestToneClick);
    b.Method<TNotifyEvent>("AboutClick", &TfmMain::AboutClick);
    b.Method<TNotifyEvent>("Rs232CodeClick", &TfmMain::Rs232CodeClick);
    b.Method<TNotifyEvent>("MemoShowClick", &TfmMain::MemoShowClick);
    b.Method<TNotifyEvent>("HidDataClick", &TfmMain::HidDataClick);
}

void TfmMain::LockClick(TObject*) {
    if (fmLockSetup)
        fmLockSetup->ShowModal();
}

// The hidden Help item opens the same dialog as the Lock menu.
void TfmMain::LockSetupClick(TObject* sender) {
    LockClick(sender);
}

void TfmMain::TestToneClick(TObject*) {
    if (fmTest)
        fmTest->ShowModal();
}

void TfmMain::AboutClick(TObject*) {
    if (fmAbout)
        fmAbout->ShowModal();
}

void TfmMain::Rs232CodeClick(TObject*) {
    if (languageName == kLangEnglish) {
        if (fmRs232CodeEnglish)
            fmRs232CodeEnglish->ShowModal();
    } else if (fmRs232Code) {
        fmRs232Code->ShowModal();
    }
}

void TfmMain::MemoShowClick(TObject*) {
    if (fmMemo)
        fmMemo->Show();
}

void TfmMain::HidDataClick(TObject*) {
    if (fmHidData)
        fmHidData->Show();
}

bool TfmMain::IsFrameQueued(uint8_t code) const {
    std::deque<BSTM> queued;
    if (comLink)
        queued = comLink->QueuedFrames();
    else if (usbLink)
        queued = usbLink->QueuedFrames();
    else if (netLink)
        queued = netLink->QueuedFrames();
    return std::any_of(queued.begin(), queued.end(),
                       [code](const BSTM& f) { return f.size() > 5 && f[5] == code; });
}

bool TfmMain::IsLinkDrained() const {
    if (comLink)
        return !comLink->IsAwaiting() && comLink->QueuedFrames().empty();
    if (usbLink)
        return !usbLink->IsAwaiting() && usbLink->QueuedFrames().empty();
    if (netLink)
        return !netLink->IsAwaiting() && netLink->QueuedFrames().empty();
    return false;
}

void TfmMain::OnLockAck() {
    if (fmLockSetup && fmLockSetup->Waiting())
        fmLockSetup->OnAck();
}

void TfmMain::OnPasswordReply(const BSTM& payload) {
    // Lock number 0 is the panel lock; the unit's other locks are not the editor's.
    if (payload.size() >= 2 && payload[0] == 0 && fmLockPassWord)
        fmLockPassWord->SetReplyState(payload[1]);
}

void TfmMain::OnFrameLogLine(const std::string& line) {
    if (fmHidData)
        fmHidData->AddLine(line);
}
