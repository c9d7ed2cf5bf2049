// One HID device of the controller: its handles, reports, queries and parsing wrappers.
#include "hid/HidControllerClass.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "hid/Hid.h"
#include "hid/HidControllerInternal.h"
#include "hid/ModuleLoader.h"
#include "hid/Setupapi.h"
#include "platform/sys/HidInternal.h"

using namespace kv::sys;
using namespace kv::hidctl;

// ---- THidDevice ------------------------------------------------------------------------------------------

THidDevice::THidDevice() {
    throw EControllerError("Direct creation of a THidDevice object is not allowed");
}

THidDevice::THidDevice(THidPnPInfo* pnpInfo, THidDeviceController* controller)
    : FMyController(controller), FPnPInfo(pnpInfo) {
    if (controller) {
        FData = controller->OnDeviceData;
        FDataId = controller->FDevDataId;
        FUnplug = controller->OnDeviceUnplug;
        FUnplugId = controller->FDevUnplugId;
    }
    try {
        std::lock_guard lock(FLock);
        if (!OpenPlainLocked())
            throw EControllerError("device cannot be opened");
        FAttributes.Size = sizeof(HIDD_ATTRIBUTES);
        if (!HidD_GetAttributes || !HidD_GetAttributes(FHidFileHandle, &FAttributes))
            throw EControllerError("device cannot be identified");
        CloseFileLocked();
    } catch (...) {
        CloseAllHandles();
        delete FPnPInfo;
        FPnPInfo = nullptr;
        throw;
    }
}

THidDevice::~THidDevice() {
    THidDataEvent keptData = FData;
    THidPlugEvent keptUnplug = FUnplug;
    const uint64_t keptDataId = FDataId, keptUnplugId = FUnplugId;
    SetDataEvent(nullptr, 0);
    FUnplug = nullptr;
    CloseAllHandles();
    if (FPreparsedData && HidD_FreePreparsedData)
        HidD_FreePreparsedData(FPreparsedData);
    FPreparsedData = nullptr;
    THidDeviceController* ctl = FMyController;
    const int index = ctl ? ctl->IndexOf(this) : -1;
    if (index >= 0) {
        const bool wasOut = IsCheckedOut();
        if (IsPluggedIn()) {
            // A holder destroys a live listed device: a fresh one takes its place.
            THidPnPInfo* info = std::exchange(FPnPInfo, nullptr);
            THidDevice* fresh = nullptr;
            try {
                fresh = new THidDevice(info, ctl);
            } catch (const EControllerError&) {
            }
            if (fresh) {
                fresh->FData = keptData;
                fresh->FDataId = keptDataId;
                fresh->FUnplug = keptUnplug;
                fresh->FUnplugId = keptUnplugId;
                fresh->FThreadSleepTime = ThreadSleepTime();
                ctl->FList[static_cast<size_t>(index)] = fresh;
                if (wasOut) {
                    --ctl->FNumCheckedOutDevices;
                    ++ctl->FNumCheckedInDevices;
                }
            } else {
                // It cannot be opened any more: it leaves the list.
                ctl->FList.erase(ctl->FList.begin() + index);
                --(wasOut ? ctl->FNumCheckedOutDevices : ctl->FNumCheckedInDevices);
            }
        } else {
            ctl->FList.erase(ctl->FList.begin() + index);
            --ctl->FNumUnpluggedDevices;
        }
    }
    delete FPnPInfo;
}

bool THidDevice::IsAccessible() const {
    return IsPluggedIn() && (IsCheckedOut() || IsEnumerated());
}

bool THidDevice::CheckOut() {
    if (!FMyController || !IsPluggedIn() || IsCheckedOut())
        return false;
    FIsCheckedOut = true;
    ++FMyController->FNumCheckedOutDevices;
    --FMyController->FNumCheckedInDevices;
    StartThread();
    return true;
}

bool THidDevice::OpenPlainLocked() {
    const std::u16string path = Utf8ToWide(FPnPInfo ? FPnPInfo->DevicePath() : std::string());
    FHidFileHandle = CreateFileW(path.c_str(), kReadWrite, kShare, nullptr, OPEN_EXISTING, 0, 0);
    FHasReadWriteAccess = FHidFileHandle != INVALID_HANDLE_VALUE;
    if (FHidFileHandle == INVALID_HANDLE_VALUE)
        FHidFileHandle = CreateFileW(path.c_str(), 0, kShare, nullptr, OPEN_EXISTING, 0, 0);
    return FHidFileHandle != INVALID_HANDLE_VALUE;
}

bool THidDevice::OpenFile() {
    std::lock_guard lock(FLock);
    if (IsAccessible() && FHidFileHandle == INVALID_HANDLE_VALUE && OpenPlainLocked()) {
        if (FNumInputBuffers != 0)
            HidD_SetNumInputBuffers(FHidFileHandle, static_cast<ULONG>(FNumInputBuffers));
        ULONG count = 0;
        if (HidD_GetNumInputBuffers(FHidFileHandle, &count))
            FNumInputBuffers = static_cast<int>(count);
    }
    if (FHidFileHandle == INVALID_HANDLE_VALUE && !IsAccessible())
        SetLastErrorCode(ERROR_DEVICE_NOT_CONNECTED);
    return FHidFileHandle != INVALID_HANDLE_VALUE;
}

bool THidDevice::OpenFileEx(THidOpenExMode mode) {
    std::lock_guard lock(FLock);
    if (!IsAccessible())
        return Refuse();
    const std::u16string path = Utf8ToWide(FPnPInfo->DevicePath());
    if (mode == THidOpenExMode::omhRead) {
        if (FHidOverlappedRead == INVALID_HANDLE_VALUE) {
            FHidOverlappedRead = CreateFileW(path.c_str(), GENERIC_READ, kShare, nullptr, OPEN_EXISTING,
                                             FILE_FLAG_OVERLAPPED, 0);
            if (FHidOverlappedRead != INVALID_HANDLE_VALUE) {
                if (FNumOverlappedBuffers != 0)
                    HidD_SetNumInputBuffers(FHidOverlappedRead, static_cast<ULONG>(FNumOverlappedBuffers));
                ULONG count = 0;
                if (HidD_GetNumInputBuffers(FHidOverlappedRead, &count))
                    FNumOverlappedBuffers = static_cast<int>(count);
            }
        }
        return FHidOverlappedRead != INVALID_HANDLE_VALUE;
    }
    if (FHidOverlappedWrite == INVALID_HANDLE_VALUE)
        FHidOverlappedWrite =
            CreateFileW(path.c_str(), GENERIC_WRITE, kShare, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, 0);
    return FHidOverlappedWrite != INVALID_HANDLE_VALUE;
}

void THidDevice::CloseFileLocked() {
    if (FHidFileHandle != INVALID_HANDLE_VALUE)
        CloseHandle(FHidFileHandle);
    FNumInputBuffers = 0;
    FHidFileHandle = INVALID_HANDLE_VALUE;
}

void THidDevice::CloseFileExLocked(THidOpenExMode mode) {
    if (mode == THidOpenExMode::omhRead) {
        if (FHidOverlappedRead != INVALID_HANDLE_VALUE)
            CloseHandle(FHidOverlappedRead);
        FNumOverlappedBuffers = 0;
        FHidOverlappedRead = INVALID_HANDLE_VALUE;
    } else {
        if (FHidOverlappedWrite != INVALID_HANDLE_VALUE)
            CloseHandle(FHidOverlappedWrite);
        FHidOverlappedWrite = INVALID_HANDLE_VALUE;
    }
}

void THidDevice::CloseFile() {
    std::lock_guard lock(FLock);
    CloseFileLocked();
}

void THidDevice::CloseFileEx(THidOpenExMode mode) {
    std::lock_guard lock(FLock);
    CloseFileExLocked(mode);
}

void THidDevice::CloseAllHandles() {
    // Waits for a synchronous write in progress, which gives up within the layer's write limit.
    std::lock_guard lock(FLock);
    CloseFileLocked();
    CloseFileExLocked(THidOpenExMode::omhRead);
    CloseFileExLocked(THidOpenExMode::omhWrite);
}

bool THidDevice::CancelIO(THidOpenExMode mode) {
    std::lock_guard lock(FLock);
    const HANDLE h = mode == THidOpenExMode::omhRead ? FHidOverlappedRead : FHidOverlappedWrite;
    if (h == INVALID_HANDLE_VALUE)
        return false;
    TModuleHandle kernel = 0;
    if (!LoadModule(kernel, "kernel32.dll"))
        return false;
    bool result = false;
    if (auto cancel = reinterpret_cast<BOOL (*)(HANDLE)>(GetModuleSymbol(kernel, "CancelIo")))
        result = cancel(h) != FALSE;
    UnloadModule(kernel);
    return result;
}

HANDLE THidDevice::HidFileHandle() {
    std::lock_guard lock(FLock);
    return FHidFileHandle;
}

HANDLE THidDevice::HidOverlappedRead() {
    std::lock_guard lock(FLock);
    return FHidOverlappedRead;
}

HANDLE THidDevice::HidOverlappedWrite() {
    std::lock_guard lock(FLock);
    return FHidOverlappedWrite;
}

bool THidDevice::FlushQueue() {
    std::lock_guard lock(FLock);
    return OpenFile() && HidD_FlushQueue(FHidFileHandle);
}

bool THidDevice::WriteFile(const void* report, uint32_t count, uint32_t& written) {
    // Under the handle lock: a close (check-in, unplug) waits for this write, which the layer bounds.
    std::lock_guard lock(FLock);
    written = 0;
    if (!OpenFile())
        return false;
    DWORD n = 0;
    const bool ok = kv::sys::WriteFile(FHidFileHandle, report, count, &n, nullptr) != FALSE;
    written = n;
    return ok;
}

bool THidDevice::ReadFile(void* report, uint32_t count, uint32_t& read) {
    // A read waits for the next report, so it runs outside the lock; a handle closed under it makes it
    // fail (handles are never reused).
    read = 0;
    HANDLE h;
    {
        std::lock_guard lock(FLock);
        if (!OpenFile())
            return false;
        h = FHidFileHandle;
    }
    DWORD n = 0;
    const bool ok = kv::sys::ReadFile(h, report, count, &n, nullptr) != FALSE;
    read = n;
    return ok;
}

bool THidDevice::ReadFileEx(void* report, uint32_t count, LPOVERLAPPED_COMPLETION_ROUTINE routine) {
    std::lock_guard lock(FLock);
    if (!OpenFileEx(THidOpenExMode::omhRead))
        return false;
    FOvlRead = OVERLAPPED{};
    FOvlRead.hEvent = this;
    return kv::sys::ReadFileEx(FHidOverlappedRead, report, count, &FOvlRead, routine) != FALSE;
}

bool THidDevice::WriteFileEx(const void* report, uint32_t count, LPOVERLAPPED_COMPLETION_ROUTINE routine) {
    std::lock_guard lock(FLock);
    if (!OpenFileEx(THidOpenExMode::omhWrite))
        return false;
    FOvlWrite = OVERLAPPED{};
    FOvlWrite.hEvent = this;
    return kv::sys::WriteFileEx(FHidOverlappedWrite, report, count, &FOvlWrite, routine) != FALSE;
}

int THidDevice::ReadDescriptor() const {
    std::lock_guard lock(FLock);
    if (FHidOverlappedRead == INVALID_HANDLE_VALUE)
        return -1;
    const auto file = kv::sys::hid::LookupFile(FHidOverlappedRead);
    return file ? file->fd : -1;
}

uint32_t THidDevice::HidOverlappedReadResult() {
    std::lock_guard lock(FLock);
    DWORD n = 0;
    if (FHidOverlappedRead == INVALID_HANDLE_VALUE ||
        !GetOverlappedResult(FHidOverlappedRead, &FOvlRead, &n, FALSE))
        return 0;
    return n;
}

uint32_t THidDevice::HidOverlappedWriteResult() {
    std::lock_guard lock(FLock);
    DWORD n = 0;
    if (FHidOverlappedWrite == INVALID_HANDLE_VALUE ||
        !GetOverlappedResult(FHidOverlappedWrite, &FOvlWrite, &n, FALSE))
        return 0;
    return n;
}

bool THidDevice::GetFeature(void* report, uint32_t size) {
    std::lock_guard lock(FLock);
    return OpenFile() && HidD_GetFeature(FHidFileHandle, report, size);
}

bool THidDevice::SetFeature(void* report, uint32_t size) {
    std::lock_guard lock(FLock);
    return OpenFile() && HidD_SetFeature(FHidFileHandle, report, size);
}

bool THidDevice::GetInputReport(void* report, uint32_t size) {
    if (!HidD_GetInputReport)
        return false;
    std::lock_guard lock(FLock);
    return OpenFile() && HidD_GetInputReport(FHidFileHandle, report, size);
}

bool THidDevice::SetOutputReport(void* report, uint32_t size) {
    if (!HidD_SetOutputReport)
        return false;
    std::lock_guard lock(FLock);
    return OpenFile() && HidD_SetOutputReport(FHidFileHandle, report, size);
}

bool THidDevice::DeviceIoControl(uint32_t code, void* in, uint32_t inSize, void* out, uint32_t outSize,
                                 uint32_t& bytesReturned) {
    std::lock_guard lock(FLock);
    bytesReturned = 0;
    if (!OpenFile())
        return false;
    DWORD n = 0;
    const bool ok =
        kv::sys::DeviceIoControl(FHidFileHandle, code, in, inSize, out, outSize, &n, nullptr) != FALSE;
    bytesReturned = n;
    return ok;
}

// ---- reader control --------------------------------------------------------------------------------------

void THidDevice::SetOnData(THidDataEvent handler) {
    const uint64_t id = handler ? NewHandlerId() : 0;
    SetDataEvent(std::move(handler), id);
}

void THidDevice::SetDataEvent(THidDataEvent handler, uint64_t id) {
    if (!handler)
        StopThread();
    FData = std::move(handler);
    FDataId = id;
    StartThread();
}

void THidDevice::SetOnDataError(THidDataErrorEvent handler) {
    FDataErrorId = handler ? NewHandlerId() : 0;
    FDataError = std::move(handler);
}

void THidDevice::SetOnUnplug(THidPlugEvent handler) {
    FUnplugId = handler ? NewHandlerId() : 0;
    FUnplug = std::move(handler);
}

void THidDevice::StartThread() {
    if (!FData || !IsPluggedIn() || !IsCheckedOut() || !HasReadWriteAccess() || FDataThread)
        return;
    FDataThread = std::make_unique<THidDeviceReadThread>(this, true);
    FDataThread->Resume();
}

void THidDevice::StopThread() {
    if (!FDataThread)
        return;
    FDataThread->Terminate();
    FDataThread->WaitFor();
    FDataThread.reset();
}

void THidDevice::SetThreadSleepTime(int ms) {
    if (ms >= 10 && ms <= 10000)
        FThreadSleepTime = ms;
}

void THidDevice::DoUnplug() {
    {
        // One step for the other threads: a write or read request cannot reopen a handle in between.
        std::lock_guard lock(FLock);
        CloseAllHandles();
        FIsPluggedIn = false;
    }
    THidPlugEvent handler = std::move(FUnplug);
    FUnplug = nullptr;
    FUnplugId = 0;
    // The handler may check the device in, which destroys it: nothing of it is used afterwards.
    if (handler)
        handler(this);
}

// ---- queries ---------------------------------------------------------------------------------------------

PHIDP_PREPARSED_DATA THidDevice::GetPreparsedData() {
    std::lock_guard lock(FLock);
    if (!FPreparsedData && OpenFile()) {
        if (!HidD_GetPreparsedData(FHidFileHandle, &FPreparsedData))
            FPreparsedData = nullptr;
        CloseFileLocked();
    }
    return FPreparsedData;
}

PHIDP_PREPARSED_DATA THidDevice::PreparsedNoFetch() {
    std::lock_guard lock(FLock);
    return FPreparsedData;
}

HIDP_CAPS THidDevice::GetCaps() {
    HIDP_CAPS caps{};
    PHIDP_PREPARSED_DATA data = GetPreparsedData();
    if (data && HidP_GetCaps)
        HidP_GetCaps(data, &caps);
    return caps;
}

HIDD_CONFIGURATION THidDevice::Configuration() {
    HIDD_CONFIGURATION config{};
    std::lock_guard lock(FLock);
    if (OpenFile() && !HidD_GetConfiguration(FHidFileHandle, &config, sizeof config))
        config = HIDD_CONFIGURATION{};
    return config;
}

void THidDevice::SetConfiguration(const HIDD_CONFIGURATION& config) {
    std::lock_guard lock(FLock);
    HIDD_CONFIGURATION copy = config;
    if (OpenFile())
        HidD_SetConfiguration(FHidFileHandle, &copy, sizeof copy);
}

void THidDevice::SetNumInputBuffers(int count) {
    std::lock_guard lock(FLock);
    if (count == FNumInputBuffers || !OpenFile())
        return;
    HidD_SetNumInputBuffers(FHidFileHandle, static_cast<ULONG>(count));
    ULONG actual = 0;
    if (HidD_GetNumInputBuffers(FHidFileHandle, &actual))
        FNumInputBuffers = static_cast<int>(actual);
}

void THidDevice::SetNumOverlappedBuffers(int count) {
    std::lock_guard lock(FLock);
    if (count == FNumOverlappedBuffers || !OpenFileEx(THidOpenExMode::omhRead))
        return;
    HidD_SetNumInputBuffers(FHidOverlappedRead, static_cast<ULONG>(count));
    ULONG actual = 0;
    if (HidD_GetNumInputBuffers(FHidOverlappedRead, &actual))
        FNumOverlappedBuffers = static_cast<int>(actual);
}

std::u16string THidDevice::ReadCachedString(std::u16string& cache, PFN_HidD_GetProductString service) {
    std::lock_guard lock(FLock);
    if (cache.empty() && OpenFile()) {
        WCHAR buf[254] = {};
        if (service(FHidFileHandle, buf, sizeof buf))
            cache = WideText(buf, 254);
        CloseFileLocked();
    }
    return cache;
}

std::u16string THidDevice::VendorName() {
    return ReadCachedString(FVendorName, HidD_GetManufacturerString);
}

std::u16string THidDevice::ProductName() {
    return ReadCachedString(FProductName, HidD_GetProductString);
}

int THidDevice::LanguageIds(std::vector<uint16_t>& ids) {
    // The string at index 0: the device's language IDs. Slots the device left as 0xFFFF are not used.
    uint16_t list[254];
    std::memset(list, 0xFF, sizeof list);
    if (!HidD_GetIndexedString(FHidFileHandle, 0, list, sizeof list))
        std::memset(list, 0xFF, sizeof list);
    int n = 0;
    for (int k = 253; k >= 0; --k) {
        if (list[k] == 0xFFFF)
            continue;
        n = list[k] == 0 ? k : k + 1;
        break;
    }
    ids.assign(list, list + n);
    return n;
}

std::u16string THidDevice::SerialNumber() {
    std::lock_guard lock(FLock);
    if (FSerialNumber.empty() && OpenFile()) {
        WCHAR serial[254] = {};
        if (HidD_GetSerialNumberString(FHidFileHandle, serial, sizeof serial)) {
            std::vector<uint16_t> ids;
            const int n = LanguageIds(ids);
            // A device that answers with its language list has no serial number.
            bool differs = false;
            for (int i = 0; i < n; ++i)
                differs = differs || static_cast<uint16_t>(serial[i]) != ids[static_cast<size_t>(i)];
            if (differs)
                FSerialNumber = WideText(serial, 254);
        }
        CloseFileLocked();
    }
    return FSerialNumber;
}

std::vector<std::string> THidDevice::LanguageStrings() {
    std::lock_guard lock(FLock);
    if (FLanguageStrings.empty() && OpenFile()) {
        std::vector<uint16_t> ids;
        LanguageIds(ids);
        for (uint16_t id : ids) {
            WCHAR name[256] = {};
            if (GetLocaleInfoW(id, LOCALE_SLANGUAGE, name, 256) > 0) {
                FLanguageStrings.push_back(WideToUtf8(WideText(name, 256)));
            } else {
                char text[40];
                std::snprintf(text, sizeof text, "unknown Locale ID $%.4x", id);
                FLanguageStrings.emplace_back(text);
            }
        }
        CloseFileLocked();
    }
    return FLanguageStrings;
}

TPhysicalDescriptor THidDevice::PhysicalDescriptor() {
    std::lock_guard lock(FLock);
    if (FPhysicalDescriptor.empty() && OpenFile()) {
        FPhysicalDescriptor.assign(2048, 0);
        for (size_t i = 0;; ++i) {
            if (i > 2048) {
                FPhysicalDescriptor.clear();
                break;
            }
            if (HidD_GetPhysicalDescriptor(FHidFileHandle, FPhysicalDescriptor.data(),
                                           static_cast<ULONG>(2 * i))) {
                FPhysicalDescriptor.resize(i);
                break;
            }
            if (LastError() != ERROR_INSUFFICIENT_BUFFER) {
                FPhysicalDescriptor.clear();
                break;
            }
        }
        CloseFileLocked();
    }
    return FPhysicalDescriptor;
}

std::u16string THidDevice::GetDeviceStringUnicode(uint8_t index) {
    if (index == 0)
        return {};
    std::lock_guard lock(FLock);
    if (!OpenFile())
        return {};
    WCHAR buf[254] = {};
    if (!HidD_GetIndexedString(FHidFileHandle, index, buf, sizeof buf))
        return {};
    return WideText(buf, 254);
}

std::string THidDevice::GetDeviceStringAnsi(uint8_t index) {
    return WideToUtf8(GetDeviceStringUnicode(index));
}

HIDP_LINK_COLLECTION_NODE THidDevice::GetLinkCollectionNode(uint16_t index) {
    if (FLinkCollection.empty()) {
        const USHORT n = GetCaps().NumberLinkCollectionNodes;
        FLinkCollection.assign(n, HIDP_LINK_COLLECTION_NODE{});
        ULONG length = n;
        if (n)
            HidP_GetLinkCollectionNodes(FLinkCollection.data(), &length, GetPreparsedData());
    }
    if (index < FLinkCollection.size())
        return FLinkCollection[index];
    return HIDP_LINK_COLLECTION_NODE{};
}

// ---- parsing wrappers ------------------------------------------------------------------------------------

#define KV_PARSE_GUARD                                                                                       \
    if (!IsAccessible())                                                                                     \
        return HIDP_STATUS_NULL;                                                                             \
    PHIDP_PREPARSED_DATA pd = GetPreparsedData();

NTSTATUS THidDevice::GetButtonCaps(HIDP_BUTTON_CAPS* caps, USHORT& count) {
    KV_PARSE_GUARD
    return HidP_GetButtonCaps_(FReportTypeParam, caps, &count, pd);
}

NTSTATUS THidDevice::GetValueCaps(HIDP_VALUE_CAPS* caps, USHORT& count) {
    KV_PARSE_GUARD
    return HidP_GetValueCaps_(FReportTypeParam, caps, &count, pd);
}

NTSTATUS THidDevice::GetSpecificButtonCaps(HIDP_BUTTON_CAPS* caps, USHORT& count) {
    KV_PARSE_GUARD
    return HidP_GetSpecificButtonCaps(FReportTypeParam, FUsagePageParam, FLinkCollectionParam, FUsageParam,
                                      caps, &count, pd);
}

NTSTATUS THidDevice::GetSpecificValueCaps(HIDP_VALUE_CAPS* caps, USHORT& count) {
    KV_PARSE_GUARD
    return HidP_GetSpecificValueCaps(FReportTypeParam, FUsagePageParam, FLinkCollectionParam, FUsageParam,
                                     caps, &count, pd);
}

NTSTATUS THidDevice::GetData(HIDP_DATA* list, ULONG& length, char* report, ULONG size) {
    KV_PARSE_GUARD
    return HidP_GetData(FReportTypeParam, list, &length, pd, report, size);
}

NTSTATUS THidDevice::SetData(HIDP_DATA* list, ULONG& length, char* report, ULONG size) {
    KV_PARSE_GUARD
    return HidP_SetData(FReportTypeParam, list, &length, pd, report, size);
}

#define KV_USAGE_WRAPPER(Name, Service)                                                                      \
    NTSTATUS THidDevice::Name(USAGE* list, ULONG& length, char* report, ULONG size) {                        \
        KV_PARSE_GUARD                                                                                       \
        return Service(FReportTypeParam, FUsagePageParam, FLinkCollectionParam, list, &length, pd, report,   \
                       size);                                                                                \
    }
KV_USAGE_WRAPPER(GetUsages, HidP_GetUsages)
KV_USAGE_WRAPPER(GetButtons, HidP_GetButtons)
KV_USAGE_WRAPPER(SetUsages, HidP_SetUsages)
KV_USAGE_WRAPPER(SetButtons, HidP_SetButtons)
KV_USAGE_WRAPPER(UnsetUsages, HidP_UnsetUsages)
KV_USAGE_WRAPPER(UnsetButtons, HidP_UnsetButtons)
#undef KV_USAGE_WRAPPER

NTSTATUS THidDevice::GetUsagesEx(USAGE_AND_PAGE* list, ULONG& length, char* report, ULONG size) {
    KV_PARSE_GUARD
    return HidP_GetUsagesEx(FReportTypeParam, FLinkCollectionParam, list, &length, pd, report, size);
}

NTSTATUS THidDevice::GetButtonsEx(USAGE_AND_PAGE* list, ULONG& length, char* report, ULONG size) {
    KV_PARSE_GUARD
    return HidP_GetButtonsEx(FReportTypeParam, FLinkCollectionParam, list, &length, pd, report, size);
}

NTSTATUS THidDevice::GetUsageValue(ULONG& value, char* report, ULONG size) {
    KV_PARSE_GUARD
    return HidP_GetUsageValue(FReportTypeParam, FUsagePageParam, FLinkCollectionParam, FUsageParam, &value,
                              pd, report, size);
}

NTSTATUS THidDevice::GetScaledUsageValue(LONG& value, char* report, ULONG size) {
    KV_PARSE_GUARD
    return HidP_GetScaledUsageValue(FReportTypeParam, FUsagePageParam, FLinkCollectionParam, FUsageParam,
                                    &value, pd, report, size);
}

NTSTATUS THidDevice::GetUsageValueArray(char* buffer, USHORT bufferLength, char* report, ULONG size) {
    KV_PARSE_GUARD
    return HidP_GetUsageValueArray(FReportTypeParam, FUsagePageParam, FLinkCollectionParam, FUsageParam,
                                   buffer, bufferLength, pd, report, size);
}

NTSTATUS THidDevice::SetUsageValue(ULONG value, char* report, ULONG size) {
    KV_PARSE_GUARD
    return HidP_SetUsageValue(FReportTypeParam, FUsagePageParam, FLinkCollectionParam, FUsageParam, value, pd,
                              report, size);
}

NTSTATUS THidDevice::SetScaledUsageValue(LONG value, char* report, ULONG size) {
    KV_PARSE_GUARD
    return HidP_SetScaledUsageValue(FReportTypeParam, FUsagePageParam, FLinkCollectionParam, FUsageParam,
                                    value, pd, report, size);
}

NTSTATUS THidDevice::SetUsageValueArray(char* buffer, USHORT bufferLength, char* report, ULONG size) {
    KV_PARSE_GUARD
    return HidP_SetUsageValueArray(FReportTypeParam, FUsagePageParam, FLinkCollectionParam, FUsageParam,
                                   buffer, bufferLength, pd, report, size);
}
#undef KV_PARSE_GUARD

NTSTATUS THidDevice::GetExtendedAttributes(HIDP_REPORT_TYPE reportType, USHORT dataIndex,
                                           HIDP_EXTENDED_ATTRIBUTES* attributes, ULONG& length) {
    if (!HidP_GetExtendedAttributes)
        return HIDP_STATUS_NOT_IMPLEMENTED;
    return HidP_GetExtendedAttributes(reportType, dataIndex, PreparsedNoFetch(), attributes, &length);
}

NTSTATUS THidDevice::InitializeReportForID(HIDP_REPORT_TYPE reportType, uint8_t reportId, char* report,
                                           ULONG size) {
    if (!HidP_InitializeReportForID)
        return HIDP_STATUS_NOT_IMPLEMENTED;
    return HidP_InitializeReportForID(reportType, reportId, PreparsedNoFetch(), report, size);
}

void THidDevice::RecomputeListLengths() {
    if (!IsAccessible())
        return;
    PHIDP_PREPARSED_DATA pd = GetPreparsedData();
    FMaxDataListLength = HidP_MaxDataListLength(FReportTypeParam, pd);
    FMaxUsageListLength = HidP_MaxUsageListLength(FReportTypeParam, FUsagePageParam, pd);
    FMaxButtonListLength = HidP_MaxButtonListLength(FReportTypeParam, FUsagePageParam, pd);
}

void THidDevice::SetReportTypeParam(uint32_t type) {
    FReportTypeParam = type;
    RecomputeListLengths();
}

void THidDevice::SetUsagePageParam(uint16_t page) {
    FUsagePageParam = page;
    RecomputeListLengths();
}
