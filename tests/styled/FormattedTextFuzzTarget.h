#pragma once
// Entry point that feeds arbitrary bytes to the splash's formatted-text renderer, measuring and then
// drawing into a small image. A libFuzzer program can call it (it needs kv_styled and a GUI
// application, which it makes on the offscreen platform when there is none); the regular tests replay
// it on random and mutated input under the sanitizers.

#include "styled/FormattedText.h"

#include <QGuiApplication>
#include <QImage>

#include <cstddef>
#include <cstdint>
#include <string>

namespace kvfuzz {

inline void FormattedText(const uint8_t* data, size_t size) {
    if (!QGuiApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz";
        static char* argv[] = {name, nullptr};
        static QGuiApplication app(argc, argv);
    }
    QImage img(120, 60, QImage::Format_ARGB32_Premultiplied);
    img.fill(0);
    kv::TGPGraphics g(&img);
    kv::TFont font;
    kv::TFormattedTextParams p;
    p.Graphics = &g;
    p.Font = &font;
    p.Text.assign(reinterpret_cast<const char*>(data), size);
    p.Rect = {0, 0, 120, 60};
    p.HitX = 10;
    p.HitY = 5;
    p.MeasureOnly = true;
    kv::TFormattedTextResult measured;
    kv::DrawFormattedText(p, measured);
    p.MeasureOnly = false;
    kv::TFormattedTextResult drawn;
    kv::DrawFormattedText(p, drawn);
    if (measured.Width < 2 || measured.Height < 2 || drawn.Height < 2)
        __builtin_trap();
}

} // namespace kvfuzz
