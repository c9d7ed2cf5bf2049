#include "platform/sys/Messages.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

namespace {

enum class State { Pending, Running, Done, Abandoned };

struct Record {
    bool sync = false;
    State state = State::Pending;
    bool handled = false;
    std::weak_ptr<TMessageTarget*> target;
    std::weak_ptr<int> source;
    const void* sourceKey = nullptr;
    const TMessageTarget* targetKey = nullptr;
    TMessage msg;
};

struct Bridge {
    std::mutex m;
    std::condition_variable workerCv; // senders wait here for their hand-over to end
    std::condition_variable guiCv;    // the GUI thread waits here for something to serve
    std::deque<std::shared_ptr<Record>> queue;
    std::set<Record*> syncRecords; // synchronous hand-overs whose sender still waits
    bool woken = false;
    std::thread::id guiThread;
    bool guiBound = false;
    int wakeFd = -1;
    QSocketNotifier* notifier = nullptr;

    void WakeGui() {
        woken = true;
        guiCv.notify_all();
        if (wakeFd >= 0) {
            const uint64_t one = 1;
            [[maybe_unused]] ssize_t n = write(wakeFd, &one, sizeof one);
        }
    }
};

Bridge& B() {
    static Bridge* bridge = new Bridge; // outlives every static window and worker
    return *bridge;
}

} // namespace

TMessageTarget::TMessageTarget() : self_(std::make_shared<TMessageTarget*>(this)) {
    TMessageBridge::BindGuiThread();
}

TMessageTarget::~TMessageTarget() {
    Bridge& b = B();
    std::lock_guard lock(b.m);
    self_.reset();
    for (Record* r : b.syncRecords)
        if (r->targetKey == this && (r->state == State::Pending || r->state == State::Running))
            r->state = State::Abandoned;
    b.workerCv.notify_all();
}

TMessageSource::~TMessageSource() {
    Abandon();
    std::lock_guard lock(B().m);
    token_.reset();
}

void TMessageSource::Abandon() {
    Bridge& b = B();
    std::lock_guard lock(b.m);
    *token_ = 1;
    for (Record* r : b.syncRecords)
        if (r->sourceKey == this && (r->state == State::Pending || r->state == State::Running))
            r->state = State::Abandoned;
    b.workerCv.notify_all();
}

void TMessageSource::Resume() {
    std::lock_guard lock(B().m);
    *token_ = 0;
}

void TMessageBridge::BindGuiThread() {
    Bridge& b = B();
    std::lock_guard lock(b.m);
    if (!b.guiBound) {
        b.guiBound = true;
        b.guiThread = std::this_thread::get_id();
    }
    // Wake the Qt event loop through a descriptor, so that the data itself only ever passes under the
    // bridge's own lock. Made as soon as the application object exists on the GUI thread.
    if (b.notifier || b.guiThread != std::this_thread::get_id() || !QCoreApplication::instance() ||
        QCoreApplication::instance()->thread() != QThread::currentThread())
        return;
    b.wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    b.notifier = new QSocketNotifier(b.wakeFd, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(b.notifier, &QSocketNotifier::activated, [] {
        uint64_t value = 0;
        [[maybe_unused]] ssize_t n = read(B().wakeFd, &value, sizeof value);
        TMessageBridge::ServePending();
    });
    if (!b.queue.empty())
        b.WakeGui();
}

bool TMessageBridge::OnGuiThread() {
    Bridge& b = B();
    std::lock_guard lock(b.m);
    return b.guiBound && b.guiThread == std::this_thread::get_id();
}

bool TMessageBridge::Send(TMessageTarget* target, TMessage& msg, TMessageSource* source) {
    if (OnGuiThread()) {
        target->Dispatch(msg);
        return true;
    }
    Bridge& b = B();
    auto rec = std::make_shared<Record>();
    rec->sync = true;
    rec->msg = msg;
    rec->targetKey = target;
    rec->sourceKey = source;
    std::unique_lock lock(b.m);
    if (!target->self_ || (source && *source->token_ != 0))
        return false;
    rec->target = target->self_;
    if (source)
        rec->source = source->token_;
    b.syncRecords.insert(rec.get());
    b.queue.push_back(rec);
    b.WakeGui();
    b.workerCv.wait(lock, [&] { return rec->state == State::Done || rec->state == State::Abandoned; });
    b.syncRecords.erase(rec.get());
    if (rec->state != State::Done)
        return false;
    msg.Result = rec->msg.Result;
    return rec->handled;
}

void TMessageBridge::Post(TMessageTarget* target, TMessage msg, TMessageSource* source) {
    Bridge& b = B();
    auto rec = std::make_shared<Record>();
    rec->msg = std::move(msg);
    rec->targetKey = target;
    std::lock_guard lock(b.m);
    if (!target->self_)
        return;
    rec->target = target->self_;
    if (source)
        rec->source = source->token_;
    rec->sourceKey = source;
    b.queue.push_back(std::move(rec));
    b.WakeGui();
}

namespace {

// Takes the next record to serve: the front one, or with a source the first synchronous hand-over of
// that source. Null when there is none. Records that can no longer be handled are settled on the way.
std::shared_ptr<Record> TakeNext(Bridge& b, const TMessageSource* only,
                                 std::shared_ptr<TMessageTarget*>& target) {
    for (auto it = b.queue.begin(); it != b.queue.end();) {
        Record& r = **it;
        if (only && !(r.sync && r.sourceKey == only)) {
            ++it;
            continue;
        }
        std::shared_ptr<Record> rec = std::move(*it);
        it = b.queue.erase(it);
        target = rec->target.lock();
        const bool sourceGone = rec->sourceKey && rec->source.expired();
        if (rec->sync) {
            if (rec->state != State::Pending)
                continue;
            if (!target || sourceGone) {
                rec->state = State::Abandoned;
                b.workerCv.notify_all();
                continue;
            }
            rec->state = State::Running;
        } else if (!target || sourceGone) {
            continue;
        }
        return rec;
    }
    return nullptr;
}

bool Serve(const TMessageSource* only) {
    Bridge& b = B();
    bool any = false;
    for (;;) {
        std::shared_ptr<Record> rec;
        std::shared_ptr<TMessageTarget*> target;
        {
            std::lock_guard lock(b.m);
            const size_t before = b.queue.size();
            rec = TakeNext(b, only, target);
            any = any || b.queue.size() != before;
            if (!rec)
                return any;
        }
        // Handled on the record's own copy: an abandoned sender may already be gone.
        (*target)->Dispatch(rec->msg);
        if (rec->sync) {
            std::lock_guard lock(b.m);
            if (rec->state == State::Running) {
                rec->state = State::Done;
                rec->handled = true;
            }
            b.workerCv.notify_all();
        }
    }
}

} // namespace

bool TMessageBridge::ServePending() {
    return Serve(nullptr);
}

bool TMessageBridge::ServePendingFrom(const TMessageSource* source) {
    return source ? Serve(source) : false;
}

size_t TMessageBridge::PendingCount() {
    Bridge& b = B();
    std::lock_guard lock(b.m);
    return b.queue.size();
}

size_t TMessageBridge::PendingFrom(const TMessageSource* source) {
    Bridge& b = B();
    std::lock_guard lock(b.m);
    size_t n = 0;
    for (const auto& r : b.queue)
        n += r->sourceKey == source ? 1 : 0;
    return n;
}

void TMessageBridge::WaitForPending(uint32_t timeoutMs) {
    Bridge& b = B();
    std::unique_lock lock(b.m);
    b.guiCv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return b.woken || !b.queue.empty(); });
    b.woken = false;
}

void TMessageBridge::WaitForWake(uint32_t timeoutMs) {
    Bridge& b = B();
    std::unique_lock lock(b.m);
    b.guiCv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return b.woken; });
    b.woken = false;
}

void TMessageBridge::Wake() {
    Bridge& b = B();
    std::lock_guard lock(b.m);
    b.woken = true;
    b.guiCv.notify_all();
}
