// The run-time module registry: libraries by name, entry points by exact name.
#include <gtest/gtest.h>

#include <set>

#include "platform/sys/HidApi.h"
#include "platform/sys/Modules.h"

using namespace kv::sys;

namespace {

struct ModulesTest : ::testing::Test {
    void TearDown() override { ResetModules(); }
};

std::vector<std::string> HidNames() {
    return {"HidD_Hello",
            "HidD_GetHidGuid",
            "HidD_GetPreparsedData",
            "HidD_FreePreparsedData",
            "HidD_GetConfiguration",
            "HidD_SetConfiguration",
            "HidD_FlushQueue",
            "HidD_GetFeature",
            "HidD_SetFeature",
            "HidD_GetNumInputBuffers",
            "HidD_SetNumInputBuffers",
            "HidD_GetAttributes",
            "HidD_GetManufacturerString",
            "HidD_GetProductString",
            "HidD_GetSerialNumberString",
            "HidD_GetPhysicalDescriptor",
            "HidD_GetIndexedString",
            "HidD_GetInputReport",
            "HidD_SetOutputReport",
            "HidP_GetCaps",
            "HidP_GetLinkCollectionNodes",
            "HidP_GetSpecificButtonCaps",
            "HidP_GetSpecificValueCaps",
            "HidP_GetData",
            "HidP_SetData",
            "HidP_MaxDataListLength",
            "HidP_GetUsages",
            "HidP_GetUsagesEx",
            "HidP_SetUsages",
            "HidP_UnsetUsages",
            "HidP_MaxUsageListLength",
            "HidP_GetUsageValue",
            "HidP_GetScaledUsageValue",
            "HidP_GetUsageValueArray",
            "HidP_SetUsageValue",
            "HidP_SetScaledUsageValue",
            "HidP_SetUsageValueArray",
            "HidP_UsageListDifference",
            "HidP_TranslateUsagesToI8042ScanCodes",
            "HidP_GetExtendedAttributes",
            "HidP_InitializeReportForID"};
}

std::vector<std::string> SetupApiNames() {
    std::vector<std::string> names;
#define KV_SETUPAPI_AW(name, failure)                                                                        \
    names.push_back(#name "A");                                                                              \
    names.push_back(#name "W");
#define KV_SETUPAPI_ONE(name, failure) names.push_back(#name);
#include "platform/sys/HidSetupApiNames.inc"
#undef KV_SETUPAPI_AW
#undef KV_SETUPAPI_ONE
    return names;
}

} // namespace

TEST_F(ModulesTest, LibrariesByNameWithoutLetterCase) {
    const HMODULE hid = LoadLibraryByName("HID.dll");
    ASSERT_NE(hid, 0u);
    EXPECT_EQ(LoadLibraryByName("hid.DLL"), hid);
    EXPECT_EQ(LoadLibraryByName("Hid"), hid);
    EXPECT_NE(LoadLibraryByName("setupapi.dll"), 0u);
    EXPECT_NE(LoadLibraryByName("KERNEL32.DLL"), 0u);
    EXPECT_EQ(LoadLibraryByName("HIDX.dll"), 0u);
    EXPECT_EQ(LastError(), ERROR_MOD_NOT_FOUND);
}

TEST_F(ModulesTest, EntryPointsByExactName) {
    const HMODULE hid = LoadLibraryByName("HID.dll");
    EXPECT_NE(GetSymbol(hid, "HidD_GetAttributes"), nullptr);
    EXPECT_EQ(GetSymbol(hid, "hidd_getattributes"), nullptr);
    EXPECT_EQ(LastError(), ERROR_PROC_NOT_FOUND);
    EXPECT_EQ(GetSymbol(hid, "HidD_GetAttributes "), nullptr);
    EXPECT_EQ(GetSymbol(0, "HidD_GetAttributes"), nullptr);
    const HMODULE k32 = LoadLibraryByName("kernel32.dll");
    EXPECT_EQ(GetSymbol(k32, "CancelIo"), ExportAddress(&CancelIo));
    EXPECT_EQ(GetSymbol(k32, "CancelIO"), nullptr);
}

TEST_F(ModulesTest, EveryListedNameIsExported) {
    const HMODULE hid = LoadLibraryByName("HID.dll");
    const auto hidNames = HidNames();
    ASSERT_EQ(hidNames.size(), 41u);
    for (const auto& name : hidNames)
        EXPECT_NE(GetSymbol(hid, name), nullptr) << name;
    EXPECT_EQ(ModuleExportNames("HID.dll").size(), 41u);

    const HMODULE setup = LoadLibraryByName("SetupApi.dll");
    const auto setupNames = SetupApiNames();
    EXPECT_EQ(setupNames.size(), 271u);
    EXPECT_EQ(std::set<std::string>(setupNames.begin(), setupNames.end()).size(), 271u);
    for (const auto& name : setupNames)
        EXPECT_NE(GetSymbol(setup, name), nullptr) << name;
    EXPECT_EQ(ModuleExportNames("SetupApi.dll").size(), 271u);

    const HMODULE k32 = LoadLibraryByName("kernel32.dll");
    for (const char* name :
         {"CreateFileW", "CloseHandle", "ReadFile", "WriteFile", "ReadFileEx", "WriteFileEx",
          "GetOverlappedResult", "CancelIo", "SleepEx", "DeviceIoControl", "GetLastError"})
        EXPECT_NE(GetSymbol(k32, name), nullptr) << name;
}

TEST_F(ModulesTest, UnusedEntryPointsFailCleanly) {
    const HMODULE setup = LoadLibraryByName("SetupApi.dll");
    using Stub = std::intptr_t (*)();
    auto call = [&](const char* name) { return reinterpret_cast<Stub>(GetSymbol(setup, name))(); };
    EXPECT_EQ(call("SetupDiBuildDriverInfoList"), 0);
    EXPECT_EQ(LastError(), ERROR_NOT_SUPPORTED);
    EXPECT_EQ(call("SetupOpenFileQueue"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(LastError(), ERROR_NOT_SUPPORTED);

    const HMODULE hid = LoadLibraryByName("HID.dll");
    auto usages = reinterpret_cast<PFN_HidP_GetUsages>(GetSymbol(hid, "HidP_GetUsages"));
    ULONG length = 5;
    EXPECT_EQ(usages(HidP_Input, 1, 0, nullptr, &length, nullptr, nullptr, 0), HIDP_STATUS_NOT_IMPLEMENTED);
    EXPECT_EQ(length, 0u);
}

// The all-or-nothing binding needs to see a missing entry point, and a fake library in place of ours.
TEST_F(ModulesTest, TestsRemoveEntryPointsAndReplaceModules) {
    const HMODULE hid = LoadLibraryByName("HID.dll");
    EXPECT_TRUE(RemoveSymbol("hid.dll", "HidD_Hello"));
    EXPECT_FALSE(RemoveSymbol("hid.dll", "HidD_Hello"));
    EXPECT_EQ(GetSymbol(hid, "HidD_Hello"), nullptr);
    EXPECT_NE(GetSymbol(hid, "HidD_GetHidGuid"), nullptr);

    static int marker = 0;
    RegisterModule("HID.dll", {{"HidD_Hello", &marker}});
    EXPECT_EQ(GetSymbol(hid, "HidD_Hello"), nullptr) << "a replaced module's old handle resolves nothing";
    const HMODULE fake = LoadLibraryByName("HID.dll");
    EXPECT_EQ(GetSymbol(fake, "HidD_Hello"), &marker);
    EXPECT_EQ(GetSymbol(fake, "HidD_GetHidGuid"), nullptr);

    EXPECT_TRUE(UnregisterModule("HID.dll"));
    EXPECT_EQ(LoadLibraryByName("HID.dll"), 0u);
    ResetModules();
    EXPECT_NE(GetSymbol(LoadLibraryByName("HID.dll"), "HidD_Hello"), nullptr);
}

TEST_F(ModulesTest, FreeingTheLastReferenceUnloads) {
    const HMODULE a = LoadLibraryByName("SetupApi.dll");
    const HMODULE b = LoadLibraryByName("SetupApi.dll");
    ASSERT_EQ(a, b);
    EXPECT_TRUE(FreeModule(a));
    EXPECT_NE(GetSymbol(a, "SetupDiEnumDeviceInterfaces"), nullptr);
    EXPECT_TRUE(FreeModule(a));
    EXPECT_EQ(GetSymbol(a, "SetupDiEnumDeviceInterfaces"), nullptr);
    EXPECT_FALSE(FreeModule(a));
    EXPECT_FALSE(FreeModule(0));
}
