#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kavo::win32 {

// The core's texts are UTF-8; the wide-character API takes UTF-16. Invalid UTF-8 gives nullopt
// rather than a lossy guess, so that no call acts on a path or value nobody asked for.
std::optional<std::wstring> toWide(std::string_view utf8);

// As toWide, and also nullopt for a text with a NUL in it, which the API would cut short.
std::optional<std::wstring> toWidePath(std::string_view utf8);

std::string toUtf8(std::wstring_view wide);

} // namespace kavo::win32
