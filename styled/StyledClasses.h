#pragma once

namespace kv {

// Makes the styled controls known to the layout loader by class name; idempotent.
void RegisterStyledClasses();

} // namespace kv
