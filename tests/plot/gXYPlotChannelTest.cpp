#include "plot/gXYPlotChannel.h"

#include "plot/gPlotDataCursor.h"
#include "plot/gPlotTimeChannel.h"
#include "plot/gPropStream.h"
#include "plot/opc/gOPCItems.h"
#include "plot/opc/gOPCManager.h"

#include "tests/plot/XYTestPlot.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace kvtest_xychannel {

using namespace kv;

// The dynamics pages' plot: both axes from -100 to 20, two pixels a unit, on a black 320 x 320 image;
// the data area is (40, 40)-(280, 280).
struct XYChannelFixture {
    XYChannelFixture() {
        x = plot.AddAxis<kv::TgPlotXAxis>("X-Axis 1", -100, 120, {40, 280, 280, 310});
        y = plot.AddAxis<kv::TgPlotYAxis>("Y-Axis 1", -100, 120, {10, 40, 40, 280});
        channel = plot.Add<kv::TgXYPlotChannel>("Channel 1");
        channel->SetXAxisName("X-Axis 1");
        channel->SetYAxisName("Y-Axis 1");
        channel->SetColor(clWhite);
        channel->SetTraceLineWidth(2);
    }
    TCanvas& Render() {
        TCanvas& c = *bitmap.Canvas();
        c.SetClipRect(nullptr);
        c.Brush()->SetStyle(TBrushStyle::bsSolid);
        c.Brush()->SetColor(clBlack);
        c.FillRect({0, 0, 320, 320});
        channel->DrawSetup();
        channel->Draw(c, clBlack);
        c.EndPaint();
        if (const char* png = std::getenv("KV_XYCHANNEL_PNG")) // to look at the picture
            bitmap.Image().save(png);
        return c;
    }
    TColor At(int px, int py) { return bitmap.Canvas()->Pixel(px, py); }
    TColor AtValue(double vx, double vy) { return At(x->PositionToPixels(vx), y->PositionToPixels(vy)); }
    // The colours found in the image, other than the black background.
    std::vector<TColor> Inks(TRect* box = nullptr) {
        std::vector<TColor> inks;
        TRect b{320, 320, -1, -1};
        for (int py = 0; py < 320; ++py)
            for (int px = 0; px < 320; ++px)
                if (TColor c = At(px, py); c != clBlack) {
                    if (std::find(inks.begin(), inks.end(), c) == inks.end())
                        inks.push_back(c);
                    b = {std::min(b.Left, px), std::min(b.Top, py), std::max(b.Right, px),
                         std::max(b.Bottom, py)};
                }
        if (box)
            *box = b;
        return inks;
    }

    kvtest::XYTestPlot plot;
    TBitmap bitmap{320, 320};
    TgPlotAxis* x = nullptr;
    TgPlotAxis* y = nullptr;
    kv::TgXYPlotChannel* channel = nullptr;
};

std::vector<std::pair<double, double>> XYChannelPoints(const kv::TgXYPlotChannel& c) {
    std::vector<std::pair<double, double>> v;
    for (int i = 0; i < c.Count(); ++i)
        v.emplace_back(c.GetDataX(i), c.GetDataY(i));
    return v;
}

} // namespace kvtest_xychannel

using namespace kvtest_xychannel;

TEST(gXYPlotChannel, ReplacingTheCurveAsTheEditorDoes) {
    struct Case {
        int deleted;
        std::vector<std::pair<double, double>> added, expected;
    };
    const std::vector<std::pair<double, double>> old{{1, 1}, {2, 2}, {3, 3}, {4, 4}};
    const std::vector<Case> cases{
        // The editor deletes every point, then adds the new curve.
        {4, {{-100, -100}, {-40, -40}, {0, -20}, {20, -15}}, {{-100, -100}, {-40, -40}, {0, -20}, {20, -15}}},
        // Fewer than all: the oldest go, the newest stays.
        {3, {}, {{4, 4}}},
    };
    for (const Case& c : cases) {
        XYChannelFixture f;
        for (auto [px, py] : old)
            f.channel->AddXY(px, py);
        f.channel->DeletePoints(c.deleted);
        for (auto [px, py] : c.added)
            f.channel->AddXY(px, py);
        EXPECT_EQ(XYChannelPoints(*f.channel), c.expected) << c.deleted;
    }
}

TEST(gXYPlotChannel, CurveTurningBackIsDrawnInOrderAddedAsWhitePolyline) {
    XYChannelFixture f;
    for (auto [px, py] : {std::pair{20.0, 20.0}, {-10.0, -10.0}, {-10.0, -10.0}, {-100.0, -100.0}})
        f.channel->AddXY(px, py);
    f.Render();
    TRect box;
    EXPECT_EQ(f.Inks(&box), std::vector<TColor>{clWhite});
    // Both real segments are there, joined through the zero-length one, end to end.
    for (double v : {15.0, 5.0, -10.0, -30.0, -55.0, -90.0})
        EXPECT_EQ(f.AtValue(v, v), clWhite) << v;
    EXPECT_EQ(f.AtValue(0, -50), clBlack);
    EXPECT_LE(box.Left, f.x->PositionToPixels(-100));
    EXPECT_GE(box.Right, f.x->PositionToPixels(20) - 1);
    // Two pixels wide: a row across the line at its middle meets two or three white pixels (it is
    // diagonal), never one.
    const int row = f.y->PositionToPixels(-55);
    int white = 0;
    for (int px = 0; px < 320; ++px)
        white += f.At(px, row) == clWhite;
    EXPECT_GE(white, 2);
    EXPECT_LE(white, 3);

    // A second trace over null and empty points: the empty one is passed over, the null one breaks.
    f.channel->Clear();
    f.channel->AddXY(-90, 0);
    f.channel->AddEmpty();
    f.channel->AddXY(-50, 0);
    f.channel->AddNull();
    f.channel->AddXY(0, 0);
    f.Render();
    EXPECT_EQ(f.AtValue(-70, 0), clWhite);
    EXPECT_EQ(f.AtValue(-25, 0), clBlack);
}

TEST(gXYPlotChannel, NullAndEmptyPointsBypassStatistics) {
    XYChannelFixture f;
    f.channel->AddXY(5, 6);
    int changes = f.plot.changes;
    EXPECT_EQ(f.channel->AddNull(), 1);
    EXPECT_EQ(f.channel->AddEmpty(), 2);
    EXPECT_GT(f.plot.changes, changes);
    EXPECT_TRUE(f.channel->GetDataNull(1));
    EXPECT_TRUE(f.channel->GetDataEmpty(2));
    EXPECT_EQ(f.channel->RunningCount(), 1);
    EXPECT_EQ(f.channel->RunningXMin(), 5);
}

TEST(gXYPlotChannel, SecondChannelOfTheEditorShowsMarkersAndADottedTrace) {
    XYChannelFixture f;
    kv::TgXYPlotChannel& c = *f.channel;
    c.SetColor(8421631);
    c.SetTraceLineStyle(TgPlotLineStyle::iplsDot);
    c.SetTraceLineWidth(5);
    c.SetMarkersAllowIndividual(true);
    c.SetMarkersVisible(true);
    c.SetMarkersSize(5);
    c.SetMarkersPenWidth(3);

    // A single point: a filled circle of radius 5 with a 3-pixel outline, and no trace.
    c.AddXY(-40, -40);
    f.Render();
    TRect box;
    EXPECT_EQ(f.Inks(&box), std::vector<TColor>{0x8080FF});
    const int cx = f.x->PositionToPixels(-40), cy = f.y->PositionToPixels(-40);
    EXPECT_EQ(f.At(cx, cy), 0x8080FF);
    EXPECT_GE(box.Left, cx - 7);
    EXPECT_LE(box.Right, cx + 7);
    EXPECT_GE(box.Top, cy - 7);
    EXPECT_LE(box.Bottom, cy + 7);
    EXPECT_GE(box.Right - box.Left, 10);

    // A second point adds the 5-pixel trace between the two.
    c.AddXY(0, -40);
    f.Render();
    const int mid = f.x->PositionToPixels(-20);
    int inked = 0;
    for (int py = cy - 10; py <= cy + 10; ++py)
        inked += f.At(mid, py) != clBlack;
    EXPECT_GE(inked, 4);
    EXPECT_LE(inked, 6);
}

TEST(gXYPlotChannel, ClipToAxesKeepsMarkersInsideTheAxes) {
    XYChannelFixture f;
    f.channel->SetMarkersVisible(true);
    f.channel->SetMarkersSize(6);
    f.channel->AddXY(20, -40); // on the right end of the X axis
    const int edge = f.x->PositionToPixels(20);
    const int row = f.y->PositionToPixels(-40);
    f.Render();
    EXPECT_NE(f.At(edge + 3, row), clBlack);
    f.channel->SetClipToAxes(true);
    f.Render();
    EXPECT_NE(f.At(edge - 3, row), clBlack);
    EXPECT_EQ(f.At(edge + 3, row), clBlack);
}

// Both channel kinds: ClipToAxes narrows the plot's clip (its data view widened by a pixel) to the
// axes while the channel draws, and the plot's clip holds again for what is drawn after it.
TEST(gXYPlotChannel, BothKindsClipToTheirAxesAndGiveThePlotItsClipBack) {
    for (bool xy : {true, false}) {
        XYChannelFixture f;
        kv::TgPlotChannelCustom* c = f.channel;
        if (!xy) {
            f.channel->SetVisible(false);
            c = f.plot.Add<kv::TgPlotChannel>("Channel 2");
            c->SetXAxisName("X-Axis 1");
            c->SetYAxisName("Y-Axis 1");
            c->SetColor(clWhite);
        }
        f.plot.dataView = f.plot.Add<kv::TgPlotDataView>("Data View 1");
        f.plot.dataView->SetDrawRect({20, 20, 300, 300});
        c->SetMarkersVisible(true);
        c->SetMarkersSize(6);
        c->SetClipToAxes(true);
        c->AddXY(20, -40); // on the right end of the X axis
        const int edge = f.x->PositionToPixels(20);
        const int row = f.y->PositionToPixels(-40);

        TCanvas& canvas = *f.bitmap.Canvas();
        canvas.SetClipRect(nullptr);
        canvas.Brush()->SetColor(clBlack);
        canvas.FillRect({0, 0, 320, 320});
        const TRect plotClip{20, 20, 301, 301};
        canvas.SetClipRect(&plotClip);
        c->DrawSetup();
        c->Draw(canvas, clBlack);
        EXPECT_NE(f.At(edge - 3, row), clBlack) << xy;
        EXPECT_EQ(f.At(edge + 3, row), clBlack) << xy;

        canvas.Brush()->SetColor(clGray);
        canvas.FillRect({0, 0, 320, 320});
        EXPECT_EQ(f.At(25, 25), clGray) << xy << ": inside the plot's clip, outside the axes";
        EXPECT_EQ(f.At(10, 10), clBlack) << xy;
        EXPECT_EQ(f.At(305, 305), clBlack) << xy;
    }
}

TEST(gXYPlotChannel, WithoutItsAxisNothingIsDrawnAndNoExtentReported) {
    XYChannelFixture f;
    f.channel->AddXY(-50, -50);
    f.channel->AddXY(0, 0);
    f.channel->SetXAxisName("No Such Axis");
    f.Render();
    EXPECT_FALSE(f.channel->CanDraw());
    EXPECT_TRUE(f.Inks().empty());
    EXPECT_EQ(f.channel->GetVisibleXMax(), -1e300);
    EXPECT_EQ(f.channel->GetVisibleXMin(), 1e300);
    EXPECT_EQ(f.channel->GetVisibleYMax(), -1e300);
    EXPECT_EQ(f.channel->GetVisibleYMin(), 1e300);
}

TEST(gXYPlotChannel, VisibleExtentSkipsNullAndEmptyAndWidensByMarkers) {
    XYChannelFixture f;
    kv::TgXYPlotChannel& c = *f.channel;
    EXPECT_EQ(c.GetVisibleXMax(), -1e300); // no points
    c.AddXY(-60, 10);
    c.AddNull();
    c.AddXY(-20, -30);
    c.AddEmpty();
    c.DrawSetup();
    EXPECT_TRUE(c.CanDraw());
    EXPECT_EQ(c.DrawStartIndex(), 0);
    EXPECT_EQ(c.DrawStopIndex(), 3);
    EXPECT_EQ(c.GetVisibleXMax(), -20);
    EXPECT_EQ(c.GetVisibleXMin(), -60);
    EXPECT_EQ(c.GetVisibleYMax(), 10);
    EXPECT_EQ(c.GetVisibleYMin(), -30);
    // Markers of 4 pixels are 2 units at two pixels a unit.
    c.SetMarkersVisible(true);
    c.SetMarkersSize(4);
    EXPECT_DOUBLE_EQ(c.GetVisibleXMax(), -18);
    EXPECT_DOUBLE_EQ(c.GetVisibleYMin(), -32);
    c.SetVisible(false);
    EXPECT_EQ(c.GetVisibleYMax(), -1e300);
}

TEST(gXYPlotChannel, DataCursorTextsByStyle) {
    struct Case {
        TgPlotDataCursorStyle style;
        double p1, p2;
        double x, y;
        std::string text, xText, yText;
    };
    // Pointers at 50 and 60 percent of an axis from -100 to 20 read -40 and -28.
    const std::vector<Case> cases{
        {TgPlotDataCursorStyle::ipcsValueXY, 50, 60, -40, -28, "-40, -28", "-40", "-28"},
        {TgPlotDataCursorStyle::ipcsValueX, 50, 60, -40, 0, "-40", "-40", ""},
        {TgPlotDataCursorStyle::ipcsValueY, 50, 60, 0, -28, "-28", "", "-28"},
        {TgPlotDataCursorStyle::ipcsDeltaX, 50, 60, 12, 0, "12", "12", ""},
        {TgPlotDataCursorStyle::ipcsDeltaY, 60, 50, 0, 12, "12", "", "12"},
        {TgPlotDataCursorStyle::ipcsInverseDeltaX, 50, 75, 1.0 / 30, 0, "0", "0", ""},
        {TgPlotDataCursorStyle::ipcsInverseDeltaX, 40, 40, std::numeric_limits<double>::infinity(), 0,
         "Unendlich", "Unendlich", ""},
    };
    for (const Case& c : cases) {
        XYChannelFixture f;
        f.plot.translations["Infinite"] = "Unendlich";
        auto* cursor = f.plot.Add<kv::TgPlotDataCursor>("Cursor 1");
        cursor->SetStyle(c.style);
        cursor->SetPointer1Position(c.p1);
        cursor->SetPointer2Position(c.p2);
        f.channel->UpdateDataCursorText(cursor);
        const std::string what = EnumIdents(c.style)[static_cast<std::size_t>(c.style)];
        EXPECT_DOUBLE_EQ(cursor->ValueX(), c.x) << what;
        EXPECT_DOUBLE_EQ(cursor->ValueY(), c.y) << what;
        EXPECT_EQ(cursor->Status(), TgPlotDataPointStatus::ipdpsValid);
        EXPECT_EQ(cursor->CursorDisplayText(), c.text) << what;
        EXPECT_EQ(f.channel->DataCursorXText(), c.xText) << what;
        EXPECT_EQ(f.channel->DataCursorYText(), c.yText) << what;
    }
}

TEST(gXYPlotChannel, DataCursorTextsWithoutAxesAndForNullOrEmptyValues) {
    XYChannelFixture f;
    f.plot.translations = {{"No X-Axis", "Keine X-Achse"}, {"Null", "Nichts"}, {"Empty", "Leer"}};
    auto* cursor = f.plot.Add<kv::TgPlotDataCursor>("Cursor 1");
    kv::TgXYPlotChannel& c = *f.channel;
    EXPECT_EQ(
        c.FormatDataCursorText(TgPlotDataCursorStyle::ipcsValueXY, TgPlotDataPointStatus::ipdpsNull, 5, 7),
        "5, Nichts");
    EXPECT_EQ(c.DataCursorXValue(), 5);
    EXPECT_EQ(c.DataCursorYValue(), 7);
    EXPECT_EQ(c.DataCursorStatus(), TgPlotDataPointStatus::ipdpsNull);
    EXPECT_EQ(
        c.FormatDataCursorText(TgPlotDataCursorStyle::ipcsValueY, TgPlotDataPointStatus::ipdpsEmpty, 5, 7),
        "Leer");

    // Without a Y axis the values stay 0 and the Y text is not translated.
    c.SetYAxisName("None Here");
    c.UpdateDataCursorText(cursor);
    EXPECT_EQ(cursor->ValueX(), 0);
    EXPECT_EQ(cursor->CursorDisplayText(), "0, No Y-Axis");
    c.SetXAxisName("None Here");
    c.UpdateDataCursorText(cursor);
    EXPECT_EQ(cursor->CursorDisplayText(), "Keine X-Achse");
    EXPECT_EQ(c.DataCursorXText(), "Keine X-Achse");
}

TEST(gXYPlotChannel, OPCSettingsLiveInTheTwoItemsAndStream) {
    XYChannelFixture f;
    kv::TgXYPlotChannel& c = *f.channel;
    ASSERT_EQ(c.OPCItemManager()->Count(), 2);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(c.OPCItemManager()->GetItem(i)->PropertyName(), "Data");
    EXPECT_EQ(c.OPCComputerName(), "Local");
    EXPECT_EQ(c.OPCUpdateRate(), 500);
    EXPECT_TRUE(c.OPCAutoConnect());

    c.SetOPCServerName("Srv");
    c.SetOPCItemName("In");
    c.SetOPCItem2Name("Out");
    c.SetOPCScalar2(2.5);
    c.SetOPCOffset(-1);
    c.SetOPCUpdateRate(250);
    c.SetOPCAutoConnect(false);
    TgOPCItem* x = c.OPCItemManager()->GetItem(0);
    TgOPCItem* y = c.OPCItemManager()->GetItem(1);
    EXPECT_EQ(x->ServerName(), "Srv");
    EXPECT_EQ(x->ItemName(), "In");
    EXPECT_EQ(y->ItemName(), "Out");
    EXPECT_EQ(y->Scalar(), 2.5);
    EXPECT_EQ(x->Offset(), -1);
    EXPECT_EQ(x->UpdateRate(), 250);

    TgWriter writer;
    gWriteProperties(writer, c);
    writer.WriteListEnd();
    TgReader reader(writer.Values());
    auto* copy = f.plot.Add<kv::TgXYPlotChannel>();
    gReadProperties(reader, *copy);
    for (const char* name :
         {"OPCComputerName", "OPCServerName", "OPCItemName", "OPCItem2Name", "OPCUpdateRate", "OPCScalar",
          "OPCOffset", "OPCScalar2", "OPCOffset2", "OPCAutoConnect"}) {
        const TPropInfo* p = c.ClassInfo().FindProp(name);
        ASSERT_NE(p, nullptr) << name;
        EXPECT_EQ(p->ValueText(*copy), p->ValueText(c)) << name;
    }
}

TEST(gXYPlotChannel, WithoutTheOPCLibraryEveryCallDoesNothing) {
    OPCReleaseLibrary();
    XYChannelFixture f;
    kv::TgXYPlotChannel& c = *f.channel;
    c.OPCActivate();
    c.OPCActivateSuspend();
    c.OPCUpdateResume();
    c.OPCDeactivate();
    EXPECT_FALSE(c.OPCActive());
    EXPECT_FALSE(c.OPCQualityGood());
    EXPECT_EQ(c.Count(), 0);
}

namespace kvtest_xychannel {

// The fake OPC client library, loaded by the binding and opened again here for its test controls.
class XYChannelOPC : public ::testing::Test {
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
    std::string Log() { return Fn<const char* (*)()>("FakeOPC_Log")(); }
    void Send(TgOPCItem* item, double value) {
        TgOPCLibVariant v{varDouble, 0, 0, value, nullptr};
        Fn<void (*)(std::int32_t, const TgOPCLibVariant*, std::uint16_t, double)>("FakeOPC_SetData")(
            item->SignalHandle(), &v, 0xC0, 0);
        Fn<void (*)(std::int32_t)>("FakeOPC_FireNewData")(item->SignalHandle());
    }
    void FireGroupUpdate(std::int32_t group) { Fn<void (*)(std::int32_t)>("FakeOPC_FireGroupUpdate")(group); }

    void* FHandle = nullptr;
};

} // namespace kvtest_xychannel

TEST_F(XYChannelOPC, GroupUpdatesBecomePoints) {
    XYChannelFixture f;
    auto* c = f.plot.Add<kv::TgXYPlotChannel>();
    c->SetOPCServerName("Srv");
    c->SetOPCItemName("In");
    c->SetOPCItem2Name("Out");
    c->SetOPCScalar2(2);
    c->OPCActivate();
    ASSERT_EQ(c->OPCManager()->GroupCount(), 1);
    const std::string group = c->OPCManager()->GetGroup(0)->Name();
    EXPECT_FALSE(group.empty());
    EXPECT_NE(group, f.channel->OPCManager()->GetGroup(0)->Name()); // each channel its own group
    TgOPCItem* x = c->OPCItemManager()->GetItem(0);
    TgOPCItem* y = c->OPCItemManager()->GetItem(1);
    EXPECT_EQ(x->GroupName(), group);
    EXPECT_EQ(y->GroupName(), group);
    EXPECT_NE(Log().find("GroupAdd " + group + "|Local|Srv|500"), std::string::npos) << Log();
    EXPECT_NE(Log().find("SignalAdd Local|Srv|In|" + group), std::string::npos) << Log();
    EXPECT_NE(Log().find("|Out|" + group), std::string::npos) << Log();

    // Before both items have values an update adds nothing.
    FireGroupUpdate(c->OPCManager()->GetGroup(0)->DLLGroupHandle());
    EXPECT_EQ(c->Count(), 0);
    Send(x, -20);
    Send(y, -15);
    FireGroupUpdate(c->OPCManager()->GetGroup(0)->DLLGroupHandle());
    ASSERT_EQ(c->Count(), 1);
    EXPECT_EQ(c->GetDataX(0), -20);
    EXPECT_EQ(c->GetDataY(0), -30); // item 1 scaled by 2

    c->OPCUpdateSuspend();
    c->OPCUpdateResume();
    EXPECT_NE(Log().find("GroupSuspend"), std::string::npos);
    EXPECT_NE(Log().find("GroupResume"), std::string::npos);
}

TEST(gXYPlotChannel, DataCursorOnAnAxisSharingTheViewReadsTheAxisUnderThePointer) {
    XYChannelFixture f;
    // A reversed X axis along the left half of the data view only.
    auto* view = f.plot.Add<kv::TgPlotDataView>("Data View 1");
    view->SetDrawRect({40, 40, 280, 280});
    f.x->SetStopPercent(50);
    f.x->SetReverseScale(true);
    f.x->SetDrawRect({40, 280, 160, 310});
    TBitmap scratch(8, 8);
    f.x->CalcScaleRect(*scratch.Canvas());
    auto* cursor = f.plot.Add<kv::TgPlotDataCursor>("Cursor 1");
    cursor->SetStyle(TgPlotDataCursorStyle::ipcsValueX);
    cursor->SetPointer1Position(25); // pixel 100: the middle of the axis
    cursor->SetDataViewLink(view);
    f.channel->UpdateDataCursorText(cursor);
    EXPECT_DOUBLE_EQ(cursor->ValueX(), -40);
    // Without a data view the axis maps the percentage itself.
    cursor->SetDataViewLink(nullptr);
    f.channel->UpdateDataCursorText(cursor);
    EXPECT_DOUBLE_EQ(cursor->ValueX(), f.x->PercentToPosition(0.25));
}
