#include <clocale>
#include <gtest/gtest.h>

#include "platform/core/Numbers.h"

namespace {

void CheckFormatsAndParses() {
    EXPECT_EQ(kv::FormatFixed(12.25, 1), "12.2"); // round half to even on the binary value, like printf
    EXPECT_EQ(kv::FormatFixed(0.0, 1, 3), "0.0");
    EXPECT_EQ(kv::FormatFixed(2.5, 1, 6), "   2.5");
    EXPECT_EQ(kv::FormatFixed(-1.005, 2), "-1.00");
    EXPECT_EQ(kv::FormatFixed(1000.0, 2), "1000.00");
    EXPECT_EQ(kv::FormatInt(-42), "-42");
    EXPECT_EQ(kv::ParseDouble("12.5"), 12.5);
    EXPECT_EQ(kv::ParseDouble(" -3 "), -3.0);
    EXPECT_EQ(kv::ParseDouble("+0.1"), 0.1);
    EXPECT_FALSE(kv::ParseDouble("1,5"));
    EXPECT_FALSE(kv::ParseDouble(""));
    EXPECT_FALSE(kv::ParseDouble("12dB"));
    EXPECT_FALSE(kv::ParseDouble("+-3"));
    EXPECT_EQ(kv::ParseInt("280"), 280);
    EXPECT_FALSE(kv::ParseInt("2.5"));
    EXPECT_FALSE(kv::ParseInt("+-2"));
    // Wider than any fixed buffer: the whole number, not a cut or garbage.
    const std::string huge = kv::FormatFixed(1e308, 100);
    EXPECT_EQ(huge.size(), 309u + 1 + 100);
    EXPECT_EQ(huge.substr(0, 3), "100");
    EXPECT_EQ(huge.substr(309), "." + std::string(100, '0'));
}

TEST(Numbers, FormatAndParseWithoutLocale) {
    CheckFormatsAndParses();
}

TEST(Numbers, SameUnderCommaDecimalLocale) {
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    CheckFormatsAndParses();
    std::setlocale(LC_ALL, "C");
}

} // namespace

namespace {

TEST(NumbersTest, FloatToTextInTheOldFormats) {
    struct Case {
        double v;
        kv::TFloatFormat f;
        int precision, digits;
        const char* text;
    } cases[] = {
        {18, kv::TFloatFormat::ffGeneral, 5, 4, "18"},
        {-12, kv::TFloatFormat::ffGeneral, 5, 4, "-12"},
        {0, kv::TFloatFormat::ffGeneral, 5, 4, "0"},
        {0.02, kv::TFloatFormat::ffGeneral, 4, 4, "0.02"},
        {3.14159265, kv::TFloatFormat::ffGeneral, 4, 4, "3.142"},
        {31415.9265, kv::TFloatFormat::ffGeneral, 4, 4, "3.142E+0004"},
        {31415.9265, kv::TFloatFormat::ffGeneral, 5, 4, "31416"},
        {3.14159e-6, kv::TFloatFormat::ffGeneral, 4, 2, "3.142E-06"},
        {2.5, kv::TFloatFormat::ffFixed, 4, 2, "2.50"},
        {12345.5, kv::TFloatFormat::ffNumber, 6, 1, "12,345.5"},
        {2.5, kv::TFloatFormat::ffExponent, 3, 2, "2.50E+00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(kv::FloatToStrF(c.v, c.f, c.precision, c.digits), c.text) << c.v;
}

} // namespace
