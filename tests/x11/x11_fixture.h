#pragma once
// Windows, processes and a window manager on the test display, for the X11 backend tests.
// Xlib stays out of this header: its macros (None, Bool) break GoogleTest.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct _XDisplay;

namespace kavo::test {

using Window = unsigned long;

// The private X server test.sh started; throws when it is not given.
std::string testDisplay();

// Polls until done() holds or the time is up; true when it held.
bool waitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(5));

// A child process, started from an argument vector with extra environment entries; killed and
// reaped when it goes out of scope.
class Child {
public:
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    bool running();
    int pid() const { return pid_; }

private:
    int pid_ = -1;
};

// A top-level window of this test process, on its own connection.
class TestWindow {
public:
    struct Titles {
        std::string wmName;    // empty: none
        std::string netWmName; // empty: none
    };
    explicit TestWindow(const Titles& titles, bool map = true);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    Window id() const { return window_; }
    void focus();
    // Key events that reached this window since the last call.
    int takeKeyEvents();

private:
    _XDisplay* display_;
    Window window_;
};

// The window that has the keyboard focus now.
Window focusedWindow();
// Whether window is, or is inside, the topmost shown child of the root (menus, pop-ups and
// other override-redirect windows aside).
bool onTop(Window window);

// Openbox on the test display for as long as this lives.
class WindowManager {
public:
    WindowManager();
    ~WindowManager();
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

private:
    std::unique_ptr<Child> openbox_;
};

// The stand-in player copied into a fresh directory, logging into a file there.
class StandIn {
public:
    StandIn();
    ~StandIn();
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

    std::vector<std::string> log() const;
    Window window() const; // 0 until it is shown
    const std::filesystem::path& directory() const { return directory_; }

private:
    std::filesystem::path directory_;
    std::filesystem::path logPath_;
    std::unique_ptr<Child> process_;
};

} // namespace kavo::test
