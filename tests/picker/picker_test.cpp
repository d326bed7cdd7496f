#include "fakes/fakes.h"
#include "picker/check_filter.h"
#include "picker/picker_lists.h"
#include "picker/picker_paths.h"
#include "picker/spc_tag.h"
#include "picker/std_directory_source.h"
#include "picker/wildcard.h"
#include "temp_dir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace kavo {
namespace {

using namespace std::literals;
using Strings = std::vector<std::string>;

// A 256-byte header with the signature and the tag flag, fields put at their offsets.
std::string spc(std::initializer_list<std::pair<int, std::string_view>> fields,
                std::string bytes = "SNES-SPC700 Sound File Data v0.30\x1a\x1a\x1a\x1e" +
                                    std::string(219, 0)) {
    for (const auto& [offset, text] : fields)
        bytes.replace(static_cast<std::size_t>(offset), text.size(), text);
    return bytes;
}

const std::string kText =
    spc({{0x9E, "2003-01-02"}, {0xA9, "125"}, {0xAC, "10000"}, {0xB1, "Composer"}},
        spc({{0x2E, "Opening"}, {0x4E, "Some Game"}, {0x6E, "me"}, {0x7E, "nice"}}));
const char* const kTip = "Title: Opening\nGame: Some Game\nArtist: Composer\nLength: 2:05";

TEST(SpcTag, HeaderFormsAndBounds) {
    const std::pair<std::string, const char*> tips[] = {
        {kText, kTip},
        {spc({{0x9E, "\x02\x01\xd3\x07\0\0\0\0\0\0\0\x7d\0\0\x10\x27\0\0Composer\0"sv}}, kText),
         kTip},
        {spc({{0x2E, "S"}, {0xA9, " 9 "}, {0xAC, "    "}}), "Title: S\nLength: 0:09"},
        // Digit-like play time, no date or fade: only the artist at 0xB0 shows the binary form.
        {spc({{0xA9, "5"}, {0xB0, "2 Tone"}}), "Artist: 2 Tone\nLength: 0:53"},
        {spc({{0x2E, "S"}, {0xA9, "\x6f\x17"}}), "Title: S\nLength: 99:59"},
        {spc({{0x2E, "S"}, {0xA9, "\x70\x17"}}), "Title: S"},
        {spc({{0x7E, "c"}}), ""},
        {kText.substr(0, 0xD1), kTip}};
    for (const auto& [header, tip] : tips)
        EXPECT_EQ(spcTagTooltip(readSpcTag(header).value()), tip) << testing::PrintToString(header);
    for (const std::string& header :
         {spc({}), spc({{0x2E, std::string(0xD2, '\x85')}}), spc({{3, "s"}}, kText),
          spc({{0x23, "\x1b"}}, kText), ""s, kText.substr(0, 100), kText.substr(0, 0xD0)})
        EXPECT_EQ(readSpcTag(header), std::nullopt) << testing::PrintToString(header);
}

// UTF-8 when valid, else Latin-1; a control character empties the field.
TEST(SpcTag, FieldText) {
    const auto song = [](const std::string& raw) {
        return readSpcTag(spc({{0x4E, "G"}, {0x2E, raw}}))->song;
    };
    const std::string x30(30, 'x');
    // Each length's lowest and highest lead byte and code point.
    const std::string valid =
        "\xc2\xa0\xdf\xbf\xe0\xa0\x80\xef\xbf\xbf\xf0\x90\x80\x80\xf4\x8f\xbf\xbf";
    const std::pair<std::string, std::string> cases[] = {
        {"  Song  ", "Song"},
        {"ab\0cd"s, "ab"},
        {valid, valid},
        {"Caf\xe9", "Caf\xc3\xa9"},
        {"\xed\xbf\xbf", "\xc3\xad\xc2\xbf\xc2\xbf"},
        {"\xc0\xaf\xc3\xa9", "\xc3\x80\xc2\xaf\xc3\x83\xc2\xa9"},
        {x30 + "\xe3\x81", x30},
        {x30 + "\xe3" + "A", x30 + "\xc3\xa3" + "A"}};
    for (const auto& [raw, shown] : cases)
        EXPECT_EQ(song(raw), shown) << raw;
    EXPECT_EQ(readSpcTag(spc({{0x4E, x30 + "GG"}, {0x6E, "d"}}))->game, x30 + "GG") << "full";
    for (const char* raw : {"   ", "\xf4\x90\x80\x80", "\xed\xa0\x80", "\xe0\x80\xaf", "Ti\x07tle",
                            "a\x7f", "\xc2\x9f", "ab\xe3\x81", "\x83\x5e\x83\x43"})
        EXPECT_EQ(song(raw), "") << raw;
}

TEST(SpcTag, ReadsTheHeaderOfARegularFileOnly) {
    test::TempDir dir;
    const std::string fifo = dir.dir() + "fifo.spc";
    // Held open with a header in it, it would give a tag if it were read.
    const int writer = (::mkfifo(fifo.c_str(), 0600), ::open(fifo.c_str(), O_RDWR | O_NONBLOCK));
    ASSERT_EQ(::write(writer, kText.data(), kText.size()), static_cast<ssize_t>(kText.size()));
    const std::pair<std::string, std::optional<SpcTag>> cases[] = {
        {dir.file("song.spc", kText + std::string(4096, '\xff')),
         SpcTag{"Opening", "Some Game", "Composer", "me", "nice", 125}},
        {dir.dir() + "gone.spc", std::nullopt},
        {fifo, std::nullopt}};
    for (const auto& [path, tag] : cases) // a FIFO must neither block nor be read
        EXPECT_EQ(readSpcTagFile(path), tag) << path;
    ::close(writer);
}

// Every state clicks can reach, times every box: the clicks (S, Z, A) from opening, the result.
TEST(CheckFilter, EveryTransition) {
    const std::pair<std::string, const char*> cases[] = {
        {"", "100 *.SPC"},  {"S", "001 *.*"},           {"Z", "110 *.SPC;*.ZS*"},
        {"A", "001 *.*"},   {"ZS", "010 *.ZS*"},        {"ZZ", "100 *.SPC"},
        {"ZA", "001 *.*"},  {"ZSS", "110 *.SPC;*.ZS*"}, {"ZSZ", "001 *.*"},
        {"ZSA", "001 *.*"}, {"SS", "100 *.SPC"},        {"SZ", "010 *.ZS*"},
        {"SA", "000 *.*"},  {"SAS", "100 *.SPC"},       {"SAZ", "010 *.ZS*"},
        {"SAA", "001 *.*"}};
    CheckFilter f;
    for (const auto& [clicks, expected] : cases) {
        f.open(); // starts over whatever came before
        for (char c : clicks)
            f.click(c == 'S' ? CheckFilter::Spc : c == 'Z' ? CheckFilter::Zs : CheckFilter::All);
        const auto tick = [&f](CheckFilter::Box box) { return std::to_string(f.value(box)); };
        EXPECT_EQ(tick(CheckFilter::Spc) + tick(CheckFilter::Zs) + tick(CheckFilter::All) + " " +
                      f.pattern(),
                  expected)
            << clicks;
    }
}

TEST(Wildcard, Matches) {
    const std::tuple<const char*, Strings, Strings> cases[] = {
        {"*.SPC", {"SONG.SPC", "Song.Spc", "a.b.spc", ".spc"}, {"song.spcx", "song.sp", "songspc"}},
        {"*.ZS*", {"tune.ZS", "tune.zst2"}, {"tune.z"}},
        {"*.SPC;*.ZS*", {"tune.zs1", "song.spc"}, {"a.txt"}},
        {"*.*", {"README"}, {}},
        {"a?c", {"abc"}, {"ac", "abbc"}},
        {"a*b*c", {"aXbXc"}, {"aXbX"}},
        {"a*b", {"abab"}, {"aba"}},
        {";;*.spc", {"song.spc"}, {"x"}}};
    for (const auto& [pattern, yes, no] : cases)
        for (const bool match : {true, false})
            for (const auto& name : match ? yes : no)
                EXPECT_EQ(matchesPattern(name, pattern), match) << name << " ~ " << pattern;
    EXPECT_FALSE(matchesPattern(std::string(5000, 'a'), "*a*a*a*a*a*a*a*a*a*b")); // stays fast
}

// Windows paths ignore letter case and take either slash; a stored drive names a Windows drive
// by its letter.
TEST(PickerPaths, Rules) {
    constexpr auto P = PathStyle::Posix, W = PathStyle::Windows;
    const std::tuple<const char*, const char*, PathStyle, bool> within[] = {
        {"/media/usb", "/media/usb", P, true},   {"/media/usb/spc", "/media/usb", P, true},
        {"/media/usb2", "/media/usb", P, false}, {"/media", "/media/usb", P, false},
        {"/media/cdr", "/media/usb", P, false},  {"/anything", "/", P, true},
        {"/media/USB", "/media/usb", P, false},  {"/media/usb\\x", "/media/usb", P, false},
        {"C:\\Music\\x", "c:\\music", W, true},  {"C:\\Music/x", "C:\\Music", W, true},
        {"C:\\Musicx", "C:\\Music", W, false},   {"C:\\x", "C:\\", W, true}};
    for (const auto& [path, root, style, expected] : within)
        EXPECT_EQ(pathWithin(path, root, style), expected) << path << " in " << root;
    const std::tuple<const char*, const char*, bool> drives[] = {
        {"c", "C:", true},   {"C:\\x", "C:", true}, {"D:", "C:", false},
        {"CD", "C:", false}, {"", "C:", false},     {"C", "", false}};
    for (const auto& [stored, drive, expected] : drives)
        EXPECT_EQ(sameDriveLetter(stored, drive), expected) << stored << " " << drive;
}

// The stored drive failing keeps the current place; the directory failing keeps the drive's.
// The root drive last, so that the drive of a path must be the longest root, not the last.
TEST(PickerLists, RestoreDrivesDirectoriesRowsAndFiles) {
    fake::Directories source;
    source.driveList = {{"/media/usb", "/media/usb"}, {"/home/me", "/home/me"}, {"/", "/"}};
    source.current = "/home/me/work";
    source.tree = {
        {"/", {{"home", "media"}, {}}},
        {"/home", {{"me"}, {}}},
        {"/home/me", {{"work", "Music"}, {}}},
        {"/home/me/work", {}},
        {"/home/me/Music", {{"spc", "Al"}, {"b.SPC", "a.spc", "C.zs3", "A.SPC", "_.spc"}}},
        {"/media", {{"usb"}, {}}},
        {"/media/usb", {{"songs", "locked"}, {}}},
        {"/media/usb/songs", {}},
        {"/media/usb/locked", {}}};
    source.unreadable.insert("/media/usb/locked");
    const std::array<std::string, 3> cases[] = {
        {"/media/usb", "/media/usb/songs", "/media/usb /media/usb/songs"},
        {"", "", "/home/me /home/me/work"},
        {"/media/cdrom", "/media/cdrom/x", "/home/me /home/me/work"},
        {"/media/usb", "/media/usb/locked", "/media/usb /media/usb"},
        {"/media/usb", "songs", "/media/usb /media/usb"},
        {"/media/usb/", "/media/usb/songs/", "/media/usb /media/usb/songs"}};
    for (const auto& [drive, path, expected] : cases) {
        PickerLists lists(source);
        lists.restore(drive, path);
        EXPECT_EQ(lists.driveText() + " " + lists.path(), expected) << drive << " " << path;
    }
    PickerLists lists(source);
    ASSERT_TRUE(lists.setPath("/home/me/Music"));
    std::string rows;
    for (const DirectoryRow& r : lists.directoryRows())
        rows += r.label + ":" + std::to_string(r.level) + (r.open ? "+" : "-") + r.path + " ";
    EXPECT_EQ(rows, "/:0+/ home:1+/home me:2+/home/me Music:3+/home/me/Music "
                    "Al:4-/home/me/Music/Al spc:4-/home/me/Music/spc ");
    EXPECT_EQ(lists.currentRow(), 3U);
    EXPECT_EQ(lists.files("*.SPC"), (Strings{"_.spc", "A.SPC", "a.spc", "b.SPC"}));
    // An unreadable drive keeps the place; the drive follows the directory.
    source.unreadable.insert("/media/usb");
    EXPECT_FALSE(lists.selectDrive(0) || lists.selectDrive(3));
    EXPECT_EQ(lists.driveText() + " " + lists.path(), "/home/me /home/me/Music");
    ASSERT_TRUE(lists.selectDrive(2));
    EXPECT_EQ(lists.path() + std::to_string(lists.currentRow()), "/0");
    source.unreadable.clear();
    ASSERT_TRUE(lists.setPath("/media/usb/songs"));
    EXPECT_EQ(lists.driveText(), "/media/usb");
    ASSERT_TRUE(lists.setPath("/media"));
    EXPECT_FALSE(lists.setPath("media"));
    EXPECT_EQ(lists.driveText() + " " + lists.path(), "/ /media");
    // No readable start falls back to the first readable drive, and without one to the root.
    source.unreadable.insert("/home/me/work");
    EXPECT_EQ(PickerLists(source).path(), "/media/usb");
    source.driveList.clear(), source.current.clear();
    EXPECT_EQ(PickerLists(source).path(), "/");
}

TEST(StdDirectorySource, ListsVisibleEntriesAndMountedDrives) {
    test::TempDir dir;
    for (const char* name : {"song.spc", ".hidden.spc", "sub/", ".cache/"}) // "/": a directory
        dir.file(name);
    const auto listing = StdDirectorySource(dir.str(), {}).list(dir.str());
    EXPECT_TRUE(listing && listing->files == Strings{"song.spc"} &&
                listing->directories == Strings{"sub"});
    EXPECT_FALSE(StdDirectorySource().list(dir.dir() + "song.spc"));

    // Root, home, then what is mounted under the bases; a base itself is not a drive.
    const std::string home = dir.mkdir("home/me"), m = dir.mkdir("media");
    for (const char* mounted : {"media/me/STICK", "media/cdrom", "mnt/backup"})
        dir.mkdir(mounted);
    Strings drives;
    for (const Drive& d : StdDirectorySource(home, {m + "/me", m, dir.dir() + "mnt"}).drives())
        drives.push_back(d.text == d.root ? d.text : "mismatch " + d.text);
    EXPECT_EQ(drives,
              (Strings{"/", home, m + "/me/STICK", m + "/cdrom", dir.dir() + "mnt/backup"}));
    EXPECT_EQ(StdDirectorySource(".", {}).drives().size(), 1U) << "a relative home is none";
    // The user's own places first, named by $USER, else $LOGNAME.
    const std::array<const char*, 3> users[] = {{"me", "you", "/media/me /run/media/me "},
                                                {"", "you", "/media/you /run/media/you "},
                                                {"", "", ""}};
    for (const auto& [user, logname, own] : users) {
        ::setenv("USER", user, 1), ::setenv("LOGNAME", logname, 1);
        std::string bases;
        for (const std::string& base : StdDirectorySource::defaultMountBases())
            bases += base + " ";
        EXPECT_EQ(bases, own + "/media /mnt "s) << user << logname;
    }
}

} // namespace
} // namespace kavo
