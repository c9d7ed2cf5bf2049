#pragma once
// The GUI thread of the non-GUI tests: the main thread with a Qt core application object.

#include <QCoreApplication>

#include <chrono>
#include <functional>

#include "platform/sys/Messages.h"

inline void EnsureApp() {
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    (void)app;
    TMessageBridge::BindGuiThread();
}

// Runs the event loop until cond holds or timeoutMs of real time have passed; the final cond.
inline bool PumpUntil(const std::function<bool()>& cond, int timeoutMs = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!cond()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        TMessageBridge::ServePending();
        TMessageBridge::WaitForPending(1);
    }
    return true;
}
