#pragma once

#include <functional>

namespace kavo {

// The program's event loop watching a file descriptor, so that work a child process finishes
// later is picked up without a thread of our own and without making the window wait.
class FdWatcher {
public:
    virtual ~FdWatcher() = default;
    // Calls onReady on the event loop's thread while fd can be read (data or its end), until
    // unwatch(fd), which onReady itself may call.
    virtual void watch(int fd, std::function<void()> onReady) = 0;
    virtual void unwatch(int fd) = 0;
};

} // namespace kavo
