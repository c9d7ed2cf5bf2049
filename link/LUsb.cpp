#include "link/LUsb.h"

#include <cstring>

bool HidWriteFrame(LHidOutput& device, const uint8_t* frame, size_t length) {
    const size_t reportLength = device.OutputReportLength();
    if (length + 1 > reportLength)
        return false;
    std::vector<uint8_t> report(reportLength, 0);
    report[0] = 0;
    std::memcpy(report.data() + 1, frame, length);
    return device.WriteReport(report.data(), report.size());
}

LUsb::LUsb(LinkOwner* owner, TScheduler* scheduler) : LLink(owner, Kind::Usb, scheduler) {}

LUsb::~LUsb() {
    LUsb::Close();
}
