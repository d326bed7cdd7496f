#include "fake_directory_source.h"
#include "picker/picker_lists.h"

#include <gtest/gtest.h>

namespace kavo {
namespace {

using test::FakeDirectorySource;

class PickerListsTest : public ::testing::Test {
protected:
    PickerListsTest() {
        source.driveList = {{"/", "/"}, {"/home/me", "/home/me"}, {"/media/usb", "/media/usb"}};
        source.current = "/home/me/work";
        source.tree["/"] = {{"home", "media"}, {}};
        source.tree["/home"] = {{"me"}, {}};
        source.tree["/home/me"] = {{"work", "Music"}, {}};
        source.tree["/home/me/work"] = {{}, {"notes.txt"}};
        source.tree["/home/me/Music"] = {{"spc", "Albums"},
                                         {"b.SPC", "a.spc", "C.zs3", "readme.txt", "A.SPC"}};
        source.tree["/media"] = {{"usb"}, {}};
        source.tree["/media/usb"] = {{"songs"}, {"x.spc"}};
        source.tree["/media/usb/songs"] = {{}, {"y.spc"}};
    }
    FakeDirectorySource source;
};

TEST_F(PickerListsTest, StartsAtTheCurrentDirectoryAndItsDrive) {
    PickerLists lists(source);
    EXPECT_EQ(lists.path(), "/home/me/work");
    EXPECT_EQ(lists.driveText(), "/home/me");
}

TEST_F(PickerListsTest, RestoresTheStoredDriveAndDirectory) {
    PickerLists lists(source);
    lists.restore("/media/usb", "/media/usb/songs");
    EXPECT_EQ(lists.driveText(), "/media/usb");
    EXPECT_EQ(lists.path(), "/media/usb/songs");
}

struct BadStore {
    const char* name;
    const char* drive;
    const char* path;
    const char* expectedDrive;
    const char* expectedPath;
};

class PickerListsRestore : public PickerListsTest,
                           public ::testing::WithParamInterface<BadStore> {};

// The stored drive failing keeps the current place; the directory failing keeps the drive's.
TEST_P(PickerListsRestore, UnusableValuesAreIgnored) {
    const BadStore& c = GetParam();
    source.unreadable.insert("/media/usb/locked");
    source.tree["/media/usb/locked"] = {};
    PickerLists lists(source);
    lists.restore(c.drive, c.path);
    EXPECT_EQ(lists.driveText(), c.expectedDrive);
    EXPECT_EQ(lists.path(), c.expectedPath);
}

INSTANTIATE_TEST_SUITE_P(
    Stored, PickerListsRestore,
    ::testing::Values(
        BadStore{"BothEmpty", "", "", "/home/me", "/home/me/work"},
        BadStore{"EmptyDriveSkipsTheDirectory", "", "/media/usb/songs", "/home/me",
                 "/home/me/work"},
        BadStore{"UnknownDrive", "/media/cdrom", "/media/cdrom/x", "/home/me", "/home/me/work"},
        BadStore{"EmptyDirectory", "/media/usb", "", "/media/usb", "/media/usb"},
        BadStore{"DeletedDirectory", "/media/usb", "/media/usb/gone", "/media/usb", "/media/usb"},
        BadStore{"UnreadableDirectory", "/media/usb", "/media/usb/locked", "/media/usb",
                 "/media/usb"},
        BadStore{"RelativeDirectory", "/media/usb", "songs", "/media/usb", "/media/usb"},
        BadStore{"DriveWithTrailingSlash", "/media/usb/", "/media/usb/songs/", "/media/usb",
                 "/media/usb/songs"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PickerListsTest, UnreadableDriveKeepsThePreviousPlace) {
    source.unreadable.insert("/media/usb");
    PickerLists lists(source);
    lists.setPath("/home/me/Music");
    EXPECT_FALSE(lists.selectDrive(2));
    EXPECT_EQ(lists.driveText(), "/home/me");
    EXPECT_EQ(lists.path(), "/home/me/Music");
    EXPECT_EQ(lists.files("*.*").size(), 5U);
}

TEST_F(PickerListsTest, ChoosingADriveShowsItsDirectory) {
    source.driveCurrent["/home/me"] = "/home/me/Music";
    PickerLists lists(source);
    ASSERT_TRUE(lists.selectDrive(0));
    EXPECT_EQ(lists.path(), "/");
    ASSERT_TRUE(lists.selectDrive(1));
    EXPECT_EQ(lists.path(), "/home/me/Music");
}

TEST_F(PickerListsTest, TheDriveFollowsTheDirectory) {
    PickerLists lists(source);
    ASSERT_TRUE(lists.setPath("/media/usb/songs"));
    EXPECT_EQ(lists.driveText(), "/media/usb");
    ASSERT_TRUE(lists.setPath("/media"));
    EXPECT_EQ(lists.driveText(), "/");
}

TEST_F(PickerListsTest, RowsShowAncestorsThenSortedSubdirectories) {
    PickerLists lists(source);
    ASSERT_TRUE(lists.setPath("/home/me/Music"));
    const auto& rows = lists.directoryRows();
    ASSERT_EQ(rows.size(), 6U);
    const std::vector<std::pair<std::string, int>> expected{
        {"/", 0}, {"home", 1}, {"me", 2}, {"Music", 3}, {"Albums", 4}, {"spc", 4}};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].label, expected[i].first);
        EXPECT_EQ(rows[i].level, expected[i].second);
        EXPECT_EQ(rows[i].open, i <= 3);
    }
    EXPECT_EQ(lists.currentRow(), 3U);
    EXPECT_EQ(rows[1].path, "/home");
    EXPECT_EQ(rows[5].path, "/home/me/Music/spc");
}

TEST_F(PickerListsTest, RootRowsHaveNoAncestors) {
    PickerLists lists(source);
    ASSERT_TRUE(lists.setPath("/"));
    const auto& rows = lists.directoryRows();
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(lists.currentRow(), 0U);
    EXPECT_EQ(rows[1].path, "/home");
}

TEST_F(PickerListsTest, FilesAreFilteredIgnoringCaseAndSorted) {
    PickerLists lists(source);
    ASSERT_TRUE(lists.setPath("/home/me/Music"));
    EXPECT_EQ(lists.files("*.SPC"), (std::vector<std::string>{"A.SPC", "a.spc", "b.SPC"}));
    EXPECT_EQ(lists.files("*.ZS*"), (std::vector<std::string>{"C.zs3"}));
    EXPECT_EQ(lists.files("*.SPC;*.ZS*").size(), 4U);
    EXPECT_EQ(lists.files("*.*").size(), 5U);
}

TEST_F(PickerListsTest, NoReadableStartFallsBackToADrive) {
    source.unreadable.insert("/home/me/work");
    PickerLists lists(source);
    EXPECT_EQ(lists.path(), "/");
    EXPECT_EQ(lists.driveText(), "/");
}

} // namespace
} // namespace kavo
