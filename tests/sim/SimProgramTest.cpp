// korvane-sim as a user runs it: started, reached over its terminal and its network port, stopped by
// a signal.

#include "tests/sim/SimUnit.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace kv::sim {
namespace {

// Only guards against a hang; nothing here measures time.
constexpr int kGuardMs = 30000;

// The program started with `args`, its standard output read line by line.
class SimProgram {
public:
    explicit SimProgram(const std::vector<std::string>& args) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        std::vector<std::string> all{KV_SIM_PROGRAM};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, KV_SIM_PROGRAM, &actions, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        out_ = fds[0];
    }
    ~SimProgram() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            Wait();
        }
        if (out_ >= 0)
            close(out_);
    }

    bool Started() const { return pid_ > 0; }

    // The next line of output; nullopt at its end.
    std::optional<std::string> ReadLine() {
        for (;;) {
            if (const auto nl = buffer_.find('\n'); nl != std::string::npos) {
                std::string line = buffer_.substr(0, nl);
                buffer_.erase(0, nl + 1);
                return line;
            }
            pollfd p{out_, POLLIN, 0};
            if (poll(&p, 1, kGuardMs) <= 0)
                return std::nullopt;
            char chunk[256];
            const ssize_t n = read(out_, chunk, sizeof chunk);
            if (n <= 0)
                return std::nullopt;
            buffer_.append(chunk, static_cast<std::size_t>(n));
        }
    }

    // The text after `prefix` on the next line that starts with it.
    std::optional<std::string> ValueOf(const std::string& prefix) {
        while (auto line = ReadLine())
            if (line->starts_with(prefix))
                return line->substr(prefix.size());
        return std::nullopt;
    }

    // The exit status once the program ends (after `sig`, when given); -1 when it was killed.
    int Wait(int sig = 0) {
        if (sig)
            kill(pid_, sig);
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string buffer_;
};

// Sends a probe on `fd` and reads until a whole frame comes back.
std::optional<Frame> Probe(int fd) {
    const Bytes probe = CommandFrame(1, code::Probe);
    if (write(fd, probe.data(), probe.size()) != static_cast<ssize_t>(probe.size()))
        return std::nullopt;
    FrameAssembler assembler;
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, kGuardMs) <= 0)
            return std::nullopt;
        std::uint8_t buf[64];
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0)
            return std::nullopt;
        const auto frames = assembler.Push(buf, static_cast<std::size_t>(n));
        if (!frames.empty())
            return ParseFrame(frames.front());
    }
}

void ExpectProbeReply(const std::optional<Frame>& f) {
    ASSERT_TRUE(f.has_value());
    EXPECT_EQ(f->code, code::Probe);
    EXPECT_EQ(f->source, 1);
    EXPECT_TRUE(f->checkOk);
}

TEST(SimProgram, AnswersOnTerminalAndNetworkAndEndsOnSignal) {
    for (int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        // Another loopback address and a free port, so that a unit on the default place is no bother.
        SimProgram sim({"--address", "127.0.0.2", "--port", "0"});
        ASSERT_TRUE(sim.Started());
        const auto path = sim.ValueOf("Serial port: ");
        ASSERT_TRUE(path.has_value());
        const auto network = sim.ValueOf("Network: 127.0.0.2 port ");
        ASSERT_TRUE(network.has_value());

        // The terminal first: replies go to it while no network client is connected.
        const int serial = open(path->c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(serial, 0) << *path;
        termios t{};
        tcgetattr(serial, &t);
        cfmakeraw(&t);
        tcsetattr(serial, TCSANOW, &t);
        ExpectProbeReply(Probe(serial));
        close(serial);

        const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(std::stoi(*network)));
        inet_pton(AF_INET, "127.0.0.2", &a.sin_addr);
        ASSERT_EQ(connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        ExpectProbeReply(Probe(s));
        close(s);

        EXPECT_EQ(sim.Wait(sig), 0);
    }
}

TEST(SimProgram, RefusesAddressesOutsideLoopbackAndBadArguments) {
    const std::vector<std::vector<std::string>> cases = {
        {"--address", "0.0.0.0"},  {"--address", "192.168.1.10"}, {"--address", "localhost"},
        {"--address", "::1"},      {"--port", "65536"},           {"--port", "97x"},
        {"--listen", "127.0.0.1"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args[0] + " " + args[1]);
        SimProgram sim(args);
        ASSERT_TRUE(sim.Started());
        EXPECT_FALSE(sim.ValueOf("Network: ").has_value());
        EXPECT_NE(sim.Wait(), 0);
    }
}

} // namespace
} // namespace kv::sim
