// Commands per second through the network transport against a loopback peer, and through the serial
// transport over a pseudo-terminal against the simulated unit, each next to a bare blocking client
// doing the same exchanges: what the transport's worker and hand-overs add to a round trip. Every
// benchmark also counts the context switches of the whole process (client, transport worker and the
// peer's thread) per command; the difference to the bare client is what the transport's thread
// crossings cost.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <cstdlib>
#include <poll.h>
#include <sys/resource.h>

#include "link/LComm.h"
#include "link/LNet.h"
#include "tests/link/TransportFixtures.h"
#include "tests/link/TransportPeers.h"
#include "tests/sim/SimPty.h"
#include "tests/sim/SimUnit.h"

namespace {

// Voluntary and involuntary context switches of the process so far.
struct Switches {
    long voluntary = 0, involuntary = 0;
    static Switches Now() {
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        return {u.ru_nvcsw, u.ru_nivcsw};
    }
};

// Commands per second and context switches per command, from the switches counted at the start.
void Report(benchmark::State& state, const Switches& start) {
    const Switches end = Switches::Now();
    const double n = static_cast<double>(state.iterations());
    state.counters["commands/s"] = benchmark::Counter(n, benchmark::Counter::kIsRate);
    if (n > 0) {
        state.counters["vcsw/cmd"] = static_cast<double>(end.voluntary - start.voluntary) / n;
        state.counters["ivcsw/cmd"] = static_cast<double>(end.involuntary - start.involuntary) / n;
    }
}

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
    const Switches start = Switches::Now();
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
    Report(state, start);
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
    const Switches start = Switches::Now();
    for (auto _ : state) {
        const size_t before = owner.frames;
        link.QueueFrame(Gain(2, value++), false);
        while (owner.frames == before)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    Report(state, start);
    link.Close();
    net.SetLink(nullptr);
    net.Socket.SetActive(false);
}

// The simulated unit on a pseudo-terminal, asked by a bare client: write the frame, wait for the
// reply on the port, read it.
void BM_BareSerialPort(benchmark::State& state) {
    kv::sim::SimUnit unit;
    unit.UseRealTime();
    kv::sim::SimPty pty(unit);
    TSerialPort port;
    if (!port.Open(pty.SlavePath()) || !port.Configure(115200, 8, NOPARITY, ONESTOPBIT)) {
        state.SkipWithError("port failed");
        return;
    }
    uint16_t value = 0;
    const Switches start = Switches::Now();
    for (auto _ : state) {
        const BSTM frame = Gain(2, value++ % 400);
        port.Write(frame.data(), frame.size());
        PeerFrames frames;
        size_t got = 0;
        while (got == 0) {
            pollfd p{port.Fd(), POLLIN, 0};
            if (poll(&p, 1, 5000) <= 0)
                break;
            uint8_t buf[256];
            const size_t n = port.Read(buf, sizeof buf);
            got = frames.Push(buf, n).size();
        }
        benchmark::DoNotOptimize(got);
    }
    Report(state, start);
}

void BM_LCommProc(benchmark::State& state) {
    EnsureApp();
    kv::sim::SimUnit unit;
    unit.UseRealTime();
    kv::sim::SimPty pty(unit);
    CountingOwner owner;
    LCommProc link(&owner);
    if (!link.Open(pty.SlavePath(), 115200, 8, NOPARITY, ONESTOPBIT)) {
        state.SkipWithError("open failed");
        return;
    }
    link.SetTimeout(5000);
    link.SetKeepAliveSuspended(true);
    uint16_t value = 0;
    const Switches start = Switches::Now();
    for (auto _ : state) {
        const size_t before = owner.frames;
        link.QueueFrame(Gain(2, value++ % 400), false);
        while (owner.frames == before)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    Report(state, start);
    link.Close();
}

} // namespace

BENCHMARK(BM_BareBlockingSocket)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_LNetProc)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_BareSerialPort)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_LCommProc)->UseRealTime()->MinTime(2.0);

int main(int argc, char** argv) {
    setenv("KORVANE_LOOPBACK_ONLY", "1", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
