#pragma once
// The link fixture with the preset dialogs, a user who answers the preset lists and file dialogs, and
// a folder for the files a test writes.

#include "tests/app/LinkTestFixture.h"
#include "app/link/MainLink.h"

#include "app/FFactory.h"
#include "app/FRecallPreset.h"
#include "app/FStoreName.h"
#include "app/FStorePreset.h"
#include "platform/core/CodePage.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StdEdits.h"
#include "platform/gui/StdLists.h"
#include "styled/StProgressBar.h"

#include <filesystem>
#include <optional>

namespace linktest {

class PresetsFixture : public LinkFixture {
protected:
    void SetUp() override {
        LinkFixture::SetUp();
        savedCodePage = kv::CodePage::System().Name();
        recall = kv::Application->CreateForm<kv::TfmRecallPreset>();
        store = kv::Application->CreateForm<kv::TfmStorePreset>();
        factory = kv::Application->CreateForm<kv::TfmFactory>();
        storeName = kv::Application->CreateForm<kv::TfmStoreName>();
        kv::TOpenDialog::ExecuteHook = [this](kv::TOpenDialog& dialog) {
            fileDialogs.push_back(dialog.Name());
            if (!fileAnswers.empty()) {
                dialog.SetFileName(fileAnswers.front());
                fileAnswers.erase(fileAnswers.begin());
                return true;
            }
            if (!chosenFile)
                return false;
            dialog.SetFileName(*chosenFile);
            return true;
        };
        user.setInterval(1);
        QObject::connect(&user, &QTimer::timeout, [this] { ActAsUser(); });
        user.start();
    }

    void TearDown() override {
        user.stop();
        kv::TOpenDialog::ExecuteHook = nullptr;
        kv::CodePage::SetSystem(savedCodePage);
        delete storeName;
        delete factory;
        delete store;
        delete recall;
        LinkFixture::TearDown();
    }

    // The next time `list` runs modally, the user picks data row `row`, types `name` (when given) into
    // the name dialog and presses OK.
    void PlanPick(kv::TPresetListForm* list, int row, std::optional<std::string> name = std::nullopt) {
        pickList = list;
        pickRow = row;
        pickName = std::move(name);
    }

    void ActAsUser() {
        if (!pickList || !pickList->Modal() || pickList->ModalResult() != kv::mrNone)
            return;
        kv::TPresetListForm* list = pickList;
        pickList = nullptr;
        list->vledPresetNameSelectCell(1, pickRow);
        if (pickName)
            storeName->edName->SetText(*pickName);
        storeName->btnOK->Click();
    }

    // Steps until the unit's last command was the keep-alive that ends a read-back, with no window
    // open and the link button down again.
    bool ReadBackEnded(const sim::SimUnit& u) {
        auto* link = main->Find<kv::TPkBmpButton>("pkbMenuLink");
        const auto codes = u.ReceivedCodes();
        return main->IsOnline() && link && link->Enabled() && link->Down() && !codes.empty() &&
               codes.back() == sim::code::KeepAlive && !AnyModal() && main->MainLink().GetTransferState() == tsIdle;
    }

    void ConnectAndReadBack(Wire wire = Wire::Serial, const std::string& loopback = "127.0.0.21") {
        Attach(wire, loopback);
        ASSERT_TRUE(RunUntil([&] { return ReadBackDone(); }, 30000));
        Step(100);
        unit.ClearReceived();
    }

    std::string File(const std::string& name) const { return files / name; }

    std::string Caption(const char* name) {
        auto* c = dynamic_cast<kv::TControl*>(main->FindComponent(name));
        return c ? c->Caption() : std::string("<missing>");
    }

    kv::TfmRecallPreset* recall = nullptr;
    kv::TfmStorePreset* store = nullptr;
    kv::TfmFactory* factory = nullptr;
    kv::TfmStoreName* storeName = nullptr;
    kvtest::TempDir files;
    std::optional<std::string> chosenFile;
    std::vector<std::string> fileAnswers; // answered first, one per dialog, before chosenFile
    std::vector<std::string> fileDialogs;
    QTimer user;
    kv::TPresetListForm* pickList = nullptr;
    int pickRow = 0;
    std::optional<std::string> pickName;
    std::string savedCodePage;
};

} // namespace linktest
