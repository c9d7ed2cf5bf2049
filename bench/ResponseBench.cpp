// The response engine against a literal per-point evaluation (a power, four cosines, four sines, two
// square roots and a logarithm at every grid point, every sum over all 33 sections): one band edit with
// the channel total, and a full recompute of the ten graphs' sections.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "editors/response/Plot.h"

namespace {

class NullGraph : public CurveGraph {
public:
    void FFTDraw(const double* values, int, int, CurveColour, int) override {
        benchmark::DoNotOptimize(values);
    }
    bool RemovePlot(int) override { return false; }
    void DrawBlock(float, double, CurveColour, int, bool, int) override {}
    void SetBlockParameter(int, double, double, double, int) override {}
    void DrawParam(int, double, double, float, double, CurveColour) override {}
    void DrawCurveFill(int, const double* values, int) override { benchmark::DoNotOptimize(values); }
    void SetCurveDisplay(bool) override {}
};

// ---- Literal evaluation -------------------------------------------------------------------------------

struct LiteralSection {
    PlotSection params; // parameters only; its curve is not used
    std::array<double, GRID_POINTS> curve{};
};

void LiteralCompute(LiteralSection& s) {
    const Biquad c = ComputeBiquad(s.params);
    // The working array of angular frequencies, made for each evaluation.
    std::vector<double> w(GRID_POINTS);
    for (int i = 0; i < GRID_POINTS; ++i)
        w[static_cast<size_t>(i)] =
            std::pow(10.0, std::log10(48000.0) * i / GRID_POINTS) * std::numbers::pi / 48000.0;
    for (int i = 0; i < GRID_POINTS; ++i) {
        const double x = w[static_cast<size_t>(i)];
        ComplexValue n{c.b0, 0.0};
        ComplexAdd(n, {c.b1 * std::cos(x), -c.b1 * std::sin(x)});
        ComplexAdd(n, {c.b2 * std::cos(2 * x), -c.b2 * std::sin(2 * x)});
        ComplexValue d{1.0, 0.0};
        ComplexAdd(d, {c.a1 * std::cos(x), -c.a1 * std::sin(x)});
        ComplexAdd(d, {c.a2 * std::cos(2 * x), -c.a2 * std::sin(2 * x)});
        s.curve[static_cast<size_t>(i)] =
            -20.0 * std::log10(ComplexMagnitude(d.re, d.im) / ComplexMagnitude(n.re, n.im));
    }
}

struct LiteralPlot {
    std::vector<LiteralSection> sections = std::vector<LiteralSection>(PLOT_SECTIONS);

    void Set(int n, double gain, double frequency, double q, int type, float a = 0, float b = 0) {
        PlotSection& p = sections[static_cast<size_t>(n)].params;
        p.gain = gain, p.frequency = frequency, p.Q = q, p.type = type, p.A = a, p.B = b;
        LiteralCompute(sections[static_cast<size_t>(n)]);
    }
    void Total() {
        std::array<double, GRID_POINTS>& total = sections[SECTION_TOTAL].curve;
        for (int i = 0; i < GRID_POINTS; ++i) {
            double s = 0;
            for (int n = 0; n < SUMMED_SECTIONS; ++n)
                s += sections[static_cast<size_t>(n)].curve[static_cast<size_t>(i)];
            total[static_cast<size_t>(i)] = s;
        }
        benchmark::DoNotOptimize(total.data());
    }
    // Reset the five stages, write the design's stages, write the total, then sum the stages into it.
    void Filter(bool highPass, int code, double frequency) {
        const int target = highPass ? SECTION_HIGH_PASS : SECTION_LOW_PASS;
        for (int n = SECTION_FIRST_STAGE; n < SECTION_FIRST_STAGE + 5; ++n)
            Set(n, 0, 1000, 0.05, ST_FLAT);
        const FilterDesign& design =
            FILTER_DESIGNS[static_cast<size_t>(SLOPE_DESIGN[static_cast<size_t>(code)])];
        int lastType = ST_FLAT;
        for (size_t slot = 0; slot < 5; ++slot) {
            const FilterStage& st = design[slot];
            if (st.kind == StageKind::Flat)
                continue;
            lastType = st.kind == StageKind::FirstOrder
                           ? (highPass ? ST_HIGH_PASS_STAGE_1 : ST_LOW_PASS_STAGE_1)
                       : st.kind == StageKind::SecondOrder
                           ? (highPass ? ST_HIGH_PASS_STAGE_2 : ST_LOW_PASS_STAGE_2)
                           : (highPass ? ST_HIGH_PASS_STAGE_AB : ST_LOW_PASS_STAGE_AB);
            Set(SECTION_FIRST_STAGE + static_cast<int>(slot), 0, frequency, 0.05, lastType, st.a, st.b);
        }
        Set(target, 0, frequency, 0.05, lastType);
        std::array<double, GRID_POINTS>& out = sections[static_cast<size_t>(target)].curve;
        for (int i = 0; i < GRID_POINTS; ++i) {
            double s = 0;
            for (int n = SECTION_FIRST_STAGE; n < SECTION_FIRST_STAGE + 5; ++n)
                s += sections[static_cast<size_t>(n)].curve[static_cast<size_t>(i)];
            out[static_cast<size_t>(i)] = s;
        }
    }
};

// ---- The work -------------------------------------------------------------------------------------------

// Channel settings; `flip` alternates every parameter so that nothing repeats from the last round.
double BandGain(int band, bool flip) {
    return (flip ? -1.0 : 1.0) * (1.5 + 0.5 * band);
}
double BandFrequency(int band) {
    return 40.0 * std::pow(2.0, band * 1.1);
}
constexpr int EQ_TYPES[9] = {ST_LOW_SHELF, ST_PEAK, ST_PEAK, ST_PEAK,      ST_PEAK,
                             ST_PEAK,      ST_PEAK, ST_PEAK, ST_HIGH_SHELF};

template <class P, class SetFn, class FilterFn, class TotalFn>
void FillChannel(int channel, bool flip, SetFn set, FilterFn filter, TotalFn total) {
    const int bands = channel < 2 ? 8 : 9;
    for (int band = 0; band < bands; ++band)
        set(band, BandGain(band, flip), BandFrequency(band) * (1 + channel * 0.01), 2.0, EQ_TYPES[band]);
    filter(true, flip ? 10 : 20, 60.0 + channel);
    filter(false, flip ? 18 : 14, 15000.0 - channel);
    total(channel);
}

struct Engine {
    NullGraph graph;
    std::vector<std::unique_ptr<Plot>> plots;
    Engine() {
        for (int g = 0; g < 10; ++g)
            plots.push_back(std::make_unique<Plot>(&graph));
    }

    void Channel(int channel, bool flip) {
        Plot& plot = *plots[static_cast<size_t>(channel)];
        FillChannel<Plot>(
            channel, flip,
            [&plot](int n, double gain, double f, double q, int type) {
                SetSection(plot.Section(n), gain, f, q, type);
                plot.DrawSectionBlock(n, static_cast<float>(gain), BLOCK_CIRCLE);
            },
            [&plot](bool hp, int code, double f) { plot.ComputeFilterCurve(hp, code, f); },
            [&plot](int c) { plot.DrawTotalCurve(c); });
    }

    void All(bool flip) {
        for (int c = 0; c < 6; ++c)
            Channel(c, flip);
        for (int g = 8; g < 10; ++g) {
            Plot& plot = *plots[static_cast<size_t>(g)];
            for (int band = 0; band < 31; ++band)
                SetSection(plot.Section(band), (flip ? -1 : 1) * (band % 12 - 5.5),
                           GEQ_FREQUENCIES[static_cast<size_t>(band)], GEQ_BAND_Q, ST_PEAK);
            plot.DrawTotalCurve(g);
        }
        // The gain page: copies of the six channel totals, shown as overlays.
        for (int c = 0; c < 6; ++c) {
            Plot& page = *plots[c < 2 ? 6u : 7u];
            page.Section(c).CopyCurve(plots[static_cast<size_t>(c)]->Section(SECTION_TOTAL).Curve());
            page.ShowOverlay(c, TOTAL_COLOURS[static_cast<size_t>(c)]);
        }
    }
};

struct Literal {
    std::vector<LiteralPlot> plots = std::vector<LiteralPlot>(10);

    void Channel(int channel, bool flip) {
        LiteralPlot& plot = plots[static_cast<size_t>(channel)];
        FillChannel<LiteralPlot>(
            channel, flip,
            [&plot](int n, double gain, double f, double q, int type) { plot.Set(n, gain, f, q, type); },
            [&plot](bool hp, int code, double f) { plot.Filter(hp, code, f); },
            [&plot](int) { plot.Total(); });
    }

    void All(bool flip) {
        for (int c = 0; c < 6; ++c)
            Channel(c, flip);
        for (size_t g = 8; g < 10; ++g) {
            for (int band = 0; band < 31; ++band)
                plots[g].Set(band, (flip ? -1 : 1) * (band % 12 - 5.5),
                             GEQ_FREQUENCIES[static_cast<size_t>(band)], GEQ_BAND_Q, ST_PEAK);
            plots[g].Total();
        }
        for (size_t c = 0; c < 6; ++c)
            plots[c < 2 ? 6u : 7u].sections[c].curve = plots[c].sections[SECTION_TOTAL].curve;
    }
};

// One band's gain changes on an output graph with nine bands, a high-pass and a low-pass in use; the
// argument is the curve mode (0 magnitude, 1 phase).
void BM_BandEdit(benchmark::State& state) {
    Engine engine;
    engine.plots[2]->SetCurveMode(static_cast<uint8_t>(state.range(0)));
    engine.Channel(2, false);
    Plot& plot = *engine.plots[2];
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        SetSection(plot.Section(4), flip ? -4.0 : 4.0, 700.0, 2.0, ST_PEAK);
        plot.DrawTotalCurve(2);
    }
}

// One section's curve alone, without the total; the argument is the curve mode.
void BM_SectionCurve(benchmark::State& state) {
    PlotSection s;
    s.mode = static_cast<uint8_t>(state.range(0));
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        SetSection(s, flip ? -4.0 : 4.0, 700.0, 2.0, ST_PEAK);
        benchmark::DoNotOptimize(s.Curve());
    }
}

void BM_BandEditLiteral(benchmark::State& state) {
    Literal literal;
    literal.Channel(2, false);
    LiteralPlot& plot = literal.plots[2];
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        plot.Set(4, flip ? -4.0 : 4.0, 700.0, 2.0, ST_PEAK);
        plot.Total();
    }
}

// Every section of the ten graphs written with new values: six channels, two graphic EQs, the gain page.
void BM_AllGraphs(benchmark::State& state) {
    Engine engine;
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        engine.All(flip);
    }
}

void BM_AllGraphsLiteral(benchmark::State& state) {
    Literal literal;
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        literal.All(flip);
    }
}

constexpr int REPETITIONS = 9;

BENCHMARK(BM_BandEdit)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(REPETITIONS)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SectionCurve)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(REPETITIONS)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_BandEditLiteral)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(REPETITIONS)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_AllGraphs)->Unit(benchmark::kMillisecond)->Repetitions(REPETITIONS)->ReportAggregatesOnly(true);
BENCHMARK(BM_AllGraphsLiteral)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(REPETITIONS)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
