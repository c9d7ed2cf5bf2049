#pragma once
// The unit file an upload writes of a simulated unit: its information block and every stored preset.

#include "link/PresetFiles.h"
#include "tests/sim/SimUnit.h"

#include <string>

namespace linktest {

inline std::string UnitFileOf(const kv::sim::SimUnit& u) {
    std::string file(kFileHeader);
    const kv::sim::Bytes info = u.UnitInfo();
    file.append(info.begin(), info.end());
    for (int p = 1; p <= 20; ++p) {
        if (u.SlotUsed(p)) {
            const kv::sim::Dump d = u.Stored(p);
            file += static_cast<char>(p);
            file.append(d.begin(), d.begin() + 721);
        } else {
            file.append(722, '\x64');
        }
        file += "\r\n";
    }
    return file;
}

} // namespace linktest
