#pragma once
// The panel lock dialog: sends a new front-panel password to the unit, which locks its panel, and
// then takes the editor offline. The link is closed only once the unit has taken the command, so a
// reply still awaited for an earlier command (a level poll) never discards the lock.

#include "platform/gui/Forms.h"

#include <array>
#include <cstdint>
#include <string>

namespace kv {

class TEmptyEdit;
class TImage;
class TLabel;
class TPkBmpButton;
class TTimer;

// The four password bytes of a typed password: in the system code page, cut at a character boundary
// so that no double-byte character is split, and filled up with zero bytes.
std::array<std::uint8_t, 4> PanelPasswordBytes(const std::string& typed);

// What the lock and the unlock dialog share: the password label and box (at most 4 characters, upper
// case, centred, no input method), the OK button, to which Enter in the box answers, and the picture.
class TPanelLockForm : public TForm {
    KV_CLASS(TPanelLockForm)
public:
    explicit TPanelLockForm(TComponent* owner) : TForm(owner) {}

    void FormCreate(TObject* sender);
    void edNameKeyDown(TObject* sender, std::uint16_t& key, TShiftState shift);
    // The OK button: each dialog sends its command.
    virtual void PkBmpButton1Click(TObject* sender) { (void)sender; }

    TLabel* lblLockPassword = nullptr;
    TEmptyEdit* edName = nullptr;
    TPkBmpButton* btnOK = nullptr;
    TImage* imBase = nullptr;

protected:
    // Binds the dialog's own controls, after the shared ones.
    virtual void BindControls() {}
    // Sets the texts of the label and the buttons; the box shows `text`, focused and selected.
    void ShowTexts(const char* captionKey, const char* labelKey, TPkBmpButton* cancel,
                   const std::string& text);
};

class TfmLockSetup : public TPanelLockForm {
    KV_CLASS(TfmLockSetup)
public:
    explicit TfmLockSetup(TComponent* owner);
    ~TfmLockSetup() override;

    // Checks made (100 ms apart) for the unit's acknowledgement before the lock counts as unconfirmed.
    static constexpr int kMaxChecks = 30;

    void FormShow(TObject* sender);
    void PkBmpButton1Click(TObject* sender) override;
    void btnExitClick(TObject* sender);
    void tmCloseTimer(TObject* sender);

    // The main window hands over every acknowledgement while the lock command is on its way.
    void OnAck();
    bool Waiting() const { return waiting; }

    TPkBmpButton* btnExit = nullptr;
    TTimer* tmClose = nullptr;

protected:
    void BindControls() override;

private:
    void Finish();
    void SetButtonsEnabled(bool on);
    bool waiting = false; // the lock command was sent, its acknowledgement is awaited
    bool acked = false;
    int checks = 0;
};

extern TfmLockSetup* fmLockSetup;

} // namespace kv
