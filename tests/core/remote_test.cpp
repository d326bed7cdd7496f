#include "fakes/fakes.h"
#include "remote/control_panel.h"
#include "remote/player_windows.h"
#include "remote/sendkey.h"
#include "remote/us_keyboard.h"
#include "remote/window_title.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <stdexcept>

namespace kavo {

// Each event as virtual key:scan code:flags:extra, after the exception that stopped it if any.
static std::string sent(std::string_view text, KeyboardLayout& layout) {
    fake::Injector injector;
    std::string out;
    try {
        sendkey(text, layout, injector);
    } catch (const std::exception& e) {
        out = dynamic_cast<const std::invalid_argument*>(&e) ? "invalid: "
              : dynamic_cast<const std::overflow_error*>(&e) ? "overflow: "
                                                             : "other: ";
        out += e.what();
    }
    for (const KeyEvent& e : injector.events) {
        char word[32];
        std::snprintf(word, sizeof word, "%s%02X:%02X:%X:%X", out.empty() ? "" : " ", e.virtualKey,
                      e.scanCode, e.flags, e.extraInfo);
        out += word;
    }
    return out;
}

// The fake layout answers as Windows does; the US one by key position, as an emulated PC reads
// set-1 scan codes. Shift is let go before the key; Ctrl and Alt are never pressed.
TEST(Sendkey, EventsOrAFailureBeforeAnyEvent) {
    fake::Layout windows;
    UsPcKeyboard us;
    const std::string absent = "10:2A:0:0 FF:FF:0:0 10:2A:2:0 FF:FF:2:0"; // all ones from both
    const std::tuple<KeyboardLayout*, std::string, std::string> cases[] = {
        {&windows, "q%{F4}", "51:10:0:0 51:10:2:0"},
        {&windows, "+", "10:2A:0:0 BB:0D:0:0 10:2A:2:0 BB:0D:2:0"},
        {&windows, "@", "32:03:0:0 32:03:2:0"},
        {&windows, "~", "10:2A:0:0 C0:29:0:0 10:2A:2:0 C0:29:2:0"},
        {&windows, "#", absent},
        {&windows, "\xC3\xA9", "DE:28:0:0 DE:28:2:0"},
        {&windows, "\xC2\x80", absent}, // the first and last with a single-byte code
        {&windows, "\xC3\xBF", absent},
        {&us, "9", "39:0A:0:0 39:0A:2:0"},
        {&us, "/", "BF:35:0:0 BF:35:2:0"},
        {&us, "+", "10:2A:0:0 BB:0D:0:0 10:2A:2:0 BB:0D:2:0"},
        {&us, "Q", "10:2A:0:0 51:10:0:0 10:2A:2:0 51:10:2:0"},
        {&us, "\xC3\xA9", absent},
        {&windows, "", "invalid: sendkey: empty text"}};
    for (const auto& [layout, text, expected] : cases)
        EXPECT_EQ(sent(text, *layout), expected) << text;
    for (const char* text : {"\xFF", "\xC3", "\xC3q", "\xE2\x82", "\xC1\xBF", "\xF5\x80\x80\x80"})
        EXPECT_EQ(sent(text, windows), "invalid: sendkey: invalid UTF-8") << text;
    // Two bytes but no single-byte code: once cut to a byte ("\xC5\x93" went as S).
    for (const char* text : {"\xE2\x82\xAC", "\xF0\x9F\x8E\xB5", "\xC4\x80", "\xDF\xBF",
                             "\xC5\x93q", "\xE0\xA0\x80", "\xEF\xBF\xBF", "\xF4\x8F\xBF\xBF"})
        EXPECT_EQ(sent(text, windows), "overflow: sendkey: character outside the single-byte range")
            << text;
}

// The keys are flushed before the focus goes back to this program. While a DOS machine of ours
// runs, its window takes the keys and no title is looked at.
TEST(ControlPanel, ButtonsAndClickOutcomes) {
    EXPECT_EQ(digitButtonText(static_cast<std::int16_t>(kPanelButtons[5].index)), "5");
    EXPECT_THROW(digitButtonText(32767), std::overflow_error);
    using enum PanelOutcome;
    const std::string title = "activate SPCPLAY", self = "activate self", own = "activate DOSBox 7";
    const std::tuple<bool, bool, std::string, PanelOutcome, std::vector<std::string>, int,
                     std::optional<std::int64_t>>
        cases[] = {{true, true, "q%{F4}", Sent, {title, self}, 2, {}},
                   {false, true, "5", NoPlayerWindow, {title}, 0, {}},
                   {true, true, "", SendFailed, {title}, 0, {}},
                   {true, false, "+", NotReactivated, {title, self}, 4, {}},
                   {true, true, "5", Sent, {own, self}, 2, 7},
                   {false, true, "5", NoPlayerWindow, {own}, 0, 7}};
    for (const auto& [player, self, text, outcome, log, events, dosMachine] : cases) {
        fake::Windows windows;
        windows.playerPresent = player, windows.selfPresent = self;
        fake::Starter starter;
        starter.dosMachine = dosMachine;
        PlayerWindows playerWindows(windows, starter);
        fake::Layout layout;
        fake::Injector injector;
        EXPECT_EQ(pressInPlayer(text, playerWindows, layout, injector), outcome);
        EXPECT_EQ(windows.log, log);
        EXPECT_EQ(injector.events.size(), events);
        EXPECT_EQ(injector.flushes, events > 0 ? 1 : 0);
    }
}

TEST(WindowTitle, Matches) {
    using enum TitleMatch;
    const std::string dosbox = "DOSBox 0.74-3, Cpu speed:     3000 cycles, Program:  ";
    const std::pair<std::string, TitleMatch> cases[] = {{"SPCPLAY", Exact},
                                                        {"SPCPLAY - song", Prefix},
                                                        {dosbox + "SPCPLAY", DosMachine},
                                                        {dosbox + " spcplay ", DosMachine},
                                                        {dosbox + "SPCPLAYX", NoMatch},
                                                        {dosbox + "DOSBOX", NoMatch},
                                                        {"Editor - Program:  SPCPLAY", NoMatch},
                                                        {"spcplay", NoMatch}};
    for (const auto& [title, expected] : cases)
        EXPECT_EQ(matchTitle(title, "SPCPLAY"), expected) << title;
    EXPECT_LT(DosMachine, Prefix);
}

} // namespace kavo
