#include "platform/core/Classes.h"
#include "platform/core/Properties.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace kv;

namespace {

struct Watcher : TComponent {
    explicit Watcher(TComponent* owner) : TComponent(owner) {}
    std::vector<TComponent*> removed;
    int* destroyed = nullptr;
    ~Watcher() override {
        if (destroyed)
            ++*destroyed;
    }

protected:
    void Notification(TComponent* c, TOperation op) override {
        if (op == TOperation::opRemove)
            removed.push_back(c);
    }
};

TEST(ComponentTest, OwnerNameAndFindIgnoringCase) {
    TComponent form(nullptr);
    auto* a = new TComponent(&form);
    a->SetName("pkbMenuOut1");
    auto* b = new TComponent(&form);
    b->SetName("isEqGainInA");
    a->SetTag(4);
    EXPECT_EQ(form.ComponentCount(), 2);
    EXPECT_EQ(a->Owner(), &form);
    EXPECT_EQ(form.FindComponent("PKBMENUOUT1"), a);
    EXPECT_EQ(form.FindComponent(std::string("isEqGainIn") + char(0 + 65)), b);
    EXPECT_EQ(form.FindComponent("isEqGainInB"), nullptr);
    EXPECT_EQ(form.FindComponent(""), nullptr);
    EXPECT_EQ(a->Tag(), 4);
    EXPECT_EQ(b->ComponentIndex(), 1);
}

// An owner of many components finds them by name as one of a few does, through renames, moves to
// another owner, frees and the owner's own teardown.
TEST(ComponentTest, FindingByNameFollowsRenamesMovesAndFrees) {
    for (int count : {5, 200}) {
        SCOPED_TRACE(count);
        auto form = std::make_unique<TComponent>(nullptr);
        struct Asker : TComponent {
            Asker(TComponent* owner, TComponent*& looked) : TComponent(owner), FForm(owner), FLooked(looked) {}
            ~Asker() override { FLooked = FForm->FindComponent("lbCtl4"); }
            TComponent* FForm;
            TComponent*& FLooked;
        };
        TComponent* looked = reinterpret_cast<TComponent*>(1);
        new Asker(form.get(), looked);
        std::vector<TComponent*> kids;
        for (int i = 0; i < count; ++i) {
            kids.push_back(new TComponent(form.get()));
            if (i % 3 != 2) // some stay unnamed, as a table's rows do
                kids.back()->SetName("lbCtl" + std::to_string(i));
        }
        EXPECT_EQ(form->FindComponent("LBCTL1"), kids[1]);
        EXPECT_EQ(form->FindComponent("lbctl" + std::to_string(count - 2)), kids[static_cast<size_t>(count - 2)]);
        EXPECT_EQ(form->FindComponent("lbCtl2"), nullptr);
        EXPECT_EQ(form->FindComponent("lbCtl1\xC9"), nullptr);

        kids[0]->SetName("edRenamed");
        EXPECT_EQ(form->FindComponent("lbCtl0"), nullptr);
        EXPECT_EQ(form->FindComponent("EDRENAMED"), kids[0]);
        EXPECT_THROW(kids[1]->SetName("edrenamed"), EComponentError);
        EXPECT_EQ(form->FindComponent("lbCtl1"), kids[1]);
        kids[0]->SetName("");
        EXPECT_EQ(form->FindComponent("edRenamed"), nullptr);
        kids[1]->SetName("edRenamed"); // the name is free again

        TComponent other(nullptr);
        other.InsertComponent(kids[1]);
        EXPECT_EQ(form->FindComponent("edRenamed"), nullptr);
        EXPECT_EQ(other.FindComponent("EDRENAMED"), kids[1]);
        delete kids[3];
        EXPECT_EQ(form->FindComponent("lbCtl3"), nullptr);
        auto* again = new TComponent(form.get());
        again->SetName("lbCtl3");
        EXPECT_EQ(form->FindComponent("lbCtl3"), again);

        // The first component is freed last with its owner and looks for one freed before it.
        EXPECT_EQ(looked, reinterpret_cast<TComponent*>(1));
        form.reset();
        EXPECT_EQ(looked, nullptr);
    }
}

TEST(ComponentTest, BadAndDuplicateNamesAreRefused) {
    TComponent form(nullptr);
    auto* a = new TComponent(&form);
    a->SetName("Label1");
    auto* b = new TComponent(&form);
    EXPECT_THROW(b->SetName("LABEL1"), EComponentError);
    EXPECT_THROW(b->SetName("1abc"), EComponentError);
    EXPECT_THROW(b->SetName("a b"), EComponentError);
    EXPECT_TRUE(b->Name().empty());
    b->SetName("Label2");
    a->SetName("label1"); // renaming itself with another case is fine
    EXPECT_EQ(a->Name(), "label1");
}

TEST(ComponentTest, OwnedComponentsGoWithTheOwnerAndFreeIsNotified) {
    int destroyed = 0;
    auto watcher = std::make_unique<Watcher>(nullptr);
    {
        auto* form = new Watcher(nullptr);
        auto* child = new Watcher(form);
        child->destroyed = &destroyed;
        auto* other = new Watcher(nullptr);
        other->destroyed = &destroyed;
        other->FreeNotification(watcher.get());
        delete other;
        ASSERT_EQ(watcher->removed.size(), 1u);
        EXPECT_EQ(watcher->removed[0], other);
        // The owner hears of a child freed on its own.
        auto* lone = new Watcher(form);
        delete lone;
        ASSERT_EQ(form->removed.size(), 1u);
        EXPECT_EQ(form->removed[0], lone);
        EXPECT_EQ(form->ComponentCount(), 1);
        child->FreeNotification(watcher.get());
        delete form;
    }
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(watcher->removed.size(), 2u);
    // A freed subscriber is not told later.
    auto* a = new Watcher(nullptr);
    {
        Watcher b(nullptr);
        a->FreeNotification(&b);
    }
    delete a;
}

TEST(StringsTest, TextNamesAndValues) {
    TStringList list;
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    list.SetText("one\r\ntwo\nName=Value\rlast");
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list[3], "last");
    EXPECT_EQ(list.IndexOf("TWO"), 1);
    EXPECT_EQ(list.Values("name"), "Value");
    list.SetValue("Name", "Other");
    EXPECT_EQ(list[2], "Name=Other");
    EXPECT_EQ(list.Text(), "one\ntwo\nName=Other\nlast\n");
    EXPECT_THROW(list.Delete(9), std::out_of_range);
}

} // namespace
