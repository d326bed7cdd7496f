#pragma once

#include "picker/directory_source.h"

#include <map>
#include <set>

namespace kavo::test {

// Directories by path; a path listed in unreadable is there but cannot be read.
class FakeDirectorySource : public DirectorySource {
public:
    std::optional<DirectoryListing> list(const std::string& directory) override {
        listed.push_back(directory);
        auto it = tree.find(directory);
        if (it == tree.end() || unreadable.contains(directory))
            return std::nullopt;
        return it->second;
    }
    std::string currentDirectory() override { return current; }
    std::vector<Drive> drives() override { return driveList; }
    std::string driveDirectory(const Drive& drive) override {
        auto it = driveCurrent.find(drive.text);
        return it == driveCurrent.end() ? drive.root : it->second;
    }

    std::map<std::string, DirectoryListing> tree;
    std::set<std::string> unreadable;
    std::string current;
    std::vector<Drive> driveList;
    std::map<std::string, std::string> driveCurrent;
    std::vector<std::string> listed;
};

} // namespace kavo::test
