// HID status texts and what the device-installation service says about a device.
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

namespace kv::hidctl {

namespace {
std::atomic<uint64_t> handlerIds{0};
} // namespace

uint64_t NewHandlerId() {
    return ++handlerIds;
}

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

} // namespace kv::hidctl

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
