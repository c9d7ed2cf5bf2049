// The main window's life cycle and its pages: what a user sees at start, the one-shot connection
// search, page switching with linked channels, the overview's jumps, closing through the quit dialog,
// and the single-instance rule, in process and with the real program.

#include "app/FExit.h"
#include "app/FMain.h"
#include "app/link/MainLink.h"
#include "app/FNetwork.h"
#include "app/Registration.h"
#include "app/SingleInstance.h"
#include "app/TimerComponent.h"
#include "controls/LMyFFTDrawHpLp6dB.h"
#include "link/Product.h"
#include "panels/PkBmpButton.h"
#include "panels/PkPanel.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "styled/StTrackBar.h"
#include "tests/sim/SimPty.h"
#include "tests/sim/SimUnit.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <unistd.h>

using namespace kv;

namespace {

bool PumpUntil(const std::function<bool()>& cond, int limitMs = 10000) {
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterEditorClasses();
        // Test programs run side by side: each keeps its windows to itself.
        TSingleInstance::SetKeyOverride("korvane-editor-test-" + std::to_string(getpid()));
    }

    void SetUp() override {
        TScheduler::SetDefault(&clock);
        main = Application->CreateForm<TfmMain>();
        exitDialog = Application->CreateForm<TfmExit>();
    }

    void TearDown() override {
        delete exitDialog;
        delete main;
        TScheduler::SetDefault(nullptr);
        // A confirmed exit or a second start ended the loop: the next test starts afresh.
        Application->SetShowMainForm(true);
        Application->Initialize();
    }

    template <class T> T& Get(const std::string& name) {
        auto* c = main->Find<T>(name);
        if (!c)
            throw std::runtime_error("no " + name + " of the expected class");
        return *c;
    }
    bool Shown(const std::string& group) { return Get<TPkGroupBox>(group).Visible(); }
    TPkBmpButton& PageButton(const std::string& word) { return Get<TPkBmpButton>("pkbMenu" + word); }

    TVirtualClock clock;
    TfmMain* main = nullptr;
    TfmExit* exitDialog = nullptr;
};

TEST_F(MainWindowTest, StartsOfflineOnTheGainPageWithTitleSizeAndEngines) {
    EXPECT_TRUE(main->LayoutErrors().empty()) << main->LayoutErrors().front();
    EXPECT_EQ(main->Caption(), std::string(PROGRAM_TITLE) + " V1.0");
    EXPECT_EQ(main->Hint(), PROGRAM_TITLE);
    EXPECT_EQ(main->Width(), 1118);
    EXPECT_EQ(main->Height(), 720);
    EXPECT_EQ(Get<TPkGroupBox>("pkgPreset").Top(), 626);
    EXPECT_EQ(main->CurrentPage(), pgGain);
    EXPECT_TRUE(Shown("pkgFftGain"));
    EXPECT_TRUE(Shown("pkgParamGain"));
    EXPECT_TRUE(Get<TMenuItem>("English").Checked());
    EXPECT_FALSE(Get<TMenuItem>("ChineseSimplified").Checked());
    EXPECT_TRUE(Get<TMenuItem>("NetworkSetup").Visible());
    EXPECT_FALSE(main->IsOnline());
    EXPECT_NE(main->UnitControl(), nullptr);
    EXPECT_EQ(main->MainLink().ClientSocket().Port, 9761);
    EXPECT_EQ(main->MainLink().ClientSocket().Address, DEFAULT_DEVICE_IP);
    EXPECT_EQ(main->MainLink().DeviceIp(), 0xC0A80164u); // 192.168.1.100, first octet highest

    // Each engine draws on its own graph, in magnitude mode.
    for (int i = 0; i < kCurvePlots; ++i) {
        Plot* plot = main->CurvePlot(i);
        ASSERT_NE(plot, nullptr) << kCurveGraphNames[static_cast<size_t>(i)];
        EXPECT_EQ(plot->Graph(), &Get<LMyFFTDrawHpLp6dB>(kCurveGraphNames[static_cast<size_t>(i)]).Graph());
        EXPECT_EQ(plot->GetCurveMode(), 0);
    }
    // The fixed overlays: gain page input and output, and the two graphic-EQ totals, in their colours.
    struct Overlay {
        const char* graph;
        int curve;
        TColor colour;
    } overlays[] = {{"fftDrawGainIn", 0, 0x800080},
                    {"fftDrawGainOut", 2, 0x0000FF},
                    {"fftDrawGeqInA", 33, 0x800080},
                    {"fftDrawGeqInB", 33, 0x008080}};
    for (const auto& o : overlays) {
        TPlotListMember* m = nullptr;
        ASSERT_TRUE(Get<LMyFFTDrawHpLp6dB>(o.graph).Plots().Find(o.curve, m)) << o.graph;
        EXPECT_EQ(m->Colour, o.colour) << o.graph;
    }
}

TEST_F(MainWindowTest, PageAndMatrixButtonsShareTheirPictures) {
    auto same = [](const TBitmap* a, const TBitmap* b) { return a->Image() == b->Image(); };
    TPkButtonBitmaps* gain = PageButton("Gain").Bitmaps();
    TPkButtonBitmaps* inA = PageButton("InA").Bitmaps();
    for (const char* word : {"Comp", "Delay", "Out1", "Out3"}) {
        EXPECT_TRUE(same(PageButton(word).Bitmaps()->Down(), gain->Down())) << word;
        EXPECT_TRUE(same(PageButton(word).Bitmaps()->Hot(), gain->Hot())) << word;
        EXPECT_TRUE(same(PageButton(word).Bitmaps()->StayDown(), gain->StayDown())) << word;
    }
    EXPECT_TRUE(same(PageButton("Out2").Bitmaps()->Disabled(), gain->StayDown()));
    EXPECT_TRUE(same(PageButton("Geq").Bitmaps()->Down(), PageButton("Matrix").Bitmaps()->Down()));
    EXPECT_TRUE(same(PageButton("InB").Bitmaps()->Disabled(), inA->StayDown()));
    EXPECT_TRUE(same(PageButton("InB").Bitmaps()->Hot(), inA->Hot()));
    EXPECT_TRUE(same(Get<TPkBmpButton>("pkbBMatrixOut4").Bitmaps()->Hot(),
                     Get<TPkBmpButton>("pkbAMatrixOut1").Bitmaps()->Hot()));
    auto& thumb = *Get<TStTrackBar>("isGeqCh01InA").Thumb();
    auto& other = *Get<TStTrackBar>("isGeqCh31InB").Thumb();
    ASSERT_FALSE(thumb.PictureDown()->Bytes().empty());
    EXPECT_EQ(other.Picture()->Bytes(), thumb.Picture()->Bytes());
    EXPECT_EQ(other.PictureHot()->Bytes(), thumb.PictureHot()->Bytes());
    EXPECT_EQ(other.PictureDown()->Bytes(), thumb.PictureDown()->Bytes());
}

TEST_F(MainWindowTest, ConnectionSearchStartsOnceThreeHundredMillisecondsAfterCreation) {
    std::unique_ptr<TfmNetwork> search(Application->CreateForm<TfmNetwork>());
    search->ListPorts = [] { return std::vector<std::string>{}; }; // no real serial port is touched
    auto& timer = Get<kv::TTimer>("tmStartConnect");
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 300);
    clock.Advance(299);
    EXPECT_FALSE(main->MainLink().IsConnecting());

    // The search dialog runs modally; it is looked at and closed from inside its loop.
    bool searchShown = false;
    QTimer watch;
    watch.callOnTimeout([&] {
        if (search->Modal()) {
            searchShown = search->Visible();
            search->CloseDialog();
        }
    });
    watch.start(10);
    clock.Advance(1);
    watch.stop();
    EXPECT_TRUE(searchShown);
    EXPECT_FALSE(timer.Enabled()); // one-shot
    EXPECT_FALSE(search->Visible());
}

// Clicking each page button shows its pair of groups and hides the one before; the button's caption
// turns lime, the previous one white.
TEST_F(MainWindowTest, PageButtonsSwitchPagePairs) {
    const char* words[] = {"InA",   "InB",  "Out1",   "Out2", "Out3",  "Out4", "Comp",
                           "Delay", "Gain", "Matrix", "Gate", "Limit", "Geq"};
    std::string previous = "Gain";
    for (const char* word : {"Comp", "InB", "Out3", "Gate", "Matrix", "Geq", "Out1", "Limit", "Delay", "InA",
                             "Out4", "Out2", "Gain"}) {
        auto& button = PageButton(word);
        button.Click();
        EXPECT_EQ(main->CurrentPage(), button.Tag()) << word;
        EXPECT_EQ(words[button.Tag()], std::string(word));
        EXPECT_TRUE(Shown(std::string("pkgFft") + word)) << word;
        EXPECT_TRUE(Shown(std::string("pkgParam") + word)) << word;
        EXPECT_FALSE(Shown("pkgFft" + previous)) << previous;
        EXPECT_FALSE(Shown("pkgParam" + previous)) << previous;
        EXPECT_EQ(button.Font()->Color(), clLime) << word;
        EXPECT_EQ(PageButton(previous).Font()->Color(), clWhite) << previous;
        previous = word;
    }
    // The page already shown: nothing changes.
    PageButton("Gain").Font()->SetColor(clRed);
    PageButton("Gain").Click();
    EXPECT_EQ(PageButton("Gain").Font()->Color(), clRed);
}

TEST_F(MainWindowTest, LinkedChannelOpensItsLeadersPageUnderItsOwnNameAndColour) {
    main->UnitControl()->SetLinkMask(0, 3);
    main->UnitControl()->SetLinkMask(1, 0);
    PageButton("InB").Click();
    EXPECT_EQ(main->CurrentPage(), pgInB);
    EXPECT_TRUE(Shown("pkgFftInA"));
    EXPECT_TRUE(Shown("pkgParamInA"));
    EXPECT_FALSE(Shown("pkgParamInB"));
    EXPECT_EQ(Get<TLabel>("lbFftChannelInA").Caption(), "InB");
    EXPECT_EQ(Get<TLabel>("lbGainNameInA").Caption(), "InB");
    TPlotListMember* total = nullptr;
    ASSERT_TRUE(Get<LMyFFTDrawHpLp6dB>("fftDrawInA").Plots().Find(33, total));
    EXPECT_EQ(total->Colour, 0x008080); // InB's olive

    PageButton("InA").Click();
    EXPECT_EQ(Get<TLabel>("lbFftChannelInA").Caption(), "InA");
    ASSERT_TRUE(Get<LMyFFTDrawHpLp6dB>("fftDrawInA").Plots().Find(33, total));
    EXPECT_EQ(total->Colour, 0x800080);
}

TEST_F(MainWindowTest, MissingGroupEndsTheSwitchWithThePreviousPageStillShown) {
    Get<TPkGroupBox>("pkgParamComp").SetName("pkgParamCompGone");
    PageButton("Comp").Click();
    EXPECT_EQ(main->CurrentPage(), pgGain);
    EXPECT_TRUE(Shown("pkgParamGain"));
    EXPECT_EQ(PageButton("Gain").Font()->Color(), clWhite); // done before the lookup failed
}

// The overview's block labels jump to their pages; the matrix button goes up, the target down.
TEST_F(MainWindowTest, OverviewLabelsJumpToTheirPages) {
    struct Case {
        const char* label;
        const char* page;
    } cases[] = {
        {"lbMatrixPhaseOut2", "Limit"}, {"lbMatrixCompOut4", "Comp"}, {"lbMatrixDelayInB", "Delay"},
        {"lbMatrixPeqOut3", "Out3"},    {"lbMatrixHpLpInB", "InB"},   {"lbMatrixGainOut1", "Out1"},
        {"lbMatrixGateInA", "Gate"},    {"lbMatrixGeqInA", "Geq"},
    };
    for (const auto& c : cases) {
        PageButton("Matrix").Click();
        PageButton("Matrix").SetDown(true);
        ASSERT_EQ(main->CurrentPage(), pgMatrix);
        Get<TLabel>(c.label).Click();
        EXPECT_EQ(main->CurrentPage(), PageButton(c.page).Tag()) << c.label;
        EXPECT_TRUE(PageButton(c.page).Down()) << c.label;
        EXPECT_FALSE(PageButton("Matrix").Down()) << c.label;
    }
    // "GEQ" on InB also selects InB on the graphic-EQ page.
    PageButton("Matrix").Click();
    Get<TLabel>("lbMatrixGeqInB").Click();
    EXPECT_EQ(main->CurrentPage(), pgGeq);
    EXPECT_TRUE(Get<TPkBmpButton>("pkbGeqSelInB").Down());
}

TEST_F(MainWindowTest, ClosingAsksFirstCancelKeepsRunningOkEnds) {
    // A serial link to a unit is open, with the unit's answer to the probe on its way.
    sim::SimUnit unit;
    sim::SimPty pty(unit);
    main->MainLink().SetComPortName(pty.SlavePath());
    main->MainLink().ConnectCom();
    ASSERT_NE(main->MainLink().ComLink(), nullptr);
    main->Show();
    main->Close();
    EXPECT_TRUE(exitDialog->Visible());
    EXPECT_TRUE(main->Visible());
    EXPECT_FALSE(Application->Terminated());
    EXPECT_EQ(exitDialog->lbExit->Caption(), "Are you sure to quit ?");
    EXPECT_EQ(exitDialog->btnCancel->Caption(), "Cancel");

    exitDialog->btnCancel->Click();
    EXPECT_FALSE(exitDialog->Visible());
    EXPECT_FALSE(main->ExitConfirmed());
    EXPECT_TRUE(main->Visible());
    EXPECT_FALSE(Application->Terminated());
    EXPECT_NE(main->MainLink().ComLink(), nullptr);

    main->Close();
    exitDialog->btnOK->Click();
    EXPECT_EQ(main->MainLink().ComLink(), nullptr);
    EXPECT_EQ(main->MainLink().UsbLink(), nullptr);
    EXPECT_EQ(main->MainLink().NetLink(), nullptr);
    EXPECT_TRUE(main->ExitConfirmed());
    EXPECT_FALSE(main->Visible());
    EXPECT_FALSE(exitDialog->Visible());
    EXPECT_TRUE(Application->Terminated());
}

// The File menu's Exit asks modally; OK there ends the program the same way.
TEST_F(MainWindowTest, ExitMenuAsksModally) {
    main->Show();
    bool askedModally = false;
    QTimer watch;
    watch.callOnTimeout([&] {
        if (exitDialog->Modal()) {
            askedModally = true;
            exitDialog->btnOK->Click();
        }
    });
    watch.start(10);
    Get<TMenuItem>("Exit").Click();
    watch.stop();
    EXPECT_TRUE(askedModally);
    EXPECT_TRUE(main->ExitConfirmed());
    EXPECT_FALSE(main->Visible());
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(MainWindowTest, SecondWindowAsksTheFirstToComeForwardAndIsNeverShown) {
    main->Show();
    main->SetWindowState(TWindowState::wsMinimized);
    ASSERT_TRUE(PumpUntil([&] { return main->Widget()->window()->isMinimized(); }));

    auto* second = Application->CreateForm<TfmMain>();
    EXPECT_FALSE(Application->ShowMainForm());
    EXPECT_TRUE(Application->Terminated());
    EXPECT_TRUE(PumpUntil([&] { return !main->Widget()->window()->isMinimized(); }));
    EXPECT_FALSE(second->Visible());
    delete second;
    fmMain = main;
}

// An editor that ended without closing its socket left the name behind: the next start takes it over
// instead of running without the single-instance rule.
TEST(SingleInstanceTest, TakesOverANameLeftBehind) {
    QTemporaryDir sockets;
    ASSERT_TRUE(sockets.isValid());
    const std::string key = (sockets.path() + "/editor").toStdString();
    QFile left(QString::fromStdString(key));
    ASSERT_TRUE(left.open(QIODevice::WriteOnly));
    left.close();
    EXPECT_FALSE(TSingleInstance::AskRunningToComeForward(key));
    int comeForward = 0;
    TSingleInstance first;
    ASSERT_TRUE(first.Listen(key, [&] { ++comeForward; }));
    EXPECT_TRUE(TSingleInstance::AskRunningToComeForward(key));
    EXPECT_TRUE(PumpUntil([&] { return comeForward == 1; }));
}

// The real program, started while an editor listens under the program's key: it asks that one to
// come forward and ends at once with 0.
TEST(MainProgramTest, SecondStartBringsTheFirstForwardAndEnds) {
    QTemporaryDir sockets; // the local socket lives here, away from any editor the user runs
    ASSERT_TRUE(sockets.isValid());
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", sockets.path().toLocal8Bit());
    TSingleInstance::SetKeyOverride("");
    int comeForward = 0;
    TSingleInstance first;
    ASSERT_TRUE(first.Listen(TSingleInstance::KeyOf(PROGRAM_TITLE), [&] { ++comeForward; }));
    TSingleInstance::SetKeyOverride("korvane-editor-test-" + std::to_string(getpid()));
    if (oldTmp.isEmpty())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTmp);

    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", sockets.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("KORVANE_LOOPBACK_ONLY", "1");
    second.setProcessEnvironment(env);
    second.start(KV_EDITOR_PROGRAM, {});
    ASSERT_TRUE(second.waitForStarted());
    bool ended = false;
    ASSERT_TRUE(PumpUntil(
        [&] {
            ended = ended || second.state() == QProcess::NotRunning;
            return ended && comeForward > 0;
        },
        60000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(comeForward, 1);
}

// Sets environment variables for one scope and puts back what was there.
class ScopedEnv {
public:
    ScopedEnv(std::initializer_list<std::pair<const char*, const char*>> vars) {
        for (auto [name, value] : vars) {
            saved_.emplace_back(name, qEnvironmentVariableIsSet(name), qgetenv(name));
            if (value)
                qputenv(name, value);
            else
                qunsetenv(name);
        }
    }
    ~ScopedEnv() {
        for (const auto& [name, was, value] : saved_)
            was ? (void)qputenv(name, value) : (void)qunsetenv(name);
    }

private:
    std::vector<std::tuple<const char*, bool, QByteArray>> saved_;
};

// The display part of the key: the X display without its screen, else the Wayland display, else the
// login session; nothing of the value may put the socket elsewhere.
TEST(SingleInstanceTest, KeyNamesTheDisplay) {
    const struct {
        const char *x, *wayland, *session, *display;
    } cases[] = {
        {":0", "wayland-0", "3", "x_0"},
        {":0.1", nullptr, nullptr, "x_0"},
        {"host:10.0", nullptr, nullptr, "xhost_10"},
        {nullptr, "wayland-1", "3", "wwayland-1"},
        {nullptr, nullptr, "c2", "sc2"},
        {"", "", "", ""},
        {":0/../x", nullptr, nullptr, "x_0_"},
    };
    for (const auto& c : cases) {
        ScopedEnv env{{"DISPLAY", c.x}, {"WAYLAND_DISPLAY", c.wayland}, {"XDG_SESSION_ID", c.session}};
        EXPECT_EQ(TSingleInstance::DisplayOf(), c.display) << (c.x ? c.x : "-");
    }
    ScopedEnv override{{"DISPLAY", ":1"}};
    TSingleInstance::SetKeyOverride("");
    const std::string one = TSingleInstance::KeyOf(PROGRAM_TITLE);
    {
        ScopedEnv other{{"DISPLAY", ":2"}};
        EXPECT_NE(TSingleInstance::KeyOf(PROGRAM_TITLE), one);
    }
    EXPECT_EQ(one.find('/'), std::string::npos);
    TSingleInstance::SetKeyOverride("korvane-editor-test-" + std::to_string(getpid()));
}

// Real programs: an editor started on a second display runs beside the one on the first; a second
// start on that second display defers to it, says so on standard error and ends with 0.
TEST(MainProgramTest, EditorsOnTwoDisplaysRunAndASecondStartOnOneDefers) {
    QTemporaryDir sockets;
    ASSERT_TRUE(sockets.isValid());
    std::string firstKey, secondKey;
    {
        ScopedEnv env{{"TMPDIR", sockets.path().toLocal8Bit().constData()}, {"DISPLAY", ":91"}};
        TSingleInstance::SetKeyOverride("");
        firstKey = TSingleInstance::KeyOf(PROGRAM_TITLE);
        qputenv("DISPLAY", ":92");
        secondKey = TSingleInstance::KeyOf(PROGRAM_TITLE);
        TSingleInstance::SetKeyOverride("korvane-editor-test-" + std::to_string(getpid()));
    }
    // The editor on the first display; its socket lives in the temporary folder.
    int firstComeForward = 0;
    TSingleInstance first;
    ASSERT_TRUE(first.Listen((sockets.path() + "/").toStdString() + firstKey, [&] { ++firstComeForward; }));

    auto start = [&](QProcess& p) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TMPDIR", sockets.path());
        env.insert("DISPLAY", ":92");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("KORVANE_LOOPBACK_ONLY", "1");
        p.setProcessEnvironment(env);
        p.start(KV_EDITOR_PROGRAM, {});
        return p.waitForStarted();
    };
    QProcess second;
    ASSERT_TRUE(start(second));
    // It runs: it listens under the second display's key.
    const QString secondSocket = sockets.path() + "/" + QString::fromStdString(secondKey);
    ASSERT_TRUE(PumpUntil(
        [&] {
            QLocalSocket probe;
            probe.connectToServer(secondSocket);
            return probe.waitForConnected(100);
        },
        60000))
        << second.readAllStandardError().toStdString();
    EXPECT_EQ(second.state(), QProcess::Running);

    QProcess third;
    ASSERT_TRUE(start(third));
    ASSERT_TRUE(PumpUntil([&] { return third.state() == QProcess::NotRunning; }, 60000));
    EXPECT_EQ(third.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(third.exitCode(), 0);
    EXPECT_NE(third.readAllStandardError().indexOf("already running on this display"), -1);
    EXPECT_EQ(second.state(), QProcess::Running);
    EXPECT_EQ(firstComeForward, 0);

    second.kill();
    second.waitForFinished();
}

} // namespace

namespace {

// The layouts' timer: runs only when enabled with an interval and once its layout has been read; a new
// interval restarts the count; the handler gets the timer as its sender.
TEST(LayoutTimerTest, RunsWhenEnabledAfterLoadingAndRestartsOnANewInterval) {
    TVirtualClock clock;
    TScheduler::SetDefault(&clock);
    kv::TTimer timer(nullptr);
    TScheduler::SetDefault(nullptr);
    std::vector<uint64_t> fired;
    timer.OnTimer = [&](TObject* sender) {
        EXPECT_EQ(sender, &timer);
        fired.push_back(clock.Ms());
    };

    timer.BeginLoading(); // as the layout reader does
    timer.SetInterval(300);
    timer.SetEnabled(true);
    clock.Advance(600);
    EXPECT_TRUE(fired.empty());
    timer.Loaded();
    clock.Advance(600);
    EXPECT_EQ(fired, (std::vector<uint64_t>{900, 1200}));

    clock.Advance(100);
    timer.SetInterval(300); // counts from now
    clock.Advance(300);
    EXPECT_EQ(fired.back(), 1600u);
    timer.SetEnabled(false);
    clock.Advance(1000);
    EXPECT_EQ(fired.size(), 3u);
    timer.SetInterval(0);
    timer.SetEnabled(true);
    clock.Advance(1000);
    EXPECT_EQ(fired.size(), 3u);
}

} // namespace
