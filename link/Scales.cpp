#include "link/Scales.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <string_view>

#include "platform/core/CodePage.h"
#include "platform/core/Numbers.h"

namespace {

// An already truncated value as int: saturates at the int range and maps NaN to 0, where a plain cast
// would be undefined (a frequency or Q of 0 reaches here as an infinity).
int ToInt(double whole) {
    if (std::isnan(whole))
        return 0;
    if (whole >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (whole <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(whole);
}

} // namespace

int FreqToIndex(double hz) {
    const double a = std::log(hz * 0.001) / std::log(FREQ_STEP_RATIO) + 170.0;
    const double whole = std::trunc(a);
    // An exact half step rounds down.
    return ToInt(a - whole > 0.5 ? whole + 1.0 : whole);
}

double IndexToFreq(int index) {
    return 1000.0 * std::pow(FREQ_STEP_RATIO, index - 170.0);
}

int GainToIndex(double dB) {
    // The exact product, rounded once to a double: -3.2 and 0.3 land on -32 and 3, not a hair below.
    const double tenths = static_cast<double>(static_cast<long double>(dB) * 10.0L);
    return ToInt(120.0 + std::trunc(tenths));
}

double IndexToGain(int index) {
    return (static_cast<double>(index) - 120.0) * 0.1;
}

int QToIndex(double q) {
    double v = std::log(128.0 / q) / std::log(1.0596002664604984);
    // Half up on the first decimal of v as it prints with 15 significant digits, whatever the sign:
    // 3.47 stays 3, 3.5 becomes 4, -7.71 (Q 200) becomes -6.71. Working on the printed value keeps a v
    // a hair off a tenth or a whole number (3.4999999999999996, 3.9999999999999996) on the digits it
    // shows. Scientific notation only appears for |v| < 1e-4, whose first decimal is 0, and for values
    // without a fraction or not finite, which stay unchanged.
    char text[32];
    const auto printed = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 15);
    const std::string_view digits(text, static_cast<size_t>(printed.ptr - text));
    if (std::isfinite(v) && digits.find('e') == std::string_view::npos) {
        std::from_chars(digits.data(), digits.data() + digits.size(), v);
        const auto point = digits.find('.');
        if (point != std::string_view::npos && point + 1 < digits.size() && digits[point + 1] >= '5')
            v += 1.0;
    }
    return ToInt(100.0 - std::trunc(v));
}

double IndexToQ(int index) {
    const int low = index & 0xFF;
    const double q = 128.0 / std::pow(1.0594, 100 - low);
    return std::round(q * 100.0) / 100.0;
}

int DelayToSamples(double value, int unit) {
    const double speed = SPEED_OF_SOUND;
    switch (unit) {
    case 0:
        return ToInt(std::trunc(value * 96.0));
    case 1:
        return ToInt(std::trunc(value * 96.0 * 1000.0 / speed));
    case 2:
        return ToInt(std::trunc(value * 0.30480370641307 * 96.0 * 1000.0 / speed));
    default:
        return 0;
    }
}

std::string LevelIndexText(int step) {
    if (step >= 0)
        return "+" + kv::FormatFixed(step * 0.1, 1, 3) + "dB";
    // Widened so that the most negative int negates safely.
    const long long m = -static_cast<long long>(step);
    const double value = m > 200 ? static_cast<double>(m - 200) * 0.5 + 20.0 : static_cast<double>(m) * 0.1;
    return "-" + kv::FormatFixed(value, 1, 3) + "dB";
}

std::string ThresholdText(int position) {
    return (position < 0 ? "-" : "+") + kv::FormatFixed(std::abs(position) * 0.5, 1) + "dB";
}

std::string TimeText(int position, bool padded) {
    std::string digits = kv::FormatInt(static_cast<long long>(position) + 1);
    if (padded && digits.size() < 3)
        digits.insert(0, 3 - digits.size(), ' ');
    return digits + "ms";
}

std::string KneeText(int knee) {
    return kv::FormatInt(knee) + "dB";
}

std::string RatioText(int index) {
    if (index < 0 || index > 15)
        return {};
    return index == 15 ? std::string("Limit")
                       : std::string("1:") + COMP_RATIO_TEXT[static_cast<size_t>(index)];
}

std::string DelayText(int samples, int unit) {
    const double ms = samples / 96.0;
    const double metres = samples * static_cast<double>(SPEED_OF_SOUND) / 96.0 / 1000.0;
    switch (unit) {
    case 1:
        return kv::FormatFixed(metres, 3, 4) + " m";
    case 2:
        return kv::FormatFixed(samples * static_cast<double>(SPEED_OF_SOUND) / 96.0 * 3.2808 / 1000.0, 3, 4) +
               " ft";
    default:
        return kv::FormatFixed(ms, 3, 4) + " ms";
    }
}

bool IsNumericText(std::string_view text) {
    for (char c : kv::ToAnsi(text)) {
        if (!((c >= '0' && c <= '9') || c == '.'))
            return false;
    }
    return true;
}

std::string WideToAnsi(std::string_view utf8) {
    return kv::ToAnsi(utf8);
}
