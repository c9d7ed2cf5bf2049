// The main window's link end to end against the simulated unit: the search finds it on each wire, the
// handshake checks its identity, the lock status is asked, and the read-back fills the model with the
// unit's image; a wrong identity is refused, a unit that falls silent ends in "Link Broken", an
// unplugged USB unit closes the link; and the reply dispatch's rules on foreign, short and unexpected
// replies, stale link events and transfer states.

#include "tests/app/LinkTestFixture.h"
#include "app/link/MainLink.h"

#include "link/UnitImage.h"
#include "platform/gui/Menus.h"

#include <algorithm>
#include <cstring>

namespace {

using namespace linktest;

class MainLinkTest : public LinkFixture {
protected:
    // A unit whose state differs from the editor's defaults everywhere the read-back carries.
    void DressUnit() {
        sim::Dump d = unit.Current();
        for (size_t i = img::kPresetName; i < img::kImageSize; ++i)
            d[i] = static_cast<uint8_t>((i * 7 + 3) & 0xFF);
        unit.SetCurrent(d);
        unit.SetCurrentPreset(3);
        sim::Dump stored = unit.Stored(5);
        stored[0] = 0xFF;
        unit.SetStored(5, stored);
    }

    // The whole sequence a connection with an unlocked unit sends.
    static std::vector<uint8_t> ConnectSequence() {
        std::vector<uint8_t> codes = {sim::code::Probe, sim::code::Identity, sim::code::LockStatus,
                                      sim::code::ReadParams, sim::code::CurrentPreset};
        codes.insert(codes.end(), 20, sim::code::PresetNameOf);
        codes.insert(codes.end(), 15, sim::code::ReadParamBlock);
        codes.push_back(sim::code::KeepAlive);
        return codes;
    }

    void ExpectReadBackMatchesUnit() {
        const auto codes = unit.ReceivedCodes();
        const auto expected = ConnectSequence();
        ASSERT_GE(codes.size(), expected.size());
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), codes.begin()));
        const auto& image = main->UnitControl()->Image();
        const sim::Dump current = unit.Current();
        EXPECT_TRUE(
            std::equal(image.begin() + img::kPresetName, image.end(), current.begin() + img::kPresetName));
        EXPECT_EQ(main->CurrentPreset(), 3);
        EXPECT_TRUE(main->UnitControl()->IsPresetSlotUsed(4)); // stored preset 5 is user index 4
        EXPECT_FALSE(main->UnitControl()->IsPresetSlotUsed(3));
        EXPECT_FALSE(process->Visible());
        EXPECT_EQ(main->MainLink().GetTransferState(), tsIdle);
    }

    std::string Caption(const char* name) {
        auto* c = dynamic_cast<kv::TControl*>(main->FindComponent(name));
        return c ? c->Caption() : std::string("<missing " + std::string(name) + ">");
    }

    // A reply frame from the unit, as a transport hands it over.
    static BSTM Reply(uint8_t id, uint8_t code, const BSTM& payload = {}) {
        return sim::BuildFrame(id, 0x00, code, payload);
    }
};

class MainLinkWireTest : public MainLinkTest, public ::testing::WithParamInterface<int> {};

TEST_P(MainLinkWireTest, SearchFindsTheUnitAndTheReadBackCopiesItsImage) {
    const auto wire = static_cast<Wire>(GetParam());
    Attach(wire, "127.0.0.3");
    DressUnit();
    // An edit recalled while offline must not start a read-back on the next connection.
    main->SetTransferState(tsRecall);

    ASSERT_TRUE(RunUntil([&] { return ReadBackDone(); }, 30000))
        << "codes: " << unit.ReceivedCodes().size() << " online " << main->IsOnline() << " connected "
        << main->IsConnected() << " status " << network->Status() << " messages " << messages.size()
        << " link " << (main->MainLink().Link() != nullptr) << " hid " << (main->MainLink().HidDevice() != nullptr) << " shows "
        << networkShows << " statuses " << dialogStatuses.size() << " ms " << clock.Ms();
    ExpectReadBackMatchesUnit();
    EXPECT_EQ(network->SearchResult(), 1);
    EXPECT_FALSE(network->Visible());
    EXPECT_EQ(Caption("pkbMenuLink"), "OnLine");
    const char* interfaceName = wire == Wire::Usb ? "USB" : wire == Wire::Net ? "NET" : nullptr;
    EXPECT_EQ(Caption("lbConInterface"),
              interfaceName ? std::string(interfaceName) : SerialPortShortName(pty->SlavePath()));
    auto* connect = main->Find<kv::TMenuItem>("Connect");
    ASSERT_NE(connect, nullptr);
    EXPECT_EQ(connect->Caption(), "Disconnect");
    EXPECT_TRUE(connect->Enabled());

    // The link button while online disconnects 300 ms later, without the search dialog.
    const int shows = networkShows;
    main->MainLink().pkbMenuLinkClick(nullptr);
    Step(300);
    Step(200);
    EXPECT_FALSE(main->IsOnline());
    EXPECT_EQ(main->MainLink().Link(), nullptr);
    EXPECT_EQ(network->Status(), "Link Broken");
    EXPECT_EQ(networkShows, shows);
    EXPECT_EQ(Caption("pkbMenuLink"), "OffLine");
    EXPECT_EQ(main->Caption(), std::string("the Velmora Korvane DSP Processor Editor V1.0"));
}

INSTANTIATE_TEST_SUITE_P(Wires, MainLinkWireTest, ::testing::Values(0, 1, 2), [](const auto& param) {
    return std::string(param.param == 0 ? "PseudoTerminal" : param.param == 1 ? "TcpLoopback" : "FakeHid");
});

TEST_F(MainLinkTest, WrongIdentityIsRefusedWithItsMessageAndReleased) {
    struct Case {
        const char* identity;
        const char* message;
    } cases[] = {{"Tirnel V011", "Unit's Version Error !!"},
                 {"Tirnex V010", "Unit's Type Error !!"},
                 {"Tir", "Unit's Type Error !!"}};
    Attach(Wire::Serial);
    bool first = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.identity);
        unit.SetIdentity(c.identity);
        unit.ClearReceived();
        messages.clear();
        if (!first) {
            // The search button of the dialog, as the user presses it again.
            main->MainLink().pkbMenuLinkClick(nullptr);
        }
        first = false;
        ASSERT_TRUE(RunUntil([&] { return !messages.empty() && !main->MainLink().Link() && !AnyModal(); }, 5000));
        Step(200);
        EXPECT_EQ(messages, std::vector<std::string>{c.message});
        EXPECT_FALSE(main->IsOnline());
        EXPECT_FALSE(main->IsConnected());
        const auto releases = ReceivedOf(sim::code::Release);
        ASSERT_EQ(releases.size(), 1u);
        EXPECT_EQ(releases[0].dest, 255);
        EXPECT_TRUE(ReceivedOf(sim::code::LockStatus).empty());
        EXPECT_EQ(network->Status(), "Link Broken");
    }
}

TEST_F(MainLinkTest, UnitFallingSilentMidReadBackEndsInLinkBrokenWithinTheWatchdog) {
    Attach(Wire::Serial);
    // Handshake, lock status, flags, current preset and 20 names, then 4 of the 15 blocks.
    unit.SilenceAfter(3 + 2 + 20 + 4);
    uint64_t silentAt = 0, brokenAt = 0;
    uint32_t watchdogMs = 0;
    // Watched from every step, also those made inside the modal windows.
    onStep = [&] {
        if (silentAt == 0 && ReceivedOf(sim::code::ReadParamBlock).size() >= 5) {
            unitSilent = true;
            silentAt = clock.Ms();
            watchdogMs = main->MainLink().TransferWatchdogMs();
        }
        if (silentAt != 0 && brokenAt == 0 && !main->MainLink().Link())
            brokenAt = clock.Ms();
    };
    ASSERT_TRUE(RunUntil([&] { return brokenAt != 0; }, 30000));
    ASSERT_GT(watchdogMs, 0u);
    EXPECT_LE(brokenAt - silentAt, watchdogMs);
    onStep = nullptr;
    ASSERT_TRUE(RunUntil([&] { return !dialogStatuses.empty() && !AnyModal(); }, 2000))
        << "shows " << networkShows << " nm " << network->Modal() << " pm " << process->Modal() << " status "
        << network->Status() << " idle " << SearchIdle() << " statuses " << dialogStatuses.size();
    EXPECT_EQ(dialogStatuses.back(), "Link Broken");
    EXPECT_FALSE(process->Visible());
    EXPECT_FALSE(main->IsOnline());
    EXPECT_TRUE(main->Enabled());
    auto* link = main->Find<kv::TPkBmpButton>("pkbMenuLink");
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->Enabled());
    EXPECT_EQ(main->MainLink().GetTransferState(), tsIdle);
}

TEST_F(MainLinkTest, TransferThatStopsMovingIsEndedByTheWatchdog) {
    // The unit stays alive (it acknowledges every keep-alive) but answers the block requests under
    // another ID: the transport never reports a missing reply, the read-back never moves on.
    Attach(Wire::Serial);
    unit.AnswerAs(7, -1, sim::code::ParamBlockReply);
    uint64_t stalledAt = 0, brokenAt = 0;
    uint32_t watchdogMs = 0;
    onStep = [&] {
        if (stalledAt == 0 && !ReceivedOf(sim::code::ReadParamBlock).empty()) {
            stalledAt = clock.Ms();
            watchdogMs = main->MainLink().TransferWatchdogMs();
        }
        if (stalledAt != 0 && brokenAt == 0 && !main->MainLink().Link())
            brokenAt = clock.Ms();
    };
    ASSERT_TRUE(RunUntil([&] { return brokenAt != 0; }, 30000));
    onStep = nullptr;
    EXPECT_LE(brokenAt - stalledAt, watchdogMs + 10);
    ASSERT_TRUE(RunUntil([&] { return !dialogStatuses.empty() && !AnyModal(); }, 2000));
    EXPECT_EQ(dialogStatuses.back(), "Link Broken");
    EXPECT_FALSE(process->Visible());
    EXPECT_TRUE(main->Enabled());
    EXPECT_FALSE(main->IsOnline());
}

TEST_F(MainLinkTest, UnpluggingTheUsbUnitClosesTheLinkAndShowsTheDialog) {
    Attach(Wire::Usb);
    ASSERT_TRUE(RunUntil([&] { return ReadBackDone(); }, 30000));
    ASSERT_NE(main->MainLink().UsbLink(), nullptr);
    const int shows = networkShows;
    kv::sys::RemoveFakeHidDevice(kHidNumber);
    // The system's device-change broadcast, as the device tree changed.
    auto* ctl = main->Find<THidDeviceController>("HidCtl");
    ASSERT_NE(ctl, nullptr);
    TMessage change;
    change.Msg = kv::sys::WM_DEVICECHANGE;
    change.WParam = kv::sys::DBT_DEVNODES_CHANGED;
    ctl->EventPipe(change);
    ASSERT_TRUE(RunUntil([&] { return !main->MainLink().Link() && networkShows > shows && !AnyModal(); }, 5000));
    EXPECT_EQ(main->MainLink().HidDevice(), nullptr);
    EXPECT_FALSE(main->IsOnline());
    EXPECT_EQ(dialogStatuses.back(), "Link Broken");
}

TEST_F(MainLinkTest, LoopbackOnlyRefusesTheDefaultAddressAtOnceAndTheSearchGoesOnToTheSerialPorts) {
    Attach(Wire::Serial);
    main->MainLink().SetDeviceIp(0xC0A80164); // the default private address
    main->MainLink().ClientSocket().Address = "192.168.1.100";
    ASSERT_TRUE(RunUntil([&] { return network->Position() == 2; }, 1000));
    // Long before the network candidate's 2000 ms watchdog.
    EXPECT_LT(clock.Ms(), 300u + 2000u);
    ASSERT_TRUE(RunUntil([&] { return ReadBackDone(); }, 30000));
    EXPECT_EQ(network->Candidates(), 2);
}

TEST_F(MainLinkTest, ReplyFromAnotherDeviceIdMovesTheSearchOnAndIsNeverInterpreted) {
    Attach(Wire::Serial);
    unit.AnswerAs(7);
    ASSERT_TRUE(RunUntil([&] { return !dialogStatuses.empty() && !AnyModal(); }, 15000));
    EXPECT_EQ(dialogStatuses.back(), "No Device found.");
    EXPECT_FALSE(main->IsConnected());
    // Only the probe went out: its answer was not taken for the unit's.
    EXPECT_EQ(unit.ReceivedCodes(), std::vector<uint8_t>{sim::code::Probe});
}

TEST_F(MainLinkTest, RepliesOnlineFollowTheDispatchRules) {
    Attach(Wire::Serial);
    DressUnit();
    ASSERT_TRUE(RunUntil([&] { return ReadBackDone(); }, 30000));
    Step(100);
    unit.ClearReceived();
    const uint8_t id = 1;

    // Too short for what it carries, an unexpected handshake reply, a code without a handler: nothing.
    main->MainLink().OnLinkFrame(Reply(id, MCS_LOCK_STATUS, {0, 0, 0}));
    main->MainLink().OnLinkFrame(Reply(id, MCS_READ_PARAMS, BSTM(19, 0xFF)));
    main->MainLink().OnLinkFrame(Reply(id, 36, {3, 1, 2}));
    main->MainLink().OnLinkFrame(Reply(id, MCS_PROBE));
    main->MainLink().OnLinkFrame(Reply(id, MCS_IDENTITY, {'T', 'i', 'r', 'n', 'e', 'l', ' ', 'V', '0', '1', '0'}));
    for (uint8_t code : {2, 17, 39, 63})
        main->MainLink().OnLinkFrame(Reply(id, code, {0, 0, 0, 0, 0, 0}));
    main->MainLink().OnLinkFrame({0x10, 0x02, 0x01, 0x00, 0x05, 0x2C}); // cut short
    // An acknowledgement in tsIdle sends nothing.
    main->MainLink().OnLinkFrame(Reply(id, MCS_ACK));
    Step(50);
    EXPECT_TRUE(unit.ReceivedCodes().empty());
    EXPECT_TRUE(main->IsOnline());
    EXPECT_EQ(main->MainLink().GetTransferState(), tsIdle);

    // A foreign reply while online is dropped; nothing is closed as the dialog is hidden.
    main->MainLink().OnLinkFrame(Reply(9, MCS_ACK));
    Step(20);
    EXPECT_NE(main->MainLink().Link(), nullptr);

    // Store: the name's acknowledgement stores the current preset (3, as the unit reported it), the
    // store's ends the transfer.
    ASSERT_EQ(main->CurrentPreset(), 3);
    unit.ClearReceived();
    main->SetTransferState(tsStoreName);
    main->MainLink().OnLinkFrame(Reply(id, MCS_ACK));
    EXPECT_EQ(main->MainLink().GetTransferState(), tsStore);
    ASSERT_TRUE(RunUntil([&] { return main->MainLink().GetTransferState() == tsIdle; }, 2000));
    const auto codes = unit.ReceivedCodes();
    ASSERT_GE(codes.size(), 2u);
    EXPECT_EQ(codes[0], sim::code::Store);
    EXPECT_EQ(unit.Received()[0].payload, sim::Bytes{3});
    EXPECT_EQ(codes[1], sim::code::KeepAlive);
    EXPECT_TRUE(unit.SlotUsed(3));
}

TEST_F(MainLinkTest, StaleLinkEventsOfAFreedTransportAreIgnored) {
    Attach(Wire::Serial);
    ASSERT_TRUE(RunUntil([&] { return ReadBackDone(); }, 30000));
    const uint32_t current = main->MainLink().LinkGeneration();
    ASSERT_GT(current, 0u);
    TMessage stale;
    stale.Msg = WM_LINK_EVENT;
    stale.WParam = LINK_NO_REPLY;
    const uint32_t old = current - 1;
    stale.Data.resize(sizeof old);
    std::memcpy(stale.Data.data(), &old, sizeof old);
    main->MainLink().Dispatch(stale);
    EXPECT_NE(main->MainLink().Link(), nullptr);
    EXPECT_TRUE(main->IsOnline());

    // The same event from the transport open now disconnects.
    TMessage live = stale;
    std::memcpy(live.Data.data(), &current, sizeof current);
    main->MainLink().Dispatch(live);
    ASSERT_TRUE(RunUntil([&] { return !dialogStatuses.empty() && !AnyModal(); }, 2000));
    EXPECT_EQ(main->MainLink().Link(), nullptr);
    EXPECT_EQ(dialogStatuses.back(), "Link Broken");
}

TEST_F(MainLinkTest, LockedPanelWaitsForThePromptAndReadsNothing) {
    Attach(Wire::Serial);
    unit.SetPanelLock(true);
    ASSERT_TRUE(RunUntil([&] { return main->IsOnline(); }, 5000));
    Step(1200);
    EXPECT_EQ(main->MainLink().GetTransferState(), tsUnlockWait);
    EXPECT_TRUE(ReceivedOf(sim::code::ReadParams).empty());
}

TEST_F(MainLinkTest, DeviceIdRangeAndOfflineSending) {
    for (int id : {0, 255, -1})
        main->MainLink().SetDeviceId(id);
    EXPECT_EQ(main->GetDeviceId(), 1);
    main->MainLink().SetDeviceId(254);
    EXPECT_EQ(main->GetDeviceId(), 254);
    EXPECT_EQ(Caption("lbShowIdNumber"), "ID : 254");
    // No transport: nothing happens and nothing fails.
    main->SendCommand(CM_MCS_CMD(254, MCS_KEEP_ALIVE), true);
    EXPECT_EQ(main->MainLink().Link(), nullptr);
}

} // namespace
