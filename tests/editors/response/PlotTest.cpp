#include "editors/response/Plot.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Records every drawing call the engine makes.
struct Call {
    std::string op;
    int number = -1; // curve or block
    CurveColour colour = -1;
    int style = -1;
    int shape = -1;
    int displayType = -1;
    int type = -1;
    bool flag = false;
    double x = 0, y = 0, frequency = 0, gain = 0, q = 0;
    std::vector<double> values;
};

Call Named(const char* op) {
    Call c;
    c.op = op;
    return c;
}

class RecordingGraph : public CurveGraph {
public:
    std::vector<Call> calls;

    void FFTDraw(const double* values, int count, int curve, CurveColour colour, int style) override {
        Call c = Named("FFTDraw");
        c.number = curve, c.colour = colour, c.style = style, c.values.assign(values, values + count);
        calls.push_back(c);
    }
    bool RemovePlot(int curve) override {
        Call c = Named("RemovePlot");
        c.number = curve;
        calls.push_back(c);
        return curve == 40;
    }
    void DrawBlock(float y, double x, CurveColour colour, int block, bool hidden, int shape) override {
        Call c = Named("DrawBlock");
        c.y = y, c.x = x, c.colour = colour, c.number = block, c.flag = hidden, c.shape = shape;
        calls.push_back(c);
    }
    void SetBlockParameter(int block, double frequency, double gain, double q, int type) override {
        Call c = Named("SetBlockParameter");
        c.number = block, c.frequency = frequency, c.gain = gain, c.q = q, c.type = type;
        calls.push_back(c);
    }
    void DrawParam(int displayType, double gain, double x, float frequency, double q,
                   CurveColour colour) override {
        Call c = Named("DrawParam");
        c.displayType = displayType, c.gain = gain, c.x = x, c.frequency = frequency, c.q = q,
        c.colour = colour;
        calls.push_back(c);
    }
    void DrawCurveFill(int displayType, const double* values, int count) override {
        Call c = Named("DrawCurveFill");
        c.displayType = displayType, c.values.assign(values, values + count);
        calls.push_back(c);
    }
    void SetCurveDisplay(bool show) override {
        Call c = Named("SetCurveDisplay");
        c.flag = show;
        calls.push_back(c);
    }

    std::vector<std::string> Ops() const {
        std::vector<std::string> ops;
        for (const Call& c : calls)
            ops.push_back(c.op);
        return ops;
    }
};

double GridX(double hz) {
    return 4096.0 * std::log10(hz) / std::log10(48000.0);
}

std::vector<double> CurveOf(const PlotSection& s) {
    return {s.Curve(), s.Curve() + GRID_POINTS};
}

// The grid point nearest to a frequency.
int PointOf(double hz) {
    return static_cast<int>(std::lround(GridX(hz)));
}

TEST(Plot, NewPlotDrawsAFlatTotalInBothModes) {
    RecordingGraph graph;
    Plot plot(&graph);
    EXPECT_EQ(plot.SectionCount(), 48);
    EXPECT_EQ(plot.GetCurveMode(), 0);
    plot.DrawTotalCurve(0);
    plot.SetCurveMode(1);
    for (int n = 0; n < SUMMED_SECTIONS; ++n) {
        PlotSection& s = plot.Section(n);
        SetSection(s, s.gain, s.frequency, s.Q, s.type);
    }
    plot.DrawTotalCurve(0);
    ASSERT_EQ(graph.calls.size(), 2u);
    for (const Call& c : graph.calls) {
        EXPECT_EQ(c.op, "FFTDraw");
        EXPECT_EQ(c.number, 33);
        EXPECT_EQ(c.colour, 0x800080);
        EXPECT_EQ(c.style, CURVE_STYLE_LINE);
        EXPECT_EQ(c.values, std::vector<double>(GRID_POINTS, 0.0));
    }
    EXPECT_EQ(plot.Section(47).type, ST_HIGH_SHELF);
    EXPECT_EQ(plot.Section(47).Q, 0.4);
    EXPECT_EQ(plot.Section(47).frequency, 1000.0);
    EXPECT_EQ(plot.Section(47).mode, 1);
}

TEST(Plot, TotalIsTheSumOfSectionsZeroTo32Only) {
    RecordingGraph graph;
    Plot plot(&graph);
    for (uint8_t mode : {uint8_t{0}, uint8_t{1}}) {
        plot.SetCurveMode(mode);
        SetSection(plot.Section(0), 6.0, 120.0, 2.0, ST_PEAK);
        SetSection(plot.Section(4), -4.5, 3000.0, 0.7, ST_LOW_SHELF);
        SetSection(plot.Section(8), 3.0, 9000.0, 1.0, ST_HIGH_SHELF);
        SetSection(plot.Section(12), 0.0, 500.0, 5.0, ST_ALL_PASS_2);
        plot.ComputeFilterCurve(true, 10, 80.0);    // LK -24
        plot.ComputeFilterCurve(false, 8, 15000.0); // BW -24
        // Sections outside 0..32 never reach the total.
        SetSection(plot.Section(40), 12.0, 1000.0, 1.0, ST_PEAK);
        plot.DrawTotalCurve(mode);

        std::vector<double> want(GRID_POINTS, 0.0);
        for (int n = 0; n < SUMMED_SECTIONS; ++n)
            for (int i = 0; i < GRID_POINTS; ++i)
                want[static_cast<size_t>(i)] += plot.Section(n)[i];
        for (double& v : want) {
            if (mode == 0)
                break;
            if (v > 18)
                v -= 36;
            if (v < -18)
                v += 36;
        }
        EXPECT_EQ(CurveOf(plot.Section(SECTION_TOTAL)), want) << int{mode};
        EXPECT_EQ(graph.calls.back().values, want);
    }
}

TEST(Plot, PhaseTotalWrapsEveryTurn) {
    struct Case {
        double sum;
        double shown;
    };
    const Case cases[] = {{20, -16}, {-40, -4}, {18, 18},  {-18, -18}, {60, -12},  {54, 18},
                          {90, 18},  {100, -8}, {-100, 8}, {5.5, 5.5}, {600, -12}, {-540, 0}};
    Plot plot(nullptr);
    plot.SetCurveMode(1);
    for (const Case& c : cases) {
        // Split over two sections so that the sum happens before the wrap.
        const std::vector<double> half(GRID_POINTS, c.sum / 2);
        plot.Section(3).CopyCurve(half.data());
        plot.Section(30).CopyCurve(half.data());
        plot.DrawTotalCurve(0);
        EXPECT_EQ(plot.Section(SECTION_TOTAL)[100], c.shown) << c.sum;
    }
    // In magnitude mode the dB simply add.
    const std::vector<double> fifty(GRID_POINTS, 50.0);
    plot.Section(3).CopyCurve(fifty.data());
    plot.Section(30).CopyCurve(fifty.data());
    plot.SetCurveMode(0);
    plot.DrawTotalCurve(0);
    EXPECT_EQ(plot.Section(SECTION_TOTAL)[7], 100);
}

// The wrap as it was first written, one point at a time with the library's ceil: the fast one must give
// the same bits for every value.
double WrapOnePoint(double v) {
    if (v > 18.0 && v < HUGE_VAL)
        return v - 36.0 * std::ceil((v - 18.0) / 36.0);
    if (v < -18.0 && v > -HUGE_VAL)
        return v + 36.0 * std::ceil((-18.0 - v) / 36.0);
    return v;
}

TEST(Plot, PhaseWrapGivesTheSameBitsAsTheTurnFormulaAtEveryEdge) {
    const double inf = HUGE_VAL;
    const double twoTo52 = 4503599627370496.0;
    std::vector<double> edges = {
        18.0, -18.0, 0.0,      -0.0,      54.0,    -54.0,    36.0,    -36.0,    72.0,         -72.0,
        90.0, -90.0, 1e6 + .1, -1e6 - .1, 1e15,    -1e15,    twoTo52, -twoTo52, 36 * twoTo52, -36 * twoTo52,
        1e17, -1e17, 1e300,    -1e300,    DBL_MAX, -DBL_MAX, 5e-324,  -5e-324,  inf,          -inf};
    // Every multiple of a half turn up to 40 turns, where the quick turn count hands over to the division
    // (2^50 past the edge), and each of them one unit of the last place either side.
    for (int k = -80; k <= 80; ++k)
        edges.push_back(18.0 * k);
    for (double far : {1125899906842624.0, 1125899906842624.0 + 18, 1125899906842624.0 - 18}) {
        edges.push_back(far);
        edges.push_back(-far);
    }
    // Totals of every size between, as many turns as a double holds.
    for (int e = 0; e < 60; ++e) {
        for (double m : {1.0, 1.37, 1.5, 1.999}) {
            edges.push_back(std::ldexp(m, e) * 36.0 + 18.0);
            edges.push_back(-std::ldexp(m, e) * 36.0 - 18.0);
        }
    }
    const size_t exact = edges.size();
    for (size_t i = 0; i < exact; ++i) {
        edges.push_back(std::nextafter(edges[i], inf));
        edges.push_back(std::nextafter(edges[i], -inf));
    }
    ASSERT_LE(edges.size(), static_cast<size_t>(GRID_POINTS));

    Plot plot(nullptr);
    plot.SetCurveMode(1);
    for (bool withNaN : {false, true}) {
        std::vector<double> sum(GRID_POINTS, 7.25);
        std::copy(edges.begin(), edges.end(), sum.begin());
        if (withNaN)
            sum.back() = std::nan("");
        plot.Section(5).CopyCurve(sum.data()); // the only section in use: the total is this curve, wrapped
        plot.DrawTotalCurve(0);
        for (size_t i = 0; i < sum.size(); ++i) {
            const double got = plot.Section(SECTION_TOTAL)[static_cast<int>(i)];
            const double want = WrapOnePoint(sum[i]);
            EXPECT_EQ(std::bit_cast<uint64_t>(got), std::bit_cast<uint64_t>(want))
                << "sum " << sum[i] << ": " << got << " instead of " << want;
            if (std::isfinite(sum[i]) && std::fabs(sum[i]) < 1e15) {
                EXPECT_LE(std::fabs(got), 18.0) << sum[i];
            }
        }
    }

    // Totals that stay inside, -0 and the exact edges among them, come through untouched.
    std::vector<double> inside(GRID_POINTS);
    for (size_t i = 0; i < inside.size(); ++i)
        inside[i] = -18.0 + 36.0 * static_cast<double>(i) / (GRID_POINTS - 1);
    inside[7] = -0.0;
    plot.Section(5).CopyCurve(inside.data());
    plot.DrawTotalCurve(0);
    for (size_t i = 0; i < inside.size(); ++i)
        EXPECT_EQ(std::bit_cast<uint64_t>(plot.Section(SECTION_TOTAL)[static_cast<int>(i)]),
                  std::bit_cast<uint64_t>(inside[i]))
            << i;
}

TEST(Plot, ShapesOfTheFilterTypes) {
    PlotSection s;
    const int at1k = PointOf(1000.0);

    SetSection(s, 0.0, 1000.0, 3.0, ST_PEAK);
    EXPECT_TRUE(s.IsFlat());
    SetSection(s, 0.0, 1000.0, 3.0, ST_LOW_SHELF);
    EXPECT_TRUE(s.IsFlat());
    SetSection(s, 6.0, 1000.0, 3.0, ST_PEAK);
    const std::vector<double> boost = CurveOf(s);
    SetSection(s, -6.0, 1000.0, 3.0, ST_PEAK);
    for (int i = 0; i < GRID_POINTS; ++i)
        ASSERT_NEAR(boost[static_cast<size_t>(i)] + s[i], 0.0, 1e-12) << i;

    // Band-pass peaks at +6.02 dB; the grid point next to 1 kHz is within a hair of the top.
    SetSection(s, 0.0, GridFrequency(at1k), 3.0, ST_BAND_PASS);
    EXPECT_NEAR(s[at1k], 6.0206, 1e-4);

    SetSection(s, -6.0, 1000.0, 0.71, ST_LOW_SHELF);
    EXPECT_NEAR(s[0], -6.0, 1e-3);
    EXPECT_NEAR(s[PointOf(40000.0)], 0.0, 0.01);
    SetSection(s, -6.0, 1000.0, 0.71, ST_HIGH_SHELF);
    EXPECT_NEAR(s[0], 0.0, 1e-3);
    EXPECT_NEAR(s[GRID_POINTS - 1], -6.0, 0.01);

    // Phase: a second-order high-pass runs from about 18 to about 0.
    s.mode = 1;
    SetSection(s, 0.0, 1000.0, 0.71, ST_HIGH_PASS_2);
    EXPECT_NEAR(s[0], 18.0, 0.05);
    EXPECT_NEAR(s[at1k], 9.0, 0.05);
    EXPECT_NEAR(s[GRID_POINTS - 1], 0.0, 0.05);
    // The inverted first-order high-pass shows as an uninverted one: 9 down to 0.
    SetSection(s, 0.0, 1000.0, 0.71, ST_HIGH_PASS_1);
    EXPECT_NEAR(s[0], 9.0, 0.01);
    EXPECT_NEAR(s[at1k], 4.5, 0.05);
    EXPECT_NEAR(s[GRID_POINTS - 1], 0.0, 0.01);
    // The second-order all-pass: 0 down to nearly -18 below its frequency, nearly +18 down to 0 above.
    SetSection(s, 0.0, 1000.0, 3.0, ST_ALL_PASS_2);
    int above = 0;
    while (GridFrequency(above) <= 1000.0)
        ++above;
    EXPECT_NEAR(s[0], 0.0, 0.01);
    EXPECT_LT(s[above - 1], -17.0);
    EXPECT_GT(s[above], 17.0);
    EXPECT_NEAR(s[GRID_POINTS - 1], 0.0, 0.05);
    for (int i = 1; i < GRID_POINTS; ++i) {
        if (i != above) {
            ASSERT_LE(s[i], s[i - 1]) << i;
        }
    }
}

TEST(Plot, DegenerateParametersGiveInfinitiesNotGarbage) {
    // At 0 Hz the low-pass numerator vanishes: -inf dB everywhere, and 0/0 for the phase.
    PlotSection s;
    SetSection(s, 0.0, 0.0, 0.71, ST_LOW_PASS_2);
    for (int i = 0; i < GRID_POINTS; i += 512)
        EXPECT_EQ(s[i], -HUGE_VAL) << i;
    s.mode = 1;
    SetSection(s, 0.0, 0.0, 0.71, ST_LOW_PASS_2);
    EXPECT_TRUE(std::isnan(s[100]));
    // A type that does not exist is flat.
    SetSection(s, 5.0, 1000.0, 1.0, 42);
    EXPECT_TRUE(s.IsFlat());
}

TEST(Plot, FilterCornerValuesAndCascades) {
    // The corner on a grid point, so that the curve holds the value at the filter frequency.
    const int corner = 2000;
    const double f = GridFrequency(corner);
    Plot plot(nullptr);
    for (bool highPass : {true, false}) {
        const int total = highPass ? SECTION_HIGH_PASS : SECTION_LOW_PASS;
        for (int code = 1; code <= 20; ++code) {
            plot.ComputeFilterCurve(highPass, code, f);
            const bool linkwitz = code == 5 || code == 10 || code == 15 || code == 20;
            EXPECT_NEAR(plot.Section(total)[corner], linkwitz ? -6.02 : -3.01, 0.02)
                << (highPass ? "high-pass" : "low-pass") << " code " << code;
        }
        plot.ComputeFilterCurve(highPass, 1, f);
        const std::vector<double> bw6 = CurveOf(plot.Section(total));
        plot.ComputeFilterCurve(highPass, 2, f);
        EXPECT_EQ(CurveOf(plot.Section(total)), bw6);

        plot.ComputeFilterCurve(highPass, 3, f);
        const std::vector<double> bw12 = CurveOf(plot.Section(total));
        plot.ComputeFilterCurve(highPass, 10, f);
        for (int i = 0; i < GRID_POINTS; ++i)
            ASSERT_NEAR(plot.Section(total)[i], 2 * bw12[static_cast<size_t>(i)], 1e-9) << i;

        plot.ComputeFilterCurve(highPass, 0, f);
        EXPECT_TRUE(plot.Section(total).IsFlat());
        EXPECT_EQ(plot.Section(total).type, ST_FLAT);
    }

    // The stage sections are shared: a new high-pass leaves the low-pass total as it was.
    plot.ComputeFilterCurve(false, 20, 12000.0);
    const std::vector<double> lowPass = CurveOf(plot.Section(SECTION_LOW_PASS));
    plot.ComputeFilterCurve(true, 14, 60.0);
    EXPECT_EQ(CurveOf(plot.Section(SECTION_LOW_PASS)), lowPass);
    // The total keeps the last stage's parameters, which its handle reports.
    const PlotSection& hp = plot.Section(SECTION_HIGH_PASS);
    EXPECT_EQ(hp.type, ST_HIGH_PASS_STAGE_AB);
    EXPECT_EQ(hp.A, 0.5131f);
    EXPECT_EQ(hp.B, 0.2756f);
    EXPECT_EQ(hp.Q, 0.05);
    EXPECT_EQ(hp.frequency, 60.0);
    EXPECT_EQ(plot.Section(38).type, ST_FLAT);
    // A slope code that does not exist is bypassed.
    plot.ComputeFilterCurve(true, 99, 60.0);
    EXPECT_TRUE(plot.Section(SECTION_HIGH_PASS).IsFlat());
}

TEST(Plot, OnlyChangedSectionsAreComputedAndTheTotalOnlyWhenChanged) {
    Plot plot(nullptr);
    const auto setBands = [&plot](double gain3) {
        for (int band = 0; band < 9; ++band)
            SetSection(plot.Section(band), band == 3 ? gain3 : 2.0, 100.0 * (band + 1), 1.5, ST_PEAK);
    };
    setBands(4.0);
    plot.DrawTotalCurve(2);
    std::vector<uint64_t> before;
    for (int n = 0; n < PLOT_SECTIONS; ++n)
        before.push_back(plot.Section(n).Computations());
    const uint64_t sums = plot.TotalSums();

    // The whole band table written again with one band changed: one section computed.
    setBands(-3.0);
    for (int n = 0; n < PLOT_SECTIONS; ++n)
        EXPECT_EQ(plot.Section(n).Computations(), before[static_cast<size_t>(n)] + (n == 3 ? 1 : 0)) << n;
    plot.DrawTotalCurve(2);
    plot.DrawTotalCurve(2);
    EXPECT_EQ(plot.TotalSums(), sums + 1);
    // What was computed is what a fresh section computes.
    PlotSection fresh;
    SetSection(fresh, -3.0, 400.0, 1.5, ST_PEAK);
    EXPECT_EQ(CurveOf(plot.Section(3)), CurveOf(fresh));

    // A mode change makes the same parameters compute again, in the new mode.
    plot.SetCurveMode(1);
    SetSection(plot.Section(3), -3.0, 400.0, 1.5, ST_PEAK);
    EXPECT_EQ(plot.Section(3).Computations(), before[3] + 2);
    plot.DrawTotalCurve(2);
    EXPECT_EQ(plot.TotalSums(), sums + 2);

    // A copied-in curve is not mistaken for the computed one.
    const std::vector<double> ones(GRID_POINTS, 1.0);
    plot.Section(3).CopyCurve(ones.data());
    EXPECT_FALSE(plot.Section(3).UpToDate());
    SetSection(plot.Section(3), -3.0, 400.0, 1.5, ST_PEAK);
    EXPECT_EQ(plot.Section(3).Computations(), before[3] + 3);

    // The same filter again computes no stage.
    plot.SetCurveMode(0);
    plot.ComputeFilterCurve(true, 20, 90.0);
    const uint64_t stageRuns = plot.Section(35).Computations();
    plot.ComputeFilterCurve(true, 20, 90.0);
    EXPECT_EQ(plot.Section(35).Computations(), stageRuns);
}

TEST(Plot, DrawingCallsReachTheGraph) {
    RecordingGraph graph;
    Plot plot(&graph);
    SetSection(plot.Section(0), 4.0, 250.0, 2.0, ST_PEAK);
    SetSection(plot.Section(20), -2.0, 5000.0, 1.0, ST_HIGH_SHELF);

    // Handles: x on the log axis, the colour cycle of 14, the given y rather than the stored gain.
    plot.DrawSectionBlock(20, -7.5f, BLOCK_CIRCLE);
    plot.DrawSectionBlock(0, 4.0f, BLOCK_CIRCLE);
    plot.DrawSectionBlock(48, 0.0f, BLOCK_CIRCLE); // no such section: nothing
    ASSERT_EQ(graph.Ops(),
              (std::vector<std::string>{"DrawBlock", "SetBlockParameter", "DrawBlock", "SetBlockParameter"}));
    const Call& block = graph.calls[0];
    EXPECT_FLOAT_EQ(static_cast<float>(block.y), -7.5f);
    EXPECT_DOUBLE_EQ(block.x, GridX(5000.0));
    EXPECT_EQ(block.colour, 0xF0CAA6); // 20 mod 14 = 6, sky blue
    EXPECT_EQ(block.number, 20);
    EXPECT_FALSE(block.flag);
    EXPECT_EQ(block.shape, BLOCK_CIRCLE);
    const Call& param = graph.calls[1];
    EXPECT_EQ(param.number, 20);
    EXPECT_EQ(param.frequency, 5000.0);
    EXPECT_EQ(param.gain, -2.0);
    EXPECT_EQ(param.q, 1.0);
    EXPECT_EQ(param.type, ST_HIGH_SHELF);
    EXPECT_EQ(graph.calls[2].colour, 0x0000FF);

    // Filter handles sit on the 0 dB line: "HPF" aqua for 31, "LPF" lime for 32.
    graph.calls.clear();
    plot.ComputeFilterCurve(true, 0, 50.0);
    plot.ComputeFilterCurve(false, 8, 16000.0);
    ASSERT_EQ(graph.Ops(),
              (std::vector<std::string>{"DrawBlock", "SetBlockParameter", "DrawBlock", "SetBlockParameter"}));
    EXPECT_EQ(graph.calls[0].number, 31);
    EXPECT_EQ(graph.calls[0].colour, 0xFFFF00);
    EXPECT_EQ(graph.calls[0].shape, BLOCK_HPF);
    EXPECT_EQ(graph.calls[0].y, 0.0);
    EXPECT_DOUBLE_EQ(graph.calls[0].x, GridX(50.0));
    EXPECT_EQ(graph.calls[1].type, ST_FLAT);
    EXPECT_EQ(graph.calls[2].number, 32);
    EXPECT_EQ(graph.calls[2].colour, 0x00FF00);
    EXPECT_EQ(graph.calls[2].shape, BLOCK_LPF);
    EXPECT_EQ(graph.calls[3].type, ST_LOW_PASS_STAGE_2);
    EXPECT_EQ(graph.calls[3].q, 0.05);
    EXPECT_EQ(graph.calls[3].gain, 0.0);

    // The selected band's display: texts, filled curve, shown; index -1 is band 0. Hidden: one call.
    graph.calls.clear();
    plot.DrawSectionParam(2, -1, 3.5, 2.2, true);
    plot.DrawSectionParam(2, 20, 3.5, 2.2, false);
    ASSERT_EQ(graph.Ops(),
              (std::vector<std::string>{"DrawParam", "DrawCurveFill", "SetCurveDisplay", "SetCurveDisplay"}));
    EXPECT_EQ(graph.calls[0].displayType, 2);
    EXPECT_EQ(graph.calls[0].gain, 3.5);
    EXPECT_DOUBLE_EQ(graph.calls[0].x, GridX(250.0));
    EXPECT_EQ(graph.calls[0].frequency, 250.0);
    EXPECT_EQ(graph.calls[0].q, 2.2);
    EXPECT_EQ(graph.calls[0].colour, 0x00FFFF);
    EXPECT_EQ(graph.calls[1].displayType, 2);
    EXPECT_EQ(graph.calls[1].values, CurveOf(plot.Section(0)));
    EXPECT_TRUE(graph.calls[2].flag);
    EXPECT_FALSE(graph.calls[3].flag);

    // Overlays and the total.
    graph.calls.clear();
    const std::vector<double> other(GRID_POINTS, -2.25);
    plot.Section(40).CopyCurve(other.data());
    plot.ShowOverlay(40, 0x008080);
    EXPECT_TRUE(plot.RemoveOverlay(40));
    EXPECT_FALSE(Plot(nullptr).RemoveOverlay(40)); // no graph bound
    plot.DrawTotalCurve(8);
    plot.DrawTotalCurve(-1); // an index outside the table stays inside it
    ASSERT_EQ(graph.Ops(), (std::vector<std::string>{"FFTDraw", "RemovePlot", "FFTDraw", "FFTDraw"}));
    EXPECT_EQ(graph.calls[0].number, 40);
    EXPECT_EQ(graph.calls[0].colour, 0x008080);
    EXPECT_EQ(graph.calls[0].style, CURVE_STYLE_LINE);
    EXPECT_EQ(graph.calls[0].values, other);
    EXPECT_EQ(graph.calls[1].number, 40);
    EXPECT_EQ(graph.calls[2].number, 33);
    EXPECT_EQ(graph.calls[2].colour, 0xF0CAA6);
    EXPECT_EQ(graph.calls[3].colour, 0x000080);
}

TEST(Plot, ColourTablesAndAxis) {
    const CurveColour channels[] = {0x800080, 0x008080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000};
    for (size_t c = 0; c < 6; ++c)
        EXPECT_EQ(TOTAL_COLOURS[c], channels[c]);
    EXPECT_EQ(TOTAL_COLOURS[9], 0xF0FBFF);
    EXPECT_DOUBLE_EQ(GridFrequency(0), 1.0);
    EXPECT_NEAR(GridFrequency(4095) * std::pow(10.0, std::log10(48000.0) / 4096), 48000.0, 1e-8);
    EXPECT_NEAR(FrequencyToGridX(GridFrequency(1234)), 1234.0, 1e-9);
    EXPECT_THROW(Plot(nullptr).Section(48), std::out_of_range);
}

} // namespace
