// Fake HID devices under a fake root: the sysfs entries a kernel makes for a USB HID device, and a node
// backed by a socket. The registry of such nodes stands in for the device nodes through the HID layer's
// node-source seam; the product has no fake of its own.

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sys/socket.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "tests/support/HidFake.h"

#include "platform/sys/HidInternal.h"

namespace kv::sys {

namespace {

namespace fs = std::filesystem;

std::string Hex4(unsigned v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04x", v & 0xFFFF);
    return buf;
}

std::string Hex8Upper(unsigned v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", v);
    return buf;
}

bool WriteText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(out);
}

fs::path UsbDir(int number) {
    const std::string usb = "usb" + std::to_string(number + 1);
    return fs::path(hid::JoinRoot("/sys/devices/fake")) / usb / (std::to_string(number + 1) + "-1");
}

struct FakeNode {
    int fd = -1;
    FakeNodeAccess access = FakeNodeAccess::ReadWrite;
    std::uint64_t generation = 0;
};

void CloseFakeFd(int fd) {
    if (fd < 0)
        return;
    shutdown(fd, SHUT_RDWR); // every open handle on it sees the device gone
    close(fd);
}

class FakeNodes final : public hid::NodeSource {
public:
    std::optional<Opened> Open(const std::string& path, bool forReports) override {
        std::lock_guard lock(mutex);
        auto it = nodes.find(path);
        if (it == nodes.end())
            return std::nullopt;
        const FakeNode& node = it->second;
        Opened opened;
        if (node.access == FakeNodeAccess::None)
            opened.error = EACCES;
        else if (forReports) {
            if (node.access != FakeNodeAccess::ReadWrite || node.fd < 0)
                opened.error = EACCES;
            else {
                opened.fd = fcntl(node.fd, F_DUPFD_CLOEXEC, 0);
                if (opened.fd < 0)
                    opened.error = errno;
            }
        }
        return opened;
    }

    std::optional<std::string> Identity(const std::string& path) override {
        std::lock_guard lock(mutex);
        auto it = nodes.find(path);
        if (it == nodes.end())
            return std::nullopt;
        return "fake#" + std::to_string(it->second.generation) + '#' +
               (it->second.access == FakeNodeAccess::ReadWrite && it->second.fd >= 0 ? "rw" : "-");
    }

    std::mutex mutex;
    std::map<std::string, FakeNode> nodes;
    std::uint64_t generation = 0;
};

// Lives as long as the process: the layer may consult it from any thread until exit.
FakeNodes& Nodes() {
    static auto* fakes = [] {
        auto* created = new FakeNodes;
        hid::SetNodeSource(created);
        return created;
    }();
    return *fakes;
}

} // namespace

void RegisterFakeNode(const std::string& path, int fd, FakeNodeAccess access) {
    {
        FakeNodes& fakes = Nodes();
        std::lock_guard lock(fakes.mutex);
        auto& node = fakes.nodes[path];
        if (node.fd >= 0 && node.fd != fd)
            CloseFakeFd(node.fd);
        node.fd = fd;
        node.access = access;
        node.generation = ++fakes.generation;
    }
    const int placeholder = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (placeholder >= 0)
        close(placeholder);
}

void UnregisterFakeNode(const std::string& path) {
    unlink(path.c_str());
    FakeNodes& fakes = Nodes();
    std::lock_guard lock(fakes.mutex);
    auto it = fakes.nodes.find(path);
    if (it == fakes.nodes.end())
        return;
    CloseFakeFd(it->second.fd);
    fakes.nodes.erase(it);
}

bool SetFakeNodeAccess(const std::string& path, FakeNodeAccess access) {
    {
        FakeNodes& fakes = Nodes();
        std::lock_guard lock(fakes.mutex);
        auto it = fakes.nodes.find(path);
        if (it == fakes.nodes.end())
            return false;
        it->second.access = access;
    }
    // A change of permissions on the node, as when the session gets its access: watchers see it.
    chmod(path.c_str(), access == FakeNodeAccess::ReadWrite ? 0660 : 0600);
    return true;
}

bool AddFakeHidDevice(const FakeHidDevice& device, int fd) {
    const std::string name = "hidraw" + std::to_string(device.number);
    const std::string hidName = Hex4(device.bus) + ":" + Hex4(device.vendorId) + ":" +
                                Hex4(device.productId) + "." + Hex4(static_cast<unsigned>(device.number + 1));
    std::error_code ec;
    const fs::path usbDir = UsbDir(device.number);
    const fs::path hidDir = usbDir / (std::to_string(device.number + 1) + "-1:1.0") / hidName;
    const fs::path nodeDir = hidDir / "hidraw" / name;
    const fs::path classDir = hid::JoinRoot("/sys/class/hidraw");
    fs::create_directories(nodeDir, ec);
    fs::create_directories(classDir, ec);
    fs::create_directories(hid::JoinRoot("/dev"), ec);
    if (ec)
        return false;
    char id[64];
    std::snprintf(id, sizeof id, "%04X:%s:%s", device.bus, Hex8Upper(device.vendorId).c_str(),
                  Hex8Upper(device.productId).c_str());
    std::string hidNameText = device.manufacturer;
    if (!device.product.empty())
        hidNameText += (hidNameText.empty() ? "" : " ") + device.product;
    const std::string uevent = "DRIVER=hid-generic\nHID_ID=" + std::string(id) + "\nHID_NAME=" + hidNameText +
                               "\nHID_PHYS=usb-fake-" + std::to_string(device.number + 1) +
                               "/input0\nHID_UNIQ=" + device.serial + "\nMODALIAS=hid:b" + Hex4(device.bus) +
                               "g0001v" + Hex8Upper(device.vendorId) + "p" + Hex8Upper(device.productId) +
                               "\n";
    bool ok = WriteText(hidDir / "uevent", uevent) &&
              WriteText(hidDir / "report_descriptor",
                        std::string(device.reportDescriptor.begin(), device.reportDescriptor.end())) &&
              WriteText(usbDir / "idVendor", Hex4(device.vendorId) + "\n") &&
              WriteText(usbDir / "idProduct", Hex4(device.productId) + "\n") &&
              WriteText(usbDir / "bcdDevice", Hex4(device.version) + "\n");
    if (ok && !device.manufacturer.empty())
        ok = WriteText(usbDir / "manufacturer", device.manufacturer + "\n");
    if (ok && !device.product.empty())
        ok = WriteText(usbDir / "product", device.product + "\n");
    if (ok && !device.serial.empty())
        ok = WriteText(usbDir / "serial", device.serial + "\n");
    fs::create_directory_symlink(fs::relative(hidDir, nodeDir), nodeDir / "device", ec);
    fs::remove(classDir / name, ec);
    fs::create_directory_symlink(fs::relative(nodeDir, classDir), classDir / name, ec);
    if (!ok || ec)
        return false;
    RegisterFakeNode(hid::JoinRoot("/dev/" + name), fd, device.access);
    return true;
}

void RemoveFakeHidDevice(int number) {
    const std::string name = "hidraw" + std::to_string(number);
    UnregisterFakeNode(hid::JoinRoot("/dev/" + name));
    std::error_code ec;
    fs::remove(fs::path(hid::JoinRoot("/sys/class/hidraw")) / name, ec);
    fs::remove_all(UsbDir(number).parent_path(), ec);
}

std::vector<std::uint8_t> SimpleReportDescriptor(int inputBytes, int outputBytes, int featureBytes,
                                                 std::uint8_t reportId) {
    std::vector<std::uint8_t> d = {
        0x06, 0x00, 0xFF, // usage page (vendor defined 0xFF00)
        0x09, 0x01,       // usage 1
        0xA1, 0x01,       // collection (application)
    };
    if (reportId != 0)
        d.insert(d.end(), {0x85, reportId});
    d.insert(d.end(), {0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08}); // logical 0..255, 8-bit fields
    auto item = [&](int bytes, std::uint8_t usage, std::uint8_t mainTag) {
        if (bytes <= 0)
            return;
        d.insert(d.end(), {0x09, usage, 0x96, static_cast<std::uint8_t>(bytes & 0xFF),
                           static_cast<std::uint8_t>(bytes >> 8), mainTag, 0x02});
    };
    item(inputBytes, 0x02, 0x81);
    item(outputBytes, 0x03, 0x91);
    item(featureBytes, 0x04, 0xB1);
    d.push_back(0xC0);
    return d;
}

} // namespace kv::sys
