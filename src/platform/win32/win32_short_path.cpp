#include "platform/win32/win32_short_path.h"

#include "platform/win32/wide_text.h"

#include <cstring>
#include <windows.h>

namespace kavo {

namespace {

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// Skips the leading n names of a UNC path (server and share).
std::wstring_view skipNames(std::wstring_view path, int n) {
    for (; n > 0; --n) {
        while (!path.empty() && isSeparator(path.front()))
            path.remove_prefix(1);
        while (!path.empty() && !isSeparator(path.front()))
            path.remove_prefix(1);
    }
    return path;
}

// The part of path that names directories and files on the volume.
std::wstring_view volumeRelative(std::wstring_view path) {
    if (path.starts_with(LR"(\\?\UNC\)"))
        return skipNames(path.substr(8), 2);
    if (path.starts_with(LR"(\\?\)"))
        path.remove_prefix(4);
    else if (path.starts_with(LR"(\\)"))
        return skipNames(path.substr(2), 2);
    if (path.size() >= 2 && path[1] == L':')
        path.remove_prefix(2);
    return path;
}

bool isShortName(std::wstring_view name) {
    if (name == L"." || name == L"..")
        return true;
    constexpr std::wstring_view forbidden = LR"( "*+,/:;<=>?[\]|)";
    for (wchar_t c : name)
        if (c < 0x20 || forbidden.find(c) != std::wstring_view::npos)
            return false;
    const auto dot = name.find(L'.');
    const auto base = name.substr(0, dot);
    if (base.empty() || base.size() > 8)
        return false;
    if (dot == std::wstring_view::npos)
        return true;
    const auto extension = name.substr(dot + 1);
    return !extension.empty() && extension.size() <= 3 &&
           extension.find(L'.') == std::wstring_view::npos;
}

} // namespace

bool isShortForm(std::wstring_view path) {
    std::wstring_view rest = volumeRelative(path);
    while (!rest.empty()) {
        while (!rest.empty() && isSeparator(rest.front()))
            rest.remove_prefix(1);
        std::size_t end = 0;
        while (end < rest.size() && !isSeparator(rest[end]))
            ++end;
        if (end > 0 && !isShortName(rest.substr(0, end)))
            return false;
        rest.remove_prefix(end);
    }
    return true;
}

void Win32ShortPath::getShortPathName(const std::string& longPath, std::span<char> buffer) {
    const auto wide = win32::toWidePath(longPath);
    if (!wide || wide->empty())
        return;
    const DWORD needed = GetShortPathNameW(wide->c_str(), nullptr, 0);
    if (needed == 0)
        return;
    std::wstring shortPath(needed, L'\0');
    const DWORD length = GetShortPathNameW(wide->c_str(), shortPath.data(), needed);
    if (length == 0 || length >= needed)
        return;
    shortPath.resize(length);
    if (!isShortForm(shortPath))
        return;
    const std::string bytes = win32::toUtf8(shortPath);
    if (bytes.empty() || bytes.size() >= buffer.size())
        return;
    std::memcpy(buffer.data(), bytes.c_str(), bytes.size() + 1);
}

} // namespace kavo
