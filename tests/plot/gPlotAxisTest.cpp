#include "plot/gPlotAxis.h"

#include "plot/gDraw.h"
#include "plot/gPlotManagers.h"
#include "plot/gPropStream.h"
#include "plot/gPropText.h"
#include "tests/plot/PlotTestWiring.h"

#include <gtest/gtest.h>

#include <QImage>

#include <climits>
#include <cmath>
#include <memory>
#include <sstream>

using namespace kv;

namespace {

// A plot as far as its axes see it: the two axis managers wired as the master manager wires them, the
// axis events written down as text, and the label collision list of one paint.
class AxisPlot : public kvtest::TestPlotWiring, public TComponent, public IgPlotAxisHost {
public:
    AxisPlot() : TComponent(nullptr) {
        gRegisterPlotAxisClasses(); // other suites register stand-ins under the same names
        xAxes = std::make_unique<TgPlotXAxisManager>(this, change, insert, remove, rename);
        yAxes = std::make_unique<TgPlotYAxisManager>(this, change, insert, remove, rename);
    }
    ~AxisPlot() override {
        xAxes.reset();
        yAxes.reset();
    }

    TgPlotAxis* Add(TgPlotObjectManagerCustom& m) {
        auto* axis = static_cast<TgPlotAxis*>(m.CreateObject());
        axis->DoInsert();
        return axis;
    }
    TgPlotAxis* AddX() { return Add(*xAxes); }
    TgPlotAxis* AddY() { return Add(*yAxes); }

    TgPlotAxis* GetXAxisByName(const std::string& name) override {
        return static_cast<TgPlotAxis*>(xAxes->GetObjectByName(name));
    }
    TgPlotAxis* GetYAxisByName(const std::string& name) override {
        return static_cast<TgPlotAxis*>(yAxes->GetObjectByName(name));
    }
    bool PlotIsLoading() const override { return loading; }
    void DoAxisMinChange(TgPlotAxis* a, double o, double n) override { Log(a, "min", {o, n}); }
    void DoAxisSpanChange(TgPlotAxis* a, double o, double n) override { Log(a, "span", {o, n}); }
    void DoAxisMinSpanChange(TgPlotAxis* a, double om, double os, double nm, double ns) override {
        Log(a, "minspan", {om, os, nm, ns});
    }
    void DoAxisCustomizeLabel(TgPlotAxis* a, double value, std::string& label) override {
        if (customize)
            customize(a, value, label);
    }
    void DoAxisCustomizeHint(TgPlotAxis*, std::string& text) override { text += " (hint)"; }
    void RegisterLabelRect(const TRect& r) override { occupied.push_back(r); }
    bool TestLabelRect(const TRect& r) override {
        for (const TRect& o : occupied)
            if (r.Left < o.Right && o.Left < r.Right && r.Top < o.Bottom && o.Top < r.Bottom)
                return false;
        occupied.push_back(r);
        return true;
    }
    TCanvas* HintCanvas() override { return hintBitmap.Canvas(); }
    bool GetChannelsRange(TgPlotAxis*, bool running, double& lo, double& hi) override {
        if (!hasRange)
            return false;
        lo = running ? runningLo : rangeLo;
        hi = running ? runningHi : rangeHi;
        return true;
    }

    std::unique_ptr<TgPlotObjectManagerCustom> xAxes, yAxes;
    std::vector<std::string> events;
    std::vector<TRect> occupied;
    bool loading = false;
    std::function<void(TgPlotAxis*, double, std::string&)> customize;
    TBitmap hintBitmap{10, 10};
    bool hasRange = false;
    double rangeLo = 0, rangeHi = 0, runningLo = 0, runningHi = 0;

private:
    void Log(TgPlotAxis* a, const char* what, std::initializer_list<double> values) {
        std::ostringstream s;
        s << a->Name() << ' ' << what;
        for (double v : values)
            s << ' ' << v;
        events.push_back(s.str());
    }
};

std::vector<double> Positions(const TgPlotAxis& a, TgPlotTickType type) {
    std::vector<double> out;
    for (int i = 0; i < a.TickListCount(); ++i)
        if (a.Tick(i).TickType == type)
            out.push_back(a.Tick(i).Position);
    return out;
}

std::vector<std::string> MajorTexts(const TgPlotAxis& a) {
    std::vector<std::string> out;
    for (int i = 0; i < a.TickListCount(); ++i)
        if (a.Tick(i).TickType == TgPlotTickType::ipttMajor)
            out.push_back(a.Tick(i).Text);
    return out;
}

// The label pitch of a horizontal axis with upright labels: the widest label and the separation.
int LabelPitch(TgPlotAxis& a, TCanvas& canvas) {
    canvas.SetFont(a.LabelsFont());
    const double w0 = canvas.TextWidth("0");
    return int(std::nearbyint(w0 * (a.LabelSeparation() + 1) + a.GetMaxLabelWidth(canvas, a.LabelsFont())));
}

} // namespace

TEST(gPlotAxis, TicksFollowTheLabelsThatFitAlongTheAxis) {
    // The device editor's axes: two significant digits over a span of 120 give whole numbers.
    struct Case {
        int labels;
        double major;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {7, 20, {"-100", "-80", "-60", "-40", "-20", "0", "20"}},
        {6, 20, {"-100", "-80", "-60", "-40", "-20", "0", "20"}},
        {5, 50, {"-80", "-30", "20"}}, // the decimal step, aligned to the desired start
    };
    AxisPlot plot;
    TgPlotAxis* x = plot.AddX();
    x->SetMinSpan(-100, 120);
    x->SetDesiredStart(20);
    x->SetDesiredIncrement(20);
    x->SetMinorCount(4);
    x->SetLabelsPrecision(2);
    TBitmap bitmap(10, 10);
    TCanvas& canvas = *bitmap.Canvas();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.labels);
        const int pitch = LabelPitch(*x, canvas);
        x->SetDrawRect({0, 0, c.labels * pitch + pitch / 2, 40});
        x->CalcTicks(canvas);
        EXPECT_EQ(x->MajorIncrement(), c.major);
        EXPECT_EQ(x->MinorIncrement(), c.major / 5);
        EXPECT_EQ(MajorTexts(*x), c.texts);
        const auto minors = Positions(*x, TgPlotTickType::ipttMinor);
        EXPECT_EQ(minors.size(), c.major == 20 ? 24u : 10u);
        for (int i = 0; i < x->TickListCount(); ++i) {
            const TgPlotTick& t = x->Tick(i);
            EXPECT_TRUE(t.Show);
            EXPECT_EQ(t.PositionPixels, x->PositionToPixels(t.Position));
            if (t.TickType == TgPlotTickType::ipttMinor) {
                EXPECT_EQ(t.Text, "");
            }
        }
    }
    EXPECT_THROW(x->Tick(x->TickListCount()), EKvError);
}

TEST(gPlotAxis, LogarithmicAxis) {
    AxisPlot plot;
    TgPlotAxis* x = plot.AddX();
    TBitmap bitmap(10, 10);
    TCanvas& canvas = *bitmap.Canvas();
    x->SetScaleType(TgPlotScaleType::ipstLog10);
    x->SetMinSpan(1, 999);
    x->SetDrawRect({0, 0, 600, 40});
    x->CalcTicks(canvas);
    EXPECT_EQ(Positions(*x, TgPlotTickType::ipttMajor), (std::vector<double>{1, 10, 100, 1000}));
    EXPECT_EQ(MajorTexts(*x), (std::vector<std::string>{"1.00", "10.0", "100", "1000"}));
    std::vector<double> minors;
    for (double decade : {1, 10, 100})
        for (int j = 2; j <= 9; ++j)
            minors.push_back(j * decade);
    EXPECT_EQ(Positions(*x, TgPlotTickType::ipttMinor), minors);
    EXPECT_EQ(x->PositionToPixels(10), 200);
    EXPECT_EQ(x->PositionToPixels(100), 400);

    // One decade takes even linear steps, on the logarithmic mapping.
    x->SetMinSpan(1, 9);
    x->CalcTicks(canvas);
    const auto majors = Positions(*x, TgPlotTickType::ipttMajor);
    ASSERT_GE(majors.size(), 3u);
    EXPECT_LT(x->MajorIncrement(), 9);
    for (std::size_t i = 1; i < majors.size(); ++i)
        EXPECT_NEAR(majors[i] - majors[i - 1], x->MajorIncrement(), 1e-12);
    EXPECT_EQ(majors.back(), 10);
    EXPECT_EQ(x->PositionToPixels(std::sqrt(10.0)), 300);
}

TEST(gPlotAxis, NonPositiveRangeOnALogAxisNeverGivesNaN) {
    AxisPlot plot;
    TgPlotAxis* x = plot.AddX();
    x->SetMin(-5);
    plot.events.clear();
    x->SetScaleType(TgPlotScaleType::ipstLog10);
    EXPECT_EQ(x->Min(), 1);
    EXPECT_TRUE(plot.events.empty()); // the switch corrects Min without an event

    x->SetMinSpan(-5, -3);
    EXPECT_EQ(x->Min(), 1);
    EXPECT_EQ(x->Span(), 1);
    EXPECT_EQ(plot.events, (std::vector<std::string>{"X-Axis 1 span 100 1", "X-Axis 1 minspan 1 100 1 1"}));

    // A minimum set below 0 afterwards counts as 1 wherever the axis maps or labels.
    x->SetMinSpan(1, 999);
    x->SetMin(-5);
    ASSERT_EQ(x->Min(), -5);
    TBitmap bitmap(10, 10);
    x->SetDrawRect({0, 0, 300, 40});
    x->CalcTicks(*bitmap.Canvas());
    EXPECT_EQ(x->PixelsToPosition(0), 1);
    EXPECT_TRUE(std::isfinite(x->PixelsToPosition(300)));
    EXPECT_TRUE(std::isfinite(x->PercentToPosition(0.5)));
    EXPECT_EQ(x->PositionToPixels(-3), 0);
    ASSERT_GT(x->TickListCount(), 0);
    for (int i = 0; i < x->TickListCount(); ++i)
        EXPECT_GT(x->Tick(i).Position, 0);
    EXPECT_EQ(x->GetLabelText(-5), "Unknown");
    EXPECT_EQ(x->GetLabelText(0), "Unknown");
    EXPECT_THROW(x->TickListAdd(0, "0", TgPlotTickType::ipttMajor), EKvError);
}

TEST(gPlotAxis, SpanZeroPutsEverythingInTheMiddle) {
    AxisPlot plot;
    TgPlotAxis* y = plot.AddY();
    y->SetMin(5);
    plot.events.clear();
    y->SetSpan(0);
    EXPECT_EQ(y->Span(), 1e-300);
    EXPECT_EQ(plot.events.size(), 2u);
    y->SetDrawRect({0, 100, 40, 300});
    TBitmap bitmap(10, 10);
    y->CalcTicks(*bitmap.Canvas());
    for (double v : {-1e6, 5.0, 1e6})
        EXPECT_EQ(y->PositionToPixels(v), 200);
    ASSERT_EQ(y->TickListCount(), 1);
    EXPECT_EQ(y->Tick(0).Position, y->Mid());
    EXPECT_EQ(y->Tick(0).PositionPixels, 200);
}

TEST(gPlotAxis, PixelRoundTripsLinearLogarithmicAndReversed) {
    struct Case {
        bool yAxis;
        TgPlotScaleType type;
        bool reverse;
        int minPixels, maxPixels;
    };
    const auto lin = TgPlotScaleType::ipstLinear, log = TgPlotScaleType::ipstLog10;
    const Case cases[] = {
        {false, lin, false, 10, 410}, {false, lin, true, 410, 10}, {false, log, false, 10, 410},
        {false, log, true, 410, 10},  {true, lin, false, 420, 20}, {true, lin, true, 20, 420},
        {true, log, false, 420, 20},  {true, log, true, 20, 420},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "y " << c.yAxis << " log " << int(c.type) << " reversed " << c.reverse);
        AxisPlot plot;
        TgPlotAxis* a = c.yAxis ? plot.AddY() : plot.AddX();
        a->SetScaleType(c.type);
        a->SetMinSpan(c.type == log ? 0.01 : -3.5, c.type == log ? 99.99 : 0.01);
        a->SetReverseScale(c.reverse);
        a->SetDrawRect(c.yAxis ? TRect{0, 20, 40, 420} : TRect{10, 0, 410, 30});
        TBitmap bitmap(10, 10);
        a->CalcScaleRect(*bitmap.Canvas());
        EXPECT_EQ(a->MinPixels(), c.minPixels);
        EXPECT_EQ(a->MaxPixels(), c.maxPixels);
        const int first = c.yAxis ? 20 : 10, last = c.yAxis ? 420 : 410;
        for (int p = first; p <= last; ++p)
            ASSERT_EQ(a->PositionToPixels(a->PixelsToPosition(p)), p) << p;
        EXPECT_TRUE(a->PointOnScale(a->Max()));
        EXPECT_FALSE(a->PointOnScale(a->Max() + a->Span() / 10));
        if (c.type == lin) {
            for (double v : {-3.5, -3.495, -3.4925})
                EXPECT_NEAR(a->PercentToPosition(a->PositionToPercent(v)), v, 1e-12);
        }
    }
}

TEST(gPlotAxis, TextsFollowTheirSettingsAndTheUsersSeparator) {
    AxisPlot plot;
    TgPlotAxis* x = plot.AddX();
    x->SetMinSpan(0, 0.5);
    x->SetLabelsPrecision(2);
    gSetLocaleDecimalSeparator(',');
    EXPECT_EQ(x->GetLabelText(0.25), "0,25");
    EXPECT_EQ(x->GetLegendText(0.25), "0,25"); // the legend uses the label settings by default
    gSetLocaleDecimalSeparator('.');
    EXPECT_EQ(x->GetLabelText(0.25), "0.25");
    gSetLocaleDecimalSeparator(0);

    x->SetCursorUseDefaultFormat(false);
    x->SetCursorFormatStyle(TgPlotTextFormat::iptfExponent);
    EXPECT_EQ(x->GetCursorText(0.00765), "7.65E-003");
    EXPECT_EQ(x->GetCursorValueText(0.00765), "0.008"); // always the plain value, 3 digits of the span

    // Line breaks become blanks in cursor and legend texts, not in labels.
    x->SetLabelsFormatStyle(TgPlotTextFormat::iptfDateTime);
    x->SetDateTimeFormat("hh:nn\r\nss");
    EXPECT_EQ(x->GetLabelText(0.5), "12:00\r\n00");
    EXPECT_EQ(x->GetLegendText(0.5), "12:00 00");
    x->SetLabelsFormatStyle(TgPlotTextFormat::iptfValue);

    // The customize-label event may change the text; a text set on the axis meanwhile wins.
    plot.customize = [](TgPlotAxis*, double v, std::string& label) {
        label = "<" + label + ">" + (v < 0 ? "-" : "");
    };
    EXPECT_EQ(x->GetLabelText(0.25), "<0.25>");
    plot.customize = [](TgPlotAxis* a, double, std::string& label) {
        label = "ignored";
        a->SetCustomizeLabelEventText("set");
    };
    EXPECT_EQ(x->GetLabelText(0.25), "set");
    plot.loading = true;
    EXPECT_EQ(x->GetLabelText(0.25), "0.25"); // no event while the plot loads
    plot.loading = false;
    plot.customize = nullptr;
}

TEST(gPlotAxis, LabelMinimumLengthGrowsOnlyFromTheWidestLabelEstimate) {
    for (bool autoAdjust : {false, true}) {
        AxisPlot plot;
        TgPlotAxis* x = plot.AddX();
        x->SetMinSpan(-100000, 120000);
        x->SetLabelsMinLength(2);
        x->SetLabelsMinLengthAutoAdjust(autoAdjust);
        x->GetLabelText(-100000);
        EXPECT_EQ(x->LabelsMinLength(), 2); // plain formatting never adjusts
        TBitmap bitmap(10, 10);
        x->GetMaxLabelWidth(*bitmap.Canvas(), x->LabelsFont());
        EXPECT_EQ(x->LabelsMinLength(), autoAdjust ? 6 : 2) << "estimate 120000"; // trunc(Min/Span)*Span+Span
    }
}

TEST(gPlotAxis, RangeEventsFireOnceEachAndNotWhileLoading) {
    AxisPlot plot;
    TgPlotAxis* x = plot.AddX();
    x->SetMin(5);
    EXPECT_EQ(plot.events, (std::vector<std::string>{"X-Axis 1 min 0 5", "X-Axis 1 minspan 0 100 5 100"}));
    plot.events.clear();
    x->SetMinSpan(5, 100);
    x->SetMin(5);
    EXPECT_TRUE(plot.events.empty());
    x->SetMinSpan(1, 50);
    EXPECT_EQ(plot.events, (std::vector<std::string>{"X-Axis 1 min 5 1", "X-Axis 1 span 100 50",
                                                     "X-Axis 1 minspan 5 100 1 50"}));
    plot.events.clear();
    x->SetBlockMinSpanEvents(true);
    x->SetSpan(10);
    EXPECT_TRUE(plot.events.empty());
    x->SetBlockMinSpanEvents(false);
    plot.loading = true;
    x->SetMinSpan(2, 3);
    x->SetMin(7);
    EXPECT_TRUE(plot.events.empty());
    EXPECT_EQ(x->Min(), 7);
    EXPECT_EQ(x->Span(), 3);
}

TEST(gPlotAxis, RequiredWidthCountsMarginsTicksLabelsAndTitle) {
    AxisPlot plot;
    TgPlotAxis* x = plot.AddX();
    TBitmap bitmap(10, 10);
    TCanvas& canvas = *bitmap.Canvas();
    x->SetLabelsVisible(false);
    EXPECT_EQ(x->GetRequiredWidth(canvas), 5 + 5 + 7);
    EXPECT_EQ(x->GetRequiredEndsMargin(canvas), 0);
    x->SetMinorLength(9);
    x->SetMajorLength(-4);
    EXPECT_EQ(x->GetRequiredWidth(canvas), 5 + 5 + 9);
    x->SetScaleLinesShow(false);
    EXPECT_EQ(x->GetRequiredWidth(canvas), 5 + 5);

    x->SetTitleShow(true);
    x->SetTitle("Level");
    canvas.SetFont(x->TitleFont());
    const int th = gTextHeightMultiLine(canvas, "Level");
    EXPECT_EQ(x->GetRequiredWidth(canvas), 10 + int(std::nearbyint(th * 1.25)));

    x->SetLabelsVisible(true);
    canvas.SetFont(x->LabelsFont());
    const int labelDepth =
        gTextHeightMultiLine(canvas, "0") + int(std::nearbyint(canvas.TextHeight("A") * 0.25));
    EXPECT_EQ(x->GetRequiredWidth(canvas), 10 + int(std::nearbyint(th * 1.25)) + labelDepth);
    EXPECT_EQ(x->GetRequiredEndsMargin(canvas), x->GetMaxLabelWidth(canvas, x->LabelsFont()) / 2);

    // Huge settings saturate instead of overflowing.
    x->SetLabelsMinLength(1e30);
    x->SetLabelsRotation(TgRotationAngle::ira090);
    EXPECT_EQ(x->GetRequiredWidth(canvas), INT_MAX);
    x->SetDrawRect({0, 0, 400, 40});
    x->CalcTicks(canvas);
    EXPECT_GE(x->TickListCount(), 1);
}

TEST(gPlotAxis, RemovedOrRenamedReferenceAxisLeavesNoDanglingPointer) {
    AxisPlot plot;
    TgPlotAxis* x = plot.AddX();
    TgPlotAxis* y1 = plot.AddY();
    TgPlotAxis* y2 = plot.AddY();
    y1->SetCartesianStyle(TgPlotCartesianStyle::ipcsChild);
    y1->SetCartesianChildRefAxisName("x-axis 1");
    y2->SetAlignRefAxisName("Y-Axis 1");
    EXPECT_EQ(y1->GetCartesianRefAxis(), x);
    EXPECT_EQ(y2->GetAlignRefAxis(), y1);
    EXPECT_EQ(y1->GetAlignRefAxis(), nullptr); // "<None>"

    x->SetName("Frequency");
    EXPECT_EQ(y1->CartesianChildRefAxisName(), "Frequency");
    y1->SetName("Level");
    EXPECT_EQ(y2->AlignRefAxisName(), "Y-Axis 1"); // the align reference keeps its name

    delete x;
    EXPECT_EQ(y1->GetCartesianRefAxis(), nullptr);
    delete y1;
    EXPECT_EQ(y2->GetAlignRefAxis(), nullptr);
    // A new axis of the referenced name is found on next use.
    TgPlotAxis* again = plot.AddY();
    again->SetName("Y-Axis 1");
    EXPECT_EQ(y2->GetAlignRefAxis(), again);
}

TEST(gPlotAxis, DeclaredDefaultsAreTheBuiltValuesAndEverySettingSurvivesAStream) {
    AxisPlot plot;
    for (TgPlotAxis* a : {plot.AddX(), plot.AddY()})
        for (const auto& p : a->ClassInfo().Props())
            if (p->HasDefault) {
                EXPECT_EQ(p->GetOrd(*a), p->Default) << a->ClassName() << "." << p->Name;
            }

    TgPlotAxis* from = plot.AddX();
    from->SetMinSpan(-3, 7);
    from->SetLabelSeparation(0);
    from->SetTitleMargin(0);
    from->SetLabelsRotation(TgRotationAngle::ira270);
    from->SetTrackingStyle(TgPlotTrackingStyle::iptsScrollPage);
    from->SetLegendUseDefaultFormat(false);
    from->SetLegendFormatStyle(TgPlotTextFormat::iptfThousands);
    from->SetCartesianChildRefAxisName("Level");
    from->SetTrackingEnabled(false);
    from->LabelsFont()->SetColor(clYellow);
    TgWriter writer;
    gWriteProperties(writer, *from);
    writer.WriteListEnd();
    TgReader reader(writer.Values());
    TgPlotAxis* to = plot.AddY();
    plot.loading = true;
    gReadProperties(reader, *to);
    plot.loading = false;
    for (const auto& p : from->ClassInfo().Props())
        if (p->Name != "Name" && p->Name != "Title" && p->Kind != TTypeKind::tkClass) {
            EXPECT_EQ(p->ValueText(*to), p->ValueText(*from)) << p->Name;
        }
    EXPECT_EQ(to->LabelsFont()->Color(), clYellow);
    EXPECT_EQ(to->LabelSeparation(), 0);
}

namespace {

// An axis drawn on black, white scale lines and white labels.
struct Drawn {
    TBitmap bitmap{320, 220};
    TCanvas& canvas = *bitmap.Canvas();
    Drawn() {
        canvas.Brush()->SetColor(clBlack);
        canvas.FillRect({0, 0, 320, 220});
    }
    TColor At(int x, int y) { return ColorToRGB(canvas.Pixel(x, y)); }
    // Pixels in the rectangle that are not background.
    int Ink(const TRect& r) {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                n += At(x, y) != clBlack;
        return n;
    }
};

} // namespace

TEST(gPlotAxis, DrawsScaleTicksLabelsTitleAndGrid) {
    AxisPlot plot;
    Drawn d;
    // A data view from (60, 10) to (300, 160), an X axis below it and a Y axis left of it.
    TgPlotAxis* x = plot.AddX();
    x->SetMinSpan(0, 100);
    x->SetMinorCount(1);
    x->SetDesiredIncrement(50);
    x->SetDrawRect({60, 160, 300, 210});
    TgPlotAxis* y = plot.AddY();
    y->SetMinSpan(-60, 60);
    y->SetTitleShow(true);
    y->SetTitle("dB");
    y->SetLabelsFont(x->LabelsFont());
    y->LabelsFont()->SetColor(clYellow);
    y->SetDrawRect({0, 10, 60, 160});
    for (TgPlotAxis* a : {x, y}) {
        a->CalcTicks(d.canvas);
        a->DrawSetup();
        a->Draw(d.canvas, clBlack);
    }
    x->DrawGridLines(d.canvas, {60, 10, 300, 160}, 1, 1, clGray, clGreen, TgPlotGridLineStyle::ipglsDot,
                     TgPlotGridLineStyle::ipglsSolid, false, true);
    d.bitmap.Image().save(QString::fromStdString(::testing::TempDir() + "kv-plot-axes.png"));

    EXPECT_EQ(x->QuadSide(), TgQuadSide::iqsBottom);
    EXPECT_EQ(y->QuadSide(), TgQuadSide::iqsLeft);
    EXPECT_EQ(x->MajorIncrement(), 50);
    // X: scale line at the inner margin below the data view, across the whole scale.
    for (int px : {60, 180, 300})
        EXPECT_EQ(d.At(px, 165), clWhite) << px;
    // Major strokes run 7 pixels outwards from the line, minors 3 pixels up to it.
    const int p50 = x->PositionToPixels(50), p25 = x->PositionToPixels(25);
    EXPECT_EQ(p50, 180);
    EXPECT_EQ(d.At(p50, 171), clWhite);
    EXPECT_EQ(d.At(p50, 172), clBlack); // the end pixel is left out
    EXPECT_EQ(d.At(p25, 166), clWhite);
    EXPECT_EQ(d.At(p25, 168), clWhite);
    EXPECT_EQ(d.At(p25, 169), clBlack);
    // Labels below the strokes, centred on the majors only.
    EXPECT_GT(d.Ink({p50 - 12, 175, p50 + 12, 195}), 10);
    EXPECT_EQ(d.Ink({p25 - 2, 172, p25 + 2, 200}), 0);
    // Grid lines on the majors only, across the data view.
    EXPECT_EQ(d.At(p50, 80), clGreen);
    EXPECT_EQ(d.At(p25, 80), clBlack);
    // Y: scale line right of the labels, yellow labels, the title turned at the outer margin.
    EXPECT_EQ(d.At(55, 85), clWhite);
    int yellow = 0; // text is smoothed: count the yellowish pixels
    for (int py = 10; py < 160; ++py)
        for (int px = 15; px < 48; ++px) {
            const TColor c = d.At(px, py);
            yellow += (c & 0xFF) > 128 && ((c >> 8) & 0xFF) > 128 && ((c >> 16) & 0xFF) < 64;
        }
    EXPECT_GT(yellow, 30);
    EXPECT_GT(d.Ink({5, 70, 15, 100}), 5);
}

TEST(gPlotAxis, CartesianAxisCrossesTheLineAndSkipsCollidingLabels) {
    AxisPlot plot;
    Drawn d;
    TgPlotAxis* x = plot.AddX();
    x->SetCartesianStyle(TgPlotCartesianStyle::ipcsMaster);
    x->SetMinSpan(-50, 100);
    x->SetDesiredIncrement(50);
    x->SetDrawRect({20, 100, 300, 140});
    x->CalcTicks(d.canvas);
    x->DrawSetup();
    ASSERT_EQ(plot.occupied.size(), 1u);
    EXPECT_EQ(plot.occupied[0], (TRect{20, 100, 301, 101})); // the scale line itself
    plot.occupied.push_back({x->PositionToPixels(0) - 3, 100, x->PositionToPixels(0) + 3, 130}); // taken
    x->Draw(d.canvas, clBlack);
    d.bitmap.Image().save(QString::fromStdString(::testing::TempDir() + "kv-plot-axis-cartesian.png"));
    EXPECT_EQ(x->QuadSide(), TgQuadSide::iqsBottom);
    EXPECT_EQ(d.At(20, 100), clWhite); // the line lies on the rectangle's top, no margin
    const int p0 = x->PositionToPixels(0), p50 = x->PositionToPixels(50);
    EXPECT_EQ(d.At(p50, 96), clWhite); // a major stroke crosses the line: 4 up, 4 down
    EXPECT_EQ(d.At(p50, 104), clWhite);
    EXPECT_EQ(d.At(p50, 105), clBlack);
    EXPECT_EQ(d.Ink({p0 - 3, 106, p0 + 3, 125}), 0); // its label's room was taken
    EXPECT_GT(d.Ink({p50 - 10, 106, p50 + 10, 125}), 5);
}

TEST(gPlotAxis, HintShowsTheTitleWhileItIsHidden) {
    AxisPlot plot;
    TgPlotAxis* y = plot.AddY();
    y->SetTitle("Gain");
    TgPlotMouseData mouse;
    mouse.X = 30;
    mouse.Y = 50;
    TgHintData hint;
    y->DoMouseHint(mouse, hint);
    EXPECT_EQ(hint.Text, "Gain (hint)");
    EXPECT_EQ(hint.Left, 30);
    EXPECT_EQ(hint.Top, 30);
    EXPECT_GT(hint.Width, 4);
    y->SetTitleShow(true);
    TgHintData shown;
    y->DoMouseHint(mouse, shown);
    EXPECT_EQ(shown.Text, " (hint)");
}

TEST(gPlotAxisTracking, StylesMoveTheRange) {
    using S = TgPlotTrackingStyle;
    struct Case {
        S style;
        double min, span, compress;
        std::vector<double> values; // after a first value that aligns nothing
        double newMin, newSpan;
    };
    const Case cases[] = {
        {S::iptsScrollSmooth, 0, 10, 0, {12}, 2, 10},
        {S::iptsScrollSmooth, 0, 10, 0, {-1}, -1, 10},
        {S::iptsScrollPage, 0, 10, 0, {12}, 10, 10},
        {S::iptsScrollPage, 0, 10, 0, {-1}, -10, 10},
        {S::iptsScrollSmooth, 0, 10, 100, {50}, 0, 50},
        {S::iptsScrollSmooth, 0, 80, 100, {200}, 0, 200}, // the span before the value did not exceed 100
        {S::iptsScrollSmooth, 0, 80, 100, {200, 201}, 101, 100},
        {S::iptsScaleMinMax, 0, 10, 0, {15}, 0, 15},
        {S::iptsScaleMinMax, 0, 10, 0, {15, -5}, -5, 15}, // the span stays
        {S::iptsScaleMax, 0, 10, 0, {15, -5}, 0, 15},
        {S::iptsScaleMin, 0, 10, 0, {15, -5}, -5, 15},
        {S::iptsExpandMinMax, 0, 10, 0, {15, -5}, -5, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << int(c.style) << " span " << c.span << " first value "
                                        << c.values.front());
        AxisPlot plot;
        TgPlotAxis* y = plot.AddY(); // a Y axis aligns nothing on the first value
        y->SetMinSpan(c.min, c.span);
        y->SetTrackingStyle(c.style);
        y->SetTrackingScrollCompressMax(c.compress);
        y->NewTrackingData(c.min + c.span / 2);
        for (double v : c.values)
            y->NewTrackingData(v);
        EXPECT_EQ(y->Min(), c.newMin);
        EXPECT_EQ(y->Span(), c.newSpan);
    }
}

TEST(gPlotAxisTracking, FirstValueAlignsTheRange) {
    using F = TgPlotAlignFirstStyle;
    const struct {
        F style;
        double value, newMin;
    } cases[] = {{F::ipafsMin, 7, 7},
                 {F::ipafsMax, 7, -3},
                 {F::ipafsAuto, 5, 0},
                 {F::ipafsAuto, 12, 12},
                 {F::ipafsNone, 12, 0}};
    for (const auto& c : cases) {
        AxisPlot plot;
        TgPlotAxis* x = plot.AddX();
        EXPECT_EQ(x->TrackingAlignFirstStyle(), F::ipafsAuto);
        x->SetMinSpan(0, 10);
        x->SetTrackingAlignFirstStyle(c.style);
        x->NewTrackingData(c.value);
        EXPECT_EQ(x->Min(), c.newMin) << int(c.style) << " " << c.value;
        EXPECT_EQ(x->Span(), 10);
        x->ResetFirstAlign();
        x->NewTrackingData(c.value + 100); // aligns again
        EXPECT_EQ(x->Min() != c.newMin, c.style != F::ipafsNone);
    }
}

TEST(gPlotAxisTracking, RangeWidensToIncrementsOnlyOnceTheyAreKnown) {
    AxisPlot plot;
    TgPlotAxis* y = plot.AddY();
    y->SetTrackingIncrementStyle(TgPlotTrackingIncrementStyle::iptisMajor);
    y->SetMinSpan(0, 10);
    // No tick calculation yet: the increments are 0, and the range stays a plain tracked one.
    y->NewTrackingData(5);
    y->NewTrackingData(150);
    EXPECT_EQ(y->Min(), 0);
    EXPECT_EQ(y->Span(), 150);

    // A major increment of 20 turns a tracked range of 3 to 47 into 0 to 60.
    y->SetMinSpan(3, 44);
    y->SetDesiredIncrement(20);
    y->SetDrawRect({0, 0, 40, 2000});
    TBitmap bitmap(10, 10);
    y->CalcTicks(*bitmap.Canvas());
    ASSERT_EQ(y->MajorIncrement(), 20);
    y->NewTrackingData(47);
    EXPECT_EQ(y->Min(), 0);
    EXPECT_EQ(y->Span(), 60);
    y->SetTrackingIncrementStyle(TgPlotTrackingIncrementStyle::iptisMinor); // minor 10: 0..60 stays
    y->NewTrackingData(61);
    EXPECT_EQ(y->Min(), 0);
    EXPECT_EQ(y->Span(), 70);
}

TEST(gPlotAxisTracking, SpanMinimumMarginsZoomAndResume) {
    AxisPlot plot;
    TgPlotAxis* y = plot.AddY();
    y->SetMinSpan(0, 10);
    y->NewTrackingData(5);
    y->SetTrackingSpanMinimum(20);
    y->NewTrackingData(5);
    EXPECT_EQ(y->Min(), -5);
    EXPECT_EQ(y->Span(), 20);
    y->SetTrackingSpanMinimum(0);
    y->SetMinSpan(0, 10);
    y->SetTrackingMaxMargin(2);
    y->NewTrackingData(9);
    EXPECT_EQ(y->Span(), 11);
    y->SetTrackingMinMargin(2);
    y->NewTrackingData(1);
    EXPECT_EQ(y->Min(), -1);

    y->SetMinSpan(0, 10);
    y->Zoom(2);
    EXPECT_EQ(y->Min(), -5);
    EXPECT_EQ(y->Span(), 20);
    EXPECT_THROW(y->Zoom(0), EKvError);
    EXPECT_EQ(y->Span(), 20);

    // Zoom to fit takes the channels' extent with the margins; the fast form ignores the span minimum.
    plot.hasRange = true;
    plot.rangeLo = 2, plot.rangeHi = 8, plot.runningLo = 1, plot.runningHi = 3;
    y->SetTrackingSpanMinimum(10);
    y->ZoomToFit();
    EXPECT_EQ(y->Min(), 0);
    EXPECT_EQ(y->Span(), 14);
    y->ZoomToFitFast();
    EXPECT_EQ(y->Min(), -1);
    EXPECT_EQ(y->Span(), 6);
    plot.runningHi = plot.runningLo;
    y->ZoomToFitFast();
    EXPECT_EQ(y->Span(), 6); // all values equal: nothing changes

    // Switching tracking off keeps the range; switching it on brings it back.
    y->SetMinSpan(0, 10);
    y->SetTrackingEnabled(false);
    y->SetMinSpan(40, 5);
    y->NewTrackingData(1000);
    EXPECT_EQ(y->Min(), 40);
    y->SetTrackingEnabled(true);
    EXPECT_EQ(y->Min(), 0);
    EXPECT_EQ(y->Span(), 10);
}

TEST(gPlotAxis, FarSideAxesMirrorTheirLabelsAndTitles) {
    // A data view from (70, 50) to (250, 160) with axes above and right of it.
    AxisPlot plot;
    Drawn d;
    TgPlotAxis* top = plot.AddX();
    top->SetReverseSide(true);
    top->SetTitleShow(true);
    top->SetTitle("Input");
    top->SetDrawRect({70, 0, 250, 50});
    TgPlotAxis* right = plot.AddY();
    right->SetReverseSide(true);
    right->SetReverseScale(true);
    right->SetLabelsRotation(TgRotationAngle::ira090);
    right->SetTitleShow(true);
    right->SetTitle("Output");
    right->SetTitleRotated(true); // upright on a vertical axis
    right->SetDrawRect({250, 50, 320, 160});
    for (TgPlotAxis* a : {top, right}) {
        a->CalcTicks(d.canvas);
        a->Draw(d.canvas, clBlack);
    }
    d.bitmap.Image().save(QString::fromStdString(::testing::TempDir() + "kv-plot-axes-far.png"));
    EXPECT_EQ(top->QuadSide(), TgQuadSide::iqsTop);
    EXPECT_EQ(right->QuadSide(), TgQuadSide::iqsRight);
    // Top: the line 5 pixels above the data view, major strokes upwards from it, the title at the top.
    EXPECT_EQ(d.At(100, 45), clWhite);
    EXPECT_EQ(d.At(70, 40), clWhite); // the major at Min
    EXPECT_EQ(d.At(70, 38), clBlack);
    EXPECT_EQ(d.Ink({71, 46, 250, 50}), 0);
    EXPECT_GT(d.Ink({100, 5, 220, 18}), 10);
    // Right, reversed: Min at the top; the line 5 pixels right of the data view, strokes to the right.
    EXPECT_EQ(right->MinPixels(), 50);
    EXPECT_EQ(d.At(255, 100), clWhite);
    EXPECT_EQ(d.At(261, 50), clWhite);
    EXPECT_EQ(d.At(262, 50), clBlack);
    EXPECT_EQ(d.Ink({250, 51, 255, 160}), 0);
    EXPECT_GT(d.Ink({300, 95, 316, 115}), 5); // the upright title at the outer margin
}

TEST(gPlotAxis, StackedEndsLeaveRoomForHalfALabel) {
    AxisPlot plot;
    TBitmap bitmap(10, 10);
    TCanvas& canvas = *bitmap.Canvas();
    TgPlotAxis* x = plot.AddX();
    TgPlotAxis* y = plot.AddY();
    canvas.SetFont(x->LabelsFont());
    const int w = gTextWidthMultiLine(canvas, "0"), h = gTextHeightMultiLine(canvas, "0");
    const int dx = int(std::nearbyint(x->GetMaxLabelWidth(canvas, x->LabelsFont()) / 2.0)) +
                   int(std::nearbyint(w * 0.5));
    const int dy =
        (gTextHeightMultiLine(canvas, y->GetLabelText(y->Min())) + int(std::nearbyint(h * 0.5))) / 2;
    ASSERT_GT(dx, 0);
    ASSERT_GT(dy, 0);
    struct Case {
        bool start, stop, cartesian;
    };
    for (const Case c : {Case{true, true, false}, Case{true, false, false}, Case{false, true, false},
                         Case{true, true, true}}) {
        SCOPED_TRACE(testing::Message() << c.start << c.stop << c.cartesian);
        const auto style = c.cartesian ? TgPlotCartesianStyle::ipcsMaster : TgPlotCartesianStyle::ipcsNone;
        const int ex = c.cartesian ? 0 : dx, ey = c.cartesian ? 0 : dy;
        x->SetCartesianStyle(style);
        x->SetStartStacked(c.start);
        x->SetStopStacked(c.stop);
        x->SetDrawRect({0, 0, 400, 40});
        x->CalcScaleRect(canvas);
        EXPECT_EQ(x->ScaleRect(), (TRect{c.start ? ex : 0, 0, c.stop ? 400 - ex : 400, 40}));
        EXPECT_EQ(x->FocusRect(), (TRect{x->ScaleRect().Left - ex, 2, x->ScaleRect().Right + ex, 38}));
        y->SetCartesianStyle(style);
        y->SetStartStacked(c.start); // the start of a vertical axis is its bottom
        y->SetStopStacked(c.stop);
        y->SetDrawRect({0, 0, 40, 300});
        y->CalcScaleRect(canvas);
        EXPECT_EQ(y->ScaleRect(), (TRect{0, c.stop ? ey : 0, 40, c.start ? 300 - ey : 300}));
        EXPECT_EQ(y->FocusRect(), (TRect{2, y->ScaleRect().Top - ey, 38, y->ScaleRect().Bottom + ey}));
        EXPECT_EQ(y->MinPixels(), y->ScaleRect().Bottom);
    }
}
