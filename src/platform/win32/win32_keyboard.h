#pragma once

#include "remote/keyboard.h"
#include "remote/window_activator.h"

namespace kavo {

// The current thread's keyboard layout, asked through the ANSI functions of user32.
class Win32KeyboardLayout : public KeyboardLayout {
public:
    std::int16_t vkKeyScan(std::uint8_t ansiChar) override;
    std::uint8_t charToOem(std::uint8_t ansiChar) override;
    std::uint32_t oemKeyScan(std::uint16_t oemChar) override;
    std::uint32_t mapVirtualKey(std::uint32_t code, std::uint32_t mapType) override;
};

// keybd_event rather than SendInput: the events go one at a time either way, so SendInput's
// batching buys nothing, and keybd_event takes exactly the four values each event holds.
// A DOSBox window reads the scan code, not the virtual key: with windows given, keys for one
// carry KEYEVENTF_SCANCODE, so that the system takes the key position as it is.
class Win32KeyInjector : public KeyInjector {
public:
    explicit Win32KeyInjector(const WindowActivator* windows = nullptr) : windows_(windows) {}
    void inject(const KeyEvent& event) override;
    // Shift, Ctrl, Alt and the Windows keys, left and right.
    void releaseModifiers() override;
    // Waits, boundedly, until the focused window's thread has taken the events injected since
    // the last flush from its queue: a key still queued when that window loses the focus is
    // lost, typically the final release.
    void flush() override;

    // Milliseconds; a quarter of this sufficed in hundreds of presses on a loaded machine.
    static constexpr unsigned kSettlePause = 100;

private:
    const WindowActivator* windows_;
    int pending_ = 0;
};

} // namespace kavo
