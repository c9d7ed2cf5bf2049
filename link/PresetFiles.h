#pragma once
// The File menu's preset-file and unit-file commands, and the buffers of a unit-file download.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/LCmd.h"

class LMainHost;
class LUnitControl;

// Both files begin with this 16-byte header, without terminator.
inline constexpr char kFileHeader[] = "***TirnelV010***";
inline constexpr size_t kFileHeaderSize = 16;
inline constexpr size_t kPresetFileSize = 728;
inline constexpr size_t kUnitFileSize = 14514;
inline constexpr size_t kUnitFileMinSize = 14474;
inline constexpr size_t kSlotRecordSize = 724;
// Records a preset file sends to a connected unit: a link record per channel that unlinks it, then the
// file's own 185.
inline constexpr int kPresetFileLinkRecords = 6;
inline constexpr int kPresetFileRecords = kPresetFileLinkRecords + 185;

// The unit file being downloaded: its information block and its 20 slot records (each the 722 stored
// bytes and CR LF, as in the file), and the 1-based record being sent.
struct UnitDownload {
    std::array<uint8_t, 18> unitInfo{};
    std::array<std::array<uint8_t, kSlotRecordSize>, 20> records{};
    int record = 0;

    // A record holds a stored preset when its byte 1 is 0xFF.
    bool IsUsed(int record1) const;
    int UsedCount() const;
    // The 50 data bytes of block 0..14 of record 1..20: the record's bytes from 1 + 50 x block on.
    // Bytes past the 722 that the file holds for the preset are sent as 0.
    std::array<uint8_t, 50> Block(int record1, int block) const;
};

// Reads the bytes of a unit file (at most the first 14,514 are looked at) into `out`: the information
// block and the 20 slot records, missing bytes at the end of a short file as 0. False, with `out`
// untouched, when the file is shorter than 14,474 bytes, lacks the header, or holds a used record
// whose slot byte is not its position 1..20.
bool ParseUnitFile(std::string_view bytes, UnitDownload& out);

// Adds the lower-case extension (".prs", ".unt") to a chosen file name. Only the end of the file name
// counts: an ending in the extension written wholly in lower or upper case becomes the lower-case one;
// any other name, a mixed-case ending included, gets the extension appended. Folders are kept as they are.
std::string NormaliseFileName(const std::string& path, const std::string& lowerExtension);

class LPresetFiles {
public:
    LPresetFiles(LUnitControl& model, LMainHost& host) : model_(model), host_(host) {}

    // Menu handlers.
    void OpenClick();
    void SaveClick() { SavePresetFile(); }
    void DownloadClick() { DownloadUnitFile(); }

    // Each returns true when it did its work (file loaded, written, or transfer started).
    bool OpenPresetFile();
    bool SavePresetFile();
    bool DownloadUnitFile();

private:
    LUnitControl& model_;
    LMainHost& host_;
};
