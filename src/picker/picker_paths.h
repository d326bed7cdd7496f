#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavo {

inline constexpr std::string_view kChooseFileMessage = "Choose an SPC file.";

// The directory list's form of an absolute path: normalised, without a trailing separator
// except at the root ("/", "C:\"). Empty for a path that is not absolute.
std::string listPath(const std::string& path);

// The directory list's path as a directory text: a root, which already ends in a separator,
// is used unchanged; any other path gets one separator appended.
std::string directoryText(const std::string& listPath);

// The chosen file's full path, as "&Load" hands it on.
std::string fullPath(const std::string& listPath, const std::string& fileName);

// True when path is root or lies below it.
bool pathWithin(const std::string& path, const std::string& root);

// Ignoring letter case first; names equal but for case keep a fixed order.
void sortIgnoringCase(std::vector<std::string>& names);

} // namespace kavo
