// Link groups on screen: an edit reaches the model and the unit once, for the edited channel, and the
// mirrors then show the value on every channel of its group. They fill controls under the updating-view
// flag, so the handlers those controls run send nothing; each page shows the value on its own controls.

#include "app/pages/LinkingPage.h"

#include "app/pages/DelayPage.h"
#include "app/pages/DynamicsPage.h"
#include "app/pages/GainPage.h"
#include "link/Scales.h"

using namespace kv;

int TLinkingPage::LinkGroupMask(int ch) const {
    return Model() ? Model()->GroupMask(ch) : 0;
}

void TLinkingPage::ForGroup(int channel, const std::function<bool(int)>& each) const {
    const int group = LinkGroupMask(channel);
    const int first = channel <= 1 ? 0 : 2;
    const int last = channel <= 1 ? 1 : 5;
    for (int d = first; d <= last; ++d)
        if (group >> (d - first) & 1)
            if (!each(d))
                return;
}

void TLinkingPage::MirrorGainToLinked(int channel, int position) {
    TfmMain::UpdatingViewGuard updating(w);
    const std::string text = LevelIndexText(position);
    ForGroup(channel, [&](int d) { return w.Gain().ShowGain(d, position, text); });
}

void TLinkingPage::MirrorDelayToLinked(int channel, int samples, int indicatorLeft) {
    if (!Model())
        return;
    TfmMain::UpdatingViewGuard updating(w);
    const std::string text = DelayText(samples, Model()->GetDelayUnit());
    const std::string line = TDelayPage::DelayLineText(indicatorLeft);
    ForGroup(channel, [&](int d) { return w.Delay().ShowDelay(d, samples, indicatorLeft, text, line); });
}

// The shared body of the three dynamics mirrors.
void TLinkingPage::MirrorDynamics(int block, int channel, int field, int value) {
    TDynamicsPage& dynamics = w.Dynamics();
    const auto strip = static_cast<TDynamicsPage::Block>(block);
    if (field < 0 || field >= dynamics.FieldCount(strip))
        return;
    TfmMain::UpdatingViewGuard updating(w);
    const std::string text = dynamics.FieldText(strip, field, value);
    const bool othersOnly = dynamics.FieldForOthersOnly(strip, field);
    ForGroup(channel, [&](int d) {
        if (othersOnly && d == channel)
            return true;
        return dynamics.ShowField(strip, d, field, value, text);
    });
}

void TLinkingPage::MirrorCompToLinked(int channel, int field, int value) {
    if (channel >= 2 && channel <= 5)
        MirrorDynamics(TDynamicsPage::comp, channel, field, value);
}

void TLinkingPage::MirrorLimitToLinked(int channel, int field, int value) {
    if (channel >= 2 && channel <= 5)
        MirrorDynamics(TDynamicsPage::limit, channel, field, value);
}

void TLinkingPage::MirrorGateToLinked(int channel, int field, int value) {
    if (channel == 0 || channel == 1)
        MirrorDynamics(TDynamicsPage::gate, channel, field, value);
}

// The buttons' Down setter raises no click, so these two need no updating flag.
void TLinkingPage::MirrorPhaseToLinked(int channel, bool on) {
    const std::string caption = w.GetLangText(on ? "SID_PHASE_ON" : "SID_PHASE_OFF");
    ForGroup(channel, [&](int d) { return w.Gain().ShowPolarity(d, on, caption); });
}

void TLinkingPage::MirrorMuteToLinked(int channel, bool on) {
    ForGroup(channel, [&](int d) { return w.Gain().ShowMute(d, on); });
}
