// The level meters: decoding of the unit's three-byte levels, the segment thresholds, the bars, lamps and
// mirrors a levels reply sets, a short reply left alone, and the reset of all 43 bars.

#include "tests/editors/PanelsFixture.h"

#include "app/pages/MetersPage.h"
#include "controls/LProgressBar.h"
#include "platform/gui/StdBars.h"
#include "tests/sim/SimUnit.h"

#include <cmath>
#include <limits>

namespace {

using namespace panelstest;
using kv::LProgressBar;

TEST(LevelDecode, ThreeBytesAreTheUpperBytesOfAFloatInTheOrderSecondFirstThird) {
    EXPECT_EQ(TMetersPage::DecodeLevel(0x80, 0x3F, 0x00), 1.0f);
    EXPECT_EQ(TMetersPage::DecodeLevel(0x00, 0x00, 0x00), 0.0f);
    EXPECT_EQ(TMetersPage::DecodeLevel(0x00, 0x40, 0x00), 2.0f);
    EXPECT_EQ(TMetersPage::DecodeLevel(0x00, 0x3F, 0x00), 0.5f);
    EXPECT_EQ(TMetersPage::DecodeLevel(0x80, 0xBF, 0x00), -1.0f);
    // The third byte is the mantissa's low byte: 1 + 0x40 / 2^15.
    EXPECT_FLOAT_EQ(TMetersPage::DecodeLevel(0x80, 0x3F, 0x40), 1.0f + 64.0f / 32768.0f);
    // The simulated unit encodes them the same way, from its own description.
    for (float v : {1.0f, 0.25f, 0.001f, 3.5f}) {
        const auto b = kv::sim::SimUnit::EncodeLevel(v);
        EXPECT_NEAR(TMetersPage::DecodeLevel(b[0], b[1], b[2]), v, v * 1e-4f) << v;
    }
}

TEST(LevelSegments, ThresholdsOfInputsAndOutputs) {
    auto dB = [](double d) { return static_cast<float>(std::pow(10.0, d / 20.0)); };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float level;
        int in, out;
    } cases[] = {
        {0.0f, 0, 0},       // taken as 1e-7, -140 dB
        {1.0f, 8, 7},       // 0 dB: all but the top segment
        {1.01f, 9, 8},      // above 0 dB: all
        {dB(-64.9), 1, 1},  // the first threshold, -65 dB, is passed
        {dB(-65.01), 0, 0}, // and only just not
        {dB(-50), 2, 1},    // in: -65 and -55 passed; out: -65
        {dB(-19.9), 5, 4},  // in: up to -20; out: up to -20
        {dB(-3.1), 7, 6},   //
        {-0.5f, 9, 8},      // a negative level lights everything
        {nan, 9, 8},        // so does a NaN
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TMetersPage::LevelSegments(c.level, true), c.in) << c.level;
        EXPECT_EQ(TMetersPage::LevelSegments(c.level, false), c.out) << c.level;
    }
}

class MetersTest : public PanelsFixture {
protected:
    int Bar(const std::string& name) { return Get<LProgressBar>(name).GetPosition(); }

    static BSTM Levels(const std::vector<float>& values, uint16_t activity) {
        BSTM p;
        for (float v : values) {
            const auto b = kv::sim::SimUnit::EncodeLevel(v);
            p.insert(p.end(), b.begin(), b.end());
        }
        p.push_back(static_cast<uint8_t>(activity & 0xFF));
        p.push_back(static_cast<uint8_t>(activity >> 8));
        return p;
    }

    std::vector<LProgressBar*> AllBars() {
        std::vector<LProgressBar*> bars;
        for (int i = 0; i < main->ComponentCount(); ++i)
            if (auto* b = dynamic_cast<LProgressBar*>(main->Components(i)))
                bars.push_back(b);
        return bars;
    }
};

TEST_F(MetersTest, ReplySetsEveryBarLampAndMirrorOfItsChannel) {
    Get<kv::TUpDown>("udCompRatioOut1").SetPosition(3);
    Get<kv::TUpDown>("udCompRatioOut2").SetPosition(0);
    // InA 0 dB, InB silent, values 2 and 3 loud but shown nowhere, Out1 0 dB, Out2 -50 dB, Out3 and Out4
    // over, values 8 and 9 loud. Out1: compressor and limiter active; Out2: compressor bit with a 1:1.0
    // ratio.
    const float m50 = static_cast<float>(std::pow(10.0, -50.0 / 20.0));
    main->OnLevelsReply(Levels({1.0f, 0.0f, 4.0f, 4.0f, 1.0f, m50, 2.0f, 2.0f, 4.0f, 4.0f}, 0x0103));

    for (const char* stem : {"pbLevel", "pbLevelBackup", "pbLevelGate"}) {
        EXPECT_EQ(Bar(std::string(stem) + "InA"), 8) << stem;
        EXPECT_EQ(Bar(std::string(stem) + "InB"), 0) << stem;
    }
    struct Out {
        const char* s;
        int level, comp, limit;
    } outs[] = {{"Out1", 7, 1, 1}, {"Out2", 1, 0, 0}, {"Out3", 8, 0, 0}, {"Out4", 8, 0, 0}};
    for (const auto& o : outs) {
        const std::string s = o.s;
        for (const char* stem : {"pbLevel", "pbLevelBackup", "pbLevelComp", "pbLevelLimit"})
            EXPECT_EQ(Bar(stem + s), o.level) << stem << s;
        EXPECT_EQ(Bar("pbLimitComp" + s), o.comp) << s;
        EXPECT_EQ(Bar("pbLimitBackup" + s), o.comp) << s; // the gain page's lamp is the compressor's
        EXPECT_EQ(Bar("pbLimitLimit" + s), o.limit) << s;
        EXPECT_EQ(Bar("pbLimit" + s), 0) << s; // the channel pages' lamps are only ever reset
    }
    // The mirrors follow the channels the dynamics pages show: InA and Out1 at start.
    EXPECT_EQ(Bar("pbLevelGateIn"), 8);
    EXPECT_EQ(Bar("pbLevelCompOut"), 7);
    EXPECT_EQ(Bar("pbLimitCompOut"), 1);
    EXPECT_EQ(Bar("pbLevelLimitOut"), 7);
    EXPECT_EQ(Bar("pbLimitLimitOut"), 1);
}

TEST_F(MetersTest, ShortReplyChangesNothingAndResetZeroesAllBars) {
    for (const char* ratio : {"udCompRatioOut1", "udCompRatioOut2", "udCompRatioOut3", "udCompRatioOut4"})
        Get<kv::TUpDown>(ratio).SetPosition(3);
    main->OnLevelsReply(Levels(std::vector<float>(10, 1.0f), 0x0F0F));
    const auto bars = AllBars();
    ASSERT_EQ(bars.size(), 43u);
    std::vector<int> before;
    for (auto* b : bars)
        before.push_back(b->GetPosition());
    // Everything lit but the channel pages' four lamps, which only the reset writes.
    EXPECT_EQ(std::count_if(before.begin(), before.end(), [](int p) { return p > 0; }), 39);

    BSTM shortReply = Levels(std::vector<float>(10, 0.0f), 0);
    shortReply.pop_back();
    ASSERT_EQ(shortReply.size(), 31u);
    main->OnLevelsReply(shortReply);
    main->OnLevelsReply({});
    for (size_t i = 0; i < bars.size(); ++i)
        EXPECT_EQ(bars[i]->GetPosition(), before[i]) << bars[i]->Name();

    main->ResetLevelMeters();
    for (auto* b : bars)
        EXPECT_EQ(b->GetPosition(), 0) << b->Name();
}

} // namespace
