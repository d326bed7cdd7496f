#include "picker/picker_lists.h"
#include "picker/std_directory_source.h"
#include "temp_dir.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace kavo {
namespace {

using test::TempDir;

bool hasDrive(const std::vector<Drive>& drives, const std::string& text) {
    return std::any_of(drives.begin(), drives.end(),
                       [&text](const Drive& d) { return d.text == text && d.root == text; });
}

TEST(StdDirectorySource, ListsVisibleDirectoriesAndOrdinaryFiles) {
    TempDir dir;
    dir.file("song.spc");
    dir.file(".hidden.spc");
    dir.dir("sub");
    dir.dir(".cache");
    std::filesystem::create_symlink(dir.path() / "song.spc", dir.path() / "link.spc");
    StdDirectorySource source(dir.str(), {});
    const auto listing = source.list(dir.str());
    ASSERT_TRUE(listing);
    auto files = listing->files;
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"link.spc", "song.spc"}));
    EXPECT_EQ(listing->directories, (std::vector<std::string>{"sub"}));
}

TEST(StdDirectorySource, MissingDirectoryOrAFileCannotBeListed) {
    TempDir dir;
    const auto file = dir.file("plain.txt");
    StdDirectorySource source(dir.str(), {});
    EXPECT_FALSE(source.list((dir.path() / "gone").string()));
    EXPECT_FALSE(source.list(file.string()));
}

TEST(StdDirectorySource, DrivesAreRootHomeAndMountedMedia) {
    TempDir dir;
    const auto home = dir.dir("home/me");
    const auto media = dir.dir("media");
    const auto userMedia = dir.dir("media/me");
    dir.dir("media/me/STICK");
    dir.dir("media/cdrom");
    dir.dir("mnt/backup");
    const std::string m = media.string();
    StdDirectorySource source(home.string(), {m + "/me", m, (dir.path() / "mnt").string()});
    const auto drives = source.drives();
    ASSERT_GE(drives.size(), 5U);
    EXPECT_EQ(drives[0].text, "/");
    EXPECT_EQ(drives[1].text, home.string());
    EXPECT_TRUE(hasDrive(drives, m + "/me/STICK"));
    EXPECT_TRUE(hasDrive(drives, m + "/cdrom"));
    EXPECT_TRUE(hasDrive(drives, (dir.path() / "mnt/backup").string()));
    EXPECT_FALSE(hasDrive(drives, userMedia.string())) << "a base is not a drive of its own";
    EXPECT_EQ(drives.size(), 5U);
}

TEST(StdDirectorySource, RelativeHomeIsNoDrive) {
    TempDir dir;
    dir.dir("home");
    std::filesystem::current_path(dir.path());
    StdDirectorySource source("home", {});
    const auto drives = source.drives();
    std::filesystem::current_path("/");
    ASSERT_EQ(drives.size(), 1U);
    EXPECT_EQ(drives[0].text, "/");
}

TEST(StdDirectorySource, StoredDriveTextSelectsTheSameDrive) {
    TempDir dir;
    const auto stick = dir.dir("media/STICK");
    dir.dir("media/STICK/spc");
    StdDirectorySource source("", {(dir.path() / "media").string()});
    PickerLists first(source);
    ASSERT_TRUE(first.setPath((stick / "spc").string()));
    const std::string stored = first.driveText();
    EXPECT_EQ(stored, stick.string());

    PickerLists second(source);
    second.restore(stored, (stick / "spc").string());
    EXPECT_EQ(second.driveText(), stored);
    EXPECT_EQ(second.path(), (stick / "spc").string());
}

TEST(StdDirectorySource, VanishedDirectoryKeepsThePreviousOne) {
    TempDir dir;
    const auto gone = dir.dir("gone");
    StdDirectorySource source("", {});
    PickerLists lists(source);
    ASSERT_TRUE(lists.setPath(dir.str()));
    std::filesystem::remove(gone);
    EXPECT_FALSE(lists.setPath(gone.string()));
    EXPECT_EQ(lists.path(), dir.str());
}

TEST(StdDirectorySource, TenThousandFilesAreListedSorted) {
    TempDir dir;
    for (int i = 0; i < 10000; ++i)
        std::ofstream(dir.path() / ((i % 2 ? "S" : "s") + std::to_string(i) + ".spc"));
    StdDirectorySource source("", {});
    PickerLists lists(source);
    ASSERT_TRUE(lists.setPath(dir.str()));
    const auto files = lists.files("*.SPC");
    ASSERT_EQ(files.size(), 10000U);
    EXPECT_EQ(files.front(), "s0.spc");
    EXPECT_EQ(files.back(), "S9999.spc");
}

} // namespace
} // namespace kavo
