// Kernel services for HID devices: opening device nodes, reports in and out, overlapped reads that
// complete inside an alertable sleep, and the seam for stand-in nodes in tests.

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <deque>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <set>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "platform/sys/HidInternal.h"

namespace kv::sys {

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

DWORD Fail(DWORD code) {
    lastError = code;
    return code;
}

} // namespace

DWORD LastError() {
    return lastError;
}

void SetLastErrorCode(DWORD code) {
    lastError = code;
}

DWORD GetLastError() {
    return lastError;
}

void SetLastError(DWORD code) {
    lastError = code;
}

std::string ErrorText(DWORD code) {
    switch (code) {
    case ERROR_SUCCESS:
        return "The operation completed successfully.";
    case ERROR_FILE_NOT_FOUND:
        return "The device or file does not exist.";
    case ERROR_ACCESS_DENIED:
        return "Access is denied.";
    case ERROR_INVALID_HANDLE:
        return "The handle is not valid.";
    case ERROR_NOT_ENOUGH_MEMORY:
        return "Not enough memory.";
    case ERROR_INVALID_DATA:
        return "The data is not valid.";
    case ERROR_GEN_FAILURE:
        return "The device does not work.";
    case ERROR_NOT_SUPPORTED:
        return "The request is not supported.";
    case ERROR_INVALID_PARAMETER:
        return "A parameter is not valid.";
    case ERROR_INSUFFICIENT_BUFFER:
        return "The buffer is too small.";
    case ERROR_MOD_NOT_FOUND:
        return "The library was not found.";
    case ERROR_PROC_NOT_FOUND:
        return "The entry point was not found.";
    case ERROR_NO_MORE_ITEMS:
        return "No more items.";
    case ERROR_OPERATION_ABORTED:
        return "The operation was cancelled.";
    case ERROR_IO_INCOMPLETE:
        return "The operation has not completed yet.";
    case ERROR_IO_PENDING:
        return "The operation is in progress.";
    case ERROR_DEVICE_NOT_CONNECTED:
        return "The device is not connected.";
    case ERROR_TIMEOUT:
        return "The operation timed out.";
    case ERROR_INVALID_USER_BUFFER:
        return "The buffer is not valid for this request.";
    default:
        return "Error " + std::to_string(code) + ".";
    }
}

} // namespace kv::sys

namespace kv::sys::hid {

namespace {

// ---- stand-in nodes -----------------------------------------------------------------------------------

std::atomic<NodeSource*> nodeSource{nullptr};

// ---- open files ----------------------------------------------------------------------------------------

std::atomic<HANDLE> nextHandle{0x1000};
std::mutex filesMutex;
std::map<HANDLE, std::shared_ptr<FileObject>>& Files() {
    static auto* files = new std::map<HANDLE, std::shared_ptr<FileObject>>;
    return *files;
}

DWORD ErrnoToError(int e) {
    switch (e) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
        return ERROR_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case ENODEV:
    case EIO:
    case EPIPE:
    case ECONNRESET:
    case ESHUTDOWN:
    case ENOTCONN:
        return ERROR_DEVICE_NOT_CONNECTED;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EMSGSIZE:
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    default:
        return ERROR_GEN_FAILURE;
    }
}

HANDLE Open(const std::string& path, DWORD access, DWORD flags) {
    (void)flags; // every handle takes overlapped and synchronous requests alike
    auto file = std::make_shared<FileObject>();
    const bool wantRead = (access & GENERIC_READ) != 0, wantWrite = (access & GENERIC_WRITE) != 0;
    bool standIn = false;
    if (NodeSource* source = nodeSource.load()) {
        if (auto opened = source->Open(path, wantRead || wantWrite)) {
            standIn = true;
            if (opened->error != 0)
                return Fail(ErrnoToError(opened->error)), INVALID_HANDLE_VALUE;
            if (opened->fd >= 0) {
                file->fd = opened->fd;
                file->socket = true;
            }
        }
    }
    if (!standIn) {
        int mode = O_PATH;
        if (wantRead || wantWrite)
            mode = (wantRead && wantWrite ? O_RDWR : wantRead ? O_RDONLY : O_WRONLY) | O_NONBLOCK | O_NOCTTY;
        file->fd = open(path.c_str(), mode | O_CLOEXEC);
        if (file->fd < 0)
            return Fail(ErrnoToError(errno)), INVALID_HANDLE_VALUE;
        struct stat st {};
        if (fstat(file->fd, &st) == 0 && S_ISCHR(st.st_mode))
            file->realDevice = true;
        else if (S_ISSOCK(st.st_mode))
            file->socket = true;
    }
    file->canRead = wantRead;
    file->canWrite = wantWrite;

    const std::string devDir = JoinRoot("/dev/");
    if (path.size() > devDir.size() && path.compare(0, devDir.size(), devDir) == 0 &&
        ReadNode(path.substr(devDir.size()), file->info)) {
        file->identified = true;
        HidReportInfo reports;
        file->numbered =
            ParseReportDescriptor(file->info.descriptor.data(), file->info.descriptor.size(), reports) &&
            reports.numbered;
    }
    const HANDLE handle = NewHandleValue();
    std::lock_guard lock(filesMutex);
    Files()[handle] = std::move(file);
    lastError = ERROR_SUCCESS;
    return handle;
}

// ---- reports -------------------------------------------------------------------------------------------

// ERROR_SUCCESS with the report, ERROR_IO_PENDING when none is there yet, or the error.
DWORD ReadReport(FileObject& f, std::uint8_t* buffer, DWORD size, DWORD& bytes) {
    bytes = 0;
    if (!f.canRead || f.fd < 0)
        return ERROR_ACCESS_DENIED;
    // Reports of a device without numbered reports come without their ID: put 0 in front.
    const std::size_t skip = f.numbered ? 0 : 1;
    if (!buffer || size <= skip)
        return ERROR_INVALID_USER_BUFFER;
    const ssize_t n = f.socket ? recv(f.fd, buffer + skip, size - skip, MSG_DONTWAIT)
                               : read(f.fd, buffer + skip, size - skip);
    if (n < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? ERROR_IO_PENDING
                                                                         : ErrnoToError(errno);
    if (n == 0)
        return ERROR_DEVICE_NOT_CONNECTED; // the other end is gone
    if (skip)
        buffer[0] = 0;
    bytes = static_cast<DWORD>(static_cast<std::size_t>(n) + skip);
    return ERROR_SUCCESS;
}

constexpr int kWriteTimeoutMs = 2000;

DWORD WriteReport(FileObject& f, const std::uint8_t* buffer, DWORD size, DWORD& bytes) {
    bytes = 0;
    if (!f.canWrite || f.fd < 0)
        return ERROR_ACCESS_DENIED;
    if (!buffer || size == 0)
        return ERROR_INVALID_USER_BUFFER;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
    for (;;) {
        const ssize_t n =
            f.socket ? send(f.fd, buffer, size, MSG_DONTWAIT | MSG_NOSIGNAL) : write(f.fd, buffer, size);
        if (n >= 0) {
            bytes = static_cast<DWORD>(n);
            return ERROR_SUCCESS;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return ErrnoToError(errno);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return ERROR_TIMEOUT;
        pollfd p{f.fd, POLLOUT, 0};
        poll(&p, 1, static_cast<int>(left.count()));
    }
}

// ---- overlapped requests and per-thread completion queues ---------------------------------------------

struct Apc {
    LPOVERLAPPED_COMPLETION_ROUTINE routine = nullptr;
    DWORD error = 0;
    DWORD bytes = 0;
    OVERLAPPED* ovl = nullptr;
};

struct ThreadIo;

struct Request {
    HANDLE handle = INVALID_HANDLE_VALUE;
    std::shared_ptr<FileObject> file;
    std::uint8_t* buffer = nullptr;
    DWORD size = 0;
    OVERLAPPED* ovl = nullptr;
    LPOVERLAPPED_COMPLETION_ROUTINE routine = nullptr;
    ThreadIo* owner = nullptr;
};

std::mutex ioMutex; // guards every ThreadIo's lists and the OVERLAPPED records of pending requests
std::set<ThreadIo*>& Threads() {
    static auto* threads = new std::set<ThreadIo*>;
    return *threads;
}

struct ThreadIo {
    int wakeFd = -1;
    std::deque<Apc> apcs;
    std::vector<std::unique_ptr<Request>> pending;

    ThreadIo() : wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
        std::lock_guard lock(ioMutex);
        Threads().insert(this);
    }
    ~ThreadIo() {
        std::lock_guard lock(ioMutex);
        Threads().erase(this); // requests of a thread that ends are dropped with it
        pending.clear();
        if (wakeFd >= 0)
            close(wakeFd);
    }
    void Wake() const {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = write(wakeFd, &one, sizeof one);
    }
};

ThreadIo& Mine() {
    thread_local ThreadIo io;
    return io;
}

// ioMutex held. Records the result and queues the completion routine to the issuing thread.
void Complete(Request& r, DWORD error, DWORD bytes) {
    r.ovl->Internal = error;
    r.ovl->InternalHigh = bytes;
    if (r.routine)
        r.owner->apcs.push_back({r.routine, error, bytes, r.ovl});
    r.owner->Wake();
}

// ioMutex held. Completes (and drops) the owner's requests on `handle`.
void AbortRequests(ThreadIo& io, HANDLE handle) {
    auto& list = io.pending;
    for (auto it = list.begin(); it != list.end();) {
        if ((*it)->handle == handle) {
            Complete(**it, ERROR_OPERATION_ABORTED, 0);
            it = list.erase(it);
        } else {
            ++it;
        }
    }
}

// ioMutex held. Tries the read of one of the calling thread's requests; true when it completed.
bool TryComplete(ThreadIo& io, Request* r) {
    auto it = std::find_if(io.pending.begin(), io.pending.end(), [&](const auto& p) { return p.get() == r; });
    if (it == io.pending.end())
        return false;
    DWORD bytes = 0;
    const DWORD status = ReadReport(*r->file, r->buffer, r->size, bytes);
    if (status == ERROR_IO_PENDING)
        return false;
    Complete(*r, status, bytes);
    io.pending.erase(it);
    return true;
}

int RemainingMs(std::chrono::steady_clock::time_point deadline, bool infinite) {
    if (infinite)
        return -1;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
            .count();
    return left < 0 ? 0 : static_cast<int>(std::min<long long>(left, 0x7FFFFFFF));
}

} // namespace

HANDLE NewHandleValue() {
    return nextHandle.fetch_add(4);
}

FileObject::~FileObject() {
    if (fd >= 0)
        close(fd);
}

std::shared_ptr<FileObject> LookupFile(HANDLE handle) {
    std::lock_guard lock(filesMutex);
    auto it = Files().find(handle);
    return it == Files().end() ? nullptr : it->second;
}

void FlushInput(FileObject& file) {
    if (!file.canRead || file.fd < 0)
        return;
    std::uint8_t scratch[4096];
    for (int i = 0; i < 4096; ++i) {
        const ssize_t n = file.socket ? recv(file.fd, scratch, sizeof scratch, MSG_DONTWAIT)
                                      : read(file.fd, scratch, sizeof scratch);
        if (n <= 0)
            break;
    }
}

std::string NodeIdentity(const std::string& devPath) {
    if (NodeSource* source = nodeSource.load())
        if (auto identity = source->Identity(devPath))
            return *identity;
    struct stat st {};
    if (lstat(devPath.c_str(), &st) != 0)
        return {};
    const bool rw = access(devPath.c_str(), R_OK | W_OK) == 0;
    return std::to_string(st.st_ino) + '|' + std::to_string(st.st_rdev) + '|' + (rw ? "rw" : "-");
}

void SetNodeSource(NodeSource* source) {
    nodeSource.store(source);
}

} // namespace kv::sys::hid

namespace kv::sys {

using hid::LookupFile;

HANDLE CreateFileA(const char* path, DWORD access, DWORD share, void* security, DWORD disposition,
                   DWORD flags, HANDLE templateFile) {
    (void)share;
    (void)security;
    (void)templateFile;
    if (!path || !*path) {
        lastError = ERROR_FILE_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    if (disposition != OPEN_EXISTING) { // devices are never created
        lastError = ERROR_INVALID_PARAMETER;
        return INVALID_HANDLE_VALUE;
    }
    return hid::Open(path, access, flags);
}

HANDLE CreateFileW(const WCHAR* path, DWORD access, DWORD share, void* security, DWORD disposition,
                   DWORD flags, HANDLE templateFile) {
    const std::string narrow = path ? hid::FromUtf16(path) : std::string();
    return CreateFileA(narrow.c_str(), access, share, security, disposition, flags, templateFile);
}

BOOL CloseHandle(HANDLE handle) {
    std::shared_ptr<hid::FileObject> file;
    {
        std::lock_guard lock(hid::filesMutex);
        auto it = hid::Files().find(handle);
        if (it == hid::Files().end()) {
            lastError = ERROR_INVALID_HANDLE;
            return FALSE;
        }
        file = std::move(it->second);
        hid::Files().erase(it);
    }
    // Requests still pending on the handle end now, without bytes, on whichever thread made them.
    std::lock_guard lock(hid::ioMutex);
    for (hid::ThreadIo* io : hid::Threads())
        hid::AbortRequests(*io, handle);
    return TRUE;
}

BOOL ReadFile(HANDLE handle, void* buffer, DWORD size, DWORD* bytesRead, OVERLAPPED* ovl) {
    if (bytesRead)
        *bytesRead = 0;
    auto file = LookupFile(handle);
    if (!file)
        return Fail(ERROR_INVALID_HANDLE), FALSE;
    if (ovl)
        return Fail(ERROR_INVALID_PARAMETER), FALSE;
    for (;;) {
        DWORD bytes = 0;
        const DWORD status = hid::ReadReport(*file, static_cast<std::uint8_t*>(buffer), size, bytes);
        if (status == ERROR_SUCCESS) {
            if (bytesRead)
                *bytesRead = bytes;
            lastError = ERROR_SUCCESS;
            return TRUE;
        }
        if (status != ERROR_IO_PENDING)
            return Fail(status), FALSE;
        if (!LookupFile(handle)) // closed meanwhile
            return Fail(ERROR_OPERATION_ABORTED), FALSE;
        pollfd p{file->fd, POLLIN, 0};
        poll(&p, 1, 100);
    }
}

BOOL WriteFile(HANDLE handle, const void* buffer, DWORD size, DWORD* bytesWritten, OVERLAPPED* ovl) {
    if (bytesWritten)
        *bytesWritten = 0;
    auto file = LookupFile(handle);
    if (!file)
        return Fail(ERROR_INVALID_HANDLE), FALSE;
    if (ovl)
        return Fail(ERROR_INVALID_PARAMETER), FALSE;
    DWORD bytes = 0;
    const DWORD status = hid::WriteReport(*file, static_cast<const std::uint8_t*>(buffer), size, bytes);
    if (status != ERROR_SUCCESS)
        return Fail(status), FALSE;
    if (bytesWritten)
        *bytesWritten = bytes;
    lastError = ERROR_SUCCESS;
    return TRUE;
}

BOOL ReadFileEx(HANDLE handle, void* buffer, DWORD size, OVERLAPPED* ovl,
                LPOVERLAPPED_COMPLETION_ROUTINE routine) {
    auto file = LookupFile(handle);
    if (!file)
        return Fail(ERROR_INVALID_HANDLE), FALSE;
    if (!ovl)
        return Fail(ERROR_INVALID_PARAMETER), FALSE;
    if (!file->canRead || file->fd < 0)
        return Fail(ERROR_ACCESS_DENIED), FALSE;
    if (!buffer || size <= (file->numbered ? 0u : 1u))
        return Fail(ERROR_INVALID_USER_BUFFER), FALSE;
    hid::ThreadIo& me = hid::Mine();
    auto request = std::make_unique<hid::Request>();
    request->handle = handle;
    request->file = std::move(file);
    request->buffer = static_cast<std::uint8_t*>(buffer);
    request->size = size;
    request->ovl = ovl;
    request->routine = routine;
    request->owner = &me;
    std::lock_guard lock(hid::ioMutex);
    ovl->Internal = STATUS_PENDING;
    ovl->InternalHigh = 0;
    me.pending.push_back(std::move(request));
    lastError = ERROR_SUCCESS;
    return TRUE;
}

BOOL WriteFileEx(HANDLE handle, const void* buffer, DWORD size, OVERLAPPED* ovl,
                 LPOVERLAPPED_COMPLETION_ROUTINE routine) {
    auto file = LookupFile(handle);
    if (!file)
        return Fail(ERROR_INVALID_HANDLE), FALSE;
    if (!ovl)
        return Fail(ERROR_INVALID_PARAMETER), FALSE;
    // Reports go out at once; the completion still waits for the thread's next alertable sleep.
    DWORD bytes = 0;
    const DWORD status = hid::WriteReport(*file, static_cast<const std::uint8_t*>(buffer), size, bytes);
    if (status != ERROR_SUCCESS)
        return Fail(status), FALSE;
    hid::ThreadIo& me = hid::Mine();
    std::lock_guard lock(hid::ioMutex);
    ovl->Internal = ERROR_SUCCESS;
    ovl->InternalHigh = bytes;
    if (routine)
        me.apcs.push_back({routine, ERROR_SUCCESS, bytes, ovl});
    lastError = ERROR_SUCCESS;
    return TRUE;
}

BOOL GetOverlappedResult(HANDLE handle, OVERLAPPED* ovl, DWORD* bytes, BOOL wait) {
    (void)handle;
    if (bytes)
        *bytes = 0;
    if (!ovl)
        return Fail(ERROR_INVALID_PARAMETER), FALSE;
    hid::ThreadIo& me = hid::Mine();
    std::unique_lock lock(hid::ioMutex);
    while (ovl->Internal == STATUS_PENDING) {
        if (!wait)
            return Fail(ERROR_IO_INCOMPLETE), FALSE;
        auto it =
            std::find_if(me.pending.begin(), me.pending.end(), [&](const auto& r) { return r->ovl == ovl; });
        if (it == me.pending.end()) { // another thread's request: it completes there
            lock.unlock();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            lock.lock();
            continue;
        }
        hid::Request* r = it->get();
        pollfd p[2] = {{r->file->fd, POLLIN, 0}, {me.wakeFd, POLLIN, 0}};
        lock.unlock();
        poll(p, 2, 100);
        lock.lock();
        hid::TryComplete(me, r);
    }
    if (bytes)
        *bytes = static_cast<DWORD>(ovl->InternalHigh);
    if (ovl->Internal != ERROR_SUCCESS)
        return Fail(static_cast<DWORD>(ovl->Internal)), FALSE;
    lastError = ERROR_SUCCESS;
    return TRUE;
}

BOOL CancelIo(HANDLE handle) {
    if (!LookupFile(handle))
        return Fail(ERROR_INVALID_HANDLE), FALSE;
    hid::ThreadIo& me = hid::Mine();
    std::lock_guard lock(hid::ioMutex);
    hid::AbortRequests(me, handle);
    lastError = ERROR_SUCCESS;
    return TRUE;
}

DWORD SleepEx(DWORD milliseconds, BOOL alertable) {
    const bool infinite = milliseconds == 0xFFFFFFFFu;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(infinite ? 0 : milliseconds);
    if (!alertable) {
        std::this_thread::sleep_for(std::chrono::milliseconds(infinite ? 0x7FFFFFFF : milliseconds));
        return 0;
    }
    hid::ThreadIo& me = hid::Mine();
    bool first = true;
    for (;;) {
        std::deque<hid::Apc> run;
        std::vector<pollfd> fds;
        std::vector<hid::Request*> requests;
        {
            std::lock_guard lock(hid::ioMutex);
            run.swap(me.apcs);
            if (run.empty())
                for (const auto& r : me.pending) {
                    fds.push_back({r->file->fd, POLLIN, 0});
                    requests.push_back(r.get());
                }
        }
        if (!run.empty()) {
            for (const hid::Apc& apc : run)
                apc.routine(apc.error, apc.bytes, apc.ovl);
            return WAIT_IO_COMPLETION;
        }
        const int timeout = hid::RemainingMs(deadline, infinite);
        if (!first && timeout == 0)
            return 0;
        first = false;
        fds.push_back({me.wakeFd, POLLIN, 0});
        const int ready = poll(fds.data(), fds.size(), timeout);
        if (ready <= 0)
            continue;
        if (fds.back().revents) {
            std::uint64_t value = 0;
            [[maybe_unused]] ssize_t n = read(me.wakeFd, &value, sizeof value);
        }
        std::lock_guard lock(hid::ioMutex);
        for (std::size_t i = 0; i < requests.size(); ++i)
            if (fds[i].revents)
                hid::TryComplete(me, requests[i]);
    }
}

BOOL DeviceIoControl(HANDLE handle, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                     DWORD* bytesReturned, OVERLAPPED* ovl) {
    (void)code;
    (void)in;
    (void)inSize;
    (void)out;
    (void)outSize;
    (void)ovl;
    if (bytesReturned)
        *bytesReturned = 0;
    if (!LookupFile(handle))
        return Fail(ERROR_INVALID_HANDLE), FALSE;
    return Fail(ERROR_NOT_SUPPORTED), FALSE;
}

BOOL GetVersionExW(OSVERSIONINFOW* info) {
    if (!info || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOW))
        return Fail(ERROR_INVALID_PARAMETER), FALSE;
    info->dwMajorVersion = 5;
    info->dwMinorVersion = 1;
    info->dwBuildNumber = 2600;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::fill(std::begin(info->szCSDVersion), std::end(info->szCSDVersion), u'\0');
    return TRUE;
}

int GetLocaleInfoW(LCID locale, LCTYPE type, WCHAR* buffer, int size) {
    static const std::map<LCID, const char16_t*> names = {
        {0x0404, u"Chinese (Taiwan)"}, {0x0407, u"German (Germany)"}, {0x0409, u"English (United States)"},
        {0x040C, u"French (France)"},  {0x0410, u"Italian (Italy)"},  {0x0411, u"Japanese (Japan)"},
        {0x0412, u"Korean (Korea)"},   {0x0804, u"Chinese (PRC)"},    {0x0809, u"English (United Kingdom)"},
        {0x0C0A, u"Spanish (Spain)"},
    };
    auto it = names.find(locale & 0xFFFF);
    if (type != LOCALE_SLANGUAGE || it == names.end())
        return Fail(ERROR_INVALID_PARAMETER), 0;
    const std::u16string name = it->second;
    const int needed = static_cast<int>(name.size()) + 1;
    if (size == 0)
        return needed;
    if (!buffer || size < needed)
        return Fail(ERROR_INSUFFICIENT_BUFFER), 0;
    std::copy(name.begin(), name.end(), buffer);
    buffer[name.size()] = u'\0';
    return needed;
}

} // namespace kv::sys

namespace kv::sys::hid {

std::vector<ModuleExport> Kernel32ModuleExports() {
    return {
        {"CreateFileW", ExportAddress(&CreateFileW)},
        {"CreateFileA", ExportAddress(&CreateFileA)},
        {"CloseHandle", ExportAddress(&CloseHandle)},
        {"ReadFile", ExportAddress(&ReadFile)},
        {"WriteFile", ExportAddress(&WriteFile)},
        {"ReadFileEx", ExportAddress(&ReadFileEx)},
        {"WriteFileEx", ExportAddress(&WriteFileEx)},
        {"GetOverlappedResult", ExportAddress(&GetOverlappedResult)},
        {"CancelIo", ExportAddress(&CancelIo)},
        {"SleepEx", ExportAddress(&SleepEx)},
        {"DeviceIoControl", ExportAddress(&DeviceIoControl)},
        {"GetLastError", ExportAddress(&GetLastError)},
        {"SetLastError", ExportAddress(&SetLastError)},
        {"GetVersionExW", ExportAddress(&GetVersionExW)},
        {"GetLocaleInfoW", ExportAddress(&GetLocaleInfoW)},
    };
}

} // namespace kv::sys::hid
