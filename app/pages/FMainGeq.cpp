// The graphic EQ of the inputs (31 faders per input, its curve drawn 1 ms after a burst of moves), the
// whole-EQ and graphic-EQ bypass toggles with their "BYPASS" labels, and the EQ reset buttons.

#include "app/FMain.h"

#include "app/FPeqRst.h"
#include "app/TimerComponent.h"
#include "controls/LMyFFTDrawHpLp6dB.h"
#include "panels/PkBmpButton.h"
#include "panels/PkPanel.h"
#include "panels/led/LdDemoButton.h"
#include "platform/gui/StdCtrls.h"
#include "styled/StTrackBar.h"

#include <cstdio>

using namespace kv;

void TfmMain::PublishGeq(TClassBuilder<TfmMain>& b) {
    b.Method<TNotifyEvent>("isGeqCh01InAChange", &TfmMain::isGeqCh01InAChange);
    b.Method<TNotifyEvent>("isGeqCh01InBChange", &TfmMain::isGeqCh01InBChange);
    b.Method<TNotifyEvent>("tmGeqCurveTimer", &TfmMain::tmGeqCurveTimer);
    b.Method<TNotifyEvent>("pkbGeqSelInAClick", &TfmMain::pkbGeqSelInAClick);
    b.Method<TNotifyEvent>("ldbEqBypassGeqInAClick", &TfmMain::ldbEqBypassGeqInAClick);
    b.Method<TNotifyEvent>("ldbEqBypassInAClick", &TfmMain::ldbEqBypassInAClick);
    b.Method<TNotifyEvent>("ldbEqResetGeqInAClick", &TfmMain::ldbEqResetGeqInAClick);
    b.Method<TNotifyEvent>("ldbEqResetInAClick", &TfmMain::ldbEqResetInAClick);
}

namespace {

constexpr int kGeqBands = 31;
constexpr int kGeqPlotInA = 8;

std::string GeqBandName(const char* stem, int band, int input) {
    char name[40];
    std::snprintf(name, sizeof name, "%s%02d%s", stem, band + 1, TfmMain::ChannelSuffix(input).c_str());
    return name;
}

} // namespace

std::string TfmMain::GeqGainText(int position) {
    char text[16];
    const double dB = (position - 120) * 0.1;
    std::snprintf(text, sizeof text, position >= 120 ? "+%3.1f" : "%4.1f", dB);
    return text;
}

std::string TfmMain::GeqFaderName(int input, int band) {
    return GeqBandName("isGeqCh", band, input);
}

void TfmMain::SetBypassLabel(LMyFFTDrawHpLp6dB& graph, bool bypassed) {
    graph.DrawTextA(graph.Width() / 3, graph.Height() / 4, 60, clBtnFace, "Times New Roman",
                    bypassed ? "BYPASS" : "");
}

// Moves of the graphic-EQ faders also run while the refresh fills them: the band's section, label and
// curve must follow the model all the same.
void TfmMain::isGeqCh01InAChange(TObject* sender) {
    GeqBandChange(sender, 0);
}

void TfmMain::isGeqCh01InBChange(TObject* sender) {
    GeqBandChange(sender, 1);
}

void TfmMain::GeqBandChange(TObject* sender, int input) {
    auto* fader = dynamic_cast<TStTrackBar*>(sender);
    if (!fader)
        return;
    const int band = static_cast<int>(fader->Tag());
    if (band < 0 || band >= kGeqBands)
        return;
    auto* label = Find<TLabel>(GeqBandName("lbGeqGainCh", band, input));
    auto* graph = Find<LMyFFTDrawHpLp6dB>(kCurveGraphNames[static_cast<size_t>(kGeqPlotInA + input)]);
    if (!label || !graph)
        return;
    const int position = fader->Position();
    label->SetCaption(GeqGainText(position));
    const int plotIndex = static_cast<int>(graph->Tag());
    Plot* plot = CurvePlot(plotIndex);
    if (!plot)
        return;
    const double gain = IndexToGain(position);
    SetSection(plot->Section(band), gain, GEQ_CENTRE_HZ[static_cast<size_t>(band)], GEQ_BAND_Q, ST_PEAK);
    StartTimer(Find<kv::TTimer>("tmGeqCurve"));
    pendingGeqBand = {plotIndex, band, gain, static_cast<float>(GEQ_BAND_Q)};
    // While the view is filled from the model the model already holds the band: storing the fader's
    // (clamped) position would change it, and would copy this input's band onto its linked inputs.
    if (unitControl && !IsUpdatingView())
        unitControl->SetGeqBand(input, band, static_cast<uint16_t>(position));
}

void TfmMain::tmGeqCurveTimer(TObject*) {
    StopTimer(Find<kv::TTimer>("tmGeqCurve"));
    Plot* plot = CurvePlot(pendingGeqBand.plot);
    if (!plot)
        return;
    plot->DrawSectionParam(1, pendingGeqBand.band, pendingGeqBand.gain, pendingGeqBand.q,
                           pendingGeqBand.gain != 0.0);
    plot->DrawTotalCurve(pendingGeqBand.plot);
    if (auto* graph = Find<LMyFFTDrawHpLp6dB>(kCurveGraphNames[static_cast<size_t>(pendingGeqBand.plot)]))
        graph->UpdateCurvePage();
}

// Before any graphic-EQ fader has moved there is no band display to hide (the channel graphs' band
// displays are not the graphic EQ's).
void TfmMain::HidePendingGeqBand() {
    if (pendingGeqBand.plot != 8 && pendingGeqBand.plot != 9)
        return;
    if (Plot* plot = CurvePlot(pendingGeqBand.plot))
        plot->DrawSectionParam(1, pendingGeqBand.band, pendingGeqBand.gain, pendingGeqBand.q, false);
}

void TfmMain::pkbGeqSelInAClick(TObject* sender) {
    auto* button = dynamic_cast<TPkBmpButton*>(sender);
    if (!button)
        return;
    const int a = static_cast<int>(button->Tag());
    if (a != 0 && a != 1)
        return;
    // A linked input whose own mask is 0 is shown through the input that holds it.
    int s = -1;
    if (GetChannelLinkMask(a) != 0)
        s = a;
    else
        for (int i = 0; i <= 1 && s < 0; ++i)
            if (GetChannelLinkMask(i) & 1 << a)
                s = i;
    if (s < 0)
        return;
    const std::string shown = ChannelSuffix(s);
    auto* graphGroup = Find<TPkGroupBox>("pkgFftGeq" + shown);
    auto* faderGroup = Find<TPkGroupBox>("pkgGeq" + shown);
    if (!graphGroup || !faderGroup)
        return;
    // Removing the curve first lets it take the chosen input's colour.
    if (Plot* plot = CurvePlot(kGeqPlotInA + s)) {
        plot->RemoveOverlay(SECTION_TOTAL);
        plot->ShowOverlay(SECTION_TOTAL, static_cast<CurveColour>(OVERLAY_COLOURS[static_cast<size_t>(a)]));
    }
    if (auto* graph = Find<LMyFFTDrawHpLp6dB>("fftDrawGeq" + shown))
        graph->UpdateCurvePage();
    auto* graphTitle = Find<TLabel>("lbFftChGeq" + shown);
    auto* faderTitle = Find<TLabel>("lbGeq" + shown);
    if (!graphTitle || !faderTitle)
        return;
    graphTitle->SetCaption(ChannelSuffix(a));
    faderTitle->SetCaption(ChannelSuffix(a));
    faderGroup->BringToFront();
    graphGroup->BringToFront();
    HidePendingGeqBand();
}

void TfmMain::ldbEqBypassGeqInAClick(TObject* sender) {
    auto* button = dynamic_cast<TLdDemoButton*>(sender);
    if (!button || !unitControl)
        return;
    const int a = static_cast<int>(button->Tag());
    if (a != 0 && a != 1)
        return;
    int mask = unitControl->GetGeqBypassMask();
    const int group = LinkGroupMask(a);
    const bool bypass = !(mask & 1 << a);
    for (int i = 0; i <= 1; ++i) {
        if (!(group & 1 << i))
            continue;
        mask = bypass ? mask | 1 << i : mask & ~(1 << i);
        if (auto* graph = Find<LMyFFTDrawHpLp6dB>("fftDrawGeq" + ChannelSuffix(i))) {
            SetBypassLabel(*graph, bypass);
            graph->Repaint();
        }
    }
    unitControl->SetGeqBypassMask(static_cast<uint16_t>(mask));
    SendCommand(
        CM_MCS_CMD(static_cast<uint8_t>(GetDeviceId()), MCS_GEQ_BYPASS, static_cast<uint8_t>(a), bypass ? 1 : 0),
        false);
}

void TfmMain::ldbEqBypassInAClick(TObject* sender) {
    auto* button = dynamic_cast<TLdDemoButton*>(sender);
    if (!button || !unitControl)
        return;
    const int c = static_cast<int>(button->Tag());
    if (c < 0 || c > 5)
        return;
    auto* graph = Find<LMyFFTDrawHpLp6dB>("fftDraw" + ChannelSuffix(c));
    if (!graph)
        return;
    const int k = c <= 1 ? c : c - 2;
    const int width = c <= 1 ? 2 : 4;
    int mask = unitControl->GetEqBypassMask(c);
    const int group = LinkGroupMask(c);
    const bool bypass = !(mask & 1 << k);
    for (int i = 0; i < width; ++i)
        if (group & 1 << i)
            mask = bypass ? mask | 1 << i : mask & ~(1 << i);
    // Only this graph is relabelled; the group's other graphs show the state from the next refresh.
    SetBypassLabel(*graph, bypass);
    unitControl->SetEqBypassMask(c, static_cast<uint16_t>(mask));
    graph->Repaint();
    SendCommand(
        CM_MCS_CMD(static_cast<uint8_t>(GetDeviceId()), MCS_EQ_BYPASS, static_cast<uint8_t>(c), bypass ? 1 : 0),
        false);
}

// The reset dialog's target: the channel's PEQ (0..5), or the input's graphic EQ (6, 7).
void TfmMain::ldbEqResetInAClick(TObject* sender) {
    OpenEqReset(sender, 0);
}

void TfmMain::ldbEqResetGeqInAClick(TObject* sender) {
    OpenEqReset(sender, 6);
}

void TfmMain::OpenEqReset(TObject* sender, int targetBase) {
    auto* button = dynamic_cast<TLdDemoButton*>(sender);
    if (!button || !fmPeqRst)
        return;
    fmPeqRst->SetChannel(static_cast<int>(button->Tag()) + targetBase);
    fmPeqRst->ShowModal();
}

void TfmMain::SendAllGeqBands(int code) {
    const int input = code - 6;
    if (input != 0 && input != 1)
        return;
    const uint8_t id = static_cast<uint8_t>(GetDeviceId());
    for (int band = 0; band < kGeqBands; ++band) {
        auto* fader = Find<TStTrackBar>(GeqFaderName(input, band));
        if (!fader)
            return;
        const uint16_t level = LUnitControl::GetDefaultGeqBand(input, band);
        // The fader's change stores, sends and draws the band; the forced frame makes sure the unit
        // gets it even when the fader already stood there.
        fader->SetPosition(level);
        SendCommand(CM_MCS_GEQ(id, static_cast<uint8_t>(input), static_cast<uint8_t>(band), level), true);
    }
}
