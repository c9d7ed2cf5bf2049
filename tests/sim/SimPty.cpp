#include "tests/sim/SimPty.h"

#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <stdlib.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace kv::sim {

SimPty::SimPty(SimUnit& unit) : SimLoop(unit) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        if (master_ >= 0)
            close(master_);
        throw std::runtime_error("no pseudo-terminal");
    }
    char name[128] = {};
    if (ptsname_r(master_, name, sizeof name) != 0) {
        close(master_);
        throw std::runtime_error("no pseudo-terminal name");
    }
    slavePath_ = name;
    slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        close(master_);
        throw std::runtime_error("cannot open " + slavePath_);
    }
    termios t{};
    tcgetattr(slave_, &t);
    cfmakeraw(&t);
    cfsetispeed(&t, B115200);
    cfsetospeed(&t, B115200);
    t.c_cflag |= CLOCAL | CREAD;
    tcsetattr(slave_, TCSANOW, &t);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);

    unit_.SetOutput([this](const Bytes& chunk) { Write(chunk); });
    Start();
}

SimPty::~SimPty() {
    Stop();
    unit_.SetOutput(nullptr);
    close(slave_);
    close(master_);
}

void SimPty::SendRaw(const Bytes& bytes) {
    WriteAll(master_, bytes.data(), bytes.size());
}

namespace {
std::int64_t MonotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}
} // namespace

// A line that stood idle is free from now on; one in use stays booked to its last byte, so that a late
// wake-up is made up by the bytes after it instead of adding up.
void SimPty::LineFree(std::int64_t& deadline) {
    const std::int64_t now = MonotonicNs();
    if (deadline < now)
        deadline = now;
}

// Books the line for one more byte and waits until that byte has crossed it.
void SimPty::WaitUntil(std::int64_t& deadline) {
    deadline += pacingNs_.load();
    // A byte time is shorter than a sleeping thread's wake-up on a busy machine: the last stretch is
    // waited out awake, as a UART's shift register would.
    constexpr std::int64_t kSpinNs = 300'000;
    const std::int64_t sleepUntil = deadline - kSpinNs;
    if (sleepUntil > MonotonicNs()) {
        timespec ts{static_cast<time_t>(sleepUntil / 1'000'000'000),
                    static_cast<long>(sleepUntil % 1'000'000'000)};
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
        }
    }
    while (MonotonicNs() < deadline) {
    }
}

void SimPty::Write(const Bytes& chunk) {
    bytesOut_ += chunk.size();
    if (pacingNs_.load() <= 0) {
        WriteAll(master_, chunk.data(), chunk.size());
        return;
    }
    // Each byte leaves once its time on the line is over, as from a UART.
    LineFree(nextOut_);
    for (std::uint8_t b : chunk) {
        WaitUntil(nextOut_);
        WriteAll(master_, &b, 1);
    }
}

void SimPty::OnReadable(int fd) {
    std::uint8_t buf[512];
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0)
        return;
    bytesIn_ += static_cast<std::uint64_t>(n);
    if (pacingNs_.load() <= 0) {
        unit_.Feed(buf, static_cast<std::size_t>(n));
        return;
    }
    // The unit sees each byte only after it has crossed the line.
    LineFree(nextIn_);
    for (ssize_t i = 0; i < n; ++i) {
        WaitUntil(nextIn_);
        unit_.Feed(buf + i, 1);
    }
}

} // namespace kv::sim
