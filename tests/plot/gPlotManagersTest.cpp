#include "plot/gPlotManagers.h"

#include "platform/gui/Controls.h"
#include "tests/plot/PlotTestWiring.h"

#include <gtest/gtest.h>

#include <memory>

namespace kvtest {
using namespace kv;

// One stand-in class with the properties the managers set; the kinds below derive from it under the
// class names the managers know.
class TestObject : public TgPlotManagerObject, public IgPlotDataViewLink {
    KV_CLASS(TestObject)
public:
    using TgPlotManagerObject::TgPlotManagerObject;

    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& v) { FTitle = v; }
    const std::string& TitleText() const { return FTitleText; }
    void SetTitleText(const std::string& v) { FTitleText = v; }
    const std::string& XAxisName() const { return FXAxisName; }
    void SetXAxisName(const std::string& v) { FXAxisName = v; }
    const std::string& YAxisName() const { return FYAxisName; }
    void SetYAxisName(const std::string& v) { FYAxisName = v; }
    const std::string& GridXAxisName() const { return FGridX; }
    void SetGridXAxisName(const std::string& v) { FGridX = v; }
    const std::string& GridYAxisName() const { return FGridY; }
    void SetGridYAxisName(const std::string& v) { FGridY = v; }
    const std::string& ChannelName() const { return FChannelName; }
    void SetChannelName(const std::string& v) { FChannelName = v; }
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v) { FCaption = v; }
    int Color() const { return FColor; }
    void SetColor(int v) { FColor = v; }
    double Weight() const { return FWeight; }
    void SetWeight(double v) { FWeight = v; }

    void SetDataViewLink(TgPlotObject* dataView) override { DataView = dataView; }
    void NotificationAxisRemove(TObject* sender) override;
    bool gMouseWheel(int, TShiftState, TPoint) override {
        ++WheelCalls;
        return HandlesWheel;
    }

    TgPlotObject* DataView = nullptr;
    std::vector<std::string> RemovalsHeard;
    int WheelCalls = 0;
    bool HandlesWheel = false;
    std::function<void(TObject*)> OnAxisRemove;

private:
    std::string FTitle, FTitleText, FXAxisName, FYAxisName, FGridX, FGridY, FChannelName, FCaption;
    int FColor = 0x0000FF;
    double FWeight = 0;
};

KV_REGISTER_CLASS(TestObject, TgPlotManagerObject, b) {
    b.Prop("Title", &TestObject::Title, &TestObject::SetTitle);
    b.Prop("TitleText", &TestObject::TitleText, &TestObject::SetTitleText);
    b.Prop("XAxisName", &TestObject::XAxisName, &TestObject::SetXAxisName);
    b.Prop("YAxisName", &TestObject::YAxisName, &TestObject::SetYAxisName);
    b.Prop("GridXAxisName", &TestObject::GridXAxisName, &TestObject::SetGridXAxisName);
    b.Prop("GridYAxisName", &TestObject::GridYAxisName, &TestObject::SetGridYAxisName);
    b.Prop("ChannelName", &TestObject::ChannelName, &TestObject::SetChannelName);
    b.Prop("Caption", &TestObject::Caption, &TestObject::SetCaption);
    b.Prop("Color", &TestObject::Color, &TestObject::SetColor).Default(0x0000FF);
    b.Prop("Weight", &TestObject::Weight, &TestObject::SetWeight);
}

void TestObject::NotificationAxisRemove(TObject* sender) {
    if (auto* o = dynamic_cast<TgPlotObject*>(sender))
        RemovalsHeard.push_back(o->Name());
    if (OnAxisRemove)
        OnAxisRemove(sender);
}

#define KIND(Cls, Base)                                                                                      \
    class Cls : public Base {                                                                                \
        KV_CLASS(Cls)                                                                                        \
    public:                                                                                                  \
        using Base::Base;                                                                                    \
    };                                                                                                       \
    KV_REGISTER_CLASS(Cls, Base, b) {}

KIND(TgPlotXAxis, TestObject)
KIND(TgPlotYAxis, TestObject)
KIND(TgPlotChannelCustom, TestObject)
KIND(TgXYPlotChannel, TgPlotChannelCustom)
KIND(TgPlotDataView, TestObject)
KIND(TgPlotDataCursor, TestObject)
KIND(TgPlotLimit, TestObject)
KIND(TgPlotLabel, TestObject)
KIND(TgPlotAnnotation, TestObject)
KIND(TgPlotLegend, TestObject)
#undef KIND

template <class C> void Register(const char* name) {
    gRegisterPlotObjectClassOf<C>(name);
}

// The managers of one plot, wired as the plot's master manager wires them.
class Plot : public ::testing::Test, public TestPlotWiring {
protected:
    void SetUp() override {
        Register<TgPlotXAxis>("TgPlotXAxis");
        Register<TgPlotYAxis>("TgPlotYAxis");
        Register<TgXYPlotChannel>("TgXYPlotChannel");
        Register<TgPlotDataView>("TgPlotDataView");
        Register<TgPlotDataCursor>("TgPlotDataCursor");
        Register<TgPlotLimit>("TgPlotLimit");
        Register<TgPlotLabel>("TgPlotLabel");
        Register<TgPlotAnnotation>("TgPlotAnnotation");
        Register<TgPlotLegend>("TgPlotLegend");
        // In the master manager's order: the channels hear of a removed axis before the axes drop it.
        all = Make<TgPlotObjectManager>();
        channels = Make<TgPlotChannelManager>();
        cursors = Make<TgPlotDataCursorManager>();
        views = Make<TgPlotDataViewManager>();
        xAxes = Make<TgPlotXAxisManager>();
        yAxes = Make<TgPlotYAxisManager>();
        limits = Make<TgPlotLimitManager>();
        labels = Make<TgPlotLabelManager>();
        annotations = Make<TgPlotAnnotationManager>();
        for (auto* m : {channels, views, limits}) {
            auto* linked = static_cast<TgPlotAxisLinkedManager*>(m);
            linked->SetXAxisManager(xAxes);
            linked->SetYAxisManager(yAxes);
        }
        static_cast<TgPlotDataCursorManager*>(cursors)->SetChannelManager(channels);
        static_cast<TgPlotDataCursorManager*>(cursors)->SetDataViewManager(views);
    }
    void TearDown() override {
        // Typed managers free their objects first; the all-objects manager goes last.
        while (owned.size() > 1)
            owned.pop_back();
        owned.clear();
    }

    template <class M> TgPlotObjectManagerCustom* Make() {
        auto m = std::make_unique<M>(&owner, change, insert, remove, rename);
        owned.push_back(std::move(m));
        return owned.back().get();
    }
    TestObject* Add(TgPlotObjectManagerCustom* m) {
        TgPlotObject* o = m->CreateObject();
        o->DoInsert();
        return static_cast<TestObject*>(o);
    }
    TestObject* Item(TgPlotObjectManagerCustom* m, int i) { return static_cast<TestObject*>(m->GetItem(i)); }

    TComponent owner{nullptr};
    std::vector<std::unique_ptr<TgPlotObjectManagerCustom>> owned;
    TgPlotObjectManagerCustom *all{}, *xAxes{}, *yAxes{}, *channels{}, *views{}, *cursors{}, *limits{},
        *labels{}, *annotations{};
};

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EKvError& e) {
        return e.what();
    }
    return "<no error>";
}

} // namespace kvtest

using namespace kvtest;

TEST(PlotManagers, ConstructorRefusesMissingPartsInOrder) {
    TComponent owner(nullptr);
    const TNotifyEvent f = [](TObject*) {};
    const TNotifyEvent n;
    EXPECT_EQ(ErrorOf([&] { TgPlotLabelManager m(nullptr, n, n, n, n); }), "Owner must be Assigned");
    EXPECT_EQ(ErrorOf([&] { TgPlotLabelManager m(&owner, n, n, n, n); }),
              "OnChange event handler can not be null");
    EXPECT_EQ(ErrorOf([&] { TgPlotLabelManager m(&owner, f, n, n, n); }),
              "OnInsert event handler can not be null");
    EXPECT_EQ(ErrorOf([&] { TgPlotLabelManager m(&owner, f, f, n, n); }),
              "OnRemove event handler can not be null");
    EXPECT_EQ(ErrorOf([&] { TgPlotLabelManager m(&owner, f, f, f, n); }),
              "AOnRename event handler can not be null");
}

TEST_F(Plot, NextNameTakesTheHighestNumberAfterTheBaseName) {
    EXPECT_EQ(channels->GetNextName(), "Channel 1");
    for (const char* name : {"Channel 1", "channel 7", "Channel X", "Channels 9", "Channel  3"}) {
        TestObject* c = Add(channels);
        c->SetName(name);
    }
    EXPECT_EQ(channels->GetNextName(), "Channel 8");
    EXPECT_EQ(channels->GetIndexByName("CHANNEL 7"), 1);
    EXPECT_EQ(channels->GetObjectByName("nothing"), nullptr);
    EXPECT_EQ(ErrorOf([&] { channels->GetItem(5); }), "List index out of bounds (5)");
    EXPECT_EQ(ErrorOf([&] { all->CreateObject(); }), "Object Manager does not support creation of objects");
}

TEST_F(Plot, NewChannelsTakeThePaletteColourLeastUsed) {
    std::vector<int> colors;
    for (int i = 0; i < 4; ++i)
        colors.push_back(Add(channels)->Color());
    EXPECT_EQ(colors, (std::vector<int>{0x0000FF, 0x00FFFF, 0xFF0000, 0xFF00FF}));

    channels->Clear();
    Add(channels);
    Add(channels)->SetColor(0xFF0000); // the second changed to blue before the third is added
    EXPECT_EQ(Add(channels)->Color(), 0x00FFFF);
}

TEST_F(Plot, NewObjectsAreNamedAndLinkedToTheFirstAxesChannelAndView) {
    TestObject* channelBefore = Add(channels);
    EXPECT_EQ(channelBefore->XAxisName(), ""); // no axes yet
    TestObject* x = Add(xAxes);
    Add(xAxes);
    TestObject* y = Add(yAxes);
    EXPECT_EQ(x->Name(), "X-Axis 1");
    EXPECT_EQ(x->Title(), "X-Axis 1");
    EXPECT_EQ(y->Title(), "Y-Axis 1");

    TestObject* ch = Add(channels);
    EXPECT_EQ(ch->Name(), "Channel 2");
    EXPECT_EQ(ch->TitleText(), "Channel 2");
    EXPECT_EQ(ch->XAxisName(), "X-Axis 1");
    EXPECT_EQ(ch->YAxisName(), "Y-Axis 1");
    TestObject* view = Add(views);
    EXPECT_EQ(view->Name(), "Data View 1");
    EXPECT_EQ(view->GridXAxisName(), "X-Axis 1");
    TestObject* cursor = Add(cursors);
    EXPECT_EQ(cursor->DataView, view);
    EXPECT_EQ(cursor->ChannelName(), "Channel 1");
    EXPECT_EQ(Add(limits)->YAxisName(), "Y-Axis 1");
    EXPECT_EQ(Add(labels)->Caption(), "Label 1");
    EXPECT_EQ(Add(annotations)->Name(), ""); // annotations are not named

    // An object that comes with a name keeps it and gets no defaults.
    TgPlotObject* named = xAxes->CreateObject();
    named->SetName("Time");
    named->DoInsert();
    EXPECT_EQ(static_cast<TestObject*>(named)->Title(), "");
    // Kinds go to their own manager only; the all-objects manager has every one.
    EXPECT_EQ(xAxes->Count(), 3);
    EXPECT_EQ(channels->GetIndex(x), -1);
    EXPECT_EQ(all->Count(), 11);
}

TEST_F(Plot, RemovingAnAxisTellsEveryOtherObjectWhileItIsStillListed) {
    TestObject* x = Add(xAxes);
    TestObject* x2 = Add(xAxes);
    TestObject* ch = Add(channels);
    bool listedWhenTold = false;
    ch->OnAxisRemove = [&](TObject* s) { listedWhenTold = xAxes->GetIndex(s) >= 0; };
    const int before = changes;
    delete x;
    EXPECT_EQ(ch->RemovalsHeard, std::vector<std::string>{"X-Axis 1"});
    EXPECT_EQ(x2->RemovalsHeard, std::vector<std::string>{"X-Axis 1"});
    EXPECT_TRUE(listedWhenTold);
    ch->OnAxisRemove = nullptr;
    EXPECT_EQ(xAxes->Count(), 1);
    EXPECT_EQ(all->GetIndex(x), -1);
    EXPECT_GT(changes, before);

    // A manager that goes takes its objects along and is dropped from the links.
    auto* linked = static_cast<TgPlotAxisLinkedManager*>(channels);
    auto it = std::find_if(owned.begin(), owned.end(), [&](auto& p) { return p.get() == xAxes; });
    owned.erase(it);
    EXPECT_EQ(linked->XAxisManager(), nullptr);
    EXPECT_EQ(all->Count(), 1);
}

TEST_F(Plot, ManagersStreamTheirObjectsAsCollections) {
    EXPECT_FALSE(channels->DoWriteToStream());
    TestObject* a = Add(channels);
    a->SetWeight(0.1);
    a->SetTitleText("Gain\r\nreduction");
    TestObject* b = Add(channels);
    b->SetName("Output");
    b->SetVisible(false);
    TgWriter w;
    channels->WriteToStream(w);
    EXPECT_EQ(w.RootAncestor, &owner);

    // Read into the same plot after clearing: objects are made, their properties set, then announced.
    channels->Clear();
    EXPECT_EQ(channels->Count(), 0);
    TgReader r = TgReader::FromText(w.Text());
    channels->ReadFromStream(r);
    EXPECT_TRUE(r.AtEnd());
    ASSERT_EQ(channels->Count(), 2);
    EXPECT_EQ(Item(channels, 0)->Name(), "Channel 1");
    EXPECT_EQ(Item(channels, 0)->Weight(), 0.1);
    EXPECT_EQ(Item(channels, 0)->TitleText(), "Gain\r\nreduction");
    EXPECT_EQ(Item(channels, 1)->Name(), "Output");
    EXPECT_FALSE(Item(channels, 1)->Visible());
    EXPECT_EQ(Item(channels, 1)->Color(), 0x00FFFF);
    EXPECT_EQ(all->Count(), 2);

    // Without a collection (an empty manager was not written) the manager stays empty.
    TgReader none;
    EXPECT_THROW(channels->ReadFromStream(none), EReadError);
    TgWriter other;
    other.WriteInteger(3);
    TgReader notCollection(other.Values());
    channels->ReadFromStream(notCollection);
    EXPECT_EQ(channels->Count(), 0);
}

TEST_F(Plot, InputGoesToTheSelectedObjects) {
    TestObject* a = Add(labels);
    TestObject* b = Add(labels);
    TestObject* c = Add(labels);
    a->SetUserSelected(true);
    b->SetUserSelected(true);
    b->HandlesWheel = true;
    auto* objects = static_cast<TgPlotObjectManager*>(all);
    EXPECT_TRUE(objects->MouseWheelFocusObjects(120, {}, {0, 0}));
    EXPECT_EQ(a->WheelCalls, 1);
    EXPECT_EQ(b->WheelCalls, 1);
    EXPECT_EQ(c->WheelCalls, 0);
    b->HandlesWheel = false;
    EXPECT_FALSE(objects->MouseWheelFocusObjects(120, {}, {0, 0}));
    objects->ClearAllUserSelections();
    EXPECT_FALSE(a->UserSelected() || b->UserSelected());

    objects->ShutDownSetup();
    EXPECT_FALSE(a->OnRemove || a->OnChange || a->OnLayoutChange);
}
