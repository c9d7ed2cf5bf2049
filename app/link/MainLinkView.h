#pragma once
// What the main window's link side needs of the windows: the progress and information windows, the
// connection search's results, the captions that tell the link's state, the refresh of every page and
// the layout's timers. The main window implements it; the link's tests use a recording fake, so that
// the link runs without any window.

#include <cstdint>
#include <optional>
#include <string>

#include "link/LCmd.h"
#include "link/LMainHost.h"

class THidDeviceController;

// The layout's timers the link starts and stops; their handlers run the link's steps.
enum class LinkTimer {
    Disconnect,  // closes the link 300 ms later (refused unit, end of a download, the link button)
    LinkBroken,  // closes the link and reopens the search (the unit's USB device went away)
    ComScan,     // a reply with a foreign device ID: the candidate is not the one searched for
    LockPrompt,  // the unlock dialog, after the frame handler has returned
    ProcessShow, // the progress window of the read-back, after the frame handler has returned
    LevelPoll,   // the level meters' poll while online
    Upload,      // writes the unit file of an upload, after the frame handler has returned
};

// Besides the window parts of the model's host (LWindowHost), which the link hands on to it:
class TMainLinkView : public LWindowHost {
public:
    // ---- the USB device's handlers (forwarded by the link's LHidHost) ----
    virtual std::string StatusText() const = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual bool MainWindowVisible() const = 0;
    // The layout's HID device controller; none in a layout without one.
    virtual THidDeviceController* HidController() = 0;

    // ---- timers of the layout ----
    virtual void StartLinkTimer(LinkTimer timer) = 0;
    virtual void StopLinkTimer(LinkTimer timer) = 0;
    virtual bool LinkTimerRunning(LinkTimer timer) const = 0;

    // ---- the progress window of a transfer ----
    virtual void SetProgressStatus(const std::string& text) = 0;
    // Range 0..max, at 0.
    virtual void SetProgressRange(int max) = 0;
    virtual void SetProgressPosition(int position) = 0;
    virtual int ProgressPosition() const = 0;
    virtual int ProgressMax() const = 0;
    // Closes it, also one whose deferred showing is still due.
    virtual void CloseProgressWindow() = 0;

    // ---- the connection search ----
    // The candidate being tried: found (it answered as the unit) or not.
    virtual void SearchResult(bool found) = 0;
    // Whether the search found the unit the link is open to now.
    virtual bool SearchFoundUnit() const = 0;
    // Whether the search dialog is on screen.
    virtual bool SearchShown() const = 0;
    virtual void SetSearchStatus(const std::string& text) = 0;
    virtual void CloseSearch() = 0;
    // The link broke: the search hears of it; `reopen` shows the search again from its first candidate.
    virtual void LinkBroken(bool reopen) = 0;
    // Sets up a new search from its first candidate; false when there is no search dialog.
    virtual bool BeginSearch() = 0;
    // Shows the search dialog (modally); it runs the search.
    virtual void ShowSearch() = 0;

    // ---- captions and buttons that tell the link's state ----
    // The unit took the identity check: link button down and "online", the interface's name shown.
    virtual void ShowOnline(const std::string& interfaceName) = 0;
    // Offline: captions, link button and Connect item back, the window enabled.
    virtual void ShowOffline() = 0;
    // The link button and the Connect item disabled (a press is being carried out), the button up.
    virtual void ShowLinkBusy() = 0;
    // The Connect item's caption: "Disconnect" while a link is (being) opened, else "Connect".
    virtual void ShowConnectCaption(bool disconnect) = 0;
    // The read-back ended: every control from the model, the link button and Connect item usable again.
    virtual void ShowReadBackDone() = 0;
    virtual void ShowDeviceId(int id) = 0;
    // The preset bar's number ("U05") and name.
    virtual void ShowPreset(const std::string& number, const std::string& name) = 0;
    // Focus back on the main window after a transfer that disabled it.
    virtual void FocusMain() = 0;

    // ---- replies the windows take ----
    virtual void ShowLevels(const BSTM& payload) = 0;
    // An acknowledgement: the lock dialog learns whether it was its command's.
    virtual void LockAcknowledged() = 0;
    // The unit's verdict on a submitted password of the panel lock.
    virtual void PasswordVerdict(uint8_t verdict) = 0;
    // The unlock dialog, modally; it sends the read-back's request or closes the link.
    virtual void ShowLockPrompt() = 0;
    // One line of the frame log.
    virtual void FrameLogLine(const std::string& line) = 0;
};
