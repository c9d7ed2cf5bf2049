// The report reader: reports reach the GUI thread one at a time and in order, and stopping a reader
// never deadlocks, also while its hand-over waits to be served. The readers wait on a test clock,
// so nothing here sleeps.

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/support/VirtualClock.h"
#include "tests/hid/HidFixture.h"

namespace {

using namespace hidtest;

struct Got {
    uint8_t id;
    std::vector<uint8_t> data;
};

// A controller with the unit checked out and a data handler that records each report.
struct ReaderRig {
    explicit ReaderRig(FakeTree& tree) {
        ctl.SetScheduler(&clock);
        tree.Plug(0);
        ctl.SetOnDeviceData([this](THidDevice* d, uint8_t id, const uint8_t* data, uint16_t size) {
            EXPECT_TRUE(d == device || !device); // a check-in clears its argument first
            EXPECT_TRUE(TMessageBridge::OnGuiThread());
            EXPECT_FALSE(inHandler) << "two reports in the handler at once";
            inHandler = true;
            got.push_back({id, std::vector<uint8_t>(data, data + size)});
            inHandler = false;
        });
        TMessageBridge::ServePending(); // the start-up scan
        EXPECT_TRUE(ctl.CheckOut(device));
        clock.Settle(); // the reader waits for its first report
    }
    ~ReaderRig() { ctl.CheckIn(device); }
    TVirtualClock clock;
    THidDeviceController ctl{nullptr};
    THidDevice* device = nullptr;
    std::vector<Got> got;
    bool inHandler = false;
};

TEST(HidReader, ReportsReachTheGuiThreadOneAtATimeInOrder) {
    FakeTree tree;
    ReaderRig rig(tree);
    ASSERT_TRUE(rig.device->HasReader());
    EXPECT_EQ(rig.device->GetCaps().InputReportByteLength, 65);
    const std::vector<size_t> lengths = {64, 1, 10, 64, 64, 3};
    for (size_t i = 0; i < lengths.size(); ++i) {
        std::vector<uint8_t> data(lengths[i], 0);
        for (size_t k = 0; k < data.size(); ++k)
            data[k] = static_cast<uint8_t>(i * 16 + k);
        tree.Send(0, data);
    }
    rig.clock.Settle();
    ASSERT_EQ(rig.got.size(), lengths.size());
    for (size_t i = 0; i < lengths.size(); ++i) {
        EXPECT_EQ(rig.got[i].id, 0);
        ASSERT_EQ(rig.got[i].data.size(), lengths[i]) << "report " << i;
        EXPECT_EQ(rig.got[i].data[0], static_cast<uint8_t>(i * 16));
        EXPECT_EQ(rig.got[i].data.back(), static_cast<uint8_t>(i * 16 + lengths[i] - 1));
    }
    rig.ctl.CheckIn(rig.device);
}

TEST(HidReader, StopWhileAHandOverIsPendingServesItAndEnds) {
    FakeTree tree;
    ReaderRig rig(tree);
    // Let earlier device-change broadcasts (from the watcher's own thread) pass, so that the one thing
    // pending below is the hand-over.
    for (int quiet = 0, i = 0; quiet < 5 && i < 500; ++i) {
        TMessageBridge::WaitForWake(10);
        quiet = TMessageBridge::ServePending() ? 0 : quiet + 1;
    }
    tree.Send(0, {0x10, 0x02, 0x01});
    // The reader now waits in its hand-over, which nobody has served yet.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (TMessageBridge::PendingCount() == 0 && std::chrono::steady_clock::now() < end)
        TMessageBridge::WaitForWake(100); // a hand-over wakes it
    ASSERT_GT(TMessageBridge::PendingCount(), 0u);
    rig.ctl.CheckIn(rig.device);
    ASSERT_EQ(rig.got.size(), 1u);
    EXPECT_EQ(rig.got[0].data, (std::vector<uint8_t>{0x10, 0x02, 0x01}));
    ExpectCounts(rig.ctl, 1, 0, 0);
    EXPECT_FALSE(rig.ctl.Devices()[0]->HasReader());
}

TEST(HidReader, StopWithoutTrafficEndsWithoutWaitingForTheSleepPeriod) {
    FakeTree tree;
    ReaderRig rig(tree);
    rig.device->SetThreadSleepTime(50);
    rig.clock.Advance(120); // a few empty sleep periods
    // The test clock stands still: a reader that only looked at the stop between sleep periods would
    // never end here.
    rig.ctl.CheckIn(rig.device);
    EXPECT_EQ(rig.clock.Ms(), 120u);
    // The cancelled read delivers nothing later.
    tree.Send(0, {1, 2, 3});
    TMessageBridge::ServePending();
    EXPECT_TRUE(rig.got.empty());
}

TEST(HidReader, UnplugDuringAPendingReadHandsNothingOver) {
    FakeTree tree;
    ReaderRig rig(tree);
    int unplugs = 0;
    rig.ctl.SetOnDeviceUnplug([&](THidDevice* d) {
        ++unplugs;
        EXPECT_EQ(d, rig.device);
        rig.ctl.CheckIn(rig.device);
    });
    rig.clock.Settle();
    tree.Unplug(0);
    Notify(rig.ctl);
    EXPECT_EQ(unplugs, 1);
    EXPECT_TRUE(rig.got.empty());
    EXPECT_TRUE(rig.ctl.Devices().empty());
}

TEST(HidReader, DirectCreationIsRefused) {
    EXPECT_THROW(THidDeviceReadThread(true), EControllerError);
    EXPECT_THROW(THidDevice(), EControllerError);
}

} // namespace
