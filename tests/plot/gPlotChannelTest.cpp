#include "plot/gPlotChannel.h"

#include "plot/gPlotAxis.h"
#include "plot/gPlotDataCursor.h"
#include "plot/gPlotDataView.h"
#include "plot/gPlotManagers.h"
#include "plot/gPropText.h"

#include "tests/plot/ErrorOf.h"
#include "tests/plot/PlotTestWiring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace kvtest_channel {

using namespace kv;

// A channel kind that draws all its points, as the XY channel does.
class TestChannel : public TgPlotChannelCustom {
public:
    using TgPlotChannelCustom::TgPlotChannelCustom;
    void CalcStartIndex() override { FStartIndex = Count() ? 0 : -1; }
    void CalcStopIndex() override { FStopIndex = Count() - 1; }
    double GetVisibleXMax() override { return 0; }
    double GetVisibleXMin() override { return 0; }
    double GetVisibleYMax() override { return 0; }
    double GetVisibleYMin() override { return 0; }
    void UpdateDataCursorText(TgPlotObject*) override {}
    void Draw(TCanvas& canvas, TColor background) override {
        CalcStartIndex();
        CalcStopIndex();
        DrawTraceLine(canvas, FXYAxesReversed, background);
        DrawMarkers(canvas, FXYAxesReversed, background);
    }
};

// Axes that also record what tracking hands them.
template <class Base> class RecordingAxis : public Base {
public:
    using Base::Base;
    void NewTrackingData(double value) override { tracked.push_back(value); }
    std::vector<double> tracked;
};
using XAxis = RecordingAxis<TgPlotXAxis>;
using YAxis = RecordingAxis<TgPlotYAxis>;

// The plot side: the managers wired as the master manager wires them, axes by name, and a log of
// the events the channel fires.
class TestPlot : public kvtest::TestPlotWiring,
                 public TComponent,
                 public IgPlotAxisHost,
                 public IgPlotChannelHost {
public:
    TestPlot() : TComponent(nullptr) {
        channels = std::make_unique<TgPlotChannelManager>(this, change, insert, remove, rename);
        xAxes = std::make_unique<TgPlotXAxisManager>(this, change, insert, remove, rename);
        yAxes = std::make_unique<TgPlotYAxisManager>(this, change, insert, remove, rename);
    }
    ~TestPlot() override {
        channels.reset();
        xAxes.reset();
        yAxes.reset();
    }

    TgPlotAxis* GetXAxisByName(const std::string& name) override {
        return dynamic_cast<TgPlotAxis*>(xAxes->GetObjectByName(name));
    }
    TgPlotAxis* GetYAxisByName(const std::string& name) override {
        return dynamic_cast<TgPlotAxis*>(yAxes->GetObjectByName(name));
    }
    bool PlotIsLoading() const override { return false; }
    void DoAxisMinChange(TgPlotAxis*, double, double) override {}
    void DoAxisSpanChange(TgPlotAxis*, double, double) override {}
    void DoAxisMinSpanChange(TgPlotAxis*, double, double, double, double) override {}
    void DoAxisCustomizeLabel(TgPlotAxis*, double, std::string&) override {}
    void DoAxisCustomizeHint(TgPlotAxis*, std::string&) override {}
    void RegisterLabelRect(const TRect&) override {}
    bool TestLabelRect(const TRect&) override { return true; }
    TCanvas* HintCanvas() override { return nullptr; }

    TgPlotDataView* GetFirstDataView() override { return dataView; }
    bool GetSelectModeActive() override { return selectMode; }
    char GetDataFileSeparatorChar() override { return separator; }
    bool GetDifferentialPropertySave() override { return differential; }
    int GetChannelIndex(const TgPlotObject* c) override { return channels->GetIndex(c); }
    TFont* GetHintsFont() override { return &hintsFont; }
    void DoMouseDownDataPoint(int c, int i, TMouseButton, TShiftState, int, int) override {
        Log("down", c, i);
    }
    void DoMouseMoveDataPoint(int c, int i, TShiftState, int, int) override { Log("move", c, i); }
    void DoMouseUpDataPoint(int c, int i, TMouseButton, TShiftState, int, int) override { Log("up", c, i); }
    void DoClickDataPoint(int c, int i, bool dbl) override { Log(dbl ? "dblclick" : "click", c, i); }
    void DoDataPointMoved(int c, int i, double ox, double oy, double nx, double ny) override {
        std::ostringstream s;
        s << "moved " << c << " " << i << " " << ox << "," << oy << " -> " << nx << "," << ny;
        log.push_back(s.str());
    }
    void DoDataPointCustomizeHint(int, int, std::string& text) override { text = "[" + text + "]"; }
    void DoClickChannel(int c, bool dbl) override { Log(dbl ? "dblclick channel" : "click channel", c, -1); }
    void DoGetMouseCursorChannel(int, TCursor& cursor) override {
        if (cursorOverride)
            cursor = crCross;
    }

    void Log(const char* what, int c, int i) {
        log.push_back(std::string(what) + " " + std::to_string(c) + " " + std::to_string(i));
    }

    template <class T> T* Add() {
        auto* o = new T(this, change, insert, remove, rename);
        o->DoInsert();
        return o;
    }

    std::unique_ptr<TgPlotObjectManagerCustom> channels, xAxes, yAxes;
    TgPlotDataView* dataView = nullptr;
    bool selectMode = false;
    char separator = '\t';
    bool differential = false;
    bool cursorOverride = false;
    TFont hintsFont;
    std::vector<std::string> log;
};

// One plot with an X axis from 0 to 100 along the bottom of 50..250 and a Y axis from 0 to 100 along
// its left, and one channel on them, drawn on a 301 x 301 image with room round the axes.
struct Fixture {
    Fixture() {
        x = plot.Add<XAxis>();
        y = plot.Add<YAxis>();
        channel = plot.Add<TestChannel>();
        x->SetName("X");
        y->SetName("Y");
        channel->SetXAxisName("X");
        channel->SetYAxisName("Y");
        Place(*x, {50, 250, 250, 280});
        Place(*y, {20, 50, 50, 250});
    }
    void Place(TgPlotAxis& axis, const TRect& r) {
        axis.SetDrawRect(r);
        axis.SetStartStacked(true);
        axis.SetStopStacked(true);
        axis.SetMin(0);
        axis.SetSpan(100);
        axis.CalcScaleRect(*bitmap.Canvas());
    }
    TCanvas& Blank() {
        bitmap.SetSize(301, 301);
        TCanvas& c = *bitmap.Canvas();
        c.Brush()->SetStyle(TBrushStyle::bsSolid);
        c.Brush()->SetColor(clWhite);
        c.FillRect({0, 0, 301, 301});
        return c;
    }
    void Render() {
        channel->Draw(Blank(), clWhite);
        bitmap.Canvas()->EndPaint();
    }
    bool Inked(int px, int py) { return bitmap.Canvas()->Pixel(px, py) != clWhite; }
    int InkedCount() {
        int n = 0;
        for (int py = 0; py <= 300; ++py)
            for (int px = 0; px <= 300; ++px)
                n += Inked(px, py);
        return n;
    }

    TestPlot plot;
    TBitmap bitmap;
    XAxis* x = nullptr;
    YAxis* y = nullptr;
    TestChannel* channel = nullptr;
};

// The user's decimal separator is a comma while it lives.
struct CommaLocale {
    CommaLocale() { gSetLocaleDecimalSeparator(','); }
    ~CommaLocale() { Restore(); }
    void Restore() { gSetLocaleDecimalSeparator(0); }
};

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            ("kv_channel_" + std::to_string(::getpid()) + "_" + name))
        .string();
}

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace kvtest_channel

using namespace kvtest_channel;

TEST(gPlotChannel, RunningStatisticsCountEveryPointWhileScansSkipNullAndEmpty) {
    Fixture f;
    TestChannel& c = *f.channel;
    c.Clear();
    c.AddXY(1, 10);
    c.AddXY(3, 30);
    EXPECT_EQ(c.RunningXMean(), 2);
    EXPECT_EQ(c.RunningYMean(), 20);
    EXPECT_EQ(c.RunningXMin(), 1);
    EXPECT_EQ(c.RunningXMax(), 3);

    c.AddPoint(100, 1000, true, false);
    c.AddPoint(-100, -1000, false, true);
    EXPECT_EQ(c.RunningXMax(), 100); // the running values include what was added
    EXPECT_EQ(c.RunningYMin(), -1000);
    EXPECT_EQ(c.RunningCount(), 4);
    EXPECT_EQ(c.GetXMax(), 3); // the scans do not
    EXPECT_EQ(c.GetYMin(), 10);
    EXPECT_EQ(c.GetYMean(), 20);
    c.ReCalcRunningMinMaxMean();
    EXPECT_EQ(c.RunningXMin(), 1);
    EXPECT_EQ(c.RunningYMax(), 30);
    EXPECT_EQ(c.RunningCount(), 2);

    c.SetDataNull(0, true);
    c.SetDataNull(1, true);
    EXPECT_EQ(c.GetXMean(), 0);
    EXPECT_EQ(c.GetXMax(), -1e300);
    c.ReCalcRunningMinMaxMean();
    EXPECT_EQ(c.RunningYMean(), 0);
    EXPECT_EQ(c.RunningYMin(), 1e300);
}

TEST(gPlotChannel, DeletingEveryPointClearsAndTooManyIsRefused) {
    Fixture f;
    TestChannel& c = *f.channel;
    const std::string log = TempPath("delete.log");
    c.SetLogFileName(log);
    c.SetLogBufferSize(10);
    c.LogActivate(false);
    for (int i = 0; i < 3; ++i)
        c.AddXY(i, i);
    EXPECT_EQ(ErrorOf([&] { c.DeletePoints(4); }), "Delete size out of Range");
    EXPECT_EQ(c.Count(), 3);
    c.DeletePoints(1);
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(c.XFirst(), 1);
    EXPECT_EQ(c.RunningCount(), 3); // statistics stay
    c.DeletePoints(2);
    EXPECT_EQ(c.Count(), 0);
    EXPECT_EQ(c.RunningCount(), 0);
    EXPECT_EQ(c.RunningXMax(), -1e300);
    EXPECT_FALSE(c.LoggingActive());
    EXPECT_EQ(ReadFile(log), "1\t1\r\n2\t2\r\n"); // the pending points still there were written
    EXPECT_EQ(c.XFirst(), -1);
    EXPECT_EQ(c.IndexLast(), -1);
    std::filesystem::remove(log);
}

TEST(gPlotChannel, ArraysAreCheckedBeforeAnyPointIsAdded) {
    Fixture f;
    TestChannel& c = *f.channel;
    TgVariantArray x{{{0, 2}}, {1, 2, 3}}, y{{{1, 3}}, {4, 5, 6}}, y2{{{0, 2}}, {4, 5, 6}};
    EXPECT_EQ(ErrorOf([&] { c.AddXYArrays(x, y); }), "X-Data and Y-Data low bound dimension must match");
    TgVariantArray longer{{{0, 3}}, {1, 2, 3, 4}};
    EXPECT_EQ(ErrorOf([&] { c.AddXYArrays(longer, y2); }),
              "X-Data and Y-Data hogh bound dimension must match");
    TgVariantArray twoD{{{0, 1}, {0, 1}}, {1, 2, 3, 4}};
    EXPECT_EQ(ErrorOf([&] { c.AddXYArrays(twoD, y2); }), "X-Data array must be 1 dimensional");
    EXPECT_EQ(ErrorOf([&] { c.AddXYArrays(x, twoD); }), "Y-Data array must be 1 dimensional");
    EXPECT_EQ(c.Count(), 0);
    c.AddXYArrays(x, y2);
    EXPECT_EQ(c.Count(), 3);
    EXPECT_EQ(c.GetDataY(2), 6);

    EXPECT_EQ(ErrorOf([&] { c.AddXYArray(x); }), "Array Must Be 2 Dimensional");
    TgVariantArray threeRows{{{0, 2}, {0, 0}}, {1, 2, 3}};
    EXPECT_EQ(ErrorOf([&] { c.AddXYArray(threeRows); }), "Array First Dimension Must Be 2 Elements");
    // Rows 1 and 2 hold X and Y; columns 5..6 are points.
    TgVariantArray rows{{{1, 2}, {5, 6}}, {7, 8, 70, 80}};
    c.AddXYArray(rows);
    EXPECT_EQ(c.Count(), 5);
    EXPECT_EQ(c.GetDataX(3), 7);
    EXPECT_EQ(c.GetDataY(4), 80);
}

TEST(gPlotChannel, DataFilesWriteDotsAndReadBothSeparators) {
    Fixture f;
    TestChannel& c = *f.channel;
    const std::string path = TempPath("data.txt");

    WriteFile(path, "1,2\r\n3,Null\r\n,5\r\n");
    c.LoadDataFromFile(path, true);
    ASSERT_EQ(c.Count(), 2);
    EXPECT_EQ(c.GetDataY(0), 2);
    EXPECT_TRUE(c.GetDataNull(1));
    EXPECT_EQ(c.GetDataX(1), 3);

    // A tab file from a comma locale reads as numbers, appended to what is there.
    WriteFile(path, "1,5\t-2,25\n1e3\tnull\n");
    c.LoadDataFromFile(path, false);
    ASSERT_EQ(c.Count(), 4);
    EXPECT_EQ(c.GetDataX(2), 1.5);
    EXPECT_EQ(c.GetDataY(2), -2.25);
    EXPECT_EQ(c.GetDataX(3), 1000);
    EXPECT_TRUE(c.GetDataNull(3));

    // Saving under a comma locale still writes dots; empty points are left out.
    CommaLocale comma;
    c.AddPoint(9, 9, false, true);
    f.plot.separator = ',';
    c.SaveDataToFile(path);
    comma.Restore();
    EXPECT_EQ(ReadFile(path), "1,2\r\n3,Null\r\n1.5,-2.25\r\n1000,Null\r\n");
    c.Clear();
    c.LoadDataFromFile(path, true);
    EXPECT_EQ(c.Count(), 4);
    EXPECT_EQ(c.GetDataY(2), -2.25);

    // A bad number stops the load with the points before it kept.
    WriteFile(path, "1\t1\nx\t2\n3\t3\n");
    EXPECT_EQ(ErrorOf([&] { c.LoadDataFromFile(path, true); }), "'x' is not a valid floating point value");
    EXPECT_EQ(c.Count(), 1);
    std::filesystem::remove(path);
}

TEST(gPlotChannel, LogWritesWhenTheBufferFills) {
    Fixture f;
    TestChannel& c = *f.channel;
    const std::string path = TempPath("log.txt");
    EXPECT_EQ(ErrorOf([&] { c.LogActivate(false); }), "Log File Name not Defined");
    EXPECT_EQ(ErrorOf([&] { c.LogDeactivate(); }), "Logging not Active");
    c.SetLogFileName(path);
    CommaLocale comma;
    for (int size : {0, 1}) {
        c.SetLogBufferSize(size);
        c.LogActivate(false);
        c.AddXY(0.5, 1);
        EXPECT_EQ(ReadFile(path), "0.5\t1\r\n") << size; // every point at once
        c.LogDeactivate();
    }
    c.SetLogBufferSize(3);
    c.LogActivate(true);
    EXPECT_EQ(ErrorOf([&] { c.LogActivate(true); }), "Logging Already Active");
    EXPECT_EQ(ErrorOf([&] { c.SetLogFileName("other"); }),
              "Log File Name can not be changed while logging is active.");
    c.AddXY(2, 2);
    c.AddPoint(3, 3, true, false); // null points are written with their values
    EXPECT_EQ(ReadFile(path), "0.5\t1\r\n");
    c.AddXY(4, 4);
    EXPECT_EQ(ReadFile(path), "0.5\t1\r\n2\t2\r\n3\t3\r\n4\t4\r\n");
    c.AddXY(5, 5);
    c.LogDeactivate();
    comma.Restore();
    EXPECT_EQ(ReadFile(path), "0.5\t1\r\n2\t2\r\n3\t3\r\n4\t4\r\n5\t5\r\n");
    std::filesystem::remove(path);
    c.SetLogFileName(TempPath("missing/dir/log.txt"));
    EXPECT_NE(ErrorOf([&] { c.LogActivate(false); }), "");
    EXPECT_FALSE(c.LoggingActive());
}

TEST(gPlotChannel, DeclaredDefaultsAreTheBuiltValues) {
    Fixture f;
    TestChannel& c = *f.channel;
    int checked = 0;
    for (const auto& p : c.ClassInfo().Props())
        if (p->HasDefault && p->GetOrd) {
            EXPECT_EQ(p->GetOrd(c), p->Default) << p->Name;
            ++checked;
        }
    EXPECT_GT(checked, 20);
    EXPECT_EQ(c.MarkersFont()->Color(), clWhite);
    EXPECT_TRUE(c.MarkersFont()->Style().Contains(TFontStyle::fsBold));
}

TEST(gPlotChannel, PropertyFilesRoundTripAndCheckTheirType) {
    Fixture f;
    TestChannel& c = *f.channel;
    const std::string path = TempPath("props.txt");
    f.plot.differential = true;
    c.SetTitleText("Level");
    c.SetColor(0x00FF00);
    c.SetMarkersVisible(true);
    c.SetMarkersStyle(TgPlotMarkerStyle::ipmsDiamond);
    c.SetClipToAxes(true);
    c.SetDataStyle(TgPlotDataStyle::ipdsFullFeature);
    c.MarkersFont()->SetColor(clYellow);
    c.SavePropertiesToFile(path);
    const std::string text = ReadFile(path);
    EXPECT_EQ(text.rfind("File Type = Plot Channel Config\r\n", 0), 0u);
    EXPECT_NE(text.find("Channel.TitleText = Level\r\n"), std::string::npos);
    EXPECT_NE(text.find("Channel.MarkersTurnOffLimit = 0\r\n"), std::string::npos); // always stored
    EXPECT_NE(text.find("Channel.DataStyle = 3\r\n"), std::string::npos);
    EXPECT_EQ(text.find("Channel.TraceLineWidth"), std::string::npos); // equal to its default
    EXPECT_EQ(text.find("Channel.Name "), std::string::npos);

    TestChannel* other = f.plot.Add<TestChannel>();
    other->LoadPropertiesFromFile(path);
    EXPECT_EQ(other->TitleText(), "Level");
    EXPECT_EQ(other->Color(), 0x00FF00);
    EXPECT_TRUE(other->MarkersVisible());
    EXPECT_EQ(other->MarkersStyle(), TgPlotMarkerStyle::ipmsDiamond);
    EXPECT_TRUE(other->ClipToAxes());
    EXPECT_EQ(other->DataStyle(), TgPlotDataStyle::ipdsFullFeature);
    EXPECT_EQ(other->MarkersFont()->Color(), clYellow);

    WriteFile(path, "FILE TYPE = Plot Axis Config\nChannel.TitleText = x\n");
    EXPECT_EQ(ErrorOf([&] { other->LoadPropertiesFromFile(path); }),
              "Error Loading Properties - Incompatible Plot Channel Configuration File Type");
    WriteFile(path, "Channel.TitleText = y\n file type = plot channel config\nChannel.MarkersSize = x\n");
    EXPECT_EQ(ErrorOf([&] { other->LoadPropertiesFromFile(path); }).rfind("Error Loading Properties - ", 0),
              0u);
    EXPECT_EQ(other->TitleText(), "y");
    EXPECT_EQ(ErrorOf([&] {
                  c.SavePropertiesToFile(TempPath("missing/dir/p.txt"));
              }).rfind("Error Saving Properties - ", 0),
              0u);
    std::filesystem::remove(path);
}

TEST(gPlotChannel, DataStyleKeepsTheSettingsAndTheRing) {
    Fixture f;
    TestChannel& c = *f.channel;
    c.SetColor(0x112233);
    c.SetMarkersSize(7);
    c.SetRingBufferSize(4);
    c.AddXY(1, 1);
    c.SetDataStyle(TgPlotDataStyle::ipdsCompact);
    EXPECT_EQ(c.Count(), 0);
    EXPECT_EQ(c.DataPointSize(), 8);
    EXPECT_EQ(c.Color(), 0x112233);
    EXPECT_EQ(c.MarkersSize(), 7);
    EXPECT_EQ(c.RingBufferSize(), 4);
    for (int i = 0; i < 6; ++i)
        c.AddXY(i, i);
    EXPECT_EQ(c.Count(), 4);
    EXPECT_EQ(c.XFirst(), 2);
    c.SetCount(2); // a cut drops the newest
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(c.YLast(), 3);
}

TEST(gPlotChannel, TrackingLeavesNullAndEmptyPointsOutOfY) {
    struct Case {
        bool markers, null, empty;
        bool x, y; // tracked
    };
    const Case cases[] = {
        {false, false, false, true, true}, {false, true, false, true, false},
        {false, false, true, true, false}, {true, false, false, true, true},
        {true, true, false, false, false}, {true, false, true, true, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.markers << k.null << k.empty);
        Fixture f;
        f.channel->SetMarkersVisible(k.markers);
        f.channel->AddPoint(10, 20, k.null, k.empty);
        // With markers each value is widened by the marker's 3 pixels in units of its axis.
        auto expected = [&](TgPlotAxis* axis, double v, bool tracked) {
            if (!tracked)
                return std::vector<double>{};
            if (!k.markers)
                return std::vector<double>{v};
            const double w = std::fabs(axis->PixelsToPosition(3 + axis->MinPixels()) - axis->Min());
            EXPECT_GT(w, 0.5);
            return std::vector<double>{v + w, v - w};
        };
        EXPECT_EQ(f.x->tracked, expected(f.x, 10, k.x));
        EXPECT_EQ(f.y->tracked, expected(f.y, 20, k.y));
    }
    Fixture f;
    f.channel->SetYAxisTrackingEnabled(false);
    f.channel->AddXY(1, 2);
    EXPECT_EQ(f.x->tracked, std::vector<double>{1});
    EXPECT_TRUE(f.y->tracked.empty());

    f.channel->SetMarkersVisible(true);
    f.channel->AddPoint(1, 1, true, false);
    EXPECT_EQ(ErrorOf([&] { f.channel->GetMarkerXMax(1); }), "Data Point Null");
    f.channel->SetXAxisName("none");
    EXPECT_EQ(ErrorOf([&] { f.channel->GetMarkerXMin(0); }), "X-Axis not assigned");
    EXPECT_EQ(f.channel->GetXValueText(1), "No X-Axis");
}

TEST(gPlotChannel, TraceJoinsAcrossEmptyPointsAndBreaksAtNullOnes) {
    struct Case {
        bool null, empty;
        bool joined;
    };
    for (const Case& k : {Case{false, true, true}, Case{true, false, false}}) {
        Fixture f;
        f.channel->AddXY(10, 50);
        f.channel->AddPoint(50, 90, k.null, k.empty);
        f.channel->AddXY(90, 50);
        f.Render();
        const int row = f.y->PositionToPixels(50);
        EXPECT_EQ(f.Inked(f.x->PositionToPixels(50), row), k.joined);
        EXPECT_FALSE(f.Inked(f.x->PositionToPixels(50), f.y->PositionToPixels(70)));
        EXPECT_EQ(f.InkedCount() > 0, k.joined);
    }
}

TEST(gPlotChannel, SegmentsAreClippedToTheXRange) {
    Fixture f;
    f.x->SetMin(-100);
    f.x->SetSpan(120);
    f.channel->AddXY(-150, 50);
    f.channel->AddXY(50, 50);
    f.Render();
    const int row = f.y->PositionToPixels(50);
    const int from = f.x->PositionToPixels(-100), to = f.x->PositionToPixels(20);
    EXPECT_TRUE(f.Inked(from, row));
    EXPECT_TRUE(f.Inked(to - 1, row));
    EXPECT_FALSE(f.Inked(to + 5, row));
    EXPECT_EQ(f.InkedCount(), to - from); // the end pixel is left out
    // With ClipToAxes a segment that leaves the Y range is cut at it.
    f.channel->Clear();
    f.channel->SetClipToAxes(true);
    f.x->SetMin(0);
    f.x->SetSpan(100);
    f.channel->AddXY(0, 50);
    f.channel->AddXY(100, 150);
    f.Render();
    EXPECT_TRUE(f.Inked(f.x->PositionToPixels(25), f.y->PositionToPixels(75)));
    EXPECT_FALSE(f.Inked(f.x->PositionToPixels(60), f.y->PositionToPixels(110)));
    // Entirely above the range: nothing.
    f.channel->Clear();
    f.channel->AddXY(0, 110);
    f.channel->AddXY(100, 120);
    f.Render();
    EXPECT_EQ(f.InkedCount(), 0);
    f.channel->SetClipToAxes(false);
    f.Render();
    EXPECT_GT(f.InkedCount(), 0);
}

TEST(gPlotChannel, ValuesFarOffTheAxisAreDrawnToTheEdge) {
    Fixture f;
    f.channel->SetMarkersVisible(true);
    f.channel->AddXY(50, 50);
    f.channel->AddXY(50, 1e12);
    f.channel->AddXY(60, -1e300);
    f.Render();
    const int px = f.x->PositionToPixels(50);
    EXPECT_TRUE(f.Inked(px, 0));
    EXPECT_TRUE(f.Inked(px, f.y->PositionToPixels(75)));
}

TEST(gPlotChannel, MarkersTurnOffAboveTheLimit) {
    for (int points : {11, 12}) {
        Fixture f;
        f.channel->SetTraceVisible(false);
        f.channel->SetMarkersVisible(true);
        f.channel->SetMarkersTurnOffLimit(10);
        for (int i = 0; i < points; ++i)
            f.channel->AddXY(5 + 5 * i, 50);
        f.Render();
        EXPECT_EQ(f.Inked(f.x->PositionToPixels(5), f.y->PositionToPixels(50)), points == 11) << points;
    }
}

// Each marker shape at (100, 100) with r = 6: pixels that must be drawn and pixels that must not.
TEST(gPlotChannel, MarkerShapesCoverTheirGeometry) {
    struct Case {
        TgPlotMarkerStyle style;
        std::vector<TPoint> inked, clear;
    };
    const int x = 100, y = 100, r = 6;
    const Case cases[] = {
        {TgPlotMarkerStyle::ipmsCircle, {{x, y}, {x - r + 1, y}}, {{x - r + 1, y - r + 1}, {x + r + 1, y}}},
        {TgPlotMarkerStyle::ipmsSquare, {{x, y}, {x - r + 1, y - r + 1}}, {{x + r + 1, y}}},
        {TgPlotMarkerStyle::ipmsDiamond, {{x, y}, {x + r - 1, y}}, {{x + r - 1, y - r + 1}}},
        {TgPlotMarkerStyle::ipmsCross, {{x + 2, y + 2}, {x - 2, y + 2}}, {{x + 2, y}, {x, y + 2}}},
        {TgPlotMarkerStyle::ipmsPlus, {{x + 2, y}, {x, y - 2}}, {{x + 2, y + 2}}},
        {TgPlotMarkerStyle::ipmsTriangleUp, {{x, y + r - 1}, {x - r + 2, y + r - 1}}, {{x, y - 2}}},
        {TgPlotMarkerStyle::ipmsTriangleDown, {{x, y - r + 1}, {x + r - 2, y - r + 1}}, {{x, y + 2}}},
        {TgPlotMarkerStyle::ipmsTriangleLeft, {{x + r - 1, y}, {x + r - 1, y + r - 2}}, {{x - 2, y}}},
        {TgPlotMarkerStyle::ipmsTriangleRight, {{x - r + 1, y}, {x - r + 1, y - r + 2}}, {{x + 2, y}}},
        {TgPlotMarkerStyle::ipmsVerticalLine, {{x, y - 3}, {x, y + 3}}, {{x + 3, y}, {x - 3, y}}},
        {TgPlotMarkerStyle::ipmsHorizontalLine, {{x - 3, y}, {x + 3, y}}, {{x, y - 3}, {x, y + 3}}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(static_cast<int>(k.style));
        Fixture f;
        f.channel->SetMarkersStyle(k.style);
        f.channel->SetMarkersSize(r);
        f.channel->AddXY(0, 0);
        TCanvas& c = f.Blank();
        f.channel->DrawMarker(c, 0, clWhite, {x, y});
        c.EndPaint();
        for (TPoint p : k.inked)
            EXPECT_EQ(c.Pixel(p.X, p.Y), 0x0000FF) << p.X << "," << p.Y;
        for (TPoint p : k.clear)
            EXPECT_EQ(c.Pixel(p.X, p.Y), clWhite) << p.X << "," << p.Y;
    }
}

// A character marker is laid out in an empty box at the point, so only unclipped text shows it.
TEST(gPlotChannel, ACharacterMarkerInksItsCharacterCentredOnThePoint) {
    Fixture f;
    f.channel->SetDataStyle(TgPlotDataStyle::ipdsFullFeature);
    f.channel->SetTraceVisible(false);
    f.channel->SetMarkersVisible(true);
    f.channel->SetMarkersStyle(TgPlotMarkerStyle::ipmsCharacter);
    f.channel->MarkersFont()->SetColor(clBlack);
    f.channel->AddXY(50, 50);
    f.channel->DataList().SetMarkerCharacter(0, u'W');
    f.Render();
    const int cx = f.x->PositionToPixels(50), cy = f.y->PositionToPixels(50);
    int left = 301, right = -1, top = 301, bottom = -1;
    for (int py = 0; py <= 300; ++py)
        for (int px = 0; px <= 300; ++px)
            if (f.Inked(px, py)) {
                left = std::min(left, px);
                right = std::max(right, px);
                top = std::min(top, py);
                bottom = std::max(bottom, py);
            }
    ASSERT_GE(right, 0) << "the character drew nothing";
    EXPECT_NEAR((left + right) / 2.0, cx, 3);
    EXPECT_NEAR((top + bottom) / 2.0, cy, 4);
    EXPECT_GT(right - left, 4) << "a whole glyph, not a sliver";
}

TEST(gPlotChannel, LegendSampleIsAtMostSixPixels) {
    Fixture f;
    f.channel->SetMarkersStyle(TgPlotMarkerStyle::ipmsSquare);
    f.channel->SetMarkersSize(10);
    TCanvas& c = f.Blank();
    f.channel->DrawMarker(c, -1, clWhite, {100, 100});
    c.EndPaint();
    EXPECT_EQ(c.Pixel(95, 95), 0x0000FF);
    EXPECT_EQ(c.Pixel(92, 100), clWhite);
}

TEST(gPlotChannel, APressedPointIsDraggedAndReported) {
    Fixture f;
    TestChannel& c = *f.channel;
    c.SetMarkersVisible(true);
    c.SetUserCanMoveDataPoints(true);
    c.SetUserCanMoveDataPointsStyle(TgPlotChannelDataPointMoveStyle::ipcdpmsYOnly);
    c.AddXY(20, 20);
    c.AddXY(50, 50);
    const int px = f.x->PositionToPixels(50), py = f.y->PositionToPixels(50);

    EXPECT_FALSE(c.HitTest(px, py)); // points are tested in select mode only
    f.plot.selectMode = true;
    EXPECT_TRUE(c.HitTest(px + 2, py - 2));
    EXPECT_EQ(c.SelectDataIndex(), 1);
    EXPECT_FALSE(c.HitTest(px + 10, py));

    EXPECT_TRUE(c.HitTest(px, py));
    c.gMouseDown(TMouseButton::mbLeft, {}, px, py, 0, 0, nullptr);
    TgHintData hint;
    c.gMouseMove(hint, {}, px + 20, py - 20, 0, 0, false);
    EXPECT_EQ(c.GetDataX(1), 50); // Y only
    EXPECT_EQ(c.GetDataY(1), f.y->PixelsToPosition(py - 20));
    c.gMouseUp(TMouseButton::mbLeft, {}, px + 20, py - 20, 0, 0, false, nullptr);
    std::ostringstream moved;
    moved << "moved 0 1 50,50 -> 50," << c.GetDataY(1);
    EXPECT_EQ(f.plot.log, (std::vector<std::string>{"down 0 1", "move 0 1", "up 0 1", moved.str()}));

    // A release inside the pressed point's rectangle is a click; no move, no moved event.
    f.plot.log.clear();
    const int qx = f.x->PositionToPixels(20), qy = f.y->PositionToPixels(20);
    ASSERT_TRUE(c.HitTest(qx, qy));
    c.gMouseDown(TMouseButton::mbLeft, {}, qx, qy, 0, 0, nullptr);
    c.gMouseUp(TMouseButton::mbLeft, {}, qx + 1, qy, 0, 0, true, nullptr);
    EXPECT_EQ(f.plot.log, (std::vector<std::string>{"down 0 0", "up 0 0", "dblclick 0 0"}));

    // The legend entry answers the hit test and takes the channel click.
    f.plot.log.clear();
    f.plot.selectMode = false;
    c.SetLegendRect({300, 10, 340, 20});
    ASSERT_TRUE(c.HitTest(310, 15));
    c.gMouseDown(TMouseButton::mbLeft, {}, 310, 15, 0, 0, nullptr);
    c.gMouseUp(TMouseButton::mbLeft, {}, 310, 15, 0, 0, false, nullptr);
    EXPECT_EQ(f.plot.log.back(), "click channel 0 -1");
    EXPECT_EQ(c.GetMouseCursor({}), crHandPoint);
    f.plot.cursorOverride = true;
    EXPECT_EQ(c.GetMouseCursor({}), crCross);
}

TEST(gPlotChannel, HintShowsBothLabelsAboveThePoint) {
    Fixture f;
    TestChannel& c = *f.channel;
    TgPlotDataView view(&f.plot, f.plot.change, f.plot.insert, f.plot.remove, f.plot.rename);
    view.SetDrawRect({50, 50, 250, 250});
    f.plot.dataView = &view;
    f.plot.selectMode = true;
    c.SetMarkersVisible(true);
    c.SetShowDataPointHints(true);
    c.AddXY(50, 50);
    const int px = f.x->PositionToPixels(50), py = f.y->PositionToPixels(50);
    ASSERT_TRUE(c.HitTest(px, py));
    TgHintData hint;
    c.DoMouseHint(c.MakeMouseData(px, py, 0, 0), hint);
    EXPECT_EQ(hint.Text, "[" + f.x->GetLabelText(50) + ", " + f.y->GetLabelText(50) + "]");
    EXPECT_GT(hint.Width, 4);
    EXPECT_LT(hint.Top + hint.Height, py); // above the mouse
    EXPECT_NEAR(hint.Left + hint.Width / 2, px, 1);

    // Near the top edge the hint goes below the point.
    c.SetDataY(0, 99);
    const int ty = f.y->PositionToPixels(99);
    ASSERT_TRUE(c.HitTest(px, ty));
    c.DoMouseHint(c.MakeMouseData(px, ty, 0, 0), hint);
    EXPECT_GT(hint.Top, ty);
    f.plot.dataView = nullptr;
}

TEST(gPlotChannel, ARemovedAxisLeavesNoDanglingPointer) {
    Fixture f;
    TestChannel& c = *f.channel;
    ASSERT_EQ(c.XAxis(), f.x);
    ASSERT_EQ(c.YAxis(), f.y);
    c.AddXY(1, 1);
    delete f.x;
    EXPECT_EQ(c.XAxis(), nullptr);
    EXPECT_FALSE(c.HasAxes());
    c.AddXY(2, 2); // tracking and drawing go on without the axis
    f.Render();
    EXPECT_EQ(f.y->tracked, (std::vector<double>{1, 2}));

    // A new axis of that name is found; a renamed one is followed.
    auto* again = f.plot.Add<XAxis>();
    again->SetName("X");
    EXPECT_EQ(c.XAxis(), again);
    TestChannel* unresolved = f.plot.Add<TestChannel>();
    unresolved->SetXAxisName("Time");
    again->SetName("Time");
    EXPECT_EQ(c.XAxisName(), "Time");
    // A channel that has not looked its axis up yet follows the rename by the old name.
    again->SetName("Clock");
    EXPECT_EQ(unresolved->XAxisName(), "Clock");
    EXPECT_EQ(unresolved->XAxis(), again);
    f.y->SetName("Level");
    EXPECT_EQ(c.YAxisName(), "Level");
    delete f.y;
    EXPECT_EQ(c.YAxis(), nullptr);
}

TEST(gPlotChannel, SelectingAnotherObjectDeselectsTheChannel) {
    Fixture f;
    TestChannel& c = *f.channel;
    c.SetName("Level");
    kv::TgPlotDataCursor cursor(&f.plot, f.plot.change, f.plot.insert, f.plot.remove, f.plot.rename);
    cursor.SetChannelName("LEVEL");
    cursor.SetUserSelected(true);
    c.SetUserSelected(true);
    c.NotificationFocusChange(&cursor); // a cursor on this channel keeps it selected
    EXPECT_TRUE(c.UserSelected());
    cursor.SetChannelName("Other");
    c.NotificationFocusChange(&cursor);
    EXPECT_FALSE(c.UserSelected());
    c.SetUserSelected(true);
    f.x->SetUserSelected(true);
    c.NotificationFocusChange(f.x);
    EXPECT_FALSE(c.UserSelected());
}

TEST(gPlotChannel, SwappedAxesSwapPixelCoordinates) {
    Fixture f;
    TestChannel& c = *f.channel;
    c.AddXY(20, 70);
    const int px = f.x->PositionToPixels(20), py = f.y->PositionToPixels(70);
    EXPECT_EQ(c.GetPointPixels(0), (TPoint{px, py}));
    c.SetXYAxesReversed(true);
    EXPECT_EQ(c.GetPointPixels(0), (TPoint{py, px}));
    EXPECT_EQ(c.GetMarkerRect(0), (TRect{py - 3, px - 3, py + 3, px + 3}));
    const TRect r = c.ValueRectToPixels(20, 70, 10, 90);
    EXPECT_EQ(r, (TRect{std::min(py, f.y->PositionToPixels(90)), f.x->PositionToPixels(10),
                        std::max(py, f.y->PositionToPixels(90)), px}));
}

TEST(gPlotChannel, PercentLinesTakeTheirHeightFromTheDataView) {
    Fixture f;
    TgPlotDataView view(&f.plot, f.plot.change, f.plot.insert, f.plot.remove, f.plot.rename);
    view.SetDrawRect({50, 50, 250, 250});
    f.plot.dataView = &view;
    TCanvas& c = f.Blank();
    f.channel->SetClipToAxes(true); // percentages are not clipped to the Y axis
    f.channel->DrawClippedLine(c, false, true, -20, 25, 100, 25);
    c.EndPaint();
    const int row = view.PositionPercentToPixelsY(25);
    EXPECT_EQ(row, 200);
    EXPECT_TRUE(f.Inked(f.x->PositionToPixels(50), row));
    EXPECT_EQ(f.InkedCount(), f.x->PositionToPixels(100) - f.x->PositionToPixels(0));
    f.plot.dataView = nullptr;
}
