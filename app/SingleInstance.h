#pragma once
// One editor per user and display: the running editor listens on a local socket named after the
// program title, the user and the display (or session) it shows on; a second start on the same display
// finds it there, asks it to come forward, says so on standard error and ends without showing a
// window. Editors on other displays or sessions of the same user run side by side.

#include <functional>
#include <memory>
#include <string>

class QLocalServer;

class TSingleInstance {
public:
    TSingleInstance();
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;

    // The socket name of a program title: the title's letters and digits, the user's ID and the
    // display (DisplayOf).
    static std::string KeyOf(const std::string& title);
    // What tells this desktop from the user's others: the X display without its screen number, else
    // the Wayland display, else the login session, other characters than letters, digits and '-'
    // as '_' ("x_0", "wwayland-0", "s3"); empty when there is none of them.
    static std::string DisplayOf();
    // Replaces the key of every title from now on (tests running side by side each take their own);
    // empty restores the keys made from titles.
    static void SetKeyOverride(const std::string& key);

    // True when an editor listens under the key; it has been asked to come forward, and standard error
    // says that this start defers to it.
    static bool AskRunningToComeForward(const std::string& key);
    // Listens under the key (taking over a socket left behind by an editor that did not end cleanly);
    // onComeForward runs on the GUI thread for every later start. False when listening failed.
    bool Listen(const std::string& key, std::function<void()> onComeForward);
    bool Listening() const;

private:
    std::unique_ptr<QLocalServer> server_;
    std::function<void()> onComeForward_;
};
