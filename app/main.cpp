// Program entry of the editor: the application, the main window and the dialogs, each created once in
// a fixed order and alive until the process ends, and the message loop.

#include "app/FMain.h"
#include "app/Registration.h"
#include "link/Product.h"
#include "platform/gui/Forms.h"
#include "platform/sys/Scheduler.h"

#include <exception>
#include <string>

using namespace kv;

namespace {

// A timer handler's exception is shown like any other handler's, and the loop goes on.
void ShowTimerException(const std::exception* e) noexcept {
    try {
        Application->HandleException(e);
    } catch (...) {
    }
}

} // namespace

int main() {
    try {
        Application->Initialize();
        Application->SetMainFormOnTaskBar(true);
        Application->SetTitle(std::string(PROGRAM_TITLE) + " " + PROGRAM_VERSION);
        ::TTimer::SetErrorSink(&ShowTimerException);
        RegisterEditorClasses();

        CreateEditorWindows();

        Application->Run();
        // The forms go before the process: the HID controller gives the unit's device back and stops
        // its reader.
        Application->DestroyComponents();
    } catch (const std::exception& e) {
        Application->HandleException(&e);
    } catch (...) {
        Application->HandleException(nullptr);
    }
    return 0;
}
