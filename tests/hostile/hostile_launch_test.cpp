// Launching with awkward paths, unusual files where the SPC and WAV files should be, and a
// player that disappears, is replaced, or exits at once.
#include "fakes/fakes.h"
#include "hostile_support.h"
#include "launch/config_file.h"
#include "launch/launcher.h"
#include "launch/player.h"
#include "picker/setdir.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_process_starter.h"
#include "platform/posix/posix_short_path.h"

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>

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

// Creates the directories of a path longer than the system lets one call resolve, one level
// at a time, and an SPC file at its end; returns the whole path.
std::string veryLongPath(const std::string& base, std::size_t length, bool createFile) {
    int dir = ::open(base.c_str(), O_RDONLY | O_DIRECTORY);
    std::string path = base;
    const std::string leaf = "track.spc";
    while (path.size() + leaf.size() < length) {
        const std::size_t room = length - path.size() - leaf.size();
        // Leave at least two characters for the next level's name and its separator.
        std::string name(std::min<std::size_t>(room > 201 ? 200 : room - 1, 200), 'd');
        if (room - name.size() - 1 == 1)
            name.pop_back();
        ::mkdirat(dir, name.c_str(), 0755);
        const int next = ::openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(dir);
        dir = next;
        path += name + "/";
    }
    if (createFile)
        ::close(::openat(dir, leaf.c_str(), O_WRONLY | O_CREAT, 0644));
    ::close(dir);
    return path + leaf;
}

class HostileLaunch : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("KAVO_ARGV_DUMP_OUT", dump_.c_str(), 1);
        settings_.adopt(temp_.dir(), temp_.dir() + "SPCPLAY.EXE");
    }
    void TearDown() override {
        ::unsetenv("KAVO_ARGV_DUMP_OUT");
        // The players are not ours to wait for; let the last one finish writing.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    LaunchOutcome launch(const std::string& spc, const std::string& wav, bool log = true,
                         const std::string& player = KAVO_ARGV_DUMP) {
        std::filesystem::remove(dump_);
        return launcher_.launch(settings_, {spc, player, wav, log});
    }
    std::vector<std::string> argv() { return waitForArgv(dump_); }
    bool playerStarted() {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return std::filesystem::exists(dump_);
    }
    void expectTold(std::string_view part) {
        ASSERT_EQ(messages_.shown.size(), 1u);
        EXPECT_EQ(messages_.shown[0].title, "Error");
        EXPECT_EQ(messages_.shown[0].icon, MessageIcon::Error);
        EXPECT_NE(messages_.shown[0].text.find(part), std::string::npos) << messages_.shown[0].text;
        messages_.shown.clear();
    }
    std::string config() { return readAll(temp_.dir() + "SPCPLAY.CFG"); }

    TempDir temp_;
    const std::string dump_ = temp_.dir() + "argv";
    PosixFileSystem files_;
    PosixShortPath shortPaths_;
    PosixProcessStarter starter_;
    fake::Messages messages_;
    PlayerSettings settings_;
    Launcher launcher_{files_, shortPaths_, starter_, messages_};
};

TEST_F(HostileLaunch, AwkwardNamesReachThePlayerAsSingleUntouchedArguments) {
    const std::string names[] = {
        "new\nline",
        "quote\"d 'single'",
        "semi;colon",
        "$(touch pwned)",
        "`touch pwned`",
        "pipe | and > redirect & back",
        "non-UTF-8 \xFF\xFE\x80",
        "-leading dash",
        "tab\tand\r",
    };
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(temp_.dir());
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string spc = temp_.file(name + ".spc", "spc data");
        const std::string wav = temp_.dir() + name + ".wav";
        ASSERT_EQ(launch(spc, wav), LaunchOutcome::Started);
        EXPECT_EQ(argv(), (std::vector<std::string>{KAVO_ARGV_DUMP, spc, "-w", wav}));
        EXPECT_EQ(files_.fileSize(wav), 0u);
        EXPECT_EQ(readAll(spc), "spc data");

        // The same names relative to the working directory, as a user may type them.
        const std::string spcHere = name + ".spc";
        const std::string wavHere = name + ".wav";
        ASSERT_EQ(launch(spcHere, wavHere), LaunchOutcome::Started);
        EXPECT_EQ(argv(), (std::vector<std::string>{KAVO_ARGV_DUMP, spcHere, "-w", wavHere}));
    }
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_FALSE(std::filesystem::exists(temp_.dir() + "pwned"));
    EXPECT_FALSE(std::filesystem::exists(previous / "pwned"));
    EXPECT_EQ(config().size(), 390u);
    std::filesystem::current_path(previous);
}

TEST_F(HostileLaunch, FiveThousandCharacterPaths) {
    const std::string spc = veryLongPath(temp_.dir(), 5000, true);
    ASSERT_EQ(spc.size(), 5000u);
    const std::string wav = veryLongPath(temp_.dir(), 5000, false) + ".wav";

    // No call can reach a file by this name, so for the launcher there is none: the player
    // starts without one, as for a missing file.
    EXPECT_EQ(launch(spc, "", false), LaunchOutcome::Started);
    EXPECT_EQ(argv(), (std::vector<std::string>{KAVO_ARGV_DUMP}));
    EXPECT_TRUE(messages_.shown.empty());

    // A WAV file that cannot be created stops the launch with a message.
    EXPECT_EQ(launch(temp_.file("ok.spc"), wav), LaunchOutcome::WavUnusable);
    expectTold("Could not open or create the WAV file");
    EXPECT_FALSE(playerStarted());
}

TEST_F(HostileLaunch, WavPathsThatAreNoOrdinaryFile) {
    const test::Deadline deadline(30); // a FIFO must never block the launch
    const std::string spc = temp_.file("track.spc");
    std::filesystem::create_directory(temp_.dir() + "a directory");
    ::mkfifo((temp_.dir() + "a fifo").c_str(), 0644);
    std::filesystem::create_symlink(temp_.dir() + "missing/out.wav", temp_.dir() + "dangling");
    const std::string notOpened = "Could not open or create the WAV file";
    const std::string notOrdinary = "is hidden or not an ordinary file";
    const struct {
        std::string wav, told;
    } refused[] = {{temp_.dir() + "a directory", notOpened},
                   {temp_.dir() + "a fifo", notOrdinary},
                   {temp_.dir() + "dangling", notOpened},
                   {"/dev/null", notOrdinary},
                   {"/dev/zero", notOrdinary},
                   {temp_.file(".hidden.wav"), notOrdinary},
                   {temp_.dir() + "missing/out.wav", notOpened}};
    for (const auto& c : refused) {
        SCOPED_TRACE(c.wav);
        EXPECT_EQ(launch(spc, c.wav), LaunchOutcome::WavUnusable);
        expectTold(c.told);
        EXPECT_FALSE(playerStarted());
    }
    EXPECT_TRUE(std::filesystem::is_directory(temp_.dir() + "a directory"));
    EXPECT_TRUE(std::filesystem::is_fifo(temp_.dir() + "a fifo"));

    // A dangling link into a directory that exists names a file that can be created.
    std::filesystem::create_symlink(temp_.dir() + "target.wav", temp_.dir() + "link.wav");
    EXPECT_EQ(launch(spc, temp_.dir() + "link.wav"), LaunchOutcome::Started);
    EXPECT_EQ(argv(),
              (std::vector<std::string>{KAVO_ARGV_DUMP, spc, "-w", temp_.dir() + "link.wav"}));
    EXPECT_EQ(files_.fileSize(temp_.dir() + "target.wav"), 0u);
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(HostileLaunch, SpcBoxNamingADeviceStartsThePlayerWithoutAFile) {
    const test::Deadline deadline(30);
    for (const std::string device : {"/dev/zero", "/dev/null", "/dev/tty"}) {
        SCOPED_TRACE(device);
        EXPECT_EQ(launch(device, "", false), LaunchOutcome::Started);
        EXPECT_EQ(argv(), (std::vector<std::string>{KAVO_ARGV_DUMP}));
    }
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(HostileLaunch, PlayerDirectoryRemovedAfterSetdir) {
    const std::string dir = temp_.dir() + "player/";
    std::filesystem::create_directory(dir);
    std::filesystem::resize_file(temp_.file("player/SPCPLAY.EXE"), kPlayerExeSize);
    ASSERT_EQ(setdir(dir, files_, messages_, settings_), SetdirOutcome::Adopted);
    std::filesystem::remove_all(dir);

    fake::Starter starter;
    Launcher launcher(files_, shortPaths_, starter, messages_);
    EXPECT_EQ(launcher.launch(settings_, {temp_.file("t.spc"), settings_.playerPath(), "", false}),
              LaunchOutcome::ConfigNotWritten);
    expectTold(dir + "SPCPLAY.CFG");
    EXPECT_TRUE(starter.started.empty());
    EXPECT_FALSE(std::filesystem::exists(dir));
    // The adopted settings are kept for when the directory is back.
    EXPECT_EQ(settings_.playerDirectory(), dir);
}

TEST_F(HostileLaunch, PlayerReplacedByADirectoryOrALinkToAHugeFile) {
    const test::Deadline deadline(30); // the size is asked, the file never read
    const std::string dir = temp_.dir() + "player/";
    std::filesystem::create_directory(dir);
    const std::string exe = dir + "SPCPLAY.EXE";
    std::filesystem::resize_file(temp_.file("player/SPCPLAY.EXE"), kPlayerExeSize);
    ASSERT_EQ(setdir(dir, files_, messages_, settings_), SetdirOutcome::Adopted);
    const PlayerSettings adopted = settings_;

    std::filesystem::remove(exe);
    std::filesystem::create_directory(exe);
    EXPECT_EQ(launch(temp_.file("t.spc"), "", false, settings_.playerPath()),
              LaunchOutcome::StartFailed);
    expectTold("Could not start the player \"" + exe + "\"");
    PlayerSettings other;
    EXPECT_EQ(setdir(dir, files_, messages_, other), SetdirOutcome::NotFound);
    expectTold("SPCPLAY.EXE not found!");
    EXPECT_TRUE(other.playerDirectory().empty());

    std::filesystem::remove(exe);
    const std::string huge = temp_.dir() + "huge";
    ::close(::open(huge.c_str(), O_WRONLY | O_CREAT, 0644));
    std::filesystem::resize_file(huge, 8ull << 30); // sparse: takes no room
    std::filesystem::create_symlink(huge, exe);
    EXPECT_EQ(setdir(dir, files_, messages_, other), SetdirOutcome::WrongVersion);
    expectTold("This version of SPCPlay is not .650.");
    EXPECT_TRUE(other.playerDirectory().empty());
    EXPECT_EQ(settings_.playerPath(), adopted.playerPath());
}

TEST_F(HostileLaunch, TwentyLaunchesOfAPlayerThatExitsAtOnce) {
    // Without its output variable the stand-in exits at once with a failure.
    ::unsetenv("KAVO_ARGV_DUMP_OUT");
    const std::string spc = temp_.file("track.spc");
    const int descriptors = test::openDescriptors();
    std::string firstConfig;
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(launch(spc, temp_.dir() + "out.wav"), LaunchOutcome::Started) << i;
        if (i == 0)
            firstConfig = config();
        EXPECT_EQ(config(), firstConfig) << i;
    }
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(test::openDescriptors(), descriptors);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(test::zombieChildren());
    EXPECT_EQ(firstConfig.size(), 390u);
}

} // namespace
} // namespace kavo
