#pragma once
// Time for timers, reply timeouts and round-trip counts. The program runs on the real clock and Qt's
// event loop; tests put a virtual clock in its place (TVirtualClock), so timing rules need no sleeping.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>

#include "platform/sys/Sync.h"

// A repeating timer's engine; it fires on the thread that created it (the GUI thread).
class TTimerBackend {
public:
    virtual ~TTimerBackend() = default;
    virtual void Start(uint32_t intervalMs) = 0;
    virtual void Stop() = 0;
    // Whether it fires on the millisecond (Qt's default timers may drift by 5 %).
    virtual bool Precise() const { return true; }
};

class TScheduler {
public:
    virtual ~TScheduler() = default;

    // The high-resolution counter and its ticks per second.
    virtual int64_t Counter() = 0;
    virtual int64_t CounterFrequency() = 0;
    uint64_t NowMs() { return static_cast<uint64_t>(Counter() / (CounterFrequency() / 1000)); }

    // Waits until one of the items is ready or the timeout (ms, INFINITE_WAIT for none) has passed.
    virtual TWaitResult Wait(const TWaitItem* items, size_t count, uint32_t timeoutMs) = 0;

    virtual std::unique_ptr<TTimerBackend> NewTimer(std::function<void()> onFire) = 0;

    // A worker thread's life, so that a virtual clock knows when all workers have gone quiet.
    virtual void ThreadStarting() {}
    virtual void ThreadEnded() {}
    virtual void ThreadEntered() {}

    // The real clock.
    static TScheduler& Real();

    // The one place where the clock is chosen for everything made without a scheduler of its own: the
    // timers, waits and worker threads of every library and of the windows. The real clock unless a
    // test puts its virtual clock here (before it creates what it times, back to nullptr after).
    static void SetDefault(TScheduler* s);
    static TScheduler* Default(); // nullptr: the real clock
    // Called after every SetDefault, for the few long-lived timers made once and kept (the plot's
    // update timer), which move to the new clock.
    static void OnDefaultChange(std::function<void()> moved);

    // The scheduler given, or the default one for none.
    static TScheduler& Or(TScheduler* s) { return s ? *s : OrDefault(); }

private:
    static TScheduler& OrDefault();
};

// Interval timer of the GUI framework: fires OnTimer every Interval ms while Enabled. Its timing is
// precise: the keep-alive, reply watchdogs and deferrals rely on it to the millisecond.
class TTimer {
public:
    explicit TTimer(TScheduler* scheduler = nullptr);
    ~TTimer();
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    std::function<void()> OnTimer;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    uint32_t Interval() const { return interval_; }
    void SetInterval(uint32_t ms);
    bool Precise() const { return backend_->Precise(); }

    // Where an exception that an OnTimer handler lets escape goes: it must not unwind through the event
    // loop. The GUI layer shows it; without a sink it is written to standard error. The loop goes on.
    using ErrorSink = void (*)(const std::exception* e) noexcept;
    static void SetErrorSink(ErrorSink sink);

private:
    void Fire();

    std::unique_ptr<TTimerBackend> backend_;
    bool enabled_ = true;
    uint32_t interval_ = 1000;
};
