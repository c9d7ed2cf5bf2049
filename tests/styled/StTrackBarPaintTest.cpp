#include "styled/StTrackBar.h"

#include "platform/gui/Forms.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using namespace kv;

namespace {

constexpr TColor kMedGray = 0xA4A0A0;
constexpr TColor kBevelLight = 0xF6F6F6; // 10 % of clMedGray over white

std::vector<std::uint8_t> ThumbBmp(TColor body, TColor edge) {
    TBitmap bmp(16, 29);
    TCanvas& c = *bmp.Canvas();
    c.Brush()->SetColor(clFuchsia);
    c.FillRect({0, 0, 16, 29});
    c.Brush()->SetColor(edge);
    c.FillRect({1, 0, 15, 29});
    c.Brush()->SetColor(body);
    c.FillRect({2, 1, 14, 28});
    c.Brush()->SetColor(clWhite);
    c.FillRect({2, 14, 14, 15}); // the value line
    return bmp.SaveToBytes();
}

std::unique_ptr<TGDIPPicture> Picture(TColor body, TColor edge) {
    auto pic = std::make_unique<TGDIPPicture>();
    pic->LoadFromBytes(ThumbBmp(body, edge));
    return pic;
}

// A form holding one main-window fader (graphic EQ: 26 x 193, 0..240) on a plain background.
struct FaderOnForm {
    TForm form{nullptr};
    TStTrackBar* fader;
    FaderOnForm() {
        form.SetBounds(0, 0, 60, 260);
        form.SetColor(RGB(60, 70, 80));
        fader = new TStTrackBar(&form);
        fader->SetParent(&form);
        fader->SetOrientation(TTrackBarOrientation::trVertical);
        fader->SetBounds(10, 10, 26, 193);
        fader->SetMax(240);
        fader->SetPageSize(6);
        fader->SetShowFocus(true);
        fader->SetTrackHint(false);
        fader->Slider()->SetSize(3);
        fader->Slider()->SetColor(clWhite);
        fader->Slider()->SetColorTo(clBlack);
        fader->Slider()->SetBorderColor(kMedGray);
        fader->TickMark()->SetStyle(TTickStyle::tsNone);
        fader->Thumb()->SetPicture(Picture(RGB(40, 40, 40), RGB(120, 120, 120)).get());
        fader->Thumb()->SetPictureHot(Picture(RGB(40, 40, 140), RGB(120, 120, 120)).get());
        fader->Thumb()->SetPictureDown(Picture(RGB(140, 40, 40), RGB(120, 120, 120)).get());
    }
    // The fader's own pixels as the window shows them.
    QImage Render() {
        QImage img = form.RenderToImage();
        return img.copy(10, 10, 26, 193);
    }
    void Show() {
        form.Show();
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
};

TColor At(const QImage& img, int x, int y) {
    return FromQRgb(img.pixel(x, y));
}

std::uint64_t Hash(const QImage& img) {
    std::uint64_t h = 1469598103934665603ull;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            h ^= img.pixel(x, y) & 0xFFFFFFu;
            h *= 1099511628211ull;
        }
    return h;
}

// Where a failing image is written for a look.
void Keep(const QImage& img, const std::string& name) {
    QString dir = QString::fromStdString(::testing::TempDir()) + "kv-fader";
    QDir().mkpath(dir);
    img.save(dir + "/" + QString::fromStdString(name) + ".png");
    img.scaled(img.width() * 4, img.height() * 4).save(dir + "/" + QString::fromStdString(name) + "-x4.png");
}

TEST(StTrackBarPaintTest, SliderColumnsAndThumbPicture) {
    FaderOnForm f;
    f.fader->SetPosition(120);
    QImage img = f.Render();
    const TColor background = RGB(60, 70, 80);
    // Slider at x 13..15 below the thumb (y 150): grey bevel line, then two light lines.
    EXPECT_EQ(At(img, 13, 150), kMedGray);
    EXPECT_EQ(At(img, 14, 150), kBevelLight);
    EXPECT_EQ(At(img, 15, 150), kBevelLight);
    EXPECT_EQ(At(img, 12, 150), background); // transparent: the parent shows
    EXPECT_EQ(At(img, 16, 150), background);
    // The top line of the bevel.
    EXPECT_EQ(At(img, 14, 3), kMedGray);
    // Thumb (6, 82, 22, 111): keyed magenta columns show the parent; the body its own colour.
    EXPECT_EQ(At(img, 6, 90), background);
    EXPECT_EQ(At(img, 7, 90), RGB(120, 120, 120));
    EXPECT_EQ(At(img, 10, 90), RGB(40, 40, 40));
    EXPECT_EQ(At(img, 10, 96), clWhite);
    EXPECT_EQ(At(img, 21, 90), background);
    // Unfocused: no focus dots.
    for (int y = 0; y < 193; ++y)
        EXPECT_NE(At(img, 25, y), clBlack) << y;
}

TEST(StTrackBarPaintTest, ThumbStatePictures) {
    FaderOnForm f;
    f.fader->SetPosition(120);
    // Hot and down pictures; a state without its own picture keeps the one chosen so far.
    f.fader->MouseMove({}, 14, 96);
    ASSERT_TRUE(f.fader->ThumbHot());
    EXPECT_EQ(At(f.Render(), 10, 90), RGB(40, 40, 140));
    f.fader->MouseDown(TMouseButton::mbLeft, {}, 14, 96);
    EXPECT_EQ(At(f.Render(), 10, 90), RGB(140, 40, 40));
    f.fader->MouseUp(TMouseButton::mbLeft, {}, 14, 96);
    f.fader->Thumb()->SetPictureHot(nullptr);
    EXPECT_EQ(At(f.Render(), 10, 90), RGB(40, 40, 40));

    // Disabled: PictureDisabled whatever hot and down say; without it the state's picture.
    f.fader->SetEnabled(false);
    EXPECT_EQ(At(f.Render(), 10, 90), RGB(40, 40, 40));
    f.fader->Thumb()->SetPictureDisabled(Picture(RGB(128, 128, 128), RGB(90, 90, 90)).get());
    EXPECT_EQ(At(f.Render(), 10, 90), RGB(128, 128, 128));
}

TEST(StTrackBarPaintTest, GoldenImagesWithoutText) {
    FaderOnForm f;
    f.Show();
    struct Case {
        const char* name;
        int position;
        bool focused, enabled;
        std::uint64_t hash;
    };
    // Pixel hashes of images looked at and approved (kept as PNG under the temporary folder).
    const Case cases[] = {
        {"min", 0, false, true, 0x2d0aa07ce35cb2efull},
        {"mid", 120, false, true, 0xe0cd51232cab8d17ull},
        {"max", 240, false, true, 0xaa893e6fdfb9a0cfull},
        {"min-focus", 0, true, true, 0xadb03a16f6ead33full},
        {"mid-focus", 120, true, true, 0x58e8228ed7bd5867ull},
        {"max-focus", 240, true, true, 0x2332427836ea461full},
        {"min-off", 0, false, false, 0xe6212bb3daf7bc8full},
        {"mid-off", 120, false, false, 0x281e4fee17c234bfull},
        {"max-off", 240, false, false, 0xdcbab87b1436f7bfull},
    };
    for (const Case& c : cases) {
        f.fader->SetEnabled(c.enabled);
        f.fader->SetPosition(c.position);
        if (c.focused) {
            f.form.Widget()->activateWindow();
            f.fader->SetFocus();
            QCoreApplication::processEvents();
        } else {
            f.fader->Widget()->clearFocus();
        }
        ASSERT_EQ(f.fader->Focused(), c.focused) << c.name;
        QImage img = f.Render();
        if (Hash(img) != c.hash) {
            Keep(img, std::string("golden-") + c.name);
            ADD_FAILURE() << c.name << ": image changed, written to " << ::testing::TempDir()
                          << "kv-fader; hash " << std::hex << Hash(img);
        }
        if (c.focused) {
            // A dotted black rectangle one pixel inside the right and bottom edges.
            int dots = 0;
            for (int y = 0; y < 192; ++y)
                dots += At(img, 25, y) == clBlack;
            EXPECT_EQ(dots, 96) << c.name;
            EXPECT_TRUE(At(img, 0, 0) == clBlack);
        }
    }
}

TEST(StTrackBarPaintTest, CompletedPartAndGradients) {
    FaderOnForm f;
    f.fader->Slider()->SetColorCompleted(clRed);
    f.fader->Slider()->SetColorCompletedTo(clRed);
    f.fader->Slider()->SetBorderColor(clNone);
    // At Min the whole slider shows the face colours; at Max the completed colours.
    f.fader->SetPosition(0);
    QImage low = f.Render();
    EXPECT_NE(At(low, 14, 50), clRed);
    f.fader->SetPosition(240);
    QImage high = f.Render();
    EXPECT_EQ(At(high, 14, 150), clRed);
    f.fader->SetPosition(120);
    QImage mid = f.Render();
    EXPECT_EQ(At(mid, 14, 150), clRed); // below the thumb's centre
    EXPECT_NE(At(mid, 14, 50), clRed);

    // A white-to-black band gradient in 20 steps ends one step short of black.
    TBitmap bmp(40, 10);
    DrawBandGradient(*bmp.Canvas(), clWhite, clBlack, true, {0, 0, 40, 10}, 20);
    EXPECT_EQ(At(bmp.Image(), 0, 5), clWhite);
    EXPECT_EQ(At(bmp.Image(), 38, 5), RGB(13, 13, 13));
    EXPECT_EQ(BlendColor(kMedGray, clWhite, 10), kBevelLight);
    EXPECT_EQ(BlendColor(clRed, clBlue, 100), clRed);
    EXPECT_EQ(BlendColor(clRed, clBlue, 0), clBlue);
}

TEST(StTrackBarPaintTest, ShapesTicksButtonsAndLabelDraw) {
    // The paths no window of the program takes: drawn shapes, ticks with text, buttons, the label,
    // a background gradient and rating pictures. They must paint inside the control without failing.
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 400);
    form.SetColor(clWhite);
    int y = 0;
    std::vector<TStTrackBar*> faders;
    for (TThumbShape shape : {TThumbShape::tsPointer, TThumbShape::tsRectangle, TThumbShape::tsRoundRect,
                              TThumbShape::tsRound, TThumbShape::tsLine, TThumbShape::tsTriangle}) {
        auto* f = new TStTrackBar(&form);
        f->SetParent(&form);
        f->SetBounds(0, y, 200, 50);
        f->Thumb()->SetShape(shape);
        f->TickMark()->SetPosition(TTickMark::tmBoth);
        f->TickMark()->SetShowText(shape == TThumbShape::tsPointer);
        f->Buttons()->SetVisible(shape == TThumbShape::tsRectangle);
        f->TrackLabel()->SetVisible(shape == TThumbShape::tsRoundRect);
        f->SetTransparent(shape != TThumbShape::tsRound);
        f->SetColor(clSilver);
        f->SetColorTo(clGray);
        f->SetBorderColor(clBlack);
        f->SetPosition(4);
        faders.push_back(f);
        y += 55;
    }
    QImage img = form.RenderToImage();
    if (qEnvironmentVariableIsSet("KV_KEEP_IMAGES"))
        Keep(img, "shapes");
    // The pointer thumb is filled in its face colours somewhere inside its rectangle.
    TRect th = faders[0]->GetThumbRect();
    int coloured = 0;
    for (int py = th.Top; py < th.Bottom; ++py)
        for (int px = th.Left; px < th.Right; ++px)
            coloured += At(img, px, py) != clWhite;
    EXPECT_GT(coloured, th.Width() * th.Height() / 3);
    // Ticks of the last fader: the first one grows up from the top area's lower edge and down from the
    // bottom area's upper edge, at the thumb's pointer for value 0.
    const TStTrackBar& last = *faders.back();
    TRect tl = last.GetTopLeftTickRect(), br = last.GetBottomRightTickRect();
    const int x0 = last.GetTrackRect().Left + last.GetThumbPointerOffset(), top = 5 * 55;
    EXPECT_EQ(At(img, x0, top + tl.Bottom - 1), clBlack);
    EXPECT_EQ(At(img, x0, top + tl.Bottom - 4), clBlack);
    EXPECT_EQ(At(img, x0, top + tl.Bottom - 5), clWhite);
    EXPECT_EQ(At(img, x0, top + br.Top), clBlack);
    EXPECT_EQ(At(img, x0, top + br.Top + 4), clWhite);
    // The gradient background of the opaque one starts in its Color inside the frame.
    EXPECT_EQ(At(img, 1, 3 * 55 + 25), clSilver);
    EXPECT_EQ(At(img, 0, 3 * 55 + 25), clBlack);
}

} // namespace
