// The bitmap button: groups over two parents, press and release, key clicks, the bitmap chosen per
// state, transparent keys over the parent, the caption layout and the modal result.

#include "panels/PkBmpButton.h"

#include "panels/PanelClasses.h"
#include "platform/gui/Layout.h"

#include "platform/gui/StdCtrls.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

using namespace kv;

namespace {

constexpr TColor kSentinel = RGB(1, 2, 3);

std::unique_ptr<TBitmap> Solid(int w, int h, TColor c) {
    auto b = std::make_unique<TBitmap>(w, h);
    b->Canvas()->Brush()->SetColor(c);
    b->Canvas()->FillRect({0, 0, w, h});
    return b;
}

TColor Probe(TControl& c, int x, int y) {
    return FromQRgb(c.RenderToImage().pixel(x, y));
}

class CountingButton : public TPkBmpButton {
public:
    using TPkBmpButton::TPkBmpButton;
    int BmpButtonPressed(int groupIndex, TPkBmpButton* sender) override {
        if (groupIndex == GroupIndex() && sender != this)
            ++messages;
        return TPkBmpButton::BmpButtonPressed(groupIndex, sender);
    }
    int messages = 0;
};

struct Fixture : ::testing::Test {
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 400, 300);
        form->SetColor(kSentinel);
        form->Show();
    }
    TPkBmpButton* Button(TWinControl* parent, int group = 0) {
        auto* b = new TPkBmpButton(form.get());
        b->SetParent(parent);
        b->SetGroupIndex(group);
        b->OnClick = [this, b](TObject*) { events.push_back("click " + b->Name()); };
        return b;
    }
    std::unique_ptr<TForm> form;
    std::vector<std::string> events;
};

using PkBmpButtonTest = Fixture;

} // namespace

TEST_F(PkBmpButtonTest, GroupsReachOnlySiblingsOfOneParent) {
    auto* p1 = new TPanel(form.get());
    p1->SetParent(form.get());
    auto* p2 = new TPanel(form.get());
    p2->SetParent(form.get());
    p2->SetTop(100);
    TPkBmpButton* a = Button(p1, 2);
    TPkBmpButton* b = Button(p1, 2);
    TPkBmpButton* c = Button(p1, 3);
    TPkBmpButton* d = Button(p2, 2);
    TPkBmpButton* e = Button(p1, 0);
    b->SetDown(true);
    c->SetDown(true);
    d->SetDown(true);
    struct Step {
        const char* what;
        std::function<void()> act;
        bool a, b, c, d;
    };
    const Step steps[] = {
        {"a goes down: b, its sibling of group 2, rises", [&] { a->SetDown(true); }, true, false, true, true},
        {"a cannot be raised without AllowAllUp", [&] { a->SetDown(false); }, true, false, true, true},
        {"AllowAllUp is shared with the siblings only", [&] { a->SetAllowAllUp(true); }, true, false, true,
         true},
        {"now a rises", [&] { a->SetDown(false); }, false, false, true, true},
        {"b goes down; d under the other parent stays", [&] { b->SetDown(true); }, false, true, true, true},
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(a->Down(), s.a) << s.what;
        EXPECT_EQ(b->Down(), s.b) << s.what;
        EXPECT_EQ(c->Down(), s.c) << s.what;
        EXPECT_EQ(d->Down(), s.d) << s.what;
        if (std::string(s.what).starts_with("AllowAllUp")) {
            EXPECT_TRUE(b->AllowAllUp());
            EXPECT_FALSE(c->AllowAllUp());
            EXPECT_FALSE(d->AllowAllUp());
        }
    }
    e->SetDown(true); // no group: stays up
    EXPECT_FALSE(e->Down());
    EXPECT_TRUE(events.empty()); // SetDown raises no click
}

TEST_F(PkBmpButtonTest, LastNotifierAllowAllUpAndTwoMessagesOnALoweringRelease) {
    auto* a = new CountingButton(form.get());
    auto* b = new CountingButton(form.get());
    a->SetParent(form.get());
    b->SetParent(form.get());
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    b->SetAllowAllUp(true);
    EXPECT_TRUE(a->AllowAllUp()); // copied from the last notifier
    b->messages = 0;
    a->MouseDown(TMouseButton::mbLeft, {}, 5, 5);
    a->MouseUp(TMouseButton::mbLeft, {}, 5, 5);
    EXPECT_TRUE(a->Down());
    EXPECT_EQ(b->messages, 2); // once before the toggle, once from going down
}

TEST_F(PkBmpButtonTest, PressAndReleaseInsideClicksOnceOutsideNever) {
    TPkBmpButton* btn = Button(form.get());
    btn->SetName("btn");
    btn->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) { events.push_back("up"); };
    btn->MouseDown(TMouseButton::mbLeft, {}, 5, 5);
    EXPECT_EQ(btn->State(), TButtonState::bsDown);
    btn->MouseUp(TMouseButton::mbLeft, {}, 5, 5);
    EXPECT_EQ(events, (std::vector<std::string>{"up", "click btn"}));
    EXPECT_EQ(btn->State(), TButtonState::bsUp);

    events.clear();
    btn->MouseDown(TMouseButton::mbLeft, {}, 5, 5);
    btn->MouseMove({}, btn->ClientWidth(), 5); // the right edge is outside
    EXPECT_EQ(btn->State(), TButtonState::bsUp);
    btn->MouseMove({}, 5, 5);
    EXPECT_EQ(btn->State(), TButtonState::bsDown);
    btn->MouseMove({}, 5, btn->ClientHeight());
    btn->MouseUp(TMouseButton::mbLeft, {}, 5, btn->ClientHeight());
    EXPECT_EQ(events, (std::vector<std::string>{"up"}));
    EXPECT_EQ(btn->State(), TButtonState::bsUp);
}

TEST_F(PkBmpButtonTest, DownMemberKeysAndAccelerator) {
    TPkBmpButton* btn = Button(form.get(), 1);
    btn->SetName("mute");
    btn->SetCaption("&Mute");
    btn->SetDown(true);
    // A click on the down member without AllowAllUp keeps it down and still clicks.
    btn->MouseDown(TMouseButton::mbLeft, {}, 5, 5);
    btn->MouseUp(TMouseButton::mbLeft, {}, 5, 5);
    EXPECT_TRUE(btn->Down());
    EXPECT_EQ(btn->State(), TButtonState::bsExclusive);
    EXPECT_EQ(events.size(), 1u);

    // Space on the down member keeps the stay-down look and clicks.
    std::uint16_t key = VK_SPACE;
    btn->KeyDown(key, {});
    key = VK_SPACE;
    btn->KeyUp(key, {});
    EXPECT_EQ(btn->State(), TButtonState::bsExclusive);
    EXPECT_EQ(events.size(), 2u);

    // Enter and the accelerator click without toggling.
    TPkBmpButton* up = Button(form.get(), 4);
    up->SetCaption("&Phase");
    key = VK_RETURN;
    up->KeyDown(key, {});
    EXPECT_TRUE(up->DialogChar('p'));
    EXPECT_FALSE(up->DialogChar('x'));
    EXPECT_FALSE(up->Down());
    EXPECT_EQ(events.size(), 4u);
    up->SetEnabled(false);
    EXPECT_FALSE(up->DialogChar('p'));

    // Space press and release on an up member of a group toggles it down, then clicks.
    up->SetEnabled(true);
    key = VK_SPACE;
    up->KeyDown(key, {});
    EXPECT_EQ(up->State(), TButtonState::bsDown);
    key = VK_SPACE;
    up->KeyUp(key, {});
    EXPECT_TRUE(up->Down());
    EXPECT_EQ(events.size(), 5u);
}

TEST_F(PkBmpButtonTest, ClickSetsTheModalResultEvenWhenZero) {
    TPkBmpButton* btn = Button(form.get());
    form->SetModalResult(mrCancel);
    btn->Click();
    EXPECT_EQ(form->ModalResult(), mrNone);
}

TEST_F(PkBmpButtonTest, ModalDialogEndsAfterOnClick) {
    TPkBmpButton* ok = Button(form.get());
    ok->SetModalResult(mrOk);
    bool stillModalInHandler = false;
    TModalResult inHandler = -1;
    ok->OnClick = [&](TObject*) {
        stillModalInHandler = form->Modal();
        inHandler = form->ModalResult();
    };
    form->Hide();
    QTimer::singleShot(0, [&] {
        ok->MouseDown(TMouseButton::mbLeft, {}, 3, 3);
        ok->MouseUp(TMouseButton::mbLeft, {}, 3, 3);
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_TRUE(stillModalInHandler);
    EXPECT_EQ(inHandler, mrOk);
}

TEST_F(PkBmpButtonTest, BitmapChosenPerState) {
    TPkBmpButton* btn = Button(form.get(), 1);
    btn->SetButtonSize(TBtnSize::bszStretchToButton);
    btn->SetBounds(10, 10, 40, 20);
    btn->SetShowFocus(true);
    TPkButtonBitmaps& bm = *btn->Bitmaps();
    auto up = Solid(8, 8, clWhite); // a red shape on white, so that the embossed image has an outline
    up->Canvas()->Brush()->SetColor(clRed);
    up->Canvas()->FillRect({2, 2, 6, 6});
    bm.SetUp(up.get());
    bm.SetHot(Solid(8, 8, clLime).get());
    bm.SetUpAndFocused(Solid(8, 8, clBlue).get());
    bm.SetDown(Solid(8, 8, clYellow).get());
    bm.SetStayDown(Solid(8, 8, clAqua).get());
    bm.SetDisabled(Solid(8, 8, clPurple).get());
    EXPECT_EQ(btn->Width(), 40); // a stretched button keeps its size

    struct Case {
        const char* what;
        std::function<void()> act;
        TColor centre;
    };
    const Case cases[] = {
        {"up", [] {}, clRed},
        {"hot", [&] { btn->MouseEnter(); }, clLime},
        {"up and focused", [&] { btn->MouseLeave(), btn->DoEnter(); }, clBlue},
        {"pressed", [&] { btn->DoExit(), btn->MouseDown(TMouseButton::mbLeft, {}, 2, 2); }, clYellow},
        {"stay-down", [&] { btn->MouseUp(TMouseButton::mbLeft, {}, 2, 2); }, clAqua},
        {"disabled", [&] { btn->SetEnabled(false); }, clPurple},
        {"re-enabled while down shows stay-down", [&] { btn->SetEnabled(true); }, clAqua},
        {"stay-down without its bitmap uses down", [&] { bm.SetStayDown(nullptr); }, clYellow},
        {"and without down uses up", [&] { bm.SetDown(nullptr); }, clRed},
        {"disabled without its bitmap is embossed", [&] { bm.SetDisabled(nullptr), btn->SetEnabled(false); },
         RGB(128, 128, 128)},
    };
    for (const Case& c : cases) {
        c.act();
        EXPECT_EQ(Probe(*btn, 20, 10), c.centre) << c.what;
    }
    // The embossed highlight: white one pixel below-right of the shape (scaled by 5 x 2.5), on the face.
    QImage img = btn->RenderToImage();
    EXPECT_EQ(FromQRgb(img.pixel(32, 12)), clWhite);
    EXPECT_EQ(FromQRgb(img.pixel(0, 0)), ColorToRGB(clBtnFace));

    // Without an up bitmap nothing but the parent shows (the disabled bitmap only while disabled).
    bm.SetUp(nullptr);
    btn->SetEnabled(true);
    EXPECT_EQ(Probe(*btn, 20, 10), kSentinel);
    bm.SetDisabled(Solid(8, 8, clPurple).get());
    btn->SetEnabled(false);
    EXPECT_EQ(Probe(*btn, 20, 10), clPurple);
}

TEST_F(PkBmpButtonTest, TealAndOliveKeysShowTheParent) {
    for (TColor key : {clTeal, clOlive}) {
        TPkBmpButton* btn = Button(form.get());
        btn->Bitmaps()->SetTransparentColor(key);
        auto up = Solid(10, 10, key);
        up->Canvas()->Brush()->SetColor(clRed);
        up->Canvas()->FillRect({3, 3, 7, 7});
        btn->Bitmaps()->SetUp(up.get());
        EXPECT_EQ(btn->Width(), 10); // sized to the bitmap
        for (TBtnSize size :
             {TBtnSize::bszButtonToBitmap, TBtnSize::bszStretchToButton, TBtnSize::bszTileToButton}) {
            btn->SetButtonSize(size);
            btn->SetBounds(20, 20, 10, 10);
            QImage img = btn->RenderToImage();
            EXPECT_EQ(FromQRgb(img.pixel(0, 0)), kSentinel) << key;
            EXPECT_EQ(FromQRgb(img.pixel(9, 9)), kSentinel) << key;
            EXPECT_EQ(FromQRgb(img.pixel(5, 5)), clRed) << key;
        }
        delete btn;
    }
}

TEST_F(PkBmpButtonTest, CaptionLayout) {
    TPkBmpButton* btn = Button(form.get());
    btn->SetCaption("Ab");
    btn->SetButtonSize(TBtnSize::bszNeither);
    TCanvas measure;
    measure.Font()->Assign(btn->Font());
    TRect t{0, 0, 80, 0};
    measure.DrawText("Ab", t, DT_CALCRECT);
    const int tw = t.Width(), th = t.Height();
    TBitmap glyph(16, 16);
    const TRect content{0, 0, 80, 60};

    struct Case {
        const char* what;
        TButtonLayout layout;
        int margin, spacing;
        TRect bitmap;
        int captionX, captionY;
    };
    const int centreY = 30 - th / 2;
    const Case cases[] = {
        {"centred",
         TButtonLayout::blGlyphLeft,
         -1,
         4,
         {40 - (16 + 4 + tw) / 2, 22, 40 - (16 + 4 + tw) / 2 + 16, 38},
         40 - (16 + 4 + tw) / 2 + 20,
         centreY},
        {"spacing -1 spreads in thirds",
         TButtonLayout::blGlyphLeft,
         -1,
         -1,
         {(80 - (16 + tw)) / 3, 22, (80 - (16 + tw)) / 3 + 16, 38},
         2 * ((80 - (16 + tw)) / 3) + 16,
         centreY},
        {"margin 5, spacing -1",
         TButtonLayout::blGlyphLeft,
         5,
         -1,
         {5, 22, 21, 38},
         21 + (80 - 21) / 2 - tw / 2,
         centreY},
        {"right", TButtonLayout::blGlyphRight, 2, 3, {62, 22, 78, 38}, 62 - 3 - tw, centreY},
        {"top", TButtonLayout::blGlyphTop, 4, 2, {32, 4, 48, 20}, 40 - tw / 2, 22},
        {"bottom", TButtonLayout::blGlyphBottom, 0, 0, {32, 44, 48, 60}, 40 - tw / 2, 44 - th},
    };
    for (const Case& c : cases) {
        btn->SetLayout(c.layout);
        btn->SetMargin(c.margin);
        btn->SetSpacing(c.spacing);
        TRect caption, bitmap;
        btn->CalcLayout(content, &glyph, caption, bitmap);
        EXPECT_EQ(bitmap, c.bitmap) << c.what;
        EXPECT_EQ(caption.Left, c.captionX) << c.what;
        EXPECT_EQ(caption.Top, c.captionY) << c.what;
        EXPECT_EQ(caption.Width(), tw) << c.what;
    }
    btn->SetMargin(-2); // ignored
    EXPECT_EQ(btn->Margin(), 0);

    // Margin 18 at the top with a stretched bitmap: the caption's top 18 pixels below the edge.
    btn->SetButtonSize(TBtnSize::bszStretchToButton);
    btn->SetLayout(TButtonLayout::blGlyphTop);
    btn->SetMargin(18);
    btn->SetSpacing(4);
    TRect caption, bitmap;
    btn->CalcLayout({0, 0, 60, 60}, &glyph, caption, bitmap);
    EXPECT_EQ(caption.Top, 18);
    EXPECT_EQ(bitmap, TRect{});
}

TEST_F(PkBmpButtonTest, DefaultsAndTheSharedDownPattern) {
    TPkBmpButton* btn = Button(form.get(), 1);
    EXPECT_EQ(btn->Width(), 80);
    EXPECT_EQ(btn->Height(), 30);
    EXPECT_EQ(btn->Color(), clBtnFace);
    EXPECT_EQ(btn->Bitmaps()->TransparentColor(), clOlive);
    EXPECT_EQ(btn->CaptionDownOffset(), 1);
    EXPECT_TRUE(btn->TabStop());
    const TPropInfo* p = TPkBmpButton::StaticClassInfo().FindProp("ButtonSize");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Default, static_cast<long long>(TBtnSize::bszButtonToBitmap));

    // A bordered stay-down button fills with the checkerboard; the pattern lives until the last button.
    btn->SetButtonBorder(TButtonBorder::bbSingle);
    btn->SetDown(true);
    QImage img = btn->RenderToImage();
    EXPECT_EQ(FromQRgb(img.pixel(79, 15)), clBlack); // the single border
    EXPECT_NE(img.pixel(2, 2), img.pixel(3, 2));     // checkerboard
    EXPECT_TRUE(TPkBmpButton::DownPatternExists());
    form.reset();
    EXPECT_EQ(TPkBmpButton::LiveButtons(), 0);
    EXPECT_FALSE(TPkBmpButton::DownPatternExists());
}

TEST(PkBmpButtonLayout, BitmapsAndPropertiesRoundTrip) {
    RegisterPanelClasses();
    TForm source(nullptr);
    source.SetName("fmSource");
    auto* btn = new TPkBmpButton(&source);
    btn->SetName("pkbMute");
    btn->SetParent(&source);
    btn->SetCaption("Mute");
    btn->SetGroupIndex(2);
    btn->SetButtonSize(TBtnSize::bszStretchToButton);
    btn->SetBounds(4, 4, 60, 24);
    btn->Bitmaps()->SetTransparentColor(clTeal);
    auto up = Solid(6, 5, clRed);
    up->Canvas()->SetPixel(1, 1, clBlue);
    btn->Bitmaps()->SetUp(up.get());
    std::string text = WriteLayout(source);
    EXPECT_NE(text.find("Bitmaps.Up = bmp"), std::string::npos) << text;
    EXPECT_NE(text.find("Bitmaps.TransparentColor = clTeal"), std::string::npos) << text;
    EXPECT_EQ(text.find("Bitmaps.Down"), std::string::npos) << text; // empty pictures are not written
    EXPECT_EQ(text.find("Margin"), std::string::npos) << text;       // defaults are not written

    TForm target(nullptr);
    auto errors = ReadLayout(text, target);
    ASSERT_TRUE(errors.empty()) << errors.front();
    auto* copy = dynamic_cast<TPkBmpButton*>(target.FindComponent("pkbMute"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GroupIndex(), 2);
    EXPECT_EQ(copy->Width(), 60); // a stretched button keeps its layout size
    ASSERT_EQ(copy->Bitmaps()->Up()->Width(), 6);
    EXPECT_EQ(FromQRgb(copy->Bitmaps()->Up()->Image().pixel(1, 1)), clBlue);
    EXPECT_EQ(copy->Bitmaps()->TransparentColor(), clTeal);
}

TEST_F(PkBmpButtonTest, WidgetEventsClickOnceAndDoubleClickPressesAgain) {
    TPkBmpButton* btn = Button(form.get());
    btn->SetName("btn");
    int doubles = 0;
    btn->OnDblClick = [&](TObject*) { ++doubles; };
    QWidget* w = btn->Widget();
    auto send = [&](QEvent::Type type) {
        QPointF at(5, 5);
        QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    };
    send(QEvent::MouseButtonPress);
    send(QEvent::MouseButtonRelease);
    EXPECT_EQ(events, (std::vector<std::string>{"click btn"}));
    send(QEvent::MouseButtonDblClick);
    EXPECT_EQ(btn->State(), TButtonState::bsDown); // the second press of a double click
    send(QEvent::MouseButtonRelease);
    EXPECT_EQ(events.size(), 2u);
    EXPECT_EQ(doubles, 0); // OnDblClick only for a down button

    TPkBmpButton* grouped = Button(form.get(), 7);
    grouped->OnDblClick = [&](TObject*) { ++doubles; };
    grouped->SetDown(true);
    grouped->DblClick();
    EXPECT_EQ(doubles, 1);
}
