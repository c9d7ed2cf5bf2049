// Channel names against the simulated unit: the one-name dialog from the overview, the list of all six,
// what reaches the unit byte for byte in the Western and the Chinese code page, and a cut at 8 bytes
// that never splits a double-byte character.

#include "tests/app/LinkTestFixture.h"

#include "app/FChNameList.h"
#include "app/FChannelName.h"
#include "platform/core/CodePage.h"
#include "platform/gui/StdEdits.h"

#include <QTimer>

#include <string>
#include <vector>

namespace {

using namespace linktest;
using kv::TfmChannelName;
using kv::TfmChNameList;

class ChannelNamesTest : public LinkFixture {
protected:
    void SetUp() override {
        LinkFixture::SetUp();
        codePage = kv::CodePage::System().Name();
        single = kv::Application->CreateForm<TfmChannelName>();
        list = kv::Application->CreateForm<TfmChNameList>();
        Attach(Wire::Serial);
        ASSERT_TRUE(RunUntil([&] { return ReadBackDone(); }, 30000));
        Step(100);
        unit.ClearReceived();
    }
    void TearDown() override {
        delete list;
        delete single;
        kv::CodePage::SetSystem(codePage);
        LinkFixture::TearDown();
    }

    // The name commands that reached the unit since the last look, as (channel, 8 name bytes).
    std::vector<sim::Bytes> SentNames() {
        Step(50);
        std::vector<sim::Bytes> out;
        for (const auto& c : ReceivedOf(sim::code::ChannelName))
            out.push_back(c.payload);
        unit.ClearReceived();
        return out;
    }

    std::string Label(const std::string& suffix) {
        auto* l = main->Find<kv::TLabel>("lbMatrixChName" + suffix);
        return l ? l->Caption() : "<none>";
    }
    std::string PageHint(const std::string& suffix) {
        auto* b = main->Find<kv::TPkBmpButton>("pkbMenu" + suffix);
        return b ? b->Hint() : "<none>";
    }

    // Clicks the overview's name label of `suffix`; inside the dialog's modal loop, `user` acts.
    void OpenSingle(const std::string& suffix, std::function<void()> user) {
        QTimer::singleShot(0, [&, user] {
            EXPECT_TRUE(single->Modal());
            user();
            if (single->Modal() && single->ModalResult() == kv::mrNone)
                single->SetModalResult(kv::mrCancel);
        });
        main->lbMatrixChNameInAClick(main->FindComponent("lbMatrixChName" + suffix));
        EXPECT_FALSE(single->Visible());
    }

    // Fills the list dialog's boxes (empty text: leave the box) and presses Set.
    void SetInList(const std::vector<std::string>& texts) {
        list->Show();
        for (size_t ch = 0; ch < texts.size(); ++ch)
            if (!texts[ch].empty())
                list->edNames[ch]->SetText(texts[ch]);
        list->btnOK->Click();
        EXPECT_FALSE(list->Visible());
    }

    std::string codePage;
    TfmChannelName* single = nullptr;
    TfmChNameList* list = nullptr;
};

TEST_F(ChannelNamesTest, OverviewLabelOpensTheDialogAndOkRenamesTheChannelOnce) {
    OpenSingle("Out2", [&] {
        EXPECT_EQ(single->lbChannel->Caption(), "Out2 :");
        EXPECT_EQ(single->Caption(), "Channel Name");
        single->edName->SetText("Sub");
        single->btnOK->Click();
    });
    EXPECT_EQ(Label("Out2"), "Sub");
    EXPECT_EQ(PageHint("Out2"), "Sub");
    const auto name = main->ChannelNameOf(3);
    EXPECT_EQ(sim::Bytes(name.begin(), name.end()), (sim::Bytes{'S', 'u', 'b', 0, 0, 0, 0, 0}));
    EXPECT_EQ(SentNames(), (std::vector<sim::Bytes>{{3, 'S', 'u', 'b', 0, 0, 0, 0, 0}}));

    // Reopened, the name shows without trailing blanks; Enter acts as OK, an empty name is allowed and
    // sends eight zero bytes.
    main->Find<kv::TLabel>("lbMatrixChNameInB")->SetCaption("Bass  ");
    OpenSingle("InB", [&] {
        EXPECT_EQ(single->lbChannel->Caption(), "InB :");
        EXPECT_EQ(single->edName->Text(), "Bass");
        single->edName->SetText("");
        std::uint16_t enter = 13;
        single->edNameKeyDown(single->edName, enter, {});
    });
    EXPECT_EQ(Label("InB"), "");
    EXPECT_EQ(SentNames(), (std::vector<sim::Bytes>{{1, 0, 0, 0, 0, 0, 0, 0, 0}}));

    // Cancel leaves label, hint and model as they were, and sends nothing.
    OpenSingle("Out2", [&] {
        EXPECT_EQ(single->edName->Text(), "Sub");
        single->edName->SetText("Other");
        single->bnCancel->Click();
    });
    EXPECT_EQ(Label("Out2"), "Sub");
    EXPECT_EQ(PageHint("Out2"), "Sub");
    EXPECT_EQ(main->ChannelNameOf(3)[0], 'S');
    EXPECT_TRUE(SentNames().empty());
}

TEST_F(ChannelNamesTest, ListDialogShowsTheNamesAndSendsOnlyThoseThatChanged) {
    // The overview and the page buttons show the model's names, without sending them.
    main->ShowChannelNames();
    EXPECT_EQ(Label("InB"), "InB");
    EXPECT_EQ(PageHint("Out3"), "Out3");
    EXPECT_TRUE(SentNames().empty());

    SetInList({"", "", "Top"});
    ASSERT_EQ(SentNames().size(), 1u);
    list->Show();
    EXPECT_EQ(list->edNames[2]->Text(), "Top");
    EXPECT_EQ(list->Caption(), "Channel Name");
    EXPECT_EQ(list->btnOK->Caption(), "Set");
    EXPECT_EQ(list->btnCancel->Caption(), "Exit");
    list->btnCancel->Click();

    // Only InB changed: exactly one command; eight characters are kept whole.
    SetInList({"", "Subwoofr"});
    EXPECT_EQ(SentNames(), (std::vector<sim::Bytes>{{1, 'S', 'u', 'b', 'w', 'o', 'o', 'f', 'r'}}));
    EXPECT_EQ(Label("InB"), "Subwoofr");
    EXPECT_EQ(PageHint("InB"), "Subwoofr");
    SetInList({});
    EXPECT_TRUE(SentNames().empty());
}

// What the unit receives, byte for byte, in the user's code page: a name longer than 8 bytes is cut at
// a character boundary and zero-padded.
TEST_F(ChannelNamesTest, NamesReachTheUnitInTheUsersCodePageCutAtACharacter) {
    struct Case {
        const char* codePage;
        const char* typed;
        sim::Bytes sent;  // the 8 name bytes
        const char* shown; // what the label shows afterwards
    };
    const Case cases[] = {
        {"CP1252", "Café Bar", {0x43, 0x61, 0x66, 0xE9, 0x20, 0x42, 0x61, 0x72}, "Café Bar"},
        {"GBK", "低音", {0xB5, 0xCD, 0xD2, 0xF4, 0, 0, 0, 0}, "低音"},
        {"GBK", "左右中低音", {0xD7, 0xF3, 0xD3, 0xD2, 0xD6, 0xD0, 0xB5, 0xCD}, "左右中低"},
        {"GBK", "ab低音左右", {0x61, 0x62, 0xB5, 0xCD, 0xD2, 0xF4, 0xD7, 0xF3}, "ab低音左"},
        // The eighth byte would be half of a character: it stays zero.
        {"GBK", "abc低音左右", {0x61, 0x62, 0x63, 0xB5, 0xCD, 0xD2, 0xF4, 0}, "abc低音"},
    };
    for (const Case& c : cases) {
        kv::CodePage::SetSystem(c.codePage);
        SetInList({"", "", "", "", "", c.typed});
        sim::Bytes expected{5};
        expected.insert(expected.end(), c.sent.begin(), c.sent.end());
        EXPECT_EQ(SentNames(), (std::vector<sim::Bytes>{expected})) << c.codePage << " " << c.typed;
        EXPECT_EQ(Label("Out4"), c.shown) << c.typed;
        EXPECT_EQ(list->edNames[5]->Text(), c.shown) << c.typed;
        // The single dialog opens on the same name, and OK keeps it as it is.
        OpenSingle("Out4", [&] {
            EXPECT_EQ(single->edName->Text(), c.shown) << c.typed;
            single->btnOK->Click();
        });
        EXPECT_EQ(SentNames(), (std::vector<sim::Bytes>{expected})) << c.typed;
    }
}

} // namespace
