#include "plot/gPlotDataList.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <random>

using namespace kv;

namespace {

struct Kind {
    const char* name;
    std::function<std::unique_ptr<TgPlotDataCustomList>()> make;
    int pointSize;
    bool keepsFlags;  // null and empty survive
    bool deleteAllOk; // DeletePoints(Count) allowed
    const char* deleteError;
};

const Kind kKinds[] = {
    {"standard", [] { return std::make_unique<TgPlotDataNullList>(); }, 24, true, false,
     "Delete size out of Range"},
    {"compact", [] { return std::make_unique<TgPlotDataCompactList>(); }, 8, false, false,
     "Delete size out of Range"},
    {"interval", [] { return std::make_unique<TgPlotDataCompactIntervalList>(); }, 4, false, true,
     "Delete size out of Range"},
    {"full", [] { return std::make_unique<TgPlotDataFullList>(); }, 144, true, false,
     "Delete Size Out Of Range"},
};

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EKvError& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(gPlotDataList, EveryKindGrowsDeletesAndRingsAlike) {
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.name);
        auto list = k.make();
        EXPECT_EQ(list->DataPointSize(), k.pointSize);
        EXPECT_EQ(list->MaxDataPoints(), 2147483647 / k.pointSize);

        // Growth step by step from empty.
        std::vector<int> caps;
        for (int i = 0; i < 95; ++i) {
            EXPECT_EQ(list->Add(i, 10 * i, true, true), i);
            if (caps.empty() || caps.back() != list->Capacity())
                caps.push_back(list->Capacity());
        }
        EXPECT_EQ(caps, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95}));
        EXPECT_EQ(list->MemoryUsed(), std::int64_t(95) * k.pointSize);
        EXPECT_EQ(list->GetNull(3), k.keepsFlags);
        EXPECT_EQ(list->GetEmpty(3), k.keepsFlags);

        // Deleting drops the oldest; deleting all is refused except on the interval list.
        EXPECT_EQ(ErrorOf([&] { list->DeletePoints(-1); }), k.deleteError);
        list->DeletePoints(0);
        EXPECT_EQ(list->Count(), 95);
        list->DeletePoints(90);
        EXPECT_EQ(list->Count(), 5);
        EXPECT_EQ(list->GetX(0), 90);
        EXPECT_EQ(list->GetY(4), 940);
        EXPECT_EQ(list->Capacity(), 95);
        if (k.deleteAllOk) {
            list->DeletePoints(5);
            EXPECT_EQ(list->Count(), 0);
        } else {
            EXPECT_EQ(ErrorOf([&] { list->DeletePoints(5); }), k.deleteError);
            EXPECT_EQ(list->Count(), 5);
        }
        list->Clear();
        EXPECT_EQ(list->Capacity(), 0);

        // A ring of 3 fed 1..4 keeps 2, 3, 4.
        list->SetRingBufferSize(3);
        std::vector<int> indexes;
        for (int x = 1; x <= 4; ++x)
            indexes.push_back(list->Add(x, x, false, false));
        EXPECT_EQ(indexes, (std::vector<int>{0, 1, 2, 2}));
        EXPECT_EQ(list->GetX(0), 2);
        EXPECT_EQ(list->GetX(2), 4);
        EXPECT_EQ(list->GetY(0), 2);
        EXPECT_EQ(list->GetY(2), 4);
        EXPECT_EQ(list->RingBufferSize(), 3);

        // Shrinking an unwrapped ring keeps the newest; switching the ring off keeps them and grows.
        list->Clear();
        EXPECT_EQ(list->Capacity(), 3);
        list->SetRingBufferSize(0);
        list->Clear();
        for (int x = 1; x <= 5; ++x)
            list->Add(x, x, false, false);
        list->SetRingBufferSize(2);
        EXPECT_EQ(list->Count(), 2);
        EXPECT_EQ(list->GetY(0), 4);
        EXPECT_EQ(list->GetY(1), 5);
        list->SetRingBufferSize(0);
        EXPECT_EQ(list->Count(), 2);
        list->Add(6, 6, false, false);
        EXPECT_EQ(list->Count(), 3);
        EXPECT_EQ(list->Capacity(), 6);

        // Out-of-range access and the size limit.
        EXPECT_EQ(ErrorOf([&] { list->GetY(3); }), "Index out of Bounds");
        double x, y;
        bool e, n;
        EXPECT_EQ(ErrorOf([&] { list->GetXYEmptyNull(-1, x, y, e, n); }), "Index out of Bounds");
        EXPECT_EQ(ErrorOf([&] { list->SetCapacity(list->MaxDataPoints() + 1); }), "Exceed Maximum List Size");
        EXPECT_EQ(ErrorOf([&] { list->SetRingBufferSize(list->MaxDataPoints() + 1); }),
                  "Exceed Maximum List Size");
        EXPECT_EQ(list->Count(), 3);
        EXPECT_EQ(list->RingBufferSize(), 0);
    }
}

TEST(gPlotDataList, StandardListStatusAndStoredDefaults) {
    TgPlotDataNullList list;
    EXPECT_EQ(ErrorOf([&] { list.GetX(0); }), "Index out of Bounds");
    list.StoredTraceLineColor = 0x123456;
    EXPECT_EQ(list.GetTraceLineColor(0), 0x123456); // defaults answer without a bounds check
    EXPECT_TRUE(list.GetBarVisible(7));

    list.StoredMarkerVisible = true;
    list.StoredMarkerStyle = TgPlotMarkerStyle::ipmsCharacter;
    list.Add(1, 2, false, true);
    EXPECT_TRUE(list.GetMarkerVisible(0));
    EXPECT_EQ(list.GetMarkerStyle(0), TgPlotMarkerStyle::ipmsCharacter);
    EXPECT_TRUE(list.GetEmpty(0));
    EXPECT_FALSE(list.GetNull(0));
    list.SetNull(0, true);
    list.SetMarkerStyle(0, TgPlotMarkerStyle::ipmsSquare);
    list.SetMarkerVisible(0, false);
    EXPECT_TRUE(list.GetNull(0));
    EXPECT_TRUE(list.GetEmpty(0));
    EXPECT_FALSE(list.GetMarkerVisible(0));
    EXPECT_EQ(list.GetMarkerStyle(0), TgPlotMarkerStyle::ipmsSquare);
    list.SetEmpty(0, false);
    EXPECT_FALSE(list.GetEmpty(0));
    EXPECT_TRUE(list.GetNull(0));
}

TEST(gPlotDataList, FullListTakesAttributesFromDefaultsExceptCharacter) {
    TgPlotDataFullList list;
    list.StoredBarPenColor = 0x0000FF;
    list.StoredMarkerCharacter = u'x';
    list.StoredBarVisible = false;
    list.Add(1, 2, false, false);
    EXPECT_EQ(list.GetBarPenColor(0), 0x0000FF);
    EXPECT_EQ(list.GetMarkerCharacter(0), 0);
    EXPECT_FALSE(list.GetBarVisible(0));
    list.SetHigh(0, 5);
    list.SetMarkerCharacter(0, u'o');
    EXPECT_EQ(list.GetHigh(0), 5);
    EXPECT_EQ(list.GetMarkerCharacter(0), u'o');
    EXPECT_EQ(list.GetLow(0), 0);
}

TEST(gPlotDataList, IntervalListImpliesXFromTheFirstTwo) {
    TgPlotDataCompactIntervalList list;
    list.Add(10, 1, false, false);
    list.Add(12, 2, false, false);
    list.Add(100, 3, false, false);
    EXPECT_EQ(list.GetX(2), 14);
    EXPECT_EQ(list.GetX(5), 20); // no bounds check
    EXPECT_EQ(
        ErrorOf([&] { list.SetX(1, 0); }),
        "Data Style does not support setting individual X-Value with the exception of the first X-Value");
    list.SetX(0, 0);
    EXPECT_EQ(list.GetX(2), 4);
    // The points left after a delete keep their X.
    list.DeletePoints(1);
    EXPECT_EQ(list.GetX(0), 2);
    EXPECT_EQ(list.GetY(0), 2);
    list.Clear();
    EXPECT_EQ(list.Interval(), -1.0);
    list.Add(50, 0, false, false);
    list.Add(55, 0, false, false);
    EXPECT_EQ(list.GetX(1), 55);
    double x, y;
    bool e, n;
    list.GetXYEmptyNull(1, x, y, e, n);
    EXPECT_EQ(x, 55);
    EXPECT_EQ(ErrorOf([&] { list.GetXYEmptyNull(2, x, y, e, n); }), "Index out of Bounds");

    // A ring of one point keeps the X of the point it holds.
    TgPlotDataCompactIntervalList one;
    one.SetRingBufferSize(1);
    for (int i = 0; i < 4; ++i)
        one.Add(100 + 5 * i, i, false, false);
    EXPECT_EQ(one.GetX(0), 115);
    EXPECT_EQ(one.GetY(0), 3);
}

TEST(gPlotDataList, CompactListStoresNullPointsAsOrdinary) {
    TgPlotDataCompactList list;
    list.Add(0.1, 3, true, true);
    EXPECT_FALSE(list.GetNull(0));
    EXPECT_FALSE(list.GetEmpty(0));
    EXPECT_EQ(list.GetX(0), double(0.1f));
}

TEST(gPlotDataList, WrappedRingDeletesAndCutsInAgeOrder) {
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.name);
        auto list = k.make();
        list->SetRingBufferSize(5);
        for (int x = 1; x <= 7; ++x) // 3..7 left, storage wrapped
            list->Add(x, x, false, false);
        list->DeletePoints(2);
        ASSERT_EQ(list->Count(), 3);
        EXPECT_EQ(list->GetY(0), 5);
        EXPECT_EQ(list->GetY(2), 7);
        EXPECT_EQ(list->GetX(0), 5);
        list->Add(8, 8, false, false);
        EXPECT_EQ(list->GetY(3), 8);

        auto other = k.make();
        other->SetRingBufferSize(5);
        for (int x = 1; x <= 8; ++x) // 4..8 left, wrapped
            other->Add(x, x, false, false);
        other->SetCapacity(3); // a cut drops the newest
        ASSERT_EQ(other->Count(), 3);
        EXPECT_EQ(other->GetY(0), 4);
        EXPECT_EQ(other->GetY(2), 6);
        other->SetCapacity(6);
        other->Add(9, 9, false, false);
        EXPECT_EQ(other->GetY(3), 9);
        EXPECT_EQ(other->GetY(0), 4);
    }
}

// Random operations against a plain deque, wrapped rings included.
TEST(gPlotDataList, RandomOperationsMatchASimpleModel) {
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.name);
        std::mt19937 rng(20);
        auto list = k.make();
        std::deque<int> model; // Y values; X = 2 * Y + 1 throughout
        int cap = 0, tail = 0;
        bool xTrusted = true; // a cut of the newest leaves a jump in X that the interval list cannot hold
        bool ring = false;
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        int next = 0, wrappedDeletes = 0;
        for (int step = 0; step < 4000; ++step) {
            const int op = pick(0, 99);
            if (op < 70) {
                const int y = next++;
                const int index = list->Add(2 * y + 1, y, false, false);
                if (ring && cap > 0) {
                    if (int(model.size()) == cap) {
                        model.pop_front();
                        tail = tail + 1 == cap ? 0 : tail + 1;
                    }
                } else if (int(model.size()) == cap) {
                    cap += cap > 64 ? cap / 4 : cap > 8 ? 16 : 4;
                }
                model.push_back(y);
                ASSERT_EQ(index, int(model.size()) - 1);
            } else if (op < 80) {
                const int size = pick(-1, int(model.size()) + 1);
                const bool ok =
                    size >= 0 && (size < int(model.size()) || (k.deleteAllOk && size == int(model.size())));
                if (ok) {
                    wrappedDeletes += tail != 0 && size > 0;
                    list->DeletePoints(size);
                    model.erase(model.begin(), model.begin() + size);
                    if (size > 0)
                        tail = 0;
                } else {
                    EXPECT_EQ(ErrorOf([&] { list->DeletePoints(size); }), k.deleteError);
                }
            } else if (op < 90) {
                const int v = pick(0, 3) == 0 ? 0 : pick(1, 40);
                list->SetRingBufferSize(v);
                if (v == 0) {
                    if (ring && tail != 0) {
                        model.clear();
                        cap = 0;
                    }
                    if (ring)
                        tail = 0;
                    ring = false;
                } else {
                    ring = true;
                    if (v != cap) {
                        if (tail != 0)
                            model.clear();
                        while (int(model.size()) > v)
                            model.pop_front();
                        cap = v;
                        tail = 0;
                    }
                }
            } else if (op < 95) {
                const int c = pick(0, 60);
                list->SetCapacity(c);
                if (c != cap) {
                    if (int(model.size()) > c && c > 0)
                        xTrusted = false;
                    while (int(model.size()) > c)
                        model.pop_back();
                    cap = c;
                    tail = 0;
                }
            } else {
                list->Clear();
                model.clear();
                tail = 0;
                if (!ring)
                    cap = 0;
                if (auto* iv = dynamic_cast<TgPlotDataCompactIntervalList*>(list.get())) {
                    EXPECT_EQ(iv->Interval(), -1.0);
                }
            }
            if (model.empty())
                xTrusted = true;
            ASSERT_EQ(list->Count(), int(model.size())) << step;
            ASSERT_EQ(list->Capacity(), cap) << step;
            ASSERT_EQ(list->RingBufferSize(), ring ? cap : 0) << step;
            for (int i = 0; i < int(model.size()); ++i) {
                ASSERT_EQ(list->GetY(i), model[std::size_t(i)]) << step << " at " << i;
                // The interval list implies X, which matches only a gapless run learned with step 2.
                auto* iv = dynamic_cast<TgPlotDataCompactIntervalList*>(list.get());
                const bool gapless = model.back() - model.front() == int(model.size()) - 1;
                if (!iv || (xTrusted && iv->Interval() == 2 && gapless)) {
                    ASSERT_EQ(list->GetX(i), 2 * model[std::size_t(i)] + 1) << step << " at " << i;
                }
            }
        }
        EXPECT_GT(wrappedDeletes, 10); // the case the age-order delete mends is reached
    }
}
