#include "platform/sys/ClientSocket.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
enum : uint32_t { kMsgRefused = 2 };
std::atomic<int> sendsOnGuiThread{0};
constexpr int kErrRefused = 10061;
constexpr int kErrTimedOut = 10060;
constexpr int kErrHostUnreachable = 10065;
constexpr int kErrGeneral = 10050;
} // namespace

struct TClientSocket::Connection {
    explicit Connection(int d) : fd(d) {}
    ~Connection() {
        if (fd >= 0)
            ::close(fd);
    }
    int fd;
    std::mutex sending; // one frame at a time on the wire
};

int TClientSocket::SendsOnGuiThread() {
    return sendsOnGuiThread.load();
}

void TClientSocket::TakeConnection() {
    const qintptr d = socket_->socketDescriptor();
    const int own = d >= 0 ? ::fcntl(static_cast<int>(d), F_DUPFD_CLOEXEC, 0) : -1;
    std::lock_guard lock(connLock_);
    conn_ = own >= 0 ? std::make_shared<Connection>(own) : nullptr;
}

void TClientSocket::DropConnection() {
    std::lock_guard lock(connLock_);
    if (conn_) {
        // Wakes a sender that waits for room; the descriptor closes when it lets go.
        ::shutdown(conn_->fd, SHUT_RDWR);
        conn_.reset();
    }
}

TClientSocket::TClientSocket() : socket_(std::make_unique<QTcpSocket>()) {
    QTcpSocket* s = socket_.get();
    QObject::connect(s, &QTcpSocket::connected, [this] {
        TakeConnection();
        connected_ = true;
        if (OnConnect)
            OnConnect(*this);
    });
    QObject::connect(s, &QTcpSocket::readyRead, [this] {
        if (OnRead)
            OnRead(*this);
    });
    QObject::connect(s, &QTcpSocket::disconnected, [this] {
        connected_ = false;
        DropConnection();
        active_ = false;
        if (OnDisconnect)
            OnDisconnect(*this);
    });
    QObject::connect(s, &QTcpSocket::errorOccurred, [this](QAbstractSocket::SocketError e) {
        int code = kErrGeneral;
        switch (e) {
        case QAbstractSocket::ConnectionRefusedError:
            code = kErrRefused;
            break;
        case QAbstractSocket::SocketTimeoutError:
            code = kErrTimedOut;
            break;
        case QAbstractSocket::HostNotFoundError:
        case QAbstractSocket::NetworkError:
            code = kErrHostUnreachable;
            break;
        default:
            break;
        }
        const bool wasConnected = connected_;
        if (!wasConnected) {
            active_ = false;
        }
        RaiseError(wasConnected ? eeGeneral : eeConnect, code);
    });
}

TClientSocket::~TClientSocket() {
    // Closing without events: the owner is going away.
    socket_->disconnect();
    DropConnection();
    socket_->abort();
}

bool TClientSocket::LoopbackOnly() {
    const char* v = std::getenv("KORVANE_LOOPBACK_ONLY");
    return v && std::strcmp(v, "1") == 0;
}

bool TClientSocket::IsLoopbackAddress(const std::string& address) {
    QHostAddress a;
    if (!a.setAddress(QString::fromStdString(address)))
        return false;
    if (a.protocol() == QAbstractSocket::IPv6Protocol) {
        bool mapped = false;
        const quint32 v4 = a.toIPv4Address(&mapped);
        if (mapped)
            return (v4 >> 24) == 127;
        return a == QHostAddress(QHostAddress::LocalHostIPv6);
    }
    return (a.toIPv4Address() >> 24) == 127;
}

bool TClientSocket::AddressAllowed(const std::string& addressOrHost) {
    if (!LoopbackOnly())
        return true;
    // Host names are not resolved here: a name could lead anywhere.
    return IsLoopbackAddress(addressOrHost);
}

void TClientSocket::SetActive(bool on) {
    if (on == active_)
        return;
    if (!on) {
        active_ = false;
        connected_ = false;
        DropConnection();
        socket_->abort();
        return;
    }
    active_ = true;
    const std::string target = Address.empty() ? Host : Address;
    if (!AddressAllowed(target)) {
        // Reported from the message loop, as a real connect error would be.
        TMessage msg;
        msg.Msg = kMsgRefused;
        TMessageBridge::Post(this, std::move(msg));
        return;
    }
    if (OnConnecting)
        OnConnecting(*this);
    if (Address.empty())
        socket_->connectToHost(QString::fromStdString(Host), Port);
    else
        socket_->connectToHost(QHostAddress(QString::fromStdString(Address)), Port);
}

int TClientSocket::SendBuf(const void* data, int count) {
    if (!connected_ || count < 0)
        return -1;
    std::shared_ptr<Connection> c;
    {
        std::lock_guard lock(connLock_);
        c = conn_;
    }
    if (!c)
        return -1;
    const bool gui = TMessageBridge::OnGuiThread();
    if (gui)
        ++sendsOnGuiThread;
    std::unique_lock sending(c->sending, std::defer_lock);
    if (gui) {
        if (!sending.try_lock())
            return 0; // a worker waits for room: the GUI thread does not queue behind it
    } else {
        sending.lock();
    }
    const auto* p = static_cast<const uint8_t*>(data);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSendWaitMs);
    int done = 0;
    while (done < count) {
        const ssize_t n =
            ::send(c->fd, p + done, static_cast<size_t>(count - done), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && !gui) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  deadline - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0)
                break; // a peer that takes nothing for this long is gone; the reply timeout tells
            pollfd pf{c->fd, POLLOUT, 0};
            poll(&pf, 1, static_cast<int>(left));
            continue;
        }
        break;
    }
    return done;
}

void TClientSocket::Dispatch(TMessage& msg) {
    if (msg.Msg == kMsgRefused) {
        if (active_ && !connected_) {
            active_ = false;
            RaiseError(eeConnect, kErrRefused);
        }
    }
}

void TClientSocket::RaiseError(TErrorEvent event, int code) {
    if (OnError)
        OnError(*this, event, code);
}

int TClientSocket::ReceiveBuf(void* buffer, int count) {
    if (count <= 0)
        return 0;
    const qint64 n = socket_->read(static_cast<char*>(buffer), count);
    return n < 0 ? -1 : static_cast<int>(n);
}

int TClientSocket::ReceiveLength() const {
    return static_cast<int>(socket_->bytesAvailable());
}

std::string TClientSocket::RemoteAddress() const {
    return socket_->peerAddress().isNull() ? Address : socket_->peerAddress().toString().toStdString();
}
