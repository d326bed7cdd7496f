// The stored-volume reader against a straightforward reference: the number read from the start
// of the text with blanks removed, rounded half to even, held within the signed 16-bit range.
#include "fuzz_check.h"
#include "settings/volume_text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace {

// Exact for the texts it accepts: at most 9 digits before and 9 after the point.
bool referenceValue(std::string_view text, std::int16_t& result) {
    std::string compact;
    for (char c : text)
        if (c != ' ')
            compact += c;
    std::size_t pos = 0;
    bool negative = false;
    if (pos < compact.size() && (compact[pos] == '+' || compact[pos] == '-'))
        negative = compact[pos++] == '-';
    std::int64_t whole = 0;
    int wholeDigits = 0;
    for (; pos < compact.size() && compact[pos] >= '0' && compact[pos] <= '9'; ++pos) {
        if (++wholeDigits > 9)
            return false;
        whole = whole * 10 + (compact[pos] - '0');
    }
    std::int64_t fraction = 0;
    std::int64_t scale = 1;
    if (pos < compact.size() && compact[pos] == '.') {
        for (++pos; pos < compact.size() && compact[pos] >= '0' && compact[pos] <= '9'; ++pos) {
            if (scale >= 1'000'000'000)
                return false;
            fraction = fraction * 10 + (compact[pos] - '0');
            scale *= 10;
        }
    }
    // Half to even: compare twice the fraction with the scale.
    if (2 * fraction > scale || (2 * fraction == scale && whole % 2 != 0))
        ++whole;
    const std::int64_t value = negative ? -whole : whole;
    result = static_cast<std::int16_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::int16_t volume = kavo::parseStoredVolume(text);

    std::int16_t expected = 0;
    if (referenceValue(text, expected))
        KAVO_FUZZ_CHECK(volume == expected);

    // What savereg writes reads back as the same volume, and has no blanks.
    const std::string written = kavo::volumeText(volume);
    KAVO_FUZZ_CHECK(written.find(' ') == std::string::npos);
    KAVO_FUZZ_CHECK(kavo::parseStoredVolume(written) == volume);
    return 0;
}
