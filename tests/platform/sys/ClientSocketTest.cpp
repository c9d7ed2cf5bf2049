// The TCP client socket and its loopback guard.
#include <gtest/gtest.h>

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstdlib>
#include <thread>

#include "platform/sys/ClientSocket.h"
#include "platform/sys/Thread.h"
#include "tests/platform/sys/SysTestApp.h"

TEST(ClientSocket, LoopbackGuardAllowsOnlyLoopbackAddresses) {
    const struct {
        const char* address;
        bool loopback;
    } cases[] = {{"127.0.0.1", true},        {"127.255.1.2", true},    {"::1", true},
                 {"::ffff:127.0.0.1", true}, {"192.168.1.100", false}, {"10.0.0.1", false},
                 {"128.0.0.1", false},       {"0.0.0.0", false},       {"::", false},
                 {"fe80::1", false},         {"localhost", false},     {"", false},
                 {"unit.example", false}};
    const char* saved = std::getenv("KORVANE_LOOPBACK_ONLY");
    setenv("KORVANE_LOOPBACK_ONLY", "1", 1);
    for (const auto& c : cases) {
        EXPECT_EQ(TClientSocket::IsLoopbackAddress(c.address), c.loopback) << c.address;
        EXPECT_EQ(TClientSocket::AddressAllowed(c.address), c.loopback) << c.address;
    }
    setenv("KORVANE_LOOPBACK_ONLY", "0", 1);
    EXPECT_FALSE(TClientSocket::LoopbackOnly());
    EXPECT_TRUE(TClientSocket::AddressAllowed("192.168.1.100"));
    unsetenv("KORVANE_LOOPBACK_ONLY");
    EXPECT_FALSE(TClientSocket::LoopbackOnly());
    if (saved)
        setenv("KORVANE_LOOPBACK_ONLY", saved, 1);
    else
        setenv("KORVANE_LOOPBACK_ONLY", "1", 1); // the tests' own rule
}

TEST(ClientSocket, ConnectsOnLoopbackAndWritesFromAWorker) {
    EnsureApp();
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    TClientSocket socket;
    socket.Address = "127.0.0.1";
    socket.Port = server.serverPort();
    std::vector<std::string> events;
    std::string received;
    socket.OnConnecting = [&](TClientSocket&) { events.push_back("connecting"); };
    socket.OnConnect = [&](TClientSocket& s) { events.push_back("connect " + s.RemoteAddress()); };
    socket.OnRead = [&](TClientSocket& s) {
        char buf[64];
        const int n = s.ReceiveBuf(buf, sizeof buf);
        received.append(buf, static_cast<size_t>(n));
    };
    EXPECT_EQ(socket.SendBuf("x", 1), -1); // not connected
    socket.SetActive(true);
    ASSERT_TRUE(PumpUntil([&] { return socket.Connected() && server.hasPendingConnections(); }));
    EXPECT_EQ(events, (std::vector<std::string>{"connecting", "connect 127.0.0.1"}));
    QTcpSocket* peer = server.nextPendingConnection();

    TThread worker;
    ASSERT_TRUE(worker.Start([&] { socket.SendBuf("from worker", 11); }));
    ASSERT_TRUE(worker.Wait(5000));
    QByteArray got;
    ASSERT_TRUE(PumpUntil([&] {
        got += peer->readAll();
        return got.size() >= 11;
    }));
    EXPECT_EQ(got.toStdString(), "from worker");

    peer->write("reply");
    ASSERT_TRUE(PumpUntil([&] { return received.size() >= 5; }));
    EXPECT_EQ(received, "reply");

    socket.SetActive(false);
    EXPECT_FALSE(socket.Connected());
}
