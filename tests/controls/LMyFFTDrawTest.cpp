#include "controls/ControlClasses.h"
#include "controls/LMyFFTDrawHpLp6dB.h"
#include "controls/LMyFFTDrawPhase.h"
#include "editors/response/Plot.h"
#include "platform/core/Properties.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Layout.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QtGlobal>

#include <cmath>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using namespace kv;

namespace {

using Page = LMyFFTDrawBase::TPageRole;

// The properties the main window's layout stores for its graphs.
std::string GraphLayout(const std::string& cls, int width, int height) {
    return "object fmGraphs: TForm\n"
           "  Width = 1200\n"
           "  Height = 400\n"
           "  object fftDrawInA: " +
           cls + "\n  Left = 20\n  Top = 22\n  Width = " + std::to_string(width) +
           "\n  Height = " + std::to_string(height) +
           "\n"
           "  Color = clBlack\n"
           "  ParentColor = False\n"
           "  AxisColor = 35840\n"
           "  YAutoScale = False\n"
           "  XAutoScale = False\n"
           "  YLabelScale = 1\n"
           "  YMax = 18\n"
           "  YMin = -18\n"
           "  XMax = 3840\n"
           "  XMin = 966\n"
           "  YLabelPrecision = 5\n"
           "  VertTickLength = 0\n"
           "  HorzTickLength = 0\n"
           "  NumVertGrid = 10\n"
           "  NumHorzGrid = 11\n"
           "  GridColor = 18432\n"
           "  ShowXTitle = False\n"
           "  ShowYTitle = False\n"
           "  ShowPlotTitle = False\n"
           "  XTitle = \"Frequency \"\n"
           "  YTitle = \"dB\"\n"
           "  YLabel = \"dB\"\n"
           "  PlotTitle = \"Frequency Response\"\n"
           "  PlotTitleFont.Color = clLime\n"
           "  PlotTitleFont.Height = -11\n"
           "  PlotTitleFont.Name = \"Tahoma\"\n"
           "  AxisTitleFont.Color = clLime\n"
           "  AxisTitleFont.Height = -11\n"
           "  AxisTitleFont.Name = \"Tahoma\"\n"
           "  AxisLabelFont.Color = clActiveBorder\n"
           "  AxisLabelFont.Height = -11\n"
           "  AxisLabelFont.Name = \"Tahoma\"\n"
           "  MouseCoordFont.Color = clLime\n"
           "  MouseCoordFont.Height = -11\n"
           "  MouseCoordFont.Name = \"Tahoma\"\n"
           "  FFTNuimber = n4096\n"
           "  SampleRate = n96000\n"
           "  end\n"
           "end\n";
}

// A form holding one graph laid out as the main window lays out its graphs.
struct GraphForm {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    LMyFFTDrawBase* graph = nullptr;
    std::vector<TFFTText> texts;

    explicit GraphForm(int width, int height = 255, const std::string& cls = "LMyFFTDrawHpLp6dB") {
        RegisterControlClasses();
        auto errors = form->LoadLayoutText(GraphLayout(cls, width, height));
        EXPECT_TRUE(errors.empty()) << errors.front();
        graph = dynamic_cast<LMyFFTDrawBase*>(form->FindComponent("fftDrawInA"));
        if (!graph)
            throw std::runtime_error("the layout holds no graph");
        graph->SetTextTrace(&texts);
    }
    // What the control shows after a paint.
    QImage Paint() {
        QImage img(graph->Width(), graph->Height(), QImage::Format_RGB32);
        img.fill(Qt::white);
        TCanvas canvas(&img);
        graph->Paint(canvas);
        canvas.SetTarget(nullptr);
        return img;
    }
    std::vector<TFFTText> TextsOn(Page page) const {
        std::vector<TFFTText> out;
        for (const auto& t : texts)
            if (t.Page == page)
                out.push_back(t);
        return out;
    }
    const TFFTText* Find(const std::string& text) const {
        for (const auto& t : texts)
            if (t.Text == text)
                return &t;
        return nullptr;
    }
    TColor PlotPixel(int x, int y) const {
        return graph->Page(LMyFFTDrawBase::prPlot).Bitmap()->Canvas()->Pixel(x, y);
    }
};

std::vector<std::string> Strings(const std::vector<TFFTText>& texts) {
    std::vector<std::string> out;
    for (const auto& t : texts)
        out.push_back(t.Text);
    return out;
}

// Renders are written for a look only when KV_RENDER_DIR names a folder.
void Save(const QImage& img, const std::string& name) {
    const QString dir = qEnvironmentVariable("KV_RENDER_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    img.save(dir + "/" + QString::fromStdString(name) + ".png");
}

double Index(double hz) {
    return 4096.0 * std::log10(hz) / std::log10(48000.0);
}

int Grey(TColor c) {
    return c & 0xFF;
}

TEST(LMyFFTDrawTest, CreatedValuesAndPublishedProperties) {
    RegisterControlClasses();
    LMyFFTDrawHpLp6dB g(nullptr);
    EXPECT_EQ(g.Width(), 500);
    EXPECT_EQ(g.Height(), 250);
    EXPECT_EQ(g.Color(), clBlack);
    EXPECT_EQ(g.AxisColor(), 0x008C00);
    EXPECT_EQ(g.GridColor(), 0x004800);
    EXPECT_EQ(g.NumHorzGrid(), 11);
    EXPECT_EQ(g.XMin(), 1030.0);
    EXPECT_EQ(g.XMax(), 4130.0);
    EXPECT_EQ(g.FFTNuimber(), TFFTNumber::n4096);
    EXPECT_EQ(g.AxisLabelFont()->Color(), clYellow);
    EXPECT_FALSE(g.ShowPlotTitle());
    EXPECT_EQ(g.XTitle(), "Frequency ");
    EXPECT_EQ(g.GetBlockPos(0), (TPoint{0, 0}));

    // Declared defaults decide what a layout stores: differing created values are written.
    const TClassInfo& info = LMyFFTDrawHpLp6dB::StaticClassInfo();
    EXPECT_EQ(info.FindProp("NumHorzGrid")->Default, 3);
    EXPECT_EQ(info.FindProp("Width")->Default, 300);
    EXPECT_EQ(GetPropText(g, "AxisStyle").value_or(""), "CenteredBox");
    EXPECT_EQ(GetPropText(g, "FFTNuimber").value_or(""), "n4096");
    std::string layout = WriteLayout(g);
    EXPECT_NE(layout.find("NumHorzGrid = 11"), std::string::npos) << layout;
    EXPECT_EQ(layout.find("AxisStyle"), std::string::npos) << layout;
    EXPECT_EQ(info.FindProp("MouseX")->Writable(), false);
    EXPECT_NE(FindClass("LMyFFTDrawPhase"), nullptr);
}

// A graph read from a layout draws its pages once, when the layout is read, not at every property; it
// shows what a graph given the same properties one by one shows.
TEST(LMyFFTDrawTest, AGraphReadFromALayoutHasThePagesOfOneSetUpInCode) {
    for (const std::string cls : {"LMyFFTDrawHpLp6dB", "LMyFFTDrawPhase"}) {
        SCOPED_TRACE(cls);
        GraphForm read(1100, 255, cls);
        TForm host(nullptr);
        host.SetBounds(0, 0, 1200, 400);
        std::unique_ptr<LMyFFTDrawBase> made(dynamic_cast<LMyFFTDrawBase*>(FindClass(cls)->Create(&host)));
        ASSERT_NE(made, nullptr);
        made->SetParent(&host);
        const std::string text = GraphLayout(cls, 1100, 255);
        std::size_t at = text.find("fftDrawInA");
        at = text.find('\n', at) + 1;
        for (;;) {
            const std::size_t end = text.find('\n', at);
            std::string line = text.substr(at, end - at);
            at = end + 1;
            line.erase(0, line.find_first_not_of(' '));
            if (line == "end")
                break;
            const std::size_t eq = line.find(" = ");
            std::string value = line.substr(eq + 3);
            if (value.front() == '"')
                value = value.substr(1, value.size() - 2);
            ASSERT_TRUE(SetPropText(*made, line.substr(0, eq), value)) << line;
        }
        // The first paint lays the pages out for the graph's size; from then on every page is the same.
        const QImage shown = read.Paint();
        LMyFFTDrawBase* const graph = std::exchange(read.graph, made.get());
        EXPECT_EQ(shown, read.Paint());
        for (int role = 0; role < LMyFFTDrawBase::PAGE_COUNT; ++role) {
            const auto page = static_cast<Page>(role);
            EXPECT_EQ(graph->Page(page).Bitmap()->Image(), made->Page(page).Bitmap()->Image()) << "page " << role;
        }
        read.graph = graph;
    }
}

TEST(LMyFFTDrawTest, SetterRulesAndScaling) {
    LMyFFTDrawHpLp6dB g(nullptr);
    g.SetYAutoScale(false);
    g.SetYMax(-18);
    EXPECT_EQ(g.YMax(), -17.0); // equal bounds are widened
    g.SetPointSize(0);
    EXPECT_EQ(g.PointSize(), 1);
    g.SetPointSize(40);
    EXPECT_EQ(g.PointSize(), 10);
    g.SetHorzTickLength(10000);
    EXPECT_EQ(g.HorzTickLength(), 500);
    g.SetVertTickLength(10000);
    EXPECT_EQ(g.VertTickLength(), 250);
    g.SetNumHorzGrid(-3);
    EXPECT_EQ(g.NumHorzGrid(), 0);
    g.SetYAutoScale(true);
    EXPECT_EQ(g.YMax(), 1.0); // no curves: -1..1
    EXPECT_EQ(g.YMin(), -1.0);
    const double y[] = {2.0, -5.0, 7.0};
    g.FFTDraw(y, 3, 1, clRed, TMyPlotStyle::Line);
    EXPECT_EQ(g.YMax(), 7.0);
    EXPECT_EQ(g.YMin(), -5.0);
    EXPECT_EQ(g.XMax(), 2.0);
    // A newer curve without points leaves the range to the curves that have some.
    g.FFTDraw(y, 0, 2, clRed, TMyPlotStyle::Line);
    EXPECT_EQ(g.YMax(), 7.0);
    EXPECT_EQ(g.YMin(), -5.0);
    EXPECT_EQ(g.XMax(), 2.0);
    // Setting a label format keeps the visibility of that axis's labels.
    g.SetShowXLabel(false);
    g.SetXLabelPrecision(3);
    EXPECT_FALSE(g.ShowXLabel());
    EXPECT_TRUE(g.ShowYLabel());
}

TEST(LMyFFTDrawTest, PageLayoutAndLabelTexts) {
    for (int width : {799, 800, 1070}) {
        SCOPED_TRACE(width);
        GraphForm f(width);
        f.Paint();
        auto& g = *f.graph;
        const TRect plot = g.Page(LMyFFTDrawBase::prPlot).ScreenRect();
        TCanvas probe;
        probe.Font()->SetName("Tahoma");
        probe.Font()->SetHeight(-11);
        int h = probe.TextHeight("966");
        // The widest y-label candidate sets the plot's left edge: w + 4 - 30.
        int w = 0;
        for (int k = -100; k <= 100; ++k)
            w = std::max(
                w, probe.TextWidth(FloatToStrF(M_PI * std::pow(10.0, k), TFloatFormat::ffGeneral, 5, 4)));
        EXPECT_EQ(plot, Rect(w - 26, 10, width - 10, static_cast<int>(255 - 1.2 * h)));
        EXPECT_EQ(g.Page(LMyFFTDrawBase::prXLabel).ScreenRect(), Rect(w - 26, plot.Bottom, width - 10, 255));
        EXPECT_EQ(g.Page(LMyFFTDrawBase::prYLabel).ScreenRect(), Rect(0, 10, w - 26, 255));
        EXPECT_EQ(g.Page(LMyFFTDrawBase::prRightMargin).ScreenRect(), Rect(width - 10, 0, width, 255));
        EXPECT_EQ(g.Page(LMyFFTDrawBase::prPlotTitle).ScreenRect(), Rect(0, 0, width - 10, 10));
        EXPECT_EQ(g.GetPlotWidth(), plot.Width());
        EXPECT_EQ(g.GetPlotHeight(), plot.Height());

        std::vector<std::string> xl = Strings(f.TextsOn(LMyFFTDrawBase::prXLabel));
        if (width < 800)
            EXPECT_EQ(xl, (std::vector<std::string>{"20Hz", "100Hz", "1KHz", "10KHz"}));
        else
            EXPECT_EQ(xl, (std::vector<std::string>{"20Hz", "100Hz", "1KHz", "10KHz", "20KHz", "50Hz",
                                                    "200Hz", "500Hz", "2KHz", "5KHz"}));
        // Each label is centred on its frequency, one pixel below the page's top.
        const TFFTText* k1 = f.Find("1KHz");
        ASSERT_NE(k1, nullptr);
        EXPECT_EQ(k1->Y, 1);
        EXPECT_NEAR(k1->X + probe.TextWidth("1KHz") / 2.0, g.ScreenX(Index(1000)), 1.0);
        EXPECT_EQ(k1->Colour, clActiveBorder);
    }
}

TEST(LMyFFTDrawTest, YLabelsOfTheMagnitudeAndPhaseViews) {
    GraphForm f(1070);
    auto& g = *f.graph;
    f.texts.clear();
    g.DrawYAxisLabels();
    auto labels = f.TextsOn(LMyFFTDrawBase::prYLabel);
    EXPECT_EQ(Strings(labels),
              (std::vector<std::string>{"+18dB", "-18dB", "-12dB", "-6dB", "0dB", "+6dB", "+12dB"}));
    TCanvas probe;
    probe.Font()->SetName("Tahoma");
    probe.Font()->SetHeight(-11);
    const int pageWidth = g.Page(LMyFFTDrawBase::prYLabel).Bitmap()->Width();
    for (const auto& t : labels)
        EXPECT_EQ(t.X + probe.TextWidth(t.Text) + 2, pageWidth) << t.Text; // right-aligned
    EXPECT_EQ(labels[0].Y, 0);
    EXPECT_EQ(labels[4].Y, static_cast<int>(g.ScreenY(0) - probe.TextHeight("0dB") / 2));

    // The main window's phase view.
    g.SetNumHorzGrid(7);
    g.SetYLabel("");
    g.SetYLabelScale(10.0);
    f.texts.clear();
    g.DrawYAxisLabels();
    EXPECT_EQ(Strings(f.TextsOn(LMyFFTDrawBase::prYLabel)),
              (std::vector<std::string>{"+180", "-180", "-90", "0", "+90"}));

    struct GridCase {
        int lines;
        std::vector<std::string> texts;
    } grids[] = {{0, {"+180", "-180"}}, {1, {"+180", "-180"}}, {2, {"+180", "-180", "+60"}}};
    for (const auto& c : grids) {
        g.SetNumHorzGrid(c.lines);
        f.texts.clear();
        g.DrawYAxisLabels();
        EXPECT_EQ(Strings(f.TextsOn(LMyFFTDrawBase::prYLabel)), c.texts) << c.lines;
    }
}

TEST(LMyFFTDrawTest, ShortGraphDropsXLabelsForGood) {
    GraphForm f(1070, 8);
    f.Paint();
    EXPECT_FALSE(f.graph->ShowXLabel());
    EXPECT_FALSE(f.graph->ShowPlotTitle());
    f.graph->SetHeight(255);
    f.Paint();
    EXPECT_FALSE(f.graph->ShowXLabel());
    EXPECT_TRUE(f.TextsOn(LMyFFTDrawBase::prXLabel).empty());
}

TEST(LMyFFTDrawTest, CurvesDrawNewestFirstAndReplacementsKeepTheirLook) {
    GraphForm f(1070);
    auto& g = *f.graph;
    f.Paint();
    std::vector<double> flat(4096, 7.5);
    EXPECT_FALSE(g.FFTDraw(flat.data(), 4096, 33, clRed, TMyPlotStyle::Line));
    EXPECT_FALSE(g.FFTDraw(flat.data(), 4096, 39, clLime, TMyPlotStyle::Line));
    const int x = static_cast<int>(g.ScreenX(Index(350))), y = static_cast<int>(g.ScreenY(7.5));
    EXPECT_EQ(f.PlotPixel(x, y), clRed); // the older curve ends on top

    std::vector<double> low(4096, -10.5);
    EXPECT_TRUE(g.FFTDraw(low.data(), 4096, 33, clBlue, TMyPlotStyle::Square));
    TColor colour = 0;
    TMyPlotStyle style = TMyPlotStyle::Square;
    ASSERT_TRUE(g.GetPlotColor(colour, 33));
    ASSERT_TRUE(g.GetPlotStyle(style, 33));
    EXPECT_EQ(colour, clRed);
    EXPECT_EQ(style, TMyPlotStyle::Line);
    EXPECT_EQ(f.PlotPixel(x, y), clLime);
    EXPECT_EQ(f.PlotPixel(x, static_cast<int>(g.ScreenY(-10.5))), clRed);

    // The background layer: the frame and the 0 dB line in the axis colour, grid lines every 3 dB.
    EXPECT_EQ(f.PlotPixel(0, 50), 0x008C00);
    EXPECT_EQ(f.PlotPixel(x + 3, static_cast<int>(g.ScreenY(0))), 0x008C00);
    EXPECT_EQ(f.PlotPixel(x + 3, static_cast<int>(g.ScreenY(-15))), 0x004800);
    EXPECT_EQ(f.PlotPixel(static_cast<int>(g.ScreenX(Index(1000))), 20), 0x008C00); // decade line

    EXPECT_TRUE(g.RemovePlot(39));
    EXPECT_FALSE(g.RemovePlot(39));
    EXPECT_EQ(f.PlotPixel(x, y), clBlack);
    Save(f.Paint(), "curves");
}

TEST(LMyFFTDrawTest, BlocksShapesNumbersAndHiding) {
    GraphForm f(1070);
    auto& g = *f.graph;
    f.Paint();
    f.texts.clear();
    g.DrawBlock(-6.0, 2624.9, clAqua, 2, false, 1);
    const double px = g.ScreenX(2624.9), py = g.ScreenY(-6.0);
    EXPECT_NEAR(2624.9, Index(1000), 0.1);
    EXPECT_EQ(g.GetBlockPos(2), (TPoint{static_cast<int>(px), static_cast<int>(py)}));
    ASSERT_EQ(f.texts.size(), 1u);
    EXPECT_EQ(f.texts[0].Text, "3");
    EXPECT_EQ(f.texts[0].X, static_cast<int>(px - 3));
    EXPECT_EQ(f.texts[0].Y, static_cast<int>(py - 23));
    EXPECT_EQ(f.texts[0].Colour, clWhite);
    EXPECT_EQ(f.texts[0].Size, 11);

    g.DrawBlock(0.0f, Index(80), clAqua, 31, false, 3);
    g.DrawBlock(0.0f, Index(12000), clLime, 32, false, 2);
    g.DrawBlock(3.0, Index(5000), clRed, 5, true, 0);
    const TFFTText* hpf = f.Find("HPF");
    ASSERT_NE(hpf, nullptr);
    EXPECT_EQ(hpf->Size, 8);
    EXPECT_EQ(hpf->X, static_cast<int>(g.ScreenX(Index(80)) - 8));
    EXPECT_EQ(hpf->Y, static_cast<int>(g.ScreenY(0) - 20));
    EXPECT_NE(f.Find("LPF"), nullptr);
    EXPECT_NE(f.Find("6"), nullptr); // a hidden block is drawn once when placed

    f.texts.clear();
    g.UpdateCurvePage();
    EXPECT_EQ(f.Find("6"), nullptr); // ... but no longer painted
    EXPECT_NE(f.Find("3"), nullptr);
    // Handles never placed lie at index 0, far left of the page: nothing of them is drawn.
    EXPECT_EQ(f.Find("40"), nullptr);
    EXPECT_EQ(f.Find("1"), nullptr);
    // The handle's outline in its colour, five pixels wide, around the block's centre.
    const TPoint c = g.GetBlockPos(31);
    EXPECT_EQ(f.PlotPixel(c.X - 3, c.Y), clAqua);
    const QImage shown = f.Paint();
    Save(shown, "blocks");
    const TRect plot = g.Page(LMyFFTDrawBase::prPlot).ScreenRect();
    EXPECT_EQ(FromQRgb(shown.pixel(plot.Left + c.X - 3, plot.Top + c.Y)), clAqua);
}

struct ParamCase {
    int type;
    double gain;
    float frequency;
    std::vector<std::pair<std::string, int>> lines; // text and offset from the band's y
};

void CheckParams(const std::string& cls, const std::vector<ParamCase>& cases, bool repaint) {
    GraphForm f(1070, 255, cls);
    auto& g = *f.graph;
    f.Paint();
    f.texts.clear();
    for (const auto& c : cases) {
        SCOPED_TRACE(cls + " type " + std::to_string(c.type) + " gain " + std::to_string(c.gain));
        const double x = Index(c.frequency);
        g.DrawParam(c.type, c.gain, x, c.frequency, 0.707, clYellow);
        if (repaint) {
            g.SetCurveDisplay(true);
            f.texts.clear();
            g.CuveDisplayPaint();
            g.SetCurveDisplay(false);
        }
        std::vector<std::pair<std::string, int>> got;
        const int py = static_cast<int>(g.ScreenY(c.gain));
        for (const auto& t : f.texts) {
            EXPECT_EQ(t.X, static_cast<int>(g.ScreenX(x) - 20));
            EXPECT_EQ(t.Colour, clYellow);
            EXPECT_EQ(t.Size, 8);
            got.emplace_back(t.Text, t.Y - py);
        }
        for (auto& l : got) // truncation of py + offset may differ by one from trunc(py) + offset
            for (const auto& e : c.lines)
                if (e.first == l.first && std::abs(l.second - e.second) <= 1)
                    l.second = e.second;
        EXPECT_EQ(got, c.lines);
        f.texts.clear();
    }
}

TEST(LMyFFTDrawTest, ParameterTextsOfTheChannelGraph) {
    const std::pair<std::string, int> q{"Q:0.71", -69};
    CheckParams("LMyFFTDrawHpLp6dB",
                {{0, 0.0, 999.9f, {q, {"999.9Hz", -56}, {" 0.0dB", -43}}},
                 {1, 0.1, 1000.0f, {{"Q:0.71", 20}, {"1.00KHz", 33}, {" 0.1dB", 46}}},
                 {2, -3.5, 12000.0f, {q, {"12.00KHz", -56}, {"-3.5dB", -43}}},
                 {3, 0.0, 80.0f, {{"80.0Hz", -43}}},
                 {5, 0.0, 80.0f, {{"80.0Hz", -43}}},
                 {7, 2.0, 80.0f, {{"80.0Hz", 20}}},
                 {4, 0.0, 80.0f, {q, {"80.0Hz", -56}}},
                 {8, 0.0, 80.0f, {q, {"80.0Hz", -56}}}},
                false);
}

TEST(LMyFFTDrawTest, ParameterTextsOfThePhaseGraph) {
    const std::pair<std::string, int> q{"Q:0.71", -69};
    const std::pair<std::string, int> fq{"1.00KHz", -56}, fOnly{"1.00KHz", -43};
    std::vector<ParamCase> written = {
        {-1, 0.0, 1000.0f, {q, fq, {" 0.0dB", -43}}},
        {0, 0.1, 1000.0f, {{"Q:0.71", 20}, {"1.00KHz", 33}, {" 0.1dB", 46}}},
        {3, 0.0, 1000.0f, {q, fq}},
        {4, 0.0, 1000.0f, {q, fq}},
        {5, 0.0, 1000.0f, {fOnly}},
        {10, 0.0, 1000.0f, {fOnly}},
        {11, 0.0, 1000.0f, {fOnly}},
        {7, 0.0, 1000.0f, {}},
        {8, 0.0, 1000.0f, {}},
        {9, 0.0, 1000.0f, {}},
        {12, 0.0, 1000.0f, {}},
    };
    CheckParams("LMyFFTDrawPhase", written, false);
    // Written again at a page update, the types without a text of their own show Q and frequency.
    CheckParams("LMyFFTDrawPhase",
                {{7, 0.0, 1000.0f, {q, fq}}, {12, 0.0, 1000.0f, {q, fq}}, {5, 0.0, 1000.0f, {fOnly}}}, true);
    // On the channel graph the repaint writes what DrawParam wrote.
    CheckParams("LMyFFTDrawHpLp6dB", {{3, 0.0, 1000.0f, {fOnly}}, {8, 0.0, 1000.0f, {q, fq}}}, true);
}

TEST(LMyFFTDrawTest, BlockParameterTextsFollowTheStoredSectionType) {
    struct Case {
        const char* cls;
        int storedType;
        std::vector<std::string> texts;
    } cases[] = {
        {"LMyFFTDrawHpLp6dB", 1, {"Q:1.50", "2.00KHz", "-4.0dB"}},
        {"LMyFFTDrawHpLp6dB", 8, {"2.00KHz"}}, // shown as type 7
        {"LMyFFTDrawHpLp6dB", 17, {"Q:1.50", "2.00KHz"}},
        {"LMyFFTDrawPhase", 7, {"2.00KHz"}},
        {"LMyFFTDrawPhase", 8, {}},
        {"LMyFFTDrawPhase", 17, {"Q:1.50", "2.00KHz"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.cls) + " " + std::to_string(c.storedType));
        GraphForm f(1070, 255, c.cls);
        auto& g = *f.graph;
        f.Paint();
        for (int b = 0; b < LMyFFTDrawBase::BLOCK_COUNT; ++b)
            g.DrawBlock(0.0, 0.0, clRed, b, true, 1);
        g.DrawBlock(-4.0, Index(2000), clRed, 4, false, 1);
        g.SetBlockParameter(4, 2000.0, -4.0, 1.5, c.storedType);
        g.DrawBlock(3.0, Index(500), clRed, 6, false, 1);
        g.SetBlockParameter(6, 500.0, 3.0, 1.5, 1);
        g.DrawParam(0, 3.0, Index(500), 500.0f, 1.5, clYellow); // block 6 is the selected band
        g.SetParameterDisplay(true);
        f.texts.clear();
        g.BlockPaint();
        std::vector<std::string> got;
        for (const auto& t : f.texts)
            if (t.Colour == clWhite && t.Size == 8)
                got.push_back(t.Text);
        EXPECT_EQ(got, c.texts);
    }
}

TEST(LMyFFTDrawTest, BandFillShapes) {
    GraphForm f(1070);
    auto& g = *f.graph;
    f.Paint();
    const int x1k = static_cast<int>(g.ScreenX(Index(1000)));
    const int x100 = static_cast<int>(g.ScreenX(Index(130)));
    auto y = [&](double dB) { return static_cast<int>(g.ScreenY(dB)); };
    auto fill = [&](int type, double gain, const std::vector<double>& curve) {
        g.DrawAllPlots(); // a clean page
        g.DrawParam(type, gain, Index(1000), 1000.0f, 1.0, clYellow);
        g.DrawCurveFill(type, curve.data(), 4096);
    };
    // A bump of +9 dB around 1 kHz, a low shelf, a high-pass.
    std::vector<double> bump(4096), shelf(4096), highPass(4096);
    for (int i = 0; i < 4096; ++i) {
        double octaves = (i - Index(1000)) / (Index(2000) - Index(1000));
        bump[static_cast<size_t>(i)] = 9.0 * std::exp(-octaves * octaves);
        shelf[static_cast<size_t>(i)] = i < Index(1000) ? 9.0 : 0.0;
        highPass[static_cast<size_t>(i)] = i < Index(1000) ? -30.0 : 0.0;
    }
    const int grey = Grey(FromQRgb(qRgb(15, 15, 15)));
    fill(0, 9.0, bump);
    EXPECT_NEAR(Grey(f.PlotPixel(x1k + 2, y(4.5))), grey, 2); // between the curve and 0 dB
    EXPECT_EQ(f.PlotPixel(x1k + 2, y(10.5)), clBlack);        // above the curve
    EXPECT_EQ(f.PlotPixel(x1k + 2, y(-7.5)), clBlack);        // below 0 dB
    Save(f.graph->Page(LMyFFTDrawBase::prPlot).Bitmap()->Image(), "fill-peak");

    fill(1, 9.0, shelf);
    EXPECT_NEAR(Grey(f.PlotPixel(x100, y(4.5))), grey, 2);
    EXPECT_EQ(f.PlotPixel(x100, y(-7.5)), clBlack);
    std::vector<double> cut(shelf);
    for (double& v : cut)
        v = -v;
    fill(1, -9.0, cut);
    EXPECT_NEAR(Grey(f.PlotPixel(x100, y(-4.5))), grey, 2);
    EXPECT_EQ(f.PlotPixel(x100, y(7.5)), clBlack);

    fill(6, 0.0, highPass);
    const int xHigh = static_cast<int>(g.ScreenX(Index(5000)));
    EXPECT_NEAR(Grey(f.PlotPixel(xHigh + 2, y(-16.5))), grey, 2); // down to the bottom
    EXPECT_EQ(f.PlotPixel(xHigh + 2, y(4.5)), clBlack);

    // The overlays are laid once per update: the translucent fill keeps its shade however often
    // the page is updated.
    g.SetCurveDisplay(true);
    g.UpdateCurvePage();
    const int once = Grey(f.PlotPixel(xHigh + 2, y(-16.5)));
    g.UpdateCurvePage();
    g.DrawXAxisLabels();
    g.UpdateCurvePage();
    EXPECT_EQ(Grey(f.PlotPixel(xHigh + 2, y(-16.5))), once);
}

TEST(LMyFFTDrawTest, FreeTextAndIndicatorLine) {
    GraphForm f(1070);
    auto& g = *f.graph;
    f.Paint();
    f.texts.clear();
    g.DrawTextA(356, 63, 60, clBtnFace, "Times New Roman", "BYPASS");
    ASSERT_EQ(f.texts.size(), 1u);
    EXPECT_EQ(f.texts[0].Size, 60);
    f.texts.clear();
    g.UpdateCurvePage();
    EXPECT_NE(f.Find("BYPASS"), nullptr);
    g.DrawTextA(356, 63, 60, clBtnFace, "Times New Roman", "");
    f.texts.clear();
    g.UpdateCurvePage();
    EXPECT_EQ(f.Find("BYPASS"), nullptr);

    g.DrawLine(Index(1000), clBlue, true);
    const int x = static_cast<int>(g.ScreenX(Index(1000)));
    EXPECT_EQ(f.PlotPixel(x, 3), clRed); // always red, whatever colour was given
    const int y3 = static_cast<int>(g.ScreenY(-3.0));
    EXPECT_EQ(f.PlotPixel(static_cast<int>(g.ScreenX(Index(1000)) - 4), y3), clYellow);
}

TEST(LMyFFTDrawTest, ResponseEngineDrawsOntoTheChannelGraph) {
    GraphForm f(1070);
    auto& g = *f.graph;
    Plot plot(&g.Graph());
    SetSection(plot.Section(0), 6.0, 1000.0, 1.4, ST_PEAK);
    SetSection(plot.Section(1), -4.0, 150.0, 2.0, ST_PEAK);
    SetSection(plot.Section(2), 3.0, 8000.0, 0.7, ST_HIGH_SHELF);
    plot.ComputeFilterCurve(true, 6, 60.0);
    plot.ComputeFilterCurve(false, 0, 20000.0);
    for (int n = 0; n < 3; ++n)
        plot.DrawSectionBlock(n, static_cast<float>(plot.Section(n).gain), BLOCK_CIRCLE);
    plot.DrawTotalCurve(0);
    plot.DrawSectionParam(0, 0, 6.0, 1.4, true);
    f.texts.clear();
    g.UpdateCurvePage();
    const QImage shown = f.Paint();
    Save(shown, "engine");

    int count = 0;
    ASSERT_TRUE(g.GetPlotNumPoints(count, SECTION_TOTAL));
    EXPECT_EQ(count, 4096);
    TColor colour = 0;
    ASSERT_TRUE(g.GetPlotColor(colour, SECTION_TOTAL));
    EXPECT_EQ(colour, TOTAL_COLOURS[0]);

    // The total passes through its value at 1 kHz and at 150 Hz on the screen.
    const TRect page = g.Page(LMyFFTDrawBase::prPlot).ScreenRect();
    const int i1k = static_cast<int>(std::lround(Index(1000)));
    EXPECT_NEAR(plot.Section(SECTION_TOTAL)[i1k], 6.0, 0.5);
    const int i150 = static_cast<int>(std::lround(Index(150)));
    const double total150 = plot.Section(SECTION_TOTAL)[i150];
    EXPECT_NEAR(total150, -4.0, 0.5);
    const int x = static_cast<int>(g.ScreenX(i150)) + 8, y = static_cast<int>(g.ScreenY(total150));
    bool found = false;
    for (int dy = -3; dy <= 3; ++dy)
        found = found || FromQRgb(shown.pixel(page.Left + x, page.Top + y + dy)) == TOTAL_COLOURS[0];
    EXPECT_TRUE(found);
    // The high-pass pulls the total far down at 20 Hz.
    EXPECT_LT(plot.Section(SECTION_TOTAL)[static_cast<int>(Index(20))], -10.0);

    // Handles at their bands, with their numbers and the filter labels.
    EXPECT_EQ(g.GetBlockPos(1), (TPoint{static_cast<int>(g.ScreenX(FrequencyToGridX(150.0))),
                                        static_cast<int>(g.ScreenY(-4.0))}));
    for (const char* t : {"1", "2", "3", "HPF", "LPF", "Q:1.40", "1.00KHz", " 6.0dB"})
        EXPECT_NE(f.Find(t), nullptr) << t;
    EXPECT_EQ(FromQRgb(shown.pixel(page.Left + g.GetBlockPos(31).X, page.Top + g.GetBlockPos(31).Y - 3)),
              BLOCK_COLOURS[31 % 14]);
    // The selected band is filled between its curve and 0 dB.
    const int x1k = page.Left + static_cast<int>(g.ScreenX(i1k)) + 3;
    EXPECT_GT(Grey(FromQRgb(shown.pixel(x1k, page.Top + static_cast<int>(g.ScreenY(2.0))))), 5);
    EXPECT_EQ(FromQRgb(shown.pixel(x1k, page.Top + static_cast<int>(g.ScreenY(10.5)))), clBlack);

    // The same through the window: the graph paints where its form puts it.
    const QImage window = f.form->RenderToImage();
    EXPECT_EQ(FromQRgb(window.pixel(g.Left() + page.Left + g.GetBlockPos(31).X,
                                    g.Top() + page.Top + g.GetBlockPos(31).Y - 3)),
              BLOCK_COLOURS[31 % 14]);
}

} // namespace

namespace {

TEST(LMyFFTDrawTest, CopyingFromAnotherGraph) {
    GraphForm a(1070), b(600, 200);
    std::vector<double> y(16, 1.0);
    for (int curve : {33, 39, 40})
        a.graph->FFTDraw(y.data(), 16, curve, clRed, TMyPlotStyle::Line);
    b.graph->AssignPlot(*a.graph);
    std::vector<int> order;
    for (const TPlotListMember* m = b.graph->Plots().Head(); m; m = m->Next)
        order.push_back(m->CurveNumber);
    EXPECT_EQ(order, (std::vector<int>{33, 39, 40})); // the source walks 40, 39, 33
    EXPECT_EQ(b.graph->Width(), 1070);
    EXPECT_EQ(b.graph->XMin(), 966.0);
    EXPECT_EQ(b.graph->AxisLabelFont()->Color(), clActiveBorder);
    EXPECT_EQ(b.graph->GetPlotWidth(), a.graph->GetPlotWidth());

    a.graph->FFTDraw(y.data(), 8, 5, clBlue, TMyPlotStyle::Line);
    b.graph->AppendPlotData(*a.graph);
    int count = 0;
    EXPECT_TRUE(b.graph->GetPlotNumPoints(count, 5));
    EXPECT_EQ(count, 8);
}

TEST(LMyFFTDrawTest, MouseMembersPanZoomAndReadOut) {
    GraphForm f(1070);
    auto& g = *f.graph;
    f.Paint();
    const TRect plot = g.Page(LMyFFTDrawBase::prPlot).ScreenRect();
    // Read-out: data values under the mouse on the coordinate page.
    f.texts.clear();
    const int px = static_cast<int>(g.ScreenX(Index(1000))), py = static_cast<int>(g.ScreenY(0));
    g.MouseMove1({}, plot.Left + px, plot.Top + py);
    EXPECT_NEAR(g.MouseX(), Index(1000), 3.0);
    EXPECT_NEAR(g.MouseY(), 0.0, 0.2);
    auto coords = f.TextsOn(LMyFFTDrawBase::prCoordinate);
    ASSERT_EQ(coords.size(), 2u);
    EXPECT_EQ(coords[0].Text.substr(0, 4), "x = ");
    EXPECT_EQ(coords[1].Text.substr(0, 4), "y = ");

    // A left drag moves the view with the mouse.
    const double span = g.XMax() - g.XMin();
    g.MouseDown1(TMouseButton::mbLeft, {}, plot.Left + px, plot.Top + py);
    g.MouseMove1({}, plot.Left + px + 100, plot.Top + py);
    g.MouseUp1(TMouseButton::mbLeft, {}, plot.Left + px + 100, plot.Top + py);
    EXPECT_NEAR(g.XMin(), 966.0 - 100 * span / g.GetPlotWidth(), 1e-9);
    EXPECT_NEAR(g.XMax() - g.XMin(), span, 1e-9);

    // A Ctrl box zooms into it; a box without area changes nothing.
    g.MouseDown1(TMouseButton::mbLeft, {TShiftItem::ssCtrl}, plot.Left + 100, plot.Top + 50);
    g.MouseMove1({TShiftItem::ssCtrl}, plot.Left + 300, plot.Top + 150);
    g.MouseUp1(TMouseButton::mbLeft, {TShiftItem::ssCtrl}, plot.Left + 300, plot.Top + 150);
    EXPECT_NEAR(g.ScreenX(g.XMin()), 0.0, 1e-6);
    const double xMin = g.XMin();
    g.MouseDown1(TMouseButton::mbLeft, {TShiftItem::ssCtrl}, plot.Left + 10, plot.Top + 10);
    g.MouseUp1(TMouseButton::mbLeft, {TShiftItem::ssCtrl}, plot.Left + 10, plot.Top + 10);
    EXPECT_EQ(g.XMin(), xMin);

    // Nothing happens while the mouse control is off.
    g.SetMouseControl(false);
    g.MouseDown1(TMouseButton::mbLeft, {}, plot.Left, plot.Top);
    g.MouseMove1({}, plot.Left + 50, plot.Top);
    EXPECT_EQ(g.XMin(), xMin);
}

} // namespace

namespace {

TEST(LMyFFTDrawTest, PhaseViewOfTheEngine) {
    GraphForm f(1070, 255, "LMyFFTDrawPhase");
    auto& g = *f.graph;
    // The main window's switch to the phase view.
    g.SetNumHorzGrid(7);
    g.SetYLabel("");
    g.SetYLabelScale(10.0);
    g.SetYMax(18);
    g.SetYMin(-18);
    Plot plot(&g.Graph());
    plot.SetCurveMode(1);
    SetSection(plot.Section(0), 6.0, 1000.0, 1.4, ST_PEAK);
    plot.ComputeFilterCurve(true, 6, 60.0);
    plot.DrawTotalCurve(2);
    f.texts.clear();
    const QImage shown = f.Paint();
    Save(shown, "phase");
    std::vector<std::string> labels = Strings(f.TextsOn(LMyFFTDrawBase::prYLabel));
    EXPECT_EQ(labels, (std::vector<std::string>{"+180", "-180", "-90", "0", "+90"}));
    // A high-pass leads: the phase at 60 Hz is well above 0.
    const int i60 = static_cast<int>(std::lround(Index(60)));
    const double phase60 = plot.Section(SECTION_TOTAL)[i60];
    EXPECT_GT(phase60, 3.0);
    const TRect page = g.Page(LMyFFTDrawBase::prPlot).ScreenRect();
    const int x = page.Left + static_cast<int>(g.ScreenX(i60)) + 4,
              y = page.Top + static_cast<int>(g.ScreenY(phase60));
    bool found = false;
    for (int dy = -4; dy <= 4; ++dy)
        found = found || FromQRgb(shown.pixel(x, y + dy)) == TOTAL_COLOURS[2];
    EXPECT_TRUE(found);
}

} // namespace

namespace {

// ---- Layers -------------------------------------------------------------------------------------

const double kBands[9][3] = {{4, 60, 1.0},    {-3, 150, 2.0},   {2.5, 400, 1.4},
                             {-6, 1000, 1.0}, {3, 2500, 3.0},   {-2, 5000, 1.0},
                             {5, 8000, 0.7},  {-4, 12000, 2.0}, {2, 15000, 1.0}};

void SetUpChannel(Plot& plot) {
    for (int n = 0; n < 9; ++n)
        SetSection(plot.Section(n), kBands[n][0], kBands[n][1], kBands[n][2], ST_PEAK);
    plot.ComputeFilterCurve(true, 6, 40.0);
    plot.ComputeFilterCurve(false, 6, 18000.0);
    for (int n = 0; n < 9; ++n)
        plot.DrawSectionBlock(n, static_cast<float>(kBands[n][0]), BLOCK_CIRCLE);
    plot.DrawSectionBlock(SECTION_HIGH_PASS, 0.0f, BLOCK_HPF);
    plot.DrawSectionBlock(SECTION_LOW_PASS, 0.0f, BLOCK_LPF);
}

// One step of dragging band 3, as the drag handler redraws it.
void Drag(LMyFFTDrawBase& g, Plot& plot, int k) {
    const double gain = std::round(10.0 * (-6.0 + 5.0 * std::sin(k * 0.7))) / 10.0;
    const double frequency = 1000.0 * std::pow(2.0, std::sin(k * 0.4));
    SetSection(plot.Section(3), gain, frequency, 1.0, ST_PEAK);
    plot.DrawSectionBlock(3, static_cast<float>(gain), BLOCK_CIRCLE);
    plot.DrawSectionParam(0, 3, gain, 1.0, true);
    plot.DrawTotalCurve(0);
    g.UpdateCurvePage();
}

void Overlay(LMyFFTDrawBase& g, Plot& plot, int section, double offset) {
    std::vector<double> curve(GRID_POINTS);
    for (int i = 0; i < GRID_POINTS; ++i)
        curve[static_cast<size_t>(i)] = 5.0 * std::sin(i * 0.002 + offset) + offset;
    plot.Section(section).CopyCurve(curve.data());
    plot.ShowOverlay(section, TOTAL_COLOURS[static_cast<size_t>(section % 8)]);
    g.UpdateCurvePage();
}

void Mode(LMyFFTDrawBase& g, Plot& plot, bool phase) {
    plot.SetCurveMode(phase ? 1 : 0);
    for (int n = 0; n < 9; ++n)
        SetSection(plot.Section(n), kBands[n][0], kBands[n][1], kBands[n][2], ST_PEAK);
    plot.ComputeFilterCurve(true, 6, 40.0);
    plot.ComputeFilterCurve(false, 6, 18000.0);
    g.SetNumHorzGrid(phase ? 7 : 11);
    g.SetYLabel(phase ? "" : "dB");
    g.SetYLabelScale(phase ? 10.0 : 1.0);
    g.SetYMax(18.0);
    g.SetYMin(-18.0);
    plot.DrawSectionParam(0, 3, kBands[3][0], 1.0, true);
    plot.DrawTotalCurve(0);
    g.UpdateCurvePage();
}

TEST(LMyFFTDrawTest, LayeredDrawingGivesThePixelsOfDrawingEverythingAgain) {
    // The same steps on a graph that keeps its layers and on one that draws everything every time,
    // which also redraws itself whole before every comparison.
    GraphForm layered(1070), full(1070);
    full.graph->SetLayerCache(false);
    Plot a(&layered.graph->Graph()), b(&full.graph->Graph());
    layered.Paint();
    full.Paint();
    int step = 0;
    auto both = [&](const std::function<void(LMyFFTDrawBase&, Plot&)>& action) {
        action(*layered.graph, a);
        action(*full.graph, b);
        ++step;
        const QImage expected = (full.graph->Redraw(), full.graph->UpdateCurvePage(), full.Paint());
        const QImage shown = layered.Paint();
        ASSERT_EQ(shown.size(), expected.size()) << "step " << step;
        EXPECT_TRUE(shown == expected) << "step " << step;
        if (shown != expected) {
            Save(shown, "layers-" + std::to_string(step));
            Save(expected, "full-" + std::to_string(step));
        }
    };
    both([](LMyFFTDrawBase& g, Plot& p) {
        SetUpChannel(p);
        p.DrawTotalCurve(0);
        p.DrawSectionParam(0, 3, kBands[3][0], 1.0, true);
        g.UpdateCurvePage();
    });
    for (int k = 0; k < 4; ++k)
        both([k](LMyFFTDrawBase& g, Plot& p) { Drag(g, p, k); });
    both([](LMyFFTDrawBase& g, Plot& p) { Overlay(g, p, 39, 2.0); });
    both([](LMyFFTDrawBase& g, Plot& p) { Overlay(g, p, 40, -4.0); });
    for (int k = 4; k < 7; ++k)
        both([k](LMyFFTDrawBase& g, Plot& p) { Drag(g, p, k); });
    both([](LMyFFTDrawBase& g, Plot& p) {
        p.RemoveOverlay(39);
        g.UpdateCurvePage();
    });
    both([](LMyFFTDrawBase& g, Plot& p) { Drag(g, p, 7); });
    // A resize is laid out and drawn by the next paint.
    both([](LMyFFTDrawBase& g, Plot&) { g.SetBounds(g.Left(), g.Top(), 900, 320); });
    both([](LMyFFTDrawBase& g, Plot& p) { Drag(g, p, 8); });
    both([](LMyFFTDrawBase& g, Plot& p) { Mode(g, p, true); });
    both([](LMyFFTDrawBase& g, Plot& p) { Drag(g, p, 9); });
    both([](LMyFFTDrawBase& g, Plot& p) { Overlay(g, p, 41, 1.0); });
    both([](LMyFFTDrawBase& g, Plot& p) { Mode(g, p, false); });
    both([](LMyFFTDrawBase& g, Plot&) {
        g.SetParameterDisplay(true);
        g.DrawTextA(g.Width() / 3, g.Height() / 4, 60, clBtnFace, "Times New Roman", "BYPASS");
        g.UpdateCurvePage();
    });
    both([](LMyFFTDrawBase& g, Plot& p) { Drag(g, p, 10); });
    both([](LMyFFTDrawBase& g, Plot&) { g.SetBounds(g.Left(), g.Top(), 1070, 255); });
    both([](LMyFFTDrawBase& g, Plot& p) {
        g.DrawTextA(0, 0, 60, clBtnFace, "Times New Roman", "");
        Drag(g, p, 11);
    });
}

// The colour a pixel of `background` takes when the fill colour is laid over it `times` times.
QRgb Blended(QRgb background, int times) {
    QImage one(1, 1, QImage::Format_RGB32);
    one.fill(background);
    QPainter p(&one);
    for (int i = 0; i < times; ++i)
        p.fillRect(0, 0, 1, 1, QColor(128, 128, 128, 30));
    p.end();
    return one.pixel(0, 0);
}

TEST(LMyFFTDrawTest, BandFillSetsWholePixels) {
    GraphForm f(1070);
    auto& g = *f.graph;
    f.Paint();
    std::vector<double> bump(4096), shelf(4096), highPass(4096);
    for (int i = 0; i < 4096; ++i) {
        const double octaves = (i - Index(1000)) / (Index(2000) - Index(1000));
        bump[static_cast<size_t>(i)] = 9.0 * std::exp(-octaves * octaves);
        shelf[static_cast<size_t>(i)] = -7.0 / (1.0 + std::exp((i - Index(300)) / 40.0));
        highPass[static_cast<size_t>(i)] =
            std::min(0.0, 12.0 * std::log2(std::max(1.0, static_cast<double>(i)) / Index(2000)));
    }
    struct Case {
        int type;
        double gain;
        const std::vector<double>* curve;
    };
    int allTwice = 0;
    for (const Case& c : {Case{0, 9.0, &bump}, Case{1, -7.0, &shelf}, Case{6, 0.0, &highPass}}) {
        g.DrawAllPlots();
        const QImage base = g.Page(LMyFFTDrawBase::prPlot).Bitmap()->Image().copy();
        g.DrawParam(c.type, c.gain, Index(1000), 1000.0f, 1.0, clYellow);
        g.DrawAllPlots(); // the texts away, the type kept
        g.DrawCurveFill(c.type, c.curve->data(), 4096);
        const QImage& filled = g.Page(LMyFFTDrawBase::prPlot).Bitmap()->Image();
        int once = 0, twice = 0, partial = 0;
        for (int y = 0; y < base.height(); ++y)
            for (int x = 0; x < base.width(); ++x) {
                const QRgb b = base.pixel(x, y), v = filled.pixel(x, y);
                if (v == b)
                    continue;
                if (v == Blended(b, 1))
                    ++once;
                else if (v == Blended(b, 2))
                    ++twice;
                else if (++partial < 4)
                    ADD_FAILURE() << std::hex << b << " " << v << " " << Blended(b, 1) << " " << Blended(b, 2)
                                  << " " << Blended(b, 3) << std::dec << " at " << x << "," << y;
            }
        EXPECT_EQ(partial, 0) << "type " << c.type;
        EXPECT_GT(once, 1000) << "type " << c.type; // the filled area
        allTwice += twice;                          // where the outline runs over the fill
    }
    EXPECT_GT(allTwice, 100);
}

TEST(LMyFFTDrawTest, CopyConstructorsCopyCurvesAndLook) {
    GraphForm f(1070);
    f.graph->SetYMax(24.0);
    std::vector<double> y(16, 1.0);
    for (int curve : {33, 39, 40})
        f.graph->FFTDraw(y.data(), 16, curve, clRed, TMyPlotStyle::Line);
    auto* source = dynamic_cast<LMyFFTDrawHpLp6dB*>(f.graph);
    ASSERT_NE(source, nullptr);
    LMyFFTDrawHpLp6dB copy(f.form.get(), *source);
    std::vector<int> order;
    for (const TPlotListMember* m = copy.Plots().Head(); m; m = m->Next)
        order.push_back(m->CurveNumber);
    EXPECT_EQ(order, (std::vector<int>{33, 39, 40}));
    EXPECT_EQ(copy.YMax(), 24.0);
    EXPECT_EQ(copy.XMin(), 966.0);
    EXPECT_EQ(copy.Width(), 1070);
    EXPECT_EQ(copy.AxisLabelFont()->Color(), clActiveBorder);
    EXPECT_EQ(copy.GetPlotWidth(), f.graph->GetPlotWidth());

    GraphForm p(600, 200, "LMyFFTDrawPhase");
    p.graph->SetNumHorzGrid(7);
    LMyFFTDrawPhase phase(p.form.get(), *dynamic_cast<LMyFFTDrawPhase*>(p.graph));
    EXPECT_EQ(phase.NumHorzGrid(), 7);
    EXPECT_EQ(phase.Width(), 600);
}

} // namespace

// A held graph takes any run of changes, paints included, without drawing its curves; the last release
// draws them once, and the graph then shows what the same changes show unheld.
TEST(LMyFFTDrawTest, HeldDrawingEndsInOneDrawWithTheUnheldPicture) {
    GraphForm held(1070), plain(1070);
    held.Paint();
    plain.Paint();
    std::vector<double> high(4096, 7.5), low(4096, -4.5);
    auto changes = [&](GraphForm& f, bool paintBetween) {
        LMyFFTDrawBase& g = *f.graph;
        g.FFTDraw(high.data(), 4096, 3, clRed, TMyPlotStyle::Line);
        g.FFTDraw(low.data(), 4096, 5, clLime, TMyPlotStyle::Line);
        g.DrawLine(g.ScreenX(Index(1000)), clYellow, false);
        if (paintBetween)
            f.Paint();
        g.SetYMax(24.0);
        g.RemovePlot(3);
        g.FFTDraw(high.data(), 4096, 5, clBlue, TMyPlotStyle::Line);
        g.DrawTextA(40, 20, 9, clWhite, "Arial", "held");
        g.UpdateCurvePage();
    };
    changes(plain, false);
    LMyFFTDrawBase& g = *held.graph;
    const unsigned before = g.PlotDraws();
    g.HoldDrawing();
    g.HoldDrawing();
    changes(held, true);
    g.ReleaseDrawing();
    EXPECT_EQ(g.PlotDraws(), before);
    g.ReleaseDrawing();
    EXPECT_EQ(g.PlotDraws(), before + 1);
    EXPECT_EQ(held.Paint(), plain.Paint());
    g.ReleaseDrawing(); // one release too many does nothing
    EXPECT_EQ(g.PlotDraws(), before + 1);
}
