#include "platform/x11/x11_remote.h"

#include "platform/x11/x11_keyboard_layout.h"
#include "platform/x11/x11_window_activator.h"
#include "platform/x11/xtest_key_injector.h"
#include "remote/dos_machine_keys.h"

#include <X11/extensions/XTest.h>

namespace kavo::x11 {

namespace {

// With the evdev keycodes of Xvfb and current X servers, a PC set-1 scan code is keycode - 8.
class TargetInjector : public KeyInjector {
public:
    TargetInjector(X11WindowActivator& windows, XTestKeyInjector& keys)
        : windows_(windows), keys_(keys) {}
    void inject(const KeyEvent& event) override {
        if (!windows_.activatedDosMachine()) {
            keys_.inject(event);
            return;
        }
        constexpr int kEvdevOffset = 8;
        if (event.scanCode == kNoKey || event.scanCode + kEvdevOffset >= kNoKey)
            return;
        KeyEvent moved = event;
        moved.scanCode = static_cast<std::uint8_t>(event.scanCode + kEvdevOffset);
        keys_.inject(moved);
    }
    void flush() override { keys_.flush(); }
    void releaseModifiers() override { keys_.releaseModifiers(); }

private:
    X11WindowActivator& windows_;
    XTestKeyInjector& keys_;
};

} // namespace

struct Remote::Parts {
    explicit Parts(Display* display)
        : display(display), windows(display), keymap(display), keys(display),
          layout(windows, keymap), injector(windows, keys) {}
    ~Parts() { XCloseDisplay(display); }
    Parts(const Parts&) = delete;
    Parts& operator=(const Parts&) = delete;

    Display* display;
    X11WindowActivator windows;
    X11KeyboardLayout keymap;
    XTestKeyInjector keys;
    TargetLayout layout;
    TargetInjector injector;
};

std::unique_ptr<Remote> Remote::open(const char* displayName) {
    Display* display = XOpenDisplay(displayName);
    if (!display)
        return nullptr;
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::unique_ptr<Remote>(new Remote(std::make_unique<Parts>(display)));
}

Remote::Remote(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}
Remote::~Remote() = default;

WindowActivator& Remote::windows() {
    return parts_->windows;
}
KeyboardLayout& Remote::layout() {
    return parts_->layout;
}
KeyInjector& Remote::injector() {
    return parts_->injector;
}

void Remote::setApplicationWindow(unsigned long xWindowId) {
    parts_->windows.setApplicationWindow(xWindowId);
}

} // namespace kavo::x11
