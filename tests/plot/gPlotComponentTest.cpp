#include "plot/gPlotComponent.h"

#include "plot/gPlotLayoutManager.h"
#include "plot/gXYPlot.h"

#include "platform/core/Properties.h"
#include "platform/gui/Layout.h"

#include "ErrorOf.h"
#include "tests/support/TempFiles.h"

#include <gtest/gtest.h>

#include <QImage>

#include <memory>

namespace kvtest {
using namespace kv;

namespace {

std::string PlotCompLayoutOf(TgXYPlot& plot) {
    plot.SetName("plot1");
    return WriteLayout(plot);
}

// A fresh XY plot read from a layout text.
std::unique_ptr<TgXYPlot> PlotCompRead(const std::string& layout) {
    gRegisterXYPlotClass();
    auto plot = std::make_unique<TgXYPlot>(nullptr);
    auto problems = ReadLayout(layout, *plot);
    EXPECT_TRUE(problems.empty()) << (problems.empty() ? "" : problems[0]);
    return plot;
}

} // namespace

TEST(PlotComponent, ALayoutCarriesTheObjectsAndKeepsTheirLevels) {
    TgXYPlot source(nullptr);
    source.AddChannel();
    source.GetChannel(1)->SetTitleText("Limiter");
    source.GetXAxis(0)->SetMin(-100);
    source.GetLegend(0)->SetZOrder(4);
    source.SetDataViewZVert(3);
    source.AddTranslation("Edit...", "Bearbeiten...");
    const std::string layout = PlotCompLayoutOf(source);
    for (const char* value : {"ToolBarManager", "ChannelManager", "LabelManager", "TranslationManager"})
        EXPECT_NE(layout.find(value), std::string::npos) << value;
    EXPECT_EQ(layout.find("TableManager"), std::string::npos) << "no tables, no value";
    EXPECT_EQ(layout.find("LimitManager"), std::string::npos);
    EXPECT_EQ(layout.find("ImageList0"), std::string::npos) << "no images, no value";

    auto copy = PlotCompRead(layout);
    ASSERT_EQ(copy->ChannelCount(), 2);
    EXPECT_EQ(copy->GetChannel(1)->TitleText(), "Limiter");
    EXPECT_EQ(copy->GetXAxis(0)->Min(), -100);
    EXPECT_EQ(copy->GetLegend(0)->ZOrder(), 4) << "read with the layout manager off: not merged into level 0";
    EXPECT_EQ(copy->GetToolBar(0)->ZOrder(), 3);
    EXPECT_EQ(copy->DataViewZVert(), 3);
    EXPECT_EQ(copy->FindReplacement("Edit..."), "Bearbeiten...");
    EXPECT_TRUE(copy->LayoutManager()->Enabled());
    EXPECT_FALSE(copy->GetUpdateActive()) << "the update block ends with Loaded";
    EXPECT_EQ(copy->LayoutManager()->RightList().size(), 1u) << "the side lists were rebuilt";
    EXPECT_EQ(WriteLayout(*copy), layout);
}

TEST(PlotComponent, EmptyManagersAreNotWrittenAndTheConstructorsObjectsStay) {
    TgXYPlot source(nullptr);
    source.RemoveAllChannels();
    source.RemoveAllDataCursors();
    const std::string layout = PlotCompLayoutOf(source);
    EXPECT_EQ(layout.find("ChannelManager"), std::string::npos);
    EXPECT_EQ(layout.find("DataCursorManager"), std::string::npos);
    auto copy = PlotCompRead(layout);
    EXPECT_EQ(copy->ChannelCount(), 1) << "the constructor's channel is kept";
    EXPECT_EQ(copy->DataCursorCount(), 1);
}

TEST(PlotComponent, AToolBarInTheTitlesBandMovesOneLevelOutOnRead) {
    struct Case {
        int toolBarZ, labelZ;
        bool labelHorizontal;
        int expected;
    };
    const Case cases[] = {
        {2, 2, true, 3},  // the constructor's title is still there when the toolbar is read
        {3, 3, true, 4},  // both read: the toolbar moves once the whole layout is in
        {2, 2, false, 2}, // different orientations share no band
        {3, 2, true, 3},
    };
    for (const Case& c : cases) {
        TgXYPlot source(nullptr);
        source.GetLabel(0)->SetHorizontal(c.labelHorizontal);
        source.GetToolBar(0)->SetZOrder(c.toolBarZ);
        source.GetLabel(0)->SetZOrder(c.labelZ);
        auto copy = PlotCompRead(PlotCompLayoutOf(source));
        EXPECT_EQ(copy->GetToolBar(0)->ZOrder(), c.expected)
            << c.toolBarZ << "/" << c.labelZ << (c.labelHorizontal ? " horizontal" : " vertical");
        EXPECT_EQ(copy->GetLabel(0)->ZOrder(), c.labelZ);
    }
}

TEST(PlotComponent, ImageListsTravelWhenTheyHoldImages) {
    TgXYPlot source(nullptr);
    TBitmap picture(24, 24);
    picture.Canvas()->Brush()->SetColor(clRed);
    picture.Canvas()->FillRect(Rect(0, 0, 24, 24));
    source.ImageListAdd(1, picture);
    const std::string layout = PlotCompLayoutOf(source);
    EXPECT_EQ(layout.find("ImageList0"), std::string::npos);
    EXPECT_NE(layout.find("ImageList1"), std::string::npos);
    auto copy = PlotCompRead(layout);
    EXPECT_EQ(copy->GetImageList(1)->Count(), 1);
    EXPECT_EQ(copy->GetImageList(0)->Count(), 0);
    EXPECT_EQ(ErrorOf([&] { copy->SetImageListText(2, "bm90IGFuIGltYWdlIGxpc3Q="); }),
              "Failed to read ImageList data from stream");
}

TEST(PlotComponent, ImageListAddFitsPicturesToTheList) {
    TgXYPlot plot(nullptr);
    TImageList* list = plot.GetImageList(0);
    auto Picture = [](int w, int h, TColor fill) {
        auto b = std::make_unique<TBitmap>(w, h);
        b->Canvas()->Brush()->SetColor(fill);
        b->Canvas()->FillRect(Rect(0, 0, w, h));
        b->SetTransparentColor(clFuchsia);
        return b;
    };
    list->SetSize(16, 16);
    plot.ImageListAdd(0, *Picture(24, 24, clBlue));
    EXPECT_EQ(list->Width(), 24) << "an empty list takes the first picture's size";
    EXPECT_EQ(list->Height(), 24);

    plot.ImageListAdd(0, *Picture(16, 16, clLime));
    ASSERT_EQ(list->Count(), 2);
    TBitmap target(24, 24);
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect(Rect(0, 0, 24, 24));
    list->Draw(*target.Canvas(), 0, 0, 1);
    const QImage& image = target.Image();
    EXPECT_EQ(QColor(image.pixel(1, 1)), QColor(Qt::white)) << "padded with the transparent colour";
    EXPECT_EQ(QColor(image.pixel(4, 4)), QColor(Qt::green)) << "centred: starts at 12 - 8";
    EXPECT_EQ(QColor(image.pixel(19, 19)), QColor(Qt::green));
    EXPECT_EQ(QColor(image.pixel(20, 20)), QColor(Qt::white));

    EXPECT_EQ(ErrorOf([&] { plot.ImageListAdd(0, *Picture(32, 16, clRed)); }),
              "Image Width and Height must be the same as other images, or both smaller, or both larger");
    plot.ImageListAdd(0, *Picture(24, 16, clRed));
    plot.ImageListAdd(0, *Picture(32, 32, clRed));
    EXPECT_EQ(list->Count(), 4) << "one side equal, or both larger: used as it is";
    for (int index : {-1, 3})
        EXPECT_EQ(ErrorOf([&] { plot.ImageListAdd(index, *Picture(24, 24, clRed)); }),
                  "ImageList Index must be 0-2");
    plot.ImageListClear(0);
    EXPECT_EQ(list->Count(), 0);
}

TEST(PlotComponent, TheTitleLabelStays) {
    TgXYPlot plot(nullptr);
    for (int i = 0; i < 3; ++i)
        plot.AddLabel();
    EXPECT_EQ(ErrorOf([&] { plot.DeleteLabel(0); }),
              "Label Index 0 can not be Deleted (Resevered for Title)");
    EXPECT_EQ(plot.LabelCount(), 4);
    plot.DeleteLabel(2);
    EXPECT_EQ(plot.LabelCount(), 3);
    plot.RemoveAllLabels();
    ASSERT_EQ(plot.LabelCount(), 1);
    EXPECT_EQ(plot.GetLabel(0)->Name(), "Title");

    plot.SetTitleText("Gate");
    plot.SetTitleMargin(0.5);
    EXPECT_EQ(plot.GetLabel(0)->Caption(), "Gate");
    EXPECT_EQ(plot.TitleMargin(), 0.5);
}

TEST(PlotComponent, TitlePropertiesWithoutLabelsReadEmptyAndIgnoreWrites) {
    TgPlotComponent plot(nullptr);
    plot.SetTitleText("Gate");
    plot.SetTitleVisible(true);
    plot.SetTitleMargin(2);
    EXPECT_EQ(plot.TitleText(), "");
    EXPECT_FALSE(plot.TitleVisible());
    EXPECT_EQ(plot.TitleMargin(), 0);
    EXPECT_EQ(plot.TitleFont(), plot.Font());
}

TEST(PlotComponent, LoggingGuardsTheFileSettings) {
    TgXYPlot plot(nullptr);
    EXPECT_EQ(ErrorOf([&] { plot.LogActivate(false); }), "Log File Name not Defined");
    plot.SetLogFileName(" ");
    EXPECT_EQ(ErrorOf([&] { plot.LogActivate(false); }), "Log File Name not Defined");
    TempDir dir;
    const std::string log = dir / "run.log";
    plot.SetLogFileName(log);
    plot.LogActivate(false);
    EXPECT_EQ(ErrorOf([&] { plot.LogActivate(false); }), "Logging Already Active");

    EXPECT_EQ(ErrorOf([&] { plot.SetDataFileFormat(TgPlotDataFileFormat::ipdffText); }), "");
    EXPECT_EQ(ErrorOf([&] { plot.SetDataFileFormat(TgPlotDataFileFormat::ipdffCompactInterval); }),
              "Data File Format can not be changed while logging active");
    EXPECT_EQ(ErrorOf([&] { plot.SetDataFileColumnSeparator(TgPlotDataFileColumnSeparator::ipdfcsTab); }),
              "");
    EXPECT_EQ(ErrorOf([&] { plot.SetDataFileColumnSeparator(TgPlotDataFileColumnSeparator::ipdfcsComma); }),
              "Data File Column Seperator can not be changed while logging active");
    EXPECT_EQ(ErrorOf([&] { plot.SetLogFileName(log); }), "");
    EXPECT_EQ(ErrorOf([&] { plot.SetLogFileName("other.log"); }),
              "Log File Name can not be changed while logging is active.");

    plot.GetXYChannel(0)->AddXY(1, 2);
    plot.ClearAllData();
    EXPECT_FALSE(plot.LoggingActive()) << "clearing ends logging first";
    EXPECT_EQ(plot.GetChannel(0)->Count(), 0);
    EXPECT_EQ(ErrorOf([&] { plot.LogDeactivate(); }), "Logging not Active");
    plot.SetDataFileColumnSeparator(TgPlotDataFileColumnSeparator::ipdfcsComma);
    EXPECT_EQ(plot.GetDataFileSeparatorChar(), ',');
}

TEST(PlotComponent, ObjectEventsWaitWhileLoadingButListEventsDoNot) {
    TgXYPlot plot(nullptr);
    std::vector<std::string> events;
    plot.OnXAxisMinChange = [&](TObject*, int i, double, double n) {
        events.push_back("min " + std::to_string(i) + " " + std::to_string(int(n)));
    };
    plot.OnAddXAxis = [&](TObject*, int i) { events.push_back("add " + std::to_string(i)); };
    plot.OnRemoveXAxis = [&](TObject*, int i) { events.push_back("remove " + std::to_string(i)); };
    plot.BeginLoading();
    plot.GetXAxis(0)->SetMin(5);
    plot.AddXAxis();
    plot.Loaded();
    plot.GetXAxis(1)->SetMin(7);
    plot.DeleteXAxis(0);
    EXPECT_EQ(events, (std::vector<std::string>{"add 1", "min 1 7", "remove 0"}));
}

TEST(PlotComponent, AnnotationsStartWithThePlotsDefaults) {
    TgXYPlot plot(nullptr);
    plot.SetAnnotationDefaultBrushStlye(TBrushStyle::bsClear);
    plot.SetAnnotationDefaultPenColor(clRed);
    plot.SetAnnotationDefaultPenWidth(4);
    plot.SetAnnotationDefaultReference(TgPlotReferenceType::iprtChannel);
    plot.SetAnnotationDefaultReferenceSizeY(TgPlotReferenceIndividual::ipriDataView);
    plot.AnnotationDefaultFont()->SetName("Verdana");
    TgPlotAnnotation* a = plot.GetAnnotation(plot.AddAnnotation());
    EXPECT_EQ(a->BrushStyle(), TBrushStyle::bsClear);
    EXPECT_EQ(a->PenColor(), clRed);
    EXPECT_EQ(a->PenWidth(), 4);
    EXPECT_EQ(a->Reference(), TgPlotReferenceType::iprtChannel);
    EXPECT_EQ(a->ReferenceSizeY(), TgPlotReferenceIndividual::ipriDataView);
    EXPECT_EQ(a->ReferencePositionX(), TgPlotReferenceIndividual::ipriAuto);
    EXPECT_EQ(a->Font()->Name(), "Verdana");
    EXPECT_EQ(a->Font()->Color(), clWhite);
}

TEST(PlotComponent, ThePropertyFileLeavesTheLayoutsValuesOut) {
    TgXYPlot plot(nullptr);
    plot.SetOuterMarginTop(9);
    plot.AddTranslation("a", "b");
    TempDir dir;
    plot.SavePropertiesToFile(dir / "plot.txt");
    const std::string text = ReadAll(dir / "plot.txt");
    EXPECT_NE(text.find("OuterMarginTop = 9"), std::string::npos);
    EXPECT_EQ(text.find("Manager"), std::string::npos);
    TgXYPlot copy(nullptr);
    copy.LoadPropertiesFromFile(dir / "plot.txt");
    EXPECT_EQ(copy.OuterMarginTop(), 9);
    EXPECT_EQ(copy.ChannelCount(), 1);
}

TEST(PlotComponent, ThePlotGoesQuietly) {
    int events = 0;
    {
        TgXYPlot plot(nullptr);
        plot.AddLimit();
        plot.AddTable();
        plot.OnRemoveChannel = [&](TObject*, int) { ++events; };
        plot.OnRemoveXAxis = [&](TObject*, int) { ++events; };
        plot.OnRemoveLimit = [&](TObject*, int) { ++events; };
        plot.OnAfterPaint = [&](TObject*) { ++events; };
    }
    EXPECT_EQ(events, 0) << "no remove events while the plot itself goes";
}

TEST(PlotComponent, AccessByNameIgnoresCase) {
    TgXYPlot plot(nullptr);
    EXPECT_EQ(plot.GetChannelIndexByName("CHANNEL 1"), 0);
    EXPECT_EQ(plot.GetChannelIndexByName("Channel 9"), -1);
    EXPECT_EQ(plot.GetXAxisByName("x-axis 1"), plot.GetXAxis(0));
    EXPECT_EQ(plot.GetYAxisByName("nothing"), nullptr);
    EXPECT_EQ(plot.GetLabelByName("title"), plot.GetLabel(0));
    EXPECT_EQ(ErrorOf([&] { plot.GetChannel(1); }), "List index out of bounds (1)");
}

} // namespace kvtest
