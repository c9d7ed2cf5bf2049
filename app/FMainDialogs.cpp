// The menu items of the panel lock, the test signal and the small windows.

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
