#pragma once

#include "launch/process_starter.h"
#include "remote/window_activator.h"

namespace kavo {

// The player's window for the panel. While an emulated DOS machine this program started runs,
// it is that machine's window (the one started last), whatever other windows are called: a
// text editor showing "SPCPLAY.CFG" must never take the keys. The title rules serve only a
// player started directly.
class PlayerWindows : public WindowActivator {
public:
    PlayerWindows(WindowActivator& windows, const ProcessStarter& starter)
        : windows_(windows), starter_(starter) {}

    bool activate(std::string_view title) override {
        if (const auto pid = starter_.newestDosMachine())
            return windows_.activateDosMachine(*pid);
        return windows_.activate(title);
    }
    bool activateDosMachine(std::int64_t pid) override { return windows_.activateDosMachine(pid); }
    bool activateApplication() override { return windows_.activateApplication(); }
    bool activatedDosMachine() const override { return windows_.activatedDosMachine(); }

private:
    WindowActivator& windows_;
    const ProcessStarter& starter_;
};

} // namespace kavo
