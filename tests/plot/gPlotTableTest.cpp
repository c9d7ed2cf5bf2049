#include "plot/gPlotTable.h"
#include "plot/gPlotManagers.h"

#include "platform/gui/Graphics.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <memory>

using namespace kv;

namespace {

class Table : public ::testing::Test {
protected:
    void SetUp() override {
        bitmap.SetSize(400, 300);
        canvas().Brush()->SetColor(clBlack);
        canvas().FillRect({0, 0, 400, 300});
        table = std::make_unique<TgPlotTable>(&owner, count, count, count, count);
        table->SetDrawRect({10, 10, 300, 290});
    }
    TCanvas& canvas() { return *bitmap.Canvas(); }
    void Fill(int rows) {
        table->AddColumn("Channel");
        table->AddColumn("Level");
        for (int i = 0; i < rows; ++i)
            table->Rows().Put(table->AddRow(), "Row " + std::to_string(i) + "\n" + std::to_string(i * 10));
    }

    TComponent owner{nullptr};
    int changes = 0;
    TNotifyEvent count = [this](TObject*) { ++changes; };
    TBitmap bitmap;
    std::unique_ptr<TgPlotTable> table;
};

} // namespace

TEST_F(Table, ColumnsWithoutRowsDrawNothingAndNeedNoSpace) {
    table->AddColumn("Empty");
    EXPECT_EQ(table->GetRequiredWidth(canvas()), 0);
    table->Draw(canvas(), clBlack);
    for (int x = 0; x < 400; x += 7)
        for (int y = 0; y < 300; y += 7)
            ASSERT_EQ(canvas().Pixel(x, y), clBlack) << x << "," << y;
}

TEST_F(Table, RowsMaxShowsAWindowWithScrollButtons) {
    Fill(10);
    table->SetRowsMax(4);
    table->Draw(canvas(), clBlack);
    EXPECT_EQ(table->RowDisplayStartIndex(), 0);
    EXPECT_EQ(table->RowDisplayStopIndex(), 3);
    ASSERT_TRUE(table->UpButton()->Visible());
    ASSERT_TRUE(table->DownButton()->Visible());
    EXPECT_FALSE(table->UpButton()->Enabled());
    EXPECT_TRUE(table->DownButton()->Enabled());
    const TRect grid = table->GridRect();
    EXPECT_EQ(table->UpButton()->DrawRect().Left, grid.Right + 5);
    EXPECT_EQ(grid.Bottom - table->TitleRect().Bottom, 4 * table->RowHeight());

    table->DownButton()->OnClick(table->DownButton());
    table->Draw(canvas(), clBlack);
    if (const char* png = std::getenv("KV_TABLE_PNG")) // to look at the table
        bitmap.Image().save(png);
    EXPECT_EQ(table->RowDisplayStartIndex(), 1);
    EXPECT_EQ(table->RowDisplayStopIndex(), 4);
    EXPECT_TRUE(table->UpButton()->Enabled());

    // Scrolling past the end keeps the last rows in view.
    for (int i = 0; i < 20; ++i)
        table->DownButton()->OnClick(table->DownButton());
    table->Draw(canvas(), clBlack);
    EXPECT_EQ(table->RowDisplayStartIndex(), 6);
    EXPECT_EQ(table->RowDisplayStopIndex(), 9);
    EXPECT_FALSE(table->DownButton()->Enabled());

    // The buttons are hit-tested before the table.
    const TRect up = table->UpButton()->DrawRect();
    EXPECT_EQ(table->GetMouseOverObject(up.Left + 2, up.Top + 2), table->UpButton());
    EXPECT_EQ(table->GetMouseOverObject(grid.Left + 2, grid.Top + 2), table.get());
}

TEST_F(Table, RowsThatDoNotFitAreCut) {
    Fill(50);
    table->Draw(canvas(), clBlack);
    const int shown = table->RowDisplayStopIndex() - table->RowDisplayStartIndex() + 1;
    EXPECT_LT(shown, 50);
    EXPECT_GT(shown, 0);
    EXPECT_LE(table->GridRect().Bottom, table->DrawRect().Bottom);
    EXPECT_TRUE(table->DownButton()->Visible());
}

TEST_F(Table, AutoSizedColumnTakesTheWidestTextAndGridIsDrawn) {
    table->AddColumn("A title much wider than any cell");
    table->Rows().Put(table->AddRow(), "1");
    table->Draw(canvas(), clBlack);
    canvas().Font()->Assign(table->ColumnTitlesFont());
    const int w = canvas().TextWidth("0");
    EXPECT_EQ(table->Column(0)->WidthPixels,
              canvas().TextWidth("A title much wider than any cell") + 2 * w + w);

    const TRect grid = table->GridRect();
    EXPECT_EQ(canvas().Pixel(grid.Left, grid.Top + 5), 0xFFFFFF);                      // grid line
    EXPECT_EQ(canvas().Pixel(grid.Left + 1, table->TitleRect().Bottom + 1), 0x808080); // background
    EXPECT_EQ(canvas().Pixel(grid.Right, table->TitleRect().Bottom + 3), 0xFFFFFF);    // right end
    EXPECT_EQ(table->GetRequiredWidth(canvas()), grid.Right - grid.Left + 2 * w);      // margins of 1
    table->SetGridBackGroundTransparent(true);
    canvas().Brush()->SetColor(clBlack);
    canvas().FillRect({0, 0, 400, 300});
    table->Draw(canvas(), clBlack);
    EXPECT_EQ(canvas().Pixel(grid.Left + 1, table->TitleRect().Bottom + 1), clBlack);
}

TEST_F(Table, TableManagerCreatesNamedTables) {
    std::vector<TgPlotObjectManagerCustom*> managers;
    TNotifyEvent insert = [&](TObject* s) {
        if (auto* manager = dynamic_cast<TgPlotObjectManagerCustom*>(s))
            managers.push_back(manager);
        else
            for (auto* m : managers)
                m->NotificationInsert(s);
    };
    TNotifyEvent remove = [&](TObject* s) {
        for (auto* m : std::vector<TgPlotObjectManagerCustom*>(managers))
            m->NotificationRemove(s);
        std::erase(managers, s);
    };
    TgPlotTableManager tables(&owner, count, insert, remove, count);
    tables.CreateObject()->DoInsert();
    tables.CreateObject()->DoInsert();
    ASSERT_EQ(tables.Count(), 2);
    EXPECT_EQ(tables.GetItem(1)->Name(), "Table 2");
    auto* t = static_cast<TgPlotTable*>(tables.GetItem(0));
    t->SetRowsMax(3);
    t->SetColumnTitlesVisible(false); // stored as such, not lost to a default the constructor overrides
    TgWriter w;
    tables.WriteToStream(w);
    TgReader r(w.Values());
    tables.ReadFromStream(r);
    ASSERT_EQ(tables.Count(), 2);
    t = static_cast<TgPlotTable*>(tables.GetItem(0));
    EXPECT_EQ(t->Name(), "Table 1");
    EXPECT_EQ(t->RowsMax(), 3);
    EXPECT_FALSE(t->ColumnTitlesVisible());
    EXPECT_TRUE(static_cast<TgPlotTable*>(tables.GetItem(1))->ColumnTitlesVisible());
}
