// The compressor, limiter and gate strips: a fader or up-down edit stores one field of the channel's
// dynamics record (in its link group) and sends it, the group's strips show the value, and the page's
// transfer curve follows: the compressor's and limiter's on the next tick of their 1 ms timers, the
// gate's at once. A click into a strip shows that strip's channel on its page.

#include "app/pages/DynamicsPage.h"

#include "app/TimerComponent.h"
#include "app/pages/LinkingPage.h"
#include "link/Scales.h"
#include "platform/gui/StdBars.h"
#include "platform/gui/StdPanels.h"
#include "plot/gXYPlot.h"
#include "styled/RoundControls.h"
#include "styled/StTrackBar.h"

#include <algorithm>

using namespace kv;

static TDynamicsPage* DynamicsOf(TfmMain& w) {
    return &w.Dynamics();
}

void TDynamicsPage::Publish(TClassBuilder<TfmMain>& b) {
    b.Forward<TNotifyEvent>("isCompThresholdOut1Change", DynamicsOf,
                            &TDynamicsPage::isCompThresholdOut1Change);
    b.Forward<TNotifyEvent>("isCompAttackOut1Change", DynamicsOf, &TDynamicsPage::isCompAttackOut1Change);
    b.Forward<TNotifyEvent>("isCompReleaseOut1Change", DynamicsOf, &TDynamicsPage::isCompReleaseOut1Change);
    b.Forward<TUDChangingEventEx>("udCompRatioOut1ChangingEx", DynamicsOf,
                                  &TDynamicsPage::udCompRatioOut1ChangingEx);
    b.Forward<TUDChangingEventEx>("udCompKneeOut1ChangingEx", DynamicsOf,
                                  &TDynamicsPage::udCompKneeOut1ChangingEx);
    b.Forward<TNotifyEvent>("isLimitThresholdOut1Change", DynamicsOf,
                            &TDynamicsPage::isLimitThresholdOut1Change);
    b.Forward<TNotifyEvent>("isLimitAttackOut1Change", DynamicsOf, &TDynamicsPage::isLimitAttackOut1Change);
    b.Forward<TNotifyEvent>("isLimitReleaseOut1Change", DynamicsOf, &TDynamicsPage::isLimitReleaseOut1Change);
    b.Forward<TUDChangingEventEx>("udLimitKneeOut1ChangingEx", DynamicsOf,
                                  &TDynamicsPage::udLimitKneeOut1ChangingEx);
    b.Forward<TNotifyEvent>("isGateThresholdInAChange", DynamicsOf, &TDynamicsPage::isGateThresholdInAChange);
    b.Forward<TNotifyEvent>("isGateAttackInAChange", DynamicsOf, &TDynamicsPage::isGateAttackInAChange);
    b.Forward<TNotifyEvent>("isGateReleaseInAChange", DynamicsOf, &TDynamicsPage::isGateReleaseInAChange);
    b.Forward<TNotifyEvent>("isGateHoldInAChange", DynamicsOf, &TDynamicsPage::isGateHoldInAChange);
    b.Forward<TMouseEvent>("isCompThresholdOut1MouseDown", DynamicsOf,
                           &TDynamicsPage::isCompThresholdOut1MouseDown);
    b.Forward<TMouseEvent>("cvdCompThresholdOut1MouseDown", DynamicsOf,
                           &TDynamicsPage::cvdCompThresholdOut1MouseDown);
    b.Forward<TMouseEvent>("lbCompOut1MouseDown", DynamicsOf, &TDynamicsPage::lbCompOut1MouseDown);
    b.Forward<TMouseEvent>("isLimitThresholdOut1MouseDown", DynamicsOf,
                           &TDynamicsPage::isLimitThresholdOut1MouseDown);
    b.Forward<TMouseEvent>("cvdLimitThresholdOut1MouseDown", DynamicsOf,
                           &TDynamicsPage::cvdLimitThresholdOut1MouseDown);
    b.Forward<TMouseEvent>("lbLimitOut1MouseDown", DynamicsOf, &TDynamicsPage::lbLimitOut1MouseDown);
    b.Forward<TMouseEvent>("lbGateInAMouseDown", DynamicsOf, &TDynamicsPage::lbGateInAMouseDown);
    b.Forward<TMouseEvent>("isGateThresholdInAMouseDown", DynamicsOf,
                           &TDynamicsPage::isGateThresholdInAMouseDown);
    b.Forward<TMouseEvent>("cvdGateThresholdInAMouseDown", DynamicsOf,
                           &TDynamicsPage::cvdGateThresholdInAMouseDown);
    b.Forward<TMouseEvent>("cvdGateAttackInAMouseDown", DynamicsOf,
                           &TDynamicsPage::cvdGateAttackInAMouseDown);
    b.Forward<TMouseEvent>("cvdGateReleaseInAMouseDown", DynamicsOf,
                           &TDynamicsPage::cvdGateReleaseInAMouseDown);
    b.Forward<TNotifyEvent>("tmCompDispTimer", DynamicsOf, &TDynamicsPage::tmCompDispTimer);
    b.Forward<TNotifyEvent>("tmLimitDispTimer", DynamicsOf, &TDynamicsPage::tmLimitDispTimer);
    PublishEntry(b);
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

namespace {

// A 1 ms deferral timer on; an enabled one keeps counting, so a burst of edits faster than its period
// still ends in a tick.
void EnableTimer(kv::TTimer* timer) {
    if (timer)
        timer->SetEnabled(true);
}

// One dynamics field on a strip: the stem of its control ("is"/"ud" + stem + suffix) and of its box
// ("cvd" + stem + suffix), and how its strips show it.
struct DynamicsField {
    const char* stem;
    bool upDown;
    bool othersOnly;
    std::string (*text)(int);
};

std::string LevelText(int v) {
    return ThresholdText(v);
}
std::string PaddedTime(int v) {
    return TimeText(v, true);
}
std::string PlainTime(int v) {
    return TimeText(v, false);
}

constexpr DynamicsField kCompStrip[] = {
    {"CompThreshold", false, false, LevelText}, {"CompAttack", false, false, PaddedTime},
    {"CompRelease", false, false, PaddedTime},  {"CompRatio", true, true, RatioText},
    {"CompKnee", true, true, KneeText},
};
constexpr DynamicsField kLimitStrip[] = {
    {"LimitThreshold", false, false, LevelText},
    {"LimitAttack", false, false, PaddedTime},
    {"LimitRelease", false, false, PaddedTime},
    {"LimitKnee", true, true, KneeText},
};
constexpr DynamicsField kGateStrip[] = {
    {"GateThreshold", false, false, LevelText},
    {"GateAttack", false, false, PlainTime},
    {"GateRelease", false, false, PlainTime},
    {"GateHold", false, false, PlainTime},
};

struct StripFields {
    const DynamicsField* fields;
    int count;
};
constexpr StripFields kStrips[] = {{kCompStrip, 5}, {kLimitStrip, 4}, {kGateStrip, 4}};

const DynamicsField* FieldOf(TDynamicsPage::Block block, int field) {
    const StripFields& strip = kStrips[block];
    return field >= 0 && field < strip.count ? &strip.fields[field] : nullptr;
}

} // namespace

void TDynamicsPage::Bind() {
    for (const Block block : {comp, limit, gate}) {
        for (int field = 0; field < kStrips[block].count; ++field) {
            const DynamicsField& f = kStrips[block].fields[field];
            const auto k = static_cast<size_t>(field);
            if (f.upDown)
                BindSix(upDowns[block][k], std::string("ud") + f.stem);
            else
                BindSix(faders[block][k], std::string("is") + f.stem);
            BindSix(boxes[block][k], std::string("cvd") + f.stem);
        }
    }
    BindOne(compPlot, "ipComp");
    BindOne(limitPlot, "ipLimit");
    BindOne(gatePlot, "ipGate");
    BindOne(compName, "lbCompName");
    BindOne(compHead, "lbHeadCompOut");
    BindOne(limitName, "lbLimitName");
    BindOne(limitHead, "lbHeadLimitOut");
    BindOne(gateName, "lbGateName");
    BindOne(gateHead, "lbHeadGateIn");
    BindOne(compTimer, "tmCompDisp");
    BindOne(limitTimer, "tmLimitDisp");
}

void TDynamicsPage::ResetPageChannels() {
    gatePageChannel = 0;
    compPageChannel = 2;
    limitPageChannel = 2;
}

int TDynamicsPage::FieldCount(Block block) const {
    return kStrips[block].count;
}

std::string TDynamicsPage::FieldText(Block block, int field, int value) const {
    const DynamicsField* f = FieldOf(block, field);
    return f ? f->text(value) : std::string();
}

bool TDynamicsPage::FieldForOthersOnly(Block block, int field) const {
    const DynamicsField* f = FieldOf(block, field);
    return f && f->othersOnly;
}

bool TDynamicsPage::ShowField(Block block, int channel, int field, int value, const std::string& text) {
    const DynamicsField* f = FieldOf(block, field);
    if (!f)
        return false;
    const auto k = static_cast<size_t>(field);
    auto* box = At(boxes[block][k], channel);
    if (f->upDown) {
        auto* ud = At(upDowns[block][k], channel);
        if (!ud || !box)
            return false;
        ud->SetPosition(value);
    } else {
        auto* fader = At(faders[block][k], channel);
        if (!fader || !box)
            return false;
        fader->SetPosition(value);
    }
    box->SetText(text);
    return true;
}

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

void TDynamicsPage::ApplyCompParam(int channel, int field, int value) {
    if (!Model())
        return;
    CompRecord r = Model()->GetComp(channel);
    if (!SetField(r, kCompFields, field, value))
        return;
    if (field == 0) {
        // The curve is drawn from the fader, so it follows the stored threshold; its handler stays quiet.
        if (auto* fader = At(faders[comp][0], channel)) {
            TfmMain::UpdatingViewGuard quiet(w);
            fader->SetPosition(value);
        }
    }
    if (!Updating())
        Model()->SetComp(channel, r);
}

void TDynamicsPage::ApplyLimitParam(int channel, int field, int value) {
    if (!Model())
        return;
    LimitRecord r = Model()->GetLimit(channel);
    if (SetField(r, kLimitFields, field, value) && !Updating())
        Model()->SetLimit(channel, r);
}

void TDynamicsPage::ApplyGateParam(int channel, int field, int value) {
    if (!Model())
        return;
    GateRecord r = Model()->GetGate(channel);
    if (SetField(r, kGateFields, field, value) && !Updating())
        Model()->SetGate(channel, r);
}

// ---- Change handlers --------------------------------------------------------------------------------

// The mirror writes the value box of every output of the group, this one's included.
void TDynamicsPage::CompFaderChange(TObject* sender, int field) {
    auto* fader = dynamic_cast<TStTrackBar*>(sender);
    if (Updating() || !fader)
        return;
    const int channel = static_cast<int>(fader->Tag());
    const int position = fader->Position();
    EnableTimer(compTimer);
    compCurveChannel = channel;
    compPageChannel = channel;
    ApplyCompParam(channel, field, position);
    w.Linking().MirrorCompToLinked(channel, field, position);
}

// Called before the up-down takes the new value. An arrow pressed at an end of the range offers a
// value beyond it, which is left alone.
void TDynamicsPage::CompUpDownChange(TObject* sender, int field, int newValue) {
    auto* upDown = dynamic_cast<TUpDown*>(sender);
    if (Updating() || !upDown)
        return;
    if (newValue < upDown->Min() || newValue > upDown->Max())
        return;
    const int channel = static_cast<int>(upDown->Tag());
    auto* box = At(boxes[comp][static_cast<size_t>(field)], channel);
    if (!box)
        return;
    box->SetText(field == 3 ? RatioBoxText(*upDown, newValue) : KneeText(newValue));
    EnableTimer(compTimer);
    compCurveChannel = channel;
    compPageChannel = channel;
    ApplyCompParam(channel, field, newValue);
    w.Linking().MirrorCompToLinked(channel, field, newValue);
}

void TDynamicsPage::isCompThresholdOut1Change(TObject* sender) {
    CompFaderChange(sender, 0);
}

void TDynamicsPage::isCompAttackOut1Change(TObject* sender) {
    CompFaderChange(sender, 1);
}

void TDynamicsPage::isCompReleaseOut1Change(TObject* sender) {
    CompFaderChange(sender, 2);
}

void TDynamicsPage::udCompRatioOut1ChangingEx(TObject* sender, bool&, std::int16_t newValue,
                                              TUpDownDirection) {
    CompUpDownChange(sender, 3, newValue);
}

void TDynamicsPage::udCompKneeOut1ChangingEx(TObject* sender, bool&, std::int16_t newValue,
                                             TUpDownDirection) {
    CompUpDownChange(sender, 4, newValue);
}

void TDynamicsPage::LimitFaderChange(TObject* sender, int field) {
    auto* fader = dynamic_cast<TStTrackBar*>(sender);
    if (Updating() || !fader)
        return;
    limitPageChannel = static_cast<int>(fader->Tag());
    auto* box = At(boxes[limit][static_cast<size_t>(field)], limitPageChannel);
    if (!box)
        return;
    const int position = fader->Position();
    box->SetText(field == 0 ? ThresholdText(position) : TimeText(position, true));
    EnableTimer(limitTimer);
    limitCurveChannel = limitPageChannel;
    ApplyLimitParam(limitPageChannel, field, position);
    w.Linking().MirrorLimitToLinked(limitPageChannel, field, position);
}

void TDynamicsPage::isLimitThresholdOut1Change(TObject* sender) {
    LimitFaderChange(sender, 0);
}

void TDynamicsPage::isLimitAttackOut1Change(TObject* sender) {
    LimitFaderChange(sender, 1);
}

void TDynamicsPage::isLimitReleaseOut1Change(TObject* sender) {
    LimitFaderChange(sender, 2);
}

void TDynamicsPage::udLimitKneeOut1ChangingEx(TObject* sender, bool&, std::int16_t newValue,
                                              TUpDownDirection) {
    auto* upDown = dynamic_cast<TUpDown*>(sender);
    if (Updating() || !upDown)
        return;
    if (newValue < upDown->Min() || newValue > upDown->Max())
        return;
    limitPageChannel = static_cast<int>(upDown->Tag());
    auto* box = At(boxes[limit][3], limitPageChannel);
    if (!box)
        return;
    box->SetText(KneeText(newValue));
    EnableTimer(limitTimer);
    limitCurveChannel = limitPageChannel;
    ApplyLimitParam(limitPageChannel, 3, newValue);
    w.Linking().MirrorLimitToLinked(limitPageChannel, 3, newValue);
}

// The gate's curve has three points: it is redrawn inside the handler, before the record is sent.
void TDynamicsPage::GateFaderChange(TObject* sender, int field) {
    auto* fader = dynamic_cast<TStTrackBar*>(sender);
    if (Updating() || !fader)
        return;
    gatePageChannel = static_cast<int>(fader->Tag());
    auto* box = At(boxes[gate][static_cast<size_t>(field)], gatePageChannel);
    if (!box)
        return;
    const int position = fader->Position();
    box->SetText(field == 0 ? ThresholdText(position) : TimeText(position, false));
    if (!DrawGatePoints(gatePageChannel))
        return;
    ApplyGateParam(gatePageChannel, field, position);
    w.Linking().MirrorGateToLinked(gatePageChannel, field, position);
}

void TDynamicsPage::isGateThresholdInAChange(TObject* sender) {
    GateFaderChange(sender, 0);
}

void TDynamicsPage::isGateAttackInAChange(TObject* sender) {
    GateFaderChange(sender, 1);
}

void TDynamicsPage::isGateReleaseInAChange(TObject* sender) {
    GateFaderChange(sender, 2);
}

void TDynamicsPage::isGateHoldInAChange(TObject* sender) {
    GateFaderChange(sender, 3);
}

// ---- Page channel -----------------------------------------------------------------------------------

// Any button: the click only chooses what the page shows, so it neither tests the updating flag nor
// sends anything.
void TDynamicsPage::isCompThresholdOut1MouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawCompCurve(StripChannelOf(sender));
}

void TDynamicsPage::cvdCompThresholdOut1MouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawCompCurve(StripChannelOf(sender));
}

void TDynamicsPage::lbCompOut1MouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawCompCurve(StripChannelOf(sender));
}

void TDynamicsPage::isLimitThresholdOut1MouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawLimitCurve(StripChannelOf(sender));
}

void TDynamicsPage::cvdLimitThresholdOut1MouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawLimitCurve(StripChannelOf(sender));
}

void TDynamicsPage::lbLimitOut1MouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawLimitCurve(StripChannelOf(sender));
}

void TDynamicsPage::lbGateInAMouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawGateCurve(StripChannelOf(sender));
}

void TDynamicsPage::isGateThresholdInAMouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawGateCurve(StripChannelOf(sender));
}

void TDynamicsPage::cvdGateThresholdInAMouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawGateCurve(StripChannelOf(sender));
}

void TDynamicsPage::cvdGateAttackInAMouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawGateCurve(StripChannelOf(sender));
}

void TDynamicsPage::cvdGateReleaseInAMouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    DrawGateCurve(StripChannelOf(sender));
}

// ---- Transfer curves --------------------------------------------------------------------------------

// Replaces the points of a dynamics plot: channel 0 the curve, channel 1 the threshold point. Each
// channel is emptied whatever it holds, so a channel never keeps a point of an older curve.
void TDynamicsPage::SetTransferPoints(TgXYPlot* plot, std::initializer_list<TransferPoint> curve,
                                      TransferPoint threshold) {
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

void TDynamicsPage::DrawCompCurve(int channel) {
    auto* threshold = At(faders[comp][0], channel);
    auto* knee = At(upDowns[comp][4], channel);
    auto* ratio = At(upDowns[comp][3], channel);
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
    SetTransferPoints(compPlot, {{20, t + a}, {t + k, t + b}, {t - k, t - k}, {-100, -100}},
                      {t + 0.2f, t - 0.4f});
    const std::string digit = TfmMain::ChannelMark(channel);
    if (compName)
        compName->SetCaption("Out " + digit + "  " + w.GetLangText("SID_COMP"));
    if (compHead)
        compHead->SetCaption("Out " + digit);
    compPageChannel = channel;
}

void TDynamicsPage::DrawLimitCurve(int channel) {
    auto* threshold = At(faders[limit][0], channel);
    auto* knee = At(upDowns[limit][3], channel);
    if (!threshold || !knee)
        return;
    const float k = static_cast<float>(knee->Position());
    const float t = static_cast<float>(threshold->Position()) * 0.5f;
    SetTransferPoints(limitPlot, {{20, t}, {t + k, t}, {t - k, t - k}, {-100, -100}}, {t + 0.2f, t - 0.4f});
    const std::string digit = TfmMain::ChannelMark(channel);
    if (limitName)
        limitName->SetCaption("Out " + digit + "  " + w.GetLangText("SID_LIMIT"));
    if (limitHead)
        limitHead->SetCaption("Out " + digit);
    limitPageChannel = channel;
}

void TDynamicsPage::DrawGateCurve(int channel) {
    if (!DrawGatePoints(channel))
        return;
    if (gateHead)
        gateHead->SetCaption("In " + TfmMain::ChannelMark(channel));
    gatePageChannel = channel;
}

bool TDynamicsPage::DrawGatePoints(int channel) {
    auto* threshold = At(faders[gate][0], channel);
    if (!threshold)
        return false;
    const float t = static_cast<float>(threshold->Position()) * 0.5f;
    SetTransferPoints(gatePlot, {{20, 20}, {t, t}, {t, -100}}, {t + 0.2f, t - 0.4f});
    ShowGateName(channel);
    return true;
}

void TDynamicsPage::SeedTransferCurves() {
    SetTransferPoints(compPlot, {{20, 20}, {-10, -10}, {-10, -10}, {-100, -100}}, {19.8, 20.4});
    SetTransferPoints(gatePlot, {{20, 20}, {-90, -90}, {-90, -100}}, {-89.8, -90.4});
    SetTransferPoints(limitPlot, {{20, 20}, {-10, -10}, {-10, -10}, {-100, -100}}, {19.8, 20.4});
}

void TDynamicsPage::ShowGateName(int channel) {
    if (gateName)
        gateName->SetCaption("In " + TfmMain::ChannelMark(channel) + "  " + w.GetLangText("SID_GATE"));
}

void TDynamicsPage::tmCompDispTimer(TObject*) {
    if (compTimer)
        compTimer->SetEnabled(false);
    if (compCurveChannel >= 0)
        DrawCompCurve(compCurveChannel);
}

void TDynamicsPage::tmLimitDispTimer(TObject*) {
    if (limitTimer)
        limitTimer->SetEnabled(false);
    if (limitCurveChannel >= 0)
        DrawLimitCurve(limitCurveChannel);
}

// ---- Refresh ----------------------------------------------------------------------------------------

void TDynamicsPage::FillGate(TFill& f, int c, const GateRecord& g, bool startup) {
    const auto& fader = faders[gate];
    const auto& box = boxes[gate];
    f.Box(At(box[0], c), ThresholdText(f.Fader(At(fader[0], c), g.threshold, true)));
    f.Box(At(box[1], c), TimeText(f.Fader(At(fader[1], c), g.attack), false));
    f.Box(At(box[2], c), TimeText(f.Fader(At(fader[2], c), g.release), false));
    f.Box(At(box[3], c), TimeText(f.Fader(At(fader[3], c), g.hold), false));
    if (!f.ok())
        return;
    // The gate page shows one input: its name and transfer curve follow that input, never another one's.
    if (!startup && c == gatePageChannel)
        DrawGatePoints(c);
}

void TDynamicsPage::FillCompLimit(TFill& f, int c, const CompRecord& r, const LimitRecord& l, bool startup) {
    const auto& cf = faders[comp];
    const auto& cu = upDowns[comp];
    const auto& cb = boxes[comp];
    f.Box(At(cb[0], c), ThresholdText(f.Fader(At(cf[0], c), r.threshold, true)));
    const int ratio = f.UpDown(At(cu[3], c), r.ratio);
    f.Box(At(cb[3], c), RatioText(ratio));
    f.Box(At(cb[1], c), TimeText(f.Fader(At(cf[1], c), r.attack), true));
    f.Box(At(cb[2], c), TimeText(f.Fader(At(cf[2], c), r.release), true));
    f.Box(At(cb[4], c), KneeText(f.UpDown(At(cu[4], c), r.knee)));
    if (!startup && c == 2)
        DrawCompCurve(c);
    const auto& lf = faders[limit];
    const auto& lb = boxes[limit];
    f.Box(At(lb[0], c), ThresholdText(f.Fader(At(lf[0], c), l.threshold, true)));
    f.Box(At(lb[1], c), TimeText(f.Fader(At(lf[1], c), l.attack), true));
    f.Box(At(lb[2], c), TimeText(f.Fader(At(lf[2], c), l.release), true));
    f.Box(At(lb[3], c), KneeText(f.UpDown(At(upDowns[limit][3], c), l.knee)));
    if (!f.ok())
        return;
    if (!startup && c == 2)
        DrawLimitCurve(c);
}
