#include "platform/x11/error_trap.h"

namespace kavo::x11 {

namespace {
ErrorTrap* innermost = nullptr;
}

ErrorTrap::ErrorTrap(Display* display) : display_(display), outer_(innermost) {
    XSync(display_, False); // earlier errors are not ours
    previous_ = XSetErrorHandler(&ErrorTrap::handle);
    innermost = this;
}

ErrorTrap::~ErrorTrap() {
    XSync(display_, False);
    innermost = outer_;
    XSetErrorHandler(previous_);
}

bool ErrorTrap::failed() {
    XSync(display_, False);
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
