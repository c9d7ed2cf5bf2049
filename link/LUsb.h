#pragma once
// USB transport (LUsb) and its packet layer (LUsbProc). The transport owns no device: the owner window
// writes each frame to the unit's HID device (LinkOwner::HidWrite, which lays the report out with
// HidOutputReport) and delivers the input reports it reads with DeliverInput.

#include "link/LLink.h"
#include "link/LLinkProc.h"

#include <vector>

// The unit's USB identity.
inline constexpr uint16_t kUnitVendorId = 0x0168;
inline constexpr uint16_t kUnitProductId = 0x0821;

// One frame as one output report of `reportLength` bytes (the device's output report length, report
// ID included): report ID 0, the frame, zero padding. Empty when the frame does not fit: nothing is
// cut off.
std::vector<uint8_t> HidOutputReport(const uint8_t* frame, size_t length, size_t reportLength);

class LUsb : public LLink {
public:
    static constexpr bool kAlwaysFramed = false;

    explicit LUsb(LinkOwner* owner, TScheduler* scheduler = nullptr);
    ~LUsb() override;

    // Starts the worker; no device is opened.
    virtual bool Open() { return OpenWorkerOnly(); }
    // Received data (GUI thread); appended to what the worker has not taken yet.
    virtual void DeliverInput(const uint8_t* bytes, uint32_t length) {
        if (!HandleInputHere(bytes, length))
            AppendInput(bytes, length);
    }

protected:
    TWaitItem FirstWaitItem() override { return TWaitItem::Of(inputEvent_); }
    void InputStep() override { FeedInput(); }
    void WriteOut(const uint8_t* bytes, uint32_t length) override { owner_->HidWrite(bytes, length); }
    int SilentTimeouts() const override { return 4; }
};

class LUsbProc : public LLinkProc<LUsb> {
public:
    using LLinkProc<LUsb>::LLinkProc;
};
