// Many open, exchange and close cycles with replies in flight: no hang, no stray delivery, no stop
// timeout. Run under ThreadSanitizer and AddressSanitizer as well.
#include <gtest/gtest.h>

#include <chrono>

#include "link/LNet.h"
#include "link/LUsb.h"
#include "tests/link/TransportFixtures.h"
#include "tests/link/TransportPeers.h"

namespace {

constexpr int kCycles = 1000;

// Closes the link in one of three situations, by cycle number: after a reply was handled, at once
// (replies on their way), or while the worker waits in the hand-over of a reply.
template <class Link> void CloseInFlight(Link& link, FakeOwner& owner, int cycle, size_t framesBefore) {
    switch (cycle % 3) {
    case 0:
        ASSERT_TRUE(PumpUntil([&] { return owner.frames.size() > framesBefore; }));
        break;
    case 1:
        break;
    case 2: {
        const BSTM ack = Ack();
        link.DeliverInput(ack.data(), static_cast<uint32_t>(ack.size()));
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (TMessageBridge::PendingCount() == 0 && std::chrono::steady_clock::now() < until)
            std::this_thread::yield();
        break;
    }
    }
    const auto t0 = std::chrono::steady_clock::now();
    link.Close();
    ASSERT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(1)) << "cycle " << cycle;
}

} // namespace

TEST(TransportStress, UsbOpenExchangeCloseCycles) {
    EnsureApp();
    FakeHidDevice device(65);
    PeerThread unit;
    unit.Start(
        device.UnitFd(),
        [](int fd, const BSTM& f) {
            BSTM report(65, 0);
            const BSTM r = PeerReply(f);
            std::copy(r.begin(), r.end(), report.begin() + 1);
            [[maybe_unused]] ssize_t n = write(fd, report.data(), report.size());
        },
        true);
    FakeOwner owner;
    owner.hid = &device;
    HidReportReader reader(device.HostFd());
    for (int i = 0; i < kCycles; ++i) {
        auto link = std::make_unique<LUsbProc>(&owner);
        reader.link = link.get();
        ASSERT_TRUE(link->Open());
        link->SetTimeout(1000);
        const size_t before = owner.frames.size();
        link->QueueFrame(Probe(), true);
        link->QueueFrame(Gain(2, static_cast<uint16_t>(i)), false);
        link->QueueFrame(Peq(0, static_cast<uint8_t>(i % 8), 120), false);
        CloseInFlight(*link, owner, i, before);
        reader.link = nullptr;
        link.reset();
        if (HasFatalFailure())
            return;
    }
    PumpUntil([] { return false; }, 50);
    EXPECT_TRUE(owner.events.empty());
    EXPECT_GE(owner.frames.size(), static_cast<size_t>(kCycles / 3));
    EXPECT_FALSE(owner.offGuiThread);
    unit.Stop();
}

TEST(TransportStress, NetworkOpenExchangeCloseCycles) {
    EnsureApp();
    AnsweringLoopbackUnit u;
    ASSERT_TRUE(u.Start());
    for (int i = 0; i < kCycles; ++i) {
        auto link = std::make_unique<LNetProc>(&u.owner);
        u.net.SetLink(link.get());
        ASSERT_TRUE(link->Open());
        link->SetTimeout(1000);
        const size_t before = u.owner.frames.size();
        link->QueueFrame(Probe(), true);
        link->QueueFrame(Mix(2, 1, static_cast<uint16_t>(i)), false);
        CloseInFlight(*link, u.owner, i, before);
        u.net.SetLink(nullptr);
        link.reset();
        if (HasFatalFailure())
            return;
    }
    PumpUntil([] { return false; }, 50);
    EXPECT_TRUE(u.owner.events.empty());
    EXPECT_FALSE(u.owner.offGuiThread);
}
