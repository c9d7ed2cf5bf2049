#pragma once
// USB transport (LUsb) and its packet layer (LUsbProc). The transport owns no device: the owner window
// writes each frame to the unit's HID device (LinkOwner::HidWrite, which lays the report out with
// HidWriteFrame) and delivers the input reports it reads with DeliverInput.

#include "link/LLink.h"
#include "link/LLinkProc.h"

// The unit's USB identity.
inline constexpr uint16_t kUnitVendorId = 0x0168;
inline constexpr uint16_t kUnitProductId = 0x0821;

// The output side of a HID device, as the transport's writes need it.
class LHidOutput {
public:
    virtual ~LHidOutput() = default;
    // Output report length, report ID included.
    virtual size_t OutputReportLength() = 0;
    virtual bool WriteReport(const uint8_t* report, size_t length) = 0;
};

// One frame as one output report: report ID 0, the frame, zero padding up to the output report
// length. A frame that does not fit the report is not written (false).
bool HidWriteFrame(LHidOutput& device, const uint8_t* frame, size_t length);

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
