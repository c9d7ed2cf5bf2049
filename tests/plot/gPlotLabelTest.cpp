#include "plot/gPlotLabel.h"

#include "plot/gDraw.h"
#include "plot/gPropStream.h"
#include "tests/plot/PlotTestWiring.h"

#include "platform/gui/ImageList.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QRect>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

using namespace kv;

namespace {

// A plot as far as its labels see it: three image lists, the first holding a blue square.
class LabelPlot : public kvtest::TestPlotWiring, public TComponent, public IgPlotImageListHost {
public:
    LabelPlot() : TComponent(nullptr) {
        for (auto& list : lists)
            list = std::make_unique<TImageList>(24, 24);
        TBitmap blue(24, 24);
        blue.Canvas()->Brush()->SetColor(clBlue);
        blue.Canvas()->FillRect({0, 0, 24, 24});
        lists[0]->Add(blue, clNone);
    }
    TImageList* GetImageList(int index) override {
        return index >= 0 && index < 3 ? lists[static_cast<std::size_t>(index)].get() : nullptr;
    }
    std::array<std::unique_ptr<TImageList>, 3> lists;
};

// A red 10 x 10 picture whose bottom-left pixel (its see-through colour) is green.
std::unique_ptr<TBitmap> LabelPicture() {
    auto b = std::make_unique<TBitmap>(10, 10);
    b->Canvas()->Brush()->SetColor(clRed);
    b->Canvas()->FillRect({0, 0, 10, 10});
    b->Canvas()->SetPixel(0, 9, clLime);
    return b;
}

class Label : public ::testing::Test {
protected:
    void SetUp() override {
        bitmap.SetSize(300, 300);
        label = std::make_unique<TgPlotLabel>(&plot, plot.change, plot.insert, plot.remove, plot.rename);
        label->SetDrawRect({20, 20, 220, 80});
        label->SetCaption("Title");
    }
    TCanvas& canvas() { return *bitmap.Canvas(); }
    void Draw() {
        canvas().Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas().Brush()->SetColor(clBlack);
        canvas().FillRect({0, 0, 300, 300});
        label->Draw(canvas(), clBlack);
    }
    // Bounds of the pixels of one colour (any colour but black when none is given).
    QRect Ink(TColor colour = clNone) {
        QRect r;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 300; ++x) {
                const TColor c = ColorToRGB(canvas().Pixel(x, y));
                if (colour == clNone ? c != clBlack : c == colour)
                    r = r.united(QRect(x, y, 1, 1));
            }
        return r;
    }

    LabelPlot plot;
    TBitmap bitmap;
    std::unique_ptr<TgPlotLabel> label;
};

} // namespace

TEST_F(Label, FreshLabelAndWhatALayoutStoresOfIt) {
    EXPECT_TRUE(label->Horizontal());
    EXPECT_EQ(label->Font()->Name(), "Arial");
    EXPECT_EQ(label->Font()->Size(), 14);
    EXPECT_EQ(label->Font()->Style(), TFontStyles{TFontStyle::fsBold});
    EXPECT_EQ(label->Font()->Color(), clWhite);
    EXPECT_EQ(label->Alignment(), TgAlignmentHorizontal::iahCenter);
    EXPECT_EQ(label->ImageListIndex(), -1);
    EXPECT_EQ(label->ImageIndex(), 0);
    EXPECT_EQ(label->Image(), nullptr);

    auto names = [](TgPlotLabel& l) {
        TgWriter w;
        gWriteProperties(w, l);
        std::string out;
        for (const TgStreamValue& v : w.Values())
            if (v.Type == TValueType::vaPropName && v.Text.find('.') == std::string::npos)
                out += v.Text + " ";
        return out;
    };
    const std::string fresh = names(*label);
    for (const char* always : {"MarginLeft", "MarginTop", "MarginRight", "MarginBottom", "Caption"})
        EXPECT_NE(fresh.find(always), std::string::npos) << always;
    for (const char* atDefault : {"Alignment", "ImageListIndex", "ImageIndex"})
        EXPECT_EQ(fresh.find(atDefault), std::string::npos) << atDefault;

    label->SetMarginTop(0.5);
    label->SetAlignment(TgAlignmentHorizontal::iahRight);
    label->SetImageListIndex(2);
    label->SetImageIndex(-1);
    label->Font()->SetColor(clYellow);
    TgWriter w;
    gWriteProperties(w, *label);
    w.WriteListEnd();
    TgReader r(w.Values());
    TgPlotLabel copy(&plot, plot.change, plot.insert, plot.remove, plot.rename);
    gReadProperties(r, copy);
    EXPECT_EQ(copy.Caption(), "Title");
    EXPECT_EQ(copy.MarginTop(), 0.5);
    EXPECT_EQ(copy.Alignment(), TgAlignmentHorizontal::iahRight);
    EXPECT_EQ(copy.ImageListIndex(), 2);
    EXPECT_EQ(copy.ImageIndex(), -1);
    EXPECT_EQ(copy.Font()->Color(), clYellow);
}

TEST_F(Label, MarginsAreCharacterSizesRoundedHalvesToEven) {
    // A font whose "0" is an odd number of pixels wide with an even half below it (9 -> 4.5 -> 4), so
    // that half a width lands on a tie.
    int w0 = 0, h0 = 0;
    for (int height = 8; height < 60 && !(w0 % 4 == 1); ++height) {
        label->Font()->SetHeight(-height);
        canvas().Font()->Assign(label->Font());
        w0 = gTextWidthMultiLine(canvas(), "0");
        h0 = gTextHeightMultiLine(canvas(), "0");
    }
    ASSERT_EQ(w0 % 4, 1) << "no font size with such a zero";
    const struct {
        double top, bottom, left, right;
        int topPixels, bottomPixels, leftPixels, rightPixels;
    } cases[] = {
        {1, 0, 0.5, 0, h0, 0, (w0 - 1) / 2, 0},
        {0, 2, 0, 1.5, 0, 2 * h0, 0, static_cast<int>(std::nearbyint(1.5 * w0))},
        {0.25, 0.5, 1, 0, static_cast<int>(std::nearbyint(0.25 * h0)),
         static_cast<int>(std::nearbyint(0.5 * h0)), w0, 0},
    };
    for (const auto& c : cases) {
        label->SetMarginTop(c.top);
        label->SetMarginBottom(c.bottom);
        label->SetMarginLeft(c.left);
        label->SetMarginRight(c.right);
        const int required = label->GetRequiredWidth(canvas());
        EXPECT_EQ(label->MarginTopPixels(), c.topPixels) << c.top;
        EXPECT_EQ(label->MarginBottomPixels(), c.bottomPixels) << c.bottom;
        EXPECT_EQ(label->MarginLeftPixels(), c.leftPixels) << c.left;
        EXPECT_EQ(label->MarginRightPixels(), c.rightPixels) << c.right;
        EXPECT_EQ(required, gTextHeightMultiLine(canvas(), "Title") + c.topPixels + c.bottomPixels);
        // The same depth standing beside the data view.
        label->SetHorizontal(false);
        EXPECT_EQ(label->GetRequiredWidth(canvas()), required);
        label->SetHorizontal(true);
    }
}

TEST_F(Label, PictureBeatsImageListBeatsCaption) {
    const struct {
        bool picture;
        int listIndex, imageIndex;
        bool enabled;
        TColor shown; // clRed picture, clBlue list image, clYellow caption, clBtnShadow greyed list image
    } cases[] = {
        {true, 0, 0, true, clRed},      {false, 0, 0, true, clBlue},    {false, 0, 0, false, clBtnShadow},
        {false, 3, 0, true, clYellow},  {false, -1, 0, true, clYellow}, {false, 0, 1, true, clYellow},
        {false, 0, -1, true, clYellow}, {false, 1, 0, true, clYellow},
    };
    label->Font()->SetColor(clYellow);
    for (const auto& c : cases) {
        if (c.picture)
            label->SetImage(LabelPicture().get());
        else
            label->ImageClear();
        label->SetImageListIndex(c.listIndex);
        label->SetImageIndex(c.imageIndex);
        label->SetEnabled(c.enabled);
        Draw();
        const std::string at = std::to_string(c.picture) + " " + std::to_string(c.listIndex) + " " +
                               std::to_string(c.imageIndex) + " " + std::to_string(c.enabled);
        for (TColor colour : {clRed, clBlue, clYellow}) {
            if (colour != c.shown) {
                EXPECT_TRUE(Ink(colour).isEmpty()) << at << " shows " << std::hex << colour;
            }
        }
        EXPECT_FALSE(Ink(ColorToRGB(c.shown)).isEmpty()) << at;
        EXPECT_TRUE(Ink(clLime).isEmpty()) << at; // the picture's see-through colour
    }
    label->SetVisible(false);
    Draw();
    EXPECT_TRUE(Ink().isEmpty());
}

TEST_F(Label, PicturesSitByAlignmentBelowTheTopMargin) {
    label->SetMarginTop(0.5);
    label->SetMarginLeft(2);
    label->SetMarginRight(1);
    label->CalcMargins(canvas());
    const int top = 20 + label->MarginTopPixels(), left = 20 + label->MarginLeftPixels(),
              right = 220 - label->MarginRightPixels();
    ASSERT_GT(label->MarginTopPixels(), 0);
    const struct {
        TgAlignmentHorizontal alignment;
        int pictureLeft, listLeft; // the picture is 10 wide, the list's images 24
    } cases[] = {
        {TgAlignmentHorizontal::iahCenter, 115, 108},
        {TgAlignmentHorizontal::iahLeft, left, left},
        {TgAlignmentHorizontal::iahRight, right - 10, right - 24},
    };
    label->SetImageListIndex(0);
    for (const auto& c : cases) {
        label->SetAlignment(c.alignment);
        label->SetImage(LabelPicture().get());
        Draw();
        EXPECT_EQ(Ink(clRed).topLeft(), QPoint(c.pictureLeft, top)) << static_cast<int>(c.alignment);
        label->ImageClear();
        Draw();
        EXPECT_EQ(Ink(clBlue), QRect(c.listLeft, top, 24, 24)) << static_cast<int>(c.alignment);
    }
}

TEST_F(Label, CaptionPlacementByAlignmentLyingAndStanding) {
    label->Font()->SetHeight(-16);
    label->SetMarginTop(0.5);
    label->SetMarginBottom(0.5);
    label->SetMarginLeft(1);
    label->SetMarginRight(2);
    canvas().Font()->Assign(label->Font());
    const int textWidth = gTextWidthMultiLine(canvas(), "Title");
    const int slack = 4; // the glyphs' side bearings
    const struct {
        bool horizontal;
        TgAlignmentHorizontal alignment;
    } cases[] = {
        {true, TgAlignmentHorizontal::iahLeft},    {true, TgAlignmentHorizontal::iahCenter},
        {true, TgAlignmentHorizontal::iahRight},   {false, TgAlignmentHorizontal::iahLeft},
        {false, TgAlignmentHorizontal::iahCenter}, {false, TgAlignmentHorizontal::iahRight},
    };
    for (const auto& c : cases) {
        label->SetHorizontal(c.horizontal);
        label->SetAlignment(c.alignment);
        label->SetDrawRect(c.horizontal ? TRect{20, 20, 220, 80} : TRect{20, 10, 80, 290});
        Draw();
        if (const char* png = std::getenv("KV_LABEL_PNG"))
            bitmap.Image().save(QString::fromUtf8(png) + QString::number(&c - cases) + ".png");
        const QRect ink = Ink(clWhite);
        ASSERT_FALSE(ink.isEmpty());
        const int ml = label->MarginLeftPixels(), mr = label->MarginRightPixels();
        const int mt = label->MarginTopPixels(), mb = label->MarginBottomPixels();
        int start = 0, stop = 0; // the ink's ends along the label
        int lo = 0, hi = 0;      // where the text may lie along the label
        if (c.horizontal) {
            start = ink.left();
            stop = ink.right() + 1;
            const int middle = (20 + ml + 220 - mr) / 2;
            lo = c.alignment == TgAlignmentHorizontal::iahLeft    ? 20 + ml
                 : c.alignment == TgAlignmentHorizontal::iahRight ? 220 - mr - textWidth
                                                                  : middle - textWidth / 2;
            // Across: inside the margins, around the middle.
            EXPECT_GE(ink.top(), 20 + mt);
            EXPECT_LE(ink.bottom(), 80 - mb);
        } else {
            // Reading upwards: left alignment at the bottom end, right at the top end.
            start = ink.top();
            stop = ink.bottom() + 1;
            lo = c.alignment == TgAlignmentHorizontal::iahLeft    ? 290 - ml - textWidth
                 : c.alignment == TgAlignmentHorizontal::iahRight ? 10 + mr
                                                                  : 150 - textWidth / 2;
            EXPECT_GE(ink.left(), 20 + mt);
            EXPECT_LE(ink.right(), 80 - mb);
        }
        hi = lo + textWidth;
        EXPECT_GE(start, lo - slack) << &c - cases;
        EXPECT_LE(start, lo + slack) << &c - cases;
        EXPECT_GE(stop, hi - slack) << &c - cases;
        EXPECT_LE(stop, hi + slack) << &c - cases;
    }
}

TEST_F(Label, PictureIsTheLabelsOwnCopyAndFailedLoadsKeepIt) {
    int changes = 0;
    label->OnChange = [&](TObject*) { ++changes; };
    auto source = LabelPicture();
    label->SetImage(source.get());
    source->Canvas()->Brush()->SetColor(clBlue);
    source->Canvas()->FillRect({0, 0, 10, 10});
    ASSERT_NE(label->Image(), nullptr);
    EXPECT_EQ(ColorToRGB(label->Image()->Canvas()->Pixel(5, 5)), clRed);
    EXPECT_EQ(changes, 1);

    const std::string missing = "/nonexistent/label.bmp";
    EXPECT_THROW(label->ImageLoadFromFile(missing), EKvError);
    const std::string path = ::testing::TempDir() + "kv_label_picture.bmp";
    { // not a bitmap
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("no picture", f);
        std::fclose(f);
    }
    EXPECT_THROW(label->ImageLoadFromFile(path), EKvError);
    EXPECT_EQ(ColorToRGB(label->Image()->Canvas()->Pixel(5, 5)), clRed);
    EXPECT_EQ(changes, 1);

    source->SaveToFile(path);
    label->ImageLoadFromFile(path);
    EXPECT_EQ(ColorToRGB(label->Image()->Canvas()->Pixel(5, 5)), clBlue);
    EXPECT_EQ(changes, 2);
    std::remove(path.c_str());

    label->ImageClear();
    EXPECT_EQ(label->Image(), nullptr);
    label->ImageClear();
    EXPECT_EQ(changes, 3);
    label->SetImage(nullptr);
    EXPECT_EQ(changes, 4);
}
