// The X11 remote against the private Xvfb test.sh starts, with no window manager (the
// real-window runs cover one). The title rules themselves are the core's.
#include "platform/x11/x11_remote.h"
#include "remote/keyboard.h"

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

// A top-level window on a connection of its own, titled by WM_NAME and _NET_WM_NAME ("" reads
// as none).
struct TestWindow {
    TestWindow(const char* wmName, const char* netWmName, bool map = true)
        : display_(XOpenDisplay(displayName())),
          id(XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 99, 99, 0, 0, 0)) {
        XStoreName(display_, id, wmName);
        XChangeProperty(display_, id, XInternAtom(display_, "_NET_WM_NAME", False),
                        XInternAtom(display_, "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(netWmName),
                        static_cast<int>(std::strlen(netWmName)));
        if (map)
            XMapWindow(display_, id);
        XSync(display_, False);
    }
    ~TestWindow() {
        XDestroyWindow(display_, id);
        XCloseDisplay(display_); // after a round trip: gone before the next test looks
    }

    bool focused() {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(display_, &focus, &revert);
        return focus == id;
    }
    // The topmost child of the root.
    bool onTop() {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count);
        const bool top = count > 0 && std::span(children, count).back() == id;
        XFree(children);
        return top;
    }
    void focus() {
        XSetInputFocus(display_, id, RevertToParent, CurrentTime);
        XSync(display_, False);
    }
    Display* display_;
    const Window id;
};

struct X11Remote : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(remote) << "no X server with XTest at KAVO_TEST_DISPLAY " << displayName();
    }
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
        TestWindow& wanted = c.expected >= 0 ? *windows[c.expected] : app;
        EXPECT_TRUE(waitUntil([&] { return wanted.focused(); }));
        EXPECT_TRUE(wanted.onTop());
    }

    EXPECT_FALSE(remote->windows().activateApplication()) << "no window set yet";
    TestWindow hidden("SPCPLAY", "SPCPLAY", false);
    auto app = std::make_unique<TestWindow>("KAVO test window", "");
    TestWindow other("Other", "");
    other.focus();
    EXPECT_FALSE(remote->windows().activate("SPCPLAY")) << "a hidden window";
    remote->setApplicationWindow(app->id);
    EXPECT_TRUE(remote->windows().activateApplication());
    EXPECT_TRUE(waitUntil([&] { return app->focused(); }));
    app.reset();
    EXPECT_FALSE(remote->windows().activateApplication()) << "a window gone";
    EXPECT_EQ(x11::Remote::open(":987"), nullptr) << "no such display";
}

// All ones, which the layout answers for a character the keymap lacks, is a real key on X: it
// is never pressed.
TEST_F(X11Remote, TheNoKeyAnswerIsNeverPressed) {
    EXPECT_EQ(remote->layout().vkKeyScan(0xE9), -1);
    EXPECT_EQ(remote->layout().oemKeyScan(0xE9), 0xFFFFFFFFu);
    TestWindow window("", "");
    char down[32];
    remote->injector().inject({0xFF, 0xFF, 0, 0});
    remote->injector().flush();
    XQueryKeymap(window.display_, down);
    remote->injector().inject({0xFF, 0xFF, kKeyEventKeyUp, 0});
    EXPECT_EQ(down[31] & 0x80, 0) << "keycode 255 is down";
}

} // namespace
} // namespace kavo
