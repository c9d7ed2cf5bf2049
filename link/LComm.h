#pragma once
// Serial transport (LComm) and its packet layer (LCommProc).

#include <string>

#include "link/LLink.h"
#include "link/LLinkProc.h"
#include "platform/sys/Serial.h"

class LComm : public LLink {
public:
    static constexpr bool kAlwaysFramed = true;

    explicit LComm(LinkOwner* owner, TScheduler* scheduler = nullptr);
    ~LComm() override;

    // Opens the port at path with the given line settings (byte size 5..8, NOPARITY/ODDPARITY/EVENPARITY,
    // ONESTOPBIT/TWOSTOPBITS, baud rates 1200 to 115200) and starts the worker. False when already open
    // or when the port cannot be opened or configured.
    virtual bool Open(const std::string& port, uint32_t baudRate, int byteSize, int parity, int stopBits);
    // Each of the next n timeouts writes the awaited frame once more, without counting a resend; a
    // timeout while no reply is awaited takes one and writes nothing.
    void SetForcedResend(int n) { forcedResend_ = n; }

protected:
    TWaitItem FirstWaitItem() override { return TWaitItem::Port(port_.Fd()); }
    void InputStep() override;
    void WriteOut(const uint8_t* bytes, uint32_t length) override;
    void CloseHandles() override;
    bool TakeForcedResend() override;
    void LogSend(const uint8_t* bytes, uint32_t length) override;
    void LogReceive(const BSTM& frame) override;
    uint32_t FrameMessage() override;
    void OnWaitFailed(bool portGone) override;

private:
    TSerialPort port_;
    std::atomic<uint32_t> baudRate_{0}; // as the port was configured at Open
    std::atomic<int> forcedResend_{0};
};

class LCommProc : public LLinkProc<LComm> {
public:
    using LLinkProc<LComm>::LLinkProc;
};
