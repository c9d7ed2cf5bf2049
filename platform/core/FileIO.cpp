#include "platform/core/FileIO.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace kv {

namespace {

std::string Reason(int err) {
    return std::error_code(err, std::generic_category()).message();
}

void SetError(std::string* error, const std::string& what, int err) {
    if (error)
        *error = what + ": " + Reason(err);
}

// Closes a descriptor on every way out of a function.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now and reports the result: a delayed write error can surface here.
    int CloseNow() {
        const int r = ::close(fd_);
        fd_ = -1;
        return r;
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view data) {
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// A name for the temporary file that no other writer picks, also across processes.
std::string TemporaryName(const std::string& folder) {
    static std::atomic<unsigned> counter{0};
    static const unsigned long long seed = std::random_device{}();
    const unsigned long long n = seed ^ (static_cast<unsigned long long>(::getpid()) << 20) ^ counter++;
    static const char hex[] = "0123456789abcdef";
    std::string name = folder + "/.kv-save-";
    for (int shift = 60; shift >= 0; shift -= 4)
        name += hex[(n >> shift) & 0xF];
    return name + ".tmp";
}

} // namespace

std::optional<std::string> ReadFileBytes(const std::string& path, size_t maxBytes, std::string* error) {
    // Non-blocking open, so that a named pipe without a writer cannot hang the caller before it is
    // recognised and refused below.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) {
        SetError(error, "cannot open " + path, errno);
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        SetError(error, "cannot read " + path, errno);
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        if (error)
            *error = path + " is not a regular file";
        return std::nullopt;
    }
    std::string data;
    data.resize(maxBytes);
    size_t got = 0;
    while (got < maxBytes) {
        const ssize_t n = ::read(fd.get(), data.data() + got, maxBytes - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            SetError(error, "cannot read " + path, errno);
            return std::nullopt;
        }
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    data.resize(got);
    return data;
}

std::optional<uint64_t> FileSize(const std::string& path, std::string* error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        SetError(error, "cannot open " + path, errno);
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        if (error)
            *error = path + " is not a regular file";
        return std::nullopt;
    }
    return static_cast<uint64_t>(st.st_size);
}

bool WriteFileAtomic(const std::string& path, std::string_view data, std::string* error) {
    std::string target = path;
    // Saving over a symbolic link replaces the file it points to and keeps the link.
    struct stat lst {};
    if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        if (char* resolved = ::realpath(path.c_str(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
    }
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.empty()) {
        if (error)
            *error = "cannot write " + path + ": no file name";
        return false;
    }
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;

    std::string temp;
    int raw = -1;
    for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
        temp = TemporaryName(folder);
        // 0666 lets the user's umask decide, as for any newly created file.
        raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (raw < 0 && errno != EEXIST)
            break;
    }
    if (raw < 0) {
        SetError(error, "cannot create a file in " + folder, errno);
        return false;
    }
    Fd fd(raw);
    auto fail = [&](const std::string& what, int err) {
        SetError(error, what, err);
        ::unlink(temp.c_str());
        return false;
    };
    if (!WriteAll(fd.get(), data))
        return fail("cannot write " + path, errno);
    // An existing file keeps its mode; best effort, the data matter more.
    if (exists && S_ISREG(st.st_mode))
        static_cast<void>(::fchmod(fd.get(), st.st_mode & 07777));
    if (::fsync(fd.get()) != 0)
        return fail("cannot write " + path, errno);
    if (fd.CloseNow() != 0)
        return fail("cannot write " + path, errno);
    if (::rename(temp.c_str(), target.c_str()) != 0)
        return fail("cannot replace " + path, errno);
    // Make the rename itself durable; a failure here does not undo the saved file.
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        static_cast<void>(::fsync(dir.get()));
    return true;
}

} // namespace kv
