// The connection search dialog: its candidates in order, a fresh watchdog for each, the states it
// ends in, and the demo button that stops everything the search still had running.

#include "tests/app/LinkTestFixture.h"
#include "app/link/MainLink.h"

#include "platform/gui/Menus.h"

namespace {

using namespace linktest;

class NetworkDialogTest : public LinkFixture {
protected:
    void SetUp() override {
        LinkFixture::SetUp();
        // The dialog is driven here without the start-up search and without its modal loop.
        if (auto* t = main->Find<kv::TTimer>("tmStartConnect"))
            t->SetEnabled(false);
    }
    bool ButtonsEnabled() {
        return network->btnOK->Enabled() && network->btnId->Enabled() && network->btnExit->Enabled();
    }
    std::string DeviceCounter() { return network->lblDeviceID ? network->lblDeviceID->Caption() : "?"; }
};

TEST_F(NetworkDialogTest, NothingToTryEndsAtOnceWithNoDevice) {
    network->btnOKClick(nullptr);
    EXPECT_EQ(network->Status(), "No Device found.");
    EXPECT_EQ(DeviceCounter(), "");
    EXPECT_EQ(network->pbScan->Position(), network->pbScan->Max());
    Step(100);
    EXPECT_TRUE(ButtonsEnabled());
    EXPECT_EQ(network->Status(), "No Device found.");
}

TEST_F(NetworkDialogTest, CandidatesInOrderEachWithAFreshWatchdog) {
    // A USB unit that never answers, then two ports that cannot be opened.
    Attach(Wire::Usb);
    unit.SetSilent(true);
    unitSilent = true;
    ports = {"/nonexistent/ttyKV1", "/nonexistent/ttyKV2"};
    ASSERT_TRUE(RunUntil([&] { return main->MainLink().HidDevice() != nullptr; }, 1000));

    network->btnOKClick(nullptr);
    EXPECT_EQ(network->Candidates(), 3);
    EXPECT_EQ(network->Position(), 1);
    EXPECT_EQ(DeviceCounter(), "1/3");
    EXPECT_EQ(network->Status(), "Scan USB");
    EXPECT_FALSE(ButtonsEnabled());

    // The unanswered probe moves on long before the USB watchdog.
    ASSERT_TRUE(RunUntil([&] { return network->Position() == 2; }, 3000));
    const uint64_t secondAt = clock.Ms();
    EXPECT_EQ(DeviceCounter(), "2/3");
    EXPECT_EQ(network->Status(), "Scaning" + std::string("ttyKV1") + " ......");
    EXPECT_EQ(main->MainLink().ComPortName(), "/nonexistent/ttyKV1");
    // The port cannot be opened: "Link Broken", buttons back, the search waits for this candidate's
    // own watchdog (the USB candidate's must not cut it short).
    ASSERT_TRUE(RunUntil([&] { return network->Status() == "Link Broken"; }, 1000));
    EXPECT_TRUE(ButtonsEnabled());
    ASSERT_TRUE(RunUntil([&] { return network->Position() == 3; }, 12000));
    EXPECT_GE(clock.Ms() - secondAt, 10000u);
    EXPECT_EQ(main->MainLink().ComPortName(), "/nonexistent/ttyKV2");

    // The last candidate's watchdog ends the search, and nothing runs on afterwards.
    ASSERT_TRUE(RunUntil([&] { return network->Status() == "No Device found."; }, 12000));
    EXPECT_TRUE(ButtonsEnabled());
    EXPECT_EQ(network->pbScan->Position(), network->pbScan->Max());
    const int position = network->Position();
    Step(30000);
    EXPECT_EQ(network->Position(), position);
    EXPECT_EQ(network->Status(), "No Device found.");
}

TEST_F(NetworkDialogTest, DemoStopsTheSearchAndGivesUpThePendingAttempt) {
    Attach(Wire::Serial);
    unit.SetSilent(true);
    unitSilent = true;
    ports.push_back("/nonexistent/ttyKV9");
    auto* link = main->Find<kv::TPkBmpButton>("pkbMenuLink");
    ASSERT_NE(link, nullptr);
    link->SetEnabled(false);
    network->btnOKClick(nullptr);
    ASSERT_TRUE(RunUntil([&] { return main->MainLink().IsConnecting(); }, 500));
    network->btnExitClick(nullptr);
    EXPECT_EQ(main->MainLink().Link(), nullptr);
    EXPECT_TRUE(link->Enabled());
    const auto codes = unit.ReceivedCodes().size();
    Step(25000);
    // No watchdog moved the search on to the next port in the background.
    EXPECT_EQ(network->Position(), 1);
    EXPECT_EQ(main->MainLink().Link(), nullptr);
    EXPECT_EQ(unit.ReceivedCodes().size(), codes);
    EXPECT_FALSE(main->IsOnline());
}

TEST_F(NetworkDialogTest, AutomaticAddressSettingOffersNoNetworkCandidate) {
    main->MainLink().SetDeviceIp(0x7F000004);
    main->MainLink().SetAutoIp(true);
    network->btnOKClick(nullptr);
    EXPECT_EQ(main->MainLink().DeviceIp(), 0u);
    EXPECT_EQ(network->Candidates(), 0);
    EXPECT_EQ(network->Status(), "No Device found.");
}

} // namespace
