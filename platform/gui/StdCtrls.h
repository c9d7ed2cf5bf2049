#pragma once
// The standard controls: label, image, shape, panel, group box, paint box, edit, memo, button, check
// box, radio button, combo box, list box, key/value list editor, up-down, status bar, progress bar.
// One header per family; this one includes them all.

#include "platform/gui/StdBars.h"
#include "platform/gui/StdButtons.h"
#include "platform/gui/StdEdits.h"
#include "platform/gui/StdLists.h"
#include "platform/gui/StdPanels.h"

namespace kv {

// Registers the standard control classes with the class registry (for layouts); idempotent.
void RegisterStandardClasses();

} // namespace kv
