#pragma once
// Real files in a fresh directory under the Windows temporary directory, and waiting with the
// thread's messages served.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <windows.h>

namespace kavo::test {

class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();

    // UTF-8 path of name (which may hold backslashes) inside the directory.
    std::string path(std::string_view name = {}) const;

private:
    std::filesystem::path root_;
};

std::filesystem::path fsPath(const std::string& utf8);
void writeFile(const std::string& path, std::string_view bytes);
std::string readFile(const std::string& path);
void makeDirectory(const std::string& path);
bool exists(const std::string& path);
void setAttributes(const std::string& path, DWORD attributes);
// What the platform itself gives, for comparing ours with.
std::string platformShortPath(const std::string& path);
// Full path of a program built beside the test executable.
std::string builtProgram(std::string_view name);

// Polls done, serving this thread's messages meanwhile; false when time ran out.
bool waitFor(const std::function<bool()>& done, int milliseconds = 10000);

} // namespace kavo::test
