#include "picker/picker_lists.h"

#include "picker/picker_paths.h"
#include "picker/wildcard.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace kavo {

namespace {

bool sameDrive(std::string_view stored, const Drive& drive) {
    if constexpr (kHostPathStyle == PathStyle::Windows)
        return sameDriveLetter(stored, drive.text);
    else
        return listPath(std::string(stored)) == drive.root;
}

} // namespace

// A drive text begins with its letter; whatever follows it is not needed to find it.
bool sameDriveLetter(std::string_view stored, std::string_view driveText) {
    return !stored.empty() && !driveText.empty() &&
           std::toupper(static_cast<unsigned char>(stored.front())) ==
               std::toupper(static_cast<unsigned char>(driveText.front())) &&
           (stored.size() == 1 || stored[1] == ':');
}

PickerLists::PickerLists(DirectorySource& source) : source_(source), drives_(source.drives()) {
    const std::string current = source_.currentDirectory();
    // The first readable of the current directory and the drives' tops.
    if (setPath(current) || std::any_of(drives_.begin(), drives_.end(),
                                        [this](const Drive& drive) { return setPath(drive.root); }))
        return;
    path_ = current.empty() ? std::string(1, '/') : current;
    driveIndex_ = driveFor(path_);
    buildRows({});
}

void PickerLists::restore(const std::string& driveText, const std::string& path) {
    if (driveText.empty() || !selectDriveText(driveText))
        return;
    if (!path.empty())
        setPath(path);
}

bool PickerLists::selectDrive(std::size_t index) {
    if (index >= drives_.size())
        return false;
    if (!setPath(source_.driveDirectory(drives_[index])))
        return false;
    if (pathWithin(path_, drives_[index].root))
        driveIndex_ = index;
    return true;
}

bool PickerLists::selectDriveText(std::string_view text) {
    const auto it = std::find_if(drives_.begin(), drives_.end(),
                                 [text](const Drive& drive) { return sameDrive(text, drive); });
    return it != drives_.end() && selectDrive(static_cast<std::size_t>(it - drives_.begin()));
}

bool PickerLists::setPath(const std::string& path) {
    std::string normal = listPath(path);
    if (normal.empty())
        return false;
    auto listing = source_.list(normal);
    if (!listing)
        return false;
    path_ = std::move(normal);
    driveIndex_ = driveFor(path_);
    sortIgnoringCase(listing->directories);
    files_ = std::move(listing->files);
    buildRows(listing->directories);
    return true;
}

std::string PickerLists::driveText() const {
    return driveIndex_ < drives_.size() ? drives_[driveIndex_].text : std::string();
}

std::vector<std::string> PickerLists::files(std::string_view pattern) const {
    std::vector<std::string> result;
    std::copy_if(files_.begin(), files_.end(), std::back_inserter(result),
                 [pattern](const std::string& name) { return matchesPattern(name, pattern); });
    // Sorting only what the filter keeps is much cheaper in a large directory.
    sortIgnoringCase(result);
    return result;
}

std::size_t PickerLists::driveFor(const std::string& path) const {
    std::size_t best = drives_.size();
    for (std::size_t i = 0; i < drives_.size(); ++i)
        if (pathWithin(path, drives_[i].root) &&
            (best == drives_.size() || drives_[i].root.size() > drives_[best].root.size()))
            best = i;
    return best;
}

void PickerLists::buildRows(const std::vector<std::string>& subdirectories) {
    rows_.clear();
    std::vector<std::filesystem::path> chain;
    for (std::filesystem::path p = fsPath(path_);; p = p.parent_path()) {
        chain.push_back(p);
        if (p == p.parent_path() || !p.has_relative_path())
            break;
    }
    std::reverse(chain.begin(), chain.end());
    int level = 0;
    for (const auto& p : chain) {
        const std::string text = utf8Path(p);
        const std::string name = p.has_relative_path() ? utf8Path(p.filename()) : text;
        rows_.push_back({name, text, level++, true});
    }
    ancestorCount_ = rows_.size() - 1;
    std::transform(subdirectories.begin(), subdirectories.end(), std::back_inserter(rows_),
                   [this, level](const std::string& name) {
                       return DirectoryRow{name, fullPath(path_, name), level, false};
                   });
}

} // namespace kavo
