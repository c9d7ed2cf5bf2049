#pragma once
// Entry points that feed arbitrary bytes to the parsers of what the unit and PC files send us. The
// libFuzzer programs in this folder call them, and the regular tests replay them on random input
// under the sanitizers.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "link/LCmd.h"
#include "link/LUnitControl.h"
#include "link/PresetFiles.h"
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

} // namespace kvfuzz
