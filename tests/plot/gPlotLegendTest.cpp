#include "plot/gPlotLegend.h"

#include "plot/gClasses.h"
#include "plot/gPropStream.h"
#include "plot/gXYPlotChannel.h"

#include "tests/plot/XYTestPlot.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace kvtest_legend {

using namespace kv;

// A plot with an X and a Y axis, `n` XY channels named "Channel 1".. on them, and a legend; layouts
// and drawings go to a 400 x 400 black image.
struct LegendFixture {
    explicit LegendFixture(int n = 3) {
        x = plot.AddAxis<kv::TgPlotXAxis>("X-Axis 1", 0, 100, {40, 300, 300, 330});
        y = plot.AddAxis<kv::TgPlotYAxis>("Y-Axis 1", 0, 100, {10, 40, 40, 300});
        for (int i = 1; i <= n; ++i)
            AddChannel("Channel " + std::to_string(i));
        legend = plot.Add<kv::TgPlotLegend>("Legend 1");
        Black();
    }
    kv::TgXYPlotChannel* AddChannel(const std::string& name) {
        auto* c = plot.Add<kv::TgXYPlotChannel>(name);
        c->SetXAxisName("X-Axis 1");
        c->SetYAxisName("Y-Axis 1");
        channels.push_back(c);
        return c;
    }
    TCanvas& Canvas() { return *bitmap.Canvas(); }
    void Black() {
        Canvas().SetClipRect(nullptr);
        Canvas().Brush()->SetStyle(TBrushStyle::bsSolid);
        Canvas().Brush()->SetColor(clBlack);
        Canvas().FillRect({0, 0, 400, 400});
    }
    void Draw() {
        Black();
        legend->Draw(Canvas(), clBlack);
        Canvas().EndPaint();
        if (const char* png = std::getenv("KV_LEGEND_PNG")) // to look at the legend
            bitmap.Image().save(png);
    }
    TColor At(int px, int py) { return Canvas().Pixel(px, py); }
    // Units of a font on this canvas.
    int ZeroWidth(const TFont* font) {
        Canvas().Font()->Assign(font);
        return Canvas().TextWidth("0");
    }
    int ZeroHeight(const TFont* font) {
        Canvas().Font()->Assign(font);
        return Canvas().TextHeight("0");
    }
    int TextWidth(const TFont* font, const std::string& text) {
        Canvas().Font()->Assign(font);
        return Canvas().TextWidth(text);
    }
    // A vertical legend whose entry area has room for exactly `rows` rows.
    void RoomForRows(int rows) {
        const int h0 = ZeroHeight(legend->Font());
        const int rowSpacing = gRoundSaturated(h0 * legend->RowSpacing());
        const int items = rows * (h0 + rowSpacing) - rowSpacing;
        const int margins =
            gRoundSaturated(h0 * legend->MarginTop()) + gRoundSaturated(h0 * legend->MarginBottom());
        legend->SetDrawRect({100, 20, 390, 20 + items + margins});
        // As the plot's layout does: as wide as the legend asks.
        const int width = legend->GetRequiredWidth(Canvas());
        legend->SetDrawRect({100, 20, 100 + width, 20 + items + margins});
    }

    kvtest::XYTestPlot plot;
    TBitmap bitmap{400, 400};
    kv::TgPlotAxis* x = nullptr;
    kv::TgPlotAxis* y = nullptr;
    std::vector<kv::TgXYPlotChannel*> channels;
    kv::TgPlotLegend* legend = nullptr;
};

} // namespace kvtest_legend

using namespace kvtest_legend;

TEST(gPlotLegend, ThreeChannelsStandInOneColumnAsWideAsTheirLongestName) {
    LegendFixture f(3);
    f.channels[1]->SetTitleText("A much longer title");
    f.RoomForRows(3);
    const int width = f.legend->GetRequiredWidth(f.Canvas());
    EXPECT_EQ(f.legend->ActualWrapColCount(), 1);
    EXPECT_EQ(f.legend->ActualWrapRowCount(), 3);
    EXPECT_FALSE(f.legend->UpButton()->Visible());
    EXPECT_FALSE(f.legend->DownButton()->Visible());
    EXPECT_EQ(f.legend->ViewStopIndex(), 2);

    const TFont* font = f.legend->Font();
    const int w0 = f.ZeroWidth(font);
    const int margins = 2 * w0;
    const int spacing = gRoundSaturated(w0 * 0.5);
    const int name = std::max(f.TextWidth(font, "A much longer title"),
                              f.TextWidth(f.legend->SelectedItemFont(), "A much longer title"));
    EXPECT_EQ(width, margins + 16 + spacing + name);
    // The rows follow each other one line and a quarter apart.
    const int h0 = f.ZeroHeight(font);
    EXPECT_EQ(f.legend->Item(1).ATop - f.legend->Item(0).ATop, h0 + gRoundSaturated(h0 * 0.25));
    EXPECT_EQ(f.legend->Item(2).ARow, 3);
}

TEST(gPlotLegend, TwelveChannelsInFourRowsScrollOrWrap) {
    struct Case {
        bool autoColumns;
        int columns, stop;
        bool buttons;
    };
    for (const Case& c : {Case{false, 1, 3, true}, Case{true, 3, 11, false}}) {
        LegendFixture f(12);
        f.RoomForRows(4);
        f.legend->SetWrapColAutoCountEnabled(c.autoColumns);
        f.legend->GetRequiredWidth(f.Canvas());
        SCOPED_TRACE(c.autoColumns);
        EXPECT_EQ(f.legend->ActualWrapColCount(), c.columns);
        EXPECT_EQ(f.legend->ActualWrapRowCount(), 4);
        EXPECT_EQ(f.legend->ViewStartIndex(), 0);
        EXPECT_EQ(f.legend->ViewStopIndex(), c.stop);
        EXPECT_EQ(f.legend->UpButton()->Visible(), c.buttons);
        EXPECT_EQ(f.legend->DownButton()->Visible(), c.buttons);
        const TgPlotLegendItem& fifth = f.legend->Item(4);
        if (c.autoColumns) {
            EXPECT_EQ(fifth.ACol, 2);
            EXPECT_EQ(fifth.ARow, 1);
            const int wrap = gRoundSaturated(f.ZeroHeight(f.legend->Font()) * 2.0);
            EXPECT_EQ(fifth.ALeft, f.legend->Item(0).ALeft + f.legend->ItemWidth() + wrap);
            EXPECT_EQ(fifth.ATop, f.legend->Item(0).ATop);
            EXPECT_EQ(f.legend->RequiredWidth(),
                      3 * f.legend->ItemWidth() + 2 * wrap + 2 * f.ZeroWidth(f.legend->Font()));
        } else {
            EXPECT_EQ(fifth.ACol, 0); // not placed
            const TRect items = f.legend->ItemsRect();
            EXPECT_EQ(f.legend->UpButton()->DrawRect(),
                      (TRect{items.Right - 17, items.Top, items.Right, items.Top + 17}));
            EXPECT_EQ(f.legend->DownButton()->DrawRect(),
                      (TRect{items.Right - 17, items.Bottom - 17, items.Right, items.Bottom}));
            EXPECT_FALSE(f.legend->UpButton()->Enabled());
            EXPECT_TRUE(f.legend->DownButton()->Enabled());
        }
    }
}

TEST(gPlotLegend, HeldScrollButtonsMoveOneEntryPerRepeatAndStopAtTheEnds) {
    struct Clock : TVirtualClock {
        Clock() { TScheduler::SetDefault(this); }
        ~Clock() { TScheduler::SetDefault(nullptr); }
    } clock;
    LegendFixture f(12);
    f.RoomForRows(4);
    f.legend->GetRequiredWidth(f.Canvas());
    TgPlotLegendButton* down = f.legend->DownButton();
    TgPlotLegendButton* up = f.legend->UpButton();
    const TRect d = down->DrawRect();
    down->gMouseDown(TMouseButton::mbLeft, {}, d.Left + 2, d.Top + 2, 0, 0, nullptr);
    clock.Advance(499);
    EXPECT_EQ(f.legend->ViewStartIndex(), 0);
    clock.Advance(1); // the first repeat
    EXPECT_EQ(f.legend->ViewStartIndex(), 1);
    clock.Advance(100); // two more
    EXPECT_EQ(f.legend->ViewStartIndex(), 3);
    // Held on, it stops once the last entry is in view, even with no repaint in between.
    clock.Advance(2000);
    EXPECT_EQ(f.legend->ViewStartIndex(), 8);
    down->gMouseUp(TMouseButton::mbLeft, {}, d.Left + 2, d.Top + 2, 0, 0, false, nullptr);
    EXPECT_EQ(f.legend->ViewStartIndex(), 8);
    f.Draw();
    EXPECT_EQ(f.legend->ViewStopIndex(), 11);
    EXPECT_FALSE(down->Enabled());
    EXPECT_TRUE(up->Enabled());
    EXPECT_EQ(f.legend->Item(8).ARow, 1);
    // The entries out of view have no hit area; those in view do.
    EXPECT_TRUE(f.channels[0]->LegendRect().Width() == 0);
    EXPECT_GT(f.channels[9]->LegendRect().Width(), 0);

    up->OnClick(up);
    EXPECT_EQ(f.legend->ViewStartIndex(), 7);
    for (int i = 0; i < 20; ++i)
        up->OnClick(up);
    EXPECT_EQ(f.legend->ViewStartIndex(), 0);

    // Once everything fits the window starts at the top again.
    f.legend->SetViewStartIndex(5);
    f.legend->SetWrapColAutoCountEnabled(true);
    f.legend->GetRequiredWidth(f.Canvas());
    EXPECT_EQ(f.legend->ViewStartIndex(), 0);
    EXPECT_FALSE(down->Visible());
}

TEST(gPlotLegend, HorizontalLegendRaisesRowsToThreeRatherThanHideEntries) {
    LegendFixture f(5);
    f.legend->SetHorizontal(true);
    f.legend->SetWrapRowAutoCountEnabled(false);
    f.legend->SetWrapRowDesiredCount(1);
    f.legend->SetWrapColDesiredCount(2);
    f.legend->SetDrawRect({0, 0, 1000, 200});
    f.legend->GetRequiredWidth(f.Canvas());
    // Wide enough for two entries side by side, not three.
    const int itemWidth = f.legend->ItemWidth();
    const int w0 = f.ZeroWidth(f.legend->Font());
    const int wrap = gRoundSaturated(f.ZeroHeight(f.legend->Font()) * 2.0);
    const int width = 2 * itemWidth + wrap + 25 + 2 * w0 + wrap / 2;
    f.legend->SetDrawRect({0, 0, width, 200});
    const int required = f.legend->GetRequiredWidth(f.Canvas());
    EXPECT_EQ(f.legend->ActualWrapColCount(), 2);
    EXPECT_EQ(f.legend->ActualWrapRowCount(), 3);
    EXPECT_EQ(f.legend->ViewStopIndex(), 4);
    EXPECT_FALSE(f.legend->DownButton()->Visible());
    EXPECT_EQ(f.legend->Item(2).ACol, 1);
    EXPECT_EQ(f.legend->Item(3).ACol, 2);
    const int h0 = f.ZeroHeight(f.legend->Font());
    const int rowSpacing = gRoundSaturated(h0 * 0.25);
    EXPECT_EQ(required,
              2 * h0 + 3 * (h0 + rowSpacing) - rowSpacing); // across a horizontal legend: the height
    // The two columns are spread over the width: the second ends at the button room.
    EXPECT_EQ(f.legend->Item(3).ALeft + itemWidth, f.legend->ItemsRect().Right - 25);
}

TEST(gPlotLegend, ColumnTextsOfAnEntry) {
    LegendFixture f(0);
    f.plot.translations = {{"Empty", "(leer)"}, {"None", "(keine)"}, {"N/A", "(n/v)"}};
    kv::TgXYPlotChannel* empty = f.AddChannel("Empty One");
    kv::TgXYPlotChannel* noAxis = f.AddChannel("No Axis");
    kv::TgXYPlotChannel* full = f.AddChannel("Full");
    empty->SetTitleText("   ");
    noAxis->SetTitleText("Stray");
    noAxis->SetXAxisName("Missing");
    noAxis->AddXY(1, 2);
    full->SetTitleText("Complete");
    f.x->SetTitle("Level in");
    for (auto [px, py] : {std::pair{10.0, 20.0}, {30.0, 60.0}, {50.0, 40.0}})
        full->AddXY(px, py);
    kv::TgPlotLegend& l = *f.legend;

    struct Row {
        kv::TgXYPlotChannel* channel;
        std::vector<std::string> texts; // name, X title, Y title, X, Y, Y max, Y min, Y mean
    };
    const std::vector<Row> rows{
        {empty, {"Empty One", "Level in", "Y-Axis 1", "(leer)", "(leer)", "(leer)", "(leer)", "(leer)"}},
        {noAxis, {"Stray", "(keine)", "Y-Axis 1", "(n/v)", "2", "2", "2", "2"}},
        {full, {"Complete", "Level in", "Y-Axis 1", "50", "40", "60", "20", "40"}},
    };
    for (const Row& r : rows) {
        const std::vector<std::string> got{l.NameText(r.channel),       l.XAxisTitleText(r.channel),
                                           l.YAxisTitleText(r.channel), l.XValueText(r.channel),
                                           l.YValueText(r.channel),     l.YMaxText(r.channel),
                                           l.YMinText(r.channel),       l.YMeanText(r.channel)};
        EXPECT_EQ(got, r.texts) << r.channel->Name();
    }
}

TEST(gPlotLegend, PropertiesKeepTheirRules) {
    LegendFixture f(0);
    kv::TgPlotLegend& l = *f.legend;
    l.SetWrapColDesiredCount(0);
    EXPECT_EQ(l.WrapColDesiredCount(), 1);
    l.SetWrapRowDesiredCount(-4);
    EXPECT_EQ(l.WrapRowDesiredCount(), 1);
    l.SetRowSpacing(0.75);
    EXPECT_EQ(l.WrapRowSpacingMin(), 0.75);
    l.SetWrapRowSpacingMin(1.5);
    EXPECT_EQ(l.RowSpacing(), 1.5);
    EXPECT_FALSE(l.Horizontal());
    EXPECT_EQ(l.LineColumnHeight(), 3);
}

TEST(gPlotLegend, StreamLeavesOutDefaultsAndBringsBackEveryOtherValue) {
    LegendFixture f(0);
    auto written = [](kv::TgPlotLegend& legend) {
        TgWriter writer;
        gWriteProperties(writer, legend);
        std::vector<std::string> names;
        for (const TgStreamValue& v : writer.Values())
            if (v.Type == TValueType::vaPropName)
                names.push_back(v.Text);
        return names;
    };
    auto has = [](const std::vector<std::string>& names, const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    const std::vector<std::string> fresh = written(*f.legend);
    for (const char* left : {"BackGroundColor", "BackGroundTransparent", "SelectedItemBackGroundColor",
                             "ShowColumnLine", "ShowColumnYMean", "ColumnTitlesVisible",
                             "ChannelNameColorStyle", "LineColumnWidth", "LineColumnHeight"})
        EXPECT_FALSE(has(fresh, left)) << left;
    for (const char* kept : {"MarginLeft", "CaptionColumnTitle", "WrapColDesiredCount",
                             "WrapRowAutoCountEnabled", "WrapColSpacingAuto", "RowSpacing", "Font.Color"})
        EXPECT_TRUE(has(fresh, kept)) << kept;

    // A height of 13 (what older layouts left out) is written and read back as 13.
    kv::TgPlotLegend& from = *f.legend;
    from.SetLineColumnHeight(13);
    from.SetShowColumnYMax(true);
    from.SetBackGroundTransparent(false);
    from.SetWrapColAutoCountMax(7);
    from.SetCaptionColumnYMax("Peak");
    from.SetChannelNameColorStyle(TgPlotLegendChannelNameColorStyle::iplcncsYAxisFontColor);
    from.ColumnTitlesFont()->SetColor(clRed);
    TgWriter writer;
    gWriteProperties(writer, from);
    writer.WriteListEnd();
    TgReader reader(writer.Values());
    auto* to = f.plot.Add<kv::TgPlotLegend>();
    gReadProperties(reader, *to);
    for (const auto& p : from.ClassInfo().Props())
        if (p->Name != "Name" && p->Kind != TTypeKind::tkClass) {
            EXPECT_EQ(p->ValueText(*to), p->ValueText(from)) << p->Name;
        }
    EXPECT_EQ(to->LineColumnHeight(), 13);
    EXPECT_EQ(to->ColumnTitlesFont()->Color(), clRed);
}

TEST(gPlotLegend, LineSampleRowsAndDashes) {
    struct Case {
        TgPlotLineStyle style;
        int width, height;
        std::vector<int> inkedColumns; // x offsets inked on the bottom row
        int firstRow, lastRow;         // y offsets inked
    };
    const std::vector<Case> cases{
        {TgPlotLineStyle::iplsSolid, 13, 3, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, -1, 2},
        {TgPlotLineStyle::iplsDash, 13, 3, {0, 1, 2, 3, 4, 8, 9, 10, 11, 12}, -1, 2},
        {TgPlotLineStyle::iplsDot, 13, 3, {0, 1, 4, 5, 8, 9}, -1, 2},
        {TgPlotLineStyle::iplsDashDot, 13, 3, {0, 1, 2, 3, 4, 7, 8}, -1, 2},
        {TgPlotLineStyle::iplsDashDotDot, 13, 4, {0, 1, 2, 3, 4, 7, 8, 11, 12}, -2, 2},
        {TgPlotLineStyle::iplsSolid, 13, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 0, 0},
        {TgPlotLineStyle::iplsSolid, 6, 1, {0, 1, 2, 3, 4, 5}, 0, 1},
    };
    for (const Case& c : cases) {
        LegendFixture f(1);
        f.channels[0]->SetColor(clLime);
        f.channels[0]->SetTraceLineStyle(c.style);
        f.legend->SetLineColumnWidth(c.width);
        f.legend->SetLineColumnHeight(c.height);
        f.legend->DrawLineSample(f.Canvas(), f.channels[0], 100, 100);
        f.Canvas().EndPaint();
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.style) << " " << c.width << "x" << c.height);
        std::vector<int> inked;
        for (int dx = -1; dx <= 15; ++dx)
            if (f.At(100 + dx, 100 + c.lastRow) == clLime)
                inked.push_back(dx);
        EXPECT_EQ(inked, c.inkedColumns);
        for (int dy = -4; dy <= 4; ++dy)
            EXPECT_EQ(f.At(100, 100 + dy) == clLime, dy >= c.firstRow && dy <= c.lastRow) << dy;
    }
}

TEST(gPlotLegend, DrawsBackgroundSamplesNamesSelectionAndButtons) {
    LegendFixture f(6);
    f.channels[0]->SetColor(clLime);
    f.channels[1]->SetColor(clFuchsia);
    f.channels[1]->SetTitleText("Selected");
    f.channels[1]->SetUserSelected(true);
    f.channels[2]->SetVisibleInLegend(false);
    f.legend->SetBackGroundTransparent(false);
    f.legend->SetShowColumnMarker(true);
    f.channels[0]->SetMarkersVisible(true);
    f.RoomForRows(4);
    f.Draw();
    ASSERT_EQ(f.legend->ItemCount(), 5); // the hidden channel has no entry
    const TRect draw = f.legend->DrawRect();
    EXPECT_EQ(f.At(draw.Left + 1, draw.Top + 1), 0x808080);
    EXPECT_EQ(f.At(draw.Left - 1, draw.Top + 1), clBlack);

    // The line samples start at the entry's left, in the channel's colour, on its middle row.
    const TgPlotLegendItem& first = f.legend->Item(0);
    const int middle = first.ATop + f.legend->ItemHeight() / 2;
    EXPECT_EQ(f.At(first.ALeft + 6, middle), clLime);
    EXPECT_EQ(f.At(f.legend->Item(1).ALeft + 6, f.legend->Item(1).ATop + f.legend->ItemHeight() / 2),
              clFuchsia);
    // The marker sample follows the line column.
    EXPECT_EQ(f.At(first.ALeft + 16 + gRoundSaturated(f.ZeroWidth(f.legend->Font()) * 0.5) + 8, middle),
              clLime);

    // The selected channel's name lies on yellow; the others' on the legend's grey, in white.
    const TRect selected = f.channels[1]->LegendRect();
    EXPECT_EQ(f.At(selected.Right - 1, selected.Top), 0x00FFFF);
    const TRect plain = f.channels[0]->LegendRect();
    EXPECT_EQ(f.At(plain.Right - 1, plain.Top), 0x808080);
    bool white = false;
    for (int px = plain.Left; px < plain.Right; ++px)
        for (int py = plain.Top; py < plain.Bottom; ++py)
            white |= f.At(px, py) == clWhite;
    EXPECT_TRUE(white);

    // Not all fit: the buttons show, the up one greyed out.
    const TRect up = f.legend->UpButton()->DrawRect();
    EXPECT_EQ(f.At(up.Left + 3, up.Top + 3), ColorToRGB(clBtnFace));
    const int cx = (up.Left + up.Right) / 2, cy = (up.Top + up.Bottom) / 2;
    EXPECT_EQ(f.At(cx, cy), 0x808080);
    const TRect down = f.legend->DownButton()->DrawRect();
    EXPECT_EQ(f.At((down.Left + down.Right) / 2, (down.Top + down.Bottom) / 2), clBlack);
}

TEST(gPlotLegend, NameColourFollowsItsStyle) {
    struct Case {
        TgPlotLegendChannelNameColorStyle style;
        TColor colour;
    };
    for (const Case& c : {Case{TgPlotLegendChannelNameColorStyle::iplcncsFont, clWhite},
                          Case{TgPlotLegendChannelNameColorStyle::iplcncsChannelColor, clLime},
                          Case{TgPlotLegendChannelNameColorStyle::iplcncsXAxisFontColor, clYellow},
                          Case{TgPlotLegendChannelNameColorStyle::iplcncsYAxisFontColor, clAqua}}) {
        LegendFixture f(1);
        f.channels[0]->SetColor(clLime);
        f.x->LabelsFont()->SetColor(clYellow);
        f.y->LabelsFont()->SetColor(clAqua);
        f.legend->SetShowColumnLine(false);
        f.legend->SetChannelNameColorStyle(c.style);
        f.RoomForRows(2);
        f.Draw();
        // The text's own colour is the one met most often (its edges are blended).
        const TRect name = f.channels[0]->LegendRect();
        std::map<TColor, int> counts;
        for (int px = name.Left; px < name.Right; ++px)
            for (int py = name.Top; py < name.Bottom; ++py)
                if (const TColor p = f.At(px, py); p != clBlack)
                    ++counts[p];
        ASSERT_FALSE(counts.empty());
        const auto most = std::max_element(counts.begin(), counts.end(),
                                           [](const auto& a, const auto& b) { return a.second < b.second; });
        EXPECT_EQ(most->first, c.colour) << static_cast<int>(c.style);
    }
}

TEST(gPlotLegend, MouseFindsButtonsAndChannelNamesAndClicksOnRelease) {
    LegendFixture f(6);
    f.RoomForRows(4);
    f.Draw();
    kv::TgPlotLegend& l = *f.legend;
    const TRect up = l.UpButton()->DrawRect();
    EXPECT_EQ(l.GetMouseOverObject(up.Left + 1, up.Top + 1), l.UpButton());
    const TRect down = l.DownButton()->DrawRect();
    EXPECT_EQ(l.GetMouseOverObject(down.Left + 1, down.Bottom - 2), l.DownButton());
    const TRect name = f.channels[2]->LegendRect();
    EXPECT_EQ(l.GetMouseOverObject(name.Left + 1, name.Top + 1), f.channels[2]);
    EXPECT_EQ(l.GetMouseOverObject(l.DrawRect().Left + 1, l.DrawRect().Bottom - 2), &l);

    // Hidden buttons are never found.
    f.legend->SetWrapColAutoCountEnabled(true);
    f.Draw();
    EXPECT_FALSE(l.UpButton()->Visible());
    EXPECT_EQ(l.GetMouseOverObject(up.Left + 1, up.Top + 1), &l);

    // The click fires on a release inside after a press on the legend.
    const int cx = (l.DrawRect().Left + l.DrawRect().Right) / 2, cy = l.DrawRect().Bottom - 2;
    l.gMouseDown(TMouseButton::mbLeft, {}, cx, cy, cx, cy, nullptr);
    l.gMouseUp(TMouseButton::mbLeft, {}, 0, 0, 0, 0, false, nullptr);
    EXPECT_TRUE(f.plot.log.empty());
    l.gMouseDown(TMouseButton::mbLeft, {}, cx, cy, cx, cy, nullptr);
    l.gMouseUp(TMouseButton::mbLeft, {}, cx, cy, cx, cy, false, nullptr);
    EXPECT_EQ(f.plot.log, std::vector<std::string>{"click Legend 1"});

    // A channel removed since the last drawing is no longer found.
    const TRect gone = f.channels[5]->LegendRect();
    ASSERT_GT(gone.Width(), 0);
    f.legend->NotificationAxisRemove(f.channels[5]);
    delete f.channels[5];
    EXPECT_EQ(f.legend->ItemCount(), 5);
    EXPECT_EQ(l.GetMouseOverObject(gone.Left + 1, gone.Top + 1), &l);

    const TCursor cross = crCross;
    f.plot.legendCursor = &cross;
    EXPECT_EQ(l.GetMouseCursor({cx, cy}), crCross);
}

TEST(gPlotLegend, AnotherSelectedObjectTakesTheSelectionAndThePopupOnlyEdits) {
    LegendFixture f(1);
    TPopupMenu popup{&f.plot};
    f.legend->BuildPopupMenu(&popup);
    ASSERT_EQ(popup.Items()->Count(), 1);
    EXPECT_EQ(popup.Items()->Items(0)->Caption(), "Edit...");
    f.legend->SetUserCanEdit(false);
    f.legend->BuildPopupMenu(&popup);
    EXPECT_EQ(popup.Items()->Count(), 0);

    f.legend->SetUserSelected(true);
    f.legend->NotificationFocusChange(f.legend);
    EXPECT_TRUE(f.legend->UserSelected());
    f.channels[0]->SetUserSelected(true);
    f.legend->NotificationFocusChange(f.channels[0]);
    EXPECT_FALSE(f.legend->UserSelected());
}

TEST(gPlotLegend, ValueColumnsShowDataCursorTextsForAllChannels) {
    LegendFixture f(2);
    f.channels[0]->AddXY(10, 20);
    f.channels[1]->AddXY(30, 40);
    auto* cursor = f.plot.Add<kv::TgPlotDataCursor>("Cursor 1");
    cursor->SetChannelName("<All>");
    cursor->UpdateValues();
    f.legend->SetCursorAllChannels(true);
    f.legend->SetColumnTitlesVisible(true);
    f.RoomForRows(4);
    f.legend->SetDrawRect({100, 20, 390, 200});
    f.Draw();
    // Pointers at 50 and 60 percent read X 50 and Y 60 on both channels.
    EXPECT_EQ(f.channels[0]->DataCursorXText(), "50");
    EXPECT_EQ(f.channels[1]->DataCursorYText(), "60");
    const int w0 = f.ZeroWidth(f.legend->Font());
    const int withCursor = f.legend->ItemWidth();
    f.legend->SetCursorAllChannels(false);
    f.legend->GetRequiredWidth(f.Canvas());
    EXPECT_EQ(f.legend->ItemWidth(), f.legend->ChannelNameWidth() + 16 + gRoundSaturated(w0 * 0.5));
    EXPECT_GT(withCursor, f.legend->ItemWidth() + 2 * w0);
    // Column titles push the entries down by a title row and a quarter of it.
    f.legend->SetCursorAllChannels(true);
    f.legend->GetRequiredWidth(f.Canvas());
    const int titleHeight = f.ZeroHeight(f.legend->ColumnTitlesFont());
    EXPECT_EQ(f.legend->ItemsRect().Top - f.legend->ColumnTitlesRect().Top, titleHeight + titleHeight / 4);
}

TEST(gPlotLegend, ZeroAutomaticColumnsStillPlacesTheEntries) {
    for (bool horizontal : {false, true}) {
        LegendFixture f(4);
        f.legend->SetHorizontal(horizontal);
        f.legend->SetWrapColAutoCountEnabled(true);
        f.legend->SetWrapColAutoCountMax(0);
        f.legend->SetDrawRect({0, 0, 390, 390});
        EXPECT_GT(f.legend->GetRequiredWidth(f.Canvas()), 0) << horizontal;
        EXPECT_EQ(f.legend->ActualWrapColCount(), 1) << horizontal;
        EXPECT_EQ(f.legend->Item(0).ACol, 1) << horizontal;
    }
}

TEST(gPlotLegend, WithoutEntriesNothingIsDrawnAndTheSizeStays) {
    LegendFixture f(2);
    f.RoomForRows(3);
    const int width = f.legend->GetRequiredWidth(f.Canvas());
    for (auto* c : f.channels)
        c->SetVisibleInLegend(false);
    EXPECT_EQ(f.legend->GetRequiredWidth(f.Canvas()), width);
    f.legend->SetBackGroundTransparent(false);
    f.Draw();
    EXPECT_EQ(f.At(f.legend->DrawRect().Left + 1, f.legend->DrawRect().Top + 1), clBlack);
}

TEST(gPlotLegend, NarrowNameColumnWrapsTheNameShown) {
    LegendFixture f(0);
    kv::TgXYPlotChannel* titled = f.AddChannel("Short");
    titled->SetTitleText("Gain");
    f.AddChannel("A name of several words")->SetTitleText("");
    f.legend->SetChannelNameMaxWidth(6);
    f.legend->SetDrawRect({0, 0, 390, 390});
    f.legend->GetRequiredWidth(f.Canvas());
    const int h0 = f.ZeroHeight(f.legend->Font());
    const int w0 = f.ZeroWidth(f.legend->Font());
    EXPECT_EQ(f.legend->ChannelNameWidth(), 6 * w0);
    EXPECT_EQ(f.legend->Item(0).MaxHeight, h0);
    // The entry without a title shows its name, wrapped over several lines.
    EXPECT_GE(f.legend->Item(1).MaxHeight, 3 * h0);
    EXPECT_EQ(f.legend->MaxItemHeight(), f.legend->Item(1).MaxHeight);
    EXPECT_EQ(f.legend->Item(1).ATop - f.legend->Item(0).ATop,
              f.legend->MaxItemHeight() + gRoundSaturated(h0 * 0.25));
}
