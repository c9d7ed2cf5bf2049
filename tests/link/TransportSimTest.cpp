// The transports against the simulated unit on its three wires. Built when the test program links the
// simulator (KV_TEST_SIM).
#ifdef KV_TEST_SIM

#include <gtest/gtest.h>

#include "link/LComm.h"
#include "link/LNet.h"
#include "link/LUsb.h"
#include "tests/link/TransportFixtures.h"
#include "tests/sim/SimHid.h"
#include "tests/sim/SimPty.h"
#include "tests/sim/SimTcp.h"
#include "tests/sim/SimUnit.h"

namespace {

namespace sim = kv::sim;

// What the unit answers to the probe: the probe's frame under the unit's own ID.
BSTM ProbeReply() {
    return sim::BuildFrame(0x01, 0x00, sim::code::Probe, {});
}

// The main window's side of the HID device: output reports into the node, input reports out of it.
class SimHidPort : public HidOutputPort {
public:
    SimHidPort(int fd, size_t outputLength) : reader(fd), fd_(fd), length_(outputLength) {}
    size_t OutputReportLength() override { return length_; }
    bool WriteReport(const uint8_t* report, size_t n) override {
        return write(fd_, report, n) == static_cast<ssize_t>(n);
    }
    HidReportReader reader;

private:
    int fd_;
    size_t length_;
};

} // namespace

TEST(TransportSim, SerialProbeAndSplitRepliesOverThePseudoTerminal) {
    EnsureApp();
    sim::SimUnit unit;
    unit.UseRealTime();
    sim::SimPty pty(unit);
    FakeOwner owner;
    LCommProc link(&owner);
    ASSERT_TRUE(link.Open(pty.SlavePath(), 115200, 8, NOPARITY, ONESTOPBIT));
    link.SetTimeout(1000);
    link.QueueFrame(Probe(), true);
    ASSERT_TRUE(PumpUntil([&] { return owner.frames.size() == 1; }));
    EXPECT_EQ(owner.frames[0].msg, static_cast<uint32_t>(WM_LINK_FRAME));
    EXPECT_EQ(owner.frames[0].frame, ProbeReply());

    // Replies cut into pieces with gaps still arrive whole; noise before them is skipped.
    unit.SplitReplies(3, 5, 2);
    pty.SendRaw({0x55, 0x10, 0x44});
    link.QueueFrame(Gain(2, 300), false);
    link.QueueFrame(Gain(3, 250), false);
    ASSERT_TRUE(PumpUntil([&] { return owner.frames.size() == 3; }));
    EXPECT_EQ(unit.Received().back().payload, (sim::Bytes{3, 250, 0}));
    EXPECT_EQ(unit.ReceivedCodes(),
              (std::vector<uint8_t>{sim::code::Probe, sim::code::Gain, sim::code::Gain}));
    EXPECT_TRUE(owner.events.empty());
    link.Close();
}

TEST(TransportSim, NetworkProbeAndRepeatRequestOnLoopback) {
    EnsureApp();
    sim::SimUnit unit;
    unit.UseRealTime();
    sim::SimTcp tcp(unit);
    FakeOwner owner;
    LNetSocket net(&owner);
    owner.net = &net;
    ConnectToLoopback(net, tcp.Port());
    ASSERT_TRUE(PumpUntil([&] { return net.Socket.Connected() && tcp.HasClient(); }));
    LNetProc link(&owner);
    net.SetLink(&link);
    ASSERT_TRUE(link.Open());
    link.SetTimeout(4000);
    link.SetRetryLimit(0);
    link.QueueFrame(Probe(), true);
    ASSERT_TRUE(PumpUntil([&] { return owner.frames.size() == 1; }));
    EXPECT_EQ(owner.frames[0].frame, ProbeReply());

    // The unit's short "repeat" read makes the socket send the last frame again.
    tcp.SendRepeatRequest();
    ASSERT_TRUE(PumpUntil([&] { return unit.ReceivedCodes().size() == 2; }));
    EXPECT_EQ(unit.ReceivedCodes(), (std::vector<uint8_t>{sim::code::Probe, sim::code::Probe}));
    link.Close();
    net.SetLink(nullptr);
    net.Socket.SetActive(false);
}

TEST(TransportSim, UsbProbeThroughTheHidNode) {
    EnsureApp();
    sim::SimUnit unit;
    unit.UseRealTime();
    sim::SimHid hid(unit);
    FakeOwner owner;
    SimHidPort port(hid.DeviceFd(), 65);
    owner.hid = &port;
    LUsbProc link(&owner);
    port.reader.link = &link;
    ASSERT_TRUE(link.Open());
    link.SetTimeout(100);
    link.SetRetryLimit(3);
    link.QueueFrame(Probe(), true);
    link.QueueFrame(Peq(0, 3, 130), false);
    ASSERT_TRUE(PumpUntil([&] { return owner.frames.size() == 2; }));
    EXPECT_EQ(owner.frames[0].frame, ProbeReply());
    EXPECT_EQ(hid.OutputReports(), 2);
    EXPECT_EQ(hid.LastOutputReportSize(), 65u);
    EXPECT_EQ(hid.BadReports(), 0);
    EXPECT_TRUE(owner.events.empty());
    link.Close();
    port.reader.link = nullptr;
}

#endif
