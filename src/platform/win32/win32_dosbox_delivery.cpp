#include "platform/win32/win32_dosbox_delivery.h"

#include "launch/dos_machine.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_dosbox_files.h"
#include "platform/win32/win32_error.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <vector>
#include <windows.h>

namespace kavo::staging {

namespace {

// The recorded DOSBox, when it still runs: the same process id with the same creation time.
bool dosboxRuns(const std::wstring& stage) {
    const std::string record = readAll(stage + L"\\" + std::wstring(kPidName));
    unsigned long pid = 0;
    unsigned long long created = 0;
    if (std::sscanf(record.c_str(), "%lu %llu", &pid, &created) != 2)
        return false;
    Handle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    return process.valid() && creationTime(process.get()) == created &&
           WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

// makeStage's name (the prefix, hex digits, "-", hex digits) on a directory that holds the
// runner's own lock and configuration: nothing else is ever swept.
bool isOurStage(const std::wstring& stage, std::wstring_view name) {
    const std::wstring prefix = wide(dos::kStagePrefix);
    const std::wstring_view rest = name.substr(std::min(name.size(), prefix.size()));
    const auto dash = rest.find(L'-');
    auto hex = [](std::wstring_view digits) {
        return !digits.empty() && std::ranges::all_of(digits, [](wchar_t c) {
            return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f');
        });
    };
    return name.starts_with(prefix) && dash != std::wstring_view::npos &&
           hex(rest.substr(0, dash)) && hex(rest.substr(dash + 1)) &&
           isFile(stage + L"\\" + wide(dos::kLockName)) &&
           isFile(stage + L"\\" + wide(dos::kConfigName));
}

// In use while its owner holds the lock unshared or its DOSBox runs, and for a minute after it
// last changed: a second copy of the program may be filling it right now.
bool inUse(const std::wstring& stage) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    auto ticks = [](FILETIME t) {
        return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime;
    };
    constexpr std::uint64_t kMinute = 60ULL * 10'000'000ULL;
    if (!GetFileAttributesExW(stage.c_str(), GetFileExInfoStandard, &data) ||
        ticks(now) < ticks(data.ftLastWriteTime) + kMinute)
        return true;
    Handle lock(CreateFileW((stage + L"\\" + wide(dos::kLockName)).c_str(), GENERIC_READ, 0,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !lock.valid() || dosboxRuns(stage);
}

} // namespace

std::string deliver(const std::wstring& stage) {
    const std::wstring note = stage + L"\\" + std::wstring(kDeliveryName);
    if (!isFile(note))
        return {};
    Handle noteFile(CreateFileW(note.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    char text[65536];
    DWORD got = 0;
    if (!noteFile.valid() || !ReadFile(noteFile.get(), text, sizeof text, &got, nullptr))
        return win32::lastError().message();
    const std::string lines(text, got);
    const auto newline = lines.find('\n');
    if (newline == std::string::npos)
        return "the delivery note is damaged";
    const std::wstring staged = stage + L"\\" + wide(lines.substr(0, newline));
    Handle in(CreateFileW(staged.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!in.valid())
        return win32::lastError().message();
    Handle out(CreateFileW(wide(lines.substr(newline + 1)).c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER before{};
    if (!out.valid() || !GetFileSizeEx(out.get(), &before) ||
        !SetFilePointerEx(out.get(), before, nullptr, FILE_BEGIN))
        return win32::lastError().message();
    std::vector<char> chunk(std::size_t{1} << 20);
    bool ok = true;
    while (ok) {
        ok = ReadFile(in.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr);
        if (ok && got == 0)
            break;
        ok = ok && writeAll(out.get(), std::string_view(chunk.data(), got));
    }
    if (!ok || !FlushFileBuffers(out.get())) {
        const std::string why = win32::lastError().message();
        SetFilePointerEx(out.get(), before, nullptr, FILE_BEGIN);
        SetEndOfFile(out.get());
        return why;
    }
    CloseHandle(noteFile.release());
    DeleteFileW(note.c_str());
    return {};
}

void sweep(const std::wstring& base, MessageSink& messages) {
    WIN32_FIND_DATAW entry;
    HANDLE found = FindFirstFileW((base + L"\\" + wide(dos::kStagePrefix) + L"*").c_str(), &entry);
    for (BOOL more = found != INVALID_HANDLE_VALUE; more; more = FindNextFileW(found, &entry)) {
        const std::wstring stage = base + L"\\" + entry.cFileName;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
            (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 &&
            isOurStage(stage, entry.cFileName) && !inUse(stage))
            try {
                const std::string undelivered = deliver(stage);
                if (undelivered.empty())
                    removeTree(stage);
                else if (writeNew(stage + L"\\told", {}))
                    messages.show("A recording of an earlier run could not be added to its WAV "
                                  "file: " +
                                      undelivered + ".\rIt is kept in \"" + win32::toUtf8(stage) +
                                      "\".",
                                  kErrorTitle, MessageIcon::Error);
            } catch (const std::exception&) {
                // Left as it is, for the user to look at.
            }
    }
    if (found != INVALID_HANDLE_VALUE)
        FindClose(found);
}

} // namespace kavo::staging
