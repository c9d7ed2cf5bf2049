// Report lengths from report descriptors, counted with the report ID byte.
#include <gtest/gtest.h>

#include <random>

#include "platform/sys/HidDescriptor.h"
#include "tests/support/HidFake.h"

using namespace kv::sys;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct LengthCase {
    const char* name;
    Bytes descriptor;
    bool numbered;
    std::uint16_t input, output, feature;
};

// A vendor collection around the given items.
Bytes Collection(const Bytes& items) {
    Bytes d = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01};
    for (std::uint8_t b : items)
        d.push_back(b);
    d.push_back(0xC0);
    return d;
}

} // namespace

TEST(HidDescriptor, ReportLengthsCountTheIdByte) {
    const std::vector<LengthCase> cases = {
        {"unit: 64-byte reports without IDs", SimpleReportDescriptor(64, 64, 0), false, 65, 65, 0},
        {"one numbered report of each kind", SimpleReportDescriptor(8, 16, 4, 7), true, 9, 17, 5},
        {"several IDs: the largest report of each kind wins",
         Collection({0x75, 0x08, 0x85, 0x01, 0x95, 0x04, 0x81, 0x02, 0x95, 0x02, 0x91, 0x02, //
                     0x85, 0x02, 0x95, 0x10, 0x81, 0x02, 0x95, 0x01, 0x91, 0x02,             //
                     0x85, 0x03, 0x95, 0x03, 0xB1, 0x02}),
         true, 17, 3, 4},
        {"bits round up per report, items of one report add up",
         Collection({0x75, 0x01, 0x95, 0x03, 0x81, 0x02, 0x75, 0x05, 0x95, 0x01, 0x81, 0x03, 0x75, 0x04, 0x95,
                     0x01, 0x81, 0x02}),
         false, 3, 0, 0},
        {"long items are skipped",
         Collection({0xFE, 0x03, 0x10, 0xAA, 0xBB, 0xCC, 0x75, 0x08, 0x95, 0x05, 0x81, 0x02}), false, 6, 0,
         0},
        {"push and pop restore the report size",
         Collection({0x75, 0x08, 0xA4, 0x75, 0x10, 0x95, 0x02, 0x81, 0x02, 0xB4, 0x95, 0x02, 0x91, 0x02}),
         false, 5, 3, 0},
        {"four-byte data items",
         Collection({0x77, 0x08, 0x00, 0x00, 0x00, 0x97, 0x20, 0x00, 0x00, 0x00, 0xB1, 0x02}), false, 0, 0,
         33},
        {"no reports at all", Collection({}), false, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HidReportInfo info;
        ASSERT_TRUE(ParseReportDescriptor(c.descriptor.data(), c.descriptor.size(), info));
        EXPECT_EQ(info.numbered, c.numbered);
        EXPECT_EQ(info.inputLength, c.input);
        EXPECT_EQ(info.outputLength, c.output);
        EXPECT_EQ(info.featureLength, c.feature);
    }
}

TEST(HidDescriptor, MalformedDescriptorsAreRefused) {
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"truncated short item", Collection({0x75, 0x08, 0x96, 0x40})},
        {"truncated long item", {0x06, 0x00, 0xFF, 0xFE, 0x05, 0x10, 0x01}},
        {"report ID 0", Collection({0x85, 0x00, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02})},
        {"unclosed collection", {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01}},
        {"end without collection", {0xC0}},
        {"pop without push", Collection({0xB4})},
        {"report larger than a 16-bit length", Collection({0x75, 0x80, 0x97, 0x00, 0x30, 0x00, 0x00, 0x81,
                                                           0x02, 0x81, 0x02, 0x81, 0x02, 0x81, 0x02})},
    };
    for (const auto& [name, d] : cases) {
        SCOPED_TRACE(name);
        HidReportInfo info;
        EXPECT_FALSE(ParseReportDescriptor(d.data(), d.size(), info));
    }
}

TEST(HidDescriptor, CollectionsKeepUsageAndNesting) {
    const Bytes d = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0xC0, 0xC0};
    HidReportInfo info;
    ASSERT_TRUE(ParseReportDescriptor(d.data(), d.size(), info));
    ASSERT_EQ(info.collections.size(), 2u);
    EXPECT_EQ(info.collections[0].usagePage, 1);
    EXPECT_EQ(info.collections[0].usage, 2);
    EXPECT_EQ(info.collections[0].type, 1);
    EXPECT_EQ(info.collections[0].parent, -1);
    EXPECT_EQ(info.collections[1].usage, 1);
    EXPECT_EQ(info.collections[1].parent, 0);
}

// Outside input: random and mutated descriptors never read out of bounds (run under the sanitizers).
TEST(HidDescriptor, ArbitraryBytesAreSafe) {
    std::mt19937 rng(12345);
    const Bytes base = SimpleReportDescriptor(64, 64, 8, 3);
    for (int i = 0; i < 20000; ++i) {
        Bytes d;
        if (i % 2) {
            d = base;
            for (int k = 0; k < 3; ++k)
                d[rng() % d.size()] = static_cast<std::uint8_t>(rng());
            d.resize(rng() % (d.size() + 1));
        } else {
            d.resize(rng() % 64);
            for (auto& b : d)
                b = static_cast<std::uint8_t>(rng());
        }
        HidReportInfo info;
        if (ParseReportDescriptor(d.data(), d.size(), info)) {
            EXPECT_LE(info.collections.size(), d.size());
            EXPECT_LE(info.items.size(), d.size());
        }
    }
}
