// The unit-file fuzz program only gets past the size and header checks from a seed that does: the
// committed seeds must stay files the parser accepts, with used records for it to walk.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "tests/fuzz/LinkFuzzTargets.h"

namespace {

std::string ReadSeed(const char* name) {
    std::ifstream in(std::string(KV_SOURCE_DIR) + "/tests/fuzz/seeds/fuzz_unit_file/" + name,
                     std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(FuzzSeeds, UnitFileSeedsReachTheRecords) {
    for (const char* name : {"valid.unt", "short.unt"}) {
        SCOPED_TRACE(name);
        const std::string bytes = ReadSeed(name);
        ASSERT_GE(bytes.size(), kUnitFileMinSize);
        ASSERT_LE(bytes.size(), kUnitFileSize);
        UnitDownload d;
        ASSERT_TRUE(ParseUnitFile(bytes, d));
        EXPECT_EQ(d.UsedCount(), 4);
        EXPECT_TRUE(d.IsUsed(20));
        kvfuzz::UnitFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
}

} // namespace
