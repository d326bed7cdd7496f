// "&Launch" from the click to the player started (configuration file written, short paths
// taken, WAV file opened) against a bare posix_spawn of the same player.
#include "bench_support.h"
#include "bench_table.h"
#include "common/message_sink.h"
#include "launch/launcher.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_process_starter.h"
#include "platform/posix/posix_short_path.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>

extern char** environ;

namespace kavo::bench {

namespace {

class NoMessages : public MessageSink {
public:
    void show(std::string_view, std::string_view, MessageIcon) override { ++shown; }
    int shown = 0;
};

// The player must end by itself: without a display the stand-in exits at once.
class NoDisplay {
public:
    NoDisplay() {
        if (const char* display = std::getenv("DISPLAY"))
            saved_ = display;
        ::unsetenv("DISPLAY");
    }
    NoDisplay(const NoDisplay&) = delete;
    NoDisplay& operator=(const NoDisplay&) = delete;
    ~NoDisplay() {
        if (!saved_.empty())
            ::setenv("DISPLAY", saved_.c_str(), 1);
    }

private:
    std::string saved_;
};

void bareSpawn(benchmark::State& state) {
    const NoDisplay noDisplay;
    std::string program = KAVO_BENCH_PLAYER;
    char* argv[] = {program.data(), nullptr};
    for (auto _ : state) {
        pid_t pid = -1;
        if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
            state.SkipWithError("posix_spawn failed");
            break;
        }
        state.PauseTiming();
        ::waitpid(pid, nullptr, 0);
        state.ResumeTiming();
    }
}

// The launcher lets go of the player at once; taking it in as its subreaper lets the benchmark
// wait for each player to end outside the timing, as the bare spawn does.
class Subreaper {
public:
    Subreaper() { ::prctl(PR_SET_CHILD_SUBREAPER, 1); }
    Subreaper(const Subreaper&) = delete;
    Subreaper& operator=(const Subreaper&) = delete;
    ~Subreaper() { ::prctl(PR_SET_CHILD_SUBREAPER, 0); }
};

void launch(benchmark::State& state) {
    const NoDisplay noDisplay;
    const Subreaper subreaper;
    const std::string dir = scratchDirectory() + "launch/";
    std::filesystem::create_directories(dir);
    const std::string spc = dir + "Track One.spc";
    std::ofstream(spc) << "spc";
    PosixFileSystem files;
    PosixShortPath shortPaths;
    PosixProcessStarter starter;
    NoMessages messages;
    PlayerSettings settings;
    settings.adopt(dir, dir + "SPCPLAY.EXE");
    Launcher launcher(files, shortPaths, starter, messages);
    const LaunchRequest request{spc, KAVO_BENCH_PLAYER, dir + "out.wav", true};
    for (auto _ : state) {
        if (launcher.launch(settings, request) != LaunchOutcome::Started) {
            state.SkipWithError("the launch did not start the player");
            break;
        }
        state.PauseTiming();
        ::waitpid(-1, nullptr, 0);
        state.ResumeTiming();
    }
}

} // namespace

void registerLaunch() {
    // A fixed count: the players are waited for outside the timing, so a timed minimum would
    // take many times longer than it says.
    benchmark::RegisterBenchmark("launch/bare_posix_spawn", bareSpawn)
        ->Iterations(200)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("launch/kavofe", launch)
        ->Iterations(200)
        ->Unit(benchmark::kMillisecond);
    addComparison({"Launch: click to player started", "launch/kavofe", "launch/bare_posix_spawn",
                   "", "ms", "at most 1.5"});
}

} // namespace kavo::bench
