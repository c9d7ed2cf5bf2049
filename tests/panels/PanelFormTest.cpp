// One form from a layout holding the pack's controls: every name and class is created, handlers are
// bound by name, the bitmap buttons' group works across the loaded buttons, and the whole form
// renders offscreen (written to a PNG for looking at).

#include "panels/PanelClasses.h"
#include "panels/PkBmpButton.h"
#include "panels/PkButton.h"
#include "panels/PkComboBox.h"
#include "panels/PkLabel.h"
#include "panels/PkPanel.h"
#include "panels/PkShapeButton.h"
#include "panels/led/LdDemoButton.h"
#include "panels/led/LdPowerButton.h"
#include "platform/gui/Forms.h"

#include <gtest/gtest.h>

#include <QDir>

using namespace kv;

namespace {

class TfmPanelTest : public TForm {
    KV_CLASS(TfmPanelTest)
public:
    explicit TfmPanelTest(TComponent* owner) : TForm(owner) {}
    void btnBypassClick(TObject*) { ++bypassClicks; }
    void ldbShowClick(TObject*) { ++showClicks; }
    void pkbChannelClick(TObject* sender) {
        channelClicks.push_back(static_cast<TComponent*>(sender)->Name());
    }
    int bypassClicks = 0, showClicks = 0;
    std::vector<std::string> channelClicks;
};

KV_REGISTER_CLASS(TfmPanelTest, TForm, b) {
    b.Method<TNotifyEvent>("btnBypassClick", &TfmPanelTest::btnBypassClick);
    b.Method<TNotifyEvent>("ldbShowClick", &TfmPanelTest::ldbShowClick);
    b.Method<TNotifyEvent>("pkbChannelClick", &TfmPanelTest::pkbChannelClick);
}

// A button face: a body in `face` with a darker rim, its corners in the transparent teal.
std::unique_ptr<TBitmap> Face(TColor face, TColor rim) {
    auto b = std::make_unique<TBitmap>(40, 15);
    TCanvas& c = *b->Canvas();
    c.Brush()->SetColor(rim);
    c.FillRect({0, 0, 40, 15});
    c.Brush()->SetColor(face);
    c.FillRect({1, 1, 39, 14});
    for (auto [x, y] : {std::pair{0, 0}, {39, 0}, {0, 14}, {39, 14}})
        c.SetPixel(x, y, clTeal);
    return b;
}

template <class T> T& Find(TComponent& root, const std::string& name) {
    auto* c = dynamic_cast<T*>(root.FindComponent(name));
    if (!c)
        throw std::runtime_error("no " + name);
    return *c;
}

} // namespace

TEST(PanelFormTest, EveryControlFromTheLayoutRendersAndWorks) {
    RegisterPanelClasses();
    auto f = std::make_unique<TfmPanelTest>(nullptr);
    f->InitializeForm();
    ASSERT_TRUE(f->LayoutErrors().empty()) << f->LayoutErrors().front();

    struct Expect {
        const char* name;
        const char* cls;
    };
    const Expect names[] = {
        {"pkgBands", "TPkGroupBox"},   {"lbGain", "TPkLabel"},        {"lbAngle", "TPkLabel"},
        {"pkcSlope", "TPkComboBox"},   {"btnBypass", "TPkButton"},    {"btnGroup", "TPkButton"},
        {"pnlLeds", "TPkPanel"},       {"ldbShow", "TLdPowerButton"}, {"ldbReset", "TLdDemoButton"},
        {"shpDeco", "TPkShapeButton"}, {"pkbInA", "TPkBmpButton"},    {"pkbTile", "TPkBmpButton"}};
    for (const Expect& e : names) {
        TComponent* c = f->FindComponent(e.name);
        ASSERT_NE(c, nullptr) << e.name;
        EXPECT_EQ(c->ClassName(), e.cls) << e.name;
    }

    // Synthetic pictures for the bitmap and shape buttons.
    for (const char* name : {"pkbInA", "pkbInB", "pkbMute", "pkbOff", "pkbTile"}) {
        auto& b = Find<TPkBmpButton>(*f, name);
        b.Bitmaps()->SetTransparentColor(clTeal);
        b.Bitmaps()->SetUp(Face(RGB(200, 205, 215), RGB(90, 96, 110)).get());
        b.Bitmaps()->SetHot(Face(RGB(225, 230, 240), RGB(90, 96, 110)).get());
        b.Bitmaps()->SetDown(Face(RGB(150, 160, 180), RGB(60, 66, 80)).get());
        b.Bitmaps()->SetStayDown(Face(RGB(250, 170, 60), RGB(150, 90, 20)).get());
    }
    TBitmap shape(44, 30);
    shape.Canvas()->Brush()->SetColor(clOlive);
    shape.Canvas()->FillRect({0, 0, 44, 30});
    shape.Canvas()->Brush()->SetColor(RGB(70, 130, 180));
    shape.Canvas()->Pen()->SetColor(RGB(70, 130, 180));
    shape.Canvas()->Ellipse(4, 4, 40, 26);
    auto& deco = Find<TPkShapeButton>(*f, "shpDeco");
    deco.SetBitmap(&shape);
    EXPECT_EQ(deco.Width(), 48);

    // The group of the loaded bitmap buttons, and handlers bound by name.
    auto& inA = Find<TPkBmpButton>(*f, "pkbInA");
    auto& inB = Find<TPkBmpButton>(*f, "pkbInB");
    EXPECT_TRUE(inA.Down());
    f->Show();
    inB.MouseDown(TMouseButton::mbLeft, {}, 4, 4);
    inB.MouseUp(TMouseButton::mbLeft, {}, 4, 4);
    EXPECT_TRUE(inB.Down());
    EXPECT_FALSE(inA.Down());
    EXPECT_EQ(f->channelClicks, (std::vector<std::string>{"pkbInB"}));
    Find<TPkButton>(*f, "btnBypass").PerformClick();
    EXPECT_EQ(f->bypassClicks, 1);

    QImage img = f->RenderToImage();
    ASSERT_FALSE(img.isNull());
    QString file = QDir::temp().filePath("kv_panel_form.png");
    img.save(file);
    img.copy(0, 80, 500, 160).scaled(1500, 480).save(QDir::temp().filePath("kv_panel_form_zoom.png"));
    std::printf("panel form rendered to %s\n", file.toLocal8Bit().constData());
    // The stay-down face of In B and the up face of In A, over the form's colour at their corners.
    EXPECT_EQ(FromQRgb(img.pixel(96 + 40, 196 + 15)), RGB(250, 170, 60));
    EXPECT_EQ(FromQRgb(img.pixel(8 + 5, 196 + 15)), RGB(200, 205, 215));
    EXPECT_EQ(FromQRgb(img.pixel(8, 196)), ColorToRGB(clBtnFace));
}
