#pragma once
// The main window on the virtual clock for the tests of the channel editors, driven through its real
// controls: keys and mouse events go to the controls' widgets, the 1 ms timers run when the clock is
// stepped. Connect() puts the simulated unit on a pseudo-terminal and reads it back, for the tests that
// count what reaches the unit.

#include "tests/app/LinkTestFixture.h"

#include "controls/LMyFFTDrawHpLp6dB.h"
#include "controls/MyPEQType8.h"
#include "link/UnitImage.h"
#include "panels/PkBmpButton.h"
#include "panels/PkButton.h"
#include "panels/PkComboBox.h"
#include "styled/RoundControls.h"
#include "styled/StTrackBar.h"

#include <QPoint>

#include <stdexcept>
#include <string>

namespace editortest {

using namespace linktest;

class EditorFixture : public LinkFixture {
protected:
    // Shown, as the user sees it: buttons take clicks and value boxes the focus only on a window that
    // is showing.
    void SetUp() override {
        LinkFixture::SetUp();
        main->Show();
    }
    // Hidden before it goes, so that a value box holding the focus loses it while it still exists.
    void TearDown() override {
        main->Hide();
        LinkFixture::TearDown();
    }

    template <class T> T& Get(const std::string& name) {
        auto* c = main->Find<T>(name);
        if (!c)
            throw std::runtime_error("no " + name + " of the expected class");
        return *c;
    }
    LUnitControl& Model() { return *main->UnitControl(); }
    kv::TMyPEQType8& Table(const std::string& suffix) { return Get<kv::TMyPEQType8>("peqPeq" + suffix); }
    kv::LMyFFTDrawHpLp6dB& Graph(const std::string& suffix) {
        return Get<kv::LMyFFTDrawHpLp6dB>("fftDraw" + suffix);
    }
    kv::TStTrackBar& Fader(const std::string& name) { return Get<kv::TStTrackBar>(name); }
    std::string BoxText(const std::string& name) { return Get<kv::TRoundEdit>(name).GetText(); }

    // Shows a page through its page button, as a click on it does: its controls then take clicks.
    void ShowPage(const std::string& word) {
        auto& button = Get<kv::TPkBmpButton>("pkbMenu" + word);
        button.Click();
        button.SetDown(true);
    }

    // Runs the 1 ms timers that are due (and nothing that waits longer).
    void Tick() { clock.Advance(1); }

    // A key pressed on a control, as the keyboard delivers it to the control (virtual-key code);
    // a value box hands it to its OnKeyDown.
    static void Key(kv::TControl& c, std::uint16_t vk) {
        if (auto* box = dynamic_cast<kv::TRoundEdit*>(&c)) {
            if (box->OnKeyDown)
                box->OnKeyDown(box, vk, {});
            return;
        }
        if (auto* w = dynamic_cast<kv::TWinControl*>(&c))
            w->KeyDown(vk, {});
    }
    // Mouse events as the control receives them from the window system, at control pixels.
    static void Press(kv::TControl& c, int x, int y, kv::TMouseButton b = kv::TMouseButton::mbLeft) {
        c.MouseDown(b, {}, x, y);
    }
    static void Move(kv::TControl& c, int x, int y) { c.MouseMove({}, x, y); }
    static void Release(kv::TControl& c, int x, int y, kv::TMouseButton b = kv::TMouseButton::mbLeft) {
        c.MouseUp(b, {}, x, y);
    }
    static void Click(kv::TControl& c) {
        Press(c, 2, 2);
        Release(c, 2, 2);
    }

    // The control pixel of a graph point: plot-page column and a level in dB.
    static QPoint GraphPixel(kv::LMyFFTDrawHpLp6dB& g, int column, double dB) {
        const kv::TRect& page = g.Page(kv::LMyFFTDrawBase::prPlot).ScreenRect();
        const double y = page.Height() * (g.YMax() - dB) / (g.YMax() - g.YMin());
        return {page.Left + column, page.Top + static_cast<int>(y)};
    }
    // The control pixel of handle n's centre.
    static QPoint HandlePixel(kv::LMyFFTDrawHpLp6dB& g, int n) {
        const kv::TRect& page = g.Page(kv::LMyFFTDrawBase::prPlot).ScreenRect();
        const kv::TPoint p = g.GetBlockPos(n);
        return {page.Left + p.X, page.Top + p.Y};
    }

    // The unit on a pseudo-terminal, read back; what it received so far is forgotten and the level poll
    // stopped, so tests count only their own frames.
    void Connect() {
        Attach(Wire::Serial);
        ASSERT_TRUE(RunUntil([&] { return ReadBackDone(); }, 30000));
        main->StopLevelPoll();
        Step(50);
        unit.ClearReceived();
    }
    bool ImagesAgree() {
        const auto& image = main->UnitControl()->Image();
        const sim::Dump current = unit.Current();
        return std::equal(image.begin() + img::kPresetName, image.end(), current.begin() + img::kPresetName);
    }
};

} // namespace editortest
