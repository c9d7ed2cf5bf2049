// One application object for the whole run of a GUI test program, as in the program.

#include "platform/gui/Forms.h"

#include <gtest/gtest.h>

#include <QtGlobal>

namespace {
class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // The tests never need a display; CTest passes the variable too, but a bare run has none.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        kv::Application->Initialize();
    }
};
[[maybe_unused]] ::testing::Environment* const gEnv = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);
} // namespace
