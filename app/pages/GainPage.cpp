// Gain, mute and polarity: a fader, a button or a typed gain of either twin stores and sends the
// channel's value, and its link group shows it. A gain typed into either value box moves the faders as a
// drag would.

#include "app/pages/GainPage.h"

#include "app/pages/LinkingPage.h"
#include "link/Scales.h"
#include "panels/PkBmpButton.h"
#include "styled/RoundControls.h"
#include "styled/StTrackBar.h"

using namespace kv;

static TGainPage* GainOf(TfmMain& w) {
    return &w.Gain();
}

void TGainPage::Publish(TClassBuilder<TfmMain>& b) {
    b.Forward<TNotifyEvent>("isGainInAChange", GainOf, &TGainPage::isGainInAChange);
    b.Forward<TNotifyEvent>("isGainBackupInAChange", GainOf, &TGainPage::isGainBackupInAChange);
    b.Forward<TNotifyEvent>("pkbMuteInAClick", GainOf, &TGainPage::pkbMuteInAClick);
    b.Forward<TNotifyEvent>("pkbMuteBackupInAClick", GainOf, &TGainPage::pkbMuteBackupInAClick);
    b.Forward<TNotifyEvent>("pkbPhaseInAClick", GainOf, &TGainPage::pkbPhaseInAClick);
    b.Forward<TNotifyEvent>("pkbPhaseBackupInAClick", GainOf, &TGainPage::pkbPhaseBackupInAClick);
    b.Forward<TKeyEvent>("cvdGainInAKeyDown", GainOf, &TGainPage::cvdGainInAKeyDown);
    b.Forward<TNotifyEvent>("cvdGainInAExit", GainOf, &TGainPage::cvdGainInAExit);
}

void TGainPage::Bind() {
    BindSix(fader, "isGain");
    BindSix(backupFader, "isGainBackup");
    BindSix(box, "cvdGain");
    BindSix(backupBox, "cvdGainBackup");
    BindSix(mute, "pkbMute");
    BindSix(backupMute, "pkbMuteBackup");
    BindSix(phase, "pkbPhase");
    BindSix(backupPhase, "pkbPhaseBackup");
}

void TGainPage::GainEdit(TObject* sender, bool fromBackup) {
    if (Updating() || !Model())
        return;
    auto* moved = dynamic_cast<TStTrackBar*>(sender);
    if (!moved)
        return;
    const int c = moved->Tag();
    auto* gainBox = At(box, c);
    auto* gainBackupBox = At(backupBox, c);
    auto* twin = At(fromBackup ? fader : backupFader, c);
    if (!gainBox || !gainBackupBox || !twin)
        return;
    const int p = moved->Position();
    // A twin that moves runs this handler from its side first, with the same position.
    twin->SetPosition(p);
    const std::string text = LevelIndexText(p);
    gainBox->SetText(text);
    gainBackupBox->SetText(text);
    Model()->SetGain(c, static_cast<uint16_t>(p - moved->Min()));
    w.Linking().MirrorGainToLinked(c, p);
}

void TGainPage::isGainInAChange(TObject* sender) {
    GainEdit(sender, false);
}

void TGainPage::isGainBackupInAChange(TObject* sender) {
    GainEdit(sender, true);
}

// Mute and polarity buttons toggle themselves before their click; the twin takes the new state.
void TGainPage::ToggleClick(TObject* sender, bool fromBackup, bool polarity) {
    auto* button = dynamic_cast<TPkBmpButton*>(sender);
    if (!button || !Model())
        return;
    const int c = button->Tag();
    auto* twin = polarity ? At(fromBackup ? phase : backupPhase, c) : At(fromBackup ? mute : backupMute, c);
    if (!twin)
        return;
    const bool on = button->Down();
    twin->SetDown(on);
    if (!polarity) {
        Model()->SetMute(c, on);
        w.Linking().MirrorMuteToLinked(c, on);
        return;
    }
    button->SetCaption(w.GetLangText(on ? "SID_PHASE_ON" : "SID_PHASE_OFF"));
    twin->SetCaption(button->Caption());
    Model()->SetPolarity(c, on ? 1 : 0);
    w.Linking().MirrorPhaseToLinked(c, on);
}

void TGainPage::pkbMuteInAClick(TObject* sender) {
    ToggleClick(sender, false, false);
}

void TGainPage::pkbMuteBackupInAClick(TObject* sender) {
    ToggleClick(sender, true, false);
}

void TGainPage::pkbPhaseInAClick(TObject* sender) {
    ToggleClick(sender, false, true);
}

void TGainPage::pkbPhaseBackupInAClick(TObject* sender) {
    ToggleClick(sender, true, true);
}

// A level from -60 to +12 dB, clamped as the mix levels are, goes to the channel page's fader, whose
// change moves its twin, writes both boxes, stores and sends the gain and shows it on the link group.
// Text that is no level, or the gain already set, puts the shown gain back.
void TGainPage::TypedGain(TObject* sender) {
    auto* typed = dynamic_cast<TRoundEdit*>(sender);
    if (!typed)
        return;
    auto* gain = At(fader, static_cast<int>(typed->Tag()));
    if (!gain)
        return;
    ConfirmTypedLevel(
        *typed, 12.0, [gain] { return gain->Position(); }, [gain](int p) { gain->SetPosition(p); });
}

void TGainPage::cvdGainInAKeyDown(TObject* sender, std::uint16_t& key, TShiftState) {
    if (key == VK_RETURN)
        TypedGain(sender);
}

void TGainPage::cvdGainInAExit(TObject* sender) {
    TypedGain(sender);
}

bool TGainPage::ShowGain(int channel, int position, const std::string& text) {
    auto* b = At(box, channel);
    auto* bb = At(backupBox, channel);
    auto* f = At(fader, channel);
    auto* bf = At(backupFader, channel);
    if (!b || !bb || !f || !bf)
        return false;
    b->SetText(text);
    bb->SetText(text);
    f->SetPosition(position);
    bf->SetPosition(position);
    return true;
}

// The buttons' Down setter raises no click, so these two need no updating flag.
bool TGainPage::ShowMute(int channel, bool on) {
    auto* button = At(mute, channel);
    auto* backup = At(backupMute, channel);
    if (!button || !backup)
        return false;
    button->SetDown(on);
    backup->SetDown(on);
    return true;
}

bool TGainPage::ShowPolarity(int channel, bool on, const std::string& caption) {
    auto* button = At(phase, channel);
    auto* backup = At(backupPhase, channel);
    if (!button || !backup)
        return false;
    button->SetDown(on);
    backup->SetDown(on);
    button->SetCaption(caption);
    backup->SetCaption(caption);
    return true;
}

void TGainPage::FillLevels(TFill& f, int channel, const LUnitControl& m) {
    const int gain = f.Fader(At(fader, channel), m.GetGain(channel), true);
    f.Fader(At(backupFader, channel), gain);
    f.Box(At(box, channel), LevelIndexText(gain));
    f.Box(At(backupBox, channel), LevelIndexText(gain));

    const bool inverted = m.GetPolarity(channel);
    const std::string caption = w.GetLangText(inverted ? "SID_PHASE_ON" : "SID_PHASE_OFF");
    for (TPkBmpButton* button : {At(phase, channel), At(backupPhase, channel)}) {
        if (auto* b = f.Take(button)) {
            b->SetDown(inverted);
            b->SetCaption(caption);
        }
    }
}

void TGainPage::FillMute(TFill& f, int channel, bool muted) {
    f.Down(At(mute, channel), muted);
    f.Down(At(backupMute, channel), muted);
}
