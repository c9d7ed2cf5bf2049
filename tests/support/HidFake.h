#pragma once
// Fake HID devices for tests, under a fake root (SetHidRoot).
//
// A fake device is what discovery finds on a real system: a sysfs tree
//   <root>/sys/devices/fake/usbN/N-1/idVendor, idProduct, bcdDevice, manufacturer, product, serial
//   <root>/sys/devices/fake/usbN/N-1/N-1:1.0/0003:VVVV:PPPP.NNNN/uevent, report_descriptor
//   <root>/sys/class/hidraw/hidrawN -> .../0003:VVVV:PPPP.NNNN/hidraw/hidrawN
// and a node <root>/dev/hidrawN: an empty file that stands for the device, backed by a registered
// descriptor (one end of a SOCK_SEQPACKET socket pair: each message is one report). Opening the node
// opens a duplicate of that descriptor. tests/sim/SimHid's TakeDeviceFd() fits directly (the layer
// takes the descriptor over; unregistering shuts the socket down, which every open handle sees as an
// unplug).
//
// Adding the node last and removing it first is what the kernel does, so a plug or unplug is seen by
// the device-change notification as one change.

#include <cstdint>
#include <string>
#include <vector>

namespace kv::sys {

enum class FakeNodeAccess {
    ReadWrite, // opens for reports and for queries
    QueryOnly, // opens only without access (attributes, strings); ERROR_ACCESS_DENIED otherwise
    None,      // cannot be opened at all (ERROR_ACCESS_DENIED)
};

// Backs the node at `path` (a full path, usually <root>/dev/hidrawN) with `fd`; the layer owns fd from
// now on. Creates the placeholder file when it does not exist. Replaces an earlier registration.
void RegisterFakeNode(const std::string& path, int fd, FakeNodeAccess access = FakeNodeAccess::ReadWrite);
// Removes the registration (closing its descriptor) and the placeholder file.
void UnregisterFakeNode(const std::string& path);
// Changes what a registered node lets through, and touches the node's permissions as a session's
// access arriving or leaving does; false when none is registered at `path`.
bool SetFakeNodeAccess(const std::string& path, FakeNodeAccess access);

struct FakeHidDevice {
    int number = 0; // N of hidrawN
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t version = 0;
    std::uint16_t bus = 3; // USB
    std::string manufacturer;
    std::string product;
    std::string serial;
    std::vector<std::uint8_t> reportDescriptor;
    FakeNodeAccess access = FakeNodeAccess::ReadWrite;
};

// Builds the sysfs entries under HidRoot() and then registers the node with `fd` (-1: a node that
// exists but has no descriptor behind it; opening it for reports fails). False when the tree cannot be
// written.
bool AddFakeHidDevice(const FakeHidDevice& device, int fd);
// Removes the node first, then the sysfs entries.
void RemoveFakeHidDevice(int number);

// A report descriptor: one top-level vendor collection with an input, an output and a feature report of
// the given data lengths (bytes, 0 = none), 8-bit fields; with reportId != 0 every report carries that
// ID. Enough for the device the program talks to and for most tests.
std::vector<std::uint8_t> SimpleReportDescriptor(int inputBytes, int outputBytes, int featureBytes,
                                                 std::uint8_t reportId = 0);

} // namespace kv::sys
