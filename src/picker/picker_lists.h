#pragma once

#include "picker/directory_source.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kavo {

// A stored drive text names a Windows drive ("C:") by its letter in either case, alone or
// followed by ":" and anything.
bool sameDriveLetter(std::string_view stored, std::string_view driveText);

// One line of the directory list: the current directory's ancestors from the root down, the
// current directory, then its subdirectories one level deeper.
struct DirectoryRow {
    std::string label;
    std::string path;
    int level = 0;
    // An ancestor or the current directory itself: shown open.
    bool open = false;
};

// The drive and directory lists a picker shows, coupled as they are in both pickers: a new
// drive shows that drive's directory, and the drive always follows the directory. A drive or
// directory that cannot be read leaves both as they were.
class PickerLists {
public:
    // Starts at the process's current directory and its drive.
    explicit PickerLists(DirectorySource& source);

    // The opening steps: the stored drive, then the stored directory; an empty or unusable
    // value skips the rest without a message.
    void restore(const std::string& driveText, const std::string& path);

    bool selectDrive(std::size_t index);
    bool selectDriveText(std::string_view text);
    bool setPath(const std::string& path);

    const std::vector<Drive>& drives() const { return drives_; }
    // drives().size() when no drive holds the current directory.
    std::size_t driveIndex() const { return driveIndex_; }
    std::string driveText() const;
    const std::string& path() const { return path_; }
    // Index in directoryRows() of the current directory.
    std::size_t currentRow() const { return ancestorCount_; }
    const std::vector<DirectoryRow>& directoryRows() const { return rows_; }
    // The current directory's files matching pattern, sorted ignoring case.
    std::vector<std::string> files(std::string_view pattern) const;

private:
    std::size_t driveFor(const std::string& path) const;
    void buildRows(const std::vector<std::string>& subdirectories);

    DirectorySource& source_;
    std::vector<Drive> drives_;
    std::size_t driveIndex_ = 0;
    std::string path_;
    std::vector<DirectoryRow> rows_;
    std::size_t ancestorCount_ = 0;
    std::vector<std::string> files_;
};

} // namespace kavo
