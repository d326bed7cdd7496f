#pragma once

#include "remote/keyboard.h"
#include "remote/us_keyboard.h"
#include "remote/window_activator.h"

namespace kavo {

// The layout for the window activated last: an emulated DOS machine reads key positions as PC
// scan codes, so it gets the US keyboard's answers whatever the host layout is; other windows
// get the host's.
class TargetLayout : public KeyboardLayout {
public:
    TargetLayout(const WindowActivator& windows, KeyboardLayout& host)
        : windows_(windows), host_(host) {}
    std::int16_t vkKeyScan(std::uint8_t c) override { return current().vkKeyScan(c); }
    std::uint8_t charToOem(std::uint8_t c) override { return current().charToOem(c); }
    std::uint32_t oemKeyScan(std::uint16_t c) override { return current().oemKeyScan(c); }
    std::uint32_t mapVirtualKey(std::uint32_t code, std::uint32_t mapType) override {
        return current().mapVirtualKey(code, mapType);
    }

private:
    KeyboardLayout& current() {
        return windows_.activatedDosMachine() ? static_cast<KeyboardLayout&>(us_) : host_;
    }
    const WindowActivator& windows_;
    KeyboardLayout& host_;
    UsPcKeyboard us_;
};

} // namespace kavo
