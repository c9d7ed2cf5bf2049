#pragma once
// The main window with its link dialogs on the virtual clock, and the simulated unit on one of its
// three wires. Modal windows run their own loops; a driver steps the clock from inside them and answers
// them as a user would (the information window is read and closed, the connection dialog is closed
// once its search has ended), so a test runs the program's real flow from start to end.

#include "app/FInformation.h"
#include "app/FMain.h"
#include "app/link/MainLink.h"
#include "app/FNetwork.h"
#include "app/FProcess.h"
#include "app/Registration.h"
#include "app/SingleInstance.h"
#include "app/TimerComponent.h"
#include "panels/PkBmpButton.h"
#include "platform/gui/StdCtrls.h"
#include "platform/sys/HidApi.h"
#include "platform/sys/Modules.h"
#include "tests/sim/SimHid.h"
#include "tests/sim/SimPty.h"
#include "tests/sim/SimTcp.h"
#include "tests/sim/SimUnit.h"
#include "tests/support/HidFake.h"
#include "tests/support/TempFiles.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

namespace linktest {

namespace sim = kv::sim;

inline constexpr int kHidNumber = 3;

// A program's tests may run as shards, each a process of its own at the same time as the others: each
// shard's simulated units then listen on a loopback network of their own (127.<1 + shard>.0.x for
// 127.0.0.x), so that no two shards take one address.
inline std::string ShardLoopback(const std::string& address) {
    const char* shard = std::getenv("GTEST_SHARD_INDEX");
    const std::string prefix = "127.0.0.";
    if (!shard || address.compare(0, prefix.size(), prefix) != 0)
        return address;
    return "127." + std::to_string(1 + std::atoi(shard)) + ".0." + address.substr(prefix.size());
}

// The same address as the device IP word, first octet highest.
inline uint32_t Ipv4Word(const std::string& address) {
    unsigned a = 0, b = 0, c = 0, d = 0;
    std::sscanf(address.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d);
    return a << 24 | b << 16 | c << 8 | d;
}

class LinkFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterEditorClasses();
        TSingleInstance::SetKeyOverride("korvane-editor-linktest-" + std::to_string(getpid()));
        // As in development runs: nothing leaves the machine.
        setenv("KORVANE_LOOPBACK_ONLY", "1", 1);
    }

    void SetUp() override {
        kv::sys::ResetModules();
        kv::sys::SetHidRoot(hidDir.path().string());
        TScheduler::SetDefault(&clock);
        main = kv::Application->CreateForm<TfmMain>();
        process = kv::Application->CreateForm<kv::TfmProcess>();
        information = kv::Application->CreateForm<kv::TfmInformation>();
        network = kv::Application->CreateForm<kv::TfmNetwork>();
        network->ListPorts = [this] { return ports; };
        auto shown = network->OnShow;
        network->OnShow = [this, shown](kv::TObject* sender) {
            ++networkShows;
            if (shown)
                shown(sender);
        };
        // No network candidate unless a test gives one.
        main->MainLink().SetDeviceIp(0);
        // Qt never fires a timer again while its handler runs: one timer per level of nested windows.
        for (QTimer& t : drivers) {
            t.setInterval(1);
            QObject::connect(&t, &QTimer::timeout, [this] { Drive(); });
            t.start();
        }
    }

    void TearDown() override {
        for (QTimer& t : drivers)
            t.stop();
        stopDriving = true;
        tcp.reset();
        pty.reset();
        if (hid) {
            kv::sys::RemoveFakeHidDevice(kHidNumber);
            hid.reset();
        }
        delete network;
        delete information;
        delete process;
        delete main;
        clock.Settle();
        TScheduler::SetDefault(nullptr);
        kv::sys::SetHidRoot("/");
        kv::sys::ResetModules();
        TMessageBridge::ServePending();
        kv::Application->SetShowMainForm(true);
        kv::Application->Initialize();
    }

    // The unit on a wire. Serial: a pseudo-terminal the search lists; network: its own loopback
    // address, which becomes the network candidate; USB: the fake HID device, plugged in before the
    // controller's first scan has run.
    enum class Wire { Serial, Net, Usb };
    void Attach(Wire wire, const std::string& requested = "127.0.0.2") {
        const std::string loopback = ShardLoopback(requested);
        if (unitOnVirtualClock)
            unit.SetClock([this] { return static_cast<std::int64_t>(clock.Ms()); });
        else
            unit.UseRealTime();
        switch (wire) {
        case Wire::Serial:
            pty = std::make_unique<sim::SimPty>(unit);
            ports = {pty->SlavePath()};
            break;
        case Wire::Net: {
            tcp = std::make_unique<sim::SimTcp>(unit, 9761, loopback);
            main->MainLink().ClientSocket().Address = loopback;
            main->MainLink().SetDeviceIp(Ipv4Word(loopback));
            break;
        }
        case Wire::Usb: {
            sim::SimHidOptions options;
            options.idPrefix = false; // a node without numbered reports: the read puts the ID in front
            hid = std::make_unique<sim::SimHid>(unit, options);
            kv::sys::FakeHidDevice dev;
            dev.number = kHidNumber;
            dev.vendorId = 0x0168;
            dev.productId = 0x0821;
            dev.manufacturer = "Velmora";
            dev.product = "Korvane";
            dev.reportDescriptor = kv::sys::SimpleReportDescriptor(64, 64, 0);
            ASSERT_TRUE(kv::sys::AddFakeHidDevice(dev, hid->TakeDeviceFd()));
            break;
        }
        }
    }

    // The unit answers in real time: before virtual time goes on, it gets the chance to.
    void WaitForUnit() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
        while (std::chrono::steady_clock::now() < end) {
            QCoreApplication::processEvents();
            clock.Settle();
            bool busy = false;
            // Commands the unit never answers leave nothing to wait for.
            const auto codes = unit.ReceivedCodes();
            const bool unanswered =
                !codes.empty() && (codes.back() == sim::code::Release || codes.back() == sim::code::McuReset);
            if (!unitSilent && !unanswered) {
                if (auto* l = main->MainLink().ComLink())
                    busy |= l->IsAwaiting();
                if (auto* l = main->MainLink().UsbLink())
                    busy |= l->IsAwaiting();
                if (auto* l = main->MainLink().NetLink())
                    busy |= l->IsAwaiting();
            }
            // A reply the unit holds back for later (a slow unit on the virtual clock) comes only
            // when time goes on.
            if (busy && unit.HasPending() && !unit.HasDue())
                busy = false;
            if (tcp && main->MainLink().ClientSocket().Active() && !main->MainLink().ClientSocket().Connected())
                busy = true;
            if (!busy)
                return;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }

    void Step(uint64_t ms = 10) {
        clock.Advance(ms);
        WaitForUnit();
        if (onStep)
            onStep();
    }

    // Steps the clock until cond holds or limitMs of virtual time have passed; the final cond.
    bool RunUntil(const std::function<bool()>& cond, uint64_t limitMs) {
        const uint64_t end = clock.Ms() + limitMs;
        while (!cond()) {
            if (clock.Ms() >= end)
                return false;
            Step();
        }
        return true;
    }

    int ModalCount() const {
        return (network && network->Modal() ? 1 : 0) + (process && process->Modal() ? 1 : 0) +
               (information && information->Modal() ? 1 : 0);
    }
    bool AnyModal() const { return ModalCount() > 0; }
    bool SearchIdle() const { return network->btnOK && network->btnOK->Enabled(); }

    // Runs inside the modal loops only: the user's part there. A window opened while the driver steps
    // the one below it is driven in turn.
    void Drive() {
        const int modal = ModalCount();
        if (stopDriving || modal == 0 || modal <= drivingDepth)
            return;
        const int outer = drivingDepth;
        drivingDepth = modal;
        if (information->Modal() && information->ModalResult() == kv::mrNone) {
            messages.push_back(information->lbMessage ? information->lbMessage->Caption() : "");
            information->SetModalResult(kv::mrOk);
        } else if (information->Modal()) {
            // Answered; it is shown inside a frame handler, whose transport waits: no stepping until
            // its loop has ended.
        } else if (network->Modal() && network->ModalResult() == kv::mrNone &&
                   !(process->Modal() && process->ModalResult() == kv::mrNone) && SearchIdle() &&
                   !network->Status().empty()) {
            dialogStatuses.push_back(network->Status());
            network->CloseDialog();
        } else {
            Step();
        }
        drivingDepth = outer;
    }

    // The read-back has run to its end: online, the keep-alive after the last block sent, the link
    // button enabled again.
    bool ReadBackDone() {
        auto* link = main->Find<kv::TPkBmpButton>("pkbMenuLink");
        const auto codes = unit.ReceivedCodes();
        return main->IsOnline() && link && link->Enabled() && link->Down() && !codes.empty() &&
               codes.back() == sim::code::KeepAlive && !AnyModal();
    }

    // Commands the unit received with this code.
    std::vector<sim::Command> ReceivedOf(uint8_t code) {
        std::vector<sim::Command> out;
        for (const auto& c : unit.Received())
            if (c.code == code)
                out.push_back(c);
        return out;
    }

    kvtest::TempDir hidDir;
    TVirtualClock clock;
    sim::SimUnit unit;
    std::unique_ptr<sim::SimPty> pty;
    std::unique_ptr<sim::SimTcp> tcp;
    std::unique_ptr<sim::SimHid> hid;
    std::vector<std::string> ports;
    TfmMain* main = nullptr;
    kv::TfmProcess* process = nullptr;
    kv::TfmInformation* information = nullptr;
    kv::TfmNetwork* network = nullptr;
    QTimer drivers[4];
    int drivingDepth = 0; // modal windows open when the driver last stepped
    bool stopDriving = false;
    bool unitSilent = false;
    // Set before Attach: the unit's replies leave by the test's virtual clock, so that a delay fault
    // holds them back in virtual time, as a slow unit would.
    bool unitOnVirtualClock = false;
    std::function<void()> onStep;
    int networkShows = 0;
    std::vector<std::string> messages;
    std::vector<std::string> dialogStatuses;
};

} // namespace linktest
