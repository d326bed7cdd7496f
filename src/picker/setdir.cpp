#include "picker/setdir.h"

#include "launch/player.h"

namespace kavo {

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

} // namespace kavo
