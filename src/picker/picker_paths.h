#pragma once

#include "common/path_style.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavo {

inline constexpr std::string_view kChooseFileMessage = "Choose an SPC file.";

// Paths are UTF-8 everywhere in the core. On Windows a narrow std::filesystem path means the
// ANSI code page, so they cross as UTF-8 explicitly; what cannot cross gives an empty path
// (which names nothing) or an empty text.
std::filesystem::path fsPath(const std::string& utf8);
std::string utf8Path(const std::filesystem::path& path);

// The directory list's form of an absolute path: normalised, without a trailing separator
// except at the root ("/", "C:\"). Empty for a path that is not absolute.
std::string listPath(const std::string& path);

// The directory list's path as a directory text: a root, which already ends in a separator,
// is used unchanged; any other path gets one separator appended.
std::string directoryText(const std::string& listPath);

// The chosen file's full path, as "&Load" hands it on.
std::string fullPath(const std::string& listPath, const std::string& fileName);

// True when path is root or lies below it; on Windows ignoring letter case.
bool pathWithin(const std::string& path, const std::string& root, PathStyle style = kHostPathStyle);

// Ignoring letter case first; names equal but for case keep a fixed order.
void sortIgnoringCase(std::vector<std::string>& names);

} // namespace kavo
