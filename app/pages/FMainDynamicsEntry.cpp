// Typed values of the dynamics boxes. Enter in a box, or leaving it, reads the box's text; a value is
// clamped to its range and set on the strip's fader or up-down, whose change handler then stores, sends
// and shows it like a move of the control. A text that is no number, or that names the value already
// set, puts the current value back and presses End in the box.

#include "app/FMain.h"

#include "link/Scales.h"
#include "platform/core/Numbers.h"
#include "platform/gui/StdBars.h"
#include "styled/RoundControls.h"
#include "styled/StTrackBar.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

using namespace kv;

namespace {

constexpr std::string_view kLevelUnits[] = {"dB", "DB", "db", "Db"};
constexpr std::string_view kTimeUnits[] = {"ms", "Ms", "mS", "MS"};

bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

// The boxes pad short times with blanks (" 50ms"), so an edited text may keep them.
std::string WithoutBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// For each unit form found anywhere in the text, the text loses its last two characters.
template <size_t N> std::string WithoutUnitSuffix(std::string text, const std::string_view (&units)[N]) {
    for (std::string_view unit : units)
        if (text.find(unit) != std::string::npos)
            text.resize(text.size() - 2);
    return WithoutBlanks(text);
}

// A decimal number: an optional sign where allowed, digits, and a point only with a digit after it.
bool IsDecimal(std::string_view t, bool sign) {
    size_t i = 0;
    if (sign && i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    size_t digits = 0;
    for (; i < t.size() && IsDecimalDigit(t[i]); ++i)
        ++digits;
    if (i == t.size())
        return digits > 0;
    if (t[i] != '.')
        return false;
    size_t fraction = 0;
    for (++i; i < t.size() && IsDecimalDigit(t[i]); ++i)
        ++fraction;
    return fraction > 0 && i == t.size();
}

// The value of a text that IsDecimal accepts; one too large for a double is infinite, and clamped later.
double DecimalValue(std::string_view t) {
    if (const auto v = ParseDouble(t))
        return *v;
    return !t.empty() && t.front() == '-' ? -std::numeric_limits<double>::infinity()
                                          : std::numeric_limits<double>::infinity();
}

// A level or knee text as a number in lo..hi. The first decimal decides: above 5 one decimal is kept,
// below 5 only the whole part, a 5 keeps the text as typed.
std::optional<double> LevelOrKneeValue(const std::string& t, double lo, double hi) {
    if (!IsDecimal(t, true))
        return std::nullopt;
    double v = 0.0;
    const size_t dot = t.find('.');
    if (dot == std::string::npos) {
        v = DecimalValue(t);
    } else if (t[dot + 1] > '5') {
        v = DecimalValue(std::string_view(t).substr(0, dot + 2));
    } else if (t[dot + 1] < '5') {
        const std::string_view whole = std::string_view(t).substr(0, dot);
        v = std::any_of(whole.begin(), whole.end(), IsDecimalDigit) ? DecimalValue(whole) : 0.0;
    } else {
        v = DecimalValue(t);
    }
    return std::clamp(v, lo, hi);
}

// A time text in whole milliseconds, clamped to what the fader shows (its range plus one).
std::optional<long long> TypedTimeValue(const std::string& t, int min, int max) {
    if (t.empty() || !IsNumericText(t) || t.find('.') != std::string::npos)
        return std::nullopt;
    long long v = ParseInt(t).value_or(std::numeric_limits<long long>::max());
    if (v <= min + 1)
        v = min + 1;
    if (v >= max + 1)
        v = max + 1;
    return v;
}

// A ratio text ("4", "1:4", "2.5") as the index of the first ratio at or above it; "1:" must lead the
// text when it holds a colon.
std::optional<int> TypedRatioIndex(const std::string& typed) {
    const std::string t = WithoutUnitSuffix(typed, kLevelUnits);
    if (!std::all_of(t.begin(), t.end(), [](char c) { return IsDecimalDigit(c) || c == ':' || c == '.'; }))
        return std::nullopt;
    if (std::count(t.begin(), t.end(), '.') > 1 || std::count(t.begin(), t.end(), ':') > 1)
        return std::nullopt;
    std::string number = t;
    if (t.find(':') != std::string::npos) {
        if (t.front() != '1')
            return std::nullopt;
        // The number after "1:" is read from the text as typed, unit and all.
        number = typed.substr(std::min<size_t>(2, typed.size()));
    }
    if (!IsDecimal(number, false))
        return std::nullopt;
    const double v = DecimalValue(number);
    for (int i = 0; i < static_cast<int>(COMP_RATIO_VALUE.size()); ++i)
        if (v <= COMP_RATIO_VALUE[static_cast<size_t>(i)])
            return i;
    return static_cast<int>(COMP_RATIO_VALUE.size()) - 1;
}

} // namespace

void TfmMain::ConfirmDynamicsValue(TObject* sender, const char* targetStem, DynamicsValue kind) {
    auto* box = dynamic_cast<TRoundEdit*>(sender);
    if (!box)
        return;
    const int channel = static_cast<int>(box->Tag());
    const bool stepped = kind == DynamicsValue::knee || kind == DynamicsValue::ratio;
    TStTrackBar* fader = stepped ? nullptr : Companion<TStTrackBar>(targetStem, channel);
    TUpDown* upDown = stepped ? Companion<TUpDown>(targetStem, channel) : nullptr;
    if (!fader && !upDown)
        return;
    const auto position = [&] { return fader ? fader->Position() : upDown->Position(); };
    const auto text = [&](int p) {
        switch (kind) {
        case DynamicsValue::level:
            return ThresholdText(p);
        case DynamicsValue::time:
            return TimeText(p, false);
        case DynamicsValue::knee:
            return KneeText(p);
        case DynamicsValue::ratio:
            break;
        }
        return p == upDown->Max() ? std::string("Limit") : RatioText(p);
    };

    const std::string typed = WithoutBlanks(box->GetText());
    std::optional<int> next;
    bool unchanged = false;
    switch (kind) {
    case DynamicsValue::level:
        if (const auto v = LevelOrKneeValue(WithoutUnitSuffix(typed, kLevelUnits), -90.0, 20.0)) {
            unchanged = position() == *v * 2;
            next = static_cast<int>(*v * 2);
        }
        break;
    case DynamicsValue::knee:
        if (const auto v = LevelOrKneeValue(WithoutUnitSuffix(typed, kLevelUnits), 0.0, 12.0)) {
            unchanged = position() == *v;
            next = static_cast<int>(*v);
        }
        break;
    case DynamicsValue::time:
        if (const auto v = TypedTimeValue(WithoutUnitSuffix(typed, kTimeUnits), fader->Min(), fader->Max())) {
            unchanged = position() == *v - 1;
            next = static_cast<int>(*v - 1);
        }
        break;
    case DynamicsValue::ratio:
        // Setting the index the up-down holds changes nothing and only rewrites the box.
        next = TypedRatioIndex(typed);
        break;
    }

    box->SetText({});
    if (next && !unchanged) {
        if (fader)
            fader->SetPosition(*next);
        else
            upDown->SetPosition(*next);
        box->SetText(text(position()));
        return;
    }
    box->SetText(text(position()));
    PressEndKey(*box);
}

#define KV_DYNAMICS_BOX(Box, Target, Kind)                                                                   \
    void TfmMain::Box##KeyDown(TObject* sender, std::uint16_t& key, TShiftState) {                           \
        if (key == VK_RETURN)                                                                                \
            ConfirmDynamicsValue(sender, Target, DynamicsValue::Kind);                                       \
    }                                                                                                        \
    void TfmMain::Box##Exit(TObject* sender) {                                                               \
        ConfirmDynamicsValue(sender, Target, DynamicsValue::Kind);                                           \
    }

KV_DYNAMICS_BOX(cvdCompThresholdOut1, "isCompThreshold", level)
KV_DYNAMICS_BOX(cvdLimitThresholdOut1, "isLimitThreshold", level)
KV_DYNAMICS_BOX(cvdGateThresholdInA, "isGateThreshold", level)
KV_DYNAMICS_BOX(cvdCompAttackOut1, "isCompAttack", time)
KV_DYNAMICS_BOX(cvdCompReleaseOut1, "isCompRelease", time)
KV_DYNAMICS_BOX(cvdLimitAttackOut1, "isLimitAttack", time)
KV_DYNAMICS_BOX(cvdLimitReleaseOut1, "isLimitRelease", time)
KV_DYNAMICS_BOX(cvdGateAttackInA, "isGateAttack", time)
KV_DYNAMICS_BOX(cvdGateReleaseInA, "isGateRelease", time)
KV_DYNAMICS_BOX(cvdGateHoldInA, "isGateHold", time)
KV_DYNAMICS_BOX(cvdCompKneeOut1, "udCompKnee", knee)
KV_DYNAMICS_BOX(cvdLimitKneeOut1, "udLimitKnee", knee)
KV_DYNAMICS_BOX(cvdCompRatioOut1, "udCompRatio", ratio)

#undef KV_DYNAMICS_BOX

void TfmMain::PublishDynamicsEntry(TClassBuilder<TfmMain>& b) {
    b.Method<TKeyEvent>("cvdCompThresholdOut1KeyDown", &TfmMain::cvdCompThresholdOut1KeyDown);
    b.Method<TNotifyEvent>("cvdCompThresholdOut1Exit", &TfmMain::cvdCompThresholdOut1Exit);
    b.Method<TKeyEvent>("cvdLimitThresholdOut1KeyDown", &TfmMain::cvdLimitThresholdOut1KeyDown);
    b.Method<TNotifyEvent>("cvdLimitThresholdOut1Exit", &TfmMain::cvdLimitThresholdOut1Exit);
    b.Method<TKeyEvent>("cvdGateThresholdInAKeyDown", &TfmMain::cvdGateThresholdInAKeyDown);
    b.Method<TNotifyEvent>("cvdGateThresholdInAExit", &TfmMain::cvdGateThresholdInAExit);
    b.Method<TKeyEvent>("cvdCompAttackOut1KeyDown", &TfmMain::cvdCompAttackOut1KeyDown);
    b.Method<TNotifyEvent>("cvdCompAttackOut1Exit", &TfmMain::cvdCompAttackOut1Exit);
    b.Method<TKeyEvent>("cvdCompReleaseOut1KeyDown", &TfmMain::cvdCompReleaseOut1KeyDown);
    b.Method<TNotifyEvent>("cvdCompReleaseOut1Exit", &TfmMain::cvdCompReleaseOut1Exit);
    b.Method<TKeyEvent>("cvdLimitAttackOut1KeyDown", &TfmMain::cvdLimitAttackOut1KeyDown);
    b.Method<TNotifyEvent>("cvdLimitAttackOut1Exit", &TfmMain::cvdLimitAttackOut1Exit);
    b.Method<TKeyEvent>("cvdLimitReleaseOut1KeyDown", &TfmMain::cvdLimitReleaseOut1KeyDown);
    b.Method<TNotifyEvent>("cvdLimitReleaseOut1Exit", &TfmMain::cvdLimitReleaseOut1Exit);
    b.Method<TKeyEvent>("cvdGateAttackInAKeyDown", &TfmMain::cvdGateAttackInAKeyDown);
    b.Method<TNotifyEvent>("cvdGateAttackInAExit", &TfmMain::cvdGateAttackInAExit);
    b.Method<TKeyEvent>("cvdGateReleaseInAKeyDown", &TfmMain::cvdGateReleaseInAKeyDown);
    b.Method<TNotifyEvent>("cvdGateReleaseInAExit", &TfmMain::cvdGateReleaseInAExit);
    b.Method<TKeyEvent>("cvdGateHoldInAKeyDown", &TfmMain::cvdGateHoldInAKeyDown);
    b.Method<TNotifyEvent>("cvdGateHoldInAExit", &TfmMain::cvdGateHoldInAExit);
    b.Method<TKeyEvent>("cvdCompKneeOut1KeyDown", &TfmMain::cvdCompKneeOut1KeyDown);
    b.Method<TNotifyEvent>("cvdCompKneeOut1Exit", &TfmMain::cvdCompKneeOut1Exit);
    b.Method<TKeyEvent>("cvdLimitKneeOut1KeyDown", &TfmMain::cvdLimitKneeOut1KeyDown);
    b.Method<TNotifyEvent>("cvdLimitKneeOut1Exit", &TfmMain::cvdLimitKneeOut1Exit);
    b.Method<TKeyEvent>("cvdCompRatioOut1KeyDown", &TfmMain::cvdCompRatioOut1KeyDown);
    b.Method<TNotifyEvent>("cvdCompRatioOut1Exit", &TfmMain::cvdCompRatioOut1Exit);
}
