// The main window's side of linking: the page buttons' captions of members, the curve buttons of a
// member taken off every graph, and channel copies offline (onto a linked group, or onto the joining
// channel alone) and online (one command, the model left to the read-back).

#include "tests/editors/EditorFixture.h"
#include "app/link/MainLink.h"

#include "app/pages/LinkingPage.h"
#include "app/pages/OverlaysPage.h"
#include "panels/led/LdPowerButton.h"

namespace {

using namespace editortest;
using kv::TLdPowerButton;
using kv::TPkBmpButton;

class LinkingTest : public EditorFixture {
protected:
    bool Drawn(const char* graph, int curve) {
        kv::TPlotListMember* m = nullptr;
        return Graph(graph).Plots().Find(curve, m);
    }
    std::string Caption(const std::string& name) { return Get<TPkBmpButton>(name).Caption(); }
};

TEST_F(LinkingTest, ShowLinkCaptionNamesAMemberAfterItsMaster) {
    struct Case {
        int master, channel;
        const char* button;
        const char* caption;
    } cases[] = {
        {2, 4, "pkbMenuOut3", "3=1"},  {0, 1, "pkbMenuInB", "B=A"},  {0, 1, "pkbGeqSelInB", "B=A"},
        {3, 3, "pkbMenuOut2", "Out2"}, {4, 5, "pkbMenuOut4", "4=3"},
    };
    for (const Case& c : cases) {
        main->Linking().ShowLinkCaption(c.master, c.channel);
        EXPECT_EQ(Caption(c.button), c.caption) << c.master << " " << c.channel;
    }
    main->Linking().ShowLinkCaption(1, 1);
    EXPECT_EQ(Caption("pkbMenuInB"), "InB");
    EXPECT_EQ(Caption("pkbGeqSelInB"), "InB");
    // Channels of different sides are no master and member.
    main->Linking().ShowLinkCaption(0, 3);
    EXPECT_EQ(Caption("pkbMenuOut2"), "Out2");
}

TEST_F(LinkingTest, HidingAChannelsCurveButtonsTakesItsCurveOffEveryGraph) {
    const char* const buttons[] = {"ldbShow2Gain", "ldbShow2Out1", "ldbShow2Out3", "ldbShow2Out4"};
    for (const char* name : buttons)
        Get<TLdPowerButton>(name).SetActive(true);
    main->SetOverlaysDirty(3);
    for (const char* page : {"Out1", "Out3", "Out4", "Gain"})
        ShowPage(page);
    for (const char* graph : {"Out1", "Out3", "Out4"})
        ASSERT_TRUE(Drawn(graph, 40)) << graph;
    ASSERT_TRUE(Drawn("GainOut", 3));
    main->SetOverlaysDirty(3);

    main->Linking().SetOverlayButtonsVisible(3, false);
    for (const char* name : buttons) {
        EXPECT_FALSE(Get<TLdPowerButton>(name).Visible()) << name;
        EXPECT_FALSE(Get<TLdPowerButton>(name).Active()) << name;
    }
    for (const char* graph : {"Out1", "Out3", "Out4"})
        EXPECT_FALSE(Drawn(graph, 40)) << graph;
    EXPECT_FALSE(Drawn("GainOut", 3));
    for (int graph : {2, 4, 5, 7})
        EXPECT_EQ(main->Overlays().OverlayDirtyMask(graph) & 1u << 3, 0u) << graph;
    // Other channels' buttons stay.
    EXPECT_TRUE(Get<TLdPowerButton>("ldbShow1Out2").Visible());
    EXPECT_TRUE(Get<TLdPowerButton>("ldbShow3Gain").Visible());

    // Shown again, they stay off until the user switches them on.
    main->Linking().SetOverlayButtonsVisible(3, true);
    for (const char* name : buttons) {
        EXPECT_TRUE(Get<TLdPowerButton>(name).Visible()) << name;
        EXPECT_FALSE(Get<TLdPowerButton>(name).Active()) << name;
    }
}

TEST_F(LinkingTest, OfflineCopyGoesOntoTheGroupWhenFullAndOntoTheJoiningChannelOtherwise) {
    Model().SetGain(0, 330);
    Model().SetGain(1, 250);
    Model().SetGain(2, 200);
    Model().SetGain(3, 250);
    Model().SetGain(4, 250);
    // InB linked to InA; Out2 the master of Out3.
    Model().SetLinkMask(0, 0x3);
    Model().SetLinkMask(1, 0);
    Model().SetLinkMask(3, 0x6);
    Model().SetLinkMask(4, 0);
    main->RefreshAllPanels();

    // InA onto InB's group: InA onto itself (no change) and onto InB, then the refresh.
    main->Linking().CopyChannelSettings(0, 1, true);
    EXPECT_EQ(Model().GetGain(0), 330);
    EXPECT_EQ(Model().GetGain(1), 330);
    EXPECT_EQ(BoxText("cvdGainInB"), "+5.0dB");

    // Out3 joining Out1 takes Out1's settings; Out2, the master it leaves, keeps its own; no refresh.
    main->Linking().CopyChannelSettings(2, 4, false);
    EXPECT_EQ(Model().GetGain(4), 200);
    EXPECT_EQ(Model().GetGain(3), 250);
    EXPECT_EQ(BoxText("cvdGainOut3"), "-3.0dB");

    // Nothing for one channel onto itself or across the sides.
    const img::Image before = Model().Image();
    main->Linking().CopyChannelSettings(3, 3, true);
    main->Linking().CopyChannelSettings(0, 2, true);
    EXPECT_EQ(Model().Image(), before);
}

TEST_F(LinkingTest, OnlineCopySendsOneCommandAndLeavesTheModel) {
    unit.SetWord(kv::sim::off::ChannelRecord(2) + kv::sim::off::OutGain, 200);
    Connect();
    main->Linking().CopyChannelSettings(2, 5, false);
    EXPECT_EQ(main->MainLink().GetTransferState(), tsIdle);
    Step(50);
    ASSERT_EQ(unit.Received().size(), 1u);
    EXPECT_EQ(unit.Received()[0].code, sim::code::CopyChannel);
    EXPECT_EQ(unit.Received()[0].payload, (std::vector<uint8_t>{2, 5}));
    EXPECT_EQ(Model().GetGain(5), 280);
    EXPECT_EQ(unit.Word(kv::sim::off::ChannelRecord(5) + kv::sim::off::OutGain), 200);
}

} // namespace
