// The unit-file fuzz program only gets past the size and header checks from a seed that does: the
// committed seeds must stay files the parser accepts, with used records for it to walk.

#include <gtest/gtest.h>

#include <string>

#include "platform/core/FileIO.h"
#include "tests/fuzz/LinkFuzzTargets.h"

namespace {

std::string ReadSeed(const char* name) {
    return kv::ReadFileBytes(std::string(KV_SOURCE_DIR) + "/tests/fuzz/seeds/fuzz_unit_file/" + name, 1 << 16)
        .value_or(std::string());
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
