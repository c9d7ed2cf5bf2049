#pragma once
// Message-driven TCP client socket of the GUI framework, on Qt's network module. It lives on the GUI
// thread; its events fire there. SendBuf writes on the calling thread, straight to the connection: a
// transport's worker waits there (bounded) while the peer takes nothing, and the GUI thread never
// waits (what does not fit the socket's buffer at once is dropped).
//
// With KORVANE_LOOPBACK_ONLY=1 in the environment it refuses every address outside 127.0.0.0/8 and ::1
// with an immediate connect error, without touching the network.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/sys/Messages.h"

class QTcpSocket;

enum TErrorEvent { eeGeneral, eeSend, eeReceive, eeConnect, eeDisconnect, eeAccept };

class TClientSocket : private TMessageTarget {
public:
    TClientSocket();
    ~TClientSocket() override;

    // Remote end: a literal IPv4 or IPv6 address, or a host name in Host when Address is empty.
    std::string Address;
    std::string Host;
    uint16_t Port = 0;

    std::function<void(TClientSocket&)> OnConnecting;
    std::function<void(TClientSocket&)> OnConnect;
    std::function<void(TClientSocket&)> OnDisconnect;
    std::function<void(TClientSocket&)> OnRead;
    // errorCode starts as the socket error (10061 refused, 10060 timed out, ...); the old framework
    // raised it as an exception unless the handler set it to 0. Here it is only reported.
    std::function<void(TClientSocket&, TErrorEvent, int& errorCode)> OnError;

    bool Active() const { return active_; }
    void SetActive(bool on);
    bool Connected() const { return connected_.load(); }

    // Any thread. The count of bytes sent, -1 when not connected.
    int SendBuf(const void* data, int count);
    // How long a worker's SendBuf waits at most for a peer that takes nothing.
    static constexpr int kSendWaitMs = 2000;
    // SendBuf calls made on the GUI thread since the start (tests check where writes happen).
    static int SendsOnGuiThread();
    // GUI thread.
    int ReceiveBuf(void* buffer, int count);
    int ReceiveLength() const;
    std::string RemoteAddress() const;

    // The loopback guard.
    static bool LoopbackOnly();
    static bool IsLoopbackAddress(const std::string& address);
    // Whether the guard lets a connection to this address or host name go ahead.
    static bool AddressAllowed(const std::string& addressOrHost);

private:
    void Dispatch(TMessage& msg) override;
    void RaiseError(TErrorEvent event, int code);
    // GUI thread: the connection's descriptor for SendBuf, or none.
    void TakeConnection();
    void DropConnection();

    struct Connection;
    std::mutex connLock_;
    std::shared_ptr<Connection> conn_; // a descriptor of its own, closed when the last sender lets go
    std::unique_ptr<QTcpSocket> socket_;
    bool active_ = false;
    std::atomic<bool> connected_{false};
};
