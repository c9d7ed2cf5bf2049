#include "plot/gPlotLayoutManager.h"

#include "ErrorOf.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace kvtest_layout {
using namespace kv;

// Stand-ins under the class names the layout manager tells kinds by.
#define KIND(Cls)                                                                                            \
    class Cls : public TgPlotLayoutObject {                                                                  \
        KV_CLASS(Cls)                                                                                        \
    public:                                                                                                  \
        using TgPlotLayoutObject::TgPlotLayoutObject;                                                        \
        ~Cls() override { NotifyRemove(); }                                                                  \
    };                                                                                                       \
    KV_REGISTER_CLASS(Cls, TgPlotLayoutObject, b) {}

KIND(TgPlotXAxis)
KIND(TgPlotYAxis)
KIND(TgPlotLegend)
KIND(TgPlotDataView)
KIND(TgPlotTable)
#undef KIND

// A layout manager wired as the master manager wires it: the objects' insert and remove callbacks
// reach it.
class Layout : public ::testing::Test {
protected:
    void SetUp() override {
        owner = std::make_unique<TComponent>(nullptr);
        manager = std::make_unique<TgPlotLayoutManager>(owner.get(), change, insert, remove, rename);
    }
    void TearDown() override {
        objects.clear();
        manager.reset();
    }

    template <class C> C* Add(double start = 0, double stop = 100) {
        auto object = std::make_unique<C>(owner.get(), change, insert, remove, rename);
        object->SetStartStopPercent(start, stop);
        C* raw = object.get();
        objects.push_back(std::move(object));
        raw->DoInsert();
        return raw;
    }
    void Delete(TgPlotObject* object) {
        std::erase_if(objects, [&](const auto& o) { return o.get() == object; });
    }
    static std::vector<std::string> Names(const TgPlotLayoutList& list) {
        std::vector<std::string> names;
        for (const auto& e : list)
            names.push_back(e.Object->Name() + "@" + e.Key);
        return names;
    }

    int changes = 0;
    TNotifyEvent change = [this](TObject*) { ++changes; };
    TNotifyEvent insert = [this](TObject* o) {
        if (manager && dynamic_cast<TgPlotLayoutObject*>(o))
            manager->NotificationInsert(o);
    };
    TNotifyEvent remove = [this](TObject* o) {
        if (manager)
            manager->NotificationRemove(o);
    };
    TNotifyEvent rename = [](TObject*) {};
    std::unique_ptr<TComponent> owner;
    std::unique_ptr<TgPlotLayoutManager> manager;
    std::vector<std::unique_ptr<TgPlotObject>> objects;
};

TEST_F(Layout, StartsWithTheDataViewLevelsListedAndEnabled) {
    EXPECT_TRUE(manager->Enabled());
    ASSERT_EQ(manager->Count(), 2);
    EXPECT_EQ(manager->GetItem(0), manager->DataViewHorz());
    EXPECT_EQ(manager->DataViewHorz()->Name(), "Data View");
    EXPECT_EQ(manager->DataViewHorz()->ZOrder(), 1);
    EXPECT_TRUE(manager->DataViewHorz()->Horizontal());
    EXPECT_FALSE(manager->DataViewVert()->Horizontal());
    EXPECT_EQ(manager->BottomUniqueCount() + manager->TopUniqueCount() + manager->LeftUniqueCount() +
                  manager->RightUniqueCount(),
              0)
        << "the level objects are in no side list";
    EXPECT_EQ(manager->GetBaseName(), "Layout Object");
    EXPECT_EQ(ErrorOf([&] { manager->CreateObject(); }),
              "Layout Manager does not support creation of objects");
}

TEST_F(Layout, AnOverlappingNewAxisPushesTheLevelUpAndRangesThatMeetShareIt) {
    auto* x1 = Add<TgPlotXAxis>();
    x1->SetName("X1");
    EXPECT_TRUE(x1->Horizontal());
    EXPECT_EQ(x1->ZOrder(), 0);
    EXPECT_EQ(Names(manager->BottomList()), std::vector<std::string>{"X1@000000"});
    EXPECT_FALSE(x1->ReverseSide());

    auto* x2 = Add<TgPlotXAxis>(20, 70);
    x2->SetName("X2");
    EXPECT_EQ(x2->ZOrder(), 0);
    EXPECT_EQ(x1->ZOrder(), 1);
    EXPECT_EQ(manager->DataViewHorz()->ZOrder(), 2) << "the level object moves up too";
    EXPECT_EQ(manager->DataViewVert()->ZOrder(), 1) << "the other direction stays";
    EXPECT_EQ(Names(manager->BottomList()), (std::vector<std::string>{"X2@000020", "X1@001000"}));
    EXPECT_EQ(manager->BottomUniqueCount(), 2);

    // Ranges that only meet at 50 percent share a level.
    auto* y1 = Add<TgPlotYAxis>(0, 50);
    auto* y2 = Add<TgPlotYAxis>(50, 100);
    EXPECT_FALSE(y1->Horizontal());
    EXPECT_EQ(y1->ZOrder(), 0);
    EXPECT_EQ(y2->ZOrder(), 0);
    EXPECT_EQ(manager->LeftList().size(), 2u);
    EXPECT_EQ(manager->LeftUniqueCount(), 1);
    EXPECT_EQ(manager->DataViewVert()->ZOrder(), 1);
    // A range of no length overlaps only an equal one.
    auto* y3 = Add<TgPlotYAxis>(50, 50);
    EXPECT_EQ(y3->ZOrder(), 0);
    EXPECT_EQ(manager->LeftUniqueCount(), 1);
    auto* y4 = Add<TgPlotYAxis>(50, 50);
    EXPECT_EQ(y4->ZOrder(), 0);
    EXPECT_EQ(y3->ZOrder(), 1);
    EXPECT_EQ(y1->ZOrder(), 1);
    EXPECT_EQ(manager->LeftUniqueCount(), 2);
}

TEST_F(Layout, TwoXAxesOnHalvesShareTheBottomBand) {
    auto* a = Add<TgPlotXAxis>(0, 50);
    auto* b = Add<TgPlotXAxis>(50, 100);
    EXPECT_EQ(a->ZOrder(), 0);
    EXPECT_EQ(b->ZOrder(), 0);
    EXPECT_EQ(manager->BottomList().size(), 2u);
    EXPECT_EQ(manager->BottomUniqueCount(), 1);
    EXPECT_EQ(manager->BottomList()[0].Object, a) << "sorted by start percent";
    EXPECT_EQ(manager->DataViewHorz()->ZOrder(), 1);
}

TEST_F(Layout, DataViewsAreNeitherObstaclesNorListed) {
    auto* view = Add<TgPlotDataView>();
    auto* x = Add<TgPlotXAxis>();
    EXPECT_EQ(x->ZOrder(), 0);
    EXPECT_EQ(view->ZOrder(), 0);
    auto* x2 = Add<TgPlotXAxis>();
    EXPECT_EQ(x2->ZOrder(), 0);
    EXPECT_EQ(view->ZOrder(), 0) << "a data view is not pushed";
    for (const auto* list :
         {&manager->TopList(), &manager->BottomList(), &manager->LeftList(), &manager->RightList()})
        for (const auto& e : *list)
            EXPECT_NE(e.Object, view);
}

TEST_F(Layout, RemovingTheOnlyObjectOfALevelClosesTheGap) {
    auto* x1 = Add<TgPlotXAxis>();
    auto* x2 = Add<TgPlotXAxis>();
    ASSERT_EQ(x2->ZOrder(), 0);
    ASSERT_EQ(x1->ZOrder(), 1);
    ASSERT_EQ(manager->DataViewHorz()->ZOrder(), 2);
    Delete(x2);
    EXPECT_EQ(x1->ZOrder(), 0);
    EXPECT_EQ(manager->DataViewHorz()->ZOrder(), 1);
    EXPECT_EQ(manager->BottomList().size(), 1u);
    EXPECT_EQ(manager->Count(), 3);

    // An object that shares its level leaves the levels as they are.
    auto* a = Add<TgPlotXAxis>(0, 40);
    auto* b = Add<TgPlotXAxis>(60, 100);
    ASSERT_EQ(a->ZOrder(), 0);
    ASSERT_EQ(b->ZOrder(), 0);
    ASSERT_EQ(x1->ZOrder(), 1);
    Delete(b);
    EXPECT_EQ(a->ZOrder(), 0);
    EXPECT_EQ(x1->ZOrder(), 1);
    EXPECT_EQ(manager->DataViewHorz()->ZOrder(), 2);
}

TEST_F(Layout, ObjectsAboveTheDataViewLieOnTheFarSide) {
    auto* legend = Add<TgPlotLegend>();
    EXPECT_EQ(legend->ZOrder(), 0);
    EXPECT_EQ(manager->LeftList().size(), 1u);
    manager->InsertZOrder(legend, 2, TgInsertDirection::iidMerge);
    EXPECT_EQ(legend->ZOrder(), 2);
    EXPECT_TRUE(legend->ReverseSide());
    EXPECT_TRUE(manager->LeftList().empty());
    EXPECT_EQ(Names(manager->RightList()), std::vector<std::string>{"@002000"});
    EXPECT_EQ(manager->RightUniqueCount(), 1);

    // A level change made on the object itself rebuilds the lists through its layout callback.
    legend->SetZOrder(0);
    EXPECT_FALSE(legend->ReverseSide());
    EXPECT_EQ(manager->LeftList().size(), 1u);
}

TEST_F(Layout, BelowAndAbovePushTheLevelsTheySay) {
    auto* a = Add<TgPlotXAxis>(0, 30);
    auto* b = Add<TgPlotXAxis>(40, 60);
    auto* c = Add<TgPlotXAxis>(70, 100);
    ASSERT_EQ(a->ZOrder() + b->ZOrder() + c->ZOrder(), 0);
    manager->InsertZOrder(b, 0, TgInsertDirection::iidAbove);
    EXPECT_EQ(b->ZOrder(), 1);
    EXPECT_EQ(a->ZOrder(), 0) << "above: only levels above 0 move";
    EXPECT_EQ(manager->DataViewHorz()->ZOrder(), 2);
    manager->InsertZOrder(c, 1, TgInsertDirection::iidBelow);
    EXPECT_EQ(c->ZOrder(), 1);
    EXPECT_EQ(b->ZOrder(), 2);
    EXPECT_EQ(a->ZOrder(), 0);
    EXPECT_EQ(manager->DataViewHorz()->ZOrder(), 3);
    EXPECT_EQ(manager->BottomUniqueCount(), 3);
}

TEST_F(Layout, SwappingXAndYTurnsEveryAxisAndMergesItAgain) {
    auto* x = Add<TgPlotXAxis>();
    auto* y = Add<TgPlotYAxis>();
    auto* legend = Add<TgPlotLegend>(0, 100);
    manager->InsertZOrder(legend, 3, TgInsertDirection::iidMerge);
    manager->SetXYAxesReverse(true);
    EXPECT_FALSE(x->Horizontal());
    EXPECT_TRUE(y->Horizontal());
    EXPECT_EQ(y->ZOrder(), 0);
    EXPECT_EQ(manager->BottomList().size(), 1u);
    EXPECT_EQ(manager->BottomList()[0].Object, y);
    // The X axis meets the legend's direction: merged at 0, it overlaps nothing there.
    EXPECT_EQ(x->ZOrder(), 0);
    EXPECT_EQ(manager->LeftList().size(), 1u);
    EXPECT_EQ(manager->RightList().size(), 1u);
    // New axes follow the swap.
    auto* x2 = Add<TgPlotXAxis>();
    EXPECT_FALSE(x2->Horizontal());
    manager->SetXYAxesReverse(false);
    EXPECT_TRUE(x->Horizontal());
    EXPECT_TRUE(x2->Horizontal());
    EXPECT_FALSE(y->Horizontal());
}

TEST_F(Layout, ADisabledManagerKeepsTheLevelsObjectsBringAndRebuildsWhenSwitchedOn) {
    manager->SetEnabled(false);
    auto* x = Add<TgPlotXAxis>();
    x->SetZOrder(5);
    auto* x2 = Add<TgPlotXAxis>();
    x2->SetZOrder(5);
    EXPECT_EQ(x->ZOrder(), 5);
    EXPECT_TRUE(manager->BottomList().empty());
    EXPECT_TRUE(manager->TopList().empty());
    manager->SetEnabled(true);
    EXPECT_EQ(manager->TopList().size(), 2u);
    EXPECT_EQ(manager->TopUniqueCount(), 1);
    EXPECT_TRUE(x->ReverseSide());
    // Tables are listed but their layout changes do not rebuild on their own.
    auto* table = Add<TgPlotTable>();
    EXPECT_FALSE(table->OnLayoutChange);
    EXPECT_TRUE(x->OnLayoutChange);
    EXPECT_EQ(TgPlotLayoutManager::VisibleCount(manager->TopList()), 2);
    x->SetVisible(false);
    EXPECT_EQ(TgPlotLayoutManager::VisibleCount(manager->TopList()), 1);
}

TEST_F(Layout, ObjectsOutlivingTheManagerDoNotCallBackIntoIt) {
    auto* x = Add<TgPlotXAxis>();
    manager.reset();
    x->SetZOrder(4); // would rebuild a freed manager
    EXPECT_EQ(x->ZOrder(), 4);
    objects.clear();
}

} // namespace kvtest_layout
