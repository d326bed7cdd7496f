// Texts the remote control cannot type must fail before any key event.
#include "fakes/fakes.h"
#include "remote/control_panel.h"
#include "remote/sendkey.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace kavo {
namespace {

TEST(HostileText, TwoByteCharactersBeyondTheSingleByteRangeOverflow) {
    fake::Layout layout;
    fake::Injector injector;
    // U+0100, U+07FF: two bytes of UTF-8, but no single-byte code.
    for (const char* text : {"\xC4\x80", "\xDF\xBF", "\xC5\x93q"}) {
        EXPECT_THROW(sendkey(text, layout, injector), std::overflow_error) << text;
        EXPECT_TRUE(injector.events.empty());
    }
    // U+00FF is the last character that has one.
    EXPECT_NO_THROW(sendkey("\xC3\xBF", layout, injector));
    EXPECT_EQ(injector.events.size(), 4u);
}

TEST(HostileText, ControlPanelEndsQuietlyOnUntypableText) {
    fake::Layout layout;
    fake::Injector injector;
    fake::Windows windows;
    EXPECT_EQ(pressInPlayer("\xC4\x80", windows, layout, injector), PanelOutcome::SendFailed);
    EXPECT_TRUE(injector.events.empty());
    EXPECT_EQ(windows.log, (std::vector<std::string>{"activate SPCPLAY"}));
}

} // namespace
} // namespace kavo
