#include "app/LangTables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace kv {
namespace {

// Every key the editor's texts are looked up by.
const std::vector<std::string> kKeys = {"SID_FILE",
                                        "SID_OPEN",
                                        "SID_SAVE",
                                        "SID_UPLOAD",
                                        "SID_DOWNLOAD",
                                        "SID_RETRUN_FACTORY",
                                        "SID_EXIT",
                                        "SID_SET",
                                        "SID_BLOCK",
                                        "SID_DISCONNECT",
                                        "SID_CONNECT",
                                        "SID_CONNECT_HELP",
                                        "SID_LOCK",
                                        "SID_LOCK_SETUP",
                                        "SID_SET_ID_TITLE",
                                        "SID_INPUT_ID",
                                        "SID_SET_ID",
                                        "SID_ID_NUMBER_ERROR",
                                        "SID_SET_NETWORK",
                                        "SID_MANU_NETWORK",
                                        "SID_AUTO_NETWORK",
                                        "SID_IP_ADDRESS",
                                        "SID_NUMBER",
                                        "SID_CH_NAME_LIST",
                                        "SID_TEST_TONE",
                                        "SID_TEST_TITLE",
                                        "SID_ANALOG_IN",
                                        "SID_PINK_IN",
                                        "SID_WHITE_IN",
                                        "SID_SINE_IN",
                                        "SID_LINK",
                                        "SID_LINK_TITLE",
                                        "SID_COPY",
                                        "SID_COPY_TITLE",
                                        "SID_LANGUAGE",
                                        "SID_CHINESE_SIMPLIFIED",
                                        "SID_CHINESE_TRODITIONAL",
                                        "SID_ENGLISH",
                                        "SID_HELP",
                                        "SID_INFRARED_CODE",
                                        "SID_RS232_CODE",
                                        "SID_ABOUT",
                                        "SID_ONLINE",
                                        "SID_OFFLINE",
                                        "SID_ADDRESS",
                                        "SID_PRESET",
                                        "SID_PST_NAME",
                                        "SID_PST_NUM",
                                        "SID_BT_STORE",
                                        "SID_BT_RECALL",
                                        "SID_CH_NAME",
                                        "SID_PANEL_INA",
                                        "SID_PANEL_INB",
                                        "SID_PANEL_INC",
                                        "SID_PANEL_IND",
                                        "SID_PARAM_KEY",
                                        "SID_GAIN",
                                        "SID_PHASE_ON",
                                        "SID_PHASE_OFF",
                                        "SID_EQ_PARAM",
                                        "SID_EQ_FREQ",
                                        "SID_EQ_BW",
                                        "SID_EQ_GAIN",
                                        "SID_EQ_PARAM_TITLE",
                                        "SID_HPF",
                                        "SID_HLP_SLOP",
                                        "SID_HLP_BYPASS",
                                        "SID_LPF",
                                        "SID_SHOW_ALL_EQ",
                                        "SID_MUTE",
                                        "SID_RESET_EQ",
                                        "SID_BYPASS_EQ",
                                        "SID_IN",
                                        "SID_OUT",
                                        "SID_DELAY_UNIT",
                                        "SID_UNIT_MS",
                                        "SID_UNIT_M",
                                        "SID_UNIT_FT",
                                        "SID_IN_DELAY",
                                        "SID_OUT_DELAY",
                                        "SID_LIMIT",
                                        "SID_GATE",
                                        "SID_GATE_HOLD",
                                        "SID_COMP",
                                        "SID_COMP_THRESHOLD",
                                        "SID_COMP_ATTACK",
                                        "SID_COMP_RELEASE",
                                        "SID_COMP_RATIO",
                                        "SID_COMP_KNEE",
                                        "SID_EQ_TYPE0",
                                        "SID_EQ_TYPE1",
                                        "SID_EQ_TYPE2",
                                        "SID_EQ_TYPE3",
                                        "SID_EQ_TYPE4",
                                        "SID_EQ_TYPE5",
                                        "SID_EQ_TYPE6",
                                        "SID_EQ_TYPE7",
                                        "SID_EQ_TYPE8",
                                        "SID_EQ_BYPASS",
                                        "SID_PROCESS",
                                        "SID_UPLOAD_PRESET",
                                        "SID_DOWNLOAD_PRESET",
                                        "SID_STORE_PRESET",
                                        "SID_LOAD_PRESET",
                                        "SID_UPLOAD_PARAMETER",
                                        "SID_START_SCAN",
                                        "SID_DEMO",
                                        "SID_SCAN_NET",
                                        "SID_SCAN_USB",
                                        "SID_SCAN",
                                        "SID_NO_DEVICE",
                                        "SID_LINK_BROKEN",
                                        "SID_EXIT_QUIT",
                                        "SID_EXIT_OK",
                                        "SID_EXIT_CANCEL",
                                        "SID_PEQRST",
                                        "SID_PEQRST_RESET",
                                        "SID_PEQRST_OK",
                                        "SID_PEQRST_CANCEL",
                                        "SID_NAME",
                                        "SID_RECALL_PRESET",
                                        "SID_SAVE_PRESET",
                                        "SID_CANCEL",
                                        "SID_LOCK_TITLE",
                                        "SID_LOCK_PASSWORD",
                                        "SID_UNLOCK_TITLE",
                                        "SID_UNLOCK_PASSWORD",
                                        "SID_INFO_TITLE",
                                        "SID_INFO_CON_FIRST",
                                        "SID_INFO_NO_SAVE_EXIST",
                                        "SID_INFO_ERROR_CMD",
                                        "SID_INFO_ERROR_FILE",
                                        "SID_INFO_ERROR_UNIT",
                                        "SID_INFO_ERROR_VERSION",
                                        "SID_INFO_ERROR_DOWNLAOD",
                                        "SID_INFO_ERROR_SAVE",
                                        "SID_INFO_DOWNLOAD_INCOMPLETE",
                                        "SID_INFO_LOAD_INCOMPLETE",
                                        "SID_FACTORY_DEFAULT"};

// The keys of a table in order, read the way the table is laid out: comments skipped, each key line
// followed by its text line.
std::vector<std::string> KeyLines(const TStrings& t) {
    std::vector<std::string> keys;
    for (int i = 0; i < t.Count(); ++i) {
        if (t[i].starts_with("//") || (t[i].empty() && i == t.Count() - 1))
            continue;
        keys.push_back(t[i]);
        ++i; // its text
    }
    return keys;
}

TEST(LangTextIn, LookupRules) {
    TStrings t;
    t.SetText("// first\nSID_A\n  two  blanks\nSID_B\nB text\nSID_A\nsecond A\nSID_LAST");
    struct Case {
        const char* key;
        const char* text;
    } cases[] = {
        {"SID_A", "  two  blanks"},  // the first occurrence, blanks kept
        {"sid_b", "B text"},         // letter case ignored
        {"SID_MISSING", "// first"}, // a missing key reads the first line
        {"SID_LAST", ""},            // nothing after the last line
        {"SID_", "// first"},        // never a prefix match
    };
    for (const Case& c : cases)
        EXPECT_EQ(LangTextIn(t, c.key), c.text) << c.key;

    TStrings empty;
    EXPECT_EQ(LangTextIn(empty, "SID_A"), "");
}

TEST(LangTables, ChoosesTheTableByExactLanguageNameAndFallsBackToEnglish) {
    LangTables t;
    EXPECT_EQ(t.GetLangText(kLangEnglish, "SID_A"), ""); // no tables at all
    t.SetTable(kLangEnglish, "// en\nSID_A\nEnglish A\n");
    t.SetTable(kLangChineseGB, "// zh\nSID_A\n中文 A\n");
    EXPECT_EQ(t.GetLangText("English", "SID_A"), "English A");
    EXPECT_EQ(t.GetLangText("ChineseGB", "SID_A"), "中文 A");
    // No table of their own: English, never an empty interface.
    EXPECT_EQ(t.GetLangText("ChineseBIG5", "SID_A"), "English A");
    EXPECT_EQ(t.GetLangText("chinesegb", "SID_A"), "English A");
    EXPECT_EQ(t.GetLangText("", "SID_A"), "English A");
    EXPECT_EQ(t.GetLangText("ChineseBIG5", "SID_NONE"), "// en");
    EXPECT_EQ(t.Table(kLangChineseBIG5), nullptr);
}

class BuiltinTables : public ::testing::Test {
protected:
    LangTables tables = LangTables::Builtin();
};

TEST_F(BuiltinTables, HoldEveryKeyInBothLanguagesAndTheSameKeys) {
    for (std::string_view language : {kLangEnglish, kLangChineseGB}) {
        SCOPED_TRACE(std::string(language));
        const TStrings* t = tables.Table(language);
        ASSERT_NE(t, nullptr);
        ASSERT_GT(t->Count(), 2);
        EXPECT_TRUE((*t)[0].starts_with("//"));
        EXPECT_EQ((*t)[t->Count() - 1], "");

        const std::vector<std::string> keys = KeyLines(*t);
        for (const std::string& k : keys)
            EXPECT_TRUE(k.starts_with("SID_")) << "text out of step near " << k;
        const std::set<std::string> present(keys.begin(), keys.end());
        EXPECT_EQ(present, std::set<std::string>(kKeys.begin(), kKeys.end()));
        // Two keys come twice; every other key once.
        EXPECT_EQ(keys.size(), kKeys.size() + 2);
        for (const std::string& k : kKeys) {
            const std::string text = tables.GetLangText(language, k);
            EXPECT_FALSE(text.empty() || text.starts_with("//") || text.starts_with("SID_")) << k;
        }
    }
}

TEST_F(BuiltinTables, ShowTheTextsExactly) {
    struct Case {
        const char* key;
        const char* english;
        const char* chinese;
    } cases[] = {
        // Each language names the language menu in the other one.
        {"SID_LANGUAGE", "语言", "Language"},
        // Doubled keys: the first entry counts.
        {"SID_EXIT", "Exit", "取消"},
        {"SID_NUMBER", "Number :", "ID 位址:"},
        // The dynamics page titles and the phase buttons.
        {"SID_GATE", "Gate", "噪声门"},
        {"SID_COMP", "RMS Compressor", "均值压缩器"},
        {"SID_LIMIT", "Peak Limit", "峰值限幅器"},
        {"SID_PHASE_ON", "Inverse", "反相"},
        {"SID_PHASE_OFF", "Normal", "正相"},
        // Leading blanks and runs of blanks belong to the text.
        {"SID_INPUT_ID", " Input ID Number", " 输入 ID"},
        {"SID_PARAM_KEY", "Frequency  ( ← / → )      Q(＋/－)     Gain (  ↑ / ↓  )",
         "频率 ( ← / → )     频宽(＋/－)     增益 (  ↑ / ↓  )"},
        {"SID_EQ_PARAM_TITLE",
         " PEQ       Frequency              Q                    Gain                 Type                "
         "Bypass",
         " 均衡        頻率                  Q值                 增益                 類型                 "
         "旁路"},
        {"SID_NO_DEVICE", "No Device found.", "未发现USB硬件，确认进入演示模式。"},
        {"SID_EQ_TYPE3", "LP -6dB", "高切-6dB"},
        {"SID_UNIT_FT", "ft", "英寸"},
        {"SID_FACTORY_DEFAULT", "Are you Sure to Return Factory Default?", "确定要恢复机器出厂设置?"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tables.GetLangText(kLangEnglish, c.key), c.english) << c.key;
        EXPECT_EQ(tables.GetLangText(kLangChineseGB, c.key), c.chinese) << c.key;
        EXPECT_EQ(tables.GetLangText(kLangChineseBIG5, c.key), c.english) << c.key;
    }
}

} // namespace
} // namespace kv
