#include "fakes/fakes.h"
#include "remote/control_panel.h"
#include "remote/sendkey.h"
#include "remote/us_keyboard.h"
#include "remote/window_title.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <stdexcept>

namespace kavo {
namespace {

// Each event as virtual key:scan code:flags:extra, after the exception that stopped it if any.
std::string sent(std::string_view text, KeyboardLayout& layout) {
    fake::Injector injector;
    std::string out;
    try {
        sendkey(text, layout, injector);
    } catch (const std::invalid_argument& e) {
        out = std::string("invalid: ") + e.what();
    } catch (const std::overflow_error& e) {
        out = std::string("overflow: ") + e.what();
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
    const std::string shiftedAbsent = "10:2A:0:0 FF:FF:0:0 10:2A:2:0 FF:FF:2:0";
    const std::string bad = "invalid: sendkey: invalid UTF-8";
    const std::string wide = "overflow: sendkey: character outside the single-byte range";
    const struct {
        bool us;
        std::string text, sent;
    } cases[] = {{false, "q%{F4}", "51:10:0:0 51:10:2:0"},
                 {false, "+", "10:2A:0:0 BB:0D:0:0 10:2A:2:0 BB:0D:2:0"},
                 {false, "@", "32:03:0:0 32:03:2:0"},
                 {false, "~", "10:2A:0:0 C0:29:0:0 10:2A:2:0 C0:29:2:0"},
                 {false, "#", shiftedAbsent}, // not on the layout: all ones from both lookups
                 {false, "\xC3\xA9", shiftedAbsent},
                 {false, "\xC3\xBF", shiftedAbsent}, // the last with a single-byte code
                 {true, "9", "39:0A:0:0 39:0A:2:0"},
                 {true, "/", "BF:35:0:0 BF:35:2:0"},
                 {true, "+", "10:2A:0:0 BB:0D:0:0 10:2A:2:0 BB:0D:2:0"},
                 {true, "Q", "10:2A:0:0 51:10:0:0 10:2A:2:0 51:10:2:0"},
                 {true, "\xC3\xA9", shiftedAbsent},
                 {false, "", "invalid: sendkey: empty text"},
                 {false, "\xFF", bad},
                 {false, "\xC3", bad},
                 {false, "\xC3q", bad},
                 {false, "\xE2\x82", bad},
                 {false, "\xE2\x82\xAC", wide},
                 {false, "\xF0\x9F\x8E\xB5", wide},
                 // Two bytes but no single-byte code: once cut to a byte ("\xC5\x93" went as S).
                 {false, "\xC4\x80", wide},
                 {false, "\xDF\xBF", wide},
                 {false, "\xC5\x93q", wide}};
    for (const auto& c : cases) {
        fake::Layout windows;
        UsPcKeyboard us;
        EXPECT_EQ(sent(c.text, c.us ? static_cast<KeyboardLayout&>(us) : windows), c.sent)
            << c.text;
    }
}

TEST(ControlPanel, ButtonsAndClickOutcomes) {
    for (std::size_t i = 1; i <= 9; ++i) // the digit buttons send their index plus one
        EXPECT_EQ(digitButtonText(static_cast<std::int16_t>(kPanelButtons[i].index)),
                  kPanelButtons[i].text);
    EXPECT_EQ(kPanelButtons[5].caption, "&5");
    EXPECT_THROW(digitButtonText(32767), std::overflow_error);

    // The keys are flushed before the focus goes back to this program.
    using enum PanelOutcome;
    const struct {
        bool player, self;
        std::string text;
        PanelOutcome outcome;
        std::vector<std::string> log;
        std::size_t events;
        int flushes;
    } cases[] = {{true, true, "q%{F4}", Sent, {"activate SPCPLAY", "activate self"}, 2, 1},
                 {false, true, "5", NoPlayerWindow, {"activate SPCPLAY"}, 0, 0},
                 {true, true, "", SendFailed, {"activate SPCPLAY"}, 0, 0},
                 {true, false, "+", NotReactivated, {"activate SPCPLAY", "activate self"}, 4, 1}};
    for (const auto& c : cases) {
        fake::Windows windows;
        windows.playerPresent = c.player;
        windows.selfPresent = c.self;
        fake::Layout layout;
        fake::Injector injector;
        EXPECT_EQ(pressInPlayer(c.text, windows, layout, injector), c.outcome);
        EXPECT_EQ(windows.log, c.log);
        EXPECT_EQ(injector.events.size(), c.events);
        EXPECT_EQ(injector.flushes, c.flushes);
    }
}

TEST(WindowTitle, Matches) {
    const std::string dosbox = "DOSBox 0.74-3, Cpu speed:     3000 cycles, Program:  ";
    const std::pair<std::string, TitleMatch> cases[] = {
        {"SPCPLAY", TitleMatch::Exact},
        {"SPCPLAY - song", TitleMatch::Prefix},
        {dosbox + "SPCPLAY", TitleMatch::DosMachine},
        {dosbox + "spcplay ", TitleMatch::DosMachine},
        {dosbox + "SPCPLAYX", TitleMatch::NoMatch},
        {dosbox + "DOSBOX", TitleMatch::NoMatch},
        {"Editor - Program:  SPCPLAY", TitleMatch::NoMatch},
        {"spcplay", TitleMatch::NoMatch}};
    for (const auto& [title, expected] : cases)
        EXPECT_EQ(matchTitle(title, "SPCPLAY"), expected) << title;
    EXPECT_LT(TitleMatch::DosMachine, TitleMatch::Prefix);
}

} // namespace
} // namespace kavo
