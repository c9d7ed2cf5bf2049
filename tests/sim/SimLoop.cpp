#include "tests/sim/SimLoop.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace kv::sim {

SimLoop::SimLoop(SimUnit& unit) : unit_(unit), wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

SimLoop::~SimLoop() {
    Stop();
    if (wakeFd_ >= 0)
        close(wakeFd_);
}

void SimLoop::Start() {
    if (!thread_.joinable())
        thread_ = std::thread([this] { Run(); });
}

void SimLoop::Stop() {
    if (!thread_.joinable())
        return;
    stop_ = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(wakeFd_, &one, sizeof one);
    thread_.join();
}

void SimLoop::Run() {
    while (!stop_) {
        std::vector<pollfd> fds;
        fds.push_back({wakeFd_, POLLIN, 0});
        for (int fd : WatchedFds())
            fds.push_back({fd, POLLIN, 0});
        // Short waits keep delayed replies close to their time without a timer per reply.
        const int r = poll(fds.data(), fds.size(), 2);
        if (r < 0 && errno != EINTR)
            break;
        for (std::size_t i = 1; r > 0 && i < fds.size() && !stop_; ++i)
            if (fds[i].revents & (POLLIN | POLLHUP | POLLERR))
                OnReadable(fds[i].fd);
        unit_.Pump();
    }
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t n, int timeoutMs) {
    int waited = 0;
    while (n > 0) {
        const ssize_t w = write(fd, data, n);
        if (w > 0) {
            data += w;
            n -= static_cast<std::size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && waited < timeoutMs) {
            pollfd p{fd, POLLOUT, 0};
            poll(&p, 1, 10);
            waited += 10;
            continue;
        }
        return false;
    }
    return true;
}

} // namespace kv::sim
