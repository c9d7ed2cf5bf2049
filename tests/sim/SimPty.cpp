#include "tests/sim/SimPty.h"

#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace kv::sim {

SimPty::SimPty(SimUnit& unit) : SimLoop(unit) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        if (master_ >= 0)
            close(master_);
        throw std::runtime_error("no pseudo-terminal");
    }
    char name[128] = {};
    if (ptsname_r(master_, name, sizeof name) != 0) {
        close(master_);
        throw std::runtime_error("no pseudo-terminal name");
    }
    slavePath_ = name;
    slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        close(master_);
        throw std::runtime_error("cannot open " + slavePath_);
    }
    termios t{};
    tcgetattr(slave_, &t);
    cfmakeraw(&t);
    cfsetispeed(&t, B115200);
    cfsetospeed(&t, B115200);
    t.c_cflag |= CLOCAL | CREAD;
    tcsetattr(slave_, TCSANOW, &t);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);

    unit_.SetOutput([this](const Bytes& chunk) { WriteAll(master_, chunk.data(), chunk.size()); });
    Start();
}

SimPty::~SimPty() {
    Stop();
    unit_.SetOutput(nullptr);
    close(slave_);
    close(master_);
}

void SimPty::SendRaw(const Bytes& bytes) {
    WriteAll(master_, bytes.data(), bytes.size());
}

void SimPty::OnReadable(int fd) {
    std::uint8_t buf[512];
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n > 0)
        unit_.Feed(buf, static_cast<std::size_t>(n));
}

} // namespace kv::sim
