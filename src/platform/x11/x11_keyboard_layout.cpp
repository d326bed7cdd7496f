#include "platform/x11/x11_keyboard_layout.h"

#include "platform/x11/xtest_key_injector.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <algorithm>
#include <cstddef>
#include <memory>

namespace kavo::x11 {

namespace {

// Latin-1 characters are their own keysyms; the control characters with a key of their own
// live at 0xFF00 plus the code.
std::optional<KeySym> keysymFor(std::uint8_t c) {
    switch (c) {
    case '\b':
        return XK_BackSpace;
    case '\t':
        return XK_Tab;
    case '\r':
        return XK_Return;
    case 0x1B:
        return XK_Escape;
    case 0x7F:
        return XK_Delete;
    default:
        if ((c >= 0x20 && c < 0x7F) || c >= 0xA0)
            return c;
        return std::nullopt;
    }
}

} // namespace

std::int16_t X11KeyboardLayout::vkKeyScan(std::uint8_t ansiChar) {
    auto keysym = keysymFor(ansiChar);
    auto key = keysym ? find(*keysym) : std::nullopt;
    if (!key)
        return -1;
    return static_cast<std::int16_t>(key->keycode | (key->shift ? 0x100 : 0));
}

std::uint32_t X11KeyboardLayout::oemKeyScan(std::uint16_t oemChar) {
    auto keysym = oemChar <= 0xFF ? keysymFor(static_cast<std::uint8_t>(oemChar)) : std::nullopt;
    auto key = keysym ? find(*keysym) : std::nullopt;
    if (!key)
        return 0xFFFFFFFFu;
    return key->keycode | (key->shift ? 0x10000u : 0u);
}

// Only the Shift key has a meaning here: every other virtual key already is its scan code.
std::uint32_t X11KeyboardLayout::mapVirtualKey(std::uint32_t code, std::uint32_t mapType) {
    if (code != kVkShift || mapType != 0)
        return 0;
    return XKeysymToKeycode(display_, XK_Shift_L);
}

std::optional<X11KeyboardLayout::Key> X11KeyboardLayout::find(KeySym keysym) {
    int minKeycode = 0;
    int maxKeycode = 0;
    XDisplayKeycodes(display_, &minKeycode, &maxKeycode);
    int perKeycode = 0;
    std::unique_ptr<KeySym, int (*)(void*)> map(
        XGetKeyboardMapping(display_, static_cast<KeyCode>(minKeycode), maxKeycode - minKeycode + 1,
                            &perKeycode),
        XFree);
    if (!map || perKeycode < 1)
        return std::nullopt;

    std::optional<Key> shifted;
    // Keycode 255 stands for "no key" in the answers, so a key there cannot be offered.
    for (int keycode = minKeycode; keycode <= std::min(maxKeycode, kNoKey - 1); ++keycode) {
        const KeySym* syms =
            map.get() + static_cast<std::ptrdiff_t>(keycode - minKeycode) * perKeycode;
        KeySym plain = syms[0];
        KeySym upper = perKeycode > 1 ? syms[1] : NoSymbol;
        // A key listing one letter types its upper case with Shift.
        if (upper == NoSymbol)
            XConvertCase(syms[0], &plain, &upper);
        if (plain == keysym && plain != NoSymbol)
            return Key{static_cast<std::uint8_t>(keycode), false};
        if (upper == keysym && upper != NoSymbol && !shifted)
            shifted = Key{static_cast<std::uint8_t>(keycode), true};
    }
    return shifted;
}

} // namespace kavo::x11
