// Events, waits, the virtual clock and timers.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/sys/Scheduler.h"
#include "platform/sys/Thread.h"
#include "tests/support/VirtualClock.h"
#include "tests/platform/sys/SysTestApp.h"

TEST(Wait, EventsResetWhenReportedAndLowestIndexWins) {
    TEvent a, b;
    int p[2];
    ASSERT_EQ(pipe(p), 0);
    const TWaitItem items[3] = {TWaitItem::Of(a), TWaitItem::Port(p[0]), TWaitItem::Of(b)};
    EXPECT_EQ(PollItems(items, 3).kind, TWaitResult::Timeout);

    b.Set();
    ASSERT_EQ(write(p[1], "x", 1), 1);
    a.Set();
    TWaitResult r = PollItems(items, 3);
    EXPECT_EQ(r.kind, TWaitResult::Ready);
    EXPECT_EQ(r.index, 0);
    // The descriptor is level-triggered: reported until read.
    EXPECT_EQ(PollItems(items, 3).index, 1);
    EXPECT_EQ(PollItems(items, 3).index, 1);
    char c;
    ASSERT_EQ(read(p[0], &c, 1), 1);
    EXPECT_EQ(PollItems(items, 3).index, 2);
    EXPECT_EQ(PollItems(items, 3).kind, TWaitResult::Timeout);

    close(p[1]);
    r = PollItems(items, 3);
    EXPECT_EQ(r.kind, TWaitResult::Hangup);
    EXPECT_EQ(r.index, 1);
    close(p[0]);
}

TEST(Wait, RealSchedulerTimesOutAndWakesOnEvent) {
    TEvent e;
    const TWaitItem item = TWaitItem::Of(e);
    TScheduler& s = TScheduler::Real();
    const uint64_t t0 = s.NowMs();
    EXPECT_EQ(s.Wait(&item, 1, 30).kind, TWaitResult::Timeout);
    EXPECT_GE(s.NowMs() - t0, 30u);

    std::thread setter([&] { e.Set(); });
    const TWaitResult r = s.Wait(&item, 1, INFINITE_WAIT);
    setter.join();
    EXPECT_EQ(r.kind, TWaitResult::Ready);
    EXPECT_EQ(s.Wait(&item, 1, 0).kind, TWaitResult::Timeout); // reset by the wait that reported it

    // A port whose far side goes away during a blocking wait ends it as a hang-up.
    int p[2];
    ASSERT_EQ(pipe(p), 0);
    const TWaitItem port = TWaitItem::Port(p[0]);
    std::thread closer([&] { close(p[1]); });
    const TWaitResult h = s.Wait(&port, 1, 5000);
    closer.join();
    EXPECT_EQ(h.kind, TWaitResult::Hangup);
    close(p[0]);
}

TEST(Wait, RealTimersArePreciseAndFireFromTheEventLoop) {
    EnsureApp();
    // The keep-alive and the watchdogs are held to the millisecond: a coarse timer may drift by 5 %.
    TTimer timer;
    EXPECT_TRUE(timer.Precise());
    int fired = 0;
    timer.SetInterval(20);
    timer.OnTimer = [&] { ++fired; };
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (fired < 3 && std::chrono::steady_clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_GE(fired, 3);
    timer.SetEnabled(false);
    const int stoppedAt = fired;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(fired, stoppedAt);
}

TEST(VirtualClock, WorkerTimeoutsAndTimersFireInTimeOrder) {
    EnsureApp();
    TVirtualClock clock;
    TEvent stop;
    std::mutex m;
    std::vector<std::string> log;
    auto note = [&](std::string what) {
        std::lock_guard lock(m);
        log.push_back(std::to_string(clock.Ms()) + " " + what);
    };
    TThread worker;
    ASSERT_TRUE(worker.Start(
        [&] {
            const TWaitItem item = TWaitItem::Of(stop);
            while (clock.Wait(&item, 1, 70).kind == TWaitResult::Timeout)
                note("timeout");
        },
        &clock));
    TTimer timer(&clock);
    timer.SetInterval(50);
    timer.OnTimer = [&] { note("timer"); };

    clock.Advance(69);
    EXPECT_TRUE(log.empty() || log == std::vector<std::string>{"50 timer"});
    clock.Advance(81);
    EXPECT_EQ(log,
              (std::vector<std::string>{"50 timer", "70 timeout", "100 timer", "140 timeout", "150 timer"}));

    // A disabled timer stays quiet; re-enabling starts a full interval.
    timer.SetEnabled(false);
    log.clear();
    clock.Advance(60);
    EXPECT_EQ(log, (std::vector<std::string>{"210 timeout"}));
    timer.SetEnabled(true);
    log.clear();
    clock.Advance(50);
    EXPECT_EQ(log, (std::vector<std::string>{"260 timer"}));

    stop.Set();
    ASSERT_TRUE(worker.Wait(5000));
}

TEST(VirtualClock, SkipMovesTimeWithoutExpiringWaitsUntilTheNextAdvance) {
    EnsureApp();
    TVirtualClock clock;
    TEvent stop;
    std::atomic<int> timeouts{0};
    TThread worker;
    ASSERT_TRUE(worker.Start(
        [&] {
            const TWaitItem item = TWaitItem::Of(stop);
            while (clock.Wait(&item, 1, 100).kind == TWaitResult::Timeout)
                ++timeouts;
        },
        &clock));
    clock.Settle();
    clock.Skip(500);
    EXPECT_EQ(timeouts, 0);
    clock.Advance(0);
    EXPECT_EQ(timeouts, 1);
    stop.Set();
    ASSERT_TRUE(worker.Wait(5000));
}

namespace {
std::vector<std::string> gTimerErrors;
void NoteTimerError(const std::exception* e) noexcept {
    gTimerErrors.push_back(e ? e->what() : "?");
}
} // namespace

TEST(VirtualClock, ATimerHandlerThatThrowsIsReportedAndTheTimerGoesOn) {
    EnsureApp();
    TVirtualClock clock;
    TTimer timer(&clock);
    timer.SetInterval(10);
    int ticks = 0;
    timer.OnTimer = [&] {
        if (++ticks == 1)
            throw std::runtime_error("tick failed");
        if (ticks == 2)
            throw 7;
    };
    gTimerErrors.clear();
    TTimer::SetErrorSink(&NoteTimerError);
    clock.Advance(30);
    TTimer::SetErrorSink(nullptr);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(gTimerErrors, (std::vector<std::string>{"tick failed", "?"}));
}
