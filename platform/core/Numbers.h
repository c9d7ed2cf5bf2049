#pragma once
// Numbers as text without the user's locale: the unit's values, files and the band tables always use
// "." as the decimal point. Also the small rounding and trimming rules that the readers and the
// drawing code share.

#include <cmath>
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

// Round half to even (the default rounding mode), as the drawing code places pixels. A double comes
// in unchanged, so both float widths round alike.
inline int RoundEven(long double v) {
    return static_cast<int>(std::nearbyint(v));
}

// The text without the characters of `drop` at either end. The readers drop different sets, and the
// files each reads rely on its own, so every caller names its set.
std::string_view TrimOf(std::string_view text, std::string_view drop);
// Blank and tab: around numbers in text.
inline constexpr std::string_view kBlankTab = " \t";
// Blank, tab and carriage return: around the lines and names of an INI file.
inline constexpr std::string_view kBlankTabCr = " \t\r";
// Blank, tab and the line ends: around the plot's labels and its editors' entries.
inline constexpr std::string_view kBlankTabLineEnds = " \t\r\n";
// Every control character and the blank (bytes 0..32): around the values of a layout.
inline constexpr std::string_view kControlsAndBlank{
    "\0\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f"
    "\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1a\x1b\x1c\x1d\x1e\x1f ",
    33};

} // namespace kv
