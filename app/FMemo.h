#pragma once
// The message list: a memo beside the main window, emptied only by its Clear button.

#include "platform/gui/Forms.h"

namespace kv {

class TMemo;
class TButton;

class TfmMemo : public TForm {
    KV_CLASS(TfmMemo)
public:
    explicit TfmMemo(TComponent* owner);
    ~TfmMemo() override;

    void FormCreate(TObject* sender);
    void bnClearMemoClick(TObject* sender);

    TMemo* Memo = nullptr;
    TButton* bnClearMemo = nullptr;
};

extern TfmMemo* fmMemo;

} // namespace kv
