#include "platform/sys/Serial.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

struct Speed {
    uint32_t baud;
    speed_t code;
};

constexpr Speed kSpeeds[] = {{1200, B1200},   {1800, B1800},   {2400, B2400},
                             {4800, B4800},   {9600, B9600},   {19200, B19200},
                             {38400, B38400}, {57600, B57600}, {115200, B115200}};

bool Exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

std::string ReadLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

} // namespace

TSerialPort::~TSerialPort() {
    Close();
}

bool TSerialPort::Open(const std::string& path) {
    if (fd_ >= 0)
        return false;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    if (!isatty(fd) || ioctl(fd, TIOCEXCL) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

bool TSerialPort::Configure(uint32_t baudRate, int byteSize, int parity, int stopBits) {
    if (fd_ < 0)
        return false;
    const Speed* speed = nullptr;
    for (const Speed& s : kSpeeds)
        if (s.baud == baudRate)
            speed = &s;
    if (!speed)
        return false;
    tcflag_t size = 0;
    switch (byteSize) {
    case 5:
        size = CS5;
        break;
    case 6:
        size = CS6;
        break;
    case 7:
        size = CS7;
        break;
    case 8:
        size = CS8;
        break;
    default:
        return false;
    }
    if (parity != NOPARITY && parity != ODDPARITY && parity != EVENPARITY)
        return false;
    if (stopBits != ONESTOPBIT && stopBits != TWOSTOPBITS)
        return false;
    termios t{};
    if (tcgetattr(fd_, &t) != 0)
        return false;
    cfmakeraw(&t);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    t.c_cflag |= size | CLOCAL | CREAD;
    if (parity != NOPARITY)
        t.c_cflag |= PARENB | (parity == ODDPARITY ? PARODD : 0);
    if (stopBits == TWOSTOPBITS)
        t.c_cflag |= CSTOPB;
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, speed->code);
    cfsetospeed(&t, speed->code);
    return tcsetattr(fd_, TCSANOW, &t) == 0;
}

uint32_t TSerialPort::BaudRate() const {
    termios t{};
    if (fd_ < 0 || tcgetattr(fd_, &t) != 0)
        return 0;
    const speed_t code = cfgetospeed(&t);
    for (const Speed& s : kSpeeds)
        if (s.code == code)
            return s.baud;
    return 0;
}

void TSerialPort::Purge() {
    if (fd_ >= 0)
        tcflush(fd_, TCIOFLUSH);
}

void TSerialPort::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

size_t TSerialPort::Available() const {
    int n = 0;
    if (fd_ < 0 || ioctl(fd_, FIONREAD, &n) != 0 || n < 0)
        return 0;
    return static_cast<size_t>(n);
}

size_t TSerialPort::Read(uint8_t* buffer, size_t n) {
    if (fd_ < 0)
        return 0;
    for (;;) {
        const ssize_t r = ::read(fd_, buffer, n);
        if (r < 0 && errno == EINTR)
            continue;
        return r > 0 ? static_cast<size_t>(r) : 0;
    }
}

bool TSerialPort::Write(const uint8_t* data, size_t n) {
    if (fd_ < 0)
        return false;
    size_t done = 0;
    int stalls = 0;
    while (done < n) {
        const ssize_t w = ::write(fd_, data + done, n - done);
        if (w > 0) {
            done += static_cast<size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0 && errno != EAGAIN)
            return false;
        // Output queue full: give the line a moment, but never hang the worker on a stuck port.
        if (++stalls > 20)
            return false;
        pollfd p{fd_, POLLOUT, 0};
        poll(&p, 1, 50);
    }
    return true;
}

bool NaturalLess(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const bool da = a[i] >= '0' && a[i] <= '9';
        const bool db = b[j] >= '0' && b[j] <= '9';
        if (da && db) {
            size_t ie = i, je = j;
            while (ie < a.size() && a[ie] >= '0' && a[ie] <= '9')
                ++ie;
            while (je < b.size() && b[je] >= '0' && b[je] <= '9')
                ++je;
            std::string na = a.substr(i, ie - i), nb = b.substr(j, je - j);
            na.erase(0, std::min(na.find_first_not_of('0'), na.size()));
            nb.erase(0, std::min(nb.find_first_not_of('0'), nb.size()));
            if (na.size() != nb.size())
                return na.size() < nb.size();
            if (na != nb)
                return na < nb;
            i = ie;
            j = je;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

std::vector<std::string> SerialPortList(const std::string& root) {
    std::string base = root;
    if (base.empty() || base.back() != '/')
        base += '/';
    const std::string classDir = base + "sys/class/tty/";
    std::vector<std::string> names;
    if (DIR* d = opendir(classDir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name == "." || name == "..")
                continue;
            // Only ports with a device behind them; virtual terminals and ptys have none.
            if (!Exists(classDir + name + "/device"))
                continue;
            // The 8250 driver registers its legacy ports whether or not a UART answers; those
            // report port type 0.
            const std::string type = ReadLine(classDir + name + "/type");
            if (!type.empty() && type == "0")
                continue;
            if (!Exists(base + "dev/" + name))
                continue;
            names.push_back(name);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end(), NaturalLess);
    std::vector<std::string> paths;
    for (const std::string& n : names)
        paths.push_back(base + "dev/" + n);
    return paths;
}

std::string SerialPortShortName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
