#pragma once

#include "remote/keyboard.h"
#include "remote/window_activator.h"

#include <memory>

namespace kavo::x11 {

// Remote control of another X client's window: activation by title and XTest key presses.
//
// X keycodes (8..255) fit the byte-wide virtual key and scan code fields, so both carry the
// keycode: vkKeyScan(c) answers keycode | 0x100 when the keysym for c sits at Shift level 1,
// oemKeyScan(c) the keycode with Shift in bit 16, charToOem is the identity (Latin-1 both
// ways), mapVirtualKey(16, 0) gives the Shift_L keycode, and the injector presses the scan
// code as the X keycode. A character the keymap lacks gives all ones, as on Windows, and
// the injector never presses keycode 255, which would be a real key on X.
class Remote {
public:
    // Null when no X display can be opened or it has no XTest extension; the panel then does
    // nothing. Xlib types stay out of this header so that it mixes with Qt.
    static std::unique_ptr<Remote> open(const char* displayName = nullptr);
    ~Remote();
    Remote(const Remote&) = delete;
    Remote& operator=(const Remote&) = delete;

    // activate(title): exact _NET_WM_NAME (else WM_NAME) match first, else a prefix match,
    // case-sensitive, else a DOSBox window running the program of that name; the topmost of
    // several. After a DOSBox window, layout() and injector() type by US key position. Uses
    // _NET_ACTIVE_WINDOW when a window manager supports it, and XRaiseWindow + XSetInputFocus
    // always. False when there is no such window.
    WindowActivator& windows();
    KeyboardLayout& layout();
    // flush() waits until the server has processed, and so delivered, every injected event.
    KeyInjector& injector();
    // The window that windows().activateApplication() activates.
    void setApplicationWindow(unsigned long xWindowId);

private:
    struct Parts;
    explicit Remote(std::unique_ptr<Parts> parts);
    std::unique_ptr<Parts> parts_;
};

} // namespace kavo::x11
