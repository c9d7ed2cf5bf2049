// Random and mutated input through the parsers of replies, unit files, the frame assembler and report
// descriptors; CI runs this under AddressSanitizer and UndefinedBehaviorSanitizer.

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

TEST(ParserFuzz, ByteStreamsThroughTheAssembler) {
    std::mt19937 rng(13);
    const BSTM frame = LCmd::ToFrame(CM_MCS_CMD(1, MCS_ACK, 0x10, 0x02));
    for (int i = 0; i < 3000; ++i) {
        // Noise, real frames, stray 10 02 starts and zero length bytes, in any order.
        std::vector<uint8_t> s = {static_cast<uint8_t>(rng())};
        while (s.size() < 400) {
            switch (rng() % 4) {
            case 0:
                s.insert(s.end(), frame.begin(), frame.end());
                break;
            case 1:
                s.insert(s.end(), {0x10, 0x02, 0x00, 0x01, 0x00});
                break;
            case 2:
                s.insert(s.end(), {0x10, 0x02});
                break;
            default: {
                const auto noise = RandomBytes(rng, rng() % 20);
                s.insert(s.end(), noise.begin(), noise.end());
            }
            }
        }
        kvfuzz::Assembler(s.data(), s.size());
    }
}

TEST(ParserFuzz, ReportDescriptorsOfAnyShape) {
    std::mt19937 rng(17);
    // The unit's own layout: vendor page, one application collection, 64-byte input and output reports.
    const std::vector<uint8_t> base = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x75, 0x08,
                                       0x95, 0x40, 0x09, 0x01, 0x81, 0x02, 0x09, 0x01, 0x91, 0x02, 0xC0};
    kv::sys::HidReportInfo info;
    ASSERT_TRUE(kv::sys::ParseReportDescriptor(base.data(), base.size(), info));
    for (int i = 0; i < 20000; ++i) {
        std::vector<uint8_t> d;
        if (i % 2 == 0) {
            d = base;
            for (int m = 0; m < 3; ++m)
                d[rng() % d.size()] = static_cast<uint8_t>(rng());
            d.resize(d.size() - rng() % 4);
        } else {
            // Well-sized items, mostly of the kinds real descriptors use, with collections and pushed
            // states kept balanced (but for the odd random prefix), so that most descriptors parse whole.
            static constexpr uint8_t kPrefixes[] = {0x05, 0x06, 0x09, 0x0B, 0x19, 0x29, 0x75,
                                                    0x95, 0x96, 0x85, 0x81, 0x91, 0xB1, 0xA1,
                                                    0xC0, 0xA4, 0xB4, 0x15, 0x26};
            int open = 0, pushed = 0;
            while (d.size() < 60) {
                const uint8_t prefix =
                    rng() % 16 == 0 ? static_cast<uint8_t>(rng()) : kPrefixes[rng() % std::size(kPrefixes)];
                if ((prefix == 0xC0 && open == 0) || (prefix == 0xB4 && pushed == 0))
                    continue;
                open += prefix == 0xA1 ? 1 : prefix == 0xC0 ? -1 : 0;
                pushed += prefix == 0xA4 ? 1 : prefix == 0xB4 ? -1 : 0;
                d.push_back(prefix);
                for (int n = 0; n < (prefix & 3 ? 1 << ((prefix & 3) - 1) : 0); ++n)
                    d.push_back(static_cast<uint8_t>(rng() % 4 == 0 ? rng() : rng() % 3));
            }
            d.insert(d.end(), static_cast<size_t>(open), 0xC0);
        }
        kvfuzz::ReportDescriptor(d.data(), d.size());
    }
}

} // namespace
