// The nine-type band table.

#include "controls/MyPEQType8.h"

namespace kv {

KV_REGISTER_CLASS(TMyPEQType8, TPeqBandTable, b) {}

namespace {

// In the unit's order of filter types: 3 and 4 are its low-pass, 5 and 6 its high-pass types.
std::vector<std::string> BuiltInTypeNames() {
    return {" Peak       ", " Low Shelf  ", " High Shelf ", " LPF -6dB   ", " LPF -12dB  ",
            " HPF -6dB   ", " HPF -12dB  ", " Allpass 1  ", " Allpass 2  "};
}

} // namespace

TMyPEQType8::TMyPEQType8(TComponent* owner) : TPeqBandTable(owner, BuiltInTypeNames(), 1) {
    SetBypassString("   BYPASS   ");
}

} // namespace kv
