#include "platform/x11/x11_remote.h"
#include "remote/control_panel.h"
#include "remote/sendkey.h"
#include "x11/x11_fixture.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>

namespace kavo::test {
namespace {

// Key lines of the stand-in's log after the first `from` lines.
std::vector<std::string> keysAfter(const std::vector<std::string>& log, std::size_t from) {
    std::vector<std::string> keys;
    for (std::size_t i = from; i < log.size(); ++i)
        if (log[i].starts_with("press ") || log[i].starts_with("release "))
            keys.push_back(log[i]);
    return keys;
}

// True once the player has logged `count` keys after `from` and then lost the focus: the keys
// arrived while it still held it.
bool keysThenFocusOut(const std::vector<std::string>& log, std::size_t from, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t i = from; i < log.size(); ++i) {
        if (log[i].starts_with("press ") || log[i].starts_with("release "))
            ++seen;
        else if (log[i] == "focus-out" && seen >= count)
            return true;
    }
    return false;
}

// Parameter: whether a window manager runs.
class X11RemoteTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (GetParam())
            windowManager_ = std::make_unique<WindowManager>();
        remote_ = x11::Remote::open(testDisplay().c_str());
        ASSERT_TRUE(remote_) << "no X display or no XTest at " << testDisplay();
    }

    PanelOutcome press(std::string_view text) {
        return pressInPlayer(text, remote_->windows(), remote_->layout(), remote_->injector());
    }

    std::unique_ptr<WindowManager> windowManager_; // outlives the windows
    std::unique_ptr<x11::Remote> remote_;
};

INSTANTIATE_TEST_SUITE_P(WindowManager, X11RemoteTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Openbox" : "None"; });

struct ActivationCase {
    const char* name;
    std::vector<TestWindow::Titles> windows; // bottom to top
    int expected;                            // index of the window activated, -1 none
};

TEST_P(X11RemoteTest, ActivatesByExactTitleElseByPrefix) {
    const ActivationCase cases[] = {
        {"exact title", {{"SPCPLAY", "SPCPLAY"}}, 0},
        {"exact beats a prefix above it", {{"SPCPLAY", "SPCPLAY"}, {"SPCPLAY - x", ""}}, 0},
        {"prefix when nothing is exact", {{"Other", "Other"}, {"SPCPLAY.EXE", ""}}, 1},
        {"topmost of two exact", {{"SPCPLAY", ""}, {"SPCPLAY", ""}}, 1},
        {"WM_NAME alone", {{"SPCPLAY", ""}}, 0},
        {"_NET_WM_NAME alone", {{"", "SPCPLAY"}}, 0},
        {"_NET_WM_NAME wins over WM_NAME", {{"SPCPLAY", "Other"}}, -1},
        {"letter case counts", {{"spcplay", "spcplay"}, {"SPCPLAy", ""}}, -1},
        {"the title must begin with it", {{"My SPCPLAY", "My SPCPLAY"}}, -1},
        {"an untitled window", {{"", ""}}, -1},
        {"no window at all", {}, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::unique_ptr<TestWindow>> windows;
        std::ranges::transform(c.windows, std::back_inserter(windows), [](const auto& titles) {
            return std::make_unique<TestWindow>(titles);
        });
        TestWindow app({"KAVO test window", "KAVO test window"}); // mapped last: the WM focuses it
        app.focus();

        EXPECT_EQ(remote_->windows().activate("SPCPLAY"), c.expected >= 0);
        Window wanted = c.expected >= 0 ? windows[c.expected]->id() : app.id();
        EXPECT_TRUE(waitUntil([&] { return focusedWindow() == wanted; }))
            << "focus on 0x" << std::hex << focusedWindow() << ", wanted 0x" << wanted;
        if (c.expected >= 0) {
            EXPECT_TRUE(waitUntil([&] { return onTop(wanted); })) << "not raised";
        }
    }
}

TEST_P(X11RemoteTest, UnmappedWindowIsNotActivated) {
    TestWindow hidden({"SPCPLAY", "SPCPLAY"}, false);
    TestWindow app({"KAVO test window", ""});
    app.focus();
    EXPECT_FALSE(remote_->windows().activate("SPCPLAY"));
    EXPECT_EQ(focusedWindow(), app.id());
}

TEST_P(X11RemoteTest, ApplicationWindowIsActivatedAgainUnlessGone) {
    EXPECT_FALSE(remote_->windows().activateApplication()) << "no window set yet";
    Window gone = 0;
    {
        TestWindow app({"KAVO test window", ""});
        gone = app.id();
        TestWindow other({"Other", ""});
        other.focus();
        remote_->setApplicationWindow(app.id());
        EXPECT_TRUE(remote_->windows().activateApplication());
        EXPECT_TRUE(waitUntil([&] { return focusedWindow() == app.id(); }));
    }
    remote_->setApplicationWindow(gone);
    EXPECT_FALSE(remote_->windows().activateApplication());
}

struct KeysCase {
    const char* text;
    std::vector<std::string> keys; // as the stand-in logs them, US keymap
};

TEST_P(X11RemoteTest, PanelKeysReachThePlayerBeforeTheFocusComesBack) {
    StandIn player;
    TestWindow app({"KAVO test window", "KAVO test window"});
    app.focus();
    remote_->setApplicationWindow(app.id());

    const KeysCase cases[] = {
        {"q%{F4}", {"press q shift=0 keycode=24", "release q shift=0 keycode=24"}},
        {"5", {"press 5 shift=0 keycode=14", "release 5 shift=0 keycode=14"}},
        // Shift goes up before the key, so its release reads unshifted.
        {"+",
         {"press Shift_L shift=0 keycode=50", "press plus shift=1 keycode=21",
          "release Shift_L shift=1 keycode=50", "release equal shift=0 keycode=21"}},
        {"-", {"press minus shift=0 keycode=20", "release minus shift=0 keycode=20"}},
        // Not on the keymap: all ones, so Shift and keycode 255, which is never pressed.
        {"\xC3\xA9", {"press Shift_L shift=0 keycode=50", "release Shift_L shift=1 keycode=50"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto from = player.log().size();
        EXPECT_EQ(press(c.text), PanelOutcome::Sent);
        EXPECT_TRUE(waitUntil([&] { return focusedWindow() == app.id(); }))
            << "focus on 0x" << std::hex << focusedWindow();
        EXPECT_TRUE(waitUntil([&] { return keysThenFocusOut(player.log(), from, c.keys.size()); }));
        EXPECT_EQ(keysAfter(player.log(), from), c.keys);
        EXPECT_EQ(app.takeKeyEvents(), 0) << "keys reached the front end";
    }
}

TEST_P(X11RemoteTest, KeycodesOutsideTheRangeAndTheNoKeyMarkAreDropped) {
    StandIn player;
    TestWindow app({"KAVO test window", ""});
    app.focus();
    remote_->setApplicationWindow(app.id());
    const auto from = player.log().size();
    ASSERT_TRUE(remote_->windows().activate("SPCPLAY"));
    for (std::uint8_t outside : {0, 255}) {
        remote_->injector().inject({outside, outside, 0, 0});
        remote_->injector().inject({outside, outside, kKeyEventKeyUp, 0});
    }
    sendkey("q", remote_->layout(), remote_->injector());
    remote_->injector().flush();
    ASSERT_TRUE(remote_->windows().activateApplication());
    EXPECT_TRUE(waitUntil([&] { return keysThenFocusOut(player.log(), from, 2); }));
    EXPECT_EQ(
        keysAfter(player.log(), from),
        (std::vector<std::string>{"press q shift=0 keycode=24", "release q shift=0 keycode=24"}));
}

TEST(X11Remote, NoDisplayGivesNoRemote) {
    EXPECT_EQ(x11::Remote::open(":987"), nullptr);
}

// US keymap of the test server: keycode in the low byte, Shift as 0x100 (0x10000 for the scan).
TEST(X11Layout, AnswersFromTheKeymap) {
    auto remote = x11::Remote::open(testDisplay().c_str());
    ASSERT_TRUE(remote);
    auto& layout = remote->layout();
    struct Case {
        std::uint8_t c;
        std::int16_t vk;
    };
    const Case cases[] = {
        {'q', 24},         {'Q', 24 | 0x100}, {'5', 14},  {'1', 10},         {'!', 10 | 0x100},
        {'+', 21 | 0x100}, {'=', 21},         {'-', 20},  {'_', 20 | 0x100}, {' ', 65},
        {'\r', 36},        {'\t', 23},        {0xE9, -1}, {0x01, -1},        {0x80, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.c));
        EXPECT_EQ(layout.vkKeyScan(c.c), c.vk);
        const std::uint32_t scan =
            c.vk < 0 ? 0xFFFFFFFFu : (c.vk & 0xFF) | ((c.vk & 0x100) ? 0x10000u : 0u);
        EXPECT_EQ(layout.oemKeyScan(layout.charToOem(c.c)), scan);
    }
    EXPECT_EQ(layout.oemKeyScan(0x171), 0xFFFFFFFFu) << "beyond one byte";
    EXPECT_EQ(layout.mapVirtualKey(kVkShift, 0), 50u);
    EXPECT_EQ(layout.mapVirtualKey(kVkShift, 1), 0u) << "only virtual key to scan code";
}

} // namespace
} // namespace kavo::test
