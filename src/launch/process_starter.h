#pragma once

#include <string>
#include <system_error>
#include <vector>

namespace kavo {

// A player command line in both forms: the single text a Windows process receives, and the
// program plus argument vector a POSIX start uses. Neither is ever passed through a shell.
struct CommandLine {
    std::string text;
    std::string program;
    std::vector<std::string> arguments;

    bool operator==(const CommandLine&) const = default;
};

class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // Starts the program in a normal, focused window and returns without waiting for it.
    // An empty error code means it was started.
    virtual std::error_code start(const CommandLine& command) = 0;
};

} // namespace kavo
