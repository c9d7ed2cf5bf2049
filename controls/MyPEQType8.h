#pragma once
// The parametric-EQ band table of the main window: one row per band of a channel with frequency, Q and
// gain edits, a list of the unit's nine filter types and a bypass button. It keeps every value on the
// unit's step grids and reports every change through OnChange.

#include "controls/PeqBandTable.h"

namespace kv {

class TMyPEQType8 : public TPeqBandTable {
    KV_CLASS(TMyPEQType8)
public:
    explicit TMyPEQType8(TComponent* owner);
};

} // namespace kv
