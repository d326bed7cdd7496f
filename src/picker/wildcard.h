#pragma once

#include <string_view>

namespace kavo {

// True when name matches one of the ";"-separated masks of pattern ("*" any run, "?" one
// character), ignoring letter case as the player's own system does. "*.*" matches every name,
// also one without a dot.
bool matchesPattern(std::string_view name, std::string_view pattern);

} // namespace kavo
