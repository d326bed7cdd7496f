// Stands in for the player. Reports the executable that runs and the command line it got, as
// two UTF-8 lines in a file of its own inside the directory named by KAVO_PROBE_DIR; the file
// appears whole, so a reader never sees half of it.
#include <string>
#include <windows.h>

namespace {

std::string utf8(const std::wstring& text) {
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

} // namespace

int main() {
    std::wstring directory(32768, L'\0');
    directory.resize(GetEnvironmentVariableW(L"KAVO_PROBE_DIR", directory.data(),
                                             static_cast<DWORD>(directory.size())));
    if (directory.empty())
        return 2;
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    const std::string report = utf8(self) + "\n" + utf8(GetCommandLineW()) + "\n";

    const std::wstring name = directory + L"\\" + std::to_wstring(GetCurrentProcessId());
    const std::wstring part = name + L".part";
    HANDLE file = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 3;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr) &&
        written == report.size();
    CloseHandle(file);
    if (!ok || !MoveFileW(part.c_str(), (name + L".txt").c_str()))
        return 4;
    return 0;
}
