#pragma once

#include "common/path_style.h"

#include <cstdint>
#include <string_view>

// What the front end relies on from the outside player.
namespace kavo {

inline constexpr std::string_view kPlayerExeName = "SPCPLAY.EXE";
inline constexpr std::string_view kConfigFileName = "SPCPLAY.CFG";
inline constexpr std::string_view kPlayerWindowTitle = "SPCPLAY";
// Length of the only player version whose configuration format we write.
inline constexpr std::uint64_t kPlayerExeSize = 913758;
inline constexpr std::string_view kNoDirectoryText = "(No directory specified)";

} // namespace kavo
