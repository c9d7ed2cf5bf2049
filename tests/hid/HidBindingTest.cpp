// The run-time bindings (all or nothing, reference counting, the loader) and the device's small rules.

#include "hid/ModuleLoader.h"
#include "tests/hid/HidFixture.h"

namespace {

using namespace hidtest;

struct Modules {
    Modules() { kv::sys::ResetModules(); }
    ~Modules() {
        UnloadHid();
        while (IsSetupApiLoaded())
            UnloadSetupApi();
        kv::sys::ResetModules();
    }
};

TEST(HidBinding, HidBindsAllOrNothing) {
    Modules m;
    ASSERT_TRUE(LoadHid());
    EXPECT_TRUE(IsHidLoaded());
    EXPECT_EQ(HidBoundCount(), 46);
    // Button services are the usage services.
    EXPECT_EQ(reinterpret_cast<void*>(HidP_GetButtons), reinterpret_cast<void*>(HidP_GetUsages));
    EXPECT_EQ(reinterpret_cast<void*>(HidP_MaxButtonListLength),
              reinterpret_cast<void*>(HidP_MaxUsageListLength));
    UnloadHid();
    EXPECT_FALSE(IsHidLoaded());
    EXPECT_EQ(HidBoundCount(), 0);

    for (const char* missing : {"HidD_Hello", "HidP_TranslateUsagesToI8042ScanCodes"}) {
        kv::sys::ResetModules();
        ASSERT_TRUE(kv::sys::RemoveSymbol("HID.dll", missing));
        EXPECT_FALSE(LoadHid()) << missing;
        EXPECT_FALSE(IsHidLoaded());
        EXPECT_EQ(HidBoundCount(), 0);
    }
    kv::sys::UnregisterModule("HID.dll");
    EXPECT_FALSE(LoadHid());
}

TEST(HidBinding, SetupApiIsCountedAndBindsEveryVariable) {
    Modules m;
    EXPECT_EQ(SetupApiVariableCount(), 396);
    ASSERT_TRUE(LoadSetupApi());
    EXPECT_EQ(SetupApiBoundCount(), 396);
    // The plain name is the wide form; an older name is its current one.
    EXPECT_EQ(SetupDiGetClassDevs, SetupDiGetClassDevsW);
    EXPECT_NE(SetupDiGetClassDevs, SetupDiGetClassDevsA);
    EXPECT_EQ(SetupDiEnumInterfaceDevice, SetupDiEnumDeviceInterfaces);
    EXPECT_EQ(SetupDiGetInterfaceDeviceDetailA, SetupDiGetDeviceInterfaceDetailA);
    ASSERT_TRUE(LoadSetupApi());
    UnloadSetupApi();
    EXPECT_TRUE(IsSetupApiLoaded());
    EXPECT_NE(GetSetupApiModuleHandle(), 0u);
    UnloadSetupApi();
    EXPECT_FALSE(IsSetupApiLoaded());
    EXPECT_EQ(SetupApiBoundCount(), 0);

    ASSERT_TRUE(kv::sys::RemoveSymbol("SetupApi.dll", "SetupDiLoadClassIcon"));
    EXPECT_FALSE(LoadSetupApi());
    EXPECT_EQ(SetupApiReferenceCount(), 0);
    EXPECT_EQ(SetupApiBoundCount(), 0);
}

class RecordingLoader : public TModuleLoader {
public:
    using TModuleLoader::TModuleLoader;
    void Error(uint32_t code) override { errors.push_back(code); }
    std::vector<uint32_t> errors;
};

TEST(HidBinding, ModuleLoader) {
    Modules m;
    TModuleHandle h = 12345;
    EXPECT_TRUE(LoadModule(h, "HID.dll"));
    EXPECT_EQ(h, 12345u); // taken as loaded, nothing loaded
    h = 0;
    ASSERT_TRUE(LoadModule(h, "hid")); // case and extension as the old loader
    bool all = true;
    EXPECT_NE(GetModuleSymbolEx(h, "HidD_Hello", all), nullptr);
    EXPECT_TRUE(all);
    EXPECT_EQ(GetModuleSymbolEx(h, "hidd_hello", all), nullptr);
    EXPECT_FALSE(all);
    EXPECT_EQ(GetModuleSymbol(0, "HidD_Hello"), nullptr);
    UnloadModule(h);
    EXPECT_EQ(h, 0u);

    EXPECT_TRUE(TModuleLoader::IsAvaliable("kernel32.dll", "CancelIo"));
    EXPECT_TRUE(TModuleLoader::IsAvaliable("HID.dll"));
    EXPECT_FALSE(TModuleLoader::IsAvaliable("HID.dll", "NoSuchEntry"));
    EXPECT_FALSE(TModuleLoader::IsAvaliable("nothing.dll"));

    RecordingLoader loader("kernel32.dll");
    ASSERT_TRUE(loader.Loaded());
    void* preset = &loader;
    EXPECT_TRUE(loader.GetProcedure("NoSuchEntry", preset)); // already set: no lookup
    void* none = nullptr;
    EXPECT_FALSE(loader.GetProcedure("NoSuchEntry", none));
    EXPECT_EQ(loader.errors, (std::vector<uint32_t>{kElementNotFound}));
    RecordingLoader missing("nothing.dll", {TModuleLoadMethod::ltLoadAsDataFile});
    EXPECT_FALSE(missing.Loaded());
}

TEST(HidDevice, StatusTexts) {
    const std::vector<std::pair<uint32_t, std::string>> cases = {
        {0x00110000u, ""},
        {5u, ""},
        {0x80110001u, "HID Error: device not plugged in"},
        {0xC0110007u, "HID Error: buffer too small"},
        {0xC0110020u, "HID Error: not implemented"},
        {0xC0110011u, "HID Error: unknown HID error c0110011"},
        {0xC0120001u, ""},
    };
    for (const auto& [status, text] : cases)
        EXPECT_EQ(HidErrorString(status), text) << std::hex << status;
    EXPECT_THROW(HidCheck(0xC0110004u), EHidClientError);
    EXPECT_EQ(HidCheck(0x00110000u), 0x00110000u);
    EXPECT_TRUE(HidP_IsSameUsageAndPage_({1, 2}, {1, 2}));
    EXPECT_FALSE(HidP_IsSameUsageAndPage_({1, 2}, {1, 3}));
}

TEST(HidDevice, AccessRulesAndCachedQueries) {
    FakeTree tree;
    tree.nextSerial = "A1";
    tree.Plug(0);
    tree.nextSerial = "\u0409"; // the device's language list given as its serial number
    tree.Plug(1);
    THidDeviceController ctl(nullptr);
    ctl.DeviceChange();
    ASSERT_EQ(ctl.Devices().size(), 2u);
    THidDevice* d = ctl.Devices()[0];
    EXPECT_EQ(d->HidFileHandle(), kv::sys::INVALID_HANDLE_VALUE); // nothing open after the scan
    EXPECT_EQ(d->Attributes().ProductID, kUnitPid);

    // Never accessible yet: no handle, no preparsed data, zero capabilities, wrappers refuse.
    EXPECT_FALSE(d->IsAccessible());
    EXPECT_EQ(d->GetCaps().OutputReportByteLength, 0);
    EXPECT_FALSE(d->OpenFileEx(THidOpenExMode::omhRead));
    EXPECT_FALSE(d->CancelIO(THidOpenExMode::omhWrite));
    kv::sys::ULONG value = 0;
    EXPECT_EQ(d->GetUsageValue(value, nullptr, 0), 0x80110001u);
    EXPECT_TRUE(d->GetDeviceStringUnicode(0).empty());

    for (const auto& [set, expect] :
         std::vector<std::pair<int, int>>{{9, 100}, {10, 10}, {10001, 10}, {10000, 10000}}) {
        d->SetThreadSleepTime(set);
        EXPECT_EQ(d->ThreadSleepTime(), expect) << set;
    }

    THidDevice* held = nullptr;
    ASSERT_TRUE(ctl.CheckOut(held));
    EXPECT_EQ(held->GetCaps().OutputReportByteLength, 65);
    EXPECT_EQ(held->VendorName(), u"Maker");
    EXPECT_EQ(held->SerialNumber(), u"A1");
    EXPECT_EQ(held->LanguageStrings().size(), 1u);
    ctl.CheckIn(held);
    // The preparsed data and strings stay cached after check-in.
    EXPECT_EQ(d->GetCaps().InputReportByteLength, 65);
    EXPECT_EQ(d->VendorName(), u"Maker");
    EXPECT_EQ(d->HidFileHandle(), kv::sys::INVALID_HANDLE_VALUE);
    THidDevice* other = nullptr;
    ASSERT_TRUE(ctl.CheckOutByIndex(other, 1));
    EXPECT_TRUE(other->SerialNumber().empty());
    ctl.CheckIn(other);
}

} // namespace
