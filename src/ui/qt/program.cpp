#include "ui/qt/program.h"

#include "platform/posix/dosbox_starter.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_process_starter.h"
#include "platform/posix/posix_short_path.h"
#include "settings/qt/qsettings_store.h"
#include "ui/qt/qt_fd_watcher.h"

#include <QGuiApplication>
#include <cstdlib>

#ifdef KAVO_HAVE_X11
#include "platform/x11/x11_remote.h"
#include "remote/player_windows.h"

#include <optional>
#endif

namespace kavo::ui {

struct Program::Backends {
    explicit Backends(MessageSink& messages)
        : starter(native, watcher, messages,
                  // NOLINTNEXTLINE(concurrency-mt-unsafe): read before any thread of Qt's
                  dos::stagingBase(std::getenv("XDG_RUNTIME_DIR"), std::getenv("TMPDIR"))) {}

    QSettingsStore store;
    PosixFileSystem files;
    PosixShortPath shortPaths;
    PosixProcessStarter native;
    QtFdWatcher watcher;
    // A DOS player runs in DOSBox, anything else directly.
    DosboxStarter starter;
#ifdef KAVO_HAVE_X11
    std::unique_ptr<x11::Remote> remote;
    std::optional<PlayerWindows> playerWindows;
#endif
};

Collaborators Program::wire(Backends& b, QtMessageSink& messages) {
    Collaborators with{b.store, b.files, b.shortPaths, b.starter, messages};
    // A damaged settings file or a failed save is reported, not silently dropped.
    b.store.setMessages(&messages);
#ifdef KAVO_HAVE_X11
    // The remote works on X displays only; elsewhere the panel buttons do nothing.
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        b.remote = x11::Remote::open();
    if (b.remote) {
        with.windows = &b.playerWindows.emplace(b.remote->windows(), b.starter);
        with.layout = &b.remote->layout();
        with.injector = &b.remote->injector();
    }
#endif
    return with;
}

Program::Program()
    : backends_(std::make_unique<Backends>(messages_)),
      window_(std::make_unique<MainWindow>(wire(*backends_, messages_))) {
    messages_.setParent(window_.get());
}

// The window goes first: its final release still saves through the backends.
Program::~Program() {
    window_.reset();
}

void Program::show() {
    window_->show();
#ifdef KAVO_HAVE_X11
    if (backends_->remote)
        backends_->remote->setApplicationWindow(window_->winId());
#endif
}

} // namespace kavo::ui
