// Discovery of hidraw nodes from sysfs, without opening any device.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <limits.h>
#include <map>
#include <mutex>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/sys/HidInternal.h"

namespace kv::sys {

namespace {

std::mutex rootMutex;
std::string& Root() {
    static std::string* root = new std::string("/");
    return *root;
}

} // namespace

void SetHidRoot(std::string_view root) {
    {
        std::lock_guard lock(rootMutex);
        std::string r(root.empty() ? std::string_view("/") : root);
        while (r.size() > 1 && r.back() == '/')
            r.pop_back();
        Root() = r;
    }
    hid::RootChanged();
}

std::string HidRoot() {
    std::lock_guard lock(rootMutex);
    return Root();
}

std::u16string Utf8ToWide(const std::string& text) {
    return hid::ToUtf16(text);
}

std::string WideToUtf8(const std::u16string& text) {
    return hid::FromUtf16(text);
}

} // namespace kv::sys

namespace kv::sys::hid {

namespace {

bool ReadFileText(const std::string& path, std::string& out, std::size_t limit = 65536) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string data;
    data.resize(limit);
    in.read(data.data(), static_cast<std::streamsize>(limit));
    data.resize(static_cast<std::size_t>(in.gcount()));
    out = std::move(data);
    return true;
}

std::string ReadLine(const std::string& path) {
    std::string text;
    if (!ReadFileText(path, text, 4096))
        return {};
    const auto end = text.find('\n');
    if (end != std::string::npos)
        text.resize(end);
    return text;
}

bool IsDir(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

std::string RealPath(const std::string& path) {
    char buf[PATH_MAX];
    if (!realpath(path.c_str(), buf))
        return {};
    return buf;
}

unsigned long ParseHex(const std::string& text) {
    return std::strtoul(text.c_str(), nullptr, 16);
}

int NodeNumber(const std::string& name) {
    if (name.size() <= 6 || name.compare(0, 6, "hidraw") != 0)
        return -1;
    int n = 0;
    for (std::size_t i = 6; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9' || n > 100000)
            return -1;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

// Instance numbers: one per node as long as it stays the same node with the same access. A replugged
// device gets a new node; a node whose permissions change (the session's access arriving after the
// node) counts as new, so that a device first seen without access is taken again once it can be used.
std::uint32_t InstanceOf(const std::string& key) {
    static std::mutex m;
    static auto* numbers = new std::map<std::string, std::uint32_t>;
    static std::uint32_t next = 1;
    std::lock_guard lock(m);
    auto [it, added] = numbers->emplace(key, next);
    if (added)
        ++next;
    return it->second;
}

} // namespace

std::string JoinRoot(const std::string& relative) {
    const std::string root = HidRoot();
    return root == "/" ? relative : root + relative;
}

bool ReadNode(const std::string& name, NodeInfo& out) {
    if (NodeNumber(name) < 0)
        return false;
    const std::string classPath = JoinRoot("/sys/class/hidraw/" + name);
    std::string nodeDir = RealPath(classPath);
    if (nodeDir.empty() || !IsDir(nodeDir))
        return false;
    std::string hidDir = RealPath(nodeDir + "/device");
    if (hidDir.empty())
        hidDir = RealPath(nodeDir + "/../..");
    std::string uevent;
    if (hidDir.empty() || !ReadFileText(hidDir + "/uevent", uevent))
        return false;

    NodeInfo info;
    info.name = name;
    info.devPath = JoinRoot("/dev/" + name);
    std::istringstream lines(uevent);
    std::string line;
    bool haveId = false;
    while (std::getline(lines, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "HID_ID") { // bus:vendor:product in hex
            unsigned bus = 0, vid = 0, pid = 0;
            if (std::sscanf(value.c_str(), "%x:%x:%x", &bus, &vid, &pid) == 3) {
                info.bus = static_cast<std::uint16_t>(bus);
                info.vendorId = static_cast<std::uint16_t>(vid);
                info.productId = static_cast<std::uint16_t>(pid);
                haveId = true;
            }
        } else if (key == "HID_NAME") {
            info.hidName = value;
        } else if (key == "HID_PHYS") {
            info.phys = value;
        } else if (key == "HID_UNIQ") {
            info.serial = value;
        } else if (key == "MODALIAS") {
            info.modalias = value;
        }
    }
    if (!haveId)
        return false;
    std::string descriptor;
    if (ReadFileText(hidDir + "/report_descriptor", descriptor))
        info.descriptor.assign(descriptor.begin(), descriptor.end());

    // The USB device above the HID device holds the strings; other buses have only the HID name.
    const std::string sysTop = RealPath(JoinRoot("/sys"));
    std::string dir = hidDir;
    bool usb = false;
    for (int depth = 0; depth < 16 && !dir.empty() && dir.size() > sysTop.size(); ++depth) {
        if (Exists(dir + "/idVendor")) {
            usb = true;
            break;
        }
        dir.resize(dir.rfind('/'));
    }
    if (usb) {
        info.manufacturer = ReadLine(dir + "/manufacturer");
        info.product = ReadLine(dir + "/product");
        const std::string serial = ReadLine(dir + "/serial");
        if (!serial.empty())
            info.serial = serial;
        info.version = static_cast<std::uint16_t>(ParseHex(ReadLine(dir + "/bcdDevice")));
    } else {
        info.product = info.hidName;
    }

    struct stat nodeSt {};
    const std::string node = NodeIdentity(info.devPath);
    if (stat(nodeDir.c_str(), &nodeSt) != 0 || node.empty())
        return false;
    info.instance = InstanceOf(name + '|' + std::to_string(nodeSt.st_ino) + '|' + node);
    out = std::move(info);
    return true;
}

std::vector<NodeInfo> ScanNodes() {
    std::vector<std::pair<int, std::string>> names;
    if (DIR* d = opendir(JoinRoot("/sys/class/hidraw").c_str())) {
        while (dirent* e = readdir(d)) {
            const int n = NodeNumber(e->d_name);
            if (n >= 0)
                names.emplace_back(n, e->d_name);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    std::vector<NodeInfo> nodes;
    for (const auto& [n, name] : names) {
        NodeInfo info;
        if (ReadNode(name, info))
            nodes.push_back(std::move(info));
    }
    return nodes;
}

std::u16string ToUtf16(const std::string& text) {
    std::u16string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::uint32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c >> 5) == 6 || (c >> 4) == 14 || (c >> 3) == 30) {
            len = (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
            std::uint32_t v = c & (0x3F >> (len - 1));
            bool ok = i + len <= text.size();
            for (std::size_t k = 1; ok && k < len; ++k) {
                const auto cc = static_cast<unsigned char>(text[i + k]);
                ok = (cc >> 6) == 2;
                v = (v << 6) | (cc & 0x3F);
            }
            static constexpr std::uint32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
            if (ok && v >= kMin[len] && v <= 0x10FFFF && (v < 0xD800 || v > 0xDFFF))
                cp = v;
            else
                len = 1;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return out;
}

std::string FromUtf16(const std::u16string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

} // namespace kv::sys::hid
