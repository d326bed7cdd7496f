#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kavo {

// A place the drive list offers: a drive letter on Windows, a mount point elsewhere.
struct Drive {
    // Shown, stored, and given back to select the drive again.
    std::string text;
    // Its top directory, in the directory list's form.
    std::string root;
};

struct DirectoryListing {
    std::vector<std::string> directories;
    std::vector<std::string> files;
};

// What the pickers read from the file system.
class DirectorySource {
public:
    virtual ~DirectorySource() = default;
    // Bare names of the visible subdirectories and ordinary files, in any order; nullopt when
    // the directory cannot be read.
    virtual std::optional<DirectoryListing> list(const std::string& directory) = 0;
    virtual std::string currentDirectory() = 0;
    virtual std::vector<Drive> drives() = 0;
    // The directory the directory list shows when the drive is chosen.
    virtual std::string driveDirectory(const Drive& drive) = 0;
};

} // namespace kavo
