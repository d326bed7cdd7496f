#pragma once

#include "platform/posix/fd_watcher.h"

#include <QSocketNotifier>
#include <map>
#include <memory>

namespace kavo::ui {

// Descriptors watched by Qt's event loop.
class QtFdWatcher : public FdWatcher {
public:
    void watch(int fd, std::function<void()> onReady) override;
    void unwatch(int fd) override;

private:
    struct Later {
        void operator()(QSocketNotifier* notifier) const { notifier->deleteLater(); }
    };
    std::map<int, std::unique_ptr<QSocketNotifier, Later>> notifiers_;
};

} // namespace kavo::ui
