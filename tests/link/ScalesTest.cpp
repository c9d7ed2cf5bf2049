#include "link/Scales.h"

#include <climits>
#include <clocale>
#include <cmath>
#include <complex>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "platform/core/CodePage.h"
#include "platform/core/Numbers.h"

namespace {

// "-3.2" for -32 tenths, built from integers so that no floating-point formatting is involved.
std::string TenthsText(int tenths) {
    const int magnitude = tenths < 0 ? -tenths : tenths;
    return (tenths < 0 ? "-" : "") + std::to_string(magnitude / 10) + "." + std::to_string(magnitude % 10);
}

// Every conversion table; run once in the C locale and once under a comma-decimal locale.
void CheckScaleTables() {
    struct FreqCase {
        double hz;
        int index;
    };
    const FreqCase freqCases[] = {
        {1000.0, 170},  {20158.7, 300},
        {19.7, 0},      {20.0, 1},
        {20000.0, 300}, {1011.6, 170},
        {1012.0, 171},  {1011.6194403019225, 170}, // exactly 170.5 steps: a half rounds down
        {10.0, -29},                               // below the scale: no clamp
        {1.0, -128},                               // -128.97 truncates toward zero
    };
    for (const auto& c : freqCases)
        EXPECT_EQ(FreqToIndex(c.hz), c.index) << c.hz;
    EXPECT_EQ(kv::FormatFixed(IndexToFreq(0), 1), "19.7");
    EXPECT_EQ(kv::FormatFixed(IndexToFreq(300), 1), "20158.7");
    EXPECT_DOUBLE_EQ(IndexToFreq(170), 1000.0);
    EXPECT_NEAR(IndexToFreq(200), 2000.0, 1e-9); // 30 steps per octave
    for (int i = 0; i <= 300; ++i)
        EXPECT_EQ(FreqToIndex(IndexToFreq(i)), i);

    struct GainCase {
        double dB;
        int index;
    };
    const GainCase gainCases[] = {
        {-3.2, 88},  {0.3, 123},   {12.0, 240}, {-12.0, 0},  {0.0, 120},  {-0.05, 120},
        {0.19, 121}, {-0.19, 119}, {-3.25, 88}, {12.5, 245}, {-12.5, -5},
    };
    for (const auto& c : gainCases)
        EXPECT_EQ(GainToIndex(c.dB), c.index) << c.dB;
    for (int i = 0; i <= 240; ++i) {
        EXPECT_EQ(GainToIndex((i - 120) / 10.0), i) << i;
        const auto parsed = kv::ParseDouble(TenthsText(i - 120));
        ASSERT_TRUE(parsed) << TenthsText(i - 120);
        EXPECT_EQ(GainToIndex(*parsed), i) << TenthsText(i - 120);
        EXPECT_EQ(GainToIndex(IndexToGain(i)), i) << i;
    }
    EXPECT_NEAR(IndexToGain(88), -3.2, 1e-12);
    EXPECT_DOUBLE_EQ(IndexToGain(240), 12.0);

    for (int i = 0; i <= 100; ++i) {
        EXPECT_EQ(QToIndex(Q_GRID[i]), i) << Q_GRID[i];
        // The same value typed as text reaches the conversion as the nearest double, not the float.
        const auto typed = kv::ParseDouble(kv::FormatFixed(Q_GRID[i], 2));
        ASSERT_TRUE(typed);
        EXPECT_EQ(QToIndex(*typed), i) << *typed;
    }
    // Half up on the first decimal digit of v = ln(128 / Q) / ln(1.0596...), as v prints, also for
    // negative v (Q above 128; no clamp).
    struct QIndexCase {
        double q;
        int index;
    };
    const QIndexCase qIndexCases[] = {
        {128.0, 100},
        {0.4, 0},
        {200.0, 106}, // v -7.709: digit 7 rounds toward +
        {140.0, 100},
        {1000.0, 134}, // v -1.548, -35.510
        {135.0, 100},
        {127.9, 100}, // v -0.920, 0.0135
        {120.0, 99},
        {0.39, 0},
        {0.3, -5},               // v 1.115, 100.077, 104.609
        {98.64400689395296, 95}, // v 4.499999999999998 prints 4.5
        {101.5410697139471, 96}, // v 3.999999999999999 prints 4
    };
    for (const auto& c : qIndexCases)
        EXPECT_EQ(QToIndex(c.q), c.index) << c.q;

    struct QCase {
        int index;
        const char* q;
    };
    const QCase qCases[] = {
        {100, "128.00"},  {0, "0.40"},    {1, "0.42"},
        {50, "7.15"},     {99, "120.82"}, {356, "128.00"}, // only the low byte counts
        {-156, "128.00"},
    };
    for (const auto& c : qCases)
        EXPECT_EQ(kv::FormatFixed(IndexToQ(c.index), 2), c.q) << c.index;

    struct DelayCase {
        double value;
        int unit;
        int samples;
    };
    const DelayCase delayCases[] = {
        {1.0, 0, 96},    {1.0, 1, 279}, {1.0, 2, 85},  {680.0, 0, 65280}, {0.5, 0, 48},
        {10.0, 1, 2794}, {3.5, 2, 298}, {-0.01, 0, 0}, {-1.5, 0, -144},   {1.0, 3, 0},
    };
    for (const auto& c : delayCases)
        EXPECT_EQ(DelayToSamples(c.value, c.unit), c.samples) << c.value << " unit " << c.unit;

    struct LevelCase {
        int step;
        const char* text;
    };
    const LevelCase levelCases[] = {
        {-201, "-20.5dB"},
        {-200, "-20.0dB"},
        {0, "+0.0dB"},
        {-280, "-60.0dB"},
        {120, "+12.0dB"},
        {5, "+0.5dB"},
        {-1, "-0.1dB"},
        {-199, "-19.9dB"},
        {-202, "-21.0dB"},
        {400, "+40.0dB"},
        {INT_MIN, "-1073741744.0dB"},
    };
    for (const auto& c : levelCases)
        EXPECT_EQ(LevelIndexText(c.step), c.text) << c.step;

    struct TextCase {
        std::string text;
        const char* want;
    };
    const TextCase textCases[] = {
        {ThresholdText(0), "+0.0dB"},
        {ThresholdText(-25), "-12.5dB"},
        {ThresholdText(-180), "-90.0dB"},
        {ThresholdText(40), "+20.0dB"},
        {ThresholdText(-1), "-0.5dB"},
        {TimeText(0, true), "  1ms"},
        {TimeText(49, true), " 50ms"},
        {TimeText(2999, true), "3000ms"},
        {TimeText(9, false), "10ms"},
        {KneeText(12), "12dB"},
        {RatioText(0), "1:1.0"},
        {RatioText(9), "1:4.0"},
        {RatioText(14), "1:20"},
        {RatioText(15), "Limit"},
        {RatioText(16), ""},
        {DelayText(0, 0), "0.000 ms"},
        {DelayText(0, 1), "0.000 m"},
        {DelayText(0, 2), "0.000 ft"},
        {DelayText(960, 0), "10.000 ms"},
        {DelayText(960, 1), "3.435 m"},
        {DelayText(960, 2), "11.270 ft"},
        {DelayText(65280, 0), "680.000 ms"},
        {DelayText(65280, 1), "233.580 m"},
        {DelayText(65280, 2), "766.329 ft"},
        {DelayText(279, 1), "0.998 m"},
        {DelayText(85, 2), "0.998 ft"},
    };
    for (const auto& c : textCases)
        EXPECT_EQ(c.text, c.want);

    struct NumericCase {
        const char* text;
        bool numeric;
    };
    const NumericCase numericCases[] = {
        {"12.5", true}, {"", true},     {"1.2.3", true},         {".", true},
        {"-3", false},  {"1,5", false}, {"+3", false},           {" 12", false},
        {"12a", false}, {"1e3", false}, {"\xEF\xBC\x91", false}, // a full-width digit
    };
    for (const auto& c : numericCases)
        EXPECT_EQ(IsNumericText(c.text), c.numeric) << c.text;

    // Values past the int range saturate instead of being undefined.
    EXPECT_EQ(FreqToIndex(0.0), INT_MIN);
    EXPECT_EQ(QToIndex(0.0), INT_MIN);
    EXPECT_EQ(GainToIndex(1e300), INT_MAX);
    EXPECT_EQ(DelayToSamples(-1e300, 0), INT_MIN);
    EXPECT_EQ(GainToIndex(std::nan("")), 0);
}

TEST(Scales, ConversionTables) {
    CheckScaleTables();
}

class ScalesCommaLocale : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
            GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(ScalesCommaLocale, ConversionTablesIgnoreTheLocale) {
    char printed[16];
    std::snprintf(printed, sizeof printed, "%.1f", 1.5);
    ASSERT_STREQ(printed, "1,5"); // the locale really is in force
    CheckScaleTables();
}

TEST_F(ScalesCommaLocale, NumberTextsIgnoreTheLocale) {
    EXPECT_EQ(kv::FormatFixed(1.5, 1, 5), "  1.5");
    EXPECT_EQ(kv::FormatFixed(-20.5, 1, 3), "-20.5");
    EXPECT_EQ(kv::FormatFixed(128.0, 2), "128.00");
    EXPECT_EQ(kv::ParseDouble("1.5"), 1.5);
    EXPECT_EQ(kv::ParseDouble("1,5"), std::nullopt);
}

TEST(Scales, WideToAnsiUsesTheSystemCodePage) {
    EXPECT_EQ(WideToAnsi("Preset 01"), "Preset 01");
    EXPECT_EQ(WideToAnsi(""), "");
    if (kv::CodePage::System().Name() != "CP1252")
        GTEST_SKIP() << "system code page is " << kv::CodePage::System().Name();
    EXPECT_EQ(WideToAnsi("Caf\xC3\xA9 \xE2\x82\xAC"), "Caf\xE9 \x80");
    EXPECT_EQ(WideToAnsi("A\xE6\xBC\xA2"
                         "B"),
              "A?B"); // a character CP1252 lacks
}

// The analogue prototype's gain in dB at its own frequency (s = j).
double DesignGainAtCorner(const FilterDesign& design) {
    std::complex<double> h = 1.0;
    const std::complex<double> s(0.0, 1.0);
    for (const auto& st : design) {
        switch (st.kind) {
        case StageKind::Flat:
            break;
        case StageKind::FirstOrder:
            h /= 1.0 + static_cast<double>(st.a) * s;
            break;
        case StageKind::SecondOrder:
            h /= 1.0 + static_cast<double>(st.a) * s + s * s;
            break;
        case StageKind::SecondOrderAB:
            h /= 1.0 + static_cast<double>(st.a) * s + static_cast<double>(st.b) * s * s;
            break;
        }
    }
    return 20.0 * std::log10(std::abs(h));
}

int DesignOrder(const FilterDesign& design) {
    int order = 0;
    for (const auto& st : design)
        order += st.kind == StageKind::Flat ? 0 : st.kind == StageKind::FirstOrder ? 1 : 2;
    return order;
}

TEST(Scales, SlopeCodesSelectDesignsOfTheirSteepness) {
    // dB per octave of slope codes 1..20: BW, BL (and from 12 dB on, every 12 dB, LR) per steepness.
    const int slopeDb[21] = {0, 6, 6, 12, 12, 12, 18, 18, 24, 24, 24, 30, 30, 36, 36, 36, 42, 42, 48, 48, 48};
    for (int code = 0; code <= 20; ++code)
        EXPECT_EQ(DesignOrder(FILTER_DESIGNS[static_cast<size_t>(SLOPE_DESIGN[code])]) * 6, slopeDb[code])
            << "slope code " << code;
}

TEST(Scales, FilterDesignsMeetTheirCornerGain) {
    for (int d = 1; d <= 16; ++d)
        EXPECT_NEAR(DesignGainAtCorner(FILTER_DESIGNS[static_cast<size_t>(d)]), -3.01, 0.02)
            << "design " << d;
    for (int d = 17; d <= 20; ++d)
        EXPECT_NEAR(DesignGainAtCorner(FILTER_DESIGNS[static_cast<size_t>(d)]), -6.02, 0.02)
            << "design " << d;
    EXPECT_EQ(DesignGainAtCorner(FILTER_DESIGNS[0]), 0.0);
}

TEST(Scales, RatioValuesAscendSoTheFirstNotBelowIsChosen) {
    for (size_t i = 1; i < COMP_RATIO_VALUE.size(); ++i)
        EXPECT_LT(COMP_RATIO_VALUE[i - 1], COMP_RATIO_VALUE[i]) << i;
    EXPECT_STREQ(COMP_RATIO_TEXT[15], "Limit");
}

} // namespace

// Graphs pick a channel's curve colour by channel number; a shifted table paints InB in Out1's red.
TEST(Scales, OverlayColoursStartWithTheChannelColours) {
    static_assert(OVERLAY_COLOURS.size() == 20);
    const uint32_t channel[] = {0x800080, 0x008080, 0x0000FF, 0x00FF00,
                                0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00};
    for (size_t ch = 0; ch < std::size(channel); ++ch)
        EXPECT_EQ(OVERLAY_COLOURS[ch], channel[ch]) << ch;
    EXPECT_EQ(OVERLAY_COLOURS[8], 0xF0CAA6u); // graphic EQ of InA
    EXPECT_EQ(OVERLAY_COLOURS[9], 0xF0FBFFu); // graphic EQ of InB
}
