#include "platform/core/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kv {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
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

std::optional<double> ParseDouble(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        // from_chars takes a minus of its own; a second sign is no number.
        if (!text.empty() && text.front() == '-')
            return std::nullopt;
    }
    if (text.empty())
        return std::nullopt;
    double value = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<long long> ParseInt(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        // from_chars takes a minus of its own; a second sign is no number.
        if (!text.empty() && text.front() == '-')
            return std::nullopt;
    }
    if (text.empty())
        return std::nullopt;
    long long value = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace kv
