#include "x11/x11_fixture.h"

#include "platform/x11/error_trap.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <signal.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace kavo::test {

namespace {

// One connection for the test's own questions to the server.
Display* observer() {
    static Display* display = XOpenDisplay(testDisplay().c_str());
    if (!display)
        throw std::runtime_error("cannot open the test display " + testDisplay());
    return display;
}

bool windowExists(Window window) {
    x11::ErrorTrap trap(observer());
    XWindowAttributes attributes{};
    XGetWindowAttributes(observer(), window, &attributes);
    return !trap.failed();
}

std::string displayEnv() {
    return "DISPLAY=" + testDisplay();
}

} // namespace

std::string testDisplay() {
    const char* display = std::getenv("KAVO_TEST_DISPLAY"); // NOLINT(concurrency-mt-unsafe)
    if (!display || !*display)
        throw std::runtime_error(
            "KAVO_TEST_DISPLAY is not set: run the tests through test.sh, which starts a "
            "private Xvfb for them");
    return display;
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

Child::Child(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv) {
    std::vector<std::string> env = extraEnv;
    for (char** entry = environ; *entry; ++entry) {
        std::string_view text(*entry);
        auto name = text.substr(0, text.find('=') + 1);
        if (std::ranges::none_of(extraEnv, [&](const auto& e) { return e.starts_with(name); }))
            env.emplace_back(text);
    }
    auto pointers = [](std::vector<std::string>& texts) {
        std::vector<char*> result(texts.size() + 1, nullptr);
        std::ranges::transform(texts, result.begin(), [](auto& text) { return text.data(); });
        return result;
    };
    std::vector<std::string> args = argv;
    auto argp = pointers(args);
    auto envp = pointers(env);
    if (posix_spawnp(&pid_, argp[0], nullptr, nullptr, argp.data(), envp.data()) != 0)
        throw std::runtime_error("cannot start " + argv[0]);
}

Child::~Child() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

bool Child::running() {
    return waitpid(pid_, nullptr, WNOHANG) == 0;
}

TestWindow::TestWindow(const Titles& titles, bool map)
    : display_(XOpenDisplay(testDisplay().c_str())) {
    if (!display_)
        throw std::runtime_error("cannot open the test display");
    window_ =
        XCreateSimpleWindow(display_, DefaultRootWindow(display_), 300, 300, 160, 60, 0, 0, 0);
    if (!titles.wmName.empty())
        XStoreName(display_, window_, titles.wmName.c_str());
    if (!titles.netWmName.empty())
        XChangeProperty(display_, window_, XInternAtom(display_, "_NET_WM_NAME", False),
                        XInternAtom(display_, "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(titles.netWmName.data()),
                        static_cast<int>(titles.netWmName.size()));
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = True;
    XSetWMHints(display_, window_, &hints);
    XSelectInput(display_, window_, StructureNotifyMask | KeyPressMask | KeyReleaseMask);
    if (!map) {
        XSync(display_, False);
        return;
    }
    XMapWindow(display_, window_);
    XEvent event;
    if (!waitUntil([&] { return XCheckTypedWindowEvent(display_, window_, MapNotify, &event); }))
        throw std::runtime_error("test window was never mapped");
}

TestWindow::~TestWindow() {
    XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
}

void TestWindow::focus() {
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    XSync(display_, False);
    if (!waitUntil([&] { return focusedWindow() == window_; }))
        throw std::runtime_error("test window did not get the focus");
}

int TestWindow::takeKeyEvents() {
    XSync(display_, False);
    int count = 0;
    XEvent event;
    while (XCheckWindowEvent(display_, window_, KeyPressMask | KeyReleaseMask, &event))
        ++count;
    return count;
}

Window focusedWindow() {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(observer(), &focus, &revert);
    return focus;
}

bool onTop(Window window) {
    Display* display = observer();
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    std::vector<Window> stack(children, children + count);
    XFree(children);
    auto top = std::find_if(stack.rbegin(), stack.rend(), [&](Window w) {
        XWindowAttributes attributes{};
        return XGetWindowAttributes(display, w, &attributes) &&
               attributes.map_state == IsViewable && !attributes.override_redirect;
    });
    if (top == stack.rend())
        return false;
    for (Window w = window; w && w != root;) {
        if (w == *top)
            return true;
        Window* ignored = nullptr;
        if (!XQueryTree(display, w, &root, &parent, &ignored, &count))
            return false;
        XFree(ignored);
        w = parent;
    }
    return false;
}

namespace {

Atom atom(const char* name) {
    return XInternAtom(observer(), name, False);
}

// The first item of a 32-bit property of the root, or -1 when it has none.
long rootItem(const char* name) {
    Display* display = observer();
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, DefaultRootWindow(display), atom(name), 0, 1, False,
                           AnyPropertyType, &type, &format, &count, &remaining, &data) != Success)
        return -1;
    if (!data)
        return -1;
    // Present but empty, like a client list without clients: 0.
    const long item = format == 32 && count > 0 ? *reinterpret_cast<long*>(data) : 0;
    XFree(data);
    return item;
}

void deleteRootProperty(const char* name) {
    XDeleteProperty(observer(), DefaultRootWindow(observer()), atom(name));
    XSync(observer(), False);
}

// A manager that died without cleaning up leaves its pid behind.
bool openboxGone() {
    const long pid = rootItem("_OPENBOX_PID");
    if (pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0)
        deleteRootProperty("_OPENBOX_PID");
    return pid <= 0 || kill(static_cast<pid_t>(pid), 0) != 0;
}

} // namespace

// Openbox announces itself before its start-up is over and loses map requests made meanwhile;
// the client list it sets last, and a window it frames, show that it is ready. Leftovers of
// the manager before must not be mistaken for this one's.
WindowManager::WindowManager() {
    if (!waitUntil(openboxGone))
        throw std::runtime_error("another openbox still manages the test display");
    deleteRootProperty("_NET_CLIENT_LIST");
    openbox_ = std::make_unique<Child>(std::vector<std::string>{"openbox", "--sm-disable"},
                                       std::vector<std::string>{displayEnv()});
    if (!waitUntil([&] {
            return !openbox_->running() || (rootItem("_OPENBOX_PID") == openbox_->pid() &&
                                            rootItem("_NET_CLIENT_LIST") >= 0);
        }) ||
        !openbox_->running())
        throw std::runtime_error("openbox did not start managing the test display");

    Display* display = observer();
    Window probe = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10, 0, 0, 0);
    XSelectInput(display, probe, StructureNotifyMask);
    XEvent event;
    bool framed = false;
    for (int attempt = 0; attempt < 25 && !framed; ++attempt) {
        XMapWindow(display, probe);
        framed = waitUntil(
            [&] { return XCheckTypedWindowEvent(display, probe, ReparentNotify, &event); },
            std::chrono::milliseconds(200));
    }
    XDestroyWindow(display, probe);
    XSync(display, True);
    if (!framed)
        throw std::runtime_error("openbox does not manage new windows");
}

WindowManager::~WindowManager() {
    openbox_.reset();
    waitUntil(openboxGone);
}

StandIn::StandIn() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kavo-standin-XXXXXX");
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a directory for the stand-in player");
    directory_ = pattern;
    logPath_ = directory_ / "standin.log";
    const auto exe = directory_ / "SPCPLAY.EXE";
    std::filesystem::copy_file(KAVO_STANDIN_EXE, exe);
    process_ = std::make_unique<Child>(
        std::vector<std::string>{exe.string()},
        std::vector<std::string>{displayEnv(), "KAVO_STANDIN_LOG=" + logPath_.string()});
    if (!waitUntil([&] { return window() != 0; }))
        throw std::runtime_error("the stand-in player never showed its window");
}

StandIn::~StandIn() {
    Window shown = window();
    process_.reset();
    // The server drops a dead client's windows only when it notices; the next test must not
    // find this one.
    waitUntil([&] { return !windowExists(shown); });
    std::filesystem::remove_all(directory_);
}

Window StandIn::window() const {
    const auto lines = log();
    auto ready =
        std::ranges::find_if(lines, [](const auto& line) { return line.starts_with("ready "); });
    return ready == lines.end() ? 0 : std::stoul(ready->substr(6), nullptr, 16);
}

std::vector<std::string> StandIn::log() const {
    std::ifstream file(logPath_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

} // namespace kavo::test
