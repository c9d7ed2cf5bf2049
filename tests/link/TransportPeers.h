#pragma once
// Small scripted units for the real-I/O transport tests: each answers the frames it receives on a
// pseudo-terminal, a loopback TCP connection or a HID socket pair from its own thread.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "link/LCmd.h"
#include "link/LUsb.h"
#include "tests/link/TransportFixtures.h"

// Cuts a byte stream into frames by the length byte.
class PeerFrames {
public:
    std::vector<BSTM> Push(const uint8_t* p, size_t n) {
        buf_.insert(buf_.end(), p, p + n);
        std::vector<BSTM> out;
        for (;;) {
            while (buf_.size() >= 2 && !(buf_[0] == 0x10 && buf_[1] == 0x02))
                buf_.erase(buf_.begin());
            if (buf_.size() < 5 || buf_.size() < buf_[4] + kFrameOverhead)
                return out;
            const auto len = static_cast<long>(buf_[4] + kFrameOverhead);
            out.emplace_back(buf_.begin(), buf_.begin() + len);
            buf_.erase(buf_.begin(), buf_.begin() + len);
        }
    }

private:
    BSTM buf_;
};

// The reply the scripted unit gives: the command's code with payload 0xA5, from device ID 1.
inline BSTM PeerReply(const BSTM& command) {
    return LCmd::ToFrame(CM_MCS_CMD(1, command[5], 0xA5));
}

// Serves one descriptor: reads, answers every frame through `answer`, until stopped.
class PeerThread {
public:
    using Answer = std::function<void(int fd, const BSTM& frame)>;
    PeerThread() = default;
    ~PeerThread() { Stop(); }

    void Start(int fd, Answer answer, bool packets = false) {
        fd_ = fd;
        answer_ = std::move(answer);
        thread_ = std::thread([this, packets] { Run(packets); });
    }
    void Stop() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    std::vector<BSTM> Received() {
        std::lock_guard lock(m_);
        return received_;
    }
    std::vector<size_t> ReportSizes() {
        std::lock_guard lock(m_);
        return reportSizes_;
    }
    std::vector<BSTM> Reports() {
        std::lock_guard lock(m_);
        return reports_;
    }

private:
    void Run(bool packets) {
        PeerFrames frames;
        uint8_t buf[4096];
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 10) <= 0)
                continue;
            if (p.revents & (POLLHUP | POLLERR))
                return;
            const ssize_t n = read(fd_, buf, sizeof buf);
            if (n <= 0)
                continue;
            std::vector<BSTM> got;
            if (packets) {
                // One output report: report ID, frame, padding.
                std::lock_guard lock(m_);
                reportSizes_.push_back(static_cast<size_t>(n));
                reports_.emplace_back(buf, buf + n);
                if (n > 5 && buf[0] == 0)
                    got.emplace_back(
                        buf + 1,
                        buf + 1 + std::min<size_t>(buf[5] + kFrameOverhead, static_cast<size_t>(n - 1)));
            } else {
                got = frames.Push(buf, static_cast<size_t>(n));
            }
            for (const BSTM& f : got) {
                {
                    std::lock_guard lock(m_);
                    received_.push_back(f);
                }
                answer_(fd_, f);
            }
        }
    }

    int fd_ = -1;
    Answer answer_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::mutex m_;
    std::vector<BSTM> received_;
    std::vector<size_t> reportSizes_;
    std::vector<BSTM> reports_;
};

inline void WriteAllTo(int fd, const BSTM& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t w = write(fd, bytes.data() + done, bytes.size() - done);
        if (w > 0)
            done += static_cast<size_t>(w);
        else if (w < 0 && errno != EAGAIN && errno != EINTR)
            return;
    }
}

// A loopback TCP listener (127.0.0.1 only) that accepts one connection.
class LoopbackListener {
public:
    LoopbackListener() {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        const int one = 1;
        setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(fd_, 4);
        socklen_t len = sizeof a;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
    }
    ~LoopbackListener() { close(fd_); }
    uint16_t Port() const { return port_; }
    // Waits up to timeoutMs for a connection; its descriptor (Nagle off) or -1.
    int Accept(int timeoutMs) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, timeoutMs) <= 0)
            return -1;
        const int c = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        const int one = 1;
        setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        return c;
    }

private:
    int fd_ = -1;
    uint16_t port_ = 0;
};

// Starts the owner's socket towards the listener: the accepted peer's descriptor once the socket says it
// is connected, or -1 when either side did not get there in time.
inline int ConnectedLoopbackPeer(LNetSocket& net, LoopbackListener& listener) {
    ConnectToLoopback(net, listener.Port());
    const int conn = listener.Accept(5000);
    if (conn < 0)
        return -1;
    if (!PumpUntil([&] { return net.Socket.Connected(); })) {
        close(conn);
        return -1;
    }
    return conn;
}

// A fake owner's network socket connected to a loopback peer that answers every frame; it lets both go
// when it ends.
struct AnsweringLoopbackUnit {
    LoopbackListener listener;
    FakeOwner owner;
    LNetSocket net{&owner};
    PeerThread unit;
    int conn = -1;

    // Connects and starts the peer; false when the connection did not come up.
    bool Start() {
        owner.net = &net;
        conn = ConnectedLoopbackPeer(net, listener);
        if (conn < 0)
            return false;
        unit.Start(conn, [](int fd, const BSTM& f) { WriteAllTo(fd, PeerReply(f)); });
        return true;
    }
    // The test takes its link off the socket before the link goes.
    ~AnsweringLoopbackUnit() {
        net.Socket.SetActive(false);
        unit.Stop();
        if (conn >= 0)
            close(conn);
    }
};

// The unit's HID device as the main window's device object sees it: output reports go into a
// socket pair (one packet per report).
class FakeHidDevice : public HidOutputPort {
public:
    explicit FakeHidDevice(size_t outputReportLength = 65) : length_(outputReportLength) {
        int sv[2];
        socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, sv);
        host_ = sv[0];
        unit_ = sv[1];
    }
    ~FakeHidDevice() override {
        close(host_);
        close(unit_);
    }
    size_t OutputReportLength() override { return length_; }
    bool WriteReport(const uint8_t* report, size_t length) override {
        return write(host_, report, length) == static_cast<ssize_t>(length);
    }
    int HostFd() const { return host_; }
    int UnitFd() const { return unit_; }

private:
    size_t length_;
    int host_ = -1, unit_ = -1;
};
