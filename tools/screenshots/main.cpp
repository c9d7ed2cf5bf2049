// korvane-screenshots: shows every block page of the main window and every dialog of the editor, in
// English and in Simplified Chinese, and the plot property editor's pages (English), and saves what
// the screen shows as PNG files.
//
//     korvane-screenshots [output folder]          (docs/screenshots by default)
//
// Run it on a display of its own (tools/screenshots.sh starts one under Xvfb). Without a window
// manager the screen holds no window frames, so each picture gets a plain title strip with the
// window's caption above what the window itself shows.

#include "app/FAbout.h"
#include "app/FChNameList.h"
#include "app/FChannelName.h"
#include "app/FCopy.h"
#include "app/FExit.h"
#include "app/FFactory.h"
#include "app/FHidData.h"
#include "app/FRecallPreset.h"
#include "app/FStoreName.h"
#include "app/FStorePreset.h"
#include "app/FInformation.h"
#include "app/FLinkSel.h"
#include "app/FLockPassWord.h"
#include "app/FLockSetup.h"
#include "app/FMain.h"
#include "app/pages/DynamicsPage.h"
#include "app/FMemo.h"
#include "app/FNetwork.h"
#include "app/FNetworkSetup.h"
#include "app/FPeqRst.h"
#include "app/FProcess.h"
#include "app/FRs232CodeDoc.h"
#include "app/FRs232CodeDocEnglish.h"
#include "app/FTest.h"
#include "app/LangTables.h"
#include "app/Registration.h"
#include "app/SingleInstance.h"
#include "link/Product.h"
#include "platform/core/CodePage.h"
#include "platform/gui/LayeredWindow.h"
#include "platform/gui/Menus.h"
#include "platform/gui/PageControl.h"
#include "platform/gui/StdBars.h"
#include "platform/gui/StdPanels.h"
#include "plot/editors/gPlotEditorForm.h"
#include "plot/gPlotChannel.h"
#include "plot/gXYPlot.h"
#include "styled/StTrackBar.h"
#include "styled/StOfficeImage.h"
#include "styled/StProgressBar.h"
#include "styled/StSmoothSplashScreen.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace kv;

namespace {

QString gOut;
int gWritten = 0;

// Lets the windows paint (and the window system place them) before the screen is read.
void Settle(int ms = 250) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        Application->ProcessMessages();
        QThread::msleep(10);
    }
}

// What the screen shows of the form. Under a window manager that is the window with its frame, as
// the user sees it (title, border icons); without one, the window under a title strip with its caption.
void Shoot(TCustomForm& form, const std::string& language, const std::string& name) {
    Settle();
    QWidget* window = form.Widget()->window();
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect frame = window->frameGeometry();
    const bool framed = frame != window->geometry();
    const QRect area = framed ? frame : window->geometry();
    QImage shown;
    if (screen->geometry().contains(area))
        shown = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    bool drawStrip = !framed;
    // No real screen, or a window larger than it: the window's own rendering.
    if (shown.isNull() || shown.size() != area.size()) {
        shown = window->grab().toImage();
        drawStrip = true;
    }

    const int strip = drawStrip ? 22 : 0;
    QImage out(shown.width(), shown.height() + strip, QImage::Format_RGB32);
    out.fill(QColor(0x2E, 0x36, 0x40));
    QPainter p(&out);
    if (drawStrip) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(12);
        font.setBold(true);
        p.setFont(font);
        p.setPen(QColor(0xF2, 0xF4, 0xF6));
        p.drawText(QRect(8, 0, out.width() - 16, strip), Qt::AlignVCenter | Qt::AlignLeft,
                   QString::fromStdString(form.Caption()));
    }
    p.drawImage(0, strip, shown);
    p.end();

    const QString dir = gOut + QLatin1Char('/') + QString::fromStdString(language);
    QDir().mkpath(dir);
    const QString file = dir + QLatin1Char('/') + QString::fromStdString(name) + QStringLiteral(".png");
    if (!out.save(file, "PNG")) {
        std::fprintf(stderr, "korvane-screenshots: cannot write %s\n", qPrintable(file));
        std::exit(EXIT_FAILURE);
    }
    ++gWritten;
}

// The splash as the screen shows it while the windows are made (it closes when the main window shows):
// splash.png beside the language folders, as the screen has it, without a title strip.
void ShootSplash() {
    auto* splash = dynamic_cast<TStSmoothSplashScreen*>(fmMain->FindComponent("asScreen"));
    if (!splash || !splash->SplashWindow()) {
        std::fprintf(stderr, "korvane-screenshots: the splash is not showing\n");
        return;
    }
    Settle();
    QWidget* window = splash->SplashWindow()->Window()->Widget();
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect area = window->geometry();
    const QImage shown = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    const QString file = gOut + QStringLiteral("/splash.png");
    if (!shown.save(file, "PNG")) {
        std::fprintf(stderr, "korvane-screenshots: cannot write %s\n", qPrintable(file));
        std::exit(EXIT_FAILURE);
    }
    ++gWritten;
}

// Shows a dialog without its modal loop (the picture is the same), shoots it and hides it again.
void ShootDialog(TCustomForm& form, const std::string& language, const std::string& name) {
    form.Show();
    Shoot(form, language, name);
    form.Hide();
}

// A press and release of the left mouse button in the middle of the control, as the user's click: a page
// button also goes down, which a bare click would not do.
void Press(TControl& c) {
    const int x = c.Width() / 2, y = c.Height() / 2;
    c.MouseDown(TMouseButton::mbLeft, TShiftState{TShiftItem::ssLeft}, x, y);
    c.MouseUp(TMouseButton::mbLeft, TShiftState{}, x, y);
}

void ChooseLanguage(const char* menuItem) {
    if (auto* item = fmMain->Find<TMenuItem>(menuItem))
        fmMain->ChineseSimplifiedClick(item);
}

// The page buttons, by page number.
const char* const kPages[] = {"InA",   "InB",  "Out1",   "Out2", "Out3",  "Out4", "Comp",
                              "Delay", "Gain", "Matrix", "Gate", "Limit", "Geq"};

// The panel lock, test-signal and small windows; the control-code sheet of the language, at its top
// and scrolled to its example frames.
void ShootSmallWindows(const std::string& language) {
    if (fmLockSetup)
        ShootDialog(*fmLockSetup, language, "dialog-locksetup");
    if (fmLockPassWord)
        ShootDialog(*fmLockPassWord, language, "dialog-lockpassword");
    if (fmTest)
        ShootDialog(*fmTest, language, "dialog-test");
    if (fmAbout)
        ShootDialog(*fmAbout, language, "dialog-about");
    if (fmHidData) {
        fmHidData->Show();
        fmHidData->AddLine("COM W 10 02 00 01 01 10 10 03 11 ");
        fmHidData->AddLine("COM R 10 02 01 00 01 10 10 03 10 ");
        fmHidData->AddLine("COM W 10 02 00 01 03 39 01 00 10 03 2B ");
        fmHidData->AddLine("COM R 10 02 01 00 01 01 10 03 01 ");
        fmHidData->Flush();
        Shoot(*fmHidData, language, "window-hiddata");
        fmHidData->Hide();
    }
    if (fmMemo)
        ShootDialog(*fmMemo, language, "window-memo");
    TfmRs232Code* sheet = language == "en" ? fmRs232CodeEnglish : fmRs232Code;
    if (sheet) {
        sheet->Show();
        Shoot(*sheet, language, "dialog-rs232code");
        sheet->ScrollTo(0, sheet->StOfficeImage[0] ? sheet->StOfficeImage[0]->Top() - 60 : 0);
        Shoot(*sheet, language, "dialog-rs232code-examples");
        sheet->ScrollTo(0, 0);
        sheet->Hide();
    }
}

void ShootLanguage(const std::string& language) {
    for (int page = 0; page < 13; ++page) {
        const std::string button = std::string("pkbMenu") + kPages[page];
        if (auto* c = fmMain->Find<TControl>(button))
            Press(*c);
        else
            std::fprintf(stderr, "korvane-screenshots: no page button %s\n", button.c_str());
        char name[64];
        std::snprintf(name, sizeof name, "main-%02d-%s", page, kPages[page]);
        Shoot(*fmMain, language, name);
    }
    if (auto* c = fmMain->Find<TControl>("pkbMenuGain"))
        Press(*c);

    if (fmExit)
        ShootDialog(*fmExit, language, "dialog-exit");
    if (fmNetwork) {
        fmNetwork->Show();
        fmNetwork->SetStatus(UiText("SID_SCAN") + "ttyS0 ......");
        fmNetwork->SetScanPosition(1);
        Shoot(*fmNetwork, language, "dialog-network");
        fmNetwork->SetStatus(UiText("SID_NO_DEVICE"));
        Shoot(*fmNetwork, language, "dialog-network-nodevice");
        fmNetwork->Hide();
    }
    if (fmNetworkSetup)
        ShootDialog(*fmNetworkSetup, language, "dialog-networksetup");
    if (fmProcess) {
        fmProcess->SetStatus(UiText("SID_UPLOAD_PARAMETER"));
        if (fmProcess->ProgressBar) {
            fmProcess->ProgressBar->SetMax(15);
            fmProcess->ProgressBar->SetPosition(9);
        }
        ShootDialog(*fmProcess, language, "dialog-process");
    }
    if (fmInformation) {
        if (fmInformation->lbMessage)
            fmInformation->lbMessage->SetCaption(UiText("SID_INFO_CON_FIRST"));
        ShootDialog(*fmInformation, language, "dialog-information");
        if (fmInformation->lbMessage)
            fmInformation->lbMessage->SetCaption(UiText("SID_INFO_ERROR_VERSION"));
        ShootDialog(*fmInformation, language, "dialog-information-version");
        // The longest messages: what a cut-off download or preset file left on the unit.
        for (const char* key : {"SID_INFO_DOWNLOAD_INCOMPLETE", "SID_INFO_LOAD_INCOMPLETE"}) {
            if (fmInformation->lbMessage)
                fmInformation->lbMessage->SetCaption(UiText(key));
            ShootDialog(*fmInformation, language,
                        key[9] == 'D' ? "dialog-information-download-incomplete" : "dialog-information-load-incomplete");
        }
    }
    if (fmFactory)
        ShootDialog(*fmFactory, language, "dialog-factory");
    if (fmChannelName) {
        fmChannelName->SetChannel(3);
        fmChannelName->SetNameText(ToAnsi("Sub L"));
        ShootDialog(*fmChannelName, language, "dialog-channelname");
    }
    if (fmChNameList)
        ShootDialog(*fmChNameList, language, "dialog-chnamelist");

    // A larger window: the graphs, meters and overview take the extra room.
    const int left = fmMain->Left(), top = fmMain->Top();
    fmMain->SetBounds(0, 0, 1400, 900);
    for (const char* page : {"Gain", "Matrix", "Comp"}) {
        if (auto* c = fmMain->Find<TControl>(std::string("pkbMenu") + page))
            Press(*c);
        Shoot(*fmMain, language, std::string("main-1400x900-") + page);
    }
    if (auto* c = fmMain->Find<TControl>("pkbMenuGain"))
        Press(*c);
    fmMain->SetBounds(left, top, 1118, 720);

    // The preset lists with one stored name, and the name dialog over each, as a pick opens it.
    for (TPresetListForm* list : {static_cast<TPresetListForm*>(fmStorePreset),
                                  static_cast<TPresetListForm*>(fmRecallPreset)}) {
        if (!list || !fmStoreName)
            continue;
        const bool recall = list == fmRecallPreset;
        list->SetPresetName(recall ? 3 : 2, "Main Hall     ");
        const std::string stem = recall ? "dialog-recallpreset" : "dialog-storepreset";
        list->Show();
        Shoot(*list, language, stem);
        list->vledPresetNameSelectCell(1, recall ? 4 : 3);
        Settle(50);
        Shoot(*fmStoreName, language, stem + "-name");
        fmStoreName->Hide();
        list->Hide();
    }
    if (fmPeqRst)
        ShootDialog(*fmPeqRst, language, "dialog-peqrst");
    if (fmLinkSel) {
        ShootDialog(*fmLinkSel, language, "dialog-linksel");
        // Choices not yet applied: InB follows InA, Out2 and Out3 follow Out1 (Out3's column closes).
        fmLinkSel->ShowChannelLinks(0, 0x3);
        fmLinkSel->ShowChannelLinks(2, 0x7);
        ShootDialog(*fmLinkSel, language, "dialog-linksel-linked");
        fmLinkSel->ShowModelLinks();
    }
    if (fmCopy)
        ShootDialog(*fmCopy, language, "dialog-copy");
    ShootSmallWindows(language);
}

// A model unlike the defaults, shown by a refresh: gains, filters, graphic-EQ bands, a bypassed EQ and
// graphic EQ, and the channel pages' and gain page's toggles.
void ShootRefreshed() {
    LUnitControl* m = fmMain->UnitControl();
    if (!m)
        return;
    const uint16_t gains[6] = {330, 250, 280, 180, 400, 0};
    for (int c = 0; c <= 5; ++c)
        m->SetGain(c, gains[c]);
    for (int band = 0; band < 31; ++band) {
        m->SetGeqBand(0, band, static_cast<uint16_t>(120 + (band % 7 - 3) * 20));
        m->SetGeqBand(1, band, static_cast<uint16_t>(120 - (band % 5) * 15));
    }
    m->SetPeqBand(0, 0, 180, 101, 20, 0, false);
    m->SetPeqBand(0, 2, 60, 170, 35, 0, false);
    m->SetPeqBand(0, 5, 150, 240, 10, 2, false);
    m->SetHighPass(0, {40, 0, 8, 0});
    m->SetLowPass(0, {0, 260, 0, 3});
    m->SetPolarity(1, 1);
    m->SetMute(3, true);
    m->SetGeqBypassMask(0b10);
    m->SetEqBypassMask(2, 0b0100);
    fmMain->RefreshAllPanels();
    for (const char* page : {"InA", "Gain", "Geq"}) {
        if (auto* c = fmMain->Find<TControl>(std::string("pkbMenu") + page))
            Press(*c);
        Shoot(*fmMain, "en", std::string("main-refreshed-") + page);
    }
    if (auto* c = fmMain->Find<TControl>("pkbGeqSelInB"))
        Press(*c);
    Shoot(*fmMain, "en", "main-refreshed-GeqInB");
}

} // namespace

// The three transfer-curve plots with shaped curves: a 4:1 compressor at -20 dB with a 6 dB knee on Out1,
// a limiter at -10 dB with a 6 dB knee, a gate at -60 dB. Each plot alone, rendered offscreen at its own
// size, and its page as the screen shows it.
void ShootPlots() {
    auto set = [](const char* name, int position) {
        if (auto* fader = fmMain->Find<TStTrackBar>(name))
            fader->SetPosition(position);
        else if (auto* updown = fmMain->Find<TUpDown>(name))
            updown->SetPosition(static_cast<std::int16_t>(position));
    };
    set("isCompThresholdOut1", -40);
    set("udCompKneeOut1", 6);
    set("udCompRatioOut1", 9);
    set("isLimitThresholdOut1", -20);
    set("udLimitKneeOut1", 6);
    set("isGateThresholdInA", -120);
    fmMain->Dynamics().DrawCompCurve(2);
    fmMain->Dynamics().DrawLimitCurve(2);
    fmMain->Dynamics().DrawGateCurve(0);
    const struct {
        const char* plot;
        const char* page;
    } shots[] = {{"ipComp", "Comp"}, {"ipLimit", "Limit"}, {"ipGate", "Gate"}};
    for (const auto& shot : shots) {
        if (auto* c = fmMain->Find<TControl>(std::string("pkbMenu") + shot.page))
            Press(*c);
        Shoot(*fmMain, "en", std::string("main-curve-") + shot.page);
        auto* plot = fmMain->Find<TgXYPlot>(shot.plot);
        if (!plot)
            continue;
        TBitmap bitmap(plot->Width(), plot->Height());
        plot->gPaint(*bitmap.Canvas());
        const QString file = gOut + QStringLiteral("/en/plot-") + QLatin1String(shot.plot) + QStringLiteral(".png");
        if (!bitmap.Image().save(file, "PNG")) {
            std::fprintf(stderr, "korvane-screenshots: cannot write %s\n", qPrintable(file));
            std::exit(EXIT_FAILURE);
        }
        ++gWritten;
    }
    if (auto* c = fmMain->Find<TControl>("pkbMenuGain"))
        Press(*c);
}

// The plot property editor, page by page, on an XY plot of its own with a few points, a limit and a
// table, so that no page is greyed for want of an object. The program's own plots never open it.
void ShootPlotEditor() {
    gRegisterPlotEditors();
    TgXYPlot plot(nullptr);
    plot.SetBounds(0, 0, 400, 300);
    plot.SetEditorFormStyle(TgPlotFormStyle::ipfsStayOnTop);
    plot.Master()->AddLimit();
    plot.Master()->AddTable();
    if (TgPlotChannelCustom* channel = plot.GetChannel(0))
        for (int i = 0; i <= 20; ++i)
            channel->AddXY(i * 5.0, (i % 7) * 10.0);
    plot.EditProperties();
    auto* editor = dynamic_cast<TgPlotEditorForm*>(plot.Master()->EditorForm());
    if (!editor) {
        std::fprintf(stderr, "korvane-screenshots: no plot editor\n");
        return;
    }
    const char* const pages[] = {"control", "layout", "channels", "cursors", "limits",  "labels",
                                 "x-axes",  "y-axes", "legend",   "tables",  "toolbar", "data-view"};
    for (int i = 0; i < editor->PageControl->PageCount() && i < 12; ++i) {
        editor->PageControl->SetActivePageIndex(i);
        Shoot(*editor, "en", std::string("plot-editor-") + pages[i]);
    }
    editor->Close();
    Settle(50);
    gSetPlotEditorFormFactory(nullptr);
}

int main(int argc, char** argv) {
    // Only loopback addresses: the default unit address is refused at once.
    qputenv("KORVANE_LOOPBACK_ONLY", "1");
    gOut = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");

    Application->Initialize();
    Application->SetTitle(std::string(PROGRAM_TITLE) + " " + PROGRAM_VERSION);
    RegisterEditorClasses();
    // A running editor is neither brought forward nor the reason to stop.
    TSingleInstance::SetKeyOverride("korvane-screenshots-" +
                                    std::to_string(QCoreApplication::applicationPid()));
    CreateEditorWindows();
    if (!fmMain) {
        std::fprintf(stderr, "korvane-screenshots: no main window\n");
        return EXIT_FAILURE;
    }
    // No connection search: the pictures show the editor offline. Timers wait for the message loop,
    // so stopping it here is in time.
    if (auto* timer = fmMain->Find<kv::TTimer>("tmStartConnect"))
        timer->SetEnabled(false);
    for (TCustomForm* f : {static_cast<TCustomForm*>(fmMain), static_cast<TCustomForm*>(fmNetwork),
                           static_cast<TCustomForm*>(fmProcess), static_cast<TCustomForm*>(fmInformation),
                           static_cast<TCustomForm*>(fmExit), static_cast<TCustomForm*>(fmFactory),
                           static_cast<TCustomForm*>(fmNetworkSetup), static_cast<TCustomForm*>(fmChannelName),
                           static_cast<TCustomForm*>(fmChNameList), static_cast<TCustomForm*>(fmStorePreset),
                           static_cast<TCustomForm*>(fmRecallPreset), static_cast<TCustomForm*>(fmStoreName),
                           static_cast<TCustomForm*>(fmPeqRst), static_cast<TCustomForm*>(fmLinkSel),
                           static_cast<TCustomForm*>(fmCopy),
                           static_cast<TCustomForm*>(fmLockSetup),
                           static_cast<TCustomForm*>(fmLockPassWord), static_cast<TCustomForm*>(fmTest),
                           static_cast<TCustomForm*>(fmAbout), static_cast<TCustomForm*>(fmHidData),
                           static_cast<TCustomForm*>(fmMemo), static_cast<TCustomForm*>(fmRs232Code),
                           static_cast<TCustomForm*>(fmRs232CodeEnglish)})
        if (f)
            for (const std::string& e : f->LayoutErrors())
                std::fprintf(stderr, "layout of %s: %s\n", f->ClassName().c_str(), e.c_str());

    ShootSplash();
    fmMain->Show();
    Settle(600);
    ShootLanguage("en");
    ChooseLanguage("ChineseSimplified");
    ShootLanguage("zh");
    ChooseLanguage("English");
    ShootRefreshed();
    ShootPlots();
    ShootPlotEditor();

    std::printf("%d screenshots written below %s\n", gWritten, qPrintable(gOut));
    Application->DestroyComponents();
    return EXIT_SUCCESS;
}
