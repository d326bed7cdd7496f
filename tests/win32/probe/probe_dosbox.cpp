// Stands in for dosbox.exe. Runs the autoexec of its -conf file: refuses a mount outside the
// directory that holds the file, resolves the DOS paths of the marker line and of the command
// line through the mounts, reads the SPC file and SPCPLAY.CFG there and appends "WAV:" and the
// SPC bytes to the file after "-w". Logs "cmd LINE", "cfg SIZE" or "error WHAT" to
// KAVO_PROBE_LOG, then, unless KAVO_PROBE_QUIT is set, shows a window titled like DOSBox's, logs
// "down SCAN" for each key press and ends on q (scan code 0x10).
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <windows.h>

namespace {

std::ofstream logFile;
std::map<char, std::wstring> drives;

void log(const std::string& line) {
    logFile << line << std::endl;
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

std::wstring resolve(const std::string& dosPath) {
    const auto drive = drives.find(static_cast<char>(toupper(dosPath[0])));
    return dosPath.size() > 2 && dosPath[1] == ':' && drive != drives.end()
               ? drive->second + widen(dosPath.substr(2))
               : std::wstring(L"?");
}

bool runAutoexec(const std::wstring& conf) {
    const std::wstring stage = conf.substr(0, conf.find_last_of(L'\\') + 1);
    std::istringstream lines(readAll(conf));
    std::string line;
    while (std::getline(lines, line) && line != "[autoexec]") {
    }
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string first, second, rest;
        words >> first >> second;
        std::getline(words >> std::ws, rest);
        const std::wstring path = widen(rest);
        if (first == "mount") {
            const DWORD attributes = GetFileAttributesW(path.c_str());
            if (_wcsnicmp(path.c_str(), stage.c_str(), stage.size()) != 0 ||
                path.find(L"..") != std::wstring::npos || attributes == INVALID_FILE_ATTRIBUTES ||
                (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                return log("error " + line), false;
            drives[static_cast<char>(toupper(second[0]))] = path;
        } else if (first == "echo") {
            std::ofstream(resolve(line.substr(line.find('>') + 2)).c_str()) << "started\n";
        } else if (first.ends_with(".EXE")) {
            log("cmd " + line);
            if (GetFileAttributesW(resolve(first).c_str()) == INVALID_FILE_ATTRIBUTES)
                log("error " + first);
            const std::string spc = readAll(resolve(second));
            log("cfg " + std::to_string(readAll(resolve("C:\\SPCPLAY.CFG")).size()));
            if (rest.starts_with("-w ")) {
                std::ofstream wav(resolve(rest.substr(3)).c_str(),
                                  std::ios::binary | std::ios::app);
                if (!(wav << "WAV:" << spc))
                    log("error " + rest);
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
            PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int main() {
    wchar_t name[32768];
    if (GetEnvironmentVariableW(L"KAVO_PROBE_LOG", name, 32768) == 0)
        return 2;
    logFile.open(name, std::ios::app);
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (count < 3 || std::wstring(argv[1]) != L"-conf" || !runAutoexec(argv[2]))
        return 3;
    if (GetEnvironmentVariableW(L"KAVO_PROBE_QUIT", nullptr, 0) != 0)
        return 0;

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.lpszClassName = L"KavoProbeDosbox";
    RegisterClassW(&windowClass);
    ShowWindow(
        CreateWindowW(windowClass.lpszClassName,
                      L"DOSBox 0.74-3, Cpu speed:     3000 cycles, Frameskip  0, Program:  SPCPLAY",
                      WS_OVERLAPPEDWINDOW, 0, 560, 320, 200, nullptr, nullptr, nullptr, nullptr),
        SW_SHOWNORMAL);
    log("ready");
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
