// The HID class services ("HID.dll"): attributes and strings from sysfs, capabilities from the report
// descriptor, feature and direct reports through the hidraw ioctls.

#include <cerrno>
#include <linux/hidraw.h>
#include <mutex>
#include <set>
#include <sys/ioctl.h>

#include "platform/sys/HidInternal.h"

namespace kv::sys {

struct HIDP_PREPARSED_DATA {
    HidReportInfo info;
};

} // namespace kv::sys

namespace kv::sys::hid {

namespace {

std::mutex preparsedMutex;
std::set<const HIDP_PREPARSED_DATA*>& Live() {
    static auto* live = new std::set<const HIDP_PREPARSED_DATA*>;
    return *live;
}

bool IsLive(const HIDP_PREPARSED_DATA* data) {
    std::lock_guard lock(preparsedMutex);
    return data && Live().count(data) != 0;
}

// The file behind a handle that belongs to a HID device, or null with the error set.
std::shared_ptr<FileObject> HidFile(HANDLE handle) {
    auto file = LookupFile(handle);
    if (!file)
        SetLastErrorCode(ERROR_INVALID_HANDLE);
    else if (!file->identified) {
        SetLastErrorCode(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    return file;
}

// ---- HidD ---------------------------------------------------------------------------------------------

ULONG Hello(char* buffer, ULONG length) {
    (void)buffer;
    (void)length;
    return 0;
}

void GetHidGuid(GUID* guid) {
    if (guid)
        *guid = HID_INTERFACE_GUID;
}

BOOLEAN GetPreparsedData(HANDLE device, PHIDP_PREPARSED_DATA* data) {
    if (!data)
        return FailB(ERROR_INVALID_PARAMETER);
    *data = nullptr;
    auto file = HidFile(device);
    if (!file)
        return 0;
    auto parsed = std::make_unique<HIDP_PREPARSED_DATA>();
    if (!ParseReportDescriptor(file->info.descriptor.data(), file->info.descriptor.size(), parsed->info))
        return FailB(ERROR_INVALID_DATA);
    std::lock_guard lock(preparsedMutex);
    *data = parsed.release();
    Live().insert(*data);
    return 1;
}

BOOLEAN FreePreparsedData(PHIDP_PREPARSED_DATA data) {
    {
        std::lock_guard lock(preparsedMutex);
        if (!data || Live().erase(data) == 0)
            return FailB(ERROR_INVALID_PARAMETER);
    }
    delete data;
    return 1;
}

BOOLEAN GetConfiguration(HANDLE device, HIDD_CONFIGURATION* config, ULONG length) {
    auto file = HidFile(device);
    if (!file)
        return 0;
    if (!config || length < sizeof(HIDD_CONFIGURATION))
        return FailB(ERROR_INVALID_PARAMETER);
    config->cookie = 0;
    config->size = sizeof(HIDD_CONFIGURATION);
    config->RingBufferSize = file->inputBuffers;
    return 1;
}

BOOLEAN SetConfiguration(HANDLE device, HIDD_CONFIGURATION* config, ULONG length) {
    (void)config;
    (void)length;
    if (!HidFile(device))
        return 0;
    return FailB(ERROR_NOT_SUPPORTED);
}

BOOLEAN FlushQueue(HANDLE device) {
    auto file = HidFile(device);
    if (!file)
        return 0;
    FlushInput(*file);
    return 1;
}

// Feature and direct reports exist only on kernel devices: report[0] is the report ID.
BOOLEAN ReportIoctl(HANDLE device, void* report, ULONG length, int which) {
    auto file = HidFile(device);
    if (!file)
        return 0;
    if (!report || length == 0)
        return FailB(ERROR_INVALID_USER_BUFFER);
    if (!file->realDevice)
        return FailB(ERROR_NOT_SUPPORTED);
    if (file->fd < 0 || !(file->canRead || file->canWrite))
        return FailB(ERROR_ACCESS_DENIED);
    unsigned long request = 0;
    switch (which) {
    case 0:
        request = HIDIOCGFEATURE(length);
        break;
    case 1:
        request = HIDIOCSFEATURE(length);
        break;
    case 2:
        request = HIDIOCGINPUT(length);
        break;
    default:
        request = HIDIOCSOUTPUT(length);
        break;
    }
    if (ioctl(file->fd, request, report) < 0)
        return FailB(errno == ENOTTY || errno == EINVAL ? ERROR_NOT_SUPPORTED : ERROR_GEN_FAILURE);
    return 1;
}

BOOLEAN GetFeature(HANDLE device, void* report, ULONG length) {
    return ReportIoctl(device, report, length, 0);
}
BOOLEAN SetFeature(HANDLE device, void* report, ULONG length) {
    return ReportIoctl(device, report, length, 1);
}
BOOLEAN GetInputReport(HANDLE device, void* report, ULONG length) {
    return ReportIoctl(device, report, length, 2);
}
BOOLEAN SetOutputReport(HANDLE device, void* report, ULONG length) {
    return ReportIoctl(device, report, length, 3);
}

BOOLEAN GetNumInputBuffers(HANDLE device, ULONG* count) {
    auto file = HidFile(device);
    if (!file)
        return 0;
    if (!count)
        return FailB(ERROR_INVALID_PARAMETER);
    *count = file->inputBuffers;
    return 1;
}

// The kernel keeps its own report queue per open file; the count is kept for those who read it back.
BOOLEAN SetNumInputBuffers(HANDLE device, ULONG count) {
    auto file = HidFile(device);
    if (!file)
        return 0;
    if (count < 2 || count > 512)
        return FailB(ERROR_INVALID_PARAMETER);
    file->inputBuffers = count;
    return 1;
}

BOOLEAN GetAttributes(HANDLE device, HIDD_ATTRIBUTES* attributes) {
    auto file = HidFile(device);
    if (!file)
        return 0;
    if (!attributes)
        return FailB(ERROR_INVALID_PARAMETER);
    attributes->Size = sizeof(HIDD_ATTRIBUTES);
    attributes->VendorID = file->info.vendorId;
    attributes->ProductID = file->info.productId;
    attributes->VersionNumber = file->info.version;
    return 1;
}

// Zero-terminated UTF-16, cut to the buffer. A device without the string fails.
BOOLEAN CopyString(const std::u16string& text, void* buffer, ULONG length) {
    if (!buffer || length < 2)
        return FailB(ERROR_INVALID_USER_BUFFER);
    if (text.empty())
        return FailB(ERROR_INVALID_PARAMETER);
    auto* out = static_cast<WCHAR*>(buffer);
    const std::size_t n = std::min<std::size_t>(text.size(), length / 2 - 1);
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), out);
    out[n] = u'\0';
    return 1;
}

BOOLEAN GetManufacturerString(HANDLE device, void* buffer, ULONG length) {
    auto file = HidFile(device);
    return file ? CopyString(ToUtf16(file->info.manufacturer), buffer, length) : 0;
}

BOOLEAN GetProductString(HANDLE device, void* buffer, ULONG length) {
    auto file = HidFile(device);
    return file ? CopyString(ToUtf16(file->info.product), buffer, length) : 0;
}

BOOLEAN GetSerialNumberString(HANDLE device, void* buffer, ULONG length) {
    auto file = HidFile(device);
    return file ? CopyString(ToUtf16(file->info.serial), buffer, length) : 0;
}

BOOLEAN GetPhysicalDescriptor(HANDLE device, void* buffer, ULONG length) {
    (void)buffer;
    (void)length;
    if (!HidFile(device))
        return 0;
    return FailB(ERROR_NOT_SUPPORTED);
}

// Only string 0, the language list, is known without talking to the device: the kernel reads the
// strings it exports in the device's first language, which is English (US) on nearly every device.
BOOLEAN GetIndexedString(HANDLE device, ULONG index, void* buffer, ULONG length) {
    if (!HidFile(device))
        return 0;
    if (index != 0)
        return FailB(ERROR_NOT_SUPPORTED);
    return CopyString(u"\u0409", buffer, length);
}

// ---- HidP ---------------------------------------------------------------------------------------------

bool IsButton(const HidMainItem& item) {
    return !item.variable || item.bitSize == 1;
}

USHORT Clamp16(std::uint64_t v) {
    return static_cast<USHORT>(std::min<std::uint64_t>(v, 0xFFFF));
}

NTSTATUS GetCaps(PHIDP_PREPARSED_DATA data, HIDP_CAPS* caps) {
    if (!caps)
        return HIDP_STATUS_INVALID_PREPARSED_DATA;
    if (!IsLive(data))
        return HIDP_STATUS_INVALID_PREPARSED_DATA;
    const HidReportInfo& info = data->info;
    *caps = HIDP_CAPS{};
    if (!info.collections.empty()) {
        caps->Usage = info.collections.front().usage;
        caps->UsagePage = info.collections.front().usagePage;
    }
    caps->InputReportByteLength = info.inputLength;
    caps->OutputReportByteLength = info.outputLength;
    caps->FeatureReportByteLength = info.featureLength;
    caps->NumberLinkCollectionNodes = Clamp16(info.collections.size());
    std::uint64_t buttons[3] = {}, values[3] = {}, indices[3] = {};
    for (const HidMainItem& item : info.items) {
        if (item.constant)
            continue;
        const int k = item.kind;
        if (IsButton(item)) {
            ++buttons[k];
            indices[k] += item.variable ? item.count : std::max<std::uint32_t>(item.usages, 1);
        } else {
            ++values[k];
            indices[k] += std::max<std::uint32_t>(item.usages, 1);
        }
    }
    caps->NumberInputButtonCaps = Clamp16(buttons[0]);
    caps->NumberInputValueCaps = Clamp16(values[0]);
    caps->NumberInputDataIndices = Clamp16(indices[0]);
    caps->NumberOutputButtonCaps = Clamp16(buttons[1]);
    caps->NumberOutputValueCaps = Clamp16(values[1]);
    caps->NumberOutputDataIndices = Clamp16(indices[1]);
    caps->NumberFeatureButtonCaps = Clamp16(buttons[2]);
    caps->NumberFeatureValueCaps = Clamp16(values[2]);
    caps->NumberFeatureDataIndices = Clamp16(indices[2]);
    return HIDP_STATUS_SUCCESS;
}

NTSTATUS GetLinkCollectionNodes(HIDP_LINK_COLLECTION_NODE* nodes, ULONG* length, PHIDP_PREPARSED_DATA data) {
    if (!length || !IsLive(data))
        return HIDP_STATUS_INVALID_PREPARSED_DATA;
    const auto& cols = data->info.collections;
    if (*length < cols.size() || !nodes) {
        *length = static_cast<ULONG>(cols.size());
        return HIDP_STATUS_BUFFER_TOO_SMALL;
    }
    for (std::size_t i = 0; i < cols.size(); ++i) {
        HIDP_LINK_COLLECTION_NODE& n = nodes[i];
        n = HIDP_LINK_COLLECTION_NODE{};
        n.LinkUsage = cols[i].usage;
        n.LinkUsagePage = cols[i].usagePage;
        n.Parent = static_cast<USHORT>(cols[i].parent < 0 ? 0 : cols[i].parent);
        n.CollectionType = cols[i].type;
    }
    // Children in order: the first child, then each child's next sibling.
    for (std::size_t i = cols.size(); i-- > 1;) {
        if (cols[i].parent < 0)
            continue;
        HIDP_LINK_COLLECTION_NODE& parent = nodes[cols[i].parent];
        nodes[i].NextSibling = parent.FirstChild;
        parent.FirstChild = static_cast<USHORT>(i);
        ++parent.NumberOfChildren;
    }
    *length = static_cast<ULONG>(cols.size());
    return HIDP_STATUS_SUCCESS;
}

ULONG MaxDataListLength(HIDP_REPORT_TYPE type, PHIDP_PREPARSED_DATA data) {
    if (!IsLive(data) || type > HidP_Feature)
        return 0;
    std::uint64_t n = 0;
    for (const HidMainItem& item : data->info.items)
        if (!item.constant && item.kind == static_cast<int>(type))
            n += IsButton(item) && item.variable ? item.count : std::max<std::uint32_t>(item.usages, 1);
    return static_cast<ULONG>(std::min<std::uint64_t>(n, 0xFFFFFFFF));
}

ULONG MaxUsageListLength(HIDP_REPORT_TYPE type, USAGE usagePage, PHIDP_PREPARSED_DATA data) {
    if (!IsLive(data) || type > HidP_Feature)
        return 0;
    std::uint64_t n = 0;
    for (const HidMainItem& item : data->info.items)
        if (!item.constant && item.kind == static_cast<int>(type) && IsButton(item) &&
            (usagePage == 0 || usagePage == item.usagePage))
            n += item.count;
    return static_cast<ULONG>(std::min<std::uint64_t>(n, 0xFFFFFFFF));
}

// The parsing services the program does not use.
NTSTATUS GetSpecificButtonCaps(HIDP_REPORT_TYPE, USAGE, USHORT, USAGE, HIDP_BUTTON_CAPS*, USHORT* length,
                               PHIDP_PREPARSED_DATA) {
    if (length)
        *length = 0;
    return HIDP_STATUS_NOT_IMPLEMENTED;
}
NTSTATUS GetSpecificValueCaps(HIDP_REPORT_TYPE, USAGE, USHORT, USAGE, HIDP_VALUE_CAPS*, USHORT* length,
                              PHIDP_PREPARSED_DATA) {
    if (length)
        *length = 0;
    return HIDP_STATUS_NOT_IMPLEMENTED;
}
NTSTATUS DataList(HIDP_REPORT_TYPE, HIDP_DATA*, ULONG* length, PHIDP_PREPARSED_DATA, char*, ULONG) {
    if (length)
        *length = 0;
    return HIDP_STATUS_NOT_IMPLEMENTED;
}
NTSTATUS Usages(HIDP_REPORT_TYPE, USAGE, USHORT, USAGE*, ULONG* length, PHIDP_PREPARSED_DATA, char*, ULONG) {
    if (length)
        *length = 0;
    return HIDP_STATUS_NOT_IMPLEMENTED;
}
NTSTATUS UsagesEx(HIDP_REPORT_TYPE, USHORT, USAGE_AND_PAGE*, ULONG* length, PHIDP_PREPARSED_DATA, char*,
                  ULONG) {
    if (length)
        *length = 0;
    return HIDP_STATUS_NOT_IMPLEMENTED;
}
NTSTATUS GetUsageValue(HIDP_REPORT_TYPE, USAGE, USHORT, USAGE, ULONG*, PHIDP_PREPARSED_DATA, char*, ULONG) {
    return HIDP_STATUS_NOT_IMPLEMENTED;
}
NTSTATUS GetScaledUsageValue(HIDP_REPORT_TYPE, USAGE, USHORT, USAGE, LONG*, PHIDP_PREPARSED_DATA, char*,
                             ULONG) {
    return HIDP_STATUS_NOT_IMPLEMENTED;
}
NTSTATUS UsageValueArray(HIDP_REPORT_TYPE, USAGE, USHORT, USAGE, char*, USHORT, PHIDP_PREPARSED_DATA, char*,
                         ULONG) {
    return HIDP_STATUS_NOT_IMPLEMENTED;
}
NTSTATUS SetUsageValue(HIDP_REPORT_TYPE, USAGE, USHORT, USAGE, ULONG, PHIDP_PREPARSED_DATA, char*, ULONG) {
    return HIDP_STATUS_NOT_IMPLEMENTED;
}
NTSTATUS SetScaledUsageValue(HIDP_REPORT_TYPE, USAGE, USHORT, USAGE, LONG, PHIDP_PREPARSED_DATA, char*,
                             ULONG) {
    return HIDP_STATUS_NOT_IMPLEMENTED;
}
NTSTATUS UsageListDifference(USAGE*, USAGE*, USAGE*, USAGE*, ULONG) {
    return HIDP_STATUS_NOT_IMPLEMENTED;
}
NTSTATUS TranslateUsages(USAGE*, ULONG, HIDP_KEYBOARD_DIRECTION, HIDP_KEYBOARD_MODIFIER_STATE*,
                         PHIDP_INSERT_SCANCODES, void*) {
    return HIDP_STATUS_NOT_IMPLEMENTED;
}
NTSTATUS GetExtendedAttributes(HIDP_REPORT_TYPE, USHORT, PHIDP_PREPARSED_DATA, HIDP_EXTENDED_ATTRIBUTES*,
                               ULONG* length) {
    if (length)
        *length = 0;
    return HIDP_STATUS_NOT_IMPLEMENTED;
}
NTSTATUS InitializeReportForID(HIDP_REPORT_TYPE, UCHAR, PHIDP_PREPARSED_DATA, char*, ULONG) {
    return HIDP_STATUS_NOT_IMPLEMENTED;
}

// An export whose address has exactly the declared entry-point type.
template <class Pfn> ModuleExport Typed(const char* name, Pfn function) {
    return {name, ExportAddress(function)};
}

} // namespace

std::vector<ModuleExport> HidModuleExports() {
    return {
        Typed<PFN_HidD_Hello>("HidD_Hello", &Hello),
        Typed<PFN_HidD_GetHidGuid>("HidD_GetHidGuid", &GetHidGuid),
        Typed<PFN_HidD_GetPreparsedData>("HidD_GetPreparsedData", &GetPreparsedData),
        Typed<PFN_HidD_FreePreparsedData>("HidD_FreePreparsedData", &FreePreparsedData),
        Typed<PFN_HidD_GetConfiguration>("HidD_GetConfiguration", &GetConfiguration),
        Typed<PFN_HidD_SetConfiguration>("HidD_SetConfiguration", &SetConfiguration),
        Typed<PFN_HidD_FlushQueue>("HidD_FlushQueue", &FlushQueue),
        Typed<PFN_HidD_GetFeature>("HidD_GetFeature", &GetFeature),
        Typed<PFN_HidD_SetFeature>("HidD_SetFeature", &SetFeature),
        Typed<PFN_HidD_GetNumInputBuffers>("HidD_GetNumInputBuffers", &GetNumInputBuffers),
        Typed<PFN_HidD_SetNumInputBuffers>("HidD_SetNumInputBuffers", &SetNumInputBuffers),
        Typed<PFN_HidD_GetAttributes>("HidD_GetAttributes", &GetAttributes),
        Typed<PFN_HidD_GetManufacturerString>("HidD_GetManufacturerString", &GetManufacturerString),
        Typed<PFN_HidD_GetProductString>("HidD_GetProductString", &GetProductString),
        Typed<PFN_HidD_GetSerialNumberString>("HidD_GetSerialNumberString", &GetSerialNumberString),
        Typed<PFN_HidD_GetPhysicalDescriptor>("HidD_GetPhysicalDescriptor", &GetPhysicalDescriptor),
        Typed<PFN_HidD_GetIndexedString>("HidD_GetIndexedString", &GetIndexedString),
        Typed<PFN_HidD_GetInputReport>("HidD_GetInputReport", &GetInputReport),
        Typed<PFN_HidD_SetOutputReport>("HidD_SetOutputReport", &SetOutputReport),
        Typed<PFN_HidP_GetCaps>("HidP_GetCaps", &GetCaps),
        Typed<PFN_HidP_GetLinkCollectionNodes>("HidP_GetLinkCollectionNodes", &GetLinkCollectionNodes),
        Typed<PFN_HidP_GetSpecificButtonCaps>("HidP_GetSpecificButtonCaps", &GetSpecificButtonCaps),
        Typed<PFN_HidP_GetSpecificValueCaps>("HidP_GetSpecificValueCaps", &GetSpecificValueCaps),
        Typed<PFN_HidP_GetData>("HidP_GetData", &DataList),
        Typed<PFN_HidP_SetData>("HidP_SetData", &DataList),
        Typed<PFN_HidP_MaxDataListLength>("HidP_MaxDataListLength", &MaxDataListLength),
        Typed<PFN_HidP_GetUsages>("HidP_GetUsages", &Usages),
        Typed<PFN_HidP_GetUsagesEx>("HidP_GetUsagesEx", &UsagesEx),
        Typed<PFN_HidP_SetUsages>("HidP_SetUsages", &Usages),
        Typed<PFN_HidP_UnsetUsages>("HidP_UnsetUsages", &Usages),
        Typed<PFN_HidP_MaxUsageListLength>("HidP_MaxUsageListLength", &MaxUsageListLength),
        Typed<PFN_HidP_GetUsageValue>("HidP_GetUsageValue", &GetUsageValue),
        Typed<PFN_HidP_GetScaledUsageValue>("HidP_GetScaledUsageValue", &GetScaledUsageValue),
        Typed<PFN_HidP_GetUsageValueArray>("HidP_GetUsageValueArray", &UsageValueArray),
        Typed<PFN_HidP_SetUsageValue>("HidP_SetUsageValue", &SetUsageValue),
        Typed<PFN_HidP_SetScaledUsageValue>("HidP_SetScaledUsageValue", &SetScaledUsageValue),
        Typed<PFN_HidP_SetUsageValueArray>("HidP_SetUsageValueArray", &UsageValueArray),
        Typed<PFN_HidP_UsageListDifference>("HidP_UsageListDifference", &UsageListDifference),
        Typed<PFN_HidP_TranslateUsagesToI8042ScanCodes>("HidP_TranslateUsagesToI8042ScanCodes",
                                                        &TranslateUsages),
        Typed<PFN_HidP_GetExtendedAttributes>("HidP_GetExtendedAttributes", &GetExtendedAttributes),
        Typed<PFN_HidP_InitializeReportForID>("HidP_InitializeReportForID", &InitializeReportForID),
    };
}

} // namespace kv::sys::hid
