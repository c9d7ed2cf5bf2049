// The push button: the band table's classic button pressed, released inside and outside; default and
// cancel keys; groups; caption text styles; the tinted look; the retired FrameFlat entry.

#include "panels/PkButton.h"

#include "panels/PanelClasses.h"

#include "platform/gui/Layout.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {

// Pixels whose colour is mostly the given pure primary (text is antialiased, so exact matches are few).
int CountTinted(const QImage& img, TColor c) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            QRgb p = img.pixel(x, y);
            int want[3] = {c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF};
            int got[3] = {qRed(p), qGreen(p), qBlue(p)};
            bool match = true;
            for (int k = 0; k < 3; ++k)
                match = match && (want[k] ? got[k] > 160 : got[k] < 90);
            n += match;
        }
    return n;
}

int CountColour(const QImage& img, TColor c) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (FromQRgb(img.pixel(x, y)) == ColorToRGB(c))
                ++n;
    return n;
}

struct PkButtonTest : ::testing::Test {
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 300, 200);
        form->Show();
    }
    TPkButton* Button(const std::string& name, int group = 0) {
        auto* b = new TPkButton(form.get());
        b->SetName(name);
        b->SetParent(form.get());
        b->SetThemeAware(false);
        b->SetGroupIndex(group);
        b->OnClick = [this, b](TObject*) { events.push_back("click " + b->Name()); };
        b->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { events.push_back("down"); };
        b->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) { events.push_back("up"); };
        return b;
    }
    std::unique_ptr<TForm> form;
    std::vector<std::string> events;
};

} // namespace

TEST_F(PkButtonTest, BandTableButtonPressAndRelease) {
    TPkButton* b = Button("bypass");
    b->SetCaption("B");
    EXPECT_EQ(b->Width(), 75);
    EXPECT_EQ(b->Height(), 25);
    QImage up = b->RenderToImage();
    EXPECT_EQ(FromQRgb(up.pixel(0, 10)), ColorToRGB(clBtnHighlight));
    TRect upCaption = b->GetCaptionRect();

    b->MouseDown(TMouseButton::mbLeft, {}, 10, 10);
    QImage pressed = b->RenderToImage();
    EXPECT_EQ(FromQRgb(pressed.pixel(0, 10)), ColorToRGB(clBtnText)); // the lowered system edge
    EXPECT_EQ(FromQRgb(pressed.pixel(1, 10)), ColorToRGB(clBtnShadow));
    TRect downCaption = b->GetCaptionRect();
    EXPECT_EQ(downCaption.Left, upCaption.Left + 1);
    EXPECT_EQ(downCaption.Top, upCaption.Top + 1);

    b->MouseUp(TMouseButton::mbLeft, {}, 10, 10);
    EXPECT_EQ(events, (std::vector<std::string>{"down", "up", "click bypass"}));
    EXPECT_FALSE(b->ShowDownVersion());

    events.clear();
    b->MouseDown(TMouseButton::mbLeft, {}, 10, 10);
    b->MouseMove({}, 75, 10);
    EXPECT_FALSE(b->ShowDownVersion());
    b->MouseUp(TMouseButton::mbLeft, {}, 75, 10);
    EXPECT_EQ(events, (std::vector<std::string>{"down", "up"}));
}

TEST_F(PkButtonTest, SpaceClicksOnReleaseAndFocusRing) {
    TPkButton* b = Button("b");
    b->DoEnter();
    QImage focused = b->RenderToImage();
    EXPECT_EQ(FromQRgb(focused.pixel(0, 10)), ColorToRGB(clWindowFrame));
    EXPECT_EQ(FromQRgb(focused.pixel(1, 10)), ColorToRGB(clBtnHighlight));
    std::uint16_t key = VK_SPACE;
    b->KeyDown(key, {});
    EXPECT_TRUE(b->ShowDownVersion());
    EXPECT_TRUE(events.empty());
    key = VK_SPACE;
    b->KeyUp(key, {});
    EXPECT_EQ(events, (std::vector<std::string>{"click b"}));
    b->DoExit();
    QImage unfocused = b->RenderToImage();
    EXPECT_EQ(FromQRgb(unfocused.pixel(0, 10)), ColorToRGB(clBtnHighlight));
}

TEST_F(PkButtonTest, EnterOnlyOnTheActiveDefaultEscapeOnCancel) {
    TPkButton* ok = Button("ok");
    TPkButton* other = Button("other");
    TPkButton* cancel = Button("cancel");
    ok->SetDefault(true);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    EXPECT_TRUE(ok->Active());
    EXPECT_TRUE(ok->DialogKey(VK_RETURN, {}));
    EXPECT_FALSE(other->DialogKey(VK_RETURN, {}));
    EXPECT_FALSE(ok->DialogKey(VK_RETURN, TShiftState{TShiftItem::ssShift}));
    EXPECT_TRUE(cancel->DialogKey(VK_ESCAPE, {}));
    EXPECT_EQ(form->ModalResult(), mrCancel);
    // Another button taking the focus acts as the default while it has it.
    other->DoEnter();
    EXPECT_FALSE(ok->Active());
    EXPECT_TRUE(other->Active());
    other->DoExit();
    EXPECT_TRUE(ok->Active());
    EXPECT_EQ(events, (std::vector<std::string>{"click ok", "click cancel"}));
    other->SetCaption("&Reset");
    EXPECT_TRUE(other->DialogChar('r'));
    ok->Click();
    EXPECT_EQ(form->ModalResult(), mrNone); // set even when 0
}

TEST_F(PkButtonTest, GroupsAndUngroupedDown) {
    TPkButton* solo = Button("solo");
    solo->SetDown(true);
    EXPECT_FALSE(solo->Down());
    TPkButton* a = Button("a", 1);
    TPkButton* b = Button("b", 1);
    a->PerformClick();
    EXPECT_TRUE(a->Down());
    b->MouseDown(TMouseButton::mbLeft, {}, 5, 5);
    b->MouseUp(TMouseButton::mbLeft, {}, 5, 5);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    EXPECT_EQ(b->State(), TButtonState::bsExclusive);
    // The down member without AllowAllUp stays down but still clicks.
    events.clear();
    b->PerformClick();
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(events, (std::vector<std::string>{"click b"}));
    // The stay-down pattern: silver dots on the face.
    EXPECT_GT(CountColour(b->RenderToImage(), clSilver), 50);
}

TEST_F(PkButtonTest, CaptionTextStyles) {
    struct Case {
        TTextStyle style;
        bool light;
        bool highlight, shadow;
    };
    const Case cases[] = {
        {TTextStyle::tsNormal, false, false, false}, {TTextStyle::tsRaised, false, true, true},
        {TTextStyle::tsRaised, true, true, false},   {TTextStyle::tsRecessed, false, true, true},
        {TTextStyle::tsRecessed, true, true, false}, {TTextStyle::tsShadow, false, false, true}};
    TPkButton* b = Button("t");
    b->SetBounds(0, 0, 160, 60);
    b->SetCaption("IHI");
    b->Font()->SetSize(24);
    b->Font()->SetStyle(TFontStyles{TFontStyle::fsBold});
    b->SetTextHighlightColor(clRed);
    b->SetTextShadowColor(clBlue);
    for (const Case& c : cases) {
        b->SetTextStyle(c.style);
        b->SetLightTextStyle(c.light);
        QImage img = b->RenderToImage();
        EXPECT_EQ(CountTinted(img, clRed) > 0, c.highlight) << static_cast<int>(c.style) << c.light;
        EXPECT_EQ(CountTinted(img, clBlue) > 0, c.shadow) << static_cast<int>(c.style) << c.light;
    }
    // Disabled: one grey copy only.
    b->SetTextStyle(TTextStyle::tsRaised);
    b->SetEnabled(false);
    QImage img = b->RenderToImage();
    EXPECT_EQ(CountTinted(img, clRed), 0);
    EXPECT_GT(CountColour(img, clGrayText), 0);
}

TEST_F(PkButtonTest, TintedAndHotTrackLooks) {
    TPkButton* b = Button("tint");
    b->SetColor(RGB(255, 128, 128));
    QImage img = b->RenderToImage();
    EXPECT_EQ(FromQRgb(img.pixel(0, 10)), clWhite);
    EXPECT_EQ(FromQRgb(img.pixel(74, 10)), RGB(170, 0, 0));
    EXPECT_EQ(FromQRgb(img.pixel(1, 10)), RGB(255, 212, 212));
    EXPECT_EQ(FromQRgb(img.pixel(73, 10)), RGB(255, 21, 21));
    EXPECT_EQ(FromQRgb(img.pixel(20, 3)), RGB(255, 128, 128));

    b->SetHotTrack(true);
    EXPECT_TRUE(b->Transparent());
    form->SetColor(RGB(1, 2, 3));
    img = b->RenderToImage();
    EXPECT_EQ(FromQRgb(img.pixel(0, 0)), RGB(1, 2, 3));             // the parent shows in the rounded corner
    EXPECT_EQ(FromQRgb(img.pixel(1, 5)), ColorToRGB(cl3DDkShadow)); // the frame
}

TEST_F(PkButtonTest, RetiredFrameFlatTurnsHotTrackOn) {
    RegisterPanelClasses();
    TForm root(nullptr);
    auto errors = ReadLayout(R"(object fmTest: TForm
  object btn: TPkButton
    FrameFlat = True
    Caption = "Flat"
  end
end
)",
                             root);
    EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors[0]);
    auto* btn = dynamic_cast<TPkButton*>(root.FindComponent("btn"));
    ASSERT_NE(btn, nullptr);
    EXPECT_TRUE(btn->HotTrack());
    std::string written = WriteLayout(root);
    EXPECT_EQ(written.find("FrameFlat"), std::string::npos);
    EXPECT_NE(written.find("HotTrack = True"), std::string::npos);
}
