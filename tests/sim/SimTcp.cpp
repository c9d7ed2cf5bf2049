#include "tests/sim/SimTcp.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace kv::sim {

SimTcp::SimTcp(SimUnit& unit, std::uint16_t port, const std::string& address) : SimLoop(unit) {
    in_addr host{};
    if (inet_pton(AF_INET, address.c_str(), &host) != 1 || (ntohl(host.s_addr) >> 24) != 127)
        throw std::invalid_argument("not a loopback address: " + address);
    listen_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listen_ < 0)
        throw std::runtime_error("no socket");
    const int one = 1;
    setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr = host;
    socklen_t len = sizeof a;
    if (bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listen_, 4) != 0 ||
        getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        close(listen_);
        throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port));
    }
    port_ = ntohs(a.sin_port);
    unit_.SetOutput([this](const Bytes& chunk) { Send(chunk); });
    Start();
}

SimTcp::~SimTcp() {
    Stop();
    unit_.SetOutput(nullptr);
    DropClient();
    close(listen_);
}

bool SimTcp::HasClient() const {
    std::lock_guard lock(clientMu_);
    return client_ >= 0;
}

bool SimTcp::WaitForClient(int timeoutMs) const {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!HasClient()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void SimTcp::SendRepeatRequest() {
    Send({0x10, 0x02, unit_.DeviceId(), 0x00, 0x00});
}

void SimTcp::SendRaw(const Bytes& bytes) {
    Send(bytes);
}

void SimTcp::DropClient() {
    std::lock_guard lock(clientMu_);
    if (client_ >= 0)
        close(client_);
    client_ = -1;
}

void SimTcp::Send(const Bytes& bytes) {
    std::lock_guard lock(clientMu_);
    if (client_ >= 0)
        WriteAll(client_, bytes.data(), bytes.size());
}

std::vector<int> SimTcp::WatchedFds() {
    std::lock_guard lock(clientMu_);
    if (client_ >= 0)
        return {listen_, client_};
    return {listen_};
}

void SimTcp::OnReadable(int fd) {
    if (fd == listen_) {
        const int c = accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (c < 0)
            return;
        const int one = 1;
        setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        DropClient();
        std::lock_guard lock(clientMu_);
        client_ = c;
        ++connections_;
        return;
    }
    std::uint8_t buf[512];
    const ssize_t n = recv(fd, buf, sizeof buf, 0);
    if (n > 0) {
        unit_.Feed(buf, static_cast<std::size_t>(n));
        return;
    }
    if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        std::lock_guard lock(clientMu_);
        if (client_ == fd) {
            close(client_);
            client_ = -1;
        }
    }
}

} // namespace kv::sim
