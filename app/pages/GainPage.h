#pragma once
// Gain, mute and polarity of every channel. Each control is there twice, on the channel's own page and
// on the gain page ("Backup"); one handler serves the six channels of a kind, and the twins follow each
// other. The channel is the sender's Tag.

#include "app/pages/Page.h"

namespace kv {
class TPkBmpButton;
class TRoundEdit;
class TStTrackBar;
} // namespace kv

class TGainPage : public TPage {
public:
    using TPage::TPage;
    static void Publish(kv::TClassBuilder<TfmMain>& b);
    void Bind() override;

    void isGainInAChange(kv::TObject* sender);
    void isGainBackupInAChange(kv::TObject* sender);
    void pkbMuteInAClick(kv::TObject* sender);
    void pkbMuteBackupInAClick(kv::TObject* sender);
    void pkbPhaseInAClick(kv::TObject* sender);
    void pkbPhaseBackupInAClick(kv::TObject* sender);
    // Typed gains in either value box of a channel: Enter or leaving the box.
    void cvdGainInAKeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdGainInAExit(kv::TObject* sender);

    // A channel's gain, mute or polarity shown on both its controls, sending nothing (the link group's
    // mirrors); false when one of them is missing.
    bool ShowGain(int channel, int position, const std::string& text);
    bool ShowMute(int channel, bool on);
    bool ShowPolarity(int channel, bool on, const std::string& caption);
    // The refresh: a channel's gain and polarity, and its mute, from the model.
    void FillLevels(TFill& f, int channel, const LUnitControl& m);
    void FillMute(TFill& f, int channel, bool muted);

private:
    void GainEdit(kv::TObject* sender, bool fromBackup);
    void TypedGain(kv::TObject* sender);
    void ToggleClick(kv::TObject* sender, bool fromBackup, bool polarity);

    TSix<kv::TStTrackBar> fader{}, backupFader{};
    TSix<kv::TRoundEdit> box{}, backupBox{};
    TSix<kv::TPkBmpButton> mute{}, backupMute{}, phase{}, backupPhase{};
};
