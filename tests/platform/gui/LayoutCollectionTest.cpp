// Collection properties in layouts: items written as "item ... end" blocks and read back.
#include "platform/core/Properties.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/Layout.h"
#include "platform/gui/StdCtrls.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using namespace kv;

namespace {

class TTestItem : public TPersistent {
    KV_CLASS(TTestItem)
public:
    const std::string& Name() const { return FName; }
    void SetName(const std::string& v) { FName = v; }
    int Tag() const { return FTag; }
    void SetTag(int v) { FTag = v; }
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* v) { FFont->Assign(v); }

private:
    std::string FName;
    int FTag = 0;
    std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
};

class TTestItems : public TPersistent {
    KV_CLASS(TTestItems)
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TTestItem* Items(int i) const { return FItems.at(static_cast<std::size_t>(i)).get(); }
    TTestItem* Add() { return FItems.emplace_back(std::make_unique<TTestItem>()).get(); }
    void Clear() { FItems.clear(); }

private:
    std::vector<std::unique_ptr<TTestItem>> FItems;
};

class TTestHolder : public TComponent {
    KV_CLASS(TTestHolder)
public:
    explicit TTestHolder(TComponent* owner) : TComponent(owner) {}
    TTestItems* Items() const { return FItems.get(); }
    void SetItems(const TTestItems*) {}
    int Loads() const { return FLoads; }
    int CountAtLoaded() const { return FCountAtLoaded; }
    void Loaded() override {
        TComponent::Loaded();
        ++FLoads;
        FCountAtLoaded = FItems->Count();
    }

private:
    std::unique_ptr<TTestItems> FItems = std::make_unique<TTestItems>();
    int FLoads = 0, FCountAtLoaded = -1;
};

} // namespace

KV_REGISTER_CLASS(TTestItem, TPersistent, b) {
    b.Prop("Name", &TTestItem::Name, &TTestItem::SetName);
    b.Prop("Tag", &TTestItem::Tag, &TTestItem::SetTag).Default(0);
    b.Prop("Font", &TTestItem::Font, &TTestItem::SetFont);
}
KV_REGISTER_CLASS(TTestItems, TPersistent, b) {
    b.Collection(&TTestItems::Count, &TTestItems::Items, &TTestItems::Add, &TTestItems::Clear);
}
KV_REGISTER_CLASS(TTestHolder, TComponent, b) {
    b.Prop("Items", &TTestHolder::Items, &TTestHolder::SetItems);
}

namespace {

struct Registered {
    Registered() {
        RegisterStandardClasses();
        RegisterClass(TTestHolder::StaticClassInfo());
    }
};

std::string Layout(const std::string& items) {
    return "object fmC: TForm\n  object h: TTestHolder\n" + items +
           "  end\n  object lb: TLabel\n  end\nend\n";
}

TTestHolder* Holder(TForm& f) {
    return dynamic_cast<TTestHolder*>(f.FindComponent("h"));
}

} // namespace

TEST(LayoutCollection, ItemsRoundTripInDeclarationOrderWithoutDefaults) {
    static Registered reg;
    std::string text;
    {
        TForm f(nullptr);
        f.SetName("fmC");
        auto* h = new TTestHolder(&f);
        h->SetName("h");
        auto* a = h->Items()->Add();
        a->SetName("a \"quoted\"");
        a->SetTag(3);
        a->Font()->SetSize(14);
        h->Items()->Add()->SetTag(-1); // Name and Font left at their defaults
        text = WriteLayout(f);
    }
    EXPECT_NE(text.find("    Items = <\n      item\n        Name = \"a \\\"quoted\\\"\"\n        Tag = 3\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("      item\n        Tag = -1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Font.Height = -19"), std::string::npos) << text;

    TForm g(nullptr);
    auto problems = ReadLayout(text, g);
    EXPECT_TRUE(problems.empty()) << problems.front();
    TTestHolder* h = Holder(g);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(h->Items()->Count(), 2);
    EXPECT_EQ(h->Items()->Items(0)->Name(), "a \"quoted\"");
    EXPECT_EQ(h->Items()->Items(0)->Font()->Size(), 14);
    EXPECT_EQ(h->Items()->Items(1)->Tag(), -1);
    // Items are in place when the component's Loaded runs, and it runs once.
    EXPECT_EQ(h->Loads(), 1);
    EXPECT_EQ(h->CountAtLoaded(), 2);
    EXPECT_EQ(WriteLayout(g), text);
}

TEST(LayoutCollection, EmptyCollectionsAreLeftOutAndReadAsEmpty) {
    static Registered reg;
    TForm f(nullptr);
    f.SetName("fmC");
    (new TTestHolder(&f))->SetName("h");
    EXPECT_EQ(WriteLayout(f).find("Items"), std::string::npos);

    TForm g(nullptr);
    EXPECT_TRUE(ReadLayout(Layout("    Items = <>\n"), g).empty());
    ASSERT_NE(Holder(g), nullptr);
    EXPECT_EQ(Holder(g)->Items()->Count(), 0);
}

TEST(LayoutCollection, DamagedCollectionsAreRefusedOrReported) {
    static Registered reg;
    struct Case {
        const char* items;
        bool refused;  // ELayoutError, else reported
        int itemsRead; // when reported
    };
    const Case cases[] = {
        // "end" of the item missing: the holder's own "end" cannot close it.
        {"    Items = <\n      item\n        Tag = 1\n", true, 0},
        {"    Items = <\n      item\n        Tag = 1\n      end\n", true, 0},
        {"    Items = <\n      Tag = 1\n      end>\n", true, 0},
        {"    Items = <\n      item\n      item\n      end>\n", true, 0},
        {"    Items = < item\n      end>\n", true, 0},
        {"    item\n      Tag = 1\n    end\n", true, 0},
        {"    end>\n", true, 0},
        // Unknown item property, bad value, unknown or non-collection property: reported, rest read.
        {"    Items = <\n      item\n        Colour = 1\n      end\n      item\n        Tag = 2\n      "
         "end>\n",
         false, 2},
        {"    Items = <\n      item\n        Tag = x\n      end>\n", false, 1},
        {"    Things = <\n      item\n        Tag = 1\n      end>\n    Tag = 5\n", false, 0},
        {"    Tag = <\n      item\n      end>\n", false, 0},
    };
    for (const Case& c : cases) {
        TForm g(nullptr);
        std::string text = Layout(c.items);
        if (c.refused) {
            EXPECT_THROW(ReadLayout(text, g), ELayoutError) << text;
            continue;
        }
        std::vector<std::string> problems;
        ASSERT_NO_THROW(problems = ReadLayout(text, g)) << text;
        EXPECT_EQ(problems.size(), 1u) << text;
        ASSERT_NE(Holder(g), nullptr) << text;
        EXPECT_EQ(Holder(g)->Items()->Count(), c.itemsRead) << text;
        EXPECT_NE(g.FindComponent("lb"), nullptr) << text; // what follows is still read
    }
    // A collection inside an object of an unknown class is skipped with it.
    TForm g(nullptr);
    auto problems =
        ReadLayout("object fmC: TForm\n  object x: TNoSuchClass\n    Items = <\n      item\n      end\n"
                   "      item\n      end>\n  end\n  object lb: TLabel\n  end\nend\n",
                   g);
    EXPECT_EQ(problems.size(), 1u);
    EXPECT_NE(g.FindComponent("lb"), nullptr);
}

TEST(LayoutCollection, MutatedCollectionLayoutsNeverCrash) {
    static Registered reg;
    const std::string source =
        Layout("    Items = <\n      item\n        Name = \"a\"\n        Tag = 3\n"
               "        Font.Style = [fsBold]\n      end\n      item\n        Items = <>\n"
               "      end\n      item\n      end>\n    Tag = 1\n");
    {
        TForm f(nullptr);
        auto problems = ReadLayout(source, f);
        // The second item names a property items lack: reported, the rest read.
        ASSERT_EQ(problems.size(), 1u);
        ASSERT_NE(Holder(f), nullptr);
        EXPECT_EQ(Holder(f)->Items()->Count(), 3);
    }
    std::uint32_t seed = 777;
    auto next = [&](std::uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    const std::string noise = "<>=\"\n itemend[]0.";
    int refused = 0, read = 0;
    for (int round = 0; round < 400; ++round) {
        std::string text = source;
        for (std::uint32_t k = 0, n = 1 + next(4); k < n; ++k) {
            std::size_t at = next(static_cast<std::uint32_t>(text.size()));
            switch (next(3)) {
            case 0:
                text.erase(at, 1 + next(8));
                break;
            case 1:
                text.insert(at, 1, noise[next(static_cast<std::uint32_t>(noise.size()))]);
                break;
            default:
                text.insert(at, text.substr(at, next(12)));
            }
        }
        TForm f(nullptr);
        try {
            ReadLayout(text, f);
            ++read;
        } catch (const ELayoutError&) {
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(read, 0);
}
