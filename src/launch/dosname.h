#pragma once

#include "launch/file_system.h"
#include "launch/short_path.h"

#include <cstddef>
#include <string>

namespace kavo {

inline constexpr std::size_t kShortPathBufferSize = 1000;

// Short (8.3) path of the ordinary file at path, or "" when there is none or the platform
// gives it no short form.
std::string dosname(FileSystem& files, ShortPathApi& shortPaths, const std::string& path);

} // namespace kavo
