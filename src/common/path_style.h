#pragma once

// How a platform writes paths. The rules of both are built everywhere, so that the tests of the
// Windows ones run on any machine; the program follows its host's.
namespace kavo {

enum class PathStyle { Posix, Windows };

#ifdef _WIN32
inline constexpr PathStyle kHostPathStyle = PathStyle::Windows;
#else
inline constexpr PathStyle kHostPathStyle = PathStyle::Posix;
#endif

inline constexpr char kDirSeparator = kHostPathStyle == PathStyle::Windows ? '\\' : '/';

// Windows takes either slash.
constexpr bool isPathSeparator(char c, PathStyle style = kHostPathStyle) {
    return c == '/' || (c == '\\' && style == PathStyle::Windows);
}

} // namespace kavo
