#include "remote/sendkey.h"

#include <stdexcept>

namespace kavo {

namespace {

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The single-byte code of the text's first character, which is the character's code point
// when that fits a byte.
std::uint8_t firstCharacterCode(std::string_view text) {
    if (text.empty())
        throw std::invalid_argument("sendkey: empty text");
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80)
        return lead;
    std::size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    else
        throw std::invalid_argument("sendkey: invalid UTF-8");
    if (text.size() < length)
        throw std::invalid_argument("sendkey: invalid UTF-8");
    for (std::size_t i = 1; i < length; ++i)
        if (!isContinuation(static_cast<unsigned char>(text[i])))
            throw std::invalid_argument("sendkey: invalid UTF-8");
    if (length > 2)
        throw std::overflow_error("sendkey: character outside the single-byte range");
    const unsigned code = ((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(text[1]) & 0x3Fu);
    // Two-byte sequences reach U+07FF; only U+0080..U+00FF have a single-byte code.
    if (code > 0xFF)
        throw std::overflow_error("sendkey: character outside the single-byte range");
    return static_cast<std::uint8_t>(code);
}

} // namespace

std::vector<KeyEvent> keyEventsFor(std::string_view text, KeyboardLayout& layout) {
    const std::uint8_t code = firstCharacterCode(text);
    const auto lookup = static_cast<std::uint16_t>(layout.vkKeyScan(code));
    const auto virtualKey = static_cast<std::uint8_t>(lookup & 0xFF);
    const bool shift = (lookup & 0x100) == 0x100; // Ctrl and Alt bits are deliberately ignored
    const std::uint8_t oem = layout.charToOem(code);
    const auto scanCode = static_cast<std::uint8_t>(layout.oemKeyScan(oem) & 0xFF);

    std::vector<KeyEvent> events;
    if (shift) {
        const auto shiftScan = static_cast<std::uint8_t>(layout.mapVirtualKey(kVkShift, 0));
        events.push_back({kVkShift, shiftScan, 0, 0});
        events.push_back({virtualKey, scanCode, 0, 0});
        events.push_back({kVkShift, shiftScan, kKeyEventKeyUp, 0});
    } else {
        events.push_back({virtualKey, scanCode, 0, 0});
    }
    events.push_back({virtualKey, scanCode, kKeyEventKeyUp, 0});
    return events;
}

void sendkey(std::string_view text, KeyboardLayout& layout, KeyInjector& injector) {
    for (const KeyEvent& event : keyEventsFor(text, layout))
        injector.inject(event);
}

} // namespace kavo
