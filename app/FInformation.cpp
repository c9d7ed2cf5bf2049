#include "app/FInformation.h"

#include "app/LangTables.h"
#include "panels/PkBmpButton.h"
#include "panels/PkPanel.h"
#include "platform/gui/StdPanels.h"

namespace kv {

TfmInformation* fmInformation = nullptr;

KV_REGISTER_CLASS(TfmInformation, TForm, b) {
    b.Method<TNotifyEvent>("FormCreate", &TfmInformation::FormCreate);
    b.Method<TNotifyEvent>("FormShow", &TfmInformation::FormShow);
    b.Method<TNotifyEvent>("btnOKClick", &TfmInformation::btnOKClick);
}

TfmInformation::TfmInformation(TComponent* owner) : TForm(owner) {
    if (!fmInformation)
        fmInformation = this;
}

TfmInformation::~TfmInformation() {
    if (fmInformation == this)
        fmInformation = nullptr;
}

void TfmInformation::FormCreate(TObject*) {
    GroupBox1 = FindAs<TPkGroupBox>(*this, "GroupBox1");
    Image1 = FindAs<TImage>(*this, "Image1");
    lbMessage = FindAs<TLabel>(*this, "lbMessage");
    btnOK = FindAs<TPkBmpButton>(*this, "btnOK");
    imBase = FindAs<TImage>(*this, "imBase");
}

void TfmInformation::ShowMessage(const std::string& text) {
    if (lbMessage)
        lbMessage->SetCaption(text);
    ShowModal();
}

void TfmInformation::FormShow(TObject*) {
    SetCaption(UiText("SID_INFO_TITLE"));
    if (btnOK)
        btnOK->SetCaption(UiText("SID_EXIT_OK"));
}

void TfmInformation::btnOKClick(TObject*) {
    Close();
}

} // namespace kv
