#include "plot/gVCLComponent.h"

#include "plot/gPropText.h"
#include "plot/opc/gOPCItems.h"

#include "platform/gui/Forms.h"
#include "platform/gui/Layout.h"
#include "tests/support/TempFiles.h"
#include "tests/support/VirtualClock.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include "ErrorOf.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>
#include <thread>
#include <unistd.h>

namespace kvtest {

using namespace kv;

// A control that counts its repaint requests and paints a plain fill, or fails when asked to.
class TTestPlot : public TgCustomComponent {
    KV_CLASS(TTestPlot)
public:
    explicit TTestPlot(TComponent* owner = nullptr) : TgCustomComponent(owner) { SetBounds(0, 0, 200, 60); }
    void DoInvalidateNow() override {
        ++repaints;
        TgCustomComponent::DoInvalidateNow();
    }
    void gPaint(TCanvas& canvas) override {
        if (paintBody)
            paintBody();
        if (!paintError.empty())
            throw EKvError(paintError);
        PaintBackGround(canvas, clBlue);
    }
    void gKeyDown(std::uint16_t& key, TShiftState shift) override { keys.push_back({key, shift}); }
    void gMouseDown(TMouseButton, TShiftState, int, int) override { Note("hook down"); }
    void gMouseUp(TMouseButton, TShiftState, int, int) override { Note("hook up"); }
    bool gMouseWheel(int delta, TShiftState, TPoint) override {
        Note("hook wheel " + std::to_string(delta));
        return true;
    }
    void gGotFocus() override {
        TgCustomComponent::gGotFocus();
        Note("got focus");
    }
    void gLostFocus() override {
        TgCustomComponent::gLostFocus();
        Note("lost focus");
    }
    void Note(const std::string& what) { events.push_back(what + (UserGenerated() ? " (user)" : "")); }
    std::vector<std::string> events;
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v) {
        FCaption = v;
        OPCPropertyChanged("Caption", TgOPCVariant::String(v));
    }

    int repaints = 0;
    std::string paintError;
    std::function<void()> paintBody;
    std::vector<std::pair<std::uint16_t, TShiftState>> keys;
    std::string FCaption;
};

KV_REGISTER_CLASS(TTestPlot, TgCustomComponent, b) {
    b.Prop("Caption", &TTestPlot::Caption, &TTestPlot::SetCaption);
}

namespace {

class gComponent : public ::testing::Test {
protected:
    void SetUp() override {
        TScheduler::SetDefault(&clock);
        gSetLocaleDecimalSeparator('.');
    }
    void TearDown() override {
        TScheduler::SetDefault(nullptr);
        gSetLocaleDecimalSeparator(0);
    }
    TVirtualClock clock;
};

TEST_F(gComponent, FrameRateHoldsAChangeWithinTheIntervalUntilItsEnd) {
    auto c = std::make_unique<TTestPlot>();
    clock.Advance(100);
    c->repaints = 0;
    c->SetAutoFrameRate(true);
    ASSERT_EQ(c->repaints, 1);

    clock.Advance(50);
    c->InvalidateChange();
    EXPECT_EQ(c->repaints, 2) << "more than a frame after the last repaint: at once";
    clock.Advance(5);
    c->InvalidateChange();
    clock.Advance(5);
    c->InvalidateChange();
    EXPECT_EQ(c->repaints, 2) << "5 and 10 ms later: held";
    EXPECT_TRUE(c->GetNeedsRepaint());
    clock.Advance(6);
    EXPECT_EQ(c->repaints, 2) << "still within the frame";
    clock.Advance(1);
    EXPECT_EQ(c->repaints, 3) << "painted once when the frame ends, not a second later at the shared tick";
    EXPECT_FALSE(c->GetNeedsRepaint());
    clock.Advance(3000);
    EXPECT_EQ(c->repaints, 3) << "nothing pending, nothing painted";

    c->SetUpdateFrameRate(0);
    int before = c->repaints;
    for (int i = 0; i < 3; ++i)
        c->InvalidateChange();
    EXPECT_EQ(c->repaints, before + 3) << "rate 0: every change at once";
}

// An edit changes a plot several times within one frame; the paint that follows shows them all, so the
// repaint held back for the later ones must not paint the same picture again.
TEST_F(gComponent, APaintAfterHeldChangesLeavesNothingToRepaintAtTheFrameEnd) {
    auto c = std::make_unique<TTestPlot>();
    c->SetAutoFrameRate(true);
    clock.Advance(100);
    c->repaints = 0;
    for (int i = 0; i < 4; ++i)
        c->InvalidateChange();
    ASSERT_EQ(c->repaints, 1) << "the first change at once, the others held";
    ASSERT_TRUE(c->GetNeedsRepaint());
    int painted = 0;
    c->paintBody = [&] { ++painted; };
    c->Widget()->grab(); // the paint event the first request brings
    EXPECT_EQ(painted, 1);
    EXPECT_FALSE(c->GetNeedsRepaint());
    clock.Advance(40);
    EXPECT_EQ(c->repaints, 1) << "the frame's end finds nothing new to show";

    c->InvalidateChange(); // a change after the paint is still painted
    clock.Advance(40);
    EXPECT_EQ(c->repaints, 2);
}

TEST_F(gComponent, UpdateBlocksDoNotNestAndTurningTheRateOffClosesThem) {
    auto c = std::make_unique<TTestPlot>();
    clock.Advance(100);
    c->repaints = 0;
    c->BeginUpdate();
    c->BeginUpdate();
    c->InvalidateChange();
    EXPECT_EQ(c->repaints, 0);
    c->EndUpdate();
    EXPECT_EQ(c->repaints, 1);
    c->EndUpdate();
    EXPECT_EQ(c->repaints, 1);

    c->SetAutoFrameRate(true);
    clock.Advance(100);
    int before = c->repaints;
    c->BeginUpdate();
    c->InvalidateChange();
    c->SetAutoFrameRate(false);
    EXPECT_FALSE(c->GetUpdateActive());
    EXPECT_EQ(c->repaints, before + 1);
}

// A clock that a test can move backwards, which a wall clock can do and a monotonic one cannot.
class TJumpyClock : public TScheduler {
public:
    int64_t Counter() override { return ms * 1000; }
    int64_t CounterFrequency() override { return 1000000; }
    TWaitResult Wait(const TWaitItem*, size_t, uint32_t) override {
        return TWaitResult{TWaitResult::Timeout, -1};
    }
    std::unique_ptr<TTimerBackend> NewTimer(std::function<void()>) override {
        struct Idle : TTimerBackend {
            void Start(uint32_t) override {}
            void Stop() override {}
        };
        return std::make_unique<Idle>();
    }
    int64_t ms = 0;
};

TEST(gComponentClock, AClockSetBackNeverFreezesRepaints) {
    TJumpyClock jumpy;
    TScheduler::SetDefault(&jumpy);
    {
        jumpy.ms = 3600000;
        TTestPlot c;
        c.SetAutoFrameRate(true);
        jumpy.ms += 100;
        c.InvalidateChange();
        int before = c.repaints;
        jumpy.ms += 5;
        c.InvalidateChange();
        EXPECT_EQ(c.repaints, before);
        jumpy.ms -= 1800000;
        TgUpdateObject::Instance().DoTimer();
        EXPECT_EQ(c.repaints, before + 1) << "the tick paints what was held";
        jumpy.ms -= 1000;
        c.InvalidateChange();
        EXPECT_EQ(c.repaints, before + 2) << "a change paints at once";
    }
    TScheduler::SetDefault(nullptr);
}

TEST_F(gComponent, RegistersWithTheSharedTick) {
    int before = TgUpdateObject::Instance().ControlCount();
    {
        TTestPlot a, b;
        EXPECT_EQ(TgUpdateObject::Instance().ControlCount(), before + 2);
        EXPECT_TRUE(TgUpdateObject::Instance().TimerEnabled());
    }
    EXPECT_EQ(TgUpdateObject::Instance().ControlCount(), before);
}

TEST_F(gComponent, AFailingPaintShowsItsMessageWhiteOnBlack) {
    TTestPlot c;
    c.paintError = "Something went wrong while painting";
    int onPaint = 0;
    c.OnPaint = [&](TObject*, TCanvas&) { ++onPaint; };
    QImage img = c.RenderToImage();
    img.save(QString::fromStdString(::testing::TempDir() + "kv-plot-error-paint.png"));
    EXPECT_EQ(onPaint, 1);
    EXPECT_EQ(img.pixel(199, 59) & 0xFFFFFF, 0u);
    EXPECT_EQ(img.pixel(150, 30) & 0xFFFFFF, 0u);
    auto bright = [&](int x0, int x1, int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += qRed(img.pixel(x, y)) > 160 && qGreen(img.pixel(x, y)) > 160 &&
                     qBlue(img.pixel(x, y)) > 160;
        return n;
    };
    EXPECT_GT(bright(0, 200, 0, 14), 40) << "the text starts at the top";
    EXPECT_GT(bright(0, 6, 0, 14), 0) << "at the left edge";
    EXPECT_GT(bright(0, 200, 14, 28), 10) << "word-wrapped onto a second line";
    EXPECT_EQ(bright(0, 200, 30, 60), 0);

    c.paintError.clear();
    img = c.RenderToImage();
    EXPECT_EQ(img.pixel(100, 30) & 0xFFFFFF, 0x0000FFu) << "a good paint draws the control";
}

TEST_F(gComponent, PaintsOntoAnotherCanvasWithOrWithoutItsBackground) {
    TTestPlot c;
    c.SetBorderStyle(TgBevelStyle::ibsLowered);
    for (bool transparent : {false, true}) {
        TBitmap target(300, 100);
        target.Canvas()->Brush()->SetColor(clWhite);
        target.Canvas()->FillRect(Rect(0, 0, 300, 100));
        c.gPaintToDC(50, 20, *target.Canvas(), transparent);
        EXPECT_EQ(ColorToRGB(target.Canvas()->Pixel(49, 40)), clWhite);
        EXPECT_EQ(ColorToRGB(target.Canvas()->Pixel(150, 50)), transparent ? clWhite : clBlue) << transparent;
        EXPECT_EQ(ColorToRGB(target.Canvas()->Pixel(50, 20)), transparent ? clWhite : ColorToRGB(clBtnShadow))
            << "the lowered border's outer edge";
        if (!transparent)
            target.Image().scaled(900, 300).save(
                QString::fromStdString(::testing::TempDir() + "kv-plot-paint-to-dc.png"));
    }
    EXPECT_TRUE(c.CachedDrawing());

    TempDir dir;
    c.SaveImageToBitmap(dir / "plot.bmp");
    TBitmap saved;
    saved.LoadFromFile(dir / "plot.bmp");
    EXPECT_EQ(saved.Width(), 200);
    EXPECT_EQ(saved.Height(), 60);
    EXPECT_EQ(ColorToRGB(saved.Canvas()->Pixel(100, 30)), clBlue);
}

TEST_F(gComponent, APaintHoldsTheLockAgainstASecondThread) {
    TTestPlot c;
    std::atomic<bool> started{false}, paintOver{false}, sawPaintOver{false};
    std::thread other;
    c.paintBody = [&] {
        c.Lock(); // re-entrant for the painting thread
        c.Unlock();
        other = std::thread([&] {
            started = true;
            c.Lock();
            sawPaintOver = paintOver.load();
            c.Unlock();
        });
        while (!started)
            std::this_thread::yield();
        // Give a lock that is not held every chance to be taken.
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        paintOver = true;
    };
    c.RenderToImage();
    other.join();
    EXPECT_TRUE(sawPaintOver);
}

TEST_F(gComponent, EachKeyReachesTheHookOnceWithItsModifiers) {
    TTestPlot c;
    int framework = 0;
    c.OnKeyDown = [&](TObject*, std::uint16_t&, TShiftState) { ++framework; };
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier, "A");
    QCoreApplication::sendEvent(c.Widget(), &press);
    ASSERT_EQ(c.keys.size(), 1u);
    EXPECT_EQ(c.keys[0].first, 'A');
    EXPECT_TRUE(c.keys[0].second.Contains(TShiftItem::ssShift));
    EXPECT_EQ(framework, 1) << "the key event runs first";
    EXPECT_FALSE(c.UserGenerated());
}

TEST_F(gComponent, MouseWheelAndFocusReachTheHooks) {
    TTestPlot c;
    c.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { c.Note("event down"); };
    c.OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool&) { c.Note("event wheel"); };
    c.OnEnter = [&](TObject*) { c.Note("event enter"); };
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(c.Widget(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(c.Widget(), &release);
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(c.Widget(), &wheel);
    QFocusEvent in(QEvent::FocusIn), out(QEvent::FocusOut);
    QCoreApplication::sendEvent(c.Widget(), &in);
    EXPECT_TRUE(c.HasFocus());
    QCoreApplication::sendEvent(c.Widget(), &out);
    EXPECT_FALSE(c.HasFocus());
    EXPECT_EQ(c.events, (std::vector<std::string>{"hook down (user)", "event down (user)", "hook up (user)",
                                                  "hook wheel -120", "got focus (user)", "event enter",
                                                  "hook up (user)", "lost focus (user)"}))
        << "hooks before the framework's events; the wheel event itself is not raised";
}

TEST_F(gComponent, PropertyFileFirstLineExclusionsAndValues) {
    TempDir dir;
    TTestPlot c;
    c.SetName("plot1");
    c.SetAutoFrameRate(true);
    c.FCaption = "two\r\nlines";
    c.SetTag(5);
    c.SavePropertiesToFile(dir / "p.txt");
    std::string text = ReadAll(dir / "p.txt");
    EXPECT_EQ(text.rfind("File Type = TTestPlot\r\n", 0), 0u) << text;
    for (const char* excluded :
         {"Name", "Left", "Top", "Width", "Height", "Visible", "Enabled", "Tag", "Hint"})
        EXPECT_EQ(text.find(std::string("\r\n") + excluded + " ="), std::string::npos) << excluded;
    EXPECT_NE(text.find("\r\nAutoFrameRate = 1\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nCaption = two#13#10lines\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nConstraints.MaxHeight = 0\r\n"), std::string::npos);

    c.SetOptionSaveAllProperties(true);
    c.SavePropertiesToFile(dir / "all.txt");
    EXPECT_NE(ReadAll(dir / "all.txt").find("\r\nWidth = 200\r\n"), std::string::npos);

    TTestPlot d;
    d.LoadPropertiesFromFile(dir / "p.txt");
    EXPECT_TRUE(d.AutoFrameRate());
    EXPECT_EQ(d.Caption(), "two\r\nlines");
    EXPECT_EQ(d.Name(), "");
}

TEST_F(gComponent, AFailedLoadReportsAndClosesTheUpdateBlock) {
    TempDir dir;
    TTestPlot c;
    WriteAll(dir / "bad.txt", "File Type = TTestPlot\r\nNoSuchProperty = 1\r\nCaption = kept\r\n"
                              "UpdateFrameRate = fast\r\nAutoFrameRate = 1\r\n");
    EXPECT_EQ(ErrorOf([&] { c.LoadPropertiesFromFile(dir / "bad.txt"); }),
              "Error Loading Properties - 'fast' is not a valid integer value");
    EXPECT_EQ(c.Caption(), "kept");
    EXPECT_FALSE(c.AutoFrameRate());
    EXPECT_FALSE(c.GetUpdateActive());
    EXPECT_EQ(ErrorOf([&] {
                  c.LoadPropertiesFromFile(dir / "missing.txt");
              }).rfind("Error Loading Properties - ", 0),
              0u);
    EXPECT_FALSE(c.GetUpdateActive());
    EXPECT_EQ(ErrorOf([&] {
                  c.SavePropertiesToFile(dir / "no/such/folder/p.txt");
              }).rfind("Error Saving Properties - ", 0),
              0u);
}

TEST_F(gComponent, PropertyKindByDottedName) {
    TTestPlot c;
    EXPECT_EQ(c.GetPropertyKind("constraints.maxwidth"), TTypeKind::tkInteger);
    EXPECT_EQ(c.GetPropertyKind("Caption"), TTypeKind::tkString);
    EXPECT_EQ(c.GetPropertyKind("AutoFrameRate"), TTypeKind::tkEnumeration);
    EXPECT_EQ(c.GetPropertyKind("Nothing"), TTypeKind::tkUnknown);
}

TEST_F(gComponent, PrivateTimerTable) {
    struct Case {
        int delay, interval;
        std::vector<uint64_t> ticks; // ms at which the timer fires, within 1300 ms
    };
    for (const Case& k : std::vector<Case>{{0, 500, {500, 1000}}, {1000, 200, {1000, 1200}}, {0, 0, {}}}) {
        TTestPlot c;
        std::vector<uint64_t> ticks;
        uint64_t start = clock.Ms();
        c.OnInternalTimer = [&](TObject*) { ticks.push_back(clock.Ms() - start); };
        c.TimerStart(k.delay, k.interval);
        EXPECT_EQ(c.GetTimerRunning(), !k.ticks.empty());
        if (c.GetTimerRunning())
            c.TimerStart(10, 10); // a running timer is left alone
        clock.Advance(1300);
        EXPECT_EQ(ticks, k.ticks) << k.delay << "/" << k.interval;
        c.TimerStop();
        EXPECT_FALSE(c.GetTimerRunning());
        clock.Advance(1000);
        EXPECT_EQ(ticks, k.ticks);
    }
}

// Items of the control bound through the fake client library built with the tests.
class gComponentItems : public gComponent {
protected:
    void SetUp() override {
        gComponent::SetUp();
        ASSERT_TRUE(OPCLoadLibrary(KV_FAKEOPC_PATH));
        FHandle = dlopen(KV_FAKEOPC_PATH, RTLD_NOW);
        ASSERT_NE(FHandle, nullptr);
        Fn<void (*)()>("FakeOPC_Reset")();
    }
    void TearDown() override {
        OPCReleaseLibrary();
        if (FHandle)
            dlclose(FHandle);
        gComponent::TearDown();
    }
    template <class F> F Fn(const char* name) { return reinterpret_cast<F>(dlsym(FHandle, name)); }
    void Deliver(std::int32_t signal, const char* text, std::uint16_t quality) {
        TgOPCLibVariant v{varOleStr, 0, 0, 0, text};
        Fn<void (*)(std::int32_t, const TgOPCLibVariant*, std::uint16_t, double)>("FakeOPC_SetData")(
            signal, &v, quality, 0);
        Fn<void (*)(std::int32_t)>("FakeOPC_FireNewData")(signal);
    }
    std::string LastSent() {
        const TgOPCLibVariant* sent = Fn<const TgOPCLibVariant* (*)()>("FakeOPC_LastSent")();
        return sent && sent->s ? sent->s : "";
    }
    int Bind(TTestPlot& c, const std::string& property) {
        int i = c.OPCAddItem();
        c.SetOPCItemPropertyName(i, property);
        c.SetOPCItemServerName(i, "Srv");
        c.SetOPCItemItemName(i, "Item" + property);
        c.OPCItemManager()->GetItem(i)->SetGroupName("Grp");
        c.OPCItemActivate(i);
        return i;
    }
    void* FHandle = nullptr;
};

TEST_F(gComponentItems, IncomingDataIsNotWrittenBack) {
    TTestPlot c;
    int index = Bind(c, "Caption");
    std::int32_t signal = c.OPCItemManager()->GetItem(index)->SignalHandle();
    ASSERT_NE(signal, 0);
    std::vector<int> delivered;
    c.OnNewOPCData = [&](TObject*, int i) { delivered.push_back(i); };
    c.OnBeforeNewOPCData = [](TObject*, int, TgOPCVariant& data) { data.S += "!"; };

    Deliver(signal, "from item", 0xC0);
    EXPECT_EQ(c.Caption(), "from item!");
    EXPECT_EQ(LastSent(), "") << "the item's own value is not sent back";
    c.SetCaption("typed");
    EXPECT_EQ(LastSent(), "typed");
    Deliver(signal, "bad quality", 0x40);
    EXPECT_EQ(c.Caption(), "typed");
    EXPECT_EQ(delivered, (std::vector<int>{index, index}));
    EXPECT_EQ(c.OPCItemCount(), 1);

    c.OnBeforeNewOPCData = nullptr;
    std::int32_t flag = c.OPCItemManager()->GetItem(Bind(c, "AutoFrameRate"))->SignalHandle();
    for (auto [text, want] :
         std::vector<std::pair<const char*, bool>>{{"True", true}, {"0", false}, {"yes", true}}) {
        Deliver(flag, text, 0xC0);
        EXPECT_EQ(c.AutoFrameRate(), want) << text << ": a two-valued enumeration takes any text but 0 as 1";
    }
    c.OPCRemoveAllItems();
    EXPECT_EQ(c.OPCItemCount(), 0);
}

TEST_F(gComponent, ItemsTravelInTheLayoutAndNotInThePropertyFile) {
    RegisterClass(TTestPlot::StaticClassInfo());
    TForm root(nullptr);
    root.SetName("Root");
    auto* c = new TTestPlot(&root);
    c->SetName("plot1");
    c->SetParent(&root);
    EXPECT_EQ(WriteLayout(root).find("OPCItems"), std::string::npos) << "no items, no value";
    for (const char* property : {"Caption", "UpdateFrameRate"}) {
        int i = c->OPCAddItem();
        c->SetOPCItemPropertyName(i, property);
        c->SetOPCItemServerName(i, "Srv");
        c->SetOPCItemItemName(i, std::string("Tag.") + property);
        c->SetOPCItemUpdateRate(i, 250);
    }
    std::string layout = WriteLayout(root);
    EXPECT_NE(layout.find("OPCItems"), std::string::npos);

    TForm copy(nullptr);
    auto problems = ReadLayout(layout, copy);
    EXPECT_TRUE(problems.empty()) << (problems.empty() ? "" : problems[0]);
    auto* d = dynamic_cast<TTestPlot*>(copy.FindComponent("plot1"));
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->OPCItemCount(), 2);
    EXPECT_EQ(d->GetOPCItemPropertyName(1), "UpdateFrameRate");
    EXPECT_EQ(d->GetOPCItemItemName(0), "Tag.Caption");
    EXPECT_EQ(d->GetOPCItemUpdateRate(1), 250);
    EXPECT_EQ(WriteLayout(copy), layout);

    TempDir dir;
    c->SavePropertiesToFile(dir / "p.txt");
    EXPECT_EQ(ReadAll(dir / "p.txt").find("OPCItems"), std::string::npos);
}

const char* kTheme =
    "<SchemeTypes>\r\n<SchemeType>\r\n<Name>Colors</Name>\r\n<Scheme>\r\n<Name>Dark</Name>\r\n"
    "<Properties>\r\n<>no name</>\r\n<UpdateFrameRate>30</UpdateFrameRate>\r\n<Caption>night "
    "sky</Caption>\r\n"
    "</Properties>\r\n</Scheme>\r\n</SchemeType>\r\n</SchemeTypes>\r\n";

TEST_F(gComponent, ThemesFromTheConfiguredFolders) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "vendor");
    std::filesystem::create_directories(dir.path() / "user");
    WriteAll(dir / "machine.conf",
             "Tarvek Defined Theme Path = " + (dir / "vendor") + "\nUser Defined Theme Path = /nowhere\n");
    WriteAll(dir / "user.conf", "User Defined Theme Path = " + (dir / "user") + "/\n");
    WriteAll(dir / "vendor/TTestPlot.xml", kTheme);
    std::string user = kTheme;
    user.replace(user.find("Dark"), 4, "Mine");
    WriteAll(dir / "user/TTestPlotUser.xml", user);
    TgVCLComponent::SetThemeConfigFiles(dir / "machine.conf", dir / "user.conf");

    TTestPlot c;
    c.LoadThemes();
    ASSERT_EQ(c.GetThemeCategoryCount(), 1);
    EXPECT_EQ(c.GetThemeCategoryName(0), "Colors");
    ASSERT_EQ(c.GetThemeCategorySchemeCount(0), 2);
    EXPECT_EQ(c.GetThemeCategorySchemeName(0, 0), "Dark");
    EXPECT_FALSE(c.GetThemeCategorySchemeIsUser(0, 0));
    EXPECT_EQ(c.GetThemeCategorySchemeName(0, 1), "Mine");
    EXPECT_TRUE(c.GetThemeCategorySchemeIsUser(0, 1));
    c.ApplyScheme(0, 1); // the element without a name is left out
    EXPECT_EQ(c.UpdateFrameRate(), 30);
    EXPECT_EQ(c.Caption(), "night sky");

    std::string broken = kTheme;
    broken.erase(broken.find("</Scheme>\r\n"), 11);
    EXPECT_EQ(ErrorOf([&] { c.LoadThemeText(broken, false); }), "Error Loading Scheme. XML File Malformed");

    // Without configured folders the files are looked for in the current folder.
    TgVCLComponent::SetThemeConfigFiles(dir / "none.conf", dir / "none.conf");
    auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path() / "vendor");
    c.LoadThemes();
    std::filesystem::current_path(cwd);
    EXPECT_EQ(c.GetThemeCategorySchemeCount(0), 1);
    TgVCLComponent::SetThemeConfigFiles("", "");
}

// Damaged theme and property text: every failure is one of the library's errors, never a crash or a
// hang, and a control stays usable.
TEST_F(gComponent, DamagedInputFailsCleanly) {
    TTestPlot c;
    std::mt19937 random(1234);
    const std::string theme = kTheme;
    const std::string props = "File Type = TTestPlot\r\nCaption = a#13#10b\r\nConstraints.MaxWidth = 5\r\n"
                              "UpdateFrameRate = 30\r\nAutoFrameRate = 1\r\n";
    for (int round = 0; round < 2000; ++round) {
        const std::string& base = round % 2 ? theme : props;
        std::string text = base;
        int edits = 1 + static_cast<int>(random() % 6);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            std::size_t at = random() % text.size();
            switch (random() % 3) {
            case 0:
                text.erase(at, 1 + random() % 8);
                break;
            case 1:
                text.insert(at, 1, "<>/=.# \r\nx0"[random() % 12]);
                break;
            default:
                text[at] = static_cast<char>(random() % 256);
                break;
            }
        }
        try {
            if (round % 2) {
                c.LoadThemeText(text, false);
            } else {
                TStringList lines;
                lines.SetText(text);
                gReadPropertyText(c, "", lines);
            }
        } catch (const EKvError&) {
        }
        EXPECT_FALSE(c.GetUpdateActive());
    }
}

} // namespace
} // namespace kvtest
