#pragma once
// The program's 8-bit text: preset, channel and lock texts travel to the unit and into files in the
// user's single-byte (or double-byte) code page, while the program itself works in UTF-8.

#include <string>
#include <string_view>

namespace kv {

// A conversion between UTF-8 and one code page ("CP1252", "GBK", "BIG5"), done with iconv.
class CodePage {
public:
    explicit CodePage(std::string name);

    const std::string& Name() const { return name_; }

    // UTF-8 to the code page; a character the code page lacks becomes "?".
    std::string FromUtf8(std::string_view utf8) const;
    // Code page to UTF-8; a byte sequence that is not valid in the code page becomes "?".
    std::string ToUtf8(std::string_view bytes) const;
    // UTF-8 to the code page, cut to at most maxBytes at a character boundary: a fixed-size field of the
    // unit never receives half of a double-byte character. The caller pads as its field needs.
    std::string FromUtf8Cut(std::string_view utf8, size_t maxBytes) const;

    // The code page for a locale name such as "zh_CN.UTF-8": GBK for zh_CN and zh_SG, BIG5 for zh_TW and
    // zh_HK, CP1252 for everything else.
    static std::string NameForLocale(std::string_view locale);

    // The code page of this user, chosen once from LC_ALL, LC_CTYPE or LANG.
    static const CodePage& System();
    // Replaces the user's code page (tests run the same texts through CP1252 and GBK).
    static void SetSystem(const std::string& name);

private:
    std::string Convert(std::string_view in, const char* from, const char* to) const;

    std::string name_;
};

// Shorthands on the system code page.
inline std::string ToAnsi(std::string_view utf8) {
    return CodePage::System().FromUtf8(utf8);
}
inline std::string FromAnsi(std::string_view bytes) {
    return CodePage::System().ToUtf8(bytes);
}
inline std::string ToAnsiCut(std::string_view utf8, size_t maxBytes) {
    return CodePage::System().FromUtf8Cut(utf8, maxBytes);
}

} // namespace kv
