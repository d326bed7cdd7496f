#pragma once

#include "launch/short_path.h"

namespace kavo {

// POSIX has no 8.3 names: the short form of a path is the path itself.
class PosixShortPath : public ShortPathApi {
public:
    void getShortPathName(const std::string& longPath, std::span<char> buffer) override;
};

} // namespace kavo
