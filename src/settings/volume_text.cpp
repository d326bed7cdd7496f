#include "settings/volume_text.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace kavo {

namespace {

// Magnitudes beyond this are already far outside the 16-bit range; stop growing there.
constexpr std::int64_t kSaturation = 1'000'000;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::int16_t parseStoredVolume(std::string_view text) {
    std::string compact;
    std::copy_if(text.begin(), text.end(), std::back_inserter(compact),
                 [](char c) { return c != ' '; });

    std::size_t pos = 0;
    bool negative = false;
    if (pos < compact.size() && (compact[pos] == '+' || compact[pos] == '-')) {
        negative = compact[pos] == '-';
        ++pos;
    }

    std::int64_t whole = 0;
    for (; pos < compact.size() && isDigit(compact[pos]); ++pos)
        whole = std::min(kSaturation, whole * 10 + (compact[pos] - '0'));

    // Only the fraction's relation to one half matters for rounding.
    enum class Fraction { Zero, BelowHalf, Half, AboveHalf } fraction = Fraction::Zero;
    if (pos < compact.size() && compact[pos] == '.') {
        ++pos;
        bool first = true;
        for (; pos < compact.size() && isDigit(compact[pos]); ++pos, first = false) {
            const int digit = compact[pos] - '0';
            if (first)
                fraction = digit > 5    ? Fraction::AboveHalf
                           : digit == 5 ? Fraction::Half
                           : digit > 0  ? Fraction::BelowHalf
                                        : Fraction::Zero;
            else if (digit != 0 && fraction == Fraction::Half)
                fraction = Fraction::AboveHalf;
            else if (digit != 0 && fraction == Fraction::Zero)
                fraction = Fraction::BelowHalf;
        }
    }

    if (fraction == Fraction::AboveHalf || (fraction == Fraction::Half && whole % 2 != 0))
        ++whole;
    const std::int64_t value = negative ? -whole : whole;
    return static_cast<std::int16_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

std::string volumeText(std::int16_t volume) {
    return std::to_string(volume);
}

} // namespace kavo
