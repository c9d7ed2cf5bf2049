#pragma once
// The copy dialog: copies one input onto the other, or one output onto another output. Online the
// unit copies and the editor reads the unit back; offline the model copies and the panels refresh.

#include "platform/gui/Forms.h"

namespace kv {

class TComboBox;
class TPkBmpButton;

class TfmCopy : public TForm {
    KV_CLASS(TfmCopy)
public:
    explicit TfmCopy(TComponent* owner);
    ~TfmCopy() override;

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    // Both copy buttons: Tag 0 copies between the inputs, Tag 1 between the outputs.
    void bnInChCopyClick(TObject* sender);
    void bnExitClick(TObject* sender);

    TComboBox* cbInSource = nullptr;
    TComboBox* cbInDestination = nullptr;
    TComboBox* cbOutSource = nullptr;
    TComboBox* cbOutDestination = nullptr;
    TPkBmpButton* bnInChCopy = nullptr;
    TPkBmpButton* bnOutChCopy = nullptr;
    TPkBmpButton* bnExit = nullptr;
};

extern TfmCopy* fmCopy;

} // namespace kv
