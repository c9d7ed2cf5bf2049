// The main window's connection and read-back over a serial line: probe, identity, lock status, preset
// flags, current preset, 20 names and the 15 parameter blocks, against the simulated unit on a
// pseudo-terminal that paces every byte it takes in and sends at 115200 baud's byte time. The
// reference, computed in the same run, is the wire time of exactly the bytes that crossed the line:
// what the editor adds beyond the line itself (its worker, hand-overs, reply handling and the windows
// it opens on the way) shows as the ratio.
#include <benchmark/benchmark.h>

#include "app/FMain.h"
#include "app/link/MainLink.h"
#include "app/FNetwork.h"
#include "app/FProcess.h"
#include "app/Registration.h"
#include "app/SingleInstance.h"
#include "panels/PkBmpButton.h"
#include "platform/gui/Forms.h"
#include "tests/sim/SimPty.h"
#include "tests/sim/SimUnit.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdlib>
#include <memory>
#include <string>

#include <unistd.h>

using namespace kv;

namespace {

namespace sim = kv::sim;

struct Editor {
    TfmMain* main = nullptr;
    TfmProcess* process = nullptr;
    TfmNetwork* network = nullptr;
    ~Editor() {
        delete network;
        delete process;
        delete main;
    }
};

Editor& TheEditor() {
    static Editor editor = [] {
        Editor e;
        e.main = Application->CreateForm<TfmMain>();
        e.process = Application->CreateForm<TfmProcess>();
        // The search dialog learns of the found unit, so that closing the link resets the window.
        e.network = Application->CreateForm<TfmNetwork>();
        // No search at start: the benchmark connects by itself.
        if (auto* t = e.main->Find<kv::TTimer>("tmStartConnect"))
            t->SetEnabled(false);
        return e;
    }();
    return editor;
}

bool ReadBackDone(TfmMain& main, const sim::SimUnit& unit) {
    auto* link = main.Find<TPkBmpButton>("pkbMenuLink");
    const auto codes = unit.ReceivedCodes();
    return main.MainLink().IsOnline() && link && link->Enabled() && !codes.empty() && codes.back() == MCS_KEEP_ALIVE;
}

void BM_ReadBackOverPacedSerialLine(benchmark::State& state) {
    TfmMain& main = *TheEditor().main;
    sim::SimUnit unit;
    unit.UseRealTime();
    sim::SimPty pty(unit);
    const auto byteTime = sim::SimPty::ByteTime(115200);
    const bool paced = state.range(0) != 0;
    if (paced)
        pty.SetBytePacing(byteTime);
    main.MainLink().SetComPortName(pty.SlavePath());

    double readBackMs = 0, wireMs = 0;
    for (auto _ : state) {
        unit.ClearReceived();
        const uint64_t in0 = pty.BytesIn(), out0 = pty.BytesOut();
        QElapsedTimer t;
        t.start();
        main.MainLink().ConnectCom();
        while (!ReadBackDone(main, unit)) {
            if (t.elapsed() > 20000) {
                state.SkipWithError("the read-back did not complete");
                return;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            TMessageBridge::ServePending();
        }
        const double elapsed = static_cast<double>(t.nsecsElapsed()) / 1e6;
        state.SetIterationTime(elapsed / 1000.0);
        readBackMs += elapsed;
        const uint64_t bytes = (pty.BytesIn() - in0) + (pty.BytesOut() - out0);
        wireMs += static_cast<double>(bytes) * static_cast<double>(byteTime.count()) / 1e6;
        main.MainLink().CloseLink();
        // Let the closed port settle before the next connection.
        QCoreApplication::processEvents();
    }
    const double n = static_cast<double>(state.iterations());
    if (n > 0 && wireMs > 0) {
        state.counters["readback_ms"] = readBackMs / n;
        state.counters["wire_ms"] = wireMs / n;
        state.counters["ratio"] = readBackMs / wireMs;
    }
}
// Argument 1: the paced line, the figure that counts. Argument 0: the same read-back on an unpaced
// line, which shows the editor's own time for it.
BENCHMARK(BM_ReadBackOverPacedSerialLine)
    ->Arg(1)
    ->Arg(0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(8);

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("KORVANE_LOOPBACK_ONLY", "1", 1);
    Application->Initialize();
    RegisterEditorClasses();
    TSingleInstance::SetKeyOverride("korvane-editor-bench-readback-" + std::to_string(getpid()));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
