// The main window's handler of every reply frame, and the transfer states that acknowledgements
// advance; the transfer watchdog that ends a transfer which stopped moving.

#include "app/FMain.h"

#include "app/FNetwork.h"
#include "app/FProcess.h"
#include "link/PresetFiles.h"
#include "styled/StProgressBar.h"

#include <algorithm>

using namespace kv;

namespace {

void SetProgressPosition(int position) {
    if (fmProcess && fmProcess->ProgressBar)
        fmProcess->ProgressBar->SetPosition(position);
}

void AdvanceProgress(int step) {
    if (fmProcess && fmProcess->ProgressBar)
        fmProcess->ProgressBar->SetPosition(
            std::min(fmProcess->ProgressBar->Position() + step, fmProcess->ProgressBar->Max()));
}

// How many payload bytes each reply's handler reads; a shorter reply is ignored whole.
size_t PayloadNeeded(uint8_t code) {
    switch (code) {
    case MCS_CURRENT_PRESET:
        return 1;
    case MCS_READ_PARAMS:
        return 20;
    case 36: // a block of the current settings: its number and 50 bytes
        return 51;
    case MCS_PRESET_NAME:
        return 15;
    case MCS_LOCK_STATUS:
        return 6;
    case MCS_READ_EEPROM: // the unit-information block
        return 18;
    case MCS_DOWNLOAD: // the number of the block taken
        return 1;
    case MCS_READ_PRESET_BLOCK: // a block of a stored preset: its number and 50 bytes
        return 51;
    case MCS_PASS_SUBMIT: // the lock number and the verdict
        return 2;
    default:
        return 0;
    }
}

} // namespace

void TfmMain::OnLinkFrame(const BSTM& frame) {
    // Only whole frames: the delimiters where the length byte puts them.
    if (frame.size() < kFrameOverhead || frame[0] != 0x10 || frame[1] != 0x02 ||
        frame.size() != frame[4] + kFrameOverhead)
        return;
    const LCmd reply(frame);
    if (reply.Id() != deviceId) {
        // Another unit answered: its reply is never interpreted.
        StartTimer(Find<kv::TTimer>("tmComScan"));
        return;
    }
    const uint8_t code = reply.Code();
    const BSTM& payload = reply.Payload();
    if (payload.size() < PayloadNeeded(code))
        return;

    // Every reply of a running transfer, acknowledgements included, shows that the unit still answers
    // it; level replies and a keep-alive's acknowledgement do not. Decided before the handlers change
    // the state; the watchdog restarts after them, with the timeout they set.
    const bool progress = code != MCS_LEVELS && (code != MCS_ACK || AckIsTransferStep());
    if (code == MCS_ACK && postOpenState == 12 && connected)
        AdvanceProgress(1);

    switch (code) {
    case MCS_ACK: {
        OnLockAck();
        const TransferState state = transferState;
        const uint8_t id = static_cast<uint8_t>(deviceId);
        switch (state) {
        case tsRecall:
            SetLinkTimeout(5000);
            SendCommand(CM_MCS_CMD(id, MCS_READ_PARAM_BLOCK, 0), true);
            transferState = tsIdle;
            KickTransferWatchdog();
            break;
        case tsStoreName:
            SetLinkTimeout(10000);
            // The number being stored; a store step without one (never begun here) stores the current.
            SendCommand(CM_MCS_CMD(id, MCS_STORE_PRESET,
                                   static_cast<uint8_t>((storePreset > 0 ? storePreset : currentPreset) & 0xFF)),
                        true);
            SetProgressPosition(1);
            transferState = tsStore;
            KickTransferWatchdog();
            break;
        case tsStore:
            ApplyStoredPreset();
            if (fmProcess && fmProcess->ProgressBar)
                fmProcess->ProgressBar->SetPosition(fmProcess->ProgressBar->Max());
            SendCommand(CM_MCS_CMD(id, MCS_KEEP_ALIVE), false);
            CloseProgressWindow();
            StartLevelPoll();
            transferState = tsIdle;
            StopTransferWatchdog();
            break;
        case tsFactoryReset:
        case tsResync:
            SetLinkTimeout(5000);
            SendCommand(CM_MCS_CMD(id, MCS_READ_PARAMS), true);
            transferState = tsIdle;
            KickTransferWatchdog();
            break;
        case tsReadPreset:
            SetLinkTimeout(5000);
            SendCommand(CM_MCS_CMD(id, MCS_READ_PRESET_BLOCK, 0), true);
            transferState = tsIdle;
            KickTransferWatchdog();
            break;
        case tsDownloadStart: {
            transferState = tsDownloadPresets;
            const UnitDownload& download = DownloadBuffers();
            SendCommand(CM_MCS_WRITE_EEPROM(id, 1, 17, download.unitInfo.data() + 1), true);
            KickTransferWatchdog();
            break;
        }
        case tsDownloadPresets:
            DownloadNextPreset(downloadRecord);
            transferState = tsIdle;
            break;
        default:
            transferState = tsIdle;
            break;
        }
        break;
    }
    case MCS_PROBE:
        // Only the attempt that sent the probe waits for its answer.
        if (connecting)
            OnProbeReply();
        break;
    case MCS_IDENTITY:
        if (!connected || online)
            break;
        if (fmNetwork)
            fmNetwork->OnScanResult(1);
        OnIdentityReply(payload);
        break;
    case MCS_CURRENT_PRESET:
        if (online)
            OnCurrentPresetReply(payload[0]);
        break;
    case MCS_READ_PARAMS:
        if (online)
            OnReadParamsReply(payload);
        break;
    case 36:
        if (online)
            OnParamBlockReply(reply.Id(), payload);
        break;
    case MCS_PRESET_NAME:
        if (online)
            OnPresetNameReply(payload);
        break;
    case MCS_LOCK_STATUS:
        if (online)
            OnLockStatusReply(payload);
        break;
    case MCS_READ_EEPROM:
        if (online)
            OnUnitInfoReply(payload);
        break;
    case MCS_READ_PRESET_BLOCK:
        if (online)
            OnPresetBlockReply(reply.Id(), payload);
        break;
    case MCS_DOWNLOAD:
        if (online)
            OnDownloadAck(payload);
        break;
    case MCS_PASS_SUBMIT:
        OnPasswordReply(payload);
        break;
    case MCS_LEVELS:
        OnLevelsReply(payload);
        // The post-open step is the send path's.
        if (postOpenState == 12) {
            postOpenState = 0;
            SendCommand(CM_MCS_CMD(static_cast<uint8_t>(deviceId), MCS_KEEP_ALIVE), false);
            CloseProgressWindow();
            StopTransferWatchdog();
        }
        break;
    default:
        break;
    }
    if (progress && transferWatchdog && transferWatchdog->Enabled())
        KickTransferWatchdog();
}

bool TfmMain::AckIsTransferStep() const {
    // A preset file being sent: every record is acknowledged.
    if (postOpenState == 12 && connected)
        return true;
    return transferState != tsIdle && transferState != tsUnlockWait;
}

void TfmMain::SetTransferState(TransferState state) {
    transferState = state;
    if (state != tsIdle && state != tsUnlockWait)
        KickTransferWatchdog();
}

void TfmMain::SetPostOpenState(int state) {
    postOpenState = state;
    if (state != 12 || !connected)
        return;
    // The bar counts the file's records as the unit acknowledges them; it is full only when all are.
    if (fmProcess && fmProcess->ProgressBar) {
        fmProcess->ProgressBar->SetMax(kPresetFileRecords);
        fmProcess->ProgressBar->SetPosition(0);
    }
    KickTransferWatchdog();
}

void TfmMain::CloseProgressWindow() {
    // A showing still due would otherwise open a window that nothing closes any more.
    if (auto* t = Find<kv::TTimer>("tmProcessShow"))
        t->SetEnabled(false);
    if (!fmProcess)
        return;
    fmProcess->EndTransfer();
    if (fmProcess->Modal())
        fmProcess->Close();
    fmProcess->Hide();
}

const char* TfmMain::IncompleteCopyKey() const {
    if (!connected)
        return nullptr;
    // A download begins with the factory default: from its first step the unit's presets are gone.
    if (downloadRecord >= 1 || transferState == tsDownloadStart || transferState == tsDownloadPresets)
        return "SID_INFO_DOWNLOAD_INCOMPLETE";
    if (postOpenState == 12)
        return "SID_INFO_LOAD_INCOMPLETE";
    return nullptr;
}

// ---- transfer watchdog ----

uint32_t TfmMain::TransferWatchdogMs() const {
    constexpr uint32_t kMarginMs = 1000;
    const LLink* link = Link();
    if (!link)
        return 0;
    // USB lets four more timeouts pass once its resends are used up.
    const uint32_t tries =
        static_cast<uint32_t>(link->RetryLimit() + 1) + (link->GetKind() == LLink::Kind::Usb ? 4u : 0u);
    // Longer than the transport's own no-reply report, which comes first when the unit falls silent.
    return std::max<uint32_t>(link->Timeout(), 1) * tries + kMarginMs;
}

void TfmMain::KickTransferWatchdog() {
    if (!transferWatchdog || !Link())
        return;
    transferWatchdog->SetEnabled(false);
    transferWatchdog->SetInterval(TransferWatchdogMs());
    transferWatchdog->SetEnabled(true);
}

void TfmMain::StopTransferWatchdog() {
    if (transferWatchdog)
        transferWatchdog->SetEnabled(false);
}

void TfmMain::TransferWatchdogExpired() {
    StopTransferWatchdog();
    CloseProgressWindow();
    if (!Link())
        return;
    CloseLink();
    if (fmNetwork) {
        fmNetwork->SetScanPosition(0);
        fmNetwork->OnLinkBroken();
        fmNetwork->ShowDialog();
    }
}
