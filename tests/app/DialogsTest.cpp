// The ID/IP setup, information, progress and factory dialogs: their texts in both languages, what they
// show as laid out, and the setup dialog's rules for the device ID and the address.

#include "app/FFactory.h"
#include "app/FInformation.h"
#include "app/FMain.h"
#include "app/link/MainLink.h"
#include "app/FNetworkSetup.h"
#include "app/FProcess.h"
#include "app/LangTables.h"
#include "app/Registration.h"
#include "app/SingleInstance.h"
#include "app/TimerComponent.h"
#include "panels/PkBmpButton.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdBars.h"
#include "platform/gui/StdButtons.h"
#include "platform/gui/StdEdits.h"
#include "platform/gui/StdPanels.h"
#include "styled/StProgressBar.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <functional>
#include <string>

#include <unistd.h>

using namespace kv;

namespace {

// Runs `inside` from within the next modal loop, as the user's actions there would.
void WhenModal(std::function<void()> inside) {
    QTimer::singleShot(0, std::move(inside));
}

class DialogsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        qputenv("KORVANE_LOOPBACK_ONLY", "1");
        RegisterEditorClasses();
        TSingleInstance::SetKeyOverride("korvane-editor-dialogstest-" + std::to_string(getpid()));
    }
    void SetUp() override {
        TScheduler::SetDefault(&clock);
        main = Application->CreateForm<TfmMain>();
        process = Application->CreateForm<TfmProcess>();
        info = Application->CreateForm<TfmInformation>();
        factory = Application->CreateForm<TfmFactory>();
        setup = Application->CreateForm<TfmNetworkSetup>();
    }
    void TearDown() override {
        delete setup;
        delete factory;
        delete info;
        delete process;
        delete main;
        TScheduler::SetDefault(nullptr);
        Application->Initialize();
    }
    void Chinese() { main->ChineseSimplifiedClick(main->Find<TMenuItem>("ChineseSimplified")); }

    TVirtualClock clock;
    TfmMain* main = nullptr;
    TfmProcess* process = nullptr;
    TfmInformation* info = nullptr;
    TfmFactory* factory = nullptr;
    TfmNetworkSetup* setup = nullptr;
};

TEST_F(DialogsTest, LoadAsLaidOut) {
    struct Case {
        TCustomForm* form;
        int width, height;
    } cases[] = {{process, 454, 95}, {info, 265, 174}, {factory, 361, 174}, {setup, 300, 210}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form->ClassName());
        EXPECT_TRUE(c.form->LayoutErrors().empty()) << c.form->LayoutErrors().front();
        EXPECT_EQ(c.form->ClientWidth(), c.width);
        EXPECT_EQ(c.form->ClientHeight(), c.height);
    }
    // The progress window cannot be closed by the user and stays on top.
    EXPECT_TRUE(process->BorderIcons().Empty());
    EXPECT_EQ(process->FormStyle(), TFormStyle::fsStayOnTop);
    ASSERT_NE(process->ProgressBar, nullptr);
    EXPECT_EQ(process->ProgressBar->BoundsRect(), (TRect{12, 14, 443, 55}));
    EXPECT_EQ(process->Status(), "download now");
    EXPECT_EQ(info->lbMessage->Width(), 150);
    EXPECT_EQ(factory->lbMessage->Width(), 243);
    // The manual address setting is in force; its radio buttons are not shown.
    EXPECT_TRUE(setup->rbManualSetting->Checked());
    EXPECT_FALSE(setup->rbManualSetting->Visible());
    EXPECT_FALSE(setup->rbAutoSetting->Visible());
}

TEST_F(DialogsTest, InformationAndFactoryTakeTheirTextsWhenShown) {
    info->SetCaption("left from before");
    std::string caption, button, message;
    WhenModal([&] {
        caption = info->Caption();
        button = info->btnOK->Caption();
        message = info->lbMessage->Caption();
        info->btnOK->Click();
    });
    main->ShowInformation(main->GetLangText("SID_INFO_CON_FIRST"));
    EXPECT_EQ(caption, "Information");
    EXPECT_EQ(button, "OK");
    EXPECT_EQ(message, "You Must Connect First !!");
    EXPECT_FALSE(info->Visible());

    std::string texts;
    WhenModal([&] {
        texts = factory->Caption() + "|" + factory->lbMessage->Caption() + "|" + factory->btnOK->Caption() +
                "|" + factory->bnCancel->Caption();
        factory->bnCancel->Click();
    });
    factory->ShowModal();
    EXPECT_EQ(texts, "Information|Are you Sure to Return Factory Default?|OK|Cancel");
    EXPECT_FALSE(factory->Visible());

    Chinese();
    WhenModal([&] {
        texts = info->Caption() + "|" + info->btnOK->Caption();
        info->btnOK->Click();
    });
    info->ShowMessage(UiText("SID_INFO_ERROR_UNIT"));
    EXPECT_EQ(texts, "讯息|确定");
    EXPECT_EQ(info->lbMessage->Caption(), "机台型号不符 !!");
    WhenModal([&] {
        texts = factory->Caption() + "|" + factory->lbMessage->Caption() + "|" + factory->btnOK->Caption() +
                "|" + factory->bnCancel->Caption();
        factory->btnOK->Click();
    });
    factory->ShowModal();
    EXPECT_EQ(texts, "讯息|确定要恢复机器出厂设置?|确定|取消");
    EXPECT_FALSE(factory->Visible());
}

TEST_F(DialogsTest, ProgressWindowResetsOnlyItsCaption) {
    process->SetCaption("stale");
    main->ShowProgress(main->GetLangText("SID_DOWNLOAD_PRESET"), 3, 12);
    EXPECT_TRUE(process->Visible());
    EXPECT_EQ(process->Caption(), "Process");
    EXPECT_EQ(process->Status(), "Download preset now , please wait...");
    EXPECT_EQ(process->ProgressBar->Max(), 12);
    EXPECT_EQ(process->ProgressBar->Position(), 3);
    process->Hide();

    Chinese();
    process->SetStatus("status of the caller");
    process->ProgressBar->SetPosition(7);
    std::string seen;
    WhenModal([&] {
        seen = process->Caption() + "|" + process->Status() + "|" +
               std::to_string(process->ProgressBar->Position());
        // Only the transfer code ends it.
        main->CloseProgressWindow();
    });
    main->ShowProgressModal();
    EXPECT_EQ(seen, "处理|status of the caller|7");
    EXPECT_FALSE(process->Visible());

    // The deferred showing: the one-shot timer stops first, then the window runs modally.
    auto* timer = main->Find<kv::TTimer>("tmProcessShow");
    ASSERT_NE(timer, nullptr);
    timer->SetEnabled(true);
    bool modalWithTimerStopped = false;
    WhenModal([&] {
        modalWithTimerStopped = process->Modal() && !timer->Enabled();
        main->CloseProgressWindow();
    });
    main->tmProcessShowTimer(timer);
    EXPECT_TRUE(modalWithTimerStopped);
    // A window already up (a download shows it without blocking) is left as it is.
    main->ShowProgress("download", 1, 4);
    main->ShowProgressModal();
    EXPECT_TRUE(process->Visible());
    EXPECT_FALSE(process->Modal());
}

class NetworkSetupTest : public DialogsTest {
protected:
    void SetBoxes(const std::string& id, const char* a, const char* b, const char* c, const char* d) {
        setup->edId->SetText(id);
        const char* octets[] = {a, b, c, d};
        for (int i = 0; i < 4; ++i)
            setup->edIp[i]->SetText(octets[i]);
    }
    // Shows the dialog from the menu item, runs `inside` in it; true when the dialog ended.
    bool RunFromMenu(const std::function<void()>& inside) {
        WhenModal([&] {
            inside();
            if (setup->ModalResult() == mrNone) { // still open
                stayedOpen = true;
                setup->bnExit->Click();
            }
        });
        stayedOpen = false;
        main->NetworkSetupClick(main->Find<TMenuItem>("NetworkSetup"));
        return !stayedOpen;
    }
    // Answers the information window that `action` opens with its message.
    std::string InformationDuring(const std::function<void()>& action) {
        std::string message;
        WhenModal([&] {
            message = info->Visible() ? info->lbMessage->Caption() : "(no information window)";
            info->btnOK->Click();
        });
        action();
        return message;
    }
    bool stayedOpen = false;
};

TEST_F(NetworkSetupTest, ShowsTheAddressAndItsTextsInBothLanguages) {
    std::string texts;
    const auto read = [&] {
        texts = setup->Caption() + "|" + setup->gbIdSetting->Caption() + "|" + setup->gbIpSetting->Caption() +
                "|" + setup->lbMessage->Caption() + "|" + setup->bnSet->Caption() + "|" +
                setup->bnExit->Caption() + "|";
        for (TEdit* box : setup->edIp)
            texts += box->Text() + ".";
    };
    main->MainLink().SetDeviceIp(0xC0A80164);
    RunFromMenu(read);
    EXPECT_EQ(texts, "Setting ID/IP| Input ID Number| Input IP Address|Number :|Set|Exit|192.168.1.100.");
    // After a search under the automatic setting the address is 0.
    main->MainLink().SetDeviceIp(0);
    Chinese();
    RunFromMenu(read);
    EXPECT_EQ(texts, "ID与网口设定| 输入 ID| 输入 IP 位址|ID 位址:|设定|取消|0.0.0.0.");
    EXPECT_EQ(setup->rbAutoSetting->Caption(), "自动设定");
}

TEST_F(NetworkSetupTest, BoxesClampWhenLeftOrConfirmedAndTakeDigitsOnly) {
    struct Case {
        const char* typed;
        const char* id;
        const char* octet;
    } cases[] = {{"300", "250", "255"}, {"999", "250", "255"}, {"0", "1", "0"},
                 {"250", "250", "250"}, {"256", "250", "255"}, {"", "", ""}};
    for (const Case& c : cases) {
        setup->edId->SetText(c.typed);
        setup->edIdExit(setup->edId);
        EXPECT_EQ(setup->edId->Text(), c.id) << c.typed;
        setup->edIp[2]->SetText(c.typed);
        setup->edIp1Exit(setup->edIp[2]);
        EXPECT_EQ(setup->edIp[2]->Text(), c.octet) << c.typed;
        // Enter does the same.
        setup->edIp[0]->SetText(c.typed);
        char enter = '\r';
        setup->edIp1KeyPress(setup->edIp[0], enter);
        EXPECT_EQ(setup->edIp[0]->Text(), c.octet) << c.typed;
    }
    for (char key : {'a', '.', '-', ' '}) {
        char k = key;
        setup->edIdKeyPress(setup->edId, k);
        EXPECT_EQ(k, 0) << key;
        k = key;
        setup->edIp1KeyPress(setup->edIp[1], k);
        EXPECT_EQ(k, 0) << key;
    }
    char digit = '7', back = '\b';
    setup->edIdKeyPress(setup->edId, digit);
    setup->edIp1KeyPress(setup->edIp[1], back);
    EXPECT_EQ(digit, '7');
    EXPECT_EQ(back, '\b');
}

TEST_F(NetworkSetupTest, SetAppliesIdAndAddressAnEmptyOctetBeingZero) {
    EXPECT_TRUE(RunFromMenu([&] {
        SetBoxes("250", "127", "", "0", "999"); // 999 was never left: taken modulo 256
        setup->bnSet->Click();
    }));
    EXPECT_EQ(main->GetDeviceId(), 250);
    EXPECT_EQ(main->MainLink().DeviceIp(), 0x7F0000E7u);
    EXPECT_EQ(main->MainLink().ClientSocket().Address, "127.0.0.231");
    EXPECT_EQ(main->Find<TControl>("lbShowIp")->Caption(), "IP : 127.0.0.231");
    EXPECT_FALSE(main->MainLink().AutoIp());
}

TEST_F(NetworkSetupTest, AnInvalidIdIsRefusedTheAddressStillApplies) {
    for (const char* id : {"251", "0", ""}) {
        SCOPED_TRACE(id);
        main->MainLink().SetDeviceId(7);
        std::string message;
        EXPECT_TRUE(RunFromMenu([&] {
            SetBoxes(id, "127", "0", "0", "42");
            message = InformationDuring([&] { setup->bnSet->Click(); });
        }));
        EXPECT_EQ(message, "ID Setting Error");
        EXPECT_EQ(main->GetDeviceId(), 7);
        EXPECT_EQ(setup->edId->Text(), "7"); // reverted
        EXPECT_EQ(main->MainLink().ClientSocket().Address, "127.0.0.42");
    }
}

TEST_F(NetworkSetupTest, WithoutTheAddressStepAnInvalidIdKeepsTheDialogOpen) {
    // Under the automatic setting the address is not set here; the ID alone decides.
    setup->rbAutoSetting->SetChecked(true);
    const std::string address = main->MainLink().ClientSocket().Address;
    std::string message;
    bool openAfterError = false;
    EXPECT_FALSE(RunFromMenu([&] {
        setup->edId->SetText("");
        message = InformationDuring([&] { setup->bnSet->Click(); });
        openAfterError = setup->ModalResult() == mrNone;
    }));
    EXPECT_EQ(message, "ID Setting Error");
    EXPECT_TRUE(openAfterError);
    EXPECT_EQ(main->MainLink().ClientSocket().Address, address);
    EXPECT_FALSE(main->MainLink().AutoIp()); // nothing was set

    EXPECT_TRUE(RunFromMenu([&] {
        setup->edId->SetText("12");
        setup->bnSet->Click();
    }));
    EXPECT_EQ(main->GetDeviceId(), 12);
    EXPECT_TRUE(main->MainLink().AutoIp());
    EXPECT_EQ(main->MainLink().ClientSocket().Address, address);
}

TEST_F(NetworkSetupTest, OnlineOrAutomaticLocksTheBoxes) {
    struct State {
        bool ipGroup, ipBox, idBox;
        TColor ipColour, idColour;
    };
    const auto seen = [&] {
        State s{};
        RunFromMenu([&] {
            s = {setup->gbIpSetting->Enabled(), setup->edIp[3]->Enabled(), setup->edId->Enabled(),
                 setup->edIp[3]->Color(), setup->edId->Color()};
        });
        return s;
    };
    const TColor silver = 0xC0C0C0;
    State offline = seen();
    EXPECT_TRUE(offline.ipGroup && offline.ipBox && offline.idBox);
    EXPECT_EQ(offline.ipColour, clWindow);
    EXPECT_EQ(offline.idColour, clWindow);

    // Online is what the link button says.
    main->Find<TControl>("pkbMenuLink")->SetCaption("OnLine");
    State online = seen();
    EXPECT_FALSE(online.ipGroup || online.ipBox || online.idBox);
    EXPECT_EQ(online.ipColour, silver);
    EXPECT_EQ(online.idColour, silver);

    main->Find<TControl>("pkbMenuLink")->SetCaption("OffLine");
    setup->rbAutoSetting->SetChecked(true);
    State automatic = seen();
    EXPECT_TRUE(automatic.ipGroup);
    EXPECT_FALSE(automatic.ipBox || automatic.idBox);
    setup->rbManualSetting->SetChecked(true);
    EXPECT_TRUE(setup->edIp[3]->Enabled());
    EXPECT_EQ(setup->edIp[3]->Color(), clWindow);
}

} // namespace
