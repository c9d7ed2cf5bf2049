// The preset lists and the name dialog, and the preset bar's store and recall and the factory default
// against the simulated unit.

#include "tests/app/PresetsFixture.h"
#include "app/link/MainLink.h"

#include "link/UnitImage.h"

#include <algorithm>

namespace {

using namespace linktest;

class PresetsTest : public PresetsFixture {
protected:
    // The 14 name bytes of the unit's current settings.
    std::string UnitName() {
        const sim::Dump d = unit.Current();
        return std::string(d.begin() + sim::off::PresetName,
                           d.begin() + sim::off::PresetName + sim::off::PresetNameSize);
    }
    // The editor's image matches the unit's current settings from the preset name on.
    void ExpectImageIsUnits() {
        const auto& image = main->UnitControl()->Image();
        const sim::Dump d = unit.Current();
        EXPECT_TRUE(std::equal(image.begin() + img::kPresetName, image.end(), d.begin() + img::kPresetName));
    }
};

TEST_F(PresetsTest, FreshListsHoldTheDefaultNamesAndRowsOutsideChangeNothing) {
    for (kv::TCustomForm* form : {static_cast<kv::TCustomForm*>(store), static_cast<kv::TCustomForm*>(recall),
                                  static_cast<kv::TCustomForm*>(storeName)}) {
        SCOPED_TRACE(form->ClassName());
        EXPECT_TRUE(form->LayoutErrors().empty()) << form->LayoutErrors().front();
    }
    EXPECT_EQ(storeName->edName->MaxLength(), 14);
    // Enter in the edit box, and the lists' hiding, reach their handlers.
    EXPECT_TRUE(static_cast<bool>(storeName->edName->OnKeyDown));
    EXPECT_TRUE(static_cast<bool>(store->OnHide) && static_cast<bool>(recall->OnHide));
    ASSERT_EQ(store->vledPresetName->Strings()->Count(), 20);
    ASSERT_EQ(recall->vledPresetName->Strings()->Count(), 21);
    EXPECT_EQ((*store->vledPresetName->Strings())[0], "     U01=  Default Preset");
    EXPECT_EQ((*store->vledPresetName->Strings())[19], "     U20=  Default Preset");
    EXPECT_EQ((*recall->vledPresetName->Strings())[0], "     F00=  Default Preset");
    EXPECT_EQ((*recall->vledPresetName->Strings())[20], "     U20=  Default Preset");

    const auto before = recall->vledPresetName->Strings()->Strings();
    recall->SetPresetName(21, "Outside       ");
    recall->SetPresetName(-1, "Outside       ");
    EXPECT_EQ(recall->vledPresetName->Strings()->Strings(), before);
    recall->SetPresetName(3, "Main Hall     ");
    EXPECT_EQ((*recall->vledPresetName->Strings())[3], "     U03=  Main Hall     ");
    EXPECT_EQ(recall->PresetName(3), "Main Hall     ");

    // Texts when shown.
    store->Show();
    EXPECT_EQ(store->Caption(), "Store Preset");
    EXPECT_EQ(store->vledPresetName->TitleCaptions()->Strings(), (std::vector<std::string>{"Number", "Name"}));
    store->Hide();
    recall->Show();
    EXPECT_EQ(recall->lPresetSelect->Caption(), "Recall Preset");
    recall->Hide();
}

TEST_F(PresetsTest, OfflineStorePicksUpdatesBothListsAndSendsNothing) {
    store->SetPresetName(2, "Hall          ");
    store->vledPresetNameSelectCell(1, 3);
    ASSERT_TRUE(storeName->Visible());
    EXPECT_EQ(storeName->lTitle->Caption(), "U03 : ");
    EXPECT_EQ(storeName->edName->Text(), "Hall");
    EXPECT_TRUE(storeName->edName->Enabled());
    EXPECT_TRUE(storeName->StoreMode());
    EXPECT_EQ(storeName->PresetIndex(), 2);

    // Enter in the edit box is OK.
    storeName->edName->SetText("Bar");
    std::uint16_t enter = 13;
    storeName->edNameKeyDown(storeName->edName, enter, {});
    EXPECT_FALSE(storeName->Visible());
    EXPECT_EQ(store->PresetName(2), "Bar           ");
    EXPECT_EQ(recall->PresetName(3), "Bar           ");
    EXPECT_EQ(storeName->edName->Text(), "Bar           ");
    // Offline the unit's side is untouched: no slot, no current preset, no state.
    EXPECT_FALSE(main->UnitControl()->IsPresetSlotUsed(2));
    EXPECT_EQ(main->CurrentPreset(), 0);
    EXPECT_EQ(main->MainLink().GetTransferState(), tsIdle);
    EXPECT_EQ(Caption("lbPstNum"), "F00");

    // Recall of the factory row: shown only; offline it leaves the recall pending and opens nothing.
    recall->vledPresetNameSelectCell(1, 1);
    EXPECT_EQ(storeName->lTitle->Caption(), "F00 : ");
    EXPECT_FALSE(storeName->edName->Enabled());
    EXPECT_FALSE(storeName->StoreMode());
    storeName->btnOK->Click();
    EXPECT_EQ(main->MainLink().GetTransferState(), tsRecall);
    EXPECT_FALSE(process->Visible());
    // Cancel on the name dialog goes back to the list.
    store->vledPresetNameSelectCell(1, 20);
    EXPECT_EQ(storeName->lTitle->Caption(), "U20 : ");
    storeName->bnCancel->Click();
    EXPECT_FALSE(storeName->Visible());
    // The name dialog goes with its list, and the next pick shows it again.
    store->Show();
    store->vledPresetNameSelectCell(1, 5);
    store->Hide();
    EXPECT_FALSE(storeName->Visible());
    store->Show();
    store->vledPresetNameSelectCell(1, 6);
    EXPECT_TRUE(storeName->Visible());
    EXPECT_EQ(storeName->lTitle->Caption(), "U06 : ");
    store->bnCancel->Click();
    EXPECT_FALSE(store->Visible());
    EXPECT_FALSE(storeName->Visible());
    // The name dialog outlives a list it was shown over.
    delete store;
    store = nullptr;
    storeName->Show();
    EXPECT_TRUE(storeName->Visible());
    storeName->Hide();
}

// The unit's name field is 14 bytes of the user's code page: a longer name is cut where a whole
// character ends, never inside a double-byte one, and blanks fill the rest.
TEST_F(PresetsTest, NameFieldIsCutAtACharacterBoundaryAndPadded) {
    struct Case {
        const char* codePage;
        const char* typed;
        std::string field;
    } cases[] = {
        {"CP1252", "Bar", "Bar           "},
        {"CP1252", "Fourteen chars", "Fourteen chars"},
        {"CP1252", "Fifteen chars!!", "Fifteen chars!"},
        {"CP1252", "Caf\xC3\xA9", "Caf\xE9          "},
        // Eight characters of two bytes each: seven fit.
        {"GBK", "\xE6\xB1\x89\xE5\xAD\x97\xE6\xB1\x89\xE5\xAD\x97\xE6\xB1\x89\xE5\xAD\x97\xE6\xB1\x89\xE5\xAD\x97",
         "\xBA\xBA\xD7\xD6\xBA\xBA\xD7\xD6\xBA\xBA\xD7\xD6\xBA\xBA"},
        // One byte, then double-byte characters: the seventh would end at byte 15 and stays out.
        {"GBK", "A\xE6\xB1\x89\xE5\xAD\x97\xE6\xB1\x89\xE5\xAD\x97\xE6\xB1\x89\xE5\xAD\x97\xE6\xB1\x89",
         "A\xBA\xBA\xD7\xD6\xBA\xBA\xD7\xD6\xBA\xBA\xD7\xD6 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.codePage) + " " + c.typed);
        kv::CodePage::SetSystem(c.codePage);
        EXPECT_EQ(kv::TfmStoreName::NameField(c.typed), c.field);
    }

    // Through the dialog, offline: the lists get the cut name back in UTF-8.
    kv::CodePage::SetSystem("GBK");
    store->vledPresetNameSelectCell(1, 1);
    storeName->edName->SetText(cases[5].typed);
    storeName->btnOK->Click();
    EXPECT_EQ(store->PresetName(0), kv::FromAnsi(cases[5].field));
    EXPECT_EQ(store->PresetName(0), "A\xE6\xB1\x89\xE5\xAD\x97\xE6\xB1\x89\xE5\xAD\x97\xE6\xB1\x89\xE5\xAD\x97 ");
}

class PresetsWireTest : public PresetsTest, public ::testing::WithParamInterface<int> {};

TEST_P(PresetsWireTest, StoreANamedPresetRecallItAndRecallTheFactoryPreset) {
    ConnectAndReadBack(static_cast<Wire>(GetParam()), "127.0.0.22");
    // The unit's current settings differ from its factory set, so that each recall shows.
    unit.SetWord(sim::off::ChannelRecord(2) + sim::off::OutGain, 200);
    unit.ClearReceived();

    // Store: the user opens the store list, picks U02 and names it.
    PlanPick(store, 2, "Stage Left");
    main->bStoreClick(nullptr);
    ASSERT_TRUE(RunUntil([&] { return main->MainLink().GetTransferState() == tsIdle && !AnyModal(); }, 5000));
    Step(100);
    const auto codes = unit.ReceivedCodes();
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(std::vector<uint8_t>(codes.begin(), codes.begin() + 3),
              (std::vector<uint8_t>{sim::code::PresetName, sim::code::Store, sim::code::KeepAlive}));
    EXPECT_EQ(ReceivedOf(sim::code::Store)[0].payload, sim::Bytes{2});
    EXPECT_EQ(UnitName(), "Stage Left    ");
    ASSERT_TRUE(unit.SlotUsed(2));
    EXPECT_EQ(unit.CurrentPreset(), 2);
    EXPECT_EQ(main->CurrentPreset(), 2);
    EXPECT_TRUE(main->UnitControl()->IsPresetSlotUsed(1));
    EXPECT_EQ(Caption("lbPstNum"), "U02");
    EXPECT_EQ(Caption("lbPstName"), "Stage Left    ");
    EXPECT_EQ(store->PresetName(1), "Stage Left    ");
    EXPECT_EQ(recall->PresetName(2), "Stage Left    ");
    EXPECT_EQ(process->ProgressBar->Max(), 2);
    EXPECT_EQ(process->ProgressBar->Position(), 2);
    EXPECT_FALSE(store->Visible());
    EXPECT_FALSE(process->Visible());
    auto* poll = main->Find<kv::TTimer>("tmInLevelDet");
    ASSERT_NE(poll, nullptr);
    EXPECT_TRUE(poll->Enabled());

    // The unit's settings move on; recalling U02 brings the stored ones back into unit and editor.
    const sim::Dump stored = unit.Stored(2);
    unit.SetWord(sim::off::ChannelRecord(3) + sim::off::OutGain, 150);
    unit.ClearReceived();
    PlanPick(recall, 3);
    main->bRecallClick(nullptr);
    ASSERT_TRUE(RunUntil([&] { return ReadBackEnded(unit); }, 10000));
    EXPECT_EQ(ReceivedOf(sim::code::Recall)[0].payload, sim::Bytes{2});
    EXPECT_EQ(ReceivedOf(sim::code::ReadParamBlock).size(), 15u);
    EXPECT_TRUE(ReceivedOf(sim::code::ReadParams).empty());
    const auto& image = main->UnitControl()->Image();
    EXPECT_TRUE(std::equal(image.begin() + img::kPresetName, image.end(), stored.begin() + img::kPresetName));
    ExpectImageIsUnits();
    EXPECT_EQ(main->CurrentPreset(), 2);

    // The factory preset: F00.
    unit.ClearReceived();
    PlanPick(recall, 1);
    main->bRecallClick(nullptr);
    ASSERT_TRUE(RunUntil([&] { return ReadBackEnded(unit); }, 10000));
    EXPECT_EQ(ReceivedOf(sim::code::Recall)[0].payload, sim::Bytes{0});
    EXPECT_EQ(main->CurrentPreset(), 0);
    EXPECT_EQ(unit.Word(sim::off::ChannelRecord(2) + sim::off::OutGain), 280u);
    ExpectImageIsUnits();
}

INSTANTIATE_TEST_SUITE_P(Wires, PresetsWireTest, ::testing::Values(0, 1), [](const auto& param) {
    return std::string(param.param == 0 ? "PseudoTerminal" : "TcpLoopback");
});

TEST_F(PresetsTest, FactoryDefaultAsksFirstAndReadsTheResetUnitBack) {
    // Offline: only the message.
    main->FactoryDefaultClick(nullptr);
    EXPECT_EQ(messages, std::vector<std::string>{"You Must Connect First !!"});
    EXPECT_FALSE(factory->Visible());

    ConnectAndReadBack();
    sim::Dump used = sim::DefaultDump();
    used[0] = 0xFF;
    unit.SetStored(4, used);
    unit.SetWord(sim::off::ChannelRecord(0) + sim::off::InGain, 100);

    // Cancel sends nothing.
    factory->Show();
    factory->bnCancel->Click();
    Step(50);
    EXPECT_TRUE(unit.ReceivedCodes().empty());

    factory->Show();
    factory->btnOK->Click();
    EXPECT_FALSE(factory->Visible());
    ASSERT_TRUE(RunUntil([&] { return ReadBackEnded(unit); }, 15000));
    const auto codes = unit.ReceivedCodes();
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(codes[0], sim::code::FactoryDefault);
    EXPECT_EQ(codes[1], sim::code::ReadParams);
    EXPECT_FALSE(unit.SlotUsed(4));
    EXPECT_FALSE(main->UnitControl()->IsPresetSlotUsed(3));
    EXPECT_EQ(main->UnitControl()->GetGain(0), 280u);
    ExpectImageIsUnits();
}

// A store the unit never acknowledges: the link breaks, and the preset bar, both lists and the model
// keep the number and name they had; the unit's current name is read back on the next connection anyway.
TEST_F(PresetsTest, FailedStoreLeavesThePresetBarAndListsAsTheyWere) {
    unit.SetCurrentPreset(3);
    ConnectAndReadBack();
    const std::string number = Caption("lbPstNum"), name = Caption("lbPstName");
    ASSERT_EQ(number, "U03");
    const std::string storeRow = store->PresetName(4), recallRow = recall->PresetName(5);
    const auto image = main->UnitControl()->Image();
    ASSERT_FALSE(main->UnitControl()->IsPresetSlotUsed(4));

    // The name arrives; the store itself is never answered.
    unit.SilenceAfter(1);
    onStep = [&] {
        if (!unitSilent && !ReceivedOf(sim::code::Store).empty())
            unitSilent = true;
    };
    PlanPick(store, 5, "Never stored");
    main->bStoreClick(nullptr);
    ASSERT_TRUE(RunUntil([&] { return !main->MainLink().Link() && !dialogStatuses.empty() && !AnyModal(); }, 60000));
    onStep = nullptr;
    EXPECT_EQ(dialogStatuses.back(), "Link Broken");
    EXPECT_EQ(Caption("lbPstNum"), number);
    EXPECT_EQ(Caption("lbPstName"), name);
    EXPECT_EQ(store->PresetName(4), storeRow);
    EXPECT_EQ(recall->PresetName(5), recallRow);
    EXPECT_EQ(main->CurrentPreset(), 3);
    EXPECT_FALSE(main->UnitControl()->IsPresetSlotUsed(4));
    EXPECT_EQ(main->UnitControl()->Image(), image);
    EXPECT_LT(process->ProgressBar->Position(), process->ProgressBar->Max());
    EXPECT_FALSE(process->Visible());
}

} // namespace
