#include "platform/sys/Sync.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <iterator>
#include <vector>

TEvent::TEvent() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

TEvent::~TEvent() {
    if (fd_ >= 0)
        close(fd_);
}

void TEvent::Set() {
    const uint64_t one = 1;
    // A full counter still reads as set, so a failed write loses nothing.
    [[maybe_unused]] ssize_t n = write(fd_, &one, sizeof one);
}

bool TEvent::Reset() {
    uint64_t value = 0;
    return read(fd_, &value, sizeof value) == static_cast<ssize_t>(sizeof value);
}

TWaitResult PollItems(const TWaitItem* items, size_t count, int timeoutMs) {
    // The transports wait on three items at a time, once or more per frame: no allocation for those.
    pollfd few[4];
    std::vector<pollfd> many(count > std::size(few) ? count : 0);
    pollfd* fds = count > std::size(few) ? many.data() : few;
    for (size_t i = 0; i < count; ++i)
        fds[i] = {items[i].fd, POLLIN, 0};
    int r;
    do {
        r = poll(fds, static_cast<nfds_t>(count), timeoutMs);
        // A blocking caller recomputes its deadline; a mere check just tries again.
    } while (r < 0 && errno == EINTR && timeoutMs == 0);
    if (r < 0)
        return {errno == EINTR ? TWaitResult::Timeout : TWaitResult::Failed, -1};
    for (size_t i = 0; i < count; ++i) {
        const short ev = fds[i].revents;
        // A port whose far side is gone reports itself readable for ever; that is a failure, not data.
        if (!items[i].event && (ev & (POLLHUP | POLLERR | POLLNVAL)))
            return {TWaitResult::Hangup, static_cast<int>(i)};
        if (ev & POLLIN) {
            if (items[i].event) {
                uint64_t value = 0;
                // Someone else may have taken it in the meantime: then it is not ours.
                if (read(items[i].fd, &value, sizeof value) != static_cast<ssize_t>(sizeof value))
                    continue;
            }
            return {TWaitResult::Ready, static_cast<int>(i)};
        }
        if (ev & (POLLERR | POLLNVAL))
            return {TWaitResult::Hangup, static_cast<int>(i)};
    }
    return {TWaitResult::Timeout, -1};
}
