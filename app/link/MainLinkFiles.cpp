// The File menu's preset-file and unit-file commands, and the whole-unit upload and download that run
// as chains of reply handlers with the progress window.

#include "app/link/MainLink.h"

#include "link/LUnitControl.h"
#include "link/PresetFiles.h"
#include "link/UnitImage.h"

namespace {

constexpr int kLastBlock = img::kPieceCount - 1;
constexpr int kUserPresets = TMainLink::kUserPresets;
constexpr uint8_t kUnitInfoBytes = 18;

// The bar of a download counts used records: its range is their number, so the position is how many
// of them lie before the record being sent (a record number would fill the bar at the first late one).
int RecordsDone(const UnitDownload& download, int record) {
    int done = 0;
    for (int r = 1; r < record && r <= kUserPresets; ++r)
        done += download.IsUsed(r) ? 1 : 0;
    return done;
}

} // namespace

LPresetFiles& TMainLink::PresetFiles() {
    if (!presetFiles_)
        presetFiles_ = std::make_unique<LPresetFiles>(*model_, *this);
    return *presetFiles_;
}

void TMainLink::OpenClick(kv::TObject*) {
    if (model_)
        PresetFiles().OpenClick();
}

void TMainLink::SaveClick(kv::TObject*) {
    if (model_)
        PresetFiles().SaveClick();
}

void TMainLink::DownloadClick(kv::TObject*) {
    if (model_ && PresetFiles().DownloadUnitFile())
        downloadRecord_ = 1;
}

void TMainLink::UploadClick(kv::TObject*) {
    UploadUnit();
}

// ---- upload ----

void TMainLink::UploadUnit() {
    if (!connected_) {
        ShowInformation(GetLangText("SID_INFO_CON_FIRST"));
        return;
    }
    uploadPreset_ = 255;
    int count = 0;
    for (int n = 0; n < kUserPresets && model_; ++n) {
        if (!model_->IsPresetSlotUsed(n))
            continue;
        if (count++ == 0)
            uploadPreset_ = n + 1;
    }
    if (count == 0) {
        uploadPreset_ = 0;
        ShowInformation(GetLangText("SID_INFO_NO_SAVE_EXIST"));
        return;
    }
    StopLevelPoll();
    ResetLevelMeters();
    SendCommand(CM_MCS_READ_EEPROM(Id(), 0, kUnitInfoBytes), true);
    KickTransferWatchdog();
    PrepareProgress(GetLangText("SID_UPLOAD_PRESET"), count);
    ShowProgressModal();
}

// The unit-information block; only an upload under way asks for it.
void TMainLink::OnUnitInfoReply(const LCmd& reply) {
    if (uploadPreset_ < 1 || uploadPreset_ > kUserPresets || !model_)
        return;
    if (!model_->StoreUnitInfo(reply.Payload()))
        return;
    RequestPreset(uploadPreset_);
}

void TMainLink::RequestPreset(int n) {
    transferState_ = tsReadPreset;
    SendCommand(CM_MCS_CMD(Id(), MCS_READ_PRESET, static_cast<uint8_t>(n)), true);
    KickTransferWatchdog();
}

void TMainLink::OnPresetBlockReply(const LCmd& reply) {
    // Blocks arrive only for the preset being uploaded; a late or repeated one after the end is ignored.
    if (uploadPreset_ < 1 || uploadPreset_ > kUserPresets || !model_)
        return;
    const BSTM& payload = reply.Payload();
    if (!model_->StorePresetDump(uploadPreset_, payload))
        return;
    const int block = payload[0];
    if (block < kLastBlock) {
        SendCommand(CM_MCS_CMD(Id(), MCS_READ_PRESET_BLOCK, static_cast<uint8_t>(block + 1)), true);
        return;
    }
    int next = uploadPreset_ + 1;
    while (next <= kUserPresets && !model_->IsPresetSlotUsed(next - 1))
        ++next;
    if (next <= kUserPresets) {
        uploadPreset_ = next;
        view_.SetProgressPosition(view_.ProgressPosition() + 1);
        RequestPreset(uploadPreset_);
        return;
    }
    uploadPreset_ = 0;
    SendCommand(CM_MCS_CMD(Id(), MCS_KEEP_ALIVE), false);
    view_.CloseProgressWindow();
    StopTransferWatchdog();
    view_.StartLinkTimer(LinkTimer::Upload);
    StartLevelPoll();
}

// The file is written here, after the frame handler has returned, because the save dialog is modal.
void TMainLink::tmUploadTimer(kv::TObject*) {
    if (!view_.LinkTimerRunning(LinkTimer::Upload))
        return;
    view_.StopLinkTimer(LinkTimer::Upload);
    if (model_)
        model_->SaveUnitFile();
    RestoreProgramFolder();
    StartLevelPoll();
}

// ---- download ----

void TMainLink::DownloadNextPreset() {
    if (downloadRecord_ < 1)
        return;
    const UnitDownload& download = DownloadBuffers();
    while (downloadRecord_ <= kUserPresets) {
        if (download.IsUsed(downloadRecord_)) {
            const auto& record = download.records[static_cast<size_t>(downloadRecord_ - 1)];
            const auto block = download.Block(downloadRecord_, 0);
            SendCommand(
                CM_MCS_DOWNLOAD(Id(), static_cast<uint8_t>(record[0] - 1), 0, img::kPieceSize, block.data()),
                true);
            KickTransferWatchdog();
            return;
        }
        ++downloadRecord_;
        view_.SetProgressPosition(RecordsDone(download, downloadRecord_));
    }
    FinishDownload();
}

void TMainLink::OnDownloadAck(const LCmd& reply) {
    // Only a download under way takes block acknowledgements.
    if (downloadRecord_ < 1 || downloadRecord_ > kUserPresets)
        return;
    const int block = reply.Payload()[0];
    if (block < kLastBlock) {
        const auto data = DownloadBuffers().Block(downloadRecord_, block + 1);
        SendCommand(CM_MCS_DOWNLOAD(Id(), static_cast<uint8_t>(downloadRecord_ - 1),
                                    static_cast<uint8_t>(block + 1), img::kPieceSize, data.data()),
                    true);
        return;
    }
    ++downloadRecord_;
    view_.SetProgressPosition(RecordsDone(DownloadBuffers(), downloadRecord_));
    if (downloadRecord_ <= kUserPresets)
        DownloadNextPreset();
    else
        FinishDownload();
}

void TMainLink::FinishDownload() {
    downloadRecord_ = 0;
    StopTransferWatchdog();
    view_.CloseProgressWindow();
    view_.SetProgressStatus("");
    SetMainEnabled(true);
    view_.FocusMain();
    SendCommand(CM_MCS_MCU_RESET(Id()), true);
    view_.StartLinkTimer(LinkTimer::Disconnect);
}
