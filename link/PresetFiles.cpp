#include "link/PresetFiles.h"

#include <algorithm>
#include <cstring>

#include "link/LMainHost.h"
#include "link/LUnitControl.h"
#include "platform/core/FileIO.h"

namespace {

constexpr size_t kUnitInfoOffset = kFileHeaderSize;
constexpr size_t kFirstRecordOffset = kFileHeaderSize + 18;
// Of each slot record the file holds the slot byte and 721 image bytes; the rest is CR LF.
constexpr size_t kStoredRecordBytes = 722;

bool HasHeader(std::string_view bytes) {
    return bytes.size() >= kFileHeaderSize && bytes.compare(0, kFileHeaderSize, kFileHeader) == 0;
}

} // namespace

bool UnitDownload::IsUsed(int record1) const {
    return record1 >= 1 && record1 <= 20 && records[static_cast<size_t>(record1 - 1)][1] == 0xFF;
}

int UnitDownload::UsedCount() const {
    int n = 0;
    for (int r = 1; r <= 20; ++r)
        n += IsUsed(r) ? 1 : 0;
    return n;
}

std::array<uint8_t, 50> UnitDownload::Block(int record1, int block) const {
    std::array<uint8_t, 50> out{};
    if (record1 < 1 || record1 > 20 || block < 0 || block > 14)
        return out;
    const auto& rec = records[static_cast<size_t>(record1 - 1)];
    const size_t start = 1 + 50 * static_cast<size_t>(block);
    // The unit gets 750 bytes per preset but the file keeps only 721 of them; the tail is zero rather
    // than the record's CR LF or whatever lies behind it.
    for (size_t i = 0; i < out.size() && start + i < kStoredRecordBytes; ++i)
        out[i] = rec[start + i];
    return out;
}

bool ParseUnitFile(std::string_view bytes, UnitDownload& out) {
    if (bytes.size() < kUnitFileMinSize || !HasHeader(bytes))
        return false;
    bytes = bytes.substr(0, kUnitFileSize);
    UnitDownload parsed;
    std::memcpy(parsed.unitInfo.data(), bytes.data() + kUnitInfoOffset, parsed.unitInfo.size());
    for (size_t r = 0; r < 20; ++r) {
        const size_t start = kFirstRecordOffset + r * kSlotRecordSize;
        if (start >= bytes.size())
            break;
        const size_t n = std::min(kSlotRecordSize, bytes.size() - start);
        std::memcpy(parsed.records[r].data(), bytes.data() + start, n);
    }
    // A used record is written to the slot its first byte names, yet the following blocks are addressed
    // by its position; a file where the two differ would scatter one preset over two slots.
    for (int r = 1; r <= 20; ++r)
        if (parsed.IsUsed(r) && parsed.records[static_cast<size_t>(r - 1)][0] != r)
            return false;
    out.unitInfo = parsed.unitInfo;
    out.records = parsed.records;
    return true;
}

std::string NormaliseFileName(const std::string& path, const std::string& lowerExtension) {
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t n = lowerExtension.size();
    std::string upper = lowerExtension;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    if (path.size() - nameStart >= n) {
        const std::string_view ending = std::string_view(path).substr(path.size() - n);
        if (ending == lowerExtension || ending == upper)
            return path.substr(0, path.size() - n) + lowerExtension;
    }
    return path + lowerExtension;
}

void LPresetFiles::OpenClick() {
    host_.SetUpdatingView(true);
    OpenPresetFile();
    host_.SetUpdatingView(false);
    host_.RepaintChannelGraphs();
}

bool LPresetFiles::OpenPresetFile() {
    const auto path = host_.RunFileDialog(FileDialog::OpenPreset);
    if (!path)
        return false;
    host_.ResetPeqViews();
    // One byte more than a preset file holds tells a longer file from a good one.
    const auto bytes = kv::ReadFileBytes(*path, kPresetFileSize + 1);
    if (!bytes || bytes->size() != kPresetFileSize || !HasHeader(*bytes)) {
        host_.ShowInformation(host_.GetLangText("SID_INFO_ERROR_FILE"));
        return false;
    }
    // The unit applies a record through the links it holds when the record arrives, and the file's
    // links come only after each channel's records: each channel first links to itself alone, so every
    // record reaches just the channel it is for and the file's links then take over. The model is not
    // touched: the file's masks replace these.
    const auto id = static_cast<uint8_t>(host_.GetDeviceId());
    for (int ch = 0; ch < kPresetFileLinkRecords; ++ch) {
        const int own = 1 << (ch < 2 ? ch : ch - 2);
        host_.SendCommand(CM_MCS_CMD(id, MCS_LINK, static_cast<uint8_t>(ch), static_cast<uint8_t>(own)), true);
    }
    model_.LoadImageAndSend(reinterpret_cast<const uint8_t*>(bytes->data()) + kFileHeaderSize);
    host_.RefreshAllPanels();
    // The controls are filled; the progress window below must not run with the setters muted.
    host_.SetUpdatingView(false);
    host_.SetPostOpenState(kPostOpenSendingFile);
    if (host_.IsConnected())
        host_.ShowProgressModal();
    return true;
}

bool LPresetFiles::SavePresetFile() {
    std::string data = model_.SerializeImage();
    data += "\r\n";
    const auto path = host_.RunFileDialog(FileDialog::SavePreset);
    bool written = false;
    if (path)
        written = kv::WriteFileAtomic(NormaliseFileName(*path, ".prs"), data);
    host_.RestoreProgramFolder();
    if (path && !written)
        host_.ShowInformation(host_.GetLangText("SID_INFO_ERROR_SAVE"));
    return written;
}

bool LPresetFiles::DownloadUnitFile() {
    if (!host_.IsConnected()) {
        host_.ShowInformation(host_.GetLangText("SID_INFO_CON_FIRST"));
        return false;
    }
    const auto path = host_.RunFileDialog(FileDialog::OpenUnit);
    if (!path)
        return false;
    const auto bytes = kv::ReadFileBytes(*path, kUnitFileSize);
    UnitDownload& download = host_.DownloadBuffers();
    if (!bytes || !ParseUnitFile(*bytes, download)) {
        host_.ShowInformation(host_.GetLangText("SID_INFO_ERROR_DOWNLAOD"));
        return false;
    }
    download.record = 1;
    host_.StopLevelPoll();
    host_.ResetLevelMeters();
    host_.SetLinkTimeout(10000);
    host_.SetTransferState(tsDownloadStart);
    host_.SendCommand(CM_MCS_CMD(static_cast<uint8_t>(host_.GetDeviceId()), MCS_FACTORY_DEFAULT), true);
    host_.SetMainEnabled(false);
    host_.ShowProgress(host_.GetLangText("SID_DOWNLOAD_PRESET"), 0, download.UsedCount());
    return true;
}
