#include "fakes/fakes.h"
#include "launch/config_file.h"
#include "launch/dosname.h"
#include "launch/launcher.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_process_starter.h"
#include "platform/posix/posix_short_path.h"
#include "temp_dir.h"

#include <chrono>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kavo {
namespace {

using test::readAll;
using test::TempDir;

// A directory in which nobody, root included, can create files.
std::string unwritableDirectory(const TempDir& temp) {
    if (::geteuid() == 0)
        return "/proc/self/";
    const std::string dir = temp.dir() + "ro/";
    std::filesystem::create_directory(dir);
    ::chmod(dir.c_str(), 0555);
    return dir;
}

std::vector<std::string> waitForArgv(const std::string& dumpFile) {
    for (int i = 0; i < 500 && !std::filesystem::exists(dumpFile); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::vector<std::string> words;
    std::string all = readAll(dumpFile);
    for (std::size_t start = 0, end; (end = all.find('\0', start)) != std::string::npos;
         start = end + 1)
        words.push_back(all.substr(start, end - start));
    return words;
}

TEST(PosixFileSystem, OnlyOrdinaryVisibleFilesExist) {
    TempDir temp;
    PosixFileSystem files;
    const std::string plain = temp.file("Track One.spc", "x");
    const std::string readOnly = temp.file("ro.spc", "x");
    ::chmod(readOnly.c_str(), 0444);
    const std::string hidden = temp.file(".hidden.spc", "x");
    std::filesystem::create_directory(temp.dir() + "dir.spc");
    ::mkfifo((temp.dir() + "fifo.spc").c_str(), 0600);

    EXPECT_EQ(files.findOrdinaryFile(plain), "Track One.spc");
    EXPECT_EQ(files.findOrdinaryFile(readOnly), "ro.spc");
    for (const std::string& path : {hidden, temp.dir() + "dir.spc", temp.dir() + "fifo.spc",
                                    temp.dir() + "missing.spc", std::string()})
        EXPECT_EQ(files.findOrdinaryFile(path), "") << path;

    PosixShortPath shortPaths;
    EXPECT_EQ(dosname(files, shortPaths, plain), plain); // no 8.3 names here: the path itself
    EXPECT_EQ(dosname(files, shortPaths, temp.dir() + "dir.spc"), "");
}

TEST(PosixFileSystem, ConfigReplacesALongerOldFile) {
    TempDir temp;
    PosixFileSystem files;
    temp.file("SPCPLAY.CFG", std::string(5000, '#') + "\r\nVolume = 3\r\n");
    PlayerSettings settings;
    settings.adopt(temp.dir(), temp.dir() + "SPCPLAY.EXE");
    ASSERT_TRUE(writecfg(files, settings));
    EXPECT_EQ(readAll(temp.dir() + "SPCPLAY.CFG"), configFileText("3", "1", "0", 75));
}

TEST(PosixFileSystem, UnwritableDirectoryIsReported) {
    TempDir temp;
    PosixFileSystem files;
    PlayerSettings settings;
    for (const std::string& dir : {unwritableDirectory(temp), temp.dir() + "missing/"}) {
        settings.adopt(dir, dir + "SPCPLAY.EXE");
        EXPECT_FALSE(writecfg(files, settings)) << dir;
        EXPECT_FALSE(files.openOrCreate(dir + "out.wav")) << dir;
    }
}

TEST(PosixFileSystem, OpenOrCreateNeverTruncates) {
    TempDir temp;
    PosixFileSystem files;
    const std::string existing = temp.file("old.wav", "RIFF....data");
    ASSERT_TRUE(files.openOrCreate(existing));
    EXPECT_EQ(readAll(existing), "RIFF....data");

    const std::string created = temp.dir() + "new.wav";
    ASSERT_TRUE(files.openOrCreate(created));
    EXPECT_EQ(files.fileSize(created), 0u);

    EXPECT_FALSE(files.openOrCreate(temp.dir()));
    // A FIFO must not hang the program.
    ::mkfifo((temp.dir() + "fifo.wav").c_str(), 0600);
    files.openOrCreate(temp.dir() + "fifo.wav");
}

TEST(PosixFileSystem, SizeIsReadWithoutCreating) {
    TempDir temp;
    PosixFileSystem files;
    EXPECT_EQ(files.fileSize(temp.file("a", std::string(913758, '\0'))), 913758u);
    EXPECT_EQ(files.fileSize(temp.dir() + "missing"), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(temp.dir() + "missing"));
    EXPECT_EQ(files.fileSize(temp.dir()), std::nullopt);
}

TEST(PosixFileSystem, NameCaseIsResolvedAsOnDisk) {
    TempDir temp;
    PosixFileSystem files;
    temp.file("spcplay.exe");
    EXPECT_EQ(files.resolveNameCase(temp.dir(), "SPCPLAY.EXE"), temp.dir() + "spcplay.exe");
    EXPECT_EQ(files.resolveNameCase(temp.dir(), "OTHER.EXE"), temp.dir() + "OTHER.EXE");
    temp.file("SPCPLAY.EXE");
    EXPECT_EQ(files.resolveNameCase(temp.dir(), "SPCPLAY.EXE"), temp.dir() + "SPCPLAY.EXE");
    EXPECT_EQ(files.resolveNameCase(temp.dir() + "missing/", "X"), temp.dir() + "missing/X");

    // A directory of the exact name does not hide the player file beside it.
    TempDir other;
    std::filesystem::create_directory(other.dir() + "SPCPLAY.EXE");
    other.file("SpcPlay.exe");
    EXPECT_EQ(files.resolveNameCase(other.dir(), "SPCPLAY.EXE"), other.dir() + "SpcPlay.exe");
}

TEST(PosixProcessStarter, ArgumentsArriveExactlyAndNoZombieRemains) {
    TempDir temp;
    const std::string dump = temp.dir() + "argv";
    ::setenv("KAVO_ARGV_DUMP_OUT", dump.c_str(), 1);
    const std::vector<std::string> arguments{"/music/Track One.spc", "-w", "$(touch x); \"q\" 'z'",
                                             "-leading"};
    PosixProcessStarter starter;
    ASSERT_FALSE(starter.start({"", KAVO_ARGV_DUMP, arguments}));

    std::vector<std::string> expected{KAVO_ARGV_DUMP};
    expected.insert(expected.end(), arguments.begin(), arguments.end());
    EXPECT_EQ(waitForArgv(dump), expected);
    EXPECT_FALSE(std::filesystem::exists("x"));
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST(PosixProcessStarter, UnstartablePlayersAreReported) {
    TempDir temp;
    const std::string notExecutable = temp.file("SPCPLAY.EXE", "data");
    ::chmod(notExecutable.c_str(), 0644);
    PosixProcessStarter starter;
    const struct {
        std::string program;
        std::errc error;
    } cases[] = {
        {"(No directory specified)", std::errc::no_such_file_or_directory},
        {temp.dir() + "missing/SPCPLAY.EXE", std::errc::no_such_file_or_directory},
        {notExecutable, std::errc::permission_denied},
        {temp.dir(), std::errc::permission_denied},
        {"", std::errc::no_such_file_or_directory},
    };
    for (const auto& c : cases)
        EXPECT_EQ(starter.start({"", c.program, {}}), std::make_error_code(c.error)) << c.program;
}

TEST(PosixLaunch, PlayerGetsShortPathsAndTheWavFileIsCreated) {
    TempDir temp;
    const std::string dump = temp.dir() + "argv";
    ::setenv("KAVO_ARGV_DUMP_OUT", dump.c_str(), 1);
    const std::string spc = temp.file("Track One.spc", "spc");
    const std::string wav = temp.dir() + "out put.wav";

    PosixFileSystem files;
    PosixShortPath shortPaths;
    PosixProcessStarter starter;
    fake::Messages messages;
    PlayerSettings settings;
    settings.adopt(temp.dir(), temp.dir() + "SPCPLAY.EXE");
    Launcher launcher(files, shortPaths, starter, messages);
    EXPECT_EQ(launcher.launch(settings, {spc, KAVO_ARGV_DUMP, wav, true}), LaunchOutcome::Started);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(waitForArgv(dump), (std::vector<std::string>{KAVO_ARGV_DUMP, spc, "-w", wav}));
    EXPECT_EQ(files.fileSize(wav), 0u);
    EXPECT_EQ(readAll(temp.dir() + "SPCPLAY.CFG").size(), 390u);
}

} // namespace
} // namespace kavo
