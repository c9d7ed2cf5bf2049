#include "app/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace {
std::string gKeyOverride;
constexpr char kComeForward[] = "come-forward\n";
// A start that finds a running editor waits this long at most for it to take the request.
constexpr int kAskTimeoutMs = 2000;
} // namespace

TSingleInstance::TSingleInstance() = default;

TSingleInstance::~TSingleInstance() {
    if (server_)
        server_->close();
}

std::string TSingleInstance::KeyOf(const std::string& title) {
    if (!gKeyOverride.empty())
        return gKeyOverride;
    std::string key;
    for (char c : title) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            key += c;
        else if (!key.empty() && key.back() != '-')
            key += '-';
    }
    key += "-" + std::to_string(getuid());
    const std::string display = DisplayOf();
    return display.empty() ? key : key + "-" + display;
}

std::string TSingleInstance::DisplayOf() {
    const auto env = [](const char* name) {
        const char* v = std::getenv(name);
        return std::string(v ? v : "");
    };
    // ":0.1" and ":0" are one display: the screen number after the last '.' past the ':' goes.
    std::string x = env("DISPLAY");
    if (const auto colon = x.rfind(':'); colon != std::string::npos)
        if (const auto dot = x.find('.', colon); dot != std::string::npos)
            x.erase(dot);
    std::string display;
    if (!x.empty())
        display = "x" + x;
    else if (const std::string w = env("WAYLAND_DISPLAY"); !w.empty())
        display = "w" + w;
    else if (const std::string s = env("XDG_SESSION_ID"); !s.empty())
        display = "s" + s;
    // A socket name holds no '/' and stays short; other characters become '_'.
    std::string key;
    for (char c : display) {
        const bool plain =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
        key += plain ? c : '_';
    }
    return key.substr(0, 48);
}

void TSingleInstance::SetKeyOverride(const std::string& key) {
    gKeyOverride = key;
}

bool TSingleInstance::AskRunningToComeForward(const std::string& key) {
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(key));
    if (!socket.waitForConnected(kAskTimeoutMs))
        return false;
    socket.write(kComeForward);
    socket.waitForBytesWritten(kAskTimeoutMs);
    socket.disconnectFromServer();
    std::fprintf(stderr,
                 "korvane-editor: an editor is already running on this display; it was brought forward.\n");
    return true;
}

bool TSingleInstance::Listen(const std::string& key, std::function<void()> onComeForward) {
    onComeForward_ = std::move(onComeForward);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = QString::fromStdString(key);
    if (!server_->listen(name)) {
        // Nobody answered under this name a moment ago: what is there was left by an editor that ended
        // without closing it.
        QLocalServer::removeServer(name);
        if (!server_->listen(name)) {
            server_.reset();
            return false;
        }
    }
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
        while (QLocalSocket* peer = server_->nextPendingConnection()) {
            QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            auto take = [this, peer] {
                const QByteArray line = peer->readAll();
                if (line.contains("come-forward") && onComeForward_)
                    onComeForward_();
            };
            QObject::connect(peer, &QLocalSocket::readyRead, peer, take);
            if (peer->bytesAvailable() > 0)
                take();
        }
    });
    return true;
}

bool TSingleInstance::Listening() const {
    return server_ && server_->isListening();
}
