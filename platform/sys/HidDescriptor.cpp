#include "platform/sys/HidDescriptor.h"

#include <algorithm>
#include <map>
#include <utility>

namespace kv::sys {

namespace {

struct Globals {
    std::uint16_t usagePage = 0;
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint8_t reportId = 0;
};

struct Locals {
    std::vector<std::uint32_t> usages;
    bool haveMin = false, haveMax = false;
    std::uint32_t usageMin = 0, usageMax = 0;

    std::uint32_t Count() const {
        std::uint32_t n = static_cast<std::uint32_t>(usages.size());
        const std::uint32_t lo = usageMin & 0xFFFF, hi = usageMax & 0xFFFF;
        if (haveMin && haveMax && hi >= lo)
            n += hi - lo + 1;
        return n;
    }
};

// Limits as the kernel's parser has them, so that nothing it accepts is refused here.
constexpr std::uint32_t kMaxReportSize = 256;    // bits of one field
constexpr std::uint32_t kMaxReportCount = 12288; // fields of one item
constexpr std::size_t kMaxDepth = 256;           // nested collections and pushed states
constexpr std::uint64_t kMaxReportBits = (0xFFFFull - 1) * 8;

} // namespace

bool ParseReportDescriptor(const std::uint8_t* data, std::size_t size, HidReportInfo& out) {
    out = HidReportInfo{};
    Globals g;
    Locals l;
    std::vector<Globals> stack;
    std::vector<int> open; // open collections
    std::map<std::pair<int, std::uint8_t>, std::uint64_t> bits;

    std::size_t pos = 0;
    while (pos < size) {
        const std::uint8_t prefix = data[pos];
        if (prefix == 0xFE) { // long item: skipped, as no long item is defined
            if (size - pos < 3)
                return false;
            const std::size_t len = data[pos + 1];
            if (size - pos - 3 < len)
                return false;
            pos += 3 + len;
            continue;
        }
        static constexpr std::size_t kSizes[4] = {0, 1, 2, 4};
        const std::size_t len = kSizes[prefix & 3];
        if (size - pos - 1 < len)
            return false;
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < len; ++i)
            value |= static_cast<std::uint32_t>(data[pos + 1 + i]) << (8 * i);
        pos += 1 + len;
        const int type = (prefix >> 2) & 3;
        const int tag = prefix >> 4;

        if (type == 0) { // main
            switch (tag) {
            case 0x8:
            case 0x9:
            case 0xB: {
                HidMainItem item;
                item.kind = tag == 0x8 ? 0 : tag == 0x9 ? 1 : 2;
                item.reportId = g.reportId;
                item.bitSize = g.reportSize;
                item.count = g.reportCount;
                item.constant = (value & 1) != 0;
                item.variable = (value & 2) != 0;
                item.usagePage = g.usagePage;
                item.usages = l.Count();
                std::uint64_t& total = bits[{item.kind, item.reportId}];
                total += static_cast<std::uint64_t>(g.reportSize) * g.reportCount;
                if (total > kMaxReportBits)
                    return false;
                out.items.push_back(item);
                break;
            }
            case 0xA: {
                if (open.size() >= kMaxDepth)
                    return false;
                HidCollection c;
                const std::uint32_t usage =
                    l.usages.empty() ? (l.haveMin ? l.usageMin : 0) : l.usages.front();
                c.usage = static_cast<std::uint16_t>(usage & 0xFFFF);
                c.usagePage =
                    len == 4 || usage > 0xFFFF ? static_cast<std::uint16_t>(usage >> 16) : g.usagePage;
                c.type = static_cast<std::uint8_t>(value & 0xFF);
                c.parent = open.empty() ? -1 : open.back();
                open.push_back(static_cast<int>(out.collections.size()));
                out.collections.push_back(c);
                break;
            }
            case 0xC:
                if (open.empty())
                    return false;
                open.pop_back();
                break;
            default:
                return false;
            }
            l = Locals{};
        } else if (type == 1) { // global
            switch (tag) {
            case 0x0:
                g.usagePage = static_cast<std::uint16_t>(value);
                break;
            case 0x7:
                if (value > kMaxReportSize)
                    return false;
                g.reportSize = value;
                break;
            case 0x8:
                if (value == 0 || value > 255)
                    return false;
                g.reportId = static_cast<std::uint8_t>(value);
                out.numbered = true;
                break;
            case 0x9:
                if (value > kMaxReportCount)
                    return false;
                g.reportCount = value;
                break;
            case 0xA:
                if (stack.size() >= kMaxDepth)
                    return false;
                stack.push_back(g);
                break;
            case 0xB:
                if (stack.empty())
                    return false;
                g = stack.back();
                stack.pop_back();
                break;
            default: // logical and physical extents, units: not needed here
                break;
            }
        } else if (type == 2) { // local
            // A four-byte usage carries its own page in the upper half.
            const std::uint32_t usage =
                len == 4 ? value : (static_cast<std::uint32_t>(g.usagePage) << 16) | value;
            switch (tag) {
            case 0x0:
                if (l.usages.size() < kMaxReportCount)
                    l.usages.push_back(usage);
                break;
            case 0x1:
                l.haveMin = true;
                l.usageMin = usage;
                break;
            case 0x2:
                l.haveMax = true;
                l.usageMax = usage;
                break;
            default:
                break;
            }
        } else {
            return false; // reserved item type
        }
    }
    if (!open.empty())
        return false;

    for (const auto& [key, total] : bits) {
        const std::uint16_t len = static_cast<std::uint16_t>((total + 7) / 8 + 1);
        std::uint16_t& target = key.first == 0   ? out.inputLength
                                : key.first == 1 ? out.outputLength
                                                 : out.featureLength;
        target = std::max(target, len);
    }
    return true;
}

} // namespace kv::sys
