#include "launch/config_file.h"
#include "platform/win32/win32_file_system.h"
#include "test_support.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace kavo {
namespace {

using test::readFile;
using test::writeFile;

class FileSystemTest : public ::testing::Test {
protected:
    test::TempDir dir;
    Win32FileSystem files;
};

TEST_F(FileSystemTest, ExistenceTestCountsOrdinaryFilesOnly) {
    struct Case {
        const char* name;
        DWORD attributes;
        bool counts;
    };
    const Case cases[] = {
        {"plain.spc", FILE_ATTRIBUTE_NORMAL, true},
        {"readonly.spc", FILE_ATTRIBUTE_READONLY, true},
        {"archived.spc", FILE_ATTRIBUTE_ARCHIVE, true},
        {"both.spc", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE, true},
        {"hidden.spc", FILE_ATTRIBUTE_HIDDEN, false},
        {"system.spc", FILE_ATTRIBUTE_SYSTEM, false},
        {"hiddenro.spc", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY, false},
    };
    for (const Case& c : cases) {
        writeFile(dir.path(c.name), "data");
        test::setAttributes(dir.path(c.name), c.attributes);
        EXPECT_EQ(files.findOrdinaryFile(dir.path(c.name)), c.counts ? c.name : "") << c.name;
    }
    test::makeDirectory(dir.path("Folder.spc"));
    EXPECT_EQ(files.findOrdinaryFile(dir.path("Folder.spc")), "");
    EXPECT_EQ(files.findOrdinaryFile(dir.path("missing.spc")), "");
    EXPECT_EQ(files.findOrdinaryFile(dir.path("No Such Dir\\plain.spc")), "");
    EXPECT_EQ(files.findOrdinaryFile(""), "");
}

TEST_F(FileSystemTest, ExistenceTestAnswersTheNameAsOnDisk) {
    test::makeDirectory(dir.path("Music Files"));
    writeFile(dir.path("Music Files\\Track One.spc"), "data");
    EXPECT_EQ(files.findOrdinaryFile(dir.path("MUSIC FILES\\TRACK ONE.SPC")), "Track One.spc");
    test::makeDirectory(dir.path("Música ♫"));
    writeFile(dir.path("Música ♫\\トラック.spc"), "data");
    EXPECT_EQ(files.findOrdinaryFile(dir.path("Música ♫\\トラック.spc")), "トラック.spc");
}

TEST_F(FileSystemTest, ExistenceTestPassesOverHiddenMatchesToAnOrdinaryOne) {
    writeFile(dir.path("a.spc"), "data");
    writeFile(dir.path("b.spc"), "data");
    writeFile(dir.path("c.spc"), "data");
    test::setAttributes(dir.path("a.spc"), FILE_ATTRIBUTE_HIDDEN);
    test::setAttributes(dir.path("c.spc"), FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(files.findOrdinaryFile(dir.path("*.spc")), "b.spc");
}

TEST_F(FileSystemTest, ConfigFileIsWrittenByteForByte) {
    test::makeDirectory(dir.path("SPC Player"));
    const std::string cfg = dir.path("SPC Player\\SPCPLAY.CFG");
    writeFile(cfg, std::string(2000, 'x') + "\nSoundrate = 0\n");
    PlayerSettings settings;
    settings.adopt(dir.path("SPC Player\\"), dir.path("SPC Player\\SPCPLAY.EXE"));

    ASSERT_TRUE(writecfg(files, settings));
    const std::string bytes = readFile(cfg);
    EXPECT_EQ(bytes, configFileText("3", "1", "0", 75));
    EXPECT_EQ(bytes.size(), 390u);
    // No text-mode translation: 19 CR LF pairs and no other line end.
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 19);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), 19);
    EXPECT_EQ(bytes.find("\r\r"), std::string::npos);

    test::setAttributes(cfg, FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(files.writeWhole(cfg, "short"));
    EXPECT_EQ(readFile(cfg), "short");
}

TEST_F(FileSystemTest, WriteThatCannotHappenIsReportedAndChangesNothing) {
    EXPECT_FALSE(files.writeWhole(dir.path("No Such Dir\\SPCPLAY.CFG"), "text"));
    EXPECT_FALSE(test::exists(dir.path("No Such Dir")));
    // Held open elsewhere without sharing, as by a player still reading it.
    const std::string locked = dir.path("SPCPLAY.CFG");
    writeFile(locked, "old text");
    HANDLE holder = CreateFileW(test::fsPath(locked).c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(files.writeWhole(locked, "new"));
    EXPECT_FALSE(files.openOrCreate(locked));
    CloseHandle(holder);
    EXPECT_EQ(readFile(locked), "old text");
    test::makeDirectory(dir.path("Folder"));
    EXPECT_FALSE(files.writeWhole(dir.path("Folder"), "text"));
}

TEST_F(FileSystemTest, OpenOrCreateKeepsExistingDataAndCreatesMissingFilesEmpty) {
    const std::string wav = dir.path("Log File.wav");
    const std::string data = std::string("RIFF\x24\0\0\0WAVEfmt ", 16) + std::string(5000, '\x7F');
    writeFile(wav, data);
    ASSERT_TRUE(files.openOrCreate(wav));
    EXPECT_EQ(readFile(wav), data);

    const std::string fresh = dir.path("Fresh.wav");
    ASSERT_TRUE(files.openOrCreate(fresh));
    ASSERT_TRUE(test::exists(fresh));
    EXPECT_EQ(readFile(fresh), "");

    EXPECT_FALSE(files.openOrCreate(dir.path("No Such Dir\\Out.wav")));
    test::makeDirectory(dir.path("Folder.wav"));
    EXPECT_FALSE(files.openOrCreate(dir.path("Folder.wav")));
    EXPECT_FALSE(files.openOrCreate(""));
}

TEST_F(FileSystemTest, SizeIsReadWithoutCreatingAnything) {
    const std::string player = dir.path("SPCPLAY.EXE");
    writeFile(player, std::string(913758, 'M'));
    test::setAttributes(player, FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(files.fileSize(player), 913758u);

    EXPECT_EQ(files.fileSize(dir.path("Missing.exe")), std::nullopt);
    EXPECT_FALSE(test::exists(dir.path("Missing.exe")));
    test::makeDirectory(dir.path("Folder"));
    EXPECT_EQ(files.fileSize(dir.path("Folder")), std::nullopt);
    EXPECT_EQ(files.fileSize(dir.path("NUL")), std::nullopt);
}

} // namespace
} // namespace kavo
