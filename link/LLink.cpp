#include "link/LLink.h"
#include "link/LLinkProc.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
// Input deliveries beyond this wait for the worker no longer: the excess is dropped.
constexpr size_t kMaxPendingInput = 64 * 1024;
constexpr uint32_t kStopWaitMs = 5000;
} // namespace

std::string FrameLogLine(const char* prefix, const uint8_t* bytes, size_t length) {
    std::string line = prefix;
    char hex[4];
    for (size_t i = 0; i < length; ++i) {
        std::snprintf(hex, sizeof hex, "%02X ", bytes[i]);
        line += hex;
    }
    return line;
}

void PostFrameLog(LinkOwner* owner, std::string line, TMessageSource* source) {
    TMessage msg;
    msg.Msg = WM_LINK_LOG;
    msg.Text = std::move(line);
    TMessageBridge::Post(owner, std::move(msg), source);
}

uint32_t RoundTripMs(int64_t start, int64_t now, int64_t frequency) {
    if (frequency <= 0 || now <= start)
        return 0;
    const uint64_t ticks = static_cast<uint64_t>(now - start);
    const uint64_t f = static_cast<uint64_t>(frequency);
    const uint64_t seconds = ticks / f;
    if (seconds >= 0xFFFFFFFFull / 1000 + 1)
        return 0xFFFFFFFFu;
    const uint64_t ms = seconds * 1000 + (ticks % f) * 1000 / f;
    return ms >= 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(ms);
}

bool SameTarget(const BSTM& queued, const BSTM& newer) {
    if (queued.size() < 6 || newer.size() < 6 || queued[5] != newer[5])
        return false;
    // Payload bytes that name what a command sets.
    size_t target;
    switch (newer[5]) {
    case MCS_KEEP_ALIVE:
    case MCS_DELAYUNIT:
    case MCS_WORK_MODE:
    case MCS_LEVELS:
        target = 0;
        break; // one setting of the whole unit
    case MCS_COMP:
    case MCS_LOW_PASS:
    case MCS_HIGH_PASS:
    case MCS_GAIN:
    case MCS_MUTE:
    case MCS_POLARITY:
    case MCS_DELAY:
    case MCS_MATRIX:
    case MCS_EQ_BYPASS:
    case MCS_CHANNEL_NAME:
    case MCS_GATE:
    case MCS_LIMIT:
    case MCS_GEQ_BYPASS:
        target = 1;
        break; // channel
    case MCS_PEQ:
    case MCS_GEQ: // channel, band
    case MCS_MIX:
        target = 2;
        break; // output, input
    default:
        return false;
    }
    if (queued.size() < 6 + target + 3 || newer.size() < 6 + target + 3)
        return false;
    return std::equal(queued.begin() + 6, queued.begin() + 6 + static_cast<std::ptrdiff_t>(target),
                      newer.begin() + 6);
}

LLink::LLink(LinkOwner* owner, Kind kind, TScheduler* scheduler)
    : owner_(owner), scheduler_(TScheduler::Or(scheduler)), kind_(kind),
      sendBuf_(kind == Kind::Serial ? 1024 : kMaxFrame, 0) {}

LLink::~LLink() {
    // Derived parts stop the worker in their own destructors; this is the last resort.
    if (worker_.Started())
        LLink::Close();
    *alive_ = false;
}

bool LLink::StartWorker() {
    if (!inputEvent_.Valid() || !writeEvent_.Valid() || !stopEvent_.Valid())
        return false;
    // Nothing of an earlier run may wake the new worker.
    inputEvent_.Reset();
    writeEvent_.Reset();
    stopEvent_.Reset();
    stopping_ = false;
    {
        std::lock_guard lock(state_);
        ownerWrites_.clear();
        afterWrite_.clear();
    }
    Resume();
    open_ = true;
    if (!worker_.Start([this] { WorkerThread(); }, &scheduler_)) {
        open_ = false;
        return false;
    }
    return true;
}

bool LLink::OpenWorkerOnly() {
    if (IsOpen())
        return false;
    OnOpening();
    return StartWorker();
}

void LLink::FeedInput() {
    for (uint8_t b : TakeInput())
        OnByte(b);
}

void LLink::Close() {
    OnClosing();
    if (worker_.Started()) {
        stopping_ = true;
        stopEvent_.Set();
        // A frame on its way to the owner is dropped, so the worker never waits for a GUI thread
        // that is busy here.
        Abandon();
        if (!worker_.Wait(kStopWaitMs)) {
            TMessage msg;
            msg.Msg = WM_LINK_EVENT;
            msg.WParam = LINK_STOP_TIMEOUT;
            // Not tied to this transport: it is about to go away, and the owner should still hear it.
            TMessageBridge::Post(owner_, std::move(msg));
            // Every step of the worker is bounded (port writes give up after their own timeout, the
            // hand-over is abandoned), so it ends within one more period. Its buffers stay until then;
            // a worker that still runs after it is a fault that freeing them would turn into a
            // use-after-free, so the program stops instead of waiting for ever.
            if (!worker_.Wait(kStopWaitMs)) {
                std::fprintf(stderr, "transport worker did not stop\n");
                std::abort();
            }
        }
    }
    open_ = false;
    {
        std::lock_guard lock(state_);
        afterWrite_.clear();
    }
    std::lock_guard lock(cs_);
    CloseHandles();
}

void LLink::SendBytes(const uint8_t* bytes, uint32_t length) {
    if (!open_ || !bytes)
        return;
    {
        std::lock_guard lock(state_);
        if (!StoreSendLocked(bytes, length))
            return;
        MarkWritePendingLocked();
    }
    LogSend(bytes, length);
    writeEvent_.Set();
}

void LLink::WriteOnWorker(std::function<void()> write) {
    if (!open_ || !write)
        return;
    {
        std::lock_guard lock(state_);
        ownerWrites_.push_back(std::move(write));
    }
    writeEvent_.Set();
}

void LLink::PostAfterNextWrite(TMessage msg) {
    if (!open_)
        return;
    {
        std::lock_guard lock(state_);
        afterWrite_.push_back(std::move(msg));
    }
    // The worker posts it after its next write, or at once when the handler queued nothing.
    writeEvent_.Set();
}

void LLink::PostAfterWrite() {
    std::vector<TMessage> posts;
    {
        std::lock_guard lock(state_);
        // Input being handed over on the GUI thread may still queue the frame these wait for; its end
        // wakes the worker again.
        if (inputBusy_ || writePending_)
            return;
        posts.swap(afterWrite_);
    }
    for (TMessage& msg : posts)
        TMessageBridge::Post(owner_, std::move(msg), this);
}

void LLink::SendFrame(const BSTM& frame) {
    if (!frame.empty())
        SendBytes(frame.data(), static_cast<uint32_t>(frame.size()));
}

bool LLink::StoreSendLocked(const uint8_t* bytes, uint32_t length) {
    if (length > sendBuf_.size())
        return false;
    std::memcpy(sendBuf_.data(), bytes, length);
    sendLen_ = length;
    return true;
}

void LLink::OnByte(uint8_t byte) {
    TMessage msg;
    msg.Msg = WM_LINK_BYTE;
    msg.WParam = byte;
    TMessageBridge::Post(owner_, std::move(msg), this);
}

void LLink::Notify(int code, intptr_t parameter) {
    TMessage msg;
    msg.Msg = WM_LINK_EVENT;
    msg.WParam = static_cast<uintptr_t>(code);
    msg.LParam = parameter;
    TMessageBridge::Post(owner_, std::move(msg), this);
}

void LLink::SetTimeout(uint32_t ms) {
    timeout_ = ms;
}

void LLink::SetRetryLimit(int n) {
    retryLimit_ = n;
}

void LLink::AppendInput(const uint8_t* bytes, uint32_t length) {
    if (!bytes || length == 0)
        return;
    {
        std::lock_guard lock(state_);
        const size_t room = kMaxPendingInput - std::min(input_.size(), kMaxPendingInput);
        input_.insert(input_.end(), bytes, bytes + std::min<size_t>(length, room));
    }
    inputEvent_.Set();
}

void LLink::ReturnInputLocked(const uint8_t* bytes, size_t length) {
    input_.insert(input_.begin(), bytes, bytes + length);
}

std::vector<uint8_t> LLink::TakeInput() {
    std::lock_guard lock(state_);
    std::vector<uint8_t> taken;
    taken.swap(input_);
    return taken;
}

namespace {
std::atomic<int> portWritesOffWorker{0};
} // namespace

int LLink::PortWritesOffWorker() {
    return portWritesOffWorker.load();
}

void LLink::WriteBytes(const uint8_t* bytes, uint32_t length) {
    std::lock_guard lock(cs_);
    if (std::this_thread::get_id() != workerId_.load()) {
        ++portWritesOffWorker;
        assert(!"port write off the transport's worker thread");
    }
    WriteOut(bytes, length);
    lastWrite_ = scheduler_.Counter();
}

bool LLink::WritePending() {
    uint8_t local[1024];
    uint32_t n;
    {
        std::lock_guard lock(state_);
        if (!writePending_)
            return false;
        writePending_ = false;
        n = sendLen_;
        std::memcpy(local, sendBuf_.data(), n);
    }
    resendCount_ = 0;
    silent_ = 0;
    WriteBytes(local, n);
    return true;
}

void LLink::RunOwnerWrites() {
    std::vector<std::function<void()>> writes;
    {
        std::lock_guard lock(state_);
        writes.swap(ownerWrites_);
    }
    for (auto& w : writes) {
        std::lock_guard lock(cs_);
        w();
    }
}

int64_t LLink::TimeoutTicks() {
    return static_cast<int64_t>(timeout_.load()) * scheduler_.CounterFrequency() / 1000;
}

uint32_t LLink::WaitTime() {
    const uint32_t t = timeout_.load();
    {
        std::lock_guard lock(state_);
        if (!ReplyAwaitedLocked())
            return t;
    }
    const int64_t elapsed = scheduler_.Counter() - lastWrite_.load();
    const int64_t left = TimeoutTicks() - elapsed;
    if (left <= 0)
        return 0;
    const int64_t f = scheduler_.CounterFrequency();
    return static_cast<uint32_t>(std::min<int64_t>((left * 1000 + f - 1) / f, t));
}

void LLink::ResendStep() {
    const bool forced = TakeForcedResend();
    enum { None, Write, NoReply } action = None;
    uint8_t local[1024];
    uint32_t n = 0;
    uint8_t id = 0;
    bool forcedWrite = false;
    {
        // Decided under the lock that the queueing thread fills the send buffer under: a new frame
        // waiting there goes out next pass as a new frame, never as a resend of the old one.
        std::lock_guard lock(state_);
        if (writePending_)
            return;
        if (!ReplyAwaitedLocked()) {
            // Nothing outstanding: an idle link resends nothing and reports nothing.
            resendCount_ = 0;
            silent_ = 0;
            return;
        }
        n = sendLen_;
        std::memcpy(local, sendBuf_.data(), n);
        forcedWrite = forced;
        if (resendCount_ < retryLimit_) {
            silent_ = 0;
            if (sendLen_ > 0 && sendBuf_[0] != 0)
                action = Write;
            ++resendCount_;
        } else if (++silent_ > SilentTimeouts()) {
            silent_ = 0;
            resendCount_ = 0;
            sendBuf_[0] = 0;
            id = SendByteLocked(3);
            action = NoReply;
        }
    }
    if (forcedWrite)
        WriteBytes(local, n);
    if (action == Write)
        WriteBytes(local, n);
    else if (action == NoReply)
        Notify(LINK_NO_REPLY, id);
}

void LLink::WorkerThread() {
    workerId_ = std::this_thread::get_id();
    resendCount_ = 0;
    silent_ = 0;
    for (;;) {
        // A new frame is written here, first of all, and its reply is timed from this write.
        WritePending();
        RunOwnerWrites();
        PostAfterWrite();
        const uint32_t waitMs = WaitTime();
        const TWaitItem items[3] = {FirstWaitItem(), TWaitItem::Of(writeEvent_), TWaitItem::Of(stopEvent_)};
        const TWaitResult r = scheduler_.Wait(items, 3, waitMs);
        if (stopping_)
            break;
        if (r.kind == TWaitResult::Ready && r.index == 0) {
            {
                std::lock_guard lock(state_);
                // The GUI thread is handing over input of its own; it wakes the worker when it is done.
                if (inputBusy_)
                    continue;
                inputBusy_ = true;
            }
            // A frame the GUI thread left for writing goes out before the replies that follow it.
            WritePending();
            std::vector<BSTM> frames;
            {
                std::lock_guard lock(cs_);
                InputStep();
                frames.swap(completed_);
            }
            for (const BSTM& f : frames) {
                if (stopping_)
                    break;
                OnFrameComplete(f);
            }
            std::lock_guard lock(state_);
            inputBusy_ = false;
        } else if (r.kind == TWaitResult::Ready && r.index == 1) {
            continue; // the write is made at the top of the loop
        } else if (r.kind == TWaitResult::Ready && r.index == 2) {
            break;
        } else if (r.kind == TWaitResult::Timeout) {
            // Every timeout starts the next period, whether or not it writes anything.
            lastWrite_ = scheduler_.Counter();
            ResendStep();
        } else {
            OnWaitFailed(r.kind == TWaitResult::Hangup && r.index == 0);
            break;
        }
    }
    open_ = false;
}
