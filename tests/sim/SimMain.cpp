// korvane-sim: one simulated unit for trying the editor without hardware. It serves the unit on a
// pseudo-terminal (open the printed path as the serial port) and on TCP at a loopback address, by
// default 127.0.0.1 port 9761, until SIGINT or SIGTERM.

#include "tests/sim/SimPty.h"
#include "tests/sim/SimTcp.h"
#include "tests/sim/SimUnit.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <optional>
#include <pthread.h>
#include <string>
#include <string_view>

namespace {

constexpr std::uint16_t kUnitPort = 9761;

void Usage(std::FILE* to) {
    std::fputs("Usage: korvane-sim [--address 127.x.y.z] [--port N]\n"
               "Serves one simulated unit on a pseudo-terminal and on TCP at a loopback address\n"
               "(default 127.0.0.1, port 9761; port 0 takes any free port) until interrupted.\n",
               to);
}

std::optional<std::uint16_t> ParsePort(std::string_view text) {
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

} // namespace

int main(int argc, char** argv) {
    std::string address = "127.0.0.1";
    std::uint16_t port = kUnitPort;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            Usage(stdout);
            return 0;
        }
        if ((arg == "--address" || arg == "--port") && i + 1 < argc) {
            const std::string_view value = argv[++i];
            if (arg == "--address") {
                address = value;
                continue;
            }
            const auto p = ParsePort(value);
            if (!p) {
                std::fprintf(stderr, "korvane-sim: not a port number: %s\n", argv[i]);
                return 2;
            }
            port = *p;
            continue;
        }
        std::fprintf(stderr, "korvane-sim: unknown argument: %s\n", argv[i]);
        Usage(stderr);
        return 2;
    }

    // The signals that end the program are taken by sigwait below; blocked before the service threads
    // start, so that none of them is interrupted. A client that goes away mid-reply must not end it.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    try {
        kv::sim::SimUnit unit;
        unit.UseRealTime();
        kv::sim::SimPty pty(unit);
        kv::sim::SimTcp tcp(unit, port, address);
        // One unit on two wires, and it has one output: the editor talks over one link at a time, so
        // replies go to the network client while one is connected, else to the terminal.
        unit.SetOutput([&pty, &tcp](const kv::sim::Bytes& chunk) {
            if (tcp.HasClient())
                tcp.SendRaw(chunk);
            else
                pty.SendRaw(chunk);
        });
        std::printf("Serial port: %s\n", pty.SlavePath().c_str());
        std::printf("Network: %s port %u\n", address.c_str(), static_cast<unsigned>(tcp.Port()));
        std::fflush(stdout);

        int received = 0;
        sigwait(&stopSignals, &received);
        // Waits for a reply in flight, so that no reply reaches a wire being taken down.
        unit.SetOutput(nullptr);
        std::printf("korvane-sim: stopped\n");
        std::fflush(stdout);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "korvane-sim: %s\n", e.what());
        return 1;
    }
    return 0;
}
