#include "plot/gPlotAxisFormat.h"

#include "plot/gMath.h"

#include "platform/core/Numbers.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <exception>

namespace kv {

std::vector<std::string> EnumIdents(TgPrecisionStyle) {
    return {"ipsSignificantDigits", "ipsFixedDecimalPoints"};
}

namespace {

// Labels drop the blanks and line ends the formats leave around them.
std::string Trim(std::string_view s) {
    return std::string(TrimOf(s, kBlankTabLineEnds));
}

// printf rounds a value that shows as zero to "-0.00"; a label shows it unsigned.
void DropNegativeZero(std::string& s) {
    if (s.size() > 1 && s[0] == '-' && s.find_first_not_of("0.,", 1) == std::string::npos)
        s.erase(0, 1);
}

// Fixed decimals are capped where a double has no more digits to show.
constexpr int kMaxDecimals = 18;

} // namespace

int TgPlotAxisFormat::Decimals(int precision, TgPrecisionStyle style, double x) {
    if (style == TgPrecisionStyle::ipsFixedDecimalPoints)
        return precision;
    if (precision <= 0)
        return 0;
    const double a = std::fabs(x);
    int r = 0;
    if (a != 0 && std::isfinite(a))
        r = precision - (int(std::trunc(gLog10(a))) + 1);
    if (a < 1)
        r += 1;
    return std::max(r, 0);
}

void TgPlotAxisFormat::AdjustMinLength(const std::string& text, double& minLength, bool autoAdjust) {
    if (autoAdjust && double(text.size()) > minLength)
        minLength = double(text.size());
}

std::string TgPlotAxisFormat::Fixed(double value, int decimals) const {
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    std::string s = buf;
    DropNegativeZero(s);
    if (Separators.Decimal != '.')
        std::replace(s.begin(), s.end(), '.', Separators.Decimal);
    return s;
}

std::string TgPlotAxisFormat::Format(double value) const {
    try {
        return FormatUnguarded(value);
    } catch (const std::exception&) {
        return "Error";
    }
}

std::string TgPlotAxisFormat::FormatUnguarded(double value) const {
    if (!std::isfinite(value))
        return "Error";
    std::string text = "Unknown";
    switch (Style) {
    case TgPlotTextFormat::iptfValue:
        if (ScaleType == TgPlotScaleType::ipstLog10) {
            if (value <= 0)
                return "Unknown";
            int decimals = LabelsPrecision;
            if (LabelsPrecisionStyle != TgPrecisionStyle::ipsFixedDecimalPoints)
                decimals = std::max(LabelsPrecision - 1 - int(std::trunc(gLog10(value))), 0);
            text = Trim(Fixed(value, decimals));
        } else {
            text = Trim(Fixed(value, Decimals(Precision, PrecisionStyle, Span)));
        }
        break;
    case TgPlotTextFormat::iptfExponent: {
        int digits = PrecisionStyle == TgPrecisionStyle::ipsSignificantDigits ? Precision : Precision + 1;
        digits = std::clamp(digits, 1, kMaxDecimals);
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*E", digits - 1, value);
        std::string s = buf;
        // printf writes at least two exponent digits; the label form has at least three.
        const auto e = s.find('E');
        std::string mantissa = s.substr(0, e);
        const char sign = s[e + 1];
        std::string exponent = s.substr(e + 2);
        while (exponent.size() < 3)
            exponent.insert(0, "0");
        if (Separators.Decimal != '.')
            std::replace(mantissa.begin(), mantissa.end(), '.', Separators.Decimal);
        text = Trim(mantissa + "E" + sign + exponent);
        break;
    }
    case TgPlotTextFormat::iptfPrefix: {
        static const char* const kPrefixes[] = {"y", "z", "a", "f", "p", "n", "?", "m", "",
                                                "K", "M", "G", "T", "P", "E", "Z", "Y"};
        const int e = value == 0 ? 0 : 3 * int(std::trunc(gLog10(std::fabs(value)) / 3));
        const double s = value / gPower(10, e);
        const int decimals = std::clamp(Decimals(Precision, PrecisionStyle, s), 0, kMaxDecimals);
        if (e >= -24 && e <= 24)
            text = Trim(Fixed(s, decimals)) + kPrefixes[(e + 24) / 3];
        if (Span > 1e-10 && value > -1e-12 && value < 1e-12)
            text = decimals > 0
                       ? "0" + std::string(1, Separators.Decimal) + std::string(std::size_t(decimals), '0')
                       : "0";
        break;
    }
    case TgPlotTextFormat::iptfDateTime:
        if (!DateTimeFormat.empty() && std::toupper(static_cast<unsigned char>(DateTimeFormat[0])) == 'J') {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.0f", std::trunc(value));
            text = Trim(std::string(buf) + " " + gFormatPlotDateTime(DateTimeFormat.substr(1), value));
        } else {
            text = Trim(gFormatPlotDateTime(DateTimeFormat, value));
        }
        break;
    case TgPlotTextFormat::iptfPrice32nds: {
        // Formatted on the magnitude so a negative price keeps its sign in front of the whole number.
        const double a = std::fabs(value) + 1.0 / 512;
        double whole = std::trunc(a);
        int n = gRoundPixels((a - whole) * 1024);
        if (n >= 1024) { // rounded up to the next whole number
            n -= 1024;
            whole += 1;
        }
        char buf[400];
        std::snprintf(buf, sizeof buf, "%.0f.%02d%d", whole, n / 32, (n % 32) / 4);
        text = buf;
        if (value < 0 && !(whole == 0 && n / 4 == 0))
            text.insert(0, "-");
        break;
    }
    case TgPlotTextFormat::iptfThousands: {
        const int decimals = Decimals(Precision, PrecisionStyle, Span);
        std::string s = Fixed(value, decimals);
        const bool negative = !s.empty() && s[0] == '-';
        if (negative)
            s.erase(0, 1);
        auto end = s.find(Separators.Decimal);
        if (decimals <= 0 || end == std::string::npos)
            end = s.size();
        for (auto i = std::ptrdiff_t(end) - 3; i > 0; i -= 3)
            s.insert(std::size_t(i), 1, Separators.Thousands);
        text = Trim((negative ? "-" : "") + s);
        break;
    }
    }
    return text;
}

namespace {

const char* const kMonthShort[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kMonthLong[] = {"January", "February", "March",     "April",   "May",      "June",
                                  "July",    "August",   "September", "October", "November", "December"};
const char* const kDayShort[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kDayLong[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

std::string Padded(long long v, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", width, v);
    return buf;
}

} // namespace

std::string gFormatPlotDateTime(const std::string& format, double value) {
    if (!std::isfinite(value) || std::fabs(value) > 1e9)
        throw EKvError("Invalid argument to date encode");
    const double days = std::trunc(value);
    long long ms = std::llround(std::fabs(value - days) * 86400000.0);
    ms = std::min(ms, 86400000LL - 1);
    const detail::TgCivilDate c = detail::DateOf(days);
    const int hour = int(ms / 3600000), minute = int(ms / 60000 % 60), second = int(ms / 1000 % 60);
    const int milli = int(ms % 1000);

    // 12-hour clock when the format holds am/pm.
    std::string lower = format;
    for (char& ch : lower)
        ch = char(std::tolower(static_cast<unsigned char>(ch)));
    const bool twelve = lower.find("am/pm") != std::string::npos;
    const int shownHour = twelve ? (hour % 12 == 0 ? 12 : hour % 12) : hour;

    std::string out;
    bool lastWasHour = false;
    std::size_t i = 0;
    auto run = [&](char ch) {
        std::size_t n = 0;
        while (i + n < lower.size() && lower[i + n] == ch)
            ++n;
        return n;
    };
    while (i < format.size()) {
        const char ch = lower[i];
        if (ch == '"' || ch == '\'') {
            const auto close = format.find(format[i], i + 1);
            const auto stop = close == std::string::npos ? format.size() : close;
            out += format.substr(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        if (lower.compare(i, 5, "am/pm") == 0) {
            out += hour < 12 ? "am" : "pm";
            i += 5;
            continue;
        }
        const std::size_t n = std::isalpha(static_cast<unsigned char>(ch)) ? run(ch) : 0;
        switch (ch) {
        case 'y':
            out += n <= 2 ? Padded(c.year % 100, 2) : Padded(c.year, 4);
            break;
        case 'm':
            if (lastWasHour && n <= 2)
                out += Padded(minute, n == 2 ? 2 : 1);
            else if (n >= 4)
                out += kMonthLong[c.month - 1];
            else if (n == 3)
                out += kMonthShort[c.month - 1];
            else
                out += Padded(c.month, int(n));
            break;
        case 'd':
            if (n >= 4)
                out += kDayLong[c.weekday - 1];
            else if (n == 3)
                out += kDayShort[c.weekday - 1];
            else
                out += Padded(c.day, int(n));
            break;
        case 'h':
            out += Padded(shownHour, n >= 2 ? 2 : 1);
            break;
        case 'n':
            out += Padded(minute, n >= 2 ? 2 : 1);
            break;
        case 's':
            out += Padded(second, n >= 2 ? 2 : 1);
            break;
        case 'z':
            out += Padded(milli, n >= 3 ? 3 : 1);
            break;
        default:
            out += format[i];
            ++i;
            continue;
        }
        lastWasHour = ch == 'h';
        i += n;
    }
    return out;
}

} // namespace kv
