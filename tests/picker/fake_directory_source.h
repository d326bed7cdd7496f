#pragma once

#include "picker/directory_source.h"

#include <map>
#include <set>

namespace kavo::test {

// Directories by path; a path listed in unreadable is there but cannot be read.
struct FakeDirectorySource : DirectorySource {
    std::optional<DirectoryListing> list(const std::string& directory) override {
        if (!tree.contains(directory) || unreadable.contains(directory))
            return std::nullopt;
        return tree.at(directory);
    }
    std::string currentDirectory() override { return current; }
    std::vector<Drive> drives() override { return driveList; }
    std::string driveDirectory(const Drive& drive) override { return drive.root; }

    std::map<std::string, DirectoryListing> tree;
    std::set<std::string> unreadable;
    std::string current;
    std::vector<Drive> driveList;
};

} // namespace kavo::test
