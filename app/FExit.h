#pragma once
// The quit dialog: asks before the editor ends. OK confirms and closes the main window; Cancel leaves
// everything as it was.

#include "platform/gui/Forms.h"

namespace kv {

class TLabel;
class TImage;
class TPkBmpButton;

class TfmExit : public TForm {
    KV_CLASS(TfmExit)
public:
    explicit TfmExit(TComponent* owner);
    ~TfmExit() override;

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void btnOKClick(TObject* sender);
    void btnExitClick(TObject* sender);

    TImage* imBase = nullptr;
    TLabel* lbExit = nullptr;
    TPkBmpButton* btnOK = nullptr;
    TPkBmpButton* btnCancel = nullptr;
};

extern TfmExit* fmExit;

} // namespace kv
