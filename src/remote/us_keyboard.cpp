#include "remote/us_keyboard.h"

#include <array>
#include <optional>

namespace kavo {

namespace {

struct UsKey {
    char plain;
    char shifted; // '\0': the same key with Shift types nothing else worth sending
    std::uint8_t virtualKey;
    std::uint8_t scanCode;
};

// clang-format off
constexpr std::array<UsKey, 52> kKeys{{
    {'`', '~', 0xC0, 0x29}, {'1', '!', '1', 0x02}, {'2', '@', '2', 0x03}, {'3', '#', '3', 0x04},
    {'4', '$', '4', 0x05},  {'5', '%', '5', 0x06}, {'6', '^', '6', 0x07}, {'7', '&', '7', 0x08},
    {'8', '*', '8', 0x09},  {'9', '(', '9', 0x0A}, {'0', ')', '0', 0x0B}, {'-', '_', 0xBD, 0x0C},
    {'=', '+', 0xBB, 0x0D}, {'q', 'Q', 'Q', 0x10}, {'w', 'W', 'W', 0x11}, {'e', 'E', 'E', 0x12},
    {'r', 'R', 'R', 0x13},  {'t', 'T', 'T', 0x14}, {'y', 'Y', 'Y', 0x15}, {'u', 'U', 'U', 0x16},
    {'i', 'I', 'I', 0x17},  {'o', 'O', 'O', 0x18}, {'p', 'P', 'P', 0x19}, {'[', '{', 0xDB, 0x1A},
    {']', '}', 0xDD, 0x1B}, {'a', 'A', 'A', 0x1E}, {'s', 'S', 'S', 0x1F}, {'d', 'D', 'D', 0x20},
    {'f', 'F', 'F', 0x21},  {'g', 'G', 'G', 0x22}, {'h', 'H', 'H', 0x23}, {'j', 'J', 'J', 0x24},
    {'k', 'K', 'K', 0x25},  {'l', 'L', 'L', 0x26}, {';', ':', 0xBA, 0x27}, {'\'', '"', 0xDE, 0x28},
    {'\\', '|', 0xDC, 0x2B}, {'z', 'Z', 'Z', 0x2C}, {'x', 'X', 'X', 0x2D}, {'c', 'C', 'C', 0x2E},
    {'v', 'V', 'V', 0x2F},  {'b', 'B', 'B', 0x30}, {'n', 'N', 'N', 0x31}, {'m', 'M', 'M', 0x32},
    {',', '<', 0xBC, 0x33}, {'.', '>', 0xBE, 0x34}, {'/', '?', 0xBF, 0x35}, {' ', '\0', 0x20, 0x39},
    {'\t', '\0', 0x09, 0x0F}, {'\r', '\0', 0x0D, 0x1C}, {'\b', '\0', 0x08, 0x0E},
    {'\x1B', '\0', 0x1B, 0x01},
}};
// clang-format on

constexpr std::uint8_t kShiftScanCode = 0x2A;

struct Found {
    const UsKey* key;
    bool shift;
};

std::optional<Found> find(unsigned c) {
    if (c == 0)
        return std::nullopt;
    for (const UsKey& key : kKeys) {
        if (static_cast<unsigned char>(key.plain) == c)
            return Found{&key, false};
        if (static_cast<unsigned char>(key.shifted) == c)
            return Found{&key, true};
    }
    return std::nullopt;
}

} // namespace

std::int16_t UsPcKeyboard::vkKeyScan(std::uint8_t ansiChar) {
    const auto found = find(ansiChar);
    if (!found)
        return -1;
    return static_cast<std::int16_t>(found->key->virtualKey | (found->shift ? 0x100 : 0));
}

std::uint32_t UsPcKeyboard::oemKeyScan(std::uint16_t oemChar) {
    const auto found = find(oemChar);
    if (!found)
        return 0xFFFFFFFFu;
    return found->key->scanCode | (found->shift ? 0x10000u : 0u);
}

std::uint32_t UsPcKeyboard::mapVirtualKey(std::uint32_t code, std::uint32_t mapType) {
    return code == kVkShift && mapType == 0 ? kShiftScanCode : 0;
}

} // namespace kavo
