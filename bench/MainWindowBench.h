#pragma once
// The start of a benchmark program that makes main windows: offscreen unless a display is chosen,
// loopback only, the editor's classes registered, and a single-instance key of its own so that no window
// asks another editor to come forward. Prints the program's figures after the benchmarks.

#include <benchmark/benchmark.h>

#include "app/Registration.h"
#include "app/SingleInstance.h"
#include "platform/gui/Forms.h"

#include <QByteArray>
#include <QtGlobal>

#include <string>

#include <unistd.h>

namespace benchmain {

inline int Run(int argc, char** argv, const std::string& name, void (*printFigures)()) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("KORVANE_LOOPBACK_ONLY", "1");
    kv::Application->Initialize();
    RegisterEditorClasses();
    TSingleInstance::SetKeyOverride("korvane-editor-" + name + "-" + std::to_string(getpid()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printFigures();
    return 0;
}

} // namespace benchmain
