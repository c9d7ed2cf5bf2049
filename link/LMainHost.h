#pragma once
// What the unit model and the file commands need of the main window: its link side (LMainHost) and
// its windows (LWindowHost). The link side implements it; tests use a recording fake.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

class LCmd;
struct UnitDownload;

enum TransferState {
    tsIdle = 0,
    tsRecall = 1,
    tsStoreName = 2,
    tsFactoryReset = 3,
    tsReadPreset = 4,
    tsDownloadPresets = 5,
    tsResync = 6,
    tsUnlockWait = 8,
    tsStore = 9,
    tsDownloadStart = 10,
};

// The post-open step of a preset file sent to the unit: its records are acknowledged one by one, and
// the next level reply ends it.
inline constexpr int kPostOpenSendingFile = 12;

// The four file dialogs of the File menu.
enum class FileDialog { OpenPreset, SavePreset, SaveUnit, OpenUnit };

// What the model and the link need of the windows: the updating-view flag, the channel editors, the
// preset lists and the file, information and progress windows. The link's view on the main window
// extends it; the link hands these on to it.
class LWindowHost {
public:
    virtual ~LWindowHost() = default;

    // Set while the window fills its controls from the model: setters then send nothing.
    virtual bool IsUpdatingView() const = 0;
    virtual void SetUpdatingView(bool on) = 0;

    // Channel editors.
    virtual void SetOverlaysDirty(int ch) = 0;
    virtual void ResetPeqViews() = 0;
    virtual void RefreshAllPanels() = 0;
    virtual void RepaintChannelGraphs() = 0;
    virtual void ResetLevelMeters() = 0;

    // Preset lists: recall row 0..20, store row 0..19; the name is UTF-8.
    virtual void SetRecallPresetName(int row, const std::string& name) = 0;
    virtual void SetStorePresetName(int row, const std::string& name) = 0;

    // Runs one of the file dialogs; the chosen path, or nothing when the user cancels. The save dialog
    // for preset files starts with an empty file name.
    virtual std::optional<std::string> RunFileDialog(FileDialog which) = 0;
    // The text of a SID_ key in the current language.
    virtual std::string GetLangText(const std::string& key) const = 0;
    // The information window with one message, shown modally.
    virtual void ShowInformation(const std::string& text) = 0;
    // The progress window: modally (ended by the reply dispatch), or shown without blocking.
    virtual void ShowProgressModal() = 0;
    virtual void ShowProgress(const std::string& status, int position, int max) = 0;
    virtual void SetMainEnabled(bool on) = 0;
    // Makes the program's folder the current folder again after a file dialog.
    virtual void RestoreProgramFolder() = 0;
};

// What the unit model and the file commands need of the main window's link side, besides the windows.
class LMainHost : public LWindowHost {
public:
    // Send path: frames the record and queues it on the open transport; nothing when none is open.
    virtual void SendCommand(const LCmd& cmd, bool force) = 0;
    virtual int GetDeviceId() const = 0;
    virtual bool IsConnected() const = 0;
    virtual void StopLevelPoll() = 0;

    // Link and transfer state of the main window.
    virtual void SetLinkTimeout(int ms) = 0;
    virtual void SetTransferState(TransferState state) = 0;
    virtual void SetPostOpenState(int state) = 0;
    virtual UnitDownload& DownloadBuffers() = 0;
};
