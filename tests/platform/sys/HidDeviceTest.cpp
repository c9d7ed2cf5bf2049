// The HID layer on a fake device tree: discovery, opening, reports, overlapped reads, plug and unplug.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "platform/sys/HidApi.h"
#include "tests/support/HidFake.h"
#include "platform/sys/Messages.h"
#include "platform/sys/Modules.h"
#include "tests/platform/sys/SysTestApp.h"

using namespace kv::sys;
using Bytes = std::vector<std::uint8_t>;

namespace {

template <class Pfn> Pfn Bind(const char* module, const char* name) {
    return reinterpret_cast<Pfn>(GetSymbol(LoadLibraryByName(module), name));
}

struct Hid {
    PFN_HidD_GetAttributes GetAttributes = Bind<PFN_HidD_GetAttributes>("HID.dll", "HidD_GetAttributes");
    PFN_HidD_GetPreparsedData GetPreparsedData =
        Bind<PFN_HidD_GetPreparsedData>("HID.dll", "HidD_GetPreparsedData");
    PFN_HidD_FreePreparsedData FreePreparsedData =
        Bind<PFN_HidD_FreePreparsedData>("HID.dll", "HidD_FreePreparsedData");
    PFN_HidP_GetCaps GetCaps = Bind<PFN_HidP_GetCaps>("HID.dll", "HidP_GetCaps");
    PFN_HidD_GetProductString GetProductString =
        Bind<PFN_HidD_GetProductString>("HID.dll", "HidD_GetProductString");
    PFN_HidD_GetManufacturerString GetManufacturerString =
        Bind<PFN_HidD_GetManufacturerString>("HID.dll", "HidD_GetManufacturerString");
    PFN_HidD_GetSerialNumberString GetSerialNumberString =
        Bind<PFN_HidD_GetSerialNumberString>("HID.dll", "HidD_GetSerialNumberString");
    PFN_HidD_GetIndexedString GetIndexedString =
        Bind<PFN_HidD_GetIndexedString>("HID.dll", "HidD_GetIndexedString");
    PFN_SetupDiGetClassDevsW GetClassDevs =
        Bind<PFN_SetupDiGetClassDevsW>("SetupApi.dll", "SetupDiGetClassDevsW");
    PFN_SetupDiEnumDeviceInterfaces EnumInterfaces =
        Bind<PFN_SetupDiEnumDeviceInterfaces>("SetupApi.dll", "SetupDiEnumDeviceInterfaces");
    PFN_SetupDiGetDeviceInterfaceDetailA Detail =
        Bind<PFN_SetupDiGetDeviceInterfaceDetailA>("SetupApi.dll", "SetupDiGetDeviceInterfaceDetailA");
    PFN_SetupDiDestroyDeviceInfoList Destroy =
        Bind<PFN_SetupDiDestroyDeviceInfoList>("SetupApi.dll", "SetupDiDestroyDeviceInfoList");
    PFN_SetupDiGetDeviceRegistryPropertyA Property =
        Bind<PFN_SetupDiGetDeviceRegistryPropertyA>("SetupApi.dll", "SetupDiGetDeviceRegistryPropertyA");
};

struct Found {
    std::string path;
    DWORD instance = 0;
    std::string friendlyName;
};

// The scan as the device controller makes it.
std::vector<Found> Scan(const Hid& hid) {
    std::vector<Found> found;
    const HDEVINFO set =
        hid.GetClassDevs(&HID_INTERFACE_GUID, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    EXPECT_NE(set, INVALID_HANDLE_VALUE);
    for (DWORD i = 0;; ++i) {
        SP_DEVICE_INTERFACE_DATA data{};
        data.cbSize = 28;
        if (!hid.EnumInterfaces(set, nullptr, &HID_INTERFACE_GUID, i, &data)) {
            EXPECT_EQ(LastError(), ERROR_NO_MORE_ITEMS);
            break;
        }
        SP_DEVINFO_DATA dev{};
        dev.cbSize = 28;
        DWORD required = 0;
        EXPECT_FALSE(hid.Detail(set, &data, nullptr, 0, &required, &dev));
        EXPECT_EQ(LastError(), ERROR_INSUFFICIENT_BUFFER);
        std::vector<char> block(required, '\0');
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(block.data());
        detail->cbSize = SP_DETAIL_A_SIZE;
        EXPECT_TRUE(hid.Detail(set, &data, detail, required, nullptr, &dev));
        Found f;
        f.path = block.data() + SP_DETAIL_A_PATH_OFFSET;
        f.instance = dev.DevInst;
        char text[2048] = {};
        if (hid.Property(set, &dev, SPDRP_FRIENDLYNAME, nullptr, reinterpret_cast<std::uint8_t*>(text),
                         sizeof text, nullptr))
            f.friendlyName = text;
        found.push_back(f);
    }
    EXPECT_TRUE(hid.Destroy(set));
    return found;
}

std::string Narrow(const WCHAR* text) {
    std::string s;
    for (; *text; ++text)
        s.push_back(static_cast<char>(*text));
    return s;
}

class HidDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = ::testing::TempDir() + "kv-hid-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        std::filesystem::create_directories(root_ + "/dev");
        SetHidRoot(root_);
    }
    void TearDown() override {
        for (int n : added_)
            RemoveFakeHidDevice(n);
        for (int fd : peers_)
            close(fd);
        SetHidRoot("/");
        std::filesystem::remove_all(root_);
    }

    // A device whose node is one end of a socket pair; the other end (returned) is the device itself.
    int AddDevice(FakeHidDevice device) {
        int sv[2];
        EXPECT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, sv), 0);
        EXPECT_TRUE(AddFakeHidDevice(device, sv[1]));
        added_.push_back(device.number);
        peers_.push_back(sv[0]);
        return sv[0];
    }

    static FakeHidDevice Unit(int number, std::uint8_t reportId = 0) {
        FakeHidDevice d;
        d.number = number;
        d.vendorId = 0x0168;
        d.productId = 0x0821;
        d.version = 0x0102;
        d.manufacturer = "Maker";
        d.product = "Unit";
        d.serial = "SN-7";
        d.reportDescriptor = SimpleReportDescriptor(64, 64, 0, reportId);
        return d;
    }

    std::string Path(int number) const { return root_ + "/dev/hidraw" + std::to_string(number); }

    HANDLE Open(int number, DWORD access = GENERIC_READ | GENERIC_WRITE, DWORD flags = 0) const {
        const std::string p = Path(number);
        return CreateFileA(p.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           flags, 0);
    }

    std::string root_;
    std::vector<int> added_;
    std::vector<int> peers_;
    Hid hid_;
};

} // namespace

TEST_F(HidDeviceTest, DiscoveryReadsSysfsWithoutOpeningTheDevice) {
    AddDevice(Unit(3));
    FakeHidDevice other = Unit(1);
    other.vendorId = 0x046D;
    other.product = "Other";
    AddFakeHidDevice(other, -1);
    added_.push_back(1);

    const auto found = Scan(hid_);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].path, Path(1));
    EXPECT_EQ(found[1].path, Path(3));
    EXPECT_EQ(found[0].friendlyName, "Other");
    EXPECT_EQ(found[1].friendlyName, "Unit");
    EXPECT_NE(found[0].instance, found[1].instance);

    // Identity: the same while plugged in, new after a replug.
    EXPECT_EQ(Scan(hid_)[1].instance, found[1].instance);
    RemoveFakeHidDevice(3);
    ASSERT_EQ(Scan(hid_).size(), 1u);
    AddDevice(Unit(3));
    EXPECT_NE(Scan(hid_)[1].instance, found[1].instance);

    // Query-only open: attributes and strings come from sysfs.
    const HANDLE h = Open(3, 0);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    HIDD_ATTRIBUTES attr{};
    attr.Size = 12;
    ASSERT_TRUE(hid_.GetAttributes(h, &attr));
    EXPECT_EQ(attr.VendorID, 0x0168);
    EXPECT_EQ(attr.ProductID, 0x0821);
    EXPECT_EQ(attr.VersionNumber, 0x0102);
    WCHAR text[254];
    ASSERT_TRUE(hid_.GetManufacturerString(h, text, sizeof text));
    EXPECT_EQ(Narrow(text), "Maker");
    ASSERT_TRUE(hid_.GetProductString(h, text, sizeof text));
    EXPECT_EQ(Narrow(text), "Unit");
    ASSERT_TRUE(hid_.GetSerialNumberString(h, text, sizeof text));
    EXPECT_EQ(Narrow(text), "SN-7");
    ASSERT_TRUE(hid_.GetProductString(h, text, 6)); // cut to the buffer, still terminated
    EXPECT_EQ(Narrow(text), "Un");
    std::fill(std::begin(text), std::end(text), u'\xFFFF');
    ASSERT_TRUE(hid_.GetIndexedString(h, 0, text, sizeof text));
    EXPECT_EQ(text[0], 0x0409);

    PHIDP_PREPARSED_DATA pp = nullptr;
    ASSERT_TRUE(hid_.GetPreparsedData(h, &pp));
    HIDP_CAPS caps{};
    EXPECT_EQ(hid_.GetCaps(pp, &caps), HIDP_STATUS_SUCCESS);
    EXPECT_EQ(caps.InputReportByteLength, 65);
    EXPECT_EQ(caps.OutputReportByteLength, 65);
    EXPECT_EQ(caps.FeatureReportByteLength, 0);
    EXPECT_EQ(caps.UsagePage, 0xFF00);
    EXPECT_EQ(caps.NumberLinkCollectionNodes, 1);
    EXPECT_TRUE(hid_.FreePreparsedData(pp));
    EXPECT_FALSE(hid_.FreePreparsedData(pp));
    EXPECT_EQ(hid_.GetCaps(pp, &caps), HIDP_STATUS_INVALID_PREPARSED_DATA);
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_FALSE(CloseHandle(h));
}

TEST_F(HidDeviceTest, InaccessibleNodesFailToOpen) {
    FakeHidDevice none = Unit(0);
    none.access = FakeNodeAccess::None;
    AddDevice(none);
    FakeHidDevice query = Unit(1);
    query.access = FakeNodeAccess::QueryOnly;
    AddDevice(query);

    EXPECT_EQ(Open(0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(LastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Open(0, 0), INVALID_HANDLE_VALUE);

    EXPECT_EQ(Open(1), INVALID_HANDLE_VALUE);
    EXPECT_EQ(LastError(), ERROR_ACCESS_DENIED);
    const HANDLE q = Open(1, 0);
    ASSERT_NE(q, INVALID_HANDLE_VALUE);
    std::uint8_t buf[65];
    OVERLAPPED ovl{};
    EXPECT_FALSE(ReadFileEx(q, buf, sizeof buf, &ovl, nullptr));
    EXPECT_EQ(LastError(), ERROR_ACCESS_DENIED);
    DWORD n = 0;
    EXPECT_FALSE(WriteFile(q, buf, sizeof buf, &n, nullptr));
    CloseHandle(q);

    EXPECT_EQ(Open(7), INVALID_HANDLE_VALUE); // no such node
    EXPECT_EQ(LastError(), ERROR_FILE_NOT_FOUND);
    const std::string dir = root_ + "/dev";
    EXPECT_EQ(CreateFileA(dir.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, 0),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileW(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, 0), INVALID_HANDLE_VALUE);

    // A device without access is still found, and counts as a new device once it gets access.
    const auto before = Scan(hid_);
    ASSERT_EQ(before.size(), 2u);
    SetFakeNodeAccess(Path(1), FakeNodeAccess::ReadWrite);
    const auto after = Scan(hid_);
    EXPECT_EQ(after[0].instance, before[0].instance);
    EXPECT_NE(after[1].instance, before[1].instance);
}

TEST_F(HidDeviceTest, ReportsInAndOutWithTheReportId) {
    struct Case {
        std::uint8_t reportId;
        Bytes wire;     // what the device sends
        Bytes expected; // what a read gives
    };
    Bytes data(64);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i + 1);
    Bytes withZero = data;
    withZero.insert(withZero.begin(), 0);
    Bytes numbered = data;
    numbered.insert(numbered.begin(), 5);
    const std::vector<Case> cases = {
        {0, data, withZero},     // no numbered reports: ID 0 put in front
        {5, numbered, numbered}, // numbered: the ID is on the wire already
    };
    int number = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.reportId));
        const int device = AddDevice(Unit(number, c.reportId));
        const HANDLE h = Open(number++);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);

        ASSERT_EQ(send(device, c.wire.data(), c.wire.size(), 0), static_cast<ssize_t>(c.wire.size()));
        Bytes buf(65, 0xEE);
        DWORD n = 0;
        ASSERT_TRUE(ReadFile(h, buf.data(), static_cast<DWORD>(buf.size()), &n, nullptr));
        EXPECT_EQ(Bytes(buf.begin(), buf.begin() + n), c.expected);

        // Writes go out as given, report ID first.
        Bytes out(65, 0);
        out[0] = c.reportId;
        out[1] = 0x10;
        out[2] = 0x03;
        ASSERT_TRUE(WriteFile(h, out.data(), static_cast<DWORD>(out.size()), &n, nullptr));
        EXPECT_EQ(n, 65u);
        Bytes got(100);
        ASSERT_EQ(recv(device, got.data(), got.size(), 0), 65);
        got.resize(65);
        EXPECT_EQ(got, out);
        CloseHandle(h);
    }
}

namespace {

struct Completion {
    int calls = 0;
    DWORD error = 0xFFFF;
    DWORD bytes = 0;
};

void Routine(DWORD error, DWORD bytes, OVERLAPPED* ovl) {
    Completion* c = static_cast<Completion*>(ovl->hEvent);
    ++c->calls;
    c->error = error;
    c->bytes = bytes;
}

} // namespace

TEST_F(HidDeviceTest, OverlappedReadCompletesInsideAnAlertableSleep) {
    const int device = AddDevice(Unit(0));
    const HANDLE h = Open(0, GENERIC_READ, FILE_FLAG_OVERLAPPED);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);

    // The reader thread's loop: request, sleep alertably, take the result.
    Completion c;
    Bytes buf(65, 0);
    OVERLAPPED ovl{};
    ovl.hEvent = &c;
    ASSERT_TRUE(ReadFileEx(h, buf.data(), 65, &ovl, &Routine));
    DWORD n = 99;
    EXPECT_FALSE(GetOverlappedResult(h, &ovl, &n, FALSE));
    EXPECT_EQ(LastError(), ERROR_IO_INCOMPLETE);
    EXPECT_EQ(SleepEx(30, TRUE), 0u) << "nothing arrived";
    EXPECT_EQ(c.calls, 0);

    std::thread sender([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        const std::uint8_t report[3] = {0xAA, 0xBB, 0xCC};
        send(device, report, sizeof report, 0);
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SleepEx(5000, TRUE), WAIT_IO_COMPLETION);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2))
        << "the report ends the sleep";
    sender.join();
    EXPECT_EQ(c.calls, 1);
    EXPECT_EQ(c.error, ERROR_SUCCESS);
    EXPECT_EQ(c.bytes, 4u);
    ASSERT_TRUE(GetOverlappedResult(h, &ovl, &n, FALSE));
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(Bytes(buf.begin(), buf.begin() + 4), (Bytes{0, 0xAA, 0xBB, 0xCC}));

    // Cancelled: nothing is written into the buffer any more, the report waits for the next read.
    std::fill(buf.begin(), buf.end(), 0x55);
    ASSERT_TRUE(ReadFileEx(h, buf.data(), 65, &ovl, &Routine));
    EXPECT_TRUE(CancelIo(h));
    const std::uint8_t late[2] = {1, 2};
    send(device, late, sizeof late, 0);
    EXPECT_FALSE(GetOverlappedResult(h, &ovl, &n, FALSE));
    EXPECT_EQ(LastError(), ERROR_OPERATION_ABORTED);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(SleepEx(50, TRUE), WAIT_IO_COMPLETION); // the routine still runs, with the abort
    EXPECT_EQ(c.calls, 2);
    EXPECT_EQ(c.error, ERROR_OPERATION_ABORTED);
    EXPECT_EQ(buf, Bytes(65, 0x55));
    ASSERT_TRUE(ReadFile(h, buf.data(), 65, &n, nullptr));
    EXPECT_EQ(n, 3u);

    EXPECT_FALSE(CancelIo(INVALID_HANDLE_VALUE));
    CloseHandle(h);
}

TEST_F(HidDeviceTest, ClosingOrUnplugEndsAPendingReadWithoutBytes) {
    const int device = AddDevice(Unit(0));
    const HANDLE h = Open(0, GENERIC_READ, FILE_FLAG_OVERLAPPED);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    const HANDLE h2 = Open(0, GENERIC_READ, FILE_FLAG_OVERLAPPED);

    // Closed by another thread (check-in on the GUI thread) while the reader sleeps.
    std::atomic<bool> done{false};
    Completion c;
    std::thread reader([&] {
        Bytes buf(65);
        OVERLAPPED ovl{};
        ovl.hEvent = &c;
        ASSERT_TRUE(ReadFileEx(h, buf.data(), 65, &ovl, &Routine));
        while (SleepEx(100, TRUE) != WAIT_IO_COMPLETION && !done) {
        }
        DWORD n = 7;
        EXPECT_FALSE(GetOverlappedResult(h, &ovl, &n, FALSE));
        EXPECT_EQ(n, 0u);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(CloseHandle(h));
    reader.join();
    EXPECT_EQ(c.calls, 1);
    EXPECT_EQ(c.error, ERROR_OPERATION_ABORTED);

    // Unplugged: the pending read ends without bytes, the next ones fail.
    Completion c2;
    Bytes buf(65);
    OVERLAPPED ovl{};
    ovl.hEvent = &c2;
    ASSERT_TRUE(ReadFileEx(h2, buf.data(), 65, &ovl, &Routine));
    RemoveFakeHidDevice(0);
    added_.clear();
    EXPECT_EQ(SleepEx(2000, TRUE), WAIT_IO_COMPLETION);
    EXPECT_EQ(c2.error, ERROR_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(c2.bytes, 0u);
    DWORD n = 0;
    EXPECT_FALSE(ReadFile(h2, buf.data(), 65, &n, nullptr));
    EXPECT_EQ(Open(0), INVALID_HANDLE_VALUE);
    CloseHandle(h2);
    (void)device;
}

namespace {

struct ChangeWindow : TMessageTarget {
    // Also when a failed assertion leaves the test early: the watcher must not post to a dead window.
    ~ChangeWindow() override { UnregisterDeviceChangeTarget(this); }
    std::vector<TMessage> got;
    std::vector<bool> onGui;
    void Dispatch(TMessage& msg) override {
        got.push_back(msg);
        onGui.push_back(TMessageBridge::OnGuiThread());
    }
};

} // namespace

TEST_F(HidDeviceTest, PlugAndUnplugReachTheGuiThreadAsOneChangeEach) {
    EnsureApp();
    ChangeWindow w;
    RegisterDeviceChangeTarget(&w);
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the watch is in place

    const auto before = std::chrono::steady_clock::now();
    AddDevice(Unit(2));
    SetFakeNodeAccess(Path(2), FakeNodeAccess::ReadWrite); // the session's access, right after the node
    const bool together = std::chrono::steady_clock::now() - before < std::chrono::milliseconds(50);
    ASSERT_TRUE(PumpUntil([&] { return !w.got.empty(); }));
    PumpUntil([] { return false; }, 400);
    // Only when this thread was not held up between the two steps do they fall in one merge window.
    if (together)
        ASSERT_EQ(w.got.size(), 1u) << "node and permissions together are one change";
    else
        ASSERT_LE(w.got.size(), 2u);
    const size_t first = w.got.size();
    EXPECT_EQ(w.got[0].Msg, WM_DEVICECHANGE);
    EXPECT_EQ(w.got[0].WParam, DBT_DEVNODES_CHANGED);
    EXPECT_EQ(w.got[0].LParam, 0);
    EXPECT_TRUE(w.onGui[0]);

    // Access taken away later is a change of its own (the device then counts as a new one).
    SetFakeNodeAccess(Path(2), FakeNodeAccess::QueryOnly);
    ASSERT_TRUE(PumpUntil([&] { return w.got.size() >= first + 1; }));

    // Files that are not device nodes are no change.
    {
        std::FILE* f = std::fopen((root_ + "/dev/other").c_str(), "w");
        if (f)
            std::fclose(f);
    }
    RemoveFakeHidDevice(2);
    added_.clear();
    ASSERT_TRUE(PumpUntil([&] { return w.got.size() >= first + 2; }));
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(w.got.size(), first + 2);

    UnregisterDeviceChangeTarget(&w);
    EXPECT_FALSE(DeviceChangeWatcherRunning()) << "the last window gone, the watcher ends";
    AddDevice(Unit(2));
    PumpUntil([] { return false; }, 400);
    EXPECT_EQ(w.got.size(), first + 2) << "an unregistered window hears nothing";
}
