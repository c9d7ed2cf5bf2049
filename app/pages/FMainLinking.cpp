// Link groups: the masks, channel copies, the resynchronisation after link changes, the page buttons'
// captions and the curve buttons of linked channels; the Link and Copy menu items.

#include "app/FMain.h"

#include "app/FCopy.h"
#include "app/FLinkSel.h"
#include "app/TimerComponent.h"
#include "link/LCmd.h"
#include "panels/PkBmpButton.h"
#include "panels/led/LdPowerButton.h"

using namespace kv;

void TfmMain::PublishLinking(TClassBuilder<TfmMain>& b) {
    b.Method<TNotifyEvent>("LinkClick", &TfmMain::LinkClick);
    b.Method<TNotifyEvent>("CopyClick", &TfmMain::CopyClick);
}

namespace {

bool SameSide(int a, int b) {
    return a >= 0 && a <= 5 && b >= 0 && b <= 5 && (a <= 1) == (b <= 1);
}

} // namespace

void TfmMain::LinkClick(TObject*) {
    if (fmLinkSel)
        fmLinkSel->ShowModal();
}

void TfmMain::CopyClick(TObject*) {
    if (fmCopy)
        fmCopy->ShowModal();
}

void TfmMain::ShowLinksFromModel() {
    // The window's own creation refreshes before the dialog is made.
    if (!fmLinkSel)
        return;
    fmLinkSel->ShowModelLinks();
    fmLinkSel->UpdateOverlayButtons();
    fmLinkSel->UpdateLinkCaptions();
}

void TfmMain::SetChannelLinkMask(int channel, int mask) {
    if (unitControl)
        unitControl->SetLinkMask(channel, static_cast<uint16_t>(mask));
}

void TfmMain::CopyChannelSettings(int source, int destination, bool full) {
    if (source == destination || !SameSide(source, destination) || !unitControl)
        return;
    if (IsConnected()) {
        // The unit copies; the model learns the result from the read-back that the next
        // acknowledgement starts.
        if (full)
            SetTransferState(tsResync);
        SendCommand(CM_MCS_CMD(static_cast<uint8_t>(GetDeviceId()), MCS_COPY_CHANNEL, static_cast<uint8_t>(source),
                               static_cast<uint8_t>(destination)),
                    true);
        return;
    }
    if (!full) {
        // A channel joining a group: only it takes the master's settings, as on the unit; the group
        // it leaves keeps its own.
        unitControl->CopyChannel(source, destination);
        return;
    }
    const int first = destination <= 1 ? 0 : 2;
    const int last = destination <= 1 ? 1 : 5;
    const int group = LinkGroupMask(destination);
    for (int k = first; k <= last; ++k)
        if (group >> (k - first) & 1)
            unitControl->CopyChannel(source, k);
    RefreshAllPanels();
}

void TfmMain::ResyncAfterLink() {
    if (!IsConnected()) {
        RefreshAllPanels();
        return;
    }
    StopLevelPoll();
    SetTransferState(tsResync);
    SendCommand(CM_MCS_CMD(static_cast<uint8_t>(GetDeviceId()), MCS_KEEP_ALIVE), true);
    if (auto* link = Find<TPkBmpButton>("pkbMenuLink"))
        if (link->CanFocus())
            link->SetFocus();
}

void TfmMain::ShowLinkCaption(int master, int channel) {
    if (!SameSide(master, channel))
        return;
    const std::string s = ChannelSuffix(channel);
    auto* page = Find<TPkBmpButton>("pkbMenu" + s);
    if (!page)
        return;
    const std::string caption = master == channel ? s : ChannelMark(channel) + "=" + ChannelMark(master);
    page->SetCaption(caption);
    if (channel <= 1)
        if (auto* geq = Find<TPkBmpButton>("pkbGeqSel" + s))
            geq->SetCaption(caption);
}

void TfmMain::SetOverlayButtonsVisible(int channel, bool visible) {
    if (channel < 0 || channel > 5 || !Find<TPkBmpButton>("pkbMenu" + ChannelSuffix(channel)))
        return;
    const bool input = channel <= 1;
    const int first = input ? 0 : 2;
    const int last = input ? 1 : 5;
    // Hiding also switches the button off and takes the curve off its graph: nothing shows a curve
    // whose button cannot be seen.
    auto apply = [&](TLdPowerButton& button, int graph, int curve) {
        button.SetVisible(visible);
        if (visible)
            return;
        button.SetActive(false);
        overlayDirty[static_cast<size_t>(graph)] &= ~(1 << button.Tag());
        if (Plot* plot = curvePlots[static_cast<size_t>(graph)].get())
            plot->RemoveOverlay(curve);
    };
    const std::string mark = ChannelMark(channel);
    auto* gain = Find<TLdPowerButton>("ldbShow" + mark + "Gain");
    if (!gain)
        return;
    apply(*gain, input ? kGainInGraph : kGainOutGraph, static_cast<int>(gain->Tag()));
    for (int d = first; d <= last; ++d) {
        if (d == channel)
            continue;
        auto* button = Find<TLdPowerButton>("ldbShow" + mark + ChannelSuffix(d));
        if (!button)
            return;
        apply(*button, d, SECTION_FIRST_OVERLAY + channel - first);
    }
}
