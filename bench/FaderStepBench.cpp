// A fader step on a channel graph of the main window with the other outputs' curves shown as overlays:
// from the gain fader's change event, through the 1 ms deferral, the band table's write, the band's
// section, the total and the page update, to the graph painted. The reference in the same run is the
// bare painter: the same engine on a plain widget, the band's section and the total computed and the
// widget repainted at every event.
//
// Afterwards a burst: ten fader moves as fast as the events come, then the graph painted once, with
// the band table written once.
#include <benchmark/benchmark.h>

#include "app/FMain.h"
#include "app/pages/OverlaysPage.h"
#include "controls/LMyFFTDrawHpLp6dB.h"
#include "controls/MyPEQType8.h"
#include "panels/PkBmpButton.h"
#include "panels/led/LdPowerButton.h"
#include "platform/gui/Forms.h"
#include "styled/StTrackBar.h"

#include "BarePainter.h"
#include "MainWindowBench.h"
#include "StepTiming.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>


using namespace kv;
using benchstep::Quantile;
using benchstep::WaitUntil;

namespace {

constexpr int EVENTS = 120;
constexpr int WARM_UP = 5;

std::map<std::string, std::vector<double>> gSamples; // milliseconds per event
double gBurstMs = 0.0;
int gBurstWrites = 0;
int gBurstPaints = 0;

// The gain position of step k: a sweep over +-6 dB that never repeats the previous position.
int GainPosition(int k) {
    return 120 + static_cast<int>(std::lround(60.0 * std::sin(k * 0.21))) + (k % 2);
}

template <class Event> void TimeEvents(benchmark::State& state, const std::string& name, Event&& event) {
    benchstep::TimeEvents(state, gSamples[name], event, WARM_UP,
                          "the graph was not painted after a fader step");
}

void BM_MainWindowFaderStep(benchmark::State& state) {
    auto* main = Application->CreateForm<TfmMain>();
    main->Show();
    // Out1's page with the other three outputs' curves shown.
    auto* page = main->Find<TPkBmpButton>("pkbMenuOut1");
    page->Click();
    page->SetDown(true);
    for (const char* name : {"ldbShow2Out1", "ldbShow3Out1", "ldbShow4Out1"}) {
        auto* b = main->Find<TLdPowerButton>(name);
        b->SetActive(true);
        main->Overlays().ldbShow2Out1Click(b);
    }
    main->Find<TPkBmpButton>("pkbEq4Out1")->Click();
    auto* graph = main->Find<LMyFFTDrawHpLp6dB>("fftDrawOut1");
    auto* fader = main->Find<TStTrackBar>("isEqGainOut1");
    auto* table = main->Find<TMyPEQType8>("peqPeqOut1");
    int paints = 0;
    graph->OnPaint = [&](TObject*) { ++paints; };
    int writes = 0;
    const auto change = table->OnChange;
    table->OnChange = [&](TObject* s) {
        ++writes;
        change(s);
    };
    QApplication::processEvents();

    TimeEvents(state, "main window", [&](int k) {
        const int before = paints;
        int position = GainPosition(k);
        if (position == fader->Position())
            position += 2;
        fader->SetPosition(position);
        return WaitUntil([&] { return paints > before; });
    });

    // A burst faster than the timer: one write, one paint.
    QApplication::processEvents();
    const int paintsBefore = paints, writesBefore = writes;
    const auto start = std::chrono::steady_clock::now();
    for (int k = 0; k < 10; ++k)
        fader->SetPosition(60 + 12 * k);
    WaitUntil([&] { return writes > writesBefore && paints > paintsBefore; });
    gBurstMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    QApplication::processEvents();
    gBurstWrites = writes - writesBefore;
    gBurstPaints = paints - paintsBefore;

    table->OnChange = change;
    graph->OnPaint = nullptr;
    main->Hide();
    delete main;
}

void BM_BarePainter(benchmark::State& state) {
    benchbare::CurveStore store;
    benchbare::BareWidget widget(store, 1070, 255);
    widget.show();
    QApplication::processEvents();
    Plot plot(&store);
    for (int n = 0; n < 9; ++n)
        SetSection(plot.Section(n), 0.0, 40.0 * std::pow(2.0, n), 3.0, ST_PEAK);
    plot.ComputeFilterCurve(true, 20, 19.7);
    plot.ComputeFilterCurve(false, 20, 20158.0);
    plot.DrawTotalCurve(2);
    // Three overlays, as the main window shows them.
    std::vector<double> curve(GRID_POINTS);
    for (int k = 0; k < 3; ++k) {
        for (int i = 0; i < GRID_POINTS; ++i)
            curve[static_cast<size_t>(i)] = 5.0 * std::sin(i * (0.0015 + 0.0003 * k) + k) - 1.2 * k;
        plot.Section(SECTION_FIRST_OVERLAY + k).CopyCurve(curve.data());
        plot.ShowOverlay(SECTION_FIRST_OVERLAY + k, TOTAL_COLOURS[static_cast<size_t>(k + 3)]);
    }
    TimeEvents(state, "bare painter", [&](int k) {
        const int before = widget.paints;
        const double gain = (GainPosition(k) - 120) * 0.1;
        SetSection(plot.Section(3), gain, 320.0, 3.0, ST_PEAK);
        plot.DrawSectionBlock(3, static_cast<float>(gain), BLOCK_CIRCLE);
        plot.DrawSectionParam(0, 3, gain, 3.0, true);
        plot.DrawTotalCurve(2);
        widget.repaint();
        return widget.paints > before;
    });
    widget.hide();
}

BENCHMARK(BM_BarePainter)->Iterations(EVENTS)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MainWindowFaderStep)->Iterations(EVENTS)->UseManualTime()->Unit(benchmark::kMillisecond);

void PrintFigures() {
    const auto& bare = gSamples["bare painter"];
    const auto& main = gSamples["main window"];
    const double reference = Quantile(bare, 0.5);
    std::printf("\n%-34s %10s %10s %10s %14s\n", "fader step to graph painted, ms", "median", "p90", "max",
                "median vs bare");
    for (const auto& [name, v] :
         {std::pair{"bare painter", bare}, std::pair{"main window (1 ms deferral)", main}})
        std::printf("%-34s %10.2f %10.2f %10.2f %13.2fx\n", name, Quantile(v, 0.5), Quantile(v, 0.9),
                    Quantile(v, 1.0), reference > 0 ? Quantile(v, 0.5) / reference : 0.0);
    std::printf("burst of 10 fader moves: %d band-table write(s), %d paint(s), %.2f ms to the paint\n",
                gBurstWrites, gBurstPaints, gBurstMs);
    std::printf("budget at 120 events per second: 8.33 ms per event; p90 %s it\n",
                Quantile(main, 0.9) <= 8.33 ? "within" : "OVER");
}

} // namespace

int main(int argc, char** argv) {
    return benchmain::Run(argc, argv, "faderbench", PrintFigures);
}
