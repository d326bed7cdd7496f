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
    const char* display = std::getenv("KAVO_TEST_DISPLAY");
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

WindowManager::WindowManager() : openbox_({"openbox", "--sm-disable"}, {displayEnv()}) {
    if (!waitUntil([&] { return managing() || !openbox_.running(); }) || !managing())
        throw std::runtime_error("openbox did not start managing the test display");
    // Openbox announces itself before its start-up is over and drops map requests made
    // meanwhile: wait until it maps a window of ours.
    Display* display = observer();
    Window probe = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10, 0, 0, 0);
    XSelectInput(display, probe, StructureNotifyMask);
    XEvent event;
    bool mapped = false;
    for (int attempt = 0; attempt < 25 && !mapped; ++attempt) {
        XMapWindow(display, probe);
        mapped =
            waitUntil([&] { return XCheckTypedWindowEvent(display, probe, MapNotify, &event); },
                      std::chrono::milliseconds(200));
    }
    XDestroyWindow(display, probe);
    XSync(display, True);
    if (!mapped)
        throw std::runtime_error("openbox does not map windows");
}

WindowManager::~WindowManager() = default;

// Openbox announces itself through a check window once it manages the screen.
bool WindowManager::managing() {
    Display* display = observer();
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &remaining, &data) != Success ||
        !data)
        return false;
    Window checkWindow = count == 1 ? *reinterpret_cast<Window*>(data) : 0;
    XFree(data);
    return checkWindow && windowExists(checkWindow);
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
