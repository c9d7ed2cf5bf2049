// The window-message bridge between workers and the GUI thread.
#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <memory>
#include <thread>

#include "platform/sys/Messages.h"
#include "platform/sys/Thread.h"
#include "tests/platform/sys/SysTestApp.h"

namespace {

// Waits (real time, bounded) for a hand-over to be pending, without serving it.
bool PendingArrives() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (TMessageBridge::PendingCount() == 0) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return true;
}

struct Window : TMessageTarget {
    std::vector<TMessage> got;
    std::function<void(TMessage&)> onMessage;
    void Dispatch(TMessage& msg) override {
        got.push_back(msg);
        if (onMessage)
            onMessage(msg);
    }
};

} // namespace

TEST(Messages, SendHandsACopyToTheGuiThreadAndWaits) {
    EnsureApp();
    Window w;
    std::thread::id handledOn;
    w.onMessage = [&](TMessage& m) {
        handledOn = std::this_thread::get_id();
        m.Data[0] = 0xEE; // the handler's copy only
        m.Result = 42;
    };
    std::atomic<bool> returned{false};
    TMessage sent;
    bool ok = false;
    TMessageSource source;
    TThread worker;
    ASSERT_TRUE(worker.Start([&] {
        sent.Msg = 0x550;
        sent.Data = {1, 2, 3};
        ok = TMessageBridge::Send(&w, sent, &source);
        returned = true;
    }));
    // Not handled until the GUI thread serves it; the worker waits meanwhile.
    ASSERT_TRUE(PendingArrives());
    EXPECT_FALSE(returned);
    ASSERT_TRUE(worker.WaitServing(5000, &source));
    EXPECT_TRUE(ok);
    EXPECT_EQ(handledOn, std::this_thread::get_id());
    ASSERT_EQ(w.got.size(), 1u);
    EXPECT_EQ(w.got[0].Data, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(sent.Data[0], 1);
    EXPECT_EQ(sent.Result, 42);
}

TEST(Messages, AbandonReleasesTheSenderAndDropsTheMessage) {
    EnsureApp();
    Window w;
    TMessageSource source;
    bool ok = true;
    TThread worker;
    ASSERT_TRUE(worker.Start([&] {
        TMessage m;
        m.Msg = 1;
        ok = TMessageBridge::Send(&w, m, &source);
    }));
    ASSERT_TRUE(PendingArrives());
    source.Abandon();
    ASSERT_TRUE(worker.Wait(5000)); // released without the GUI thread serving anything
    EXPECT_FALSE(ok);
    TMessageBridge::ServePending();
    EXPECT_TRUE(w.got.empty());

    // Later sends of an abandoned source return at once until it resumes.
    TMessage m;
    TThread again;
    ASSERT_TRUE(again.Start([&] { ok = TMessageBridge::Send(&w, m, &source); }));
    ASSERT_TRUE(again.Wait(5000));
    EXPECT_FALSE(ok);
}

TEST(Messages, PostedMessagesOfAGoneSourceOrToAGoneWindowAreDropped) {
    EnsureApp();
    Window w;
    auto source = std::make_unique<TMessageSource>();
    auto gone = std::make_unique<Window>();
    TThread worker;
    ASSERT_TRUE(worker.Start([&] {
        TMessage m;
        m.Msg = 1;
        TMessageBridge::Post(&w, m, source.get());
        m.Msg = 2;
        TMessageBridge::Post(&w, m);
        m.Msg = 3;
        TMessageBridge::Post(gone.get(), m);
    }));
    ASSERT_TRUE(worker.Wait(5000));
    source.reset();
    gone.reset();
    TMessageBridge::ServePending();
    ASSERT_EQ(w.got.size(), 1u);
    EXPECT_EQ(w.got[0].Msg, 2u);
}

TEST(Messages, WaitServingHandlesOnlyTheWorkersHandOversAndQtLoopDeliversTheRest) {
    EnsureApp();
    Window w, other;
    TMessageSource source, otherSource;
    // Pending before the wait: a posted message and another worker's hand-over, neither of which may
    // run inside the wait (it could be a destructor's).
    TMessage posted;
    posted.Msg = 7;
    TMessageBridge::Post(&other, posted);
    TThread otherWorker;
    ASSERT_TRUE(otherWorker.Start([&] {
        TMessage m;
        m.Msg = 8;
        TMessageBridge::Send(&other, m, &otherSource);
    }));
    ASSERT_TRUE(PendingArrives());
    TThread worker;
    ASSERT_TRUE(worker.Start([&] {
        for (int i = 0; i < 3; ++i) {
            TMessage m;
            m.Msg = static_cast<uint32_t>(i);
            TMessageBridge::Send(&w, m, &source);
        }
    }));
    // Waiting for the worker on the GUI thread never deadlocks on its hand-overs.
    ASSERT_TRUE(worker.WaitServing(5000, &source));
    EXPECT_EQ(w.got.size(), 3u);
    EXPECT_TRUE(other.got.empty());
    EXPECT_FALSE(otherWorker.WaitServing(20, &source));
    ASSERT_TRUE(otherWorker.WaitServing(5000, &otherSource));
    ASSERT_EQ(other.got.size(), 1u);
    EXPECT_EQ(other.got[0].Msg, 8u);
    TMessageBridge::ServePending();
    ASSERT_EQ(other.got.size(), 2u);
    EXPECT_EQ(other.got[1].Msg, 7u);

    // And the plain Qt event loop serves posted messages too.
    TThread poster;
    ASSERT_TRUE(poster.Start([&] {
        TMessage m;
        m.Msg = 9;
        TMessageBridge::Post(&w, m);
    }));
    ASSERT_TRUE(poster.Wait(5000));
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (w.got.size() < 4 && std::chrono::steady_clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    ASSERT_EQ(w.got.size(), 4u);
    EXPECT_EQ(w.got[3].Msg, 9u);
}

TEST(Messages, WaitingWithoutServingSleepsWhileMessagesArePending) {
    EnsureApp();
    Window w;
    std::atomic<bool> release{false};
    TThread worker;
    ASSERT_TRUE(worker.Start([&] {
        TMessage m;
        TMessageBridge::Post(&w, m);
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }));
    ASSERT_TRUE(PendingArrives());
    timespec cpu0{}, cpu1{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu0);
    EXPECT_FALSE(worker.Wait(300));
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu1);
    const double used = static_cast<double>(cpu1.tv_sec - cpu0.tv_sec) + (cpu1.tv_nsec - cpu0.tv_nsec) / 1e9;
    EXPECT_LT(used, 0.1); // a spinning wait would use about all of the 300 ms
    release = true;
    ASSERT_TRUE(worker.Wait(5000));
    TMessageBridge::ServePending();
    EXPECT_EQ(w.got.size(), 1u);
}
