// The POSIX backends on real files and processes.
#include "launch/dosname.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_process_starter.h"
#include "platform/posix/posix_short_path.h"
#include "temp_dir.h"

#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

namespace kavo {
namespace {

using test::readAll;
using namespace std::string_literals;

// What the launcher asks of a file: whether it opens (a WAV file) without blocking or
// truncating, and whether it is an ordinary file not hidden, given as the path itself.
TEST(PosixBackends, FilesAndProcessesAsTheLauncherUsesThem) {
    test::TempDir temp;
    PosixFileSystem files;
    PosixShortPath shortPaths;
    const std::string d = temp.dir(), fifo = d + "fifo", null = "/dev/null", dump = d + "argv";
    ::mkfifo(fifo.c_str(), 0600);
    std::filesystem::create_symlink(d + "missing/x.wav", d + "dangling");
    const std::string plain = temp.file("Track One.wav", "RIFF"), hidden = temp.file(".hidden.wav"),
                      dir = temp.mkdir("d");
    for (const std::string& path : {plain, hidden, null, fifo})
        EXPECT_TRUE(files.openOrCreate(path)) << path;
    for (const std::string& path : {dir, d + "dangling", d + "missing/x.wav"})
        EXPECT_FALSE(files.openOrCreate(path)) << path;
    for (const std::string& path : {hidden, null, fifo, dir, d + "gone", std::string()})
        EXPECT_EQ(dosname(files, shortPaths, path), "") << path;
    EXPECT_EQ(dosname(files, shortPaths, plain), plain);
    EXPECT_EQ(readAll(plain), "RIFF");
    EXPECT_EQ(files.findOrdinaryFile(plain), "Track One.wav");
    EXPECT_EQ(files.fileSize(temp.file("a", std::string(913758, '\0'))), 913758u);
    for (const std::string& path : {d + "gone", d, fifo})
        EXPECT_EQ(files.fileSize(path), std::nullopt) << path;
    EXPECT_FALSE(std::filesystem::exists(d + "gone"));

    // The name as spelled on disk, the exact one first; a directory of the exact name (made
    // from the name ending in "/") does not hide a file of another case.
    for (const char* made :
         {"p/spcplay.exe", "q/SpcPlay.exe", "q/SPCPLAY.EXE/", "r/spcplay.exe", "r/SPCPLAY.EXE"})
        temp.file(made);
    for (const std::string found : {"p/spcplay.exe", "q/SpcPlay.exe", "r/SPCPLAY.EXE"})
        EXPECT_EQ(files.resolveNameCase(d + found.substr(0, 2), "SPCPLAY.EXE"), d + found);
    EXPECT_EQ(files.resolveNameCase(d + "p/", "X.EXE"), d + "p/X.EXE");
    // The configuration's bytes as given, replacing a longer old file; where nobody, root
    // included, can create files it fails (what the bytes are the core pins).
    const std::string cfg = temp.file("SPCPLAY.CFG", std::string(5000, '#')),
                      bytes = "a\r\n\x1A\0b"s;
    EXPECT_TRUE(files.writeWhole(cfg, bytes) && !files.writeWhole("/proc/self/SPCPLAY.CFG", bytes));
    EXPECT_EQ(readAll(cfg), bytes);

    // The process starter: the started /bin/sh writes its descriptors (standard ones only, not
    // one we left open), its argument vector, NUL-separated as the kernel keeps it, and its
    // working directory, its own; or the reason it could not start.
    const std::string script =
        "ls /proc/$$/fd >\"$0.fd\"; { cat /proc/$$/cmdline; pwd -P; } >\"$0.part\" && "
        "mv \"$0.part\" \"$0\"";
    const int inheritable = ::open("/dev/null", O_RDONLY); // NOLINT(android-cloexec-open)
    const std::vector<std::string> arguments{
        "-c",      script, dump, "$(touch x); \"q\" 'z'", "new\nline\t\r", "non-UTF-8 \xFF\xFE",
        "-leading"};
    PosixProcessStarter starter;
    ASSERT_FALSE(starter.start({"", "/bin/sh", arguments}));
    for (int i = 0; i < 500 && !std::filesystem::exists(dump); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::string expected = "/bin/sh";
    for (const std::string& argument : arguments)
        expected += '\0' + argument;
    EXPECT_EQ(readAll(dump), expected + '\0' + std::filesystem::canonical("/bin").string() + "\n");
    EXPECT_EQ(readAll(dump + ".fd"), "0\n1\n10\n2\n"); // 10: dash's own
    ::close(inheritable);
    EXPECT_FALSE(std::filesystem::exists("x"));
    errno = 0;
    EXPECT_TRUE(::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD) << "a zombie was left";

    for (const std::string& program : {"(No directory specified)"s, d + "missing/SPCPLAY.EXE", ""s})
        EXPECT_EQ(starter.start({"", program, {}}), std::errc::no_such_file_or_directory)
            << program;
    for (const std::string& program : {temp.file("SPCPLAY.EXE", "data"), d})
        EXPECT_EQ(starter.start({"", program, {}}), std::errc::permission_denied) << program;
}

} // namespace
} // namespace kavo
