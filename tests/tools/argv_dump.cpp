// Stand-in program for process-start tests: writes its argument vector, NUL-separated, to the
// file named by KAVO_ARGV_DUMP_OUT (written to a temporary name first, so readers never see a
// partial file).
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    const char* out = std::getenv("KAVO_ARGV_DUMP_OUT");
    if (out == nullptr)
        return 2;
    const std::string partial = std::string(out) + ".part";
    std::FILE* file = std::fopen(partial.c_str(), "wb");
    if (file == nullptr)
        return 1;
    for (int i = 0; i < argc; ++i) {
        std::fputs(argv[i], file);
        std::fputc('\0', file);
    }
    if (std::fclose(file) != 0)
        return 1;
    return std::rename(partial.c_str(), out) == 0 ? 0 : 1;
}
