#include "platform/win32/win32_dosbox_locate.h"

#include "launch/dos_machine.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_dosbox_files.h"

#include <algorithm>
#include <cwchar>
#include <windows.h>

namespace kavo {

using staging::isFile;

namespace {

std::wstring parentOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring environment(const wchar_t* name) {
    std::wstring value(32768, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
    return value;
}

} // namespace

bool windowsRunsDosPrograms() {
    USHORT process = 0;
    USHORT native = 0;
    using IsWow64Process2Fn = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
    // Looked up at run time: older systems lack it, and there GetNativeSystemInfo is right.
    const auto isWow64Process2 = reinterpret_cast<IsWow64Process2Fn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process2")));
    if (isWow64Process2 != nullptr && isWow64Process2(GetCurrentProcess(), &process, &native)) {
        if (native != IMAGE_FILE_MACHINE_I386)
            return false;
    } else {
        SYSTEM_INFO info{};
        GetNativeSystemInfo(&info);
        if (info.wProcessorArchitecture != PROCESSOR_ARCHITECTURE_INTEL)
            return false;
    }
    // 32-bit Windows runs DOS programs through NTVDM, an optional feature since Windows 10.
    std::wstring system(MAX_PATH, L'\0');
    system.resize(GetSystemDirectoryW(system.data(), static_cast<UINT>(system.size())));
    return isFile(system + L"\\ntvdm.exe");
}

std::string findDosbox() {
    const std::wstring path = environment(L"PATH");
    for (std::size_t begin = 0; begin < path.size();) {
        const std::size_t end = std::min(path.find(L';', begin), path.size());
        std::wstring dir = path.substr(begin, end - begin);
        std::erase(dir, L'"');
        if (!dir.empty() && isFile(dir + L"\\dosbox.exe"))
            return win32::toUtf8(dir + L"\\dosbox.exe");
        begin = end + 1;
    }

    // The installer's uninstall entry names its folder in one of these values.
    const std::wstring uninstall = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
            HKEY entries = nullptr;
            if (RegOpenKeyExW(root, uninstall.c_str(), 0, KEY_READ | view, &entries) != 0)
                continue;
            wchar_t name[256];
            for (DWORD i = 0, size = 256; RegEnumKeyExW(entries, i, name, &size, nullptr, nullptr,
                                                        nullptr, nullptr) == ERROR_SUCCESS;
                 ++i, size = 256) {
                if (_wcsnicmp(name, L"DOSBox", 6) != 0)
                    continue;
                for (const wchar_t* value :
                     {L"InstallLocation", L"DisplayIcon", L"UninstallString"}) {
                    std::wstring text(MAX_PATH * 2, L'\0');
                    auto bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
                    if (RegGetValueW(entries, name, value, RRF_RT_REG_SZ, nullptr, text.data(),
                                     &bytes) != ERROR_SUCCESS)
                        continue;
                    text.resize(wcslen(text.c_str()));
                    std::erase(text, L'"');
                    const std::wstring dir = isFile(text) || text.find(L',') != std::wstring::npos
                                                 ? parentOf(text.substr(0, text.find(L',')))
                                                 : text;
                    if (!dir.empty() && isFile(dir + L"\\dosbox.exe")) {
                        RegCloseKey(entries);
                        return win32::toUtf8(dir + L"\\dosbox.exe");
                    }
                }
            }
            RegCloseKey(entries);
        }

    for (const wchar_t* folder : {L"ProgramFiles(x86)", L"ProgramFiles"}) {
        const std::wstring programs = environment(folder);
        WIN32_FIND_DATAW entry;
        HANDLE found = FindFirstFileW((programs + L"\\DOSBox-0.74*").c_str(), &entry);
        std::wstring dosbox;
        for (BOOL more = !programs.empty() && found != INVALID_HANDLE_VALUE; more && dosbox.empty();
             more = FindNextFileW(found, &entry)) {
            const std::wstring candidate = programs + L"\\" + entry.cFileName + L"\\dosbox.exe";
            if (isFile(candidate))
                dosbox = candidate;
        }
        if (found != INVALID_HANDLE_VALUE)
            FindClose(found);
        if (!dosbox.empty())
            return win32::toUtf8(dosbox);
    }
    return {};
}

std::string windowsStagingBase() {
    std::wstring temp(MAX_PATH + 1, L'\0');
    temp.resize(GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
    std::wstring shortForm(32768, L'\0');
    shortForm.resize(
        GetShortPathNameW(temp.c_str(), shortForm.data(), static_cast<DWORD>(shortForm.size())));
    while (!shortForm.empty() && shortForm.back() == L'\\')
        shortForm.pop_back();
    const std::string base = win32::toUtf8(shortForm);
    return dos::isPlainWindowsDir(base + "\\") ? base : std::string();
}

} // namespace kavo
