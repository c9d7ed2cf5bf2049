#pragma once
// The services under the HID code: record types, status and error codes, and the entry points of the
// three run-time libraries "HID.dll", "SetupApi.dll" and "kernel32.dll" (bound by name through
// platform/sys/Modules.h), implemented on Linux hidraw.
//
// Contract:
// - Handles (files, device sets) are HANDLE values; INVALID_HANDLE_VALUE (-1) means none or failure.
//   Handle values are never reused within a process.
// - Every entry point sets the calling thread's last error (LastError(), also exported as
//   "GetLastError") when it fails.
// - Device discovery reads <root>/sys/class/hidraw without opening any device; device paths are
//   "<root>/dev/hidrawN". <root> is "/" unless SetHidRoot chose another (tests/support/HidFake.h).
// - Device identity: SP_DEVINFO_DATA::DevInst is an instance number that stays the same while a device
//   node stays plugged in, and is new after it was replugged.
// - Report lengths in HIDP_CAPS count the report ID byte. Reads from a device without numbered reports
//   get report ID 0 put in front; writes always start with the report ID (0 when unnumbered).
// - Overlapped reads (ReadFileEx) complete inside an alertable SleepEx of the thread that issued them:
//   there the report is read, the OVERLAPPED is updated and the completion routine runs, and SleepEx
//   returns WAIT_IO_COMPLETION. CancelIo cancels the calling thread's requests on a handle; once it
//   returns nothing is written into their buffers any more. CloseHandle completes pending requests
//   with ERROR_OPERATION_ABORTED and no bytes.
// - Device plug and unplug reach every registered target (RegisterDeviceChangeTarget) as a posted
//   WM_DEVICECHANGE message with wParam DBT_DEVNODES_CHANGED and lParam 0, handled on the GUI thread.
// - Entry points the program does not use are exported all the same (so that binding all of them
//   succeeds) and fail: FALSE/0 (or an invalid handle, or HIDP_STATUS_NOT_IMPLEMENTED for the parsing
//   services) with ERROR_NOT_SUPPORTED.
// - Record layouts are those of the old 32-bit system (sizes in the static_asserts below), so size
//   fields hold the values callers always set: 12, 28 and 5 (ANSI interface detail).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class TMessageTarget;

namespace kv::sys {

// ---- basic types -------------------------------------------------------------------------------------

using BOOL = std::int32_t; // TRUE 1, FALSE 0
using BOOLEAN = std::uint8_t;
using UCHAR = std::uint8_t;
using USHORT = std::uint16_t;
using ULONG = std::uint32_t;
using LONG = std::int32_t;
using DWORD = std::uint32_t;
using WCHAR = char16_t; // UTF-16, as the wide-text services use it
using USAGE = std::uint16_t;
using NTSTATUS = std::uint32_t; // HID status values
using HANDLE = std::intptr_t;
using HDEVINFO = HANDLE;
using HWND = void*;
using LCID = std::uint32_t;
using LCTYPE = std::uint32_t;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
inline constexpr HANDLE INVALID_HANDLE_VALUE = -1;

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
inline bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i])
            return false;
    return true;
}
// The HID device-interface class, {4D1E55B2-F16F-11CF-88CB-001111000030}.
inline constexpr GUID HID_INTERFACE_GUID = {
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

// ---- error codes (LastError) ---------------------------------------------------------------------------

inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_INVALID_DATA = 13;
inline constexpr DWORD ERROR_GEN_FAILURE = 31;
inline constexpr DWORD ERROR_NOT_SUPPORTED = 50;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
inline constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
inline constexpr DWORD ERROR_NO_MORE_ITEMS = 259;
inline constexpr DWORD ERROR_OPERATION_ABORTED = 995;
inline constexpr DWORD ERROR_IO_INCOMPLETE = 996;
inline constexpr DWORD ERROR_IO_PENDING = 997;
inline constexpr DWORD ERROR_DEVICE_NOT_CONNECTED = 1167;
inline constexpr DWORD ERROR_TIMEOUT = 1460;
inline constexpr DWORD ERROR_INVALID_USER_BUFFER = 1784;

DWORD LastError();
void SetLastErrorCode(DWORD code);
// The system's text for an error code ("Access is denied." style, English); "Error %u." for others.
std::string ErrorText(DWORD code);
// Text of the device strings and paths: UTF-8 to UTF-16 and back (invalid sequences become U+FFFD).
std::u16string Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::u16string& text);

// ---- kernel services ("kernel32.dll"; also callable directly) ---------------------------------------

inline constexpr DWORD GENERIC_READ = 0x80000000u;
inline constexpr DWORD GENERIC_WRITE = 0x40000000u;
inline constexpr DWORD FILE_SHARE_READ = 1;
inline constexpr DWORD FILE_SHARE_WRITE = 2;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD FILE_FLAG_OVERLAPPED = 0x40000000u;
inline constexpr DWORD WAIT_IO_COMPLETION = 192; // SleepEx: ended by a completion routine
inline constexpr DWORD STATUS_PENDING = 0x103;   // OVERLAPPED::Internal while a request is pending

struct OVERLAPPED {
    std::uintptr_t Internal;     // ERROR_SUCCESS or an error code once done; STATUS_PENDING before
    std::uintptr_t InternalHigh; // bytes transferred
    DWORD Offset;
    DWORD OffsetHigh;
    void* hEvent; // free for the caller with ReadFileEx/WriteFileEx
};

using LPOVERLAPPED_COMPLETION_ROUTINE = void (*)(DWORD errorCode, DWORD bytesTransferred, OVERLAPPED* ovl);

// access 0 opens for queries only (attributes, strings, descriptors); GENERIC_READ|GENERIC_WRITE for
// reports. FILE_FLAG_OVERLAPPED makes the handle take ReadFileEx/WriteFileEx. Security and template
// are ignored. Fails with ERROR_FILE_NOT_FOUND or ERROR_ACCESS_DENIED.
HANDLE CreateFileW(const WCHAR* path, DWORD access, DWORD share, void* security, DWORD disposition,
                   DWORD flags, HANDLE templateFile);
HANDLE CreateFileA(const char* path, DWORD access, DWORD share, void* security, DWORD disposition,
                   DWORD flags, HANDLE templateFile);
BOOL CloseHandle(HANDLE handle);
// Synchronous transfers (ovl must be null). ReadFile waits for the next input report; WriteFile gives
// up with ERROR_TIMEOUT when the device takes no report for 2 seconds.
BOOL ReadFile(HANDLE handle, void* buffer, DWORD size, DWORD* bytesRead, OVERLAPPED* ovl);
BOOL WriteFile(HANDLE handle, const void* buffer, DWORD size, DWORD* bytesWritten, OVERLAPPED* ovl);
BOOL ReadFileEx(HANDLE handle, void* buffer, DWORD size, OVERLAPPED* ovl,
                LPOVERLAPPED_COMPLETION_ROUTINE routine);
BOOL WriteFileEx(HANDLE handle, const void* buffer, DWORD size, OVERLAPPED* ovl,
                 LPOVERLAPPED_COMPLETION_ROUTINE routine);
// wait FALSE: ERROR_IO_INCOMPLETE while pending. wait TRUE: completes the request if needed.
BOOL GetOverlappedResult(HANDLE handle, OVERLAPPED* ovl, DWORD* bytes, BOOL wait);
BOOL CancelIo(HANDLE handle);
// alertable: runs the calling thread's completions; WAIT_IO_COMPLETION when any ran, else 0.
DWORD SleepEx(DWORD milliseconds, BOOL alertable);
// Not supported on this system: FALSE, ERROR_NOT_SUPPORTED.
BOOL DeviceIoControl(HANDLE handle, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                     DWORD* bytesReturned, OVERLAPPED* ovl);
DWORD GetLastError();
void SetLastError(DWORD code);

struct OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize; // 276
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
};
inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
// Reports an NT-family system, version 5.1, so that every version-dependent HID service is offered.
BOOL GetVersionExW(OSVERSIONINFOW* info);

inline constexpr LCTYPE LOCALE_SLANGUAGE = 2;
// Language names for a few common language IDs; 0 (ERROR_INVALID_PARAMETER) for others.
int GetLocaleInfoW(LCID locale, LCTYPE type, WCHAR* buffer, int size);

// ---- HID class services ("HID.dll") --------------------------------------------------------------------

struct HIDP_PREPARSED_DATA; // opaque
using PHIDP_PREPARSED_DATA = HIDP_PREPARSED_DATA*;

using HIDP_REPORT_TYPE = ULONG;
inline constexpr HIDP_REPORT_TYPE HidP_Input = 0;
inline constexpr HIDP_REPORT_TYPE HidP_Output = 1;
inline constexpr HIDP_REPORT_TYPE HidP_Feature = 2;

using HIDP_KEYBOARD_DIRECTION = ULONG;
inline constexpr HIDP_KEYBOARD_DIRECTION HidP_Keyboard_Break = 0;
inline constexpr HIDP_KEYBOARD_DIRECTION HidP_Keyboard_Make = 1;

// HID status values: facility 0x11.
inline constexpr NTSTATUS HIDP_STATUS_SUCCESS = 0x00110000u;
inline constexpr NTSTATUS HIDP_STATUS_NULL = 0x80110001u;
inline constexpr NTSTATUS HIDP_STATUS_INVALID_PREPARSED_DATA = 0xC0110001u;
inline constexpr NTSTATUS HIDP_STATUS_INVALID_REPORT_TYPE = 0xC0110002u;
inline constexpr NTSTATUS HIDP_STATUS_INVALID_REPORT_LENGTH = 0xC0110003u;
inline constexpr NTSTATUS HIDP_STATUS_USAGE_NOT_FOUND = 0xC0110004u;
inline constexpr NTSTATUS HIDP_STATUS_VALUE_OUT_OF_RANGE = 0xC0110005u;
inline constexpr NTSTATUS HIDP_STATUS_BAD_LOG_PHY_VALUES = 0xC0110006u;
inline constexpr NTSTATUS HIDP_STATUS_BUFFER_TOO_SMALL = 0xC0110007u;
inline constexpr NTSTATUS HIDP_STATUS_INTERNAL_ERROR = 0xC0110008u;
inline constexpr NTSTATUS HIDP_STATUS_I8042_TRANS_UNKNOWN = 0xC0110009u;
inline constexpr NTSTATUS HIDP_STATUS_INCOMPATIBLE_REPORT_ID = 0xC011000Au;
inline constexpr NTSTATUS HIDP_STATUS_NOT_VALUE_ARRAY = 0xC011000Bu;
inline constexpr NTSTATUS HIDP_STATUS_IS_VALUE_ARRAY = 0xC011000Cu;
inline constexpr NTSTATUS HIDP_STATUS_DATA_INDEX_NOT_FOUND = 0xC011000Du;
inline constexpr NTSTATUS HIDP_STATUS_DATA_INDEX_OUT_OF_RANGE = 0xC011000Eu;
inline constexpr NTSTATUS HIDP_STATUS_BUTTON_NOT_PRESSED = 0xC011000Fu;
inline constexpr NTSTATUS HIDP_STATUS_REPORT_DOES_NOT_EXIST = 0xC0110010u;
inline constexpr NTSTATUS HIDP_STATUS_NOT_IMPLEMENTED = 0xC0110020u;

struct HIDD_ATTRIBUTES {
    ULONG Size; // set to sizeof (12) before the call
    USHORT VendorID;
    USHORT ProductID;
    USHORT VersionNumber;
};

struct HIDD_CONFIGURATION {
    std::uint32_t cookie;
    ULONG size;
    ULONG RingBufferSize;
};

struct HIDP_CAPS {
    USAGE Usage;
    USAGE UsagePage;
    USHORT InputReportByteLength; // report ID byte included; 0 when the device has no such reports
    USHORT OutputReportByteLength;
    USHORT FeatureReportByteLength;
    USHORT Reserved[17];
    USHORT NumberLinkCollectionNodes;
    USHORT NumberInputButtonCaps;
    USHORT NumberInputValueCaps;
    USHORT NumberInputDataIndices;
    USHORT NumberOutputButtonCaps;
    USHORT NumberOutputValueCaps;
    USHORT NumberOutputDataIndices;
    USHORT NumberFeatureButtonCaps;
    USHORT NumberFeatureValueCaps;
    USHORT NumberFeatureDataIndices;
};

struct HIDP_CAPS_RANGE {
    USAGE UsageMin, UsageMax;
    USHORT StringMin, StringMax;
    USHORT DesignatorMin, DesignatorMax;
    USHORT DataIndexMin, DataIndexMax;
};
struct HIDP_CAPS_NOT_RANGE {
    USAGE Usage, Reserved1;
    USHORT StringIndex, Reserved2;
    USHORT DesignatorIndex, Reserved3;
    USHORT DataIndex, Reserved4;
};

struct HIDP_BUTTON_CAPS {
    USAGE UsagePage;
    UCHAR ReportID;
    BOOLEAN IsAlias;
    USHORT BitField;
    USHORT LinkCollection;
    USAGE LinkUsage;
    USAGE LinkUsagePage;
    BOOLEAN IsRange;
    BOOLEAN IsStringRange;
    BOOLEAN IsDesignatorRange;
    BOOLEAN IsAbsolute;
    ULONG Reserved[10];
    union {
        HIDP_CAPS_RANGE Range;
        HIDP_CAPS_NOT_RANGE NotRange;
    };
};

struct HIDP_VALUE_CAPS {
    USAGE UsagePage;
    UCHAR ReportID;
    BOOLEAN IsAlias;
    USHORT BitField;
    USHORT LinkCollection;
    USAGE LinkUsage;
    USAGE LinkUsagePage;
    BOOLEAN IsRange;
    BOOLEAN IsStringRange;
    BOOLEAN IsDesignatorRange;
    BOOLEAN IsAbsolute;
    BOOLEAN HasNull;
    UCHAR Reserved;
    USHORT BitSize;
    USHORT ReportCount;
    USHORT Reserved2[5];
    ULONG UnitsExp;
    ULONG Units;
    LONG LogicalMin, LogicalMax;
    LONG PhysicalMin, PhysicalMax;
    union {
        HIDP_CAPS_RANGE Range;
        HIDP_CAPS_NOT_RANGE NotRange;
    };
};

struct HIDP_DATA {
    USHORT DataIndex;
    USHORT Reserved;
    union {
        ULONG RawValue;
        BOOLEAN On;
    };
};

struct USAGE_AND_PAGE {
    USAGE Usage;
    USAGE UsagePage;
};

struct HIDP_LINK_COLLECTION_NODE {
    USAGE LinkUsage;
    USAGE LinkUsagePage;
    USHORT Parent;
    USHORT NumberOfChildren;
    USHORT NextSibling;
    USHORT FirstChild;
    ULONG CollectionType : 8;
    ULONG IsAlias : 1;
    ULONG Reserved : 23;
    std::uint32_t UserContext;
};

struct HIDP_UNKNOWN_TOKEN {
    UCHAR Token;
    UCHAR Reserved[3];
    ULONG BitField;
};

struct HIDP_EXTENDED_ATTRIBUTES {
    UCHAR NumGlobalUnknowns;
    UCHAR Reserved[3];
    std::uint32_t GlobalUnknowns; // not used here
    ULONG Data[1];
};

struct HIDP_KEYBOARD_MODIFIER_STATE {
    ULONG ul;
};
using PHIDP_INSERT_SCANCODES = BOOLEAN (*)(void* context, char* newScanCodes, ULONG length);

static_assert(sizeof(GUID) == 16);
static_assert(sizeof(HIDD_ATTRIBUTES) == 12);
static_assert(sizeof(HIDD_CONFIGURATION) == 12);
static_assert(sizeof(HIDP_CAPS) == 64);
static_assert(sizeof(HIDP_BUTTON_CAPS) == 72);
static_assert(sizeof(HIDP_VALUE_CAPS) == 72);
static_assert(sizeof(HIDP_DATA) == 8);
static_assert(sizeof(USAGE_AND_PAGE) == 4);
static_assert(sizeof(HIDP_LINK_COLLECTION_NODE) == 20);

// Entry-point types of "HID.dll", one per export name (each named PFN_<export>).
// Implemented: HidD_GetHidGuid, HidD_GetAttributes, HidD_GetPreparsedData, HidD_FreePreparsedData,
// HidD_GetManufacturerString, HidD_GetProductString, HidD_GetSerialNumberString, HidD_GetIndexedString
// (index 0 only: the language list), HidD_GetNumInputBuffers, HidD_SetNumInputBuffers, HidD_FlushQueue,
// HidD_GetFeature, HidD_SetFeature, HidD_GetInputReport, HidD_SetOutputReport (the last four on kernel
// hidraw devices only), HidD_GetConfiguration, HidP_GetCaps, HidP_GetLinkCollectionNodes,
// HidP_MaxDataListLength, HidP_MaxUsageListLength. The others fail (HidD_: FALSE with
// ERROR_NOT_SUPPORTED; HidP_: HIDP_STATUS_NOT_IMPLEMENTED; HidD_Hello: 0).
// Strings come from sysfs; a string the device does not have fails (ERROR_INVALID_PARAMETER).
using PFN_HidD_Hello = ULONG (*)(char* buffer, ULONG bufferLength);
using PFN_HidD_GetHidGuid = void (*)(GUID* guid);
using PFN_HidD_GetPreparsedData = BOOLEAN (*)(HANDLE device, PHIDP_PREPARSED_DATA* data);
using PFN_HidD_FreePreparsedData = BOOLEAN (*)(PHIDP_PREPARSED_DATA data);
using PFN_HidD_GetConfiguration = BOOLEAN (*)(HANDLE device, HIDD_CONFIGURATION* config, ULONG length);
using PFN_HidD_SetConfiguration = BOOLEAN (*)(HANDLE device, HIDD_CONFIGURATION* config, ULONG length);
using PFN_HidD_FlushQueue = BOOLEAN (*)(HANDLE device);
using PFN_HidD_GetFeature = BOOLEAN (*)(HANDLE device, void* report, ULONG length);
using PFN_HidD_SetFeature = BOOLEAN (*)(HANDLE device, void* report, ULONG length);
using PFN_HidD_GetNumInputBuffers = BOOLEAN (*)(HANDLE device, ULONG* count);
using PFN_HidD_SetNumInputBuffers = BOOLEAN (*)(HANDLE device, ULONG count);
using PFN_HidD_GetAttributes = BOOLEAN (*)(HANDLE device, HIDD_ATTRIBUTES* attributes);
// The string services take the buffer length in bytes and write zero-terminated UTF-16.
using PFN_HidD_GetManufacturerString = BOOLEAN (*)(HANDLE device, void* buffer, ULONG length);
using PFN_HidD_GetProductString = BOOLEAN (*)(HANDLE device, void* buffer, ULONG length);
using PFN_HidD_GetSerialNumberString = BOOLEAN (*)(HANDLE device, void* buffer, ULONG length);
using PFN_HidD_GetPhysicalDescriptor = BOOLEAN (*)(HANDLE device, void* buffer, ULONG length);
using PFN_HidD_GetIndexedString = BOOLEAN (*)(HANDLE device, ULONG index, void* buffer, ULONG length);
using PFN_HidD_GetInputReport = BOOLEAN (*)(HANDLE device, void* report, ULONG length);
using PFN_HidD_SetOutputReport = BOOLEAN (*)(HANDLE device, void* report, ULONG length);
using PFN_HidP_GetCaps = NTSTATUS (*)(PHIDP_PREPARSED_DATA data, HIDP_CAPS* caps);
using PFN_HidP_GetLinkCollectionNodes = NTSTATUS (*)(HIDP_LINK_COLLECTION_NODE* nodes, ULONG* length,
                                                     PHIDP_PREPARSED_DATA data);
using PFN_HidP_GetSpecificButtonCaps = NTSTATUS (*)(HIDP_REPORT_TYPE type, USAGE usagePage,
                                                    USHORT linkCollection, USAGE usage,
                                                    HIDP_BUTTON_CAPS* caps, USHORT* length,
                                                    PHIDP_PREPARSED_DATA data);
using PFN_HidP_GetSpecificValueCaps = NTSTATUS (*)(HIDP_REPORT_TYPE type, USAGE usagePage,
                                                   USHORT linkCollection, USAGE usage, HIDP_VALUE_CAPS* caps,
                                                   USHORT* length, PHIDP_PREPARSED_DATA data);
using PFN_HidP_GetData = NTSTATUS (*)(HIDP_REPORT_TYPE type, HIDP_DATA* list, ULONG* length,
                                      PHIDP_PREPARSED_DATA data, char* report, ULONG reportLength);
using PFN_HidP_SetData = NTSTATUS (*)(HIDP_REPORT_TYPE type, HIDP_DATA* list, ULONG* length,
                                      PHIDP_PREPARSED_DATA data, char* report, ULONG reportLength);
using PFN_HidP_MaxDataListLength = ULONG (*)(HIDP_REPORT_TYPE type, PHIDP_PREPARSED_DATA data);
using PFN_HidP_GetUsages = NTSTATUS (*)(HIDP_REPORT_TYPE type, USAGE usagePage, USHORT linkCollection,
                                        USAGE* list, ULONG* length, PHIDP_PREPARSED_DATA data, char* report,
                                        ULONG reportLength);
using PFN_HidP_GetUsagesEx = NTSTATUS (*)(HIDP_REPORT_TYPE type, USHORT linkCollection, USAGE_AND_PAGE* list,
                                          ULONG* length, PHIDP_PREPARSED_DATA data, char* report,
                                          ULONG reportLength);
using PFN_HidP_SetUsages = PFN_HidP_GetUsages;
using PFN_HidP_UnsetUsages = PFN_HidP_GetUsages;
using PFN_HidP_MaxUsageListLength = ULONG (*)(HIDP_REPORT_TYPE type, USAGE usagePage,
                                              PHIDP_PREPARSED_DATA data);
using PFN_HidP_GetUsageValue = NTSTATUS (*)(HIDP_REPORT_TYPE type, USAGE usagePage, USHORT linkCollection,
                                            USAGE usage, ULONG* value, PHIDP_PREPARSED_DATA data,
                                            char* report, ULONG reportLength);
using PFN_HidP_GetScaledUsageValue = NTSTATUS (*)(HIDP_REPORT_TYPE type, USAGE usagePage,
                                                  USHORT linkCollection, USAGE usage, LONG* value,
                                                  PHIDP_PREPARSED_DATA data, char* report,
                                                  ULONG reportLength);
using PFN_HidP_GetUsageValueArray = NTSTATUS (*)(HIDP_REPORT_TYPE type, USAGE usagePage,
                                                 USHORT linkCollection, USAGE usage, char* buffer,
                                                 USHORT bufferLength, PHIDP_PREPARSED_DATA data, char* report,
                                                 ULONG reportLength);
using PFN_HidP_SetUsageValue = NTSTATUS (*)(HIDP_REPORT_TYPE type, USAGE usagePage, USHORT linkCollection,
                                            USAGE usage, ULONG value, PHIDP_PREPARSED_DATA data, char* report,
                                            ULONG reportLength);
using PFN_HidP_SetScaledUsageValue = NTSTATUS (*)(HIDP_REPORT_TYPE type, USAGE usagePage,
                                                  USHORT linkCollection, USAGE usage, LONG value,
                                                  PHIDP_PREPARSED_DATA data, char* report,
                                                  ULONG reportLength);
using PFN_HidP_SetUsageValueArray = PFN_HidP_GetUsageValueArray;
using PFN_HidP_UsageListDifference = NTSTATUS (*)(USAGE* previous, USAGE* current, USAGE* breaks,
                                                  USAGE* makes, ULONG length);
using PFN_HidP_TranslateUsagesToI8042ScanCodes = NTSTATUS (*)(USAGE* changed, ULONG length,
                                                              HIDP_KEYBOARD_DIRECTION direction,
                                                              HIDP_KEYBOARD_MODIFIER_STATE* modifiers,
                                                              PHIDP_INSERT_SCANCODES insert, void* context);
using PFN_HidP_GetExtendedAttributes = NTSTATUS (*)(HIDP_REPORT_TYPE type, USHORT dataIndex,
                                                    PHIDP_PREPARSED_DATA data,
                                                    HIDP_EXTENDED_ATTRIBUTES* attributes, ULONG* length);
using PFN_HidP_InitializeReportForID = NTSTATUS (*)(HIDP_REPORT_TYPE type, UCHAR reportId,
                                                    PHIDP_PREPARSED_DATA data, char* report,
                                                    ULONG reportLength);

// ---- device installation services ("SetupApi.dll") -----------------------------------------------------
// All 271 export names are in platform/sys/HidSetupApiNames.inc. Implemented: SetupDiGetClassDevsA/W,
// SetupDiEnumDeviceInterfaces, SetupDiGetDeviceInterfaceDetailA, SetupDiDestroyDeviceInfoList,
// SetupDiGetDeviceRegistryPropertyA/W. The others fail (FALSE/0, or INVALID_HANDLE_VALUE for those that
// return a handle) with ERROR_NOT_SUPPORTED, whatever arguments they are given.

inline constexpr DWORD DIGCF_PRESENT = 0x02;
inline constexpr DWORD DIGCF_DEVICEINTERFACE = 0x10;
inline constexpr DWORD SPINT_ACTIVE = 1;

struct SP_DEVINFO_DATA {
    DWORD cbSize; // 28
    GUID ClassGuid;
    DWORD DevInst; // the device's instance number
    std::uint32_t Reserved;
};

struct SP_DEVICE_INTERFACE_DATA {
    DWORD cbSize; // 28
    GUID InterfaceClassGuid;
    DWORD Flags;
    std::uint32_t Reserved;
};

// The ANSI interface detail: a DWORD size field set to 5, followed at offset 4 by the zero-terminated
// device path. Callers allocate the required size and address the path at SP_DETAIL_A_PATH_OFFSET.
struct SP_DEVICE_INTERFACE_DETAIL_DATA_A {
    DWORD cbSize;
    char DevicePath[1];
};
inline constexpr DWORD SP_DETAIL_A_SIZE = 5;
inline constexpr std::size_t SP_DETAIL_A_PATH_OFFSET = 4;

static_assert(sizeof(SP_DEVINFO_DATA) == 28);
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == 28);
static_assert(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) == SP_DETAIL_A_PATH_OFFSET);

// Registry property codes (SPDRP_*). Offered: DEVICEDESC, HARDWAREID (the modalias), CLASS ("HIDClass"),
// MFG, FRIENDLYNAME, LOCATION_INFORMATION, ENUMERATOR_NAME ("HID"), BUSNUMBER, DEVTYPE (the bus type).
// Others fail with ERROR_INVALID_DATA, as for a property the device does not have.
inline constexpr DWORD SPDRP_DEVICEDESC = 0;
inline constexpr DWORD SPDRP_HARDWAREID = 1;
inline constexpr DWORD SPDRP_COMPATIBLEIDS = 2;
inline constexpr DWORD SPDRP_SERVICE = 4;
inline constexpr DWORD SPDRP_CLASS = 7;
inline constexpr DWORD SPDRP_CLASSGUID = 8;
inline constexpr DWORD SPDRP_DRIVER = 9;
inline constexpr DWORD SPDRP_CONFIGFLAGS = 10;
inline constexpr DWORD SPDRP_MFG = 11;
inline constexpr DWORD SPDRP_FRIENDLYNAME = 12;
inline constexpr DWORD SPDRP_LOCATION_INFORMATION = 13;
inline constexpr DWORD SPDRP_PHYSICAL_DEVICE_OBJECT_NAME = 14;
inline constexpr DWORD SPDRP_CAPABILITIES = 15;
inline constexpr DWORD SPDRP_UI_NUMBER = 16;
inline constexpr DWORD SPDRP_UPPERFILTERS = 17;
inline constexpr DWORD SPDRP_LOWERFILTERS = 18;
inline constexpr DWORD SPDRP_BUSTYPEGUID = 19;
inline constexpr DWORD SPDRP_LEGACYBUSTYPE = 20;
inline constexpr DWORD SPDRP_BUSNUMBER = 21;
inline constexpr DWORD SPDRP_ENUMERATOR_NAME = 22;
inline constexpr DWORD SPDRP_SECURITY_SDS = 24;
inline constexpr DWORD SPDRP_DEVTYPE = 25;
inline constexpr DWORD SPDRP_EXCLUSIVE = 26;
inline constexpr DWORD SPDRP_CHARACTERISTICS = 27;
inline constexpr DWORD SPDRP_ADDRESS = 28;
inline constexpr DWORD SPDRP_UI_NUMBER_DESC_FORMAT = 30;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;

using PFN_SetupDiGetClassDevsW = HDEVINFO (*)(const GUID* classGuid, const WCHAR* enumerator, HWND parent,
                                              DWORD flags);
using PFN_SetupDiGetClassDevsA = HDEVINFO (*)(const GUID* classGuid, const char* enumerator, HWND parent,
                                              DWORD flags);
using PFN_SetupDiEnumDeviceInterfaces = BOOL (*)(HDEVINFO set, SP_DEVINFO_DATA* device,
                                                 const GUID* interfaceClass, DWORD index,
                                                 SP_DEVICE_INTERFACE_DATA* interfaceData);
using PFN_SetupDiGetDeviceInterfaceDetailA = BOOL (*)(HDEVINFO set, SP_DEVICE_INTERFACE_DATA* interfaceData,
                                                      SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail,
                                                      DWORD detailSize, DWORD* requiredSize,
                                                      SP_DEVINFO_DATA* device);
using PFN_SetupDiDestroyDeviceInfoList = BOOL (*)(HDEVINFO set);
// Text properties: REG_SZ (A: 8-bit text; W: UTF-16); lists: REG_MULTI_SZ; numbers: REG_DWORD.
using PFN_SetupDiGetDeviceRegistryPropertyA = BOOL (*)(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property,
                                                       DWORD* regType, std::uint8_t* buffer, DWORD size,
                                                       DWORD* requiredSize);
using PFN_SetupDiGetDeviceRegistryPropertyW = PFN_SetupDiGetDeviceRegistryPropertyA;

// ---- device-change broadcast ---------------------------------------------------------------------------

inline constexpr std::uint32_t WM_DEVICECHANGE = 0x219;
inline constexpr std::uintptr_t DBT_DEVNODES_CHANGED = 7;

// A window that receives the device-change broadcast. Call both on the GUI thread; unregister before
// the target is destroyed. Changes close together (a node and its permissions) come as one message.
void RegisterDeviceChangeTarget(TMessageTarget* target);
void UnregisterDeviceChangeTarget(TMessageTarget* target);
// Whether the watcher thread runs (it does while any target is registered).
bool DeviceChangeWatcherRunning();

// ---- where devices are found ---------------------------------------------------------------------------

// "/" in the program; a fake tree in tests. Takes effect for later scans, opens and notifications.
void SetHidRoot(std::string_view root);
std::string HidRoot();

} // namespace kv::sys
