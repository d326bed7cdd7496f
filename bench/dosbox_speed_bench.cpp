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
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace kavo::bench {

namespace {

namespace fs = std::filesystem;

struct Run {
    double iterationsPerSecond = 0;
    double cpuShare = 0; // host CPU time over wall time while it counts, one core = 1
};

// User and system time of a running process so far.
double cpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream fields(stat.substr(stat.rfind(')') + 2)); // from the third field on
    std::string field;
    double ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
        if (i >= 14)
            ticks += std::stod(field);
    return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

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

    pid_t pid = 0;
    if (::posix_spawnp(&pid, "dosbox", nullptr, nullptr, argv.data(), envp.data()) != 0)
        return std::nullopt;
    // The CPU share over the counting second, which ends as SPEED.TXT appears: work that
    // keeps the emulated processor busy, as the player's sound emulation does. (While the tone
    // plays, the Sound Blaster's port writes stand for emulated time that costs the host little.)
    std::vector<std::pair<double, double>> samples; // wall and CPU seconds since the start
    const std::int64_t start = monotonicNanoseconds();
    while (!fs::exists(stage / "C" / "SPEED.TXT") && samples.size() < 6000) {
        samples.emplace_back(static_cast<double>(monotonicNanoseconds() - start) / 1e9,
                             cpuSeconds(pid));
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    double share = 0;
    for (std::size_t i = samples.size(); i-- > 0 && !samples.empty();)
        if (samples.back().first - samples[i].first >= 1.0) {
            share = (samples.back().second - samples[i].second) /
                    (samples.back().first - samples[i].first);
            break;
        }
    std::ifstream in(stage / "C" / "SPEED.TXT");
    const std::string count((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    fs::remove(stage / "C" / "SPEED.TXT");
    if (count.size() < 8)
        return std::nullopt;
    return Run{static_cast<double>(std::stoul(count.substr(0, 8), nullptr, 16)), share};
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
    addComparison({"DOSBox: host CPU while the DOS program computes, one core = 100",
                   "dosbox/kavofe_speed", "dosbox/bare_speed", "cpu_percent", "%", ""});
}

} // namespace kavo::bench
