// The main window's texts: the lookup in the layout's text tables and the language pass over every
// caption of the window; the information and progress windows the link code shows; the ID/IP menu item.

#include "app/FInformation.h"
#include "app/FMain.h"
#include "app/pages/DynamicsPage.h"
#include "app/FNetworkSetup.h"
#include "app/FProcess.h"
#include "app/LangTables.h"
#include "app/TimerComponent.h"
#include "controls/MyPEQType8.h"
#include "panels/PkBmpButton.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdEdits.h"
#include "styled/StProgressBar.h"

#include <initializer_list>
#include <utility>

using namespace kv;

namespace {

// The tables the program ships, for a lookup before the main window's layout holds its own.
const LangTables& BuiltinTables() {
    static const LangTables tables = LangTables::Builtin();
    return tables;
}

const char* MemoOf(std::string_view language) {
    if (language == kLangEnglish)
        return "moEnglish";
    if (language == kLangChineseGB)
        return "moSimplified";
    if (language == kLangChineseBIG5)
        return "moTraditional";
    return nullptr;
}

using KeyPair = std::pair<const char*, const char*>; // control name (or its stem), key

} // namespace

std::string kv::UiText(std::string_view key) {
    if (::fmMain)
        return ::fmMain->GetLangText(std::string(key));
    return BuiltinTables().GetLangText(kLangEnglish, key);
}

void TfmMain::PublishTexts(TClassBuilder<TfmMain>& b) {
    b.Method<TNotifyEvent>("ChineseSimplifiedClick", &TfmMain::ChineseSimplifiedClick);
    b.Method<TNotifyEvent>("EnglishClick", &TfmMain::EnglishClick);
    b.Method<TNotifyEvent>("NetworkSetupClick", &TfmMain::NetworkSetupClick);
    b.Method<TNotifyEvent>("tmProcessShowTimer", &TfmMain::tmProcessShowTimer);
}

std::string TfmMain::GetLangText(const std::string& key) const {
    const auto memoLines = [this](std::string_view language) -> const TStrings* {
        const char* name = MemoOf(language);
        auto* memo = name ? Find<TMemo>(name) : nullptr;
        return memo && memo->Lines()->Count() > 0 ? memo->Lines() : nullptr;
    };
    // A language without a table of its own (there is no traditional Chinese one) reads English, so
    // the window never goes blank.
    const TStrings* table = memoLines(languageName);
    if (!table)
        table = memoLines(kLangEnglish);
    if (!table) // a layout without its tables
        return BuiltinTables().GetLangText(languageName, key);
    return LangTextIn(*table, key);
}

bool TfmMain::SetCaptionOf(const std::string& name, const std::string& text) {
    TComponent* c = FindComponent(name);
    if (auto* item = dynamic_cast<TMenuItem*>(c))
        item->SetCaption(text);
    else if (auto* control = dynamic_cast<TControl*>(c))
        control->SetCaption(text);
    else
        return false;
    return true;
}

void TfmMain::ApplyLanguage() {
    // Each setter finds its control by name; a name that finds nothing ends the pass there.
    const auto set = [this](const std::string& name, const char* key) {
        return SetCaptionOf(name, GetLangText(key));
    };
    const auto setAll = [&set](const std::string& suffix, std::initializer_list<KeyPair> pairs) {
        for (const auto& [stem, key] : pairs)
            if (!set(stem + suffix, key))
                return false;
        return true;
    };
    const auto phaseKey = [this](const std::string& name) {
        auto* button = Find<TPkBmpButton>(name);
        return button && button->Down() ? "SID_PHASE_ON" : "SID_PHASE_OFF";
    };
    const auto bandTable = [this](const std::string& name) {
        auto* peq = Find<TPeqBandTable>(name);
        if (!peq)
            return false;
        for (int type = 0; type <= 8; ++type)
            peq->SetEqTypeString(GetLangText("SID_EQ_TYPE" + std::to_string(type)), type);
        peq->SetBypassString(GetLangText("SID_EQ_BYPASS"));
        peq->ChangeLanguage();
        return true;
    };
    // The page titles: prefix, channel part, two blanks, the block's text.
    const auto pageTitle = [this](const char* name, const std::string& prefix, const std::string& mark,
                                  const char* key) {
        auto* label = Find<TControl>(name);
        if (!label)
            return false;
        label->SetCaption(prefix + mark + "  " + GetLangText(key));
        return true;
    };
    const char* inputs[] = {"A", "B"};
    const char* outputs[] = {"1", "2", "3", "4"};
    const bool isOnline = IsOnline();

    // Menu items.
    if (!setAll("", {{"File", "SID_FILE"},
                     {"Open", "SID_OPEN"},
                     {"Save", "SID_SAVE"},
                     {"Upload", "SID_UPLOAD"},
                     {"Download", "SID_DOWNLOAD"},
                     {"FactoryDefault", "SID_RETRUN_FACTORY"},
                     {"Exit", "SID_EXIT"},
                     {"BlockDiagram", "SID_BLOCK"},
                     {"Connected", isOnline ? "SID_DISCONNECT" : "SID_CONNECT"},
                     {"Connect", "SID_CONNECT"},
                     {"ConnectHelp", "SID_CONNECT_HELP"},
                     {"Lock", "SID_LOCK"},
                     {"LockSetup", "SID_LOCK_SETUP"},
                     {"SettingID", "SID_SET_ID"},
                     {"NetworkSetup", "SID_SET_NETWORK"},
                     {"TestTone", "SID_TEST_TONE"},
                     {"Link", "SID_LINK"},
                     {"Copy", "SID_COPY"},
                     {"ChNameList", "SID_CH_NAME_LIST"},
                     {"LanguageSel", "SID_LANGUAGE"},
                     {"ChineseSimplified", "SID_CHINESE_SIMPLIFIED"},
                     {"ChineseTraditional", "SID_CHINESE_TRODITIONAL"},
                     {"English", "SID_ENGLISH"},
                     {"Help", "SID_HELP"},
                     {"Rs232Code", "SID_RS232_CODE"},
                     {"About", "SID_ABOUT"}}))
        return;
    // The link button and the preset bar.
    if (!set("pkbMenuLink", isOnline ? "SID_ONLINE" : "SID_OFFLINE"))
        return;
    if (!setAll("", {{"lPreset", "SID_PRESET"},
                     {"lAddress", "SID_ADDRESS"},
                     {"bStore", "SID_BT_STORE"},
                     {"bRecall", "SID_BT_RECALL"}}))
        return;
    // The gain page's channel strips.
    for (const auto& [stem, suffixes] :
         {std::pair{std::string("In"), std::vector<const char*>(std::begin(inputs), std::end(inputs))},
          std::pair{std::string("Out"), std::vector<const char*>(std::begin(outputs), std::end(outputs))}})
        for (const char* s : suffixes) {
            if (!set("pkbMuteBackup" + stem + s, "SID_MUTE"))
                return;
            const std::string phase = "pkbPhaseBackup" + stem + s;
            if (!set(phase, phaseKey(phase)))
                return;
        }
    // Page labels.
    if (!setAll("", {{"lbGainInput", "SID_IN"},
                     {"lbDelayInput", "SID_IN"},
                     {"lbGainOutput", "SID_OUT"},
                     {"lbDelayOutput", "SID_OUT"},
                     {"lbDelayUnit", "SID_DELAY_UNIT"},
                     {"lbFftDelayIn", "SID_IN_DELAY"},
                     {"lbFftDelayOut", "SID_OUT_DELAY"},
                     {"pkbUnit0", "SID_UNIT_MS"},
                     {"pkbUnit1", "SID_UNIT_M"},
                     {"pkbUnit2", "SID_UNIT_FT"},
                     {"lbFftGainIn", "SID_IN"},
                     {"lbFftGainOut", "SID_OUT"}}))
        return;
    // The controls every channel page has, by the stem before "In"/"Out" and the channel letter.
    const std::initializer_list<KeyPair> channelPage = {
        {"lbFftParam", "SID_PARAM_KEY"},
        {"lbGain", "SID_GAIN"},
        {"pkbMute", "SID_MUTE"},
        {"lbEqParam", "SID_EQ_PARAM"},
        {"lbEqFreq", "SID_EQ_FREQ"},
        {"lbEqBw", "SID_EQ_BW"},
        {"lbEqGain", "SID_EQ_GAIN"},
        {"lbEq", "SID_EQ_PARAM_TITLE"},
        {"lbLowCutFreq", "SID_HPF"},
        {"lbLowCutSlop", "SID_HLP_SLOP"},
        {"pkbLowCutBypass", "SID_HLP_BYPASS"},
        {"lbHighCutFreq", "SID_LPF"},
        {"lbHighCutSlop", "SID_HLP_SLOP"},
        {"pkbHighCutBypass", "SID_HLP_BYPASS"},
    };
    const auto channel = [&](const std::string& in, const char* letter, std::initializer_list<KeyPair> own) {
        const std::string suffix = in + letter;
        for (const auto& [stem, key] : channelPage) {
            if (!set(stem + suffix, key))
                return false;
            if (std::string_view(stem) == "pkbMute") { // the phase button follows the mute button
                const std::string phase = "pkbPhase" + suffix;
                if (!set(phase, phaseKey(phase)))
                    return false;
            }
        }
        return setAll(suffix, own) && bandTable("peqPeq" + suffix);
    };
    for (const char* s : inputs)
        if (!channel("In", s,
                     {{"lbGateThreshold", "SID_COMP_THRESHOLD"},
                      {"lbGateAttack", "SID_COMP_ATTACK"},
                      {"lbGateRelease", "SID_COMP_RELEASE"},
                      {"lbGateHold", "SID_GATE_HOLD"},
                      {"ldbEqShowAll", "SID_SHOW_ALL_EQ"},
                      {"ldbEqReset", "SID_RESET_EQ"},
                      {"ldbEqBypass", "SID_BYPASS_EQ"},
                      {"ldbEqResetGeq", "SID_RESET_EQ"},
                      {"ldbEqBypassGeq", "SID_BYPASS_EQ"}}))
            return;
    // The language pass numbers the gate's input ("In 1"), where the curve redraws name it ("In A").
    const std::string gateMark = std::to_string(Dynamics().GatePageChannel() + 1);
    if (!pageTitle("lbGateName", "In ", gateMark, "SID_GATE"))
        return;
    for (const char* s : outputs)
        if (!channel("Out", s,
                     {{"ldbEqShowAll", "SID_SHOW_ALL_EQ"},
                      {"ldbEqReset", "SID_RESET_EQ"},
                      {"ldbEqBypass", "SID_BYPASS_EQ"},
                      {"lbCompRatio", "SID_COMP_RATIO"},
                      {"lbCompThreshold", "SID_COMP_THRESHOLD"},
                      {"lbCompAttack", "SID_COMP_ATTACK"},
                      {"lbCompRelease", "SID_COMP_RELEASE"},
                      {"lbCompKnee", "SID_COMP_KNEE"},
                      {"lbLimitThreshold", "SID_COMP_THRESHOLD"},
                      {"lbLimitAttack", "SID_COMP_ATTACK"},
                      {"lbLimitRelease", "SID_COMP_RELEASE"},
                      {"lbLimitKnee", "SID_COMP_KNEE"}}))
            return;
    // The dynamics page titles keep their channel part.
    if (!pageTitle("lbGateName", "In ", gateMark, "SID_GATE") ||
        !pageTitle("lbCompName", "Out ", std::to_string(Dynamics().CompPageChannel() - 1), "SID_COMP"))
        return;
    pageTitle("lbLimitName", "Out ", std::to_string(Dynamics().LimitPageChannel() - 1), "SID_LIMIT");
}

namespace {
// The language a menu item's Tag chooses; empty for any other Tag.
std::string_view LanguageOfTag(std::intptr_t tag) {
    switch (tag) {
    case 0:
        return kLangChineseGB;
    case 1:
        return kLangChineseBIG5;
    case 2:
        return kLangEnglish;
    default:
        return {};
    }
}
} // namespace

void TfmMain::ChineseSimplifiedClick(TObject* sender) {
    auto* item = dynamic_cast<TMenuItem*>(sender);
    const std::string_view language = item ? LanguageOfTag(item->Tag()) : std::string_view();
    const auto repaintBands = [this] {
        if (auto* peq = Find<TControl>("peqPeqInA"))
            peq->Invalidate();
    };
    if (language.empty()) {
        ApplyLanguage();
        repaintBands();
        return;
    }
    languageName = std::string(language);
    if (item->Checked())
        return;
    for (const char* name : {"ChineseSimplified", "ChineseTraditional", "English"})
        if (auto* other = Find<TMenuItem>(name))
            other->SetChecked(other == item);
    ApplyLanguage();
    repaintBands();
}

void TfmMain::EnglishClick(TObject* sender) {
    ChineseSimplifiedClick(sender);
}

void TfmMain::NetworkSetupClick(TObject*) {
    if (!fmNetworkSetup)
        return;
    // Online is what the link button says.
    auto* link = Find<TControl>("pkbMenuLink");
    fmNetworkSetup->Execute(link && link->Caption() == GetLangText("SID_ONLINE"));
}

void TfmMain::tmProcessShowTimer(TObject*) {
    if (auto* timer = Find<kv::TTimer>("tmProcessShow"))
        timer->SetEnabled(false);
    ShowProgressModal();
}

void TfmMain::ShowInformation(const std::string& text) {
    if (fmInformation)
        fmInformation->ShowMessage(text);
}

// A progress window already up (a download shows it without blocking) is not shown a second time.
void TfmMain::ShowProgressModal() {
    if (fmProcess && !fmProcess->Visible())
        fmProcess->ShowModal();
}

// Shown without blocking, as the download runs with the main window disabled.
void TfmMain::ShowProgress(const std::string& status, int position, int max) {
    if (!fmProcess)
        return;
    fmProcess->SetStatus(status);
    if (fmProcess->ProgressBar) {
        fmProcess->ProgressBar->SetMax(max);
        fmProcess->ProgressBar->SetPosition(position);
    }
    fmProcess->Show();
}
