#include "styled/FormattedText.h"
#include "styled/PictureContainer.h"
#include "tests/styled/FormattedTextFuzzTarget.h"

#include <gtest/gtest.h>

#include <QImage>

#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace kv;

namespace {

// Every measurement here uses one pinned font, so that the expectations hold on every machine.
class FormattedTextTest : public ::testing::Test {
protected:
    FormattedTextTest() : img(500, 300, QImage::Format_ARGB32_Premultiplied), g(&img) {
        img.fill(0xFF000000);
        font.SetName("Tahoma");
        font.SetHeight(-11);
        font.SetColor(clBlack);
    }

    TFormattedTextResult Run(const std::string& text, TRect box, bool measureOnly = true, bool wrap = true) {
        TFormattedTextParams p;
        p.Graphics = &g;
        p.Font = &font;
        p.Text = text;
        p.Rect = box;
        p.WordWrap = wrap;
        p.MeasureOnly = measureOnly;
        p.HitX = hitX;
        p.HitY = hitY;
        p.Container = container;
        TFormattedTextResult r;
        DrawFormattedText(p, r);
        return r;
    }
    // The layer's own measurement of one run.
    TSize Measure(const std::string& run, const TFont& f) {
        TRect r{0, 0, 0, 0};
        g.DrawText(run, -1, r, &f, DT_CALCRECT, clNone);
        return {r.Width(), r.Height()};
    }
    int Gh(const TFont& f) { return g.TextHeight("gh", &f); }
    std::unique_ptr<TFont> SizedFont(int points) {
        auto f = std::make_unique<TFont>();
        f->Assign(&font);
        f->SetSize(points);
        return f;
    }
    TSize MeasureAt(const std::string& run, int points) { return Measure(run, *SizedFont(points)); }

    QImage img;
    TGPGraphics g;
    TFont font;
    int hitX = -1, hitY = -1;
    const TGDIPPictureContainer* container = nullptr;
};

TEST_F(FormattedTextTest, SplashLoadingLine) {
    const std::string text = R"(<FONT size="20" color="clWhite">Loading Program....</FONT><br>)";
    const TRect box{180, 210, 680, 460};
    const TFormattedTextResult m = Run(text, box);
    const int lineH = std::max(Gh(font), MeasureAt("Loading ", 20).cy);
    EXPECT_EQ(m.Height, lineH + 2);
    EXPECT_EQ(m.Width, MeasureAt("Loading ", 20).cx + MeasureAt("Program....", 20).cx + 2);
    EXPECT_EQ(m.PlainText, "Loading Program....\r");

    Run(text, box, false);
    // White text from the box's left + 1, within the line, nothing above or below it.
    int minX = 1 << 20, minY = 1 << 20, maxY = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) != 0) {
                minX = std::min(minX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
                EXPECT_GE(qRed(img.pixel(x, y)), qBlue(img.pixel(x, y)) - 1); // grey levels of white
            }
    EXPECT_GE(minX, box.Left + 1);
    EXPECT_LE(minX, box.Left + 8); // the text layer's leading pad at 20 points
    EXPECT_GE(minY, box.Top);
    EXPECT_LT(maxY, box.Top + lineH);
}

TEST_F(FormattedTextTest, EntitiesAndPlainText) {
    struct Case {
        const char* text;
        const char* plain;
    };
    const TRect box{0, 0, 400, 200};
    for (const Case& c :
         {Case{"a&amp;b", "a&b"}, Case{"&amp;lt;", "<"}, Case{"&amp;amp;", "&"}, Case{"&lt;B&gt;x", "<B>x"},
          Case{"x&nbsp;y", "x y"}, Case{"&quot;q&quot;", "\"q\""},
          Case{"&euro;&copy;&reg;&trade;&sect;&para;&permil;",
               "\xE2\x82\xAC\xC2\xA9\xC2\xAE\xE2\x84\xA2\xC2\xA7\xC2\xB6\xE2\x80\xB0"},
          Case{"a<#b>c", "a#bc"}, Case{"one\r\ntwo", "one\rtwo"}, Case{"<B>bold</B>", "bold"},
          Case{"a<UNKNOWN>b", "ab"}, Case{"a<Z>hidden</Z>b", "ahiddenb"}, Case{"a<", "a"}, Case{"a<B", "a"}})
        EXPECT_EQ(Run(c.text, box).PlainText, c.plain) << c.text;
    // "<B>" written with entities is text, not a tag: the same width as the plain characters.
    TFont bold;
    bold.Assign(&font);
    bold.SetStyle(TFontStyles{TFontStyle::fsBold});
    EXPECT_EQ(Run("&lt;B&gt;x", box).Width, Measure("<B>x", font).cx + 2);
    EXPECT_EQ(Run("<B>x</B>", box).Width, Measure("x", bold).cx + 2);
    // Hidden text takes no width.
    EXPECT_EQ(Run("a<Z>hidden</Z>", box).Width, Measure("a", font).cx + 2);
}

TEST_F(FormattedTextTest, ColoursByNameAndByHex) {
    EXPECT_EQ(HexToColor("#FF0000"), 0x0000FF);
    EXPECT_EQ(HexToColor("#00ff80"), 0x80FF00);
    EXPECT_EQ(HexToColor("#F"), 0);
    EXPECT_EQ(ColorFromName("clred"), 0x0000FF);
    EXPECT_EQ(ColorFromName("CLRED"), 0x0000FF);
    EXPECT_EQ(ColorFromName("clNavy"), 0x800000);
    EXPECT_EQ(ColorFromName("clWindow"), clWindow);
    EXPECT_EQ(ColorFromName("clInfoBk"), clInfoBk);
    EXPECT_EQ(ColorFromName("clBackground"), clBackground);
    EXPECT_EQ(ColorFromName("nosuch"), clBlack);

    // Drawn colour: red by hex and by name; an unquoted name changes nothing (black on black).
    auto drawnRed = [&](const std::string& text) {
        img.fill(0xFF000000);
        Run(text, TRect{0, 0, 400, 100}, false);
        int red = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 200; ++x)
                red += qRed(img.pixel(x, y)) > 128 && qGreen(img.pixel(x, y)) < 64;
        return red;
    };
    EXPECT_GT(drawnRed(R"(<FONT color="#FF0000">XXXX</FONT>)"), 10);
    EXPECT_GT(drawnRed(R"(<FONT color="ClRed">XXXX</FONT>)"), 10);
    EXPECT_EQ(drawnRed("<FONT color=clRed>XXXX</FONT>"), 0);
}

TEST_F(FormattedTextTest, SizeSetsPoints) {
    const TRect box{0, 0, 480, 200};
    struct Case {
        int size, points;
    };
    for (const Case& c : {Case{1, 8}, Case{2, 10}, Case{3, 12}, Case{4, 14}, Case{5, 16}, Case{20, 20}}) {
        const std::string tag = "<FONT size=\"" + std::to_string(c.size) + "\">Wq</FONT>";
        EXPECT_EQ(Run(tag, box).Width, MeasureAt("Wq", c.points).cx + 2) << c.size;
        // Without quotes too.
        EXPECT_EQ(Run("<FONT size=" + std::to_string(c.size) + ">Wq</FONT>", box).Width,
                  MeasureAt("Wq", c.points).cx + 2)
            << c.size;
    }
}

TEST_F(FormattedTextTest, WrappingLinesAndStops) {
    const int gh = Gh(font);
    const int wordA = Measure("aaaa ", font).cx, wordB = Measure("bbbb", font).cx;
    // Room for one word only: the second starts the next line.
    const TRect narrow{0, 0, wordA + wordB - 4, 200};
    TFormattedTextResult r = Run("aaaa bbbb", narrow);
    EXPECT_EQ(r.Height, 2 * gh + 2 + 2); // two lines, the spacing after the first
    EXPECT_EQ(r.Width, std::max(wordA, wordB) + 2);
    // Without wrapping everything stays on one line.
    r = Run("aaaa bbbb", narrow, true, false);
    EXPECT_EQ(r.Height, gh + 2);
    // A word longer than the box stays on its line, wider than the box.
    const TRect tiny{0, 0, 10, 200};
    r = Run("wwwwwwwwww", tiny);
    EXPECT_EQ(r.Height, gh + 2);
    EXPECT_GT(r.Width, 10);
    // Explicit breaks and rules end lines.
    EXPECT_EQ(Run("a<BR>b<BR>c", TRect{0, 0, 400, 200}).Height, 3 * gh + 2 * 2 + 2);
    EXPECT_EQ(Run("a<HR>b", TRect{0, 0, 400, 200}).Height, 2 * gh + 2 + 2);
    EXPECT_EQ(Run("a<P>b</P>c", TRect{0, 0, 400, 200}).Height, 2 * gh + 2 + 2);
    // An empty text still measures one line of "gh".
    EXPECT_EQ(Run("", TRect{0, 0, 400, 200}).Height, gh + 2);
    // Measuring twice agrees.
    const std::string mixed = "<B>Bold</B> and <I>italic</I> <FONT size=\"4\">text</FONT><BR>line two";
    const TFormattedTextResult a = Run(mixed, TRect{0, 0, 120, 200});
    const TFormattedTextResult b = Run(mixed, TRect{0, 0, 120, 200});
    EXPECT_EQ(a.Width, b.Width);
    EXPECT_EQ(a.Height, b.Height);

    // Drawing into a box too short for the third line stops after the second.
    img.fill(0xFF000000);
    font.SetColor(clWhite);
    const int line = gh + 2;
    Run("XXXX<BR>XXXX<BR>XXXX", TRect{0, 0, 200, 2 * line + gh / 2}, false);
    auto rowLit = [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < 200; ++x)
                if ((img.pixel(x, y) & 0xFFFFFF) != 0)
                    return true;
        return false;
    };
    EXPECT_TRUE(rowLit(0, line));
    EXPECT_TRUE(rowLit(line, 2 * line));
    EXPECT_FALSE(rowLit(2 * line, 3 * line + 4));
}

TEST_F(FormattedTextTest, AlignmentListsLinksAndRules) {
    font.SetColor(clWhite);
    const TRect box{0, 0, 300, 200};
    // Right alignment puts the line's end at the box's right edge.
    img.fill(0xFF000000);
    Run(R"(<P align="right">XX</P>)", box, false);
    int maxX = -1, minX = 1000;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 300; ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) != 0) {
                maxX = std::max(maxX, x);
                minX = std::min(minX, x);
            }
    EXPECT_GT(minX, 250);
    EXPECT_LT(maxX, 300);

    // A list item indents by 12 per depth and draws its bullet.
    EXPECT_EQ(Run("<UL><LI>x</LI></UL>", box).Width, 12 + Measure("x", font).cx + 2);
    img.fill(0xFF000000);
    Run(R"(<UL><LI type="square" color="clRed">x</LI></UL>)", box, false);
    const int gh = Gh(font);
    const QRgb bullet = img.pixel(4, gh + 2 + 2 + 4); // the list starts a line; square at (pen, top + 2)
    EXPECT_GT(qRed(bullet), 200);
    EXPECT_LT(qGreen(bullet), 50);

    // A rule: a black line 1 pixel below the line box (its height with the spacing).
    img.fill(0xFFFFFFFF);
    font.SetColor(clBlack);
    Run("ab<HR>cd", box, false);
    EXPECT_EQ(img.pixel(150, gh + 2 + 1) & 0xFFFFFF, 0u);
    EXPECT_EQ(img.pixel(150, gh + 2) & 0xFFFFFF, 0xFFFFFFu);

    // Links: counted, and the one under the hit point reported.
    hitX = 3;
    hitY = 3;
    TFormattedTextResult r = Run(R"(<A href="one">first</A> <A href="two">second</A>)", box);
    EXPECT_EQ(r.LinkCount, 2);
    EXPECT_TRUE(r.OnLink);
    EXPECT_EQ(r.HitLink, "one");
    EXPECT_EQ(r.HitLinkIndex, 0);
    hitX = 200;
    r = Run(R"(<A href="one">first</A>)", box);
    EXPECT_FALSE(r.OnLink);
}

TEST_F(FormattedTextTest, NamedPicturesFromTheContainer) {
    TGDIPPictureContainer pc(nullptr);
    TPictureItem* item = pc.Items()->Add();
    item->SetName("Logo");
    QImage pic(20, 30, QImage::Format_ARGB32);
    pic.fill(Qt::green);
    item->Picture()->FromImage(pic);
    container = &pc;
    const TRect box{0, 0, 300, 200};
    TFormattedTextResult r = Run(R"(a<IMG src="logo">b)", box);
    EXPECT_EQ(r.Width, Measure("a", font).cx + 20 + Measure("b", font).cx + 2);
    EXPECT_EQ(r.Height, 30 + 2);
    EXPECT_EQ(Run(R"(a<IMG src="logo" width="10" height="12">)", box).Width, Measure("a", font).cx + 10 + 2);
    EXPECT_EQ(Run(R"(<IMG src="logo" wrap>)", box).Height, Gh(font) + 2);
    // A missing picture draws nothing and takes no room.
    EXPECT_EQ(Run(R"(a<IMG src="none">)", box).Width, Measure("a", font).cx + 2);
    img.fill(0xFF000000);
    Run(R"(<IMG src="LOGO">)", box, false);
    EXPECT_EQ(img.pixel(10, 10), 0xFF00FF00u);
}

// Random and mutated tag soup through the fuzz entry point; the sanitizer builds catch what it breaks.
TEST(FormattedTextFuzzTest, RandomAndMutatedInputReplays) {
    std::mt19937 rng(1234);
    const std::vector<std::string> seeds = {
        R"(<FONT size="20" color="clWhite">Loading Program....</FONT><br>)",
        R"(<P align="center" indent="5"><B>b</B><I>i</I><U>u</U><S>s</S></P><HR>)",
        R"(<UL><LI type="circle" color="#00FF00">one<LI>two</LI><UL><LI>deep</UL></UL>)",
        R"(<A href="x">link <SUP>up</SUP><SUB>down</SUB></A><SHADOW>s</SHADOW><E>err</E>)",
        R"(<IMG src="IDX:3" align="top"><IMG src="SSYS:/tmp"><IMG src="name" width="5" height="5" wrap>)",
        R"(<BODY bgcolor="clRed"><HI>high</HI><BLINK>b</BLINK><IND x="40">x<OFS x="30">o</OFS><Z>h</Z>)",
        "&amp;amp;lt;&lt;&gt;&nbsp;\r\n<#x>"};
    const std::string alphabet = "<>/=\" &;#abcdefghijklmnopqrstuvwxyzABIUSFPLZHEO0123456789\r\n";
    for (const std::string& s : seeds)
        kvfuzz::FormattedText(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    for (int i = 0; i < 300; ++i) {
        std::string s = seeds[static_cast<std::size_t>(i) % seeds.size()];
        const int edits = 1 + static_cast<int>(rng() % 8);
        for (int k = 0; k < edits && !s.empty(); ++k) {
            const std::size_t at = rng() % s.size();
            switch (rng() % 3) {
            case 0:
                s[at] = alphabet[rng() % alphabet.size()];
                break;
            case 1:
                s.erase(at, 1 + rng() % 4);
                break;
            default:
                s.insert(at, s.substr(rng() % s.size(), 1 + rng() % 12));
                break;
            }
        }
        kvfuzz::FormattedText(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    }
    for (int i = 0; i < 200; ++i) {
        std::string s(1 + rng() % 200, '\0');
        for (char& c : s)
            c = static_cast<char>(rng() % 3 ? alphabet[rng() % alphabet.size()] : static_cast<char>(rng()));
        kvfuzz::FormattedText(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    }
}

} // namespace
