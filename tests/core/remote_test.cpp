#include "fakes/fakes.h"
#include "remote/control_panel.h"
#include "remote/sendkey.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace kavo {
namespace {

constexpr std::uint32_t kUp = kKeyEventKeyUp;

TEST(Sendkey, EventSequences) {
    const struct {
        std::string text;
        std::vector<KeyEvent> events;
    } cases[] = {
        {"q%{F4}", {{0x51, 0x10, 0, 0}, {0x51, 0x10, kUp, 0}}},
        {"10", {{0x31, 0x02, 0, 0}, {0x31, 0x02, kUp, 0}}},
        {"-", {{0xBD, 0x0C, 0, 0}, {0xBD, 0x0C, kUp, 0}}},
        // Shift is let go before the key.
        {"+", {{16, 0x2A, 0, 0}, {0xBB, 0x0D, 0, 0}, {16, 0x2A, kUp, 0}, {0xBB, 0x0D, kUp, 0}}},
        {"!", {{16, 0x2A, 0, 0}, {0x31, 0x02, 0, 0}, {16, 0x2A, kUp, 0}, {0x31, 0x02, kUp, 0}}},
        // Ctrl and Alt are never pressed.
        {"@", {{0x32, 0x03, 0, 0}, {0x32, 0x03, kUp, 0}}},
        {"~", {{16, 0x2A, 0, 0}, {0xC0, 0x29, 0, 0}, {16, 0x2A, kUp, 0}, {0xC0, 0x29, kUp, 0}}},
        // Not on the layout: all ones from both lookups.
        {"#", {{16, 0x2A, 0, 0}, {255, 255, 0, 0}, {16, 0x2A, kUp, 0}, {255, 255, kUp, 0}}},
        {"\xC3\xA9", {{16, 0x2A, 0, 0}, {255, 255, 0, 0}, {16, 0x2A, kUp, 0}, {255, 255, kUp, 0}}},
    };
    for (const auto& c : cases) {
        fake::Layout layout;
        fake::Injector injector;
        sendkey(c.text, layout, injector);
        EXPECT_EQ(injector.events, c.events) << "text '" << c.text << "'";
    }
}

TEST(Sendkey, FailsBeforeAnyEvent) {
    fake::Layout layout;
    fake::Injector injector;
    EXPECT_THROW(sendkey("", layout, injector), std::invalid_argument);
    EXPECT_THROW(sendkey("\xE2\x82\xAC", layout, injector), std::overflow_error); // euro sign
    EXPECT_THROW(sendkey("\xF0\x9F\x8E\xB5", layout, injector), std::overflow_error);
    EXPECT_THROW(sendkey("\xFF", layout, injector), std::invalid_argument);
    EXPECT_THROW(sendkey("\xC3", layout, injector), std::invalid_argument);
    // Two UTF-8 bytes but no single-byte code: once truncated to one byte ("\xC5\x93" went as S).
    for (const char* text : {"\xC4\x80", "\xDF\xBF", "\xC5\x93q"})
        EXPECT_THROW(sendkey(text, layout, injector), std::overflow_error) << text;
    EXPECT_TRUE(injector.events.empty());
    sendkey("\xC3\xBF", layout, injector); // U+00FF is the last that has one
    EXPECT_EQ(injector.events.size(), 4u);
}

TEST(ControlPanel, DigitButtonsSendTheirIndexPlusOne) {
    for (const PanelButton& button : kPanelButtons) {
        if (button.index >= 0) {
            EXPECT_EQ(digitButtonText(static_cast<std::int16_t>(button.index)), button.text);
        }
    }
    EXPECT_EQ(kPanelButtons[5].caption, "&5");
    EXPECT_EQ(kPanelButtons[5].index, 4);
    EXPECT_THROW(digitButtonText(32767), std::overflow_error);
}

TEST(ControlPanel, ClickOutcomes) {
    const struct {
        bool player, self;
        std::string text;
        PanelOutcome outcome;
        std::vector<std::string> log;
        std::size_t events;
    } cases[] = {
        {true, true, "q%{F4}", PanelOutcome::Sent, {"activate SPCPLAY", "activate self"}, 2},
        {false, true, "5", PanelOutcome::NoPlayerWindow, {"activate SPCPLAY"}, 0},
        {true, true, "", PanelOutcome::SendFailed, {"activate SPCPLAY"}, 0},
        {true, false, "+", PanelOutcome::NotReactivated, {"activate SPCPLAY", "activate self"}, 4},
    };
    for (const auto& c : cases) {
        fake::Windows windows;
        windows.playerPresent = c.player;
        windows.selfPresent = c.self;
        fake::Layout layout;
        fake::Injector injector;
        EXPECT_EQ(pressInPlayer(c.text, windows, layout, injector), c.outcome);
        EXPECT_EQ(windows.log, c.log);
        EXPECT_EQ(injector.events.size(), c.events);
        // Delivery is made certain before the focus goes back.
        EXPECT_EQ(injector.flushes,
                  c.outcome == PanelOutcome::Sent || c.outcome == PanelOutcome::NotReactivated ? 1
                                                                                               : 0);
    }
}

} // namespace
} // namespace kavo
