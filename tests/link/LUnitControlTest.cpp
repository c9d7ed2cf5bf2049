// The unit model: its image layout and defaults, the setters across link masks, the channel copy and
// the stores fed by the unit's replies. Offsets here are written out from the unit's format, not taken
// from the model's own constants, so that the two check each other.

#include <algorithm>
#include <array>
#include <climits>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "link/LUnitControl.h"
#include "tests/link/FakeHost.h"

namespace {

// Record of channel ch: InA 16, InB 156, Out1..Out4 296, 396, 496, 596.
size_t Base(int ch) {
    return ch < 2 ? 16 + 140 * static_cast<size_t>(ch) : 296 + 100 * static_cast<size_t>(ch - 2);
}
size_t RecordSize(int ch) {
    return ch < 2 ? 140 : 100;
}

uint16_t W(const img::Image& im, size_t off) {
    return static_cast<uint16_t>(im[off] | (im[off + 1] << 8));
}

BSTM Bytes(const img::Image& im, size_t off, size_t n) {
    return BSTM(im.begin() + static_cast<std::ptrdiff_t>(off),
                im.begin() + static_cast<std::ptrdiff_t>(off + n));
}

// Offsets at which two images differ.
std::vector<size_t> Diff(const img::Image& a, const img::Image& b) {
    std::vector<size_t> out;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            out.push_back(i);
    return out;
}

std::string Offsets(const std::vector<size_t>& v) {
    std::string s;
    for (size_t o : v)
        s += std::to_string(o) + " ";
    return s;
}

BSTM Pattern(size_t n, uint8_t seed) {
    BSTM b(n);
    for (size_t k = 0; k < n; ++k)
        b[k] = static_cast<uint8_t>(k * 7 + seed);
    return b;
}

// Piece p of a 750-byte dump as the unit sends it: the piece number, then its 50 bytes.
BSTM Piece(int p, const BSTM& dump) {
    BSTM out(51);
    out[0] = static_cast<uint8_t>(p);
    std::copy_n(dump.begin() + 50 * p, 50, out.begin() + 1);
    return out;
}

std::array<uint8_t, 8> Name8(std::string_view s) {
    std::array<uint8_t, 8> n{};
    for (size_t i = 0; i < s.size() && i < 8; ++i)
        n[i] = static_cast<uint8_t>(s[i]);
    return n;
}

TEST(LUnitControlImage, FreshModelHoldsTheDefaultImage) {
    img::Image want{};
    auto put = [&](size_t off, uint16_t w) {
        want[off] = static_cast<uint8_t>(w & 0xFF);
        want[off + 1] = static_cast<uint8_t>(w >> 8);
    };
    auto text = [&](size_t off, std::string_view s) {
        for (size_t i = 0; i < s.size(); ++i)
            want[off + i] = static_cast<uint8_t>(s[i]);
    };
    text(2, "Default Preset");

    const uint16_t inPeq[] = {41, 71, 101, 140, 170, 200, 240, 270};
    const char* inNames[] = {"InA", "InB"};
    for (int i = 0; i < 2; ++i) {
        const size_t r = i == 0 ? 16 : 156;
        text(r, inNames[i]);
        put(r + 8, 0);   // gate attack
        put(r + 10, 99); // release
        put(r + 12, 99); // hold
        put(r + 14, 0);  // threshold
        for (size_t b = 0; b < 31; ++b)
            put(r + 16 + 2 * b, 120);
        for (size_t b = 0; b < 8; ++b) {
            put(r + 78 + 6 * b, 120);
            put(r + 80 + 6 * b, inPeq[b]);
            want[r + 82 + 6 * b] = 35;
        }
        put(r + 128, 300); // low-pass index; high-pass 0, both slopes off
        put(r + 132, 280); // gain
        put(r + 138, static_cast<uint16_t>(1 << i));
    }

    const uint16_t outPeq[] = {31, 63, 95, 127, 158, 190, 222, 253, 285};
    const char* outNames[] = {"Out1", "Out2", "Out3", "Out4"};
    const uint16_t sources[] = {1, 2, 1, 2};
    const size_t outBase[] = {296, 396, 496, 596};
    for (int k = 0; k < 4; ++k) {
        const size_t r = outBase[k];
        text(r, outNames[k]);
        put(r + 8, sources[k]);
        put(r + 10, 280);
        put(r + 12, 280);
        put(r + 16, 300);
        for (size_t b = 0; b < 9; ++b) {
            put(r + 20 + 6 * b, 120);
            put(r + 22 + 6 * b, outPeq[b]);
            want[r + 24 + 6 * b] = 35;
        }
        put(r + 76, 49); // compressor: ratio 0, attack 49, release 499, knee 0, threshold 220
        put(r + 78, 499);
        put(r + 82, 220);
        put(r + 84, 49); // limiter: attack 49, release 499, knee 0, threshold 220
        put(r + 86, 499);
        put(r + 90, 220);
        put(r + 92, 280);
        put(r + 98, static_cast<uint16_t>(1 << k));
    }

    FakeHost host;
    LUnitControl m(host);
    EXPECT_TRUE(Diff(m.Image(), want).empty()) << "differs at " << Offsets(Diff(m.Image(), want));
    EXPECT_TRUE(Diff(LUnitControl::DefaultImage(), want).empty());
    EXPECT_TRUE(host.sent.empty());
}

TEST(LUnitControlImage, GettersReadTheirFields) {
    FakeHost host;
    LUnitControl m(host);
    for (int ch = 0; ch < 6; ++ch) {
        EXPECT_EQ(m.GetGain(ch), 280);
        EXPECT_EQ(m.GetLinkMask(ch), ch < 2 ? 1 << ch : 1 << (ch - 2));
        EXPECT_EQ(m.GetFilters(ch), (FilterRecord{0, 300, 0, 0}));
    }
    EXPECT_EQ(m.GetSourceMask(3), 2);
    EXPECT_EQ(m.GetSourceMask(4), 1);
    EXPECT_EQ(m.GetMixLevel(5, 1), 280);
    EXPECT_EQ(m.GetGate(1), (GateRecord{0, 99, 99, 0}));
    EXPECT_EQ(m.GetComp(4), (CompRecord{0, 49, 499, 0, 220}));
    EXPECT_EQ(m.GetLimit(2), (LimitRecord{49, 499, 0, 220}));
    EXPECT_EQ(m.GetPeqBand(1, 7), (PeqBand{120, 270, 35, 0}));
    EXPECT_EQ(m.GetPeqBand(5, 8), (PeqBand{120, 285, 35, 0}));
    EXPECT_EQ(m.GetGeqBand(1, 30), 120);
    const auto name = m.PresetName();
    EXPECT_EQ(std::string(name.begin(), name.end()), "Default Preset");
    EXPECT_EQ(m.GetChannelName(3), Name8("Out2"));

    m.SetDelay(4, 0x1234);
    m.SetPolarity(1, 2);
    m.SetMute(3, true);
    m.SetPeqBand(2, 8, 100, 150, 20, 4, true);
    m.SetPeqBand(0, 0, 200, 7, 9, 1, false);
    m.SetGeqBand(0, 3, 50);
    m.SetEqBypassMask(1, 0x0003);
    m.SetEqBypassMask(4, 0x000C);
    m.SetGeqBypassMask(0x0002);
    m.SetDelayUnit(2);
    const auto& im = m.Image();

    EXPECT_EQ(m.GetDelay(4), 0x1234);
    EXPECT_TRUE(m.GetPolarity(1));
    EXPECT_FALSE(m.GetPolarity(0));
    // Out2's mute is bit 1 of the output mask at 698.
    EXPECT_EQ(W(im, 698), 0x0002);
    EXPECT_TRUE(m.IsMuted(3));
    EXPECT_FALSE(m.IsMuted(2));
    EXPECT_FALSE(m.IsMuted(1));
    // Out1's band-bypass mask is the word at 704.
    EXPECT_EQ(W(im, 704), 0x0100);
    EXPECT_TRUE(m.IsPeqBandBypassed(2, 8));
    EXPECT_FALSE(m.IsPeqBandBypassed(2, 7));
    EXPECT_EQ(m.GetPeqBand(0, 0), (PeqBand{200, 7, 9, 1}));
    // The reset reference is untouched by edits.
    EXPECT_EQ(LUnitControl::GetDefaultPeqBand(0, 0), (PeqBand{120, 41, 35, 0}));
    EXPECT_EQ(m.GetGeqBand(0, 3), 50);
    EXPECT_EQ(LUnitControl::GetDefaultGeqBand(0, 3), 120);
    EXPECT_EQ(W(im, 718), 0x0003);
    EXPECT_EQ(W(im, 720), 0x000C);
    EXPECT_EQ(m.GetEqBypassMask(0), 0x0003);
    EXPECT_EQ(m.GetEqBypassMask(1), 0x0003);
    EXPECT_EQ(m.GetEqBypassMask(2), 0x000C);
    EXPECT_EQ(m.GetEqBypassMask(5), 0x000C);
    EXPECT_EQ(W(im, 722), 0x0002);
    EXPECT_EQ(m.GetGeqBypassMask(), 0x0002);
    EXPECT_EQ(W(im, 716), 2);
    EXPECT_EQ(m.GetDelayUnit(), 2);
}

// Every byte of the image is 0xFF, so a getter that reads inside it returns something other than the
// type's default. A channel, band or input that names nothing of the image gives the default; the
// in-range rows show the fill is really there.
TEST(LUnitControlImage, GettersOutsideTheImageReturnTheDefault) {
    FakeHost host;
    LUnitControl m(host);
    const BSTM dump(750, 0xFF);
    for (int p = 0; p < 15; ++p)
        ASSERT_TRUE(m.DecodeDump(Piece(p, dump)));

    struct GetterCase {
        const char* call;
        std::function<bool(const LUnitControl&)> isDefault;
        bool expectDefault;
    };
    using M = const LUnitControl&;
    const GetterCase cases[] = {
        {"GetGain(0)", [](M u) { return u.GetGain(0) == 0; }, false},
        {"GetGain(-1)", [](M u) { return u.GetGain(-1) == 0; }, true},
        {"GetGain(6)", [](M u) { return u.GetGain(6) == 0; }, true},
        {"GetDelay(6)", [](M u) { return u.GetDelay(6) == 0; }, true},
        {"GetDelay(INT_MIN)", [](M u) { return u.GetDelay(INT_MIN) == 0; }, true},
        {"GetPolarity(-1)", [](M u) { return !u.GetPolarity(-1); }, true},
        {"GetPolarity(7)", [](M u) { return !u.GetPolarity(7); }, true},
        {"IsMuted(5)", [](M u) { return !u.IsMuted(5); }, false},
        {"IsMuted(6)", [](M u) { return !u.IsMuted(6); }, true},
        {"IsMuted(-2)", [](M u) { return !u.IsMuted(-2); }, true},
        {"IsPeqBandBypassed(0, 7)", [](M u) { return !u.IsPeqBandBypassed(0, 7); }, false},
        {"IsPeqBandBypassed(0, 8)", [](M u) { return !u.IsPeqBandBypassed(0, 8); }, true},
        {"IsPeqBandBypassed(2, 9)", [](M u) { return !u.IsPeqBandBypassed(2, 9); }, true},
        {"IsPeqBandBypassed(0, 40)", [](M u) { return !u.IsPeqBandBypassed(0, 40); }, true},
        {"IsPeqBandBypassed(0, -1)", [](M u) { return !u.IsPeqBandBypassed(0, -1); }, true},
        {"IsPeqBandBypassed(6, 0)", [](M u) { return !u.IsPeqBandBypassed(6, 0); }, true},
        {"GetPeqBand(5, 8)", [](M u) { return u.GetPeqBand(5, 8) == PeqBand{}; }, false},
        {"GetPeqBand(5, 20)", [](M u) { return u.GetPeqBand(5, 20) == PeqBand{}; }, true},
        {"GetPeqBand(5, 9)", [](M u) { return u.GetPeqBand(5, 9) == PeqBand{}; }, true},
        {"GetPeqBand(1, 8)", [](M u) { return u.GetPeqBand(1, 8) == PeqBand{}; }, true},
        {"GetPeqBand(0, -1)", [](M u) { return u.GetPeqBand(0, -1) == PeqBand{}; }, true},
        {"GetPeqBand(6, 0)", [](M u) { return u.GetPeqBand(6, 0) == PeqBand{}; }, true},
        {"GetGeqBand(1, 30)", [](M u) { return u.GetGeqBand(1, 30) == 0; }, false},
        {"GetGeqBand(1, 31)", [](M u) { return u.GetGeqBand(1, 31) == 0; }, true},
        {"GetGeqBand(0, -1)", [](M u) { return u.GetGeqBand(0, -1) == 0; }, true},
        {"GetGeqBand(2, 0)", [](M u) { return u.GetGeqBand(2, 0) == 0; }, true},
        {"GetGeqBand(-1, 0)", [](M u) { return u.GetGeqBand(-1, 0) == 0; }, true},
        {"GetDefaultPeqBand(5, 20)", [](M) { return LUnitControl::GetDefaultPeqBand(5, 20) == PeqBand{}; },
         true},
        {"GetDefaultPeqBand(0, 8)", [](M) { return LUnitControl::GetDefaultPeqBand(0, 8) == PeqBand{}; },
         true},
        {"GetDefaultPeqBand(-1, 0)", [](M) { return LUnitControl::GetDefaultPeqBand(-1, 0) == PeqBand{}; },
         true},
        {"GetDefaultGeqBand(0, 31)", [](M) { return LUnitControl::GetDefaultGeqBand(0, 31) == 0; }, true},
        {"GetDefaultGeqBand(6, 0)", [](M) { return LUnitControl::GetDefaultGeqBand(6, 0) == 0; }, true},
        {"GetGate(1)", [](M u) { return u.GetGate(1) == GateRecord{}; }, false},
        {"GetGate(2)", [](M u) { return u.GetGate(2) == GateRecord{}; }, true},
        {"GetGate(-1)", [](M u) { return u.GetGate(-1) == GateRecord{}; }, true},
        {"GetComp(5)", [](M u) { return u.GetComp(5) == CompRecord{}; }, false},
        {"GetComp(1)", [](M u) { return u.GetComp(1) == CompRecord{}; }, true},
        {"GetComp(6)", [](M u) { return u.GetComp(6) == CompRecord{}; }, true},
        {"GetLimit(0)", [](M u) { return u.GetLimit(0) == LimitRecord{}; }, true},
        {"GetLimit(6)", [](M u) { return u.GetLimit(6) == LimitRecord{}; }, true},
        {"GetFilters(6)", [](M u) { return u.GetFilters(6) == FilterRecord{}; }, true},
        {"GetFilters(-1)", [](M u) { return u.GetFilters(-1) == FilterRecord{}; }, true},
        {"GetChannelName(6)", [](M u) { return u.GetChannelName(6) == std::array<uint8_t, 8>{}; }, true},
        {"GetChannelName(-1)", [](M u) { return u.GetChannelName(-1) == std::array<uint8_t, 8>{}; }, true},
        {"GetLinkMask(6)", [](M u) { return u.GetLinkMask(6) == 0; }, true},
        {"GetLinkMask(-1)", [](M u) { return u.GetLinkMask(-1) == 0; }, true},
        {"GetSourceMask(1)", [](M u) { return u.GetSourceMask(1) == 0; }, true},
        {"GetSourceMask(6)", [](M u) { return u.GetSourceMask(6) == 0; }, true},
        {"GetMixLevel(5, 1)", [](M u) { return u.GetMixLevel(5, 1) == 0; }, false},
        {"GetMixLevel(5, 2)", [](M u) { return u.GetMixLevel(5, 2) == 0; }, true},
        {"GetMixLevel(5, -1)", [](M u) { return u.GetMixLevel(5, -1) == 0; }, true},
        {"GetMixLevel(0, 0)", [](M u) { return u.GetMixLevel(0, 0) == 0; }, true},
        {"GetMixLevel(6, 0)", [](M u) { return u.GetMixLevel(6, 0) == 0; }, true},
        {"GetEqBypassMask(6)", [](M u) { return u.GetEqBypassMask(6) == 0; }, true},
        {"GetEqBypassMask(-1)", [](M u) { return u.GetEqBypassMask(-1) == 0; }, true},
        {"IsPresetSlotUsed(20)", [](M u) { return !u.IsPresetSlotUsed(20); }, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.isDefault(m), c.expectDefault) << c.call;
}

// ---- linked setters ----

using FieldProbe = std::function<BSTM(const img::Image&, int)>;

// n bytes of a channel's record, at inOff in an input or outOff in an output.
FieldProbe Field(size_t inOff, size_t outOff, size_t n) {
    return [=](const img::Image& im, int c) { return Bytes(im, Base(c) + (c < 2 ? inOff : outOff), n); };
}

FieldProbe MuteBit() {
    return [](const img::Image& im, int c) {
        const uint16_t mask = W(im, c < 2 ? 696 : 698);
        return BSTM{static_cast<uint8_t>((mask >> (c < 2 ? c : c - 2)) & 1)};
    };
}

// A PEQ band's 6 bytes followed by its bit in the channel's band-bypass word (700 + 2 x ch).
FieldProbe PeqWithBypass(int band) {
    return [=](const img::Image& im, int c) {
        BSTM b = Bytes(im, Base(c) + (c < 2 ? 78 : 20) + 6 * static_cast<size_t>(band), 6);
        b.push_back(static_cast<uint8_t>((W(im, 700 + 2 * static_cast<size_t>(c)) >> band) & 1));
        return b;
    };
}

struct LinkedCase {
    const char* name;
    int ch; // 1 stands for the inputs, 3 for the outputs
    std::function<void(LUnitControl&)> set;
    FieldProbe probe;
    BSTM written; // what the probe reads on every written channel; empty: nothing is written
    uint8_t code;
    BSTM payload;
    bool overlay;
};

struct LinkScenario {
    const char* name;
    std::vector<std::pair<int, uint16_t>> masks;
    std::vector<int> inputsWritten;  // by a setter on InB
    std::vector<int> outputsWritten; // by a setter on Out2
    // The channel each record is addressed to: the group's master (-1: the edited channel).
    int inputMaster = -1, outputMaster = -1;
};

TEST(LUnitControlSetters, WriteEveryLinkedChannelAndSendOneRecord) {
    const FilterRecord filter{0x0105, 999, 3, 9};
    // clang-format off
    const std::vector<LinkedCase> cases = {
        {"gate", 1, [](LUnitControl& m) { m.SetGate(1, {10, 20, 30, 200}); }, Field(8, 0, 8),
         {10, 0, 20, 0, 30, 0, 200, 0}, 62, {1, 10, 0, 20, 0, 30, 0, 200, 0}, false},
        {"GEQ input", 1, [](LUnitControl& m) { m.SetGeqBand(1, 30, 200); }, Field(16 + 60, 0, 2),
         {200, 0}, 72, {1, 30, 200, 0}, true},
        {"GEQ output", 3, [](LUnitControl& m) { m.SetGeqBand(3, 4, 200); },
         [](const img::Image& im, int c) { return Bytes(im, Base(c), RecordSize(c)); },
         {}, 72, {3, 4, 200, 0}, true},
        {"PEQ input", 1, [](LUnitControl& m) { m.SetPeqBand(1, 7, 130, 0x0123, 50, 2, true); },
         PeqWithBypass(7), {130, 0, 0x23, 0x01, 50, 2, 1}, 51, {1, 7, 130, 0, 0x23, 0x01, 50, 2, 1}, true},
        {"PEQ output", 3, [](LUnitControl& m) { m.SetPeqBand(3, 8, 0, 300, 100, 8, true); }, PeqWithBypass(8),
         {0, 0, 0x2C, 0x01, 100, 8, 1}, 51, {3, 8, 0, 0, 0x2C, 0x01, 100, 8, 1}, true},
        {"high-pass input", 1, [&](LUnitControl& m) { m.SetHighPass(1, filter); }, Field(126, 0, 6),
         {0x05, 0x01, 0x2C, 0x01, 3, 0}, 50, {1, 0x05, 0x01, 3}, true},
        {"low-pass input", 1, [&](LUnitControl& m) { m.SetLowPass(1, filter); }, Field(126, 0, 6),
         {0, 0, 0xE7, 0x03, 0, 9}, 49, {1, 0xE7, 0x03, 9}, true},
        {"high-pass output", 3, [&](LUnitControl& m) { m.SetHighPass(3, filter); }, Field(0, 14, 6),
         {0x05, 0x01, 0x2C, 0x01, 3, 0}, 50, {3, 0x05, 0x01, 3}, true},
        {"low-pass output", 3, [&](LUnitControl& m) { m.SetLowPass(3, filter); }, Field(0, 14, 6),
         {0, 0, 0xE7, 0x03, 0, 9}, 49, {3, 0xE7, 0x03, 9}, true},
        {"gain input", 1, [](LUnitControl& m) { m.SetGain(1, 300); }, Field(132, 0, 2),
         {0x2C, 0x01}, 52, {1, 0x2C, 0x01}, false},
        {"gain output", 3, [](LUnitControl& m) { m.SetGain(3, 400); }, Field(0, 92, 2),
         {0x90, 0x01}, 52, {3, 0x90, 0x01}, false},
        {"delay input", 1, [](LUnitControl& m) { m.SetDelay(1, 0x1234); }, Field(136, 0, 2),
         {0x34, 0x12}, 56, {1, 0x34, 0x12}, false},
        {"delay output", 3, [](LUnitControl& m) { m.SetDelay(3, 0xFF00); }, Field(0, 96, 2),
         {0x00, 0xFF}, 56, {3, 0x00, 0xFF}, false},
        {"polarity input", 1, [](LUnitControl& m) { m.SetPolarity(1, 5); }, Field(134, 0, 2),
         {5, 0}, 54, {1, 1}, false},
        {"polarity output", 3, [](LUnitControl& m) { m.SetPolarity(3, 1); }, Field(0, 94, 2),
         {1, 0}, 54, {3, 1}, false},
        {"mute input", 1, [](LUnitControl& m) { m.SetMute(1, true); }, MuteBit(), {1}, 53, {1, 1}, false},
        {"mute output", 3, [](LUnitControl& m) { m.SetMute(3, true); }, MuteBit(), {1}, 53, {3, 1}, false},
        {"compressor", 3, [](LUnitControl& m) { m.SetComp(3, {3, 10, 20, 6, 230}); }, Field(0, 74, 10),
         {3, 0, 10, 0, 20, 0, 6, 0, 230, 0}, 48, {3, 3, 0, 10, 0, 20, 0, 6, 0, 230, 0}, false},
        {"limiter", 3, [](LUnitControl& m) { m.SetLimit(3, {11, 21, 4, 225}); }, Field(0, 84, 8),
         {11, 0, 21, 0, 4, 0, 225, 0}, 63, {3, 11, 0, 21, 0, 4, 0, 225, 0}, false},
    };
    const std::vector<LinkScenario> scenarios = {
        {"no link", {}, {1}, {3}},
        {"whole side linked", {{0, 3}, {1, 3}, {2, 0xF}, {3, 0xF}, {4, 0xF}, {5, 0xF}}, {0, 1}, {2, 3, 4, 5}},
        // A member (mask 0) writes its master's group, as the screen shows it.
        {"member of a group", {{0, 3}, {1, 0}, {2, 0x3}, {3, 0}}, {0, 1}, {2, 3}, 0, 2},
        {"master of later channels", {{3, 0x6}, {4, 0}}, {1}, {3, 4}},
        // A mask that lacks the channel's own bit and no group holding it: the channel alone.
        {"mask without the channel's own bit", {{1, 0x1}, {3, 0x5}}, {1}, {3}},
        {"bits beyond the side", {{1, 0xFE}, {3, 0xFFF2}}, {1}, {3}},
    };
    // clang-format on

    for (const auto& sc : scenarios) {
        for (const auto& tc : cases) {
            for (bool updating : {false, true}) {
                SCOPED_TRACE(std::string(tc.name) + " / " + sc.name + (updating ? " / updating view" : ""));
                FakeHost host;
                host.deviceId = 7;
                LUnitControl m(host);
                for (auto [ch, mask] : sc.masks)
                    m.SetLinkMask(ch, mask);
                host.sent.clear();
                host.updating = updating;
                const img::Image before = m.Image();

                tc.set(m);

                const img::Image& after = m.Image();
                const bool inputs = tc.ch < 2;
                const std::vector<int>& written = inputs ? sc.inputsWritten : sc.outputsWritten;
                for (int c = inputs ? 0 : 2; c < (inputs ? 2 : 6); ++c) {
                    const bool isWritten =
                        !tc.written.empty() && std::find(written.begin(), written.end(), c) != written.end();
                    EXPECT_EQ(tc.probe(after, c), isWritten ? tc.written : tc.probe(before, c))
                        << "channel " << c;
                }
                // The other side is never touched.
                for (int c = inputs ? 2 : 0; c < (inputs ? 6 : 2); ++c)
                    EXPECT_EQ(Bytes(after, Base(c), RecordSize(c)), Bytes(before, Base(c), RecordSize(c)));

                if (updating) {
                    EXPECT_TRUE(host.sent.empty());
                } else {
                    ASSERT_EQ(host.sent.size(), 1u);
                    EXPECT_EQ(host.sent[0].frame[3], 7);
                    EXPECT_EQ(host.sent[0].code(), tc.code);
                    // The record goes to the group's master, so that the unit changes the whole group.
                    std::vector<uint8_t> payload = tc.payload;
                    const int master = inputs ? sc.inputMaster : sc.outputMaster;
                    if (master >= 0)
                        payload[0] = static_cast<uint8_t>(master);
                    EXPECT_EQ(host.sent[0].payload(), payload);
                    EXPECT_FALSE(host.sent[0].force);
                }
                EXPECT_EQ(host.overlaysDirty, tc.overlay ? std::vector<int>{tc.ch} : std::vector<int>{});
            }
        }
    }
}

TEST(LUnitControlSetters, MuteOfFourLinkedOutputsSetsAndClearsFourBits) {
    FakeHost host;
    LUnitControl m(host);
    m.SetLinkMask(2, 0x000F);
    host.sent.clear();
    m.SetMute(2, true);
    EXPECT_EQ(W(m.Image(), 698), 0x000F);
    EXPECT_EQ(W(m.Image(), 696), 0);
    m.SetMute(2, false);
    EXPECT_EQ(W(m.Image(), 698), 0);
    ASSERT_EQ(host.sent.size(), 2u);
    EXPECT_EQ(host.sent[0].payload(), (BSTM{2, 1}));
    EXPECT_EQ(host.sent[1].payload(), (BSTM{2, 0}));
}

// Setters of one channel or one global word: linking plays no part, and contract breaches (wrong side,
// channel, band or input) change nothing and send nothing.
TEST(LUnitControlSetters, SingleChannelSettersAndIgnoredCalls) {
    struct Case {
        const char* name;
        std::function<void(LUnitControl&)> set;
        std::map<size_t, uint8_t> changes; // image offset -> new byte
        bool sends;
        uint8_t code;
        BSTM payload;
        bool force;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"link mask Out2", [](LUnitControl& m) { m.SetLinkMask(3, 5); },
         {{494, 0x05}}, true, 59, {3, 5}, true},
        {"link mask low byte sent", [](LUnitControl& m) { m.SetLinkMask(0, 0x0102); },
         {{154, 0x02}, {155, 0x01}}, true, 59, {0, 0x02}, true},
        {"channel name", [](LUnitControl& m) { m.SetChannelName(4, Name8("Mains").data()); },
         {{496, 'M'}, {497, 'a'}, {498, 'i'}, {499, 'n'}, {500, 's'}}, true, 61,
         {4, 'M', 'a', 'i', 'n', 's', 0, 0, 0}, true},
        {"delay unit", [](LUnitControl& m) { m.SetDelayUnit(2); }, {{716, 2}}, true, 21, {2}, false},
        {"route InA to Out4", [](LUnitControl& m) { m.SetMatrixRoute(5, 0, true); }, {{604, 3}},
         true, 58, {5, 3}, false},
        {"unroute InA from Out1", [](LUnitControl& m) { m.SetMatrixRoute(2, 0, false); }, {{304, 0}},
         true, 58, {2, 0}, false},
        {"mix level", [](LUnitControl& m) { m.SetMixLevel(4, 1, 100); }, {{508, 100}, {509, 0}},
         true, 65, {4, 1, 100, 0}, false},
        {"output EQ bypass", [](LUnitControl& m) { m.SetEqBypassMask(3, 0x0A); },
         {{720, 0x0A}}, false, 0, {}, false},
        {"input EQ bypass", [](LUnitControl& m) { m.SetEqBypassMask(1, 0x02); },
         {{718, 0x02}}, false, 0, {}, false},
        {"GEQ bypass", [](LUnitControl& m) { m.SetGeqBypassMask(2); }, {{722, 2}}, false, 0, {}, false},
        {"gain of channel 6", [](LUnitControl& m) { m.SetGain(6, 1); }, {}, false, 0, {}, false},
        {"link mask of channel -1", [](LUnitControl& m) { m.SetLinkMask(-1, 1); }, {}, false, 0, {}, false},
        {"gate on an output", [](LUnitControl& m) { m.SetGate(2, {1, 1, 1, 1}); }, {}, false, 0, {}, false},
        {"compressor on an input", [](LUnitControl& m) { m.SetComp(1, {1, 1, 1, 1, 1}); },
         {}, false, 0, {}, false},
        {"limiter on an input", [](LUnitControl& m) { m.SetLimit(0, {1, 1, 1, 1}); },
         {}, false, 0, {}, false},
        {"input PEQ band 8", [](LUnitControl& m) { m.SetPeqBand(0, 8, 1, 1, 1, 1, true); },
         {}, false, 0, {}, false},
        {"output PEQ band 9", [](LUnitControl& m) { m.SetPeqBand(5, 9, 1, 1, 1, 1, true); },
         {}, false, 0, {}, false},
        {"GEQ band 31", [](LUnitControl& m) { m.SetGeqBand(0, 31, 1); }, {}, false, 0, {}, false},
        {"route to an input", [](LUnitControl& m) { m.SetMatrixRoute(1, 0, true); }, {}, false, 0, {}, false},
        {"mix of input 2", [](LUnitControl& m) { m.SetMixLevel(2, 2, 5); }, {}, false, 0, {}, false},
        {"copy across sides", [](LUnitControl& m) { m.CopyChannel(0, 2); }, {}, false, 0, {}, false},
    };
    // clang-format on
    for (const auto& tc : cases) {
        for (bool updating : {false, true}) {
            SCOPED_TRACE(std::string(tc.name) + (updating ? " / updating view" : ""));
            FakeHost host;
            LUnitControl m(host);
            for (int ch = 0; ch < 6; ++ch)
                m.SetLinkMask(ch, ch < 2 ? 0x3 : 0xF);
            host.sent.clear();
            host.updating = updating;
            const img::Image before = m.Image();

            tc.set(m);

            std::vector<size_t> want;
            for (const auto& [off, value] : tc.changes) {
                want.push_back(off);
                EXPECT_EQ(m.Image()[off], value) << "offset " << off;
            }
            EXPECT_EQ(Diff(before, m.Image()), want);
            if (tc.sends && !updating) {
                ASSERT_EQ(host.sent.size(), 1u);
                EXPECT_EQ(host.sent[0].code(), tc.code);
                EXPECT_EQ(host.sent[0].payload(), tc.payload);
                EXPECT_EQ(host.sent[0].force, tc.force);
            } else {
                EXPECT_TRUE(host.sent.empty());
            }
            EXPECT_TRUE(host.overlaysDirty.empty());
        }
    }
}

// The group of every channel under a few mask configurations (masks InA, InB, Out1..Out4).
TEST(LUnitControlLinks, GroupMaskOfEveryChannel) {
    struct Case {
        const char* name;
        std::array<uint16_t, 6> masks;
        std::array<uint16_t, 6> groups;
    };
    // clang-format off
    const Case cases[] = {
        {"all alone",                 {1, 2, 1, 2, 4, 8},    {1, 2, 1, 2, 4, 8}},
        {"inputs linked, Out3 to Out2", {3, 0, 1, 6, 0, 8},  {3, 3, 1, 6, 6, 8}},
        {"Out2 and Out3 to Out1",     {1, 2, 7, 0, 0, 8},    {1, 2, 7, 7, 7, 8}},
        {"whole sides",               {3, 0, 0xF, 0, 0, 0},  {3, 3, 0xF, 0xF, 0xF, 0xF}},
        // members whose master lost them: alone
        {"orphans",                   {1, 0, 1, 0, 4, 0},    {1, 2, 1, 2, 4, 8}},
    };
    // clang-format on
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        FakeHost host;
        LUnitControl m(host);
        for (int ch = 0; ch < 6; ++ch)
            m.SetLinkMask(ch, tc.masks[static_cast<size_t>(ch)]);
        for (int ch = 0; ch < 6; ++ch)
            EXPECT_EQ(m.GroupMask(ch), tc.groups[static_cast<size_t>(ch)]) << "channel " << ch;
    }
    FakeHost host;
    EXPECT_EQ(LUnitControl(host).GroupMask(6), 0);
}

// ---- channel copy ----

TEST(LUnitControlCopy, OutputCopiesProcessingButKeepsIdentityAndRouting) {
    FakeHost host;
    LUnitControl m(host);
    m.SetHighPass(2, {40, 0, 4, 0});
    m.SetLowPass(2, {0, 250, 0, 5});
    m.SetPeqBand(2, 3, 60, 77, 12, 2, true);
    m.SetComp(2, {5, 6, 7, 8, 9});
    m.SetLimit(2, {1, 2, 3, 4});
    m.SetGain(2, 111);
    m.SetPolarity(2, 1);
    m.SetDelay(2, 960);
    m.SetMute(2, true);
    m.SetEqBypassMask(2, 0x0001);
    const auto left = Name8("Left");
    m.SetChannelName(2, left.data());
    m.SetMatrixRoute(2, 1, true);
    m.SetMixLevel(2, 0, 10);
    m.SetLinkMask(2, 0x0003);
    host.sent.clear();
    const img::Image before = m.Image();

    m.CopyChannel(2, 4);

    const img::Image& im = m.Image();
    // Out3's record bytes 14..97 (filters to delay) now equal Out1's.
    EXPECT_EQ(Bytes(im, 496 + 14, 84), Bytes(im, 296 + 14, 84));
    EXPECT_EQ(W(im, 708), W(im, 704)); // band-bypass masks of Out3 and Out1
    EXPECT_EQ(W(im, 708), 0x0008);
    EXPECT_EQ(W(im, 698), 0x0005); // mute bit 2 copied from bit 0
    EXPECT_EQ(W(im, 720), 0x0005); // whole-PEQ bypass likewise
    // Name, source mask, mix levels and link mask stay Out3's.
    EXPECT_EQ(Bytes(im, 496, 14), Bytes(before, 496, 14));
    EXPECT_EQ(W(im, 594), 0x0004);
    for (size_t off : Diff(before, im))
        EXPECT_TRUE((off >= 510 && off < 594) || off == 698 || off == 708 || off == 720) << "offset " << off;
    EXPECT_TRUE(host.sent.empty());
}

TEST(LUnitControlCopy, InputCopiesProcessingAndClearsBitsTheSourceLacks) {
    FakeHost host;
    LUnitControl m(host);
    m.SetGate(0, {3, 4, 5, 6});
    m.SetGeqBand(0, 5, 200);
    m.SetPeqBand(0, 2, 90, 33, 44, 1, false);
    m.SetHighPass(0, {12, 0, 2, 0});
    m.SetGain(0, 100);
    m.SetDelay(0, 5);
    m.SetPolarity(0, 1);
    m.SetMute(1, true);
    m.SetEqBypassMask(1, 0x0002);
    m.SetGeqBypassMask(0x0002);
    m.SetPeqBand(1, 6, 120, 240, 35, 0, true);
    const auto kick = Name8("Kick");
    m.SetChannelName(1, kick.data());
    const img::Image before = m.Image();

    m.CopyChannel(0, 1);

    const img::Image& im = m.Image();
    EXPECT_EQ(Bytes(im, 156 + 8, 130), Bytes(im, 16 + 8, 130));
    EXPECT_EQ(W(im, 702), 0); // InB's band bypass now InA's (none)
    EXPECT_EQ(W(im, 696), 0); // InB's mute cleared, as InA is not muted
    EXPECT_EQ(W(im, 718), 0);
    EXPECT_EQ(W(im, 722), 0x0002); // GEQ bypass is not part of the copy
    EXPECT_EQ(Bytes(im, 156, 8), Bytes(before, 156, 8));
    EXPECT_EQ(W(im, 294), 0x0002);
    for (size_t off : Diff(before, im))
        EXPECT_TRUE((off >= 164 && off < 294) || off == 696 || off == 702 || off == 703 || off == 718)
            << "offset " << off;
}

// ---- dumps ----

TEST(LUnitControlDump, FifteenPiecesInOrderReplaceAllButTheSlotHeader) {
    FakeHost host;
    LUnitControl m(host);
    const BSTM dump = Pattern(750, 3);
    const img::Image before = m.Image();
    for (int p = 0; p < 14; ++p) {
        bool complete = true;
        EXPECT_TRUE(m.DecodeDump(Piece(p, dump), &complete));
        EXPECT_FALSE(complete);
        EXPECT_EQ(m.Image(), before);
    }
    bool complete = false;
    EXPECT_TRUE(m.DecodeDump(Piece(14, dump), &complete));
    EXPECT_TRUE(complete);

    const img::Image& im = m.Image();
    EXPECT_EQ(im[0], before[0]);
    EXPECT_EQ(im[1], before[1]);
    EXPECT_TRUE(std::equal(im.begin() + 2, im.end(), dump.begin() + 2));
    EXPECT_TRUE(std::equal(dump.begin(), dump.end(), m.ReceiveArea().begin()));
    EXPECT_EQ(m.GetWorkMode(), dump[712] | dump[713] << 8);
    EXPECT_EQ(m.GetSineIndex(), dump[714] | dump[715] << 8);
    EXPECT_TRUE(host.sent.empty());
}

TEST(LUnitControlDump, StoredPresetDumpFillsItsSlotOnly) {
    FakeHost host;
    LUnitControl m(host);
    const BSTM dump = Pattern(750, 11);
    bool complete = false;
    for (int p = 0; p < 15; ++p)
        ASSERT_TRUE(m.StorePresetDump(20, Piece(p, dump), &complete));
    EXPECT_TRUE(complete);
    EXPECT_EQ(m.Image(), LUnitControl::DefaultImage());
    const auto& entry = m.GetStoredPreset(20);
    EXPECT_EQ(entry[0], 20);
    EXPECT_TRUE(std::equal(entry.begin() + 1, entry.end(), dump.begin()));
    EXPECT_EQ(entry.size(), 723u);
    EXPECT_EQ(m.GetStoredPreset(19), LUnitControl::StoredPreset{});
}

TEST(LUnitControlDump, LonePieceFourteenCompletesWithWhatTheReceiveAreaHeld) {
    FakeHost host;
    LUnitControl m(host);
    // An unfinished stored-preset dump leaves its pieces in the shared receive area.
    const BSTM stale = Pattern(750, 5);
    for (int p = 0; p < 14; ++p)
        ASSERT_TRUE(m.StorePresetDump(3, Piece(p, stale)));
    EXPECT_EQ(m.GetStoredPreset(3), LUnitControl::StoredPreset{});

    const BSTM fresh = Pattern(750, 200);
    bool complete = false;
    EXPECT_TRUE(m.DecodeDump(Piece(14, fresh), &complete));
    EXPECT_TRUE(complete);
    const img::Image& im = m.Image();
    EXPECT_TRUE(std::equal(im.begin() + 2, im.begin() + 700, stale.begin() + 2));
    EXPECT_TRUE(std::equal(im.begin() + 700, im.end(), fresh.begin() + 700));
}

TEST(LUnitControlDump, BadPiecesAndSlotsChangeNothing) {
    BSTM tooLong{3};
    tooLong.resize(52, 0xEE);
    BSTM piece15{15};
    piece15.resize(51, 0xEE);
    BSTM piece255{255};
    piece255.resize(51, 0xEE);
    const std::vector<std::pair<const char*, BSTM>> bad = {
        {"empty", {}}, {"piece 15", piece15}, {"piece 255", piece255}, {"51 data bytes", tooLong}};

    const BSTM dump = Pattern(750, 9);
    for (const auto& [name, payload] : bad) {
        SCOPED_TRACE(name);
        FakeHost host;
        LUnitControl m(host);
        for (int p = 0; p < 14; ++p)
            m.DecodeDump(Piece(p, dump));
        const auto receive = m.ReceiveArea();
        const img::Image image = m.Image();
        bool complete = true;
        EXPECT_FALSE(m.DecodeDump(payload, &complete));
        EXPECT_FALSE(complete);
        complete = true;
        EXPECT_FALSE(m.StorePresetDump(1, payload, &complete));
        EXPECT_FALSE(complete);
        EXPECT_EQ(m.ReceiveArea(), receive);
        EXPECT_EQ(m.Image(), image);
        EXPECT_EQ(m.GetStoredPreset(1), LUnitControl::StoredPreset{});
    }

    for (int slot : {0, 21, -1}) {
        SCOPED_TRACE(slot);
        FakeHost host;
        LUnitControl m(host);
        const auto receive = m.ReceiveArea();
        bool complete = true;
        EXPECT_FALSE(m.StorePresetDump(slot, Piece(14, dump), &complete));
        EXPECT_FALSE(complete);
        EXPECT_EQ(m.ReceiveArea(), receive);
        EXPECT_EQ(m.Image(), LUnitControl::DefaultImage());
    }
}

TEST(LUnitControlDump, ShortPiecesFillOnlyWhatTheyCarry) {
    FakeHost host;
    LUnitControl m(host);
    const auto receive = m.ReceiveArea();
    BSTM shortPiece{2};
    shortPiece.resize(11, 0x5A);
    EXPECT_TRUE(m.DecodeDump(shortPiece));
    for (size_t k = 0; k < receive.size(); ++k)
        EXPECT_EQ(m.ReceiveArea()[k], k >= 100 && k < 110 ? 0x5A : receive[k]) << k;

    bool complete = false;
    EXPECT_TRUE(m.DecodeDump(BSTM{14}, &complete));
    EXPECT_TRUE(complete);
    EXPECT_EQ(m.Image()[100], 0x5A);
}

// ---- reply stores and preset names ----

TEST(LUnitControlReplies, StoresTakeWholeRepliesAndRefuseShortOnes) {
    FakeHost host;
    LUnitControl m(host);

    BSTM flags(20, 0x00);
    flags[0] = flags[4] = flags[19] = 0xFF;
    flags[1] = 0xFE;
    flags[2] = 0x01;
    EXPECT_TRUE(m.StorePresetFlags(flags));
    for (int n = 0; n < 20; ++n)
        EXPECT_EQ(m.IsPresetSlotUsed(n), n == 0 || n == 4 || n == 19) << n;
    EXPECT_FALSE(m.StorePresetFlags(BSTM(19, 0xFF)));
    EXPECT_FALSE(m.IsPresetSlotUsed(1));
    EXPECT_TRUE(m.IsPresetSlotUsed(0));

    const std::string name = "Main Hall  A12";
    EXPECT_TRUE(m.StoreCurrentPresetName(BSTM(name.begin(), name.end())));
    EXPECT_EQ(Bytes(m.Image(), 2, 14), BSTM(name.begin(), name.end()));
    EXPECT_EQ(m.Image()[16], 'I'); // InA's name follows untouched
    EXPECT_FALSE(m.StoreCurrentPresetName(BSTM(13, 'x')));
    EXPECT_EQ(Bytes(m.Image(), 2, 14), BSTM(name.begin(), name.end()));

    const BSTM info = Pattern(20, 1);
    EXPECT_TRUE(m.StoreUnitInfo(info));
    EXPECT_TRUE(std::equal(m.UnitInfo().begin(), m.UnitInfo().end(), info.begin()));
    const auto kept = m.UnitInfo();
    EXPECT_FALSE(m.StoreUnitInfo(BSTM(17, 0xAA))); // too short: nothing stored
    EXPECT_FALSE(m.StoreUnitInfo(BSTM{}));
    EXPECT_EQ(m.UnitInfo(), kept);
    EXPECT_TRUE(host.sent.empty());
}

TEST(LUnitControlReplies, PresetNamesFillBothLists) {
    FakeHost host;
    LUnitControl m(host);
    m.ResetPresetNamesInDialogs();
    ASSERT_EQ(host.recallNames.size(), 20u);
    ASSERT_EQ(host.storeNames.size(), 20u);
    EXPECT_EQ(host.recallNames.begin()->first, 1);
    EXPECT_EQ(host.recallNames.rbegin()->first, 20);
    EXPECT_EQ(host.storeNames.begin()->first, 0);
    EXPECT_EQ(host.storeNames.rbegin()->first, 19);
    for (const auto& [row, text] : host.recallNames)
        EXPECT_EQ(text, "Default Preset") << row;
    for (const auto& [row, text] : host.storeNames)
        EXPECT_EQ(text, "Default Preset") << row;

    // Reply 41 for index 4: four letters, then zero bytes, which show as blanks.
    BSTM reply{4, 'K', 'i', 'c', 'k'};
    reply.resize(15, 0);
    EXPECT_TRUE(m.StorePresetNameInDialogs(5, reply));
    EXPECT_EQ(host.recallNames[5], "Kick          ");
    EXPECT_EQ(host.storeNames[4], "Kick          ");
    EXPECT_EQ(host.recallNames[4], "Default Preset");

    // Short replies and rows outside the lists are refused.
    BSTM shortReply{7, 'A', 'B'};
    shortReply.resize(14, 'C');
    EXPECT_FALSE(m.StorePresetNameInDialogs(8, shortReply));
    EXPECT_FALSE(m.StorePresetNameInDialogs(0, reply));
    EXPECT_FALSE(m.StorePresetNameInDialogs(21, reply));
    EXPECT_EQ(host.recallNames[8], "Default Preset");
    EXPECT_EQ(host.storeNames[7], "Default Preset");
    EXPECT_EQ(host.recallNames.count(0), 0u);
    EXPECT_EQ(host.recallNames.count(21), 0u);
}

} // namespace
