#include "hid/Hid.h"

namespace {

TModuleHandle hidModule = 0;

// NT family, major version 5 or above; the minor test is separate, as the services of 5.1 need it.
void SystemVersion(bool& nt5, bool& minor1) {
    kv::sys::OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    nt5 = minor1 = false;
    if (!kv::sys::GetVersionExW(&info))
        return;
    nt5 = info.dwPlatformId == kv::sys::VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 5;
    minor1 = info.dwMinorVersion >= 1;
}

} // namespace

#define KV_HID_BIND(var, exportName)                                                                         \
    var = reinterpret_cast<kv::sys::PFN_##exportName>(GetModuleSymbolEx(hidModule, #exportName, ok));

bool LoadHid() {
    if (!LoadModule(hidModule, "HID.dll"))
        return false;
    bool ok = true;
    bool nt5, minor1;
    SystemVersion(nt5, minor1);
    KV_HID_ENTRIES_BASE(KV_HID_BIND)
    if (nt5 && minor1) {
        KV_HID_ENTRIES_XP(KV_HID_BIND)
    }
    KV_HID_ENTRIES_PARSE(KV_HID_BIND)
    if (nt5) {
        KV_HID_ENTRIES_NT5(KV_HID_BIND)
    }
    if (!ok)
        UnloadHid();
    return ok;
}
#undef KV_HID_BIND

void UnloadHid() {
    UnloadModule(hidModule);
#define KV_HID_CLEAR(var, exportName) var = nullptr;
    KV_HID_ENTRIES(KV_HID_CLEAR)
#undef KV_HID_CLEAR
}

bool IsHidLoaded() {
    return hidModule != 0;
}

int HidBoundCount() {
    int n = 0;
#define KV_HID_COUNT(var, exportName) n += var != nullptr;
    KV_HID_ENTRIES(KV_HID_COUNT)
#undef KV_HID_COUNT
    return n;
}

kv::sys::NTSTATUS HidP_GetButtonCaps_(kv::sys::HIDP_REPORT_TYPE reportType, kv::sys::HIDP_BUTTON_CAPS* caps,
                                      kv::sys::USHORT* length, kv::sys::PHIDP_PREPARSED_DATA data) {
    return HidP_GetSpecificButtonCaps(reportType, 0, 0, 0, caps, length, data);
}

kv::sys::NTSTATUS HidP_GetValueCaps_(kv::sys::HIDP_REPORT_TYPE reportType, kv::sys::HIDP_VALUE_CAPS* caps,
                                     kv::sys::USHORT* length, kv::sys::PHIDP_PREPARSED_DATA data) {
    return HidP_GetSpecificValueCaps(reportType, 0, 0, 0, caps, length, data);
}

bool HidP_IsSameUsageAndPage_(kv::sys::USAGE_AND_PAGE a, kv::sys::USAGE_AND_PAGE b) {
    return a.Usage == b.Usage && a.UsagePage == b.UsagePage;
}
