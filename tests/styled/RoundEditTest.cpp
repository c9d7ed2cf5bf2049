#include "styled/RoundControls.h"
#include "styled/StyledClasses.h"

#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <cstdlib>

using namespace kv;

namespace {

TRect EditBounds(const TRoundEdit& box) {
    const TEmptyEdit* e = box.Edit();
    return {e->Left(), e->Top(), e->Width(), e->Height()}; // left, top, width, height
}

const char* kLayout = R"(object fmBoxes: TForm
  object cvdEqGainInA: TRoundEdit
    Left = 10
    Top = 20
    Width = 58
    Height = 30
    BorderColor = clHighlightText
    Color = clWhite
    Rounding = 6
    TabOrder = 3
    TabStop = True
    Version = "9.9.9.9"
    Alignment = taCenter
    AutoSelect = False
    Font.Height = -11
    Font.Name = "Tahoma"
    Font.Color = clBlack
    HideSelection = False
    ParentFont = False
    ReadOnly = True
    ShowHint = True
    Text = "+0.0dB"
  end
end
)";

// The value boxes as the main window's layout holds them, and as code makes them.
TEST(RoundEditTest, InnerEditPlacementAndFixedHeight) {
    RegisterStyledClasses();
    TForm form(nullptr);
    auto errors = form.LoadLayoutText(kLayout);
    EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors.front());
    auto* box = dynamic_cast<TRoundEdit*>(form.FindComponent("cvdEqGainInA"));
    ASSERT_NE(box, nullptr);
    // A layout box has read its (empty) button collection: the right side keeps its 2-pixel base.
    EXPECT_EQ(EditBounds(*box), (TRect{6, 5, 44, 18}));
    EXPECT_EQ(box->Height(), 24);
    EXPECT_EQ(box->Version(), "1.0.3.1");
    EXPECT_EQ(box->GetText(), "+0.0dB");
    EXPECT_TRUE(box->ReadOnly());
    EXPECT_EQ(box->Alignment(), TAlignment::taCenter);
    EXPECT_FALSE(box->AutoSelect());
    EXPECT_TRUE(box->Edit()->TabStop());
    EXPECT_FALSE(box->TabStop());
    EXPECT_EQ(box->Edit()->Color(), clWhite);
    EXPECT_EQ(box->Edit()->Font()->Color(), clBlack);
    EXPECT_EQ(box->Edit()->Parent(), box);

    // Height stays 24 whatever asks for another.
    box->SetBounds(0, 0, 70, 40);
    EXPECT_EQ(box->Height(), 24);
    box->SetHeight(10);
    EXPECT_EQ(box->Height(), 24);
    // A resize places the inner edit again.
    EXPECT_EQ(EditBounds(*box), (TRect{6, 5, 56, 18}));

    // Made in code and never recalculated: no 2-pixel base.
    TRoundEdit code(nullptr);
    EXPECT_EQ(code.Width(), 100);
    EXPECT_EQ(code.Height(), 24);
    EXPECT_EQ(code.Rounding(), 8);
    EXPECT_EQ(EditBounds(code), (TRect{8, 5, 84, 18}));
    // A new rounding moves nothing until the next placement.
    code.SetRounding(6);
    EXPECT_EQ(EditBounds(code), (TRect{8, 5, 84, 18}));
    code.SetWidth(90);
    EXPECT_EQ(EditBounds(code), (TRect{6, 5, 78, 18}));
}

TEST(RoundEditTest, DeclaredDefaultsAreRegistered) {
    TRoundEdit box(nullptr);
    const TClassInfo& ci = TRoundEdit::StaticClassInfo();
    struct Case {
        const char* name;
        long long def;
    };
    for (const Case& c : {Case{"Rounding", 8}, Case{"Color", clWindow}, Case{"BorderColor", 0x808080},
                          Case{"AutoSelect", 1}, Case{"HideSelection", 1}, Case{"MaxLength", 0},
                          Case{"ReadOnly", 0}, Case{"Enabled", 1}, Case{"PasswordChar", 0}}) {
        const TPropInfo* p = ci.FindProp(c.name);
        ASSERT_NE(p, nullptr) << c.name;
        EXPECT_TRUE(p->HasDefault) << c.name;
        EXPECT_EQ(p->Default, c.def) << c.name;
        EXPECT_TRUE(p->IsDefaultValue(box)) << c.name;
    }
    // Tab stop and order are always stored.
    EXPECT_FALSE(ci.FindProp("TabStop")->HasDefault);
    EXPECT_FALSE(ci.FindProp("TabOrder")->HasDefault);
}

TEST(RoundEditTest, EventsCarryTheBoxWithTheInnerEditsArguments) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 100);
    auto* box = new TRoundEdit(&form);
    box->SetParent(&form);
    box->SetBounds(10, 10, 58, 24);
    form.Show();

    TObject* keySender = nullptr;
    box->OnKeyDown = [&](TObject* s, std::uint16_t& key, TShiftState) {
        keySender = s;
        if (key == 'A')
            key = 0; // swallowed: the inner edit never sees it
    };
    QWidget* ew = box->Edit()->Widget();
    auto press = [&](int qtKey, const QString& text) {
        QKeyEvent down(QEvent::KeyPress, qtKey, Qt::NoModifier, text);
        QApplication::sendEvent(ew, &down);
    };
    press(Qt::Key_A, "a");
    EXPECT_EQ(keySender, box);
    EXPECT_EQ(box->GetText(), "");
    press(Qt::Key_B, "b");
    EXPECT_EQ(box->GetText(), "b");
    box->SetCharCase(TCharCase::ecUpperCase);
    EXPECT_EQ(box->GetText(), "B");
    press(Qt::Key_C, "c");
    EXPECT_EQ(box->GetText(), "BC");
    box->SetCharCase(TCharCase::ecNormal);
    box->SetNumbersOnly(true);
    box->SetText("1");
    press(Qt::Key_D, "d");
    press(Qt::Key_5, "5");
    EXPECT_EQ(box->GetText(), "15");
    box->SetNumbersOnly(false);

    TObject* mouseSender = nullptr;
    int mx = -1, my = -1, downs = 0;
    box->OnMouseDown = [&](TObject* s, TMouseButton, TShiftState, int x, int y) {
        mouseSender = s;
        mx = x;
        my = y;
        ++downs;
    };
    QMouseEvent inEdit(QEvent::MouseButtonPress, QPointF(3, 4), ew->mapToGlobal(QPointF(3, 4)),
                       Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(ew, &inEdit);
    EXPECT_EQ(mouseSender, box);
    EXPECT_EQ(mx, 3); // the inner edit's coordinates, not the box's (9, 9)
    EXPECT_EQ(my, 4);
    // A press on the rounded rim outside the inner edit raises nothing.
    QMouseEvent onRim(QEvent::MouseButtonPress, QPointF(2, 2), box->Widget()->mapToGlobal(QPointF(2, 2)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box->Widget(), &onRim);
    EXPECT_EQ(downs, 1);

    // The main window's own fields of the control stay untouched; exit fires from the inner edit.
    int exits = 0;
    box->OnExit = [&](TObject* s) {
        EXPECT_EQ(s, box);
        ++exits;
    };
    box->Edit()->DoExit();
    EXPECT_EQ(exits, 1);

    // SetText raises the box's change only when one is set; the editors set none.
    int changes = 0;
    box->OnChange = [&](TObject* s) {
        EXPECT_EQ(s, box);
        ++changes;
    };
    box->SetText("+20.0dB");
    EXPECT_EQ(box->GetText(), "+20.0dB");
    EXPECT_EQ(changes, 1);
    box->SetText("");
    EXPECT_EQ(box->GetText(), "");
}

TEST(RoundEditTest, EnabledColourAndFontReachTheInnerEdit) {
    TPanel parent(nullptr);
    auto* box = new TRoundEdit(&parent);
    box->SetParent(&parent);
    box->SetParentFont(false);

    box->SetEnabled(false);
    EXPECT_FALSE(box->Edit()->Enabled());
    EXPECT_TRUE(box->TControl::Enabled());
    EXPECT_FALSE(box->EditEnabled());
    box->SetEnabled(true);
    EXPECT_TRUE(box->Edit()->Enabled());

    box->SetColor(0xFFFFDF);
    EXPECT_EQ(box->Edit()->Color(), 0xFFFFDF);

    // The editors colour the value text through the box's font.
    box->Font()->SetColor(clRed);
    EXPECT_EQ(box->Edit()->Font()->Color(), clRed);
    // A parent's font change does not reach the box.
    parent.Font()->SetHeight(-20);
    EXPECT_EQ(box->Font()->Height(), -11);
    EXPECT_EQ(box->Edit()->Font()->Height(), -11);
}

QRgb Px(const QImage& img, int x, int y) {
    return img.pixel(x, y) & 0xFFFFFF;
}
bool Near(QRgb a, QRgb b, int tol = 24) {
    return std::abs(qRed(a) - qRed(b)) <= tol && std::abs(qGreen(a) - qGreen(b)) <= tol &&
           std::abs(qBlue(a) - qBlue(b)) <= tol;
}

// The rounded outline, the inner shadow line and its bend, probed on a rendered box.
TEST(RoundEditTest, OutlineAndShadowLine) {
    TPanel parent(nullptr);
    parent.SetBevelOuter(TBevelCut::bvNone);
    parent.SetColor(RGB(0, 0, 160));
    parent.SetBounds(0, 0, 58, 24);
    auto* box = new TRoundEdit(&parent);
    box->SetParent(&parent);
    box->SetBounds(0, 0, 58, 24);
    box->SetRounding(6);
    box->SetBorderColor(clBlack);
    box->SetColor(RGB(255, 255, 0));
    box->Edit()->SetVisible(false); // the rounded face alone
    QImage img = parent.RenderToImage();
    img.scaled(img.width() * 8, img.height() * 8)
        .save(QString::fromStdString(::testing::TempDir() + "kv-roundedit.png"));
    const QRgb back = qRgb(0, 0, 160), fill = qRgb(255, 255, 0), border = qRgb(0, 0, 0), shadow = 0xD9D9D9;
    EXPECT_TRUE(Near(Px(img, 0, 0), back));     // the corner is rounded away
    EXPECT_TRUE(Near(Px(img, 30, 0), border));  // top edge
    EXPECT_TRUE(Near(Px(img, 30, 23), border)); // bottom edge
    EXPECT_TRUE(Near(Px(img, 0, 12), border));  // left edge
    EXPECT_TRUE(Near(Px(img, 57, 12), border)); // right edge
    EXPECT_TRUE(Near(Px(img, 30, 12), fill));
    for (int x : {7, 30, 51})
        EXPECT_TRUE(Near(Px(img, x, 1), shadow)) << x;
    EXPECT_TRUE(Near(Px(img, 30, 2), fill));
    // The line bends down at its right end: (52, 1) to (55, 4).
    EXPECT_FALSE(Near(Px(img, 55, 3), fill, 8));

    box->SetShadowColor(clNone);
    img = parent.RenderToImage();
    EXPECT_TRUE(Near(Px(img, 30, 1), fill));
}

TEST(RoundEditTest, EmbeddedButtonsTakeTheirWidth) {
    auto* images = new TTickImageList(nullptr);
    QImage icon(12, 12, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    images->Add(icon);
    TRoundEdit box(nullptr);
    box.SetImages(images);
    EXPECT_EQ(EditBounds(box), (TRect{8, 5, 82, 18})); // the 2-pixel base now
    TRoundControl* right = box.RoundControls()->Add();
    right->SetImageIndex(0);
    EXPECT_EQ(box.RoundControls()->RightControlSize(), 16);
    EXPECT_EQ(EditBounds(box), (TRect{8, 5, 68, 18}));
    TRoundControl* left = box.RoundControls()->Add();
    left->SetPosition(TControlPosition::cpLeft);
    left->SetDropDown(true);
    EXPECT_EQ(box.RoundControls()->LeftSize(), 19);
    EXPECT_EQ(box.IndentLeft(), 19);
    EXPECT_EQ(EditBounds(box), (TRect{27, 5, 49, 18}));
    // Hit test: strictly inside the button's extent; the right one starts at 100 - 16 - 8 div 2.
    EXPECT_EQ(box.ControlAtPos(80), -1);
    EXPECT_EQ(box.ControlAtPos(81), 0);
    EXPECT_EQ(box.ControlAtPos(93), 0);
    EXPECT_EQ(box.ControlAtPos(5), 1);
    EXPECT_EQ(box.ControlAtPos(0), -1);
    EXPECT_EQ(box.ControlAtPos(50), -1);
    int clicked = -1;
    box.OnControlClick = [&](TObject*, int i) { clicked = i; };
    box.MouseDown(TMouseButton::mbLeft, {}, 85, 12);
    EXPECT_EQ(right->State(), TRoundControlState::csDown);
    box.MouseUp(TMouseButton::mbLeft, {}, 85, 12);
    EXPECT_EQ(clicked, 0);
    EXPECT_EQ(right->State(), TRoundControlState::csNormal);
    box.MouseMove({}, 85, 12);
    EXPECT_EQ(right->State(), TRoundControlState::csHover);
    box.MouseLeave();
    EXPECT_EQ(right->State(), TRoundControlState::csNormal);
    // Removing the image list forgets it and recalculates.
    delete images;
    EXPECT_EQ(box.Images(), nullptr);
    EXPECT_EQ(EditBounds(box), (TRect{15, 5, 73, 18})); // the buttons keep 2 (and 5 for the arrow)
}

} // namespace

namespace {

// The boxes as the main window shows them: editable and read-only, centred text, on a strip's face.
TEST(RoundEditTest, ProgramBoxesShowTheirValueCentred) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 100);
    auto* strip = new TPanel(&form);
    strip->SetParent(&form);
    strip->SetBevelOuter(TBevelCut::bvNone);
    strip->SetColor(RGB(58, 64, 74));
    strip->SetBounds(0, 0, 160, 40);
    TRoundEdit* boxes[2];
    const TColor colours[2] = {clWhite, 0xFFFFDF};
    for (int i = 0; i < 2; ++i) {
        auto* b = new TRoundEdit(&form);
        b->SetParent(strip);
        b->SetBounds(8 + i * 70, 8, 58, 24);
        b->SetRounding(6);
        b->SetBorderColor(clHighlightText);
        b->SetColor(colours[i]);
        b->SetAlignment(TAlignment::taCenter);
        b->SetParentFont(false);
        b->Font()->SetName("Tahoma");
        b->Font()->SetHeight(-11);
        b->Font()->SetColor(clBlack);
        b->SetReadOnly(i == 1);
        b->SetText(i == 0 ? "+0.0dB" : "19.7Hz");
        boxes[i] = b;
    }
    const QImage img = strip->RenderToImage();
    img.scaled(img.width() * 4, img.height() * 4)
        .save(QString::fromStdString(::testing::TempDir() + "kv-roundedit-program.png"));
    for (int i = 0; i < 2; ++i) {
        const int x0 = boxes[i]->Left(), y0 = boxes[i]->Top();
        // Dark text pixels in the middle third of the box, none at its left and right ends.
        int mid = 0, ends = 0;
        for (int y = y0 + 6; y < y0 + 20; ++y) {
            for (int x = x0 + 12; x < x0 + 46; ++x)
                mid += qGray(img.pixel(x, y)) < 100;
            for (int x : {x0 + 7, x0 + 50})
                ends += qGray(img.pixel(x, y)) < 100;
        }
        EXPECT_GT(mid, 20) << i;
        EXPECT_EQ(ends, 0) << i;
        // The face colour fills the box; the strip shows at its rounded corner.
        EXPECT_EQ(img.pixel(x0 + 3, y0 + 12) & 0xFFFFFF, ToQRgb(colours[i]) & 0xFFFFFF) << i;
        EXPECT_EQ(img.pixel(x0, y0) & 0xFFFFFF, ToQRgb(RGB(58, 64, 74)) & 0xFFFFFF) << i;
    }
}

} // namespace

namespace {

TEST(RoundEditTest, EmptyTextShowsGreyOnlyWhileEmpty) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 60);
    auto* box = new TRoundEdit(&form);
    box->SetParent(&form);
    box->SetBounds(0, 0, 100, 24);
    box->SetColor(clWhite);
    auto greys = [&] {
        const QImage img = box->RenderToImage();
        int n = 0;
        for (int y = 5; y < 23; ++y)
            for (int x = 8; x < 92; ++x) {
                const QRgb c = img.pixel(x, y);
                n += qGray(c) < 200 && std::abs(qRed(c) - qBlue(c)) < 8;
            }
        return n;
    };
    EXPECT_EQ(greys(), 0);
    box->SetEmptyText("value");
    EXPECT_GT(greys(), 10);
    box->SetText("1");
    const int withText = greys();
    box->SetText("");
    EXPECT_GT(greys(), withText);
}

// A box freed while it has the focus (as a closing window frees its controls): the focus leaves the
// edit as it is taken apart, and nothing of the half-destroyed box is called.
TEST(RoundEditTest, BoxFreedWhileItHasTheFocus) {
    auto* form = new TForm(nullptr);
    form->SetBounds(0, 0, 200, 60);
    auto* box = new TRoundEdit(form);
    box->SetParent(form);
    box->SetBounds(0, 0, 100, 24);
    box->Edit()->SetCharCase(TCharCase::ecUpperCase);
    form->Show();
    QApplication::setActiveWindow(form->Widget()->window());
    box->Edit()->Widget()->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(box->Edit()->Widget()->hasFocus());
    box->SetText("12");
    delete box; // under the sanitizers, a call into the half-destroyed box would stop here
    delete form;
}

} // namespace

