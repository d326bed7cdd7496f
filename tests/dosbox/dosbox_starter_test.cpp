// The DOSBox starter with the real DOSBox and the DOS probe; the real-window run plays it.
#include "fakes/fakes.h"
#include "launch/launcher.h"
#include "platform/posix/dosbox_starter.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_process_starter.h"
#include "platform/posix/posix_short_path.h"
#include "temp_dir.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/file.h>

namespace kavo {
namespace {

namespace fs = std::filesystem;

// The one DOSBox run the test waits for: the descriptor that ends with it.
struct Watcher : FdWatcher {
    void watch(int fd, std::function<void()> onReady) override {
        watched = fd, ended = std::move(onReady);
    }
    void unwatch(int /*fd*/) override { watched = -1; }
    int watched = -1;
    std::function<void()> ended;
};

// Stale staging directories of ours are swept, nothing else; start failures are told, also
// those DOSBox shows only when it ends.
TEST(DosboxStarter, SweepsStaleStagesAndTellsStartFailures) {
    test::TempDir root;
    const std::string base = root.mkdir("run");
    // Only stale stages of ours go: not one its DOSBox still locks, one a second copy of the
    // program may be filling now, one without the runner's files, nor one of another name.
    const std::string stages[] = {"kavofe-dosbox-aB3xy9", "kavofe-dosbox-Live01",
                                  "kavofe-dosbox-young1", "kavofe-dosbox-nocfg1",
                                  "kavofe-dosbox-x-mine", "other"}; // the first alone goes
    for (const std::string& name : stages) {
        root.file("run/" + name + "/lock");
        root.file("run/" + name + (name != stages[3] ? "/dosbox.conf" : "/other"));
        if (name != stages[2])
            fs::last_write_time(base + "/" + name,
                                fs::file_time_type::clock::now() - std::chrono::minutes(2));
    }
    const int held = ::open((base + "/" + stages[1] + "/lock").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    PosixProcessStarter native;
    fake::Messages messages;
    Watcher watcher;
    DosboxStarter starter(native, watcher, messages, base);
    ::close(held);
    for (const std::string& name : stages)
        EXPECT_EQ(fs::remove_all(base + "/" + name) > 0, name != stages[0]) << name;

    const std::string player = root.mkdir("p") + "/SPCPLAY.EXE";
    fs::copy_file(KAVO_DOS_PROBE_EXE, player);
    EXPECT_EQ(starter.shortPathsFor(root.file("script", "#!/bin/sh\n")), nullptr);
    EXPECT_EQ(starter.shortPathsFor(root.dir() + "missing.exe"), nullptr);
    PosixFileSystem files;
    PosixShortPath shortPaths;
    Launcher launcher(files, shortPaths, starter, messages);
    PlayerSettings settings;
    settings.adopt(root.dir() + "p/", player);
    auto launch = [&](const std::string& program, const std::string& wav = "") {
        return launcher.launch(settings, {root.file("a.spc", "x"), program, wav, !wav.empty()});
    };
    auto waitForEnd = [&] { // for 30 seconds at most
        pollfd ending{watcher.watched, POLLIN, 0};
        ASSERT_EQ(::poll(&ending, 1, 30000), 1);
        watcher.ended();
    };
    // NOLINTBEGIN(concurrency-mt-unsafe): one thread
    const std::string path = std::getenv("PATH");
    ::setenv("PATH", root.dir().c_str(), 1);
    EXPECT_EQ(launch(player), LaunchOutcome::StartFailed);
    ::setenv("PATH", path.c_str(), 1);
    EXPECT_NE(messages.shown.at(0).text.find("sudo apt install dosbox"), std::string::npos);

    // While the player records, a second launch into the same file (here through a link) is
    // refused and truncates nothing; the running DOSBox is the one the panel's keys go to. It
    // gets no descriptor we left open (a parent's pipe would wait for it to end).
    const char* display = std::getenv("KAVO_TEST_DISPLAY");
    ASSERT_TRUE(display && *display) << "no test display";
    ::setenv("DISPLAY", display, 1), ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    const std::string wav = root.file("out.wav", "RIFF");
    fs::create_symlink(wav, root.dir() + "link.wav");
    ASSERT_EQ(::dup2(0, 200), 200);
    ASSERT_EQ(launch(player, wav), LaunchOutcome::Started);
    const auto dosbox = starter.newestDosMachine();
    ASSERT_TRUE(dosbox);
    EXPECT_FALSE(fs::exists("/proc/" + std::to_string(*dosbox) + "/fd/200"));
    ::close(200);
    for (int i = 0; i < 300 && test::readAll(wav) != "RIFFPROBEWAV"; ++i)
        ::usleep(100000);
    EXPECT_EQ(launch(player, root.dir() + "link.wav"), LaunchOutcome::StartFailed);
    EXPECT_TRUE(messages.shown.at(1).text.starts_with("The WAV file \"" + root.dir() +
                                                      "link.wav\" is still being recorded"));
    EXPECT_EQ(starter.running(), 1u);
    ASSERT_EQ(::kill(static_cast<pid_t>(*dosbox), SIGTERM), 0);
    waitForEnd();
    EXPECT_EQ(test::readAll(wav), "RIFFPROBEWAV");

    // A drive that cannot be mounted (the player directory gone as DOSBox starts): the player
    // never ran, and the user is told so, in DOSBox's words.
    EXPECT_EQ(launch(player), LaunchOutcome::Started);
    fs::rename(root.dir() + "p", root.dir() + "q");
    waitForEnd();
    fs::rename(root.dir() + "q", root.dir() + "p");
    EXPECT_TRUE(messages.shown.at(2).text.starts_with(
        "DOSBox ended before it started the player. DOSBox said: Directory "));

    ::setenv("DISPLAY", ":9999", 1); // DOSBox starts, cannot open it and ends, saying why
    // NOLINTEND(concurrency-mt-unsafe)
    EXPECT_EQ(launch(player), LaunchOutcome::Started);
    waitForEnd();
    EXPECT_TRUE(messages.shown.size() == 4 && starter.running() == 0 && fs::is_empty(base));
    EXPECT_TRUE(messages.shown.at(3).text.starts_with("DOSBox could not run the player: Can't"));

    // A player whose name DOS cannot spell is refused before anything is staged (the core pins
    // the message).
    fs::rename(player, root.dir() + "p/spc player.exe");
    EXPECT_EQ(launch(root.dir() + "p/spc player.exe"), LaunchOutcome::StartFailed);
    EXPECT_NE(messages.shown.back().text.find("not a DOS file name"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(base));
}

} // namespace
} // namespace kavo
