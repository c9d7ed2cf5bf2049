#include "controls/MyPEQGain.h"

#include "controls/ControlClasses.h"
#include "link/Scales.h"
#include "panels/PkButton.h"
#include "panels/PkComboBox.h"
#include "platform/gui/Forms.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <cmath>
#include <cstdlib>
#include <memory>

using namespace kv;

namespace {

struct GainTable {
    std::unique_ptr<TForm> host = std::make_unique<TForm>(nullptr);
    std::unique_ptr<TMyPEQGain> t = std::make_unique<TMyPEQGain>(nullptr);
    int changes = 0;
    GainTable() {
        host->SetBounds(0, 0, 560, 300);
        t->SetParent(host.get());
        t->SetChannelNumber(8);
        t->SetEditBackColor(clWhite);
        t->SetBypassBackColor(clSilver);
        t->SetBounds(0, 0, 536, 270);
        t->OnChange = [this](TObject*) { ++changes; };
    }
};

TEST(MyPEQGainTest, FiveTypesOtherwiseTheMainTablesBehaviour) {
    GainTable g;
    TStrings* items = g.t->TypeList(0)->Items();
    EXPECT_EQ(g.t->GetTypeValue(0), 1) << "the lists start at the second type";
    ASSERT_EQ(items->Count(), 5);
    const char* names[5] = {" Peak       ", " Low Shelf  ", " High Shelf ", " Low Cut    ", " High Cut   "};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(items->Get(i), names[i]);
    g.t->SetTypeValue(3, 4);
    EXPECT_EQ(g.t->GetTypeValue(3), 4);
    EXPECT_EQ(g.t->TypeList(3)->Text(), " High Cut   ");

    // A relayout keeps the types; the names can be set like the main table's.
    g.t->RePaint();
    EXPECT_EQ(g.t->GetTypeValue(3), 4);
    EXPECT_EQ(g.t->GetTypeValue(0), 1);
    EXPECT_EQ(g.t->FreqEdit(7)->Top(), 22 + 29 * 7);
    EXPECT_EQ(g.t->BypassButton(0)->Caption(), "   BYPASS   ");
    g.t->SetEqTypeString("LC", 3);
    g.t->SetEqTypeString("ignored", 5);
    g.t->ChangeLanguage();
    EXPECT_EQ(g.t->TypeList(0)->Items()->Get(3), "LC");
    EXPECT_EQ(g.t->TypeList(0)->Items()->Count(), 5);

    g.changes = 0;
    const struct {
        double dB;
        int step;
    } gains[] = {{-4.36, -44}, {4.36, 44}, {-4.35, -43}};
    for (const auto& c : gains) {
        g.t->SetEqParamValue(1, 1000, 20, c.dB, 2, true);
        EXPECT_EQ(std::lround(g.t->GetGainValue(1) * 10), c.step) << c.dB;
    }
    EXPECT_EQ(g.changes, 3);
    g.t->GainEdit(2)->SetText("3.46dB");
    g.t->GainEdit(2)->DoExit();
    EXPECT_EQ(g.t->GainEdit(2)->Text(), "3.4dB");
    EXPECT_EQ(g.t->GetNowIndex(), 2);
    EXPECT_EQ(g.changes, 4);
}

TEST(MyPEQGainTest, RegisteredAndRendered) {
    RegisterControlClasses();
    EXPECT_NE(FindClass("TMyPEQGain"), nullptr);
    GainTable g;
    g.t->SetColor(clBtnFace);
    const double hz[8] = {40, 100, 250, 630, 1600, 4000, 10000, 16000};
    for (int r = 0; r < 8; ++r)
        g.t->SetEqParamValue(r, hz[r], 20 + 4 * r, (r - 4) * 1.5, r % 5, r == 6);
    g.t->SetNowIndex(5);
    (void)g.t->RenderToImage();
    QImage img = g.t->RenderToImage();
    TPkButton* b = g.t->BypassButton(6);
    EXPECT_EQ(img.pixel(b->Left() + 6, b->Top() + 4) & 0xFFFFFFu, 0xFF8080u);
    if (const char* dir = std::getenv("KV_SCREENSHOT_DIR")) {
        EXPECT_TRUE(img.save(QString::fromUtf8(dir) + "/band-table-gain.png"));
    }
}

} // namespace
