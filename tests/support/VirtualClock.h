#pragma once
// A clock for tests: time moves only when the test advances it. Timers fire and reply timeouts expire
// in time order, and after every step the clock lets the workers settle (serving their window-message
// hand-overs) before it goes on, so a test sees every effect of a moment before it looks.

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sys/Scheduler.h"

class TVirtualClock : public TScheduler {
public:
    TVirtualClock();
    ~TVirtualClock() override;

    int64_t Counter() override;
    int64_t CounterFrequency() override { return 1000000; } // microseconds
    TWaitResult Wait(const TWaitItem* items, size_t count, uint32_t timeoutMs) override;
    std::unique_ptr<TTimerBackend> NewTimer(std::function<void()> onFire) override;
    void ThreadStarting() override;
    void ThreadEntered() override;
    void ThreadEnded() override;

    // GUI thread: moves time forward by ms, firing timers and expiring waits in order.
    void Advance(uint64_t ms);
    // Moves time without firing anything or settling (a slow handler, seen from the clock).
    void Skip(uint64_t ms);
    // GUI thread: serves hand-overs and posted messages until every worker waits with nothing ready.
    // Fails the process after 10 s of real time, which only a hang would take.
    void Settle();

    uint64_t Ms() const;

private:
    struct Waiter;
    struct Timer;
    class Backend;

    bool Quiet();
    bool NextDue(uint64_t limit, uint64_t& due);

    mutable std::mutex m_;
    int64_t nowUs_ = 0;
    int starting_ = 0;
    std::vector<Waiter*> waiters_;
    std::map<int, Timer*> timers_;
    int nextTimer_ = 1;
};
