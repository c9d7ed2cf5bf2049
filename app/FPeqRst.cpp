#include "app/FPeqRst.h"

#include "app/FMain.h"
#include "app/LangTables.h"
#include "app/pages/GeqPage.h"
#include "app/pages/PeqPage.h"
#include "panels/PkBmpButton.h"
#include "panels/PkPanel.h"
#include "platform/gui/StdCtrls.h"

namespace kv {

TfmPeqRst* fmPeqRst = nullptr;

KV_REGISTER_CLASS(TfmPeqRst, TForm, b) {
    b.Method<TNotifyEvent>("FormCreate", &TfmPeqRst::FormCreate);
    b.Method<TNotifyEvent>("FormShow", &TfmPeqRst::FormShow);
    b.Method<TNotifyEvent>("btnOKClick", &TfmPeqRst::btnOKClick);
    b.Method<TNotifyEvent>("btnExitClick", &TfmPeqRst::btnExitClick);
}

TfmPeqRst::TfmPeqRst(TComponent* owner) : TForm(owner) {
    if (!fmPeqRst)
        fmPeqRst = this;
}

TfmPeqRst::~TfmPeqRst() {
    if (fmPeqRst == this)
        fmPeqRst = nullptr;
}

void TfmPeqRst::FormCreate(TObject*) {
    imBase = FindAs<TImage>(*this, "imBase");
    gbReset = FindAs<TPkGroupBox>(*this, "gbReset");
    lbReset = FindAs<TLabel>(*this, "lbReset");
    btnOK = FindAs<TPkBmpButton>(*this, "btnOK");
    btnCancel = FindAs<TPkBmpButton>(*this, "btnCancel");
}

void TfmPeqRst::FormShow(TObject*) {
    SetCaption(UiText("SID_PEQRST"));
    if (lbReset)
        lbReset->SetCaption(UiText("SID_PEQRST_RESET"));
    if (btnOK)
        btnOK->SetCaption(UiText("SID_PEQRST_OK"));
    if (btnCancel)
        btnCancel->SetCaption(UiText("SID_PEQRST_CANCEL"));
}

void TfmPeqRst::btnOKClick(TObject*) {
    Hide();
    if (fmMain && resetTarget >= 0 && resetTarget <= 7) {
        if (resetTarget < 6)
            fmMain->Peq().SendAllPeqBands(resetTarget);
        else
            fmMain->Geq().SendAllGeqBands(resetTarget);
    }
    Close();
}

void TfmPeqRst::btnExitClick(TObject*) {
    Close();
}

} // namespace kv
