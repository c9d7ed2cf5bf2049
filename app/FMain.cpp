// The main window's life cycle: creation, the start-up sequence, closing through the quit dialog.

#include "app/FMain.h"

#include "app/FExit.h"
#include "app/SingleInstance.h"
#include "app/TimerComponent.h"
#include "app/pages/DelayPage.h"
#include "app/pages/DynamicsPage.h"
#include "app/pages/GainPage.h"
#include "app/pages/GeqPage.h"
#include "app/pages/LinkingPage.h"
#include "app/pages/MatrixPage.h"
#include "app/pages/MetersPage.h"
#include "app/pages/OverlaysPage.h"
#include "app/pages/PeqPage.h"
#include "app/pages/RefreshPage.h"
#include "app/link/MainLink.h"
#include "controls/LMyFFTDrawHpLp6dB.h"
#include "link/Product.h"
#include "panels/PkBmpButton.h"
#include "panels/PkPanel.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Menus.h"
#include "styled/StTrackBar.h"

#include <QWidget>

#include <cstdio>

TfmMain* fmMain = nullptr;

using namespace kv;

KV_REGISTER_CLASS(TfmMain, kv::TForm, b) {
    TfmMain::PublishShell(b);
    TfmMain::PublishPages(b);
    TfmMain::PublishLink(b);
    TfmMain::PublishTexts(b);
    TfmMain::PublishResize(b);
    TfmMain::PublishNames(b);
    TMetersPage::Publish(b);
    TOverlaysPage::Publish(b);
    TGeqPage::Publish(b);
    TPeqPage::Publish(b);
    TfmMain::PublishDialogs(b);
    TLinkingPage::Publish(b);
    TGainPage::Publish(b);
    TDynamicsPage::Publish(b);
    TMatrixPage::Publish(b);
    TDelayPage::Publish(b);
}

void TfmMain::PublishShell(TClassBuilder<TfmMain>& b) {
    b.Method<TNotifyEvent>("FormCreate", &TfmMain::FormCreate);
    b.Method<TCloseEvent>("FormClose", &TfmMain::FormClose);
    b.Method<TNotifyEvent>("ExitClick", &TfmMain::ExitClick);
    b.Method<TNotifyEvent>("SettingIDClick", &TfmMain::SettingIDClick);
    b.Method<TNotifyEvent>("BlockDiagramClick", &TfmMain::BlockDiagramClick);
    b.Method<TNotifyEvent>("ConnectHelpClick", &TfmMain::ConnectHelpClick);
}

// The dialogs reach the window through fmMain, also while it is being created (its OnCreate runs
// before the application hands it back).
TfmMain::TfmMain(TComponent* owner)
    : TForm(owner), peqPage(std::make_unique<TPeqPage>(*this)), geqPage(std::make_unique<TGeqPage>(*this)),
      overlaysPage(std::make_unique<TOverlaysPage>(*this)) {
    fmMain = this;
    CreateLink();
    CreateStripPages();
}

TfmMain::~TfmMain() {
    Destroying();
    // The controls go while the window's own parts still exist: the HID controller gives the unit's
    // device back through this window's handlers as it goes.
    DestroyComponents();
    if (fmMain == this)
        fmMain = nullptr;
}

std::string TfmMain::ChannelSuffix(int channel) {
    if (channel == 0 || channel == 1)
        return std::string("In") + static_cast<char>(channel + 65);
    if (channel >= 2 && channel <= 5)
        return std::string("Out") + static_cast<char>(channel + 47);
    return {};
}

std::string TfmMain::ChannelMark(int channel) {
    const std::string s = ChannelSuffix(channel);
    return s.empty() ? s : s.substr(channel <= 1 ? 2 : 3);
}

void TfmMain::FormCreate(TObject*) {
    BindStripPages();
    mainLink->Bind();
    SetCaption(std::string(PROGRAM_TITLE) + " " + PROGRAM_VERSION);
    SetHint(PROGRAM_TITLE);

    // Another editor of this user is running: it comes forward, and this one ends before its window
    // is ever shown. The steps below still run; the message loop then ends at once.
    const std::string key = TSingleInstance::KeyOf(Hint());
    if (TSingleInstance::AskRunningToComeForward(key)) {
        Application->SetShowMainForm(false);
        Application->Terminate();
    } else {
        singleInstance = std::make_unique<TSingleInstance>();
        singleInstance->Listen(key, [this] { ComeForward(); });
    }

    mainLink->SetDeviceId(1);

    currentPage = pgGain;
    Dynamics().ResetPageChannels();

    if (auto* g = Find<TPkGroupBox>("pkgFftInA"))
        g->SetVisible(true);
    if (auto* g = Find<TPkGroupBox>("pkgParamGain"))
        g->SetVisible(true);
    SetWidth(1118);
    SetHeight(720);
    if (auto* g = Find<TPkGroupBox>("pkgPreset"))
        g->SetTop(626);
    extraHeight = 0;

    // The pages find their controls; the PEQ page puts the ten response engines on their graphs.
    Peq().Bind();
    Geq().Bind();
    Overlays().Bind();

    languageName = "English";
    if (auto* item = Find<TMenuItem>("ChineseSimplified"))
        item->SetChecked(false);
    if (auto* item = Find<TMenuItem>("ChineseTraditional"))
        item->SetChecked(false);
    if (auto* item = Find<TMenuItem>("English"))
        item->SetChecked(true);
    ApplyLanguage();

    unitControl = std::make_unique<LUnitControl>(*mainLink);
    mainLink->SetModel(unitControl.get());

    // The gain page is the start page.
    if (auto* g = Find<TPkGroupBox>("pkgFftGain"))
        g->BringToFront();
    if (auto* g = Find<TPkGroupBox>("pkgParamGain"))
        g->BringToFront();

    if (auto* t = Find<kv::TTimer>("tmStartConnect"))
        t->SetEnabled(true);

    DrawFixedOverlays();
    // Every page from the model; the link and test-signal dialogs do not exist yet.
    startupRefresh = 1;
    ResetPeqViews();
    RefreshAllPanels();
    startupRefresh = 0;
    Overlays().RedrawGainPageOverlays();
    Dynamics().SeedTransferCurves();

    mainLink->SetDefaultNetworkAddress();

    if (auto* item = Find<TMenuItem>("NetworkSetup"))
        item->SetVisible(true);

    SharePictures();
}

// The gain page's first input and first output and the two graphic-EQ totals, in their channels'
// colours.
void TfmMain::DrawFixedOverlays() {
    constexpr CurveColour clPurple = 0x800080, clRed = 0x0000FF, clOlive = 0x008080;
    if (Plot* p = CurvePlot(6))
        p->ShowOverlay(0, clPurple);
    if (Plot* p = CurvePlot(7))
        p->ShowOverlay(2, clRed);
    if (Plot* p = CurvePlot(8))
        p->ShowOverlay(SECTION_TOTAL, clPurple);
    if (Plot* p = CurvePlot(9))
        p->ShowOverlay(SECTION_TOTAL, clOlive);
}

namespace {

enum Pictures : unsigned { pUp = 1, pDown = 2, pHot = 4, pStayDown = 8 };

// Copies the chosen pictures of one button's set into another's.
void CopyPictures(TPkBmpButton& to, const TPkBmpButton& from, unsigned which) {
    if (&to == &from)
        return;
    TPkButtonBitmaps* d = to.Bitmaps();
    const TPkButtonBitmaps* s = from.Bitmaps();
    if (which & pDown)
        d->SetDown(s->Down());
    if (which & pHot)
        d->SetHot(s->Hot());
    if (which & pStayDown)
        d->SetStayDown(s->StayDown());
}

} // namespace

// The page and matrix buttons share one set of pictures per look, and the graphic-EQ faders one thumb,
// so that each picture is drawn once. A name that finds nothing ends the sharing there.
void TfmMain::SharePictures() {
    auto* gain = Find<TPkBmpButton>("pkbMenuGain");
    if (!gain)
        return;
    for (const char* name : {"pkbMenuComp", "pkbMenuDelay"}) {
        auto* b = Find<TPkBmpButton>(name);
        if (!b)
            return;
        CopyPictures(*b, *gain, pDown | pHot | pStayDown);
    }
    auto* matrix = Find<TPkBmpButton>("pkbMenuMatrix");
    if (!matrix)
        return;
    CopyPictures(*matrix, *gain, pHot | pStayDown);
    for (const char* name : {"pkbMenuGate", "pkbMenuLimit", "pkbMenuGeq"}) {
        auto* b = Find<TPkBmpButton>(name);
        if (!b)
            return;
        b->Bitmaps()->SetDown(matrix->Bitmaps()->Down());
        CopyPictures(*b, *gain, pHot | pStayDown);
    }

    auto* inA = Find<TPkBmpButton>("pkbMenuInA");
    auto* thumbSource = Find<TStTrackBar>("isGeqCh01InA");
    for (int ch = 0; ch <= 1; ++ch) {
        auto* b = Find<TPkBmpButton>("pkbMenu" + ChannelSuffix(ch));
        if (!inA || !b)
            return;
        b->Bitmaps()->SetDisabled(inA->Bitmaps()->StayDown());
        CopyPictures(*b, *inA, pDown | pHot | pStayDown);
        for (int band = 1; band <= 31; ++band) {
            char name[32];
            std::snprintf(name, sizeof name, "isGeqCh%02d%s", band, ChannelSuffix(ch).c_str());
            auto* fader = Find<TStTrackBar>(name);
            if (!thumbSource || !fader)
                return;
            if (fader == thumbSource)
                continue;
            fader->Thumb()->SetPicture(thumbSource->Thumb()->Picture());
            fader->Thumb()->SetPictureHot(thumbSource->Thumb()->PictureHot());
            fader->Thumb()->SetPictureDown(thumbSource->Thumb()->PictureDown());
        }
    }

    auto* matrixA1 = Find<TPkBmpButton>("pkbAMatrixOut1");
    for (int ch = 2; ch <= 5; ++ch) {
        const std::string suffix = ChannelSuffix(ch);
        if (ch != 5) { // Out4 keeps its own
            auto* b = Find<TPkBmpButton>("pkbMenu" + suffix);
            if (!b)
                return;
            b->Bitmaps()->SetDisabled(gain->Bitmaps()->StayDown());
            CopyPictures(*b, *gain, pDown | pHot | pStayDown);
        }
        for (const char* input : {"pkbAMatrix", "pkbBMatrix"}) {
            auto* b = Find<TPkBmpButton>(input + suffix);
            if (!matrixA1 || !b)
                return;
            CopyPictures(*b, *matrixA1, pDown | pHot | pStayDown);
        }
    }
}

void TfmMain::ComeForward() {
    QWidget* window = Widget() ? Widget()->window() : nullptr;
    if (window && window->isMinimized())
        window->showNormal();
    BringToFront();
}

void TfmMain::FormClose(TObject*, TCloseAction& action) {
    if (fmExit)
        fmExit->Show();
    if (exitConfirmed != 1) {
        action = TCloseAction::caNone;
        return;
    }
    action = TCloseAction::caHide;
    // Each transport stops its worker before it is released, serial first, then USB, then network.
    mainLink->CloseForExit();
}

void TfmMain::ExitClick(TObject*) {
    if (fmExit)
        fmExit->ShowModal();
}

void TfmMain::SettingIDClick(TObject*) {}

void TfmMain::BlockDiagramClick(TObject*) {}

void TfmMain::ConnectHelpClick(TObject*) {}

void TfmMain::SetMainEnabled(bool on) {
    SetEnabled(on);
}

// Qt's file dialogs leave the current folder as it was: nothing to restore.
void TfmMain::RestoreProgramFolder() {}

std::optional<std::string> TfmMain::RunFileDialog(FileDialog which) {
    const char* name = "odOpenPreset";
    switch (which) {
    case FileDialog::OpenPreset:
        name = "odOpenPreset";
        break;
    case FileDialog::SavePreset:
        name = "sdSavePreset";
        break;
    case FileDialog::SaveUnit:
        name = "sdSaveUnit";
        break;
    case FileDialog::OpenUnit:
        name = "odOpenUnit";
        break;
    }
    auto* dialog = Find<TOpenDialog>(name);
    if (!dialog)
        return std::nullopt;
    if (which == FileDialog::SavePreset)
        dialog->SetFileName("");
    if (!dialog->Execute())
        return std::nullopt;
    return dialog->FileName();
}
