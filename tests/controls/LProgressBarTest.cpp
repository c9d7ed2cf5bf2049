#include "controls/LProgressBar.h"
#include "controls/ControlClasses.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Layout.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kv;

namespace {

// The segments from the top as letters: r y g unlit, R Y G lit (first, second, third group colours),
// '?' for anything else.
std::string Colours(const LProgressBar& m) {
    std::string out;
    for (int i = 1; i <= m.SegmentCount(); ++i) {
        TShape* s = m.Segment(i);
        if (!s)
            return out + "!";
        TColor c = s->Brush()->Color();
        out += c == m.GetFirstColor()     ? 'r'
               : c == m.GetLFirstColor()  ? 'R'
               : c == m.GetSecondColor()  ? 'y'
               : c == m.GetLSecondColor() ? 'Y'
               : c == m.GetThirdColor()   ? 'g'
               : c == m.GetLThirdColor()  ? 'G'
                                          : '?';
    }
    return out;
}

struct MeterSetup {
    int first, second, third, max;
    TColor secondColor, lSecondColor;
};

std::unique_ptr<LProgressBar> MakeMeter(const MeterSetup& s) {
    auto m = std::make_unique<LProgressBar>(nullptr);
    m->SetFirstNum(s.first);
    m->SetSecondNum(s.second);
    m->SetThirdNum(s.third);
    m->SetMax(s.max);
    if (s.secondColor >= 0) {
        m->SetSecondColor(s.secondColor);
        m->SetLSecondColor(s.lSecondColor);
    }
    return m;
}

TEST(LProgressBarTest, ColourStatesOfTheWindowMeters) {
    const MeterSetup input{1, 2, 6, 9, -1, -1}, output{1, 3, 4, 8, -1, -1},
        lamp{0, 1, 0, 1, RGB(155, 78, 0), RGB(255, 163, 70)}, standard{1, 1, 3, 100, -1, -1};
    struct Step {
        int position;
        int stored;
        const char* colours;
    };
    struct Case {
        const char* what;
        MeterSetup setup;
        std::vector<Step> steps;
    } cases[] = {
        {"input level bar",
         input,
         {{5, 5, "ryygGGGGG"}, {9, 9, "RYYGGGGGG"}, {12, 9, "RYYGGGGGG"}, {-3, 0, "ryygggggg"}}},
        {"output level bar",
         output,
         {{4, 4, "ryyyGGGG"}, {5, 5, "ryyYGGGG"}, {8, 8, "RYYYGGGG"}, {0, 0, "ryyygggg"}}},
        {"activity lamp", lamp, {{1, 1, "Y"}, {0, 0, "y"}}},
        {"default meter", standard, {{99, 99, "rYGGG"}, {100, 100, "RYGGG"}, {40, 40, "rygGG"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto m = MakeMeter(c.setup);
        for (const Step& s : c.steps) {
            m->SetPosition(s.position);
            EXPECT_EQ(m->GetPosition(), s.stored) << "position " << s.position;
            EXPECT_EQ(Colours(*m), s.colours) << "position " << s.position;
        }
    }
    auto l = MakeMeter(lamp);
    l->SetPosition(1);
    EXPECT_EQ(l->Segment(1)->Brush()->Color(), RGB(255, 163, 70));
    l->SetPosition(0);
    EXPECT_EQ(l->Segment(1)->Brush()->Color(), RGB(155, 78, 0));
}

TEST(LProgressBarTest, ConstructionAndLayout) {
    LProgressBar m(nullptr);
    EXPECT_EQ(m.Width(), 14);
    EXPECT_EQ(m.Height(), 132);
    EXPECT_EQ(m.Color(), clBlack);
    EXPECT_EQ(m.BevelInner(), TBevelCut::bvLowered);
    EXPECT_EQ(m.BevelOuter(), TBevelCut::bvLowered);
    EXPECT_EQ(m.GetMax(), 100);
    EXPECT_EQ(Colours(m), "ryggg");
    // Segment i: top trunc(H / N * i) - 1, height H div N + 2, full width: neighbours overlap.
    const int tops[] = {-1, 25, 51, 78, 104};
    for (int i = 0; i < 5; ++i) {
        TShape* s = m.Segment(i + 1);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->Owner(), &m);
        EXPECT_EQ(s->Parent(), &m);
        EXPECT_EQ(s->BoundsRect(), Rect(0, tops[i], 14, tops[i] + 28)) << i;
    }
    EXPECT_EQ(m.FindComponent("SHAPE3"), m.Segment(3));
    EXPECT_EQ(m.FindComponent("shape6"), nullptr);
}

TEST(LProgressBarTest, SettingTheSamePositionTwiceRecoloursNothing) {
    auto m = MakeMeter({1, 2, 6, 9, -1, -1});
    m->SetPosition(5);
    m->Segment(9)->Brush()->SetColor(clBlue); // a colour of no group
    m->SetPosition(5);
    EXPECT_EQ(Colours(*m), "ryygGGGG?");
    // A fill of no group is never touched: groups are recognised by their colour.
    m->SetPosition(0);
    EXPECT_EQ(Colours(*m), "ryyggggg?");
    m->SetPosition(9);
    EXPECT_EQ(Colours(*m), "RYYGGGGG?");
}

TEST(LProgressBarTest, CountAndColourSetters) {
    LProgressBar m(nullptr);
    m.SetPosition(100);
    EXPECT_EQ(Colours(m), "RYGGG");
    TShape* oldTop = m.Segment(1);
    m.SetSecondNum(3);
    EXPECT_EQ(m.SegmentCount(), 7);
    EXPECT_EQ(Colours(m), "ryyyggg"); // all unlit, though the position stays
    EXPECT_EQ(m.GetPosition(), 100);
    EXPECT_EQ(m.Segment(1), oldTop);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(m.Segment(i + 1)->BoundsRect(),
                  Rect(0, static_cast<int>(132.0 / 7 * i) - 1, 14, static_cast<int>(132.0 / 7 * i) - 1 + 20));
    EXPECT_EQ(m.FindComponent("shape8"), nullptr);
    m.SetSecondNum(1);
    EXPECT_EQ(Colours(m), "rygg"
                          "g");
    EXPECT_EQ(m.ControlCount(), 5);

    m.SetPosition(60); // lights the bottom three
    EXPECT_EQ(Colours(m), "ryGGG");
    m.SetThirdColor(clBlue); // unlit colour: every segment of the group, lit ones too
    EXPECT_EQ(m.Segment(3)->Brush()->Color(), clBlue);
    EXPECT_EQ(Colours(m), "ryggg");
    m.SetPosition(20);
    EXPECT_EQ(Colours(m), "ryggG");
    m.SetLThirdColor(clAqua); // lit colour: only segments showing the old lit colour
    EXPECT_EQ(m.Segment(5)->Brush()->Color(), clAqua);
    EXPECT_EQ(m.Segment(4)->Brush()->Color(), clBlue);
    m.SetLThirdColor(clAqua); // equal value: nothing changes
    EXPECT_EQ(Colours(m), "ryggG");
}

TEST(LProgressBarTest, ResizeRelaysOutAtTheNextPaint) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 300);
    auto* m = new LProgressBar(&form);
    m->SetParent(&form);
    m->SetBounds(10, 10, 14, 132);
    m->SetPosition(100);
    m->SetHeight(199);
    EXPECT_EQ(m->Segment(5)->Height(), 28); // not yet
    QImage img = form.RenderToImage();
    EXPECT_EQ(m->Segment(5)->Height(), 199 / 5 + 2);
    EXPECT_EQ(m->Segment(5)->Top(), static_cast<int>(199.0 / 5 * 4) - 1);
    // Rendered: the lit bottom segment is green inside its outline, the top one red.
    img = form.RenderToImage();
    QRgb bottom = img.pixel(10 + 7, 10 + 199 - 10), top = img.pixel(10 + 7, 10 + 10);
    EXPECT_EQ(FromQRgb(bottom), m->GetLThirdColor());
    EXPECT_EQ(FromQRgb(top), m->GetLFirstColor());
}

TEST(LProgressBarTest, DegenerateSetupsDoNotDivideByZero) {
    LProgressBar m(nullptr);
    m.SetMax(0);
    m.SetPosition(3);
    EXPECT_EQ(m.GetPosition(), 0);
    m.SetMax(10);
    m.SetFirstNum(0);
    m.SetSecondNum(0);
    m.SetThirdNum(0);
    EXPECT_EQ(m.SegmentCount(), 0);
    m.SetPosition(5);
    EXPECT_EQ(m.GetPosition(), 5);
    m.SetThirdNum(-2);
    EXPECT_EQ(m.GetThirdNum(), 0);
    m.SetMin(-5);
    m.SetThirdNum(2);
    m.SetPosition(-5);
    EXPECT_EQ(Colours(m), "gg");
}

TEST(LProgressBarTest, PublishedPropertiesLoadFromALayout) {
    RegisterControlClasses();
    TForm form(nullptr);
    auto errors = form.LoadLayoutText(R"(object fmMeters: TForm
  object pbLimitOut1: LProgressBar
    Left = 4
    Top = 8
    Width = 14
    Height = 22
    Tag = 3
    BevelInner = bvLowered
    BevelOuter = bvLowered
    Color = clBlack
    FirstNum = 0
    ThirdNum = 0
    SecondColor = $00004E9B
    LSecondColor = $0046A3FF
    Max = 1
  end
end
)");
    EXPECT_TRUE(errors.empty()) << errors.front();
    auto* m = dynamic_cast<LProgressBar*>(form.FindComponent("pbLimitOut1"));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->SegmentCount(), 1);
    EXPECT_EQ(m->Tag(), 3);
    EXPECT_EQ(m->GetSecondColor(), RGB(155, 78, 0));
    m->SetPosition(1);
    EXPECT_EQ(m->Segment(1)->Brush()->Color(), RGB(255, 163, 70));
    EXPECT_EQ(GetPropText(*m, "lsecondcolor").value_or(""), "4629503");
}

} // namespace
