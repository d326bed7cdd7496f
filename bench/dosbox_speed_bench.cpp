// How fast a DOS program runs inside DOSBox under this program's configuration, against DOSBox
// with its defaults, and what DOSBox costs the host meanwhile. The program is the tests' tone
// program (tests/dosbox/tone.asm): it counts loop iterations over a second of BIOS ticks after
// a warm-up, writes the count to SPEED.TXT, then plays a two-second tone.
#include "bench_support.h"
#include "bench_table.h"
#include "launch/dos_machine.h"

#include <benchmark/benchmark.h>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace kavo::bench {

namespace {

namespace fs = std::filesystem;

struct Run {
    double iterationsPerSecond = 0;
    double cpuShare = 0; // host CPU time over wall time, one core = 1
};

// DOSBox runs the tone program from a directory laid out as the starter lays out its stage
// (C the player directory, Y the marker drive), with the configuration given.
std::optional<Run> runTone(const std::string& name, bool ours) {
    const fs::path stage = fs::path(scratchDirectory()) / name;
    fs::create_directories(stage / "C");
    fs::create_directories(stage / std::string{dos::kMarkerDrive});
    fs::copy_file(KAVO_BENCH_DOS_TONE, stage / "C" / "TONE.EXE",
                  fs::copy_options::overwrite_existing);
    const std::string config =
        ours ? dos::config(stage.string(), {}, "C:\\TONE.EXE")
             : "[autoexec]\nmount c " + (stage / "C").string() + "\nc:\nTONE.EXE\nexit\n";
    std::ofstream(stage / "dosbox.conf") << config;

    std::vector<std::string> words{"dosbox", "-conf", (stage / "dosbox.conf").string()};
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry)
        env.emplace_back(*entry);
    for (const char* set : {"SDL_AUDIODRIVER=dummy", "SDL_VIDEODRIVER=x11"})
        env.emplace_back(set);
    env.push_back("DISPLAY=" + benchDisplay());
    std::vector<char*> argv;
    std::vector<char*> envp;
    for (std::string& word : words)
        argv.push_back(word.data());
    for (std::string& entry : env)
        envp.push_back(entry.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    const std::int64_t start = monotonicNanoseconds();
    pid_t pid = 0;
    if (::posix_spawnp(&pid, "dosbox", nullptr, nullptr, argv.data(), envp.data()) != 0)
        return std::nullopt;
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    const double wall = static_cast<double>(monotonicNanoseconds() - start) / 1e9;
    const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::ifstream in(stage / "C" / "SPEED.TXT");
    const std::string count((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    fs::remove(stage / "C" / "SPEED.TXT");
    if (count.size() < 8)
        return std::nullopt;
    return Run{static_cast<double>(std::stoul(count.substr(0, 8), nullptr, 16)), cpu / wall};
}

void speed(benchmark::State& state, bool ours) {
    if (benchDisplay().empty()) {
        state.SkipWithError("no X display (KAVO_BENCH_DISPLAY)");
        return;
    }
    for ([[maybe_unused]] auto _ : state) {
        const auto run = runTone(ours ? "speed-kavofe" : "speed-bare", ours);
        if (!run) {
            state.SkipWithError("dosbox did not run the tone program");
            break;
        }
        state.counters["iterations_per_s"] = run->iterationsPerSecond / 1e6;
        state.counters["cpu_percent"] = run->cpuShare * 100;
    }
}

} // namespace

void registerDosboxSpeed() {
    // One DOSBox run of about five seconds per iteration.
    benchmark::RegisterBenchmark("dosbox/bare_speed", speed, false)->Iterations(1);
    benchmark::RegisterBenchmark("dosbox/kavofe_speed", speed, true)->Iterations(1);
    addComparison({"DOSBox: DOS program's speed, loop iterations a second", "dosbox/kavofe_speed",
                   "dosbox/bare_speed", "iterations_per_s", "M", "at least 20"});
    addComparison({"DOSBox: host CPU while the DOS program runs (its whole run)",
                   "dosbox/kavofe_speed", "dosbox/bare_speed", "cpu_percent", "%", ""});
}

} // namespace kavo::bench
