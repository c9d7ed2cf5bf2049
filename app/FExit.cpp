#include "app/FExit.h"

#include "app/FMain.h"
#include "app/LangTables.h"
#include "panels/PkBmpButton.h"
#include "platform/gui/StdCtrls.h"

namespace kv {

TfmExit* fmExit = nullptr;

KV_REGISTER_CLASS(TfmExit, TForm, b) {
    b.Method<TNotifyEvent>("FormCreate", &TfmExit::FormCreate);
    b.Method<TNotifyEvent>("FormShow", &TfmExit::FormShow);
    b.Method<TNotifyEvent>("btnOKClick", &TfmExit::btnOKClick);
    b.Method<TNotifyEvent>("btnExitClick", &TfmExit::btnExitClick);
}

TfmExit::TfmExit(TComponent* owner) : TForm(owner) {
    if (!fmExit)
        fmExit = this;
}

TfmExit::~TfmExit() {
    if (fmExit == this)
        fmExit = nullptr;
}

void TfmExit::FormCreate(TObject*) {
    imBase = FindAs<TImage>(*this, "imBase");
    lbExit = FindAs<TLabel>(*this, "lbExit");
    btnOK = FindAs<TPkBmpButton>(*this, "btnOK");
    btnCancel = FindAs<TPkBmpButton>(*this, "btnCancel");
}

void TfmExit::FormShow(TObject*) {
    SetCaption(UiText("SID_INFO_TITLE"));
    if (lbExit)
        lbExit->SetCaption(UiText("SID_EXIT_QUIT"));
    if (btnOK)
        btnOK->SetCaption(UiText("SID_EXIT_OK"));
    if (btnCancel)
        btnCancel->SetCaption(UiText("SID_EXIT_CANCEL"));
}

// The dialog goes away with the main window, which now closes for good.
void TfmExit::btnOKClick(TObject*) {
    if (fmMain) {
        fmMain->SetExitConfirmed(true);
        fmMain->Close();
    }
    Close();
}

void TfmExit::btnExitClick(TObject*) {
    Close();
    if (fmMain)
        fmMain->SetExitConfirmed(false);
}

} // namespace kv
