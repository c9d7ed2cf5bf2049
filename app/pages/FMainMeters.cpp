// The level meters: the 300 ms level poll while online, the reply's decoding and the bars and lamps of
// the channel, gain, gate, compressor and limiter pages.

#include "app/FMain.h"

#include "controls/LProgressBar.h"
#include "link/Scales.h"
#include "platform/gui/StdBars.h"

#include <cmath>
#include <cstring>

using namespace kv;

void TfmMain::PublishMeters(TClassBuilder<TfmMain>& b) {
    b.Method<TNotifyEvent>("tmInLevelDetTimer", &TfmMain::tmInLevelDetTimer);
}

namespace {

// The reply's value index of each channel InA, InB, Out1..Out4; values 2, 3, 8 and 9 show nowhere.
constexpr int kLevelValueOfChannel[6] = {0, 1, 4, 5, 6, 7};

constexpr size_t kLevelsPayload = 32;

} // namespace

float TfmMain::DecodeLevel(uint8_t b0, uint8_t b1, uint8_t b2) {
    // The unit sends the upper three bytes of a single-precision number, in the order 2nd, 1st, 3rd.
    const uint32_t bits =
        static_cast<uint32_t>(b1) << 24 | static_cast<uint32_t>(b0) << 16 | static_cast<uint32_t>(b2) << 8;
    float v = 0.0f;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

int TfmMain::LevelSegments(float level, bool input) {
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

void TfmMain::tmInLevelDetTimer(TObject*) {
    SendCommand(CM_MCS_CMD(static_cast<uint8_t>(GetDeviceId()), MCS_LEVELS), false);
}

void TfmMain::OnLevelsReply(const BSTM& payload) {
    // A short reply carries no whole set of levels: the bars keep what they show.
    if (payload.size() < kLevelsPayload)
        return;
    float levels[10];
    for (int k = 0; k < 10; ++k)
        levels[k] = DecodeLevel(payload[3 * k], payload[3 * k + 1], payload[3 * k + 2]);
    const unsigned activity = payload[30] | static_cast<unsigned>(payload[31]) << 8;

    auto set = [this](const std::string& name, int position) {
        auto* bar = Find<LProgressBar>(name);
        if (bar)
            bar->SetPosition(position);
        return bar != nullptr;
    };

    for (int c = 0; c <= 5; ++c) {
        const float v = levels[kLevelValueOfChannel[c]];
        const std::string suffix = ChannelSuffix(c);
        if (c <= 1) {
            const int count = LevelSegments(v, true);
            if (!set("pbLevelBackup" + suffix, count) || !set("pbLevel" + suffix, count) ||
                !set("pbLevelGate" + suffix, count))
                return;
            if (gatePageChannel == c && !set("pbLevelGateIn", count))
                return;
            continue;
        }
        const int count = LevelSegments(v, false);
        if (!set("pbLevelComp" + suffix, count) || !set("pbLevelBackup" + suffix, count) ||
            !set("pbLevel" + suffix, count))
            return;
        auto* ratio = Find<TUpDown>("udCompRatio" + suffix);
        if (!ratio)
            return;
        // A 1:1.0 ratio never compresses, whatever the unit reports.
        const int comp = (activity >> (c - 2) & 1) && ratio->Position() != 0 ? 1 : 0;
        if (!set("pbLimitComp" + suffix, comp) || !set("pbLimitBackup" + suffix, comp))
            return;
        if (compPageChannel == c && (!set("pbLimitCompOut", comp) || !set("pbLevelCompOut", count)))
            return;
        const int limit = static_cast<int>(activity >> (8 + c - 2) & 1);
        if (!set("pbLevelLimit" + suffix, count) || !set("pbLimitLimit" + suffix, limit))
            return;
        if (limitPageChannel == c && (!set("pbLimitLimitOut", limit) || !set("pbLevelLimitOut", count)))
            return;
    }
}

void TfmMain::ResetLevelMeters() {
    auto zero = [this](const std::string& name) {
        auto* bar = Find<LProgressBar>(name);
        if (bar)
            bar->SetPosition(0);
        return bar != nullptr;
    };
    for (int c = 0; c <= 5; ++c) {
        const std::string s = ChannelSuffix(c);
        if (c <= 1) {
            for (const char* stem : {"pbLevel", "pbLevelBackup", "pbLevelGate"})
                if (!zero(stem + s))
                    return;
            continue;
        }
        for (const char* stem : {"pbLevel", "pbLevelBackup", "pbLevelComp", "pbLevelLimit", "pbLimit",
                                 "pbLimitBackup", "pbLimitComp", "pbLimitLimit"})
            if (!zero(stem + s))
                return;
    }
    for (const char* mirror :
         {"pbLevelCompOut", "pbLimitCompOut", "pbLevelGateIn", "pbLevelLimitOut", "pbLimitLimitOut"})
        if (!zero(mirror))
            return;
}
