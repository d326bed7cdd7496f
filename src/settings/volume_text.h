#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kavo {

// Numeric value of a stored volume text, read leniently: blanks anywhere are ignored, an
// optional sign, digits with "." as the decimal point, reading stops at the first character
// that cannot continue the number (so "1e3" reads as 1). Rounded half to even and held within
// the signed 16-bit range. A text that does not begin with a number reads as 0.
std::int16_t parseStoredVolume(std::string_view text);

// Decimal text without blanks, with a minus sign when negative.
std::string volumeText(std::int16_t volume);

} // namespace kavo
