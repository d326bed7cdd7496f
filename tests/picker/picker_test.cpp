#include "fake_directory_source.h"
#include "fakes/fakes.h"
#include "picker/check_filter.h"
#include "picker/picker_lists.h"
#include "picker/picker_paths.h"
#include "picker/setdir.h"
#include "picker/spc_tag.h"
#include "picker/std_directory_source.h"
#include "picker/wildcard.h"
#include "platform/posix/posix_file_system.h"
#include "temp_dir.h"

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace kavo {

void PrintTo(const SpcTag& t, std::ostream* os) {
    *os << '{' << t.song << '|' << t.game << '|' << t.artist << '|' << t.dumper << '|' << t.comments
        << '|' << t.seconds.value_or(-1) << '}';
}

namespace {

using namespace std::string_view_literals;

// A 256-byte header with the signature and the tag flag; the rest NUL until put.
struct Header {
    std::string bytes = std::string(256, '\0');
    Header() { bytes.replace(0, 37, "SNES-SPC700 Sound File Data v0.30\x1a\x1a\x1a\x1e"); }
    Header put(std::size_t offset, std::string_view s) const {
        Header h = *this;
        h.bytes.replace(offset, s.size(), s);
        return h;
    }
    Header cut(std::size_t size) const {
        Header h = *this;
        h.bytes.resize(size);
        return h;
    }
};

const Header kNamed =
    Header().put(0x2E, "Opening").put(0x4E, "Some Game").put(0x6E, "me").put(0x7E, "nice");
const Header kText =
    kNamed.put(0x9E, "01/02/2003").put(0xA9, "125").put(0xAC, "10000").put(0xB1, "Composer");
const Header kBinary = kNamed.put(0x9E, "\x02\x01\xd3\x07"sv)
                           .put(0xA9, "\x7d\0\0"sv)
                           .put(0xAC, "\x10\x27\0\0"sv)
                           .put(0xB0, "Composer");
const SpcTag kFull{"Opening", "Some Game", "Composer", "me", "nice", 125};
const char* const kFullTip = "Title: Opening\nGame: Some Game\nArtist: Composer\nLength: 2:05";

Header c1Garbage() {
    Header h;
    for (std::size_t i = 0x2E; i < h.bytes.size(); ++i)
        h.bytes[i] = static_cast<char>(0x80 + i % 32);
    return h;
}

struct Case {
    const char* name;
    Header header;
    std::optional<SpcTag> tag;
    std::string tooltip;
};

class SpcTagRead : public ::testing::TestWithParam<Case> {};

TEST_P(SpcTagRead, GivesTheTagAndTooltipOrNothing) {
    const auto tag = readSpcTag(GetParam().header.bytes);
    EXPECT_EQ(tag, GetParam().tag);
    EXPECT_EQ(tag ? spcTagTooltip(*tag) : "", GetParam().tooltip);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, SpcTagRead,
    ::testing::Values(
        Case{"TextForm", kText, kFull, kFullTip}, Case{"BinaryForm", kBinary, kFull, kFullTip},
        Case{"TextBlankPadded",
             Header().put(0x2E, "  Song  ").put(0xA9, " 90").put(0xAC, "    ").put(0xB1, "A"),
             SpcTag{.song = "Song", .artist = "A", .seconds = 90},
             "Title: Song\nArtist: A\nLength: 1:30"},
        // Digit-like play time, no date or fade: only the artist at 0xB0 shows the binary form.
        Case{"BinaryLooksLikeText", Header().put(0xA9, "5").put(0xB0, "2 Tone"),
             SpcTag{.artist = "2 Tone", .seconds = 53}, "Artist: 2 Tone\nLength: 0:53"},
        Case{"LongestLength", Header().put(0x2E, "S").put(0xA9, "\x6f\x17"sv),
             SpcTag{.song = "S", .seconds = 5999}, "Title: S\nLength: 99:59"},
        Case{"LengthBeyondBound", Header().put(0x2E, "S").put(0xA9, "\x70\x17"sv),
             SpcTag{.song = "S"}, "Title: S"},
        Case{"Encodings",
             Header()
                 .put(0x2E, "Caf\xc3\xa9")
                 .put(0x4E, "Caf\xe9")
                 .put(0x6E, "\xC2\xA9\xF0\x9F\x8E\xB5")
                 .put(0xB1, std::string(30, 'x') + "\xe3\x81"),
             SpcTag{.song = "Caf\xc3\xa9",
                    .game = "Caf\xc3\xa9",
                    .artist = std::string(30, 'x'),
                    .dumper = "\xC2\xA9\xF0\x9F\x8E\xB5"},
             "Title: Caf\xc3\xa9\nGame: Caf\xc3\xa9\nArtist: " + std::string(30, 'x')},
        Case{"ControlsDropTheirField",
             kBinary.put(0x2E, "Ti\x07tle")
                 .put(0x4E, "\x83\x5e\x83\x43")
                 .put(0x6E, "\x01\x02")
                 .put(0xA9, "\xff\xff\xff")
                 .put(0xB0, "\xff\xfe\x90"),
             SpcTag{.comments = "nice"}, ""},
        Case{"C1Garbage", c1Garbage(), std::nullopt, ""},
        Case{"EveryFieldEmpty", Header(), std::nullopt, ""},
        Case{"NoSignature", kText.put(3, "s"), std::nullopt, ""},
        Case{"TagFlagNotSet", kText.put(0x23, "\x1b"), std::nullopt, ""},
        Case{"Empty", kText.cut(0), std::nullopt, ""},
        Case{"CutAt100", kText.cut(100), std::nullopt, ""},
        Case{"CutBeforeArtistEnd", kText.cut(0xD0), std::nullopt, ""},
        Case{"CutAtArtistEnd", kText.cut(0xD1), kFull, kFullTip},
        Case{"Cut255", kText.cut(255), kFull, kFullTip}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SpcTagFile, ReadsTheHeaderOfARegularFileOnly) {
    test::TempDir dir;
    const std::string song = dir.file("song.spc", kBinary.bytes + std::string(4096, '\xff'));
    const std::string fifo = dir.dir() + "fifo.spc";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, std::optional<SpcTag>> cases[] = {
        {song, kFull},
        {dir.mkdir("folder.spc"), std::nullopt},
        {dir.dir() + "gone.spc", std::nullopt},
        {fifo, std::nullopt}};
    for (const auto& [path, tag] : cases) {
        // Run apart, so that a reader stuck on the FIFO fails the test instead of hanging it.
        auto result = std::async(std::launch::async, readSpcTagFile, path);
        if (result.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
            ADD_FAILURE() << path << " blocked";
            ::close(::open(path.c_str(), O_WRONLY | O_NONBLOCK));
        }
        EXPECT_EQ(result.get(), tag) << path;
    }
}

using Box = CheckFilter::Box;

std::string stateOf(const CheckFilter& f) {
    return std::to_string(f.value(Box::Spc)) + std::to_string(f.value(Box::Zs)) +
           std::to_string(f.value(Box::All)) + " " + f.pattern();
}

// Every state a click can leave, times every box: clicks reaching the state, the click, result.
TEST(CheckFilter, EveryTransition) {
    const struct {
        std::vector<Box> reach;
        Box click;
        const char *from, *to;
    } cases[] = {
        {{}, Box::Spc, "100 *.SPC", "001 *.*"},
        {{}, Box::Zs, "100 *.SPC", "110 *.SPC;*.ZS*"},
        {{}, Box::All, "100 *.SPC", "001 *.*"},
        {{Box::Zs}, Box::Spc, "110 *.SPC;*.ZS*", "010 *.ZS*"},
        {{Box::Zs}, Box::Zs, "110 *.SPC;*.ZS*", "100 *.SPC"},
        {{Box::Zs}, Box::All, "110 *.SPC;*.ZS*", "001 *.*"},
        {{Box::Zs, Box::Spc}, Box::Spc, "010 *.ZS*", "110 *.SPC;*.ZS*"},
        {{Box::Zs, Box::Spc}, Box::Zs, "010 *.ZS*", "001 *.*"},
        {{Box::Zs, Box::Spc}, Box::All, "010 *.ZS*", "001 *.*"},
        {{Box::Spc}, Box::Spc, "001 *.*", "100 *.SPC"},
        {{Box::Spc}, Box::Zs, "001 *.*", "010 *.ZS*"},
        {{Box::Spc}, Box::All, "001 *.*", "000 *.*"},
        {{Box::Spc, Box::All}, Box::Spc, "000 *.*", "100 *.SPC"},
        {{Box::Spc, Box::All}, Box::Zs, "000 *.*", "010 *.ZS*"},
        {{Box::Spc, Box::All}, Box::All, "000 *.*", "001 *.*"},
    };
    for (const auto& c : cases) {
        CheckFilter filter;
        filter.open();
        for (Box box : c.reach)
            filter.click(box);
        ASSERT_EQ(stateOf(filter), c.from);
        filter.click(c.click);
        EXPECT_EQ(stateOf(filter), c.to) << c.from << " click " << c.click;
        // Reopening starts over whatever came before.
        filter.open();
        EXPECT_EQ(stateOf(filter), "100 *.SPC");
    }
    // Setting the held value triggers nothing; updatechecks with both type boxes clear ticks All.
    CheckFilter filter;
    filter.open();
    filter.click(Box::Spc);
    filter.click(Box::All);
    for (Box box : {Box::Spc, Box::Zs, Box::All})
        filter.set(box, 0);
    EXPECT_EQ(stateOf(filter), "000 *.*");
    filter.updatechecks();
    EXPECT_EQ(stateOf(filter), "001 *.*");
}

TEST(Wildcard, Matches) {
    const struct {
        const char *name, *pattern;
        bool matches;
    } cases[] = {
        {"SONG.SPC", "*.SPC", true},
        {"Song.Spc", "*.SPC", true},
        {"song.spcx", "*.SPC", false},
        {"song.sp", "*.SPC", false},
        {"songspc", "*.SPC", false},
        {"a.b.spc", "*.SPC", true},
        {".spc", "*.SPC", true},
        {"tune.ZS", "*.ZS*", true},
        {"tune.zst2", "*.ZS*", true},
        {"tune.z", "*.ZS*", false},
        {"tune.zs1", "*.SPC;*.ZS*", true},
        {"song.spc", "*.SPC;*.ZS*", true},
        {"readme.txt", "*.SPC;*.ZS*", false},
        {"README", "*.*", true},
        {"a", "?", true},
        {"ab", "?", false},
        {"abc", "a?c", true},
        {"aXbXc", "a*b*c", true},
        {"aXbX", "a*b*c", false},
        {"x", "", false},
        {"x", ";;", false},
        {"song.spc", ";*.spc", true},
        {"aab", "*ab", true},
        {"abab", "a*b", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(matchesPattern(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
    EXPECT_FALSE(matchesPattern(std::string(5000, 'a'), "*a*a*a*a*a*a*a*a*a*b")); // stays fast
}

TEST(PickerPaths, Rules) {
    const std::pair<const char*, const char*> listed[] = {{"/", "/"},
                                                          {"/music/", "/music"},
                                                          {"/music//spc/", "/music/spc"},
                                                          {"/music/./spc/../zst", "/music/zst"},
                                                          {"/..", "/"},
                                                          {"", ""},
                                                          {"music", ""},
                                                          {"./music", ""}};
    for (const auto& [path, expected] : listed)
        EXPECT_EQ(listPath(path), expected) << path;
    EXPECT_EQ(directoryText("/"), "/");
    EXPECT_EQ(directoryText("/opt/player"), "/opt/player/");
    EXPECT_EQ(fullPath("/", "song.spc"), "/song.spc");
    EXPECT_EQ(fullPath("/home/me", "song.spc"), "/home/me/song.spc");
    EXPECT_TRUE(pathWithin("/media/usb", "/media/usb"));
    EXPECT_TRUE(pathWithin("/media/usb/spc", "/media/usb"));
    EXPECT_FALSE(pathWithin("/media/usb2", "/media/usb"));
    EXPECT_FALSE(pathWithin("/media", "/media/usb"));
    EXPECT_TRUE(pathWithin("/anything", "/"));
    std::vector<std::string> names{"beta.spc", "Alpha.spc", "alpha.spc", "GAMMA.spc", "_x", "B"};
    sortIgnoringCase(names);
    EXPECT_EQ(names, (std::vector<std::string>{"_x", "Alpha.spc", "alpha.spc", "B", "beta.spc",
                                               "GAMMA.spc"}));
}

struct PickerListsTest : ::testing::Test {
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
        source.tree["/media/usb"] = {{"songs", "locked"}, {"x.spc"}};
        source.tree["/media/usb/songs"] = {{}, {"y.spc"}};
        source.tree["/media/usb/locked"] = {};
        source.unreadable.insert("/media/usb/locked");
    }
    test::FakeDirectorySource source;
};

// The stored drive failing keeps the current place; the directory failing keeps the drive's.
TEST_F(PickerListsTest, Restore) {
    const struct {
        const char *drive, *path, *expectedDrive, *expectedPath;
    } cases[] = {
        {"/media/usb", "/media/usb/songs", "/media/usb", "/media/usb/songs"},
        {"", "", "/home/me", "/home/me/work"},
        {"", "/media/usb/songs", "/home/me", "/home/me/work"},
        {"/media/cdrom", "/media/cdrom/x", "/home/me", "/home/me/work"},
        {"/media/usb", "", "/media/usb", "/media/usb"},
        {"/media/usb", "/media/usb/gone", "/media/usb", "/media/usb"},
        {"/media/usb", "/media/usb/locked", "/media/usb", "/media/usb"},
        {"/media/usb", "songs", "/media/usb", "/media/usb"},
        {"/media/usb/", "/media/usb/songs/", "/media/usb", "/media/usb/songs"},
    };
    for (const auto& c : cases) {
        PickerLists lists(source);
        lists.restore(c.drive, c.path);
        EXPECT_EQ(lists.driveText(), c.expectedDrive) << c.drive << " " << c.path;
        EXPECT_EQ(lists.path(), c.expectedPath) << c.drive << " " << c.path;
    }
}

TEST_F(PickerListsTest, DrivesDirectoriesRowsAndFiles) {
    source.driveCurrent["/home/me"] = "/home/me/Music";
    PickerLists lists(source);
    ASSERT_TRUE(lists.setPath("/home/me/Music"));
    const auto& rows = lists.directoryRows();
    const std::vector<std::tuple<std::string, int, std::string>> expected{
        {"/", 0, "/"},
        {"home", 1, "/home"},
        {"me", 2, "/home/me"},
        {"Music", 3, "/home/me/Music"},
        {"Albums", 4, "/home/me/Music/Albums"},
        {"spc", 4, "/home/me/Music/spc"}};
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(std::tie(rows[i].label, rows[i].level, rows[i].path), expected[i]);
        EXPECT_EQ(rows[i].open, i <= 3) << i;
    }
    EXPECT_EQ(lists.currentRow(), 3U);
    EXPECT_EQ(lists.files("*.SPC"), (std::vector<std::string>{"A.SPC", "a.spc", "b.SPC"}));
    EXPECT_EQ(lists.files("*.ZS*"), (std::vector<std::string>{"C.zs3"}));
    EXPECT_EQ(lists.files("*.SPC;*.ZS*").size(), 4U);

    // An unreadable drive keeps the previous place; the drive follows the directory.
    source.unreadable.insert("/media/usb");
    EXPECT_FALSE(lists.selectDrive(2));
    EXPECT_EQ(lists.driveText(), "/home/me");
    EXPECT_EQ(lists.files("*.*").size(), 5U);
    source.unreadable.clear();
    ASSERT_TRUE(lists.selectDrive(0));
    EXPECT_EQ(lists.path(), "/");
    EXPECT_EQ(lists.directoryRows().size(), 3U);
    EXPECT_EQ(lists.currentRow(), 0U);
    ASSERT_TRUE(lists.selectDrive(1));
    EXPECT_EQ(lists.path(), "/home/me/Music");
    ASSERT_TRUE(lists.setPath("/media/usb/songs"));
    EXPECT_EQ(lists.driveText(), "/media/usb");
    ASSERT_TRUE(lists.setPath("/media"));
    EXPECT_EQ(lists.driveText(), "/");
    EXPECT_FALSE(lists.setPath("media"));
    EXPECT_EQ(lists.path(), "/media");

    // No readable start falls back to the first drive.
    source.unreadable.insert("/home/me/work");
    PickerLists fallback(source);
    EXPECT_EQ(fallback.path(), "/");
    EXPECT_EQ(fallback.driveText(), "/");
}

TEST(Setdir, AdoptsOnlyThePlayerOfTheExpectedLength) {
    const std::string notFound = "SPCPLAY.EXE not found!";
    const std::string version =
        "This version of SPCPlay is not .650.\rThis will cause some incompatibilities.";
    const struct {
        const char* fileName; // nullptr: no player; a trailing '/': a directory of that name
        std::size_t size;
        SetdirOutcome outcome;
        std::string message; // empty: none
    } cases[] = {
        {"SPCPLAY.EXE", 913758, SetdirOutcome::Adopted, ""},
        {"spcplay.exe", 913758, SetdirOutcome::Adopted, ""},
        {"SPCPLAY.EXE", 913757, SetdirOutcome::WrongVersion, version},
        {"SPCPLAY.EXE", 913759, SetdirOutcome::WrongVersion, version},
        {"SPCPLAY.EXE", 0, SetdirOutcome::NotFound, notFound},
        {nullptr, 0, SetdirOutcome::NotFound, notFound},
        {"SPCPLAY.EXE/", 0, SetdirOutcome::NotFound, notFound},
        {"SPCPLAY.COM", 913758, SetdirOutcome::NotFound, notFound},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fileName ? c.fileName : "none") + " " + std::to_string(c.size));
        test::TempDir dir;
        std::string found;
        if (c.fileName && std::string_view(c.fileName).ends_with('/'))
            dir.mkdir(c.fileName);
        else if (c.fileName)
            found = dir.file(c.fileName, std::string(c.size, 'x'));
        PosixFileSystem files;
        fake::Messages messages;
        PlayerSettings settings;
        settings.adopt("/old/", "/old/SPCPLAY.EXE");
        EXPECT_EQ(setdir(dir.dir(), files, messages, settings), c.outcome);
        if (c.message.empty()) {
            EXPECT_TRUE(messages.shown.empty());
            EXPECT_EQ(settings.playerDirectory(), dir.dir());
            EXPECT_EQ(settings.pathBoxText(), found) << "the name is kept as spelled on disk";
        } else {
            EXPECT_EQ(messages.shown, (std::vector<fake::Messages::Shown>{
                                          {c.message, "Error", MessageIcon::Error}}));
            EXPECT_EQ(settings.playerPath(), "/old/SPCPLAY.EXE");
        }
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}),
                  c.fileName ? 1 : 0)
            << "setdir creates nothing";
    }
    fake::Files files;
    files.files["/SPCPLAY.EXE"] = std::string(913758, 'x');
    fake::Messages messages;
    PlayerSettings settings;
    EXPECT_EQ(setdir("/", files, messages, settings), SetdirOutcome::Adopted);
    EXPECT_EQ(settings.playerPath(), "/SPCPLAY.EXE");
}

TEST(StdDirectorySource, ListsVisibleEntriesAndMountedDrives) {
    test::TempDir dir;
    dir.file("song.spc");
    dir.file(".hidden.spc");
    dir.mkdir("sub");
    dir.mkdir(".cache");
    std::filesystem::create_symlink(dir.dir() + "song.spc", dir.dir() + "link.spc");
    StdDirectorySource source(dir.str(), {});
    const auto listing = source.list(dir.str());
    ASSERT_TRUE(listing);
    auto files = listing->files;
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"link.spc", "song.spc"}));
    EXPECT_EQ(listing->directories, (std::vector<std::string>{"sub"}));
    EXPECT_FALSE(source.list(dir.dir() + "gone"));
    EXPECT_FALSE(source.list(dir.dir() + "song.spc"));

    // Root, home, then what is mounted under the bases; a base itself is not a drive.
    const std::string home = dir.mkdir("home/me"), m = dir.mkdir("media");
    for (const char* mounted : {"media/me/STICK", "media/cdrom", "mnt/backup"})
        dir.mkdir(mounted);
    StdDirectorySource mounts(home, {m + "/me", m, dir.dir() + "mnt"});
    std::vector<std::string> drives;
    for (const Drive& d : mounts.drives()) {
        EXPECT_EQ(d.text, d.root);
        drives.push_back(d.text);
    }
    ASSERT_EQ(drives.size(), 5U);
    EXPECT_EQ(drives[0], "/");
    EXPECT_EQ(drives[1], home);
    std::sort(drives.begin() + 2, drives.end());
    EXPECT_EQ(drives[2], dir.dir() + "media/cdrom");
    EXPECT_EQ(drives[3], dir.dir() + "media/me/STICK");
    EXPECT_EQ(drives[4], dir.dir() + "mnt/backup");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    EXPECT_EQ(StdDirectorySource("home", {}).drives().size(), 1U) << "a relative home is none";
    std::filesystem::current_path(previous);

    // A stored drive text selects the same drive; a vanished directory keeps the previous one.
    PickerLists lists(mounts);
    ASSERT_TRUE(lists.setPath(dir.mkdir("media/me/STICK/spc")));
    EXPECT_EQ(lists.driveText(), dir.dir() + "media/me/STICK");
    PickerLists again(mounts);
    again.restore(lists.driveText(), lists.path());
    EXPECT_EQ(again.path(), dir.dir() + "media/me/STICK/spc");
    std::filesystem::remove(dir.dir() + "media/me/STICK/spc");
    EXPECT_FALSE(again.setPath(dir.dir() + "media/me/STICK/spc"));
    EXPECT_EQ(again.path(), dir.dir() + "media/me/STICK/spc");
}

} // namespace
} // namespace kavo
