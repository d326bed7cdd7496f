#pragma once

#include <string_view>

namespace kavo::ui {

// The Qt platform to ask for before the application starts, or "" for Qt's own choice. The
// player runs under X (XWayland under a Wayland desktop) and the control panel reaches it only
// through X, so where both displays exist and the user chose nothing, X it is.
inline std::string_view preferredPlatform(const char* chosen, const char* waylandDisplay,
                                          const char* x11Display) {
    auto set = [](const char* value) { return value != nullptr && *value != '\0'; };
    return !set(chosen) && set(waylandDisplay) && set(x11Display) ? "xcb" : "";
}

} // namespace kavo::ui
