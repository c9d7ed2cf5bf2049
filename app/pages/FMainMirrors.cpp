// Link groups on screen: an edit reaches the model and the unit once, for the edited channel, and the
// mirrors then show the value on every channel of its group. They fill controls under the updating-view
// flag, so the handlers those controls run send nothing.

#include "app/FMain.h"

#include "panels/PkBmpButton.h"
#include "platform/gui/StdBars.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/StdPanels.h"
#include "styled/RoundControls.h"
#include "styled/StTrackBar.h"

#include <algorithm>

using namespace kv;

namespace {

// The channels of `channel`'s side whose bit is in `group`, ascending.
template <class F> void ForGroup(int channel, int group, F&& each) {
    const int first = channel <= 1 ? 0 : 2;
    const int last = channel <= 1 ? 1 : 5;
    for (int d = first; d <= last; ++d)
        if (group >> (d - first) & 1)
            if (!each(d))
                return;
}

} // namespace

int TfmMain::LinkGroupMask(int ch) const {
    return unitControl ? unitControl->GroupMask(ch) : 0;
}

std::string TfmMain::DelayLineText(int indicatorLeft) {
    return std::string(static_cast<size_t>(std::clamp((indicatorLeft - 40) / 6, 0, 132)), '-');
}

void TfmMain::PressEndKey(TRoundEdit& box) {
    std::uint16_t key = VK_END;
    if (box.OnKeyDown)
        box.OnKeyDown(&box, key, {});
    key = VK_END;
    if (box.OnKeyUp)
        box.OnKeyUp(&box, key, {});
}

void TfmMain::MirrorGainToLinked(int channel, int position) {
    UpdatingViewGuard updating(*this);
    const std::string text = LevelIndexText(position);
    ForGroup(channel, LinkGroupMask(channel), [&](int d) {
        const std::string s = ChannelSuffix(d);
        auto* box = Find<TRoundEdit>("cvdGain" + s);
        auto* backupBox = Find<TRoundEdit>("cvdGainBackup" + s);
        auto* fader = Find<TStTrackBar>("isGain" + s);
        auto* backupFader = Find<TStTrackBar>("isGainBackup" + s);
        if (!box || !backupBox || !fader || !backupFader)
            return false;
        box->SetText(text);
        backupBox->SetText(text);
        fader->SetPosition(position);
        backupFader->SetPosition(position);
        return true;
    });
}

void TfmMain::MirrorDelayToLinked(int channel, int samples, int indicatorLeft) {
    if (!unitControl)
        return;
    UpdatingViewGuard updating(*this);
    const std::string text = DelayText(samples, unitControl->GetDelayUnit());
    const std::string line = DelayLineText(indicatorLeft);
    ForGroup(channel, LinkGroupMask(channel), [&](int d) {
        const std::string s = ChannelSuffix(d);
        auto* box = Find<TRoundEdit>("cvdDelay" + s);
        auto* fader = Find<TStTrackBar>("isDelay" + s);
        auto* indicator = Find<TImage>("imDelay" + s);
        auto* time = Find<TLabel>("lbFftDelayTime" + s);
        auto* dashes = Find<TLabel>("lbDelayLine" + s);
        if (!box || !fader || !indicator || !time || !dashes)
            return false;
        indicator->SetLeft(indicatorLeft);
        time->SetLeft(indicatorLeft + indicator->Width());
        dashes->SetCaption(line);
        box->SetText(text);
        time->SetCaption(text);
        fader->SetPosition(samples);
        return true;
    });
}

namespace {

// One dynamics field on a strip: a fader or an up-down, and its value box.
struct DynamicsField {
    const char* stem;
    bool upDown;
    bool othersOnly;
    std::string (*text)(int);
};

std::string LevelText(int v) {
    return ThresholdText(v);
}
std::string PaddedTime(int v) {
    return TimeText(v, true);
}
std::string PlainTime(int v) {
    return TimeText(v, false);
}

constexpr DynamicsField kCompFields[] = {
    {"CompThreshold", false, false, LevelText}, {"CompAttack", false, false, PaddedTime},
    {"CompRelease", false, false, PaddedTime},  {"CompRatio", true, true, RatioText},
    {"CompKnee", true, true, KneeText},
};
constexpr DynamicsField kLimitFields[] = {
    {"LimitThreshold", false, false, LevelText},
    {"LimitAttack", false, false, PaddedTime},
    {"LimitRelease", false, false, PaddedTime},
    {"LimitKnee", true, true, KneeText},
};
constexpr DynamicsField kGateFields[] = {
    {"GateThreshold", false, false, LevelText},
    {"GateAttack", false, false, PlainTime},
    {"GateRelease", false, false, PlainTime},
    {"GateHold", false, false, PlainTime},
};

} // namespace

// The shared body of the three dynamics mirrors.
template <size_t N>
static void MirrorDynamics(TfmMain& w, const DynamicsField (&fields)[N], int channel, int field, int value) {
    if (field < 0 || field >= static_cast<int>(N))
        return;
    const DynamicsField& f = fields[field];
    TfmMain::UpdatingViewGuard updating(w);
    const std::string text = f.text(value);
    ForGroup(channel, w.LinkGroupMask(channel), [&](int d) {
        if (f.othersOnly && d == channel)
            return true;
        const std::string s = TfmMain::ChannelSuffix(d);
        auto* box = w.Find<TRoundEdit>(std::string("cvd") + f.stem + s);
        if (f.upDown) {
            auto* ud = w.Find<TUpDown>(std::string("ud") + f.stem + s);
            if (!ud || !box)
                return false;
            ud->SetPosition(value);
        } else {
            auto* fader = w.Find<TStTrackBar>(std::string("is") + f.stem + s);
            if (!fader || !box)
                return false;
            fader->SetPosition(value);
        }
        box->SetText(text);
        return true;
    });
}

void TfmMain::MirrorCompToLinked(int channel, int field, int value) {
    if (channel >= 2 && channel <= 5)
        MirrorDynamics(*this, kCompFields, channel, field, value);
}

void TfmMain::MirrorLimitToLinked(int channel, int field, int value) {
    if (channel >= 2 && channel <= 5)
        MirrorDynamics(*this, kLimitFields, channel, field, value);
}

void TfmMain::MirrorGateToLinked(int channel, int field, int value) {
    if (channel == 0 || channel == 1)
        MirrorDynamics(*this, kGateFields, channel, field, value);
}

// The buttons' Down setter raises no click, so these two need no updating flag.
void TfmMain::MirrorPhaseToLinked(int channel, bool on) {
    const std::string caption = GetLangText(on ? "SID_PHASE_ON" : "SID_PHASE_OFF");
    ForGroup(channel, LinkGroupMask(channel), [&](int d) {
        const std::string s = ChannelSuffix(d);
        auto* button = Find<TPkBmpButton>("pkbPhase" + s);
        auto* backup = Find<TPkBmpButton>("pkbPhaseBackup" + s);
        if (!button || !backup)
            return false;
        button->SetDown(on);
        backup->SetDown(on);
        button->SetCaption(caption);
        backup->SetCaption(caption);
        return true;
    });
}

void TfmMain::MirrorMuteToLinked(int channel, bool on) {
    ForGroup(channel, LinkGroupMask(channel), [&](int d) {
        const std::string s = ChannelSuffix(d);
        auto* button = Find<TPkBmpButton>("pkbMute" + s);
        auto* backup = Find<TPkBmpButton>("pkbMuteBackup" + s);
        if (!button || !backup)
            return false;
        button->SetDown(on);
        backup->SetDown(on);
        return true;
    });
}
