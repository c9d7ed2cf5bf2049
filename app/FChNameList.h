#pragma once
// The dialog of all six channel names. Set stores and sends only the names that changed; Exit changes
// nothing.

#include "platform/gui/Forms.h"

namespace kv {

class TEdit;
class TPkBmpButton;

class TfmChNameList : public TForm {
    KV_CLASS(TfmChNameList)
public:
    explicit TfmChNameList(TComponent* owner);
    ~TfmChNameList() override;

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void btnOKClick(TObject* sender);
    void btnCancelClick(TObject* sender);

    // The name boxes by channel: edMatrixChNameInA .. edMatrixChNameOut4.
    TEdit* edNames[6] = {};
    TPkBmpButton* btnOK = nullptr;
    TPkBmpButton* btnCancel = nullptr;
};

extern TfmChNameList* fmChNameList;

} // namespace kv
