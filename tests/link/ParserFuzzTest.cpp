// Random and mutated input through the parsers of replies and unit files; CI runs this under
// AddressSanitizer and UndefinedBehaviorSanitizer.

#include <gtest/gtest.h>

#include <random>

#include "tests/fuzz/LinkFuzzTargets.h"

namespace {

std::vector<uint8_t> RandomBytes(std::mt19937& rng, size_t n) {
    std::vector<uint8_t> v(n);
    for (auto& b : v)
        b = static_cast<uint8_t>(rng());
    return v;
}

TEST(ParserFuzz, RepliesOfAnyShape) {
    std::mt19937 rng(7);
    for (int i = 0; i < 20000; ++i) {
        auto bytes = RandomBytes(rng, rng() % 80);
        if (bytes.size() >= 2 && i % 2 == 0) { // half of them look like frames
            bytes[0] = 0x10;
            bytes[1] = 0x02;
        }
        kvfuzz::Reply(bytes.data(), bytes.size());
    }
}

TEST(ParserFuzz, UnitFilesOfAnySize) {
    std::mt19937 rng(11);
    // A valid file with two used records, then mutations and cuts of it.
    std::string base(kFileHeader, kFileHeaderSize);
    base.append(18, '\x01');
    for (int r = 1; r <= 20; ++r) {
        std::string rec(722, '\x64');
        if (r == 2 || r == 20) {
            rec[0] = static_cast<char>(r);
            rec[1] = '\xFF';
        }
        base += rec + "\r\n";
    }
    for (int i = 0; i < 3000; ++i) {
        std::string f = base;
        f.resize(kUnitFileMinSize - 50 + rng() % 200);
        for (int m = 0; m < 4; ++m)
            f[rng() % f.size()] = static_cast<char>(rng());
        kvfuzz::UnitFile(reinterpret_cast<const uint8_t*>(f.data()), f.size());
    }
}

} // namespace
