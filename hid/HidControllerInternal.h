#pragma once
// Shared by the files of the HID device controller (status texts and PnP information, the report
// reader, the device, the controller): constants and small helpers. Not for callers outside hid/.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/sys/HidApi.h"

namespace kv::hidctl {

inline constexpr kv::sys::DWORD kReadWrite = kv::sys::GENERIC_READ | kv::sys::GENERIC_WRITE;
inline constexpr kv::sys::DWORD kShare = kv::sys::FILE_SHARE_READ | kv::sys::FILE_SHARE_WRITE;
// The reader's hand-overs to its window.
inline constexpr uint32_t kMsgReport = 0x8001;
inline constexpr uint32_t kMsgReadError = 0x8002;
inline constexpr kv::sys::DWORD kWaitIoCompletion = kv::sys::WAIT_IO_COMPLETION;

// A new identity for a handler, so that the controller can tell which devices still carry its own.
uint64_t NewHandlerId();

// Zero-terminated UTF-16 text of at most n characters.
std::u16string WideText(const kv::sys::WCHAR* buffer, size_t n);

// The completion routine of the reader's overlapped reads: the reader looks at the result itself.
void NoCompletion(kv::sys::DWORD, kv::sys::DWORD, kv::sys::OVERLAPPED*);

// Fails with "device not connected".
bool Refuse();

} // namespace kv::hidctl
