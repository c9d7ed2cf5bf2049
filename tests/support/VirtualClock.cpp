#include "tests/support/VirtualClock.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

#include "platform/sys/Messages.h"

namespace {
constexpr int64_t kNever = INT64_MAX;
thread_local void* tlsWaiter = nullptr;
} // namespace

struct TVirtualClock::Waiter {
    int wakeFd = -1;
    bool inWait = false;
    uint64_t generation = 0;
    int64_t deadlineUs = kNever;
    std::vector<TWaitItem> items;
};

struct TVirtualClock::Timer {
    std::function<void()> fire;
    bool running = false;
    int64_t intervalUs = 0;
    int64_t dueUs = 0;
};

class TVirtualClock::Backend : public TTimerBackend {
public:
    Backend(TVirtualClock& clock, int id) : clock_(clock), id_(id) {}
    ~Backend() override {
        std::lock_guard lock(clock_.m_);
        auto it = clock_.timers_.find(id_);
        delete it->second;
        clock_.timers_.erase(it);
    }
    void Start(uint32_t intervalMs) override {
        std::lock_guard lock(clock_.m_);
        Timer* t = clock_.timers_[id_];
        t->running = true;
        t->intervalUs = static_cast<int64_t>(intervalMs) * 1000;
        t->dueUs = clock_.nowUs_ + t->intervalUs;
    }
    void Stop() override {
        std::lock_guard lock(clock_.m_);
        clock_.timers_[id_]->running = false;
    }

private:
    TVirtualClock& clock_;
    int id_;
};

TVirtualClock::TVirtualClock() = default;

TVirtualClock::~TVirtualClock() {
    for (auto& [id, t] : timers_)
        delete t;
}

int64_t TVirtualClock::Counter() {
    std::lock_guard lock(m_);
    return nowUs_;
}

uint64_t TVirtualClock::Ms() const {
    std::lock_guard lock(m_);
    return static_cast<uint64_t>(nowUs_ / 1000);
}

void TVirtualClock::ThreadStarting() {
    std::lock_guard lock(m_);
    ++starting_;
}

void TVirtualClock::ThreadEntered() {
    auto* w = new Waiter;
    w->wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    tlsWaiter = w;
    std::lock_guard lock(m_);
    --starting_;
    waiters_.push_back(w);
}

void TVirtualClock::ThreadEnded() {
    auto* w = static_cast<Waiter*>(tlsWaiter);
    std::lock_guard lock(m_);
    if (!w) { // the thread never started
        --starting_;
        return;
    }
    waiters_.erase(std::find(waiters_.begin(), waiters_.end(), w));
    close(w->wakeFd);
    delete w;
    tlsWaiter = nullptr;
}

TWaitResult TVirtualClock::Wait(const TWaitItem* items, size_t count, uint32_t timeoutMs) {
    auto* w = static_cast<Waiter*>(tlsWaiter);
    if (!w) { // not a worker of this clock: only ready items count
        return PollItems(items, count);
    }
    {
        std::lock_guard lock(m_);
        w->items.assign(items, items + count);
        w->deadlineUs = timeoutMs == INFINITE_WAIT ? kNever : nowUs_ + static_cast<int64_t>(timeoutMs) * 1000;
        w->inWait = true;
        ++w->generation;
    }
    std::vector<pollfd> fds(count + 1);
    for (size_t i = 0; i < count; ++i)
        fds[i] = {items[i].fd, POLLIN, 0};
    fds[count] = {w->wakeFd, POLLIN, 0};
    for (;;) {
        const int r = poll(fds.data(), fds.size(), -1);
        if (r < 0 && errno == EINTR)
            continue;
        // Leave the wait before taking the event, so that Settle never sees a wait that has been
        // satisfied but still looks idle.
        {
            std::lock_guard lock(m_);
            w->inWait = false;
        }
        if (r < 0)
            return {TWaitResult::Failed, -1};
        const TWaitResult res = PollItems(items, count);
        uint64_t value = 0;
        const bool expired = read(w->wakeFd, &value, sizeof value) == static_cast<ssize_t>(sizeof value);
        if (res.kind != TWaitResult::Timeout)
            return res;
        if (expired)
            return {TWaitResult::Timeout, -1};
        std::lock_guard lock(m_);
        w->inWait = true;
        ++w->generation;
    }
}

std::unique_ptr<TTimerBackend> TVirtualClock::NewTimer(std::function<void()> onFire) {
    std::lock_guard lock(m_);
    const int id = nextTimer_++;
    auto* t = new Timer;
    t->fire = std::move(onFire);
    timers_[id] = t;
    return std::make_unique<Backend>(*this, id);
}

bool TVirtualClock::Quiet() {
    std::vector<std::pair<Waiter*, uint64_t>> seen;
    std::vector<TWaitItem> all;
    {
        std::lock_guard lock(m_);
        if (starting_ > 0)
            return false;
        for (Waiter* w : waiters_) {
            if (!w->inWait)
                return false;
            seen.emplace_back(w, w->generation);
            all.insert(all.end(), w->items.begin(), w->items.end());
            all.push_back(TWaitItem::Port(w->wakeFd));
        }
    }
    // Look without taking anything: a ready descriptor means a worker is about to wake.
    std::vector<pollfd> fds;
    for (const TWaitItem& item : all)
        fds.push_back({item.fd, POLLIN, 0});
    if (!fds.empty() && poll(fds.data(), fds.size(), 0) > 0)
        return false;
    std::lock_guard lock(m_);
    for (auto& [w, gen] : seen) {
        if (std::find(waiters_.begin(), waiters_.end(), w) == waiters_.end())
            return false;
        if (!w->inWait || w->generation != gen)
            return false;
    }
    return TMessageBridge::PendingCount() == 0;
}

void TVirtualClock::Settle() {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int quietRounds = 0;
    for (;;) {
        const bool served = TMessageBridge::ServePending();
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        if (!served && Quiet()) {
            // Twice in a row, so that a worker that just posted and went back to waiting is seen.
            if (++quietRounds >= 2)
                return;
            std::this_thread::yield();
            continue;
        }
        quietRounds = 0;
        if (std::chrono::steady_clock::now() > limit) {
            std::fprintf(stderr, "TVirtualClock::Settle: workers did not settle\n");
            std::abort();
        }
        if (!served)
            std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
}

bool TVirtualClock::NextDue(uint64_t limitUs, uint64_t& due) {
    std::lock_guard lock(m_);
    int64_t best = kNever;
    for (Waiter* w : waiters_)
        if (w->inWait)
            best = std::min(best, w->deadlineUs);
    for (auto& [id, t] : timers_)
        if (t->running)
            best = std::min(best, t->dueUs);
    if (best == kNever || best > static_cast<int64_t>(limitUs))
        return false;
    due = static_cast<uint64_t>(std::max(best, nowUs_));
    return true;
}

void TVirtualClock::Advance(uint64_t ms) {
    Settle();
    const uint64_t target = static_cast<uint64_t>(Counter()) + ms * 1000;
    uint64_t due = 0;
    while (NextDue(target, due)) {
        std::vector<int> fire;
        {
            std::lock_guard lock(m_);
            nowUs_ = static_cast<int64_t>(due);
            for (Waiter* w : waiters_) {
                if (w->inWait && w->deadlineUs <= nowUs_) {
                    w->deadlineUs = kNever;
                    const uint64_t one = 1;
                    [[maybe_unused]] ssize_t n = write(w->wakeFd, &one, sizeof one);
                }
            }
            for (auto& [id, t] : timers_) {
                if (t->running && t->dueUs <= nowUs_) {
                    t->dueUs = nowUs_ + std::max<int64_t>(t->intervalUs, 1);
                    fire.push_back(id);
                }
            }
        }
        Settle();
        for (int id : fire) {
            // A handler may have stopped or freed a timer that was due at the same moment.
            std::function<void()> f;
            {
                std::lock_guard lock(m_);
                auto it = timers_.find(id);
                if (it == timers_.end() || !it->second->running)
                    continue;
                f = it->second->fire;
            }
            f();
            Settle();
        }
    }
    {
        std::lock_guard lock(m_);
        // A handler that ran a nested loop (a modal window) may have advanced the clock further
        // already: time never goes back.
        nowUs_ = std::max(nowUs_, static_cast<int64_t>(target));
    }
    Settle();
}

void TVirtualClock::Skip(uint64_t ms) {
    std::lock_guard lock(m_);
    nowUs_ += static_cast<int64_t>(ms) * 1000;
}
