#pragma once

#include <cstdint>

namespace kavo {

inline constexpr std::uint8_t kVkShift = 16;
inline constexpr std::uint32_t kKeyEventKeyUp = 2;

struct KeyEvent {
    std::uint8_t virtualKey = 0;
    std::uint8_t scanCode = 0;
    std::uint32_t flags = 0; // 0 press, kKeyEventKeyUp release
    std::uint32_t extraInfo = 0;

    bool operator==(const KeyEvent&) const = default;
};

// The keyboard layout queries a Windows keyboard answers, in the same terms on every platform.
class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;
    // Virtual key in the low byte, shift state (1 Shift, 2 Ctrl, 4 Alt) in the high byte;
    // all ones when the layout has no key for the character.
    virtual std::int16_t vkKeyScan(std::uint8_t ansiChar) = 0;
    virtual std::uint8_t charToOem(std::uint8_t ansiChar) = 0;
    // Scan code in the low byte; all ones when the character is not on the keyboard.
    virtual std::uint32_t oemKeyScan(std::uint16_t oemChar) = 0;
    // Mode 0: virtual key to scan code.
    virtual std::uint32_t mapVirtualKey(std::uint32_t code, std::uint32_t mapType) = 0;
};

class KeyInjector {
public:
    virtual ~KeyInjector() = default;
    virtual void inject(const KeyEvent& event) = 0;
    // Lets go of the modifier keys still held down (the Alt of an access key), so that the keys
    // injected next arrive plain.
    virtual void releaseModifiers() {}
    // Returns once every injected event has been handed to the system for delivery.
    virtual void flush() {}
};

} // namespace kavo
