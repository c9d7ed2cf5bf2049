#include "controls/MyPEQ.h"

#include "controls/ControlClasses.h"
#include "link/Scales.h"
#include "platform/gui/Forms.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QString>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

using namespace kv;

namespace {

struct FloatTable {
    std::unique_ptr<TForm> host = std::make_unique<TForm>(nullptr);
    std::unique_ptr<TMyPEQ> t = std::make_unique<TMyPEQ>(nullptr);
    int changes = 0;
    FloatTable() {
        host->SetBounds(0, 0, 520, 260);
        t->SetParent(host.get());
        t->OnChange = [this](TObject* sender) {
            EXPECT_EQ(sender, t.get());
            ++changes;
        };
    }
    int GainSteps(int row) const { return static_cast<int>(std::lround(t->GetGainValue(row) * 2)); }
};

TEST(MyPEQTest, StartsWithItsDefaults) {
    FloatTable f;
    EXPECT_EQ(f.t->Width(), 490);
    EXPECT_EQ(f.t->Height(), 220);
    EXPECT_EQ(f.t->GetChannelNumber(), 15);
    EXPECT_EQ(f.t->FreqEdit(0)->Text(), "1.00KHz");
    EXPECT_EQ(f.t->QEdit(0)->Text(), "1.26");
    EXPECT_EQ(f.t->GainEdit(0)->Text(), "0dB");
    EXPECT_EQ(f.t->GetTypeValue(0), 1);
    EXPECT_EQ(f.t->TypeList(14)->Items()->Get(2), "High Shelf");
    EXPECT_EQ(f.t->BypassBox(0)->Caption(), "ByPass");
    EXPECT_EQ(f.t->Title(1)->Caption(), "Frequency");
    EXPECT_EQ(f.t->NumberLabel(5)->Color(), RGB(0, 0, 255));
    // cw 81, rh 10 for 15 rows
    EXPECT_EQ(f.t->QEdit(0)->Left(), 28 + 81 + 24);
    EXPECT_EQ(f.t->NumberLabel(1)->Top(), 10 * 2 + 2 + 17);
}

TEST(MyPEQTest, TypedGainIsCutToTheHalfDecibelGrid) {
    FloatTable f;
    const struct {
        const char* typed;
        const char* shown;
        int steps;
    } cases[] = {{"3.46", "3dB", 6},   {"3.6", "3.5dB", 7}, {"-3.6", "-3.5dB", -7}, {"3.5", "3.5dB", 7},
                 {"3.55", "3.5dB", 7}, {"3.4", "3dB", 6},   {"20dB", "12dB", 24},   {"-15", "-12dB", -24},
                 {".3", "0dB", 0},     {".7", "0.5dB", 1},  {"1,5", "2dB", 4},      {"4.", "2dB", 4},
                 {"--1", "2dB", 4},    {"-", "2dB", 4}};
    for (const auto& c : cases) {
        f.t->SetGainValue(0, 2.0f);
        f.changes = 0;
        f.t->GainEdit(0)->SetText(c.typed);
        f.t->GainEdit(0)->DoExit();
        EXPECT_EQ(f.t->GainEdit(0)->Text(), c.shown) << c.typed;
        EXPECT_EQ(f.GainSteps(0), c.steps) << c.typed;
        EXPECT_EQ(f.changes, 1) << c.typed;
    }
}

TEST(MyPEQTest, TypedFrequencyAndQ) {
    FloatTable f;
    const struct {
        char column;
        const char* typed;
        const char* shown;
    } cases[] = {{'f', "2k", "2.00KHz"},   {'f', "100hz", "99.2Hz"}, {'f', "0.0", "19.7Hz"},
                 {'f', "1,5k", "1.00KHz"}, {'f', "abc", "1.00KHz"},  {'q', "200", "128.00"},
                 {'q', "0.4", "0.40"},     {'q', "0.0", "0.40"},     {'q', "1,5", "1.26"},
                 {'q', "10.1", "10.10"}};
    for (const auto& c : cases) {
        f.t->SetFreqValue(2, 1000.0f);
        f.t->SetQValue(2, 20.0f);
        TEdit* e = c.column == 'f' ? f.t->FreqEdit(2) : f.t->QEdit(2);
        e->SetText(c.typed);
        std::uint16_t enter = 13;
        e->KeyDown(enter, {});
        EXPECT_EQ(e->Text(), c.shown) << c.typed;
        EXPECT_EQ(f.t->GetNowIndex(), 2);
    }
}

TEST(MyPEQTest, SettersAndTheirEvents) {
    FloatTable f;
    const struct {
        const char* action;
        std::function<void(TMyPEQ&)> run;
        int events;
    } cases[] = {
        {"SetFreqValue", [](TMyPEQ& t) { t.SetFreqValue(0, 440.0f); }, 1},
        {"SetQValue", [](TMyPEQ& t) { t.SetQValue(0, 30.0f); }, 0},
        {"SetGainValue", [](TMyPEQ& t) { t.SetGainValue(0, 0.1f); }, 1},
        {"SetTypeValue", [](TMyPEQ& t) { t.SetTypeValue(0, 2); }, 1},
        {"SetBypassValue", [](TMyPEQ& t) { t.SetBypassValue(3, true); }, 1},
        {"ChannelNumber", [](TMyPEQ& t) { t.SetChannelNumber(20); }, 0},
        {"spinner step", [](TMyPEQ& t) { t.GainSpin(4)->ArrowClick(TUDBtnType::btNext); }, 1},
        {"pick a type", [](TMyPEQ& t) { t.TypeList(5)->UserSelect(0); }, 1},
        {"tick a box", [](TMyPEQ& t) { static_cast<QCheckBox*>(t.BypassBox(6)->Widget())->click(); }, 1},
    };
    for (const auto& c : cases) {
        f.changes = 0;
        c.run(*f.t);
        EXPECT_EQ(f.changes, c.events) << c.action;
    }
    EXPECT_EQ(f.t->FreqEdit(0)->Text(), "445.4Hz");
    EXPECT_EQ(f.t->QEdit(0)->Text(), "2.20");
    EXPECT_EQ(f.t->GainEdit(0)->Text(), "0.1dB");
    EXPECT_DOUBLE_EQ(f.t->GetGainValue(0), 0.0);
    EXPECT_EQ(f.t->GetTypeValue(0), 2);
    EXPECT_TRUE(f.t->GetBypassValue(3));
    EXPECT_EQ(f.t->GetNowIndex(), 6) << "a setter never moves the current row";
    EXPECT_TRUE(f.t->GetBypassValue(6));
    EXPECT_EQ(f.t->GetChannelNumber(), 15);
    EXPECT_EQ(f.t->GainEdit(4)->Text(), "0.5dB");
    EXPECT_EQ(f.t->GetTypeValue(5), 0);
    // Spinners keep their ranges.
    for (int i = 0; i < 40; ++i)
        f.t->GainSpin(4)->ArrowClick(TUDBtnType::btNext);
    EXPECT_EQ(f.t->GainEdit(4)->Text(), "12dB");
    f.t->SetFreqValue(1, 30000.0f);
    EXPECT_EQ(FreqToIndex(f.t->GetFreqValue(1)), 300);
}

TEST(MyPEQTest, FewRowsLayoutAndTypesKept) {
    FloatTable f;
    f.t->SetTypeValue(0, 2);
    f.t->SetChannelNumber(4);
    f.t->RePaint();
    EXPECT_EQ(f.t->NumberLabel(0)->Height(), 18);
    EXPECT_EQ(f.t->FreqSpin(0)->Height(), 18);
    const int cw = (490 - 84) / 5, rh = (220 - 4 - 30) / 5;
    EXPECT_EQ(f.t->FreqEdit(1)->BoundsRect(), (TRect{40, rh * 2 + 2 + 17, 40 + cw, rh * 2 + 2 + 17 + rh}));
    EXPECT_EQ(f.t->GainSpin(1)->Left() + 20, f.t->GainEdit(1)->Left() + cw - 2);
    EXPECT_EQ(f.t->BypassBox(3)->Width(), cw - 20);
    EXPECT_FALSE(f.t->FreqEdit(4)->Visible());
    EXPECT_EQ(f.t->TypeList(14)->Top(), 10000);
    EXPECT_EQ(f.t->GetTypeValue(0), 2) << "a relayout keeps the row's type";
}

TEST(MyPEQTest, RegisteredAndRendered) {
    RegisterControlClasses();
    EXPECT_NE(FindClass("TMyPEQ"), nullptr);
    FloatTable f;
    f.t->SetColor(clBtnFace);
    f.t->SetChannelNumber(6);
    const float hz[6] = {60, 200, 800, 2500, 6000, 12000};
    for (int r = 0; r < 6; ++r) {
        f.t->SetFreqValue(r, hz[r]);
        f.t->SetQValue(r, static_cast<float>(10 + 8 * r));
        f.t->SetGainValue(r, static_cast<float>(r - 3) * 2.5f);
        f.t->SetTypeValue(r, r % 3);
    }
    f.t->SetBypassValue(4, true);
    (void)f.t->RenderToImage();
    QImage img = f.t->RenderToImage();
    EXPECT_EQ(img.width(), 490);
    TLabel* n = f.t->NumberLabel(0);
    EXPECT_EQ(img.pixel(n->Left() + 2, n->Top() + 2) & 0xFFFFFFu, 0xFF0000u) << "row 1's red number";
    if (const char* dir = std::getenv("KV_SCREENSHOT_DIR")) {
        EXPECT_TRUE(img.save(QString::fromUtf8(dir) + "/band-table-float.png"));
    }
}

} // namespace
