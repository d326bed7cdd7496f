// The DOSBox starter against the real DOSBox and the DOS probe on the test display.
#include "fakes/fakes.h"
#include "launch/launcher.h"
#include "platform/posix/dosbox_starter.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_process_starter.h"
#include "platform/posix/posix_short_path.h"
#include "temp_dir.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <map>
#include <poll.h>
#include <sys/file.h>

namespace kavo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct DosboxTest : ::testing::Test, FdWatcher {
    void SetUp() override {
        const char* display = std::getenv("KAVO_TEST_DISPLAY"); // NOLINT(concurrency-mt-unsafe)
        ASSERT_TRUE(display && *display) << "run through test.sh, which starts a private Xvfb";
        ::setenv("DISPLAY", display, 1);
        ::setenv("SDL_AUDIODRIVER", "dummy", 1); // only tests silence DOSBox
        fs::create_directory(base);
    }
    // DOSBox runs until the probe reads q; the tests end it as a user closing its window would.
    void TearDown() override { stopDosboxes(); }
    void stopDosboxes() {
        for (const auto& entry : fs::directory_iterator("/proc"))
            if (test::readAll(entry.path() / "cmdline").find(base + "/") != std::string::npos)
                ::kill(std::stoi(entry.path().filename()), SIGTERM);
    }
    void watch(int fd, std::function<void()> onReady) override { watched[fd] = std::move(onReady); }
    void unwatch(int fd) override { watched.erase(fd); }
    // Calls back for the descriptors that are ready until done() holds.
    bool runUntil(const std::function<bool()>& done, std::chrono::seconds timeout) {
        for (const auto end = std::chrono::steady_clock::now() + timeout; !done();) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::vector<pollfd> fds;
            for (const auto& entry : watched)
                fds.push_back({entry.first, POLLIN, 0});
            ::poll(fds.data(), fds.size(), 50);
            for (const pollfd& p : fds)
                if (p.revents != 0 && watched.contains(p.fd)) {
                    const auto ready = watched[p.fd]; // a copy: it may unwatch itself
                    ready();
                }
        }
        return true;
    }
    // The probe in a player directory, and settings that adopted it.
    PlayerSettings playerIn(const std::string& dir) {
        fs::create_directories(dir);
        fs::copy_file(KAVO_DOS_PROBE_EXE, dir + "/SPCPLAY.EXE");
        PlayerSettings settings;
        settings.adopt(dir + "/", dir + "/SPCPLAY.EXE");
        return settings;
    }
    std::string probeLog(const std::string& dir) {
        std::string log = test::readAll(dir + "/PROBE.LOG");
        std::erase(log, '\r');
        return log;
    }

    test::TempDir root;
    std::string base = root.dir() + "run";
    std::map<int, std::function<void()>> watched;
    PosixFileSystem files;
    PosixShortPath shortPaths;
    PosixProcessStarter native;
    fake::Messages messages;
};

// Names DOSBox's command parser would act on, and a DOS device name, behind names of ours.
TEST_F(DosboxTest, HostileNamesPlayUnderNamesOfOurOwn) {
    DosboxStarter starter(native, *this, messages, base);
    Launcher launcher(files, shortPaths, starter, messages);
    const std::string music = root.dir() + "Music %PATH% \"x\"; y/";
    const std::pair<std::string, std::string> cases[] = {{"x.spc\" & mount c \\ & y", "X.SPC"},
                                                         {"CON.SPC", "CON_.SPC"}};
    std::vector<std::string> players;
    for (const auto& [name, dosName] : cases) {
        players.push_back(root.dir() + "Player \"a\"; 50% " + dosName);
        PlayerSettings settings = playerIn(players.back());
        std::ofstream(root.file("Music %PATH% \"x\"; y/" + name)) << "SNES-SPC700";
        ASSERT_EQ(launcher.launch(settings, {music + name, settings.playerPath(), "", false}),
                  LaunchOutcome::Started);
    }
    ASSERT_TRUE(runUntil(
        [&] {
            return std::ranges::all_of(players, [&](const std::string& dir) {
                return probeLog(dir).find("READY\n") != std::string::npos;
            });
        },
        60s));
    for (std::size_t i = 0; i < players.size(); ++i)
        for (const std::string& line :
             {"TAIL: D:\\" + cases[i].second, std::string("SPC:534E45532D535043"), // SNES-SPC
              std::string("Volume = 75")})
            EXPECT_NE(probeLog(players[i]).find(line + "\n"), std::string::npos) << line;
    stopDosboxes();
    EXPECT_TRUE(runUntil([&] { return starter.running() == 0; }, 20s));
    EXPECT_TRUE(fs::is_empty(base));
    EXPECT_TRUE(messages.shown.empty());
}

// Only stale staging directories of ours are swept; start failures are told.
TEST_F(DosboxTest, SweepsStaleStagesAndTellsStartFailures) {
    const fs::path stale = base + "/kavofe-dosbox-stale";
    const fs::path live = base + "/kavofe-dosbox-live";
    for (const fs::path& dir : {stale, live, fs::path(base + "/other")}) {
        fs::create_directories(dir / "C");
        std::ofstream(dir / "lock");
    }
    const int held = ::open((live / "lock").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    DosboxStarter starter(native, *this, messages, base);
    ::close(held);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(live));
    EXPECT_TRUE(fs::exists(base + "/other"));
    fs::remove_all(live);
    fs::remove_all(base + "/other");

    PlayerSettings settings = playerIn(root.dir() + "player");
    EXPECT_NE(starter.shortPathsFor(settings.playerPath()), nullptr);
    EXPECT_EQ(starter.shortPathsFor(root.file("script", "#!/bin/sh\n")), nullptr);
    EXPECT_EQ(starter.shortPathsFor(root.dir() + "missing.exe"), nullptr);
    Launcher launcher(files, shortPaths, starter, messages);
    const std::string spc = root.file("a.spc", "x");
    const std::string path = std::getenv("PATH"); // NOLINT(concurrency-mt-unsafe)
    ::setenv("PATH", root.dir().c_str(), 1);
    EXPECT_EQ(launcher.launch(settings, {spc, settings.playerPath(), "", false}),
              LaunchOutcome::StartFailed);
    ::setenv("PATH", path.c_str(), 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("sudo apt install dosbox"), std::string::npos);

    // Without a display DOSBox starts and ends at once, saying why; we say it as soon as it ends.
    ::setenv("DISPLAY", ":9999", 1);
    EXPECT_EQ(launcher.launch(settings, {spc, settings.playerPath(), "", false}),
              LaunchOutcome::Started);
    ASSERT_TRUE(runUntil([&] { return messages.shown.size() == 2; }, 30s));
    const std::string& ended = messages.shown[1].text;
    EXPECT_TRUE(ended.starts_with("DOSBox could not run the player: Can't init SDL") &&
                ended.ends_with(".") && starter.running() == 0 && fs::is_empty(base))
        << ended;

    // A player whose name DOS cannot spell is refused before anything is staged.
    const std::string odd = root.dir() + "player/spc player.exe";
    fs::rename(settings.playerPath(), odd);
    EXPECT_EQ(launcher.launch(settings, {spc, odd, "", false}), LaunchOutcome::StartFailed);
    EXPECT_EQ(messages.shown.back().text,
              "Could not start the player \"" + odd +
                  "\".\rThe player's file name is not a DOS file name, so DOSBox cannot start "
                  "it.\rRename it to SPCPLAY.EXE.");
    EXPECT_TRUE(fs::is_empty(base));
}

} // namespace
} // namespace kavo
