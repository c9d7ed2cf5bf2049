#pragma once
// The unit as a HID device, over a socket pair whose other end (DeviceFd()) stands in for a hidraw
// node: every write to it is one output report, every read from it one input report (SOCK_SEQPACKET
// keeps report boundaries).
//
// Output reports: report ID 0, the frame, padding to any length. The simulator takes the frame by its
// length byte and ignores the padding; a report that does not start with ID 0 is counted and dropped.
// Input reports: InputReportLength() bytes counting the report ID, that is ID 0 + frame chunk + zero
// padding; with idPrefix off the ID byte is left off the wire, as a hidraw read of a device without
// numbered reports gives it. A reply chunk longer than one report continues in the next report.

#include <atomic>
#include <cstddef>

#include "tests/sim/SimLoop.h"

namespace kv::sim {

struct SimHidOptions {
    std::size_t inputReportLength = 65; // report ID included
    bool idPrefix = true;
};

class SimHid : public SimLoop {
public:
    // Makes the socket pair, attaches to `unit` and starts serving. Throws std::runtime_error when the
    // pair cannot be made.
    explicit SimHid(SimUnit& unit, SimHidOptions options = {});
    ~SimHid() override;

    int DeviceFd() const { return device_; } // the fake node's end; stays owned by SimHid
    int TakeDeviceFd();                      // the fake node's end; the caller closes it
    std::size_t InputReportLength() const { return options_.inputReportLength; }

    int OutputReports() const { return outputReports_; }           // taken so far
    std::size_t LastOutputReportSize() const { return lastSize_; } // report ID included
    int BadReports() const { return badReports_; }                 // empty or not report ID 0

    void SendRawReport(const Bytes& report); // exactly these bytes, as one input report

protected:
    std::vector<int> WatchedFds() override;
    void OnReadable(int fd) override;

private:
    void SendChunk(const Bytes& chunk);

    SimHidOptions options_;
    int mine_ = -1;
    int device_ = -1;
    std::atomic<bool> peerGone_{false};
    std::atomic<int> outputReports_{0};
    std::atomic<std::size_t> lastSize_{0};
    std::atomic<int> badReports_{0};
};

} // namespace kv::sim
