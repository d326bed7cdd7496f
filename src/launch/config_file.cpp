#include "launch/config_file.h"

#include "launch/player.h"
#include "settings/volume_text.h"

#include <array>

namespace kavo {

std::string configFileText(std::string_view rateCode, std::string_view stereo,
                           std::string_view force8bit, std::int16_t volume) {
    const std::string rateLine = "Soundrate = " + std::string(rateCode);
    const std::string stereoLine = "Stereo = " + std::string(stereo);
    const std::string force8bitLine = "Force8bit = " + std::string(force8bit);
    const std::string volumeLine = "Volume = " + volumeText(volume);
    const std::array<std::string_view, 19> lines{
        "; SPCPlay Configuration file",
        "",
        "; Sound Sampling Rate",
        ";   0 = 8000Hz, 1 = 11025Hz, 2 = 22050Hz, 3 = 44100Hz",
        ";   4 = 32000Hz,5 = 16000Hz",
        "",
        rateLine,
        "",
        "; Stereo (0 = off, 1 = on)",
        "",
        stereoLine,
        "",
        "; Force 8-bit sound on  (1 = Yes, 0 = No)",
        "",
        force8bitLine,
        "",
        "; Sound Volume Level (0 .. 100)",
        "; Note : Setting this too high can cause sound overflow which degrades quality",
        volumeLine,
    };
    std::string text;
    for (std::string_view line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string configFilePath(const PlayerSettings& settings) {
    return settings.playerDirectory() + std::string(kConfigFileName);
}

bool writecfg(FileSystem& files, const PlayerSettings& settings) {
    return files.writeWhole(configFilePath(settings),
                            configFileText(settings.rateCode(), settings.stereo(),
                                           settings.force8bit(), settings.volume()));
}

} // namespace kavo
