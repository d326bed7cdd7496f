#pragma once

#include <system_error>

namespace kavo::win32 {

// Windows error codes with the system's own wording, which the C++ runtime here lacks for many
// codes ("Unknown error code" for a program Windows cannot run, say).
const std::error_category& errorCategory();

std::error_code lastError();

} // namespace kavo::win32
