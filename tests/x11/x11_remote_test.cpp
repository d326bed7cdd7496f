// The X11 remote against the private Xvfb test.sh starts, with no window manager (the
// real-window runs cover one). The title rules themselves are the core's.
#include "platform/x11/x11_remote.h"
#include "remote/control_panel.h"
#include "remote/keyboard.h"

#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
// After GoogleTest, whose names Xlib's macros (None, Bool) would break.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace kavo {
namespace {

using namespace std::chrono_literals;

// Never the user's display: without one of its own the test fails.
const char* displayName() {
    const char* name = std::getenv("KAVO_TEST_DISPLAY"); // NOLINT(concurrency-mt-unsafe)
    return name && *name ? name : "none";
}

// A top-level window on a connection of its own, titled by WM_NAME and _NET_WM_NAME ("" reads
// as none).
struct TestWindow {
    enum Shown { Hidden, Mapped, Focused };
    TestWindow(const char* wmName, const char* netWmName, Shown shown = Mapped, long pid = 0)
        : display(XOpenDisplay(displayName())),
          id(XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 99, 99, 0, 0, 0)) {
        XStoreName(display, id, wmName);
        XChangeProperty(display, id, XInternAtom(display, "_NET_WM_NAME", False),
                        XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(netWmName),
                        static_cast<int>(std::strlen(netWmName)));
        if (pid != 0)
            setPid(pid);
        if (shown != Hidden)
            XMapWindow(display, id);
        if (shown == Focused)
            XSetInputFocus(display, id, RevertToParent, CurrentTime);
        XSync(display, False);
    }
    void setPid(long pid) {
        XChangeProperty(display, id, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                        PropModeReplace, reinterpret_cast<unsigned char*>(&pid), 1);
        XSync(display, False);
    }
    // Gone before the next test looks: closing makes a round trip.
    ~TestWindow() {
        XDestroyWindow(display, id);
        XCloseDisplay(display);
    }

    // Focused within five seconds (the server moves the focus when it gets to the request), and
    // the topmost child of the root.
    bool active() {
        Window focus = 0, root = 0, parent = 0, *children = nullptr;
        int revert = 0;
        for (int i = 0; i < 500 && focus != id; ++i)
            std::this_thread::sleep_for(10ms), XGetInputFocus(display, &focus, &revert);
        unsigned int count = 0;
        XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
        const bool top = count > 0 && children[count - 1] == id;
        XFree(children);
        return focus == id && top;
    }
    Display* display;
    const Window id;
};

TEST(X11Remote, ActivatesByTitleByProcessOrTheAppAndPressesOnlyPlainRealKeys) {
    auto remote = x11::Remote::open(displayName());
    ASSERT_TRUE(remote) << "no X server with XTest at KAVO_TEST_DISPLAY " << displayName();
    // What is checked, the windows' WM_NAME and _NET_WM_NAME from bottom to top, and the index
    // of the one activated (-1: none).
    using Titles = std::vector<std::pair<const char*, const char*>>;
    const std::tuple<const char*, Titles, int> cases[] = {
        {"exact beats a prefix above it", {{"SPCPLAY", "SPCPLAY"}, {"SPCPLAY - x", ""}}, 0},
        {"prefix when nothing is exact", {{"Other", "Other"}, {"SPCPLAY.EXE", ""}}, 1},
        {"topmost of two, WM_NAME alone", {{"SPCPLAY", ""}, {"SPCPLAY", ""}}, 1},
        {"_NET_WM_NAME alone", {{"", "SPCPLAY"}}, 0},
        {"_NET_WM_NAME wins over WM_NAME", {{"SPCPLAY", "Other"}}, -1},
        {"an untitled window", {{"", ""}}, -1}};
    for (const auto& [name, titles, expected] : cases) {
        SCOPED_TRACE(name);
        std::vector<std::unique_ptr<TestWindow>> windows;
        for (const auto& [wmName, netWmName] : titles)
            windows.push_back(std::make_unique<TestWindow>(wmName, netWmName));
        TestWindow app("KAVO test window", "", TestWindow::Focused);
        EXPECT_EQ(remote->windows().activate("SPCPLAY"), expected >= 0);
        TestWindow& wanted = expected >= 0 ? *windows[expected] : app;
        EXPECT_TRUE(wanted.active());
    }

    EXPECT_FALSE(remote->windows().activateApplication()) << "no window set yet";
    TestWindow hidden("SPCPLAY", "SPCPLAY", TestWindow::Hidden);
    auto app = std::make_unique<TestWindow>("KAVO test window", "");
    TestWindow other("Other", "", TestWindow::Focused);
    EXPECT_FALSE(remote->windows().activate("SPCPLAY")) << "a hidden window";
    remote->setApplicationWindow(app->id);
    EXPECT_TRUE(remote->windows().activateApplication() && app->active());
    app.reset();
    EXPECT_FALSE(remote->windows().activateApplication()) << "a window gone";

    // All ones, which the layout answers for a character the keymap lacks, is a real key on X:
    // it is never pressed.
    EXPECT_EQ(remote->layout().vkKeyScan(0xE9), -1);
    EXPECT_EQ(remote->layout().oemKeyScan(0xE9), 0xFFFFFFFFu);
    char down[32];
    remote->injector().inject({0xFF, 0xFF, 0, 0});
    remote->injector().flush();
    XQueryKeymap(other.display, down);
    remote->injector().inject({0xFF, 0xFF, kKeyEventKeyUp, 0});
    EXPECT_EQ(down[31] & 0x80, 0) << "keycode 255 is down";

    // A DOS machine's window by its process, never a better-titled stranger's; the remembered
    // window serves only while it is still that process's, and one destroyed or hidden meanwhile
    // is looked for again.
    WindowActivator& windows = remote->windows();
    TestWindow decoy("SPCPLAY", "SPCPLAY"), hiddenDos("DOSBox", "", TestWindow::Hidden, 43);
    auto dosbox = std::make_unique<TestWindow>("DOSBox", "", TestWindow::Mapped, 42);
    auto focused = std::make_unique<TestWindow>("Other", "", TestWindow::Focused);
    EXPECT_TRUE(windows.activateDosMachine(42) && windows.activatedDosMachine() &&
                dosbox->active());
    EXPECT_FALSE(windows.activateDosMachine(43) || windows.activatedDosMachine());
    dosbox->setPid(44);
    EXPECT_FALSE(windows.activateDosMachine(42)) << "remembered, but no longer that process's";
    dosbox->setPid(42);
    EXPECT_TRUE(windows.activateDosMachine(42));
    dosbox = std::make_unique<TestWindow>("DOSBox", "", TestWindow::Mapped, 42);
    focused = std::make_unique<TestWindow>("Other", "", TestWindow::Focused);
    EXPECT_TRUE(windows.activateDosMachine(42) && dosbox->active());
    XUnmapWindow(dosbox->display, dosbox->id), XSync(dosbox->display, False);
    EXPECT_FALSE(windows.activateDosMachine(42)) << "remembered, but hidden since";

    // A modifier the user still holds, as after an access key, is let go before the player (the
    // topmost of its title) gets the keys: they arrive plain, with Shift only where the
    // character needs it ("+").
    TestWindow player("SPCPLAY", "SPCPLAY");
    XSelectInput(player.display, player.id, KeyPressMask), XSync(player.display, False);
    app = std::make_unique<TestWindow>("KAVO test window", "", TestWindow::Focused);
    remote->setApplicationWindow(app->id);
    for (const char* held : {"Alt_L", "Control_R", "Shift_L", "Super_L"}) {
        const KeyCode code = XKeysymToKeycode(app->display, XStringToKeysym(held));
        XTestFakeKeyEvent(app->display, code, True, CurrentTime), XSync(app->display, False);
        EXPECT_EQ(pressInPlayer("+", windows, remote->layout(), remote->injector()),
                  PanelOutcome::Sent);
        XTestFakeKeyEvent(app->display, code, False, CurrentTime);
        std::vector<unsigned> states; // of Shift, then "="
        XSync(player.display, False);
        for (XEvent event; XCheckWindowEvent(player.display, player.id, KeyPressMask, &event);)
            states.push_back(event.xkey.state & (ShiftMask | ControlMask | Mod1Mask | Mod4Mask));
        EXPECT_EQ(states, (std::vector<unsigned>{0, ShiftMask})) << held;
    }
}

} // namespace
} // namespace kavo
