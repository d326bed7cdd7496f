#pragma once

#include "common/message_sink.h"
#include "launch/file_system.h"
#include "launch/process_starter.h"
#include "launch/short_path.h"
#include "settings/player_settings.h"

#include <string>
#include <string_view>

namespace kavo {

// The main window's texts at the moment of a launch.
struct LaunchRequest {
    std::string spcBox;
    std::string playerBox;
    std::string wavBox;
    bool logToWav = false;
};

enum class LaunchOutcome {
    Started,
    ConfigNotWritten,
    NoSpcFile,
    WavUnusable,
    StartFailed,
    NoShortName,
};

inline constexpr std::string_view kNoSpcFileMessage = "You must specify an SPC file!";

// Player box text, a blank, the SPC short path, and " -w " with the WAV short path when
// logging; nothing is quoted. The argument vector holds the non-empty words of the same line.
CommandLine buildCommandLine(std::string_view playerBox, std::string_view spcShort,
                             const std::string* wavShort);

// The line a Windows process is given: the program part in quotes when it holds a blank or a
// tab, where the program's start-up code would otherwise split it; the rest unchanged.
std::string windowsCommandText(const CommandLine& command);

class Launcher {
public:
    Launcher(FileSystem& files, ShortPathApi& shortPaths, ProcessStarter& starter,
             MessageSink& messages)
        : files_(files), shortPaths_(shortPaths), starter_(starter), messages_(messages) {}

    // Every stop is reported to the user through the message sink.
    LaunchOutcome launch(const PlayerSettings& settings, const LaunchRequest& request);

private:
    FileSystem& files_;
    ShortPathApi& shortPaths_;
    ProcessStarter& starter_;
    MessageSink& messages_;
};

} // namespace kavo
