#include "platform/core/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kv {

namespace {

std::string TrimZeros(std::string s) {
    if (s.find('.') == std::string::npos)
        return s;
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.')
        s.pop_back();
    return s;
}

std::string Scientific(double value, int precision, int digits, bool trim) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", std::max(0, precision - 1), value);
    std::string s(buffer);
    auto e = s.find('e');
    std::string mantissa = s.substr(0, e);
    int exponent = std::atoi(s.c_str() + e + 1);
    if (trim)
        mantissa = TrimZeros(mantissa);
    std::string exp = std::to_string(std::abs(exponent));
    if (static_cast<int>(exp.size()) < digits)
        exp.insert(0, static_cast<std::size_t>(digits) - exp.size(), '0');
    return mantissa + (exponent < 0 ? "E-" : "E+") + exp;
}

std::string Fixed(double value, int decimals) {
    return FormatFixed(value, std::clamp(decimals, 0, 18));
}

std::string Grouped(const std::string& fixed) {
    std::string sign, body = fixed;
    if (!body.empty() && body[0] == '-') {
        sign = "-";
        body.erase(0, 1);
    }
    auto dot = body.find('.');
    std::string whole = body.substr(0, dot), rest = dot == std::string::npos ? "" : body.substr(dot);
    std::string out;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            out += ',';
        out += whole[i];
    }
    return sign + out + rest;
}

} // namespace

std::string FormatFixed(double value, int decimals, int width) {
    std::string text;
    if (std::isnan(value)) {
        text = "nan";
    } else if (std::isinf(value)) {
        text = value < 0 ? "-inf" : "inf";
    } else {
        // Large values with many decimals outgrow any fixed buffer; grow until the text fits.
        text.resize(400);
        for (;;) {
            auto r = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed,
                                   std::max(decimals, 0));
            if (r.ec == std::errc()) {
                text.resize(static_cast<size_t>(r.ptr - text.data()));
                break;
            }
            text.resize(text.size() * 2);
        }
    }
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<size_t>(width) - text.size(), ' ');
    return text;
}

std::string FormatInt(long long value) {
    char buffer[32];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, r.ptr);
}

namespace {

// One number and nothing else but blanks and tabs around it; a plus sign is taken, a second sign is not.
template <class T> std::optional<T> ParseNumber(std::string_view text) {
    text = TrimOf(text, kBlankTab);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        // from_chars takes a minus of its own; a second sign is no number.
        if (!text.empty() && text.front() == '-')
            return std::nullopt;
    }
    if (text.empty())
        return std::nullopt;
    T value = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> ParseDouble(std::string_view text) {
    return ParseNumber<double>(text);
}

std::optional<long long> ParseInt(std::string_view text) {
    return ParseNumber<long long>(text);
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
    precision = std::clamp(precision, 1, 18);
    digits = std::clamp(digits, 0, 18);
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    switch (format) {
    case TFloatFormat::ffGeneral: {
        if (value == 0.0)
            return "0";
        // The exponent after rounding to the precision decides the notation.
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, value);
        int exponent = std::atoi(std::strchr(buffer, 'e') + 1);
        if (exponent >= precision || std::fabs(value) < 0.00001)
            return Scientific(value, precision, std::min(digits, 4), true);
        return TrimZeros(Fixed(value, std::max(0, precision - 1 - exponent)));
    }
    case TFloatFormat::ffExponent:
        return Scientific(value, precision, std::min(digits, 4), false);
    case TFloatFormat::ffFixed:
        return Fixed(value, digits);
    case TFloatFormat::ffNumber:
        return Grouped(Fixed(value, digits));
    case TFloatFormat::ffCurrency:
        return "$" + Grouped(Fixed(value, digits));
    }
    return Fixed(value, digits);
}

std::string_view TrimOf(std::string_view text, std::string_view drop) {
    const auto first = text.find_first_not_of(drop);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(drop) - first + 1);
}

} // namespace kv
