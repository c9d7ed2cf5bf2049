#pragma once
// Window messages between worker threads and the GUI thread.
//
// A worker hands a message to a window either synchronously (SendMessage: the worker waits until the
// window has handled it) or posted (PostMessage). Both carry their own copy of any data, so nothing the
// worker owns is touched by the GUI thread. A synchronous hand-over can be abandoned by its source when
// that source stops, and a GUI thread that waits for a worker to end keeps serving that worker's
// hand-overs (and nothing else: no other window's handler runs inside the wait), so stopping a worker
// never deadlocks.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TMessage {
    uint32_t Msg = 0;
    uintptr_t WParam = 0;
    intptr_t LParam = 0;
    std::vector<uint8_t> Data; // bytes carried with the message (a frame)
    std::string Text;          // text carried with the message (a log line)
    intptr_t Result = 0;
};

// A window: receives messages on the GUI thread. Messages still on their way when it is destroyed are
// dropped.
class TMessageTarget {
public:
    TMessageTarget();
    virtual ~TMessageTarget();
    TMessageTarget(const TMessageTarget&) = delete;
    TMessageTarget& operator=(const TMessageTarget&) = delete;

    virtual void Dispatch(TMessage& msg) = 0;

private:
    friend class TMessageBridge;
    std::shared_ptr<TMessageTarget*> self_;
};

// Who sends: a transport or a reader. Posted messages from a source that no longer exists are dropped,
// and Abandon releases the source's worker from a pending synchronous hand-over.
class TMessageSource {
public:
    TMessageSource() : token_(std::make_shared<int>(0)) {}
    virtual ~TMessageSource();
    TMessageSource(const TMessageSource&) = delete;
    TMessageSource& operator=(const TMessageSource&) = delete;

    // Abandons every pending and every future synchronous hand-over of this source.
    void Abandon();
    // Lets synchronous hand-overs through again (a new run of the source).
    void Resume();

private:
    friend class TMessageBridge;
    std::shared_ptr<int> token_;
};

class TMessageBridge {
public:
    // Synchronous hand-over; true when the window handled the message, false when it was abandoned or
    // the window no longer exists. On the GUI thread itself the message is dispatched directly.
    static bool Send(TMessageTarget* target, TMessage& msg, TMessageSource* source = nullptr);
    // Posted message; handled later on the GUI thread.
    static void Post(TMessageTarget* target, TMessage msg, TMessageSource* source = nullptr);

    // GUI thread: handles every pending hand-over and posted message; true when there was any.
    static bool ServePending();
    // GUI thread: handles only the pending synchronous hand-overs of one source (a worker being waited
    // for); everything else stays queued for the message loop. True when there was any.
    static bool ServePendingFrom(const TMessageSource* source);
    // Number of hand-overs and posted messages not yet handled.
    static size_t PendingCount();
    // Of them, those of one source.
    static size_t PendingFrom(const TMessageSource* source);
    // Blocks the GUI thread until something is pending or the timeout has passed (real time), or until
    // Wake is called.
    static void WaitForPending(uint32_t timeoutMs);
    // Blocks until Wake is called (or something new is handed over) or the timeout has passed, whatever
    // is already pending: for a wait that does not serve.
    static void WaitForWake(uint32_t timeoutMs);
    static void Wake();

    // The GUI thread: the thread that created the first window (or called this first).
    static void BindGuiThread();
    static bool OnGuiThread();
};
