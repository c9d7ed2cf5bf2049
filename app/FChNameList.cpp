#include "app/FChNameList.h"

#include "app/FChannelName.h"
#include "app/FMain.h"
#include "app/LangTables.h"
#include "panels/PkBmpButton.h"
#include "platform/core/CodePage.h"
#include "platform/gui/StdEdits.h"

namespace kv {

TfmChNameList* fmChNameList = nullptr;

KV_REGISTER_CLASS(TfmChNameList, TForm, b) {
    b.Method<TNotifyEvent>("FormCreate", &TfmChNameList::FormCreate);
    b.Method<TNotifyEvent>("FormShow", &TfmChNameList::FormShow);
    b.Method<TNotifyEvent>("btnOKClick", &TfmChNameList::btnOKClick);
    b.Method<TNotifyEvent>("btnCancelClick", &TfmChNameList::btnCancelClick);
}

TfmChNameList::TfmChNameList(TComponent* owner) : TForm(owner) {
    if (!fmChNameList)
        fmChNameList = this;
}

TfmChNameList::~TfmChNameList() {
    if (fmChNameList == this)
        fmChNameList = nullptr;
}

void TfmChNameList::FormCreate(TObject*) {
    for (int ch = 0; ch < 6; ++ch)
        edNames[ch] = FindAs<TEdit>(*this, "edMatrixChName" + TfmMain::ChannelSuffix(ch));
    btnOK = FindAs<TPkBmpButton>(*this, "btnOK");
    btnCancel = FindAs<TPkBmpButton>(*this, "btnCancel");
}

void TfmChNameList::FormShow(TObject*) {
    for (int ch = 0; ch < 6; ++ch)
        if (edNames[ch] && fmMain)
            edNames[ch]->SetText(FromAnsi(ChannelNameBytes(fmMain->ChannelNameOf(ch).data())));
    SetCaption(UiText("SID_CH_NAME_LIST"));
    if (btnOK)
        btnOK->SetCaption(UiText("SID_SET"));
    if (btnCancel)
        btnCancel->SetCaption(UiText("SID_EXIT"));
}

// Only the names that differ from the model's are stored and sent, in channel order.
void TfmChNameList::btnOKClick(TObject*) {
    for (int ch = 0; ch < 6 && fmMain; ++ch) {
        if (!edNames[ch])
            continue;
        const ChannelNameBuffer name = ChannelNameFromText(edNames[ch]->Text());
        const std::string typed = ChannelNameBytes(name.data());
        if (typed == ChannelNameBytes(fmMain->ChannelNameOf(ch).data()))
            continue;
        edNames[ch]->SetText(FromAnsi(typed));
        fmMain->ApplyChannelName(ch, name.data());
    }
    Close();
}

void TfmChNameList::btnCancelClick(TObject*) {
    Close();
}

} // namespace kv
