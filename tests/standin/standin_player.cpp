// Stands in for the outside player in the real-window runs: a window titled SPCPLAY that logs
// to KAVO_STANDIN_LOG its arguments, working directory, focus changes and every key it gets.
// "--close WINDOW" asks WINDOW to close instead, as a window manager's close box does.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <unistd.h>

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    if (argc == 3 && std::string_view(argv[1]) == "--close") {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = std::strtoul(argv[2], nullptr, 0);
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] =
            static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
        return XCloseDisplay(display);
    }
    const char* path = std::getenv("KAVO_STANDIN_LOG"); // NOLINT(concurrency-mt-unsafe)
    std::ofstream log(path ? path : "/dev/null", std::ios::app);
    log << "pid " << getpid() << "\nargc " << argc << '\n';
    for (int i = 0; i < argc; ++i)
        log << "argv[" << i << "] " << argv[i] << '\n';
    log << "cwd " << std::filesystem::current_path().string() << std::endl;

    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 240, 80, 0, 0, 0);
    XStoreName(display, window, "SPCPLAY");
    XSelectInput(display, window,
                 KeyPressMask | KeyReleaseMask | FocusChangeMask | StructureNotifyMask);
    XMapWindow(display, window);
    for (XEvent event;;) {
        XNextEvent(display, &event);
        if (event.type == MapNotify)
            log << "ready" << std::endl;
        else if (event.type == FocusIn || event.type == FocusOut)
            log << (event.type == FocusIn ? "focus-in" : "focus-out") << std::endl;
        else if (event.type == KeyPress || event.type == KeyRelease) {
            KeySym keysym = NoSymbol;
            char text[8];
            XLookupString(&event.xkey, text, sizeof text, &keysym, nullptr);
            const char* name = XKeysymToString(keysym);
            log << (event.type == KeyPress ? "press " : "release ") << (name ? name : "?")
                << std::endl;
        }
    }
}
