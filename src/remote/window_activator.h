#pragma once

#include <string_view>

namespace kavo {

class WindowActivator {
public:
    virtual ~WindowActivator() = default;
    // Brings the top-level window titled exactly title (else one whose title begins with it)
    // to the foreground with the keyboard focus. False when there is no such window.
    virtual bool activate(std::string_view title) = 0;
    // Makes the front end's own main window active again.
    virtual bool activateApplication() = 0;
    // Whether the window the last successful activate() brought forward is an emulated DOS
    // machine's (see matchTitle), whose keyboard is read by key position.
    virtual bool activatedDosMachine() const { return false; }
};

} // namespace kavo
