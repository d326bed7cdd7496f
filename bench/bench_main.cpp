// Runs every benchmark, then prints each measured against its bare baseline as a table.
#include "bench_support.h"
#include "bench_table.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <fstream>
#include <map>
#include <string_view>
#include <thread>
#include <vector>

namespace kavo::bench {

namespace {

std::vector<Comparison>& comparisons() {
    static std::vector<Comparison> all;
    return all;
}

struct Result {
    double seconds = 0;
    benchmark::UserCounters counters;
};

// Keeps every run's figures while the console shows them as usual.
class Collector : public benchmark::ConsoleReporter {
public:
    explicit Collector(bool color) : ConsoleReporter(color ? OO_Defaults : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred)
                failed.push_back(run.benchmark_name() + ": " + run.error_message);
            // With repetitions the median stands for the benchmark, else its one run does.
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!run.error_occurred && (median || run.run_type == Run::RT_Iteration))
                results[run.run_name.function_name] = {
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit),
                    run.counters};
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, Result> results;
    std::vector<std::string> failed;
};

double scaled(double value, const std::string& unit, bool isTime) {
    if (!isTime)
        return unit == "MiB" ? value / 1024.0 : value;
    return unit == "ms" ? value * 1e3 : unit == "us" ? value * 1e6 : value;
}

// Three significant digits, without an exponent.
std::string figure(double value) {
    char text[32];
    std::snprintf(text, sizeof text, value >= 100 ? "%.0f" : "%.3g", value);
    return text;
}

std::string cpuModel() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    for (std::string line; std::getline(cpuinfo, line);)
        if (line.rfind("model name", 0) == 0)
            return line.substr(line.find(':') + 2);
    return "unknown";
}

void printTable(const Collector& collector) {
    std::printf("\nMachine: %u CPUs (nproc), %s\n\n", std::thread::hardware_concurrency(),
                cpuModel().c_str());
    std::printf("| Measure | KAVOfe | Bare baseline | Ratio | Target |\n");
    std::printf("|---|---:|---:|---:|---|\n");
    for (const Comparison& c : comparisons()) {
        const auto subject = collector.results.find(c.subject);
        const auto baseline = collector.results.find(c.baseline);
        if (subject == collector.results.end() || baseline == collector.results.end()) {
            std::printf("| %s | not measured | | | %s |\n", c.measure.c_str(), c.target.c_str());
            continue;
        }
        auto value = [&c](const Result& r) {
            if (c.counter.empty())
                return scaled(r.seconds, c.unit, true);
            const auto it = r.counters.find(c.counter);
            return it == r.counters.end() ? 0.0 : scaled(it->second.value, c.unit, false);
        };
        const double mine = value(subject->second);
        const double bare = value(baseline->second);
        std::printf("| %s | %s %s | %s %s | %.2f | %s |\n", c.measure.c_str(), figure(mine).c_str(),
                    c.unit.c_str(), figure(bare).c_str(), c.unit.c_str(),
                    bare > 0 ? mine / bare : 0.0, c.target.c_str());
    }
}

} // namespace

void addComparison(Comparison comparison) {
    comparisons().push_back(std::move(comparison));
}

} // namespace kavo::bench

int main(int argc, char** argv) {
    using namespace kavo::bench;
    registerLaunch();
    registerPicker();
#ifdef KAVO_BENCH_HAVE_UI
    registerStartup();
#endif
#ifdef KAVO_BENCH_HAVE_REMOTE
    registerRemote();
#endif
#ifdef KAVO_BENCH_HAVE_DOSBOX
    registerDosbox();
#endif
#ifdef KAVO_BENCH_HAVE_DOSBOX_SPEED
    registerDosboxSpeed();
#endif
    bool color = true;
    for (int i = 1; i < argc; ++i)
        color &= std::string_view(argv[i]) != "--benchmark_color=false";
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Collector collector(color);
    benchmark::RunSpecifiedBenchmarks(&collector);
    printTable(collector);
    benchmark::Shutdown();
    // Slow figures never fail; a benchmark that could not measure at all does.
    for (const std::string& failure : collector.failed)
        std::fprintf(stderr, "benchmark failed: %s\n", failure.c_str());
    return collector.failed.empty() ? 0 : 1;
}
