#pragma once
// A worker thread of the transports and readers.

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class TScheduler;
class TMessageSource;

class TThread {
public:
    TThread() = default;
    ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Starts the body on a new thread; false when it cannot be started.
    bool Start(std::function<void()> body, TScheduler* scheduler = nullptr);
    bool Started() const { return thread_.joinable(); }
    bool Running() const { return thread_.joinable() && !done_->load(); }
    // Waits up to timeoutMs (real time) for the thread to end, serving the synchronous hand-overs of
    // source (the thread's own) that arrive meanwhile when called on the GUI thread; nothing else is
    // served. True when it ended (it is then joined).
    bool WaitServing(uint32_t timeoutMs, const TMessageSource* source);
    // Waits up to timeoutMs (real time) without serving anything. True when it ended (it is then joined).
    bool Wait(uint32_t timeoutMs);
    // Waits without limit.
    void Join();

private:
    bool WaitLoop(uint32_t timeoutMs, const TMessageSource* serve);

    std::thread thread_;
    std::shared_ptr<std::atomic<bool>> done_ = std::make_shared<std::atomic<bool>>(false);
};
