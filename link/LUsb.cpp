#include "link/LUsb.h"

#include <algorithm>

std::vector<uint8_t> HidOutputReport(const uint8_t* frame, size_t length, size_t reportLength) {
    if (length + 1 > reportLength)
        return {};
    std::vector<uint8_t> report(reportLength, 0);
    std::copy(frame, frame + length, report.begin() + 1);
    return report;
}

LUsb::LUsb(LinkOwner* owner, TScheduler* scheduler) : LLink(owner, Kind::Usb, scheduler) {}

LUsb::~LUsb() {
    LUsb::Close();
}
