#pragma once

namespace kv {

// Makes this folder's controls known to the layout loader by class name.
void RegisterControlClasses();

} // namespace kv
