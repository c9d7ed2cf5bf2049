#pragma once
// Value texts of a plot axis (tick labels, data-cursor readouts, legend columns) in the six text
// formats, kept apart from the axis object so the texts can be checked on numbers. The separators
// come from the user's locale, which the axis passes in.

#include "plot/gPlotAxisScale.h"

#include <string>
#include <vector>

namespace kv {

enum class TgPrecisionStyle { ipsSignificantDigits, ipsFixedDecimalPoints };
std::vector<std::string> EnumIdents(TgPrecisionStyle);

struct TgPlotNumberSeparators {
    char Decimal = '.';
    char Thousands = ',';
};

class TgPlotAxisFormat {
public:
    TgPlotTextFormat Style = TgPlotTextFormat::iptfValue;
    std::string DateTimeFormat = "hh:nn:ss";
    int Precision = 3;
    TgPrecisionStyle PrecisionStyle = TgPrecisionStyle::ipsSignificantDigits;
    // The axis's range and its label precision, which value texts on a log scale always use.
    double Span = 100;
    TgPlotScaleType ScaleType = TgPlotScaleType::ipstLinear;
    int LabelsPrecision = 3;
    TgPrecisionStyle LabelsPrecisionStyle = TgPrecisionStyle::ipsSignificantDigits;
    TgPlotNumberSeparators Separators;

    // The text of Value; "Unknown" for a value the format cannot show, "Error" when formatting fails.
    std::string Format(double value) const;

    // Decimals for a value text of precision P: P fixed decimals, or enough for P significant digits
    // of X (one decimal for X = 0).
    static int Decimals(int precision, TgPrecisionStyle style, double x);
    // A longer text raises MinLength to its length when adjusting is on.
    static void AdjustMinLength(const std::string& text, double& minLength, bool autoAdjust);

private:
    std::string Fixed(double value, int decimals) const;
    std::string FormatUnguarded(double value) const;
};

// Date-time number (days since 30 December 1899, time as fraction) in the date-time format language:
// yyyy yy m mm mmm mmmm d dd ddd dddd h hh n nn s ss z zzz am/pm, text in quotes kept as written.
std::string gFormatPlotDateTime(const std::string& format, double value);

} // namespace kv
