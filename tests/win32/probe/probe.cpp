// Stands in for the programs the tests start, logging to the file named by KAVO_PROBE_LOG; small
// (no streams), as the Windows end-to-end run cuts a copy to the player's length. Logs
// "cmd LINE" with its own command line.
// As dosbox.exe (given -conf FILE): runs FILE's autoexec, refusing a mount outside FILE's
// directory; for the player's line logs "cmd LINE" and "cfg" with the size of SPCPLAY.CFG on C,
// and appends "WAV:" and the SPC file's bytes to the file after "-w", all read through the
// mounts; then shows a window titled like DOSBox's, logs "down SCAN" for each key press and ends
// on q. As the player, with KAVO_PROBE_TITLE set: shows a window so titled and logs
// "down|up VK SCAN" and the modifiers held (S, C, A, W) for each key message until it is closed.
#include "platform/win32/wide_text.h"

#include <cstdio>
#include <windows.h>

namespace {

using namespace kavo::win32;
wchar_t logName[32768];
std::wstring drives[128];
bool dosbox = false;

// Enough for what the tests give it.
std::string readAll(const std::wstring& path) {
    static char bytes[1 << 20];
    FILE* file = _wfopen(path.c_str(), L"rb");
    const std::size_t size = file != nullptr ? fread(bytes, 1, sizeof bytes, file) : 0;
    return file != nullptr && fclose(file) == 0 ? std::string(bytes, size) : std::string();
}

bool append(const std::wstring& path, const std::string& bytes) {
    FILE* file = _wfopen(path.c_str(), L"ab");
    return file && fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && fclose(file) == 0;
}

const auto log = [](const std::string& line) { append(logName, line + "\n"); };

// An unmounted drive gives a path on no drive, which names no file.
std::wstring resolve(const std::string& dosPath) {
    return drives[toupper(dosPath[0]) & 127] + toWide(dosPath.substr(2)).value_or(L"?");
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    const std::string scan = std::to_string((lParam >> 16) & 0xFF);
    // The modifiers as the player's thread sees them; a system key message means Alt.
    const bool sys = message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
    std::string held;
    const std::pair<int, const char*> modifiers[] = {
        {VK_SHIFT, " S"}, {VK_CONTROL, " C"}, {VK_MENU, " A"}, {VK_LWIN, " W"}, {VK_RWIN, " W"}};
    for (const auto& [key, letter] : modifiers)
        held += GetKeyState(key) < 0 || (sys && key == VK_MENU) ? letter : "";
    if (down || (!dosbox && (message == WM_KEYUP || message == WM_SYSKEYUP)))
        log((down ? "down " : "up ") + (dosbox ? "" : std::to_string(wParam) + " ") + scan +
            (dosbox ? "" : held));
    if (message == WM_DESTROY || (dosbox && down && scan == "16"))
        PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int wmain(int count, wchar_t** argv) {
    GetEnvironmentVariableW(L"KAVO_PROBE_LOG", logName, 32768);
    dosbox = count >= 3 && std::wstring_view(argv[1]) == L"-conf";
    const std::wstring conf = dosbox ? argv[2] : L"", stage = conf.substr(0, conf.rfind(L'\\') + 1);
    const std::string lines = readAll(conf);
    for (std::size_t at = lines.find("[autoexec]"), end = 0; at < lines.size(); at = end + 1) {
        end = std::min(lines.find('\n', at), lines.size());
        const std::string line = lines.substr(at, end - at);
        const std::size_t blank = line.find(' '), next = line.find(' ', blank + 1);
        // What a mount says goes to a file: " >>FILE" is no part of its path.
        const std::string first = line.substr(0, blank),
                          rest = line.substr(next + 1, line.find(" >>") - next - 1);
        const std::string second = line.substr(blank + 1, next - blank - 1);
        const std::wstring path = toWide(rest).value_or(L"?");
        if (first == "mount" && (_wcsnicmp(path.c_str(), stage.c_str(), stage.size()) != 0 ||
                                 path.find(L"..") != std::wstring::npos))
            return log("error " + line), 3;
        if (first == "mount")
            drives[toupper(second[0]) & 127] = path;
        else if (first == "echo")
            append(resolve(rest.substr(2)), "started\n");
        if (!first.ends_with(".EXE"))
            continue;
        log("cmd " + line + "\ncfg " + std::to_string(readAll(resolve("C:\\SPCPLAY.CFG")).size()));
        if (GetFileAttributesW(resolve(first).c_str()) == INVALID_FILE_ATTRIBUTES ||
            (rest.starts_with("-w ") &&
             !append(resolve(rest.substr(3)), "WAV:" + readAll(resolve(second)))))
            log("error " + line);
    }
    log("cmd " + toUtf8(GetCommandLineW()));
    const wchar_t* title = dosbox ? L"DOSBox 0.74-3, Cpu speed: 3000 cycles, Program:  SPCPLAY"
                                  : _wgetenv(L"KAVO_PROBE_TITLE");
    if (title == nullptr)
        return 0;
    const WNDCLASSW windowClass{0, windowProc, 0, 0, {}, {}, {}, {}, {}, L"KavoProbe"};
    RegisterClassW(&windowClass);
    CreateWindowW(L"KavoProbe", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 560, 320, 200, nullptr,
                  nullptr, nullptr, nullptr);
    log("ready");
    for (MSG message; GetMessageW(&message, nullptr, 0, 0) > 0;)
        DispatchMessageW(&message);
    return 0;
}
