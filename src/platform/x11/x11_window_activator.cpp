#include "platform/x11/x11_window_activator.h"

#include "platform/x11/error_trap.h"
#include "remote/window_title.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <memory>
#include <span>
#include <vector>

namespace kavo::x11 {

namespace {

constexpr long kIconicState = 3;

struct XFreeDeleter {
    void operator()(void* data) const {
        if (data)
            XFree(data);
    }
};

struct Property {
    std::unique_ptr<unsigned char, XFreeDeleter> data;
    int format = 0;
    unsigned long count = 0;
};

Property readProperty(Display* display, Window window, Atom property, Atom type) {
    Atom actualType = 0;
    Property result;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 4096, False, type, &actualType,
                           &result.format, &result.count, &remaining, &data) != Success)
        return {};
    result.data.reset(data);
    if (actualType == None)
        return {};
    return result;
}

std::string readText(Display* display, Window window, Atom property, Atom type) {
    auto found = readProperty(display, window, property, type);
    if (!found.data || found.format != 8)
        return {};
    return {reinterpret_cast<const char*>(found.data.get()), found.count};
}

// Xlib hands 32-bit items over as longs.
std::vector<long> readLongs(Display* display, Window window, Atom property, Atom type) {
    auto found = readProperty(display, window, property, type);
    if (!found.data || found.format != 32)
        return {};
    const auto* items = reinterpret_cast<const long*>(found.data.get());
    return std::vector<long>(items, items + found.count);
}

} // namespace

X11WindowActivator::X11WindowActivator(Display* display)
    : display_(display), root_(DefaultRootWindow(display)),
      netWmPid_(XInternAtom(display, "_NET_WM_PID", False)),
      netWmName_(XInternAtom(display, "_NET_WM_NAME", False)),
      utf8String_(XInternAtom(display, "UTF8_STRING", False)),
      netActiveWindow_(XInternAtom(display, "_NET_ACTIVE_WINDOW", False)),
      wmState_(XInternAtom(display, "WM_STATE", False)) {}

bool X11WindowActivator::activate(std::string_view title) {
    ErrorTrap trap(display_);
    activatedDosMachine_ = false;
    auto target = find(title);
    if (!target)
        return false;
    bringForward(*target);
    if (trap.failed())
        return false;
    activatedDosMachine_ = target->match == TitleMatch::DosMachine;
    return true;
}

// Walking the window tree costs a round trip per window; the remembered window one. It may
// have been destroyed or hidden since (an error on focusing it): then the tree is walked again.
bool X11WindowActivator::activateDosMachine(std::int64_t pid) {
    activatedDosMachine_ = false;
    const auto wanted = static_cast<long>(pid);
    if (!machine_ || machinePid_ != wanted)
        machine_.reset();
    machinePid_ = wanted;
    for (bool remembered = machine_.has_value();; remembered = false) {
        ErrorTrap trap(display_);
        auto target = remembered ? stillOf(*machine_, wanted) : std::nullopt;
        if (!target)
            target = findOf(wanted);
        machine_.reset();
        if (!target)
            return false;
        bringForward(*target);
        if (!trap.failed()) {
            // An iconified window is looked for again: it is shown by the next click.
            if (target->viewable)
                machine_ = target;
            break;
        }
        if (!remembered)
            return false;
    }
    activatedDosMachine_ = true;
    return true;
}

bool X11WindowActivator::activateApplication() {
    if (!application_)
        return false;
    ErrorTrap trap(display_);
    // Its frame is looked up once it is shown, and again only after a failure.
    const bool shown = viewable(application_);
    if (!shown || !applicationTopLevel_)
        applicationTopLevel_ = shown ? topLevelOf(application_) : 0;
    const Candidate target{application_, shown ? applicationTopLevel_ : application_, shown,
                           TitleMatch::Exact};
    if (trap.failed())
        return false;
    bringForward(target);
    const bool done = !trap.failed();
    if (!done)
        applicationTopLevel_ = 0;
    return done;
}

// Depth-first from the root, bottom to top, so the last of equally good matches is the
// topmost. A window visit takes for a client (returns true for) is not looked into.
void X11WindowActivator::walk(Window window, Window topLevel,
                              const std::function<bool(Window, Window)>& visit) {
    if (window != root_ && visit(window, topLevel))
        return;
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display_, window, &rootReturn, &parent, &children, &count))
        return;
    std::unique_ptr<Window, XFreeDeleter> owner(children);
    for (Window child : std::span(children, count))
        walk(child, window == root_ ? child : topLevel, visit);
}

// A titled window is a client.
std::optional<X11WindowActivator::Candidate> X11WindowActivator::find(std::string_view title) {
    std::optional<Candidate> best;
    walk(root_, 0, [&](Window window, Window topLevel) {
        const auto name = titleOf(window);
        if (!name)
            return false;
        const TitleMatch match = matchTitle(*name, title);
        bool shown = false;
        if (match != TitleMatch::NoMatch && (!best || match >= best->match) &&
            shownOrIconic(window, shown))
            best = Candidate{window, topLevel, shown, match};
        return true;
    });
    return best;
}

// The topmost shown (or iconified) client whose _NET_WM_PID is pid.
std::optional<X11WindowActivator::Candidate> X11WindowActivator::findOf(long pid) {
    std::optional<Candidate> best;
    walk(root_, 0, [&](Window window, Window topLevel) {
        const auto owner = readLongs(display_, window, netWmPid_, XA_CARDINAL);
        if (owner.empty())
            return false;
        bool shown = false;
        if (owner[0] == pid && shownOrIconic(window, shown))
            best = Candidate{window, topLevel, shown, TitleMatch::DosMachine};
        return true;
    });
    return best;
}

// The remembered window, while it is still pid's. A window manager frames a window before it
// shows it, so its frame has not changed either.
std::optional<X11WindowActivator::Candidate> X11WindowActivator::stillOf(Candidate known,
                                                                         long pid) {
    const auto owner = readLongs(display_, known.client, netWmPid_, XA_CARDINAL);
    if (owner.empty() || owner[0] != pid)
        return std::nullopt;
    return known;
}

bool X11WindowActivator::shownOrIconic(Window window, bool& shown) {
    shown = viewable(window);
    if (shown)
        return true;
    const auto state = readLongs(display_, window, wmState_, wmState_);
    return !state.empty() && state[0] == kIconicState;
}

std::optional<std::string> X11WindowActivator::titleOf(Window window) {
    auto name = readText(display_, window, netWmName_, utf8String_);
    if (name.empty())
        name = readText(display_, window, XA_WM_NAME, AnyPropertyType);
    if (name.empty())
        return std::nullopt;
    return name;
}

bool X11WindowActivator::viewable(Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display_, window, &attributes) &&
           attributes.map_state == IsViewable;
}

Window X11WindowActivator::topLevelOf(Window window) {
    for (;;) {
        Window rootReturn = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display_, window, &rootReturn, &parent, &children, &count))
            return window;
        if (children)
            XFree(children);
        if (parent == rootReturn || parent == 0)
            return window;
        window = parent;
    }
}

// Asks a window manager, as a pager would; without one nobody listens to the request. Asking
// first whether the manager supports it would cost a round trip per click.
void X11WindowActivator::bringForward(const Candidate& target) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target.client;
    event.xclient.message_type = netActiveWindow_;
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2; // the user asked for it
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    // Also without a window manager, and at once rather than when the manager gets round to it.
    // A manager turns the raise of its client into a raise of the frame.
    XRaiseWindow(display_, target.client);
    if (target.topLevel != target.client)
        XRaiseWindow(display_, target.topLevel);
    if (target.viewable)
        XSetInputFocus(display_, target.client, RevertToParent, CurrentTime);
    XFlush(display_);
}

} // namespace kavo::x11
