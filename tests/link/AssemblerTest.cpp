// The frame assembler of every transport: what it takes as a frame and what it drops.
#include <gtest/gtest.h>

#include <random>

#include "tests/link/TransportHarness.h"

using Kind = LLink::Kind;

namespace {

BSTM Cat(std::initializer_list<BSTM> parts) {
    BSTM out;
    for (const BSTM& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

BSTM Reply(uint8_t b) {
    return LCmd::ToFrame(CM_MCS_CMD(1, MCS_ACK, b));
}

} // namespace

TEST(Assembler, FramesFromTheByteStreamOnEveryTransport) {
    // A length byte of 0 announces no command code: that "frame" is dropped and the assembler looks for
    // the next 10 02.
    const BSTM zeroLen = {0x10, 0x02, 0x00, 0x01, 0x00, 0x10, 0x03, 0x00};
    const BSTM r2 = Reply(2);
    const BSTM big = LCmd::ToFrame(CM_MCS_CMD(1, MCS_ACK, 0x10, 0x02)); // start bytes inside the payload
    const struct {
        const char* what;
        std::vector<BSTM> reads;
        std::vector<BSTM> frames;
    } cases[] = {
        {"bytes before 10 02 dropped", {Cat({{0x55, 0x03, 0x02, 0x99, 0x03}, Reply(1)})}, {Reply(1)}},
        {"after a 10, bytes up to the 02 dropped",
         {{0x10, 0x99, 0x77, 0x02, 0x00, 0x01, 0x02, 0x01, 0x05, 0x10, 0x03, 0x00}},
         {{0x10, 0x02, 0x00, 0x01, 0x02, 0x01, 0x05, 0x10, 0x03, 0x00}}},
        {"a frame split over several reads",
         {BSTM(r2.begin(), r2.begin() + 3), BSTM(r2.begin() + 3, r2.begin() + 7),
          BSTM(r2.begin() + 7, r2.end())},
         {r2}},
        {"two frames in one read", {Cat({Reply(3), Reply(4)})}, {Reply(3), Reply(4)}},
        {"length byte 0 dropped, next frame found", {Cat({zeroLen, Reply(5)})}, {Reply(5)}},
        {"length byte 0 followed at once by a frame",
         {Cat({BSTM(zeroLen.begin(), zeroLen.begin() + 5), Reply(6)})},
         {Reply(6)}},
        {"start bytes inside a payload are data", {big}, {big}},
    };
    for (Kind kind : {Kind::Serial, Kind::Usb, Kind::Net}) {
        for (const auto& c : cases) {
            TransportHarness h(kind);
            h.Suspend(true);
            h.link->SetTimeout(100000);
            h.Queue(Probe()); // switches USB and network to framed mode
            // Keep one reply awaited for every frame expected.
            for (size_t i = 1; i < c.frames.size(); ++i)
                h.Queue(LCmd::ToFrame(CM_MCS_CMD(1, MCS_LOCK_STATUS)));
            for (const BSTM& r : c.reads)
                h.Receive(r);
            std::vector<BSTM> got;
            for (const auto& f : h.owner.frames)
                got.push_back(f.frame);
            EXPECT_EQ(got, c.frames) << c.what << " on " << static_cast<int>(kind);
        }
    }
}

TEST(Assembler, UsbAndNetworkTakeFixedBlocksUntilTheFirstQueuedFrame) {
    for (Kind kind : {Kind::Usb, Kind::Net}) {
        TransportHarness h(kind);
        h.Suspend(true);
        BSTM block(64);
        for (size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<uint8_t>(i);
        h.Receive(Cat({block, {0xAA, 0xBB}}));
        ASSERT_EQ(h.owner.frames.size(), 1u);
        EXPECT_EQ(h.owner.frames[0].frame, block);
        // Plain sends leave the mode alone; the first queued frame switches it.
        if (h.usb)
            h.usb->SendFrame(Probe());
        else
            h.net->SendFrame(Probe());
        h.clock.Settle();
        h.Receive(BSTM(62, 0x01));
        EXPECT_EQ(h.owner.frames.size(), 2u);
        h.Queue(Probe());
        h.Receive(Cat({{0x01, 0x02}, Reply(1)}));
        ASSERT_EQ(h.owner.frames.size(), 3u);
        EXPECT_EQ(h.owner.frames[2].frame, Reply(1));
    }
}

TEST(Assembler, ArbitraryInputOnlyEverYieldsWellFormedFrames) {
    // Noise, frames and noise inside frames, in reads of any size.
    TransportHarness h(Kind::Usb);
    h.Suspend(true);
    h.link->SetTimeout(1000000);
    h.Queue(Probe());
    std::mt19937 rng(20261210);
    std::uniform_int_distribution<int> byte(0, 255), pick(0, 9), chunk(1, 40);
    BSTM stream;
    size_t clean = 0;
    for (int i = 0; i < 3000; ++i) {
        const int p = pick(rng);
        if (p < 3) {
            stream.push_back(static_cast<uint8_t>(byte(rng)));
        } else if (p < 5) {
            stream.push_back(p == 3 ? 0x10 : 0x02); // stray start bytes
        } else {
            BSTM payload(static_cast<size_t>(byte(rng) % 12));
            for (auto& b : payload)
                b = static_cast<uint8_t>(byte(rng));
            BSTM f = LCmd::ToFrame(LCmd(1, static_cast<uint8_t>(byte(rng))));
            f.insert(f.begin() + 6, payload.begin(), payload.end());
            f[4] = static_cast<uint8_t>(payload.size() + 1);
            if (pick(rng) == 0)
                f[4] = static_cast<uint8_t>(byte(rng)); // a lying length byte
            stream.insert(stream.end(), f.begin(), f.end());
            ++clean;
        }
    }
    for (size_t at = 0; at < stream.size();) {
        const size_t n = std::min(stream.size() - at, static_cast<size_t>(chunk(rng)));
        h.usb->DeliverInput(stream.data() + at, static_cast<uint32_t>(n));
        at += n;
        if (pick(rng) < 3)
            h.clock.Settle();
    }
    h.clock.Settle();
    EXPECT_GT(h.owner.frames.size(), clean / 4);
    for (const auto& f : h.owner.frames) {
        ASSERT_GE(f.frame.size(), kFrameOverhead + 1);
        EXPECT_LE(f.frame.size(), kMaxFrame);
        EXPECT_EQ(f.frame[0], 0x10);
        EXPECT_EQ(f.frame[1], 0x02);
        EXPECT_GE(f.frame[4], 1);
        EXPECT_EQ(f.frame.size(), f.frame[4] + kFrameOverhead);
    }
}

TEST(Assembler, ModeSwitchInsideABlockStartsAfresh) {
    // Half a 64-byte block, then the link turns framed: the frames after it are still found.
    LFrameAssembler a;
    for (int i = 0; i < 30; ++i)
        EXPECT_FALSE(a.Push(1, false));
    const BSTM r = Reply(7);
    int frames = 0;
    for (int n = 0; n < 3; ++n)
        for (uint8_t b : r)
            if (a.Push(b, true)) {
                ++frames;
                EXPECT_EQ(a.Frame(), r);
            }
    EXPECT_EQ(frames, 3);

    // Reset drops a partial frame of an earlier connection.
    for (size_t i = 0; i < 5; ++i)
        a.Push(r[i], true);
    a.Reset();
    int after = 0;
    for (uint8_t b : r)
        after += a.Push(b, true) ? 1 : 0;
    EXPECT_EQ(after, 1);
}
