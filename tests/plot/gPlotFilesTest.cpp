// The plot control's property, annotation, data and log files.

#include "plot/gPlot.h"
#include "plot/gPlotLayoutManager.h"
#include "plot/gPropText.h"
#include "plot/gXYPlot.h"

#include "ErrorOf.h"
#include "tests/plot/PlotFileFuzzTarget.h"
#include "tests/support/TempFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace kvtest {
using namespace kv;

namespace {

// Every channel's points as "x:y" (y "Null" or "Empty" for flagged points), channels split by " | ".
std::string FilesDump(TgPlotComponent& plot) {
    std::string out;
    for (int c = 0; c < plot.ChannelCount(); ++c) {
        if (c)
            out += " | ";
        const TgPlotChannelCustom* ch = plot.GetChannel(c);
        for (int i = 0; i < ch->Count(); ++i) {
            if (i)
                out += ' ';
            out += gChannelValueText(ch->GetDataX(i)) + ":" +
                   (ch->GetDataNull(i)    ? std::string("Null")
                    : ch->GetDataEmpty(i) ? std::string("Empty")
                                          : gChannelValueText(ch->GetDataY(i)));
        }
    }
    return out;
}

std::string FilesFloats(std::initializer_list<float> values) {
    std::string out;
    for (float v : values) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        for (int i = 0; i < 4; ++i)
            out += static_cast<char>((bits >> (8 * i)) & 0xFF);
    }
    return out;
}

// An XY plot with `n` channels titled A, B, ...
std::unique_ptr<TgXYPlot> FilesPlot(int n) {
    auto plot = std::make_unique<TgXYPlot>(nullptr);
    while (plot->ChannelCount() < n)
        plot->AddChannel();
    while (plot->ChannelCount() > n)
        plot->DeleteChannel(plot->ChannelCount() - 1);
    for (int c = 0; c < n; ++c)
        plot->GetChannel(c)->SetTitleText(std::string(1, char('A' + c)));
    return plot;
}

class PlotFiles : public ::testing::Test {
protected:
    void SetUp() override { gSetLocaleDecimalSeparator('.'); }
    void TearDown() override { gSetLocaleDecimalSeparator(0); }
    TempDir dir;
    std::string path = dir / "plot.txt";
};

} // namespace

// ---------------------------------------------------------------------------------------------------
// Property and annotation files

TEST_F(PlotFiles, PropertyFileRoundTripsUnderBothDecimalSeparators) {
    for (char separator : {'.', ','}) {
        SCOPED_TRACE(separator);
        gSetLocaleDecimalSeparator(separator);
        TgXYPlot source(nullptr);
        source.AddChannel();
        source.GetChannel(1)->SetTitleText("Limiter");
        source.GetChannel(1)->SetColor(clBlue);
        source.GetXAxis(0)->SetMin(-100.25);
        source.AddTable();
        source.AddLimit();
        source.GetLabel(0)->SetCaption("Response");
        source.SetDataViewZVert(3);
        source.AddAnnotation();
        std::vector<std::string> events;
        source.OnAfterSaveProperties = [&](TObject*) { events.push_back("saved"); };
        source.SavePropertiesToFile(path);
        EXPECT_EQ(source.LastPropertiesFileName(), path);
        const std::string text = ReadAll(path);
        EXPECT_EQ(text.rfind("File Type = Plot Config\r\nChannelCount = 2\r\nXAxisCount = 1\r\n", 0), 0u);
        EXPECT_NE(text.find(std::string("XAxis0.Min = -100") + separator + "25\r\n"), std::string::npos);
        for (const char* absent : {"Annotation0.", "\r\nName =", "\r\nLeft =", "ChannelManager"})
            EXPECT_EQ(text.find(absent), std::string::npos) << absent;

        TgXYPlot copy(nullptr);
        copy.AddChannel();
        copy.AddChannel();
        copy.AddAnnotation();
        TgPlotLabel* title = copy.GetLabel(0);
        copy.OnBeforeLoadProperties = [&](TObject*) { events.push_back("before"); };
        copy.OnAfterLoadProperties = [&](TObject*) { events.push_back("after"); };
        copy.LoadPropertiesFromFile(path);
        EXPECT_EQ(events, (std::vector<std::string>{"saved", "before", "after"}));
        ASSERT_EQ(copy.ChannelCount(), 2);
        EXPECT_EQ(copy.GetChannel(1)->TitleText(), "Limiter");
        EXPECT_EQ(copy.GetChannel(1)->Color(), clBlue);
        EXPECT_EQ(copy.GetXAxis(0)->Min(), -100.25);
        EXPECT_EQ(copy.TableCount(), 1);
        EXPECT_EQ(copy.LimitCount(), 1);
        EXPECT_EQ(copy.ToolBarCount(), 1);
        ASSERT_EQ(copy.LabelCount(), 1);
        EXPECT_EQ(copy.GetLabel(0), title) << "the title label is kept";
        EXPECT_EQ(title->Caption(), "Response");
        EXPECT_EQ(copy.DataViewZVert(), 3);
        EXPECT_EQ(copy.AnnotationCount(), 0);
        EXPECT_EQ(copy.LastPropertiesFileName(), path);
        EXPECT_TRUE(copy.LayoutManager()->Enabled());
        EXPECT_FALSE(copy.GetUpdateActive());
    }
}

TEST_F(PlotFiles, DifferentialSaveLeavesOutValuesAtTheirDefault) {
    for (bool differential : {false, true}) {
        TgXYPlot plot(nullptr);
        plot.SetDifferentialPropertySave(differential);
        plot.SavePropertiesToFile(path);
        EXPECT_EQ(ReadAll(path).find("Channel0.Visible = ") != std::string::npos, !differential)
            << differential;
    }
}

TEST_F(PlotFiles, PropertyFilesThatLoad) {
    // Toolbars are never added: every section goes to the plot's one toolbar. Counts below 1 load none.
    WriteAll(path, "File Type = plot CONFIG\r\nChannelCount = -2\r\nToolBarCount = 2\r\nLabelCount = 2\r\n"
                   "ToolBar0.Visible = 0\r\nToolBar1.ZOrder = 5\r\nLabel0.Caption = Hello\r\n"
                   "Label1.Caption = Second\r\nCornerRadius = 7\r\n");
    TgXYPlot plot(nullptr);
    TgPlotLabel* title = plot.GetLabel(0);
    plot.LoadPropertiesFromFile(path);
    EXPECT_EQ(plot.ChannelCount(), 0);
    ASSERT_EQ(plot.ToolBarCount(), 1);
    EXPECT_FALSE(plot.GetToolBar(0)->Visible());
    EXPECT_EQ(plot.GetToolBar(0)->ZOrder(), 5);
    ASSERT_EQ(plot.LabelCount(), 2);
    EXPECT_EQ(plot.GetLabel(0), title);
    EXPECT_EQ(title->Caption(), "Hello");
    EXPECT_EQ(plot.GetLabel(1)->Caption(), "Second");
}

TEST_F(PlotFiles, PropertyFilesThatFailLeaveTheLayoutManagerOn) {
    TgXYPlot control(nullptr);
    control.TgComponent::SavePropertiesToFile(path);
    const std::string controlFile = ReadAll(path);
    const struct {
        std::string content, error;
        int channelsAfter;
    } cases[] = {
        {controlFile, "Error Loading Properties - Incompatible Plot Configuration File Type", 1},
        {"ChannelCount = 1\r\n", "Error Loading Properties - Incompatible Plot Configuration File Type", 1},
        // A corrupt count is refused before anything is removed.
        {"File Type = Plot Config\r\nChannelCount = 99999999\r\n", "Error Loading Properties - Invalid Data",
         1},
        {"File Type = Plot Config\r\nLegendCount = many\r\n", "Error Loading Properties - Invalid Data", 1},
        {"File Type = Plot Config\r\nDataViewZHorz = x\r\n", "Error Loading Properties - Invalid Data", 1},
        // A bad value after the objects were removed.
        {"File Type = Plot Config\r\nChannelCount = 2\r\nChannel0.Visible = maybe\r\n", "", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        WriteAll(path, c.content);
        TgXYPlot plot(nullptr);
        bool after = false;
        plot.OnAfterLoadProperties = [&](TObject*) { after = true; };
        const std::string error = ErrorOf([&] { plot.LoadPropertiesFromFile(path); });
        if (c.error.empty())
            EXPECT_EQ(error.rfind("Error Loading Properties - ", 0), 0u) << error;
        else
            EXPECT_EQ(error, c.error);
        EXPECT_EQ(plot.ChannelCount(), c.channelsAfter);
        EXPECT_FALSE(after);
        EXPECT_EQ(plot.LastPropertiesFileName(), "");
        EXPECT_TRUE(plot.LayoutManager()->Enabled());
        EXPECT_FALSE(plot.GetUpdateActive());
    }
}

TEST_F(PlotFiles, AnnotationFileRoundTripsUnderBothDecimalSeparators) {
    for (char separator : {'.', ','}) {
        SCOPED_TRACE(separator);
        gSetLocaleDecimalSeparator(separator);
        TgXYPlot source(nullptr);
        for (const char* text : {"first", "second"}) {
            TgPlotAnnotation* a = source.GetAnnotation(source.AddAnnotation());
            a->SetText(text);
            a->SetX(12.5);
        }
        source.SaveAnnotationsToFile(path);
        const std::string text = ReadAll(path);
        EXPECT_EQ(text.rfind("AnnotationCount = 2\r\n", 0), 0u);
        EXPECT_NE(text.find(std::string("Annotation1.X = 12") + separator + "5\r\n"), std::string::npos);
        EXPECT_EQ(text.find("Annotation0.PenWidth"), std::string::npos) << "defaults are always left out";

        TgXYPlot copy(nullptr);
        copy.AddAnnotation();
        copy.AddAnnotation();
        copy.AddAnnotation();
        copy.LoadAnnotationsFromFile(path);
        ASSERT_EQ(copy.AnnotationCount(), 2);
        EXPECT_EQ(copy.GetAnnotation(1)->Text(), "second");
        EXPECT_EQ(copy.GetAnnotation(1)->X(), 12.5);
    }
    WriteAll(path, "AnnotationCount = 5000000\r\n");
    TgXYPlot plot(nullptr);
    plot.AddAnnotation();
    EXPECT_EQ(ErrorOf([&] { plot.LoadAnnotationsFromFile(path); }),
              "Error Loading Annotations - Invalid Data");
    EXPECT_EQ(plot.AnnotationCount(), 1);
    EXPECT_FALSE(plot.GetUpdateActive());
}

// ---------------------------------------------------------------------------------------------------
// Data files

TEST_F(PlotFiles, TextDataFileRoundTripsUnderBothDecimalSeparators) {
    const struct {
        char decimal;
        TgPlotDataFileColumnSeparator column;
        std::string file;
    } cases[] = {
        {'.', TgPlotDataFileColumnSeparator::ipdfcsTab,
         "A(X)\tA(Y)\tB(X)\tB(Y)\r\n1\t2.5\t0.5\t-1\r\n2\tNull\t\t\r\n3\tEmpty\t\t\r\n"},
        // Numbers keep "." where the locale uses ",", so a comma column separator stays unambiguous.
        {',', TgPlotDataFileColumnSeparator::ipdfcsComma,
         "A(X),A(Y),B(X),B(Y)\r\n1,2.5,0.5,-1\r\n2,Null,,\r\n3,Empty,,\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.decimal);
        gSetLocaleDecimalSeparator(c.decimal);
        auto source = FilesPlot(2);
        source->SetDataFileColumnSeparator(c.column);
        source->GetChannel(0)->AddXY(1, 2.5);
        source->GetChannel(0)->AddPoint(2, 0, true, false);
        source->GetChannel(0)->AddPoint(3, 0, false, true);
        source->GetChannel(1)->AddXY(0.5, -1);
        int saved = 0;
        source->OnAfterSaveData = [&](TObject*) { ++saved; };
        source->SaveDataToFile(path);
        EXPECT_EQ(ReadAll(path), c.file);
        EXPECT_EQ(saved, 1);
        EXPECT_EQ(source->LastDataFileName(), path);

        auto copy = FilesPlot(2);
        copy->GetChannel(1)->AddXY(-5, 5);
        int loaded = 0;
        copy->OnAfterLoadData = [&](TObject*) { ++loaded; };
        copy->LoadDataFromFile(path);
        EXPECT_EQ(FilesDump(*copy), "1:2.5 2:Null 3:Empty | -5:5 0.5:-1") << "points are appended";
        EXPECT_EQ(loaded, 1);
        EXPECT_EQ(copy->LastDataFileName(), path);
    }
}

TEST_F(PlotFiles, ReadingTextDataFiles) {
    const struct {
        const char* name;
        char decimal;
        std::string file, points;
    } cases[] = {
        {"pairs, extra pairs beyond the channels ignored", '.', "a,b,c,d,e,f\r\n1,2,3,4,5,6\r\n5,EMPTY\r\n",
         "1:2 5:Empty | 3:4"},
        {"pairs, an empty X or Y adds nothing", '.', "h\th\th\th\r\n\t7\t1\t2\r\n3\t\t\t\r\n", " | 1:2"},
        {"log rows share the X column", '.', "(X)\tA(Y)\tB(Y)\r\n1\t10\t20\r\n2\tnull\t\r\n\t30\r\n",
         "1:10 2:Null 2:30 | 1:20"},
        {"log X reads a comma decimal like Y", '.', "(x)\tA(Y)\r\n2,5\t1,5\r\n", "2.5:1.5"},
        {"log X reads a point decimal like Y", ',', "(X)\tA(Y)\r\n2.5\t1.5\r\n", "2.5:1.5"},
        {"an empty file", '.', "", " | "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        gSetLocaleDecimalSeparator(c.decimal);
        WriteAll(path, c.file);
        auto plot = FilesPlot(std::string(c.points).find('|') == std::string::npos ? 1 : 2);
        plot->LoadDataFromFile(path);
        EXPECT_EQ(FilesDump(*plot), c.points);
    }
    WriteAll(path, "A(X)\tA(Y)\r\n1\t2\r\nx\t3\r\n");
    auto plot = FilesPlot(1);
    const std::string error = ErrorOf([&] { plot->LoadDataFromFile(path); });
    EXPECT_EQ(error.rfind("Error Loading Data - ", 0), 0u) << error;
    EXPECT_EQ(FilesDump(*plot), "1:2") << "the rows before the bad one stay";
    EXPECT_EQ(plot->LastDataFileName(), "");
    EXPECT_FALSE(plot->GetUpdateActive());
}

TEST_F(PlotFiles, CompactFileOfTwoChannelsWithThreePoints) {
    auto source = FilesPlot(2);
    source->SetDataFileFormat(TgPlotDataFileFormat::ipdffCompactInterval);
    for (int i = 0; i < 3; ++i) {
        source->GetChannel(0)->AddXY(i, 10 + i);
        source->GetChannel(1)->AddXY(i + 0.5, 20 + i);
    }
    source->SaveDataToFile(path);
    const std::string bytes = ReadAll(path);
    EXPECT_EQ(bytes.size(), 65u);
    EXPECT_EQ(bytes,
              "Compact Interval\r\n2\r\n" + FilesFloats({0, 10, 0.5f, 20, 1, 11, 1.5f, 21, 12, 22, 2e38f}));

    auto copy = FilesPlot(2);
    copy->LoadDataFromFile(path);
    EXPECT_EQ(FilesDump(*copy), "0:10 1:11 0:12 | 0.5:20 1.5:21 0:22") << "later X come from the interval";
}

TEST_F(PlotFiles, ReadingCompactFiles) {
    const std::string tag = "Compact Interval\r\n";
    const struct {
        const char* name;
        std::string file, points, error;
    } cases[] = {
        {"1e38 skips a point, reading goes on",
         tag + "2\r\n" + FilesFloats({1, 10, 1e38f, 1e38f, 2, 20, 3, 30, 40, 50, 2e38f}),
         "1:10 2:20 0:40 | 3:30 0:50", ""},
        {"a channel beyond the plot's is read past",
         tag + "3\r\n" + FilesFloats({1, 10, 2, 20, 3, 30, 2e38f}), "1:10 | 2:20", ""},
        {"no end mark, ending on a row", "compact interval\n1\n" + FilesFloats({1, 10, 2, 20, 30}),
         "1:10 2:20 0:30 | ", ""},
        {"no channels", tag + "0\r\n" + FilesFloats({1, 10, 2e38f}), " | ", ""},
        {"negative channels", tag + "-4\r\n" + FilesFloats({1, 10}), " | ", ""},
        {"a cut float", tag + "1\r\n" + FilesFloats({1, 10}) + "ab", "1:10 | ",
         "Error Loading Data - Invalid Data"},
        {"a count that is no number", tag + "two\r\n", " | ", "Error Loading Data - Invalid Data"},
        {"no count line", tag, " | ", "Error Loading Data - Invalid Data"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteAll(path, c.file);
        auto plot = FilesPlot(2);
        EXPECT_EQ(ErrorOf([&] { plot->LoadDataFromFile(path); }), c.error);
        EXPECT_EQ(FilesDump(*plot), c.points);
        EXPECT_FALSE(plot->GetUpdateActive());
    }
}

// ---------------------------------------------------------------------------------------------------
// Logging and adding data

TEST_F(PlotFiles, TextLogWritesFullRowsAndBlankFieldsForShortChannels) {
    gSetLocaleDecimalSeparator(',');
    auto plot = FilesPlot(2);
    plot->SetLogFileName(path);
    plot->SetLogBufferSize(2);
    plot->GetChannel(0)->AddXY(0, 5); // channel A runs one point ahead of B
    plot->LogActivate(false);
    EXPECT_TRUE(plot->LoggingActive());
    const std::string header = "(X)\tA(Y)\tB(Y)\r\n";
    EXPECT_EQ(ReadAll(path), header);
    const auto row = [](double a, double b) { return TgVariantArray{{{0, 1}}, {a, b}}; };
    plot->AddDataArray(0.5, row(10, 20));
    EXPECT_EQ(ReadAll(path), header) << "rows wait for the buffer size";
    plot->AddDataArray(1.5, row(11, 21));
    EXPECT_EQ(ReadAll(path), header + "0.5\t10\t21\r\n1.5\t11\t\r\n");
    plot->AddDataArray(2.5, row(12, 22));
    plot->LogDeactivate();
    EXPECT_FALSE(plot->LoggingActive());
    const std::string log = header + "0.5\t10\t21\r\n1.5\t11\t\r\n2.5\t12\t\r\n";
    EXPECT_EQ(ReadAll(path), log);

    plot->LogActivate(true); // appending keeps the file and writes no header
    plot->AddDataArray(3.5, row(13, 23));
    plot->ClearAllData();
    EXPECT_FALSE(plot->LoggingActive()) << "clearing ends logging";
    EXPECT_EQ(ReadAll(path), log + "3.5\t13\t\r\n");

    auto copy = FilesPlot(2);
    copy->LoadDataFromFile(path);
    EXPECT_EQ(FilesDump(*copy), "0.5:10 1.5:11 2.5:12 3.5:13 | 0.5:21");
}

TEST_F(PlotFiles, CompactLogCarriesXOnlyInItsFirstTwoRows) {
    auto plot = FilesPlot(1);
    plot->SetDataFileFormat(TgPlotDataFileFormat::ipdffCompactInterval);
    plot->SetLogFileName(path);
    plot->SetLogBufferSize(1);
    plot->LogActivate(false);
    for (int i = 1; i <= 3; ++i)
        plot->AddDataArray(i, TgVariantArray{{{0, 0}}, {10.0 * i}});
    plot->LogDeactivate();
    EXPECT_EQ(ReadAll(path), "Compact Interval\r\n1\r\n" + FilesFloats({1, 10, 2, 20, 30}));
}

TEST_F(PlotFiles, LoggingRefusesWhatDoesNotFitItsState) {
    auto plot = FilesPlot(1);
    EXPECT_EQ(ErrorOf([&] { plot->LogDeactivate(); }), "Logging not Active");
    plot->SetLogFileName("  ");
    EXPECT_EQ(ErrorOf([&] { plot->LogActivate(false); }), "Log File Name not Defined");
    plot->SetLogFileName(dir / "missing.log");
    EXPECT_NE(ErrorOf([&] { plot->LogActivate(true); }), "") << "appending needs the file";
    EXPECT_FALSE(plot->LoggingActive());
    plot->SetLogFileName(path);
    plot->LogActivate(false);
    EXPECT_EQ(ErrorOf([&] { plot->LogActivate(false); }), "Logging Already Active");
    EXPECT_EQ(ErrorOf([&] { plot->SetDataFileFormat(TgPlotDataFileFormat::ipdffText); }), "")
        << "the same value is no change";
    EXPECT_EQ(ErrorOf([&] { plot->SetDataFileFormat(TgPlotDataFileFormat::ipdffCompactInterval); }),
              "Data File Format can not be changed while logging active");
    EXPECT_EQ(plot->DataFileFormat(), TgPlotDataFileFormat::ipdffText);
}

TEST_F(PlotFiles, AddDataArraySendsElementsToChannelsInOrder) {
    TgPlot time(nullptr);
    time.AddChannel();
    time.AddChannel();
    // Lower bound 1: element 1 goes to channel 0. Markers become null and empty points at X.
    time.AddDataArray(5, TgVariantArray{{{1, 3}}, {7, 1.5e-301, 1.5e-302}});
    EXPECT_EQ(FilesDump(time), "5:7 | 5:Null | 5:Empty");

    auto xy = FilesPlot(2);
    xy->AddDataArray(5, TgVariantArray{{{0, 1}}, {1.5e-301, 1.5e-302}});
    EXPECT_EQ(FilesDump(*xy), "0:Null | 0:Empty");
    // Two dimensions: [channel][row], each X the channel's last X plus the step.
    xy->AddDataArray(10, TgVariantArray{{{0, 1}, {0, 2}}, {1, 2, 3, 4, 5, 6}});
    EXPECT_EQ(FilesDump(*xy), "0:Null 10:1 20:2 30:3 | 0:Empty 10:4 20:5 30:6");
    auto fresh = FilesPlot(1);
    fresh->AddDataArray(2, TgVariantArray{{{0, 0}, {0, 1}}, {8, 9}});
    EXPECT_EQ(FilesDump(*fresh), "0:8 2:9") << "a channel without points starts at 0";
    EXPECT_NE(ErrorOf([&] { xy->AddDataArray(1, TgVariantArray{{{0, 2}}, {1, 2, 3}}); }), "");
    EXPECT_EQ(xy->GetChannel(0)->Count(), 4) << "a row wider than the channels adds nothing";
    for (const TgVariantArray& bad : {TgVariantArray{}, TgVariantArray{{{0, 0}, {0, 0}, {0, 0}}, {1}}})
        EXPECT_EQ(ErrorOf([&] { xy->AddDataArray(1, bad); }), "Data Array must be 1 or 2 Dimensions");
}

TEST_F(PlotFiles, TransferChannelDataCopiesPointsWithTheirFlags) {
    auto plot = FilesPlot(2);
    TgPlotChannelCustom* source = plot->GetChannel(0);
    source->AddXY(1, 1);
    source->AddPoint(2, 0, true, false);
    source->AddPoint(3, 0, false, true);
    source->AddXY(4, 4);
    plot->TransferChannelData(0, 1, 1, 2);
    plot->TransferChannelData(0, 1, 3, 2); // stop before start: nothing
    EXPECT_EQ(FilesDump(*plot), "1:1 2:Null 3:Empty 4:4 | 2:Null 3:Empty");
    EXPECT_EQ(ErrorOf([&] { plot->TransferChannelData(0, 1, -1, 2); }), "Start Index Must be 0 or Greater");
    EXPECT_EQ(ErrorOf([&] { plot->TransferChannelData(0, 1, 0, 4); }), "StopIndex Must Out Of Range");
}

// ---------------------------------------------------------------------------------------------------
// The fuzz program's entry point on its seeds, mutations of them and random bytes

TEST_F(PlotFiles, FileReadersSurviveArbitraryBytes) {
    std::vector<std::string> inputs;
    const std::filesystem::path seeds =
        std::filesystem::path(KV_SOURCE_DIR) / "tests/fuzz/seeds/fuzz_plot_files";
    for (const auto& e : std::filesystem::directory_iterator(seeds))
        inputs.push_back(ReadAll(e.path().string()));
    ASSERT_FALSE(inputs.empty());
    std::mt19937 rng(23);
    const std::size_t seedCount = inputs.size();
    for (int n = 0; n < 150; ++n) {
        std::string s = inputs[rng() % seedCount];
        for (int k = 0; k < 4 && !s.empty(); ++k)
            s[rng() % s.size()] = static_cast<char>(rng());
        inputs.push_back(s);
        std::string random(rng() % 200, '\0');
        for (char& ch : random)
            ch = static_cast<char>(rng());
        inputs.push_back(random);
    }
    for (const std::string& s : inputs)
        kvfuzz::PlotFiles(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

} // namespace kvtest
