#include "link/LComm.h"

LComm::LComm(LinkOwner* owner, TScheduler* scheduler) : LLink(owner, Kind::Serial, scheduler) {}

LComm::~LComm() {
    LComm::Close();
}

bool LComm::Open(const std::string& port, uint32_t baudRate, int byteSize, int parity, int stopBits) {
    if (IsOpen() || port_.IsOpen())
        return false;
    OnOpening();
    {
        std::lock_guard lock(cs_);
        if (!port_.Open(port))
            return false;
        if (!port_.Configure(baudRate, byteSize, parity, stopBits)) {
            CloseHandles();
            return false;
        }
        port_.Purge();
        baudRate_ = port_.BaudRate();
    }
    if (!StartWorker()) {
        std::lock_guard lock(cs_);
        CloseHandles();
        return false;
    }
    return true;
}

void LComm::InputStep() {
    uint8_t buffer[256];
    for (;;) {
        const size_t n = port_.Read(buffer, sizeof buffer);
        for (size_t i = 0; i < n; ++i)
            OnByte(buffer[i]);
        // A short read took all there was; anything newer wakes the next wait.
        if (n < sizeof buffer)
            return;
    }
}

void LComm::WriteOut(const uint8_t* bytes, uint32_t length) {
    port_.Write(bytes, length);
}

void LComm::CloseHandles() {
    if (port_.IsOpen()) {
        port_.Purge();
        port_.Close();
    }
}

bool LComm::TakeForcedResend() {
    int n = forcedResend_.load();
    while (n > 0) {
        if (forcedResend_.compare_exchange_weak(n, n - 1))
            return true;
    }
    return false;
}

void LComm::LogSend(const uint8_t* bytes, uint32_t length) {
    if (!owner_->FrameLogShown)
        return;
    PostFrameLog(owner_, FrameLogLine("COM W ", bytes, length), this);
}

void LComm::LogReceive(const BSTM& frame) {
    if (!owner_->FrameLogShown)
        return;
    PostFrameLog(owner_, FrameLogLine("COM R ", frame.data(), frame.size()), this);
}

uint32_t LComm::FrameMessage() {
    // Read once at Open, not asked of the driver for every frame.
    return baudRate_.load() == 115200 ? WM_LINK_FRAME : WM_LINK_FRAME_OTHER;
}

void LComm::OnWaitFailed(bool portGone) {
    uint8_t b2, b3;
    {
        std::lock_guard lock(state_);
        b2 = SendByteLocked(2);
        b3 = SendByteLocked(3);
    }
    if (portGone)
        Notify(LINK_PORT_ERROR, b2);
    else
        Notify(LINK_WAIT_FAILED, b3);
}
