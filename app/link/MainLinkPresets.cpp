// The preset store and recall and the factory default, driven by the acknowledgements the dispatch
// hands on (MainLinkReply.cpp).

#include "app/link/MainLink.h"

#include "link/LUnitControl.h"
#include "link/UnitImage.h"
#include "platform/core/CodePage.h"

#include <algorithm>
#include <cstdio>

void TMainLink::PrepareProgress(const std::string& status, int max) {
    view_.SetProgressStatus(status);
    view_.SetProgressRange(max);
}

bool TMainLink::StorePresetToDevice(int n, const std::string& name14) {
    if (!connected_ || n < 0 || n >= kUserPresets)
        return false;
    transferState_ = tsStoreName;
    StopLevelPoll();
    ResetLevelMeters();
    // The number and name take effect when the unit has acknowledged the store (ApplyStoredPreset):
    // a store that fails leaves the preset bar, the lists and the model as they were.
    storePreset_ = n + 1;
    storeName_.assign(img::kNameLength, ' ');
    std::copy_n(name14.begin(), std::min(name14.size(), img::kNameLength), storeName_.begin());
    storeAcked_ = false;
    SetLinkTimeout(10000);
    SendCommand(CM_MCS_PRESETNAME(Id(), storeName_.data()), true);
    KickTransferWatchdog();
    PrepareProgress(GetLangText("SID_STORE_PRESET"), 2);
    ShowProgressModal();
    const bool stored = storeAcked_;
    storeAcked_ = false;
    return stored;
}

void TMainLink::ApplyStoredPreset() {
    if (storePreset_ < 1 || storePreset_ > kUserPresets || storeName_.size() != img::kNameLength)
        return;
    currentPreset_ = storePreset_;
    if (model_) {
        model_->FlagPresetSlot(storePreset_ - 1);
        model_->StoreCurrentPresetName(storeName_);
    }
    char number[16];
    std::snprintf(number, sizeof number, "U%02d", storePreset_);
    view_.ShowPreset(number, kv::FromAnsi(std::string(storeName_.begin(), storeName_.end())));
    storePreset_ = 0;
    storeAcked_ = true;
}

void TMainLink::RecallPresetFromDevice(int n) {
    if (n < 0 || n > kUserPresets)
        return;
    transferState_ = tsRecall;
    if (!connected_)
        return;
    StopLevelPoll();
    ResetLevelMeters();
    SetLinkTimeout(10000);
    currentPreset_ = n;
    SendCommand(CM_MCS_CMD(Id(), MCS_RECALL_PRESET, static_cast<uint8_t>(n)), true);
    KickTransferWatchdog();
    PrepareProgress(GetLangText("SID_LOAD_PRESET"), img::kPieceCount);
    ShowProgressModal();
}

void TMainLink::SendFactoryReset() {
    if (!connected_)
        return;
    transferState_ = tsFactoryReset;
    StopLevelPoll();
    ResetLevelMeters();
    SetLinkTimeout(10000);
    SendCommand(CM_MCS_CMD(Id(), MCS_FACTORY_DEFAULT), true);
    KickTransferWatchdog();
}
