#include <gtest/gtest.h>

#include <string>

#include "tests/sim/SimUnit.h"

namespace {

using kv::sim::Bytes;
using kv::sim::Frame;
using kv::sim::SimUnit;
namespace code = kv::sim::code;

// Sends one command to the unit and returns the reply frames it sent at once.
std::vector<Frame> Ask(SimUnit& sim, std::uint8_t cmd, const Bytes& payload = {}, std::uint8_t id = 1) {
    sim.Feed(kv::sim::CommandFrame(id, cmd, payload));
    kv::sim::FrameAssembler assembler;
    std::vector<Frame> out;
    for (const Bytes& chunk : sim.TakeSent())
        for (const Bytes& f : assembler.Push(chunk))
            out.push_back(*kv::sim::ParseFrame(f));
    return out;
}

// The one reply to a command; fails the test when there is not exactly one.
Frame Reply(SimUnit& sim, std::uint8_t cmd, const Bytes& payload = {}) {
    std::vector<Frame> r = Ask(sim, cmd, payload);
    EXPECT_EQ(r.size(), 1u) << "command " << int(cmd);
    return r.empty() ? Frame{} : r.front();
}

Bytes Word(unsigned v) {
    return {static_cast<std::uint8_t>(v & 0xFF), static_cast<std::uint8_t>(v >> 8)};
}
Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The 750 bytes that pieces 0..14 carry.
Bytes ReadBack(SimUnit& sim, std::uint8_t request, std::uint8_t replyCode) {
    Bytes dump;
    for (int piece = 0; piece < 15; ++piece) {
        Frame f = Reply(sim, request, {static_cast<std::uint8_t>(piece)});
        EXPECT_EQ(f.code, replyCode);
        EXPECT_EQ(f.payload.size(), 51u);
        if (f.payload.size() != 51u)
            return dump;
        EXPECT_EQ(f.payload[0], piece);
        dump.insert(dump.end(), f.payload.begin() + 1, f.payload.end());
    }
    return dump;
}

unsigned WordAt(const Bytes& d, std::size_t at) {
    return d[at] | (d[at + 1] << 8);
}

TEST(SimUnit, ProbeIdentityAndLockStatusFrames) {
    SimUnit sim;
    // The probe as the editor frames it, and the unit's answer under its own ID.
    sim.Feed(Bytes{0x10, 0x02, 0x00, 0x01, 0x01, 0x10, 0x10, 0x03, 0x11});
    std::vector<Bytes> sent = sim.TakeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], (Bytes{0x10, 0x02, 0x01, 0x00, 0x01, 0x10, 0x10, 0x03, 0x11}));

    Frame id = Reply(sim, code::Identity);
    EXPECT_EQ(id.code, code::Identity);
    EXPECT_TRUE(id.checkOk);
    EXPECT_EQ(std::string(id.payload.begin(), id.payload.end()).substr(0, 11), "Tirnel V010");

    Frame lock = Reply(sim, code::LockStatus);
    ASSERT_EQ(lock.payload.size(), 6u);
    EXPECT_EQ(lock.payload[5], 0);

    EXPECT_EQ(Reply(sim, code::KeepAlive).code, code::Ack);
    EXPECT_TRUE(Ask(sim, code::Release).empty());
    EXPECT_EQ(sim.ReleaseCount(), 1);
}

TEST(SimUnit, AnswersOnlyItsOwnId) {
    SimUnit sim;
    sim.SetDeviceId(7);
    EXPECT_TRUE(Ask(sim, code::Probe, {}, 1).empty());
    std::vector<Frame> r = Ask(sim, code::Probe, {}, 7);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].source, 7);
    EXPECT_EQ(r[0].dest, 0);
    EXPECT_EQ(sim.ReceivedCodes(), (std::vector<std::uint8_t>{code::Probe}));
}

TEST(SimUnit, ReadBackReproducesTheImageAtItsOffsets) {
    SimUnit sim;
    Bytes dump = ReadBack(sim, code::ReadParamBlock, code::ParamBlockReply);
    ASSERT_EQ(dump.size(), 750u);
    EXPECT_EQ(std::string(dump.begin() + 2, dump.begin() + 16), "Default Preset");
    EXPECT_EQ(std::string(dump.begin() + 156, dump.begin() + 159), "InB");
    EXPECT_EQ(std::string(dump.begin() + 596, dump.begin() + 600), "Out4");
    EXPECT_EQ(WordAt(dump, 16 + 132), 280u);             // InA gain
    EXPECT_EQ(WordAt(dump, 16 + 78 + 2), 41u);           // InA PEQ band 1 frequency
    EXPECT_EQ(WordAt(dump, 296 + 20 + 8 * 6 + 2), 285u); // Out1 PEQ band 9 frequency
    EXPECT_EQ(WordAt(dump, 396 + 74 + 8), 220u);         // Out2 compressor threshold
    EXPECT_EQ(WordAt(dump, 596 + 98), 8u);               // Out4 link mask
    EXPECT_EQ(WordAt(dump, 496 + 8), 1u);                // Out3 source mask

    // Each record lands where the layout puts it (offsets written out, not taken from the simulator).
    struct Case {
        std::uint8_t cmd;
        Bytes payload;
        std::size_t at;
        unsigned word;
    } cases[] = {
        {code::Gain, Cat({0}, Word(300)), 148, 300},
        {code::Delay, Cat({5}, Word(960)), 692, 960},
        {code::Peq, Cat(Cat({3, 3}, Word(130)), Cat(Word(150), {20, 2, 1})), 396 + 20 + 18, 130},
        {code::Geq, Cat({1, 30}, Word(100)), 156 + 16 + 60, 100},
        {code::Gate, Cat(Cat({1}, Word(5)), Cat(Word(6), Cat(Word(7), Word(8)))), 156 + 8 + 6, 8},
        {code::Limit, Cat(Cat({4}, Word(1)), Cat(Word(2), Cat(Word(3), Word(200)))), 496 + 84 + 6, 200},
        {code::HighPass, Cat({2}, Cat(Word(40), {3})), 296 + 14, 40},
        {code::Mix, Cat({3, 1}, Word(100)), 396 + 12, 100},
        {code::Matrix, {4, 3}, 496 + 8, 3},
        {code::Mute, {3, 1}, 698, 2},
        {code::EqBypass, {1, 1}, 718, 2},
        {code::GeqBypass, {0, 1}, 722, 1},
        {code::WorkMode, {3, 12}, 714, 12},
        {code::DelayUnit, {2}, 716, 2},
        {code::Link, {2, 0x0F}, 296 + 98, 0x0F},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Reply(sim, c.cmd, c.payload).code, code::Ack) << int(c.cmd);
        EXPECT_EQ(sim.Word(c.at), c.word) << int(c.cmd);
    }
    EXPECT_EQ(sim.Word(700 + 2 * 3), 1u << 3); // band 3 of Out2 bypassed
    Reply(sim, code::ChannelName, {2, 'M', 'a', 'i', 'n', 0, 0, 0, 0});
    Reply(sim, code::PresetName, Bytes{'L', 'i', 'v', 'e', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '});

    dump = ReadBack(sim, code::ReadParamBlock, code::ParamBlockReply);
    const kv::sim::Dump current = sim.Current();
    EXPECT_EQ(dump, Bytes(current.begin(), current.end()));
    EXPECT_EQ(std::string(dump.begin() + 296, dump.begin() + 300), "Main");
    EXPECT_EQ(std::string(dump.begin() + 2, dump.begin() + 6), "Live");
    // Out1 is now linked with all outputs: a mute of Out1 reaches every output.
    Reply(sim, code::Mute, {2, 1});
    EXPECT_EQ(sim.Word(698), 0x0Fu);
}

TEST(SimUnit, LinkedInputsTakeTheEditOfEither) {
    SimUnit sim;
    Reply(sim, code::Link, {0, 3});
    Reply(sim, code::Gain, Cat({0}, Word(310)));
    EXPECT_EQ(sim.Word(148), 310u);
    EXPECT_EQ(sim.Word(156 + 132), 310u);
    Reply(sim, code::Gain, Cat({1}, Word(250))); // InB still links only itself
    EXPECT_EQ(sim.Word(148), 310u);
    EXPECT_EQ(sim.Word(156 + 132), 250u);
    // As a member (mask 0) InB's edit reaches its master's whole group.
    Reply(sim, code::Link, {1, 0});
    Reply(sim, code::Gain, Cat({1}, Word(200)));
    EXPECT_EQ(sim.Word(148), 200u);
    EXPECT_EQ(sim.Word(156 + 132), 200u);
}

TEST(SimUnit, BadCommandsAreRefusedWithoutTouchingTheImage) {
    SimUnit sim;
    const kv::sim::Dump before = sim.Current();
    const std::vector<std::pair<std::uint8_t, Bytes>> bad = {
        {code::Gain, {7, 0, 1}},                  // no channel 7
        {code::Gain, {0, 1}},                     // short
        {code::Peq, {0, 8, 0, 0, 0, 0, 0, 0, 0}}, // inputs have bands 0..7
        {code::Comp, Cat({1}, Bytes(10, 0))},     // compressor on an input
        {code::Geq, Cat({0, 31}, Word(1))},       // no band 31
        {code::CopyChannel, {0, 2}},              // across sides
        {code::Store, {0}},                       // the factory preset cannot be stored
        {code::Download, Cat({15, 0}, Bytes(50, 1))},
        {2, {}}, // unknown code
    };
    for (const auto& [cmd, payload] : bad)
        EXPECT_TRUE(Ask(sim, cmd, payload).empty()) << int(cmd);
    EXPECT_EQ(sim.RejectedCount(), static_cast<int>(bad.size()));
    EXPECT_EQ(sim.Current(), before);
    for (int p = 1; p <= 20; ++p)
        EXPECT_FALSE(sim.SlotUsed(p));
}

TEST(SimUnit, StoreRecallAndFactoryDefault) {
    SimUnit sim;
    const Bytes name{'V', 'o', 'c', 'a', 'l', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    Reply(sim, code::Gain, Cat({0}, Word(333)));
    EXPECT_EQ(Reply(sim, code::PresetName, name).code, code::Ack);
    EXPECT_EQ(Reply(sim, code::Store, {3}).code, code::Ack);
    EXPECT_TRUE(sim.SlotUsed(3));

    Frame flags = Reply(sim, code::ReadParams);
    ASSERT_EQ(flags.payload.size(), 20u);
    for (int n = 0; n < 20; ++n)
        EXPECT_EQ(flags.payload[n], n == 2 ? 0xFF : 0x00) << n;
    EXPECT_EQ(Reply(sim, code::CurrentPreset).payload, Bytes{3});
    Frame nameReply = Reply(sim, code::PresetNameOf, {2});
    EXPECT_EQ(nameReply.payload, Cat({2}, name));
    EXPECT_EQ(Reply(sim, code::PresetNameOf, {0}).payload,
              Cat({0}, Bytes{'D', 'e', 'f', 'a', 'u', 'l', 't', ' ', 'P', 'r', 'e', 's', 'e', 't'}));

    // Reading the stored preset gives what was stored, slot header included.
    EXPECT_EQ(Reply(sim, code::ReadPreset, {3}).code, code::Ack);
    Bytes stored = ReadBack(sim, code::ReadPresetBlock, code::ReadPresetBlock);
    ASSERT_EQ(stored.size(), 750u);
    EXPECT_EQ(stored[0], 0xFF);
    EXPECT_EQ(WordAt(stored, 148), 333u);

    Reply(sim, code::Gain, Cat({0}, Word(100)));
    EXPECT_EQ(Reply(sim, code::Recall, {3}).code, code::Ack);
    EXPECT_EQ(sim.Word(148), 333u);
    EXPECT_EQ(sim.CurrentPreset(), 3);

    // An empty slot is acknowledged and changes nothing; the factory preset restores the defaults.
    EXPECT_EQ(Reply(sim, code::Recall, {9}).code, code::Ack);
    EXPECT_EQ(sim.CurrentPreset(), 3);
    EXPECT_EQ(Reply(sim, code::Recall, {0}).code, code::Ack);
    EXPECT_EQ(sim.Word(148), 280u);
    EXPECT_EQ(sim.CurrentPreset(), 0);

    Reply(sim, code::Gain, Cat({0}, Word(100)));
    EXPECT_EQ(Reply(sim, code::FactoryDefault).code, code::Ack);
    EXPECT_EQ(sim.Current(), kv::sim::DefaultDump());
    EXPECT_FALSE(sim.SlotUsed(3));
    EXPECT_EQ(Reply(sim, code::ReadParams).payload, Bytes(20, 0));
}

TEST(SimUnit, DownloadStoresPresetsAndUnitInfo) {
    SimUnit sim;
    EXPECT_EQ(Reply(sim, code::FactoryDefault).code, code::Ack);
    Bytes info(17);
    for (std::size_t i = 0; i < info.size(); ++i)
        info[i] = static_cast<std::uint8_t>(0x30 + i);
    EXPECT_EQ(Reply(sim, code::WriteEeprom, Cat(Cat(Word(1), {17}), info)).code, code::Ack);

    kv::sim::Dump preset = kv::sim::DefaultDump();
    preset[0] = 0xFF;
    kv::sim::PutWord(preset, 596 + 92, 123); // Out4 gain
    for (int b = 0; b < 15; ++b) {
        Bytes block(preset.begin() + 50 * b, preset.begin() + 50 * (b + 1));
        Frame r = Reply(sim, code::Download, Cat({static_cast<std::uint8_t>(b), 1}, block));
        EXPECT_EQ(r.code, code::Download);
        EXPECT_EQ(r.payload, Bytes{static_cast<std::uint8_t>(b)});
    }
    EXPECT_TRUE(sim.SlotUsed(2));
    EXPECT_EQ(sim.Stored(2), preset);
    EXPECT_EQ(Reply(sim, code::ReadParams).payload[1], 0xFF);

    Frame eeprom = Reply(sim, code::ReadEeprom, Cat(Word(0), {18}));
    ASSERT_EQ(eeprom.payload.size(), 18u);
    EXPECT_EQ(Bytes(eeprom.payload.begin() + 1, eeprom.payload.end()), info);
    EXPECT_EQ(eeprom.payload[0], sim.UnitInfo()[0]); // byte 0 was not written

    EXPECT_TRUE(Ask(sim, code::McuReset).empty());
    EXPECT_EQ(sim.ResetCount(), 1);
    EXPECT_TRUE(sim.SlotUsed(2)); // a restart keeps the presets
}

TEST(SimUnit, PanelLockAndPassword) {
    SimUnit sim;
    EXPECT_EQ(Reply(sim, code::SetLock, {'1', '2', '3', '4'}).code, code::Ack);
    EXPECT_TRUE(sim.PanelLocked());
    EXPECT_EQ(Reply(sim, code::LockStatus).payload[5], 1);
    EXPECT_EQ(Reply(sim, code::PassSubmit, {0, '8', '0', '5', '2'}).payload, (Bytes{0, 0}));
    EXPECT_EQ(Reply(sim, code::PassSubmit, {1, '1', '2', '3', '4'}).payload, (Bytes{1, 0})); // no lock 1
    EXPECT_TRUE(sim.PanelLocked());
    EXPECT_EQ(Reply(sim, code::PassSubmit, {0, '1', '2', '3', '4'}).payload, (Bytes{0, 1}));
    EXPECT_EQ(Reply(sim, code::LockStatus).payload[5], 0);
}

TEST(SimUnit, LevelsReply) {
    SimUnit sim;
    EXPECT_EQ(SimUnit::EncodeLevel(1.0f), (Bytes{0x80, 0x3F, 0x00}));
    Bytes levels(32, 0);
    const Bytes one = SimUnit::EncodeLevel(1.0f);
    std::copy(one.begin(), one.end(), levels.begin() + 12); // value 4, Out1
    levels[30] = 0x01;
    levels[31] = 0x01;
    sim.SetLevels(levels);
    EXPECT_EQ(Reply(sim, code::Levels).payload, levels);
}

TEST(SimUnit, ReplyFaults) {
    SimUnit sim;
    const Bytes probeReply = kv::sim::BuildFrame(1, 0, code::Probe, {});

    sim.DropReplies(1);
    sim.Feed(kv::sim::CommandFrame(1, code::Probe));
    EXPECT_TRUE(sim.TakeSent().empty());
    sim.Feed(kv::sim::CommandFrame(1, code::Probe));
    EXPECT_EQ(sim.TakeSent(), std::vector<Bytes>{probeReply});

    sim.SplitReplies(4);
    sim.Feed(kv::sim::CommandFrame(1, code::Probe));
    std::vector<Bytes> chunks = sim.TakeSent();
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].size(), 4u);
    EXPECT_EQ(chunks[2].size(), 1u);
    EXPECT_EQ(Cat(Cat(chunks[0], chunks[1]), chunks[2]), probeReply);

    sim.GarbleReply(5, 0x01); // the code byte: 16 becomes 17, the check byte stays
    Frame garbled = Reply(sim, code::Probe);
    EXPECT_EQ(garbled.code, 17);
    EXPECT_FALSE(garbled.checkOk);

    sim.AnswerAs(9, 1);
    EXPECT_EQ(Reply(sim, code::Probe).source, 9);
    EXPECT_EQ(Reply(sim, code::Probe).source, 1);

    sim.RepeatReply(2);
    EXPECT_EQ(Ask(sim, code::Probe).size(), 3u);

    // Only the named code is hit; other replies pass.
    sim.DropReplies(1, code::Identity);
    EXPECT_EQ(Ask(sim, code::Probe).size(), 1u);
    EXPECT_TRUE(Ask(sim, code::Identity).empty());

    sim.SetSilent(true);
    EXPECT_TRUE(Ask(sim, code::Probe).empty());
    EXPECT_EQ(sim.ReceivedCodes().back(), code::Probe);
    sim.ClearFaults();
    EXPECT_EQ(Ask(sim, code::Probe).size(), 1u);
}

TEST(SimUnit, DelayedRepliesKeepTheirOrderOnTheVirtualClock) {
    SimUnit sim;
    sim.DelayReplies(100, 1, code::Probe);
    sim.SplitReplies(5, 10, 1, code::Identity);
    sim.Feed(kv::sim::CommandFrame(1, code::Probe));
    sim.Feed(kv::sim::CommandFrame(1, code::Identity));
    EXPECT_TRUE(sim.TakeSent().empty()); // the identity waits behind the delayed probe reply
    sim.AdvanceTime(99);
    EXPECT_TRUE(sim.TakeSent().empty());
    sim.AdvanceTime(1);
    std::vector<Bytes> sent = sim.TakeSent();
    ASSERT_EQ(sent.size(), 2u); // probe reply and the first identity piece
    EXPECT_EQ(sent[0], kv::sim::BuildFrame(1, 0, code::Probe, {}));
    EXPECT_EQ(sent[1].size(), 5u);
    sim.AdvanceTime(10);
    EXPECT_EQ(sim.TakeSent().size(), 1u);
    EXPECT_TRUE(sim.HasPending());
    sim.AdvanceTime(1000);
    EXPECT_FALSE(sim.HasPending());
}

TEST(FrameAssembler, ResynchronisesOnNoiseAndEmptyLength) {
    kv::sim::FrameAssembler a;
    const Bytes probe = kv::sim::CommandFrame(1, code::Probe);
    // Noise, a stray DLE, a header with length 0, then a frame cut in two.
    Bytes stream{0x00, 0x10, 0x55, 0x10, 0x10, 0x02, 0x00, 0x01, 0x00};
    stream.insert(stream.end(), probe.begin(), probe.begin() + 4);
    EXPECT_TRUE(a.Push(stream).empty());
    std::vector<Bytes> frames = a.Push(Bytes(probe.begin() + 4, probe.end()));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], probe);
}

} // namespace
