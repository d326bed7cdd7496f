#pragma once

#include "launch/short_path.h"

#include <string_view>

namespace kavo {

// GetShortPathNameW underneath, so that paths outside the ANSI code page work too; the short
// path is written as UTF-8. Where the volume keeps no short names the call hands back long
// names, which are no short form: nothing is written then.
class Win32ShortPath : public ShortPathApi {
public:
    void getShortPathName(const std::string& longPath, std::span<char> buffer) override;
};

// True when every name after the drive or share of path fits 8.3 and holds no blank.
bool isShortForm(std::wstring_view path);

} // namespace kavo
