#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "link/LUnitControl.h"
#include "link/PresetFiles.h"
#include "tests/link/FakeHost.h"
#include "tests/support/TempFiles.h"

namespace fs = std::filesystem;

namespace {

const std::string kHeader = "***TirnelV010***";

using kvtest::ReadAll;
using kvtest::TempDir;
using kvtest::WriteAll;

std::vector<std::string> FilesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Folder permissions do not bind root: run the check in a child that has given up root first.
// nullopt when the privileges cannot be dropped.
std::optional<bool> RunUnprivileged(const std::function<bool()>& check) {
    if (::geteuid() != 0)
        return check();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(77);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 77)
        return std::nullopt;
    return WEXITSTATUS(status) == 0;
}

BSTM Bytes(std::initializer_list<int> v) {
    BSTM out;
    for (int b : v)
        out.push_back(static_cast<uint8_t>(b));
    return out;
}

struct FilesFixture : testing::Test {
    FakeHost host;
    LUnitControl model{host};
    LPresetFiles files{model, host};
    TempDir dir;

    // Saves the current model as a preset file and returns its bytes.
    std::string SaveModel(const std::string& name) {
        host.dialogAnswers.push_back(dir / name);
        EXPECT_TRUE(files.SavePresetFile());
        return ReadAll(dir / (name + ".prs"));
    }
};

using PresetFileTest = FilesFixture;

TEST_F(PresetFileTest, SavedFileHoldsTheImageAndRestoresItExactly) {
    host.transportOpen = false;
    model.SetGain(0, 0x1234);
    model.SetDelay(5, 0xFF00);
    model.SetPeqBand(5, 8, 200, 299, 100, 8, true);
    const uint8_t name[8] = {'B', 'a', 's', 's', 0, 0, 0, 0};
    model.SetChannelName(3, name);
    model.SetMute(4, true);
    const img::Image saved = model.Image();

    const std::string file = SaveModel("mine");
    EXPECT_EQ(host.calls, std::vector<std::string>{"RestoreProgramFolder"});
    ASSERT_EQ(file.size(), 728u);
    EXPECT_EQ(file.substr(0, 16), kHeader);
    EXPECT_EQ(file.substr(16, 14), "Default Preset");
    EXPECT_EQ(file.substr(726), "\r\n");
    // Every byte is there, zero bytes included.
    EXPECT_EQ(file.substr(16, 710), std::string(reinterpret_cast<const char*>(saved.data()) + 2, 710));
    EXPECT_EQ(file, model.SerializeImage() + "\r\n");

    // A fresh model whose bytes outside the file differ from the saved one's.
    FakeHost host2;
    host2.transportOpen = false;
    LUnitControl model2(host2);
    model2.SetDelayUnit(2);
    model2.SetGeqBypassMask(3);
    model2.SetEqBypassMask(0, 1);
    model2.SetEqBypassMask(2, 5);
    const img::Image before = model2.Image();
    LPresetFiles files2(model2, host2);
    host2.dialogAnswers.push_back(dir / "mine.prs");
    ASSERT_TRUE(files2.OpenPresetFile());
    const img::Image& after = model2.Image();
    EXPECT_TRUE(std::equal(after.begin() + 2, after.begin() + 712, saved.begin() + 2));
    EXPECT_TRUE(std::equal(after.begin(), after.begin() + 2, before.begin()));
    EXPECT_TRUE(std::equal(after.begin() + 712, after.end(), before.begin() + 712));
    EXPECT_EQ(model2.GetGain(0), 0x1234);
    EXPECT_TRUE(model2.IsPeqBandBypassed(5, 8));
}

TEST_F(PresetFileTest, OpenSendsEveryPartInFileOrder) {
    std::string file = SaveModel("order");
    // Values whose high and low bytes differ show the word order; a polarity word of 0x0100 is
    // inverted although its low byte is 0.
    auto poke = [&](size_t imageOffset, std::initializer_list<int> bytes) {
        for (int b : bytes)
            file[16 + imageOffset++ - 2] = static_cast<char>(b);
    };
    const size_t inB = img::ChannelOffset(1), out4 = img::ChannelOffset(5);
    poke(img::kPresetName, {'L', 'i', 'v', 'e'});
    poke(inB + img::kInGeq + 2 * 30, {0x34, 0x12});
    poke(inB + img::kInPolarity, {0x00, 0x01});
    poke(inB + img::kInLink, {0x03, 0x01});
    poke(out4 + img::kOutComp, {0x0F, 0, 1, 0, 2, 0, 3, 0, 0xDC, 0});
    poke(out4 + img::kOutPeq + 6 * 8, {0xF0, 0x00, 0x2C, 0x01, 100, 8});
    poke(img::kOutputMute, {0x0A, 0});
    poke(img::kBandBypass0 + 2 * 5, {0x00, 0x01});
    WriteAll(dir / "order.prs", file);

    host.connected = true;
    host.deviceId = 7;
    host.sent.clear();
    host.calls.clear();
    host.dialogAnswers.push_back(dir / "order.prs");
    files.OpenClick();

    // First every channel linked to itself alone, so that the unit applies each record to its own
    // channel whatever links it held; then the file's records.
    ASSERT_GE(host.sent.size(), static_cast<size_t>(kPresetFileLinkRecords));
    for (int ch = 0; ch < kPresetFileLinkRecords; ++ch) {
        const auto& s = host.sent[static_cast<size_t>(ch)];
        EXPECT_EQ(s.code(), MCS_LINK);
        EXPECT_TRUE(s.force);
        EXPECT_EQ(s.payload(), Bytes({ch, 1 << (ch < 2 ? ch : ch - 2)}));
    }
    host.sent.erase(host.sent.begin(), host.sent.begin() + kPresetFileLinkRecords);

    std::vector<int> expected = {MCS_PRESETNAME};
    for (int ch = 0; ch < 2; ++ch) {
        expected.insert(expected.end(), {MCS_CHANNEL_NAME, MCS_GATE});
        expected.insert(expected.end(), 31, MCS_GEQ);
        expected.insert(expected.end(),
                        {MCS_HIGH_PASS, MCS_LOW_PASS, MCS_GAIN, MCS_POLARITY, MCS_DELAY, MCS_LINK});
    }
    for (int ch = 2; ch < 6; ++ch)
        expected.insert(expected.end(),
                        {MCS_CHANNEL_NAME, MCS_MATRIX, MCS_MIX, MCS_MIX, MCS_HIGH_PASS, MCS_LOW_PASS,
                         MCS_COMP, MCS_LIMIT, MCS_GAIN, MCS_POLARITY, MCS_DELAY, MCS_LINK});
    expected.insert(expected.end(), 6, MCS_MUTE);
    expected.insert(expected.end(), 2 * 8 + 4 * 9, MCS_PEQ);
    ASSERT_EQ(expected.size(), 185u);

    std::vector<int> codes;
    for (const auto& s : host.sent) {
        codes.push_back(s.code());
        EXPECT_TRUE(s.force);
        EXPECT_EQ(s.frame[3], 7);
    }
    ASSERT_EQ(codes, expected);

    EXPECT_EQ(host.sent[0].payload(),
              Bytes({'L', 'i', 'v', 'e', 'u', 'l', 't', ' ', 'P', 'r', 'e', 's', 'e', 't'}));
    const size_t inB0 = 1 + 39;                                                // first record of InB
    EXPECT_EQ(host.sent[inB0].payload()[0], 1);                                // channel name of InB
    EXPECT_EQ(host.sent[inB0 + 2 + 30].payload(), Bytes({1, 30, 0x34, 0x12})); // GEQ band 30
    EXPECT_EQ(host.sent[inB0 + 36].payload(), Bytes({1, 1}));                  // polarity word 0x0100
    EXPECT_EQ(host.sent[inB0 + 38].payload(), Bytes({1, 0x03}));               // link, low byte only
    const size_t out40 = 1 + 78 + 3 * 12;                                      // first record of Out4
    EXPECT_EQ(host.sent[out40 + 1].payload(), Bytes({5, 2}));                  // source mask
    EXPECT_EQ(host.sent[out40 + 6].payload(), Bytes({5, 0x0F, 0, 1, 0, 2, 0, 3, 0, 0xDC, 0}));
    const size_t mutes = 1 + 78 + 48;
    for (int ch = 0; ch < 6; ++ch)
        EXPECT_EQ(host.sent[mutes + static_cast<size_t>(ch)].payload(),
                  Bytes({ch, ch == 3 || ch == 5 ? 1 : 0}));
    EXPECT_EQ(host.sent[mutes + 6].payload(), Bytes({0, 0, 120, 0, 41, 0, 35, 0, 0})); // InA band 0
    EXPECT_EQ(host.sent.back().payload(), Bytes({5, 8, 0xF0, 0x00, 0x2C, 0x01, 100, 8, 1}));

    EXPECT_EQ(model.GetGeqBand(1, 30), 0x1234);
    EXPECT_TRUE(model.GetPolarity(1));
    EXPECT_EQ(host.postOpenState, 12);
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"SetUpdatingView(1)", "ResetPeqViews", "RefreshAllPanels(updating)",
                                        "SetUpdatingView(0)", "ShowProgressModal", "SetUpdatingView(0)",
                                        "RepaintChannelGraphs"}));
}

TEST_F(PresetFileTest, OfflineOpenChangesTheImageAndSendsNothing) {
    std::string file = SaveModel("off");
    file[16 + img::ChannelOffset(2) + img::kOutGain - 2] = 0x10;
    WriteAll(dir / "off.prs", file);
    host.transportOpen = false;
    host.connected = false;
    host.calls.clear();
    host.dialogAnswers.push_back(dir / "off.prs");
    files.OpenClick();
    EXPECT_TRUE(host.sent.empty());
    EXPECT_EQ(model.GetGain(2), 0x110);
    EXPECT_EQ(host.postOpenState, 12);
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "ShowProgressModal"), 0);
}

TEST_F(PresetFileTest, BadFilesAreRefusedAndChangeNothing) {
    std::string good = SaveModel("good");
    good[16] = 'X';
    std::string badHeader = good;
    badHeader[3] = 'x';
    fs::create_directory(dir / "folder.prs");
    const struct {
        const char* what;
        std::optional<std::string> content; // nullopt: no file written
        std::string name;
    } cases[] = {
        {"727 bytes", good.substr(0, 727), "short.prs"}, {"729 bytes", good + "X", "long.prs"},
        {"empty", std::string(), "empty.prs"},           {"wrong header", badHeader, "header.prs"},
        {"missing", std::nullopt, "missing.prs"},        {"a folder", std::nullopt, "folder.prs"},
    };
    const img::Image before = model.Image();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.content)
            WriteAll(dir / c.name, *c.content);
        host.connected = true;
        host.sent.clear();
        host.messages.clear();
        host.calls.clear();
        host.postOpenState = 0;
        host.dialogAnswers.push_back(dir / c.name);
        files.OpenClick();
        EXPECT_EQ(host.messages, std::vector<std::string>{"Open File Error !!"});
        EXPECT_TRUE(host.sent.empty());
        EXPECT_EQ(model.Image(), before);
        EXPECT_EQ(host.postOpenState, 0);
        EXPECT_EQ(host.calls, (std::vector<std::string>{"SetUpdatingView(1)", "ResetPeqViews",
                                                        "SetUpdatingView(0)", "RepaintChannelGraphs"}));
    }
    // A cancelled dialog ends silently.
    host.messages.clear();
    EXPECT_FALSE(files.OpenPresetFile());
    EXPECT_TRUE(host.messages.empty());
}

TEST(PresetFileNameTest, OnlyTheEndingOfTheFileNameCounts) {
    const struct {
        const char* in;
        const char* ext;
        const char* out;
    } cases[] = {
        {"/t/a", ".prs", "/t/a.prs"},
        {"/t/a.prs", ".prs", "/t/a.prs"},
        {"/t/a.PRS", ".prs", "/t/a.prs"},
        {"/t/a.Prs", ".prs", "/t/a.Prs.prs"},
        {"/t/a.prs.prs", ".prs", "/t/a.prs.prs"},
        {"/t/a.prs.old", ".prs", "/t/a.prs.old.prs"},
        {"/t/a.txt", ".prs", "/t/a.txt.prs"},
        {"/t/x.prs.old/name", ".prs", "/t/x.prs.old/name.prs"},
        {"/t/x.prs/b", ".prs", "/t/x.prs/b.prs"},
        {"/t/prs", ".prs", "/t/prs.prs"},
        {"rel.PRS", ".prs", "rel.prs"},
        {"/t/u.UNT", ".unt", "/t/u.unt"},
        {"/t/u.prs", ".unt", "/t/u.prs.unt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormaliseFileName(c.in, c.ext), c.out) << c.in;
}

TEST_F(PresetFileTest, FailedSaveIsReportedAndKeepsTheOldFile) {
    // Missing folder.
    host.dialogAnswers.push_back(dir / "nowhere/p");
    EXPECT_FALSE(files.SavePresetFile());
    EXPECT_EQ(host.messages, std::vector<std::string>{"Save File Error !!"});
    EXPECT_EQ(host.calls, std::vector<std::string>{"RestoreProgramFolder"});

    // Cancelled: nothing written, nothing said, the folder restored all the same.
    host.messages.clear();
    host.calls.clear();
    EXPECT_FALSE(files.SavePresetFile());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.calls, std::vector<std::string>{"RestoreProgramFolder"});

    // Read-only folder holding an older file.
    const std::string ro = dir / "ro";
    fs::create_directory(ro);
    WriteAll(ro + "/old.prs", "older contents");
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(ro, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                            fs::perms::others_exec);
    host.messages.clear();
    host.dialogAnswers.push_back(ro + "/old.PRS");
    const auto refused = RunUnprivileged(
        [&] { return !files.SavePresetFile() && host.messages == std::vector<std::string>{"Save File Error !!"}; });
    if (!refused)
        GTEST_SKIP() << "cannot run without root's file rights here";
    EXPECT_TRUE(*refused);
    EXPECT_EQ(ReadAll(ro + "/old.prs"), "older contents");
    EXPECT_EQ(FilesIn(ro), std::vector<std::string>{"old.prs"});
}

// ---- unit file ----

struct UnitFileTest : FilesFixture {
    // Slots 3 and 20 hold presets whose dump bytes follow a pattern that differs per slot.
    void FillModel() {
        BSTM flags(20, 0);
        flags[2] = flags[19] = 0xFF;
        ASSERT_TRUE(model.StorePresetFlags(flags));
        BSTM info;
        for (int i = 1; i <= 18; ++i)
            info.push_back(static_cast<uint8_t>(i));
        ASSERT_TRUE(model.StoreUnitInfo(info));
        for (int slot : {3, 20})
            for (int piece = 0; piece < 15; ++piece) {
                BSTM payload{static_cast<uint8_t>(piece)};
                for (int i = 0; i < 50; ++i)
                    payload.push_back(DumpByte(slot, piece * 50 + i));
                ASSERT_TRUE(model.StorePresetDump(slot, payload));
            }
    }
    static uint8_t DumpByte(int slot, int k) {
        if (k == 0)
            return 0xFF;
        return static_cast<uint8_t>(k * 7 + slot);
    }
    std::string SaveUnit(const std::string& name) {
        host.dialogAnswers.push_back(dir / name);
        EXPECT_TRUE(model.SaveUnitFile());
        return ReadAll(dir / (name + ".unt"));
    }
    bool Download(const std::string& path) {
        host.connected = true;
        host.dialogAnswers.push_back(path);
        return files.DownloadUnitFile();
    }
};

TEST_F(UnitFileTest, SavedFileHoldsInfoAndEverySlot) {
    FillModel();
    const std::string file = SaveUnit("unit");
    ASSERT_EQ(file.size(), 14514u);
    EXPECT_EQ(file, model.SerializeUnitFile());
    EXPECT_EQ(file.substr(0, 16), kHeader);
    for (int i = 0; i < 18; ++i)
        EXPECT_EQ(file[16 + static_cast<size_t>(i)], i + 1);
    for (int slot = 1; slot <= 20; ++slot) {
        SCOPED_TRACE(slot);
        const std::string rec = file.substr(34 + 724 * static_cast<size_t>(slot - 1), 724);
        EXPECT_EQ(rec.substr(722), "\r\n");
        if (slot != 3 && slot != 20) {
            EXPECT_EQ(rec.substr(0, 722), std::string(722, '\x64'));
            continue;
        }
        EXPECT_EQ(rec[0], slot);
        for (int k = 0; k <= 720; ++k)
            ASSERT_EQ(static_cast<uint8_t>(rec[1 + static_cast<size_t>(k)]), DumpByte(slot, k)) << k;
    }

    // A missing folder is reported; a cancelled dialog is not.
    host.dialogAnswers.push_back(dir / "nowhere/unit");
    EXPECT_FALSE(model.SaveUnitFile());
    EXPECT_EQ(host.messages, std::vector<std::string>{"Save File Error !!"});
    host.messages.clear();
    EXPECT_FALSE(model.SaveUnitFile());
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(UnitFileTest, DownloadLoadsTheBuffersAndStartsTheTransfer) {
    FillModel();
    const std::string file = SaveUnit("unit");
    host.deviceId = 9;
    host.calls.clear();
    ASSERT_TRUE(Download(dir / "unit.unt"));

    const UnitDownload& d = host.download;
    EXPECT_EQ(d.record, 1);
    for (size_t i = 0; i < 18; ++i)
        EXPECT_EQ(d.unitInfo[i], i + 1);
    for (size_t r = 0; r < 20; ++r)
        EXPECT_EQ(std::string(d.records[r].begin(), d.records[r].end()), file.substr(34 + 724 * r, 724));
    EXPECT_EQ(d.UsedCount(), 2);
    EXPECT_TRUE(d.IsUsed(3));
    EXPECT_FALSE(d.IsUsed(4));

    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(host.sent[0].code(), MCS_FACTORY_DEFAULT);
    EXPECT_TRUE(host.sent[0].payload().empty());
    EXPECT_EQ(host.sent[0].frame[3], 9);
    EXPECT_TRUE(host.sent[0].force);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"StopLevelPoll", "ResetLevelMeters", "ShowProgress"}));
    EXPECT_EQ(host.linkTimeout, 10000);
    EXPECT_EQ(host.transferState, tsDownloadStart);
    EXPECT_FALSE(host.mainEnabled);
    EXPECT_EQ(host.progressStatus, "Download preset now , please wait...");
    EXPECT_EQ(host.progressPosition, 0);
    EXPECT_EQ(host.progressMax, 2);
    EXPECT_TRUE(host.messages.empty());

    // Blocks run along the dump bytes; what the file does not hold goes out as 0, never its CR LF.
    const auto b0 = d.Block(3, 0);
    const auto b13 = d.Block(20, 13);
    const auto b14 = d.Block(20, 14);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(b0[static_cast<size_t>(i)], DumpByte(3, i));
        EXPECT_EQ(b13[static_cast<size_t>(i)], DumpByte(20, 650 + i));
        const int k = 700 + i; // dump byte; the file keeps 0..720
        EXPECT_EQ(b14[static_cast<size_t>(i)], k <= 720 ? DumpByte(20, k) : 0) << i;
    }
}

TEST_F(UnitFileTest, ShortAndLongFilesAreReadUpToTheTwentiethRecord) {
    FillModel();
    const std::string file = SaveUnit("unit");
    for (size_t size : {size_t{14474}, size_t{14514}, size_t{20000}}) {
        SCOPED_TRACE(size);
        std::string data = file.substr(0, size);
        data.resize(size, '\x5A');
        WriteAll(dir / "sized.unt", data);
        for (auto& rec : host.download.records)
            rec.fill(0xEE);
        host.sent.clear();
        ASSERT_TRUE(Download(dir / "sized.unt"));
        const auto& last = host.download.records[19];
        const size_t present = std::min<size_t>(724, size - (34 + 19 * 724));
        for (size_t i = 0; i < 724; ++i)
            ASSERT_EQ(last[i], i < present ? static_cast<uint8_t>(file[34 + 19 * 724 + i]) : 0) << i;
        EXPECT_EQ(host.download.Block(20, 14)[20], present > 721 ? DumpByte(20, 720) : 0);
        EXPECT_EQ(host.sent.size(), 1u);
    }
}

TEST_F(UnitFileTest, FileWithoutUsedRecordStillStartsWithFactoryDefault) {
    const std::string file = SaveUnit("empty");
    ASSERT_TRUE(Download(dir / "empty.unt"));
    EXPECT_EQ(host.progressMax, 0);
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(host.sent[0].code(), MCS_FACTORY_DEFAULT);
}

TEST_F(UnitFileTest, BadFilesAreRefusedBeforeAnythingIsSentOrChanged) {
    FillModel();
    const std::string good = SaveUnit("unit");
    std::string header = good;
    header[15] = '?';
    std::string misplaced = good;
    misplaced[34 + 724 * 2] = 4; // record 3 claims slot 4
    std::string usedZero = good;
    usedZero[34 + 724 * 19] = 0; // record 20 claims slot 0
    fs::create_directory(dir / "folder.unt");
    const struct {
        const char* what;
        std::optional<std::string> content;
        std::string name;
    } cases[] = {
        {"14473 bytes", good.substr(0, 14473), "short.unt"},
        {"empty", std::string(), "empty.unt"},
        {"wrong header", header, "header.unt"},
        {"slot byte differs from position", misplaced, "misplaced.unt"},
        {"slot byte 0", usedZero, "zero.unt"},
        {"missing", std::nullopt, "missing.unt"},
        {"a folder", std::nullopt, "folder.unt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.content)
            WriteAll(dir / c.name, *c.content);
        for (auto& rec : host.download.records)
            rec.fill(0xEE);
        host.download.record = 0;
        host.messages.clear();
        host.calls.clear();
        host.sent.clear();
        EXPECT_FALSE(Download(dir / c.name));
        EXPECT_EQ(host.messages, std::vector<std::string>{"Download File Error !!"});
        EXPECT_TRUE(host.sent.empty());
        EXPECT_TRUE(host.calls.empty());
        EXPECT_EQ(host.download.records[2][0], 0xEE);
        EXPECT_EQ(host.download.record, 0);
        EXPECT_EQ(host.transferState, tsIdle);
        EXPECT_TRUE(host.mainEnabled);
    }

    // Offline: asked to connect first, no dialog.
    host.messages.clear();
    host.dialogsRun.clear();
    host.connected = false;
    EXPECT_FALSE(files.DownloadUnitFile());
    EXPECT_EQ(host.messages, std::vector<std::string>{"You Must Connect First !!"});
    EXPECT_TRUE(host.dialogsRun.empty());
}

} // namespace
