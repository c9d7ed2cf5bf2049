// The device-installation services ("SetupApi.dll"): device sets of the present HID nodes, their
// interface details and a few properties. Every other entry point is exported and fails.

#include <cstring>
#include <map>
#include <mutex>

#include "platform/sys/HidInternal.h"

namespace kv::sys::hid {

namespace {

struct DeviceSet {
    std::vector<NodeInfo> nodes;
};

std::mutex setsMutex;
std::map<HANDLE, std::shared_ptr<DeviceSet>>& Sets() {
    static auto* sets = new std::map<HANDLE, std::shared_ptr<DeviceSet>>;
    return *sets;
}

std::shared_ptr<DeviceSet> LookupSet(HDEVINFO set) {
    std::lock_guard lock(setsMutex);
    auto it = Sets().find(set);
    return it == Sets().end() ? nullptr : it->second;
}

HDEVINFO MakeSet(const GUID* classGuid, DWORD flags) {
    auto set = std::make_shared<DeviceSet>();
    if (classGuid && *classGuid == HID_INTERFACE_GUID && (flags & DIGCF_DEVICEINTERFACE))
        set->nodes = ScanNodes();
    const HANDLE handle = NewHandleValue();
    std::lock_guard lock(setsMutex);
    Sets()[handle] = std::move(set);
    SetLastErrorCode(ERROR_SUCCESS);
    return handle;
}

HDEVINFO GetClassDevsW(const GUID* classGuid, const WCHAR* enumerator, HWND parent, DWORD flags) {
    (void)enumerator;
    (void)parent;
    return MakeSet(classGuid, flags);
}

HDEVINFO GetClassDevsA(const GUID* classGuid, const char* enumerator, HWND parent, DWORD flags) {
    (void)enumerator;
    (void)parent;
    return MakeSet(classGuid, flags);
}

BOOL DestroyDeviceInfoList(HDEVINFO set) {
    std::lock_guard lock(setsMutex);
    if (Sets().erase(set) == 0)
        return FailB(ERROR_INVALID_HANDLE);
    return TRUE;
}

BOOL EnumDeviceInterfaces(HDEVINFO set, SP_DEVINFO_DATA* device, const GUID* interfaceClass, DWORD index,
                          SP_DEVICE_INTERFACE_DATA* data) {
    (void)device;
    auto s = LookupSet(set);
    if (!s)
        return FailB(ERROR_INVALID_HANDLE);
    if (!data || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA) || !interfaceClass)
        return FailB(ERROR_INVALID_USER_BUFFER);
    if (!(*interfaceClass == HID_INTERFACE_GUID) || index >= s->nodes.size())
        return FailB(ERROR_NO_MORE_ITEMS);
    data->InterfaceClassGuid = HID_INTERFACE_GUID;
    data->Flags = SPINT_ACTIVE;
    data->Reserved = index + 1; // which member, for the detail query
    SetLastErrorCode(ERROR_SUCCESS);
    return TRUE;
}

// The member a record names (Reserved holds its index + 1), or null with the error set.
const NodeInfo* Member(const DeviceSet& set, std::uint32_t reserved) {
    if (reserved == 0 || reserved > set.nodes.size()) {
        SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return &set.nodes[reserved - 1];
}

BOOL GetDeviceInterfaceDetailA(HDEVINFO set, SP_DEVICE_INTERFACE_DATA* data,
                               SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail, DWORD detailSize,
                               DWORD* requiredSize, SP_DEVINFO_DATA* device) {
    auto s = LookupSet(set);
    if (!s)
        return FailB(ERROR_INVALID_HANDLE);
    if (!data || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA))
        return FailB(ERROR_INVALID_USER_BUFFER);
    const NodeInfo* node = Member(*s, data->Reserved);
    if (!node)
        return FALSE;
    if (device) {
        if (device->cbSize != sizeof(SP_DEVINFO_DATA))
            return FailB(ERROR_INVALID_USER_BUFFER);
        device->ClassGuid = HID_INTERFACE_GUID;
        device->DevInst = node->instance;
        device->Reserved = data->Reserved;
    }
    const DWORD needed = static_cast<DWORD>(SP_DETAIL_A_PATH_OFFSET + node->devPath.size() + 1);
    if (requiredSize)
        *requiredSize = needed;
    if (!detail) {
        if (detailSize != 0)
            return FailB(ERROR_INVALID_USER_BUFFER);
        return FailB(ERROR_INSUFFICIENT_BUFFER);
    }
    if (detail->cbSize != SP_DETAIL_A_SIZE)
        return FailB(ERROR_INVALID_USER_BUFFER);
    if (detailSize < needed)
        return FailB(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(reinterpret_cast<char*>(detail) + SP_DETAIL_A_PATH_OFFSET, node->devPath.c_str(),
                node->devPath.size() + 1);
    SetLastErrorCode(ERROR_SUCCESS);
    return TRUE;
}

// A property as bytes in the requested text form; false when the device has no such property.
bool PropertyBytes(const NodeInfo& node, DWORD property, bool wide, DWORD& type,
                   std::vector<std::uint8_t>& out) {
    auto number = [&](std::uint32_t v) {
        type = REG_DWORD;
        out = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
               static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
        return true;
    };
    auto texts = [&](const std::vector<std::string>& list, DWORD regType) {
        type = regType;
        out.clear();
        auto put = [&](const std::string& s) {
            if (wide) {
                for (char16_t c : ToUtf16(s)) {
                    out.push_back(static_cast<std::uint8_t>(c & 0xFF));
                    out.push_back(static_cast<std::uint8_t>(c >> 8));
                }
                out.push_back(0);
                out.push_back(0);
            } else {
                out.insert(out.end(), s.begin(), s.end());
                out.push_back(0);
            }
        };
        for (const std::string& s : list)
            put(s);
        if (regType == REG_MULTI_SZ)
            put(std::string());
        return true;
    };
    auto text = [&](const std::string& s) { return !s.empty() && texts({s}, REG_SZ); };
    switch (property) {
    case SPDRP_DEVICEDESC:
        return text(node.hidName.empty() ? node.product : node.hidName);
    case SPDRP_HARDWAREID:
        return !node.modalias.empty() && texts({node.modalias}, REG_MULTI_SZ);
    case SPDRP_CLASS:
        return text("HIDClass");
    case SPDRP_MFG:
        return text(node.manufacturer);
    case SPDRP_FRIENDLYNAME:
        return text(node.product);
    case SPDRP_LOCATION_INFORMATION:
        return text(node.phys);
    case SPDRP_ENUMERATOR_NAME:
        return text("HID");
    case SPDRP_BUSNUMBER:
    case SPDRP_DEVTYPE:
        return number(node.bus);
    default:
        return false;
    }
}

BOOL GetRegistryProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, DWORD* regType,
                         std::uint8_t* buffer, DWORD size, DWORD* requiredSize, bool wide) {
    auto s = LookupSet(set);
    if (!s)
        return FailB(ERROR_INVALID_HANDLE);
    if (!device || device->cbSize != sizeof(SP_DEVINFO_DATA))
        return FailB(ERROR_INVALID_USER_BUFFER);
    const NodeInfo* node = Member(*s, device->Reserved);
    if (!node)
        return FALSE;
    DWORD type = 0;
    std::vector<std::uint8_t> bytes;
    if (!PropertyBytes(*node, property, wide, type, bytes))
        return FailB(ERROR_INVALID_DATA);
    if (requiredSize)
        *requiredSize = static_cast<DWORD>(bytes.size());
    if (regType)
        *regType = type;
    if (!buffer || size < bytes.size())
        return FailB(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(buffer, bytes.data(), bytes.size());
    SetLastErrorCode(ERROR_SUCCESS);
    return TRUE;
}

BOOL GetDeviceRegistryPropertyA(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, DWORD* regType,
                                std::uint8_t* buffer, DWORD size, DWORD* requiredSize) {
    return GetRegistryProperty(set, device, property, regType, buffer, size, requiredSize, false);
}

BOOL GetDeviceRegistryPropertyW(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, DWORD* regType,
                                std::uint8_t* buffer, DWORD size, DWORD* requiredSize) {
    return GetRegistryProperty(set, device, property, regType, buffer, size, requiredSize, true);
}

// Entry points the program does not use. They are called through pointers of their own declared types,
// which all return an integer or a handle in the same register: 0 (FALSE) or -1 (invalid handle).
std::intptr_t NotSupportedZero() {
    SetLastErrorCode(ERROR_NOT_SUPPORTED);
    return 0;
}

std::intptr_t NotSupportedInvalid() {
    SetLastErrorCode(ERROR_NOT_SUPPORTED);
    return INVALID_HANDLE_VALUE;
}

template <class Pfn> ModuleExport Typed(std::string name, Pfn function) {
    return {std::move(name), ExportAddress(function)};
}

} // namespace

std::vector<ModuleExport> SetupApiModuleExports() {
    std::vector<ModuleExport> table;
    auto stub = [](int failure) {
        return failure ? ExportAddress(&NotSupportedInvalid) : ExportAddress(&NotSupportedZero);
    };
#define KV_SETUPAPI_AW(name, failure)                                                                        \
    table.push_back({#name "A", stub(failure)});                                                             \
    table.push_back({#name "W", stub(failure)});
#define KV_SETUPAPI_ONE(name, failure) table.push_back({#name, stub(failure)});
#include "platform/sys/HidSetupApiNames.inc"
#undef KV_SETUPAPI_AW
#undef KV_SETUPAPI_ONE
    const ModuleExport implemented[] = {
        Typed<PFN_SetupDiGetClassDevsW>("SetupDiGetClassDevsW", &GetClassDevsW),
        Typed<PFN_SetupDiGetClassDevsA>("SetupDiGetClassDevsA", &GetClassDevsA),
        Typed<PFN_SetupDiEnumDeviceInterfaces>("SetupDiEnumDeviceInterfaces", &EnumDeviceInterfaces),
        Typed<PFN_SetupDiGetDeviceInterfaceDetailA>("SetupDiGetDeviceInterfaceDetailA",
                                                    &GetDeviceInterfaceDetailA),
        Typed<PFN_SetupDiDestroyDeviceInfoList>("SetupDiDestroyDeviceInfoList", &DestroyDeviceInfoList),
        Typed<PFN_SetupDiGetDeviceRegistryPropertyA>("SetupDiGetDeviceRegistryPropertyA",
                                                     &GetDeviceRegistryPropertyA),
        Typed<PFN_SetupDiGetDeviceRegistryPropertyW>("SetupDiGetDeviceRegistryPropertyW",
                                                     &GetDeviceRegistryPropertyW),
    };
    for (const ModuleExport& e : implemented)
        for (ModuleExport& t : table)
            if (t.name == e.name)
                t.address = e.address;
    return table;
}

} // namespace kv::sys::hid
