// The bare program of the start-up figures: a plain Qt program that shows the bare copy of the main
// window (BareWindow.h, read from the file named by its argument) and ends as the editor does under
// KORVANE_QUIT_AFTER_PAINT: "painted" on its standard output at the window's first paint, "quitting"
// that many milliseconds later, then it frees the window and ends.
#include "BareWindow.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    benchbare::Plan plan;
    if (argc < 2 || !benchbare::Read(plan, argv[1])) {
        std::fprintf(stderr, "usage: startup_bare PLAN-FILE\n");
        return 2;
    }
    const char* idle = std::getenv("KORVANE_QUIT_AFTER_PAINT");
    const int idleMs = idle ? std::atoi(idle) : 0;
    QApplication app(argc, argv);
    auto window = std::make_unique<benchbare::Window>(plan);
    window->setWindowTitle("bare");
    window->show();
    window->onFirstPaint = [&] {
        std::puts("painted");
        std::fflush(stdout);
        QTimer::singleShot(idleMs, [&] {
            std::puts("quitting");
            std::fflush(stdout);
            app.quit();
        });
    };
    const int rc = app.exec();
    window.reset();
    return rc;
}
