// The File menu's preset file sent to a connected unit, and the whole-unit upload into a unit file and
// download into another unit, against the simulated unit; an upload or download that the unit stops
// answering ends with a message, a usable window and nothing written.

#include "tests/app/PresetsFixture.h"
#include "tests/app/UnitFileOf.h"
#include "app/link/MainLink.h"

#include "app/TimerComponent.h"
#include "app/pages/LinkingPage.h"
#include "controls/LMyFFTDrawHpLp6dB.h"
#include "link/PresetFiles.h"
#include "platform/core/FileIO.h"
#include "styled/StTrackBar.h"

#include <QCloseEvent>
#include <QImage>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>

namespace {

using namespace linktest;

class TransfersTest : public PresetsFixture {
protected:
    // A stored preset whose bytes tell it apart from any other; values stay valid for the unit.
    static sim::Dump StoredPreset(uint8_t seed, const char* name) {
        sim::Dump d = sim::DefaultDump();
        d[0] = 0xFF;
        d[1] = 0x00;
        std::fill(d.begin() + 2, d.begin() + 16, ' ');
        std::copy(name, name + std::min<size_t>(std::strlen(name), 14), d.begin() + 2);
        for (int ch = 0; ch < 6; ++ch) {
            const size_t gain = sim::off::ChannelRecord(ch) + (ch < 2 ? sim::off::InGain : sim::off::OutGain);
            sim::PutWord(d, gain, 100u + seed + static_cast<unsigned>(ch));
        }
        return d;
    }

    void DressUnitWithPresets() {
        unit.SetStored(2, StoredPreset(2, "Lobby"));
        unit.SetStored(5, StoredPreset(5, "Ballroom"));
        sim::Bytes info(18);
        for (size_t i = 0; i < info.size(); ++i)
            info[i] = static_cast<uint8_t>(0x30 + i);
        info[0] = 0;
        unit.SetUnitInfo(info);
    }

    // The upload's whole sequence for presets 2 and 5.
    static std::vector<uint8_t> UploadSequence() {
        std::vector<uint8_t> codes = {sim::code::ReadEeprom};
        for (int preset = 0; preset < 2; ++preset) {
            codes.push_back(sim::code::ReadPreset);
            codes.insert(codes.end(), 15, sim::code::ReadPresetBlock);
        }
        codes.push_back(sim::code::KeepAlive);
        return codes;
    }

    void Disconnect() {
        main->MainLink().pkbMenuLinkClick(nullptr);
        ASSERT_TRUE(RunUntil([&] { return !main->MainLink().Link() && !AnyModal(); }, 2000));
    }

    // Puts `u` on a wire of its own that the next search finds: a fresh pseudo-terminal, or its own
    // loopback address.
    void Rewire(sim::SimUnit& u, Wire wire) {
        if (wire == Wire::Serial) {
            pty = std::make_unique<sim::SimPty>(u);
            ports = {pty->SlavePath()};
            return;
        }
        const std::string address = ShardLoopback("127.0.0.24");
        tcp = std::make_unique<sim::SimTcp>(u, 9761, address);
        main->MainLink().ClientSocket().Address = address;
        main->MainLink().SetDeviceIp(Ipv4Word(address));
    }

    // Current settings whose channels all differ from each other and from the unit's defaults.
    static sim::Dump Distinct(const char* name) {
        sim::Dump d = sim::DefaultDump();
        std::fill(d.begin() + sim::off::PresetName, d.begin() + sim::off::PresetName + 14, ' ');
        std::copy(name, name + std::min<size_t>(std::strlen(name), 14), d.begin() + sim::off::PresetName);
        for (int ch = 0; ch < 6; ++ch) {
            const size_t r = sim::off::ChannelRecord(ch);
            sim::PutWord(d, r + (ch < 2 ? sim::off::InGain : sim::off::OutGain),
                         150u + 7u * static_cast<unsigned>(ch));
            sim::PutWord(d, r + (ch < 2 ? sim::off::InDelay : sim::off::OutDelay),
                         40u + static_cast<unsigned>(ch));
        }
        d[sim::off::OutputMute] = 0x06;
        return d;
    }

    // The preset file of the settings `d`: its bytes 2..711 behind the header.
    static std::string PresetFileOf(const sim::Dump& d) {
        std::string file(kFileHeader);
        file.append(d.begin() + 2, d.begin() + 712);
        file += "\r\n";
        return file;
    }

    // Opens the preset file `path` as the user does; the level poll's next request (sent here once the
    // progress window runs) ends it when the unit has taken every record.
    void OpenPresetFileOnline(const std::string& path) {
        bool polled = false;
        onStep = [&] {
            if (!polled && process->Modal() && main->MainLink().PostOpenState() == kPostOpenSendingFile) {
                polled = true;
                main->SendCommand(CM_MCS_CMD(1, MCS_LEVELS), false);
            }
        };
        chosenFile = path;
        main->MainLink().OpenClick(nullptr);
        onStep = nullptr;
    }

    // The unit's current settings from the preset name on equal the editor's image.
    void ExpectUnitIsImage() {
        const auto& image = main->UnitControl()->Image();
        const sim::Dump d = unit.Current();
        EXPECT_TRUE(std::equal(image.begin() + 2, image.end(), d.begin() + 2));
    }

    // The file's bytes are what the unit now holds, and the editor too.
    void ExpectUnitAndImageHoldFile(const std::string& file) {
        const sim::Dump now = unit.Current();
        EXPECT_EQ(std::string(now.begin() + 2, now.begin() + 712), file.substr(16, 710));
        const auto& image = main->UnitControl()->Image();
        EXPECT_EQ(std::string(image.begin() + 2, image.begin() + 712), file.substr(16, 710));
    }

    // A second unit; the fixture takes its wire down before it goes.
    sim::SimUnit fresh;
};

class TransfersWireTest : public TransfersTest, public ::testing::WithParamInterface<int> {};

TEST_P(TransfersWireTest, UploadToAUnitFileAndDownloadIntoAFreshUnitCopiesEveryPreset) {
    const auto wire = static_cast<Wire>(GetParam());
    DressUnitWithPresets();
    ConnectAndReadBack(wire, "127.0.0.23");

    // The first place cannot be written: the user is told and asked again, and nothing is lost.
    fileAnswers = {File("missing/venue")};
    chosenFile = File("venue");
    main->MainLink().UploadClick(nullptr);
    EXPECT_FALSE(process->Visible());
    // The file is written 300 ms after the last block, from the upload timer.
    EXPECT_TRUE(fileDialogs.empty());
    Step(300);
    Step(10);
    ASSERT_EQ(fileDialogs, (std::vector<std::string>{"sdSaveUnit", "sdSaveUnit"}));
    EXPECT_EQ(messages, std::vector<std::string>{"Save File Error !!"});
    // The level poll starts again once the file is written; its requests are not the upload's.
    std::vector<uint8_t> codes = unit.ReceivedCodes();
    std::erase(codes, sim::code::Levels);
    EXPECT_EQ(codes, UploadSequence());
    EXPECT_EQ(ReceivedOf(sim::code::ReadPreset)[1].payload, sim::Bytes{5});
    const std::string bytes = kvtest::ReadAll(File("venue.unt"));
    ASSERT_EQ(bytes.size(), kUnitFileSize);
    EXPECT_EQ(bytes.substr(34 + 724, 2), "\x02\xFF");
    EXPECT_EQ(bytes.substr(34, 722), std::string(722, '\x64'));
    EXPECT_EQ(main->MainLink().UploadPreset(), 0);
    const kv::TTimer* levels = main->Find<kv::TTimer>("tmInLevelDet");
    ASSERT_NE(levels, nullptr);
    EXPECT_TRUE(levels->Enabled());

    // Into a fresh unit on another wire.
    Disconnect();
    fresh.UseRealTime();
    Rewire(fresh, wire);
    main->MainLink().pkbMenuLinkClick(nullptr);
    ASSERT_TRUE(RunUntil([&] { return ReadBackEnded(fresh); }, 30000));
    Step(100);
    fresh.ClearReceived();

    chosenFile = File("venue.unt");
    main->MainLink().DownloadClick(nullptr);
    EXPECT_FALSE(main->Enabled());
    ASSERT_TRUE(RunUntil([&] { return !main->MainLink().Link(); }, 20000));
    // The bar counted the two used records.
    EXPECT_EQ(process->ProgressBar->Max(), 2);
    EXPECT_TRUE(main->Enabled());
    EXPECT_FALSE(process->Visible());
    EXPECT_EQ(process->Status(), "");

    std::vector<uint8_t> expected = {sim::code::FactoryDefault, sim::code::WriteEeprom};
    expected.insert(expected.end(), 30, sim::code::Download);
    expected.push_back(sim::code::McuReset);
    EXPECT_EQ(fresh.ReceivedCodes(), expected);
    const auto blocks = [&] {
        std::vector<sim::Command> out;
        for (const auto& c : fresh.Received())
            if (c.code == sim::code::Download)
                out.push_back(c);
        return out;
    }();
    ASSERT_EQ(blocks.size(), 30u);
    EXPECT_EQ(blocks[0].payload[0], 0); // block
    EXPECT_EQ(blocks[0].payload[1], 1); // preset 2, counted from 0
    EXPECT_EQ(blocks[29].payload[0], 14);
    EXPECT_EQ(blocks[29].payload[1], 4); // preset 5

    // Both units now hold the same presets, information and current settings, byte for byte.
    for (int p = 1; p <= 20; ++p) {
        SCOPED_TRACE(p);
        EXPECT_EQ(fresh.SlotUsed(p), unit.SlotUsed(p));
        if (unit.SlotUsed(p)) {
            EXPECT_EQ(fresh.Stored(p), unit.Stored(p));
        }
    }
    // The download writes the information from byte 1 on; byte 0 is each unit's own.
    const sim::Bytes freshInfo = fresh.UnitInfo(), info = unit.UnitInfo();
    EXPECT_TRUE(std::equal(freshInfo.begin() + 1, freshInfo.end(), info.begin() + 1, info.end()));
    EXPECT_EQ(fresh.Current(), unit.Current());
    // What the file holds of each preset is byte for byte what the upload read.
    EXPECT_EQ(bytes, UnitFileOf(unit));
}

INSTANTIATE_TEST_SUITE_P(Wires, TransfersWireTest, ::testing::Values(0, 1), [](const auto& param) {
    return std::string(param.param == 0 ? "PseudoTerminal" : "TcpLoopback");
});

TEST_F(TransfersTest, ReadBackShowsTheUnitsSettingsOnThePages) {
    // Gains that differ per channel and from what the faders show before.
    sim::Dump settings = StoredPreset(40, "Foyer");
    settings[0] = settings[1] = 0;
    unit.SetCurrent(settings);
    const char* const suffixes[] = {"InA", "InB", "Out1", "Out2", "Out3", "Out4"};
    auto faderShowsUnit = [&](int ch) {
        auto* fader = main->Find<kv::TStTrackBar>(std::string("isGain") + suffixes[ch]);
        const size_t word = sim::off::ChannelRecord(ch) + (ch < 2 ? sim::off::InGain : sim::off::OutGain);
        return fader && fader->Position() == fader->Min() + sim::GetWord(settings, word);
    };
    for (int ch = 0; ch < 6; ++ch)
        ASSERT_FALSE(faderShowsUnit(ch)) << suffixes[ch];

    ConnectAndReadBack();
    for (int ch = 0; ch < 6; ++ch)
        EXPECT_TRUE(faderShowsUnit(ch)) << suffixes[ch];
    EXPECT_EQ(Caption("lbPstName"), "Foyer         ");
}

// The refresh after a read-back changes each curve graph many times over; each draws its curves once,
// and shows what a full redraw from the final state shows.
TEST_F(TransfersTest, ReadBackDrawsEachCurveGraphOnceWithTheFinalPicture) {
    sim::Dump settings = sim::DefaultDump();
    for (int ch = 0; ch < 6; ++ch) {
        const size_t record = sim::off::ChannelRecord(ch);
        const size_t peq = record + (ch < 2 ? sim::off::InPeq : sim::off::OutPeq);
        for (size_t band = 0; band < 3; ++band) {
            const size_t at = peq + band * sim::off::PeqBandSize;
            const int step = (ch % 2 ? -1 : 1) * static_cast<int>(8 + 4 * band);
            sim::PutWord(settings, at, static_cast<unsigned>(sim::GetWord(settings, at) + step));
            sim::PutWord(settings, at + 2, sim::GetWord(settings, at + 2) + 20u * static_cast<unsigned>(band));
        }
        const size_t highPass = record + (ch < 2 ? sim::off::InHighPass : sim::off::OutHighPass);
        sim::PutWord(settings, highPass, sim::GetWord(settings, highPass) + 30u + 5u * static_cast<unsigned>(ch));
        if (ch < 2)
            for (size_t band = 0; band < sim::off::GeqBands; band += 5) {
                const size_t at = record + sim::off::InGeq + 2 * band;
                sim::PutWord(settings, at, sim::GetWord(settings, at) + 6u);
            }
    }
    unit.SetCurrent(settings);

    std::array<kv::LMyFFTDrawHpLp6dB*, kCurvePlots> graphs{};
    std::array<unsigned, kCurvePlots> before{};
    for (size_t i = 0; i < graphs.size(); ++i) {
        graphs[i] = main->Find<kv::LMyFFTDrawHpLp6dB>(kCurveGraphNames[i]);
        ASSERT_NE(graphs[i], nullptr) << kCurveGraphNames[i];
        before[i] = graphs[i]->PlotDraws();
    }
    // The graphic EQ's band display follows the last fader moved, by its timer, after the refresh:
    // those draws are not the refresh's.
    auto* geqTimer = main->Find<kv::TTimer>("tmGeqCurve");
    ASSERT_NE(geqTimer, nullptr);
    const kv::TNotifyEvent geqShow = geqTimer->OnTimer;
    geqTimer->OnTimer = [&](kv::TObject* sender) {
        for (size_t i = 0; i < graphs.size(); ++i)
            before[i] -= graphs[i]->PlotDraws();
        geqShow(sender);
        for (size_t i = 0; i < graphs.size(); ++i)
            before[i] += graphs[i]->PlotDraws();
    };
    ConnectAndReadBack();

    auto shown = [](kv::LMyFFTDrawHpLp6dB* graph) {
        QImage image(graph->Width(), graph->Height(), QImage::Format_RGB32);
        image.fill(Qt::white);
        kv::TCanvas canvas(&image);
        graph->Paint(canvas);
        canvas.SetTarget(nullptr);
        return image;
    };
    for (size_t i = 0; i < graphs.size(); ++i) {
        EXPECT_LE(graphs[i]->PlotDraws() - before[i], 1u) << kCurveGraphNames[i];
        const QImage refreshed = shown(graphs[i]);
        graphs[i]->Redraw();
        EXPECT_EQ(refreshed, shown(graphs[i])) << kCurveGraphNames[i];
    }
}

TEST_F(TransfersTest, UploadAndDownloadRefuseWithAMessageWhenThereIsNothingToDo) {
    chosenFile = File("x.unt");
    main->MainLink().UploadClick(nullptr);
    main->MainLink().DownloadClick(nullptr);
    EXPECT_EQ(messages, (std::vector<std::string>{"You Must Connect First !!", "You Must Connect First !!"}));
    EXPECT_TRUE(fileDialogs.empty());

    ConnectAndReadBack();
    messages.clear();
    main->MainLink().UploadClick(nullptr);
    // A unit file that is too short sends nothing.
    ASSERT_TRUE(kv::WriteFileAtomic(File("short.unt"), std::string(kFileHeader) + std::string(100, '\0')));
    chosenFile = File("short.unt");
    main->MainLink().DownloadClick(nullptr);
    Step(50);
    EXPECT_EQ(messages, (std::vector<std::string>{"No Saving Preset Exist !!", "Download File Error !!"}));
    EXPECT_TRUE(unit.ReceivedCodes().empty());
    EXPECT_TRUE(main->Enabled());
}

TEST_F(TransfersTest, PresetFileSavedAndOpenedOffline) {
    chosenFile = File("room.PRS");
    main->MainLink().SaveClick(nullptr);
    ASSERT_EQ(fileDialogs, std::vector<std::string>{"sdSavePreset"});
    const std::string bytes = kvtest::ReadAll(File("room.prs"));
    ASSERT_EQ(bytes.size(), kPresetFileSize);
    EXPECT_EQ(bytes.substr(16, 14), "Default Preset");
    EXPECT_EQ(bytes.substr(726), "\r\n");

    const auto before = main->UnitControl()->Image();
    chosenFile = File("room.prs");
    main->MainLink().OpenClick(nullptr);
    EXPECT_EQ(main->UnitControl()->Image(), before);
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(main->IsUpdatingView());
    // A file of another length is refused and changes nothing.
    ASSERT_TRUE(kv::WriteFileAtomic(File("long.prs"), bytes + "x"));
    chosenFile = File("long.prs");
    main->MainLink().OpenClick(nullptr);
    EXPECT_EQ(messages, std::vector<std::string>{"Open File Error !!"});
    EXPECT_EQ(main->UnitControl()->Image(), before);
}

TEST_F(TransfersTest, PresetFileOpenedOnlineSendsItsRecordsInOrder) {
    ConnectAndReadBack();
    sim::Dump d = sim::DefaultDump();
    std::copy_n("Conference    ", 14, d.begin() + sim::off::PresetName);
    sim::PutWord(d, sim::off::ChannelRecord(1) + sim::off::InGain, 222);
    sim::PutWord(d, sim::off::ChannelRecord(5) + sim::off::OutDelay, 480);
    d[sim::off::OutputMute] = 0x05;
    std::string file(kFileHeader);
    file.append(d.begin() + 2, d.begin() + 712);
    file += "\r\n";
    ASSERT_EQ(file.size(), kPresetFileSize);
    ASSERT_TRUE(kv::WriteFileAtomic(File("room.prs"), file));

    // The level poll's next request closes the progress window once the records are through.
    bool polled = false;
    onStep = [&] {
        if (!polled && process->Modal() && main->MainLink().PostOpenState() == kPostOpenSendingFile) {
            polled = true;
            main->SendCommand(CM_MCS_CMD(1, MCS_LEVELS), false);
        }
    };
    chosenFile = File("room.prs");
    main->MainLink().OpenClick(nullptr);
    onStep = nullptr;
    ASSERT_TRUE(polled);
    EXPECT_FALSE(process->Visible());
    EXPECT_EQ(main->MainLink().PostOpenState(), 0);
    Step(50);

    // Each channel first linked to itself alone, then the file's records.
    std::vector<uint8_t> expected(kPresetFileLinkRecords, sim::code::Link);
    expected.push_back(sim::code::PresetName);
    for (int in = 0; in < 2; ++in) {
        expected.insert(expected.end(), {sim::code::ChannelName, sim::code::Gate});
        expected.insert(expected.end(), 31, sim::code::Geq);
        expected.insert(expected.end(), {sim::code::HighPass, sim::code::LowPass, sim::code::Gain,
                                         sim::code::Polarity, sim::code::Delay, sim::code::Link});
    }
    for (int out = 0; out < 4; ++out)
        expected.insert(expected.end(),
                        {sim::code::ChannelName, sim::code::Matrix, sim::code::Mix, sim::code::Mix,
                         sim::code::HighPass, sim::code::LowPass, sim::code::Comp, sim::code::Limit,
                         sim::code::Gain, sim::code::Polarity, sim::code::Delay, sim::code::Link});
    expected.insert(expected.end(), 6, sim::code::Mute);
    expected.insert(expected.end(), 8 + 8 + 4 * 9, sim::code::Peq);
    ASSERT_EQ(expected.size(), static_cast<size_t>(kPresetFileRecords));
    expected.insert(expected.end(), {sim::code::Levels, sim::code::KeepAlive});
    // The level poll runs on once the load has ended; its requests after it are not the load's.
    std::vector<uint8_t> codes = unit.ReceivedCodes();
    while (codes.size() > expected.size() && codes.back() == sim::code::Levels)
        codes.pop_back();
    EXPECT_EQ(codes, expected);
    const auto links = ReceivedOf(sim::code::Link);
    for (int ch = 0; ch < kPresetFileLinkRecords; ++ch)
        EXPECT_EQ(links[static_cast<size_t>(ch)].payload,
                  (sim::Bytes{static_cast<uint8_t>(ch), static_cast<uint8_t>(1 << (ch < 2 ? ch : ch - 2))}));
    const auto peq = ReceivedOf(sim::code::Peq);
    EXPECT_EQ(peq.back().payload[0], 5); // Out4
    EXPECT_EQ(peq.back().payload[1], 8); // band 8
    EXPECT_EQ(unit.RejectedCount(), 0);

    // The unit and the editor now hold the file's settings.
    const sim::Dump now = unit.Current();
    EXPECT_TRUE(std::equal(d.begin() + 2, d.begin() + 712, now.begin() + 2));
    const auto& image = main->UnitControl()->Image();
    EXPECT_TRUE(std::equal(d.begin() + 2, d.begin() + 712, image.begin() + 2));
}

// The bar counts the used records sent so far, not record numbers: late records do not fill it early.
TEST_F(TransfersTest, DownloadProgressCountsUsedRecords) {
    ConnectAndReadBack();
    std::string file(kFileHeader);
    file.append(18, '\0');
    for (int r = 1; r <= 20; ++r) {
        if (r == 18 || r == 20) {
            file += static_cast<char>(r);
            const sim::Dump d = StoredPreset(static_cast<uint8_t>(r), "Late");
            file.append(d.begin(), d.begin() + 721);
        } else {
            file.append(722, '\x64');
        }
        file += "\r\n";
    }
    ASSERT_TRUE(kv::WriteFileAtomic(File("late.unt"), file));
    chosenFile = File("late.unt");
    // The unit takes the factory default and the information, then the test answers the blocks.
    unit.SilenceAfter(2);
    main->MainLink().DownloadClick(nullptr);
    ASSERT_TRUE(RunUntil([&] { return !ReceivedOf(sim::code::Download).empty(); }, 2000));
    unitSilent = true;
    EXPECT_EQ(main->MainLink().DownloadRecord(), 18);
    EXPECT_EQ(process->ProgressBar->Max(), 2);
    EXPECT_EQ(process->ProgressBar->Position(), 0);
    main->MainLink().OnLinkFrame(sim::BuildFrame(1, 0, MCS_DOWNLOAD, {14}));
    EXPECT_EQ(main->MainLink().DownloadRecord(), 20);
    EXPECT_EQ(process->ProgressBar->Position(), 1);
    EXPECT_TRUE(process->Visible());
    EXPECT_FALSE(main->Enabled());
}

// The unit stops answering in the middle of a transfer, or its USB cable is pulled: the watchdog, the
// transport or the unplug ends the link with "Link Broken", the window is usable, nothing is written,
// and the next connection reads back from the start as after any connect.
struct Interruption {
    bool upload;
    bool unplug; // the USB unit is unplugged once it has stopped answering
};

class TransferInterruptTest : public TransfersTest, public ::testing::WithParamInterface<Interruption> {
protected:
    // The system's device-change broadcast, as the device tree changed.
    void DeviceTreeChanged() {
        auto* ctl = main->Find<THidDeviceController>("HidCtl");
        ASSERT_NE(ctl, nullptr);
        TMessage change;
        change.Msg = kv::sys::WM_DEVICECHANGE;
        change.WParam = kv::sys::DBT_DEVNODES_CHANGED;
        ctl->EventPipe(change);
    }
};

TEST_P(TransferInterruptTest, EndsWithAMessageAUsableWindowAndNothingWritten) {
    const auto [upload, unplug] = GetParam();
    DressUnitWithPresets();
    ConnectAndReadBack(unplug ? Wire::Usb : Wire::Serial);
    if (!upload) {
        ASSERT_TRUE(kv::WriteFileAtomic(File("in.unt"), UnitFileOf(unit)));
        chosenFile = File("in.unt");
    } else {
        chosenFile = File("out");
    }
    // A few replies into the transfer the unit falls silent.
    const size_t replies = upload ? 9 : 6;
    unit.SilenceAfter(static_cast<int>(replies));
    bool unplugged = false;
    onStep = [&] {
        if (unitSilent || unit.ReceivedCodes().size() < replies + 1)
            return;
        unitSilent = true;
        if (unplug) {
            kv::sys::RemoveFakeHidDevice(kHidNumber);
            DeviceTreeChanged();
            unplugged = true;
        }
    };
    if (upload)
        main->MainLink().UploadClick(nullptr);
    else
        main->MainLink().DownloadClick(nullptr);
    ASSERT_TRUE(RunUntil([&] { return !main->MainLink().Link() && !dialogStatuses.empty() && !AnyModal(); }, 60000));
    onStep = nullptr;
    EXPECT_EQ(unplugged, unplug);
    EXPECT_EQ(dialogStatuses.back(), "Link Broken");
    EXPECT_FALSE(process->Visible());
    EXPECT_TRUE(main->Enabled());
    EXPECT_EQ(main->MainLink().GetTransferState(), tsIdle);
    EXPECT_EQ(main->MainLink().UploadPreset(), 0);
    EXPECT_EQ(main->MainLink().DownloadRecord(), 0);
    Step(1000);
    const kv::TTimer* uploadTimer = main->Find<kv::TTimer>("tmUpload");
    ASSERT_NE(uploadTimer, nullptr);
    EXPECT_FALSE(uploadTimer->Enabled());
    EXPECT_FALSE(std::filesystem::exists(File("out.unt")));
    EXPECT_EQ(unit.ResetCount(), 0);
    // It did stop part-way.
    EXPECT_FALSE(ReceivedOf(upload ? sim::code::ReadPresetBlock : sim::code::Download).empty());
    if (upload) {
        EXPECT_TRUE(fileDialogs.empty());
    }

    // The next connection starts clean: an ordinary read-back, no transfer step resumed.
    unit.SetSilent(false);
    unitSilent = false;
    unit.ClearReceived();
    if (unplug) {
        // Plugged in again: the old stand-in goes first, as it takes the unit's output with it.
        hid.reset();
        Attach(Wire::Usb);
        DeviceTreeChanged();
        Step(50);
    }
    main->MainLink().pkbMenuLinkClick(nullptr);
    ASSERT_TRUE(RunUntil([&] { return ReadBackEnded(unit); }, 30000))
        << "status " << network->Status() << " online " << main->IsOnline() << " hid "
        << (main->MainLink().HidDevice() != nullptr) << " codes " << unit.ReceivedCodes().size();
    const auto codes = unit.ReceivedCodes();
    for (uint8_t c : {sim::code::ReadPreset, sim::code::ReadPresetBlock, sim::code::Download,
                      sim::code::WriteEeprom, sim::code::ReadEeprom})
        EXPECT_EQ(std::count(codes.begin(), codes.end(), c), 0) << int(c);
    EXPECT_EQ(main->MainLink().GetTransferState(), tsIdle);
}

INSTANTIATE_TEST_SUITE_P(Transfers, TransferInterruptTest,
                         ::testing::Values(Interruption{true, false}, Interruption{false, false},
                                           Interruption{false, true}),
                         [](const auto& param) {
                             return std::string(param.param.upload ? "Upload" : "Download") +
                                    (param.param.unplug ? "Unplugged" : "Silent");
                         });

// A slow unit: every reply comes late, as long as it comes within the transport's reply timeout. Each
// transfer runs to its end and leaves the unit and the editor holding the same settings.
enum class Transfer { Load, Download, Upload, ReadBack, Store, Recall };
struct SlowCase {
    Transfer transfer;
    int delayMs;
};

class SlowUnitTest : public TransfersTest, public ::testing::WithParamInterface<SlowCase> {};

TEST_P(SlowUnitTest, EveryTransferCompletesAndTheUnitEqualsTheEditor) {
    const auto [transfer, delayMs] = GetParam();
    unitOnVirtualClock = true;
    DressUnitWithPresets();
    ConnectAndReadBack();
    unit.DelayReplies(delayMs, -1);
    const uint64_t longest = 400000;

    switch (transfer) {
    case Transfer::Load: {
        const std::string file = PresetFileOf(Distinct("Slow load"));
        ASSERT_TRUE(kv::WriteFileAtomic(File("slow.prs"), file));
        OpenPresetFileOnline(File("slow.prs"));
        EXPECT_EQ(main->MainLink().PostOpenState(), 0);
        EXPECT_EQ(ReceivedOf(sim::code::Peq).size(), 8u + 8u + 4u * 9u);
        ExpectUnitAndImageHoldFile(file);
        break;
    }
    case Transfer::Download: {
        fresh.SetStored(3, StoredPreset(3, "Atrium"));
        fresh.SetStored(9, StoredPreset(9, "Gallery"));
        ASSERT_TRUE(kv::WriteFileAtomic(File("slow.unt"), UnitFileOf(fresh)));
        chosenFile = File("slow.unt");
        main->MainLink().DownloadClick(nullptr);
        ASSERT_TRUE(RunUntil([&] { return !main->MainLink().Link() && !AnyModal(); }, longest));
        EXPECT_EQ(unit.ResetCount(), 1);
        for (int p = 1; p <= 20; ++p) {
            SCOPED_TRACE(p);
            ASSERT_EQ(unit.SlotUsed(p), fresh.SlotUsed(p));
            if (p == 3 || p == 9) {
                const sim::Dump want = fresh.Stored(p), got = unit.Stored(p);
                EXPECT_TRUE(std::equal(want.begin(), want.begin() + 721, got.begin()));
            }
        }
        EXPECT_TRUE(main->Enabled());
        break;
    }
    case Transfer::Upload:
        chosenFile = File("slow");
        main->MainLink().UploadClick(nullptr);
        ASSERT_TRUE(RunUntil([&] { return std::filesystem::exists(File("slow.unt")); }, 2000));
        EXPECT_EQ(kvtest::ReadAll(File("slow.unt")), UnitFileOf(unit));
        ExpectUnitIsImage();
        break;
    case Transfer::ReadBack:
        // The unit's settings changed behind the editor's back; a link change reads them all back.
        unit.SetCurrent(Distinct("Read back"));
        main->Linking().ResyncAfterLink();
        ASSERT_TRUE(RunUntil([&] { return ReadBackEnded(unit) && main->MainLink().Link(); }, longest));
        EXPECT_EQ(ReceivedOf(sim::code::ReadParamBlock).size(), 15u);
        ExpectUnitIsImage();
        break;
    case Transfer::Store:
        PlanPick(store, 4, "Slow store");
        main->bStoreClick(nullptr);
        ASSERT_TRUE(RunUntil([&] { return main->MainLink().GetTransferState() == tsIdle && !AnyModal(); }, longest));
        EXPECT_TRUE(unit.SlotUsed(4));
        EXPECT_TRUE(main->UnitControl()->IsPresetSlotUsed(3));
        EXPECT_EQ(Caption("lbPstNum"), "U04");
        EXPECT_EQ(Caption("lbPstName"), "Slow store    ");
        EXPECT_EQ(store->PresetName(3), "Slow store    ");
        ExpectUnitIsImage();
        break;
    case Transfer::Recall:
        unit.SetStored(6, StoredPreset(6, "Recall me"));
        PlanPick(recall, 7);
        main->bRecallClick(nullptr);
        ASSERT_TRUE(RunUntil([&] { return ReadBackEnded(unit); }, longest));
        EXPECT_EQ(main->CurrentPreset(), 6);
        EXPECT_EQ(Caption("lbPstNum"), "U06");
        ExpectUnitIsImage();
        break;
    }
    EXPECT_TRUE(messages.empty()) << messages.front();
    EXPECT_TRUE(dialogStatuses.empty());
    EXPECT_FALSE(process->Visible());
    EXPECT_EQ(main->MainLink().GetTransferState(), tsIdle);
    if (transfer != Transfer::Download) {
        EXPECT_TRUE(main->IsOnline());
    }
}

std::vector<SlowCase> SlowCases() {
    std::vector<SlowCase> cases;
    for (Transfer kind : {Transfer::Load, Transfer::Download, Transfer::Upload, Transfer::ReadBack,
                          Transfer::Store, Transfer::Recall})
        for (int ms : {20, 200, 900})
            cases.push_back({kind, ms});
    return cases;
}

std::string SlowCaseName(const ::testing::TestParamInfo<SlowCase>& info) {
    static const char* const names[] = {"Load", "Download", "Upload", "ReadBack", "Store", "Recall"};
    return names[static_cast<int>(info.param.transfer)] + std::to_string(info.param.delayMs) + "ms";
}

INSTANTIATE_TEST_SUITE_P(Delays, SlowUnitTest, ::testing::ValuesIn(SlowCases()), SlowCaseName);

// The unit falls silent part-way into a preset file or a download: it holds part of it now, and the
// user is told so within the transport's give-up time, in a window that stays usable; nothing looks
// finished.
struct Silence {
    bool download;
    int replies; // the unit answers this many of the transfer's commands
};

class IncompleteCopyTest : public TransfersTest, public ::testing::WithParamInterface<Silence> {};

TEST_P(IncompleteCopyTest, SaysTheUnitHoldsAnIncompleteCopy) {
    const auto [download, replies] = GetParam();
    DressUnitWithPresets();
    ConnectAndReadBack();
    if (download) {
        ASSERT_TRUE(kv::WriteFileAtomic(File("in.unt"), UnitFileOf(unit)));
        chosenFile = File("in.unt");
    } else {
        ASSERT_TRUE(kv::WriteFileAtomic(File("in.prs"), PresetFileOf(Distinct("Cut off"))));
        chosenFile = File("in.prs");
    }
    unit.SilenceAfter(replies);
    uint64_t silentAt = 0, toldAt = 0;
    uint32_t giveUpMs = 0;
    int barAtEnd = -1;
    onStep = [&] {
        if (silentAt == 0 && unit.ReceivedCodes().size() > static_cast<size_t>(replies)) {
            // The command the unit no longer answers went out.
            unitSilent = true;
            silentAt = clock.Ms();
            giveUpMs = main->MainLink().TransferWatchdogMs();
        }
        if (silentAt != 0 && toldAt == 0 && !messages.empty()) {
            toldAt = clock.Ms();
            barAtEnd = process->ProgressBar->Position();
        }
    };
    if (download)
        main->MainLink().DownloadClick(nullptr);
    else
        main->MainLink().OpenClick(nullptr);
    ASSERT_TRUE(RunUntil([&] { return toldAt != 0 && !dialogStatuses.empty() && !AnyModal(); }, 60000));
    onStep = nullptr;
    ASSERT_GT(giveUpMs, 0u);
    EXPECT_LE(toldAt - silentAt, giveUpMs);
    EXPECT_EQ(messages,
              std::vector<std::string>{download ? "Download interrupted !! The unit now holds an incomplete "
                                                  "copy. Please download the unit file again."
                                                : "Preset file not fully sent !! The unit now holds an "
                                                  "incomplete copy. Please open the preset file again."});
    EXPECT_EQ(dialogStatuses.back(), "Link Broken");
    // Nothing looks finished: the bar never reached its end, the window is gone, the editor usable.
    EXPECT_LT(barAtEnd, process->ProgressBar->Max());
    EXPECT_FALSE(process->Visible());
    EXPECT_EQ(process->Status(), "");
    EXPECT_TRUE(main->Enabled());
    EXPECT_FALSE(main->IsOnline());
    EXPECT_EQ(unit.ResetCount(), 0);
    if (download) {
        // Block 5 of the first preset was the last the unit got.
        const auto blocks = ReceivedOf(sim::code::Download);
        ASSERT_FALSE(blocks.empty());
        EXPECT_EQ(blocks.back().payload[0], 5);
    } else {
        // Record 100 (the link records count) was the last the unit got; the transport resent it.
        const auto got = unit.Received();
        ASSERT_GE(got.size(), 100u);
        for (size_t i = 100; i < got.size(); ++i) {
            EXPECT_EQ(got[i].code, got[99].code);
            EXPECT_EQ(got[i].payload, got[99].payload);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Transfers, IncompleteCopyTest,
                         ::testing::Values(Silence{false, 99}, Silence{true, 2 + 5}), [](const auto& param) {
                             return std::string(param.param.download ? "DownloadAtBlock5"
                                                                     : "PresetFileAtRecord100");
                         });

// A preset file opened over a unit whose channels are linked otherwise than in the file: whatever the
// links were, the unit ends up holding the file, as the editor does.
TEST_F(TransfersTest, PresetFileOverOtherLinksLeavesTheUnitEqualToTheFile) {
    // Link masks, InA, InB, Out1..Out4.
    using Links = std::array<unsigned, 6>;
    const Links own = {1, 2, 1, 2, 4, 8};
    // Later channels lead: InB holds both inputs, Out4 all outputs.
    const Links laterLead = {0, 3, 0, 0, 0, 15};
    // The editor's way: the first channel of each group leads.
    const Links firstLead = {3, 0, 5, 2, 0, 8};
    struct Case {
        const char* name;
        Links unitLinks, fileLinks;
    } cases[] = {
        {"linked unit, unlinked file", laterLead, own},
        {"unlinked unit, linked file", own, firstLead},
        {"linked unit, file linked otherwise", laterLead, firstLead},
    };
    const auto setLinks = [](sim::Dump& d, const Links& links) {
        for (int ch = 0; ch < 6; ++ch)
            sim::PutWord(d, sim::off::ChannelRecord(ch) + (ch < 2 ? sim::off::InLink : sim::off::OutLink),
                         links[static_cast<size_t>(ch)]);
    };
    ConnectAndReadBack();
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Dump before = unit.Current();
        setLinks(before, c.unitLinks);
        unit.SetCurrent(before);
        // The file as this editor writes it: the members of a group hold their leader's settings.
        sim::SimUnit maker;
        maker.SetCurrent(Distinct(c.name));
        for (int ch = 0; ch < 6; ++ch) {
            const int base = ch < 2 ? 0 : 2;
            const unsigned mask = c.fileLinks[static_cast<size_t>(ch)];
            for (int k = base; k < (ch < 2 ? 2 : 6); ++k)
                if (k != ch && mask & (1u << (k - base)))
                    maker.Feed(sim::CommandFrame(1, sim::code::CopyChannel,
                                                 {static_cast<uint8_t>(ch), static_cast<uint8_t>(k)}));
        }
        sim::Dump fileDump = maker.Current();
        setLinks(fileDump, c.fileLinks);
        const std::string file = PresetFileOf(fileDump);
        const std::string path = File("links" + std::to_string(n++) + ".prs");
        ASSERT_TRUE(kv::WriteFileAtomic(path, file));

        unit.ClearReceived();
        OpenPresetFileOnline(path);
        ASSERT_TRUE(RunUntil([&] { return !AnyModal() && main->MainLink().PostOpenState() == 0; }, 10000));
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(unit.RejectedCount(), 0);
        ExpectUnitAndImageHoldFile(file);
    }
}

// The progress window cannot be closed while its transfer runs: the window manager's close request
// (a real close event on its native window) does nothing, for the modal store as for the download
// that runs beside a disabled main window; the transfer goes on to its end.
TEST_F(TransfersTest, CloseRequestOnTheProgressWindowDuringATransferDoesNothing) {
    unitOnVirtualClock = true;
    DressUnitWithPresets();
    ConnectAndReadBack();
    unit.DelayReplies(200, -1);
    int requests = 0;
    bool stayed = true;
    const auto requestClose = [&] {
        if (!process->Visible() || requests >= 3)
            return;
        ++requests;
        QCloseEvent close;
        QCoreApplication::sendEvent(process->Widget(), &close);
        process->Widget()->close();
        QCoreApplication::processEvents();
        stayed = stayed && process->Visible();
    };

    onStep = requestClose;
    PlanPick(store, 2, "Held open");
    main->bStoreClick(nullptr);
    onStep = nullptr;
    EXPECT_EQ(requests, 3);
    EXPECT_TRUE(stayed);
    ASSERT_TRUE(RunUntil([&] { return main->MainLink().GetTransferState() == tsIdle && !AnyModal(); }, 20000));
    EXPECT_TRUE(unit.SlotUsed(2));
    EXPECT_EQ(Caption("lbPstNum"), "U02");
    EXPECT_EQ(process->ProgressBar->Position(), 2);

    ASSERT_TRUE(kv::WriteFileAtomic(File("held.unt"), UnitFileOf(unit)));
    chosenFile = File("held.unt");
    requests = 0;
    onStep = requestClose;
    main->MainLink().DownloadClick(nullptr);
    ASSERT_TRUE(RunUntil([&] { return requests == 3; }, 5000));
    onStep = nullptr;
    EXPECT_TRUE(stayed);
    EXPECT_TRUE(process->Visible());
    ASSERT_TRUE(RunUntil([&] { return !main->MainLink().Link() && !AnyModal(); }, 60000));
    EXPECT_FALSE(process->Visible());
    EXPECT_EQ(unit.ResetCount(), 1);
    EXPECT_TRUE(messages.empty());
}

} // namespace
