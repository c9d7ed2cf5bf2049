#pragma once
// The main window on the virtual clock for the tests of the channel editors, driven through its real
// controls: keys and mouse events go to the controls' widgets, the 1 ms timers run when the clock is
// stepped. Connect() puts the simulated unit on a pseudo-terminal and reads it back, for the tests that
// count what reaches the unit.

#include "tests/app/LinkTestFixture.h"

#include "controls/LMyFFTDrawHpLp6dB.h"
#include "controls/MyPEQType8.h"
#include "panels/PkBmpButton.h"
#include "panels/PkComboBox.h"
#include "styled/RoundControls.h"
#include "styled/StTrackBar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <stdexcept>
#include <string>

namespace editortest {

using namespace linktest;

class EditorFixture : public LinkFixture {
protected:
    template <class T> T& Get(const std::string& name) {
        auto* c = main->Find<T>(name);
        if (!c)
            throw std::runtime_error("no " + name + " of the expected class");
        return *c;
    }
    LUnitControl& Model() { return *main->UnitControl(); }
    kv::TMyPEQType8& Table(const std::string& suffix) { return Get<kv::TMyPEQType8>("peqPeq" + suffix); }
    kv::LMyFFTDrawHpLp6dB& Graph(const std::string& suffix) { return Get<kv::LMyFFTDrawHpLp6dB>("fftDraw" + suffix); }
    kv::TStTrackBar& Fader(const std::string& name) { return Get<kv::TStTrackBar>(name); }
    std::string BoxText(const std::string& name) { return Get<kv::TRoundEdit>(name).GetText(); }

    // Runs the 1 ms timers that are due (and nothing that waits longer).
    void Tick() { clock.Advance(1); }

    // A key pressed on a control, as the keyboard delivers it; into a value box's inner edit.
    static void Key(kv::TControl& c, int qtKey) {
        QWidget* w = c.Widget();
        if (auto* box = dynamic_cast<kv::TRoundEdit*>(&c))
            w = box->Edit()->Widget();
        QKeyEvent down(QEvent::KeyPress, qtKey, Qt::NoModifier);
        QApplication::sendEvent(w, &down);
        QKeyEvent up(QEvent::KeyRelease, qtKey, Qt::NoModifier);
        QApplication::sendEvent(w, &up);
    }
    // A mouse event at (x, y) of a control.
    static void Mouse(kv::TControl& c, QEvent::Type type, int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        QWidget* w = c.Widget();
        const QPointF at(x, y);
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent e(type, at, w->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : button, held,
                      Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    static void Click(kv::TControl& c) {
        Mouse(c, QEvent::MouseButtonPress, 3, 3);
        Mouse(c, QEvent::MouseButtonRelease, 3, 3);
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
