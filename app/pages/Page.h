#pragma once
// What the page objects of the main window's channel editors share: the window they belong to, and the
// controls they find once by name when the layout has loaded. A control the layout lacks stays null and
// is skipped; one freed later is forgotten, so a page never reaches a control that is gone.

#include "app/FMain.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

namespace kv {
class TPkBmpButton;
class TRoundEdit;
class TStTrackBar;
class TUpDown;
} // namespace kv

// One control per channel (InA, InB, Out1..Out4); the stem + the channel's suffix names each.
template <class T> using TSix = std::array<T*, 6>;

// Fills controls from the model in order; the first control missing ends every further step, so a
// layout without a control is left as far as it was filled.
class TFill {
public:
    bool ok() const { return ok_; }
    // The control when every step so far found its control and this one exists.
    template <class T> T* Take(T* control) {
        if (!ok_)
            return nullptr;
        ok_ = control != nullptr;
        return control;
    }
    // A fader or up-down moved to `value` (plus its minimum); its resulting (clamped) position.
    int Fader(kv::TStTrackBar* fader, int value, bool addMin = false);
    int UpDown(kv::TUpDown* upDown, int value, bool addMin = false);
    void Box(kv::TRoundEdit* box, const std::string& text);
    void Down(kv::TPkBmpButton* button, bool down);

private:
    bool ok_ = true;
};

class TPage {
public:
    explicit TPage(TfmMain& window) : w(window) {}
    virtual ~TPage() = default;
    TPage(const TPage&) = delete;
    TPage& operator=(const TPage&) = delete;

    // Finds the page's controls in the loaded layout; the window's creation calls it once.
    virtual void Bind() = 0;
    // The window lets go of a control: every slot that holds it becomes null.
    void Forget(kv::TComponent* component);

    // The channel's control of a six, null outside 0..5.
    template <class T, size_t N> static T* At(const std::array<T*, N>& controls, int channel) {
        return channel >= 0 && channel < static_cast<int>(N) ? controls[static_cast<size_t>(channel)]
                                                             : nullptr;
    }

protected:
    template <class T> void BindOne(T*& slot, const std::string& name) {
        slot = w.Find<T>(name);
        Remember(slot, [&slot] { slot = nullptr; });
    }
    template <class T> void BindSix(TSix<T>& six, const std::string& stem) {
        for (int c = 0; c < 6; ++c)
            BindOne(six[static_cast<size_t>(c)], stem + TfmMain::ChannelSuffix(c));
    }
    LUnitControl* Model() const { return w.UnitControl(); }
    bool Updating() const { return w.IsUpdatingView(); }

    TfmMain& w;

private:
    void Remember(kv::TComponent* component, std::function<void()> clear);
    std::unordered_multimap<kv::TComponent*, std::function<void()>> bound_;
};

// A press of the End key in a value box (its key-down and key-up events), as the typed-entry handlers
// give a box whose text they put back.
void PressEndKey(kv::TRoundEdit& box);
// The position (tenths of a dB, 0.5 dB steps below -20 dB) of a typed level ("-25.7", "-3dB", "+6"),
// clamped to -60..maxDb; below -20 dB taken toward zero onto the 0.5 dB grid. None when the text is no
// level.
std::optional<int> LevelPosition(std::string text, double maxDb);
// A level typed into a box (up to `maxDb`) moves its control, whose change applies it; text that is no
// level, or the level already set, puts the control's level back into the box.
void ConfirmTypedLevel(kv::TRoundEdit& box, double maxDb, const std::function<int()>& position,
                       const std::function<void(int)>& move);
