#include "picker/setdir.h"

#include "launch/player.h"

#include <algorithm>

namespace kavo {

namespace {

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

SetdirOutcome setdir(const std::string& directoryText, FileSystem& files, MessageSink& messages,
                     PlayerSettings& settings) {
    // The player was made for a system that ignores letter case in names.
    std::string executable = files.resolveNameCase(directoryText, kPlayerExeName);
    const auto size = files.fileSize(executable);
    if (!size || *size == 0) {
        messages.show(kPlayerNotFoundMessage, kErrorTitle, MessageIcon::Error);
        return SetdirOutcome::NotFound;
    }
    if (*size != kPlayerExeSize) {
        messages.show(kWrongVersionMessage, kErrorTitle, MessageIcon::Error);
        return SetdirOutcome::WrongVersion;
    }
    settings.adopt(directoryText, std::move(executable));
    return SetdirOutcome::Adopted;
}

void adoptStoredPlayer(FileSystem& files, PlayerSettings& settings) {
    const std::string& path = settings.playerPath();
    const auto cut = path.find_last_of(kDirSeparator);
    if (cut == std::string::npos || !std::ranges::equal(std::string_view(path).substr(cut + 1),
                                                        kPlayerExeName, {}, lower, lower))
        return;
    if (const auto size = files.fileSize(path); size && *size == kPlayerExeSize)
        settings.adopt(path.substr(0, cut + 1), path);
}

} // namespace kavo
