// The panel lock, the unlock prompt and the test signal against the simulated unit: the unlock dialog
// with a right, a wrong and an unanswered password; the lock dialog, also with a level poll in flight
// and with an unacknowledged lock; the test signal's payloads and the refresh that sends nothing.

#include "tests/app/LinkTestFixture.h"
#include "app/link/MainLink.h"

#include "app/FLockPassWord.h"
#include "app/FLockSetup.h"
#include "app/FTest.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StdButtons.h"
#include "platform/gui/StdLists.h"
#include "styled/RoundControls.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QWidget>

#include <algorithm>

namespace {

using namespace linktest;

class LockTest : public LinkFixture {
protected:
    void SetUp() override {
        LinkFixture::SetUp();
        unlock = kv::Application->CreateForm<kv::TfmLockPassWord>();
        lock = kv::Application->CreateForm<kv::TfmLockSetup>();
        test = kv::Application->CreateForm<kv::TfmTest>();
        kv::MessageDlgHook = [this](const std::string& text, kv::TMsgDlgType) {
            boxes.push_back(text);
            boxTimes.push_back(clock.Ms());
            if (onBox)
                onBox(text);
            return static_cast<int>(kv::mrOk);
        };
        userTimer.setInterval(1);
        QObject::connect(&userTimer, &QTimer::timeout, [this] { DriveUser(); });
        userTimer.start();
    }
    void TearDown() override {
        userTimer.stop();
        kv::MessageDlgHook = nullptr;
        delete test;
        delete lock;
        delete unlock;
        LinkFixture::TearDown();
    }

    // The user at the lock dialogs: the next action when one is due, else time goes on. Only while
    // none of the fixture's windows is open above them.
    void DriveUser() {
        if (userBusy || stopDriving || !(unlock->Modal() || lock->Modal()) || AnyModal())
            return;
        userBusy = true;
        if (!actions.empty()) {
            auto action = std::move(actions.front());
            actions.erase(actions.begin());
            action();
        } else {
            Step();
        }
        userBusy = false;
    }

    // Types a password into a dialog's box and presses its OK button.
    void Submit(kv::TEmptyEdit* box, kv::TPkBmpButton* ok, const std::string& password) {
        box->SetText(password);
        okAt = clock.Ms();
        ok->Click();
    }

    bool Connected() {
        return RunUntil([&] { return ReadBackDone(); }, 30000);
    }

    static BSTM Bytes(std::initializer_list<uint8_t> b) { return BSTM(b); }

    kv::TfmLockPassWord* unlock = nullptr;
    kv::TfmLockSetup* lock = nullptr;
    kv::TfmTest* test = nullptr;
    QTimer userTimer;
    bool userBusy = false;
    std::vector<std::function<void()>> actions;
    std::vector<std::string> boxes;
    std::vector<uint64_t> boxTimes;
    std::function<void(const std::string&)> onBox;
    uint64_t okAt = 0;
};

class LockWireTest : public LockTest, public ::testing::WithParamInterface<int> {
protected:
    void AttachParam() { Attach(GetParam() == 0 ? Wire::Serial : Wire::Net, "127.0.0.4"); }
};

TEST_P(LockWireTest, RightPasswordUnlocksThePanelAndTheReadBackFollows) {
    unit.SetPanelLock(true, "AB12");
    AttachParam();
    actions.push_back([&] { Submit(unlock->edName, unlock->btnOK, "ab12"); });
    ASSERT_TRUE(Connected());
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(unit.PanelLocked());
    EXPECT_FALSE(unlock->Visible());
    EXPECT_EQ(unlock->ReplyState(), 1);
    const auto submitted = ReceivedOf(sim::code::PassSubmit);
    ASSERT_EQ(submitted.size(), 1u);
    EXPECT_EQ(submitted[0].payload, Bytes({0, 'A', 'B', '1', '2'}));
    // The read-back starts with the flags, after the verdict and not before.
    const auto codes = unit.ReceivedCodes();
    const auto pass = std::find(codes.begin(), codes.end(), sim::code::PassSubmit);
    const auto flags = std::find(codes.begin(), codes.end(), sim::code::ReadParams);
    EXPECT_LT(pass, flags);
    ASSERT_NE(flags, codes.end());
    EXPECT_EQ(std::count(codes.begin(), codes.end(), sim::code::ReadParams), 1);
}

TEST_P(LockWireTest, LockIsSetAndTheLinkClosedOnlyOnceTheUnitTookItEvenBehindALevelPoll) {
    AttachParam();
    ASSERT_TRUE(Connected());
    unit.ClearReceived();
    actions.push_back([&] {
        // A level poll is in flight, its reply 300 ms away (on the test's clock): the lock command waits
        // in the queue behind it, far longer than the dialog's first 100 ms.
        unit.SetClock([this] { return static_cast<int64_t>(clock.Ms()); });
        unit.DelayReplies(300, 1, sim::code::Levels);
        main->SendCommand(CM_MCS_CMD(static_cast<uint8_t>(main->GetDeviceId()), MCS_LEVELS), false);
        Submit(lock->edName, lock->btnOK, "9a7z");
        EXPECT_FALSE(lock->btnExit->Enabled());
    });
    main->LockClick(nullptr);
    EXPECT_FALSE(lock->Visible());
    EXPECT_TRUE(unit.PanelLocked());
    EXPECT_EQ(unit.Password(), Bytes({'9', 'A', '7', 'Z'}));
    EXPECT_EQ(ReceivedOf(sim::code::SetLock).size(), 1u);
    EXPECT_EQ(main->MainLink().Link(), nullptr);
    EXPECT_FALSE(main->IsOnline());
    EXPECT_TRUE(messages.empty());
    // Closed after the acknowledgement came, not before.
    EXPECT_GE(clock.Ms() - okAt, 300u);
    EXPECT_TRUE(lock->btnExit->Enabled());

    // Connecting again finds the panel locked and asks for the password just set.
    actions.push_back([&] { Submit(unlock->edName, unlock->btnOK, "9A7Z"); });
    main->MainLink().pkbMenuLinkClick(nullptr);
    ASSERT_TRUE(Connected());
    EXPECT_FALSE(unit.PanelLocked());
}

INSTANTIATE_TEST_SUITE_P(Wires, LockWireTest, ::testing::Values(0, 1), [](const auto& param) {
    return std::string(param.param == 0 ? "PseudoTerminal" : "TcpLoopback");
});

TEST_F(LockTest, WrongPasswordIsReportedAndTheUserMayTryAgain) {
    unit.SetPanelLock(true, "8052");
    Attach(Wire::Serial);
    std::string boxAfterError;
    onBox = [&](const std::string& text) {
        if (text != "Password Error!!")
            return;
        // The box is reset after the message; the user's next try comes from the dialog.
        actions.push_back([&] {
            boxAfterError = unlock->edName->Text();
            Submit(unlock->edName, unlock->btnOK, "8052");
        });
    };
    actions.push_back([&] { Submit(unlock->edName, unlock->btnOK, "1234"); });
    ASSERT_TRUE(Connected());
    EXPECT_EQ(boxes, std::vector<std::string>{"Password Error!!"});
    EXPECT_EQ(boxAfterError, "****");
    const auto submitted = ReceivedOf(sim::code::PassSubmit);
    ASSERT_EQ(submitted.size(), 2u);
    EXPECT_EQ(submitted[0].payload, Bytes({0, '1', '2', '3', '4'}));
    EXPECT_EQ(submitted[1].payload, Bytes({0, '8', '0', '5', '2'}));
    EXPECT_FALSE(unit.PanelLocked());
}

TEST_F(LockTest, NoVerdictTimesOutAfterTheLastCheckAndClosesTheLink) {
    unit.SetPanelLock(true, "8052");
    Attach(Wire::Serial);
    // The unit answers, but for another of its locks: the panel's verdict never comes.
    unit.GarbleReply(6, 0x01, -1, sim::code::PassSubmit);
    actions.push_back([&] { Submit(unlock->edName, unlock->btnOK, "0000"); });
    ASSERT_TRUE(RunUntil([&] { return !boxes.empty() && !main->MainLink().Link() && !unlock->Visible(); }, 30000))
        << "boxes " << boxes.size() << " link " << (main->MainLink().Link() != nullptr) << " shown " << unlock->Visible()
        << " state " << int(unlock->ReplyState()) << " checks " << unlock->CheckCount() << " ms "
        << clock.Ms() << " messages " << messages.size() << " 45s "
        << ReceivedOf(sim::code::PassSubmit).size();
    EXPECT_EQ(boxes, std::vector<std::string>{"Check Time Out!"});
    // 31 checks, 100 ms apart.
    EXPECT_GE(boxTimes[0] - okAt, 3100u);
    EXPECT_LE(boxTimes[0] - okAt, 3200u);
    EXPECT_FALSE(main->IsOnline());
    EXPECT_TRUE(unit.PanelLocked());
    EXPECT_TRUE(ReceivedOf(sim::code::ReadParams).empty());
}

TEST_F(LockTest, UnacknowledgedLockIsReportedAndTheLinkClosed) {
    Attach(Wire::Serial);
    ASSERT_TRUE(Connected());
    actions.push_back([&] {
        unit.DropReplies(-1, sim::code::Ack);
        unitSilent = true; // nothing to wait for on the wire
        Submit(lock->edName, lock->btnOK, "8052");
    });
    main->LockClick(nullptr);
    EXPECT_FALSE(lock->Visible());
    EXPECT_EQ(main->MainLink().Link(), nullptr);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "Lock Setting: Link Broken");
    EXPECT_FALSE(ReceivedOf(sim::code::SetLock).empty());
}

TEST_F(LockTest, PromptStillOpenFromABrokenLinkServesTheNextConnection) {
    unit.SetPanelLock(true, "8052");
    Attach(Wire::Serial);
    int shows = 0;
    auto shown = unlock->OnShow;
    unlock->OnShow = [&](kv::TObject* sender) {
        ++shows;
        shown(sender);
    };
    // An error raised by a timer's handler (such as a second modal showing) would be shown to the user.
    static int timerErrors;
    timerErrors = 0;
    ::TTimer::SetErrorSink([](const std::exception*) noexcept { ++timerErrors; });
    // The link breaks while the prompt is open, and the search connects again (the same locked unit).
    actions.push_back([&] {
        main->MainLink().CloseLink();
        main->MainLink().pkbMenuLinkClick(nullptr);
    });
    // The user answers only after the new connection's prompt is due.
    actions.push_back([&] { RunUntil([] { return false; }, 1500); });
    actions.push_back([&] { Submit(unlock->edName, unlock->btnOK, "8052"); });
    ASSERT_TRUE(Connected());
    ::TTimer::SetErrorSink(nullptr);
    EXPECT_EQ(timerErrors, 0);
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(ReceivedOf(sim::code::LockStatus).size(), 2u);
    EXPECT_FALSE(unit.PanelLocked());
}

// Cancel, or the window manager's close button on the prompt (a real close event on its window): the
// unit stays locked and the editor goes offline, never "OnLine" over a locked unit.
class LockCloseTest : public LockTest, public ::testing::WithParamInterface<bool> {};

TEST_P(LockCloseTest, CancelOrACloseRequestLeavesTheUnitLockedAndTheEditorOffline) {
    const bool closeRequest = GetParam();
    unit.SetPanelLock(true, "8052");
    Attach(Wire::Serial);
    bool acted = false;
    actions.push_back([&] {
        acted = true;
        if (closeRequest) {
            QCloseEvent e;
            QCoreApplication::sendEvent(unlock->Widget(), &e);
        } else {
            unlock->bnCancel->Click();
        }
    });
    ASSERT_TRUE(RunUntil(
        [&] { return acted && !unlock->Visible() && main->IsConnected() == false && !AnyModal(); }, 30000));
    EXPECT_FALSE(ReceivedOf(sim::code::LockStatus).empty()) << "the prompt came from a locked unit";
    EXPECT_EQ(main->MainLink().Link(), nullptr);
    EXPECT_FALSE(main->IsOnline());
    EXPECT_TRUE(unit.PanelLocked());
    EXPECT_TRUE(ReceivedOf(sim::code::PassSubmit).empty());
    EXPECT_TRUE(ReceivedOf(sim::code::ReadParams).empty());
    // The link was closed at once, not later found broken: nothing more went to the locked unit.
    EXPECT_TRUE(ReceivedOf(sim::code::Levels).empty());
    EXPECT_TRUE(ReceivedOf(sim::code::KeepAlive).empty());
    EXPECT_TRUE(messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Ways, LockCloseTest, ::testing::Values(false, true),
                         [](const auto& param) { return param.param ? "CloseRequest" : "CancelButton"; });

TEST_F(LockTest, TestSignalSendsEachChoiceAndNothingWhileTheViewIsRefreshed) {
    Attach(Wire::Serial);
    ASSERT_TRUE(Connected());
    unit.ClearReceived();
    auto workModes = [&] {
        std::vector<BSTM> out;
        for (const auto& c : ReceivedOf(sim::code::WorkMode))
            out.push_back(c.payload);
        return out;
    };

    test->rbPinkNoise->SetChecked(true);
    Step();
    test->cbSineFreq->UserSelect(17); // "1KHz"
    Step();
    EXPECT_TRUE(test->rbSineWave->Checked());
    EXPECT_EQ(workModes(), (std::vector<BSTM>{Bytes({1, 0}), Bytes({3, 17})}));

    // The refresh shows the unit image's words without sending them.
    main->SetUpdatingView(true);
    test->ShowWorkMode(2, 4);
    main->SetUpdatingView(false);
    Step(100);
    EXPECT_TRUE(test->rbWhiteNoise->Checked());
    EXPECT_EQ(test->cbSineFreq->ItemIndex(), 4);
    EXPECT_EQ(workModes().size(), 2u);

    test->rbAnalogIn->SetChecked(true);
    Step();
    EXPECT_EQ(workModes().back(), Bytes({0, 4}));

    // Offline only the dialog's own controls change.
    main->MainLink().CloseLink();
    test->rbSineWave->SetChecked(true);
    EXPECT_TRUE(test->rbSineWave->Checked());
}

} // namespace
