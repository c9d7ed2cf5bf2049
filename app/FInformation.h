#pragma once
// The information window: one message and an OK button. The caller puts the message into lbMessage
// and shows the window modally.

#include "platform/gui/Forms.h"

#include <string>

namespace kv {

class TLabel;
class TImage;
class TPkGroupBox;
class TPkBmpButton;

class TfmInformation : public TForm {
    KV_CLASS(TfmInformation)
public:
    explicit TfmInformation(TComponent* owner);
    ~TfmInformation() override;

    // Puts the message into lbMessage and shows the window modally.
    void ShowMessage(const std::string& text);

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void btnOKClick(TObject* sender);

    TPkGroupBox* GroupBox1 = nullptr;
    TImage* Image1 = nullptr;
    TLabel* lbMessage = nullptr;
    TPkBmpButton* btnOK = nullptr;
    TImage* imBase = nullptr;
};

extern TfmInformation* fmInformation;

} // namespace kv
