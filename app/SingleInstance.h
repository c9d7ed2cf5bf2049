#pragma once
// One editor per user session: the running editor listens on a local socket named after the program
// title; a second start finds it there, asks it to come forward, and ends without showing a window.

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

    // The socket name of a program title: the title's letters and digits and the user's ID.
    static std::string KeyOf(const std::string& title);
    // Replaces the key of every title from now on (tests running side by side each take their own);
    // empty restores the keys made from titles.
    static void SetKeyOverride(const std::string& key);

    // True when an editor listens under the key; it has been asked to come forward.
    static bool AskRunningToComeForward(const std::string& key);
    // Listens under the key (taking over a socket left behind by an editor that did not end cleanly);
    // onComeForward runs on the GUI thread for every later start. False when listening failed.
    bool Listen(const std::string& key, std::function<void()> onComeForward);
    bool Listening() const;

private:
    std::unique_ptr<QLocalServer> server_;
    std::function<void()> onComeForward_;
};
