#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>

#include "platform/core/FileIO.h"
#include "tests/support/TempFiles.h"

namespace fs = std::filesystem;

namespace {

using kvtest::ReadAll;
using kvtest::TempDir;

std::vector<std::string> FilesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const std::string kBinary("a\0b\r\n\xff\0", 7);

TEST(FileIOTest, ReadsRegularFilesUpToTheLimit) {
    TempDir dir;
    ASSERT_TRUE(kv::WriteFileAtomic(dir / "f", kBinary));
    const struct {
        size_t max;
        std::string expected;
    } cases[] = {{100, kBinary}, {7, kBinary}, {3, kBinary.substr(0, 3)}, {0, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(kv::ReadFileBytes(dir / "f", c.max), c.expected) << c.max;
    EXPECT_EQ(kv::FileSize(dir / "f"), 7u);
    ASSERT_TRUE(kv::WriteFileAtomic(dir / "empty", ""));
    EXPECT_EQ(kv::ReadFileBytes(dir / "empty", 10), "");
    EXPECT_EQ(kv::FileSize(dir / "empty"), 0u);
}

TEST(FileIOTest, RefusesWhatIsNotARegularFileWithAReason) {
    TempDir dir;
    fs::create_directory(dir / "sub");
    // A pipe without a writer would block a plain read for ever.
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    const struct {
        std::string path;
        std::string reason;
    } cases[] = {
        {dir / "missing", "No such file"},
        {dir / "sub", "not a regular file"},
        {dir / "pipe", "not a regular file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string error;
        EXPECT_FALSE(kv::ReadFileBytes(c.path, 10, &error));
        EXPECT_NE(error.find(c.path), std::string::npos) << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        error.clear();
        EXPECT_FALSE(kv::FileSize(c.path, &error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
}

TEST(FileIOTest, ReplacesTheWholeFileAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string path = dir / "f.prs";
    ASSERT_TRUE(kv::WriteFileAtomic(path, std::string(1000, 'x')));
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    std::string error;
    ASSERT_TRUE(kv::WriteFileAtomic(path, kBinary, &error)) << error;
    EXPECT_EQ(ReadAll(path), kBinary);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"f.prs"});

    // Through a symbolic link the file it points to is replaced and the link stays.
    fs::create_symlink(path, dir / "link");
    ASSERT_TRUE(kv::WriteFileAtomic(dir / "link", "new"));
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(ReadAll(path), "new");
}

TEST(FileIOTest, FailedWritesAreReportedAndLeaveNothingBehind) {
    TempDir dir;
    fs::create_directory(dir / "taken");
    ASSERT_TRUE(kv::WriteFileAtomic(dir / "taken/inside", "keep"));
    const struct {
        std::string path;
        std::string reason;
    } cases[] = {
        {dir / "nowhere/f", "No such file"},
        {dir / "taken", "Is a directory"},
        {dir.path().string() + "/", "no file name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string error;
        EXPECT_FALSE(kv::WriteFileAtomic(c.path, kBinary, &error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"taken"});
    EXPECT_EQ(ReadAll(dir / "taken/inside"), "keep");
}

} // namespace
