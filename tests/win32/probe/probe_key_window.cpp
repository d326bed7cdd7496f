// A window that stands in for the player's: shows a window titled KAVO_PROBE_TITLE, appends
// "cmd" and its command line to the file KAVO_PROBE_LOG, then a line "down|up VK SCAN" for every
// key message it receives, until it is closed.
#include <cstdio>
#include <string>
#include <windows.h>

namespace {

HANDLE logFile = INVALID_HANDLE_VALUE;

void record(const char* kind, WPARAM virtualKey, LPARAM info) {
    char line[64];
    const int length =
        std::snprintf(line, sizeof line, "%s %u %u\n", kind, static_cast<unsigned>(virtualKey),
                      static_cast<unsigned>((info >> 16) & 0xFF));
    DWORD written = 0;
    WriteFile(logFile, line, static_cast<DWORD>(length), &written, nullptr);
    FlushFileBuffers(logFile);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        record("down", wParam, lParam);
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        record("up", wParam, lParam);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

std::wstring environment(const wchar_t* name) {
    std::wstring value(32768, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
    return value;
}

} // namespace

int main() {
    const std::wstring logName = environment(L"KAVO_PROBE_LOG");
    const std::wstring title = environment(L"KAVO_PROBE_TITLE");
    if (logName.empty() || title.empty())
        return 2;
    logFile = CreateFileW(logName.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (logFile == INVALID_HANDLE_VALUE)
        return 3;
    const std::wstring commandLine = GetCommandLineW();
    const std::string line = "cmd " + std::string(commandLine.begin(), commandLine.end()) + "\n";
    DWORD written = 0;
    WriteFile(logFile, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KavoProbeKeyWindow";
    RegisterClassW(&windowClass);
    HWND window =
        CreateWindowW(windowClass.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                      CW_USEDEFAULT, 320, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr)
        return 4;
    ShowWindow(window, SW_SHOWNORMAL);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    CloseHandle(logFile);
    return 0;
}
