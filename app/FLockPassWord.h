#pragma once
// The unlock dialog, shown after connecting to a unit whose panel is locked: it submits the typed
// password, polls for the unit's verdict (handed over by the main window's reply handler) and, when the
// password is accepted, lets the read-back start.

#include "app/FLockSetup.h"

#include <cstdint>

namespace kv {

class TfmLockPassWord : public TPanelLockForm {
    KV_CLASS(TfmLockPassWord)
public:
    explicit TfmLockPassWord(TComponent* owner);
    ~TfmLockPassWord() override;

    // The verdict is awaited for this many checks past the first, 100 ms apart.
    static constexpr int kMaxChecks = 30;
    static constexpr std::uint8_t kWaiting = 255;

    void FormShow(TObject* sender);
    void PkBmpButton1Click(TObject* sender) override;
    void bnCancelClick(TObject* sender);
    // A close that neither the accepted password nor Cancel made (the window manager's close button)
    // is a Cancel: the unit stays locked, so the link must not stay up.
    void FormClose(TObject* sender, TCloseAction& action);
    void tmCheckTimer(TObject* sender);
    void tmCmdTimer(TObject* sender);

    // The verdict byte of reply 45: 1 accepted, 0 wrong.
    void SetReplyState(std::uint8_t state) { replyState = state; }
    std::uint8_t ReplyState() const { return replyState; }
    int CheckCount() const { return checkCount; }

    TPkBmpButton* bnCancel = nullptr;
    TTimer* tmCheck = nullptr;
    TTimer* tmCmd = nullptr;

protected:
    void BindControls() override;

private:
    int checkCount = 0;
    std::uint8_t replyState = 0;
    bool ended = false; // the accepted password or Cancel closes the window
};

extern TfmLockPassWord* fmLockPassWord;

} // namespace kv
