#pragma once

#include "launch/file_system.h"
#include "settings/player_settings.h"

#include <string>
#include <string_view>

namespace kavo {

// The player's configuration file: 19 CR LF lines, 385 bytes plus the four values.
std::string configFileText(std::string_view rateCode, std::string_view stereo,
                           std::string_view force8bit, std::int16_t volume);

// Player directory followed by the file name; the bare name while no directory is adopted.
std::string configFilePath(const PlayerSettings& settings);

// Replaces the whole file. False when it could not be created or completely written.
bool writecfg(FileSystem& files, const PlayerSettings& settings);

} // namespace kavo
