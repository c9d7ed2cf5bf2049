#pragma once

namespace kv {

// Makes the panel and button pack's controls known to the layout loader by class name.
void RegisterPanelClasses();

} // namespace kv
