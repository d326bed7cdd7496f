#include "launch/dosname.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_short_path.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <string>

namespace kavo {
namespace {

class DosnameTest : public ::testing::Test {
protected:
    test::TempDir dir;
    Win32FileSystem files;
    Win32ShortPath shortPaths;

    std::string dosname(const std::string& path) { return kavo::dosname(files, shortPaths, path); }

    // The long form of a short path, as the platform expands it.
    static std::string longForm(const std::string& shortPath) {
        std::wstring full(32768, L'\0');
        full.resize(GetLongPathNameW(test::fsPath(shortPath).c_str(), full.data(),
                                     static_cast<DWORD>(full.size())));
        return win32::toUtf8(full);
    }
};

TEST_F(DosnameTest, LongPathWithBlanksGivesTheTildeForm) {
    const char* names[] = {"Music Files\\Track One.spc", "Música ♫ 音楽\\トラック 1.spc",
                           "Deep Folder Name\\Another Long Folder\\A Rather Long Name.spc"};
    for (const char* name : names) {
        const std::string path = dir.path(name);
        test::makeDirectory(win32::toUtf8(test::fsPath(path).parent_path().wstring()));
        test::writeFile(path, "SNES-SPC700");

        const std::string shortPath = dosname(path);
        EXPECT_EQ(shortPath, test::platformShortPath(path)) << name;
        EXPECT_NE(shortPath.find('~'), std::string::npos) << shortPath;
        EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
        EXPECT_TRUE(isShortForm(*win32::toWide(shortPath))) << shortPath;
        EXPECT_EQ(CompareStringOrdinal(test::fsPath(longForm(shortPath)).c_str(), -1,
                                       test::fsPath(path).c_str(), -1, TRUE),
                  CSTR_EQUAL)
            << shortPath;
    }
}

TEST_F(DosnameTest, NoOrdinaryFileGivesTheEmptyText) {
    test::makeDirectory(dir.path("Some Folder"));
    test::writeFile(dir.path("Hidden Track.spc"), "data");
    test::setAttributes(dir.path("Hidden Track.spc"), FILE_ATTRIBUTE_HIDDEN);
    test::writeFile(dir.path("System Track.spc"), "data");
    test::setAttributes(dir.path("System Track.spc"), FILE_ATTRIBUTE_SYSTEM);
    for (const char* name : {"Some Folder", "Some Folder\\", "Hidden Track.spc", "System Track.spc",
                             "Missing Track.spc", "No Folder\\Track.spc"})
        EXPECT_EQ(dosname(dir.path(name)), "") << name;
    EXPECT_EQ(dosname(""), "");
}

TEST_F(DosnameTest, ReadOnlyFileCounts) {
    test::writeFile(dir.path("Read Only.spc"), "data");
    test::setAttributes(dir.path("Read Only.spc"), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(dosname(dir.path("Read Only.spc")),
              test::platformShortPath(dir.path("Read Only.spc")));
}

TEST_F(DosnameTest, PathAlreadyInShortFormComesBackAsTheSystemGivesIt) {
    const std::string shortDir = test::platformShortPath(dir.path());
    ASSERT_FALSE(shortDir.empty());
    const std::string path = shortDir + "TRACK.SPC";
    test::writeFile(path, "data");
    EXPECT_EQ(dosname(path), path);
    const std::string lower = shortDir + "track2.spc";
    test::writeFile(lower, "data");
    EXPECT_EQ(dosname(lower), lower);
}

TEST(Win32ShortPath, WritesNothingWhenItFailsOrTheResultDoesNotFit) {
    test::TempDir dir;
    test::writeFile(dir.path("Track One.spc"), "data");
    Win32ShortPath shortPaths;
    const std::string expected = test::platformShortPath(dir.path("Track One.spc"));

    std::string exact(expected.size() + 1, ' ');
    shortPaths.getShortPathName(dir.path("Track One.spc"), exact);
    EXPECT_EQ(exact, expected + '\0');

    std::string tight(expected.size(), ' ');
    shortPaths.getShortPathName(dir.path("Track One.spc"), tight);
    EXPECT_EQ(tight, std::string(expected.size(), ' '));

    std::string buffer(kShortPathBufferSize, ' ');
    for (const std::string& path : {dir.path("Missing.spc"), std::string("\xFF\xFE.spc"),
                                    dir.path("Track One.spc") + std::string(1, '\0')}) {
        shortPaths.getShortPathName(path, buffer);
        EXPECT_EQ(buffer, std::string(kShortPathBufferSize, ' '));
    }

    // The rest of the buffer is left as it was.
    std::string marked(kShortPathBufferSize, '#');
    shortPaths.getShortPathName(dir.path("Track One.spc"), marked);
    EXPECT_EQ(marked,
              expected + '\0' + std::string(kShortPathBufferSize - expected.size() - 1, '#'));
}

TEST(ShortForm, TellsWhetherEveryNameFitsEightDotThree) {
    struct Case {
        const wchar_t* path;
        bool shortForm;
    };
    const Case cases[] = {
        {LR"(C:\MUSICF~1\TRACKO~1.SPC)", true},
        {LR"(C:\LONG~1CJ\TRACK.SPC)", true},
        {LR"(c:\music\track.spc)", true},
        {LR"(C:\)", true},
        {LR"(TRACK~1.SPC)", true},
        {LR"(C:\MUSIC\..\.\A.SPC)", true},
        {LR"(\\server\A Long Share Name\TRACK~1.SPC)", true},
        {LR"(\\?\C:\MUSIC\A.SPC)", true},
        {LR"(\\?\UNC\server\Long Share\A.SPC)", true},
        {LR"(C:\Music Files\TRACK.SPC)", false},
        {LR"(C:\MUSIC\Track One.spc)", false},
        {LR"(C:\MUSIC\ABCDEFGHI.SPC)", false},
        {LR"(C:\MUSIC\TRACK.SPCX)", false},
        {LR"(C:\MUSIC\A.B.C)", false},
        {LR"(C:\MUSIC\A+B.SPC)", false},
        {LR"(C:\MUSIC\.SPC)", false},
        {LR"(C:\MUSIC\TRACK.)", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isShortForm(c.path), c.shortForm) << win32::toUtf8(c.path);
}

} // namespace
} // namespace kavo
