// The level meters: the 300 ms level poll while online, the reply's decoding and the bars and lamps of
// the channel, gain, gate, compressor and limiter pages.

#include "app/pages/MetersPage.h"

#include "app/pages/DynamicsPage.h"
#include "controls/LProgressBar.h"
#include "link/LCmd.h"
#include "link/LMainHost.h"
#include "link/Scales.h"
#include "platform/gui/StdBars.h"

#include <cmath>
#include <cstring>

using namespace kv;

static TMetersPage* MetersOf(TfmMain& w) {
    return &w.Meters();
}

void TMetersPage::Publish(TClassBuilder<TfmMain>& b) {
    b.Forward<TNotifyEvent>("tmInLevelDetTimer", MetersOf, &TMetersPage::tmInLevelDetTimer);
}

void TMetersPage::Bind() {
    BindSix(level, "pbLevel");
    BindSix(levelBackup, "pbLevelBackup");
    BindSix(levelGate, "pbLevelGate");
    BindSix(levelComp, "pbLevelComp");
    BindSix(levelLimit, "pbLevelLimit");
    BindSix(lamp, "pbLimit");
    BindSix(lampBackup, "pbLimitBackup");
    BindSix(lampComp, "pbLimitComp");
    BindSix(lampLimit, "pbLimitLimit");
    BindOne(gateInLevel, "pbLevelGateIn");
    BindOne(compOutLevel, "pbLevelCompOut");
    BindOne(compOutLamp, "pbLimitCompOut");
    BindOne(limitOutLevel, "pbLevelLimitOut");
    BindOne(limitOutLamp, "pbLimitLimitOut");
}

namespace {

// The reply's value index of each channel InA, InB, Out1..Out4; values 2, 3, 8 and 9 show nowhere.
constexpr int kLevelValueOfChannel[6] = {0, 1, 4, 5, 6, 7};

constexpr size_t kLevelsPayload = 32;

} // namespace

float TMetersPage::DecodeLevel(uint8_t b0, uint8_t b1, uint8_t b2) {
    // The unit sends the upper three bytes of a single-precision number, in the order 2nd, 1st, 3rd.
    const uint32_t bits =
        static_cast<uint32_t>(b1) << 24 | static_cast<uint32_t>(b0) << 16 | static_cast<uint32_t>(b2) << 8;
    float v = 0.0f;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

int TMetersPage::LevelSegments(float level, bool input) {
    if (level == 0.0f)
        level = 1e-7f;
    // A negative level or a NaN gives a NaN here, which passes every threshold: the bar lights whole.
    const float dB = 20.0f * std::log10(level);
    // A threshold T is passed when T - 15 lies below the level in dB; counting stops at the first not
    // passed.
    const float* table = input ? LEVEL_THRESHOLDS_IN.data() : LEVEL_THRESHOLDS_OUT.data();
    const int n = static_cast<int>(input ? LEVEL_THRESHOLDS_IN.size() : LEVEL_THRESHOLDS_OUT.size());
    int count = 0;
    while (count < n && !(table[count] - 15.0f >= dB))
        ++count;
    return count;
}

void TMetersPage::tmInLevelDetTimer(TObject*) {
    host.SendCommand(CM_MCS_CMD(static_cast<uint8_t>(host.GetDeviceId()), MCS_LEVELS), false);
}

namespace {

// A bar set to a position; false when the layout lacks it, which ends the showing.
bool ShowLevel(LProgressBar* bar, int position) {
    if (bar)
        bar->SetPosition(position);
    return bar != nullptr;
}

} // namespace

void TMetersPage::OnLevelsReply(const BSTM& payload) {
    // A short reply carries no whole set of levels: the bars keep what they show.
    if (payload.size() < kLevelsPayload)
        return;
    float levels[10];
    for (int k = 0; k < 10; ++k)
        levels[k] = DecodeLevel(payload[3 * k], payload[3 * k + 1], payload[3 * k + 2]);
    const unsigned activity = payload[30] | static_cast<unsigned>(payload[31]) << 8;
    const TDynamicsPage& dynamics = w.Dynamics();

    for (int c = 0; c <= 5; ++c) {
        const float v = levels[kLevelValueOfChannel[c]];
        if (c <= 1) {
            const int count = LevelSegments(v, true);
            if (!ShowLevel(At(levelBackup, c), count) || !ShowLevel(At(level, c), count) ||
                !ShowLevel(At(levelGate, c), count))
                return;
            if (dynamics.GatePageChannel() == c && !ShowLevel(gateInLevel, count))
                return;
            continue;
        }
        const int count = LevelSegments(v, false);
        if (!ShowLevel(At(levelComp, c), count) || !ShowLevel(At(levelBackup, c), count) ||
            !ShowLevel(At(level, c), count))
            return;
        auto* ratio = dynamics.CompRatio(c);
        if (!ratio)
            return;
        // A 1:1.0 ratio never compresses, whatever the unit reports.
        const int comp = (activity >> (c - 2) & 1) && ratio->Position() != 0 ? 1 : 0;
        if (!ShowLevel(At(lampComp, c), comp) || !ShowLevel(At(lampBackup, c), comp))
            return;
        if (dynamics.CompPageChannel() == c &&
            (!ShowLevel(compOutLamp, comp) || !ShowLevel(compOutLevel, count)))
            return;
        const int limit = static_cast<int>(activity >> (8 + c - 2) & 1);
        if (!ShowLevel(At(levelLimit, c), count) || !ShowLevel(At(lampLimit, c), limit))
            return;
        if (dynamics.LimitPageChannel() == c &&
            (!ShowLevel(limitOutLamp, limit) || !ShowLevel(limitOutLevel, count)))
            return;
    }
}

void TMetersPage::ResetLevelMeters() {
    for (int c = 0; c <= 5; ++c) {
        if (c <= 1) {
            for (const TSix<LProgressBar>* bars : {&level, &levelBackup, &levelGate})
                if (!ShowLevel(At(*bars, c), 0))
                    return;
            continue;
        }
        for (const TSix<LProgressBar>* bars :
             {&level, &levelBackup, &levelComp, &levelLimit, &lamp, &lampBackup, &lampComp, &lampLimit})
            if (!ShowLevel(At(*bars, c), 0))
                return;
    }
    for (LProgressBar* mirror : {compOutLevel, compOutLamp, gateInLevel, limitOutLevel, limitOutLamp})
        if (!ShowLevel(mirror, 0))
            return;
}
