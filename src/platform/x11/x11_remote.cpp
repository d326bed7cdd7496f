#include "platform/x11/x11_remote.h"

#include "platform/x11/x11_keyboard_layout.h"
#include "platform/x11/x11_window_activator.h"
#include "platform/x11/xtest_key_injector.h"

#include <X11/extensions/XTest.h>

namespace kavo::x11 {

struct Remote::Parts {
    explicit Parts(Display* display)
        : display(display), windows(display), layout(display), injector(display) {}
    ~Parts() { XCloseDisplay(display); }
    Parts(const Parts&) = delete;
    Parts& operator=(const Parts&) = delete;

    Display* display;
    X11WindowActivator windows;
    X11KeyboardLayout layout;
    XTestKeyInjector injector;
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
