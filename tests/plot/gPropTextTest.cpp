#include "plot/gPropText.h"

#include "platform/gui/Graphics.h"

#include "ErrorOf.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace kvtest {

using namespace kv;

enum class TSampleKind { skOne, skTwo, skThree };
std::vector<std::string> EnumIdents(TSampleKind) {
    return {"skOne", "skTwo", "skThree"};
}

// One published property of every kind the property text knows, plus a reference and an event that
// it must leave alone.
class TPropSample : public TComponent {
    KV_CLASS(TPropSample)
public:
    explicit TPropSample(TComponent* owner = nullptr) : TComponent(owner), FFont(std::make_unique<TFont>()) {}
    int Count() const { return FCount; }
    void SetCount(int v) { FCount = v; }
    char Letter() const { return FLetter; }
    void SetLetter(char v) { FLetter = v; }
    TSampleKind Kind() const { return FKind; }
    void SetKind(TSampleKind v) { FKind = v; }
    bool Flag() const { return FFlag; }
    void SetFlag(bool v) { FFlag = v; }
    TSet<TSampleKind> Kinds() const { return FKinds; }
    void SetKinds(TSet<TSampleKind> v) { FKinds = v; }
    double Ratio() const { return FRatio; }
    void SetRatio(double v) { FRatio = v; }
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v) { FCaption = v; }
    TFont* Font() const { return FFont.get(); }
    int ReadOnly() const { return 7; }
    TComponent* Buddy() const { return FBuddy; }
    void SetBuddy(TComponent* c) { FBuddy = c; }
    TNotifyEvent OnThing;

    int FCount = 3;
    char FLetter = 'A';
    TSampleKind FKind = TSampleKind::skOne;
    bool FFlag = false;
    TSet<TSampleKind> FKinds;
    double FRatio = 0;
    std::string FCaption;
    std::unique_ptr<TFont> FFont;
    TComponent* FBuddy = nullptr;
};

KV_REGISTER_CLASS(TPropSample, TComponent, b) {
    b.Prop("Count", &TPropSample::Count, &TPropSample::SetCount).Default(3);
    b.Prop("Letter", &TPropSample::Letter, &TPropSample::SetLetter).Default('A');
    b.Prop("Kind", &TPropSample::Kind, &TPropSample::SetKind).Default(TSampleKind::skOne);
    b.Prop("Flag", &TPropSample::Flag, &TPropSample::SetFlag).Default(false);
    b.Prop("Kinds", &TPropSample::Kinds, &TPropSample::SetKinds).Default(TSet<TSampleKind>{});
    b.Prop("Ratio", &TPropSample::Ratio, &TPropSample::SetRatio);
    b.Prop("Caption", &TPropSample::Caption, &TPropSample::SetCaption);
    b.Prop("Font", &TPropSample::Font, [](TPropSample&, TFont*) {});
    b.Prop("ReadOnly", &TPropSample::ReadOnly, nullptr);
    b.Ref("Buddy", &TPropSample::Buddy, &TPropSample::SetBuddy);
    b.Event("OnThing", &TPropSample::OnThing);
}

namespace {

std::vector<std::string> Lines(const TStrings& s) {
    return s.Strings();
}

class gPropText : public ::testing::Test {
protected:
    void SetUp() override { gSetLocaleDecimalSeparator('.'); }
    void TearDown() override { gSetLocaleDecimalSeparator(0); }
};

TEST_F(gPropText, WritesEveryKindInDeclarationOrder) {
    TPropSample other;
    TPropSample s;
    s.SetName("Sample");
    s.FCount = 5;
    s.FLetter = 'B';
    s.FKind = TSampleKind::skThree;
    s.FFlag = true;
    s.FKinds = {TSampleKind::skOne, TSampleKind::skThree};
    s.FRatio = 0.1;
    s.FCaption = "a\r\nb";
    s.FFont->SetColor(clRed);
    s.FBuddy = &other;
    s.OnThing = [](TObject*) {};

    TStringList exclude;
    exclude.Add("name");
    exclude.Add("FONT.height");
    TStringList lines;
    gWritePropertyText(s, "", lines, false, &exclude);
    std::vector<std::string> want = {"Tag = 0",          "Count = 5",          "Letter = 66",
                                     "Kind = 2",         "Flag = 1",           "Kinds = 5",
                                     "Ratio = 0.1",      "Caption = a#13#10b", "Font.Charset = 1",
                                     "Font.Color = 255", "Font.Name = Tahoma", "Font.Orientation = 0",
                                     "Font.Pitch = 0",   "Font.Style = 0"};
    EXPECT_EQ(Lines(lines), want) << "no lines for the read-only property, the reference or the event";

    // Skipping defaults leaves out ordinals at their declared default, never floats or strings.
    TPropSample d;
    TStringList skipped;
    gSavePropertiesToList(d, "Chan", skipped, true, nullptr);
    EXPECT_EQ(Lines(skipped), (std::vector<std::string>{"Chan.Name = ", "Chan.Ratio = 0",
                                                        "Chan.Caption = ", "Chan.Font.Height = -11",
                                                        "Chan.Font.Name = Tahoma"}));
}

TEST_F(gPropText, WritesValuesWholeAndFloatsShortestWithTheLocaleSeparator) {
    TPropSample s;
    s.FCaption = std::string(600, 'x');
    s.FRatio = 15.123456789012345678;
    gSetLocaleDecimalSeparator(',');
    TStringList lines;
    gWritePropertyText(s, "", lines, true, nullptr);
    EXPECT_NE(lines.IndexOf("Caption = " + std::string(600, 'x')), -1) << "never cut to 255 characters";
    EXPECT_NE(lines.IndexOf("Ratio = 15,123456789012346"), -1);
}

TEST_F(gPropText, ReadsLinesByKind) {
    struct Case {
        const char* line;
        std::function<bool(const TPropSample&)> check;
    };
    std::vector<Case> cases = {
        {"Count = 42", [](auto& s) { return s.FCount == 42; }},
        {"count=-7", [](auto& s) { return s.FCount == -7; }},
        {"Letter = 90", [](auto& s) { return s.FLetter == 'Z'; }},
        {"Kind = 1", [](auto& s) { return s.FKind == TSampleKind::skTwo; }},
        {"Flag = 1", [](auto& s) { return s.FFlag; }},
        {"Kinds = 6",
         [](auto& s) {
             return s.FKinds == TSet<TSampleKind>{TSampleKind::skTwo, TSampleKind::skThree};
         }},
        {"Ratio = 2.5", [](auto& s) { return s.FRatio == 2.5; }},
        {"Ratio = 2,5", [](auto& s) { return s.FRatio == 2.5; }},
        {"Caption = one#13#10two#10", [](auto& s) { return s.FCaption == "one\r\ntwo\n"; }},
        {"Caption =   padded  ", [](auto& s) { return s.FCaption == "padded"; }},
        {"Font.Color = 65280", [](auto& s) { return s.FFont->Color() == clLime; }},
        {"FONT.NAME = Arial", [](auto& s) { return s.FFont->Name() == "Arial"; }},
        {"Unknown = 5", [](auto& s) { return s.FCount == 3; }},
        {"Unknown.Color = 5", [](auto& s) { return s.FCount == 3; }},
        {"no separator here", [](auto& s) { return s.FCount == 3; }},
        {"ReadOnly = 9", [](auto& s) { return s.FCount == 3; }},
    };
    for (const auto& c : cases) {
        TPropSample s;
        TStringList lines;
        lines.Add(c.line);
        EXPECT_EQ(ErrorOf([&] { gReadPropertyText(s, "", lines); }), "") << c.line;
        EXPECT_TRUE(c.check(s)) << c.line;
        EXPECT_EQ(lines.Count(), 0) << c.line;
    }
}

TEST_F(gPropText, ReadsEitherDecimalSeparatorUnderEitherLocale) {
    for (char locale : {'.', ','}) {
        gSetLocaleDecimalSeparator(locale);
        for (const char* text : {"Ratio = 0.25", "Ratio = 0,25"}) {
            TPropSample s;
            TStringList lines;
            lines.Add(text);
            gLoadPropertiesFromList(s, "", lines);
            EXPECT_EQ(s.FRatio, 0.25) << text << " under " << locale;
        }
    }
}

TEST_F(gPropText, RefusesValuesThatDoNotFit) {
    struct Case {
        const char* line;
        const char* error;
    };
    for (const Case& c : std::vector<Case>{
             {"Count = abc", "'abc' is not a valid integer value"},
             {"Ratio = 1.2.3", "'1.2.3' is not a valid floating point value"},
             {"Kind = 3", "'3' is not a valid value for Kind"},
         }) {
        TPropSample s;
        TStringList lines;
        lines.Add("Flag = 1");
        lines.Add(c.line);
        EXPECT_EQ(ErrorOf([&] { gReadPropertyText(s, "", lines); }), c.error);
        EXPECT_TRUE(s.FFlag) << "lines before the error stay applied";
        EXPECT_EQ(lines.Count(), 1);
    }
}

TEST_F(gPropText, PrefixedSectionsAreConsumedFromTheTop) {
    TPropSample s;
    TStringList lines;
    for (const char* l :
         {"Channel.Count = 255", "channel.Flag = 1", "Channel.Letter = 67", "Legend.Visible = 0"})
        lines.Add(l);
    gLoadPropertiesFromList(s, "Channel", lines);
    EXPECT_EQ(s.FCount, 255);
    EXPECT_FALSE(s.FFlag) << "the prefix must be spelt exactly; that line ends the section";
    EXPECT_EQ(Lines(lines),
              (std::vector<std::string>{"channel.Flag = 1", "Channel.Letter = 67", "Legend.Visible = 0"}));

    // A round trip through a prefix restores every value.
    TPropSample a;
    a.FCount = 9;
    a.FKind = TSampleKind::skTwo;
    a.FRatio = 1.0 / 3;
    a.FCaption = "x\ry";
    a.FFont->SetName("Arial");
    TStringList out;
    gWritePropertyText(a, "Channel", out, true, nullptr);
    out.Add("Other.Count = 1");
    TPropSample b;
    gReadPropertyText(b, "Channel", out);
    EXPECT_EQ(b.FCount, 9);
    EXPECT_EQ(b.FKind, TSampleKind::skTwo);
    EXPECT_EQ(b.FRatio, 1.0 / 3);
    EXPECT_EQ(b.FCaption, "x\ry");
    EXPECT_EQ(b.FFont->Name(), "Arial");
    EXPECT_EQ(Lines(out), (std::vector<std::string>{"Other.Count = 1"}));
}

TEST_F(gPropText, HelperRoutines) {
    std::string a, b;
    gSplitNameValue(" a = b = c ", "=", a, b);
    EXPECT_EQ(a, "a");
    EXPECT_EQ(b, "b = c");
    gSplitText("no separator", "=", a, b);
    EXPECT_EQ(a, "");
    EXPECT_EQ(b, "");

    std::string name = "CHANNEL.Font.Size", head;
    gStripPropertyPrefix("Channel", name, head);
    EXPECT_EQ(head, "CHANNEL");
    EXPECT_EQ(name, "Font.Size");
    name = "Legend.Visible";
    gStripPrefix("Channel", name, head);
    EXPECT_EQ(head, "");
    EXPECT_EQ(name, "Legend.Visible");
    gStripPrefix("", name, head);
    EXPECT_EQ(name, "Legend.Visible");

    TStringList lines;
    for (const char* l : {"A = 1", " file type = Plot Channel Config ", "File Type = second"})
        lines.Add(l);
    std::string value;
    EXPECT_TRUE(gExtractPropertyValue("File Type", value, lines));
    EXPECT_EQ(value, "Plot Channel Config");
    EXPECT_EQ(lines.Count(), 2);
    EXPECT_FALSE(gExtractKeyValue("Missing", value, lines));

    TPropSample s;
    EXPECT_EQ(gGetObjectProperty(s, "font"), s.Font());
    EXPECT_EQ(gGetObjectProperty(s, "Count"), nullptr);
    EXPECT_EQ(gGetPropertyKind(s, "Font.Color"), TTypeKind::tkInteger);
    EXPECT_EQ(gGetPropertyKind(s, "ratio"), TTypeKind::tkFloat);
    EXPECT_EQ(gGetPropertyKind(s, "Font.Nothing"), TTypeKind::tkUnknown);
    EXPECT_EQ(gGetPropertyKind(s, "ReadOnly"), TTypeKind::tkUnknown);
}

} // namespace
} // namespace kvtest
