#include "app/FMemo.h"

#include "app/LangTables.h"
#include "platform/gui/StdButtons.h"
#include "platform/gui/StdEdits.h"

namespace kv {

TfmMemo* fmMemo = nullptr;

KV_REGISTER_CLASS(TfmMemo, TForm, b) {
    b.Method<TNotifyEvent>("FormCreate", &TfmMemo::FormCreate);
    b.Method<TNotifyEvent>("bnClearMemoClick", &TfmMemo::bnClearMemoClick);
}

TfmMemo::TfmMemo(TComponent* owner) : TForm(owner) {
    if (!fmMemo)
        fmMemo = this;
}

TfmMemo::~TfmMemo() {
    if (fmMemo == this)
        fmMemo = nullptr;
}

void TfmMemo::FormCreate(TObject*) {
    Memo = FindAs<TMemo>(*this, "Memo");
    bnClearMemo = FindAs<TButton>(*this, "bnClearMemo");
}

void TfmMemo::bnClearMemoClick(TObject*) {
    if (Memo)
        Memo->Lines()->Clear();
}

} // namespace kv
