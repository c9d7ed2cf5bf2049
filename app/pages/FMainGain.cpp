// Gain, mute and polarity of every channel. Each control is there twice, on the channel's own page and
// on the gain page; one handler serves the six channels of a kind, and the twins follow each other. A
// gain typed into either value box moves the faders as a drag would.

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
    b.Method<TKeyEvent>("cvdGainInAKeyDown", &TfmMain::cvdGainInAKeyDown);
    b.Method<TNotifyEvent>("cvdGainInAExit", &TfmMain::cvdGainInAExit);
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

// Mute and polarity buttons toggle themselves before their click; the twin takes the new state.
void TfmMain::ToggleClick(TObject* sender, const char* twinStem, bool polarity) {
    auto* button = dynamic_cast<TPkBmpButton*>(sender);
    if (!button || !unitControl)
        return;
    const int c = button->Tag();
    auto* twin = Companion<TPkBmpButton>(twinStem, c);
    if (!twin)
        return;
    const bool on = button->Down();
    twin->SetDown(on);
    if (!polarity) {
        unitControl->SetMute(c, on);
        MirrorMuteToLinked(c, on);
        return;
    }
    button->SetCaption(GetLangText(on ? "SID_PHASE_ON" : "SID_PHASE_OFF"));
    twin->SetCaption(button->Caption());
    unitControl->SetPolarity(c, on ? 1 : 0);
    MirrorPhaseToLinked(c, on);
}

void TfmMain::pkbMuteInAClick(TObject* sender) {
    ToggleClick(sender, "pkbMuteBackup", false);
}

void TfmMain::pkbMuteBackupInAClick(TObject* sender) {
    ToggleClick(sender, "pkbMute", false);
}

void TfmMain::pkbPhaseInAClick(TObject* sender) {
    ToggleClick(sender, "pkbPhaseBackup", true);
}

void TfmMain::pkbPhaseBackupInAClick(TObject* sender) {
    ToggleClick(sender, "pkbPhase", true);
}

// A level from -60 to +12 dB, clamped as the mix levels are, goes to the channel page's fader, whose
// change moves its twin, writes both boxes, stores and sends the gain and shows it on the link group.
// Text that is no level, or the gain already set, puts the shown gain back.
void TfmMain::TypedGain(TObject* sender) {
    auto* box = dynamic_cast<TRoundEdit*>(sender);
    if (!box)
        return;
    auto* fader = Companion<TStTrackBar>("isGain", box->Tag());
    if (!fader)
        return;
    ConfirmTypedLevel(
        *box, 12.0, [fader] { return fader->Position(); }, [fader](int p) { fader->SetPosition(p); });
}

void TfmMain::cvdGainInAKeyDown(TObject* sender, std::uint16_t& key, TShiftState) {
    if (key == VK_RETURN)
        TypedGain(sender);
}

void TfmMain::cvdGainInAExit(TObject* sender) {
    TypedGain(sender);
}
