#include "styled/StProgressBar.h"

#include "platform/gui/Forms.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <vector>

using namespace kv;

namespace {

// The progress window's bar, with a paint counter.
class CountingBar : public TStProgressBar {
public:
    using TStProgressBar::TStProgressBar;
    void Paint(TCanvas& canvas) override {
        ++paints;
        TStProgressBar::Paint(canvas);
    }
    int paints = 0;
};

// Shows the form and lets the window system map it, so that a repaint paints at once.
void ShowAndExpose(TForm& form) {
    form.Show();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

void SetUpDialogBar(TStProgressBar& bar) {
    bar.SetBounds(12, 14, 431, 41);
    bar.PercentageFont()->SetHeight(-13);
    bar.SetPosition(0);
}

// Runs of non-background pixels along row y between the frame's sides, as their lengths.
std::vector<int> Runs(const QImage& img, int y, int from, int to, QRgb background) {
    std::vector<int> runs;
    int run = 0;
    for (int x = from; x < to; ++x) {
        if ((img.pixel(x, y) & 0xFFFFFFu) != (background & 0xFFFFFFu)) {
            ++run;
        } else if (run) {
            runs.push_back(run);
            run = 0;
        }
    }
    if (run)
        runs.push_back(run);
    return runs;
}

TEST(StProgressBarTest, SetPositionPaintsAtOnceOnlyForVisibleSteps) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 460, 80);
    auto* bar = new CountingBar(&form);
    bar->SetParent(&form);
    SetUpDialogBar(*bar);
    ShowAndExpose(form);
    bar->SetMax(1000);
    EXPECT_EQ(bar->MaxIncrement(), 10);
    bar->SetPosition(0);
    struct Step {
        int position;
        bool paints;
    };
    // Positions 1..5 keep block 0 and 0 % (0.5 % rounds to even); 6 reaches 1 %; 10 is a block edge.
    const Step steps[] = {{1, false}, {2, false}, {3, false}, {4, false},  {5, false}, {6, true},
                          {7, false}, {9, false}, {10, true}, {11, false}, {15, true}, {20, true}};
    for (const Step& s : steps) {
        int before = bar->paints;
        bar->SetPosition(s.position);
        EXPECT_EQ(bar->paints - before, s.paints ? 1 : 0) << "position " << s.position;
        EXPECT_EQ(bar->Position(), s.position);
    }
    // A range below 100 has no increment: every call paints.
    bar->SetMax(50);
    int before = bar->paints;
    bar->SetPosition(20);
    bar->SetPosition(20);
    EXPECT_EQ(bar->paints - before, 2);
}

TEST(StProgressBarTest, OutOfRangePositionsAreClampedAndDrawn) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 460, 80);
    auto* bar = new CountingBar(&form);
    bar->SetParent(&form);
    SetUpDialogBar(*bar);
    ShowAndExpose(form);
    bar->SetPosition(40);
    int before = bar->paints;
    bar->SetPosition(150);
    EXPECT_EQ(bar->Position(), 100);
    EXPECT_EQ(bar->paints - before, 1);
    bar->SetPosition(-5);
    EXPECT_EQ(bar->Position(), 0);
    EXPECT_EQ(bar->paints - before, 2);

    // Lowering Max below the position keeps the position but draws no more than a full bar.
    bar->SetPosition(80);
    bar->SetMax(50);
    EXPECT_EQ(bar->Position(), 80);
    EXPECT_EQ(bar->Percentage(), 100);
    QImage lowered = bar->RenderToImage();
    bar->SetMax(80);
    EXPECT_EQ(bar->Percentage(), 100);
    EXPECT_EQ(bar->RenderToImage(), lowered);

    bar->SetMin(50);
    bar->SetMax(150);
    bar->SetPosition(150);
    EXPECT_EQ(bar->Percentage(), 100);
    bar->SetMax(50); // Max = Min
    EXPECT_EQ(bar->Percentage(), 0);
}

TEST(StProgressBarTest, BlocksOfTheDialogBar) {
    TStProgressBar bar(nullptr);
    SetUpDialogBar(bar);
    struct Case {
        int position;
        int fullBlocks;
        int last;
    };
    // 50 %: 214 pixels (214.5 to even); 100 %: 429 pixels.
    for (const Case& c : {Case{50, 23, 6}, Case{100, 47, 5}}) {
        bar.SetPosition(c.position);
        QImage img = bar.RenderToImage();
        if (qEnvironmentVariableIsSet("KV_KEEP_IMAGES"))
            img.scaled(img.width() * 3, img.height() * 3)
                .save(QString::fromStdString(::testing::TempDir() + "kv-gauge-%1.png").arg(c.position));
        std::vector<int> runs = Runs(img, 4, 1, 430, 0xFFFFFF);
        ASSERT_EQ(static_cast<int>(runs.size()), c.fullBlocks + 1) << c.position;
        for (int i = 0; i < c.fullBlocks; ++i)
            EXPECT_EQ(runs[static_cast<std::size_t>(i)], 7);
        EXPECT_EQ(runs.back(), c.last);
        // The first block starts 2 pixels inside the frame; the pitch is 9.
        EXPECT_NE(img.pixel(2, 4) & 0xFFFFFF, 0xFFFFFFu);
        EXPECT_EQ(img.pixel(9, 4) & 0xFFFFFF, 0xFFFFFFu);
        EXPECT_NE(img.pixel(11, 4) & 0xFFFFFF, 0xFFFFFFu);
    }
}

TEST(StProgressBarTest, LevelColoursFollowThePercentage) {
    TStProgressBar bar(nullptr);
    SetUpDialogBar(bar);
    struct Case {
        int position;
        TColor colour, colourTo;
    };
    const Case cases[] = {{69, bar.Level0Color(), bar.Level0ColorTo()},
                          {70, bar.Level1Color(), bar.Level1ColorTo()},
                          {89, bar.Level1Color(), bar.Level1ColorTo()},
                          {90, bar.Level2Color(), bar.Level2ColorTo()},
                          {100, bar.Level3Color(), bar.Level3ColorTo()}};
    for (const Case& c : cases) {
        bar.SetPosition(c.position);
        QImage img = bar.RenderToImage();
        // Blocks span rows 2..38: the face colour at the middle row, the "to" colour at the edges.
        EXPECT_EQ(FromQRgb(img.pixel(5, 20)), c.colour) << c.position;
        EXPECT_EQ(FromQRgb(img.pixel(5, 2)), c.colourTo) << c.position;
    }
}

TEST(StProgressBarTest, ShortBarsAndTheBlockRule) {
    // A 102-pixel bar has a length of 100, so the percentage is the filled length in pixels.
    struct Case {
        int percent;
        std::vector<int> runs;
    };
    const Case cases[] = {{1, {}}, {2, {1}}, {9, {8}}, {10, {7}}, {12, {7, 2}}, {20, {7, 7}}};
    for (const Case& c : cases) {
        TBitmap bmp(102, 20);
        TGaugeSettings s;
        s.Level0Color = clLime;
        s.Level0ColorTo = clGreen;
        s.Rounded = false;
        s.ShowPosition = false;
        s.ShowGradient = false;
        s.Position = c.percent;
        DrawGauge(*bmp.Canvas(), {0, 0, 102, 20}, s);
        EXPECT_EQ(Runs(bmp.Image(), 10, 1, 101, 0xFFFFFF), c.runs) << c.percent;
    }
}

TEST(StProgressBarTest, SmoothStackedVerticalAndMarquee) {
    TGaugeSettings s;
    s.Level0Color = clLime;
    s.Level0ColorTo = clLime;
    s.Level1Color = clYellow;
    s.Level1ColorTo = clYellow;
    s.Level2Color = clBlue;
    s.Level2ColorTo = clBlue;
    s.Rounded = false;
    s.ShowPosition = false;
    s.ShowGradient = false;

    TBitmap smooth(102, 20);
    s.CompletionSmooth = true;
    s.Position = 50;
    DrawGauge(*smooth.Canvas(), {0, 0, 102, 20}, s);
    EXPECT_EQ(Runs(smooth.Image(), 10, 1, 101, 0xFFFFFF), std::vector<int>{48}); // x 2..49

    TBitmap stacked(102, 20);
    s.CompletionSmooth = false;
    s.Stacked = true;
    s.Position = 95;
    DrawGauge(*stacked.Canvas(), {0, 0, 102, 20}, s);
    EXPECT_EQ(FromQRgb(stacked.Image().pixel(30, 10)), clLime);
    EXPECT_EQ(FromQRgb(stacked.Image().pixel(80, 10)), clYellow);
    EXPECT_EQ(FromQRgb(stacked.Image().pixel(92, 10)), clBlue);
    EXPECT_EQ(FromQRgb(stacked.Image().pixel(97, 10)), clWhite);

    // Vertical blocks grow from the bottom.
    TBitmap vertical(20, 102);
    s.Stacked = false;
    s.Orientation = TGaugeOrientation::goVertical;
    s.Position = 20;
    DrawGauge(*vertical.Canvas(), {0, 0, 20, 102}, s);
    std::vector<int> runs;
    for (int y = 101, run = 0; y >= 0; --y) {
        bool filled = FromQRgb(vertical.Image().pixel(10, y)) == clLime;
        if (filled)
            ++run;
        else if (run) {
            runs.push_back(run);
            run = 0;
        }
    }
    EXPECT_EQ(runs, (std::vector<int>{7, 7}));
    EXPECT_EQ(FromQRgb(vertical.Image().pixel(10, 99)), clLime); // B - 3
    EXPECT_EQ(FromQRgb(vertical.Image().pixel(10, 100)), clWhite);

    // The marquee leaves a window of the bar around its position.
    TBitmap marquee(104, 20);
    s.Orientation = TGaugeOrientation::goHorizontal;
    s.Infinite = true;
    s.InfinitePos = 50;
    s.CompletionSmooth = true;
    DrawGauge(*marquee.Canvas(), {0, 0, 104, 20}, s);
    EXPECT_EQ(Runs(marquee.Image(), 10, 1, 103, 0xFFFFFF), std::vector<int>{22}); // 40..61
    EXPECT_EQ(FromQRgb(marquee.Image().pixel(40, 10)), clLime);
}

TEST(StProgressBarTest, MarqueeRunsOnTheTimerAndBounces) {
    TVirtualClock clock;
    TStProgressBar bar(nullptr);
    bar.SetScheduler(&clock);
    bar.SetInfinite(true);
    EXPECT_FALSE(bar.MarqueeRunning());
    bar.SetAnimated(true);
    EXPECT_TRUE(bar.MarqueeRunning());
    clock.Advance(50);
    EXPECT_EQ(bar.InfinitePos(), 4);
    clock.Advance(50 * 24);
    EXPECT_EQ(bar.InfinitePos(), 100); // 25 steps of 4
    clock.Advance(50);
    EXPECT_EQ(bar.InfinitePos(), 96);
    bar.SetInfiniteInterval(10);
    clock.Advance(10 * 24);
    EXPECT_EQ(bar.InfinitePos(), 0);
    clock.Advance(10);
    EXPECT_EQ(bar.InfinitePos(), 4);
    bar.SetInfinite(true); // restarts at 0
    EXPECT_EQ(bar.InfinitePos(), 0);
    bar.SetAnimated(false);
    EXPECT_FALSE(bar.MarqueeRunning());
    clock.Advance(100);
    EXPECT_EQ(bar.InfinitePos(), 0);
}

TEST(StProgressBarTest, PublishedDefaultsAndFormat) {
    const TClassInfo& info = TStProgressBar::StaticClassInfo();
    struct Case {
        const char* name;
        bool hasDefault;
        long long value;
    };
    const Case cases[] = {{"Steps", true, 8},
                          {"Max", true, 100},
                          {"Level1Color", true, 65535},
                          {"Level1ColorTo", false, 0},
                          {"Level1Perc", false, 0},
                          {"ShowBorder", false, 0},
                          {"Rounded", true, 1},
                          {"Level2BkColor", true, clNone},
                          {"BorderColor", true, 8421504},
                          {"InfiniteInterval", true, 50}};
    for (const Case& c : cases) {
        const TPropInfo* p = info.FindProp(c.name);
        ASSERT_NE(p, nullptr) << c.name;
        EXPECT_EQ(p->HasDefault, c.hasDefault) << c.name;
        if (c.hasDefault) {
            EXPECT_EQ(p->Default, c.value) << c.name;
        }
    }
    TStProgressBar bar(nullptr);
    EXPECT_EQ(bar.Position(), 50);
    EXPECT_TRUE(SetPropText(bar, "Version", "9"));
    EXPECT_EQ(GetPropText(bar, "Version").value_or(""), "1.2.0.1");
    EXPECT_EQ(GetPropText(bar, "Font.Name").value_or(""), "Verdana");
    EXPECT_EQ(FormatIntegers("%d of %d blocks, 100%%", {3, 20}), "3 of 20 blocks, 100%");
    EXPECT_EQ(FormatIntegers("[%4d]", {7}), "[   7]");
}

} // namespace
