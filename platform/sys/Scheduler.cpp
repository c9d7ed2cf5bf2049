#include "platform/sys/Scheduler.h"

#include <atomic>
#include <cstdio>
#include <vector>

#include <QTimer>

#include <ctime>

namespace {

int64_t MonotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

class QtTimerBackend : public TTimerBackend {
public:
    explicit QtTimerBackend(std::function<void()> onFire) {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [fire = std::move(onFire)] { fire(); });
    }
    void Start(uint32_t intervalMs) override { timer_.start(static_cast<int>(intervalMs)); }
    void Stop() override { timer_.stop(); }
    bool Precise() const override { return timer_.timerType() == Qt::PreciseTimer; }

private:
    QTimer timer_;
};

class RealScheduler : public TScheduler {
public:
    int64_t Counter() override { return MonotonicNs(); }
    int64_t CounterFrequency() override { return 1000000000; }

    TWaitResult Wait(const TWaitItem* items, size_t count, uint32_t timeoutMs) override {
        const int64_t deadline = MonotonicNs() + static_cast<int64_t>(timeoutMs) * 1000000;
        for (;;) {
            int waitMs = -1;
            if (timeoutMs != INFINITE_WAIT) {
                const int64_t left = deadline - MonotonicNs();
                waitMs = left <= 0 ? 0 : static_cast<int>((left + 999999) / 1000000);
            }
            // One poll both waits and tells which item is ready.
            const TWaitResult res = PollItems(items, count, waitMs);
            if (res.kind != TWaitResult::Timeout)
                return res;
            // Otherwise interrupted, or the event was taken by someone else: wait on until the deadline.
            if (timeoutMs != INFINITE_WAIT && MonotonicNs() >= deadline)
                return res;
        }
    }

    std::unique_ptr<TTimerBackend> NewTimer(std::function<void()> onFire) override {
        return std::make_unique<QtTimerBackend>(std::move(onFire));
    }
};

} // namespace

TScheduler& TScheduler::Real() {
    static RealScheduler real;
    return real;
}

namespace {
// Read by workers (their waits), set by the GUI thread.
std::atomic<TScheduler*> gDefault{nullptr};

std::vector<std::function<void()>>& DefaultChangeHandlers() {
    static std::vector<std::function<void()>> handlers;
    return handlers;
}
} // namespace

void TScheduler::SetDefault(TScheduler* s) {
    gDefault = s;
    for (const auto& moved : DefaultChangeHandlers())
        moved();
}

TScheduler* TScheduler::Default() {
    return gDefault.load();
}

void TScheduler::OnDefaultChange(std::function<void()> moved) {
    DefaultChangeHandlers().push_back(std::move(moved));
}

TScheduler& TScheduler::OrDefault() {
    TScheduler* s = gDefault.load();
    return s ? *s : Real();
}

TTimer::TTimer(TScheduler* scheduler) : backend_(TScheduler::Or(scheduler).NewTimer([this] { Fire(); })) {
    backend_->Start(interval_);
}

TTimer::~TTimer() {
    backend_->Stop();
}

void TTimer::SetEnabled(bool on) {
    if (on == enabled_)
        return;
    enabled_ = on;
    if (on && interval_ > 0)
        backend_->Start(interval_);
    else
        backend_->Stop();
}

void TTimer::SetInterval(uint32_t ms) {
    if (ms == interval_)
        return;
    interval_ = ms;
    if (enabled_ && interval_ > 0)
        backend_->Start(interval_);
    else
        backend_->Stop();
}

namespace {
std::atomic<TTimer::ErrorSink> gTimerErrorSink{nullptr};

void ReportTimerError(const std::exception* e) noexcept {
    if (TTimer::ErrorSink sink = gTimerErrorSink.load())
        sink(e);
    else
        std::fprintf(stderr, "timer handler failed: %s\n", e ? e->what() : "unknown exception");
}
} // namespace

void TTimer::SetErrorSink(ErrorSink sink) {
    gTimerErrorSink.store(sink);
}

void TTimer::Fire() {
    if (!enabled_ || !OnTimer)
        return;
    try {
        OnTimer();
    } catch (const std::exception& e) {
        ReportTimerError(&e);
    } catch (...) {
        ReportTimerError(nullptr);
    }
}
