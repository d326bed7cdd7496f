// The X11 remote against the private Xvfb test.sh starts, with no window manager (the
// real-window runs cover one). The title rules themselves are the core's.
#include "platform/x11/x11_remote.h"
#include "remote/control_panel.h"

#include <chrono>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <span>
#include <thread>
// After GoogleTest, whose names Xlib's macros (None, Bool) would break.
#include <X11/Xlib.h>

namespace kavo {
namespace {

// Never the user's display: without one of its own the test fails.
const char* displayName() {
    const char* name = std::getenv("KAVO_TEST_DISPLAY"); // NOLINT(concurrency-mt-unsafe)
    return name && *name ? name : "none";
}

bool waitUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 500 && !done(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

// A top-level window on a connection of its own, titled by WM_NAME and _NET_WM_NAME where
// they are not "", that records the keys and focus losses it gets.
struct TestWindow {
    static constexpr long kInput = KeyPressMask | KeyReleaseMask | FocusChangeMask;
    TestWindow(const char* wmName, const char* netWmName, bool map = true)
        : display_(XOpenDisplay(displayName())),
          id(XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 99, 99, 0, 0, 0)) {
        if (*wmName)
            XStoreName(display_, id, wmName);
        if (*netWmName)
            XChangeProperty(display_, id, XInternAtom(display_, "_NET_WM_NAME", False),
                            XInternAtom(display_, "UTF8_STRING", False), 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(netWmName),
                            static_cast<int>(std::strlen(netWmName)));
        XSelectInput(display_, id, kInput);
        if (map)
            XMapWindow(display_, id);
        XSync(display_, False);
    }
    ~TestWindow() {
        XDestroyWindow(display_, id);
        XCloseDisplay(display_); // after a round trip: gone before the next test looks
    }

    void focus() {
        XSetInputFocus(display_, id, RevertToParent, CurrentTime);
        XSync(display_, False);
    }
    // "press <keycode>", "release <keycode>" and "focus-out" since the last call, in order.
    std::vector<std::string> events() {
        XSync(display_, False);
        std::vector<std::string> seen;
        for (XEvent e; XCheckWindowEvent(display_, id, kInput, &e);) {
            if (e.type == KeyPress || e.type == KeyRelease)
                seen.push_back((e.type == KeyPress ? "press " : "release ") +
                               std::to_string(e.xkey.keycode));
            else if (e.type == FocusOut && e.xfocus.detail != NotifyPointer)
                seen.emplace_back("focus-out");
        }
        return seen;
    }

    Display* display_;
    const Window id;
};

struct X11Remote : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(observer && remote) << "no X server or XTest at KAVO_TEST_DISPLAY "
                                        << displayName() << ": test.sh starts a private Xvfb";
    }
    Window focused() const {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(observer.get(), &focus, &revert);
        return focus;
    }
    bool onTop(Window window) const {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        XQueryTree(observer.get(), DefaultRootWindow(observer.get()), &root, &parent, &children,
                   &count);
        const bool top = count > 0 && std::span(children, count).back() == window;
        XFree(children);
        return top;
    }

    std::unique_ptr<Display, int (*)(Display*)> observer{XOpenDisplay(displayName()),
                                                         XCloseDisplay};
    std::unique_ptr<x11::Remote> remote = x11::Remote::open(displayName());
};

TEST_F(X11Remote, ActivatesAndRaisesTheBestTitledShownWindowOrTheApplication) {
    const struct {
        const char* name;
        std::vector<std::pair<const char*, const char*>> titles; // bottom to top
        int expected; // index of the window activated, -1 none
    } cases[] = {
        {"exact beats a prefix above it", {{"SPCPLAY", "SPCPLAY"}, {"SPCPLAY - x", ""}}, 0},
        {"prefix when nothing is exact", {{"Other", "Other"}, {"SPCPLAY.EXE", ""}}, 1},
        {"topmost of two, WM_NAME alone", {{"SPCPLAY", ""}, {"SPCPLAY", ""}}, 1},
        {"_NET_WM_NAME alone", {{"", "SPCPLAY"}}, 0},
        {"_NET_WM_NAME wins over WM_NAME", {{"SPCPLAY", "Other"}}, -1},
        {"an untitled window", {{"", ""}}, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::unique_ptr<TestWindow>> windows;
        for (const auto& [wmName, netWmName] : c.titles)
            windows.push_back(std::make_unique<TestWindow>(wmName, netWmName));
        TestWindow app("KAVO test window", "");
        app.focus();
        EXPECT_EQ(remote->windows().activate("SPCPLAY"), c.expected >= 0);
        const Window wanted = c.expected >= 0 ? windows[c.expected]->id : app.id;
        EXPECT_TRUE(waitUntil([&] { return focused() == wanted; }));
        EXPECT_TRUE(onTop(wanted));
    }

    EXPECT_FALSE(remote->windows().activateApplication()) << "no window set yet";
    TestWindow hidden("SPCPLAY", "SPCPLAY", false);
    auto app = std::make_unique<TestWindow>("KAVO test window", "");
    TestWindow other("Other", "");
    other.focus();
    EXPECT_FALSE(remote->windows().activate("SPCPLAY")) << "a hidden window";
    remote->setApplicationWindow(app->id);
    EXPECT_TRUE(remote->windows().activateApplication());
    EXPECT_TRUE(waitUntil([&] { return focused() == app->id; }));
    app.reset();
    EXPECT_FALSE(remote->windows().activateApplication()) << "a window gone";
    EXPECT_EQ(x11::Remote::open(":987"), nullptr) << "no such display";
}

// A character the keymap lacks gives Shift (50) and keycode 255, which is never pressed; the player
// gets the keys before it loses the focus, the front end none.
TEST_F(X11Remote, PanelKeysReachThePlayerWhileItHasTheFocus) {
    TestWindow player("SPCPLAY", "");
    TestWindow app("KAVO test window", "");
    app.focus();
    remote->setApplicationWindow(app.id);
    EXPECT_EQ(pressInPlayer("\xC3\xA9", remote->windows(), remote->layout(), remote->injector()),
              PanelOutcome::Sent);
    EXPECT_TRUE(waitUntil([&] { return focused() == app.id; }));
    EXPECT_EQ(player.events(), (std::vector<std::string>{"press 50", "release 50", "focus-out"}));
    EXPECT_EQ(app.events(), std::vector<std::string>{"focus-out"});
}

} // namespace
} // namespace kavo
