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
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <poll.h>
#include <sys/file.h>

namespace kavo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class PollWatcher : public FdWatcher {
public:
    void watch(int fd, std::function<void()> onReady) override {
        watched_[fd] = std::move(onReady);
    }
    void unwatch(int fd) override { watched_.erase(fd); }
    bool runUntil(const std::function<bool()>& done, std::chrono::seconds timeout) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::vector<pollfd> fds;
            for (const auto& [fd, ready] : watched_)
                fds.push_back({fd, POLLIN, 0});
            ::poll(fds.data(), fds.size(), 50);
            for (const pollfd& p : fds)
                if (p.revents != 0 && watched_.contains(p.fd)) {
                    const auto ready = watched_[p.fd]; // the callback may unwatch itself
                    ready();
                }
        }
        return true;
    }

private:
    std::map<int, std::function<void()>> watched_;
};

struct DosboxTest : ::testing::Test {
    test::TempDir root;
    std::string base = root.dir() + "run";
    PosixFileSystem files;
    PosixShortPath shortPaths;
    PosixProcessStarter native;
    PollWatcher watcher;
    fake::Messages messages;

    void SetUp() override {
        const char* display = std::getenv("KAVO_TEST_DISPLAY");
        ASSERT_TRUE(display && *display) << "run through test.sh, which starts a private Xvfb";
        ::setenv("DISPLAY", display, 1);
        ::setenv("SDL_AUDIODRIVER", "dummy", 1); // only tests silence DOSBox
        fs::create_directory(base);
    }
    // DOSBox runs until the probe reads q; the tests end it as a user closing its window would.
    void TearDown() override { stopDosboxes(); }
    void stopDosboxes() {
        for (const auto& entry : fs::directory_iterator("/proc")) {
            if (test::readAll(entry.path() / "cmdline").find(base + "/") != std::string::npos)
                ::kill(std::stoi(entry.path().filename()), SIGTERM);
        }
    }
    // A player directory holding the probe, and settings that adopted it.
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
    bool stageEmpty() { return fs::is_empty(base); }
};

TEST_F(DosboxTest, HostileNamesPlayUnderNamesOfOurOwn) {
    DosboxStarter starter(native, watcher, messages, base);
    Launcher launcher(files, shortPaths, starter, messages);
    const std::pair<std::string, std::string> cases[] = {
        {"x.spc\" & mount c \\ & y", "X.SPC"},
        {"%PATH%.spc", "PATH.SPC"},
        {"CON.SPC", "CON_.SPC"}, // a device to DOS
    };
    const std::string music = root.dir() + "Music %PATH% \"x\"; y";
    fs::create_directory(music);
    std::vector<std::string> players;
    for (const auto& [name, dosName] : cases) {
        players.push_back(root.dir() + "Player " + std::to_string(players.size()) + " \"a\"; 50%");
        PlayerSettings settings = playerIn(players.back());
        const std::string spc = music + "/" + name;
        std::ofstream(spc, std::ios::binary) << dosName << "-bytes";
        ASSERT_EQ(launcher.launch(settings, {spc, settings.playerPath(), "", false}),
                  LaunchOutcome::Started)
            << name;
    }
    auto allReady = [&] {
        return std::ranges::all_of(players, [&](const std::string& dir) {
            return probeLog(dir).find("READY\n") != std::string::npos;
        });
    };
    ASSERT_TRUE(watcher.runUntil(allReady, 60s));
    for (std::size_t i = 0; i < players.size(); ++i) {
        const std::string log = probeLog(players[i]);
        const std::string dosName = cases[i].second;
        EXPECT_NE(log.find("TAIL: D:\\" + dosName + "\n"), std::string::npos) << log;
        std::string hex;
        for (unsigned char c : (dosName + "-bytes").substr(0, 8))
            hex += "0123456789ABCDEF"[c >> 4], hex += "0123456789ABCDEF"[c & 15];
        EXPECT_NE(log.find("SPC:" + hex + "\n"), std::string::npos) << log;
        EXPECT_NE(log.find("Volume = 75\n"), std::string::npos) << log;
    }
    stopDosboxes();
    EXPECT_TRUE(watcher.runUntil([&] { return starter.running() == 0; }, 20s));
    EXPECT_TRUE(stageEmpty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DosboxTest, StartFailuresAreTold) {
    DosboxStarter starter(native, watcher, messages, base);
    Launcher launcher(files, shortPaths, starter, messages);
    PlayerSettings settings = playerIn(root.dir() + "player");
    const std::string spc = root.file("a.spc", "x");
    const std::string path = std::getenv("PATH");

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
    ASSERT_TRUE(watcher.runUntil([&] { return messages.shown.size() == 2; }, 30s));
    EXPECT_EQ(messages.shown[1].text.find("DOSBox could not run the player: Can't init SDL"), 0u)
        << messages.shown[1].text;
    EXPECT_EQ(starter.running(), 0u);
    EXPECT_TRUE(stageEmpty());

    // A player whose name DOS cannot spell is refused before anything is staged.
    fs::rename(settings.playerPath(), root.dir() + "player/spc player.exe");
    const std::string odd = root.dir() + "player/spc player.exe";
    EXPECT_EQ(launcher.launch(settings, {spc, odd, "", false}), LaunchOutcome::StartFailed);
    EXPECT_NE(messages.shown.back().text.find("not a DOS file name"), std::string::npos);
    EXPECT_TRUE(stageEmpty());
}

TEST_F(DosboxTest, OnlyDosProgramsAndOnlyStaleStagesAreTakenCareOf) {
    const fs::path stale = base + "/kavofe-dosbox-stale";
    const fs::path live = base + "/kavofe-dosbox-live";
    const fs::path foreign = base + "/other";
    for (const fs::path& dir : {stale, live, foreign})
        fs::create_directories(dir / "C");
    for (const fs::path& dir : {stale, live})
        std::ofstream(dir / "lock");
    const int held = ::open((live / "lock").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    DosboxStarter starter(native, watcher, messages, base);
    ::close(held);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(live));
    EXPECT_TRUE(fs::exists(foreign));

    EXPECT_NE(starter.shortPathsFor(playerIn(root.dir() + "p").playerPath()), nullptr);
    EXPECT_EQ(starter.shortPathsFor(root.file("script", "#!/bin/sh\n")), nullptr);
    EXPECT_EQ(starter.shortPathsFor(root.dir() + "missing.exe"), nullptr);
}

} // namespace
} // namespace kavo
