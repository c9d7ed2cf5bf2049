// Program entry of the editor: the application, the main window and the dialogs, each created once in
// a fixed order and alive until the process ends, and the message loop.

#include "app/FMain.h"
#include "app/Registration.h"
#include "link/Product.h"
#include "platform/gui/Forms.h"
#include "platform/sys/Scheduler.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
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

// With KORVANE_QUIT_AFTER_PAINT=<ms> (the start-up benchmark), says "painted" on standard output at the
// main window's first paint and, that long after, "quitting" as it ends the loop, as a user's exit would.
class TQuitAfterPaint : public QObject {
public:
    TQuitAfterPaint(QWidget* window, int ms) : FMs(ms) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            o->removeEventFilter(this);
            std::puts("painted");
            std::fflush(stdout);
            QTimer::singleShot(FMs, [] {
                std::puts("quitting");
                std::fflush(stdout);
                Application->Terminate();
            });
        }
        return false;
    }

private:
    int FMs;
};

} // namespace

int main() {
    try {
        Application->Initialize();
        Application->SetMainFormOnTaskBar(true);
        Application->SetTitle(std::string(PROGRAM_TITLE) + " " + PROGRAM_VERSION);
        ::TTimer::SetErrorSink(&ShowTimerException);
        RegisterEditorClasses();

        CreateEditorWindows();

        std::unique_ptr<TQuitAfterPaint> quit;
        if (const char* ms = std::getenv("KORVANE_QUIT_AFTER_PAINT"); ms && Application->MainForm())
            quit = std::make_unique<TQuitAfterPaint>(Application->MainForm()->Widget()->window(), std::atoi(ms));

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
