#include "platform/win32/win32_dosbox_files.h"

#include "launch/dos_machine.h"
#include "platform/win32/wide_text.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>
#include <winioctl.h>

namespace kavo::staging {

namespace {

std::string head(HANDLE file, std::uint32_t offset, DWORD count) {
    std::string bytes(count, '\0');
    OVERLAPPED at{};
    at.Offset = offset;
    DWORD got = 0;
    if (!ReadFile(file, bytes.data(), count, &got, &at))
        got = 0;
    bytes.resize(got);
    return bytes;
}

} // namespace

std::wstring wide(std::string_view utf8) {
    return win32::toWidePath(utf8).value_or(std::wstring());
}

std::wstring wide(char c) {
    return {static_cast<wchar_t>(c)};
}

bool isFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::wstring fullPath(const std::wstring& path) {
    std::wstring full(32768, L'\0');
    full.resize(
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    return full;
}

std::optional<BY_HANDLE_FILE_INFORMATION> fileInfo(const std::wstring& path) {
    Handle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &info))
        return std::nullopt;
    return info;
}

std::pair<DWORD, std::uint64_t> fileId(const std::wstring& path) {
    const auto info = fileInfo(path);
    if (!info)
        return {};
    return {info->dwVolumeSerialNumber,
            (std::uint64_t{info->nFileIndexHigh} << 32) | info->nFileIndexLow};
}

std::string readAll(const std::wstring& path) {
    Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (file.valid() && ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    return bytes;
}

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD wrote = 0;
        const auto part = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
        if (!WriteFile(file, bytes.data(), part, &wrote, nullptr) || wrote == 0)
            return false;
        bytes.remove_prefix(wrote);
    }
    return true;
}

bool writeNew(const std::wstring& path, std::string_view bytes) {
    Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid() && writeAll(file.get(), bytes);
}

bool isDosProgramFile(const std::string& path) {
    Handle file(CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return false;
    const std::string first = head(file.get(), 0, 64);
    const auto offset = dos::newHeaderOffset(first);
    return dos::isDosProgram(first, offset ? head(file.get(), *offset, 4) : std::string());
}

// Never follows a junction: what it points at is the user's.
void removeTree(const std::wstring& dir) {
    WIN32_FIND_DATAW entry;
    HANDLE found = FindFirstFileW((dir + L"\\*").c_str(), &entry);
    for (BOOL more = found != INVALID_HANDLE_VALUE; more; more = FindNextFileW(found, &entry)) {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = dir + L"\\" + name;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
            (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            RemoveDirectoryW(path.c_str());
        else if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            removeTree(path);
        else if (!DeleteFileW(path.c_str()) &&
                 (entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
            // A copy of a read-only file. A hard link shares its attributes with the user's
            // file, which may have turned read-only since: it stays, the user's file unchanged.
            const auto info = fileInfo(path);
            if (info && info->nNumberOfLinks == 1) {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        }
    }
    if (found != INVALID_HANDLE_VALUE)
        FindClose(found);
    RemoveDirectoryW(dir.c_str());
}

bool makeJunction(const std::wstring& link, const std::wstring& target) {
    if (target.size() < 3 || target[1] != L':' || !CreateDirectoryW(link.c_str(), nullptr))
        return false;
    const std::wstring substitute = L"\\??\\" + target;
    const std::size_t names = (substitute.size() + 1 + target.size() + 1) * sizeof(wchar_t);
    // REPARSE_DATA_BUFFER's mount point form: tag, data length, reserved, four name offsets
    // and lengths, then both names with their NULs.
    constexpr std::size_t kHeader = 8;
    constexpr std::size_t kOffsets = 8;
    std::vector<BYTE> buffer(kHeader + kOffsets + names);
    auto put16 = [&](std::size_t at, std::size_t value) {
        const auto word = static_cast<WORD>(value);
        std::memcpy(buffer.data() + at, &word, sizeof word);
    };
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(buffer.data(), &tag, sizeof tag);
    put16(4, kOffsets + names);
    put16(8, 0);
    put16(10, substitute.size() * sizeof(wchar_t));
    put16(12, (substitute.size() + 1) * sizeof(wchar_t));
    put16(14, target.size() * sizeof(wchar_t));
    std::memcpy(buffer.data() + 16, substitute.c_str(), (substitute.size() + 1) * sizeof(wchar_t));
    std::memcpy(buffer.data() + 16 + (substitute.size() + 1) * sizeof(wchar_t), target.c_str(),
                (target.size() + 1) * sizeof(wchar_t));

    bool made = false;
    {
        Handle dir(CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        DWORD returned = 0;
        made = dir.valid() &&
               DeviceIoControl(dir.get(), FSCTL_SET_REPARSE_POINT, buffer.data(),
                               static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
    }
    if (!made)
        RemoveDirectoryW(link.c_str());
    return made;
}

bool linkOrCopy(const std::wstring& source, const std::wstring& staged) {
    const DWORD attributes = GetFileAttributesW(source.c_str());
    return ((attributes & FILE_ATTRIBUTE_READONLY) == 0 &&
            CreateHardLinkW(staged.c_str(), source.c_str(), nullptr)) ||
           CopyFileW(source.c_str(), staged.c_str(), TRUE);
}

bool linkFiles(const std::wstring& dir, const std::wstring& into) {
    if (!CreateDirectoryW(into.c_str(), nullptr))
        return false;
    WIN32_FIND_DATAW entry;
    HANDLE found = FindFirstFileW((dir + L"\\*").c_str(), &entry);
    bool ok = found != INVALID_HANDLE_VALUE;
    for (BOOL more = ok; ok && more; more = FindNextFileW(found, &entry))
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            ok = linkOrCopy(dir + L"\\" + entry.cFileName, into + L"\\" + entry.cFileName);
    if (found != INVALID_HANDLE_VALUE)
        FindClose(found);
    return ok;
}

std::uint64_t creationTime(HANDLE process) {
    FILETIME created{};
    FILETIME unused[3]{};
    if (!GetProcessTimes(process, &created, &unused[0], &unused[1], &unused[2]))
        return 0;
    return (std::uint64_t{created.dwHighDateTime} << 32) | created.dwLowDateTime;
}

std::wstring makeStage(const std::wstring& base) {
    static unsigned made = 0;
    for (int tries = 0; tries < 100; ++tries) {
        wchar_t suffix[32];
        swprintf(suffix, 32, L"%lx-%x", GetCurrentProcessId(),
                 static_cast<unsigned>(GetTickCount64() & 0xFFFFF) + made++);
        const std::wstring stage = base + L"\\" + wide(dos::kStagePrefix) + suffix;
        if (CreateDirectoryW(stage.c_str(), nullptr))
            return stage;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    return {};
}

} // namespace kavo::staging
