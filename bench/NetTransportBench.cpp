// Commands per second through the network transport against a loopback peer, next to a bare blocking
// socket client doing the same exchanges: what the transport's worker and hand-overs add to a round
// trip.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <cstdlib>

#include "link/LNet.h"
#include "tests/link/TransportFixtures.h"
#include "tests/link/TransportPeers.h"

namespace {

class CountingOwner : public LinkOwner {
public:
    size_t frames = 0;
    LNetSocket* net = nullptr;
    int GetDeviceId() const override { return 1; }
    void Dispatch(TMessage& msg) override {
        if (msg.Msg == WM_LINK_FRAME)
            ++frames;
    }
    void NetWrite(const uint8_t* bytes, uint32_t length) override { net->NetWrite(bytes, length); }
};

// A peer that answers every frame at once.
struct Peer {
    LoopbackListener listener;
    PeerThread thread;
    int conn = -1;
    void Serve() {
        conn = listener.Accept(5000);
        thread.Start(conn, [](int fd, const BSTM& f) { WriteAllTo(fd, PeerReply(f)); });
    }
    ~Peer() {
        thread.Stop();
        if (conn >= 0)
            close(conn);
    }
};

void BM_BareBlockingSocket(benchmark::State& state) {
    Peer peer;
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(peer.listener.Port());
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        state.SkipWithError("connect failed");
        close(fd);
        return;
    }
    peer.Serve();
    uint16_t value = 0;
    for (auto _ : state) {
        const BSTM frame = Gain(2, value++);
        WriteAllTo(fd, frame);
        PeerFrames frames;
        uint8_t buf[256];
        size_t got = 0;
        while (got == 0) {
            const ssize_t n = read(fd, buf, sizeof buf);
            if (n <= 0)
                break;
            got = frames.Push(buf, static_cast<size_t>(n)).size();
        }
        benchmark::DoNotOptimize(got);
    }
    state.counters["commands/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    close(fd);
}

void BM_LNetProc(benchmark::State& state) {
    EnsureApp();
    Peer peer;
    CountingOwner owner;
    LNetSocket net(&owner);
    owner.net = &net;
    ConnectToLoopback(net, peer.listener.Port());
    peer.Serve();
    if (!PumpUntil([&] { return net.Socket.Connected(); })) {
        state.SkipWithError("connect failed");
        return;
    }
    LNetProc link(&owner);
    net.SetLink(&link);
    link.Open();
    link.SetTimeout(5000);
    link.SetKeepAliveSuspended(true);
    uint16_t value = 0;
    for (auto _ : state) {
        const size_t before = owner.frames;
        link.QueueFrame(Gain(2, value++), false);
        while (owner.frames == before)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    state.counters["commands/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    link.Close();
    net.SetLink(nullptr);
    net.Socket.SetActive(false);
}

} // namespace

BENCHMARK(BM_BareBlockingSocket)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_LNetProc)->UseRealTime()->MinTime(2.0);

int main(int argc, char** argv) {
    setenv("KORVANE_LOOPBACK_ONLY", "1", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
