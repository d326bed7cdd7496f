#include "launch/player.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_keyboard.h"
#include "platform/win32/win32_window_activator.h"
#include "remote/control_panel.h"
#include "remote/sendkey.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace kavo {
namespace {

std::vector<std::string> keysReachingFrontEnd;

LRESULT CALLBACK frontEndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_KEYFIRST && message <= WM_KEYLAST)
        keysReachingFrontEnd.push_back(std::to_string(message) + " " + std::to_string(wParam));
    return DefWindowProcW(window, message, wParam, lParam);
}

// The front end's side: a window of this process.
class FrontEndWindow {
public:
    explicit FrontEndWindow(const wchar_t* title) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = frontEndProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KavoTestFrontEnd";
        RegisterClassW(&windowClass);
        handle = CreateWindowW(windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW, 0, 0, 400,
                               300, nullptr, nullptr, windowClass.hInstance, nullptr);
        ShowWindow(handle, SW_SHOWNORMAL);
        keysReachingFrontEnd.clear();
    }
    FrontEndWindow(const FrontEndWindow&) = delete;
    FrontEndWindow& operator=(const FrontEndWindow&) = delete;
    ~FrontEndWindow() { DestroyWindow(handle); }

    HWND handle = nullptr;
};

// The player's side: a window in a process of its own that logs the keys it receives.
class PlayerWindow {
public:
    PlayerWindow(const test::TempDir& dir, const std::string& title)
        : log_(dir.path("keys " + std::to_string(++count_) + ".log")) {
        SetEnvironmentVariableW(L"KAVO_PROBE_LOG", test::fsPath(log_).c_str());
        SetEnvironmentVariableW(L"KAVO_PROBE_TITLE", win32::toWide(title)->c_str());
        std::wstring program = *win32::toWide(test::builtProgram("kavo_probe_key_window.exe"));
        std::wstring commandLine = L"probe";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &startup, &process_)) {
            CloseHandle(process_.hThread);
            test::waitFor([this] { return (handle = find()) != nullptr; });
        }
    }
    PlayerWindow(const PlayerWindow&) = delete;
    PlayerWindow& operator=(const PlayerWindow&) = delete;
    ~PlayerWindow() { close(); }

    // Lines "down|up VK SCAN" logged so far.
    std::vector<std::string> keys() const {
        std::vector<std::string> lines;
        std::istringstream in(test::readFile(log_));
        for (std::string line; std::getline(in, line);)
            if (!line.starts_with("cmd "))
                lines.push_back(line);
        return lines;
    }

    // Ends the process; what it logged stays readable.
    void close() {
        if (process_.hProcess == nullptr)
            return;
        if (handle != nullptr)
            PostMessageW(handle, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0)
            TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hProcess);
        process_.hProcess = nullptr;
        handle = nullptr;
    }

    HWND handle = nullptr;

private:
    HWND find() const {
        struct Search {
            DWORD process;
            HWND found;
        } search{process_.dwProcessId, nullptr};
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto& s = *reinterpret_cast<Search*>(data); // NOLINT(performance-no-int-to-ptr)
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner != s.process || !IsWindowVisible(window))
                    return TRUE;
                s.found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    static inline int count_ = 0;
    std::string log_;
    PROCESS_INFORMATION process_{};
};

std::string logLine(const KeyEvent& event) {
    return std::string(event.flags & kKeyEventKeyUp ? "up " : "down ") +
           std::to_string(event.virtualKey) + " " + std::to_string(event.scanCode);
}

class PlayerRemoteTest : public ::testing::Test {
protected:
    static constexpr const wchar_t* kFrontEndTitle = L"KAVO FE under test";
    test::TempDir dir;
    FrontEndWindow frontEnd{kFrontEndTitle};
    Win32WindowActivator windows{"KAVO FE under test"};
    Win32KeyboardLayout layout;
    Win32KeyInjector injector;

    void SetUp() override { ASSERT_TRUE(windows.activateApplication()); }
    bool frontEndActive() const { return GetForegroundWindow() == frontEnd.handle; }
};

TEST_F(PlayerRemoteTest, EveryPanelButtonPressesItsKeyInThePlayerAndComesBack) {
    PlayerWindow player(dir, std::string(kPlayerWindowTitle));
    ASSERT_NE(player.handle, nullptr);
    ASSERT_TRUE(windows.activateApplication());

    std::vector<std::string> expected;
    bool someNeedShift = false;
    for (const PanelButton& button : kPanelButtons) {
        const auto events = keyEventsFor(button.text, layout);
        someNeedShift = someNeedShift || events.size() == 4;
        for (const KeyEvent& event : events)
            expected.push_back(logLine(event));

        ASSERT_EQ(pressInPlayer(button.text, windows, layout, injector), PanelOutcome::Sent)
            << button.caption;
        EXPECT_TRUE(frontEndActive()) << button.caption;
        test::waitFor([&] { return player.keys().size() >= expected.size(); }, 5000);
    }
    test::waitFor([] { return false; }, 300);
    player.close();
    EXPECT_EQ(player.keys(), expected);
    EXPECT_TRUE(keysReachingFrontEnd.empty());
    // The US layout types "+" with Shift: the four-event form was exercised.
    EXPECT_TRUE(someNeedShift);
}

TEST_F(PlayerRemoteTest, WithoutAPlayerNothingIsPressedAndTheFrontEndStaysActive) {
    EXPECT_EQ(pressInPlayer("q%{F4}", windows, layout, injector), PanelOutcome::NoPlayerWindow);
    test::waitFor([] { return false; }, 300);
    EXPECT_TRUE(frontEndActive());
    EXPECT_TRUE(keysReachingFrontEnd.empty());
}

TEST_F(PlayerRemoteTest, ExactTitleWinsOverABeginningAndCaseIsIgnored) {
    PlayerWindow longer(dir, "SPCPLAY - Track One");
    ASSERT_NE(longer.handle, nullptr);
    EXPECT_TRUE(windows.activate("SPCPLAY"));
    EXPECT_EQ(GetForegroundWindow(), longer.handle);

    PlayerWindow exact(dir, "SPCPLAY");
    ASSERT_NE(exact.handle, nullptr);
    struct Case {
        const char* title;
        HWND window;
    };
    const Case cases[] = {
        {"SPCPLAY", exact.handle},      {"spcplay", exact.handle},
        {"SPCPLAY - T", longer.handle}, {"spcplay - track one", longer.handle},
        {"SPCPLAYER", nullptr},         {"", nullptr},
        {"Track One", nullptr},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(windows.activateApplication());
        EXPECT_EQ(windows.activate(c.title), c.window != nullptr) << c.title;
        EXPECT_EQ(GetForegroundWindow(), c.window != nullptr ? c.window : frontEnd.handle)
            << c.title;
    }
}

TEST_F(PlayerRemoteTest, ApplicationTitleFindsOnlyThisProgramsWindow) {
    PlayerWindow stranger(dir, "KAVO FE elsewhere");
    ASSERT_NE(stranger.handle, nullptr);
    Win32WindowActivator other("KAVO FE elsewhere");
    EXPECT_FALSE(other.activateApplication());
    other.setApplicationTitle("KAVO FE under");
    EXPECT_TRUE(other.activateApplication());
    EXPECT_TRUE(frontEndActive());
    other.setApplicationTitle("");
    EXPECT_FALSE(other.activateApplication());
}

TEST(Win32KeyboardLayout, UsLayoutGivesThePcKeyboardsKeys) {
    // The throw-away prefix the tests run in has the US layout, ANSI code page 1252 and OEM 437.
    Win32KeyboardLayout layout;
    using Events = std::vector<KeyEvent>;
    EXPECT_EQ(keyEventsFor("q", layout), (Events{{0x51, 0x10, 0, 0}, {0x51, 0x10, 2, 0}}));
    EXPECT_EQ(keyEventsFor("5", layout), (Events{{0x35, 0x06, 0, 0}, {0x35, 0x06, 2, 0}}));
    EXPECT_EQ(keyEventsFor("-", layout), (Events{{0xBD, 0x0C, 0, 0}, {0xBD, 0x0C, 2, 0}}));
    EXPECT_EQ(keyEventsFor("+", layout),
              (Events{{16, 0x2A, 0, 0}, {0xBB, 0x0D, 0, 0}, {16, 0x2A, 2, 0}, {0xBB, 0x0D, 2, 0}}));
    // A byte above 127 keeps its value on the way: e acute is 0xE9 in ANSI, 0x82 in OEM.
    EXPECT_EQ(layout.charToOem(0xE9), 0x82);
    EXPECT_EQ(layout.charToOem(0), 0);
}

} // namespace
} // namespace kavo
