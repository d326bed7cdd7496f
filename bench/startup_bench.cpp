// Start-up, from the process start to its window first shown, and the peak resident memory of
// the idle program, each against a bare Qt program that shows an empty QMainWindow.
#include "bench_support.h"
#include "bench_table.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>

namespace kavo::bench {

namespace {

// The display of the X measurements, if any.
std::string display() {
    for (const char* name : {"KAVO_BENCH_DISPLAY", "KAVO_TEST_DISPLAY", "DISPLAY"})
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0')
            return value;
    return {};
}

std::vector<std::string> environmentFor(const std::string& platform) {
    const std::string config = scratchDirectory() + "config";
    std::filesystem::create_directories(config);
    std::vector<std::string> env{"QT_QPA_PLATFORM=" + platform, "XDG_CONFIG_HOME=" + config};
    if (platform == "xcb")
        env.push_back("DISPLAY=" + display());
    return env;
}

void startup(benchmark::State& state, const std::string& program, const std::string& platform) {
    const std::vector<std::string> env = environmentFor(platform);
    for (auto _ : state) {
        const std::int64_t start = monotonicNanoseconds();
        Child child = spawn(program, {"--idle-ms=0"}, env);
        long long shown = 0;
        const std::string line = readLine(child.output);
        reap(child);
        if (std::sscanf(line.c_str(), "shown %lld", &shown) != 1) {
            state.SkipWithError(("no window was shown by " + program).c_str());
            break;
        }
        state.SetIterationTime(static_cast<double>(shown - start) * 1e-9);
    }
}

void memory(benchmark::State& state, const std::string& program, const std::string& platform) {
    const std::vector<std::string> env = environmentFor(platform);
    double peak = 0;
    for (auto _ : state) {
        Child child = spawn(program, {"--idle-ms=500"}, env);
        const std::string line = readLine(child.output);
        peak = static_cast<double>(reap(child));
        if (line.rfind("shown ", 0) != 0) {
            state.SkipWithError(("no window was shown by " + program).c_str());
            break;
        }
    }
    state.counters["peak_rss_KiB"] = peak;
}

void addPair(const std::string& group, const std::string& measure, const std::string& platform,
             bool timed) {
    auto add = [&](const std::string& name, const char* program) {
        auto* registered = timed ? benchmark::RegisterBenchmark(name.c_str(), startup,
                                                                std::string(program), platform)
                                 : benchmark::RegisterBenchmark(name.c_str(), memory,
                                                                std::string(program), platform);
        registered->Unit(benchmark::kMillisecond);
        if (timed)
            registered->UseManualTime();
        else
            registered->Iterations(1);
    };
    add(group + "/bare_qt", KAVO_BENCH_BARE_QT);
    add(group + "/kavofe", KAVO_BENCH_KAVOFE);
    addComparison({measure, group + "/kavofe", group + "/bare_qt", timed ? "" : "peak_rss_KiB",
                   timed ? "ms" : "MiB", timed ? "at most 1.2" : ""});
}

} // namespace

void registerStartup() {
    addPair("startup_offscreen", "Start-up to window shown, offscreen", "offscreen", true);
    if (!display().empty())
        addPair("startup_xvfb", "Start-up to window shown, Xvfb", "xcb", true);
    addPair("memory_offscreen", "Peak resident memory, idle, offscreen", "offscreen", false);
    if (!display().empty())
        addPair("memory_xvfb", "Peak resident memory, idle, Xvfb", "xcb", false);
}

} // namespace kavo::bench
