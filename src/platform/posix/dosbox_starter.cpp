#include "platform/posix/dosbox_starter.h"

#include "platform/posix/descriptor.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

namespace kavo {

namespace fs = std::filesystem;

namespace {

// Moved above the descriptors the child's own are copied to, so that no copy overwrites another.
bool raise(Descriptor& fd) {
    const int high = ::fcntl(fd.get(), F_DUPFD_CLOEXEC, 10);
    if (high < 0)
        return false;
    fd = Descriptor(high);
    return true;
}

std::string readHead(int fd, off_t offset, std::size_t count) {
    std::string bytes(count, '\0');
    const ssize_t got = ::pread(fd, bytes.data(), count, offset);
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
}

bool isDosProgramFile(const std::string& path) {
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    const std::string first = readHead(file.get(), 0, 64);
    const auto offset = dos::newHeaderOffset(first);
    const std::string atNewHeader = offset && *offset < static_cast<std::uint64_t>(info.st_size)
                                        ? readHead(file.get(), *offset, 4)
                                        : std::string();
    return dos::isDosProgram(first, atNewHeader);
}

std::string findInPath(std::string_view name) {
    const char* path = std::getenv("PATH"); // NOLINT(concurrency-mt-unsafe): one UI thread
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t begin = 0;
    while (begin <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', begin), dirs.size());
        const std::string dir = end == begin ? "." : dirs.substr(begin, end - begin);
        std::string candidate = dir + "/" + std::string(name);
        struct stat info {};
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        begin = end + 1;
    }
    return {};
}

bool isRegularFile(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// mkdtemp's name, in a directory of ours that holds the runner's own lock and configuration.
bool isOurStage(const fs::path& stage) {
    const std::string name = stage.filename().string();
    const std::string_view suffix =
        std::string_view(name).substr(std::min(name.size(), dos::kStagePrefix.size()));
    struct stat info {};
    return name.starts_with(dos::kStagePrefix) && suffix.size() == 6 &&
           std::ranges::all_of(suffix,
                               [](char c) {
                                   return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                          (c >= '0' && c <= '9');
                               }) &&
           ::lstat(stage.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && isRegularFile(stage / dos::kLockName) &&
           isRegularFile(stage / dos::kConfigName);
}

// Only stale stages of ours: a running DOSBox holds the lock, and a stage untouched for less than
// a minute may be one that a second copy of this program is filling right now.
void sweep(const std::string& base) {
    std::error_code error;
    for (fs::directory_iterator it(base, error), end; !error && it != end; it.increment(error)) {
        const fs::path stage = it->path();
        std::error_code ignored;
        const auto age = fs::file_time_type::clock::now() - fs::last_write_time(stage, ignored);
        if (ignored || age < std::chrono::minutes(1) || !isOurStage(stage))
            continue;
        Descriptor lock(
            ::open((stage / dos::kLockName).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
        if (lock.get() >= 0 && ::flock(lock.get(), LOCK_EX | LOCK_NB) == 0)
            fs::remove_all(stage, ignored);
    }
}

bool writeFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return !out.fail();
}

std::string readTail(const fs::path& path, std::size_t limit) {
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return text.size() > limit ? text.substr(text.size() - limit) : text;
}

// The staged drives: C the player directory, one directory per file, the marker drive.
bool fillStage(const fs::path& stage, const fs::path& playerDir, const dos::Stage& files,
               const std::string& config) {
    std::error_code error;
    fs::create_directory_symlink(playerDir, stage / "C", error);
    for (const dos::Stage::File& file : files.files()) {
        const fs::path drive = stage / std::string{file.drive};
        if (!error)
            fs::create_directory(drive, error);
        if (!error)
            fs::create_symlink(file.hostPath, drive / file.dosName, error);
    }
    if (!error)
        fs::create_directory(stage / std::string{dos::kMarkerDrive}, error);
    return !error && writeFile(stage / dos::kConfigName, config);
}

std::vector<std::string> dosboxEnvironment() {
    // SDL falls back to drawing in the terminal when X fails; with x11 DOSBox says why instead.
    constexpr std::string_view kVideo = "SDL_VIDEODRIVER=";
    std::vector<std::string> env;
    for (char** entry = environ; entry && *entry; ++entry)
        if (!std::string_view(*entry).starts_with(kVideo))
            env.emplace_back(*entry);
    env.push_back(std::string(kVideo) + "x11");
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& words) {
    std::vector<char*> out;
    out.reserve(words.size() + 1);
    for (std::string& word : words)
        out.push_back(word.data());
    out.push_back(nullptr);
    return out;
}

std::error_code lastError() {
    return {errno, std::generic_category()};
}

} // namespace

DosboxStarter::DosboxStarter(ProcessStarter& native, FdWatcher& watcher, MessageSink& messages,
                             std::string stagingBase)
    : native_(native), watcher_(watcher), messages_(messages), base_(std::move(stagingBase)) {
    sweep(base_);
}

// DOSBox outlives us if it must; the next starter sweeps what it leaves.
DosboxStarter::~DosboxStarter() {
    for (const auto& [fd, run] : runs_) {
        watcher_.unwatch(fd);
        ::close(fd);
    }
}

ShortPathApi* DosboxStarter::shortPathsFor(const std::string& program) {
    names_ = dos::StageNames([](const std::string& path) {
        std::error_code error;
        std::string absolute = fs::absolute(path, error).string();
        return error ? std::string() : absolute;
    });
    dosProgram_ = isDosProgramFile(program) ? program : std::string();
    return dosProgram_.empty() ? nullptr : &names_;
}

std::error_code DosboxStarter::start(const CommandLine& command) {
    if (dosProgram_.empty() || command.program != dosProgram_)
        return native_.start(command);
    dosProgram_.clear();
    return startDosbox(command);
}

std::optional<std::int64_t> DosboxStarter::newestDosMachine() const {
    const auto newest =
        std::ranges::max_element(runs_, {}, [](const auto& entry) { return entry.second.serial; });
    return newest == runs_.end() ? std::nullopt : std::optional<std::int64_t>(newest->second.pid);
}

std::error_code DosboxStarter::startDosbox(const CommandLine& command) {
    const fs::path program = fs::absolute(command.program);
    const std::string name = program.filename().string();
    // The rest of the launcher's line holds only the names given out above.
    const std::string dosCommand = "C:\\" + name + command.text.substr(command.program.size());
    if (!dos::isDosName(name) || !dos::isPlainCommand(dosCommand))
        return StartError::NotDosName;
    const std::string dosbox = findInPath("dosbox");
    if (dosbox.empty())
        return StartError::EmulatorMissing;
    // A second DOSBox would truncate the file the first still records into.
    struct stat recordingInfo {};
    const dos::Stage::File* recording = dos::recording(names_.stage, command.arguments);
    const bool records = recording && ::stat(recording->hostPath.c_str(), &recordingInfo) == 0;
    const FileId recordingId{records ? recordingInfo.st_dev : 0,
                             records ? recordingInfo.st_ino : 0};
    if (records && std::ranges::any_of(runs_, [&](const auto& entry) {
            return entry.second.recording == recordingId;
        }))
        return StartError::RecordingBusy;

    std::string stageText = base_ + "/" + std::string(dos::kStagePrefix) + "XXXXXX";
    if (!::mkdtemp(stageText.data()))
        return StartError::Staging;
    const fs::path stage = stageText;
    auto abandon = [&stage](std::error_code error) {
        std::error_code ignored;
        fs::remove_all(stage, ignored);
        return error;
    };
    Descriptor lock(::open((stage / dos::kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    Descriptor output(
        ::open((stage / dos::kOutputName).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
    if (lock.get() < 0 || ::flock(lock.get(), LOCK_EX) != 0 || output.get() < 0 ||
        !fillStage(stage, program.parent_path(), names_.stage,
                   dos::config(stageText, names_.stage, dosCommand)))
        return abandon(StartError::Staging);

    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return abandon(lastError());
    Descriptor exitRead(ends[0]);
    Descriptor exitWrite(ends[1]);
    if (!raise(lock) || !raise(output) || !raise(exitWrite))
        return abandon(lastError());

    // DOSBox writes its output to a file: a pipe would kill it with SIGPIPE once we are gone.
    // It holds the lock (sweeping) and the pipe's write end (its end is DOSBox's) as 3 and 4.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output.get(), 1);
    posix_spawn_file_actions_adddup2(&actions, output.get(), 2);
    posix_spawn_file_actions_adddup2(&actions, exitWrite.get(), 3);
    posix_spawn_file_actions_adddup2(&actions, lock.get(), 4);
    // Nothing else: a descriptor we inherited (a parent's pipe) would stay open while DOSBox runs.
    posix_spawn_file_actions_addclosefrom_np(&actions, 5);
    posix_spawn_file_actions_addchdir_np(&actions, stage.c_str());
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);

    std::vector<std::string> words{dosbox, "-conf", (stage / dos::kConfigName).string()};
    std::vector<std::string> env = dosboxEnvironment();
    auto argv = pointers(words);
    auto envp = pointers(env);
    pid_t pid = 0;
    const int failed =
        ::posix_spawn(&pid, dosbox.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (failed != 0)
        return abandon({failed, std::generic_category()});

    const int fd = exitRead.release();
    runs_[fd] = Run{pid, stageText, ++starts_, recordingId};
    watcher_.watch(fd, [this, fd] { finished(fd); });
    return {};
}

void DosboxStarter::finished(int exitFd) {
    watcher_.unwatch(exitFd);
    ::close(exitFd);
    const Run run = runs_.at(exitFd);
    runs_.erase(exitFd);
    // Its end of the pipe closes as it exits: the wait is short.
    int status = 0;
    while (::waitpid(run.pid, &status, 0) < 0 && errno == EINTR) {
    }
    const fs::path stage = run.stageDir;
    const std::string output = readTail(stage / dos::kOutputName, std::size_t{64} * 1024);
    const fs::path markerDrive = stage / std::string{dos::kMarkerDrive};
    const std::string said = readTail(markerDrive / dos::kSaidName, std::size_t{4} * 1024);
    std::error_code error;
    const bool started = fs::exists(markerDrive / dos::kMarkerName, error);
    fs::remove_all(stage, error);
    if (const std::string report = dos::endReport(output, started, said); !report.empty())
        messages_.show(report, kErrorTitle, MessageIcon::Error);
}

} // namespace kavo
