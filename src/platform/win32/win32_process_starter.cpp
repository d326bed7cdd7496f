#include "platform/win32/win32_process_starter.h"

#include "launch/launcher.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_error.h"

#include <windows.h>

namespace kavo {

std::error_code Win32ProcessStarter::start(const CommandLine& command) {
    const auto program = win32::toWidePath(command.program);
    auto text = win32::toWidePath(windowsCommandText(command));
    if (!program || program->empty() || !text)
        return {ERROR_INVALID_PARAMETER, win32::errorCategory()};

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    // CreateProcessW may write into the command-line buffer, so it gets a copy of its own.
    if (!CreateProcessW(program->c_str(), text->data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return win32::lastError();
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {};
}

} // namespace kavo
