#pragma once
// Entry points that feed arbitrary bytes to the parsers of what the unit and PC files send us. The
// libFuzzer programs in this folder call them, and the regular tests replay them on random input
// under the sanitizers.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "link/LCmd.h"
#include "link/LLinkProc.h"
#include "link/LUnitControl.h"
#include "link/PresetFiles.h"
#include "platform/sys/HidDescriptor.h"
#include "tests/link/FakeHost.h"

namespace kvfuzz {

// A unit file of any content: either refused, or parsed with every used record in its own slot.
inline void UnitFile(const uint8_t* data, size_t size) {
    UnitDownload d;
    if (ParseUnitFile(std::string_view(reinterpret_cast<const char*>(data), size), d)) {
        for (int r = 1; r <= 20; ++r) {
            for (int b = 0; b < 15; ++b)
                (void)d.Block(r, b);
            if (d.IsUsed(r) && d.records[static_cast<size_t>(r - 1)][0] != r)
                __builtin_trap();
        }
    }
}

// A received frame (the assemblers deliver 10 02 ... of length byte + 8; anything else must not
// crash either), then its payload as every kind of reply the model stores.
inline void Reply(const uint8_t* data, size_t size) {
    BSTM frame(data, data + size);
    LCmd reply(frame);
    const BSTM& p = reply.Payload();
    if (p.size() > size)
        __builtin_trap();
    FakeHost host;
    LUnitControl model(host);
    model.StorePresetFlags(p);
    model.StoreCurrentPresetName(p);
    model.StoreUnitInfo(p);
    model.DecodeDump(p);
    model.StorePresetDump(size % 22, p); // slots outside 1..20 included
    model.StorePresetNameInDialogs(static_cast<int>(size % 23), p);
}

// A received byte stream, cut by the assembler of every transport. The first byte chooses where the
// link switches from 64-byte blocks to frames (0: framed from the start, as the serial link is); the
// switch falls on a block boundary, as whole reports arrive before it. Every delivered frame starts
// with 10 02 and is exactly its length byte + 8 long; every block is 64 bytes.
inline void Assembler(const uint8_t* data, size_t size) {
    if (size == 0)
        return;
    const size_t switchAt = 1 + static_cast<size_t>(data[0] % 4) * 64;
    LFrameAssembler rx;
    for (size_t i = 1; i < size; ++i) {
        const bool framed = data[0] % 4 == 0 || i >= switchAt;
        if (!rx.Push(data[i], framed))
            continue;
        const BSTM& f = rx.Frame();
        if (!framed) {
            if (f.size() != 64)
                __builtin_trap();
            continue;
        }
        if (f.size() < 5 || f[0] != 0x10 || f[1] != 0x02 || f[4] == 0 || f.size() != f[4] + kFrameOverhead)
            __builtin_trap();
        LCmd reply(f);
        if (reply.Payload().size() > f.size())
            __builtin_trap();
    }
}

// A report descriptor of any content: either refused, or parsed into collections that nest properly and
// report lengths that hold every item.
inline void ReportDescriptor(const uint8_t* data, size_t size) {
    kv::sys::HidReportInfo info;
    if (!kv::sys::ParseReportDescriptor(data, size, info))
        return;
    for (size_t i = 0; i < info.collections.size(); ++i) {
        if (info.collections[i].parent >= static_cast<int>(i))
            __builtin_trap();
    }
    const uint16_t lengths[3] = {info.inputLength, info.outputLength, info.featureLength};
    for (const auto& item : info.items) {
        if (item.kind < 0 || item.kind > 2 || (!info.numbered && item.reportId != 0))
            __builtin_trap();
        const uint64_t bytes = (uint64_t{item.bitSize} * item.count + 7) / 8 + 1;
        if (lengths[item.kind] < bytes)
            __builtin_trap();
    }
}

} // namespace kvfuzz
