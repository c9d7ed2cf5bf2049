#pragma once
// A fake device tree for the HID tests: devices are socket pairs whose far end the test holds, and a
// controller whose handlers record what they see, in order.

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "hid/Hid.h"
#include "hid/HidControllerClass.h"
#include "hid/Setupapi.h"
#include "platform/sys/HidApi.h"
#include "tests/support/HidFake.h"
#include "platform/sys/Modules.h"
#include "tests/support/GuiThread.h"
#include "tests/support/TempFiles.h"

namespace hidtest {

inline constexpr uint16_t kUnitVid = 0x0168, kUnitPid = 0x0821;

class FakeTree {
public:
    FakeTree() {
        EnsureApp();
        kv::sys::ResetModules();
        kv::sys::SetHidRoot(dir_.path().string());
    }
    ~FakeTree() {
        // Everything the test made is gone by now: a reader or watcher still running would feed the
        // next test's message loop.
        EXPECT_EQ(THidDeviceReadThread::LiveCount(), 0) << "a report reader outlived its test";
        EXPECT_FALSE(kv::sys::DeviceChangeWatcherRunning()) << "the device-change watcher outlived its test";
        for (auto& [n, fd] : peers_)
            close(fd);
        for (int n : numbers_)
            kv::sys::RemoveFakeHidDevice(n);
        kv::sys::SetHidRoot("/");
        kv::sys::ResetModules();
        TMessageBridge::ServePending();
    }
    FakeTree(const FakeTree&) = delete;
    FakeTree& operator=(const FakeTree&) = delete;

    // Plugs hidrawN in; the test keeps the device's far end (Peer(n)). fd >= 0 backs the node with a
    // descriptor of the caller's instead (the simulated unit's).
    void Plug(int n, uint16_t vid = kUnitVid, uint16_t pid = kUnitPid,
              kv::sys::FakeNodeAccess access = kv::sys::FakeNodeAccess::ReadWrite, int fd = -1,
              int inputBytes = 64, int outputBytes = 64) {
        kv::sys::FakeHidDevice d;
        d.number = n;
        d.vendorId = vid;
        d.productId = pid;
        d.manufacturer = "Maker";
        d.product = "Product " + std::to_string(n);
        d.serial = std::exchange(nextSerial, std::string());
        d.reportDescriptor = kv::sys::SimpleReportDescriptor(inputBytes, outputBytes, 0);
        d.access = access;
        if (fd < 0) {
            int sv[2];
            if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, sv) != 0)
                throw std::runtime_error("no socket pair");
            if (peers_.count(n))
                close(peers_[n]);
            peers_[n] = sv[0];
            fd = sv[1];
        }
        ASSERT_TRUE(kv::sys::AddFakeHidDevice(d, fd));
        numbers_.push_back(n);
    }
    void Unplug(int n) {
        kv::sys::RemoveFakeHidDevice(n);
        std::erase(numbers_, n);
    }
    int Peer(int n) { return peers_.at(n); }
    std::string nextSerial; // the serial number of the next device plugged in
    // One input report from the device (data bytes; the report ID 0 is put in front when read).
    void Send(int n, const std::vector<uint8_t>& data) {
        ASSERT_EQ(send(Peer(n), data.data(), data.size(), MSG_NOSIGNAL), static_cast<ssize_t>(data.size()));
    }

private:
    kvtest::TempDir dir_;
    std::map<int, int> peers_;
    std::vector<int> numbers_;
};

// "hidrawN" of a device.
inline std::string NodeName(THidDevice* d) {
    const std::string& p = d->PnPInfo()->DevicePath();
    return p.substr(p.rfind('/') + 1);
}

// The system's device-change broadcast, as the controller's notification window gets it.
inline void Notify(THidDeviceController& ctl) {
    TMessage msg;
    msg.Msg = kv::sys::WM_DEVICECHANGE;
    msg.WParam = kv::sys::DBT_DEVNODES_CHANGED;
    msg.LParam = 0;
    ctl.EventPipe(msg);
}

// The controller's list adds up: checked in + checked out + unplugged = listed.
inline void ExpectCounts(THidDeviceController& ctl, int in, int out, int unplugged) {
    EXPECT_EQ(ctl.NumCheckedInDevices(), in);
    EXPECT_EQ(ctl.NumCheckedOutDevices(), out);
    EXPECT_EQ(ctl.NumUnpluggedDevices(), unplugged);
    EXPECT_EQ(in + out + unplugged, static_cast<int>(ctl.Devices().size()));
}

} // namespace hidtest
