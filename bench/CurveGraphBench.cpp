// A band dragged on a channel's curve graph, from the edit to the widget painted, against a bare
// QPainter widget that draws the same curves antialiased with a 2-pixel pen, in the same run.
//
// Scenes: the channel's total curve alone; the total with nine other channels' curves as overlays;
// the total with the handles and the selected band's texts and fill; all of it. Each scene runs as
// 60 drag events on a graph of 1070 x 255 and of 1070 x 380 laid out as the main window lays out
// its graphs, shown on a form under the offscreen platform. Every event runs the response engine
// as the drag handler does: the band's section, its handle, its texts and fill, the total, the page
// update, and a synchronous repaint. The reference runs the same engine and repaints its widget.
//
// Before the timed part the program measures resident memory: ten graphs with ten curves each,
// handles and the selected band shown, against the same application without them.
#include <benchmark/benchmark.h>

#include "controls/ControlClasses.h"
#include "controls/LMyFFTDrawHpLp6dB.h"
#include "editors/response/Plot.h"
#include "platform/gui/Forms.h"

#include "BarePainter.h"
#include "StepTiming.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace kv;
using benchbare::BareWidget;
using benchbare::CurveStore;
using benchstep::Quantile;

namespace {

constexpr int EVENTS = 60;
constexpr int WARM_UP = 5;

std::string GraphObject(const std::string& name, int top, int width, int height) {
    return "  object " + name + ": LMyFFTDrawHpLp6dB\n  Left = 20\n  Top = " + std::to_string(top) +
           "\n  Width = " + std::to_string(width) + "\n  Height = " + std::to_string(height) +
           "\n"
           "  Color = clBlack\n  ParentColor = False\n  AxisColor = 35840\n  YAutoScale = False\n"
           "  XAutoScale = False\n  YLabelScale = 1\n  YMax = 18\n  YMin = -18\n  XMax = 3840\n"
           "  XMin = 966\n  YLabelPrecision = 5\n  VertTickLength = 0\n  HorzTickLength = 0\n"
           "  NumVertGrid = 10\n  NumHorzGrid = 11\n  GridColor = 18432\n  ShowXTitle = False\n"
           "  ShowYTitle = False\n  ShowPlotTitle = False\n  XTitle = \"Frequency \"\n  YTitle = \"dB\"\n"
           "  YLabel = \"dB\"\n  PlotTitle = \"Frequency Response\"\n"
           "  PlotTitleFont.Color = clLime\n  PlotTitleFont.Height = -11\n  PlotTitleFont.Name = \"Tahoma\"\n"
           "  AxisTitleFont.Color = clLime\n  AxisTitleFont.Height = -11\n  AxisTitleFont.Name = \"Tahoma\"\n"
           "  AxisLabelFont.Color = clActiveBorder\n  AxisLabelFont.Height = -11\n"
           "  AxisLabelFont.Name = \"Tahoma\"\n  MouseCoordFont.Color = clLime\n"
           "  MouseCoordFont.Height = -11\n  MouseCoordFont.Name = \"Tahoma\"\n  FFTNuimber = n4096\n"
           "  SampleRate = n96000\n  end\n";
}

std::string FormLayout(int width, int height, const std::vector<std::string>& graphs) {
    std::string s = "object fmBench: TForm\n  Left = 0\n  Top = 0\n  ClientWidth = " + std::to_string(width) +
                    "\n  ClientHeight = " + std::to_string(height) + "\n  Color = clBlack\n";
    for (const auto& g : graphs)
        s += g;
    return s + "end\n";
}

std::unique_ptr<TForm> LoadForm(const std::string& layout) {
    RegisterControlClasses();
    auto form = std::make_unique<TForm>(nullptr);
    auto errors = form->LoadLayoutText(layout);
    if (!errors.empty())
        throw std::runtime_error(errors.front());
    return form;
}

// Nine bands as a user might leave them, and a band that is dragged.
struct Band {
    double gain, frequency, q;
    int type; // band table order: 0 peak, 1 low shelf, 2 high shelf
};
const Band BANDS[9] = {{4, 60, 1.0, 1},    {-3, 150, 2.0, 0},   {2.5, 400, 1.4, 0},
                       {-6, 1000, 1.0, 0}, {3, 2500, 3.0, 0},   {-2, 5000, 1.0, 0},
                       {5, 8000, 0.7, 0},  {-4, 12000, 2.0, 0}, {2, 15000, 1.0, 2}};
constexpr int DRAGGED = 3;

int SectionType(int bandType) {
    return bandType == 1 ? ST_LOW_SHELF : bandType == 2 ? ST_HIGH_SHELF : ST_PEAK;
}

// The drag step number k: the gain and frequency the pointer has reached.
Band DragStep(int k) {
    Band b = BANDS[DRAGGED];
    b.gain = std::round(10.0 * (-6.0 + 6.0 * std::sin(k * 0.21))) / 10.0;
    b.frequency = 1000.0 * std::pow(2.0, std::sin(k * 0.13) * 1.5);
    return b;
}

void SetUpChannel(Plot& plot, bool handles) {
    for (int n = 0; n < 9; ++n)
        SetSection(plot.Section(n), BANDS[n].gain, BANDS[n].frequency, BANDS[n].q,
                   SectionType(BANDS[n].type));
    plot.ComputeFilterCurve(true, 6, 40.0);
    plot.ComputeFilterCurve(false, 6, 18000.0);
    if (handles) {
        for (int n = 0; n < 9; ++n)
            plot.DrawSectionBlock(n, static_cast<float>(BANDS[n].gain), BLOCK_CIRCLE);
        plot.DrawSectionBlock(SECTION_HIGH_PASS, 0.0f, BLOCK_HPF);
        plot.DrawSectionBlock(SECTION_LOW_PASS, 0.0f, BLOCK_LPF);
    }
}

// Nine other channels' totals, as overlay sections 39..47.
void SetUpOverlays(Plot& plot) {
    // The channel's own curve is drawn when its window is created, the overlays later.
    plot.DrawTotalCurve(0);
    std::vector<double> curve(GRID_POINTS);
    for (int k = 0; k < 9; ++k) {
        for (int i = 0; i < GRID_POINTS; ++i)
            curve[static_cast<size_t>(i)] = 5.0 * std::sin(i * (0.0015 + 0.0003 * k) + k) - 1.2 * k + 5.0;
        plot.Section(SECTION_FIRST_OVERLAY + k).CopyCurve(curve.data());
        plot.ShowOverlay(SECTION_FIRST_OVERLAY + k, TOTAL_COLOURS[static_cast<size_t>(k % 8)]);
    }
}

// One drag event as the drag handler runs it.
void DragEvent(Plot& plot, int k, bool handles) {
    const Band b = DragStep(k);
    SetSection(plot.Section(DRAGGED), b.gain, b.frequency, b.q, SectionType(b.type));
    if (handles) {
        plot.DrawSectionBlock(DRAGGED, static_cast<float>(b.gain), BLOCK_CIRCLE);
        plot.DrawSectionParam(b.type, DRAGGED, b.gain, b.q, true);
    }
    plot.DrawTotalCurve(0);
}

// ---- Figures ------------------------------------------------------------------------------------------

std::map<std::string, std::vector<double>> gSamples; // milliseconds per event

template <class Event> void TimeEvents(benchmark::State& state, const std::string& name, Event&& event) {
    benchstep::TimeEvents(
        state, gSamples[name],
        [&](int k) {
            event(k);
            return true;
        },
        WARM_UP);
}

// ---- The graph ------------------------------------------------------------------------------------

enum Scene { TOTAL = 0, OVERLAYS = 1, EDITED = 2, ALL = 3 };
const char* const SCENE_NAMES[] = {"total", "total+overlays", "total+handles+fill", "all"};

void BM_Graph(benchmark::State& state) {
    const int height = static_cast<int>(state.range(0));
    const auto scene = static_cast<Scene>(state.range(1));
    const bool overlays = scene == OVERLAYS || scene == ALL, handles = scene == EDITED || scene == ALL;
    auto form = LoadForm(FormLayout(1110, height + 60, {GraphObject("fftDrawInA", 22, 1070, height)}));
    auto* graph = dynamic_cast<LMyFFTDrawHpLp6dB*>(form->FindComponent("fftDrawInA"));
    form->Show();
    QApplication::processEvents();
    int paints = 0;
    graph->OnPaint = [&](TObject*) { ++paints; };
    Plot plot(&graph->Graph());
    SetUpChannel(plot, handles);
    if (overlays)
        SetUpOverlays(plot);
    plot.DrawTotalCurve(0);
    graph->UpdateCurvePage();
    TimeEvents(state, std::string("graph ") + SCENE_NAMES[scene] + " " + std::to_string(height), [&](int k) {
        DragEvent(plot, k, handles);
        graph->UpdateCurvePage();
        graph->Repaint();
    });
    if (paints < EVENTS)
        state.SkipWithError("the graph was not painted at every event");
    form->Hide();
}

// ---- The bare reference ---------------------------------------------------------------------------

void BM_Bare(benchmark::State& state) {
    const int height = static_cast<int>(state.range(0));
    const auto scene = static_cast<Scene>(state.range(1));
    const bool overlays = scene == OVERLAYS || scene == ALL, handles = scene == EDITED || scene == ALL;
    CurveStore store;
    BareWidget widget(store, 1070, height);
    widget.show();
    QApplication::processEvents();
    Plot plot(&store);
    SetUpChannel(plot, handles);
    if (overlays)
        SetUpOverlays(plot);
    plot.DrawTotalCurve(0);
    TimeEvents(state, std::string("bare ") + SCENE_NAMES[scene] + " " + std::to_string(height), [&](int k) {
        DragEvent(plot, k, handles);
        widget.repaint();
    });
    if (widget.paints < EVENTS)
        state.SkipWithError("the widget was not painted at every event");
    widget.hide();
}

void Scenes(benchmark::internal::Benchmark* b) {
    for (int height : {255, 380})
        for (int scene : {TOTAL, OVERLAYS, EDITED, ALL})
            b->Args({height, scene});
    b->Iterations(EVENTS)->UseManualTime()->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_Bare)->Apply(Scenes);
BENCHMARK(BM_Graph)->Apply(Scenes);

// ---- Memory ---------------------------------------------------------------------------------------

long ResidentBytes() {
    malloc_trim(0); // freed heap handed back, so that only what is held counts
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

void MeasureMemory() {
    constexpr int GRAPHS = 10;
    const int width = 1110, height = GRAPHS * 265 + 40;
    // The curves the graphs get, computed before either measurement.
    CurveStore store;
    Plot source(&store);
    SetUpChannel(source, false);
    SetUpOverlays(source);
    source.DrawTotalCurve(0);
    source.DrawSectionParam(0, DRAGGED, BANDS[DRAGGED].gain, BANDS[DRAGGED].q, true);

    auto bare = LoadForm(FormLayout(width, height, {}));
    bare->Show();
    bare->Repaint();
    QApplication::processEvents();
    const long bareBytes = ResidentBytes();
    bare.reset();

    std::vector<std::string> objects;
    for (int g = 0; g < GRAPHS; ++g)
        objects.push_back(GraphObject("fftDraw" + std::to_string(g), 10 + 265 * g, 1070, 255));
    auto form = LoadForm(FormLayout(width, height, objects));
    form->Show();
    for (int g = 0; g < GRAPHS; ++g) {
        auto* graph = dynamic_cast<LMyFFTDrawHpLp6dB*>(form->FindComponent("fftDraw" + std::to_string(g)));
        graph->Repaint();
        for (const auto& [number, y] : store.curves)
            graph->FFTDraw(y.data(), static_cast<int>(y.size()), number,
                           TOTAL_COLOURS[static_cast<size_t>(number % 8)], TMyPlotStyle::Line);
        for (int n = 0; n < 9; ++n)
            graph->DrawBlock(BANDS[n].gain, FrequencyToGridX(BANDS[n].frequency),
                             BLOCK_COLOURS[static_cast<size_t>(n)], n, false, BLOCK_CIRCLE);
        graph->DrawParam(0, BANDS[DRAGGED].gain, FrequencyToGridX(BANDS[DRAGGED].frequency),
                         static_cast<float>(BANDS[DRAGGED].frequency), BANDS[DRAGGED].q, 0x00FFFF);
        graph->DrawCurveFill(0, store.band.data(), static_cast<int>(store.band.size()));
        graph->SetCurveDisplay(true);
        graph->UpdateCurvePage();
        graph->Repaint();
    }
    QApplication::processEvents();
    const long graphBytes = ResidentBytes();
    std::printf("Resident memory: bare application %.1f MB, with %d graphs of %zu curves %.1f MB: %.2f MB "
                "per graph\n",
                bareBytes / 1048576.0, GRAPHS, store.curves.size(), graphBytes / 1048576.0,
                static_cast<double>(graphBytes - bareBytes) / GRAPHS / 1048576.0);
    form->Hide();
}

void PrintFigures() {
    std::printf("\n%-28s %10s %10s %12s\n", "events of 60, ms", "median", "p90", "vs bare total");
    for (int height : {255, 380}) {
        const std::string h = std::to_string(height);
        const double reference = Quantile(gSamples["bare total " + h], 0.5);
        for (const char* who : {"bare", "graph"})
            for (const char* scene : SCENE_NAMES) {
                const auto& v = gSamples[std::string(who) + " " + scene + " " + h];
                if (v.empty())
                    continue;
                const double median = Quantile(v, 0.5);
                std::printf("%-6s %-16s %4d %10.2f %10.2f %11.2fx\n", who, scene, height, median,
                            Quantile(v, 0.9), reference > 0 ? median / reference : 0.0);
            }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application->Initialize();
    MeasureMemory();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintFigures();
    return 0;
}
