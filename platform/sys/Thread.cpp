#include "platform/sys/Thread.h"

#include <chrono>
#include <system_error>

#include "platform/sys/Messages.h"
#include "platform/sys/Scheduler.h"

TThread::~TThread() {
    if (thread_.joinable())
        thread_.join();
}

bool TThread::Start(std::function<void()> body, TScheduler* scheduler) {
    if (thread_.joinable())
        return false;
    TScheduler& s = TScheduler::Or(scheduler);
    done_ = std::make_shared<std::atomic<bool>>(false);
    s.ThreadStarting();
    try {
        thread_ = std::thread([&s, done = done_, body = std::move(body)] {
            s.ThreadEntered();
            body();
            s.ThreadEnded();
            done->store(true);
            TMessageBridge::Wake();
        });
    } catch (const std::system_error&) {
        s.ThreadEnded();
        return false;
    }
    return true;
}

bool TThread::Wait(uint32_t timeoutMs) {
    return WaitLoop(timeoutMs, nullptr);
}

bool TThread::WaitServing(uint32_t timeoutMs, const TMessageSource* source) {
    return WaitLoop(timeoutMs, TMessageBridge::OnGuiThread() ? source : nullptr);
}

bool TThread::WaitLoop(uint32_t timeoutMs, const TMessageSource* serve) {
    if (!thread_.joinable())
        return true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (serve)
            TMessageBridge::ServePendingFrom(serve);
        if (done_->load()) {
            thread_.join();
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
        const auto slice = static_cast<uint32_t>(left < 10 ? left + 1 : 10);
        // Woken by a new hand-over or the thread's end; what else is pending stays for the loop.
        TMessageBridge::WaitForWake(slice);
    }
}

void TThread::Join() {
    if (thread_.joinable())
        thread_.join();
}
