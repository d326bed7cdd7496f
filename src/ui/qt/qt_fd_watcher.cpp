#include "ui/qt/qt_fd_watcher.h"

namespace kavo::ui {

void QtFdWatcher::watch(int fd, std::function<void()> onReady) {
    auto notifier = std::unique_ptr<QSocketNotifier, Later>(
        new QSocketNotifier(static_cast<qintptr>(fd), QSocketNotifier::Read));
    QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(),
                     [ready = std::move(onReady)] { ready(); });
    notifiers_[fd] = std::move(notifier);
}

// The notifier may be the one whose signal is running: it is deleted once that returns.
void QtFdWatcher::unwatch(int fd) {
    if (auto it = notifiers_.find(fd); it != notifiers_.end()) {
        it->second->setEnabled(false);
        notifiers_.erase(it);
    }
}

} // namespace kavo::ui
