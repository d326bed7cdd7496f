#include "platform/win32/registry_settings_store.h"
#include "platform/win32/win32_dosbox_starter.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_keyboard.h"
#include "platform/win32/win32_process_starter.h"
#include "platform/win32/win32_short_path.h"
#include "platform/win32/win32_window_activator.h"
#include "remote/dos_machine_keys.h"
#include "remote/player_windows.h"
#include "ui/win32/main_window.h"
#include "ui/win32/message_box_sink.h"
#include "ui/win32/message_loop.h"

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*command*/,
                    int /*show*/) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    kavo::RegistrySettingsStore store;
    kavo::Win32FileSystem files;
    kavo::Win32ShortPath shortPaths;
    kavo::Win32ProcessStarter native;
    kavo::Win32KeyboardLayout keymap;
    kavo::Win32WindowActivator windows(kavo::kWindowCaption);
    kavo::TargetLayout layout(windows, keymap);
    kavo::Win32KeyInjector injector(&windows);
    kavo::win32ui::MessageBoxSink messages;
    kavo::win32ui::MessageLoop loop;
    kavo::Win32DosboxStarter starter(native, loop, messages, kavo::windowsStagingBase());
    kavo::PlayerWindows playerWindows(windows, starter);

    kavo::win32ui::MainWindow window({store, files, shortPaths, starter, messages},
                                     {&playerWindows, &layout, &injector});
    ShowWindow(window.handle(), SW_SHOWNORMAL);
    UpdateWindow(window.handle());

    const int code = loop.run([&window](MSG& msg) { return window.translate(msg); });
    // The window object's final release.
    window.presenter().release();
    return code;
}
