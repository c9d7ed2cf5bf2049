#include "controls/PlotList.h"
#include "controls/PaintPage.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {

std::vector<int> Walk(const TPlotList& list) {
    std::vector<int> out;
    for (const TPlotListMember* m = list.Head(); m; m = m->Next)
        out.push_back(m->CurveNumber);
    return out;
}

const double kX[] = {0, 1, 2, 3};
const double kY[] = {-1, -2, -3, -4};

TEST(PlotListTest, NewCurvesGoToTheHeadAndACopyRunsReversed) {
    TPlotList list;
    EXPECT_FALSE(list.AddOrReplace(kX, kY, 4, 33, clPurple, TMyPlotStyle::Line));
    EXPECT_FALSE(list.AddOrReplace(kX, kY, 2, 39, clRed, TMyPlotStyle::Square));
    EXPECT_FALSE(list.AddOrReplace(kX, kY, 3, 40, clLime, TMyPlotStyle::LineSquare));
    EXPECT_EQ(Walk(list), (std::vector<int>{40, 39, 33}));
    TPlotList copy(list);
    EXPECT_EQ(Walk(copy), (std::vector<int>{33, 39, 40}));
    TPlotListMember* m = nullptr;
    ASSERT_TRUE(copy.Find(39, m));
    EXPECT_EQ(m->Count, 2);
    EXPECT_EQ(m->Y, (std::vector<double>{-1, -2}));
    EXPECT_EQ(m->Colour, clRed);
    EXPECT_EQ(m->Style, TMyPlotStyle::Square);
    // The copy owns its own values.
    TPlotListMember* original = nullptr;
    ASSERT_TRUE(list.Find(39, original));
    EXPECT_NE(original->Y.data(), m->Y.data());
    EXPECT_EQ(m->X, (std::vector<double>{0, 1}));
}

TEST(PlotListTest, ReplacingKeepsColourAndStyleAndTakesTheNewLength) {
    TPlotList list;
    list.AddOrReplace(kX, kY, 4, 7, clBlue, TMyPlotStyle::HollowSquare);
    const double y2[] = {5, 6};
    EXPECT_TRUE(list.AddOrReplace(kX, y2, 2, 7, clRed, TMyPlotStyle::Line));
    TPlotListMember* m = nullptr;
    ASSERT_TRUE(list.Find(7, m));
    EXPECT_EQ(m->Count, 2);
    EXPECT_EQ(m->X, (std::vector<double>{0, 1}));
    EXPECT_EQ(m->Y, (std::vector<double>{5, 6}));
    EXPECT_EQ(m->Colour, clBlue);
    EXPECT_EQ(m->Style, TMyPlotStyle::HollowSquare);
    EXPECT_EQ(Walk(list), (std::vector<int>{7}));
    // A negative count gives an empty curve, not a bad copy.
    EXPECT_TRUE(list.AddOrReplace(kX, kY, -5, 7, clRed, TMyPlotStyle::Line));
    ASSERT_TRUE(list.Find(7, m));
    EXPECT_EQ(m->Count, 0);
    EXPECT_TRUE(m->X.empty());
}

TEST(PlotListTest, RemoveAndAppend) {
    TPlotList list;
    for (int curve : {1, 2, 3})
        list.AddOrReplace(kX, kY, 4, curve, clBlack, TMyPlotStyle::Line);
    EXPECT_EQ(Walk(list), (std::vector<int>{3, 2, 1}));
    EXPECT_TRUE(list.Remove(3)); // the head: its successor becomes the head
    EXPECT_EQ(Walk(list), (std::vector<int>{2, 1}));
    EXPECT_TRUE(list.Remove(1)); // the tail
    EXPECT_EQ(Walk(list), (std::vector<int>{2}));
    EXPECT_FALSE(list.Remove(9));
    TPlotListMember* m = nullptr;
    EXPECT_FALSE(list.Find(9, m));
    EXPECT_EQ(m, nullptr);
    EXPECT_TRUE(list.Remove(2)); // the only member
    EXPECT_EQ(list.Head(), nullptr);

    TPlotList a, b;
    a.AddOrReplace(kX, kY, 4, 33, clPurple, TMyPlotStyle::Line);
    b.AddOrReplace(kX, kY, 1, 33, clRed, TMyPlotStyle::Square);
    b.AddOrReplace(kX, kY, 2, 2, clRed, TMyPlotStyle::Square);
    a.AppendFrom(b); // 2 is new (to the head), 33 is replaced
    EXPECT_EQ(Walk(a), (std::vector<int>{2, 33}));
    ASSERT_TRUE(a.Find(33, m));
    EXPECT_EQ(m->Count, 1);
    EXPECT_EQ(m->Colour, clPurple);
    a.Clear();
    EXPECT_EQ(a.Head(), nullptr);
}

TEST(PlotListTest, XValuesOtherThanIndexesAreKeptAsGiven) {
    TPlotList list;
    const double x[] = {0, 1, 2.5, 3}, index[] = {0, 1, 2, 3};
    list.AddOrReplace(x, kY, 4, 1, clBlack, TMyPlotStyle::Line);
    list.AddOrReplace(index, kY, 4, 2, clBlack, TMyPlotStyle::Line);
    list.AddOrReplace(index, kY, 3, 3, clBlack, TMyPlotStyle::Line);
    TPlotListMember *a = nullptr, *b = nullptr, *c = nullptr;
    ASSERT_TRUE(list.Find(1, a) && list.Find(2, b) && list.Find(3, c));
    EXPECT_EQ(a->X, (std::vector<double>{0, 1, 2.5, 3}));
    EXPECT_EQ(b->X, (std::vector<double>{0, 1, 2, 3}));
    EXPECT_EQ(c->X, (std::vector<double>{0, 1, 2}));
    // Replacing index values by others leaves the other curves' values alone.
    list.AddOrReplace(x, kY, 4, 2, clBlack, TMyPlotStyle::Line);
    EXPECT_EQ(b->X, (std::vector<double>{0, 1, 2.5, 3}));
    EXPECT_EQ(c->X, (std::vector<double>{0, 1, 2}));
}

TEST(PaintPageTest, PageRectSizesTheBitmap) {
    TPaintPage page;
    EXPECT_EQ(page.Bitmap()->Width(), 0);
    EXPECT_EQ(page.Bitmap()->Height(), 0);
    page.SetPageRect(10, 20, 110, 70);
    EXPECT_EQ(page.Bitmap()->Width(), 100);
    EXPECT_EQ(page.Bitmap()->Height(), 50);
    EXPECT_EQ(page.BitmapRect(), Rect(0, 0, 100, 50));
    EXPECT_EQ(page.ScreenRect(), Rect(10, 20, 110, 70));
    page.Fill(clTeal);
    EXPECT_EQ(page.Bitmap()->Canvas()->Pixel(0, 0), clTeal);
    EXPECT_EQ(page.Bitmap()->Canvas()->Pixel(99, 49), clTeal);
    TFont f;
    f.SetName("Arial");
    f.SetSize(12);
    page.SetFont(&f);
    EXPECT_EQ(page.Bitmap()->Canvas()->Font()->Name(), "Arial");
    EXPECT_EQ(page.Bitmap()->Canvas()->Font()->Size(), 12);
    // A reversed rectangle is kept as given and leaves an empty bitmap.
    page.SetPageRect(50, 50, 40, 40);
    EXPECT_EQ(page.Bitmap()->Width(), 0);
    EXPECT_EQ(page.ScreenRect(), Rect(50, 50, 40, 40));
}

} // namespace
