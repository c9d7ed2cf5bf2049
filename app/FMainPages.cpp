// Block pages, page switching and the overview's navigation labels of the main window.

#include "app/FMain.h"
#include "app/pages/OverlaysPage.h"

#include "app/link/MainLink.h"
#include "controls/LMyFFTDrawHpLp6dB.h"
#include "panels/PkBmpButton.h"
#include "panels/PkPanel.h"
#include "platform/gui/StdCtrls.h"

using namespace kv;

void TfmMain::PublishPages(TClassBuilder<TfmMain>& b) {
    b.Method<TNotifyEvent>("pkbMenuInAClick", &TfmMain::pkbMenuInAClick);
    b.Method<TNotifyEvent>("lbMatrixHpLpInAClick", &TfmMain::lbMatrixHpLpInAClick);
    b.Method<TNotifyEvent>("lbMatrixGainInAClick", &TfmMain::lbMatrixGainInAClick);
    b.Method<TNotifyEvent>("lbMatrixDelayInAClick", &TfmMain::lbMatrixDelayInAClick);
    b.Method<TNotifyEvent>("lbMatrixCompOut1Click", &TfmMain::lbMatrixCompOut1Click);
    b.Method<TNotifyEvent>("lbMatrixPhaseOut1Click", &TfmMain::lbMatrixPhaseOut1Click);
    b.Method<TNotifyEvent>("lbMatrixGeqInAClick", &TfmMain::lbMatrixGeqInAClick);
    b.Method<TNotifyEvent>("lbMatrixGateInAClick", &TfmMain::lbMatrixGateInAClick);
    b.Method<TMouseMoveEvent>("lbMatrixChNameInAMouseMove", &TfmMain::lbMatrixChNameInAMouseMove);
    b.Method<TNotifyEvent>("lbMatrixChNameInAMouseLeave", &TfmMain::lbMatrixChNameInAMouseLeave);
}

namespace {

// Page words of the shared pages 6..12; the channel pages 0..5 use the channel suffix.
constexpr const char* kSharedPageWords[] = {"Comp", "Delay", "Gain", "Matrix", "Gate", "Limit", "Geq"};

// The word after "pkbMenu", "pkgFft" and "pkgParam" for a page; empty outside 0..12.
std::string PageWord(int page) {
    if (page >= pgInA && page <= pgOut4)
        return TfmMain::ChannelSuffix(page);
    if (page >= pgComp && page <= pgGeq)
        return kSharedPageWords[page - pgComp];
    return {};
}

// Colours of a channel's total curve, by channel number (0x00BBGGRR).
constexpr CurveColour kChannelColours[8] = {0x800080, 0x008080, 0x0000FF, 0x00FF00,
                                            0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00};

} // namespace

int TfmMain::GetChannelLinkMask(int channel) const {
    return unitControl ? unitControl->GetLinkMask(channel) : 0;
}

void TfmMain::pkbMenuInAClick(TObject* sender) {
    auto* button = dynamic_cast<TPkBmpButton*>(sender);
    if (!button)
        return;
    const int p = static_cast<int>(button->Tag());
    if (p == currentPage)
        return;
    // The unit may be slow to answer while a page is built; one extra resend of the awaited frame.
    MainLink().SetForcedResend(1);

    const std::string previousWord = PageWord(currentPage);
    auto* previousButton = Find<TPkBmpButton>("pkbMenu" + previousWord);
    auto* previousFft = Find<TPkGroupBox>("pkgFft" + previousWord);
    auto* previousParam = Find<TPkGroupBox>("pkgParam" + previousWord);
    if (previousWord.empty() || !previousButton || !previousFft || !previousParam)
        return;
    previousButton->Font()->SetColor(clWhite);

    TPkGroupBox* fft = nullptr;
    TPkGroupBox* param = nullptr;
    if (p >= pgComp && p <= pgGeq) {
        fft = Find<TPkGroupBox>("pkgFft" + PageWord(p));
        param = Find<TPkGroupBox>("pkgParam" + PageWord(p));
    } else if (p >= pgInA && p <= pgOut4) {
        // A channel linked to another is edited on its leader's page, titled and coloured as itself.
        int s = p;
        if (GetChannelLinkMask(p) == 0) {
            const bool input = p <= pgInB;
            const int first = input ? 0 : 2, last = input ? 1 : 5;
            const int bit = input ? p : p - 2;
            for (int ch = first; ch <= last; ++ch) {
                if (GetChannelLinkMask(ch) & (1 << bit)) {
                    s = ch;
                    break;
                }
            }
        }
        const std::string suffix = ChannelSuffix(s);
        fft = Find<TPkGroupBox>("pkgFft" + suffix);
        param = Find<TPkGroupBox>("pkgParam" + suffix);
        if (!fft || !param)
            return;
        if (Plot* plot = CurvePlot(s)) {
            plot->RemoveOverlay(SECTION_TOTAL);
            plot->ShowOverlay(SECTION_TOTAL, kChannelColours[p]);
        }
        if (auto* graph = Find<LMyFFTDrawHpLp6dB>("fftDraw" + suffix))
            graph->UpdateCurvePage();
        const std::string side = s <= pgInB ? "In" : "Out";
        auto* title = Find<TLabel>("lbFftChannel" + suffix);
        auto* gainName = Find<TLabel>("lbGainName" + suffix);
        if (!title || !gainName)
            return;
        title->SetCaption(ChannelSuffix(p));
        gainName->SetCaption(title->Caption());
    }
    if (!fft || !param)
        return;

    button->Font()->SetColor(clLime);
    previousParam->SetVisible(false);
    previousFft->SetVisible(false);
    param->SetVisible(true);
    fft->SetVisible(true);
    param->BringToFront();
    fft->BringToFront();
    // The other channels' curves may have changed since this page was last shown.
    if (p == pgGain)
        Overlays().RedrawGainPageOverlays();
    else
        Overlays().RedrawChannelOverlays(p);
    currentPage = p;
}

void TfmMain::GoToPage(const std::string& buttonName) {
    auto* button = Find<TPkBmpButton>(buttonName);
    if (!button)
        return;
    button->Click();
    button->SetDown(true);
    if (auto* matrix = Find<TPkBmpButton>("pkbMenuMatrix"))
        matrix->SetDown(false);
}

void TfmMain::lbMatrixHpLpInAClick(TObject* sender) {
    auto* label = dynamic_cast<TLabel*>(sender);
    if (!label)
        return;
    const std::string suffix = ChannelSuffix(static_cast<int>(label->Tag()));
    if (!suffix.empty())
        GoToPage("pkbMenu" + suffix);
}

void TfmMain::lbMatrixGainInAClick(TObject*) {
    GoToPage("pkbMenuGain");
}

void TfmMain::lbMatrixDelayInAClick(TObject*) {
    GoToPage("pkbMenuDelay");
}

void TfmMain::lbMatrixCompOut1Click(TObject*) {
    GoToPage("pkbMenuComp");
}

void TfmMain::lbMatrixPhaseOut1Click(TObject*) {
    GoToPage("pkbMenuLimit");
}

void TfmMain::lbMatrixGateInAClick(TObject*) {
    GoToPage("pkbMenuGate");
}

void TfmMain::lbMatrixGeqInAClick(TObject* sender) {
    auto* label = dynamic_cast<TLabel*>(sender);
    if (!label)
        return;
    GoToPage("pkbMenuGeq");
    const auto tag = label->Tag();
    if (tag != 0 && tag != 1)
        return;
    if (auto* select = Find<TPkBmpButton>(std::string("pkbGeqSelIn") + static_cast<char>(tag + 65))) {
        select->Click();
        select->SetDown(true);
    }
}

void TfmMain::lbMatrixChNameInAMouseMove(TObject* sender, TShiftState, int, int) {
    if (auto* control = dynamic_cast<TControl*>(sender))
        control->SetCursor(crHandPoint);
}

void TfmMain::lbMatrixChNameInAMouseLeave(TObject* sender) {
    if (auto* control = dynamic_cast<TControl*>(sender))
        control->SetCursor(crDefault);
}
