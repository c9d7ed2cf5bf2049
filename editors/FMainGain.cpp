// Gain, mute and polarity of every channel. Each control is there twice, on the channel's own page and
// on the gain page; one handler serves the six channels of a kind, and the twins follow each other.

#include "app/FMain.h"

#include "panels/PkBmpButton.h"
#include "styled/RoundControls.h"
#include "styled/StTrackBar.h"

using namespace kv;

void TfmMain::PublishGain(TClassBuilder<TfmMain>& b) {
    b.Method<TNotifyEvent>("isGainInAChange", &TfmMain::isGainInAChange);
    b.Method<TNotifyEvent>("isGainBackupInAChange", &TfmMain::isGainBackupInAChange);
    b.Method<TNotifyEvent>("pkbMuteInAClick", &TfmMain::pkbMuteInAClick);
    b.Method<TNotifyEvent>("pkbMuteBackupInAClick", &TfmMain::pkbMuteBackupInAClick);
    b.Method<TNotifyEvent>("pkbPhaseInAClick", &TfmMain::pkbPhaseInAClick);
    b.Method<TNotifyEvent>("pkbPhaseBackupInAClick", &TfmMain::pkbPhaseBackupInAClick);
}

void TfmMain::GainEdit(TObject* sender, const char* twinStem) {
    if (updatingView || !unitControl)
        return;
    auto* fader = dynamic_cast<TStTrackBar*>(sender);
    if (!fader)
        return;
    const int c = fader->Tag();
    auto* box = Companion<TRoundEdit>("cvdGain", c);
    auto* backupBox = Companion<TRoundEdit>("cvdGainBackup", c);
    auto* twin = Companion<TStTrackBar>(twinStem, c);
    if (!box || !backupBox || !twin)
        return;
    const int p = fader->Position();
    // A twin that moves runs this handler from its side first, with the same position.
    twin->SetPosition(p);
    const std::string text = LevelIndexText(p);
    box->SetText(text);
    backupBox->SetText(text);
    unitControl->SetGain(c, static_cast<uint16_t>(p - fader->Min()));
    MirrorGainToLinked(c, p);
}

void TfmMain::isGainInAChange(TObject* sender) {
    GainEdit(sender, "isGainBackup");
}

void TfmMain::isGainBackupInAChange(TObject* sender) {
    GainEdit(sender, "isGain");
}

void TfmMain::MuteClick(TObject* sender, const char* twinStem) {
    auto* button = dynamic_cast<TPkBmpButton*>(sender);
    if (!button || !unitControl)
        return;
    const int c = button->Tag();
    auto* twin = Companion<TPkBmpButton>(twinStem, c);
    if (!twin)
        return;
    const bool on = button->Down();
    twin->SetDown(on);
    unitControl->SetMute(c, on);
    MirrorMuteToLinked(c, on);
}

void TfmMain::pkbMuteInAClick(TObject* sender) {
    MuteClick(sender, "pkbMuteBackup");
}

void TfmMain::pkbMuteBackupInAClick(TObject* sender) {
    MuteClick(sender, "pkbMute");
}

void TfmMain::PhaseClick(TObject* sender, const char* twinStem) {
    auto* button = dynamic_cast<TPkBmpButton*>(sender);
    if (!button || !unitControl)
        return;
    const int c = button->Tag();
    auto* twin = Companion<TPkBmpButton>(twinStem, c);
    if (!twin)
        return;
    const bool inverted = button->Down();
    twin->SetDown(inverted);
    button->SetCaption(GetLangText(inverted ? "SID_PHASE_ON" : "SID_PHASE_OFF"));
    twin->SetCaption(button->Caption());
    unitControl->SetPolarity(c, inverted ? 1 : 0);
    MirrorPhaseToLinked(c, inverted);
}

void TfmMain::pkbPhaseInAClick(TObject* sender) {
    PhaseClick(sender, "pkbPhaseBackup");
}

void TfmMain::pkbPhaseBackupInAClick(TObject* sender) {
    PhaseClick(sender, "pkbPhase");
}
