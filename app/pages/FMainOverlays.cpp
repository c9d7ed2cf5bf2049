// Curve overlays: the other channels' total curves on a channel graph and all six on the gain page's two
// graphs, brought up to date lazily by dirty masks when a page is shown; and the magnitude/phase switch
// of the six channel graphs.

#include "app/FMain.h"

#include "controls/LMyFFTDrawHpLp6dB.h"
#include "controls/MyPEQType8.h"
#include "panels/PkPanel.h"
#include "panels/led/LdPowerButton.h"
#include "platform/gui/StdButtons.h"

using namespace kv;

void TfmMain::PublishOverlays(TClassBuilder<TfmMain>& b) {
    b.Method<TNotifyEvent>("ldbShowBInAClick", &TfmMain::ldbShowBInAClick);
    b.Method<TNotifyEvent>("ldbShowAInBClick", &TfmMain::ldbShowAInBClick);
    b.Method<TNotifyEvent>("ldbShowAInCClick", &TfmMain::ldbShowAInCClick);
    b.Method<TNotifyEvent>("ldbShow2Out1Click", &TfmMain::ldbShow2Out1Click);
    b.Method<TNotifyEvent>("ldbShow1Out2Click", &TfmMain::ldbShow1Out2Click);
    b.Method<TNotifyEvent>("ldbShow1Out3Click", &TfmMain::ldbShow1Out3Click);
    b.Method<TNotifyEvent>("ldbShow1Out4Click", &TfmMain::ldbShow1Out4Click);
    b.Method<TNotifyEvent>("ldbShow1Out5Click", &TfmMain::ldbShow1Out5Click);
    b.Method<TNotifyEvent>("ldbShow1Out6Click", &TfmMain::ldbShow1Out6Click);
    b.Method<TNotifyEvent>("ldbShowAGainClick", &TfmMain::ldbShowAGainClick);
    b.Method<TNotifyEvent>("ldbShow1GainClick", &TfmMain::ldbShow1GainClick);
    b.Method<TNotifyEvent>("rbShowGainInAClick", &TfmMain::rbShowGainInAClick);
    b.Method<TNotifyEvent>("rbShowPhaseInAClick", &TfmMain::rbShowPhaseInAClick);
}

namespace {

CurveColour ChannelColour(int channel) {
    return static_cast<CurveColour>(OVERLAY_COLOURS[static_cast<size_t>(channel)]);
}

} // namespace

void TfmMain::SetOverlaysDirty(int ch) {
    if (ch < 0 || ch > 5)
        return;
    const int bit = 1 << ch;
    if (ch >= 2) {
        for (int g : {2, 3, 4, 5, kGainOutGraph})
            overlayDirty[static_cast<size_t>(g)] |= bit;
    } else {
        for (int g : {0, 1, kGainInGraph})
            overlayDirty[static_cast<size_t>(g)] |= bit;
    }
}

uint32_t TfmMain::OverlayDirtyMask(int graph) const {
    return graph >= 0 && graph < 8 ? static_cast<uint32_t>(overlayDirty[static_cast<size_t>(graph)]) : 0;
}

void TfmMain::RedrawGainPageOverlays() {
    Plot* gainIn = curvePlots[kGainInGraph].get();
    Plot* gainOut = curvePlots[kGainOutGraph].get();
    if (!gainIn || !gainOut)
        return;
    // The copies are made every time: the gain page shows each channel's curve as it is now.
    for (int c = 0; c <= 5; ++c) {
        if (Plot* source = curvePlots[static_cast<size_t>(c)].get())
            (c <= 1 ? gainIn : gainOut)->Section(c).CopyCurve(source->Section(SECTION_TOTAL).Curve());
    }
    for (int c = 0; c <= 5; ++c) {
        const int graph = c <= 1 ? kGainInGraph : kGainOutGraph;
        auto* button = Find<TLdPowerButton>("ldbShow" + ChannelMark(c) + "Gain");
        if (!button)
            return;
        int& mask = overlayDirty[static_cast<size_t>(graph)];
        if (button->Active() && (mask & 1 << c)) {
            mask &= ~(1 << c);
            (c <= 1 ? gainIn : gainOut)->ShowOverlay(c, ChannelColour(c));
        }
    }
    for (const char* name : {"fftDrawGainIn", "fftDrawGainOut"})
        if (auto* graph = Find<LMyFFTDrawHpLp6dB>(name))
            graph->UpdateCurvePage();
}

void TfmMain::RedrawChannelOverlays(int page) {
    // Only the six channel pages have overlays; the shared pages leave every mask as it is.
    if (page < pgInA || page > pgOut4)
        return;
    Plot* target = curvePlots[static_cast<size_t>(page)].get();
    auto* graph = Find<LMyFFTDrawHpLp6dB>(kCurveGraphNames[static_cast<size_t>(page)]);
    if (!target || !graph)
        return;
    const bool inputs = page <= pgInB;
    const int first = inputs ? 0 : 2, last = inputs ? 1 : 5;
    int& mask = overlayDirty[static_cast<size_t>(page)];
    for (int c = first; c <= last; ++c) {
        if (c == page)
            continue;
        auto* button = Find<TLdPowerButton>("ldbShow" + ChannelMark(c) + ChannelSuffix(page));
        if (!button)
            return;
        if (!(mask & 1 << c))
            continue;
        // A dirty curve is copied also while its button is off, so switching it on shows it current.
        mask &= ~(1 << c);
        const int section = SECTION_FIRST_OVERLAY + c - first;
        if (Plot* source = curvePlots[static_cast<size_t>(c)].get())
            target->Section(section).CopyCurve(source->Section(SECTION_TOTAL).Curve());
        if (button->Active())
            target->ShowOverlay(section, ChannelColour(c));
    }
    graph->UpdateCurvePage();
}

void TfmMain::OverlayClick(TObject* sender, int graphIndex) {
    auto* button = dynamic_cast<TLdPowerButton*>(sender);
    if (!button || graphIndex < 0 || graphIndex > kGainOutGraph)
        return;
    const int c = static_cast<int>(button->Tag());
    if (c < 0 || c > 5)
        return;
    Plot* plot = curvePlots[static_cast<size_t>(graphIndex)].get();
    auto* graph = Find<LMyFFTDrawHpLp6dB>(kCurveGraphNames[static_cast<size_t>(graphIndex)]);
    if (!plot || !graph)
        return;
    overlayDirty[static_cast<size_t>(graphIndex)] &= ~(1 << c);
    // The click shows what the section holds since the page was last shown; it copies nothing.
    const int section = graphIndex >= kGainInGraph ? c : SECTION_FIRST_OVERLAY + (c <= 1 ? c : c - 2);
    if (button->Active())
        plot->ShowOverlay(section, ChannelColour(c));
    else
        plot->RemoveOverlay(section);
    graph->UpdateCurvePage();
}

void TfmMain::ldbShowBInAClick(TObject* sender) {
    OverlayClick(sender, 0);
}
void TfmMain::ldbShowAInBClick(TObject* sender) {
    OverlayClick(sender, 1);
}
void TfmMain::ldbShow2Out1Click(TObject* sender) {
    OverlayClick(sender, 2);
}
void TfmMain::ldbShow1Out2Click(TObject* sender) {
    OverlayClick(sender, 3);
}
void TfmMain::ldbShow1Out3Click(TObject* sender) {
    OverlayClick(sender, 4);
}
void TfmMain::ldbShow1Out4Click(TObject* sender) {
    OverlayClick(sender, 5);
}
void TfmMain::ldbShowAGainClick(TObject* sender) {
    OverlayClick(sender, kGainInGraph);
}
void TfmMain::ldbShow1GainClick(TObject* sender) {
    OverlayClick(sender, kGainOutGraph);
}
// A third input and a fifth and sixth output do not exist on this unit: no button is bound to these.
void TfmMain::ldbShowAInCClick(TObject*) {}
void TfmMain::ldbShow1Out5Click(TObject*) {}
void TfmMain::ldbShow1Out6Click(TObject*) {}

void TfmMain::rbShowGainInAClick(TObject* sender) {
    ShowGraphMode(sender, 0);
}

void TfmMain::rbShowPhaseInAClick(TObject* sender) {
    ShowGraphMode(sender, 1);
}

void TfmMain::ShowGraphMode(TObject* sender, uint8_t mode) {
    auto* radio = dynamic_cast<TRadioButton*>(sender);
    if (!radio)
        return;
    const int c = static_cast<int>(radio->Tag());
    if (c < 0 || c > 5)
        return;
    Plot* plot = curvePlots[static_cast<size_t>(c)].get();
    // A click on the mode already shown does nothing.
    if (!plot || plot->GetCurveMode() == mode)
        return;
    plot->SetCurveMode(mode);
    const std::string s = ChannelSuffix(c);
    auto* graph = Find<LMyFFTDrawHpLp6dB>("fftDraw" + s);
    auto* table = Find<TMyPEQType8>("peqPeq" + s);
    auto* group = Find<TPkGroupBox>("pkgFft" + s);
    auto* other = Find<TRadioButton>((mode == 0 ? "rbShowPhase" : "rbShowGain") + s);
    if (!graph || !table || !group || !other)
        return;
    radio->Font()->SetColor(clYellow);
    other->Font()->SetColor(clSilver);

    ComputePeqCurve(graph);
    ComputeHighPassCurve(graph);
    ComputeLowPassCurve(graph);

    // Phase curves are in tens of degrees: the same -18..18 range reads as -180..180 degrees.
    graph->SetNumHorzGrid(mode == 0 ? 11 : 7);
    graph->SetYLabel(mode == 0 ? "dB" : "");
    graph->SetYLabelScale(mode == 0 ? 1.0 : 10.0);
    graph->SetYMax(18.0);
    graph->SetYMin(-18.0);

    const int r = table->GetNowIndex();
    if (r >= 0 && r < table->GetChannelNumber())
        plot->DrawSectionParam(table->GetTypeValue(r), r, table->GetGainValue(r), table->GetQValue(r), true);
    else // no band selected: no band display to show
        plot->DrawSectionParam(1, 0, 0.0, Q_GRID[0], false);
    graph->UpdateCurvePage();
    group->Repaint();

    SetOverlaysDirty(c);
    RedrawChannelOverlays(c);
}

void TfmMain::RepaintChannelGraphs() {
    for (int c = 0; c <= 5; ++c)
        if (auto* graph = Find<LMyFFTDrawHpLp6dB>(kCurveGraphNames[static_cast<size_t>(c)]))
            graph->Repaint();
}
