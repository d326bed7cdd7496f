#pragma once

#include "remote/keyboard.h"

#include <X11/Xlib.h>
#include <optional>

namespace kavo::x11 {

// The layout queries answered from the server's current keymap (read afresh on every query, so
// a layout switch is seen at once). Keycodes stand in for virtual keys and scan codes alike.
class X11KeyboardLayout : public KeyboardLayout {
public:
    explicit X11KeyboardLayout(Display* display) : display_(display) {}

    std::int16_t vkKeyScan(std::uint8_t ansiChar) override;
    std::uint8_t charToOem(std::uint8_t ansiChar) override { return ansiChar; }
    std::uint32_t oemKeyScan(std::uint16_t oemChar) override;
    std::uint32_t mapVirtualKey(std::uint32_t code, std::uint32_t mapType) override;

private:
    struct Key {
        std::uint8_t keycode;
        bool shift;
    };
    // The key that types keysym in the first group, preferring one without Shift.
    std::optional<Key> find(KeySym keysym);

    Display* display_;
};

} // namespace kavo::x11
