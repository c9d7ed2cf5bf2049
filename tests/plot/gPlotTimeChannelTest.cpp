#include "plot/gPlotTimeChannel.h"

#include "plot/gPlotDataCursor.h"
#include "plot/gPropStream.h"
#include "plot/opc/gOPCItems.h"
#include "plot/opc/gOPCManager.h"

#include "tests/plot/ErrorOf.h"
#include "tests/plot/XYTestPlot.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <random>
#include <string>
#include <vector>

namespace kvtest_timechannel {

using namespace kv;

// A fake plot with an X axis from 0 to 100 over 240 pixels and a Y axis from 0 to 100, and one channel.
struct TimeChannelFixture {
    TimeChannelFixture() {
        x = plot.AddAxis<kv::TgPlotXAxis>("X-Axis 1", 0, 100, {40, 280, 280, 310});
        y = plot.AddAxis<kv::TgPlotYAxis>("Y-Axis 1", 0, 100, {10, 40, 40, 280});
        channel = plot.Add<kv::TgPlotChannel>("Channel 1");
        channel->SetXAxisName("X-Axis 1");
        channel->SetYAxisName("Y-Axis 1");
        channel->SetXAxisTrackingEnabled(false);
        channel->SetYAxisTrackingEnabled(false);
    }
    void Add(const std::vector<double>& xs, const std::vector<double>& ys) {
        for (std::size_t i = 0; i < xs.size(); ++i)
            channel->AddXY(xs[i], ys[i]);
    }
    std::vector<double> Xs() const {
        std::vector<double> v;
        for (int i = 0; i < channel->Count(); ++i)
            v.push_back(channel->GetDataX(i));
        return v;
    }

    kvtest::XYTestPlot plot;
    TgPlotAxis* x = nullptr;
    TgPlotAxis* y = nullptr;
    kv::TgPlotChannel* channel = nullptr;
};

TEST(TimeChannel, OutOfOrderXValuesAreRefusedAgainstTheDirectionOfTheFirstTwoPoints) {
    struct Case {
        const char* what;
        std::vector<double> before;
        bool allow;
        double next;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"increasing, smaller", {1, 2, 3}, false, 2.5, "New Data-Point X-Value is out of order"},
        {"increasing, equal", {1, 2, 3}, false, 3, ""},
        {"increasing, larger", {1, 2, 3}, false, 4, ""},
        {"decreasing, larger", {3, 2, 1}, false, 1.5, "New Data-Point X-Value is out of order."},
        {"decreasing, equal", {3, 2, 1}, false, 1, ""},
        {"decreasing, smaller", {3, 2, 1}, false, 0, ""},
        {"one point", {5}, false, -100, ""},
        {"allowed", {1, 2, 3}, true, -100, ""},
    };
    for (const Case& c : cases) {
        TimeChannelFixture f;
        f.channel->SetAllowOutOfOrderXValues(c.allow);
        f.Add(c.before, std::vector<double>(c.before.size(), 0));
        for (const auto& add : std::vector<std::function<void()>>{
                 [&] { f.channel->AddXY(c.next, 1); }, [&] { f.channel->AddXNull(c.next); },
                 [&] { f.channel->AddXEmpty(c.next); }, [&] { f.channel->AddHighLow(c.next, 4, 1, 2, 3); }}) {
            const int before = f.channel->Count();
            EXPECT_EQ(ErrorOf(add), c.error) << c.what;
            EXPECT_EQ(f.channel->Count(), before + (c.error.empty() ? 1 : 0)) << c.what;
        }
    }
}

TEST(TimeChannel, AddYArrayContinuesFromTheLastXAndRefusesOtherShapesBeforeAdding) {
    TimeChannelFixture f;
    f.channel->AddYArray(1, {{{3, 5}}, {7, 8, 9}});
    EXPECT_EQ(f.Xs(), (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(f.channel->GetDataY(2), 9);

    TimeChannelFixture g;
    g.channel->AddXY(10, 1);
    g.channel->AddYArray(0.5, {{{0, 2}}, {1, 2, 3}});
    EXPECT_EQ(g.Xs(), (std::vector<double>{10, 10, 10.5, 11}));
    EXPECT_EQ(ErrorOf([&] {
                  g.channel->AddYArray(1, {{{0, 1}, {0, 0}}, {1, 2}});
              }),
              "Y-Data array must be 1 dimensional");
    EXPECT_EQ(g.channel->Count(), 4);
}

TEST(TimeChannel, TimeStampedPointsReadTheChannelsClock) {
    TimeChannelFixture f;
    double now = 45000.25; // days
    f.channel->SetClock([&] { return now; });
    f.channel->ResetElapsedStartTime();
    now += 1.0 / (24 * 60); // one minute later
    f.channel->AddYElapsedSeconds(1);
    f.channel->AddYElapsedTime(2);
    f.channel->AddYNow(3);
    EXPECT_NEAR(f.channel->GetDataX(0), 60, 1e-6);
    EXPECT_NEAR(f.channel->GetDataX(1), 1.0 / (24 * 60), 1e-9);
    EXPECT_EQ(f.channel->GetDataX(2), now);

    // With the reset on the first point, the start time moves only when the channel is empty.
    TimeChannelFixture g;
    g.channel->SetClock([&] { return now; });
    g.channel->SetElapsedStartTime(now - 1);
    g.channel->SetResetStartTimeOnFirstDataPoint(true);
    g.channel->AddYElapsedSeconds(1);
    EXPECT_EQ(g.channel->GetDataX(0), 0);
    now += 2.0 / (24 * 60 * 60);
    g.channel->AddYElapsedSeconds(1);
    EXPECT_NEAR(g.channel->GetDataX(1), 2, 1e-4);
}

TEST(TimeChannel, HighLowPricesNeedTheFullFeatureList) {
    TimeChannelFixture f;
    f.channel->AddHighLow(1, 4, 1, 2, 3);
    EXPECT_EQ(f.channel->GetDataY(0), 0);
    EXPECT_TRUE(f.channel->GetDataValid(0));
    for (double v : {f.channel->GetDataHigh(0), f.channel->GetDataLow(0), f.channel->GetDataOpen(0),
                     f.channel->GetDataClose(0)})
        EXPECT_EQ(v, 0);

    f.channel->SetDataStyle(TgPlotDataStyle::ipdsFullFeature);
    f.channel->AddHighLow(1, 4, 1, 2, 3);
    EXPECT_EQ((std::vector<double>{f.channel->GetDataHigh(0), f.channel->GetDataLow(0),
                                   f.channel->GetDataOpen(0), f.channel->GetDataClose(0)}),
              (std::vector<double>{4, 1, 2, 3}));
}

// The expected index and value, found by walking every point.
struct TimeChannelScan {
    int index = -1;
    bool ok = false;
    double y = 0;
};

TimeChannelScan TimeChannelLinearScan(TimeChannelFixture& f, double t, bool increasing) {
    kv::TgPlotChannel& c = *f.channel;
    const int n = c.Count();
    TimeChannelScan s;
    if (increasing) {
        for (int i = 0; i < n && s.index < 0; ++i)
            if (c.GetDataX(i) >= t && t >= c.GetDataX(0))
                s.index = i;
    } else {
        for (int i = 0; i < n; ++i)
            if (c.GetDataX(i) >= t && t >= c.GetDataX(n - 1))
                s.index = i;
    }
    if (s.index < 0)
        return s;
    const int i = s.index, k = increasing ? i - 1 : i + 1;
    if (c.GetDataX(i) == t) {
        s.ok = true;
        s.y = c.GetDataY(i);
    } else if (k >= 0 && k < n) {
        const int pk = f.x->PositionToPixels(c.GetDataX(k)), pi = f.x->PositionToPixels(c.GetDataX(i));
        const int pq = f.x->PositionToPixels(t);
        s.ok = true;
        s.y = pk != pi && pq != pi ? c.GetDataY(i) + (pq - pi) * (c.GetDataY(k) - c.GetDataY(i)) / (pk - pi)
                                   : c.GetDataY(i);
    }
    return s;
}

TEST(TimeChannel, CalcIndexAndInterpolationAgreeWithALinearScanInBothDirections) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> step(0.01, 3), value(0, 100), query(-5, 105);
    for (bool increasing : {true, false}) {
        for (int round = 0; round < 20; ++round) {
            TimeChannelFixture f;
            const int n = 2 + int(rng() % 60);
            double xv = increasing ? 0 : 100;
            for (int i = 0; i < n; ++i) {
                f.channel->AddXY(xv, value(rng));
                xv += increasing ? step(rng) : -step(rng);
            }
            f.channel->DrawSetup(); // learns the direction
            ASSERT_EQ(f.channel->XIncreasing(), increasing);
            std::vector<double> queries{f.channel->GetDataX(0), f.channel->GetDataX(n - 1),
                                        f.channel->GetDataX(n / 2)};
            for (int q = 0; q < 50; ++q)
                queries.push_back(query(rng));
            for (double t : queries) {
                const TimeChannelScan want = TimeChannelLinearScan(f, t, increasing);
                EXPECT_EQ(f.channel->CalcIndex(t), want.index) << t;
                double got = -1;
                EXPECT_EQ(f.channel->GetYInterpolated(t, got), want.ok) << t;
                if (want.ok) {
                    EXPECT_DOUBLE_EQ(got, want.y) << t;
                }
            }
        }
    }
}

TEST(TimeChannel, DecreasingInterpolationCoversTheFirstIntervalAndStopsAtTheLastPoint) {
    TimeChannelFixture f;
    f.Add({50, 40, 30}, {10, 20, 30});
    f.channel->AddXNull(20);
    f.channel->DrawSetup();
    double y = 0;
    // Between the first two points.
    ASSERT_TRUE(f.channel->GetYInterpolated(45, y));
    EXPECT_NEAR(y, 15, 0.5);
    // At the null last point nothing lies beyond it to read.
    EXPECT_FALSE(f.channel->GetYInterpolated(20, y));
    EXPECT_EQ(f.channel->GetYAtX(20, y), TgPlotDataPointStatus::ipdpsEmpty);

    // Two falling points already make a decreasing channel.
    TimeChannelFixture g;
    g.Add({50, 40}, {10, 20});
    g.channel->DrawSetup();
    EXPECT_FALSE(g.channel->XIncreasing());
    EXPECT_EQ(g.channel->CalcIndex(45), 0);
    ASSERT_TRUE(g.channel->GetYInterpolated(45, y));
    EXPECT_NEAR(y, 15, 0.5);
}

TEST(TimeChannel, InterpolationWorksInWholePixelsAndHoldsTheLevelOfDigitalChannels) {
    TimeChannelFixture f; // 2.4 pixels a unit
    f.Add({0, 10, 20}, {0, 100, 0});
    double a = 0, b = 0;
    ASSERT_TRUE(f.channel->GetYInterpolated(5.0, a));
    ASSERT_TRUE(f.channel->GetYInterpolated(5.1, b));
    EXPECT_EQ(f.x->PositionToPixels(5.0), f.x->PositionToPixels(5.1));
    EXPECT_EQ(a, b);
    EXPECT_NEAR(a, 50, 5);
    // A null point on either side gives no value.
    f.channel->AddXNull(30);
    EXPECT_FALSE(f.channel->GetYInterpolated(25, a));

    f.channel->SetDigitalEnabled(true);
    ASSERT_TRUE(f.channel->GetYInterpolated(15, a));
    EXPECT_EQ(a, 100) << "the previous point's level";
}

TEST(TimeChannel, StepStylesReadTheLevelThatStartedBeforeX) {
    struct Case {
        TgPlotInterpolationStyle style;
        double x;
        TgPlotDataPointStatus status;
        double y;
    };
    using S = TgPlotInterpolationStyle;
    using P = TgPlotDataPointStatus;
    const std::vector<Case> cases = {
        {S::ipistDifferential, 15, P::ipdpsValid, 1},
        {S::ipistDifferential, 25, P::ipdpsValid, 2},
        {S::ipistDifferential, 40, P::ipdpsValid, 3},
        {S::ipistDifferential, 5, P::ipdpsEmpty, 0},
        {S::ipistDifferentialTerminated, 25, P::ipdpsValid, 2},
        {S::ipistDifferentialTerminated, 40, P::ipdpsEmpty, 0},
    };
    for (const Case& c : cases) {
        TimeChannelFixture f;
        f.Add({10, 20, 30}, {1, 2, 3});
        f.channel->SetInterpolationStyle(c.style);
        double y = -1;
        EXPECT_EQ(f.channel->GetYAtX(c.x, y), c.status) << c.x;
        EXPECT_EQ(y, c.y) << c.x;
    }
}

TEST(TimeChannel, FindNearestIndexAlwaysGivesTheDistance) {
    struct Case {
        std::vector<double> xs;
        double x;
        int index;
        double distance;
    };
    const std::vector<Case> cases = {
        {{10, 20, 30}, 5, 0, 5},  {{10, 20, 30}, 31, 2, 1},  {{10, 20, 30}, 30, 2, 0},
        {{10, 20, 30}, 14, 0, 4}, {{10, 20, 30}, 16, 1, 4},  {{10, 20, 30}, 15, 1, 5},
        {{30, 20, 10}, 5, 2, 5},  {{30, 20, 10}, 40, 0, 10}, {{30, 20, 10}, 24, 1, 4},
        {{}, 5, -1, 1e300},
    };
    for (const Case& c : cases) {
        TimeChannelFixture f;
        f.Add(c.xs, std::vector<double>(c.xs.size(), 0));
        f.channel->DrawSetup();
        double d = -1;
        EXPECT_EQ(f.channel->FindNearestIndex(c.x, d), c.index) << c.x;
        EXPECT_EQ(d, c.distance) << c.x;
    }
}

TEST(TimeChannel, DataCursorTextsOfDigitalAndInverseDeltaCursors) {
    TimeChannelFixture f;
    f.plot.translations = {{"High", "Hoch"}, {"Low", "Tief"}, {"Infinite", "Unendlich"}};
    using D = TgPlotDataCursorStyle;
    const auto valid = TgPlotDataPointStatus::ipdpsValid;
    f.channel->SetDigitalEnabled(true);
    EXPECT_EQ(f.channel->FormatDataCursorText(D::ipcsValueY, valid, 1, 5), "Hoch");
    EXPECT_EQ(f.channel->FormatDataCursorText(D::ipcsValueY, valid, 1, -0.5), "Hoch");
    EXPECT_EQ(f.channel->FormatDataCursorText(D::ipcsValueY, valid, 1, 0), "Tief");
    EXPECT_EQ(f.channel->DataCursorYText(), "Tief");
    EXPECT_EQ(f.channel->FormatDataCursorText(D::ipcsValueY, TgPlotDataPointStatus::ipdpsEmpty, 1, 0),
              "Empty");

    // Both pointers on one pixel: the inverse of no distance.
    auto* view = f.plot.Add<TgPlotDataView>("Data View 1");
    view->SetDrawRect({40, 40, 280, 280});
    f.plot.dataView = view;
    auto* cursor = f.plot.Add<TgPlotDataCursor>("Cursor 1");
    cursor->SetDataViewLink(view);
    cursor->SetStyle(D::ipcsInverseDeltaX);
    cursor->SetPointer1Position(40);
    cursor->SetPointer2Position(40.01);
    f.channel->UpdateDataCursorText(cursor);
    EXPECT_EQ(f.channel->DataCursorXText(), "Unendlich");

    // A value cursor reads the trace under its first pointer.
    f.channel->SetDigitalEnabled(false);
    f.Add({0, 100}, {0, 50});
    cursor->SetStyle(D::ipcsValueXY);
    cursor->SetPointer1Position(40);
    f.channel->UpdateDataCursorText(cursor);
    EXPECT_NEAR(cursor->ValueX(), 40, 0.5);
    EXPECT_NEAR(cursor->ValueY(), 20, 0.5);
    EXPECT_EQ(f.channel->DataCursorStatus(), TgPlotDataPointStatus::ipdpsValid);
    cursor->SetPointer1Position(100); // past the last point: no value
    f.channel->Clear();
    f.Add({0, 50}, {0, 50});
    f.channel->UpdateDataCursorText(cursor);
    EXPECT_EQ(f.channel->DataCursorStatus(), TgPlotDataPointStatus::ipdpsEmpty);
    EXPECT_EQ(f.channel->DataCursorYText(), "Empty");
}

TEST(TimeChannel, ARightClickNearTheTraceHitsTheChannel) {
    TimeChannelFixture f;
    f.Add({0, 100}, {50, 50});
    const int lineY = f.y->PositionToPixels(50), px = f.x->PositionToPixels(40);
    for (auto [dy, button, hit] :
         std::vector<std::tuple<int, TMouseButton, bool>>{{0, TMouseButton::mbRight, true},
                                                          {10, TMouseButton::mbRight, true},
                                                          {-10, TMouseButton::mbRight, true},
                                                          {11, TMouseButton::mbRight, false},
                                                          {0, TMouseButton::mbLeft, false}}) {
        TgPlotMouseData m;
        m.X = m.XAxisPixels = px;
        m.Y = m.YAxisPixels = lineY + dy;
        m.Button = button;
        EXPECT_EQ(f.channel->gMouseHitTest(m), hit) << dy;
    }
}

TEST(TimeChannel, SettingsTravelWithTheChannelAndBarDefaultsLiveInThePointList) {
    TimeChannelFixture f;
    kv::TgPlotChannel& c = *f.channel;
    EXPECT_EQ(c.BarWidth(), 5);
    EXPECT_EQ(c.DataList().StoredBarWidth, 5);
    c.SetInterpolationStyle(TgPlotInterpolationStyle::ipistRational);
    c.SetFillReference(-3.5);
    c.SetFillColor(clTeal);
    c.SetDigitalReferenceStyle(TgPlotDigitalReferenceStyle::ipdrPercent);
    c.SetHighLowStyle(TgPlotHighLowStyle::iphlsCandleStick);
    c.SetHighLowOpenColor(clMaroon);
    c.SetHighLowBarWidth(0.25);
    c.SetBarPenStyle(TPenStyle::psDot);
    c.SetBarReference(12);
    c.SetAllowOutOfOrderXValues(false);
    c.SetOPCXValueSource(TgOPCXValueSourceStyle::iopcxvsElapsedSeconds);
    c.SetOPCItem2Name("Second");
    c.SetOPCOffset2(4);
    EXPECT_EQ(c.DataList().StoredBarReference, 12);

    TgWriter writer;
    gWriteProperties(writer, c);
    writer.WriteListEnd();
    TgReader reader(writer.Values());
    auto* copy = f.plot.Add<kv::TgPlotChannel>();
    gReadProperties(reader, *copy);
    ASSERT_EQ(&c.ClassInfo(), &kv::TgPlotChannel::StaticClassInfo());
    // The channel kind's own settings (the base's have their own tests).
    for (const auto& p : c.ClassInfo().Props())
        if (!kv::TgPlotChannelCustom::StaticClassInfo().FindProp(p->Name)) {
            EXPECT_EQ(p->ValueText(*copy), p->ValueText(c)) << p->Name;
        }
}

// The fake OPC client library, loaded by the binding and opened again here for its test controls.
class TimeChannelOPC : public ::testing::Test {
protected:
    void SetUp() override {
        OPCReleaseLibrary();
        ASSERT_TRUE(OPCLoadLibrary(KV_FAKEOPC_PATH));
        FHandle = dlopen(KV_FAKEOPC_PATH, RTLD_NOW);
        ASSERT_NE(FHandle, nullptr);
        Fn<void (*)()>("FakeOPC_Reset")();
    }
    void TearDown() override {
        OPCReleaseLibrary();
        if (FHandle)
            dlclose(FHandle);
    }
    template <class F> F Fn(const char* name) { return reinterpret_cast<F>(dlsym(FHandle, name)); }
    void Send(TgOPCItem* item, double value, double timeStamp) {
        TgOPCLibVariant v{varDouble, 0, 0, value, nullptr};
        Fn<void (*)(std::int32_t, const TgOPCLibVariant*, std::uint16_t, double)>("FakeOPC_SetData")(
            item->SignalHandle(), &v, 0xC0, timeStamp);
        Fn<void (*)(std::int32_t)>("FakeOPC_FireNewData")(item->SignalHandle());
    }
    void FireGroupUpdate(std::int32_t group) { Fn<void (*)(std::int32_t)>("FakeOPC_FireGroupUpdate")(group); }

    void* FHandle = nullptr;
};

TEST_F(TimeChannelOPC, ItemValuesBecomePointsStampedAsTheSourceSays) {
    using V = TgOPCXValueSourceStyle;
    const double day = 24 * 60 * 60;
    struct Case {
        V source;
        double x;
    };
    // The server stamps 45000.5; the channel's clock reads 45001, ten seconds after its start time.
    for (const Case& c : std::vector<Case>{{V::iopcxvsOPCServerTimeStamp, 45000.5},
                                           {V::iopcxvsSystemTimeStamp, 45001},
                                           {V::iopcxvsElapsedTime, 10 / day},
                                           {V::iopcxvsElapsedSeconds, 10}}) {
        TimeChannelFixture f;
        kv::TgPlotChannel& ch = *f.channel;
        ch.SetClock([] { return 45001.0; });
        ch.SetElapsedStartTime(45001 - 10 / day);
        ch.SetOPCXValueSource(c.source);
        ch.SetOPCServerName("Srv");
        ch.SetOPCItemName("In");
        ch.OPCActivate();
        Send(ch.OPCItemManager()->GetItem(0), 7, 45000.5);
        ASSERT_EQ(ch.Count(), 1) << int(c.source);
        EXPECT_NEAR(ch.GetDataX(0), c.x, 1e-6) << int(c.source);
        EXPECT_EQ(ch.GetDataY(0), 7);
    }

    // Two items in a group of the channel's own give X and Y together.
    TimeChannelFixture f;
    kv::TgPlotChannel& ch = *f.channel;
    ch.SetOPCXValueSource(V::iopcxvsOPCItem);
    ch.SetOPCServerName("Srv");
    ch.SetOPCItemName("In");
    ch.SetOPCItem2Name("Out");
    ch.OPCActivate();
    ASSERT_EQ(ch.OPCManager()->GroupCount(), 1);
    TgOPCItem* first = ch.OPCItemManager()->GetItem(0);
    TgOPCItem* second = ch.OPCItemManager()->GetItem(1);
    EXPECT_EQ(second->GroupName(), first->GroupName());
    Send(first, 3, 0);
    Send(second, 4, 0);
    EXPECT_EQ(ch.Count(), 0) << "single values wait for the group";
    FireGroupUpdate(ch.OPCManager()->GetGroup(0)->DLLGroupHandle());
    ASSERT_EQ(ch.Count(), 1);
    EXPECT_EQ(ch.GetDataX(0), 3);
    EXPECT_EQ(ch.GetDataY(0), 4);
}

} // namespace kvtest_timechannel
