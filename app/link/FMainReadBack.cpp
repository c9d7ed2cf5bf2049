// After the unit identified itself: its panel-lock status, then the read-back of the preset-slot flags,
// the current preset, the 20 preset names and the parameter image in 15 blocks.

#include "app/FMain.h"

#include "app/FLockPassWord.h"
#include "app/FProcess.h"
#include "panels/PkBmpButton.h"
#include "platform/gui/Menus.h"
#include "styled/StProgressBar.h"

using namespace kv;

namespace {
constexpr int kDumpBlocks = 15;
}

void TfmMain::OnLockStatusReply(const BSTM& payload) {
    if (payload[5] != 0) {
        transferState = tsUnlockWait;
        // The transfer waits for the user now, not for the unit.
        StopTransferWatchdog();
        StartTimer(Find<kv::TTimer>("tmLockPrompt"));
        return;
    }
    SendCommand(CM_MCS_CMD(static_cast<uint8_t>(deviceId), MCS_READ_PARAMS), false);
}

void TfmMain::tmLockPromptTimer(TObject*) {
    if (auto* t = Find<kv::TTimer>("tmLockPrompt"))
        t->SetEnabled(false);
    if (transferState != tsUnlockWait)
        return;
    ShowLockPrompt();
}

void TfmMain::ShowLockPrompt() {
    // One prompt per connection: a repeated lock-status reply never opens a second one.
    if (lockPromptShown)
        return;
    lockPromptShown = 1;
    // The dialog sends the read-params request when the password is right and closes the link when
    // the user cancels. A dialog still open from a link that broke under it serves the new one: a form
    // is never made modal twice.
    if (fmLockPassWord && !fmLockPassWord->Modal())
        fmLockPassWord->ShowModal();
}

void TfmMain::OnReadParamsReply(const BSTM& payload) {
    SendCommand(CM_MCS_CMD(static_cast<uint8_t>(deviceId), MCS_CURRENT_PRESET), true);
    if (unitControl) {
        unitControl->StorePresetFlags(payload);
        unitControl->ResetPresetNamesInDialogs();
    }
    if (fmProcess) {
        fmProcess->SetStatus(GetLangText("SID_UPLOAD_PARAMETER"));
        if (fmProcess->ProgressBar) {
            fmProcess->ProgressBar->SetMax(kDumpBlocks);
            fmProcess->ProgressBar->SetPosition(0);
        }
    }
    StartTimer(Find<kv::TTimer>("tmProcessShow"));
}

void TfmMain::OnCurrentPresetReply(uint8_t preset) {
    // 0 is the factory preset, 1..20 the user presets; anything else is not a preset number.
    if (preset <= 20)
        currentPreset = preset;
    SendCommand(CM_MCS_CMD(static_cast<uint8_t>(deviceId), MCS_PRESET_NAME, 0), true);
}

void TfmMain::OnPresetNameReply(const BSTM& payload) {
    const int i = payload[0];
    if (i <= 19 && unitControl)
        unitControl->StorePresetNameInDialogs(i + 1, payload);
    const uint8_t id = static_cast<uint8_t>(deviceId);
    if (i + 1 < 20)
        SendCommand(CM_MCS_CMD(id, MCS_PRESET_NAME, static_cast<uint8_t>(i + 1)), true);
    else if (i == 19 || i == 20)
        SendCommand(CM_MCS_CMD(id, MCS_READ_PARAM_BLOCK, 0), true);
}

void TfmMain::OnParamBlockReply(uint8_t id, const BSTM& payload) {
    const int block = payload[0];
    RestoreProgramFolder();
    if (unitControl)
        unitControl->DecodeDump(payload);
    if (block < kDumpBlocks - 1) {
        SendCommand(CM_MCS_CMD(id, MCS_READ_PARAM_BLOCK, static_cast<uint8_t>(block + 1)), true);
        if (fmProcess && fmProcess->ProgressBar)
            fmProcess->ProgressBar->SetPosition(block);
        return;
    }
    if (fmProcess && fmProcess->ProgressBar)
        fmProcess->ProgressBar->SetPosition(kDumpBlocks);
    SendCommand(CM_MCS_CMD(static_cast<uint8_t>(deviceId), MCS_KEEP_ALIVE), false);
    CloseProgressWindow();
    StopTransferWatchdog();
    // Every control from the model just read, then the levels while online.
    HidePendingGeqBand();
    RefreshAllPanels();
    StartLevelPoll();
    auto* link = Find<TPkBmpButton>("pkbMenuLink");
    if (link)
        link->SetEnabled(true);
    if (auto* item = Find<TMenuItem>("Connect"))
        item->SetEnabled(true);
    if (link) {
        link->SetDown(false);
        link->SetDown(true);
    }
}
