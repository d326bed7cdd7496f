#include "platform/x11/xtest_key_injector.h"

#include "platform/x11/error_trap.h"

#include <X11/extensions/XTest.h>
#include <algorithm>
#include <iterator>

namespace kavo::x11 {

void XTestKeyInjector::inject(const KeyEvent& event) {
    int minKeycode = 0;
    int maxKeycode = 0;
    XDisplayKeycodes(display_, &minKeycode, &maxKeycode);
    // The server refuses keycodes outside its range. 255 is the "no key" answer for a
    // character the keymap lacks; on X it is a real key (often RFKill), so it is never pressed.
    // Nothing else makes the server refuse a key, so no error is waited for: flush() makes the
    // only round trip of a click's keys.
    if (event.scanCode < minKeycode || event.scanCode > maxKeycode || event.scanCode == kNoKey)
        return;
    XTestFakeKeyEvent(display_, event.scanCode, (event.flags & kKeyEventKeyUp) ? False : True,
                      CurrentTime);
}

// The modifier map is asked for only when some key is down: a round trip saved on most clicks.
void XTestKeyInjector::releaseModifiers() {
    char down[32] = {};
    XQueryKeymap(display_, down);
    if (std::all_of(std::begin(down), std::end(down), [](char bits) { return bits == 0; }))
        return;
    XModifierKeymap* map = XGetModifierMapping(display_);
    if (map == nullptr)
        return;
    ErrorTrap trap(display_);
    for (int i = 0; i < 8 * map->max_keypermod; ++i) {
        const KeyCode code = map->modifiermap[i];
        if (code != 0 && (down[code / 8] & (1 << (code % 8))) != 0)
            XTestFakeKeyEvent(display_, code, False, CurrentTime);
    }
    XFreeModifiermap(map);
}

void XTestKeyInjector::flush() {
    sync(display_);
}

} // namespace kavo::x11
