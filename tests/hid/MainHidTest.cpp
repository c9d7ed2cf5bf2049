// The main window's HID handlers over the controller: which unit is held, what reaches the USB
// transport, the output report, unplug while the transport writes, and the whole USB link against the
// simulated unit on a fake device node.

#include <atomic>
#include <chrono>
#include <thread>

#include "link/MainHid.h"
#include "tests/hid/HidFixture.h"
#include "tests/link/TransportFixtures.h"
#include "tests/sim/SimHid.h"
#include "tests/sim/SimUnit.h"

namespace {

using namespace hidtest;

struct Host : LHidHost {
    std::string status;
    bool visible = true;
    int linkBroken = 0;
    std::vector<std::string> messages;
    std::string StatusText() const override { return status; }
    void SetStatusText(const std::string& text) override { status = text; }
    bool MainWindowVisible() const override { return visible; }
    void StartLinkBrokenTimer() override { ++linkBroken; }
    void ShowInformation(const std::string& text) override { messages.push_back(text); }
};

// The owner window whose port write is the HID handlers' one.
struct Owner : FakeOwner {
    LMainHid* main = nullptr;
    void HidWrite(const uint8_t* bytes, uint32_t length) override {
        if (main)
            main->HidWrite(bytes, length);
    }
};

// A USB transport that records what it is given.
struct RecordingUsb : LUsbProc {
    using LUsbProc::LUsbProc;
    void DeliverInput(const uint8_t* bytes, uint32_t length) override {
        std::lock_guard lock(m);
        delivered.emplace_back(bytes, bytes + length);
    }
    std::vector<std::vector<uint8_t>> Delivered() {
        std::lock_guard lock(m);
        return delivered;
    }
    std::mutex m;
    std::vector<std::vector<uint8_t>> delivered;
};

struct Rig {
    explicit Rig(FakeTree&) {
        main.Bind(&ctl);
        TMessageBridge::ServePending(); // the controller's start-up notification
    }
    Host host;
    Owner owner;
    LMainHid main{&owner, &host};
    // Goes first, as at program end: it unplugs what is held, and the handler checks it in.
    THidDeviceController ctl{nullptr};
};

std::vector<uint8_t> Frame(uint8_t len) {
    std::vector<uint8_t> f(len + 8u, 0xAA);
    f[0] = 0x10;
    f[1] = 0x02;
    f[4] = len;
    return f;
}

TEST(MainHid, OnlyTheHeldUnitsBoundedReportsReachTheTransport) {
    FakeTree tree;
    tree.Plug(0);
    tree.Plug(1); // a second unit
    tree.Plug(2, 0x1234, 0x0001);
    Rig rig(tree);
    THidDevice* unit = rig.main.HidDevice();
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(NodeName(unit), "hidraw0");
    EXPECT_EQ(rig.host.status, "Detect HID");
    ExpectCounts(rig.ctl, 2, 1, 0); // the second unit stays with the controller
    THidDevice* second = rig.ctl.Devices()[1];

    RecordingUsb usb(&rig.owner);
    rig.main.SetLink(&usb);
    struct Case {
        size_t size;
        uint8_t len;
        size_t delivered; // 0: ignored
    };
    const std::vector<Case> cases = {
        {4, 10, 0},     // too short to hold a length byte
        {5, 0, 5},      // the report's own bytes only
        {64, 3, 11},    // one frame
        {64, 200, 64},  // never more than the report
        {200, 250, 128} // never more than the input buffer
    };
    for (const Case& c : cases) {
        usb.delivered.clear();
        std::vector<uint8_t> data(c.size, 0x55);
        if (c.size > 4)
            data[4] = c.len;
        rig.main.HidCtlDeviceData(unit, 0, data.data(), static_cast<uint16_t>(c.size));
        rig.main.HidCtlDeviceData(second, 0, data.data(), static_cast<uint16_t>(c.size));
        if (c.delivered == 0) {
            EXPECT_TRUE(usb.delivered.empty()) << c.size;
        } else {
            ASSERT_EQ(usb.delivered.size(), 1u) << c.size;
            EXPECT_EQ(usb.delivered[0].size(), c.delivered) << c.size;
        }
    }

    // Through the reader: the held unit's report arrives, the second unit has no reader.
    usb.delivered.clear();
    const std::vector<uint8_t> frame = Frame(3);
    tree.Send(1, frame);
    tree.Send(0, frame);
    ASSERT_TRUE(PumpUntil([&] { return !usb.Delivered().empty(); }));
    PumpUntil([] { return false; }, 50);
    EXPECT_EQ(usb.Delivered(), (std::vector<std::vector<uint8_t>>{frame}));

    // Unplugging the other unit changes nothing; unplugging the held one releases it, starts the
    // link-broken timer, and the other unit is taken in the same rescan.
    tree.Unplug(1);
    Notify(rig.ctl);
    EXPECT_EQ(rig.main.HidDevice(), unit);
    EXPECT_EQ(rig.host.linkBroken, 0);
    tree.Plug(1);
    Notify(rig.ctl);
    tree.Unplug(0);
    Notify(rig.ctl);
    EXPECT_EQ(rig.host.linkBroken, 1);
    ASSERT_NE(rig.main.HidDevice(), nullptr);
    EXPECT_EQ(NodeName(rig.main.HidDevice()), "hidraw1");
    ExpectCounts(rig.ctl, 1, 1, 0);
    rig.main.SetLink(nullptr);

    rig.main.HidCtlDeviceDataError(unit, kv::sys::ERROR_ACCESS_DENIED);
    EXPECT_EQ(rig.host.messages,
              (std::vector<std::string>{"READ ERROR: " + kv::sys::ErrorText(kv::sys::ERROR_ACCESS_DENIED)}));
}

TEST(MainHid, OutputReportIsIdZeroTheFrameAndPadding) {
    FakeTree tree;
    tree.Plug(0, kUnitVid, kUnitPid, kv::sys::FakeNodeAccess::ReadWrite, -1, 64, 31);
    Rig rig(tree);
    const std::vector<uint8_t> frame = Frame(4);
    rig.main.HidWrite(frame.data(), static_cast<uint32_t>(frame.size())); // no transport: nothing
    RecordingUsb usb(&rig.owner);
    rig.main.SetLink(&usb);
    rig.owner.FrameLogShown = true;
    rig.main.HidWrite(frame.data(), static_cast<uint32_t>(frame.size()));
    uint8_t got[256];
    const ssize_t n = recv(tree.Peer(0), got, sizeof got, MSG_DONTWAIT);
    ASSERT_EQ(n, 32); // one report only
    std::vector<uint8_t> expect(32, 0);
    std::copy(frame.begin(), frame.end(), expect.begin() + 1);
    EXPECT_EQ(std::vector<uint8_t>(got, got + n), expect);
    EXPECT_LT(recv(tree.Peer(0), got, sizeof got, MSG_DONTWAIT), 0);
    TMessageBridge::ServePending();
    ASSERT_EQ(rig.owner.logs.size(), 1u);
    EXPECT_EQ(rig.owner.logs[0], "USB W 00  10 02 AA AA 04 AA AA AA AA AA AA AA ");
    // A frame longer than the report is not cut: it is not written.
    const std::vector<uint8_t> big = Frame(40);
    rig.main.HidWrite(big.data(), static_cast<uint32_t>(big.size()));
    EXPECT_LT(recv(tree.Peer(0), got, sizeof got, MSG_DONTWAIT), 0);
}

TEST(MainHid, UnplugWhileTheTransportWritesNeverFreesTheDeviceUnderIt) {
    FakeTree tree;
    tree.Plug(0);
    Rig rig(tree);
    ASSERT_NE(rig.main.HidDevice(), nullptr);
    RecordingUsb usb(&rig.owner);
    rig.main.SetLink(&usb);
    const int peer = tree.Peer(0);
    std::thread drain([peer] {
        uint8_t buf[256];
        while (recv(peer, buf, sizeof buf, 0) > 0) {
        }
    });
    std::atomic<bool> stop{false};
    std::atomic<int> writes{0};
    std::thread writer([&] {
        const std::vector<uint8_t> frame = Frame(4);
        while (!stop) {
            rig.main.HidWrite(frame.data(), static_cast<uint32_t>(frame.size()));
            ++writes;
        }
    });
    while (writes < 50)
        std::this_thread::yield();
    tree.Unplug(0);
    Notify(rig.ctl);
    EXPECT_EQ(rig.main.HidDevice(), nullptr);
    EXPECT_TRUE(rig.ctl.Devices().empty());
    EXPECT_EQ(rig.host.status, "OffLine");
    EXPECT_EQ(rig.host.linkBroken, 1);
    // Writes after the unplug return at once.
    const int before = writes;
    const auto start = std::chrono::steady_clock::now();
    while (writes < before + 100 && std::chrono::steady_clock::now() - start < std::chrono::seconds(2))
        std::this_thread::yield();
    EXPECT_GE(writes, before + 100);
    stop = true;
    writer.join();
    shutdown(peer, SHUT_RDWR);
    drain.join();
    rig.main.SetLink(nullptr);
}

TEST(MainHid, UsbLinkEndToEndThroughTheControllerAndTheSimulatedUnit) {
    FakeTree tree;
    kv::sim::SimUnit unit;
    unit.UseRealTime();
    kv::sim::SimHidOptions options;
    options.idPrefix = false; // a node without numbered reports: the read puts the ID in front
    kv::sim::SimHid hid(unit, options);
    tree.Plug(0, kUnitVid, kUnitPid, kv::sys::FakeNodeAccess::ReadWrite, hid.TakeDeviceFd());
    Rig rig(tree);
    rig.owner.main = &rig.main;
    ASSERT_NE(rig.main.HidDevice(), nullptr);
    EXPECT_EQ(rig.main.HidDevice()->GetCaps().OutputReportByteLength, 65);

    LUsbProc link(&rig.owner);
    rig.main.SetLink(&link);
    ASSERT_TRUE(link.Open());
    link.SetTimeout(1000);
    link.SetRetryLimit(3);
    link.QueueFrame(Probe(), true);
    link.QueueFrame(Gain(2, 300), false);
    ASSERT_TRUE(PumpUntil([&] { return rig.owner.frames.size() == 2; }));
    EXPECT_EQ(rig.owner.frames[0].frame, kv::sim::BuildFrame(0x01, 0x00, kv::sim::code::Probe, {}));
    EXPECT_EQ(unit.ReceivedCodes(), (std::vector<uint8_t>{kv::sim::code::Probe, kv::sim::code::Gain}));
    EXPECT_EQ(hid.OutputReports(), 2);
    EXPECT_EQ(hid.LastOutputReportSize(), 65u);
    EXPECT_EQ(hid.BadReports(), 0);
    EXPECT_TRUE(rig.owner.events.empty());
    link.Close();
    rig.main.SetLink(nullptr);
}

} // namespace
