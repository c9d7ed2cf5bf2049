#pragma once
// Registration of the pack's own colour properties; the shared groups are in PropGroups.h.

#include "platform/core/Properties.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Menus.h"
#include "platform/gui/PropGroups.h"

namespace kv {

// A colour property of the pack: named colours written by name.
#define PK_COLOR_PROP(b, name, getter, setter, def)                                                          \
    (b).Prop(name, getter, setter).Default(static_cast<long long>(def)).Idents(::kv::ColorIdents(), "TColor")

} // namespace kv
