// Start, memory and exit of the editor's main window against a bare Qt program with the same controls
// as the plain Qt widgets of the same kinds, in the same tree and places (BareWindow.h), in one run.
//
// In this process, on the offscreen platform: creating the window (its layout read, its pictures
// decoded, its creation handler run) to its first paint, and freeing it (the exit's teardown).
// As whole processes: the editor and the bare program (startup_bare) each started under
// KORVANE_QUIT_AFTER_PAINT, timed from exec to their first paint and from "quitting" to their end, and
// their resident memory read while they idle.
//
// Before the figures, the program counts the main window's controls by class and its Qt widgets.
#include <benchmark/benchmark.h>

#include "app/FMain.h"
#include "app/Registration.h"
#include "app/SingleInstance.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdLists.h"

#include "BareWindow.h"
#include "StepTiming.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

using namespace kv;

namespace {

constexpr int WARM_UP = 2;
constexpr int STARTS = 15;
constexpr int PROCESS_STARTS = 7;
constexpr int IDLE_MS = 700;     // how long a started process idles after its first paint
constexpr int RSS_AFTER_MS = 500; // when its memory is read, counted from its first paint

using Clock = std::chrono::steady_clock;

std::map<std::string, std::vector<double>> gSamples; // milliseconds (memory: MB) per sample
benchbare::Plan gPlan;                               // the bare copy of the main window
std::string gPlanPath;
std::string gEditorProgram = KV_EDITOR_PROGRAM; // --editor=PATH: another build's, to compare

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

bool WaitUntil(const std::function<bool()>& cond) {
    return benchstep::WaitUntil(cond, 10000);
}

// ---------------------------------------------------------------------------------------------------
// What the main window holds

bool Has(const std::string& s, const char* part) {
    return s.find(part) != std::string::npos;
}

// The plain Qt widget a user would take for the control.
std::string KindOf(const TControl& c) {
    const QWidget* w = c.Widget();
    const std::string& cls = c.ClassName();
    if (const auto* cb = dynamic_cast<const TComboBox*>(&c))
        return cb->Style() == TComboBoxStyle::csDropDown || cb->Style() == TComboBoxStyle::csSimple ? "editcombo"
                                                                                                   : "combo";
    if (w->inherits("QLineEdit"))
        return "edit";
    if (w->inherits("QPlainTextEdit") || w->inherits("QTextEdit"))
        return "memo";
    if (w->inherits("QAbstractItemView"))
        return "list";
    if (w->inherits("QScrollArea"))
        return "scroll";
    if (Has(cls, "Label"))
        return "label";
    if (Has(cls, "CheckBox"))
        return "check";
    if (Has(cls, "Radio"))
        return "radio";
    if (Has(cls, "TrackBar") || Has(cls, "Slider") || Has(cls, "Fader"))
        return "slider";
    if (Has(cls, "Progress"))
        return "progress";
    if (Has(cls, "Edit"))
        return "edit";
    if (Has(cls, "Button") || Has(cls, "Btn"))
        return "button";
    if (const auto* win = dynamic_cast<const TWinControl*>(&c); win && win->ControlCount() > 0)
        return "panel";
    if (Has(cls, "Panel") || Has(cls, "Group") || Has(cls, "Sheet") || Has(cls, "Page"))
        return "panel";
    return "painted";
}

struct Census {
    std::map<std::string, int> controls; // by class
    std::map<std::string, int> kinds;    // by plain Qt kind
    std::map<std::string, int> widgets;  // Qt widgets by Qt class
    std::map<std::string, int> own;      // Qt widgets of the controls of a class, their children's apart
    int controlCount = 0;
    int widgetCount = 0;
};

// Walks the control tree from the form, as the bare copy must repeat it.
void Walk(const TWinControl& parent, int parentIndex, benchbare::Plan& plan, Census& census) {
    for (int i = 0; i < parent.ControlCount(); ++i) {
        const TControl* c = parent.Controls(i);
        benchbare::Item item;
        item.kind = KindOf(*c);
        item.parent = parentIndex;
        item.x = c->Left();
        item.y = c->Top();
        item.w = c->Width();
        item.h = c->Height();
        item.visible = c->Visible();
        plan.items.push_back(item);
        ++census.controls[c->ClassName()];
        ++census.kinds[item.kind];
        ++census.controlCount;
        int own = 1;
        for (const QWidget* w : c->Widget()->findChildren<QWidget*>())
            if (TControl::FromWidget(w) == c)
                ++own;
        census.own[c->ClassName()] += own;
        if (const auto* win = dynamic_cast<const TWinControl*>(c))
            Walk(*win, static_cast<int>(plan.items.size()) - 1, plan, census);
    }
}

Census Count(TfmMain& main, benchbare::Plan& plan) {
    Census census;
    plan = {};
    plan.width = main.Width();
    plan.height = main.Height();
    Walk(main, -1, plan, census);
    QWidget* window = main.Widget()->window();
    const QList<QWidget*> all = window->findChildren<QWidget*>();
    census.widgetCount = static_cast<int>(all.size()) + 1;
    ++census.widgets[window->metaObject()->className()];
    for (const QWidget* w : all)
        ++census.widgets[w->metaObject()->className()];
    return census;
}

void PrintCensus(const Census& c) {
    std::printf("main window: %d controls, %d Qt widgets: %.2f widgets per control\n", c.controlCount,
                c.widgetCount, c.controlCount ? double(c.widgetCount) / c.controlCount : 0.0);
    auto top = [](const std::map<std::string, int>& m, const char* title, size_t n) {
        std::vector<std::pair<int, std::string>> v;
        for (const auto& [k, count] : m)
            v.emplace_back(count, k);
        std::sort(v.rbegin(), v.rend());
        std::printf("  %s:", title);
        for (size_t i = 0; i < v.size() && i < n; ++i)
            std::printf(" %s %d%s", v[i].second.c_str(), v[i].first, i + 1 < std::min(v.size(), n) ? "," : "");
        std::printf("\n");
    };
    top(c.controls, "controls by class", 40);
    top(c.own, "their Qt widgets by class", 40);
    top(c.kinds, "as plain Qt kinds", 20);
    top(c.widgets, "Qt widgets by class", 20);
}

// ---------------------------------------------------------------------------------------------------
// In this process

// start() makes and shows a window and waits for its first paint; stop() frees it, timed as "exit".
template <class Start, class Stop>
void TimeStarts(benchmark::State& state, const std::string& name, Start&& start, Stop&& stop) {
    for (int k = 0; k < WARM_UP; ++k) {
        start();
        stop();
    }
    std::vector<double>& samples = gSamples[name];
    std::vector<double>& exits = gSamples[name + " exit"];
    samples.clear();
    exits.clear();
    for (auto _ : state) {
        const auto begin = Clock::now();
        const bool shown = start();
        const auto took = Clock::now() - begin;
        const auto freeing = Clock::now();
        stop();
        exits.push_back(Ms(Clock::now() - freeing));
        if (!shown) {
            state.SkipWithError("the window was not painted");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(took).count());
        samples.push_back(Ms(took));
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
}

void BM_BareQt(benchmark::State& state) {
    std::unique_ptr<benchbare::Window> window;
    TimeStarts(
        state, "bare Qt",
        [&] {
            window = std::make_unique<benchbare::Window>(gPlan);
            window->setWindowTitle("bare");
            window->show();
            return WaitUntil([&] { return window->paints > 0; });
        },
        [&] { window.reset(); });
}

// ---------------------------------------------------------------------------------------------------
// As whole processes

long ResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

// Reads a line from the child's output until `limitMs`; false at its end or the limit.
bool ReadLine(int fd, std::string& buffer, const std::string& want, int limitMs) {
    const auto until = Clock::now() + std::chrono::milliseconds(limitMs);
    for (;;) {
        if (buffer.find(want + "\n") != std::string::npos)
            return true;
        const int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count());
        if (left <= 0)
            return false;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, left) <= 0)
            return false;
        char chunk[256];
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n <= 0)
            return false;
        buffer.append(chunk, static_cast<size_t>(n));
    }
}

struct ProcessRun {
    double toPaint = 0, exit = 0, residentMb = 0;
    bool ok = false;
};

ProcessRun RunProcess(const std::vector<std::string>& argv, const std::string& home) {
    ProcessRun run;
    int out[2];
    if (pipe(out) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string v = *e;
        if (v.rfind("HOME=", 0) && v.rfind("KORVANE_QUIT_AFTER_PAINT=", 0) && v.rfind("DISPLAY=", 0) &&
            v.rfind("XDG_SESSION_ID=", 0) && v.rfind("QT_QPA_PLATFORM=", 0))
            env.push_back(v);
    }
    env.push_back("HOME=" + home);
    env.push_back("KORVANE_QUIT_AFTER_PAINT=" + std::to_string(IDLE_MS));
    env.push_back("QT_QPA_PLATFORM=offscreen");
    env.push_back("KORVANE_LOOPBACK_ONLY=1");
    // The editor's single-instance key: its own for each started process.
    env.push_back("XDG_SESSION_ID=bench" + std::to_string(getpid()));
    std::vector<char*> cargv, cenv;
    for (const std::string& a : argv)
        cargv.push_back(const_cast<char*>(a.c_str()));
    cargv.push_back(nullptr);
    for (const std::string& e : env)
        cenv.push_back(const_cast<char*>(e.c_str()));
    cenv.push_back(nullptr);
    pid_t pid = 0;
    const auto begin = Clock::now();
    const int rc = posix_spawn(&pid, cargv[0], &actions, nullptr, cargv.data(), cenv.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
        close(out[0]);
        return run;
    }
    std::string buffer;
    bool painted = ReadLine(out[0], buffer, "painted", 20000);
    const auto paintedAt = Clock::now();
    run.toPaint = Ms(paintedAt - begin);
    if (painted) {
        std::this_thread::sleep_until(paintedAt + std::chrono::milliseconds(RSS_AFTER_MS));
        run.residentMb = static_cast<double>(ResidentKb(pid)) / 1024.0;
    }
    const bool quitting = painted && ReadLine(out[0], buffer, "quitting", 20000);
    const auto quittingAt = Clock::now();
    if (!quitting)
        kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    run.exit = Ms(Clock::now() - quittingAt);
    close(out[0]);
    run.ok = painted && quitting && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

void TimeProcess(benchmark::State& state, const std::string& name, const std::vector<std::string>& argv) {
    char dir[] = "/tmp/kv-bench-home-XXXXXX";
    if (!mkdtemp(dir)) {
        state.SkipWithError("no home folder for the started program");
        return;
    }
    RunProcess(argv, dir); // warm the file cache
    auto& paint = gSamples[name + " process"];
    auto& exit = gSamples[name + " process exit"];
    auto& memory = gSamples[name + " resident MB"];
    paint.clear();
    exit.clear();
    memory.clear();
    for (auto _ : state) {
        const ProcessRun run = RunProcess(argv, dir);
        if (!run.ok) {
            state.SkipWithError("the program did not paint and end");
            break;
        }
        state.SetIterationTime(run.toPaint / 1000.0);
        paint.push_back(run.toPaint);
        exit.push_back(run.exit);
        memory.push_back(run.residentMb);
    }
    std::system(("rm -rf " + std::string(dir)).c_str());
}

void BM_BareProcess(benchmark::State& state) {
    TimeProcess(state, "bare Qt", {KV_BARE_PROGRAM, gPlanPath});
}

void BM_EditorProcess(benchmark::State& state) {
    TimeProcess(state, "main window", {gEditorProgram});
}

BENCHMARK(BM_BareQt)->Iterations(STARTS)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MainWindow)->Iterations(STARTS)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareProcess)->Iterations(PROCESS_STARTS)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorProcess)->Iterations(PROCESS_STARTS)->UseManualTime()->Unit(benchmark::kMillisecond);

// Median and the range of the middle 80 %.
void PrintRow(const char* what, const std::string& mainKey, const std::string& bareKey, const char* unit) {
    const auto& m = gSamples[mainKey];
    const auto& b = gSamples[bareKey];
    if (m.empty() || b.empty())
        return;
    using benchstep::Quantile;
    const double mm = Quantile(m, 0.5), bm = Quantile(b, 0.5);
    std::printf("%-34s main window %8.2f %s [%.2f..%.2f]   bare Qt %8.2f %s [%.2f..%.2f]   %.2fx\n", what, mm,
                unit, Quantile(m, 0.1), Quantile(m, 0.9), bm, unit, Quantile(b, 0.1), Quantile(b, 0.9),
                bm > 0 ? mm / bm : 0.0);
}

void PrintFigures() {
    std::printf("\nmedians [10 %%..90 %%], %d starts in this process, %d as processes:\n", STARTS, PROCESS_STARTS);
    PrintRow("create to first paint (in process)", "main window", "bare Qt", "ms");
    PrintRow("teardown (in process)", "main window exit", "bare Qt exit", "ms");
    PrintRow("exec to first paint (process)", "main window process", "bare Qt process", "ms");
    PrintRow("idle resident memory (process)", "main window resident MB", "bare Qt resident MB", "MB");
    PrintRow("quit to process end", "main window process exit", "bare Qt process exit", "ms");
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
        const Census census = Count(*main, gPlan);
        PrintCensus(census);
    }
    char path[] = "/tmp/kv-bench-plan-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0)
        return 1;
    close(fd);
    gPlanPath = path;
    benchbare::Write(gPlan, gPlanPath);
    for (int i = 1; i < argc; ++i)
        if (std::string a = argv[i]; a.rfind("--editor=", 0) == 0)
            gEditorProgram = a.substr(9);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintFigures();
    unlink(gPlanPath.c_str());
    return 0;
}
