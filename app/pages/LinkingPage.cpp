// Link groups: the masks, channel copies, the resynchronisation after link changes, the page buttons'
// captions and the curve buttons of linked channels; the Link and Copy menu items.

#include "app/pages/LinkingPage.h"

#include "app/FCopy.h"
#include "app/FLinkSel.h"
#include "app/TimerComponent.h"
#include "app/pages/OverlaysPage.h"
#include "link/LCmd.h"
#include "link/LMainHost.h"
#include "panels/PkBmpButton.h"
#include "panels/led/LdPowerButton.h"

using namespace kv;

static TLinkingPage* LinkingOf(TfmMain& w) {
    return &w.Linking();
}

void TLinkingPage::Publish(TClassBuilder<TfmMain>& b) {
    b.Forward<TNotifyEvent>("LinkClick", LinkingOf, &TLinkingPage::LinkClick);
    b.Forward<TNotifyEvent>("CopyClick", LinkingOf, &TLinkingPage::CopyClick);
}

void TLinkingPage::Bind() {
    BindOne(linkMenu, "pkbMenuLink");
    BindSix(pageButtons, "pkbMenu");
    BindSix(geqButtons, "pkbGeqSel");
    for (int c = 0; c < 6; ++c) {
        const std::string mark = TfmMain::ChannelMark(c);
        BindOne(gainOverlays[static_cast<size_t>(c)], "ldbShow" + mark + "Gain");
        BindSix(overlays[static_cast<size_t>(c)], "ldbShow" + mark);
    }
}

namespace {

bool SameSide(int a, int b) {
    return a >= 0 && a <= 5 && b >= 0 && b <= 5 && (a <= 1) == (b <= 1);
}

} // namespace

void TLinkingPage::LinkClick(TObject*) {
    if (fmLinkSel)
        fmLinkSel->ShowModal();
}

void TLinkingPage::CopyClick(TObject*) {
    if (fmCopy)
        fmCopy->ShowModal();
}

void TLinkingPage::ShowLinksFromModel() {
    // The window's own creation refreshes before the dialog is made.
    if (!fmLinkSel)
        return;
    fmLinkSel->ShowModelLinks();
    fmLinkSel->UpdateOverlayButtons();
    fmLinkSel->UpdateLinkCaptions();
}

void TLinkingPage::SetChannelLinkMask(int channel, int mask) {
    if (Model())
        Model()->SetLinkMask(channel, static_cast<uint16_t>(mask));
}

void TLinkingPage::CopyChannelSettings(int source, int destination, bool full) {
    if (source == destination || !SameSide(source, destination) || !Model())
        return;
    if (host.IsConnected()) {
        // The unit copies; the model learns the result from the read-back that the next
        // acknowledgement starts.
        if (full)
            host.SetTransferState(tsResync);
        host.SendCommand(CM_MCS_CMD(static_cast<uint8_t>(host.GetDeviceId()), MCS_COPY_CHANNEL,
                                    static_cast<uint8_t>(source), static_cast<uint8_t>(destination)),
                         true);
        return;
    }
    if (!full) {
        // A channel joining a group: only it takes the master's settings, as on the unit; the group
        // it leaves keeps its own.
        Model()->CopyChannel(source, destination);
        return;
    }
    const int first = destination <= 1 ? 0 : 2;
    const int last = destination <= 1 ? 1 : 5;
    const int group = LinkGroupMask(destination);
    for (int k = first; k <= last; ++k)
        if (group >> (k - first) & 1)
            Model()->CopyChannel(source, k);
    w.RefreshAllPanels();
}

void TLinkingPage::ResyncAfterLink() {
    if (!host.IsConnected()) {
        w.RefreshAllPanels();
        return;
    }
    host.StopLevelPoll();
    host.SetTransferState(tsResync);
    host.SendCommand(CM_MCS_CMD(static_cast<uint8_t>(host.GetDeviceId()), MCS_KEEP_ALIVE), true);
    if (linkMenu && linkMenu->CanFocus())
        linkMenu->SetFocus();
}

void TLinkingPage::ShowLinkCaption(int master, int channel) {
    if (!SameSide(master, channel))
        return;
    auto* page = At(pageButtons, channel);
    if (!page)
        return;
    const std::string caption = master == channel
                                    ? TfmMain::ChannelSuffix(channel)
                                    : TfmMain::ChannelMark(channel) + "=" + TfmMain::ChannelMark(master);
    page->SetCaption(caption);
    if (channel <= 1)
        if (auto* geq = At(geqButtons, channel))
            geq->SetCaption(caption);
}

void TLinkingPage::SetOverlayButtonsVisible(int channel, bool visible) {
    if (channel < 0 || channel > 5 || !At(pageButtons, channel))
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
        w.Overlays().TakeOff(graph, static_cast<int>(button.Tag()), curve);
    };
    auto* gain = At(gainOverlays, channel);
    if (!gain)
        return;
    apply(*gain, input ? kGainInGraph : kGainOutGraph, static_cast<int>(gain->Tag()));
    for (int d = first; d <= last; ++d) {
        if (d == channel)
            continue;
        auto* button = At(overlays[static_cast<size_t>(channel)], d);
        if (!button)
            return;
        apply(*button, d, SECTION_FIRST_OVERLAY + channel - first);
    }
}
