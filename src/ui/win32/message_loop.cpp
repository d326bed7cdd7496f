#include "ui/win32/message_loop.h"

#include <vector>

namespace kavo::win32ui {

void MessageLoop::watch(HANDLE handle, std::function<void()> onSignalled) {
    watched_[handle] = std::move(onSignalled);
}

void MessageLoop::unwatch(HANDLE handle) {
    watched_.erase(handle);
}

int MessageLoop::run(const std::function<bool(MSG&)>& translate) {
    for (;;) {
        std::vector<HANDLE> handles;
        for (const auto& [handle, onSignalled] : watched_)
            if (handles.size() < MAXIMUM_WAIT_OBJECTS - 1)
                handles.push_back(handle);
        const auto count = static_cast<DWORD>(handles.size());
        const DWORD woken = MsgWaitForMultipleObjectsEx(count, handles.data(), INFINITE,
                                                        QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken >= WAIT_OBJECT_0 && woken < WAIT_OBJECT_0 + count) {
            // A copy: the call may unwatch its own handle.
            if (auto it = watched_.find(handles[woken - WAIT_OBJECT_0]); it != watched_.end()) {
                const auto onSignalled = it->second;
                onSignalled();
            }
        }
        MSG msg{};
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return static_cast<int>(msg.wParam);
            if (translate(msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

} // namespace kavo::win32ui
