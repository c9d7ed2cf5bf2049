#include "plot/gVCLComponent.h"
#include "plot/opc/gOPCItems.h"
#include "plot/opc/gOPCManager.h"

#include "platform/gui/Forms.h"
#include "platform/gui/Layout.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>
#include <string>

using namespace kv;

namespace {

template <class F> void ExpectOPCError(F&& f, const std::string& message) {
    try {
        f();
        ADD_FAILURE() << "no error, expected: " << message;
    } catch (const EOPCError& e) {
        EXPECT_EQ(std::string(e.what()), message);
    }
}

// A plot control whose error flag the items drive.
class ErrorControl : public TgCustomComponent {
public:
    ErrorControl() : TgCustomComponent(nullptr) {}
    void gPaint(TCanvas&) override {}
};

void FillConnection(TgOPCItem& item) {
    item.SetPropertyName("Position");
    item.SetServerName("Srv");
    item.SetGroupName("Grp");
    item.SetItemName("Item");
}

// The fake client library, loaded by the binding and opened again here for its test controls.
class FakeOPC : public ::testing::Test {
protected:
    void SetUp() override { Load(KV_FAKEOPC_PATH); }
    void TearDown() override {
        OPCReleaseLibrary();
        if (FHandle)
            dlclose(FHandle);
    }
    void Load(const char* path) {
        OPCReleaseLibrary();
        if (FHandle)
            dlclose(FHandle);
        ASSERT_TRUE(OPCLoadLibrary(path));
        FHandle = dlopen(path, RTLD_NOW);
        ASSERT_NE(FHandle, nullptr);
        Fn<void (*)()>("FakeOPC_Reset")();
    }
    template <class F> F Fn(const char* name) {
        void* p = dlsym(FHandle, name);
        EXPECT_NE(p, nullptr) << name;
        return reinterpret_cast<F>(p);
    }
    std::string Log() { return Fn<const char* (*)()>("FakeOPC_Log")(); }
    void ClearLog() { Fn<void (*)()>("FakeOPC_ClearLog")(); }
    void FailNext(const char* text) { Fn<void (*)(const char*)>("FakeOPC_FailNext")(text); }
    void Deliver(std::int32_t signal, const TgOPCLibVariant& v, std::uint16_t quality, double timeStamp = 0) {
        Fn<void (*)(std::int32_t, const TgOPCLibVariant*, std::uint16_t, double)>("FakeOPC_SetData")(
            signal, &v, quality, timeStamp);
        Fn<void (*)(std::int32_t)>("FakeOPC_FireNewData")(signal);
    }

    void* FHandle = nullptr;
};

} // namespace

TEST(OPCAbsent, ItemsAndGroupsStayUnconnected) {
    OPCReleaseLibrary();
    ASSERT_FALSE(OPCLoadLibrary("/nonexistent/libtarvekopc.so"));
    ASSERT_TRUE(OPCLibraryMissing());

    TgOPCItemManager list;
    TgOPCItem& item = *list.GetItem(list.Add());
    FillConnection(item);
    item.SetUpdateRate(250);
    item.SetAutoConnect(true);
    item.Activate();
    item.ActivateSuspend();
    EXPECT_EQ(item.SignalHandle(), 0);
    EXPECT_FALSE(item.Active());
    EXPECT_FALSE(item.UpdateSuspended());
    std::uint16_t quality = 77;
    EXPECT_TRUE(item.GetDataNow(quality).IsEmpty());
    EXPECT_EQ(item.ServerName(), "Srv");
    EXPECT_EQ(item.UpdateRate(), 250);
    item.UpdateSuspend();
    item.UpdateResume();
    item.SetData(TgOPCVariant::Integer(5));
    item.Deactivate();

    TgOPCManager manager(nullptr);
    EXPECT_FALSE(manager.FirstInstance());
    EXPECT_EQ(manager.GroupAdd("A", "Local", 500, "Srv"), 0);
    EXPECT_EQ(manager.GroupAdd("B", "Local", 500, "Srv"), 1);
    EXPECT_EQ(manager.GroupAdd("C", "Local", 500, "Srv"), 2);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(manager.GetGroup(i)->DLLGroupHandle(), 0);
    // The group's own library calls do not test for the library first.
    ExpectOPCError([&] { manager.GetGroup(0)->Resume(); }, "Tarvek OPC DLL Not Found.");
    ExpectOPCError([&] { manager.GetGroup(0)->Suspend(); }, "Tarvek OPC DLL Not Found.");
    ExpectOPCError([&] { manager.GetGroup(0)->SetUpdateRate(1000); }, "Tarvek OPC DLL Not Found.");
    manager.GetGroup(1)->SetUpdateRate(500); // unchanged: nothing asked
    ExpectOPCError([&] { manager.CloseAllServerConnections(); }, "Tarvek OPC DLL Not Found.");
    manager.GroupDelete(1);
    EXPECT_EQ(manager.GroupCount(), 2);
    manager.GroupClear();
    EXPECT_EQ(manager.GroupCount(), 0);
}

TEST(OPCAbsent, ListsStreamTheirSettings) {
    OPCReleaseLibrary();
    TgOPCItemManager list;
    TgOPCItem& a = *list.GetItem(list.Add());
    FillConnection(a);
    a.SetScalar(2.5);
    a.SetOffset(-1);
    a.SetComputerName("");
    a.SetAutoConnect(false);
    a.SetAutoError(true);
    TgOPCItem& b = *list.GetItem(list.Add());
    b.SetItemName("Line 1\nLine 2");
    b.SetUpdateRate(0);
    ASSERT_TRUE(list.DoWriteToStream());

    TgWriter w;
    list.WriteToStream(w);
    TgReader r = TgReader::FromText(w.Text());
    TgOPCItemManager copy;
    copy.ReadFromStream(r);
    EXPECT_TRUE(r.AtEnd());
    ASSERT_EQ(copy.Count(), 2);
    for (int i = 0; i < 2; ++i) {
        const TgOPCItem& x = *list.GetItem(i);
        const TgOPCItem& y = *copy.GetItem(i);
        EXPECT_EQ(y.PropertyName(), x.PropertyName());
        EXPECT_EQ(y.GroupName(), x.GroupName());
        EXPECT_EQ(y.ComputerName(), x.ComputerName()); // an emptied name stays empty
        EXPECT_EQ(y.ServerName(), x.ServerName());
        EXPECT_EQ(y.ItemName(), x.ItemName());
        EXPECT_EQ(y.Scalar(), x.Scalar());
        EXPECT_EQ(y.Offset(), x.Offset());
        EXPECT_EQ(y.UpdateRate(), x.UpdateRate());
        EXPECT_EQ(y.AutoConnect(), x.AutoConnect());
        EXPECT_EQ(y.AutoError(), x.AutoError());
    }
    EXPECT_EQ(w.Text().find("UpdateSuspended"), std::string::npos); // read-only: never written

    TgOPCManager groups(nullptr), groupsCopy(nullptr);
    EXPECT_FALSE(groups.DoWriteGroups());
    groups.GroupAdd("Fast", "Local", 100, "Srv.1");
    groups.GroupAdd("Slow", "Remote", 5000, "");
    TgWriter gw;
    groups.WriteGroups(gw);
    TgReader gr(gw.Values());
    groupsCopy.GroupAdd("Old", "", 1, "");
    groupsCopy.ReadGroups(gr);
    ASSERT_EQ(groupsCopy.GroupCount(), 2);
    EXPECT_EQ(groupsCopy.GetGroup(1)->Name(), "Slow");
    EXPECT_EQ(groupsCopy.GetGroup(1)->ComputerName(), "Remote");
    EXPECT_EQ(groupsCopy.GetGroup(0)->OPCServerName(), "Srv.1");
    EXPECT_EQ(groupsCopy.GetGroup(0)->UpdateRate(), 100);

    // A value that is not a collection: the list is emptied and nothing more is read.
    TgWriter other;
    other.WriteString("x");
    other.WriteListEnd();
    TgReader otherReader(other.Values());
    copy.ReadFromStream(otherReader);
    EXPECT_EQ(copy.Count(), 0);
    EXPECT_FALSE(otherReader.AtEnd());
}

// A window holding a manager with two groups and a popup menu is written and read back; without the
// client library the groups read back as plain list entries.
TEST(OPCAbsent, ManagerWithItsGroupsTravelsInAWindowLayout) {
    OPCReleaseLibrary();
    ASSERT_FALSE(OPCLoadLibrary("/nonexistent/libtarvekopc.so"));
    RegisterStandardClasses();
    gRegisterOPCManagerClass();
    TForm root(nullptr);
    root.SetName("Root");
    auto* menu = new TPopupMenu(&root);
    menu->SetName("pmOPC");
    auto* m = new TgOPCManager(&root);
    m->SetName("OPCManager1");
    m->SetParent(&root);
    m->SetBounds(40, 50, 100, 100);
    EXPECT_EQ(WriteLayout(root).find("Groups"), std::string::npos) << "no groups, no value";
    m->SetPopupMenu(menu);
    m->GroupAdd("Fast", "Local", 100, "Srv.1");
    m->GroupAdd("Slow \"B\"", "", 5000, "");
    const std::string layout = WriteLayout(root);
    EXPECT_NE(layout.find("object OPCManager1: TgOPCManager"), std::string::npos) << layout;
    EXPECT_NE(layout.find("PopupMenu = pmOPC"), std::string::npos) << layout;

    TForm copy(nullptr);
    const auto problems = ReadLayout(layout, copy);
    EXPECT_TRUE(problems.empty()) << (problems.empty() ? "" : problems[0]);
    auto* d = dynamic_cast<TgOPCManager*>(copy.FindComponent("OPCManager1"));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->PopupMenu(), copy.FindComponent("pmOPC"));
    EXPECT_EQ(d->Left(), 40);
    EXPECT_EQ(d->Width(), 28);
    ASSERT_EQ(d->GroupCount(), 2);
    const struct {
        const char* name;
        const char* computer;
        int rate;
        const char* server;
    } want[] = {{"Fast", "Local", 100, "Srv.1"}, {"Slow \"B\"", "", 5000, ""}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const TgOPCGroupObject& g = *d->GetGroup(i);
        EXPECT_EQ(g.Name(), want[i].name);
        EXPECT_EQ(g.ComputerName(), want[i].computer);
        EXPECT_EQ(g.UpdateRate(), want[i].rate);
        EXPECT_EQ(g.OPCServerName(), want[i].server);
        EXPECT_EQ(g.DLLGroupHandle(), 0) << "nothing connects without the library";
    }
    EXPECT_TRUE(OPCLibraryMissing());
    EXPECT_FALSE(d->FirstInstance());
    EXPECT_EQ(WriteLayout(copy), layout);
}

TEST(OPCManagerCore, SizeIsFixedAndGroupsAreFoundByNameInAnyCase) {
    TgOPCManager m(nullptr);
    EXPECT_FALSE(m.Visible());
    m.SetBounds(10, 20, 100, 50);
    EXPECT_EQ(m.Left(), 10);
    EXPECT_EQ(m.Top(), 20);
    EXPECT_EQ(m.Width(), 28);
    EXPECT_EQ(m.Height(), 28);
    m.GroupAdd("Alpha", "", 1, "");
    m.GroupAdd("Beta", "", 1, "");
    m.GroupAdd("BETA", "", 2, "");
    EXPECT_EQ(m.GetGroupIndex("beta"), 1);
    EXPECT_EQ(m.GetGroupIndex("ALPHA"), 0);
    EXPECT_EQ(m.GetGroupIndex("Gamma"), -1);
    EXPECT_THROW(m.GetGroup(3), EKvError);
}

TEST(OPCVariantScaling, IntegersInDoubleFloatsScaledOthersKept) {
    struct Case {
        TgOPCVariant in;
        double factor;
        bool offset;
        TgOPCVariant out;
        const char* what;
    };
    const Case cases[] = {
        {TgOPCVariant::Integer(3), 2, false, TgOPCVariant::Integer(6), "integer scaled"},
        {TgOPCVariant::Integer(-7, varSmallint), 0.5, false, TgOPCVariant::Integer(-4), "half to even"},
        {TgOPCVariant::Integer(5, varShortInt), 0.5, false, TgOPCVariant::Integer(2), "half to even, down"},
        {TgOPCVariant::Unsigned(200, varByte), 2, false, TgOPCVariant::Integer(400), "byte"},
        {TgOPCVariant::Unsigned(4000000000u, varLongWord), 1, false,
         TgOPCVariant::Integer(4000000000, varInt64), "unsigned 32-bit not wrapped"},
        {TgOPCVariant::Unsigned(3000000000u, varLongWord), 0.5, false, TgOPCVariant::Integer(1500000000),
         "unsigned 32-bit scaled into range"},
        {TgOPCVariant::Integer(std::int64_t{1} << 40, varInt64), 0.5, false,
         TgOPCVariant::Integer(std::int64_t{1} << 39, varInt64), "8-byte not wrapped"},
        {TgOPCVariant::Unsigned(std::uint64_t{1} << 63, varUInt64), 4, false, TgOPCVariant::Double(0x1p65),
         "beyond 8 bytes becomes a double"},
        {TgOPCVariant::Integer(2000000000), 2, false, TgOPCVariant::Integer(4000000000, varInt64),
         "32-bit overflow kept"},
        {TgOPCVariant::Double(1.5), 2, false, TgOPCVariant::Double(3), "double"},
        {TgOPCVariant::Double(1.5, varSingle), 3, false, TgOPCVariant::Double(4.5, varSingle), "single"},
        {TgOPCVariant::String("12"), 2, false, TgOPCVariant::String("12"), "string kept"},
        {TgOPCVariant::Integer(1, varBoolean), 2, false, TgOPCVariant::Integer(1, varBoolean),
         "boolean kept"},
        {TgOPCVariant::Integer(3), 0.5, true, TgOPCVariant::Integer(4), "offset to even"},
        {TgOPCVariant::Integer(2), 0.5, true, TgOPCVariant::Integer(2), "offset to even, down"},
        {TgOPCVariant::Unsigned(4294967295u, varLongWord), 1, true,
         TgOPCVariant::Integer(4294967296, varInt64), "offset on unsigned 32-bit"},
    };
    for (const Case& c : cases) {
        TgOPCVariant v = c.in;
        if (c.offset)
            gOffsetVariant(v, c.factor);
        else
            gScaleVariant(v, c.factor);
        EXPECT_EQ(v, c.out) << c.what << ": " << v.Text();
    }
}

TEST_F(FakeOPC, ActivationPreconditions) {
    struct Case {
        const char* property;
        const char* group;
        const char* server;
        const char* item;
        bool connects;
    };
    const Case cases[] = {
        {"Position", "Grp", "Srv", "Item", true}, {"Position", "Grp", "", "Item", true},
        {"Position", "", "Srv", "Item", true},    {"Position", "", " ", "Item", false},
        {" ", "Grp", "Srv", "Item", false},       {"Position", "Grp", "Srv", "", false},
    };
    TgOPCItemManager list;
    for (const Case& c : cases) {
        TgOPCItem& item = *list.GetItem(list.Add());
        item.SetPropertyName(c.property);
        item.SetGroupName(c.group);
        item.SetServerName(c.server);
        item.SetItemName(c.item);
        item.Activate();
        EXPECT_EQ(item.SignalHandle() != 0, c.connects) << c.property << "/" << c.group << "/" << c.server;
        EXPECT_EQ(item.Active(), c.connects);
    }

    // An item outside a list, or at design time, never connects.
    TgOPCItem orphan;
    FillConnection(orphan);
    orphan.Activate();
    EXPECT_EQ(orphan.SignalHandle(), 0);
    TgOPCItemManager designing;
    designing.OnGetDesigning = [](TObject*, bool& d) { d = true; };
    TgOPCItem& d = *designing.GetItem(designing.Add());
    FillConnection(d);
    d.Activate();
    EXPECT_EQ(d.SignalHandle(), 0);
    EXPECT_FALSE(d.Active());
}

TEST_F(FakeOPC, ConnectionArgumentsAndReconnect) {
    TgOPCItemManager list;
    list.OnGetType = [](const std::string& name, TTypeKind& kind) {
        kind = name == "Caption" ? TTypeKind::tkString : TTypeKind::tkFloat;
    };
    TgOPCItem& item = *list.GetItem(list.Add());
    FillConnection(item);
    ClearLog();
    item.Activate();
    EXPECT_NE(Log().find("SignalAdd Local|Srv|Item|Grp|500|0|0\n"), std::string::npos);
    const std::int32_t first = item.SignalHandle();
    ASSERT_NE(first, 0);

    // A changed connection setting while active reconnects; a string property asks for text.
    ClearLog();
    item.SetPropertyName("Caption");
    EXPECT_EQ(item.PropertyType(), TTypeKind::tkString);
    item.SetUpdateRate(100);
    EXPECT_NE(Log().find("SignalRemove " + std::to_string(first) + "\n"), std::string::npos);
    EXPECT_NE(Log().find("SignalAdd Local|Srv|Item|Grp|100|0|8\n"), std::string::npos);
    EXPECT_NE(item.SignalHandle(), first);

    ClearLog();
    item.ActivateSuspend();
    EXPECT_NE(Log().find("|100|1|8\n"), std::string::npos);
    EXPECT_TRUE(item.UpdateSuspended());
    item.UpdateResume();
    EXPECT_FALSE(item.UpdateSuspended());
    item.UpdateSuspend();
    EXPECT_TRUE(item.UpdateSuspended());

    const std::int32_t h = item.SignalHandle();
    item.Deactivate();
    EXPECT_EQ(item.SignalHandle(), 0);
    EXPECT_FALSE(item.Active());
    EXPECT_NE(Log().find("SignalRemove " + std::to_string(h) + "\n"), std::string::npos);

    // Inactive: a setter only stores.
    ClearLog();
    item.SetServerName("Other");
    EXPECT_EQ(Log().find("SignalAdd"), std::string::npos);
}

TEST_F(FakeOPC, QualityTable) {
    TgOPCItemManager list;
    TgOPCItem& item = *list.GetItem(list.Add());
    FillConnection(item);
    item.Activate();
    const struct {
        std::uint16_t quality;
        bool good;
    } cases[] = {{0xC0, true}, {0xD8, true}, {0xFF, true}, {0x40, false}, {0x80, false}, {0x00, false}};
    for (const auto& c : cases) {
        Deliver(item.SignalHandle(), {varInteger, 1, 0, 0, nullptr}, c.quality);
        EXPECT_EQ(item.Quality(), c.quality);
        EXPECT_EQ(item.QualityGood(), c.good) << c.quality;
    }
}

TEST_F(FakeOPC, NewDataIsScaledOnlyWithGoodQualityAndReported) {
    ErrorControl control;
    TgOPCItemManager list(&control);
    TObject* reported = nullptr;
    list.OnNewData = [&](TObject* sender) { reported = sender; };
    TgOPCItem& item = *list.GetItem(list.Add());
    FillConnection(item);
    item.SetScalar(2);
    item.Activate();
    const std::int32_t h = item.SignalHandle();
    ASSERT_NE(h, 0);

    Deliver(h, {varInteger, 3, 0, 0, nullptr}, 0xC0, 45000.5);
    EXPECT_EQ(item.Data(), TgOPCVariant::Integer(6));
    EXPECT_EQ(item.TimeStamp(), 45000.5);
    EXPECT_EQ(reported, &item);
    Deliver(h, {varOleStr, 0, 0, 0, "12"}, 0xC0);
    EXPECT_EQ(item.Data(), TgOPCVariant::String("12"));
    Deliver(h, {varInteger, 3, 0, 0, nullptr}, 0x40);
    EXPECT_EQ(item.Data(), TgOPCVariant::Integer(3));
    item.SetOffset(10);
    Deliver(h, {varLongWord, 0, 4000000000u, 0, nullptr}, 0xC0);
    EXPECT_EQ(item.Data(), TgOPCVariant::Integer(8000000010, varInt64));

    // With AutoError the control's error flag follows the quality.
    item.SetAutoError(true);
    EXPECT_FALSE(control.ErrorActive());
    Deliver(h, {varInteger, 3, 0, 0, nullptr}, 0x40);
    EXPECT_TRUE(control.ErrorActive());
    Deliver(h, {varInteger, 3, 0, 0, nullptr}, 0xC0);
    EXPECT_FALSE(control.ErrorActive());
}

TEST_F(FakeOPC, DataReadAndWrite) {
    TgOPCItemManager list;
    TgOPCItem& item = *list.GetItem(list.Add());
    FillConnection(item);
    item.SetScalar(100); // not applied when reading at once
    item.Activate();
    const TgOPCLibVariant value{varDouble, 0, 0, 2.5, nullptr};
    Fn<void (*)(std::int32_t, const TgOPCLibVariant*, std::uint16_t, double)>("FakeOPC_SetData")(
        item.SignalHandle(), &value, 0xC0, 7);
    std::uint16_t quality = 0;
    EXPECT_EQ(item.GetDataNow(quality), TgOPCVariant::Double(2.5));
    EXPECT_EQ(quality, 0xC0);
    EXPECT_NE(Log().find("SignalGetDataNow "), std::string::npos);

    item.SetData(TgOPCVariant::String("hello"));
    const TgOPCLibVariant* sent = Fn<const TgOPCLibVariant* (*)()>("FakeOPC_LastSent")();
    EXPECT_EQ(sent->vt, varOleStr);
    EXPECT_STREQ(sent->s, "hello");
}

TEST_F(FakeOPC, LibraryErrorsAndAMissingEntryGiveTheirMessages) {
    TgOPCItemManager list;
    TgOPCItem& item = *list.GetItem(list.Add());
    FillConnection(item);
    FailNext("Server Srv not reachable");
    ExpectOPCError([&] { item.Activate(); }, "Server Srv not reachable");
    EXPECT_EQ(item.SignalHandle(), 0);
    // Loading swallows the error.
    FailNext("Server Srv not reachable");
    item.Loaded();

    Load(KV_FAKEOPC_PARTIAL_PATH);
    TgOPCItemManager partial;
    TgOPCItem& p = *partial.GetItem(partial.Add());
    FillConnection(p);
    p.Activate();
    EXPECT_NE(p.SignalHandle(), 0);
    p.UpdateSuspend();
    ExpectOPCError([&] { p.UpdateResume(); },
                   "Function \"SignalResume\" not found in \"libkvfakeopc_partial.so\".");
}

TEST_F(FakeOPC, ListReadFromStreamConnectsItsAutoConnectItems) {
    TgOPCItemManager source;
    FillConnection(*source.GetItem(source.Add()));
    TgOPCItem& manual = *source.GetItem(source.Add());
    FillConnection(manual);
    manual.SetAutoConnect(false);
    TgWriter w;
    source.WriteToStream(w);

    TgOPCItemManager copy;
    TgReader r(w.Values());
    copy.ReadFromStream(r);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_NE(copy.GetItem(0)->SignalHandle(), 0);
    EXPECT_EQ(copy.GetItem(1)->SignalHandle(), 0);

    // Deleting an item disconnects it.
    const std::int32_t h = copy.GetItem(0)->SignalHandle();
    copy.Delete(0);
    EXPECT_NE(Log().find("SignalRemove " + std::to_string(h) + "\n"), std::string::npos);
    EXPECT_EQ(copy.Count(), 1);
}

TEST_F(FakeOPC, GroupManagerUsesTheLibrary) {
    auto first = std::make_unique<TgOPCManager>(nullptr);
    TgOPCManager second(nullptr);
    EXPECT_TRUE(first->FirstInstance());
    EXPECT_FALSE(second.FirstInstance());

    std::vector<std::string> events;
    second.OnBeforeGroupUpdate = [&](TObject* s, const std::string& g) {
        EXPECT_EQ(s, &second);
        events.push_back("before " + g);
    };
    second.OnAfterGroupUpdate = [&](TObject*, const std::string& g) { events.push_back("after " + g); };
    ClearLog();
    ASSERT_EQ(second.GroupAdd("Fast", "Local", 100, "Srv"), 0);
    const std::int32_t h = second.GetGroup(0)->DLLGroupHandle();
    ASSERT_NE(h, 0);
    EXPECT_EQ(Log(), "GroupAdd Fast|Local|Srv|100\n");
    Fn<void (*)(std::int32_t)>("FakeOPC_FireGroupUpdate")(h);
    EXPECT_EQ(events, (std::vector<std::string>{"before Fast", "after Fast"}));

    ClearLog();
    second.GetGroup(0)->SetUpdateRate(250);
    second.GetGroup(0)->SetUpdateRate(250);
    second.GetGroup(0)->Suspend();
    second.GetGroup(0)->Resume();
    second.CloseAllServerConnections();
    const std::string hs = std::to_string(h);
    EXPECT_EQ(Log(), "GroupSetUpdateRate " + hs + "|250\nGroupSuspend " + hs + "\nGroupResume " + hs +
                         "\nCloseAllServerConnections\n");
    EXPECT_EQ(OPCServerConnectionGetCount(), 2);
    EXPECT_EQ(OPCServerConnectionGetName(1), "Server1");

    ClearLog();
    second.GroupClear();
    EXPECT_EQ(Log(), "GroupDelete " + hs + "\n");
    first.reset();
    EXPECT_NE(Log().find("ManagerDestroyed\n"), std::string::npos);
}

TEST_F(FakeOPC, AutoConnectConnectsOnlyUnderALoadedPlotControl) {
    ErrorControl control;
    TComponent other(nullptr);
    TgOPCItemManager underControl(&control), underOther(&other), alone;
    for (TgOPCItemManager* list : {&underControl, &underOther, &alone}) {
        TgOPCItem& item = *list->GetItem(list->Add());
        FillConnection(item);
        item.SetAutoConnect(false);
    }
    control.BeginLoading();
    underControl.GetItem(0)->SetAutoConnect(true);
    EXPECT_EQ(underControl.GetItem(0)->SignalHandle(), 0); // still loading
    control.Loaded();
    underControl.GetItem(0)->SetAutoConnect(true);
    EXPECT_NE(underControl.GetItem(0)->SignalHandle(), 0);
    underOther.GetItem(0)->SetAutoConnect(true); // not a plot control: counts as loading
    EXPECT_EQ(underOther.GetItem(0)->SignalHandle(), 0);
    alone.GetItem(0)->SetAutoConnect(true);
    EXPECT_EQ(alone.GetItem(0)->SignalHandle(), 0);
}

TEST(ValueStream, TextFormAndPropertyErrors) {
    TgWriter w;
    w.WriteValue(TValueType::vaCollection);
    w.WriteListBegin();
    w.WritePropName("UpdateRate");
    w.WriteString("250");
    w.WritePropName("NoSuchProperty");
    w.WriteString("x");
    w.WritePropName("ItemName");
    w.WriteString("a\\b\r\nc");
    w.WriteListEnd();
    w.WriteListEnd();
    TgReader r = TgReader::FromText(w.Text());
    EXPECT_EQ(r.ReadValue(), TValueType::vaCollection);
    r.ReadListBegin();
    TgOPCItem item;
    gReadProperties(r, item); // an unknown name is passed over
    r.ReadListEnd();
    EXPECT_EQ(item.UpdateRate(), 250);
    EXPECT_EQ(item.ItemName(), "a\\b\r\nc");

    TgWriter bad;
    bad.WritePropName("UpdateRate");
    bad.WriteString("fast");
    TgReader badReader(bad.Values());
    EXPECT_THROW(gReadProperty(badReader, item), EReadError);
    EXPECT_EQ(item.UpdateRate(), 250);

    EXPECT_THROW(TgReader::FromText("C\nQ what\n"), EReadError);
    EXPECT_THROW(TgReader::FromText("S no\\escape\n"), EReadError);
    EXPECT_THROW(TgReader::FromText("Lx\n"), EReadError);
}
