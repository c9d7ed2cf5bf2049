// The page objects' shared parts: the controls they found by name, and the typed entry of levels.

#include "app/pages/Page.h"

#include "link/Scales.h"
#include "panels/PkBmpButton.h"
#include "platform/core/Numbers.h"
#include "platform/gui/StdBars.h"
#include "styled/RoundControls.h"
#include "styled/StTrackBar.h"

#include <algorithm>
#include <cmath>
#include <utility>

using namespace kv;

void TPage::Remember(TComponent* component, std::function<void()> clear) {
    if (component)
        bound_.emplace(component, std::move(clear));
}

void TPage::Forget(TComponent* component) {
    auto [first, last] = bound_.equal_range(component);
    for (auto it = first; it != last; ++it)
        it->second();
    bound_.erase(first, last);
}

int TFill::Fader(TStTrackBar* fader, int value, bool addMin) {
    auto* f = Take(fader);
    if (!f)
        return 0;
    f->SetPosition(addMin ? value + f->Min() : value);
    return f->Position();
}

int TFill::UpDown(TUpDown* upDown, int value, bool addMin) {
    auto* u = Take(upDown);
    if (!u)
        return 0;
    u->SetPosition(addMin ? value + u->Min() : value);
    return u->Position();
}

void TFill::Box(TRoundEdit* box, const std::string& text) {
    if (auto* b = Take(box))
        b->SetText(text);
}

void TFill::Down(TPkBmpButton* button, bool down) {
    if (auto* b = Take(button))
        b->SetDown(down);
}

void PressEndKey(TRoundEdit& box) {
    std::uint16_t key = VK_END;
    if (box.OnKeyDown)
        box.OnKeyDown(&box, key, {});
    key = VK_END;
    if (box.OnKeyUp)
        box.OnKeyUp(&box, key, {});
}

std::optional<int> LevelPosition(std::string text, double maxDb) {
    for (const char* unit : {"dB", "DB", "db", "Db"})
        if (text.find(unit) != std::string::npos)
            text.resize(text.size() - 2);
    if (text.empty() || text == "-" || text == ".")
        return std::nullopt;
    if (text.find_first_not_of("0123456789.-+") != std::string::npos ||
        std::count(text.begin(), text.end(), '.') > 1 || std::count(text.begin(), text.end(), '-') > 1)
        return std::nullopt;
    // One decimal is kept, and at least one must follow a point.
    if (const size_t point = text.find('.'); point != std::string::npos) {
        if (point + 1 >= text.size())
            return std::nullopt;
        text.resize(point + 2);
    }
    // Texts such as "1-2", "+" or "-+1" pass the checks above and still are no number.
    const std::optional<double> value = ParseDouble(text);
    if (!value)
        return std::nullopt;
    // Tenths of a dB; exact, as the text holds one decimal at most.
    const long tenths = std::lround(std::clamp(*value, -60.0, maxDb) * 10.0);
    // Below -20 dB a position is 0.5 dB; the division takes a level between two toward zero.
    return static_cast<int>(tenths < -200 ? (tenths + 200) / 5 - 200 : tenths);
}

void ConfirmTypedLevel(TRoundEdit& box, double maxDb, const std::function<int()>& position,
                       const std::function<void(int)>& move) {
    const std::optional<int> typed = LevelPosition(box.GetText(), maxDb);
    box.SetText("");
    if (!typed || *typed == position()) {
        // Refused, or the level already set: the shown level comes back and nothing is sent.
        box.SetText(LevelIndexText(position()));
        PressEndKey(box);
        return;
    }
    move(*typed);
    box.SetText(LevelIndexText(position()));
}
