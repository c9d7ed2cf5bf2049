#pragma once
// Network transport (LNet) and its packet layer (LNetProc), and the owner window's side of the TCP
// link (LNetSocket): the client socket, the write of each frame and the handling of what it reads.

#include <functional>
#include <mutex>

#include "link/LLink.h"
#include "link/LLinkProc.h"
#include "platform/sys/ClientSocket.h"

inline constexpr uint16_t kUnitTcpPort = 9761;

class LNet : public LLink {
public:
    static constexpr bool kAlwaysFramed = false;

    explicit LNet(LinkOwner* owner, TScheduler* scheduler = nullptr);
    ~LNet() override;

    // Starts the worker; the socket is connected separately.
    virtual bool Open() { return OpenWorkerOnly(); }
    // Received data (GUI thread); appended to what the worker has not taken yet.
    virtual void DeliverInput(const uint8_t* bytes, uint32_t length) {
        if (!HandleInputHere(bytes, length))
            AppendInput(bytes, length);
    }

protected:
    TWaitItem FirstWaitItem() override { return TWaitItem::Of(inputEvent_); }
    void InputStep() override { FeedInput(); }
    void WriteOut(const uint8_t* bytes, uint32_t length) override { owner_->NetWrite(bytes, length); }
};

class LNetProc : public LLinkProc<LNet> {
public:
    using LLinkProc<LNet>::LLinkProc;
};

// The owner window's TCP side: it owns the client socket, writes frames on it (from the worker) and
// passes what it reads to the transport. A read of 5 bytes or fewer is the unit asking for the last
// frame again; the transport's worker writes it.
class LNetSocket {
public:
    explicit LNetSocket(LinkOwner* owner);

    TClientSocket Socket;
    // The transport that reads go to; none while no network transport exists.
    void SetLink(LNetProc* link) {
        std::lock_guard lock(lock_);
        link_ = link;
    }

    // The port write (worker thread): remembers the frame and sends it.
    void NetWrite(const uint8_t* bytes, uint32_t length);
    // Readable event (GUI thread).
    void OnRead();

private:
    void HandleRead(const uint8_t* buffer, size_t n);
    LNetProc* Link();

    LinkOwner* owner_;
    std::mutex lock_; // over the link pointer and the last frame
    LNetProc* link_ = nullptr;
    uint8_t lastFrame_[kMaxFrame] = {};
    uint32_t lastLength_ = 0;
};
