#include "platform/core/Properties.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

using namespace kv;

namespace probe {

enum class TShapeKind { stRectangle, stCircle, stSquare };
inline std::vector<std::string> EnumIdents(TShapeKind) {
    return {"stRectangle", "stCircle", "stSquare"};
}
enum class TSide { sdLeft, sdTop, sdRight, sdBottom };
inline std::vector<std::string> EnumIdents(TSide) {
    return {"sdLeft", "sdTop", "sdRight", "sdBottom"};
}
using TSides = TSet<TSide>;

const TIdentMap& ColorIdents() {
    static const TIdentMap m{{{0x0000FF, "clRed"}, {0xFFFFFF, "clWhite"}}};
    return m;
}

class TSub : public TPersistent {
    KV_CLASS(TSub)
public:
    int Size() const { return FSize; }
    void SetSize(int v) { FSize = v; }
    std::string Face() const { return FFace; }
    void SetFace(const std::string& v) { FFace = v; }

private:
    int FSize = 8;
    std::string FFace = "Tahoma";
};

class TThing : public TComponent {
    KV_CLASS(TThing)
public:
    explicit TThing(TComponent* owner) : TComponent(owner) {}
    int Count() const { return FCount; }
    void SetCount(int v) { FCount = v; }
    bool Active() const { return FActive; }
    void SetActive(bool v) { FActive = v; }
    TShapeKind Shape() const { return FShape; }
    void SetShape(TShapeKind v) { FShape = v; }
    TSides Sides() const { return FSides; }
    void SetSides(TSides v) { FSides = v; }
    double Ratio() const { return FRatio; }
    void SetRatio(double v) { FRatio = v; }
    std::string Caption() const { return FCaption; }
    void SetCaption(const std::string& v) { FCaption = v; }
    int Color() const { return FColor; }
    void SetColor(int v) { FColor = v; }
    TSub* Sub() const { return const_cast<TSub*>(&FSub); }
    void SetSub(TSub* s) { FSub.SetSize(s->Size()); }
    bool SubStored() const { return FStoreSub; }
    int Hidden() const { return 7; }
    TNotifyEvent OnChange;
    bool FStoreSub = true;

    void Clicked(TObject* sender) { lastSender = sender; }
    TObject* lastSender = nullptr;
    // A part that carries out a handler published by the thing.
    struct TPart {
        void Clicked(TObject* sender) { lastSender = sender; }
        TObject* lastSender = nullptr;
    };
    std::unique_ptr<TPart> part;

private:
    int FCount = 3;
    bool FActive = true;
    TShapeKind FShape = TShapeKind::stRectangle;
    TSides FSides{TSide::sdLeft, TSide::sdTop};
    double FRatio = 0;
    std::string FCaption;
    int FColor = 0xFFFFFF;
    TSub FSub;
};

class TBigThing : public TThing {
    KV_CLASS(TBigThing)
public:
    explicit TBigThing(TComponent* owner) : TThing(owner) { SetCount(10); }
    int Extra() const { return FExtra; }
    void SetExtra(int v) { FExtra = v; }

private:
    int FExtra = 0;
};

KV_REGISTER_CLASS(TSub, TPersistent, b) {
    b.Prop("Size", &TSub::Size, &TSub::SetSize).Default(8);
    b.Prop("Face", &TSub::Face, &TSub::SetFace);
}

KV_REGISTER_CLASS(TThing, TComponent, b) {
    b.Prop("Count", &TThing::Count, &TThing::SetCount).Default(3);
    b.Prop("Active", &TThing::Active, &TThing::SetActive).Default(true);
    b.Prop("Shape", &TThing::Shape, &TThing::SetShape).Default(TShapeKind::stRectangle);
    b.Prop("Sides", &TThing::Sides, &TThing::SetSides).Default(TSides{TSide::sdLeft, TSide::sdTop});
    b.Prop("Ratio", &TThing::Ratio, &TThing::SetRatio);
    b.Prop("Caption", &TThing::Caption, &TThing::SetCaption);
    b.Prop("Color", &TThing::Color, &TThing::SetColor).Default(0xFFFFFF).Idents(ColorIdents(), "TColor");
    b.Prop("Sub", &TThing::Sub, &TThing::SetSub).Stored(&TThing::SubStored);
    b.Prop("Hidden", &TThing::Hidden, nullptr);
    b.Event("OnChange", &TThing::OnChange);
    b.Method<TNotifyEvent>("Clicked", &TThing::Clicked);
    b.Forward<TNotifyEvent>("PartClicked", &TThing::part, &TThing::TPart::Clicked);
}

KV_REGISTER_CLASS(TBigThing, TThing, b) {
    b.Prop("Extra", &TBigThing::Extra, &TBigThing::SetExtra).Default(0);
    b.Prop("Count", &TThing::Count, &TThing::SetCount).Default(10); // declared again with its own default
}

std::map<std::string, std::string> Written(TObject& o, bool skipDefaults = true) {
    std::map<std::string, std::string> r;
    ForEachStoredProp(o, "", skipDefaults, [&](const std::string& name, TObject& holder, const TPropInfo& p) {
        r[name] = p.Kind == TTypeKind::tkMethod ? "<bound>" : p.ValueText(holder);
    });
    return r;
}

} // namespace probe

using namespace probe;

TEST(PropertyRegistryTest, DeclarationOrderBaseFirstAndRedeclaredKeepsItsPlace) {
    std::vector<std::string> names;
    for (const auto& p : TBigThing::StaticClassInfo().Props())
        names.push_back(p->Name);
    std::vector<std::string> expected{"Name",    "Tag",   "Count", "Active", "Shape",    "Sides", "Ratio",
                                      "Caption", "Color", "Sub",   "Hidden", "OnChange", "Extra"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(TBigThing::StaticClassInfo().FindProp("count")->Default, 10);
    EXPECT_EQ(TThing::StaticClassInfo().FindProp("COUNT")->Default, 3);
    EXPECT_TRUE(TBigThing::StaticClassInfo().InheritsFrom(TComponent::StaticClassInfo()));
}

TEST(PropertyRegistryTest, ValuesAsTextByKind) {
    TThing t(nullptr);
    struct Case {
        const char* name;
        const char* text;
        const char* readBack;
        TTypeKind kind;
    } cases[] = {
        {"Count", "42", "42", TTypeKind::tkInteger},
        {"Count", "$10", "16", TTypeKind::tkInteger},
        {"active", "False", "False", TTypeKind::tkEnumeration},
        {"Shape", "stcircle", "stCircle", TTypeKind::tkEnumeration},
        {"Sides", "[sdRight, sdBottom]", "[sdRight, sdBottom]", TTypeKind::tkSet},
        {"Sides", "[]", "[]", TTypeKind::tkSet},
        {"Ratio", "1.023373891996775", "1.023373891996775", TTypeKind::tkFloat},
        {"Caption", "Out 1 \xe9", "Out 1 \xe9", TTypeKind::tkString},
        {"Color", "clRed", "clRed", TTypeKind::tkInteger},
        {"Color", "$00800080", "8388736", TTypeKind::tkInteger},
        {"Sub.Size", "12", "12", TTypeKind::tkInteger},
        {"SUB.face", "Verdana", "Verdana", TTypeKind::tkString},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " = " + c.text);
        std::string error;
        EXPECT_TRUE(SetPropText(t, c.name, c.text, &error)) << error;
        EXPECT_EQ(GetPropText(t, c.name).value_or("?"), c.readBack);
        EXPECT_EQ(GetPropKind(t, c.name), c.kind);
    }
    EXPECT_EQ(t.Sub()->Size(), 12);
    EXPECT_EQ(t.Shape(), TShapeKind::stCircle);
}

TEST(PropertyRegistryTest, UnknownNamesAndUnfitValuesAreReported) {
    TThing t(nullptr);
    struct Case {
        const char* name;
        const char* text;
    } cases[] = {
        {"Nothing", "1"},
        {"Sub.Nothing", "1"},
        {"Count.Size", "1"},
        {"Count", "12x"},
        {"Active", "maybe"},
        {"Sides", "sdLeft"},
        {"Sides", "[sdLeft, sdMiddle]"},
        {"Ratio", "1,5"},
        {"Hidden", "3"},
        {"Sub", "1"},
        {"", "1"},
        {"Sub.", "1"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(SetPropText(t, c.name, c.text, &error)) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
    }
    EXPECT_EQ(t.Count(), 3);
    EXPECT_EQ(GetPropText(t, "Nothing"), std::nullopt);
    EXPECT_EQ(GetPropKind(t, "Sub.Nothing"), TTypeKind::tkUnknown);
}

TEST(PropertyRegistryTest, DefaultsAndStoredConditionDecideWhatIsWritten) {
    TBigThing t(nullptr);
    // Fresh object: only what differs from the declared defaults, and what has no default.
    std::map<std::string, std::string> fresh{{"Sub.Face", "Tahoma"}};
    EXPECT_EQ(Written(t), fresh);

    t.SetName("big");
    t.SetCount(3); // the base default, but not this class's default
    t.SetColor(0x0000FF);
    t.Sub()->SetSize(9);
    t.OnChange = [](TObject*) {};
    std::map<std::string, std::string> changed{{"Name", "big"},        {"Count", "3"},
                                               {"Color", "clRed"},     {"Sub.Size", "9"},
                                               {"Sub.Face", "Tahoma"}, {"OnChange", "<bound>"}};
    EXPECT_EQ(Written(t), changed);
    t.FStoreSub = false;
    changed.erase("Sub.Size");
    changed.erase("Sub.Face");
    EXPECT_EQ(Written(t), changed);
    // Without skipping defaults every stored writable property is visited; read-only ones never.
    auto all = Written(t, false);
    EXPECT_EQ(all.count("Active"), 1u);
    EXPECT_EQ(all.count("Hidden"), 0u);
}

TEST(PropertyRegistryTest, HandlersBindByNameAndClassesAreFoundByName) {
    RegisterClass(TBigThing::StaticClassInfo());
    const TClassInfo* cls = FindClass("tbigthing");
    ASSERT_NE(cls, nullptr);
    TComponent owner(nullptr);
    TComponent* made = cls->Create(&owner);
    ASSERT_NE(dynamic_cast<TBigThing*>(made), nullptr);
    EXPECT_EQ(made->Owner(), &owner);
    EXPECT_EQ(made->ClassName(), "TBigThing");
    EXPECT_EQ(FindClass("TNoSuchClass"), nullptr);
    EXPECT_FALSE(TComponent::StaticClassInfo().Create == nullptr);

    auto* thing = static_cast<TBigThing*>(made);
    const TMethodInfo* m = thing->ClassInfo().FindMethod("clicked");
    ASSERT_NE(m, nullptr);
    const TPropInfo* ev = thing->ClassInfo().FindProp("OnChange");
    ev->SetMethod(*thing, m->Bind(*thing));
    thing->OnChange(&owner);
    EXPECT_EQ(thing->lastSender, &owner);
    // A handler of another signature is refused.
    EXPECT_THROW(ev->SetMethod(*thing, std::any(42)), std::bad_any_cast);

    // A forwarded handler reaches the part that exists when it runs, not when it was bound.
    const TMethodInfo* forwarded = thing->ClassInfo().FindMethod("PartClicked");
    ASSERT_NE(forwarded, nullptr);
    ev->SetMethod(*thing, forwarded->Bind(*thing));
    thing->part = std::make_unique<TThing::TPart>();
    thing->OnChange(&owner);
    EXPECT_EQ(thing->part->lastSender, &owner);
}
