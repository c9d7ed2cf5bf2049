#pragma once
// Whole-file reads and writes for the program's small binary files. Paths are taken byte for byte as
// the file dialog gives them; nothing is converted.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kv {

// Reads at most maxBytes from the start of a regular file. nullopt when the file cannot be opened or
// read, or is not a regular file (a folder, a pipe or a device is never read, so nothing blocks);
// `error` then tells why.
std::optional<std::string> ReadFileBytes(const std::string& path, size_t maxBytes,
                                         std::string* error = nullptr);

// The size of a regular file; nullopt as for ReadFileBytes.
std::optional<uint64_t> FileSize(const std::string& path, std::string* error = nullptr);

// Replaces the file's contents with data so that readers see either the old file or the new one:
// writes a temporary file in the same folder, flushes it to disk and renames it over the target.
// An existing file keeps its permissions. On failure the target is untouched, the temporary file is
// removed, the result is false and `error` tells why.
bool WriteFileAtomic(const std::string& path, std::string_view data, std::string* error = nullptr);

} // namespace kv
