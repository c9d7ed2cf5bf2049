// After the unit identified itself: its panel-lock status, then the read-back of the preset-slot flags,
// the current preset, the 20 preset names and the parameter image in 15 blocks.

#include "app/link/MainLink.h"

#include "link/LUnitControl.h"
#include "link/UnitImage.h"

void TMainLink::OnLockStatusReply(const LCmd& reply) {
    if (reply.Payload()[5] != 0) {
        transferState_ = tsUnlockWait;
        // The transfer waits for the user now, not for the unit.
        StopTransferWatchdog();
        view_.StartLinkTimer(LinkTimer::LockPrompt);
        return;
    }
    SendCommand(CM_MCS_CMD(Id(), MCS_READ_PARAMS), false);
}

void TMainLink::tmLockPromptTimer(kv::TObject*) {
    view_.StopLinkTimer(LinkTimer::LockPrompt);
    if (transferState_ != tsUnlockWait)
        return;
    ShowLockPrompt();
}

void TMainLink::ShowLockPrompt() {
    // One prompt per connection: a repeated lock-status reply never opens a second one.
    if (lockPromptShown_)
        return;
    lockPromptShown_ = 1;
    // The dialog sends the read-params request when the password is right and closes the link when
    // the user cancels.
    view_.ShowLockPrompt();
}

void TMainLink::OnReadParamsReply(const LCmd& reply) {
    SendCommand(CM_MCS_CMD(Id(), MCS_CURRENT_PRESET), true);
    if (model_) {
        model_->StorePresetFlags(reply.Payload());
        model_->ResetPresetNamesInDialogs();
    }
    PrepareProgress(GetLangText("SID_UPLOAD_PARAMETER"), img::kPieceCount);
    view_.StartLinkTimer(LinkTimer::ProcessShow);
}

void TMainLink::OnCurrentPresetFrame(const LCmd& reply) {
    OnCurrentPresetReply(reply.Payload()[0]);
}

void TMainLink::OnCurrentPresetReply(uint8_t preset) {
    // 0 is the factory preset, 1..20 the user presets; anything else is not a preset number.
    if (preset <= kUserPresets)
        currentPreset_ = preset;
    SendCommand(CM_MCS_CMD(Id(), MCS_PRESET_NAME, 0), true);
}

void TMainLink::OnPresetNameReply(const LCmd& reply) {
    const BSTM& payload = reply.Payload();
    const int i = payload[0];
    if (i < kUserPresets && model_)
        model_->StorePresetNameInDialogs(i + 1, payload);
    if (i + 1 < kUserPresets)
        SendCommand(CM_MCS_CMD(Id(), MCS_PRESET_NAME, static_cast<uint8_t>(i + 1)), true);
    else if (i == kUserPresets - 1 || i == kUserPresets)
        SendCommand(CM_MCS_CMD(Id(), MCS_READ_PARAM_BLOCK, 0), true);
}

void TMainLink::OnParamBlockReply(const LCmd& reply) {
    const BSTM& payload = reply.Payload();
    const int block = payload[0];
    RestoreProgramFolder();
    if (model_)
        model_->DecodeDump(payload);
    if (block < img::kPieceCount - 1) {
        SendCommand(CM_MCS_CMD(Id(), MCS_READ_PARAM_BLOCK, static_cast<uint8_t>(block + 1)), true);
        view_.SetProgressPosition(block);
        return;
    }
    view_.SetProgressPosition(img::kPieceCount);
    SendCommand(CM_MCS_CMD(Id(), MCS_KEEP_ALIVE), false);
    view_.CloseProgressWindow();
    StopTransferWatchdog();
    // Every control from the model just read, then the levels while online. Filling the pages takes
    // long enough to hold up the keep-alive, so they are filled once it has gone out.
    readBackShowPending_ = true;
    LLink* link = Link();
    if (link && link->IsOpen()) {
        TMessage msg;
        msg.Msg = WM_READ_BACK_SHOWN;
        link->PostAfterNextWrite(std::move(msg));
    } else {
        ShowReadBackDone();
    }
    StartLevelPoll();
}

void TMainLink::ShowReadBackDone() {
    if (!readBackShowPending_)
        return;
    readBackShowPending_ = false;
    view_.ShowReadBackDone();
}
