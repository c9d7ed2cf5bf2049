// What a user feels on the channel editors' pages, from the input event to the pixels on screen:
// - a gain fader step on Out1 with all four outputs linked, until the last linked strip is painted;
// - a drag step of a delay indicator, until its line is painted;
// - a click on a matrix route button, until the routing diagram is painted again;
// - a compressor threshold step on Out1, until its transfer curve is painted again.
// The reference in the same run is bare Qt: a plain window of the main window's size where a slider
// moves and four value labels take their texts, until the last label is painted.
#include <benchmark/benchmark.h>

#include "app/FMain.h"
#include "panels/PkBmpButton.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdPanels.h"
#include "styled/StTrackBar.h"

#include "MainWindowBench.h"
#include "StepTiming.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QSlider>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>


using namespace kv;
using benchstep::PaintCounter;
using benchstep::Quantile;

namespace {

constexpr int EVENTS = 120;
constexpr int WARM_UP = 5;

std::map<std::string, std::vector<double>> gSamples; // milliseconds per event
std::vector<std::string> gOrder;

bool PaintedAfter(const PaintCounter& counter, int before) {
    return benchstep::WaitUntil([&] { return counter.paints > before; });
}

// Runs event(k) once per iteration and keeps how long it took until `counter` saw a paint.
template <class Event>
void TimeEvents(benchmark::State& state, const std::string& name, const PaintCounter& counter,
                Event&& event) {
    if (std::find(gOrder.begin(), gOrder.end(), name) == gOrder.end())
        gOrder.push_back(name);
    benchstep::TimeEvents(
        state, gSamples[name],
        [&](int k) {
            const int before = counter.paints;
            event(k);
            return PaintedAfter(counter, before);
        },
        WARM_UP);
}

TfmMain* OpenMain(const char* page) {
    auto* main = Application->CreateForm<TfmMain>();
    main->Show();
    auto* button = main->Find<TPkBmpButton>(std::string("pkbMenu") + page);
    button->Click();
    button->SetDown(true);
    QApplication::processEvents();
    return main;
}

void BM_BareQt(benchmark::State& state) {
    QWidget window;
    window.resize(1118, 720);
    QSlider slider(Qt::Vertical, &window);
    slider.setGeometry(20, 400, 26, 132);
    slider.setRange(-280, 120);
    std::vector<std::unique_ptr<QLabel>> labels;
    for (int i = 0; i < 4; ++i) {
        labels.push_back(std::make_unique<QLabel>(&window));
        labels.back()->setGeometry(100 + 150 * i, 560, 84, 22);
    }
    window.show();
    QApplication::processEvents();
    PaintCounter counter(labels.back().get());
    TimeEvents(state, "bare Qt", counter, [&](int k) {
        const int p = -100 + (k % 2 ? 40 : 0) + k % 37;
        slider.setValue(p);
        for (auto& label : labels)
            label->setText(QString::number(p * 0.1, 'f', 1) + QStringLiteral("dB"));
    });
}

void BM_LinkedGainStep(benchmark::State& state) {
    TfmMain* main = OpenMain("Gain");
    main->UnitControl()->SetLinkMask(2, 0xF);
    for (int c = 3; c <= 5; ++c)
        main->UnitControl()->SetLinkMask(c, 0);
    auto* fader = main->Find<TStTrackBar>("isGainBackupOut1");
    PaintCounter counter(main->Find<TControl>("cvdGainBackupOut4")->Widget());
    TimeEvents(state, "gain step, 4 outputs linked", counter,
               [&](int k) { fader->SetPosition(-100 + (k % 2 ? 40 : 0) + k % 37); });
    main->Hide();
    delete main;
}

void BM_DelayDragStep(benchmark::State& state) {
    TfmMain* main = OpenMain("Delay");
    auto* line = main->Find<TLabel>("lbDelayLineOut1");
    const int mid = line->Height() / 2;
    line->MouseDown(TMouseButton::mbLeft, {}, 15, mid);
    PaintCounter counter(line->Widget());
    TimeEvents(state, "delay drag step", counter,
               [&](int k) { line->MouseMove({}, 20 + (k * 37) % 380, mid); });
    line->MouseUp(TMouseButton::mbLeft, {}, 20, mid);
    main->Hide();
    delete main;
}

void BM_MatrixRouteClick(benchmark::State& state) {
    TfmMain* main = OpenMain("Matrix");
    auto* route = main->Find<TPkBmpButton>("pkbBMatrixOut1");
    PaintCounter counter(main->Find<TControl>("pkgFftMatrix")->Widget());
    TimeEvents(state, "matrix route click", counter, [&](int) {
        route->MouseDown(TMouseButton::mbLeft, {}, 2, 2);
        route->MouseUp(TMouseButton::mbLeft, {}, 2, 2);
    });
    main->Hide();
    delete main;
}

void BM_CompThresholdStep(benchmark::State& state) {
    TfmMain* main = OpenMain("Comp");
    auto* fader = main->Find<TStTrackBar>("isCompThresholdOut1");
    PaintCounter counter(main->Find<TControl>("ipComp")->Widget());
    TimeEvents(state, "compressor threshold step", counter,
               [&](int k) { fader->SetPosition(-100 + (k % 2 ? 40 : 0) + k % 37); });
    main->Hide();
    delete main;
}

BENCHMARK(BM_BareQt)->Iterations(EVENTS)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LinkedGainStep)->Iterations(EVENTS)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DelayDragStep)->Iterations(EVENTS)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MatrixRouteClick)->Iterations(EVENTS)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompThresholdStep)->Iterations(EVENTS)->UseManualTime()->Unit(benchmark::kMillisecond);

void PrintFigures() {
    const double reference = Quantile(gSamples["bare Qt"], 0.5);
    std::printf("\n%-34s %10s %10s %10s %14s\n", "event to pixels, ms", "median", "p90", "max",
                "median vs bare");
    for (const std::string& name : gOrder) {
        const auto& v = gSamples[name];
        std::printf("%-34s %10.2f %10.2f %10.2f %13.2fx\n", name.c_str(), Quantile(v, 0.5), Quantile(v, 0.9),
                    Quantile(v, 1.0), reference > 0 ? Quantile(v, 0.5) / reference : 0.0);
    }
}

} // namespace

int main(int argc, char** argv) {
    return benchmain::Run(argc, argv, "editorbench", PrintFigures);
}
