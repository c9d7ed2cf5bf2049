#include "link/MainHid.h"

#include <algorithm>
#include <cstdio>
#include <vector>

LMainHid::LMainHid(LinkOwner* owner, LHidHost* host) : owner_(owner), host_(host) {}

void LMainHid::Bind(THidDeviceController* controller) {
    ctl_ = controller;
    if (!ctl_)
        return;
    // As a layout binds them: no rescan now; the controller's own start-up notification runs the first.
    ctl_->BeginLoading();
    ctl_->OnEnumerate = [this](THidDevice* d, int i) { return HidCtlEnumerate(d, i); };
    ctl_->SetOnDeviceData([this](THidDevice* d, uint8_t id, const uint8_t* data, uint16_t size) {
        HidCtlDeviceData(d, id, data, size);
    });
    ctl_->SetOnDeviceDataError([this](THidDevice* d, uint32_t e) { HidCtlDeviceDataError(d, e); });
    ctl_->SetOnDeviceUnplug([this](THidDevice* d) { HidCtlDeviceUnplug(d); });
    ctl_->SetOnDeviceChange([this](kv::TObject* s) { HidCtlDeviceChange(s); });
    ctl_->Loaded();
}

void LMainHid::SetLink(LUsbProc* link) {
    std::lock_guard lock(deviceLock_);
    link_ = link;
}

THidDevice* LMainHid::HidDevice() {
    std::lock_guard lock(deviceLock_);
    return hidDevice_;
}

bool LMainHid::IsUnit(THidDevice* device) {
    return device && device->Attributes().VendorID == kUnitVendorId &&
           device->Attributes().ProductID == kUnitProductId;
}

void LMainHid::HidWrite(const uint8_t* bytes, uint32_t length) {
    // Held for the whole write: the device cannot be checked in (and destroyed) under it.
    std::lock_guard lock(deviceLock_);
    if (!link_ || !hidDevice_)
        return;
    const std::vector<uint8_t> report =
        HidOutputReport(bytes, length, hidDevice_->GetCaps().OutputReportByteLength);
    if (report.empty())
        return; // the frame does not fit one report
    // Logged before it goes out, so that the line comes before the reply's.
    if (owner_->FrameLogShown) {
        char head[16];
        std::snprintf(head, sizeof head, "USB W %02X  ", report[0]);
        const size_t frameLen = length > 4 ? std::min<size_t>(bytes[4] + kFrameOverhead, length) : length;
        PostFrameLog(owner_, FrameLogLine(head, bytes, frameLen));
    }
    uint32_t written = 0;
    hidDevice_->WriteFile(report.data(), static_cast<uint32_t>(report.size()), written);
}

bool LMainHid::HidCtlEnumerate(THidDevice* device, int index) {
    // One unit at a time: a second unit stays checked in, and is taken once the first is gone.
    if (!IsUnit(device) || HidDevice() || !ctl_)
        return true;
    THidDevice* taken = nullptr;
    if (ctl_->CheckOutByIndex(taken, index)) {
        {
            std::lock_guard lock(deviceLock_);
            hidDevice_ = taken;
        }
        host_->SetStatusText("Detect HID");
    }
    return true;
}

void LMainHid::HidCtlDeviceChange(kv::TObject* sender) {
    (void)sender;
    if (ctl_)
        ctl_->Enumerate();
}

void LMainHid::HidCtlDeviceData(THidDevice* device, uint8_t reportId, const uint8_t* data, uint16_t size) {
    LUsbProc* link;
    {
        std::lock_guard lock(deviceLock_);
        if (device != hidDevice_)
            return; // another unit's report
        link = link_;
    }
    // Too short to hold a length byte: not a frame.
    if (!data || size < 5)
        return;
    const size_t frameLen =
        std::min<size_t>({static_cast<size_t>(data[4]) + kFrameOverhead, size, kUsbInputMax});
    // Logged first: the transport may hand the frame to the window before the delivery returns, and the
    // line comes before whatever the window does with it.
    if (owner_->FrameLogShown && link) {
        char head[16];
        std::snprintf(head, sizeof head, "USB R %02X  ", reportId);
        PostFrameLog(owner_, FrameLogLine(head, data, frameLen));
    }
    if (link)
        link->DeliverInput(data, static_cast<uint32_t>(frameLen));
}

void LMainHid::HidCtlDeviceUnplug(THidDevice* device) {
    // Only the unit held here is given back; any other device stays the controller's.
    if (!IsUnit(device))
        return;
    {
        std::lock_guard lock(deviceLock_);
        if (device != hidDevice_)
            return;
        hidDevice_ = nullptr; // waits for a write in progress
    }
    if (ctl_)
        ctl_->CheckIn(device);
    if (host_->MainWindowVisible() && host_->StatusText() == "Detect HID")
        host_->SetStatusText("OffLine");
    if (link_)
        host_->StartLinkBrokenTimer();
}

void LMainHid::HidCtlDeviceDataError(THidDevice* device, uint32_t error) {
    (void)device;
    host_->ShowInformation("READ ERROR: " + kv::sys::ErrorText(error));
}
