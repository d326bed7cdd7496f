#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_process_starter.h"
#include "platform/posix/posix_short_path.h"
#include "settings/qt/qsettings_store.h"
#include "ui/main_window.h"
#include "ui/qt_message_sink.h"

#include <QApplication>
#include <memory>

#ifdef KAVO_HAVE_X11
#include "platform/x11/x11_remote.h"
#endif

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kavofe.png")));
    QApplication::setDesktopFileName(QStringLiteral("kavofe"));

    kavo::QSettingsStore store;
    kavo::PosixFileSystem files;
    kavo::PosixShortPath shortPaths;
    kavo::PosixProcessStarter starter;
    kavo::ui::QtMessageSink messages;
    kavo::ui::Collaborators with{store, files, shortPaths, starter, messages};

#ifdef KAVO_HAVE_X11
    // The remote works on X displays only; elsewhere the panel buttons do nothing.
    std::unique_ptr<kavo::x11::Remote> remote;
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        remote = kavo::x11::Remote::open();
    if (remote) {
        with.windows = &remote->windows();
        with.layout = &remote->layout();
        with.injector = &remote->injector();
    }
#endif

    kavo::ui::MainWindow window(with);
    messages.setParent(&window);
    window.show();
#ifdef KAVO_HAVE_X11
    if (remote)
        remote->setApplicationWindow(window.winId());
#endif
    return QApplication::exec();
}
