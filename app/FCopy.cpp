#include "app/FCopy.h"

#include "app/FMain.h"
#include "app/pages/LinkingPage.h"
#include "app/LangTables.h"
#include "panels/PkBmpButton.h"
#include "platform/gui/StdLists.h"

namespace kv {

TfmCopy* fmCopy = nullptr;

KV_REGISTER_CLASS(TfmCopy, TForm, b) {
    using F = TfmCopy;
    b.Method<TNotifyEvent>("FormCreate", &F::FormCreate);
    b.Method<TNotifyEvent>("FormShow", &F::FormShow);
    b.Method<TNotifyEvent>("bnInChCopyClick", &F::bnInChCopyClick);
    b.Method<TNotifyEvent>("bnExitClick", &F::bnExitClick);
}

TfmCopy::TfmCopy(TComponent* owner) : TForm(owner) {
    if (!fmCopy)
        fmCopy = this;
}

TfmCopy::~TfmCopy() {
    if (fmCopy == this)
        fmCopy = nullptr;
}

void TfmCopy::FormCreate(TObject*) {
    cbInSource = FindAs<TComboBox>(*this, "cbInSource");
    cbInDestination = FindAs<TComboBox>(*this, "cbInDestination");
    cbOutSource = FindAs<TComboBox>(*this, "cbOutSource");
    cbOutDestination = FindAs<TComboBox>(*this, "cbOutDestination");
    bnInChCopy = FindAs<TPkBmpButton>(*this, "bnInChCopy");
    bnOutChCopy = FindAs<TPkBmpButton>(*this, "bnOutChCopy");
    bnExit = FindAs<TPkBmpButton>(*this, "bnExit");
}

void TfmCopy::FormShow(TObject*) {
    SetCaption(UiText("SID_COPY_TITLE"));
    for (TPkBmpButton* copy : {bnInChCopy, bnOutChCopy})
        if (copy)
            copy->SetCaption(UiText("SID_COPY"));
    if (bnExit)
        bnExit->SetCaption(UiText("SID_EXIT"));
}

void TfmCopy::bnInChCopyClick(TObject* sender) {
    auto* button = dynamic_cast<TPkBmpButton*>(sender);
    if (!button || !::fmMain)
        return;
    const bool outputs = button->Tag() == 1;
    TComboBox* source = outputs ? cbOutSource : cbInSource;
    TComboBox* destination = outputs ? cbOutDestination : cbInDestination;
    if (!source || !destination)
        return;
    // Only a channel of the list's own side: no selection never falls back to some other channel.
    const int count = outputs ? 4 : 2;
    const int from = source->ItemIndex(), to = destination->ItemIndex();
    if (from < 0 || from >= count || to < 0 || to >= count)
        return;
    const int first = outputs ? 2 : 0;
    // The poll pauses only for a copy that the unit makes and the read-back after it restarts.
    if (from != to && ::fmMain->IsConnected())
        ::fmMain->StopLevelPoll();
    ::fmMain->Linking().CopyChannelSettings(first + from, first + to, true);
}

void TfmCopy::bnExitClick(TObject*) {
    Close();
}

} // namespace kv
