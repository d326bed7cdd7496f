// The POSIX backends on real files and processes.
#include "launch/config_file.h"
#include "launch/dosname.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_process_starter.h"
#include "platform/posix/posix_short_path.h"
#include "temp_dir.h"

#include <chrono>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

namespace kavo {
namespace {

using test::readAll;

// What the launcher asks of a file: whether it opens (a WAV file) without blocking or
// truncating, and whether it is an ordinary file not hidden, given as the path itself.
TEST(PosixFileSystem, KindsOfFilesSizesNamesAndWrites) {
    test::TempDir temp;
    PosixFileSystem files;
    PosixShortPath shortPaths;
    ::mkfifo((temp.dir() + "fifo").c_str(), 0600);
    std::filesystem::create_symlink(temp.dir() + "missing/x.wav", temp.dir() + "dangling");
    const std::string plain = temp.file("Track One.wav", "RIFF");
    const std::string hidden = temp.file(".hidden.wav");
    const std::string dir = temp.mkdir("d");
    for (const std::string& path : {plain, hidden, std::string("/dev/null"), temp.dir() + "fifo"})
        EXPECT_TRUE(files.openOrCreate(path)) << path;
    for (const std::string& path : {dir, temp.dir() + "dangling", temp.dir() + "missing/x.wav"})
        EXPECT_FALSE(files.openOrCreate(path)) << path;
    for (const std::string& path : {hidden, std::string("/dev/null"), temp.dir() + "fifo", dir,
                                    temp.dir() + "gone", std::string()})
        EXPECT_EQ(dosname(files, shortPaths, path), "") << path;
    EXPECT_EQ(dosname(files, shortPaths, plain), plain);
    EXPECT_EQ(readAll(plain), "RIFF");
    EXPECT_EQ(files.findOrdinaryFile(plain), "Track One.wav");
    EXPECT_EQ(files.fileSize(temp.file("a", std::string(913758, '\0'))), 913758u);
    for (const std::string& path : {temp.dir() + "gone", temp.dir(), temp.dir() + "fifo"})
        EXPECT_EQ(files.fileSize(path), std::nullopt) << path;
    EXPECT_FALSE(std::filesystem::exists(temp.dir() + "gone"));

    // The name as spelled on disk; a directory of the exact name does not hide the file.
    const std::string p = temp.dir() + "p/";
    const std::string q = temp.dir() + "q/";
    temp.file("p/spcplay.exe");
    EXPECT_EQ(files.resolveNameCase(p, "SPCPLAY.EXE"), p + "spcplay.exe");
    EXPECT_EQ(files.resolveNameCase(p, "X.EXE"), p + "X.EXE");
    temp.mkdir("q/SPCPLAY.EXE");
    temp.file("q/SpcPlay.exe");
    EXPECT_EQ(files.resolveNameCase(q, "SPCPLAY.EXE"), q + "SpcPlay.exe");
    temp.file("p/SPCPLAY.EXE");
    EXPECT_EQ(files.resolveNameCase(p, "SPCPLAY.EXE"), p + "SPCPLAY.EXE");

    // The configuration replaces a longer old file; where nobody, root included, can create
    // files it fails.
    temp.file("SPCPLAY.CFG", std::string(5000, '#'));
    PlayerSettings settings;
    for (const std::string& dir : {temp.dir(), std::string("/proc/self/")}) {
        settings.adopt(dir, dir + "SPCPLAY.EXE");
        EXPECT_EQ(writecfg(files, settings), dir == temp.dir()) << dir;
    }
    EXPECT_EQ(readAll(temp.dir() + "SPCPLAY.CFG"), configFileText("3", "1", "0", 75));
}

TEST(PosixProcessStarter, ArgumentsArriveExactlyOrTheReasonIsTold) {
    test::TempDir temp;
    const std::string dump = temp.dir() + "argv";
    ::setenv("KAVO_ARGV_DUMP_OUT", dump.c_str(), 1);
    PosixProcessStarter starter;
    const std::vector<std::string> hostile{KAVO_ARGV_DUMP, "$(touch x); \"q\" 'z'", "new\nline\t\r",
                                           "non-UTF-8 \xFF\xFE", "-leading"};
    ASSERT_FALSE(starter.start({"", KAVO_ARGV_DUMP, {hostile.begin() + 1, hostile.end()}}));
    for (int i = 0; i < 500 && !std::filesystem::exists(dump); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::string expected;
    for (const std::string& word : hostile)
        expected += word + '\0';
    EXPECT_EQ(readAll(dump), expected);
    EXPECT_FALSE(std::filesystem::exists("x"));
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "a zombie was left";
    EXPECT_EQ(errno, ECHILD);

    const std::pair<std::string, std::errc> failures[] = {
        {"(No directory specified)", std::errc::no_such_file_or_directory},
        {temp.dir() + "missing/SPCPLAY.EXE", std::errc::no_such_file_or_directory},
        {temp.file("SPCPLAY.EXE", "data"), std::errc::permission_denied},
        {temp.dir(), std::errc::permission_denied},
        {"", std::errc::no_such_file_or_directory},
    };
    for (const auto& [program, error] : failures)
        EXPECT_EQ(starter.start({"", program, {}}), std::make_error_code(error)) << program;
}

} // namespace
} // namespace kavo
