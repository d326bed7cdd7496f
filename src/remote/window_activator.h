#pragma once

#include <cstdint>
#include <string_view>

namespace kavo {

class WindowActivator {
public:
    virtual ~WindowActivator() = default;
    // Brings the top-level window titled exactly title (else one whose title begins with it)
    // to the foreground with the keyboard focus. False when there is no such window.
    virtual bool activate(std::string_view title) = 0;
    // Brings the shown top-level window of the emulated DOS machine with process id pid to the
    // foreground with the keyboard focus. The window found is remembered and, before it is used
    // again, checked to be still that process's. False when it has none (yet).
    virtual bool activateDosMachine(std::int64_t /*pid*/) { return false; }
    // Makes the front end's own main window active again.
    virtual bool activateApplication() = 0;
    // Whether the window the last successful activation brought forward is an emulated DOS
    // machine's (by process, or by title: see matchTitle), whose keyboard is read by key position.
    virtual bool activatedDosMachine() const { return false; }
};

} // namespace kavo
