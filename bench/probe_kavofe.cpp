// The program itself, put together as its own main() does, reporting when its window is first
// shown. With --remote it stays running and also reports where the "&5" button is on screen.
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_process_starter.h"
#include "platform/posix/posix_short_path.h"
#include "settings/qt/qsettings_store.h"
#include "shown_probe.h"
#include "ui/main_window.h"
#include "ui/qt_message_sink.h"

#include <QAbstractButton>
#include <cstring>
#include <memory>

#ifdef KAVO_HAVE_X11
#include "platform/x11/x11_remote.h"
#endif

int main(int argc, char** argv) {
    bool remoteMode = false;
    for (int i = 1; i < argc; ++i)
        remoteMode |= std::strcmp(argv[i], "--remote") == 0;

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
    kavo::bench::ShownProbe probe(
        remoteMode ? -1 : kavo::bench::ShownProbe::idleFrom(argc, argv), [&window, remoteMode] {
            if (!remoteMode)
                return;
            for (auto* button : window.findChildren<QAbstractButton*>())
                if (button->text() == QLatin1String("&5")) {
                    const QPoint centre = button->mapToGlobal(button->rect().center());
                    std::printf("button %d %d\n", centre.x(), centre.y());
                }
        });
    window.show();
#ifdef KAVO_HAVE_X11
    if (remote)
        remote->setApplicationWindow(window.winId());
#endif
    return QApplication::exec();
}
