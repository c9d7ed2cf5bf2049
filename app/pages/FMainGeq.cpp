// The graphic-EQ page: the graphic EQ of the inputs (31 faders per input, its curve drawn 1 ms after a burst
// of moves), the whole-EQ and graphic-EQ bypass toggles with their "BYPASS" labels, and the EQ reset buttons.

#include "app/pages/GeqPage.h"
#include "app/pages/LinkingPage.h"

#include "app/FPeqRst.h"
#include "app/TimerComponent.h"
#include "controls/LMyFFTDrawHpLp6dB.h"
#include "link/Scales.h"
#include "panels/PkBmpButton.h"
#include "panels/PkPanel.h"
#include "panels/led/LdDemoButton.h"
#include "platform/gui/StdCtrls.h"
#include "styled/StTrackBar.h"

#include <cstdio>

using namespace kv;

namespace {

TGeqPage* GeqOf(TfmMain& w) {
    return &w.Geq();
}

} // namespace

void TGeqPage::Publish(TClassBuilder<TfmMain>& b) {
    b.Forward<TNotifyEvent>("isGeqCh01InAChange", GeqOf, &TGeqPage::isGeqCh01InAChange);
    b.Forward<TNotifyEvent>("isGeqCh01InBChange", GeqOf, &TGeqPage::isGeqCh01InBChange);
    b.Forward<TNotifyEvent>("tmGeqCurveTimer", GeqOf, &TGeqPage::tmGeqCurveTimer);
    b.Forward<TNotifyEvent>("pkbGeqSelInAClick", GeqOf, &TGeqPage::pkbGeqSelInAClick);
    b.Forward<TNotifyEvent>("ldbEqBypassGeqInAClick", GeqOf, &TGeqPage::ldbEqBypassGeqInAClick);
    b.Forward<TNotifyEvent>("ldbEqBypassInAClick", GeqOf, &TGeqPage::ldbEqBypassInAClick);
    b.Forward<TNotifyEvent>("ldbEqResetGeqInAClick", GeqOf, &TGeqPage::ldbEqResetGeqInAClick);
    b.Forward<TNotifyEvent>("ldbEqResetInAClick", GeqOf, &TGeqPage::ldbEqResetInAClick);
}

namespace {

constexpr int kGeqBands = TGeqPage::kBands;
constexpr int kGeqPlotInA = 8;

std::string GeqBandName(const char* stem, int band, int input) {
    char name[40];
    std::snprintf(name, sizeof name, "%s%02d%s", stem, band + 1, TfmMain::ChannelSuffix(input).c_str());
    return name;
}

} // namespace

TGeqPage::TGeqPage(TfmMain& window) : w(window) {}

void TGeqPage::Bind() {
    for (int i = 0; i <= 1; ++i) {
        Input& k = inputs[static_cast<size_t>(i)];
        for (int band = 0; band < kGeqBands; ++band) {
            k.faders[static_cast<size_t>(band)] = w.Find<TStTrackBar>(GeqFaderName(i, band));
            k.gainLabels[static_cast<size_t>(band)] = w.Find<TLabel>(GeqBandName("lbGeqGainCh", band, i));
        }
        const std::string s = TfmMain::ChannelSuffix(i);
        k.graph = w.Find<LMyFFTDrawHpLp6dB>(kCurveGraphNames[static_cast<size_t>(kGeqPlotInA + i)]);
        k.graphGroup = w.Find<TPkGroupBox>("pkgFftGeq" + s);
        k.faderGroup = w.Find<TPkGroupBox>("pkgGeq" + s);
        k.graphTitle = w.Find<TLabel>("lbFftChGeq" + s);
        k.faderTitle = w.Find<TLabel>("lbGeq" + s);
    }
    for (int c = 0; c <= 5; ++c)
        channelGraphs[static_cast<size_t>(c)] = w.Companion<LMyFFTDrawHpLp6dB>("fftDraw", c);
    tmGeqCurve = w.Find<kv::TTimer>("tmGeqCurve");
}

const TGeqPage::Input& TGeqPage::InputAt(int input) const {
    static const Input none;
    return input == 0 || input == 1 ? inputs[static_cast<size_t>(input)] : none;
}

std::string TGeqPage::GeqGainText(int position) {
    char text[16];
    const double dB = (position - 120) * 0.1;
    std::snprintf(text, sizeof text, position >= 120 ? "+%3.1f" : "%4.1f", dB);
    return text;
}

std::string TGeqPage::GeqFaderName(int input, int band) {
    return GeqBandName("isGeqCh", band, input);
}

void TGeqPage::SetBypassLabel(LMyFFTDrawHpLp6dB& graph, bool bypassed) {
    graph.DrawTextA(graph.Width() / 3, graph.Height() / 4, 60, clBtnFace, "Times New Roman",
                    bypassed ? "BYPASS" : "");
}

// Moves of the graphic-EQ faders also run while the refresh fills them: the band's section, label and
// curve must follow the model all the same.
void TGeqPage::isGeqCh01InAChange(TObject* sender) {
    GeqBandChange(sender, 0);
}

void TGeqPage::isGeqCh01InBChange(TObject* sender) {
    GeqBandChange(sender, 1);
}

void TGeqPage::GeqBandChange(TObject* sender, int input) {
    auto* fader = dynamic_cast<TStTrackBar*>(sender);
    if (!fader)
        return;
    const int band = static_cast<int>(fader->Tag());
    if (band < 0 || band >= kGeqBands)
        return;
    auto* label = InputAt(input).gainLabels[static_cast<size_t>(band)];
    auto* graph = InputAt(input).graph;
    if (!label || !graph)
        return;
    const int position = fader->Position();
    label->SetCaption(GeqGainText(position));
    const int plotIndex = static_cast<int>(graph->Tag());
    Plot* plot = w.CurvePlot(plotIndex);
    if (!plot)
        return;
    const double gain = IndexToGain(position);
    SetSection(plot->Section(band), gain, GEQ_CENTRE_HZ[static_cast<size_t>(band)], GEQ_BAND_Q, ST_PEAK);
    StartTimer(tmGeqCurve);
    pendingGeqBand = {plotIndex, band, gain, static_cast<float>(GEQ_BAND_Q)};
    // While the view is filled from the model the model already holds the band: storing the fader's
    // (clamped) position would change it, and would copy this input's band onto its linked inputs.
    if (w.UnitControl() && !w.IsUpdatingView())
        w.UnitControl()->SetGeqBand(input, band, static_cast<uint16_t>(position));
}

void TGeqPage::tmGeqCurveTimer(TObject*) {
    StopTimer(tmGeqCurve);
    Plot* plot = w.CurvePlot(pendingGeqBand.plot);
    if (!plot)
        return;
    plot->DrawSectionParam(1, pendingGeqBand.band, pendingGeqBand.gain, pendingGeqBand.q,
                           pendingGeqBand.gain != 0.0);
    plot->DrawTotalCurve(pendingGeqBand.plot);
    if (auto* graph = InputAt(pendingGeqBand.plot - kGeqPlotInA).graph)
        graph->UpdateCurvePage();
}

// Before any graphic-EQ fader has moved there is no band display to hide (the channel graphs' band
// displays are not the graphic EQ's).
void TGeqPage::HidePendingGeqBand() {
    if (pendingGeqBand.plot != 8 && pendingGeqBand.plot != 9)
        return;
    if (Plot* plot = w.CurvePlot(pendingGeqBand.plot))
        plot->DrawSectionParam(1, pendingGeqBand.band, pendingGeqBand.gain, pendingGeqBand.q, false);
}

void TGeqPage::pkbGeqSelInAClick(TObject* sender) {
    auto* button = dynamic_cast<TPkBmpButton*>(sender);
    if (!button)
        return;
    const int a = static_cast<int>(button->Tag());
    if (a != 0 && a != 1)
        return;
    // A linked input whose own mask is 0 is shown through the input that holds it.
    int s = -1;
    if (w.GetChannelLinkMask(a) != 0)
        s = a;
    else
        for (int i = 0; i <= 1 && s < 0; ++i)
            if (w.GetChannelLinkMask(i) & 1 << a)
                s = i;
    if (s < 0)
        return;
    const Input& shown = InputAt(s);
    auto* graphGroup = shown.graphGroup;
    auto* faderGroup = shown.faderGroup;
    if (!graphGroup || !faderGroup)
        return;
    // Removing the curve first lets it take the chosen input's colour.
    if (Plot* plot = w.CurvePlot(kGeqPlotInA + s)) {
        plot->RemoveOverlay(SECTION_TOTAL);
        plot->ShowOverlay(SECTION_TOTAL, static_cast<CurveColour>(OVERLAY_COLOURS[static_cast<size_t>(a)]));
    }
    if (auto* graph = shown.graph)
        graph->UpdateCurvePage();
    auto* graphTitle = shown.graphTitle;
    auto* faderTitle = shown.faderTitle;
    if (!graphTitle || !faderTitle)
        return;
    graphTitle->SetCaption(TfmMain::ChannelSuffix(a));
    faderTitle->SetCaption(TfmMain::ChannelSuffix(a));
    faderGroup->BringToFront();
    graphGroup->BringToFront();
    HidePendingGeqBand();
}

void TGeqPage::ldbEqBypassGeqInAClick(TObject* sender) {
    auto* button = dynamic_cast<TLdDemoButton*>(sender);
    LUnitControl* model = w.UnitControl();
    if (!button || !model)
        return;
    const int a = static_cast<int>(button->Tag());
    if (a != 0 && a != 1)
        return;
    int mask = model->GetGeqBypassMask();
    const int group = w.Linking().LinkGroupMask(a);
    const bool bypass = !(mask & 1 << a);
    for (int i = 0; i <= 1; ++i) {
        if (!(group & 1 << i))
            continue;
        mask = bypass ? mask | 1 << i : mask & ~(1 << i);
        if (auto* graph = InputAt(i).graph) {
            SetBypassLabel(*graph, bypass);
            graph->Repaint();
        }
    }
    model->SetGeqBypassMask(static_cast<uint16_t>(mask));
    w.SendCommand(CM_MCS_CMD(static_cast<uint8_t>(w.GetDeviceId()), MCS_GEQ_BYPASS, static_cast<uint8_t>(a),
                             bypass ? 1 : 0),
                  false);
}

void TGeqPage::ldbEqBypassInAClick(TObject* sender) {
    auto* button = dynamic_cast<TLdDemoButton*>(sender);
    LUnitControl* model = w.UnitControl();
    if (!button || !model)
        return;
    const int c = static_cast<int>(button->Tag());
    if (c < 0 || c > 5)
        return;
    auto* graph = channelGraphs[static_cast<size_t>(c)];
    if (!graph)
        return;
    const int k = c <= 1 ? c : c - 2;
    const int width = c <= 1 ? 2 : 4;
    int mask = model->GetEqBypassMask(c);
    const int group = w.Linking().LinkGroupMask(c);
    const bool bypass = !(mask & 1 << k);
    for (int i = 0; i < width; ++i)
        if (group & 1 << i)
            mask = bypass ? mask | 1 << i : mask & ~(1 << i);
    // Only this graph is relabelled; the group's other graphs show the state from the next refresh.
    SetBypassLabel(*graph, bypass);
    model->SetEqBypassMask(c, static_cast<uint16_t>(mask));
    graph->Repaint();
    w.SendCommand(CM_MCS_CMD(static_cast<uint8_t>(w.GetDeviceId()), MCS_EQ_BYPASS, static_cast<uint8_t>(c),
                             bypass ? 1 : 0),
                  false);
}

// The reset dialog's target: the channel's PEQ (0..5), or the input's graphic EQ (6, 7).
void TGeqPage::ldbEqResetInAClick(TObject* sender) {
    OpenEqReset(sender, 0);
}

void TGeqPage::ldbEqResetGeqInAClick(TObject* sender) {
    OpenEqReset(sender, 6);
}

void TGeqPage::OpenEqReset(TObject* sender, int targetBase) {
    auto* button = dynamic_cast<TLdDemoButton*>(sender);
    if (!button || !fmPeqRst)
        return;
    fmPeqRst->SetChannel(static_cast<int>(button->Tag()) + targetBase);
    fmPeqRst->ShowModal();
}

void TGeqPage::SendAllGeqBands(int code) {
    const int input = code - 6;
    if (input != 0 && input != 1)
        return;
    const uint8_t id = static_cast<uint8_t>(w.GetDeviceId());
    for (int band = 0; band < kGeqBands; ++band) {
        auto* fader = InputAt(input).faders[static_cast<size_t>(band)];
        if (!fader)
            return;
        const uint16_t level = LUnitControl::GetDefaultGeqBand(input, band);
        // The fader's change stores, sends and draws the band; the forced frame makes sure the unit
        // gets it even when the fader already stood there.
        fader->SetPosition(level);
        w.SendCommand(CM_MCS_GEQ(id, static_cast<uint8_t>(input), static_cast<uint8_t>(band), level), true);
    }
}

void TGeqPage::ComputeGeqCurve(LMyFFTDrawHpLp6dB* graph) {
    LMyFFTDrawHpLp6dB* g = graph;
    if (!g || (g->Tag() != 8 && g->Tag() != 9) || !w.UnitControl())
        return;
    Plot* plot = w.CurvePlot(g->Tag());
    if (!plot)
        return;
    const int input = g->Tag() - 8;
    for (int i = 0; i < static_cast<int>(GEQ_CENTRE_HZ.size()); ++i)
        SetSection(plot->Section(i), IndexToGain(w.UnitControl()->GetGeqBand(input, i)),
                   GEQ_CENTRE_HZ[static_cast<size_t>(i)], GEQ_BAND_Q, ST_PEAK);
    plot->DrawTotalCurve(g->Tag());
    g->UpdateCurvePage();
}

void TfmMain::HidePendingGeqBand() {
    Geq().HidePendingGeqBand();
}
