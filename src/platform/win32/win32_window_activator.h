#pragma once

#include "remote/window_activator.h"

#include <string>

namespace kavo {

// Top-level visible windows by title, ignoring letter case: an exact title first, else one that
// begins with it, else a DOSBox window running the program of that name (matchTitle). The front
// end's own windows are found by the application title, among this process's windows only, so
// that a stranger with the same title is never taken for it. A DOS machine's window is found by
// its process: its first visible top-level window, remembered while it stays that.
class Win32WindowActivator : public WindowActivator {
public:
    explicit Win32WindowActivator(std::string_view applicationTitle = {});
    // The main window's title; set it whenever the window's title changes.
    void setApplicationTitle(std::string_view title);

    bool activate(std::string_view title) override;
    bool activateDosMachine(std::int64_t pid) override;
    bool activateApplication() override;
    bool activatedDosMachine() const override { return activatedDosMachine_; }

private:
    std::wstring applicationTitle_;
    bool activatedDosMachine_ = false;
    void* machine_ = nullptr; // the DOS machine's window (an HWND), once found
};

} // namespace kavo
