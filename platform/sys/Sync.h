#pragma once
// Events, waits and critical sections as the transports use them.

#include <cstddef>
#include <cstdint>
#include <mutex>

// Auto-reset event. It lives on an eventfd so that one wait can combine events and port descriptors.
class TEvent {
public:
    TEvent();
    ~TEvent();
    TEvent(const TEvent&) = delete;
    TEvent& operator=(const TEvent&) = delete;

    bool Valid() const { return fd_ >= 0; }
    void Set();
    // Resets the event; true when it was set.
    bool Reset();
    int Fd() const { return fd_; }

private:
    int fd_ = -1;
};

// Recursive, like the critical sections the transports were designed around.
class TCriticalSection {
public:
    void Enter() { m_.lock(); }
    void Leave() { m_.unlock(); }
    void lock() { m_.lock(); }
    void unlock() { m_.unlock(); }
    bool try_lock() { return m_.try_lock(); }

private:
    std::recursive_mutex m_;
};

// One thing to wait for: an event (reset when the wait reports it) or a descriptor that is ready
// while it has data to read.
struct TWaitItem {
    int fd = -1;
    bool event = false;

    static TWaitItem Of(const TEvent& e) { return {e.Fd(), true}; }
    static TWaitItem Port(int fd) { return {fd, false}; }
};

inline constexpr uint32_t INFINITE_WAIT = 0xFFFFFFFFu;

struct TWaitResult {
    enum Kind { Ready, Timeout, Failed, Hangup };
    Kind kind = Failed;
    int index = -1; // the ready (or hung-up) item, lowest index first
};

// Waits up to timeoutMs (0: only checks, -1: no limit) for the items: the first ready one (its event
// reset), a hang-up, or nothing (kind Timeout; also when interrupted or when another thread took the
// event first).
TWaitResult PollItems(const TWaitItem* items, size_t count, int timeoutMs = 0);
