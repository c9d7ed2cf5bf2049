#include "app/FFactory.h"

#include "app/FMain.h"
#include "app/LangTables.h"
#include "app/link/MainLink.h"
#include "panels/PkBmpButton.h"
#include "panels/PkPanel.h"
#include "platform/gui/StdPanels.h"

namespace kv {

TfmFactory* fmFactory = nullptr;

KV_REGISTER_CLASS(TfmFactory, TForm, b) {
    b.Method<TNotifyEvent>("FormCreate", &TfmFactory::FormCreate);
    b.Method<TNotifyEvent>("FormShow", &TfmFactory::FormShow);
    b.Method<TNotifyEvent>("btnOKClick", &TfmFactory::btnOKClick);
    b.Method<TNotifyEvent>("bnCancelClick", &TfmFactory::bnCancelClick);
}

TfmFactory::TfmFactory(TComponent* owner) : TForm(owner) {
    if (!fmFactory)
        fmFactory = this;
}

TfmFactory::~TfmFactory() {
    if (fmFactory == this)
        fmFactory = nullptr;
}

void TfmFactory::FormCreate(TObject*) {
    GroupBox1 = FindAs<TPkGroupBox>(*this, "GroupBox1");
    Image1 = FindAs<TImage>(*this, "Image1");
    lbMessage = FindAs<TLabel>(*this, "lbMessage");
    btnOK = FindAs<TPkBmpButton>(*this, "btnOK");
    bnCancel = FindAs<TPkBmpButton>(*this, "bnCancel");
    imBase = FindAs<TImage>(*this, "imBase");
}

void TfmFactory::FormShow(TObject*) {
    SetCaption(UiText("SID_INFO_TITLE"));
    if (lbMessage)
        lbMessage->SetCaption(UiText("SID_FACTORY_DEFAULT"));
    if (btnOK)
        btnOK->SetCaption(UiText("SID_EXIT_OK"));
    if (bnCancel)
        bnCancel->SetCaption(UiText("SID_EXIT_CANCEL"));
}

void TfmFactory::btnOKClick(TObject*) {
    if (::fmMain)
        ::fmMain->MainLink().SendFactoryReset();
    Close();
}

void TfmFactory::bnCancelClick(TObject*) {
    Close();
}

} // namespace kv
