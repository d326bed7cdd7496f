#include "platform/posix/posix_file_system.h"

#include "platform/posix/descriptor.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace kavo {

namespace {

std::string baseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

} // namespace

std::string PosixFileSystem::findOrdinaryFile(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    std::string name = baseName(path);
    if (name.empty() || name.front() == '.')
        return {};
    return name;
}

bool PosixFileSystem::writeWhole(const std::string& path, std::string_view bytes) {
    Descriptor file(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666));
    if (file.get() < 0)
        return false;
    while (!bytes.empty()) {
        const ssize_t written = ::write(file.get(), bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return file.close();
}

bool PosixFileSystem::openOrCreate(const std::string& path) {
    // Non-blocking, so that a FIFO given as a file name cannot hang the program.
    Descriptor file(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666));
    return file.get() >= 0 && file.close();
}

std::optional<std::uint64_t> PosixFileSystem::fileSize(const std::string& path) {
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

std::string PosixFileSystem::resolveNameCase(const std::string& directory, std::string_view name) {
    std::string exact = directory + std::string(name);
    auto isFile = [](const std::string& path) {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
    };
    if (isFile(exact))
        return exact;
    // A file is preferred to a directory of the same name; among files the first in byte order.
    std::error_code error;
    std::string best;
    for (std::filesystem::directory_iterator it(directory.empty() ? "." : directory, error), end;
         !error && it != end; it.increment(error)) {
        std::string candidate = it->path().filename().string();
        if (equalIgnoringCase(candidate, name) && (best.empty() || candidate < best) &&
            isFile(directory + candidate))
            best = std::move(candidate);
    }
    return best.empty() ? exact : directory + best;
}

} // namespace kavo
