#pragma once
// Picture files built byte by byte for the styled pack's tests.

#include "platform/gui/Graphics.h"

#include <QImage>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kvtest {

inline void PutLE(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x, int n) {
    for (int i = 0; i < n; ++i)
        v[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(x >> (8 * i));
}

// A 24-bit bottom-up BMP; `pixel(x, y)` gives 0x00RRGGBB with y = 0 the top row.
inline std::vector<std::uint8_t> MakeBmp(int w, int h, const std::function<std::uint32_t(int, int)>& pixel,
                                         bool topDown = false) {
    const int row = (w * 3 + 3) & ~3;
    std::vector<std::uint8_t> v(54 + static_cast<std::size_t>(row * h), 0);
    v[0] = 'B';
    v[1] = 'M';
    PutLE(v, 2, static_cast<std::uint32_t>(v.size()), 4);
    PutLE(v, 10, 54, 4);
    PutLE(v, 14, 40, 4);
    PutLE(v, 18, static_cast<std::uint32_t>(w), 4);
    PutLE(v, 22, static_cast<std::uint32_t>(topDown ? -h : h), 4);
    PutLE(v, 26, 1, 2);
    PutLE(v, 28, 24, 2);
    PutLE(v, 34, static_cast<std::uint32_t>(row * h), 4);
    for (int y = 0; y < h; ++y) {
        const int fileRow = topDown ? y : h - 1 - y;
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = pixel(x, y);
            const std::size_t at = 54 + static_cast<std::size_t>(fileRow * row + x * 3);
            v[at] = static_cast<std::uint8_t>(c);
            v[at + 1] = static_cast<std::uint8_t>(c >> 8);
            v[at + 2] = static_cast<std::uint8_t>(c >> 16);
        }
    }
    return v;
}

inline std::vector<std::uint8_t> MakePng(int w, int h, QRgb fill) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(fill);
    return kv::EncodePng(img);
}

inline std::vector<std::uint8_t> MakeJpeg(int w, int h, QRgb fill, bool progressive = false) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return kv::EncodeJpeg(img, 90, progressive);
}

// The file's bytes as a picture's "Data" text.
inline std::string DataText(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

} // namespace kvtest
