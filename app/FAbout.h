#pragma once
// The about box: the program's name, version and year.

#include "platform/gui/Forms.h"

namespace kv {

class TImage;
class TLabel;
class TPkBmpButton;

class TfmAbout : public TForm {
    KV_CLASS(TfmAbout)
public:
    explicit TfmAbout(TComponent* owner);
    ~TfmAbout() override;

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void btnOKClick(TObject* sender);

    TImage* imBase = nullptr;
    TLabel* ProductName = nullptr;
    TLabel* Version = nullptr;
    TPkBmpButton* btnOK = nullptr;
};

extern TfmAbout* fmAbout;

} // namespace kv
