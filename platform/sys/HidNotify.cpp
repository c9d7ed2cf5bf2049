// Device-change broadcast: watches <root>/dev for hidraw nodes coming and going (and changing access)
// and posts WM_DEVICECHANGE to the registered windows, which handle it on the GUI thread.

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/sys/HidInternal.h"
#include "platform/sys/Messages.h"

namespace kv::sys::hid {

namespace {

// Events closer together than this make one message: a node appears, then gets its permissions.
constexpr int kSettleMs = 150;
constexpr int kMaxDelayMs = 1000;

class Monitor {
public:
    void Add(TMessageTarget* target) {
        std::lock_guard lock(m_);
        if (std::find(targets_.begin(), targets_.end(), target) == targets_.end())
            targets_.push_back(target);
        if (!thread_.joinable())
            StartLocked();
    }

    void Remove(TMessageTarget* target) {
        std::thread ending;
        {
            std::lock_guard lock(m_);
            targets_.erase(std::remove(targets_.begin(), targets_.end(), target), targets_.end());
            if (!targets_.empty() || !thread_.joinable())
                return;
            ending = StopLocked();
        }
        Finish(ending);
    }

    bool Running() {
        std::lock_guard lock(m_);
        return thread_.joinable();
    }

    void Restart() {
        std::thread ending;
        {
            std::lock_guard lock(m_);
            if (!thread_.joinable())
                return;
            ending = StopLocked();
        }
        Finish(ending);
        std::lock_guard lock(m_);
        if (!targets_.empty() && !thread_.joinable())
            StartLocked();
    }

private:
    void StartLocked() {
        stopFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        const std::string dir = JoinRoot("/dev");
        thread_ = std::thread([this, dir, stopFd = stopFd_] { Run(dir, stopFd); });
    }

    // Asks the thread to end; Finish then waits for it and closes the stop descriptor.
    std::thread StopLocked() {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = write(stopFd_, &one, sizeof one);
        endingFd_ = stopFd_;
        stopFd_ = -1;
        return std::move(thread_);
    }

    void Finish(std::thread& ending) {
        ending.join();
        std::lock_guard lock(m_);
        if (endingFd_ >= 0)
            close(endingFd_);
        endingFd_ = -1;
    }

    void Broadcast() {
        std::lock_guard lock(m_);
        for (TMessageTarget* target : targets_) {
            TMessage msg;
            msg.Msg = WM_DEVICECHANGE;
            msg.WParam = DBT_DEVNODES_CHANGED;
            msg.LParam = 0;
            TMessageBridge::Post(target, std::move(msg));
        }
    }

    void Run(const std::string& dir, int stopFd) {
        const int fd = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        if (fd >= 0)
            inotify_add_watch(fd, dir.c_str(),
                              IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVED_FROM | IN_MOVED_TO);
        using Clock = std::chrono::steady_clock;
        bool due = false;
        Clock::time_point first{}, last{};
        for (;;) {
            int timeout = -1;
            if (due) {
                const auto now = Clock::now();
                const auto settle = last + std::chrono::milliseconds(kSettleMs);
                const auto latest = first + std::chrono::milliseconds(kMaxDelayMs);
                const auto when = std::min(settle, latest);
                timeout =
                    when <= now
                        ? 0
                        : static_cast<int>(
                              std::chrono::duration_cast<std::chrono::milliseconds>(when - now).count() + 1);
            }
            pollfd p[2] = {{stopFd, POLLIN, 0}, {fd, POLLIN, 0}};
            const int ready = poll(p, fd >= 0 ? 2 : 1, timeout);
            if (p[0].revents)
                break;
            if (ready == 0 && due) {
                due = false;
                Broadcast();
                continue;
            }
            if (fd >= 0 && (p[1].revents & POLLIN)) {
                alignas(inotify_event) char buf[4096];
                const ssize_t n = read(fd, buf, sizeof buf);
                for (ssize_t off = 0; n > 0 && off < n;) {
                    inotify_event ev{};
                    std::memcpy(&ev, buf + off, sizeof ev);
                    const char* name = buf + off + sizeof(inotify_event);
                    if (ev.len > 0 && std::strncmp(name, "hidraw", 6) == 0) {
                        const auto now = Clock::now();
                        if (!due)
                            first = now;
                        due = true;
                        last = now;
                    }
                    off += static_cast<ssize_t>(sizeof(inotify_event) + ev.len);
                }
            }
        }
        if (fd >= 0)
            close(fd);
    }

    std::mutex m_;
    std::vector<TMessageTarget*> targets_;
    std::thread thread_;
    int stopFd_ = -1;
    int endingFd_ = -1;
};

Monitor& TheMonitor() {
    static auto* monitor = new Monitor;
    return *monitor;
}

} // namespace

void RootChanged() {
    TheMonitor().Restart();
}

} // namespace kv::sys::hid

namespace kv::sys {

void RegisterDeviceChangeTarget(TMessageTarget* target) {
    if (target)
        hid::TheMonitor().Add(target);
}

void UnregisterDeviceChangeTarget(TMessageTarget* target) {
    hid::TheMonitor().Remove(target);
}

bool DeviceChangeWatcherRunning() {
    return hid::TheMonitor().Running();
}

} // namespace kv::sys
