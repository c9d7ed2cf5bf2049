#include "platform/sys/ClientSocket.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

#include <cstdlib>
#include <cstring>

namespace {
enum : uint32_t { kMsgWrite = 1, kMsgRefused = 2 };
constexpr int kErrRefused = 10061;
constexpr int kErrTimedOut = 10060;
constexpr int kErrHostUnreachable = 10065;
constexpr int kErrGeneral = 10050;
} // namespace

TClientSocket::TClientSocket() : socket_(std::make_unique<QTcpSocket>()) {
    QTcpSocket* s = socket_.get();
    QObject::connect(s, &QTcpSocket::connected, [this] {
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
    TMessage msg;
    msg.Msg = kMsgWrite;
    msg.Data.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + count);
    if (TMessageBridge::OnGuiThread())
        Dispatch(msg);
    else
        TMessageBridge::Post(this, std::move(msg));
    return count;
}

void TClientSocket::Dispatch(TMessage& msg) {
    if (msg.Msg == kMsgWrite) {
        if (connected_) {
            socket_->write(reinterpret_cast<const char*>(msg.Data.data()),
                           static_cast<qint64>(msg.Data.size()));
            socket_->flush(); // on the wire now, not at the next turn of the event loop
        }
    } else if (msg.Msg == kMsgRefused) {
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
