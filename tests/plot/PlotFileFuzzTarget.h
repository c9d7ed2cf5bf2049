#pragma once
// Entry point that feeds arbitrary bytes to the plot's file readers: the first byte chooses the data,
// property or annotation reader, the rest is the file. A libFuzzer program can call it (it needs
// kv_plot and a GUI application, which it makes on the offscreen platform when there is none); the
// regular tests replay it on random and mutated input under the sanitizers.

#include "platform/gui/Forms.h"
#include "plot/gPlotLayoutManager.h"
#include "plot/gXYPlot.h"

#include <QCoreApplication>

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

namespace kvfuzz {

// Any file either loads or raises; either way the plot ends with its layout manager on, no update
// block open, and no more objects than a file may ask for.
inline void PlotFiles(const uint8_t* data, size_t size) {
    if (size == 0)
        return;
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        kv::Application->Initialize();
    }
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("kv-fuzz-plot-" + std::to_string(::getpid()))).string();
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data + 1, 1, size - 1, f);
        std::fclose(f);
    }
    kv::TgXYPlot plot(nullptr);
    try {
        switch (data[0] % 3) {
        case 0:
            plot.LoadDataFromFile(path);
            break;
        case 1:
            plot.LoadPropertiesFromFile(path);
            break;
        default:
            plot.LoadAnnotationsFromFile(path);
            break;
        }
    } catch (const std::exception&) {
    }
    if (!plot.LayoutManager()->Enabled() || plot.GetUpdateActive() || plot.ChannelCount() > 4096 ||
        plot.AnnotationCount() > 4096)
        __builtin_trap();
}

} // namespace kvfuzz
