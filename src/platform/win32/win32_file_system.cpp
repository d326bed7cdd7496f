#include "platform/win32/win32_file_system.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

namespace kavo {

namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(FileHandle&& other) noexcept : handle_(other.handle_) {
        other.handle_ = INVALID_HANDLE_VALUE;
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    FileHandle& operator=(FileHandle&&) = delete;
    ~FileHandle() { close(); }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    bool close() {
        if (!valid())
            return true;
        const bool closed = CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

FileHandle open(const std::string& path, DWORD access, DWORD disposition) {
    const auto wide = win32::toWidePath(path);
    if (!wide || wide->empty())
        return FileHandle(INVALID_HANDLE_VALUE);
    FileHandle file(CreateFileW(wide->c_str(), access, kShareAll, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    // Device names such as NUL or COM1 open too, but are no files.
    if (file.valid() && GetFileType(file.get()) != FILE_TYPE_DISK)
        return FileHandle(INVALID_HANDLE_VALUE);
    return file;
}

bool isOrdinary(const WIN32_FIND_DATAW& entry) {
    return (entry.dwFileAttributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

} // namespace

std::string Win32FileSystem::findOrdinaryFile(const std::string& path) {
    const auto wide = win32::toWidePath(path);
    if (!wide || wide->empty())
        return {};
    WIN32_FIND_DATAW entry{};
    HANDLE search = FindFirstFileW(wide->c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return {};
    std::string name;
    do {
        if (isOrdinary(entry)) {
            name = win32::toUtf8(entry.cFileName);
            break;
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return name;
}

bool Win32FileSystem::writeWhole(const std::string& path, std::string_view bytes) {
    // Opened without CREATE_ALWAYS, which refuses an existing hidden or system file, and cut to
    // nothing before writing, so that no old byte survives behind the new text.
    FileHandle file = open(path, GENERIC_WRITE, OPEN_ALWAYS);
    if (!file.valid() || !SetEndOfFile(file.get()))
        return false;
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > MAXDWORD ? MAXDWORD : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), chunk, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return file.close();
}

bool Win32FileSystem::openOrCreate(const std::string& path) {
    FileHandle file = open(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    return file.valid() && file.close();
}

std::optional<std::uint64_t> Win32FileSystem::fileSize(const std::string& path) {
    // Without FILE_FLAG_BACKUP_SEMANTICS a directory does not open.
    FileHandle file = open(path, GENERIC_READ, OPEN_EXISTING);
    LARGE_INTEGER size{};
    if (!file.valid() || !GetFileSizeEx(file.get(), &size))
        return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

std::string Win32FileSystem::resolveNameCase(const std::string& directory, std::string_view name) {
    return directory + std::string(name);
}

} // namespace kavo
