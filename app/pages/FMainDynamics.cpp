// The compressor, limiter and gate strips: a fader or up-down edit stores one field of the channel's
// dynamics record (in its link group) and sends it, the group's strips show the value, and the page's
// transfer curve follows: the compressor's and limiter's on the next tick of their 1 ms timers, the
// gate's at once. A click into a strip shows that strip's channel on its page.

#include "app/FMain.h"

#include "app/TimerComponent.h"
#include "link/Scales.h"
#include "plot/gXYPlot.h"
#include "platform/gui/StdBars.h"
#include "platform/gui/StdPanels.h"
#include "styled/RoundControls.h"
#include "styled/StTrackBar.h"

#include <algorithm>

using namespace kv;

void TfmMain::PublishDynamics(TClassBuilder<TfmMain>& b) {
    b.Method<TNotifyEvent>("isCompThresholdOut1Change", &TfmMain::isCompThresholdOut1Change);
    b.Method<TNotifyEvent>("isCompAttackOut1Change", &TfmMain::isCompAttackOut1Change);
    b.Method<TNotifyEvent>("isCompReleaseOut1Change", &TfmMain::isCompReleaseOut1Change);
    b.Method<TUDChangingEventEx>("udCompRatioOut1ChangingEx", &TfmMain::udCompRatioOut1ChangingEx);
    b.Method<TUDChangingEventEx>("udCompKneeOut1ChangingEx", &TfmMain::udCompKneeOut1ChangingEx);
    b.Method<TNotifyEvent>("isLimitThresholdOut1Change", &TfmMain::isLimitThresholdOut1Change);
    b.Method<TNotifyEvent>("isLimitAttackOut1Change", &TfmMain::isLimitAttackOut1Change);
    b.Method<TNotifyEvent>("isLimitReleaseOut1Change", &TfmMain::isLimitReleaseOut1Change);
    b.Method<TUDChangingEventEx>("udLimitKneeOut1ChangingEx", &TfmMain::udLimitKneeOut1ChangingEx);
    b.Method<TNotifyEvent>("isGateThresholdInAChange", &TfmMain::isGateThresholdInAChange);
    b.Method<TNotifyEvent>("isGateAttackInAChange", &TfmMain::isGateAttackInAChange);
    b.Method<TNotifyEvent>("isGateReleaseInAChange", &TfmMain::isGateReleaseInAChange);
    b.Method<TNotifyEvent>("isGateHoldInAChange", &TfmMain::isGateHoldInAChange);
    b.Method<TMouseEvent>("isCompThresholdOut1MouseDown", &TfmMain::isCompThresholdOut1MouseDown);
    b.Method<TMouseEvent>("cvdCompThresholdOut1MouseDown", &TfmMain::cvdCompThresholdOut1MouseDown);
    b.Method<TMouseEvent>("lbCompOut1MouseDown", &TfmMain::lbCompOut1MouseDown);
    b.Method<TMouseEvent>("isLimitThresholdOut1MouseDown", &TfmMain::isLimitThresholdOut1MouseDown);
    b.Method<TMouseEvent>("cvdLimitThresholdOut1MouseDown", &TfmMain::cvdLimitThresholdOut1MouseDown);
    b.Method<TMouseEvent>("lbLimitOut1MouseDown", &TfmMain::lbLimitOut1MouseDown);
    b.Method<TMouseEvent>("lbGateInAMouseDown", &TfmMain::lbGateInAMouseDown);
    b.Method<TMouseEvent>("isGateThresholdInAMouseDown", &TfmMain::isGateThresholdInAMouseDown);
    b.Method<TMouseEvent>("cvdGateThresholdInAMouseDown", &TfmMain::cvdGateThresholdInAMouseDown);
    b.Method<TMouseEvent>("cvdGateAttackInAMouseDown", &TfmMain::cvdGateAttackInAMouseDown);
    b.Method<TMouseEvent>("cvdGateReleaseInAMouseDown", &TfmMain::cvdGateReleaseInAMouseDown);
    b.Method<TNotifyEvent>("tmCompDispTimer", &TfmMain::tmCompDispTimer);
    b.Method<TNotifyEvent>("tmLimitDispTimer", &TfmMain::tmLimitDispTimer);
    PublishDynamicsEntry(b);
}

namespace {

int StripChannelOf(TObject* sender) {
    auto* component = dynamic_cast<TComponent*>(sender);
    return component ? static_cast<int>(component->Tag()) : -1;
}

uint16_t RecordWord(int value) {
    return static_cast<uint16_t>(value);
}

// The ratio box's text: "Limit" at the up-down's top, else "1:" and the ratio.
std::string RatioBoxText(const TUpDown& upDown, int index) {
    return index == upDown.Max() ? std::string("Limit") : RatioText(index);
}

} // namespace

// ---- Apply operations -------------------------------------------------------------------------------

namespace {

// The record fields by the editors' field numbers; field 0, the threshold, is stored as position + 180.
constexpr uint16_t CompRecord::*kCompFields[] = {&CompRecord::threshold, &CompRecord::attack,
                                                 &CompRecord::release, &CompRecord::ratio, &CompRecord::knee};
constexpr uint16_t LimitRecord::*kLimitFields[] = {&LimitRecord::threshold, &LimitRecord::attack,
                                                   &LimitRecord::release, &LimitRecord::knee};
constexpr uint16_t GateRecord::*kGateFields[] = {&GateRecord::threshold, &GateRecord::attack,
                                                 &GateRecord::release, &GateRecord::hold};

// Sets one field of a record from a control position; false for a field the record does not have.
template <class Record, size_t N>
bool SetField(Record& r, uint16_t Record::*const (&fields)[N], int field, int value) {
    if (field < 0 || field >= static_cast<int>(N))
        return false;
    r.*fields[field] = RecordWord(field == 0 ? value + 180 : value);
    return true;
}

} // namespace

void TfmMain::ApplyCompParam(int channel, int field, int value) {
    if (!unitControl)
        return;
    CompRecord r = unitControl->GetComp(channel);
    if (!SetField(r, kCompFields, field, value))
        return;
    if (field == 0) {
        // The curve is drawn from the fader, so it follows the stored threshold; its handler stays quiet.
        if (auto* fader = Companion<TStTrackBar>("isCompThreshold", channel)) {
            UpdatingViewGuard quiet(*this);
            fader->SetPosition(value);
        }
    }
    if (!updatingView)
        unitControl->SetComp(channel, r);
}

void TfmMain::ApplyLimitParam(int channel, int field, int value) {
    if (!unitControl)
        return;
    LimitRecord r = unitControl->GetLimit(channel);
    if (SetField(r, kLimitFields, field, value) && !updatingView)
        unitControl->SetLimit(channel, r);
}

void TfmMain::ApplyGateParam(int channel, int field, int value) {
    if (!unitControl)
        return;
    GateRecord r = unitControl->GetGate(channel);
    if (SetField(r, kGateFields, field, value) && !updatingView)
        unitControl->SetGate(channel, r);
}

// ---- Change handlers --------------------------------------------------------------------------------

// The mirror writes the value box of every output of the group, this one's included.
void TfmMain::CompFaderChange(TObject* sender, int field) {
    auto* fader = dynamic_cast<TStTrackBar*>(sender);
    if (updatingView || !fader)
        return;
    const int channel = static_cast<int>(fader->Tag());
    const int position = fader->Position();
    EnableTimer("tmCompDisp");
    compCurveChannel = channel;
    compPageChannel = channel;
    ApplyCompParam(channel, field, position);
    MirrorCompToLinked(channel, field, position);
}

// Called before the up-down takes the new value. An arrow pressed at an end of the range offers a
// value beyond it, which is left alone.
void TfmMain::CompUpDownChange(TObject* sender, int field, int newValue) {
    auto* upDown = dynamic_cast<TUpDown*>(sender);
    if (updatingView || !upDown)
        return;
    if (newValue < upDown->Min() || newValue > upDown->Max())
        return;
    const int channel = static_cast<int>(upDown->Tag());
    auto* box = Companion<TRoundEdit>(field == 3 ? "cvdCompRatio" : "cvdCompKnee", channel);
    if (!box)
        return;
    box->SetText(field == 3 ? RatioBoxText(*upDown, newValue) : KneeText(newValue));
    EnableTimer("tmCompDisp");
    compCurveChannel = channel;
    compPageChannel = channel;
    ApplyCompParam(channel, field, newValue);
    MirrorCompToLinked(channel, field, newValue);
}

void TfmMain::isCompThresholdOut1Change(TObject* sender) {
    CompFaderChange(sender, 0);
}

void TfmMain::isCompAttackOut1Change(TObject* sender) {
    CompFaderChange(sender, 1);
}

void TfmMain::isCompReleaseOut1Change(TObject* sender) {
    CompFaderChange(sender, 2);
}

void TfmMain::udCompRatioOut1ChangingEx(TObject* sender, bool&, std::int16_t newValue, TUpDownDirection) {
    CompUpDownChange(sender, 3, newValue);
}

void TfmMain::udCompKneeOut1ChangingEx(TObject* sender, bool&, std::int16_t newValue, TUpDownDirection) {
    CompUpDownChange(sender, 4, newValue);
}

void TfmMain::LimitFaderChange(TObject* sender, int field) {
    auto* fader = dynamic_cast<TStTrackBar*>(sender);
    if (updatingView || !fader)
        return;
    limitPageChannel = static_cast<int>(fader->Tag());
    static constexpr const char* kBoxes[] = {"cvdLimitThreshold", "cvdLimitAttack", "cvdLimitRelease"};
    auto* box = Companion<TRoundEdit>(kBoxes[field], limitPageChannel);
    if (!box)
        return;
    const int position = fader->Position();
    box->SetText(field == 0 ? ThresholdText(position) : TimeText(position, true));
    EnableTimer("tmLimitDisp");
    limitCurveChannel = limitPageChannel;
    ApplyLimitParam(limitPageChannel, field, position);
    MirrorLimitToLinked(limitPageChannel, field, position);
}

void TfmMain::isLimitThresholdOut1Change(TObject* sender) {
    LimitFaderChange(sender, 0);
}

void TfmMain::isLimitAttackOut1Change(TObject* sender) {
    LimitFaderChange(sender, 1);
}

void TfmMain::isLimitReleaseOut1Change(TObject* sender) {
    LimitFaderChange(sender, 2);
}

void TfmMain::udLimitKneeOut1ChangingEx(TObject* sender, bool&, std::int16_t newValue, TUpDownDirection) {
    auto* upDown = dynamic_cast<TUpDown*>(sender);
    if (updatingView || !upDown)
        return;
    if (newValue < upDown->Min() || newValue > upDown->Max())
        return;
    limitPageChannel = static_cast<int>(upDown->Tag());
    auto* box = Companion<TRoundEdit>("cvdLimitKnee", limitPageChannel);
    if (!box)
        return;
    box->SetText(KneeText(newValue));
    EnableTimer("tmLimitDisp");
    limitCurveChannel = limitPageChannel;
    ApplyLimitParam(limitPageChannel, 3, newValue);
    MirrorLimitToLinked(limitPageChannel, 3, newValue);
}

// The gate's curve has three points: it is redrawn inside the handler, before the record is sent.
void TfmMain::GateFaderChange(TObject* sender, int field) {
    auto* fader = dynamic_cast<TStTrackBar*>(sender);
    if (updatingView || !fader)
        return;
    gatePageChannel = static_cast<int>(fader->Tag());
    static constexpr const char* kBoxes[] = {"cvdGateThreshold", "cvdGateAttack", "cvdGateRelease",
                                             "cvdGateHold"};
    auto* box = Companion<TRoundEdit>(kBoxes[field], gatePageChannel);
    if (!box)
        return;
    const int position = fader->Position();
    box->SetText(field == 0 ? ThresholdText(position) : TimeText(position, false));
    if (!DrawGatePoints(gatePageChannel))
        return;
    ApplyGateParam(gatePageChannel, field, position);
    MirrorGateToLinked(gatePageChannel, field, position);
}

void TfmMain::isGateThresholdInAChange(TObject* sender) {
    GateFaderChange(sender, 0);
}

void TfmMain::isGateAttackInAChange(TObject* sender) {
    GateFaderChange(sender, 1);
}

void TfmMain::isGateReleaseInAChange(TObject* sender) {
    GateFaderChange(sender, 2);
}

void TfmMain::isGateHoldInAChange(TObject* sender) {
    GateFaderChange(sender, 3);
}

// ---- Page channel -----------------------------------------------------------------------------------

// Any button: the click only chooses what the page shows, so it neither tests the updating flag nor
// sends anything.
void TfmMain::isCompThresholdOut1MouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawCompCurve(StripChannelOf(sender));
}

void TfmMain::cvdCompThresholdOut1MouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawCompCurve(StripChannelOf(sender));
}

void TfmMain::lbCompOut1MouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawCompCurve(StripChannelOf(sender));
}

void TfmMain::isLimitThresholdOut1MouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawLimitCurve(StripChannelOf(sender));
}

void TfmMain::cvdLimitThresholdOut1MouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawLimitCurve(StripChannelOf(sender));
}

void TfmMain::lbLimitOut1MouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawLimitCurve(StripChannelOf(sender));
}

void TfmMain::lbGateInAMouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawGateCurve(StripChannelOf(sender));
}

void TfmMain::isGateThresholdInAMouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawGateCurve(StripChannelOf(sender));
}

void TfmMain::cvdGateThresholdInAMouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawGateCurve(StripChannelOf(sender));
}

void TfmMain::cvdGateAttackInAMouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawGateCurve(StripChannelOf(sender));
}

void TfmMain::cvdGateReleaseInAMouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawGateCurve(StripChannelOf(sender));
}

// ---- Transfer curves --------------------------------------------------------------------------------

// Replaces the points of a dynamics plot: channel 0 the curve, channel 1 the threshold point. Each
// channel is emptied whatever it holds, so a channel never keeps a point of an older curve.
void TfmMain::SetTransferPoints(const char* plotName, std::initializer_list<TransferPoint> curve,
                                TransferPoint threshold) {
    auto* plot = Find<TgXYPlot>(plotName);
    if (!plot || plot->ChannelCount() < 2)
        return;
    TgXYPlotChannel* line = plot->GetXYChannel(0);
    line->DeletePoints(line->Count());
    for (const TransferPoint& p : curve)
        line->AddXY(p.x, p.y);
    TgXYPlotChannel* point = plot->GetXYChannel(1);
    point->DeletePoints(point->Count());
    point->AddXY(threshold.x, threshold.y);
}

void TfmMain::DrawCompCurve(int channel) {
    auto* threshold = Companion<TStTrackBar>("isCompThreshold", channel);
    auto* knee = Companion<TUpDown>("udCompKnee", channel);
    auto* ratio = Companion<TUpDown>("udCompRatio", channel);
    if (!threshold || !knee || !ratio)
        return;
    // The values are single-precision floats; the plot takes the points as doubles.
    const float k = static_cast<float>(knee->Position());
    const float t = static_cast<float>(threshold->Position()) * 0.5f;
    float a = 0, b = 0;
    if (ratio->Position() != ratio->Max()) {
        const float r = static_cast<float>(COMP_RATIO_VALUE[std::clamp<int>(ratio->Position(), 0, 15)]);
        a = (20 - t) * 1.0f / r;
        b = k * 1.0f / r;
    }
    SetTransferPoints("ipComp", {{20, t + a}, {t + k, t + b}, {t - k, t - k}, {-100, -100}},
                      {t + 0.2f, t - 0.4f});
    const std::string digit = ChannelMark(channel);
    if (auto* name = Find<TLabel>("lbCompName"))
        name->SetCaption("Out " + digit + "  " + GetLangText("SID_COMP"));
    if (auto* head = Find<TLabel>("lbHeadCompOut"))
        head->SetCaption("Out " + digit);
    compPageChannel = channel;
}

void TfmMain::DrawLimitCurve(int channel) {
    auto* threshold = Companion<TStTrackBar>("isLimitThreshold", channel);
    auto* knee = Companion<TUpDown>("udLimitKnee", channel);
    if (!threshold || !knee)
        return;
    const float k = static_cast<float>(knee->Position());
    const float t = static_cast<float>(threshold->Position()) * 0.5f;
    SetTransferPoints("ipLimit", {{20, t}, {t + k, t}, {t - k, t - k}, {-100, -100}}, {t + 0.2f, t - 0.4f});
    const std::string digit = ChannelMark(channel);
    if (auto* name = Find<TLabel>("lbLimitName"))
        name->SetCaption("Out " + digit + "  " + GetLangText("SID_LIMIT"));
    if (auto* head = Find<TLabel>("lbHeadLimitOut"))
        head->SetCaption("Out " + digit);
    limitPageChannel = channel;
}

void TfmMain::DrawGateCurve(int channel) {
    if (!DrawGatePoints(channel))
        return;
    if (auto* head = Find<TLabel>("lbHeadGateIn"))
        head->SetCaption("In " + ChannelMark(channel));
    gatePageChannel = channel;
}

bool TfmMain::DrawGatePoints(int channel) {
    auto* threshold = Companion<TStTrackBar>("isGateThreshold", channel);
    if (!threshold)
        return false;
    const float t = static_cast<float>(threshold->Position()) * 0.5f;
    SetTransferPoints("ipGate", {{20, 20}, {t, t}, {t, -100}}, {t + 0.2f, t - 0.4f});
    ShowGateName(channel);
    return true;
}

void TfmMain::SeedTransferCurves() {
    SetTransferPoints("ipComp", {{20, 20}, {-10, -10}, {-10, -10}, {-100, -100}}, {19.8, 20.4});
    SetTransferPoints("ipGate", {{20, 20}, {-90, -90}, {-90, -100}}, {-89.8, -90.4});
    SetTransferPoints("ipLimit", {{20, 20}, {-10, -10}, {-10, -10}, {-100, -100}}, {19.8, 20.4});
}

void TfmMain::ShowGateName(int channel) {
    if (auto* name = Find<TLabel>("lbGateName"))
        name->SetCaption("In " + ChannelMark(channel) + "  " + GetLangText("SID_GATE"));
}

void TfmMain::tmCompDispTimer(TObject*) {
    if (auto* t = Find<kv::TTimer>("tmCompDisp"))
        t->SetEnabled(false);
    if (compCurveChannel >= 0)
        DrawCompCurve(compCurveChannel);
}

void TfmMain::tmLimitDispTimer(TObject*) {
    if (auto* t = Find<kv::TTimer>("tmLimitDisp"))
        t->SetEnabled(false);
    if (limitCurveChannel >= 0)
        DrawLimitCurve(limitCurveChannel);
}
