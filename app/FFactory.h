#pragma once
// The confirmation asked before the unit is returned to its factory default.

#include "platform/gui/Forms.h"

namespace kv {

class TLabel;
class TImage;
class TPkGroupBox;
class TPkBmpButton;

class TfmFactory : public TForm {
    KV_CLASS(TfmFactory)
public:
    explicit TfmFactory(TComponent* owner);
    ~TfmFactory() override;

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void btnOKClick(TObject* sender);
    void bnCancelClick(TObject* sender);

    TPkGroupBox* GroupBox1 = nullptr;
    TImage* Image1 = nullptr;
    TLabel* lbMessage = nullptr;
    TPkBmpButton* btnOK = nullptr;
    TPkBmpButton* bnCancel = nullptr;
    TImage* imBase = nullptr;
};

extern TfmFactory* fmFactory;

} // namespace kv
