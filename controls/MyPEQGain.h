#pragma once
// The band table with five filter types (peak, shelves, low and high cut); otherwise the design of the
// main window's band table.

#include "controls/PeqBandTable.h"

namespace kv {

class TMyPEQGain : public TPeqBandTable {
    KV_CLASS(TMyPEQGain)
public:
    explicit TMyPEQGain(TComponent* owner);
};

} // namespace kv
