#pragma once
// The HID device controller and what it hands out: the devices (THidDevice) with their plug-and-play
// information (THidPnPInfo) and their report reader threads (THidDeviceReadThread).
//
// Threads: everything runs on the GUI thread except a device's reader (one per checked-out device with
// a data handler) and the USB transport's worker, which calls GetCaps and WriteFile. A device keeps its
// handles under its own lock, so a handle is never closed under a write in progress and a write to a
// device that is gone fails at once. Readers hand every report to the GUI thread synchronously; a
// GUI thread that stops a reader keeps serving that reader's hand-over, so stopping never deadlocks.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/core/Properties.h"
#include "platform/sys/HidApi.h"
#include "platform/sys/Messages.h"
#include "platform/sys/Scheduler.h"
#include "platform/sys/Sync.h"
#include "platform/sys/Thread.h"

class THidDevice;
class THidDeviceController;
class THidDeviceReadThread;

using THidPlugEvent = std::function<void(THidDevice* HidDev)>;
using THidEnumerateEvent = std::function<bool(THidDevice* HidDev, int Idx)>;
using THidDataEvent =
    std::function<void(THidDevice* HidDev, uint8_t ReportID, const uint8_t* Data, uint16_t Size)>;
using THidDataErrorEvent = std::function<void(THidDevice* HidDev, uint32_t Error)>;
using THidCheckCallback = bool (*)(THidDevice* HidDev);

enum class THidOpenExMode { omhRead, omhWrite };
using TPhysicalDescriptor = std::vector<uint16_t>;

class EControllerError : public kv::EKvError {
public:
    using kv::EKvError::EKvError;
};
class EHidClientError : public kv::EKvError {
public:
    using kv::EKvError::EKvError;
};

// HID status texts: "HID Error: ..." for a failure status of the HID facility, else empty.
std::string HidErrorString(kv::sys::NTSTATUS status);
// Raises EHidClientError with HidErrorString(status) when that is not empty.
void HidError(kv::sys::NTSTATUS status);
// HidError for anything but success; the status.
kv::sys::NTSTATUS HidCheck(kv::sys::NTSTATUS status);

// What the device-installation service says about one device interface.
class THidPnPInfo : public kv::TObject {
public:
    THidPnPInfo(kv::sys::HDEVINFO set, const kv::sys::SP_DEVINFO_DATA& device, const std::string& devicePath);

    uint32_t DeviceID() const { return FDeviceID; }
    const std::string& DevicePath() const { return FDevicePath; }
    uint32_t Capabilities() const { return FCapabilities; }
    const std::string& ClassDescr() const { return FClassDescr; }
    const std::string& ClassGUID() const { return FClassGUID; }
    const std::vector<std::string>& CompatibleIDs() const { return FCompatibleIDs; }
    uint32_t ConfigFlags() const { return FConfigFlags; }
    const std::string& DeviceDescr() const { return FDeviceDescr; }
    const std::string& Driver() const { return FDriver; }
    const std::string& FriendlyName() const { return FFriendlyName; }
    const std::vector<std::string>& HardwareID() const { return FHardwareID; }
    const std::vector<std::string>& LowerFilters() const { return FLowerFilters; }
    const std::string& Mfg() const { return FMfg; }
    const std::vector<std::string>& UpperFilters() const { return FUpperFilters; }
    const std::string& Address() const { return FAddress; }
    uint32_t BusNumber() const { return FBusNumber; }
    const std::string& BusType() const { return FBusType; }
    const std::string& Characteristics() const { return FCharacteristics; }
    uint32_t DevType() const { return FDevType; }
    const std::string& EnumeratorName() const { return FEnumeratorName; }
    uint32_t Exclusive() const { return FExclusive; }
    uint32_t LegacyBusType() const { return FLegacyBusType; }
    const std::string& LocationInfo() const { return FLocationInfo; }
    const std::string& PhysDevObjName() const { return FPhysDevObjName; }
    const std::string& SecuritySDS() const { return FSecuritySDS; }
    const std::string& Service() const { return FService; }
    uint32_t UINumber() const { return FUINumber; }
    const std::string& UINumberFormat() const { return FUINumberFormat; }

private:
    kv::sys::SP_DEVINFO_DATA FDevice{};
    uint32_t FDeviceID = 0;
    std::string FDevicePath;
    uint32_t FCapabilities = 0;
    std::string FClassDescr, FClassGUID;
    std::vector<std::string> FCompatibleIDs;
    uint32_t FConfigFlags = 0;
    std::string FDeviceDescr, FDriver, FFriendlyName;
    std::vector<std::string> FHardwareID, FLowerFilters;
    std::string FMfg;
    std::vector<std::string> FUpperFilters;
    std::string FAddress;
    uint32_t FBusNumber = 0;
    std::string FBusType, FCharacteristics;
    uint32_t FDevType = 0;
    std::string FEnumeratorName;
    uint32_t FExclusive = 0, FLegacyBusType = 0;
    std::string FLocationInfo, FPhysDevObjName, FSecuritySDS, FService;
    uint32_t FUINumber = 0;
    std::string FUINumberFormat;
};

// The background reader of one checked-out device: one overlapped read pending at a time, waited for
// in alertable sleeps so that a stop is noticed, each report handed to the GUI thread and waited for.
class THidDeviceReadThread : public TMessageSource {
public:
    // Always raises EControllerError: readers are made by their device.
    explicit THidDeviceReadThread(bool createSuspended);
    // Suspended; Resume starts it.
    THidDeviceReadThread(THidDevice* device, bool createSuspended);
    ~THidDeviceReadThread() override;

    void Resume();
    // Asks the body to end; a reader waiting for a report wakes at once.
    void Terminate() {
        FTerminated = true;
        FStop.Set();
    }
    bool Terminated() const { return FTerminated.load(); }
    // Waits for the body to end; on the GUI thread it keeps serving the reader's hand-over meanwhile.
    void WaitFor();
    // Readers that exist, in the whole process (tests check that none outlives its device).
    static int LiveCount() { return liveCount_.load(); }

    uint32_t FErr = 0;
    THidDevice* Device = nullptr;
    uint32_t NumBytesRead = 0;
    std::vector<uint8_t> Report;

protected:
    void Execute();
    void DoData(const std::vector<uint8_t>& report);
    void DoDataError(uint32_t error);

private:
    class Window : public TMessageTarget {
    public:
        explicit Window(THidDeviceReadThread* owner) : owner_(owner) {}
        void Dispatch(TMessage& msg) override;

    private:
        THidDeviceReadThread* owner_;
    };

    bool HandOver(TMessage& msg);

    static inline std::atomic<int> liveCount_{0};
    std::atomic<bool> FTerminated{false};
    TEvent FStop;
    TScheduler* FScheduler = nullptr; // the controller's: its waits and sleep periods run on it
    std::unique_ptr<Window> FWindow;  // made on the GUI thread
    TThread FThread;
};

class THidDevice : public kv::TObject {
public:
    // Always raises EControllerError: devices are made by their controller.
    THidDevice();
    // Raises EControllerError "device cannot be opened" / "device cannot be identified". Takes the
    // PnP information (it is freed with the device, also when construction fails).
    THidDevice(THidPnPInfo* pnpInfo, THidDeviceController* controller);
    ~THidDevice() override;

    bool IsAccessible() const;
    bool CheckOut();

    // Handles.
    bool OpenFile();
    bool OpenFileEx(THidOpenExMode mode);
    void CloseFile();
    void CloseFileEx(THidOpenExMode mode);
    bool CancelIO(THidOpenExMode mode);
    bool FlushQueue();

    // Transfers.
    bool WriteFile(const void* report, uint32_t count, uint32_t& written);
    bool ReadFile(void* report, uint32_t count, uint32_t& read);
    bool ReadFileEx(void* report, uint32_t count, kv::sys::LPOVERLAPPED_COMPLETION_ROUTINE routine);
    bool WriteFileEx(const void* report, uint32_t count, kv::sys::LPOVERLAPPED_COMPLETION_ROUTINE routine);
    bool GetFeature(void* report, uint32_t size);
    bool SetFeature(void* report, uint32_t size);
    bool GetInputReport(void* report, uint32_t size);
    bool SetOutputReport(void* report, uint32_t size);
    bool DeviceIoControl(uint32_t code, void* in, uint32_t inSize, void* out, uint32_t outSize,
                         uint32_t& bytesReturned);
    uint32_t HidOverlappedReadResult();
    uint32_t HidOverlappedWriteResult();

    // Reader control.
    void SetOnData(THidDataEvent handler);
    void StartThread();
    void StopThread();
    int ThreadSleepTime() const { return FThreadSleepTime.load(); }
    // The descriptor that the pending overlapped read completes from; -1 when none.
    int ReadDescriptor() const;
    void SetThreadSleepTime(int ms);

    // Queries.
    kv::sys::HIDP_CAPS GetCaps();
    kv::sys::PHIDP_PREPARSED_DATA GetPreparsedData();
    kv::sys::HIDD_CONFIGURATION Configuration();
    void SetConfiguration(const kv::sys::HIDD_CONFIGURATION& config);
    std::u16string VendorName();
    std::u16string ProductName();
    std::u16string SerialNumber();
    std::vector<std::string> LanguageStrings();
    TPhysicalDescriptor PhysicalDescriptor();
    std::u16string GetDeviceStringUnicode(uint8_t index);
    std::string GetDeviceStringAnsi(uint8_t index);
    kv::sys::HIDP_LINK_COLLECTION_NODE GetLinkCollectionNode(uint16_t index);

    // Parsing wrappers, with the parameter properties below.
    kv::sys::NTSTATUS GetButtonCaps(kv::sys::HIDP_BUTTON_CAPS* caps, kv::sys::USHORT& count);
    kv::sys::NTSTATUS GetValueCaps(kv::sys::HIDP_VALUE_CAPS* caps, kv::sys::USHORT& count);
    kv::sys::NTSTATUS GetSpecificButtonCaps(kv::sys::HIDP_BUTTON_CAPS* caps, kv::sys::USHORT& count);
    kv::sys::NTSTATUS GetSpecificValueCaps(kv::sys::HIDP_VALUE_CAPS* caps, kv::sys::USHORT& count);
    kv::sys::NTSTATUS GetData(kv::sys::HIDP_DATA* list, kv::sys::ULONG& length, char* report,
                              kv::sys::ULONG size);
    kv::sys::NTSTATUS SetData(kv::sys::HIDP_DATA* list, kv::sys::ULONG& length, char* report,
                              kv::sys::ULONG size);
    kv::sys::NTSTATUS GetUsages(kv::sys::USAGE* list, kv::sys::ULONG& length, char* report,
                                kv::sys::ULONG size);
    kv::sys::NTSTATUS GetButtons(kv::sys::USAGE* list, kv::sys::ULONG& length, char* report,
                                 kv::sys::ULONG size);
    kv::sys::NTSTATUS SetUsages(kv::sys::USAGE* list, kv::sys::ULONG& length, char* report,
                                kv::sys::ULONG size);
    kv::sys::NTSTATUS SetButtons(kv::sys::USAGE* list, kv::sys::ULONG& length, char* report,
                                 kv::sys::ULONG size);
    kv::sys::NTSTATUS UnsetUsages(kv::sys::USAGE* list, kv::sys::ULONG& length, char* report,
                                  kv::sys::ULONG size);
    kv::sys::NTSTATUS UnsetButtons(kv::sys::USAGE* list, kv::sys::ULONG& length, char* report,
                                   kv::sys::ULONG size);
    kv::sys::NTSTATUS GetUsagesEx(kv::sys::USAGE_AND_PAGE* list, kv::sys::ULONG& length, char* report,
                                  kv::sys::ULONG size);
    kv::sys::NTSTATUS GetButtonsEx(kv::sys::USAGE_AND_PAGE* list, kv::sys::ULONG& length, char* report,
                                   kv::sys::ULONG size);
    kv::sys::NTSTATUS GetUsageValue(kv::sys::ULONG& value, char* report, kv::sys::ULONG size);
    kv::sys::NTSTATUS GetScaledUsageValue(kv::sys::LONG& value, char* report, kv::sys::ULONG size);
    kv::sys::NTSTATUS GetUsageValueArray(char* buffer, kv::sys::USHORT bufferLength, char* report,
                                         kv::sys::ULONG size);
    kv::sys::NTSTATUS SetUsageValue(kv::sys::ULONG value, char* report, kv::sys::ULONG size);
    kv::sys::NTSTATUS SetScaledUsageValue(kv::sys::LONG value, char* report, kv::sys::ULONG size);
    kv::sys::NTSTATUS SetUsageValueArray(char* buffer, kv::sys::USHORT bufferLength, char* report,
                                         kv::sys::ULONG size);
    kv::sys::NTSTATUS GetExtendedAttributes(kv::sys::HIDP_REPORT_TYPE reportType, kv::sys::USHORT dataIndex,
                                            kv::sys::HIDP_EXTENDED_ATTRIBUTES* attributes,
                                            kv::sys::ULONG& length);
    kv::sys::NTSTATUS InitializeReportForID(kv::sys::HIDP_REPORT_TYPE reportType, uint8_t reportId,
                                            char* report, kv::sys::ULONG size);

    // Properties.
    const kv::sys::HIDD_ATTRIBUTES& Attributes() const { return FAttributes; }
    kv::sys::HIDP_CAPS Caps() { return GetCaps(); }
    bool HasReadWriteAccess() const { return FHasReadWriteAccess.load(); }
    kv::sys::HANDLE HidFileHandle();
    kv::sys::HANDLE HidOverlappedRead();
    kv::sys::HANDLE HidOverlappedWrite();
    bool IsCheckedOut() const { return FIsCheckedOut.load(); }
    bool IsPluggedIn() const { return FIsPluggedIn.load(); }
    bool IsEnumerated() const { return FIsEnumerated.load(); }
    uint32_t MaxButtonListLength() const { return FMaxButtonListLength; }
    uint32_t MaxDataListLength() const { return FMaxDataListLength; }
    uint32_t MaxUsageListLength() const { return FMaxUsageListLength; }
    THidPnPInfo* PnPInfo() const { return FPnPInfo; }
    THidDeviceController* Controller() const { return FMyController; }
    int NumInputBuffers() const { return FNumInputBuffers; }
    void SetNumInputBuffers(int count);
    int NumOverlappedBuffers() const { return FNumOverlappedBuffers; }
    void SetNumOverlappedBuffers(int count);
    uint32_t ReportTypeParam() const { return FReportTypeParam; }
    void SetReportTypeParam(uint32_t type);
    uint16_t UsagePageParam() const { return FUsagePageParam; }
    void SetUsagePageParam(uint16_t page);
    uint16_t LinkCollectionParam() const { return FLinkCollectionParam; }
    void SetLinkCollectionParam(uint16_t collection) { FLinkCollectionParam = collection; }
    uint16_t UsageParam() const { return FUsageParam; }
    void SetUsageParam(uint16_t usage) { FUsageParam = usage; }
    int Tag() const { return FTag; }
    void SetTag(int tag) { FTag = tag; }
    const THidDataEvent& OnData() const { return FData; }
    const THidDataErrorEvent& OnDataError() const { return FDataError; }
    void SetOnDataError(THidDataErrorEvent handler);
    const THidPlugEvent& OnUnplug() const { return FUnplug; }
    void SetOnUnplug(THidPlugEvent handler);

    // Whether a reader is running (for the controller and tests).
    bool HasReader() const { return FDataThread != nullptr; }

private:
    friend class THidDeviceController;
    friend class THidDeviceReadThread;

    // Handlers carry an identity, so that the controller can tell which devices still have its own.
    void SetDataEvent(THidDataEvent handler, uint64_t id);
    void DoUnplug();
    bool OpenPlainLocked();
    void CloseFileLocked();
    void CloseFileExLocked(THidOpenExMode mode);
    void CloseAllHandles();
    std::u16string ReadCachedString(std::u16string& cache, kv::sys::PFN_HidD_GetProductString service);
    int LanguageIds(std::vector<uint16_t>& ids);
    void RecomputeListLengths();
    kv::sys::PHIDP_PREPARSED_DATA PreparsedNoFetch();
    bool Parseable() { return IsAccessible() && GetPreparsedData() != nullptr; }

    THidDeviceController* FMyController = nullptr;
    std::atomic<bool> FIsPluggedIn{true};
    std::atomic<bool> FIsCheckedOut{false};
    std::atomic<bool> FIsEnumerated{false};
    mutable std::recursive_mutex FLock; // the three handles, their records and the preparsed data
    kv::sys::HANDLE FHidFileHandle = kv::sys::INVALID_HANDLE_VALUE;
    kv::sys::HANDLE FHidOverlappedRead = kv::sys::INVALID_HANDLE_VALUE;
    kv::sys::HANDLE FHidOverlappedWrite = kv::sys::INVALID_HANDLE_VALUE;
    kv::sys::OVERLAPPED FOvlRead{};
    kv::sys::OVERLAPPED FOvlWrite{};
    kv::sys::HIDD_ATTRIBUTES FAttributes{};
    THidPnPInfo* FPnPInfo = nullptr;
    std::u16string FVendorName, FProductName, FSerialNumber;
    TPhysicalDescriptor FPhysicalDescriptor;
    kv::sys::PHIDP_PREPARSED_DATA FPreparsedData = nullptr;
    std::vector<std::string> FLanguageStrings;
    int FNumInputBuffers = 0;
    int FNumOverlappedBuffers = 0;
    std::atomic<int> FThreadSleepTime{100};
    std::vector<kv::sys::HIDP_LINK_COLLECTION_NODE> FLinkCollection;
    uint32_t FMaxDataListLength = 0, FMaxUsageListLength = 0, FMaxButtonListLength = 0;
    uint32_t FReportTypeParam = 0;
    uint16_t FUsagePageParam = 0, FLinkCollectionParam = 0, FUsageParam = 0;
    THidDataEvent FData;
    THidDataErrorEvent FDataError;
    THidPlugEvent FUnplug;
    uint64_t FDataId = 0, FDataErrorId = 0, FUnplugId = 0;
    std::atomic<bool> FHasReadWriteAccess{false};
    std::unique_ptr<THidDeviceReadThread> FDataThread;
    int FTag = 0;
};

class THidDeviceController : public kv::TComponent {
    KV_CLASS(THidDeviceController)
public:
    explicit THidDeviceController(kv::TComponent* owner);
    ~THidDeviceController() override;

    // Rescans and diffs; raises OnDeviceChange when anything changed (and always before the first
    // notification from the system).
    void DeviceChange();
    // Offers every plugged-in device to OnEnumerate; the number of handler calls.
    int Enumerate();

    bool CheckOut(THidDevice*& HidDev);
    bool CheckOutByIndex(THidDevice*& HidDev, int Idx);
    bool CheckOutByID(THidDevice*& HidDev, int Vid, int Pid);
    bool CheckOutByProductName(THidDevice*& HidDev, const std::u16string& name);
    bool CheckOutByVendorName(THidDevice*& HidDev, const std::u16string& name);
    bool CheckOutByClass(THidDevice*& HidDev, const std::string& name);
    bool CheckOutByCallback(THidDevice*& HidDev, THidCheckCallback check);
    // Gives a device back; an unplugged one is destroyed. HidDev becomes null.
    void CheckIn(THidDevice*& HidDev);
    int CountByID(int Vid, int Pid);
    int CountByProductName(const std::u16string& name);
    int CountByVendorName(const std::u16string& name);
    int CountByClass(const std::string& name);
    int CountByCallback(THidCheckCallback check);
    // File version of the system's HID library; empty where there is none.
    static std::string HidVersion();
    // The notification window's procedure.
    void EventPipe(TMessage& msg);

    int DevThreadSleepTime() const { return FDevThreadSleepTime; }
    void SetDevThreadSleepTime(int ms);
    // The clock of the readers of devices checked out from now on (null: the real one).
    void SetScheduler(TScheduler* scheduler) { FScheduler = scheduler; }
    TScheduler* Scheduler() const { return FScheduler; }
    std::string Version() const { return FVersion; }
    void SetVersion(const std::string& text) { FDummy = text; }
    const kv::sys::GUID& HidGuid() const { return FHidGuid; }
    int NumCheckedInDevices() const { return FNumCheckedInDevices; }
    int NumCheckedOutDevices() const { return FNumCheckedOutDevices; }
    int NumUnpluggedDevices() const { return FNumUnpluggedDevices; }
    // The listed devices, in scan order (for the owner and tests).
    const std::vector<THidDevice*>& Devices() const { return FList; }

    // Setters with the propagation rules; the published fields below are what a layout binds
    // (before any device exists).
    void SetOnDeviceChange(kv::TNotifyEvent handler);
    void SetOnDeviceData(THidDataEvent handler);
    void SetOnDeviceDataError(THidDataErrorEvent handler);
    void SetOnDeviceUnplug(THidPlugEvent handler);

    THidPlugEvent OnArrival;
    THidEnumerateEvent OnEnumerate;
    kv::TNotifyEvent OnDeviceChange;
    THidDataEvent OnDeviceData;
    THidDataErrorEvent OnDeviceDataError;
    THidPlugEvent OnDeviceUnplug;
    THidPlugEvent OnRemoval;

private:
    friend class THidDevice;

    class NotifyWindow : public TMessageTarget {
    public:
        explicit NotifyWindow(THidDeviceController* owner) : owner_(owner) {}
        void Dispatch(TMessage& msg) override { owner_->EventPipe(msg); }

    private:
        THidDeviceController* owner_;
    };

    std::vector<THidDevice*> Scan();
    bool DoEnumerate(THidDevice* device, int index);
    bool CheckThisOut(THidDevice*& HidDev, int index, bool candidate);
    template <class Test> bool CheckOutFirst(THidDevice*& HidDev, Test test);
    template <class Test> int CountWhere(Test test);
    int IndexOf(const THidDevice* device) const;
    void RemoveFromList(THidDevice* device);

    kv::sys::GUID FHidGuid{};
    int FDevThreadSleepTime = 100;
    TScheduler* FScheduler = nullptr;
    std::string FVersion = "1.0.34";
    std::string FDummy;
    std::vector<THidDevice*> FList;
    int FNumCheckedInDevices = 0;
    int FNumCheckedOutDevices = 0;
    int FNumUnpluggedDevices = 0;
    bool FInDeviceChange = false;
    intptr_t FLParam = 0;
    std::unique_ptr<NotifyWindow> FHWnd;
    bool FSetupApiTaken = false; // this controller holds a reference of the device-installation binding
    // Identities of the handlers the controller hands to its devices.
    uint64_t FDevDataId = 0, FDevDataErrorId = 0, FDevUnplugId = 0;
};

// Makes THidDeviceController known to the layout loader by its class name.
void RegisterHidClasses();
