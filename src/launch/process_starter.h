#pragma once

#include "launch/short_path.h"

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace kavo {

// A player command line in both forms: the single text of a Windows process (as
// windowsCommandText gives it), and the program plus argument vector a POSIX start uses. Neither is
// ever passed through a shell.
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

    // Short paths as the program at `program` sees files, where they differ from the
    // platform's own (a DOS program in an emulator); null otherwise. Asked once per launch,
    // before any short path is taken; it forgets what the previous launch named.
    virtual ShortPathApi* shortPathsFor(const std::string& /*program*/) { return nullptr; }

    // Process id of the emulated DOS machine this starter started last and has not yet seen
    // end; nullopt when none runs.
    virtual std::optional<std::int64_t> newestDosMachine() const { return std::nullopt; }
};

// Start failures that have no system error code of their own; their messages are whole
// sentences for the user. RecordingBusy: an emulated DOS machine started before still records
// into the WAV file.
enum class StartError { EmulatorMissing = 1, NotDosName, Staging, RecordingBusy };
const std::error_category& startErrorCategory();
inline std::error_code make_error_code(StartError e) {
    return {static_cast<int>(e), startErrorCategory()};
}

} // namespace kavo

template <> struct std::is_error_code_enum<kavo::StartError> : std::true_type {};
