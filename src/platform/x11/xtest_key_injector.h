#pragma once

#include "remote/keyboard.h"

#include <X11/Xlib.h>

namespace kavo::x11 {

// The scan code a lookup of a missing character yields.
inline constexpr std::uint8_t kNoKey = 0xFF;

// Presses and releases the key whose X keycode is the event's scan code.
class XTestKeyInjector : public KeyInjector {
public:
    explicit XTestKeyInjector(Display* display) : display_(display) {}

    void inject(const KeyEvent& event) override;
    // Every key of the modifier map that is down.
    void releaseModifiers() override;
    // XTest input is handed to its window while the server processes the request, so once the
    // round trip is back every key has reached whoever held the focus.
    void flush() override;

private:
    Display* display_;
};

} // namespace kavo::x11
