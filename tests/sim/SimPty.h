#pragma once
// The unit on a pseudo-terminal: the simulator serves the master side; a test opens SlavePath() as
// the serial port (115200 8N1, raw). The simulator keeps its own descriptor of the slave open, so the
// terminal survives the test closing and reopening the port, and sets it raw before anyone else, so
// nothing is echoed or translated.

#include <atomic>
#include <chrono>
#include <string>

#include "tests/sim/SimLoop.h"

namespace kv::sim {

class SimPty : public SimLoop {
public:
    // Attaches to `unit` (its output goes to the terminal) and starts serving. Throws
    // std::runtime_error when no pseudo-terminal can be made.
    explicit SimPty(SimUnit& unit);
    ~SimPty() override;

    const std::string& SlavePath() const { return slavePath_; }

    // Bytes straight onto the line, outside the unit (noise, half frames).
    void SendRaw(const Bytes& bytes);

    // Paces the line as a real serial wire does: every byte the unit takes in and every byte it sends
    // occupies the line for `perByte` (0: off, the default). Bytes are taken and sent one at a time
    // against absolute deadlines, so scheduling jitter does not add up over a long exchange.
    void SetBytePacing(std::chrono::nanoseconds perByte) { pacingNs_ = perByte.count(); }
    // Bytes that crossed the line so far: taken in by the unit, and sent by it.
    std::uint64_t BytesIn() const { return bytesIn_.load(); }
    std::uint64_t BytesOut() const { return bytesOut_.load(); }
    // One byte's time on the line at `baud` with 8 data bits, no parity, 1 stop bit (10 bits).
    static std::chrono::nanoseconds ByteTime(unsigned baud) {
        return std::chrono::nanoseconds(10'000'000'000LL / baud);
    }

protected:
    std::vector<int> WatchedFds() override { return {master_}; }
    void OnReadable(int fd) override;

private:
    void LineFree(std::int64_t& deadline);
    void WaitUntil(std::int64_t& deadline);
    void Write(const Bytes& chunk);

    std::atomic<std::int64_t> pacingNs_{0};
    std::atomic<std::uint64_t> bytesIn_{0}, bytesOut_{0};
    std::int64_t nextIn_ = 0, nextOut_ = 0; // service thread only: when the line is free again (ns)
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

} // namespace kv::sim
