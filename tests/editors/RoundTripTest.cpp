// Every kind of channel edit, made through the controls as a user makes it, against the simulated unit:
// afterwards the unit's image equals the model's, and a preset file saved then holds every edit.

#include "tests/editors/EditorFixture.h"
#include "app/link/MainLink.h"

#include "app/FLinkSel.h"
#include "app/TimerComponent.h"
#include "link/PresetFiles.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StdBars.h"
#include "tests/support/TempFiles.h"

#include <vector>

namespace {

using namespace editortest;
using kv::TPkBmpButton;
namespace off = kv::sim::off;

class RoundTripTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        links = kv::Application->CreateForm<kv::TfmLinkSel>();
    }
    void TearDown() override {
        kv::TOpenDialog::ExecuteHook = nullptr;
        delete links;
        EditorFixture::TearDown();
    }
    // Text typed into a value box and confirmed with Enter.
    void Type(const std::string& box, const std::string& text) {
        auto& b = Get<kv::TRoundEdit>(box);
        b.SetText(text);
        Key(b, 13);
    }
    void ClickButton(const std::string& page, const std::string& name) {
        ShowPage(page);
        Click(Get<TPkBmpButton>(name));
    }
    kvtest::TempDir files;
    kv::TfmLinkSel* links = nullptr;
};

TEST_F(RoundTripTest, EditsThroughTheControlsReachTheUnitAndTheSavedFile) {
    Connect();

    // Out2 follows Out1: the unit copies Out1 onto it, and the read-back brings the result.
    links->Show();
    Click(*links->LinkButton(3, 2));
    Click(*dynamic_cast<TPkBmpButton*>(links->FindComponent("bnSet")));
    auto& poll = Get<kv::TTimer>("tmInLevelDet");
    ASSERT_EQ(main->MainLink().GetTransferState(), tsResync);
    ASSERT_TRUE(RunUntil([&] { return main->MainLink().GetTransferState() == tsIdle && poll.Enabled(); }, 30000));
    main->StopLevelPoll();
    Step(50);
    ASSERT_EQ(main->GetChannelLinkMask(2), 0x3);
    ASSERT_EQ(main->GetChannelLinkMask(3), 0);

    ShowPage("Gain");
    Fader("isGainBackupOut1").SetPosition(-30);
    ClickButton("Gain", "pkbMuteBackupInB");
    ClickButton("Gain", "pkbPhaseBackupOut4");

    ShowPage("Delay");
    Fader("isDelayOut2").SetPosition(960);
    Type("cvdDelayInA", "2.5");

    ShowPage("Matrix");
    Click(Get<TPkBmpButton>("pkbBMatrixOut1"));
    Get<kv::TUpDown>("udMixGainAOut3").ArrowClick(kv::TUDBtnType::btPrev);
    Type("cvdBMatrixOut4", "-25.7");

    ShowPage("Gate");
    Fader("isGateThresholdInA").SetPosition(-40);
    Type("cvdGateHoldInB", "200");

    // Out2's strip edits Out1 and Out2, its group.
    ShowPage("Comp");
    Fader("isCompAttackOut2").SetPosition(49);
    Get<kv::TUpDown>("udCompRatioOut2").ArrowClick(kv::TUDBtnType::btNext);
    Type("cvdCompThresholdOut3", "-12.5");

    ShowPage("Limit");
    Fader("isLimitReleaseOut4").SetPosition(500);
    Get<kv::TUpDown>("udLimitKneeOut4").ArrowClick(kv::TUDBtnType::btNext);
    Step(100);

    const LUnitControl& m = Model();
    EXPECT_TRUE(m.IsMuted(1));
    EXPECT_TRUE(m.GetPolarity(5));
    EXPECT_EQ(m.GetDelay(0), 240);
    EXPECT_EQ(m.GetSourceMask(2), 3);
    EXPECT_EQ(m.GetMixLevel(4, 0), 279);
    EXPECT_EQ(m.GetMixLevel(5, 1), 69);
    EXPECT_EQ(m.GetGate(0).threshold, 140);
    EXPECT_EQ(m.GetGate(1).hold, 199);
    for (int out : {2, 3}) {
        EXPECT_EQ(m.GetComp(out).attack, 49) << out;
        EXPECT_EQ(m.GetComp(out).ratio, 1) << out;
        // Gain and delay went to the whole group too.
        EXPECT_EQ(m.GetGain(out), 250) << out;
        EXPECT_EQ(m.GetDelay(out), 960) << out;
    }
    EXPECT_EQ(m.GetComp(4).threshold, 155);
    EXPECT_EQ(m.GetLimit(5).release, 500);
    EXPECT_EQ(m.GetLimit(5).knee, 1);
    EXPECT_TRUE(ImagesAgree());

    const std::string path = files / "site.prs";
    kv::TOpenDialog::ExecuteHook = [&](kv::TOpenDialog& dialog) {
        dialog.SetFileName(path);
        return true;
    };
    main->MainLink().SaveClick(nullptr);
    const std::string bytes = kvtest::ReadAll(path);
    ASSERT_EQ(bytes.size(), kPresetFileSize);
    // The file holds what the unit holds, from the preset name up to the work mode.
    const sim::Dump unitImage = unit.Current();
    EXPECT_EQ(bytes.substr(kFileHeaderSize, img::kWorkMode - img::kPresetName),
              std::string(unitImage.begin() + img::kPresetName, unitImage.begin() + img::kWorkMode));
}

} // namespace
