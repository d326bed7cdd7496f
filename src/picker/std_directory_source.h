#pragma once

#include "picker/directory_source.h"

namespace kavo {

// The real file system through std::filesystem. On POSIX the drives are "/", the home
// directory and what is mounted under the usual places for removable media.
class StdDirectorySource : public DirectorySource {
public:
    // Drives from the environment ($HOME, $USER).
    StdDirectorySource();
    // POSIX drives: "/", home (when not empty) and every visible subdirectory of each of
    // mountBases that is not itself one of them.
    StdDirectorySource(std::string home, std::vector<std::string> mountBases);
    // Where removable media appear: the user's own places ($USER, else $LOGNAME), then the
    // shared ones.
    static std::vector<std::string> defaultMountBases();

    std::optional<DirectoryListing> list(const std::string& directory) override;
    std::string currentDirectory() override;
    std::vector<Drive> drives() override;
    std::string driveDirectory(const Drive& drive) override;

private:
    std::string home_;
    std::vector<std::string> mountBases_;
};

} // namespace kavo
