#include "styled/StSmoothSplashScreen.h"
#include "styled/StyledClasses.h"

#include "platform/gui/Forms.h"
#include "platform/gui/LayeredWindow.h"
#include "tests/styled/ProgramSplashValues.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QWidget>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

using namespace kv;

namespace {

// A 620 x 350 background in the program's looks: a deep blue field with a soft light and a rule.
std::vector<std::uint8_t> SplashPicture() {
    QImage img(620, 350, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 350);
    g.setColorAt(0, QColor(24, 44, 86));
    g.setColorAt(1, QColor(8, 16, 36));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, 620, 350), 10, 10);
    QRadialGradient light(470, 60, 300);
    light.setColorAt(0, QColor(80, 140, 220, 120));
    light.setColorAt(1, QColor(80, 140, 220, 0));
    p.setBrush(light);
    p.drawRect(0, 0, 620, 350);
    p.setPen(QPen(QColor(90, 200, 220), 2));
    p.drawLine(60, 185, 560, 185);
    p.end();
    return EncodePng(img);
}

// The main window's splash as its layout sets it.
void SetUpProgramSplash(TStSmoothSplashScreen& s) {
    TBasicProgramInfo* info = s.BasicProgramInfo();
    TSplashHeadingText* name = info->ProgramName();
    name->SetText("Korvane DSP Processor Editor");
    name->Font()->SetName("Tahoma");
    name->Font()->SetHeight(-29);
    name->Font()->SetStyle(TFontStyles{TFontStyle::fsBold});
    name->Font()->SetColor(clWhite);
    name->SetLocation(TItemLocation::ilCustom);
    name->SetPosX(60);
    name->SetPosY(130);
    name->SetHatchStyle(HatchStyleDivot);
    name->SetColorStart(clWhite);
    name->SetColorEnd(clWhite);
    TSplashHeadingText* ver = info->ProgramVersion();
    ver->SetText("V1.0");
    ver->Font()->SetName("Tahoma");
    ver->Font()->SetHeight(-19);
    ver->SetLocation(TItemLocation::ilCustom);
    ver->SetPosX(520);
    ver->SetPosY(140);
    ver->SetHatchStyle(HatchStyleDivot);
    ver->SetColorStart(clWhite);
    ver->SetColorEnd(clWhite);
    info->CopyRightFont()->SetName("MS Sans Serif");
    info->CopyRightFont()->SetColor(0x0262C1);
    info->SetCopyRightLocation(TItemLocation::ilCustom);
    info->SetCopyRightPosX(340);
    info->SetCopyRightPosY(340);
    TGDIPFill* fill = s.Fill();
    fill->SetColor(clNone);
    fill->SetColorTo(clNone);
    fill->SetColorMirror(clNone);
    fill->SetColorMirrorTo(clNone);
    fill->SetBorderColor(clNone);
    fill->Picture()->LoadFromBytes(SplashPicture());
    fill->SetPicturePosition(TFillPicturePosition::ppBottomCenter);
    fill->SetOpacity(249);
    s.SetTimeOut(100);
    s.ListItems()->Add()->SetHTMLText(R"(<FONT size="20" color="clWhite">Loading Program....</FONT><br>)");
    TListItemsRect* r = s.ListItemsSettings()->Rect();
    r->SetLeft(180);
    r->SetTop(210);
    r->SetWidth(500);
    r->SetHeight(250);
    s.ListItemsSettings()->HTMLFont()->SetName("Tahoma");
    s.SetDisplayStyle(TDisplayStyle::dsNormal);
}

QImage Over(const QImage& argb, QRgb back) {
    QImage out(argb.size(), QImage::Format_RGB32);
    out.fill(back);
    QPainter p(&out);
    p.drawImage(0, 0, argb);
    return out;
}

TEST(StSmoothSplashScreenTest, ProgramSplashRendersIntoItsBuffer) {
    TStSmoothSplashScreen splash(nullptr);
    SetUpProgramSplash(splash);
    splash.Show();
    ASSERT_TRUE(splash.Showing());
    TSplashScreenWindow* w = splash.SplashWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->ForcedTransparent()); // opacity 249: per-pixel alpha
    EXPECT_EQ(w->Opacity(), 255);        // dsNormal: no fade
    ASSERT_NE(w->MainBuffer(), nullptr);
    EXPECT_EQ(w->MainBuffer()->size(), QSize(622, 352));
    EXPECT_EQ(w->Window()->Width(), 622);
    EXPECT_EQ(w->Window()->Height(), 352);
    EXPECT_TRUE(w->Window()->Widget()->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(w->Window()->Widget()->windowFlags().testFlag(Qt::FramelessWindowHint));

    const QImage shown = Over(*w->MainBuffer(), qRgb(128, 128, 128));
    shown.save(QString::fromStdString(::testing::TempDir() + "kv-splash.png"));
    const QImage& buf = *w->MainBuffer();
    // The picture sits at the bottom centre of the area, opaque; outside it the window is clear.
    EXPECT_EQ(qAlpha(buf.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(buf.pixel(621, 351)), 0);
    EXPECT_EQ(qAlpha(buf.pixel(300, 300)), 255);
    // White heading text from (60, 130), version from (520, 140), loading line from (181, 210).
    auto whiteIn = [&](int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const QRgb c = shown.pixel(x, y);
                n += qRed(c) > 220 && qGreen(c) > 220 && qBlue(c) > 220;
            }
        return n;
    };
    EXPECT_GT(whiteIn(60, 130, 500, 175), 200);
    EXPECT_EQ(whiteIn(0, 100, 55, 180), 0);
    EXPECT_GT(whiteIn(520, 140, 600, 170), 40);
    EXPECT_GT(whiteIn(181, 210, 500, 250), 200);
    EXPECT_EQ(whiteIn(0, 260, 622, 352), 0);
    splash.Hide();
}

TEST(StSmoothSplashScreenTest, WindowSizeRule) {
    TStSmoothSplashScreen s(nullptr);
    EXPECT_EQ(s.WindowSize().cx, 600);
    EXPECT_EQ(s.WindowSize().cy, 400);
    s.Fill()->Picture()->LoadFromBytes(SplashPicture());
    struct Case {
        int border, w, h;
    };
    for (const Case& c : {Case{1, 622, 352}, Case{4, 624, 354}, Case{5, 626, 356}}) {
        s.Fill()->SetBorderWidth(c.border);
        EXPECT_EQ(s.WindowSize().cx, c.w) << c.border;
        EXPECT_EQ(s.WindowSize().cy, c.h) << c.border;
    }
    s.SetAutoAdaptPictureSize(false);
    EXPECT_EQ(s.WindowSize().cx, 600);
    // A fully opaque fill gives an ordinary window painted by its paint handler.
    s.SetDisplayStyle(TDisplayStyle::dsNormal);
    s.Show();
    ASSERT_NE(s.SplashWindow(), nullptr);
    EXPECT_FALSE(s.SplashWindow()->ForcedTransparent());
    EXPECT_EQ(s.SplashWindow()->MainBuffer(), nullptr);
    EXPECT_EQ(s.SplashWindow()->Window()->AlphaBlendValue(), 255);
    s.Hide();
}

// A main window whose own OnShow records what it saw.
TEST(StSmoothSplashScreenTest, LifeCycleWithTheMainWindow) {
    RegisterStyledClasses();
    TForm form(nullptr);
    int formShows = 0, splashWasShowing = 0, closes = 0, beforeShows = 0;
    TStSmoothSplashScreen* splash = nullptr;
    form.OnShow = [&](TObject* s) {
        EXPECT_EQ(s, &form);
        ++formShows;
        splashWasShowing += splash->Showing() || splash->SplashWindow() != nullptr;
    };
    // The layout creates the splash and, once read, its Loaded shows it.
    auto errors = form.LoadLayoutText(R"(object fmMain: TForm
  object asScreen: TStSmoothSplashScreen
    BasicProgramInfo.ProgramName.Text = "Korvane DSP Processor Editor"
    BasicProgramInfo.ProgramName.Location = ilCustom
    BasicProgramInfo.ProgramName.PosX = 60
    BasicProgramInfo.ProgramVersion.Text = "V1.0"
    Fill.Opacity = 249
    ListItemsSettings.Rect.Left = 180
    DisplayStyle = dsNormal
    TimeOut = 100
    Version = "9.9.9.9"
  end
end
)");
    EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors.front());
    splash = dynamic_cast<TStSmoothSplashScreen*>(form.FindComponent("asScreen"));
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(splash->Version(), "1.2.0.0") << "a stored version is not taken";
    EXPECT_EQ(splash->TimeOut(), 100);
    EXPECT_EQ(splash->BasicProgramInfo()->ProgramName()->Text(), "Korvane DSP Processor Editor");
    EXPECT_EQ(splash->BasicProgramInfo()->ProgramName()->PosX(), 60);
    EXPECT_EQ(splash->ListItemsSettings()->Rect()->Left(), 180);
    EXPECT_EQ(splash->Fill()->Opacity(), 249);
    splash->OnClose = [&](TObject* s) {
        EXPECT_EQ(s, splash);
        ++closes;
    };
    splash->OnBeforeShow = [&](TObject*) { ++beforeShows; };
    // Shown while the rest of the window is made.
    EXPECT_TRUE(splash->Showing());
    ASSERT_NE(splash->SplashWindow(), nullptr);
    EXPECT_TRUE(splash->SplashWindow()->Window()->Visible());
    EXPECT_EQ(splash->MainForm(), &form);
    splash->Show(); // idempotent
    EXPECT_EQ(beforeShows, 0);

    form.Show();
    EXPECT_EQ(formShows, 1);
    EXPECT_EQ(splashWasShowing, 0); // closed before the main window's own handler ran
    EXPECT_FALSE(splash->Showing());
    EXPECT_EQ(splash->SplashWindow(), nullptr);
    EXPECT_EQ(closes, 1);
    splash->Hide(); // idempotent
    EXPECT_EQ(closes, 1);

    // A second show runs only the main window's handler.
    form.Hide();
    form.Show();
    EXPECT_EQ(formShows, 2);
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(splash->Showing());
}

// Each setter that takes a whole settings object copies it: every value arrives, and the copy stays
// the splash's own when the source changes or goes.
TEST(StSmoothSplashScreenTest, SettingsSettersCopyTheWholeObject) {
    TStSmoothSplashScreen splash(nullptr);
    int listChanges = 0;
    splash.ListItems()->OnChange = [&](TObject*) { ++listChanges; };
    {
        TSplashItems items;
        TSplashItem* a = items.Add();
        a->SetText("Loading DSP");
        a->SetPosX(12);
        a->SetPosY(34);
        a->SetImageIndex(2);
        a->SetTag(7);
        a->SetVisible(false);
        a->Font()->SetHeight(-19);
        items.Add()->SetText("second");
        splash.SetItems(&items);
        a->SetText("changed afterwards");
    }
    ASSERT_EQ(splash.Items()->Count(), 2);
    const TSplashItem* a = splash.Items()->Items(0);
    EXPECT_EQ(a->Text(), "Loading DSP");
    EXPECT_EQ(a->PosX(), 12);
    EXPECT_EQ(a->PosY(), 34);
    EXPECT_EQ(a->ImageIndex(), 2);
    EXPECT_EQ(a->Tag(), 7);
    EXPECT_FALSE(a->Visible());
    EXPECT_EQ(a->Font()->Height(), -19);
    EXPECT_EQ(splash.Items()->Items(1)->Text(), "second");

    splash.ListItems()->Add()->SetHTMLText("old line");
    {
        TSplashListItems lines;
        TSplashListItem* l = lines.Add();
        l->SetHTMLText("<b>Loading Program....</b>");
        l->SetTag(3);
        l->SetImageIndex(1);
        splash.SetListItems(&lines);
    }
    ASSERT_EQ(splash.ListItems()->Count(), 1) << "the old lines are replaced, not kept";
    EXPECT_EQ(splash.ListItems()->Items(0)->HTMLText(), "<b>Loading Program....</b>");
    EXPECT_EQ(splash.ListItems()->Items(0)->Tag(), 3);
    EXPECT_EQ(splash.ListItems()->Items(0)->ImageIndex(), 1);
    {
        TSplashListItems none;
        splash.SetListItems(&none);
    }
    EXPECT_EQ(splash.ListItems()->Count(), 0);
    EXPECT_EQ(listChanges, 1) << "emptied by one update of the whole list";

    {
        TSplashListItemsSettings settings;
        settings.SetSpace(3);
        settings.SetHTMLShadowOffset(2);
        settings.SetHTMLURLColor(clRed);
        settings.SetHTMLShadowColor(clGreen);
        settings.HTMLFont()->SetHeight(-11);
        settings.Rect()->SetLeft(180);
        settings.Rect()->SetTop(210);
        settings.Rect()->SetWidth(500);
        settings.Rect()->SetHeight(250);
        splash.SetListItemsSettings(&settings);
    }
    const TSplashListItemsSettings& got = *splash.ListItemsSettings();
    EXPECT_EQ(got.Space(), 3);
    EXPECT_EQ(got.HTMLShadowOffset(), 2);
    EXPECT_EQ(got.HTMLURLColor(), clRed);
    EXPECT_EQ(got.HTMLShadowColor(), clGreen);
    EXPECT_EQ(got.HTMLFont()->Height(), -11);
    EXPECT_EQ(got.Rect()->Rect(), (TRect{180, 210, 680, 460}));

    TListItemsRect rect;
    rect.SetLeft(1);
    rect.SetTop(2);
    rect.SetWidth(3);
    rect.SetHeight(4);
    splash.ListItemsSettings()->SetRect(&rect);
    EXPECT_EQ(got.Rect()->Rect(), (TRect{1, 2, 4, 6}));

    {
        TStSplashTopLayerItems layers;
        TStSplashTopLayerItem* t = layers.Add();
        t->SetAlign(TAlign::alTop);
        t->SetLeft(5);
        t->SetTop(6);
        t->SetWidth(70);
        t->SetHeight(80);
        t->SetVisible(false);
        t->Fill()->SetColor(clYellow);
        TStSplashHTMLText text;
        text.SetText("V1.0");
        text.SetLocation(TStSmoothSplashScreenLocation::cpBottomRight);
        text.SetURLColor(clBlue);
        text.SetShadowColor(clGray);
        text.SetShadowOffset(1);
        text.SetLeft(9);
        text.SetTop(8);
        text.Font()->SetHeight(-13);
        t->SetHTMLText(&text);
        splash.SetTopLayerItems(&layers);
    }
    ASSERT_EQ(splash.TopLayerItems()->Count(), 1);
    const TStSplashTopLayerItem& t = *splash.TopLayerItems()->Items(0);
    EXPECT_EQ(t.Align(), TAlign::alTop);
    EXPECT_EQ(t.Left(), 5);
    EXPECT_EQ(t.Top(), 6);
    EXPECT_EQ(t.Width(), 70);
    EXPECT_EQ(t.Height(), 80);
    EXPECT_FALSE(t.Visible());
    EXPECT_EQ(t.Fill()->Color(), clYellow);
    const TStSplashHTMLText& h = *t.HTMLText();
    EXPECT_EQ(h.Text(), "V1.0");
    EXPECT_EQ(h.Location(), TStSmoothSplashScreenLocation::cpBottomRight);
    EXPECT_EQ(h.URLColor(), clBlue);
    EXPECT_EQ(h.ShadowColor(), clGray);
    EXPECT_EQ(h.ShadowOffset(), 1);
    EXPECT_EQ(h.Left(), 9);
    EXPECT_EQ(h.Top(), 8);
    EXPECT_EQ(h.Font()->Height(), -13);
}

// A text or bytes as a layout writes them: quoted, with escapes.
std::string LayoutQuoted(std::string_view bytes) {
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c >= 32 && c < 127 && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\x%02X", c);
            out += esc;
        }
    }
    return out + "\"";
}

// The program's splash as its layout sets it: every stated value arrives, and it shows itself as a
// layered (per-pixel alpha) window of the picture's size plus its border.
TEST(StSmoothSplashScreenTest, ProgramSplashTakesItsStatedValuesFromALayout) {
    RegisterStyledClasses();
    std::string text = "object fmMain: TForm\n  object asScreen: TStSmoothSplashScreen\n";
    for (const kvtest::ProgramSplashValue& v : kvtest::kProgramSplashValues)
        text += std::string("    ") + v.property + " = " + v.text + "\n";
    const std::vector<std::uint8_t> png = SplashPicture();
    text +=
        "    Fill.Picture.Data = " + LayoutQuoted({reinterpret_cast<const char*>(png.data()), png.size()}) +
        "\n";
    text += "    ListItems = <\n      item\n        HTMLText = " + LayoutQuoted(kvtest::kProgramSplashLine) +
            "\n      end>\n  end\nend\n";
    TForm form(nullptr);
    const auto errors = form.LoadLayoutText(text);
    EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors.front());
    auto* splash = dynamic_cast<TStSmoothSplashScreen*>(form.FindComponent("asScreen"));
    ASSERT_NE(splash, nullptr);
    kvtest::ExpectProgramSplashValues(*splash);
    ASSERT_TRUE(splash->Showing()) << "shown once the layout is read";
    TSplashScreenWindow* w = splash->SplashWindow();
    EXPECT_TRUE(w->ForcedTransparent()) << "opacity 249: a layered window";
    EXPECT_EQ(w->Window()->Width(), 622);
    EXPECT_EQ(w->Window()->Height(), 352);
    form.Show();
    EXPECT_FALSE(splash->Showing()) << "closed by the main window's first show";
}

TEST(StSmoothSplashScreenTest, FadesRunOnTheTimer) {
    TVirtualClock clock;
    TStSmoothSplashScreen s(nullptr);
    s.SetScheduler(&clock);
    s.Fill()->SetOpacity(200); // layered
    int closes = 0;
    s.OnClose = [&](TObject*) { ++closes; };
    s.Show(); // dsFadeInOut by default
    ASSERT_NE(s.SplashWindow(), nullptr);
    EXPECT_EQ(s.SplashWindow()->Opacity(), 5);
    EXPECT_EQ(s.SplashWindow()->Window()->Opacity(), 5);
    clock.Advance(5);
    EXPECT_EQ(s.SplashWindow()->Opacity(), 25);
    clock.Advance(55);
    EXPECT_EQ(s.SplashWindow()->Opacity(), 245);
    clock.Advance(5);
    EXPECT_EQ(s.SplashWindow()->Opacity(), 255); // the last step lands on the limit
    clock.Advance(50);
    EXPECT_EQ(s.SplashWindow()->Opacity(), 255);

    // Hide returns at once; the window fades on the timer and goes at the end.
    s.Hide();
    EXPECT_FALSE(s.Showing());
    EXPECT_TRUE(s.Fading());
    EXPECT_EQ(closes, 0);
    clock.Advance(5 * 12);
    EXPECT_TRUE(s.Fading());
    clock.Advance(5);
    EXPECT_FALSE(s.Fading());
    EXPECT_EQ(closes, 1);

    // An ordinary window fades through its alpha-blend value, 5 every 5 ms, up to MaxOpacity.
    TStSmoothSplashScreen o(nullptr);
    o.SetScheduler(&clock);
    o.SetMaxOpacity(200);
    o.Show();
    ASSERT_NE(o.SplashWindow(), nullptr);
    EXPECT_FALSE(o.SplashWindow()->ForcedTransparent());
    EXPECT_EQ(o.SplashWindow()->Window()->AlphaBlendValue(), 5);
    clock.Advance(5 * 39);
    EXPECT_EQ(o.SplashWindow()->Window()->AlphaBlendValue(), 200);
    o.Hide();
    clock.Advance(15 * 20);
    EXPECT_FALSE(o.Fading());
}

TEST(StSmoothSplashScreenTest, CloseTimerOnlyWhenAsked) {
    TVirtualClock clock;
    TStSmoothSplashScreen s(nullptr);
    s.SetScheduler(&clock);
    s.SetDisplayStyle(TDisplayStyle::dsNormal);
    s.SetTimeOut(100);
    s.Show();
    clock.Advance(500);
    EXPECT_TRUE(s.Showing()); // CloseOnTimeout is off by default
    s.Hide();
    s.SetCloseOnTimeout(true);
    s.Show();
    clock.Advance(99);
    EXPECT_TRUE(s.Showing());
    clock.Advance(1);
    EXPECT_FALSE(s.Showing());
    EXPECT_EQ(s.SplashWindow(), nullptr);
}

TEST(StSmoothSplashScreenTest, ListOverflowKeepsTheNewestLines) {
    const TRect area{30, 150, 330, 200};
    std::vector<TRect> r = LayoutSplashListItems({20, 20, 20}, area, 8);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].Top, -1);
    EXPECT_EQ(r[0].Bottom, -1);
    EXPECT_EQ(r[1], (TRect{30, 150, 330, 170}));
    EXPECT_EQ(r[2], (TRect{30, 178, 330, 198}));
    // Room for all: laid out from the top, Space apart.
    r = LayoutSplashListItems({20, 20}, TRect{0, 0, 100, 100}, 8);
    EXPECT_EQ(r[1], (TRect{0, 28, 100, 48}));
    // One item taller than the area stays.
    r = LayoutSplashListItems({300}, TRect{0, 0, 100, 100}, 8);
    EXPECT_EQ(r[0], (TRect{0, 0, 100, 300}));
}

TEST(StSmoothSplashScreenTest, HeadingBrushesAndProgress) {
    QImage img(200, 60, QImage::Format_ARGB32_Premultiplied);
    auto draw = [&](TStGradientType type, TColor end) {
        img.fill(0xFF000000);
        TGPGraphics g(&img);
        TFont f;
        f.SetHeight(-20);
        const TSize s =
            DrawGradientText(&g, &f, "HHHH", 5, 5, type, clRed, end, 255, 255, HatchStyleHorizontal, nullptr,
                             0, TStSmoothSplashScreenTextRenderingHint::tAntiAlias, false);
        int red = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 200; ++x)
                red += qRed(img.pixel(x, y)) > 200;
        EXPECT_GT(s.cx, 20);
        return red;
    };
    EXPECT_GT(draw(gtVertical, clNone), 50); // no end colour: the start colour, solid
    EXPECT_EQ(draw(gtRadial, clBlue), 0);    // no brush for these kinds
    EXPECT_EQ(draw(gtNone, clNone), 0);

    TGDIPSplashProgress p;
    const TGPRectF inside{10, 0, 200, 10};
    EXPECT_FLOAT_EQ(p.CalculateProgressRectangle(inside, 50).Width, 100);
    EXPECT_FLOAT_EQ(p.CalculateProgressRectangle(inside, 150).Width, 200);
    p.SetMaximum(0);
    EXPECT_FLOAT_EQ(p.CalculateProgressRectangle(inside, 50).Width, 0);

    struct Case {
        const char* format;
        double v;
        const char* text;
    };
    for (const Case& c :
         {Case{"%.0f%%", 42.4, "42%"}, Case{"%5.1f", 3.25, "  3.2"}, Case{"%d items", 7.6, "8 items"},
          Case{"%s%n%p", 1, "%s%n%p"}, Case{"%", 1, "%"}, Case{"v=%03.0f", 5, "v=005"}})
        EXPECT_EQ(FormatProgressValue(c.format, c.v), c.text) << c.format;
}

} // namespace

namespace {

// Top-layer items, picture items and the headings' corner places, probed in the buffer.
TEST(StSmoothSplashScreenTest, LayersInTheirPlaces) {
    TStSmoothSplashScreen s(nullptr);
    s.SetDisplayStyle(TDisplayStyle::dsNormal);
    s.SetWidth(300);
    s.SetHeight(200);
    s.Fill()->SetColor(clBlack);
    s.Fill()->SetColorTo(clBlack);
    s.Fill()->SetOpacity(254); // layered, with a buffer to probe
    s.BasicProgramInfo()->ProgramName()->SetText("NAME");
    s.BasicProgramInfo()->ProgramName()->SetColorStart(clWhite);
    s.BasicProgramInfo()->ProgramName()->SetLocation(TItemLocation::ilBottomRight);
    TStSplashTopLayerItem* top = s.TopLayerItems()->Add();
    top->SetAlign(TAlign::alTop);
    top->SetHeight(40);
    top->Fill()->SetColor(clRed);
    top->Fill()->SetColorTo(clRed);
    top->HTMLText()->SetText("<FONT color=\"clWhite\">Top</FONT>");
    top->HTMLText()->SetLocation(TStSmoothSplashScreenLocation::cpCenterCenter);
    TSplashItem* item = s.Items()->Add();
    item->SetPosX(10);
    item->SetPosY(90);
    QImage bmp(20, 20, QImage::Format_RGB32);
    bmp.fill(qRgb(255, 0, 255)); // keyed away by the bottom-left pixel
    for (int y = 5; y < 15; ++y)
        for (int x = 5; x < 15; ++x)
            bmp.setPixel(x, y, qRgb(0, 255, 0));
    TBitmap b;
    b.FromImage(bmp);
    item->Picture()->LoadFromBytes(b.SaveToBytes());
    item->SetText("item");
    item->Font()->SetColor(clYellow);
    s.Show();
    ASSERT_NE(s.SplashWindow(), nullptr);
    ASSERT_NE(s.SplashWindow()->MainBuffer(), nullptr);
    const QImage img = Over(*s.SplashWindow()->MainBuffer(), qRgb(0, 0, 255));
    img.save(QString::fromStdString(::testing::TempDir() + "kv-splash-layers.png"));
    auto count = [&](int x0, int y0, int x1, int y1, const std::function<bool(QRgb)>& f) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += f(img.pixel(x, y));
        return n;
    };
    auto white = [](QRgb c) { return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200; };
    // The red band across the top, its text centred in it.
    EXPECT_GT(qRed(img.pixel(5, 5)), 200);
    EXPECT_LT(qGreen(img.pixel(5, 5)), 60);
    EXPECT_GT(count(120, 5, 180, 35, white), 10);
    EXPECT_EQ(count(0, 5, 100, 35, white), 0);
    // The picture: its keyed colour gone, the green square drawn; the text 5 pixels to its right.
    EXPECT_EQ(
        count(10, 90, 30, 110, [](QRgb c) { return qRed(c) > 200 && qBlue(c) > 200 && qGreen(c) < 60; }), 0);
    EXPECT_GT(qGreen(img.pixel(20, 100)), 200);
    EXPECT_GT(
        count(35, 88, 80, 110, [](QRgb c) { return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 80; }), 10);
    // The name at the bottom right of the text area.
    EXPECT_GT(count(200, 170, 300, 200, white), 10);
    EXPECT_EQ(count(0, 150, 150, 200, white), 0);
    s.Hide();
}

} // namespace
