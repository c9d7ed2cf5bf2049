// Every class of the panel and button pack that a layout may name. Whoever adds a control class to
// this folder adds one RegisterClass line for it here.
#include "panels/PanelClasses.h"

#include "panels/PkBmpButton.h"
#include "panels/PkButton.h"
#include "panels/PkShapeButton.h"

namespace kv {

void RegisterPanelClasses() {
    RegisterClass(TPkBmpButton::StaticClassInfo());
    RegisterClass(TPkButton::StaticClassInfo());
    RegisterClass(TPkShapeButton::StaticClassInfo());
}

} // namespace kv
