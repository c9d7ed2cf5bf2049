// Typed values of the dynamics boxes. Enter in a box, or leaving it, reads the box's text; a value is
// clamped to its range and set on the strip's fader or up-down, whose change handler then stores, sends
// and shows it like a move of the control. A text that is no number, or that names the value already
// set, puts the current value back and presses End in the box.

#include "app/pages/DynamicsPage.h"

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

void TDynamicsPage::ConfirmDynamicsValue(TObject* sender, Block block, int field, DynamicsValue kind) {
    auto* box = dynamic_cast<TRoundEdit*>(sender);
    if (!box)
        return;
    const int channel = static_cast<int>(box->Tag());
    const bool stepped = kind == DynamicsValue::knee || kind == DynamicsValue::ratio;
    const auto k = static_cast<size_t>(field);
    TStTrackBar* fader = stepped ? nullptr : At(faders[block][k], channel);
    TUpDown* upDown = stepped ? At(upDowns[block][k], channel) : nullptr;
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

#define KV_DYNAMICS_BOX(Box, Block, Field, Kind)                                                             \
    void TDynamicsPage::Box##KeyDown(TObject* sender, std::uint16_t& key, TShiftState) {                     \
        if (key == VK_RETURN)                                                                                \
            ConfirmDynamicsValue(sender, Block, Field, DynamicsValue::Kind);                                 \
    }                                                                                                        \
    void TDynamicsPage::Box##Exit(TObject* sender) {                                                         \
        ConfirmDynamicsValue(sender, Block, Field, DynamicsValue::Kind);                                     \
    }

KV_DYNAMICS_BOX(cvdCompThresholdOut1, comp, 0, level)
KV_DYNAMICS_BOX(cvdLimitThresholdOut1, limit, 0, level)
KV_DYNAMICS_BOX(cvdGateThresholdInA, gate, 0, level)
KV_DYNAMICS_BOX(cvdCompAttackOut1, comp, 1, time)
KV_DYNAMICS_BOX(cvdCompReleaseOut1, comp, 2, time)
KV_DYNAMICS_BOX(cvdLimitAttackOut1, limit, 1, time)
KV_DYNAMICS_BOX(cvdLimitReleaseOut1, limit, 2, time)
KV_DYNAMICS_BOX(cvdGateAttackInA, gate, 1, time)
KV_DYNAMICS_BOX(cvdGateReleaseInA, gate, 2, time)
KV_DYNAMICS_BOX(cvdGateHoldInA, gate, 3, time)
KV_DYNAMICS_BOX(cvdCompKneeOut1, comp, 4, knee)
KV_DYNAMICS_BOX(cvdLimitKneeOut1, limit, 3, knee)
KV_DYNAMICS_BOX(cvdCompRatioOut1, comp, 3, ratio)

#undef KV_DYNAMICS_BOX

static TDynamicsPage* DynamicsEntryOf(TfmMain& w) {
    return &w.Dynamics();
}

void TDynamicsPage::PublishEntry(TClassBuilder<TfmMain>& b) {
    b.Forward<TKeyEvent>("cvdCompThresholdOut1KeyDown", DynamicsEntryOf,
                         &TDynamicsPage::cvdCompThresholdOut1KeyDown);
    b.Forward<TNotifyEvent>("cvdCompThresholdOut1Exit", DynamicsEntryOf,
                            &TDynamicsPage::cvdCompThresholdOut1Exit);
    b.Forward<TKeyEvent>("cvdLimitThresholdOut1KeyDown", DynamicsEntryOf,
                         &TDynamicsPage::cvdLimitThresholdOut1KeyDown);
    b.Forward<TNotifyEvent>("cvdLimitThresholdOut1Exit", DynamicsEntryOf,
                            &TDynamicsPage::cvdLimitThresholdOut1Exit);
    b.Forward<TKeyEvent>("cvdGateThresholdInAKeyDown", DynamicsEntryOf,
                         &TDynamicsPage::cvdGateThresholdInAKeyDown);
    b.Forward<TNotifyEvent>("cvdGateThresholdInAExit", DynamicsEntryOf,
                            &TDynamicsPage::cvdGateThresholdInAExit);
    b.Forward<TKeyEvent>("cvdCompAttackOut1KeyDown", DynamicsEntryOf,
                         &TDynamicsPage::cvdCompAttackOut1KeyDown);
    b.Forward<TNotifyEvent>("cvdCompAttackOut1Exit", DynamicsEntryOf, &TDynamicsPage::cvdCompAttackOut1Exit);
    b.Forward<TKeyEvent>("cvdCompReleaseOut1KeyDown", DynamicsEntryOf,
                         &TDynamicsPage::cvdCompReleaseOut1KeyDown);
    b.Forward<TNotifyEvent>("cvdCompReleaseOut1Exit", DynamicsEntryOf,
                            &TDynamicsPage::cvdCompReleaseOut1Exit);
    b.Forward<TKeyEvent>("cvdLimitAttackOut1KeyDown", DynamicsEntryOf,
                         &TDynamicsPage::cvdLimitAttackOut1KeyDown);
    b.Forward<TNotifyEvent>("cvdLimitAttackOut1Exit", DynamicsEntryOf,
                            &TDynamicsPage::cvdLimitAttackOut1Exit);
    b.Forward<TKeyEvent>("cvdLimitReleaseOut1KeyDown", DynamicsEntryOf,
                         &TDynamicsPage::cvdLimitReleaseOut1KeyDown);
    b.Forward<TNotifyEvent>("cvdLimitReleaseOut1Exit", DynamicsEntryOf,
                            &TDynamicsPage::cvdLimitReleaseOut1Exit);
    b.Forward<TKeyEvent>("cvdGateAttackInAKeyDown", DynamicsEntryOf, &TDynamicsPage::cvdGateAttackInAKeyDown);
    b.Forward<TNotifyEvent>("cvdGateAttackInAExit", DynamicsEntryOf, &TDynamicsPage::cvdGateAttackInAExit);
    b.Forward<TKeyEvent>("cvdGateReleaseInAKeyDown", DynamicsEntryOf,
                         &TDynamicsPage::cvdGateReleaseInAKeyDown);
    b.Forward<TNotifyEvent>("cvdGateReleaseInAExit", DynamicsEntryOf, &TDynamicsPage::cvdGateReleaseInAExit);
    b.Forward<TKeyEvent>("cvdGateHoldInAKeyDown", DynamicsEntryOf, &TDynamicsPage::cvdGateHoldInAKeyDown);
    b.Forward<TNotifyEvent>("cvdGateHoldInAExit", DynamicsEntryOf, &TDynamicsPage::cvdGateHoldInAExit);
    b.Forward<TKeyEvent>("cvdCompKneeOut1KeyDown", DynamicsEntryOf, &TDynamicsPage::cvdCompKneeOut1KeyDown);
    b.Forward<TNotifyEvent>("cvdCompKneeOut1Exit", DynamicsEntryOf, &TDynamicsPage::cvdCompKneeOut1Exit);
    b.Forward<TKeyEvent>("cvdLimitKneeOut1KeyDown", DynamicsEntryOf, &TDynamicsPage::cvdLimitKneeOut1KeyDown);
    b.Forward<TNotifyEvent>("cvdLimitKneeOut1Exit", DynamicsEntryOf, &TDynamicsPage::cvdLimitKneeOut1Exit);
    b.Forward<TKeyEvent>("cvdCompRatioOut1KeyDown", DynamicsEntryOf, &TDynamicsPage::cvdCompRatioOut1KeyDown);
    b.Forward<TNotifyEvent>("cvdCompRatioOut1Exit", DynamicsEntryOf, &TDynamicsPage::cvdCompRatioOut1Exit);
}
