#include <gtest/gtest.h>

#include "platform/core/CodePage.h"

namespace {

TEST(CodePage, ChosenFromLocale) {
    struct Case {
        const char* locale;
        const char* page;
    } cases[] = {
        {"zh_CN.UTF-8", "GBK"},    {"zh_SG", "GBK"}, {"zh_TW.UTF-8", "BIG5"}, {"zh_HK.Big5", "BIG5"},
        {"de_DE.UTF-8", "CP1252"}, {"C", "CP1252"},  {"", "CP1252"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(kv::CodePage::NameForLocale(c.locale), c.page) << c.locale;
}

TEST(CodePage, RoundTripsAndMarksWhatItCannotHold) {
    kv::CodePage cp1252("CP1252");
    EXPECT_EQ(cp1252.FromUtf8("Caf\xC3\xA9 \xE2\x82\xAC"), "Caf\xE9 \x80"); // é and the euro sign
    EXPECT_EQ(cp1252.ToUtf8("Caf\xE9 \x80"), "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(cp1252.FromUtf8("A\xE4\xB8\xADZ"), "A?Z"); // a Chinese character has no place in it
    EXPECT_EQ(cp1252.FromUtf8("A\xFFZ"), "A?Z");         // broken UTF-8 in
    // A cut-off sequence loses only its own bytes, not the characters after it.
    EXPECT_EQ(cp1252.FromUtf8(std::string("\xE4\xB8") + "AB"), "?AB");
    EXPECT_EQ(cp1252.FromUtf8(std::string("x\xF0") + "ab"), "x?ab");

    kv::CodePage gbk("GBK");
    EXPECT_EQ(gbk.FromUtf8("\xE4\xB8\xAD"), "\xD6\xD0"); // 中
    EXPECT_EQ(gbk.ToUtf8("\xD6\xD0"), "\xE4\xB8\xAD");
    EXPECT_EQ(gbk.FromUtf8("x\xE2\x82\xACy").size(), 3u); // the euro sign is one "?" or one byte pair
    EXPECT_EQ(gbk.ToUtf8("\x81\nA"), "?\nA");             // a lead byte without its second byte

    kv::CodePage big5("BIG5");
    EXPECT_EQ(big5.ToUtf8(big5.FromUtf8("\xE4\xB8\xAD\xE6\x96\x87")), "\xE4\xB8\xAD\xE6\x96\x87"); // 中文

    // Zero bytes are carried, not treated as the end of the text.
    EXPECT_EQ(cp1252.FromUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(CodePage, CutNeverSplitsACharacter) {
    kv::CodePage gbk("GBK");
    const std::string zhong = "\xE4\xB8\xAD"; // 中, two bytes in GBK
    struct Case {
        std::string utf8;
        size_t max;
        std::string bytes;
    } cases[] = {
        {"abc" + zhong, 4, "abc"},                         // the pair does not fit in the last byte
        {"abc" + zhong, 5, "abc\xD6\xD0"},
        {zhong + zhong + zhong, 5, "\xD6\xD0\xD6\xD0"},
        {"abcdefgh", 8, "abcdefgh"},
        {"abcdefghij", 8, "abcdefgh"},
        {"", 8, ""},
        {zhong, 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(gbk.FromUtf8Cut(c.utf8, c.max), c.bytes) << c.utf8 << " in " << c.max;
    // In a single-byte page every character is one byte, also the ones it cannot hold.
    EXPECT_EQ(kv::CodePage("CP1252").FromUtf8Cut("Caf\xC3\xA9" + zhong + "xyz", 6), "Caf\xE9?x");
}

TEST(CodePage, SystemPageCanBeReplaced) {
    const std::string before = kv::CodePage::System().Name();
    kv::CodePage::SetSystem("GBK");
    EXPECT_EQ(kv::ToAnsiCut("a\xE4\xB8\xAD", 2), "a");
    kv::CodePage::SetSystem(before);
    EXPECT_EQ(kv::CodePage::System().Name(), before);
}

TEST(CodePage, UnknownPageIsRefused) {
    EXPECT_THROW(kv::CodePage("NO-SUCH-PAGE"), std::runtime_error);
}

} // namespace
