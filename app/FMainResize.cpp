// The main window's layout on resize. The layout is drawn for an outer size of 1118 x 720; a larger
// window hands its extra height to the graphs, meters and lower page areas and its extra width to the
// graphs and the overview, each control by a fixed rule. A smaller window scrolls instead.

#include "app/FMain.h"
#include "app/pages/DelayPage.h"

#include "panels/PkPanel.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "styled/StTrackBar.h"

#include <algorithm>

using namespace kv;

void TfmMain::PublishResize(TClassBuilder<TfmMain>& b) {
    b.Method<TNotifyEvent>("FormResize", &TfmMain::FormResize);
}

namespace {

constexpr int kDesignWidth = 1118, kDesignHeight = 720;

const char* const kSuffixes[6] = {"InA", "InB", "Out1", "Out2", "Out3", "Out4"};

// The shared pages' group pairs.
const char* const kUpperGroups[] = {"pkgFftGain", "pkgFftDelay", "pkgFftComp",  "pkgFftLimit",
                                    "pkgFftGate", "pkgFftGeq",   "pkgFftMatrix"};
const char* const kLowerGroups[] = {"pkgParamGain", "pkgParamDelay", "pkgParamComp",  "pkgParamLimit",
                                    "pkgParamGate", "pkgParamGeq",   "pkgParamMatrix"};

// Meter scale labels, top to bottom: nine marks each. The compressor's and the limiter's share their
// stems with the page word after them.
const char* const kDynamicsMarks[9] = {"lbLimit", "lbClip", "lb12",  "lb5",  "lb0",
                                       "lbN5",    "lbN15",  "lbN30", "lbN60"};
const char* const kGateMarks[9] = {"lbClip", "lb12", "lb5", "lb0", "lbN5", "lbN15", "lbN20", "lbN30", "lbN60"};
// Tops of the marks at the design size; each moves down by k/9 of the extra height (k = 1..9).
constexpr int kSharedDynamicsBase[9] = {22, 45, 68, 91, 115, 138, 161, 184, 208};
constexpr int kGateBase[9] = {36, 59, 82, 105, 129, 152, 175, 198, 222};
constexpr int kOutputBase[9] = {35, 58, 81, 105, 128, 151, 175, 198, 222};

} // namespace

ResizeRules TfmMain::HeightRules(int dH) {
    ResizeRules r;
    r.Add("pkgMain", ResizeSide::Height, dH + 629);
    for (const char* g : kUpperGroups)
        r.Add(g, ResizeSide::Height, dH + 284);
    for (const char* g : kLowerGroups)
        r.Add(g, ResizeSide::Top, dH + 292);
    for (const char* n : {"fftDrawGainIn", "fftDrawGainOut"})
        r.Add(n, ResizeSide::Height, dH + 255);
    for (const char* n : {"plFftDelayIn", "plFftDelayOut"})
        r.Add(n, ResizeSide::Height, dH + 234);
    for (const char* n : {"ipComp", "ipLimit", "ipGate"})
        r.Add(n, ResizeSide::Height, dH + 230);
    for (const char* n : {"plLevelCompOut", "plLevelLimitOut", "plLevelGateIn"})
        r.Add(n, ResizeSide::Height, dH + 247);
    for (const char* n : {"pbLevelCompOut", "pbLevelLimitOut"}) {
        r.Add(n, ResizeSide::Height, 8 * dH / 9 + 185);
        r.Add(n, ResizeSide::Top, dH / 9 + 43);
    }
    for (const char* n : {"pbLimitCompOut", "pbLimitLimitOut"})
        r.Add(n, ResizeSide::Height, dH / 9 + 22);
    r.Add("pbLevelGateIn", ResizeSide::Height, 8 * dH / 9 + 208);
    r.Add("pbLevelGateIn", ResizeSide::Top, dH / 9 + 32);
    r.Add("pbMatrix", ResizeSide::Top, dH / 9 + 52);
    r.Add("pbMatrix", ResizeSide::Height, dH + 178);

    // The scales of the shared dynamics pages (no channel after the page word).
    auto scale = [&](const char* const (&marks)[9], const std::string& tail, const int (&base)[9]) {
        for (int k = 1; k <= 9; ++k)
            r.Add(marks[k - 1] + tail, ResizeSide::Top, k * dH / 9 + base[k - 1]);
    };
    scale(kDynamicsMarks, "CompOut", kSharedDynamicsBase);
    scale(kDynamicsMarks, "LimitOut", kSharedDynamicsBase);
    scale(kGateMarks, "GateIn", kGateBase);

    for (int i = 0; i < 6; ++i) {
        const std::string s = kSuffixes[i];
        const std::string digit = s.substr(s.size() - 1); // the meters carry the letter or digit only
        const bool input = i < 2;
        r.Add("pkgFft" + s, ResizeSide::Height, dH + 284);
        r.Add("fftDraw" + s, ResizeSide::Height, dH + 255);
        if (input) {
            r.Add("pkgFftGeq" + s, ResizeSide::Height, dH + 284);
            r.Add("fftDrawGeq" + s, ResizeSide::Height, dH + 255);
        }
        r.Add("pkgParam" + s, ResizeSide::Top, dH + 292);
        if (input) {
            const int step = dH / 4 * (i + 1);
            r.Add("imDelay" + s, ResizeSide::Top, step + 91 * i + 51);
            r.Add("lbDelayLine" + s, ResizeSide::Top, step + 91 * i + 41);
            r.Add("lbDelayShow" + s, ResizeSide::Top, step + 91 * i + 57);
            r.Add("plMatrix" + s, ResizeSide::Top, step + 110 * i + 70);
            r.Add("plLevelGateIn" + digit, ResizeSide::Height, dH + 247);
            r.Add("pbLevelGateIn" + digit, ResizeSide::Height, dH + 208);
            r.Add("pbLevelGateIn" + digit, ResizeSide::Top, dH / 9 + 32);
            scale(kGateMarks, "Gate" + s, kGateBase);
        } else {
            const int step = dH / 7 * (i - 1);
            r.Add("imDelay" + s, ResizeSide::Top, step + 50 * i - 80);
            r.Add("lbDelayLine" + s, ResizeSide::Top, step + 50 * i - 80);
            r.Add("lbDelayShow" + s, ResizeSide::Top, step + 50 * i - 73);
            r.Add("plMatrix" + s, ResizeSide::Top, step + 57 * i - 74);
            for (const char* n : {"plLevelCompOut", "plLevelLimitOut"})
                r.Add(n + digit, ResizeSide::Height, dH + 247);
            for (const char* n : {"pbLevelCompOut", "pbLevelLimitOut"}) {
                r.Add(n + digit, ResizeSide::Height, 8 * dH / 9 + 185);
                r.Add(n + digit, ResizeSide::Top, dH / 9 + 55);
            }
            for (const char* n : {"pbLimitCompOut", "pbLimitLimitOut"})
                r.Add(n + digit, ResizeSide::Height, dH / 9 + 22);
            scale(kDynamicsMarks, "Comp" + s, kOutputBase);
            scale(kDynamicsMarks, "Limit" + s, kOutputBase);
        }
    }

    // The frame pictures and the preset bar.
    for (const char* n : {"imLeftUpBase", "imRightUpBase"})
        r.Add(n, ResizeSide::Height, dH + 256);
    for (const char* n : {"imLeftDownBase", "imRightDownBase"})
        r.Add(n, ResizeSide::Top, dH + 256);
    r.Add("pkgPreset", ResizeSide::Top, dH + 626);
    return r;
}

ResizeRules TfmMain::WidthRules(int dW) {
    ResizeRules r;
    r.Add("pkbMenuLink", ResizeSide::Left, dW + 1040);
    r.Add("pkgFunction", ResizeSide::Width, dW + 1115);
    r.Add("pkgMain", ResizeSide::Width, dW + 1112);
    for (const char* g : kUpperGroups)
        r.Add(g, ResizeSide::Width, dW + 1112);
    for (const char* g : kLowerGroups)
        r.Add(g, ResizeSide::Left, dW / 2 + 20);
    r.Add("fftDrawGainIn", ResizeSide::Width, dW / 2 + 530);
    r.Add("fftDrawGainOut", ResizeSide::Width, dW / 2 + 530);
    r.Add("fftDrawGainOut", ResizeSide::Left, dW / 2 + 550);
    r.Add("pkgFftShowChIn", ResizeSide::Left, dW / 2 + 260);
    r.Add("pkgFftShowChOut", ResizeSide::Left, dW + 720);
    r.Add("lbFftGainOut", ResizeSide::Left, dW / 2 + 600);
    for (const char* n : {"plFftDelayIn", "lbFftDelayIn"})
        r.Add(n, ResizeSide::Width, dW / 2 + 520);
    for (const char* n : {"plFftDelayOut", "lbFftDelayOut"}) {
        r.Add(n, ResizeSide::Width, dW / 2 + 520);
        r.Add(n, ResizeSide::Left, dW / 2 + 560);
    }
    for (const char* n : {"ipComp", "ipLimit"})
        r.Add(n, ResizeSide::Width, dW + 720);
    for (const char* n : {"lbCompName", "lbLimitName"})
        r.Add(n, ResizeSide::Width, dW + 673);
    r.Add("ipGate", ResizeSide::Width, dW + 904);
    r.Add("lbGateName", ResizeSide::Width, dW + 856);
    r.Add("pbMatrix", ResizeSide::Left, dW / 3 + 465);
    r.Add("pbMatrix", ResizeSide::Width, dW / 3 + 97);

    // An overview block: its label and its shape move together.
    auto block = [&](const std::string& word, const std::string& s, int width, int left) {
        for (const char* prefix : {"lbMatrix", "spMatrix"}) {
            r.Add(prefix + word + s, ResizeSide::Width, width);
            r.Add(prefix + word + s, ResizeSide::Left, left);
        }
    };
    for (int i = 0; i < 6; ++i) {
        const std::string s = kSuffixes[i];
        const std::string digit = s.substr(s.size() - 1);
        const bool input = i < 2;
        r.Add("pkgFft" + s, ResizeSide::Width, dW + 1112);
        if (input)
            r.Add("pkgFftGeq" + s, ResizeSide::Width, dW + 1112);
        r.Add("pkgFftShowCh" + s, ResizeSide::Left, dW / 2 + (input ? 500 : 460));
        r.Add("fftDraw" + s, ResizeSide::Width, dW + 1070);
        if (input)
            r.Add("fftDrawGeq" + s, ResizeSide::Width, dW + 1070);
        r.Add("ldbEqBypass" + s, ResizeSide::Left, dW + 776);
        if (input)
            r.Add("ldbEqBypassGeq" + s, ResizeSide::Left, dW + 776);
        r.Add("ldbEqReset" + s, ResizeSide::Left, dW + 857);
        if (input)
            r.Add("ldbEqResetGeq" + s, ResizeSide::Left, dW + 857);
        r.Add("ldbEqShowAll" + s, ResizeSide::Left, dW + 934);
        r.Add("pkgParam" + s, ResizeSide::Left, dW / 2 + 20);
        r.Add("lbDelayLine" + s, ResizeSide::Width, dW / 2 + 475);
        if (input) {
            r.Add("plLevelGateIn" + digit, ResizeSide::Left, 53 * i + dW + 979);
            r.Add("plMatrix" + s, ResizeSide::Width, dW / 3 + 415);
            for (const char* n : {"lbMatrixName", "lbMatrixChName", "spMatrixName"}) {
                // The name's frame is narrower than its labels.
                const bool frame = n[0] == 's';
                r.Add(n + s, ResizeSide::Width, dW / 21 + (frame ? 58 : 70));
                r.Add(n + s, ResizeSide::Left, dW / 24);
            }
            const char* words[] = {"Gain", "Gate", "Geq", "Peq", "HpLp", "Delay"};
            const int lefts[] = {77, 134, 191, 248, 305, 362};
            for (int k = 2; k <= 7; ++k)
                block(words[k - 2], s, dW / 21 + 50, dW / 3 * k / 8 + lefts[k - 2]);
        } else {
            for (const char* n : {"plLevelCompOut", "plLevelLimitOut"})
                r.Add(n + digit, ResizeSide::Left, 73 * i + dW + 654);
            r.Add("plMatrix" + s, ResizeSide::Left, 2 * dW / 3 + 561);
            r.Add("plMatrix" + s, ResizeSide::Width, dW / 3 + 510);
            block("Xover", s, dW / 24 + 50, 2);
            block("Peq", s, dW / 24 + 50, dW / 27 + 61);
            const char* words[] = {"Gain", "Comp", "Phase", "Delay", "Mute"};
            const int lefts[] = {121, 180, 240, 298, 359};
            for (int k = 2; k <= 6; ++k)
                block(words[k - 2], s, dW / 24 + 50, dW / 3 * k / 9 + lefts[k - 2]);
            const int end = dW / 3 * 7 / 9;
            r.Add("lbMatrixName" + s, ResizeSide::Width, dW / 24 + 80);
            r.Add("lbMatrixName" + s, ResizeSide::Left, end + 418);
            r.Add("lbMatrixChName" + s, ResizeSide::Width, dW / 24 + 80);
            r.Add("lbMatrixChName" + s, ResizeSide::Left, end + 419);
            r.Add("spMatrixName" + s, ResizeSide::Width, dW / 24 + 58);
            r.Add("spMatrixName" + s, ResizeSide::Left, end + 416);
        }
    }

    for (const char* n : {"imRightUpBase", "imRightDownBase"})
        r.Add(n, ResizeSide::Left, dW + 1077);
    for (const char* n : {"imLeftUpBase", "imLeftDownBase"})
        r.Add(n, ResizeSide::Width, dW + 1082);
    r.Add("pkgPreset", ResizeSide::Left, dW / 2 + 10);
    return r;
}

void TfmMain::ApplyResizeRules(const ResizeRules& rules) {
    for (const ResizeRule& rule : rules.rules) {
        auto* c = Find<TControl>(rule.name);
        // A control the layout lacks keeps nothing else from its place: the rest is still laid out.
        if (!c) {
            if (std::find(resizeMissing.begin(), resizeMissing.end(), rule.name) == resizeMissing.end())
                resizeMissing.push_back(rule.name);
            continue;
        }
        switch (rule.side) {
        case ResizeSide::Left:
            c->SetLeft(rule.value);
            break;
        case ResizeSide::Top:
            c->SetTop(rule.value);
            break;
        case ResizeSide::Width:
            c->SetWidth(rule.value);
            break;
        case ResizeSide::Height:
            c->SetHeight(rule.value);
            break;
        }
    }
}

void TfmMain::FormResize(TObject*) {
    resizeMissing.clear();
    const int dH = Height() - kDesignHeight;
    const int dW = Width() - kDesignWidth;
    SetAutoScroll(dW < 0 || dH < 0);
    if (dH >= 0) {
        extraHeight = dH;
        ApplyResizeRules(HeightRules(dH));
    }
    if (dW >= 0)
        ApplyResizeRules(WidthRules(dW));

    // The delay indicators sit on their lines at the fader's share of the line's length.
    for (const char* s : kSuffixes) {
        auto* fader = Find<TStTrackBar>(std::string("isDelay") + s);
        auto* line = Find<TControl>(std::string("lbDelayLine") + s);
        auto* indicator = Find<TControl>(std::string("imDelay") + s);
        auto* time = Find<TControl>(std::string("lbFftDelayTime") + s);
        if (!fader || !line || !indicator || !time || fader->Max() <= 0)
            continue;
        indicator->SetLeft(TDelayPage::DelayIndicatorLeft(fader->Position(), line->Width(), fader->Max()));
        time->SetLeft(indicator->Left() + 30);
        time->SetTop(indicator->Top() + indicator->Height() / 4);
    }

    // One repaint of the page area as a whole.
    if (auto* page = Find<TControl>("pkgMain")) {
        page->SetVisible(false);
        page->SetVisible(true);
    }
    UpdateScrollRange();

    // The delay editor's own placing needs its link dialog, made after this window.
    if (Application->FindComponent("fmLinkSel"))
        for (int ch = 0; ch < 6; ++ch)
            Delay().PlaceDelayIndicator(ch);
}
