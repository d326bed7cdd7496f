#pragma once
// What the benchmarks share: a scratch directory, the clock, child processes.

#include <cstdint>
#include <string>
#include <vector>

namespace kavo::bench {

// A fresh directory under the temporary directory, removed with everything in it at exit.
const std::string& scratchDirectory();

// The X display the benchmarks draw on: KAVO_BENCH_DISPLAY, else KAVO_TEST_DISPLAY, else
// DISPLAY; "" when none is set.
std::string benchDisplay();

// CLOCK_MONOTONIC in nanoseconds: one clock for this process and its children.
std::int64_t monotonicNanoseconds();

struct Child {
    int pid = -1;
    int output = -1; // the child's standard output
};

// Starts program with arguments and extra "NAME=value" environment entries (an entry "NAME"
// alone removes it); its standard output comes back through a pipe.
Child spawn(const std::string& program, const std::vector<std::string>& arguments,
            const std::vector<std::string>& environment = {});

// The next line of the child's output without its line end, or "" at its end or after the
// timeout.
std::string readLine(int fd, int timeoutMilliseconds = 20000);

// Waits for the child; its peak resident memory in KiB (0 when unknown).
long reap(Child& child);

} // namespace kavo::bench
