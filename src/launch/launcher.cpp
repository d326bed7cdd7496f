#include "launch/launcher.h"

#include "launch/config_file.h"
#include "launch/dosname.h"

namespace kavo {

namespace {

void addWord(std::vector<std::string>& words, const std::string& word) {
    if (!word.empty())
        words.push_back(word);
}

// The DOS player can open only 8.3 names; a volume may keep none.
std::string noShortNameMessage(const std::string& path) {
    return "\"" + path +
           "\" has no short (8.3) name, so the DOS player could not open it.\rKeep the music on a "
           "drive that has short names, or ask an administrator to turn them on for that volume.";
}

} // namespace

CommandLine buildCommandLine(std::string_view playerBox, std::string_view spcShort,
                             const std::string* wavShort) {
    CommandLine command;
    command.program = playerBox;
    command.text = std::string(playerBox) + " " + std::string(spcShort);
    addWord(command.arguments, std::string(spcShort));
    if (wavShort != nullptr) {
        command.text += " -w " + *wavShort;
        command.arguments.emplace_back("-w");
        addWord(command.arguments, *wavShort);
    }
    return command;
}

std::string windowsCommandText(const CommandLine& command) {
    if (command.program.find_first_of(" \t") == std::string::npos ||
        !command.text.starts_with(command.program))
        return command.text;
    return '"' + command.program + '"' + command.text.substr(command.program.size());
}

LaunchOutcome Launcher::launch(const PlayerSettings& settings, const LaunchRequest& request) {
    auto error = [this](const std::string& text) {
        messages_.show(text, kErrorTitle, MessageIcon::Error);
    };

    if (!writecfg(files_, settings)) {
        error("Could not write the player's configuration file \"" + configFilePath(settings) +
              "\".\rCheck that the player's directory exists and can be written to.");
        return LaunchOutcome::ConfigNotWritten;
    }
    if (request.spcBox.empty()) {
        error(std::string(kNoSpcFileMessage));
        return LaunchOutcome::NoSpcFile;
    }
    ShortPathApi* playerPaths = starter_.shortPathsFor(request.playerBox);
    ShortPathApi& shortPaths = playerPaths ? *playerPaths : shortPaths_;
    const std::string spcShort = dosname(files_, shortPaths, request.spcBox);
    if (spcShort.empty() && !files_.findOrdinaryFile(request.spcBox).empty()) {
        error(noShortNameMessage(request.spcBox));
        return LaunchOutcome::NoShortName;
    }

    std::string wavShort;
    if (request.logToWav) {
        if (request.wavBox.empty()) {
            error("Logging to a WAV file is on, but no WAV file is given.\rType the WAV file's "
                  "name, or turn off \"Log to WAV File\".");
            return LaunchOutcome::WavUnusable;
        }
        if (!files_.openOrCreate(request.wavBox)) {
            error("Could not open or create the WAV file \"" + request.wavBox +
                  "\".\rChoose a file in a directory you can write to.");
            return LaunchOutcome::WavUnusable;
        }
        wavShort = dosname(files_, shortPaths, request.wavBox);
        if (wavShort.empty() && !files_.findOrdinaryFile(request.wavBox).empty()) {
            error(noShortNameMessage(request.wavBox));
            return LaunchOutcome::NoShortName;
        }
        // It opened, yet it is no ordinary file: hidden (on Linux, a name beginning with "."),
        // a device or a pipe, none of which has a short name to give the player.
        if (wavShort.empty()) {
            error("The WAV file \"" + request.wavBox +
                  "\" is hidden or not an ordinary file, so the player cannot be given its "
                  "name.\rChoose an ordinary WAV file that is not hidden (on Linux, one whose "
                  "name does not begin with \".\").");
            return LaunchOutcome::WavUnusable;
        }
    }

    const CommandLine command =
        buildCommandLine(request.playerBox, spcShort, request.logToWav ? &wavShort : nullptr);
    if (const std::error_code failure = starter_.start(command)) {
        if (failure == StartError::RecordingBusy) {
            error("The WAV file \"" + request.wavBox +
                  "\" is still being recorded into by the player in DOSBox.\rStop the player "
                  "first, then launch again.");
            return LaunchOutcome::StartFailed;
        }
        if (failure.category() == startErrorCategory()) {
            error("Could not start the player \"" + request.playerBox + "\".\r" +
                  failure.message());
            return LaunchOutcome::StartFailed;
        }
#ifdef _WIN32
        if (failure == std::errc::executable_format_error) {
            error("Windows refused to run the player \"" + request.playerBox +
                  "\" itself.\rIf it is the DOS player, launch again: it then plays in DOSBox.");
            return LaunchOutcome::StartFailed;
        }
#endif
        error("Could not start the player \"" + request.playerBox + "\": " + failure.message() +
              ".\rSet the player's directory with \"SPCPLAY Dir\" in the File menu.");
        return LaunchOutcome::StartFailed;
    }
    return LaunchOutcome::Started;
}

} // namespace kavo
