#pragma once
// Entry point that feeds arbitrary bytes to the rich-text reader and writer. A libFuzzer program can
// call it (it needs only kv_gui), and the regular tests replay it on random and mutated input under
// the sanitizers.

#include "platform/gui/RichEdit.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kvfuzz {

// Any bytes parse; the document written back parses again to the same text.
inline void RtfReader(const uint8_t* data, size_t size) {
    const kv::TRtfDocument doc = kv::ParseRtf(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const auto& p : doc.paragraphs)
        for (const auto& r : p.runs)
            if (r.text.empty())
                __builtin_trap();
    const kv::TRtfDocument again = kv::ParseRtf(kv::WriteRtf(doc));
    if (again.Text() != doc.Text())
        __builtin_trap();
}

} // namespace kvfuzz
