// Stands in for dosbox.exe. Reads the -conf file, refuses any mount outside the directory that
// holds it, runs the autoexec's marker line, resolves the DOS paths of the command line through
// the mounts, reads the SPC file and SPCPLAY.CFG there and appends "WAV:" and the SPC bytes to
// the file after "-w". Logs "cmd LINE", "spc BYTES", "cfg SIZE" or "error WHAT" to KAVO_PROBE_LOG,
// then shows a window titled like DOSBox's, logs "down SCAN" for each key press and exits on q
// (scan code 0x10). With KAVO_PROBE_QUIT set it exits without a window.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <windows.h>

namespace {

HANDLE logFile = INVALID_HANDLE_VALUE;

void log(const std::string& line) {
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(logFile, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    FlushFileBuffers(logFile);
}

std::wstring widen(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            static_cast<int>(wide.size()))));
    return wide;
}

std::string readAll(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::wstring lower(std::wstring text) {
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::map<wchar_t, std::wstring> drives;

// "X:\NAME" through the mounts; "" when the drive is not mounted.
std::wstring resolve(const std::string& dosPath) {
    if (dosPath.size() < 3 || dosPath[1] != ':' || dosPath[2] != '\\')
        return {};
    const auto drive = drives.find(static_cast<wchar_t>(towupper(dosPath[0])));
    return drive == drives.end() ? std::wstring() : drive->second + widen(dosPath.substr(2));
}

bool runAutoexec(const std::wstring& confPath) {
    const std::wstring stage = lower(confPath.substr(0, confPath.find_last_of(L'\\') + 1));
    std::istringstream lines(readAll(confPath));
    std::string line;
    bool inAutoexec = false;
    while (std::getline(lines, line)) {
        if (line.starts_with('[')) {
            inAutoexec = line == "[autoexec]";
            continue;
        }
        std::istringstream words(line);
        std::string first;
        std::string second;
        words >> first >> second;
        if (!inAutoexec || first == "exit" || first == "c:" || first == "cd")
            continue;
        if (first == "mount") {
            std::string rest;
            std::getline(words >> std::ws, rest);
            const std::wstring path = widen(rest);
            const DWORD attributes = GetFileAttributesW(path.c_str());
            if (!lower(path).starts_with(stage) || path.find(L"..") != std::wstring::npos ||
                attributes == INVALID_FILE_ATTRIBUTES ||
                (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                log("error mount " + line);
                return false;
            }
            drives[static_cast<wchar_t>(towupper(second[0]))] = path;
        } else if (first == "echo") {
            std::string target = line.substr(line.find('>') + 2);
            std::ofstream(resolve(target).c_str()) << "started\n";
        } else {
            log("cmd " + line);
            if (GetFileAttributesW(resolve(first).c_str()) == INVALID_FILE_ATTRIBUTES)
                log("error program " + first);
            const std::string spc = readAll(resolve(second));
            log("spc " + spc);
            log("cfg " + std::to_string(readAll(resolve("C:\\SPCPLAY.CFG")).size()));
            std::string flag;
            std::string wav;
            if (words >> flag >> wav) {
                std::ofstream out(resolve(wav).c_str(), std::ios::binary | std::ios::app);
                out << "WAV:" << spc;
                if (!out.good())
                    log("error wav " + wav);
            }
        }
    }
    return true;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN) {
        const unsigned scan = (static_cast<unsigned>(lParam) >> 16) & 0xFF;
        log("down " + std::to_string(scan));
        if (scan == 0x10)
            DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int main() {
    wchar_t logName[32768];
    if (GetEnvironmentVariableW(L"KAVO_PROBE_LOG", logName, 32768) == 0)
        return 2;
    logFile = CreateFileW(logName, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring conf;
    for (int i = 1; i + 1 < count; ++i)
        if (std::wstring(argv[i]) == L"-conf")
            conf = argv[i + 1];
    if (conf.empty() || !runAutoexec(conf))
        return 3;
    if (GetEnvironmentVariableW(L"KAVO_PROBE_QUIT", nullptr, 0) != 0)
        return 0;

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KavoProbeDosbox";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(
        windowClass.lpszClassName,
        L"DOSBox 0.74-3, Cpu speed:     3000 cycles, Frameskip  0, Program:  SPCPLAY",
        WS_OVERLAPPEDWINDOW, 0, 560, 320, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    log("ready");
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
