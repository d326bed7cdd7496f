#pragma once

#include "common/message_sink.h"
#include "launch/file_system.h"
#include "settings/player_settings.h"

#include <string>
#include <string_view>

namespace kavo {

inline constexpr std::string_view kPlayerNotFoundMessage = "SPCPLAY.EXE not found!";
inline constexpr std::string_view kWrongVersionMessage =
    "This version of SPCPlay is not .650.\rThis will cause some incompatibilities.";

enum class SetdirOutcome { Adopted, NotFound, WrongVersion };

// Adopts directoryText (ending in a separator) as the player directory when the player there
// has the expected length; otherwise shows one error message and changes nothing. The player
// path box shows settings.playerPath() after an adoption.
SetdirOutcome setdir(const std::string& directoryText, FileSystem& files, MessageSink& messages,
                     PlayerSettings& settings);

// A stored player path naming a player that setdir would adopt makes its directory the player
// directory, so that the configuration file goes where the player reads it; shows nothing.
void adoptStoredPlayer(FileSystem& files, PlayerSettings& settings);

} // namespace kavo
