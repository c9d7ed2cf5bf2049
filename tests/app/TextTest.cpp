// The main window's texts: the lookup in the layout's two tables, the fallbacks, and the language pass
// over every caption of the window.

#include "tests/app/MainWindowFixture.h"

#include "app/FMain.h"
#include "app/Registration.h"
#include "app/SingleInstance.h"
#include "app/TimerComponent.h"
#include "controls/PeqBandTable.h"
#include "panels/PkBmpButton.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdEdits.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

using namespace kv;

namespace {

class TextTest : public MainWindowFixture {
protected:
    std::string CaptionOf(const std::string& name) {
        TComponent* c = main->FindComponent(name);
        if (auto* item = dynamic_cast<TMenuItem*>(c))
            return item->Caption();
        if (auto* control = dynamic_cast<TControl*>(c))
            return control->Caption();
        ADD_FAILURE() << "no control " << name;
        return {};
    }
    void Choose(const char* item) { main->ChineseSimplifiedClick(&Item(item)); }
    TMenuItem& Item(const char* name) {
        auto* item = main->Find<TMenuItem>(name);
        if (!item)
            throw std::runtime_error(std::string("no menu item ") + name);
        return *item;
    }

};

// Every name the language pass composes, in its order; a missing one would end the pass there.
std::vector<std::string> LanguagePassNames() {
    std::vector<std::string> names = {"File",
                                      "Open",
                                      "Save",
                                      "Upload",
                                      "Download",
                                      "FactoryDefault",
                                      "Exit",
                                      "BlockDiagram",
                                      "Connected",
                                      "Connect",
                                      "ConnectHelp",
                                      "Lock",
                                      "LockSetup",
                                      "SettingID",
                                      "NetworkSetup",
                                      "TestTone",
                                      "Link",
                                      "Copy",
                                      "ChNameList",
                                      "LanguageSel",
                                      "ChineseSimplified",
                                      "ChineseTraditional",
                                      "English",
                                      "Help",
                                      "Rs232Code",
                                      "About",
                                      "pkbMenuLink",
                                      "lPreset",
                                      "lAddress",
                                      "bStore",
                                      "bRecall"};
    const std::vector<std::string> inputs = {"InA", "InB"}, outputs = {"Out1", "Out2", "Out3", "Out4"};
    for (const auto* group : {&inputs, &outputs})
        for (const std::string& s : *group) {
            names.push_back("pkbMuteBackup" + s);
            names.push_back("pkbPhaseBackup" + s);
        }
    for (const char* n :
         {"lbGainInput", "lbDelayInput", "lbGainOutput", "lbDelayOutput", "lbDelayUnit", "lbFftDelayIn",
          "lbFftDelayOut", "pkbUnit0", "pkbUnit1", "pkbUnit2", "lbFftGainIn", "lbFftGainOut"})
        names.push_back(n);
    const std::vector<std::string> common = {
        "lbFftParam",   "lbGain",          "pkbMute",       "pkbPhase",      "lbEqParam",
        "lbEqFreq",     "lbEqBw",          "lbEqGain",      "lbEq",          "lbLowCutFreq",
        "lbLowCutSlop", "pkbLowCutBypass", "lbHighCutFreq", "lbHighCutSlop", "pkbHighCutBypass"};
    for (const std::string& s : inputs) {
        for (const std::string& c : common)
            names.push_back(c + s);
        for (const char* c :
             {"lbGateThreshold", "lbGateAttack", "lbGateRelease", "lbGateHold", "ldbEqShowAll", "ldbEqReset",
              "ldbEqBypass", "ldbEqResetGeq", "ldbEqBypassGeq", "peqPeq"})
            names.push_back(c + s);
    }
    names.push_back("lbGateName");
    for (const std::string& s : outputs) {
        for (const std::string& c : common)
            names.push_back(c + s);
        for (const char* c : {"ldbEqShowAll", "ldbEqReset", "ldbEqBypass", "lbCompRatio", "lbCompThreshold",
                              "lbCompAttack", "lbCompRelease", "lbCompKnee", "lbLimitThreshold",
                              "lbLimitAttack", "lbLimitRelease", "lbLimitKnee", "peqPeq"})
            names.push_back(c + s);
    }
    names.push_back("lbCompName");
    names.push_back("lbLimitName");
    return names;
}

TEST_F(TextTest, LookupReadsTheCurrentLanguagesTableAndFallsBackToEnglish) {
    struct Case {
        const char* key;
        const char* english;
        const char* chinese;
    } cases[] = {
        {"SID_LANGUAGE", "语言", "Language"}, // each language names the menu in the other one
        {"SID_EXIT", "Exit", "取消"},         // the first of a doubled key
        {"sid_number", "Number :", "ID 位址:"},
        {"SID_PARAM_KEY", "Frequency  ( ← / → )      Q(＋/－)     Gain (  ↑ / ↓  )",
         "频率 ( ← / → )     频宽(＋/－)     增益 (  ↑ / ↓  )"},
        {"SID_NO_SUCH_KEY", "// English", "// Simplified Chinese"}, // a missing key: the first line
    };
    EXPECT_EQ(main->LanguageName(), "English");
    for (const Case& c : cases)
        EXPECT_EQ(main->GetLangText(c.key), c.english) << c.key;
    Choose("ChineseSimplified");
    EXPECT_EQ(main->LanguageName(), "ChineseGB");
    for (const Case& c : cases)
        EXPECT_EQ(main->GetLangText(c.key), c.chinese) << c.key;
    // Traditional Chinese has no table: English, never empty texts.
    Choose("ChineseTraditional");
    EXPECT_EQ(main->LanguageName(), "ChineseBIG5");
    for (const Case& c : cases)
        EXPECT_EQ(main->GetLangText(c.key), c.english) << c.key;
    EXPECT_EQ(CaptionOf("File"), "File");
    EXPECT_EQ(CaptionOf("lbLimitName"), "Out 1  Peak Limit");

    // A key on the table's last line has no text line after it.
    auto* memo = main->Find<TMemo>("moEnglish");
    ASSERT_NE(memo, nullptr);
    memo->Lines()->Add("SID_TAIL");
    Choose("English");
    EXPECT_EQ(main->GetLangText("SID_TAIL"), "");
}

TEST_F(TextTest, StartsInEnglishWithEveryCaptionOfThePass) {
    std::string missing;
    for (const std::string& name : LanguagePassNames())
        if (!main->FindComponent(name))
            missing += name + " ";
    EXPECT_EQ(missing, "") << "the language pass stops at the first of these";

    struct Case {
        const char* control;
        const char* english;
        const char* chinese;
    } cases[] = {
        {"File", "File", "文件"},
        {"Connected", "Connect", "连接机器"},
        {"LanguageSel", "语言", "Language"},
        {"pkbMenuLink", "OffLine", "未连机"},
        {"bRecall", "Recall", "从机器调出"},
        {"pkbPhaseBackupOut4", "Normal", "正相"},
        {"pkbUnit2", "ft", "英寸"},
        {"lbEqInB",
         " PEQ       Frequency              Q                    Gain                 Type                "
         "Bypass",
         " 均衡        頻率                  Q值                 增益                 類型                 "
         "旁路"},
        {"lbGateHoldInB", "Hold", "保持"},
        {"lbCompKneeOut4", "Knee", "拐点"},
        // The dynamics page titles keep their channel part.
        {"lbGateName", "In 1  Gate", "In 1  噪声门"},
        {"lbCompName", "Out 1  RMS Compressor", "Out 1  均值压缩器"},
        {"lbLimitName", "Out 1  Peak Limit", "Out 1  峰值限幅器"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CaptionOf(c.control), c.english) << c.control;
    auto* peq = main->Find<TPeqBandTable>("peqPeqOut4");
    ASSERT_NE(peq, nullptr);
    EXPECT_EQ(peq->TypeNames().at(3), "LP -6dB");

    Choose("ChineseSimplified");
    EXPECT_TRUE(Item("ChineseSimplified").Checked());
    EXPECT_FALSE(Item("English").Checked());
    EXPECT_FALSE(Item("ChineseTraditional").Checked());
    for (const Case& c : cases)
        EXPECT_EQ(CaptionOf(c.control), c.chinese) << c.control;
    EXPECT_EQ(peq->TypeNames().at(3), "高切-6dB");
}

TEST_F(TextTest, PhaseButtonsShowTheirStateWhenThePassRuns) {
    auto* phase = main->Find<TPkBmpButton>("pkbPhaseInB");
    ASSERT_NE(phase, nullptr);
    phase->SetGroupIndex(99); // a lone toggle, so that Down sticks
    phase->SetAllowAllUp(true);
    phase->SetDown(true);
    main->ApplyLanguage();
    EXPECT_EQ(phase->Caption(), "Inverse");
    phase->SetDown(false);
    Choose("ChineseSimplified");
    EXPECT_EQ(phase->Caption(), "正相");
}

TEST_F(TextTest, TheTickedLanguageChangesNothingAndAMissingControlEndsThePass) {
    Item("File").SetCaption("changed");
    Choose("English"); // already ticked
    EXPECT_EQ(CaptionOf("File"), "changed");

    // Without lbDelayUnit the pass sets what comes before it and nothing after.
    delete main->Find<TControl>("lbDelayUnit");
    Choose("ChineseSimplified");
    EXPECT_EQ(CaptionOf("File"), "文件");
    EXPECT_EQ(CaptionOf("lbDelayOutput"), "输出");
    EXPECT_EQ(CaptionOf("lbFftDelayIn"), "Input Delay");
    EXPECT_EQ(CaptionOf("lbLimitName"), "Out 1  Peak Limit");

    // A language item of another Tag only runs the pass again, in the language in force.
    TMenuItem* item = &Item("ChineseTraditional");
    item->SetTag(7);
    Item("File").SetCaption("changed");
    main->ChineseSimplifiedClick(item);
    EXPECT_EQ(main->LanguageName(), "ChineseGB");
    EXPECT_EQ(CaptionOf("File"), "文件");
}

} // namespace
