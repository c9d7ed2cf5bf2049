#pragma once
// Report descriptor parser: what the HID services tell about a device's reports, taken from the
// descriptor the kernel exports in sysfs.
//
// Lengths count the report ID byte: for each kind (input, output, feature) the longest report of that
// kind in bytes, plus one (the ID, or the 0 put in front when the device has no numbered reports); 0
// when the device has no report of that kind. The parser is as strict as the kernel's (report ID 0,
// unbalanced collections, a Pop without Push, truncated items fail), and bounded: no report may exceed
// what a 16-bit length holds.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kv::sys {

struct HidMainItem {
    int kind = 0; // 0 input, 1 output, 2 feature
    std::uint8_t reportId = 0;
    std::uint32_t bitSize = 0;
    std::uint32_t count = 0;
    bool constant = false;
    bool variable = false;
    std::uint16_t usagePage = 0;
    std::uint32_t usages = 0; // usages (or the usage range) the item names
};

struct HidCollection {
    std::uint16_t usage = 0;
    std::uint16_t usagePage = 0;
    std::uint8_t type = 0; // 0 physical, 1 application, 2 logical, ...
    int parent = -1;       // index of the enclosing collection, -1 for a top-level one
};

struct HidReportInfo {
    bool numbered = false; // the device uses report IDs
    std::uint16_t inputLength = 0;
    std::uint16_t outputLength = 0;
    std::uint16_t featureLength = 0;
    std::vector<HidMainItem> items;
    std::vector<HidCollection> collections; // in the order they open
};

// True and `out` filled when the descriptor is well formed.
bool ParseReportDescriptor(const std::uint8_t* data, std::size_t size, HidReportInfo& out);

} // namespace kv::sys
