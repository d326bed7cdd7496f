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
    // The player looks for its configuration file in its current directory. A missing one is
    // left to CreateProcessW to report as the program's path.
    const auto cut = program->find_last_of(L"\\/");
    const std::wstring directory = cut == std::wstring::npos ? L"" : program->substr(0, cut + 1);
    const DWORD kind = GetFileAttributesW(directory.c_str());
    const bool inOwn = kind != INVALID_FILE_ATTRIBUTES && (kind & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // CreateProcessW may write into the command-line buffer, so it gets a copy of its own.
    if (!CreateProcessW(program->c_str(), text->data(), nullptr, nullptr, FALSE, 0, nullptr,
                        inOwn ? directory.c_str() : nullptr, &startup, &process))
        return win32::lastError();
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {};
}

} // namespace kavo
