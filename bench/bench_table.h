#pragma once
// Pairs of benchmarks, each measured against a bare baseline in the same run, and the table
// of their ratios.

#include <string>

namespace kavo::bench {

struct Comparison {
    std::string measure;  // what the row shows
    std::string subject;  // benchmark name of the program's own way
    std::string baseline; // benchmark name of the bare way
    std::string counter;  // "" compares the real time per iteration, else this counter
    std::string unit;     // how the values are shown: "ms", "us", "MiB"
    std::string target;   // the ratio aimed at, "" for none
};

void addComparison(Comparison comparison);

// Registration of each group of benchmarks.
void registerLaunch();
void registerPicker();
void registerStartup();
void registerRemote();
void registerDosbox();
void registerDosboxSpeed();

} // namespace kavo::bench
