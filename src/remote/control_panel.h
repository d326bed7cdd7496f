#pragma once

#include "remote/keyboard.h"
#include "remote/window_activator.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kavo {

struct PanelButton {
    std::string_view name; // control name; the digit array members share "Command2"
    int index;             // member index within Command2, -1 for the others
    std::string_view caption;
    int left, top, width, height; // twips within the frame
    int tabIndex;
    std::string_view text; // passed to sendkey
};

inline constexpr std::string_view kPanelCaption = "SPCPlay Controls";

inline constexpr std::array<PanelButton, 12> kPanelButtons{{
    {"Command1", -1, "&Stop Playing", 120, 240, 1335, 255, 7, "q%{F4}"},
    {"Command2", 0, "&1", 120, 600, 255, 255, 8, "1"},
    {"Command2", 1, "&2", 480, 600, 255, 255, 9, "2"},
    {"Command2", 2, "&3", 840, 600, 255, 255, 10, "3"},
    {"Command2", 3, "&4", 1200, 600, 255, 255, 11, "4"},
    {"Command2", 4, "&5", 120, 960, 255, 255, 12, "5"},
    {"Command2", 5, "&6", 480, 960, 255, 255, 13, "6"},
    {"Command2", 6, "&7", 840, 960, 255, 255, 14, "7"},
    {"Command2", 7, "&8", 1200, 960, 255, 255, 15, "8"},
    {"Command2", 8, "&9", 300, 1320, 255, 255, 16, "9"},
    {"Command3", -1, "&+", 660, 1320, 255, 255, 17, "+"},
    {"Command4", -1, "&-", 1040, 1320, 255, 255, 18, "-"},
}};

// Text a digit-array member sends: its index plus one. Throws std::overflow_error when the
// addition leaves the signed 16-bit range.
std::string digitButtonText(std::int16_t index);

enum class PanelOutcome { Sent, NoPlayerWindow, SendFailed, NotReactivated };

// Releases the modifiers the user holds, activates the player's window, presses the first
// character of text there, and gives the front end the focus back. Any failure ends the click
// quietly.
PanelOutcome pressInPlayer(std::string_view text, WindowActivator& windows, KeyboardLayout& layout,
                           KeyInjector& injector);

} // namespace kavo
