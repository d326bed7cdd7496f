#include "platform/posix/posix_process_starter.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <linux/close_range.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kavo {

namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

// Async-signal-safe: runs between fork and exec. Close-on-exec rather than closed, so that the
// report pipe still carries a failed exec's errno.
void closeFromThree() {
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0)
        return;
    // Kernels before 5.11: every descriptor the limit allows.
    const long limit = ::sysconf(_SC_OPEN_MAX);
    for (int fd = 3; fd < (limit > 0 ? limit : 1024); ++fd)
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
}

} // namespace

std::error_code PosixProcessStarter::start(const CommandLine& command) {
    if (command.program.empty())
        return std::make_error_code(std::errc::no_such_file_or_directory);

    // The player looks for its configuration file in its working directory.
    std::error_code error;
    const std::filesystem::path program = std::filesystem::absolute(command.program, error);
    if (error)
        return error;
    const std::string path = program.string(), directory = program.parent_path().string();

    // Everything the children need is prepared before fork: after it only async-signal-safe
    // calls are allowed.
    std::vector<std::string> words{command.program};
    words.insert(words.end(), command.arguments.begin(), command.arguments.end());
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return lastError();

    // The intermediate child exits at once, so the player is adopted by init and never waits
    // as a zombie for us. The pipe closes on a successful exec and carries errno otherwise.
    const pid_t child = ::fork();
    if (child < 0) {
        const std::error_code error = lastError();
        ::close(report[0]);
        ::close(report[1]);
        return error;
    }
    if (child == 0) {
        ::close(report[0]);
        const pid_t player = ::fork();
        if (player == 0) {
            ::setsid();
            // The player gets the standard descriptors only: one we inherited left open (a
            // parent's pipe, say) would stay open as long as the player runs.
            closeFromThree();
            if (::chdir(directory.c_str()) == 0)
                ::execv(path.c_str(), argv.data());
        }
        if (player <= 0) {
            const int error = errno;
            [[maybe_unused]] const ssize_t ignored = ::write(report[1], &error, sizeof error);
            ::_exit(127);
        }
        ::_exit(0);
    }

    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int childError = 0;
    ssize_t got = 0;
    do {
        got = ::read(report[0], &childError, sizeof childError);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    if (got == static_cast<ssize_t>(sizeof childError))
        return {childError, std::generic_category()};
    return {};
}

} // namespace kavo
