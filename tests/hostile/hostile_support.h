#pragma once
// Helpers of the hostile-input tests.

#include "../posix/temp_dir.h"

#include <csignal>
#include <dirent.h>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace kavo::test {

// Runs body in a child process that cannot write where only root could (the tests run as root,
// and root ignores permission bits), and returns what body returned.
inline std::string runUnprivileged(const std::function<std::string()>& body) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return "pipe failed";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        const std::string result = body();
        const ssize_t written = ::write(pipeFds[1], result.data(), result.size());
        ::_exit(written == static_cast<ssize_t>(result.size()) ? 0 : 4);
    }
    ::close(pipeFds[1]);
    std::string result;
    char chunk[4096];
    for (ssize_t got; (got = ::read(pipeFds[0], chunk, sizeof chunk)) > 0;)
        result.append(chunk, static_cast<std::size_t>(got));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    return result;
}

// A directory the unprivileged child of runUnprivileged can read and write.
inline void openToEveryone(const std::string& path) {
    std::filesystem::permissions(path, std::filesystem::perms::all);
}

// Fails the test instead of hanging it when something blocks.
class Deadline {
public:
    explicit Deadline(unsigned seconds) { ::alarm(seconds); }
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;
    ~Deadline() { ::alarm(0); }
};

inline int openDescriptors() {
    int count = 0;
    if (DIR* dir = ::opendir("/proc/self/fd")) {
        while (const dirent* entry = ::readdir(dir))
            count += entry->d_name[0] != '.';
        ::closedir(dir);
    }
    return count;
}

// Children of ours that have ended but were never reaped.
inline bool zombieChildren() {
    int status = 0;
    return ::waitpid(-1, &status, WNOHANG) > 0;
}

} // namespace kavo::test
