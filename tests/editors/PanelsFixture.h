#pragma once
// The main window offline on the virtual clock, with the EQ reset dialog, for the tests of the panel
// refresh, the meters, the overlays and the graphic EQ. Controls are reached by name; a modal dialog is
// answered by a callback that a test sets before it opens one.

#include "app/FMain.h"
#include "app/FPeqRst.h"
#include "app/Registration.h"
#include "app/SingleInstance.h"
#include "app/TimerComponent.h"
#include "controls/LMyFFTDrawHpLp6dB.h"
#include "panels/PkBmpButton.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

namespace panelstest {

class PanelsFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterEditorClasses();
        TSingleInstance::SetKeyOverride("korvane-editor-panelstest-" + std::to_string(getpid()));
    }

    void SetUp() override {
        kv::TTimer::SetScheduler(&clock);
        main = kv::Application->CreateForm<TfmMain>();
        reset = kv::Application->CreateForm<kv::TfmPeqRst>();
        modalDriver.setInterval(1);
        QObject::connect(&modalDriver, &QTimer::timeout, [this] {
            if (reset->Modal() && answerModal) {
                auto answer = std::move(answerModal);
                answerModal = nullptr;
                answer();
            }
        });
        modalDriver.start();
    }

    void TearDown() override {
        modalDriver.stop();
        delete reset;
        delete main;
        clock.Settle();
        kv::TTimer::SetScheduler(nullptr);
        kv::Application->SetShowMainForm(true);
        kv::Application->Initialize();
    }

    template <class T> T& Get(const std::string& name) {
        auto* c = main->Find<T>(name);
        if (!c)
            throw std::runtime_error("no " + name + " of the expected class");
        return *c;
    }
    LUnitControl& Model() { return *main->UnitControl(); }
    kv::LMyFFTDrawHpLp6dB& Graph(const std::string& name) { return Get<kv::LMyFFTDrawHpLp6dB>(name); }

    // The graph's free text as its next page update writes it; empty when it writes none.
    std::string FreeText(kv::LMyFFTDrawHpLp6dB& graph) {
        std::vector<kv::TFFTText> trace;
        graph.SetTextTrace(&trace);
        graph.Redraw();
        graph.SetTextTrace(nullptr);
        for (const auto& t : trace)
            if (t.Text == "BYPASS")
                return t.Text;
        return {};
    }

    // A left click as the user makes it: press and release inside the control.
    static void UserClick(kv::TControl& c) {
        c.MouseDown(kv::TMouseButton::mbLeft, {}, 2, 2);
        c.MouseUp(kv::TMouseButton::mbLeft, {}, 2, 2);
    }
    // Shows a page through its page button, as a click on it does.
    void ShowPage(const std::string& word);

    TVirtualClock clock;
    TfmMain* main = nullptr;
    kv::TfmPeqRst* reset = nullptr;
    QTimer modalDriver;
    std::function<void()> answerModal;
};

inline void PanelsFixture::ShowPage(const std::string& word) {
    auto& button = Get<kv::TPkBmpButton>("pkbMenu" + word);
    button.Click();
    button.SetDown(true);
}

} // namespace panelstest
