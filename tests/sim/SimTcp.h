#pragma once
// The unit on TCP: a server on one loopback address (127.0.0.1 unless told another of 127.0.0.0/8; never
// any other address) that serves one client at a time; a newer connection replaces the older one. Each
// reply chunk leaves in its own send with Nagle off; a split fault with a gap keeps the pieces in
// separate reads of the client.
//
// Note for split tests: the editor takes any read of 5 bytes or fewer as a request to repeat its last
// frame, so chunks of 5 bytes or fewer turn into repeat requests on this wire.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "tests/sim/SimLoop.h"

namespace kv::sim {

class SimTcp : public SimLoop {
public:
    // Listens on address:port (0: any free port, see Port()) and starts serving. Throws
    // std::invalid_argument for an address outside 127.0.0.0/8 and std::runtime_error when the port
    // cannot be had.
    explicit SimTcp(SimUnit& unit, std::uint16_t port = 0, const std::string& address = "127.0.0.1");
    ~SimTcp() override;

    std::uint16_t Port() const { return port_; }
    bool HasClient() const;
    bool WaitForClient(int timeoutMs) const;         // true once a client is connected
    int Connections() const { return connections_; } // accepted so far

    // The unit's request that the editor send its last frame again: a short read of its own.
    // Default bytes: 0x10 0x02, the unit's ID, 0x00 0x00 (a header without a length).
    void SendRepeatRequest();
    void SendRaw(const Bytes& bytes); // onto the connection, outside the unit
    void DropClient();                // close the connection from the unit's side

protected:
    std::vector<int> WatchedFds() override;
    void OnReadable(int fd) override;

private:
    void Send(const Bytes& bytes);

    int listen_ = -1;
    std::uint16_t port_ = 0;
    mutable std::mutex clientMu_;
    int client_ = -1;
    std::atomic<int> connections_{0};
};

} // namespace kv::sim
