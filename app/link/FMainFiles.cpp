// The File menu's preset-file and unit-file commands, and the whole-unit upload and download that run
// as chains of reply handlers with the progress window.

#include "app/FMain.h"

#include "app/FProcess.h"
#include "styled/StProgressBar.h"

using namespace kv;

namespace {

constexpr int kUserPresets = 20;
constexpr int kLastBlock = 14;
constexpr size_t kBlockBytes = 50;

void AddProgress(int step) {
    if (fmProcess && fmProcess->ProgressBar)
        fmProcess->ProgressBar->SetPosition(fmProcess->ProgressBar->Position() + step);
}

void SetProgress(int position) {
    if (fmProcess && fmProcess->ProgressBar)
        fmProcess->ProgressBar->SetPosition(position);
}

// The bar of a download counts used records: its range is their number, so the position is how many
// of them lie before the record being sent (a record number would fill the bar at the first late one).
int RecordsDone(const UnitDownload& download, int record) {
    int done = 0;
    for (int r = 1; r < record && r <= kUserPresets; ++r)
        done += download.IsUsed(r) ? 1 : 0;
    return done;
}

} // namespace

LPresetFiles& TfmMain::PresetFiles() {
    if (!presetFiles)
        presetFiles = std::make_unique<LPresetFiles>(*unitControl, *this);
    return *presetFiles;
}

void TfmMain::OpenClick(TObject*) {
    if (unitControl)
        PresetFiles().OpenClick();
}

void TfmMain::SaveClick(TObject*) {
    if (unitControl)
        PresetFiles().SaveClick();
}

void TfmMain::DownloadClick(TObject*) {
    if (unitControl && PresetFiles().DownloadUnitFile())
        downloadRecord = 1;
}

void TfmMain::UploadClick(TObject*) {
    UploadUnit();
}

// ---- upload ----

void TfmMain::UploadUnit() {
    if (!connected) {
        ShowInformation(GetLangText("SID_INFO_CON_FIRST"));
        return;
    }
    uploadPreset = 255;
    int count = 0;
    for (int n = 0; n < kUserPresets && unitControl; ++n) {
        if (!unitControl->IsPresetSlotUsed(n))
            continue;
        if (count++ == 0)
            uploadPreset = n + 1;
    }
    if (count == 0) {
        uploadPreset = 0;
        ShowInformation(GetLangText("SID_INFO_NO_SAVE_EXIST"));
        return;
    }
    StopLevelPoll();
    ResetLevelMeters();
    SendCommand(CM_MCS_READ_EEPROM(static_cast<uint8_t>(deviceId), 0, 18), true);
    KickTransferWatchdog();
    PrepareProgress(GetLangText("SID_UPLOAD_PRESET"), count);
    ShowProgressModal();
}

// The unit-information block; only an upload under way asks for it.
void TfmMain::OnUnitInfoReply(const BSTM& payload) {
    if (uploadPreset < 1 || uploadPreset > kUserPresets || !unitControl)
        return;
    if (!unitControl->StoreUnitInfo(payload))
        return;
    RequestPreset(uploadPreset);
}

void TfmMain::RequestPreset(int n) {
    transferState = tsReadPreset;
    SendCommand(CM_MCS_CMD(static_cast<uint8_t>(deviceId), MCS_READ_PRESET, static_cast<uint8_t>(n)), true);
    KickTransferWatchdog();
}

void TfmMain::OnPresetBlockReply(uint8_t id, const BSTM& payload) {
    // Blocks arrive only for the preset being uploaded; a late or repeated one after the end is ignored.
    if (uploadPreset < 1 || uploadPreset > kUserPresets || !unitControl)
        return;
    if (!unitControl->StorePresetDump(uploadPreset, payload))
        return;
    const int block = payload[0];
    if (block < kLastBlock) {
        SendCommand(CM_MCS_CMD(id, MCS_READ_PRESET_BLOCK, static_cast<uint8_t>(block + 1)), true);
        return;
    }
    int next = uploadPreset + 1;
    while (next <= kUserPresets && !unitControl->IsPresetSlotUsed(next - 1))
        ++next;
    if (next <= kUserPresets) {
        uploadPreset = next;
        transferState = tsReadPreset;
        AddProgress(1);
        SendCommand(
            CM_MCS_CMD(static_cast<uint8_t>(deviceId), MCS_READ_PRESET, static_cast<uint8_t>(uploadPreset)),
            true);
        KickTransferWatchdog();
        return;
    }
    uploadPreset = 0;
    SendCommand(CM_MCS_CMD(static_cast<uint8_t>(deviceId), MCS_KEEP_ALIVE), false);
    CloseProgressWindow();
    StopTransferWatchdog();
    StartTimer(Find<kv::TTimer>("tmUpload"));
    StartLevelPoll();
}

// The file is written here, after the frame handler has returned, because the save dialog is modal.
void TfmMain::tmUploadTimer(TObject*) {
    auto* timer = Find<kv::TTimer>("tmUpload");
    if (!timer || !timer->Enabled())
        return;
    timer->SetEnabled(false);
    if (unitControl)
        unitControl->SaveUnitFile();
    RestoreProgramFolder();
    StartLevelPoll();
}

// ---- download ----

void TfmMain::DownloadNextPreset(int) {
    if (downloadRecord < 1)
        return;
    const UnitDownload& download = DownloadBuffers();
    while (downloadRecord <= kUserPresets) {
        if (download.IsUsed(downloadRecord)) {
            const auto& record = download.records[static_cast<size_t>(downloadRecord - 1)];
            const auto block = download.Block(downloadRecord, 0);
            SendCommand(CM_MCS_DOWNLOAD(static_cast<uint8_t>(deviceId), static_cast<uint8_t>(record[0] - 1), 0,
                                        kBlockBytes, block.data()),
                        true);
            KickTransferWatchdog();
            return;
        }
        ++downloadRecord;
        SetProgress(RecordsDone(download, downloadRecord));
    }
    FinishDownload();
}

void TfmMain::OnDownloadAck(const BSTM& payload) {
    // Only a download under way takes block acknowledgements.
    if (downloadRecord < 1 || downloadRecord > kUserPresets)
        return;
    const int block = payload[0];
    if (block < kLastBlock) {
        const auto data = DownloadBuffers().Block(downloadRecord, block + 1);
        SendCommand(CM_MCS_DOWNLOAD(static_cast<uint8_t>(deviceId), static_cast<uint8_t>(downloadRecord - 1),
                                    static_cast<uint8_t>(block + 1), kBlockBytes, data.data()),
                    true);
        return;
    }
    ++downloadRecord;
    SetProgress(RecordsDone(DownloadBuffers(), downloadRecord));
    if (downloadRecord <= kUserPresets)
        DownloadNextPreset(downloadRecord);
    else
        FinishDownload();
}

void TfmMain::FinishDownload() {
    downloadRecord = 0;
    StopTransferWatchdog();
    CloseProgressWindow();
    if (fmProcess)
        fmProcess->SetStatus("");
    SetMainEnabled(true);
    if (CanFocus())
        SetFocus();
    SendCommand(CM_MCS_MCU_RESET(static_cast<uint8_t>(deviceId)), true);
    StartTimer(Find<kv::TTimer>("tmDisconnect"));
}
