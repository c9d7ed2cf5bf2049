#include "platform/core/CodePage.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <iconv.h>
#include <stdexcept>

namespace kv {

namespace {

// Length of the UTF-8 sequence that starts with byte c (1 for a stray byte, so we always advance).
size_t Utf8Length(unsigned char c) {
    if (c >= 0xF0 && c <= 0xF4)
        return 4;
    if (c >= 0xE0)
        return c <= 0xEF ? 3 : 1;
    if (c >= 0xC2 && c <= 0xDF)
        return 2;
    return 1;
}

struct Iconv {
    iconv_t cd;
    Iconv(const char* to, const char* from) : cd(iconv_open(to, from)) {
        if (cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("no conversion from ") + from + " to " + to);
    }
    ~Iconv() { iconv_close(cd); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
};

} // namespace

CodePage::CodePage(std::string name) : name_(std::move(name)) {
    Iconv check(name_.c_str(), "UTF-8"); // refuse an unknown code page now, not at first use
}

std::string CodePage::Convert(std::string_view in, const char* from, const char* to) const {
    Iconv conv(to, from);
    const bool fromUtf8 = std::string_view(from) == "UTF-8";
    std::string out;
    out.reserve(in.size() * 2 + 4);
    char buffer[256];
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t r = iconv(conv.cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (r != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        // EILSEQ or EINVAL: one character that cannot be converted (or is cut off) becomes "?".
        // Only bytes that can belong to the broken character are taken with it, so that the text after
        // it survives.
        const auto at = [&](size_t i) { return static_cast<unsigned char>(src[i]); };
        size_t skip = 1;
        if (fromUtf8) {
            const size_t len = std::min(Utf8Length(at(0)), srcLeft);
            while (skip < len && at(skip) >= 0x80 && at(skip) <= 0xBF)
                ++skip;
        } else if (name_ != "CP1252" && at(0) >= 0x81 && srcLeft >= 2 && at(1) >= 0x40) {
            skip = 2; // a bad double-byte pair counts as one character
        }
        src += skip;
        srcLeft -= skip;
        out.push_back('?');
        iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

std::string CodePage::FromUtf8(std::string_view utf8) const {
    return Convert(utf8, "UTF-8", name_.c_str());
}

std::string CodePage::ToUtf8(std::string_view bytes) const {
    return Convert(bytes, name_.c_str(), "UTF-8");
}

std::string CodePage::FromUtf8Cut(std::string_view utf8, size_t maxBytes) const {
    // Character by character, so that the cut falls between two characters of the code page.
    std::string out;
    size_t i = 0;
    while (i < utf8.size()) {
        size_t len = std::min(Utf8Length(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        const std::string one = FromUtf8(utf8.substr(i, len));
        if (out.size() + one.size() > maxBytes)
            break;
        out += one;
        i += len;
    }
    return out;
}

std::string CodePage::NameForLocale(std::string_view locale) {
    auto starts = [&](std::string_view prefix) { return locale.substr(0, prefix.size()) == prefix; };
    if (starts("zh_CN") || starts("zh_SG"))
        return "GBK";
    if (starts("zh_TW") || starts("zh_HK"))
        return "BIG5";
    return "CP1252";
}

namespace {
CodePage& SystemPage() {
    static CodePage page = [] {
        for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
            const char* v = std::getenv(var);
            if (v && *v)
                return CodePage(CodePage::NameForLocale(v));
        }
        return CodePage("CP1252");
    }();
    return page;
}
} // namespace

const CodePage& CodePage::System() {
    return SystemPage();
}

void CodePage::SetSystem(const std::string& name) {
    SystemPage() = CodePage(name);
}

} // namespace kv
