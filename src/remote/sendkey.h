#pragma once

#include "remote/keyboard.h"

#include <string_view>
#include <vector>

namespace kavo {

// Key events a real keyboard produces for the first character of text (UTF-8): Shift press,
// key press, Shift release, key release when the layout needs Shift, else press and release.
// Throws std::invalid_argument for an empty text or invalid UTF-8 and std::overflow_error
// for a first character outside the single-byte range, before producing anything.
std::vector<KeyEvent> keyEventsFor(std::string_view text, KeyboardLayout& layout);

// Injects keyEventsFor(text). Exceptions as keyEventsFor; nothing is injected then.
void sendkey(std::string_view text, KeyboardLayout& layout, KeyInjector& injector);

} // namespace kavo
