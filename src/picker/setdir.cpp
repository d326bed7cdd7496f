#include "picker/setdir.h"

#include "launch/player.h"

#include <algorithm>

namespace kavo {

namespace {

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// What setdir's test says of the file at executable; Adopted is "this is the player".
SetdirOutcome testPlayer(FileSystem& files, const std::string& executable) {
    const auto size = files.fileSize(executable);
    if (!size || *size == 0)
        return SetdirOutcome::NotFound;
    return *size == kPlayerExeSize ? SetdirOutcome::Adopted : SetdirOutcome::WrongVersion;
}

} // namespace

SetdirOutcome setdir(const std::string& directoryText, FileSystem& files, MessageSink& messages,
                     PlayerSettings& settings) {
    // The player was made for a system that ignores letter case in names.
    std::string executable = files.resolveNameCase(directoryText, kPlayerExeName);
    const SetdirOutcome outcome = testPlayer(files, executable);
    if (outcome == SetdirOutcome::Adopted)
        settings.adopt(directoryText, std::move(executable));
    else
        messages.show(outcome == SetdirOutcome::NotFound ? kPlayerNotFoundMessage
                                                         : kWrongVersionMessage,
                      kErrorTitle, MessageIcon::Error);
    return outcome;
}

void adoptStoredPlayer(FileSystem& files, PlayerSettings& settings) {
    const std::string& path = settings.playerPath();
    const auto cut = path.find_last_of(kDirSeparator);
    if (cut != std::string::npos &&
        std::ranges::equal(std::string_view(path).substr(cut + 1), kPlayerExeName, {}, lower,
                           lower) &&
        testPlayer(files, path) == SetdirOutcome::Adopted)
        settings.adopt(path.substr(0, cut + 1), path);
}

} // namespace kavo
