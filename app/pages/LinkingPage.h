#pragma once
// Link groups: the masks, channel copies, the resynchronisation after link changes, the page buttons'
// captions and the curve buttons of linked channels, the Link and Copy menu items; and the mirrors,
// which show an edit of one channel on every channel of its group (LinkingMirrors.cpp).

#include "app/pages/Page.h"

class LMainHost;
namespace kv {
class TLdPowerButton;
class TPkBmpButton;
} // namespace kv

class TLinkingPage : public TPage {
public:
    TLinkingPage(TfmMain& window, LMainHost& linkHost) : TPage(window), host(linkHost) {}
    static void Publish(kv::TClassBuilder<TfmMain>& b);
    void Bind() override;

    // The Link and Copy menu items: the dialogs, modally.
    void LinkClick(kv::TObject* sender);
    void CopyClick(kv::TObject* sender);
    // Called at the end of every panel refresh: the link dialog's grid, the curve buttons and the page
    // buttons' captions from the model's link masks. Nothing while the dialog does not exist yet.
    void ShowLinksFromModel();
    // Stores a channel's link mask; the model sends it, forced, unless the view is updating.
    void SetChannelLinkMask(int channel, int mask);
    // Copies one channel's settings onto another of its side. Online the unit copies and, with `full`,
    // a read-back follows the next acknowledgement; offline the model copies and, with `full`, the
    // panels are refreshed. Offline a full copy goes onto the destination's whole link group; a copy
    // without `full` (a channel joining a group) onto the destination alone, as the unit does.
    void CopyChannelSettings(int source, int destination, bool full);
    // After link changes: online a read-back through the next acknowledgement, offline a refresh.
    void ResyncAfterLink();
    // The caption of the channel's page button (and, for an input, its graphic-EQ button): its own
    // name when it is the master, else "3=1" (channel, "=", master).
    void ShowLinkCaption(int master, int channel);
    // Shows or hides the buttons that put the channel's curve on the gain page's graph and on the other
    // channels' graphs; hiding switches them off and takes the curve off those graphs.
    void SetOverlayButtonsVisible(int channel, bool visible);

    // The link mask of the group that holds the channel (its own bit when no group does).
    int LinkGroupMask(int ch) const;
    // A value shown on the controls of every channel of the channel's link group, the channel's own
    // included, under the updating-view flag: nothing they run sends. The values are control positions:
    // gain fader position (-280..120), delay samples with the indicator's left, dynamics fader or up-down
    // positions by field (compressor 0 threshold, 1 attack, 2 release, 3 ratio, 4 knee; limiter 0..2
    // likewise, 3 knee; gate 0 threshold, 1 attack, 2 release, 3 hold). The ratio and knee fields write
    // the group's other channels only: the edited one's own handler wrote its box.
    void MirrorGainToLinked(int channel, int position);
    void MirrorDelayToLinked(int channel, int samples, int indicatorLeft);
    void MirrorCompToLinked(int channel, int field, int value);
    void MirrorGateToLinked(int channel, int field, int value);
    void MirrorLimitToLinked(int channel, int field, int value);
    void MirrorPhaseToLinked(int channel, bool on);
    void MirrorMuteToLinked(int channel, bool on);

private:
    // Runs `each` on the channels of the channel's group, ascending, until it returns false.
    void ForGroup(int channel, const std::function<bool(int)>& each) const;
    void MirrorDynamics(int block, int channel, int field, int value);

    LMainHost& host;
    kv::TPkBmpButton* linkMenu = nullptr;
    TSix<kv::TPkBmpButton> pageButtons{}, geqButtons{};
    // The buttons that put channel c's curve on the gain page's graph, and on channel d's graph.
    TSix<kv::TLdPowerButton> gainOverlays{};
    std::array<TSix<kv::TLdPowerButton>, 6> overlays{};
};
