#include "platform/x11/error_trap.h"

namespace kavo::x11 {

namespace {
ErrorTrap* innermost = nullptr;
} // namespace

void sync(Display* display) {
    if (LastKnownRequestProcessed(display) + 1 != NextRequest(display))
        XSync(display, False);
}

ErrorTrap::ErrorTrap(Display* display) : display_(display), outer_(innermost) {
    sync(display_); // earlier errors are not ours
    previous_ = XSetErrorHandler(&ErrorTrap::handle);
    innermost = this;
}

ErrorTrap::~ErrorTrap() {
    sync(display_);
    innermost = outer_;
    XSetErrorHandler(previous_);
}

bool ErrorTrap::failed() {
    sync(display_);
    return errors_ > 0;
}

int ErrorTrap::handle(Display* display, XErrorEvent* error) {
    for (ErrorTrap* trap = innermost; trap; trap = trap->outer_) {
        if (trap->display_ == display) {
            ++trap->errors_;
            return 0;
        }
    }
    ErrorTrap* outermost = innermost;
    while (outermost && outermost->outer_)
        outermost = outermost->outer_;
    return outermost && outermost->previous_ ? outermost->previous_(display, error) : 0;
}

} // namespace kavo::x11
