#pragma once
// Numbers as text without the user's locale: the unit's values, files and the band tables always use
// "." as the decimal point.

#include <optional>
#include <string>
#include <string_view>

namespace kv {

// printf's "%.*f": fixed notation with the given number of decimals, at least `width` characters,
// padded with blanks on the left.
std::string FormatFixed(double value, int decimals, int width = 0);

// The old framework's float-to-text formats.
enum class TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// Float to text in a format, with `precision` significant digits and `digits` decimals (fixed,
// number, currency) or exponent digits (general, exponent). General: fixed notation while the
// integer part fits the precision and the value is at least 0.00001, else scientific with at least
// `digits` (at most 4) exponent digits; trailing zeros dropped. Number and currency group thousands
// with ",". "." is the decimal point.
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);

// A decimal integer.
std::string FormatInt(long long value);

// The whole text as a number ("12.5", "-3", "1e3"); leading and trailing blanks are allowed.
// nullopt when it is not a number.
std::optional<double> ParseDouble(std::string_view text);
std::optional<long long> ParseInt(std::string_view text);

} // namespace kv
