#include "hid/HidControllerClass.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "hid/Hid.h"
#include "hid/ModuleLoader.h"
#include "hid/Setupapi.h"
#include "platform/sys/HidInternal.h"

using namespace kv::sys;

namespace {

constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr uint32_t kMsgReport = 0x8001;
constexpr uint32_t kMsgReadError = 0x8002;
constexpr DWORD kWaitIoCompletion = WAIT_IO_COMPLETION;

std::atomic<uint64_t> handlerIds{0};
uint64_t NewHandlerId() {
    return ++handlerIds;
}

// Zero-terminated UTF-16 text of at most n characters.
std::u16string WideText(const WCHAR* buffer, size_t n) {
    size_t len = 0;
    while (len < n && buffer[len] != 0)
        ++len;
    return std::u16string(buffer, len);
}

void NoCompletion(DWORD, DWORD, OVERLAPPED*) {}

bool Refuse() {
    SetLastErrorCode(ERROR_DEVICE_NOT_CONNECTED);
    return false;
}

} // namespace

// ---- status texts ----------------------------------------------------------------------------------------

std::string HidErrorString(NTSTATUS status) {
    if (((status >> 16) & 0xFF) != 0x11 || (status >> 30) == 0)
        return {};
    const char* text = nullptr;
    switch (status) {
    case 0x80110001u:
        text = "device not plugged in";
        break;
    case 0xC0110001u:
        text = "invalid preparsed data";
        break;
    case 0xC0110002u:
        text = "invalid report type";
        break;
    case 0xC0110003u:
        text = "invalid report length";
        break;
    case 0xC0110004u:
        text = "usage not found";
        break;
    case 0xC0110005u:
        text = "value out of range";
        break;
    case 0xC0110006u:
        text = "bad logical or physical values";
        break;
    case 0xC0110007u:
        text = "buffer too small";
        break;
    case 0xC0110008u:
        text = "internal error";
        break;
    case 0xC0110009u:
        text = "8042 key translation impossible";
        break;
    case 0xC011000Au:
        text = "incompatible report ID";
        break;
    case 0xC011000Bu:
        text = "not a value array";
        break;
    case 0xC011000Cu:
        text = "is a value array";
        break;
    case 0xC011000Du:
        text = "data index not found";
        break;
    case 0xC011000Eu:
        text = "data index out of range";
        break;
    case 0xC011000Fu:
        text = "button not pressed";
        break;
    case 0xC0110010u:
        text = "report does not exist";
        break;
    case 0xC0110020u:
        text = "not implemented";
        break;
    default:
        break;
    }
    if (text)
        return std::string("HID Error: ") + text;
    char buf[64];
    std::snprintf(buf, sizeof buf, "unknown HID error %x", status);
    return std::string("HID Error: ") + buf;
}

void HidError(NTSTATUS status) {
    const std::string text = HidErrorString(status);
    if (!text.empty())
        throw EHidClientError(text);
}

NTSTATUS HidCheck(NTSTATUS status) {
    if (status != HIDP_STATUS_SUCCESS)
        HidError(status);
    return status;
}

// ---- THidPnPInfo -----------------------------------------------------------------------------------------

THidPnPInfo::THidPnPInfo(HDEVINFO set, const SP_DEVINFO_DATA& device, const std::string& devicePath)
    : FDevice(device), FDeviceID(device.DevInst), FDevicePath(devicePath) {
    auto textQuery =
        reinterpret_cast<PFN_SetupDiGetDeviceRegistryPropertyA>(SetupDiGetDeviceRegistryPropertyA);
    auto numberQuery =
        reinterpret_cast<PFN_SetupDiGetDeviceRegistryPropertyW>(SetupDiGetDeviceRegistryProperty);
    auto number = [&](DWORD code) -> uint32_t {
        uint32_t value = 0;
        if (numberQuery &&
            !numberQuery(set, &FDevice, code, nullptr, reinterpret_cast<uint8_t*>(&value), 4, nullptr))
            value = 0;
        return value;
    };
    auto text = [&](DWORD code) -> std::string {
        std::vector<uint8_t> buf(2048, 0);
        if (!textQuery || !textQuery(set, &FDevice, code, nullptr, buf.data(), 2048, nullptr))
            return {};
        const char* p = reinterpret_cast<const char*>(buf.data());
        return std::string(p, strnlen(p, 1024));
    };
    auto list = [&](DWORD code) -> std::vector<std::string> {
        std::vector<uint8_t> buf(32768, 0);
        std::vector<std::string> out;
        if (!textQuery || !textQuery(set, &FDevice, code, nullptr, buf.data(), 32768, nullptr))
            return out;
        const char* p = reinterpret_cast<const char*>(buf.data());
        size_t at = 0;
        while (at < buf.size()) {
            const size_t len = strnlen(p + at, buf.size() - at);
            if (len == 0 || at + len >= buf.size())
                break;
            out.emplace_back(p + at, len);
            at += len + 1;
        }
        return out;
    };
    FCapabilities = number(SPDRP_CAPABILITIES);
    FClassDescr = text(SPDRP_CLASS);
    FClassGUID = text(SPDRP_CLASSGUID);
    FCompatibleIDs = list(SPDRP_COMPATIBLEIDS);
    FConfigFlags = number(SPDRP_CONFIGFLAGS);
    FDeviceDescr = text(SPDRP_DEVICEDESC);
    FDriver = text(SPDRP_DRIVER);
    FFriendlyName = text(SPDRP_FRIENDLYNAME);
    FHardwareID = list(SPDRP_HARDWAREID);
    FLowerFilters = list(SPDRP_LOWERFILTERS);
    FMfg = text(SPDRP_MFG);
    FUpperFilters = list(SPDRP_UPPERFILTERS);
    FAddress = text(SPDRP_ADDRESS);
    FBusNumber = number(SPDRP_BUSNUMBER);
    FBusType = text(SPDRP_BUSTYPEGUID);
    FCharacteristics = text(SPDRP_CHARACTERISTICS);
    FDevType = number(SPDRP_DEVTYPE);
    FEnumeratorName = text(SPDRP_ENUMERATOR_NAME);
    FExclusive = number(SPDRP_EXCLUSIVE);
    FLegacyBusType = number(SPDRP_LEGACYBUSTYPE);
    FLocationInfo = text(SPDRP_LOCATION_INFORMATION);
    FPhysDevObjName = text(SPDRP_PHYSICAL_DEVICE_OBJECT_NAME);
    FSecuritySDS = text(SPDRP_SECURITY_SDS);
    FService = text(SPDRP_SERVICE);
    FUINumber = number(SPDRP_UI_NUMBER);
    FUINumberFormat = text(SPDRP_UI_NUMBER_DESC_FORMAT);
}

// ---- THidDeviceReadThread --------------------------------------------------------------------------------

THidDeviceReadThread::THidDeviceReadThread(bool createSuspended) {
    (void)createSuspended;
    throw EControllerError("Direct creation of a TDeviceReadThread object is not allowed");
}

THidDeviceReadThread::THidDeviceReadThread(THidDevice* device, bool createSuspended)
    : Device(device), FScheduler(device->FMyController ? device->FMyController->Scheduler() : nullptr),
      FWindow(std::make_unique<Window>(this)) {
    Report.assign(Device->GetCaps().InputReportByteLength, 0);
    if (!createSuspended)
        Resume();
    ++liveCount_;
}

THidDeviceReadThread::~THidDeviceReadThread() {
    Terminate();
    WaitFor();
    --liveCount_;
}

void THidDeviceReadThread::Resume() {
    if (!FThread.Started())
        FThread.Start([this] { Execute(); }, FScheduler);
}

void THidDeviceReadThread::WaitFor() {
    if (!FThread.Started())
        return;
    if (TMessageBridge::OnGuiThread()) {
        while (!FThread.WaitServing(1000, this)) {
        }
    } else {
        // Nobody serves the hand-over here: release the reader from it.
        Abandon();
        FThread.Join();
    }
}

bool THidDeviceReadThread::HandOver(TMessage& msg) {
    return TMessageBridge::Send(FWindow.get(), msg, this);
}

void THidDeviceReadThread::Execute() {
    TScheduler& sched = TScheduler::Or(FScheduler);
    DWORD last = kWaitIoCompletion;
    while (!Terminated()) {
        last = kWaitIoCompletion;
        const size_t length = std::min<size_t>(Device->GetCaps().InputReportByteLength, Report.size());
        std::fill(Report.begin(), Report.begin() + static_cast<long>(length), 0);
        if (!Device->ReadFileEx(Report.data(), static_cast<uint32_t>(length), &NoCompletion)) {
            FErr = LastError();
            TMessage msg;
            msg.Msg = kMsgReadError;
            msg.WParam = FErr;
            HandOver(msg);
            continue;
        }
        // Waits on the scheduler (the test clock in tests) for the report or the stop; the alertable
        // sleep of 0 ms then completes the read without waiting. A descriptor that hung up is not
        // waited on again: the next sleep periods only watch for the stop.
        bool watchPort = true;
        do {
            const TWaitItem items[2] = {TWaitItem::Of(FStop),
                                        TWaitItem::Port(watchPort ? Device->ReadDescriptor() : -1)};
            const TWaitResult r =
                sched.Wait(items, watchPort ? 2 : 1, static_cast<uint32_t>(Device->ThreadSleepTime()));
            if (r.kind == TWaitResult::Hangup || r.kind == TWaitResult::Failed)
                watchPort = false;
            if (Terminated())
                break;
            last = SleepEx(0, TRUE);
        } while (!Terminated() && last != kWaitIoCompletion);
        if (Terminated())
            break;
        NumBytesRead = std::min<uint32_t>(Device->HidOverlappedReadResult(), static_cast<uint32_t>(length));
        if (NumBytesRead > 0) {
            TMessage msg;
            msg.Msg = kMsgReport;
            msg.Data.assign(Report.begin(), Report.begin() + NumBytesRead);
            HandOver(msg);
        }
    }
    // Stopped during the wait: the read is still pending; nothing is written into Report after this.
    if (last != kWaitIoCompletion)
        Device->CancelIO(THidOpenExMode::omhRead);
}

void THidDeviceReadThread::DoData(const std::vector<uint8_t>& report) {
    if (report.empty() || !Device->FData)
        return;
    Device->FData(Device, report[0], report.data() + 1, static_cast<uint16_t>(report.size() - 1));
}

void THidDeviceReadThread::DoDataError(uint32_t error) {
    if (Device->FDataError)
        Device->FDataError(Device, error);
}

void THidDeviceReadThread::Window::Dispatch(TMessage& msg) {
    if (msg.Msg == kMsgReport)
        owner_->DoData(msg.Data);
    else if (msg.Msg == kMsgReadError)
        owner_->DoDataError(static_cast<uint32_t>(msg.WParam));
}

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

// ---- THidDeviceController --------------------------------------------------------------------------------

KV_REGISTER_CLASS(THidDeviceController, kv::TComponent, b) {
    b.Prop("DevThreadSleepTime", &THidDeviceController::DevThreadSleepTime,
           &THidDeviceController::SetDevThreadSleepTime)
        .Default(100);
    b.Prop("Version", &THidDeviceController::Version, &THidDeviceController::SetVersion)
        .Stored([](const THidDeviceController&) { return false; });
    b.Event("OnArrival", &THidDeviceController::OnArrival);
    b.Event("OnEnumerate", &THidDeviceController::OnEnumerate);
    b.Event("OnDeviceChange", &THidDeviceController::OnDeviceChange);
    b.Event("OnDeviceData", &THidDeviceController::OnDeviceData);
    b.Event("OnDeviceDataError", &THidDeviceController::OnDeviceDataError);
    b.Event("OnDeviceUnplug", &THidDeviceController::OnDeviceUnplug);
    b.Event("OnRemoval", &THidDeviceController::OnRemoval);
}

void RegisterHidClasses() {
    kv::RegisterClass(THidDeviceController::StaticClassInfo());
}

THidDeviceController::THidDeviceController(kv::TComponent* owner) : kv::TComponent(owner), FLParam(-1) {
    if (LoadSetupApi()) {
        FSetupApiTaken = true;
        LoadHid();
    }
    if (IsHidLoaded()) {
        HidD_GetHidGuid(&FHidGuid);
        FHWnd = std::make_unique<NotifyWindow>(this);
        RegisterDeviceChangeTarget(FHWnd.get());
        // The first scan runs from the message loop, once every handler is bound.
        TMessage msg;
        msg.Msg = WM_DEVICECHANGE;
        msg.WParam = DBT_DEVNODES_CHANGED;
        msg.LParam = -1;
        TMessageBridge::Post(FHWnd.get(), std::move(msg));
    } else {
        FHidGuid = HID_INTERFACE_GUID;
    }
}

THidDeviceController::~THidDeviceController() {
    Destroying();
    // Plain stores: the devices keep their unplug handler, which releases a checked-out device.
    OnDeviceChange = nullptr;
    OnDeviceUnplug = nullptr;
    OnEnumerate = nullptr;
    if (FHWnd) {
        UnregisterDeviceChangeTarget(FHWnd.get());
        FHWnd.reset();
    }
    const std::vector<THidDevice*> devices = std::exchange(FList, {});
    for (THidDevice* d : devices) {
        d->FMyController = nullptr;
        if (d->IsCheckedOut())
            d->DoUnplug(); // its holder may check it in, which destroys it
        else
            delete d;
    }
    const bool hidLoaded = IsHidLoaded();
    if (FSetupApiTaken)
        UnloadSetupApi();
    if (hidLoaded)
        UnloadHid();
}

void THidDeviceController::EventPipe(TMessage& msg) {
    if (msg.Msg == WM_DEVICECHANGE && msg.WParam == DBT_DEVNODES_CHANGED && !FInDeviceChange) {
        FLParam = msg.LParam;
        FInDeviceChange = true;
        DeviceChange();
        FInDeviceChange = false;
    }
}

int THidDeviceController::IndexOf(const THidDevice* device) const {
    const auto it = std::find(FList.begin(), FList.end(), device);
    return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

std::vector<THidDevice*> THidDeviceController::Scan() {
    std::vector<THidDevice*> fresh;
    if (!IsHidLoaded())
        return fresh;
    auto getClassDevs = reinterpret_cast<PFN_SetupDiGetClassDevsW>(SetupDiGetClassDevs);
    auto enumInterfaces = reinterpret_cast<PFN_SetupDiEnumDeviceInterfaces>(SetupDiEnumDeviceInterfaces);
    auto getDetail = reinterpret_cast<PFN_SetupDiGetDeviceInterfaceDetailA>(SetupDiGetDeviceInterfaceDetailA);
    auto destroyList = reinterpret_cast<PFN_SetupDiDestroyDeviceInfoList>(SetupDiDestroyDeviceInfoList);
    if (!getClassDevs || !enumInterfaces || !getDetail || !destroyList)
        return fresh;
    const HDEVINFO set = getClassDevs(&FHidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE)
        return fresh;
    for (DWORD i = 0;; ++i) {
        SP_DEVICE_INTERFACE_DATA iface{};
        iface.cbSize = sizeof iface;
        if (!enumInterfaces(set, nullptr, &FHidGuid, i, &iface))
            break;
        SP_DEVINFO_DATA dev{};
        dev.cbSize = sizeof dev;
        DWORD required = 0;
        getDetail(set, &iface, nullptr, 0, &required, &dev);
        if (required <= SP_DETAIL_A_PATH_OFFSET || LastError() != ERROR_INSUFFICIENT_BUFFER)
            continue;
        std::vector<DWORD> block((required + sizeof(DWORD)) / sizeof(DWORD), 0);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(block.data());
        detail->cbSize = SP_DETAIL_A_SIZE;
        if (!getDetail(set, &iface, detail, required, nullptr, &dev))
            continue;
        const char* path = reinterpret_cast<const char*>(block.data()) + SP_DETAIL_A_PATH_OFFSET;
        auto* info =
            new THidPnPInfo(set, dev, std::string(path, strnlen(path, required - SP_DETAIL_A_PATH_OFFSET)));
        try {
            fresh.push_back(new THidDevice(info, this));
        } catch (const EControllerError&) {
            // Skipped silently (the device freed its information); tried again at the next rescan.
        }
    }
    destroyList(set);
    return fresh;
}

void THidDeviceController::DeviceChange() {
    bool changed = FLParam == -1;
    std::vector<THidDevice*> fresh = Scan();
    auto present = [&fresh](const THidDevice* d) {
        return std::any_of(fresh.begin(), fresh.end(), [d](const THidDevice* f) {
            return f->PnPInfo()->DeviceID() == d->PnPInfo()->DeviceID();
        });
    };
    for (int i = static_cast<int>(FList.size()) - 1; i >= 0; --i) {
        if (i >= static_cast<int>(FList.size()))
            continue;
        THidDevice* d = FList[static_cast<size_t>(i)];
        if (d->IsPluggedIn() && present(d))
            continue;
        changed = true;
        d->DoUnplug();
        // Its holder may have checked it in from the unplug handler, which destroyed it.
        if (IndexOf(d) < 0)
            continue;
        if (OnRemoval) {
            d->FIsEnumerated = true;
            OnRemoval(d);
            if (IndexOf(d) < 0)
                continue;
            d->FIsEnumerated = false;
        }
        if (!d->IsCheckedOut()) {
            RemoveFromList(d);
            delete d;
        }
    }
    for (THidDevice*& f : fresh) {
        const bool duplicate = std::any_of(FList.begin(), FList.end(), [f](const THidDevice* d) {
            return d->IsPluggedIn() && d->PnPInfo()->DeviceID() == f->PnPInfo()->DeviceID();
        });
        if (duplicate) {
            f->FMyController = nullptr;
            delete f;
            f = nullptr;
        }
    }
    for (THidDevice* f : fresh) {
        if (!f)
            continue;
        FList.push_back(f);
        changed = true;
        if (OnArrival && IndexOf(f) >= 0) {
            f->FIsEnumerated = true;
            OnArrival(f);
            if (IndexOf(f) >= 0)
                f->FIsEnumerated = false;
        }
    }
    FNumCheckedInDevices = FNumUnpluggedDevices = 0;
    int out = 0;
    for (const THidDevice* d : FList) {
        FNumCheckedInDevices += !d->IsCheckedOut();
        FNumUnpluggedDevices += !d->IsPluggedIn();
        out += d->IsCheckedOut();
    }
    FNumCheckedOutDevices = out - FNumUnpluggedDevices;
    if (changed && OnDeviceChange)
        OnDeviceChange(this);
}

void THidDeviceController::RemoveFromList(THidDevice* device) {
    const int index = IndexOf(device);
    if (index >= 0)
        FList.erase(FList.begin() + index);
    device->FMyController = nullptr;
}

bool THidDeviceController::DoEnumerate(THidDevice* device, int index) {
    if (!OnEnumerate)
        return false;
    device->FIsEnumerated = true;
    const bool goOn = OnEnumerate(device, index);
    device->FIsEnumerated = false;
    if (!device->IsCheckedOut())
        device->CloseAllHandles();
    return goOn;
}

int THidDeviceController::Enumerate() {
    int count = 0;
    for (size_t i = 0; i < FList.size(); ++i) {
        THidDevice* d = FList[i];
        if (!d->IsPluggedIn())
            continue;
        ++count;
        if (!DoEnumerate(d, static_cast<int>(i)))
            break;
    }
    return count;
}

bool THidDeviceController::CheckThisOut(THidDevice*& HidDev, int index, bool candidate) {
    THidDevice* d = FList[static_cast<size_t>(index)];
    if (!candidate || d->IsCheckedOut())
        return false;
    HidDev = d;
    d->FIsCheckedOut = true;
    ++FNumCheckedOutDevices;
    --FNumCheckedInDevices;
    d->StartThread();
    return true;
}

template <class Test> bool THidDeviceController::CheckOutFirst(THidDevice*& HidDev, Test test) {
    HidDev = nullptr;
    for (size_t i = 0; i < FList.size(); ++i)
        if (CheckThisOut(HidDev, static_cast<int>(i), test(FList[i])))
            return true;
    return false;
}

bool THidDeviceController::CheckOut(THidDevice*& HidDev) {
    return CheckOutFirst(HidDev, [](THidDevice*) { return true; });
}

bool THidDeviceController::CheckOutByIndex(THidDevice*& HidDev, int Idx) {
    HidDev = nullptr;
    if (Idx < 0 || Idx >= static_cast<int>(FList.size()))
        return false;
    return CheckThisOut(HidDev, Idx, true);
}

bool THidDeviceController::CheckOutByID(THidDevice*& HidDev, int Vid, int Pid) {
    return CheckOutFirst(HidDev, [Vid, Pid](THidDevice* d) {
        return d->Attributes().VendorID == Vid && (d->Attributes().ProductID == Pid || Pid == -1);
    });
}

bool THidDeviceController::CheckOutByProductName(THidDevice*& HidDev, const std::u16string& name) {
    HidDev = nullptr;
    if (name.empty())
        return false;
    return CheckOutFirst(HidDev, [&name](THidDevice* d) { return d->ProductName() == name; });
}

bool THidDeviceController::CheckOutByVendorName(THidDevice*& HidDev, const std::u16string& name) {
    HidDev = nullptr;
    if (name.empty())
        return false;
    return CheckOutFirst(HidDev, [&name](THidDevice* d) { return d->VendorName() == name; });
}

bool THidDeviceController::CheckOutByClass(THidDevice*& HidDev, const std::string& name) {
    HidDev = nullptr;
    if (name.empty())
        return false;
    return CheckOutFirst(HidDev, [&name](THidDevice* d) { return d->PnPInfo()->ClassDescr() == name; });
}

bool THidDeviceController::CheckOutByCallback(THidDevice*& HidDev, THidCheckCallback check) {
    HidDev = nullptr;
    if (!check)
        return false;
    for (size_t i = 0; i < FList.size(); ++i) {
        THidDevice* d = FList[i];
        if (d->IsCheckedOut())
            continue;
        d->FIsEnumerated = true;
        const bool take = check(d);
        d->FIsEnumerated = false;
        if (CheckThisOut(HidDev, static_cast<int>(i), take))
            return true;
        d->CloseAllHandles();
    }
    return false;
}

void THidDeviceController::CheckIn(THidDevice*& HidDev) {
    if (!HidDev)
        return;
    THidDevice* d = std::exchange(HidDev, nullptr);
    d->StopThread();
    d->CloseAllHandles();
    if (d->IsPluggedIn()) {
        d->FIsCheckedOut = false;
        --FNumCheckedOutDevices;
        ++FNumCheckedInDevices;
    } else {
        delete d; // leaves the list
    }
}

template <class Test> int THidDeviceController::CountWhere(Test test) {
    int n = 0;
    for (THidDevice* d : FList)
        if (d->IsPluggedIn() && test(d))
            ++n;
    return n;
}

int THidDeviceController::CountByID(int Vid, int Pid) {
    return CountWhere([Vid, Pid](THidDevice* d) {
        return d->Attributes().VendorID == Vid && (d->Attributes().ProductID == Pid || Pid == -1);
    });
}

int THidDeviceController::CountByProductName(const std::u16string& name) {
    return CountWhere([&name](THidDevice* d) { return d->ProductName() == name; });
}

int THidDeviceController::CountByVendorName(const std::u16string& name) {
    return CountWhere([&name](THidDevice* d) { return d->VendorName() == name; });
}

int THidDeviceController::CountByClass(const std::string& name) {
    return CountWhere([&name](THidDevice* d) { return d->PnPInfo()->ClassDescr() == name; });
}

int THidDeviceController::CountByCallback(THidCheckCallback check) {
    if (!check)
        return 0;
    return CountWhere([check](THidDevice* d) {
        d->FIsEnumerated = true;
        const bool yes = check(d);
        d->FIsEnumerated = false;
        if (!d->IsCheckedOut())
            d->CloseAllHandles();
        return yes;
    });
}

std::string THidDeviceController::HidVersion() {
    // This system keeps no version resource with its HID services.
    return {};
}

void THidDeviceController::SetDevThreadSleepTime(int ms) {
    if (ms == FDevThreadSleepTime)
        return;
    for (THidDevice* d : FList)
        if (d->ThreadSleepTime() == FDevThreadSleepTime)
            d->SetThreadSleepTime(ms);
    FDevThreadSleepTime = ms;
}

void THidDeviceController::SetOnDeviceData(THidDataEvent handler) {
    if (!handler && !OnDeviceData)
        return;
    const uint64_t id = handler ? NewHandlerId() : 0;
    for (size_t i = 0; i < FList.size(); ++i)
        if (FList[i]->FDataId == FDevDataId)
            FList[i]->SetDataEvent(handler, id);
    OnDeviceData = std::move(handler);
    FDevDataId = id;
}

void THidDeviceController::SetOnDeviceDataError(THidDataErrorEvent handler) {
    if (!handler && !OnDeviceDataError)
        return;
    const uint64_t id = handler ? NewHandlerId() : 0;
    for (THidDevice* d : FList)
        if (d->FDataErrorId == FDevDataErrorId) {
            d->FDataError = handler;
            d->FDataErrorId = id;
        }
    OnDeviceDataError = std::move(handler);
    FDevDataErrorId = id;
}

void THidDeviceController::SetOnDeviceUnplug(THidPlugEvent handler) {
    if (!handler && !OnDeviceUnplug)
        return;
    const uint64_t id = handler ? NewHandlerId() : 0;
    for (THidDevice* d : FList)
        if (d->FUnplugId == FDevUnplugId) {
            d->FUnplug = handler;
            d->FUnplugId = id;
        }
    OnDeviceUnplug = std::move(handler);
    FDevUnplugId = id;
}

void THidDeviceController::SetOnDeviceChange(kv::TNotifyEvent handler) {
    if (!handler && !OnDeviceChange)
        return;
    OnDeviceChange = std::move(handler);
    if (!IsLoading())
        DeviceChange();
}
