// The five-type band table.

#include "controls/MyPEQGain.h"

namespace kv {

KV_REGISTER_CLASS(TMyPEQGain, TPeqBandTable, b) {}

TMyPEQGain::TMyPEQGain(TComponent* owner)
    : TPeqBandTable(owner, {" Peak       ", " Low Shelf  ", " High Shelf ", " Low Cut    ", " High Cut   "},
                    1) {
    SetBypassString("   BYPASS   ");
}

} // namespace kv
