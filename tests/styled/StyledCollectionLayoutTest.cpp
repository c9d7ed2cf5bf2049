// The styled controls' collections survive a layout: written, read back, written again the same.
#include "platform/gui/Forms.h"
#include "platform/gui/Layout.h"
#include "styled/PictureContainer.h"
#include "styled/RoundControls.h"
#include "styled/StSmoothSplashScreen.h"
#include "styled/StyledClasses.h"
#include "tests/styled/StyledTestImages.h"

#include <gtest/gtest.h>

#include <string>

using namespace kv;

namespace {

// Writes `form`, reads the text into a new form and checks that it writes the same text again.
std::string RoundTrip(TForm& form, TForm& again) {
    std::string text = WriteLayout(form);
    auto problems = ReadLayout(text, again);
    EXPECT_TRUE(problems.empty()) << (problems.empty() ? "" : problems.front()) << "\n" << text;
    EXPECT_EQ(WriteLayout(again), text);
    return text;
}

template <class T> T* Make(TForm& form, const char* name) {
    auto* c = new T(&form);
    c->SetName(name);
    if constexpr (std::is_base_of_v<TControl, T>)
        c->SetParent(&form);
    return c;
}

} // namespace

TEST(StyledCollectionLayout, PictureContainerItemsKeepTheirBytes) {
    RegisterStyledClasses();
    const auto png = kvtest::MakePng(6, 4, 0xFF2040C0);
    const auto jpeg = kvtest::MakeJpeg(20, 8, 0xFF808080);
    TForm form(nullptr);
    form.SetName("fmPics");
    auto* pc = Make<TGDIPPictureContainer>(form, "PictureContainer1");
    auto* a = pc->Items()->Add();
    a->SetName("knob");
    a->SetTag(7);
    a->Picture()->SetData(kvtest::DataText(png));
    auto* b = pc->Items()->Add();
    b->SetName("fader");
    b->Picture()->SetData(kvtest::DataText(jpeg));

    TForm again(nullptr);
    std::string text = RoundTrip(form, again);
    EXPECT_NE(text.find("Items = <"), std::string::npos);
    EXPECT_NE(text.find("Picture.Data = "), std::string::npos);
    auto* pc2 = dynamic_cast<TGDIPPictureContainer*>(again.FindComponent("PictureContainer1"));
    ASSERT_NE(pc2, nullptr);
    ASSERT_EQ(pc2->Items()->Count(), 2);
    EXPECT_EQ(pc2->Items()->Items(0)->Tag(), 7);
    EXPECT_EQ(pc2->Items()->Items(0)->Picture()->Bytes(), png);
    EXPECT_EQ(pc2->Items()->Items(1)->Picture()->Bytes(), jpeg);
    // Items know their collection, so lookups by name work on what was read.
    EXPECT_EQ(pc2->Items()->Items(1)->Index(), 1);
    EXPECT_NE(pc2->FindPicture("FADER"), nullptr);
}

TEST(StyledCollectionLayout, SplashListItemsAndItems) {
    RegisterStyledClasses();
    TForm form(nullptr);
    form.SetName("fmSplash");
    auto* s = Make<TStSmoothSplashScreen>(form, "Splash");
    auto* l1 = s->ListItems()->Add();
    l1->SetHTMLText("<b>Loading</b> presets");
    l1->SetImageIndex(2);
    s->ListItems()->Add()->SetTag(4);
    auto* item = s->Items()->Add();
    item->SetText("Version");
    item->Font()->SetSize(15);
    item->SetVisible(false);

    TForm again(nullptr);
    std::string text = RoundTrip(form, again);
    EXPECT_NE(text.find("Font.Height = -20"), std::string::npos) << text;
    auto* s2 = dynamic_cast<TStSmoothSplashScreen*>(again.FindComponent("Splash"));
    ASSERT_NE(s2, nullptr);
    ASSERT_EQ(s2->ListItems()->Count(), 2);
    EXPECT_EQ(s2->ListItems()->Items(0)->HTMLText(), "<b>Loading</b> presets");
    EXPECT_EQ(s2->ListItems()->Items(0)->ImageIndex(), 2);
    EXPECT_EQ(s2->ListItems()->Items(1)->Tag(), 4);
    ASSERT_EQ(s2->Items()->Count(), 1);
    EXPECT_EQ(s2->Items()->Items(0)->Font()->Size(), 15);
    EXPECT_FALSE(s2->Items()->Items(0)->Visible());
    EXPECT_EQ(s2->TopLayerItems()->Count(), 0);
}

TEST(StyledCollectionLayout, ValueBoxPanelControls) {
    RegisterStyledClasses();
    const auto png = kvtest::MakePng(9, 9, 0xFF00FF00);
    TForm form(nullptr);
    form.SetName("fmBox");
    auto* panel = Make<TRoundControlPanel>(form, "ValuePanel");
    auto* c1 = panel->RoundControls()->Add();
    c1->SetHint("Up");
    c1->Picture()->SetData(kvtest::DataText(png));
    auto* c2 = panel->RoundControls()->Add();
    c2->SetPosition(TControlPosition::cpLeft);
    c2->SetDropDown(true);

    TForm again(nullptr);
    std::string text = RoundTrip(form, again);
    EXPECT_NE(text.find("Controls = <"), std::string::npos) << text;
    auto* p2 = dynamic_cast<TRoundControlPanel*>(again.FindComponent("ValuePanel"));
    ASSERT_NE(p2, nullptr);
    ASSERT_EQ(p2->RoundControls()->Count(), 2);
    EXPECT_EQ(p2->RoundControls()->Items(0)->Hint(), "Up");
    EXPECT_EQ(p2->RoundControls()->Items(0)->Picture()->Bytes(), png);
    EXPECT_EQ(p2->RoundControls()->Items(1)->Position(), TControlPosition::cpLeft);
    EXPECT_TRUE(p2->RoundControls()->Items(1)->DropDown());
    // The panel measured the buttons it read, as it does for buttons added in code.
    EXPECT_EQ(p2->RoundControls()->RightSize(), panel->RoundControls()->RightSize());
    EXPECT_EQ(p2->RoundControls()->LeftSize(), panel->RoundControls()->LeftSize());
}
