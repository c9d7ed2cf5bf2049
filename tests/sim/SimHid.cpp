#include "tests/sim/SimHid.h"

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace kv::sim {

SimHid::SimHid(SimUnit& unit, SimHidOptions options) : SimLoop(unit), options_(options) {
    options_.inputReportLength = std::max<std::size_t>(options_.inputReportLength, 2);
    int sv[2];
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, sv) != 0)
        throw std::runtime_error("no socket pair");
    mine_ = sv[0];
    device_ = sv[1];
    unit_.SetOutput([this](const Bytes& chunk) { SendChunk(chunk); });
    Start();
}

SimHid::~SimHid() {
    Stop();
    unit_.SetOutput(nullptr);
    close(mine_);
    if (device_ >= 0)
        close(device_);
}

int SimHid::TakeDeviceFd() {
    return std::exchange(device_, -1);
}

std::vector<int> SimHid::WatchedFds() {
    if (peerGone_)
        return {};
    return {mine_};
}

void SimHid::SendRawReport(const Bytes& report) {
    if (!peerGone_)
        send(mine_, report.data(), report.size(), MSG_NOSIGNAL);
}

void SimHid::SendChunk(const Bytes& chunk) {
    const std::size_t data = options_.inputReportLength - 1;
    for (std::size_t at = 0; at < chunk.size(); at += data) {
        const std::size_t lead = options_.idPrefix ? 1 : 0; // the report ID 0
        Bytes report(lead + data, 0x00);
        const std::size_t n = std::min(data, chunk.size() - at);
        for (std::size_t i = 0; i < n; ++i)
            report[lead + i] = chunk[at + i];
        SendRawReport(report);
    }
}

void SimHid::OnReadable(int fd) {
    std::uint8_t buf[1024];
    const ssize_t n = recv(fd, buf, sizeof buf, MSG_DONTWAIT);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
        peerGone_ = true; // the fake node was closed
        return;
    }
    if (n < 0)
        return;
    const auto size = static_cast<std::size_t>(n);
    ++outputReports_;
    lastSize_ = size;
    if (buf[0] != 0x00) {
        ++badReports_;
        return;
    }
    // The frame sits after the ID; its length byte tells where the padding starts.
    const std::uint8_t* frame = buf + 1;
    std::size_t len = size - 1;
    if (len >= 5)
        len = std::min<std::size_t>(len, frame[4] + 8u);
    unit_.Feed(frame, len);
}

} // namespace kv::sim
