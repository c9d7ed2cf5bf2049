// The LED library: update counting, palette and 3D text, the drawing routines, and the LED toggle and
// hover buttons' input sequences and looks.

#include "panels/led/LdDemoButton.h"
#include "panels/led/LdPowerButton.h"
#include "platform/gui/Forms.h"

#include <gtest/gtest.h>

#include <QImage>

#include <memory>
#include <string>

using namespace kv;

namespace {

QRgb Px(const QImage& img, int x, int y) {
    return img.pixel(x, y) & 0xFFFFFFu;
}
QRgb Rgb(TColor c) {
    return ToQRgb(c) & 0xFFFFFFu;
}
bool HasColour(const QImage& img, TColor c) {
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (Px(img, x, y) == Rgb(c))
                return true;
    return false;
}
// Bounding box of the pixels of one exact colour.
QRect ColourBounds(const QImage& img, TColor c) {
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (Px(img, x, y) == Rgb(c))
                r = r.united(QRect(x, y, 1, 1));
    return r;
}

// Counts the paints that reach the screen.
template <class B> class Counted : public B {
public:
    using B::B;
    void Paint(TCanvas& canvas) override {
        ++paints;
        B::Paint(canvas);
    }
    int paints = 0;
};

struct ShownForm {
    TForm form{nullptr};
    ShownForm() {
        form.SetBounds(0, 0, 300, 200);
        form.Show();
        Application->ProcessMessages();
    }
};

} // namespace

TEST(LdControlsTest, UpdateCountHoldsRepaintsAndNeverGoesBelowZero) {
    ShownForm f;
    auto* b = new Counted<TLdPowerButton>(&f.form);
    b->SetParent(&f.form);
    Application->ProcessMessages();
    b->paints = 0;
    b->BeginUpdate();
    b->BeginUpdate();
    b->SetActive(true);
    b->EndUpdate();
    EXPECT_EQ(b->paints, 0) << "one EndUpdate of two repaints nothing";
    b->EndUpdate();
    EXPECT_EQ(b->paints, 1);
    // A stray EndUpdate must not leave the count negative: the next change repaints again.
    b->EndUpdate();
    int before = b->paints;
    EXPECT_EQ(b->UpdateCount(), 0);
    b->SetActive(false);
    EXPECT_EQ(b->paints, before + 1);
}

TEST(LdControlsTest, PaletteAssignNotifiesOnceAndColorOfPicksByIndex) {
    TLdPalette a, b;
    int changes = 0;
    a.OnChange = [&](TObject*) { ++changes; };
    b.SetLow(clRed);
    b.SetHigh(clBlue);
    a.Assign(&b);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(a.Low(), clRed);
    EXPECT_EQ(a.High(), clBlue);
    a.Assign(&b);
    EXPECT_EQ(changes, 2) << "an assignment notifies once even when nothing changed";
    EXPECT_EQ(a.ColorOf(0), clRed);
    EXPECT_EQ(a.ColorOf(-5), clRed);
    EXPECT_EQ(a.ColorOf(1), clBlue);
}

TEST(LdControlsTest, PaletteRecoloursATwoToneBitmap) {
    TBitmap bmp(4, 1);
    for (int x = 0; x < 4; ++x)
        bmp.Canvas()->SetPixel(x, 0, x < 2 ? clBlack : clWhite);
    bmp.Canvas()->SetPixel(3, 0, clGray);
    TLdPalette p;
    p.ToBMP(&bmp, clBlack, clWhite);
    EXPECT_EQ(Px(bmp.Image(), 0, 0), Rgb(clGreen));
    EXPECT_EQ(Px(bmp.Image(), 2, 0), Rgb(clLime));
    EXPECT_EQ(Px(bmp.Image(), 3, 0), Rgb(clGray));
}

TEST(LdControlsTest, Font3DDrawsItsCopiesInTheirColours) {
    struct Case {
        TLdFont3DStyle style;
        bool highlight, shadow;
    } cases[] = {{TLdFont3DStyle::f3dNone, false, false},
                 {TLdFont3DStyle::f3dRaised, true, true},
                 {TLdFont3DStyle::f3dSunken, true, true},
                 {TLdFont3DStyle::f3dShadow, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.style));
        TBitmap bmp(80, 40);
        TCanvas& cv = *bmp.Canvas();
        cv.Brush()->SetColor(clWhite);
        cv.FillRect({0, 0, 80, 40});
        cv.Font()->SetHeight(-28);
        cv.Font()->SetStyle({TFontStyle::fsBold});
        cv.Font()->SetColor(clBlue);
        TLdFont3D f;
        f.SetStyle(c.style);
        f.SetHighlightColor(clRed);
        f.SetShadowColor(clLime);
        f.Paint(cv, {0, 0, 80, 40}, DT_SINGLELINE | DT_CENTER | DT_VCENTER, "HI");
        EXPECT_TRUE(HasColour(bmp.Image(), clBlue));
        EXPECT_EQ(HasColour(bmp.Image(), clRed), c.highlight);
        EXPECT_EQ(HasColour(bmp.Image(), clLime), c.shadow);
        EXPECT_EQ(cv.Font()->Color(), clBlue) << "the font colour is restored";
    }
}

TEST(LdControlsTest, Frame3DRingsAndTheRectangleLeftInside) {
    TBitmap bmp(10, 10);
    TCanvas& cv = *bmp.Canvas();
    cv.Brush()->SetColor(clWhite);
    cv.FillRect({0, 0, 10, 10});
    TRect r{0, 0, 10, 10};
    DrawFrame3D(cv, r, clRed, clBlue, 2);
    EXPECT_EQ(r, (TRect{2, 2, 8, 8}));
    EXPECT_EQ(Px(bmp.Image(), 0, 0), Rgb(clRed));
    EXPECT_EQ(Px(bmp.Image(), 1, 5), Rgb(clRed));
    EXPECT_EQ(Px(bmp.Image(), 9, 9), Rgb(clBlue));
    EXPECT_EQ(Px(bmp.Image(), 8, 5), Rgb(clBlue));
    EXPECT_EQ(Px(bmp.Image(), 9, 0), Rgb(clBlue)) << "the top-right corner belongs to the bottom colour";
    EXPECT_EQ(Px(bmp.Image(), 5, 5), Rgb(clWhite));
    TRect same{0, 0, 10, 10};
    DrawFrame3D(cv, same, clRed, clBlue, 0);
    EXPECT_EQ(same, (TRect{0, 0, 10, 10}));
}

TEST(LdControlsTest, ImageTextLayoutTable) {
    TBitmap scratch(1, 1);
    TCanvas& cv = *scratch.Canvas();
    TRect measured{0, 0, 100, 0};
    cv.DrawText("On", measured, DT_CALCRECT);
    const int tw = measured.Width();
    struct Case {
        const char* what;
        TRect content;
        int spacing, margin;
        TLdImageTextLayout layout;
        const char* text;
        int imageX, imageY, textX;
    } cases[] = {
        {"empty text centres the image", {0, 0, 47, 16}, 5, -1, TLdImageTextLayout::ImageLeft, "", 18, 2, -1},
        {"margin given", {0, 0, 100, 20}, 5, 3, TLdImageTextLayout::ImageLeft, "On", 3, 4, 3 + 12 + 5},
        {"image right",
         {0, 0, 100, 20},
         5,
         3,
         TLdImageTextLayout::ImageRight,
         "On",
         100 - 3 - 12,
         4,
         100 - 3 - 12 - 5 - tw},
        {"content offset", {10, 20, 57, 36}, 5, -1, TLdImageTextLayout::ImageLeft, "", 28, 22, -1},
        {"spread",
         {0, 0, 100, 20},
         -1,
         -1,
         TLdImageTextLayout::ImageLeft,
         "On",
         (100 - 12 - tw) / 3,
         4,
         (100 - 12 - tw) / 3 * 2 + 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TPoint img;
        TRect text;
        CalcImageTextLayout(cv, c.content, {12, 12}, c.spacing, c.margin, c.layout, c.text, img, text);
        EXPECT_EQ(img.X, c.imageX);
        EXPECT_EQ(img.Y, c.imageY);
        if (c.textX >= 0) {
            EXPECT_EQ(text.Left, c.textX);
        }
    }
}

TEST(LdControlsTest, TileBitmapCoversPastTheEdges) {
    TBitmap tile(16, 16);
    tile.Canvas()->Brush()->SetColor(clRed);
    tile.Canvas()->FillRect({0, 0, 16, 16});
    TBitmap bmp(50, 30);
    bmp.Canvas()->Brush()->SetColor(clWhite);
    bmp.Canvas()->FillRect({0, 0, 50, 30});
    TileBitmap(*bmp.Canvas(), {0, 0, 40, 20}, &tile);
    EXPECT_EQ(Px(bmp.Image(), 47, 31 - 2), Rgb(clRed)) << "the last column runs past the right edge";
    EXPECT_EQ(Px(bmp.Image(), 49, 0), Rgb(clWhite));
}

// ---------------------------------------------------------------------------------------------------
// LED toggle button

namespace {

std::string ActiveMark(const TLdPowerButton& b) {
    return b.Active() ? "A" : "a";
}

} // namespace

TEST(LdPowerButtonTest, PressReleaseAndKeySequences) {
    enum Op { LDown, LUp, RUp, MoveOut, MoveIn, SpaceDown, SpaceUp, Accel, SetOn };
    struct Case {
        const char* what;
        std::vector<Op> ops;
        const char* log;
    } cases[] = {
        {"press and release inside", {LDown, LUp}, "down up:A click:A "},
        {"drag out and release outside", {LDown, MoveOut, LUp}, "down up:a "},
        {"drag out and back", {LDown, MoveOut, MoveIn, LUp}, "down up:A click:A "},
        {"right release ends a held left press", {LDown, RUp}, "down up:A click:A "},
        {"space press and release", {SpaceDown, SpaceUp}, "click:A "},
        {"space release without a press here", {SpaceUp}, ""},
        {"accelerator clicks without toggling", {Accel}, "click:a "},
        {"SetActive raises nothing", {SetOn}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TLdPowerButton b(nullptr);
        b.SetBounds(0, 0, 47, 16);
        b.SetCaption("&InA");
        std::string log;
        b.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { log += "down "; };
        b.OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) {
            log += "up:" + ActiveMark(b) + " ";
        };
        b.OnClick = [&](TObject*) { log += "click:" + ActiveMark(b) + " "; };
        for (Op op : c.ops) {
            std::uint16_t space = VK_SPACE;
            switch (op) {
            case LDown:
                b.MouseDown(TMouseButton::mbLeft, {TShiftItem::ssLeft}, 5, 5);
                break;
            case LUp:
                b.MouseUp(TMouseButton::mbLeft, {}, b.Pressed() ? 5 : 90, 5);
                break;
            case RUp:
                b.MouseUp(TMouseButton::mbRight, {}, 5, 5);
                break;
            case MoveOut:
                b.MouseMove({TShiftItem::ssLeft}, 90, 5);
                break;
            case MoveIn:
                b.MouseMove({TShiftItem::ssLeft}, 5, 5);
                break;
            case SpaceDown:
                b.KeyDown(space, {});
                break;
            case SpaceUp:
                b.KeyUp(space, {});
                break;
            case Accel:
                EXPECT_TRUE(b.DialogChar('i'));
                break;
            case SetOn:
                b.SetActive(true);
                b.SetActive(true);
                break;
            }
        }
        EXPECT_EQ(log, c.log);
    }
}

TEST(LdPowerButtonTest, MainWindowLookIsTheLedRingsCoreAndCaption) {
    TLdPowerButton b(nullptr);
    b.SetBounds(0, 0, 47, 16);
    b.SetColor(clBlack);
    b.SetOutlineWidth(0);
    b.SetBevelWidth(0);
    b.Palette()->SetLow(clOlive);
    b.Palette()->SetHigh(clYellow);
    b.Font()->SetName("Tahoma");
    b.Font()->SetHeight(-11);
    b.Font()->SetColor(clAqua);
    b.SetCaption("InA");
    for (bool active : {false, true}) {
        SCOPED_TRACE(active);
        b.SetActive(active);
        QImage img = b.RenderToImage();
        const TRect led = b.ImageRect();
        ASSERT_EQ(led.Width(), 12);
        ASSERT_EQ(led.Height(), 12);
        EXPECT_EQ(led.Top, 2);
        // Outer ring: shadow at the top-left, highlight at the bottom-right; then a black ring.
        EXPECT_EQ(Px(img, led.Left, led.Top + 5), Rgb(clBtnShadow));
        EXPECT_EQ(Px(img, led.Right - 1, led.Top + 5), Rgb(clBtnHighlight));
        EXPECT_EQ(Px(img, led.Left + 1, led.Top + 5), Rgb(clBlack));
        // The 8 x 8 core in the palette colour.
        QRect core = ColourBounds(img, active ? clYellow : clOlive);
        EXPECT_EQ(core, QRect(led.Left + 2, led.Top + 2, 8, 8));
        EXPECT_EQ(Px(img, 0, 0), Rgb(clBlack)) << "no frame rings with widths 0";
        QRect caption = ColourBounds(img, clAqua);
        EXPECT_FALSE(caption.isEmpty());
        EXPECT_GE(caption.left(), led.Right);
    }
    b.SetEnabled(false);
    QImage disabled = b.RenderToImage();
    EXPECT_FALSE(HasColour(disabled, clYellow)) << "a disabled LED shows the button colour";
    EXPECT_TRUE(HasColour(disabled, clBtnShadow));
}

TEST(LdPowerButtonTest, PressedLookIsSunken) {
    TLdPowerButton b(nullptr);
    b.SetBounds(0, 0, 60, 20);
    QImage up = b.RenderToImage();
    EXPECT_EQ(Px(up, 0, 0), Rgb(clBlack)) << "outline";
    EXPECT_EQ(Px(up, 1, 1), Rgb(clBtnHighlight)) << "raised bevel";
    b.MouseDown(TMouseButton::mbLeft, {}, 3, 3);
    QImage down = b.RenderToImage();
    EXPECT_EQ(Px(down, 1, 1), Rgb(clBtnShadow)) << "sunken bevel";
    EXPECT_EQ(Px(down, 59, 19), Rgb(clBtnHighlight));
}

// ---------------------------------------------------------------------------------------------------
// Hover button

TEST(LdDemoButtonTest, PressReleaseAndKeySequences) {
    enum Op { LDown, LUpIn, LUpOut, MoveOut, MoveIn, SpaceDown, SpaceUp, Accel };
    struct Case {
        const char* what;
        std::vector<Op> ops;
        const char* log;
    } cases[] = {
        {"press and release inside: click before mouse up", {LDown, LUpIn}, "down click up "},
        {"drag out and back", {LDown, MoveOut, MoveIn, LUpIn}, "down click up "},
        {"release outside", {LDown, MoveOut, LUpOut}, "down up "},
        {"space press and release", {SpaceDown, SpaceUp}, "click "},
        {"space release without a press", {SpaceUp}, ""},
        {"accelerator", {Accel}, "click "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TLdDemoButton b(nullptr);
        b.SetBounds(0, 0, 65, 17);
        b.SetCaption("&Reset");
        std::string log;
        b.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { log += "down "; };
        b.OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { log += "up "; };
        b.OnClick = [&](TObject*) { log += "click "; };
        for (Op op : c.ops) {
            std::uint16_t space = VK_SPACE;
            switch (op) {
            case LDown:
                b.MouseDown(TMouseButton::mbLeft, {TShiftItem::ssLeft}, 5, 5);
                EXPECT_TRUE(b.Down());
                break;
            case LUpIn:
                b.MouseUp(TMouseButton::mbLeft, {}, 5, 5);
                break;
            case LUpOut:
                b.MouseUp(TMouseButton::mbLeft, {}, 90, 5);
                break;
            case MoveOut:
                b.MouseMove({TShiftItem::ssLeft}, 90, 5);
                EXPECT_FALSE(b.Down()) << "the face pops up outside";
                break;
            case MoveIn:
                b.MouseMove({TShiftItem::ssLeft}, 5, 5);
                EXPECT_TRUE(b.Down());
                break;
            case SpaceDown:
                b.KeyDown(space, {});
                break;
            case SpaceUp:
                b.KeyUp(space, {});
                break;
            case Accel:
                b.DialogChar('R');
                break;
            }
        }
        EXPECT_EQ(log, c.log);
        EXPECT_FALSE(b.Down());
    }
}

TEST(LdDemoButtonTest, FacesHoverFlatDisabledAndShiftWhileDown) {
    TLdDemoButton b(nullptr);
    b.SetBounds(0, 0, 80, 24);
    b.SetColor(clBlack);
    b.FontLeave()->SetColor(clAqua);
    b.FontEnter()->SetColor(clYellow);
    b.SetCaption("Bypass");
    QImage leave = b.RenderToImage();
    EXPECT_TRUE(HasColour(leave, clAqua));
    EXPECT_FALSE(HasColour(leave, clYellow));
    b.MouseEnter();
    EXPECT_TRUE(HasColour(b.RenderToImage(), clYellow)) << "FontEnter under the mouse";
    QRect upText = ColourBounds(b.RenderToImage(), clYellow);
    b.MouseDown(TMouseButton::mbLeft, {}, 5, 5);
    QRect downText = ColourBounds(b.RenderToImage(), clYellow);
    EXPECT_EQ(downText.topLeft(), upText.topLeft() + QPoint(1, 1)) << "the caption shifts while down";
    b.MouseUp(TMouseButton::mbLeft, {}, 5, 5);

    b.SetFlat(true);
    b.MouseLeave();
    EXPECT_EQ(Px(b.RenderToImage(), 1, 1), Rgb(clBlack)) << "flat: no bevel without the mouse";
    b.MouseEnter();
    EXPECT_EQ(Px(b.RenderToImage(), 1, 1), Rgb(clBtnHighlight));
    b.MouseDown(TMouseButton::mbLeft, {}, 5, 5);
    EXPECT_EQ(Px(b.RenderToImage(), 1, 1), Rgb(clBtnShadow)) << "a pressed flat button is sunken";
    b.MouseUp(TMouseButton::mbLeft, {}, 5, 5);

    b.SetEnabled(false);
    QImage disabled = b.RenderToImage();
    EXPECT_FALSE(HasColour(disabled, clYellow));
    EXPECT_TRUE(HasColour(disabled, clInactiveCaption)) << "disabled text colour, also under the mouse";
}
