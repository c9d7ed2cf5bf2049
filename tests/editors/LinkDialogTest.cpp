// The link and copy dialogs: their texts, the link grid's rules as rows are clicked, Set and Exit
// offline and against the simulated unit (the commands in their order, then the read-back), the grid
// loaded from the model by a refresh, and the copy buttons with their lists.

#include "tests/editors/EditorFixture.h"
#include "app/link/MainLink.h"

#include "app/FCopy.h"
#include "app/FLinkSel.h"
#include "app/TimerComponent.h"
#include "app/pages/LinkingPage.h"
#include "panels/led/LdPowerButton.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdLists.h"

#include <QTimer>

#include <functional>

namespace {

using namespace editortest;
namespace off = kv::sim::off;
using kv::TPkBmpButton;

class LinkDialogTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        dialog = kv::Application->CreateForm<kv::TfmLinkSel>();
        copy = kv::Application->CreateForm<kv::TfmCopy>();
    }
    void TearDown() override {
        delete copy;
        delete dialog;
        EditorFixture::TearDown();
    }

    // The grid row by row: '*' the button that is down, '-' a disabled one, 'o' any other.
    std::string Grid() {
        std::string out;
        for (int row = 0; row <= 5; ++row) {
            if (row > 0)
                out += ' ';
            for (int column = row <= 1 ? 0 : 2; column <= row; ++column) {
                TPkBmpButton* b = dialog->LinkButton(row, column);
                out += !b ? '?' : b->Down() ? '*' : !b->Enabled() ? '-' : 'o';
            }
        }
        return out;
    }
    // A user's click on the grid button of a row and a column (channel numbers).
    void Choose(int row, int column) {
        TPkBmpButton* b = dialog->LinkButton(row, column);
        ASSERT_NE(b, nullptr);
        Click(*b);
    }
    TPkBmpButton& DialogButton(kv::TCustomForm& form, const char* name) {
        auto* b = dynamic_cast<TPkBmpButton*>(form.FindComponent(name));
        if (!b)
            throw std::runtime_error(std::string("no ") + name);
        return *b;
    }
    std::array<int, 6> Masks() {
        std::array<int, 6> m{};
        for (int c = 0; c <= 5; ++c)
            m[static_cast<size_t>(c)] = main->GetChannelLinkMask(c);
        return m;
    }
    std::string Caption(const std::string& name) { return Get<TPkBmpButton>(name).Caption(); }
    bool ButtonShown(const std::string& name) { return Get<kv::TLdPowerButton>(name).Visible(); }
    kv::TTimer& Poll() { return Get<kv::TTimer>("tmInLevelDet"); }
    // Runs `inside` from within the next modal loop, as the user's actions there would.
    static void WhenModal(std::function<void()> inside) { QTimer::singleShot(0, std::move(inside)); }

    kv::TfmLinkSel* dialog = nullptr;
    kv::TfmCopy* copy = nullptr;
};

TEST_F(LinkDialogTest, TheMenuItemsShowTheDialogsWithTheirTexts) {
    EXPECT_TRUE(dialog->LayoutErrors().empty()) << dialog->LayoutErrors().front();
    EXPECT_TRUE(copy->LayoutErrors().empty()) << copy->LayoutErrors().front();
    // The application's own dialogs, as the program makes them.
    EXPECT_EQ(kv::fmLinkSel, dialog);
    EXPECT_EQ(kv::fmCopy, copy);
    EXPECT_EQ(Grid(), "* o* * o* oo* ooo*");

    struct Case {
        const char* language;
        std::string link, copy;
    } cases[] = {{"English", "Link Selection|Set|Exit", "Channel Copy|Copy|Copy|Exit"},
                 {"ChineseSimplified", "链结选择|设定|取消", "参数复制|复制|复制|取消"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        main->ChineseSimplifiedClick(main->Find<kv::TMenuItem>(c.language));
        std::string texts;
        WhenModal([&] {
            texts = dialog->Caption() + "|" + DialogButton(*dialog, "bnSet").Caption() + "|" +
                    DialogButton(*dialog, "bnExit").Caption();
            Click(DialogButton(*dialog, "bnExit"));
        });
        main->Linking().LinkClick(main->Find<kv::TMenuItem>("Link"));
        EXPECT_EQ(texts, c.link);
        EXPECT_FALSE(dialog->Visible());

        WhenModal([&] {
            texts = copy->Caption() + "|" + copy->bnInChCopy->Caption() + "|" + copy->bnOutChCopy->Caption() +
                    "|" + copy->bnExit->Caption();
            Click(*copy->bnExit);
        });
        main->Linking().CopyClick(main->Find<kv::TMenuItem>("Copy"));
        EXPECT_EQ(texts, c.copy);
        EXPECT_FALSE(copy->Visible());
    }
}

TEST_F(LinkDialogTest, RowClicksKeepTheGridConsistent) {
    dialog->Show();
    struct Case {
        const char* what;
        std::vector<std::pair<int, int>> clicks; // row, column
        const char* grid;
    } cases[] = {
        {"Out2 follows Out1: nothing can follow Out2", {{3, 2}}, "* o* * *o o-* o-o*"},
        {"Out3 followed Out2: it becomes alone, and Out4 may follow it again",
         {{4, 3}, {3, 2}},
         "* o* * *o o-* o-o*"},
        {"Out2 alone again: its column is enabled, nothing pressed", {{3, 2}, {3, 3}}, "* o* * o* oo* ooo*"},
        {"a chain undone row by row", {{5, 4}, {4, 3}, {3, 2}}, "* o* * *o o-* o-o*"},
        {"Out3 and Out4 follow Out1", {{5, 2}, {4, 2}}, "* o* * o* *oo *o-o"},
        {"InB follows InA", {{1, 0}}, "* *o * o* oo* ooo*"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialog->ShowModelLinks();
        dialog->FormShow(dialog);
        ASSERT_EQ(Grid(), "* o* * o* oo* ooo*");
        ASSERT_FALSE(dialog->SelectionChanged());
        for (const auto& [row, column] : c.clicks)
            Choose(row, column);
        EXPECT_EQ(Grid(), c.grid);
        // Every row counts as a choice, InB's too, so that Exit puts it back.
        EXPECT_TRUE(dialog->SelectionChanged());
    }
    // The intermediate state of the second case: Out3 following Out2 closes Out3's column to Out4.
    dialog->ShowModelLinks();
    Choose(4, 3);
    EXPECT_EQ(Grid(), "* o* * o* o*o oo-*");
}

TEST_F(LinkDialogTest, SetLinksOfflineCopiesTheMasterAndExitDropsChoices) {
    Model().SetGain(2, 200);
    Model().SetGain(3, 250);
    Model().SetGain(5, 300);
    main->RefreshAllPanels();
    ShowPage("Out1");
    const img::Image before = Model().Image();

    // Set without a change closes and changes nothing.
    dialog->Show();
    Click(DialogButton(*dialog, "bnSet"));
    EXPECT_FALSE(dialog->Visible());
    EXPECT_EQ(Model().Image(), before);
    EXPECT_EQ(main->CurrentPage(), pgOut1);

    // Exit after changes (InB's row among them) puts the model's links back.
    dialog->Show();
    Choose(1, 0);
    Choose(3, 2);
    Click(DialogButton(*dialog, "bnExit"));
    EXPECT_FALSE(dialog->Visible());
    EXPECT_EQ(Grid(), "* o* * o* oo* ooo*");
    EXPECT_EQ(Model().Image(), before);

    dialog->Show();
    Choose(3, 2);
    Choose(4, 2);
    Click(DialogButton(*dialog, "bnSet"));
    EXPECT_FALSE(dialog->Visible());
    EXPECT_EQ(Masks(), (std::array<int, 6>{1, 2, 0x7, 0, 0, 0x8}));
    // Out1's settings on the channels that joined it, shown by the refresh; Out4 keeps its own.
    EXPECT_EQ(Model().GetGain(3), 200);
    EXPECT_EQ(Model().GetGain(4), 200);
    EXPECT_EQ(Model().GetGain(5), 300);
    EXPECT_EQ(BoxText("cvdGainOut3"), "-8.0dB");
    EXPECT_EQ(Caption("pkbMenuOut2"), "2=1");
    EXPECT_EQ(Caption("pkbMenuOut3"), "3=1");
    EXPECT_EQ(Caption("pkbMenuOut4"), "Out4");
    for (const char* name : {"ldbShow2Gain", "ldbShow2Out1", "ldbShow2Out3", "ldbShow2Out4", "ldbShow3Gain",
                             "ldbShow3Out1", "ldbShow3Out2", "ldbShow3Out4"})
        EXPECT_FALSE(ButtonShown(name)) << name;
    for (const char* name : {"ldbShow1Gain", "ldbShow1Out2", "ldbShow4Gain", "ldbShow4Out1"})
        EXPECT_TRUE(ButtonShown(name)) << name;
    EXPECT_EQ(main->CurrentPage(), pgGain);
    EXPECT_TRUE(Get<TPkBmpButton>("pkbMenuGain").Down());
    // An edit of the master now reaches the group.
    Model().SetGain(2, 330);
    EXPECT_EQ(Model().GetGain(4), 330);

    // Unlinking: plain captions, the buttons back, and nothing copied (Out2 keeps what it holds).
    Model().CopyChannel(5, 3);
    dialog->Show();
    EXPECT_EQ(Grid(), "* o* * *o *-o o--*");
    Choose(3, 3);
    Choose(4, 4);
    Click(DialogButton(*dialog, "bnSet"));
    EXPECT_EQ(Masks(), (std::array<int, 6>{1, 2, 1, 2, 4, 8}));
    EXPECT_EQ(Model().GetGain(3), 300);
    EXPECT_EQ(Caption("pkbMenuOut2"), "Out2");
    EXPECT_EQ(Caption("pkbMenuOut3"), "Out3");
    EXPECT_TRUE(ButtonShown("ldbShow2Out1"));
    EXPECT_TRUE(ButtonShown("ldbShow3Gain"));
}

TEST_F(LinkDialogTest, ARefreshLoadsTheGridCaptionsAndCurveButtonsFromTheModel) {
    Model().SetLinkMask(0, 0x3);
    Model().SetLinkMask(1, 0);
    Model().SetLinkMask(3, 0xE);
    Model().SetLinkMask(4, 0);
    Model().SetLinkMask(5, 0);
    main->RefreshAllPanels();
    EXPECT_EQ(Grid(), "* *o * o* o*o o*-o");
    EXPECT_EQ(Caption("pkbMenuInB"), "B=A");
    EXPECT_EQ(Caption("pkbGeqSelInB"), "B=A");
    EXPECT_EQ(Caption("pkbMenuOut3"), "3=2");
    EXPECT_EQ(Caption("pkbMenuOut4"), "4=2");
    EXPECT_EQ(Caption("pkbMenuOut2"), "Out2");
    EXPECT_FALSE(ButtonShown("ldbShowBGain"));
    EXPECT_FALSE(ButtonShown("ldbShowBInA"));
    EXPECT_FALSE(ButtonShown("ldbShow4Out1"));
    EXPECT_TRUE(ButtonShown("ldbShow2Out1"));

    // A member whose master no longer holds it stands alone, on the grid as in the model.
    Model().SetLinkMask(3, 0x2);
    main->RefreshAllPanels();
    EXPECT_EQ(Grid(), "* *o * o* oo* ooo*");
    EXPECT_EQ(Caption("pkbMenuOut3"), "Out3");
    EXPECT_TRUE(ButtonShown("ldbShow4Out1"));
    // Set then writes the masks the grid shows.
    dialog->Show();
    Click(DialogButton(*dialog, "bnSet"));
    EXPECT_EQ(Masks(), (std::array<int, 6>{3, 0, 1, 2, 4, 8}));
}

TEST_F(LinkDialogTest, SetOnlineSendsCopiesAndMasksThenReadsTheUnitBack) {
    unit.SetWord(off::ChannelRecord(2) + off::OutGain, 200);
    Connect();
    dialog->Show();
    Click(DialogButton(*dialog, "bnSet"));
    Step(50);
    EXPECT_TRUE(unit.Received().empty()) << "a grid equal to the model sends nothing";

    Poll().SetEnabled(true);
    dialog->Show();
    Choose(3, 2);
    Choose(4, 2);
    Click(DialogButton(*dialog, "bnSet"));
    EXPECT_EQ(main->MainLink().GetTransferState(), tsResync);
    EXPECT_FALSE(Poll().Enabled());
    // The model keeps its channels until the unit's own copies come back.
    EXPECT_EQ(Model().GetGain(3), 280);
    ASSERT_TRUE(RunUntil([&] { return main->MainLink().GetTransferState() == tsIdle && Poll().Enabled(); }, 30000));
    std::vector<std::pair<uint8_t, std::vector<uint8_t>>> got;
    for (const auto& c : unit.Received())
        if (c.code != sim::code::Levels)
            got.emplace_back(c.code, c.payload);
    using Sent = std::vector<std::pair<uint8_t, std::vector<uint8_t>>>;
    ASSERT_GE(got.size(), 7u);
    EXPECT_EQ(
        Sent(got.begin(), got.begin() + 7),
        (Sent{{42, {2, 3}}, {42, {2, 4}}, {59, {2, 7}}, {59, {3, 0}}, {59, {4, 0}}, {18, {}}, {34, {}}}));
    EXPECT_EQ(Masks(), (std::array<int, 6>{1, 2, 0x7, 0, 0, 0x8}));
    EXPECT_EQ(Model().GetGain(3), 200);
    EXPECT_EQ(Model().GetGain(4), 200);
    EXPECT_EQ(BoxText("cvdGainOut2"), "-8.0dB");
    EXPECT_TRUE(ImagesAgree());
    EXPECT_EQ(Grid(), "* o* * *o *-o o--*");
    EXPECT_EQ(Caption("pkbMenuOut3"), "3=1");
}

TEST_F(LinkDialogTest, CopyOfflineCopiesOntoTheDestinationsGroupAndRefreshes) {
    // The lists are drop-down lists: nothing typed can stand in for a channel.
    for (kv::TComboBox* list :
         {copy->cbInSource, copy->cbInDestination, copy->cbOutSource, copy->cbOutDestination}) {
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->Style(), kv::TComboBoxStyle::csDropDownList);
    }
    EXPECT_EQ(copy->cbOutSource->ItemIndex(), 0);
    EXPECT_EQ(copy->cbOutDestination->ItemIndex(), 1);
    Model().SetGain(2, 200);
    Model().SetGain(0, 330);
    Model().SetLinkMask(4, 0xC);
    Model().SetLinkMask(5, 0);
    main->RefreshAllPanels();
    copy->Show();

    copy->cbOutDestination->UserSelect(3);
    Click(*copy->bnOutChCopy);
    EXPECT_EQ(Model().GetGain(4), 200);
    EXPECT_EQ(Model().GetGain(5), 200);
    EXPECT_EQ(Model().GetGain(3), 280);
    EXPECT_EQ(BoxText("cvdGainOut4"), "-8.0dB");
    EXPECT_EQ(BoxText("cvdGainOut3"), "-8.0dB");
    EXPECT_TRUE(copy->Visible()) << "the dialog stays open";

    // Inputs: InA onto InB; no selection copies nothing.
    Click(*copy->bnInChCopy);
    EXPECT_EQ(Model().GetGain(1), 330);
    EXPECT_EQ(BoxText("cvdGainInB"), "+5.0dB");
    Model().SetGain(0, 280);
    copy->cbInSource->SetItemIndex(-1);
    const img::Image before = Model().Image();
    Click(*copy->bnInChCopy);
    EXPECT_EQ(Model().Image(), before);
    Click(*copy->bnExit);
    EXPECT_FALSE(copy->Visible());
}

TEST_F(LinkDialogTest, CopyOnlineSendsOneCommandAndTheReadBackFollows) {
    unit.SetWord(off::ChannelRecord(2) + off::OutGain, 200);
    Connect();
    copy->Show();

    // No copy to make (same channel, or no selection): nothing is sent and the poll goes on.
    Poll().SetEnabled(true);
    copy->cbOutDestination->UserSelect(0);
    Click(*copy->bnOutChCopy);
    copy->cbOutDestination->SetItemIndex(-1);
    Click(*copy->bnOutChCopy);
    Step(50);
    EXPECT_TRUE(ReceivedOf(sim::code::CopyChannel).empty());
    EXPECT_TRUE(Poll().Enabled());
    EXPECT_EQ(main->MainLink().GetTransferState(), tsIdle);

    copy->cbOutDestination->UserSelect(3);
    Click(*copy->bnOutChCopy);
    EXPECT_EQ(main->MainLink().GetTransferState(), tsResync);
    EXPECT_FALSE(Poll().Enabled());
    EXPECT_EQ(Model().GetGain(5), 280);
    ASSERT_TRUE(RunUntil([&] { return main->MainLink().GetTransferState() == tsIdle && Poll().Enabled(); }, 30000));
    const auto copies = ReceivedOf(sim::code::CopyChannel);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].payload, (std::vector<uint8_t>{2, 5}));
    EXPECT_EQ(ReceivedOf(sim::code::ReadParams).size(), 1u);
    EXPECT_EQ(Model().GetGain(5), 200);
    EXPECT_EQ(BoxText("cvdGainOut4"), "-8.0dB");
    EXPECT_TRUE(ImagesAgree());
}

} // namespace
