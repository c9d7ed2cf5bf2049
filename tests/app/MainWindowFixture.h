#pragma once
// A main window of its own for each test, offline, its timers on a virtual clock. The single-instance
// key is this test program's, so a running editor neither answers nor stops the tests.

#include "app/FMain.h"
#include "app/Registration.h"
#include "app/SingleInstance.h"
#include "app/TimerComponent.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <string>

#include <unistd.h>

class MainWindowFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterEditorClasses();
        TSingleInstance::SetKeyOverride("korvane-editor-windowtest-" + std::to_string(getpid()));
    }
    void SetUp() override {
        TScheduler::SetDefault(&clock);
        main = kv::Application->CreateForm<TfmMain>();
    }
    void TearDown() override {
        delete main;
        TScheduler::SetDefault(nullptr);
        kv::Application->Initialize();
    }

    TVirtualClock clock;
    TfmMain* main = nullptr;
};
