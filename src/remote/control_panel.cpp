#include "remote/control_panel.h"

#include "launch/player.h"
#include "remote/sendkey.h"

#include <exception>
#include <limits>
#include <stdexcept>

namespace kavo {

std::string digitButtonText(std::int16_t index) {
    if (index == std::numeric_limits<std::int16_t>::max())
        throw std::overflow_error("digit button index overflows");
    return std::to_string(index + 1);
}

PanelOutcome pressInPlayer(std::string_view text, WindowActivator& windows, KeyboardLayout& layout,
                           KeyInjector& injector) {
    // Before the player has the keyboard: it would take a held modifier's release for input.
    injector.releaseModifiers();
    if (!windows.activate(kPlayerWindowTitle))
        return PanelOutcome::NoPlayerWindow;
    try {
        sendkey(text, layout, injector);
        // The keys must reach the player before the focus goes back to the front end.
        injector.flush();
    } catch (const std::exception&) {
        return PanelOutcome::SendFailed;
    }
    return windows.activateApplication() ? PanelOutcome::Sent : PanelOutcome::NotReactivated;
}

} // namespace kavo
