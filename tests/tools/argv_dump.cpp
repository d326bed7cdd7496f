// Started by the process-start tests: writes its argument vector, NUL-separated as the kernel
// keeps it, to the file KAVO_ARGV_DUMP_OUT names, under a temporary name first so that readers
// never see a partial file.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main() {
    const std::string out = std::getenv("KAVO_ARGV_DUMP_OUT"); // NOLINT(concurrency-mt-unsafe)
    std::ofstream(out + ".part", std::ios::binary) << std::ifstream("/proc/self/cmdline").rdbuf();
    return std::rename((out + ".part").c_str(), out.c_str());
}
