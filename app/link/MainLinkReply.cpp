// The dispatch of every reply frame: a table of reply code -> (least payload, online only, handler);
// the transfer states that acknowledgements advance; the transfer watchdog that ends a transfer which
// stopped moving.

#include "app/link/MainLink.h"

#include "link/PresetFiles.h"

#include <algorithm>

namespace {
// A block of the current settings (its number and 50 bytes), the answer to MCS_READ_PARAM_BLOCK.
constexpr uint8_t kReplyParamBlock = 36;
// A block of a stored preset: its number and 50 bytes.
constexpr size_t kBlockReplyBytes = 51;
} // namespace

// A reply shorter than its handler reads is ignored whole. Replies of an accepted unit only (online)
// are ignored before the identity check has passed.
const TMainLink::ReplyRoute TMainLink::kReplyRoutes[] = {
    {MCS_ACK, 0, false, &TMainLink::OnAck},
    {MCS_PROBE, 0, false, &TMainLink::OnProbeReply},
    {MCS_IDENTITY, 0, false, &TMainLink::OnIdentityReply},
    {MCS_CURRENT_PRESET, 1, true, &TMainLink::OnCurrentPresetFrame},
    {MCS_READ_PARAMS, 20, true, &TMainLink::OnReadParamsReply},
    {kReplyParamBlock, kBlockReplyBytes, true, &TMainLink::OnParamBlockReply},
    {MCS_PRESET_NAME, 15, true, &TMainLink::OnPresetNameReply},
    {MCS_LOCK_STATUS, 6, true, &TMainLink::OnLockStatusReply},
    {MCS_READ_EEPROM, 18, true, &TMainLink::OnUnitInfoReply},
    {MCS_READ_PRESET_BLOCK, kBlockReplyBytes, true, &TMainLink::OnPresetBlockReply},
    {MCS_DOWNLOAD, 1, true, &TMainLink::OnDownloadAck},
    {MCS_PASS_SUBMIT, 2, false, &TMainLink::OnPasswordReply},
    {MCS_LEVELS, 0, false, &TMainLink::OnLevelsReply},
};

const TMainLink::ReplyRoute* TMainLink::RouteOf(uint8_t code) {
    for (const ReplyRoute& route : kReplyRoutes)
        if (route.code == code)
            return &route;
    return nullptr;
}

void TMainLink::OnLinkFrame(const BSTM& frame) {
    // Only whole frames: the delimiters where the length byte puts them.
    if (frame.size() < kFrameOverhead || frame[0] != 0x10 || frame[1] != 0x02 ||
        frame.size() != frame[4] + kFrameOverhead)
        return;
    const LCmd reply(frame);
    if (reply.Id() != deviceId_) {
        // Another unit answered: its reply is never interpreted.
        view_.StartLinkTimer(LinkTimer::ComScan);
        return;
    }
    const uint8_t code = reply.Code();
    const ReplyRoute* route = RouteOf(code);
    if (route && reply.Payload().size() < route->leastPayload)
        return;

    // Every reply of a running transfer, acknowledgements included, shows that the unit still answers
    // it; level replies and a keep-alive's acknowledgement do not. Decided before the handlers change
    // the state; the watchdog restarts after them, with the timeout they set.
    const bool progress = code != MCS_LEVELS && (code != MCS_ACK || AckIsTransferStep());
    if (code == MCS_ACK && postOpenState_ == kPostOpenSendingFile && connected_)
        AdvanceProgress(1);

    if (route && (!route->onlineOnly || online_))
        (this->*route->handler)(reply);
    if (progress && transferWatchdog_->Enabled())
        KickTransferWatchdog();
}

void TMainLink::OnAck(const LCmd&) {
    view_.LockAcknowledged();
    const TransferState state = transferState_;
    switch (state) {
    case tsRecall:
        SetLinkTimeout(5000);
        SendCommand(CM_MCS_CMD(Id(), MCS_READ_PARAM_BLOCK, 0), true);
        transferState_ = tsIdle;
        KickTransferWatchdog();
        break;
    case tsStoreName:
        SetLinkTimeout(10000);
        // The number being stored; a store step without one (never begun here) stores the current.
        SendCommand(
            CM_MCS_CMD(Id(), MCS_STORE_PRESET,
                       static_cast<uint8_t>((storePreset_ > 0 ? storePreset_ : currentPreset_) & 0xFF)),
            true);
        view_.SetProgressPosition(1);
        transferState_ = tsStore;
        KickTransferWatchdog();
        break;
    case tsStore:
        ApplyStoredPreset();
        view_.SetProgressPosition(view_.ProgressMax());
        SendCommand(CM_MCS_CMD(Id(), MCS_KEEP_ALIVE), false);
        view_.CloseProgressWindow();
        StartLevelPoll();
        transferState_ = tsIdle;
        StopTransferWatchdog();
        break;
    case tsFactoryReset:
    case tsResync:
        SetLinkTimeout(5000);
        SendCommand(CM_MCS_CMD(Id(), MCS_READ_PARAMS), true);
        transferState_ = tsIdle;
        KickTransferWatchdog();
        break;
    case tsReadPreset:
        SetLinkTimeout(5000);
        SendCommand(CM_MCS_CMD(Id(), MCS_READ_PRESET_BLOCK, 0), true);
        transferState_ = tsIdle;
        KickTransferWatchdog();
        break;
    case tsDownloadStart: {
        transferState_ = tsDownloadPresets;
        const UnitDownload& download = DownloadBuffers();
        SendCommand(CM_MCS_WRITE_EEPROM(Id(), 1, 17, download.unitInfo.data() + 1), true);
        KickTransferWatchdog();
        break;
    }
    case tsDownloadPresets:
        DownloadNextPreset();
        transferState_ = tsIdle;
        break;
    default:
        transferState_ = tsIdle;
        break;
    }
}

void TMainLink::OnPasswordReply(const LCmd& reply) {
    // Lock number 0 is the panel lock; the unit's other locks are not the editor's.
    if (reply.Payload()[0] == 0)
        view_.PasswordVerdict(reply.Payload()[1]);
}

void TMainLink::OnLevelsReply(const LCmd& reply) {
    view_.ShowLevels(reply.Payload());
    // The post-open step is the send path's.
    if (postOpenState_ == kPostOpenSendingFile) {
        postOpenState_ = 0;
        SendCommand(CM_MCS_CMD(Id(), MCS_KEEP_ALIVE), false);
        view_.CloseProgressWindow();
        StopTransferWatchdog();
    }
}

bool TMainLink::AckIsTransferStep() const {
    // A preset file being sent: every record is acknowledged.
    if (postOpenState_ == kPostOpenSendingFile && connected_)
        return true;
    return transferState_ != tsIdle && transferState_ != tsUnlockWait;
}

void TMainLink::SetTransferState(TransferState state) {
    transferState_ = state;
    if (state != tsIdle && state != tsUnlockWait)
        KickTransferWatchdog();
}

void TMainLink::SetPostOpenState(int state) {
    postOpenState_ = state;
    if (state != kPostOpenSendingFile || !connected_)
        return;
    // The bar counts the file's records as the unit acknowledges them; it is full only when all are.
    view_.SetProgressRange(kPresetFileRecords);
    KickTransferWatchdog();
}

void TMainLink::AdvanceProgress(int step) {
    view_.SetProgressPosition(std::min(view_.ProgressPosition() + step, view_.ProgressMax()));
}

const char* TMainLink::IncompleteCopyKey() const {
    if (!connected_)
        return nullptr;
    // A download begins with the factory default: from its first step the unit's presets are gone.
    if (downloadRecord_ >= 1 || transferState_ == tsDownloadStart || transferState_ == tsDownloadPresets)
        return "SID_INFO_DOWNLOAD_INCOMPLETE";
    if (postOpenState_ == kPostOpenSendingFile)
        return "SID_INFO_LOAD_INCOMPLETE";
    return nullptr;
}

// ---- transfer watchdog ----

uint32_t TMainLink::TransferWatchdogMs() const {
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

bool TMainLink::TransferWatchdogRunning() const {
    return transferWatchdog_->Enabled();
}

void TMainLink::KickTransferWatchdog() {
    if (!Link())
        return;
    transferWatchdog_->SetEnabled(false);
    transferWatchdog_->SetInterval(TransferWatchdogMs());
    transferWatchdog_->SetEnabled(true);
}

void TMainLink::StopTransferWatchdog() {
    transferWatchdog_->SetEnabled(false);
}

void TMainLink::TransferWatchdogExpired() {
    StopTransferWatchdog();
    view_.CloseProgressWindow();
    if (!Link())
        return;
    CloseLink();
    view_.LinkBroken(true);
}
