#include "picker/picker_paths.h"

#include "launch/player.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace kavo {

namespace {

char folded(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool samePathText(std::string_view a, std::string_view b, PathStyle style) {
    if (style == PathStyle::Posix)
        return a == b;
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return folded(x) == folded(y); });
}

} // namespace

std::filesystem::path fsPath(const std::string& utf8) {
#ifdef _WIN32
    try {
        return {std::u8string(utf8.begin(), utf8.end())};
    } catch (const std::exception&) {
        return {};
    }
#else
    return utf8;
#endif
}

std::string utf8Path(const std::filesystem::path& path) {
#ifdef _WIN32
    try {
        const std::u8string text = path.u8string();
        return {text.begin(), text.end()};
    } catch (const std::exception&) {
        return {};
    }
#else
    return path.string();
#endif
}

std::string listPath(const std::string& path) {
    const std::filesystem::path normal = fsPath(path).lexically_normal();
    if (!normal.is_absolute())
        return {};
    std::string text = utf8Path(normal);
    const std::size_t rootLength = utf8Path(normal.root_path()).size();
    while (text.size() > rootLength && isPathSeparator(text.back()))
        text.pop_back();
    return text;
}

std::string directoryText(const std::string& listPath) {
    if (!listPath.empty() && isPathSeparator(listPath.back()))
        return listPath;
    return listPath + kDirSeparator;
}

std::string fullPath(const std::string& listPath, const std::string& fileName) {
    return directoryText(listPath) + fileName;
}

bool pathWithin(const std::string& path, const std::string& root, PathStyle style) {
    if (path.size() < root.size() ||
        !samePathText(std::string_view(path).substr(0, root.size()), root, style))
        return false;
    return path.size() == root.size() || (!root.empty() && isPathSeparator(root.back(), style)) ||
           isPathSeparator(path[root.size()], style);
}

void sortIgnoringCase(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const auto cmp = std::lexicographical_compare_three_way(
            a.begin(), a.end(), b.begin(), b.end(),
            [](char x, char y) { return folded(x) <=> folded(y); });
        return cmp != 0 ? cmp < 0 : a < b;
    });
}

} // namespace kavo
