// Start of the editor's main window, from creating it (its layout read, its pictures decoded, its
// creation handler run) to its first paint on screen, against a bare Qt window with as many plain
// child widgets as the main window has controls, created and shown the same way, in the same run.
// Both run on the offscreen platform.
//
// Afterwards the program reports the resident memory of the idle main window (shown, its start-up
// done, nothing connected) as a counter.
#include <benchmark/benchmark.h>

#include "app/FMain.h"
#include "app/Registration.h"
#include "app/SingleInstance.h"
#include "platform/gui/Forms.h"

#include "StepTiming.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace kv;

namespace {

constexpr int WARM_UP = 2;
constexpr int STARTS = 15;

std::map<std::string, std::vector<double>> gSamples; // milliseconds per start
int gControls = 0;                                   // controls of the main window

double Median(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

bool WaitUntil(const std::function<bool()>& cond) {
    return benchstep::WaitUntil(cond, 10000);
}

int CountControls(const TComponent& root) {
    int n = 0;
    for (int i = 0; i < root.ComponentCount(); ++i)
        if (dynamic_cast<const TControl*>(root.Components(i)))
            ++n;
    return n;
}

// start() makes and shows a window and waits for its first paint; stop() frees it, untimed.
template <class Start, class Stop>
void TimeStarts(benchmark::State& state, const std::string& name, Start&& start, Stop&& stop) {
    for (int k = 0; k < WARM_UP; ++k) {
        start();
        stop();
    }
    std::vector<double>& samples = gSamples[name];
    samples.clear();
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        const bool shown = start();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
        stop();
        if (!shown) {
            state.SkipWithError("the window was not painted");
            return;
        }
        state.SetIterationTime(took.count());
        samples.push_back(took.count() * 1000.0);
    }
}

// The main window, created as the program creates it, shown and painted once.
bool StartMainWindow(std::unique_ptr<TfmMain>& keep) {
    auto* main = Application->CreateForm<TfmMain>();
    bool shown = false;
    {
        benchstep::PaintCounter watch(main->Widget()->window());
        main->Show();
        shown = WaitUntil([&] { return watch.paints > 0; });
    }
    keep.reset(main);
    return shown;
}

void BM_MainWindow(benchmark::State& state) {
    std::unique_ptr<TfmMain> main;
    TimeStarts(
        state, "main window", [&] { return StartMainWindow(main); }, [&] { main.reset(); });
    state.counters["controls"] = gControls;
}

// A window of the main window's size with as many plain child widgets, laid out in a grid.
class BareWindow : public QWidget {
public:
    explicit BareWindow(int children) {
        resize(1118, 720);
        for (int i = 0; i < children; ++i) {
            auto* w = new QWidget(this);
            w->setGeometry((i * 23) % 1100, ((i * 23) / 1100 * 9) % 700, 20, 8);
            w->setAutoFillBackground(true);
        }
    }
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

void BM_BareQt(benchmark::State& state) {
    std::unique_ptr<BareWindow> window;
    TimeStarts(
        state, "bare Qt",
        [&] {
            window = std::make_unique<BareWindow>(gControls);
            window->setWindowTitle("bare");
            window->show();
            return WaitUntil([&] { return window->paints > 0; });
        },
        [&] { window.reset(); });
    state.counters["widgets"] = gControls;
}

long ResidentBytes() {
    malloc_trim(0); // freed heap handed back, so that only what is held counts
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// The idle main window: shown, start-up done, half a second of its message loop.
void BM_IdleMainWindowMemory(benchmark::State& state) {
    std::unique_ptr<TfmMain> main;
    for (auto _ : state) {
        if (!StartMainWindow(main)) {
            state.SkipWithError("the window was not painted");
            return;
        }
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 500)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    state.counters["resident_MB"] = static_cast<double>(ResidentBytes()) / 1048576.0;
    main.reset();
}

BENCHMARK(BM_BareQt)->Iterations(STARTS)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MainWindow)->Iterations(STARTS)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleMainWindowMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

void PrintFigures() {
    const double bare = Median(gSamples["bare Qt"]);
    const double main = Median(gSamples["main window"]);
    std::printf("\nstart to shown, median of %d: bare Qt (%d widgets) %.2f ms, main window %.2f ms: %.2fx\n",
                STARTS, gControls, bare, main, bare > 0 ? main / bare : 0.0);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application->Initialize();
    RegisterEditorClasses();
    // Each window this program makes is the only editor: none asks another to come forward.
    TSingleInstance::SetKeyOverride("korvane-editor-bench-" + std::to_string(getpid()));
    {
        std::unique_ptr<TfmMain> main;
        StartMainWindow(main);
        gControls = CountControls(*main);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintFigures();
    return 0;
}
