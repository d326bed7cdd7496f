#pragma once

#include <functional>
#include <windows.h>

namespace kavo {

// The program's message loop watching a handle (a process's, say), so that work left for when
// a child process ends is done without a thread of our own and without making the window wait.
class HandleWatcher {
public:
    virtual ~HandleWatcher() = default;
    // Calls onSignalled on the message loop's thread while handle is signalled, until
    // unwatch(handle), which onSignalled itself may call.
    virtual void watch(HANDLE handle, std::function<void()> onSignalled) = 0;
    virtual void unwatch(HANDLE handle) = 0;
};

} // namespace kavo
