#pragma once
// The unit on a pseudo-terminal: the simulator serves the master side; a test opens SlavePath() as
// the serial port (115200 8N1, raw). The simulator keeps its own descriptor of the slave open, so the
// terminal survives the test closing and reopening the port, and sets it raw before anyone else, so
// nothing is echoed or translated.

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

protected:
    std::vector<int> WatchedFds() override { return {master_}; }
    void OnReadable(int fd) override;

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

} // namespace kv::sim
