#pragma once
// The EQ reset dialog: asks before one EQ goes back to its defaults. Its target is set before it is
// shown: 0..5 the parametric EQ of that channel, 6 the graphic EQ of InA, 7 of InB. OK resets that EQ
// on the page, in the model and on the unit; Cancel leaves everything as it was.

#include "platform/gui/Forms.h"

namespace kv {

class TLabel;
class TImage;
class TPkBmpButton;
class TPkGroupBox;

class TfmPeqRst : public TForm {
    KV_CLASS(TfmPeqRst)
public:
    explicit TfmPeqRst(TComponent* owner);
    ~TfmPeqRst() override;

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void btnOKClick(TObject* sender);
    void btnExitClick(TObject* sender);

    // Stores the EQ the next OK resets.
    void SetChannel(int code) { resetTarget = code; }
    int ResetTarget() const { return resetTarget; }

    TImage* imBase = nullptr;
    TPkGroupBox* gbReset = nullptr;
    TLabel* lbReset = nullptr;
    TPkBmpButton* btnOK = nullptr;
    TPkBmpButton* btnCancel = nullptr;

private:
    int resetTarget = 0;
};

extern TfmPeqRst* fmPeqRst;

} // namespace kv
