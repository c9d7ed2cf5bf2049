#pragma once
// The editors' fixture with the EQ reset dialog, for the tests of the panel refresh, the meters, the
// overlays and the graphic EQ. A modal dialog is answered by a callback that a test sets before it
// opens one.

#include "tests/editors/EditorFixture.h"

#include "app/FPeqRst.h"

#include <QTimer>

#include <functional>
#include <string>
#include <vector>

namespace panelstest {

using namespace editortest;

class PanelsFixture : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
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
        EditorFixture::TearDown();
    }

    // The graph's "BYPASS" text when its next page update writes it; empty when it writes none.
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

    kv::TfmPeqRst* reset = nullptr;
    QTimer modalDriver;
    std::function<void()> answerModal;
};

} // namespace panelstest
