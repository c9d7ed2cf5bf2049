#include "app/FAbout.h"

#include "app/LangTables.h"
#include "panels/PkBmpButton.h"
#include "platform/gui/StdPanels.h"

namespace kv {

TfmAbout* fmAbout = nullptr;

KV_REGISTER_CLASS(TfmAbout, TForm, b) {
    b.Method<TNotifyEvent>("FormCreate", &TfmAbout::FormCreate);
    b.Method<TNotifyEvent>("FormShow", &TfmAbout::FormShow);
    b.Method<TNotifyEvent>("btnOKClick", &TfmAbout::btnOKClick);
}

TfmAbout::TfmAbout(TComponent* owner) : TForm(owner) {
    if (!fmAbout)
        fmAbout = this;
}

TfmAbout::~TfmAbout() {
    if (fmAbout == this)
        fmAbout = nullptr;
}

void TfmAbout::FormCreate(TObject*) {
    imBase = FindAs<TImage>(*this, "imBase");
    ProductName = FindAs<TLabel>(*this, "ProductName");
    Version = FindAs<TLabel>(*this, "Version");
    btnOK = FindAs<TPkBmpButton>(*this, "btnOK");
}

void TfmAbout::FormShow(TObject*) {
    SetCaption(UiText("SID_ABOUT"));
}

void TfmAbout::btnOKClick(TObject*) {
    Close();
}

} // namespace kv
