#pragma once
// The packet layer over a transport: one command outstanding at a time, a send queue that coalesces
// interactive edits, the frame assembler, the round-trip count, the hand-over of every complete frame
// to the owner window, and the keep-alive while the link is idle. LCommProc, LUsbProc and LNetProc are
// this layer over their transports.

#include <deque>
#include <memory>
#include <mutex>

#include "link/LLink.h"

// Whether a queued frame may give way to a newer one: same command code and same addressed target
// (the channel, or channel and band, or output and input). Frames of codes without a known target are
// never replaced.
bool SameTarget(const BSTM& queued, const BSTM& newer);

// Cuts received bytes into frames: waits for 10 02, takes length byte + 8 bytes, drops a frame whose
// length byte is 0 and looks for the next 10 02. Before the link switches to framed mode it cuts
// fixed blocks of 64 bytes instead.
class LFrameAssembler {
public:
    // True when this byte completed a frame (or block); Frame() holds it until the next Push.
    bool Push(uint8_t b, bool framed) {
        // A mode switch in the middle of a block or frame starts afresh: the half-filled buffer of
        // the other mode would otherwise never complete and keep growing.
        if (done_ || framed != framed_) {
            buf_.clear();
            done_ = false;
            framed_ = framed;
        }
        if (!framed) {
            buf_.push_back(b);
            return done_ = buf_.size() == 64;
        }
        if (buf_.empty() && b != 0x10)
            return false;
        if (buf_.size() == 1 && b != 0x02)
            return false;
        buf_.push_back(b);
        if (buf_.size() < 5)
            return false;
        const size_t len = buf_[4];
        if (len == 0) {
            // No command code: not a frame.
            buf_.clear();
            return false;
        }
        return done_ = buf_.size() == len + kFrameOverhead;
    }
    const BSTM& Frame() const { return buf_; }
    void Reset() {
        buf_.clear();
        done_ = false;
    }

private:
    BSTM buf_;
    bool done_ = false;
    bool framed_ = true;
};

template <class Base> class LLinkProc : public Base {
public:
    static constexpr uint32_t kKeepAliveMs = 2000;

    template <class... A>
    explicit LLinkProc(LinkOwner* owner, TScheduler* scheduler = nullptr)
        : Base(owner, scheduler), deviceId_(owner->GetDeviceId()) {}
    ~LLinkProc() override { this->Close(); }

    // Has the worker write the frame when no reply is awaited, otherwise queues it (GUI thread).
    void QueueFrame(const BSTM& frame, bool force) { Queue(frame, force, true); }

    // As QueueFrame without force, leaving the assembler's mode as it is.
    void SendBytes(const uint8_t* bytes, uint32_t length) override {
        if (bytes && length)
            Queue(BSTM(bytes, bytes + length), false, false);
    }
    void SendFrame(const BSTM& frame) override { Queue(frame, false, false); }

    // After the owner has handled a reply: writes the next queued frame (on the worker; from the GUI
    // thread the worker is asked to).
    void SendNext() {
        BSTM next;
        {
            std::lock_guard lock(this->state_);
            if (queue_.empty()) {
                awaiting_ = false;
                return;
            }
            next = std::move(queue_.front());
            queue_.pop_front();
            if (replaceableFrom_ > 0)
                --replaceableFrom_;
            startCount_ = this->scheduler_.Counter();
            frequency_ = this->scheduler_.CounterFrequency();
            this->StoreSendLocked(next.data(), static_cast<uint32_t>(next.size()));
            this->MarkWritePendingLocked();
        }
        this->LogSend(next.data(), static_cast<uint32_t>(next.size()));
        // On the worker written right here: a second reply in the same input must not overwrite it
        // unsent. The GUI thread leaves the write to the worker and the rest of its input with it.
        if (this->OnWorker())
            this->WritePending();
        else
            this->writeEvent_.Set();
    }

    // Keep-alive timer handler (GUI thread).
    void KeepAlive() {
        {
            std::lock_guard lock(this->state_);
            if (awaiting_ || !queue_.empty() || suspended_)
                return;
        }
        this->SetTimeout(this->GetKind() == LLink::Kind::Serial ? 2000 : 5000);
        QueueFrame(LCmd::ToFrame(LCmd(static_cast<uint8_t>(deviceId_.load()), MCS_KEEP_ALIVE)), false);
    }

    // Frame assembler (worker thread, under the critical section).
    void OnByte(uint8_t b) override {
        if (rx_.Push(b, framed_.load()))
            this->FrameCompleted(rx_.Frame());
    }

    void SetKeepAliveSuspended(bool on) {
        std::lock_guard lock(this->state_);
        suspended_ = on;
    }
    void SetDeviceId(int id) { deviceId_ = id; }

    // For the owner and tests.
    bool IsAwaiting() {
        std::lock_guard lock(this->state_);
        return awaiting_;
    }
    std::deque<BSTM> QueuedFrames() {
        std::lock_guard lock(this->state_);
        return queue_;
    }
    bool Framed() const { return framed_.load(); }

protected:
    void OnOpening() override {
        rx_.Reset(); // the worker is not running yet: nothing of an earlier connection is kept
        keepAlive_ = std::make_unique<::TTimer>(&this->scheduler_);
        keepAlive_->SetInterval(kKeepAliveMs);
        keepAlive_->OnTimer = [this] { KeepAlive(); };
        keepAlive_->SetEnabled(true);
    }

    void OnClosing() override {
        keepAlive_.reset();
        std::lock_guard lock(this->state_);
        queue_.clear();
        replaceableFrom_ = 0;
    }

    // Not while a frame is on its way to the owner: a slow handler costs no resend.
    bool ReplyAwaitedLocked() override { return awaiting_ && !this->inputBusy_; }

    void OnFrameComplete(const BSTM& frame) override {
        int64_t start, frequency;
        {
            std::lock_guard lock(this->state_);
            start = startCount_;
            frequency = frequency_;
        }
        const uint32_t rtt = RoundTripMs(start, this->scheduler_.Counter(), frequency);
        this->LogReceive(frame);
        TMessage msg;
        msg.Msg = this->FrameMessage();
        msg.Data = frame;
        msg.LParam = static_cast<intptr_t>(rtt);
        // The owner handles its own copy; the worker waits, without any lock held.
        const std::shared_ptr<bool> alive = this->alive_;
        const bool worker = this->OnWorker();
        if (!TMessageBridge::Send(this->owner_, msg, this) && this->stopping_)
            return;
        // A handler on the GUI thread may have closed the transport, or destroyed it: as for an abandoned
        // hand-over, nothing follows.
        if (!*alive || (!worker && (this->stopping_ || !this->IsOpen())))
            return;
        SendNext();
    }

    bool HandleInputHere(const uint8_t* bytes, uint32_t length) override {
        // Only with nothing of this transport still queued for the owner (a link event, a log line),
        // which must reach it first.
        if (!TMessageBridge::OnGuiThread() || this->OnWorker() || TMessageBridge::PendingFrom(this) != 0)
            return false;
        // The critical section is held by a worker's port write, which may wait for a stalled peer: the
        // GUI thread does not wait for it.
        std::unique_lock cs(this->cs_, std::try_to_lock);
        if (!cs.owns_lock())
            return false;
        {
            std::lock_guard lock(this->state_);
            if (!this->IsOpen() || this->stopping_ || this->inputBusy_ || this->InputWaitingLocked() ||
                this->WritePendingLocked())
                return false;
            this->inputBusy_ = true;
        }
        const std::shared_ptr<bool> alive = this->alive_;
        uint32_t at = 0;
        while (at < length) {
            if (!cs.owns_lock() && !cs.try_lock())
                break;
            bool complete = false;
            while (at < length && !complete)
                complete = rx_.Push(bytes[at++], framed_.load());
            if (!complete)
                break;
            const BSTM frame = rx_.Frame();
            cs.unlock();
            OnFrameComplete(frame);
            if (!*alive)
                return true; // destroyed by the handler
            if (this->stopping_ || !this->IsOpen()) {
                at = length; // closed by the handler: the rest is not for this connection
                break;
            }
            std::lock_guard lock(this->state_);
            // The next frame waits for the worker's write: what follows in the input is the worker's.
            if (this->WritePendingLocked())
                break;
        }
        bool wake, posts;
        {
            std::lock_guard lock(this->state_);
            if (at < length)
                this->ReturnInputLocked(bytes + at, length - at);
            this->inputBusy_ = false;
            wake = this->InputWaitingLocked();
            posts = this->PostsWaitingLocked();
        }
        if (wake)
            this->inputEvent_.Set();
        // The worker posts what waited for this input's handling (after the write it queued, if any).
        if (posts)
            this->writeEvent_.Set();
        return true;
    }

private:
    void Queue(const BSTM& frame, bool force, bool switchMode) {
        // A frame that does not fit the send buffer is refused whole, queued or not.
        if (!this->IsOpen() || frame.empty() || frame.size() > this->SendCapacity())
            return;
        if (switchMode)
            framed_ = true;
        RestartKeepAlive();
        bool written = false;
        {
            std::lock_guard lock(this->state_);
            if (!awaiting_) {
                if (!this->StoreSendLocked(frame.data(), static_cast<uint32_t>(frame.size())))
                    return;
                awaiting_ = true;
                startCount_ = this->scheduler_.Counter();
                frequency_ = this->scheduler_.CounterFrequency();
                this->MarkWritePendingLocked();
                written = true;
            } else if (force) {
                // Never replaced, and nothing queued before it is replaced any more.
                queue_.push_back(frame);
                replaceableFrom_ = queue_.size();
            } else if (queue_.size() > replaceableFrom_ && SameTarget(queue_.back(), frame)) {
                // Only the most recently queued frame gives way, so the order of what the user did is
                // kept: gain, PEQ, gain stays three frames.
                queue_.back() = frame;
            } else {
                queue_.push_back(frame);
            }
        }
        if (written) {
            this->LogSend(frame.data(), static_cast<uint32_t>(frame.size()));
            // The worker writes it: the GUI thread never waits on a port.
            this->writeEvent_.Set();
        }
    }

    void RestartKeepAlive() {
        if (keepAlive_) {
            keepAlive_->SetEnabled(false);
            keepAlive_->SetEnabled(true);
        }
    }

    std::atomic<int> deviceId_;
    std::atomic<bool> framed_{Base::kAlwaysFramed};
    LFrameAssembler rx_; // worker only
    // Under the state lock:
    bool awaiting_ = false;
    bool suspended_ = false;
    std::deque<BSTM> queue_;
    size_t replaceableFrom_ = 0; // the last forced frame's index + 1: it and what precedes it stay
    int64_t startCount_ = 0;
    int64_t frequency_ = 1;
    std::unique_ptr<::TTimer> keepAlive_; // GUI thread only
};
