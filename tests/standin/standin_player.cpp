// Stands in for the outside player in the window tests: a window titled SPCPLAY that logs what
// the front end hands it (arguments, configuration file) and every key it receives.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// C-style quoting keeps CR LF, blanks and control bytes visible on one log line.
std::string escaped(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\\' || c == '"')
            out += std::string("\\") + c;
        else if (byte < 0x20 || byte >= 0x7F) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        } else
            out += c;
    }
    return out + "\"";
}

class Log {
public:
    explicit Log(const char* path) : file_(path ? path : "/dev/null", std::ios::app) {}
    void line(const std::string& text) { file_ << text << std::endl; }

private:
    std::ofstream file_;
};

void logConfig(Log& log, const std::string& label, const fs::path& directory) {
    std::ifstream file(directory / "SPCPLAY.CFG", std::ios::binary);
    if (!file) {
        log.line(label + " missing");
        return;
    }
    std::string content{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    log.line(label + " " + escaped(content));
}

void logKey(Log& log, XKeyEvent& event) {
    KeySym keysym = NoSymbol;
    char text[8];
    XLookupString(&event, text, sizeof text, &keysym, nullptr);
    const char* name = keysym == NoSymbol ? nullptr : XKeysymToString(keysym);
    std::ostringstream line;
    line << (event.type == KeyPress ? "press " : "release ") << (name ? name : "NoSymbol")
         << " shift=" << ((event.state & ShiftMask) ? 1 : 0) << " keycode=" << event.keycode;
    log.line(line.str());
}

} // namespace

int main(int argc, char** argv) {
    Log log(std::getenv("KAVO_STANDIN_LOG")); // NOLINT(concurrency-mt-unsafe): one thread
    log.line("pid " + std::to_string(getpid()));
    log.line("argc " + std::to_string(argc));
    for (int i = 0; i < argc; ++i)
        log.line("argv[" + std::to_string(i) + "] " + escaped(argv[i]));
    std::error_code error;
    fs::path cwd = fs::current_path(error);
    fs::path exeDir = fs::read_symlink("/proc/self/exe", error).parent_path();
    log.line("cwd " + escaped(cwd.string()));
    log.line("exe-dir " + escaped(exeDir.string()));
    logConfig(log, "cfg-exe", exeDir);
    logConfig(log, "cfg-cwd", cwd);

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        log.line("no-display");
        return 1;
    }
    Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 240, 80, 0,
                                        BlackPixel(display, DefaultScreen(display)),
                                        WhitePixel(display, DefaultScreen(display)));
    XStoreName(display, window, "SPCPLAY");
    const std::string_view title = "SPCPLAY";
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = True;
    XSetWMHints(display, window, &hints);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    XSelectInput(display, window,
                 KeyPressMask | KeyReleaseMask | FocusChangeMask | StructureNotifyMask);
    XMapWindow(display, window);

    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
        case MapNotify: {
            std::ostringstream line;
            line << "ready 0x" << std::hex << window;
            log.line(line.str());
            break;
        }
        case FocusIn:
            log.line("focus-in");
            break;
        case FocusOut:
            log.line("focus-out");
            break;
        case KeyPress:
        case KeyRelease:
            logKey(log, event.xkey);
            break;
        case ClientMessage:
            if (static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow) {
                log.line("closed");
                XCloseDisplay(display);
                return 0;
            }
            break;
        case DestroyNotify:
            log.line("closed");
            return 0;
        default:
            break;
        }
    }
}
