#pragma once

// The files of a DOSBox stage on Windows: what the starter makes, reads and removes there.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <windows.h>

namespace kavo::staging {

inline constexpr std::wstring_view kPidName = L"dosbox.pid";
// Two lines: the staged recording, relative to the stage, and the user's WAV file.
inline constexpr std::wstring_view kDeliveryName = L"deliver";

std::wstring wide(std::string_view utf8);
std::wstring wide(char c);
bool isFile(const std::wstring& path);
std::wstring fullPath(const std::wstring& path);

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (valid())
            CloseHandle(handle_);
    }
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

private:
    HANDLE handle_;
};

std::optional<BY_HANDLE_FILE_INFORMATION> fileInfo(const std::wstring& path);
// The volume and index that name a file whatever path (or hard link) reaches it; {0, 0} when
// it cannot be opened.
std::pair<DWORD, std::uint64_t> fileId(const std::wstring& path);
// "" also when it cannot be read: for texts whose absence says enough.
std::string readAll(const std::wstring& path);
bool writeAll(HANDLE file, std::string_view bytes);
bool writeNew(const std::wstring& path, std::string_view bytes);
bool isDosProgramFile(const std::string& path);
// Never follows a junction: what it points at is the user's. A read-only hard link stays.
void removeTree(const std::wstring& dir);
// A directory junction (mount point) at link, made in place: it needs no special rights.
bool makeJunction(const std::wstring& link, const std::wstring& target);
// Read-only files are copied, so that removing the stage never has to touch their attributes.
bool linkOrCopy(const std::wstring& source, const std::wstring& staged);
// Drive C without a junction (a volume or system that makes none): the directory's files,
// linked where the volume allows. The player reads its program and configuration there.
bool linkFiles(const std::wstring& dir, const std::wstring& into);
// A new stage directory under base, named by this process and the time; "" when none is made.
std::wstring makeStage(const std::wstring& base);
std::uint64_t creationTime(HANDLE process);

} // namespace kavo::staging
