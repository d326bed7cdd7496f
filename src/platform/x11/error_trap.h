#pragma once

#include <X11/Xlib.h>

namespace kavo::x11 {

// XSync, unless the server has already answered everything sent: each wait is a round trip, and
// a click on the panel makes several in a row.
void sync(Display* display);

// Xlib's default error handler ends the process; a window that vanishes while we look at it
// must only fail the operation. Errors on other connections still reach the previous handler.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display);
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    // Waits for the replies to everything sent so far; true when any of it failed.
    bool failed();

private:
    static int handle(Display* display, XErrorEvent* error);

    Display* display_;
    int errors_ = 0;
    ErrorTrap* outer_;
    XErrorHandler previous_ = nullptr;
};

} // namespace kavo::x11
