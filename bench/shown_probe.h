#pragma once
// Reports on standard output, as CLOCK_MONOTONIC nanoseconds, when the program's first window
// is first exposed on screen, then optionally ends the program after it has idled a while.

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <functional>
#include <time.h>

namespace kavo::bench {

class ShownProbe : public QObject {
public:
    // idleMilliseconds < 0: keep running after the report.
    ShownProbe(int idleMilliseconds, std::function<void()> afterShown = {})
        : idle_(idleMilliseconds), afterShown_(std::move(afterShown)) {
        qApp->installEventFilter(this);
    }

    static int idleFrom(int argc, char** argv) {
        for (int i = 1; i < argc; ++i)
            if (std::sscanf(argv[i], "--idle-ms=%d", &idleValue_) == 1)
                return idleValue_;
        return 0;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!reported_ && event->type() == QEvent::Expose && watched->isWindowType() &&
            static_cast<QWindow*>(watched)->isExposed()) {
            reported_ = true;
            timespec now{};
            ::clock_gettime(CLOCK_MONOTONIC, &now);
            std::printf("shown %lld\n",
                        static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
            if (afterShown_)
                afterShown_();
            std::fflush(stdout);
            if (idle_ >= 0)
                QTimer::singleShot(idle_, qApp, &QApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static inline int idleValue_ = 0;
    int idle_;
    std::function<void()> afterShown_;
    bool reported_ = false;
};

} // namespace kavo::bench
