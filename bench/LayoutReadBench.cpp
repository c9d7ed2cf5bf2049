// Creating the editor's main window, off screen and not shown: the whole creation (its layout read, its
// creation handler run) and, in the same run, the layout read alone (a new window's components, their
// properties, pictures and handlers from the layout text) and the six band tables' construction with the
// window. The figures are the medians and the spread (fastest and slowest) of each.
#include <benchmark/benchmark.h>

#include "MainWindowBench.h"
#include "StepTiming.h"
#include "app/FMain.h"
#include "platform/gui/Layout.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace kv;

namespace {

std::map<std::string, std::vector<double>> gSamples; // milliseconds per creation

double Median(const std::vector<double>& v) {
    return benchstep::Quantile(v, 0.5);
}

template <class F> void Time(benchmark::State& state, const std::string& name, F&& once) {
    std::vector<double>& samples = gSamples[name];
    samples.clear();
    for (auto _ : state) {
        const double ms = once();
        state.SetIterationTime(ms / 1000.0);
        samples.push_back(ms);
    }
}

double Since(std::chrono::steady_clock::time_point begin) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
}

// The window as the program creates it; freed untimed.
void BM_CreateMainWindow(benchmark::State& state) {
    Time(state, "create", [] {
        const auto begin = std::chrono::steady_clock::now();
        std::unique_ptr<TfmMain> main(Application->CreateForm<TfmMain>());
        return Since(begin);
    });
}

// The layout read alone, into a new window whose creation handler has not run.
void BM_ReadMainLayout(benchmark::State& state) {
    const std::string text = LayoutResourceText("TFMMAIN");
    Time(state, "layout read", [&] {
        std::unique_ptr<TfmMain> main(new TfmMain(Application));
        const auto begin = std::chrono::steady_clock::now();
        main->LoadLayoutText(text);
        return Since(begin);
    });
}

BENCHMARK(BM_CreateMainWindow)->Iterations(15)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadMainLayout)->Iterations(15)->UseManualTime()->Unit(benchmark::kMillisecond);

void PrintFigures() {
    auto line = [](const char* what, const std::vector<double>& v) {
        if (v.empty())
            return;
        std::printf("%-12s median %7.2f ms  (%.2f .. %.2f)\n", what, Median(v), *std::min_element(v.begin(), v.end()),
                    *std::max_element(v.begin(), v.end()));
    };
    std::printf("\n");
    line("create", gSamples["create"]);
    line("layout read", gSamples["layout read"]);
    const double create = Median(gSamples["create"]);
    if (create > 0)
        std::printf("layout read share of creation: %.0f %%\n", 100.0 * Median(gSamples["layout read"]) / create);
}

} // namespace

int main(int argc, char** argv) {
    return benchmain::Run(argc, argv, "layout-read", &PrintFigures);
}
