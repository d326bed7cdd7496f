#include "ui/main_window.h"
#include "ui/qt_message_sink.h"

#include <QApplication>
#include <memory>

#ifdef _WIN32
#include "platform/win32/registry_settings_store.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_keyboard.h"
#include "platform/win32/win32_process_starter.h"
#include "platform/win32/win32_short_path.h"
#include "platform/win32/win32_window_activator.h"
#else
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_process_starter.h"
#include "platform/posix/posix_short_path.h"
#include "settings/qt/qsettings_store.h"
#endif

#ifdef KAVO_HAVE_X11
#include "platform/x11/x11_remote.h"
#endif

namespace {

#ifdef _WIN32
struct Backends {
    kavo::RegistrySettingsStore store;
    kavo::Win32FileSystem files;
    kavo::Win32ShortPath shortPaths;
    kavo::Win32ProcessStarter starter;
    kavo::Win32KeyboardLayout layout;
    kavo::Win32KeyInjector injector;
    kavo::Win32WindowActivator windows;
};
#else
struct Backends {
    kavo::QSettingsStore store;
    kavo::PosixFileSystem files;
    kavo::PosixShortPath shortPaths;
    kavo::PosixProcessStarter starter;
};
#endif

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kavofe.png")));
    QApplication::setDesktopFileName(QStringLiteral("kavofe"));

    Backends backends;
    kavo::ui::QtMessageSink messages;
    kavo::ui::Collaborators with{backends.store, backends.files, backends.shortPaths,
                                 backends.starter, messages};
#ifndef _WIN32
    // A damaged settings file or a failed save is reported, not silently dropped.
    backends.store.setMessages(&messages);
#endif

#ifdef _WIN32
    with.windows = &backends.windows;
    with.layout = &backends.layout;
    with.injector = &backends.injector;
#endif
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
#ifdef _WIN32
    backends.windows.setApplicationTitle(window.windowTitle().toStdString());
#endif
#ifdef KAVO_HAVE_X11
    if (remote)
        remote->setApplicationWindow(window.winId());
#endif
    return QApplication::exec();
}
