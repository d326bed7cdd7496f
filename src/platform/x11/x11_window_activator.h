#pragma once

#include "remote/window_activator.h"
#include "remote/window_title.h"

#include <X11/Xlib.h>
#include <functional>
#include <optional>
#include <string>

namespace kavo::x11 {

class X11WindowActivator : public WindowActivator {
public:
    explicit X11WindowActivator(Display* display);

    bool activate(std::string_view title) override;
    bool activateDosMachine(std::int64_t pid) override;
    bool activateApplication() override;
    void setApplicationWindow(Window window) {
        application_ = window;
        applicationTopLevel_ = 0;
    }
    bool activatedDosMachine() const override { return activatedDosMachine_; }

private:
    struct Candidate {
        Window client;
        Window topLevel; // the child of the root that holds the client, its frame under a WM
        bool viewable;
        TitleMatch match;
    };

    std::optional<Candidate> find(std::string_view title);
    std::optional<Candidate> findOf(long pid);
    std::optional<Candidate> stillOf(Candidate known, long pid);
    bool shownOrIconic(Window window, bool& shown);
    void walk(Window window, Window topLevel, const std::function<bool(Window, Window)>& visit);
    std::optional<std::string> titleOf(Window window);
    bool viewable(Window window);
    Window topLevelOf(Window window);
    void bringForward(const Candidate& target);

    Display* display_;
    Window root_;
    Window application_ = 0;
    Window applicationTopLevel_ = 0;
    bool activatedDosMachine_ = false;
    long machinePid_ = 0;
    std::optional<Candidate> machine_; // its window, once found
    Atom netWmPid_, netWmName_, utf8String_, netActiveWindow_, wmState_;
};

} // namespace kavo::x11
