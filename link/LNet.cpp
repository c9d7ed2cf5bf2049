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

void LNetSocket::NetWrite(const uint8_t* bytes, uint32_t length) {
    if (length > kMaxFrame)
        return;
    {
        std::lock_guard lock(lastLock_);
        std::memcpy(lastFrame_, bytes, length);
        lastLength_ = length;
    }
    Socket.SendBuf(bytes, static_cast<int>(length));
    if (owner_->FrameLogShown && link_)
        PostFrameLog(owner_, FrameLogLine("NET W ", bytes, length));
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
    if (owner_->FrameLogShown && link_) {
        const size_t frameLen = n > 4 ? buffer[4] + kFrameOverhead : n;
        PostFrameLog(owner_, FrameLogLine("NET R ", buffer, std::min(n, frameLen)));
    }
    if (link_ && n > 5) {
        link_->DeliverInput(buffer, static_cast<uint32_t>(n));
        return;
    }
    uint8_t last[kMaxFrame];
    uint32_t length;
    {
        std::lock_guard lock(lastLock_);
        length = lastLength_;
        std::memcpy(last, lastFrame_, length);
    }
    Socket.SendBuf(last, static_cast<int>(length));
    if (owner_->FrameLogShown && link_)
        PostFrameLog(owner_, FrameLogLine("NET RW ", last, length));
}
