// The HID layer against the kernel: a virtual device made through uhid. Skipped on machines without
// uhid or without the rights to use it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <linux/uhid.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

#include "platform/sys/HidApi.h"
#include "tests/support/HidFake.h"
#include "platform/sys/Modules.h"

using namespace kv::sys;

namespace {

constexpr std::uint16_t kVendor = 0x1209, kProduct = 0x4B56; // test IDs, not the unit's

bool WriteEvent(int fd, const uhid_event& ev) {
    return write(fd, &ev, sizeof ev) == static_cast<ssize_t>(sizeof ev);
}

// The path of the kernel node with our IDs, waiting for it to appear.
std::string FindNode() {
    auto getClassDevs = reinterpret_cast<PFN_SetupDiGetClassDevsW>(
        GetSymbol(LoadLibraryByName("SetupApi.dll"), "SetupDiGetClassDevsW"));
    auto enumInterfaces = reinterpret_cast<PFN_SetupDiEnumDeviceInterfaces>(
        GetSymbol(LoadLibraryByName("SetupApi.dll"), "SetupDiEnumDeviceInterfaces"));
    auto detail = reinterpret_cast<PFN_SetupDiGetDeviceInterfaceDetailA>(
        GetSymbol(LoadLibraryByName("SetupApi.dll"), "SetupDiGetDeviceInterfaceDetailA"));
    auto destroy = reinterpret_cast<PFN_SetupDiDestroyDeviceInfoList>(
        GetSymbol(LoadLibraryByName("SetupApi.dll"), "SetupDiDestroyDeviceInfoList"));
    auto attributes = reinterpret_cast<PFN_HidD_GetAttributes>(
        GetSymbol(LoadLibraryByName("HID.dll"), "HidD_GetAttributes"));
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < end) {
        const HDEVINFO set =
            getClassDevs(&HID_INTERFACE_GUID, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        std::string found;
        for (DWORD i = 0; found.empty(); ++i) {
            SP_DEVICE_INTERFACE_DATA data{};
            data.cbSize = sizeof data;
            if (!enumInterfaces(set, nullptr, &HID_INTERFACE_GUID, i, &data))
                break;
            char block[512] = {};
            reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(block)->cbSize = SP_DETAIL_A_SIZE;
            if (!detail(set, &data, reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(block), sizeof block,
                        nullptr, nullptr))
                continue;
            const std::string path = block + SP_DETAIL_A_PATH_OFFSET;
            const HANDLE h = CreateFileA(path.c_str(), 0, 3, nullptr, OPEN_EXISTING, 0, 0);
            HIDD_ATTRIBUTES attr{};
            attr.Size = sizeof attr;
            if (h != INVALID_HANDLE_VALUE && attributes(h, &attr) && attr.VendorID == kVendor &&
                attr.ProductID == kProduct)
                found = path;
            CloseHandle(h);
        }
        destroy(set);
        if (!found.empty())
            return found;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return {};
}

} // namespace

TEST(HidUhid, ReportsThroughAKernelDevice) {
    const int uhid = open("/dev/uhid", O_RDWR | O_CLOEXEC);
    if (uhid < 0)
        GTEST_SKIP() << "no uhid on this machine";
    uhid_event ev{};
    ev.type = UHID_CREATE2;
    std::strcpy(reinterpret_cast<char*>(ev.u.create2.name), "kv test device");
    const auto rd = SimpleReportDescriptor(16, 16, 0);
    std::memcpy(ev.u.create2.rd_data, rd.data(), rd.size());
    ev.u.create2.rd_size = static_cast<std::uint16_t>(rd.size());
    ev.u.create2.bus = 3;
    ev.u.create2.vendor = kVendor;
    ev.u.create2.product = kProduct;
    ASSERT_TRUE(WriteEvent(uhid, ev));

    const std::string path = FindNode();
    const HANDLE h = path.empty() ? INVALID_HANDLE_VALUE
                                  : CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 3, nullptr,
                                                OPEN_EXISTING, 0, 0);
    if (h == INVALID_HANDLE_VALUE) {
        close(uhid);
        GTEST_SKIP() << "the kernel node did not appear or cannot be opened for reports";
    }

    // In: the device has no numbered reports, so ID 0 comes first.
    uhid_event in{};
    in.type = UHID_INPUT2;
    in.u.input2.size = 16;
    for (int i = 0; i < 16; ++i)
        in.u.input2.data[i] = static_cast<std::uint8_t>(0xA0 + i);
    ASSERT_TRUE(WriteEvent(uhid, in));
    std::uint8_t buf[17] = {};
    DWORD n = 0;
    ASSERT_TRUE(ReadFile(h, buf, sizeof buf, &n, nullptr));
    EXPECT_EQ(n, 17u);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(buf[1], 0xA0);
    EXPECT_EQ(buf[16], 0xAF);

    // Out: the report with its ID 0 reaches the device.
    std::uint8_t out[17] = {0, 0x10, 0x03};
    ASSERT_TRUE(WriteFile(h, out, sizeof out, &n, nullptr));
    bool gotOutput = false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!gotOutput && std::chrono::steady_clock::now() < end) {
        pollfd p{uhid, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        uhid_event got{};
        if (read(uhid, &got, sizeof got) <= 0)
            break;
        if (got.type == UHID_OUTPUT) {
            gotOutput = true;
            const std::uint8_t* d = got.u.output.data;
            const int skip = got.u.output.size == 17 ? 1 : 0;
            EXPECT_EQ(d[skip], 0x10);
            EXPECT_EQ(d[skip + 1], 0x03);
        }
    }
    EXPECT_TRUE(gotOutput);
    CloseHandle(h);
    uhid_event destroy{};
    destroy.type = UHID_DESTROY;
    WriteEvent(uhid, destroy);
    close(uhid);
}
