// The preset bar's store and recall, the factory default, and the preset lists' names as the unit
// model hands them over.

#include "app/FMain.h"

#include "app/FFactory.h"
#include "app/FProcess.h"
#include "app/FRecallPreset.h"
#include "app/FStorePreset.h"
#include "platform/core/CodePage.h"
#include "platform/gui/StdCtrls.h"
#include "styled/StProgressBar.h"

#include <cstdio>

using namespace kv;

namespace {
constexpr int kNameBytes = 14;
}

void TfmMain::PublishPresets(TClassBuilder<TfmMain>& b) {
    b.Method<TNotifyEvent>("bStoreClick", &TfmMain::bStoreClick);
    b.Method<TNotifyEvent>("bRecallClick", &TfmMain::bRecallClick);
    b.Method<TNotifyEvent>("FactoryDefaultClick", &TfmMain::FactoryDefaultClick);
    b.Method<TNotifyEvent>("OpenClick", &TfmMain::OpenClick);
    b.Method<TNotifyEvent>("SaveClick", &TfmMain::SaveClick);
    b.Method<TNotifyEvent>("UploadClick", &TfmMain::UploadClick);
    b.Method<TNotifyEvent>("DownloadClick", &TfmMain::DownloadClick);
    b.Method<TNotifyEvent>("tmUploadTimer", &TfmMain::tmUploadTimer);
}

// Both lists work offline too: the names the editor knows can be looked at and edited any time.
void TfmMain::bStoreClick(TObject*) {
    if (fmStorePreset && !fmStorePreset->Visible())
        fmStorePreset->ShowModal();
}

void TfmMain::bRecallClick(TObject*) {
    if (fmRecallPreset && !fmRecallPreset->Visible())
        fmRecallPreset->ShowModal();
}

void TfmMain::SetRecallPresetName(int row, const std::string& name) {
    if (fmRecallPreset)
        fmRecallPreset->SetPresetName(row, name);
}

void TfmMain::SetStorePresetName(int row, const std::string& name) {
    if (fmStorePreset)
        fmStorePreset->SetPresetName(row, name);
}

void TfmMain::StartLevelPoll() {
    StartTimer(Find<kv::TTimer>("tmInLevelDet"));
}

void TfmMain::PrepareProgress(const std::string& status, int max) {
    if (!fmProcess)
        return;
    fmProcess->SetStatus(status);
    if (fmProcess->ProgressBar) {
        fmProcess->ProgressBar->SetMax(max);
        fmProcess->ProgressBar->SetPosition(0);
    }
}

bool TfmMain::StorePresetToDevice(int n, const std::string& name14) {
    if (!connected || n < 0 || n > 19)
        return false;
    transferState = tsStoreName;
    StopLevelPoll();
    ResetLevelMeters();
    // The number and name take effect when the unit has acknowledged the store (ApplyStoredPreset):
    // a store that fails leaves the preset bar, the lists and the model as they were.
    storePreset = n + 1;
    storeName.assign(kNameBytes, ' ');
    std::copy_n(name14.begin(), std::min<size_t>(name14.size(), kNameBytes), storeName.begin());
    storeAcked = false;
    SetLinkTimeout(10000);
    SendCommand(CM_MCS_PRESETNAME(static_cast<uint8_t>(deviceId), storeName.data()), true);
    KickTransferWatchdog();
    PrepareProgress(GetLangText("SID_STORE_PRESET"), 2);
    ShowProgressModal();
    const bool stored = storeAcked;
    storeAcked = false;
    return stored;
}

void TfmMain::ApplyStoredPreset() {
    if (storePreset < 1 || storePreset > 20 || storeName.size() != kNameBytes)
        return;
    currentPreset = storePreset;
    if (unitControl) {
        unitControl->FlagPresetSlot(storePreset - 1);
        unitControl->StoreCurrentPresetName(storeName);
    }
    char number[16];
    std::snprintf(number, sizeof number, "U%02d", storePreset);
    SetCaptionOf("lbPstNum", number);
    SetCaptionOf("lbPstName", FromAnsi(std::string(storeName.begin(), storeName.end())));
    storePreset = 0;
    storeAcked = true;
}

void TfmMain::RecallPresetFromDevice(int n) {
    if (n < 0 || n > 20)
        return;
    transferState = tsRecall;
    if (!connected)
        return;
    StopLevelPoll();
    ResetLevelMeters();
    SetLinkTimeout(10000);
    currentPreset = n;
    SendCommand(CM_MCS_CMD(static_cast<uint8_t>(deviceId), MCS_RECALL_PRESET, static_cast<uint8_t>(n)), true);
    KickTransferWatchdog();
    PrepareProgress(GetLangText("SID_LOAD_PRESET"), 15);
    ShowProgressModal();
}

void TfmMain::FactoryDefaultClick(TObject*) {
    if (!connected) {
        ShowInformation(GetLangText("SID_INFO_CON_FIRST"));
        return;
    }
    if (fmFactory && !fmFactory->Visible())
        fmFactory->ShowModal();
}

void TfmMain::SendFactoryReset() {
    if (!connected)
        return;
    transferState = tsFactoryReset;
    StopLevelPoll();
    ResetLevelMeters();
    SetLinkTimeout(10000);
    SendCommand(CM_MCS_CMD(static_cast<uint8_t>(deviceId), MCS_FACTORY_DEFAULT), true);
    KickTransferWatchdog();
}
