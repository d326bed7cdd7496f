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

std::vector<std::string> waitForArgv(const std::string& dumpFile) {
    for (int i = 0; i < 500 && !std::filesystem::exists(dumpFile); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::vector<std::string> words;
    const std::string all = readAll(dumpFile);
    for (std::size_t start = 0, end; (end = all.find('\0', start)) != std::string::npos;
         start = end + 1)
        words.push_back(all.substr(start, end - start));
    return words;
}

TEST(PosixFileSystem, OrdinaryFilesSizesNamesAndWrites) {
    TempDir temp;
    PosixFileSystem files;
    const std::string plain = temp.file("Track One.spc", "x");
    const std::string readOnly = temp.file("ro.spc", "x");
    ::chmod(readOnly.c_str(), 0444);
    ::mkfifo((temp.dir() + "fifo.spc").c_str(), 0600);
    EXPECT_EQ(files.findOrdinaryFile(plain), "Track One.spc");
    EXPECT_EQ(files.findOrdinaryFile(readOnly), "ro.spc");
    for (const std::string& path : {temp.file(".hidden.spc"), temp.mkdir("dir.spc"),
                                    temp.dir() + "fifo.spc", temp.dir() + "gone", std::string()})
        EXPECT_EQ(files.findOrdinaryFile(path), "") << path;
    PosixShortPath shortPaths;
    EXPECT_EQ(dosname(files, shortPaths, plain), plain); // no 8.3 names here: the path itself
    EXPECT_EQ(dosname(files, shortPaths, temp.dir() + "dir.spc"), "");

    EXPECT_EQ(files.fileSize(temp.file("a", std::string(913758, '\0'))), 913758u);
    EXPECT_EQ(files.fileSize(temp.dir() + "missing"), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(temp.dir() + "missing"));
    EXPECT_EQ(files.fileSize(temp.dir()), std::nullopt);

    // The name as spelled on disk; a directory of the exact name does not hide the file.
    temp.file("p/spcplay.exe");
    EXPECT_EQ(files.resolveNameCase(temp.dir() + "p/", "SPCPLAY.EXE"),
              temp.dir() + "p/spcplay.exe");
    EXPECT_EQ(files.resolveNameCase(temp.dir() + "p/", "X.EXE"), temp.dir() + "p/X.EXE");
    temp.mkdir("q/SPCPLAY.EXE");
    temp.file("q/SpcPlay.exe");
    EXPECT_EQ(files.resolveNameCase(temp.dir() + "q/", "SPCPLAY.EXE"),
              temp.dir() + "q/SpcPlay.exe");
    temp.file("p/SPCPLAY.EXE");
    EXPECT_EQ(files.resolveNameCase(temp.dir() + "p/", "SPCPLAY.EXE"),
              temp.dir() + "p/SPCPLAY.EXE");

    // The configuration replaces a longer old file; a WAV file is opened, never truncated.
    temp.file("SPCPLAY.CFG", std::string(5000, '#'));
    PlayerSettings settings;
    settings.adopt(temp.dir(), temp.dir() + "SPCPLAY.EXE");
    ASSERT_TRUE(writecfg(files, settings));
    EXPECT_EQ(readAll(temp.dir() + "SPCPLAY.CFG"), configFileText("3", "1", "0", 75));
    const std::string old = temp.file("old.wav", "RIFF....data");
    ASSERT_TRUE(files.openOrCreate(old));
    EXPECT_EQ(readAll(old), "RIFF....data");
    ASSERT_TRUE(files.openOrCreate(temp.dir() + "new.wav"));
    EXPECT_EQ(files.fileSize(temp.dir() + "new.wav"), 0u);

    // Where nobody, root included, can create files.
    for (const std::string& dir : {std::string("/proc/self/"), temp.dir() + "missing/"}) {
        settings.adopt(dir, dir + "SPCPLAY.EXE");
        EXPECT_FALSE(writecfg(files, settings)) << dir;
        EXPECT_FALSE(files.openOrCreate(dir + "out.wav")) << dir;
    }
}

TEST(PosixProcessStarter, ArgumentsArriveExactlyOrTheReasonIsTold) {
    TempDir temp;
    const std::string dump = temp.dir() + "argv";
    ::setenv("KAVO_ARGV_DUMP_OUT", dump.c_str(), 1);
    const std::vector<std::string> arguments{"/m/Track One.spc",      "-w",
                                             "$(touch x); \"q\" 'z'", "new\nline\t\r",
                                             "non-UTF-8 \xFF\xFE",    "-leading"};
    PosixProcessStarter starter;
    ASSERT_FALSE(starter.start({"", KAVO_ARGV_DUMP, arguments}));
    std::vector<std::string> expected{KAVO_ARGV_DUMP};
    expected.insert(expected.end(), arguments.begin(), arguments.end());
    EXPECT_EQ(waitForArgv(dump), expected);
    EXPECT_FALSE(std::filesystem::exists("x"));
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "a zombie was left";
    EXPECT_EQ(errno, ECHILD);

    const std::string notExecutable = temp.file("SPCPLAY.EXE", "data");
    const std::pair<std::string, std::errc> failures[] = {
        {"(No directory specified)", std::errc::no_such_file_or_directory},
        {temp.dir() + "missing/SPCPLAY.EXE", std::errc::no_such_file_or_directory},
        {notExecutable, std::errc::permission_denied},
        {temp.dir(), std::errc::permission_denied},
        {"", std::errc::no_such_file_or_directory},
    };
    for (const auto& [program, error] : failures)
        EXPECT_EQ(starter.start({"", program, {}}), std::make_error_code(error)) << program;
}

TEST(PosixLaunch, WavFileIsCreatedOrRefusedWithItsReason) {
    TempDir temp;
    const std::string dump = temp.dir() + "argv";
    ::setenv("KAVO_ARGV_DUMP_OUT", dump.c_str(), 1);
    const std::string spc = temp.file("Track One.spc", "spc");
    PosixFileSystem files;
    PosixShortPath shortPaths;
    PosixProcessStarter starter;
    fake::Messages messages;
    PlayerSettings settings;
    settings.adopt(temp.dir(), temp.dir() + "SPCPLAY.EXE");
    Launcher launcher(files, shortPaths, starter, messages);

    const std::string wav = temp.dir() + "out put.wav";
    EXPECT_EQ(launcher.launch(settings, {spc, KAVO_ARGV_DUMP, wav, true}), LaunchOutcome::Started);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(waitForArgv(dump), (std::vector<std::string>{KAVO_ARGV_DUMP, spc, "-w", wav}));
    EXPECT_EQ(files.fileSize(wav), 0u);
    EXPECT_EQ(readAll(temp.dir() + "SPCPLAY.CFG").size(), 390u);

    // A FIFO or a device must never block the launch.
    ::mkfifo((temp.dir() + "fifo").c_str(), 0644);
    std::filesystem::create_symlink(temp.dir() + "missing/out.wav", temp.dir() + "dangling");
    const std::string notOpened = "Could not open or create the WAV file";
    const std::string notOrdinary = "is hidden or not an ordinary file";
    const std::pair<std::string, std::string> refused[] = {
        {temp.mkdir("a directory"), notOpened},  {temp.dir() + "fifo", notOrdinary},
        {temp.dir() + "dangling", notOpened},    {"/dev/null", notOrdinary},
        {temp.file(".hidden.wav"), notOrdinary}, {temp.dir() + "missing/out.wav", notOpened}};
    for (const auto& [path, told] : refused) {
        messages.shown.clear();
        std::filesystem::remove(dump);
        EXPECT_EQ(launcher.launch(settings, {spc, KAVO_ARGV_DUMP, path, true}),
                  LaunchOutcome::WavUnusable);
        ASSERT_EQ(messages.shown.size(), 1u) << path;
        EXPECT_NE(messages.shown[0].text.find(told), std::string::npos) << messages.shown[0].text;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(std::filesystem::exists(dump)) << "a player was started";
}

} // namespace
} // namespace kavo
