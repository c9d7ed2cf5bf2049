#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include "tests/sim/SimHid.h"
#include "tests/sim/SimPty.h"
#include "tests/sim/SimTcp.h"

namespace {

using kv::sim::Bytes;
namespace code = kv::sim::code;

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// One read, waiting up to timeoutMs; empty on time-out or end.
Bytes ReadOnce(int fd, int timeoutMs = 2000) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0)
        return {};
    std::uint8_t buf[256];
    const ssize_t n = read(fd, buf, sizeof buf);
    return n > 0 ? Bytes(buf, buf + n) : Bytes{};
}

// Reads until one whole frame has arrived; the pieces as they came are left in `reads`.
Bytes ReadFrame(int fd, std::vector<Bytes>* reads = nullptr) {
    kv::sim::FrameAssembler a;
    for (int i = 0; i < 20; ++i) {
        Bytes got = ReadOnce(fd);
        if (got.empty())
            return {};
        if (reads)
            reads->push_back(got);
        std::vector<Bytes> frames = a.Push(got);
        if (!frames.empty())
            return frames.front();
    }
    return {};
}

void Write(int fd, const Bytes& b) {
    ASSERT_EQ(write(fd, b.data(), b.size()), static_cast<ssize_t>(b.size()));
}

const Bytes kProbe = kv::sim::CommandFrame(1, code::Probe);
const Bytes kProbeReply = kv::sim::BuildFrame(1, 0, code::Probe, {});

TEST(SimPty, ProbeRoundTripOverTheTerminal) {
    kv::sim::SimUnit unit;
    unit.UseRealTime();
    kv::sim::SimPty pty(unit);
    Fd port(open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    ASSERT_GE(port.get(), 0);
    termios t{};
    ASSERT_EQ(tcgetattr(port.get(), &t), 0);
    cfmakeraw(&t);
    cfsetspeed(&t, B115200);
    ASSERT_EQ(tcsetattr(port.get(), TCSANOW, &t), 0);

    // The frame goes in two writes; bytes like 0x0D and 0x11 must pass untouched.
    Write(port.get(), Bytes(kProbe.begin(), kProbe.begin() + 3));
    Write(port.get(), Bytes(kProbe.begin() + 3, kProbe.end()));
    EXPECT_EQ(ReadFrame(port.get()), kProbeReply);

    unit.SplitReplies(3, 20);
    Write(port.get(), kv::sim::CommandFrame(1, code::Identity));
    Bytes id = ReadFrame(port.get());
    ASSERT_FALSE(id.empty());
    EXPECT_EQ(kv::sim::ParseFrame(id)->payload,
              (Bytes{'T', 'i', 'r', 'n', 'e', 'l', ' ', 'V', '0', '1', '0'}));
}

TEST(SimTcp, ProbeRoundTripRepeatRequestAndSplitReplies) {
    kv::sim::SimUnit unit;
    unit.UseRealTime();
    kv::sim::SimTcp server(unit);
    ASSERT_NE(server.Port(), 0);
    Fd client(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(server.Port());
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(client.get(), reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_TRUE(server.WaitForClient(2000));

    Write(client.get(), kProbe);
    EXPECT_EQ(ReadFrame(client.get()), kProbeReply);

    server.SendRepeatRequest();
    EXPECT_EQ(ReadOnce(client.get()).size(), 5u);

    // A split reply with a gap arrives in separate reads; a delay holds the reply back in real time.
    unit.SplitReplies(6, 100);
    unit.DelayReplies(100);
    const auto start = std::chrono::steady_clock::now();
    Write(client.get(), kProbe);
    std::vector<Bytes> reads;
    EXPECT_EQ(ReadFrame(client.get(), &reads), kProbeReply);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(190));
    ASSERT_EQ(reads.size(), 2u);
    EXPECT_EQ(reads[0].size(), 6u);
}

TEST(SimHid, ProbeRoundTripInReports) {
    kv::sim::SimUnit unit;
    kv::sim::SimHid hid(unit);
    // An output report: ID 0, the frame, padding that is not zero to show it is ignored.
    Bytes report(65, 0xEE);
    report[0] = 0;
    std::copy(kProbe.begin(), kProbe.end(), report.begin() + 1);
    Write(hid.DeviceFd(), report);
    Bytes in = ReadOnce(hid.DeviceFd());
    ASSERT_EQ(in.size(), 65u);
    EXPECT_EQ(in[0], 0);
    EXPECT_EQ(Bytes(in.begin() + 1, in.begin() + 10), kProbeReply);
    EXPECT_EQ(in.back(), 0);
    EXPECT_EQ(hid.LastOutputReportSize(), 65u);
    EXPECT_EQ(unit.ReceivedCodes(), (std::vector<std::uint8_t>{code::Probe}));

    Bytes numbered = kProbe;
    numbered.insert(numbered.begin(), 0x05); // not report ID 0
    Write(hid.DeviceFd(), numbered);
    EXPECT_TRUE(ReadOnce(hid.DeviceFd(), 50).empty());
    EXPECT_EQ(hid.BadReports(), 1);
}

TEST(SimHid, LongReplySpansReportsWithoutIdPrefix) {
    kv::sim::SimUnit unit;
    kv::sim::SimHid hid(unit, {33, false});
    Bytes report{0};
    const Bytes ask = kv::sim::CommandFrame(1, code::ReadParamBlock, {0});
    report.insert(report.end(), ask.begin(), ask.end());
    Write(hid.DeviceFd(), report);
    kv::sim::FrameAssembler a;
    std::vector<Bytes> frames;
    for (int i = 0; i < 2; ++i) { // 60 bytes in reports of 32 data bytes
        Bytes in = ReadOnce(hid.DeviceFd());
        ASSERT_EQ(in.size(), 32u);
        frames = a.Push(in);
    }
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(kv::sim::ParseFrame(frames[0])->payload.size(), 51u);
}

} // namespace
