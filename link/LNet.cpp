#include "link/LNet.h"

#include <cstring>

LNet::LNet(LinkOwner* owner, TScheduler* scheduler) : LLink(owner, Kind::Net, scheduler) {}

LNet::~LNet() {
    LNet::Close();
}

LNetSocket::LNetSocket(LinkOwner* owner) : owner_(owner) {
    Socket.Port = kUnitTcpPort;
    Socket.OnRead = [this](TClientSocket&) { OnRead(); };
    // Socket errors are only noticed through the reply timeout.
    Socket.OnError = [](TClientSocket&, TErrorEvent, int& code) { code = 0; };
}

LNetProc* LNetSocket::Link() {
    std::lock_guard lock(lock_);
    return link_;
}

void LNetSocket::NetWrite(const uint8_t* bytes, uint32_t length) {
    if (length > kMaxFrame)
        return;
    bool linked;
    {
        std::lock_guard lock(lock_);
        std::memcpy(lastFrame_, bytes, length);
        lastLength_ = length;
        linked = link_ != nullptr;
    }
    // Logged before it goes out, so that the line comes before the reply's.
    if (owner_->FrameLogShown && linked)
        PostFrameLog(owner_, FrameLogLine("NET W ", bytes, length));
    Socket.SendBuf(bytes, static_cast<int>(length));
}

void LNetSocket::OnRead() {
    // One readable event may stand for more than one read's worth.
    do {
        uint8_t buffer[100];
        const int got = Socket.ReceiveBuf(buffer, sizeof buffer);
        if (got <= 0)
            return;
        HandleRead(buffer, static_cast<size_t>(got));
    } while (Socket.ReceiveLength() > 0);
}

void LNetSocket::HandleRead(const uint8_t* buffer, size_t n) {
    LNetProc* link = Link();
    if (owner_->FrameLogShown && link) {
        const size_t frameLen = n > 4 ? buffer[4] + kFrameOverhead : n;
        PostFrameLog(owner_, FrameLogLine("NET R ", buffer, std::min(n, frameLen)));
    }
    if (link && n > 5) {
        link->DeliverInput(buffer, static_cast<uint32_t>(n));
        return;
    }
    BSTM last;
    {
        std::lock_guard lock(lock_);
        last.assign(lastFrame_, lastFrame_ + lastLength_);
    }
    auto repeat = [this, last] {
        if (owner_->FrameLogShown && Link())
            PostFrameLog(owner_, FrameLogLine("NET RW ", last.data(), last.size()));
        Socket.SendBuf(last.data(), static_cast<int>(last.size()));
    };
    if (link && link->IsOpen())
        link->WriteOnWorker(std::move(repeat));
    else
        repeat(); // no worker: the socket takes it without waiting, or drops it when its buffer is full
}
