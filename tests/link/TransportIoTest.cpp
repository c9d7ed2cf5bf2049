// The transports on real descriptors with the real clock: a pseudo-terminal, loopback TCP and a HID
// device standing on a socket pair.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>

#include "link/LComm.h"
#include "link/LNet.h"
#include "link/LUsb.h"
#include "tests/link/TransportFixtures.h"
#include "tests/link/TransportPeers.h"

namespace {

// A pseudo-terminal. The test keeps a descriptor of the port side open, so that the unit's side never
// sees the line hang up between the test's opens.
struct Pty {
    int master = -1;
    int slave = -1;
    std::string path;
    Pty() {
        char name[256];
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0)
            path = name;
    }
    ~Pty() {
        if (master >= 0)
            close(master);
        if (slave >= 0)
            close(slave);
    }
};

} // namespace

TEST(TransportIo, SerialProbeAnsweredOverAPseudoTerminal) {
    EnsureApp();
    Pty pty;
    ASSERT_GE(pty.master, 0);
    PeerThread unit;
    unit.Start(pty.master, [](int fd, const BSTM& f) { WriteAllTo(fd, PeerReply(f)); });
    FakeOwner owner;
    owner.FrameLogShown = true;
    LCommProc link(&owner);
    EXPECT_FALSE(link.Open("/nonexistent/ttyS9", 115200, 8, NOPARITY, ONESTOPBIT));
    EXPECT_FALSE(link.Open(pty.path, 128000, 8, NOPARITY, ONESTOPBIT));
    ASSERT_TRUE(link.Open(pty.path, 115200, 8, NOPARITY, ONESTOPBIT));
    EXPECT_FALSE(link.Open(pty.path, 115200, 8, NOPARITY, ONESTOPBIT));
    link.SetTimeout(100);
    link.SetRetryLimit(0);
    link.QueueFrame(Probe(), true);
    ASSERT_TRUE(PumpUntil([&] { return owner.frames.size() == 1; }));
    EXPECT_EQ(owner.frames[0].msg, static_cast<uint32_t>(WM_LINK_FRAME)); // the port runs at 115200
    EXPECT_EQ(owner.frames[0].frame, PeerReply(Probe()));
    EXPECT_EQ(unit.Received(), std::vector<BSTM>{Probe()});
    EXPECT_TRUE(PumpUntil([&] { return owner.logs.size() == 2; }));
    EXPECT_EQ(owner.logs[0].substr(0, 6), "COM W ");
    EXPECT_EQ(owner.logs[1].substr(0, 6), "COM R ");
    EXPECT_FALSE(owner.offGuiThread);
    link.Close();
    unit.Stop();
}

TEST(TransportIo, SerialAtAnotherBaudRateAndAPortThatGoesAway) {
    EnsureApp();
    FakeOwner owner;
    {
        Pty pty;
        PeerThread unit;
        unit.Start(pty.master, [](int fd, const BSTM& f) { WriteAllTo(fd, PeerReply(f)); });
        LCommProc link(&owner);
        ASSERT_TRUE(link.Open(pty.path, 9600, 8, NOPARITY, ONESTOPBIT));
        link.QueueFrame(Probe(), false);
        ASSERT_TRUE(PumpUntil([&] { return owner.frames.size() == 1; }));
        EXPECT_EQ(owner.frames[0].msg, static_cast<uint32_t>(WM_LINK_FRAME_OTHER));
        link.Close();
        unit.Stop();
    }
    // The far side hangs up: the worker reports a port error and ends.
    Pty pty;
    LCommProc link(&owner);
    ASSERT_TRUE(link.Open(pty.path, 115200, 8, NOPARITY, ONESTOPBIT));
    link.QueueFrame(LCmd::ToFrame(CM_MCS_CMD(7, MCS_PROBE)), false);
    close(pty.master);
    pty.master = -1;
    close(pty.slave);
    pty.slave = -1;
    ASSERT_TRUE(PumpUntil([&] { return !owner.events.empty(); }));
    EXPECT_EQ(owner.events[0].first, LINK_PORT_ERROR);
    EXPECT_EQ(owner.events[0].second, 0); // send buffer byte 2: the source byte
    EXPECT_TRUE(PumpUntil([&] { return !link.IsOpen(); }));
    link.QueueFrame(Probe(), false); // the worker has ended: nothing happens
    link.Close();
}

TEST(TransportIo, NetworkExchangeOnLoopbackWithTheUnitsRepeatRequest) {
    EnsureApp();
    LoopbackListener listener;
    FakeOwner owner;
    owner.FrameLogShown = true;
    LNetSocket net(&owner);
    owner.net = &net;
    const int conn = ConnectedLoopbackPeer(net, listener);
    ASSERT_GE(conn, 0);

    // The first time it sees a command the unit asks for it again with a 5-byte read, then answers.
    std::atomic<int> seen{0};
    PeerThread unit;
    unit.Start(conn, [&](int fd, const BSTM& f) {
        if (seen++ == 0)
            WriteAllTo(fd, {0x10, 0x02, 0x01, 0x00, 0x00});
        else
            WriteAllTo(fd, PeerReply(f));
    });

    const int guiSendsBefore = TClientSocket::SendsOnGuiThread();
    LNetProc link(&owner);
    net.SetLink(&link);
    ASSERT_TRUE(link.Open());
    link.SetTimeout(4000);
    link.SetRetryLimit(0);
    link.QueueFrame(Probe(), true);
    ASSERT_TRUE(PumpUntil([&] { return owner.frames.size() == 1; }));
    EXPECT_EQ(owner.frames[0].frame, PeerReply(Probe()));
    EXPECT_EQ(unit.Received(), (std::vector<BSTM>{Probe(), Probe()}));

    // Every frame and read shows in the frame log, the repeat as its own line.
    link.QueueFrame(Gain(2, 1), false);
    ASSERT_TRUE(PumpUntil([&] { return owner.frames.size() == 2; }));
    ASSERT_TRUE(PumpUntil([&] { return owner.logs.size() >= 5; }));
    std::vector<std::string> heads;
    for (const auto& l : owner.logs)
        heads.push_back(l.substr(0, l.find(' ', 4)));
    EXPECT_EQ(std::vector<std::string>(heads.begin(), heads.begin() + 5),
              (std::vector<std::string>{"NET W", "NET R", "NET RW", "NET R", "NET W"}));
    EXPECT_TRUE(owner.events.empty());
    // Frames and the repeat were written by the worker, none by the GUI thread.
    EXPECT_EQ(TClientSocket::SendsOnGuiThread(), guiSendsBefore);
    EXPECT_EQ(owner.guiThreadWrites.load(), 0);
    link.Close();
    net.SetLink(nullptr);
    net.Socket.SetActive(false);
    unit.Stop();
    close(conn);
}

// Work a frame handler leaves for later reaches the window after the frame it queued has gone out, and
// also when it queued none; the network's replies are handled on the GUI thread itself.
TEST(TransportIo, PostAfterNextWriteArrivesOnceTheQueuedFrameHasGoneOut) {
    EnsureApp();
    AnsweringLoopbackUnit u;
    ASSERT_TRUE(u.Start());
    LNetProc link(&u.owner);
    u.net.SetLink(&link);
    ASSERT_TRUE(link.Open());
    link.SetTimeout(4000);

    constexpr uint32_t kLater = 0x7A0;
    auto postLater = [&] {
        TMessage msg;
        msg.Msg = kLater;
        link.PostAfterNextWrite(std::move(msg));
    };
    // The gain frame has been written by the time the posted work runs.
    bool gainOut = false;
    u.owner.onFrame = [&](const BSTM& f) {
        if (f[5] != MCS_PROBE)
            return;
        link.QueueFrame(Gain(2, 9), false);
        postLater();
    };
    const size_t before = u.owner.otherMessages.size();
    link.QueueFrame(Probe(), true);
    ASSERT_TRUE(PumpUntil([&] {
        if (u.owner.otherMessages.size() > before && !gainOut) {
            const auto written = u.owner.Written();
            gainOut = written.size() == 2 && written.back().frame == Gain(2, 9);
        }
        return u.owner.otherMessages.size() > before;
    }));
    EXPECT_TRUE(gainOut);
    EXPECT_EQ(u.owner.otherMessages.back(), kLater);
    ASSERT_TRUE(PumpUntil([&] { return u.owner.frames.size() == 2; }));

    // Nothing queued by the handler: the work follows all the same, once.
    u.owner.onFrame = [&](const BSTM&) { postLater(); };
    link.QueueFrame(Gain(3, 1), false);
    ASSERT_TRUE(PumpUntil([&] { return u.owner.otherMessages.size() == before + 2; }));
    EXPECT_EQ(u.owner.otherMessages.back(), kLater);
    EXPECT_EQ(u.unit.Received().size(), 3u);
    link.Close();
    u.net.SetLink(nullptr);
}

TEST(TransportIo, UsbOutputReportIsReportIdFrameAndPadding) {
    const BSTM probe = Probe();
    BSTM expected(65, 0);
    std::copy(probe.begin(), probe.end(), expected.begin() + 1);
    EXPECT_EQ(HidOutputReport(probe.data(), probe.size(), 65), expected);

    // A frame that fills the report exactly is laid out; one byte more is not (nothing is cut off).
    ASSERT_EQ(probe.size(), 9u);
    BSTM exact(10, 0);
    std::copy(probe.begin(), probe.end(), exact.begin() + 1);
    EXPECT_EQ(HidOutputReport(probe.data(), probe.size(), 10), exact);
    const BSTM longer = LCmd::ToFrame(CM_MCS_CMD(1, MCS_ACK, 1));
    EXPECT_TRUE(HidOutputReport(longer.data(), longer.size(), 10).empty());
    EXPECT_TRUE(HidOutputReport(probe.data(), probe.size(), 0).empty());
}

TEST(TransportIo, UsbProbeAnsweredByAFakeHidDevice) {
    EnsureApp();
    FakeHidDevice device(65);
    PeerThread unit;
    unit.Start(
        device.UnitFd(),
        [](int fd, const BSTM& f) {
            BSTM report(65, 0); // input report: ID 0, the frame, padding
            const BSTM r = PeerReply(f);
            std::copy(r.begin(), r.end(), report.begin() + 1);
            [[maybe_unused]] ssize_t n = write(fd, report.data(), report.size());
        },
        true);
    FakeOwner owner;
    owner.hid = &device;
    LUsbProc link(&owner);
    HidReportReader reader(device.HostFd(), &link);
    ASSERT_TRUE(link.Open());
    link.SetTimeout(100);
    link.SetRetryLimit(3);
    link.QueueFrame(Probe(), true);
    link.QueueFrame(Peq(0, 3, 120), false);
    ASSERT_TRUE(PumpUntil([&] { return owner.frames.size() == 2; }));
    EXPECT_EQ(owner.frames[0].frame, PeerReply(Probe()));
    EXPECT_EQ(owner.frames[1].frame, PeerReply(Peq(0, 3, 120)));
    EXPECT_EQ(unit.ReportSizes(), (std::vector<size_t>{65, 65}));
    const BSTM first = unit.Reports().at(0);
    EXPECT_EQ(first[0], 0);
    EXPECT_EQ(BSTM(first.begin() + 1, first.begin() + 1 + static_cast<long>(Probe().size())), Probe());
    EXPECT_TRUE(std::all_of(first.begin() + 1 + static_cast<long>(Probe().size()), first.end(),
                            [](uint8_t b) { return b == 0; }));
    EXPECT_TRUE(owner.events.empty());
    link.Close();
    unit.Stop();
}

// Fills a descriptor's outgoing buffer until it takes nothing more; false when it never fills.
static bool FillUntilFull(int fd) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    const uint8_t filler[64] = {};
    for (size_t total = 0; total < (64u << 20);) {
        const ssize_t n = write(fd, filler, sizeof filler);
        if (n < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK;
        total += static_cast<size_t>(n);
    }
    return false;
}

TEST(TransportIo, APortThatTakesNothingStallsTheWorkerNeverTheWindow) {
    EnsureApp();
    for (const bool serial : {true, false}) {
        SCOPED_TRACE(serial ? "serial peer that does not read" : "HID device that takes no report");
        const int offWorkerBefore = LLink::PortWritesOffWorker();
        FakeOwner owner;
        Pty pty;
        FakeHidDevice device(65);
        std::unique_ptr<LCommProc> com;
        std::unique_ptr<LUsbProc> usb;
        LLink* link;
        if (serial) {
            ASSERT_GE(pty.master, 0);
            com = std::make_unique<LCommProc>(&owner);
            ASSERT_TRUE(com->Open(pty.path, 115200, 8, NOPARITY, ONESTOPBIT));
            // The line towards the unit is full: the port's writes wait for room.
            ASSERT_TRUE(FillUntilFull(pty.slave));
            link = com.get();
        } else {
            owner.hid = &device;
            usb = std::make_unique<LUsbProc>(&owner);
            ASSERT_TRUE(usb->Open());
            ASSERT_TRUE(FillUntilFull(device.HostFd()));
            fcntl(device.HostFd(), F_SETFL, fcntl(device.HostFd(), F_GETFL) & ~O_NONBLOCK); // writes block
            link = usb.get();
        }
        int ticks = 0;
        TTimer timer;
        timer.SetInterval(5);
        timer.OnTimer = [&] { ++ticks; };
        if (com)
            com->QueueFrame(Probe(), true);
        else
            usb->QueueFrame(Probe(), true);
        // The window goes on handling its timers while the write cannot complete.
        ASSERT_TRUE(PumpUntil([&] { return ticks >= 5; }));
        if (usb) {
            EXPECT_EQ(owner.Written().size(), 1u); // the worker is inside the device write
            EXPECT_TRUE(owner.frames.empty());
        }
        // The unit takes its input again: the frame reaches it.
        BSTM got;
        const int from = serial ? pty.master : device.UnitFd();
        fcntl(from, F_SETFL, fcntl(from, F_GETFL) | O_NONBLOCK);
        const BSTM probe = Probe();
        ASSERT_TRUE(PumpUntil([&] {
            uint8_t buf[4096];
            for (ssize_t n; (n = read(from, buf, sizeof buf)) > 0;)
                got.insert(got.end(), buf, buf + n);
            return std::search(got.begin(), got.end(), probe.begin(), probe.end()) != got.end();
        }));
        link->Close();
        EXPECT_EQ(owner.guiThreadWrites.load(), 0);
        EXPECT_EQ(LLink::PortWritesOffWorker(), offWorkerBefore);
    }
}

TEST(TransportIo, CloseDuringAStalledSerialWriteReturnsWithoutAStopTimeout) {
    EnsureApp();
    FakeOwner owner;
    Pty pty;
    ASSERT_GE(pty.master, 0);
    LCommProc link(&owner);
    ASSERT_TRUE(link.Open(pty.path, 115200, 8, NOPARITY, ONESTOPBIT));
    ASSERT_TRUE(FillUntilFull(pty.slave));
    link.QueueFrame(Probe(), true);
    // The port write gives up on its own, so the worker ends within the stop wait.
    link.Close();
    PumpUntil([] { return TMessageBridge::PendingCount() == 0; });
    EXPECT_TRUE(owner.events.empty());
    EXPECT_EQ(owner.guiThreadWrites.load(), 0);
}
