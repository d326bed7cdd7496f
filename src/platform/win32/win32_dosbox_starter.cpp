#include "platform/win32/win32_dosbox_starter.h"

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_error.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <exception>
#include <optional>
#include <utility>
#include <vector>
#include <winioctl.h>

namespace kavo {

namespace {

constexpr std::wstring_view kPidName = L"dosbox.pid";
// Two lines: the staged recording, relative to the stage, and the user's WAV file.
constexpr std::wstring_view kDeliveryName = L"deliver";

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

std::wstring parentOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring environment(const wchar_t* name) {
    std::wstring value(32768, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
    return value;
}

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

std::optional<BY_HANDLE_FILE_INFORMATION> fileInfo(const std::wstring& path) {
    Handle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &info))
        return std::nullopt;
    return info;
}

// The volume and index that name a file whatever path (or hard link) reaches it; {0, 0} when
// it cannot be opened.
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

// A directory junction (mount point) at link, made in place: it needs no special rights.
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

// Read-only files are copied, so that removing the stage never has to touch their attributes.
bool linkOrCopy(const std::wstring& source, const std::wstring& staged) {
    const DWORD attributes = GetFileAttributesW(source.c_str());
    return ((attributes & FILE_ATTRIBUTE_READONLY) == 0 &&
            CreateHardLinkW(staged.c_str(), source.c_str(), nullptr)) ||
           CopyFileW(source.c_str(), staged.c_str(), TRUE);
}

// Drive C without a junction (a volume or system that makes none): the directory's files,
// linked where the volume allows. The player reads its program and configuration there.
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

// Appends the staged recording to the user's WAV file in chunks (an hour of it does not fit a
// 32-bit program's memory). Any failure keeps the stage, and a failed append is cut back to the
// file's size before it, so that the next try never adds the recording twice. Returns "" or
// what went wrong.
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
    Handle out(CreateFileW(wide(lines.substr(newline + 1)).c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER before{};
    if (!in.valid() || !out.valid() || !GetFileSizeEx(out.get(), &before) ||
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

// Stages left behind, once neither their owner nor their DOSBox runs: the recording delivered
// first. One that cannot be is kept and told of once; nothing here may end the program, which
// runs this at every start.
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

Win32DosboxStarter::Win32DosboxStarter(ProcessStarter& native, HandleWatcher& watcher,
                                       MessageSink& messages, std::string stagingBase,
                                       bool windowsRunsDos)
    : native_(native), watcher_(watcher), messages_(messages), base_(std::move(stagingBase)),
      windowsRunsDos_(windowsRunsDos) {
    if (!base_.empty())
        sweep(wide(base_), messages_);
}

// DOSBox outlives us if it must; the next starter delivers and sweeps what it leaves.
Win32DosboxStarter::~Win32DosboxStarter() {
    for (const auto& [process, run] : runs_) {
        watcher_.unwatch(process);
        CloseHandle(process);
        CloseHandle(run.lock);
    }
}

ShortPathApi* Win32DosboxStarter::shortPathsFor(const std::string& program) {
    names_ = dos::StageNames([](const std::string& path) {
        const std::wstring absolute = fullPath(wide(path));
        return absolute.empty() ? std::string() : win32::toUtf8(absolute);
    });
    dosProgram_ = !windowsRunsDos_ && isDosProgramFile(program) ? program : std::string();
    return dosProgram_.empty() ? nullptr : &names_;
}

std::error_code Win32DosboxStarter::start(const CommandLine& command) {
    if (dosProgram_.empty() || command.program != dosProgram_) {
        const std::error_code failure = native_.start(command);
        // A Windows that refuses a DOS program after all plays it in DOSBox from now on.
        if (failure == std::errc::executable_format_error && isDosProgramFile(command.program))
            windowsRunsDos_ = false;
        return failure;
    }
    dosProgram_.clear();
    return startDosbox(command);
}

std::optional<std::int64_t> Win32DosboxStarter::newestDosMachine() const {
    const auto newest =
        std::ranges::max_element(runs_, {}, [](const auto& entry) { return entry.second.serial; });
    return newest == runs_.end() ? std::nullopt : std::optional<std::int64_t>(newest->second.pid);
}

std::error_code Win32DosboxStarter::startDosbox(const CommandLine& command) {
    const std::wstring program = fullPath(wide(command.program));
    const auto slash = program.find_last_of(L'\\');
    const std::string name = win32::toUtf8(program.substr(slash + 1));
    // The rest of the launcher's line holds only the names given out above.
    const std::string dosCommand = "C:\\" + name + command.text.substr(command.program.size());
    if (slash == std::wstring::npos || !dos::isDosName(name) || !dos::isPlainCommand(dosCommand))
        return StartError::NotDosName;
    const std::wstring dosbox = wide(findDosbox());
    if (dosbox.empty())
        return StartError::EmulatorMissing;
    if (base_.empty())
        return StartError::Staging;
    // A second DOSBox would truncate the file the first still records into.
    const dos::Stage::File* recording = dos::recording(names_.stage, command.arguments);
    const auto recordingId = recording ? fileId(wide(recording->hostPath)) : Run::FileId{};
    if (recordingId != Run::FileId{} && std::ranges::any_of(runs_, [&](const auto& entry) {
            return entry.second.recording == recordingId;
        }))
        return StartError::RecordingBusy;

    const std::wstring stage = makeStage(wide(base_));
    if (stage.empty())
        return StartError::Staging;
    auto abandon = [&stage](std::error_code error) {
        removeTree(stage);
        return error;
    };
    Handle lock(CreateFileW((stage + L"\\" + wide(dos::kLockName)).c_str(), GENERIC_WRITE, 0,
                            nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    const std::wstring playerDir = program.substr(0, slash);
    // A drive's root needs its backslash to be a directory.
    const std::wstring target = playerDir.size() == 2 ? playerDir + L"\\" : playerDir;
    if (!lock.valid() ||
        (!makeJunction(stage + L"\\C", target) && !linkFiles(playerDir, stage + L"\\C")))
        return abandon(StartError::Staging);

    for (const dos::Stage::File& file : names_.stage.files()) {
        const std::wstring drive = stage + L"\\" + wide(file.drive);
        const std::wstring staged = drive + L"\\" + wide(file.dosName);
        const std::wstring source = wide(file.hostPath);
        const bool isWav = &file == recording;
        bool ok = CreateDirectoryW(drive.c_str(), nullptr) != FALSE;
        if (ok && isWav && !CreateHardLinkW(staged.c_str(), source.c_str(), nullptr))
            ok = writeNew(staged, {}) &&
                 writeNew(stage + L"\\" + std::wstring(kDeliveryName),
                          std::string{file.drive} + "\\" + file.dosName + "\n" + file.hostPath);
        else if (ok && !isWav)
            ok = linkOrCopy(source, staged);
        if (!ok)
            return abandon(StartError::Staging);
    }
    const std::string stageText = win32::toUtf8(stage);
    if (!CreateDirectoryW((stage + L"\\" + wide(dos::kMarkerDrive)).c_str(), nullptr) ||
        !writeNew(stage + L"\\" + wide(dos::kConfigName),
                  dos::config(stageText, names_.stage, dosCommand, '\\')))
        return abandon(StartError::Staging);

    // The status console stays away; DOSBox then writes its output into the stage.
    std::wstring line =
        L"\"" + dosbox + L"\" -conf \"" + stage + L"\\" + wide(dos::kConfigName) + L"\" -noconsole";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(dosbox.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        stage.c_str(), &startup, &process))
        return abandon(win32::lastError());
    CloseHandle(process.hThread);
    writeNew(stage + L"\\" + std::wstring(kPidName),
             std::to_string(process.dwProcessId) + " " +
                 std::to_string(creationTime(process.hProcess)));

    runs_[process.hProcess] =
        Run{lock.release(), stage, process.dwProcessId, ++starts_, recordingId};
    watcher_.watch(process.hProcess, [this, handle = process.hProcess] { finished(handle); });
    return {};
}

void Win32DosboxStarter::finished(HANDLE process) {
    watcher_.unwatch(process);
    CloseHandle(process);
    const Run run = runs_.at(process);
    runs_.erase(process);
    const std::wstring& stage = run.stageDir;
    const std::string output = readAll(stage + L"\\stdout.txt");
    const std::wstring markerDrive = stage + L"\\" + wide(dos::kMarkerDrive) + L"\\";
    const std::string said = readAll(markerDrive + wide(dos::kSaidName));
    const bool started = isFile(markerDrive + wide(dos::kMarkerName));
    const std::string undelivered = deliver(stage);
    CloseHandle(run.lock);
    if (undelivered.empty())
        removeTree(stage);
    else
        writeNew(stage + L"\\told", {}); // the sweep at the next start need not tell again

    if (!undelivered.empty())
        messages_.show("The player's recording could not be added to the WAV file: " + undelivered +
                           ".\rIt is kept in \"" + win32::toUtf8(stage) +
                           "\"; the program tries again when it next starts.",
                       kErrorTitle, MessageIcon::Error);
    if (const std::string report = dos::endReport(output, started, said); !report.empty())
        messages_.show(report, kErrorTitle, MessageIcon::Error);
}

} // namespace kavo
