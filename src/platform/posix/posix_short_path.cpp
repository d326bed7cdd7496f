#include "platform/posix/posix_short_path.h"

#include <algorithm>

namespace kavo {

void PosixShortPath::getShortPathName(const std::string& longPath, std::span<char> buffer) {
    if (longPath.size() + 1 > buffer.size())
        return;
    std::copy(longPath.begin(), longPath.end(), buffer.begin());
    buffer[longPath.size()] = '\0';
}

} // namespace kavo
