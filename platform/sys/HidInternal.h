#pragma once
// Shared inside the HID layer: discovered nodes, open files, and the export tables of the three
// libraries. Not for callers outside platform/sys (tests excepted).

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sys/HidApi.h"
#include "platform/sys/HidDescriptor.h"
#include "platform/sys/Modules.h"

namespace kv::sys::hid {

// What sysfs says about one hidraw node.
struct NodeInfo {
    std::string name;    // "hidrawN"
    std::string devPath; // <root>/dev/hidrawN
    std::uint32_t instance = 0;
    std::uint16_t bus = 0;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t version = 0;
    std::string manufacturer;
    std::string product;
    std::string serial;
    std::string hidName;  // HID_NAME
    std::string phys;     // HID_PHYS
    std::string modalias; // MODALIAS
    std::vector<std::uint8_t> descriptor;
};

// What makes a device node the same node: empty when there is none. Includes whether it can be opened
// for reports, so that a node whose access changes counts as a new device.
std::string NodeIdentity(const std::string& devPath);

std::string JoinRoot(const std::string& relative); // <root> + relative ("/dev/hidraw0")
// Reads the node's sysfs entries; false when the node has no usable sysfs entry.
bool ReadNode(const std::string& name, NodeInfo& out);
// Present nodes (sysfs entry and device node), ordered by number.
std::vector<NodeInfo> ScanNodes();

struct FileObject {
    ~FileObject();
    int fd = -1;             // -1: opened for queries only
    bool socket = false;     // a fake node (one end of a socket pair)
    bool realDevice = false; // a character device: the hidraw ioctls apply
    bool canRead = false;
    bool canWrite = false;
    bool identified = false;             // info was read
    bool numbered = false;               // reports carry their ID on the wire
    std::atomic<ULONG> inputBuffers{32}; // set and read from any thread
    NodeInfo info;
};

// Records the error for the caller's GetLastError and gives the services' failure value (FALSE, and
// 0 for the BOOLEAN ones).
inline BOOL FailB(DWORD code) {
    SetLastErrorCode(code);
    return FALSE;
}

// Handle values for files and device sets alike: never -1 or 0, never reused.
HANDLE NewHandleValue();
std::shared_ptr<FileObject> LookupFile(HANDLE handle);
// Drops whatever input waits on the file.
void FlushInput(FileObject& file);

std::vector<ModuleExport> HidModuleExports();
std::vector<ModuleExport> SetupApiModuleExports();
std::vector<ModuleExport> Kernel32ModuleExports();

// UTF-8 to UTF-16 and back (invalid sequences become U+FFFD).
std::u16string ToUtf16(const std::string& text);
std::string FromUtf16(const std::u16string& text);

// Stand-ins for device nodes, consulted before the file system when one is set (the tests' fake devices:
// a socket behind a placeholder file). Set once, before any device is opened, and never unset.
class NodeSource {
public:
    struct Opened {
        int fd = -1;   // for reports: a descriptor the file takes over; -1 for a query-only open
        int error = 0; // errno value when the node may not be opened
    };
    virtual ~NodeSource() = default;
    // std::nullopt: `path` is not a stand-in.
    virtual std::optional<Opened> Open(const std::string& path, bool forReports) = 0;
    // What makes the stand-in the same device (NodeIdentity); std::nullopt: not a stand-in.
    virtual std::optional<std::string> Identity(const std::string& path) = 0;
};
void SetNodeSource(NodeSource* source);

// Called by SetHidRoot: the notification follows the new root.
void RootChanged();

} // namespace kv::sys::hid
