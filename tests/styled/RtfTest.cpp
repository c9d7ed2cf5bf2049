// The rich-text reader, writer and layout, the label that shows it, and random input through the reader.

#include "platform/gui/Forms.h"
#include "platform/gui/Printing.h"
#include "platform/gui/RichEdit.h"
#include "styled/RTFLabel.h"
#include "tests/styled/RtfFuzzTarget.h"
#include "tests/support/TempFiles.h"

#include <filesystem>

#include <gtest/gtest.h>

#include <QImage>

#include <random>

using namespace kv;

namespace {

const char* const kSample = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Tahoma;}"
                            "{\\f1\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
                            "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                            "{\\*\\generator Hidden 1.0;}"
                            "\\viewkind4\\uc1\\pard\\qc\\b\\f0\\fs32 Title\\b0\\par\n"
                            "\\pard\\fs20 plain \\i italic\\i0  \\ul under\\ulnone  \\cf1 red\\cf0\\par\n"
                            "\\f1\\'d6\\'d0\\'ce\\'c4 \\f0 x\\u8364?y\\uc2\\u20013\\'3f\\'3fz\\par\n"
                            "}";

TEST(RtfReader, RunsOfASampleDocument) {
    const TRtfDocument doc = ParseRtf(kSample);
    ASSERT_EQ(doc.paragraphs.size(), 3u);
    EXPECT_EQ(doc.fonts.size(), 2u);
    EXPECT_EQ(doc.fonts[0].name, "Tahoma");
    EXPECT_EQ(doc.fonts[1].charset, 134);
    ASSERT_EQ(doc.colours.size(), 3u);
    EXPECT_EQ(doc.colours[1], 0xFF0000u);

    const TRtfParagraph& title = doc.paragraphs[0];
    EXPECT_EQ(title.align, TRtfAlign::Center);
    ASSERT_EQ(title.runs.size(), 1u);
    EXPECT_EQ(title.runs[0].text, "Title");
    EXPECT_TRUE(title.runs[0].bold);
    EXPECT_EQ(title.runs[0].sizeHalfPoints, 32);

    const TRtfParagraph& styles = doc.paragraphs[1];
    EXPECT_EQ(styles.align, TRtfAlign::Left);
    EXPECT_EQ(styles.Text(), "plain italic under red");
    struct Expect {
        const char* text;
        bool italic, underline;
        std::uint32_t colour;
    };
    const Expect want[] = {{"plain ", false, false, 0}, {"italic", true, false, 0},
                           {" ", false, false, 0},      {"under", false, true, 0},
                           {" ", false, false, 0},      {"red", false, false, 0xFF0000}};
    ASSERT_EQ(styles.runs.size(), std::size(want));
    for (std::size_t i = 0; i < std::size(want); ++i) {
        EXPECT_EQ(styles.runs[i].text, want[i].text) << i;
        EXPECT_EQ(styles.runs[i].italic, want[i].italic) << i;
        EXPECT_EQ(styles.runs[i].underline, want[i].underline) << i;
        EXPECT_EQ(styles.runs[i].colour, want[i].colour) << i;
        EXPECT_EQ(styles.runs[i].sizeHalfPoints, 20) << i;
        EXPECT_FALSE(styles.runs[i].bold) << i;
    }

    // GBK double bytes in the Chinese font, \u with one fallback byte, then \uc2 with two.
    EXPECT_EQ(doc.paragraphs[2].Text(), "\xE4\xB8\xAD\xE6\x96\x87 x\xE2\x82\xAC"
                                        "y\xE4\xB8\xAD"
                                        "z");
    EXPECT_EQ(doc.paragraphs[2].runs[0].font, 1);
}

TEST(RtfReader, EdgeCases) {
    struct Case {
        const char* rtf;
        const char* text;
    } cases[] = {
        {"{\\rtf1 a\\{b\\}c\\\\d}", "a{b}c\\d"},
        {"{\\rtf1 {\\*\\unknown skipped}shown}", "shown"},
        {"{\\rtf1 \\u-3913?}", "\xEF\x82\xB7"},              // negative \u counts from 65536: U+F0B7
        {"{\\rtf1 \\u55357?\\u56832?}", "\xF0\x9F\x98\x80"}, // a surrogate pair
        {"{\\rtf1 \\uc0\\u233 e}", "\xC3\xA9"
                                   "e"},               // no fallback to skip
        {"{\\rtf1 \\'e9t\\'e9}", "\xC3\xA9t\xC3\xA9"}, // \'hh in the default code page 1252
        {"{\\rtf1 unterminated {group", "unterminated group"},
        {"plain text\nsecond line", "plain text\nsecond line"},
        {"{\\rtf1 a\\line b}", "a\nb"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseRtf(c.rtf).Text(), c.text) << c.rtf;
}

TEST(RtfReader, WriteAndReadBack) {
    const TRtfDocument doc = ParseRtf(kSample);
    const TRtfDocument again = ParseRtf(WriteRtf(doc));
    ASSERT_EQ(again.paragraphs.size(), doc.paragraphs.size());
    for (std::size_t i = 0; i < doc.paragraphs.size(); ++i) {
        EXPECT_EQ(again.paragraphs[i].align, doc.paragraphs[i].align);
        ASSERT_EQ(again.paragraphs[i].runs.size(), doc.paragraphs[i].runs.size());
        for (std::size_t k = 0; k < doc.paragraphs[i].runs.size(); ++k)
            EXPECT_EQ(again.paragraphs[i].runs[k], doc.paragraphs[i].runs[k]) << i << "/" << k;
    }
}

TEST(RtfReader, RandomAndMutatedInputNeverBreaksIt) {
    std::mt19937 rng(29);
    const std::string base = kSample;
    const char alphabet[] = "{}\\'*0123456789abcdefuqplrgn -;\n";
    for (int i = 0; i < 4000; ++i) {
        std::string s;
        if (i % 2) {
            s = base;
            for (int m = 0; m < 6; ++m)
                s[rng() % s.size()] = static_cast<char>(rng());
            s.resize(rng() % (s.size() + 1));
        } else {
            s = "{\\rtf1";
            const std::size_t n = rng() % 200;
            for (std::size_t k = 0; k < n; ++k)
                s += rng() % 4 ? alphabet[rng() % (sizeof alphabet - 1)] : static_cast<char>(rng());
        }
        kvfuzz::RtfReader(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    }
    // Deep nesting is no recursion.
    std::string deep(100000, '{');
    deep.insert(0, "{\\rtf1");
    deep += "x";
    deep.append(100000, '}');
    kvfuzz::RtfReader(reinterpret_cast<const uint8_t*>(deep.data()), deep.size());
}

// ---------------------------------------------------------------------------------------------------
// The label

TEST(RtfLabel, TwipsRectangleFromTheResolution) {
    struct Case {
        int dpiX, dpiY;
        TRect want;
    } cases[] = {
        {96, 96, {15, 15, 9450, 21000}},
        {0, 0, {15, 15, 9450, 21000}},   // a device without a resolution counts as 96
        {192, 96, {8, 15, 4726, 21000}}, // 629 / 192 * 1440 = 4717.5 rounds to even
    };
    for (const auto& c : cases)
        EXPECT_EQ(TRichEdit::TwipsRect(TRect{0, 0, 630, 1400}, c.dpiX, c.dpiY), c.want) << c.dpiX;
}

class LabelOnForm : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 400, 200);
        label = new TRTFLabel(form.get());
        label->SetParent(form.get());
        label->SetBounds(10, 10, 300, 120);
    }
    std::unique_ptr<TForm> form;
    TRTFLabel* label = nullptr;
};

TEST_F(LabelOnForm, RendersTheDocumentAndNothingWhileUpdating) {
    label->SetRichText(kSample);
    QImage img(300, 120, QImage::Format_ARGB32);
    img.fill(0xFFFFFFFF);
    TCanvas canvas(&img);
    label->Paint(canvas);
    EXPECT_EQ(label->RenderCount(), 1);
    int red = 0, dark = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            red += qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80;
            dark += qRed(c) < 80 && qGreen(c) < 80 && qBlue(c) < 80;
        }
    EXPECT_GT(red, 5);
    EXPECT_GT(dark, 50);
    img.save(QString::fromStdString(::testing::TempDir() + "kv_rtf_label.png"));

    label->BeginUpdate();
    label->Paint(canvas);
    EXPECT_EQ(label->RenderCount(), 1);
    TRichEdit* edit = label->RTF();
    ASSERT_NE(edit, nullptr);
    edit->LoadFromBytes("{\\rtf1 captured}");
    label->EndUpdate(); // the final EndUpdate captures the edit
    EXPECT_EQ(ParseRtf(label->RichText()).Text(), "captured");

    TRichEdit other(nullptr);
    label->CopyToRichEdit(&other);
    ASSERT_EQ(other.Lines()->Count(), 1);
    EXPECT_EQ((*other.Lines())[0], "captured");
}

TEST_F(LabelOnForm, TransparentLabelTakesItsParentsColourAndPrintsToPdf) {
    form->SetColor(0x123456);
    label->SetTransparent(true);
    label->SetRichText(kSample);
    QImage img(300, 120, QImage::Format_ARGB32);
    img.fill(0xFFFFFFFF);
    TCanvas canvas(&img);
    label->Paint(canvas);
    TRichEdit* edit = label->RTF();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->BackgroundColor(), 0x123456);
    EXPECT_EQ(img.pixel(299, 119), 0xFFFFFFFFu); // transparent: no background painted

    kvtest::TempDir dir;
    SetPrintOutputFolder(dir.path().string());
    label->Print("Control codes");
    SetPrintOutputFolder("");
    const auto pdf = dir.path() / "Control codes.pdf";
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_GT(std::filesystem::file_size(pdf), 500u);
}

TEST(RtfLabelAlone, NothingRenderedWithoutAParent) {
    TRTFLabel label(nullptr);
    label.SetRichText(kSample);
    QImage img(50, 50, QImage::Format_ARGB32);
    TCanvas canvas(&img);
    label.Paint(canvas);
    EXPECT_EQ(label.RenderCount(), 0);
    EXPECT_EQ(label.RTF(), nullptr);
}

} // namespace
