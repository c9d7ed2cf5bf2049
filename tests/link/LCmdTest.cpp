#include <gtest/gtest.h>

#include "link/LCmd.h"

namespace {

BSTM Frame(const LCmd& cmd) {
    return LCmd::ToFrame(cmd);
}

// Builds the frame the way the unit's documentation lays it out, independently of ToFrame.
BSTM Expected(uint8_t id, uint8_t code, BSTM payload) {
    BSTM f{0x10, 0x02, 0x00, id, static_cast<uint8_t>(payload.size() + 1), code};
    for (uint8_t b : payload)
        f.push_back(b);
    f.push_back(0x10);
    f.push_back(0x03);
    uint8_t x = 0;
    for (uint8_t b : f)
        x ^= b;
    f.push_back(x);
    return f;
}

TEST(LCmdFrame, GoldenFrames) {
    EXPECT_EQ(Frame(CM_MCS_CMD(1, MCS_PROBE)), (BSTM{0x10, 0x02, 0x00, 0x01, 0x01, 0x10, 0x10, 0x03, 0x11}));
    EXPECT_EQ(Frame(CM_MCS_GAIN(1, 0, 280)),
              (BSTM{0x10, 0x02, 0x00, 0x01, 0x04, 0x34, 0x00, 0x18, 0x01, 0x10, 0x03, 0x29}));
}

TEST(LCmdFrame, OneFramePerRecordClass) {
    const uint8_t name14[14] = {'N', 0x10, 0x03, 'm', 'e', 0, 0, 0, 0, 0, 0, 0, 0, 0x10};
    const uint8_t name8[8] = {'O', 'u', 't', 0x10, 0x03, 0, 0, 0};
    const uint8_t pw[4] = {'1', '2', 0x10, 0x03};
    uint8_t data50[50];
    for (int i = 0; i < 50; ++i)
        data50[i] = static_cast<uint8_t>(i == 7 ? 0x10 : i == 8 ? 0x03 : i);
    const uint8_t eeprom[17] = {0x10, 0x03, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

    struct Case {
        const char* what;
        BSTM actual;
        BSTM expected;
    };
    const Case cases[] = {
        {"cmd 0 bytes", Frame(CM_MCS_CMD(3, MCS_IDENTITY)), Expected(3, 19, {})},
        {"cmd 1 byte", Frame(CM_MCS_CMD(3, MCS_READ_PARAM_BLOCK, 0x10)), Expected(3, 39, {0x10})},
        {"cmd 2 bytes", Frame(CM_MCS_CMD(3, MCS_LINK, 2, 0x03)), Expected(3, 59, {2, 0x03})},
        {"mcu reset", Frame(CM_MCS_MCU_RESET(1)), Expected(1, 4, {})},
        {"delay unit", Frame(CM_MCS_DELAYUNIT(1, 2)), Expected(1, 21, {2})},
        {"read eeprom", Frame(CM_MCS_READ_EEPROM(1, 0x0310, 18)), Expected(1, 25, {0x10, 0x03, 18})},
        {"preset name", Frame(CM_MCS_PRESETNAME(1, name14)), Expected(1, 38, BSTM(name14, name14 + 14))},
        {"pass submit", Frame(CM_MCS_PASS_SUBMIT(1, 0, pw)), Expected(1, 45, {0, '1', '2', 0x10, 0x03})},
        {"set lock", Frame(CM_MCS_SET_LOCK(1, pw)), Expected(1, 47, {'1', '2', 0x10, 0x03})},
        {"comp", Frame(CM_MCS_COMP(1, 5, CompRecord{15, 49, 499, 12, 0x0310})),
         Expected(1, 48, {5, 15, 0, 49, 0, 0xF3, 0x01, 12, 0, 0x10, 0x03})},
        {"low pass", Frame(CM_MCS_LOW_PASS(1, 2, 300, 20)), Expected(1, 49, {2, 0x2C, 0x01, 20})},
        {"high pass", Frame(CM_MCS_HIGH_PASS(1, 1, 0x0310, 0)), Expected(1, 50, {1, 0x10, 0x03, 0})},
        {"peq", Frame(CM_MCS_PEQ(1, 3, 8, PeqBand{240, 285, 100, 8}, 1)),
         Expected(1, 51, {3, 8, 0xF0, 0, 0x1D, 0x01, 100, 8, 1})},
        {"gain", Frame(CM_MCS_GAIN(7, 5, 400)), Expected(7, 52, {5, 0x90, 0x01})},
        {"mute", Frame(CM_MCS_MUTE(1, 4, 1)), Expected(1, 53, {4, 1})},
        {"polarity any non-zero is 1", Frame(CM_MCS_POLARITY(1, 0, 0x80)), Expected(1, 54, {0, 1})},
        {"polarity 0", Frame(CM_MCS_POLARITY(1, 0, 0)), Expected(1, 54, {0, 0})},
        {"delay", Frame(CM_MCS_DELAY(1, 2, 65280)), Expected(1, 56, {2, 0x00, 0xFF})},
        {"work mode", Frame(CM_MCS_WORK_MODE(1, 3, 30)), Expected(1, 57, {3, 30})},
        {"matrix", Frame(CM_MCS_MATRIX(1, 4, 3)), Expected(1, 58, {4, 3})},
        {"channel name", Frame(CM_MCS_CHANNEL_NAME(1, 2, name8)),
         Expected(1, 61, {2, 'O', 'u', 't', 0x10, 0x03, 0, 0, 0})},
        {"gate", Frame(CM_MCS_GATE(1, 1, GateRecord{0, 99, 0x1003, 180})),
         Expected(1, 62, {1, 0, 0, 99, 0, 0x03, 0x10, 180, 0})},
        {"limit", Frame(CM_MCS_LIMIT(1, 2, LimitRecord{49, 499, 3, 220})),
         Expected(1, 63, {2, 49, 0, 0xF3, 0x01, 3, 0, 220, 0})},
        {"mix", Frame(CM_MCS_MIX(1, 5, 1, 280)), Expected(1, 65, {5, 1, 0x18, 0x01})},
        {"geq", Frame(CM_MCS_GEQ(1, 0, 30, 120)), Expected(1, 72, {0, 30, 120, 0})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.actual, c.expected) << c.what;

    // The two long records: sizes and where their data lands.
    BSTM w = Frame(CM_MCS_WRITE_EEPROM(1, 1, 17, eeprom));
    ASSERT_EQ(w.size(), 20u + 9u);
    EXPECT_EQ(w[4], 21);
    EXPECT_EQ((BSTM(w.begin() + 6, w.begin() + 9)), (BSTM{1, 0, 17}));
    EXPECT_EQ((BSTM(w.begin() + 9, w.begin() + 26)), BSTM(eeprom, eeprom + 17));

    BSTM d = Frame(CM_MCS_DOWNLOAD(1, 19, 14, 50, data50));
    ASSERT_EQ(d.size(), 52u + 9u);
    EXPECT_EQ(d[4], 53);
    EXPECT_EQ(d[5], 37);
    EXPECT_EQ(d[6], 14); // block first
    EXPECT_EQ(d[7], 19); // then the preset
    EXPECT_EQ((BSTM(d.begin() + 8, d.begin() + 58)), BSTM(data50, data50 + 50));
}

TEST(LCmdFrame, ParseDelimitedReply) {
    // A reply from device 5 whose receiver byte is 0: the ID comes from the sender byte.
    BSTM reply = Expected(0, 36, {3, 0x10, 0x03, 0x10});
    reply[2] = 5;
    reply.back() ^= 5;
    LCmd r(reply);
    EXPECT_EQ(r.Id(), 5);
    EXPECT_EQ(r.Code(), 36);
    EXPECT_EQ(r.Payload(), (BSTM{3, 0x10, 0x03, 0x10}));

    // The check byte is not verified.
    reply.back() ^= 0xFF;
    EXPECT_EQ(LCmd(reply).Id(), 5);
    EXPECT_EQ(LCmd(reply).Payload(), (BSTM{3, 0x10, 0x03, 0x10}));

    CM_MCS_CMD probe(9, MCS_PROBE);
    LCmd back(LCmd::ToFrame(probe));
    EXPECT_EQ(back.Code(), MCS_PROBE);
    EXPECT_TRUE(back.Payload().empty());
}

TEST(LCmdFrame, ParseUndelimitedFrameGivesIdZero) {
    BSTM frame = Expected(1, 20, {7, 8});
    frame[frame.size() - 2] = 0x04; // ETX damaged
    LCmd r(frame);
    EXPECT_EQ(r.Id(), 0);
    EXPECT_EQ(r.Code(), 0x10); // byte 0
    EXPECT_EQ(r.Payload(), (BSTM{7, 8}));
}

} // namespace
