#pragma once
// The service thread shared by the wire adapters: it waits on the adapter's descriptors, hands what
// they deliver to the adapter, and pumps the unit's due replies every few milliseconds, so that
// delayed and split replies leave on time whatever clock the unit runs on.

#include <atomic>
#include <thread>
#include <vector>

#include "tests/sim/SimUnit.h"

namespace kv::sim {

class SimLoop {
public:
    SimLoop(const SimLoop&) = delete;
    SimLoop& operator=(const SimLoop&) = delete;

protected:
    explicit SimLoop(SimUnit& unit);
    virtual ~SimLoop();

    // Derived constructors call Start() once their descriptors exist; derived destructors call Stop()
    // before they close them.
    void Start();
    void Stop();

    virtual std::vector<int> WatchedFds() = 0; // read interest; asked afresh on every pass
    virtual void OnReadable(int fd) = 0;

    SimUnit& unit_;

private:
    void Run();

    std::thread thread_;
    std::atomic<bool> stop_{false};
    int wakeFd_ = -1;
};

// Writes all of `data`, waiting up to `timeoutMs` in all for room; false on error or time-out.
bool WriteAll(int fd, const std::uint8_t* data, std::size_t n, int timeoutMs = 2000);

} // namespace kv::sim
