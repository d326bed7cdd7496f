#pragma once

#include "platform/win32/handle_watcher.h"

#include <functional>
#include <map>

namespace kavo::win32ui {

// The program's message loop; it also waits for the watched handles, so that nothing of ours
// ever blocks the windows while a child process runs.
class MessageLoop : public HandleWatcher {
public:
    void watch(HANDLE handle, std::function<void()> onSignalled) override;
    void unwatch(HANDLE handle) override;

    // Runs until WM_QUIT and returns its code. translate sees every message first and returns
    // true when it used it.
    int run(const std::function<bool(MSG&)>& translate);

private:
    std::map<HANDLE, std::function<void()>> watched_;
};

} // namespace kavo::win32ui
