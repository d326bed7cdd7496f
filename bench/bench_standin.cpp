// A window titled SPCPLAY that reports on standard output when it is mapped and, with the
// CLOCK_MONOTONIC time in nanoseconds, every key pressed in it.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdio>
#include <time.h>

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return 1;
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 240, 80, 0,
                                              BlackPixel(display, DefaultScreen(display)),
                                              WhitePixel(display, DefaultScreen(display)));
    XStoreName(display, window, "SPCPLAY");
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = True;
    XSetWMHints(display, window, &hints);
    XSelectInput(display, window, KeyPressMask | StructureNotifyMask);
    XMapWindow(display, window);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify) {
            std::printf("ready %lu\n", window);
        } else if (event.type == KeyPress) {
            timespec now{};
            ::clock_gettime(CLOCK_MONOTONIC, &now);
            std::printf("key %u %lld\n", event.xkey.keycode,
                        static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        } else if (event.type == DestroyNotify) {
            return 0;
        }
        std::fflush(stdout);
    }
}
