#include "bench_support.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace kavo::bench {

namespace {

class Scratch {
public:
    Scratch() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kavo-bench-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) ? pattern + "/" : std::string();
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    ~Scratch() {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

} // namespace

const std::string& scratchDirectory() {
    static const Scratch scratch;
    return scratch.path();
}

std::string benchDisplay() {
    for (const char* name : {"KAVO_BENCH_DISPLAY", "KAVO_TEST_DISPLAY", "DISPLAY"})
        // NOLINTNEXTLINE(concurrency-mt-unsafe): one thread
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0')
            return value;
    return {};
}

std::int64_t monotonicNanoseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

Child spawn(const std::string& program, const std::vector<std::string>& arguments,
            const std::vector<std::string>& environment) {
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        bool replaced = false;
        for (const std::string& change : environment)
            replaced |= change.substr(0, change.find('=')) == name;
        if (!replaced)
            env.push_back(text);
    }
    for (const std::string& change : environment)
        if (change.find('=') != std::string::npos)
            env.push_back(change);

    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& entry : env)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    Child child;
    pid_t pid = -1;
    if (::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
        child.pid = pid;
        child.output = pipeFds[0];
    } else {
        ::close(pipeFds[0]);
    }
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    return child;
}

std::string readLine(int fd, int timeoutMilliseconds) {
    std::string line;
    const std::int64_t deadline = monotonicNanoseconds() + timeoutMilliseconds * 1'000'000LL;
    for (;;) {
        const auto left = static_cast<int>((deadline - monotonicNanoseconds()) / 1'000'000);
        pollfd poller{fd, POLLIN, 0};
        if (left <= 0 || ::poll(&poller, 1, left) <= 0)
            return {};
        char c = 0;
        const ssize_t got = ::read(fd, &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || c == '\n')
            return line;
        line += c;
    }
}

long reap(Child& child) {
    if (child.output >= 0)
        ::close(child.output);
    child.output = -1;
    if (child.pid <= 0)
        return 0;
    int status = 0;
    rusage usage{};
    while (::wait4(child.pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    child.pid = -1;
    return usage.ru_maxrss;
}

} // namespace kavo::bench
