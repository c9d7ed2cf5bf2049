#include "plot/gPlotAxisFormat.h"

#include <gtest/gtest.h>

#include <limits>

using namespace kv;

namespace {

struct Row {
    TgPlotTextFormat style;
    int precision;
    TgPrecisionStyle precisionStyle;
    double span;
    double value;
    const char* dotText;
    const char* commaText;
    const char* dateTimeFormat = "hh:nn:ss";
};

constexpr auto SIG = TgPrecisionStyle::ipsSignificantDigits;
constexpr auto FIX = TgPrecisionStyle::ipsFixedDecimalPoints;
using F = TgPlotTextFormat;

} // namespace

TEST(gPlotAxisFormat, SixStylesInBothSeparatorLocales) {
    const Row rows[] = {
        {F::iptfValue, 2, SIG, 120, -100, "-100", "-100"},
        {F::iptfValue, 2, SIG, 0.5, 0.25, "0.25", "0,25"},
        {F::iptfValue, 3, SIG, 0, 1, "1.0", "1,0"},
        {F::iptfValue, 2, SIG, 120, -0.2, "0", "0"},
        {F::iptfValue, 1, FIX, 120, 2.26, "2.3", "2,3"},
        {F::iptfExponent, 3, SIG, 1, 0.00765, "7.65E-003", "7,65E-003"},
        {F::iptfExponent, 3, FIX, 1, 12346, "1.235E+004", "1,235E+004"},
        {F::iptfPrefix, 3, SIG, 100, 12500, "12.5K", "12,5K"},
        {F::iptfPrefix, 3, SIG, 100, 0.0005, "0.500m", "0,500m"},
        {F::iptfPrefix, 3, SIG, 100, 0.0000005, "0.500?", "0,500?"},
        {F::iptfPrefix, 3, SIG, 100, -2e6, "-2.00M", "-2,00M"},
        {F::iptfPrefix, 3, SIG, 10, 0, "0.0", "0,0"},
        {F::iptfPrefix, 3, FIX, 10, 0, "0.000", "0,000"},
        {F::iptfPrefix, 3, SIG, 10, 1e30, "Unknown", "Unknown"},
        {F::iptfDateTime, 3, SIG, 1, 4.5, "4 12:00", "4 12:00", "Jhh:nn"},
        {F::iptfDateTime, 3, SIG, 1, 0.75, "18:00:00", "18:00:00"},
        {F::iptfDateTime, 3, SIG, 1, 45000.25, "2023-03-15 06:00", "2023-03-15 06:00", "yyyy-mm-dd hh:mm"},
        {F::iptfDateTime, 3, SIG, 1, 2.5, "Mon 1 January 1900 12:00 pm", "Mon 1 January 1900 12:00 pm",
         "ddd d mmmm yyyy h:nn am/pm"},
        {F::iptfPrice32nds, 3, SIG, 1, 100.5, "100.160", "100.160"},
        {F::iptfPrice32nds, 3, SIG, 1, 100.515625, "100.164", "100.164"},
        {F::iptfPrice32nds, 3, SIG, 1, 99.999, "100.000", "100.000"},
        {F::iptfPrice32nds, 3, SIG, 1, 0.998, "1.000", "1.000"},
        {F::iptfPrice32nds, 3, SIG, 1, -100.5, "-100.160", "-100.160"},
        {F::iptfPrice32nds, 3, SIG, 1, -0.5, "-0.160", "-0.160"},
        {F::iptfPrice32nds, 3, SIG, 1, -0.0001, "0.000", "0.000"},
        {F::iptfThousands, 3, SIG, 120, 1234567, "1,234,567", "1.234.567"},
        {F::iptfThousands, 3, SIG, 0.5, -1234.5, "-1,234.500", "-1.234,500"},
        {F::iptfThousands, 3, SIG, 120, -100, "-100", "-100"},
        {F::iptfThousands, 3, SIG, 120, 999999, "999,999", "999.999"},
    };
    for (const Row& r : rows) {
        for (bool comma : {false, true}) {
            TgPlotAxisFormat f;
            f.Style = r.style;
            f.Precision = r.precision;
            f.PrecisionStyle = r.precisionStyle;
            f.Span = r.span;
            f.DateTimeFormat = r.dateTimeFormat;
            if (comma)
                f.Separators = {',', '.'};
            EXPECT_EQ(f.Format(r.value), comma ? r.commaText : r.dotText)
                << "style " << int(r.style) << " value " << r.value << (comma ? " comma" : " dot");
        }
    }
}

TEST(gPlotAxisFormat, LogScaleValuesUseTheLabelPrecision) {
    TgPlotAxisFormat f;
    f.ScaleType = TgPlotScaleType::ipstLog10;
    f.Precision = 9; // the caller's precision is not used on a log scale
    EXPECT_EQ(f.Format(1000), "1000");
    EXPECT_EQ(f.Format(0.01), "0.0100");
    EXPECT_EQ(f.Format(0), "Unknown");
    EXPECT_EQ(f.Format(-5), "Unknown");
    f.LabelsPrecisionStyle = FIX;
    f.LabelsPrecision = 1;
    EXPECT_EQ(f.Format(1000), "1000.0");
}

TEST(gPlotAxisFormat, FailuresAndMinimumLength) {
    TgPlotAxisFormat f;
    EXPECT_EQ(f.Format(std::numeric_limits<double>::quiet_NaN()), "Error");
    f.Style = F::iptfDateTime;
    EXPECT_EQ(f.Format(1e300), "Error");

    EXPECT_EQ(TgPlotAxisFormat::Decimals(3, SIG, 120), 0);
    EXPECT_EQ(TgPlotAxisFormat::Decimals(3, SIG, 0.5), 3);
    EXPECT_EQ(TgPlotAxisFormat::Decimals(3, SIG, 0.05), 4);
    EXPECT_EQ(TgPlotAxisFormat::Decimals(3, SIG, 0), 1);
    EXPECT_EQ(TgPlotAxisFormat::Decimals(0, SIG, 0.5), 0);

    double minLength = 5;
    TgPlotAxisFormat::AdjustMinLength("-100.25", minLength, false);
    EXPECT_EQ(minLength, 5);
    TgPlotAxisFormat::AdjustMinLength("-100.25", minLength, true);
    EXPECT_EQ(minLength, 7);
    TgPlotAxisFormat::AdjustMinLength("1", minLength, true);
    EXPECT_EQ(minLength, 7);
}
