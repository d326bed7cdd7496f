// The picker's lists over directories that are huge, loop, hold odd names, vanish, or may not
// be read.
#include "hostile_support.h"
#include "picker/check_filter.h"
#include "picker/picker_lists.h"
#include "picker/picker_paths.h"
#include "picker/std_directory_source.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>

namespace kavo {
namespace {

using test::TempDir;
namespace fs = std::filesystem;

// The directory list's form of a temporary directory.
std::string listed(const TempDir& temp, const std::string& below = {}) {
    return listPath(temp.dir() + below);
}

bool showsSubdirectory(const PickerLists& lists, const std::string& name) {
    const auto& rows = lists.directoryRows();
    return std::any_of(rows.begin() + static_cast<std::ptrdiff_t>(lists.currentRow()) + 1,
                       rows.end(), [&name](const DirectoryRow& row) { return row.label == name; });
}

TEST(HostilePicker, HundredThousandEntriesAreListedAndFiltered) {
    TempDir temp;
    const std::string dir = temp.dir() + "many/";
    fs::create_directory(dir);
    for (int i = 0; i < 100000; ++i) {
        const std::string name = dir + "track" + std::to_string(i) +
                                 (i % 4 == 0   ? ".SPC"
                                  : i % 4 == 1 ? ".spc"
                                               : ".txt");
        ::close(::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    }
    StdDirectorySource source(temp.dir(), {});
    PickerLists lists(source);
    ASSERT_TRUE(lists.setPath(dir));
    const std::vector<std::string> spc = lists.files(kSpcPattern);
    EXPECT_EQ(spc.size(), 50000u);
    EXPECT_TRUE(
        std::is_sorted(spc.begin(), spc.end(), [](const std::string& a, const std::string& b) {
            return std::lexicographical_compare(
                a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
                    return std::tolower(static_cast<unsigned char>(x)) <
                           std::tolower(static_cast<unsigned char>(y));
                });
        }));
    EXPECT_EQ(lists.files(kAllFilesPattern).size(), 100000u);
}

TEST(HostilePicker, SymlinkLoopsCanBeEnteredWithoutEndlessDescent) {
    const test::Deadline deadline(60);
    TempDir temp;
    fs::create_directories(temp.dir() + "a/b");
    fs::create_directory_symlink("..", temp.dir() + "a/b/up");
    fs::create_directory_symlink(".", temp.dir() + "self");
    fs::create_symlink(temp.dir() + "itself", temp.dir() + "itself");
    temp.file("track.spc");
    StdDirectorySource source(temp.dir(), {});
    PickerLists lists(source);
    ASSERT_TRUE(lists.setPath(temp.dir()));
    EXPECT_TRUE(showsSubdirectory(lists, "self"));
    // A link to itself is neither a directory nor a file.
    EXPECT_FALSE(showsSubdirectory(lists, "itself"));
    EXPECT_EQ(lists.files(kAllFilesPattern), (std::vector<std::string>{"track.spc"}));

    // Going round the loop works until the system refuses the path; then the lists stay.
    std::string path = listed(temp);
    int entered = 0;
    for (; entered < 100; ++entered) {
        if (!lists.setPath(path + "/self"))
            break;
        path += "/self";
        EXPECT_EQ(lists.path(), listPath(path));
        EXPECT_EQ(lists.files(kSpcPattern).size(), 1u);
    }
    EXPECT_GT(entered, 0);
    EXPECT_EQ(lists.files(kSpcPattern).size(), 1u);
    ASSERT_TRUE(lists.setPath(temp.dir() + "a/b/up/b/up/b"));
    EXPECT_TRUE(showsSubdirectory(lists, "up"));
}

TEST(HostilePicker, NamesWithNewlinesAndInvalidUtf8AreListed) {
    TempDir temp;
    const std::vector<std::string> names = {"new\nline.spc", "\xFF\xFE.spc", "tab\t.SPC",
                                            "carriage\r.spc", "\xC3\x28 broken.spc"};
    for (const std::string& name : names)
        temp.file(name);
    fs::create_directory(temp.dir() + "dir\nwith newline");
    fs::create_directory(temp.dir() + "\x80\x81");
    StdDirectorySource source(temp.dir(), {});
    PickerLists lists(source);
    ASSERT_TRUE(lists.setPath(temp.dir()));
    std::vector<std::string> spc = lists.files(kSpcPattern);
    std::vector<std::string> expected = names;
    std::sort(spc.begin(), spc.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(spc, expected);
    EXPECT_TRUE(showsSubdirectory(lists, "dir\nwith newline"));
    EXPECT_TRUE(showsSubdirectory(lists, "\x80\x81"));
    ASSERT_TRUE(lists.setPath(temp.dir() + "\x80\x81"));
    EXPECT_EQ(fullPath(lists.path(), "x.spc"), listed(temp) + "/\x80\x81/x.spc");
}

TEST(HostilePicker, DirectoryRemovedWhileShownLeavesTheListsUsable) {
    TempDir temp;
    fs::create_directory(temp.dir() + "gone");
    temp.file("gone/track.spc");
    StdDirectorySource source(temp.dir(), {});
    PickerLists lists(source);
    ASSERT_TRUE(lists.setPath(temp.dir() + "gone"));
    fs::remove_all(temp.dir() + "gone");

    // Shown as it was until the user goes elsewhere; going there again fails and keeps it.
    EXPECT_EQ(lists.path(), listed(temp, "gone"));
    EXPECT_FALSE(lists.setPath(temp.dir() + "gone"));
    EXPECT_EQ(lists.path(), listed(temp, "gone"));
    EXPECT_EQ(lists.files(kSpcPattern), (std::vector<std::string>{"track.spc"}));
    ASSERT_TRUE(lists.setPath(temp.dir()));
    EXPECT_FALSE(showsSubdirectory(lists, "gone"));
}

TEST(HostilePicker, PermissionDeniedSubdirectoryKeepsThePreviousDirectory) {
    TempDir temp;
    fs::create_directory(temp.dir() + "locked");
    temp.file("locked/secret.spc");
    temp.file("open.spc");
    fs::permissions(temp.dir() + "locked", fs::perms::owner_all);
    test::openToEveryone(temp.dir());
    fs::permissions(temp.dir() + "open.spc", fs::perms::owner_read | fs::perms::others_read);
    const std::string result = test::runUnprivileged([&temp] {
        StdDirectorySource source(temp.dir(), {});
        PickerLists lists(source);
        std::string out = lists.setPath(temp.dir()) ? "top" : "no top";
        out += showsSubdirectory(lists, "locked") ? "|shown" : "|hidden";
        out += lists.setPath(temp.dir() + "locked") ? "|entered" : "|refused";
        out += "|" + lists.path();
        for (const std::string& file : lists.files(kSpcPattern))
            out += "|" + file;
        return out;
    });
    EXPECT_EQ(result, "top|shown|refused|" + listed(temp) + "|open.spc");
}

} // namespace
} // namespace kavo
