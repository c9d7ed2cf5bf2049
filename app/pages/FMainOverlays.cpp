// The overlays page: the other channels' total curves on a channel graph and all six on the gain page's
// two graphs, brought up to date lazily by dirty masks when a page is shown; and the magnitude/phase
// switch of the six channel graphs.

#include "app/pages/OverlaysPage.h"

#include "app/pages/PeqPage.h"
#include "controls/LMyFFTDrawHpLp6dB.h"
#include "controls/MyPEQType8.h"
#include "panels/PkPanel.h"
#include "panels/led/LdPowerButton.h"
#include "platform/gui/StdButtons.h"

using namespace kv;

namespace {

TOverlaysPage* OverlaysOf(TfmMain& w) {
    return &w.Overlays();
}

} // namespace

void TOverlaysPage::Publish(TClassBuilder<TfmMain>& b) {
    b.Forward<TNotifyEvent>("ldbShowBInAClick", OverlaysOf, &TOverlaysPage::ldbShowBInAClick);
    b.Forward<TNotifyEvent>("ldbShowAInBClick", OverlaysOf, &TOverlaysPage::ldbShowAInBClick);
    b.Forward<TNotifyEvent>("ldbShowAInCClick", OverlaysOf, &TOverlaysPage::ldbShowAInCClick);
    b.Forward<TNotifyEvent>("ldbShow2Out1Click", OverlaysOf, &TOverlaysPage::ldbShow2Out1Click);
    b.Forward<TNotifyEvent>("ldbShow1Out2Click", OverlaysOf, &TOverlaysPage::ldbShow1Out2Click);
    b.Forward<TNotifyEvent>("ldbShow1Out3Click", OverlaysOf, &TOverlaysPage::ldbShow1Out3Click);
    b.Forward<TNotifyEvent>("ldbShow1Out4Click", OverlaysOf, &TOverlaysPage::ldbShow1Out4Click);
    b.Forward<TNotifyEvent>("ldbShow1Out5Click", OverlaysOf, &TOverlaysPage::ldbShow1Out5Click);
    b.Forward<TNotifyEvent>("ldbShow1Out6Click", OverlaysOf, &TOverlaysPage::ldbShow1Out6Click);
    b.Forward<TNotifyEvent>("ldbShowAGainClick", OverlaysOf, &TOverlaysPage::ldbShowAGainClick);
    b.Forward<TNotifyEvent>("ldbShow1GainClick", OverlaysOf, &TOverlaysPage::ldbShow1GainClick);
    b.Forward<TNotifyEvent>("rbShowGainInAClick", OverlaysOf, &TOverlaysPage::rbShowGainInAClick);
    b.Forward<TNotifyEvent>("rbShowPhaseInAClick", OverlaysOf, &TOverlaysPage::rbShowPhaseInAClick);
}

namespace {

CurveColour ChannelColour(int channel) {
    return static_cast<CurveColour>(OVERLAY_COLOURS[static_cast<size_t>(channel)]);
}

} // namespace

TOverlaysPage::TOverlaysPage(TfmMain& window) : w(window) {}

void TOverlaysPage::Bind() {
    for (size_t g = 0; g < graphs.size(); ++g)
        graphs[g] = w.Find<LMyFFTDrawHpLp6dB>(kCurveGraphNames[g]);
    for (int c = 0; c <= 5; ++c) {
        const std::string mark = TfmMain::ChannelMark(c);
        gainButtons[static_cast<size_t>(c)] = w.Find<TLdPowerButton>("ldbShow" + mark + "Gain");
        for (int p = 0; p <= 5; ++p)
            if (p != c)
                channelButtons[static_cast<size_t>(p)][static_cast<size_t>(c)] =
                    w.Find<TLdPowerButton>("ldbShow" + mark + TfmMain::ChannelSuffix(p));
        ModeControls& m = modes[static_cast<size_t>(c)];
        m.table = w.Companion<TMyPEQType8>("peqPeq", c);
        m.group = w.Companion<TPkGroupBox>("pkgFft", c);
        m.magnitude = w.Companion<TRadioButton>("rbShowGain", c);
        m.phase = w.Companion<TRadioButton>("rbShowPhase", c);
    }
}

void TOverlaysPage::SetOverlaysDirty(int ch) {
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

void TOverlaysPage::MarkAllDirty(int graph) {
    if (graph == kGainInGraph || graph == kGainOutGraph)
        overlayDirty[static_cast<size_t>(graph)] = 0x0FFF;
}

void TOverlaysPage::TakeOff(int graph, int channel, int section) {
    if (graph < 0 || graph > kGainOutGraph)
        return;
    overlayDirty[static_cast<size_t>(graph)] &= ~(1 << channel);
    if (Plot* plot = w.CurvePlot(graph))
        plot->RemoveOverlay(section);
}

uint32_t TOverlaysPage::OverlayDirtyMask(int graph) const {
    return graph >= 0 && graph < 8 ? static_cast<uint32_t>(overlayDirty[static_cast<size_t>(graph)]) : 0;
}

void TOverlaysPage::RedrawGainPageOverlays() {
    Plot* gainIn = w.CurvePlot(kGainInGraph);
    Plot* gainOut = w.CurvePlot(kGainOutGraph);
    if (!gainIn || !gainOut)
        return;
    // The copies are made every time: the gain page shows each channel's curve as it is now.
    for (int c = 0; c <= 5; ++c) {
        if (Plot* source = w.CurvePlot(c))
            (c <= 1 ? gainIn : gainOut)->Section(c).CopyCurve(source->Section(SECTION_TOTAL).Curve());
    }
    for (int c = 0; c <= 5; ++c) {
        const int graph = c <= 1 ? kGainInGraph : kGainOutGraph;
        auto* button = gainButtons[static_cast<size_t>(c)];
        if (!button)
            return;
        int& mask = overlayDirty[static_cast<size_t>(graph)];
        if (button->Active() && (mask & 1 << c)) {
            mask &= ~(1 << c);
            (c <= 1 ? gainIn : gainOut)->ShowOverlay(c, ChannelColour(c));
        }
    }
    for (const int g : {kGainInGraph, kGainOutGraph})
        if (auto* graph = graphs[static_cast<size_t>(g)])
            graph->UpdateCurvePage();
}

void TOverlaysPage::RedrawChannelOverlays(int page) {
    // Only the six channel pages have overlays; the shared pages leave every mask as it is.
    if (page < pgInA || page > pgOut4)
        return;
    Plot* target = w.CurvePlot(page);
    auto* graph = graphs[static_cast<size_t>(page)];
    if (!target || !graph)
        return;
    const bool inputs = page <= pgInB;
    const int first = inputs ? 0 : 2, last = inputs ? 1 : 5;
    int& mask = overlayDirty[static_cast<size_t>(page)];
    for (int c = first; c <= last; ++c) {
        if (c == page)
            continue;
        auto* button = channelButtons[static_cast<size_t>(page)][static_cast<size_t>(c)];
        if (!button)
            return;
        if (!(mask & 1 << c))
            continue;
        // A dirty curve is copied also while its button is off, so switching it on shows it current.
        mask &= ~(1 << c);
        const int section = SECTION_FIRST_OVERLAY + c - first;
        if (Plot* source = w.CurvePlot(c))
            target->Section(section).CopyCurve(source->Section(SECTION_TOTAL).Curve());
        if (button->Active())
            target->ShowOverlay(section, ChannelColour(c));
    }
    graph->UpdateCurvePage();
}

void TOverlaysPage::OverlayClick(TObject* sender, int graphIndex) {
    auto* button = dynamic_cast<TLdPowerButton*>(sender);
    if (!button || graphIndex < 0 || graphIndex > kGainOutGraph)
        return;
    const int c = static_cast<int>(button->Tag());
    if (c < 0 || c > 5)
        return;
    Plot* plot = w.CurvePlot(graphIndex);
    auto* graph = graphs[static_cast<size_t>(graphIndex)];
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

void TOverlaysPage::ldbShowBInAClick(TObject* sender) {
    OverlayClick(sender, 0);
}
void TOverlaysPage::ldbShowAInBClick(TObject* sender) {
    OverlayClick(sender, 1);
}
void TOverlaysPage::ldbShow2Out1Click(TObject* sender) {
    OverlayClick(sender, 2);
}
void TOverlaysPage::ldbShow1Out2Click(TObject* sender) {
    OverlayClick(sender, 3);
}
void TOverlaysPage::ldbShow1Out3Click(TObject* sender) {
    OverlayClick(sender, 4);
}
void TOverlaysPage::ldbShow1Out4Click(TObject* sender) {
    OverlayClick(sender, 5);
}
void TOverlaysPage::ldbShowAGainClick(TObject* sender) {
    OverlayClick(sender, kGainInGraph);
}
void TOverlaysPage::ldbShow1GainClick(TObject* sender) {
    OverlayClick(sender, kGainOutGraph);
}
// A third input and a fifth and sixth output do not exist on this unit: no button is bound to these.
void TOverlaysPage::ldbShowAInCClick(TObject*) {}
void TOverlaysPage::ldbShow1Out5Click(TObject*) {}
void TOverlaysPage::ldbShow1Out6Click(TObject*) {}

void TOverlaysPage::rbShowGainInAClick(TObject* sender) {
    ShowGraphMode(sender, 0);
}

void TOverlaysPage::rbShowPhaseInAClick(TObject* sender) {
    ShowGraphMode(sender, 1);
}

void TOverlaysPage::ShowGraphMode(TObject* sender, uint8_t mode) {
    auto* radio = dynamic_cast<TRadioButton*>(sender);
    if (!radio)
        return;
    const int c = static_cast<int>(radio->Tag());
    if (c < 0 || c > 5)
        return;
    Plot* plot = w.CurvePlot(c);
    // A click on the mode already shown does nothing.
    if (!plot || plot->GetCurveMode() == mode)
        return;
    plot->SetCurveMode(mode);
    const ModeControls& m = modes[static_cast<size_t>(c)];
    auto* graph = graphs[static_cast<size_t>(c)];
    auto* table = m.table;
    auto* group = m.group;
    auto* other = mode == 0 ? m.phase : m.magnitude;
    if (!graph || !table || !group || !other)
        return;
    radio->Font()->SetColor(clYellow);
    other->Font()->SetColor(clSilver);

    w.Peq().ComputePeqCurve(graph);
    w.Peq().ComputeHighPassCurve(graph);
    w.Peq().ComputeLowPassCurve(graph);

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

void TOverlaysPage::RepaintChannelGraphs() {
    for (int c = 0; c <= 5; ++c)
        if (auto* graph = graphs[static_cast<size_t>(c)])
            graph->Repaint();
}

// The window's own names for what the model and the link ask of the overlays.
void TfmMain::SetOverlaysDirty(int ch) {
    Overlays().SetOverlaysDirty(ch);
}

void TfmMain::RepaintChannelGraphs() {
    Overlays().RepaintChannelGraphs();
}
