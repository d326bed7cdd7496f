#include "picker/std_directory_source.h"

#include "picker/picker_paths.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace kavo {

namespace fs = std::filesystem;

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name); // NOLINT(concurrency-mt-unsafe): one UI thread
    return value != nullptr ? std::string(value) : std::string();
}

bool hiddenName(const std::string& name) {
#ifdef _WIN32
    return name.empty();
#else
    return name.empty() || name.front() == '.';
#endif
}

bool isDirectory(const std::string& path) {
    std::error_code error;
    return fs::is_directory(fsPath(path), error);
}

} // namespace

StdDirectorySource::StdDirectorySource()
    : home_(environment("HOME")), mountBases_(defaultMountBases()) {}

std::vector<std::string> StdDirectorySource::defaultMountBases() {
    std::string user = environment("USER");
    if (user.empty())
        user = environment("LOGNAME");
    std::vector<std::string> bases;
    if (!user.empty())
        bases = {"/media/" + user, "/run/media/" + user};
    bases.emplace_back("/media");
    bases.emplace_back("/mnt");
    return bases;
}

StdDirectorySource::StdDirectorySource(std::string home, std::vector<std::string> mountBases)
    : home_(std::move(home)), mountBases_(std::move(mountBases)) {}

std::optional<DirectoryListing> StdDirectorySource::list(const std::string& directory) {
    std::error_code error;
    fs::directory_iterator it(fsPath(directory), error);
    if (error)
        return std::nullopt;
    DirectoryListing listing;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            return std::nullopt;
        std::string name = utf8Path(it->path().filename());
        if (hiddenName(name)) // also a name with no UTF-8 form
            continue;
        std::error_code statusError;
        if (it->is_directory(statusError))
            listing.directories.push_back(std::move(name));
        else if (it->is_regular_file(statusError))
            listing.files.push_back(std::move(name));
    }
    return listing;
}

std::string StdDirectorySource::currentDirectory() {
    std::error_code error;
    const fs::path current = fs::current_path(error);
    return error ? std::string() : listPath(utf8Path(current));
}

std::vector<Drive> StdDirectorySource::drives() {
    std::vector<Drive> result;
#ifdef _WIN32
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const std::string root{letter, ':', '\\'};
        std::error_code error;
        if (fs::exists(root, error))
            result.push_back({std::string{letter, ':'}, root});
    }
#else
    auto add = [&result](const std::string& path) {
        const std::string root = listPath(path);
        if (!root.empty() && std::none_of(result.begin(), result.end(),
                                          [&root](const Drive& d) { return d.root == root; }))
            result.push_back({root, root});
    };
    add("/");
    if (!home_.empty() && isDirectory(home_))
        add(home_);
    for (const std::string& base : mountBases_) {
        const auto listing = list(base);
        if (!listing)
            continue;
        std::vector<std::string> names = listing->directories;
        sortIgnoringCase(names);
        for (const std::string& name : names) {
            const std::string path = listPath(base + "/" + name);
            if (std::find(mountBases_.begin(), mountBases_.end(), path) == mountBases_.end())
                add(path);
        }
    }
#endif
    return result;
}

std::string StdDirectorySource::driveDirectory(const Drive& drive) {
#ifdef _WIN32
    // "X:" alone names the drive's current directory.
    std::error_code error;
    const std::string current = utf8Path(fs::absolute(fsPath(drive.text.substr(0, 2)), error));
    if (!error && isDirectory(current))
        return listPath(current);
#endif
    return drive.root;
}

} // namespace kavo
