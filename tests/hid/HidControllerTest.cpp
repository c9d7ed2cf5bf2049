// The controller on a fake device tree: the event sequences of start-up, plug and unplug, check-out and
// check-in, and the counts.

#include "tests/hid/HidFixture.h"

namespace {

using namespace hidtest;

// A holder that behaves like the main window: takes every device of the unit's IDs when enumerating,
// gives a device back when it is unplugged (unless told to keep it), and records every event.
struct Recorder {
    explicit Recorder(THidDeviceController& c, bool bind = true) : ctl(c) {
        if (!bind)
            return;
        ctl.BeginLoading();
        ctl.OnArrival = [this](THidDevice* d) { events.push_back("arrival " + NodeName(d)); };
        ctl.OnRemoval = [this](THidDevice* d) { events.push_back("removal " + NodeName(d)); };
        ctl.OnEnumerate = [this](THidDevice* d, int i) {
            events.push_back("enumerate " + NodeName(d) + " " + std::to_string(i));
            THidDevice* taken = nullptr;
            if (d->Attributes().VendorID == kUnitVid && d->Attributes().ProductID == kUnitPid &&
                ctl.CheckOutByIndex(taken, i))
                held.push_back(taken);
            return true;
        };
        ctl.SetOnDeviceData([this](THidDevice*, uint8_t, const uint8_t*, uint16_t) { ++reports; });
        ctl.SetOnDeviceUnplug([this](THidDevice* d) {
            events.push_back("unplug " + NodeName(d) + (d->IsPluggedIn() ? " plugged" : ""));
            EXPECT_EQ(d->HidFileHandle(), kv::sys::INVALID_HANDLE_VALUE);
            if (keep || std::find(held.begin(), held.end(), d) == held.end())
                return;
            std::erase(held, d);
            ctl.CheckIn(d);
            EXPECT_EQ(d, nullptr);
        });
        ctl.SetOnDeviceChange([this](kv::TObject*) {
            events.push_back("change");
            ctl.Enumerate();
        });
        ctl.Loaded();
    }
    // Gives back what it holds, as the main window does before its controller goes.
    ~Recorder() {
        if (detached)
            return;
        ctl.OnDeviceUnplug = nullptr;
        ctl.OnDeviceChange = nullptr;
        for (THidDevice* d : held)
            ctl.CheckIn(d);
    }
    std::vector<std::string> Take() { return std::exchange(events, {}); }

    THidDeviceController& ctl;
    std::vector<std::string> events;
    std::vector<THidDevice*> held;
    bool keep = false;
    bool detached = false; // the controller is gone
    int reports = 0;
};

using Events = std::vector<std::string>;

TEST(HidController, StartUpPlugAndUnplugScenarios) {
    FakeTree tree;
    tree.Plug(0);                 // the unit
    tree.Plug(1, 0x1234, 0x0001); // another device
    THidDeviceController ctl(nullptr);
    Recorder rec(ctl);
    // Nothing is scanned before the message loop runs the controller's own first notification.
    EXPECT_TRUE(ctl.Devices().empty());
    EXPECT_TRUE(rec.Take().empty());
    TMessageBridge::ServePending();
    EXPECT_EQ(rec.Take(), (Events{"arrival hidraw0", "arrival hidraw1", "change", "enumerate hidraw0 0",
                                  "enumerate hidraw1 1"}));
    ASSERT_EQ(rec.held.size(), 1u);
    EXPECT_TRUE(rec.held[0]->HasReader());
    ExpectCounts(ctl, 1, 1, 0);

    // Nothing changed: the listed objects stay, the fresh duplicates go, no event.
    THidDevice* unit = rec.held[0];
    Notify(ctl);
    EXPECT_TRUE(rec.Take().empty());
    EXPECT_EQ(ctl.Devices()[0], unit);
    ExpectCounts(ctl, 1, 1, 0);

    // Plug.
    tree.Plug(2, 0x1234, 0x0002);
    Notify(ctl);
    EXPECT_EQ(rec.Take(), (Events{"arrival hidraw2", "change", "enumerate hidraw0 0", "enumerate hidraw1 1",
                                  "enumerate hidraw2 2"}));
    ExpectCounts(ctl, 2, 1, 0);

    // Unplug of an idle device.
    tree.Unplug(1);
    Notify(ctl);
    EXPECT_EQ(rec.Take(), (Events{"unplug hidraw1", "removal hidraw1", "change", "enumerate hidraw0 0",
                                  "enumerate hidraw2 1"}));
    ExpectCounts(ctl, 1, 1, 0);

    // Unplug of the checked-out device: one unplug event, whose check-in destroys the device (no
    // removal event for a device that no longer exists).
    tree.Unplug(0);
    Notify(ctl);
    EXPECT_EQ(rec.Take(), (Events{"unplug hidraw0", "change", "enumerate hidraw2 0"}));
    EXPECT_TRUE(rec.held.empty());
    ASSERT_EQ(ctl.Devices().size(), 1u);
    EXPECT_EQ(NodeName(ctl.Devices()[0]), "hidraw2");
    ExpectCounts(ctl, 1, 0, 0);

    // Plugged in again: a new device, taken again.
    tree.Plug(0);
    Notify(ctl);
    EXPECT_EQ(rec.Take(),
              (Events{"arrival hidraw0", "change", "enumerate hidraw2 0", "enumerate hidraw0 1"}));
    ExpectCounts(ctl, 1, 1, 0);
}

TEST(HidController, KeptUnpluggedDeviceStaysListedUntilCheckedIn) {
    FakeTree tree;
    tree.Plug(0);
    THidDeviceController ctl(nullptr);
    Recorder rec(ctl);
    TMessageBridge::ServePending();
    rec.Take();
    rec.keep = true;
    tree.Unplug(0);
    Notify(ctl);
    EXPECT_EQ(rec.Take(), (Events{"unplug hidraw0", "removal hidraw0", "change"}));
    ExpectCounts(ctl, 0, 0, 1);
    // Every later rescan raises the removal again, but never a second unplug.
    Notify(ctl);
    EXPECT_EQ(rec.Take(), (Events{"removal hidraw0", "change"}));
    ASSERT_EQ(rec.held.size(), 1u);
    THidDevice* d = rec.held[0];
    EXPECT_FALSE(d->IsPluggedIn());
    uint8_t report[65] = {};
    uint32_t written = 1;
    EXPECT_FALSE(d->WriteFile(report, sizeof report, written));
    EXPECT_EQ(written, 0u);
    ctl.CheckIn(rec.held[0]);
    rec.held.clear();
    EXPECT_TRUE(ctl.Devices().empty());
    ExpectCounts(ctl, 0, 0, 0);
}

TEST(HidController, DirectRescansAndEnumerationRules) {
    FakeTree tree;
    tree.Plug(0, 0x1111, 0x0001);
    tree.Plug(1, 0x1111, 0x0002);
    tree.Plug(2, 0x2222, 0x0001);
    THidDeviceController ctl(nullptr);
    int changes = 0;
    ctl.OnDeviceChange = [&](kv::TObject*) { ++changes; };
    // Before any notification from the system every direct rescan counts as a change.
    ctl.DeviceChange();
    ctl.DeviceChange();
    EXPECT_EQ(changes, 2);
    Notify(ctl);
    EXPECT_EQ(changes, 2);
    TMessageBridge::ServePending(); // the start-up notification, late: -1 again
    ctl.DeviceChange();
    EXPECT_EQ(changes, 4);

    // Without a handler enumeration stops at the first device; a handler saying stop on the k-th.
    EXPECT_EQ(ctl.Enumerate(), 1);
    int calls = 0;
    ctl.OnEnumerate = [&](THidDevice*, int) { return ++calls < 2; };
    EXPECT_EQ(ctl.Enumerate(), 2);

    THidDevice* d = nullptr;
    EXPECT_FALSE(ctl.CheckOutByIndex(d, -1));
    EXPECT_FALSE(ctl.CheckOutByIndex(d, 3));
    EXPECT_EQ(d, nullptr);
    EXPECT_EQ(ctl.CountByID(0x1111, -1), 2);
    EXPECT_EQ(ctl.CountByID(0x1111, 0x0002), 1);
    EXPECT_EQ(ctl.CountByClass("HIDClass"), 3);
    ASSERT_TRUE(ctl.CheckOutByID(d, 0x1111, -1));
    EXPECT_EQ(NodeName(d), "hidraw0");
    THidDevice* again = nullptr;
    EXPECT_FALSE(ctl.CheckOutByIndex(again, 0));
    ExpectCounts(ctl, 2, 1, 0);
    // Product strings are read only while a device is accessible: a checked-out one, or one cached.
    EXPECT_EQ(d->ProductName(), u"Product 0");
    THidDevice* byName = nullptr;
    EXPECT_FALSE(ctl.CheckOutByProductName(byName, u"Product 2"));
    EXPECT_FALSE(ctl.CheckOutByProductName(byName, u""));
    ctl.CheckIn(d);
    ExpectCounts(ctl, 3, 0, 0);
    EXPECT_TRUE(
        ctl.CheckOutByCallback(byName, [](THidDevice* x) { return x->ProductName() == u"Product 2"; }));
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(NodeName(byName), "hidraw2");
    ctl.CheckIn(byName);

    // Sleep times: the controller keeps any value, devices only 10..10000.
    ctl.SetDevThreadSleepTime(5);
    EXPECT_EQ(ctl.DevThreadSleepTime(), 5);
    EXPECT_EQ(ctl.Devices()[0]->ThreadSleepTime(), 100);
    ctl.SetDevThreadSleepTime(100);
    ctl.SetDevThreadSleepTime(250);
    EXPECT_EQ(ctl.Devices()[0]->ThreadSleepTime(), 250);

    ctl.SetVersion("9.9");
    EXPECT_EQ(ctl.Version(), "1.0.34");
}

TEST(HidController, InaccessibleNodesOpenWithoutCrashingAndStartNoReader) {
    FakeTree tree;
    tree.Plug(0, kUnitVid, kUnitPid, kv::sys::FakeNodeAccess::None);
    tree.Plug(1, kUnitVid, kUnitPid, kv::sys::FakeNodeAccess::QueryOnly);
    THidDeviceController ctl(nullptr);
    Recorder rec(ctl);
    TMessageBridge::ServePending();
    // The node without any access is skipped; the query-only one is listed, taken, and reads nothing.
    ASSERT_EQ(ctl.Devices().size(), 1u);
    ASSERT_EQ(rec.held.size(), 1u);
    THidDevice* d = rec.held[0];
    EXPECT_EQ(NodeName(d), "hidraw1");
    EXPECT_FALSE(d->HasReadWriteAccess());
    EXPECT_FALSE(d->HasReader());
    EXPECT_EQ(d->Attributes().VendorID, kUnitVid);
    ExpectCounts(ctl, 0, 1, 0);
}

TEST(HidController, WithoutTheServicesTheControllerIsInert) {
    FakeTree tree;
    tree.Plug(0);
    kv::sys::UnregisterModule("SetupApi.dll");
    THidDeviceController ctl(nullptr);
    EXPECT_FALSE(IsHidLoaded());
    int changes = 0;
    ctl.OnDeviceChange = [&](kv::TObject*) { ++changes; };
    TMessageBridge::ServePending();
    ctl.DeviceChange();
    EXPECT_TRUE(ctl.Devices().empty());
    EXPECT_EQ(ctl.Enumerate(), 0);
    THidDevice* d = nullptr;
    EXPECT_FALSE(ctl.CheckOut(d));
    EXPECT_TRUE(ctl.HidGuid() == kv::sys::HID_INTERFACE_GUID);
}

TEST(HidController, ClearingTheDataHandlerStopsTheReader) {
    FakeTree tree;
    tree.Plug(0);
    THidDeviceController ctl(nullptr);
    Recorder rec(ctl);
    TMessageBridge::ServePending();
    ASSERT_EQ(rec.held.size(), 1u);
    THidDevice* d = rec.held[0];
    ASSERT_TRUE(d->HasReader());
    ctl.SetOnDeviceData(nullptr);
    EXPECT_FALSE(d->HasReader());
    ctl.SetOnDeviceData([](THidDevice*, uint8_t, const uint8_t*, uint16_t) {});
    EXPECT_TRUE(d->HasReader());
}

TEST(HidController, DestructionReleasesCheckedOutDevicesThroughTheirHolder) {
    FakeTree tree;
    tree.Plug(0);
    tree.Plug(1, 0x1234, 0x0001);
    auto ctl = std::make_unique<THidDeviceController>(nullptr);
    Recorder rec(*ctl);
    TMessageBridge::ServePending();
    rec.Take();
    ASSERT_EQ(rec.held.size(), 1u);
    EXPECT_EQ(SetupApiReferenceCount(), 1);
    ctl.reset();
    rec.detached = true;
    // The holder's unplug handler ran once and checked the unit in; the other device went with the list.
    EXPECT_EQ(rec.Take(), (Events{"unplug hidraw0"}));
    EXPECT_TRUE(rec.held.empty());
    EXPECT_FALSE(IsHidLoaded());
    EXPECT_FALSE(IsSetupApiLoaded());
    EXPECT_EQ(SetupApiReferenceCount(), 0);
}

TEST(HidController, PublishedPropertiesForLayouts) {
    FakeTree tree;
    RegisterHidClasses();
    const kv::TClassInfo* info = kv::FindClass("THidDeviceController");
    ASSERT_NE(info, nullptr);
    std::vector<std::string> names;
    for (const auto& p : info->Props())
        names.push_back(p->Name);
    const std::vector<std::string> own = {"DevThreadSleepTime", "Version",        "OnArrival",
                                          "OnEnumerate",        "OnDeviceChange", "OnDeviceData",
                                          "OnDeviceDataError",  "OnDeviceUnplug", "OnRemoval"};
    ASSERT_GE(names.size(), own.size());
    EXPECT_EQ(std::vector<std::string>(names.end() - static_cast<long>(own.size()), names.end()), own);
    kv::TComponent owner(nullptr);
    auto* ctl = dynamic_cast<THidDeviceController*>(info->Create(&owner));
    ASSERT_NE(ctl, nullptr);
    EXPECT_TRUE(kv::SetPropText(*ctl, "DevThreadSleepTime", "250"));
    EXPECT_EQ(ctl->DevThreadSleepTime(), 250);
    EXPECT_TRUE(kv::SetPropText(*ctl, "Version", "2.0"));
    EXPECT_EQ(kv::GetPropText(*ctl, "Version"), "1.0.34");
    EXPECT_FALSE(info->FindProp("Version")->IsStored(*ctl));
}

} // namespace
