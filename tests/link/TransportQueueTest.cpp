// The packet layer on the virtual clock: send queue and coalescing, reply timeouts and resends,
// keep-alive, hand-over of replies, closing.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/link/TransportHarness.h"

using Kind = LLink::Kind;

namespace {

std::vector<BSTM> Frames(const std::vector<FakeOwner::Write>& w) {
    std::vector<BSTM> out;
    for (const auto& x : w)
        out.push_back(x.frame);
    return out;
}

std::vector<uint64_t> Times(const std::vector<FakeOwner::Write>& w) {
    std::vector<uint64_t> out;
    for (const auto& x : w)
        out.push_back(x.at);
    return out;
}

} // namespace

TEST(TransportQueue, CoalescesOnlyFramesForTheSameTarget) {
    struct Step {
        BSTM frame;
        bool force;
    };
    const struct {
        const char* what;
        std::vector<Step> steps;
        std::vector<BSTM> queue;
    } cases[] = {
        {"gain, PEQ, gain stay three frames in order",
         {{Gain(2, 1), false}, {Peq(0, 3, 100), false}, {Gain(2, 2), false}},
         {Gain(2, 1), Peq(0, 3, 100), Gain(2, 2)}},
        {"a fader drag on one channel leaves one frame with the newest value",
         {{Gain(2, 1), false}, {Gain(2, 2), false}, {Gain(2, 3), false}},
         {Gain(2, 3)}},
        {"gain on InA, then gain on Out1: two frames",
         {{Gain(0, 1), false}, {Gain(2, 1), false}},
         {Gain(0, 1), Gain(2, 1)}},
        {"a drag that comes back after another channel's edit is not moved ahead of it",
         {{Gain(2, 1), false}, {Gain(3, 1), false}, {Gain(2, 5), false}},
         {Gain(2, 1), Gain(3, 1), Gain(2, 5)}},
        {"PEQ: same channel and band replaced, another band or channel kept",
         {{Peq(0, 3, 100), false}, {Peq(0, 3, 101), false}, {Peq(0, 4, 102), false}, {Peq(1, 4, 103), false}},
         {Peq(0, 3, 101), Peq(0, 4, 102), Peq(1, 4, 103)}},
        {"GEQ by channel and band",
         {{Geq(0, 5, 1), false}, {Geq(0, 5, 2), false}, {Geq(0, 6, 3), false}},
         {Geq(0, 5, 2), Geq(0, 6, 3)}},
        {"mix level by output and input",
         {{Mix(2, 0, 1), false}, {Mix(2, 0, 2), false}, {Mix(2, 1, 3), false}, {Mix(3, 1, 4), false}},
         {Mix(2, 0, 2), Mix(2, 1, 3), Mix(3, 1, 4)}},
        {"forced frames are never replaced and replace nothing",
         {{Gain(2, 1), false},
          {Gain(2, 2), true},
          {Gain(2, 3), false},
          {Gain(2, 4), true},
          {Gain(2, 5), true}},
         {Gain(2, 1), Gain(2, 2), Gain(2, 3), Gain(2, 4), Gain(2, 5)}},
        {"after a forced frame, the frames that follow it coalesce again",
         {{Gain(2, 1), false}, {Name(0), true}, {Gain(2, 3), false}, {Gain(2, 4), false}},
         {Gain(2, 1), Name(0), Gain(2, 4)}},
        {"commands of no known target are never merged",
         {{LCmd::ToFrame(CM_MCS_CMD(1, MCS_LOCK_STATUS)), false},
          {LCmd::ToFrame(CM_MCS_CMD(1, MCS_LOCK_STATUS)), false}},
         {LCmd::ToFrame(CM_MCS_CMD(1, MCS_LOCK_STATUS)), LCmd::ToFrame(CM_MCS_CMD(1, MCS_LOCK_STATUS))}},
    };
    for (const auto& c : cases) {
        TransportHarness h(Kind::Usb);
        h.Queue(Probe());
        for (const Step& s : c.steps)
            h.Queue(s.frame, s.force);
        const auto queued = h.Queued();
        EXPECT_EQ(std::vector<BSTM>(queued.begin(), queued.end()), c.queue) << c.what;
        // Written one per reply, in queue order.
        for (size_t i = 0; i < c.queue.size(); ++i)
            h.Receive(Ack());
        auto written = Frames(h.Writes());
        ASSERT_EQ(written.size(), c.queue.size() + 1) << c.what;
        EXPECT_EQ(std::vector<BSTM>(written.begin() + 1, written.end()), c.queue) << c.what;
        EXPECT_TRUE(h.Awaiting());
        h.Receive(Ack());
        EXPECT_FALSE(h.Awaiting());
    }
}

TEST(TransportQueue, NoReplyAfterTheResendsAtEachTransportsTimes) {
    const struct {
        Kind kind;
        uint32_t timeout;
        int limit;
        std::vector<uint64_t> writes;
        uint64_t eventAt;
        uint64_t step;
    } cases[] = {
        {Kind::Serial, 100, 0, {0}, 100, 10},
        {Kind::Usb, 100, 3, {0, 100, 200, 300}, 800, 10}, // 3 resends, 4 silent timeouts
        {Kind::Net, 4000, 0, {0}, 4000, 100},
        {Kind::Usb, 800, 2, {0, 800, 1600}, 5600, 100}, // the construction defaults
        {Kind::Serial, 800, 2, {0, 800, 1600}, 2400, 100},
    };
    for (const auto& c : cases) {
        TransportHarness h(c.kind);
        h.Suspend(true);
        if (c.timeout != 800 || c.limit != 2) {
            h.link->SetTimeout(c.timeout);
            h.link->SetRetryLimit(c.limit);
        }
        h.Queue(Probe(7));
        h.Advance(c.eventAt - 1, c.step);
        EXPECT_TRUE(h.owner.events.empty()) << static_cast<int>(c.kind);
        h.Advance(1, 1);
        ASSERT_EQ(h.owner.events.size(), 1u) << static_cast<int>(c.kind);
        EXPECT_EQ(h.owner.events[0], std::make_pair(static_cast<int>(LINK_NO_REPLY), intptr_t{7}));
        EXPECT_EQ(h.owner.eventTimes[0], c.eventAt);
        auto w = h.Writes();
        EXPECT_EQ(Times(w), c.writes) << static_cast<int>(c.kind);
        for (const auto& x : w)
            EXPECT_EQ(x.frame, Probe(7));
        // Still open and still waiting: nothing more is written, frames keep queueing.
        h.Advance(c.timeout * 3, c.step);
        EXPECT_EQ(h.Writes().size(), c.writes.size());
        EXPECT_TRUE(h.link->IsOpen());
        h.Queue(Gain(2, 1));
        EXPECT_EQ(h.Queued().size(), 1u);
    }
}

TEST(TransportQueue, AnIdleLinkResendsNothingAndRaisesNothing) {
    for (Kind kind : {Kind::Serial, Kind::Usb, Kind::Net}) {
        TransportHarness h(kind);
        h.Suspend(true);
        h.link->SetTimeout(100);
        h.link->SetRetryLimit(3);
        h.Queue(Probe());
        h.Advance(150);
        EXPECT_EQ(h.Writes().size(), 2u); // one resend while the reply is awaited
        h.Receive(Ack());
        EXPECT_FALSE(h.Awaiting());
        if (h.com)
            h.com->SetForcedResend(1); // a page switch while idle
        h.Advance(5000, 50);
        EXPECT_EQ(h.Writes().size(), 2u) << static_cast<int>(kind);
        EXPECT_TRUE(h.owner.events.empty()) << static_cast<int>(kind);

        // The next frame goes out at once, with fresh resend counting.
        h.Queue(Gain(2, 9));
        h.Advance(100);
        auto w = h.Writes();
        ASSERT_EQ(w.size(), 4u);
        EXPECT_EQ(w[2].frame, Gain(2, 9));
        EXPECT_EQ(w[3].frame, Gain(2, 9));
    }
}

TEST(TransportQueue, SerialForcedResendRepeatsTheAwaitedFrameOnceUncounted) {
    TransportHarness h(Kind::Serial);
    h.Suspend(true);
    h.link->SetTimeout(100);
    h.link->SetRetryLimit(1);
    h.Queue(Gain(2, 1));
    h.com->SetForcedResend(1);
    h.Advance(100);
    EXPECT_EQ(Times(h.Writes()), (std::vector<uint64_t>{0, 100, 100})); // forced + counted resend
    h.Advance(100);
    ASSERT_EQ(h.owner.events.size(), 1u); // the forced one did not use up the limit sooner
    EXPECT_EQ(h.owner.eventTimes[0], 200u);
}

TEST(TransportQueue, KeepAliveAfterTwoSecondsWithoutTrafficOnly) {
    const struct {
        Kind kind;
        uint32_t timeoutAfter;
    } cases[] = {{Kind::Serial, 2000}, {Kind::Usb, 5000}, {Kind::Net, 5000}};
    for (const auto& c : cases) {
        TransportHarness h(c.kind);
        h.owner.deviceId = 3;
        h.SetDeviceId(4);
        h.link->SetTimeout(1000);
        h.link->SetRetryLimit(1);
        h.Advance(1990, 100);
        EXPECT_TRUE(h.Writes().empty());
        h.Advance(10);
        auto w = h.Writes();
        ASSERT_EQ(w.size(), 1u);
        EXPECT_EQ(w[0].frame, LCmd::ToFrame(LCmd(4, MCS_KEEP_ALIVE)));
        EXPECT_EQ(w[0].at, 2000u);
        EXPECT_EQ(h.link->Timeout(), c.timeoutAfter);

        // Busy: the keep-alive's own reply is awaited, so no second one goes out (the serial link
        // resends the first once its 2000 ms are up).
        h.Advance(2000, 100);
        EXPECT_EQ(h.Writes().size(), c.kind == Kind::Serial ? 2u : 1u);
        EXPECT_EQ(Frames(h.Writes()).back(), LCmd::ToFrame(LCmd(4, MCS_KEEP_ALIVE)));
        h.Receive(Ack(4));

        // Traffic more often than every 2000 ms keeps it away.
        h.owner.ClearWritten();
        const size_t before = h.Writes().size();
        for (int i = 0; i < 5; ++i) {
            h.Queue(Gain(2, static_cast<uint16_t>(i)));
            h.Receive(Ack(4));
            h.Advance(1500, 100);
        }
        auto after = Frames(h.Writes());
        for (size_t i = before; i < after.size(); ++i)
            EXPECT_NE(after[i][5], MCS_KEEP_ALIVE);

        // Suspended: never.
        h.Suspend(true);
        h.Advance(10000, 500);
        after = Frames(h.Writes());
        for (size_t i = before; i < after.size(); ++i)
            EXPECT_NE(after[i][5], MCS_KEEP_ALIVE);
        h.Suspend(false);
        h.Advance(2000, 100);
        EXPECT_EQ(Frames(h.Writes()).back(), LCmd::ToFrame(LCmd(4, MCS_KEEP_ALIVE)));
    }
}

TEST(TransportQueue, ReplyTimerDoesNotRunWhileTheOwnerHandlesAFrame) {
    TransportHarness h(Kind::Net);
    h.Suspend(true);
    h.link->SetTimeout(500);
    h.link->SetRetryLimit(0);
    h.owner.onFrame = [&](const BSTM&) {
        if (h.owner.frames.size() == 1) {
            h.net->QueueFrame(Gain(2, 1), false); // queued behind the reply being handled
            h.clock.Skip(3000);                   // a slow handler
        }
    };
    h.Queue(Probe());
    h.Advance(200);
    h.Receive(Ack());
    EXPECT_TRUE(h.owner.events.empty());
    auto w = h.Writes();
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w[1].frame, Gain(2, 1));
    EXPECT_EQ(w[1].at, 3200u);
    h.Advance(499);
    EXPECT_TRUE(h.owner.events.empty());
    h.Advance(1);
    ASSERT_EQ(h.owner.events.size(), 1u);
    EXPECT_EQ(h.owner.eventTimes[0], 3700u);
}

TEST(TransportQueue, RoundTripTimeOfEachReply) {
    TransportHarness h(Kind::Net);
    h.Suspend(true);
    h.link->SetTimeout(10000);
    h.Queue(Probe());
    h.Advance(37);
    h.Queue(Gain(2, 1));
    h.Advance(5);
    h.Receive(Ack());
    h.Advance(12);
    h.Receive(Ack());
    ASSERT_EQ(h.owner.frames.size(), 2u);
    EXPECT_EQ(h.owner.frames[0].rtt, 42u);
    EXPECT_EQ(h.owner.frames[1].rtt, 12u); // timed from the queued frame's own write
    EXPECT_EQ(h.owner.frames[0].frame, Ack());
    EXPECT_FALSE(h.owner.offGuiThread);

    const struct {
        int64_t start, now, freq;
        uint32_t ms;
    } cases[] = {{0, 1500, 1000000, 1},
                 {100, 100, 1000, 0},
                 {0, 4294967294LL, 1000, 4294967294u},
                 {0, 4294967295LL, 1000, 0xFFFFFFFFu},
                 {0, INT64_MAX, 1000000000, 0xFFFFFFFFu},
                 {5, 3, 1000, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundTripMs(c.start, c.now, c.freq), c.ms) << c.now;
}

TEST(TransportQueue, ClosedOrEndedTransportSendsNothing) {
    TransportHarness h(Kind::Usb, false);
    h.Queue(Probe()); // never opened
    EXPECT_TRUE(h.Writes().empty());
    EXPECT_FALSE(h.Awaiting());
    ASSERT_TRUE(h.Open());
    EXPECT_FALSE(h.usb->Open()); // already open
    h.Queue(Probe());
    EXPECT_EQ(h.Writes().size(), 1u);
    // A frame longer than any the unit takes never reaches the send buffer, queued or not.
    BSTM huge = LCmd::ToFrame(CM_MCS_CMD(1, MCS_ACK));
    huge.insert(huge.begin() + 6, kMaxFrame, 0x55);
    h.Queue(huge);
    EXPECT_TRUE(h.Queued().empty());
    h.link->Close();
    EXPECT_FALSE(h.link->IsOpen());
    h.Queue(Gain(2, 1));
    h.Advance(3000);
    EXPECT_EQ(h.Writes().size(), 1u); // no keep-alive either: its timer went with Close
}

TEST(TransportQueue, CloseDuringAHandOverNeitherWaitsNorDeliversIt) {
    TransportHarness h(Kind::Usb);
    h.Suspend(true);
    h.Queue(Probe());
    // The reply reaches the worker (delivered off the GUI thread, as a reader thread would), which waits
    // in its hand-over; the GUI thread does not serve it.
    const BSTM ack = Ack();
    std::thread([&] { h.usb->DeliverInput(ack.data(), static_cast<uint32_t>(ack.size())); }).join();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (TMessageBridge::PendingCount() == 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(TMessageBridge::PendingCount(), 1u);
    const auto t0 = std::chrono::steady_clock::now();
    h.link->Close();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(1));
    EXPECT_FALSE(h.link->IsOpen());
    TMessageBridge::ServePending();
    EXPECT_TRUE(h.owner.frames.empty());
    EXPECT_TRUE(h.owner.events.empty()); // no stop timeout
}

TEST(TransportQueue, CloseFromInsideTheFrameHandlerReturnsAndEventsOfAGoneTransportAreDropped) {
    TransportHarness h(Kind::Usb);
    h.Suspend(true);
    h.owner.onFrame = [&](const BSTM&) { h.link->Close(); };
    h.Queue(Probe());
    h.Receive(Ack());
    EXPECT_EQ(h.owner.frames.size(), 1u);
    EXPECT_FALSE(h.link->IsOpen());

    // A link event on its way when the transport is freed is not delivered.
    TransportHarness g(Kind::Usb);
    g.link->SetTimeout(100);
    g.link->SetRetryLimit(0);
    g.Suspend(true);
    g.Queue(Probe());
    g.link->Notify(LINK_NO_REPLY, 1); // posted, not yet served
    ASSERT_EQ(TMessageBridge::PendingCount(), 1u);
    g.Destroy();
    TMessageBridge::ServePending();
    EXPECT_TRUE(g.owner.events.empty());
}

TEST(TransportQueue, InputDeliveriesAreAppendedAndFramesAreHandedOverInOrder) {
    for (Kind kind : {Kind::Usb, Kind::Net}) {
        TransportHarness h(kind);
        h.Suspend(true);
        h.Queue(Probe());
        h.Queue(Gain(2, 1));
        h.Queue(Gain(3, 1));
        // Three replies in five deliveries before the worker gets to any of them.
        BSTM all;
        for (int i = 0; i < 3; ++i) {
            BSTM r = LCmd::ToFrame(CM_MCS_CMD(1, MCS_ACK, static_cast<uint8_t>(i)));
            all.insert(all.end(), r.begin(), r.end());
        }
        auto deliver = [&](size_t from, size_t to) {
            if (h.usb)
                h.usb->DeliverInput(all.data() + from, static_cast<uint32_t>(to - from));
            else
                h.net->DeliverInput(all.data() + from, static_cast<uint32_t>(to - from));
        };
        deliver(0, 3);
        deliver(3, 12);
        deliver(12, 13);
        deliver(13, 25);
        deliver(25, all.size());
        h.clock.Settle();
        ASSERT_EQ(h.owner.frames.size(), 3u);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(h.owner.frames[static_cast<size_t>(i)].frame,
                      LCmd::ToFrame(CM_MCS_CMD(1, MCS_ACK, static_cast<uint8_t>(i))));
        EXPECT_EQ(Frames(h.Writes()), (std::vector<BSTM>{Probe(), Gain(2, 1), Gain(3, 1)}));
        EXPECT_FALSE(h.Awaiting());
    }
}

// USB and network input arrives on the GUI thread: with nothing in the worker's hands it is handed to the
// owner before the delivery returns, and the next frame is still written by the worker.
TEST(TransportQueue, InputOnTheGuiThreadReachesTheOwnerAtOnceAndTheWorkerStillWrites) {
    for (Kind kind : {Kind::Usb, Kind::Net}) {
        TransportHarness h(kind);
        h.Suspend(true);
        h.Queue(Probe());
        h.Queue(Gain(2, 1));
        const int offWorker = LLink::PortWritesOffWorker();
        const BSTM ack = Ack();
        if (h.usb)
            h.usb->DeliverInput(ack.data(), static_cast<uint32_t>(ack.size()));
        else
            h.net->DeliverInput(ack.data(), static_cast<uint32_t>(ack.size()));
        ASSERT_EQ(h.owner.frames.size(), 1u);
        EXPECT_EQ(h.owner.frames[0].frame, ack);
        h.clock.Settle();
        EXPECT_EQ(Frames(h.Writes()), (std::vector<BSTM>{Probe(), Gain(2, 1)}));
        EXPECT_EQ(LLink::PortWritesOffWorker(), offWorker);
        EXPECT_EQ(h.owner.guiThreadWrites.load(), 0);
        EXPECT_FALSE(h.owner.offGuiThread);
    }
}

// What the GUI thread does with its input keeps the order the worker gives: a link event already on its
// way comes first, input that arrives while a frame is being handled (from a nested message loop) waits
// for that handler, and a handler that destroys the transport ends the delivery.
TEST(TransportQueue, InputHandledOnTheGuiThreadKeepsTheWorkersOrder) {
    for (Kind kind : {Kind::Usb, Kind::Net}) {
        auto deliver = [](TransportHarness& h, const BSTM& bytes) {
            if (h.usb)
                h.usb->DeliverInput(bytes.data(), static_cast<uint32_t>(bytes.size()));
            else
                h.net->DeliverInput(bytes.data(), static_cast<uint32_t>(bytes.size()));
        };
        const BSTM ack0 = LCmd::ToFrame(CM_MCS_CMD(1, MCS_ACK, 0));
        const BSTM ack1 = LCmd::ToFrame(CM_MCS_CMD(1, MCS_ACK, 1));

        TransportHarness e(kind);
        e.Suspend(true);
        e.Queue(Probe());
        e.link->Notify(LINK_NO_REPLY, 7); // posted, not yet served
        size_t eventsBeforeFrame = 99;
        e.owner.onFrame = [&](const BSTM&) { eventsBeforeFrame = e.owner.events.size(); };
        deliver(e, ack0);
        e.clock.Settle();
        ASSERT_EQ(e.owner.frames.size(), 1u);
        EXPECT_EQ(eventsBeforeFrame, 1u);

        TransportHarness n(kind);
        n.Suspend(true);
        n.Queue(Probe());
        n.Queue(Gain(2, 1));
        n.Queue(Gain(3, 1));
        bool inHandler = false, nested = false;
        n.owner.onFrame = [&](const BSTM&) {
            nested = nested || inHandler;
            if (n.owner.frames.size() == 1) {
                inHandler = true;
                deliver(n, ack1);
                n.clock.Settle();
                inHandler = false;
            }
        };
        deliver(n, ack0);
        n.clock.Settle();
        EXPECT_FALSE(nested);
        ASSERT_EQ(n.owner.frames.size(), 2u);
        EXPECT_EQ(n.owner.frames[1].frame, ack1);
        EXPECT_EQ(Frames(n.Writes()), (std::vector<BSTM>{Probe(), Gain(2, 1), Gain(3, 1)}));

        TransportHarness d(kind);
        d.Suspend(true);
        d.Queue(Probe());
        d.owner.onFrame = [&](const BSTM&) { d.Destroy(); };
        BSTM both = ack0;
        both.insert(both.end(), ack1.begin(), ack1.end());
        deliver(d, both);
        EXPECT_EQ(d.owner.frames.size(), 1u);
        EXPECT_EQ(d.link, nullptr);
    }
}

TEST(TransportQueue, SerialFrameLogLinesArrivePostedOnTheGuiThread) {
    TransportHarness h(Kind::Serial);
    h.Suspend(true);
    h.owner.FrameLogShown = true;
    h.Queue(LCmd::ToFrame(CM_MCS_CMD(1, MCS_PROBE)));
    h.Queue(Gain(2, 0x1234));
    h.Receive(Ack());
    h.Receive(Ack());
    EXPECT_FALSE(h.owner.offGuiThread);
    ASSERT_EQ(h.owner.logs.size(), 4u);
    EXPECT_EQ(h.owner.logs[0], "COM W 10 02 00 01 01 10 10 03 11 ");
    EXPECT_EQ(h.owner.logs[1], "COM R 10 02 00 01 01 01 10 03 00 ");
    const BSTM g = Gain(2, 0x1234);
    EXPECT_EQ(h.owner.logs[2], FrameLogLine("COM W ", g.data(), g.size()));
    EXPECT_EQ(h.owner.logs[2].substr(0, 33), "COM W 10 02 00 01 04 34 02 34 12 ");
    EXPECT_EQ(h.owner.logs[3], h.owner.logs[1]);
    h.owner.FrameLogShown = false;
    h.Queue(Gain(2, 1));
    h.Receive(Ack());
    EXPECT_EQ(h.owner.logs.size(), 4u);
}
