// The SPC file picker opening a directory with the "*.SPC" filter against a bare
// std::filesystem scan with the same case-insensitive filter.
#include "bench_support.h"
#include "bench_table.h"
#include "picker/check_filter.h"
#include "picker/picker_lists.h"
#include "picker/std_directory_source.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace kavo::bench {

namespace {

constexpr int kSizes[] = {1000, 10000, 100000};

// A directory of count files, a quarter each "*.SPC", "*.spc", "*.txt" and "*.zst".
std::string directoryOf(int count) {
    const std::string dir = scratchDirectory() + "files" + std::to_string(count) + "/";
    if (std::filesystem::exists(dir))
        return dir;
    std::filesystem::create_directories(dir);
    const char* extensions[] = {".SPC", ".spc", ".txt", ".zst"};
    for (int i = 0; i < count; ++i) {
        const std::string name = dir + "track" + std::to_string(i) + extensions[i % 4];
        ::close(::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    }
    return dir;
}

bool endsWithSpc(const std::string& name) {
    if (name.size() < 4)
        return false;
    const char* tail = name.c_str() + name.size() - 4;
    return tail[0] == '.' && (tail[1] | 0x20) == 's' && (tail[2] | 0x20) == 'p' &&
           (tail[3] | 0x20) == 'c';
}

void bareScan(benchmark::State& state, int count) {
    const std::string dir = directoryOf(count);
    for (auto _ : state) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            std::string name = entry.path().filename().string();
            if (entry.is_regular_file() && endsWithSpc(name))
                names.push_back(std::move(name));
        }
        benchmark::DoNotOptimize(names.data());
    }
}

void pickerListing(benchmark::State& state, int count) {
    const std::string dir = directoryOf(count);
    StdDirectorySource source(scratchDirectory(), {});
    PickerLists lists(source);
    for (auto _ : state) {
        if (!lists.setPath(dir)) {
            state.SkipWithError("the directory could not be listed");
            break;
        }
        const std::vector<std::string> names = lists.files(kSpcPattern);
        benchmark::DoNotOptimize(names.data());
    }
}

} // namespace

void registerPicker() {
    for (int size : kSizes) {
        // Built up step by step: GCC 12 warns falsely about "/" + std::to_string(size).
        std::string suffix = "/";
        suffix += std::to_string(size);
        benchmark::RegisterBenchmark(("picker/bare_filesystem_scan" + suffix).c_str(), bareScan,
                                     size)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("picker/kavofe" + suffix).c_str(), pickerListing, size)
            ->Unit(benchmark::kMillisecond);
        addComparison({"Picker listing, " + std::to_string(size) + " files, \"*.SPC\"",
                       "picker/kavofe" + suffix, "picker/bare_filesystem_scan" + suffix, "", "ms",
                       "at most 2, linear"});
    }
}

} // namespace kavo::bench
