// The main window's link side without any window: a recording view in the windows' place, the model,
// and the simulated unit on a pseudo-terminal. Read-back, store, recall, a preset file sent, the
// whole-unit upload and download, and units that stall or answer late, all on the virtual clock.

#include "app/link/MainLink.h"
#include "link/LUnitControl.h"
#include "link/PresetFiles.h"
#include "platform/core/FileIO.h"
#include "platform/sys/Serial.h"
#include "tests/app/UnitFileOf.h"
#include "tests/sim/SimImage.h"
#include "tests/sim/SimPty.h"
#include "tests/sim/SimUnit.h"
#include "tests/support/GuiThread.h"
#include "tests/support/TempFiles.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace sim = kv::sim;

// The windows as the link sees them. What the link shows is recorded (texts as their keys); the
// layout's timers run on the test's clock with the layout's intervals and handlers; the modal progress
// window runs the clock until the link closes it, as the real one's loop does; the file dialogs answer
// with the paths the test queued.
class RecordingView : public TMainLinkView {
public:
    RecordingView(TVirtualClock& clock, std::function<void()> step) : step_(std::move(step)) {
        const struct {
            LinkTimer id;
            uint32_t ms;
        } layout[] = {{LinkTimer::Disconnect, 300},  {LinkTimer::LinkBroken, 300},
                      {LinkTimer::ComScan, 1},       {LinkTimer::LockPrompt, 1000},
                      {LinkTimer::ProcessShow, 100}, {LinkTimer::LevelPoll, 300},
                      {LinkTimer::Upload, 300}};
        for (const auto& t : layout) {
            auto timer = std::make_unique<::TTimer>(&clock);
            timer->SetEnabled(false);
            timer->SetInterval(t.ms);
            timer->OnTimer = [this, id = t.id] { Fire(id); };
            timers_[t.id] = std::move(timer);
        }
    }

    TMainLink* link = nullptr;

    // What was shown.
    std::vector<std::string> messages;
    std::vector<bool> searchResults;
    int linkBroken = 0;
    int readBacksDone = 0;
    int offlineShown = 0;
    int progressShown = 0;
    bool progressOpen = false;
    int progressPosition = 0;
    int progressMax = 0;
    bool mainEnabled = true;
    std::string onlineInterface;
    std::string presetNumber, presetName;
    std::map<int, std::string> recallNames;
    std::deque<std::string> fileAnswers;
    // Runs on every step of the modal progress window's loop.
    std::function<void()> whileModal;
    std::function<void()> onReadBackDone;

    bool IsUpdatingView() const override { return updating_; }
    void SetUpdatingView(bool on) override { updating_ = on; }
    void SetOverlaysDirty(int) override {}
    void ResetPeqViews() override {}
    void RefreshAllPanels() override {}
    void RepaintChannelGraphs() override {}
    void ResetLevelMeters() override {}
    void SetRecallPresetName(int row, const std::string& name) override { recallNames[row] = name; }
    void SetStorePresetName(int, const std::string&) override {}
    std::optional<std::string> RunFileDialog(FileDialog) override {
        if (fileAnswers.empty())
            return std::nullopt;
        std::string path = fileAnswers.front();
        fileAnswers.pop_front();
        return path;
    }
    std::string GetLangText(const std::string& key) const override { return key; }
    void ShowInformation(const std::string& text) override { messages.push_back(text); }
    void ShowProgressModal() override {
        if (progressOpen)
            return;
        ++progressShown;
        progressOpen = true;
        // The window's modal loop: the transfer goes on inside it until the link closes the window.
        for (int i = 0; progressOpen && i < 6000; ++i) {
            step_();
            if (whileModal)
                whileModal();
        }
    }
    void ShowProgress(const std::string&, int position, int max) override {
        progressOpen = true;
        progressMax = max;
        progressPosition = position;
    }
    void SetMainEnabled(bool on) override { mainEnabled = on; }
    void RestoreProgramFolder() override {}

    std::string StatusText() const override { return {}; }
    void SetStatusText(const std::string&) override {}
    bool MainWindowVisible() const override { return true; }
    THidDeviceController* HidController() override { return nullptr; }

    void StartLinkTimer(LinkTimer t) override {
        timers_[t]->SetEnabled(false);
        timers_[t]->SetEnabled(true);
    }
    void StopLinkTimer(LinkTimer t) override { timers_[t]->SetEnabled(false); }
    bool LinkTimerRunning(LinkTimer t) const override { return timers_.at(t)->Enabled(); }

    void SetProgressStatus(const std::string&) override {}
    void SetProgressRange(int max) override {
        progressMax = max;
        progressPosition = 0;
    }
    // As the bar does: clamped to its range.
    void SetProgressPosition(int position) override {
        progressPosition = std::clamp(position, 0, progressMax);
    }
    int ProgressPosition() const override { return progressPosition; }
    int ProgressMax() const override { return progressMax; }
    void CloseProgressWindow() override {
        timers_[LinkTimer::ProcessShow]->SetEnabled(false);
        progressOpen = false;
    }

    void SearchResult(bool found) override {
        searchResults.push_back(found);
        found_ = found;
    }
    bool SearchFoundUnit() const override { return found_; }
    bool SearchShown() const override { return true; }
    void SetSearchStatus(const std::string&) override {}
    void CloseSearch() override {}
    // The search dialog closes the progress window when it hears of a broken link.
    void LinkBroken(bool) override {
        ++linkBroken;
        found_ = false;
        CloseProgressWindow();
    }
    bool BeginSearch() override { return false; }
    void ShowSearch() override {}

    void ShowOnline(const std::string& interfaceName) override { onlineInterface = interfaceName; }
    void ShowOffline() override { ++offlineShown; }
    void ShowLinkBusy() override {}
    void ShowConnectCaption(bool) override {}
    void ShowReadBackDone() override {
        ++readBacksDone;
        if (onReadBackDone)
            onReadBackDone();
    }
    void ShowDeviceId(int) override {}
    void ShowPreset(const std::string& number, const std::string& name) override {
        presetNumber = number;
        presetName = name;
    }
    void FocusMain() override {}

    void ShowLevels(const BSTM&) override {}
    void LockAcknowledged() override {}
    void PasswordVerdict(uint8_t) override {}
    void ShowLockPrompt() override {}
    void FrameLogLine(const std::string&) override {}

private:
    // The layout's handlers of the timers.
    void Fire(LinkTimer t) {
        switch (t) {
        case LinkTimer::Disconnect:
            link->tmDisconnectTimer(nullptr);
            break;
        case LinkTimer::LinkBroken:
            link->tmLinkBrokenTimer(nullptr);
            break;
        case LinkTimer::ComScan:
            link->tmComScanTimer(nullptr);
            break;
        case LinkTimer::LockPrompt:
            link->tmLockPromptTimer(nullptr);
            break;
        case LinkTimer::ProcessShow:
            // Shown without its modal loop: the read-back runs on from the test's steps.
            StopLinkTimer(t);
            ++progressShown;
            progressOpen = true;
            break;
        case LinkTimer::LevelPoll:
            link->SendCommand(CM_MCS_CMD(static_cast<uint8_t>(link->GetDeviceId()), MCS_LEVELS), false);
            break;
        case LinkTimer::Upload:
            link->tmUploadTimer(nullptr);
            break;
        }
    }

    std::function<void()> step_;
    mutable std::map<LinkTimer, std::unique_ptr<::TTimer>> timers_;
    bool updating_ = false;
    bool found_ = false;
};

class MainLinkAloneTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApp();
        view = std::make_unique<RecordingView>(clock, [this] { Step(); });
        link = std::make_unique<TMainLink>(*view, &clock);
        view->link = link.get();
        model = std::make_unique<LUnitControl>(*link);
        link->SetModel(model.get());
        link->Bind();
    }

    void TearDown() override {
        link->CloseForExit();
        pty.reset();
        clock.Settle();
        TMessageBridge::ServePending();
    }

    // The unit on a fresh pseudo-terminal, the link's serial candidate.
    void Attach(sim::SimUnit& u, bool onVirtualClock = false) {
        if (onVirtualClock)
            u.SetClock([this] { return static_cast<std::int64_t>(clock.Ms()); });
        else
            u.UseRealTime();
        current = &u;
        pty = std::make_unique<sim::SimPty>(u);
        link->SetComPortName(pty->SlavePath());
    }

    // Connects to the attached unit and runs the read-back to its end.
    void ConnectAndReadBack() {
        const int before = view->readBacksDone;
        link->ConnectCom();
        ASSERT_TRUE(RunUntil(
            [&] { return view->readBacksDone > before && LastCode() == sim::code::KeepAlive; }, 20000));
        Step(50);
        current->ClearReceived();
    }

    uint8_t LastCode() const {
        const auto codes = current->ReceivedCodes();
        return codes.empty() ? 0 : codes.back();
    }

    // The unit answers in real time (or holds a late reply for the virtual clock): it gets the chance to
    // before virtual time goes on.
    void WaitForUnit() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
        while (std::chrono::steady_clock::now() < end) {
            QCoreApplication::processEvents();
            TMessageBridge::ServePending();
            clock.Settle();
            bool busy = link->ComLink() && link->ComLink()->IsAwaiting() && current && !unitSilent;
            const uint8_t last = current ? LastCode() : 0;
            if (last == sim::code::Release || last == sim::code::McuReset)
                busy = false;
            if (busy && current->HasPending() && !current->HasDue())
                busy = false;
            if (!busy)
                return;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }

    void Step(uint64_t ms = 10) {
        clock.Advance(ms);
        WaitForUnit();
    }

    bool RunUntil(const std::function<bool()>& cond, uint64_t limitMs) {
        const uint64_t end = clock.Ms() + limitMs;
        while (!cond()) {
            if (clock.Ms() >= end)
                return false;
            Step();
        }
        return true;
    }

    std::vector<uint8_t> CodesWithoutLevels() const {
        std::vector<uint8_t> codes = current->ReceivedCodes();
        codes.erase(std::remove(codes.begin(), codes.end(), sim::code::Levels), codes.end());
        return codes;
    }

    // Settings whose channels differ from each other and from the defaults, under `name`.
    static sim::Dump Distinct(const char* name, unsigned seed) {
        sim::Dump d = sim::DefaultDump();
        std::fill(d.begin() + sim::off::PresetName, d.begin() + sim::off::PresetName + 14, ' ');
        std::copy(name, name + std::min<size_t>(std::strlen(name), 14), d.begin() + sim::off::PresetName);
        for (int ch = 0; ch < 6; ++ch) {
            const size_t r = sim::off::ChannelRecord(ch);
            sim::PutWord(d, r + (ch < 2 ? sim::off::InGain : sim::off::OutGain),
                         seed + 7u * static_cast<unsigned>(ch));
        }
        return d;
    }
    static sim::Dump Stored(const char* name, unsigned seed) {
        sim::Dump d = Distinct(name, seed);
        d[0] = 0xFF;
        d[1] = 0x00;
        return d;
    }

    // The image's bytes from the preset name on equal the dump's.
    void ExpectModelIs(const sim::Dump& d) {
        const auto& image = model->Image();
        EXPECT_TRUE(std::equal(image.begin() + 2, image.end(), d.begin() + 2));
    }

    std::string File(const std::string& name) const { return (files.path() / name).string(); }

    TVirtualClock clock;
    sim::SimUnit unit;
    sim::SimUnit* current = nullptr;
    std::unique_ptr<sim::SimPty> pty;
    std::unique_ptr<RecordingView> view;
    std::unique_ptr<LUnitControl> model;
    std::unique_ptr<TMainLink> link;
    kvtest::TempDir files;
    bool unitSilent = false;
};

TEST_F(MainLinkAloneTest, ReadBackAsksInOrderAndFillsTheModel) {
    const sim::Dump settings = Distinct("Lobby", 130);
    unit.SetCurrent(settings);
    unit.SetStored(4, Stored("Ballroom", 90));
    unit.SetCurrentPreset(4);
    Attach(unit);
    // The pages are filled once, from the whole image, after the keep-alive has gone out: the unit
    // sees it while the link waits for the window (a real-time wait; the transport writes it either
    // before the pages are filled or, held up by them, only after).
    bool keepAliveFirst = false, imageWhole = false;
    view->onReadBackDone = [&] {
        imageWhole = std::equal(model->Image().begin() + 2, model->Image().end(), settings.begin() + 2);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!keepAliveFirst && std::chrono::steady_clock::now() < end) {
            keepAliveFirst = LastCode() == sim::code::KeepAlive;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    };
    link->ConnectCom();
    ASSERT_TRUE(
        RunUntil([&] { return view->readBacksDone == 1 && LastCode() == sim::code::KeepAlive; }, 20000));
    EXPECT_TRUE(keepAliveFirst);
    EXPECT_TRUE(imageWhole);
    Step(100);
    EXPECT_EQ(view->readBacksDone, 1);

    std::vector<uint8_t> expected = {sim::code::Probe, sim::code::Identity, sim::code::LockStatus,
                                     sim::code::ReadParams, sim::code::CurrentPreset};
    expected.insert(expected.end(), 20, sim::code::PresetNameOf);
    expected.insert(expected.end(), 15, sim::code::ReadParamBlock);
    expected.push_back(sim::code::KeepAlive);
    EXPECT_EQ(CodesWithoutLevels(), expected);

    EXPECT_TRUE(link->IsOnline());
    EXPECT_EQ(view->onlineInterface, SerialPortShortName(pty->SlavePath()));
    EXPECT_EQ(view->searchResults, std::vector<bool>{true});
    EXPECT_EQ(link->CurrentPreset(), 4);
    EXPECT_EQ(view->recallNames[4], "Ballroom      ");
    EXPECT_TRUE(model->IsPresetSlotUsed(3));
    ExpectModelIs(settings);
    // The progress window counts the blocks and is closed (also its deferred showing) at the end; the
    // levels are polled.
    EXPECT_FALSE(view->progressOpen);
    EXPECT_FALSE(view->LinkTimerRunning(LinkTimer::ProcessShow));
    EXPECT_EQ(view->progressPosition, 15);
    EXPECT_TRUE(view->LinkTimerRunning(LinkTimer::LevelPoll));
    EXPECT_FALSE(link->TransferWatchdogRunning());
}

TEST_F(MainLinkAloneTest, StoreAndRecallGoThroughTheUnitsAcknowledgements) {
    Attach(unit);
    ConnectAndReadBack();
    const sim::Dump live = unit.Current();

    // Store: the name, then the number on its acknowledgement; the bar and the model change after the
    // second one.
    ASSERT_TRUE(link->StorePresetToDevice(6, "Hall"));
    EXPECT_EQ(CodesWithoutLevels(),
              (std::vector<uint8_t>{sim::code::PresetName, sim::code::Store, sim::code::KeepAlive}));
    EXPECT_TRUE(unit.SlotUsed(7));
    const sim::Dump stored = unit.Stored(7);
    EXPECT_EQ(std::string(stored.begin() + 2, stored.begin() + 16), "Hall          ");
    EXPECT_EQ(view->presetNumber, "U07");
    EXPECT_EQ(view->presetName, "Hall          ");
    EXPECT_EQ(link->CurrentPreset(), 7);
    EXPECT_TRUE(model->IsPresetSlotUsed(6));
    EXPECT_FALSE(view->progressOpen);
    EXPECT_EQ(view->progressPosition, view->progressMax);

    // Recall of another preset: the unit takes it, and its settings are read back block by block.
    const sim::Dump other = Stored("Arena", 60);
    unit.SetStored(2, other);
    current->ClearReceived();
    link->RecallPresetFromDevice(2);
    std::vector<uint8_t> expected = {sim::code::Recall};
    expected.insert(expected.end(), 15, sim::code::ReadParamBlock);
    expected.push_back(sim::code::KeepAlive);
    EXPECT_EQ(CodesWithoutLevels(), expected);
    EXPECT_EQ(link->CurrentPreset(), 2);
    ExpectModelIs(other);
    EXPECT_FALSE(std::equal(live.begin() + 2, live.begin() + 724, model->Image().begin() + 2));
    EXPECT_EQ(link->GetTransferState(), tsIdle);
    EXPECT_FALSE(link->TransferWatchdogRunning());
}

TEST_F(MainLinkAloneTest, StoreToAUnitThatStallsChangesNothingAndClosesTheLink) {
    Attach(unit);
    ConnectAndReadBack();
    link->StopLevelPoll();
    Step(50);
    // The name is taken; the number's acknowledgement never comes.
    unit.SilenceAfter(1);
    unitSilent = true;
    EXPECT_FALSE(link->StorePresetToDevice(2, "Never"));
    EXPECT_TRUE(view->presetNumber.empty());
    EXPECT_FALSE(model->IsPresetSlotUsed(2));
    EXPECT_EQ(link->CurrentPreset(), 0);
    EXPECT_FALSE(view->progressOpen);
    EXPECT_TRUE(RunUntil([&] { return link->Link() == nullptr; }, 20000));
    EXPECT_FALSE(link->IsOnline());
    EXPECT_GE(view->linkBroken, 1);
    EXPECT_EQ(link->GetTransferState(), tsIdle);
}

TEST_F(MainLinkAloneTest, PresetFileSentOnlineLeavesTheUnitAndTheModelEqualToIt) {
    Attach(unit);
    ConnectAndReadBack();
    const sim::Dump d = Distinct("Conference", 200);
    std::string file(kFileHeader);
    file.append(d.begin() + 2, d.begin() + 712);
    file += "\r\n";
    ASSERT_EQ(file.size(), kPresetFileSize);
    ASSERT_TRUE(kv::WriteFileAtomic(File("room.prs"), file));

    // The level poll's next request ends the load once the records are through, as the meters' does.
    bool polled = false;
    view->whileModal = [&] {
        if (!polled && link->PostOpenState() == kPostOpenSendingFile && link->IsLinkDrained()) {
            polled = true;
            link->SendCommand(CM_MCS_CMD(1, MCS_LEVELS), false);
        }
    };
    view->fileAnswers.push_back(File("room.prs"));
    link->OpenClick(nullptr);
    view->whileModal = nullptr;
    ASSERT_TRUE(polled);
    EXPECT_EQ(link->PostOpenState(), 0);
    EXPECT_FALSE(view->progressOpen);
    EXPECT_EQ(view->progressPosition, kPresetFileRecords);
    EXPECT_EQ(unit.RejectedCount(), 0);
    const sim::Dump now = unit.Current();
    EXPECT_TRUE(std::equal(d.begin() + 2, d.begin() + 712, now.begin() + 2));
    EXPECT_TRUE(std::equal(d.begin() + 2, d.begin() + 712, model->Image().begin() + 2));
}

// A unit that answers every block late (within the link's timeout) still gets the whole upload; its
// file goes into a second unit by download, which ends with the unit's reset and the link closed.
TEST_F(MainLinkAloneTest, UploadFromALateUnitAndDownloadIntoAnother) {
    unit.SetStored(2, Stored("Lobby", 40));
    unit.SetStored(5, Stored("Ballroom", 80));
    sim::Bytes info(18);
    for (size_t i = 0; i < info.size(); ++i)
        info[i] = static_cast<uint8_t>(0x30 + i);
    info[0] = 0;
    unit.SetUnitInfo(info);
    Attach(unit, true);
    ConnectAndReadBack();

    unit.DelayReplies(400, -1);
    view->fileAnswers.push_back(File("all.unt"));
    link->UploadClick(nullptr);
    std::vector<uint8_t> expected = {sim::code::ReadEeprom};
    for (int preset = 0; preset < 2; ++preset) {
        expected.push_back(sim::code::ReadPreset);
        expected.insert(expected.end(), 15, sim::code::ReadPresetBlock);
    }
    expected.push_back(sim::code::KeepAlive);
    EXPECT_EQ(CodesWithoutLevels(), expected);
    ASSERT_TRUE(RunUntil([&] { return !view->LinkTimerRunning(LinkTimer::Upload); }, 2000));
    unit.ClearFaults();
    EXPECT_TRUE(view->messages.empty());
    EXPECT_EQ(link->UploadPreset(), 0);
    const auto written = kv::ReadFileBytes(File("all.unt"), 1 << 20);
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, linktest::UnitFileOf(unit));

    link->CloseLink();
    sim::SimUnit other;
    Attach(other);
    ConnectAndReadBack();
    view->fileAnswers.push_back(File("all.unt"));
    link->DownloadClick(nullptr);
    ASSERT_TRUE(RunUntil([&] { return link->Link() == nullptr; }, 60000));
    EXPECT_EQ(other.ResetCount(), 1);
    for (int p = 1; p <= 20; ++p) {
        SCOPED_TRACE(p);
        ASSERT_EQ(other.SlotUsed(p), unit.SlotUsed(p));
        if (unit.SlotUsed(p)) {
            EXPECT_EQ(other.Stored(p), unit.Stored(p));
        }
    }
    // The unit keeps its own first byte; the download writes the other seventeen.
    const sim::Bytes otherInfo = other.UnitInfo();
    EXPECT_TRUE(std::equal(info.begin() + 1, info.end(), otherInfo.begin() + 1));
    EXPECT_TRUE(view->messages.empty());
    EXPECT_TRUE(view->mainEnabled);
    EXPECT_EQ(view->progressPosition, 2);
}

// A download the unit stops answering ends by the link's own no-reply report or the watchdog: the user
// is told the unit holds part of the file, and nothing resumes on the next connection.
TEST_F(MainLinkAloneTest, DownloadIntoAStallingUnitEndsWithTheIncompleteMessage) {
    unit.SetStored(3, Stored("Lobby", 40));
    Attach(unit);
    ConnectAndReadBack();
    view->fileAnswers.push_back(File("one.unt"));
    link->UploadClick(nullptr);
    ASSERT_TRUE(RunUntil([&] { return !view->LinkTimerRunning(LinkTimer::Upload); }, 2000));

    link->StopLevelPoll();
    Step(50);
    unit.SilenceAfter(5);
    unitSilent = true;
    view->fileAnswers.push_back(File("one.unt"));
    link->DownloadClick(nullptr);
    ASSERT_TRUE(RunUntil([&] { return link->Link() == nullptr; }, 60000));
    EXPECT_EQ(view->messages, std::vector<std::string>{"SID_INFO_DOWNLOAD_INCOMPLETE"});
    EXPECT_FALSE(view->progressOpen);
    EXPECT_TRUE(view->mainEnabled);
    EXPECT_EQ(link->DownloadRecord(), 0);
    EXPECT_EQ(link->GetTransferState(), tsIdle);
    EXPECT_FALSE(link->TransferWatchdogRunning());
}

// Each reply the dispatch acts on is ignored whole when its payload is one byte shorter than its
// handler reads: nothing is sent in answer and nothing changes.
TEST_F(MainLinkAloneTest, RepliesShorterThanTheirHandlerReadsAreIgnored) {
    Attach(unit);
    ConnectAndReadBack();
    link->StopLevelPoll();
    Step(50);
    const struct {
        uint8_t code;
        size_t least;
    } cases[] = {{MCS_CURRENT_PRESET, 1}, {MCS_READ_PARAMS, 20},      {36, 51},
                 {MCS_PRESET_NAME, 15},   {MCS_LOCK_STATUS, 6},       {MCS_READ_EEPROM, 18},
                 {MCS_DOWNLOAD, 1},       {MCS_READ_PRESET_BLOCK, 51}};
    const auto image = model->Image();
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.code));
        current->ClearReceived();
        sim::Bytes shortPayload(c.least - 1, 0x03);
        link->OnLinkFrame(sim::BuildFrame(1, 0, c.code, shortPayload));
        Step(50);
        EXPECT_TRUE(current->ReceivedCodes().empty());
        EXPECT_EQ(link->GetTransferState(), tsIdle);
        EXPECT_EQ(link->CurrentPreset(), 0);
        EXPECT_TRUE(model->Image() == image);
    }
    // The full length is acted on: the current preset's reply moves the read-back on.
    link->OnLinkFrame(sim::BuildFrame(1, 0, MCS_CURRENT_PRESET, {3}));
    EXPECT_EQ(link->CurrentPreset(), 3);
}

} // namespace
