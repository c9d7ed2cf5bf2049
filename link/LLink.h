#pragma once
// The common base of the three transports (serial, USB, network): one worker thread that waits for
// received data, a frame to write or the stop request, writes and resends the frame whose reply is
// awaited, and reports failures as link events to the owner window.
//
// State that the GUI thread and the worker share (send buffer, input deliveries, and the packet layer's
// queue and awaiting flag) is kept under one lock, which is never held while a frame is handed to the
// owner window. Port writes and feeding the assembler run under the critical section.
//
// Every port write happens on the worker: the GUI thread only puts a frame into the send buffer and
// sets the write event, so a port that does not take its bytes stalls the worker, never the window.
//
// While a reply is awaited, the reply timeout runs from the last write (or the last timeout); the
// worker does not wait for replies while a frame is being handed to the owner, so a slow frame handler
// costs no resend. Owners close a transport before destroying it; the destructor closes as a last resort.
//
// The USB and network transports get their input from the owner on the GUI thread. When the worker has
// nothing of it in hand (no input, no frame on its way to the owner, no frame waiting to be written), that
// input is cut into frames and handed to the owner right there: the round trip then costs no crossing to
// the worker and back. The order of frames, writes and link events stays the worker's.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "link/LCmd.h"
#include "link/LinkOwner.h"
#include "platform/sys/Messages.h"
#include "platform/sys/Scheduler.h"
#include "platform/sys/Sync.h"
#include "platform/sys/Thread.h"

// Largest frame: a length byte of 255 plus the 8 framing bytes.
inline constexpr size_t kMaxFrame = 255 + kFrameOverhead;

// Round trip in ms from two counter readings; 0xFFFFFFFF when it does not fit 32 bits.
uint32_t RoundTripMs(int64_t start, int64_t now, int64_t frequency);

class LLink : public TMessageSource {
public:
    enum class Kind { Serial, Usb, Net };

    ~LLink() override;
    LLink(const LLink&) = delete;
    LLink& operator=(const LLink&) = delete;

    // Stops the worker and closes what Open set up. Safe at any time, also from inside the owner's
    // frame handler: a frame being handed over is abandoned, and the worker is waited for.
    virtual void Close();
    // Puts bytes into the send buffer and lets the worker write them (bytes beyond the buffer are
    // refused whole).
    virtual void SendBytes(const uint8_t* bytes, uint32_t length);
    virtual void SendFrame(const BSTM& frame);
    // One received byte; a bare transport posts it as WM_LINK_BYTE.
    virtual void OnByte(uint8_t byte);
    // Posts a link event to the owner window.
    virtual void Notify(int code, intptr_t parameter);
    // Reply timeout in ms; the worker uses it from its next wait on.
    virtual void SetTimeout(uint32_t ms);
    void SetRetryLimit(int n);

    bool IsOpen() const { return open_.load(); }
    uint32_t Timeout() const { return timeout_.load(); }
    int RetryLimit() const { return retryLimit_.load(); }
    Kind GetKind() const { return kind_; }

    // Runs a port write of the owner's (a repeat the unit asked for) on the worker, under the critical
    // section, before the worker's next wait. Dropped when the transport is not open.
    void WriteOnWorker(std::function<void()> write);
    // Posts msg to the owner once the worker has written what the owner queued while handling the
    // current frame (GUI thread, from a frame handler): work that can wait lets the next frame leave
    // first. Dropped when the transport closes first.
    void PostAfterNextWrite(TMessage msg);

    // Port writes made off the worker thread, by any transport since the start (a fault: debug builds
    // stop on it, tests read the count).
    static int PortWritesOffWorker();

protected:
    LLink(LinkOwner* owner, Kind kind, TScheduler* scheduler);

    // The rest of Open, once the port (if any) is set up: events and the worker.
    bool StartWorker();
    // Open of the transports without a port of their own (USB, network): only the worker.
    bool OpenWorkerOnly();
    // Their input step: passes what DeliverInput brought to OnByte.
    void FeedInput();
    // Input the owner received on the GUI thread, handled there when the worker has nothing in hand
    // (see above); false when it is the worker's to handle.
    virtual bool HandleInputHere(const uint8_t* bytes, uint32_t length) {
        (void)bytes;
        (void)length;
        return false;
    }

    // Hooks of the packet layer.
    virtual void OnOpening() {}
    virtual void OnClosing() {}
    // Resends only while this is true (state lock held).
    virtual bool ReplyAwaitedLocked() { return true; }
    // A complete frame, outside every lock: on the worker thread, or on the GUI thread for input handled
    // there.
    virtual void OnFrameComplete(const BSTM& frame) { (void)frame; }

    // Port specifics.
    virtual TWaitItem FirstWaitItem() = 0;
    // Reads what arrived and passes it to OnByte (called with the critical section held).
    virtual void InputStep() = 0;
    // Writes to the port (called with the critical section held).
    virtual void WriteOut(const uint8_t* bytes, uint32_t length) = 0;
    virtual void CloseHandles() {}
    // A forced resend requested from outside, taken once (serial).
    virtual bool TakeForcedResend() { return false; }
    // How many timeouts pass silently once the resend limit is used up (USB).
    virtual int SilentTimeouts() const { return 0; }
    // Logs a frame put into the send buffer (serial).
    virtual void LogSend(const uint8_t* bytes, uint32_t length) {
        (void)bytes;
        (void)length;
    }
    // Logs a received frame (serial).
    virtual void LogReceive(const BSTM& frame) { (void)frame; }
    // The message that carries a complete frame to the owner.
    virtual uint32_t FrameMessage() { return WM_LINK_FRAME; }
    // The worker's reaction to a failed wait or a port that went away (serial raises link events).
    virtual void OnWaitFailed(bool portGone) { (void)portGone; }

    // Any thread, state lock held, after a new frame went into the send buffer: the worker writes it
    // before its next wait (the caller then sets the write event).
    void MarkWritePendingLocked() { writePending_ = true; }
    // Worker thread: writes the send buffer now when a new frame waits in it (resend counting starts
    // again). True when it wrote.
    bool WritePending();
    size_t SendCapacity() const { return sendBuf_.size(); }
    // Copies a frame into the send buffer; the state lock must be held. False when it does not fit.
    bool StoreSendLocked(const uint8_t* bytes, uint32_t length);
    uint8_t SendByteLocked(size_t i) const { return sendLen_ > i ? sendBuf_[i] : 0; }
    // Input deliveries (USB, network): appended on the GUI thread, taken whole by the worker.
    void AppendInput(const uint8_t* bytes, uint32_t length);
    std::vector<uint8_t> TakeInput();
    // State lock held: whether input waits for the worker, whether a new frame waits to be written,
    // whether messages wait for the worker's next write.
    bool InputWaitingLocked() const { return !input_.empty(); }
    bool WritePendingLocked() const { return writePending_; }
    bool PostsWaitingLocked() const { return !afterWrite_.empty(); }
    // State lock held: input handed back to the worker, before anything delivered since.
    void ReturnInputLocked(const uint8_t* bytes, size_t length);
    bool OnWorker() const { return std::this_thread::get_id() == workerId_.load(); }
    // Frames the assembler completed during an input step, handed over after it.
    void FrameCompleted(const BSTM& frame) { completed_.push_back(frame); }

    LinkOwner* owner_;
    TScheduler& scheduler_;
    TCriticalSection cs_;
    std::mutex state_; // the one lock over the shared state
    TEvent inputEvent_, writeEvent_, stopEvent_;
    std::atomic<bool> stopping_{false};
    std::atomic<int64_t> lastWrite_{0}; // counter reading of the last write or timeout
    // Under the state lock: input is being cut into frames and handed to the owner (by the worker, or by
    // the GUI thread for input it received itself); the other side leaves input alone meanwhile.
    bool inputBusy_ = false;
    // False once the transport is destroyed: a frame handler on the GUI thread may destroy it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

private:
    void WorkerThread();
    // Worker thread: posts what waited for the next write, unless the GUI thread is handing input over.
    void PostAfterWrite();
    // Worker thread: the port write, under the critical section.
    void WriteBytes(const uint8_t* bytes, uint32_t length);
    void RunOwnerWrites();
    int64_t TimeoutTicks();
    // The worker's next wait: the reply timeout counted from the last write while a reply is awaited.
    uint32_t WaitTime();
    void ResendStep();

    const Kind kind_;
    std::atomic<bool> open_{false};
    TThread worker_;
    std::atomic<uint32_t> timeout_{800};
    std::atomic<int> retryLimit_{2};
    int resendCount_ = 0; // worker only
    int silent_ = 0;      // worker only: timeouts let pass after the resend limit
    std::vector<uint8_t> sendBuf_;
    uint32_t sendLen_ = 0;
    bool writePending_ = false; // a new frame waits in the send buffer
    std::vector<std::function<void()>> ownerWrites_;
    std::vector<TMessage> afterWrite_; // under the state lock
    std::atomic<std::thread::id> workerId_{};
    std::vector<uint8_t> input_;
    std::vector<BSTM> completed_; // worker only
};
